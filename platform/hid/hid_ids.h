// The amplifier's USB ids, fixed at configure time.
#pragma once

#include <cstdint>

#ifndef TARVEL_HID_VENDOR_ID
#error "TARVEL_HID_VENDOR_ID is set by platform/hid/CMakeLists.txt"
#endif

constexpr uint16_t HID_VENDOR_ID = TARVEL_HID_VENDOR_ID;
constexpr uint16_t HID_PRODUCT_ID_APP = TARVEL_HID_PRODUCT_ID_APP;
constexpr uint16_t HID_PRODUCT_ID_LOADER = TARVEL_HID_PRODUCT_ID_LOADER;
