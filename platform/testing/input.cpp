// Hooks for tests (platform/testing/testing.h): running the UI thread's
// events, and key, click and wheel input.
#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QWheelEvent>

#include <chrono>
#include <thread>

#include "platform/testing/input_qt.h"
#include "platform/testing/testing.h"
#include "platform/wnd_qt.h"

namespace platform_testing {

void PumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool PumpUntil(const std::function<bool()>& pred, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

namespace {

int QtKeyFromVk(UINT vk)
{
    if (vk >= '0' && vk <= '9') return Qt::Key_0 + static_cast<int>(vk - '0');
    if (vk >= 'A' && vk <= 'Z') return Qt::Key_A + static_cast<int>(vk - 'A');
    if (vk >= VK_F1 && vk < VK_F1 + 24) return Qt::Key_F1 + static_cast<int>(vk - VK_F1);
    switch (vk) {
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_PRIOR: return Qt::Key_PageUp;
    case VK_NEXT: return Qt::Key_PageDown;
    case VK_END: return Qt::Key_End;
    case VK_HOME: return Qt::Key_Home;
    case VK_LEFT: return Qt::Key_Left;
    case VK_UP: return Qt::Key_Up;
    case VK_RIGHT: return Qt::Key_Right;
    case VK_DOWN: return Qt::Key_Down;
    case VK_DELETE: return Qt::Key_Delete;
    case VK_OEM_PERIOD: return Qt::Key_Period;
    case VK_OEM_MINUS: return Qt::Key_Minus;
    default: return 0;
    }
}

QWidget* WidgetOfHwnd(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    return c ? c->widget : nullptr;
}

// One left-button event at the widget of hwnd, looked up anew each time:
// the event before may have closed it.
void SendLeftButton(HWND hwnd, QEvent::Type type, const QPointF& local, Qt::MouseButtons buttons)
{
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QMouseEvent e(type, local, w->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }
}

}  // namespace

void PressKey(HWND hwnd, UINT vk, wchar_t ch, bool alt, bool shift, bool control)
{
    Qt::KeyboardModifiers mods;
    if (alt) mods |= Qt::AltModifier;
    if (shift) mods |= Qt::ShiftModifier;
    if (control) mods |= Qt::ControlModifier;
    QString text;
    if (ch) text = QString(QChar(static_cast<char16_t>(ch)));
    else if (vk == VK_RETURN) text = QStringLiteral("\r");
    else if (vk == VK_ESCAPE) text = QString(QChar(0x1B));
    const int key = QtKeyFromVk(vk);
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QKeyEvent press(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(w, &press);
    }
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QKeyEvent release(QEvent::KeyRelease, key, mods, text);
        QCoreApplication::sendEvent(w, &release);
    }
}

void HoldKey(HWND hwnd, UINT vk, int repeats)
{
    const int key = QtKeyFromVk(vk);
    const auto send = [hwnd, key](QEvent::Type type, bool autoRepeat) {
        if (QWidget* w = WidgetOfHwnd(hwnd)) {
            QKeyEvent ev(type, key, Qt::NoModifier, QString(), autoRepeat);
            QCoreApplication::sendEvent(w, &ev);
        }
    };
    send(QEvent::KeyPress, false);
    for (int i = 0; i < repeats; ++i) {
        send(QEvent::KeyRelease, true);
        send(QEvent::KeyPress, true);
    }
    send(QEvent::KeyRelease, false);
}

void ClickAt(HWND hwnd, int x, int y)
{
    const QPointF local(x, y);
    if (QWidget* w = WidgetOfHwnd(hwnd)) GiveClickFocus(w, local);
    SendLeftButton(hwnd, QEvent::MouseButtonPress, local, Qt::LeftButton);
    SendLeftButton(hwnd, QEvent::MouseButtonRelease, local, Qt::NoButton);
}

void DoubleClickAt(HWND hwnd, int x, int y)
{
    ClickAt(hwnd, x, y);
    const QPointF local(x, y);
    SendLeftButton(hwnd, QEvent::MouseButtonDblClick, local, Qt::LeftButton);
    SendLeftButton(hwnd, QEvent::MouseButtonRelease, local, Qt::NoButton);
}

void WheelAt(HWND hwnd, int x, int y, int delta)
{
    QWidget* w = WidgetOfHwnd(hwnd);
    if (!w) return;
    const QPointF local(x, y);
    QWheelEvent ev(local, w->mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &ev);
}

void Activate(HWND hwnd)
{
    QWidget* w = WidgetOfHwnd(hwnd);
    if (!w) return;
    QWidget* top = w->window();
    if (!top->isVisible()) top->show();
    top->activateWindow();
    QApplication::setActiveWindow(top);
    PumpUntil([top] { return QApplication::activeWindow() == top; }, 2000);
}

}  // namespace platform_testing

void GiveClickFocus(QWidget* w, const QPointF& local)
{
    QPoint pos = local.toPoint();
    for (QWidget* f = w; f; f = f->parentWidget()) {
        if (f->isEnabled() && f->rect().contains(pos) && (f->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus) {
            f->setFocus(Qt::MouseFocusReason);
            return;
        }
        if (f->isWindow()) return;
        pos += f->pos();
    }
}
