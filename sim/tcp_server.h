// The emulated amplifier on a loopback TCP port: one connection at a time,
// each pumped through its own SimTcpStream over the shared SimDevice. A new
// connection replaces the one before it; the device hanging up (a removal
// fault or a restart) closes the socket.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/net/net_status.h"
#include "platform/net/tcp_listener.h"
#include "platform/net/tcp_socket.h"
#include "sim/device.h"

class SimTcpServer {
public:
    // Port 0 takes an ephemeral port; Port tells which once started.
    SimTcpServer(SimDevice& device, uint16_t port);
    ~SimTcpServer();  // stops
    SimTcpServer(const SimTcpServer&) = delete;
    SimTcpServer& operator=(const SimTcpServer&) = delete;

    // Listens on 127.0.0.1 and starts serving: kOk, kAlreadyOpen while
    // serving, or why the listen failed (kAddressInUse, ...).
    NetStatus Start();
    // Closes the listener and the current connection and joins the threads.
    // Safe to call more than once; Start may follow.
    void Stop();
    bool Running() const;

    // The bound port; 0 while stopped.
    uint16_t Port() const { return listener_.Port(); }
    // Connections accepted since construction.
    int Accepted() const { return accepted_.load(); }

private:
    struct Connection {
        TcpSocket socket;
        std::thread pump;
    };

    void AcceptLoop();
    void EndConnection(std::unique_ptr<Connection>& c);
    void Pump(TcpSocket& socket);

    SimDevice& device_;
    const uint16_t port_;
    TcpListener listener_;
    mutable std::mutex mutex_;  // guards acceptor_ (Start/Stop)
    std::thread acceptor_;
    std::atomic<bool> stopping_{false};
    std::atomic<int> accepted_{0};
};
