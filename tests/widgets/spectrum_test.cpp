// The graph's painting, readout and handle geometry, and hover tracking.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/graphics.h"
#include "platform/platform.h"
#include "widgets/spectrum.h"

namespace {

// A graph laid out like the main window's at 96 DPI (L 33, T 12, R 987,
// B 276, S 44, Z 144), painted into a bitmap of its size.
class SpectrumPaint : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(EnsureUiApplication());
        ASSERT_EQ(gfx::Startup(), gfx::Ok);
    }
    void SetUp() override
    {
        g.SetPlotRect(0, 0, 1000, 300);
        ASSERT_TRUE(bitmap.CreateCompatibleBitmap(nullptr, 1000, 300));
        dc.CreateCompatibleDC(nullptr);
        dc.SelectObject(&bitmap);
    }

    // One band of a channel; code is the gain code.
    void SetChannelBand(int channel, int band, int freq, double q, int code)
    {
        int freqs[kGraphChannelValues], codes[kGraphChannelValues];
        double qs[kGraphChannelValues];
        for (int i = 0; i < kGraphChannelValues; ++i) {
            freqs[i] = g.m_nChannelFreq[i / kGraphBands][i % kGraphBands];
            codes[i] = 150 - static_cast<int>(g.m_dChannelGain[i / kGraphBands][i % kGraphBands] * 10);
            qs[i] = g.m_dChannelQ[i / kGraphBands][i % kGraphBands];
        }
        freqs[channel * kGraphBands + band] = freq;
        codes[channel * kGraphBands + band] = code;
        qs[channel * kGraphBands + band] = q;
        g.SetChannelFreqs(freqs, kGraphChannelValues);
        g.SetChannelGains(codes, kGraphChannelValues);
        g.SetChannelQs(qs, kGraphChannelValues);
        if (channel == g.m_nCurChannel) {
            g.SetBandFreqs(freqs + channel * kGraphBands, kGraphBands);
            g.SetBandGains(codes + channel * kGraphBands, kGraphBands);
            g.SetBandQs(qs + channel * kGraphBands, kGraphBands);
        }
    }

    // Whether some pixel of the column between rows y0 and y1 is near the colour.
    bool ColumnHas(int x, int y0, int y1, COLORREF want, int tolerance = 40)
    {
        for (int y = y0; y <= y1; ++y) {
            const COLORREF c = dc.GetPixel(x, y);
            if (std::abs(GetRValue(c) - GetRValue(want)) <= tolerance &&
                std::abs(GetGValue(c) - GetGValue(want)) <= tolerance &&
                std::abs(GetBValue(c) - GetBValue(want)) <= tolerance)
                return true;
        }
        return false;
    }

    CSpectrum g;
    CBitmap bitmap;
    CDC dc;
};

TEST_F(SpectrumPaint, CurvesOfCurrentAndVisibleChannelsInTheirColours)
{
    SetChannelBand(0, 17, 1000, 4.32, 90);   // current channel: +6 dB at x 573, peak y 91
    SetChannelBand(3, 8, 125, 4.32, 210);    // CH4: -6 dB at 125 Hz
    SetChannelBand(5, 24, 5000, 4.32, 210);  // CH6: not visible
    g.SetVisibleChannels((1 << 3) | (1 << 0));
    g.PaintGraph(&dc);

    EXPECT_EQ(dc.GetPixel(2, 2), RGB(15, 23, 32));
    // Each curve where its response puts it, beside the band numbers.
    std::vector<ResponseCurve> curves;
    g.BuildResponses(curves);
    ASSERT_EQ(curves.size(), 2u);
    auto yAt = [](const ResponseCurve& c, int x) { return static_cast<int>(c.columns[x - 33].y + 0.5f); };
    for (int x : {560, 590, 620})
        EXPECT_TRUE(ColumnHas(x, yAt(curves[1], x) - 1, yAt(curves[1], x) + 1, RGB(198, 41, 41))) << x;
    EXPECT_FALSE(ColumnHas(590, 130, 170, RGB(198, 41, 41), 20));
    const int x125 = g.FreqToX(125);
    for (int x : {x125 - 20, x125 + 15})
        EXPECT_TRUE(ColumnHas(x, yAt(curves[0], x) - 1, yAt(curves[0], x) + 1, RGB(17, 153, 153))) << x;
    const int x5k = g.FreqToX(5000);
    EXPECT_FALSE(ColumnHas(x5k + 15, 150, 215, RGB(94, 43, 170), 20));
    // The current channel's shape is back in the curve engine after the paint.
    EXPECT_EQ(g.m_bezier.m_ptBand[17][3], (GraphPoint{573, 91}));
    EXPECT_EQ(g.m_bezier.GetColorIndex(), 0);
}

TEST_F(SpectrumPaint, QHandlesOnlyInParametricModeAndRedWhileDragged)
{
    SetChannelBand(0, 17, 1000, 4.32, 90);
    ASSERT_TRUE(g.SelectBand(17));
    const COLORREF yellowOnBack = RGB(207, 207, 6);  // ARGB(199,255,255,0) over the background
    const int yc = 91;

    g.SetPeqMode(0);
    g.PaintGraph(&dc);
    EXPECT_FALSE(ColumnHas(573 + 76 + 9, yc - 1, yc + 1, yellowOnBack));

    g.SetPeqMode(1);
    g.PaintGraph(&dc);
    EXPECT_EQ(g.m_nQHandleOffset, 56);
    EXPECT_TRUE(ColumnHas(573 + 76 + 9, yc - 1, yc + 1, yellowOnBack));
    EXPECT_TRUE(ColumnHas(573 - 94 + 9, yc - 1, yc + 1, yellowOnBack));

    g.m_nDragQHandle = 1;
    g.PaintGraph(&dc);
    EXPECT_TRUE(ColumnHas(573 + 76 + 9, yc - 1, yc + 1, RGB(255, 0, 0)));
    EXPECT_TRUE(ColumnHas(573 - 94 + 9, yc - 1, yc + 1, yellowOnBack));
}

TEST_F(SpectrumPaint, QArrowOutline)
{
    SetChannelBand(0, 17, 1000, 4.32, 90);
    g.UpdateBandPoints(0, kAllBands);
    g.SelectBand(17);
    g.m_nQHandleOffset = SpectrumData::QHandleOffsetFor(4.32);
    gfx::PointF right[10], left[10];
    g.BuildQArrow(right, true);
    g.BuildQArrow(left, false);
    EXPECT_EQ(right[0], gfx::PointF(573 + 76, 91));
    EXPECT_EQ(right[5], gfx::PointF(573 + 94, 91));
    EXPECT_EQ(right[1], gfx::PointF(573 + 82, 85));
    EXPECT_EQ(right[9], gfx::PointF(573 + 82, 97));
    EXPECT_EQ(left[0], gfx::PointF(573 - 94, 91));
    EXPECT_EQ(left[5], gfx::PointF(573 - 76, 91));
}

TEST_F(SpectrumPaint, ReadoutsStayInsideThePlot)
{
    // clang-format off
    const struct { int freq, code; GraphPoint pos; } bands[] = {
        {1000, 90, {523, 111}},   // above 0 dB: below the peak
        {1000, 210, {523, 176}},  // below 0 dB: above the peak
        {1000, 150, {523, 164}},  // on the line counts as above
        {20, 150, {35, 164}},     // raised to L + 2
        {20000, 150, {837, 164}}, // lowered to R - 150
    };
    // clang-format on
    for (const auto& b : bands) {
        SetChannelBand(0, 4, b.freq, 4.32, b.code);
        g.UpdateBandPoints(0, kAllBands);
        EXPECT_EQ(g.BandReadoutPos(4), b.pos) << b.freq << " " << b.code;
    }
    // clang-format off
    const struct { int hp, lp; GraphPoint high, low; } markers[] = {
        {1000, 1000, {568, 173}, {568, 232}},
        {20, 20000, {35, 173}, {933, 232}},
    };
    // clang-format on
    for (const auto& m : markers) {
        g.SetCrossover(m.hp, m.lp, 0, 0, 0, 0, 0);
        EXPECT_EQ(g.CrossoverReadoutPos(0), m.high) << m.hp;
        EXPECT_EQ(g.CrossoverReadoutPos(1), m.low) << m.lp;
    }
    // The letters themselves are not clamped.
    EXPECT_EQ(g.HighPassMarkerX(), 28);
}

// Two peaks within reach: the lower-numbered band is hovered; a marker box
// takes the hover over; nothing near leaves both as they are.
TEST_F(SpectrumPaint, HoverTracking)
{
    SetChannelBand(0, 9, 1000, 4.32, 90);
    SetChannelBand(0, 10, 1010, 4.32, 90);
    g.SetCrossover(100, 10000, 0, 0, 0, 0, 0);
    g.UpdateBandPoints(0, kAllBands);
    const GraphPoint p = g.m_bezier.m_ptBand[10][3];
    g.TrackHoverBand(p.x + 3, p.y);
    EXPECT_EQ(g.m_nHoverBand, 9);

    const GraphRect h = g.HighPassMarkerRect();
    g.TrackCrossover(h.left, h.top);
    EXPECT_EQ(g.m_nHoverCrossover, 0);
    EXPECT_EQ(g.m_nHoverBand, -1);

    g.TrackHoverBand(5, 5);
    g.TrackCrossover(5, 5);
    EXPECT_EQ(g.m_nHoverCrossover, 0);
    EXPECT_EQ(g.m_nHoverBand, -1);

    g.m_nDragCrossover = 1;  // while a marker is dragged bands are not hovered
    g.TrackHoverBand(p.x, p.y);
    EXPECT_EQ(g.m_nHoverBand, -1);
}

}  // namespace
