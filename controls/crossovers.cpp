#include "controls/crossovers.h"

#include "model/params.h"
#include "model/propagation.h"
#include "model/value_kinds.h"
#include "platform/resources.h"
#include "res/resource.h"

void Crossovers::FillSelectors()
{
    for (ISelector* types : {&m_view.HpTypeSelector(), &m_view.LpTypeSelector()}) {
        types->AddItem(LoadResString(IDS_FILTER_BUTTERWORTH));
        types->AddItem(LoadResString(IDS_FILTER_BESSEL));
    }
    for (ISelector* slopes : {&m_view.HpSlopeSelector(), &m_view.LpSlopeSelector()}) {
        for (int i = 0; i < kSlopeOff; ++i) slopes->AddItem(std::to_wstring(6 * (i + 1)) + L"dB/Oct");
        slopes->AddItem(LoadResString(IDS_SLOPE_OFF));
    }
}

void Crossovers::Refresh()
{
    const int c = g_selectedChannel;
    m_view.HpTypeSelector().SetCurSel(g_hpType[c]);
    m_view.HpSlopeSelector().SetCurSel(g_hpSlope[c]);
    m_view.LpTypeSelector().SetCurSel(g_lpType[c]);
    m_view.LpSlopeSelector().SetCurSel(g_lpSlope[c]);
    m_view.HpFreqField().SetText(CutFreqKind::HighPass().Format());
    m_view.LpFreqField().SetText(CutFreqKind::LowPass().Format());
}

void Crossovers::OnSelChange(Selector which)
{
    struct Binding {
        ISelector& selector;
        int* values;
        int crossover;  // the graph's: 0 high-pass, 1 low-pass
    };
    const Binding binding = [&]() -> Binding {
        switch (which) {
        case Selector::HpType: return {m_view.HpTypeSelector(), g_hpType, 0};
        case Selector::HpSlope: return {m_view.HpSlopeSelector(), g_hpSlope, 0};
        case Selector::LpType: return {m_view.LpTypeSelector(), g_lpType, 1};
        case Selector::LpSlope: break;
        }
        return {m_view.LpSlopeSelector(), g_lpSlope, 1};
    }();
    const int s = g_selectedChannel;
    const int index = binding.selector.GetCurSel();
    if (index < 0 || s < 0 || s >= kChannels) return;
    const int tied = TiedChannels(s) | (1 << s);
    for (int c = 0; c < kChannels; ++c)
        if (tied & (1 << c)) binding.values[c] = index;
    ISpectrum& graph = m_view.Graph();
    graph.SetChannelCrossovers(g_hpFreq, g_lpFreq, g_hpSlope, g_lpSlope, g_hpType, g_lpType);
    graph.SelectCrossover(binding.crossover);
    graph.SetCrossover(g_hpFreq[s], g_lpFreq[s], g_hpSlope[s], g_lpSlope[s], g_hpType[s], g_lpType[s], 1);
}

namespace {
void CommitCutFreq(ITextControl& field, CutFreqKind kind)
{
    if (!kind.Commit(field.GetText())) field.SetText(kind.Format());
}
}  // namespace

void Crossovers::CommitHpFreq() { CommitCutFreq(m_view.HpFreqField(), CutFreqKind::HighPass()); }
void Crossovers::CommitLpFreq() { CommitCutFreq(m_view.LpFreqField(), CutFreqKind::LowPass()); }
