#include "controls/eq_bands.h"

#include "model/params.h"
#include "model/value_kinds.h"

namespace {
constexpr int kEveryBand = kBands;  // the band argument of UpdateBandPoints for all of them
}  // namespace

void EqBands::Refresh()
{
    for (int b = 0; b < kBands; ++b) {
        m_view.BandFreqField(b).SetText(BandFreqKind(b).Format());
        m_view.BandGainField(b).SetText(BandGainKind(b).Format());
        m_view.BandQField(b).SetText(BandQKind(b).Format());
        ISlider& slider = m_view.BandGainSlider(b);
        slider.SetPos(BandGainKind(b).Value());
        slider.Invalidate();
        m_view.RepaintBypassButton(b);
    }
}

void EqBands::FeedGraph(bool redraw)
{
    ISpectrum& s = m_view.Graph();
    const int c = g_selectedChannel;
    m_view.ClearGraphHover();
    s.SetCurrentChannel(c, 0);
    s.SetChannelFreqs(&g_eqFreq[0][0], kChannels * kBands);
    s.SetChannelGains(&g_eqGain[0][0], kChannels * kBands);
    s.SetChannelQs(&g_eqQ[0][0], kChannels * kBands);
    s.SetChannelCrossovers(g_hpFreq, g_lpFreq, g_hpSlope, g_lpSlope, g_hpType, g_lpType);
    s.SetBandFreqs(g_eqFreq[c], kBands);
    s.SetBandGains(g_eqGain[c], kBands);
    s.SetBandQs(g_eqQ[c], kBands);
    s.SetCrossover(g_hpFreq[c], g_lpFreq[c], g_hpSlope[c], g_lpSlope[c], g_hpType[c], g_lpType[c], 0);
    s.UpdateBandPoints(redraw ? 1 : 0, kEveryBand);
}
