// The save checks and the 20-byte name records.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/device_presets.h"
#include "model/params.h"

namespace {

TEST(SaveChecksTest, MasterOffRefusesFirstThenEachMutedFrontChannelAsks)
{
    struct Case {
        const char* name;
        int master;
        std::vector<int> offChannels;
        std::vector<SaveCheckStep> steps;
    } cases[] = {
        // clang-format off
        {"nothing off", 0, {}, {}},
        {"master off refuses before any question", 60, {0, 3}, {{147, true}}},
        {"CH1 and CH6 ask in order", 12, {5, 0}, {{148, false}, {153, false}}},
        {"CH7..CH12 ask nothing", 0, {6, 7, 11}, {}},
        {"master at 59 is not off", 59, {2}, {{150, false}}},
    };
    // clang-format on
    const int savedMaster = g_masterVolume;
    int savedGain[kChannels];
    std::memcpy(savedGain, g_channelGain, sizeof savedGain);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_masterVolume = c.master;
        for (int& g : g_channelGain) g = 0;
        for (int ch : c.offChannels) g_channelGain[ch] = 600;
        const std::vector<SaveCheckStep> got = SaveChecks();
        ASSERT_EQ(got.size(), c.steps.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].textId, c.steps[i].textId);
            EXPECT_EQ(got[i].refusal, c.steps[i].refusal);
        }
    }
    g_masterVolume = savedMaster;
    std::memcpy(g_channelGain, savedGain, sizeof savedGain);
}

TEST(NameRecordTest, ClearedThenAtMostTwentyBytesWithoutTerminatorWhenFull)
{
    DeviceText<kNameRecordBytes> record;
    record.Set("XXXXXXXXXXXXXXXXXXXX", 20);
    StoreNameRecord(record, "Bass");
    auto bytes = record.Get();
    EXPECT_EQ(std::string(bytes.data(), 4), "Bass");
    for (size_t i = 4; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0) << i;

    StoreNameRecord(record, std::string(25, 'z'));
    bytes = record.Get();
    EXPECT_EQ(std::string(bytes.data(), bytes.size()), std::string(20, 'z'));
}

}  // namespace
