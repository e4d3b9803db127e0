#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "graph_fixture.h"

namespace {

TEST(BezierPoint, EndsAndMiddle)
{
    const GraphPoint p[4] = {{0, 0}, {0, 100}, {100, 100}, {100, 0}};
    EXPECT_EQ(CBezier::BezierPoint(3, p, 0.0), (GraphPointF{0.0f, 0.0f}));
    EXPECT_EQ(CBezier::BezierPoint(3, p, 1.0), (GraphPointF{100.0f, 0.0f}));
    EXPECT_EQ(CBezier::BezierPoint(3, p, 0.5), (GraphPointF{50.0f, 75.0f}));

    const GraphPoint q[4] = {{-921, 1750}, {33, 144}, {-62, 144}, {195, 144}};
    const auto s = CBezier::SampleSegment(q);
    EXPECT_EQ(s[0], (GraphPointF{-921.0f, 1750.0f}));
    EXPECT_NEAR(s[38].x, 195.0f, 1e-3);
    EXPECT_NEAR(s[38].y, 144.0f, 1e-3);
    EXPECT_EQ(s[19], CBezier::BezierPoint(3, q, 19 * (1.0 / 38.0)));
}

TEST(BezierHitTests, PeakBoxQHandlesAndLabels)
{
    CBezier bz;
    GraphPoint pts[7] = {{400, 100}, {500, 100}, {490, 50}, {500, 50}, {510, 50}, {500, 100}, {600, 100}};
    bz.SetBandPoints(4, pts);
    bz.SetBandPoints(8, pts);
    bz.SetBandPoints(9, pts);
    // clang-format off
    const struct { GraphPoint pt; int band, hit; } peak[] = {
        {{500, 50}, 4, 4},  {{507, 50}, 4, 4},   {{508, 50}, 4, -1}, {{492, 50}, 4, 4},
        {{500, 42}, 4, 4},  {{500, 58}, 4, -1},  {{500, 50}, -1, -1}, {{500, 50}, 31, -1},
    };
    // clang-format on
    for (auto c : peak) EXPECT_EQ(bz.HitTestBand(c.pt, c.band), c.hit) << c.pt.x << "," << c.pt.y;

    // clang-format off
    const struct { GraphPoint pt; int r, hit; } q[] = {
        {{520, 50}, 0, 1},  {{537, 55}, 0, 1},  {{538, 50}, 0, 0},  {{520, 56}, 0, 0},  {{520, 44}, 0, 1},
        {{462, 44}, 0, -1}, {{479, 50}, 0, -1}, {{480, 50}, 0, 0},  {{576, 50}, 56, 1}, {{593, 50}, 56, 1},
        {{406, 50}, 56, -1}, {{500, 50}, 0, 0},
    };
    // clang-format on
    for (auto c : q) EXPECT_EQ(bz.HitTestQHandle(c.pt, 4, c.r), c.hit) << c.pt.x << "," << c.pt.y << " r " << c.r;

    EXPECT_EQ(bz.GetLabelPos(8), (GraphPoint{497, 43}));  // number 9
    EXPECT_EQ(bz.GetLabelPos(9), (GraphPoint{492, 43}));  // number 10
}

TEST(BezierColors, ChannelPensAndRed)
{
    // clang-format off
    const struct { int index; GraphRgb rgb; } cases[] = {
        {0, {198, 41, 41}}, {3, {17, 153, 153}}, {11, {193, 204, 15}}, {12, {255, 0, 0}}, {-1, {255, 0, 0}},
    };
    // clang-format on
    for (auto c : cases) EXPECT_EQ(CBezier::CurveColor(c.index), c.rgb) << c.index;
}

ResponseCurve Current(TestGraph& g)
{
    std::vector<ResponseCurve> curves;
    g.BuildResponses(curves);
    return curves.back();
}

int Col(const TestGraph& g, int x) { return x - g.m_nPlotLeft; }

TEST(Response, FlatChannelIsOneStraightRun)
{
    TestGraph g;
    const ResponseCurve rc = Current(g);
    ASSERT_EQ(rc.columns.size(), 955u);
    ASSERT_EQ(rc.runs.size(), 1u);
    EXPECT_EQ(rc.runs[0], (std::pair<int, int>{0, 954}));
    for (size_t j = 0; j < rc.columns.size(); ++j) {
        EXPECT_EQ(rc.columns[j].x, static_cast<float>(33 + j));
        EXPECT_EQ(rc.columns[j].y, 144.0f);
    }
    EXPECT_TRUE(rc.fill.empty());
}

TEST(Response, BandsAddTheirDeviations)
{
    TestGraph g;
    g.OnlyBand(17, 1000, 4.32, 90);  // +6 dB
    ResponseCurve rc = Current(g);
    EXPECT_EQ(rc.columns[Col(g, 573)].y, 91.0f);  // the peak is counted once
    EXPECT_EQ(rc.columns[Col(g, 473)].y, 144.0f);
    EXPECT_EQ(rc.columns[Col(g, 673)].y, 144.0f);
    EXPECT_LT(rc.columns[Col(g, 560)].y, 144.0f);
    EXPECT_GT(rc.columns[Col(g, 560)].y, 91.0f);

    // A second, identical band doubles the lift.
    const float single560 = rc.columns[Col(g, 560)].y;
    g.m_nBandFreq[3] = 1000;
    g.m_dBandQ[3] = 4.32;
    g.m_dBandGain[3] = 6.0;
    rc = Current(g);
    EXPECT_EQ(rc.columns[Col(g, 573)].y, 38.0f);
    EXPECT_NEAR(rc.columns[Col(g, 560)].y, 144.0f - 2 * (144.0f - single560), 1e-3);
}

TEST(Response, HighPassPullsTheLeftEndDown)
{
    float prev = 0.0f;
    for (int slope : {0, 3, 7}) {
        TestGraph g;
        g.SetCrossover(20, 20000, slope, 8, 0, 0, 0);
        const ResponseCurve rc = Current(g);
        EXPECT_GT(rc.columns[0].y, 144.0f) << slope;
        EXPECT_GT(rc.columns[0].y, prev) << slope;  // steeper reaches lower
        prev = rc.columns[0].y;
        EXPECT_EQ(rc.columns[Col(g, 33 + 162)].y, 144.0f) << slope;
        EXPECT_EQ(rc.columns[Col(g, 33 + 161)].y > 144.0f, true) << slope;
    }
    TestGraph off;
    off.SetCrossover(20, 20000, 8, 8, 0, 0, 0);
    const ResponseCurve rc = Current(off);
    ASSERT_EQ(rc.runs.size(), 1u);
    EXPECT_EQ(rc.columns[0].y, 144.0f);
}

// On a plot wider than 954 pixels a filter's far end lies inside, and the
// columns beyond it are pushed out of the plot.
TEST(Response, ColumnsBeyondAFarEndAreNotDrawn)
{
    {
        TestGraph g(144, {0, 0, 1500, 400});  // L 85, R 1435, Z 194, B 377
        g.SetCrossover(20, 20, 8, 3, 0, 0, 0);
        const ResponseCurve rc = Current(g);
        ASSERT_EQ(rc.columns.size(), 1351u);
        EXPECT_NEAR(rc.columns[955].y, 377.01f, 1e-3);
        EXPECT_NEAR(rc.columns[1350].y, 377.01f, 1e-3);
        for (auto run : rc.runs) EXPECT_LE(run.second, 955);
    }
    {
        TestGraph g(144, {0, 0, 1500, 400});
        g.SetCrossover(20000, 20000, 0, 8, 0, 0, 0);  // far end at R - 954 = 481
        const ResponseCurve rc = Current(g);
        EXPECT_NEAR(rc.columns[0].y, 377.01f, 1e-3);
        EXPECT_NEAR(rc.columns[395].y, 377.01f, 1e-3);
        ASSERT_FALSE(rc.runs.empty());
        EXPECT_GE(rc.runs.front().first, 396);
    }
}

TEST(Response, LeavingTheTopSplitsTheRun)
{
    TestGraph g;
    g.OnlyBand(17, 1000, 4.32, 0);  // +15 and +13.7 dB: far above the plot
    g.m_nBandFreq[3] = 1000;
    g.m_dBandQ[3] = 4.32;
    g.m_dBandGain[3] = 13.7;
    const ResponseCurve rc = Current(g);
    ASSERT_EQ(rc.runs.size(), 2u);
    EXPECT_EQ(rc.runs[0].first, 0);
    EXPECT_EQ(rc.columns[rc.runs[0].second].y, 12.0f);  // clamped to T where it leaves
    EXPECT_EQ(rc.columns[rc.runs[1].first].y, 12.0f);   // placed on T where it comes back
    EXPECT_EQ(rc.runs[1].second, 954);
    EXPECT_LT(rc.runs[0].second, Col(g, 573));
    EXPECT_GT(rc.runs[1].first, Col(g, 573));
    for (auto run : rc.runs)
        for (int j = run.first; j <= run.second; ++j) {
            EXPECT_GE(rc.columns[j].y, 12.0f) << j;
            EXPECT_LE(rc.columns[j].y, 276.0f) << j;
        }
}

TEST(Response, FillOfSelectedBandOrCrossover)
{
    TestGraph g;  // L 33, R 987, T 12, Z 144, B 276
    g.OnlyBand(17, 1000, 0.5, 90);
    g.SetCrossover(1000, 1000, 3, 3, 0, 0, 0);

    EXPECT_TRUE(Current(g).fill.empty());

    g.SelectBand(17);
    ResponseCurve rc = Current(g);
    ASSERT_EQ(rc.fill.size(), 78u);
    EXPECT_EQ(rc.fill[0], (GraphPointF{33.0f, 144.0f}));  // foot at 30, clamped to L
    EXPECT_NEAR(rc.fill[38].x, 573.0f, 1e-3);
    EXPECT_NEAR(rc.fill[38].y, 91.0f, 1e-3);
    EXPECT_EQ(rc.fill[39], (GraphPointF{573.0f, 91.0f}));
    EXPECT_NEAR(rc.fill[77].x, 987.0f, 1e-3);  // foot at 1115, clamped to R
    for (auto p : rc.fill) {
        EXPECT_GE(p.x, 33.0f);
        EXPECT_LE(p.x, 987.0f);
    }

    // clang-format off
    const struct { int which; GraphPointF a, b; } cross[] = {
        {0, {33.0f, 144.0f}, {33.0f, 276.0f}},
        {1, {987.0f, 276.0f}, {987.0f, 144.0f}},
    };
    // clang-format on
    for (const auto& c : cross) {
        g.SelectCrossover(c.which);
        rc = Current(g);
        ASSERT_EQ(rc.fill.size(), 41u) << c.which;
        EXPECT_EQ(rc.fill[39], c.a) << c.which;
        EXPECT_EQ(rc.fill[40], c.b) << c.which;
        for (int k = 0; k < 39; ++k) {
            EXPECT_GE(rc.fill[k].y, 12.0f) << k;
            EXPECT_LE(rc.fill[k].y, 276.0f) << k;
        }
    }
}

}  // namespace

namespace {

// Values the model never holds still give a defined picture: no overflow in
// the pixel arithmetic, every column finite.
TEST(Response, DegenerateInputsStayDefined)
{
    // clang-format off
    const struct { double q; GraphRect rc; int hpFreq; } cases[] = {
        {0.0, {0, 0, 1000, 300}, 0},
        {-1.0, {0, 0, 1000, 300}, -5},
        {1e-300, {0, 0, 1000, 300}, 20},
        {1e300, {0, 0, 1000, 300}, 20},
        {4.32, {0, 0, 10, 10}, 1000},
    };
    // clang-format on
    for (const auto& c : cases) {
        TestGraph g(96, c.rc);
        g.OnlyBand(17, 1000, c.q, 0);
        g.SetCrossover(c.hpFreq, 20000, 3, 3, 0, 0, 0);
        g.SelectBand(17);
        (void)g.HighPassMarkerRect();
        std::vector<ResponseCurve> curves;
        g.BuildResponses(curves);
        for (auto p : curves.back().columns) EXPECT_TRUE(std::isfinite(p.y)) << c.q;
        for (auto run : curves.back().runs) EXPECT_LE(run.first, run.second);
    }
}

}  // namespace
