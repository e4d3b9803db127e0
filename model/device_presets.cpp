#include "model/device_presets.h"

#include <cstdio>

#include "model/params.h"
#include "model/text_ids.h"

std::vector<SaveCheckStep> SaveChecks()
{
    if (g_masterVolume == 60) return {{kTextSaveMasterMuted, true}};
    std::vector<SaveCheckStep> steps;
    for (int c = 0; c < 6; ++c) {
        if (g_channelGain[c] == 600) steps.push_back({kTextSaveMutedCh1 + c, false});
    }
    return steps;
}

void StoreNameRecord(DeviceText<kNameRecordBytes>& record, const std::string& encoded)
{
    record.Set(encoded.data(), encoded.size() < kNameRecordBytes ? encoded.size() : kNameRecordBytes);
}

namespace {

std::string HexBytes(const uint8_t* bytes, size_t n)
{
    std::string out;
    char cell[8];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(cell, sizeof cell, "0x%02X", bytes[i]);
        out += cell;
        if (i + 1 < n) out += (i % 16 == 15) ? ",\n    " : ", ";
    }
    return out;
}

}  // namespace

std::string FormatCArray(const std::string& name, const uint8_t* bytes, size_t n)
{
    return "const unsigned char " + name + "[" + std::to_string(n) + "] = {\n    " + HexBytes(bytes, n) + "\n};\n";
}

std::string NameRecordFileName(int n) { return "Name" + std::to_string(n) + ".c"; }

std::string FormatNameRecord(int n, int slot, const std::array<char, kNameRecordBytes>& record)
{
    const auto* bytes = reinterpret_cast<const uint8_t*>(record.data());
    return "const unsigned char NameSlot" + std::to_string(n) + " = " + std::to_string(slot) + ";\n" +
           FormatCArray("Name" + std::to_string(n), bytes, record.size());
}

std::string SecondImagePath(const std::string& path) { return path + "2"; }
