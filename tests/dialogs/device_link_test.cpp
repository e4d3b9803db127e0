// The popups against the emulated amplifier on the in-process HID link:
// the picker ends when the device identifies itself, the progress dialog
// when the device is pulled out during a transfer.
#include <chrono>
#include <memory>
#include <thread>

#include "dialogs/dialoglogo.h"
#include "dialogs/loadpercent.h"
#include "link/commands.h"
#include "link/hid_link.h"
#include "platform/hid/inprocess_backend.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;

template <class Pred>
bool Eventually(Pred pred)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!pred() && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return pred();
}

class DeviceLinkDialogTest : public DialogTest {
protected:
    void TearDown() override
    {
        link.reset();
        DialogTest::TearDown();
    }

    // A device of model 8 plugged in and opened by the link.
    void Connect()
    {
        device = std::make_unique<SimDevice>("40CK10240315V1");
        endpoint = std::make_shared<SimHidEndpoint>(*device);
        backend.Plug(endpoint);
        HidLinkOptions options;
        options.tcpLinkUp = [] { return false; };
        link = std::make_unique<HidLink>(backend, options);
        link->Start();
        ASSERT_TRUE(Eventually([] { return g_usbConnected.load() == 1; }));
    }

    InProcessHidBackend backend;
    std::unique_ptr<SimDevice> device;
    std::shared_ptr<SimHidEndpoint> endpoint;
    std::unique_ptr<HidLink> link;
};

TEST_F(DeviceLinkDialogTest, PickerEndsWhenTheDeviceIdentifiesItself)
{
    Connect();
    for (int c = 0; c < kChannels; ++c) g_routingMask[c] = 0x100u + static_cast<uint32_t>(c);
    CDialogLogo dlg;
    const INT_PTR result = RunModal(dlg, [] { EXPECT_EQ(SendDeviceInfoRequest(), SendStatus::kQueued); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_deviceInfoReceived.load(), 1);
    EXPECT_EQ(g_deviceModel.load(), 8);
    EXPECT_EQ(g_relayoutPending, 0);
    EXPECT_EQ(g_routingMask[5], 0x105u);
    EXPECT_TRUE(main.received.empty());
}

TEST_F(DeviceLinkDialogTest, ProgressEndsWhenTheDeviceIsPulledOutMidTransfer)
{
    Connect();
    g_progressPermille = 0;
    CLoadPercent dlg;
    const INT_PTR result = RunModal(dlg, [&] {
        g_progressPermille = 300;  // a transfer under way
        endpoint->Unplug();
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    EXPECT_TRUE(Eventually([] { return g_usbConnected.load() == 0; }));
}

}  // namespace
