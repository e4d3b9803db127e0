// Presets, channel names and the firmware upgrade against the emulated
// amplifier over loopback TCP and the in-process HID backend, run by the
// stand-in main dialog: a save reaches the slot, a recall brings the slot's
// images back, a name reaches the device, and an upgrade survives a wrong
// file, a bad sum, a loader that asks with no image and a link that drops
// at any point of the transfer.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <thread>

#include "link/firmware.h"
#include "link/firmware_upgrade.h"
#include "link/hid_link.h"
#include "link/sync_timers.h"
#include "link/tcp_link.h"
#include "model/device_presets.h"
#include "model/resets.h"
#include "platform/hid/inprocess_backend.h"
#include "res/resource.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_server.h"
#include "tests/link/session_host.h"
#include "tests/support/globals.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Snapshot(const uint8_t* image, size_t n)
{
    std::lock_guard<std::mutex> lock(g_imageMutex);
    return Bytes(image, image + n);
}

// An image file: data, then its 8-bit sum (spoilt by sumDelta).
Bytes ImageFile(size_t dataBytes, uint8_t sumDelta = 0)
{
    Bytes file(dataBytes);
    for (size_t i = 0; i < dataBytes; ++i) file[i] = static_cast<uint8_t>(i * 7 + 3);
    file.push_back(static_cast<uint8_t>(std::accumulate(file.begin(), file.end(), 0u) + sumDelta));
    return file;
}

// The main window's side of the upgrade: file choices from a queue,
// boxes recorded, the progress dialog as the stand-in's nested loop.
class FakeFirmwareHost final : public IFirmwareHost {
public:
    explicit FakeFirmwareHost(session::Dialog& dialog) : m_dialog(dialog) {}
    std::optional<std::wstring> ChooseImageFile() override
    {
        ++fileDialogs;
        if (files.empty()) return std::nullopt;
        auto f = files.front();
        files.pop_front();
        return f;
    }
    bool ReadImageFile(const std::wstring& path, std::vector<uint8_t>& bytes) override
    {
        std::ifstream in(fs::path(path), std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        return true;
    }
    void ShowFirmwareBox(int stringId, bool) override { boxes.push_back(stringId); }
    void StopParamSync() override { m_dialog.sync.StopForFirmware(); }
    void RunProgressModal() override { m_dialog.RunProgressModal(); }
    void PostClose() override { ++closes; }

    std::deque<std::optional<std::wstring>> files;
    std::vector<int> boxes;
    int fileDialogs = 0;
    int closes = 0;

private:
    session::Dialog& m_dialog;
};

class DeviceSessionTest : public ::testing::TestWithParam<bool> {
protected:
    bool Hid() const { return GetParam(); }
    void SetUp() override
    {
        ResetGlobals();
        session::View scratch;
        ResetAll(scratch);
        dir = folder.Path();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override
    {
        hid.reset();
        if (!hidPath.empty()) backend.Unplug(hidPath);
        hidPath.clear();
        endpoint.reset();
        tcp.reset();
        server.reset();
        upgrade.reset();
        host.reset();
        dialog.reset();
        ResetGlobals();
    }

    void Start(SimFaults faults = {}, bool loader = false)
    {
        device = std::make_unique<SimDevice>();
        device->SetFaults(std::move(faults));
        if (loader) device->Update([](SimState& s) { s.loaderMode = true; });
        dialog = std::make_unique<session::Dialog>();
        host = std::make_unique<FakeFirmwareHost>(*dialog);
        upgrade = std::make_unique<FirmwareUpgrade>(*host);
        dialog->onMessage = [this](UINT msg) {
            if (msg == WM_UPGRADE_REQUEST) upgrade->OnUpgradeRequest();
        };
        if (Hid()) {
            endpoint = std::make_shared<SimHidEndpoint>(*device);
            hidPath = backend.Plug(endpoint);
            hid = std::make_unique<HidLink>(backend);
            hid->Start();
        } else {
            dialog->tcpState = [this] { return tcp ? tcp->GetState() : int{TCP_LINK_CLOSED}; };
            server = std::make_unique<SimTcpServer>(*device, 0);
            ASSERT_EQ(server->Start(), NetStatus::kOk);
            tcp = std::make_unique<CTcpLink>(
                TcpLinkOptions{"127.0.0.1", server->Port(), [](std::string_view) { return true; }});
            tcp->Start();
        }
        dialog->sync.Start();
    }
    bool Imported(int count, std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        return dialog->RunUntil(
            [&] { return dialog->messages[WM_ROUTING_IMAGE_RECEIVED] >= count && dialog->sync.ParamSyncRunning(); },
            limit);
    }
    std::wstring Write(const std::string& name, const Bytes& bytes)
    {
        const fs::path p = dir / name;
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p.wstring();
    }
    // The device's log lines from line `mark` on that hold needle.
    std::vector<std::string> LogFrom(size_t mark, const std::string& needle) const
    {
        return device->Log().LinesFrom(mark, needle);
    }
    int LogCount(const std::string& needle) const
    {
        int n = 0;
        for (const std::string& line : device->Log().Lines()) n += line.find(needle) != std::string::npos;
        return n;
    }
    // The device back in normal mode with the image's data, and imported.
    void ExpectUpgraded(const Bytes& file, int updates)
    {
        ASSERT_TRUE(dialog->RunUntil([&] { return device->State().firmwareUpdates == updates; }));
        EXPECT_EQ(device->State().firmware, Bytes(file.begin(), file.end() - 1));
        EXPECT_EQ(g_upgradeMode.load(), 0);
        EXPECT_FALSE(HasFirmwareImage());
        if (Hid()) endpoint->Plug();  // a no-op unless a test pulled it
        ASSERT_TRUE(
            dialog->RunUntil([&] { return g_deviceInfoReceived.load() == 1 && dialog->sync.ParamSyncRunning(); }));
    }

    // After a recall of slot 2: the window and the device's current settings
    // are slot 2 whole, nothing was written since mark and no box came.
    void ExpectSlot2Everywhere(size_t mark)
    {
        const SimState s = device->State();
        EXPECT_EQ(Snapshot(g_eqUser, EQ_USER_PARA_NUM), s.presets[2].eqUser) << "the window is slot 2";
        EXPECT_EQ(Snapshot(g_eqUser2, SAVE_PARA_2_END), s.presets[2].eqUser2) << "the window is slot 2";
        EXPECT_EQ(s.eqUser, s.presets[2].eqUser) << "the device is slot 2";
        EXPECT_EQ(s.eqUser2, s.presets[2].eqUser2) << "the device is slot 2";
        EXPECT_EQ(LogFrom(mark, "CMD_WRITE"), std::vector<std::string>{});
        EXPECT_TRUE(dialog->stringBoxes.empty());
    }

    std::unique_ptr<SimDevice> device;
    std::shared_ptr<SimHidEndpoint> endpoint;
    InProcessHidBackend backend;
    std::string hidPath;
    std::unique_ptr<HidLink> hid;
    std::unique_ptr<SimTcpServer> server;
    std::unique_ptr<CTcpLink> tcp;
    std::unique_ptr<session::Dialog> dialog;
    std::unique_ptr<FakeFirmwareHost> host;
    std::unique_ptr<FirmwareUpgrade> upgrade;
    const ScratchDir folder{"tarvel_fw"};
    fs::path dir;
};

TEST_P(DeviceSessionTest, SaveRecallAndChannelNameReachTheDevice)
{
    Start();
    ASSERT_TRUE(Imported(1));
    const std::string link = Hid() ? "hid " : "tcp ";

    // Save: the name at once, the settings into slot 4 after the changed blocks.
    g_eqGain[2][7] = 33;
    g_presetSlot = 4;
    ASSERT_TRUE(dialog->sync.RequestSavePreset(4));
    StoreNameRecord(g_presetNames[4], "Club mix");
    ASSERT_EQ(SendPresetName(), SendStatus::kQueued);
    ASSERT_TRUE(dialog->RunUntil([&] { return LogCount(link + "CMD_SAVE_PRESET") == 1; }));
    SimState s = device->State();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.presets[4].name.data()), 8), "Club mix");
    EXPECT_EQ(s.presets[4].eqUser, Snapshot(g_eqUser, EQ_USER_PARA_NUM));

    // Recall another slot: its images replace the model, without a progress
    // dialog, and the synchronisation starts again.
    device->Update([](SimState& st) {
        st.presets[2].eqUser = st.eqUser;
        st.presets[2].eqUser2 = st.eqUser2;
        st.presets[2].eqUser[19 + 194 * 1 + 62 + 1] = 123;  // CH2 band 1 gain
    });
    const int modals = dialog->modalsOpened;
    const int routing = dialog->messages[WM_ROUTING_IMAGE_RECEIVED];
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    EXPECT_FALSE(dialog->sync.ParamSyncRunning());
    ASSERT_TRUE(Imported(routing + 1));
    // The reply to the read's CMD_DEVICE_INFO, answered before the read,
    // still says slot 4; the device's replies after it say 2.
    EXPECT_TRUE(dialog->RunUntil([] { return g_presetSlot.load() == 2; }));
    EXPECT_EQ(g_eqGain[1][0], 123);
    EXPECT_EQ(dialog->modalsOpened, modals);
    EXPECT_EQ(LogCount(link + "CMD_READ_EQUSER pages=99 slot=2"), 1) << "recall of slot 2";

    // A channel name of ten Chinese characters fills its 20 bytes.
    const std::string gbk = "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4";
    StoreNameRecord(g_deviceChannelNames[7], gbk);
    ASSERT_EQ(SendChannelName(7), SendStatus::kQueued);
    ASSERT_TRUE(dialog->RunUntil([&] { return LogCount(link + "CMD_WRITE_CHANNEL_NAME") == 1; }));
    s = device->State();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.channelNames[7].data()), 20), gbk);
}

// The pages of a read of an image of `pages` pages, all but one.
std::vector<int> PagesWithout(int pages, int lost)
{
    std::vector<int> order;
    for (int k = 0; k < pages; ++k)
        if (k != lost) order.push_back(k);
    return order;
}

// Slots 1 and 2 (or those given) hold the device's settings with every band
// gain at 100 x slot (at most 250), every mixer cell at 20 x slot and
// EqUser2's last bytes at the slot.
void TwoPresets(SimDevice& device, std::vector<int> slots = {1, 2})
{
    device.Update([&](SimState& st) {
        for (int slot : slots) {
            SimPreset& p = st.presets[slot];
            p.eqUser = st.eqUser;
            p.eqUser2 = st.eqUser2;
            for (int c = 0; c < 12; ++c) {
                for (int b = 0; b < 31; ++b) {
                    const size_t at = c < 6 ? 19 + 194 * c + 62 + 2 * b : 1183 + 198 * (c - 6) + 66 + 2 * b;
                    p.eqUser[at] = 0;
                    p.eqUser[at + 1] = static_cast<uint8_t>(std::min(100 * slot, 250));
                }
                for (int j = 0; j < 16; ++j) p.eqUser2[50 + 16 * c + j] = static_cast<uint8_t>(20 * slot);
            }
            std::fill(p.eqUser2.begin() + 389, p.eqUser2.end(), static_cast<uint8_t>(slot));
        }
    });
}

// Waits until the device's current settings are the window's images.
bool DeviceHoldsTheWindow(session::Dialog& dialog, SimDevice& device)
{
    return dialog.RunUntil(
        [&] {
            const SimState s = device.State();
            return s.eqUser == Snapshot(g_eqUser, EQ_USER_PARA_NUM) &&
                   s.eqUser2 == Snapshot(g_eqUser2, SAVE_PARA_2_END);
        },
        std::chrono::seconds(30));
}

// A second recall made while the pages of the first still arrive (a slow
// device, or a second OK right after the first) brings the second slot
// whole: no page of the first counts in it, and nothing is written back.
TEST_P(DeviceSessionTest, SecondRecallWhileTheFirstArrivesTakesOnlyTheSecondSlot)
{
    struct Case {
        const char* name;
        std::chrono::milliseconds gap;  // between reply frames
        int pagesFirst;                 // pages of slot 1 in before the second recall
    } cases[] = {
        {"slow device, second recall mid-read", std::chrono::milliseconds(15), 20},
        {"second OK at once", std::chrono::milliseconds(1), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimFaults faults;
        faults.replyGap = c.gap;
        Start(faults);
        ASSERT_TRUE(Imported(1));
        TwoPresets(*device);
        const int decoded = dialog->messages[WM_ROUTING_IMAGE_RECEIVED];
        g_progressPermille = 0;  // a recall's pages move it as the import's do
        ASSERT_TRUE(dialog->sync.StartRecall(1));
        if (c.pagesFirst > 0) {
            const uint64_t upTo = static_cast<uint64_t>(c.pagesFirst) * 1000 / 107;
            ASSERT_TRUE(dialog->RunUntil([&] { return g_progressPermille.load() >= upTo; }));
            ASSERT_LT(g_progressPermille.load(), 1000u) << "slot 1 still arriving";
        }
        const size_t mark = device->Log().Lines().size();
        ASSERT_TRUE(dialog->sync.StartRecall(2));
        ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                     std::chrono::seconds(30)));
        EXPECT_GT(dialog->messages[WM_ROUTING_IMAGE_RECEIVED], decoded);
        dialog->RunTicks(IDT_PARAM_SYNC, 3);

        ExpectSlot2Everywhere(mark);
        for (int ch = 0; ch < 12; ++ch) EXPECT_EQ(g_eqGain[ch][5], 200) << "CH" << ch + 1;
        TearDown();
        SetUp();
    }
}

// A recall is taken only from a device that identified itself and whose
// images are in; a refused one leaves nothing behind for the next import.
TEST_P(DeviceSessionTest, RecallWithoutTheDevicesImagesIsRefusedAndLeavesNothing)
{
    Start();
    g_presetSlot = 4;
    EXPECT_FALSE(dialog->sync.StartRecall(3)) << "nothing imported yet";
    EXPECT_EQ(g_presetSlot.load(), 4);
    EXPECT_FALSE(dialog->sync.Recalling());
    // The import that follows is an import: one progress dialog that closes,
    // the current settings read once, no box.
    ASSERT_TRUE(Imported(1));
    EXPECT_EQ(dialog->modalsOpened, 1);
    EXPECT_EQ(dialog->modalsClosed, 1);
    EXPECT_EQ(LogCount("slot=3"), 0);
    EXPECT_EQ(LogCount("CMD_READ_EQUSER pages=99 slot=current"), 1);
    EXPECT_TRUE(dialog->stringBoxes.empty());
    EXPECT_FALSE(dialog->sync.StartRecall(8)) << "no such slot";
    EXPECT_TRUE(dialog->sync.StartRecall(3));
}

// A recall whose slot loses a page in every read is asked again after 1, 2
// and 3 s of silence and then given up: the window keeps its settings, says
// so, and writes every block, so that the device holds what it shows.
TEST_P(DeviceSessionTest, RecallGivenUpLeavesTheDeviceHoldingWhatTheWindowShows)
{
    SimFaults faults;
    Start(faults);
    ASSERT_TRUE(Imported(1));
    // Slot 1 is the current settings but for CH2 band 11 at +5 dB, in page 9.
    device->Update([](SimState& st) {
        st.presets[1].eqUser = st.eqUser;
        st.presets[1].eqUser2 = st.eqUser2;
        st.presets[1].eqUser[19 + 194 + 62 + 2 * 10 + 1] = 100;
    });
    ASSERT_EQ((19 + 194 + 62 + 2 * 10 + 1) / 32, 9);
    faults.eqUserPages = PagesWithout(99, 9);
    device->SetFaults(faults);
    const int gainBefore = g_eqGain[1][10];
    const size_t mark = device->Log().Lines().size();
    ASSERT_TRUE(dialog->sync.StartRecall(1));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->stringBoxes.empty(); }, std::chrono::seconds(30)));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_RECALL_FAILED});
    EXPECT_EQ(LogFrom(mark, "CMD_READ_EQUSER pages=99 slot=1").size(), 4u) << "asked, then again 3 times";
    EXPECT_TRUE(dialog->sync.ParamSyncRunning());
    EXPECT_EQ(g_eqGain[1][10], gainBefore);
    // Every block of both images is written, then the two are equal.
    EXPECT_TRUE(dialog->RunUntil([&] {
        return LogFrom(mark, "CMD_WRITE_EQUSER ").size() >= static_cast<size_t>(kEqUserBlocks) &&
               LogFrom(mark, "CMD_WRITE_EQUSER2").size() >= static_cast<size_t>(kEqUser2Blocks);
    }));
    ASSERT_TRUE(DeviceHoldsTheWindow(*dialog, *device));
    EXPECT_EQ(device->State().eqUser[19 + 194 + 62 + 2 * 10 + 1], gainBefore);

    // Later edits of other channels go out as usual and the two stay equal.
    g_eqGain[5][3] = 77;
    ASSERT_TRUE(DeviceHoldsTheWindow(*dialog, *device));
}

// The emulated amplifier's lose-page fault: one page of one read only; the
// resend after a second of silence fills the gap and the recall completes.
TEST_P(DeviceSessionTest, RecallThatLosesAPageOnceIsAskedAgainAndCompletes)
{
    SimFaults faults;
    faults.losePage = 40;
    faults.losePageRead = 2;  // the import is read 1
    Start(faults);
    ASSERT_TRUE(Imported(1));
    TwoPresets(*device);
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                 std::chrono::seconds(30)));
    EXPECT_TRUE(dialog->stringBoxes.empty());
    EXPECT_EQ(LogCount("CMD_READ_EQUSER pages=99 slot=2"), 2);
    const SimState s = device->State();
    EXPECT_EQ(Snapshot(g_eqUser, EQ_USER_PARA_NUM), s.presets[2].eqUser);
    EXPECT_EQ(s.eqUser, s.presets[2].eqUser);
}

// EqUser page 9 holds band gains of CH2, the pages after it those of
// CH3..CH12; EqUser2 page 1 mixer cells of CH1..CH4, the pages after it the
// other outputs' cells and the links.
constexpr int kLostPage = 9;
constexpr int kLostRoutingPage = 1;

// A recall of slot 1 loses a page of one image; the recall of slot 2 that
// follows brings slot 2 whole, and nothing of slot 1 is written into the
// device.
TEST_P(DeviceSessionTest, RecallAfterARecallThatLostAPageTakesOnlyTheNewSlot)
{
    for (const bool routing : {false, true}) {
        SCOPED_TRACE(routing ? "EqUser2 page lost" : "EqUser page lost");
        SimFaults faults;
        Start(faults);
        ASSERT_TRUE(Imported(1));
        TwoPresets(*device);
        if (routing) faults.eqUser2Pages = PagesWithout(8, kLostRoutingPage);
        else faults.eqUserPages = PagesWithout(99, kLostPage);
        device->SetFaults(faults);
        ASSERT_TRUE(dialog->sync.StartRecall(1));
        // Every page of slot 1's read but the lost one is in.
        const SimBytes slot1 = device->State().presets[1].eqUser2;
        const SimBytes tail(slot1.end() - 13, slot1.end());
        ASSERT_TRUE(dialog->RunUntil([&] {
            if (!routing) return g_progressPermille.load() == 98 * 1000 / 107;
            const Bytes shadow = Snapshot(g_eqUser2Shadow, SAVE_PARA_2_END);
            return std::equal(tail.begin(), tail.end(), shadow.end() - 13);
        }));

        device->SetFaults({});
        const size_t mark = device->Log().Lines().size();
        const int decoded = dialog->messages[WM_ROUTING_IMAGE_RECEIVED];
        ASSERT_TRUE(dialog->sync.StartRecall(2));
        ASSERT_TRUE(Imported(decoded + 1));
        dialog->RunTicks(IDT_PARAM_SYNC, 3);

        ExpectSlot2Everywhere(mark);
        TearDown();
        SetUp();
    }
}

// A recall that lost a page gives up; the page that comes late is stored
// but completes no image: the model keeps what it had.
TEST_P(DeviceSessionTest, RecallGivenUpTakesNoImageFromALatePage)
{
    SimFaults faults;
    Start(faults);
    ASSERT_TRUE(Imported(1));
    TwoPresets(*device);
    faults.eqUserPages = PagesWithout(99, kLostPage);
    device->SetFaults(faults);
    const Bytes before = Snapshot(g_eqUser, EQ_USER_PARA_NUM);
    ASSERT_TRUE(dialog->sync.StartRecall(1));
    ASSERT_TRUE(dialog->RunUntil([&] { return dialog->sync.ParamSyncRunning(); }, std::chrono::seconds(30)));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_RECALL_FAILED});
    const int decoded = dialog->messages[WM_PARAM_IMAGE_RECEIVED];
    const size_t mark = device->Log().Lines().size();

    // The lost page arrives now through the link's parser, then a preset
    // name: once the name is in, the page has been dealt with.
    const SimBytes slot1 = device->State().presets[1].eqUser;
    Bytes page = {RSP_EQUSER_PAGE, kLostPage};
    page.insert(page.end(), slot1.begin() + 32 * kLostPage, slot1.begin() + 32 * (kLostPage + 1));
    Bytes name = {RSP_PRESET_NAME, 7, 'L', 'a', 't', 'e'};
    name.resize(22);
    for (const Bytes& reply : {page, name}) {
        const uint8_t len = static_cast<uint8_t>(reply.size());
        if (Hid()) {
            ASSERT_TRUE(g_hidRxRing.Push([&](uint8_t* report) {
                FillHidReport(report, reply.data(), len);
                return static_cast<int>(HID_REPORT_LEN);
            }));
        } else {
            ASSERT_TRUE(g_tcpRxRing.Push([&](uint8_t* slot) {
                slot[0] = len;
                std::copy(reply.begin(), reply.end(), slot + 1);
                return len + 1;
            }));
        }
    }
    ASSERT_TRUE(dialog->RunUntil([&] { return g_presetNames[7].Get()[0] == 'L'; }));
    dialog->RunTicks(IDT_PARAM_SYNC, 3);

    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], decoded);
    EXPECT_EQ(Snapshot(g_eqUser, EQ_USER_PARA_NUM), before) << "the model is what it was before the recall";
    EXPECT_EQ(LogFrom(mark, "CMD_READ_EQUSER2"), std::vector<std::string>{});
}

// A slow device (replies 100 or 150 ms apart): the import completes with
// one request of each image and no box, the progress dialog stays up until
// both images are in, and a recall made as it closes brings its slot whole.
TEST_P(DeviceSessionTest, ImportAndRecallCompleteOnASlowDevice)
{
    for (const int gapMs : {100, 150}) {
        SCOPED_TRACE(gapMs);
        SimFaults faults;
        faults.replyGap = std::chrono::milliseconds(gapMs);
        Start(faults);
        TwoPresets(*device);
        bool bothInAtClose = false;
        dialog->modalBody = [&] {
            ASSERT_TRUE(dialog->RunUntil([] { return g_progressPermille.load() >= 1000; }, std::chrono::seconds(60)));
            bothInAtClose = dialog->messages[WM_ROUTING_IMAGE_RECEIVED] == 1;
            // A recall as the dialog closes.
            EXPECT_TRUE(dialog->sync.StartRecall(2));
        };
        ASSERT_TRUE(dialog->RunUntil([&] { return dialog->modalsClosed == 1; }, std::chrono::seconds(60)));
        EXPECT_TRUE(bothInAtClose);
        ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                     std::chrono::seconds(60)));
        EXPECT_TRUE(dialog->stringBoxes.empty());
        EXPECT_EQ(LogCount("CMD_READ_EQUSER pages=99 slot=current"), 1);
        EXPECT_EQ(LogCount("CMD_READ_EQUSER pages=99 slot=2"), 1);
        EXPECT_EQ(LogCount("CMD_READ_EQUSER2"), 2);
        dialog->RunTicks(IDT_PARAM_SYNC, 3);
        ExpectSlot2Everywhere(0);
        TearDown();
        SetUp();
    }
}

// The slowest device of the emulator's faults asked for: replies 300 ms
// apart, and a recall the same way.
TEST_P(DeviceSessionTest, ImportAndRecallCompleteOnAVerySlowDevice)
{
    SimFaults faults;
    faults.replyGap = std::chrono::milliseconds(300);
    Start(faults);
    TwoPresets(*device);
    ASSERT_TRUE(Imported(1, std::chrono::seconds(120)));
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    ASSERT_TRUE(Imported(2, std::chrono::seconds(120)));
    EXPECT_TRUE(dialog->stringBoxes.empty());
    EXPECT_EQ(LogCount("CMD_READ_EQUSER pages=99"), 2);
    EXPECT_EQ(LogCount("CMD_READ_EQUSER2"), 2);
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectSlot2Everywhere(0);
}

// A slow device loses a page of the first recall: after a second of
// silence it is asked again, and a second recall made while that resend's
// pages still come brings the second slot whole, with nothing of the first
// written into the device.
TEST_P(DeviceSessionTest, SecondRecallDuringAResendOnASlowDeviceTakesOnlyTheSecondSlot)
{
    SimFaults faults;
    faults.replyGap = std::chrono::milliseconds(20);
    faults.losePage = 60;
    faults.losePageRead = 2;  // the import is read 1
    Start(faults);
    ASSERT_TRUE(Imported(1));
    TwoPresets(*device);
    ASSERT_TRUE(dialog->sync.StartRecall(1));
    // The resend, and some of its pages.
    ASSERT_TRUE(dialog->RunUntil([&] { return LogCount("CMD_READ_EQUSER pages=99 slot=1") == 2; }));
    dialog->RunFor(std::chrono::milliseconds(400));
    const size_t mark = device->Log().Lines().size();
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                 std::chrono::seconds(30)));
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectSlot2Everywhere(mark);
    for (int ch = 0; ch < 12; ++ch) EXPECT_EQ(g_eqGain[ch][5], 200) << "CH" << ch + 1;
}

// The late device of the field: recall slot 1, recall it again as soon as
// its EqUser2 is asked for (the keep-alives of old piled up behind its
// pages and the read was asked again while its fence was up), then recall
// slot 3 and, while slot 3 still arrives, slot 2: slot 2 comes whole, and
// nothing of slot 3 is written into the device.
TEST_P(DeviceSessionTest, RecallsBackToBackOnALateDeviceBringTheLastSlotWhole)
{
    SimFaults faults;
    faults.replyGap = std::chrono::milliseconds(80);
    Start(faults);
    ASSERT_TRUE(Imported(1, std::chrono::seconds(60)));
    TwoPresets(*device, {1, 2, 3});
    ASSERT_TRUE(dialog->sync.StartRecall(1));
    ASSERT_TRUE(dialog->RunUntil([&] { return LogCount("CMD_READ_EQUSER2") == 2; }, std::chrono::seconds(60)));
    ASSERT_TRUE(dialog->sync.StartRecall(1));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                 std::chrono::seconds(90)));
    ASSERT_TRUE(dialog->sync.StartRecall(3));
    ASSERT_TRUE(dialog->RunUntil([&] { return LogCount("slot=3") == 1; }, std::chrono::seconds(30)));
    dialog->RunFor(std::chrono::seconds(3));
    const size_t mark = device->Log().Lines().size();
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                 std::chrono::seconds(90)));
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectSlot2Everywhere(mark);
    for (int ch = 0; ch < 12; ++ch) EXPECT_EQ(g_eqGain[ch][5], 200) << "CH" << ch + 1;
}

// A recall whose EqUser2 never comes whole is given up after its EqUser
// came: the window keeps every setting it had (the slot's bands were not
// taken alone), and the device is given that whole.
TEST_P(DeviceSessionTest, RecallGivenUpInItsEqUser2ReadLeavesTheWindowAsItWas)
{
    SimFaults faults;
    Start(faults);
    ASSERT_TRUE(Imported(1));
    TwoPresets(*device);
    faults.eqUser2Pages = PagesWithout(8, kLostRoutingPage);
    device->SetFaults(faults);
    const Bytes eqUserBefore = Snapshot(g_eqUser, EQ_USER_PARA_NUM);
    const Bytes eqUser2Before = Snapshot(g_eqUser2, SAVE_PARA_2_END);
    const int gainBefore = g_eqGain[3][5];
    ASSERT_TRUE(dialog->sync.StartRecall(1));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->stringBoxes.empty(); }, std::chrono::seconds(30)));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_RECALL_FAILED});
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 2) << "the slot's EqUser came";
    EXPECT_EQ(g_eqGain[3][5], gainBefore) << "and was not taken";
    ASSERT_TRUE(DeviceHoldsTheWindow(*dialog, *device));
    EXPECT_EQ(device->State().eqUser, eqUserBefore);
    EXPECT_EQ(device->State().eqUser2, eqUser2Before);
}

// A save asked for just before a recall: the slot saved holds what the
// window showed when the save was asked for, not an edit made after it nor
// the recalled slot, and the recall comes after it.
TEST_P(DeviceSessionTest, SaveThenRecallAtOnceKeepsTheSavedTuningInTheSavedSlot)
{
    Start();
    ASSERT_TRUE(Imported(1));
    TwoPresets(*device);
    // A tuning that changes most blocks of both images, as a loaded PC
    // preset file does.
    for (int ch = 0; ch < 12; ++ch)
        for (int b = 0; b < 31; ++b) g_eqGain[ch][b] = 140 + (ch + b) % 20;
    for (int ch = 0; ch < 12; ++ch) g_routingMask[ch] ^= 0x3F;
    ASSERT_TRUE(dialog->sync.RequestSavePreset(3));
    const Bytes saved = [&] {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        BuildEqUser(dialog->view.delays);
        return Bytes(g_eqUser, g_eqUser + EQ_USER_PARA_NUM);
    }();
    g_eqGain[0][0] = 10;  // after the save: not in the slot
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.Recalling() && dialog->sync.ParamSyncRunning(); },
                                 std::chrono::seconds(30)));
    const SimState s = device->State();
    EXPECT_EQ(s.presets[3].eqUser, saved);
    EXPECT_EQ(LogCount("CMD_SAVE_PRESET slot=3"), 1);
    const std::vector<std::string> order = LogFrom(0, "CMD_");
    const auto save = std::find_if(order.begin(), order.end(),
                                   [](const std::string& l) { return l.find("CMD_SAVE_PRESET") != std::string::npos; });
    const auto recall = std::find_if(order.begin(), order.end(),
                                     [](const std::string& l) { return l.find("slot=2") != std::string::npos; });
    EXPECT_LT(save - order.begin(), recall - order.begin()) << "the save goes out before the recall";
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->stringBoxes.empty(); }));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_SAVE_SUCCESS});
    dialog->stringBoxes.clear();
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectSlot2Everywhere(device->Log().Lines().size());
}

// A firmware transfer that starts while a recall is under way ends the
// recall without a word: no "Load failed!" over the transfer.
TEST_P(DeviceSessionTest, FirmwareTransferEndsARecallQuietly)
{
    SimFaults faults;
    faults.replyGap = std::chrono::milliseconds(20);
    Start(faults);
    ASSERT_TRUE(Imported(1, std::chrono::seconds(30)));
    TwoPresets(*device);
    ASSERT_TRUE(dialog->sync.StartRecall(2));
    ASSERT_TRUE(dialog->RunUntil([&] { return LogCount("slot=2") == 1; }));
    const Bytes file = ImageFile(Hid() ? 1000 : 1500);
    host->files = {Write("system_Yastu.img", file)};
    ASSERT_TRUE(upgrade->OnFirmwareUpgrade());
    EXPECT_FALSE(dialog->sync.Recalling());
    ExpectUpgraded(file, 1);
    dialog->RunFor(std::chrono::seconds(1));
    EXPECT_TRUE(dialog->stringBoxes.empty());
    EXPECT_TRUE(host->boxes.empty());
}

TEST_P(DeviceSessionTest, UpgradeWithAGoodImageThenTheDeviceComesBack)
{
    Start();
    ASSERT_TRUE(Imported(1));
    const Bytes file = ImageFile(Hid() ? 1000 : 1500);
    host->files = {Write("system_Yastu.img", file)};
    ASSERT_TRUE(upgrade->OnFirmwareUpgrade());
    EXPECT_TRUE(host->boxes.empty());
    ExpectUpgraded(file, 1);
    EXPECT_EQ(dialog->modalsOpened >= 2, true);
    // Chunks of 56 bytes over HID (18), blocks of 512 over TCP (3).
    EXPECT_EQ(LogCount(Hid() ? "hid CMD_FW_CHUNK" : "tcp CMD_FW_CHUNK"), Hid() ? 18 : 3);
    EXPECT_EQ(LogCount("CMD_FW_CHECKSUM sum="), 1);
    EXPECT_EQ(host->closes, 0);
}

TEST_P(DeviceSessionTest, WrongNameBadSumShortOrUnreadableFileSendsNothing)
{
    Start();
    ASSERT_TRUE(Imported(1));
    struct Case {
        const char* name;
        std::string file;
        Bytes bytes;
        int box;
    } cases[] = {
        // clang-format off
        {"another model's name", "system_Okrit.img", ImageFile(100), IDS_FW_BAD_FILE},
        {"the name in capitals", "SYSTEM_YASTU.IMG", ImageFile(100), IDS_FW_BAD_FILE},
        {"a bad sum", "system_Yastu.img", ImageFile(100, 1), IDS_FW_BAD_CHECKSUM},
        {"one zero byte", "system_Yastu.img", Bytes{0}, IDS_FW_BAD_FILE},
        {"cannot be read", "", {}, IDS_FW_BAD_FILE},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A good image chosen before: a refused file of the right name drops it.
        SetFirmwareImage(L"/x/system_Yastu.img", ImageFile(10));
        host->boxes.clear();
        const std::wstring path =
            c.file.empty() ? (dir / "missing" / "system_Yastu.img").wstring() : Write(c.file, c.bytes);
        host->files = {path};
        EXPECT_FALSE(upgrade->OnFirmwareUpgrade());
        EXPECT_EQ(host->boxes, std::vector<int>{c.box});
        const bool rightName = c.box != IDS_FW_BAD_FILE || c.bytes.size() < 2;
        EXPECT_EQ(HasFirmwareImage(), !rightName) << "a wrong name keeps the earlier choice";
        EXPECT_TRUE(dialog->sync.ParamSyncRunning());
        fs::remove(dir / "system_Yastu.img");
    }
    dialog->RunFor(std::chrono::milliseconds(300));
    EXPECT_EQ(LogCount("CMD_ENTER_UPGRADE"), 0);
    EXPECT_FALSE(device->InLoader());
}

TEST_P(DeviceSessionTest, LoaderAsksWithoutAnImage)
{
    Start({}, true);
    // No file given: the program closes.
    ASSERT_TRUE(dialog->RunUntil([&] { return host->closes == 1; }));
    EXPECT_EQ(host->boxes, std::vector<int>{IDS_FW_CHOOSE_FILE});
    EXPECT_EQ(LogCount("CMD_FW_START"), 0);

    // Asked again (the loader announces itself once more): any known name.
    const Bytes file = ImageFile(300);
    host->files = {Write("system_Tamek.img", file)};
    g_upgradeMode = 0;
    host->boxes.clear();
    upgrade->OnUpgradeRequest();
    EXPECT_EQ(host->boxes, std::vector<int>{IDS_FW_CHOOSE_FILE});
    ExpectUpgraded(file, 1);
    EXPECT_EQ(host->closes, 1);
    EXPECT_EQ(g_allowAnyFirmware.load(), 0);
}

// The link drops at the start, in the middle and before the last chunk and
// the checksum; the loader's return restarts the transfer with the image kept.
TEST_P(DeviceSessionTest, LinkLostDuringTheTransferThenTheUpgradeCompletes)
{
    const Bytes file = ImageFile(Hid() ? 600 : 1600);  // 11 chunks over HID, 4 blocks over TCP
    const int chunks = Hid() ? 11 : 4;
    for (int dropAfter : {0, chunks / 2, chunks - 1}) {
        SCOPED_TRACE(dropAfter);
        SimFaults faults;
        faults.removeAfterFwRequest = dropAfter;
        Start(faults);
        ASSERT_TRUE(Imported(1));
        host->files = {Write("system_Yastu.img", file)};
        ASSERT_TRUE(upgrade->OnFirmwareUpgrade());
        // The drop ends the transfer: no transfer mode left, the image kept.
        ASSERT_TRUE(dialog->RunUntil([&] { return LogCount("CMD_FW_START") >= 1 && g_upgradeMode.load() == 0; }));
        // Over TCP the loader may be back and the second transfer done (and
        // the image freed) by now; the second CMD_FW_START without a file
        // question below shows the image was kept.
        EXPECT_TRUE(HasFirmwareImage() || LogCount("CMD_FW_START") >= 2);
        if (Hid()) {
            ASSERT_TRUE(dialog->RunUntil([&] { return g_usbConnected.load() == 0; }));
            endpoint->Plug();
        }
        ExpectUpgraded(file, 1);
        EXPECT_EQ(LogCount("CMD_FW_START"), 2);
        EXPECT_EQ(host->closes, 0);
        EXPECT_TRUE(host->boxes.empty());
        TearDown();
        SetUp();
    }
}

INSTANTIATE_TEST_SUITE_P(Links, DeviceSessionTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Hid" : "Tcp"; });

}  // namespace
