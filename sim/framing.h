// Device-side framing of replies for both links, with the frame faults, and
// the paced queue of frames waiting to reach the host.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "sim/device.h"

// An input report as hidapi hands it over (no report id): 64 bytes, of
// which `len` count (fewer only for a truncated frame).
struct SimHidReport {
    uint8_t bytes[simwire::kHidReportLen] = {};
    size_t len = simwire::kHidReportLen;
};

SimHidReport SimEncodeHid(const SimBytes& payload, SimFrameFaultKind fault);
SimBytes SimEncodeTcp(const SimBytes& payload, SimFrameFaultKind fault);

// Frames and markers in the order the host gets them, each due no earlier
// than `gap` after the one before.
class SimReplyQueue {
public:
    using Clock = std::chrono::steady_clock;
    enum class Mark { None, Remove, Restart };
    struct Entry {
        Clock::time_point due;
        SimBytes bytes;
        Mark mark = Mark::None;
    };

    void Push(Clock::time_point now, SimBytes bytes, Clock::duration gap);
    void PushMark(Clock::time_point now, Mark mark);
    bool Empty() const { return entries_.empty(); }
    const Entry& Front() const { return entries_.front(); }
    Entry Pop();
    void Clear() { entries_.clear(); }
    std::optional<Clock::time_point> NextDue() const;

private:
    std::deque<Entry> entries_;
    std::optional<Clock::time_point> last_;
};

// Queues the outcome of one command: each reply framed by `encode` with its
// fault, then the removal or restart marker it asks for.
template <typename Encode>
void SimQueueOutcome(SimDevice& device, SimReplyQueue& queue, const SimOutcome& out,
                     SimReplyQueue::Clock::time_point now, Encode encode)
{
    const auto gap = std::chrono::duration_cast<SimReplyQueue::Clock::duration>(device.Faults().replyGap);
    for (size_t i = 0; i < out.replies.size(); ++i) {
        queue.Push(now, encode(out.replies[i], device.TakeFrameFault(out.replies[i])), gap);
        if (static_cast<int>(i) == out.removeAfter) {
            queue.PushMark(now, SimReplyQueue::Mark::Remove);
            return;
        }
    }
    if (out.restart) queue.PushMark(now, SimReplyQueue::Mark::Restart);
}
