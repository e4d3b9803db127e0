// The PC preset file: the whole tuning state as UTF-16LE text without a
// byte-order mark, one decimal value per CR LF line (band Q with six
// decimals), format tag 19 on line 0, 1457 lines in a fixed order and one
// zero unit after the last line.
//
// Loading is all or nothing: the whole file is read and checked into a
// staged PresetData first, and only a file that passes is applied to the
// model. Out-of-range values inside a whole file are replaced by their
// defaults and reported. Everything here works on bytes in memory; the
// caller does the file dialogs, the file I/O and the message boxes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "model/image_view.h"
#include "model/params.h"

constexpr int PRESET_FILE_TAG = 19;
constexpr int kPresetFileLines = 1457;
constexpr int kPresetLastLine = 1952;    // a line numbered above this fails
constexpr int kPresetMaxLineUnits = 49;  // units a line may hold before its CR
constexpr size_t kPresetFileMaxBytes = 1 << 20;

// Every value the file carries.
struct PresetData {
    int delay[kChannels] = {};        // 48 kHz samples
    int channelGain[kChannels] = {};  // 0..600
    int phaseMask = 0;
    int masterVolume = 0;
    int eqFreq[kChannels][kBands] = {};
    int eqGain[kChannels][kBands] = {};
    double eqQ[kChannels][kBands] = {};
    int hpType[kChannels] = {}, hpFreq[kChannels] = {}, hpSlope[kChannels] = {};
    int lpType[kChannels] = {}, lpFreq[kChannels] = {}, lpSlope[kChannels] = {};
    uint32_t routingMask[kChannels] = {};
    bool hiLevelMix = false;
    int hiLevelMixVolume = 0;
    uint32_t inputMixVolume[kChannels][kInputs] = {};
    int linkGroup[kChannels] = {};
    int visibleMask = 0;  // graph's curve-visibility mask
    int bridgeBits = 0;   // bit p = pair p bridged
};

// The model as the file would hold it.
PresetData CapturePreset(const IDelayFields& delays, int visibleMask);

// The file's bytes: text and terminating zero unit.
std::vector<uint8_t> WritePresetFile(const PresetData& data);
std::vector<uint8_t> SavePresetFile(IImageView& view);

enum class PresetParse { Ok, Repaired, Failed };

// Reads and checks a whole file into 'out'. Fails on an odd byte count, a
// line of 50 units or more, fewer than 1457 lines, a line above 1952, a
// first line that is not the tag, a value line without a number at its
// start (after white space), a number that does not fit 32 bits, and a Q
// that is not a finite decimal. Trailing text after a number is ignored.
// Out-of-range values are replaced by their defaults (Repaired).
PresetParse ParsePresetFile(std::span<const uint8_t> bytes, PresetData& out);

// Stores a checked file into the model and refreshes the window. Below
// FW_DATE_NEW_FEATURES it then clears the link groups, the graph mask and
// the bridge flags; returns whether it did.
bool ApplyPreset(const PresetData& data, IImageView& view);

struct PresetLoadResult {
    bool applied = false;
    int messageId = 0;  // 0, kTextPresetLoadFailed or kTextFileError
    bool newFeaturesCleared = false;
};

// Parse, then apply only when the file passed.
PresetLoadResult LoadPresetFile(std::span<const uint8_t> bytes, IImageView& view);

// Whole-file I/O. Reading fails when the file cannot be read or is larger
// than maxBytes.
bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>& out, size_t maxBytes = kPresetFileMaxBytes);
bool WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes);
