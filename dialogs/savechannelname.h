// Channel name: shows an output channel's current name and takes a new one
// (no length limit here; the main window stores at most 20 bytes of it).
#pragma once

#include <string>

#include "dialogs/popuplook.h"
#include "model/device_presets.h"

class CSaveChannelName : public PopupDialog {
public:
    CSaveChannelName(int channel, const char name[kNameRecordBytes], CWnd* parent = nullptr);
    ~CSaveChannelName() override;

    void GetName(std::wstring& out) const { out = m_strNewName; }

protected:
    BOOL OnInitDialog() override;
    HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework) override;
    afx_msg void OnClickedOk();
    DECLARE_MESSAGE_MAP()

private:
    int m_nChannel;
    std::wstring m_strOldName;
    std::wstring m_strNewName;
};
