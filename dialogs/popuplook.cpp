#include "dialogs/popuplook.h"

#include <utility>

#include "platform/resources.h"

BOOL CreatePopupFont(CFont& font)
{
    return font.CreateFont(ScaleForDpi(kPopupFontHeight), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, kPopupFontFace);
}

BEGIN_MESSAGE_MAP(PopupDialog, CDialogEx)
    ON_WM_NCHITTEST()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

PopupDialog::PopupDialog(UINT templateId, CWnd* parent, PopupLook look)
    : CDialogEx(templateId, parent), m_look(std::move(look))
{}

PopupDialog::~PopupDialog() = default;

BOOL PopupDialog::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    if (m_look.backgroundBitmap && m_bmpBackground.LoadBitmap(static_cast<UINT>(m_look.backgroundBitmap)))
        m_bmpBackground.GetBitmap(&m_bmBackground);

    const int bucket = DpiBucket(g_screenDpi);
    if (CWnd* close = GetDlgItem(IDCANCEL)) {
        if (m_look.closeButton == CloseButtonSize::Fixed)
            close->SetWindowPos(nullptr, 0, 0, ScaleForDpi(42), ScaleForDpi(22), SWP_NOMOVE | SWP_NOZORDER);
        else if (m_look.closeButton == CloseButtonSize::ToBitmap)
            SizeToBitmap(IDCANCEL, SkinBitmap(SKIN_POPUP_CLOSE, bucket));
    }

    if (m_look.labelFont) {
        CreatePopupFont(m_fontLabel);
        for (const PopupLabel& label : m_look.labels) {
            if (CWnd* item = GetDlgItem(label.controlId)) {
                item->SetFont(&m_fontLabel);
                if (label.stringId) item->SetWindowText(LoadResString(label.stringId));
            }
        }
    }
    return TRUE;
}

LRESULT PopupDialog::OnNcHitTest(CPoint screenPoint)
{
    const LRESULT hit = CDialogEx::OnNcHitTest(screenPoint);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void PopupDialog::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bmpBackground.IsValid()) return;
    CRect client;
    GetClientRect(&client);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&m_bmpBackground);
    dc.StretchBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, m_bmBackground.bmWidth, m_bmBackground.bmHeight,
                  SRCCOPY);
    mem.SelectObject(old);
    mem.DeleteDC();
}

HBRUSH PopupDialog::OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor)
{
    const HBRUSH framework = CDialogEx::OnCtlColor(dc, wnd, ctlColor);
    return PopupCtlColor(dc, wnd, ctlColor, framework);
}

HBRUSH PopupDialog::PopupCtlColor(CDC* dc, CWnd*, UINT kind, HBRUSH framework)
{
    if (kind != CTLCOLOR_STATIC && kind != CTLCOLOR_BTN) return framework;
    dc->SetTextColor(m_look.staticTextColor);
    dc->SetBkMode(TRANSPARENT);
    return static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
}

void PopupDialog::OnDrawItem(int ctlId, LPDRAWITEMSTRUCT dis)
{
    DrawPopupItem(dis);
    CDialogEx::OnDrawItem(ctlId, dis);
}

bool PopupDialog::DrawPopupItem(LPDRAWITEMSTRUCT dis)
{
    const bool pressed = (dis->itemState & ODS_SELECTED) != 0;
    const int id = static_cast<int>(dis->CtlID);
    if (id == IDCANCEL && m_look.closeButton != CloseButtonSize::None) {
        const int bucket = DpiBucket(g_screenDpi);
        DrawBitmapItem(dis, SkinBitmap(pressed ? SKIN_POPUP_CLOSE_PRESSED : SKIN_POPUP_CLOSE, bucket));
        return true;
    }
    for (const PopupTextButton& b : m_look.textButtons) {
        if (b.controlId != id) continue;
        DrawBitmapItem(dis, pressed ? b.bitmapPressed : b.bitmap);
        DrawItemText(dis, LoadResString(b.stringId), m_look.buttonTextColor, m_look.buttonTextInPopupFont);
        return true;
    }
    return false;
}

void PopupDialog::DrawBitmapItem(LPDRAWITEMSTRUCT dis, int bitmapId)
{
    CDC* dc = dis->pDC;
    if (!dc) return;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(static_cast<UINT>(bitmapId))) return;
    BITMAP bm;
    bitmap.GetBitmap(&bm);
    CDC mem;
    mem.CreateCompatibleDC(dc);
    CBitmap* old = mem.SelectObject(&bitmap);
    const RECT& r = dis->rcItem;
    dc->StretchBlt(r.left, r.top, r.right, r.bottom, &mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    mem.SelectObject(old);
    mem.DeleteDC();
    bitmap.DeleteObject();
}

void PopupDialog::DrawItemText(LPDRAWITEMSTRUCT dis, const std::wstring& text, COLORREF color, bool popupFont)
{
    CDC* dc = dis->pDC;
    if (!dc) return;
    dc->SetTextColor(color);
    CFont font;
    CFont* old = nullptr;
    if (popupFont) {
        CreatePopupFont(font);
        old = dc->SelectObject(&font);
    }
    CRect r(dis->rcItem);
    dc->DrawText(text, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (old) dc->SelectObject(old);
}

void PopupDialog::SizeToBitmap(int controlId, int bitmapId)
{
    CWnd* item = GetDlgItem(controlId);
    if (!item) return;
    CBitmap bitmap;
    if (!bitmap.LoadBitmap(static_cast<UINT>(bitmapId))) return;
    const CSize size = bitmap.GetSize();
    bitmap.DeleteObject();
    item->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
}
