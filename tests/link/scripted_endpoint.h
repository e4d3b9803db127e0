// A small scripted amplifier behind IHidDeviceEndpoint, for the link's tests
// and the bench: it answers the commands it is written with replies queued
// for the host's reads, and can be unplugged at any moment.
#pragma once

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid/hid_endpoint.h"

class ScriptedEndpoint final : public IHidDeviceEndpoint {
public:
    using Report = std::array<uint8_t, 64>;
    // Called for every report the host writes (64 bytes: L, payload, sum, ...).
    using Script = std::function<void(const Report& written, ScriptedEndpoint& device)>;

    ScriptedEndpoint(uint16_t vendorId, uint16_t productId, Script script = {})
        : m_vendorId(vendorId), m_productId(productId), m_script(std::move(script))
    {}

    uint16_t VendorId() const override { return m_vendorId; }
    uint16_t ProductId() const override { return m_productId; }
    bool Present() const override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_present;
    }

    void HostWrite(const uint8_t* report, size_t len) override
    {
        Report r{};
        std::memcpy(r.data(), report, std::min(len, r.size()));
        Script script;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_writes.push_back(r);
            script = m_script;
        }
        m_cv.notify_all();
        if (script) script(r, *this);
    }

    int HostRead(uint8_t* report, size_t len, int timeoutMs) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return !m_present || !m_input.empty(); });
        // What the device sent before it went is still read.
        if (m_input.empty()) return m_present ? 0 : -1;
        std::memcpy(report, m_input.front().data(), std::min(len, m_input.front().size()));
        m_input.pop_front();
        return 64;
    }

    // Device side: queues one input report carrying the payload.
    void Reply(const std::vector<uint8_t>& payload)
    {
        Report r{};
        r[0] = static_cast<uint8_t>(payload.size());
        unsigned sum = 0;
        for (size_t i = 0; i < payload.size(); ++i) {
            r[1 + i] = payload[i];
            sum += payload[i];
        }
        r[1 + payload.size()] = static_cast<uint8_t>(sum);
        QueueRaw(r);
    }
    void QueueRaw(const Report& r)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_input.push_back(r);
        }
        m_cv.notify_all();
    }
    void Unplug()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_present = false;
        }
        m_cv.notify_all();
    }

    std::vector<Report> Writes() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_writes;
    }
    // Waits until the host has written at least n reports.
    bool WaitForWrites(size_t n, std::chrono::milliseconds limit = std::chrono::seconds(10))
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, limit, [&] { return m_writes.size() >= n; });
    }

private:
    const uint16_t m_vendorId;
    const uint16_t m_productId;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    Script m_script;
    bool m_present = true;
    std::deque<Report> m_input;
    std::vector<Report> m_writes;
};

// What the scripted amplifier holds and how it answers.
struct ScriptedAmplifier {
    std::string deviceString = "16A417190902";  // model 4, 2019-09-02
    uint8_t options = 0;
    std::vector<uint8_t> eqUser = std::vector<uint8_t>(3163);
    std::vector<uint8_t> eqUser2 = std::vector<uint8_t>(405);
    // EqUser pages sent per request before the device is pulled out (with a
    // last device-info reply still queued after them); -1 all.
    int unplugAfterPages = -1;

    // A script answering CMD_DEVICE_INFO, CMD_READ_EQUSER, CMD_READ_EQUSER2
    // and CMD_READ_CHANNEL_NAMES.
    ScriptedEndpoint::Script MakeScript() const
    {
        ScriptedAmplifier amp = *this;
        return [amp](const ScriptedEndpoint::Report& w, ScriptedEndpoint& dev) {
            const uint8_t len = w[0];
            if (len == 0) return;
            auto deviceInfo = [&] {
                std::vector<uint8_t> p(20, 0);
                p[0] = 1;
                p[1] = 19;
                p[2] = 2;  // save slot
                for (size_t i = 0; i < 14 && i < amp.deviceString.size(); ++i) p[3 + i] = amp.deviceString[i];
                p[17] = 3;  // source
                p[18] = 5;  // preset
                p[19] = amp.options;
                dev.Reply(p);
            };
            switch (w[1]) {
            case 1: deviceInfo(); break;
            case 15: {
                const int pages = static_cast<int>((amp.eqUser.size() + 31) / 32);
                for (int k = 0; k < pages; ++k) {
                    if (amp.unplugAfterPages >= 0 && k == amp.unplugAfterPages) {
                        deviceInfo();
                        dev.Unplug();
                        return;
                    }
                    const size_t off = 32u * k;
                    const size_t n = std::min<size_t>(32, amp.eqUser.size() - off);
                    std::vector<uint8_t> p = {4, static_cast<uint8_t>(k)};
                    p.insert(p.end(), amp.eqUser.begin() + off, amp.eqUser.begin() + off + n);
                    dev.Reply(p);
                }
                break;
            }
            case 19:
                for (int k = 0; k < 8; ++k) {
                    const size_t off = 56u * k;
                    const size_t n = std::min<size_t>(56, amp.eqUser2.size() - off);
                    std::vector<uint8_t> p = {14, static_cast<uint8_t>(k)};
                    p.insert(p.end(), amp.eqUser2.begin() + off, amp.eqUser2.begin() + off + n);
                    dev.Reply(p);
                }
                break;
            case 26:
                for (int c = 0; c < 12; ++c) {
                    std::vector<uint8_t> p(22, 0);
                    p[0] = 15;
                    p[1] = static_cast<uint8_t>(c);
                    const std::string name = "Out" + std::to_string(c + 1);
                    std::memcpy(p.data() + 2, name.data(), name.size());
                    dev.Reply(p);
                }
                break;
            default: break;
            }
        };
    }
};
