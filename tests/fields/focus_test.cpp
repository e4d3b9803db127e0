// Where the focus goes: the band grid (Left and Right along a row with the
// 31 <-> 1 wrap, Page Up and Page Down around a band's column), the cut
// frequency pair, the delay and gain fields' keys to the main window's
// rings; no hidden field takes the focus; clicks that select the whole text; and the commit of a field that
// loses the focus, which runs before whatever took the focus acts.
#include <string>

#include "tests/fields/fields_fixture.h"

using namespace fields_testing;

namespace {

class FocusTest : public FieldsTest {};

EditBandField& Band(MainFieldsDlg& d, BandRowKind row, int band) { return d.grid.Field(row, band); }

constexpr BandRowKind kF = BandRowKind::Freq;
constexpr BandRowKind kQ = BandRowKind::Q;
constexpr BandRowKind kG = BandRowKind::Gain;

TEST_F(FocusTest, BandKeysMoveAlongTheRowsAndAroundTheColumns)
{
    struct Case {
        BandRowKind row;
        int band;  // 1..31
        UINT key;
        BandRowKind toRow;
        int toBand;
    } cases[] = {
        // clang-format off
        {kF, 1, VK_LEFT, kF, 31}, {kF, 31, VK_RIGHT, kF, 1},  {kF, 5, VK_RIGHT, kF, 6},  {kF, 5, VK_NEXT, kQ, 5},
        {kF, 5, VK_PRIOR, kG, 5}, {kQ, 1, VK_LEFT, kQ, 31},   {kQ, 31, VK_RIGHT, kQ, 1}, {kQ, 7, VK_PRIOR, kF, 7},
        {kQ, 7, VK_NEXT, kG, 7},  {kQ, 30, VK_RIGHT, kQ, 31}, {kG, 1, VK_LEFT, kG, 31},  {kG, 31, VK_RIGHT, kG, 1},
        {kG, 7, VK_PRIOR, kQ, 7}, {kG, 7, VK_NEXT, kF, 7},    {kG, 12, VK_LEFT, kG, 11},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << "row " << static_cast<int>(c.row) << " band " << c.band << " key " << c.key);
            EditBandField& from = Band(d, c.row, c.band - 1);
            EditBandField& to = Band(d, c.toRow, c.toBand - 1);
            ClickInto(from);
            d.Clear();
            Press(from, c.key);
            EXPECT_TRUE(HasFocus(to));
            EXPECT_TRUE(WholeTextSelected(to));
            const std::vector<Event> focusMoves = {Command(from.GetDlgCtrlID(), EN_KILLFOCUS),
                                                   Command(to.GetDlgCtrlID(), EN_SETFOCUS)};
            EXPECT_EQ(d.events, focusMoves);
        }
    });
}

TEST_F(FocusTest, RightWalksEachRowThroughAllBandsAndBack)
{
    RunMain([&](MainFieldsDlg& d) {
        for (const BandRowKind row : {kF, kQ, kG}) {
            ClickInto(Band(d, row, 0));
            for (int k = 1; k <= kBands; ++k) {
                CWnd* focus = CWnd::GetFocus();
                ASSERT_NE(focus, nullptr);
                Press(*focus, VK_RIGHT);
                ASSERT_TRUE(HasFocus(Band(d, row, k % kBands))) << "step " << k;
            }
        }
        // Page Down runs the column downwards and back to the top.
        for (int k = 0; k < 3; ++k) Press(*CWnd::GetFocus(), VK_NEXT);
        EXPECT_TRUE(HasFocus(Band(d, kG, 0)));
    });
}

TEST_F(FocusTest, LeavingABandFieldByKeyCommitsWhatWasTypedBeforeTheNextFieldTakesTheFocus)
{
    RunMain([&](MainFieldsDlg& d) {
        TypeInto(d.gain[4], L"2");
        Press(d.gain[4], VK_RIGHT);
        EXPECT_EQ(g_eqGain[0][4], 130);
        EXPECT_EQ(d.sliders[4].GetPos(), 130);
        EXPECT_EQ(Text(d.gain[4]), L"2.0");
        EXPECT_TRUE(HasFocus(d.gain[5]));

        TypeInto(d.fre[2], L"abc");
        Press(d.fre[2], VK_PRIOR);
        EXPECT_EQ(Text(d.fre[2]), std::to_wstring(g_eqFreq[0][2])) << "a rejected text gives way at once";
        EXPECT_TRUE(HasFocus(d.gain[2]));
    });
}

TEST_F(FocusTest, ADisabledTargetLeavesTheFocusWhereItWas)
{
    RunMain([&](MainFieldsDlg& d) {
        for (int b = 0; b < kBands; ++b) {
            d.fre[b].EnableWindow(FALSE);
            d.q[b].EnableWindow(FALSE);
        }
        ClickInto(d.gain[6]);
        Press(d.gain[6], VK_NEXT);
        EXPECT_TRUE(HasFocus(d.gain[6]));
        Press(d.gain[6], VK_PRIOR);
        EXPECT_TRUE(HasFocus(d.gain[6]));
        Press(d.gain[6], VK_RIGHT);
        EXPECT_TRUE(HasFocus(d.gain[7]));
    });
}

TEST_F(FocusTest, TheCutFieldsHandTheFocusToEachOtherOnly)
{
    struct Case {
        bool fromLow;
        UINT key;
        bool toLow;
    } cases[] = {
        // clang-format off
        {true, VK_LEFT, false},  {true, VK_RIGHT, false}, {false, VK_LEFT, true},
        {false, VK_RIGHT, true}, {true, VK_NEXT, true},   {false, VK_PRIOR, false},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "from " << (c.fromLow ? "low" : "high") << " key " << c.key);
            CEdit& from = c.fromLow ? static_cast<CEdit&>(d.hp) : d.lp;
            CEdit& to = c.toLow ? static_cast<CEdit&>(d.hp) : d.lp;
            ClickInto(from);
            Press(from, c.key);
            EXPECT_TRUE(HasFocus(to));
            EXPECT_TRUE(WholeTextSelected(to));
        }
    });
}

// Left and Right in a delay or gain field go to the main window, whose
// rings of the delay and the gain fields pass over the strips the layout
// hides; the target takes the focus and selects its text.
TEST_F(FocusTest, ChannelFieldsHandLeftAndRightToTheMainWindowsRings)
{
    struct Case {
        const char* name;
        std::vector<int> hidden;
        int from;
        UINT key;
        int to;
    } cases[] = {
        // clang-format off
        {"next", {}, 0, VK_RIGHT, 1},
        {"wrap forwards", {}, 11, VK_RIGHT, 0},
        {"wrap backwards", {}, 0, VK_LEFT, 11},
        {"eight outputs: CH9..CH12 hidden", {8, 9, 10, 11}, 7, VK_RIGHT, 0},
        {"eight outputs backwards", {8, 9, 10, 11}, 0, VK_LEFT, 7},
        {"ten outputs", {10, 11}, 9, VK_RIGHT, 0},
        {"a gap in the middle", {6, 7}, 5, VK_RIGHT, 8},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const bool delay : {true, false}) {
            for (const Case& c : cases) {
                SCOPED_TRACE(testing::Message() << (delay ? "delay " : "gain ") << c.name);
                auto field = [&](int ch) -> CEdit& {
                    return delay ? static_cast<CEdit&>(d.DelayField(ch)) : d.GainField(ch);
                };
                for (int ch = 0; ch < kChannels; ++ch) field(ch).ShowWindow(SW_SHOW);
                for (int ch : c.hidden) field(ch).ShowWindow(SW_HIDE);
                ClickInto(field(c.from));
                d.Clear();
                Press(field(c.from), c.key);
                EXPECT_TRUE(HasFocus(field(c.to)));
                EXPECT_TRUE(WholeTextSelected(field(c.to)));
                // The main window commits a gain field that loses the focus.
                std::vector<Event> want = {{WM_EDIT_NAVIGATE, c.key, 0}};
                if (!delay) want.push_back({WM_EDIT_COMMIT, static_cast<WPARAM>(c.from), 0});
                EXPECT_EQ(d.Messages(), want);
            }
            for (int ch = 0; ch < kChannels; ++ch) {
                d.DelayField(ch).ShowWindow(SW_SHOW);
                d.GainField(ch).ShowWindow(SW_SHOW);
            }
        }
        // A gain field of the main window has no Page keys.
        ClickInto(d.GainField(3));
        d.Clear();
        Press(d.GainField(3), VK_NEXT);
        EXPECT_EQ(d.Messages(), std::vector<Event>{});
        EXPECT_TRUE(HasFocus(d.GainField(3)));
    });
}

TEST_F(FocusTest, AHiddenFieldNeverTakesTheFocus)
{
    RunMain([&](MainFieldsDlg& d) {
        CEdit* fields[] = {&d.DelayField(8), &d.GainField(8), &d.fre[3]};
        for (CEdit* f : fields) {
            SCOPED_TRACE(f->GetDlgCtrlID());
            ClickInto(d.hp);
            f->ShowWindow(SW_HIDE);
            f->SendMessage(WM_EDIT_NAVIGATE, 0, 0);
            EXPECT_TRUE(HasFocus(d.hp));
            f->ShowWindow(SW_SHOW);
        }
    });
}

TEST_F(FocusTest, EveryClickSelectsTheWholeTextAndNoDragChangesIt)
{
    RunMain([&](MainFieldsDlg& d) {
        CEdit* fields[] = {&d.fre[3], &d.q[3], &d.gain[3], &d.hp, &d.DelayField(4), &d.GainField(4), &d.master};
        for (CEdit* f : fields) {
            SCOPED_TRACE(f->GetDlgCtrlID());
            f->SetWindowText(L"12345");
            ClickAt(f->m_hWnd, 3, 3);
            EXPECT_TRUE(HasFocus(*f));
            EXPECT_TRUE(WholeTextSelected(*f));
            f->SetSel(1, 2);
            ClickAt(f->m_hWnd, 4, 3);  // a second click into the focused field
            EXPECT_TRUE(WholeTextSelected(*f));
            platform_testing::MousePressAt(f->m_hWnd, 2, 3);
            platform_testing::MouseMoveTo(f->m_hWnd, 20, 3);
            platform_testing::MouseReleaseAt(f->m_hWnd, 20, 3);
            EXPECT_TRUE(WholeTextSelected(*f));
        }
    });
}

// The click on a button takes the focus first: the field's commit runs and
// the button's handler sees the committed value, as on the system whose
// order the owner's handlers rely on.
TEST_F(FocusTest, AFieldIsCommittedBeforeTheHandlerOfTheButtonWhoseClickTookTheFocus)
{
    struct Case {
        const char* name;
        std::function<CEdit&(MainFieldsDlg&)> field;
        std::wstring typed;
        std::function<std::string(MainFieldsDlg&)> value;
        std::string want;
    } cases[] = {
        // clang-format off
        {"frequency", [](auto& d) -> CEdit& { return d.fre[8]; }, L"777",
         [](auto&) { return std::to_string(g_eqFreq[0][8]); }, "777"},
        {"Q", [](auto& d) -> CEdit& { return d.q[8]; }, L"2.5", [](auto&) { return std::to_string(g_eqQ[0][8]); },
         std::to_string(2.5)},
        {"gain", [](auto& d) -> CEdit& { return d.gain[8]; }, L"-6",
         [](auto& d) { return std::to_string(g_eqGain[0][8]) + " " + std::to_string(d.sliders[8].GetPos()); },
         "210 210"},
        {"high cut", [](auto& d) -> CEdit& { return d.lp; }, L"9000", [](auto&) { return std::to_string(g_lpFreq[0]); },
         "9000"},
        {"delay", [](auto& d) -> CEdit& { return d.DelayField(3); }, L"1",
         [](auto& d) { return std::to_string(d.DelayField(3).GetValue()); }, "48"},
        {"channel gain", [](auto& d) -> CEdit& { return d.GainField(3); }, L"-20",
         [](auto&) { return std::to_string(g_channelGain[3]); }, "200"},
        {"master read up to its unit", [](auto& d) -> CEdit& { return d.master; }, L"0dB",
         [](auto&) { return std::to_string(g_masterVolume); }, "0"},
        {"master to OFF", [](auto& d) -> CEdit& { return d.master; }, L"off",
         [](auto& d) {
             return std::to_string(g_masterVolume) + " " +
                    (Text(d.MuteButton()) == kMutedCaption ? "muted" : "playing");
         },
         "60 muted"},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ResetModel(d);
            g_masterVolume = 5;
            d.ShowModel();
            CEdit& field = c.field(d);
            TypeInto(field, c.typed);
            d.snapshot = [&] { return c.value(d); };
            d.snapshotsAtClick.clear();
            d.Clear();
            ClickInto(d.Button());
            EXPECT_EQ(d.snapshotsAtClick, std::vector<std::string>{c.want});
            const std::vector<Event> order = {Command(field.GetDlgCtrlID(), EN_KILLFOCUS),
                                              Command(kButtonId, BN_CLICKED)};
            std::vector<Event> seen;
            for (const Event& e : d.events)
                if (e.message == WM_COMMAND) seen.push_back(e);
            EXPECT_EQ(seen, order);
        }
    });
}

TEST_F(FocusTest, LeavingADelayFieldByKeyCommitsWithoutADelayChange)
{
    RunMain([&](MainFieldsDlg& d) {
        TypeInto(d.DelayField(1), L"2");
        d.Clear();
        Press(d.DelayField(1), VK_RIGHT);
        EXPECT_EQ(d.DelayField(1).GetValue(), 96);
        EXPECT_EQ(Text(d.DelayField(1)), L"2.000");
        EXPECT_TRUE(HasFocus(d.DelayField(2)));
        EXPECT_EQ(d.Messages(), (std::vector<Event>{{WM_EDIT_NAVIGATE, VK_RIGHT, 0}}));
    });
}

}  // namespace
