#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>

#include "model/codecs.h"
#include "model/params.h"
#include "model_fakes.h"

namespace {

constexpr uint32_t kHi1 = 1u << 0;
constexpr uint32_t kAux1 = 1u << 6;

class Codecs : public ModelTest {};

// ---- formatters ---------------------------------------------------------

TEST_F(Codecs, EqGainText)
{
    // clang-format off
    struct { int code; const wchar_t* text; } cases[] = {
        {150, L"0.0"}, {0, L"15.0"}, {137, L"1.3"}, {300, L"-15.0"},
        {151, L"-0.1"}, {149, L"0.1"}, {162, L"-1.2"},
    };
    // clang-format on
    g_selectedChannel = 3;
    for (auto c : cases) {
        g_eqGain[3][7] = c.code;
        std::wstring text = L"x";
        FormatEqGain(text, 7);
        EXPECT_EQ(text, c.text) << c.code;
    }
    // A code above 300 leaves the caller's text alone.
    g_eqGain[3][7] = 301;
    std::wstring text = L"keep";
    FormatEqGain(text, 7);
    EXPECT_EQ(text, L"keep");
}

TEST_F(Codecs, ChannelGainText)
{
    // clang-format off
    struct { int value; const wchar_t* text; } cases[] = {
        {0, L"0.0dB"}, {15, L"-1.5dB"}, {599, L"-59.9dB"}, {600, L"OFF"},
        {1, L"-0.1dB"}, {25, L"-2.5dB"}, {125, L"-12.5dB"},
        // The division runs in single precision: 123456789 becomes 123456792.0f,
        // and a tenth of it rounds to 12345679.0f.
        {123456789, L"-12345679.0dB"},
    };
    // clang-format on
    for (auto c : cases) {
        g_channelGain[5] = c.value;
        std::wstring text;
        FormatChannelGain(text, 5);
        EXPECT_EQ(text, c.text) << c.value;
    }
}

TEST_F(Codecs, MasterAndInputVolumeText)
{
    // clang-format off
    struct { int value; const wchar_t* text; } master[] = {
        {0, L"0dB"}, {12, L"-12dB"}, {59, L"-59dB"}, {60, L"OFF"}, {75, L"OFF"},
    };
    // clang-format on
    for (auto c : master) {
        g_masterVolume = c.value;
        std::wstring text;
        FormatMasterVolume(text);
        EXPECT_EQ(text, c.text) << c.value;
    }
    // clang-format off
    struct { uint32_t value; const wchar_t* text; } input[] = {
        {0, L"0dB"}, {1, L"-1dB"}, {59, L"-59dB"}, {60, L"-60dB"}, {61, L""},
    };
    // clang-format on
    for (auto c : input) {
        SetInputVolume(2, kAux1, c.value);
        std::wstring text = L"x";
        FormatInputVolume(text, 2, kAux1);
        EXPECT_EQ(text, c.text) << c.value;
    }
}

TEST_F(Codecs, DelayText)
{
    // clang-format off
    struct { int samples; uint8_t forceCm; int unitCm; const wchar_t* text; } cases[] = {
        {48, 0, 0, L"1.000"},   {48, 1, 0, L"34.000"}, {48, 0, 1, L"34.000"},
        {599, 0, 0, L"12.479"}, {599, 1, 0, L"424.286"}, {0, 0, 0, L"0.000"},
        {1, 0, 0, L"0.021"},    {25, 0, 0, L"0.521"},
    };
    // clang-format on
    for (auto c : cases) {
        g_delayInCm = c.unitCm;
        std::wstring text;
        FormatDelay(&c.samples, text, c.forceCm);
        EXPECT_EQ(text, c.text) << c.samples << " cm " << int(c.forceCm) << c.unitCm;
    }
    g_delayInCm = 0;
    EXPECT_DOUBLE_EQ(DelaySamplesToUnits(599, 0), 12.479);
    EXPECT_DOUBLE_EQ(DelaySamplesToUnits(599, 1), 12.479 * 34);
}

TEST_F(Codecs, SourceBitToColumn)
{
    const int column[kInputs] = {0, 1, 2, 3, 4, 5, 8, 9, 12, 13, 14, 15, 6, 7, 10, 11, 16, 17};
    for (int b = 0; b < kInputs; ++b) EXPECT_EQ(SourceBitToColumn(1u << b), column[b]) << b;
    for (uint32_t bad : {0u, 3u, 1u << 18, 0xFFFFFFFFu}) EXPECT_EQ(SourceBitToColumn(bad), 0) << bad;

    SetInputVolume(4, 1u << 12, 33);  // Hi.7
    EXPECT_EQ(g_inputMixVolume[4][6], 33u);
    EXPECT_EQ(GetInputVolume(4, 1u << 12), 33u);
}

// ---- display helpers ----------------------------------------------------

TEST_F(Codecs, MuteButtonFollowsGain)
{
    // clang-format off
    struct { int channel; const wchar_t* caption; int gain; const wchar_t* after; bool bitSet; } cases[] = {
        {0, kUnmutedCaption, 600, kMutedCaption, true},
        {5, kUnmutedCaption, 600, kMutedCaption, true},
        {6, kUnmutedCaption, 600, kMutedCaption, true},   // bit 7: bit 6 is the master's
        {11, kMutedCaption, 12, kUnmutedCaption, false},
        {2, kUnmutedCaption, 599, kUnmutedCaption, false},
        {3, kMutedCaption, 600, kMutedCaption, false},     // already muted: bit untouched
        {4, L"other", 600, L"other", false},
    };
    // clang-format on
    for (auto c : cases) {
        g_muteMask = 0;
        if (std::wstring(c.caption) == kMutedCaption) g_muteMask = MuteBitOf(c.channel);
        const int before = g_muteMask;
        g_channelGain[c.channel] = c.gain;
        FakeText button;
        button.text = c.caption;
        SyncChannelMuteButton(button, c.channel);
        EXPECT_EQ(button.text, c.after) << c.channel;
        if (std::wstring(c.caption) != std::wstring(c.after))
            EXPECT_EQ((g_muteMask & MuteBitOf(c.channel)) != 0, c.bitSet) << c.channel;
        else EXPECT_EQ(g_muteMask, before) << c.channel;
    }
    EXPECT_EQ(MuteBitOf(6), 1 << 7);
    EXPECT_EQ(MuteBitOf(11), 1 << 12);
}

TEST_F(Codecs, StoresAndShowsChannelGain)
{
    FakeSlider slider;
    for (int bad : {-1, 601}) {
        SetChannelGain(1, bad, &slider);
        EXPECT_EQ(g_channelGain[1], 0);
        EXPECT_EQ(slider.invalidations, 0);
    }
    SetChannelGain(1, 600, &slider);
    EXPECT_EQ(g_channelGain[1], 600);
    EXPECT_EQ(slider.pos, 600);
    EXPECT_EQ(slider.invalidations, 1);

    FakeSlider shown;
    std::wstring text;
    g_channelGain[2] = 15;
    ShowChannelGain(&shown, text, 2);
    EXPECT_EQ(shown.pos, 15);
    EXPECT_EQ(text, L"-1.5dB");

    SetInputVolume(2, kHi1, 7);
    ShowInputVolume(&shown, text, 2, kHi1);
    EXPECT_EQ(shown.pos, 7);
    EXPECT_EQ(text, L"-7dB");
    ShowInputVolume(nullptr, text, 2, kHi1);
    EXPECT_EQ(text, L"-7dB");
}

// ---- parsers ------------------------------------------------------------

TEST_F(Codecs, FrequencyText)
{
    // clang-format off
    struct { const wchar_t* text; int result; int stored; } cases[] = {
        {L"20", 1, 20},       {L"20000", 1, 20000}, {L"1000", 0, 1000},  // 1000 is stored already
        {L"19", 0, 1000},     {L"20001", 0, 1000},  {L"1e3", 0, 1000},
        {L"1 000", 0, 1000},  {L"", 0, 1000},       {L"-50", 0, 1000},
        {L"0002500", 1, 2500}, {L"00002500", 0, 1000},  // eight characters do not fit
    };
    // clang-format on
    g_selectedChannel = 0;
    for (auto c : cases) {
        g_eqFreq[0][17] = 1000;
        EXPECT_EQ(ParseFrequencyText(c.text, 17, 0), c.result) << c.text;
        EXPECT_EQ(g_eqFreq[0][17], c.stored) << c.text;
    }
}

TEST_F(Codecs, FrequencyTextPropagatesOnlyAChange)
{
    g_btlPair12 = 1;
    g_selectedChannel = 0;
    g_eqFreq[1][3] = 45;
    EXPECT_EQ(ParseFrequencyText(L"40", 3, 0), 0);  // band 3 is at 40 Hz already
    EXPECT_EQ(g_eqFreq[1][3], 45);
    EXPECT_EQ(ParseFrequencyText(L"42", 3, 0), 1);
    EXPECT_EQ(g_eqFreq[1][3], 42);

    EXPECT_EQ(ParseFrequencyText(L"80", 99, 1), 1);  // band ignored for the crossovers
    EXPECT_EQ(g_hpFreq[0], 80);
    EXPECT_EQ(g_hpFreq[1], 80);
    EXPECT_EQ(ParseFrequencyText(L"8000", 0, 2), 1);
    EXPECT_EQ(g_lpFreq[1], 8000);
    EXPECT_EQ(ParseFrequencyText(L"100", 0, 3), 0);
}

TEST_F(Codecs, EqGainText_Parse)
{
    // clang-format off
    struct { const wchar_t* text; int result; int code; } cases[] = {
        {L"15", 1, 0},       {L"15.0", 1, 0},     {L"15.1", 0, 100},  {L"16", 0, 100},
        {L"-15", 1, 300},    {L"0.05", 1, 150},   {L"12345", 0, 100}, {L"100.0", 0, 100},
        {L".5", 0, 100},     {L"", 1, 150},       {L"-", 1, 150},     {L"1.25", 1, 138},
        {L"-1.25", 1, 162},  {L"0.0dB", 0, 100},  {L"5", 0, 100},
        {L"-.5", 0, 100},    {L"20.", 0, 100},    {L"1,5", 0, 100},   {L"+1", 0, 100},
        {L"-15.05", 0, 100},  // five characters after the sign: -15.05 dB
        {L"12.3456", 1, 27}, {L"1..5", 1, 140},  // read up to what cannot continue a number
        {L"1.2.3", 0, 100},  // five characters with the last '.' at position 3
    };
    // clang-format on
    g_selectedChannel = 2;
    for (auto c : cases) {
        g_eqGain[2][9] = 100;
        EXPECT_EQ(ParseEqGainText(9, c.text), c.result) << c.text;
        EXPECT_EQ(g_eqGain[2][9], c.code) << c.text;
    }
    // At 0 dB already: '0.05' changes nothing.
    g_eqGain[2][9] = 150;
    EXPECT_EQ(ParseEqGainText(9, L"0.05"), 0);
    // No propagation: the callers propagate.
    g_btlPair34 = 1;
    EXPECT_EQ(ParseEqGainText(9, L"3"), 1);
    EXPECT_EQ(g_eqGain[3][9], 150);
}

// The graph's gain in dB (a drag, or the graph's own value) to a band code.
TEST(EqGainCode, OfGainDb)
{
    // clang-format off
    const struct { double db; int code; } cases[] = {
        {15.0, 0}, {-15.0, 300}, {0.0, 150}, {3.25, 117}, {15.2, 0},
        {-15.5, 300}, {-0.05, 150}, {15.01, 0}, {-40.0, 300}, {NAN, 150},
    };
    // clang-format on
    for (auto c : cases) EXPECT_EQ(EqGainCodeOfDb(c.db), c.code) << c.db;
    for (int code = 0; code <= 300; ++code) EXPECT_EQ(EqGainCodeOfDb(15 - code / 10.0), code) << code;
}

TEST_F(Codecs, QText)
{
    // clang-format off
    struct { const wchar_t* text; bool result; double q; int step; } cases[] = {
        {L"10", true, 10.0, 111}, {L"10.", true, 10.0, 111}, {L"11", false, 4.32, 87},
        {L"10.5", false, 4.32, 87}, {L"0.09", false, 4.32, 87}, {L"0.1", true, 0.1, 0},
        {L"4.33", true, 4.33, 88}, {L"4.32", false, 4.32, 87}, {L"", false, 4.32, 87},
        {L".5", false, 4.32, 87}, {L"4,32", false, 4.32, 87}, {L"-1", false, 4.32, 87},
        {L"0.312", true, 0.312, 21}, {L"123", false, 4.32, 87}, {L"1.4142", true, 1.414, 51},
    };
    // clang-format on
    g_selectedChannel = 4;
    for (auto c : cases) {
        g_eqQ[4][0] = 4.32;
        g_eqQStep[4][0] = 87;
        EXPECT_EQ(ParseQText(0, c.text), c.result) << c.text;
        EXPECT_DOUBLE_EQ(g_eqQ[4][0], c.q) << c.text;
        EXPECT_EQ(g_eqQStep[4][0], c.step) << c.text;
    }
}

TEST_F(Codecs, DelayText_Parse)
{
    // clang-format off
    struct { const wchar_t* text; uint8_t cm; int result; int samples; const wchar_t* after; } cases[] = {
        {L"1", 0, 1, 48, L"1.000"},        {L"0.5", 0, 1, 24, L"0.500"},
        {L"0.51", 0, 1, 25, L"0.521"},     {L"13", 0, 1, 599, L"12.479"},
        {L"99999", 0, 1, 599, L"12.479"},  {L"1.2.3", 0, 1, 58, L"1.208"},
        {L"1,5", 0, 0, 7, L"1,5"},         {L"", 0, 1, 0, L"0.000"},
        {L"0.5000x", 0, 1, 24, L"0.500"},  // only six characters are read in ms
        {L"34", 1, 1, 48, L"34.000"},      {L"424.3", 1, 1, 599, L"424.286"},
        {L"34.00000x", 1, 1, 48, L"34.000"}, {L"34.00x", 1, 0, 7, L"34.00x"},
        {L"-1", 0, 0, 7, L"-1"},
    };
    // clang-format on
    for (auto c : cases) {
        int samples = 7;
        std::wstring text = c.text;
        EXPECT_EQ(ParseDelayText(&samples, text, c.cm), c.result) << c.text;
        EXPECT_EQ(samples, c.samples) << c.text;
        EXPECT_EQ(text, c.after) << c.text;
    }
    // The unit switch reads centimetres as well.
    g_delayInCm = 1;
    int samples = 0;
    std::wstring text = L"34";
    EXPECT_EQ(ParseDelayText(&samples, text, 0), 1);
    EXPECT_EQ(samples, 48);
}

TEST_F(Codecs, ChannelGainText_Parse)
{
    // clang-format off
    struct { const wchar_t* text; int result; int gain; } cases[] = {
        {L"OFF", 1, 600},    {L"off", 1, 600},    {L"oFf", 1, 600},     {L"-60", 1, 600},
        {L"-60.1", 0, 100},  {L"-61", 0, 100},    {L"5", 0, 100},       {L"0", 1, 0},
        {L"-0.05", 1, 0},    {L"-12.5", 1, 125},  {L"-10", 0, 100},
        {L"0.0dB", 0, 100},  {L"-12.5dB", 0, 100},  {L"-12.5000", 1, 125},
        {L"OFFX", 0, 100},   {L"OF", 0, 100},     {L"", 1, 0},          {L"-", 1, 0},
        {L"-.5", 0, 100},    {L"-1,5", 0, 100},   {L"-59.99", 1, 599},
    };
    // clang-format on
    for (auto c : cases) {
        g_channelGain[7] = 100;
        EXPECT_EQ(ParseGainText(nullptr, c.text, 7, 0), c.result) << c.text;
        EXPECT_EQ(g_channelGain[7], c.gain) << c.text;
    }
    g_channelGain[7] = 600;
    EXPECT_EQ(ParseGainText(nullptr, L"OFF", 7, 0), 0);
}

TEST_F(Codecs, MixerCellText)
{
    // clang-format off
    struct { const wchar_t* text; int result; uint32_t value; } cases[] = {
        {L"-5", 1, 5},     {L"-59", 1, 59},  {L"-60", 0, 20},  {L"OFF", 1, 60},
        {L"oFF", 1, 60},   {L"0dB", 1, 0},   {L"-5dB", 0, 20}, {L"-5d", 1, 5},
        {L"-20", 0, 20},   {L"5", 0, 20},    {L"-", 0, 20},    {L"", 0, 20},
        {L"00", 0, 20},    {L"-05", 1, 5},   {L"d", 0, 20},    {L"-1234", 0, 20},
    };
    // clang-format on
    for (auto c : cases) {
        g_inputMixVolume[1][8] = 20;  // AUX-1 of CH2
        EXPECT_EQ(ParseGainText(nullptr, c.text, 1, kAux1), c.result) << c.text;
        EXPECT_EQ(g_inputMixVolume[1][8], c.value) << c.text;
    }
}

TEST_F(Codecs, ChannelGainSpreadsButMixerCellsDoNot)
{
    g_linkGroup[0] = Mask({0, 3, 9});
    g_btlPair34 = 1;
    EXPECT_EQ(ParseGainText(nullptr, L"-3", 3, 0), 1);  // a member, not the leader
    for (int c = 0; c < kChannels; ++c) EXPECT_EQ(g_channelGain[c], (c == 0 || c == 3 || c == 9) ? 30 : 0) << c;

    EXPECT_EQ(ParseGainText(nullptr, L"-9", 3, kHi1), 1);
    EXPECT_EQ(g_inputMixVolume[3][0], 9u);
    EXPECT_EQ(g_inputMixVolume[0][0], 0u);
    EXPECT_EQ(g_inputMixVolume[2][0], 0u);
}

// ---- steppers -----------------------------------------------------------

TEST_F(Codecs, QSteps)
{
    g_selectedChannel = 1;
    // clang-format off
    struct { int step; StepDirection key; int result; int stepAfter; } cases[] = {
        {87, StepDirection::Up, 1, 88}, {87, StepDirection::Down, 1, 86}, {111, StepDirection::Up, 0, 111},
        {0, StepDirection::Down, 0, 0}, {110, StepDirection::Up, 1, 111}, {1, StepDirection::Down, 1, 0},
    };
    // clang-format on
    for (auto c : cases) {
        g_eqQ[1][2] = 3.0;
        g_eqQStep[1][2] = c.step;
        EXPECT_EQ(StepEqQ(c.key, 2), c.result) << c.step;
        EXPECT_EQ(g_eqQStep[1][2], c.stepAfter) << c.step;
        EXPECT_DOUBLE_EQ(g_eqQ[1][2], c.result ? g_qStepTable[c.stepAfter] : 3.0) << c.step;
    }
    // The stored cursor is stepped, not one taken from the present Q.
    g_eqQ[1][2] = 0.5;
    g_eqQStep[1][2] = 100;
    EXPECT_EQ(StepEqQ(StepDirection::Up, 2), 1);
    EXPECT_DOUBLE_EQ(g_eqQ[1][2], g_qStepTable[101]);
    // No propagation from the stepper.
    g_btlPair12 = 1;
    EXPECT_EQ(StepEqQ(StepDirection::Up, 2), 1);
    EXPECT_DOUBLE_EQ(g_eqQ[0][2], 4.32);

    // clang-format off
    struct { int delta; bool result; int stepAfter; } wheel[] = {
        {120, true, 88}, {-120, true, 86}, {240, false, 87}, {1, false, 87}, {0, false, 87},
    };
    // clang-format on
    for (auto w : wheel) {
        g_eqQStep[1][2] = 87;
        EXPECT_EQ(WheelStepEqQ(w.delta, 2), w.result) << w.delta;
        EXPECT_EQ(g_eqQStep[1][2], w.stepAfter) << w.delta;
    }
    g_eqQStep[1][2] = 111;
    EXPECT_FALSE(WheelStepEqQ(120, 2));
}

TEST_F(Codecs, DelayAndGainSteps)
{
    // clang-format off
    struct { int samples; StepDirection key; int result; int after; } delay[] = {
        {599, StepDirection::Up, 0, 599}, {0, StepDirection::Down, 0, 0}, {598, StepDirection::Up, 1, 599}, {1, StepDirection::Down, 1, 0},
    };
    // clang-format on
    for (auto d : delay) {
        int samples = d.samples;
        EXPECT_EQ(StepDelay(d.key, &samples), d.result) << d.samples;
        EXPECT_EQ(samples, d.after) << d.samples;
    }

    // Channel gain: Down is one step quieter.
    // clang-format off
    struct { int gain; StepDirection key; int result; int after; } gain[] = {
        {0, StepDirection::Up, 0, 0}, {600, StepDirection::Down, 0, 600}, {0, StepDirection::Down, 1, 1}, {600, StepDirection::Up, 1, 599},
    };
    // clang-format on
    g_btlPair910 = 1;
    for (auto g : gain) {
        g_channelGain[8] = g_channelGain[9] = g.gain;
        g_channelGain[9] = 300;  // the partner only follows a change
        EXPECT_EQ(StepGain(g.key, 8, 0), g.result) << g.gain;
        EXPECT_EQ(g_channelGain[8], g.after) << g.gain;
        EXPECT_EQ(g_channelGain[9], g.result ? g.after : 300) << g.gain;
    }

    // clang-format off
    struct { uint32_t cell; StepDirection key; int result; uint32_t after; } cell[] = {
        {60, StepDirection::Down, 0, 60}, {0, StepDirection::Up, 0, 0}, {59, StepDirection::Down, 1, 60}, {1, StepDirection::Up, 1, 0},
    };
    // clang-format on
    for (auto c : cell) {
        g_inputMixVolume[8][0] = c.cell;
        g_inputMixVolume[9][0] = 33;
        EXPECT_EQ(StepGain(c.key, 8, kHi1), c.result) << c.cell;
        EXPECT_EQ(g_inputMixVolume[8][0], c.after) << c.cell;
        EXPECT_EQ(g_inputMixVolume[9][0], 33u);
    }
}

// ---- locale independence ------------------------------------------------

class CommaLocale : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "de_DE.utf8"))
            GTEST_SKIP() << "no de_DE locale installed";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        if (std::string(probe) != "1,5") GTEST_SKIP() << "locale has no decimal comma";
    }
    void TearDown() override
    {
        std::setlocale(LC_ALL, "C");
        ModelTest::TearDown();
    }
};

TEST_F(CommaLocale, TextsKeepTheDecimalPoint)
{
    std::wstring text;
    g_channelGain[0] = 15;
    FormatChannelGain(text, 0);
    EXPECT_EQ(text, L"-1.5dB");
    const int samples = 599;
    FormatDelay(&samples, text, 1);
    EXPECT_EQ(text, L"424.286");
    EXPECT_EQ(FormatDecimal(4.32, 2), L"4.32");

    g_selectedChannel = 0;
    EXPECT_TRUE(ParseQText(0, L"4.33"));
    EXPECT_DOUBLE_EQ(g_eqQ[0][0], 4.33);
    EXPECT_FALSE(ParseQText(0, L"4,32"));
    EXPECT_EQ(ParseEqGainText(0, L"-1.25"), 1);
    EXPECT_EQ(g_eqGain[0][0], 162);
    int count = 0;
    text = L"0.51";
    EXPECT_EQ(ParseDelayText(&count, text, 0), 1);
    EXPECT_EQ(count, 25);
    EXPECT_EQ(text, L"0.521");
    EXPECT_EQ(ParseGainText(nullptr, L"-12.5", 0, 0), 1);
    EXPECT_EQ(g_channelGain[0], 125);
}

TEST(NumberText, ReadsAPrefixLikeTheCLocale)
{
    // clang-format off
    struct { const wchar_t* text; double value; } cases[] = {
        {L"1.2.3", 1.2}, {L"1.", 1.0}, {L".5", 0.5}, {L".", 0.0}, {L"", 0.0}, {L"abc", 0.0},
        {L"  -2.5x", -2.5}, {L"+3", 3.0}, {L"1e2", 100.0}, {L"1e", 1.0}, {L"4,32", 4.0},
        {L"-.25", -0.25}, {L"+-1", 0.0},
    };
    // clang-format on
    for (auto c : cases) EXPECT_DOUBLE_EQ(ReadNumberPrefix(c.text), c.value) << c.text;
    EXPECT_EQ(FormatDecimal(0.125, 2), L"0.12");  // ties round to even, as printf does
    EXPECT_EQ(FormatDecimal(12.479, 3), L"12.479");
    EXPECT_EQ(FormatDecimal(-0.04, 1), L"-0.0");
}

}  // namespace
