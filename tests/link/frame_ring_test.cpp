#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <stop_token>
#include <thread>

#include "link/frame_ring.h"

namespace {

using Ring = FrameRing<8>;

// Far longer than any test runs: a wait that ends did so for its reason.
constexpr std::chrono::hours kForever{1};
constexpr std::chrono::seconds kBound{15};

enum class Waker { kPush, kWake, kStop };

// The consumer sleeps in WaitForFrame; each waker ends the sleep, whether it
// came before the wait began or (most likely, in the second case) while it
// lasted, and the result tells a frame from the other two.
TEST(FrameRing, EachWakerEndsTheConsumersWaitBeforeOrDuringIt)
{
    for (const Waker waker : {Waker::kPush, Waker::kWake, Waker::kStop}) {
        for (const bool during : {false, true}) {
            SCOPED_TRACE(testing::Message() << "waker " << static_cast<int>(waker) << (during ? " during" : " before"));
            Ring ring;
            std::stop_source stop;
            const uint64_t since = ring.Wakes();
            auto wake = [&] {
                switch (waker) {
                case Waker::kPush:
                    ring.Push([](uint8_t* slot) {
                        slot[0] = 1;
                        return 1;
                    });
                    break;
                case Waker::kWake: ring.Wake(); break;
                case Waker::kStop: stop.request_stop(); break;
                }
            };
            if (!during) wake();
            std::promise<void> waiting;
            auto result = std::async(std::launch::async, [&] {
                waiting.set_value();
                return ring.WaitForFrame(stop.get_token(), kForever, since);
            });
            waiting.get_future().wait();
            if (during) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));  // most likely asleep by now
                wake();
            }
            const bool ended = result.wait_for(kBound) == std::future_status::ready;
            EXPECT_TRUE(ended);
            if (!ended) ring.Wake();  // lets the test end
            EXPECT_EQ(result.get(), ended && waker == Waker::kPush);
        }
    }
}

TEST(FrameRing, AWaitEndsWithoutAWakerWhenItsLongestHasPassed)
{
    Ring ring;
    std::stop_source stop;
    EXPECT_FALSE(ring.WaitForFrame(stop.get_token(), std::chrono::milliseconds(1), ring.Wakes()));
}

}  // namespace
