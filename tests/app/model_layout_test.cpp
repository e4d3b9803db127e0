// The layout per device model: the shown and enabled sets of strips, matrix
// rows, columns and captions for models 1..8 with and without the AUX-3/4
// flag, the captions by model and source, and on the real window: the same
// state whatever model came before, the selection kept within the model,
// absent curves dropped, all six bridge flags cleared at start.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "app/control_ids.h"
#include "app/model_layout.h"
#include "model/params.h"
#include "platform/resources.h"
#include "tests/app/main_window_fixture.h"

namespace {

std::map<int, LayoutState> ById(const std::vector<LayoutState>& v)
{
    std::map<int, LayoutState> out;
    for (const LayoutState& s : v) out[s.id] = s;
    return out;
}

std::set<int> Range(int from, int to)
{
    std::set<int> s;
    for (int i = from; i <= to; ++i) s.insert(i);
    return s;
}
std::set<int> Without(std::set<int> s, std::initializer_list<int> out)
{
    for (int i : out) s.erase(i);
    return s;
}

TEST(ModelLayout, StripsRowsColumnsAndCaptionsByModel)
{
    struct Case {
        int model;
        bool noAux;
        int outputs;
        std::set<int> inputs;  // matrix bits shown
    };
    const std::set<int> all = Range(0, 17);
    // clang-format off
    const Case cases[] = {
        {1, false, 8, Without(all, {12, 13, 16, 17})},  {1, true, 8, Range(0, 11)},
        {4, false, 10, Without(all, {12, 13, 16, 17})}, {4, true, 10, Range(0, 11)},
        {3, false, 10, Without(all, {12, 13, 16, 17})}, {7, true, 10, Without(all, {12, 13, 16, 17})},
        {5, false, 8, Without(Range(0, 11), {4, 5})},   {5, true, 8, Without(Range(0, 11), {4, 5})},
        {6, false, 8, Without(all, {16, 17})},          {6, true, 8, Without(all, {16, 17})},
        {2, false, 12, Without(all, {16, 17})},         {2, true, 12, Without(all, {16, 17})},
        {8, false, 12, Without(all, {14, 15})},         {8, true, 12, Without(all, {14, 15})},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "model " << k.model << " noAux " << k.noAux);
        EXPECT_EQ(LastOutputOf(k.model), k.outputs - 1);
        const auto state = ById(ModelLayout(k.model, k.noAux));
        auto expect = [&](int id, bool shown) {
            auto it = state.find(id);
            ASSERT_NE(it, state.end()) << id;
            EXPECT_EQ(it->second.shown, shown) << id;
            EXPECT_EQ(it->second.enabled, shown) << id;
        };
        for (int id : g_bridgeButtonId) expect(id, false);
        for (int c = 0; c < kChannels; ++c) {
            const bool present = c < k.outputs;
            for (const int* t : {g_linkButtonId, g_channelButtonId, g_phaseButtonId, g_muteButtonId, g_curveButtonId,
                                 g_chGainSliderId, g_delayEditId, g_gainEditId, g_delayUnitButtonId})
                expect(t[c], present);
            for (int s = 0; s < 3; ++s) expect(g_gainScaleLabelId[c][s], present);
            expect(g_delayLabelId[c], c == 0);
            for (int bit = 0; bit < kInputs; ++bit) {
                expect(g_routeButtonId[c][bit], present && k.inputs.count(bit) != 0);
                expect(g_routeLabelId[c][bit], c == 0 && k.inputs.count(bit) != 0);
            }
        }
    }
    // A code outside 1..8 only hides and disables the bridge buttons.
    for (int model : {0, 9, 255}) {
        const auto v = ModelLayout(model, false);
        EXPECT_EQ(v.size(), std::size(g_bridgeButtonId));
        EXPECT_EQ(LastOutputOf(model), -1);
    }
}

TEST(ModelLayout, OneCaptionFunctionForLayoutAndSource)
{
    struct Case {
        int model, source, bit, string;
    } cases[] = {
        // clang-format off
        {7, 1, 0, IDS_INPUT_RADIO_L}, {7, 1, 1, IDS_INPUT_RADIO_R}, {7, 1, 6, IDS_INPUT_AUX_L},
        {7, 1, 7, IDS_INPUT_AUX_R},   {7, 3, 10, IDS_INPUT_USB_L},  {7, 3, 11, IDS_INPUT_USB_R},
        {7, 9, 10, IDS_INPUT_USB_L},  {4, 9, 10, IDS_INPUT_USB_L},  {4, 9, 11, IDS_INPUT_USB_R},
        {4, 3, 10, IDS_INPUT_BT_L},   {4, 1, 11, IDS_INPUT_BT_R},   {4, 9, 0, IDS_INPUT_HI1},
        {8, 1, 16, IDS_INPUT_HI9},    {8, 1, 17, IDS_INPUT_HI10},   {2, 2, 14, IDS_INPUT_AUX3},
    };
    // clang-format on
    for (const Case& k : cases)
        EXPECT_EQ(InputCaptionString(k.model, k.source, k.bit), k.string) << k.model << " " << k.source << " " << k.bit;
}

class ModelLayoutWindowTest : public MainWindowTest {};

// The state of every governed control after a layout.
std::vector<std::pair<bool, bool>> WindowState(CTarvelDlg& dlg)
{
    std::vector<std::pair<bool, bool>> out;
    for (const LayoutState& s : ModelLayout(1, false)) {
        CWnd* item = dlg.GetDlgItem(s.id);
        out.emplace_back(item->IsWindowVisible() != FALSE, item->IsWindowEnabled() != FALSE);
    }
    return out;
}

TEST_F(ModelLayoutWindowTest, EachLayoutDependsOnlyOnItsModel)
{
    for (int& flag : {std::ref(g_btlPair12), std::ref(g_btlPair34), std::ref(g_btlPair56), std::ref(g_btlPair78),
                      std::ref(g_btlPair910), std::ref(g_btlPair1112)})
        flag = 1;
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            // FillCombos cleared all six pair flags.
            for (int flag : {g_btlPair12, g_btlPair34, g_btlPair56, g_btlPair78, g_btlPair910, g_btlPair1112})
                EXPECT_EQ(flag, 0);
            std::map<int, std::vector<std::pair<bool, bool>>> alone;
            for (int model = 1; model <= 8; ++model) {
                g_deviceModel = model;
                dlg.RelayoutAll();
                dlg.RelayoutAll();
                alone[model] = WindowState(dlg);
            }
            for (int before = 1; before <= 8; ++before) {
                for (int model = 1; model <= 8; ++model) {
                    g_deviceModel = before;
                    dlg.RelayoutAll();
                    g_deviceModel = model;
                    dlg.RelayoutAll();
                    EXPECT_EQ(WindowState(dlg), alone[model]) << model << " after " << before;
                }
            }
            // 12 outputs after 8: every strip of CH9..CH12 back.
            g_deviceModel = 5;
            dlg.RelayoutAll();
            g_deviceModel = 2;
            dlg.RelayoutAll();
            for (int c = 8; c < kChannels; ++c) {
                EXPECT_TRUE(dlg.GetDlgItem(g_channelButtonId[c])->IsWindowVisible());
                EXPECT_TRUE(dlg.GetDlgItem(g_delayEditId[c])->IsWindowEnabled());
            }
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

TEST_F(ModelLayoutWindowTest, SelectionAndCurvesFollowTheModelAndCaptionsTheSource)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            g_deviceModel = 8;
            dlg.RelayoutAll();
            g_selectedChannel = 11;
            for (int c : {10, 11})
                if (!((dlg.Spectrum().GetVisibleChannels() >> c) & 1)) dlg.Spectrum().ToggleChannelVisible(c);
            g_deviceModel = 3;
            dlg.RelayoutAll();
            EXPECT_EQ(g_selectedChannel, 0);
            EXPECT_EQ(dlg.Spectrum().GetVisibleChannels() & (3 << 10), 0);
            EXPECT_FALSE(dlg.GetDlgItem(g_channelButtonId[11])->IsWindowVisible());

            // Model 7 keeps "USB-L"/"USB-R" when the source turns to Bluetooth.
            g_deviceModel = 7;
            dlg.RelayoutAll();
            EXPECT_EQ(dlg.GetDlgItem(g_routeLabelId[0][10])->GetWindowTextString(), L"USB-L");
            g_lastInputSource = 1;
            g_inputSource = 3;
            dlg.RepaintSourceLabels();
            EXPECT_EQ(dlg.GetDlgItem(g_routeLabelId[0][10])->GetWindowTextString(), L"USB-L");
            EXPECT_EQ(dlg.GetDlgItem(g_routeLabelId[0][11])->GetWindowTextString(), L"USB-R");
            // Another model takes the Bluetooth captions.
            g_deviceModel = 4;
            dlg.RelayoutAll();
            EXPECT_EQ(dlg.GetDlgItem(g_routeLabelId[0][10])->GetWindowTextString(), LoadResString(IDS_INPUT_BT_L));
            EXPECT_EQ(dlg.GetDlgItem(g_routeLabelId[0][0])->GetWindowTextString(), LoadResString(IDS_INPUT_HI1));
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

}  // namespace
