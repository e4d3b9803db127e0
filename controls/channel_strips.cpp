#include "controls/channel_strips.h"

#include "model/codecs.h"
#include "model/device_state.h"
#include "model/params.h"
#include "model/propagation.h"
#include "model/text_ids.h"
#include "model/value_kinds.h"
#include "platform/codepage.h"
#include "platform/resources.h"
#include "res/resource.h"

namespace {

bool IsChannel(int channel) { return channel >= 0 && channel < kChannels; }
bool Has(int mask, int channel) { return (mask & (1 << channel)) != 0; }

// The partner when the channel's pair is bridged (flag exactly 1), else -1.
int BridgedPartner(int channel) { return BridgeFlagOf(channel) == 1 ? BridgePartnerOf(channel) : -1; }

// Keeps the attenuation the unmute gives back, OFF included: an unmute never
// gives a channel a level it did not have right before its mute.
void KeepAndMute(int channel)
{
    g_savedGain[channel] = g_channelGain[channel];
    g_channelGain[channel] = kChannelGainOff;
}

}  // namespace

void ChannelStrips::InvalidateChannelButtons()
{
    for (int c = 0; c < kChannels; ++c) m_view.InvalidateChannelButton(c);
}

void ChannelStrips::InvalidateChannelButton(int channel)
{
    if (IsChannel(channel)) m_view.InvalidateChannelButton(channel);
}

void ChannelStrips::SetPhaseButtonCaption(int channel, int stringId)
{
    m_view.PhaseButton(channel).SetText(LoadResString(stringId));
}

void ChannelStrips::ShowStrip(int channel)
{
    std::wstring text;
    ShowChannelGain(&m_view.GainSlider(channel), text, channel);
    m_view.GainField(channel).SetText(text);
    ShowChannelMute(m_view.MuteButton(channel), channel);
}

void ChannelStrips::ClickPhase(int channel)
{
    if (!IsChannel(channel)) return;
    const bool toInverted = m_view.PhaseButton(channel).GetText() == LoadResString(IDS_PHASE_0);
    const int partner = BridgedPartner(channel);
    for (int c : {channel, partner}) {
        if (c < 0) continue;
        if (toInverted) g_phaseMask |= 1 << c;
        else g_phaseMask &= ~(1 << c);
        SetPhaseButtonCaption(c, toInverted ? IDS_PHASE_180 : IDS_PHASE_0);
    }
}

void ChannelStrips::ClickMute(IModelView& model, int channel)
{
    if (!IsChannel(channel)) return;
    const bool mute = m_view.MuteButton(channel).GetText() == kUnmutedCaption;
    if (mute) KeepAndMute(channel);
    else g_channelGain[channel] = g_savedGain[channel];
    const int partner = BridgedPartner(channel);
    if (MuteLinkGroup(model, channel, mute ? 1 : 0) == 0 && partner >= 0) {
        if (mute) KeepAndMute(partner);
        else g_channelGain[partner] = g_savedGain[partner];
        ShowStrip(partner);
    }
    ShowStrip(channel);
}

void ChannelStrips::Select(IModelView& model, int channel)
{
    if (!IsChannel(channel)) return;
    g_selectedChannel = channel;
    InvalidateChannelButtons();
    model.RefreshEqControls();
    model.FeedSpectrum(true);
}

bool ChannelStrips::CommitGainField(int channel)
{
    if (!IsChannel(channel)) return false;
    ChannelGainKind kind(channel);
    if (kind.Commit(m_view.GainField(channel).GetText())) return true;
    m_view.GainField(channel).SetText(kind.Format());
    return false;
}

void ChannelStrips::ShowGainChange(int channel)
{
    if (!IsChannel(channel)) return;
    const int tied = TiedChannels(channel);
    for (int c = 0; c < kChannels; ++c)
        if (Has(tied, c)) ShowStrip(c);
}

void ChannelStrips::MoveGainSlider(int channel)
{
    if (!IsChannel(channel)) return;
    g_channelGain[channel] = m_view.GainSlider(channel).GetPos();
    const int tied = TiedChannels(channel);
    for (int c = 0; c < kChannels; ++c) {
        if (!Has(tied, c)) continue;
        g_channelGain[c] = g_channelGain[channel];
        ShowStrip(c);
    }
    IEditControl& field = m_view.GainField(channel);
    field.SelectAll();
    field.SetFocus();
}

// A delay goes only to the bridged partner, never to a link group: linked
// channels (a left/right pair) are the ones that need different delays.
void ChannelStrips::SpreadDelay(int channel)
{
    const int partner = BridgedPartner(channel);
    if (partner < 0) return;
    IDelayFields& delays = m_view.Delays();
    const int value = delays.GetValue(channel);
    if (delays.GetValue(partner) != value) delays.SetValue(partner, value);
}

void ChannelStrips::CommitDelayField(int channel)
{
    if (!IsChannel(channel)) return;
    DelayKind kind(m_view.Delays().GetValueRef(channel), false);
    if (kind.Commit(m_view.DelayText(channel).GetText())) SpreadDelay(channel);
    m_view.DelayText(channel).SetText(kind.Format());
}

void ChannelStrips::DelayChanged()
{
    const int focused = m_view.FocusedDelayChannel();
    if (IsChannel(focused)) SpreadDelay(focused);
}

void ChannelStrips::SetCalculatedDelay(int channel, int samples)
{
    if (IsChannel(channel)) m_view.Delays().SetValue(channel, samples);
}

void ChannelStrips::ToggleDelayUnit()
{
    g_delayInCm = g_delayInCm == 0 ? 1 : 0;
    for (int c = 0; c < kChannels; ++c) m_view.Delays().UpdateText(c);
    for (int c = 0; c < kChannels; ++c) m_view.InvalidateDelayUnitButton(c);
}

void ChannelStrips::ShowMasterMute()
{
    // The caption is written whatever the bit was.
    m_view.MasterMuteButton().SetText(FollowMasterVolumeMute().muted ? kMutedCaption : kUnmutedCaption);
}

void ChannelStrips::ClickMasterMute()
{
    if (m_view.MasterMuteButton().GetText() == kUnmutedCaption) {
        // OFF is kept too, as the channel mute keeps it.
        g_masterVolumeSaved = g_masterVolume;
        g_masterVolume = kMasterVolumeOff;
    } else {
        g_masterVolume = g_masterVolumeSaved;
    }
    ShowMasterMute();
    m_view.MasterVolumeField().SetText(MasterVolumeKind().Format());
    ISlider& slider = m_view.MasterSlider();
    slider.SetPos(g_masterVolume);
    slider.Invalidate();
}

void ChannelStrips::MoveMasterSlider()
{
    g_masterVolume = m_view.MasterSlider().GetPos();
    IEditControl& field = m_view.MasterVolumeField();
    field.SetText(MasterVolumeKind().Format());
    field.SelectAll();
    field.SetFocus();
    ShowMasterMute();
}

void ChannelStrips::CommitMasterField()
{
    IEditControl& field = m_view.MasterVolumeField();
    if (MasterVolumeKind().CommitOnFocusLoss(field.GetText())) {
        ISlider& slider = m_view.MasterSlider();
        slider.SetPos(g_masterVolume);
        slider.Invalidate();
        ShowMasterMute();
    }
    field.SetText(MasterVolumeKind().Format());
}

int ChannelStrips::NextInRing(int channel, int direction, const std::function<bool(int)>& shown)
{
    if (!IsChannel(channel) || (direction != 1 && direction != -1)) return -1;
    for (int step = 1; step < kChannels; ++step) {
        const int c = (channel + direction * step + kChannels) % kChannels;
        if (shown(c)) return c;
    }
    return -1;
}

bool ChannelStrips::IsSelected(int channel)
{
    if (!IsChannel(channel)) return false;
    const int sel = g_selectedChannel;
    if (channel == sel) return true;
    if (BridgePartnerOf(channel) == sel && BridgeFlagOf(channel) != 0) return true;
    for (int g : g_linkGroup) {
        if (Has(g, channel) && Has(g, sel)) return true;
    }
    return false;
}

bool ChannelStrips::IsMuted(int channel) { return (g_muteMask & MuteBitOf(channel)) != 0; }

bool ChannelStrips::IsMasterMuted() { return (g_muteMask & kMasterMuteBit) != 0; }

std::wstring ChannelStrips::ChannelCaption(int channel)
{
    if (!IsChannel(channel)) return {};
    const auto bytes = g_deviceChannelNames[channel].Get();
    const std::wstring name = DecodeAnsi(bytes.data(), bytes.size());
    return name.empty() ? LoadResString(ChannelLabelTextId(channel)) : name;
}

int ChannelStrips::DelayUnitCaptionId() { return g_delayInCm == 0 ? IDS_DELAY_UNIT_MS : IDS_DELAY_UNIT_CM; }
