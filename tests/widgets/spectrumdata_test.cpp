#include <gtest/gtest.h>

#include <vector>

#include "graph_fixture.h"
#include "model/codecs.h"

namespace {

struct LayoutCase {
    int dpi;
    GraphRect rc;
    int left, top, right, bottom, step, zero;
};

TEST(GraphLayout, PlotRectangleByDpiAndSize)
{
    // clang-format off
    const LayoutCase cases[] = {
        {96, {0, 0, 1000, 300}, 33, 12, 987, 276, 44, 144},
        // narrower than the plot plus margins: L sticks to left + 30
        {96, {0, 0, 900, 300}, 30, 12, 984, 276, 44, 144},
        // height leaving an odd remainder: B - T = 6S + 1
        {96, {0, 0, 1000, 301}, 33, 12, 987, 277, 44, 145},
        {144, {0, 0, 1500, 400}, 85, 11, 1435, 377, 61, 194},
        {200, {0, 0, 1900, 500}, 75, 10, 1845, 478, 78, 244},
    };
    // clang-format on
    for (const auto& c : cases) {
        TestGraph g(c.dpi, c.rc);
        EXPECT_EQ(g.m_nPlotLeft, c.left) << c.dpi << " " << c.rc.right;
        EXPECT_EQ(g.m_nPlotTop, c.top) << c.dpi << " " << c.rc.bottom;
        EXPECT_EQ(g.m_nPlotRight, c.right) << c.dpi;
        EXPECT_EQ(g.m_nPlotBottom, c.bottom) << c.dpi;
        EXPECT_EQ(g.m_nStep5dB, c.step) << c.dpi;
        EXPECT_EQ(g.m_nZeroY, c.zero) << c.dpi;
    }
}

TEST(GraphLayout, DpiBuckets)
{
    // clang-format off
    const struct { int dpi, perDecade; } cases[] = {
        {96, 318}, {109, 318}, {110, 360}, {131, 360}, {132, 450},
        {157, 450}, {158, 546}, {187, 546}, {188, 590}, {300, 590},
    };
    // clang-format on
    for (auto c : cases) EXPECT_EQ(SpectrumData::PixelsPerDecadeFor(c.dpi), c.perDecade) << c.dpi;
}

TEST(GraphMaps, PlotEdgesAreTheDecadeEnds)
{
    for (int dpi : {96, 120, 144, 168, 192}) {
        TestGraph g(dpi, {0, 0, 2000, 400});
        EXPECT_EQ(g.FreqToX(20), g.m_nPlotLeft) << dpi;
        EXPECT_EQ(g.FreqToX(20000), g.m_nPlotRight) << dpi;
        EXPECT_EQ(g.XToFreq(g.m_nPlotLeft), 20) << dpi;
        EXPECT_EQ(g.XToFreq(g.m_nPlotRight), 20000) << dpi;
    }
}

TEST(GraphMaps, FrequencyAndGainToPixels)
{
    TestGraph g;
    EXPECT_EQ(g.FreqToX(1000), 573);
    EXPECT_EQ(g.XToFreq(573), 998);  // truncated on the way back
    const struct {
        double gain;
        int y;
    } cases[] = {{6.0, 91}, {0.0, 144}, {15.0, 12}, {-15.0, 276}, {-0.1, 144}};
    for (auto c : cases) EXPECT_EQ(g.GainToY(c.gain), c.y) << c.gain;
}

// A peak dragged to the top row of a plot with an odd remainder must not read
// above +15 dB, which would become a negative gain code.
TEST(GraphMaps, DraggedGainStaysWithinRange)
{
    TestGraph g(96, {0, 0, 1000, 301});  // T = 12, Z = 145, B = 277, S = 44
    // clang-format off
    const struct { int y; double gain; } cases[] = {
        {12, 15.0}, {13, 15.0}, {145, 0.0}, {277, -15.0}, {-50, 15.0}, {400, -15.0}, {101, 5.0},
    };
    // clang-format on
    for (auto c : cases) EXPECT_DOUBLE_EQ(g.YToGain(c.y), c.gain) << c.y;
    EXPECT_EQ(EqGainCodeOfDb(g.YToGain(g.m_nPlotTop)), 0);
}

struct BandCase {
    double q;
    int gainCode;
    int x[7];
    int yPeak;
};

TEST(GraphPoints, BandControlPoints)
{
    // clang-format off
    const BandCase cases[] = {
        {4.32, 90, {480, 573, 563, 573, 582, 573, 665}, 91},
        {0.5, 90, {30, 503, 513, 573, 633, 643, 1115}, 91},
        {0.7, 150, {4, 573, 516, 573, 629, 573, 1141}, 144},
        {0.69, 150, {30, 522, 529, 573, 616, 623, 1115}, 144},
    };
    // clang-format on
    for (const auto& c : cases) {
        TestGraph g;
        g.OnlyBand(17, 1000, c.q, c.gainCode);
        const GraphPoint* p = g.m_bezier.m_ptBand[17];
        for (int i = 0; i < 7; ++i) {
            EXPECT_EQ(p[i].x, c.x[i]) << "Q " << c.q << " point " << i;
            EXPECT_EQ(p[i].y, (i >= 2 && i <= 4) ? c.yPeak : 144) << "Q " << c.q << " point " << i;
        }
    }
}

TEST(GraphPoints, SetPlotRectRebuildsBandsAndQHandleDragReshapes)
{
    TestGraph g;
    g.OnlyBand(3, 1000, 4.32, 90);
    g.SetScreenDpi(144);
    g.SetPlotRect(0, 0, 1500, 400);
    EXPECT_EQ(g.m_bezier.m_ptBand[3][3].x, g.FreqToX(1000));
    EXPECT_EQ(g.m_bezier.m_ptBand[3][3].y, g.GainToY(6.0));

    // A Q drag keeps the peak and every y, and redraws only the band's width.
    GraphPoint before[7];
    std::copy(g.m_bezier.m_ptBand[3], g.m_bezier.m_ptBand[3] + 7, before);
    g.m_dBandQ[3] = 0.5;
    g.UpdateBandShape(3);
    const int xc = before[3].x;
    const int expectX[7] = {xc - 543, xc - 70, xc - 60, xc, xc + 60, xc + 70, xc + 542};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(g.m_bezier.m_ptBand[3][i].x, expectX[i]) << i;
        EXPECT_EQ(g.m_bezier.m_ptBand[3][i].y, before[i].y) << i;
    }
}

TEST(GraphPoints, CrossoverControlPoints)
{
    TestGraph g;  // L 33, R 987, Z 144
    g.SetCrossover(20, 20000, 3, 7, 0, 1, 0);
    const GraphPoint hp[4] = {{-921, 1750}, {33, 144}, {-62, 144}, {195, 144}};
    const GraphPoint lp[4] = {{666, 144}, {1082, 144}, {987, 144}, {1941, 2500}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(g.m_bezier.m_ptLowCut[i], hp[i]) << i;
        EXPECT_EQ(g.m_bezier.m_ptHighCut[i], lp[i]) << i;
    }
    // Out-of-range frequencies keep the old points but are stored as given.
    g.SetCrossover(19, 20001, 0, 0, 1, 1, 0);
    EXPECT_EQ(g.m_bezier.m_ptLowCut[0], hp[0]);
    EXPECT_EQ(g.m_bezier.m_ptHighCut[3], lp[3]);
    EXPECT_EQ(g.GetHighPassFreq(), 19);
    EXPECT_EQ(g.GetLowPassFreq(), 20001);
}

TEST(GraphPoints, CrossoverFarEnd)
{
    // clang-format off
    const struct { int slope, type, y; } cases[] = {
        {6, 0, 500}, {24, 0, 1750}, {48, 0, 3600}, {6, 1, 430}, {24, 1, 1400}, {48, 1, 2500},
        {0, 0, 144}, {0, 1, 144}, {54, 0, 144}, {7, 0, 144},
    };
    // clang-format on
    for (auto c : cases) EXPECT_EQ(SpectrumData::CrossoverFarY(c.slope, c.type, 144), c.y) << c.slope;
}

TEST(GraphFeed, CurrentChannelSettersCheckCountAndRange)
{
    TestGraph g;
    const int freqs[32] = {19, 20, 20000, 20001, -5, 440};
    g.SetBandFreqs(freqs, 32);  // too many: nothing
    EXPECT_EQ(g.GetBandFreqs()[1], 25);
    g.SetBandFreqs(freqs, 6);
    const int expectFreq[7] = {20, 20, 20000, 40, 50, 440, 80};
    for (int b = 0; b < 7; ++b) EXPECT_EQ(g.GetBandFreqs()[b], expectFreq[b]) << b;

    const int codes[32] = {0, 150, 300, 301, -1, 117};
    g.SetBandGains(codes, 32);
    EXPECT_DOUBLE_EQ(g.GetBandGains()[0], 0.0);
    g.SetBandGains(codes, 6);
    const double expectGain[6] = {15.0, 0.0, -15.0, 0.0, 0.0, 3.3};
    for (int b = 0; b < 6; ++b) EXPECT_DOUBLE_EQ(g.GetBandGains()[b], expectGain[b]) << b;

    const double qs[32] = {0.05, 12.0};
    g.SetBandQs(qs, 32);
    EXPECT_DOUBLE_EQ(g.GetBandQs()[0], 4.32);
    g.SetBandQs(qs, 2);  // unchecked
    EXPECT_DOUBLE_EQ(g.GetBandQs()[0], 0.05);
    EXPECT_DOUBLE_EQ(g.GetBandQs()[1], 12.0);
}

TEST(GraphFeed, ChannelCopiesAreChannelMajorAndCutAt372)
{
    TestGraph g;
    std::vector<int> freqs(400, 19), codes(400, 301);
    std::vector<double> qs(400, 9.0);
    for (int i = 0; i < 372; ++i) {
        freqs[i] = 20 + i;
        codes[i] = i % 301;
        qs[i] = i / 100.0;
    }
    freqs[5] = 19;
    codes[6] = -1;
    g.SetChannelFreqs(freqs.data(), 400);
    g.SetChannelGains(codes.data(), 400);
    g.SetChannelQs(qs.data(), 400);
    EXPECT_EQ(g.m_nChannelFreq[0][5], 63);  // rejected: kept
    EXPECT_EQ(g.m_nChannelFreq[2][4], 20 + 66);
    EXPECT_EQ(g.m_nChannelFreq[11][30], 20 + 371);
    EXPECT_DOUBLE_EQ(g.m_dChannelGain[0][6], 0.0);
    EXPECT_DOUBLE_EQ(g.m_dChannelGain[1][0], 15 - 31 / 10.0);
    EXPECT_DOUBLE_EQ(g.m_dChannelQ[11][30], 3.71);
    // Nothing past the copies was written.
    EXPECT_EQ(g.m_nChannelHighPassFreq[0], 20);
    EXPECT_EQ(g.m_nChannelLowPassFreq[11], 20000);
}

TEST(GraphFeed, SlopeIndexRule)
{
    const struct {
        int index, slope, off;
    } cases[] = {{0, 6, 0}, {3, 24, 0}, {7, 48, 0}, {8, 0, 1}, {9, 0, 1}, {-1, 0, 1}};
    for (auto c : cases) {
        TestGraph g;
        g.SetCrossover(100, 1000, c.index, 0, 0, 0, 0);
        EXPECT_EQ(g.m_nHighPassSlope, c.slope) << c.index;
        EXPECT_EQ(g.m_nFilterOff, c.off) << c.index;
        g.SetCrossover(100, 1000, 0, c.index, 0, 0, 0);
        EXPECT_EQ(g.m_nLowPassSlope, c.slope) << c.index;
        EXPECT_EQ(g.m_nFilterOff, c.off * 2) << c.index;

        int idx[12] = {}, freq[12] = {}, type[12] = {};
        idx[4] = c.index;
        g.SetChannelCrossovers(freq, freq, idx, idx, type, type);
        EXPECT_EQ(g.m_nChannelHighPassSlope[4], c.slope) << c.index;
        EXPECT_EQ(g.m_nChannelLowPassSlope[4], c.slope) << c.index;
        EXPECT_EQ(g.m_nChannelFilterOff[4], c.off * 3) << c.index;
        EXPECT_EQ(g.m_nChannelFilterOff[5], 0);
    }
}

TEST(GraphSelection, BandsAndCrossoversExcludeEachOther)
{
    TestGraph g;
    g.SelectCrossover(0);
    EXPECT_TRUE(g.SelectBand(30));
    EXPECT_EQ(g.m_nSelBand, 30);
    EXPECT_EQ(g.m_nSelCrossover, -1);
    EXPECT_FALSE(g.SelectBand(31));
    EXPECT_EQ(g.m_nSelBand, 30);

    const struct {
        int arg, sel;
    } cross[] = {{0, 0}, {1, 1}, {5, 1}, {-7, -1}};
    for (auto c : cross) {
        g.SelectBand(4);
        g.SelectCrossover(c.arg);
        EXPECT_EQ(g.m_nSelCrossover, c.sel) << c.arg;
        EXPECT_EQ(g.m_nSelBand, -1) << c.arg;
    }
    g.SelectCrossover(1);
    EXPECT_TRUE(g.SelectBand(-1));
    EXPECT_EQ(g.m_nSelBand, -1);
    EXPECT_EQ(g.m_nSelCrossover, -1);
}

TEST(GraphSelection, VisibleMask)
{
    TestGraph g;
    g.SetVisibleChannels(0x12345);
    EXPECT_EQ(g.GetVisibleChannels(), 0x2345);
    EXPECT_EQ(g.ToggleChannelVisible(1), 0x2347);
    EXPECT_EQ(g.ToggleChannelVisible(1), 0x2345);
    EXPECT_EQ(g.ToggleChannelVisible(32), 0x2344);  // channel AND 31
}

TEST(GraphFeed, RedrawOnlyForFlagExactlyOne)
{
    TestGraph g;
    // clang-format off
    const struct { const char* what; void (*op)(TestGraph&); int redraws; } cases[] = {
        {"crossover 1", [](TestGraph& t) { t.SetCrossover(20, 20000, 0, 0, 0, 0, 1); }, 1},
        {"crossover 2", [](TestGraph& t) { t.SetCrossover(20, 20000, 0, 0, 0, 0, 2); }, 0},
        {"channel 1", [](TestGraph& t) { t.SetCurrentChannel(3, 1); }, 1},
        {"channel -1", [](TestGraph& t) { t.SetCurrentChannel(3, -1); }, 0},
        {"points 1", [](TestGraph& t) { t.UpdateBandPoints(1, 31); }, 1},
        {"points 0", [](TestGraph& t) { t.UpdateBandPoints(0, 5); }, 0},
        {"peq", [](TestGraph& t) { t.SetPeqMode(1); }, 1},
        {"plot rect", [](TestGraph& t) { t.SetPlotRect(0, 0, 800, 200); }, 0},
        {"select crossover", [](TestGraph& t) { t.SelectCrossover(1); }, 0},
        {"select bad band", [](TestGraph& t) { t.SelectBand(31); }, 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        g.redraws = 0;
        c.op(g);
        EXPECT_EQ(g.redraws, c.redraws) << c.what;
    }
    g.SetCurrentChannel(7, 0);
    EXPECT_EQ(g.m_nCurChannel, 7);
    EXPECT_EQ(g.m_bezier.GetColorIndex(), 7);
}

TEST(GraphMarkers, BoxesAndHitTest)
{
    TestGraph g;  // L 33, B 276, S 44
    g.SetCrossover(1000, 1000, 0, 0, 0, 0, 0);
    EXPECT_EQ(g.HighPassMarkerX(), 568);
    EXPECT_EQ(g.HighPassMarkerRect(), (GraphRect{568, 188, 578, 202}));
    EXPECT_EQ(g.LowPassMarkerRect(), (GraphRect{568, 217, 578, 231}));
    // clang-format off
    const struct { GraphPoint pt; int hit; } cases[] = {
        {{568, 188}, 0}, {{577, 201}, 0}, {{578, 188}, -1}, {{568, 202}, -1},
        {{568, 217}, 1}, {{577, 230}, 1}, {{577, 231}, -1}, {{567, 220}, -1},
    };
    // clang-format on
    for (auto c : cases) EXPECT_EQ(g.HitTestCrossoverMarker(c.pt), c.hit) << c.pt.x << "," << c.pt.y;
}

// Q from a handle drag: offset 99 must give 0.1, not just under it.
TEST(GraphQHandles, DragOffsetsAndQ)
{
    const int x3 = 500;
    // clang-format off
    const struct { int handle, x, r; double q; } cases[] = {
        {1, x3 + 20, 0, 10.0},  {1, x3 + 10, 0, 10.0},  {1, x3 + 76, 56, 4.4},
        {1, x3 + 118, 98, 0.2}, {1, x3 + 119, 99, 0.1}, {1, x3 + 500, 99, 0.1},
        {-1, x3 - 38, 0, 10.0}, {-1, x3 - 30, 0, 10.0}, {-1, x3 - 137, 99, 0.1},
        {-1, x3 - 138, 99, 0.1}, {-1, x3 - 94, 56, 4.4}, {0, x3, 0, 10.0},
    };
    // clang-format on
    for (auto c : cases) {
        const int r = SpectrumData::QHandleDragOffset(c.handle, c.x, x3);
        EXPECT_EQ(r, c.r) << c.handle << " " << c.x;
        EXPECT_DOUBLE_EQ(SpectrumData::QFromHandleOffset(r), c.q) << r;
        EXPECT_GE(SpectrumData::QFromHandleOffset(r), 0.1);
    }
    EXPECT_DOUBLE_EQ(SpectrumData::QFromHandleOffset(150), 0.1);
    EXPECT_DOUBLE_EQ(SpectrumData::QFromHandleOffset(-3), 10.0);
    const struct {
        double q;
        int r;
    } shown[] = {{4.32, 56}, {10.0, -1}, {0.1, 98}};
    for (auto s : shown) EXPECT_EQ(SpectrumData::QHandleOffsetFor(s.q), s.r) << s.q;
}

TEST(GraphResponses, OtherChannelsFirstThenCurrent)
{
    TestGraph g;
    g.OnlyBand(5, 1000, 4.32, 90);
    g.SetCurrentChannel(2, 0);
    g.SetVisibleChannels((1 << 2) | (1 << 5) | (1 << 0));
    GraphPoint before[7];
    std::copy(g.m_bezier.m_ptBand[5], g.m_bezier.m_ptBand[5] + 7, before);

    std::vector<ResponseCurve> curves;
    g.BuildResponses(curves);
    ASSERT_EQ(curves.size(), 3u);
    EXPECT_EQ(curves[0].colorIndex, 0);
    EXPECT_EQ(curves[1].colorIndex, 5);
    EXPECT_EQ(curves[1].color, (GraphRgb{94, 43, 170}));
    EXPECT_EQ(curves[2].colorIndex, 2);
    // The copies are flat; the current channel carries its band.
    EXPECT_FLOAT_EQ(curves[0].columns[573 - 33].y, 144.0f);
    EXPECT_FLOAT_EQ(curves[2].columns[573 - 33].y, 91.0f);
    // The current channel's shape is back in the curve engine.
    for (int i = 0; i < 7; ++i) EXPECT_EQ(g.m_bezier.m_ptBand[5][i], before[i]) << i;
    EXPECT_EQ(g.m_bezier.GetColorIndex(), 2);
}

}  // namespace
