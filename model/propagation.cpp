#include "model/propagation.h"

#include <string>

#include "model/codecs.h"
#include "model/params.h"

namespace {

bool IsChannel(int channel) { return channel >= 0 && channel < kChannels; }
bool IsBand(int band) { return band >= 0 && band < kBands; }
bool Has(int mask, int channel) { return (mask & (1 << channel)) != 0; }

// Copies entry `from` of a per-channel value to every channel of `mask`.
template <typename T, typename Get>
void CopyToMask(int from, int mask, Get entry)
{
    const T value = entry(from);
    for (int c = 0; c < kChannels; ++c)
        if (Has(mask, c)) entry(c) = value;
}

template <typename T, typename Get>
void PropagateFromSelected(Get entry)
{
    const int s = g_selectedChannel;
    if (!IsChannel(s)) return;
    CopyToMask<T>(s, TiedChannels(s), entry);
}

// A channel strip after its gain changed: text, slider, mute bit and caption.
void ShowChannelStrip(IModelView& view, int channel)
{
    std::wstring text;
    FormatChannelGain(text, channel);
    view.GainField(channel).SetText(text);
    ISlider& slider = view.GainSlider(channel);
    slider.SetPos(g_channelGain[channel]);
    slider.Invalidate();
    ShowChannelMute(view.MuteButton(channel), channel);
}

// The channel of a bridged pair whose band gain decides a bypass toggle.
int BypassDecider(int channel)
{
    static const int kDecider[kChannels / 2] = {0, 2, 5, 7, 9, 11};
    return kDecider[channel / 2];
}

// Bypass of one band over a set of channels, decided by one of them.
void ToggleBypassOver(int mask, int decider, int band)
{
    const bool restore = g_eqGain[decider][band] == kDefaultGainCode;
    for (int c = 0; c < kChannels; ++c) {
        if (!Has(mask, c)) continue;
        if (restore) {
            g_eqGain[c][band] = g_eqGainSaved[c][band];
        } else {
            g_eqGainSaved[c][band] = g_eqGain[c][band];
            g_eqGain[c][band] = kDefaultGainCode;
        }
        g_eqGainFlattened[c][band] = !restore;
    }
}

}  // namespace

int LinkGroupOf(int channel)
{
    if (!IsChannel(channel)) return -1;
    for (int g = 0; g < kChannels; ++g)
        if (g_linkGroup[g] != 0 && Has(g_linkGroup[g], channel)) return g;
    return -1;
}

int BridgePartnerOf(int channel) { return channel ^ 1; }

int TiedChannels(int channel)
{
    if (!IsChannel(channel)) return 0;
    const int g = LinkGroupOf(channel);
    if (g >= 0) return g_linkGroup[g];
    if (BridgeFlagOf(channel) != 0) return (1 << channel) | (1 << BridgePartnerOf(channel));
    return 1 << channel;
}

void PropagateEqFreq(int band)
{
    if (!IsBand(band)) return;
    PropagateFromSelected<int>([band](int c) -> int& { return g_eqFreq[c][band]; });
}

void PropagateEqGain(int band)
{
    if (!IsBand(band)) return;
    PropagateFromSelected<int>([band](int c) -> int& { return g_eqGain[c][band]; });
}

void PropagateEqGainByHand(int band)
{
    PropagateEqGain(band);
    const int s = g_selectedChannel;
    // Left at 0 dB (the slider repeats its position): a flattened band was
    // at 0 dB all along and stays flattened.
    if (!IsBand(band) || !IsChannel(s) || g_eqGain[s][band] == kDefaultGainCode) return;
    const int tied = TiedChannels(s);
    for (int c = 0; c < kChannels; ++c)
        if (Has(tied, c)) g_eqGainFlattened[c][band] = false;
}

void PropagateEqQ(int band)
{
    if (!IsBand(band)) return;
    PropagateFromSelected<double>([band](int c) -> double& { return g_eqQ[c][band]; });
}

void PropagateHpFreq()
{
    PropagateFromSelected<int>([](int c) -> int& { return g_hpFreq[c]; });
}

void PropagateLpFreq()
{
    PropagateFromSelected<int>([](int c) -> int& { return g_lpFreq[c]; });
}

void EditLinkGroup(IModelView& view, int channelBit)
{
    int k = -1;
    for (int c = 0; c < kChannels; ++c)
        if (channelBit == (1 << c)) k = c;
    const int s = g_selectedChannel;

    if (k >= 0 && IsChannel(s)) {
        int found = -1;
        for (int g = 0; g < kChannels && found < 0; ++g)
            if (g_linkGroup[g] & channelBit) found = g;

        if (found >= 0) {
            int& mask = g_linkGroup[found];
            if (k == found) {
                for (int c = 0; c < kChannels; ++c) {
                    if (!Has(mask, c)) continue;
                    mask &= ~(1 << c);
                    view.InvalidateLinkButton(c);
                }
                mask = 0;
            } else {
                mask &= ~channelBit;
                view.InvalidateLinkButton(k);
            }
        } else {
            for (int g = 0; g < kChannels; ++g) {
                int& mask = g_linkGroup[g];
                if (mask != 0 && Has(mask, s)) {
                    if (view.AskCopyQuestion(g_channelLabel[s], g_channelLabel[k])) {
                        view.InvalidateLinkButton(k);
                        mask |= channelBit;
                        CopyToLinkGroup(view, g);
                    }
                    break;
                }
                if (mask == 0 && g == s) {
                    if (k == s || view.AskCopyQuestion(g_channelLabel[s], g_channelLabel[k])) {
                        mask = channelBit | (1 << s);
                        view.InvalidateLinkButton(k);
                        view.InvalidateLinkButton(s);
                        CopyToLinkGroup(view, g);
                    }
                    break;
                }
            }
        }
    }
    view.InvalidateChannelButtons();
}

void CopyToLinkGroup(IModelView& view, int group)
{
    if (!IsChannel(group)) return;
    const int g = group;
    const int mask = g_linkGroup[g];
    for (int c = 0; c < kChannels; ++c) {
        if (c == g || !Has(mask, c)) continue;

        g_hpFreq[c] = g_hpFreq[g];
        g_graphHpFreq[c] = g_graphHpFreq[g];
        g_hpType[c] = g_hpType[g];
        g_hpSlope[c] = g_hpSlope[g];
        g_lpFreq[c] = g_lpFreq[g];
        g_graphLpFreq[c] = g_graphLpFreq[g];
        g_lpType[c] = g_lpType[g];
        g_lpSlope[c] = g_lpSlope[g];

        g_channelGain[c] = g_channelGain[g];
        ShowChannelStrip(view, c);

        for (int b = 0; b < kBands; ++b) {
            g_eqGain[c][b] = g_eqGain[g][b];
            g_graphEqGain[c][b] = g_graphEqGain[g][b];
            g_eqFreq[c][b] = g_eqFreq[g][b];
            g_graphEqFreq[c][b] = g_graphEqFreq[g][b];
            g_eqQ[c][b] = g_eqQ[g][b];
            g_graphEqQ[c][b] = g_graphEqQ[g][b];
            // The leader's gains replace the ones the member kept.
            g_eqGainFlattened[c][b] = false;
        }

        // The selected member's band and crossover controls show what it got.
        if (c == g_selectedChannel) view.RefreshEqControls();
        view.FeedSpectrum(true);
    }
}

uint8_t MuteLinkGroup(IModelView& view, int channel, uint8_t mute)
{
    const int g = LinkGroupOf(channel);
    if (g < 0) return 0;
    const int mask = g_linkGroup[g];
    for (int j = 0; j < kChannels; ++j) {
        if (j == channel || !Has(mask, j)) continue;
        if (mute == 1) {
            // OFF is kept too, so that the unmute leaves such a member silent.
            g_savedGain[j] = g_channelGain[j];
            g_channelGain[j] = kChannelGainOff;
        } else {
            g_channelGain[j] = g_savedGain[j];
        }
        ShowChannelStrip(view, j);
    }
    return 1;
}

void ToggleBandBypass(int band)
{
    const int s = g_selectedChannel;
    if (!IsBand(band) || !IsChannel(s)) return;
    if (LinkGroupOf(s) >= 0) ToggleBypassOver(TiedChannels(s), s, band);
    else if (BridgeFlagOf(s) != 0) ToggleBypassOver(TiedChannels(s), BypassDecider(s), band);
    else ToggleBypassOver(1 << s, s, band);
}

void ToggleBypassAllBands()
{
    bool allFlat = true;
    for (int c = 0; c < kChannels && allFlat; ++c)
        for (int b = 0; b < kBands && allFlat; ++b) allFlat = g_eqGain[c][b] == kDefaultGainCode;
    for (int c = 0; c < kChannels; ++c) {
        for (int b = 0; b < kBands; ++b) {
            if (allFlat) {
                g_eqGain[c][b] = g_eqGainSaved[c][b];
            } else {
                if (g_eqGain[c][b] != kDefaultGainCode || !g_eqGainFlattened[c][b])
                    g_eqGainSaved[c][b] = g_eqGain[c][b];
                g_eqGain[c][b] = kDefaultGainCode;
            }
            g_eqGainFlattened[c][b] = !allFlat;
        }
    }
}

void ApplyBandGainSlider(IModelView& view, int band, const ISlider& slider, int gainFieldId)
{
    const int s = g_selectedChannel;
    if (!IsBand(band) || !IsChannel(s)) return;
    g_eqGain[s][band] = slider.GetPos();
    PropagateEqGainByHand(band);
    std::wstring text;
    FormatEqGain(text, band);
    IEditControl& field = view.BandGainFieldOfId(gainFieldId);
    field.SetText(text);
    field.SelectAll();
    field.SetFocus();
}
