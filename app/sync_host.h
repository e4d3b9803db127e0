// The main window's side of the synchronisation timers.
#pragma once

#include "link/sync_timers.h"

class CTarvelDlg;

class SyncHost final : public ISyncHost {
public:
    explicit SyncHost(CTarvelDlg& dlg) : m_dlg(dlg) {}
    void SetTimer(UINT_PTR id, UINT elapseMs) override;
    void KillTimer(UINT_PTR id) override;
    int TcpLinkState() const override;
    void RunProgressModal() override;
    void ShowStringBox(int stringId) override;
    void PostToSelf(UINT msg, WPARAM wParam, LPARAM lParam) override;
    IDelayFields& DelayFields() override;
    int VisibleChannels() const override;
    void UpdateSaveModeLabel() override;
    void UpdateCurrentModeLabel() override;
    void UpdateSourceLabel() override;
    void RepaintSourceLabels() override;
    void DrawWifiPic() override;
    void DrawUsbPic() override;

private:
    CTarvelDlg& m_dlg;
};
