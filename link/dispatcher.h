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
// link, an import given up) and lifts the fence.
void BeginEqUserRead();
void BeginEqUser2Read();
void RestartImageReads();

// The fence of a read: FenceImageReads, then a CMD_DEVICE_INFO, then the
// read request. Pages of either image are dropped (neither stored nor
// counted) until the device has answered, on link, every CMD_DEVICE_INFO
// queued there up to the fence's. The link is ordered, so once that reply
// is in, every page of an earlier read is in too: pages of one read never
// count in another. The counts are of CMD_DEVICE_INFO queued (keep-alives
// too) and RSP_DEVICE_INFO received.
void CountDeviceInfoAsked(LinkKind link);
// A new connection on link: nothing asked before it will be answered.
void ResetDeviceInfoCounts(LinkKind link);
// Requests that went unanswered (a reply lost on the way) are forgotten, so
// that a fence raised next waits only for what is asked from now on.
void ForgetUnansweredDeviceInfo(LinkKind link);
// newRead: a read begins (not a resend of the one under way).
void FenceImageReads(LinkKind link, bool newRead);
// The fence is up: no page of the read under way was taken yet.
bool ImageReadsFenced();
// Pages dropped by the fence hold the watchdog's count (the device is busy
// with an earlier read), up to this many per read, resends included: a
// device that floods pages is given up all the same. True once per tick
// when such a page came since the last call.
constexpr int kFencedPagesHoldingOff = 512;
bool TakeFencedPagesSeen();

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
