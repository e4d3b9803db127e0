// The UI thread's queue: posted messages and functions run in arrival order
// (also inside modal loops); sent messages, direct calls on the UI thread;
// window timer ticks.
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/thread.h"
#include "platform/wnd_qt.h"

namespace {

struct PostedItem {
    enum class Kind { Message, Function } kind = Kind::Message;
    HWND hwnd = nullptr;
    UINT msg = 0;
    WPARAM w = 0;
    LPARAM l = 0;
    std::function<void()> fn;
};

const QEvent::Type kPostedWake = static_cast<QEvent::Type>(QEvent::registerEventType());

class Dispatcher;

std::mutex g_mutex;
std::deque<PostedItem> g_posted;
Dispatcher* g_dispatcher = nullptr;
std::atomic<QThread*> g_uiThread{nullptr};

void RunOnePosted();

class Dispatcher : public QObject {
public:
    ~Dispatcher() override
    {
        std::lock_guard lock(g_mutex);
        g_dispatcher = nullptr;
        g_uiThread.store(nullptr);
        g_posted.clear();
    }

protected:
    void customEvent(QEvent* e) override
    {
        if (e->type() == kPostedWake) RunOnePosted();
    }
};

void RunOnePosted()
{
    PostedItem item;
    {
        std::lock_guard lock(g_mutex);
        if (g_posted.empty()) return;
        item = std::move(g_posted.front());
        g_posted.pop_front();
    }
    switch (item.kind) {
    case PostedItem::Kind::Message:
        if (WndCore* core = WndCore::FromHwnd(item.hwnd)) core->Dispatch(item.msg, item.w, item.l);
        break;
    case PostedItem::Kind::Function:
        if (item.fn) item.fn();
        break;
    }
}

bool Enqueue(PostedItem item)
{
    std::lock_guard lock(g_mutex);
    if (!g_dispatcher) return false;
    g_posted.push_back(std::move(item));
    QCoreApplication::postEvent(g_dispatcher, new QEvent(kPostedWake), Qt::NormalEventPriority);
    return true;
}

}  // namespace

bool IsUiThread()
{
    QThread* ui = g_uiThread.load();
    return ui != nullptr && QThread::currentThread() == ui;
}

namespace {

// The ticks whose handlers run now, innermost last (UI thread).
struct RunningTick {
    HWND hwnd;
    UINT_PTR id;
    bool restarted;
};
std::vector<RunningTick> g_runningTicks;
// The dispatcher whose loop passes restart them, while it exists.
QPointer<QAbstractEventDispatcher> g_watchedDispatcher;

// Qt fires no timer again while its handler runs. A loop that processes
// events inside a tick's handler (a modal dialog, a message box) restarts
// the timers of the ticks under way first: a restarted timer has a new
// identity, which that loop fires.
void RestartTimersOfRunningTicks()
{
    for (RunningTick& t : g_runningTicks) {
        if (t.restarted) continue;
        t.restarted = true;
        WndCore* core = WndCore::FromHwnd(t.hwnd);
        if (!core) continue;
        auto it = core->timers.find(t.id);
        if (it != core->timers.end() && it->second.timer) it->second.timer->start();
    }
}

void WatchLoopsInsideTicks()
{
    QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance(QCoreApplication::instance()->thread());
    if (!d || g_watchedDispatcher == d) return;
    // Every pass of an event loop begins with one of the two.
    QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, d, RestartTimersOfRunningTicks, Qt::DirectConnection);
    QObject::connect(d, &QAbstractEventDispatcher::awake, d, RestartTimersOfRunningTicks, Qt::DirectConnection);
    g_watchedDispatcher = d;
}

}  // namespace

void InitUiQueue()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    std::lock_guard lock(g_mutex);
    if (g_dispatcher) return;
    g_uiThread.store(app->thread());
    g_dispatcher = new Dispatcher;
    g_dispatcher->setParent(app);  // freed with the application object
    WatchLoopsInsideTicks();
}

bool PostToUi(std::function<void()> fn)
{
    PostedItem item;
    item.kind = PostedItem::Kind::Function;
    item.fn = std::move(fn);
    return Enqueue(std::move(item));
}

LRESULT SendMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsUiThread()) return 0;
    WndCore* core = WndCore::FromHwnd(hwnd);
    return core ? core->Dispatch(message, wParam, lParam) : 0;
}

BOOL PostMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsWindow(hwnd)) return FALSE;
    PostedItem item;
    item.hwnd = hwnd;
    item.msg = message;
    item.w = wParam;
    item.l = lParam;
    return Enqueue(std::move(item)) ? TRUE : FALSE;
}

void TimerExpired(HWND hwnd, UINT_PTR id)
{
    WndCore* core = WndCore::FromHwnd(hwnd);
    if (!core) return;
    auto it = core->timers.find(id);
    if (it == core->timers.end()) return;
    // The tick goes to the handler straight away; the timer keeps its
    // schedule unless a loop runs inside the handler.
    g_runningTicks.push_back({hwnd, id, false});
    struct Done {
        ~Done() { g_runningTicks.pop_back(); }
    } done;
    if (!g_watchedDispatcher) RestartTimersOfRunningTicks();
    if (TIMERPROC proc = it->second.proc) {
        proc(hwnd, WM_TIMER, id, 0);
        return;
    }
    core->Dispatch(WM_TIMER, id, 0);
}

size_t PostedQueueLength()
{
    std::lock_guard lock(g_mutex);
    return g_posted.size();
}
