// The progress of a device transfer (the import after a connection or a
// firmware upgrade): a plain modal dialog that shows g_progressPermille and
// ends by itself once it reaches 1000. The user cannot close it.
#pragma once

#include "platform/controls.h"
#include "platform/dialog.h"

class CLoadPercent : public CDialogEx {
public:
    static constexpr UINT_PTR kPollTimer = 1;
    static constexpr UINT kPollMs = 50;

    explicit CLoadPercent(CWnd* parent = nullptr);
    ~CLoadPercent() override;

    CProgressCtrl m_progress;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    afx_msg void OnClickedOk();
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()
};
