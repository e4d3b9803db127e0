// What the two device-preset dialogs share: the slot selector (string 211
// "Default" for slot 0, then "1".."6") and the stored names, decoded from
// their 20-byte records.
#pragma once

#include <array>
#include <string>

#include "model/device_presets.h"
#include "platform/controls.h"

using PresetNameRecords = char[kPresetSlots][kNameRecordBytes];
using PresetNames = std::array<std::wstring, kPresetSlots>;

// Each record read as at most 20 bytes of the system ANSI code page.
PresetNames DecodePresetNames(const PresetNameRecords& records);
// The seven items, in slot order.
void FillSlotCombo(CComboBox& combo);
// A snapshot of g_presetNames for the dialogs.
void CopyPresetNameRecords(PresetNameRecords& out);
