#include "link/sync_timers.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <mutex>

#include "link/commands.h"
#include "link/dispatcher.h"
#include "link/firmware.h"
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
constexpr int kResendTicks[] = {10, 20, 30};

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
    if (m_link != Link::kNone) SendDeviceInfoRequest();
}

void SyncTimers::StartImport()
{
    m_nImportState = kImporting;
    StopParamSync();
    StopWatchdog();  // a recall under way ends here
    m_channelNamesRequested = false;
    RequestRead(false);
    m_host.SetTimer(IDT_IMPORT_WATCHDOG, IDT_IMPORT_WATCHDOG_MS);
    m_watchdog = true;
    m_progressOpen = true;
    m_host.RunProgressModal();
    m_progressOpen = false;
    if (m_link == Link::kNone) return;
    // Changes that came while the dialog was open are looked at now.
    if (CurrentLink() != m_link || LinkConnections() != m_connection) OnLinkChange();
}

void SyncTimers::RequestRead(bool resend)
{
    const LinkKind link = m_link == Link::kHid ? LinkKind::kHid : LinkKind::kTcp;
    if (!resend) {
        // Before the request leaves: its first page may come back at once.
        RestartImageReads();
        g_importWatchdogTicks.store(0);
    }
    m_reading = Reading::kEqUser;
    if (!m_recall) {
        m_channelNamesRequested = false;
        g_progressPermille.store(0);
    }
    // A resend asks for the same pages: once the fence is passed they all
    // count. A fence not passed after a second without a page waits for a
    // reply that was lost: what was asked before is forgotten.
    if (!resend || ImageReadsFenced()) {
        if (resend) ForgetUnansweredDeviceInfo(link);
        FenceImageReads(link, !resend);
        SendDeviceInfoRequest();
    }
    RequestEqUserOf(m_recall ? static_cast<uint8_t>(m_recallSlot) : CURRENT_SETTINGS);
}

bool SyncTimers::CanRecall() const
{
    return m_link != Link::kNone && CurrentLink() == m_link && LinkConnections() == m_connection &&
           g_deviceInfoReceived.load() == 1 && m_imagesIn && !m_progressOpen;
}

bool SyncTimers::StartRecall(int slot)
{
    if (slot < 0 || slot >= kPresetSlots || !CanRecall()) return false;
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
    RequestRead(false);
    m_host.SetTimer(IDT_IMPORT_WATCHDOG, IDT_IMPORT_WATCHDOG_MS);
    m_watchdog = true;
    return true;
}

void SyncTimers::OnImportWatchdog()
{
    if (g_deviceInfoReceived.load() != 1) return;
    // Pages of an earlier read still coming: the device is not silent.
    if (TakeFencedPagesSeen()) return;
    const int ticks = g_importWatchdogTicks.fetch_add(1) + 1;
    for (int resend : kResendTicks) {
        if (ticks == resend) {
            // The image being read is asked for again whole.
            if (m_reading == Reading::kEqUser2) RequestEqUser2();
            else RequestRead(true);
            return;
        }
    }
    if (ticks <= kWatchdogGiveUp) return;
    if (m_recall) {
        GiveUpRecall();
        return;
    }
    g_progressPermille.store(1000);
    StopWatchdog();
    g_importWatchdogTicks.store(0);
    m_reading = Reading::kNone;
    RestartImageReads();  // late pages are no progress and complete nothing
    m_host.ShowStringBox(IDS_IMPORT_FAILED);
}

void SyncTimers::GiveUpRecall()
{
    StopWatchdog();
    g_importWatchdogTicks.store(0);
    m_reading = Reading::kNone;
    RestartImageReads();  // late pages complete nothing
    {
        // The bytes the window does not write go back to what the device
        // held before; the next ticks write every block of both images.
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

void SyncTimers::OnParamImageDecoded()
{
    // The watchdog of an import goes on until EqUser2 is in as well.
    if (m_reading == Reading::kEqUser && m_watchdog) g_importWatchdogTicks.store(0);
    else StopWatchdog();
    if (m_reading == Reading::kEqUser) m_reading = Reading::kEqUser2;
    // Requests made without a link would wait for the next connection.
    if (CurrentLink() == Link::kNone) return;
    RequestEqUser2();
    if (!m_channelNamesRequested) {
        m_channelNamesRequested = true;
        RequestChannelNames();
    }
}

void SyncTimers::OnRoutingImageDecoded()
{
    if (m_reading == Reading::kEqUser) return;  // a stray image: the import goes on
    if (m_reading == Reading::kEqUser2) m_imagesIn = true;
    StopWatchdog();
    m_reading = Reading::kNone;
    if (CurrentLink() != Link::kNone) StartParamSync();
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
    RestartImageReads();
    g_deviceInfoReceived.store(0);
    g_deviceInfoExReceived.store(0);
    StopParamSync();
    StopWatchdog();
    m_reading = Reading::kNone;
    m_saveSlot = -1;
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

bool SyncTimers::RequestSavePreset(int slot)
{
    if (CurrentLink() == Link::kNone || g_deviceInfoReceived.load() != 1 || slot < 0 || slot >= 8) return false;
    m_saveSlot = slot;
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
        BuildEqUser(delays);
        BuildEqUser2(visible);
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
    if (m_saveSlot < 0) return;
    if (SendSavePreset(m_saveSlot) == SendStatus::kRingFull) return;
    m_saveSlot = -1;
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
