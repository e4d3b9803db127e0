// What the model's window-side routines (resets, link groups, group mute,
// band slider) need of the main window. The main dialog implements
// IModelView; its member functions forward to the free functions of
// resets.h and propagation.h.
#pragma once

#include <string>

#include "model/ports.h"
#include "model/text_ids.h"

// A control with a caption or text (buttons, entry fields).
class ITextControl {
public:
    virtual std::wstring GetText() const = 0;
    virtual void SetText(const std::wstring& text) = 0;

protected:
    ~ITextControl() = default;
};

// An entry field the model can also select and focus.
class IEditControl : public ITextControl {
public:
    virtual void SelectAll() = 0;  // the whole text (EM_SETSEL 0, -1)
    virtual void SetFocus() = 0;

protected:
    ~IEditControl() = default;
};

// Mute button captions; the mute handlers tell the state by them.
inline constexpr const wchar_t* kMutedCaption = L"静音";
inline constexpr const wchar_t* kUnmutedCaption = L"非静音";

class IModelView {
public:
    // The twelve delay fields; they hold the channels' delays.
    virtual IDelayFields& DelayFields() = 0;

    // Channel strips, by channel 0..11.
    virtual ITextControl& GainField(int channel) = 0;
    virtual ISlider& GainSlider(int channel) = 0;
    virtual ITextControl& MuteButton(int channel) = 0;
    // Sets the phase button's caption to the string with that id.
    virtual void SetPhaseButtonCaption(int channel, int stringId) = 0;

    // Master volume.
    virtual ITextControl& MasterVolumeField() = 0;
    virtual ISlider& MasterSlider() = 0;
    virtual ITextControl& MasterMuteButton() = 0;

    // A band gain field by its control id.
    virtual IEditControl& BandGainFieldOfId(int controlId) = 0;

    // Sets the twelve remembered speaker distances of the delay calculator to 0.
    virtual void ClearSpeakerDistances() = 0;

    // Repaints.
    virtual void InvalidateChannelButtons() = 0;
    virtual void InvalidateLinkButton(int channel) = 0;
    virtual void InvalidateLinkButtons() = 0;
    virtual void InvalidateCurveButtons() = 0;
    virtual void InvalidateRouteButton(int output, int inputBit) = 0;

    // Rewrites the band and crossover controls of g_selectedChannel.
    virtual void RefreshEqControls() = 0;
    // Hands the selected channel and the whole EQ and crossover model to the graph.
    virtual void FeedSpectrum(bool redraw) = 0;

    // String IDS_CONFIRM_LINK_COPY formatted with the two labels, asked as a
    // Yes/No message box. False only when the user answered No.
    virtual bool AskCopyQuestion(const std::wstring& fromLabel, const std::wstring& toLabel) = 0;

protected:
    ~IModelView() = default;
};
