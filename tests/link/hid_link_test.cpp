// The HID link against scripted devices through the in-process backend:
// discovery, identification, import, removal, loader mode, refusal,
// permissions, bursts and shut-down.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "link/dispatcher.h"
#include "link/hid_link.h"
#include "link/link_messages.h"
#include "link/ui_port.h"
#include "platform/hid/inprocess_backend.h"
#include "tests/link/link_fixture.h"
#include "tests/link/scripted_endpoint.h"

namespace {

constexpr uint16_t kVendor = 0x3A9B;
constexpr uint16_t kApp = 0x0101;
constexpr uint16_t kLoader = 0x0102;

// The in-process backend, with counts and a switch that refuses every open
// as a missing permission would.
class CountingBackend final : public IHidBackend {
public:
    std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId) override
    {
        ++enumerations;
        return inner.Enumerate(vendorId);
    }
    std::unique_ptr<IHidDevice> Open(const std::string& path, HidOpenStatus& status) override
    {
        if (denyOpen) {
            status = HidOpenStatus::kPermissionDenied;
            return nullptr;
        }
        return inner.Open(path, status);
    }

    InProcessHidBackend inner;
    std::atomic<int> enumerations{0};
    std::atomic<bool> denyOpen{false};
};

template <class Pred>
bool Eventually(Pred pred)
{
    for (int i = 0; i < 2000 && !pred(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return pred();
}

class HidLinkTest : public LinkTest {
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        options.vendorId = kVendor;
        options.productIdApp = kApp;
        options.productIdLoader = kLoader;
        options.tcpLinkUp = [this] { return tcpUp.load(); };
    }
    void TearDown() override
    {
        link.reset();
        LinkTest::TearDown();
    }
    void StartLink()
    {
        link = std::make_unique<HidLink>(backend, options);
        link->Start();
    }
    std::shared_ptr<ScriptedEndpoint> Plug(const ScriptedAmplifier& amp, uint16_t pid = kApp)
    {
        auto dev = std::make_shared<ScriptedEndpoint>(kVendor, pid, amp.MakeScript());
        backend.inner.Plug(dev);
        return dev;
    }
    static ScriptedAmplifier RandomAmplifier(unsigned seed)
    {
        ScriptedAmplifier amp;
        std::mt19937 rng(seed);
        for (auto& b : amp.eqUser) b = static_cast<uint8_t>(rng());
        for (auto& b : amp.eqUser2) b = static_cast<uint8_t>(rng());
        return amp;
    }
    // The main dialog's part of an import: after EqUser, ask for EqUser2 and the names.
    void AnswerLikeTheMainDialog()
    {
        port.SetOnSend([](UINT msg, WPARAM, LPARAM) {
            if (msg == WM_PARAM_IMAGE_RECEIVED) {
                RequestEqUser2();
                RequestChannelNames();
            }
            return LRESULT{0};
        });
    }

    CountingBackend backend;
    HidLinkOptions options;
    std::atomic<bool> tcpUp{false};
    std::unique_ptr<HidLink> link;
};

TEST_F(HidLinkTest, FindsIdentifiesAndImportsTheDevice)
{
    const ScriptedAmplifier amp = RandomAmplifier(1);
    AnswerLikeTheMainDialog();
    StartLink();
    auto dev = Plug(amp);
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    EXPECT_EQ(link->DevicePath(), "inproc:0");

    SendDeviceInfoRequest();
    ASSERT_TRUE(Eventually([] { return g_deviceInfoReceived.load() == 1; }));
    EXPECT_EQ(g_deviceModel.load(), 4);
    EXPECT_EQ(g_firmwareDate.load(), 190902);
    EXPECT_THAT(port.Labels(), ::testing::ElementsAre("16A417190902"));
    // The report left as 65 bytes with report id 0; the device saw the 64 after it.
    const auto first = dev->Writes().at(0);
    EXPECT_THAT(std::vector<uint8_t>(first.begin(), first.begin() + 4), ::testing::ElementsAre(2, 1, 19, 20));

    RequestEqUser(0);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_CHANNEL_NAME_CHANGED) == 12; }));
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 1);
    EXPECT_EQ(port.Count(WM_ROUTING_IMAGE_RECEIVED), 1);
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    EXPECT_TRUE(std::equal(amp.eqUser.begin(), amp.eqUser.end(), g_eqUser));
    EXPECT_TRUE(std::equal(amp.eqUser.begin(), amp.eqUser.end(), g_eqUserShadow));
    EXPECT_TRUE(std::equal(amp.eqUser2.begin(), amp.eqUser2.end(), g_eqUser2));
    EXPECT_TRUE(std::equal(amp.eqUser2.begin(), amp.eqUser2.end(), g_eqUser2Shadow));
    const auto name = g_deviceChannelNames[11].Get();
    EXPECT_STREQ(name.data(), "Out12");
}

TEST_F(HidLinkTest, RemovalMidImportClosesAndTheNextDeviceConnectsAgain)
{
    ScriptedAmplifier broken = RandomAmplifier(2);
    broken.unplugAfterPages = 40;
    StartLink();
    auto dev = Plug(broken);
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    SendDeviceInfoRequest();
    ASSERT_TRUE(Eventually([] { return g_deviceInfoReceived.load() == 1; }));
    g_deviceInfoExReceived = 1;

    // The device-info reply queued behind the 40 pages identifies the device
    // again, and its Send is held until the handles are closed: the parser
    // is still busy with the gone device's replies while it is removed.
    g_deviceInfoReceived = 0;
    port.SetOnSend([](UINT msg, WPARAM, LPARAM) {
        if (msg == WM_DEVICE_INFO_RECEIVED) Eventually([] { return g_usbConnected.load() == 0; });
        return LRESULT{0};
    });
    RequestEqUser(0);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Removals() == 1; }));
    link->Stop();  // lets the parser finish whatever it still had
    EXPECT_EQ(g_eqUser[40 * 32 - 1], broken.eqUser[40 * 32 - 1]);
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 2);
    EXPECT_EQ(g_usbConnected.load(), 0);
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    EXPECT_EQ(g_deviceInfoReceived.load(), 0);
    EXPECT_EQ(g_deviceInfoExReceived.load(), 0);
    EXPECT_EQ(port.Count(WM_PARAM_IMAGE_RECEIVED), 0);
    EXPECT_TRUE(link->DevicePath().empty());

    // A reconnection repeats the first connection.
    link->Start();
    const ScriptedAmplifier good = RandomAmplifier(3);
    AnswerLikeTheMainDialog();
    Plug(good);
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    EXPECT_EQ(link->DevicePath(), "inproc:1");
    SendDeviceInfoRequest();
    RequestEqUser(0);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_ROUTING_IMAGE_RECEIVED) == 1; }));
    EXPECT_TRUE(std::equal(good.eqUser.begin(), good.eqUser.end(), g_eqUser));
    EXPECT_EQ(port.Count(WM_DEVICE_INFO_RECEIVED), 3);
    EXPECT_EQ(port.Removals(), 1);
}

TEST_F(HidLinkTest, LoaderModeAsksForTheUpgradeAndKeepsTheRings)
{
    for (uint16_t pid : {kLoader, kApp}) {
        SCOPED_TRACE(pid == kLoader ? "loader" : "normal");
        ResetGlobals();
        RecordingPort local;
        SetDialogPort(&local);
        // A report left over from an earlier connection.
        const uint8_t stale[] = {CMD_FW_START};
        g_hidTxRing.Push([&](uint8_t* slot) { return FillHidReport(slot, stale, 1); });

        StartLink();
        auto dev = Plug(ScriptedAmplifier{}, pid);
        ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
        SendShortCommand(CMD_READ_EQUSER2);
        ASSERT_TRUE(dev->WaitForWrites(pid == kLoader ? 2 : 1));
        const auto writes = dev->Writes();
        EXPECT_EQ(writes[0][1], pid == kLoader ? CMD_FW_START : CMD_READ_EQUSER2);
        EXPECT_EQ(local.Count(WM_UPGRADE_REQUEST), pid == kLoader ? 1 : 0);
        link.reset();
        dev->Unplug();
        SetDialogPort(&port);
    }
}

TEST_F(HidLinkTest, BurstOfRepliesArrivesWhole)
{
    auto dev = std::make_shared<ScriptedEndpoint>(kVendor, kApp);
    constexpr int kReplies = 300;  // six times the ring
    for (int i = 0; i < kReplies; ++i) {
        std::vector<uint8_t> p(22, 0);
        p[0] = RSP_CHANNEL_NAME;
        p[1] = static_cast<uint8_t>(i % 12);
        p[2] = static_cast<uint8_t>('A' + i % 26);
        dev->Reply(p);
    }
    StartLink();
    backend.inner.Plug(dev);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Count(WM_CHANNEL_NAME_CHANGED) == kReplies; }));
    std::vector<WPARAM> channels;
    for (const auto& m : port.Messages())
        if (m.msg == WM_CHANNEL_NAME_CHANGED) channels.push_back(m.wParam);
    ASSERT_EQ(channels.size(), static_cast<size_t>(kReplies));
    for (int i = 0; i < kReplies; ++i) ASSERT_EQ(channels[i], static_cast<WPARAM>(i % 12)) << i;
    EXPECT_EQ(g_deviceChannelNames[(kReplies - 1) % 12].Get()[0], 'A' + (kReplies - 1) % 26);
}

TEST_F(HidLinkTest, UnknownProductIdIsRefusedOnceThenTheProgramCloses)
{
    StartLink();
    auto stranger = std::make_shared<ScriptedEndpoint>(kVendor, 0x1234);
    backend.inner.Plug(stranger);
    ASSERT_TRUE(port.WaitUntil([&] { return port.Boxes().size() == 1; }));
    const int passes = backend.enumerations.load();
    ASSERT_TRUE(Eventually([&] { return backend.enumerations.load() > passes + 3; }));
    // The next interface is still looked at.
    Plug(ScriptedAmplifier{});
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    EXPECT_EQ(link->DevicePath(), "inproc:1");
    const auto boxes = port.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"USBD_PID_FS");
    EXPECT_EQ(boxes[0].postAfterOk, WM_CLOSE);
}

TEST_F(HidLinkTest, MissingPermissionIsToldOnceAndNothingLooksConnected)
{
    backend.denyOpen = true;
    StartLink();
    Plug(ScriptedAmplifier{});
    ASSERT_TRUE(port.WaitUntil([&] { return port.Boxes().size() == 1; }));
    const int passes = backend.enumerations.load();
    ASSERT_TRUE(Eventually([&] { return backend.enumerations.load() > passes + 5; }));
    EXPECT_EQ(g_usbConnected.load(), 0);
    const auto boxes = port.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text.find(L"70-tarvel.rules"), std::wstring::npos);
    EXPECT_NE(boxes[0].text.find(L"udevadm"), std::wstring::npos);

    backend.denyOpen = false;  // the rule was installed and the device plugged again
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    EXPECT_EQ(port.Boxes().size(), 1u);
}

TEST_F(HidLinkTest, DiscoveryWaitsWhileTheTcpLinkIsUp)
{
    tcpUp = true;
    StartLink();
    Plug(ScriptedAmplifier{});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(backend.enumerations.load(), 0);
    EXPECT_EQ(g_usbConnected.load(), 0);
    tcpUp = false;
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
}

TEST_F(HidLinkTest, StopReleasesAParserWaitingOnTheUi)
{
    // A UI thread that never runs what it is given: a Send would wait for ever.
    struct Target final : IDialogTarget {
        LRESULT HandleMessage(UINT, WPARAM, LPARAM) override { return 1; }
        void SetDeviceStringLabel(const std::string&) override {}
        void ShowMessageBox(const std::wstring&) override {}
        void ShowStringBox(int) override {}
        void HidDeviceRemoved() override {}
    } target;
    std::mutex tasksMutex;
    std::vector<std::function<void()>> tasks;
    UiThreadPort uiPort(target, [&](std::function<void()> task) {
        std::lock_guard<std::mutex> lock(tasksMutex);
        tasks.push_back(std::move(task));
    });
    SetDialogPort(&uiPort);

    StartLink();
    Plug(ScriptedAmplifier{});
    ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    SendDeviceInfoRequest();
    // The link change of the open, the label, then the Send of
    // WM_DEVICE_INFO_RECEIVED.
    ASSERT_TRUE(Eventually([&] {
        std::lock_guard<std::mutex> lock(tasksMutex);
        return tasks.size() == 3;
    }));
    link->Stop();
    EXPECT_EQ(g_usbConnected.load(), 0);
    EXPECT_EQ(g_deviceInfoReceived.load(), 1);  // the parser came out of its Send
    for (auto& task : tasks) task();            // dropped: the target is not called after release
    SetDialogPort(&port);
}

}  // namespace
