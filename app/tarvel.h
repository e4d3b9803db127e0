// The application object: start-up, the user-interface language and the
// run of the main dialog.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/dialogsetup.h"  // kLanguageFileName
#include "model/params.h"         // g_languageChoice
#include "platform/platform.h"

extern int g_preVista;

struct LanguageChoice {
    uint16_t languageId = 0;
    int choice = 0;
};
// The language of the run: the first of paths that exists is read (only
// that one: when it cannot be opened the system language decides); its first
// two bytes, little-endian, are the id as they are (missing bytes are 0).
// Without a file, any Chinese system language gives 0x0804, others 0x0409.
LanguageChoice ChooseLanguage(const std::vector<std::string>& paths, LANGID systemLanguage);

// The name of the desktop entry (res/desktop/tarvel.desktop, whose
// StartupWMClass it is), also that of the lock that keeps a second copy of
// the program from starting.
constexpr const char* kDesktopName = "tarvel";

class CTarvelApp : public CWinApp {
public:
    CTarvelApp();
    BOOL InitInstance() override;
    int ExitInstance() override;

    int CheckOSVersion();
    void LoadLanguage();
    // Lays the windows out for a smaller DPI bucket when the main window of
    // the screen's bucket would not fit the screen's available area.
    void FitScreenDpi();
};

extern CTarvelApp theApp;
