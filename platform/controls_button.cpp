// Buttons, check boxes and radio buttons over Qt's buttons: the pushed look,
// the radio groups and BN_CLICKED.
#include <QAbstractButton>
#include <QRadioButton>

#include <algorithm>

#include "platform/controls.h"
#include "platform/controls_qt.h"

namespace {

// The radio buttons of a group end at the next control with WS_GROUP.
void UncheckGroupSiblings(WndCore* radio)
{
    WndCore* p = radio->parent;
    if (!p) return;
    auto& kids = p->children;
    auto it = std::find(kids.begin(), kids.end(), radio);
    if (it == kids.end()) return;
    auto first = it;
    while (first != kids.begin() && !((*first)->style & WS_GROUP)) --first;
    for (auto k = first; k != kids.end(); ++k) {
        if (k != first && ((*k)->style & WS_GROUP)) break;
        if (*k != radio && (*k)->kind == WndKind::Radio) {
            if (auto* rb = qobject_cast<QRadioButton*>((*k)->widget)) rb->setChecked(false);
        }
    }
}

}  // namespace

void CButton::SetState(BOOL highlight)
{
    if (auto* b = WidgetOf<QAbstractButton>(this)) b->setDown(highlight != FALSE);
}

void ConnectButtonSignals(WndCore* c)
{
    const HWND hwnd = c->hwnd;
    QObject::connect(static_cast<QAbstractButton*>(c->widget), &QAbstractButton::clicked, [hwnd] {
        WndCore* core = WndCore::FromHwnd(hwnd);
        if (!core) return;
        if (core->kind == WndKind::Radio && (core->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            UncheckGroupSiblings(core);
        NotifyParentOf(hwnd, BN_CLICKED);
    });
}
