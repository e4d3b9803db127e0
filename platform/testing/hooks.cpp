// Timer ticks, queue lengths, modal dialogs and popups for tests
// (platform/testing/testing.h), over the layer's own seams.
#include <QWindow>

#include "platform/testing/testing.h"
#include "platform/wnd_qt.h"

namespace platform_testing {

bool SimulateTimerExpiry(HWND hwnd, UINT_PTR id)
{
    WndCore* core = WndCore::FromHwnd(hwnd);
    if (!core || core->timers.count(id) == 0) return false;
    TimerExpired(hwnd, id);
    return true;
}

size_t QueuedPostedCount() { return PostedQueueLength(); }

HWND TopModalDialog() { return InnermostModalDialog(); }

WindowManagerHints WindowManagerHintsOf(HWND hwnd)
{
    WindowManagerHints hints;
    WndCore* c = WndCore::FromHwnd(hwnd);
    QWidget* w = c && c->widget ? c->widget->window() : nullptr;
    if (!w) return hints;
    hints.dialog = w->windowType() == Qt::Dialog;
    hints.modal = w->windowModality() != Qt::NonModal;
    const QWindow* parent = w->windowHandle() ? w->windowHandle()->transientParent() : nullptr;
    for (HWND h : TopLevelHandles()) {
        WndCore* t = WndCore::FromHwnd(h);
        if (parent && t && t->widget && t->widget->windowHandle() == parent) hints.transientFor = h;
    }
    return hints;
}
bool EndFrontPopup() { return EndFrontPopupLoop(); }
void SetRealPopupsWhenHeadless(bool on) { ::SetRealPopupsWhenHeadless(on); }

void SetSystemMenuResponder(std::function<UINT_PTR(const std::vector<CMenu::Item>&)> responder)
{
    SetSystemMenuChooser(std::move(responder));
}

}  // namespace platform_testing
