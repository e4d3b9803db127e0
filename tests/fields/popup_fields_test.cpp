// The fields that popups hold: a mixer cell (a gain field with an input
// bit, talking to its dialog), the settings dialog's mix volume field (which
// only forwards), and the delay calculator's distance field (always in
// centimetres, silent, without navigation). Also held keys and the Q's
// text under a decimal-comma locale.
#include <algorithm>
#include <clocale>
#include <string>

#include "tests/fields/fields_fixture.h"

using namespace fields_testing;

namespace {

class PopupFieldsTest : public FieldsTest {};

uint32_t& Cell() { return g_inputMixVolume[kCellChannel][SourceBitToColumn(kCellBit)]; }

const Event kCellStepped{WM_EDIT_STEP, kCellChannel, kCellBit};
const Event kCellCommitted{WM_EDIT_COMMIT, kCellChannel, kCellBit};
const Event kMixCommitted{WM_EDIT_COMMIT, 0, 0};

TEST_F(PopupFieldsTest, AMixerCellStepsItselfAndLeavesTheRestToItsDialog)
{
    struct Case {
        const char* name;
        uint32_t before;
        std::function<void(PopupFieldsDlg&)> act;
        uint32_t after;
        std::wstring text;
        std::vector<Event> messages;
    } cases[] = {
        // clang-format off
        {"down", 0, [](auto& d) { Press(d.cell, VK_DOWN); }, 1, L"-1dB", {kCellStepped}},
        {"down at OFF", 60, [](auto& d) { Press(d.cell, VK_DOWN); }, 60, L"7", {}},
        {"up at 0 dB", 0, [](auto& d) { Press(d.cell, VK_UP); }, 0, L"7", {}},
        {"wheel", 5, [](auto& d) { Wheel(d.cell, 120); }, 4, L"-4dB", {kCellStepped}},
        {"Enter", 5, [](auto& d) { Press(d.cell, VK_RETURN); }, 5, L"-5dB", {kCellCommitted}},
        {"focus lost", 5, [](auto& d) { ClickInto(d.mixVol); }, 5, L"-5dB", {kCellCommitted}},
        {"Left", 5, [](auto& d) { Press(d.cell, VK_LEFT); }, 5, L"7", {{WM_EDIT_NAVIGATE, VK_LEFT, 0}}},
        {"Page Down", 5, [](auto& d) { Press(d.cell, VK_NEXT); }, 5, L"7", {{WM_EDIT_NAVIGATE, VK_NEXT, 0}}},
        {"Page Up", 5, [](auto& d) { Press(d.cell, VK_PRIOR); }, 5, L"7", {{WM_EDIT_NAVIGATE, VK_PRIOR, 0}}},
    };
    // clang-format on
    RunPopup([&](PopupFieldsDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            Cell() = c.before;
            TypeInto(d.cell, L"7");
            d.Clear();
            c.act(d);
            EXPECT_EQ(Cell(), c.after);
            EXPECT_EQ(Text(d.cell), c.text);
            EXPECT_EQ(d.Messages(), c.messages);
        }
    });
}

TEST_F(PopupFieldsTest, TheMixVolumeFieldForwardsStepsAndCommitsToItsDialog)
{
    RunPopup([&](PopupFieldsDlg& d) {
        d.mixVolume = 10;
        ClickInto(d.mixVol);
        d.Clear();
        Press(d.mixVol, VK_UP);
        Press(d.mixVol, VK_DOWN);
        Press(d.mixVol, VK_DOWN);
        Wheel(d.mixVol, 120);
        Wheel(d.mixVol, 240);
        const std::vector<Event> steps = {
            {WM_EDIT_STEP, VK_UP, 0}, {WM_EDIT_STEP, VK_DOWN, 0}, {WM_EDIT_STEP, VK_DOWN, 0}, {WM_EDIT_STEP, VK_UP, 0}};
        EXPECT_EQ(d.Messages(), steps);
        EXPECT_EQ(d.mixVolume, 10);
        EXPECT_EQ(Text(d.mixVol), L"-10dB");

        // One commit for Enter and another when the field then loses the focus.
        TypeInto(d.mixVol, L"-12");
        d.Clear();
        Press(d.mixVol, VK_RETURN);
        EXPECT_EQ(d.mixVolume, 12);
        ClickInto(d.distance);
        EXPECT_EQ(d.Messages(), (std::vector<Event>{kMixCommitted, kMixCommitted}));
        EXPECT_EQ(Text(d.mixVol), L"-12dB");
        EXPECT_TRUE(std::none_of(d.events.begin(), d.events.end(), [](const Event& e) {
            return e == Command(IDOK, BN_CLICKED);
        })) << "Enter does not reach the dialog's default button";
    });
}

TEST_F(PopupFieldsTest, TheDistanceFieldIsAlwaysInCentimetresAndSilent)
{
    RunPopup([&](PopupFieldsDlg& d) {
        g_delayInCm = 0;
        TypeInto(d.distance, L"100");
        d.Clear();
        Press(d.distance, VK_RETURN);
        EXPECT_EQ(d.distance.GetValue(), 142);
        EXPECT_EQ(Text(d.distance), L"100.572");
        Press(d.distance, VK_UP);
        EXPECT_EQ(Text(d.distance), L"101.286");
        Press(d.distance, VK_LEFT);
        Press(d.distance, VK_RIGHT);
        EXPECT_TRUE(HasFocus(d.distance));
        TypeInto(d.distance, L"0.5");
        Press(d.distance, VK_RETURN);
        EXPECT_EQ(d.distance.GetValue(), 1);
        EXPECT_EQ(Text(d.distance), L"0.714");
        EXPECT_EQ(d.Messages(), std::vector<Event>{});
    });
}

// A held key steps once per auto-repeated press, and stops at the limit.
TEST_F(PopupFieldsTest, AHeldKeyStepsPerRepeatAndItsReleaseActsOnce)
{
    RunMain([&](MainFieldsDlg& d) {
        d.DelayField(0).SetValue(596);
        ClickInto(d.DelayField(0));
        d.Clear();
        HoldKey(d.DelayField(0).m_hWnd, VK_UP, 4);
        EXPECT_EQ(d.DelayField(0).GetValue(), 599);
        EXPECT_EQ(d.Messages(), std::vector<Event>(3, Event{WM_DELAY_CHANGED, 0, 0}));

        EXPECT_TRUE(WholeTextSelected(d.DelayField(0)));
    });
}

TEST_F(PopupFieldsTest, TheQTextIgnoresADecimalCommaLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
        GTEST_SKIP() << "no de_DE locale installed";
    RunMain([&](MainFieldsDlg& d) {
        TypeInto(d.q[0], L"2.75");
        Press(d.q[0], VK_RETURN);
        EXPECT_EQ(g_eqQ[0][0], 2.75);
        EXPECT_EQ(Text(d.q[0]), L"2.75");
        Press(d.q[0], VK_UP);
        const std::wstring stepped = Text(d.q[0]);
        EXPECT_EQ(stepped.find(L','), std::wstring::npos);
        TypeInto(d.q[0], L"2,5");
        Press(d.q[0], VK_RETURN);
        EXPECT_EQ(Text(d.q[0]), stepped) << "a comma is no decimal point here";
    });
    std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
