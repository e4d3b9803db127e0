// The TCP link against a small device on 127.0.0.1 written here: the byte
// framer, connecting, frames both ways, dropped and reset connections,
// HID precedence, the network check and shut-down.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/tcp_link.h"
#include "platform/net/tcp_listener.h"
#include "platform/net/tcp_socket.h"
#include "tests/link/link_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// ---- framer ----------------------------------------------------------------

Bytes Frame62()
{
    Bytes b{0xA5, 62};
    uint8_t sum = 0;
    for (int i = 0; i < 62; ++i) {
        b.push_back(static_cast<uint8_t>(i * 7));
        sum = static_cast<uint8_t>(sum + i * 7);
    }
    b.push_back(sum);
    return b;
}

Bytes Payload62()
{
    Bytes p;
    for (int i = 0; i < 62; ++i) p.push_back(static_cast<uint8_t>(i * 7));
    return p;
}

struct FramerCase {
    const char* name;
    Bytes input;
    std::vector<Bytes> frames;  // payloads, in order
    int resetBefore = -1;       // Reset before this input byte
};

TEST(TcpRxFramerTest, FramesAndRejects)
{
    // clang-format off
    const FramerCase cases[] = {
        {"frame after a stray byte", {0x00, 0xA5, 0x02, 0x0A, 0x00, 0x0A}, {{0x0A, 0x00}}},
        {"bad sum dropped", {0x00, 0xA5, 0x02, 0x0A, 0x00, 0x0B}, {}},
        {"length 0 waits for the next marker", {0xA5, 0x00, 0x01, 0x07, 0x07, 0xA5, 0x01, 0x07, 0x07}, {{0x07}}},
        {"length 63 abandons", {0xA5, 0x3F, 0x07, 0x07, 0xA5, 0x01, 0x08, 0x08}, {{0x08}}},
        {"length 62 accepted", Frame62(), {Payload62()}},
        {"garbage between frames", {0xA5, 0x01, 0x05, 0x05, 0xFF, 0x13, 0x5A, 0xA5, 0x01, 0x06, 0x06},
         {{0x05}, {0x06}}},
        {"marker byte inside the payload", {0xA5, 0x02, 0xA5, 0x01, 0xA6}, {{0xA5, 0x01}}},
        {"sum wraps", {0xA5, 0x02, 0xFF, 0x03, 0x02}, {{0xFF, 0x03}}},
        {"reset drops a half frame", {0xA5, 0x05, 0x01, 0x02, 0xA5, 0x01, 0x07, 0x07}, {{0x07}}, 4},
    };
    // clang-format on
    for (const FramerCase& c : cases) {
        SCOPED_TRACE(c.name);
        TcpRxFramer framer;
        std::vector<Bytes> got;
        for (size_t i = 0; i < c.input.size(); ++i) {
            if (static_cast<int>(i) == c.resetBefore) framer.Reset();
            if (framer.Feed(c.input[i])) {
                const auto& slot = framer.Slot();
                got.emplace_back(slot.begin() + 1, slot.begin() + 1 + slot[0]);
            }
        }
        EXPECT_EQ(got, c.frames);
        EXPECT_EQ(framer.GetState(), TcpRxFramer::kMarker);
    }
}

// ---- the link against a loopback device -------------------------------------

template <class Pred>
bool Eventually(Pred pred)
{
    for (int i = 0; i < 3000 && !pred(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return pred();
}

constexpr int kWaitMs = 15000;

// Reads exactly n bytes, or fewer when the connection ends or time runs out.
Bytes ReadBytes(TcpSocket& sock, size_t n)
{
    Bytes out(n);
    size_t got = 0;
    while (got < n) {
        const int r = sock.Receive(out.data() + got, n - got, kWaitMs);
        if (r <= 0) break;
        got += static_cast<size_t>(r);
    }
    out.resize(got);
    return out;
}

void Write(TcpSocket& sock, const Bytes& bytes)
{
    ASSERT_EQ(sock.Send(bytes.data(), bytes.size()), static_cast<int>(bytes.size()));
}

// An RSP_DEVICE_INFO frame naming the device.
Bytes DeviceInfoFrame(const std::string& name)
{
    Bytes payload{RSP_DEVICE_INFO, DEVICE_INFO_TAG, 1};
    for (size_t i = 0; i < 14; ++i) payload.push_back(i < name.size() ? static_cast<uint8_t>(name[i]) : 0);
    payload.push_back(2);  // input source
    payload.push_back(1);  // preset slot
    Bytes frame{TCP_FRAME_FROM_DEVICE, static_cast<uint8_t>(payload.size())};
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(Sum8(payload.data(), payload.size()));
    return frame;
}

std::string DeviceString()
{
    const auto text = g_deviceString.Get();
    size_t n = 0;
    while (n < text.size() && text[n] != 0) ++n;
    return std::string(text.data(), n);
}

const Bytes kKeepAlive{0x5A, 0x02, 0x01, 0x13, 0x14};

class TcpLinkTest : public LinkTest {
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        ASSERT_EQ(listener.Listen("127.0.0.1", 0), NetStatus::kOk);
        options.address = "127.0.0.1";
        options.port = listener.Port();
        options.networkAlive = [this](std::string_view) { return networkAlive.load(); };
    }
    void TearDown() override
    {
        link.reset();
        listener.Close();
        LinkTest::TearDown();
    }
    void StartLink()
    {
        link = std::make_unique<CTcpLink>(options);
        link->Start();
    }
    // Accepts the link's next connection and waits until the link counts it.
    void AcceptInto(TcpSocket& peer, uint64_t connection)
    {
        ASSERT_EQ(listener.Accept(peer, kWaitMs), NetStatus::kOk);
        ASSERT_TRUE(Eventually([&] { return link->Connections() == connection && link->IsUp(); }));
    }

    TcpListener listener;
    TcpLinkOptions options;
    std::atomic<bool> networkAlive{true};
    std::unique_ptr<CTcpLink> link;
};

TEST_F(TcpLinkTest, FramesGoOutAndRepliesReachTheDispatcher)
{
    StartLink();
    TcpSocket peer;
    AcceptInto(peer, 1);
    EXPECT_EQ(link->GetState(), TCP_LINK_CONNECTED);

    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    EXPECT_EQ(ReadBytes(peer, kKeepAlive.size()), kKeepAlive);

    // Noise, a frame with a bad sum and a bad length, then the reply.
    Bytes stream{0x00, 0xFF, 0x5A, 0xA5, 0x01, 0x01, 0x02, 0xA5, 0x40};
    Bytes bad = DeviceInfoFrame("WRONG");
    bad.back() ^= 1;
    stream.insert(stream.end(), bad.begin(), bad.end());
    const Bytes good = DeviceInfoFrame("AMP-TCP");
    stream.insert(stream.end(), good.begin(), good.end());
    Write(peer, stream);

    ASSERT_TRUE(Eventually([] { return g_deviceInfoReceived.load() == 1; }));
    EXPECT_EQ(DeviceString(), "AMP-TCP");
    EXPECT_EQ(g_inputSource.load(), 2);
    EXPECT_EQ(port.Labels(), std::vector<std::string>{"AMP-TCP"});
}

TEST_F(TcpLinkTest, NothingQueuedWhileClosedReachesTheNextPeerAndTheBlockGoesFirst)
{
    TcpFirmwareBlockSlot::Block block;
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 13 + 1);
    // Queued while no connection is up: dropped when one is made.
    g_tcpFwBlock.Put(block);
    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    ASSERT_EQ(SendShortCommand(CMD_FACTORY_RESET), SendStatus::kQueued);

    StartLink();
    TcpSocket peer;
    AcceptInto(peer, 1);
    EXPECT_EQ(g_tcpTxRing.Size(), 0);
    EXPECT_FALSE(g_tcpFwBlock.Pending());

    // Queued on the connection: the block before the frame.
    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    g_tcpFwBlock.Put(block);
    Bytes want(block.begin(), block.end());
    want.insert(want.end(), kKeepAlive.begin(), kKeepAlive.end());
    Bytes got = ReadBytes(peer, want.size());
    // The sender may have taken the frame before the block was put.
    if (got.size() == want.size() && got[0] == kKeepAlive[0] && got[1] == kKeepAlive[1]) {
        Bytes other(kKeepAlive.begin(), kKeepAlive.end());
        other.insert(other.end(), block.begin(), block.end());
        want = other;
    }
    EXPECT_EQ(got, want);
    // Nothing else: the frames queued while closed never come.
    uint8_t extra = 0;
    NetStatus status = NetStatus::kOk;
    EXPECT_EQ(peer.Receive(&extra, 1, 200, &status), -1);
    EXPECT_EQ(status, NetStatus::kTimeout);
}

TEST_F(TcpLinkTest, APeerThatStopsAnsweringIsTakenAsLostAndTheLinkReconnects)
{
    options.silenceLimit = std::chrono::milliseconds(300);
    StartLink();
    TcpSocket first;
    AcceptInto(first, 1);
    // Answered: the link stays.
    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    EXPECT_EQ(ReadBytes(first, kKeepAlive.size()), kKeepAlive);
    Write(first, DeviceInfoFrame("AMP"));
    ASSERT_TRUE(Eventually([] { return g_deviceInfoReceived.load() == 1; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(link->Connections(), 1u);
    EXPECT_TRUE(link->IsUp());
    // Not answered: closed after the limit, the socket included, and a new
    // connection follows a second later.
    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    EXPECT_EQ(ReadBytes(first, kKeepAlive.size()), kKeepAlive);
    ASSERT_TRUE(Eventually([&] { return !link->IsUp(); }));
    uint8_t byte = 0;
    NetStatus status = NetStatus::kOk;
    EXPECT_EQ(first.Receive(&byte, 1, kWaitMs, &status), 0);
    EXPECT_EQ(status, NetStatus::kClosed);
    TcpSocket second;
    AcceptInto(second, 2);
}

// How the device ends the first connection.
enum class Drop {
    kClose,  // in order: the link receives the end of the stream
    kReset,  // with the link's frame unread: the link receives a reset
};

class TcpLinkDropTest : public TcpLinkTest, public ::testing::WithParamInterface<Drop> {};

TEST_P(TcpLinkDropTest, ReconnectsAndTheFramerStartsClean)
{
    StartLink();
    TcpSocket first;
    AcceptInto(first, 1);
    if (GetParam() == Drop::kReset) {
        ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
        ASSERT_EQ(ReadBytes(first, 1), Bytes{0x5A});  // the rest stays unread
    }
    // Half a frame, then the connection ends.
    const Bytes cut = DeviceInfoFrame("CUT");
    Write(first, Bytes(cut.begin(), cut.begin() + 8));
    first.Close();

    TcpSocket second;
    AcceptInto(second, 2);
    Write(second, DeviceInfoFrame("SECOND"));
    ASSERT_TRUE(Eventually([] { return g_deviceInfoReceived.load() == 1; }));
    EXPECT_EQ(DeviceString(), "SECOND");
}

INSTANTIATE_TEST_SUITE_P(Drops, TcpLinkDropTest, ::testing::Values(Drop::kClose, Drop::kReset),
                         [](const auto& info) { return info.param == Drop::kClose ? "Close" : "Reset"; });

TEST_F(TcpLinkTest, NoConnectWhileHidDeviceIsOpen)
{
    g_usbConnected = 1;
    StartLink();
    TcpSocket peer;
    // The keeper waits 2 s at a time: a connect would be waiting here.
    EXPECT_EQ(listener.Accept(peer, 3500), NetStatus::kTimeout);
    EXPECT_EQ(link->Connections(), 0u);
    EXPECT_FALSE(link->IsUp());

    g_usbConnected = 0;
    AcceptInto(peer, 1);
}

TEST_F(TcpLinkTest, NetworkDownKeepsTheLinkUntilTheNextByte)
{
    StartLink();
    TcpSocket peer;
    AcceptInto(peer, 1);

    networkAlive = false;
    ASSERT_TRUE(Eventually([&] { return link->GetState() == TCP_LINK_NETWORK_DOWN; }));
    EXPECT_TRUE(link->IsUp());

    networkAlive = true;
    Write(peer, {0x00});
    EXPECT_TRUE(Eventually([&] { return link->GetState() == TCP_LINK_CONNECTED; }));
}

TEST_F(TcpLinkTest, StopClosesTheConnectionAndJoins)
{
    StartLink();
    TcpSocket peer;
    AcceptInto(peer, 1);

    link->Stop();
    EXPECT_FALSE(link->IsUp());
    uint8_t byte = 0;
    NetStatus status = NetStatus::kOk;
    EXPECT_EQ(peer.Receive(&byte, 1, kWaitMs, &status), 0);
    EXPECT_EQ(status, NetStatus::kClosed);

    // Frames queued after the stop stay queued: nothing sends them.
    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    EXPECT_EQ(g_tcpTxRing.Size(), 1);
    link->Stop();
}

TEST_F(TcpLinkTest, StopWhileNobodyListens)
{
    options.port = listener.Port();
    listener.Close();  // connects are refused
    StartLink();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    link->Stop();
    EXPECT_EQ(link->Connections(), 0u);
}

}  // namespace
