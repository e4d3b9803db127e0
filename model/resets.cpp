#include "model/resets.h"

#include <string>

#include "model/codecs.h"
#include "model/device_models.h"
#include "model/device_state.h"
#include "model/params.h"

namespace {

void StoreRouting(const uint32_t* row)
{
    if (!row) return;
    for (int c = 0; c < kChannels; ++c) g_routingMask[c] = row[c];
}

}  // namespace

const uint32_t* DefaultRoutingFor(int deviceModel, bool noAux34, bool picker)
{
    const DeviceModelFacts* facts = DeviceModelFactsOf(deviceModel);
    if (!facts) return nullptr;
    bool without = noAux34;
    if (!picker && facts->resetRouting.value != ResetRouting::ByOption)
        without = facts->resetRouting.value == ResetRouting::WithoutAux34;
    return without ? facts->routingNoAux34.value : facts->routingAux34.value;
}

void ApplyDefaultRouting() { StoreRouting(DefaultRoutingFor(g_deviceModel.load(), g_noAux34 == 1, false)); }

void ApplyPickerDefaultRouting() { StoreRouting(DefaultRoutingFor(g_deviceModel.load(), g_noAux34 == 1, true)); }

void ClearInputVolumes(IModelView& view)
{
    for (int i = 0; i < kChannels; ++i) {
        for (int j = 0; j < kInputs; ++j) {
            view.InvalidateRouteButton(i, j);
            g_inputMixVolume[i][j] = 0;
        }
    }
}

void ResetAll(IModelView& view)
{
    IDelayFields& delays = view.DelayFields();
    for (int c = 0; c < kChannels; ++c) delays.SetValue(c, 0);

    view.ClearSpeakerDistances();
    g_hiLevelMixVolume = 0;
    g_selectedChannel = 0;
    view.InvalidateChannelButtons();

    for (int c = 0; c < kChannels; ++c) {
        g_channelGain[c] = 0;
        g_savedGain[c] = 0;
    }
    for (int c = 0; c < kChannels; ++c) {
        std::wstring text;
        FormatChannelGain(text, c);
        view.GainField(c).SetText(text);
        ISlider& slider = view.GainSlider(c);
        slider.SetPos(g_channelGain[c]);
        slider.Invalidate();
    }

    g_phaseMask = 0;
    for (int c = 0; c < kChannels; ++c) view.SetPhaseButtonCaption(c, kTextPhase0);

    g_muteMask = 0;
    for (int c = 0; c < kChannels; ++c) view.MuteButton(c).SetText(kUnmutedCaption);
    view.MasterMuteButton().SetText(kUnmutedCaption);

    g_masterVolume = 0;
    view.MasterSlider().SetPos(g_masterVolume);
    view.MasterSlider().Invalidate();
    std::wstring master;
    FormatMasterVolume(master);
    view.MasterVolumeField().SetText(master);

    for (int b = 0; b < kBands; ++b) {
        for (int c = 0; c < kChannels; ++c) {
            g_eqGain[c][b] = g_graphEqGain[c][b] = g_eqGainSaved[c][b] = kDefaultGainCode;
            g_eqGainFlattened[c][b] = false;
            g_eqFreq[c][b] = g_graphEqFreq[c][b] = g_isoBandFreq[b];
            g_eqQ[c][b] = g_graphEqQ[c][b] = kDefaultQ;
            g_eqQStep[c][b] = kDefaultQStep;
        }
    }

    for (int c = 0; c < kChannels; ++c) {
        g_hpSlope[c] = g_lpSlope[c] = kSlopeOff;
        g_hpType[c] = g_lpType[c] = 0;
        g_hpFreq[c] = g_graphHpFreq[c] = 20;
        g_lpFreq[c] = g_graphLpFreq[c] = 20000;
    }

    view.RefreshEqControls();
    ApplyDefaultRouting();
    ClearInputVolumes(view);
    view.FeedSpectrum(false);
}

bool ResetEq()
{
    bool selectedChanged = false;
    for (int b = 0; b < kBands; ++b) {
        for (int c = 0; c < kChannels; ++c) {
            g_eqGainSaved[c][b] = kDefaultGainCode;
            g_eqGainFlattened[c][b] = false;
            bool changed = false;
            if (g_eqGain[c][b] != kDefaultGainCode) {
                g_eqGain[c][b] = kDefaultGainCode;
                changed = true;
            }
            if (g_eqFreq[c][b] != g_isoBandFreq[b]) {
                g_eqFreq[c][b] = g_isoBandFreq[b];
                changed = true;
            }
            if (g_eqQ[c][b] != kDefaultQ) {
                g_eqQ[c][b] = kDefaultQ;
                changed = true;
            }
            if (changed && c == g_selectedChannel) selectedChanged = true;
        }
    }
    return selectedChanged;
}
