#include "dialogs/dialogfile.h"

#include "platform/app.h"
#include "res/resource.h"

namespace {

PopupLook FileLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND;
    look.closeButton = CloseButtonSize::Fixed;
    look.staticTextColor = kSkinTextColour;
    look.buttonTextColor = kSkinTextColour;
    // clang-format off
    look.textButtons = {
        {IDC_LOAD_FROM_DEVICE, IDS_LOAD_FROM_DEVICE},
        {IDC_SAVE_TO_DEVICE, IDS_SAVE_TO_DEVICE},
        {IDC_LOAD_FROM_PC, IDS_LOAD_FROM_PC},
        {IDC_SAVE_TO_PC, IDS_SAVE_TO_PC},
    };
    // clang-format on
    look.labels = {{IDC_FILE_TITLE, IDS_FILE}};
    return look;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialogFile, PopupDialog)
    ON_BN_CLICKED(IDC_LOAD_FROM_DEVICE, &CDialogFile::OnClickedLoadFromDevice)
    ON_BN_CLICKED(IDC_SAVE_TO_DEVICE, &CDialogFile::OnClickedSaveToDevice)
    ON_BN_CLICKED(IDC_LOAD_FROM_PC, &CDialogFile::OnClickedLoadFromPc)
    ON_BN_CLICKED(IDC_SAVE_TO_PC, &CDialogFile::OnClickedSaveToPc)
    ON_BN_CLICKED(IDOK, &CDialogFile::OnClickedOk)
END_MESSAGE_MAP()

CDialogFile::CDialogFile(CWnd* parent) : PopupDialog(IDD_FILE, parent, FileLook()) {}

CDialogFile::~CDialogFile() = default;

void CDialogFile::OnClickedLoadFromDevice() { RunSceneCommand(SCENE_LOAD_FROM_DEVICE); }
void CDialogFile::OnClickedSaveToDevice() { RunSceneCommand(SCENE_SAVE_TO_DEVICE); }
void CDialogFile::OnClickedLoadFromPc() { RunSceneCommand(SCENE_LOAD_FROM_PC); }
void CDialogFile::OnClickedSaveToPc() { RunSceneCommand(SCENE_SAVE_TO_PC); }

// Enter does nothing.
void CDialogFile::OnClickedOk() {}

void CDialogFile::RunSceneCommand(SceneCommand command)
{
    // The menu ends first and is out of sight while the operation runs its
    // own dialogs; its DoModal returns once the main window is done.
    SendMessage(WM_CLOSE);
    ShowWindow(SW_HIDE);
    CWnd* main = AfxGetMainWnd();
    if (main && main != this) main->SendMessage(WM_SCENE_COMMAND, command, 0);
}
