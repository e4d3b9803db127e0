// The value kinds of the entry fields: per kind a table of commits (edges,
// rejected texts) and a table of steps by key and wheel (at and beyond the
// limits), run against the model globals.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "model/codecs.h"
#include "model/params.h"
#include "model/value_kinds.h"
#include "model_fakes.h"

namespace {

constexpr StepDirection Up = StepDirection::Up;
constexpr StepDirection Down = StepDirection::Down;

class ValueKinds : public ModelTest {};

struct CommitCase {
    int before;
    const wchar_t* text;
    bool stored;
    int after;
    const wchar_t* shown;  // Format() afterwards
};

struct StepCase {
    int before;
    StepDirection dir;
    int wheel;  // when not 0, a wheel message of this delta instead of a key (dir unused)
    bool changed;
    int after;
};

// Runs both tables on a kind whose value is read and written through `value`.
template <class Kind>
void RunTables(Kind kind, int& value, const std::vector<CommitCase>& commits, const std::vector<StepCase>& steps)
{
    for (const CommitCase& c : commits) {
        SCOPED_TRACE(testing::Message() << "commit \"" << std::string(c.text, c.text + std::wcslen(c.text)) << "\" on "
                                        << c.before);
        value = c.before;
        EXPECT_EQ(kind.Commit(c.text), c.stored);
        EXPECT_EQ(value, c.after);
        EXPECT_EQ(kind.Format(), c.shown);
    }
    for (const StepCase& s : steps) {
        SCOPED_TRACE(testing::Message() << "step " << (s.dir == Up ? "up" : "down") << "/" << s.wheel << " from "
                                        << s.before);
        value = s.before;
        EXPECT_EQ(s.wheel ? kind.Wheel(s.wheel) : kind.Step(s.dir), s.changed);
        EXPECT_EQ(value, s.after);
    }
}

TEST(WheelDirectionTest, OnlyOneWholeNotchSteps)
{
    EXPECT_EQ(WheelDirection(120), Up);
    EXPECT_EQ(WheelDirection(-120), Down);
    for (int delta : {0, 1, 60, -60, 119, 121, 240, -240}) EXPECT_FALSE(WheelDirection(delta).has_value()) << delta;
}

TEST_F(ValueKinds, BandFrequency)
{
    g_selectedChannel = 2;
    // clang-format off
    RunTables(BandFreqKind(30), g_eqFreq[2][30],
              {
                  {1000, L"20", true, 20, L"20"},
                  {1000, L"20000", true, 20000, L"20000"},
                  {1000, L"01000", false, 1000, L"1000"},  // the stored value
                  {2000, L"01000", true, 1000, L"1000"},
                  {1000, L"19", false, 1000, L"1000"},
                  {1000, L"20001", false, 1000, L"1000"},
                  {1000, L"", false, 1000, L"1000"},
                  {1000, L" 100", false, 1000, L"1000"},
                  {1000, L"1.5", false, 1000, L"1000"},
                  {1000, L"-100", false, 1000, L"1000"},
                  {1000, L"00000100", false, 1000, L"1000"},  // eight characters
              },
              {
                  {20000, Up, 0, false, 20000},
                  {19999, Up, 0, true, 20000},
                  {20, Down, 0, false, 20},
                  {21, Down, 0, true, 20},
                  {1000, Up, 120, true, 1001},
                  {1000, Up, -120, true, 999},
                  {1000, Up, 240, false, 1000},
                  {20000, Up, 120, false, 20000},
              });
    // clang-format on
}

TEST_F(ValueKinds, CutFrequenciesWriteTheirOwnArray)
{
    g_selectedChannel = 5;
    const int lpBefore = g_lpFreq[5];
    // clang-format off
    RunTables(CutFreqKind::HighPass(), g_hpFreq[5],
              {
                  {100, L"0150", true, 150, L"150"},
                  {100, L"0100", false, 100, L"100"},
                  {100, L"19", false, 100, L"100"},
                  {100, L"20001", false, 100, L"100"},
              },
              {
                  {20, Down, 0, false, 20},
                  {20000, Up, 0, false, 20000},
                  {20, Up, 0, true, 21},
              });
    // clang-format on
    EXPECT_EQ(g_lpFreq[5], lpBefore);
    RunTables(CutFreqKind::LowPass(), g_lpFreq[5], {{20000, L"19999", true, 19999, L"19999"}},
              {{20000, Up, 0, false, 20000}, {20000, Down, 0, true, 19999}});
    EXPECT_EQ(g_hpFreq[5], 21);
}

TEST_F(ValueKinds, BandGain)
{
    g_selectedChannel = 0;
    // clang-format off
    RunTables(BandGainKind(6), g_eqGain[0][6],
              {
                  {150, L"3", true, 120, L"3.0"},
                  {150, L"-15", true, 300, L"-15.0"},
                  {150, L"15", true, 0, L"15.0"},
                  {150, L"16", false, 150, L"0.0"},
                  {150, L"-16", false, 150, L"0.0"},
                  {120, L"", true, 150, L"0.0"},  // an empty text reads 0
                  {120, L"3.0", false, 120, L"3.0"},
                  {150, L"abc", false, 150, L"0.0"},
              },
              {
                  {150, Up, 0, true, 149},
                  {150, Down, 0, true, 151},
                  {0, Up, 0, false, 0},
                  {300, Down, 0, false, 300},
                  {0, Up, 120, false, 0},
                  {300, Up, -120, false, 300},
                  {150, Up, -240, false, 150},
              });
    // clang-format on
}

TEST_F(ValueKinds, BandQStepsAlongTheTableFromTheStoredIndex)
{
    g_selectedChannel = 1;
    BandQKind q(4);
    struct {
        int index;
        StepDirection dir;
        int wheel;
        bool changed;
        const wchar_t* shown;
    } steps[] = {
        // clang-format off
        {kDefaultQStep, Up, 0, true, L"4.42"},
        {kDefaultQStep, Down, 0, true, L"4.18"},
        {kQSteps - 1, Up, 0, false, L"10.00"},
        {0, Down, 0, false, L"0.10"},
        {kDefaultQStep, Up, 120, true, L"4.42"},
        {kDefaultQStep, Up, 240, false, L"4.32"},
    };
    // clang-format on
    for (auto s : steps) {
        SCOPED_TRACE(s.index);
        g_eqQStep[1][4] = s.index;
        g_eqQ[1][4] = g_qStepTable[s.index];
        EXPECT_EQ(s.wheel ? q.Wheel(s.wheel) : q.Step(s.dir), s.changed);
        EXPECT_EQ(q.Format(), s.shown);
    }
    struct {
        const wchar_t* text;
        bool stored;
        const wchar_t* shown;
    } commits[] = {
        // clang-format off
        {L"4.35", true, L"4.35"}, {L"10", true, L"10.00"}, {L"0.5", true, L"0.50"}, {L"005", true, L"5.00"},
        {L"4.32", false, L"4.32"}, {L"0010", false, L"4.32"}, {L".5", false, L"4.32"}, {L"0.09", false, L"4.32"},
        {L"11", false, L"4.32"},   {L"abc", false, L"4.32"}, {L"", false, L"4.32"},
    };
    // clang-format on
    for (auto c : commits) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        g_eqQ[1][4] = kDefaultQ;
        g_eqQStep[1][4] = kDefaultQStep;
        EXPECT_EQ(q.Commit(c.text), c.stored);
        EXPECT_EQ(q.Format(), c.shown);
    }
    // 4.35 is kept as typed with the index of the first entry not below it.
    g_eqQ[1][4] = kDefaultQ;
    ASSERT_TRUE(q.Commit(L"4.35"));
    EXPECT_DOUBLE_EQ(q.Value(), 4.35);
    EXPECT_EQ(g_eqQStep[1][4], 88);
}

TEST_F(ValueKinds, DelayInMillisecondsAndCentimetres)
{
    int samples = 0;
    // clang-format off
    RunTables(DelayKind(&samples, false), samples,
              {
                  {0, L"5", true, 240, L"5.000"},
                  {0, L"5.01", true, 241, L"5.021"},
                  {0, L"13", true, 599, L"12.479"},
                  {7, L"", true, 0, L"0.000"},
                  {7, L"12.4790", true, 599, L"12.479"},  // six characters read
                  {7, L"1,5", false, 7, L"0.146"},
                  {7, L"-3", false, 7, L"0.146"},
              },
              {
                  {599, Up, 0, false, 599},
                  {598, Up, 0, true, 599},
                  {0, Down, 0, false, 0},
                  {5, Up, -120, true, 4},
                  {5, Up, 240, false, 5},
              });
    // clang-format on
    // The calculator's distances are centimetres whatever the unit.
    RunTables(DelayKind(&samples, true), samples, {{0, L"100", true, 142, L"100.572"}, {0, L"0.5", true, 1, L"0.714"}},
              {});
    g_delayInCm = 1;
    samples = 48;
    EXPECT_EQ(DelayKind(&samples, false).Format(), L"34.000");
}

TEST_F(ValueKinds, ChannelGainSpreadsToTheBridgedPartner)
{
    // clang-format off
    RunTables(ChannelGainKind(3), g_channelGain[3],
              {
                  {0, L"-12.5", true, 125, L"-12.5dB"},
                  {0, L"off", true, 600, L"OFF"},
                  {0, L"-60", true, 600, L"OFF"},
                  {0, L"-61", false, 0, L"0.0dB"},
                  {0, L"5", false, 0, L"0.0dB"},
                  {125, L"-12.5", false, 125, L"-12.5dB"},
              },
              {
                  {600, Down, 0, false, 600},
                  {0, Up, 0, false, 0},
                  {600, Up, 0, true, 599},
                  {0, Up, -120, true, 1},
              });
    // clang-format on
    g_btlPair34 = 1;
    g_channelGain[2] = 0;
    g_channelGain[3] = 0;
    ASSERT_TRUE(ChannelGainKind(2).Step(Down));
    EXPECT_EQ(g_channelGain[3], 1);
    ASSERT_TRUE(ChannelGainKind(3).Commit(L"-2"));
    EXPECT_EQ(g_channelGain[2], 20);
}

TEST_F(ValueKinds, MixerCell)
{
    constexpr uint32_t kAux1 = 1u << 6;
    MixerCellKind cell(4, kAux1);
    auto set = [&](int v) { g_inputMixVolume[4][SourceBitToColumn(kAux1)] = static_cast<uint32_t>(v); };
    struct {
        int before;
        const wchar_t* text;
        bool stored;
        int after;
        const wchar_t* shown;
    } commits[] = {
        // clang-format off
        {0, L"-7", true, 7, L"-7dB"},   {0, L"-07", true, 7, L"-7dB"}, {0, L"-59", true, 59, L"-59dB"},
        {0, L"OfF", true, 60, L"-60dB"}, {0, L"-5d", true, 5, L"-5dB"}, {5, L"0dB", true, 0, L"0dB"},
        {0, L"-60", false, 0, L"0dB"},  {0, L"12", false, 0, L"0dB"},  {0, L"-a", false, 0, L"0dB"},
        {0, L"-5dB", false, 0, L"0dB"}, {7, L"-7", false, 7, L"-7dB"},
    };
    // clang-format on
    for (auto c : commits) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        set(c.before);
        EXPECT_EQ(cell.Commit(c.text), c.stored);
        EXPECT_EQ(cell.Value(), c.after);
        EXPECT_EQ(cell.Format(), c.shown);
    }
    struct {
        int before;
        StepDirection dir;
        bool changed;
        int after;
    } steps[] = {{60, Down, false, 60}, {0, Up, false, 0}, {59, Down, true, 60}};
    for (auto s : steps) {
        set(s.before);
        EXPECT_EQ(cell.Step(s.dir), s.changed) << s.before;
        EXPECT_EQ(cell.Value(), s.after) << s.before;
    }
    // Without a source bit the kind is no mixer cell: nothing changes.
    EXPECT_FALSE(MixerCellKind(4, 0).Step(Down));
    EXPECT_FALSE(MixerCellKind(4, 0).Commit(L"-3"));
    EXPECT_EQ(g_channelGain[4], 0);
}

TEST_F(ValueKinds, MasterVolumeEnterAndFocusLossReadDifferently)
{
    MasterVolumeKind master;
    // clang-format off
    RunTables(master, g_masterVolume,
              {
                  {0, L"-7", true, 7, L"-7dB"},
                  {0, L"-07", true, 7, L"-7dB"},
                  {0, L"oFf", true, 60, L"OFF"},
                  {0, L"-59", true, 59, L"-59dB"},
                  {12, L"-12", true, 12, L"-12dB"},  // Enter stores the same value again
                  {0, L"0", true, 0, L"0dB"},
                  {3, L"-60", false, 3, L"-3dB"},
                  {3, L"0dB", false, 3, L"-3dB"},
                  {3, L"-5d", false, 3, L"-3dB"},
                  {3, L"12", false, 3, L"-3dB"},
                  {3, L"-x", false, 3, L"-3dB"},
                  {3, L"", false, 3, L"-3dB"},
              },
              {
                  {60, Down, 0, false, 60},
                  {60, Up, 0, true, 59},
                  {59, Down, 0, true, 60},
                  {0, Up, 0, false, 0},
                  {5, Up, 120, true, 4},
                  {5, Up, 240, false, 5},
              });
    // clang-format on
    struct {
        int before;
        const wchar_t* text;
        bool stored;
        int after;
    } focusLoss[] = {
        // clang-format off
        {3, L"0dB", true, 0},  {3, L"-5d", true, 5},   {3, L"off", true, 60}, {3, L"-59", true, 59},
        {3, L"-3", false, 3},  {3, L"-60", false, 3},  {3, L"-5dB", false, 3}, {3, L"5", false, 3},
        {3, L"-", false, 3},
    };
    // clang-format on
    for (auto c : focusLoss) {
        SCOPED_TRACE(std::string(c.text, c.text + std::wcslen(c.text)));
        g_masterVolume = c.before;
        EXPECT_EQ(master.CommitOnFocusLoss(c.text), c.stored);
        EXPECT_EQ(g_masterVolume, c.after);
    }
}

TEST_F(ValueKinds, MixVolumeAcceptsSixtyAsDigits)
{
    int volume = 0;
    // clang-format off
    RunTables(MixVolumeKind(&volume), volume,
              {
                  {0, L"-60", true, 60, L"-60dB"},
                  {0, L"-12", true, 12, L"-12dB"},
                  {5, L"0dB", true, 0, L"0dB"},
                  {0, L"OFF", true, 60, L"-60dB"},
                  {0, L"-61", false, 0, L"0dB"},
                  {0, L"-12dB", false, 0, L"0dB"},
                  {12, L"-12", false, 12, L"-12dB"},
                  {61, L"x", false, 61, L""},
              },
              {
                  {0, Down, 0, true, 1},
                  {0, Up, 0, false, 0},
                  {60, Down, 0, false, 60},
                  {0, Up, -120, true, 1},
              });
    // clang-format on
}

}  // namespace
