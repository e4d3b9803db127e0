#include "model/device_state.h"

std::atomic<int> g_deviceModel{kStartDeviceModel};
std::atomic<int> g_firmwareDate{0};
std::atomic<int> g_inputSource{kSourceHighLevel};
std::atomic<int> g_saveSlot{0};
std::atomic<int> g_presetSlot{0};
std::atomic<uint8_t> g_deviceOptions{0};
std::atomic<uint8_t> g_noSignalMute{0};
uint8_t g_noAux34 = 0;

std::atomic<int> g_usbConnected{0};
std::atomic<uint8_t> g_deviceInfoReceived{0};
std::atomic<uint8_t> g_deviceInfoExReceived{0};
std::atomic<uint8_t> g_upgradeMode{0};
std::atomic<uint64_t> g_progressPermille{0};
std::atomic<int> g_importWatchdogTicks{0};

DeviceText<14> g_deviceString;
DeviceText<11> g_deviceInfoEx;
DeviceText<kNameRecordBytes> g_presetNames[kPresetSlots];
DeviceText<kNameRecordBytes> g_deviceChannelNames[12];
