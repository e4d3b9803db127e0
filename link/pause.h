// A worker's sleep that a stop request ends at once.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>

// Sleeps for period or until stop is requested; false when it was.
inline bool PauseUnlessStopped(const std::stop_token& stop, std::chrono::milliseconds period)
{
    std::mutex mutex;
    std::condition_variable_any cv;
    std::unique_lock<std::mutex> lock(mutex);
    cv.wait_for(lock, stop, period, [] { return false; });
    return !stop.stop_requested();
}
