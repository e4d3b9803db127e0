#include "dialogs/dialogsetup.h"

#include "fields/field_messages.h"
#include "model/params.h"
#include "model/value_kinds.h"
#include "platform/app.h"
#include "platform/files.h"
#include "platform/look.h"
#include "platform/msgbox.h"
#include "platform/resources.h"
#include "platform/skin_palette.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kPanel = kSkinPanelColour;
// The arrow images by the settings dialog's own cuts (168 dpi and above
// takes the main window's largest).
constexpr int kArrowPng[kArrowBuckets] = {IDP_COMBO_ARROW_B0, IDP_COMBO_ARROW_B1, IDP_COMBO_ARROW_B2,
                                          IDP_COMBO_ARROW_B4};
constexpr int kSelectionHeight[kArrowBuckets] = {18, 23, 30, 40};

PopupLook SetupLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND;
    look.closeButton = CloseButtonSize::Fixed;
    look.staticTextColor = RGB(255, 255, 255);
    look.buttonTextColor = RGB(245, 245, 245);
    look.textButtons = {{IDC_SETUP_UPGRADE, IDS_UPGRADE},
                        {IDC_SETUP_FACTORY_RESET, IDS_FACTORY_RESET},
                        {IDC_SETUP_ABOUT, IDS_ABOUTBOX}};
    look.labels = {{IDC_MIX_VOLUME_LABEL, 0}, {IDC_LANGUAGE_LABEL, 0}, {IDC_SETUP_TITLE, IDS_SETUP_TITLE}};
    return look;
}

void ShowStringBox(CWnd* owner, int stringId, UINT style)
{
    const std::wstring text = LoadResString(stringId);
    MessageBoxExW(owner ? owner->m_hWnd : nullptr, text.c_str(), g_msgCaption.c_str(), style, g_languageId);
}

}  // namespace

bool StoreLanguageChoice(int choice, const std::vector<std::string>& paths)
{
    if (choice == 0) {
        bool allGone = true;
        for (const std::string& path : paths) {
            if (FileExists(path) && !DeleteFileAt(path)) allGone = false;
        }
        return allGone;
    }
    const uint16_t id = choice == 1 ? LANG_CHINESE_PRC : LANG_ENGLISH_US;
    const uint8_t bytes[2] = {static_cast<uint8_t>(id & 0xFF), static_cast<uint8_t>(id >> 8)};
    // The next start reads the first file that exists: the choice goes there,
    // or where a new file can be made before it; a failed write leaves nothing.
    for (const std::string& path : paths) {
        const bool exists = FileExists(path);
        if (!exists) MakeFolderFor(path);
        if (ReplaceFileBytes(path, bytes, sizeof bytes).Ok()) return true;
        if (exists) return false;
    }
    return false;
}

// ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialogSetup, PopupDialog)
    ON_BN_CLICKED(IDC_SETUP_UPGRADE, &CDialogSetup::OnClickedUpgrade)
    ON_BN_CLICKED(IDC_SETUP_FACTORY_RESET, &CDialogSetup::OnClickedFactoryReset)
    ON_BN_CLICKED(IDC_SETUP_ABOUT, &CDialogSetup::OnClickedAbout)
    ON_BN_CLICKED(IDC_NO_SIGNAL_MUTE, &CDialogSetup::OnClickedNoSignalMute)
    ON_BN_CLICKED(IDOK, &CDialogSetup::OnClickedOk)
    ON_CBN_SELCHANGE(IDC_LANGUAGE_COMBO, &CDialogSetup::OnSelChangeLanguage)
    ON_MESSAGE(WM_EDIT_STEP, &CDialogSetup::OnStepMixVolume)
    ON_MESSAGE(WM_EDIT_COMMIT, &CDialogSetup::OnCommitMixVolume)
END_MESSAGE_MAP()

CDialogSetup::CDialogSetup(unsigned mixVolume, CWnd* parent)
    : PopupDialog(IDD_SETUP, parent, SetupLook()), m_nMixVolume(static_cast<int>(mixVolume))
{}

CDialogSetup::~CDialogSetup() = default;

void CDialogSetup::DoDataExchange(CDataExchange* dx)
{
    PopupDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MIX_VOLUME, m_editVol);
    DDX_Control(dx, IDC_LANGUAGE_COMBO, m_comboLanguage);
}

BOOL CDialogSetup::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    m_brushBk.CreateSolidBrush(kPanel);
    m_brushEdit.CreateSolidBrush(kPanel);
    ShowMixVolume();
    m_editVol.SetWindowPos(nullptr, 0, 0, ScaleForDpi(70), ScaleForDpi(16), SWP_NOMOVE | SWP_NOZORDER);
    FillLanguageCombo();
    return TRUE;
}

void CDialogSetup::FillLanguageCombo()
{
    for (int id : {IDS_LANGUAGE_AUTO, IDS_LANGUAGE_CHINESE, IDS_LANGUAGE_ENGLISH})
        m_comboLanguage.AddItem(LoadResString(id), 0, RGB(255, 255, 255));
    m_comboLanguage.SetComboFont(ScaleForDpi(kPopupFontHeight), kPopupFontFace, 0, 0);
    const int arrow = kArrowPng[ArrowBucket(g_screenDpi)];
    m_comboLanguage.SetArrowImages(arrow, arrow);
    m_comboLanguage.SetItemHeight(-1, static_cast<UINT>(kSelectionHeight[ArrowBucket(g_screenDpi)]));
    m_comboLanguage.SetCurSel(g_languageChoice);
}

// "0dB", "-12dB"; nothing above 60.
void CDialogSetup::ShowMixVolume()
{
    std::wstring text;
    if (m_nMixVolume >= 0 && m_nMixVolume <= MixVolumeKind::kMax) text = MixVolumeKind(&m_nMixVolume).Format();
    m_editVol.SetWindowText(text);
}

void CDialogSetup::SendToMain(UINT message, WPARAM wParam)
{
    CWnd* main = AfxGetMainWnd();
    if (main && main != this) main->SendMessage(message, wParam, 0);
}

// The dialog goes first; the main window has run the command when it returns.
void CDialogSetup::RunCommand(SetupCommand command)
{
    SendMessage(WM_CLOSE);
    ShowWindow(SW_HIDE);
    SendToMain(WM_SETUP_COMMAND, command);
}

void CDialogSetup::OnClickedUpgrade() { RunCommand(SETUP_FIRMWARE_UPGRADE); }
void CDialogSetup::OnClickedAbout() { RunCommand(SETUP_ABOUT); }

void CDialogSetup::OnClickedFactoryReset()
{
    const std::wstring text = LoadResString(IDS_CONFIRM_FACTORY_RESET);
    if (MessageBoxExW(m_hWnd, text.c_str(), g_msgCaption.c_str(), MB_YESNO | MB_ICONEXCLAMATION, g_languageId) != IDYES)
        return;
    RunCommand(SETUP_FACTORY_RESET);
}

// The no-signal mute toggle stays: the dialog stays open.
void CDialogSetup::OnClickedNoSignalMute() { SendToMain(WM_SETUP_COMMAND, SETUP_NO_SIGNAL_MUTE); }

// Enter does nothing.
void CDialogSetup::OnClickedOk() {}

LRESULT CDialogSetup::OnStepMixVolume(WPARAM key, LPARAM)
{
    if (key == VK_UP || key == VK_DOWN) {
        MixVolumeKind kind(&m_nMixVolume);
        if (kind.Step(key == VK_UP ? StepDirection::Up : StepDirection::Down))
            SendToMain(WM_MIX_VOLUME_CHANGED, static_cast<WPARAM>(m_nMixVolume));
    }
    ShowMixVolume();
    return 0;
}

LRESULT CDialogSetup::OnCommitMixVolume(WPARAM, LPARAM)
{
    MixVolumeKind kind(&m_nMixVolume);
    if (kind.Commit(m_editVol.GetWindowTextString()))
        SendToMain(WM_MIX_VOLUME_CHANGED, static_cast<WPARAM>(m_nMixVolume));
    ShowMixVolume();
    m_editVol.SetSel(0, -1, TRUE);
    return 0;
}

void CDialogSetup::OnSelChangeLanguage()
{
    const int choice = m_comboLanguage.GetCurSel();
    if (choice < 0 || choice > 2) return;
    const bool stored = StoreLanguageChoice(choice, LanguageFilePaths(kLanguageFileName));
    ShowStringBox(this, stored ? IDS_RESTART_TO_APPLY : IDS_LANGUAGE_NOT_STORED,
                  stored ? MB_OK : MB_OK | MB_ICONEXCLAMATION);
}

HBRUSH CDialogSetup::PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework)
{
    if (kind == CTLCOLOR_EDIT || kind == CTLCOLOR_LISTBOX) {
        dc->SetTextColor(RGB(255, 255, 255));
        dc->SetBkColor(kPanel);
        return &m_brushEdit;
    }
    return PopupDialog::PopupCtlColor(dc, wnd, kind, framework);
}
