// The transfer progress: shows g_progressPermille, ends by itself at 1000
// (written from another thread, as the link does) and cannot be closed.
#include <thread>

#include "dialogs/loadpercent.h"
#include "res/resource.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;
using platform_testing::PressKey;
using platform_testing::PumpUntil;

class LoadPercentTest : public DialogTest {};

TEST_F(LoadPercentTest, AlreadyCompleteClosesAtTheFirstTick)
{
    for (uint64_t done : {uint64_t{1000}, uint64_t{1001}, uint64_t{1} << 32 | 5}) {
        SCOPED_TRACE(done);
        g_progressPermille = done;
        CLoadPercent dlg;
        EXPECT_EQ(RunModal(dlg), 1);
    }
}

TEST_F(LoadPercentTest, ShowsTheProgressAndEndsWhenALinkThreadCompletesIt)
{
    CLoadPercent dlg;
    int shown = -1;
    bool openAtHalf = false;
    const INT_PTR result = RunModal(dlg, [&] {
        int lower = 0, upper = 0;
        dlg.m_progress.GetRange(lower, upper);
        EXPECT_EQ(lower, 1);
        EXPECT_EQ(upper, 1000);
        g_progressPermille = 500;
        PumpUntil([&] { return dlg.m_progress.GetPos() == 500; });
        shown = dlg.m_progress.GetPos();
        openAtHalf = dlg.m_hWnd != nullptr && dlg.IsWindowVisible();
        std::thread([] { g_progressPermille = 1000; }).join();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(shown, 500);
    EXPECT_TRUE(openAtHalf);
}

TEST_F(LoadPercentTest, EnterEscapeAndCloseLeaveItOpen)
{
    CLoadPercent dlg;
    bool stillOpen = false;
    const INT_PTR result = RunModal(dlg, [&] {
        CWnd* cancel = dlg.GetDlgItem(IDCANCEL);
        ASSERT_NE(cancel, nullptr);
        EXPECT_FALSE(cancel->IsWindowEnabled());
        PressKey(dlg.m_hWnd, VK_RETURN);
        PressKey(dlg.m_hWnd, VK_ESCAPE);
        dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE);
        dlg.SendMessage(WM_CLOSE);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED));
        PumpUntil([] { return false; }, 120);  // two ticks
        stillOpen = dlg.m_hWnd != nullptr && dlg.IsWindowVisible();
        g_progressPermille = 1000;
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(main.received.empty());
}

TEST_F(LoadPercentTest, TextsInBothLanguages)
{
    struct Row {
        uint16_t language;
        const wchar_t* cancel;
    };
    for (const Row& row : {Row{LANG_ENGLISH_US, L"Cancel"}, Row{LANG_CHINESE_PRC, L"取消"}}) {
        g_languageId = row.language;
        g_progressPermille = 0;
        CLoadPercent dlg;
        std::wstring cancel;
        RunModal(dlg, [&] {
            cancel = dlg.GetDlgItem(IDCANCEL)->GetWindowTextString();
            g_progressPermille = 1000;
        });
        EXPECT_EQ(cancel, row.cancel);
    }
}

}  // namespace
