#include "widgets/newsliderwnd.h"

BOOL CNewSliderWnd::LoadStrip(int bitmapId, int frameWidth, int frameHeight)
{
    auto strip = std::make_unique<CNewSliderItem>(bitmapId, frameWidth, frameHeight);
    if (!strip->IsLoaded()) return FALSE;
    m_pStrip = std::move(strip);
    return TRUE;
}

CSize CNewSliderWnd::GetFrameSize() const
{
    return m_pStrip ? CSize(m_pStrip->GetFrameWidth(), m_pStrip->GetFrameHeight()) : CSize(0, 0);
}

void CNewSliderWnd::OnPress() { m_nFrame = (m_pStrip && m_pStrip->GetFrameCount() >= 3) ? 2 : 0; }

void CNewSliderWnd::OnRelease() { m_nFrame = (m_pStrip && m_pStrip->GetFrameCount() >= 2) ? 1 : 0; }

BOOL CNewSliderWnd::Draw(CDC* dc, int x, int y)
{
    return m_pStrip ? m_pStrip->DrawFrame(dc, static_cast<UINT>(m_nFrame), x, y) : FALSE;
}
