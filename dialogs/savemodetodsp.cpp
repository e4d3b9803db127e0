#include "dialogs/savemodetodsp.h"

#include <cwchar>

#include "platform/msgbox.h"
#include "platform/resources.h"
#include "res/resource.h"

namespace {

PopupLook SaveLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND_SMALL;
    look.staticTextColor = kSkinTextColour;
    look.buttonTextColor = kSkinTextColour;
    look.textButtons = {{IDOK, IDS_OK}, {IDCANCEL, IDS_CANCEL}};
    look.labels = {{IDC_SAVE_ID_LABEL, 0}, {IDC_SAVE_NAME_LABEL, 0}, {IDC_SAVE_TITLE, IDS_SAVE_TO_DEVICE}};
    return look;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSaveModeToDsp, PopupDialog)
    ON_CBN_SELCHANGE(IDC_PRESET_SLOT, &CSaveModeToDsp::OnSelChangeSlot)
    ON_BN_CLICKED(IDOK, &CSaveModeToDsp::OnClickedOk)
    ON_EN_CHANGE(IDC_NAME_EDIT, &CSaveModeToDsp::OnChangeName)
END_MESSAGE_MAP()

CSaveModeToDsp::CSaveModeToDsp(int slot, const PresetNameRecords& names, CWnd* parent)
    : PopupDialog(IDD_SAVE_MODE_TO_DSP, parent, SaveLook()), m_nSlot(slot), m_strNames(DecodePresetNames(names))
{}

CSaveModeToDsp::~CSaveModeToDsp() = default;

void CSaveModeToDsp::DoDataExchange(CDataExchange* dx)
{
    PopupDialog::DoDataExchange(dx);
    if (!dx->m_bSaveAndValidate) {
        SetNameText(m_strName);
        return;
    }
    DDX_Text(dx, IDC_NAME_EDIT, m_strName);
    if (m_strName.size() <= static_cast<size_t>(kMaxNameChars)) return;
    // Said once; the dialog stays open until the name is shortened.
    wchar_t text[160];
    std::swprintf(text, 160, LoadResString(IDS_MAX_CHARS).c_str(), kMaxNameChars);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    if (CWnd* edit = GetDlgItem(IDC_NAME_EDIT)) edit->SetFocus();
    dx->Fail();
}

BOOL CSaveModeToDsp::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_PRESET_SLOT))) {
        FillSlotCombo(*combo);
        combo->SetCurSel(m_nSlot);
    }
    ShowSlotName();
    return TRUE;
}

void CSaveModeToDsp::OnSelChangeSlot()
{
    if (auto* combo = static_cast<CComboBox*>(GetDlgItem(IDC_PRESET_SLOT))) m_nSlot = combo->GetCurSel();
    ShowSlotName();
}

// Replaces what the user typed.
void CSaveModeToDsp::ShowSlotName()
{
    if (m_nSlot < 0 || m_nSlot >= static_cast<int>(m_strNames.size())) return;
    SetNameText(m_strNames[static_cast<size_t>(m_nSlot)]);
}

// A stored name may be longer than the field takes by typing.
void CSaveModeToDsp::SetNameText(const std::wstring& text)
{
    m_settingText = true;
    SetDlgItemText(IDC_NAME_EDIT, text);
    m_shownText = text;
    m_settingText = false;
}

// Typing stops at 10 characters: an edit that makes the text longer than
// that and longer than it was is taken back.
void CSaveModeToDsp::OnChangeName()
{
    auto* edit = static_cast<CEdit*>(GetDlgItem(IDC_NAME_EDIT));
    if (!edit || m_settingText) return;
    const std::wstring text = edit->GetWindowTextString();
    if (text.size() > static_cast<size_t>(kMaxNameChars) && text.size() > m_shownText.size()) {
        SetNameText(m_shownText);
        const int end = static_cast<int>(m_shownText.size());
        edit->SetSel(end, end);
        return;
    }
    m_shownText = text;
}

// One data exchange reads and checks the name and ends the dialog with it.
void CSaveModeToDsp::OnClickedOk() { CDialog::OnOK(); }
