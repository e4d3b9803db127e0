#include "link/firmware_upgrade.h"

#include <vector>

#include "link/commands.h"
#include "link/firmware.h"
#include "model/device_state.h"
#include "res/resource.h"

namespace {

std::wstring BareName(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"/\\");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool FirmwareUpgrade::OnFirmwareUpgrade()
{
    const std::optional<std::wstring> path = m_host.ChooseImageFile();
    if (!path) return false;
    if (!FirmwareNameAccepted(BareName(*path), g_deviceModel.load(), g_allowAnyFirmware.load() == 1)) {
        m_host.ShowFirmwareBox(IDS_FW_BAD_FILE, true);
        return false;
    }
    std::vector<uint8_t> file;
    const bool read = m_host.ReadImageFile(*path, file);
    const FirmwareFileCheck check = read ? CheckFirmwareFile(file.data(), file.size()) : FirmwareFileCheck::kTooShort;
    if (check != FirmwareFileCheck::kOk) {
        // No image stays chosen: a transfer never starts with a bad one.
        ClearFirmwareImage();
        m_host.ShowFirmwareBox(check == FirmwareFileCheck::kBadChecksum ? IDS_FW_BAD_CHECKSUM : IDS_FW_BAD_FILE, true);
        return false;
    }
    m_host.StopParamSync();
    g_fwChecksum.store(file.back());
    SetFirmwareImage(*path, std::move(file));
    SendShortCommand(CMD_ENTER_UPGRADE);  // dropped by the gate while a transfer runs
    return true;
}

void FirmwareUpgrade::OnUpgradeRequest(const std::function<bool()>& startTransfer)
{
    if (g_upgradeMode.load() == 1) return;
    g_upgradeMode.store(1);
    if (!(startTransfer ? startTransfer() : StartFirmwareTransfer())) m_host.PostClose();
}

bool FirmwareUpgrade::StartFirmwareTransfer()
{
    if (!HasFirmwareImage()) {
        m_host.ShowFirmwareBox(IDS_FW_CHOOSE_FILE, false);
        g_allowAnyFirmware.store(1);
        OnFirmwareUpgrade();
        g_allowAnyFirmware.store(0);
        if (!HasFirmwareImage()) return false;
    }
    g_upgradeMode.store(1);
    g_fwLastChunkSent.store(0);
    g_tcpFwBlock.Clear();
    SendShortCommand(CMD_FW_START);
    g_progressPermille.store(0);
    m_host.RunProgressModal();
    return true;
}
