// Message maps, sent and posted messages, work queued from other threads,
// worker threads and their shutdown.
#include <array>
#include <atomic>
#include <future>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "tests/platform/ui_test.h"

using platform_testing::PumpEvents;
using platform_testing::PumpUntil;

namespace {

constexpr UINT WM_PING = WM_USER + 1;
constexpr UINT WM_BASE_ONLY = WM_USER + 2;
constexpr UINT WM_UNMAPPED = WM_USER + 3;
constexpr UINT WM_ORDER = WM_USER + 4;

class BaseWnd : public CWnd {
public:
    std::vector<std::string> log;

    afx_msg LRESULT OnPing(WPARAM, LPARAM)
    {
        log.push_back("base ping");
        return -1;
    }
    afx_msg LRESULT OnBaseOnly(WPARAM w, LPARAM l)
    {
        log.push_back("base only");
        return static_cast<LRESULT>(w) * 10 + l;
    }
    afx_msg void OnClicked100() { log.push_back("base clicked 100"); }
    afx_msg void OnClicked120() { log.push_back("base clicked 120"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(BaseWnd, CWnd)
    ON_MESSAGE(WM_PING, &BaseWnd::OnPing)
    ON_MESSAGE(WM_BASE_ONLY, &BaseWnd::OnBaseOnly)
    ON_BN_CLICKED(100, &BaseWnd::OnClicked100)
    ON_BN_CLICKED(120, &BaseWnd::OnClicked120)
END_MESSAGE_MAP()

class DerivedWnd : public BaseWnd {
public:
    std::vector<UINT> order;
    std::thread::id pingThread;

    afx_msg LRESULT OnPingDerived(WPARAM w, LPARAM l)
    {
        pingThread = std::this_thread::get_id();
        log.push_back("derived ping");
        return 1000 + static_cast<LRESULT>(w) * 10 + l;
    }
    afx_msg void OnClickedRange(UINT id) { log.push_back("range " + std::to_string(id)); }
    afx_msg void OnKillFocus200() { log.push_back("killfocus 200"); }
    afx_msg void OnTimer(UINT_PTR id) { log.push_back("timer " + std::to_string(id)); }
    afx_msg LRESULT OnOrder(WPARAM w, LPARAM)
    {
        order.push_back(static_cast<UINT>(w));
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedWnd, BaseWnd)
    ON_MESSAGE(WM_PING, &DerivedWnd::OnPingDerived)
    ON_CONTROL_RANGE(BN_CLICKED, 100, 110, &DerivedWnd::OnClickedRange)
    ON_EN_KILLFOCUS(200, &DerivedWnd::OnKillFocus200)
    ON_WM_TIMER()
    ON_MESSAGE(WM_ORDER, &DerivedWnd::OnOrder)
END_MESSAGE_MAP()

// Families of controls with scattered ids, bound as tables.
const int g_testRowIds[2][3] = {{1311, 1536, 1748}, {1201, 105, 1312}};
constexpr std::array<int, 3> kTestEditIds = {3005, 3001, 3003};

class TableWnd : public DerivedWnd {
public:
    static const msgmap::Map* ThisMap() { return GetThisMessageMap(); }
    afx_msg void OnClickedRow(int index) { log.push_back("row " + std::to_string(index)); }
    afx_msg void OnKillFocusEdit(int index) { log.push_back("edit " + std::to_string(index)); }
    afx_msg void OnDrawRow(int index, LPDRAWITEMSTRUCT dis)
    {
        log.push_back("draw row " + std::to_string(index) + " id " + std::to_string(dis->CtlID));
    }
    afx_msg void OnDrawItem(int id, LPDRAWITEMSTRUCT) { log.push_back("draw other " + std::to_string(id)); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TableWnd, DerivedWnd)
    ON_CONTROL_TABLE(BN_CLICKED, g_testRowIds, &TableWnd::OnClickedRow)
    ON_CONTROL_TABLE(EN_KILLFOCUS, kTestEditIds, &TableWnd::OnKillFocusEdit)
    ON_CONTROL_TABLE(EN_KILLFOCUS, std::span<const int>(kTestEditIds.data(), 2), &TableWnd::OnClickedRow)
    ON_DRAWITEM_TABLE(g_testRowIds, &TableWnd::OnDrawRow)
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

class MessagesTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ASSERT_TRUE(wnd.Create(nullptr, L"target", 0, CRect(0, 0, 100, 100), nullptr, 0));
    }
    DerivedWnd wnd;
};

TEST_F(MessagesTest, MapDispatchesThroughTheClassChain)
{
    struct Case {
        UINT msg;
        WPARAM w;
        LPARAM l;
        LRESULT result;
        const char* logged;  // nullptr: no handler runs
    } cases[] = {
        // clang-format off
        {WM_PING, 2, 3, 1023, "derived ping"},  // the derived entry hides the base one
        {WM_BASE_ONLY, 4, 2, 42, "base only"},  // falls through to the base map
        {WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), 0, 0, "range 100"},
        {WM_COMMAND, MAKEWPARAM(110, BN_CLICKED), 0, 0, "range 110"},
        {WM_COMMAND, MAKEWPARAM(120, BN_CLICKED), 0, 0, "base clicked 120"},
        {WM_COMMAND, MAKEWPARAM(111, BN_CLICKED), 0, 0, nullptr},
        {WM_COMMAND, MAKEWPARAM(105, EN_KILLFOCUS), 0, 0, nullptr},  // code differs
        {WM_COMMAND, MAKEWPARAM(200, EN_KILLFOCUS), 0, 0, "killfocus 200"},
        {WM_COMMAND, MAKEWPARAM(200, EN_SETFOCUS), 0, 0, nullptr},
        {WM_TIMER, 5, 0, 0, "timer 5"},
        {WM_UNMAPPED, 1, 1, 0, nullptr},
    };
    // clang-format on
    for (const Case& c : cases) {
        wnd.log.clear();
        SCOPED_TRACE(testing::Message() << "msg " << c.msg << " w " << c.w);
        EXPECT_EQ(wnd.SendMessage(c.msg, c.w, c.l), c.result);
        if (c.logged) EXPECT_EQ(wnd.log, std::vector<std::string>{c.logged});
        else EXPECT_TRUE(wnd.log.empty());
    }
}

TEST_F(MessagesTest, TableEntriesPassTheIndexOfTheControlInTheirTable)
{
    TableWnd table;
    ASSERT_TRUE(table.Create(nullptr, L"tables", 0, CRect(0, 0, 100, 100), nullptr, 0));
    struct Case {
        UINT msg;
        WPARAM w;
        const char* logged;  // nullptr: no handler runs
    } cases[] = {
        // clang-format off
        {WM_COMMAND, MAKEWPARAM(1311, BN_CLICKED), "row 0"},
        {WM_COMMAND, MAKEWPARAM(1748, BN_CLICKED), "row 2"},
        {WM_COMMAND, MAKEWPARAM(1201, BN_CLICKED), "row 3"},  // tables of rows count row by row
        {WM_COMMAND, MAKEWPARAM(1312, BN_CLICKED), "row 5"},
        {WM_COMMAND, MAKEWPARAM(1312, STN_DBLCLK), nullptr},   // another code
        {WM_COMMAND, MAKEWPARAM(1500, BN_CLICKED), nullptr},   // between ids of the table
        {WM_COMMAND, MAKEWPARAM(105, BN_CLICKED), "row 4"},  // the derived table hides the base's range
        {WM_COMMAND, MAKEWPARAM(106, BN_CLICKED), "range 106"},  // the base map still answers
        {WM_COMMAND, MAKEWPARAM(3001, EN_KILLFOCUS), "edit 1"},  // the first matching entry wins
        {WM_COMMAND, MAKEWPARAM(3003, EN_KILLFOCUS), "edit 2"},
        {WM_COMMAND, MAKEWPARAM(3002, EN_KILLFOCUS), nullptr},
        {WM_COMMAND, MAKEWPARAM(200, EN_KILLFOCUS), "killfocus 200"},
        {WM_DRAWITEM, 1536, "draw row 1 id 1536"},
        {WM_DRAWITEM, 3001, "draw other 3001"},
    };
    // clang-format on
    // Twice: the second round is answered by the remembered lookups.
    for (int round = 0; round < 2; ++round) {
        for (const Case& c : cases) {
            table.log.clear();
            SCOPED_TRACE(testing::Message() << "round " << round << " msg " << c.msg << " w " << c.w);
            DRAWITEMSTRUCT dis;
            dis.CtlID = static_cast<UINT>(c.w);
            const LPARAM l = c.msg == WM_DRAWITEM ? reinterpret_cast<intptr_t>(&dis) : 0;
            table.SendMessage(c.msg, c.w, l);
            if (c.logged) EXPECT_EQ(table.log, std::vector<std::string>{c.logged});
            else EXPECT_TRUE(table.log.empty());
        }
    }
    // The base class's map keeps its own answers for the same messages.
    wnd.log.clear();
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(1311, BN_CLICKED), 0);
    EXPECT_TRUE(wnd.log.empty());
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), 0);
    EXPECT_EQ(wnd.log, std::vector<std::string>{"range 100"});
}

TEST_F(MessagesTest, RememberedLookupsAgreeWithAWalkOverTheMaps)
{
    const auto same = [](const msgmap::Match& a, const msgmap::Match& b) {
        return a.entry == b.entry && a.index == b.index;
    };
    TableWnd table;
    ASSERT_TRUE(table.Create(nullptr, L"tables", 0, CRect(0, 0, 100, 100), nullptr, 0));
    // Every id of the families and the ids around them, for every code the
    // maps use, as commands and as owner draw.
    std::vector<UINT> ids = {0, 1, 100, 105, 110, 111, 120, 200, 3000, 3001, 3002, 3003, 3005, 3006};
    for (const auto& row : g_testRowIds) {
        for (int id : row) {
            for (int d : {-1, 0, 1}) ids.push_back(static_cast<UINT>(id + d));
        }
    }
    int found = 0;
    for (int pass = 0; pass < 2; ++pass) {
        for (UINT id : ids) {
            for (UINT code : {BN_CLICKED, STN_DBLCLK, EN_KILLFOCUS, EN_SETFOCUS}) {
                const WPARAM w = MAKEWPARAM(id, code);
                const auto expected = msgmap::Scan(TableWnd::ThisMap(), WM_COMMAND, w);
                EXPECT_TRUE(same(msgmap::Find(TableWnd::ThisMap(), WM_COMMAND, w), expected)) << id << " " << code;
                found += expected ? 1 : 0;
            }
            const auto expected = msgmap::Scan(TableWnd::ThisMap(), WM_DRAWITEM, id);
            EXPECT_TRUE(same(msgmap::Find(TableWnd::ThisMap(), WM_DRAWITEM, id), expected)) << id;
        }
    }
    EXPECT_GT(found, 0);
}

TEST_F(MessagesTest, PostedMessagesArriveInOrderAfterDirectSends)
{
    for (UINT i = 0; i < 5; ++i) wnd.PostMessage(WM_ORDER, i);
    wnd.SendMessage(WM_ORDER, 99);  // direct: runs before anything posted
    std::thread worker([h = wnd.m_hWnd] {
        for (UINT i = 5; i < 200; ++i) ::PostMessage(h, WM_ORDER, i);
    });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return wnd.order.size() == 201; }));
    std::vector<UINT> expected{99};
    for (UINT i = 0; i < 200; ++i) expected.push_back(i);
    EXPECT_EQ(wnd.order, expected);
}

TEST_F(MessagesTest, MessagesToAGoneWindowAreRefusedOrDropped)
{
    const HWND h = wnd.m_hWnd;
    EXPECT_TRUE(::PostMessage(h, WM_ORDER, 1));
    wnd.DestroyWindow();
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    PumpEvents();
    EXPECT_TRUE(wnd.order.empty());
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(::PostMessage(h, WM_ORDER, 2));
    LRESULT fromWorker = -5;
    std::thread([&] { fromWorker = ::SendMessage(h, WM_PING, 1, 1); }).join();
    EXPECT_EQ(fromWorker, 0);
}

// A dialog whose modal loop runs what a worker queues with PostToUi while
// the worker waits for the answer, as the link's UiThreadPort does.
class PostDuringModalDlg : public CDialogEx {
public:
    explicit PostDuringModalDlg(const DialogTemplate* t) : CDialogEx(t) {}
    std::atomic<int> workerResult{-5};
    std::thread::id ranOn;
    std::thread worker;

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        worker = std::thread([this] {
            std::promise<int> answer;
            std::future<int> result = answer.get_future();
            PostToUi([this, &answer] {
                ranOn = std::this_thread::get_id();
                EndDialog(77);
                answer.set_value(42);
            });
            workerResult = result.get();
        });
        return TRUE;
    }
};

TEST_F(MessagesTest, WorkFromAWorkerRunsOnTheUiThreadInsideAModalLoop)
{
    const DialogTemplate t = MakeTemplate(9001, {});
    PostDuringModalDlg dlg(&t);
    EXPECT_EQ(dlg.DoModal(), 77);
    dlg.worker.join();
    EXPECT_EQ(dlg.workerResult.load(), 42);
    EXPECT_EQ(dlg.ranOn, std::this_thread::get_id());
}

TEST_F(MessagesTest, SendFromAnotherThreadRunsNothing)
{
    LRESULT fromWorker = -5;
    std::thread([&, h = wnd.m_hWnd] { fromWorker = ::SendMessage(h, WM_PING, 1, 1); }).join();
    EXPECT_EQ(fromWorker, 0);
    PumpEvents();
    EXPECT_TRUE(wnd.log.empty());
    EXPECT_EQ(wnd.SendMessage(WM_PING, 1, 1), 1011);  // the UI thread's own sends are direct calls
}

TEST_F(MessagesTest, ShutdownStopsAndJoinsEveryWorker)
{
    WorkerThread a, b;
    const auto waitForStop = [](const StopToken& stop) {
        while (stop.SleepFor(1000)) {}
    };
    ASSERT_TRUE(a.Start(waitForStop, "a"));
    ASSERT_TRUE(b.Start(waitForStop, "b"));
    ShutdownPlatform();
    EXPECT_FALSE(a.Running());
    EXPECT_FALSE(b.Running());
    EXPECT_FALSE(a.Joinable());
    EXPECT_FALSE(b.Joinable());
}

TEST_F(MessagesTest, WorkerStopsWhenAsked)
{
    std::atomic<int> loops{0};
    WorkerThread t;
    ASSERT_TRUE(t.Start([&](const StopToken& stop) {
        while (!stop.StopRequested()) {
            ++loops;
            stop.SleepFor(1);
        }
    }));
    EXPECT_FALSE(t.Start([](const StopToken&) {}));  // one body at a time
    while (loops.load() == 0) std::this_thread::yield();
    t.RequestStop();
    t.Join();
    EXPECT_FALSE(t.Running());
    EXPECT_TRUE(t.StopRequested());
}

}  // namespace
