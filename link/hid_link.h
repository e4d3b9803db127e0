// The USB HID link: finds the amplifier by vendor id and its two product
// ids, moves 65-byte reports between the device and the HID rings, and
// parses the replies. Three threads:
//   HidDiscoveryThread  while no device is open (and the TCP link is down):
//                       discovery passes, 10 ms per enumeration step and
//                       250 ms after a pass that found nothing; while
//                       the TCP link is up: asleep until a link changes; while
//                       one is open: the writer (at most one report per 5 ms,
//                       asleep while the send ring is empty)
//                       and, when the reader reports the device gone, the
//                       removal. It alone opens, writes and closes handles.
//   HidReaderThread     reads input reports into g_hidRxRing.
//   HidParserThread     wakes when reports arrive and parses all that wait. After a
//                       removal it parses what the device sent before it
//                       went, then ends the import (progress 1000), clears
//                       the identification flags and tells the main dialog;
//                       discovery resumes once it has.
// g_usbConnected turns 1 only after both handles opened (and, in normal
// mode, the rings were emptied) and 0 before they are closed.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/hid/hid_backend.h"
#include "platform/hid/hid_ids.h"

struct HidLinkOptions {
    uint16_t vendorId = HID_VENDOR_ID;
    uint16_t productIdApp = HID_PRODUCT_ID_APP;
    uint16_t productIdLoader = HID_PRODUCT_ID_LOADER;
    // Discovery pauses while this returns true (the TCP link is up).
    std::function<bool()> tcpLinkUp;
};

class HidLink {
public:
    explicit HidLink(IHidBackend& backend, HidLinkOptions options = {});
    ~HidLink();
    HidLink(const HidLink&) = delete;
    HidLink& operator=(const HidLink&) = delete;

    void Start();
    // Releases a parser waiting in a Send (DialogPort().ReleaseSenders()),
    // stops and joins the threads and closes the device. The main dialog's
    // OnClose calls it; the destructor does too.
    void Stop();

    // Path of the open device, empty when none is open.
    std::string DevicePath() const;

    static constexpr std::chrono::milliseconds kWriterPeriod{5};
    // The longest sleep of a thread that waits for a report or a link
    // change; each of those wakes it at once.
    static constexpr std::chrono::milliseconds kIdleWait{10000};
    static constexpr std::chrono::milliseconds kEnumerationStep{10};
    // Between passes that found nothing: the system's list is not read more
    // often (a link change ends the pause).
    static constexpr std::chrono::milliseconds kSearchPause{250};
    static constexpr int kReadTimeoutMs = 100;

private:
    void DiscoveryLoop(std::stop_token stop);
    void ReaderLoop(std::stop_token stop);
    void ParserLoop(std::stop_token stop);
    void FinishRemoval();

    // True when it opened a device.
    bool RunDiscoveryPass(const std::stop_token& stop);
    bool OpenDevice(const HidDeviceInfo& info);
    void CloseDevice(const std::stop_token& stop, bool removed);
    void WriteOne();
    void RefuseOnce(const std::string& path);
    bool Pause(const std::stop_token& stop, std::chrono::milliseconds period);

    IHidBackend& m_backend;
    HidLinkOptions m_options;

    // Discovery thread only.
    bool m_open = false;
    bool m_permissionWarned = false;
    std::unique_ptr<IHidDevice> m_writeDev;
    std::set<std::string> m_refused;

    // The read handle and the reader's hand-over.
    std::mutex m_readMutex;
    std::condition_variable_any m_readCv;
    std::unique_ptr<IHidDevice> m_readDev;
    std::atomic<bool> m_readGone{false};

    // Set by the discovery thread after closing a removed device, cleared
    // by the parser once the removal is complete.
    std::mutex m_removalMutex;
    std::condition_variable_any m_removalCv;
    bool m_removalPending = false;

    mutable std::mutex m_pathMutex;
    std::string m_path;

    std::jthread m_discovery;
    std::jthread m_reader;
    std::jthread m_parser;
};
