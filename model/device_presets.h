// The device's preset slots and channel names as the model sees them: the
// checks before a save, the 20-byte name records, and the C-source export
// of the two images and of a preset name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/device_state.h"

constexpr int kPresetSlotChoices = 7;  // slot 0 (the current settings) and 1..6

// One step of the save checks: a refusal ends the save; a question goes on
// only when the user answers Yes.
struct SaveCheckStep {
    int textId;
    bool refusal;
};
// In order: the master volume at OFF refuses; CH1..CH6 at OFF (600) each
// ask. CH7..CH12 ask nothing.
std::vector<SaveCheckStep> SaveChecks();

// Clears the record and stores at most 20 bytes of encoded: a shorter name
// keeps its terminating zero, one of 20 bytes has none.
void StoreNameRecord(DeviceText<kNameRecordBytes>& record, const std::string& encoded);

// The C-source export: an image as a C array of that name, 16 bytes a line.
std::string FormatCArray(const std::string& name, const uint8_t* bytes, size_t n);
// The name record file of export number n ("Name<n>.c"): the preset slot
// and the 20 bytes of its name.
std::string NameRecordFileName(int n);
std::string FormatNameRecord(int n, int slot, const std::array<char, kNameRecordBytes>& record);
// The second image's path: the first one's with "2" appended.
std::string SecondImagePath(const std::string& path);
