// Frames, the command builders, the link choice, the upgrade gate, the
// length limits and the rings.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <numeric>
#include <thread>

#include "link/commands.h"
#include "link/firmware.h"
#include "tests/link/link_fixture.h"

using ::testing::ElementsAreArray;

namespace {

std::vector<uint8_t> HidFrame(const HidRing::Slot& s)
{
    return std::vector<uint8_t>(s.bytes.begin(), s.bytes.begin() + 3 + s.bytes[1]);
}

class CommandTest : public LinkTest {};

struct BuilderCase {
    const char* name;
    std::function<void()> setUp;
    std::function<SendStatus()> send;
    std::vector<uint8_t> payload;
};

TEST_F(CommandTest, EveryBuilderFramesItsPayloadOnBothLinks)
{
    // clang-format off
    std::vector<BuilderCase> cases = {
        {"device info", {}, SendDeviceInfoRequest, {1, 19}},
        {"read EqUser, current", {}, [] { return RequestEqUser(0); }, {15, 99, 0xFF}},
        {"read EqUser, preset", [] { g_presetSlot = 3; }, [] { return RequestEqUser(1); }, {15, 99, 3}},
        {"read EqUser2", {}, RequestEqUser2, {19}},
        {"read channel names", {}, RequestChannelNames, {26}},
        {"enter upgrade", {}, [] { return SendShortCommand(CMD_ENTER_UPGRADE); }, {20}},
        {"factory reset", {}, [] { return SendShortCommand(CMD_FACTORY_RESET); }, {23}},
        {"source", [] { g_inputSource = 6; }, SendInputSource, {16, 6}},
        {"no-signal mute off -> on", [] { g_noSignalMute = 0; }, SendNoSignalMuteToggle, {27, 1}},
        {"no-signal mute on -> off", [] { g_noSignalMute = 1; }, SendNoSignalMuteToggle, {27, 0}},
        {"save preset", {}, [] { return SendSavePreset(4); }, {13, 4}},
        {"EqUser2 last block", [] { for (int i = 0; i < 405; ++i) g_eqUser2[i] = static_cast<uint8_t>(i); },
         [] { return SendEqUser2Block(392, 13); },
         {22, 0x01, 0x88, 13, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148}},
    };
    // clang-format on
    // Names: 20 bytes as stored, no terminator when full.
    {
        std::vector<uint8_t> preset = {18, 2};
        const char name[] = "ABCDEFGHIJKLMNOPQRST";
        preset.insert(preset.end(), name, name + 20);
        cases.push_back({"preset name",
                         [name] {
                             g_presetSlot = 2;
                             g_presetNames[2].Set(name, 20);
                         },
                         SendPresetName, preset});
        std::vector<uint8_t> channel = {25, 11, 'S', 'u', 'b'};
        channel.resize(22, 0);
        cases.push_back({"channel name", [] { g_deviceChannelNames[11].Set("Sub", 3); },
                         [] { return SendChannelName(11); }, channel});
    }
    // The last EqUser block: 17, 0x0C, 0x3F, 28, then bytes 3135..3162.
    {
        std::vector<uint8_t> block = {17, 0x0C, 0x3F, 28};
        for (int i = 3135; i < 3163; ++i) block.push_back(static_cast<uint8_t>(i * 13));
        cases.push_back({"EqUser last block",
                         [] {
                             for (int i = 0; i < 3163; ++i) g_eqUser[i] = static_cast<uint8_t>(i * 13);
                         },
                         [] { return SendEqUserBlock(3135, 28); }, block});
    }

    for (const BuilderCase& c : cases) {
        for (int usb : {1, 0}) {
            SCOPED_TRACE(std::string(c.name) + (usb ? " over HID" : " over TCP"));
            ResetGlobals();
            if (c.setUp) c.setUp();
            g_usbConnected = usb;
            ASSERT_EQ(c.send(), SendStatus::kQueued);
            const uint8_t sum = static_cast<uint8_t>(std::accumulate(c.payload.begin(), c.payload.end(), 0u));
            std::vector<uint8_t> expected = {usb ? uint8_t{0} : uint8_t{0x5A}, static_cast<uint8_t>(c.payload.size())};
            expected.insert(expected.end(), c.payload.begin(), c.payload.end());
            expected.push_back(sum);
            if (usb) {
                const auto hid = DrainHid();
                ASSERT_EQ(hid.size(), 1u);
                EXPECT_THAT(HidFrame(hid[0]), ElementsAreArray(expected));
                EXPECT_TRUE(DrainTcp().empty());
            } else {
                const auto tcp = DrainTcp();
                ASSERT_EQ(tcp.size(), 1u);
                EXPECT_THAT(tcp[0], ElementsAreArray(expected));
                EXPECT_TRUE(DrainHid().empty());
            }
        }
    }
}

TEST_F(CommandTest, ExampleFramesByteForByte)
{
    g_usbConnected = 1;
    SendDeviceInfoRequest();
    auto hid = DrainHid();
    ASSERT_EQ(hid.size(), 1u);
    EXPECT_THAT(std::vector<uint8_t>(hid[0].bytes.begin(), hid[0].bytes.begin() + 5),
                ElementsAreArray({0x00, 0x02, 0x01, 0x13, 0x14}));
    EXPECT_EQ(hid[0].bytes.size(), 65u);

    g_usbConnected = 0;
    SendDeviceInfoRequest();
    RequestEqUser(0);
    auto tcp = DrainTcp();
    ASSERT_EQ(tcp.size(), 2u);
    EXPECT_THAT(tcp[0], ElementsAreArray({0x5A, 0x02, 0x01, 0x13, 0x14}));
    EXPECT_THAT(tcp[1], ElementsAreArray({0x5A, 0x03, 0x0F, 0x63, 0xFF, 0x71}));
}

struct LimitCase {
    int usb;
    int len;
    SendStatus status;
    const wchar_t* box;  // nullptr: no box
};

TEST_F(CommandTest, LengthLimitsOfEachLink)
{
    // clang-format off
    const LimitCase cases[] = {
        {1, 62, SendStatus::kQueued, nullptr},
        {1, 63, SendStatus::kTooLong, L"USB发送buff越界!"},
        {0, 131, SendStatus::kQueued, nullptr},
        {0, 132, SendStatus::kTooLong, L"串口发送buff越界\xFF1A 1234"},
    };
    // clang-format on
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "usb " << c.usb << " len " << c.len);
        ResetGlobals();
        RecordingPort local;
        SetDialogPort(&local);
        g_usbConnected = c.usb;
        std::vector<uint8_t> payload(c.len, 0x40);
        EXPECT_EQ(SendDeviceCommand(static_cast<uint8_t>(c.len), payload.data()), c.status);
        const size_t queued = c.usb ? DrainHid().size() : 0;
        const auto tcp = c.usb ? std::vector<std::vector<uint8_t>>{} : DrainTcp();
        EXPECT_EQ(queued + tcp.size(), c.status == SendStatus::kQueued ? 1u : 0u);
        if (!c.usb && c.status == SendStatus::kQueued) {
            EXPECT_EQ(tcp[0].size(), 134u);
        }
        const auto boxes = local.Boxes();
        if (c.box) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, c.box);
            EXPECT_EQ(boxes[0].postAfterOk, 0u);
        } else {
            EXPECT_TRUE(boxes.empty());
        }
        SetDialogPort(&port);
    }
}

TEST_F(CommandTest, ImageBlocksOverTheLimitOrPastTheImageSendNothing)
{
    for (int usb : {1, 0}) {
        g_usbConnected = usb;
        EXPECT_EQ(SendEqUserBlock(0, 59), SendStatus::kInvalid);
        EXPECT_EQ(SendEqUserBlock(3160, 4), SendStatus::kInvalid);
        EXPECT_EQ(SendEqUser2Block(400, 6), SendStatus::kInvalid);
        EXPECT_EQ(SendEqUserBlock(3105, 58), SendStatus::kQueued);
        EXPECT_EQ(SendChannelName(12), SendStatus::kInvalid);
        g_presetSlot = 8;
        EXPECT_EQ(SendPresetName(), SendStatus::kInvalid);
        g_presetSlot = 0;
    }
    EXPECT_EQ(DrainHid().size(), 1u);
    EXPECT_EQ(DrainTcp().size(), 1u);
    EXPECT_TRUE(port.Boxes().empty());
}

TEST_F(CommandTest, UpgradeGateDropsCodesUpTo28OnBothLinks)
{
    const struct {
        uint8_t code;
        bool passes;
    } cases[] = {{1, false}, {16, false}, {23, false}, {28, false}, {29, true}, {252, true}, {254, true}, {255, true}};
    for (int usb : {1, 0}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "usb " << usb << " code " << int(c.code));
            ResetGlobals();
            g_usbConnected = usb;
            g_upgradeMode = 1;
            const uint8_t payload[] = {c.code, 0};
            EXPECT_EQ(SendDeviceCommand(2, payload), c.passes ? SendStatus::kQueued : SendStatus::kGated);
            const size_t queued = usb ? DrainHid().size() : DrainTcp().size();
            EXPECT_EQ(queued, c.passes ? 1u : 0u);
            g_upgradeMode = 0;
            EXPECT_EQ(SendDeviceCommand(2, payload), SendStatus::kQueued);
        }
    }
}

TEST_F(CommandTest, FullRingRefusesAndKeepsWhatWaits)
{
    for (int usb : {1, 0}) {
        SCOPED_TRACE(usb ? "HID" : "TCP");
        ResetGlobals();
        g_usbConnected = usb;
        for (int i = 0; i < 49; ++i) {
            const uint8_t payload[] = {16, static_cast<uint8_t>(i)};
            ASSERT_EQ(SendDeviceCommand(2, payload), SendStatus::kQueued) << i;
        }
        const uint8_t extra[] = {16, 99};
        EXPECT_EQ(SendDeviceCommand(2, extra), SendStatus::kRingFull);

        // A save that finds the ring full is refused (the timers keep it).
        EXPECT_EQ(SendSavePreset(4), SendStatus::kRingFull);

        // The 49 frames come out in order, the refused one is not among them.
        std::vector<uint8_t> seen;
        if (usb) {
            for (const auto& s : DrainHid()) seen.push_back(s.bytes[3]);
        } else {
            for (const auto& f : DrainTcp()) seen.push_back(f[3]);
        }
        std::vector<uint8_t> expected(49);
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(seen, expected);

        EXPECT_EQ(SendSavePreset(4), SendStatus::kQueued);
        EXPECT_EQ(usb ? DrainHid().size() : DrainTcp().size(), 1u);
    }
}

TEST_F(CommandTest, SeveralProducersLoseNothingAndTearNothing)
{
    constexpr int kProducers = 4;
    constexpr int kFrames = 2000;
    g_usbConnected = 1;
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
        producers.emplace_back([p] {
            for (int i = 0; i < kFrames; ++i) {
                uint8_t payload[40];
                payload[0] = static_cast<uint8_t>(200 + p);
                payload[1] = static_cast<uint8_t>(i >> 8);
                payload[2] = static_cast<uint8_t>(i);
                for (int k = 3; k < 40; ++k) payload[k] = static_cast<uint8_t>(i + k);
                while (SendDeviceCommand(40, payload) == SendStatus::kRingFull) std::this_thread::yield();
            }
        });
    }
    int next[kProducers] = {};
    int received = 0;
    bool torn = false, reordered = false;
    while (received < kProducers * kFrames) {
        HidRing::Slot s;
        HidRing::Ticket t;
        if (!g_hidTxRing.Peek(s, t)) {
            std::this_thread::yield();
            continue;
        }
        g_hidTxRing.Pop(t);
        Payload payload;
        if (!ReadHidReport(s.bytes.data(), payload) || payload.len != 40) {
            torn = true;
            break;
        }
        const int p = payload.data[0] - 200;
        const int i = payload.data[1] * 256 + payload.data[2];
        for (int k = 3; k < 40; ++k) torn |= payload.data[k] != static_cast<uint8_t>(i + k);
        if (p < 0 || p >= kProducers || i != next[p]) {
            reordered = true;
            break;
        }
        ++next[p];
        ++received;
    }
    for (auto& t : producers) t.join();
    EXPECT_FALSE(torn);
    EXPECT_FALSE(reordered);
    EXPECT_EQ(received, kProducers * kFrames);
}

TEST_F(CommandTest, PopAfterResetDoesNotTakeANewerFrame)
{
    g_usbConnected = 1;
    SendShortCommand(CMD_READ_EQUSER2);
    HidRing::Slot s;
    HidRing::Ticket t;
    ASSERT_TRUE(g_hidTxRing.Peek(s, t));
    g_hidTxRing.Reset();
    SendShortCommand(CMD_READ_CHANNEL_NAMES);
    g_hidTxRing.Pop(t);
    const auto left = DrainHid();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].bytes[2], CMD_READ_CHANNEL_NAMES);
}

// An image file: the data bytes, then their sum.
std::vector<uint8_t> FirmwareFile(size_t dataBytes)
{
    std::vector<uint8_t> file(dataBytes);
    for (size_t i = 0; i < dataBytes; ++i) file[i] = static_cast<uint8_t>(i * 7 + 3);
    file.push_back(static_cast<uint8_t>(std::accumulate(file.begin(), file.end(), 0u)));
    return file;
}

TEST_F(CommandTest, HidFirmwareChunks)
{
    const auto file = FirmwareFile(1000);
    SetFirmwareImage(L"/tmp/system_Yastu.img", file);
    g_usbConnected = 1;

    struct {
        uint8_t hi, lo;
        SendStatus status;
        size_t imageBytes;
        uint64_t progress;
        uint8_t lastSent;
    } cases[] = {
        // clang-format off
        {0, 0, SendStatus::kQueued, 56, 0, 0},
        {0, 9, SendStatus::kQueued, 56, 500, 0},
        {0, 17, SendStatus::kQueued, 48, 944, 1},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.lo));
        g_fwLastChunkSent = 0;
        EXPECT_EQ(SendFirmwareChunk(c.hi, c.lo), c.status);
        const auto hid = DrainHid();
        ASSERT_EQ(hid.size(), 1u);
        const auto& r = hid[0].bytes;
        EXPECT_EQ(r[1], 59);
        EXPECT_EQ(r[2], CMD_FW_CHUNK);
        EXPECT_EQ(r[3], c.hi);
        EXPECT_EQ(r[4], c.lo);
        const size_t index = c.hi * 256 + c.lo;
        for (size_t k = 0; k < 56; ++k) ASSERT_EQ(r[5 + k], k < c.imageBytes ? file[56 * index + k] : 0xFF) << k;
        EXPECT_EQ(g_progressPermille.load(), c.progress);
        EXPECT_EQ(g_fwLastChunkSent.load(), c.lastSent);
    }
    EXPECT_EQ(g_fwChecksum.load(), file.back());

    // Past the last chunk, or without an image: no answer from outside the image.
    g_fwLastChunkSent = 0;
    EXPECT_EQ(SendFirmwareChunk(0, 18), SendStatus::kInvalid);
    EXPECT_EQ(SendFirmwareChunk(0x12, 0x34), SendStatus::kInvalid);
    ClearFirmwareImage();
    EXPECT_EQ(SendFirmwareChunk(0, 0), SendStatus::kInvalid);
    SetFirmwareImage(L"x.img", {0x00});  // a checksum and no data
    EXPECT_EQ(SendFirmwareChunk(0, 0), SendStatus::kInvalid);
    EXPECT_TRUE(DrainHid().empty());
    EXPECT_EQ(g_fwLastChunkSent.load(), 0);
}

TEST_F(CommandTest, LastHidChunkThatFindsTheRingFullIsNotCountedAsSent)
{
    SetFirmwareImage(L"a.img", FirmwareFile(1000));
    g_usbConnected = 1;
    for (int i = 0; i < 49; ++i) SendShortCommand(CMD_FW_START);
    EXPECT_EQ(SendFirmwareChunk(0, 17), SendStatus::kRingFull);
    EXPECT_EQ(g_fwLastChunkSent.load(), 0);
}

TEST_F(CommandTest, TcpFirmwareBlocks)
{
    const auto file = FirmwareFile(1000);
    SetFirmwareImage(L"a.img", file);
    for (uint8_t index : {0, 1}) {
        SCOPED_TRACE(int(index));
        g_fwLastChunkSent = 0;
        ASSERT_TRUE(QueueTcpFirmwareBlock(0, index));
        TcpFirmwareBlockSlot::Block b;
        uint64_t ticket = 0;
        ASSERT_TRUE(g_tcpFwBlock.Peek(b, ticket));
        EXPECT_THAT(std::vector<uint8_t>(b.begin(), b.begin() + 5), ::testing::ElementsAre(0x5A, 0xFF, 0xFD, 0, index));
        const size_t bytes = index == 0 ? 512 : 488;
        for (size_t k = 0; k < 512; ++k) ASSERT_EQ(b[5 + k], k < bytes ? file[512 * index + k] : 0xFF) << k;
        EXPECT_EQ(b[517], static_cast<uint8_t>(std::accumulate(b.begin() + 2, b.begin() + 517, 0u)));
        EXPECT_EQ(g_progressPermille.load(), index * 500u);
        EXPECT_EQ(g_fwLastChunkSent.load(), index);
        g_tcpFwBlock.Done(ticket);
        EXPECT_FALSE(g_tcpFwBlock.Pending());
    }
    EXPECT_FALSE(QueueTcpFirmwareBlock(0, 2));
    EXPECT_FALSE(g_tcpFwBlock.Pending());
}

}  // namespace
