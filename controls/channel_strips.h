// The twelve channel strips and the master volume: gain field and slider,
// phase, mute and channel buttons, delay field and unit button per channel.
// Their handlers keep the model and these controls in step.
#pragma once

#include <string>

#include "model/model_view.h"

// What the strips need of the window.
class IChannelStripView {
public:
    virtual ITextControl& PhaseButton(int channel) = 0;
    virtual void InvalidateChannelButton(int channel) = 0;

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

    // What the owner-drawn buttons show: a channel button is on while its
    // channel is selected, a mute button while its bit of g_muteMask is set.
    static bool IsSelected(int channel);
    static bool IsMuted(int channel);
    static bool IsMasterMuted();
    // A channel button's caption: its own text, or "CH<n>" when it has none.
    static std::wstring ChannelCaption(int channel, const std::wstring& text);

private:
    IChannelStripView& m_view;
};
