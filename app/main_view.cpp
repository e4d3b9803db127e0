#include "app/main_view.h"

#include "model/params.h"

void MainView::SetPhaseButtonCaption(int channel, int stringId)
{
    m_families.strips.SetPhaseButtonCaption(channel, stringId);
}

void MainView::ClearSpeakerDistances()
{
    for (int c = 0; c < kChannels; ++c) m_speakerDistances[c] = 0;
}

void MainView::InvalidateChannelButtons() { m_families.strips.InvalidateChannelButtons(); }
void MainView::InvalidateLinkButton(int channel) { m_families.links.InvalidateLinkButton(channel); }
void MainView::InvalidateLinkButtons() { m_families.links.InvalidateLinkButtons(); }
void MainView::InvalidateCurveButtons() { m_families.links.InvalidateCurveButtons(); }
void MainView::InvalidateRouteButton(int output, int inputBit)
{
    m_families.routing.InvalidateRouteButton(output, inputBit);
}

void MainView::RefreshEqControls()
{
    m_families.bands.Refresh();
    m_families.crossovers.Refresh();
}

// The graph gets the plot rectangle, then from the bands the model and the
// selected channel, no crossover selected and no readout, and the
// equaliser's mode (which redraws it).
void MainView::FeedSpectrum(bool redraw)
{
    CSpectrum& graph = m_controls.Spectrum();
    if (graph.m_hWnd) {
        CRect rc;
        graph.GetClientRect(&rc);
        graph.SetPlotRect(rc.left, rc.top, rc.right, rc.bottom);
    }
    m_families.bands.FeedGraph(redraw);
}

bool MainView::AskCopyQuestion(const std::wstring& fromLabel, const std::wstring& toLabel)
{
    const std::wstring text = LinksAndCurves::CopyQuestion(LoadResString(IDS_CONFIRM_LINK_COPY), fromLabel, toLabel);
    return MessageBoxExW(m_controls.Dialog().m_hWnd, text.c_str(), g_msgCaption.c_str(), MB_YESNO | MB_ICONEXCLAMATION,
                         g_languageId) != IDNO;
}
