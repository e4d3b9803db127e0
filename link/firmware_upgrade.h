// The firmware upgrade as the main window runs it: the image file is
// chosen and checked, the device is asked to restart in its loader, and the
// loader's arrival starts the transfer that the reply parsers then serve.
// Everything here runs on the UI thread; what touches windows goes through
// the host.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class IFirmwareHost {
public:
    // The open-file dialog for "*.img"; nullopt for Cancel.
    virtual std::optional<std::wstring> ChooseImageFile() = 0;
    // The whole file; false when it cannot be opened or read, is no regular
    // file or is larger than kFirmwareFileMaxBytes (link/firmware.h).
    virtual bool ReadImageFile(const std::wstring& path, std::vector<uint8_t>& bytes) = 0;
    // String-table message box with OK (caption g_msgCaption, g_languageId),
    // modal; with the exclamation icon when warning.
    virtual void ShowFirmwareBox(int stringId, bool warning) = 0;
    virtual void StopParamSync() = 0;
    // The progress dialog, modal, until g_progressPermille reaches 1000.
    virtual void RunProgressModal() = 0;
    // Ends the program (WM_CLOSE posted to the main window).
    virtual void PostClose() = 0;

protected:
    ~IFirmwareHost() = default;
};

class FirmwareUpgrade {
public:
    explicit FirmwareUpgrade(IFirmwareHost& host) : m_host(host) {}

    // Chooses an image, checks its name and sum, keeps it and asks the
    // device to enter its loader. True when an image was accepted.
    bool OnFirmwareUpgrade();
    // The loader asks for an image (WM_UPGRADE_REQUEST): the transfer starts
    // unless one runs, through startTransfer when given (the window's
    // StartFirmwareTransfer), else StartFirmwareTransfer; without an image
    // to give the program closes.
    void OnUpgradeRequest(const std::function<bool()>& startTransfer = {});
    // Asks for an image when none is chosen, then CMD_FW_START and the
    // progress dialog. False when no image could be had.
    bool StartFirmwareTransfer();

private:
    IFirmwareHost& m_host;
};
