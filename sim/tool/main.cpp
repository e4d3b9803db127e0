// tarvel-sim: serves one emulated amplifier on 127.0.0.1 and prints every
// command it receives, one line each, until SIGINT or SIGTERM.
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/device.h"
#include "sim/fault_options.h"
#include "sim/tcp_server.h"

namespace {

constexpr uint16_t kDefaultPort = TARVEL_SIM_DEFAULT_PORT;

struct Options {
    uint16_t port = kDefaultPort;
    std::string deviceString{kSimDefaultDeviceString};
    bool burst = false;
    bool quiet = false;
    bool keepAlives = true;
    bool loader = false;
    SimFaults faults;
};

// The program asks for the device information every few seconds to keep
// the link alive; --no-keepalive leaves those requests out of the log.
bool IsKeepAlive(std::string_view line)
{
    static const std::string request = " CMD_DEVICE_INFO tag=" + std::to_string(simwire::kInfoTag);
    return line.size() >= request.size() && line.substr(line.size() - request.size()) == request;
}

void Usage(FILE* to)
{
    std::fprintf(to,
                 "usage: tarvel-sim [--port N] [--device-string S] [--burst] [--quiet] [--no-keepalive] [--loader]\n"
                 "                  [--fault F]...\n"
                 "  --port N           TCP port on 127.0.0.1 (default %u; 0 picks a free one)\n"
                 "  --device-string S  the device string it reports (at most %zu characters)\n"
                 "  --burst            send reply frames back to back instead of paced\n"
                 "  --quiet            do not print the received commands\n"
                 "  --no-keepalive     do not print the program's keep-alive requests\n"
                 "  --loader           start in the firmware loader, waiting for an image\n"
                 "  --fault F          misbehave: spoil-page=K, pages=K,K,..., repeat-page=K:N,\n"
                 "                     save-done-copies=N, save-done-at-connect=N, silent-after-import,\n"
                 "                     page-gap=MS (replies MS apart: a slow device),\n"
                 "                     lose-page=K@N (page K missing from the Nth EqUser read)\n",
                 static_cast<unsigned>(kDefaultPort), simwire::kDeviceStringLen);
}

bool ParsePort(std::string_view text, uint16_t& port)
{
    if (text.empty() || text.size() > 5) return false;
    unsigned v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > 65535) return false;
    port = static_cast<uint16_t>(v);
    return true;
}

// 0 to go on, else the exit code.
int Parse(int argc, char** argv, Options& o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--port" && hasValue) {
            if (!ParsePort(argv[++i], o.port)) {
                std::fprintf(stderr, "tarvel-sim: bad port: %s\n", argv[i]);
                return 2;
            }
        } else if (a == "--device-string" && hasValue) {
            o.deviceString = argv[++i];
            if (o.deviceString.empty() || o.deviceString.size() > simwire::kDeviceStringLen) {
                std::fprintf(stderr, "tarvel-sim: the device string takes 1 to %zu characters\n",
                             simwire::kDeviceStringLen);
                return 2;
            }
        } else if (a == "--fault" && hasValue) {
            std::string error;
            if (!ApplyFaultOption(argv[++i], o.faults, error)) {
                std::fprintf(stderr, "tarvel-sim: %s\n", error.c_str());
                return 2;
            }
        } else if (a == "--burst") {
            o.burst = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a == "--no-keepalive") {
            o.keepAlives = false;
        } else if (a == "--loader") {
            o.loader = true;
        } else if (a == "--help" || a == "-h") {
            Usage(stdout);
            return -1;
        } else {
            std::fprintf(stderr, "tarvel-sim: unknown or incomplete option: %s\n", argv[i]);
            Usage(stderr);
            return 2;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options opt;
    if (const int rc = Parse(argc, argv, opt)) return rc < 0 ? 0 : rc;

    // Every thread started from here on inherits the mask; main takes the
    // signals with sigwait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    SimDevice device(opt.deviceString);
    if (opt.loader) device.Update([](SimState& s) { s.loaderMode = true; });
    if (opt.burst) opt.faults.replyGap = std::chrono::microseconds(0);
    device.SetFaults(opt.faults);
    if (!opt.quiet) {
        device.Log().SetSink([keepAlives = opt.keepAlives](const std::string& line) {
            if (!keepAlives && IsKeepAlive(line)) return;
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        });
    }

    SimTcpServer server(device, opt.port);
    const NetStatus st = server.Start();
    if (st != NetStatus::kOk) {
        std::fprintf(stderr, "tarvel-sim: cannot listen on 127.0.0.1:%u: %s\n", static_cast<unsigned>(opt.port),
                     NetStatusName(st));
        return 1;
    }
    std::printf("tarvel-sim: %s on 127.0.0.1:%u\n", opt.deviceString.c_str(), static_cast<unsigned>(server.Port()));
    std::fflush(stdout);

    int sig = 0;
    sigwait(&stopSignals, &sig);
    server.Stop();
    device.Log().SetSink({});
    return 0;
}
