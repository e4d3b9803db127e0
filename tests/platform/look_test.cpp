// The shared look: DPI scaling, both sets of bucket cuts and the skins.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "platform/graphics.h"
#include "platform/look.h"

namespace {

TEST(Look, BucketCutsOfTheMainWindowAndOfTheComboArrows)
{
    struct Row {
        int dpi, bucket, arrow;
    };
    // clang-format off
    const Row rows[] = {
        {72, 0, 0},  {96, 0, 0},  {109, 0, 0}, {110, 1, 1}, {120, 1, 1}, {131, 1, 1}, {132, 2, 2},
        {144, 2, 2}, {157, 2, 2}, {158, 3, 2}, {167, 3, 2}, {168, 3, 3}, {187, 3, 3}, {188, 4, 3},
        {192, 4, 3}, {480, 4, 3},
    };
    // clang-format on
    for (const Row& r : rows) {
        EXPECT_EQ(DpiBucket(r.dpi), r.bucket) << r.dpi;
        EXPECT_EQ(ArrowBucket(r.dpi), r.arrow) << r.dpi;
    }
    constexpr int kTable[kDpiBuckets] = {10, 11, 12, 13, 14};
    EXPECT_EQ(ByDpiBucket(kTable, 157), 12);
}

// The screen's bucket while its window fits the available area, else the
// largest smaller bucket whose window fits; the window then goes wholly
// inside the area, or with its top-left corner on it when it is larger.
TEST(Look, TheBucketFallsBackToTheLargestWindowThatFitsTheScreen)
{
    // The main window's sizes by bucket.
    const SIZE window[kDpiBuckets] = {{1272, 676}, {1454, 869}, {1818, 1062}, {2181, 1206}, {2363, 1399}};
    struct Row {
        const char* name;
        int dpi;
        SIZE area;
        int fitted;
    };
    // clang-format off
    const Row rows[] = {
        {"1366 x 768 laptop at 120 dpi, panel of 32", 120, {1366, 736}, 96},
        {"full HD at 120 dpi", 120, {1920, 1048}, 120},
        {"a dpi of its own kept while it fits", 125, {1920, 1048}, 125},
        {"full HD at 192 dpi: two buckets down", 192, {1920, 1048}, 120},
        {"4K at 192 dpi", 192, {3840, 2128}, 192},
        {"too narrow for bucket 2 only", 144, {1800, 1400}, 120},
        {"exactly the window", 144, {1818, 1062}, 144},
        {"nothing fits: bucket 0", 168, {1024, 600}, 96},
        {"bucket 0 that does not fit stays", 96, {1024, 600}, 96},
    };
    // clang-format on
    for (const Row& r : rows) EXPECT_EQ(FitDpiToArea(r.dpi, r.area, window), r.fitted) << r.name;

    struct Place {
        const char* name;
        SIZE window;
        RECT area;
        POINT at;
    };
    // clang-format off
    const Place places[] = {
        {"centred", {1272, 676}, {0, 0, 1366, 736}, {47, 30}},
        {"below a top panel", {1272, 676}, {0, 32, 1366, 768}, {47, 62}},
        {"on a second screen", {1272, 676}, {1920, 0, 3286, 768}, {1967, 46}},
        {"larger: its title row on the area", {1454, 869}, {0, 27, 1366, 768}, {0, 27}},
        {"wider only", {1454, 600}, {10, 0, 1376, 768}, {10, 84}},
    };
    // clang-format on
    for (const Place& p : places) {
        const POINT at = PlaceInArea(p.window, p.area);
        EXPECT_EQ(at.x, p.at.x) << p.name;
        EXPECT_EQ(at.y, p.at.y) << p.name;
    }
}

TEST(Look, ScaleForDpiTruncatesAtTheScreenDpi)
{
    const int saved = g_screenDpi;
    EXPECT_EQ(ScaleForDpi(12, 96), 12);
    EXPECT_EQ(ScaleForDpi(12, 120), 15);
    EXPECT_EQ(ScaleForDpi(22, 144), 33);
    EXPECT_EQ(ScaleForDpi(42, 130), 56);  // 56.875
    g_screenDpi = 168;
    EXPECT_EQ(ScaleForDpi(42), 73);  // 73.5
    g_screenDpi = saved;
}

TEST(Look, SkinBitmapsFollowTheBucketOfTheScreenDpi)
{
    const int saved = g_screenDpi;
    EXPECT_EQ(SkinBitmap(SKIN_POPUP_CLOSE, 0), IDB_POPUP_CLOSE_B0);
    EXPECT_EQ(SkinBitmap(SKIN_POPUP_CLOSE, 3), IDB_POPUP_CLOSE_B3);
    EXPECT_EQ(SkinBitmap(SKIN_POPUP_CLOSE, -1), IDB_POPUP_CLOSE_B0);
    EXPECT_EQ(SkinBitmap(SKIN_POPUP_CLOSE, 9), IDB_POPUP_CLOSE_B4);
    EXPECT_EQ(SkinBitmap(kSkinCount, 0), 0);
    g_screenDpi = 144;
    EXPECT_EQ(SkinBitmap(SKIN_LOGO_ENTER), IDB_LOGO_ENTER_B2);
    g_screenDpi = saved;
}

// Every skin's pictures exist and grow with the bucket: a picture typed into
// the wrong bucket shows up as one smaller than its lower neighbour.
TEST(Look, EverySkinLoadsAndGrowsWithTheBucket)
{
    ASSERT_EQ(gfx::Startup(), gfx::Ok);
    for (int s = 0; s < kSkinCount; ++s) {
        CSize previous(0, 0);
        for (int b = 0; b < kDpiBuckets; ++b) {
            CBitmap bitmap;
            ASSERT_TRUE(bitmap.LoadBitmap(static_cast<UINT>(SkinBitmap(static_cast<SkinId>(s), b))))
                << "skin " << s << " bucket " << b;
            const CSize size = bitmap.GetSize();
            EXPECT_GT(size.cx, previous.cx) << "skin " << s << " bucket " << b;
            EXPECT_GT(size.cy, previous.cy) << "skin " << s << " bucket " << b;
            previous = size;
        }
    }
}

}  // namespace
