// The system's HID devices through hidapi's hidraw library. hidapi has no
// arrival notification, so callers poll Enumerate; a removed device shows as
// a read error.
#pragma once

#include "platform/hid/hid_backend.h"

class HidrawBackend final : public IHidBackend {
public:
    HidrawBackend();
    ~HidrawBackend() override;
    HidrawBackend(const HidrawBackend&) = delete;
    HidrawBackend& operator=(const HidrawBackend&) = delete;

    std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId) override;
    std::unique_ptr<IHidDevice> Open(const std::string& path, HidOpenStatus& status) override;

private:
    bool m_ready = false;
};
