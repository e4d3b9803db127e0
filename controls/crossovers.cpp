#include "controls/crossovers.h"

#include "model/params.h"
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
