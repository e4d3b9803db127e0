// The device model picker: chooses the model the main window is laid out
// for while no device has identified itself. It ends when the user confirms
// a model, by itself as soon as a connected device has identified itself,
// or on Cancel, which closes the main window (and so the program).
#pragma once

#include <cstdint>

#include "dialogs/popuplook.h"

// Set by a confirmed choice: the main window lays itself out again at the
// next WM_DEVICE_INFO_RECEIVED, since the device may be another model.
extern uint8_t g_relayoutPending;

class CDialogLogo : public PopupDialog {
public:
    // The picker ends on the main window's link-change message; this slow
    // poll only catches a change whose message was lost.
    static constexpr UINT_PTR kPollTimer = 1;
    static constexpr UINT kPollMs = 300;
    static constexpr int kModelCount = 7;

    // One model button: its caption static, the device model it stands for
    // and whether it is offered.
    struct ModelChoice {
        int buttonId;
        int captionId;
        int deviceModel;
        bool visible;
    };
    // By index 1..7 (entry index - 1).
    static const ModelChoice kModels[kModelCount];

    explicit CDialogLogo(CWnd* parent = nullptr);
    ~CDialogLogo() override;

    // Ends the open picker, if any, once a device has identified itself.
    static void EndIfDeviceIdentified();

    // The selected model button, 1..7.
    int m_nModelIndex = 2;

protected:
    BOOL OnInitDialog() override;
    bool DrawPopupItem(LPDRAWITEMSTRUCT dis) override;

    // index: the model button's (or its caption's) entry index - 1.
    afx_msg void OnClickedModel(int index);
    afx_msg void OnDoubleClickedModel5();
    afx_msg void OnClickedEnter();
    afx_msg void OnClickedOk();
    afx_msg void OnClickedCancel();
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void InvalidateModelButtons();
    int m_bucket = 0;
};
