// The reply dispatcher: applies the device's replies to the device-state
// globals and the images, answers the firmware loader and tells the main
// dialog. Runs on the parser threads, one per link.
#pragma once

#include <cstddef>
#include <cstdint>

enum class LinkKind { kHid, kTcp };

// Pages of EqUser and EqUser2 are counted per read: WM_PARAM_IMAGE_RECEIVED
// and WM_ROUTING_IMAGE_RECEIVED go out once every page of the image is in,
// whatever the order, and once per read; only a page new to the read is
// progress. A request begins a read once the last one is done (a resend
// keeps the pages it has); pages while no read is under way are stored but
// count for nothing. RestartImageReads ends every read (a new import, a lost
// link, an import given up).
void BeginEqUserRead();
void BeginEqUser2Read();
void RestartImageReads();

// g_deviceModel and g_firmwareDate from g_deviceString.
void DecodeDeviceModel();

// One reply: payload[0] is the code, len the payload length L. A reply
// shorter than its operands is dropped; unknown codes are ignored.
void DispatchReply(LinkKind link, const uint8_t* payload, size_t len);

// A received HidReport (65 bytes): dropped unless 1 <= L <= 62 and the sum
// holds, else dispatched.
void ParseHidReport(const uint8_t* report);
// A TCP receive slot (L, then the payload), already checked by the framer.
void ParseTcpSlot(const uint8_t* slot);
