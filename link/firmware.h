// The firmware image of a transfer and the chunk answers to the loader's
// requests: CMD_FW_CHUNK over HID (56 image bytes), a TcpFirmwareBlock over
// TCP (512 bytes). The UI thread chooses the image; the reply parsers read
// it and free it at the end of a transfer, so it lives behind a lock.
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "link/commands.h"
#include "model/firmware_file.h"

// file: the whole image file, its last byte the 8-bit sum of the others.
void SetFirmwareImage(std::wstring path, std::vector<uint8_t> file);
// Empties the path and frees the image.
void ClearFirmwareImage();
bool HasFirmwareImage();
std::wstring FirmwarePath();
uint64_t FirmwareImageSize();  // bytes of the file, 0 without one

// The largest image file a loader can take: chunk indexes are two bytes
// and 0xFFFF ends the transfer, so 0xFFFF chunks at most, of 512 bytes over
// TCP (56 over HID), and the checksum byte.
constexpr uint64_t kFirmwareMaxChunks = 0xFFFF;
constexpr uint64_t kFirmwareFileMaxBytes =
    kFirmwareMaxChunks * static_cast<uint64_t>(std::max(TCP_FW_CHUNK_BYTES, HID_FW_CHUNK_BYTES)) + 1;

extern std::atomic<uint8_t> g_fwChecksum;       // the file's last byte
extern std::atomic<uint8_t> g_fwLastChunkSent;  // the last chunk has gone out

// The TcpFirmwareBlock waiting for the TCP sender: one block at a time.
class TcpFirmwareBlockSlot {
public:
    using Block = std::array<uint8_t, TCP_FW_BLOCK_LEN>;
    void Put(const Block& block);
    // Copies the waiting block; ticket names it for Done.
    bool Peek(Block& out, uint64_t& ticket) const;
    // The block of ticket was sent (or given up): no longer pending, unless
    // a newer block has been put meanwhile.
    void Done(uint64_t ticket);
    // Drops a waiting block.
    void Clear();
    bool Pending() const;

private:
    mutable std::mutex m_mutex;
    Block m_block{};
    bool m_pending = false;
    uint64_t m_ticket = 0;
};
extern TcpFirmwareBlockSlot g_tcpFwBlock;

// Answer to a chunk request. A request for a chunk past the image, or
// without an image, is not answered.
SendStatus SendFirmwareChunk(uint8_t indexHigh, uint8_t indexLow);
bool QueueTcpFirmwareBlock(uint8_t indexHigh, uint8_t indexLow);
SendStatus SendFirmwareChecksum();

// 1 while the loader itself asks for an image: any known image name passes.
extern std::atomic<int> g_allowAnyFirmware;

// The link went away: a transfer that ran is over (g_upgradeMode cleared,
// the TCP block dropped, the progress at its end) while the chosen image
// stays, so that the loader's return starts the transfer again with it.
void FirmwareLinkLost();
