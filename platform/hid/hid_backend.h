// A source of HID devices: enumerate by vendor id, open by path, exchange
// 65-byte reports (report id first) and close. The hidraw backend talks to
// the system; the in-process backend serves registered endpoints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

constexpr size_t HID_REPORT_LEN = 65;

struct HidDeviceInfo {
    std::string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

enum class HidOpenStatus {
    kOk,
    kNotFound,          // gone, or never there
    kPermissionDenied,  // the device node exists but this user may not open it
    kFailed,
};

// One open handle. Read may run on one thread beside the other calls; every
// other call on a handle stays on one thread. Closing is destruction.
class IHidDevice {
public:
    virtual ~IHidDevice() = default;
    // Waits up to timeoutMs for an input report and stores it as 65 bytes,
    // report id 0 first. Returns 65, 0 on timeout, -1 when the device is gone.
    virtual int Read(uint8_t* report, int timeoutMs) = 0;
    // Writes one 65-byte output report (report id first). Returns the bytes
    // written, -1 on failure.
    virtual int Write(const uint8_t* report) = 0;
};

class IHidBackend {
public:
    virtual ~IHidBackend() = default;
    // Present devices of the vendor, in the system's order.
    virtual std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId) = 0;
    // Nullptr on failure, with the reason in status.
    virtual std::unique_ptr<IHidDevice> Open(const std::string& path, HidOpenStatus& status) = 0;
};
