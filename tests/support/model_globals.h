// Puts every global of model/ back to its value at the program's start, as
// the definitions in model/*.cpp give it. For suites that do not link the
// device link; the others call ResetGlobals (tests/support/globals.h).
// No test framework here: the benchmarks and fuzz targets use it too.
#pragma once

#include <algorithm>
#include <iterator>

#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/params.h"

inline void ResetModelGlobals()
{
    // model/params.h
    g_selectedChannel = 0;
    std::fill(std::begin(g_channelGain), std::end(g_channelGain), 0);
    std::fill(std::begin(g_savedGain), std::end(g_savedGain), 0);
    g_masterVolume = 0;
    g_masterVolumeSaved = 0;
    g_muteMask = 0;
    g_phaseMask = 0;
    for (int c = 0; c < kChannels; ++c) {
        std::fill(std::begin(g_eqFreq[c]), std::end(g_eqFreq[c]), 0);
        std::fill(std::begin(g_eqGain[c]), std::end(g_eqGain[c]), 0);
        std::fill(std::begin(g_eqQ[c]), std::end(g_eqQ[c]), 0.0);
        std::fill(std::begin(g_eqQStep[c]), std::end(g_eqQStep[c]), 0);
        std::fill(std::begin(g_eqGainSaved[c]), std::end(g_eqGainSaved[c]), 0);
        std::fill(std::begin(g_eqGainFlattened[c]), std::end(g_eqGainFlattened[c]), false);
        std::fill(std::begin(g_graphEqFreq[c]), std::end(g_graphEqFreq[c]), 0);
        std::fill(std::begin(g_graphEqGain[c]), std::end(g_graphEqGain[c]), 0);
        std::fill(std::begin(g_graphEqQ[c]), std::end(g_graphEqQ[c]), 0.0);
        std::fill(std::begin(g_inputMixVolume[c]), std::end(g_inputMixVolume[c]), 0u);
        g_channelLabel[c] = L"CH" + std::to_wstring(c + 1);
    }
    for (int* a : {g_hpFreq, g_lpFreq, g_hpType, g_lpType, g_hpSlope, g_lpSlope, g_graphHpFreq, g_graphLpFreq})
        std::fill(a, a + kChannels, 0);
    std::fill(std::begin(g_routingMask), std::end(g_routingMask), 0u);
    g_hiLevelMix = 0;
    g_hiLevelMixVolume = 0;
    std::fill(std::begin(g_linkGroup), std::end(g_linkGroup), 0);
    g_btlPair12 = g_btlPair34 = g_btlPair56 = g_btlPair78 = g_btlPair910 = g_btlPair1112 = 0;
    g_delayInCm = 0;
    g_devicePath.clear();
    g_firmwarePath.clear();
    g_msgCaption.clear();
    g_languageChoice = 0;

    // model/device_state.h
    g_deviceModel = kStartDeviceModel;
    g_firmwareDate = 0;
    g_inputSource = kSourceHighLevel;
    g_saveSlot = 0;
    g_presetSlot = 0;
    g_deviceOptions = 0;
    g_noSignalMute = 0;
    g_noAux34 = 0;
    g_usbConnected = 0;
    g_deviceInfoReceived = 0;
    g_deviceInfoExReceived = 0;
    g_upgradeMode = 0;
    g_progressPermille = 0;
    g_importWatchdogTicks = 0;
    g_deviceString.Clear();
    g_deviceInfoEx.Clear();
    for (auto& n : g_presetNames) n.Clear();
    for (auto& n : g_deviceChannelNames) n.Clear();

    // model/eq_images.h
    std::fill(std::begin(g_eqUser), std::end(g_eqUser), 0);
    std::fill(std::begin(g_eqUserShadow), std::end(g_eqUserShadow), 0);
    std::fill(std::begin(g_eqUser2), std::end(g_eqUser2), 0);
    std::fill(std::begin(g_eqUser2Shadow), std::end(g_eqUser2Shadow), 0);
}
