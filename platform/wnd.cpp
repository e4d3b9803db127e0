// CWnd: the members that act on the window an object refers to (identity,
// children, text, visibility, geometry, focus, capture, timers, sends).
#include <QApplication>
#include <QWidget>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/msgbox.h"
#include "platform/wnd_qt.h"

namespace {

HWND g_captureHwnd = nullptr;

}  // namespace

void ForgetCapture(HWND hwnd)
{
    if (g_captureHwnd == hwnd) g_captureHwnd = nullptr;
}

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    WndCore* c = m_core;
    if (!c) return;
    // A window without a default object (made by Create) goes with the
    // object that receives its messages.
    const bool sole = c->owner == this && !c->defaultObject;
    c->RemoveRef(this);
    if (sole && !c->dead) DestroyWindowCore(c, true);
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    return c ? c->owner : nullptr;
}

const ::msgmap::Map* CWnd::GetThisMessageMap()
{
    static const ::msgmap::Entry entries[] = {::msgmap::Entry{}};
    static const ::msgmap::Map map = {nullptr, entries};
    return &map;
}

const ::msgmap::Map* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    if (m_core) return FALSE;
    EnsureUiApplication();
    WndCreate p;
    p.kind = WndKind::Generic;
    p.parent = parent ? parent->m_core : nullptr;
    p.id = static_cast<int>(id);
    p.style = style;
    p.text = windowName ? windowName : L"";
    p.className = className ? className : L"";
    p.object = this;
    if (parent && !p.parent) return FALSE;
    WndCore* c = CreateWindowCore(p);
    c->widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (!p.parent && (style & WS_VISIBLE)) c->widget->show();
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_core) return FALSE;
    DestroyWindowCore(m_core, true);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || m_core) return FALSE;
    if (c->owner && c->owner != c->defaultObject.get()) return FALSE;
    c->AddRef(this);
    c->owner = this;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent) return FALSE;
    CWnd* item = parent->GetDlgItem(static_cast<int>(id));
    return item ? SubclassWindow(item->m_hWnd) : FALSE;
}

int CWnd::GetDlgCtrlID() const { return m_core ? m_core->id : 0; }

CWnd* CWnd::GetDlgItem(int id) const
{
    if (!m_core) return nullptr;
    for (WndCore* k : m_core->children) {
        if (k->id == id) return k->owner;
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const { return (m_core && m_core->parent) ? m_core->parent->owner : nullptr; }

DWORD CWnd::GetStyle() const
{
    if (!m_core || !m_core->widget) return 0;
    DWORD s = m_core->style & ~(WS_VISIBLE | WS_DISABLED);
    if (!m_core->widget->isHidden()) s |= WS_VISIBLE;
    if (m_core->widget->testAttribute(Qt::WA_ForceDisabled)) s |= WS_DISABLED;
    return s;
}

void CWnd::SetWindowText(const std::wstring& text)
{
    if (m_core) SetCoreText(m_core, text);
}

void CWnd::GetWindowText(std::wstring& text) const { text = m_core ? GetCoreText(m_core) : std::wstring(); }

std::wstring CWnd::GetWindowTextString() const { return m_core ? GetCoreText(m_core) : std::wstring(); }

int CWnd::GetWindowTextLength() const { return static_cast<int>(GetWindowTextString().size()); }

void CWnd::SetDlgItemText(int id, const std::wstring& text)
{
    if (CWnd* w = GetDlgItem(id)) w->SetWindowText(text);
}

UINT CWnd::GetDlgItemText(int id, std::wstring& text) const
{
    text.clear();
    if (CWnd* w = GetDlgItem(id)) w->GetWindowText(text);
    return static_cast<UINT>(text.size());
}

BOOL CWnd::ShowWindow(int cmd)
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget;
    const BOOL was = !w->isHidden();
    switch (cmd) {
    case SW_HIDE: w->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        if (m_core->IsTopLevel()) w->showMinimized();
        else w->show();
        break;
    case SW_SHOWMAXIMIZED:
        if (m_core->IsTopLevel()) w->showMaximized();
        else w->show();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (m_core->IsTopLevel() && (w->isMinimized() || w->isMaximized())) w->showNormal();
        else w->show();
        break;
    default: w->show(); break;
    }
    return was;
}

BOOL CWnd::IsWindowVisible() const { return (m_core && m_core->widget && m_core->widget->isVisible()) ? TRUE : FALSE; }

BOOL CWnd::SetForegroundWindow()
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget->window();
    if (w->isVisible()) {
        w->raise();
        w->activateWindow();
    }
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != w) {
        modal->raise();
        modal->activateWindow();
    }
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    if (!m_core || !m_core->widget) return FALSE;
    const BOOL wasDisabled = m_core->widget->testAttribute(Qt::WA_ForceDisabled);
    m_core->widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return (m_core && m_core->widget && !m_core->widget->testAttribute(Qt::WA_ForceDisabled)) ? TRUE : FALSE;
}

// A dialog's size is fixed against the user, not against code: a size set
// in code becomes the new fixed size.
static void SetWidgetGeometry(QWidget* w, const QRect& g)
{
    if (w->isWindow() && w->minimumSize() == w->maximumSize() && w->size() != g.size()) w->setFixedSize(g.size());
    w->setGeometry(g);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget;
    QRect g = w->geometry();
    if (!(flags & SWP_NOMOVE)) g.moveTo(x, y);
    if (!(flags & SWP_NOSIZE)) {
        if (m_core->kind == WndKind::ComboBox) cy = ComboFieldHeight(m_core);
        g.setSize(QSize(std::max(0, cx), std::max(0, cy)));
    }
    if (g != w->geometry()) SetWidgetGeometry(w, g);
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == &wndBottom) w->lower();
        else if (!insertAfter || insertAfter == &wndTop) w->raise();
        else if (QWidget* above = WndAccess::Widget(insertAfter)) w->stackUnder(above);
    }
    if (flags & SWP_SHOWWINDOW) w->show();
    if (flags & SWP_HIDEWINDOW) w->hide();
    if (!(flags & SWP_NOREDRAW)) w->update();
    return TRUE;
}

void CWnd::GetClientRect(LPRECT rect) const
{
    *rect = RECT{};
    if (m_core && m_core->widget) *rect = CRect(0, 0, m_core->widget->width(), m_core->widget->height());
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    *rect = RECT{};
    if (!m_core || !m_core->widget) return;
    QWidget* w = m_core->widget;
    if (w->isWindow()) {
        const QRect f = w->frameGeometry();
        *rect = CRect(f.left(), f.top(), f.left() + f.width(), f.top() + f.height());
        return;
    }
    const QPoint tl = w->mapToGlobal(QPoint(0, 0));
    *rect = CRect(tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height());
}

void CWnd::ClientToScreen(LPPOINT point) const
{
    if (!m_core || !m_core->widget) return;
    const QPoint p = m_core->widget->mapToGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(LPPOINT point) const
{
    if (!m_core || !m_core->widget) return;
    const QPoint p = m_core->widget->mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* wp) const
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget;
    wp->showCmd = w->isMinimized()   ? SW_SHOWMINIMIZED
                  : w->isMaximized() ? SW_SHOWMAXIMIZED
                  : w->isHidden()    ? SW_HIDE
                                     : SW_SHOWNORMAL;
    const QRect g = w->isWindow() ? w->normalGeometry() : w->geometry();
    const QRect r = g.isValid() ? g : w->geometry();
    wp->rcNormalPosition = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* wp)
{
    if (!m_core || !m_core->widget) return FALSE;
    ShowWindow(static_cast<int>(wp->showCmd));
    return TRUE;
}

void CWnd::Invalidate(BOOL)
{
    if (m_core && m_core->widget) m_core->widget->update();
}

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (!m_core || !m_core->widget) return;
    if (!rect) {
        Invalidate(erase);
        return;
    }
    m_core->widget->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
}

void CWnd::UpdateWindow()
{
    if (m_core && m_core->widget && m_core->widget->isVisible()) m_core->widget->repaint();
}

CWnd* CWnd::SetFocus()
{
    CWnd* old = GetFocus();
    if (m_core && m_core->widget) m_core->widget->setFocus(Qt::OtherFocusReason);
    return old;
}

CWnd* CWnd::GetFocus()
{
    QWidget* f = QApplication::focusWidget();
    if (!f) {
        if (QWidget* a = QApplication::activeWindow()) f = a->focusWidget();
    }
    WndCore* c = WndCore::FromWidget(f);
    return c ? c->owner : nullptr;
}

CWnd* CWnd::SetCapture()
{
    CWnd* old = GetCapture();
    if (!m_core || !m_core->widget) return old;
    if (g_captureHwnd && g_captureHwnd != m_core->hwnd) ReleaseCapture();
    g_captureHwnd = m_core->hwnd;
    if (m_core->widget->isVisible()) m_core->widget->grabMouse();
    return old;
}

CWnd* CWnd::GetCapture() { return CWnd::FromHandle(g_captureHwnd); }

BOOL ReleaseCapture()
{
    if (WndCore* c = WndCore::FromHwnd(g_captureHwnd)) {
        if (c->widget && QWidget::mouseGrabber() == c->widget) c->widget->releaseMouse();
    }
    g_captureHwnd = nullptr;
    return TRUE;
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    if (!m_core || !m_core->widget) return;
    m_core->font = font;
    m_core->widget->setFont(ToQFont(font));
    if (redraw) m_core->widget->update();
}

CFont* CWnd::GetFont() const { return m_core ? m_core->font : nullptr; }

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
    if (!m_core) return 0;
    const int ms = static_cast<int>(std::max<UINT>(elapseMs, 10));
    TimerSlot& slot = m_core->timers[id];
    slot.proc = proc;
    if (!slot.timer) {
        // Owned by the application until its deferred deletion.
        slot.timer.reset(new QTimer(QCoreApplication::instance()));
        const HWND hwnd = m_core->hwnd;
        QObject::connect(slot.timer.get(), &QTimer::timeout, [hwnd, id] { TimerExpired(hwnd, id); });
    }
    slot.timer->start(ms);
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    if (!m_core) return FALSE;
    return m_core->timers.erase(id) ? TRUE : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsUiThread()) return m_core ? m_core->Dispatch(message, wParam, lParam) : 0;
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.m_fail ? FALSE : TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}
