// The main window's launchers of the input mixer, the delay calculator and
// the crossover setup, and its answer to the crossover setup.
#include "app/tarveldlg.h"
#include "dialogs/dialogchinputvol.h"
#include "dialogs/dialogdelaycale.h"
#include "dialogs/dialogfiltersetup.h"
#include "model/device_state.h"

namespace {

// The window's own selector of each value of WM_FILTER_SETUP_CHANGED, its
// item count and the model row it stands for.
struct FilterSelector {
    int controlId;
    int items;
    int* values;
};
// clang-format off
const FilterSelector kFilterSelector[] = {
    {IDC_HP_TYPE, 2, g_hpType},
    {IDC_HP_SLOPE, kSlopeOff + 1, g_hpSlope},
    {IDC_LP_TYPE, 2, g_lpType},
    {IDC_LP_SLOPE, kSlopeOff + 1, g_lpSlope},
};
// clang-format on

}  // namespace

// The mixer writes g_inputMixVolume while it is open; nothing to refresh.
void CTarvelDlg::OnClickedInputVol()
{
    const int model = g_deviceModel.load();
    CDialogChInputVol dlg(static_cast<UINT>(g_inputVolTemplateId[model >= 0 && model <= 8 ? model : 4]));
    dlg.DoModal();
}

// The results come back as WM_DELAY_CALCULATED while it is open.
void CTarvelDlg::OnClickedDelayCale()
{
    CDialogDelayCale dlg;
    dlg.SetStoredDistances(m_nSpeakerDistance);
    dlg.DoModal();
}

// The popup's frequency fields write the model; the window's own fields
// show the new values once it is closed.
void CTarvelDlg::OnClickedFilterSetup()
{
    CDialogFilterSetup dlg;
    dlg.DoModal();
    m_families.crossovers.Refresh();
}

// The value is stored for the selected channel and shown in the window's
// selector, whose change handler then spreads it as a choice made there
// would. An index the selector does not have changes nothing.
LRESULT CTarvelDlg::OnFilterSetupChanged(WPARAM which, LPARAM index)
{
    if (which >= std::size(kFilterSelector)) return 0;
    const FilterSelector& s = kFilterSelector[which];
    if (index < 0 || index >= s.items) return 0;
    s.values[g_selectedChannel] = static_cast<int>(index);
    CWnd* selector = GetDlgItem(s.controlId);
    if (!selector) return 0;
    static_cast<CComboBox*>(selector)->SetCurSel(static_cast<int>(index));
    SendMessage(WM_COMMAND, MAKEWPARAM(s.controlId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(selector->m_hWnd));
    return 0;
}
