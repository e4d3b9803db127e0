// Windows: the registry of handles, the window cores, CWnd and the default
// processing of messages.
#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QWindow>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QProgressBar>
#include <QRadioButton>

#include <typeinfo>

#include <atomic>
#include <mutex>
#include <unordered_map>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/msgbox.h"
#include "platform/menu.h"
#include "platform/wnd_qt.h"

namespace {

std::mutex g_regMutex;
std::unordered_map<HWND, WndCore*> g_windows;
uintptr_t g_nextHandle = 0x10000;
HWND g_captureHwnd = nullptr;

thread_local UINT t_ctlColorKind = 0;

QString ToQ(const std::wstring& s) { return QString::fromStdWString(s); }

}  // namespace

// ---------------------------------------------------------------------------
// Message maps

namespace msgmap {

const Entry* Find(const Map* map, UINT message, WPARAM wParam)
{
    for (; map; map = map->base ? map->base() : nullptr) {
        for (const Entry* e = map->entries; e->kind != EntryKind::End; ++e) {
            if (message < e->message || message > e->messageLast) continue;
            if (e->kind == EntryKind::Command) {
                const UINT code = HIWORD(wParam);
                const UINT id = LOWORD(wParam);
                if (code != e->code || id < e->idFirst || id > e->idLast) continue;
            }
            return e;
        }
    }
    return nullptr;
}

UINT CurrentCtlColorKind() { return t_ctlColorKind; }

}  // namespace msgmap

// ---------------------------------------------------------------------------
// Cores

WndCore* WndCore::FromHwnd(HWND hwnd)
{
    if (!hwnd) return nullptr;
    std::lock_guard lock(g_regMutex);
    auto it = g_windows.find(hwnd);
    return it == g_windows.end() ? nullptr : it->second;
}

WndCore* WndCore::FromWidget(const QWidget* w)
{
    for (; w; w = w->parentWidget()) {
        if (auto* h = dynamic_cast<const HostBase*>(w)) return h->core;
    }
    return nullptr;
}

void WndCore::AddRef(CWnd* wnd)
{
    refs.push_back(wnd);
    wnd->m_core = this;
    wnd->m_hWnd = hwnd;
}

void WndCore::RemoveRef(CWnd* wnd)
{
    std::erase(refs, wnd);
    wnd->m_core = nullptr;
    wnd->m_hWnd = nullptr;
    if (owner == wnd) owner = defaultObject.get();
}

CoreGuard::CoreGuard(WndCore* c) : m_core(c) { ++m_core->busy; }

CoreGuard::~CoreGuard()
{
    if (--m_core->busy == 0 && m_core->dead) delete m_core;
}

LRESULT WndCore::Dispatch(UINT msg, WPARAM w, LPARAM l, const std::function<LRESULT()>* native, bool* nativeRan)
{
    if (dead || !owner) return 0;
    CoreGuard guard(this);
    DispatchFrame f;
    f.msg = msg;
    f.w = w;
    f.l = l;
    f.native = native;
    f.prev = frame;
    frame = &f;
    const LRESULT r = owner->WindowProc(msg, w, l);
    frame = f.prev;
    if (nativeRan) *nativeRan = f.nativeRan;
    return r;
}

void WndCore::NotifyParent(UINT code)
{
    if (notifyBlock > 0 || !parent || dead) return;
    parent->Dispatch(WM_COMMAND, MAKEWPARAM(id, static_cast<int>(code)), LParamFromHwnd(hwnd));
}

QPainter* WndCore::EnsurePainter()
{
    if (!painter && widget) {
        painter = new QPainter(widget);
        paintDc = std::make_unique<PainterDC>(painter, ScreenDpiForDrawing(), ScreenDpiForDrawing());
    }
    return painter;
}

void WndCore::EndPainter()
{
    paintDc.reset();
    if (painter) {
        painter->end();
        delete painter;
        painter = nullptr;
    }
}

int ScreenDpiForDrawing() { return GetScreenDpi(); }

// ---------------------------------------------------------------------------
// Creation and destruction

namespace {

class CheckHost : public Host<QCheckBox> {
public:
    using Host<QCheckBox>::Host;
    bool autoCheck = true;

protected:
    void nextCheckState() override
    {
        if (autoCheck) Host<QCheckBox>::nextCheckState();
    }
};

class RadioHost : public Host<QRadioButton> {
public:
    using Host<QRadioButton>::Host;
    bool autoCheck = true;

protected:
    void nextCheckState() override
    {
        if (autoCheck && !isChecked()) setChecked(true);
    }
};

std::unique_ptr<CWnd> MakeDefaultObject(WndKind kind)
{
    switch (kind) {
    case WndKind::Edit: return std::make_unique<CEdit>();
    case WndKind::Button:
    case WndKind::CheckBox:
    case WndKind::Radio:
    case WndKind::GroupBox: return std::make_unique<CButton>();
    case WndKind::Static: return std::make_unique<CStatic>();
    case WndKind::ComboBox: return std::make_unique<CComboBox>();
    case WndKind::Slider: return std::make_unique<CSliderCtrl>();
    case WndKind::Progress: return std::make_unique<CProgressCtrl>();
    case WndKind::Dialog:
    case WndKind::Generic: break;
    }
    return std::make_unique<CWnd>();
}

// '&' marks a mnemonic in static texts ("&&" is a plain '&').
QString StripPrefix(const QString& s)
{
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) ++i;
        else if (s[i] == '&') continue;
        out += s[i];
    }
    return out;
}

}  // namespace

QString StaticDisplayText(const WndCore* c, const std::wstring& text)
{
    QString q = ToQ(text);
    return (c->style & SS_NOPREFIX) ? q : StripPrefix(q);
}


WndKind KindFromTemplate(const std::string& kindName, DWORD style)
{
    std::string k;
    for (char ch : kindName) k += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    if (k == "EDIT") return WndKind::Edit;
    if (k == "BUTTON") {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: return WndKind::CheckBox;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: return WndKind::Radio;
        case BS_GROUPBOX: return WndKind::GroupBox;
        default: return WndKind::Button;
        }
    }
    if (k == "STATIC") return WndKind::Static;
    if (k == "COMBOBOX") return WndKind::ComboBox;
    if (k == "SLIDER" || k == "MSCTLS_TRACKBAR32" || k == "TRACKBAR") return WndKind::Slider;
    if (k == "PROGRESS" || k == "MSCTLS_PROGRESS32") return WndKind::Progress;
    return WndKind::Generic;
}

static QWidget* MakeHostWidget(WndCore* c, QWidget* parent, int imageId)
{
    const DWORD s = c->style;
    const bool tabStop = (s & WS_TABSTOP) != 0;
    QWidget* w = nullptr;
    switch (c->kind) {
    case WndKind::Dialog: {
        Qt::WindowFlags flags = Qt::Dialog;
        if ((s & WS_CAPTION) == WS_CAPTION) flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
        else flags |= Qt::FramelessWindowHint;
        auto* d = new Host<QDialog>(parent, flags);
        d->setWindowTitle(ToQ(c->text));
        d->setSizeGripEnabled(false);
        w = d;
        break;
    }
    case WndKind::Edit: {
        auto* e = new Host<QLineEdit>(parent);
        e->setFrame((s & WS_BORDER) || (c->exStyle & WS_EX_CLIENTEDGE));
        Qt::Alignment a = Qt::AlignVCenter;
        if (s & ES_CENTER) a |= Qt::AlignHCenter;
        else if (s & ES_RIGHT) a |= Qt::AlignRight;
        else a |= Qt::AlignLeft;
        e->setAlignment(a);
        e->setReadOnly(s & ES_READONLY);
        if (s & ES_PASSWORD) e->setEchoMode(QLineEdit::Password);
        e->setMaxLength(32767);
        e->setText(ToQ(c->text));
        e->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        w = e;
        break;
    }
    case WndKind::Button: {
        auto* b = new Host<QPushButton>(parent);
        b->setAutoDefault(false);
        b->setDefault(false);
        b->setText(ToQ(c->text));
        b->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        w = b;
        break;
    }
    case WndKind::CheckBox: {
        auto* b = new CheckHost(parent);
        const DWORD t = s & BS_TYPEMASK;
        b->autoCheck = t == BS_AUTOCHECKBOX || t == BS_AUTO3STATE;
        b->setTristate(t == BS_3STATE || t == BS_AUTO3STATE);
        b->setText(ToQ(c->text));
        b->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        w = b;
        break;
    }
    case WndKind::Radio: {
        auto* b = new RadioHost(parent);
        b->autoCheck = (s & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
        b->setAutoExclusive(false);
        b->setText(ToQ(c->text));
        b->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
        w = b;
        break;
    }
    case WndKind::GroupBox: {
        auto* g = new Host<QGroupBox>(parent);
        g->setTitle(ToQ(c->text));
        g->setFocusPolicy(Qt::NoFocus);
        w = g;
        break;
    }
    case WndKind::Static: {
        auto* l = new Host<QLabel>(parent);
        l->setTextFormat(Qt::PlainText);
        const DWORD t = s & SS_TYPEMASK;
        Qt::Alignment a = (s & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
        if (t == SS_CENTER) a |= Qt::AlignHCenter;
        else if (t == SS_RIGHT) a |= Qt::AlignRight;
        else a |= Qt::AlignLeft;
        l->setAlignment(a);
        l->setWordWrap(t == SS_LEFT || t == SS_CENTER || t == SS_RIGHT);
        l->setText(StaticDisplayText(c, c->text));
        l->setFocusPolicy(Qt::NoFocus);
        w = l;
        break;
    }
    case WndKind::ComboBox: w = MakeComboHost(c, parent); break;
    case WndKind::Slider: w = MakeSliderHost(c, parent); break;
    case WndKind::Progress: {
        auto* p = new Host<QProgressBar>(parent);
        p->setRange(0, 100);
        p->setValue(0);
        p->setTextVisible(false);
        if (s & PBS_VERTICAL) p->setOrientation(Qt::Vertical);
        w = p;
        break;
    }
    case WndKind::Generic: {
        auto* g = new Host<QWidget>(parent);
        g->setFocusPolicy(Qt::NoFocus);
        w = g;
        break;
    }
    }
    w->setMouseTracking(true);
    w->setAttribute(Qt::WA_Hover, false);
    if (c->kind == WndKind::Static) SetupStaticImage(c, imageId);
    return w;
}

WndCore* CreateWindowCore(const WndCreate& p)
{
    auto* c = new WndCore;
    c->kind = p.kind;
    c->id = p.id;
    c->style = p.style;
    c->exStyle = p.exStyle;
    c->text = p.text;
    c->className = p.className;
    c->parent = p.parent;
    c->notifyBlock = 1;
    {
        std::lock_guard lock(g_regMutex);
        c->hwnd = reinterpret_cast<HWND>(g_nextHandle++);
        g_windows[c->hwnd] = c;
    }
    QWidget* parentWidget = p.parent ? p.parent->widget : p.parentWidget;
    c->widget = MakeHostWidget(c, parentWidget, p.imageId);
    c->host = dynamic_cast<HostBase*>(c->widget);
    if (p.parent) p.parent->children.push_back(c);
    if (p.object) {
        c->AddRef(p.object);
        c->owner = p.object;
    } else {
        c->defaultObject = MakeDefaultObject(p.kind);
        c->AddRef(c->defaultObject.get());
        c->owner = c->defaultObject.get();
    }
    c->host->core = c;
    ConnectControlSignals(c);
    if (p.style & WS_DISABLED) c->widget->setEnabled(false);
    if (p.parent) c->widget->setVisible((p.style & WS_VISIBLE) != 0);
    c->notifyBlock = 0;
    return c;
}

static void SendDestroy(WndCore* c)
{
    c->Dispatch(WM_DESTROY, 0, 0);
    const std::vector<WndCore*> kids = c->children;
    for (WndCore* k : kids) SendDestroy(k);
}

static void DetachCore(WndCore* c)
{
    const std::vector<WndCore*> kids = c->children;
    for (WndCore* k : kids) DetachCore(k);
    {
        std::lock_guard lock(g_regMutex);
        g_windows.erase(c->hwnd);
    }
    if (g_captureHwnd == c->hwnd) g_captureHwnd = nullptr;
    if (c->modalLoop) {
        c->modalEnded = true;
        c->modalLoop->exit();
    }
    c->timers.clear();
    c->hoverTimer.reset();
    if (c->host) c->host->core = nullptr;
    const std::vector<CWnd*> refs = c->refs;
    for (CWnd* r : refs) c->RemoveRef(r);
    c->owner = nullptr;
    c->children.clear();
    c->dead = true;
}

void DestroyWindowCore(WndCore* core, bool deferWidget)
{
    if (!core || core->dead) return;
    CoreGuard guard(core);
    SendDestroy(core);
    if (core->dead) return;
    if (core->parent) std::erase(core->parent->children, core);
    QWidget* w = core->widget;
    // Collect the subtree first: detaching clears the child lists.
    std::vector<WndCore*> all;
    std::function<void(WndCore*)> collect = [&](WndCore* c) {
        all.push_back(c);
        for (WndCore* k : c->children) collect(k);
    };
    collect(core);
    DetachCore(core);
    for (WndCore* c : all) {
        c->widget = nullptr;
        c->host = nullptr;
        c->parent = nullptr;
        if (c != core && c->busy == 0) delete c;
    }
    if (w) {
        w->hide();
        if (deferWidget) w->deleteLater();
        else delete w;
    }
}

void DestroyAllWindows()
{
    std::vector<HWND> tops;
    {
        std::lock_guard lock(g_regMutex);
        for (const auto& [h, c] : g_windows) {
            if (!c->parent) tops.push_back(h);
        }
    }
    for (HWND h : tops) {
        if (WndCore* c = WndCore::FromHwnd(h)) DestroyWindowCore(c, false);
    }
}

// ---------------------------------------------------------------------------
// Routing of Qt events

namespace {

UINT MkFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods)
{
    UINT f = 0;
    if (buttons & Qt::LeftButton) f |= MK_LBUTTON;
    if (buttons & Qt::RightButton) f |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) f |= MK_MBUTTON;
    if (mods & Qt::ShiftModifier) f |= MK_SHIFT;
    if (mods & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

UINT VkFromQt(int key, Qt::KeyboardModifiers mods)
{
    const bool keypad = mods & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return keypad ? VK_NUMPAD0 + (key - Qt::Key_0) : '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return VK_F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : 0;
    default: return 0;
    }
}

// Walks PreTranslateMessage from the window up to its top-level window.
bool WalkPreTranslate(WndCore* core, MSG* msg)
{
    HWND h = core->hwnd;
    while (h) {
        WndCore* c = WndCore::FromHwnd(h);
        if (!c || !c->owner) break;
        const HWND parent = c->parent ? c->parent->hwnd : nullptr;
        if (c->owner->PreTranslateMessage(msg)) return true;
        h = parent;
    }
    return false;
}

HWND g_lastFocusOut = nullptr;

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
    const LRESULT r = p->Dispatch(WM_CTLCOLORMSGBOX + kind, reinterpret_cast<uintptr_t>(&sp), LParamFromHwnd(c->hwnd));
    sp.end();
    if (c->dead || !c->widget) return;
    auto* brush = reinterpret_cast<CBrush*>(static_cast<intptr_t>(r));
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
    if (fill) {
        const QColor bk = ToQColor(brush->GetColor());
        pal.setColor(QPalette::Window, bk);
        pal.setColor(QPalette::Base, bk);
    } else if (c->kind == WndKind::Edit) {
        pal.setColor(QPalette::Base, Qt::transparent);
    }
    if (c->widget->palette() != pal) c->widget->setPalette(pal);
    if (c->kind != WndKind::Edit && c->widget->autoFillBackground() != fill) c->widget->setAutoFillBackground(fill);
    c->ctlColorApplied = true;
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
        t_ctlColorKind = CTLCOLOR_BTN;
        parent->Dispatch(WM_CTLCOLORBTN, reinterpret_cast<uintptr_t>(p), self);
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
    dis.hDC = p;
    dis.rcItem = CRect(0, 0, c->widget->width(), c->widget->height());
    dis.pDC = c->paintDc.get();
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
        break;
    default: c->EndPainter(); break;
    }
    if (!c->dead && c->host) h->BaseEvent(e);
    return 0;
}

void RoutePaint(WndCore* c, HostBase* h, QPaintEvent* e)
{
    c->inPaint = true;
    if (c->kind == WndKind::Generic || c->kind == WndKind::Dialog) {
        c->Dispatch(WM_ERASEBKGND, reinterpret_cast<uintptr_t>(c->EnsurePainter()), 0);
    }
    const std::function<LRESULT()> native = [c, h, e] { return NativePaint(c, h, e); };
    if (!c->dead) c->Dispatch(WM_PAINT, 0, 0, &native);
    c->EndPainter();
    c->inPaint = false;
}

UINT MouseMessage(QEvent::Type type, Qt::MouseButton button)
{
    const int b = button == Qt::LeftButton ? 0 : button == Qt::RightButton ? 1 : button == Qt::MiddleButton ? 2 : -1;
    switch (type) {
    case QEvent::MouseMove: return WM_MOUSEMOVE;
    case QEvent::MouseButtonPress: return b == 0 ? WM_LBUTTONDOWN : b == 1 ? WM_RBUTTONDOWN : b == 2 ? WM_MBUTTONDOWN : 0;
    case QEvent::MouseButtonRelease: return b == 0 ? WM_LBUTTONUP : b == 1 ? WM_RBUTTONUP : b == 2 ? WM_MBUTTONUP : 0;
    case QEvent::MouseButtonDblClick:
        return b == 0 ? WM_LBUTTONDBLCLK : b == 1 ? WM_RBUTTONDBLCLK : b == 2 ? WM_MBUTTONDOWN : 0;
    default: return 0;
    }
}

bool RouteMouse(WndCore* c, HostBase* h, QMouseEvent* e, bool* result)
{
    const UINT msg = MouseMessage(e->type(), e->button());
    if (!msg) return false;
    const QPoint pos = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    if (msg != WM_MOUSEMOVE || e->buttons() == Qt::NoButton) {
        // Statics and group boxes let the mouse through to their parent.
        if (c->kind == WndKind::Static || c->kind == WndKind::GroupBox) {
            if (c->Dispatch(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTTRANSPARENT) {
                e->ignore();
                *result = false;
                return true;
            }
        }
    }
    if (c->dead) return true;
    if (c->kind == WndKind::Dialog && msg == WM_RBUTTONUP && (c->style & WS_SYSMENU)) {
        // A right click where the hit test says caption opens the system menu.
        if (c->Dispatch(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTCAPTION) {
            e->accept();
            *result = true;
            ShowSystemMenu(c->hwnd, POINT{global.x(), global.y()});
            return true;
        }
    }
    if (c->kind == WndKind::Dialog && msg == WM_LBUTTONDOWN) {
        if (c->Dispatch(WM_NCHITTEST, 0, MAKELPARAM(global.x(), global.y())) == HTCAPTION) {
            if (c->widget && c->widget->windowHandle()) c->widget->windowHandle()->startSystemMove();
            e->accept();
            *result = true;
            return true;
        }
    }
    if (c->dead) return true;
    const WPARAM mk = MkFlags(e->buttons(), e->modifiers());
    if (msg == WM_MOUSEMOVE && (c->trackFlags & TME_HOVER) && c->hoverTimer) c->hoverTimer->start(static_cast<int>(c->hoverMs));
    const std::function<LRESULT()> native = [c, h, e, msg] {
        const LRESULT r = h->BaseEvent(e) ? 1 : 0;
        if (msg == WM_LBUTTONUP && c->kind == WndKind::Static && (c->style & SS_NOTIFY) && !c->dead) c->NotifyParent(STN_CLICKED);
        return r;
    };
    c->Dispatch(msg, mk, MAKELPARAM(pos.x(), pos.y()), &native);
    e->accept();
    *result = true;
    return true;
}

bool RouteWheel(WndCore* c, HostBase* h, QWheelEvent* e, bool* result)
{
    const QPoint global = e->globalPosition().toPoint();
    const int delta = e->angleDelta().y();
    if (delta == 0) return false;
    const WPARAM w = MAKEWPARAM(static_cast<int>(MkFlags(e->buttons(), e->modifiers())), delta);
    bool ran = false;
    bool base = false;
    const std::function<LRESULT()> native = [h, e, &base] {
        base = h->BaseEvent(e);
        return static_cast<LRESULT>(base);
    };
    c->Dispatch(WM_MOUSEWHEEL, w, MAKELPARAM(global.x(), global.y()), &native, &ran);
    if (!ran) e->accept();
    *result = ran ? base : true;
    return true;
}

bool RouteKey(WndCore* c, HostBase* h, QKeyEvent* e, bool* result)
{
    const bool press = e->type() == QEvent::KeyPress;
    const UINT vk = VkFromQt(e->key(), e->modifiers());
    const bool alt = e->modifiers() & Qt::AltModifier;
    if (press && alt && e->key() == Qt::Key_Space) {
        // Alt+Space: the system menu of the top-level window, at its corner.
        WndCore* top = c;
        while (top->parent) top = top->parent;
        if (top->widget && (top->style & WS_SYSMENU)) {
            const QPoint corner = top->widget->mapToGlobal(QPoint(0, 0));
            e->accept();
            *result = true;
            ShowSystemMenu(top->hwnd, POINT{corner.x(), corner.y()});
            return true;
        }
    }
    const UINT msg = press ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lp = 1;
    if (e->isAutoRepeat() || !press) lp |= LPARAM(1) << 30;
    if (!press) lp |= LPARAM(1) << 31;
    const HWND hwnd = c->hwnd;
    bool runBase = vk == 0;
    bool keyDefault = false;
    const std::function<LRESULT()> markKey = [&keyDefault] {
        keyDefault = true;
        return LRESULT(0);
    };
    if (vk) {
        MSG m{hwnd, msg, vk, lp, 0, {}};
        if (WalkPreTranslate(c, &m)) {
            e->accept();
            *result = true;
            return true;
        }
        if (c->dead) return true;
        c->Dispatch(msg, vk, lp, &markKey);
        if (keyDefault) runBase = true;
    }
    if (press && !alt && !c->dead) {
        const QString text = e->text();
        for (QChar ch : text) {
            MSG m{hwnd, WM_CHAR, ch.unicode(), lp, 0, {}};
            if (WalkPreTranslate(c, &m) || c->dead) continue;
            bool charDefault = false;
            const std::function<LRESULT()> markChar = [&charDefault] {
                charDefault = true;
                return LRESULT(0);
            };
            c->Dispatch(WM_CHAR, ch.unicode(), lp, &markChar);
            if (charDefault) runBase = true;
        }
    }
    if (runBase && !c->dead && c->host) h->BaseEvent(e);
    e->accept();
    *result = true;
    return true;
}

void FocusNotify(WndCore* c, bool in)
{
    switch (c->kind) {
    case WndKind::Edit: c->NotifyParent(in ? EN_SETFOCUS : EN_KILLFOCUS); break;
    case WndKind::ComboBox: c->NotifyParent(in ? CBN_SETFOCUS : CBN_KILLFOCUS); break;
    case WndKind::Button:
        if (c->style & BS_NOTIFY) c->NotifyParent(in ? BN_SETFOCUS : BN_KILLFOCUS);
        break;
    default: break;
    }
}

bool RouteFocus(WndCore* c, HostBase* h, QFocusEvent* e, bool* result)
{
    if (e->reason() == Qt::PopupFocusReason) return false;
    const bool in = e->type() == QEvent::FocusIn;
    HWND other = nullptr;
    if (in) {
        other = g_lastFocusOut;
    } else {
        if (WndCore* n = WndCore::FromWidget(QApplication::focusWidget())) other = n->hwnd;
        g_lastFocusOut = c->hwnd;
    }
    bool base = false;
    const std::function<LRESULT()> native = [c, h, e, in, &base] {
        base = h->BaseEvent(e);
        if (!c->dead) FocusNotify(c, in);
        return LRESULT(0);
    };
    c->Dispatch(in ? WM_SETFOCUS : WM_KILLFOCUS, LParamFromHwnd(other), 0, &native);
    *result = true;
    return true;
}

}  // namespace

bool RouteHostEvent(HostBase* host, QEvent* e, bool* result)
{
    WndCore* c = host->core;
    CoreGuard guard(c);
    switch (e->type()) {
    case QEvent::Paint:
        RoutePaint(c, host, static_cast<QPaintEvent*>(e));
        *result = true;
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: return RouteMouse(c, host, static_cast<QMouseEvent*>(e), result);
    case QEvent::Wheel: return RouteWheel(c, host, static_cast<QWheelEvent*>(e), result);
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return RouteKey(c, host, static_cast<QKeyEvent*>(e), result);
    case QEvent::FocusIn:
    case QEvent::FocusOut: return RouteFocus(c, host, static_cast<QFocusEvent*>(e), result);
    case QEvent::Leave:
        if (c->trackFlags & TME_LEAVE) {
            c->trackFlags = 0;
            if (c->hoverTimer) c->hoverTimer->stop();
            c->Dispatch(WM_MOUSELEAVE, 0, 0);
        }
        return false;
    case QEvent::Resize: {
        *result = host->BaseEvent(e);
        if (!c->dead && c->widget)
            c->Dispatch(WM_SIZE, SIZE_RESTORED, MAKELPARAM(c->widget->width(), c->widget->height()));
        return true;
    }
    case QEvent::Close:
        if (c->IsTopLevel()) {
            e->ignore();
            c->Dispatch(WM_CLOSE, 0, 0);
            *result = true;
            return true;
        }
        return false;
    default: return false;
    }
}

// ---------------------------------------------------------------------------
// CWnd

const CWnd CWnd::wndTop;
const CWnd CWnd::wndBottom;

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    WndCore* c = m_core;
    if (!c) return;
    // A window without a default object (made by Create) goes with the
    // object that receives its messages.
    const bool sole = c->owner == this && !c->defaultObject;
    c->RemoveRef(this);
    if (sole && !c->dead) DestroyWindowCore(c, true);
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    return c ? c->owner : nullptr;
}

QWidget* CWnd::GetWidget() const { return m_core ? m_core->widget : nullptr; }

HDC CWnd::GetPaintHdc() const { return (m_core && m_core->inPaint) ? m_core->EnsurePainter() : nullptr; }

const ::msgmap::Map* CWnd::GetThisMessageMap()
{
    static const ::msgmap::Entry entries[] = {::msgmap::Entry{}};
    static const ::msgmap::Map map = {nullptr, entries};
    return &map;
}

const ::msgmap::Map* CWnd::GetMessageMap() const { return GetThisMessageMap(); }

BOOL CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    if (m_core) return FALSE;
    EnsureUiApplication();
    WndCreate p;
    p.kind = WndKind::Generic;
    p.parent = parent ? parent->m_core : nullptr;
    p.id = static_cast<int>(id);
    p.style = style;
    p.text = windowName ? windowName : L"";
    p.className = className ? className : L"";
    p.object = this;
    if (parent && !p.parent) return FALSE;
    WndCore* c = CreateWindowCore(p);
    c->widget->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    if (!p.parent && (style & WS_VISIBLE)) c->widget->show();
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_core) return FALSE;
    DestroyWindowCore(m_core, true);
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    WndCore* c = WndCore::FromHwnd(hwnd);
    if (!c || m_core) return FALSE;
    if (c->owner && c->owner != c->defaultObject.get()) return FALSE;
    c->AddRef(this);
    c->owner = this;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (!parent) return FALSE;
    CWnd* item = parent->GetDlgItem(static_cast<int>(id));
    return item ? SubclassWindow(item->m_hWnd) : FALSE;
}

int CWnd::GetDlgCtrlID() const { return m_core ? m_core->id : 0; }

int CWnd::SetDlgCtrlID(int id)
{
    if (!m_core) return 0;
    const int old = m_core->id;
    m_core->id = id;
    return old;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    if (!m_core) return nullptr;
    for (WndCore* k : m_core->children) {
        if (k->id == id) return k->owner;
    }
    return nullptr;
}

CWnd* CWnd::GetParent() const { return (m_core && m_core->parent) ? m_core->parent->owner : nullptr; }

DWORD CWnd::GetStyle() const
{
    if (!m_core || !m_core->widget) return 0;
    DWORD s = m_core->style & ~(WS_VISIBLE | WS_DISABLED);
    if (!m_core->widget->isHidden()) s |= WS_VISIBLE;
    if (m_core->widget->testAttribute(Qt::WA_ForceDisabled)) s |= WS_DISABLED;
    return s;
}

DWORD CWnd::GetExStyle() const { return m_core ? m_core->exStyle : 0; }

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT)
{
    if (!m_core) return FALSE;
    const DWORD before = GetStyle();
    const DWORD after = (before & ~remove) | add;
    if (after == before) return FALSE;
    m_core->style = after;
    if ((after ^ before) & WS_VISIBLE) ShowWindow((after & WS_VISIBLE) ? SW_SHOW : SW_HIDE);
    if ((after ^ before) & WS_DISABLED) EnableWindow(!(after & WS_DISABLED));
    if (m_core->widget) m_core->widget->update();
    return TRUE;
}


void CWnd::SetWindowText(const std::wstring& text)
{
    if (m_core) SetCoreText(m_core, text);
}

void CWnd::GetWindowText(std::wstring& text) const { text = m_core ? GetCoreText(m_core) : std::wstring(); }

std::wstring CWnd::GetWindowTextString() const { return m_core ? GetCoreText(m_core) : std::wstring(); }

int CWnd::GetWindowTextLength() const { return static_cast<int>(GetWindowTextString().size()); }

void CWnd::SetDlgItemText(int id, const std::wstring& text)
{
    if (CWnd* w = GetDlgItem(id)) w->SetWindowText(text);
}

UINT CWnd::GetDlgItemText(int id, std::wstring& text) const
{
    text.clear();
    if (CWnd* w = GetDlgItem(id)) w->GetWindowText(text);
    return static_cast<UINT>(text.size());
}

void CWnd::SetDlgItemInt(int id, UINT value, BOOL isSigned)
{
    SetDlgItemText(id, isSigned ? std::to_wstring(static_cast<int>(value)) : std::to_wstring(value));
}

UINT CWnd::GetDlgItemInt(int id, BOOL* translated, BOOL isSigned) const
{
    std::wstring t;
    GetDlgItemText(id, t);
    size_t i = 0;
    while (i < t.size() && t[i] == L' ') ++i;
    bool neg = false;
    if (isSigned && i < t.size() && t[i] == L'-') {
        neg = true;
        ++i;
    }
    const size_t digits = i;
    int64_t v = 0;
    while (i < t.size() && t[i] >= L'0' && t[i] <= L'9' && v <= 0xFFFFFFFFLL) v = v * 10 + (t[i++] - L'0');
    while (i < t.size() && t[i] == L' ') ++i;
    const bool ok = i == t.size() && i > digits && v <= (isSigned ? (neg ? 0x80000000LL : 0x7FFFFFFFLL) : 0xFFFFFFFFLL);
    if (translated) *translated = ok ? TRUE : FALSE;
    if (!ok) return 0;
    return static_cast<UINT>(neg ? -v : v);
}

void CWnd::CheckDlgButton(int id, UINT check)
{
    if (auto* b = dynamic_cast<CButton*>(GetDlgItem(id))) b->SetCheck(static_cast<int>(check));
}

UINT CWnd::IsDlgButtonChecked(int id) const
{
    auto* b = dynamic_cast<CButton*>(GetDlgItem(id));
    return b ? static_cast<UINT>(b->GetCheck()) : 0;
}

BOOL CWnd::ShowWindow(int cmd)
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget;
    const BOOL was = !w->isHidden();
    switch (cmd) {
    case SW_HIDE: w->hide(); break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        if (m_core->IsTopLevel()) w->showMinimized();
        else w->show();
        break;
    case SW_SHOWMAXIMIZED:
        if (m_core->IsTopLevel()) w->showMaximized();
        else w->show();
        break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
        if (m_core->IsTopLevel() && (w->isMinimized() || w->isMaximized())) w->showNormal();
        else w->show();
        break;
    default: w->show(); break;
    }
    return was;
}

BOOL CWnd::IsWindowVisible() const { return (m_core && m_core->widget && m_core->widget->isVisible()) ? TRUE : FALSE; }

BOOL CWnd::EnableWindow(BOOL enable)
{
    if (!m_core || !m_core->widget) return FALSE;
    const BOOL wasDisabled = m_core->widget->testAttribute(Qt::WA_ForceDisabled);
    m_core->widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    return (m_core && m_core->widget && !m_core->widget->testAttribute(Qt::WA_ForceDisabled)) ? TRUE : FALSE;
}

BOOL CWnd::IsIconic() const { return (m_core && m_core->widget && m_core->widget->isMinimized()) ? TRUE : FALSE; }


// A dialog's size is fixed against the user, not against code: a size set
// in code becomes the new fixed size.
static void SetWidgetGeometry(QWidget* w, const QRect& g)
{
    if (w->isWindow() && w->minimumSize() == w->maximumSize() && w->size() != g.size()) w->setFixedSize(g.size());
    w->setGeometry(g);
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    if (!m_core || !m_core->widget) return;
    if (m_core->kind == WndKind::ComboBox) height = ComboFieldHeight(m_core);
    SetWidgetGeometry(m_core->widget, QRect(x, y, std::max(0, width), std::max(0, height)));
    if (repaint) m_core->widget->update();
}

void CWnd::MoveWindow(LPCRECT r, BOOL repaint) { MoveWindow(r->left, r->top, r->right - r->left, r->bottom - r->top, repaint); }

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget;
    QRect g = w->geometry();
    if (!(flags & SWP_NOMOVE)) g.moveTo(x, y);
    if (!(flags & SWP_NOSIZE)) {
        if (m_core->kind == WndKind::ComboBox) cy = ComboFieldHeight(m_core);
        g.setSize(QSize(std::max(0, cx), std::max(0, cy)));
    }
    if (g != w->geometry()) SetWidgetGeometry(w, g);
    if (!(flags & SWP_NOZORDER)) {
        if (insertAfter == &wndBottom) w->lower();
        else if (!insertAfter || insertAfter == &wndTop) w->raise();
        else if (QWidget* above = insertAfter->GetWidget()) w->stackUnder(above);
    }
    if (flags & SWP_SHOWWINDOW) w->show();
    if (flags & SWP_HIDEWINDOW) w->hide();
    if (!(flags & SWP_NOREDRAW)) w->update();
    return TRUE;
}

void CWnd::GetClientRect(LPRECT rect) const
{
    *rect = RECT{};
    if (m_core && m_core->widget) *rect = CRect(0, 0, m_core->widget->width(), m_core->widget->height());
}

void CWnd::GetWindowRect(LPRECT rect) const
{
    *rect = RECT{};
    if (!m_core || !m_core->widget) return;
    QWidget* w = m_core->widget;
    if (w->isWindow()) {
        const QRect f = w->frameGeometry();
        *rect = CRect(f.left(), f.top(), f.left() + f.width(), f.top() + f.height());
        return;
    }
    const QPoint tl = w->mapToGlobal(QPoint(0, 0));
    *rect = CRect(tl.x(), tl.y(), tl.x() + w->width(), tl.y() + w->height());
}

void CWnd::ClientToScreen(LPPOINT point) const
{
    if (!m_core || !m_core->widget) return;
    const QPoint p = m_core->widget->mapToGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ClientToScreen(&a);
    ClientToScreen(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

void CWnd::ScreenToClient(LPPOINT point) const
{
    if (!m_core || !m_core->widget) return;
    const QPoint p = m_core->widget->mapFromGlobal(QPoint(point->x, point->y));
    *point = POINT{p.x(), p.y()};
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    POINT a{rect->left, rect->top}, b{rect->right, rect->bottom};
    ScreenToClient(&a);
    ScreenToClient(&b);
    *rect = RECT{a.x, a.y, b.x, b.y};
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* wp) const
{
    if (!m_core || !m_core->widget) return FALSE;
    QWidget* w = m_core->widget;
    wp->showCmd = w->isMinimized() ? SW_SHOWMINIMIZED : w->isMaximized() ? SW_SHOWMAXIMIZED
                  : w->isHidden()  ? SW_HIDE
                                   : SW_SHOWNORMAL;
    const QRect g = w->isWindow() ? w->normalGeometry() : w->geometry();
    const QRect r = g.isValid() ? g : w->geometry();
    wp->rcNormalPosition = CRect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return TRUE;
}

BOOL CWnd::SetWindowPlacement(const WINDOWPLACEMENT* wp)
{
    if (!m_core || !m_core->widget) return FALSE;
    ShowWindow(static_cast<int>(wp->showCmd));
    return TRUE;
}

void CWnd::Invalidate(BOOL) { if (m_core && m_core->widget) m_core->widget->update(); }

void CWnd::InvalidateRect(LPCRECT rect, BOOL erase)
{
    if (!m_core || !m_core->widget) return;
    if (!rect) {
        Invalidate(erase);
        return;
    }
    m_core->widget->update(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top));
}

void CWnd::UpdateWindow()
{
    if (m_core && m_core->widget && m_core->widget->isVisible()) m_core->widget->repaint();
}

CWnd* CWnd::SetFocus()
{
    CWnd* old = GetFocus();
    if (m_core && m_core->widget) m_core->widget->setFocus(Qt::OtherFocusReason);
    return old;
}

CWnd* CWnd::GetFocus()
{
    QWidget* f = QApplication::focusWidget();
    if (!f) {
        if (QWidget* a = QApplication::activeWindow()) f = a->focusWidget();
    }
    WndCore* c = WndCore::FromWidget(f);
    return c ? c->owner : nullptr;
}

CWnd* CWnd::SetCapture()
{
    CWnd* old = GetCapture();
    if (!m_core || !m_core->widget) return old;
    if (g_captureHwnd && g_captureHwnd != m_core->hwnd) ReleaseCapture();
    g_captureHwnd = m_core->hwnd;
    if (m_core->widget->isVisible()) m_core->widget->grabMouse();
    return old;
}

CWnd* CWnd::GetCapture() { return CWnd::FromHandle(g_captureHwnd); }

BOOL ReleaseCapture()
{
    if (WndCore* c = WndCore::FromHwnd(g_captureHwnd)) {
        if (c->widget && QWidget::mouseGrabber() == c->widget) c->widget->releaseMouse();
    }
    g_captureHwnd = nullptr;
    return TRUE;
}

void CWnd::SetFont(CFont* font, BOOL redraw)
{
    if (!m_core || !m_core->widget) return;
    m_core->font = font;
    m_core->widget->setFont(ToQFont(font));
    if (redraw) m_core->widget->update();
}

CFont* CWnd::GetFont() const { return m_core ? m_core->font : nullptr; }

CDC* CWnd::GetDC() { return new CClientDC(this); }

int CWnd::ReleaseDC(CDC* dc)
{
    delete dc;
    return 1;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
    if (!m_core) return 0;
    const int ms = static_cast<int>(std::max<UINT>(elapseMs, 10));
    TimerSlot& slot = m_core->timers[id];
    slot.proc = proc;
    if (!slot.timer) {
        slot.timer = std::make_unique<QTimer>();
        const HWND hwnd = m_core->hwnd;
        QObject::connect(slot.timer.get(), &QTimer::timeout, [hwnd, id] { TimerExpired(hwnd, id); });
    }
    slot.timer->start(ms);
    return id;
}

BOOL CWnd::KillTimer(UINT_PTR id)
{
    if (!m_core) return FALSE;
    return m_core->timers.erase(id) ? TRUE : FALSE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsUiThread()) return m_core ? m_core->Dispatch(message, wParam, lParam) : 0;
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type)
{
    return MessageBoxExW(m_hWnd, text, caption ? caption : L"", type, 0);
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return dx.m_bFail ? FALSE : TRUE;
}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const ::msgmap::Entry* e = ::msgmap::Find(GetMessageMap(), WM_COMMAND, wParam);
    if (!e) return FALSE;
    LRESULT ignored = 0;
    e->thunk(this, wParam, lParam, &ignored);
    return TRUE;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            *result = 0;
            return TRUE;
        }
        return FALSE;
    }
    const ::msgmap::Entry* e = ::msgmap::Find(GetMessageMap(), message, wParam);
    if (!e) return FALSE;
    const UINT savedKind = t_ctlColorKind;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) t_ctlColorKind = message - WM_CTLCOLORMSGBOX;
    e->thunk(this, wParam, lParam, result);
    t_ctlColorKind = savedKind;
    return TRUE;
}

LRESULT CWnd::Default()
{
    if (!m_core || !m_core->frame) return 0;
    const DispatchFrame* f = m_core->frame;
    return DefWindowProc(f->msg, f->w, f->l);
}

namespace {

// Default processing that does not come from a widget's own event handling.
LRESULT BuiltinDefault(WndCore* c, UINT msg, WPARAM w, LPARAM l)
{
    switch (msg) {
    case WM_CLOSE:
        if (c->kind == WndKind::Dialog) c->Dispatch(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
        else if (c->IsTopLevel()) DestroyWindowCore(c, true);
        return 0;
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(static_cast<intptr_t>(l));
        if (WndCore* item = WndCore::FromHwnd(dis->hwndItem)) {
            if (item->owner) item->owner->DrawItem(dis);
        }
        return TRUE;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<LPMEASUREITEMSTRUCT>(static_cast<intptr_t>(l));
        for (WndCore* k : c->children) {
            if (k->id == static_cast<int>(mis->CtlID) && k->owner) {
                k->owner->MeasureItem(mis);
                break;
            }
        }
        return TRUE;
    }
    case WM_NCHITTEST:
        if (c->kind == WndKind::GroupBox) return HTTRANSPARENT;
        if (c->kind == WndKind::Static && !(c->style & SS_NOTIFY) && c->owner && typeid(*c->owner) == typeid(CStatic))
            return HTTRANSPARENT;
        return HTCLIENT;
    case WM_ERASEBKGND:
        if (c->kind == WndKind::Dialog && c->painter) {
            t_ctlColorKind = CTLCOLOR_DLG;
            const LRESULT r = c->Dispatch(WM_CTLCOLORDLG, w, LParamFromHwnd(c->hwnd));
            auto* brush = reinterpret_cast<CBrush*>(static_cast<intptr_t>(r));
            if (brush && !brush->IsNull() && c->painter && c->widget)
                c->painter->fillRect(c->widget->rect(), ToQColor(brush->GetColor()));
            return 1;
        }
        return 0;
    case WM_MOUSEWHEEL:
        if (c->parent) return c->parent->Dispatch(msg, w, l);
        return 0;
    case WM_SETTEXT:
        SetCoreText(c, l ? reinterpret_cast<const wchar_t*>(static_cast<intptr_t>(l)) : L"");
        return TRUE;
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(GetCoreText(c).size());
    case WM_SYSCOMMAND:
        switch (w & 0xFFF0) {
        case SC_CLOSE: c->Dispatch(WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE:
            if (c->widget) c->widget->showMinimized();
            break;
        case SC_RESTORE:
            if (c->widget) c->widget->showNormal();
            break;
        default: break;
        }
        return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: {
        // A mouse message made by code: the control sees it as a real one.
        if (!c->host || !c->widget) return 0;
        QEvent::Type type = QEvent::MouseMove;
        Qt::MouseButton button = Qt::NoButton;
        switch (msg) {
        case WM_LBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::LeftButton; break;
        case WM_LBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::LeftButton; break;
        case WM_LBUTTONDBLCLK: type = QEvent::MouseButtonDblClick; button = Qt::LeftButton; break;
        case WM_RBUTTONDOWN: type = QEvent::MouseButtonPress; button = Qt::RightButton; break;
        case WM_RBUTTONUP: type = QEvent::MouseButtonRelease; button = Qt::RightButton; break;
        default: break;
        }
        Qt::MouseButtons buttons;
        if (w & MK_LBUTTON) buttons |= Qt::LeftButton;
        if (w & MK_RBUTTON) buttons |= Qt::RightButton;
        Qt::KeyboardModifiers mods;
        if (w & MK_SHIFT) mods |= Qt::ShiftModifier;
        if (w & MK_CONTROL) mods |= Qt::ControlModifier;
        const QPointF local(GET_X_LPARAM(l), GET_Y_LPARAM(l));
        QMouseEvent ev(type, local, c->widget->mapToGlobal(local), button, buttons, mods);
        return c->host->BaseEvent(&ev) ? 1 : 0;
    }
    default: return 0;
    }
}

}  // namespace

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    WndCore* c = m_core;
    if (!c || c->dead) return 0;
    if (DispatchFrame* f = c->frame) {
        if (f->msg == message && f->w == wParam && f->l == lParam && f->native) {
            if (!f->nativeRan) {
                f->nativeRan = true;
                f->nativeResult = (*f->native)();
            }
            return f->nativeResult;
        }
    }
    return BuiltinDefault(c, message, wParam, lParam);
}

// Default handlers.
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
HBRUSH CWnd::OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(static_cast<intptr_t>(Default())); }
void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT) { Default(); }
void CWnd::OnMeasureItem(int, LPMEASUREITEMSTRUCT) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CWnd::OnSize(UINT, int, int) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
BOOL CWnd::OnDeviceChange(UINT, DWORD_PTR) { return static_cast<BOOL>(Default()); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }

// ---------------------------------------------------------------------------
// Free functions

BOOL IsWindow(HWND hwnd)
{
    if (!hwnd) return FALSE;
    std::lock_guard lock(g_regMutex);
    return g_windows.count(hwnd) ? TRUE : FALSE;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* t)
{
    WndCore* c = WndCore::FromHwnd(t->hwndTrack);
    if (!c) return FALSE;
    if (t->dwFlags & TME_CANCEL) {
        c->trackFlags &= ~t->dwFlags;
        if (c->hoverTimer && !(c->trackFlags & TME_HOVER)) c->hoverTimer->stop();
        return TRUE;
    }
    c->trackFlags |= t->dwFlags & (TME_HOVER | TME_LEAVE);
    if (t->dwFlags & TME_HOVER) {
        c->hoverMs = t->dwHoverTime == HOVER_DEFAULT ? 400 : std::max<DWORD>(t->dwHoverTime, 1);
        if (!c->hoverTimer) {
            c->hoverTimer = std::make_unique<QTimer>();
            c->hoverTimer->setSingleShot(true);
            const HWND hwnd = c->hwnd;
            QObject::connect(c->hoverTimer.get(), &QTimer::timeout, [hwnd] {
                WndCore* core = WndCore::FromHwnd(hwnd);
                if (!core || !(core->trackFlags & TME_HOVER) || !core->widget) return;
                core->trackFlags &= ~TME_HOVER;
                const QPoint p = core->widget->mapFromGlobal(QCursor::pos());
                core->Dispatch(WM_MOUSEHOVER, MkFlags(QGuiApplication::mouseButtons(), QGuiApplication::keyboardModifiers()),
                               MAKELPARAM(p.x(), p.y()));
            });
        }
        c->hoverTimer->start(static_cast<int>(c->hoverMs));
    }
    // Leaving at once when the pointer is already outside.
    if ((t->dwFlags & TME_LEAVE) && c->widget && !c->widget->underMouse() && QWidget::mouseGrabber() != c->widget) {
        const HWND hwnd = c->hwnd;
        PostToUi([hwnd] {
            WndCore* core = WndCore::FromHwnd(hwnd);
            if (!core || !(core->trackFlags & TME_LEAVE) || !core->widget || core->widget->underMouse()) return;
            core->trackFlags &= ~TME_LEAVE;
            core->Dispatch(WM_MOUSELEAVE, 0, 0);
        });
    }
    return TRUE;
}

int16_t GetKeyState(int vk)
{
    bool down = false;
    const Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    const Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    switch (vk) {
    case VK_SHIFT: down = mods & Qt::ShiftModifier; break;
    case VK_CONTROL: down = mods & Qt::ControlModifier; break;
    case VK_MENU: down = mods & Qt::AltModifier; break;
    case 0x01: down = buttons & Qt::LeftButton; break;
    case 0x02: down = buttons & Qt::RightButton; break;
    case 0x04: down = buttons & Qt::MiddleButton; break;
    default: break;
    }
    return down ? static_cast<int16_t>(0x8000) : 0;
}

BOOL GetCursorPos(LPPOINT point)
{
    const QPoint p = QCursor::pos();
    *point = POINT{p.x(), p.y()};
    return TRUE;
}

// ---------------------------------------------------------------------------
// Device contexts of windows

struct CPaintDC::Scratch {
    QImage image;
    QPainter painter;
    std::unique_ptr<PainterDC> dc;
};

CPaintDC::CPaintDC(CWnd* wnd) : m_wnd(wnd)
{
    WndCore* c = wnd ? wnd->Core() : nullptr;
    if (c && c->inPaint && c->EnsurePainter()) {
        Attach(c->painter);
        return;
    }
    m_scratch = new Scratch;
    const QSize size = (c && c->widget) ? c->widget->size().expandedTo(QSize(1, 1)) : QSize(1, 1);
    m_scratch->image = QImage(size, QImage::Format_ARGB32_Premultiplied);
    m_scratch->image.fill(Qt::transparent);
    m_scratch->painter.begin(&m_scratch->image);
    m_scratch->dc = std::make_unique<PainterDC>(&m_scratch->painter, ScreenDpiForDrawing(), ScreenDpiForDrawing());
    Attach(&m_scratch->painter);
}

CPaintDC::~CPaintDC()
{
    Detach();
    if (m_scratch) {
        m_scratch->dc.reset();
        m_scratch->painter.end();
        delete m_scratch;
        if (WndCore* c = m_wnd ? m_wnd->Core() : nullptr) {
            if (c->widget) c->widget->update();
        }
    }
}

// ---------------------------------------------------------------------------
// Input for tests

#include "platform/testing.h"

namespace platform_testing {

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

}  // namespace

void PressKey(HWND hwnd, UINT vk, wchar_t ch, bool alt)
{
    QString text;
    if (ch) text = QString(QChar(static_cast<char16_t>(ch)));
    else if (vk == VK_RETURN) text = QStringLiteral("\r");
    else if (vk == VK_ESCAPE) text = QString(QChar(0x1B));
    const int key = QtKeyFromVk(vk);
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QKeyEvent press(QEvent::KeyPress, key, alt ? Qt::AltModifier : Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &press);
    }
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QKeyEvent release(QEvent::KeyRelease, key, alt ? Qt::AltModifier : Qt::NoModifier, text);
        QCoreApplication::sendEvent(w, &release);
    }
}

void ClickAt(HWND hwnd, int x, int y)
{
    const QPointF local(x, y);
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QMouseEvent press(QEvent::MouseButtonPress, local, w->mapToGlobal(local), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(w, &press);
    }
    if (QWidget* w = WidgetOfHwnd(hwnd)) {
        QMouseEvent release(QEvent::MouseButtonRelease, local, w->mapToGlobal(local), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(w, &release);
    }
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
