// What the connected device reports. Link threads write these and the UI
// reads them, so scalars are atomics; the byte strings are published whole
// under a lock (see DeviceText).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

// InputSource codes (g_inputSource). The user picks 1, 2, 3, 5 or 9; 4 and
// 6 come only from the device; any other code reads "Invalid".
enum InputSource : int {
    kSourceHighLevel = 1,
    kSourceLowLevel = 2,
    kSourceBluetooth = 3,
    kSourceAnalogBtAux2 = 4,
    kSourceOptical = 5,
    kSourceAux1Aux2 = 6,
    kSourceUsb = 9,
};

// Device model 1..8 (starts at 4); the model picker and the device-info
// decoder write it.
constexpr int kStartDeviceModel = 4;  // the model the window lays out before the device tells its own
extern std::atomic<int> g_deviceModel;
extern std::atomic<int> g_firmwareDate;  // YYMMDD, 0 until decoded
extern std::atomic<int> g_inputSource;   // InputSource code, starts at kSourceHighLevel
extern std::atomic<int> g_saveSlot;
extern std::atomic<int> g_presetSlot;
extern std::atomic<uint8_t> g_deviceOptions;
extern std::atomic<uint8_t> g_noSignalMute;
extern uint8_t g_noAux34;  // UI thread only: copy of option bit 6

// Link flags. g_usbConnected is 1 only while both HID handles are open.
extern std::atomic<int> g_usbConnected;
extern std::atomic<uint8_t> g_deviceInfoReceived;    // the device identified itself
extern std::atomic<uint8_t> g_deviceInfoExReceived;  // g_deviceInfoEx was filled
extern std::atomic<uint8_t> g_upgradeMode;           // a firmware transfer runs
extern std::atomic<uint64_t> g_progressPermille;     // 0..1000 of an import or transfer
extern std::atomic<int> g_importWatchdogTicks;       // watchdog ticks since the last EqUser page

// A fixed-size byte string that one thread replaces whole and others read
// whole, never torn.
template <size_t N>
class DeviceText {
public:
    std::array<char, N> Get() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }
    void Set(const char* bytes, size_t n)
    {
        std::array<char, N> copy{};
        for (size_t i = 0; i < n && i < N; ++i) copy[i] = bytes[i];
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bytes = copy;
    }
    void Clear() { Set("", 0); }

private:
    mutable std::mutex m_mutex;
    std::array<char, N> m_bytes{};
};

extern DeviceText<14> g_deviceString;
extern DeviceText<11> g_deviceInfoEx;
constexpr int kPresetSlots = 8;          // the device's preset slots 0..7
constexpr size_t kNameRecordBytes = 20;  // a preset or channel name as the device keeps it
extern DeviceText<kNameRecordBytes> g_presetNames[kPresetSlots];
extern DeviceText<kNameRecordBytes> g_deviceChannelNames[12];
