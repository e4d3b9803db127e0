#include "sim/tcp_stream.h"

#include <string>

using namespace simwire;

SimTcpStream::SimTcpStream(SimDevice& device) : device_(device), generation_(device.Generation()) {}

SimBytes SimTcpStream::Feed(const uint8_t* data, size_t len, Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < len && !closed_; ++i) {
        if (generation_ != device_.Generation()) break;  // hung up: the rest is lost
        TakeByteLocked(data[i], now);
    }
    return DrainLocked(now);
}

SimBytes SimTcpStream::Drain(Clock::time_point now)
{
    std::lock_guard lock(mutex_);
    return DrainLocked(now);
}

std::optional<SimTcpStream::Clock::time_point> SimTcpStream::NextDue() const
{
    std::lock_guard lock(mutex_);
    return closed_ ? std::nullopt : queue_.NextDue();
}

bool SimTcpStream::Closed() const
{
    std::lock_guard lock(mutex_);
    return closed_ || generation_ != device_.Generation();
}

SimBytes SimTcpStream::DrainLocked(Clock::time_point now)
{
    SimBytes out;
    if (generation_ != device_.Generation()) closed_ = true;  // restarted over another link
    while (!closed_ && !queue_.Empty() && queue_.Front().due <= now) {
        SimReplyQueue::Entry e = queue_.Pop();
        if (e.mark != SimReplyQueue::Mark::None) {
            closed_ = true;
            queue_.Clear();
            break;
        }
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
    }
    return out;
}

void SimTcpStream::TakeByteLocked(uint8_t b, Clock::time_point now)
{
    switch (rx_) {
    case Rx::Marker:
        if (b == kTcpToDevice) rx_ = Rx::Length;
        return;
    case Rx::Length:
        if (b == kTcpBlockLengthMark) {
            block_ = true;
            need_ = kTcpBlockLen - 2;  // code, index, 512 bytes, sum
        } else if (b >= 1 && b <= kTcpMaxHostPayload) {
            block_ = false;
            need_ = b + 1u;
        } else {
            device_.Log().Add("tcp dropped frame: length " + std::to_string(b));
            rx_ = Rx::Marker;
            return;
        }
        body_.clear();
        rx_ = Rx::Body;
        return;
    case Rx::Body:
        body_.push_back(b);
        if (body_.size() == need_) {
            rx_ = Rx::Marker;
            DispatchLocked(now);
        }
        return;
    }
}

void SimTcpStream::DispatchLocked(Clock::time_point now)
{
    const size_t n = body_.size() - 1;
    if (Sum8(body_.data(), n) != body_[n]) {
        device_.Log().Add(block_ ? "tcp dropped firmware block: bad sum" : "tcp dropped frame: bad sum");
        return;
    }
    if (block_ && body_[0] != CMD_FW_CHUNK) {
        device_.Log().Add("tcp dropped firmware block: code " + std::to_string(body_[0]));
        return;
    }
    const SimOutcome out = device_.Handle(session_, body_.data(), n);
    if (out.restart) generation_ = out.generation;  // ours: hang up after the replies
    SimQueueOutcome(device_, queue_, out, now,
                    [](const SimBytes& payload, SimFrameFaultKind fault) { return SimEncodeTcp(payload, fault); });
}
