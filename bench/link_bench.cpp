// The HID link against in-process devices and the TCP link against the
// emulated amplifier on a loopback port: wall time from CMD_READ_EQUSER to
// the last page stored, and the link threads' CPU time per second while
// connected and idle, and while searching.
//
//   link_bench [imports]
//
// Each device is an IHidDeviceEndpoint from Devices(): the scripted test
// device (answers at once) and, when built, the emulated amplifier with its
// own reply pacing and with none.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "link/commands.h"
#include "link/dialog_port.h"
#include "link/hid_link.h"
#include "link/link_messages.h"
#include "model/device_state.h"
#include "platform/hid/hidraw_backend.h"
#include "platform/hid/inprocess_backend.h"
#include "tests/link/scripted_endpoint.h"

#ifdef LINK_BENCH_WITH_SIM
#include "link/tcp_link.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_server.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

struct BenchDevice {
    const char* name;
    std::shared_ptr<IHidDeviceEndpoint> endpoint;
    std::shared_ptr<void> keep;  // whatever the endpoint needs alive
};

std::vector<BenchDevice> Devices()
{
    std::vector<BenchDevice> devices;
    ScriptedAmplifier amp;
    for (size_t i = 0; i < amp.eqUser.size(); ++i) amp.eqUser[i] = static_cast<uint8_t>(i * 31);
    devices.push_back({"scripted device",
                       std::make_shared<ScriptedEndpoint>(HID_VENDOR_ID, HID_PRODUCT_ID_APP, amp.MakeScript()),
                       {}});
#ifdef LINK_BENCH_WITH_SIM
    for (int gapUs : {1000, 0}) {
        auto sim = std::make_shared<SimDevice>();
        SimFaults faults = sim->Faults();
        faults.replyGap = std::chrono::microseconds(gapUs);
        sim->SetFaults(faults);
        devices.push_back({gapUs ? "emulated amplifier, 1 ms between replies" : "emulated amplifier, burst",
                           std::make_shared<SimHidEndpoint>(*sim), sim});
    }
#endif
    return devices;
}

// Counts the imports the parser announces.
class BenchPort final : public IDialogPort {
public:
    LRESULT Send(UINT msg, WPARAM, LPARAM) override
    {
        if (msg == WM_PARAM_IMAGE_RECEIVED) {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_imports;
            m_cv.notify_all();
        }
        return 0;
    }
    void Post(UINT, WPARAM, LPARAM) override {}
    void SetDeviceStringLabel(const std::string&) override {}
    void ShowMessageOnUi(const std::wstring&, UINT) override {}
    void ShowStringOnUi(int) override {}
    void HidDeviceRemoved() override {}
    void ReleaseSenders() override {}

    bool WaitForImports(int n)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::seconds(30), [&] { return m_imports >= n; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_imports = 0;
};

double CpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// CPU milliseconds per second of the process while this thread sleeps.
double CpuPerSecond(std::chrono::seconds span)
{
    const double cpu0 = CpuSeconds();
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(span);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    return (CpuSeconds() - cpu0) * 1000.0 / wall;
}

bool WaitFor(bool (*pred)())
{
    const auto end = Clock::now() + std::chrono::seconds(10);
    while (!pred()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Imports `imports` times over the link that is up, then measures it idle.
bool ImportAndIdle(BenchPort& port, int imports)
{
    std::vector<double> ms;
    bool ok = true;
    for (int i = 1; i <= imports && ok; ++i) {
        const auto t0 = Clock::now();
        RequestEqUser(0);
        ok = port.WaitForImports(i);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    }
    if (!ok) {
        std::fprintf(stderr, "  an import did not complete\n");
        return false;
    }
    std::sort(ms.begin(), ms.end());
    std::printf("  CMD_READ_EQUSER to last page (99 pages), %d imports: min %.2f  median %.2f  max %.2f ms\n", imports,
                ms.front(), ms[ms.size() / 2], ms.back());
    std::printf("  connected and idle: %.2f ms CPU per second\n", CpuPerSecond(std::chrono::seconds(3)));
    return true;
}

#ifdef LINK_BENCH_WITH_SIM
// The same over TCP, against the emulated amplifier on a loopback port.
bool RunTcp(int gapUs, int imports)
{
    BenchPort port;
    SetDialogPort(&port);
    g_deviceInfoReceived = 0;
    SimDevice device;
    SimFaults faults = device.Faults();
    faults.replyGap = std::chrono::microseconds(gapUs);
    device.SetFaults(faults);
    SimTcpServer server(device, 0);
    if (server.Start() != NetStatus::kOk) return false;
    TcpLinkOptions options{"127.0.0.1", server.Port(), [](std::string_view) { return true; }};
    options.silenceLimit = std::chrono::milliseconds(0);  // no keep-alive runs here
    CTcpLink link(options);
    link.Start();
    static CTcpLink* current = nullptr;
    current = &link;
    bool ok = WaitFor([] { return current->IsUp(); });
    if (ok) {
        SendDeviceInfoRequest();
        ok = WaitFor([] { return g_deviceInfoReceived.load() == 1; });
    }
    std::printf("TCP (loopback), emulated amplifier, %s:\n", gapUs ? "1 ms between replies" : "burst");
    ok = ok && ImportAndIdle(port, imports);
    link.Stop();
    server.Stop();
    SetDialogPort(nullptr);
    return ok;
}
#endif

// Connects to the device, imports `imports` times and measures the idle link.
bool Run(const BenchDevice& device, int imports)
{
    BenchPort port;
    SetDialogPort(&port);
    g_deviceInfoReceived = 0;
    InProcessHidBackend backend;
    HidLink link(backend);
    link.Start();
    backend.Plug(device.endpoint);
    bool ok = WaitFor([] { return g_usbConnected.load() == 1; });
    if (ok) {
        SendDeviceInfoRequest();
        ok = WaitFor([] { return g_deviceInfoReceived.load() == 1; });
    }
    if (!ok) {
        std::fprintf(stderr, "%s: no connection\n", device.name);
        link.Stop();
        SetDialogPort(nullptr);
        return false;
    }
    std::printf("HID (in-process), %s:\n", device.name);
    ok = ImportAndIdle(port, imports);
    link.Stop();
    SetDialogPort(nullptr);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    const int imports = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    {
        InProcessHidBackend backend;
        HidLink link(backend);
        link.Start();
        std::printf("searching, in-process backend: %.2f ms CPU per second\n", CpuPerSecond(std::chrono::seconds(2)));
    }
    {
        HidrawBackend backend;
        HidLinkOptions options;
        options.vendorId = 0xFFFE;  // a vendor that is not plugged in: pure polling
        HidLink link(backend, options);
        link.Start();
        std::printf("searching, hidraw backend:     %.2f ms CPU per second\n", CpuPerSecond(std::chrono::seconds(2)));
    }
#ifdef LINK_BENCH_WITH_SIM
    {
        // A port nobody listens on: the keeper tries once a second.
        TcpLinkOptions options{"127.0.0.1", 1, [](std::string_view) { return true; }};
        CTcpLink link(options);
        link.Start();
        std::printf("searching, TCP (connection refused): %.2f ms CPU per second\n",
                    CpuPerSecond(std::chrono::seconds(3)));
    }
#endif
    bool ok = true;
    for (const BenchDevice& device : Devices()) ok = Run(device, imports) && ok;
#ifdef LINK_BENCH_WITH_SIM
    for (int gapUs : {1000, 0}) ok = RunTcp(gapUs, imports) && ok;
#endif
    return ok ? 0 : 1;
}
