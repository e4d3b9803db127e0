// A HID device as the in-process backend sees it: the peer side of one
// device (the emulated amplifier implements it). Reports are the 64-byte
// view hidapi gives, without the report-id byte.
#pragma once

#include <cstddef>
#include <cstdint>

class IHidDeviceEndpoint {
public:
    virtual ~IHidDeviceEndpoint() = default;
    virtual uint16_t VendorId() const = 0;
    virtual uint16_t ProductId() const = 0;
    // False once the device has been unplugged.
    virtual bool Present() const = 0;
    // One output report from the host: 64 bytes, report id already removed.
    virtual void HostWrite(const uint8_t* report, size_t len) = 0;
    // Waits up to timeoutMs for the next input report (64 bytes) and copies
    // it; returns its length, 0 on timeout, -1 when the device is gone.
    virtual int HostRead(uint8_t* report, size_t len, int timeoutMs) = 0;
};
