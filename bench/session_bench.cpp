// Whole sessions against the emulated amplifier at its default pacing, over
// loopback TCP and the in-process HID backend, run by the synchronisation
// timers in a stand-in main dialog:
//   - connect to import end: from the first moment the link is up to both
//     images decoded and all twelve channel names in;
//   - edit to device: from a change of the model to the device logging the
//     CMD_WRITE_EQUSER that carries it (median and worst).
//
//   session_bench [sessions] [edits]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/hid_link.h"
#include "link/tcp_link.h"
#include "model/device_state.h"
#include "model/resets.h"
#include "platform/hid/inprocess_backend.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_server.h"
#include "tests/link/link_globals.h"
#include "tests/link/session_host.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;

void ResetGlobals()
{
    ResetLinkGlobals();
    session::View scratch;
    ResetAll(scratch);
}

struct Figures {
    std::vector<double> imports;  // ms
    std::vector<double> edits;    // ms
};

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// One connection: the import, then `edits` edits when asked for.
bool RunSession(bool overHid, int edits, Figures& out)
{
    ResetGlobals();
    SimDevice device;
    std::mutex writesMutex;
    std::vector<Clock::time_point> writes;
    device.Log().SetSink([&](const std::string& line) {
        if (line.find("CMD_WRITE_EQUSER ") == std::string::npos) return;
        std::lock_guard<std::mutex> lock(writesMutex);
        writes.push_back(Clock::now());
    });
    auto writeCount = [&] {
        std::lock_guard<std::mutex> lock(writesMutex);
        return writes.size();
    };

    InProcessHidBackend backend;
    std::unique_ptr<SimTcpServer> server;
    std::unique_ptr<CTcpLink> tcp;
    std::unique_ptr<HidLink> hid;
    session::Dialog dialog;
    dialog.tcpState = [&] { return tcp ? tcp->GetState() : int{TCP_LINK_CLOSED}; };
    dialog.sync.Start();
    if (overHid) {
        backend.Plug(std::make_shared<SimHidEndpoint>(device));
        hid = std::make_unique<HidLink>(backend);
        hid->Start();
    } else {
        server = std::make_unique<SimTcpServer>(device, 0);
        if (server->Start() != NetStatus::kOk) return false;
        tcp = std::make_unique<CTcpLink>(TcpLinkOptions{"127.0.0.1", server->Port(), [](std::string_view) { return true; }});
        tcp->Start();
    }

    bool ok = dialog.RunUntil([&] { return g_usbConnected.load() == 1 || (tcp && tcp->IsUp()); }, std::chrono::seconds(10));
    const auto connected = Clock::now();
    ok = ok && dialog.RunUntil([&] {
        return dialog.sync.ParamSyncRunning() && dialog.messages[WM_CHANNEL_NAME_CHANGED] >= 12;
    });
    if (ok) out.imports.push_back(Ms(Clock::now() - connected).count());

    std::mt19937 rng(11);
    for (int i = 0; ok && i < edits; ++i) {
        // Edits fall at random moments of the 100 ms tick.
        dialog.RunFor(std::chrono::milliseconds(rng() % 100));
        const size_t before = writeCount();
        int& gain = g_eqGain[i % kChannels][i % kBands];
        gain = (gain + 1 + static_cast<int>(rng() % 300)) % 301;  // always a change
        const auto edited = Clock::now();
        ok = dialog.RunUntil([&] { return writeCount() > before; }, std::chrono::seconds(5));
        std::lock_guard<std::mutex> lock(writesMutex);
        if (ok) out.edits.push_back(Ms(writes[before] - edited).count());
    }
    hid.reset();
    tcp.reset();
    device.Log().SetSink({});
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const int sessions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const int edits = argc > 2 ? std::max(1, std::atoi(argv[2])) : 200;
    for (bool overHid : {false, true}) {
        Figures f;
        bool ok = true;
        for (int s = 0; s < sessions && ok; ++s) ok = RunSession(overHid, s == 0 ? edits : 0, f);
        if (!ok) {
            std::fprintf(stderr, "%s: a session did not complete\n", overHid ? "HID" : "TCP");
            return 1;
        }
        std::printf("%s, emulated amplifier at its default pacing:\n", overHid ? "HID (in-process)" : "TCP (loopback)");
        std::printf("  connect to end of import (both images and names), %d sessions: min %.1f  median %.1f  max %.1f ms\n",
                    sessions, *std::min_element(f.imports.begin(), f.imports.end()), Median(f.imports),
                    *std::max_element(f.imports.begin(), f.imports.end()));
        std::printf("  edit to CMD_WRITE_EQUSER at the device, %d edits: median %.1f  worst %.1f ms\n", edits,
                    Median(f.edits), *std::max_element(f.edits.begin(), f.edits.end()));
    }
    return 0;
}
