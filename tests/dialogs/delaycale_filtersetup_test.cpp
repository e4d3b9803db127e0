// The delay calculator and the crossover setup run modally through keys and
// clicks: the distances and the delays they give, what each sends the main
// window, the commit paths of the cut-frequency fields, and that no text is
// cut.
#include <array>
#include <span>
#include <string>
#include <vector>

#include "dialogs/dialogdelaycale.h"
#include "dialogs/dialogfiltersetup.h"
#include "model/resets.h"
#include "platform/app.h"
#include "platform/fonts.h"
#include "res/resource.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;
using platform_testing::PressKey;

class PopupsTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        for (int c = 0; c < kChannels; ++c) {
            g_hpFreq[c] = 20;
            g_lpFreq[c] = 20000;
            g_hpType[c] = g_lpType[c] = 0;
            g_hpSlope[c] = g_lpSlope[c] = kSlopeOff;
        }
    }
    std::vector<LPARAM> Calculated() const
    {
        std::vector<LPARAM> sent;
        for (const FakeMainWnd::Received& r : main.received)
            if (r.message == WM_DELAY_CALCULATED) sent.push_back(r.lParam);
        return sent;
    }
};

void Type(CWnd* edit, const std::wstring& text)
{
    edit->SetFocus();
    edit->SetWindowText(L"");
    for (wchar_t ch : text) PressKey(edit->m_hWnd, 0, ch);
}

// Every text of the listed controls fits in the font it is drawn in: its
// own, else its template's.
void ExpectTextsFit(CDialog& dlg, std::span<const int> ids, int margin = 0)
{
    const DialogTemplate* t = dlg.GetTemplate();
    ASSERT_NE(t, nullptr);
    CFont templateFont;
    templateFont.CreateFont(-PointsToPixels(t->fontPointSize, GetScreenDpi()), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0,
                            0, t->fontFace.c_str());
    for (int id : ids) {
        CWnd* item = dlg.GetDlgItem(id);
        ASSERT_NE(item, nullptr) << id;
        if (!item->IsWindowVisible()) continue;
        const std::wstring text = item->GetWindowTextString();
        CClientDC dc(item);
        CFont* old = dc.SelectObject(item->GetFont() ? item->GetFont() : &templateFont);
        const CSize size = dc.GetTextExtent(text);
        dc.SelectObject(old);
        CRect r;
        item->GetClientRect(&r);
        EXPECT_LE(size.cx, r.Width() - margin) << id << " dpi " << g_screenDpi;
        EXPECT_LE(size.cy, r.Height() + 2) << id << " dpi " << g_screenDpi;
    }
}

TEST(DelayCalculation, DistancesToDelays)
{
    using D = std::array<int, kDistanceChannels>;
    struct Row {
        const char* what;
        D distance;
        int shown;
        D delay;
    };
    // clang-format off
    const Row rows[] = {
        {"300 cm and 200 cm", {424, 283}, 12, {0, 141, 424, 424, 424, 424, 424, 424, 424, 424, 424, 424}},
        {"all equal", {100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100, 100}, 12, {}},
        {"all zero", {}, 12, {}},
        {"two share the largest", {50, 80, 80, 10}, 12, {30, 0, 0, 70, 80, 80, 80, 80, 80, 80, 80, 80}},
        {"hidden CH9..CH12 at 0 get the full delay", {200, 100}, 8,
         {0, 100, 200, 200, 200, 200, 200, 200, 200, 200, 200, 200}},
        // A distance left in a hidden channel does not delay the shown ones.
        {"hidden CH11 farther", {200, 100, 0, 0, 0, 0, 0, 0, 0, 0, 599, 0}, 10,
         {0, 100, 200, 200, 200, 200, 200, 200, 200, 200, 0, 200}},
    };
    // clang-format on
    for (const Row& r : rows) EXPECT_EQ(CalculateDelays(r.distance, r.shown), r.delay) << r.what;
    EXPECT_EQ(DelayCaleShownChannels(1), 8);
    EXPECT_EQ(DelayCaleShownChannels(7), 10);
    EXPECT_EQ(DelayCaleShownChannels(8), 12);
    EXPECT_EQ(DelayCaleShownChannels(0), 12);
}

TEST_F(PopupsTest, CalculatorTakesDistancesAndSendsTwelveResults)
{
    g_deviceModel = 2;
    const int stored[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 42};
    CDialogDelayCale dlg;
    dlg.SetStoredDistances(stored);
    RunModal(dlg, [&] {
        platform_testing::Activate(dlg.m_hWnd);
        EXPECT_EQ(dlg.DistanceField(11).GetWindowTextString(), L"29.750");
        EXPECT_EQ(dlg.DistanceField(0).GetWindowTextString(), L"0.000");
        // 300 cm, left by a click elsewhere; 200 cm committed with Enter.
        Type(&dlg.DistanceField(0), L"300");
        Type(&dlg.DistanceField(1), L"200");
        PressKey(dlg.DistanceField(1).m_hWnd, VK_RETURN);
        EXPECT_TRUE(dlg.IsWindowVisible());
        Type(&dlg.DistanceField(11), L"");
        Click(&dlg.DistanceField(5));
        Type(&dlg.DistanceField(5), L"abc");
        Click(&dlg.DistanceField(4));
        EXPECT_EQ(dlg.DistanceField(0).GetWindowTextString(), L"300.322");
        EXPECT_EQ(dlg.DistanceField(0).GetValue(), 424);
        EXPECT_EQ(dlg.DistanceField(1).GetValue(), 283);
        EXPECT_EQ(dlg.DistanceField(11).GetWindowTextString(), L"0.000");
        EXPECT_EQ(dlg.DistanceField(5).GetWindowTextString(), L"0.000");
        EXPECT_TRUE(main.received.empty());  // nothing goes before Calculate
        Click(dlg.GetDlgItem(IDC_CALCULATE));
        std::vector<LPARAM> expected = {424 << 16, 283 << 16 | 141};
        for (int i = 2; i < 12; ++i) expected.push_back(424);
        EXPECT_EQ(Calculated(), expected);
        EXPECT_TRUE(dlg.IsWindowVisible());  // it stays open
        // Reset: every field 0 and twelve zero results.
        main.received.clear();
        Click(dlg.GetDlgItem(IDC_RESET_DISTANCES));
        EXPECT_EQ(Calculated(), std::vector<LPARAM>(12, 0));
        for (int i = 0; i < 12; ++i) EXPECT_EQ(dlg.DistanceField(i).GetWindowTextString(), L"0.000") << i;
        main.received.clear();
        PressKey(dlg.DistanceField(0).m_hWnd, VK_ESCAPE);
    });
    EXPECT_TRUE(main.received.empty());  // Escape sends nothing
}

TEST_F(PopupsTest, CalculatorShowsTheModelsChannelsAndLeavesHiddenOnesOutOfTheLargest)
{
    g_deviceModel = 1;
    const int stored[12] = {200, 100, 0, 0, 0, 0, 0, 0, 0, 0, 599, 0};
    CDialogDelayCale dlg;
    dlg.SetStoredDistances(stored);
    RunModal(dlg, [&] {
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(dlg.DistanceField(i).IsWindowVisible(), i < 8) << i;
            EXPECT_EQ(dlg.GetDlgItem(g_distanceLabelId[i])->IsWindowVisible(), i < 8) << i;
        }
        Click(dlg.GetDlgItem(IDC_CALCULATE));
        dlg.EndDialog(IDCANCEL);
    });
    const std::vector<LPARAM> sent = Calculated();
    ASSERT_EQ(sent.size(), 12u);
    EXPECT_EQ(sent[0], 200 << 16);
    EXPECT_EQ(sent[1], 100 << 16 | 100);
    EXPECT_EQ(sent[10], 599 << 16);  // sent, with no delay, and no delay to the others
    EXPECT_EQ(sent[11], 200);
}

TEST_F(PopupsTest, FilterSetupShowsTheChannelAndSendsEachChoice)
{
    g_selectedChannel = 3;
    g_lpType[3] = 1;
    g_lpSlope[3] = 2;
    g_hpFreq[3] = 80;
    CDialogFilterSetup dlg;
    RunModal(dlg, [&] {
        platform_testing::Activate(dlg.m_hWnd);
        EXPECT_EQ(dlg.m_editLowCutFreq.GetWindowTextString(), L"80");
        EXPECT_EQ(dlg.m_editHighCutFreq.GetWindowTextString(), L"20000");
        for (CEdit* field : {static_cast<CEdit*>(&dlg.m_editLowCutFreq), static_cast<CEdit*>(&dlg.m_editHighCutFreq)}) {
            CRect r;
            field->GetClientRect(&r);
            EXPECT_EQ(r.Size(), CSize(ScaleForDpi(70), ScaleForDpi(13)));
        }
        EXPECT_EQ(dlg.m_comboHpType.GetCurSel(), 0);
        EXPECT_EQ(dlg.m_comboHpSlope.GetCurSel(), 8);
        EXPECT_EQ(dlg.m_comboLpType.GetCurSel(), 1);
        EXPECT_EQ(dlg.m_comboLpSlope.GetCurSel(), 2);
        EXPECT_EQ(dlg.m_comboHpSlope.GetCount(), 9);
        EXPECT_TRUE(main.received.empty());  // showing the values sends nothing
        // The user's choices, by keys in each selector.
        struct Choice {
            CMyComboBox* combo;
            UINT key;
            WPARAM which;
            LPARAM index;
        } choices[] = {
            // clang-format off
            {&dlg.m_comboLpType, VK_UP, FILTER_LP_TYPE, 0},   {&dlg.m_comboHpType, VK_DOWN, FILTER_HP_TYPE, 1},
            {&dlg.m_comboHpSlope, VK_HOME, FILTER_HP_SLOPE, 0}, {&dlg.m_comboLpSlope, VK_END, FILTER_LP_SLOPE, 8},
        };
        // clang-format on
        for (const Choice& c : choices) {
            main.received.clear();
            c.combo->SetFocus();
            PressKey(c.combo->m_hWnd, c.key);
            ASSERT_EQ(main.received.size(), 1u) << c.which;
            EXPECT_EQ(main.received[0].message, WM_FILTER_SETUP_CHANGED);
            EXPECT_EQ(main.received[0].wParam, c.which);
            EXPECT_EQ(main.received[0].lParam, c.index);
        }
        // Enter in a selector does nothing.
        main.received.clear();
        PressKey(dlg.m_comboLpSlope.m_hWnd, VK_RETURN);
        EXPECT_TRUE(dlg.IsWindowVisible());
        PressKey(dlg.m_comboLpSlope.m_hWnd, VK_ESCAPE);
    });
    EXPECT_TRUE(main.received.empty());
}

TEST_F(PopupsTest, FilterSetupFrequenciesCommitOnEnterAndOnLeaving)
{
    g_selectedChannel = 2;
    g_btlPair34 = 1;  // CH3 leads CH4: the typed frequency spreads to it
    CDialogFilterSetup dlg;
    RunModal(dlg, [&] {
        platform_testing::Activate(dlg.m_hWnd);
        EditCutFreq& hp = dlg.m_editLowCutFreq;
        EditCutFreq& lp = dlg.m_editHighCutFreq;
        Type(&hp, L"120");
        PressKey(hp.m_hWnd, VK_RETURN);
        EXPECT_EQ(g_hpFreq[2], 120);
        EXPECT_EQ(g_hpFreq[3], 120);
        EXPECT_TRUE(dlg.IsWindowVisible());
        // Right goes to the other field of the dialog, Left back.
        PressKey(hp.m_hWnd, VK_RIGHT);
        EXPECT_EQ(CWnd::GetFocus(), &lp);
        PressKey(lp.m_hWnd, VK_LEFT);
        EXPECT_EQ(CWnd::GetFocus(), &hp);
        // Typed and left: stored; a rejected text gives way to the stored value.
        Type(&lp, L"8000");
        Click(&hp);
        EXPECT_EQ(g_lpFreq[2], 8000);
        Type(&hp, L"abc");
        Click(&lp);
        EXPECT_EQ(g_hpFreq[2], 120);
        EXPECT_EQ(hp.GetWindowTextString(), L"120");
        // Typed and closed with Escape: the focus loss still commits it.
        Type(&lp, L"9000");
        PressKey(lp.m_hWnd, VK_ESCAPE);
    });
    EXPECT_EQ(g_lpFreq[2], 9000);
    EXPECT_EQ(g_lpFreq[3], 9000);
    g_btlPair34 = 0;
}

TEST_F(PopupsTest, NoTextIsCut)
{
    g_screenDpi = GetScreenDpi();
    for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
        g_languageId = language;
        g_deviceModel = 2;
        const int stored[12] = {599, 599, 599, 599, 599, 599, 599, 599, 599, 599, 599, 599};
        CDialogDelayCale calc;
        calc.SetStoredDistances(stored);
        RunModal(calc, [&] {
            ExpectTextsFit(calc, std::array{IDC_DELAY_CALE_TITLE, IDC_UNIT_LABEL});
            ExpectTextsFit(calc, g_distanceLabelId);
            ExpectTextsFit(calc, g_distanceEditId, 4);
            calc.EndDialog(IDCANCEL);
        });
        CDialogFilterSetup filter;
        RunModal(filter, [&] {
            ExpectTextsFit(filter,
                           std::array{IDC_FILTER_HP_TITLE, IDC_FILTER_LP_TITLE, IDC_FILTER_HP_TYPE_LABEL,
                                      IDC_FILTER_HP_FREQ_LABEL, IDC_FILTER_HP_SLOPE_LABEL, IDC_FILTER_LP_TYPE_LABEL,
                                      IDC_FILTER_LP_FREQ_LABEL, IDC_FILTER_LP_SLOPE_LABEL});
            ExpectTextsFit(filter, std::array{IDC_HP_FREQ, IDC_LP_FREQ}, 4);
            filter.EndDialog(IDCANCEL);
        });
    }
}

}  // namespace
