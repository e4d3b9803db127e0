#include "widgets/newsliderctrl.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CNewSliderCtrl, CSliderCtrl)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CNewSliderCtrl::~CNewSliderCtrl() { FreeBitmaps(); }

void CNewSliderCtrl::SetThumbOffset(int offset)
{
    m_nThumbOffset = offset;
    if (m_hWnd) Invalidate(FALSE);
}

void CNewSliderCtrl::SetThumb(int bitmapId, int frameWidth, int frameHeight)
{
    if (bitmapId == 0 || m_thumbWnd.HasStrip()) return;
    if (!m_thumbWnd.LoadStrip(bitmapId, frameWidth, frameHeight)) return;
    m_thumbWnd.SetForwardMouse(TRUE);
    m_thumbBitmap = bitmapId;
    ApplyThumbLength();
}

void CNewSliderCtrl::ApplyThumbLength()
{
    if (!m_hWnd || m_thumbLengthSet || !m_thumbWnd.HasStrip()) return;
    const CSize frame = m_thumbWnd.GetFrameSize();
    SetThumbLength(IsVertical() ? frame.cy : frame.cx);
    m_thumbLengthSet = true;
    Invalidate(FALSE);
}

void CNewSliderCtrl::SetBitmaps(int afterId, int beforeId)
{
    FreeBitmaps();
    m_pAfterItem = std::make_unique<CNewSliderItem>(afterId, 0, 0);
    m_pBeforeItem = std::make_unique<CNewSliderItem>(beforeId, 0, 0);
    m_bOwnBitmaps = TRUE;
    if (!m_pAfterItem->IsLoaded() || !m_pBeforeItem->IsLoaded()) {
        FreeBitmaps();
        return;
    }
    if (!m_hWnd) return;
    ApplyThumbLength();
    SetWindowPos(nullptr, 0, 0, m_pBeforeItem->GetBitmapWidth(), m_pBeforeItem->GetBitmapHeight(), SWP_NOMOVE);
    Invalidate(FALSE);
}

void CNewSliderCtrl::FreeBitmaps()
{
    if (m_bOwnBitmaps) {
        m_pBeforeItem.reset();
        m_pAfterItem.reset();
    }
    m_bOwnBitmaps = FALSE;
}

void CNewSliderCtrl::GetThumbWndRect(LPRECT rect) const
{
    CRect t;
    GetThumbRect(&t);
    const CSize f = m_thumbWnd.GetFrameSize();
    CRect w;
    if (IsVertical()) {
        w.left = m_nThumbOffset + t.left + (t.Width() - f.cx) / 2;
        w.top = t.top + (t.Height() - f.cy) / 2;
    } else {
        w.top = m_nThumbOffset + t.top + (t.Height() - f.cy) / 2;
        w.left = t.left + (t.Width() - f.cx) / 2;
    }
    w.right = w.left + f.cx;
    w.bottom = w.top + f.cy;
    *rect = w;
}

void CNewSliderCtrl::DrawChannel(CDC* dc, BOOL painting)
{
    if (!dc || !IsSkinned()) return;
    CRect k;
    GetClientRect(&k);
    CRect w;
    GetThumbWndRect(&w);
    if (IsVertical()) {
        const int near = painting ? w.bottom : w.top;
        m_pBeforeItem->Blit(dc, 0, 0, k.Width(), std::max(0, near), 0, 0);
        if (k.bottom > w.bottom) m_pAfterItem->Blit(dc, 0, w.bottom, k.Width(), k.bottom - w.bottom, 0, w.bottom);
    } else {
        const int near = painting ? w.right : w.left;
        m_pBeforeItem->Blit(dc, 0, 0, std::max(0, near), k.Height(), 0, 0);
        if (k.right > w.right) m_pAfterItem->Blit(dc, w.right, 0, k.right - w.right, k.Height(), w.right, 0);
    }
    if (painting) m_thumbWnd.Draw(dc, w.left, w.top);
}

void CNewSliderCtrl::OnPaint()
{
    // Until its pictures are set the slider shows the platform's trackbar,
    // so that no slider of a window is invisible.
    if (!IsSkinned()) {
        Default();
        return;
    }
    ApplyThumbLength();  // set up before the window was attached
    CPaintDC dc(this);
    DrawChannel(&dc, TRUE);
}

BOOL CNewSliderCtrl::OnEraseBkgnd(CDC*) { return TRUE; }

void CNewSliderCtrl::OnLButtonDown(UINT, CPoint point)
{
    CRect w;
    GetThumbWndRect(&w);
    m_thumbPressed = IsSkinned() && w.PtInRect(point);
    if (m_thumbPressed) {
        m_thumbWnd.OnPress();
        Invalidate(FALSE);
    }
    Default();
}

void CNewSliderCtrl::OnLButtonUp(UINT, CPoint)
{
    if (m_thumbPressed) {
        m_thumbPressed = false;
        m_thumbWnd.OnRelease();
        Invalidate(FALSE);
    }
    Default();
}
