#include "sim/tcp_server.h"

#include <algorithm>
#include <chrono>

#include "sim/tcp_stream.h"

namespace {

// How long the pump waits for host bytes while no reply is due; bounds how
// late it notices a hang-up caused over another link.
constexpr int kIdlePollMs = 50;
constexpr int kAcceptRetryMs = 20;

int MsUntil(SimTcpStream::Clock::time_point due)
{
    const auto left = due - SimTcpStream::Clock::now();
    if (left <= SimTcpStream::Clock::duration::zero()) return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, kIdlePollMs));
}

}  // namespace

SimTcpServer::SimTcpServer(SimDevice& device, uint16_t port) : device_(device), port_(port) {}

SimTcpServer::~SimTcpServer() { Stop(); }

NetStatus SimTcpServer::Start()
{
    std::lock_guard lock(mutex_);
    if (acceptor_.joinable()) return NetStatus::kAlreadyOpen;
    const NetStatus st = listener_.Listen("127.0.0.1", port_);
    if (st != NetStatus::kOk) return st;
    stopping_ = false;
    acceptor_ = std::thread([this] { AcceptLoop(); });
    return NetStatus::kOk;
}

void SimTcpServer::Stop()
{
    std::lock_guard lock(mutex_);
    if (!acceptor_.joinable()) return;
    stopping_ = true;
    listener_.Close();  // wakes Accept
    acceptor_.join();
}

bool SimTcpServer::Running() const
{
    std::lock_guard lock(mutex_);
    return acceptor_.joinable();
}

void SimTcpServer::AcceptLoop()
{
    std::unique_ptr<Connection> current;
    while (!stopping_) {
        auto next = std::make_unique<Connection>();
        const NetStatus st = listener_.Accept(next->socket, -1);
        if (st == NetStatus::kShutdown || st == NetStatus::kNotOpen) break;
        if (st != NetStatus::kOk) {
            // Out of descriptors or the like: try again shortly.
            std::this_thread::sleep_for(std::chrono::milliseconds(kAcceptRetryMs));
            continue;
        }
        EndConnection(current);  // the newcomer replaces it
        ++accepted_;
        current = std::move(next);
        TcpSocket& socket = current->socket;
        current->pump = std::thread([this, &socket] { Pump(socket); });
    }
    EndConnection(current);
}

void SimTcpServer::EndConnection(std::unique_ptr<Connection>& c)
{
    if (!c) return;
    c->socket.Shutdown();  // wakes the pump's Receive or Send
    if (c->pump.joinable()) c->pump.join();
    c->socket.Close();
    c.reset();
}

void SimTcpServer::Pump(TcpSocket& socket)
{
    SimTcpStream stream(device_);
    uint8_t buf[1024];
    while (!stream.Closed()) {
        const auto due = stream.NextDue();
        NetStatus st = NetStatus::kOk;
        const int n = socket.Receive(buf, sizeof buf, due ? MsUntil(*due) : kIdlePollMs, &st);
        SimBytes out;
        if (n > 0) {
            out = stream.Feed(buf, static_cast<size_t>(n), SimTcpStream::Clock::now());
        } else if (n < 0 && st == NetStatus::kTimeout) {
            out = stream.Drain(SimTcpStream::Clock::now());
        } else {
            break;  // the host closed, or we were shut down
        }
        if (!out.empty() && socket.Send(out.data(), out.size()) < 0) break;
    }
    // The device hung up (or the host did): the host sees the close.
    socket.Shutdown();
}
