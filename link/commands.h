// The command layer: every command leaves through SendDeviceCommand, which
// picks the link (HID while g_usbConnected, else TCP), applies the upgrade
// gate and the length limit, frames the payload and queues it in that
// link's send ring. One builder per command.
#pragma once

#include <cstdint>

#include "link/dispatcher.h"
#include "link/frame_ring.h"
#include "link/frames.h"
#include "platform/hid/hid_backend.h"

using HidRing = FrameRing<HID_REPORT_LEN>;
using TcpTxRing = FrameRing<TCP_TX_SLOT_LEN>;
using TcpRxRing = FrameRing<TCP_RX_SLOT_LEN>;

// Send rings (filled here) and receive rings (filled by the transports).
// A TCP send slot holds a TcpFrame, its len the frame length (0 = skip);
// a TCP receive slot holds L, then the payload.
extern HidRing g_hidTxRing;
extern HidRing g_hidRxRing;
extern TcpTxRing g_tcpTxRing;
extern TcpRxRing g_tcpRxRing;

enum class SendStatus {
    kQueued,
    kGated,     // dropped by the upgrade gate
    kTooLong,   // over the link's payload limit (a box tells the user)
    kRingFull,  // 49 frames wait already: try again later
    kInvalid,   // no code, or an operand outside what the device holds
};

// len is taken as an 8-bit count; payload[0] is the code.
SendStatus SendDeviceCommand(uint8_t len, const uint8_t* payload);
// The link SendDeviceCommand picks now, and the command sent on that one.
LinkKind SendLink();
SendStatus SendDeviceCommandOn(LinkKind link, uint8_t len, const uint8_t* payload);
// The HID half: gate, limit 62, a HidReport into g_hidTxRing.
SendStatus QueueHidReport(uint8_t len, const uint8_t* payload);

SendStatus SendDeviceInfoRequest();
// CMD_READ_EQUSER of preset g_presetSlot when fromPreset is 1, else of the
// current settings.
SendStatus RequestEqUser(uint8_t fromPreset);
// CMD_READ_EQUSER of preset slot (CURRENT_SETTINGS: the current settings).
SendStatus RequestEqUserOf(uint8_t slot);
SendStatus RequestEqUser2();
SendStatus RequestChannelNames();
SendStatus SendShortCommand(uint8_t code);
SendStatus SendInputSource();
// Asks for the opposite of the state the device last reported.
SendStatus SendNoSignalMuteToggle();
// n image bytes from offset; n over 58 (or a block past the image) sends
// nothing. Copies the bytes under g_imageMutex: do not hold it when calling.
// A caller that updated its shadow before sending restores it unless the
// result is kQueued (kGated excepted, which is never resent).
SendStatus SendEqUserBlock(unsigned offset, unsigned n);
SendStatus SendEqUser2Block(unsigned offset, unsigned n);
// The name of g_presetSlot / of the channel being renamed.
SendStatus SendPresetName();
SendStatus SendChannelName(int channel);

// Stores the current tuning into preset slot; the synchronisation timers
// send it once the device holds both images (SyncTimers::RequestSavePreset).
SendStatus SendSavePreset(int slot);
