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
