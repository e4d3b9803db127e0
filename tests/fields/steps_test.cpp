// Up and Down, the wheel and Enter in every kind of field, as tables: the
// step starts from the stored value (a typed text is replaced), nothing
// happens at a limit, the wheel acts only at exactly +/-120 while the
// field has the focus, and Enter commits through the codecs, giving way to
// the stored value's text when the text is rejected, and goes no further.
#include <cstdio>
#include <string>

#include "tests/fields/fields_fixture.h"

using namespace fields_testing;

namespace {

using FieldOf = std::function<CEdit&(MainFieldsDlg&)>;
using Prepare = std::function<void(MainFieldsDlg&)>;
using Reader = std::function<std::string(MainFieldsDlg&)>;

std::string Str(int v) { return std::to_string(v); }
std::string Q3(double q)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.3f", q);
    return buf;
}

// Fields by kind. Band 5 (index 4) of CH1, channel CH3 (index 2).
constexpr int kB = 4;
constexpr int kCh = 2;
CEdit& Freq(MainFieldsDlg& d) { return d.fre[kB]; }
CEdit& Gain(MainFieldsDlg& d) { return d.gain[kB]; }
CEdit& Q(MainFieldsDlg& d) { return d.q[kB]; }
CEdit& Hp(MainFieldsDlg& d) { return d.hp; }
CEdit& Lp(MainFieldsDlg& d) { return d.lp; }
CEdit& Delay(MainFieldsDlg& d) { return d.DelayField(kCh); }
CEdit& ChGain(MainFieldsDlg& d) { return d.GainField(kCh); }
CEdit& Master(MainFieldsDlg& d) { return d.master; }

// What each kind stores, with what follows it (slider, partner, mute).
std::string FreqValue(MainFieldsDlg&) { return Str(g_eqFreq[0][kB]); }
std::string GainValue(MainFieldsDlg& d) { return Str(g_eqGain[0][kB]) + " slider " + Str(d.sliders[kB].GetPos()); }
std::string QValue(MainFieldsDlg&) { return Str(g_eqQStep[0][kB]) + " " + Q3(g_eqQ[0][kB]); }
std::string HpValue(MainFieldsDlg&) { return Str(g_hpFreq[0]); }
std::string LpValue(MainFieldsDlg&) { return Str(g_lpFreq[0]); }
std::string DelayValue(MainFieldsDlg& d) { return Str(d.DelayField(kCh).GetValue()); }
std::string ChGainValue(MainFieldsDlg&) { return Str(g_channelGain[kCh]) + " " + Str(g_channelGain[kCh + 1]); }
std::string MasterValue(MainFieldsDlg& d)
{
    return Str(g_masterVolume) + " slider " + Str(d.masterSlider.GetPos()) + " mute " + Str((g_muteMask >> 6) & 1) +
           " " + std::string(Text(d.MuteButton()) == kMutedCaption ? "muted" : "playing");
}

const Event kDelayChanged{WM_DELAY_CHANGED, 0, 0};
const Event kGainStepped{WM_EDIT_STEP, kCh, 0};
const Event kGainCommitted{WM_EDIT_COMMIT, kCh, 0};

class StepsTest : public FieldsTest {};

TEST_F(StepsTest, UpAndDownStepTheStoredValueAndDoNothingAtALimit)
{
    struct Case {
        const char* name;
        FieldOf field;
        Prepare setup;
        UINT key;
        Reader value;
        std::string wantValue;
        std::wstring wantText;  // "7" was typed before the key
        std::vector<Event> wantMessages;
    } cases[] = {
        // clang-format off
        {"frequency up", Freq, [](auto&) { g_eqFreq[0][kB] = 1000; }, VK_UP, FreqValue, "1001", L"1001", {}},
        {"frequency down to 20", Freq, [](auto&) { g_eqFreq[0][kB] = 21; }, VK_DOWN, FreqValue, "20", L"20", {}},
        {"frequency down at 20", Freq, [](auto&) { g_eqFreq[0][kB] = 20; }, VK_DOWN, FreqValue, "20", L"7", {}},
        {"frequency up at 20000", Freq, [](auto&) { g_eqFreq[0][kB] = 20000; }, VK_UP, FreqValue, "20000", L"7", {}},
        {"gain up from 0 dB", Gain, [](auto&) {}, VK_UP, GainValue, "149 slider 149", L"0.1", {}},
        {"gain down from 0 dB", Gain, [](auto&) {}, VK_DOWN, GainValue, "151 slider 151", L"-0.1", {}},
        {"gain up at +15 dB", Gain, [](auto&) { g_eqGain[0][kB] = 0; }, VK_UP, GainValue, "0 slider 0", L"7", {}},
        {"gain down at -15 dB", Gain, [](auto&) { g_eqGain[0][kB] = 300; }, VK_DOWN, GainValue, "300 slider 300", L"7", {}},
        {"Q up the table", Q, [](auto&) {}, VK_UP, QValue, "88 4.420", L"4.42", {}},
        {"Q down the table", Q, [](auto&) {}, VK_DOWN, QValue, "86 4.180", L"4.18", {}},
        {"Q up at the table's end", Q, [](auto&) { g_eqQStep[0][kB] = 111; g_eqQ[0][kB] = 10.0; }, VK_UP, QValue,
         "111 10.000", L"7", {}},
        {"Q from the stored index, not the Q", Q, [](auto&) { g_eqQ[0][kB] = 1.0; }, VK_UP, QValue, "88 4.420",
         L"4.42", {}},
        {"low cut up", Hp, [](auto&) { g_hpFreq[0] = 120; }, VK_UP, HpValue, "121", L"121", {}},
        {"low cut down at 20", Hp, [](auto&) { g_hpFreq[0] = 20; }, VK_DOWN, HpValue, "20", L"7", {}},
        {"high cut up at 20000", Lp, [](auto&) { g_lpFreq[0] = 20000; }, VK_UP, LpValue, "20000", L"7", {}},
        {"delay up to the end", Delay, [](auto& d) { d.DelayField(kCh).SetValue(598); }, VK_UP, DelayValue, "599",
         L"12.479", {kDelayChanged}},
        {"delay up at the end", Delay, [](auto& d) { d.DelayField(kCh).SetValue(599); }, VK_UP, DelayValue, "599",
         L"7", {}},
        {"delay down at 0", Delay, [](auto&) {}, VK_DOWN, DelayValue, "0", L"7", {}},
        {"channel gain up from OFF", ChGain, [](auto&) { g_channelGain[kCh] = 600; }, VK_UP, ChGainValue, "599 0",
         L"-59.9dB", {kGainStepped}},
        {"channel gain up at 0 dB", ChGain, [](auto&) {}, VK_UP, ChGainValue, "0 0", L"7", {}},
        {"channel gain down at OFF", ChGain, [](auto&) { g_channelGain[kCh] = 600; }, VK_DOWN, ChGainValue, "600 0",
         L"7", {}},
        {"channel gain with its bridged partner", ChGain,
         [](auto&) {
             BridgeFlagOf(kCh) = 1;
             g_channelGain[kCh] = g_channelGain[kCh + 1] = 100;
         },
         VK_DOWN, ChGainValue, "101 101", L"-10.1dB", {kGainStepped}},
        {"master down to OFF mutes on release", Master, [](auto&) { g_masterVolume = 59; }, VK_DOWN, MasterValue,
         "60 slider 60 mute 1 muted", L"OFF", {}},
        {"master up from OFF unmutes on release", Master,
         [](auto&) {
             g_masterVolume = 60;
             g_muteMask = 0x40;
         },
         VK_UP, MasterValue, "59 slider 59 mute 0 playing", L"-59dB", {}},
        {"master down at OFF", Master, [](auto&) { g_masterVolume = 60; }, VK_DOWN, MasterValue,
         "60 slider 60 mute 1 muted", L"7", {}},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ResetModel(d);
            c.setup(d);
            d.ShowModel();
            CEdit& field = c.field(d);
            TypeInto(field, L"7");
            d.Clear();
            Press(field, c.key);
            EXPECT_EQ(c.value(d), c.wantValue);
            EXPECT_EQ(Text(field), c.wantText);
            EXPECT_TRUE(WholeTextSelected(field));
            EXPECT_EQ(d.Messages(), c.wantMessages);
        }
    });
}

TEST_F(StepsTest, TheWheelStepsOnlyAtExactlyOneNotchWhileTheFieldHasTheFocus)
{
    struct Kind {
        const char* name;
        FieldOf field;
        Prepare setup;
        Reader value;
        std::string start, up, down;  // +120 steps as Up, -120 as Down
        std::vector<Event> perStep;
    } kinds[] = {
        // clang-format off
        {"frequency", Freq, [](auto&) { g_eqFreq[0][kB] = 1000; }, FreqValue, "1000", "1001", "999", {}},
        {"gain", Gain, [](auto&) {}, GainValue, "150 slider 150", "149 slider 149", "151 slider 151", {}},
        {"Q", Q, [](auto&) {}, QValue, "87 4.320", "88 4.420", "86 4.180", {}},
        {"high cut", Lp, [](auto&) { g_lpFreq[0] = 5000; }, LpValue, "5000", "5001", "4999", {}},
        {"delay", Delay, [](auto& d) { d.DelayField(kCh).SetValue(10); }, DelayValue, "10", "11", "9", {kDelayChanged}},
        {"channel gain", ChGain, [](auto&) { g_channelGain[kCh] = 10; }, ChGainValue, "10 0", "9 0", "11 0",
         {kGainStepped}},
        {"master, whose mute follows at once", Master, [](auto&) { g_masterVolume = 59; }, MasterValue,
         "59 slider 59 mute 0 playing", "58 slider 58 mute 0 playing", "60 slider 60 mute 1 muted", {}},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const Kind& k : kinds) {
            for (const int delta : {120, -120, 240, -240, 60, -1}) {
                SCOPED_TRACE(testing::Message() << k.name << " delta " << delta);
                ResetModel(d);
                k.setup(d);
                d.ShowModel();
                CEdit& field = k.field(d);
                ClickInto(field);
                d.Clear();
                Wheel(field, delta);
                const bool stepped = delta == 120 || delta == -120;
                EXPECT_EQ(k.value(d), delta == 120 ? k.up : delta == -120 ? k.down : k.start);
                EXPECT_EQ(d.Messages(), stepped ? k.perStep : std::vector<Event>{});
                EXPECT_TRUE(HasFocus(field));
            }
            SCOPED_TRACE(testing::Message() << k.name << " without the focus");
            ResetModel(d);
            k.setup(d);
            d.ShowModel();
            ClickInto(d.Button());
            d.Clear();
            Wheel(k.field(d), 120);
            EXPECT_EQ(k.value(d), k.start);
            EXPECT_EQ(d.Messages(), std::vector<Event>{});
        }
    });
}

TEST_F(StepsTest, EnterCommitsThroughTheCodecsAndARejectedTextGivesWayToTheStoredOne)
{
    struct Case {
        const char* name;
        FieldOf field;
        Prepare setup;
        std::wstring typed;
        Reader value;
        std::string wantValue;
        std::wstring wantText;
        std::vector<Event> wantMessages;
    } cases[] = {
        // clang-format off
        // An accepted frequency stays as typed; a rejected one gives way.
        {"frequency with leading zeros", Freq, [](auto&) { g_eqFreq[0][kB] = 400; }, L"00500", FreqValue, "500",
         L"00500", {}},
        {"frequency below 20", Freq, [](auto&) { g_eqFreq[0][kB] = 400; }, L"19", FreqValue, "400", L"400", {}},
        {"frequency above 20000", Freq, [](auto&) { g_eqFreq[0][kB] = 400; }, L"20001", FreqValue, "400", L"400", {}},
        {"frequency with letters and a sign", Freq, [](auto&) { g_eqFreq[0][kB] = 400; }, L"abc-99999", FreqValue,
         "400", L"400", {}},
        {"frequency of eight digits", Freq, [](auto&) { g_eqFreq[0][kB] = 400; }, L"00000500", FreqValue, "400",
         L"400", {}},
        {"empty frequency", Freq, [](auto&) { g_eqFreq[0][kB] = 400; }, L"", FreqValue, "400", L"400", {}},
        {"unchanged frequency loses its zeros", Freq, [](auto&) { g_eqFreq[0][kB] = 100; }, L"0100", FreqValue, "100",
         L"100", {}},
        {"low cut", Hp, [](auto&) { g_hpFreq[0] = 120; }, L"00150", HpValue, "150", L"00150", {}},
        {"low cut below 20", Hp, [](auto&) { g_hpFreq[0] = 120; }, L"19", HpValue, "120", L"120", {}},
        {"high cut", Lp, [](auto&) {}, L"8000", LpValue, "8000", L"8000", {}},
        // Gain and Q show their standard form at once.
        {"gain", Gain, [](auto&) {}, L"3", GainValue, "120 slider 120", L"3.0", {}},
        {"gain out of range", Gain, [](auto&) {}, L"16", GainValue, "150 slider 150", L"0.0", {}},
        {"empty gain is 0 dB", Gain, [](auto&) { g_eqGain[0][kB] = 100; }, L"", GainValue, "150 slider 150", L"0.0",
         {}},
        {"Q between table steps", Q, [](auto&) {}, L"4.35", QValue, "88 4.350", L"4.35", {}},
        {"Q kept as typed, shown with two decimals", Q, [](auto&) {}, L"1.234", QValue,
         Str(QStepIndexFor(1.234)) + " 1.234", L"1.23", {}},
        {"Q read from its first five characters", Q, [](auto&) {}, L"2.50000", QValue,
         Str(QStepIndexFor(2.5)) + " 2.500", L"2.50", {}},
        {"Q of ten", Q, [](auto&) {}, L"10", QValue, "111 10.000", L"10.00", {}},
        {"Q without a leading digit", Q, [](auto&) {}, L".5", QValue, "87 4.320", L"4.32", {}},
        {"Q of four digits without a point", Q, [](auto&) {}, L"0010", QValue, "87 4.320", L"4.32", {}},
        {"Q above 10", Q, [](auto&) {}, L"11", QValue, "87 4.320", L"4.32", {}},
        // Delays: the main window hears of every accepted text.
        {"delay in milliseconds", Delay, [](auto&) {}, L"5", DelayValue, "240", L"5.000", {kDelayChanged}},
        {"delay rounded up to the sample grid", Delay, [](auto&) {}, L"5.01", DelayValue, "241", L"5.021",
         {kDelayChanged}},
        {"delay past the end", Delay, [](auto&) {}, L"13", DelayValue, "599", L"12.479", {kDelayChanged}},
        {"empty delay is 0", Delay, [](auto& d) { d.DelayField(kCh).SetValue(48); }, L"", DelayValue, "0", L"0.000",
         {kDelayChanged}},
        {"delay with a comma", Delay, [](auto& d) { d.DelayField(kCh).SetValue(48); }, L"1,5", DelayValue, "48",
         L"1.000", {}},
        {"negative delay", Delay, [](auto& d) { d.DelayField(kCh).SetValue(48); }, L"-3", DelayValue, "48", L"1.000",
         {}},
        {"delay in centimetres", Delay, [](auto&) { g_delayInCm = 1; }, L"100", DelayValue, "142", L"100.572",
         {kDelayChanged}},
        // Channel gains: the owner parses and rewrites.
        {"channel gain", ChGain, [](auto&) {}, L"-12.5", ChGainValue, "125 0", L"-12.5dB", {kGainCommitted}},
        {"channel gain rejected", ChGain, [](auto&) { g_channelGain[kCh] = 30; }, L"5", ChGainValue, "30 0",
         L"-3.0dB", {kGainCommitted}},
        // Master: "OFF", "-N", "-NN" up to 59 or "0".
        {"master", Master, [](auto&) {}, L"-7", MasterValue, "7 slider 7 mute 0 playing", L"-7dB", {}},
        {"master with a leading zero", Master, [](auto&) {}, L"-07", MasterValue, "7 slider 7 mute 0 playing",
         L"-7dB", {}},
        {"master OFF in any case", Master, [](auto&) {}, L"oFf", MasterValue, "60 slider 60 mute 1 muted", L"OFF",
         {}},
        {"master -60", Master, [](auto&) { g_masterVolume = 5; }, L"-60", MasterValue, "5 slider 5 mute 0 playing",
         L"-5dB", {}},
        {"master with its unit", Master, [](auto&) { g_masterVolume = 5; }, L"0dB", MasterValue,
         "5 slider 5 mute 0 playing", L"-5dB", {}},
        {"master without a minus", Master, [](auto&) { g_masterVolume = 5; }, L"12", MasterValue,
         "5 slider 5 mute 0 playing", L"-5dB", {}},
        {"master of a letter", Master, [](auto&) { g_masterVolume = 5; }, L"-a", MasterValue,
         "5 slider 5 mute 0 playing", L"-5dB", {}},
    };
    // clang-format on
    RunMain([&](MainFieldsDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ResetModel(d);
            c.setup(d);
            d.ShowModel();
            CEdit& field = c.field(d);
            TypeInto(field, c.typed);
            ASSERT_EQ(Text(field), c.typed);
            d.Clear();
            Press(field, VK_RETURN);
            EXPECT_EQ(c.value(d), c.wantValue);
            EXPECT_EQ(Text(field), c.wantText);
            EXPECT_TRUE(WholeTextSelected(field));
            EXPECT_TRUE(HasFocus(field));
            // Enter goes no further: the dialog's default button is not pressed.
            EXPECT_EQ(d.events, c.wantMessages);
        }
    });
}

TEST_F(StepsTest, StepsAndCommitsSpreadToTheLinkGroupOfTheSelectedChannel)
{
    RunMain([&](MainFieldsDlg& d) {
        g_selectedChannel = 2;
        g_linkGroup[2] = (1 << 2) | (1 << 5);
        d.ShowModel();
        Press(d.fre[kB], VK_UP);
        EXPECT_EQ(g_eqFreq[5][kB], g_eqFreq[2][kB]);
        TypeInto(d.gain[kB], L"-4.5");
        Press(d.gain[kB], VK_RETURN);
        EXPECT_EQ(g_eqGain[2][kB], 195);
        EXPECT_EQ(g_eqGain[5][kB], 195);
        Press(d.q[kB], VK_DOWN);
        EXPECT_EQ(g_eqQ[5][kB], g_qStepTable[86]);
        EXPECT_EQ(g_eqQStep[5][kB], kDefaultQStep) << "the step cursor stays with the edited channel";
        TypeInto(d.hp, L"250");
        Press(d.hp, VK_RETURN);
        EXPECT_EQ(g_hpFreq[5], 250);
        EXPECT_EQ(g_hpFreq[0], 20) << "a channel outside the group";
    });
}

}  // namespace
