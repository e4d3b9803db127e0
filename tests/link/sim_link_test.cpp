// The HID link end to end against the emulated amplifier through the
// in-process backend: identification, both image reads, writes, removal
// and re-plug, the loader, reply bursts and spoilt frames.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>

#include "link/hid_link.h"
#include "link/image_lock.h"
#include "link/link_messages.h"
#include "platform/hid/inprocess_backend.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "tests/link/link_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

template <class Pred>
bool Eventually(Pred pred)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!pred() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return pred();
}

// Lines of the device's log that start with prefix.
int LogCount(SimDevice& device, const std::string& prefix)
{
    int n = 0;
    for (const std::string& line : device.Log().Lines()) n += line.starts_with(prefix);
    return n;
}

Bytes Snapshot(const uint8_t* image, size_t n)
{
    std::lock_guard<std::mutex> lock(g_imageMutex);
    return Bytes(image, image + n);
}

class SimLinkTest : public LinkTest {
protected:
    void TearDown() override
    {
        link.reset();
        LinkTest::TearDown();
    }

    // A device with images that differ from the factory ones, plugged in,
    // edited, and the link started.
    void Start(std::string_view deviceString = kSimDefaultDeviceString, SimFaults faults = {},
               const std::function<void(SimState&)>& edit = {})
    {
        device = std::make_unique<SimDevice>(deviceString);
        device->SetFaults(std::move(faults));
        Scramble(1);
        if (edit) device->Update(edit);
        endpoint = std::make_shared<SimHidEndpoint>(*device);
        path = backend.Plug(endpoint);
        link = std::make_unique<HidLink>(backend);
        link->Start();
    }
    void Scramble(unsigned seed)
    {
        device->Update([seed](SimState& s) {
            std::mt19937 rng(seed);
            for (auto& b : s.eqUser) b = static_cast<uint8_t>(rng());
            for (auto& b : s.eqUser2) b = static_cast<uint8_t>(rng());
        });
    }
    void Identify()
    {
        ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
        ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
        ASSERT_TRUE(Eventually([] { return g_deviceInfoReceived.load() == 1 && g_deviceInfoExReceived.load() == 1; }));
    }
    // The main dialog's part of an import: EqUser2 follows EqUser.
    void ChainRoutingRead()
    {
        port.SetOnSend([](UINT msg, WPARAM, LPARAM) {
            if (msg == WM_PARAM_IMAGE_RECEIVED) RequestEqUser2();
            return LRESULT{0};
        });
    }
    // Every reply the device has sent so far has been parsed: the routing
    // image asked for now comes behind them.
    void AllRepliesParsed()
    {
        const int routing = port.Count(WM_ROUTING_IMAGE_RECEIVED);
        ASSERT_EQ(RequestEqUser2(), SendStatus::kQueued);
        ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_ROUTING_IMAGE_RECEIVED) == routing + 1; }));
    }
    void ExpectImagesOfDevice(size_t eqUserSize)
    {
        const SimState s = device->State();
        ASSERT_EQ(s.eqUser.size(), eqUserSize);
        EXPECT_EQ(Snapshot(g_eqUser, eqUserSize), s.eqUser);
        EXPECT_EQ(Snapshot(g_eqUserShadow, eqUserSize), s.eqUser);
        EXPECT_EQ(Snapshot(g_eqUser2, SAVE_PARA_2_END), s.eqUser2);
        EXPECT_EQ(Snapshot(g_eqUser2Shadow, SAVE_PARA_2_END), s.eqUser2);
    }

    std::unique_ptr<SimDevice> device;
    std::shared_ptr<SimHidEndpoint> endpoint;
    InProcessHidBackend backend;
    std::string path;
    std::unique_ptr<HidLink> link;
};

struct IdentityCase {
    const char* deviceString;
    int model;
    int date;
    int eqUserSize;
};

class SimLinkIdentityTest : public SimLinkTest, public ::testing::WithParamInterface<IdentityCase> {};

TEST_P(SimLinkIdentityTest, IdentifiesAndReadsBothImagesPageByPage)
{
    const IdentityCase& c = GetParam();
    Start(c.deviceString);
    ChainRoutingRead();
    Identify();
    EXPECT_EQ(g_deviceModel.load(), c.model);
    EXPECT_EQ(g_firmwareDate.load(), c.date);
    EXPECT_EQ(GetEqUserSize(), c.eqUserSize);
    const auto text = g_deviceString.Get();
    EXPECT_EQ(std::string(text.begin(), text.end()), c.deviceString);
    const auto ex = g_deviceInfoEx.Get();
    EXPECT_EQ(std::string(ex.begin(), ex.end()), "HW2.1-FW417");
    EXPECT_EQ(port.Labels(), std::vector<std::string>{c.deviceString});
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 1);

    ASSERT_EQ(RequestEqUser(0), SendStatus::kQueued);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_ROUTING_IMAGE_RECEIVED) == 1; }));
    // The progress follows the message's return.
    EXPECT_TRUE(Eventually([] { return g_progressPermille.load() == 1000u; }));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    ExpectImagesOfDevice(c.eqUserSize);
    // Nothing past the device's image was touched.
    const Bytes rest = Snapshot(g_eqUser + c.eqUserSize, EQ_USER_PARA_NUM - c.eqUserSize);
    EXPECT_EQ(rest, Bytes(rest.size(), 0));
    // A repeated identification is not announced again.
    ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
    ASSERT_TRUE(Eventually([&] { return LogCount(*device, "hid CMD_DEVICE_INFO tag=19") >= 2; }));
    AllRepliesParsed();
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 1);
}

INSTANTIATE_TEST_SUITE_P(
    DeviceStrings, SimLinkIdentityTest,
    ::testing::Values(IdentityCase{"46AK10240315V1", 4, 240315, 3163}, IdentityCase{"268K10190820V1", 1, 190820, 1579},
                      IdentityCase{"268K10190821V1", 1, 190821, 3163}, IdentityCase{"168K10190820V1", 6, 190820, 3163},
                      IdentityCase{"10CK10230101V2", 8, 230101, 3163}),
    [](const ::testing::TestParamInfo<IdentityCase>& info) { return std::string(info.param.deviceString); });

TEST_F(SimLinkTest, WrittenBlocksLandInTheDeviceImages)
{
    Start();
    Identify();
    SimState expected = device->State();
    struct Block {
        bool routing;
        unsigned offset, n;
    };
    const Block blocks[] = {
        {false, 0, 58}, {false, 1600, 1}, {false, 3163 - 58, 58}, {true, 0, 40}, {true, 405 - 58, 58}};
    uint8_t value = 0x11;
    for (const Block& b : blocks) {
        Bytes& img = b.routing ? expected.eqUser2 : expected.eqUser;
        {
            std::lock_guard<std::mutex> lock(g_imageMutex);
            uint8_t* host = b.routing ? g_eqUser2 : g_eqUser;
            for (unsigned i = 0; i < b.n; ++i) host[b.offset + i] = img[b.offset + i] = value++;
        }
        EXPECT_EQ(b.routing ? SendEqUser2Block(b.offset, b.n) : SendEqUserBlock(b.offset, b.n), SendStatus::kQueued);
    }
    ASSERT_TRUE(Eventually([&] {
        const SimState s = device->State();
        return s.eqUser == expected.eqUser && s.eqUser2 == expected.eqUser2;
    }));
    for (const std::string& line : device->Log().Lines()) EXPECT_EQ(line.find("ignored"), std::string::npos) << line;
}

TEST_F(SimLinkTest, RemovalMidImportEndsItAndTheDeviceIdentifiesAgainWhenPlugged)
{
    SimFaults faults;
    faults.removeAfterPage = 40;
    Start(kSimDefaultDeviceString, faults);
    ChainRoutingRead();
    Identify();
    ASSERT_EQ(RequestEqUser(0), SendStatus::kQueued);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Removals() == 1; }));
    EXPECT_EQ(g_usbConnected.load(), 0);
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    EXPECT_EQ(g_deviceInfoReceived.load(), 0);
    EXPECT_EQ(g_deviceInfoExReceived.load(), 0);
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 0);
    EXPECT_TRUE(link->DevicePath().empty());
    // Pages 0..40 arrived, nothing after them.
    const Bytes got = Snapshot(g_eqUser, EQ_USER_PARA_NUM);
    const Bytes want = device->State().eqUser;
    EXPECT_TRUE(std::equal(want.begin(), want.begin() + 41 * 32, got.begin()));
    EXPECT_EQ(Bytes(got.begin() + 41 * 32, got.end()), Bytes(got.size() - 41 * 32, 0));

    endpoint->Plug();
    Identify();
    EXPECT_EQ(link->DevicePath(), path);
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 2);
    ASSERT_EQ(RequestEqUser(0), SendStatus::kQueued);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_ROUTING_IMAGE_RECEIVED) == 1; }));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    // The progress follows the message's return.
    EXPECT_TRUE(Eventually([] { return g_progressPermille.load() == 1000u; }));
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    EXPECT_EQ(port.Removals(), 1);
}

class SimLinkLoaderTest : public SimLinkTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SimLinkLoaderTest, LoaderArrivalAsksForTheUpgrade)
{
    const bool byCommand = GetParam();
    SimFaults faults;
    faults.restartTime = std::chrono::milliseconds(50);
    Start(kSimDefaultDeviceString, faults, [&](SimState& s) { s.loaderMode = !byCommand; });
    if (byCommand) {
        Identify();
        EXPECT_EQ(port.Count(WM_UPGRADE_REQUEST), 0);
        EXPECT_EQ(SendShortCommand(CMD_ENTER_UPGRADE), SendStatus::kQueued);
        ASSERT_TRUE(port.WaitUntil([&] { return port.Removals() == 1; }));
    }
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_UPGRADE_REQUEST) == 1; }));
    EXPECT_TRUE(device->InLoader());
    EXPECT_EQ(endpoint->ProductId(), HID_PRODUCT_ID_LOADER);
    EXPECT_EQ(g_usbConnected.load(), 1);
    EXPECT_EQ(link->DevicePath(), path);
    EXPECT_EQ(port.Removals(), byCommand ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Arrivals, SimLinkLoaderTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "EntersTheLoaderOnCommand" : "PluggedInAsTheLoader";
                         });

TEST_F(SimLinkTest, BurstsOfRepliesLoseNoPage)
{
    SimFaults faults;
    faults.replyGap = std::chrono::microseconds(0);
    Start(kSimDefaultDeviceString, faults);
    device->Update([](SimState& s) {
        for (int ch = 0; ch < 12; ++ch) s.channelNames[ch][0] = static_cast<uint8_t>('a' + ch);
    });
    Identify();
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE(round);
        Scramble(100 + round);
        // Every request at once: the device answers each in one burst.
        ASSERT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued);
        ASSERT_EQ(RequestEqUser(0), SendStatus::kQueued);
        ASSERT_EQ(RequestEqUser2(), SendStatus::kQueued);
        ASSERT_EQ(RequestChannelNames(), SendStatus::kQueued);
        ASSERT_TRUE(port.WaitUntil([&] {
            return port.Count(WM_ROUTING_IMAGE_RECEIVED) == round && port.Count(WM_CHANNEL_NAME_CHANGED) == 12 * round;
        }));
        EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), round);
        EXPECT_EQ(g_progressPermille.load(), 1000u);
        ExpectImagesOfDevice(EQ_USER_PARA_NUM);
        for (int ch = 0; ch < 12; ++ch) EXPECT_EQ(g_deviceChannelNames[ch].Get()[0], 'a' + ch) << ch;
    }
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 1);
}

struct SpoiltPageCase {
    const char* name;
    SimFrameFaultKind kind;
    int page;
};

class SimLinkSpoiltPageTest : public SimLinkTest, public ::testing::WithParamInterface<SpoiltPageCase> {};

TEST_P(SimLinkSpoiltPageTest, SpoiltPageIsDroppedAndARereadCompletesTheImage)
{
    const SpoiltPageCase& c = GetParam();
    SimFaults faults;
    faults.frameFaults.push_back({c.kind, RSP_EQUSER_PAGE, c.page, 1});
    Start(kSimDefaultDeviceString, faults);
    Identify();
    const Bytes want = device->State().eqUser;

    ASSERT_EQ(RequestEqUser(0), SendStatus::kQueued);
    // Every other page arrives; the import watchdog would resend from here.
    const uint64_t allButOne = 98 * 1000 / 107;  // of both images
    ASSERT_TRUE(Eventually([&] { return g_progressPermille.load() == allButOne; }));
    ASSERT_TRUE(Eventually([&] { return LogCount(*device, "hid CMD_READ_EQUSER pages") == 1; }));
    AllRepliesParsed();
    // A gap is noticed: an image without one of its pages is not announced.
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 0);
    const Bytes got = Snapshot(g_eqUser, EQ_USER_PARA_NUM);
    const Bytes shadow = Snapshot(g_eqUserShadow, EQ_USER_PARA_NUM);
    const size_t at = static_cast<size_t>(c.page) * 32;
    const size_t n = std::min<size_t>(32, EQ_USER_PARA_NUM - at);
    for (size_t i = 0; i < got.size(); ++i) {
        const uint8_t expected = i >= at && i < at + n ? 0 : want[i];
        ASSERT_EQ(got[i], expected) << i;
        ASSERT_EQ(shadow[i], expected) << i;
    }

    // The resend brings the missing page: the image is announced once, whole.
    ASSERT_EQ(RequestEqUser(0), SendStatus::kQueued);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_PARAM_IMAGE_RECEIVED) == 1; }));
    EXPECT_EQ(Snapshot(g_eqUser, EQ_USER_PARA_NUM), want);
    // The progress follows the message's return; EqUser2 is still to come.
    EXPECT_TRUE(Eventually([] { return g_progressPermille.load() == 99u * 1000 / 107; }));
    ASSERT_TRUE(Eventually([&] { return LogCount(*device, "hid CMD_READ_EQUSER pages") == 2; }));
    AllRepliesParsed();  // the rest of the resend's pages
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    EXPECT_EQ(g_usbConnected.load(), 1);
}

INSTANTIATE_TEST_SUITE_P(Faults, SimLinkSpoiltPageTest,
                         ::testing::Values(SpoiltPageCase{"BadSumLastPage", SimFrameFaultKind::BadSum, 98},
                                           SpoiltPageCase{"BadSumMiddlePage", SimFrameFaultKind::BadSum, 7},
                                           SpoiltPageCase{"OverlongLastPage", SimFrameFaultKind::Overlong, 98},
                                           SpoiltPageCase{"TruncatedMiddlePage", SimFrameFaultKind::Truncated, 40}),
                         [](const ::testing::TestParamInfo<SpoiltPageCase>& info) { return info.param.name; });

}  // namespace
