// The main window's channel strips against the emulated amplifier (in-process
// HID, default pacing), offscreen:
//   - key press in a gain field to the changed EqUser block written to the
//     device (CMD_WRITE_EQUSER in the device's log), median and worst;
//   - a full repaint of the main window (every child drawn into one
//     picture) at DPI bucket 0 (96 dpi) and bucket 4 (192 dpi), median.
//
//   strips_bench [presses] [repaints]
// Each bucket runs in a child process, since the screen DPI is read once.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/main_link.h"
#include "app/tarveldlg.h"
#include "bench/bench_support.h"
#include "bench/log_times.h"
#include "model/params.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "tests/app/sim_link.h"
#include "tests/support/globals.h"

namespace {

// Runs the window against the emulated amplifier; script runs on its own
// thread once the import is done and must leave the window open.
bool RunWindow(const std::function<void(CTarvelDlg&, SimDevice&)>& script)
{
    if (!EnsureUiApplication()) return false;
    ResetGlobals();
    SimDevice device;
    InProcessHidBackend backend;
    LinkSetup setup;
    LinkToSimOverHid(setup, backend, device);
    SetLinkSetupForTests(&setup);
    bool ok = false;
    {
        CTarvelDlg dlg;
        std::thread t([&] {
            ok = WaitOnUi(
                [&] { return platform_testing::TopModalDialog() == dlg.m_hWnd && dlg.Timers().ParamSyncRunning(); },
                std::chrono::seconds(10), std::chrono::milliseconds(2));
            if (ok) script(dlg, device);
            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        });
        dlg.DoModal();
        t.join();
    }
    SetLinkSetupForTests(nullptr);
    device.Log().SetSink({});
    return ok;
}

int KeyToDevice(int presses)
{
    std::vector<double> times;
    bool byKey = true;
    const bool ok = RunWindow([&](CTarvelDlg& dlg, SimDevice& device) {
        LogTimes writes(device, "CMD_WRITE_EQUSER ");
        const HWND field = dlg.GetDlgItem(g_gainEditId[0])->m_hWnd;
        OnUi([&] {
            platform_testing::Activate(dlg.m_hWnd);
            dlg.GetDlgItem(g_gainEditId[0])->SetFocus();
        });
        std::mt19937 rng(7);
        for (int i = 0; i < presses; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 100));
            const size_t before = writes.Count();
            Clock::time_point pressed;
            OnUi([&] {
                const int gain = g_channelGain[0];
                pressed = Clock::now();
                platform_testing::PressKey(field, i % 2 == 0 ? VK_DOWN : VK_UP);
                if (g_channelGain[0] != gain) return;
                // A field without its key steps: the same edit typed and
                // committed by leaving the field.
                byKey = false;
                static_cast<CEdit*>(dlg.GetDlgItem(g_gainEditId[0]))->SetSel(0, -1);
                for (wchar_t ch : std::wstring(i % 2 == 0 ? L"-0.1" : L"0")) platform_testing::PressKey(field, 0, ch);
                dlg.GetDlgItem(IDC_FREQ_CAPTION)->SetFocus();
                dlg.GetDlgItem(g_gainEditId[0])->SetFocus();
            });
            writes.WaitFor(before, pressed, times);  // a lost write adds no figure
        }
    });
    if (!ok || times.empty()) {
        std::fprintf(stderr, "the session did not come up\n");
        return 1;
    }
    std::printf("%s in the CH1 gain field to CMD_WRITE_EQUSER at the device, %zu presses: median %.1f  worst %.1f ms\n",
                byKey ? "key press" : "typed text and focus loss", times.size(), Median(times),
                *std::max_element(times.begin(), times.end()));
    return 0;
}

int Repaint(int repaints)
{
    std::vector<double> times;
    const bool ok = RunWindow([&](CTarvelDlg& dlg, SimDevice&) {
        OnUi([&] {
            platform_testing::GrabWindowPixel(dlg.m_hWnd, 0, 0);  // warm caches
            for (int i = 0; i < repaints; ++i) {
                const auto start = Clock::now();
                platform_testing::GrabWindowPixel(dlg.m_hWnd, 0, 0);
                times.push_back(Ms(Clock::now() - start).count());
            }
        });
    });
    if (!ok || times.empty()) return 1;
    std::printf("full repaint of the main window at %s dpi, %d repaints: median %.2f  worst %.2f ms\n",
                std::getenv("TARVEL_DPI"), repaints, Median(times), *std::max_element(times.begin(), times.end()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int repaints = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    if (argc > 3 && std::string(argv[3]) == "repaint") return Repaint(repaints);
    if (!RunAtEachBucket(argv[0], "1 " + std::to_string(repaints) + " repaint")) return 1;
    setenv("TARVEL_DPI", "96", 1);
    return KeyToDevice(presses);
}
