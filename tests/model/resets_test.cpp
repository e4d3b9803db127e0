#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/codecs.h"
#include "model/params.h"
#include "model/resets.h"
#include "model_fakes.h"
#include "res/resource.h"

namespace {

class Resets : public ModelTest {};

// Puts a non-default value into everything a reset may touch.
void Scramble()
{
    g_selectedChannel = 7;
    g_masterVolume = 33;
    g_masterVolumeSaved = 21;
    g_muteMask = 0x1FFF;
    g_phaseMask = 0xFFF;
    g_hiLevelMix = 1;
    g_hiLevelMixVolume = 12;
    g_delayInCm = 1;
    for (int c = 0; c < kChannels; ++c) {
        g_channelGain[c] = 100 + c;
        g_savedGain[c] = 200 + c;
        g_hpFreq[c] = g_graphHpFreq[c] = 300;
        g_lpFreq[c] = g_graphLpFreq[c] = 3000;
        g_hpType[c] = g_lpType[c] = 1;
        g_hpSlope[c] = g_lpSlope[c] = 2;
        g_routingMask[c] = 0xFFFF;
        for (int b = 0; b < kBands; ++b) {
            g_eqFreq[c][b] = g_graphEqFreq[c][b] = 555;
            g_eqGain[c][b] = g_graphEqGain[c][b] = g_eqGainSaved[c][b] = 7;
            g_eqQ[c][b] = g_graphEqQ[c][b] = 0.7;
            g_eqQStep[c][b] = 5;
        }
        for (int j = 0; j < kInputs; ++j) g_inputMixVolume[c][j] = 9;
    }
}

TEST_F(Resets, ResetAllStoresEveryDefault)
{
    Scramble();
    g_linkGroup[3] = Mask({3, 4});
    g_btlPair56 = 1;
    g_inputSource = 9;
    for (int c = 0; c < kChannels; ++c) view.delays.value[c] = 100;

    ResetAll(view);

    EXPECT_EQ(g_selectedChannel, 0);
    EXPECT_EQ(g_masterVolume, 0);
    EXPECT_EQ(g_muteMask, 0);
    EXPECT_EQ(g_phaseMask, 0);
    EXPECT_EQ(g_hiLevelMixVolume, 0);
    for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(view.delays.value[c], 0);
        EXPECT_EQ(g_channelGain[c], 0);
        EXPECT_EQ(g_savedGain[c], 0);
        EXPECT_EQ(g_hpFreq[c], 20);
        EXPECT_EQ(g_graphHpFreq[c], 20);
        EXPECT_EQ(g_lpFreq[c], 20000);
        EXPECT_EQ(g_graphLpFreq[c], 20000);
        EXPECT_EQ(g_hpType[c] | g_lpType[c], 0);
        EXPECT_EQ(g_hpSlope[c], kSlopeOff);
        EXPECT_EQ(g_lpSlope[c], kSlopeOff);
        for (int b = 0; b < kBands; ++b) {
            EXPECT_EQ(g_eqFreq[c][b], g_isoBandFreq[b]);
            EXPECT_EQ(g_graphEqFreq[c][b], g_isoBandFreq[b]);
            EXPECT_EQ(g_eqGain[c][b], 150);
            EXPECT_EQ(g_graphEqGain[c][b], 150);
            EXPECT_EQ(g_eqGainSaved[c][b], 150);
            EXPECT_EQ(g_eqQ[c][b], 4.32);
            EXPECT_EQ(g_graphEqQ[c][b], 4.32);
            EXPECT_EQ(g_eqQStep[c][b], 87);
        }
        for (int j = 0; j < kInputs; ++j) EXPECT_EQ(g_inputMixVolume[c][j], 0u);
    }
    // Model 4 without the option: variant A.
    const uint32_t model4A[kChannels] = {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0,
                                         0x00541, 0x00A82, 0x00544, 0x00A88, 0,       0};
    for (int c = 0; c < kChannels; ++c) EXPECT_EQ(g_routingMask[c], model4A[c]) << c;

    // What a reset keeps.
    EXPECT_EQ(g_linkGroup[3], Mask({3, 4}));
    EXPECT_EQ(g_btlPair56, 1);
    EXPECT_EQ(g_hiLevelMix, 1);
    EXPECT_EQ(g_delayInCm, 1);
    EXPECT_EQ(g_masterVolumeSaved, 21);
    EXPECT_EQ(g_deviceModel, 4);
    EXPECT_EQ(g_inputSource, 9);
    g_inputSource = 1;
}

TEST_F(Resets, ResetAllRefreshesTheWindow)
{
    Scramble();
    ResetAll(view);
    EXPECT_EQ(view.delays.setCalls, kChannels);
    EXPECT_EQ(view.speakerClears, 1);
    for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(view.gainField[c].text, L"0.0dB");
        EXPECT_EQ(view.gainSlider[c].pos, 0);
        EXPECT_EQ(view.gainSlider[c].invalidations, 1);
        EXPECT_EQ(view.phaseCaption[c], IDS_PHASE_0);
        EXPECT_EQ(view.muteButton[c].text, kUnmutedCaption);
    }
    EXPECT_EQ(view.masterMute.text, kUnmutedCaption);
    EXPECT_EQ(view.masterField.text, L"0dB");
    EXPECT_EQ(view.masterSlider.pos, 0);
    EXPECT_EQ(view.masterSlider.invalidations, 1);
    EXPECT_EQ(view.routeButtonRepaints, kChannels * kInputs);
    EXPECT_EQ(view.feeds, std::vector<bool>{false});
    // Channel buttons first, then the EQ controls, the matrix and the graph.
    ASSERT_GE(view.calls.size(), 4u);
    EXPECT_EQ(view.calls.front(), "channels");
    EXPECT_EQ(view.calls[1], "refresh");
    EXPECT_EQ(view.calls[2], "route");
    EXPECT_EQ(view.calls.back(), "feed");
}

// The default routing rows, CH1..CH12.
struct RoutingRow {
    int model;
    int noAux34;
    bool picker;
    uint32_t masks[kChannels];
};

// clang-format off
const RoutingRow kRows[] = {
    {1, 1, false, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0, 0, 0, 0}},
    {1, 0, false, {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0, 0, 0, 0}},
    {2, 1, false,
     {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x01540, 0x02A80, 0x00541, 0x00A82, 0x00544, 0x00A88}},
    {2, 0, false,
     {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x05500, 0x0AA00, 0x00541, 0x00A82, 0x04504, 0x08A08}},
    {3, 1, false,
     {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0x00544, 0x00A88, 0x04510, 0x08A20}},
    {3, 0, false,
     {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0x00544, 0x00A88, 0x04510, 0x08A20}},
    // Model 4: the reset always takes variant A, the picker follows the option.
    {4, 1, false, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0}},
    {4, 0, false, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0}},
    {4, 1, true, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0}},
    {4, 0, true, {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x04501, 0x08A02, 0x00544, 0x00A88, 0, 0}},
    {5, 0, false, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0, 0, 0}},
    {5, 1, false, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00541, 0x00A82, 0x00544, 0x00A88, 0, 0, 0, 0}},
    // Model 6: the reset always takes variant B.
    {6, 1, false, {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x05500, 0x0AA00, 0, 0, 0, 0}},
    {6, 0, false, {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x05500, 0x0AA00, 0, 0, 0, 0}},
    {6, 1, true, {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x01540, 0x02A80, 0, 0, 0, 0}},
    {6, 0, true, {0x00541, 0x00A82, 0x04504, 0x08A08, 0x00550, 0x00AA0, 0x05500, 0x0AA00, 0, 0, 0, 0}},
    {7, 1, false,
     {0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0x00541, 0x00A82, 0, 0}},
    {8, 0, false,
     {0x00541, 0x00A82, 0x00544, 0x00A88, 0x00550, 0x00AA0, 0x01540, 0x02A80, 0x10540, 0x20A80, 0x00541, 0x00A82}},
};
// clang-format on

TEST_F(Resets, DefaultRoutingPerModel)
{
    for (const RoutingRow& row : kRows) {
        // Rows marked for the reset hold for the picker too, except models 4 and 6.
        std::vector<bool> routines{row.picker};
        if (!row.picker && row.model != 4 && row.model != 6) routines.push_back(true);
        for (bool picker : routines) {
            g_deviceModel = row.model;
            g_noAux34 = static_cast<uint8_t>(row.noAux34);
            for (uint32_t& m : g_routingMask) m = 0xDEAD;
            if (picker) ApplyPickerDefaultRouting();
            else ApplyDefaultRouting();
            for (int c = 0; c < kChannels; ++c)
                EXPECT_EQ(g_routingMask[c], row.masks[c])
                    << "model " << row.model << " noAux34 " << row.noAux34 << " picker " << picker << " CH" << c + 1;
        }
    }
    // Only exactly 1 counts as the option.
    g_deviceModel = 1;
    g_noAux34 = 2;
    ApplyDefaultRouting();
    EXPECT_EQ(g_routingMask[2], 0x04504u);
}

TEST_F(Resets, ModelOutsideTheTablesKeepsTheMasks)
{
    for (int model : {0, 9, -1}) {
        for (uint32_t& m : g_routingMask) m = 0x123;
        g_deviceModel = model;
        ApplyDefaultRouting();
        ApplyPickerDefaultRouting();
        ResetAll(view);
        for (uint32_t m : g_routingMask) EXPECT_EQ(m, 0x123u) << model;
    }
}

TEST_F(Resets, ModelFourThroughResetPickerAndResetAgain)
{
    g_deviceModel = 4;
    g_noAux34 = 0;
    ResetAll(view);  // start-up
    EXPECT_EQ(g_routingMask[2], 0x00544u);
    EXPECT_EQ(g_routingMask[6], 0x00541u);
    ApplyPickerDefaultRouting();  // model 4 confirmed in the picker: variant B
    EXPECT_EQ(g_routingMask[2], 0x04504u);
    EXPECT_EQ(g_routingMask[6], 0x04501u);
    ResetAll(view);  // Reset All: variant A again
    EXPECT_EQ(g_routingMask[2], 0x00544u);
    EXPECT_EQ(g_routingMask[6], 0x00541u);
}

TEST_F(Resets, ResetEqReportsChangesOfTheSelectedChannelOnly)
{
    struct {
        const char* name;
        int channel;
        int kind;  // 0 gain, 1 frequency, 2 Q, 3 only the kept gain
        bool result;
    } cases[] = {
        // clang-format off
        {"gain of the selected", 2, 0, true},   {"frequency of the selected", 2, 1, true},
        {"Q of the selected", 2, 2, true},      {"another channel only", 9, 0, false},
        {"another channel's Q", 0, 2, false},   {"kept gain only", 2, 3, false},
    };
    // clang-format on
    for (const auto& c : cases) {
        SetUp();
        g_selectedChannel = 2;
        const int band = 30;
        switch (c.kind) {
        case 0: g_eqGain[c.channel][band] = 3; break;
        case 1: g_eqFreq[c.channel][band] = 19000; break;
        case 2: g_eqQ[c.channel][band] = 4.3200001; break;
        case 3: g_eqGainSaved[c.channel][band] = 3; break;
        }
        g_graphEqGain[c.channel][band] = 3;
        g_eqQStep[c.channel][band] = 90;
        g_hpFreq[c.channel] = 500;
        EXPECT_EQ(ResetEq(), c.result) << c.name;
        EXPECT_EQ(g_eqGain[c.channel][band], 150) << c.name;
        EXPECT_EQ(g_eqFreq[c.channel][band], 20000) << c.name;
        EXPECT_EQ(g_eqQ[c.channel][band], 4.32) << c.name;
        EXPECT_EQ(g_eqGainSaved[c.channel][band], 150) << c.name;
        // Left alone: cursors, graph copies, crossovers.
        EXPECT_EQ(g_eqQStep[c.channel][band], 90) << c.name;
        EXPECT_EQ(g_graphEqGain[c.channel][band], 3) << c.name;
        EXPECT_EQ(g_hpFreq[c.channel], 500) << c.name;
    }
}

TEST_F(Resets, QCursorSurvivesResetEq)
{
    g_selectedChannel = 0;
    for (int i = 0; i < 3; ++i) ASSERT_EQ(StepEqQ(StepDirection::Up, 8), 1);
    ASSERT_EQ(g_eqQStep[0][8], 90);
    ResetEq();
    EXPECT_EQ(g_eqQ[0][8], 4.32);
    EXPECT_EQ(StepEqQ(StepDirection::Up, 8), 1);
    EXPECT_EQ(g_eqQ[0][8], g_qStepTable[91]);
    EXPECT_DOUBLE_EQ(g_eqQ[0][8], 4.78);
}

TEST_F(Resets, ClearInputVolumes)
{
    for (auto& row : g_inputMixVolume)
        for (uint32_t& v : row) v = 40;
    ClearInputVolumes(view);
    for (auto& row : g_inputMixVolume)
        for (uint32_t v : row) EXPECT_EQ(v, 0u);
    EXPECT_EQ(view.routeButtonRepaints, kChannels * kInputs);
}

}  // namespace
