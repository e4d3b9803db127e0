// Creation and destruction of windows: the host widget of each kind of
// window, the core behind a new handle, and the teardown of a window tree.
#include <QCheckBox>
#include <QDialog>
#include <QEventLoop>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "platform/controls.h"
#include "platform/wnd_qt.h"

namespace {

QString ToQ(const std::wstring& s) { return QString::fromStdWString(s); }

}  // namespace

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
        Qt::WindowFlags flags = (c->exStyle & WS_EX_APPWINDOW) && !parent ? Qt::Window : Qt::Dialog;
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
    c->hwnd = RegisterCore(c);
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
    UnregisterCore(c->hwnd);
    ForgetCapture(c->hwnd);
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
    for (HWND h : TopLevelHandles()) {
        if (WndCore* c = WndCore::FromHwnd(h)) DestroyWindowCore(c, false);
    }
}
