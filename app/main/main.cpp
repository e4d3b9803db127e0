// The program: the application object runs the main dialog.
//
// For screenshots and start-up checks without a person, three environment
// variables script a run:
//   TARVEL_SCRIPT_SHOT=<file.png>  picture of the main window (or of the
//                                  popup in front of it) before closing
//   TARVEL_SCRIPT_CLOSE_MS=<ms>    closes the program that long after start:
//                                  ends the popups in front one by one (a
//                                  message box, file dialog or menu as its
//                                  Cancel would, a dialog with Cancel), then
//                                  the main window (WM_CLOSE)
//   TARVEL_SCRIPT_REAL_BOXES=1     offscreen too, message boxes and file
//                                  dialogs wait for an answer (or the
//                                  scripted close) instead of taking their
//                                  default at once
//   TARVEL_SCRIPT_PORT=<port>      the emulated amplifier's TCP port (1..65535):
//                                  the link talks to 127.0.0.1 on it, whatever
//                                  device address the build has
//   TARVEL_SCRIPT_MODEL=<1..8>     confirms the model picker with that model
//   TARVEL_SCRIPT_CLICK=<id>       clicks that control of the main window once
//                                  it is up (a popup's button, for a picture)
#include <atomic>
#include <cstdio>
#include <memory>
#include <cstdlib>
#include <string>

#include "app/tarvel.h"
#include "app/tarveldlg.h"
#include "dialogs/dialoglogo.h"
#include "model/device_state.h"
#include "platform/testing/testing.h"

namespace {

const char* Env(const char* name)
{
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

// Ends the popup in front of the main window, else the window.
void ScriptedClose(const std::string& shot)
{
    HWND top = platform_testing::TopModalDialog();
    if (!shot.empty() && top) platform_testing::GrabWindowToPng(top, shot);
    if (platform_testing::EndFrontPopup()) {
        std::fprintf(stderr, "tarvel: the scripted close ends the message box, file dialog or menu in front\n");
        return;
    }
    CWnd* main = AfxGetMainWnd();
    if (top && main && top != main->m_hWnd) {
        ::PostMessage(top, WM_COMMAND, IDCANCEL, 0);
    } else if (main && main->m_hWnd) {
        ::PostMessage(main->m_hWnd, WM_CLOSE, 0, 0);
    }
}

// Confirms the model picker in front with the model asked for.
bool ConfirmPicker(int model)
{
    HWND top = platform_testing::TopModalDialog();
    auto* picker = top ? dynamic_cast<CDialogLogo*>(CWnd::FromHandle(top)) : nullptr;
    if (!picker) return false;
    picker->m_nModelIndex = 0;
    for (int i = 0; i < CDialogLogo::kModelCount; ++i)
        if (CDialogLogo::kModels[i].deviceModel == model) picker->m_nModelIndex = i + 1;
    g_deviceModel = model;
    ::PostMessage(top, WM_COMMAND, IDC_LOGO_ENTER, 0);
    return true;
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
    if (Env("TARVEL_SCRIPT_REAL_BOXES")) platform_testing::SetRealPopupsWhenHeadless(true);
    WorkerThread picker;
    const int model = Env("TARVEL_SCRIPT_MODEL") ? std::atoi(Env("TARVEL_SCRIPT_MODEL")) : 0;
    const int click = Env("TARVEL_SCRIPT_CLICK") ? std::atoi(Env("TARVEL_SCRIPT_CLICK")) : 0;
    auto confirmed = std::make_shared<std::atomic<bool>>(false);
    if ((model >= 1 && model <= 8) || click != 0) {
        picker.Start(
            [model, click, confirmed](const StopToken& stop) {
                for (int i = 0; i < 50 && model != 0 && !confirmed->load() && stop.SleepFor(100); ++i) {
                    PostToUi([model, confirmed] {
                        if (!confirmed->load() && ConfirmPicker(model)) confirmed->store(true);
                    });
                }
                if (click == 0 || !stop.SleepFor(1500)) return;
                PostToUi([click] {
                    CWnd* main = AfxGetMainWnd();
                    if (main && main->m_hWnd) ::PostMessage(main->m_hWnd, WM_COMMAND, static_cast<WPARAM>(click), 0);
                });
            },
            "picker");
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
    picker.RequestStop();
    picker.Join();
    return code;
}
