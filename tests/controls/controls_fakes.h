// Recording views of the control families and a fixture that puts the
// model back to its defaults around every test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/channel_strips.h"
#include "controls/crossovers.h"
#include "controls/eq_bands.h"
#include "controls/links_curves.h"
#include "controls/routing.h"
#include "model/params.h"
#include "model/ports.h"
#include "model/resets.h"
#include "platform/resources.h"
#include "tests/model/model_fakes.h"

struct FakeSelector : ISelector {
    std::vector<std::wstring> items;
    int sel = -1;
    void AddItem(const std::wstring& text) override { items.push_back(text); }
    void SetCurSel(int index) override { sel = index >= 0 && index < static_cast<int>(items.size()) ? index : -1; }
    int GetCurSel() const override { return sel; }
};

// Records what the graph is handed, in order.
struct FakeGraph : ISpectrum {
    std::vector<std::string> calls;
    const int* bandFreqs = nullptr;
    const int* bandGains = nullptr;
    const double* bandQs = nullptr;
    int channelCount = 0;
    int current = -1;
    int crossover[7] = {};
    int pointsRedraw = -1, pointsBand = -1;
    int visible = 0;
    int peq = -1;

    void SetBandQs(const double* qs, int) override
    {
        bandQs = qs;
        calls.push_back("bandQs");
    }
    void SetBandFreqs(const int* f, int) override
    {
        bandFreqs = f;
        calls.push_back("bandFreqs");
    }
    void SetBandGains(const int* g, int) override
    {
        bandGains = g;
        calls.push_back("bandGains");
    }
    void SetChannelQs(const double*, int n) override
    {
        channelCount = n;
        calls.push_back("channelQs");
    }
    void SetChannelFreqs(const int*, int n) override
    {
        channelCount = n;
        calls.push_back("channelFreqs");
    }
    void SetChannelGains(const int*, int n) override
    {
        channelCount = n;
        calls.push_back("channelGains");
    }
    const int* GetBandFreqs() const override { return bandFreqs; }
    const double* GetBandGains() const override { return nullptr; }
    const double* GetBandQs() const override { return bandQs; }
    int GetHighPassFreq() const override { return crossover[0]; }
    int GetLowPassFreq() const override { return crossover[1]; }
    void SetCrossover(int hp, int lp, int hs, int ls, int ht, int lt, int redraw) override
    {
        const int v[7] = {hp, lp, hs, ls, ht, lt, redraw};
        std::copy(v, v + 7, crossover);
        calls.push_back("crossover");
    }
    void SetChannelCrossovers(const int*, const int*, const int*, const int*, const int*, const int*) override
    {
        calls.push_back("channelCrossovers");
    }
    void SetCurrentChannel(int c, int) override
    {
        current = c;
        calls.push_back("current");
    }
    bool SelectBand(int) override { return true; }
    void SelectCrossover(int) override {}
    void UpdateBandPoints(int redraw, int band) override
    {
        pointsRedraw = redraw;
        pointsBand = band;
        calls.push_back("points");
    }
    void SetPeqMode(int p) override { peq = p; }
    int GetVisibleChannels() const override { return visible; }
    void SetVisibleChannels(int mask) override { visible = mask; }
    int ToggleChannelVisible(int c) override { return visible ^= 1 << c; }
};

// One view of every family, as the main window is.
struct FakeControls : IChannelStripView, IEqBandView, ICrossoverView, ILinkCurveView, IRoutingView {
    FakeText phase[kChannels];
    std::vector<int> channelRepaints, linkRepaints, curveRepaints, bypassRepaints;
    std::vector<std::pair<int, int>> routeRepaints;
    FakeText freq[kBands], gain[kBands], q[kBands], hpFreq, lpFreq;
    FakeSlider slider[kBands];
    FakeSelector hpType, hpSlope, lpType, lpSlope;
    FakeGraph graph;
    int hoverClears = 0;
    int graphRepaints = 0;
    // Channel strips and master volume.
    FakeEdit chGain[kChannels], delayText[kChannels], masterField;
    FakeSlider chSlider[kChannels], masterSlider;
    FakeText mute[kChannels], masterMute;
    FakeDelays delays;
    int focusedDelay = -1;
    std::vector<int> unitRepaints;
    bool fieldsEnabled[kBands] = {};
    int modeRepaints = 0;
    std::vector<int> questions;
    bool answerYes = true;

    IEditControl& GainField(int c) override { return chGain[c]; }
    ISlider& GainSlider(int c) override { return chSlider[c]; }
    ITextControl& MuteButton(int c) override { return mute[c]; }
    IEditControl& DelayText(int c) override { return delayText[c]; }
    IDelayFields& Delays() override { return delays; }
    int FocusedDelayChannel() override { return focusedDelay; }
    IEditControl& MasterVolumeField() override { return masterField; }
    ISlider& MasterSlider() override { return masterSlider; }
    ITextControl& MasterMuteButton() override { return masterMute; }
    void InvalidateDelayUnitButton(int c) override { unitRepaints.push_back(c); }
    void InvalidateGraph() override { ++graphRepaints; }
    ITextControl& PhaseButton(int c) override { return phase[c]; }
    void InvalidateChannelButton(int c) override { channelRepaints.push_back(c); }
    ITextControl& BandFreqField(int b) override { return freq[b]; }
    ITextControl& BandGainField(int b) override { return gain[b]; }
    ITextControl& BandQField(int b) override { return q[b]; }
    ISlider& BandGainSlider(int b) override { return slider[b]; }
    void RepaintBypassButton(int b) override { bypassRepaints.push_back(b); }
    void EnableFreqAndQFields(int b, bool enable) override { fieldsEnabled[b] = enable; }
    void RepaintModeButton() override { ++modeRepaints; }
    bool AskYesNo(int stringId) override
    {
        questions.push_back(stringId);
        return answerYes;
    }
    ISpectrum& Graph() override { return graph; }
    void ClearGraphHover() override
    {
        ++hoverClears;
        graph.calls.push_back("hover");
    }
    ITextControl& HpFreqField() override { return hpFreq; }
    ITextControl& LpFreqField() override { return lpFreq; }
    ISelector& HpTypeSelector() override { return hpType; }
    ISelector& HpSlopeSelector() override { return hpSlope; }
    ISelector& LpTypeSelector() override { return lpType; }
    ISelector& LpSlopeSelector() override { return lpSlope; }
    void InvalidateLinkButton(int c) override { linkRepaints.push_back(c); }
    void InvalidateCurveButton(int c) override { curveRepaints.push_back(c); }
    void InvalidateRouteButton(int o, int i) override { routeRepaints.emplace_back(o, i); }
};

class ControlsTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        g_languageId = 0x0409;
    }
    FakeControls controls;
};
