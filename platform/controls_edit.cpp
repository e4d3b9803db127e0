// Edit controls over QLineEdit: the selection and the change notifications.
#include <QLineEdit>

#include "platform/controls.h"
#include "platform/controls_qt.h"

void CEdit::SetSel(int start, int end, BOOL)
{
    auto* e = WidgetOf<QLineEdit>(this);
    if (!e) return;
    if (start == -1) {
        e->deselect();
        return;
    }
    const int len = static_cast<int>(e->text().size());
    if (end < 0 || end > len) end = len;
    start = std::clamp(start, 0, len);
    e->setSelection(start, end - start);
}

void CEdit::GetSel(int& start, int& end) const
{
    start = end = 0;
    auto* e = WidgetOf<QLineEdit>(this);
    if (!e) return;
    if (e->hasSelectedText()) {
        start = e->selectionStart();
        end = start + static_cast<int>(e->selectedText().size());
    } else {
        start = end = e->cursorPosition();
    }
}

void ConnectEditSignals(WndCore* c)
{
    const HWND hwnd = c->hwnd;
    QObject::connect(static_cast<QLineEdit*>(c->widget), &QLineEdit::textChanged, [hwnd] {
        NotifyParentOf(hwnd, EN_UPDATE);
        NotifyParentOf(hwnd, EN_CHANGE);
    });
}
