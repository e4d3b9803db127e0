// The About box: the program's version and what the device reported.
#pragma once

#include "platform/platform.h"

class CAboutDlg : public CDialogEx {
public:
    CAboutDlg();

protected:
    BOOL OnInitDialog() override;
};
