// Progress bars over QProgressBar.
#include <QProgressBar>

#include <algorithm>

#include "platform/controls.h"
#include "platform/controls_qt.h"

void CProgressCtrl::SetRange32(int lower, int upper)
{
    if (auto* p = WidgetOf<QProgressBar>(this)) p->setRange(lower, std::max(lower, upper));
}

void CProgressCtrl::GetRange(int& lower, int& upper) const
{
    auto* p = WidgetOf<QProgressBar>(this);
    lower = p ? p->minimum() : 0;
    upper = p ? p->maximum() : 0;
}

int CProgressCtrl::SetPos(int pos)
{
    auto* p = WidgetOf<QProgressBar>(this);
    if (!p) return 0;
    const int old = GetPos();
    p->setValue(std::clamp(pos, p->minimum(), p->maximum()));
    return old;
}

int CProgressCtrl::GetPos() const
{
    auto* p = WidgetOf<QProgressBar>(this);
    if (!p) return 0;
    return p->value() < p->minimum() ? p->minimum() : p->value();
}
