#include "link/tcp_link.h"

#include <algorithm>
#include <limits>

#include "link/pause.h"

#include "link/commands.h"
#include "link/dialog_port.h"
#include "link/dispatcher.h"
#include "link/firmware.h"
#include "link/link_events.h"
#include "link/thread_name.h"
#include "model/device_state.h"
#include "platform/net/network_alive.h"
#include "platform/net/tcp_socket.h"

bool TcpRxFramer::Feed(uint8_t b)
{
    switch (m_state) {
    case kMarker:
        if (b == TCP_FRAME_FROM_DEVICE) m_state = kLength;
        return false;
    case kLength:
        if (b == 0 || b > TCP_RX_MAX_PAYLOAD) {
            m_state = kMarker;
            return false;
        }
        m_slot[0] = b;
        m_pos = 1;
        m_sum = 0;
        m_state = kPayload;
        return false;
    case kPayload:
        m_slot[m_pos] = b;
        m_sum = static_cast<uint8_t>(m_sum + b);
        if (m_pos == m_slot[0]) m_state = kSum;
        ++m_pos;
        return false;
    case kSum: m_state = kMarker; return b == m_sum;
    }
    return false;
}

void TcpRxFramer::Reset()
{
    m_state = kMarker;
    m_pos = 1;
    m_sum = 0;
}

namespace {

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// How long one receive waits: until a peer that owes an answer has been
// silent for the limit. With nothing owed it waits the limit itself, so a
// frame sent meanwhile (due a limit after it went out) is looked at in time.
int ReceiveWaitMs(int64_t awaitingSince, int64_t silenceNs, int fallbackMs)
{
    if (silenceNs <= 0) return fallbackMs;
    const int64_t left = awaitingSince == 0 ? silenceNs : awaitingSince + silenceNs - NowNs();
    return static_cast<int>(std::clamp<int64_t>((left + 999999) / 1000000, 1, std::numeric_limits<int>::max()));
}

}  // namespace

struct CTcpLink::Connection {
    TcpSocket socket;
    uint64_t id = 0;
    // When the oldest frame sent since the peer's last byte went out; 0 while
    // the peer has answered everything.
    std::atomic<int64_t> awaitingSince{0};
};

CTcpLink::CTcpLink(TcpLinkOptions options) : m_options(std::move(options)) {}

CTcpLink::~CTcpLink() { Stop(); }

void CTcpLink::Start()
{
    if (m_keeper.joinable()) return;
    m_stopping.store(false);
    m_keeper = StartNamedThread("tcp-keeper", [this](std::stop_token stop) { KeeperLoop(stop); });
    m_receiver = StartNamedThread("tcp-receiver", [this](std::stop_token stop) { ReceiverLoop(stop); });
    m_parser = StartNamedThread("tcp-parser", [this](std::stop_token stop) { ParserLoop(stop); });
    m_sender = StartNamedThread("tcp-sender", [this](std::stop_token stop) { SenderLoop(stop); });
}

void CTcpLink::Stop()
{
    if (!m_keeper.joinable() && !m_receiver.joinable() && !m_parser.joinable() && !m_sender.joinable()) return;
    m_stopping.store(true);
    DialogPort().ReleaseSenders();
    for (std::jthread* t : {&m_keeper, &m_receiver, &m_parser, &m_sender}) t->request_stop();
    Disconnect();  // wakes a receive or send blocked on the socket
    for (std::jthread* t : {&m_keeper, &m_receiver, &m_parser, &m_sender}) t->join();
    Disconnect();  // a connect that finished meanwhile
}

uint64_t CTcpLink::Connections() const
{
    std::lock_guard<std::mutex> lock(m_connMutex);
    return m_connections;
}

CTcpLink::ConnectionPtr CTcpLink::Current() const
{
    std::lock_guard<std::mutex> lock(m_connMutex);
    return m_conn;
}

bool CTcpLink::Connect()
{
    if (m_state.load() != TCP_LINK_CLOSED) return true;
    auto conn = std::make_shared<Connection>();
    if (conn->socket.Connect(m_options.address, m_options.port, kConnectTimeoutMs) != NetStatus::kOk) return false;
    {
        std::lock_guard<std::mutex> lock(m_connMutex);
        if (m_stopping.load() || m_conn) {
            conn->socket.Close();
            return m_conn != nullptr;
        }
        conn->id = ++m_connections;
        // A new peer: nothing of the last connection goes out or is parsed.
        g_tcpTxRing.Reset();
        g_tcpRxRing.Reset();
        g_tcpFwBlock.Clear();
        ResetDeviceLedger(LinkKind::kTcp);
        CountLinkConnection();
        m_conn = std::move(conn);
        m_state.store(TCP_LINK_CONNECTED);
    }
    NotifyLinkChange();
    return true;
}

int CTcpLink::CheckNetwork()
{
    const bool alive =
        m_options.networkAlive ? m_options.networkAlive(m_options.address) : IsNetworkAlive(m_options.address);
    if (alive) return 0;
    std::lock_guard<std::mutex> lock(m_connMutex);
    // A link closed meanwhile stays closed, so that the keeper reconnects.
    if (m_conn) m_state.store(TCP_LINK_NETWORK_DOWN);
    return -1;
}

void CTcpLink::Disconnect() { Close(Current()); }

void CTcpLink::Close(const ConnectionPtr& conn)
{
    if (!conn) return;
    bool current = false;
    {
        std::lock_guard<std::mutex> lock(m_connMutex);
        if (m_conn == conn) {
            m_state.store(TCP_LINK_CLOSED);
            m_conn.reset();
            current = true;
        }
    }
    conn->socket.Close();  // closes once, after the calls using it returned
    if (current) NotifyLinkChange();
}

void CTcpLink::MarkConnected(const ConnectionPtr& conn)
{
    // Nothing to change (the usual case): no lock that the other thread of
    // the connection may be waiting for.
    if (m_state.load() == TCP_LINK_CONNECTED) return;
    std::lock_guard<std::mutex> lock(m_connMutex);
    if (m_conn == conn) m_state.store(TCP_LINK_CONNECTED);
}

bool CTcpLink::Pause(const std::stop_token& stop, std::chrono::milliseconds period)
{
    return PauseUnlessStopped(stop, period);
}

void CTcpLink::KeeperLoop(std::stop_token stop)
{
    bool first = true;  // the first connect goes out at once
    while (!stop.stop_requested()) {
        const uint64_t changes = LinkChanges();
        if (g_usbConnected.load() != 0) {
            WaitForLinkChange(stop, changes, kUsbWait);
        } else if (m_state.load() == TCP_LINK_CLOSED) {
            // The HID link takes precedence: no connect once a device opened.
            if ((first || Pause(stop, kReconnectDelay)) && g_usbConnected.load() == 0) Connect();
            first = false;
        } else {
            CheckNetwork();
            WaitForLinkChange(stop, changes, kNetworkCheckPeriod);
        }
    }
}

void CTcpLink::ReceiverLoop(std::stop_token stop)
{
    TcpRxFramer framer;
    uint64_t framedConnection = 0;
    std::array<uint8_t, 256> buffer{};
    const int64_t silenceNs = std::chrono::duration_cast<std::chrono::nanoseconds>(m_options.silenceLimit).count();
    while (!stop.stop_requested()) {
        const uint64_t changes = LinkChanges();
        const ConnectionPtr conn = Current();
        if (!conn) {
            WaitForLinkChange(stop, changes, kIdleWait);
            continue;
        }
        if (conn->id != framedConnection) {
            // A frame cut by the last connection's end is not continued.
            framer.Reset();
            framedConnection = conn->id;
        }
        NetStatus status = NetStatus::kOk;
        const int waitMs = ReceiveWaitMs(conn->awaitingSince.load(), silenceNs, kIdleWaitMs);
        const int n = conn->socket.Receive(buffer.data(), buffer.size(), waitMs, &status);
        if (n > 0) {
            conn->awaitingSince.store(0);
            if (Current() != conn) continue;  // closed meanwhile: dropped
            for (int i = 0; i < n; ++i) {
                if (!framer.Feed(buffer[i])) continue;
                // A full ring holds the receiver back rather than losing the frame.
                while (!g_tcpRxRing.Push([&](uint8_t* slot) {
                    std::copy(framer.Slot().begin(), framer.Slot().end(), slot);
                    return static_cast<int>(framer.Slot()[0]) + 1;
                }))
                    if (!Pause(stop, std::chrono::milliseconds(1))) return;
            }
            MarkConnected(conn);
            continue;
        }
        switch (status) {
        case NetStatus::kTimeout: {
            // A peer that stopped answering is gone, whatever the socket says.
            const int64_t since = conn->awaitingSince.load();
            if (silenceNs > 0 && since != 0 && NowNs() - since > silenceNs) Close(conn);
            break;
        }
        case NetStatus::kClosed:          // the device closed the connection
        case NetStatus::kConnectionLost:  // reset or broken
        case NetStatus::kNetworkDown:
        case NetStatus::kShutdown:  // closed by this side: Close is a no-op then
        case NetStatus::kNotOpen: Close(conn); break;
        default: Pause(stop, kRetryPause); break;
        }
    }
}

void CTcpLink::ParserLoop(std::stop_token stop)
{
    TcpRxRing::Slot slot;
    while (!stop.stop_requested()) {
        const uint64_t wakes = g_tcpRxRing.Wakes();
        while (!stop.stop_requested() && g_tcpRxRing.Pop(slot)) ParseTcpSlot(slot.bytes.data());
        g_tcpRxRing.WaitForFrame(stop, kIdleWait, wakes);
    }
}

bool CTcpLink::SendOn(const ConnectionPtr& conn, const uint8_t* bytes, size_t len)
{
    // Awaited from before the send: the peer's answer may come before Send
    // returns, and it must find the wait to end.
    int64_t none = 0;
    conn->awaitingSince.compare_exchange_strong(none, NowNs());
    if (conn->socket.Send(bytes, len) == static_cast<int>(len)) {
        MarkConnected(conn);
        return true;
    }
    Close(conn);
    return false;
}

void CTcpLink::SenderLoop(std::stop_token stop)
{
    TcpFirmwareBlockSlot::Block block;
    TcpTxRing::Slot slot;
    // One send per period: the next waits until a period after the last.
    auto nextSend = std::chrono::steady_clock::time_point::min();
    while (!stop.stop_requested()) {
        const uint64_t changes = LinkChanges();
        const ConnectionPtr conn = Current();
        if (!conn) {
            WaitForLinkChange(stop, changes, kIdleWait);
            continue;
        }
        // Read before looking: a block put after the look ends the wait.
        const uint64_t wakes = g_tcpTxRing.Wakes();
        if (!g_tcpFwBlock.Pending() && g_tcpTxRing.Size() == 0) {
            // Nothing to send: sleep until something is queued or the link
            // changes (Close wakes nobody here, but the next look does).
            g_tcpTxRing.WaitForFrame(stop, kIdleWait, wakes);
            continue;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now < nextSend) {
            Pause(stop, std::chrono::ceil<std::chrono::milliseconds>(nextSend - now));
            continue;
        }
        uint64_t ticket = 0;
        TcpTxRing::Ticket frame;
        if (g_tcpFwBlock.Peek(block, ticket)) {
            // Sent or not, the block is done: nothing is resent.
            SendOn(conn, block.data(), block.size());
            g_tcpFwBlock.Done(ticket);
        } else if (g_tcpTxRing.Peek(slot, frame)) {
            const int len = slot.len < 0 || slot.len > TCP_TX_SLOT_LEN ? 0 : slot.len;
            if (len != 0) SendOn(conn, slot.bytes.data(), static_cast<size_t>(len));
            g_tcpTxRing.Pop(frame);
        } else {
            continue;  // taken by a reset meanwhile
        }
        nextSend = std::chrono::steady_clock::now() + kSendPeriod;
    }
}
