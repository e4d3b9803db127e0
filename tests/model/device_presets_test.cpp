// The save checks, the 20-byte name records and the C-source export.
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
        {"nothing off", 0, {}, {}},
        {"master off refuses before any question", 60, {0, 3}, {{147, true}}},
        {"CH1 and CH6 ask in order", 12, {5, 0}, {{148, false}, {153, false}}},
        {"CH7..CH12 ask nothing", 0, {6, 7, 11}, {}},
        {"master at 59 is not off", 59, {2}, {{150, false}}},
    };
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

TEST(CExportTest, ArraysHoldEveryByteAndTheNameFileItsSlotAndRecord)
{
    std::vector<uint8_t> image(35);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i * 9);
    const std::string text = FormatCArray("UserEq2", image.data(), image.size());
    EXPECT_EQ(text.rfind("const unsigned char UserEq2[35] = {\n", 0), 0u);
    EXPECT_NE(text.find("0x00, 0x09, 0x12"), std::string::npos);
    EXPECT_NE(text.find("0x87,\n    0x90"), std::string::npos);  // 16 a line
    EXPECT_NE(text.find("0x32\n};\n"), std::string::npos);       // 34 * 9 = 306 -> 0x32
    size_t cells = 0;
    for (size_t at = text.find("0x"); at != std::string::npos; at = text.find("0x", at + 1)) ++cells;
    EXPECT_EQ(cells, image.size());

    std::array<char, kNameRecordBytes> record{};
    std::memcpy(record.data(), "Club", 4);
    EXPECT_EQ(NameRecordFileName(3), "Name3.c");
    const std::string name = FormatNameRecord(3, 5, record);
    EXPECT_NE(name.find("NameSlot3 = 5;"), std::string::npos);
    EXPECT_NE(name.find("Name3[20] = {\n    0x43, 0x6C, 0x75, 0x62, 0x00"), std::string::npos);
    EXPECT_EQ(SecondImagePath("/tmp/UserEq"), "/tmp/UserEq2");
}

}  // namespace
