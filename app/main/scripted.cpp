#include "app/main/scripted.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/main_link.h"
#include "dialogs/dialoglogo.h"
#include "model/device_models.h"
#include "model/device_state.h"
#include "platform/platform.h"
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

struct ScriptedStart::Threads {
    WorkerThread picker;
    WorkerThread script;
};

ScriptedStart::ScriptedStart() : m_threads(std::make_unique<Threads>()) {}

ScriptedStart::~ScriptedStart() { End(); }

bool ScriptedStart::Begin()
{
    if (const char* port = Env("TARVEL_SCRIPT_PORT")) {
        char* end = nullptr;
        const long value = std::strtol(port, &end, 10);
        if (*end != 0 || value < 1 || value > 65535) {
            std::fprintf(stderr, "tarvel: TARVEL_SCRIPT_PORT is not a port: %s\n", port);
            return false;
        }
        SetLoopbackTcpPort(static_cast<uint16_t>(value));
    }
    if (const char* folder = Env("TARVEL_SCRIPT_LOCK_DIR")) SingleInstance::SetLockFolderForTests(folder);
    if (Env("TARVEL_SCRIPT_REAL_BOXES")) platform_testing::SetRealPopupsWhenHeadless(true);
    const int model = Env("TARVEL_SCRIPT_MODEL") ? std::atoi(Env("TARVEL_SCRIPT_MODEL")) : 0;
    const int click = Env("TARVEL_SCRIPT_CLICK") ? std::atoi(Env("TARVEL_SCRIPT_CLICK")) : 0;
    auto confirmed = std::make_shared<std::atomic<bool>>(false);
    if (DeviceModelFactsOf(model) || click != 0) {
        m_threads->picker.Start(
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
    if (const char* ms = Env("TARVEL_SCRIPT_CLOSE_MS")) {
        const int delay = std::atoi(ms);
        const std::string shot = Env("TARVEL_SCRIPT_SHOT") ? Env("TARVEL_SCRIPT_SHOT") : "";
        m_threads->script.Start(
            [delay, shot](const StopToken& stop) {
                if (!stop.SleepFor(delay)) return;
                PostToUi([shot] { ScriptedClose(shot); });
                // A popup closed first leaves the main window: close it too.
                while (stop.SleepFor(300)) PostToUi([] { ScriptedClose(""); });
            },
            "script");
    }
    return true;
}

void ScriptedStart::End()
{
    m_threads->script.RequestStop();
    m_threads->script.Join();
    m_threads->picker.RequestStop();
    m_threads->picker.Join();
}
