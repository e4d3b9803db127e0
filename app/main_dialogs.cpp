// The main window's device presets, channel names, input source, settings
// launcher and firmware upgrade.
#include <filesystem>
#include <mutex>

#include "app/tarveldlg.h"
#include "dialogs/dialogfile.h"
#include "dialogs/dialogsetup.h"
#include "dialogs/importmodedsp.h"
#include "dialogs/inputaudiosource.h"
#include "dialogs/savechannelname.h"
#include "dialogs/savemodetodsp.h"
#include "link/commands.h"
#include "link/image_lock.h"
#include "link/link_messages.h"
#include "model/device_presets.h"
#include "model/eq_images.h"
#include "model/preset_file.h"
#include "platform/codepage.h"

namespace {

int AskBox(CWnd& owner, int stringId, UINT style)
{
    const std::wstring text = LoadResString(stringId);
    return MessageBoxExW(owner.m_hWnd, text.c_str(), g_msgCaption.c_str(), style, g_languageId);
}

}  // namespace

std::wstring ChannelButtonText(int channel)
{
    if (channel >= 0 && channel < kChannels) {
        const auto record = g_deviceChannelNames[channel].Get();
        std::wstring name = DecodeAnsi(record.data(), record.size());
        if (!name.empty()) return name;
    }
    return LoadResString(ChannelLabelStringId(channel));
}

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
    const int slot = dlg.GetSelectedSlot();
    if (slot < 0 || slot >= kPresetSlots) return;
    g_presetSlot.store(slot);
    m_syncTimers.StartRecall();
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

// The C-source export: both images as C arrays, then a slot and a name for
// the name record file beside them. Nothing is sent.
void CTarvelDlg::OnClickedExportMcuParams()
{
    CFileDialog dialog(FALSE, nullptr, L"UserEq", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, nullptr, this);
    if (dialog.DoModal() != IDOK) return;
    const std::string path = WideToUtf8(dialog.GetPathName());
    std::string eqUser, eqUser2;
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        BuildEqUser();
        BuildEqUser2();
        eqUser = FormatCArray("UserEq", g_eqUser, EQ_USER_PARA_NUM);
        eqUser2 = FormatCArray("UserEq2", g_eqUser2, SAVE_PARA_2_END);
    }
    if (!WriteFileBytes(path, reinterpret_cast<const uint8_t*>(eqUser.data()), eqUser.size()) ||
        !WriteFileBytes(SecondImagePath(path), reinterpret_cast<const uint8_t*>(eqUser2.data()), eqUser2.size())) {
        AskBox(*this, IDS_FILE_ERROR, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    PresetNameRecords names;
    CopyPresetNameRecords(names);
    CSaveModeToDsp slotDlg(g_presetSlot.load(), names);
    if (slotDlg.DoModal() != IDOK) return;
    const int slot = slotDlg.GetSelectedSlot();
    if (slot < 0 || slot >= 8) return;
    std::wstring name;
    slotDlg.GetName(name);
    g_presetSlot.store(slot);
    StoreNameRecord(g_presetNames[slot], EncodeAnsi(name, kNameRecordBytes));
    const int n = ++m_nExportCount;
    const std::string text = FormatNameRecord(n, slot, g_presetNames[slot].Get());
    const std::string folder = std::filesystem::path(path).parent_path().string();
    const std::string namePath = (folder.empty() ? std::string() : folder + "/") + NameRecordFileName(n);
    WriteFileBytes(namePath, reinterpret_cast<const uint8_t*>(text.data()), text.size());
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
    m_firmware.OnUpgradeRequest();
    return 0;
}
