// The link set to reach the emulated amplifier over the in-process HID
// backend, with TCP on loopback and no network. No test framework here: the
// benchmarks use it too.
#pragma once

#include <memory>
#include <string_view>

#include "app/main_link.h"
#include "platform/hid/inprocess_backend.h"
#include "sim/device.h"
#include "sim/sim_hid_endpoint.h"

inline void LinkToSimOverHid(LinkSetup& setup, InProcessHidBackend& backend, SimDevice& device)
{
    backend.Plug(std::make_shared<SimHidEndpoint>(device));
    setup.hidBackend = &backend;
    setup.tcp.address = "127.0.0.1";
    setup.tcp.networkAlive = [](std::string_view) { return false; };
}
