#include "app/firmware_host.h"

#include "app/tarveldlg.h"
#include "dialogs/loadpercent.h"
#include "link/firmware.h"
#include "platform/codepage.h"
#include "platform/files.h"

std::optional<std::wstring> FirmwareHost::ChooseImageFile()
{
    CFileDialog dialog(TRUE, L"img", nullptr, OFN_HIDEREADONLY, L"(*.img)|*.img|(*.*)|*.*||", &m_dlg);
    if (dialog.DoModal() != IDOK) return std::nullopt;
    return dialog.GetPathName();
}

bool FirmwareHost::ReadImageFile(const std::wstring& path, std::vector<uint8_t>& bytes)
{
    return ReadRegularFile(WideToUtf8(path), &bytes, kFirmwareFileMaxBytes) == FileReadResult::kOk;
}

void FirmwareHost::ShowFirmwareBox(int stringId, bool warning)
{
    const std::wstring text = LoadResString(stringId);
    MessageBoxExW(m_dlg.m_hWnd, text.c_str(), g_msgCaption.c_str(), warning ? MB_OK | MB_ICONEXCLAMATION : MB_OK,
                  g_languageId);
}

void FirmwareHost::StopParamSync() { m_dlg.Timers().StopForFirmware(); }

void FirmwareHost::RunProgressModal()
{
    CLoadPercent progress;
    progress.DoModal();
}

void FirmwareHost::PostClose() { m_dlg.PostMessage(WM_CLOSE, 0, 0); }
