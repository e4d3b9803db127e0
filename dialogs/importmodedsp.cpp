#include "dialogs/importmodedsp.h"

#include "res/resource.h"

namespace {

PopupLook ImportLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND_SMALL;
    look.staticTextColor = kSkinTextColour;
    look.buttonTextColor = kSkinTextColour;
    look.textButtons = {{IDOK, IDS_OK}, {IDCANCEL, IDS_CANCEL}};
    look.labels = {{IDC_IMPORT_ID_LABEL, 0}, {IDC_IMPORT_NAME_LABEL, 0}, {IDC_IMPORT_TITLE, IDS_LOAD_FROM_DEVICE}};
    return look;
}

}  // namespace

BEGIN_MESSAGE_MAP(CImportModeDsp, PopupDialog)
    ON_CBN_SELCHANGE(IDC_PRESET_SLOT, &CImportModeDsp::OnSelChangeSlot)
END_MESSAGE_MAP()

CImportModeDsp::CImportModeDsp(int slot, const PresetNameRecords& names, CWnd* parent)
    : PopupDialog(IDD_IMPORT_MODE_DSP, parent, ImportLook()), m_nSlot(slot), m_strNames(DecodePresetNames(names))
{}

CImportModeDsp::~CImportModeDsp() = default;

BOOL CImportModeDsp::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    m_brushWhite.CreateSolidBrush(RGB(255, 255, 255));
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_PRESET_SLOT))) {
        FillSlotCombo(*combo);
        combo->SetCurSel(m_nSlot);  // slot 7 has no item: no selection
    }
    ShowSlotName();
    return TRUE;
}

void CImportModeDsp::OnSelChangeSlot()
{
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_PRESET_SLOT))) m_nSlot = combo->GetCurSel();
    ShowSlotName();
}

void CImportModeDsp::ShowSlotName()
{
    if (m_nSlot < 0 || m_nSlot >= static_cast<int>(m_strNames.size())) return;
    SetDlgItemText(IDC_NAME_EDIT, m_strNames[static_cast<size_t>(m_nSlot)]);
}

// The read-only name: black on white; the labels take the look's colour.
HBRUSH CImportModeDsp::PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework)
{
    if (wnd && wnd->GetDlgCtrlID() == IDC_NAME_EDIT && (kind == CTLCOLOR_STATIC || kind == CTLCOLOR_BTN)) {
        dc->SetTextColor(RGB(0, 0, 0));
        return &m_brushWhite;
    }
    return PopupDialog::PopupCtlColor(dc, wnd, kind, framework);
}
