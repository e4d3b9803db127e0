#include "link/frames.h"

#include <cstring>

uint8_t Sum8(const uint8_t* bytes, size_t count)
{
    unsigned sum = 0;
    for (size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

int FillHidReport(uint8_t* report, const uint8_t* payload, uint8_t len)
{
    report[0] = 0;
    report[1] = len;
    std::memcpy(report + 2, payload, len);
    report[2 + len] = Sum8(payload, len);
    return len + 3;
}

int FillTcpFrame(uint8_t* frame, const uint8_t* payload, uint8_t len)
{
    frame[0] = TCP_FRAME_TO_DEVICE;
    frame[1] = len;
    std::memcpy(frame + 2, payload, len);
    frame[2 + len] = Sum8(payload, len);
    return len + 3;
}

void FillTcpFirmwareBlock(uint8_t* block, uint16_t index, const uint8_t* data, size_t count)
{
    std::memset(block, 0xFF, TCP_FW_BLOCK_LEN);
    block[0] = TCP_FRAME_TO_DEVICE;
    block[1] = 0xFF;
    block[2] = CMD_FW_CHUNK;
    block[3] = static_cast<uint8_t>(index >> 8);
    block[4] = static_cast<uint8_t>(index);
    if (count > TCP_FW_CHUNK_BYTES) count = TCP_FW_CHUNK_BYTES;
    if (count > 0) std::memcpy(block + 5, data, count);
    block[TCP_FW_BLOCK_LEN - 1] = Sum8(block + 2, TCP_FW_BLOCK_LEN - 3);
}

bool ReadHidReport(const uint8_t* report, Payload& payload)
{
    const uint8_t len = report[1];
    if (len == 0 || len > HID_MAX_PAYLOAD) return false;
    if (Sum8(report + 2, len) != report[2 + len]) return false;
    payload = {report + 2, len};
    return true;
}
