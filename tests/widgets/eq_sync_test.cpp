// The graph sync tick between the model and the graph, and mouse edits of the
// graph window that reach the model through it.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "graph_fixture.h"
#include "graph_window.h"
#include "link/eq_sync.h"
#include "model/codecs.h"
#include "model/params.h"
#include "tests/support/globals.h"

namespace {

class FakeText : public ITextControl {
public:
    std::wstring GetText() const override { return text; }
    void SetText(const std::wstring& t) override { text = t; }
    std::wstring text;
};

class FakeSlider : public ISlider {
public:
    int GetPos() const override { return pos; }
    void SetPos(int p) override { pos = p; }
    void Invalidate() override { ++repaints; }
    int pos = -1;
    int repaints = 0;
};

// The main window as the tick sees it, around any graph.
class FakeSyncView : public IEqSyncView {
public:
    explicit FakeSyncView(ISpectrum& g) : graph(g) {}
    ISpectrum& Graph() override { return graph; }
    void InvalidateGraph() override { ++graphInvalidations; }
    ITextControl& EqFreqField(int band) override { return freq[band]; }
    ITextControl& EqQField(int band) override { return q[band]; }
    ITextControl& EqGainField(int band) override { return gain[band]; }
    ISlider& EqGainSlider(int band) override { return slider[band]; }
    void RepaintBypassButton(int band) override { bypassRepaints.push_back(band); }
    ITextControl& HpFreqField() override { return hp; }
    ITextControl& LpFreqField() override { return lp; }

    ISpectrum& graph;
    FakeText freq[kBands], q[kBands], gain[kBands], hp, lp;
    FakeSlider slider[kBands];
    std::vector<int> bypassRepaints;
    int graphInvalidations = 0;
};

// Model and graph copies at their defaults, no links or bridges, CH1
// selected; the graph fed from it as the main dialog does.
class EqSyncTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        for (int c = 0; c < kChannels; ++c) {
            for (int b = 0; b < kBands; ++b) {
                g_eqFreq[c][b] = g_graphEqFreq[c][b] = g_isoBandFreq[b];
                g_eqGain[c][b] = g_graphEqGain[c][b] = kDefaultGainCode;
                g_eqQ[c][b] = g_graphEqQ[c][b] = kDefaultQ;
                g_eqQStep[c][b] = kDefaultQStep;
            }
            g_hpFreq[c] = g_graphHpFreq[c] = 20;
            g_lpFreq[c] = g_graphLpFreq[c] = 20000;
            g_hpSlope[c] = g_lpSlope[c] = kSlopeOff;
        }
    }
    void TearDown() override { ResetGlobals(); }

    static void Feed(ISpectrum& g)
    {
        const int c = g_selectedChannel;
        g.SetBandQs(g_eqQ[c], kBands);
        g.SetBandFreqs(g_eqFreq[c], kBands);
        g.SetBandGains(g_eqGain[c], kBands);
        g.SetChannelQs(&g_eqQ[0][0], kChannels * kBands);
        g.SetChannelFreqs(&g_eqFreq[0][0], kChannels * kBands);
        g.SetChannelGains(&g_eqGain[0][0], kChannels * kBands);
        g.SetCrossover(g_hpFreq[c], g_lpFreq[c], g_hpSlope[c], g_lpSlope[c], g_hpType[c], g_lpType[c], 0);
        g.SetChannelCrossovers(g_hpFreq, g_lpFreq, g_hpSlope, g_lpSlope, g_hpType, g_lpType);
        g.SetCurrentChannel(c, 0);
    }
};

// Model edits reach the graph one kind per tick: Q, then frequency, then gain.
TEST_F(EqSyncTest, ModelChangesArePushedOneKindPerTick)
{
    TestGraph graph;
    Feed(graph);
    FakeSyncView view(graph);
    g_eqQ[0][4] = 1.5;
    g_eqFreq[0][7] = 333;
    g_eqGain[0][9] = 80;
    g_eqGain[0][2] = 200;
    g_eqQ[5][1] = 9.0;  // another channel: pushed with the all-channel copy

    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::PushedQ);
    EXPECT_DOUBLE_EQ(graph.m_dBandQ[4], 1.5);
    EXPECT_DOUBLE_EQ(graph.m_dChannelQ[5][1], 9.0);
    EXPECT_EQ(graph.m_nBandFreq[7], g_isoBandFreq[7]);
    EXPECT_EQ(graph.redraws, 1);

    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::PushedFreq);
    EXPECT_EQ(graph.m_nBandFreq[7], 333);
    EXPECT_DOUBLE_EQ(graph.m_dBandGain[9], 0.0);

    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::PushedGain);
    EXPECT_DOUBLE_EQ(graph.m_dBandGain[9], 7.0);
    EXPECT_DOUBLE_EQ(graph.m_dBandGain[2], -5.0);
    EXPECT_EQ(view.bypassRepaints, (std::vector<int>{2, 9}));

    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::Idle);
    EXPECT_EQ(g_graphEqGain[0][9], 80);
    EXPECT_EQ(view.graphInvalidations, 0);  // nothing was pulled back
}

// Every gain code survives the trip into the graph and back.
TEST_F(EqSyncTest, PushedValuesDoNotComeBackChanged)
{
    TestGraph graph;
    Feed(graph);
    FakeSyncView view(graph);
    for (int code = 0; code <= 300; code += 1) {
        const int band = code % kBands;
        g_eqGain[0][band] = code;
        g_eqQ[0][band] = g_qStepTable[code % kQSteps];
        if (band == kBands - 1 || code == 300) {
            while (RunEqSyncTick(view) != EqSyncResult::Idle) {}
            for (int b = 0; b < kBands; ++b) EXPECT_EQ(g_graphEqGain[0][b], g_eqGain[0][b]) << code;
        }
    }
    EXPECT_EQ(view.graphInvalidations, 0);
}

// A changed cut frequency selects its filter, and the tick goes on to read
// the graph back.
TEST_F(EqSyncTest, CrossoverPushSelectsTheFilterAndGoesOn)
{
    TestGraph graph;
    Feed(graph);
    FakeSyncView view(graph);
    graph.m_dBandGain[3] = 6.0;  // dragged meanwhile
    g_lpFreq[0] = 5000;
    g_lpSlope[0] = 2;
    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::Pulled);
    EXPECT_EQ(graph.m_nSelCrossover, 1);
    EXPECT_EQ(graph.m_nLowPassFreq, 5000);
    EXPECT_EQ(graph.m_nLowPassSlope, 18);
    EXPECT_EQ(g_graphLpFreq[0], 5000);
    EXPECT_EQ(g_eqGain[0][3], 90);

    g_hpFreq[0] = 80;
    g_lpFreq[0] = 4000;
    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::PushedCrossover);
    EXPECT_EQ(graph.m_nSelCrossover, 0);  // the high-pass wins the selection
    EXPECT_EQ(graph.m_nHighPassFreq, 80);
    EXPECT_EQ(graph.m_nLowPassFreq, 4000);
}

// A Q edited in the model and a gain dragged in the graph within one tick.
TEST_F(EqSyncTest, PushEndsTheTickBeforeThePull)
{
    TestGraph graph;
    Feed(graph);
    FakeSyncView view(graph);
    g_eqQ[0][0] = 2.0;
    graph.m_dBandGain[5] = -3.0;
    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::PushedQ);
    EXPECT_EQ(g_eqGain[0][5], 150);
    EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::Pulled);
    EXPECT_EQ(g_eqGain[0][5], 180);
}

// Graph edits go to the receivers of the propagation rule, model and graph
// copy both, and into the window's fields; links beat bridges.
TEST_F(EqSyncTest, PulledValuesFollowLinksAndBridges)
{
    struct Case {
        const char* name;
        int selected;
        int linkGroup[3];  // entries 0..2 of g_linkGroup
        int bridge34;
        int receivers;
    };
    // clang-format off
    const Case cases[] = {
        {"alone", 2, {0, 0, 0}, 0, 1 << 2},
        {"bridged CH3/CH4", 2, {0, 0, 0}, 1, (1 << 2) | (1 << 3)},
        {"group beats bridge", 2, {0, (1 << 1) | (1 << 2) | (1 << 9), 0}, 1, (1 << 1) | (1 << 2) | (1 << 9)},
        {"first group holding it", 9, {(1 << 0) | (1 << 9), (1 << 1) | (1 << 9), 0}, 0, (1 << 0) | (1 << 9)},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SetUp();
        g_selectedChannel = k.selected;
        for (int g = 0; g < 3; ++g) g_linkGroup[g] = k.linkGroup[g];
        g_btlPair34 = k.bridge34;
        for (auto& flattened : g_eqGainFlattened) flattened[6] = true;  // as BypassEQ leaves them
        TestGraph graph;
        Feed(graph);
        FakeSyncView view(graph);
        graph.m_nBandFreq[6] = 180;
        graph.m_dBandQ[6] = 0.1;
        graph.m_dBandGain[6] = 3.25;
        graph.m_nHighPassFreq = 55;
        graph.m_nLowPassFreq = 12000;

        EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::Pulled);
        for (int c = 0; c < kChannels; ++c) {
            const bool gets = (k.receivers >> c) & 1;
            EXPECT_EQ(g_eqFreq[c][6], gets ? 180 : g_isoBandFreq[6]) << c;
            EXPECT_EQ(g_graphEqFreq[c][6], g_eqFreq[c][6]) << c;
            EXPECT_DOUBLE_EQ(g_eqQ[c][6], gets ? 0.1 : kDefaultQ) << c;
            EXPECT_DOUBLE_EQ(g_graphEqQ[c][6], g_eqQ[c][6]) << c;
            EXPECT_EQ(g_eqQStep[c][6], kDefaultQStep) << c;
            EXPECT_EQ(g_eqGain[c][6], gets ? 117 : 150) << c;
            EXPECT_EQ(g_graphEqGain[c][6], g_eqGain[c][6]) << c;
            EXPECT_EQ(g_eqGainFlattened[c][6], !gets) << c;  // a dragged gain is not a flattened one
            EXPECT_EQ(g_lpFreq[c], gets ? 12000 : 20000) << c;
            EXPECT_EQ(g_hpFreq[c], 20) << c;  // one crossover per tick, low-pass first
            // The receivers' curves follow in the graph.
            EXPECT_EQ(graph.m_nChannelFreq[c][6], g_eqFreq[c][6]) << c;
            EXPECT_EQ(graph.m_nChannelLowPassFreq[c], g_lpFreq[c]) << c;
        }
        EXPECT_EQ(view.freq[6].text, L"180");
        EXPECT_EQ(view.q[6].text, L"0.10");
        EXPECT_EQ(view.gain[6].text, L"3.3");  // FormatEqGain of code 117
        EXPECT_EQ(view.slider[6].pos, 117);
        EXPECT_EQ(view.slider[6].repaints, 1);
        EXPECT_EQ(view.bypassRepaints, std::vector<int>{6});
        EXPECT_EQ(view.lp.text, L"12000");
        EXPECT_EQ(view.hp.text, L"");
        EXPECT_EQ(view.graphInvalidations, 1);

        EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::Pulled);
        EXPECT_EQ(view.hp.text, L"55");
        for (int c = 0; c < kChannels; ++c) EXPECT_EQ(g_hpFreq[c], ((k.receivers >> c) & 1) ? 55 : 20) << c;
        EXPECT_EQ(RunEqSyncTick(view), EqSyncResult::Idle);
    }
}

// ---- Mouse edits through the window, into the model ----

class GraphDragTest : public EqSyncTest {
protected:
    // One tick with the window's graph; keeps the field texts it wrote.
    EqSyncResult Tick(GraphWindow& w)
    {
        FakeSyncView view(w.Data());
        const EqSyncResult r = RunEqSyncTick(view);
        texts.clear();
        for (int b = 0; b < kBands; ++b) {
            if (!view.freq[b].text.empty()) texts["freq" + std::to_string(b)] = view.freq[b].text;
            if (!view.q[b].text.empty()) texts["q" + std::to_string(b)] = view.q[b].text;
            if (!view.gain[b].text.empty()) texts["gain" + std::to_string(b)] = view.gain[b].text;
        }
        if (!view.hp.text.empty()) texts["hp"] = view.hp.text;
        if (!view.lp.text.empty()) texts["lp"] = view.lp.text;
        return r;
    }
    std::map<std::string, std::wstring> texts;
};

// A peak dragged in parametric mode moves frequency and gain; the tick
// carries both into the model of the bridged pair and into the fields.
TEST_F(GraphDragTest, PeakDragLandsInTheModel)
{
    GraphWindow w;  // 1000 x 300: L 33, T 12, R 987, B 276, Z 144, S 44
    g_btlPair12 = 1;
    Feed(w.Data());
    w.Data().SetPeqMode(1);
    const GraphPoint p3 = w.Data().m_bezier.m_ptBand[17][3];  // 1000 Hz at x 573
    ASSERT_EQ(p3.x, 573) << w.Data().m_rcClient.right << " " << w.Data().m_nPlotLeft;

    w.Press(p3.x, p3.y);  // not hovered yet: no grab
    w.Move(p3.x + 40, 100);
    EXPECT_EQ(w.Data().m_nDragBand, -1);
    EXPECT_FALSE(w.HoldsCapture());
    w.Release(p3.x + 40, 100);

    w.GrabBand(17, 650, 100);
    EXPECT_EQ(w.Data().m_nDragBand, 17);
    EXPECT_EQ(w.Data().m_nSelBand, 17);
    EXPECT_TRUE(w.HoldsCapture());
    EXPECT_EQ(w.Data().m_nBandFreq[17], w.Data().XToFreq(650));
    EXPECT_DOUBLE_EQ(w.Data().m_dBandGain[17], 5.0);
    EXPECT_EQ(w.Data().m_bezier.m_ptBand[17][3], (GraphPoint{650, 100}));
    w.Release(650, 100);
    EXPECT_EQ(w.Data().m_nDragBand, -1);
    EXPECT_FALSE(w.HoldsCapture());
    EXPECT_FALSE(w.Data().m_bDragHook);

    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    const int f = w.Data().XToFreq(650);
    for (int c : {0, 1}) {
        EXPECT_EQ(g_eqFreq[c][17], f) << c;
        EXPECT_EQ(g_eqGain[c][17], 100) << c;
        EXPECT_EQ(g_graphEqGain[c][17], 100) << c;
    }
    EXPECT_EQ(g_eqGain[2][17], 150);
    EXPECT_EQ(texts["freq17"], std::to_wstring(f));
    EXPECT_EQ(texts["gain17"], L"5.0");
    EXPECT_EQ(Tick(w), EqSyncResult::Idle);
}

// Graphic mode: a peak drag changes the gain only; beyond the plot the
// drawn peak stays on the edge and the gain keeps its last value.
TEST_F(GraphDragTest, GraphicModeDragsGainOnly)
{
    GraphWindow w;
    Feed(w.Data());
    w.Data().SetPeqMode(0);
    w.GrabBand(10, 900, 200);
    EXPECT_EQ(w.Data().m_nBandFreq[10], g_isoBandFreq[10]);
    const double gain = w.Data().m_dBandGain[10];
    EXPECT_NEAR(gain, (144 - 200) * 5.0 / 44, 1e-12);
    w.Move(900, 290);  // below B
    EXPECT_DOUBLE_EQ(w.Data().m_dBandGain[10], gain);
    EXPECT_EQ(w.Data().m_bezier.m_ptBand[10][3].y, 276);
    w.Release(900, 290);
    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    EXPECT_EQ(g_eqFreq[0][10], g_isoBandFreq[10]);
    EXPECT_EQ(g_eqGain[0][10], EqGainCodeOfDb(gain));
}

// The top row of a plot whose height leaves an odd remainder stands above
// +15 dB; the dragged gain stays at +15 dB and the code at 0.
TEST_F(GraphDragTest, TopRowOfAnOddPlotGivesPlus15)
{
    GraphWindow w(96, 1000, 301);  // T 12, Z 145, B 277, S 44: B - T = 6S + 1
    Feed(w.Data());
    w.GrabBand(20, 700, 12);
    EXPECT_DOUBLE_EQ(w.Data().m_dBandGain[20], 15.0);
    w.Move(700, -40);  // above the plot, outside the control
    EXPECT_DOUBLE_EQ(w.Data().m_dBandGain[20], 15.0);
    EXPECT_EQ(w.Data().m_bezier.m_ptBand[20][3].y, 12);
    w.Release(700, 277);  // released on the bottom row: the gain is kept
    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    EXPECT_EQ(g_eqGain[0][20], 0);
    EXPECT_EQ(texts["gain20"], L"15.0");
}

// Q handles: Q follows the inner edge, stays within 0.1..10.0, and the tick
// takes it into the model without moving the step cursor.
TEST_F(GraphDragTest, QHandleDrag)
{
    GraphWindow w;
    Feed(w.Data());
    w.Data().SetPeqMode(1);
    ASSERT_TRUE(w.Data().SelectBand(17));
    w.Paint();  // places the handles: Q 4.32 at offset 56
    ASSERT_EQ(w.Data().m_nQHandleOffset, 56);
    const GraphPoint p3 = w.Data().m_bezier.m_ptBand[17][3];

    w.Press(p3.x + 76, p3.y);  // the right handle's inner edge
    EXPECT_EQ(w.Data().m_nDragQHandle, 1);
    EXPECT_TRUE(w.HoldsCapture());
    w.Move(p3.x + 76, p3.y + 30);
    EXPECT_DOUBLE_EQ(w.Data().m_dBandQ[17], 4.4);
    // clang-format off
    const struct { int x; double q; } steps[] = {
        {p3.x + 119, 0.1}, {p3.x + 600, 0.1}, {p3.x + 118, 0.2}, {p3.x + 20, 10.0}, {p3.x - 100, 10.0}, {p3.x + 119, 0.1},
    };
    // clang-format on
    for (auto s : steps) {
        w.Move(s.x, p3.y);
        EXPECT_DOUBLE_EQ(w.Data().m_dBandQ[17], s.q) << s.x - p3.x;
    }
    w.Release(p3.x + 119, p3.y);
    EXPECT_EQ(w.Data().m_nDragQHandle, 0);

    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    EXPECT_DOUBLE_EQ(g_eqQ[0][17], 0.1);
    EXPECT_EQ(g_eqQStep[0][17], kDefaultQStep);
    EXPECT_EQ(texts["q17"], L"0.10");

    // The left handle, after the repaint placed the handles for Q 0.1.
    w.Paint();
    const int r = w.Data().m_nQHandleOffset;
    EXPECT_EQ(r, 98);
    w.Press(p3.x - 38 - r, p3.y);
    EXPECT_EQ(w.Data().m_nDragQHandle, -1);
    w.Move(p3.x - 38, p3.y);
    EXPECT_DOUBLE_EQ(w.Data().m_dBandQ[17], 10.0);
    w.Release(p3.x - 38, p3.y);
    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    EXPECT_DOUBLE_EQ(g_eqQ[0][17], 10.0);
}

// Crossover markers: dragged past the plot's edges they give 20 Hz and
// 20000 Hz; both moved within one tick, the low-pass is taken first.
TEST_F(GraphDragTest, CrossoverMarkerDrags)
{
    GraphWindow w;
    g_hpFreq[0] = g_graphHpFreq[0] = 1000;
    g_lpFreq[0] = g_graphLpFreq[0] = 1000;
    g_hpSlope[0] = 3;
    g_btlPair12 = 1;
    Feed(w.Data());
    const GraphRect h = w.Data().HighPassMarkerRect();  // {568, 188, 578, 202}
    const GraphRect l = w.Data().LowPassMarkerRect();   // {568, 217, 578, 231}

    w.Hover(h.left + 2, h.top + 2);
    EXPECT_EQ(w.Data().m_nHoverCrossover, 0);
    w.Press(h.left + 2, h.top + 2);
    EXPECT_EQ(w.Data().m_nDragCrossover, 0);
    const struct {
        int x, freq;
    } hpSteps[] = {{-30, 20}, {33, 20}, {34, w.Data().XToFreq(34)}, {987, 20000}, {2000, 20000}};
    for (auto s : hpSteps) {
        w.Move(s.x, 300);
        EXPECT_EQ(w.Data().m_nHighPassFreq, s.freq) << s.x;
    }
    EXPECT_EQ(w.Data().m_nSelCrossover, 0);
    EXPECT_EQ(w.Data().m_nHoverCrossover, 0);
    w.Release(2000, 300);  // far outside the control
    EXPECT_EQ(w.Data().m_nDragCrossover, -1);
    EXPECT_FALSE(w.HoldsCapture());

    w.Hover(l.left + 1, l.top + 1);
    EXPECT_EQ(w.Data().m_nHoverCrossover, 1);
    w.Press(l.left + 1, l.top + 1);
    const struct {
        int x, freq;
    } lpSteps[] = {{32, 20}, {33, 20}, {986, w.Data().XToFreq(986)}, {987, 20000}};
    for (auto s : lpSteps) {
        w.Move(s.x, 5);
        EXPECT_EQ(w.Data().m_nLowPassFreq, s.freq) << s.x;
    }
    w.Move(200, 5);
    const int lp = w.Data().XToFreq(200);
    w.Release(200, 5);
    EXPECT_EQ(w.Data().m_nSelCrossover, 1);

    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    EXPECT_EQ(texts["lp"], std::to_wstring(lp));
    EXPECT_EQ(texts.count("hp"), 0u);
    EXPECT_EQ(g_hpFreq[0], 1000);
    EXPECT_EQ(Tick(w), EqSyncResult::Pulled);
    EXPECT_EQ(texts["hp"], L"20000");
    for (int c : {0, 1}) {
        EXPECT_EQ(g_lpFreq[c], lp) << c;
        EXPECT_EQ(g_hpFreq[c], 20000) << c;
        EXPECT_EQ(g_graphHpFreq[c], 20000) << c;
    }
    EXPECT_EQ(g_hpFreq[2], 20);
    EXPECT_EQ(Tick(w), EqSyncResult::Idle);
}

// The main dialog closed during a drag removes the grab; another window's
// handle removes nothing.
TEST_F(GraphDragTest, CloseDuringADragRemovesTheGrab)
{
    GraphWindow w;
    Feed(w.Data());
    w.GrabBand(5, 300, 100);
    ASSERT_TRUE(w.HoldsCapture());
    EXPECT_EQ(w.RemoveHookOfOtherWindow(), 0);
    EXPECT_TRUE(w.HoldsCapture());
    EXPECT_EQ(w.RemoveHook(), 1);
    EXPECT_FALSE(w.HoldsCapture());
    EXPECT_EQ(w.RemoveHook(), 0);
    w.Release(300, 100);
    EXPECT_EQ(w.Data().m_nDragBand, -1);
}

}  // namespace
