#include "app/sync_host.h"

#include "app/tarveldlg.h"
#include "dialogs/loadpercent.h"

void SyncHost::SetTimer(UINT_PTR id, UINT elapseMs) { m_dlg.SetTimer(id, elapseMs); }
void SyncHost::KillTimer(UINT_PTR id) { m_dlg.KillTimer(id); }
int SyncHost::TcpLinkState() const { return m_dlg.Link().TcpLinkState(); }
void SyncHost::RunProgressModal()
{
    CLoadPercent progress;
    progress.DoModal();
}
void SyncHost::ShowStringBox(int stringId) { m_dlg.ShowStringBox(stringId); }
void SyncHost::PostToSelf(UINT msg, WPARAM wParam, LPARAM lParam) { m_dlg.PostMessage(msg, wParam, lParam); }
IDelayFields& SyncHost::DelayFields() { return m_dlg.DelayFields(); }
int SyncHost::VisibleChannels() const { return m_dlg.Spectrum().GetVisibleChannels(); }
void SyncHost::UpdateSaveModeLabel() { m_dlg.UpdateSaveModeLabel(); }
void SyncHost::UpdateCurrentModeLabel() { m_dlg.UpdateCurrentModeLabel(); }
void SyncHost::UpdateSourceLabel() { m_dlg.UpdateSourceLabel(); }
void SyncHost::RepaintSourceLabels() { m_dlg.RepaintSourceLabels(); }
void SyncHost::DrawWifiPic() { m_dlg.DrawWifiPic(); }
void SyncHost::DrawUsbPic() { m_dlg.DrawUsbPic(); }
