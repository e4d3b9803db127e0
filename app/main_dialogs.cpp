// The main window's device presets, channel names, input source, settings
// launcher and firmware upgrade.
#include "app/tarveldlg.h"
#include "dialogs/dialogfile.h"
#include "dialogs/dialogsetup.h"
#include "dialogs/importmodedsp.h"
#include "dialogs/inputaudiosource.h"
#include "dialogs/savechannelname.h"
#include "dialogs/savemodetodsp.h"
#include "link/commands.h"
#include "link/link_messages.h"
#include "model/device_presets.h"
#include "platform/codepage.h"

namespace {

int AskBox(CWnd& owner, int stringId, UINT style)
{
    const std::wstring text = LoadResString(stringId);
    return MessageBoxExW(owner.m_hWnd, text.c_str(), g_msgCaption.c_str(), style, g_languageId);
}

}  // namespace

BOOL CTarvelDlg::CheckBeforeSave()
{
    for (const SaveCheckStep& step : SaveChecks()) {
        if (step.refusal) {
            AskBox(*this, step.textId, MB_OK | MB_ICONEXCLAMATION);
            return FALSE;
        }
        if (AskBox(*this, step.textId, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return FALSE;
    }
    return TRUE;
}

void CTarvelDlg::OnSaveToDsp()
{
    if (!CheckBeforeSave()) return;
    PresetNameRecords names;
    CopyPresetNameRecords(names);
    CSaveModeToDsp dlg(g_presetSlot.load(), names);
    if (dlg.DoModal() != IDOK) return;
    const int slot = dlg.GetSelectedSlot();
    // Only a device that identified itself and sent its images takes a save.
    if (slot < 0 || slot >= kPresetSlots || !m_syncTimers.RequestSavePreset(slot)) {
        AskBox(*this, IDS_SAVE_NO_DEVICE, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    std::wstring name;
    dlg.GetName(name);
    g_presetSlot.store(slot);
    StoreNameRecord(g_presetNames[slot], EncodeAnsi(name, kNameRecordBytes));
    SendPresetName();
}

void CTarvelDlg::OnLoadFromDsp()
{
    PresetNameRecords names;
    CopyPresetNameRecords(names);
    CImportModeDsp dlg(g_presetSlot.load(), names);
    if (dlg.DoModal() != IDOK) return;
    // Only a device that identified itself and sent its images is recalled.
    if (!m_syncTimers.StartRecall(dlg.GetSelectedSlot())) AskBox(*this, IDS_RECALL_REFUSED, MB_OK | MB_ICONEXCLAMATION);
}

void CTarvelDlg::RenameChannel(int channel)
{
    if (channel < 0 || channel >= kChannels) return;
    const auto record = g_deviceChannelNames[channel].Get();
    CSaveChannelName dlg(channel, record.data());
    if (dlg.DoModal() != IDOK) return;
    std::wstring name;
    dlg.GetName(name);
    StoreNameRecord(g_deviceChannelNames[channel], EncodeAnsi(name, kNameRecordBytes));
    SendChannelName(channel);
    SendMessage(WM_CHANNEL_NAME_CHANGED, static_cast<WPARAM>(channel), 0);
}

void CTarvelDlg::OnMenuInputSource()
{
    CInputAudioSource dlg(SourceIndexOfCode(g_inputSource.load()), g_hiLevelMix);
    if (dlg.DoModal() != IDOK) return;
    // The code of the item shown: 4 opens on Optical/coaxial and becomes 5;
    // 6 opens on no item (index 5) and stays 6.
    g_inputSource.store(SourceCodeOfIndex(dlg.GetSourceIndex()));
    g_hiLevelMix = dlg.GetHighLevelMix();
    SendInputSource();
}

void CTarvelDlg::OnClickedSource() { OnMenuInputSource(); }

void CTarvelDlg::OnClickedSetup()
{
    CDialogSetup dlg(static_cast<unsigned>(g_hiLevelMixVolume));
    dlg.DoModal();
}

void CTarvelDlg::OnFirmwareUpgrade() { m_firmware.OnFirmwareUpgrade(); }

bool CTarvelDlg::StartFirmwareTransfer() { return m_firmware.StartFirmwareTransfer(); }

LRESULT CTarvelDlg::OnUpgradeRequest(WPARAM, LPARAM)
{
    m_firmware.OnUpgradeRequest([this] { return StartFirmwareTransfer(); });
    return 0;
}
