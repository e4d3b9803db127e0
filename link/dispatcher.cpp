#include "link/dispatcher.h"

#include <algorithm>
#include <bitset>
#include <chrono>
#include <cstring>
#include <string>

#include "link/commands.h"
#include "link/dialog_port.h"
#include "link/firmware.h"
#include "link/image_lock.h"
#include "link/link_events.h"
#include "link/link_messages.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "res/resource.h"

namespace {

constexpr int kDeviceStringBytes = 14;
constexpr int kDeviceInfoExBytes = 11;
constexpr int kEqUserPageBytes = 32;
constexpr int kEqUser2PageBytes = 56;
constexpr int kStringSaveDone = IDS_SAVE_SUCCESS;

// Replies' operand lengths (payload bytes including the code).
constexpr size_t kDeviceInfoLen = 19;  // options at [19] when L >= 20
constexpr size_t kDeviceInfoExLen = 3 + kDeviceInfoExBytes;
constexpr size_t kNameReplyLen = 2 + kNameRecordBytes;
constexpr size_t kFwRequestLen = 3;

int64_t SteadyNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

uint8_t SlotOrZero(uint8_t slot) { return slot >= kPresetSlots ? 0 : slot; }

// atoi over a fixed field: blanks, a sign, then digits up to the first non-digit.
int ReadDecimal(const char* text, size_t n)
{
    size_t i = 0;
    while (i < n && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int value = 0;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i) value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

// What the device owes per link, and the fence of the read under way.
class DeviceLedger {
public:
    void Asked(LinkKind link, int n)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        PerLink& l = m_links[Index(link)];
        l.asked = n >= 0 ? l.asked + static_cast<uint64_t>(n) : l.asked - std::min<uint64_t>(l.asked, -n);
        l.answered = std::min(l.answered, l.asked);
    }
    void PagesAsked(LinkKind link, bool routing, int pages)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        int& owed = m_links[Index(link)].pagesOwed[routing ? 1 : 0];
        owed = std::max(owed + pages, 0);
    }
    // A reply beyond what was asked (a doubled or unasked one) is no answer.
    void Answered(LinkKind link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        PerLink& l = m_links[Index(link)];
        l.answered = std::min(l.answered + 1, l.asked);
    }
    void Reset(LinkKind link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_links[Index(link)] = PerLink{};
    }
    bool OwesNothing(LinkKind link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const PerLink& l = m_links[Index(link)];
        return !l.uncertain && l.answered == l.asked && l.pagesOwed[0] == 0 && l.pagesOwed[1] == 0;
    }
    bool InfoUnanswered(LinkKind link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const PerLink& l = m_links[Index(link)];
        return l.answered < l.asked;
    }
    void Open(LinkKind link, bool newRead)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        PerLink& l = m_links[Index(link)];
        PerLink fresh;
        fresh.heard = l.heard;
        fresh.lastFrameNs = l.lastFrameNs;
        l = fresh;
        m_raised = true;
        m_link = link;
        if (newRead) m_held = 0;
    }
    bool Raised()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_raised;
    }
    void Lift()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = false;
    }
    // A page of an image came from link: the ledger takes it; true when the
    // fence lets it through.
    bool Page(LinkKind link, bool routing, int page)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        PerLink& l = m_links[Index(link)];
        int& owed = l.pagesOwed[routing ? 1 : 0];
        std::bitset<256>& seen = l.seen[routing ? 1 : 0];
        if (owed > 0) --owed;
        else l.uncertain = true;
        if (page >= 0 && page < 256) {
            if (seen[page]) l.uncertain = true;
            seen.set(page);
        }
        if (!m_raised) return true;
        if (link == m_link && l.answered >= 1) {
            m_raised = false;  // the fence's request, the first asked since the read opened
            return true;
        }
        return false;
    }
    // A frame from link; progress: it brought a page new to the read;
    // counts: it tells that the device is busy with a read.
    void Heard(LinkKind link, bool progress, bool counts)
    {
        const int64_t now = SteadyNs();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_links[Index(link)].lastFrameNs = now;
        PerLink& l = m_links[Index(link)];
        if (progress) l.heard = DeviceHeard::kNewPage;
        if (!counts || (!progress && ++m_held > kHeardFramesHoldingOff)) return;
        if (l.heard == DeviceHeard::kNothing) l.heard = DeviceHeard::kFrame;
    }
    int64_t LastFrameNs(LinkKind link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_links[Index(link)].lastFrameNs;
    }
    DeviceHeard TakeHeard(LinkKind link)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const DeviceHeard heard = m_links[Index(link)].heard;
        m_links[Index(link)].heard = DeviceHeard::kNothing;
        return heard;
    }

private:
    struct PerLink {
        uint64_t asked = 0;
        uint64_t answered = 0;
        int pagesOwed[2] = {};
        std::bitset<256> seen[2];
        bool uncertain = false;
        DeviceHeard heard = DeviceHeard::kNothing;
        int64_t lastFrameNs = 0;  // steady clock
    };
    static int Index(LinkKind link) { return link == LinkKind::kHid ? 0 : 1; }
    std::mutex m_mutex;
    PerLink m_links[2];
    bool m_raised = false;
    LinkKind m_link = LinkKind::kHid;
    int m_held = 0;  // frames without progress in this read
};

DeviceLedger g_ledger;

void OnDeviceInfo(LinkKind link, const uint8_t* p, size_t len)
{
    g_ledger.Answered(link);
    if (len < kDeviceInfoLen || p[1] != DEVICE_INFO_TAG) return;
    const bool hasOptions = len >= kDeviceInfoLen + 1;
    g_saveSlot.store(SlotOrZero(p[2]));
    g_deviceString.Set(reinterpret_cast<const char*>(p + 3), kDeviceStringBytes);
    g_inputSource.store(p[17]);
    g_presetSlot.store(SlotOrZero(p[18]));
    g_deviceOptions.store(hasOptions ? p[19] : 0);

    if (link == LinkKind::kHid) {
        const bool on = hasOptions && (p[19] & 1) != 0;
        const uint8_t wanted = on ? 1 : 0;
        if (g_noSignalMute.load() != wanted) {
            g_noSignalMute.store(wanted);
            DialogPort().Post(WM_DEVICE_OPTION_CHANGED, 0, 0);
        }
    }

    if (g_deviceInfoReceived.load() == 0) {
        const auto text = g_deviceString.Get();
        size_t n = 0;
        while (n < text.size() && text[n] != 0) ++n;
        DialogPort().SetDeviceStringLabel(std::string(text.data(), n));
        DecodeDeviceModel();
        DialogPort().Send(WM_DEVICE_INFO_RECEIVED, 0, 0);
        g_deviceInfoReceived.store(1);
        NotifyLinkChange();  // the import can start
        return;
    }
    g_deviceInfoReceived.store(1);
}

void OnDeviceInfoEx(const uint8_t* p, size_t len)
{
    if (len < kDeviceInfoExLen || p[1] != DEVICE_INFO_TAG || g_deviceInfoExReceived.load() != 0) return;
    g_deviceInfoEx.Set(reinterpret_cast<const char*>(p + 3), kDeviceInfoExBytes);
    g_deviceInfoExReceived.store(1);
}

// The pages of one image read so far. The image is announced once every
// page has arrived; after that the read is done and further pages (repeats,
// the rest of a resend) are neither progress nor announced, until the next
// request begins a read. Pages while no read is under way count for nothing.
class PageSet {
public:
    struct Taken {
        bool fresh = false;     // not seen before in this read
        bool complete = false;  // it was the last one missing
        int count = 0;          // pages in, this one included
    };
    Taken Take(int page, int pages)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Taken t;
        if (m_done) return t;
        if (pages != m_pages) Forget(pages);  // another image size: start over
        if (m_got[page]) return t;
        m_got.set(page);
        t.fresh = true;
        t.count = ++m_count;
        t.complete = m_done = m_count == pages;
        return t;
    }
    // A request for the image: a read that is done (or none) starts anew;
    // one under way keeps what it has (a resend fills its gaps).
    void Begin()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_done) return;
        Forget(0);
        m_done = false;
    }
    void End()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Forget(0);
        m_done = true;
    }

private:
    void Forget(int pages)
    {
        m_got.reset();
        m_count = 0;
        m_pages = pages;
    }
    std::mutex m_mutex;
    std::bitset<256> m_got;
    int m_count = 0;
    int m_pages = 0;
    bool m_done = true;  // no read under way
};

PageSet g_eqUserPages;
PageSet g_eqUser2Pages;

// Stores page k of an image into the image and its shadow. False when the
// reply is too short for the page or the page lies past the image.
bool StorePage(uint8_t* image, uint8_t* shadow, int size, int pageBytes, const uint8_t* p, size_t len, int& page,
               int& pages)
{
    if (len < 2) return false;
    pages = (size + pageBytes - 1) / pageBytes;
    page = p[1];
    if (page >= pages) return false;
    const int offset = page * pageBytes;
    const int n = page + 1 == pages ? size - offset : pageBytes;
    if (len < static_cast<size_t>(2 + n)) return false;
    std::lock_guard<std::mutex> lock(g_imageMutex);
    std::memcpy(image + offset, p + 2, n);
    std::memcpy(shadow + offset, p + 2, n);
    return true;
}

// A page of EqUser; true when it was new to the read under way.
bool OnEqUserPage(LinkKind link, const uint8_t* p, size_t len)
{
    if (len < 2 || !g_ledger.Page(link, false, p[1])) return false;
    int page = 0, pages = 0;
    if (!StorePage(g_eqUser, g_eqUserShadow, GetEqUserSize(), kEqUserPageBytes, p, len, page, pages)) return false;
    const PageSet::Taken t = g_eqUserPages.Take(page, pages);
    // Only a page not seen before is progress; repeats neither move the
    // progress nor hold the watchdog off.
    if (!t.fresh) return false;
    if (t.complete) DialogPort().Send(WM_PARAM_IMAGE_RECEIVED, 0, 0);
    g_progressPermille.store(static_cast<uint64_t>(t.count) * 1000 / (pages + EqUser2ReadPages()));
    g_importWatchdogTicks.store(0);
    return true;
}

bool OnEqUser2Page(LinkKind link, const uint8_t* p, size_t len)
{
    if (len < 2 || !g_ledger.Page(link, true, p[1])) return false;
    int page = 0, pages = 0;
    if (!StorePage(g_eqUser2, g_eqUser2Shadow, SAVE_PARA_2_END, kEqUser2PageBytes, p, len, page, pages)) return false;
    const PageSet::Taken t = g_eqUser2Pages.Take(page, pages);
    if (!t.fresh) return false;
    g_importWatchdogTicks.store(0);
    const int before = EqUserReadPages();
    // The last page completes the progress once the image is decoded.
    if (t.complete) DialogPort().Send(WM_ROUTING_IMAGE_RECEIVED, 0, 0);
    g_progressPermille.store(static_cast<uint64_t>(before + t.count) * 1000 / (before + pages));
    return true;
}

void OnPresetName(const uint8_t* p, size_t len)
{
    if (len < kNameReplyLen || p[1] >= kPresetSlots) return;
    g_presetNames[p[1]].Set(reinterpret_cast<const char*>(p + 2), kNameRecordBytes);
}

void OnChannelName(const uint8_t* p, size_t len)
{
    if (len < kNameReplyLen || p[1] >= 12) return;
    g_deviceChannelNames[p[1]].Set(reinterpret_cast<const char*>(p + 2), kNameRecordBytes);
    DialogPort().Post(WM_CHANNEL_NAME_CHANGED, p[1], p[1]);
}

// The loader announced itself: the main window starts the transfer, the
// same way over both links, so that it never starts without an image.
void OnFwRestart(LinkKind link)
{
    if (link == LinkKind::kTcp) g_tcpFwBlock.Clear();
    DialogPort().Post(WM_UPGRADE_REQUEST, 0, 0);
}

void OnFwRequest(LinkKind link, const uint8_t* p, size_t len)
{
    if (len < kFwRequestLen) return;
    if (g_fwLastChunkSent.load() == 1) {
        g_fwLastChunkSent.store(0);
        SendFirmwareChecksum();
    } else if (p[1] == 0xFF && p[2] == 0xFF) {
        SendShortCommand(CMD_FW_DONE);
        g_upgradeMode.store(0);
        g_progressPermille.store(1000);
        ClearFirmwareImage();
        if (link == LinkKind::kTcp) g_tcpFwBlock.Clear();
    } else if (link == LinkKind::kHid) {
        SendFirmwareChunk(p[1], p[2]);
    } else {
        QueueTcpFirmwareBlock(p[1], p[2]);
    }
}

}  // namespace

int EqUserReadPages() { return (GetEqUserSize() + kEqUserPageBytes - 1) / kEqUserPageBytes; }
int EqUser2ReadPages() { return (SAVE_PARA_2_END + kEqUser2PageBytes - 1) / kEqUser2PageBytes; }
void BeginEqUserRead() { g_eqUserPages.Begin(); }
void BeginEqUser2Read() { g_eqUser2Pages.Begin(); }

void RestartImageReads()
{
    g_ledger.Lift();
    g_eqUserPages.End();
    g_eqUser2Pages.End();
}

void CountDeviceInfoAsked(LinkKind link, int n) { g_ledger.Asked(link, n); }
void CountPagesAsked(LinkKind link, bool routing, int pages) { g_ledger.PagesAsked(link, routing, pages); }
void ResetDeviceLedger(LinkKind link) { g_ledger.Reset(link); }
bool DeviceOwesNothing(LinkKind link) { return g_ledger.OwesNothing(link); }
bool DeviceInfoUnanswered(LinkKind link) { return g_ledger.InfoUnanswered(link); }
void OpenImageRead(LinkKind link, bool newRead) { g_ledger.Open(link, newRead); }
bool ImageReadsFenced() { return g_ledger.Raised(); }
DeviceHeard TakeDeviceHeard(LinkKind link) { return g_ledger.TakeHeard(link); }
int64_t LastDeviceFrameNs(LinkKind link) { return g_ledger.LastFrameNs(link); }

void DecodeDeviceModel()
{
    const auto s = g_deviceString.Get();
    const char c0 = s[0], c1 = s[1], c2 = s[2];
    int model = g_deviceModel.load();
    switch (c2) {
    case 'A': model = c1 == '6' ? 4 : c1 == '2' ? 7 : 3; break;
    case '8':
        if (c1 == '4') model = 5;
        else if (c1 == '6') model = c0 == '1' ? 6 : 1;
        else model = 6;
        break;
    case 'C':
        if (c1 == '0') model = 8;
        else if (c1 == '8') model = 2;
        break;
    default: model = 2; break;
    }
    g_deviceModel.store(model);
    g_firmwareDate.store(ReadDecimal(s.data() + 6, 6));
}

void DispatchReply(LinkKind link, const uint8_t* payload, size_t len)
{
    if (len == 0) return;
    bool progress = false;
    switch (payload[0]) {
    case RSP_DEVICE_INFO: OnDeviceInfo(link, payload, len); break;
    case RSP_DEVICE_INFO_EX: OnDeviceInfoEx(payload, len); break;
    case RSP_EQUSER_PAGE: progress = OnEqUserPage(link, payload, len); break;
    case RSP_SAVE_DONE:
        // Only a device that identified itself can have been asked to save.
        if (g_deviceInfoReceived.load() == 1) DialogPort().ShowStringOnUi(kStringSaveDone);
        break;
    case RSP_PRESET_NAME: OnPresetName(payload, len); break;
    case RSP_EQUSER2_PAGE: progress = OnEqUser2Page(link, payload, len); break;
    case RSP_CHANNEL_NAME: OnChannelName(payload, len); break;
    case RSP_FW_RESTART: OnFwRestart(link); break;
    case RSP_FW_REQUEST: OnFwRequest(link, payload, len); break;
    default: break;
    }
    // A CMD_DEVICE_INFO reply is no sign of a read: the fence's own comes
    // whether the device sends pages or not.
    g_ledger.Heard(link, progress, payload[0] != RSP_DEVICE_INFO);
}

void ParseHidReport(const uint8_t* report)
{
    Payload payload;
    if (ReadHidReport(report, payload)) DispatchReply(LinkKind::kHid, payload.data, payload.len);
}

void ParseTcpSlot(const uint8_t* slot)
{
    const size_t len = slot[0];
    if (len == 0 || len > TCP_RX_MAX_PAYLOAD) return;
    DispatchReply(LinkKind::kTcp, slot + 1, len);
}
