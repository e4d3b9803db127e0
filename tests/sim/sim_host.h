// A minimal host for the emulated amplifier, written from the wire format
// alone: frames commands for either link and checks replies the way the
// host's transports do (HID: length 1..62 and sum; TCP: the 0xA5 framer).
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"
#include "sim/tcp_stream.h"

using Bytes = std::vector<uint8_t>;

inline uint8_t TestSum(const Bytes& b, size_t from = 0, size_t to = SIZE_MAX)
{
    unsigned s = 0;
    for (size_t i = from; i < b.size() && i < to; ++i) s += b[i];
    return static_cast<uint8_t>(s);
}

inline Bytes HidFrame(const Bytes& payload)
{
    Bytes r(std::max<size_t>(64, payload.size() + 2), 0);  // longer only for a payload past the limit
    r[0] = static_cast<uint8_t>(payload.size());
    for (size_t i = 0; i < payload.size(); ++i) r[1 + i] = payload[i];
    r[1 + payload.size()] = TestSum(payload);
    return r;
}

inline Bytes TcpFrame(const Bytes& payload)
{
    Bytes f{0x5A, static_cast<uint8_t>(payload.size())};
    f.insert(f.end(), payload.begin(), payload.end());
    f.push_back(TestSum(payload));
    return f;
}

// The host's receive framer for the device's TCP frames.
inline std::vector<Bytes> TcpDeframe(const Bytes& wire)
{
    std::vector<Bytes> frames;
    int state = 0;
    Bytes cur;
    size_t len = 0;
    uint8_t sum = 0;
    for (uint8_t b : wire) {
        switch (state) {
        case 0:
            if (b == 0xA5) state = 1;
            break;
        case 1:
            if (b >= 1 && b <= 62) {
                len = b;
                cur.clear();
                sum = 0;
                state = 2;
            } else {
                state = 0;
            }
            break;
        case 2:
            cur.push_back(b);
            sum = static_cast<uint8_t>(sum + b);
            if (cur.size() == len) state = 3;
            break;
        case 3:
            if (b == sum) frames.push_back(cur);
            state = 0;
            break;
        }
    }
    return frames;
}

inline Bytes NameBytes(const std::string& s)
{
    Bytes n(20, 0);
    for (size_t i = 0; i < s.size() && i < 20; ++i) n[i] = static_cast<uint8_t>(s[i]);
    return n;
}

// One link to the device.
class TestHost {
public:
    virtual ~TestHost() = default;
    virtual SimLink Link() const = 0;
    virtual void SendRaw(const Bytes& wire) = 0;
    virtual void Send(const Bytes& payload) = 0;
    // Every intact reply available now (the device runs without pacing).
    virtual std::vector<Bytes> Receive() = 0;
    // The device went away (HID: a read reported removal since the last
    // call; TCP: the stream hung up).
    virtual bool Gone() = 0;
    // A new connection (HID: plugged in again; TCP: a new socket).
    virtual void Reconnect() = 0;
    size_t ChunkSize() const { return Link() == SimLink::Hid ? 56 : 512; }
};

class HidHost : public TestHost {
public:
    explicit HidHost(SimDevice& d) : ep_(std::make_unique<SimHidEndpoint>(d, 0x1111, 0x2222, 0x3333)) {}
    SimLink Link() const override { return SimLink::Hid; }
    void SendRaw(const Bytes& wire) override { ep_->HostWrite(wire.data(), wire.size()); }
    void Send(const Bytes& payload) override { SendRaw(HidFrame(payload)); }
    std::vector<Bytes> Receive() override
    {
        std::vector<Bytes> out;
        for (;;) {
            uint8_t r[64];
            const int n = ep_->HostRead(r, sizeof r, 0);
            if (n < 0) gone_ = true;
            if (n <= 0) return out;
            raw.emplace_back(r, r + n);
            const size_t l = r[0];
            if (n < 64 || l == 0 || l > 62) continue;
            Bytes p(r + 1, r + 1 + l);
            if (TestSum(p) == r[1 + l]) out.push_back(p);
        }
    }
    // A removal seen since the last call (by Receive or by this read).
    bool Gone() override
    {
        uint8_t r[64];
        const bool gone = gone_ || ep_->HostRead(r, sizeof r, 0) < 0;
        gone_ = false;
        return gone;
    }
    void Reconnect() override
    {
        ep_->Unplug();
        ep_->Plug();
        Receive();  // takes the removal notice
        gone_ = false;
    }
    SimHidEndpoint& Endpoint() { return *ep_; }
    std::vector<Bytes> raw;  // every report as read

private:
    std::unique_ptr<SimHidEndpoint> ep_;
    bool gone_ = false;
};

class TcpHost : public TestHost {
public:
    explicit TcpHost(SimDevice& d) : device_(d), stream_(std::make_unique<SimTcpStream>(d)) {}
    SimLink Link() const override { return SimLink::Tcp; }
    void SendRaw(const Bytes& wire) override
    {
        const Bytes out = stream_->Feed(wire.data(), wire.size(), Later());
        pending_.insert(pending_.end(), out.begin(), out.end());
    }
    void Send(const Bytes& payload) override { SendRaw(TcpFrame(payload)); }
    std::vector<Bytes> Receive() override
    {
        Bytes out = stream_->Drain(Later());
        pending_.insert(pending_.end(), out.begin(), out.end());
        wire.insert(wire.end(), pending_.begin(), pending_.end());
        const std::vector<Bytes> frames = TcpDeframe(pending_);
        pending_.clear();
        return frames;
    }
    bool Gone() override { return stream_->Closed(); }
    void Reconnect() override { stream_ = std::make_unique<SimTcpStream>(device_); }
    SimTcpStream& Stream() { return *stream_; }
    Bytes wire;  // every device byte as received

private:
    // Far enough ahead that any pacing has run out.
    static SimTcpStream::Clock::time_point Later() { return SimTcpStream::Clock::now() + std::chrono::hours(1); }
    SimDevice& device_;
    std::unique_ptr<SimTcpStream> stream_;
    Bytes pending_;
};

inline std::unique_ptr<TestHost> MakeHost(SimLink link, SimDevice& d)
{
    if (link == SimLink::Hid) return std::make_unique<HidHost>(d);
    return std::make_unique<TcpHost>(d);
}

// Replies of one code.
inline std::vector<Bytes> OfCode(const std::vector<Bytes>& replies, uint8_t code)
{
    std::vector<Bytes> out;
    for (const Bytes& r : replies)
        if (!r.empty() && r[0] == code) out.push_back(r);
    return out;
}

inline SimFaults NoPacing()
{
    SimFaults f;
    f.replyGap = std::chrono::microseconds(0);
    f.restartTime = std::chrono::milliseconds(0);
    return f;
}
