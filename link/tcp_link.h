// The TCP link to the amplifier, used while no USB HID device is open. The
// PC connects to the device's address and exchanges TcpFrames: 0x5A frames
// from g_tcpTxRing (and TcpFirmwareBlocks from g_tcpFwBlock) go out, 0xA5
// frames come in through the byte framer into g_tcpRxRing. Four threads:
//   keeper    connects at once at start; while g_usbConnected: waits for a
//             change of the links; while closed: waits 1 s, then connects;
//             while up: checks the network every 300 ms.
//   receiver  frames the incoming bytes; the device closing the connection,
//             a reset connection, a network failure or a peer that sent
//             nothing for silenceLimit after a frame went out closes the link.
//   parser    wakes when frames arrive and parses all that wait.
//   sender    sleeps until a frame or a firmware block is queued; sends the
//             firmware block first, else one frame of the send ring, at most
//             one every 5 ms; a failed send drops it and closes the link.
// Each connection is its own socket: a failure seen on an old connection
// never closes a newer one, and the framer starts clean on each. Both TCP
// rings are emptied when a connection is made: nothing queued while the link
// was down goes to the new peer, and no old reply is parsed.
// Every connect and close is a link change (link/link_events.h).
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

#include "link/frames.h"

#ifndef TARVEL_DEVICE_ADDRESS
#define TARVEL_DEVICE_ADDRESS "127.0.0.1"
#endif
#ifndef TARVEL_DEVICE_PORT
#define TARVEL_DEVICE_PORT 6000
#endif

constexpr const char* DEVICE_LAN_ADDRESS = TARVEL_DEVICE_ADDRESS;
constexpr uint16_t DEVICE_TCP_PORT = TARVEL_DEVICE_PORT;

// Any state but closed counts as a link.
enum TcpLinkState : int {
    TCP_LINK_CLOSED = 0,
    TCP_LINK_CONNECTED = 1,     // set again by every byte received and frame sent
    TCP_LINK_NETWORK_DOWN = 2,  // the system reports no network; the socket stays open
};

// The receive framer: 0xA5, L (1..62), L payload bytes, their 8-bit sum.
// Bytes outside a frame are skipped; a bad length abandons the frame and a
// bad sum drops it.
class TcpRxFramer {
public:
    enum State { kMarker, kLength, kPayload, kSum };

    // True when b completed a frame; Slot() then holds L and the payload.
    bool Feed(uint8_t b);
    void Reset();
    const std::array<uint8_t, TCP_RX_SLOT_LEN>& Slot() const { return m_slot; }
    State GetState() const { return m_state; }

private:
    State m_state = kMarker;
    std::array<uint8_t, TCP_RX_SLOT_LEN> m_slot{};
    int m_pos = 1;
    uint8_t m_sum = 0;
};

struct TcpLinkOptions {
    std::string address = DEVICE_LAN_ADDRESS;
    uint16_t port = DEVICE_TCP_PORT;
    // Whether the network can carry traffic to address; the system's check
    // when empty.
    std::function<bool(std::string_view)> networkAlive;
    // A peer that sends nothing for this long after a frame went out is
    // taken as lost (three keep-alive periods); zero never.
    std::chrono::milliseconds silenceLimit{900};
};

class CTcpLink {
public:
    explicit CTcpLink(TcpLinkOptions options = {});
    ~CTcpLink();
    CTcpLink(const CTcpLink&) = delete;
    CTcpLink& operator=(const CTcpLink&) = delete;

    // Starts the keeper, receiver, parser and sender.
    void Start();
    // Releases a parser waiting in a Send, stops and joins the threads and
    // closes the connection. The destructor calls it too.
    void Stop();

    int GetState() const { return m_state.load(); }
    // For HidLinkOptions::tcpLinkUp.
    bool IsUp() const { return GetState() != TCP_LINK_CLOSED; }
    // Connections made so far.
    uint64_t Connections() const;

    // Connects when the link is closed; true when a connection is held.
    bool Connect();
    // 0 with the network present; -1 (state network-down) without.
    int CheckNetwork();
    // Closes the current connection.
    void Disconnect();

    static constexpr std::chrono::milliseconds kUsbWait{2000};
    static constexpr std::chrono::milliseconds kReconnectDelay{1000};
    static constexpr std::chrono::milliseconds kNetworkCheckPeriod{300};
    static constexpr std::chrono::milliseconds kSendPeriod{5};
    static constexpr std::chrono::milliseconds kRetryPause{5};
    // The longest sleep of a thread that waits for a frame or a link
    // change; each of those wakes it at once.
    static constexpr std::chrono::milliseconds kIdleWait{10000};
    static constexpr int kIdleWaitMs = static_cast<int>(kIdleWait.count());
    static constexpr int kConnectTimeoutMs = 1000;

private:
    struct Connection;
    using ConnectionPtr = std::shared_ptr<Connection>;

    ConnectionPtr Current() const;
    // Closes conn; the link turns closed only when conn is the current one.
    void Close(const ConnectionPtr& conn);
    // A byte received or a frame sent on conn.
    void MarkConnected(const ConnectionPtr& conn);
    bool Pause(const std::stop_token& stop, std::chrono::milliseconds period);

    void KeeperLoop(std::stop_token stop);
    void ReceiverLoop(std::stop_token stop);
    void ParserLoop(std::stop_token stop);
    void SenderLoop(std::stop_token stop);
    // One send on conn: true when it went out, else the link is closed.
    bool SendOn(const ConnectionPtr& conn, const uint8_t* bytes, size_t len);

    TcpLinkOptions m_options;
    std::atomic<int> m_state{TCP_LINK_CLOSED};

    mutable std::mutex m_connMutex;  // m_conn, m_connections, state changes
    ConnectionPtr m_conn;
    uint64_t m_connections = 0;
    std::atomic<bool> m_stopping{false};

    std::jthread m_keeper;
    std::jthread m_receiver;
    std::jthread m_parser;
    std::jthread m_sender;
};
