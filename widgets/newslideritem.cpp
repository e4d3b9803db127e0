#include "widgets/newslideritem.h"

CNewSliderItem::CNewSliderItem(int bitmapId, int frameWidth, int frameHeight)
{
    if (bitmapId == 0 || !m_bitmap.LoadBitmap(static_cast<UINT>(bitmapId))) return;
    if (!m_dc.CreateCompatibleDC(nullptr)) return;
    m_dc.SelectObject(&m_bitmap);
    m_bitmap.GetBitmap(&m_bmInfo);
    if (m_bmInfo.bmWidth <= 0 || m_bmInfo.bmHeight <= 0) return;
    m_bVertical = m_bmInfo.bmHeight >= m_bmInfo.bmWidth;
    m_nFrameWidth = frameWidth > 0 ? frameWidth : m_bmInfo.bmWidth;
    m_nFrameHeight = frameHeight > 0 ? frameHeight : m_bmInfo.bmHeight;
    m_nFrameCount = m_bVertical ? static_cast<UINT>(m_bmInfo.bmHeight / m_nFrameHeight)
                                : static_cast<UINT>(m_bmInfo.bmWidth / m_nFrameWidth);
}

CNewSliderItem::~CNewSliderItem() = default;

BOOL CNewSliderItem::GetFrameRect(LPRECT rect, UINT frame) const
{
    if (!rect || frame >= m_nFrameCount) return FALSE;
    const int i = static_cast<int>(frame);
    const int left = m_bVertical ? 0 : i * m_nFrameWidth;
    const int top = m_bVertical ? i * m_nFrameHeight : 0;
    *rect = CRect(left, top, left + m_nFrameWidth, top + m_nFrameHeight);
    return TRUE;
}

BOOL CNewSliderItem::DrawFrame(CDC* dc, UINT frame, int x, int y)
{
    CRect r;
    if (!dc || !GetFrameRect(&r, frame)) return FALSE;
    return dc->BitBlt(x, y, r.Width(), r.Height(), &m_dc, r.left, r.top, SRCCOPY);
}

BOOL CNewSliderItem::Blit(CDC* dc, int x, int y, int w, int h, int xSrc, int ySrc)
{
    if (!dc || !IsLoaded()) return FALSE;
    if (w == 0) w = m_bmInfo.bmWidth;
    if (h == 0) h = m_bmInfo.bmHeight;
    if (w < 0 || h < 0) return FALSE;
    return dc->BitBlt(x, y, w, h, &m_dc, xSrc, ySrc, SRCCOPY);
}
