// The emulated device's log lines of one kind, with the moment each came,
// for the benchmarks that time what reaches the device.
#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_support.h"
#include "sim/device.h"

// The lines that contain needle, and the first keep-alive request.
class LogTimes {
public:
    LogTimes(SimDevice& device, std::string needle) : m_device(device), m_needle(std::move(needle))
    {
        device.Log().SetSink([this](const std::string& line) {
            const auto now = Clock::now();
            std::lock_guard<std::mutex> lock(m_mutex);
            if (line.find(m_needle) != std::string::npos) m_times.push_back(now);
            if (!m_first && line.find("CMD_DEVICE_INFO") != std::string::npos) m_first = now;
        });
    }
    ~LogTimes() { m_device.Log().SetSink({}); }
    size_t Count()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_times.size();
    }
    Clock::time_point At(size_t i)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_times[i];
    }
    std::optional<Clock::time_point> FirstKeepAlive()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_first;
    }
    // Waits for line number index; its latency after since.
    bool WaitFor(size_t index, Clock::time_point since, std::vector<double>& out)
    {
        const auto end = Clock::now() + std::chrono::seconds(5);
        while (Count() <= index) {
            if (Clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        out.push_back(Ms(At(index) - since).count());
        return true;
    }

private:
    SimDevice& m_device;
    std::string m_needle;
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_times;
    std::optional<Clock::time_point> m_first;
};
