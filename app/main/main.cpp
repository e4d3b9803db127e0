// The program: the application object runs the main dialog.
//
// For screenshots and start-up checks without a person, three environment
// variables script a run:
//   TARVEL_SCRIPT_SHOT=<file.png>  picture of the main window (or of the
//                                  popup in front of it) before closing
//   TARVEL_SCRIPT_CLOSE_MS=<ms>    closes the program that long after start
//                                  (Cancel on a popup in front, else WM_CLOSE)
//   TARVEL_SCRIPT_PORT=<port>      the emulated amplifier's TCP port (1..65535):
//                                  the link talks to 127.0.0.1 on it, whatever
//                                  device address the build has
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/tarvel.h"
#include "app/tarveldlg.h"
#include "platform/testing.h"

namespace {

const char* Env(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// Ends popups in front of the main window with Cancel, then the window.
void ScriptedClose(const std::string& shot)
{
    HWND top = platform_testing::TopModalDialog();
    if (!shot.empty() && top) platform_testing::GrabWindowToPng(top, shot);
    CWnd* main = AfxGetMainWnd();
    if (top && main && top != main->m_hWnd) {
        ::PostMessage(top, WM_COMMAND, IDCANCEL, 0);
    } else if (main && main->m_hWnd) {
        ::PostMessage(main->m_hWnd, WM_CLOSE, 0, 0);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    LinkSetup setup;
    if (const char* port = Env("TARVEL_SCRIPT_PORT")) {
        char* end = nullptr;
        const long value = std::strtol(port, &end, 10);
        if (*end != 0 || value < 1 || value > 65535) {
            std::fprintf(stderr, "tarvel: TARVEL_SCRIPT_PORT is not a port: %s\n", port);
            return 2;
        }
        setup.tcp.address = "127.0.0.1";
        setup.tcp.port = static_cast<uint16_t>(value);
        SetLinkSetupForTests(&setup);
    }
    WorkerThread script;
    if (const char* ms = Env("TARVEL_SCRIPT_CLOSE_MS")) {
        const int delay = std::atoi(ms);
        const std::string shot = Env("TARVEL_SCRIPT_SHOT") ? Env("TARVEL_SCRIPT_SHOT") : "";
        script.Start(
            [delay, shot](const StopToken& stop) {
                if (!stop.SleepFor(delay)) return;
                PostToUi([shot] { ScriptedClose(shot); });
                // A popup closed first leaves the main window: close it too.
                while (stop.SleepFor(300)) PostToUi([] { ScriptedClose(""); });
            },
            "script");
    }
    const int code = theApp.Run(argc, argv);
    script.RequestStop();
    script.Join();
    return code;
}
