// Window timers: restart, direct delivery, removal, and ticks inside a modal
// loop that the timer's own handler runs.
#include <map>

#include "tests/platform/ui_test.h"

using platform_testing::PumpEvents;
using platform_testing::PumpUntil;
using platform_testing::QueuedPostedCount;
using platform_testing::SimulateTimerExpiry;

namespace {

class TickWnd : public CWnd {
public:
    std::map<UINT_PTR, int> ticks;
    afx_msg void OnTimer(UINT_PTR id) { ++ticks[id]; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TickWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

constexpr UINT kNever = 3600 * 1000;  // an interval no test waits for

class TimersTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ASSERT_TRUE(wnd.Create(nullptr, L"ticks", 0, CRect(0, 0, 10, 10), nullptr, 0));
    }
    TickWnd wnd;
};

TEST_F(TimersTest, SetTimerOnALiveIdRestartsItWithTheNewInterval)
{
    EXPECT_EQ(wnd.SetTimer(1, kNever), 1u);
    EXPECT_EQ(wnd.SetTimer(1, 10), 1u);
    EXPECT_TRUE(PumpUntil([&] { return wnd.ticks[1] >= 2; }));
    EXPECT_TRUE(wnd.KillTimer(1));
    EXPECT_FALSE(wnd.KillTimer(1));  // one timer per id
    EXPECT_FALSE(SimulateTimerExpiry(wnd.m_hWnd, 1));
}

TEST_F(TimersTest, ATickReachesTheHandlerAtOnceWithoutAPostedEvent)
{
    wnd.SetTimer(3, kNever);
    wnd.SetTimer(4, kNever);
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(SimulateTimerExpiry(wnd.m_hWnd, 3));
        ASSERT_TRUE(SimulateTimerExpiry(wnd.m_hWnd, 4));
    }
    EXPECT_EQ(QueuedPostedCount(), 0u);
    EXPECT_EQ(wnd.ticks[3], 5);
    EXPECT_EQ(wnd.ticks[4], 5);
    PumpEvents();
    EXPECT_EQ(wnd.ticks[3], 5);
}

// Kills its own timer inside the tick.
class SelfKillWnd : public CWnd {
public:
    int ticks = 0;
    afx_msg void OnTimer(UINT_PTR id)
    {
        ++ticks;
        KillTimer(id);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfKillWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(TimersTest, ATimerKilledInItsOwnTickTicksNoMore)
{
    SelfKillWnd self;
    ASSERT_TRUE(self.Create(nullptr, L"self", 0, CRect(0, 0, 10, 10), nullptr, 0));
    self.SetTimer(5, 10);
    ASSERT_TRUE(PumpUntil([&] { return self.ticks >= 1; }));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(self.ticks, 1);
    EXPECT_FALSE(SimulateTimerExpiry(self.m_hWnd, 5));
}

TEST_F(TimersTest, ATimerOfADestroyedWindowStops)
{
    wnd.SetTimer(6, 10);
    ASSERT_TRUE(SimulateTimerExpiry(wnd.m_hWnd, 6));
    EXPECT_EQ(wnd.ticks[6], 1);
    const HWND gone = wnd.m_hWnd;
    wnd.DestroyWindow();
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(wnd.ticks[6], 1);
    EXPECT_FALSE(SimulateTimerExpiry(gone, 6));
    EXPECT_EQ(wnd.SetTimer(6, 10), 0u);
}

// The handler of timer 7 runs a modal dialog; the dialog counts its own
// timer, and a later tick of timer 7 (inside the modal loop) ends it.
class PopupDlg : public CDialogEx {
public:
    explicit PopupDlg(const DialogTemplate* t) : CDialogEx(t) {}
    int ownTicks = 0;
    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        SetTimer(1, 10);
        return TRUE;
    }
    afx_msg void OnTimer(UINT_PTR) { ++ownTicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PopupDlg, CDialogEx)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class ModalFromTimerWnd : public CWnd {
public:
    PopupDlg* popup = nullptr;
    int depth = 0;
    int nestedTicks = 0;
    INT_PTR modalResult = 0;
    bool done = false;

    afx_msg void OnTimer(UINT_PTR id)
    {
        if (id != 7) return;
        if (depth > 0) {
            ++nestedTicks;
            if (popup->ownTicks >= 2) popup->EndDialog(IDOK);
            return;
        }
        if (done) return;
        ++depth;
        modalResult = popup->DoModal();
        --depth;
        done = true;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ModalFromTimerWnd, CWnd)
    ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(TimersTest, ATimerKeepsFiringWhileItsHandlerRunsAModalLoop)
{
    const DialogTemplate t = MakeTemplate(9101, {});
    PopupDlg popup(&t);
    ModalFromTimerWnd owner;
    owner.popup = &popup;
    ASSERT_TRUE(owner.Create(nullptr, L"owner", 0, CRect(0, 0, 10, 10), nullptr, 0));
    owner.SetTimer(7, 10);
    ASSERT_TRUE(PumpUntil([&] { return owner.done; }, 10000));
    EXPECT_EQ(owner.modalResult, IDOK);
    EXPECT_GE(owner.nestedTicks, 1);
    EXPECT_GE(popup.ownTicks, 2);
    EXPECT_EQ(popup.m_hWnd, nullptr);  // the popup's window is gone after DoModal
}

}  // namespace
