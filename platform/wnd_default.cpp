// The message path of CWnd: WindowProc, the message map, and the default
// processing of what the map does not take.
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <typeinfo>

#include "platform/controls.h"
#include "platform/wnd_qt.h"

namespace {

thread_local UINT t_ctlColorKind = 0;

}  // namespace

void SetCtlColorKind(UINT kind) { t_ctlColorKind = kind; }

namespace msgmap {

UINT CurrentCtlColorKind() { return t_ctlColorKind; }

}  // namespace msgmap

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const ::msgmap::Match m = ::msgmap::Find(GetMessageMap(), WM_COMMAND, wParam);
    if (!m) return FALSE;
    LRESULT ignored = 0;
    ::msgmap::Invoke(m, this, wParam, lParam, &ignored);
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
    const ::msgmap::Match m = ::msgmap::Find(GetMessageMap(), message, wParam);
    if (!m) return FALSE;
    const UINT savedKind = t_ctlColorKind;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) t_ctlColorKind = message - WM_CTLCOLORMSGBOX;
    ::msgmap::Invoke(m, this, wParam, lParam, result);
    t_ctlColorKind = savedKind;
    return TRUE;
}

LRESULT CWnd::Default()
{
    if (!m_core || !m_core->frame) return 0;
    const DispatchFrame* f = m_core->frame;
    return DefWindowProc(f->msg, f->w, f->l);
}

namespace {

// Default processing that does not come from a widget's own event handling.
LRESULT BuiltinDefault(WndCore* c, UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_CLOSE:
        if (c->kind == WndKind::Dialog) c->Dispatch(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        else if (c->IsTopLevel()) DestroyWindowCore(c, true);
        return 0;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(static_cast<intptr_t>(l));
        if (WndCore* item = WndCore::FromHwnd(dis->hwndItem)) {
            if (item->owner) item->owner->DrawItem(dis);
        }
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(static_cast<intptr_t>(l));
        for (WndCore* k : c->children) {
            if (k->id == static_cast<int>(mis->CtlID) && k->owner) {
                k->owner->MeasureItem(mis);
                break;
            }
        }
        return TRUE;
    }
    case WM_NCHITTEST:
        if (c->kind == WndKind::GroupBox) return HTTRANSPARENT;
        if (c->kind == WndKind::Static && !(c->style & SS_NOTIFY) && c->owner && typeid(*c->owner) == typeid(CStatic))
            return HTTRANSPARENT;
        return HTCLIENT;
    case WM_ERASEBKGND:
        if (c->kind == WndKind::Dialog && c->painter) {
            t_ctlColorKind = CTLCOLOR_DLG;
            const LRESULT r = c->Dispatch(WM_CTLCOLORDLG, w, LParamFromHwnd(c->hwnd));
            auto* brush = reinterpret_cast<CBrush*>(static_cast<intptr_t>(r));
            if (brush && !brush->IsNull() && c->painter && c->widget)
                c->painter->fillRect(c->widget->rect(), ToQColor(brush->GetColor()));
            return 1;
        }
        return 0;
    case WM_MOUSEWHEEL:
        if (c->parent) return c->parent->Dispatch(msg, w, l);
        return 0;
    case WM_SETTEXT: SetCoreText(c, l ? reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(l)) : L""); return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(GetCoreText(c).size());
    case WM_SYSCOMMAND:
        switch (w & 0xFFF0) {
        case SC_CLOSE: c->Dispatch(WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE:
            if (c->widget) c->widget->showMinimized();
            break;
        case SC_RESTORE:
            if (c->widget) c->widget->showNormal();
            break;
        default: break;
        }
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        // A mouse message made by code: the control sees it as a real one.
        if (!c->host || !c->widget) return 0;
        QEvent::Type type = QEvent::MouseMove;
        Qt::MouseButton button = Qt::NoButton;
        switch (msg) {
        case WM_LBUTTONDOWN:
            type = QEvent::MouseButtonPress;
            button = Qt::LeftButton;
            break;
        case WM_LBUTTONUP:
            type = QEvent::MouseButtonRelease;
            button = Qt::LeftButton;
            break;
        case WM_LBUTTONDBLCLK:
            type = QEvent::MouseButtonDblClick;
            button = Qt::LeftButton;
            break;
        case WM_RBUTTONDOWN:
            type = QEvent::MouseButtonPress;
            button = Qt::RightButton;
            break;
        case WM_RBUTTONUP:
            type = QEvent::MouseButtonRelease;
            button = Qt::RightButton;
            break;
        default: break;
        }
        Qt::MouseButtons buttons;
        if (w & MK_LBUTTON) buttons |= Qt::LeftButton;
        if (w & MK_RBUTTON) buttons |= Qt::RightButton;
        Qt::KeyboardModifiers mods;
        if (w & MK_SHIFT) mods |= Qt::ShiftModifier;
        if (w & MK_CONTROL) mods |= Qt::ControlModifier;
        const QPointF local(GET_X_LPARAM(l), GET_Y_LPARAM(l));
        QMouseEvent ev(type, local, c->widget->mapToGlobal(local), button, buttons, mods);
        return c->host->BaseEvent(&ev) ? 1 : 0;
    }
    default: return 0;
    }
}

}  // namespace

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WndCore* c = m_core;
    if (!c || c->dead) return 0;
    if (DispatchFrame* f = c->frame) {
        if (f->msg == message && f->w == wParam && f->l == lParam && f->native) {
            if (!f->nativeRan) {
                f->nativeRan = true;
                f->nativeResult = (*f->native)();
            }
            return f->nativeResult;
        }
    }
    return BuiltinDefault(c, message, wParam, lParam);
}

// Default handlers.
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(static_cast<intptr_t>(Default())); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnDeviceChange(UINT, DWORD_PTR) { return static_cast<BOOL>(Default()); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
