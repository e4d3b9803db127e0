// The application object, the user-interface language of the system, the
// screen resolution and the program's run entry.
#pragma once

#include <string>

#include "platform/types.h"

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // TRUE runs the event loop until the last window closes; FALSE goes
    // straight to ExitInstance.
    virtual BOOL InitInstance();
    // The process exit code.
    virtual int ExitInstance();

    // Creates the application object of the UI (argc/argv are kept for
    // it), runs InitInstance, the loop when asked for, and ExitInstance;
    // returns ExitInstance's result.
    int Run(int argc, char** argv);

    CWnd* m_pMainWnd = nullptr;
    // The name of the program's desktop entry (its file name without
    // ".desktop"): the class of its windows for the window manager
    // (WM_CLASS, the entry's StartupWMClass) and its application id. Set
    // before Run; empty keeps the program file's name.
    std::string m_desktopName;

private:
    int m_exitCode = 0;
};

// The application's main window, nullptr when none.
CWnd* AfxGetMainWnd();

// Makes sure the UI's application object exists (for tests and tools that
// do not go through CWinApp::Run); safe to call often. The numeric locale
// stays "C" whatever the environment says.
bool EnsureUiApplication();

// The system's default language from the locale of the environment: the
// first non-empty of LC_ALL, LC_MESSAGES and LANG. Chinese of the PRC and
// Singapore 0x0804, Taiwan 0x0404, Hong Kong 0x0C04, any other Chinese
// 0x0804; other languages their usual id; unknown ones, "C" and "POSIX" 0x0409.
LANGID GetSystemDefaultLangID();
// The same from one locale name such as "zh_CN.UTF-8" or "de_AT@euro".
LANGID LangIdFromLocaleName(const std::string& name);

// Logical pixels per inch of the primary screen, read once (96 without a
// screen), times QT_SCALE_FACTOR (Qt's own scaling is off: one pixel of a
// window is one of the screen); the environment variable TARVEL_DPI forces
// the value.
int GetScreenDpi();
// The same without the cache.
int ReadScreenDpi();
// Tests: the value GetScreenDpi gives from now on (0: read it again).
void SetScreenDpiForTests(int dpi);
// True when TARVEL_DPI or a test set the DPI: it is then taken as it is.
bool ScreenDpiIsForced();
// The DPI the program lays its windows out for from now on: GetScreenDpi
// gives it.
void SetScreenDpi(int dpi);
// The primary screen's available area (without the desktop's panels), in
// screen pixels; empty without a screen.
RECT GetScreenWorkArea();
