#include "app/aboutdlg.h"

#include "app/tarveldlg.h"
#include "model/device_state.h"

namespace {
// Bytes of the system code page up to the first zero.
template <size_t N>
std::wstring Shown(const std::array<char, N>& bytes)
{
    std::wstring out;
    for (char ch : bytes) {
        if (ch == 0) break;
        out.push_back(static_cast<unsigned char>(ch));
    }
    return out;
}
}  // namespace

CAboutDlg::CAboutDlg() : CDialogEx(100) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    SetDlgItemText(1254, Shown(g_deviceString.Get()));
    SetDlgItemText(1255, kAppVersion);
    const bool media = g_deviceInfoExReceived.load() == 1;
    if (media) SetDlgItemText(1256, Shown(g_deviceInfoEx.Get()));
    for (int id : {1256, 1850})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(media ? SW_SHOW : SW_HIDE);
    return TRUE;
}
