// The firmware transfer and the preset recall against the emulated
// amplifier at its default pacing, over loopback TCP and the in-process HID
// backend, run by the synchronisation timers in a stand-in main dialog:
//   - a whole transfer of a 64 KiB image, from the device logging
//     CMD_FW_START to it logging CMD_FW_DONE, and its ratio to the pacing
//     limit (one reply gap per loader request);
//   - a preset recall, from the request to both images decoded.
//
//   upgrade_bench [recalls]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <numeric>
#include <vector>

#include "link/firmware.h"
#include "link/firmware_upgrade.h"
#include "link/hid_link.h"
#include "link/tcp_link.h"
#include "model/resets.h"
#include "platform/hid/inprocess_backend.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_server.h"
#include "tests/link/session_host.h"
#include "tests/support/globals.h"

namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::duration<double, std::milli>;
constexpr size_t kImageBytes = 64 * 1024;

class BenchHost final : public IFirmwareHost {
public:
    BenchHost(session::Dialog& dialog, std::wstring path) : m_dialog(dialog), m_path(std::move(path)) {}
    std::optional<std::wstring> ChooseImageFile() override { return m_path; }
    bool ReadImageFile(const std::wstring& path, std::vector<uint8_t>& bytes) override
    {
        std::ifstream in(std::filesystem::path(path), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        return static_cast<bool>(in) || !bytes.empty();
    }
    void ShowFirmwareBox(int, bool) override {}
    void StopParamSync() override { m_dialog.sync.StopForFirmware(); }
    void RunProgressModal() override { m_dialog.RunProgressModal(); }
    void PostClose() override {}

private:
    session::Dialog& m_dialog;
    std::wstring m_path;
};

struct Figures {
    double transferMs = 0;
    double limitMs = 0;
    std::vector<double> recalls;
};

bool Run(bool overHid, const std::wstring& image, int recalls, Figures& out)
{
    ResetGlobals();
    session::View scratch;
    ResetAll(scratch);
    SimDevice device;
    std::mutex mutex;
    Clock::time_point start, done;
    device.Log().SetSink([&](const std::string& line) {
        std::lock_guard<std::mutex> lock(mutex);
        if (line.find("CMD_FW_START") != std::string::npos) start = Clock::now();
        if (line.find("CMD_FW_DONE") != std::string::npos) done = Clock::now();
    });

    InProcessHidBackend backend;
    std::unique_ptr<SimTcpServer> server;
    std::unique_ptr<CTcpLink> tcp;
    std::unique_ptr<HidLink> hid;
    session::Dialog dialog;
    BenchHost host(dialog, image);
    FirmwareUpgrade upgrade(host);
    dialog.onMessage = [&](UINT msg) {
        if (msg == WM_UPGRADE_REQUEST) upgrade.OnUpgradeRequest();
    };
    Clock::time_point decoded;
    dialog.onRoutingDecoded = [&] { decoded = Clock::now(); };
    dialog.tcpState = [&] { return tcp ? tcp->GetState() : int{TCP_LINK_CLOSED}; };
    dialog.sync.Start();
    if (overHid) {
        backend.Plug(std::make_shared<SimHidEndpoint>(device));
        hid = std::make_unique<HidLink>(backend);
        hid->Start();
    } else {
        server = std::make_unique<SimTcpServer>(device, 0);
        if (server->Start() != NetStatus::kOk) return false;
        tcp = std::make_unique<CTcpLink>(
            TcpLinkOptions{"127.0.0.1", server->Port(), [](std::string_view) { return true; }});
        tcp->Start();
    }
    auto synced = [&] { return g_deviceInfoReceived.load() == 1 && dialog.sync.ParamSyncRunning(); };
    bool ok = dialog.RunUntil(synced, std::chrono::seconds(20));

    for (int i = 0; ok && i < recalls; ++i) {
        const int before = dialog.messages[WM_ROUTING_IMAGE_RECEIVED];
        const auto asked = Clock::now();
        ok = dialog.sync.StartRecall(1 + i % 6) &&
             dialog.RunUntil([&] { return dialog.messages[WM_ROUTING_IMAGE_RECEIVED] > before; });
        if (ok) out.recalls.push_back(Ms(decoded - asked).count());
        ok = ok && dialog.RunUntil(synced);
    }

    ok = ok && upgrade.OnFirmwareUpgrade();
    ok = ok && dialog.RunUntil([&] { return device.State().firmwareUpdates == 1; }, std::chrono::seconds(60));
    {
        std::lock_guard<std::mutex> lock(mutex);
        out.transferMs = Ms(done - start).count();
    }
    const auto gap = std::chrono::duration_cast<std::chrono::microseconds>(device.Faults().replyGap).count();
    const uint64_t requests =
        FirmwareChunkCount(kImageBytes + 1, overHid ? HID_FW_CHUNK_BYTES : TCP_FW_CHUNK_BYTES) + 2;
    out.limitMs = static_cast<double>(requests) * static_cast<double>(gap) / 1000.0;
    hid.reset();
    tcp.reset();
    device.Log().SetSink({});
    return ok;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    const int recalls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const auto dir = std::filesystem::temp_directory_path() / ("upgrade_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto path = dir / "system_Yastu.img";
    std::vector<uint8_t> file(kImageBytes);
    for (size_t i = 0; i < file.size(); ++i) file[i] = static_cast<uint8_t>(i * 31 + 7);
    file.push_back(static_cast<uint8_t>(std::accumulate(file.begin(), file.end(), 0u)));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    int rc = 0;
    for (bool overHid : {false, true}) {
        Figures f;
        if (!Run(overHid, path.wstring(), recalls, f)) {
            std::fprintf(stderr, "%s: the run did not complete\n", overHid ? "HID" : "TCP");
            rc = 1;
            break;
        }
        std::printf("%s, emulated amplifier at its default pacing:\n", overHid ? "HID (in-process)" : "TCP (loopback)");
        std::printf("  firmware transfer of 64 KiB: %.1f ms, %.2f x the pacing limit of %.1f ms\n", f.transferMs,
                    f.transferMs / f.limitMs, f.limitMs);
        std::printf("  preset recall to both images decoded, %d recalls: min %.1f  median %.1f  max %.1f ms\n", recalls,
                    *std::min_element(f.recalls.begin(), f.recalls.end()), Median(f.recalls),
                    *std::max_element(f.recalls.begin(), f.recalls.end()));
    }
    std::filesystem::remove_all(dir);
    return rc;
}
