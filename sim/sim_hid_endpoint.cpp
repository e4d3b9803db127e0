#include "sim/sim_hid_endpoint.h"

#include <algorithm>
#include <string>

using namespace simwire;

SimHidEndpoint::SimHidEndpoint(SimDevice& device, uint16_t vendorId, uint16_t appProductId, uint16_t loaderProductId)
    : device_(device),
      vendorId_(vendorId),
      appProductId_(appProductId),
      loaderProductId_(loaderProductId),
      generation_(device.Generation())
{}

// A restart: off the bus for a while, then back with a fresh session.
void SimHidEndpoint::GoAwayLocked(Clock::time_point now) const
{
    queue_.Clear();
    session_ = SimSession(SimLink::Hid);
    goneUnreported_ = true;
    backAt_ = now + device_.Faults().restartTime;
    generation_ = device_.Generation();
    wake_.notify_all();
}

void SimHidEndpoint::PumpLocked(Clock::time_point now) const
{
    // A restart caused over another link.
    if (generation_ != device_.Generation()) GoAwayLocked(now);
    while (!queue_.Empty() && queue_.Front().mark != SimReplyQueue::Mark::None && queue_.Front().due <= now) {
        const SimReplyQueue::Mark mark = queue_.Pop().mark;
        if (mark == SimReplyQueue::Mark::Remove) {
            queue_.Clear();
            plugged_ = false;
            goneUnreported_ = true;
            wake_.notify_all();
        } else {
            GoAwayLocked(now);
        }
    }
}

uint16_t SimHidEndpoint::ProductId() const
{
    if (!device_.InLoader()) return appProductId_;
    const uint16_t forced = device_.Faults().loaderProductId;
    return forced != 0 ? forced : loaderProductId_;
}

bool SimHidEndpoint::Present() const
{
    std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    PumpLocked(now);
    return plugged_ && now >= backAt_;
}

void SimHidEndpoint::HostWrite(const uint8_t* report, size_t len)
{
    std::lock_guard lock(mutex_);
    const Clock::time_point now = Clock::now();
    PumpLocked(now);
    if (!plugged_ || now < backAt_ || len == 0) return;
    const size_t l = report[0];
    std::string why;
    if (l == 0 || l > kHidMaxPayload) why = "length " + std::to_string(l);
    else if (len < l + 2) why = "short report of " + std::to_string(len) + " bytes";
    else if (Sum8(report + 1, l) != report[1 + l]) why = "bad sum";
    if (!why.empty()) {
        device_.Log().Add("hid dropped report: " + why);
        return;
    }
    const SimOutcome out = device_.Handle(session_, report + 1, l);
    if (out.restart) generation_ = out.generation;  // ours: the marker restarts us
    SimQueueOutcome(device_, queue_, out, now, [](const SimBytes& payload, SimFrameFaultKind fault) {
        const SimHidReport r = SimEncodeHid(payload, fault);
        return SimBytes(r.bytes, r.bytes + r.len);
    });
    wake_.notify_all();
}

int SimHidEndpoint::HostRead(uint8_t* report, size_t len, int timeoutMs)
{
    std::unique_lock lock(mutex_);
    const Clock::time_point start = Clock::now();
    const bool forever = timeoutMs < 0;
    const Clock::time_point deadline = start + std::chrono::milliseconds(std::max(timeoutMs, 0));
    for (;;) {
        const Clock::time_point now = Clock::now();
        PumpLocked(now);
        if (!plugged_ || goneUnreported_ || now < backAt_) {
            goneUnreported_ = false;
            return -1;
        }
        if (!queue_.Empty() && queue_.Front().mark == SimReplyQueue::Mark::None && queue_.Front().due <= now) {
            const SimBytes bytes = queue_.Pop().bytes;
            const size_t n = std::min(len, bytes.size());
            std::copy_n(bytes.begin(), n, report);
            std::fill(report + n, report + len, 0);
            return static_cast<int>(n);
        }
        if (!forever && now >= deadline) return 0;
        Clock::time_point until = forever ? Clock::time_point::max() : deadline;
        if (const auto due = queue_.NextDue()) until = std::min(until, *due);
        if (until == Clock::time_point::max()) wake_.wait(lock);
        else wake_.wait_until(lock, until);
    }
}

void SimHidEndpoint::Unplug()
{
    std::lock_guard lock(mutex_);
    queue_.Clear();
    plugged_ = false;
    goneUnreported_ = true;
    wake_.notify_all();
}

void SimHidEndpoint::Plug()
{
    std::lock_guard lock(mutex_);
    if (plugged_) return;
    plugged_ = true;
    session_ = SimSession(SimLink::Hid);
    backAt_ = {};
    generation_ = device_.Generation();
}
