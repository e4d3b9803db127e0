// The emulated amplifier on one TCP connection, as a byte pump: feed what
// the host sent, get back what the device sends by a given time. A server
// makes one stream per accepted socket (all over one SimDevice), writes
// what Feed and Drain return, calls Drain again at NextDue, and closes the
// socket once Closed() is true.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>

#include "sim/device.h"
#include "sim/framing.h"

class SimTcpStream {
public:
    using Clock = SimReplyQueue::Clock;

    explicit SimTcpStream(SimDevice& device);

    // Host bytes in (any split); returns the device bytes due by `now`.
    SimBytes Feed(const uint8_t* data, size_t len, Clock::time_point now);
    // Device bytes due by `now`.
    SimBytes Drain(Clock::time_point now);
    // When the next device bytes fall due; none when nothing waits.
    std::optional<Clock::time_point> NextDue() const;
    // The device hung up (a removal fault or a restart): everything before
    // the hang-up has come out of Feed or Drain; nothing follows.
    bool Closed() const;

private:
    void TakeByteLocked(uint8_t b, Clock::time_point now);
    void DispatchLocked(Clock::time_point now);
    SimBytes DrainLocked(Clock::time_point now);

    SimDevice& device_;
    mutable std::mutex mutex_;
    SimSession session_{SimLink::Tcp};
    SimReplyQueue queue_;
    uint32_t generation_;
    bool closed_ = false;

    // Host framer: marker, length (0xFF opens a firmware block), payload, sum.
    enum class Rx { Marker, Length, Body } rx_ = Rx::Marker;
    size_t need_ = 0;  // payload bytes plus the sum
    bool block_ = false;
    SimBytes body_;
};
