#include "link/firmware.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "link/commands.h"
#include "model/device_state.h"

std::atomic<uint8_t> g_fwChecksum{0};
std::atomic<uint8_t> g_fwLastChunkSent{0};
TcpFirmwareBlockSlot g_tcpFwBlock;
std::atomic<int> g_allowAnyFirmware{0};

namespace {

struct FirmwareImage {
    std::mutex mutex;
    std::wstring path;
    std::shared_ptr<const std::vector<uint8_t>> file;
};
FirmwareImage g_fw;

std::shared_ptr<const std::vector<uint8_t>> ImageFile()
{
    std::lock_guard<std::mutex> lock(g_fw.mutex);
    return g_fw.file;
}

// Where chunk `index` of chunkBytes lies in the image data (all bytes of
// the file but its last). False when the request cannot be answered.
struct ChunkPlan {
    uint64_t chunks = 0;
    uint64_t offset = 0;
    uint64_t count = 0;
    bool last = false;
};
bool PlanChunk(const std::vector<uint8_t>& file, uint64_t index, uint64_t chunkBytes, ChunkPlan& plan)
{
    plan.chunks = FirmwareChunkCount(file.size(), chunkBytes);
    if (index >= plan.chunks) return false;
    const uint64_t data = file.size() - 1;
    plan.offset = chunkBytes * index;
    plan.last = index == plan.chunks - 1;
    plan.count = plan.last ? data - plan.offset : chunkBytes;
    return true;
}

void MarkLastChunk(const std::vector<uint8_t>& file)
{
    g_fwChecksum.store(file.back());
    g_fwLastChunkSent.store(1);
}

}  // namespace

void SetFirmwareImage(std::wstring path, std::vector<uint8_t> file)
{
    auto shared = std::make_shared<const std::vector<uint8_t>>(std::move(file));
    std::lock_guard<std::mutex> lock(g_fw.mutex);
    g_fw.path = std::move(path);
    g_fw.file = std::move(shared);
}

void ClearFirmwareImage()
{
    std::lock_guard<std::mutex> lock(g_fw.mutex);
    g_fw.path.clear();
    g_fw.file.reset();
}

bool HasFirmwareImage() { return ImageFile() != nullptr; }

std::wstring FirmwarePath()
{
    std::lock_guard<std::mutex> lock(g_fw.mutex);
    return g_fw.path;
}

uint64_t FirmwareImageSize()
{
    auto file = ImageFile();
    return file ? file->size() : 0;
}

void TcpFirmwareBlockSlot::Put(const Block& block)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_block = block;
        m_pending = true;
        ++m_ticket;
    }
    g_tcpTxRing.Wake();  // the sender sleeps on the ring
}

bool TcpFirmwareBlockSlot::Peek(Block& out, uint64_t& ticket) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_pending) return false;
    out = m_block;
    ticket = m_ticket;
    return true;
}

void TcpFirmwareBlockSlot::Done(uint64_t ticket)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (ticket == m_ticket) m_pending = false;
}

void TcpFirmwareBlockSlot::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = false;
}

bool TcpFirmwareBlockSlot::Pending() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending;
}

SendStatus SendFirmwareChunk(uint8_t indexHigh, uint8_t indexLow)
{
    auto file = ImageFile();
    const uint64_t index = indexHigh * 256u + indexLow;
    ChunkPlan plan;
    if (!file || !PlanChunk(*file, index, HID_FW_CHUNK_BYTES, plan)) return SendStatus::kInvalid;

    std::array<uint8_t, 3 + HID_FW_CHUNK_BYTES> payload;
    payload.fill(0xFF);
    payload[0] = CMD_FW_CHUNK;
    payload[1] = indexHigh;
    payload[2] = indexLow;
    std::memcpy(payload.data() + 3, file->data() + plan.offset, plan.count);
    const SendStatus status = SendDeviceCommand(static_cast<uint8_t>(payload.size()), payload.data());
    // A chunk that did not go out is asked for again: it is not yet the last.
    if (status == SendStatus::kQueued && plan.last) MarkLastChunk(*file);
    g_progressPermille.store(index * 1000 / plan.chunks);
    return status;
}

bool QueueTcpFirmwareBlock(uint8_t indexHigh, uint8_t indexLow)
{
    auto file = ImageFile();
    const uint64_t index = indexHigh * 256u + indexLow;
    ChunkPlan plan;
    if (!file || !PlanChunk(*file, index, TCP_FW_CHUNK_BYTES, plan)) return false;

    TcpFirmwareBlockSlot::Block block;
    FillTcpFirmwareBlock(block.data(), static_cast<uint16_t>(index), file->data() + plan.offset, plan.count);
    if (plan.last) MarkLastChunk(*file);
    g_tcpFwBlock.Put(block);
    g_progressPermille.store(index * 1000 / plan.chunks);
    return true;
}

SendStatus SendFirmwareChecksum()
{
    const uint8_t payload[] = {CMD_FW_CHECKSUM, g_fwChecksum.load()};
    return SendDeviceCommand(sizeof payload, payload);
}

void FirmwareLinkLost()
{
    if (g_upgradeMode.exchange(0) != 1) return;
    g_fwLastChunkSent.store(0);
    g_tcpFwBlock.Clear();
    g_progressPermille.store(1000);
}
