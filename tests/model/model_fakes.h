// Recording fakes of the window-side views and a fixture that puts the
// model globals back to a known state before every test.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/device_state.h"
#include "model/model_view.h"
#include "model/params.h"
#include "model/resets.h"
#include "tests/support/model_globals.h"

struct FakeSlider : ISlider {
    int pos = -1;
    int invalidations = 0;
    int GetPos() const override { return pos; }
    void SetPos(int p) override { pos = p; }
    void Invalidate() override { ++invalidations; }
};

struct FakeText : ITextControl {
    std::wstring text;
    std::wstring GetText() const override { return text; }
    void SetText(const std::wstring& t) override { text = t; }
};

struct FakeEdit : IEditControl {
    std::wstring text;
    bool selected = false;
    bool focused = false;
    std::wstring GetText() const override { return text; }
    void SetText(const std::wstring& t) override { text = t; }
    void SelectAll() override { selected = true; }
    void SetFocus() override { focused = true; }
};

struct FakeDelays : IDelayFields {
    int value[kChannels] = {};
    int setCalls = 0;
    int GetValue(int c) const override { return value[c]; }
    void SetValue(int c, int samples) override
    {
        value[c] = samples;
        ++setCalls;
    }
    int* GetValueRef(int c) override { return &value[c]; }
    void UpdateText(int) override {}
};

struct FakeView : IModelView {
    FakeDelays delays;
    FakeText gainField[kChannels];
    FakeSlider gainSlider[kChannels];
    FakeText muteButton[kChannels];
    int phaseCaption[kChannels] = {};
    FakeText masterField, masterMute;
    FakeSlider masterSlider;
    std::map<int, FakeEdit> bandGainFields;
    int speakerClears = 0;
    int channelButtonRepaints = 0;
    std::vector<int> linkButtonRepaints;
    int routeButtonRepaints = 0;
    int eqRefreshes = 0;
    std::vector<bool> feeds;         // redraw flag of each FeedSpectrum
    std::vector<std::string> calls;  // order of the refresh calls
    bool answerYes = true;
    std::vector<std::pair<std::wstring, std::wstring>> questions;

    IDelayFields& DelayFields() override { return delays; }
    ITextControl& GainField(int c) override { return gainField[c]; }
    ISlider& GainSlider(int c) override { return gainSlider[c]; }
    ITextControl& MuteButton(int c) override { return muteButton[c]; }
    void SetPhaseButtonCaption(int c, int id) override { phaseCaption[c] = id; }
    ITextControl& MasterVolumeField() override { return masterField; }
    ISlider& MasterSlider() override { return masterSlider; }
    ITextControl& MasterMuteButton() override { return masterMute; }
    IEditControl& BandGainFieldOfId(int id) override { return bandGainFields[id]; }
    void ClearSpeakerDistances() override { ++speakerClears; }
    void InvalidateChannelButtons() override
    {
        ++channelButtonRepaints;
        calls.push_back("channels");
    }
    void InvalidateLinkButton(int c) override { linkButtonRepaints.push_back(c); }
    void InvalidateLinkButtons() override {}
    void InvalidateCurveButtons() override {}
    void InvalidateRouteButton(int, int) override
    {
        ++routeButtonRepaints;
        calls.push_back("route");
    }
    void RefreshEqControls() override
    {
        ++eqRefreshes;
        calls.push_back("refresh");
    }
    void FeedSpectrum(bool redraw) override
    {
        feeds.push_back(redraw);
        calls.push_back("feed");
    }
    bool AskCopyQuestion(const std::wstring& from, const std::wstring& to) override
    {
        questions.emplace_back(from, to);
        return answerYes;
    }
};

// Every test starts from the globals' start values and then the defaults of
// a full reset: no link groups, no bridges, delays in milliseconds, clean
// images and device model 4 without the AUX-3/AUX-4 option; it leaves the
// model that way for the next suite.
class ModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetModelGlobals();
        g_deviceModel = 4;
        FakeView scratch;
        ResetAll(scratch);
    }
    void TearDown() override { SetUp(); }

    static int Mask(const std::vector<int>& channels)
    {
        int m = 0;
        for (int c : channels) m |= 1 << c;
        return m;
    }

    FakeView view;
};
