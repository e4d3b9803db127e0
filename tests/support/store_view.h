// A window view that only stores what the model hands it: for the fuzz
// targets, the seed generator and the link sessions.
#pragma once

#include <string>

#include "model/image_view.h"
#include "model/params.h"

struct StoreSlider : ISlider {
    int pos = 0;
    int GetPos() const override { return pos; }
    void SetPos(int p) override { pos = p; }
    void Invalidate() override {}
};

struct StoreText : IEditControl {
    std::wstring text;
    std::wstring GetText() const override { return text; }
    void SetText(const std::wstring& t) override { text = t; }
    void SelectAll() override {}
    void SetFocus() override {}
};

struct StoreDelays : IDelayFields {
    int value[kChannels] = {};
    int GetValue(int c) const override { return value[c]; }
    void SetValue(int c, int samples) override { value[c] = samples; }
    int* GetValueRef(int c) override { return &value[c]; }
    void UpdateText(int) override {}
};

struct StoreView : IImageView {
    StoreDelays delays;
    StoreText text[kChannels];
    StoreSlider slider[kChannels];
    StoreText field;
    StoreSlider masterSlider;
    int visibleMask = 0;

    IDelayFields& DelayFields() override { return delays; }
    ITextControl& GainField(int c) override { return text[c]; }
    ISlider& GainSlider(int c) override { return slider[c]; }
    ITextControl& MuteButton(int c) override { return text[c]; }
    void SetPhaseButtonCaption(int, int) override {}
    ITextControl& MasterVolumeField() override { return field; }
    ISlider& MasterSlider() override { return masterSlider; }
    ITextControl& MasterMuteButton() override { return field; }
    IEditControl& BandGainFieldOfId(int) override { return field; }
    void ClearSpeakerDistances() override {}
    void InvalidateChannelButtons() override {}
    void InvalidateLinkButton(int) override {}
    void InvalidateLinkButtons() override {}
    void InvalidateCurveButtons() override {}
    void InvalidateRouteButton(int, int) override {}
    void RefreshEqControls() override {}
    void FeedSpectrum(bool) override {}
    bool AskCopyQuestion(const std::wstring&, const std::wstring&) override { return true; }
    int GetVisibleChannels() const override { return visibleMask; }
    void SetVisibleChannels(int mask) override { visibleMask = mask & 0xFFFF; }
};

// Stops the run when a property of the code under test does not hold.
#define FUZZ_CHECK(cond)               \
    do {                               \
        if (!(cond)) __builtin_trap(); \
    } while (0)
