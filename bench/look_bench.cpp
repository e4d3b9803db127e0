// The main window's look, offscreen, with its link off:
//   - start to window shown: from DoModal to the model picker shown, and
//     from the picker's confirmation to the main window shown;
//   - resident memory once the window is up;
//   - a full repaint of the main window (every child drawn into one
//     picture) at DPI bucket 0 (96 dpi) and 4 (192 dpi), median and worst;
//   - RelayoutAll for a change of device model (10 -> 12 -> 8 outputs ...).
//
//   look_bench [repaints] [relayouts]
// Each bucket runs in a child process of its own (start-up and memory are
// those of a fresh program).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/main_link.h"
#include "app/tarveldlg.h"
#include "bench/bench_support.h"
#include "dialogs/dialoglogo.h"
#include "model/device_state.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"

namespace {

// Waits poll every half millisecond: the start-up figures are that fine.
constexpr auto kLimit = std::chrono::seconds(10);
constexpr auto kStep = std::chrono::microseconds(500);

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return -1;
}

// Runs the main window at a DPI: the picker confirmed at once, then steps.
bool RunWindow(int dpi, Clock::time_point start,
               const std::function<void(CTarvelDlg&, double pickerMs, double shownMs)>& steps)
{
    SetScreenDpiForTests(dpi);
    LinkSetup setup;
    setup.startLink = false;
    SetLinkSetupForTests(&setup);
    bool ok = false;
    CTarvelDlg dlg;
    std::thread script([&] {
        const bool picker = WaitOnUi(
            [] {
                HWND top = platform_testing::TopModalDialog();
                return top && dynamic_cast<CDialogLogo*>(CWnd::FromHandle(top)) != nullptr;
            },
            kLimit, kStep);
        const double pickerMs = Ms(Clock::now() - start).count();
        const auto confirm = Clock::now();
        OnUi([] { ::PostMessage(platform_testing::TopModalDialog(), WM_COMMAND, IDOK, 0); });
        const bool shown = WaitOnUi(
            [&] { return platform_testing::TopModalDialog() == dlg.m_hWnd && dlg.IsWindowVisible(); }, kLimit, kStep);
        const double shownMs = Ms(Clock::now() - confirm).count();
        if (picker && shown) {
            steps(dlg, pickerMs, shownMs);
            ok = true;
        }
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    dlg.DoModal();
    script.join();
    SetLinkSetupForTests(nullptr);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto start = Clock::now();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int repaints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const int relayouts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 50;
    if (argc <= 3) {
        for (const char* dpi : {"96", "192"}) {
            const std::string child = "'" + std::string(argv[0]) + "' " + std::to_string(repaints) + " " +
                                      std::to_string(relayouts) + " " + dpi;
            if (std::system(child.c_str()) != 0) return 1;
        }
        return 0;
    }
    const int dpiArg = std::atoi(argv[3]);
    if (!EnsureUiApplication()) return 1;
    bool ok = true;
    for (int dpi : {dpiArg}) {
        ok &= RunWindow(dpi, start, [&](CTarvelDlg& dlg, double pickerMs, double shownMs) {
            std::vector<double> paint, layout;
            const long residentKb = ResidentKb();
            OnUi([&] {
                platform_testing::GrabWindowPixel(dlg.m_hWnd, 0, 0);  // warm the picture caches
                for (int i = 0; i < repaints; ++i) {
                    const auto t = Clock::now();
                    platform_testing::GrabWindowPixel(dlg.m_hWnd, 0, 0);
                    paint.push_back(Ms(Clock::now() - t).count());
                }
                const int models[] = {4, 8, 1, 7, 2, 5};
                for (int i = 0; i < relayouts; ++i) {
                    g_deviceModel = models[i % 6];
                    const auto t = Clock::now();
                    dlg.RelayoutAll();
                    layout.push_back(Ms(Clock::now() - t).count());
                }
                g_deviceModel = 4;
                dlg.RelayoutAll();
            });
            std::printf(
                "%d dpi: program start to model picker shown %.1f ms, picker confirmed to main window shown "
                "%.1f ms\n",
                dpi, pickerMs, shownMs);
            std::printf("%d dpi: resident memory once the window is shown: %.1f MB\n", dpi, residentKb / 1024.0);
            std::printf("%d dpi: full repaint of the main window, %d repaints: median %.2f  worst %.2f ms\n", dpi,
                        repaints, Median(paint), *std::max_element(paint.begin(), paint.end()));
            std::printf("%d dpi: RelayoutAll for a change of model, %d relayouts: median %.2f  worst %.2f ms\n", dpi,
                        relayouts, Median(layout), *std::max_element(layout.begin(), layout.end()));
        });
    }
    return ok ? 0 : 1;
}
