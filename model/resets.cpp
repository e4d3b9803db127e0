#include "model/resets.h"

#include <string>

#include "model/codecs.h"
#include "model/device_state.h"
#include "model/params.h"

namespace {

using Row = uint32_t[kChannels];

// Default routing rows, CH1..CH12.
const Row kModel1NoAux = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0, 0, 0, 0};
const Row kModel1Aux = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0, 0, 0, 0};
const Row kModel2NoAux = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0,
                          0x01540, 0x02A80, 0x00541, 0x00A82, 0x00544, 0x00A88};
const Row kModel2Aux = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0,
                        0x05500, 0x0AA00, 0x00541, 0x00A82, 0x04504, 0x08A08};
const Row kModel3 = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0,
                     0x04501, 0x08A02, 0x00544, 0x00A88, 0x04510, 0x08A20};
const Row kModel4A = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0};
const Row kModel4B = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0x00544, 0x00A88, 0, 0};
const Row kModel5 = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0, 0, 0};
const Row kModel6A = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x01540, 0x02A80, 0, 0, 0, 0};
const Row kModel6B = {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x05500, 0x0AA00, 0, 0, 0, 0};
const Row kModel7 = {0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0, 0};
const Row kModel8 = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0,
                     0x01540, 0x02A80, 0x10540, 0x20A80, 0x00541, 0x00A82};

void StoreRouting(const uint32_t* row)
{
    if (!row) return;
    for (int c = 0; c < kChannels; ++c) g_routingMask[c] = row[c];
}

}  // namespace

const uint32_t* DefaultRoutingFor(int deviceModel, bool noAux34, bool picker)
{
    switch (deviceModel) {
    case 1: return noAux34 ? kModel1NoAux : kModel1Aux;
    case 2: return noAux34 ? kModel2NoAux : kModel2Aux;
    case 3: return kModel3;
    case 4: return picker ? (noAux34 ? kModel4A : kModel4B) : kModel4A;
    case 5: return kModel5;
    case 6: return picker ? (noAux34 ? kModel6A : kModel6B) : kModel6B;
    case 7: return kModel7;
    case 8: return kModel8;
    }
    return nullptr;
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
