// The scene menu behind the main window's File button: four preset
// operations (recall from / save to a device slot, load / save a PC preset
// file). It runs none of them itself: it closes and asks the main window,
// which has carried the operation out when the request returns.
#pragma once

#include "dialogs/dialog_messages.h"
#include "dialogs/popuplook.h"

// wParam of WM_SCENE_COMMAND.
enum SceneCommand : WPARAM {
    SCENE_LOAD_FROM_DEVICE = 0,
    SCENE_SAVE_TO_DEVICE = 1,
    SCENE_LOAD_FROM_PC = 2,
    SCENE_SAVE_TO_PC = 3,
};

class CDialogFile : public PopupDialog {
public:
    explicit CDialogFile(CWnd* parent = nullptr);
    ~CDialogFile() override;

protected:
    afx_msg void OnClickedLoadFromDevice();
    afx_msg void OnClickedSaveToDevice();
    afx_msg void OnClickedLoadFromPc();
    afx_msg void OnClickedSaveToPc();
    afx_msg void OnClickedOk();
    DECLARE_MESSAGE_MAP()

private:
    void RunSceneCommand(SceneCommand command);
};
