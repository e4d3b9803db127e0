#include "link/sync_timers.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

#include "link/commands.h"
#include "link/dispatcher.h"
#include "link/firmware.h"
#include "link/image_decode.h"
#include "link/image_lock.h"
#include "link/link_events.h"
#include "link/link_messages.h"
#include "link/tcp_link.h"
#include "model/device_state.h"
#include "model/eq_images.h"

int g_lastSaveSlot = 0;
int g_lastPresetSlot = 0;
int g_lastInputSource = kSourceHighLevel;
int g_lastUsbConnected = 0;

namespace {

constexpr int kBlockBytes = 56;
constexpr int kResendTicks = 10;  // of silence before a resend
constexpr int kResends = 3;       // per read, until a new page comes

struct ImagePlan {
    uint8_t* image;
    uint8_t* shadow;
    int blocks;
    ImageBlock (*block)(int);
    SendStatus (*send)(unsigned, unsigned);
};

// clang-format off
const ImagePlan kPlans[] = {
    {g_eqUser, g_eqUserShadow, kEqUserBlocks, EqUserBlock, SendEqUserBlock},
    {g_eqUser2, g_eqUser2Shadow, kEqUser2Blocks, EqUser2Block, SendEqUser2Block},
};
// clang-format on

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr int64_t kBlockSpacingNs = int64_t{IDT_PARAM_SYNC_MS} * 1000000;
constexpr int64_t kKeepAliveWaitNs = 1000000000;

bool BlockDiffers(const ImagePlan& plan, int i)
{
    const ImageBlock b = plan.block(i);
    return std::memcmp(plan.image + b.offset, plan.shadow + b.offset, b.length) != 0;
}

}  // namespace

ImageBlock EqUserBlock(int index)
{
    if (index <= 0) return {0, kBlockBytes - 1};
    if (index >= kEqUserBlocks - 1)
        return {kBlockBytes * (kEqUserBlocks - 1) - 1, EQ_USER_PARA_NUM - (kBlockBytes * (kEqUserBlocks - 1) - 1)};
    return {static_cast<unsigned>(kBlockBytes * index - 1), kBlockBytes};
}

ImageBlock EqUser2Block(int index)
{
    const unsigned offset = static_cast<unsigned>(kBlockBytes * index);
    return {offset, index >= kEqUser2Blocks - 1 ? SAVE_PARA_2_END - offset : kBlockBytes};
}

SyncTimers::SyncTimers(ISyncHost& host) : m_host(host) {}

void SyncTimers::Start()
{
    m_host.SetTimer(IDT_STATUS, IDT_STATUS_MS);
    OnLinkChange();
}

bool SyncTimers::OnTimer(UINT_PTR id)
{
    switch (id) {
    case IDT_POLL: OnKeepAlive(); return true;
    case IDT_IMPORT_WATCHDOG: OnImportWatchdog(); return true;
    case IDT_PARAM_SYNC: OnParamSync(); return true;
    case IDT_STATUS: OnStatus(); return true;
    default: return false;
    }
}

SyncTimers::Link SyncTimers::CurrentLink() const
{
    if (g_usbConnected.load() == 1) return Link::kHid;
    if (m_host.TcpLinkState() != TCP_LINK_CLOSED) return Link::kTcp;
    return Link::kNone;
}

bool SyncTimers::ShouldImport() const
{
    // One import per connection, and never a second progress dialog inside
    // the first: a new connection waits until the old dialog has closed.
    return m_link != Link::kNone && m_nImportState == 0 && g_deviceInfoReceived.load() == 1 && !m_progressOpen;
}

void SyncTimers::OnLinkChange()
{
    LinkChangeTaken();
    const Link link = CurrentLink();
    const uint64_t connection = LinkConnections();
    // A link that went away, gave way to the other one or was made anew
    // between two looks ends the session.
    const bool changed = link != m_link || connection != m_connection;
    if (m_link != Link::kNone && changed) LinkLost();
    m_link = link;
    m_connection = connection;
    // An import that ended (its EqUser in, given up or cut off) keeps its
    // progress dialog at its end, also against pages a parser still hands
    // over from a connection that is gone.
    if (m_progressOpen && !m_watchdog) g_progressPermille.store(1000);
    if (link == Link::kNone) {
        EndSession();
        if (m_keepAlive) m_host.KillTimer(IDT_POLL);
        m_keepAlive = false;
        return;
    }
    if (changed || !m_keepAlive) {
        // The keep-alive goes out at once on a connection, then every 300 ms.
        SendDeviceInfoRequest();
        m_lastKeepAliveNs = NowNs();
        m_host.SetTimer(IDT_POLL, IDT_POLL_MS);
        m_keepAlive = true;
    }
    while (ShouldImport()) StartImport();
}

void SyncTimers::OnKeepAlive()
{
    if (CurrentLink() != m_link || LinkConnections() != m_connection) {
        OnLinkChange();  // a change whose message is still on its way
        return;
    }
    if (m_link == Link::kNone) return;
    // While a keep-alive waits for its reply, a device that still sends is
    // busy (with a read's pages, say): another would only queue behind.
    // After a second without a frame the reply is taken as lost.
    const int64_t now = NowNs();
    if (DeviceInfoUnanswered(ReadLink()) &&
        now - std::max(LastDeviceFrameNs(ReadLink()), m_lastKeepAliveNs) < kKeepAliveWaitNs)
        return;
    SendDeviceInfoRequest();
    m_lastKeepAliveNs = now;
}

LinkKind SyncTimers::ReadLink() const { return m_link == Link::kHid ? LinkKind::kHid : LinkKind::kTcp; }

bool SyncTimers::ImportUnderWay() const
{
    return m_nImportState == kImporting && !m_imagesIn && m_watchdog && !m_recall;
}

void SyncTimers::StartImport()
{
    m_nImportState = kImporting;
    StopParamSync();
    EndRead();  // a recall under way ends here
    m_channelNamesRequested = false;
    g_progressPermille.store(0);
    AskImage(false);
    m_host.SetTimer(IDT_IMPORT_WATCHDOG, IDT_IMPORT_WATCHDOG_MS);
    m_watchdog = true;
    m_progressOpen = true;
    m_host.RunProgressModal();
    m_progressOpen = false;
    if (m_link == Link::kNone) return;
    // Changes that came while the dialog was open are looked at now.
    if (CurrentLink() != m_link || LinkConnections() != m_connection) OnLinkChange();
}

void SyncTimers::AskImage(bool routing)
{
    RestartImageReads();  // pages of an earlier read count in none
    g_importWatchdogTicks.store(0);
    TakeDeviceHeard(ReadLink());
    m_askRouting = routing;
    m_reading = Reading::kWaiting;
    if (DeviceOwesNothing(ReadLink())) OpenRead(false);
}

void SyncTimers::OpenRead(bool resend)
{
    const bool routing = resend ? m_reading == Reading::kEqUser2 : m_askRouting;
    // Before the requests leave: the first reply may come back at once.
    OpenImageRead(ReadLink(), !resend);
    if (!resend) {
        g_importWatchdogTicks.store(0);
        m_resends = 0;
    }
    m_reading = routing ? Reading::kEqUser2 : Reading::kEqUser;
    SendDeviceInfoRequest();
    if (routing) {
        RequestEqUser2();
        return;
    }
    if (!m_recall) {
        // The import asks for the channel names again with its EqUser.
        m_channelNamesRequested = false;
        if (resend) g_progressPermille.store(0);
    }
    RequestEqUserOf(m_recall ? static_cast<uint8_t>(m_recallSlot) : CURRENT_SETTINGS);
}

bool SyncTimers::StartRecall(int slot)
{
    if (slot < 0 || slot >= kPresetSlots) return false;
    if (m_link == Link::kNone || CurrentLink() != m_link || LinkConnections() != m_connection ||
        g_deviceInfoReceived.load() != 1)
        return false;
    if (!m_imagesIn && !ImportUnderWay()) return false;  // never imported, or the import failed
    // The saves asked for before go out first, and an import ends first.
    if (!m_saves.empty() || ImportUnderWay()) {
        m_queuedRecall = slot;
        return true;
    }
    m_queuedRecall = -1;
    BeginRecall(slot);
    return true;
}

void SyncTimers::BeginRecall(int slot)
{
    g_presetSlot.store(slot);
    StopParamSync();
    if (!m_recall) {
        // What the device is given back if the recall fails.
        std::lock_guard<std::mutex> lock(g_imageMutex);
        m_eqUserBefore.assign(std::begin(g_eqUser), std::end(g_eqUser));
        m_eqUser2Before.assign(std::begin(g_eqUser2), std::end(g_eqUser2));
    }
    m_recall = true;
    m_recallSlot = slot;
    m_recalledEqUser.clear();
    AskImage(false);
    m_host.SetTimer(IDT_IMPORT_WATCHDOG, IDT_IMPORT_WATCHDOG_MS);
    m_watchdog = true;
}

void SyncTimers::StartQueuedRecall()
{
    if (m_queuedRecall < 0 || !m_saves.empty() || m_reading != Reading::kNone) return;
    const int slot = m_queuedRecall;
    m_queuedRecall = -1;
    if (CurrentLink() == Link::kNone || !m_imagesIn) return;
    BeginRecall(slot);
}

void SyncTimers::OnImportWatchdog()
{
    if (g_deviceInfoReceived.load() != 1 || m_reading == Reading::kNone) return;
    // Any frame from the device: it is answering, however slowly. A new
    // page of the read lets it be asked again three more times.
    const DeviceHeard heard = TakeDeviceHeard(ReadLink());
    if (heard == DeviceHeard::kNewPage) m_resends = 0;
    int ticks = 0;
    if (heard != DeviceHeard::kNothing) g_importWatchdogTicks.store(0);
    else ticks = g_importWatchdogTicks.fetch_add(1) + 1;
    if (m_reading == Reading::kWaiting) {
        // What the device still owed is in, or is not coming.
        if (DeviceOwesNothing(ReadLink()) || ticks >= kQuietTicks) OpenRead(false);
        return;
    }
    // A second of silence asks for the image again whole, three times; the
    // give-up comes with the silence a device that never answers has at
    // tick 71 of the watchdog.
    if (ticks >= kResendTicks && m_resends < kResends) {
        ++m_resends;
        g_importWatchdogTicks.store(0);
        OpenRead(true);
        return;
    }
    if (ticks <= kWatchdogGiveUp - kResends * kResendTicks) return;
    if (m_recall) {
        GiveUpRecall();
        return;
    }
    g_progressPermille.store(1000);
    EndRead();
    m_host.ShowStringBox(IDS_IMPORT_FAILED);
    m_queuedRecall = -1;  // nothing to recall from
}

void SyncTimers::EndRead()
{
    StopWatchdog();
    g_importWatchdogTicks.store(0);
    m_reading = Reading::kNone;
    m_recalledEqUser.clear();
    RestartImageReads();  // late pages are no progress and complete nothing
}

void SyncTimers::GiveUpRecall()
{
    EndRead();
    {
        // The model was left as it was; the bytes the window does not write
        // go back to what the device held before, and the next ticks write
        // every block of both images.
        std::lock_guard<std::mutex> lock(g_imageMutex);
        if (m_eqUserBefore.size() == EQ_USER_PARA_NUM)
            std::copy(m_eqUserBefore.begin(), m_eqUserBefore.end(), g_eqUser);
        if (m_eqUser2Before.size() == SAVE_PARA_2_END)
            std::copy(m_eqUser2Before.begin(), m_eqUser2Before.end(), g_eqUser2);
    }
    m_writeAll = true;
    if (CurrentLink() != Link::kNone) StartParamSync();
    m_host.ShowStringBox(IDS_RECALL_FAILED);
}

void SyncTimers::StopWatchdog()
{
    m_recall = false;
    if (!m_watchdog) return;
    m_host.KillTimer(IDT_IMPORT_WATCHDOG);
    m_watchdog = false;
}

void SyncTimers::OnParamImageReceived(IModelView& view)
{
    // An image of a read left behind for another is not taken.
    if (m_reading != Reading::kEqUser && m_reading != Reading::kNone) return;
    if (m_recall) {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        m_recalledEqUser.assign(std::begin(g_eqUser), std::end(g_eqUser));
    } else {
        DecodeReceivedEqUser(view);
    }
    // Requests made without a link would wait for the next connection.
    if (CurrentLink() == Link::kNone) return;
    AskImage(true);
    if (!m_channelNamesRequested) {
        m_channelNamesRequested = true;
        RequestChannelNames();
    }
}

void SyncTimers::OnRoutingImageReceived(IModelView& view)
{
    if (m_reading == Reading::kEqUser || m_reading == Reading::kWaiting) return;  // the read goes on
    if (m_reading == Reading::kEqUser2) {
        if (m_recall && m_recalledEqUser.size() == EQ_USER_PARA_NUM) DecodeEqUserBytes(view, m_recalledEqUser.data());
        m_imagesIn = true;
    }
    DecodeReceivedEqUser2(view);
    EndRead();
    if (CurrentLink() == Link::kNone) return;
    StartParamSync();
    StartQueuedRecall();
}

void SyncTimers::OnLinkLost()
{
    LinkLost();
    m_link = Link::kNone;
}

void SyncTimers::LinkLost()
{
    EndSession();
    FirmwareLinkLost();
    g_progressPermille.store(1000);  // ends a progress dialog that is open
}

void SyncTimers::EndSession()
{
    m_nImportState = 0;
    g_deviceInfoReceived.store(0);
    g_deviceInfoExReceived.store(0);
    StopParamSync();
    EndRead();
    m_saves.clear();
    m_queuedRecall = -1;
    m_imagesIn = false;
    m_writeAll = false;
}

void SyncTimers::StartParamSync()
{
    m_host.SetTimer(IDT_PARAM_SYNC, IDT_PARAM_SYNC_MS);
    m_paramSync = true;
}

void SyncTimers::StopParamSync()
{
    if (!m_paramSync) return;
    m_host.KillTimer(IDT_PARAM_SYNC);
    m_paramSync = false;
}

void SyncTimers::StopForFirmware()
{
    StopParamSync();
    m_queuedRecall = -1;
    m_saves.clear();
    // A recall ends without a word; an import's progress dialog ends.
    if (m_reading != Reading::kNone && !m_recall && m_progressOpen) g_progressPermille.store(1000);
    EndRead();
}

bool SyncTimers::RequestSavePreset(int slot)
{
    if (CurrentLink() == Link::kNone || g_deviceInfoReceived.load() != 1 || slot < 0 || slot >= 8) return false;
    // The images of the window as it is now, without touching g_eqUser and
    // g_eqUser2, which may hold a read's pages.
    SaveRequest save{slot, {}, {}};
    IDelayFields& delays = m_host.DelayFields();
    const int visible = m_host.VisibleChannels();
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        const std::vector<uint8_t> eqUser(std::begin(g_eqUser), std::end(g_eqUser));
        const std::vector<uint8_t> eqUser2(std::begin(g_eqUser2), std::end(g_eqUser2));
        BuildEqUser(delays);
        BuildEqUser2(visible);
        save.eqUser.assign(std::begin(g_eqUser), std::end(g_eqUser));
        save.eqUser2.assign(std::begin(g_eqUser2), std::end(g_eqUser2));
        std::copy(eqUser.begin(), eqUser.end(), g_eqUser);
        std::copy(eqUser2.begin(), eqUser2.end(), g_eqUser2);
    }
    m_saves.push_back(std::move(save));
    return true;
}

void SyncTimers::OnModelEdited()
{
    if (!m_paramSync || NowNs() - m_lastBlockNs < kBlockSpacingNs) return;
    // The next tick comes a whole period after this one.
    m_host.SetTimer(IDT_PARAM_SYNC, IDT_PARAM_SYNC_MS);
    OnParamSync();
}

void SyncTimers::OnParamSync()
{
    IDelayFields& delays = m_host.DelayFields();
    const int visible = m_host.VisibleChannels();
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        if (!m_saves.empty()) {
            // The oldest save's images go out whole before anything later.
            std::copy(m_saves.front().eqUser.begin(), m_saves.front().eqUser.end(), g_eqUser);
            std::copy(m_saves.front().eqUser2.begin(), m_saves.front().eqUser2.end(), g_eqUser2);
        } else {
            BuildEqUser(delays);
            BuildEqUser2(visible);
        }
        if (m_writeAll) {
            // Every byte differs from its shadow: every block goes out.
            for (const ImagePlan& plan : kPlans) {
                const ImageBlock last = plan.block(plan.blocks - 1);
                for (unsigned i = 0; i < last.offset + last.length; ++i)
                    plan.shadow[i] = static_cast<uint8_t>(~plan.image[i]);
            }
            m_writeAll = false;
        }
    }
    bool sentUser = false, sentUser2 = false;
    const bool eqUserDone = SyncImage(false, sentUser);
    const bool eqUser2Done = SyncImage(true, sentUser2);
    if (sentUser || sentUser2) m_lastBlockNs = NowNs();
    if (eqUserDone && eqUser2Done) FlushSave();
}

bool SyncTimers::SyncImage(bool routing, bool& sentBlock)
{
    sentBlock = false;
    const ImagePlan& plan = kPlans[routing ? 1 : 0];
    std::array<uint8_t, kBlockBytes> before{};
    ImageBlock sent{0, 0};
    bool done = true;
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        int i = 0;
        while (i < plan.blocks && !BlockDiffers(plan, i)) ++i;
        if (i == plan.blocks) return true;
        sent = plan.block(i);
        std::memcpy(before.data(), plan.shadow + sent.offset, sent.length);
        std::memcpy(plan.shadow + sent.offset, plan.image + sent.offset, sent.length);
        for (++i; i < plan.blocks && done; ++i) done = !BlockDiffers(plan, i);
    }
    const SendStatus status = plan.send(sent.offset, sent.length);
    sentBlock = status == SendStatus::kQueued;
    if (status == SendStatus::kQueued || status == SendStatus::kGated) return done;
    // Not on its way: the block stays changed for the next tick.
    std::lock_guard<std::mutex> lock(g_imageMutex);
    std::memcpy(plan.shadow + sent.offset, before.data(), sent.length);
    return false;
}

void SyncTimers::FlushSave()
{
    if (m_saves.empty()) return;
    if (SendSavePreset(m_saves.front().slot) == SendStatus::kRingFull) return;
    m_saves.erase(m_saves.begin());
    // The next save's images, or the model's, from the next tick on.
    StartQueuedRecall();
}

void SyncTimers::OnStatus()
{
    // A change whose message was lost (or not yet handled) is taken here.
    if (CurrentLink() != m_link || LinkConnections() != m_connection || ShouldImport()) OnLinkChange();
    const int saveSlot = g_saveSlot.load();
    if (saveSlot != g_lastSaveSlot) {
        g_lastSaveSlot = saveSlot;
        m_host.UpdateSaveModeLabel();
    }
    const int presetSlot = g_presetSlot.load();
    if (presetSlot != g_lastPresetSlot) {
        g_lastPresetSlot = presetSlot;
        m_host.UpdateCurrentModeLabel();
    }
    const int source = g_inputSource.load();
    if (source != g_lastInputSource) {
        m_host.RepaintSourceLabels();
        g_lastInputSource = source;
        m_host.UpdateSourceLabel();
    }
    m_host.DrawWifiPic();
    const int usb = g_usbConnected.load();
    if (usb != g_lastUsbConnected) {
        g_lastUsbConnected = usb;
        m_host.DrawUsbPic();
        if (usb == 0) m_host.PostToSelf(WM_DEVICE_OFFLINE, 0, 0);
    }
}
