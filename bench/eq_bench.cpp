// Figures of the equaliser controls:
//   - ResetAll to device: a tuned model (every band, crossover, channel gain
//     and routing mask away from its default) is reset while the
//     synchronisation timers run against the emulated amplifier over the
//     in-process HID link; the changed blocks written until both device
//     images equal the reset model's, and the time until the last one;
//   - RefreshEqControls on the real main window (offscreen): 31 x 3 band
//     fields, 31 sliders, the bypass buttons and the crossover controls of
//     the selected channel rewritten (median and worst).
//
//   eq_bench [resets] [refreshes]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/main_link.h"
#include "app/tarveldlg.h"
#include "bench/bench_support.h"
#include "bench/log_times.h"
#include "dialogs/dialoglogo.h"
#include "link/hid_link.h"
#include "model/eq_images.h"
#include "model/resets.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "tests/link/session_host.h"
#include "tests/support/globals.h"

namespace {

// Every value the reset puts back moved away from its default.
void TuneModel(std::mt19937& rng)
{
    for (int c = 0; c < kChannels; ++c) {
        for (int b = 0; b < kBands; ++b) {
            g_eqGain[c][b] = static_cast<int>(rng() % 301);
            if (g_eqGain[c][b] == kDefaultGainCode) g_eqGain[c][b] = 0;
            g_eqFreq[c][b] = 21 + static_cast<int>(rng() % 19900);
            g_eqQStep[c][b] = static_cast<int>(rng() % kQSteps);
            g_eqQ[c][b] = g_qStepTable[g_eqQStep[c][b]] == kDefaultQ ? 1.0 : g_qStepTable[g_eqQStep[c][b]];
        }
        g_hpFreq[c] = 40 + static_cast<int>(rng() % 200);
        g_lpFreq[c] = 5000 + static_cast<int>(rng() % 10000);
        g_hpSlope[c] = static_cast<int>(rng() % 8);
        g_lpSlope[c] = static_cast<int>(rng() % 8);
        g_hpType[c] = g_lpType[c] = 1;
        g_channelGain[c] = 1 + static_cast<int>(rng() % 599);
        g_routingMask[c] = static_cast<uint32_t>(rng()) & 0x3FFFFu;
        for (int i = 0; i < kInputs; ++i) g_inputMixVolume[c][i] = 1 + rng() % 59;
    }
}

struct ResetFigure {
    int blocks = 0;
    double lastMs = 0;
};

// One session: import, tune, wait until the device holds the tuned model,
// then reset and count the blocks until it holds the reset one.
bool RunReset(std::mt19937& rng, ResetFigure& out)
{
    ResetGlobals();
    session::View scratch;
    ResetAll(scratch);
    SimDevice device;
    LogTimes writes(device, "CMD_WRITE_EQUSER");
    InProcessHidBackend backend;
    session::Dialog dialog;
    dialog.sync.Start();
    backend.Plug(std::make_shared<SimHidEndpoint>(device));
    auto hid = std::make_unique<HidLink>(backend);
    hid->Start();

    auto deviceHolds = [&] {
        BuildEqUser(dialog.view.delays);
        BuildEqUser2(0);
        const SimState s = device.State();
        return s.eqUser.size() == static_cast<size_t>(GetEqUserSize()) &&
               std::memcmp(s.eqUser.data(), g_eqUser, s.eqUser.size()) == 0 &&
               std::memcmp(s.eqUser2.data(), g_eqUser2, SAVE_PARA_2_END) == 0;
    };
    bool ok = dialog.RunUntil(
        [&] { return dialog.sync.ParamSyncRunning() && dialog.messages[WM_CHANNEL_NAME_CHANGED] >= 12; },
        std::chrono::seconds(20));
    TuneModel(rng);
    ok = ok && dialog.RunUntil(deviceHolds, std::chrono::seconds(60));
    const size_t before = writes.Count();
    const auto reset = Clock::now();
    ResetAll(dialog.view);
    ok = ok && dialog.RunUntil(deviceHolds, std::chrono::seconds(60));
    dialog.RunFor(std::chrono::milliseconds(300));  // nothing further goes out
    const size_t after = writes.Count();
    out.blocks = static_cast<int>(after - before);
    out.lastMs = out.blocks > 0 ? Ms(writes.At(after - 1) - reset).count() : 0;
    hid.reset();
    return ok;
}

// RefreshEqControls on the real window, alternating two channels whose every
// band differs, so that every text changes.
std::vector<double> TimeRefresh(int count)
{
    LinkSetup setup;
    setup.startLink = false;
    SetLinkSetupForTests(&setup);
    std::vector<double> times;
    CTarvelDlg dlg;
    std::thread script([&] {
        auto onUi = [](std::function<void()> f) {
            auto done = std::make_shared<std::promise<void>>();
            auto fut = done->get_future();
            PostToUi([f, done] {
                f();
                done->set_value();
            });
            fut.wait();
        };
        for (bool up = false; !up; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            onUi([&] {
                HWND top = platform_testing::TopModalDialog();
                if (top && dynamic_cast<CDialogLogo*>(CWnd::FromHandle(top))) ::PostMessage(top, WM_COMMAND, IDOK, 0);
                up = top == dlg.m_hWnd && dlg.IsWindowVisible();
            });
        }
        onUi([&] {
            for (int b = 0; b < kBands; ++b) {
                g_eqGain[1][b] = 10 * b;
                g_eqFreq[1][b] = 1000 + b;
                g_eqQ[1][b] = 1.5;
            }
            for (int i = 0; i < count; ++i) {
                g_selectedChannel = i % 2;
                const auto t0 = Clock::now();
                dlg.View().RefreshEqControls();
                times.push_back(Ms(Clock::now() - t0).count());
            }
            g_selectedChannel = 0;
            ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0);
        });
    });
    dlg.DoModal();
    script.join();
    SetLinkSetupForTests(nullptr);
    return times;
}

}  // namespace

int main(int argc, char** argv)
{
    const int resets = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const int refreshes = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    if (!EnsureUiApplication()) return 1;

    std::mt19937 rng(7);
    std::vector<double> blocks, lasts;
    for (int i = 0; i < resets; ++i) {
        ResetFigure f;
        if (!RunReset(rng, f)) {
            std::fprintf(stderr, "a reset session did not complete\n");
            return 1;
        }
        blocks.push_back(f.blocks);
        lasts.push_back(f.lastMs);
    }
    std::printf("ResetAll of a tuned model, emulated amplifier over in-process HID at its default pacing, %d runs:\n",
                resets);
    std::printf("  changed blocks written (EqUser and EqUser2): median %.0f  max %.0f\n", Median(blocks),
                *std::max_element(blocks.begin(), blocks.end()));
    std::printf("  reset to the last block at the device: median %.0f  max %.0f ms\n", Median(lasts),
                *std::max_element(lasts.begin(), lasts.end()));

    const std::vector<double> t = TimeRefresh(refreshes);
    std::printf("RefreshEqControls on the main window (offscreen), %d runs: median %.3f  worst %.3f ms\n", refreshes,
                Median(t), *std::max_element(t.begin(), t.end()));
    return 0;
}
