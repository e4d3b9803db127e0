// Combo boxes over QComboBox: the host with its drop-down notifications, the
// owner-drawn items, the list's hover tracking, the items and the selection.
#include <QAbstractItemView>
#include <QComboBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>

#include "platform/controls.h"
#include "platform/controls_qt.h"

namespace {

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
        dis.hDC = HdcOf(painter);
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
        if (c->parent)
            c->parent->Dispatch(WM_MEASUREITEM, static_cast<WPARAM>(c->id), reinterpret_cast<intptr_t>(&mis));
        else if (c->owner) c->owner->MeasureItem(&mis);
        return QSize(static_cast<int>(mis.itemWidth), static_cast<int>(mis.itemHeight));
    }

private:
    HWND m_combo;
};

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

}  // namespace

QWidget* MakeComboHost(WndCore* c, QWidget* parent)
{
    auto* box = new ComboHost(parent);
    box->view()->viewport()->installEventFilter(new ListHoverFilter(c->hwnd, box->view()));
    const DWORD type = c->style & 0x3;
    box->setEditable(type == CBS_DROPDOWN || type == CBS_SIMPLE);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setFocusPolicy((c->style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    if (c->style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))
        box->setItemDelegate(new OwnerDrawDelegate(c->hwnd, box));
    return box;
}

int ComboFieldHeight(const WndCore* c)
{
    auto it = c->itemHeights.find(-1);
    const int item = it != c->itemHeights.end() ? it->second : (c->widget ? c->widget->fontMetrics().height() + 2 : 15);
    return item + 6;
}

int CComboBox::AddString(const wchar_t* text)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box) return CB_ERR;
    const QString q = QString::fromWCharArray(text ? text : L"");
    int index = box->count();
    if (SortedCombo(WndAccess::Core(this))) {
        index = 0;
        while (index < box->count() && QString::compare(box->itemText(index), q, Qt::CaseInsensitive) <= 0) ++index;
    }
    KeepSelection keep(WndAccess::Core(this), box);
    box->insertItem(index, q);
    return index;
}

int CComboBox::InsertString(int index, const wchar_t* text)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box || index > box->count()) return CB_ERR;
    if (index < 0) index = box->count();
    KeepSelection keep(WndAccess::Core(this), box);
    box->insertItem(index, QString::fromWCharArray(text ? text : L""));
    return index;
}

int CComboBox::DeleteString(UINT index)
{
    auto* box = WidgetOf<QComboBox>(this);
    if (!box || static_cast<int>(index) >= box->count()) return CB_ERR;
    WndCore* c = WndAccess::Core(this);
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
    ++WndAccess::Core(this)->notifyBlock;
    box->clear();
    --WndAccess::Core(this)->notifyBlock;
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
    ++WndAccess::Core(this)->notifyBlock;
    const bool valid = index >= 0 && index < box->count();
    box->setCurrentIndex(valid ? index : -1);
    --WndAccess::Core(this)->notifyBlock;
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
    WndCore* c = WndAccess::Core(this);
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
    WndCore* c = WndAccess::Core(this);
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

void ConnectComboSignals(WndCore* c)
{
    const HWND hwnd = c->hwnd;
    auto* box = static_cast<QComboBox*>(c->widget);
    // The user's choice only: a change from code (SetCurSel) is silent.
    QObject::connect(box, &QComboBox::activated, [hwnd] { NotifyParentOf(hwnd, CBN_SELCHANGE); });
    QObject::connect(box, &QComboBox::editTextChanged, [hwnd] {
        WndCore* core = WndCore::FromHwnd(hwnd);
        if (core && qobject_cast<QComboBox*>(core->widget) && static_cast<QComboBox*>(core->widget)->isEditable())
            NotifyParentOf(hwnd, CBN_EDITCHANGE);
    });
}
