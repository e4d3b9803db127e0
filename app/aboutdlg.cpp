#include "app/aboutdlg.h"

#include "app/tarveldlg.h"
#include "model/device_state.h"
#include "res/resource.h"

namespace {
template <size_t N>
std::wstring Shown(const std::array<char, N>& bytes)
{
    return FromSystemCodePage(bytes.data(), N);
}
}  // namespace

CAboutDlg::CAboutDlg() : CDialogEx(IDD_ABOUTBOX) {}

BOOL CAboutDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    SetDlgItemText(IDC_ABOUT_DEVICE, Shown(g_deviceString.Get()));
    SetDlgItemText(IDC_ABOUT_VERSION, kAppVersion);
    const bool media = g_deviceInfoExReceived.load() == 1;
    if (media) SetDlgItemText(IDC_ABOUT_MEDIA, Shown(g_deviceInfoEx.Get()));
    for (int id : {IDC_ABOUT_MEDIA, IDC_ABOUT_MEDIA_LABEL})
        if (CWnd* w = GetDlgItem(id)) w->ShowWindow(media ? SW_SHOW : SW_HIDE);
    return TRUE;
}
