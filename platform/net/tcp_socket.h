// A connected IPv4 TCP stream socket (TCP_NODELAY on). One thread may
// receive while another sends, and any thread may call Shutdown or Close at
// any time: a call blocked in Receive or Send then returns -1 with
// NetStatus::kShutdown. Every call after Close fails with kNotOpen until the
// next Connect. Sends never raise SIGPIPE.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/net/net_status.h"
#include "platform/net/shared_fd.h"

class TcpListener;

class TcpSocket {
public:
    static constexpr int kDefaultConnectTimeoutMs = 1000;

    TcpSocket() = default;
    ~TcpSocket() = default;  // closes
    TcpSocket(const TcpSocket&) = delete;
    TcpSocket& operator=(const TcpSocket&) = delete;

    // Connects to dotted IPv4 text and a port, waiting at most timeoutMs
    // (negative: as long as the system takes). kAlreadyOpen, without
    // touching it, while a connection is held.
    NetStatus Connect(std::string_view address, uint16_t port, int timeoutMs = kDefaultConnectTimeoutMs);
    bool IsOpen() const { return m_fd.IsOpen(); }

    // Sends all len bytes, blocking while the system's buffer is full.
    // Returns len (0 sends nothing), or -1 with the reason in *status.
    int Send(const void* data, size_t len, NetStatus* status = nullptr);

    // Waits up to timeoutMs (negative: without limit) for bytes and stores
    // at most len of them. Returns how many (kOk), 0 when the peer has closed
    // the connection (kClosed), or -1 with the reason in *status: kTimeout,
    // kShutdown, kNotOpen, kConnectionLost, kNetworkDown, ...
    int Receive(void* buffer, size_t len, int timeoutMs = -1, NetStatus* status = nullptr);

    // Ends the connection both ways and wakes blocked calls; the descriptor
    // stays held until Close.
    void Shutdown() { m_fd.Shutdown(); }
    // Shuts down, waits for calls in other threads to return, and closes the
    // descriptor. True for the one call that closed it.
    bool Close() { return m_fd.Close(); }

private:
    friend class TcpListener;
    // Takes an accepted descriptor, closing it on failure.
    NetStatus Adopt(int fd);

    SharedFd m_fd;
};
