// The twelve channel strips and the master volume: gain field and slider,
// phase, mute and channel buttons, delay field and unit button per channel.
// Their handlers keep the model and these controls in step: after each one
// the model, the fields, the sliders and the button captions agree, for the
// channel and for every channel tied to it (link group, else bridged pair;
// phase and delay only the bridged partner).
#pragma once

#include <functional>
#include <string>

#include "model/model_view.h"
#include "model/ports.h"

// What the strips need of the window. Channels are 0..11.
class IChannelStripView {
public:
    virtual IEditControl& GainField(int channel) = 0;
    virtual ISlider& GainSlider(int channel) = 0;
    virtual ITextControl& MuteButton(int channel) = 0;
    virtual ITextControl& PhaseButton(int channel) = 0;
    // The delay field's text; its count lives in Delays().
    virtual IEditControl& DelayText(int channel) = 0;
    virtual IDelayFields& Delays() = 0;
    // The channel whose delay field has the keyboard focus, -1 for none.
    virtual int FocusedDelayChannel() = 0;
    virtual IEditControl& MasterVolumeField() = 0;
    virtual ISlider& MasterSlider() = 0;
    virtual ITextControl& MasterMuteButton() = 0;
    virtual void InvalidateChannelButton(int channel) = 0;
    virtual void InvalidateDelayUnitButton(int channel) = 0;

protected:
    ~IChannelStripView() = default;
};

class ChannelStrips {
public:
    explicit ChannelStrips(IChannelStripView& view) : m_view(view) {}

    // Repaints the twelve channel buttons, or one (a renamed channel; a
    // channel outside 0..11 repaints nothing).
    void InvalidateChannelButtons();
    void InvalidateChannelButton(int channel);
    // Gives the phase button the text of the string with that id.
    void SetPhaseButtonCaption(int channel, int stringId);

    // The handlers. A channel outside 0..11 does nothing.
    // Phase button: 0° <-> 180° by its caption; a bridged partner takes
    // the same new state.
    void ClickPhase(int channel);
    // Mute button: mutes keeping each channel's attenuation in g_savedGain
    // (OFF too), or gives it back; the link group follows, else the bridged
    // partner. A channel given back OFF stays muted.
    void ClickMute(IModelView& model, int channel);
    // Selects the channel for the equaliser, crossovers and graph.
    void Select(IModelView& model, int channel);
    // The gain field's text committed: true when a new gain was stored (and
    // spread); a rejected text gives way to the stored gain's text.
    bool CommitGainField(int channel);
    // After a gain step or commit: the slider, text and mute state of every
    // channel holding the channel's gain (its link group, else its bridged
    // pair, else itself).
    void ShowGainChange(int channel);
    // The gain slider moved: store its position, spread it, show it, and
    // leave the focus in the gain field with its text selected.
    void MoveGainSlider(int channel);
    // The delay field's text committed (on focus loss): a rejected text
    // gives way to the stored count's; an accepted one goes to the bridged
    // partner. Delays never follow a link group.
    void CommitDelayField(int channel);
    // A delay field stepped or took Enter: the focused delay field's bridged
    // partner takes its count.
    void DelayChanged();
    // The delay calculator's result for one channel: count and distance.
    void SetCalculatedDelay(int channel, int samples);
    // ms <-> cm for all twelve delay fields.
    void ToggleDelayUnit();

    // Master volume.
    void ClickMasterMute();
    void MoveMasterSlider();
    void CommitMasterField();

    // The next field of a ring of twelve (delay or gain fields) from
    // channel, right (+1) or left (-1), wrapping, skipping channels not
    // shown; -1 when no other channel is shown or the direction is neither.
    static int NextInRing(int channel, int direction, const std::function<bool(int)>& shown);

    // What the owner-drawn buttons show (the window's painting asks): a
    // channel button has the selected look while its channel is selected,
    // its bridge partner is selected with their pair flag set, or a link
    // group holds both; a mute button is on while its bit of g_muteMask is
    // set.
    static bool IsSelected(int channel);
    static bool IsMuted(int channel);
    static bool IsMasterMuted();
    // A channel button's caption: the device's name of the channel (system
    // code page, at most 20 bytes), else "CH1".."CH12" from the string
    // table; empty outside 0..11.
    static std::wstring ChannelCaption(int channel);
    // The unit buttons' caption, which picks their picture: the string id of
    // "MS" or "CM".
    static int DelayUnitCaptionId();

private:
    // Slider, text and mute state of one channel from its gain.
    void ShowStrip(int channel);
    void ShowMasterMute();
    void SpreadDelay(int channel);

    IChannelStripView& m_view;
};
