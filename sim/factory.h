// The emulated device's factory contents and what its device string says
// about it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "sim/protocol.h"

using SimDeviceString = std::array<char, simwire::kDeviceStringLen>;

// A plausible model-4 device with a recent firmware date: characters 0..2
// "46A" read as model 4, characters 6..11 as the date 240315.
inline constexpr std::string_view kSimDefaultDeviceString = "46AK10240315V1";
inline constexpr std::string_view kSimDefaultDeviceInfoEx = "HW2.1-FW417";

struct SimIdentity {
    int model = 0;  // 1..8; 0 where the host keeps the model it had
    int date = 0;   // YYMMDD from characters 6..11 (leading digits)
};

// Reads the model code (characters 0..2) and the firmware date the way the
// host decodes them.
SimIdentity SimDecodeIdentity(const SimDeviceString& s);

// 1579 for a model-1 device dated before 190821, else 3163.
size_t SimEqUserSize(const SimDeviceString& s);

// The device string from text: cut to 14 bytes, zero padded.
SimDeviceString SimMakeDeviceString(std::string_view text);

// Factory images: every channel flat (ISO band centres, 0 dB, Q 4.32),
// crossovers off, no delay or attenuation; routing of a model-4 device.
// The main image is built at full size and cut to `size`.
std::vector<uint8_t> SimFactoryEqUser(size_t size);
std::vector<uint8_t> SimFactoryEqUser2();
