// A listening IPv4 TCP socket for the emulated amplifier, bound to
// 127.0.0.1 only (SO_REUSEADDR on). Port 0 takes an ephemeral port; Port
// tells which. Close from another thread wakes a blocked Accept.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "platform/net/net_status.h"
#include "platform/net/shared_fd.h"

class TcpSocket;

class TcpListener {
public:
    TcpListener() = default;
    ~TcpListener() = default;  // closes
    TcpListener(const TcpListener&) = delete;
    TcpListener& operator=(const TcpListener&) = delete;

    // kAddressNotAllowed for any valid address other than 127.0.0.1,
    // kInvalidAddress for text that is not one.
    NetStatus Listen(std::string_view address, uint16_t port);
    bool IsListening() const { return m_fd.IsOpen(); }
    // The bound port; 0 while not listening.
    uint16_t Port() const { return m_port.load(); }

    // Waits up to timeoutMs (negative: without limit) for a connection and
    // hands it to peer, which must not hold one (kAlreadyOpen).
    NetStatus Accept(TcpSocket& peer, int timeoutMs = -1);

    // True for the one call that closed it.
    bool Close();

private:
    SharedFd m_fd;
    std::atomic<uint16_t> m_port{0};
};
