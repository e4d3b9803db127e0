#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <latch>
#include <memory>
#include <ostream>
#include <thread>
#include <vector>

#include "platform/net/net_status.h"
#include "platform/net/tcp_listener.h"
#include "platform/net/tcp_socket.h"

void PrintTo(NetStatus status, std::ostream* os) { *os << NetStatusName(status); }

namespace {

constexpr const char* kLoopback = "127.0.0.1";
// Long enough never to run out in a passing test; a call that should have
// been woken reports kTimeout instead of hanging.
constexpr int kGenerousMs = 30000;

// Lets a thread reach its blocking call before the test acts on it.
void GiveThreadTime() { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }

// Reads exactly len bytes, or fewer when the stream ends or fails.
std::vector<uint8_t> ReceiveAll(TcpSocket& s, size_t len)
{
    std::vector<uint8_t> got;
    uint8_t buf[4096];
    while (got.size() < len) {
        const size_t want = std::min(sizeof buf, len - got.size());
        const int n = s.Receive(buf, want, kGenerousMs);
        if (n <= 0) break;
        got.insert(got.end(), buf, buf + n);
    }
    return got;
}

// A listener on an ephemeral loopback port, a client and the accepted peer.
struct Pair {
    TcpListener listener;
    TcpSocket client;
    TcpSocket server;
};

void OpenPair(Pair& p)
{
    ASSERT_EQ(p.listener.Listen(kLoopback, 0), NetStatus::kOk);
    ASSERT_NE(p.listener.Port(), 0);
    ASSERT_EQ(p.client.Connect(kLoopback, p.listener.Port()), NetStatus::kOk);
    ASSERT_EQ(p.listener.Accept(p.server, kGenerousMs), NetStatus::kOk);
}

class LoopbackPair : public ::testing::Test, public Pair {
protected:
    void SetUp() override { OpenPair(*this); }
};

TEST_F(LoopbackPair, CarriesBytesBothWaysThenReportsPeerClose)
{
    const uint8_t frame[] = {0x5A, 0x02, 0x01, 0x13, 0x14};
    NetStatus status = NetStatus::kError;
    EXPECT_EQ(client.Send(frame, sizeof frame, &status), 5);
    EXPECT_EQ(status, NetStatus::kOk);
    EXPECT_EQ(ReceiveAll(server, 5), std::vector<uint8_t>(frame, frame + 5));

    // Far more than the socket buffers hold: Send must go on until all is out.
    std::vector<uint8_t> block(4 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + i / 251);
    std::thread sender([&] { EXPECT_EQ(server.Send(block.data(), block.size()), static_cast<int>(block.size())); });
    EXPECT_EQ(ReceiveAll(client, block.size()), block);
    sender.join();

    server.Close();
    uint8_t b = 0;
    for (int i = 0; i < 2; ++i) {
        status = NetStatus::kError;
        EXPECT_EQ(client.Receive(&b, 1, kGenerousMs, &status), 0);
        EXPECT_EQ(status, NetStatus::kClosed);
    }
}

TEST_F(LoopbackPair, ReceiveTimesOutAndTheConnectionStaysUsable)
{
    uint8_t b = 0;
    NetStatus status = NetStatus::kOk;
    EXPECT_EQ(client.Receive(&b, 1, 20, &status), -1);
    EXPECT_EQ(status, NetStatus::kTimeout);
    EXPECT_EQ(client.Receive(&b, 1, 0, &status), -1);
    EXPECT_EQ(status, NetStatus::kTimeout);

    const uint8_t x = 0xA5;
    ASSERT_EQ(server.Send(&x, 1), 1);
    EXPECT_EQ(client.Receive(&b, 1, kGenerousMs, &status), 1);
    EXPECT_EQ(status, NetStatus::kOk);
    EXPECT_EQ(b, 0xA5);
}

TEST_F(LoopbackPair, ArgumentsAndStateAreChecked)
{
    // A second connect leaves the first connection alone.
    EXPECT_EQ(client.Connect(kLoopback, listener.Port()), NetStatus::kAlreadyOpen);
    EXPECT_EQ(listener.Accept(client, 0), NetStatus::kAlreadyOpen);

    TcpSocket fresh;
    EXPECT_EQ(fresh.Connect("127.0.0.256", listener.Port()), NetStatus::kInvalidAddress);
    EXPECT_EQ(fresh.Connect("localhost", listener.Port()), NetStatus::kInvalidAddress);
    EXPECT_EQ(fresh.Connect(kLoopback, 0), NetStatus::kInvalidArgument);
    EXPECT_FALSE(fresh.IsOpen());

    uint8_t b = 0;
    NetStatus status = NetStatus::kOk;
    EXPECT_EQ(client.Receive(&b, 0, 0, &status), -1);
    EXPECT_EQ(status, NetStatus::kInvalidArgument);
    EXPECT_EQ(client.Send(&b, 0, &status), 0);
    EXPECT_EQ(status, NetStatus::kOk);

    const uint8_t x = 0x42;
    ASSERT_EQ(client.Send(&x, 1), 1);
    EXPECT_EQ(ReceiveAll(server, 1), std::vector<uint8_t>{0x42});
}

TEST(TcpSocketConnect, ClosedPortIsRefused)
{
    TcpListener gone;
    ASSERT_EQ(gone.Listen(kLoopback, 0), NetStatus::kOk);
    const uint16_t port = gone.Port();
    gone.Close();

    TcpSocket s;
    EXPECT_EQ(s.Connect(kLoopback, port, kGenerousMs), NetStatus::kRefused);
    EXPECT_FALSE(s.IsOpen());
}

TEST(TcpSocketConnect, TimesOutWhenTheListenQueueIsFull)
{
    // A listener that never accepts drops new handshakes once its queue is
    // full, so a connect there waits until its bound runs out.
    TcpListener busy;
    ASSERT_EQ(busy.Listen(kLoopback, 0), NetStatus::kOk);
    std::vector<std::unique_ptr<TcpSocket>> clients;
    NetStatus last = NetStatus::kOk;
    for (int i = 0; i < 64 && last == NetStatus::kOk; ++i) {
        clients.push_back(std::make_unique<TcpSocket>());
        last = clients.back()->Connect(kLoopback, busy.Port(), 100);
    }
    EXPECT_EQ(last, NetStatus::kTimeout);
    EXPECT_FALSE(clients.back()->IsOpen());
}

// A call blocked in one thread and what another thread does to end it.
struct WakeCase {
    const char* name;
    NetStatus (*call)(Pair&);
    void (*wake)(Pair&);
    std::vector<NetStatus> accepted;
};

NetStatus BlockInReceive(Pair& p)
{
    uint8_t b = 0;
    NetStatus status = NetStatus::kOk;
    return p.client.Receive(&b, 1, kGenerousMs, &status) < 0 ? status : NetStatus::kError;
}

NetStatus BlockInSend(Pair& p)
{
    // The peer never reads: this fills both socket buffers and waits.
    const std::vector<uint8_t> block(64 << 20, 0x5A);
    NetStatus status = NetStatus::kOk;
    return p.client.Send(block.data(), block.size(), &status) < 0 ? status : NetStatus::kError;
}

NetStatus BlockInAccept(Pair& p)
{
    TcpSocket peer;
    return p.listener.Accept(peer, kGenerousMs);
}

void ShutdownClient(Pair& p) { p.client.Shutdown(); }
void CloseClient(Pair& p) { p.client.Close(); }
void CloseListener(Pair& p) { p.listener.Close(); }

TEST(TcpSocketWake, ShutdownAndCloseEndBlockedCalls)
{
    // kNotOpen only where Close may come before the call starts.
    // clang-format off
    const WakeCase cases[] = {
        {"receive, shutdown", BlockInReceive, ShutdownClient, {NetStatus::kShutdown}},
        {"receive, close", BlockInReceive, CloseClient, {NetStatus::kShutdown, NetStatus::kNotOpen}},
        {"send, shutdown", BlockInSend, ShutdownClient, {NetStatus::kShutdown}},
        {"send, close", BlockInSend, CloseClient, {NetStatus::kShutdown, NetStatus::kNotOpen}},
        {"accept, close", BlockInAccept, CloseListener, {NetStatus::kShutdown, NetStatus::kNotOpen}},
    };
    // clang-format on
    for (const WakeCase& c : cases) {
        SCOPED_TRACE(c.name);
        Pair p;
        OpenPair(p);
        if (HasFatalFailure()) return;
        NetStatus got = NetStatus::kOk;
        std::thread blocked([&] { got = c.call(p); });
        GiveThreadTime();
        c.wake(p);
        blocked.join();
        EXPECT_NE(std::find(c.accepted.begin(), c.accepted.end(), got), c.accepted.end()) << NetStatusName(got);
    }
}

TEST_F(LoopbackPair, ShutdownKeepsTheDescriptorUntilClose)
{
    client.Shutdown();
    EXPECT_TRUE(client.IsOpen());
    uint8_t b = 0;
    NetStatus status = NetStatus::kOk;
    EXPECT_EQ(client.Send(&b, 1, &status), -1);
    EXPECT_EQ(status, NetStatus::kShutdown);
    EXPECT_EQ(client.Receive(&b, 1, kGenerousMs, &status), -1);
    EXPECT_EQ(status, NetStatus::kShutdown);
    // The peer sees the end of the stream.
    EXPECT_EQ(server.Receive(&b, 1, kGenerousMs, &status), 0);
    EXPECT_EQ(client.Connect(kLoopback, listener.Port()), NetStatus::kAlreadyOpen);
    EXPECT_TRUE(client.Close());
    EXPECT_FALSE(client.IsOpen());
}

TEST(TcpSocketClose, ClosesOnceWhenTwoThreadsRace)
{
    TcpListener listener;
    ASSERT_EQ(listener.Listen(kLoopback, 0), NetStatus::kOk);
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        TcpSocket client;
        TcpSocket server;
        ASSERT_EQ(client.Connect(kLoopback, listener.Port()), NetStatus::kOk);
        ASSERT_EQ(listener.Accept(server, kGenerousMs), NetStatus::kOk);
        std::latch start(2);
        bool closed[2] = {false, false};
        auto closer = [&](int i) {
            start.arrive_and_wait();
            closed[i] = client.Close();
        };
        std::thread a(closer, 0);
        std::thread b(closer, 1);
        a.join();
        b.join();
        EXPECT_NE(closed[0], closed[1]);
        uint8_t x = 0;
        EXPECT_EQ(server.Receive(&x, 1, kGenerousMs), 0);
    }
}

TEST(TcpSocketClose, CallsAfterCloseFailCleanly)
{
    TcpListener listener;
    ASSERT_EQ(listener.Listen(kLoopback, 0), NetStatus::kOk);
    TcpSocket closed;
    ASSERT_EQ(closed.Connect(kLoopback, listener.Port()), NetStatus::kOk);
    TcpSocket accepted;
    ASSERT_EQ(listener.Accept(accepted, kGenerousMs), NetStatus::kOk);
    ASSERT_TRUE(closed.Close());

    // New descriptors are likely to get the closed one's number; late calls
    // on the closed socket must not reach them.
    TcpSocket client;
    TcpSocket server;
    ASSERT_EQ(client.Connect(kLoopback, listener.Port()), NetStatus::kOk);
    ASSERT_EQ(listener.Accept(server, kGenerousMs), NetStatus::kOk);

    TcpSocket never;
    for (TcpSocket* s : {&closed, &never}) {
        uint8_t b = 0;
        NetStatus status = NetStatus::kOk;
        EXPECT_EQ(s->Send(&b, 1, &status), -1);
        EXPECT_EQ(status, NetStatus::kNotOpen);
        EXPECT_EQ(s->Receive(&b, 1, kGenerousMs, &status), -1);
        EXPECT_EQ(status, NetStatus::kNotOpen);
        s->Shutdown();
        EXPECT_FALSE(s->Close());
        EXPECT_FALSE(s->IsOpen());
    }

    const uint8_t x = 0x33;
    ASSERT_EQ(client.Send(&x, 1), 1);
    EXPECT_EQ(ReceiveAll(server, 1), std::vector<uint8_t>{0x33});
    ASSERT_EQ(server.Send(&x, 1), 1);
    EXPECT_EQ(ReceiveAll(client, 1), std::vector<uint8_t>{0x33});
}

volatile std::sig_atomic_t g_sigpipes = 0;
extern "C" void CountSigpipe(int) { g_sigpipes = g_sigpipes + 1; }

TEST_F(LoopbackPair, SendAfterPeerClosedFailsWithoutSigpipe)
{
    g_sigpipes = 0;
    auto previous = std::signal(SIGPIPE, CountSigpipe);
    ASSERT_NE(previous, SIG_ERR);

    server.Close();
    uint8_t b = 0;
    ASSERT_EQ(client.Receive(&b, 1, kGenerousMs), 0);
    // The first send after the peer's close may still be taken; the peer's
    // reset then breaks the connection.
    const uint8_t frame[] = {0x5A, 0x01, 0x07, 0x07};
    NetStatus status = NetStatus::kOk;
    int result = 0;
    for (int i = 0; i < 1000 && result >= 0; ++i) {
        result = client.Send(frame, sizeof frame, &status);
        if (result >= 0) std::this_thread::yield();
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(status, NetStatus::kConnectionLost);
    EXPECT_EQ(g_sigpipes, 0);
    EXPECT_TRUE(client.IsOpen());

    std::signal(SIGPIPE, previous);
}

TEST(TcpListener, BindsLoopbackOnly)
{
    struct Case {
        const char* address;
        NetStatus expected;
    };
    // clang-format off
    const Case cases[] = {
        {"0.0.0.0", NetStatus::kAddressNotAllowed},
        {"192.0.2.10", NetStatus::kAddressNotAllowed},
        {"127.0.0.2", NetStatus::kAddressNotAllowed},
        {"255.255.255.255", NetStatus::kAddressNotAllowed},
        {"localhost", NetStatus::kInvalidAddress},
        {"", NetStatus::kInvalidAddress},
    };
    // clang-format on
    for (const Case& c : cases) {
        TcpListener l;
        EXPECT_EQ(l.Listen(c.address, 0), c.expected) << c.address;
        EXPECT_FALSE(l.IsListening()) << c.address;
        EXPECT_EQ(l.Port(), 0) << c.address;
    }
}

TEST(TcpListener, PortsStateAndTimeouts)
{
    TcpListener a;
    TcpListener b;
    ASSERT_EQ(a.Listen(kLoopback, 0), NetStatus::kOk);
    ASSERT_EQ(b.Listen(kLoopback, 0), NetStatus::kOk);
    EXPECT_NE(a.Port(), b.Port());
    EXPECT_EQ(a.Listen(kLoopback, 0), NetStatus::kAlreadyOpen);

    TcpListener clash;
    EXPECT_EQ(clash.Listen(kLoopback, a.Port()), NetStatus::kAddressInUse);
    EXPECT_FALSE(clash.IsListening());

    TcpSocket peer;
    EXPECT_EQ(a.Accept(peer, 20), NetStatus::kTimeout);
    EXPECT_EQ(a.Accept(peer, 0), NetStatus::kTimeout);
    EXPECT_FALSE(peer.IsOpen());

    EXPECT_TRUE(a.Close());
    EXPECT_FALSE(a.Close());
    EXPECT_EQ(a.Port(), 0);
    EXPECT_EQ(a.Accept(peer, 0), NetStatus::kNotOpen);
}

TEST(TcpListener, ListensAgainOnAPortLeftInTimeWait)
{
    TcpListener listener;
    ASSERT_EQ(listener.Listen(kLoopback, 0), NetStatus::kOk);
    const uint16_t port = listener.Port();
    {
        TcpSocket client;
        TcpSocket server;
        ASSERT_EQ(client.Connect(kLoopback, port), NetStatus::kOk);
        ASSERT_EQ(listener.Accept(server, kGenerousMs), NetStatus::kOk);
        // The server side closes first and so keeps the port in TIME_WAIT.
        server.Close();
        uint8_t b = 0;
        ASSERT_EQ(client.Receive(&b, 1, kGenerousMs), 0);
    }
    listener.Close();

    TcpListener again;
    ASSERT_EQ(again.Listen(kLoopback, port), NetStatus::kOk);
    TcpSocket client;
    TcpSocket server;
    EXPECT_EQ(client.Connect(kLoopback, port), NetStatus::kOk);
    EXPECT_EQ(again.Accept(server, kGenerousMs), NetStatus::kOk);
}

}  // namespace
