#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "images_support.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/params.h"
#include "res/resource.h"

namespace {

struct ByteAt {
    int offset;
    uint8_t value;
};

void ExpectBytes(const uint8_t* image, const std::vector<ByteAt>& expected, const char* what)
{
    for (const ByteAt& e : expected) EXPECT_EQ(image[e.offset], e.value) << what << " byte " << e.offset;
}

int Word(const uint8_t* image, int at) { return image[at] << 8 | image[at + 1]; }

}  // namespace

TEST_F(ImagesTest, DefaultModelImages)
{
    std::memset(g_eqUser, 0xEE, sizeof g_eqUser);
    BuildEqUser(iv.delays);
    // clang-format off
    ExpectBytes(g_eqUser,
                {
                    {0, 0}, {1, 0}, {11, 0}, {12, 0}, {17, 0}, {18, 0},
                    // CH1: band 1 and 31 frequency, band 1 gain and Q, crossovers
                    {19, 0x00}, {20, 0x14}, {79, 0x4E}, {80, 0x20}, {81, 0x00}, {82, 0x96}, {143, 0x01}, {144, 0xB0},
                    {205, 0}, {206, 0x00}, {207, 0x14}, {208, 8}, {209, 0}, {210, 0x4E}, {211, 0x20}, {212, 8},
                    // CH7 header and fields
                    {1183, 0}, {1184, 0}, {1185, 0}, {1186, 0xEE}, {1187, 0x00}, {1188, 0x14},
                    {1249, 0x00}, {1250, 0x96}, {1311, 0x01}, {1312, 0xB0},
                    {1373, 0}, {1374, 8}, {1375, 0x00}, {1376, 0x14}, {1377, 0}, {1378, 8}, {1379, 0x4E}, {1380, 0x20},
                    // CH12 end, then the blocks the PC never writes
                    {2368, 8}, {2369, 0x4E}, {2370, 0x20}, {2371, 0xEE}, {3162, 0xEE},
                },
                "EqUser");
    // clang-format on

    std::memset(g_eqUser2, 0xEE, sizeof g_eqUser2);
    BuildEqUser2(0);
    // clang-format off
    ExpectBytes(g_eqUser2,
                {
                    {0, 0x00}, {1, 0x05}, {2, 0x41}, {33, 0x00}, {34, 0x00}, {35, 0x00},
                    {48, 0x00}, {50, 0}, {241, 0}, {341, 0}, {386, 0}, {306, 0}, {329, 0},
                    {338, 0}, {339, 0}, {340, 0},
                    {36, 0xEE}, {47, 0xEE}, {49, 0xEE}, {242, 0xEE}, {305, 0xEE}, {330, 0xEE}, {337, 0xEE},
                    {343, 0xEE}, {344, 0xEE}, {389, 0xEE}, {404, 0xEE},
                },
                "EqUser2");
    // clang-format on
}

TEST_F(ImagesTest, DistinctiveModelImages)
{
    FillDistinctiveModel(iv);
    std::memset(g_eqUser, 0xEE, sizeof g_eqUser);
    BuildEqUser(iv.delays);
    // clang-format off
    ExpectBytes(g_eqUser,
                {
                    // delay 599 / gain 600 / phase; delay 562 / gain 128 / phase; delay 414 / gain 0
                    {0, 0x42}, {1, 0x57}, {12, 0xD8}, {2, 0x12}, {3, 0x32}, {13, 0x80},
                    {10, 0x01}, {11, 0x9E}, {17, 0x00}, {18, 17},
                    // CH1 block: band 1 frequency, gain, Q 0.10; band 20 Q 0.29; crossovers
                    {19, 0x00}, {20, 0x14}, {81, 0x00}, {82, 0x05}, {143, 0x00}, {144, 0x0A}, {181, 0x00}, {182, 29},
                    {205, 1}, {206, 0x00}, {207, 0x14}, {208, 2}, {209, 0}, {210, 0x4E}, {211, 0x20}, {212, 5},
                    // CH3 band 24 Q 4.06; CH6 crossovers
                    {577, 0x01}, {578, 0x96},
                    {1175, 0}, {1176, 0x01}, {1177, 0xF9}, {1178, 7}, {1179, 1}, {1180, 0x3A}, {1181, 0x57}, {1182, 1},
                    // CH7: delay 377 / gain 455 / phase, band 1, crossovers in their own order
                    {1183, 0x31}, {1184, 0x79}, {1185, 0xC7}, {1186, 0xEE}, {1187, 0x26}, {1188, 0x96},
                    {1249, 0x00}, {1250, 0xBF}, {1311, 0x01}, {1312, 0x32},
                    {1373, 1}, {1374, 8}, {1375, 0x02}, {1376, 0x5A}, {1377, 0}, {1378, 2}, {1379, 0x36}, {1380, 0x62},
                    // CH12: delay 192 / gain 598 / phase, band 31, crossovers
                    {2173, 0x40}, {2174, 0xC0}, {2175, 0xD6}, {2176, 0xEE}, {2237, 0x4E}, {2238, 0x20},
                    {2299, 0x00}, {2300, 0xFF}, {2361, 0x00}, {2362, 0x46},
                    {2363, 0}, {2364, 4}, {2365, 0x04}, {2366, 0x3F}, {2367, 1}, {2368, 7}, {2369, 0x22}, {2370, 0x99},
                    {2371, 0xEE},
                },
                "EqUser");
    // clang-format on

    std::memset(g_eqUser2, 0xEE, sizeof g_eqUser2);
    BuildEqUser2(iv.visibleMask);
    // clang-format off
    ExpectBytes(g_eqUser2,
                {
                    {0, 0x02}, {1, 0xA5}, {2, 0xA5}, {33, 0x03}, {34, 0x7A}, {35, 0x62}, {48, 0x80 | 45},
                    // mixer columns 0 and 15 of CH1 and CH12, then columns 16 and 17
                    {50, 0}, {65, 15}, {226, 15}, {241, 30}, {341, 16}, {342, 17}, {385, 31}, {386, 32},
                    {306, 0x00}, {307, 0x00}, {308, 0x01}, {309, 0x55}, {328, 0x0E}, {329, 0xA7},
                    {338, 0x0A}, {339, 0x5C}, {340, 0x2D},
                    {36, 0xEE}, {49, 0xEE}, {343, 0xEE}, {344, 0xEE}, {387, 0xEE}, {389, 0xEE},
                },
                "EqUser2");
    // clang-format on
}

TEST_F(ImagesTest, EverySteppedQTravelsExactly)
{
    const struct {
        double q;
        int wire;
    } known[] = {{0.29, 29}, {0.58, 58}, {1.15, 115}, {2.26, 226}, {4.06, 406}};
    for (auto k : known) {
        g_eqQ[0][0] = k.q;
        BuildEqUser(iv.delays);
        EXPECT_EQ(Word(g_eqUser, 143), k.wire) << k.q;
    }
    for (int i = 0; i < kQSteps; ++i) {
        g_eqQ[8][30] = g_qStepTable[i];
        g_eqQStep[8][30] = 0;
        BuildEqUser(iv.delays);
        DecodeEqUser(iv);
        EXPECT_EQ(g_eqQ[8][30], g_qStepTable[i]) << i;
        EXPECT_EQ(g_eqQStep[8][30], i);
    }
}

TEST_F(ImagesTest, RoundTripsThroughBothImages)
{
    for (bool distinctive : {false, true}) {
        if (distinctive) FillDistinctiveModel(iv);
        BuildEqUser(iv.delays);
        BuildEqUser2(iv.visibleMask);
        const ModelSnapshot before(iv);
        ScrambleCarriedFields(iv, false);
        DecodeEqUser(iv);
        DecodeEqUser2(iv);
        EXPECT_EQ(ModelSnapshot(iv).DiffersFrom(before), "") << "distinctive " << distinctive;
    }
}

TEST_F(ImagesTest, DecodeRefreshesWindow)
{
    FillDistinctiveModel(iv);
    BuildEqUser(iv.delays);
    g_muteMask = 1 << 6;
    DecodeEqUser(iv);
    EXPECT_EQ(iv.phaseCaption[0], IDS_PHASE_180);
    EXPECT_EQ(iv.phaseCaption[2], IDS_PHASE_0);
    EXPECT_EQ(iv.gainSlider[3].pos, 599);
    EXPECT_EQ(iv.gainField[0].text, L"OFF");
    EXPECT_EQ(iv.gainField[1].text, L"-12.8dB");
    EXPECT_EQ(iv.muteButton[0].text, kMutedCaption);
    EXPECT_EQ(iv.muteButton[1].text, kUnmutedCaption);
    EXPECT_EQ(iv.masterField.text, L"-17dB");
    EXPECT_EQ(iv.masterSlider.pos, 17);
    EXPECT_EQ(iv.masterMute.text, kUnmutedCaption);  // bit 6 was set, so it is cleared
    EXPECT_EQ(g_muteMask & (1 << 6), 0);
    EXPECT_EQ(iv.eqRefreshes, 1);
}

// Each row pokes bytes of an image encoded from the defaults, decodes it and
// checks the repaired model (and image, where the repair is written back).
TEST_F(ImagesTest, DecoderBringsValuesIntoRange)
{
    struct Case {
        const char* name;
        std::vector<ByteAt> poke;
        std::function<void(const FakeImageView&)> check;
    };
    // clang-format off
    const Case cases[] = {
        {"CH1 gain 0x7FF keeps phase and delay",
         {{0, 0xF1}, {1, 0x23}, {12, 0xFF}},
         [](const FakeImageView& v) {
             EXPECT_EQ(g_channelGain[0], 0);
             EXPECT_EQ(g_eqUser[0], 0x01);
             EXPECT_EQ(g_eqUser[12], 0x80);
             EXPECT_EQ(v.delays.value[0], 0x123);
             EXPECT_TRUE(g_phaseMask & 1);
         }},
        {"CH7 gain 601", {{1183, 0x40}, {1185, 0x59}},
         [](const FakeImageView&) {
             EXPECT_EQ(g_channelGain[6], 0);
             EXPECT_EQ(g_eqUser[1183], 0x00);
             EXPECT_EQ(g_eqUser[1185], 0x00);
         }},
        {"CH12 gain 600 mutes", {{2173, 0x40}, {2175, 0x58}},
         [](const FakeImageView& v) {
             EXPECT_EQ(g_channelGain[11], 600);
             EXPECT_EQ(g_muteMask, 1 << 12);
             EXPECT_EQ(v.muteButton[11].text, kMutedCaption);
             EXPECT_EQ(g_eqUser[2175], 0x58);
         }},
        {"master 200", {{18, 200}},
         [](const FakeImageView& v) {
             EXPECT_EQ(g_masterVolume, 60);
             EXPECT_EQ(g_eqUser[18], 60);
             EXPECT_EQ(g_muteMask, 1 << 6);
             EXPECT_EQ(v.masterMute.text, kMutedCaption);
             EXPECT_EQ(v.masterField.text, L"OFF");
         }},
        {"delays above 599", {{0, 0x0F}, {1, 0xFF}, {1183, 0x02}, {1184, 0x58}},
         [](const FakeImageView& v) {
             EXPECT_EQ(v.delays.value[0], 599);
             EXPECT_EQ(v.delays.value[6], 599);
         }},
        {"band frequency 0 and 65535", {{19, 0}, {20, 0}, {1187 + 2, 0xFF}, {1187 + 3, 0xFF}},
         [](const FakeImageView&) {
             EXPECT_EQ(g_eqFreq[0][0], 20);
             EXPECT_EQ(g_eqFreq[6][1], 20000);
         }},
        {"gain code 400", {{81, 0x01}, {82, 0x90}},
         [](const FakeImageView&) { EXPECT_EQ(g_eqGain[0][0], 300); }},
        {"Q 5 and 1500", {{143, 0}, {144, 5}, {2361, 0x05}, {2362, 0xDC}},
         [](const FakeImageView&) {
             EXPECT_EQ(g_eqQ[0][0], 0.1);
             EXPECT_EQ(g_eqQStep[0][0], 0);
             EXPECT_EQ(g_eqQ[11][30], 10.0);
             EXPECT_EQ(g_eqQStep[11][30], 111);
         }},
        {"Q 433 takes the next step", {{145, 0x01}, {146, 0xB1}},
         [](const FakeImageView&) {
             EXPECT_EQ(g_eqQ[0][1], 4.33);
             EXPECT_EQ(g_eqQStep[0][1], 88);
         }},
        {"types 7, slopes 12", {{205, 7}, {212, 12}, {1374, 12}, {1377, 7}},
         [](const FakeImageView&) {
             EXPECT_EQ(g_hpType[0], 1);
             EXPECT_EQ(g_lpSlope[0], 8);
             EXPECT_EQ(g_hpSlope[6], 8);
             EXPECT_EQ(g_lpType[6], 1);
         }},
        {"crossover frequencies", {{206, 0}, {207, 5}, {1379, 0xFF}, {1380, 0xFF}, {1375, 0}, {1376, 0}},
         [](const FakeImageView&) {
             EXPECT_EQ(g_hpFreq[0], 20);
             EXPECT_EQ(g_lpFreq[6], 20000);
             EXPECT_EQ(g_hpFreq[6], 20);
         }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        iv = FakeImageView();
        BuildEqUser(iv.delays);
        for (const ByteAt& p : c.poke) g_eqUser[p.offset] = p.value;
        DecodeEqUser(iv);
        c.check(iv);
    }
}

TEST_F(ImagesTest, ShortImageOfOldModelOneDevices)
{
    // clang-format off
    const struct { int model, date, size; } sizes[] = {
        {1, 0, 1579}, {1, 190820, 1579}, {1, 190821, 3163}, {2, 0, 3163}, {4, 190101, 3163},
    };
    // clang-format on
    for (auto s : sizes) {
        g_deviceModel = s.model;
        g_firmwareDate = s.date;
        EXPECT_EQ(GetEqUserSize(), s.size) << s.model << " " << s.date;
    }

    // Only the first 1579 bytes arrive: CH1..CH8 decode whole, the rest
    // from whatever the image held, brought into range.
    FillDistinctiveModel(iv);
    BuildEqUser(iv.delays);
    std::vector<uint8_t> received(g_eqUser, g_eqUser + EQ_USER_SHORT_SIZE);
    const ModelSnapshot before(iv);
    ScrambleCarriedFields(iv, false);
    std::memset(g_eqUser, 0, sizeof g_eqUser);
    std::memcpy(g_eqUser, received.data(), received.size());
    DecodeEqUser(iv);
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(iv.delays.value[c], 599 - 37 * c);
        EXPECT_EQ(
            0, std::memcmp(g_eqFreq[c], before.Bytes("g_eqFreq").data() + c * sizeof g_eqFreq[c], sizeof g_eqFreq[c]))
            << c;
    }
    EXPECT_EQ(g_channelGain[7], 127);
    EXPECT_EQ(g_lpFreq[7], 20000 - 1013 * 7);
    EXPECT_EQ(g_eqFreq[8][0], 20);
    EXPECT_EQ(g_eqQ[11][30], 0.1);
    EXPECT_EQ(g_hpSlope[11], 0);
}

TEST_F(ImagesTest, MixByteFollowsSwitchEvenWithBadVolume)
{
    // clang-format off
    const struct { uint8_t before; int volume; uint8_t mix; uint8_t after; } cases[] = {
        {0x9E, 61, 0, 0x1E},   // stale mix bit dropped, volume kept
        {0x1E, 61, 1, 0x9E},
        {0x9E, 40, 0, 40},
        {0x00, 60, 1, 0x80 | 60},
    };
    // clang-format on
    for (auto c : cases) {
        g_eqUser2[48] = c.before;
        g_hiLevelMixVolume = c.volume;
        g_hiLevelMix = c.mix;
        BuildEqUser2(0);
        EXPECT_EQ(g_eqUser2[48], c.after) << int(c.before) << " " << c.volume;
    }
}

TEST_F(ImagesTest, RoutingImageTakenAsItComes)
{
    BuildEqUser2(0);
    g_eqUser2[3 * 4 + 2] ^= 0x01;  // CH5's routing changes
    g_eqUser2[48] = 0x80 | 127;
    g_hiLevelMix = 1;
    g_eqUser2[340] = 0x3F;
    g_eqUser2[338] = 0xFF;
    DecodeEqUser2(iv);
    for (int i = 0; i < kChannels; ++i) EXPECT_EQ(iv.routeRepaints[i], i == 4 ? kInputs : 0) << i;
    EXPECT_EQ(g_hiLevelMix, 1);
    EXPECT_EQ(g_hiLevelMixVolume, 127);
    EXPECT_EQ(g_btlPair12, 0);  // bridge bits and graph mask are not read back
    EXPECT_EQ(iv.visibleMask, 0);

    g_eqUser2[48] = 10;
    DecodeEqUser2(iv);
    EXPECT_EQ(g_hiLevelMix, 0);
    EXPECT_EQ(g_hiLevelMixVolume, 10);
}

// A decoded EqUser2 that changes the link groups repaints the Link buttons
// and the channel buttons (whose look follows the selected channel's group).
TEST_F(ImagesTest, RoutingImageThatChangesLinksRepaintsTheirButtons)
{
    BuildEqUser2(0);
    DecodeEqUser2(iv);
    EXPECT_EQ(iv.buttonRepaints, 0) << "the same links";
    g_eqUser2[306 + 2 * 3 + 1] = 0x18;  // CH4 leads CH4 and CH5
    DecodeEqUser2(iv);
    EXPECT_EQ(g_linkGroup[3], 0x18);
    EXPECT_EQ(iv.buttonRepaints, 2);
}
