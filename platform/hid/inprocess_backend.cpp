#include "platform/hid/inprocess_backend.h"

#include <algorithm>
#include <cstring>

namespace {

class InProcessDevice final : public IHidDevice {
public:
    explicit InProcessDevice(std::shared_ptr<IHidDeviceEndpoint> endpoint) : m_endpoint(std::move(endpoint)) {}

    int Read(uint8_t* report, int timeoutMs) override
    {
        std::memset(report, 0, HID_REPORT_LEN);
        const int n = m_endpoint->HostRead(report + 1, HID_REPORT_LEN - 1, timeoutMs);
        if (n < 0) return -1;
        return n == 0 ? 0 : static_cast<int>(HID_REPORT_LEN);
    }

    int Write(const uint8_t* report) override
    {
        if (!m_endpoint->Present()) return -1;
        m_endpoint->HostWrite(report + 1, HID_REPORT_LEN - 1);
        return static_cast<int>(HID_REPORT_LEN);
    }

private:
    std::shared_ptr<IHidDeviceEndpoint> m_endpoint;
};

}  // namespace

std::string InProcessHidBackend::Plug(std::shared_ptr<IHidDeviceEndpoint> endpoint)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string path = "inproc:" + std::to_string(m_nextId++);
    m_entries.push_back({path, std::move(endpoint)});
    return path;
}

void InProcessHidBackend::Unplug(const std::string& path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_entries, [&](const Entry& e) { return e.path == path; });
}

std::vector<HidDeviceInfo> InProcessHidBackend::Enumerate(uint16_t vendorId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<HidDeviceInfo> found;
    for (const Entry& e : m_entries)
        if (e.endpoint->Present() && e.endpoint->VendorId() == vendorId)
            found.push_back({e.path, e.endpoint->VendorId(), e.endpoint->ProductId()});
    return found;
}

std::unique_ptr<IHidDevice> InProcessHidBackend::Open(const std::string& path, HidOpenStatus& status)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.path == path; });
    if (it == m_entries.end() || !it->endpoint->Present()) {
        status = HidOpenStatus::kNotFound;
        return nullptr;
    }
    status = HidOpenStatus::kOk;
    return std::make_unique<InProcessDevice>(it->endpoint);
}
