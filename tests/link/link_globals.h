// Puts every global the link touches back to its start value (no test
// framework here: the benchmarks use it too).
#pragma once

#include <algorithm>
#include <iterator>

#include "link/commands.h"
#include "link/dispatcher.h"
#include "link/link_events.h"
#include "link/firmware.h"
#include "link/frame_ring.h"
#include "model/device_state.h"
#include "model/eq_images.h"

inline void ResetLinkGlobals()
{
    g_hidTxRing.Reset();
    g_hidRxRing.Reset();
    g_tcpTxRing.Reset();
    g_tcpRxRing.Reset();
    g_usbConnected = 0;
    g_deviceInfoReceived = 0;
    g_deviceInfoExReceived = 0;
    g_upgradeMode = 0;
    g_progressPermille = 0;
    g_importWatchdogTicks = 0;
    g_deviceModel = 4;
    g_firmwareDate = 0;
    g_inputSource = 1;
    g_saveSlot = 0;
    g_presetSlot = 0;
    g_deviceOptions = 0;
    g_noSignalMute = 0;
    g_deviceString.Clear();
    g_deviceInfoEx.Clear();
    for (auto& n : g_presetNames) n.Clear();
    for (auto& n : g_deviceChannelNames) n.Clear();
    std::fill(std::begin(g_eqUser), std::end(g_eqUser), 0);
    std::fill(std::begin(g_eqUserShadow), std::end(g_eqUserShadow), 0);
    std::fill(std::begin(g_eqUser2), std::end(g_eqUser2), 0);
    std::fill(std::begin(g_eqUser2Shadow), std::end(g_eqUser2Shadow), 0);
    ClearFirmwareImage();
    g_fwChecksum = 0;
    g_fwLastChunkSent = 0;
    g_tcpFwBlock.Clear();
    RestartImageReads();
    LinkChangeTaken();
}
