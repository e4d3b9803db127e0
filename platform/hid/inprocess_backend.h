// HID devices that live in this process: each plugged endpoint shows up in
// Enumerate under a path of its own ("inproc:<n>") while it is present.
// Thread-safe; endpoints are called from the threads of whoever opened them.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/hid/hid_backend.h"
#include "platform/hid/hid_endpoint.h"

class InProcessHidBackend final : public IHidBackend {
public:
    // Registers the endpoint and returns its path. An endpoint whose
    // Present() turns false is no longer enumerated or opened.
    std::string Plug(std::shared_ptr<IHidDeviceEndpoint> endpoint);
    // Forgets the endpoint of the path (handles already open keep it alive
    // and see whatever the endpoint reports).
    void Unplug(const std::string& path);

    std::vector<HidDeviceInfo> Enumerate(uint16_t vendorId) override;
    std::unique_ptr<IHidDevice> Open(const std::string& path, HidOpenStatus& status) override;

private:
    struct Entry {
        std::string path;
        std::shared_ptr<IHidDeviceEndpoint> endpoint;
    };
    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    int m_nextId = 0;
};
