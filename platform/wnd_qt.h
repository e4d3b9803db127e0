// Qt side of the windows, for the platform layer's own sources only: the
// window core behind a handle, the host widgets that turn Qt events into
// window messages, and the UI-thread queue.
#pragma once

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi_qt.h"
#include "platform/menu.h"
#include "platform/wnd.h"

class QEventLoop;
class QPainter;

enum class WndKind { Generic, Dialog, Edit, Button, CheckBox, Radio, GroupBox, Static, ComboBox, Slider, Progress };

class HostBase;

// The message being handled on a window, with the window's own processing
// of the Qt event it came from (run at most once, by DefWindowProc).
struct DispatchFrame {
    UINT msg = 0;
    WPARAM w = 0;
    LPARAM l = 0;
    const std::function<LRESULT()>* native = nullptr;
    bool nativeRan = false;
    LRESULT nativeResult = 0;
    DispatchFrame* prev = nullptr;
};

// A window timer's QTimer may go (KillTimer, the window destroyed) inside
// its own tick: it stops at once and is deleted once the tick is over.
struct TimerDeleter {
    void operator()(QTimer* t) const
    {
        t->stop();
        t->disconnect();
        t->deleteLater();
    }
};

struct TimerSlot {
    std::unique_ptr<QTimer, TimerDeleter> timer;
    TIMERPROC proc = nullptr;
};

struct WndCore {
    HWND hwnd = nullptr;
    WndKind kind = WndKind::Generic;
    QWidget* widget = nullptr;
    HostBase* host = nullptr;
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring className;
    std::wstring text;  // generic windows keep their text here

    WndCore* parent = nullptr;
    std::vector<WndCore*> children;

    CWnd* owner = nullptr;                // receives the messages
    std::unique_ptr<CWnd> defaultObject;  // made at creation when no object was given
    std::vector<CWnd*> refs;              // every object that refers to this window

    DispatchFrame* frame = nullptr;
    int busy = 0;       // dispatches under way on the stack
    bool dead = false;  // destroyed; freed when no dispatch uses it

    // Painting.
    bool inPaint = false;
    QPainter* painter = nullptr;
    std::unique_ptr<PainterDC> paintDc;
    bool ctlColorApplied = false;
    // An edit whose colour answer chose an opaque text background unlike
    // its brush: the field in fieldColor, the text on a box of boxColor.
    bool textBox = false;
    COLORREF fieldColor = 0;
    COLORREF boxColor = 0;

    std::map<UINT_PTR, TimerSlot> timers;

    DWORD trackFlags = 0;
    UINT hoverMs = 400;
    std::unique_ptr<QTimer> hoverTimer;

    CFont* font = nullptr;
    // A dialog's: the font of its template, which its controls draw with
    // until they are given one of their own.
    std::unique_ptr<CFont> templateFont;
    std::shared_ptr<CMenu> sysMenu;  // made by GetSystemMenu
    int notifyBlock = 0;             // > 0: control notifications are not sent

    // Dialogs.
    QEventLoop* modalLoop = nullptr;
    bool modalEnded = false;
    int modalResult = 0;
    int defId = IDOK;

    // Combo box items drawn by the owner.
    std::map<int, int> itemHeights;
    // The drop-down list's item under the mouse (-1: none).
    int listHotRow = -1;

    static WndCore* FromHwnd(HWND hwnd);  // live windows only (UI thread)
    static WndCore* FromWidget(const QWidget* w);

    CWnd* Owner() const { return owner; }
    void AddRef(CWnd* wnd);
    void RemoveRef(CWnd* wnd);
    bool IsTopLevel() const { return parent == nullptr; }
    // A dialog with WS_EX_APPWINDOW and no owner: the program's own window,
    // a normal top-level window for the window manager (not a dialog, not
    // modal, in front of no other window), whatever loop runs it.
    bool IsApplicationWindow() const
    {
        return kind == WndKind::Dialog && (exStyle & WS_EX_APPWINDOW) && widget && !widget->parentWidget();
    }

    // Runs the message through the owner's WindowProc. native is the
    // window's own processing that DefWindowProc may run.
    LRESULT Dispatch(UINT msg, WPARAM w, LPARAM l, const std::function<LRESULT()>* native = nullptr,
                     bool* nativeRan = nullptr);
    // WM_COMMAND with a notification code to the parent.
    void NotifyParent(UINT code);

    QPainter* EnsurePainter();
    void EndPainter();
};

// The core and the widget behind a window object (nullptr for none or no
// window), for this layer's own sources.
struct WndAccess {
    static WndCore* Core(const CWnd* wnd) { return wnd ? wnd->m_core : nullptr; }
    static QWidget* Widget(const CWnd* wnd)
    {
        WndCore* c = Core(wnd);
        return c ? c->widget : nullptr;
    }
};

// Keeps a core's memory alive while a dispatch or an event route uses it.
class CoreGuard {
public:
    explicit CoreGuard(WndCore* c);
    ~CoreGuard();
    CoreGuard(const CoreGuard&) = delete;
    CoreGuard& operator=(const CoreGuard&) = delete;

private:
    WndCore* m_core;
};

class HostBase {
public:
    virtual ~HostBase() = default;
    virtual bool BaseEvent(QEvent* e) = 0;
    WndCore* core = nullptr;
};

// Routes a Qt event of a host widget; false when the widget handles it
// itself (then *result is not set).
bool RouteHostEvent(HostBase* host, QEvent* e, bool* result);

template <class Q>
class Host : public Q, public HostBase {
public:
    using Q::Q;
    bool event(QEvent* e) override
    {
        bool result = false;
        if (core && RouteHostEvent(this, e, &result)) return result;
        return Q::event(e);
    }
    bool BaseEvent(QEvent* e) override { return Q::event(e); }
};

// The registry of handles (any thread): a new handle for a core, its
// removal, and the handles of the top-level windows.
HWND RegisterCore(WndCore* core);
void UnregisterCore(HWND hwnd);
std::vector<HWND> TopLevelHandles();
// Drops the mouse capture when hwnd holds it (the window goes).
void ForgetCapture(HWND hwnd);
// The kind of control-colour request under way (msgmap::CurrentCtlColorKind).
void SetCtlColorKind(UINT kind);
// A paint pass of a host widget: WM_ERASEBKGND, then WM_PAINT.
void RoutePaint(WndCore* c, HostBase* h, QPaintEvent* e);

// Window creation and destruction (UI thread).
struct WndCreate {
    WndKind kind = WndKind::Generic;
    WndCore* parent = nullptr;
    QWidget* parentWidget = nullptr;  // for top-level windows: the owner's window
    int id = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::wstring text;
    std::wstring className;
    CWnd* object = nullptr;  // nullptr: a default object of the kind's class is made
    int imageId = 0;         // icon or bitmap of an SS_ICON / SS_BITMAP static
};
WndCore* CreateWindowCore(const WndCreate& params);
// Sends WM_DESTROY (parents first), detaches every object and frees the
// widgets; deferWidget leaves the deletion of the widget to the event loop.
void DestroyWindowCore(WndCore* core, bool deferWidget);

// Destroys every window still alive (before the application object goes).
void DestroyAllWindows();

WndKind KindFromTemplate(const std::string& kind, DWORD style);

// Control details (controls*.cpp).
QWidget* MakeComboHost(WndCore* c, QWidget* parent);
QWidget* MakeSliderHost(WndCore* c, QWidget* parent);
void SetupStaticImage(WndCore* c, int imageId);
void ConnectControlSignals(WndCore* c);
void SetCoreText(WndCore* c, const std::wstring& text);
std::wstring GetCoreText(const WndCore* c);
// Height of a combo box's selection field with its frame.
int ComboFieldHeight(const WndCore* c);
QString StaticDisplayText(const WndCore* c, const std::wstring& text);

// The UI thread's queue.
bool IsUiThread();
// Creates the dispatcher of the queue once an application object exists
// (UI thread).
void InitUiQueue();
// Queues fn for the UI thread; false without a UI.
bool PostToUi(std::function<void()> fn);
// A window timer elapsed: its handler runs now.
void TimerExpired(HWND hwnd, UINT_PTR id);

int ScreenDpiForDrawing();

// A popup that runs its own modal loop (a message box, a file dialog, a
// menu), known for the length of that loop (UI thread): a scripted close
// ends the one in front with end(), which must make its loop return as its
// Cancel would (EndFrontPopupLoop).
class PopupLoopScope {
public:
    explicit PopupLoopScope(std::function<void()> end);
    ~PopupLoopScope();
    PopupLoopScope(const PopupLoopScope&) = delete;
    PopupLoopScope& operator=(const PopupLoopScope&) = delete;
    // True once the popup was ended that way.
    bool Ended() const { return m_ended; }

private:
    friend bool EndFrontPopupLoop();
    std::function<void()> m_end;
    size_t m_dialogDepth;  // dialogs of this layer whose loops ran when it opened
    bool m_ended = false;
};
// Ends the popup in front, the one whose own modal loop runs innermost (no
// dialog of this layer opened inside it); false when there is none.
bool EndFrontPopupLoop();
// The innermost dialog whose modal loop runs; nullptr when none.
HWND InnermostModalDialog();
// Message boxes and file dialogs run as on a screen also headless (else
// they take their default at once there).
bool RealPopupsWhenHeadless();
void SetRealPopupsWhenHeadless(bool on);

// Chooses a system menu's entry instead of the user when set (ShowSystemMenu).
using SystemMenuChooser = std::function<UINT_PTR(const std::vector<CMenu::Item>&)>;
void SetSystemMenuChooser(SystemMenuChooser chooser);

// Posted messages and functions that wait in the UI queue.
size_t PostedQueueLength();
