#include "link/hid_link.h"

#include "link/pause.h"

#include <algorithm>

#include "link/commands.h"
#include "link/dialog_port.h"
#include "link/dispatcher.h"
#include "link/link_events.h"
#include "link/link_messages.h"
#include "link/thread_name.h"
#include "model/device_state.h"

namespace {

std::wstring Widen(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring PermissionMessage(const std::string& path)
{
    return L"The amplifier is connected over USB, but this user may not open it (" + Widen(path) +
           L").\n\nInstall the udev rule 70-tarvel.rules (cmake --install puts it in place; or copy it from\n"
           L"the udev folder of the build: sudo cp 70-tarvel.rules /etc/udev/rules.d/), then:\n"
           L"    sudo udevadm control --reload-rules && sudo udevadm trigger\n"
           L"and unplug the amplifier and plug it in again.";
}

}  // namespace

HidLink::HidLink(IHidBackend& backend, HidLinkOptions options) : m_backend(backend), m_options(std::move(options)) {}

HidLink::~HidLink() { Stop(); }

void HidLink::Start()
{
    if (m_discovery.joinable()) return;
    m_reader = StartNamedThread("hid-reader", [this](std::stop_token stop) { ReaderLoop(stop); });
    m_parser = StartNamedThread("hid-parser", [this](std::stop_token stop) { ParserLoop(stop); });
    m_discovery = StartNamedThread("hid-discovery", [this](std::stop_token stop) { DiscoveryLoop(stop); });
}

void HidLink::Stop()
{
    if (!m_discovery.joinable() && !m_reader.joinable() && !m_parser.joinable()) return;
    DialogPort().ReleaseSenders();
    m_discovery.request_stop();
    m_reader.request_stop();
    m_parser.request_stop();
    m_parser.join();
    m_reader.join();
    m_discovery.join();  // closes the device on its way out
}

std::string HidLink::DevicePath() const
{
    std::lock_guard<std::mutex> lock(m_pathMutex);
    return m_path;
}

bool HidLink::Pause(const std::stop_token& stop, std::chrono::milliseconds period)
{
    return PauseUnlessStopped(stop, period);
}

void HidLink::DiscoveryLoop(std::stop_token stop)
{
    // One write per period: the next waits until a period after the last.
    auto nextWrite = std::chrono::steady_clock::time_point::min();
    while (!stop.stop_requested()) {
        if (!m_open) {
            // While the TCP link is up: asleep until a link changes.
            const uint64_t changes = LinkChanges();
            if (m_options.tcpLinkUp && m_options.tcpLinkUp()) WaitForLinkChange(stop, changes, kIdleWait);
            else if (!RunDiscoveryPass(stop)) WaitForLinkChange(stop, changes, kSearchPause);
            continue;
        }
        const uint64_t wakes = g_hidTxRing.Wakes();
        if (m_readGone.load()) {
            CloseDevice(stop, true);
            continue;
        }
        // Sleeps while nothing is to be sent; the reader wakes it on removal.
        if (!g_hidTxRing.WaitForFrame(stop, kIdleWait, wakes)) continue;
        const auto now = std::chrono::steady_clock::now();
        if (now < nextWrite) {
            Pause(stop, std::chrono::ceil<std::chrono::milliseconds>(nextWrite - now));
            continue;
        }
        WriteOne();
        nextWrite = std::chrono::steady_clock::now() + kWriterPeriod;
    }
    if (m_open) CloseDevice(stop, false);
}

bool HidLink::RunDiscoveryPass(const std::stop_token& stop)
{
    g_usbConnected.store(0);
    const std::vector<HidDeviceInfo> devices = m_backend.Enumerate(m_options.vendorId);
    std::erase_if(m_refused, [&](const std::string& path) {
        return std::none_of(devices.begin(), devices.end(), [&](const HidDeviceInfo& d) { return d.path == path; });
    });
    for (size_t i = 0; i < devices.size(); ++i) {
        if (!Pause(stop, kEnumerationStep)) return false;
        const HidDeviceInfo& info = devices[i];
        if (info.vendorId != m_options.vendorId) continue;
        if (info.productId == m_options.productIdApp || info.productId == m_options.productIdLoader) {
            if (OpenDevice(info)) return true;
            continue;
        }
        RefuseOnce(info.path);
    }
    return false;
}

void HidLink::RefuseOnce(const std::string& path)
{
    // The box closes the program once the user has read it; a device that
    // stays plugged in is not refused again meanwhile.
    if (m_refused.insert(path).second) DialogPort().ShowMessageOnUi(L"USBD_PID_FS", WM_CLOSE);
}

bool HidLink::OpenDevice(const HidDeviceInfo& info)
{
    HidOpenStatus status = HidOpenStatus::kOk;
    std::unique_ptr<IHidDevice> reader = m_backend.Open(info.path, status);
    std::unique_ptr<IHidDevice> writer = reader ? m_backend.Open(info.path, status) : nullptr;
    if (!reader || !writer) {
        if (status == HidOpenStatus::kPermissionDenied && !m_permissionWarned) {
            m_permissionWarned = true;
            DialogPort().ShowMessageOnUi(PermissionMessage(info.path), 0);
        }
        return false;
    }

    const bool loader = info.productId == m_options.productIdLoader && info.productId != m_options.productIdApp;
    if (!loader) {
        g_hidTxRing.Reset();
        g_hidRxRing.Reset();
        ResetDeviceLedger(LinkKind::kHid);
    }
    m_writeDev = std::move(writer);
    {
        std::lock_guard<std::mutex> lock(m_readMutex);
        m_readDev = std::move(reader);
        m_readGone.store(false);
    }
    {
        std::lock_guard<std::mutex> lock(m_pathMutex);
        m_path = info.path;
    }
    m_open = true;
    CountLinkConnection();
    g_usbConnected.store(1);
    NotifyLinkChange();
    if (loader) DialogPort().Post(WM_UPGRADE_REQUEST, 0, 0);
    m_readCv.notify_all();
    return true;
}

void HidLink::CloseDevice(const std::stop_token& stop, bool removed)
{
    g_usbConnected.store(0);
    NotifyLinkChange();
    {
        // Waits for the reader to come out of its read.
        std::lock_guard<std::mutex> lock(m_readMutex);
        m_readDev.reset();
    }
    m_writeDev.reset();
    m_open = false;
    {
        std::lock_guard<std::mutex> lock(m_pathMutex);
        m_path.clear();
    }
    if (!removed) return;
    // Replies of the gone device may still wait in the ring: the parser
    // takes them first, so that none of them undoes the removal.
    std::unique_lock<std::mutex> lock(m_removalMutex);
    m_removalPending = true;
    g_hidRxRing.Wake();
    m_removalCv.wait(lock, stop, [&] { return !m_removalPending; });
}

void HidLink::FinishRemoval()
{
    g_progressPermille.store(1000);  // closes a progress dialog that is open
    g_deviceInfoReceived.store(0);
    g_deviceInfoExReceived.store(0);
    DialogPort().HidDeviceRemoved();
    {
        std::lock_guard<std::mutex> lock(m_removalMutex);
        m_removalPending = false;
    }
    m_removalCv.notify_all();
}

void HidLink::WriteOne()
{
    HidRing::Slot slot;
    HidRing::Ticket ticket;
    if (!g_hidTxRing.Peek(slot, ticket)) return;
    // A failed write keeps the report for the next cycle.
    if (m_writeDev->Write(slot.bytes.data()) > 0) g_hidTxRing.Pop(ticket);
}

void HidLink::ReaderLoop(std::stop_token stop)
{
    HidRing::Slot slot;
    while (!stop.stop_requested()) {
        std::unique_lock<std::mutex> lock(m_readMutex);
        if (!m_readCv.wait(lock, stop, [&] { return m_readDev != nullptr && !m_readGone.load(); })) return;
        const int n = m_readDev->Read(slot.bytes.data(), kReadTimeoutMs);
        if (n < 0) {
            m_readGone.store(true);  // the discovery thread closes the handles
            g_hidTxRing.Wake();
            continue;
        }
        lock.unlock();
        if (n == 0) continue;
        // A full ring holds the reader back rather than losing the report.
        while (!g_hidRxRing.Push([&](uint8_t* dst) {
            std::copy(slot.bytes.begin(), slot.bytes.end(), dst);
            return static_cast<int>(HID_REPORT_LEN);
        }))
            if (!Pause(stop, std::chrono::milliseconds(1))) return;
    }
}

void HidLink::ParserLoop(std::stop_token stop)
{
    HidRing::Slot slot;
    while (!stop.stop_requested()) {
        const uint64_t wakes = g_hidRxRing.Wakes();
        bool removal = false;
        {
            std::lock_guard<std::mutex> lock(m_removalMutex);
            removal = m_removalPending;
        }
        // With a removal pending the reader is closed: this drains the last.
        while (!stop.stop_requested() && g_hidRxRing.Pop(slot)) ParseHidReport(slot.bytes.data());
        if (removal && !stop.stop_requested()) FinishRemoval();
        g_hidRxRing.WaitForFrame(stop, kIdleWait, wakes);
    }
}
