// The skin art: every bitmap and PNG id of the slider, button and combo-box
// families draws, in every DPI bucket it serves, a picture of the size the
// table lists, and the sizes the window's layout relies on are those given.
#include <map>
#include <vector>

#include "platform/art.h"
#include "platform/graphics.h"
#include "platform/look.h"
#include "tests/platform/ui_test.h"

namespace {

constexpr int kBucketDpi[kDpiBuckets] = {96, 120, 144, 168, 192};

// The ids of each family and state by bucket 0..4, as the window and the
// mixer choose them.
struct Family {
    const char* what;
    int ids[kDpiBuckets];
};
// clang-format off
const Family kFamilies[] = {
    {"channel slider thumb", {169, 204, 205, 671, 206}},
    {"channel slider track lit", {197, 216, 217, 673, 218}},
    {"channel slider track dim", {196, 210, 211, 681, 212}},
    {"master slider thumb", {273, 355, 356, 678, 357}},
    {"master slider track lit", {198, 219, 220, 675, 221}},
    {"master slider track dim", {171, 213, 214, 670, 215}},
    {"band slider thumb", {282, 352, 353, 615, 354}},
    {"band slider track", {168, 207, 208, 667, 209}},
    {"mixer slider thumb", {312, 378, 379, 672, 380}},
    {"mixer slider track lit", {313, 381, 382, 674, 383}},
    {"mixer slider track dim", {311, 384, 385, 684, 386}},
    {"channel selected", {559, 567, 570, 659, 573}},
    {"channel selected, unknown model", {261, 503, 504, 691, 513}},
    {"channel, 12 outputs", {746, 749, 751, 753, 755}},
    {"channel", {561, 569, 572, 661, 575}},
    {"channel, unknown model", {263, 507, 508, 662, 515}},
    {"phase 0", {229, 511, 512, 683, 534}},
    {"phase 180", {269, 509, 510, 682, 533}},
    {"muted", {165, 364, 501, 663, 531}},
    {"not muted, 12 outputs", {745, 750, 752, 754, 756}},
    {"not muted", {167, 365, 502, 679, 532}},
    {"master muted", {271, 358, 359, 700, 360}},
    {"master not muted", {272, 361, 362, 699, 363}},
    {"bypass pressed", {160, 703, 704, 665, 706}},
    {"bypassed", {161, 320, 321, 666, 322}},
    {"band active", {177, 317, 318, 664, 319}},
    {"delay unit ms", {270, 411, 412, 634, 413}},
    {"delay unit cm", {759, 760, 761, 762, 763}},
    {"link none", {268, 460, 475, 638, 518}},
    {"routing left on", {238, 366, 367, 653, 368}},
    {"routing left off", {239, 372, 373, 655, 374}},
    {"routing right on", {280, 369, 370, 654, 371}},
    {"routing right off", {281, 375, 376, 656, 377}},
};
const int kCurveVisible[12][kDpiBuckets] = {
    {248, 323, 324, 621, 325}, {250, 326, 327, 622, 328}, {251, 329, 330, 623, 331}, {252, 332, 333, 624, 334},
    {253, 335, 336, 625, 337}, {254, 338, 339, 626, 340}, {255, 341, 342, 627, 343}, {256, 344, 345, 628, 346},
    {440, 441, 442, 629, 443}, {444, 445, 446, 630, 447}, {448, 449, 450, 631, 451}, {452, 453, 454, 632, 455},
};
// clang-format on

// Every (id, bucket) of the window's bitmap families: the table above, the
// curve buttons (hidden: 576..587 in every bucket) and the link groups.
std::vector<std::pair<int, int>> NamedBitmaps()
{
    std::vector<std::pair<int, int>> out;
    for (const Family& f : kFamilies)
        for (int b = 0; b < kDpiBuckets; ++b) out.emplace_back(f.ids[b], b);
    for (int ch = 0; ch < 12; ++ch) {
        for (int b = 0; b < kDpiBuckets; ++b) {
            out.emplace_back(kCurveVisible[ch][b], b);
            out.emplace_back(576 + ch, b);
        }
    }
    for (int g = 0; g < 12; ++g) {
        const int ids[kDpiBuckets] = {g < 8 ? 240 + g : 436 + g - 8, 461 + g, 476 + g, 639 + g, 519 + g};
        for (int b = 0; b < kDpiBuckets; ++b) out.emplace_back(ids[b], b);
    }
    return out;
}

class ArtTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ASSERT_EQ(gfx::Startup(), gfx::Ok);
        m_savedDpi = g_screenDpi;
    }
    void TearDown() override
    {
        g_screenDpi = m_savedDpi;
        UiTest::TearDown();
    }

private:
    int m_savedDpi = 96;
};

TEST_F(ArtTest, TheTableIsSoundAndEveryNamedIdDrawsAtTheListedSizeInItsBuckets)
{
    EXPECT_EQ(ArtTableErrors(), std::vector<std::string>{});
    for (const auto& [id, bucket] : NamedBitmaps()) {
        SCOPED_TRACE(testing::Message() << "bitmap " << id << " bucket " << bucket);
        ArtPicture art;
        ASSERT_TRUE(FindArt(id, bucket, &art));
        EXPECT_FALSE(art.png);
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadSkinBitmap(static_cast<UINT>(id), bucket));
        EXPECT_EQ(bitmap.GetSize(), CSize(art.width, art.height));
        // Loaded by id alone on a screen of that bucket: the same picture.
        g_screenDpi = kBucketDpi[bucket];
        CBitmap plain;
        ASSERT_TRUE(plain.LoadBitmap(static_cast<UINT>(id)));
        EXPECT_EQ(plain.GetSize(), CSize(art.width, art.height));
    }
    // The drop arrows are PNG pictures with transparency, 20 x 17.
    for (int id : {202, 316, 690, 687, 689}) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(HasPngResource(id));
        const auto image = gfx::Image::FromResource(id);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->GetWidth(), 20u);
        EXPECT_EQ(image->GetHeight(), 17u);
    }
    // Every entry of the table draws (no SVG is missing or broken).
    for (const ArtEntry& e : ArtEntries()) {
        SCOPED_TRACE(testing::Message() << e.picture.name << " bucket " << e.bucket);
        if (e.picture.png) continue;
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadSkinBitmap(static_cast<UINT>(e.id), e.bucket));
        EXPECT_EQ(bitmap.GetSize(), CSize(e.picture.width, e.picture.height));
    }
}

TEST_F(ArtTest, TheGivenSizesHold)
{
    struct Given {
        int id;
        int bucket;
        CSize size;
    } given[] = {
        // clang-format off
        {197, 0, {20, 80}},  {196, 0, {20, 80}},  {218, 4, {40, 186}}, {212, 4, {40, 186}}, {168, 0, {26, 91}},
        {209, 4, {52, 182}}, {198, 0, {20, 140}}, {171, 0, {20, 140}}, {311, 0, {60, 20}},  {384, 1, {76, 24}},
        {385, 2, {86, 28}},  {684, 3, {100, 32}}, {386, 4, {114, 36}}, {573, 4, {200, 44}}, {534, 4, {124, 36}},
        {531, 4, {124, 36}}, {756, 4, {88, 36}},  {161, 0, {16, 14}},  {322, 4, {24, 22}},  {413, 4, {66, 36}},
        {518, 4, {66, 36}},  {325, 4, {24, 24}},  {587, 4, {24, 24}},  {587, 0, {12, 12}},  {368, 4, {24, 24}},
        {271, 0, {24, 16}},  {746, 0, {78, 22}},  {261, 0, {22, 22}},  {745, 0, {48, 18}},
    };
    // clang-format on
    for (const Given& g : given) {
        SCOPED_TRACE(testing::Message() << "bitmap " << g.id << " bucket " << g.bucket);
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.LoadSkinBitmap(static_cast<UINT>(g.id), g.bucket));
        EXPECT_EQ(bitmap.GetSize(), g.size);
    }
}

TEST_F(ArtTest, StatesDifferAtAGlance)
{
    // The middle pixel of each pair of states differs, in every bucket.
    // clang-format off
    const std::pair<int, int> pairs[] = {
        {165, 167}, {271, 272}, {229, 269}, {559, 561}, {238, 239}, {280, 281}, {248, 576}, {268, 240}, {177, 161},
    };
    // clang-format on
    for (const auto& [on, off] : pairs) {
        SCOPED_TRACE(testing::Message() << on << " / " << off);
        CBitmap a, b;
        ASSERT_TRUE(a.LoadBitmap(static_cast<UINT>(on)));
        ASSERT_TRUE(b.LoadBitmap(static_cast<UINT>(off)));
        CDC da, db;
        da.CreateCompatibleDC(nullptr);
        db.CreateCompatibleDC(nullptr);
        da.SelectObject(&a);
        db.SelectObject(&b);
        int differing = 0;
        const CSize s = a.GetSize();
        for (int y = 0; y < s.cy; ++y)
            for (int x = 0; x < s.cx; ++x) differing += da.GetPixel(x, y) != db.GetPixel(x, y);
        EXPECT_GT(differing, s.cx * s.cy / 8);
    }
}

TEST_F(ArtTest, DrawBitmapStretchedFillsTheRectangle)
{
    CBitmap surface;
    ASSERT_TRUE(surface.CreateCompatibleBitmap(nullptr, 100, 50));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&surface);
    g_screenDpi = 96;
    ASSERT_TRUE(DrawBitmapStretched(&dc, 165, CRect(10, 10, 134, 46)));  // muted, twice its size
    EXPECT_EQ(dc.GetPixel(14, 40), RGB(0x2f, 0x8f, 0xe0));
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 0));
    EXPECT_FALSE(DrawBitmapStretched(&dc, 1, CRect(0, 0, 10, 10)));
}

}  // namespace
