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
// progress, and the progress runs over both images, EqUser's pages first:
// the last page of EqUser2 makes it 1000. A request begins a read once the
// last one is done (a resend keeps the pages it has); pages while no read is
// under way are stored but count for nothing. RestartImageReads ends every read (a new import, a lost
// link, an import given up) and lifts the fence.
// The pages a read brings: EqUser in pages of 32 bytes (GetEqUserSize),
// EqUser2 in pages of 56.
int EqUserReadPages();
int EqUser2ReadPages();
void BeginEqUserRead();
void BeginEqUser2Read();
void RestartImageReads();

// What the device owes on each link, and the fence of a read. The ledger
// counts the CMD_DEVICE_INFO asked and answered and the pages of each image
// asked and received; a page received twice, or one nobody asked for, makes
// it uncertain. A read is opened (OpenImageRead) only once the device owes
// nothing, or has been quiet long enough that nothing more is coming: the
// ledger then starts afresh, so that a reply lost, late or doubled before
// it never counts in a later read. Opening raises the fence: then a
// CMD_DEVICE_INFO, then the read request; pages of either image are dropped
// (neither stored nor counted) until the device has answered that
// CMD_DEVICE_INFO, on the read's link. The link is ordered, so a page the
// device sent before it can never count in the read.
// Counted before the request is queued (its reply may come back first);
// -1 takes back one that could not be queued.
void CountDeviceInfoAsked(LinkKind link, int n = 1);
// routing: EqUser2; pages: how many the request asks for (negative: a
// request that could not be queued taken back).
void CountPagesAsked(LinkKind link, bool routing, int pages);
// A new connection on link: nothing asked before it will be answered.
void ResetDeviceLedger(LinkKind link);
// Every CMD_DEVICE_INFO answered and every page asked for in, each once.
bool DeviceOwesNothing(LinkKind link);
// A CMD_DEVICE_INFO on link waits for its reply.
bool DeviceInfoUnanswered(LinkKind link);
// Starts the ledger of link afresh and raises the fence; newRead: a read
// begins (not a resend of the one under way).
void OpenImageRead(LinkKind link, bool newRead);
// The fence is up: no page of the read under way was taken yet.
bool ImageReadsFenced();
// What came from link since the last look: a frame of any kind but an
// RSP_DEVICE_INFO tells that the device is not silent, a page new to the
// read that it goes on. Frames that bring no new page count up to this many
// per read, resends included, so that a device that floods is given up all
// the same.
constexpr int kHeardFramesHoldingOff = 512;
enum class DeviceHeard { kNothing, kFrame, kNewPage };
DeviceHeard TakeDeviceHeard(LinkKind link);
// The steady clock (ns) of the last frame of any kind from link; 0: none.
int64_t LastDeviceFrameNs(LinkKind link);

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
