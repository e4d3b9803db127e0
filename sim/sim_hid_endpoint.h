// The emulated amplifier as a USB HID device: the host writes and reads
// 64-byte reports (no report id) through IHidDeviceEndpoint.
//
// Restarts (entering the loader, the end of a firmware transfer, a factory
// reset) take the device off the bus for SimFaults::restartTime: Present()
// is false and HostRead returns -1 meanwhile, and the first HostRead after a
// restart or an unplug returns -1 even when the device is back already. The
// backend must take -1 as a removal and enumerate again: the device then
// shows the loader's product id or the normal one.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/hid/hid_endpoint.h"
#include "sim/device.h"
#include "sim/framing.h"

class SimHidEndpoint : public IHidDeviceEndpoint {
public:
    // The ids default to the configured ones (HID_VENDOR_ID,
    // HID_PRODUCT_ID_APP, HID_PRODUCT_ID_LOADER), which reach the compiler as
    // TARVEL_HID_VENDOR_ID and so on.
#if defined(TARVEL_HID_VENDOR_ID) && defined(TARVEL_HID_PRODUCT_ID_APP) && defined(TARVEL_HID_PRODUCT_ID_LOADER)
    explicit SimHidEndpoint(SimDevice& device, uint16_t vendorId = TARVEL_HID_VENDOR_ID,
                            uint16_t appProductId = TARVEL_HID_PRODUCT_ID_APP,
                            uint16_t loaderProductId = TARVEL_HID_PRODUCT_ID_LOADER);
#else
    SimHidEndpoint(SimDevice& device, uint16_t vendorId, uint16_t appProductId, uint16_t loaderProductId);
#endif

    uint16_t VendorId() const override { return vendorId_; }
    uint16_t ProductId() const override;
    bool Present() const override;
    void HostWrite(const uint8_t* report, size_t len) override;
    int HostRead(uint8_t* report, size_t len, int timeoutMs) override;

    // The cable: unplugging drops what was not read yet; plugging in starts
    // a new session (the next device info brings the preset names again).
    void Unplug();
    void Plug();

private:
    using Clock = SimReplyQueue::Clock;
    void PumpLocked(Clock::time_point now) const;
    void GoAwayLocked(Clock::time_point now) const;

    SimDevice& device_;
    const uint16_t vendorId_, appProductId_, loaderProductId_;

    mutable std::mutex mutex_;
    mutable std::condition_variable wake_;
    mutable SimReplyQueue queue_;
    mutable SimSession session_{SimLink::Hid};
    mutable uint32_t generation_;
    mutable bool plugged_ = true;
    mutable bool goneUnreported_ = false;
    mutable Clock::time_point backAt_{};
};
