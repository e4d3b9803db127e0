// The placement tables: the skins' given values exactly, the derived ones
// by their rules (inside the window, no overlap within a family, each
// strip's controls in its column).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/placement.h"
#include "app/tarveldlg.h"
#include "platform/look.h"
#include "tests/app/main_window_fixture.h"

namespace {

struct Given {
    Family family;
    int bucket;
    int x0, step, y0, w, h;  // step: dx of a row, dy of a column
};

// The 10-output group in buckets 0 and 4, and the band rows.
// clang-format off
const Given kGiven[] = {
    {Family::ChannelButtons, 0, 132, 113, 449, 100, 22},  {Family::ChannelButtons, 4, 229, 212, 927, 200, 44},
    {Family::PhaseButtons, 0, 170, 113, 474, 62, 18},     {Family::PhaseButtons, 4, 305, 212, 975, 124, 36},
    {Family::LinkButtons, 0, 132, 113, 474, 33, 18},      {Family::LinkButtons, 4, 229, 212, 975, 66, 36},
    {Family::GainFields, 0, 170, 113, 495, 62, 16},       {Family::GainFields, 4, 305, 212, 1016, 124, 32},
    {Family::GainSliders, 0, 204, 113, 514, 20, 80},      {Family::GainSliders, 4, 374, 212, 1050, 40, 186},
    {Family::GainScaleLabels, 0, 170, 113, 517, 30, 16},  {Family::GainScaleLabels, 4, 301, 212, 1056, 64, 32},
    {Family::MuteButtons, 0, 170, 113, 596, 62, 18},      {Family::MuteButtons, 4, 305, 212, 1238, 124, 36},
    {Family::DelayUnitButtons, 0, 132, 113, 616, 33, 18}, {Family::DelayUnitButtons, 4, 229, 212, 1278, 66, 36},
    {Family::DelayFields, 0, 170, 113, 617, 62, 16},      {Family::DelayFields, 4, 305, 212, 1280, 124, 32},
    {Family::CurveButtons, 0, 132, 19, 48, 12, 12},       {Family::CurveButtons, 4, 241, 42, 102, 24, 24},
    {Family::BandFreqFields, 0, 157, 32, 281, 30, 13},    {Family::BandFreqFields, 4, 301, 59, 583, 57, 26},
    {Family::BandQFields, 0, 157, 32, 297, 30, 13},       {Family::BandQFields, 4, 301, 59, 615, 57, 26},
    {Family::BandGainFields, 0, 157, 32, 313, 30, 13},    {Family::BandGainFields, 4, 301, 59, 647, 57, 26},
    {Family::BandLabels, 0, 157, 32, 266, 30, 13},        {Family::BandLabels, 4, 301, 59, 551, 57, 26},
    {Family::BandSliders, 0, 159, 32, 327, 26, 91},       {Family::BandSliders, 4, 303, 59, 685, 52, 182},
    {Family::BypassButtons, 0, 164, 32, 421, 16, 14},     {Family::BypassButtons, 4, 317, 59, 876, 24, 22},
    {Family::MasterScaleLabels, 0, 1162, 72, 66, 30, 16}, {Family::MasterScaleLabels, 4, 2159, 136, 132, 54, 32},
};
// clang-format on

bool IsColumn(Family f) { return f == Family::CurveButtons || f == Family::BridgeButtons; }

void ExpectGiven(const Coord& c, int value, const char* what)
{
    EXPECT_EQ(c.value, value) << what;
    EXPECT_EQ(c.origin, Origin::Given) << what;
}

TEST(PlacementTable, TheSkinsGivenValuesStandExactly)
{
    for (const Given& g : kGiven) {
        SCOPED_TRACE(testing::Message() << FamilyInfoOf(g.family).name << " b" << g.bucket);
        const Placement p = PlacementOf(g.family, g.bucket, 1);
        ExpectGiven(p.x0, g.x0, "x0");
        ExpectGiven(IsColumn(g.family) ? p.dy : p.dx, g.step, "step");
        ExpectGiven(p.y0, g.y0, "y0");
        ExpectGiven(p.w, g.w, "w");
        ExpectGiven(p.h, g.h, "h");
    }
    // The gain-scale labels' rows, the master scale's rows.
    ExpectGiven(PlacementOf(Family::GainScaleLabels, 0, 1).dy, 30, "scale dy b0");
    ExpectGiven(PlacementOf(Family::GainScaleLabels, 4, 1).dy, 74, "scale dy b4");
    ExpectGiven(PlacementOf(Family::MasterScaleLabels, 0, 1).dy, 40, "master dy b0");
    ExpectGiven(PlacementOf(Family::MasterScaleLabels, 4, 1).dy, 75, "master dy b4");
    // The steps of the other groups, the curve column's spacing by group.
    const int steps[3][2] = {{140, 259}, {113, 212}, {94, 175}};
    for (int g = 0; g < kLayoutGroups; ++g) {
        ExpectGiven(PlacementOf(Family::ChannelButtons, 0, g).dx, steps[g][0], "group step b0");
        ExpectGiven(PlacementOf(Family::ChannelButtons, 4, g).dx, steps[g][1], "group step b4");
    }
    ExpectGiven(PlacementOf(Family::CurveButtons, 0, 0).dy, 24, "curve dy 8");
    ExpectGiven(PlacementOf(Family::CurveButtons, 0, 2).dy, 16, "curve dy 12");
    // The 12-output rows' narrower controls.
    ExpectGiven(PlacementOf(Family::MuteButtons, 0, 2).w, 48, "narrow mute b0");
    ExpectGiven(PlacementOf(Family::GainFields, 0, 2).w, 43, "narrow gain b0");
    ExpectGiven(PlacementOf(Family::DelayFields, 4, 2).w, 88, "narrow delay b4");
    // The band sliders' step is the track's width + the bucket's gap.
    const int gap[kDpiBuckets] = {6, 4, 7, 4, 7};
    for (int b = 0; b < kDpiBuckets; ++b) {
        const Placement s = PlacementOf(Family::BandSliders, b, 1);
        EXPECT_EQ(s.dx.value, s.w.value + gap[b]) << b;
        EXPECT_EQ(PlacementOf(Family::BandFreqFields, b, 1).dx.value,
                  PlacementOf(Family::BandFreqFields, b, 1).w.value + 2);
    }
    ExpectGiven(WindowWidth(0), 1272, "window");
    ExpectGiven(WindowHeight(0), 676, "window");
}

TEST(PlacementTable, SingleControlsGivenInBucketZero)
{
    struct Row {
        int id, x, y, w, h;
    } rows[] = {
        // clang-format off
        {IDC_CH_NAME_CAPTION, 14, 454, 90, 12},
        {IDC_LINK_CAPTION, 10, 477, 46, 12},
        {IDC_PHASE_CAPTION, 58, 477, 51, 12},
        {g_delayLabelId[0], 20, 620, 70, 14},
        {IDC_SYSTEM_VOL_SLIDER, 1203, 63, 20, 140},
        {IDC_SYSTEM_VOL, 1195, 206, 60, 16},
        {IDC_SYS_MUTE, 1171, 206, 24, 16},
        {IDC_SETUP, 1118, 2, 46, 30},
        {IDC_MINIMIZE, 1164, 2, 46, 30},
        {IDC_CLOSE, 1210, 2, 46, 30},
        {IDC_INPUT_VOL, 17, 373, 84, 18},
        {IDC_FILE, 1171, 373, 84, 18},
        {IDC_DELAY_CALE, 17, 406, 84, 18},
        {IDC_RESET_ALL, 1171, 233, 84, 18},
        {IDC_PEQ_MODE, 1171, 263, 84, 18},
        {IDC_RESET_EQ, 1171, 293, 84, 18},
        {IDC_RESET_BAND_GAIN, 1171, 323, 84, 18},
        {IDC_SOURCE, 1171, 406, 84, 18},
    };
    // clang-format on
    const std::vector<SinglePlacement> singles = SinglePlacements(0);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.id);
        auto it = std::find_if(singles.begin(), singles.end(), [&](const SinglePlacement& s) { return s.id == r.id; });
        ASSERT_NE(it, singles.end());
        EXPECT_EQ(it->x.value, r.x);
        EXPECT_EQ(it->y.value, r.y);
        EXPECT_EQ(it->w.value, r.w);
        EXPECT_EQ(it->h.value, r.h);
    }
    // The master slider stands between the tick columns in every bucket.
    for (int b = 0; b < kDpiBuckets; ++b) {
        const VolumeScale s = VolumeScaleOf(b);
        for (const SinglePlacement& p : SinglePlacements(b)) {
            if (p.id != IDC_SYSTEM_VOL_SLIDER) continue;
            EXPECT_EQ(p.x.value, s.xLeftEnd) << b;
            EXPECT_NEAR(p.x.value + p.w.value, s.xRight, 1) << b;
        }
    }
}

TEST(PlacementTable, MatrixGivenValues)
{
    // Left columns by group, right columns 19, 19 and 15 further; rows by model.
    const struct {
        int model;
        bool noAux;
        int x0, right, dy;
    } rows[] = {{1, false, 151, 19, 17}, {4, false, 133, 19, 17}, {4, true, 133, 19, 20},  {3, false, 133, 19, 17},
                {5, false, 151, 19, 23}, {6, false, 151, 19, 15}, {2, false, 135, 15, 15}, {8, false, 135, 15, 15}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.model);
        const MatrixPlacement m = MatrixPlacementOf(0, r.model, r.noAux);
        EXPECT_EQ(m.x0.value, r.x0);
        EXPECT_EQ(m.rightOffset.value, r.right);
        ExpectGiven(m.dy, r.dy, "dy");
        EXPECT_GE(m.y0.value, 496);
        EXPECT_LE(m.y0.value, 502);
        EXPECT_EQ(m.size.value, 12);
    }
    const MatrixPlacement b4 = MatrixPlacementOf(4, 4, false);
    ExpectGiven(b4.labelX[0], 23, "legend even");
    ExpectGiven(b4.labelX[1], 114, "legend odd");
    ExpectGiven(b4.labelW[0], 96, "legend w");
    ExpectGiven(b4.labelH, 32, "legend h");
    EXPECT_EQ(b4.size.value, 24);
    // Row orders: model 5 places no Hi.5/6, AUX-3/4, Hi.7..10; models 3 and 7 alike.
    for (int pair : {2, 6, 7, 8}) EXPECT_EQ(MatrixRowOf(5, false, pair), -1);
    for (int pair = 0; pair < 9; ++pair) EXPECT_EQ(MatrixRowOf(3, false, pair), MatrixRowOf(7, true, pair));
    EXPECT_EQ(MatrixRowOf(4, false, 7), 4);  // AUX-3/AUX-4 after AUX-1/AUX-2
    EXPECT_EQ(MatrixRowOf(8, false, 8), 4);  // Hi.9/Hi.10 after Hi.7/Hi.8
}

bool Overlap(const ControlRect& a, const ControlRect& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

void ExpectInside(const ControlRect& r, int b)
{
    EXPECT_GE(r.x, 0) << r.id;
    EXPECT_GE(r.y, 0) << r.id;
    EXPECT_GT(r.w, 0) << r.id;
    EXPECT_GT(r.h, 0) << r.id;
    EXPECT_LE(r.x + r.w, WindowWidth(b).value) << r.id;
    EXPECT_LE(r.y + r.h, WindowHeight(b).value) << r.id;
}

void ExpectNoOverlap(const std::vector<ControlRect>& rects)
{
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_FALSE(Overlap(rects[i], rects[j])) << rects[i].id << " and " << rects[j].id;
}

// Derived values follow their rules in every bucket and group.
TEST(PlacementTable, EveryFamilyInsideTheWindowWithoutOverlap)
{
    for (int b = 0; b < kDpiBuckets; ++b) {
        for (int g = 0; g < kLayoutGroups; ++g) {
            SCOPED_TRACE(testing::Message() << "b" << b << " group " << OutputsOfGroup(g));
            const int outputs = OutputsOfGroup(g);
            for (const FamilyInfo& f : PlacedFamilies()) {
                SCOPED_TRACE(f.name);
                std::vector<ControlRect> rects = FamilyRects(f.family, b, g);
                // Per-channel rows: the group's outputs only (the layout hides the rest).
                if (f.perGroup && f.family != Family::BridgeButtons) {
                    const size_t per = f.family == Family::GainScaleLabels ? 3 : 1;
                    rects.resize(static_cast<size_t>(outputs) * per);
                }
                for (const ControlRect& r : rects) ExpectInside(r, b);
                ExpectNoOverlap(rects);
                const Placement p = PlacementOf(f.family, b, g);
                for (const Coord* c : {&p.x0, &p.dx, &p.y0, &p.dy, &p.w, &p.h}) {
                    if (c->origin == Origin::Derived) {
                        EXPECT_NE(std::string(c->rule), "") << f.name;
                    }
                }
            }
            for (const SinglePlacement& s : SinglePlacements(b))
                ExpectInside({s.id, s.x.value, s.y.value, s.w.value, s.h.value}, b);
        }
    }
}

// Each strip's controls stand in the strip's column, and the strips of a
// row do not touch each other; the band columns share their centre.
TEST(PlacementTable, StripsAndBandsStandInColumns)
{
    const Family strip[] = {Family::PhaseButtons,     Family::LinkButtons,     Family::GainFields,
                            Family::GainSliders,      Family::GainScaleLabels, Family::MuteButtons,
                            Family::DelayUnitButtons, Family::DelayFields};
    for (int b = 0; b < kDpiBuckets; ++b) {
        for (int g = 0; g < kLayoutGroups; ++g) {
            SCOPED_TRACE(testing::Message() << "b" << b << " group " << OutputsOfGroup(g));
            const std::vector<ControlRect> ch = FamilyRects(Family::ChannelButtons, b, g);
            const int n = OutputsOfGroup(g);
            for (int c = 0; c < n; ++c) {
                const int left = ch[static_cast<size_t>(c)].x, right = left + ch[static_cast<size_t>(c)].w;
                if (c + 1 < n) {
                    EXPECT_LT(right, ch[static_cast<size_t>(c) + 1].x);
                }
                for (Family f : strip) {
                    const std::vector<ControlRect> rects = FamilyRects(f, b, g);
                    const size_t per = f == Family::GainScaleLabels ? 3 : 1;
                    for (size_t k = 0; k < per; ++k) {
                        const ControlRect& r = rects[static_cast<size_t>(c) * per + k];
                        EXPECT_GE(r.x, left) << FamilyInfoOf(f).name << " CH" << c + 1;
                        EXPECT_LE(r.x + r.w, right) << FamilyInfoOf(f).name << " CH" << c + 1;
                    }
                }
                // The strip's controls do not overlap each other.
                std::vector<ControlRect> own = {ch[static_cast<size_t>(c)]};
                for (Family f : strip) {
                    const std::vector<ControlRect> rects = FamilyRects(f, b, g);
                    const size_t per = f == Family::GainScaleLabels ? 3 : 1;
                    for (size_t k = 0; k < per; ++k) own.push_back(rects[static_cast<size_t>(c) * per + k]);
                }
                ExpectNoOverlap(own);
            }
        }
        const Family band[] = {Family::BandLabels,     Family::BandFreqFields, Family::BandQFields,
                               Family::BandGainFields, Family::BandSliders,    Family::BypassButtons};
        for (int i = 0; i < kBands; ++i) {
            const ControlRect ref = FamilyRects(Family::BandFreqFields, b, 1)[static_cast<size_t>(i)];
            for (Family f : band) {
                const ControlRect r = FamilyRects(f, b, 1)[static_cast<size_t>(i)];
                EXPECT_NEAR(2 * r.x + r.w, 2 * ref.x + ref.w, 2) << FamilyInfoOf(f).name << " band " << i + 1;
            }
        }
    }
}

// The matrix of every model sits in its strips, inside the window, its
// buttons without overlap, its legend left of it (the given legend cells
// overlap their neighbours by a few pixels; their texts are left aligned).
TEST(PlacementTable, MatrixOfEveryModel)
{
    for (int b = 0; b < kDpiBuckets; ++b) {
        for (int model = 1; model <= 8; ++model) {
            for (bool noAux : {false, true}) {
                SCOPED_TRACE(testing::Message() << "b" << b << " model " << model << " noAux " << noAux);
                const int g = LayoutGroupOf(model);
                std::vector<ControlRect> rects = MatrixRects(b, model, noAux);
                std::vector<ControlRect> shown, buttons;
                for (const ControlRect& r : rects) {
                    const int cell = IndexOfId(&g_routeButtonId[0][0], kChannels * kInputs, r.id);
                    if (cell >= 0 && cell / kInputs >= OutputsOfGroup(g)) continue;
                    shown.push_back(r);
                    if (cell >= 0) buttons.push_back(r);
                    ExpectInside(r, b);
                }
                ExpectNoOverlap(buttons);
                const ControlRect first = FamilyRects(Family::ChannelButtons, b, g)[0];
                for (const ControlRect& r : shown) {
                    if (IndexOfId(g_routeLabelId[0], kInputs, r.id) >= 0) {
                        EXPECT_LT(r.x + r.w, first.x + 2);
                    }
                }
            }
        }
    }
}

// Model 8's rows are model 2's, model 3's model 7's, in every bucket.
TEST(PlacementTable, ModelsOfAGroupArePlacedAlike)
{
    EXPECT_EQ(LayoutGroupOf(8), LayoutGroupOf(2));
    EXPECT_EQ(LayoutGroupOf(3), LayoutGroupOf(7));
    EXPECT_EQ(LayoutGroupOf(6), LayoutGroupOf(1));
    for (int b = 0; b < kDpiBuckets; ++b) {
        const std::vector<ControlRect> a = MatrixRects(b, 3, false), c = MatrixRects(b, 7, true);
        ASSERT_EQ(a.size(), c.size());
        for (size_t i = 0; i < a.size(); ++i) EXPECT_TRUE(a[i].x == c[i].x && a[i].y == c[i].y);
    }
    EXPECT_FALSE(PlacementTableText().empty());
}

}  // namespace

// Every single control stands where its group's routine puts it once the
// window is laid out: a group that no routine places fails here. Each
// group holds controls and names a routine of its own.
TEST_F(MainWindowTest, EverySingleControlIsPlacedByItsGroup)
{
    std::set<std::string> routines;
    for (SingleGroup group : kSingleGroups) {
        EXPECT_TRUE(routines.insert(RoutineOf(group)).second) << RoutineOf(group);
        const std::vector<SinglePlacement> singles = SinglePlacements(0);
        EXPECT_TRUE(std::any_of(singles.begin(), singles.end(), [&](const SinglePlacement& s) {
            return s.group == group;
        })) << RoutineOf(group);
    }
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            for (const SinglePlacement& s : SinglePlacements(DpiBucket(g_screenDpi))) {
                CWnd* item = dlg.GetDlgItem(s.id);
                ASSERT_NE(item, nullptr) << s.id;
                CRect rc;
                item->GetWindowRect(&rc);
                dlg.ScreenToClient(&rc);
                EXPECT_EQ(std::vector<int>({rc.left, rc.top, rc.Width(), rc.Height()}),
                          std::vector<int>({s.x.value, s.y.value, s.w.value, s.h.value}))
                    << "control " << s.id << " of " << RoutineOf(s.group);
            }
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}
