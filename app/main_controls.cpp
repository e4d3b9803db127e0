#include "app/main_controls.h"

void ComboPort::AddItem(const std::wstring& text) { combo->AddItem(text, 0, RGB(255, 255, 255)); }

MainControls::MainControls(CWnd& dlg, CSpectrum& graph, std::array<CNewSliderCtrl, kChannels>& gainSliders,
                           CNewSliderCtrl& masterSlider, std::array<CNewSliderCtrl, kBands>& bandSliders,
                           const MainSelectors& selectors, IDelayFields& delays)
    : m_items(dlg), m_graph(graph), m_delays(delays)
{
    for (size_t c = 0; c < m_gainSliders.size(); ++c) m_gainSliders[c].slider = &gainSliders[c];
    m_masterSlider.slider = &masterSlider;
    for (size_t b = 0; b < m_bandSliders.size(); ++b) m_bandSliders[b].slider = &bandSliders[b];
    m_hpType.combo = &selectors.hpType;
    m_hpSlope.combo = &selectors.hpSlope;
    m_lpType.combo = &selectors.lpType;
    m_lpSlope.combo = &selectors.lpSlope;
}

void MainControls::ClearGraphHover()
{
    m_graph.m_nHoverBand = -1;
    m_graph.m_nHoverCrossover = -1;
}

int MainControls::FocusedDelayChannel()
{
    CWnd* focus = CWnd::GetFocus();
    CWnd* parent = focus ? focus->GetParent() : nullptr;
    if (!parent || parent->m_hWnd != Dialog().m_hWnd) return -1;
    return IndexOfId(g_delayEditId, kChannels, focus->GetDlgCtrlID());
}

void MainControls::EnableFreqAndQFields(int band, bool enable)
{
    for (int id : {g_bandFreqEditId[band], g_bandQEditId[band]})
        if (CWnd* field = Dialog().GetDlgItem(id)) field->EnableWindow(enable ? TRUE : FALSE);
}

bool MainControls::AskYesNo(int stringId)
{
    const std::wstring text = LoadResString(stringId);
    return MessageBoxExW(Dialog().m_hWnd, text.c_str(), g_msgCaption.c_str(), MB_YESNO | MB_ICONEXCLAMATION,
                         g_languageId) == IDYES;
}
