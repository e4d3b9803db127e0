// Mouse input in steps, and the pointer entering and leaving, for tests
// (platform/testing/testing.h).
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QWidget>

#include "platform/testing/input_qt.h"
#include "platform/testing/testing.h"
#include "platform/wnd.h"
#include "platform/wnd_qt.h"

namespace platform_testing {

namespace {

// The widget that gets the event (the capture's, else hwnd's) and the point
// in its coordinates.
QWidget* Target(HWND hwnd, int x, int y, QPointF& local, QPointF& global)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || !c->widget) return nullptr;
    global = c->widget->mapToGlobal(QPointF(x, y));
    QWidget* target = c->widget;
    if (CWnd* cap = CWnd::GetCapture()) {
        if (WndCore* cc = WndCore::FromHwnd(cap->GetSafeHwnd()); cc && cc->widget) target = cc->widget;
    }
    local = target->mapFromGlobal(global);
    return target;
}

void Send(HWND hwnd, int x, int y, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QPointF local, global;
    if (QWidget* w = Target(hwnd, x, y, local, global)) {
        QMouseEvent ev(type, local, global, button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &ev);
    }
}

}  // namespace

void MousePressAt(HWND hwnd, int x, int y)
{
    QPointF local, global;
    if (QWidget* w = Target(hwnd, x, y, local, global)) GiveClickFocus(w, local);
    Send(hwnd, x, y, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton);
}

void MouseMoveTo(HWND hwnd, int x, int y, bool leftDown)
{
    Send(hwnd, x, y, QEvent::MouseMove, Qt::NoButton, leftDown ? Qt::LeftButton : Qt::NoButton);
}

void MouseReleaseAt(HWND hwnd, int x, int y)
{
    Send(hwnd, x, y, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton);
}

void MouseEnter(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || !c->widget) return;
    QWidget* w = c->widget;
    w->setAttribute(Qt::WA_UnderMouse, true);
    const QPointF local(0, 0);
    QEnterEvent ev(local, local, w->mapToGlobal(local));
    QCoreApplication::sendEvent(w, &ev);
}

void MouseLeave(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || !c->widget) return;
    c->widget->setAttribute(Qt::WA_UnderMouse, false);
    QEvent ev(QEvent::Leave);
    QCoreApplication::sendEvent(c->widget, &ev);
}

bool MoveOverListItem(HWND combo, int index)
{
    WndCore* c = WndCore::FromHwnd(combo);
    auto* box = c ? qobject_cast<QComboBox*>(c->widget) : nullptr;
    if (!box || index < 0 || index >= box->count()) return false;
    QAbstractItemView* view = box->view();
    const QRect r = view->visualRect(box->model()->index(index, box->modelColumn()));
    if (!r.isValid()) return false;  // the list was never shown
    const QPointF local(r.center());
    QMouseEvent ev(QEvent::MouseMove, local, view->viewport()->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
    QCoreApplication::sendEvent(view->viewport(), &ev);
    return true;
}

}  // namespace platform_testing
