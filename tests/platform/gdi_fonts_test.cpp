// Font faces the program asks for and the installed families they map to.
#include <gtest/gtest.h>

#include <tuple>

#include "platform/fonts.h"
#include "platform/gdi.h"
#include "platform/graphics.h"

namespace {

class GdiFontsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(gfx::Startup(), gfx::Ok); }
};

TEST_F(GdiFontsTest, FacesMapToInstalledFamilies)
{
    struct Row {
        const wchar_t* face;
        FontFaceKind kind;
        const wchar_t* family;
    };
    // clang-format off
    const Row rows[] = {
        {L"宋体", FontFaceKind::Cjk, L"WenQuanYi Micro Hei"},
        {L"黑体", FontFaceKind::Cjk, L"WenQuanYi Micro Hei"},
        {L"微软雅黑", FontFaceKind::Cjk, L"WenQuanYi Micro Hei"},
        {L"SimSun", FontFaceKind::Cjk, L"WenQuanYi Micro Hei"},
        {L"某个字体", FontFaceKind::Cjk, L"WenQuanYi Micro Hei"},  // any CJK spelling
        // The dialog face by its metrics (dialog base units 6 x 13 at 8 pt).
        {L"MS Shell Dlg", FontFaceKind::Dialog, L"WenQuanYi Micro Hei"},
        {L"Tahoma", FontFaceKind::Dialog, L"WenQuanYi Micro Hei"},
        {L"Arial", FontFaceKind::LatinSans, L"DejaVu Sans"},
        {L"  arial ", FontFaceKind::LatinSans, L"DejaVu Sans"},
        {L"", FontFaceKind::Dialog, L"WenQuanYi Micro Hei"},
        {L"No Such Face 123", FontFaceKind::LatinSans, L"DejaVu Sans"},
        {L"DejaVu Sans Mono", FontFaceKind::Installed, L"DejaVu Sans Mono"},
    };
    // clang-format on
    for (const auto& r : rows) {
        const FontFaceMapping m = MapFontFace(r.face);
        EXPECT_EQ(static_cast<int>(m.kind), static_cast<int>(r.kind));
        EXPECT_EQ(m.family, r.family);
    }
}

TEST_F(GdiFontsTest, PointSizesBecomePixelHeights)
{
    const std::tuple<int, int, int> rows[] = {{9, 96, 12}, {8, 96, 11}, {9, 120, 15}, {12, 144, 24}, {8, 192, 21}};
    for (const auto& [pt, dpi, px] : rows) EXPECT_EQ(PointsToPixels(pt, dpi), px) << pt << "pt at " << dpi;

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(90, L"宋体"));
    LOGFONTW lf;
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(std::wstring(lf.lfFaceName), L"宋体");
}

TEST_F(GdiFontsTest, HeightWeightAndWidthReachTheDrawnText)
{
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateCompatibleBitmap(nullptr, 4, 4));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&bmp);
    auto extent = [&](int height, int width, int weight) {
        CFont f;
        // A face with a bold of its own (the dialog face's stand-in has none).
        f.CreateFont(height, width, 0, 0, weight, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Arial");
        dc.SelectObject(&f);
        const CSize s = dc.GetTextExtent(L"WWWWWWWWWW");
        dc.SelectStockObject(SYSTEM_FONT);
        return s;
    };
    const CSize base = extent(-12, 0, FW_NORMAL);
    EXPECT_NEAR(extent(-24, 0, FW_NORMAL).cx, 2 * base.cx, base.cx / 10);
    EXPECT_GT(extent(-12, 0, FW_BOLD).cx, base.cx);
    EXPECT_LT(extent(-12, 3, FW_NORMAL).cx, base.cx);  // a narrow width squeezes the text
    // A positive height is the cell height: the line is that high.
    EXPECT_NEAR(extent(20, 0, FW_NORMAL).cy, 20, 2);
}

}  // namespace
