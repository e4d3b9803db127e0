// Dialogs from templates, the modal loop and data exchange.
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLineEdit>
#include <QScreen>

#include "platform/app.h"
#include "platform/controls.h"
#include "platform/dialog.h"

#include <algorithm>
#include <vector>
#include "platform/fonts.h"
#include "platform/fonts_qt.h"
#include "platform/wnd_qt.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

CDialog::CDialog(const DialogTemplate* dialogTemplate, CWnd* parent)
    : m_nIDTemplate(dialogTemplate ? static_cast<UINT>(dialogTemplate->id) : 0),
      m_pParentWnd(parent),
      m_template(dialogTemplate)
{}

CDialog::~CDialog() = default;

void CDialog::MapDialogRect(LPRECT rect) const
{
    rect->left = DluToPixelsX(rect->left, m_units);
    rect->right = DluToPixelsX(rect->right, m_units);
    rect->top = DluToPixelsY(rect->top, m_units);
    rect->bottom = DluToPixelsY(rect->bottom, m_units);
}

BOOL CDialog::CreateFromTemplate()
{
    const DialogTemplate* t = m_template ? m_template : FindDialogTemplate(static_cast<int>(m_nIDTemplate));
    if (!t) return FALSE;
    m_template = t;
    const int dpi = GetScreenDpi();
    m_units = GetDialogBaseUnits(*t, dpi);

    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (owner == this) owner = nullptr;
    QWidget* ownerWidget = owner && WndAccess::Widget(owner) ? WndAccess::Widget(owner)->window() : nullptr;

    WndCreate p;
    p.kind = WndKind::Dialog;
    p.parentWidget = ownerWidget;
    p.style = t->style;
    p.exStyle = t->exStyle;
    p.text = t->caption;
    p.object = this;
    WndCore* c = CreateWindowCore(p);
    QWidget* w = c->widget;

    LOGFONTW lf;
    lf.lfHeight = -PointsToPixels(t->fontPointSize, dpi);
    lf.lfWeight = FW_NORMAL;
    const size_t n = std::min<size_t>(t->fontFace.size(), LF_FACESIZE - 1);
    std::copy_n(t->fontFace.begin(), n, lf.lfFaceName);
    w->setFont(MakeQFont(lf));
    c->templateFont = std::make_unique<CFont>();
    c->templateFont->CreateFontIndirect(&lf);

    CRect size(0, 0, t->cx, t->cy);
    MapDialogRect(&size);
    w->setFixedSize(size.Width(), size.Height());

    for (const DialogControl& dc : t->controls) {
        WndCreate cp;
        cp.kind = KindFromTemplate(dc.kind, dc.style);
        cp.parent = c;
        cp.id = dc.id;
        cp.style = dc.style;
        cp.exStyle = dc.exStyle;
        cp.text = dc.text;
        cp.className = std::wstring(dc.kind.begin(), dc.kind.end());
        cp.imageId = dc.imageId;
        WndCore* k = CreateWindowCore(cp);
        CRect r(dc.x, dc.y, dc.x + dc.cx, dc.y + dc.cy);
        MapDialogRect(&r);
        const int height = k->kind == WndKind::ComboBox ? ComboFieldHeight(k) : r.Height();
        k->widget->setGeometry(r.left, r.top, r.Width(), height);
        if (cp.kind == WndKind::Button && (dc.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) c->defId = dc.id;
    }

    // Centred on the owner, or on the screen without one.
    QRect area = ownerWidget ? ownerWidget->frameGeometry() : QRect();
    if (!ownerWidget || !ownerWidget->isVisible()) {
        if (QScreen* s = QGuiApplication::primaryScreen()) area = s->availableGeometry();
    }
    if (area.isValid()) w->move(area.center() - QPoint(size.Width() / 2, size.Height() / 2));
    return TRUE;
}

namespace {
// The dialogs whose modal loops run, innermost last.
std::vector<HWND>& ModalStack()
{
    static std::vector<HWND> stack;
    return stack;
}
}  // namespace

namespace {
// The popups whose own modal loops run, innermost last.
std::vector<PopupLoopScope*>& PopupStack()
{
    static std::vector<PopupLoopScope*> stack;
    return stack;
}
bool g_realPopupsWhenHeadless = false;
}  // namespace

PopupLoopScope::PopupLoopScope(std::function<void()> end) : m_end(std::move(end)), m_dialogDepth(ModalStack().size())
{
    PopupStack().push_back(this);
}

PopupLoopScope::~PopupLoopScope()
{
    auto& s = PopupStack();
    s.erase(std::remove(s.begin(), s.end(), this), s.end());
}

bool EndFrontPopupLoop()
{
    const auto& s = PopupStack();
    if (s.empty()) return false;
    PopupLoopScope* top = s.back();
    // A dialog opened inside the popup's loop is in front of it.
    if (top->m_dialogDepth < ModalStack().size()) return false;
    if (!top->m_ended) {
        top->m_ended = true;
        if (top->m_end) top->m_end();
    }
    return true;
}

bool RealPopupsWhenHeadless() { return g_realPopupsWhenHeadless; }
void SetRealPopupsWhenHeadless(bool on) { g_realPopupsWhenHeadless = on; }

HWND InnermostModalDialog() { return ModalStack().empty() ? nullptr : ModalStack().back(); }

INT_PTR CDialog::DoModal()
{
    if (!EnsureUiApplication() || m_hWnd) return -1;
    if (!CreateFromTemplate()) return -1;
    WndCore* c = WndAccess::Core(this);
    CoreGuard guard(c);
    c->modalEnded = false;
    c->modalResult = 0;
    const HWND self = m_hWnd;
    ModalStack().push_back(self);
    struct Pop {
        HWND h;
        ~Pop()
        {
            auto& s = ModalStack();
            for (auto it = s.end(); it != s.begin();) {
                --it;
                if (*it == h) {
                    s.erase(it);
                    break;
                }
            }
        }
    } pop{self};

    const BOOL focusFirst = OnInitDialog();
    if (!c->dead && focusFirst && !c->modalEnded) NextDlgCtrl();
    if (!c->dead && !c->modalEnded && c->widget) {
        QWidget* w = c->widget;
        // The loop is modal for the program; the window manager is told so
        // only of popups, never of the program's own window.
        if (!c->IsApplicationWindow()) w->setWindowModality(Qt::ApplicationModal);
        w->show();
        w->activateWindow();
        QEventLoop loop;
        c->modalLoop = &loop;
        if (!c->modalEnded) loop.exec(QEventLoop::DialogExec);
        c->modalLoop = nullptr;
    }
    const int result = c->modalResult;
    if (!c->dead) DestroyWindowCore(c, false);
    return result;
}

void CDialog::EndDialog(int result)
{
    WndCore* c = WndAccess::Core(this);
    if (!c) return;
    c->modalResult = result;
    c->modalEnded = true;
    if (c->modalLoop) c->modalLoop->exit(result);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

DWORD CDialog::GetDefID() const
{
    WndCore* c = WndAccess::Core(this);
    return c ? (static_cast<DWORD>(c->defId) & 0xFFFF) | (0x534Bu << 16) : 0;
}

void CDialog::SetDefID(UINT id)
{
    if (WndCore* c = WndAccess::Core(this)) c->defId = static_cast<int>(id);
}

void CDialog::NextDlgCtrl() const
{
    WndCore* c = WndAccess::Core(this);
    if (!c) return;
    for (WndCore* k : c->children) {
        if ((k->style & WS_TABSTOP) && k->widget && !k->widget->isHidden() && k->widget->isEnabled()) {
            k->widget->setFocus(Qt::TabFocusReason);
            if (auto* e = qobject_cast<QLineEdit*>(k->widget)) e->selectAll();
            return;
        }
    }
}

BOOL CDialog::PreTranslateMessage(MSG* msg)
{
    if (msg->message != WM_KEYDOWN) return FALSE;
    if (msg->wParam == VK_RETURN) {
        CWnd* focus = GetFocus();
        WndCore* f = focus ? WndAccess::Core(focus) : nullptr;
        if (f && f->parent == WndAccess::Core(this) && f->kind == WndKind::Button) {
            SendMessage(WM_COMMAND, MAKEWPARAM(f->id, BN_CLICKED), LParamFromHwnd(f->hwnd));
            return TRUE;
        }
        const int id = LOWORD(GetDefID());
        CWnd* item = GetDlgItem(id);
        if (item && !item->IsWindowEnabled()) return TRUE;
        SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), item ? LParamFromHwnd(item->m_hWnd) : 0);
        return TRUE;
    }
    if (msg->wParam == VK_ESCAPE) {
        CWnd* item = GetDlgItem(IDCANCEL);
        if (item && !item->IsWindowEnabled()) return TRUE;
        SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), item ? LParamFromHwnd(item->m_hWnd) : 0);
        return TRUE;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Data exchange

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd) return;
    if (!control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd)) dx->Fail();
}

void DDX_Text(CDataExchange* dx, int id, std::wstring& value)
{
    CWnd* item = dx->m_pDlgWnd->GetDlgItem(id);
    if (!item) return dx->Fail();
    if (dx->m_bSaveAndValidate) item->GetWindowText(value);
    else item->SetWindowText(value);
}
