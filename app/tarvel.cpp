#include "app/tarvel.h"

#include "app/placement.h"
#include "app/tarveldlg.h"
#include "platform/look.h"

int g_preVista = 0;

CTarvelApp theApp;

LanguageChoice ChooseLanguage(const std::vector<std::string>& paths, LANGID systemLanguage)
{
    LanguageChoice r;
    for (const std::string& path : paths) {
        if (!FileExists(path)) continue;
        std::vector<uint8_t> bytes;
        if (ReadFileBytes(path, &bytes)) {
            uint16_t id = 0;
            if (bytes.size() > 0) id = bytes[0];
            if (bytes.size() > 1) id = static_cast<uint16_t>(id | (bytes[1] << 8));
            r.languageId = id;
            r.choice = id == 0x0409 ? 2 : 1;
            return r;
        }
        break;  // only the first existing file is tried
    }
    r.languageId = (systemLanguage & 0x3FF) == 0x04 ? 0x0804 : 0x0409;
    r.choice = 0;
    return r;
}

CTarvelApp::CTarvelApp() { m_desktopName = kDesktopName; }

BOOL CTarvelApp::InitInstance()
{
    CWinApp::InitInstance();
    CheckOSVersion();
    LoadLanguage();
    // The device serves one client: a second copy would take the link from
    // the first and lose its edits.
    SingleInstance instance(SingleInstance::LockFolder(kDesktopName), kDesktopName);
    if (!instance.IsFirst()) {
        // The box says the window came forward only when the first copy was reached.
        const UINT text = instance.AskFirstToRaise() ? IDS_ALREADY_RUNNING : IDS_ANOTHER_COPY_RUNS;
        MessageBoxExW(nullptr, LoadResString(text).c_str(), LoadResString(IDS_MSG_CAPTION).c_str(),
                      MB_OK | MB_ICONINFORMATION, g_languageId);
        return FALSE;
    }
    FitScreenDpi();
    CTarvelDlg dlg;
    m_pMainWnd = &dlg;
    instance.ListenForRaise([this] {
        // Before the picker is done the window is not shown yet: the picker comes forward.
        if (m_pMainWnd && m_pMainWnd->IsWindowVisible()) m_pMainWnd->ShowWindow(SW_RESTORE);
        if (m_pMainWnd) m_pMainWnd->SetForegroundWindow();
    });
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

void CTarvelApp::FitScreenDpi()
{
    const RECT area = GetScreenWorkArea();
    if (ScreenDpiIsForced() || area.right <= area.left || area.bottom <= area.top) return;
    SIZE window[kDpiBuckets];
    for (int b = 0; b < kDpiBuckets; ++b) window[b] = {WindowWidth(b).value, WindowHeight(b).value};
    SetScreenDpi(FitDpiToArea(GetScreenDpi(), {area.right - area.left, area.bottom - area.top}, window));
}

int CTarvelApp::ExitInstance() { return CWinApp::ExitInstance(); }

// No Linux system predates the thread-language call.
int CTarvelApp::CheckOSVersion()
{
    g_preVista = 0;
    return 1;
}

void CTarvelApp::LoadLanguage()
{
    const LanguageChoice c = ChooseLanguage(LanguageFilePaths(kLanguageFileName), GetSystemDefaultLangID());
    g_languageId = c.languageId;
    g_languageChoice = c.choice;
}
