#include "model/images_refresh.h"

#include <string>

#include "model/codecs.h"
#include "model/params.h"

void ApplyChannelLevel(IModelView& view, int channel, int gain, bool inverted)
{
    if (inverted) g_phaseMask |= 1 << channel;
    else g_phaseMask &= ~(1 << channel);
    view.SetPhaseButtonCaption(channel, inverted ? kTextPhase180 : kTextPhase0);

    SetChannelGain(channel, gain, &view.GainSlider(channel));
    std::wstring text;
    FormatChannelGain(text, channel);
    view.GainField(channel).SetText(text);

    ShowChannelMute(view.MuteButton(channel), channel);
}

void ApplyMasterVolume(IModelView& view, int volume)
{
    g_masterVolume = volume;
    std::wstring text;
    FormatMasterVolume(text);
    view.MasterVolumeField().SetText(text);
    ISlider& slider = view.MasterSlider();
    slider.SetPos(volume);
    slider.Invalidate();
    // The caption is written at OFF, and when the bit was cleared.
    const MasterMuteStep mute = FollowMasterVolumeMute();
    if (mute.muted) view.MasterMuteButton().SetText(kMutedCaption);
    else if (mute.changed) view.MasterMuteButton().SetText(kUnmutedCaption);
}

void ApplyRoutingMask(IModelView& view, int output, uint32_t mask)
{
    if (g_routingMask[output] == mask) return;
    g_routingMask[output] = mask;
    for (int bit = 0; bit < kInputs; ++bit) view.InvalidateRouteButton(output, bit);
}
