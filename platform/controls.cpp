// The standard controls over their Qt widgets, and their notifications.
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QStyledItemDelegate>

#include "platform/controls.h"
#include "platform/wnd_qt.h"

namespace {

QString ToQ(const std::wstring& s) { return QString::fromStdWString(s); }
std::wstring FromQ(const QString& s) { return s.toStdWString(); }

template <class W>
W* WidgetOf(const CWnd* wnd)
{
    WndCore* c = wnd->Core();
    return c ? qobject_cast<W*>(c->widget) : nullptr;
}

class ComboHost : public Host<QComboBox> {
public:
    using Host<QComboBox>::Host;
    void showPopup() override
    {
        if (core) core->NotifyParent(CBN_DROPDOWN);
        Host<QComboBox>::showPopup();
    }
    void hidePopup() override
    {
        Host<QComboBox>::hidePopup();
        if (core) core->NotifyParent(CBN_CLOSEUP);
    }
};

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
            const int at = sliderPositionFromValue(so->minimum, so->maximum, so->sliderPosition, extent - length,
                                                   so->upsideDown);
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

// Items of an owner-drawn combo box, drawn and measured by the owner.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit OwnerDrawDelegate(HWND combo, QObject* parent) : QStyledItemDelegate(parent), m_combo(combo) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& opt, const QModelIndex& index) const override
    {
        WndCore* c = WndCore::FromHwnd(m_combo);
        if (!c || !c->owner) {
            QStyledItemDelegate::paint(painter, opt, index);
            return;
        }
        painter->save();
        PainterDC dc(painter, ScreenDpiForDrawing(), ScreenDpiForDrawing());
        DRAWITEMSTRUCT dis;
        dis.CtlType = ODT_COMBOBOX;
        dis.CtlID = static_cast<UINT>(c->id);
        dis.itemID = static_cast<UINT>(index.row());
        dis.itemAction = ODA_DRAWENTIRE;
        if (opt.state & (QStyle::State_Selected | QStyle::State_MouseOver)) dis.itemState |= ODS_SELECTED;
        if (!(opt.state & QStyle::State_Enabled)) dis.itemState |= ODS_DISABLED;
        dis.hwndItem = m_combo;
        dis.hDC = painter;
        const QRect r = opt.rect;
        dis.rcItem = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
        dis.itemData = index.data(Qt::UserRole).toULongLong();
        dis.pDC = &dc;
        if (c->parent) c->parent->Dispatch(WM_DRAWITEM, static_cast<WPARAM>(c->id), reinterpret_cast<intptr_t>(&dis));
        else c->owner->DrawItem(&dis);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override
    {
        WndCore* c = WndCore::FromHwnd(m_combo);
        if (!c) return QStyledItemDelegate::sizeHint(opt, index);
        MEASUREITEMSTRUCT mis;
        mis.CtlType = ODT_COMBOBOX;
        mis.CtlID = static_cast<UINT>(c->id);
        mis.itemID = static_cast<UINT>(index.row());
        mis.itemWidth = static_cast<UINT>(opt.rect.width());
        auto it = c->itemHeights.find(index.row());
        if (it == c->itemHeights.end()) it = c->itemHeights.find(0);
        mis.itemHeight = static_cast<UINT>(it != c->itemHeights.end() ? it->second : opt.fontMetrics.height());
        mis.itemData = index.data(Qt::UserRole).toULongLong();
        if (c->parent) c->parent->Dispatch(WM_MEASUREITEM, static_cast<WPARAM>(c->id), reinterpret_cast<intptr_t>(&mis));
        else if (c->owner) c->owner->MeasureItem(&mis);
        return QSize(static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight));
    }

private:
    HWND m_combo;
};

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

bool SortedCombo(const WndCore* c) { return (c->style & CBS_SORT) != 0; }

// Qt selects the first item put into an empty list; the system does not.
class KeepSelection {
public:
    explicit KeepSelection(WndCore* c, QComboBox* box) : m_core(c), m_box(box), m_index(box->currentIndex())
    {
        ++m_core->notifyBlock;
        if (box->isEditable()) m_text = box->currentText();
    }
    ~KeepSelection()
    {
        if (m_index < 0 && m_box->currentIndex() >= 0) {
            m_box->setCurrentIndex(-1);
            if (m_box->isEditable()) m_box->setEditText(m_text);
        }
        --m_core->notifyBlock;
    }
    KeepSelection(const KeepSelection&) = delete;
    KeepSelection& operator=(const KeepSelection&) = delete;

private:
    WndCore* m_core;
    QComboBox* m_box;
    int m_index;
    QString m_text;
};

}  // namespace

// Follows the mouse over a combo box's drop-down list: the item under it is
// kept, and the box is asked for the list's colours (WM_CTLCOLORLISTBOX), as
// the system's list does whenever it redraws while the mouse moves over it.
class ListHoverFilter : public QObject {
public:
    ListHoverFilter(HWND combo, QAbstractItemView* view) : QObject(view), m_combo(combo), m_view(view) {}

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::MouseMove) return false;
        WndCore* c = WndCore::FromHwnd(m_combo);
        if (!c || !m_view) return false;
        const QModelIndex index = m_view->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint());
        c->listHotRow = index.isValid() ? index.row() : -1;
        c->Dispatch(WM_CTLCOLORLISTBOX, 0, LParamFromHwnd(m_combo));
        return false;
    }

private:
    HWND m_combo;
    QPointer<QAbstractItemView> m_view;
};

QWidget* MakeComboHost(WndCore* c, QWidget* parent)
{
    auto* box = new ComboHost(parent);
    box->view()->viewport()->installEventFilter(new ListHoverFilter(c->hwnd, box->view()));
    const DWORD type = c->style & 0x3;
    box->setEditable(type == CBS_DROPDOWN || type == CBS_SIMPLE);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFocusPolicy((c->style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    if (c->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) box->setItemDelegate(new OwnerDrawDelegate(c->hwnd, box));
    return box;
}

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

void SetupStaticImage(WndCore* c, int imageId)
{
    auto* label = qobject_cast<QLabel*>(c->widget);
    if (!label || imageId == 0) return;
    const DWORD type = c->style & SS_TYPEMASK;
    QImage image;
    if (type == SS_ICON) image = LoadIconImage(imageId);
    else if (type == SS_BITMAP) image = LoadBitmapImage(imageId);
    if (!image.isNull()) label->setPixmap(QPixmap::fromImage(image));
}

void ConnectControlSignals(WndCore* c)
{
    const HWND hwnd = c->hwnd;
    auto notify = [hwnd](UINT code) {
        if (WndCore* core = WndCore::FromHwnd(hwnd)) core->NotifyParent(code);
    };
    switch (c->kind) {
    case WndKind::Edit:
        QObject::connect(static_cast<QLineEdit*>(c->widget), &QLineEdit::textChanged, [notify] {
            notify(EN_UPDATE);
            notify(EN_CHANGE);
        });
        break;
    case WndKind::Button:
    case WndKind::CheckBox:
    case WndKind::Radio:
        QObject::connect(static_cast<QAbstractButton*>(c->widget), &QAbstractButton::clicked, [hwnd, notify] {
            WndCore* core = WndCore::FromHwnd(hwnd);
            if (!core) return;
            if (core->kind == WndKind::Radio && (core->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON) UncheckGroupSiblings(core);
            notify(BN_CLICKED);
        });
        break;
    case WndKind::ComboBox: {
        auto* box = static_cast<QComboBox*>(c->widget);
        // The user's choice only: a change from code (SetCurSel) is silent.
        QObject::connect(box, &QComboBox::activated, [notify] { notify(CBN_SELCHANGE); });
        QObject::connect(box, &QComboBox::editTextChanged, [hwnd, notify] {
            WndCore* core = WndCore::FromHwnd(hwnd);
            if (core && qobject_cast<QComboBox*>(core->widget) && static_cast<QComboBox*>(core->widget)->isEditable())
                notify(CBN_EDITCHANGE);
        });
        break;
    }
    case WndKind::Slider: {
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
        break;
    }
    default: break;
    }
}

void SetCoreText(WndCore* c, const std::wstring& text)
{
    c->text = text;
    QWidget* w = c->widget;
    if (!w) return;
    const QString q = ToQ(text);
    switch (c->kind) {
    case WndKind::Dialog: w->setWindowTitle(q); break;
    case WndKind::Edit: static_cast<QLineEdit*>(w)->setText(q); break;
    case WndKind::Button:
    case WndKind::CheckBox:
    case WndKind::Radio: static_cast<QAbstractButton*>(w)->setText(q); break;
    case WndKind::GroupBox: static_cast<QGroupBox*>(w)->setTitle(q); break;
    case WndKind::Static: {
        auto* l = static_cast<QLabel*>(w);
        if (l->pixmap().isNull()) l->setText(StaticDisplayText(c, text));
        break;
    }
    case WndKind::ComboBox: {
        auto* box = static_cast<QComboBox*>(w);
        if (box->isEditable()) box->setEditText(q);
        break;
    }
    default: break;
    }
    w->update();
}

std::wstring GetCoreText(const WndCore* c)
{
    QWidget* w = c->widget;
    if (!w) return c->text;
    switch (c->kind) {
    case WndKind::Edit: return FromQ(static_cast<QLineEdit*>(w)->text());
    case WndKind::ComboBox: return FromQ(static_cast<QComboBox*>(w)->currentText());
    default: return c->text;
    }
}

int ComboFieldHeight(const WndCore* c)
{
    auto it = c->itemHeights.find(-1);
    const int item = it != c->itemHeights.end() ? it->second : (c->widget ? c->widget->fontMetrics().height() + 2 : 15);
    return item + 6;
}

// ---------------------------------------------------------------------------
// CEdit

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

// ---------------------------------------------------------------------------
// CButton

void CButton::SetState(BOOL highlight)
{
    if (auto* b = WidgetOf<QAbstractButton>(this)) b->setDown(highlight != FALSE);
}

// ---------------------------------------------------------------------------
// CComboBox

int CComboBox::AddString(const wchar_t* text)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box) return CB_ERR;
    const QString q = QString::fromWCharArray(text ? text : L"");
    int index = box->count();
    if (SortedCombo(Core())) {
        index = 0;
        while (index < box->count() && QString::compare(box->itemText(index), q, Qt::CaseInsensitive) <= 0) ++index;
    }
    KeepSelection keep(Core(), box);
    box->insertItem(index, q);
    return index;
}

int CComboBox::InsertString(int index, const wchar_t* text)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box || index > box->count()) return CB_ERR;
    if (index < 0) index = box->count();
    KeepSelection keep(Core(), box);
    box->insertItem(index, QString::fromWCharArray(text ? text : L""));
    return index;
}

int CComboBox::DeleteString(UINT index)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box || static_cast<int>(index) >= box->count()) return CB_ERR;
    WndCore* c = Core();
    const int cur = box->currentIndex();
    ++c->notifyBlock;
    box->removeItem(static_cast<int>(index));
    if (cur == static_cast<int>(index)) box->setCurrentIndex(-1);
    --c->notifyBlock;
    return box->count();
}

void CComboBox::ResetContent()
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box) return;
    ++Core()->notifyBlock;
    box->clear();
    --Core()->notifyBlock;
}

int CComboBox::GetCount() const
{
    auto* box = WidgetOf<QComboBox>(this);
    return box ? box->count() : CB_ERR;
}

int CComboBox::GetCurSel() const
{
    auto* box = WidgetOf<QComboBox>(this);
    return box ? box->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int index)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box) return CB_ERR;
    ++Core()->notifyBlock;
    const bool valid = index >= 0 && index < box->count();
    box->setCurrentIndex(valid ? index : -1);
    --Core()->notifyBlock;
    return valid ? index : CB_ERR;
}

int CComboBox::GetLBText(int index, std::wstring& text) const
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box || index < 0 || index >= box->count()) return CB_ERR;
    text = FromQ(box->itemText(index));
    return static_cast<int>(text.size());
}

int CComboBox::SetItemHeight(int index, UINT height)
{
    WndCore* c = Core();
    auto* box = WidgetOf<QComboBox>(this);
    if (!c || !box || height == 0 || height > 255) return CB_ERR;
    c->itemHeights[index < 0 ? -1 : index] = static_cast<int>(height);
    if (index < 0) {
        QRect g = box->geometry();
        g.setHeight(ComboFieldHeight(c));
        box->setGeometry(g);
    }
    return CB_OKAY;
}

void CComboBox::ShowDropDown(BOOL show)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box) return;
    if (show) box->showPopup();
    else box->hidePopup();
}

int CComboBox::GetListItemUnderCursor() const
{
    WndCore* c = Core();
    auto* box = WidgetOf<QComboBox>(this);
    if (!c || !box || c->listHotRow >= box->count()) return -1;
    return c->listHotRow;
}

BOOL CComboBox::GetListItemRect(int index, LPRECT rect) const
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box || !rect || index < 0 || index >= box->count()) return FALSE;
    const QRect r = box->view()->visualRect(box->model()->index(index, box->modelColumn()));
    *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return TRUE;
}

BOOL CComboBox::InvalidateListItem(int index)
{
    auto* box = WidgetOf<QComboBox>(this);
    CRect r;
    if (!box || !GetListItemRect(index, &r)) return FALSE;
    box->view()->viewport()->update(QRect(r.left, r.top, r.Width(), r.Height()));
    return TRUE;
}

// ---------------------------------------------------------------------------
// CSliderCtrl

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
    ++Core()->notifyBlock;
    s->setValue(pos);
    s->setSliderPosition(s->value());
    --Core()->notifyBlock;
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
    if (auto* s = dynamic_cast<SliderHost*>(GetWidget())) {
        const QRect r = s->Part(QStyle::SC_SliderHandle);
        *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }
}

void CSliderCtrl::GetChannelRect(LPRECT rect) const
{
    *rect = RECT{};
    if (auto* s = dynamic_cast<SliderHost*>(GetWidget())) {
        const QRect r = s->Part(QStyle::SC_SliderGroove);
        *rect = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    }
}

// ---------------------------------------------------------------------------
// CProgressCtrl

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
