// The device's preset slots and channel names as the model sees them: the
// checks before a save and the 20-byte name records.
#pragma once

#include <cstddef>
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
