// Cardinal splines: the Bezier control points and what DrawCurve paints.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "platform/graphics.h"

namespace {

using gfx::PointF;

void ExpectPoints(const std::vector<PointF>& got, const std::vector<PointF>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_NEAR(got[i].X, want[i].X, 1e-4) << "point " << i;
        EXPECT_NEAR(got[i].Y, want[i].Y, 1e-4) << "point " << i;
    }
}

TEST(GdiCurve, ControlPointsForKnownPointsAndTensions)
{
    struct Row {
        float tension;
        std::vector<PointF> points;
        std::vector<PointF> beziers;
    };
    const float s = 1.0f / 6.0f;  // tension 0.5 / 3
    // clang-format off
    const Row rows[] = {
        // Interior tangents come from both neighbours, the ends from the end segment.
        {0.5f,
         {{0, 0}, {10, 10}, {20, 0}, {30, 10}},
         {{0, 0}, {10 * s, 10 * s}, {10 - 20 * s, 10}, {10, 10},
          {10 + 20 * s, 10}, {20 - 20 * s, 0}, {20, 0},
          {20 + 20 * s, 0}, {30 - 10 * s, 10 - 10 * s}, {30, 10}}},
        // Tension 0: straight segments (controls on the end points).
        {0.0f, {{0, 0}, {10, 10}, {20, 0}}, {{0, 0}, {0, 0}, {10, 10}, {10, 10}, {10, 10}, {20, 0}, {20, 0}}},
        // Two points, tension 1: controls at thirds of the line.
        {1.0f, {{0, 0}, {30, 6}}, {{0, 0}, {10, 2}, {20, 4}, {30, 6}}},
        // Tension 1.5 on a spike: the tangent at the peak is level.
        {1.5f,
         {{0, 10}, {6, 0}, {12, 10}},
         {{0, 10}, {3, 5}, {6 - 6, 0}, {6, 0}, {6 + 6, 0}, {9, 5}, {12, 10}}},
    };
    // clang-format on
    for (const auto& r : rows) {
        SCOPED_TRACE(r.tension);
        ExpectPoints(gfx::CardinalSplineBezierPoints(r.points.data(), static_cast<int>(r.points.size()), r.tension),
                     r.beziers);
    }
    const PointF one[] = {{1, 1}};
    EXPECT_TRUE(gfx::CardinalSplineBezierPoints(one, 1, 0.5f).empty());
}

class GdiCurveDraw : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(gfx::Startup(), gfx::Ok); }
    void SetUp() override
    {
        ASSERT_TRUE(m_bmp.CreateCompatibleBitmap(nullptr, 80, 60));
        m_dc.CreateCompatibleDC(nullptr);
        m_dc.SelectObject(&m_bmp);
    }
    // Red of the pixel, the channel the pens below draw with.
    int Red(int x, int y) const { return GetRValue(m_dc.GetPixel(x, y)); }

    CBitmap m_bmp;
    CDC m_dc;
};

TEST_F(GdiCurveDraw, CurvePassesThroughItsPointsAndBendsBetweenThem)
{
    gfx::Graphics g(m_dc.GetSafeHdc());
    g.SetSmoothingMode(gfx::SmoothingModeHighQuality);
    gfx::Pen pen(gfx::Color(255, 255, 0, 0), 2.0f);
    const PointF pts[] = {{10, 50}, {40, 10}, {70, 50}};
    ASSERT_EQ(g.DrawCurve(&pen, pts, 3), gfx::Ok);

    EXPECT_GT(Red(40, 10), 100);  // the peak
    EXPECT_GT(Red(10, 50), 100);  // the ends
    EXPECT_GT(Red(70, 50), 100);
    EXPECT_EQ(Red(40, 50), 0);  // below the arch: nothing
    // The spline is rounder than the polyline: at x = 25 the straight line
    // would be at y = 30, the curve lies above it.
    int top = -1;
    for (int y = 0; y < 60 && top < 0; ++y)
        if (Red(25, y) > 100) top = y;
    ASSERT_GE(top, 0);
    EXPECT_LT(top, 28);
}

TEST_F(GdiCurveDraw, TensionZeroIsThePolylineAndFillIsTranslucent)
{
    gfx::Graphics g(&m_dc);
    gfx::Pen pen(gfx::Color(255, 255, 0, 0), 1.0f);
    const PointF pts[] = {{10, 20}, {50, 20}};
    ASSERT_EQ(g.DrawCurve(&pen, pts, 2, 0.0f), gfx::Ok);
    EXPECT_EQ(m_dc.GetPixel(30, 20), RGB(255, 0, 0));  // one crisp row at pixel centres
    EXPECT_EQ(m_dc.GetPixel(30, 21), RGB(0, 0, 0));
    EXPECT_EQ(m_dc.GetPixel(30, 19), RGB(0, 0, 0));

    gfx::SolidBrush half(gfx::Color(128, 0, 0, 255));
    const PointF tri[] = {{0, 30}, {60, 30}, {0, 59}};
    ASSERT_EQ(g.FillPolygon(&half, tri, 3), gfx::Ok);
    const COLORREF inside = m_dc.GetPixel(10, 35);
    EXPECT_NEAR(GetBValue(inside), 128, 2);  // half of blue over black
    EXPECT_EQ(m_dc.GetPixel(70, 55), RGB(0, 0, 0));
}

TEST_F(GdiCurveDraw, BadArgumentsAndClosedSurfacesAreReported)
{
    gfx::Pen pen(gfx::Color(255, 0, 0));
    const PointF pts[] = {{1, 1}};
    gfx::Graphics g(&m_dc);
    EXPECT_EQ(g.DrawCurve(&pen, pts, 1), gfx::InvalidParameter);
    EXPECT_EQ(g.DrawCurve(nullptr, pts, 1), gfx::InvalidParameter);

    CDC empty;  // a memory context without a bitmap
    empty.CreateCompatibleDC(nullptr);
    gfx::Graphics none(&empty);
    const PointF two[] = {{1, 1}, {5, 5}};
    EXPECT_EQ(none.DrawCurve(&pen, two, 2), gfx::GenericError);
    gfx::Graphics null(static_cast<HDC>(nullptr));
    EXPECT_EQ(null.DrawLine(&pen, 0, 0, 1, 1), gfx::GenericError);
}

}  // namespace
