#include "platform/hid/hidraw_backend.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <hidapi.h>

namespace {

class HidrawDevice final : public IHidDevice {
public:
    explicit HidrawDevice(hid_device* dev) : m_dev(dev) {}
    ~HidrawDevice() override { hid_close(m_dev); }
    HidrawDevice(const HidrawDevice&) = delete;
    HidrawDevice& operator=(const HidrawDevice&) = delete;

    int Read(uint8_t* report, int timeoutMs) override
    {
        // hidapi leaves the report id out of input reports of unnumbered
        // devices: read behind it and put it back.
        std::memset(report, 0, HID_REPORT_LEN);
        const int n = hid_read_timeout(m_dev, report + 1, HID_REPORT_LEN - 1, timeoutMs);
        if (n < 0) return -1;
        if (n == 0) return 0;
        return static_cast<int>(HID_REPORT_LEN);
    }

    int Write(const uint8_t* report) override { return hid_write(m_dev, report, HID_REPORT_LEN); }

private:
    hid_device* m_dev;
};

}  // namespace

HidrawBackend::HidrawBackend() : m_ready(hid_init() == 0) {}

HidrawBackend::~HidrawBackend()
{
    if (m_ready) hid_exit();
}

std::vector<HidDeviceInfo> HidrawBackend::Enumerate(uint16_t vendorId)
{
    std::vector<HidDeviceInfo> found;
    if (!m_ready) return found;
    hid_device_info* list = hid_enumerate(vendorId, 0);
    for (const hid_device_info* d = list; d != nullptr; d = d->next) {
        if (d->path == nullptr) continue;
        found.push_back({d->path, d->vendor_id, d->product_id});
    }
    hid_free_enumeration(list);
    return found;
}

std::unique_ptr<IHidDevice> HidrawBackend::Open(const std::string& path, HidOpenStatus& status)
{
    if (!m_ready) {
        status = HidOpenStatus::kFailed;
        return nullptr;
    }
    if (hid_device* dev = hid_open_path(path.c_str())) {
        hid_set_nonblocking(dev, 0);
        status = HidOpenStatus::kOk;
        return std::make_unique<HidrawDevice>(dev);
    }
    // hidapi keeps errno only in its message text: ask the node itself.
    if (access(path.c_str(), F_OK) != 0) status = HidOpenStatus::kNotFound;
    else if (access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM))
        status = HidOpenStatus::kPermissionDenied;
    else status = HidOpenStatus::kFailed;
    return nullptr;
}
