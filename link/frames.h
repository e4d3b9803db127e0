// The device protocol's codes and its two framings. Every frame ends with
// the 8-bit sum of its payload; payload[0] is the command or reply code.
//   HidReport (65 bytes): 0 (report id), L, payload[L], sum, rest unused.
//   TcpFrame (L + 3 bytes): 0x5A to the device / 0xA5 from it, L, payload, sum.
//   TcpFirmwareBlock (518 bytes): 0x5A 0xFF 0xFD, index high, low, 512 image
//   bytes, sum of bytes 2..516.
#pragma once

#include <cstddef>
#include <cstdint>

// Commands, PC to device.
constexpr uint8_t CMD_DEVICE_INFO = 1;
constexpr uint8_t CMD_SAVE_PRESET = 13;
constexpr uint8_t CMD_READ_EQUSER = 15;
constexpr uint8_t CMD_SET_SOURCE = 16;
constexpr uint8_t CMD_WRITE_EQUSER = 17;
constexpr uint8_t CMD_WRITE_PRESET_NAME = 18;
constexpr uint8_t CMD_READ_EQUSER2 = 19;
constexpr uint8_t CMD_ENTER_UPGRADE = 20;
constexpr uint8_t CMD_WRITE_EQUSER2 = 22;
constexpr uint8_t CMD_FACTORY_RESET = 23;
constexpr uint8_t CMD_WRITE_CHANNEL_NAME = 25;
constexpr uint8_t CMD_READ_CHANNEL_NAMES = 26;
constexpr uint8_t CMD_SET_NO_SIGNAL_MUTE = 27;
constexpr uint8_t CMD_FW_START = 252;
constexpr uint8_t CMD_FW_CHUNK = 253;
constexpr uint8_t CMD_FW_CHECKSUM = 254;
constexpr uint8_t CMD_FW_DONE = 255;

// While a firmware transfer runs, commands up to this code are dropped.
constexpr uint8_t UPGRADE_GATE_MAX_CODE = 28;

// Operands.
constexpr uint8_t DEVICE_INFO_TAG = 19;       // CMD_DEVICE_INFO's operand, the replies' tag
constexpr uint8_t EQUSER_REQUEST_PAGES = 99;  // sent with every CMD_READ_EQUSER
constexpr uint8_t CURRENT_SETTINGS = 0xFF;    // CMD_READ_EQUSER of the current settings

// Replies, device to PC.
constexpr uint8_t RSP_DEVICE_INFO = 1;
constexpr uint8_t RSP_DEVICE_INFO_EX = 2;
constexpr uint8_t RSP_EQUSER_PAGE = 4;
constexpr uint8_t RSP_SAVE_DONE = 10;
constexpr uint8_t RSP_PRESET_NAME = 13;
constexpr uint8_t RSP_EQUSER2_PAGE = 14;
constexpr uint8_t RSP_CHANNEL_NAME = 15;
constexpr uint8_t RSP_FW_RESTART = 254;
constexpr uint8_t RSP_FW_REQUEST = 255;

// Framing.
constexpr int HID_MAX_PAYLOAD = 62;
constexpr int TCP_TX_MAX_PAYLOAD = 131;
constexpr int TCP_TX_SLOT_LEN = TCP_TX_MAX_PAYLOAD + 3;  // 134
constexpr int TCP_RX_SLOT_LEN = 63;                      // L, then up to 62 payload bytes
constexpr int TCP_RX_MAX_PAYLOAD = 62;
constexpr uint8_t TCP_FRAME_TO_DEVICE = 0x5A;
constexpr uint8_t TCP_FRAME_FROM_DEVICE = 0xA5;
constexpr int TCP_FW_BLOCK_LEN = 518;
constexpr int TCP_FW_CHUNK_BYTES = 512;
constexpr int HID_FW_CHUNK_BYTES = 56;
constexpr int MAX_IMAGE_BLOCK = 58;  // image bytes of one CMD_WRITE_EQUSER(2)

// The sum of the bytes modulo 256.
uint8_t Sum8(const uint8_t* bytes, size_t count);

// Writes the HidReport of the payload into report (its first len + 3 bytes;
// the rest is left as it was). Returns len + 3. len must be at most 62.
int FillHidReport(uint8_t* report, const uint8_t* payload, uint8_t len);
// Writes the TcpFrame of the payload into frame; returns its length len + 3.
int FillTcpFrame(uint8_t* frame, const uint8_t* payload, uint8_t len);
// Writes a whole TcpFirmwareBlock of chunk `index` with count image bytes
// (0xFF after them).
void FillTcpFirmwareBlock(uint8_t* block, uint16_t index, const uint8_t* data, size_t count);

// The payload of a received HidReport (65 bytes) when its length is 1..62
// and its sum holds.
struct Payload {
    const uint8_t* data = nullptr;
    size_t len = 0;
};
bool ReadHidReport(const uint8_t* report, Payload& payload);
