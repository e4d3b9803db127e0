#include "app/sync_host.h"

#include "app/tarveldlg.h"
#include "dialogs/loadpercent.h"

void CSyncHost::SetTimer(UINT_PTR id, UINT elapseMs) { m_dlg.SetTimer(id, elapseMs); }
void CSyncHost::KillTimer(UINT_PTR id) { m_dlg.KillTimer(id); }
int CSyncHost::TcpLinkState() const { return m_dlg.Link().TcpLinkState(); }
void CSyncHost::RunProgressModal()
{
    CLoadPercent progress;
    progress.DoModal();
}
void CSyncHost::ShowStringBox(int stringId) { m_dlg.ShowStringBox(stringId); }
void CSyncHost::PostToSelf(UINT msg, WPARAM wParam, LPARAM lParam) { m_dlg.PostMessage(msg, wParam, lParam); }
IDelayFields& CSyncHost::DelayFields() { return m_dlg.DelayFieldSet(); }
int CSyncHost::VisibleChannels() const { return m_dlg.Spectrum().GetVisibleChannels(); }
void CSyncHost::UpdateSaveModeLabel() { m_dlg.UpdateSaveModeLabel(); }
void CSyncHost::UpdateCurrentModeLabel() { m_dlg.UpdateCurrentModeLabel(); }
void CSyncHost::UpdateSourceLabel() { m_dlg.UpdateSourceLabel(); }
void CSyncHost::RepaintSourceLabels() { m_dlg.RepaintSourceLabels(); }
void CSyncHost::DrawWifiPic() { m_dlg.DrawWifiPic(); }
void CSyncHost::DrawUsbPic() { m_dlg.DrawUsbPic(); }
