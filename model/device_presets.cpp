#include "model/device_presets.h"

#include "model/params.h"
#include "model/text_ids.h"

std::vector<SaveCheckStep> SaveChecks()
{
    if (g_masterVolume == kMasterVolumeOff) return {{kTextSaveMasterMuted, true}};
    std::vector<SaveCheckStep> steps;
    for (int c = 0; c < 6; ++c) {
        if (g_channelGain[c] == kChannelGainOff) steps.push_back({kTextSaveMutedCh1 + c, false});
    }
    return steps;
}

void StoreNameRecord(DeviceText<kNameRecordBytes>& record, const std::string& encoded)
{
    record.Set(encoded.data(), encoded.size() < kNameRecordBytes ? encoded.size() : kNameRecordBytes);
}
