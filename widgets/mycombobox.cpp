#include "widgets/mycombobox.h"

#include <cwchar>

BEGIN_MESSAGE_MAP(CMyComboBox, CComboBox)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_MOUSELEAVE, &CMyComboBox::OnMouseLeave)
END_MESSAGE_MAP()

CMyComboBox::CMyComboBox() : m_penFrame(PS_SOLID, 1, kBack)
{
    LOGFONTW lf{};
    lf.lfHeight = 15;
    std::wcsncpy(lf.lfFaceName, L"宋体", LF_FACESIZE - 1);
    m_font.CreateFontIndirect(&lf);
}

CMyComboBox::~CMyComboBox() = default;

void CMyComboBox::AddItem(const std::wstring& text, int iconId, COLORREF color)
{
    tagITEMLIST item;
    item.hIcon = iconId;
    item.strText = text;
    item.crText = color;
    item.nIndex = m_hWnd ? AddString(text.c_str()) : static_cast<int>(m_items.size());
    m_items.push_back(item);
}

void CMyComboBox::SetComboFont(int height, const std::wstring& face, int flag, COLORREF color)
{
    LOGFONTW lf{};
    lf.lfHeight = height;
    std::wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    m_font.CreateFontIndirect(&lf);
    m_fontFlag = flag;
    m_fontColor = color;
    if (m_hWnd) InvalidateFace();
}

void CMyComboBox::SetArrowImages(int pressedPng, int normalPng)
{
    auto pressed = gfx::Image::FromResource(pressedPng);
    auto normal = gfx::Image::FromResource(normalPng);
    if (pressed && normal) {
        m_pArrowPressed = std::move(pressed);
        m_pArrowNormal = std::move(normal);
    }
    if (m_hWnd) InvalidateFace();
}

void CMyComboBox::InvalidateFace()
{
    if (m_hWnd) Invalidate(FALSE);
}

std::vector<int> CMyComboBox::TrackHotItem(int found)
{
    m_nPrevHotItem = m_nHotItem;
    m_nHotItem = found;
    if (m_nPrevHotItem == m_nHotItem) return {};
    std::vector<int> changed;
    const int count = m_hWnd ? GetCount() : static_cast<int>(m_items.size());
    if (m_nPrevHotItem >= 0 && m_nPrevHotItem < count) changed.push_back(m_nPrevHotItem);
    changed.push_back(m_nHotItem);
    return changed;
}

LRESULT CMyComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CTLCOLORLISTBOX && GetCount() > 0) {
        const int found = GetListItemUnderCursor();
        if (found >= 0) {
            for (int index : TrackHotItem(found)) InvalidateListItem(index);
        }
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

void CMyComboBox::DrawItemText(CDC* dc, const tagITEMLIST& item, const RECT& rect)
{
    // An icon would take 16 x 16 at x 5 and move the text to x 26; every
    // user passes none.
    CRect text(rect);
    text.left = item.hIcon ? 26 : 5;
    CFont* old = dc->SelectObject(&m_font);
    dc->SetTextColor(item.crText);
    dc->DrawText(item.strText, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    dc->SelectObject(old);
}

void CMyComboBox::DrawFace(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    CDC memory;
    if (!memory.CreateCompatibleDC(dc)) return;
    CBitmap surface;
    if (!surface.CreateCompatibleBitmap(dc, client.Width(), client.Height())) return;
    memory.SelectObject(&surface);

    CBrush back(m_crBack);
    CPen* oldPen = memory.SelectObject(&m_penFrame);
    CBrush* oldBrush = memory.SelectObject(&back);
    memory.Rectangle(&client);
    memory.SelectObject(oldPen);
    memory.SelectObject(oldBrush);

    const int sel = GetCurSel();
    if (sel < 0 || sel >= static_cast<int>(m_items.size())) return;  // nothing shown while nothing is chosen
    memory.SetBkMode(TRANSPARENT);
    DrawItemText(&memory, m_items[static_cast<size_t>(sel)], client);

    CRect arrow(client);
    arrow.left = client.right - 22;
    if (HasArrowImages()) {
        gfx::Graphics g(&memory);
        g.DrawImage(m_bPressed ? m_pArrowPressed.get() : m_pArrowNormal.get(), static_cast<gfx::REAL>(arrow.left),
                    static_cast<gfx::REAL>(arrow.top + 1), 22.0f, static_cast<gfx::REAL>(arrow.Height() - 2));
    } else {
        memory.DrawFrameControl(&arrow, DFC_SCROLL,
                                DFCS_SCROLLCOMBOBOX | DFCS_FLAT | DFCS_MONO | (m_bPressed ? DFCS_PUSHED : 0));
    }
    dc->BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
}

void CMyComboBox::DrawListItem(UINT state, const RECT& rect, CDC* dc, int index)
{
    if (!dc || index < 0 || index >= static_cast<int>(m_items.size())) return;
    dc->SetBkMode(TRANSPARENT);
    if (state & ODS_SELECTED) InvalidateFace();
    if (index == m_nHotItem) {
        CPen frame(PS_SOLID, 1, kHotFrame);
        CBrush fill(m_crHotFill);
        CPen* oldPen = dc->SelectObject(&frame);
        CBrush* oldBrush = dc->SelectObject(&fill);
        dc->RoundRect(&rect, CPoint(5, 5));
        dc->SelectObject(oldPen);
        dc->SelectObject(oldBrush);
    } else {
        dc->FillSolidRect(&rect, m_crBack);
    }
    DrawItemText(dc, m_items[static_cast<size_t>(index)], rect);
}

void CMyComboBox::DrawItem(LPDRAWITEMSTRUCT dis)
{
    if (!dis || dis->CtlType != ODT_COMBOBOX) return;
    DrawListItem(dis->itemState, dis->rcItem, dis->pDC, static_cast<int>(dis->itemID));
}

void CMyComboBox::MeasureItem(LPMEASUREITEMSTRUCT mis)
{
    if (!mis) return;
    mis->itemHeight = 30;
    mis->itemWidth = 400;
}

void CMyComboBox::OnPaint()
{
    CPaintDC dc(this);
    DrawFace(&dc);
}

BOOL CMyComboBox::OnEraseBkgnd(CDC*) { return TRUE; }

void CMyComboBox::OnMouseMove(UINT, CPoint)
{
    if (!m_bHover) {
        m_bHover = TRUE;
        InvalidateFace();
        TRACKMOUSEEVENT track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = m_hWnd;
        track.dwHoverTime = 0;
        TrackMouseEvent(&track);
    }
    Default();
}

LRESULT CMyComboBox::OnMouseLeave(WPARAM, LPARAM)
{
    m_bHover = FALSE;
    InvalidateFace();
    return 1;
}

void CMyComboBox::OnLButtonDown(UINT, CPoint)
{
    m_bPressed = TRUE;
    InvalidateFace();
    Default();
}

void CMyComboBox::OnLButtonUp(UINT, CPoint)
{
    m_bPressed = FALSE;
    InvalidateFace();
    Default();
}
