#include "link/commands.h"

#include <array>
#include <cstring>
#include <mutex>

#include "link/dialog_port.h"
#include "link/dispatcher.h"
#include "link/image_lock.h"
#include "model/device_state.h"
#include "model/eq_images.h"

HidRing g_hidTxRing;
HidRing g_hidRxRing;
TcpTxRing g_tcpTxRing;
TcpRxRing g_tcpRxRing;
std::mutex g_imageMutex;

namespace {

bool Gated(const uint8_t* payload) { return g_upgradeMode.load() == 1 && payload[0] <= UPGRADE_GATE_MAX_CODE; }

SendStatus SendImageBlock(uint8_t code, const uint8_t* image, unsigned size, unsigned offset, unsigned n)
{
    if (n > MAX_IMAGE_BLOCK || offset > size || n > size - offset) return SendStatus::kInvalid;
    std::array<uint8_t, MAX_IMAGE_BLOCK + 4> payload{};
    payload[0] = code;
    payload[1] = static_cast<uint8_t>(offset >> 8);
    payload[2] = static_cast<uint8_t>(offset);
    payload[3] = static_cast<uint8_t>(n);
    {
        std::lock_guard<std::mutex> lock(g_imageMutex);
        std::memcpy(payload.data() + 4, image + offset, n);
    }
    return SendDeviceCommand(static_cast<uint8_t>(n + 4), payload.data());
}

template <size_t N>
SendStatus SendName(uint8_t code, int index, const DeviceText<N>& name)
{
    std::array<uint8_t, N + 2> payload{};
    payload[0] = code;
    payload[1] = static_cast<uint8_t>(index);
    const auto bytes = name.Get();
    std::memcpy(payload.data() + 2, bytes.data(), N);
    return SendDeviceCommand(static_cast<uint8_t>(N + 2), payload.data());
}

}  // namespace

SendStatus SendDeviceCommand(uint8_t len, const uint8_t* payload)
{
    return SendDeviceCommandOn(SendLink(), len, payload);
}

LinkKind SendLink() { return g_usbConnected.load() == 1 ? LinkKind::kHid : LinkKind::kTcp; }

SendStatus SendDeviceCommandOn(LinkKind link, uint8_t len, const uint8_t* payload)
{
    if (len == 0) return SendStatus::kInvalid;
    if (link == LinkKind::kHid) return QueueHidReport(len, payload);
    if (Gated(payload)) return SendStatus::kGated;
    if (len > TCP_TX_MAX_PAYLOAD) {
        DialogPort().ShowMessageOnUi(L"串口发送buff越界\xFF1A 1234", 0);
        return SendStatus::kTooLong;
    }
    const bool queued = g_tcpTxRing.Push([&](uint8_t* slot) { return FillTcpFrame(slot, payload, len); });
    return queued ? SendStatus::kQueued : SendStatus::kRingFull;
}

SendStatus QueueHidReport(uint8_t len, const uint8_t* payload)
{
    if (len == 0) return SendStatus::kInvalid;
    if (Gated(payload)) return SendStatus::kGated;
    if (len > HID_MAX_PAYLOAD) {
        DialogPort().ShowMessageOnUi(L"USB发送buff越界!", 0);
        return SendStatus::kTooLong;
    }
    const bool queued = g_hidTxRing.Push([&](uint8_t* slot) { return FillHidReport(slot, payload, len); });
    return queued ? SendStatus::kQueued : SendStatus::kRingFull;
}

SendStatus SendDeviceInfoRequest()
{
    const uint8_t payload[] = {CMD_DEVICE_INFO, DEVICE_INFO_TAG};
    // Counted before it leaves, on the link it leaves on: the reply may
    // come back before the queue returns.
    const LinkKind link = SendLink();
    CountDeviceInfoAsked(link);
    const SendStatus status = SendDeviceCommandOn(link, sizeof payload, payload);
    if (status != SendStatus::kQueued) CountDeviceInfoAsked(link, -1);
    return status;
}

SendStatus RequestEqUser(uint8_t fromPreset)
{
    return RequestEqUserOf(fromPreset == 1 ? static_cast<uint8_t>(g_presetSlot.load()) : CURRENT_SETTINGS);
}

SendStatus RequestEqUserOf(uint8_t slot)
{
    const uint8_t payload[] = {CMD_READ_EQUSER, EQUSER_REQUEST_PAGES, slot};
    BeginEqUserRead();  // before the first page can come back
    const LinkKind link = SendLink();
    CountPagesAsked(link, false, EqUserReadPages());
    const SendStatus status = SendDeviceCommandOn(link, sizeof payload, payload);
    if (status != SendStatus::kQueued) CountPagesAsked(link, false, -EqUserReadPages());
    return status;
}

SendStatus RequestEqUser2()
{
    BeginEqUser2Read();
    const uint8_t code = CMD_READ_EQUSER2;
    const LinkKind link = SendLink();
    CountPagesAsked(link, true, EqUser2ReadPages());
    const SendStatus status = SendDeviceCommandOn(link, 1, &code);
    if (status != SendStatus::kQueued) CountPagesAsked(link, true, -EqUser2ReadPages());
    return status;
}

SendStatus RequestChannelNames() { return SendShortCommand(CMD_READ_CHANNEL_NAMES); }

SendStatus SendShortCommand(uint8_t code) { return SendDeviceCommand(1, &code); }

SendStatus SendInputSource()
{
    const uint8_t payload[] = {CMD_SET_SOURCE, static_cast<uint8_t>(g_inputSource.load())};
    return SendDeviceCommand(sizeof payload, payload);
}

SendStatus SendNoSignalMuteToggle()
{
    const uint8_t payload[] = {CMD_SET_NO_SIGNAL_MUTE, static_cast<uint8_t>(g_noSignalMute.load() == 0 ? 1 : 0)};
    return SendDeviceCommand(sizeof payload, payload);
}

SendStatus SendEqUserBlock(unsigned offset, unsigned n)
{
    return SendImageBlock(CMD_WRITE_EQUSER, g_eqUser, EQ_USER_PARA_NUM, offset, n);
}

SendStatus SendEqUser2Block(unsigned offset, unsigned n)
{
    return SendImageBlock(CMD_WRITE_EQUSER2, g_eqUser2, SAVE_PARA_2_END, offset, n);
}

SendStatus SendPresetName()
{
    const int slot = g_presetSlot.load();
    if (slot < 0 || slot >= kPresetSlots) return SendStatus::kInvalid;
    return SendName(CMD_WRITE_PRESET_NAME, slot, g_presetNames[slot]);
}

SendStatus SendChannelName(int channel)
{
    if (channel < 0 || channel >= 12) return SendStatus::kInvalid;
    return SendName(CMD_WRITE_CHANNEL_NAME, channel, g_deviceChannelNames[channel]);
}

SendStatus SendSavePreset(int slot)
{
    if (slot < 0 || slot >= kPresetSlots) return SendStatus::kInvalid;
    const uint8_t payload[] = {CMD_SAVE_PRESET, static_cast<uint8_t>(slot)};
    return SendDeviceCommand(sizeof payload, payload);
}
