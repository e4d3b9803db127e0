// The handlers of the channel strips, the master volume and the Link and
// curve buttons on a recording view: after each one the model, the texts,
// the sliders and the captions agree for every channel tied to the one
// edited.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "controls_fakes.h"
#include "model/codecs.h"
#include "model/propagation.h"
#include "res/resource.h"

namespace {

std::vector<int> AllChannelsList()
{
    std::vector<int> v;
    for (int c = 0; c < kChannels; ++c) v.push_back(c);
    return v;
}

// The model's view of the same strips the family writes, as the main
// window has it: one set of controls.
struct SharedView : FakeView {
    explicit SharedView(FakeControls& c) : controls(c) {}
    FakeControls& controls;
    ITextControl& GainField(int c) override { return controls.chGain[c]; }
    ISlider& GainSlider(int c) override { return controls.chSlider[c]; }
    ITextControl& MuteButton(int c) override { return controls.mute[c]; }
};

class StripsTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        for (int c = 0; c < kChannels; ++c) {
            controls.mute[c].text = kUnmutedCaption;
            controls.phase[c].text = LoadResString(IDS_PHASE_0);
        }
        controls.masterMute.text = kUnmutedCaption;
    }

    // Every channel's slider, text and mute state agree with its gain.
    void ExpectStripsAgree()
    {
        for (int c = 0; c < kChannels; ++c) {
            SCOPED_TRACE(c);
            std::wstring text;
            FormatChannelGain(text, c);
            const bool off = g_channelGain[c] == 600;
            if (controls.chSlider[c].pos >= 0) {
                EXPECT_EQ(controls.chSlider[c].pos, g_channelGain[c]);
            }
            if (!controls.chGain[c].text.empty()) {
                EXPECT_EQ(controls.chGain[c].text, text);
            }
            EXPECT_EQ(controls.mute[c].text, off ? kMutedCaption : kUnmutedCaption);
            EXPECT_EQ((g_muteMask & MuteBitOf(c)) != 0, off);
        }
    }

    ChannelStrips strips{controls};
    SharedView model{controls};
};

// ---- mute ---------------------------------------------------------------------

TEST_F(StripsTest, MuteKeepsEachChannelsAttenuationAndTheTiedChannelsFollow)
{
    struct Case {
        const char* name;
        std::function<void()> tie;
        int clicked;
        std::vector<int> muted;  // the channels the click mutes
    } cases[] = {
        // clang-format off
        {"alone", [] {}, 2, {2}},
        {"bridged pair", [] { g_btlPair12 = 1; }, 0, {0, 1}},
        {"bridged, the follower clicked", [] { g_btlPair12 = 1; }, 1, {0, 1}},
        {"link group beats the bridge",
         [] {
             g_btlPair12 = 1;
             g_linkGroup[0] = (1 << 0) | (1 << 2);
         },
         0,
         {0, 2}},
        {"member of a group", [] { g_linkGroup[3] = (1 << 3) | (1 << 9) | (1 << 11); }, 11, {3, 9, 11}},
        {"bridged CH11/CH12", [] { g_btlPair1112 = 1; }, 10, {10, 11}},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SetUp();
        k.tie();
        for (int c = 0; c < kChannels; ++c) g_channelGain[c] = 100 + c;  // -10.0dB, -10.1dB, ...
        g_channelGain[2] = 123;

        strips.ClickMute(model, k.clicked);
        for (int c = 0; c < kChannels; ++c) {
            const bool muted = std::find(k.muted.begin(), k.muted.end(), c) != k.muted.end();
            EXPECT_EQ(g_channelGain[c], muted ? 600 : (c == 2 ? 123 : 100 + c)) << c;
        }
        ExpectStripsAgree();

        strips.ClickMute(model, k.clicked);  // each channel gets its own attenuation back
        for (int c = 0; c < kChannels; ++c) EXPECT_EQ(g_channelGain[c], c == 2 ? 123 : 100 + c) << c;
        ExpectStripsAgree();
    }
    EXPECT_EQ(controls.chGain[2].text, L"-12.3dB");
}

// An unmute gives each channel the level it had right before the mute: a
// tied channel that was already at OFF stays at OFF, never jumps to an older
// kept level (0.0dB after a reset); its button and bit say muted.
TEST_F(StripsTest, AnUnmuteLeavesATiedChannelThatWasOffAtOff)
{
    struct Case {
        const char* name;
        std::function<void()> tie;
        int clicked, off;  // the channel clicked, the tied one at OFF
    } cases[] = {
        // clang-format off
        {"link member", [] { g_linkGroup[0] = (1 << 0) | (1 << 2); }, 0, 2},
        {"link leader, a member clicked", [] { g_linkGroup[0] = (1 << 0) | (1 << 2); }, 2, 0},
        {"bridged partner", [] { g_btlPair34 = 1; }, 2, 3},
        {"bridged leader, the follower clicked", [] { g_btlPair1112 = 1; }, 11, 10},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        controls = FakeControls{};
        SetUp();
        k.tie();
        g_channelGain[k.clicked] = 100;
        g_channelGain[k.off] = 600;  // an imported OFF; g_savedGain is 0 from the reset
        ShowChannelMute(controls.mute[k.off], k.off);

        strips.ClickMute(model, k.clicked);
        EXPECT_EQ(g_channelGain[k.clicked], 600);
        EXPECT_EQ(g_channelGain[k.off], 600);
        ExpectStripsAgree();
        strips.ClickMute(model, k.clicked);
        EXPECT_EQ(g_channelGain[k.clicked], 100);
        EXPECT_EQ(g_channelGain[k.off], 600);
        EXPECT_EQ(controls.chGain[k.off].text, L"OFF");
        ExpectStripsAgree();
    }
}

// A channel muted by its own button and muted again as a tied channel
// keeps OFF, the level it had right before that second mute: the group's
// unmute leaves it at OFF, and so does its own button, which has nothing
// else kept. Its slider or gain field brings it back.
TEST_F(StripsTest, AChannelMutedTwiceStaysOffUntilItsLevelIsSetAgain)
{
    g_channelGain[2] = 50;
    g_channelGain[3] = 80;
    strips.ClickMute(model, 3);  // CH4 muted by its own button, keeping 80
    g_btlPair34 = 1;             // then the pair is bridged (a loaded preset)
    strips.ClickMute(model, 2);  // muting CH3 mutes CH4 again, already OFF
    EXPECT_EQ(g_savedGain[3], 600);
    strips.ClickMute(model, 2);
    EXPECT_EQ(g_channelGain[2], 50);
    EXPECT_EQ(g_channelGain[3], 600);
    ExpectStripsAgree();
    g_btlPair34 = 0;
    strips.ClickMute(model, 3);  // its own button: still OFF, still muted
    EXPECT_EQ(g_channelGain[3], 600);
    ExpectStripsAgree();
    controls.chSlider[3].pos = 80;
    strips.MoveGainSlider(3);
    EXPECT_EQ(g_channelGain[3], 80);
    ExpectStripsAgree();

    // A slider-dragged OFF channel unmutes to what its button kept last:
    // 0 (0.0dB) after a reset.
    controls.chSlider[5].pos = 600;
    strips.MoveGainSlider(5);
    EXPECT_EQ(controls.mute[5].text, kMutedCaption);
    strips.ClickMute(model, 5);
    EXPECT_EQ(g_channelGain[5], 0);
    EXPECT_EQ(controls.chGain[5].text, L"0.0dB");
    ExpectStripsAgree();
}

// ---- phase --------------------------------------------------------------------

TEST_F(StripsTest, PhaseTogglesByCaptionAndABridgedPartnerTakesTheSameState)
{
    const std::wstring deg0 = LoadResString(IDS_PHASE_0), deg180 = LoadResString(IDS_PHASE_180);
    struct Case {
        const char* name;
        bool bridged;
        std::wstring clickedCaption, partnerCaption;
        std::wstring after;  // both, when bridged
    } cases[] = {
        // clang-format off
        {"0 to 180", false, deg0, deg0, deg180},
        {"180 to 0", false, deg180, deg180, deg0},
        {"an unknown caption counts as 180", false, L"x", deg0, deg0},
        {"bridged: the partner follows the clicked one", true, deg0, deg180, deg180},
        {"bridged, back to 0", true, deg180, deg0, deg0},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        g_btlPair56 = k.bridged ? 1 : 0;
        g_phaseMask = k.partnerCaption == deg180 ? 1 << 5 : 0;
        controls.phase[4].text = k.clickedCaption;
        controls.phase[5].text = k.partnerCaption;
        strips.ClickPhase(4);
        const bool inverted = k.after == deg180;
        EXPECT_EQ(controls.phase[4].text, k.after);
        EXPECT_EQ((g_phaseMask >> 4) & 1, inverted ? 1 : 0);
        if (k.bridged) {
            EXPECT_EQ(controls.phase[5].text, k.after);
            EXPECT_EQ((g_phaseMask >> 5) & 1, inverted ? 1 : 0);
        } else {
            EXPECT_EQ(controls.phase[5].text, k.partnerCaption);
        }
    }
}

// ---- gain ---------------------------------------------------------------------

TEST_F(StripsTest, SliderMovesTheTiedChannelsAndEachMuteFollowsItsOwnGain)
{
    struct Case {
        const char* name;
        std::function<void()> tie;
        int moved;
        std::vector<int> follow;
    } cases[] = {
        // clang-format off
        {"alone", [] {}, 4, {4}},
        {"bridged", [] { g_btlPair78 = 1; }, 7, {6, 7}},
        {"group over bridge",
         [] {
             g_btlPair12 = 1;
             g_linkGroup[0] = (1 << 0) | (1 << 2);
         },
         0,
         {0, 2}},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        SetUp();
        k.tie();
        for (int pos : {600, 250, 600, 0}) {
            SCOPED_TRACE(pos);
            controls.chGain[k.moved] = FakeEdit{};
            controls.chSlider[k.moved].pos = pos;
            strips.MoveGainSlider(k.moved);
            for (int c = 0; c < kChannels; ++c) {
                const bool follows = std::find(k.follow.begin(), k.follow.end(), c) != k.follow.end();
                EXPECT_EQ(g_channelGain[c], follows ? pos : 0) << c;
            }
            ExpectStripsAgree();
            EXPECT_TRUE(controls.chGain[k.moved].focused);
            EXPECT_TRUE(controls.chGain[k.moved].selected);
        }
    }
    EXPECT_EQ(g_savedGain[0], 0);  // a slider keeps no attenuation
}

TEST_F(StripsTest, GainCommitStoresSpreadsAndShowsOrGivesTheStoredTextBack)
{
    g_btlPair910 = 1;
    struct Case {
        const char* text;
        bool accepted;
        int gain;
        const wchar_t* shown;
    } cases[] = {
        // clang-format off
        {"-12.3", true, 123, L"-12.3dB"}, {"off", true, 600, L"OFF"}, {"abc", false, 600, L"OFF"},
        {"5", false, 600, L"OFF"},        {"0", true, 0, L"0.0dB"},   {"-60.1", false, 0, L"0.0dB"},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        controls.chGain[8].text = std::wstring(k.text, k.text + strlen(k.text));
        const bool accepted = strips.CommitGainField(8);
        EXPECT_EQ(accepted, k.accepted);
        if (accepted) strips.ShowGainChange(8);  // the window's WM_EDIT_STEP
        EXPECT_EQ(g_channelGain[8], k.gain);
        EXPECT_EQ(g_channelGain[9], k.gain);
        EXPECT_EQ(controls.chGain[8].text, k.shown);
        EXPECT_EQ(controls.chGain[9].text, accepted ? k.shown : controls.chGain[9].text);
        if (accepted) {
            ExpectStripsAgree();
        }
    }
    // Channels outside 0..11 do nothing.
    for (int c : {-1, 12}) {
        EXPECT_FALSE(strips.CommitGainField(c));
        strips.ShowGainChange(c);
        strips.ClickMute(model, c);
        strips.MoveGainSlider(c);
    }
}

// ---- delay --------------------------------------------------------------------

TEST_F(StripsTest, DelayCommitReadsTheCurrentUnitAndTheBridgedPartnerFollows)
{
    struct Case {
        const char* text;
        int cm;
        int samples;
        const wchar_t* shown;
    } cases[] = {
        // clang-format off
        {"2", 0, 96, L"2.000"},   {"abc", 0, 96, L"2.000"}, {"", 0, 0, L"0.000"},
        {"34", 1, 48, L"34.000"}, {"1", 0, 48, L"1.000"},
    };
    // clang-format on
    g_btlPair56 = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        g_delayInCm = k.cm;
        controls.delayText[4].text = std::wstring(k.text, k.text + strlen(k.text));
        strips.CommitDelayField(4);
        EXPECT_EQ(controls.delays.value[4], k.samples);
        EXPECT_EQ(controls.delays.value[5], k.samples);
        EXPECT_EQ(controls.delayText[4].text, k.shown);
    }
    // An unchanged text still brings a partner that differs in step.
    controls.delays.value[5] = 300;
    controls.delayText[4].text = L"1.000";
    strips.CommitDelayField(4);
    EXPECT_EQ(controls.delays.value[5], 48);

    // A link group does not carry it; the bridged partner still follows.
    g_linkGroup[4] = (1 << 4) | (1 << 10);
    controls.delayText[4].text = L"3";
    strips.CommitDelayField(4);
    EXPECT_EQ(controls.delays.value[5], 144);
    EXPECT_EQ(controls.delays.value[10], 0);
}

// Linked channels (a left/right pair) are the ones that need different
// delays: no delay edit reaches another member of the group, only the
// edited channel's bridged partner. A focus-loss commit and the fields' own
// change (step, wheel, Enter) alike.
TEST_F(StripsTest, DelayEditsNeverFollowALinkGroupOnlyTheBridgedPartner)
{
    struct Case {
        const char* name;
        int edited;
        bool commit;             // a focus-loss commit of its text, else WM_DELAY_CHANGED
        const wchar_t* text;     // committed text, or nullptr for the count set below
        int count;               // the edited field's count before its change message
        std::vector<int> after;  // CH1..CH4, from 10, 20, 30, 40
    } cases[] = {
        // clang-format off
        {"step in a linked channel: its partner follows", 0, false, nullptr, 11, {11, 11, 30, 40}},
        {"typed in a linked channel", 0, true, L"2", 0, {96, 96, 30, 40}},
        {"member visited and left unchanged", 2, true, L"0.625", 0, {10, 20, 30, 40}},
        {"step in a member", 2, false, nullptr, 31, {10, 20, 31, 40}},
        {"the partner of a linked channel", 1, true, L"1", 0, {48, 48, 30, 40}},
        {"the partner's step", 1, false, nullptr, 21, {21, 21, 30, 40}},
    };
    // clang-format on
    g_linkGroup[0] = (1 << 0) | (1 << 2);  // CH1 and CH3 linked
    g_btlPair12 = 1;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        for (int c = 0; c < 4; ++c) controls.delays.value[c] = 10 * (c + 1);
        if (k.commit) {
            controls.delayText[k.edited].text = k.text;
            strips.CommitDelayField(k.edited);
        } else {
            controls.delays.value[k.edited] = k.count;
            controls.focusedDelay = k.edited;
            strips.DelayChanged();
        }
        EXPECT_EQ(std::vector<int>(controls.delays.value, controls.delays.value + 4), k.after);
    }
}

// After a step or Enter in a delay field, the focused field's bridged
// partner takes its count: every bridged pair, not only the first one bridged.
TEST_F(StripsTest, DelayChangeBringsTheFocusedFieldsPartnerInStep)
{
    g_btlPair12 = 1;
    g_btlPair34 = 1;
    struct Case {
        int focused;
        std::vector<int> value;  // CH1..CH4 afterwards, from 10, 20, 30, 40
    } cases[] = {{2, {10, 20, 30, 30}}, {1, {20, 20, 30, 40}}, {-1, {10, 20, 30, 40}}, {5, {10, 20, 30, 40}}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.focused);
        for (int c = 0; c < 4; ++c) controls.delays.value[c] = 10 * (c + 1);
        controls.focusedDelay = k.focused;
        strips.DelayChanged();
        EXPECT_EQ(std::vector<int>(controls.delays.value, controls.delays.value + 4), k.value);
    }
    // The calculator's result sets one channel, its partner stays.
    strips.SetCalculatedDelay(0, 77);
    EXPECT_EQ(controls.delays.value[0], 77);
    EXPECT_EQ(controls.delays.value[1], 20);
}

TEST_F(StripsTest, DelayUnitSwitchesAllTwelveFieldsAndRepaintsTheUnitButtons)
{
    EXPECT_EQ(LoadResString(ChannelStrips::DelayUnitCaptionId()), L"MS");
    strips.ToggleDelayUnit();
    EXPECT_EQ(g_delayInCm, 1);
    EXPECT_EQ(LoadResString(ChannelStrips::DelayUnitCaptionId()), L"CM");
    EXPECT_EQ(controls.unitRepaints, AllChannelsList());
    strips.ToggleDelayUnit();
    EXPECT_EQ(g_delayInCm, 0);
}

// ---- master volume ------------------------------------------------------------

TEST_F(StripsTest, MasterMuteSliderAndFieldKeepVolumeTextSliderAndButtonTogether)
{
    auto expectMaster = [&](int volume) {
        EXPECT_EQ(g_masterVolume, volume);
        EXPECT_EQ(controls.masterSlider.pos, volume);
        EXPECT_EQ(controls.masterField.text,
                  volume == 60 ? L"OFF" : (volume == 0 ? L"0dB" : L"-" + std::to_wstring(volume) + L"dB"));
        EXPECT_EQ(controls.masterMute.text, volume == 60 ? kMutedCaption : kUnmutedCaption);
        EXPECT_EQ((g_muteMask & 0x40) != 0, volume == 60);
    };
    g_masterVolume = 12;
    strips.ClickMasterMute();
    expectMaster(60);
    EXPECT_EQ(g_masterVolumeSaved, 12);
    strips.ClickMasterMute();
    expectMaster(12);

    // Muting keeps the volume whatever it is, OFF too, as a channel's mute does.
    g_masterVolume = 60;
    controls.masterMute.text = kUnmutedCaption;
    strips.ClickMasterMute();
    EXPECT_EQ(g_masterVolumeSaved, 60);
    strips.ClickMasterMute();
    expectMaster(60);

    controls.masterSlider.pos = 60;
    strips.MoveMasterSlider();
    expectMaster(60);
    EXPECT_TRUE(controls.masterField.focused && controls.masterField.selected);
    controls.masterSlider.pos = 59;
    strips.MoveMasterSlider();
    expectMaster(59);

    struct Case {
        const char* text;
        int volume;
    } cases[] = {{"off", 60}, {"-59", 59}, {"-60", 59}, {"-5d", 5}, {"-5dB", 5}, {"0dB", 0},
                 {"5", 0},    {"Off", 60}, {"-5", 5},   {"", 5},    {"-", 5}};
    g_masterVolume = 59;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.text);
        controls.masterField.text = std::wstring(k.text, k.text + strlen(k.text));
        strips.CommitMasterField();
        EXPECT_EQ(g_masterVolume, k.volume);
        EXPECT_EQ(controls.masterMute.text, k.volume == 60 ? kMutedCaption : kUnmutedCaption);
    }
}

// ---- rings --------------------------------------------------------------------

TEST_F(StripsTest, RingsWrapAndSkipTheChannelsNotShown)
{
    auto all = [](int) { return true; };
    auto eight = [](int c) { return c < 8; };
    auto none = [](int) { return false; };
    struct Case {
        int from, direction;
        std::function<bool(int)> shown;
        int to;
    } cases[] = {
        // clang-format off
        {11, 1, all, 0},   {0, -1, all, 11}, {4, 1, all, 5},   {7, 1, eight, 0},
        {0, -1, eight, 7}, {3, 0, all, -1},  {3, 1, none, -1}, {12, 1, all, -1},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.from << " " << k.direction);
        EXPECT_EQ(ChannelStrips::NextInRing(k.from, k.direction, k.shown), k.to);
    }
}

// ---- Link and curve buttons ---------------------------------------------------

TEST_F(StripsTest, CurveButtonsToggleTheGraphsMaskAndRepaintThemselves)
{
    LinksAndCurves links(controls);
    links.ClickCurve(2);
    EXPECT_EQ(controls.graph.visible, 1 << 2);
    EXPECT_TRUE(links.IsCurveShown(2));
    links.ClickCurve(2);
    EXPECT_EQ(controls.graph.visible, 0);
    EXPECT_EQ(controls.graphRepaints, 2);
    EXPECT_EQ(controls.curveRepaints, (std::vector<int>{2, 2}));
    links.ClickCurve(12);
    EXPECT_EQ(controls.graphRepaints, 2);
}

TEST_F(StripsTest, LinkButtonsJoinAndLeave)
{
    LinksAndCurves links(controls);
    g_selectedChannel = 0;
    g_channelGain[0] = 45;
    links.ClickLink(model, 8);  // CH9 joins the selected CH1 after the question
    EXPECT_EQ(g_linkGroup[0], (1 << 0) | (1 << 8));
    EXPECT_EQ(g_channelGain[8], 45);
    ExpectStripsAgree();
    links.ClickLink(model, 8);  // and leaves
    EXPECT_EQ(g_linkGroup[0], 1 << 0);
    EXPECT_EQ(model.linkButtonRepaints.back(), 8);
}

// ---- routing labels -----------------------------------------------------------

TEST_F(StripsTest, InputLabelsBelongToTheirSourceGroups)
{
    struct Case {
        int bit, model, group;
    } cases[] = {{0, 4, 1},  {5, 4, 1},   {5, 7, 10}, {13, 7, 10}, {16, 7, 1}, {6, 7, 2},
                 {15, 4, 2}, {15, 7, 10}, {8, 4, 5},  {11, 4, 3},  {18, 4, 0}, {-1, 4, 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.bit << " model " << k.model);
        EXPECT_EQ(RoutingMatrix::SourceGroupOf(k.bit, k.model), k.group);
    }
}

}  // namespace
