#include "app/firmware_host.h"

#include "app/tarveldlg.h"
#include "dialogs/loadpercent.h"
#include "platform/codepage.h"

std::optional<std::wstring> CFirmwareHost::ChooseImageFile()
{
    CFileDialog dialog(TRUE, L"img", nullptr, OFN_HIDEREADONLY, L"(*.img)|*.img|(*.*)|*.*||", &m_dlg);
    if (dialog.DoModal() != IDOK) return std::nullopt;
    return dialog.GetPathName();
}

bool CFirmwareHost::ReadImageFile(const std::wstring& path, std::vector<uint8_t>& bytes)
{
    return ReadFileBytes(WideToUtf8(path), &bytes);
}

void CFirmwareHost::ShowFirmwareBox(int stringId, bool warning)
{
    const std::wstring text = LoadResString(stringId);
    MessageBoxExW(m_dlg.m_hWnd, text.c_str(), g_msgCaption.c_str(), warning ? MB_OK | MB_ICONEXCLAMATION : MB_OK,
                  g_languageId);
}

void CFirmwareHost::StopParamSync() { m_dlg.Timers().StopParamSync(); }

void CFirmwareHost::RunProgressModal()
{
    CLoadPercent progress;
    progress.DoModal();
}

void CFirmwareHost::PostClose() { m_dlg.PostMessage(WM_CLOSE, 0, 0); }
