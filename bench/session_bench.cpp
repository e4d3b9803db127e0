// Whole sessions of the program's main window against the emulated
// amplifier at its default pacing, over loopback TCP and the in-process HID
// backend, through the program's real event loop and window timers
// (offscreen):
//   - start to the main window with the device: from the main dialog's
//     start to the model picker gone with the device identified;
//   - connect to import end: from the first keep-alive at the device to both
//     images decoded (IDT_PARAM_SYNC running);
//   - edit to device: an edit of the model, as an editor makes it (the model
//     changed, then SyncTimers::OnModelEdited), to the device logging the
//     CMD_WRITE_EQUSER that carries it;
//   - graph drag step to device: one mouse move of a band held in the graph
//     to the device logging the block.
// Edits and drag steps come 0 to 300 ms (at random) after the last one
// reached the device, as a user's steps do.
//
//   session_bench [sessions] [edits]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/tarveldlg.h"
#include "bench/bench_support.h"
#include "bench/log_times.h"
#include "dialogs/dialoglogo.h"
#include "link/sync_timers.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_server.h"
#include "tests/support/globals.h"

namespace {

struct Figures {
    std::vector<double> starts;   // ms
    std::vector<double> imports;  // ms
    std::vector<double> edits;    // ms
    std::vector<double> drags;    // ms
};

// Waits poll the UI thread every millisecond.
constexpr auto kLimit = std::chrono::seconds(20);
constexpr auto kStep = std::chrono::milliseconds(1);

// One run of the main window: start, import, then edits and drag steps.
bool RunSession(bool overHid, int edits, Figures& out)
{
    ResetGlobals();
    SimDevice device;
    LogTimes writes(device, "CMD_WRITE_EQUSER ");
    InProcessHidBackend backend;
    std::unique_ptr<SimTcpServer> server;
    LinkSetup setup;
    setup.hidBackend = &backend;
    setup.tcp.address = "127.0.0.1";
    setup.tcp.networkAlive = [](std::string_view) { return true; };
    if (overHid) {
        backend.Plug(std::make_shared<SimHidEndpoint>(device));
        setup.tcp.port = 1;  // nobody listens: the TCP link stays down
    } else {
        server = std::make_unique<SimTcpServer>(device, 0);
        if (server->Start() != NetStatus::kOk) return false;
        setup.tcp.port = server->Port();
    }
    SetLinkSetupForTests(&setup);

    bool ok = true;
    CTarvelDlg dlg;
    Clock::time_point started;
    std::thread script([&] {
        std::mt19937 rng(11);
        auto fail = [&](const char* what) {
            std::fprintf(stderr, "%s: %s\n", overHid ? "HID" : "TCP", what);
            ok = false;
        };
        // The picker ends by itself once the device identified itself.
        if (!WaitOnUi(
                [&] {
                    HWND top = platform_testing::TopModalDialog();
                    const bool picker = top && dynamic_cast<CDialogLogo*>(CWnd::FromHandle(top)) != nullptr;
                    return !picker && g_deviceInfoReceived.load() == 1 && dlg.m_hWnd && dlg.IsWindowVisible();
                },
                kLimit, kStep)) {
            fail("no main window with the device");
        } else {
            out.starts.push_back(Ms(Clock::now() - started).count());
        }
        if (ok && !WaitOnUi([&] { return dlg.Timers().ParamSyncRunning(); }, kLimit, kStep)) fail("no import");
        if (ok && writes.FirstKeepAlive()) out.imports.push_back(Ms(Clock::now() - *writes.FirstKeepAlive()).count());

        for (int i = 0; ok && i < edits; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 300));
            const size_t before = writes.Count();
            Clock::time_point edited;
            OnUi([&] {
                int& gain = g_eqGain[i % kChannels][i % kBands];
                gain = (gain + 1 + static_cast<int>(rng() % 300)) % 301;  // always a change
                edited = Clock::now();
                dlg.Timers().OnModelEdited();
            });
            if (!writes.WaitFor(before, edited, out.edits)) fail("an edit did not reach the device");
        }

        // Drag band 10 of the selected channel: hover, press, then moves.
        HWND graph = nullptr;
        GraphPoint at;
        if (ok && edits > 0) {
            OnUi([&] {
                graph = dlg.Spectrum().m_hWnd;
                at = dlg.Spectrum().m_bezier.m_ptBand[10][3];
                platform_testing::MouseMoveTo(graph, at.x, at.y, false);
                platform_testing::MousePressAt(graph, at.x, at.y);
            });
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        for (int i = 0; ok && i < edits; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(rng() % 300));
            const size_t before = writes.Count();
            Clock::time_point stepped;
            OnUi([&] {
                stepped = Clock::now();
                platform_testing::MouseMoveTo(graph, at.x, at.y - (i % 2 == 0 ? 6 : 0), true);
            });
            if (!writes.WaitFor(before, stepped, out.drags)) fail("a drag step did not reach the device");
        }
        if (graph) OnUi([&] { platform_testing::MouseReleaseAt(graph, at.x, at.y); });
        OnUi([&] { dlg.PostMessage(WM_CLOSE, 0, 0); });
    });
    started = Clock::now();
    dlg.DoModal();
    script.join();
    SetLinkSetupForTests(nullptr);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const int sessions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int edits = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!EnsureUiApplication()) {
        std::fprintf(stderr, "no UI\n");
        return 1;
    }
    g_languageId = 0x0409;
    for (bool overHid : {false, true}) {
        Figures f;
        bool ok = true;
        for (int s = 0; s < sessions && ok; ++s) ok = RunSession(overHid, s == 0 ? edits : 0, f);
        if (!ok) return 1;
        std::printf("%s, emulated amplifier at its default pacing, the program's event loop:\n",
                    overHid ? "HID (in-process)" : "TCP (loopback)");
        std::printf("  start to the main window with the device, %d sessions: median %.1f  worst %.1f ms\n", sessions,
                    Median(f.starts), Worst(f.starts));
        std::printf("  connect to end of import (both images), %d sessions: median %.1f  worst %.1f ms\n", sessions,
                    Median(f.imports), Worst(f.imports));
        std::printf("  model edit to CMD_WRITE_EQUSER at the device, %d edits: median %.1f  worst %.1f ms\n", edits,
                    Median(f.edits), Worst(f.edits));
        std::printf("  graph drag step to CMD_WRITE_EQUSER at the device, %d steps: median %.1f  worst %.1f ms\n",
                    edits, Median(f.drags), Worst(f.drags));
    }
    return 0;
}
