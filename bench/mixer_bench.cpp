// The input mixer, offscreen:
//   - opening it (constructor to shown, 216 cells laid out) at DPI bucket 0
//     (96 dpi) and bucket 4 (192 dpi), median and worst;
//   - a slider drag over a cell to the changed EqUser2 block written to the
//     emulated amplifier (in-process HID, default pacing; CMD_WRITE_EQUSER2
//     in the device's log), median and worst.
//
//   mixer_bench [opens] [drags]
// Each bucket opens in a child process, since the screen DPI is read once.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/control_ids.h"
#include "app/main_link.h"
#include "app/tarveldlg.h"
#include "bench/bench_support.h"
#include "bench/log_times.h"
#include "dialogs/dialogchinputvol.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "tests/app/sim_link.h"
#include "tests/support/globals.h"

namespace {

void Print(const char* what, const std::vector<double>& times)
{
    std::printf("%s, %zu runs: median %.1f  worst %.1f ms\n", what, times.size(), Median(times), Worst(times));
}

int Open(int opens)
{
    if (!EnsureUiApplication()) return 1;
    g_screenDpi = GetScreenDpi();
    g_deviceModel = 2;  // twelve outputs, sixteen rows
    std::vector<double> times;
    for (int i = 0; i < opens; ++i) {
        const auto start = Clock::now();
        CDialogChInputVol dlg(static_cast<UINT>(g_inputVolTemplateId[2]));
        PostToUi([&] {
            if (dlg.IsWindowVisible()) times.push_back(Ms(Clock::now() - start).count());
            dlg.EndDialog(IDCANCEL);
        });
        dlg.DoModal();
    }
    const std::string what = "opening the mixer (model 2) at " + std::to_string(g_screenDpi) + " dpi";
    Print(what.c_str(), times);
    return times.empty() ? 1 : 0;
}

int DragToDevice(int drags)
{
    if (!EnsureUiApplication()) return 1;
    ResetGlobals();
    SimDevice device;
    InProcessHidBackend backend;
    LinkSetup setup;
    LinkToSimOverHid(setup, backend, device);
    SetLinkSetupForTests(&setup);
    std::vector<double> times;
    {
        CTarvelDlg dlg;
        CWinApp app;
        app.m_pMainWnd = &dlg;
        std::thread t([&] {
            WaitOnUi(
                [&] { return platform_testing::TopModalDialog() == dlg.m_hWnd && dlg.Timers().ParamSyncRunning(); });
            PostToUi([&] { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_INPUT_VOL, BN_CLICKED), 0); });
            CDialogChInputVol* mixer = WaitForModal<CDialogChInputVol>();
            LogTimes writes(device, "CMD_WRITE_EQUSER2 ");
            for (int i = 0; mixer && i < drags; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(17 * (i % 6)));
                const size_t before = writes.Count();
                Clock::time_point pressed;
                OnUi([&] {
                    CNewSliderCtrl& slider = mixer->Slider(0, 0);
                    CRect thumb;
                    slider.GetThumbWndRect(&thumb);
                    const CPoint grab = thumb.CenterPoint();
                    const int dx = i % 2 == 0 ? 12 : -12;
                    pressed = Clock::now();
                    platform_testing::MousePressAt(slider.m_hWnd, grab.x, grab.y);
                    platform_testing::MouseMoveTo(slider.m_hWnd, grab.x + dx, grab.y);
                    platform_testing::MouseReleaseAt(slider.m_hWnd, grab.x + dx, grab.y);
                });
                writes.WaitFor(before, pressed, times);  // a lost write adds no figure
            }
            if (mixer) OnUi([&] { mixer->EndDialog(IDCANCEL); });
            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        });
        dlg.DoModal();
        t.join();
        app.m_pMainWnd = nullptr;
    }
    SetLinkSetupForTests(nullptr);
    device.Log().SetSink({});
    Print("slider drag over CH1 x Hi.1 to CMD_WRITE_EQUSER2 at the device", times);
    return times.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const int opens = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const int drags = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
    if (argc > 3 && std::string(argv[3]) == "open") return Open(opens);
    if (!RunAtEachBucket(argv[0], std::to_string(opens) + " 1 open")) return 1;
    setenv("TARVEL_DPI", "96", 1);
    return DragToDevice(drags);
}
