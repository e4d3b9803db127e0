#include "controls/eq_bands.h"

#include "model/params.h"
#include "model/propagation.h"
#include "model/resets.h"
#include "model/value_kinds.h"
#include "res/resource.h"

namespace {
constexpr int kEveryBand = kBands;  // the band argument of UpdateBandPoints for all of them

bool IsBand(int band) { return band >= 0 && band < kBands; }
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
    s.SelectCrossover(-1);
    s.SetPeqMode(m_bPeqMode ? 1 : 0);
    s.UpdateBandPoints(redraw ? 1 : 0, kEveryBand);
}

void EqBands::SelectBand(int band)
{
    if (IsBand(band)) m_view.Graph().SelectBand(band);
}

void EqBands::CommitFreq(int band)
{
    if (!IsBand(band)) return;
    ITextControl& field = m_view.BandFreqField(band);
    BandFreqKind kind(band);
    if (!kind.Commit(field.GetText())) field.SetText(kind.Format());
}

void EqBands::CommitGain(int band)
{
    if (!IsBand(band)) return;
    ITextControl& field = m_view.BandGainField(band);
    BandGainKind kind(band);
    if (kind.Commit(field.GetText())) {
        ISlider& slider = m_view.BandGainSlider(band);
        slider.SetPos(kind.Value());
        slider.Invalidate();
    }
    field.SetText(kind.Format());
}

void EqBands::CommitQ(int band)
{
    if (!IsBand(band)) return;
    ITextControl& field = m_view.BandQField(band);
    BandQKind kind(band);
    kind.Commit(field.GetText());
    field.SetText(kind.Format());
}

void EqBands::ToggleBypass(int band)
{
    if (!IsBand(band)) return;
    ::ToggleBandBypass(band);
    BandGainKind kind(band);
    m_view.BandGainField(band).SetText(kind.Format());
    ISlider& slider = m_view.BandGainSlider(band);
    slider.SetPos(kind.Value());
    slider.Invalidate();
    m_view.RepaintBypassButton(band);
    m_view.Graph().SelectBand(band);
}

void EqBands::ToggleBypassEq()
{
    ::ToggleBypassAllBands();
    Refresh();
    // Other channels changed too: the graph's other curves follow.
    FeedGraph(true);
}

void EqBands::ResetEqAfterQuestion()
{
    if (!m_view.AskYesNo(IDS_CONFIRM_RESET_EQ)) return;
    if (::ResetEq()) Refresh();
    FeedGraph(true);
}

void EqBands::ResetAllAfterQuestion(IModelView& model)
{
    if (!m_view.AskYesNo(IDS_CONFIRM_RESET_ALL)) return;
    ::ResetAll(model);
}

void EqBands::TogglePeqMode()
{
    m_bPeqMode = !m_bPeqMode;
    ApplyPeqMode();
    m_view.RepaintModeButton();
}

void EqBands::ApplyPeqMode()
{
    for (int b = 0; b < kBands; ++b) m_view.EnableFreqAndQFields(b, m_bPeqMode);
    m_view.Graph().SetPeqMode(m_bPeqMode ? 1 : 0);
}

int EqBands::ModeCaptionId() const { return m_bPeqMode ? IDS_MODE_PEQ : IDS_MODE_GEQ; }

bool EqBands::IsAtZeroDb(int band)
{
    const int c = g_selectedChannel;
    return IsBand(band) && c >= 0 && c < kChannels && g_eqGain[c][band] == kDefaultGainCode;
}
