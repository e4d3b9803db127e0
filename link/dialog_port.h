// The link's only way to the main dialog. The main dialog implements it
// (UiThreadPort does the thread hand-over); link threads call it.
#pragma once

#include <string>

#include "platform/types.h"

class IDialogPort {
public:
    virtual ~IDialogPort() = default;

    // Runs the main dialog's handler of msg on the UI thread and waits for
    // it; returns the handler's result. Once ReleaseSenders has been called
    // it returns 0 at once, and every caller waiting returns 0.
    virtual LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // Queues msg for the main dialog and returns.
    virtual void Post(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

    // Shows the device string in its label. bytes: the raw string in the
    // system code page, up to its first zero, at most 14 bytes.
    virtual void SetDeviceStringLabel(const std::string& bytes) = 0;
    // Plain message box, OK only, shown on the UI thread; the caller does not
    // wait. postAfterOk (when not 0) is posted to the main dialog once the
    // user closed the box.
    virtual void ShowMessageOnUi(const std::wstring& text, UINT postAfterOk) = 0;
    // Message box with a string-table text, caption g_msgCaption, language
    // g_languageId, OK only; the caller does not wait.
    virtual void ShowStringOnUi(int stringId) = 0;
    // The open HID device went away (handles closed, identification flags
    // cleared, progress at 1000): the main dialog stops IDT_PARAM_SYNC.
    virtual void HidDeviceRemoved() = 0;

    // Shut-down: no Send waits any more (see Send).
    virtual void ReleaseSenders() = 0;
};

// The port every link thread and SendDeviceCommand use. Until one is set
// (and after SetDialogPort(nullptr)) a port that does nothing stands in.
// The port must outlive the link threads.
void SetDialogPort(IDialogPort* port);
IDialogPort& DialogPort();
