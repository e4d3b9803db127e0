// Wire constants of the amplifier protocol as the emulated device sees them:
// command and reply codes, the two framings and the image sizes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace simwire {

// Commands from the host.
inline constexpr uint8_t CMD_DEVICE_INFO = 1;
inline constexpr uint8_t CMD_SAVE_PRESET = 13;
inline constexpr uint8_t CMD_READ_EQUSER = 15;
inline constexpr uint8_t CMD_SET_SOURCE = 16;
inline constexpr uint8_t CMD_WRITE_EQUSER = 17;
inline constexpr uint8_t CMD_WRITE_PRESET_NAME = 18;
inline constexpr uint8_t CMD_READ_EQUSER2 = 19;
inline constexpr uint8_t CMD_ENTER_UPGRADE = 20;
inline constexpr uint8_t CMD_WRITE_EQUSER2 = 22;
inline constexpr uint8_t CMD_FACTORY_RESET = 23;
inline constexpr uint8_t CMD_WRITE_CHANNEL_NAME = 25;
inline constexpr uint8_t CMD_READ_CHANNEL_NAMES = 26;
inline constexpr uint8_t CMD_SET_NO_SIGNAL_MUTE = 27;
inline constexpr uint8_t CMD_FW_START = 252;
inline constexpr uint8_t CMD_FW_CHUNK = 253;
inline constexpr uint8_t CMD_FW_CHECKSUM = 254;
inline constexpr uint8_t CMD_FW_DONE = 255;

// Replies from the device.
inline constexpr uint8_t RSP_DEVICE_INFO = 1;
inline constexpr uint8_t RSP_DEVICE_INFO_EX = 2;
inline constexpr uint8_t RSP_EQUSER_PAGE = 4;
inline constexpr uint8_t RSP_SAVE_DONE = 10;
inline constexpr uint8_t RSP_PRESET_NAME = 13;
inline constexpr uint8_t RSP_EQUSER2_PAGE = 14;
inline constexpr uint8_t RSP_CHANNEL_NAME = 15;
inline constexpr uint8_t RSP_FW_RESTART = 254;
inline constexpr uint8_t RSP_FW_REQUEST = 255;

inline constexpr uint8_t kInfoTag = 19;  // operand of device info (both ways)
inline constexpr uint16_t kFwRequestDone = 0xFFFF;

// HID: 64-byte reports without the report id: L, L payload bytes, sum.
inline constexpr size_t kHidReportLen = 64;
inline constexpr size_t kHidMaxPayload = 62;

// TCP: marker, L, payload, sum.
inline constexpr uint8_t kTcpToDevice = 0x5A;
inline constexpr uint8_t kTcpFromDevice = 0xA5;
inline constexpr size_t kTcpMaxHostPayload = 131;
inline constexpr size_t kTcpMaxDevicePayload = 62;
// A firmware block stands 0xFF where a frame has its length: 0x5A 0xFF 0xFD
// index-high index-low, 512 image bytes, sum of bytes 2..516.
inline constexpr uint8_t kTcpBlockLengthMark = 0xFF;
inline constexpr size_t kTcpBlockLen = 518;

inline constexpr size_t kHidChunk = 56;
inline constexpr size_t kTcpChunk = 512;

// Images.
inline constexpr size_t kEqUserSize = 3163;
inline constexpr size_t kEqUserShortSize = 1579;  // model 1 before firmware 190821
inline constexpr int kEqUserFullDate = 190821;
inline constexpr size_t kEqUser2Size = 405;
inline constexpr size_t kEqUserPage = 32;
inline constexpr size_t kEqUser2Page = 56;
inline constexpr size_t kMaxWriteBlock = 58;

inline constexpr size_t kNameLen = 20;
inline constexpr int kPresetSlots = 8;
inline constexpr int kChannels = 12;
inline constexpr size_t kDeviceStringLen = 14;
inline constexpr size_t kDeviceInfoExLen = 11;

// Option bits of the device-info reply.
inline constexpr uint8_t kOptNoSignalMute = 0x01;
inline constexpr uint8_t kOptNoAux34 = 0x40;

inline uint8_t Sum8(const uint8_t* p, size_t n)
{
    unsigned s = 0;
    for (size_t i = 0; i < n; ++i) s += p[i];
    return static_cast<uint8_t>(s);
}

}  // namespace simwire
