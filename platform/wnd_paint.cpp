// Painting of windows: WM_ERASEBKGND and WM_PAINT around a paint pass, the
// control colours asked of the parent, owner draw, and the device contexts
// of windows.
#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include "platform/wnd_qt.h"

namespace {

UINT CtlColorKindOf(const WndCore* c)
{
    switch (c->kind) {
    case WndKind::Edit: {
        auto* e = qobject_cast<QLineEdit*>(c->widget);
        return (e && (e->isReadOnly() || !e->isEnabled())) ? CTLCOLOR_STATIC : CTLCOLOR_EDIT;
    }
    case WndKind::Button: return CTLCOLOR_BTN;
    default: return CTLCOLOR_STATIC;
    }
}

// Asks the parent for the control's colours (WM_CTLCOLOR*) and applies its
// answer to the widget's palette.
void ApplyCtlColor(WndCore* c)
{
    WndCore* p = c->parent;
    if (!p || !p->owner) return;
    QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
    QPainter sp(&scratch);
    PainterDC dc(&sp, ScreenDpiForDrawing(), ScreenDpiForDrawing());
    const QPalette base = QApplication::palette(c->widget);
    const QPalette::ColorRole textRole = c->kind == WndKind::Edit ? QPalette::Text : QPalette::WindowText;
    dc.SetTextColor(FromQColor(base.color(textRole)));
    const UINT kind = CtlColorKindOf(c);
    const LRESULT r =
        p->Dispatch(WM_CTLCOLORMSGBOX + kind, reinterpret_cast<uintptr_t>(HdcOf(&sp)), LParamFromHwnd(c->hwnd));
    sp.end();
    if (c->dead || !c->widget) return;
    auto* brush = reinterpret_cast<CBrush*>(static_cast<intptr_t>(r));
    c->textBox = false;
    if (!brush) {
        if (c->ctlColorApplied) {
            c->widget->setPalette(QPalette());
            c->widget->setAutoFillBackground(false);
            c->ctlColorApplied = false;
        }
        return;
    }
    QPalette pal = base;
    const QColor text = ToQColor(dc.GetTextColor());
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(g, QPalette::WindowText, text);
        pal.setColor(g, QPalette::Text, text);
        pal.setColor(g, QPalette::ButtonText, text);
    }
    const bool fill = !brush->IsNull();
    // As an edit control draws its text: in the background colour when the
    // mode stays opaque; only a colour the answer chose shows.
    c->textBox = fill && c->kind == WndKind::Edit && dc.GetBkMode() == OPAQUE && dc.BkColorChosen() &&
                 dc.GetBkColor() != brush->GetColor();
    if (fill) {
        const QColor bk = ToQColor(brush->GetColor());
        pal.setColor(QPalette::Window, bk);
        pal.setColor(QPalette::Base, c->textBox ? QColor(Qt::transparent) : bk);
        c->fieldColor = brush->GetColor();
        c->boxColor = dc.GetBkColor();
    } else if (c->kind == WndKind::Edit) {
        pal.setColor(QPalette::Base, Qt::transparent);
    }
    if (c->widget->palette() != pal) c->widget->setPalette(pal);
    if (c->kind != WndKind::Edit && c->widget->autoFillBackground() != fill) c->widget->setAutoFillBackground(fill);
    c->ctlColorApplied = true;
}

// The field and the box behind its text, under the line edit's own painting
// (which then draws the text on a transparent base): the box is the text's
// advance wide and the font's height high, where the line edit puts the
// text (its 2-pixel side margins, centred vertically, aligned as set).
void PaintTextBox(WndCore* c)
{
    auto* e = qobject_cast<QLineEdit*>(c->widget);
    if (!e) return;
    QPainter p(e);
    p.fillRect(e->rect(), ToQColor(c->fieldColor));
    const QString text = e->displayText();
    if (text.isEmpty()) return;
    const int frame = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, e) : 0;
    const QRect r = e->rect().adjusted(frame, frame, -frame, -frame).marginsRemoved(e->textMargins());
    const QFontMetrics fm = e->fontMetrics();
    const int lineHeight = std::max(fm.boundingRect(text).height(), fm.height());
    constexpr int kMargin = 2;
    const QRect line(r.x() + kMargin, r.y() + (r.height() - lineHeight + 1) / 2, r.width() - 2 * kMargin, lineHeight);
    const int width = fm.horizontalAdvance(text);
    const int used = width + 2;  // the text and the cursor's width
    int x = line.x();
    if (used <= line.width()) {
        if (e->alignment() & Qt::AlignHCenter) x += (line.width() - used) / 2;
        else if (e->alignment() & Qt::AlignRight) x += line.width() - used - 1;
    }
    p.fillRect(QRect(x, line.y(), width, fm.height()).intersected(line), ToQColor(c->boxColor));
}

bool IsOwnerDrawn(const WndCore* c)
{
    if (c->kind == WndKind::Button) return (c->style & BS_TYPEMASK) == BS_OWNERDRAW;
    if (c->kind == WndKind::Static) return (c->style & SS_TYPEMASK) == SS_OWNERDRAW;
    return false;
}

void DrawOwnerItem(WndCore* c)
{
    QPainter* p = c->EnsurePainter();
    if (!p) return;
    WndCore* parent = c->parent;
    const LPARAM self = LParamFromHwnd(c->hwnd);
    if (parent && c->kind == WndKind::Button) {
        SetCtlColorKind(CTLCOLOR_BTN);
        parent->Dispatch(WM_CTLCOLORBTN, reinterpret_cast<uintptr_t>(HdcOf(p)), self);
    }
    if (c->dead) return;
    DRAWITEMSTRUCT dis;
    dis.CtlType = c->kind == WndKind::Button ? ODT_BUTTON : ODT_STATIC;
    dis.CtlID = static_cast<UINT>(c->id);
    dis.itemAction = ODA_DRAWENTIRE;
    if (auto* b = qobject_cast<QAbstractButton*>(c->widget)) {
        if (b->isDown()) dis.itemState |= ODS_SELECTED;
        if (b->isChecked()) dis.itemState |= ODS_CHECKED;
    }
    if (c->widget->hasFocus()) dis.itemState |= ODS_FOCUS;
    if (!c->widget->isEnabled()) dis.itemState |= ODS_DISABLED;
    dis.hwndItem = c->hwnd;
    dis.hDC = HdcOf(p);
    dis.rcItem = CRect(0, 0, c->widget->width(), c->widget->height());
    dis.pDC = c->paintDc.get();
    // The item's context holds the control's font, as a button's does.
    CFont* font = c->font ? c->font : parent ? parent->templateFont.get() : nullptr;
    if (font && dis.pDC) dis.pDC->SelectObject(font);
    if (parent) parent->Dispatch(WM_DRAWITEM, static_cast<WPARAM>(c->id), reinterpret_cast<intptr_t>(&dis));
    else if (c->owner) c->owner->DrawItem(&dis);
}

LRESULT NativePaint(WndCore* c, HostBase* h, QPaintEvent* e)
{
    if (IsOwnerDrawn(c)) {
        DrawOwnerItem(c);
        return 0;
    }
    switch (c->kind) {
    case WndKind::Static:
    case WndKind::Edit:
    case WndKind::CheckBox:
    case WndKind::Radio:
    case WndKind::GroupBox:
        c->EndPainter();
        ApplyCtlColor(c);
        if (c->textBox && !c->dead) PaintTextBox(c);
        break;
    default: c->EndPainter(); break;
    }
    if (!c->dead && c->host) h->BaseEvent(e);
    return 0;
}

}  // namespace

void RoutePaint(WndCore* c, HostBase* h, QPaintEvent* e)
{
    c->inPaint = true;
    if (c->kind == WndKind::Generic || c->kind == WndKind::Dialog) {
        c->Dispatch(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(HdcOf(c->EnsurePainter())), 0);
    }
    const std::function<LRESULT()> native = [c, h, e] { return NativePaint(c, h, e); };
    if (!c->dead) c->Dispatch(WM_PAINT, 0, 0, &native);
    c->EndPainter();
    c->inPaint = false;
}

struct CPaintDC::Scratch {
    QImage image;
    QPainter painter;
    std::unique_ptr<PainterDC> dc;
};

CPaintDC::CPaintDC(CWnd* wnd) : m_wnd(wnd)
{
    WndCore* c = wnd ? WndAccess::Core(wnd) : nullptr;
    if (c && c->inPaint && c->EnsurePainter()) {
        Attach(HdcOf(c->painter));
        return;
    }
    m_scratch = new Scratch;
    const QSize size = (c && c->widget) ? c->widget->size().expandedTo(QSize(1, 1)) : QSize(1, 1);
    m_scratch->image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_scratch->image.fill(Qt::transparent);
    m_scratch->painter.begin(&m_scratch->image);
    m_scratch->dc = std::make_unique<PainterDC>(&m_scratch->painter, ScreenDpiForDrawing(), ScreenDpiForDrawing());
    Attach(HdcOf(&m_scratch->painter));
}

CPaintDC::~CPaintDC()
{
    Detach();
    if (m_scratch) {
        m_scratch->dc.reset();
        m_scratch->painter.end();
        delete m_scratch;
        if (WndCore* c = m_wnd ? WndAccess::Core(m_wnd) : nullptr) {
            if (c->widget) c->widget->update();
        }
    }
}
