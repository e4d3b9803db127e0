// The registry of window handles and the window cores: lookup, the objects
// that refer to a core, and the dispatch of a message to its owner.
#include <mutex>
#include <unordered_map>

#include "platform/app.h"
#include "platform/wnd_qt.h"

namespace {

std::mutex g_regMutex;
std::unordered_map<HWND, WndCore*> g_windows;
uintptr_t g_nextHandle = 0x10000;

}  // namespace

HWND RegisterCore(WndCore* core)
{
    std::lock_guard lock(g_regMutex);
    const HWND hwnd = reinterpret_cast<HWND>(g_nextHandle++);
    g_windows[hwnd] = core;
    return hwnd;
}

void UnregisterCore(HWND hwnd)
{
    std::lock_guard lock(g_regMutex);
    g_windows.erase(hwnd);
}

std::vector<HWND> TopLevelHandles()
{
    std::vector<HWND> tops;
    std::lock_guard lock(g_regMutex);
    for (const auto& [h, c] : g_windows) {
        if (!c->parent) tops.push_back(h);
    }
    return tops;
}

BOOL IsWindow(HWND hwnd)
{
    if (!hwnd) return FALSE;
    std::lock_guard lock(g_regMutex);
    return g_windows.count(hwnd) ? TRUE : FALSE;
}

WndCore* WndCore::FromHwnd(HWND hwnd)
{
    if (!hwnd) return nullptr;
    std::lock_guard lock(g_regMutex);
    auto it = g_windows.find(hwnd);
    return it == g_windows.end() ? nullptr : it->second;
}

WndCore* WndCore::FromWidget(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        if (auto* h = dynamic_cast<const HostBase*>(w)) return h->core;
    }
    return nullptr;
}

void WndCore::AddRef(CWnd* wnd)
{
    refs.push_back(wnd);
    wnd->m_core = this;
    wnd->m_hWnd = hwnd;
}

void WndCore::RemoveRef(CWnd* wnd)
{
    std::erase(refs, wnd);
    wnd->m_core = nullptr;
    wnd->m_hWnd = nullptr;
    if (owner == wnd) owner = defaultObject.get();
}

CoreGuard::CoreGuard(WndCore* c) : m_core(c) { ++m_core->busy; }

CoreGuard::~CoreGuard()
{
    if (--m_core->busy == 0 && m_core->dead) delete m_core;
}

LRESULT WndCore::Dispatch(UINT msg, WPARAM w, LPARAM l, const std::function<LRESULT()>* native, bool* nativeRan)
{
    if (dead || !owner) return 0;
    CoreGuard guard(this);
    DispatchFrame f;
    f.msg = msg;
    f.w = w;
    f.l = l;
    f.native = native;
    f.prev = frame;
    frame = &f;
    const LRESULT r = owner->WindowProc(msg, w, l);
    frame = f.prev;
    if (nativeRan) *nativeRan = f.nativeRan;
    return r;
}

void WndCore::NotifyParent(UINT code)
{
    if (notifyBlock > 0 || !parent || dead) return;
    parent->Dispatch(WM_COMMAND, MAKEWPARAM(id, static_cast<int>(code)), LParamFromHwnd(hwnd));
}

QPainter* WndCore::EnsurePainter()
{
    if (!painter && widget) {
        painter = new QPainter(widget);
        paintDc = std::make_unique<PainterDC>(painter, ScreenDpiForDrawing(), ScreenDpiForDrawing());
    }
    return painter;
}

void WndCore::EndPainter()
{
    paintDc.reset();
    if (painter) {
        painter->end();
        delete painter;
        painter = nullptr;
    }
}

int ScreenDpiForDrawing() { return GetScreenDpi(); }
