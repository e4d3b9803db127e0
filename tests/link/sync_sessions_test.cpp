// Whole sessions of the synchronisation timers against the emulated
// amplifier over loopback TCP and the in-process HID backend, run by a
// stand-in main dialog with real timers: connect, identify, import, edits
// and saves, lost links, and a device that spoils, repeats or floods frames.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <string>
#include <thread>

#include "link/hid_link.h"
#include "link/image_lock.h"
#include "link/sync_timers.h"
#include "link/tcp_link.h"
#include "model/eq_images.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/net/tcp_listener.h"
#include "platform/net/tcp_socket.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_server.h"
#include "sim/tcp_stream.h"
#include "tests/link/sync_fixture.h"

namespace {

using namespace std::chrono_literals;

Bytes Snapshot(const uint8_t* image, size_t n)
{
    std::lock_guard<std::mutex> lock(g_imageMutex);
    return Bytes(image, image + n);
}

// The emulated amplifier behind a loopback port of its own, for what the
// sim's server does not do: bytes of garbage between the device's frames,
// and hanging up on demand.
class NoisyServer {
public:
    explicit NoisyServer(SimDevice& device) : m_device(device)
    {
        EXPECT_EQ(m_listener.Listen("127.0.0.1", 0), NetStatus::kOk);
        m_thread = std::thread([this] { Serve(); });
    }
    ~NoisyServer()
    {
        m_stop = true;
        m_listener.Close();
        m_thread.join();
    }
    uint16_t Port() const { return m_listener.Port(); }
    // Ends the current connection from the device's side.
    void HangUp() { m_hangUp = true; }
    int Accepted() const { return m_accepted.load(); }

    std::atomic<bool> garbage{false};

private:
    void Serve()
    {
        while (!m_stop) {
            TcpSocket socket;
            if (m_listener.Accept(socket, 50) != NetStatus::kOk) continue;
            ++m_accepted;
            m_hangUp = false;
            Pump(socket);
            socket.Close();
        }
    }
    void Pump(TcpSocket& socket)
    {
        SimTcpStream stream(m_device);
        uint8_t buf[1024];
        while (!m_stop && !m_hangUp && !stream.Closed()) {
            NetStatus st = NetStatus::kOk;
            const int n = socket.Receive(buf, sizeof buf, 2, &st);
            SimBytes out;
            if (n > 0) out = stream.Feed(buf, static_cast<size_t>(n), SimTcpStream::Clock::now());
            else if (n < 0 && st == NetStatus::kTimeout) out = stream.Drain(SimTcpStream::Clock::now());
            else break;
            if (garbage) out = WithGarbage(out);
            if (!out.empty() && socket.Send(out.data(), out.size()) < 0) break;
        }
        socket.Shutdown();
    }
    // Random bytes before every frame: anything but the frame marker, and
    // now and then a marker with a length no frame has.
    SimBytes WithGarbage(const SimBytes& frames)
    {
        SimBytes out;
        size_t i = 0;
        while (i < frames.size()) {
            const size_t len = i + 1 < frames.size() ? frames[i + 1] + 3u : 1u;
            for (int k = static_cast<int>(m_rng() % 6); k >= 0; --k) {
                uint8_t b = static_cast<uint8_t>(m_rng());
                if (b == TCP_FRAME_FROM_DEVICE) b = 0x5A;
                out.push_back(b);
            }
            if (m_rng() % 3 == 0) {
                out.push_back(TCP_FRAME_FROM_DEVICE);
                out.push_back(m_rng() % 2 ? 0 : static_cast<uint8_t>(63 + m_rng() % 193));
            }
            const size_t end = std::min(frames.size(), i + len);
            out.insert(out.end(), frames.begin() + static_cast<std::ptrdiff_t>(i),
                       frames.begin() + static_cast<std::ptrdiff_t>(end));
            i = end;
        }
        return out;
    }

    SimDevice& m_device;
    TcpListener m_listener;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hangUp{false};
    std::atomic<int> m_accepted{0};
    std::mt19937 m_rng{7};
};

enum class Server { kSim, kNoisy };

class SessionTest : public ::testing::Test {
protected:
    void SetUp() override { StartFromDefaults(); }
    void TearDown() override
    {
        hid.reset();
        tcp.reset();
        simServer.reset();
        noisy.reset();
        dialog.reset();
        ResetGlobals();
    }

    // A device with tuned images and named channels; its dialog's timers run.
    void MakeDevice(std::string_view deviceString = kSimDefaultDeviceString, SimFaults faults = {})
    {
        device = std::make_unique<SimDevice>(deviceString);
        device->SetFaults(std::move(faults));
        device->Update([](SimState& s) {
            for (int c = 0; c < kChannels; ++c) {
                for (int b = 0; b < kBands; ++b) {
                    const unsigned at = BandGainOffset(c, b);
                    if (at + 1 >= s.eqUser.size()) continue;
                    s.eqUser[at] = 0;
                    s.eqUser[at + 1] = static_cast<uint8_t>(100 + (7 * c + b) % 100);
                }
                s.channelNames[c][0] = static_cast<uint8_t>('A' + c);
                s.eqUser2[50 + 16 * c + 2] = static_cast<uint8_t>(c * 5);  // a mixer cell per output
            }
            s.eqUser2[2] ^= 0x02;  // routing of CH1
        });
        dialog = std::make_unique<session::Dialog>();
        dialog->tcpState = [this] { return tcp ? tcp->GetState() : int{TCP_LINK_CLOSED}; };
        dialog->sync.Start();
    }
    void StartTcp(Server kind = Server::kSim)
    {
        uint16_t port = 0;
        if (kind == Server::kSim) {
            simServer = std::make_unique<SimTcpServer>(*device, 0);
            ASSERT_EQ(simServer->Start(), NetStatus::kOk);
            port = simServer->Port();
        } else {
            noisy = std::make_unique<NoisyServer>(*device);
            port = noisy->Port();
        }
        tcp = std::make_unique<CTcpLink>(TcpLinkOptions{"127.0.0.1", port, [](std::string_view) { return true; }});
        tcp->Start();
    }
    void StartHid(bool plugged = true)
    {
        endpoint = std::make_shared<SimHidEndpoint>(*device);
        if (plugged) backend.Plug(endpoint);
        HidLinkOptions options;
        options.tcpLinkUp = [this] { return tcp && tcp->IsUp(); };
        hid = std::make_unique<HidLink>(backend, options);
        hid->Start();
    }

    bool ImportsDone(int count)
    {
        return dialog->RunUntil([&] {
            return dialog->messages[WM_ROUTING_IMAGE_RECEIVED] >= count && dialog->sync.ParamSyncRunning() &&
                   dialog->messages[WM_CHANNEL_NAME_CHANGED] >= 12 * count;
        });
    }
    int LogCount(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& line : device->Log().Lines()) n += line.starts_with(prefix);
        return n;
    }
    std::vector<std::string> LogFrom(size_t mark, const std::string& needle) const
    {
        return device->Log().LinesFrom(mark, needle);
    }
    size_t LogMark() const { return device->Log().Lines().size(); }

    void ExpectImagesOfDevice(size_t eqUserSize)
    {
        const SimState s = device->State();
        ASSERT_EQ(s.eqUser.size(), eqUserSize);
        EXPECT_EQ(Snapshot(g_eqUserShadow, eqUserSize), s.eqUser);
        EXPECT_EQ(Snapshot(g_eqUser2Shadow, SAVE_PARA_2_END), s.eqUser2);
    }
    void ExpectModelOfDevice()
    {
        const SimState s = device->State();
        for (int c = 0; c < kChannels; ++c) {
            const unsigned at = BandGainOffset(c, 3);
            if (at + 1 < s.eqUser.size()) {
                EXPECT_EQ(g_eqGain[c][3], s.eqUser[at + 1]) << c;
            }
            EXPECT_EQ(g_deviceChannelNames[c].Get()[0], 'A' + c) << c;
            EXPECT_EQ(static_cast<int>(g_inputMixVolume[c][2]), s.eqUser2[50 + 16 * c + 2]) << c;
        }
    }
    // An edit of the model leaves as the right block within two
    // synchronisation ticks (the shadows take a block as it is queued) and
    // reaches the device once (link is "tcp " or "hid ").
    void ExpectEditReachesTheDevice(const std::string& link)
    {
        const size_t mark = LogMark();
        g_eqGain[0][4] = 42;    // CH1 band 5: offset 89, EqUser block 1
        g_routingMask[2] ^= 1;  // bytes 6..8, EqUser2 block 0
        const int start = dialog->ticks[IDT_PARAM_SYNC];
        ASSERT_TRUE(dialog->RunUntil([&] {
            std::lock_guard<std::mutex> lock(g_imageMutex);
            return (g_eqUserShadow[BandGainOffset(0, 4) + 1] == 42 &&
                    g_eqUser2Shadow[8] == static_cast<uint8_t>(g_routingMask[2])) ||
                   dialog->ticks[IDT_PARAM_SYNC] > start + 2;
        }));
        EXPECT_LE(dialog->ticks[IDT_PARAM_SYNC], start + 2);
        const std::string write = link + "CMD_WRITE_EQUSER offset=55 n=56";
        const std::string write2 = link + "CMD_WRITE_EQUSER2 offset=0 n=56";
        ASSERT_TRUE(dialog->RunUntil([&] { return !LogFrom(mark, write).empty() && !LogFrom(mark, write2).empty(); }));
        dialog->RunTicks(IDT_PARAM_SYNC, 2);
        // Writes past a short device's image, queued before the edit, may
        // still arrive after the mark.
        std::vector<std::string> writes = LogFrom(mark, "CMD_WRITE");
        std::erase_if(writes,
                      [](const std::string& line) { return line.find("cut to the image's") != std::string::npos; });
        EXPECT_EQ(writes, (std::vector<std::string>{write, write2}));
        const SimState s = device->State();
        EXPECT_EQ(s.eqUser[BandGainOffset(0, 4) + 1], 42);
        EXPECT_EQ(s.eqUser2[8], static_cast<uint8_t>(g_routingMask[2]));
    }

    std::unique_ptr<SimDevice> device;
    InProcessHidBackend backend;
    std::shared_ptr<SimHidEndpoint> endpoint;
    std::unique_ptr<session::Dialog> dialog;
    std::unique_ptr<SimTcpServer> simServer;
    std::unique_ptr<NoisyServer> noisy;
    std::unique_ptr<CTcpLink> tcp;
    std::unique_ptr<HidLink> hid;
};

struct SessionCase {
    const char* name;
    bool overHid;
    const char* deviceString;
    int model;
    int date;
    int eqUserSize;
};

class SessionCaseTest : public SessionTest, public ::testing::WithParamInterface<SessionCase> {};

TEST_P(SessionCaseTest, ConnectIdentifyImportThenEditsReachTheDevice)
{
    const SessionCase& c = GetParam();
    MakeDevice(c.deviceString);
    if (c.overHid) StartHid();
    else StartTcp();
    ASSERT_TRUE(ImportsDone(1));
    const std::string link = c.overHid ? "hid " : "tcp ";

    EXPECT_EQ(g_deviceModel.load(), c.model);
    EXPECT_EQ(g_firmwareDate.load(), c.date);
    EXPECT_EQ(dialog->labels, std::vector<std::string>{c.deviceString});
    EXPECT_EQ(dialog->messages[WM_DEVICE_INFO_RECEIVED], 1);
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 1);
    EXPECT_EQ(dialog->modalsOpened, 1);
    EXPECT_EQ(dialog->modalsClosed, 1);
    EXPECT_FALSE(dialog->TimerActive(IDT_IMPORT_WATCHDOG));
    EXPECT_EQ(LogCount(link + "CMD_READ_EQUSER pages=99 slot=current"), 1);
    EXPECT_EQ(LogCount(link + "CMD_READ_CHANNEL_NAMES"), 1);
    ExpectImagesOfDevice(c.eqUserSize);
    ExpectModelOfDevice();

    // The device holds what the model encodes: nothing is written, except
    // past the end of a short device's image.
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    for (const std::string& line : LogFrom(0, "CMD_WRITE"))
        EXPECT_NE(line.find("cut to the image's 1579 bytes"), std::string::npos) << line;
    if (c.eqUserSize == EQ_USER_PARA_NUM) {
        EXPECT_TRUE(LogFrom(0, "CMD_WRITE").empty());
    } else {
        dialog->RunUntil(
            [&] { return Snapshot(g_eqUser, EQ_USER_PARA_NUM) == Snapshot(g_eqUserShadow, EQ_USER_PARA_NUM); });
        dialog->RunTicks(IDT_PARAM_SYNC, 1);  // the last block is on its way
    }

    ExpectEditReachesTheDevice(link);
    // The keep-alive goes on.
    const int infos = LogCount(link + "CMD_DEVICE_INFO");
    EXPECT_TRUE(dialog->RunUntil([&] { return LogCount(link + "CMD_DEVICE_INFO") > infos; }));
    EXPECT_EQ(dialog->messages[WM_DEVICE_INFO_RECEIVED], 1);
}

INSTANTIATE_TEST_SUITE_P(Devices, SessionCaseTest,
                         ::testing::Values(SessionCase{"TcpModel4", false, "46AK10240315V1", 4, 240315, 3163},
                                           SessionCase{"TcpModel1ShortImage", false, "268K10190820V1", 1, 190820, 1579},
                                           SessionCase{"TcpModel8", false, "10CK10230101V2", 8, 230101, 3163},
                                           SessionCase{"HidModel6", true, "168K10190820V1", 6, 190820, 3163},
                                           SessionCase{"HidModel1", true, "268K10190821V1", 1, 190821, 3163}),
                         [](const ::testing::TestParamInfo<SessionCase>& info) {
                             return std::string(info.param.name);
                         });

class SaveTest : public SessionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SaveTest, SaveStoresTheWholeChangeInTheSlotAskedFor)
{
    MakeDevice();
    if (GetParam()) StartHid();
    else StartTcp();
    ASSERT_TRUE(ImportsDone(1));
    const size_t mark = LogMark();
    // A change over many blocks of both images; the device's current preset
    // (0) comes back with every keep-alive while it is sent.
    for (int c = 0; c < kChannels; ++c) g_eqGain[c][30] = 200 + c;
    for (int c = 0; c < kChannels; ++c) g_inputMixVolume[c][15] = 60;
    g_masterVolume = 12;  // byte 18: EqUser block 0
    ASSERT_TRUE(dialog->sync.RequestSavePreset(3));
    ASSERT_TRUE(dialog->RunUntil([&] { return !LogFrom(mark, "CMD_SAVE_PRESET").empty(); }));
    dialog->RunTicks(IDT_PARAM_SYNC, 2);

    const std::vector<std::string> lines = LogFrom(mark, "CMD_");
    const std::vector<std::string> saves = LogFrom(mark, "CMD_SAVE_PRESET");
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_NE(saves[0].find("slot=3"), std::string::npos);
    EXPECT_EQ(LogFrom(mark, "CMD_WRITE_EQUSER ").size(), 13u);
    EXPECT_EQ(LogFrom(mark, "CMD_WRITE_EQUSER2").size(), 4u);
    // No block after the save.
    for (auto it = std::find(lines.begin(), lines.end(), saves[0]); it != lines.end(); ++it)
        EXPECT_EQ(it->find("CMD_WRITE"), std::string::npos) << *it;
    const SimState s = device->State();
    EXPECT_EQ(s.presets[3].eqUser, Snapshot(g_eqUser, EQ_USER_PARA_NUM));
    EXPECT_EQ(s.presets[3].eqUser2, Snapshot(g_eqUser2, SAVE_PARA_2_END));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_SAVE_SUCCESS});
}

INSTANTIATE_TEST_SUITE_P(Links, SaveTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Hid" : "Tcp"; });

TEST_F(SessionTest, DeviceHangsUpMidImportAndTheLinkRecoversAndImportsAgain)
{
    SimFaults faults;
    faults.removeAfterPage = 40;
    MakeDevice(kSimDefaultDeviceString, faults);
    StartTcp();
    bool syncedWhileDown = false;
    ASSERT_TRUE(dialog->RunUntil([&] {
        syncedWhileDown |= tcp->GetState() == TCP_LINK_CLOSED && dialog->sync.ParamSyncRunning();
        return dialog->messages[WM_ROUTING_IMAGE_RECEIVED] >= 1 && dialog->sync.ParamSyncRunning();
    }));
    EXPECT_FALSE(syncedWhileDown);
    EXPECT_EQ(simServer->Accepted(), 2);
    EXPECT_EQ(dialog->messages[WM_DEVICE_INFO_RECEIVED], 2);
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 1);
    // The lost link ended the first progress dialog; none opened inside another.
    EXPECT_EQ(dialog->modalsOpened, 2);
    EXPECT_EQ(dialog->maxModalDepth, 1);
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 2);
    ASSERT_TRUE(ImportsDone(1));
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectModelOfDevice();
    dialog->RunTicks(IDT_PARAM_SYNC, 2);
    EXPECT_TRUE(LogFrom(0, "CMD_WRITE").empty());
    EXPECT_TRUE(dialog->stringBoxes.empty());
}

TEST_F(SessionTest, LostLinkStopsParamSyncAndDropsThePendingSaveUntilTheReimportEnds)
{
    MakeDevice();
    StartTcp(Server::kNoisy);
    ASSERT_TRUE(ImportsDone(1));
    // A change that needs many ticks, with a save behind it, then the link goes.
    for (int c = 0; c < kChannels; ++c)
        for (int b = 0; b < kBands; b += 3) g_eqGain[c][b] = 300 - b;
    ASSERT_TRUE(dialog->sync.RequestSavePreset(6));
    // Hang up once the first block is in: the next is still 100 ms away.
    ASSERT_TRUE(dialog->RunUntil([&] { return !LogFrom(0, "CMD_WRITE").empty(); }));
    noisy->HangUp();
    ASSERT_TRUE(
        dialog->RunUntil([&] { return tcp->GetState() == TCP_LINK_CLOSED && !dialog->sync.ParamSyncRunning(); }));
    EXPECT_FALSE(dialog->sync.SavePending());
    EXPECT_FALSE(dialog->sync.RequestSavePreset(6));
    const size_t mark = LogMark();
    // Offline: the user edits, and the device is changed by its own keys.
    g_eqGain[1][0] = 11;
    device->Update([](SimState& s) { s.eqUser[BandGainOffset(2, 0) + 1] = 77; });

    bool syncedEarly = false;
    ASSERT_TRUE(dialog->RunUntil([&] {
        syncedEarly |= dialog->sync.ParamSyncRunning() && dialog->messages[WM_ROUTING_IMAGE_RECEIVED] < 2;
        return dialog->messages[WM_ROUTING_IMAGE_RECEIVED] == 2 && dialog->sync.ParamSyncRunning();
    }));
    EXPECT_FALSE(syncedEarly);
    EXPECT_EQ(noisy->Accepted(), 2);
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    // The second connection was only read: no block, no save.
    EXPECT_TRUE(LogFrom(mark, "CMD_WRITE").empty());
    EXPECT_TRUE(LogFrom(0, "CMD_SAVE_PRESET").empty());
    EXPECT_EQ(g_eqGain[2][0], 77);
    EXPECT_EQ(device->State().eqUser[BandGainOffset(2, 0) + 1], 77);
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
}

TEST_F(SessionTest, WatchdogGivesUpOnASilentDevice)
{
    SimFaults faults;
    faults.eqUserPages = {-1};  // the device answers no page
    MakeDevice(kSimDefaultDeviceString, faults);
    StartTcp();
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->stringBoxes.empty(); }));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_IMPORT_FAILED});
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    EXPECT_FALSE(dialog->TimerActive(IDT_IMPORT_WATCHDOG));
    // The 71st tick after the device's last frame (the preset names may
    // come after the first tick).
    EXPECT_GE(dialog->ticks[IDT_IMPORT_WATCHDOG], 71);
    EXPECT_LE(dialog->ticks[IDT_IMPORT_WATCHDOG], 73);
    ASSERT_TRUE(dialog->RunUntil([&] { return dialog->modalsClosed == 1; }));
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 4);  // the request and three resends
    // No new import on the same connection, and nothing is written.
    dialog->RunTicks(IDT_POLL, 2);
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 4);
    EXPECT_EQ(dialog->modalsOpened, 1);
    EXPECT_EQ(dialog->sync.ImportState(), SyncTimers::kImporting);
    EXPECT_FALSE(dialog->sync.ParamSyncRunning());
    EXPECT_TRUE(LogFrom(0, "CMD_WRITE").empty());
}

TEST_F(SessionTest, GarbageBetweenFramesIsSkipped)
{
    MakeDevice();
    StartTcp(Server::kNoisy);
    noisy->garbage = true;
    ASSERT_TRUE(ImportsDone(1));
    EXPECT_EQ(dialog->messages[WM_DEVICE_INFO_RECEIVED], 1);
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 1);
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 1);  // no page was lost
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectModelOfDevice();
    ExpectEditReachesTheDevice("tcp ");
}

TEST_F(SessionTest, HidRemovedMidImportThenPluggedAgainImportsAgain)
{
    SimFaults faults;
    faults.removeAfterPage = 40;
    MakeDevice(kSimDefaultDeviceString, faults);
    StartHid();
    ASSERT_TRUE(dialog->RunUntil([&] { return dialog->removals == 1 && dialog->modalsClosed == 1; }));
    EXPECT_FALSE(dialog->sync.ParamSyncRunning());
    EXPECT_EQ(dialog->sync.ImportState(), 0);
    endpoint->Plug();
    ASSERT_TRUE(ImportsDone(1));
    EXPECT_EQ(dialog->messages[WM_DEVICE_INFO_RECEIVED], 2);
    EXPECT_EQ(dialog->modalsOpened, 2);
    EXPECT_EQ(dialog->maxModalDepth, 1);
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectEditReachesTheDevice("hid ");

    // Pulled after the status display saw it: one WM_DEVICE_OFFLINE.
    const int offline = dialog->posted[WM_DEVICE_OFFLINE];
    endpoint->Unplug();
    ASSERT_TRUE(dialog->RunUntil([&] { return dialog->posted[WM_DEVICE_OFFLINE] > offline; }));
    dialog->RunTicks(IDT_STATUS, 2);
    EXPECT_EQ(dialog->posted[WM_DEVICE_OFFLINE], offline + 1);
    EXPECT_EQ(dialog->removals, 2);
    EXPECT_FALSE(dialog->sync.ParamSyncRunning());
}

TEST_F(SessionTest, HidTakesOverWhenTheTcpLinkGoes)
{
    MakeDevice();
    StartTcp();
    StartHid(false);
    ASSERT_TRUE(ImportsDone(1));
    // Plugged in while TCP is up: nothing happens until TCP goes.
    backend.Plug(endpoint);
    dialog->RunFor(std::chrono::milliseconds(200));
    EXPECT_EQ(g_usbConnected.load(), 0);
    simServer->Stop();
    ASSERT_TRUE(dialog->RunUntil(
        [&] { return dialog->messages[WM_ROUTING_IMAGE_RECEIVED] == 2 && dialog->sync.ParamSyncRunning(); }));
    EXPECT_EQ(g_usbConnected.load(), 1);
    EXPECT_EQ(tcp->GetState(), TCP_LINK_CLOSED);
    EXPECT_EQ(LogCount("hid CMD_READ_EQUSER pages"), 1);
    EXPECT_EQ(dialog->messages[WM_DEVICE_INFO_RECEIVED], 2);
    EXPECT_EQ(dialog->modalsOpened, 2);
    EXPECT_EQ(dialog->maxModalDepth, 1);
    ExpectEditReachesTheDevice("hid ");
    EXPECT_EQ(tcp->Connections(), 1u);
}

// ---------------------------------------------------------------------------
// A device that loses, repeats or floods frames, or stops answering: each
// session ends with the device's images as they were, no progress dialog
// open and the dialog's loop running.

class FaultSessionTest : public SessionTest {
protected:
    void Start(const std::function<void(SimFaults&)>& edit)
    {
        SimFaults faults;
        edit(faults);
        MakeDevice(kSimDefaultDeviceString, faults);
        before = device->State();
        StartTcp();
    }
    // Nothing was written to the device, no dialog is left open and the
    // timers still tick.
    void ExpectDeviceUntouchedAndDialogFree()
    {
        const SimState now = device->State();
        EXPECT_EQ(now.eqUser, before.eqUser);
        EXPECT_EQ(now.eqUser2, before.eqUser2);
        EXPECT_TRUE(LogFrom(0, "CMD_WRITE").empty());
        EXPECT_TRUE(LogFrom(0, "CMD_FACTORY_RESET").empty());
        EXPECT_EQ(dialog->modalsOpened, dialog->modalsClosed);
        EXPECT_LE(dialog->maxModalDepth, 1);
        EXPECT_TRUE(dialog->RunTicks(IDT_STATUS, 2, std::chrono::seconds(2)));
    }
    SimState before;
};

TEST_F(FaultSessionTest, SpoiltMiddlePageIsAskedForAgainAndNothingHalfReadIsWritten)
{
    Start([](SimFaults& f) { f.frameFaults.push_back({SimFrameFaultKind::BadSum, RSP_EQUSER_PAGE, 7, 1}); });
    ASSERT_TRUE(ImportsDone(1));
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 2);  // the watchdog's resend
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 1);
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER2"), 1);
    EXPECT_TRUE(dialog->stringBoxes.empty());
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectModelOfDevice();
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectDeviceUntouchedAndDialogFree();
}

TEST_F(FaultSessionTest, SpoiltEqUser2PageIsAskedForAgainBeforeAnythingIsSynchronised)
{
    Start([](SimFaults& f) { f.frameFaults.push_back({SimFrameFaultKind::BadSum, RSP_EQUSER2_PAGE, 3, 1}); });
    bool syncedEarly = false;
    ASSERT_TRUE(dialog->RunUntil([&] {
        syncedEarly |= dialog->sync.ParamSyncRunning() && LogCount("tcp CMD_READ_EQUSER2") < 2;
        return dialog->sync.ParamSyncRunning();
    }));
    EXPECT_FALSE(syncedEarly);
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER2"), 2);  // the watchdog's resend
    EXPECT_EQ(dialog->messages[WM_ROUTING_IMAGE_RECEIVED], 1);
    EXPECT_FALSE(dialog->TimerActive(IDT_IMPORT_WATCHDOG));
    EXPECT_TRUE(dialog->stringBoxes.empty());
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectDeviceUntouchedAndDialogFree();
}

TEST_F(FaultSessionTest, PagesOutOfOrderMakeTheSameImages)
{
    Start([](SimFaults& f) {
        for (int k = 98; k >= 0; k -= 2) f.eqUserPages.push_back(k);
        for (int k = 1; k < 99; k += 2) f.eqUserPages.push_back(k);
        f.eqUser2Pages = {7, 3, 5, 1, 0, 2, 6, 4};
    });
    ASSERT_TRUE(ImportsDone(1));
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 1);
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectModelOfDevice();
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    ExpectDeviceUntouchedAndDialogFree();
}

// A missing last page, alone or with another page repeated all the while:
// repeats are no progress, so the watchdog gives up on time either way.
class MissingLastPageTest : public FaultSessionTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MissingLastPageTest, WatchdogGivesUpAndNothingIsWritten)
{
    const bool repeating = GetParam();
    Start([&](SimFaults& f) {
        for (int k = 0; k < 98; ++k) f.eqUserPages.push_back(k);
        if (repeating) {
            f.repeatPage = 50;
            f.repeatTimes = 3000;  // 3 s of repeats after every read
        }
    });
    // The progress dialog's loop, noting the watchdog's ticks whenever a new
    // page took the progress higher (a resend starts it at 0 again).
    int ticksAtLastNewPage = -1;
    dialog->modalBody = [&] {
        uint64_t highest = 0;
        const auto end = session::Dialog::Clock::now() + std::chrono::seconds(60);
        while (g_progressPermille.load() < 1000 && session::Dialog::Clock::now() < end) {
            dialog->PumpOnce();
            const uint64_t progress = g_progressPermille.load();
            if (progress <= highest || progress >= 1000) continue;
            highest = progress;
            ticksAtLastNewPage = dialog->ticks[IDT_IMPORT_WATCHDOG];
        }
    };
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->stringBoxes.empty(); }));
    EXPECT_EQ(dialog->stringBoxes, std::vector<int>{IDS_IMPORT_FAILED});
    // The give-up comes 71 ticks of silence after the last new page (one
    // either way: a tick may fall between the page and the look at it), but
    // that the answers to the three resends and the repeats hold the count:
    // the repeats for at most kHeardFramesHoldingOff frames, half a second
    // at this device's pace.
    ASSERT_GE(ticksAtLastNewPage, 0);
    EXPECT_GE(dialog->ticks[IDT_IMPORT_WATCHDOG] - ticksAtLastNewPage, 70);
    EXPECT_LE(dialog->ticks[IDT_IMPORT_WATCHDOG] - ticksAtLastNewPage, repeating ? 85 : 78);
    EXPECT_EQ(LogCount("tcp CMD_READ_EQUSER pages"), 4);
    ASSERT_TRUE(dialog->RunUntil([&] { return dialog->modalsClosed == 1; }, std::chrono::seconds(1)));
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 0);
    EXPECT_FALSE(dialog->sync.ParamSyncRunning());
    dialog->RunTicks(IDT_POLL, 2);
    EXPECT_LT(g_progressPermille.load(), 1001u);
    ExpectDeviceUntouchedAndDialogFree();
}

INSTANTIATE_TEST_SUITE_P(Repeats, MissingLastPageTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "WithARepeatedPage" : "Alone";
                         });

TEST_F(FaultSessionTest, FloodOfDuplicateLastPagesCompletesTheImageOnce)
{
    Start([](SimFaults& f) {
        f.replyGap = std::chrono::microseconds(0);
        f.repeatPage = 98;
        f.repeatTimes = 10000;
    });
    ASSERT_TRUE(ImportsDone(1));
    const int infos = LogCount("tcp CMD_DEVICE_INFO");
    // The keep-alive goes on while the flood is taken.
    EXPECT_TRUE(dialog->RunUntil([&] { return LogCount("tcp CMD_DEVICE_INFO") > infos; }));
    // Repeats complete nothing again: EqUser2 is asked for by the one
    // announcement, and again only by the watchdog while the flood holds its
    // pages back, at most once in ten of its ticks.
    EXPECT_EQ(dialog->messages[WM_PARAM_IMAGE_RECEIVED], 1);
    EXPECT_GE(LogCount("tcp CMD_READ_EQUSER2"), 1);
    EXPECT_LE(LogCount("tcp CMD_READ_EQUSER2"), 1 + dialog->ticks[IDT_IMPORT_WATCHDOG] / 10);
    EXPECT_EQ(g_progressPermille.load(), 1000u);
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectDeviceUntouchedAndDialogFree();
}

// A box is shown once at a time: repeats that arrive while it is up are
// absorbed, and a save confirmed after it was closed shows it again. Here
// the box stays up until the device's status carries the slot saved, a reply
// that comes after the whole flood, so each save shows exactly one box.
TEST_F(FaultSessionTest, FloodOfSaveDoneRepliesShowsOneBoxAtATimeAndNoneBeforeIdentification)
{
    Start([](SimFaults& f) {
        f.replyGap = std::chrono::microseconds(0);
        f.saveDoneAtConnect = 1000;
        f.saveDoneCopies = 10000;
    });
    int depth = 0, deepest = 0, savedSlot = -1;
    bool floodParsedInBox = true;
    dialog->boxBody = [&] {
        // A box is modal: the loop runs on inside it.
        ++depth;
        deepest = std::max(deepest, depth);
        floodParsedInBox &= dialog->RunUntil([&] { return g_saveSlot.load() == savedSlot; });
        --depth;
    };
    ASSERT_TRUE(ImportsDone(1));
    EXPECT_TRUE(dialog->stringBoxes.empty());  // the flood before identification showed nothing
    for (int slot : {2, 3}) {
        savedSlot = slot;
        const size_t boxes = dialog->stringBoxes.size();
        ASSERT_TRUE(dialog->sync.RequestSavePreset(slot));
        ASSERT_TRUE(dialog->RunUntil([&] { return dialog->stringBoxes.size() > boxes && depth == 0; })) << slot;
    }
    EXPECT_TRUE(floodParsedInBox);
    // The floods are over: further keep-alives bring no box.
    ASSERT_TRUE(dialog->RunTicks(IDT_POLL, 2));
    EXPECT_EQ(dialog->stringBoxes, (std::vector<int>{IDS_SAVE_SUCCESS, IDS_SAVE_SUCCESS}));
    EXPECT_EQ(deepest, 1);
    EXPECT_EQ(LogCount("tcp CMD_SAVE_PRESET"), 2);
    EXPECT_EQ(dialog->modalsOpened, dialog->modalsClosed);
}

TEST_F(FaultSessionTest, SilentPeerAfterImportIsTakenAsLostAndReconnected)
{
    Start([](SimFaults& f) { f.silentAfterImport = true; });
    ASSERT_TRUE(dialog->RunUntil([&] { return dialog->sync.ParamSyncRunning(); }));
    ASSERT_TRUE(dialog->RunUntil([&] { return tcp->GetState() == TCP_LINK_CLOSED; }, std::chrono::seconds(5)));
    // Down after the first unanswered keep-alive (sent during the EqUser2
    // read, or after it): no other is piled on it.
    const size_t missed = LogFrom(0, "CMD_DEVICE_INFO tag=19 ignored").size() + LogFrom(0, "code 0x01").size();
    EXPECT_GE(missed, 1u);
    EXPECT_LE(missed, 2u);
    ASSERT_TRUE(dialog->RunUntil([&] { return !dialog->sync.ParamSyncRunning() && g_deviceInfoReceived.load() == 0; },
                                 std::chrono::seconds(1)));
    // The keeper tries again a second later: the new session imports again.
    ASSERT_TRUE(dialog->RunUntil([&] { return tcp->Connections() == 2 && dialog->sync.ParamSyncRunning(); }));
    EXPECT_EQ(simServer->Accepted(), 2);
    ExpectDeviceUntouchedAndDialogFree();
}

TEST_F(FaultSessionTest, CommandsQueuedDuringAnOutageDoNotReachTheNextConnection)
{
    Start([](SimFaults&) {});
    ASSERT_TRUE(ImportsDone(1));
    const uint16_t port = simServer->Port();
    simServer->Stop();
    ASSERT_TRUE(
        dialog->RunUntil([&] { return tcp->GetState() == TCP_LINK_CLOSED && !dialog->sync.ParamSyncRunning(); }));
    const size_t mark = LogMark();
    // What handlers send at once, queued while no link is up.
    EXPECT_EQ(SendShortCommand(CMD_FACTORY_RESET), SendStatus::kQueued);
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        g_eqUser[100] ^= 0xFF;
    }
    EXPECT_EQ(SendEqUserBlock(100, 1), SendStatus::kQueued);
    g_inputSource = 3;
    EXPECT_EQ(SendInputSource(), SendStatus::kQueued);
    simServer = std::make_unique<SimTcpServer>(*device, port);
    ASSERT_EQ(simServer->Start(), NetStatus::kOk);
    ASSERT_TRUE(dialog->RunUntil(
        [&] { return dialog->messages[WM_ROUTING_IMAGE_RECEIVED] >= 2 && dialog->sync.ParamSyncRunning(); }));
    dialog->RunTicks(IDT_PARAM_SYNC, 3);
    EXPECT_TRUE(LogFrom(mark, "CMD_SET_SOURCE").empty());
    EXPECT_EQ(device->State().inputSource, before.inputSource);
    ExpectImagesOfDevice(EQ_USER_PARA_NUM);
    ExpectDeviceUntouchedAndDialogFree();
}

}  // namespace
