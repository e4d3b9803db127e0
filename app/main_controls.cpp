#include "app/main_controls.h"

void CComboPort::AddItem(const std::wstring& text) { combo->AddItem(text, 0, RGB(255, 255, 255)); }

CMainControls::CMainControls(CWnd& dlg, CSpectrum& graph, std::array<CNewSliderCtrl, kChannels>& gainSliders,
                             CNewSliderCtrl& masterSlider, std::array<CNewSliderCtrl, kBands>& bandSliders,
                             const MainSelectors& selectors)
    : m_items(dlg), m_graph(graph)
{
    for (int c = 0; c < kChannels; ++c) m_gainSliders[static_cast<size_t>(c)].slider = &gainSliders[static_cast<size_t>(c)];
    m_masterSlider.slider = &masterSlider;
    for (int b = 0; b < kBands; ++b) m_bandSliders[static_cast<size_t>(b)].slider = &bandSliders[static_cast<size_t>(b)];
    m_hpType.combo = &selectors.hpType;
    m_hpSlope.combo = &selectors.hpSlope;
    m_lpType.combo = &selectors.lpType;
    m_lpSlope.combo = &selectors.lpSlope;
}

void CMainControls::ClearGraphHover()
{
    m_graph.m_nHoverBand = -1;
    m_graph.m_nHoverCrossover = -1;
}
