// Memory device contexts: fills, lines, shapes, text, copies, bitmaps.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/gdi.h"
#include "platform/graphics.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class GdiDcTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(gfx::Startup(), gfx::Ok); }
    void SetUp() override
    {
        ASSERT_TRUE(m_bmp.CreateCompatibleBitmap(nullptr, 120, 80));
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
        m_old = m_dc.SelectObject(&m_bmp);
    }
    // Bounding box of the pixels that are not black inside r.
    CRect Ink(const CRect& r) const
    {
        CRect box(r.right, r.bottom, r.left, r.top);
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (m_dc.GetPixel(x, y) != kBlack) {
                    box.left = std::min<int>(box.left, x);
                    box.top = std::min<int>(box.top, y);
                    box.right = std::max<int>(box.right, x + 1);
                    box.bottom = std::max<int>(box.bottom, y + 1);
                }
        return box;
    }

    CBitmap m_bmp;
    CDC m_dc;
    CBitmap* m_old = nullptr;
};

TEST_F(GdiDcTest, FillAndShapesCoverTheirPixelsExactly)
{
    EXPECT_EQ(m_dc.GetPixel(0, 0), kBlack);  // a new bitmap is black
    m_dc.FillSolidRect(10, 10, 20, 10, kRed);
    EXPECT_EQ(m_dc.GetBkColor(), kRed);  // as a solid fill does
    CBrush blue(kBlue);
    CPen white(PS_SOLID, 1, kWhite);
    m_dc.SelectObject(&blue);
    m_dc.SelectObject(&white);
    m_dc.Rectangle(40, 10, 50, 20);
    CRect frame(60, 10, 70, 20);
    m_dc.FrameRect(&frame, &blue);

    // clang-format off
    const std::pair<CPoint, COLORREF> rows[] = {
        {{10, 10}, kRed},  {{29, 19}, kRed},   {{30, 19}, kBlack}, {{29, 20}, kBlack}, {{9, 10}, kBlack},
        {{40, 10}, kWhite}, {{49, 19}, kWhite}, {{45, 15}, kBlue},  {{50, 15}, kBlack}, {{45, 20}, kBlack},
        {{60, 10}, kBlue}, {{69, 19}, kBlue},  {{65, 15}, kBlack}, {{70, 15}, kBlack},
        {{-1, 0}, 0xFFFFFFFF}, {{120, 0}, 0xFFFFFFFF},
    };
    // clang-format on
    for (const auto& [p, c] : rows) EXPECT_EQ(m_dc.GetPixel(p.x, p.y), c) << p.x << "," << p.y;
}

TEST_F(GdiDcTest, LinesLeaveOutTheirEndPoint)
{
    CPen white(PS_SOLID, 0, kWhite);
    CPen* old = m_dc.SelectObject(&white);
    ASSERT_NE(old, nullptr);
    m_dc.MoveTo(5, 40);
    m_dc.LineTo(15, 40);  // rightwards
    m_dc.MoveTo(50, 40);
    m_dc.LineTo(50, 30);  // upwards
    m_dc.MoveTo(80, 30);
    m_dc.LineTo(90, 40);  // diagonal
    EXPECT_EQ(m_dc.MoveTo(0, 0), CPoint(90, 40));

    // clang-format off
    const std::pair<CPoint, COLORREF> rows[] = {
        {{5, 40}, kWhite},  {{14, 40}, kWhite}, {{15, 40}, kBlack}, {{4, 40}, kBlack}, {{10, 41}, kBlack},
        {{50, 40}, kWhite}, {{50, 31}, kWhite}, {{50, 30}, kBlack}, {{50, 41}, kBlack},
        {{80, 30}, kWhite}, {{85, 35}, kWhite}, {{89, 39}, kWhite}, {{90, 40}, kBlack},
    };
    // clang-format on
    for (const auto& [p, c] : rows) EXPECT_EQ(m_dc.GetPixel(p.x, p.y), c) << p.x << "," << p.y;
    EXPECT_EQ(m_dc.SelectObject(old), &white);
}

TEST_F(GdiDcTest, TextDrawsInTheTextColourAndModes)
{
    CFont font;
    ASSERT_TRUE(font.CreateFont(-28, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Arial"));
    m_dc.SelectObject(&font);
    m_dc.SetTextColor(kWhite);
    EXPECT_EQ(m_dc.SetBkMode(TRANSPARENT), OPAQUE);
    const CSize ext = m_dc.GetTextExtent(L"HI");
    EXPECT_GT(ext.cx, 10);
    EXPECT_GE(ext.cy, 28);

    m_dc.TextOut(4, 4, L"HI");
    const CRect ink = Ink(CRect(0, 0, 60, 40));
    EXPECT_GE(ink.left, 4);
    EXPECT_GE(ink.top, 4);
    EXPECT_LE(ink.right, 4 + ext.cx);
    EXPECT_LE(ink.bottom, 4 + ext.cy);
    bool solid = false;  // the strokes of a big bold font hold pure text colour
    for (int y = ink.top; y < ink.bottom; ++y)
        for (int x = ink.left; x < ink.right; ++x) solid |= m_dc.GetPixel(x, y) == kWhite;
    EXPECT_TRUE(solid);

    // Opaque text fills its cell with the background colour first.
    m_dc.SetBkMode(OPAQUE);
    m_dc.SetBkColor(kBlue);
    m_dc.TextOut(60, 4, L"HI");
    EXPECT_EQ(m_dc.GetPixel(60, 4), kBlue);
    EXPECT_EQ(m_dc.GetPixel(60 + ext.cx - 1, 4 + ext.cy - 1), kBlue);
    EXPECT_EQ(m_dc.GetPixel(60 + ext.cx, 4), kBlack);
}

TEST_F(GdiDcTest, DrawTextCentresAndMeasures)
{
    CFont font;
    ASSERT_TRUE(font.CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"宋体"));
    m_dc.SelectObject(&font);
    m_dc.SetTextColor(kWhite);
    m_dc.SetBkMode(TRANSPARENT);

    CRect measure(0, 0, 0, 0);
    const int h = m_dc.DrawText(L"A&B", &measure, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(measure.Width(), m_dc.GetTextExtent(L"AB").cx);  // the prefix mark is not drawn
    EXPECT_EQ(h, measure.Height());
    EXPECT_EQ(Ink(CRect(0, 0, 120, 80)), CRect(120, 80, 0, 0));  // measuring draws nothing

    CRect box(0, 0, 120, 80);
    m_dc.DrawText(L"中", &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const CRect ink = Ink(box);
    ASSERT_FALSE(ink.IsRectEmpty());
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 60, 3);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 40, 4);
}

TEST_F(GdiDcTest, BlitsCopyAndStretchBetweenContexts)
{
    m_dc.FillSolidRect(0, 0, 2, 2, kRed);
    m_dc.SetPixel(1, 1, kBlue);

    CBitmap other;
    ASSERT_TRUE(other.CreateCompatibleBitmap(&m_dc, 20, 20));
    CDC dst;
    dst.CreateCompatibleDC(&m_dc);
    CBitmap* first = dst.SelectObject(&other);
    ASSERT_TRUE(dst.BitBlt(5, 5, 2, 2, &m_dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.GetPixel(5, 5), kRed);
    EXPECT_EQ(dst.GetPixel(6, 6), kBlue);
    EXPECT_EQ(dst.GetPixel(7, 7), kBlack);

    dst.SetStretchBltMode(COLORONCOLOR);
    ASSERT_TRUE(dst.StretchBlt(10, 10, 8, 8, &m_dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(dst.GetPixel(10, 10), kRed);
    EXPECT_EQ(dst.GetPixel(13, 13), kRed);
    EXPECT_EQ(dst.GetPixel(14, 14), kBlue);
    EXPECT_EQ(dst.GetPixel(17, 17), kBlue);
    EXPECT_EQ(dst.GetPixel(18, 18), kBlack);

    // Within one surface the source is read before it is overwritten.
    ASSERT_TRUE(m_dc.BitBlt(1, 0, 2, 2, &m_dc, 0, 0, SRCCOPY));
    EXPECT_EQ(m_dc.GetPixel(2, 1), kBlue);
    EXPECT_EQ(m_dc.GetPixel(1, 1), kRed);

    CDC empty;
    empty.CreateCompatibleDC(nullptr);
    EXPECT_FALSE(dst.BitBlt(0, 0, 2, 2, &empty, 0, 0, SRCCOPY));  // nothing to read
    EXPECT_FALSE(dst.BitBlt(0, 0, 0, 2, &m_dc, 0, 0, SRCCOPY));

    // The drawing stays in the bitmap once it is selected out.
    dst.SelectObject(first);
    CDC again;
    again.CreateCompatibleDC(nullptr);
    ASSERT_NE(again.SelectObject(&other), nullptr);
    EXPECT_EQ(again.GetPixel(6, 6), kBlue);
}

TEST_F(GdiDcTest, ContextsOnOneSurfaceShareTheirState)
{
    CDC alias;
    ASSERT_TRUE(alias.Attach(m_dc.GetSafeHdc()));
    EXPECT_EQ(CDC::FromHandle(m_dc.GetSafeHdc()), &m_dc);
    alias.SetBkMode(TRANSPARENT);
    alias.SetTextColor(kRed);
    EXPECT_EQ(m_dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(m_dc.GetTextColor(), kRed);
    alias.FillSolidRect(0, 0, 3, 3, kBlue);
    EXPECT_EQ(m_dc.GetPixel(2, 2), kBlue);
    EXPECT_EQ(alias.Detach(), m_dc.GetSafeHdc());
    EXPECT_EQ(CDC::FromHandle(m_dc.GetSafeHdc()), &m_dc);  // the alias was no owner

    // A bitmap cannot be drawn by two contexts at once.
    CDC second;
    second.CreateCompatibleDC(nullptr);
    EXPECT_EQ(second.SelectObject(&m_bmp), nullptr);
}

TEST_F(GdiDcTest, BitmapsAndImagesByResourceId)
{
    struct Row {
        UINT id;
        int w, h;  // 0 x 0: no such bitmap
    };
    const Row rows[] = {{199, 84, 18}, {299, 420, 244}, {609, 73, 38}, {99999, 0, 0}};
    for (const auto& r : rows) {
        CBitmap b;
        EXPECT_EQ(b.LoadBitmap(r.id) != FALSE, r.w > 0) << r.id;
        EXPECT_EQ(b.GetSize(), CSize(r.w, r.h)) << r.id;
    }
    CBitmap asked;
    ASSERT_TRUE(asked.LoadBitmap(99999, 10, 5));
    BITMAP bm;
    ASSERT_TRUE(asked.GetBitmap(&bm));
    EXPECT_EQ(bm.bmWidth, 10);
    EXPECT_EQ(bm.bmHeight, 5);

    // A placeholder is plain: its middle has one colour.
    CBitmap plain;
    ASSERT_TRUE(plain.LoadBitmap(200));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&plain);
    EXPECT_EQ(dc.GetPixel(20, 9), dc.GetPixel(60, 9));

    const auto chevron = gfx::Image::FromResource(202);
    ASSERT_NE(chevron, nullptr);
    EXPECT_EQ(chevron->GetWidth(), 20u);
    EXPECT_EQ(chevron->GetHeight(), 17u);
    EXPECT_EQ(gfx::Image::FromResource(1), nullptr);
    gfx::Graphics g(&m_dc);
    ASSERT_EQ(g.DrawImage(chevron.get(), 50, 50), gfx::Ok);
    EXPECT_NE(Ink(CRect(50, 50, 70, 67)), CRect(70, 67, 50, 50));
    EXPECT_EQ(Ink(CRect(70, 50, 100, 80)), CRect(100, 80, 70, 50));
}

}  // namespace
