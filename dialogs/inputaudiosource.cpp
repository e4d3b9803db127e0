#include "dialogs/inputaudiosource.h"

#include "model/device_state.h"
#include "platform/look.h"
#include "platform/resources.h"
#include "res/resource.h"

int SourceIndexOfCode(int code)
{
    if (code == kSourceOptical) return 3;
    if (code == kSourceUsb) return 4;
    return code - 1;
}

int SourceCodeOfIndex(int index)
{
    if (index == 3) return kSourceOptical;
    if (index == 4) return kSourceUsb;
    return index + 1;
}

namespace {

constexpr int kSourceItems[] = {IDS_SOURCE_HIGH_LEVEL, IDS_SOURCE_LOW_LEVEL, IDS_SOURCE_BLUETOOTH, IDS_SOURCE_OPTICAL,
                                IDS_SOURCE_USB};

PopupLook SourceLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND_SMALL;
    look.labelFont = false;
    look.staticTextColor = RGB(250, 250, 250);
    look.buttonTextColor = RGB(250, 250, 250);
    look.buttonTextInPopupFont = false;
    look.textButtons = {{IDOK, IDS_OK, IDB_SOURCE_BUTTON_PRESSED, IDB_SOURCE_BUTTON},
                        {IDCANCEL, IDS_CANCEL, IDB_SOURCE_BUTTON_PRESSED, IDB_SOURCE_BUTTON}};
    return look;
}

}  // namespace

BEGIN_MESSAGE_MAP(CInputAudioSource, PopupDialog)
    ON_CBN_SELCHANGE(IDC_SOURCE_COMBO, &CInputAudioSource::OnSelChangeSource)
    ON_BN_CLICKED(IDC_HIGH_LEVEL_MIX, &CInputAudioSource::OnClickedHighLevelMix)
END_MESSAGE_MAP()

CInputAudioSource::CInputAudioSource(int sourceIndex, uint8_t highLevelMix, CWnd* parent)
    : PopupDialog(IDD_INPUT_AUDIO_SOURCE, parent, SourceLook()),
      m_nSourceIndex(sourceIndex),
      m_bHighLevelMix(highLevelMix)
{}

CInputAudioSource::~CInputAudioSource() = default;

BOOL CInputAudioSource::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_SOURCE_COMBO))) {
        for (int id : kSourceItems) combo->AddString(LoadResString(id).c_str());
        combo->SetCurSel(m_nSourceIndex);  // outside 0..4: no selection
    }
    SetDlgItemText(IDC_HIGH_LEVEL_MIX_LABEL, LoadResString(IDS_HIGH_LEVEL_MIX));
    if (CWnd* toggle = GetDlgItem(IDC_HIGH_LEVEL_MIX))
        toggle->SetWindowPos(nullptr, 0, 0, ScaleForDpi(12), ScaleForDpi(12), SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

void CInputAudioSource::OnSelChangeSource()
{
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_SOURCE_COMBO))) m_nSourceIndex = combo->GetCurSel();
    if (CWnd* toggle = GetDlgItem(IDC_HIGH_LEVEL_MIX)) toggle->Invalidate(TRUE);
}

// High Level mixes nothing in: the toggle is inert there.
void CInputAudioSource::OnClickedHighLevelMix()
{
    if (m_nSourceIndex == 0) return;
    m_bHighLevelMix = m_bHighLevelMix == 1 ? 0 : 1;
    if (CWnd* toggle = GetDlgItem(IDC_HIGH_LEVEL_MIX)) toggle->Invalidate(TRUE);
}

bool CInputAudioSource::DrawPopupItem(LPDRAWITEMSTRUCT dis)
{
    if (dis->CtlID == static_cast<UINT>(IDC_HIGH_LEVEL_MIX)) {
        const int bitmap = m_nSourceIndex == 0 ? IDB_MIX_DISABLED : m_bHighLevelMix == 1 ? IDB_MIX_ON : IDB_MIX_OFF;
        DrawBitmapItem(dis, bitmap);
        return true;
    }
    return PopupDialog::DrawPopupItem(dis);
}
