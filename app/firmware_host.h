// The main window's side of the firmware upgrade: its file dialog, its
// message boxes, IDT_PARAM_SYNC and the progress dialog.
#pragma once

#include "link/firmware_upgrade.h"

class CTarvelDlg;

class FirmwareHost final : public IFirmwareHost {
public:
    explicit FirmwareHost(CTarvelDlg& dlg) : m_dlg(dlg) {}

    std::optional<std::wstring> ChooseImageFile() override;
    bool ReadImageFile(const std::wstring& path, std::vector<uint8_t>& bytes) override;
    void ShowFirmwareBox(int stringId, bool warning) override;
    void StopParamSync() override;
    void RunProgressModal() override;
    void PostClose() override;

private:
    CTarvelDlg& m_dlg;
};
