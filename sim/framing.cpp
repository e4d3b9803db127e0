#include "sim/framing.h"

#include <algorithm>

using namespace simwire;

namespace {

// The payload as the fault leaves it, with the length byte to send.
struct Shaped {
    SimBytes payload;
    uint8_t length;
    bool withSum = true;
};

constexpr uint8_t kOverlongLength = 63;

Shaped Shape(const SimBytes& payload, SimFrameFaultKind fault)
{
    Shaped s{payload, static_cast<uint8_t>(payload.size())};
    switch (fault) {
    case SimFrameFaultKind::Truncated:
        s.payload.resize(std::max<size_t>(1, payload.size() / 2));
        s.withSum = false;
        break;
    case SimFrameFaultKind::Overlong:
        s.payload.resize(std::max<size_t>(payload.size(), kOverlongLength), 0);
        s.length = kOverlongLength;
        break;
    default: break;
    }
    return s;
}

uint8_t SumFor(const Shaped& s, SimFrameFaultKind fault)
{
    const uint8_t sum = Sum8(s.payload.data(), s.payload.size());
    return fault == SimFrameFaultKind::BadSum ? static_cast<uint8_t>(sum + 1) : sum;
}

}  // namespace

SimHidReport SimEncodeHid(const SimBytes& payload, SimFrameFaultKind fault)
{
    const Shaped s = Shape(payload, fault);
    SimHidReport r;
    r.bytes[0] = s.length;
    const size_t n = std::min(s.payload.size(), kHidReportLen - 1);
    std::copy_n(s.payload.begin(), n, r.bytes + 1);
    if (!s.withSum) r.len = 1 + n;  // the report ends early
    else if (1 + n < kHidReportLen) r.bytes[1 + n] = SumFor(s, fault);
    return r;
}

SimBytes SimEncodeTcp(const SimBytes& payload, SimFrameFaultKind fault)
{
    const Shaped s = Shape(payload, fault);
    SimBytes out;
    out.reserve(s.payload.size() + 3);
    out.push_back(kTcpFromDevice);
    out.push_back(s.length);
    for (uint8_t b : s.payload) out.push_back(b);
    if (s.withSum) out.push_back(SumFor(s, fault));
    return out;
}

void SimReplyQueue::Push(Clock::time_point now, SimBytes bytes, Clock::duration gap)
{
    const Clock::time_point due = last_ ? std::max(now, *last_ + gap) : now;
    last_ = due;
    entries_.push_back({due, std::move(bytes), Mark::None});
}

void SimReplyQueue::PushMark(Clock::time_point now, Mark mark)
{
    const Clock::time_point due = last_ ? std::max(now, *last_) : now;
    last_ = due;
    entries_.push_back({due, {}, mark});
}

SimReplyQueue::Entry SimReplyQueue::Pop()
{
    Entry e = std::move(entries_.front());
    entries_.pop_front();
    return e;
}

std::optional<SimReplyQueue::Clock::time_point> SimReplyQueue::NextDue() const
{
    if (entries_.empty()) return std::nullopt;
    return entries_.front().due;
}
