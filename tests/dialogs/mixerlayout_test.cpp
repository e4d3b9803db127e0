// The mixer's layout data by model, option and source, and its keyboard
// navigation, as tables of cases.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dialogs/mixerlayout.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "res/resource.h"

namespace {

// Input bits by name.
enum : int { H1 = 0, H2, H3, H4, H5, H6, A1, A2, OL, OR, BL, BR, H7, H8, A3, A4, H9, H10 };

std::vector<int> ShownRows(int model, int noAux34)
{
    std::vector<int> rows(kMixerInputs, -1);
    std::vector<int> order;
    for (int b = 0; b < kMixerInputs; ++b) {
        const int r = MixerRowOf(model, noAux34, b);
        if (r >= 0) rows[static_cast<size_t>(r)] = b;
    }
    for (int b : rows)
        if (b >= 0) order.push_back(b);
    return order;
}

TEST(MixerLayout, RowsChannelsBackgroundAndSizeByModelAndOption)
{
    struct Row {
        int model, noAux34;
        int outputs;
        std::vector<int> rows;
        int templateId, background;
        int cx0, cy0;  // bucket 0; cy 0: the picture's height
        int cx4, cy4;  // bucket 4
    };
    const std::vector<int> m1 = {H1, H2, H3, H4, H5, H6, A1, A2, A3, A4, OL, OR, BL, BR};
    const std::vector<int> m1n = {H1, H2, H3, H4, H5, H6, A1, A2, OL, OR, BL, BR};
    const std::vector<int> m3 = {H1, H2, H3, H4, H5, H6, H7, H8, A1, A2, OL, OR, BL, BR};
    const std::vector<int> m2 = {H1, H2, H3, H4, H5, H6, H7, H8, A1, A2, A3, A4, OL, OR, BL, BR};
    const std::vector<int> m8 = {H1, H2, H3, H4, H5, H6, H7, H8, H9, H10, A1, A2, OL, OR, BL, BR};
    const std::vector<int> m5 = {H1, H2, H3, H4, A1, A2, OL, OR, BL, BR};
    // clang-format off
    const Row rows[] = {
        {1, 0, 8, m1, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND, 850, 530, 1710, 920},
        {1, 1, 8, m1n, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND_NO_AUX34, 850, 458, 1720, 805},
        {2, 0, 12, m2, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND, 1245, 590, 2472, 1124},
        {2, 1, 12, m3, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND, 1245, 590, 2472, 1124},
        {3, 0, 10, m3, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND_M34, 1045, 0, 2080, 1000},
        {3, 1, 10, m3, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND_M34, 1045, 0, 2080, 1000},
        {4, 0, 10, m1, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND_M34, 1045, 0, 2080, 1000},
        {4, 1, 10, m1n, IDD_CH_INPUT_VOL, IDB_MIXER_BACKGROUND_M34, 1045, 0, 2080, 1000},
        {5, 0, 8, m5, IDD_CH_INPUT_VOL_5, IDB_MIXER_BACKGROUND_M5, 846, 390, 1712, 744},
        {5, 1, 8, m5, IDD_CH_INPUT_VOL_5, IDB_MIXER_BACKGROUND_M5, 846, 390, 1712, 744},
        {6, 0, 8, m2, IDD_CH_INPUT_VOL_6, IDB_MIXER_BACKGROUND, 846, 590, 1712, 1124},
        {6, 1, 8, m2, IDD_CH_INPUT_VOL_6, IDB_MIXER_BACKGROUND, 846, 590, 1712, 1124},
        // Model 7: ten outputs, the inputs of model 3, the size of models 3 and 4.
        {7, 0, 10, m3, IDD_CH_INPUT_VOL_6, IDB_MIXER_BACKGROUND_M34, 1045, 0, 2080, 1000},
        {7, 1, 10, m3, IDD_CH_INPUT_VOL_6, IDB_MIXER_BACKGROUND_M34, 1045, 0, 2080, 1000},
        {8, 0, 12, m8, IDD_CH_INPUT_VOL_6, IDB_MIXER_BACKGROUND, 1245, 650, 2472, 1328},
        {8, 1, 12, m8, IDD_CH_INPUT_VOL_6, IDB_MIXER_BACKGROUND, 1245, 650, 2472, 1328},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE("model " + std::to_string(r.model) + " noAux34 " + std::to_string(r.noAux34));
        EXPECT_EQ(MixerOutputs(r.model), r.outputs);
        EXPECT_EQ(ShownRows(r.model, r.noAux34), r.rows);
        EXPECT_EQ(g_inputVolTemplateId[r.model], r.templateId);
        EXPECT_EQ(MixerBackground(r.model, r.noAux34), r.background);
        const MixerSize b0 = MixerWindowSize(r.model, r.noAux34, 0);
        const MixerSize b4 = MixerWindowSize(r.model, r.noAux34, 4);
        EXPECT_EQ(b0.cx, r.cx0);
        EXPECT_EQ(b0.cy, r.cy0);
        EXPECT_EQ(b4.cx, r.cx4);
        EXPECT_EQ(b4.cy, r.cy4);
        EXPECT_EQ(b0.origin, r.model == 7 ? Origin::Derived : Origin::Given);
        for (int c = 0; c < kMixerChannels; ++c)
            EXPECT_EQ(MixerCellShown(r.model, r.noAux34, c, H1), c < r.outputs) << c;
    }
    // The last row and column of every model lie inside its window at
    // every bucket (given widths that cut the last slider are derived).
    const int trackWidth[5] = {60, 76, 86, 100, 114}, trackHeight[5] = {20, 24, 28, 32, 36};
    for (int model = 1; model <= 8; ++model) {
        for (int noAux34 = 0; noAux34 <= 1; ++noAux34) {
            for (int bucket = 0; bucket < 5; ++bucket) {
                const MixerPlacement& at = MixerPlacementAt(bucket);
                const MixerSize size = MixerWindowSize(model, noAux34, bucket);
                const int lastRow = static_cast<int>(ShownRows(model, noAux34).size()) - 1;
                EXPECT_LE(at.sliderY0 + lastRow * at.rowStep + trackHeight[bucket], size.cy ? size.cy : 520)
                    << model << " " << bucket;
                EXPECT_LE(at.sliderX0 + (MixerOutputs(model) - 1) * at.columnStep + trackWidth[bucket], size.cx)
                    << model << " " << bucket;
            }
        }
    }
    EXPECT_EQ(MixerWindowSize(2, 0, 2).cx, 1852);
    EXPECT_EQ(MixerWindowSize(2, 0, 2).origin, Origin::Derived);
}

TEST(MixerLayout, IdTablesAreTheTemplatesCellsOnce)
{
    std::set<int> seen;
    for (int c = 0; c < kMixerChannels; ++c) {
        for (int b = 0; b < kMixerInputs; ++b) {
            EXPECT_TRUE(seen.insert(g_mixerEditId[c][b]).second) << c << " " << b;
            EXPECT_TRUE(seen.insert(g_mixerSliderId[c][b]).second) << c << " " << b;
        }
    }
    EXPECT_EQ(g_mixerEditId[8][0], 1360);  // CH9..CH12 run down
    EXPECT_EQ(g_mixerEditId[8][11], 1349);
    EXPECT_EQ(g_mixerEditId[11][15], 1429);
    EXPECT_EQ(g_mixerSliderId[0][0], 1049);
    EXPECT_EQ(g_mixerSliderId[11][11], 1214);
    EXPECT_EQ(g_mixerSliderId[11][17], 1480);
    for (int id : {IDD_CH_INPUT_VOL, IDD_CH_INPUT_VOL_5, IDD_CH_INPUT_VOL_6}) {
        const DialogTemplate* t = FindDialogTemplate(id);
        ASSERT_NE(t, nullptr) << id;
        std::set<int> edits, sliders, statics;
        for (const DialogControl& k : t->controls) {
            if (k.kind == "EDIT") edits.insert(k.id);
            if (k.kind == "SLIDER") sliders.insert(k.id);
            if (k.kind == "STATIC") statics.insert(k.id);
        }
        EXPECT_EQ(t->controls.size(), 465u);
        for (int c = 0; c < kMixerChannels; ++c) {
            EXPECT_TRUE(statics.count(g_mixerChannelLabelId[c]));
            for (int b = 0; b < kMixerInputs; ++b) {
                EXPECT_TRUE(edits.count(g_mixerEditId[c][b])) << id << " " << c << " " << b;
                EXPECT_TRUE(sliders.count(g_mixerSliderId[c][b])) << id << " " << c << " " << b;
            }
        }
        for (int b = 0; b < kMixerInputs; ++b) EXPECT_TRUE(statics.count(g_mixerSourceLabelId[b]));
    }
}

TEST(MixerLayout, LitAndEnabledCellsFollowTheSelectedGroup)
{
    using E = std::optional<bool>;
    struct Row {
        int model, noAux34, source;
        MixerControl control;
        int channel, bit;
        E enabled;
        bool lit;
    };
    const MixerControl F = MixerControl::Edit, S = MixerControl::Slider;
    // clang-format off
    const Row rows[] = {
        {1, 0, 1, F, 0, H1, true, true},      {1, 0, 1, S, 7, H6, true, true},
        {1, 0, 1, F, 0, A1, false, false},    {1, 0, 2, F, 0, A3, true, true},
        {1, 1, 2, F, 0, A3, false, true},     {1, 0, 4, F, 3, H1, false, false},  // source 4: all off
        {1, 0, 4, S, 3, BL, false, false},    {1, 0, 1, F, 8, H1, E{}, true},     // CH9: left as made
        {1, 0, 9, S, 0, BL, true, true},      {1, 0, 3, S, 0, BR, true, true},
        {1, 0, 5, F, 2, OR, true, true},      {1, 0, 5, F, 2, BL, false, false},
        {2, 0, 2, S, 11, A4, true, true},     {2, 1, 2, S, 11, A4, false, true},
        {2, 0, 2, F, 0, A1, E{}, true},       {4, 0, 1, S, 11, H1, false, true},  // CH11 hidden
        {4, 0, 1, S, 0, H7, false, true},     {8, 0, 1, S, 0, H10, true, true},
        {8, 0, 2, S, 0, A3, false, true},     {3, 0, 1, S, 0, H1, E{}, true},
        {5, 0, 2, S, 0, H1, E{}, false},      {6, 0, 5, F, 0, OL, E{}, true},
        {7, 0, 9, S, 0, BL, E{}, true},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE("model " + std::to_string(r.model) + " source " + std::to_string(r.source) + " ch " +
                     std::to_string(r.channel) + " bit " + std::to_string(r.bit));
        EXPECT_EQ(MixerCellEnabled(r.model, r.noAux34, r.source, r.control, r.channel, r.bit), r.enabled);
        EXPECT_EQ(MixerCellLit(r.source, r.bit), r.lit);
    }
    // Caption groups: the four groups and 10 for anything else.
    EXPECT_EQ(MixerLabelGroup(1511), 1);
    EXPECT_EQ(MixerLabelGroup(1540), 1);
    EXPECT_EQ(MixerLabelGroup(1537), 2);
    EXPECT_EQ(MixerLabelGroup(1519), 5);
    EXPECT_EQ(MixerLabelGroup(1522), 3);
    EXPECT_EQ(MixerLabelGroup(1523), 10);
    EXPECT_EQ(MixerLabelGroup(IDC_MIXER_TITLE), 10);
}

TEST(MixerLayout, CaptionStringsByModelAndSource)
{
    struct Row {
        int model, source, bit, string;
    };
    // clang-format off
    const Row rows[] = {
        {2, 1, H1, IDS_INPUT_HI1},    {2, 3, BL, IDS_INPUT_BT_L},  {2, 9, BL, IDS_INPUT_USB_L},
        {2, 9, BR, IDS_INPUT_USB_R},  {8, 1, H10, IDS_INPUT_HI10}, {1, 2, A4, IDS_INPUT_AUX4},
        {7, 1, H1, IDS_INPUT_RADIO_L}, {7, 1, H2, IDS_INPUT_RADIO_R}, {7, 1, A1, IDS_INPUT_AUX_L},
        {7, 1, A2, IDS_INPUT_AUX_R},  {7, 3, BL, IDS_INPUT_USB_L}, {7, 1, H3, IDS_INPUT_HI3},
    };
    // clang-format on
    for (const Row& r : rows)
        EXPECT_EQ(MixerLabelString(r.model, r.source, r.bit), r.string) << r.model << " " << r.bit;
}

TEST(MixerLayout, NavigationStaysOnShownNavigableCells)
{
    struct Row {
        const char* what;
        int model, noAux34, source, channel, bit;
        unsigned key;
        int toChannel, toBit;  // -1: nowhere
    };
    // clang-format off
    const Row rows[] = {
        {"AUX rows walk down", 2, 0, 2, 3, A1, VK_NEXT, 3, A2},
        {"", 2, 0, 2, 3, A2, VK_NEXT, 3, A3},
        {"", 2, 0, 2, 3, A3, VK_NEXT, 3, A4},
        {"and back to AUX-1", 2, 0, 2, 3, A4, VK_NEXT, 3, A1},
        {"PageUp from AUX-1 to AUX-4", 2, 0, 2, 3, A1, VK_PRIOR, 3, A4},
        {"Bluetooth pair", 4, 0, 3, 0, BL, VK_NEXT, 0, BR},
        {"", 4, 0, 9, 0, BR, VK_NEXT, 0, BL},
        {"another group's field", 4, 0, 3, 0, A1, VK_NEXT, -1, -1},
        {"Right from CH10 to CH1 on model 3", 3, 0, 5, 9, OL, VK_RIGHT, 0, OL},
        {"Left from CH1 to CH10", 3, 0, 5, 0, OL, VK_LEFT, 9, OL},
        {"model 6 without AUX-3/4 rows", 6, 1, 2, 0, A2, VK_NEXT, 0, A1},
        {"", 6, 1, 2, 0, A1, VK_PRIOR, 0, A2},
        {"model 6 AUX-3 shown but not navigable", 6, 1, 2, 0, A3, VK_NEXT, -1, -1},
        {"model 1 High Level ends at Hi.6", 1, 0, 1, 0, H6, VK_NEXT, 0, H1},
        {"model 8 High Level ends at Hi.10", 8, 0, 1, 0, H10, VK_NEXT, 0, H1},
        {"", 8, 0, 1, 0, H8, VK_NEXT, 0, H9},
        {"Right from CH12 on model 8", 8, 0, 1, 11, H1, VK_RIGHT, 0, H1},
        // Ends the table leaves open: within the model's outputs.
        {"model 4 Right from CH10 to CH1", 4, 0, 1, 9, H1, VK_RIGHT, 0, H1},
        {"model 4 Left from CH1 to CH10", 4, 0, 1, 0, H1, VK_LEFT, 9, H1},
        {"model 7 Left from CH1 to CH10", 7, 0, 5, 0, OL, VK_LEFT, 9, OL},
        {"model 5 Left from CH1 to CH8", 5, 0, 1, 0, H1, VK_LEFT, 7, H1},
        {"model 6 Right from CH8 to CH1", 6, 0, 1, 7, H1, VK_RIGHT, 0, H1},
        {"model 4 CH11 is no field", 4, 0, 1, 10, H1, VK_RIGHT, -1, -1},
        {"source 4 navigates nowhere", 2, 0, 4, 0, H1, VK_NEXT, -1, -1},
        {"", 2, 0, 6, 0, BR, VK_RIGHT, -1, -1},
        // Hidden cells are passed over.
        {"model 4 Hi.6 to Hi.1 past hidden Hi.7, Hi.8", 4, 0, 1, 0, H6, VK_NEXT, 0, H1},
        {"model 4 Hi.1 up to Hi.6", 4, 0, 1, 0, H1, VK_PRIOR, 0, H6},
        {"model 5 Hi.4 to Hi.1 past Hi.5..Hi.8", 5, 0, 1, 2, H4, VK_NEXT, 2, H1},
        {"model 3 AUX-2 to AUX-1 past hidden AUX-3/4", 3, 0, 2, 0, A2, VK_NEXT, 0, A1},
        {"model 8 AUX-1 up to AUX-2", 8, 0, 2, 0, A1, VK_PRIOR, 0, A2},
        {"model 1 without AUX-3/4", 1, 1, 2, 0, A2, VK_NEXT, 0, A1},
        {"a hidden field is no start", 4, 0, 1, 0, H7, VK_NEXT, -1, -1},
        {"other keys", 2, 0, 1, 0, H1, VK_UP, -1, -1},
    };
    // clang-format on
    for (const Row& r : rows) {
        SCOPED_TRACE(std::string(r.what) + " model " + std::to_string(r.model) + " ch " + std::to_string(r.channel) +
                     " bit " + std::to_string(r.bit));
        const auto to = MixerNavigate(r.model, r.noAux34, r.source, r.channel, r.bit, r.key);
        if (r.toChannel < 0) {
            EXPECT_FALSE(to.has_value());
            continue;
        }
        ASSERT_TRUE(to.has_value());
        EXPECT_EQ(to->channel, r.toChannel);
        EXPECT_EQ(to->bit, r.toBit);
    }
    // From every navigable cell of every model, option and source, every key
    // lands on a shown cell.
    for (int model = 0; model <= 9; ++model)
        for (int noAux = 0; noAux <= 1; ++noAux)
            for (int source : {1, 2, 3, 4, 5, 6, 9, 0})
                for (int c = 0; c < kMixerChannels; ++c)
                    for (int b = 0; b < kMixerInputs; ++b)
                        for (unsigned key : {VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT}) {
                            const auto to = MixerNavigate(model, noAux, source, c, b, key);
                            if (!to) continue;
                            EXPECT_TRUE(MixerCellShown(model, noAux, to->channel, to->bit))
                                << model << " " << source << " " << c << " " << b;
                        }
}

}  // namespace
