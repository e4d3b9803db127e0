// Sliders (trackbars) over QSlider: the host, the style of a thumb drawn from
// a picture, the range and position, and the scroll notifications.
#include <QProxyStyle>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>

#include "platform/controls.h"
#include "platform/controls_qt.h"

namespace {

class SliderHost : public Host<QSlider> {
public:
    using Host<QSlider>::Host;
    QRect Part(QStyle::SubControl part) const
    {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        return style()->subControlRect(QStyle::CC_Slider, &opt, part, this);
    }
};

// The style of a slider whose thumb is a picture: the groove is the whole
// window, the thumb as long as the picture, a press on the track moves
// nothing while the page size is 0, and no button sets the position at once.
class PictureThumbStyle : public QProxyStyle {
public:
    explicit PictureThumbStyle(int length) : m_length(length) {}

    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override
    {
        const auto* so = qstyleoption_cast<const QStyleOptionSlider*>(opt);
        if (cc != CC_Slider || !so) return QProxyStyle::subControlRect(cc, opt, sc, w);
        const QRect all = so->rect;
        const bool horizontal = so->orientation == Qt::Horizontal;
        const int extent = horizontal ? all.width() : all.height();
        const int length = std::clamp(m_length, 1, std::max(1, extent));
        switch (sc) {
        case SC_SliderHandle: {
            const int at =
                sliderPositionFromValue(so->minimum, so->maximum, so->sliderPosition, extent - length, so->upsideDown);
            return horizontal ? QRect(all.x() + at, all.y(), length, all.height())
                              : QRect(all.x(), all.y() + at, all.width(), length);
        }
        case SC_SliderGroove: return all;
        default: return QProxyStyle::subControlRect(cc, opt, sc, w);
        }
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* opt, const QWidget* w) const override
    {
        if (metric == PM_SliderLength) return m_length;
        return QProxyStyle::pixelMetric(metric, opt, w);
    }

    int styleHint(StyleHint hint, const QStyleOption* opt, const QWidget* w, QStyleHintReturn* ret) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons) return Qt::NoButton;
        return QProxyStyle::styleHint(hint, opt, w, ret);
    }

    SubControl hitTestComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, const QPoint& pt,
                                     const QWidget* w) const override
    {
        const SubControl sc = QProxyStyle::hitTestComplexControl(cc, opt, pt, w);
        const auto* s = qobject_cast<const QAbstractSlider*>(w ? w : parent());
        if (cc == CC_Slider && sc == SC_SliderGroove && s && s->pageStep() == 0) return SC_None;
        return sc;
    }

private:
    int m_length;
};

void SendScroll(HWND hwnd, UINT code)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || !c->parent || c->notifyBlock > 0) return;
    auto* s = qobject_cast<QSlider*>(c->widget);
    if (!s) return;
    const int pos = (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ? s->sliderPosition() : 0;
    const UINT msg = (c->style & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    c->parent->Dispatch(msg, MAKEWPARAM(static_cast<int>(code), pos), LParamFromHwnd(hwnd));
}

}  // namespace

QWidget* MakeSliderHost(WndCore* c, QWidget* parent)
{
    const bool vertical = c->style & TBS_VERT;
    auto* s = new SliderHost(vertical ? Qt::Vertical : Qt::Horizontal, parent);
    s->setRange(0, 100);
    s->setSingleStep(1);
    s->setPageStep(20);
    if (vertical) {
        // The minimum is at the top, as with the system's trackbar.
        s->setInvertedAppearance(true);
        s->setInvertedControls(true);
    }
    s->setFocusPolicy((c->style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    return s;
}

void CSliderCtrl::SetRange(int minPos, int maxPos, BOOL redraw)
{
    auto* s = WidgetOf<QSlider>(this);
    if (!s) return;
    s->setRange(minPos, maxPos);
    if (redraw) s->update();
}

void CSliderCtrl::SetPos(int pos)
{
    auto* s = WidgetOf<QSlider>(this);
    if (!s) return;
    ++WndAccess::Core(this)->notifyBlock;
    s->setValue(pos);
    s->setSliderPosition(s->value());
    --WndAccess::Core(this)->notifyBlock;
}

int CSliderCtrl::GetPos() const
{
    auto* s = WidgetOf<QSlider>(this);
    return s ? s->sliderPosition() : 0;
}

int CSliderCtrl::SetLineSize(int size)
{
    auto* s = WidgetOf<QSlider>(this);
    if (!s) return 0;
    const int old = s->singleStep();
    s->setSingleStep(size);
    return old;
}

int CSliderCtrl::SetPageSize(int size)
{
    auto* s = WidgetOf<QSlider>(this);
    if (!s) return 0;
    const int old = s->pageStep();
    s->setPageStep(size);
    return old;
}

void CSliderCtrl::SetThumbLength(int pixels)
{
    auto* s = WidgetOf<QSlider>(this);
    if (!s) return;
    QStyle* old = s->style();
    if (pixels > 0) {
        auto* style = new PictureThumbStyle(pixels);
        style->setParent(s);
        s->setStyle(style);
    } else {
        s->setStyle(nullptr);
    }
    if (old && old->parent() == s) old->deleteLater();
    s->update();
}

void CSliderCtrl::GetThumbRect(LPRECT rect) const
{
    *rect = RECT{};
    if (auto* s = dynamic_cast<SliderHost*>(WndAccess::Widget(this))) {
        const QRect r = s->Part(QStyle::SC_SliderHandle);
        *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }
}

void CSliderCtrl::GetChannelRect(LPRECT rect) const
{
    *rect = RECT{};
    if (auto* s = dynamic_cast<SliderHost*>(WndAccess::Widget(this))) {
        const QRect r = s->Part(QStyle::SC_SliderGroove);
        *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }
}

void ConnectSliderSignals(WndCore* c)
{
    const HWND hwnd = c->hwnd;
    auto* s = static_cast<QSlider*>(c->widget);
    QObject::connect(s, &QAbstractSlider::actionTriggered, [hwnd](int action) {
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: SendScroll(hwnd, SB_LINEDOWN); break;
        case QAbstractSlider::SliderSingleStepSub: SendScroll(hwnd, SB_LINEUP); break;
        case QAbstractSlider::SliderPageStepAdd: SendScroll(hwnd, SB_PAGEDOWN); break;
        case QAbstractSlider::SliderPageStepSub: SendScroll(hwnd, SB_PAGEUP); break;
        case QAbstractSlider::SliderToMinimum: SendScroll(hwnd, SB_TOP); break;
        case QAbstractSlider::SliderToMaximum: SendScroll(hwnd, SB_BOTTOM); break;
        case QAbstractSlider::SliderMove: SendScroll(hwnd, SB_THUMBTRACK); return;
        default: return;
        }
        SendScroll(hwnd, SB_ENDSCROLL);
    });
    QObject::connect(s, &QAbstractSlider::sliderReleased, [hwnd] {
        SendScroll(hwnd, SB_THUMBPOSITION);
        SendScroll(hwnd, SB_ENDSCROLL);
    });
}
