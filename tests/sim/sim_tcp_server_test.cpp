// The emulated amplifier's TCP server, driven by a real socket client on
// 127.0.0.1. Waits are bounded by condition (frames seen, peer closed), with
// a generous cap that only a broken server reaches.
#include <gtest/gtest.h>

#include <memory>

#include "platform/net/tcp_socket.h"
#include "sim/tcp_server.h"
#include "sim_host.h"

namespace {

constexpr int kWaitMs = 5000;
const Bytes kKeepAlive = {0x5A, 0x02, 0x01, 0x13, 0x14};

class Client {
public:
    explicit Client(uint16_t port) { connected = socket.Connect("127.0.0.1", port, kWaitMs) == NetStatus::kOk; }

    void Send(const Bytes& wire) { ASSERT_EQ(socket.Send(wire.data(), wire.size()), static_cast<int>(wire.size())); }

    // Intact frames received so far, once `want` of them are in, the server
    // hung up, or nothing came for kWaitMs.
    std::vector<Bytes> Frames(size_t want)
    {
        while (!closed && TcpDeframe(wire).size() < want && ReadSome()) {}
        return TcpDeframe(wire);
    }

    // True once the server has closed the connection.
    bool WaitClosed()
    {
        while (!closed && ReadSome()) {}
        return closed;
    }

    // Forgets what came so far.
    void Reset() { wire.clear(); }

    TcpSocket socket;
    bool connected = false;
    bool closed = false;
    Bytes wire;

private:
    bool ReadSome()
    {
        uint8_t buf[4096];
        NetStatus st;
        const int n = socket.Receive(buf, sizeof buf, kWaitMs, &st);
        if (n > 0) {
            wire.insert(wire.end(), buf, buf + n);
            return true;
        }
        closed = n == 0 || st == NetStatus::kConnectionLost;
        return false;
    }
};

// The default device: paced replies, so the server's timed drain is in play.
class SimTcpServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(server.Start(), NetStatus::kOk); }
    std::unique_ptr<Client> Connect()
    {
        auto c = std::make_unique<Client>(server.Port());
        EXPECT_TRUE(c->connected);
        return c;
    }
    SimDevice device;
    SimTcpServer server{device, 0};
};

TEST_F(SimTcpServerTest, KeepAliveBringsDeviceInfoThenTheSessionExtras)
{
    ASSERT_NE(server.Port(), 0);
    auto c = Connect();
    c->Send(kKeepAlive);
    const std::vector<Bytes> r = c->Frames(10);
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(Bytes(c->wire.begin(), c->wire.begin() + 3), (Bytes{0xA5, 20, 1}));
    EXPECT_EQ(r[0][1], 19);
    EXPECT_EQ(std::string(r[0].begin() + 3, r[0].begin() + 17), kSimDefaultDeviceString);
    EXPECT_EQ(r[1][0], 2);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(r[2 + k][0], 13) << k;

    c->Reset();
    c->Send(kKeepAlive);
    EXPECT_EQ(c->Frames(1).size(), 1u);
    EXPECT_EQ(device.Log().Lines(), (std::vector<std::string>(2, "tcp CMD_DEVICE_INFO tag=19")));
}

TEST_F(SimTcpServerTest, EqUserReadsPageByPageInAnySplit)
{
    struct {
        const char* deviceString;
        size_t pages;
        size_t split;  // bytes per client send
    } cases[] = {
        // clang-format off
        {"46AK10240315V1", 99, 5},
        {"268K10190820V1", 50, 1},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.deviceString);
        device.Update([&](SimState& s) { s.deviceString = SimMakeDeviceString(c.deviceString); });
        auto client = Connect();
        const Bytes cmd = TcpFrame({15, 99, 0xFF});
        for (size_t i = 0; i < cmd.size(); i += c.split)
            client->Send(Bytes(cmd.begin() + i, cmd.begin() + std::min(cmd.size(), i + c.split)));
        const std::vector<Bytes> pages = client->Frames(c.pages);
        ASSERT_EQ(pages.size(), c.pages);
        for (size_t k = 0; k < pages.size(); ++k) {
            EXPECT_EQ(pages[k][0], 4);
            EXPECT_EQ(pages[k][1], k);
        }
        Bytes img;
        for (const Bytes& p : pages) img.insert(img.end(), p.begin() + 2, p.end());
        EXPECT_EQ(img, device.State().eqUser);
    }
}

TEST_F(SimTcpServerTest, DeviceHangUpClosesTheSocketAndTheNextConnectionIsServed)
{
    struct {
        const char* name;
        int removeAfterPage;
        Bytes command;
        size_t framesBeforeHangUp;
    } cases[] = {
        // clang-format off
        {"removal in an import", 3, TcpFrame({15, 99, 0xFF}), 4},
        {"factory reset restarts", -1, TcpFrame({23}), 0},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SimFaults f = device.Faults();
        f.removeAfterPage = c.removeAfterPage;
        device.SetFaults(f);
        auto client = Connect();
        client->Send(c.command);
        ASSERT_TRUE(client->WaitClosed());
        EXPECT_EQ(TcpDeframe(client->wire).size(), c.framesBeforeHangUp);

        auto next = Connect();
        next->Send(kKeepAlive);
        EXPECT_EQ(next->Frames(10).size(), 10u);  // a new session
    }
}

TEST_F(SimTcpServerTest, RestartOverAnotherLinkHangsUp)
{
    auto client = Connect();
    client->Send(kKeepAlive);
    ASSERT_EQ(client->Frames(10).size(), 10u);

    SimHidEndpoint hid(device, 0x1111, 0x2222, 0x3333);
    const Bytes reset = HidFrame({23});
    hid.HostWrite(reset.data(), reset.size());
    EXPECT_TRUE(client->WaitClosed());
}

TEST_F(SimTcpServerTest, NewConnectionReplacesTheOld)
{
    auto first = Connect();
    first->Send(kKeepAlive);
    ASSERT_EQ(first->Frames(10).size(), 10u);

    auto second = Connect();
    EXPECT_TRUE(first->WaitClosed());
    second->Send(kKeepAlive);
    EXPECT_EQ(second->Frames(10).size(), 10u);  // its own session: the extras again
    EXPECT_EQ(server.Accepted(), 2);

    // The host going away first leaves the server ready for the next one,
    // even in the middle of a paced transfer.
    second->Send(TcpFrame({15, 99, 0xFF}));
    second->socket.Close();
    auto third = Connect();
    third->Send(kKeepAlive);
    EXPECT_EQ(third->Frames(10).size(), 10u);
}

TEST_F(SimTcpServerTest, StopClosesTheConnectionAndStartServesAgain)
{
    EXPECT_EQ(server.Start(), NetStatus::kAlreadyOpen);
    SimTcpServer rival(device, server.Port());
    EXPECT_EQ(rival.Start(), NetStatus::kAddressInUse);

    auto client = Connect();
    client->Send(TcpFrame({15, 99, 0xFF}));  // still sending when stopped
    ASSERT_GE(client->Frames(1).size(), 1u);
    const uint16_t port = server.Port();
    server.Stop();
    EXPECT_FALSE(server.Running());
    EXPECT_EQ(server.Port(), 0);
    EXPECT_TRUE(client->WaitClosed());
    TcpSocket late;
    EXPECT_EQ(late.Connect("127.0.0.1", port, kWaitMs), NetStatus::kRefused);
    server.Stop();  // again: nothing to do

    ASSERT_EQ(server.Start(), NetStatus::kOk);
    auto again = Connect();
    again->Send(kKeepAlive);
    EXPECT_EQ(again->Frames(10).size(), 10u);
}

}  // namespace
