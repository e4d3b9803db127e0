// Routing of the host widgets' Qt events to window messages: mouse, wheel,
// keys (through PreTranslateMessage), focus, leave, size and close; and the
// input state functions (mouse-leave tracking, key state, cursor).
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

#include "platform/menu.h"
#include "platform/wnd_qt.h"

namespace {

// The modifiers and buttons of the input event being routed, which
// GetKeyState reports while its messages are handled: the key state of the
// message being handled, not the keyboard's state at the time of the call.
struct InputState {
    Qt::KeyboardModifiers mods;
    Qt::MouseButtons buttons;
    const InputState* prev;
};
thread_local const InputState* t_input = nullptr;

class InputScope {
public:
    InputScope(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) : m_state{mods, buttons, t_input}
    {
        t_input = &m_state;
    }
    ~InputScope() { t_input = m_state.prev; }
    InputScope(const InputScope&) = delete;
    InputScope& operator=(const InputScope&) = delete;

private:
    InputState m_state;
};

UINT MkFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    UINT f = 0;
    if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
    if (buttons & Qt::RightButton) f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
    if (mods & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

UINT VkFromQt(int key, Qt::KeyboardModifiers mods)
{
    const bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? VK_NUMPAD0 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : 0;
    default: return 0;
    }
}

// Walks PreTranslateMessage from the window up to its top-level window.
bool WalkPreTranslate(WndCore* core, MSG* msg)
{
    HWND h = core->hwnd;
    while (h) {
        WndCore* c = WndCore::FromHwnd(h);
        if (!c || !c->owner) break;
        const HWND parent = c->parent ? c->parent->hwnd : nullptr;
        if (c->owner->PreTranslateMessage(msg)) return true;
        h = parent;
    }
    return false;
}

HWND g_lastFocusOut = nullptr;

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    const int b = button == Qt::LeftButton ? 0 : button == Qt::RightButton ? 1 : button == Qt::MiddleButton ? 2 : -1;
    switch (type) {
    case QEvent::MouseMove: return WM_MOUSEMOVE;
    case QEvent::MouseButtonPress:
        return b == 0 ? WM_LBUTTONDOWN : b == 1 ? WM_RBUTTONDOWN : b == 2 ? WM_MBUTTONDOWN : 0;
    case QEvent::MouseButtonRelease: return b == 0 ? WM_LBUTTONUP : b == 1 ? WM_RBUTTONUP : b == 2 ? WM_MBUTTONUP : 0;
    case QEvent::MouseButtonDblClick:
        return b == 0 ? WM_LBUTTONDBLCLK : b == 1 ? WM_RBUTTONDBLCLK : b == 2 ? WM_MBUTTONDOWN : 0;
    default: return 0;
    }
}

bool RouteMouse(WndCore* c, HostBase* h, QMouseEvent* e, bool* result)
{
    const UINT msg = MouseMessage(e->type(), e->button());
    if (!msg) return false;
    const QPoint pos = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    if (msg != WM_MOUSEMOVE || e->buttons() == Qt::NoButton) {
        // Statics and group boxes let the mouse through to their parent.
        if (c->kind == WndKind::Static || c->kind == WndKind::GroupBox) {
            if (c->Dispatch(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTTRANSPARENT) {
                e->ignore();
                *result = false;
                return true;
            }
        }
    }
    if (c->dead) return true;
    if (c->kind == WndKind::Dialog && msg == WM_RBUTTONUP && (c->style & WS_SYSMENU)) {
        // A right click where the hit test says caption opens the system menu.
        if (c->Dispatch(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTCAPTION) {
            e->accept();
            *result = true;
            ShowSystemMenu(c->hwnd, POINT{global.x(), global.y()});
            return true;
        }
    }
    if (c->kind == WndKind::Dialog && msg == WM_LBUTTONDOWN) {
        if (c->Dispatch(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTCAPTION) {
            if (c->widget && c->widget->windowHandle()) c->widget->windowHandle()->startSystemMove();
            e->accept();
            *result = true;
            return true;
        }
    }
    if (c->dead) return true;
    const WPARAM mk = MkFlags(e->buttons(), e->modifiers());
    const InputScope input(e->modifiers(), e->buttons());
    if (msg == WM_MOUSEMOVE && (c->trackFlags & TME_HOVER) && c->hoverTimer)
        c->hoverTimer->start(static_cast<int>(c->hoverMs));
    const std::function<LRESULT()> native = [c, h, e, msg] {
        // An owner-drawn or notifying push button reports the second press
        // of a double click as a double click, not as another click.
        if (msg == WM_LBUTTONDBLCLK && c->kind == WndKind::Button &&
            ((c->style & BS_TYPEMASK) == BS_OWNERDRAW || (c->style & BS_NOTIFY))) {
            c->NotifyParent(BN_DOUBLECLICKED);
            return LRESULT(1);
        }
        const LRESULT r = h->BaseEvent(e) ? 1 : 0;
        if (msg == WM_LBUTTONUP && c->kind == WndKind::Static && (c->style & SS_NOTIFY) && !c->dead)
            c->NotifyParent(STN_CLICKED);
        return r;
    };
    c->Dispatch(msg, mk, MAKELPARAM(pos.x(), pos.y()), &native);
    e->accept();
    *result = true;
    return true;
}

bool RouteWheel(WndCore* c, HostBase* h, QWheelEvent* e, bool* result)
{
    const QPoint global = e->globalPosition().toPoint();
    const int delta = e->angleDelta().y();
    if (delta == 0) return false;
    const WPARAM w = MAKEWPARAM(static_cast<int>(MkFlags(e->buttons(), e->modifiers())), delta);
    const LPARAM l = MAKELPARAM(global.x(), global.y());
    const InputScope input(e->modifiers(), e->buttons());
    // The control's own handling; a wheel it does not take goes on to the
    // parent window, as the system's default processing does (Qt itself
    // passes on only the wheel events of the windowing system).
    const std::function<LRESULT()> native = [c, h, e, w, l] {
        e->setAccepted(true);
        if (h->BaseEvent(e) && e->isAccepted()) return LRESULT(1);
        if (c->dead || !c->parent) return LRESULT(0);
        return c->parent->Dispatch(WM_MOUSEWHEEL, w, l);
    };
    c->Dispatch(WM_MOUSEWHEEL, w, l, &native);
    e->accept();
    *result = true;
    return true;
}

bool RouteKey(WndCore* c, HostBase* h, QKeyEvent* e, bool* result)
{
    const bool press = e->type() == QEvent::KeyPress;
    const UINT vk = VkFromQt(e->key(), e->modifiers());
    const InputScope input(e->modifiers(), QGuiApplication::mouseButtons());
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (press && alt && e->key() == Qt::Key_Space) {
        // Alt+Space: the system menu of the top-level window, at its corner.
        WndCore* top = c;
        while (top->parent) top = top->parent;
        if (top->widget && (top->style & WS_SYSMENU)) {
            const QPoint corner = top->widget->mapToGlobal(QPoint(0, 0));
            e->accept();
            *result = true;
            ShowSystemMenu(top->hwnd, POINT{corner.x(), corner.y()});
            return true;
        }
    }
    if (!press && e->isAutoRepeat()) {
        // X11 sends a release before each repeated press of a held key; the
        // key stays down, so there is no key-up until the real release.
        e->accept();
        *result = true;
        return true;
    }
    const UINT msg = press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lp = 1;
    if (e->isAutoRepeat() || !press) lp |= LPARAM(1) << 30;
    if (!press) lp |= LPARAM(1) << 31;
    const HWND hwnd = c->hwnd;
    bool runBase = vk == 0;
    bool keyDefault = false;
    const std::function<LRESULT()> markKey = [&keyDefault] {
        keyDefault = true;
        return LRESULT(0);
    };
    if (vk) {
        MSG m{hwnd, msg, vk, lp, 0, {}};
        if (WalkPreTranslate(c, &m)) {
            e->accept();
            *result = true;
            return true;
        }
        if (c->dead) return true;
        c->Dispatch(msg, vk, lp, &markKey);
        if (keyDefault) runBase = true;
    }
    if (press && !alt && !c->dead) {
        const QString text = e->text();
        for (QChar ch : text) {
            MSG m{hwnd, WM_CHAR, ch.unicode(), lp, 0, {}};
            if (WalkPreTranslate(c, &m) || c->dead) continue;
            bool charDefault = false;
            const std::function<LRESULT()> markChar = [&charDefault] {
                charDefault = true;
                return LRESULT(0);
            };
            c->Dispatch(WM_CHAR, ch.unicode(), lp, &markChar);
            if (charDefault) runBase = true;
        }
    }
    if (runBase && !c->dead && c->host) h->BaseEvent(e);
    e->accept();
    *result = true;
    return true;
}

void FocusNotify(WndCore* c, bool in)
{
    switch (c->kind) {
    case WndKind::Edit: c->NotifyParent(in ? EN_SETFOCUS : EN_KILLFOCUS); break;
    case WndKind::ComboBox: c->NotifyParent(in ? CBN_SETFOCUS : CBN_KILLFOCUS); break;
    case WndKind::Button:
        if (c->style & BS_NOTIFY) c->NotifyParent(in ? BN_SETFOCUS : BN_KILLFOCUS);
        break;
    default: break;
    }
}

bool RouteFocus(WndCore* c, HostBase* h, QFocusEvent* e, bool* result)
{
    if (e->reason() == Qt::PopupFocusReason) return false;
    const bool in = e->type() == QEvent::FocusIn;
    HWND other = nullptr;
    if (in) {
        other = g_lastFocusOut;
    } else {
        if (WndCore* n = WndCore::FromWidget(QApplication::focusWidget())) other = n->hwnd;
        g_lastFocusOut = c->hwnd;
    }
    bool base = false;
    const std::function<LRESULT()> native = [c, h, e, in, &base] {
        base = h->BaseEvent(e);
        if (!c->dead) FocusNotify(c, in);
        return LRESULT(0);
    };
    c->Dispatch(in ? WM_SETFOCUS : WM_KILLFOCUS, LParamFromHwnd(other), 0, &native);
    *result = true;
    return true;
}

}  // namespace

bool RouteHostEvent(HostBase* host, QEvent* e, bool* result)
{
    WndCore* c = host->core;
    CoreGuard guard(c);
    switch (e->type()) {
    case QEvent::Paint:
        RoutePaint(c, host, static_cast<QPaintEvent*>(e));
        *result = true;
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return RouteMouse(c, host, static_cast<QMouseEvent*>(e), result);
    case QEvent::Wheel: return RouteWheel(c, host, static_cast<QWheelEvent*>(e), result);
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return RouteKey(c, host, static_cast<QKeyEvent*>(e), result);
    case QEvent::FocusIn:
    case QEvent::FocusOut: return RouteFocus(c, host, static_cast<QFocusEvent*>(e), result);
    case QEvent::Leave:
        if (c->trackFlags & TME_LEAVE) {
            c->trackFlags = 0;
            if (c->hoverTimer) c->hoverTimer->stop();
            c->Dispatch(WM_MOUSELEAVE, 0, 0);
        }
        return false;
    case QEvent::Resize: {
        *result = host->BaseEvent(e);
        if (!c->dead && c->widget)
            c->Dispatch(WM_SIZE, SIZE_RESTORED, MAKELPARAM(c->widget->width(), c->widget->height()));
        return true;
    }
    case QEvent::Close:
        if (c->IsTopLevel()) {
            e->ignore();
            c->Dispatch(WM_CLOSE, 0, 0);
            *result = true;
            return true;
        }
        return false;
    default: return false;
    }
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* t)
{
    WndCore* c = WndCore::FromHwnd(t->hwndTrack);
    if (!c) return FALSE;
    if (t->dwFlags & TME_CANCEL) {
        c->trackFlags &= ~t->dwFlags;
        if (c->hoverTimer && !(c->trackFlags & TME_HOVER)) c->hoverTimer->stop();
        return TRUE;
    }
    c->trackFlags |= t->dwFlags & (TME_HOVER | TME_LEAVE);
    if (t->dwFlags & TME_HOVER) {
        c->hoverMs = t->dwHoverTime == HOVER_DEFAULT ? 400 : std::max<DWORD>(t->dwHoverTime, 1);
        if (!c->hoverTimer) {
            c->hoverTimer = std::make_unique<QTimer>();
            c->hoverTimer->setSingleShot(true);
            const HWND hwnd = c->hwnd;
            QObject::connect(c->hoverTimer.get(), &QTimer::timeout, [hwnd] {
                WndCore* core = WndCore::FromHwnd(hwnd);
                if (!core || !(core->trackFlags & TME_HOVER) || !core->widget) return;
                core->trackFlags &= ~TME_HOVER;
                const QPoint p = core->widget->mapFromGlobal(QCursor::pos());
                core->Dispatch(WM_MOUSEHOVER,
                               MkFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers()),
                               MAKELPARAM(p.x(), p.y()));
            });
        }
        c->hoverTimer->start(static_cast<int>(c->hoverMs));
    }
    // Leaving at once when the pointer is already outside.
    if ((t->dwFlags & TME_LEAVE) && c->widget && !c->widget->underMouse() && QWidget::mouseGrabber() != c->widget) {
        const HWND hwnd = c->hwnd;
        PostToUi([hwnd] {
            WndCore* core = WndCore::FromHwnd(hwnd);
            if (!core || !(core->trackFlags & TME_LEAVE) || !core->widget || core->widget->underMouse()) return;
            core->trackFlags &= ~TME_LEAVE;
            core->Dispatch(WM_MOUSELEAVE, 0, 0);
        });
    }
    return TRUE;
}

int16_t GetKeyState(int vk)
{
    bool down = false;
    const Qt::KeyboardModifiers mods = t_input ? t_input->mods : QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = t_input ? t_input->buttons : QGuiApplication::mouseButtons();
    switch (vk) {
    case VK_SHIFT: down = mods & Qt::ShiftModifier; break;
    case VK_CONTROL: down = mods & Qt::ControlModifier; break;
    case VK_MENU: down = mods & Qt::AltModifier; break;
    case 0x01: down = buttons & Qt::LeftButton; break;
    case 0x02: down = buttons & Qt::RightButton; break;
    case 0x04: down = buttons & Qt::MiddleButton; break;
    default: break;
    }
    return down ? static_cast<int16_t>(0x8000) : 0;
}
