#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/codecs.h"
#include "model/params.h"
#include "model/propagation.h"
#include "model/value_kinds.h"
#include "model_fakes.h"

namespace {

class Propagation : public ModelTest {};

// Which channels a change of the selected channel reaches.
struct TieCase {
    const char* name;
    int selected;
    std::function<void()> setup;
    std::vector<int> reached;
};

std::vector<TieCase> TieCases()
{
    return {
        {"alone", 4, [] {}, {4}},
        {"unset bridge of another pair", 4, [] { g_btlPair12 = 1; }, {4}},
        {"bridged CH1/CH2 from CH2", 1, [] { g_btlPair12 = 1; }, {0, 1}},
        {"bridged CH5/CH6", 4, [] { g_btlPair56 = 1; }, {4, 5}},
        {"bridged CH9/CH10", 9, [] { g_btlPair910 = 1; }, {8, 9}},
        {"bridged CH11/CH12", 10, [] { g_btlPair1112 = 1; }, {10, 11}},
        {"group, from a member", 7, [] { g_linkGroup[2] = (1 << 2) | (1 << 7) | (1 << 11); }, {2, 7, 11}},
        {"group beats bridge",
         2,
         [] {
             g_btlPair34 = 1;
             g_linkGroup[0] = (1 << 0) | (1 << 2);
         },
         {0, 2}},
        {"two groups: the lower index",
         5,
         [] {
             g_linkGroup[9] = (1 << 9) | (1 << 5) | (1 << 1);
             g_linkGroup[3] = (1 << 3) | (1 << 5);
         },
         {3, 5}},
    };
}

TEST_F(Propagation, EachRoutineReachesTheTiedChannels)
{
    struct Routine {
        const char* name;
        std::function<void(int s)> change;
        std::function<void()> propagate;
        std::function<bool(int c)> changed;
    };
    const int band = 12;
    // clang-format off
    const Routine routines[] = {
        {"freq", [&](int s) { g_eqFreq[s][band] = 333; }, [&] { PropagateEqFreq(band); },
         [&](int c) { return g_eqFreq[c][band] == 333; }},
        {"gain", [&](int s) { g_eqGain[s][band] = 42; }, [&] { PropagateEqGain(band); },
         [&](int c) { return g_eqGain[c][band] == 42; }},
        {"q", [&](int s) { g_eqQ[s][band] = 1.23; }, [&] { PropagateEqQ(band); },
         [&](int c) { return g_eqQ[c][band] == 1.23; }},
        {"hp", [](int s) { g_hpFreq[s] = 77; }, [] { PropagateHpFreq(); }, [](int c) { return g_hpFreq[c] == 77; }},
        {"lp", [](int s) { g_lpFreq[s] = 7777; }, [] { PropagateLpFreq(); },
         [](int c) { return g_lpFreq[c] == 7777; }},
    };
    // clang-format on
    for (const Routine& r : routines) {
        for (const TieCase& t : TieCases()) {
            SetUp();
            t.setup();
            g_selectedChannel = t.selected;
            g_eqQStep[t.selected][band] = 3;
            r.change(t.selected);
            r.propagate();
            int reached = 0;
            for (int c = 0; c < kChannels; ++c)
                if (r.changed(c)) reached |= 1 << c;
            EXPECT_EQ(reached, Mask(t.reached)) << r.name << ": " << t.name;
            // Only the value moves: cursors and graph copies of the receivers stay.
            for (int c = 0; c < kChannels; ++c) {
                if (c == t.selected) continue;
                EXPECT_EQ(g_eqQStep[c][band], kDefaultQStep) << r.name << ": " << t.name;
                EXPECT_EQ(g_graphEqFreq[c][band], g_isoBandFreq[band]);
                EXPECT_EQ(g_graphEqGain[c][band], kDefaultGainCode);
                EXPECT_EQ(g_graphEqQ[c][band], kDefaultQ);
                EXPECT_EQ(g_graphHpFreq[c], 20);
                EXPECT_EQ(g_graphLpFreq[c], 20000);
            }
        }
    }
}

TEST_F(Propagation, ChannelGainOfTheEditedChannelNotTheSelected)
{
    for (const TieCase& t : TieCases()) {
        SetUp();
        t.setup();
        g_selectedChannel = (t.selected + 3) % kChannels;
        ASSERT_EQ(ParseGainText(nullptr, L"-4", t.selected, 0), 1);
        int reached = 0;
        for (int c = 0; c < kChannels; ++c)
            if (g_channelGain[c] == 40) reached |= 1 << c;
        EXPECT_EQ(reached, Mask(t.reached)) << t.name;
    }
}

TEST_F(Propagation, LinkedChannelsSurviveResetAll)
{
    g_linkGroup[0] = Mask({0, 6});
    ResetAll(view);
    EXPECT_EQ(g_linkGroup[0], Mask({0, 6}));
    g_selectedChannel = 0;
    ASSERT_EQ(ParseFrequencyText(L"150", 0, 1), 1);
    EXPECT_EQ(g_hpFreq[6], 150);
}

// ---- Link buttons -------------------------------------------------------

TEST_F(Propagation, LinkOnLeaderDissolvesMemberOnlyLeaves)
{
    g_linkGroup[1] = Mask({1, 4, 8});
    EditLinkGroup(view, 1 << 4);  // a member leaves
    EXPECT_EQ(g_linkGroup[1], Mask({1, 8}));
    EXPECT_EQ(view.linkButtonRepaints, std::vector<int>{4});  // the leaving channel's button shows it
    EXPECT_TRUE(view.questions.empty());

    g_linkGroup[1] = Mask({1, 4, 8});
    EditLinkGroup(view, 1 << 1);  // the leader dissolves the group
    EXPECT_EQ(g_linkGroup[1], 0);
    EXPECT_EQ(view.linkButtonRepaints, (std::vector<int>{4, 1, 4, 8}));
    EXPECT_EQ(view.channelButtonRepaints, 2);
}

TEST_F(Propagation, LinkBuildsAGroupOfTheSelectedChannel)
{
    struct {
        const char* name;
        int selected;
        int linkGroup0;
        int linkGroupSelected;
        int k;
        bool yes;
        int group;  // group that should have changed
        int maskAfter;
        bool asked;
        std::vector<int> repaints;
    } cases[] = {
        // clang-format off
        {"new group, confirmed", 0, 0, 0, 2, true, 0, Mask({0, 2}), true, {2, 0}},
        {"new group, declined", 0, 0, 0, 2, false, 0, 0, true, {}},
        {"the selected channel alone", 3, 0, 0, 3, false, 3, Mask({3}), false, {3, 3}},
        {"join the selected member's group", 1, Mask({0, 1}), 0, 5, true, 0, Mask({0, 1, 5}), true, {5}},
        {"join declined", 1, Mask({0, 1}), 0, 5, false, 0, Mask({0, 1}), true, {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SetUp();
        view = FakeView();
        view.answerYes = c.yes;
        g_selectedChannel = c.selected;
        g_linkGroup[0] = c.linkGroup0;
        EditLinkGroup(view, 1 << c.k);
        EXPECT_EQ(g_linkGroup[c.group], c.maskAfter) << c.name;
        EXPECT_EQ(!view.questions.empty(), c.asked) << c.name;
        if (c.asked) {
            EXPECT_EQ(view.questions[0].first, g_channelLabel[c.selected]) << c.name;
            EXPECT_EQ(view.questions[0].second, g_channelLabel[c.k]) << c.name;
        }
        EXPECT_EQ(view.linkButtonRepaints, c.repaints) << c.name;
        EXPECT_EQ(view.channelButtonRepaints, 1) << c.name;  // always, also after No
    }
}

TEST_F(Propagation, JoiningCopiesFromTheLeaderNotTheSelectedChannel)
{
    g_linkGroup[0] = Mask({0, 1});
    g_selectedChannel = 1;
    g_hpFreq[0] = 100;
    g_hpFreq[1] = 200;
    g_eqGain[0][4] = 10;
    g_eqGain[1][4] = 20;
    EditLinkGroup(view, 1 << 6);
    EXPECT_EQ(g_hpFreq[6], 100);
    EXPECT_EQ(g_eqGain[6][4], 10);
    // The copy reaches every member, the selected one too.
    EXPECT_EQ(g_hpFreq[1], 100);
}

TEST_F(Propagation, NewGroupFollowsTheSearchOrder)
{
    // The selected CH6 is a member of group 8, but entry 5 is empty and is
    // met first: Link on CH8 starts a second group holding CH6.
    g_linkGroup[8] = Mask({8, 5});
    g_selectedChannel = 5;
    EditLinkGroup(view, 1 << 7);
    EXPECT_EQ(g_linkGroup[5], Mask({5, 7}));
    EXPECT_EQ(g_linkGroup[8], Mask({8, 5}));
    // The selected CH3 is in no group but its own entry holds a mask without
    // it (as an image load can leave it): no group qualifies, nothing changes.
    SetUp();
    view = FakeView();
    g_selectedChannel = 2;
    g_linkGroup[2] = Mask({9, 10});
    EditLinkGroup(view, 1 << 4);
    EXPECT_EQ(g_linkGroup[2], Mask({9, 10}));
    EXPECT_TRUE(view.questions.empty());
    EXPECT_EQ(view.channelButtonRepaints, 1);
}

TEST_F(Propagation, CopyToLinkGroupCopiesSettingsNotPhaseDelayOrRouting)
{
    g_linkGroup[2] = Mask({2, 3, 9});
    g_hpFreq[2] = 90, g_graphHpFreq[2] = 91, g_hpType[2] = 1, g_hpSlope[2] = 3;
    g_lpFreq[2] = 9000, g_graphLpFreq[2] = 9001, g_lpType[2] = 1, g_lpSlope[2] = 5;
    g_channelGain[2] = 600;
    g_channelGain[3] = 50;
    g_savedGain[2] = 77;
    g_muteMask = 0;
    for (int b = 0; b < kBands; ++b) {
        g_eqGain[2][b] = b, g_graphEqGain[2][b] = b + 1;
        g_eqFreq[2][b] = 1000 + b, g_graphEqFreq[2][b] = 2000 + b;
        g_eqQ[2][b] = 1.5, g_graphEqQ[2][b] = 2.5;
        g_eqQStep[2][b] = 10, g_eqGainSaved[2][b] = 9;
    }
    g_phaseMask = 1 << 2;
    g_routingMask[2] = 0x3;
    view.muteButton[3].text = kUnmutedCaption;

    CopyToLinkGroup(view, 2);

    for (int c : {3, 9}) {
        EXPECT_EQ(g_hpFreq[c], 90);
        EXPECT_EQ(g_graphHpFreq[c], 91);
        EXPECT_EQ(g_hpType[c], 1);
        EXPECT_EQ(g_hpSlope[c], 3);
        EXPECT_EQ(g_lpFreq[c], 9000);
        EXPECT_EQ(g_graphLpFreq[c], 9001);
        EXPECT_EQ(g_lpType[c], 1);
        EXPECT_EQ(g_lpSlope[c], 5);
        EXPECT_EQ(g_channelGain[c], 600);
        EXPECT_EQ(g_savedGain[c], 0);
        EXPECT_EQ(view.gainField[c].text, L"OFF");
        EXPECT_EQ(view.gainSlider[c].pos, 600);
        EXPECT_EQ(view.muteButton[c].text, kMutedCaption);
        EXPECT_NE(g_muteMask & MuteBitOf(c), 0);
        for (int b = 0; b < kBands; ++b) {
            EXPECT_EQ(g_eqGain[c][b], b);
            EXPECT_EQ(g_graphEqGain[c][b], b + 1);
            EXPECT_EQ(g_eqFreq[c][b], 1000 + b);
            EXPECT_EQ(g_graphEqFreq[c][b], 2000 + b);
            EXPECT_EQ(g_eqQ[c][b], 1.5);
            EXPECT_EQ(g_graphEqQ[c][b], 2.5);
            EXPECT_EQ(g_eqQStep[c][b], kDefaultQStep);
            EXPECT_EQ(g_eqGainSaved[c][b], kDefaultGainCode);
        }
        EXPECT_EQ(g_phaseMask & (1 << c), 0);
        EXPECT_NE(g_routingMask[c], 0x3u);
    }
    EXPECT_EQ(view.muteButton[2].text, L"");  // the leader's strip is not touched
    ASSERT_FALSE(view.feeds.empty());
    EXPECT_TRUE(view.feeds.back());

    // Below 600 the members' mute state is cleared.
    g_channelGain[2] = 30;
    CopyToLinkGroup(view, 2);
    EXPECT_EQ(view.muteButton[9].text, kUnmutedCaption);
    EXPECT_EQ(g_muteMask & MuteBitOf(9), 0);
    EXPECT_EQ(view.gainField[9].text, L"-3.0dB");

    // A selected member's band and crossover controls show what it got, so
    // that leaving one of them commits no stale text; the leader's and an
    // outsider's controls are not touched.
    for (const auto& [selected, refreshes] : {std::pair{3, 1}, {9, 1}, {2, 0}, {5, 0}}) {
        view.eqRefreshes = 0;
        g_selectedChannel = selected;
        CopyToLinkGroup(view, 2);
        EXPECT_EQ(view.eqRefreshes, refreshes) << "CH" << selected + 1 << " selected";
    }
}

TEST_F(Propagation, MuteLinkGroupMutesAndRestoresTheOtherMembers)
{
    g_linkGroup[0] = Mask({0, 4, 7});
    g_channelGain[0] = 600;  // the mute button has muted the clicked channel itself
    g_channelGain[4] = 25;
    g_channelGain[7] = 130;
    EXPECT_EQ(MuteLinkGroup(view, 0, 1), 1);
    for (int c : {4, 7}) {
        EXPECT_EQ(g_channelGain[c], 600);
        EXPECT_EQ(view.gainField[c].text, L"OFF");
        EXPECT_EQ(view.gainSlider[c].pos, 600);
        EXPECT_EQ(view.muteButton[c].text, kMutedCaption);
        EXPECT_NE(g_muteMask & MuteBitOf(c), 0);
    }
    EXPECT_EQ(g_savedGain[4], 25);
    EXPECT_EQ(g_savedGain[7], 130);
    EXPECT_EQ(view.gainField[0].text, L"");  // the clicked channel is the caller's

    EXPECT_EQ(MuteLinkGroup(view, 0, 0), 1);
    EXPECT_EQ(g_channelGain[4], 25);
    EXPECT_EQ(g_channelGain[7], 130);
    EXPECT_EQ(view.gainField[7].text, L"-13.0dB");
    EXPECT_EQ(view.muteButton[4].text, kUnmutedCaption);
    EXPECT_EQ(g_muteMask & (MuteBitOf(4) | MuteBitOf(7)), 0);

    // A member already at OFF keeps OFF: the group's unmute leaves it
    // silent, not at an older kept level, and its button reads muted.
    g_channelGain[4] = 600;
    g_savedGain[4] = 77;
    EXPECT_EQ(MuteLinkGroup(view, 0, 1), 1);
    EXPECT_EQ(g_savedGain[4], 600);
    EXPECT_EQ(MuteLinkGroup(view, 0, 0), 1);
    EXPECT_EQ(g_channelGain[4], 600);
    EXPECT_EQ(view.gainField[4].text, L"OFF");
    EXPECT_EQ(view.muteButton[4].text, kMutedCaption);
    EXPECT_NE(g_muteMask & MuteBitOf(4), 0);
    EXPECT_EQ(g_channelGain[7], 130);

    // No group: nothing changes, not even a bridged partner.
    g_btlPair12 = 1;
    g_channelGain[1] = 40;
    FakeView fresh;
    EXPECT_EQ(MuteLinkGroup(fresh, 1, 1), 0);
    EXPECT_EQ(g_channelGain[1], 40);
    EXPECT_EQ(g_channelGain[0], 600);
    EXPECT_EQ(fresh.gainField[0].text, L"");
}

TEST_F(Propagation, BandBypassTogglesTheTiedChannels)
{
    struct {
        const char* name;
        int selected;
        std::function<void()> setup;
        std::vector<int> tied;
        int decider;
    } cases[] = {
        // clang-format off
        {"alone", 3, [] {}, {3}, 3},
        {"group", 4, [] { g_linkGroup[1] = (1 << 1) | (1 << 4) | (1 << 10); }, {1, 4, 10}, 4},
        {"bridge CH1/CH2, CH1 decides", 1, [] { g_btlPair12 = 1; }, {0, 1}, 0},
        {"bridge CH3/CH4, CH3 decides", 3, [] { g_btlPair34 = 1; }, {2, 3}, 2},
        {"bridge CH5/CH6, CH6 decides", 4, [] { g_btlPair56 = 1; }, {4, 5}, 5},
        {"bridge CH7/CH8, CH8 decides", 6, [] { g_btlPair78 = 1; }, {6, 7}, 7},
        {"bridge CH9/CH10, CH10 decides", 8, [] { g_btlPair910 = 1; }, {8, 9}, 9},
        {"bridge CH11/CH12, CH12 decides", 10, [] { g_btlPair1112 = 1; }, {10, 11}, 11},
    };
    // clang-format on
    const int band = 20;
    for (const auto& t : cases) {
        SetUp();
        t.setup();
        g_selectedChannel = t.selected;
        for (int c = 0; c < kChannels; ++c) g_eqGain[c][band] = 100 + c;

        ToggleBandBypass(band);  // the decider is off 0 dB: save and flatten
        for (int c = 0; c < kChannels; ++c) {
            const bool tied = (Mask(t.tied) >> c) & 1;
            EXPECT_EQ(g_eqGain[c][band], tied ? kDefaultGainCode : 100 + c) << t.name << " ch " << c;
            EXPECT_EQ(g_eqGainSaved[c][band], tied ? 100 + c : kDefaultGainCode) << t.name << " ch " << c;
        }
        ToggleBandBypass(band);  // now at 0 dB: restore
        for (int c = 0; c < kChannels; ++c) EXPECT_EQ(g_eqGain[c][band], 100 + c) << t.name << " ch " << c;

        // Only the decider's code counts.
        for (int c : t.tied) g_eqGain[c][band] = 60;
        g_eqGain[t.decider][band] = kDefaultGainCode;
        ToggleBandBypass(band);
        for (int c : t.tied) EXPECT_EQ(g_eqGain[c][band], 100 + c) << t.name << " restore " << c;
    }

    // A band at 0 dB right after a reset restores the kept 150.
    SetUp();
    g_selectedChannel = 0;
    ToggleBandBypass(0);
    EXPECT_EQ(g_eqGain[0][0], kDefaultGainCode);
}

// While BypassEQ holds every band flat, band 6 of the selected channel is
// set to +2 dB and back to 0 dB by hand: BypassEQ (after an edit elsewhere)
// and BypassEQ again keep it at 0 dB on every channel that took the edits,
// while the other channels get their kept gains back.
TEST_F(Propagation, GainSetByHandEndsTheBandsFlattenedStateOnItsReceivers)
{
    const int band = 6;
    auto slide = [](FakeView& v, int pos) {
        FakeSlider slider;
        slider.pos = pos;
        ApplyBandGainSlider(v, band, slider, 1104);
    };
    struct {
        const char* name;
        std::function<void(FakeView&)> upAndBack;
    } ways[] = {
        {"typed",
         [](FakeView&) {
             EXPECT_TRUE(BandGainKind(band).Commit(L"2"));
             EXPECT_TRUE(BandGainKind(band).Commit(L"0"));
         }},
        {"stepped",
         [](FakeView&) {
             for (int i = 0; i < 20; ++i) EXPECT_TRUE(BandGainKind(band).Step(StepDirection::Up));
             for (int i = 0; i < 20; ++i) EXPECT_TRUE(BandGainKind(band).Step(StepDirection::Down));
         }},
        {"slider",
         [&](FakeView& v) {
             slide(v, 130);
             slide(v, kDefaultGainCode);
         }},
        {"leader typed alone, then copied to the group",
         [](FakeView& v) {
             const int group = g_linkGroup[1];
             g_linkGroup[1] = 0;
             g_selectedChannel = 1;
             EXPECT_TRUE(BandGainKind(band).Commit(L"2"));
             EXPECT_TRUE(BandGainKind(band).Commit(L"0"));
             g_linkGroup[1] = group;
             CopyToLinkGroup(v, 1);
         }},
    };
    const std::vector<int> receivers = {1, 4, 10};
    for (const auto& w : ways) {
        SetUp();
        g_linkGroup[1] = Mask(receivers);
        g_selectedChannel = 4;
        for (int c = 0; c < kChannels; ++c) g_eqGain[c][band] = 120;
        ToggleBypassAllBands();

        w.upAndBack(view);
        g_eqGain[3][0] = 100;
        ToggleBypassAllBands();
        ToggleBypassAllBands();
        for (int c = 0; c < kChannels; ++c) {
            const bool tied = (Mask(receivers) >> c) & 1;
            EXPECT_EQ(g_eqGain[c][band], tied ? kDefaultGainCode : 120) << w.name << " ch " << c;
        }
        EXPECT_EQ(g_eqGain[3][0], 100) << w.name;
    }

    // A slider left at the 0 dB of a flatten changes nothing: an edit of
    // another band, BypassEQ and BypassEQ bring every kept gain back.
    SetUp();
    g_btlPair12 = 1;
    for (int c = 0; c < kChannels; ++c) g_eqGain[c][band] = 120;
    ToggleBypassAllBands();
    slide(view, kDefaultGainCode);
    ASSERT_TRUE(BandGainKind(8).Commit(L"2"));
    ToggleBypassAllBands();
    ToggleBypassAllBands();
    for (int c = 0; c < kChannels; ++c) {
        EXPECT_EQ(g_eqGain[c][band], 120) << c;
        EXPECT_EQ(g_eqGain[c][8], c < 2 ? 130 : kDefaultGainCode) << c;
    }

    // The band bypass still brings back what it kept: bypassed, restored,
    // typed to 0 dB and bypassed again gives the first gain back.
    SetUp();
    g_eqGain[0][band] = 120;
    ToggleBandBypass(band);
    ToggleBandBypass(band);
    ASSERT_TRUE(BandGainKind(band).Commit(L"0"));
    ToggleBandBypass(band);
    EXPECT_EQ(g_eqGain[0][band], 120);
}

TEST_F(Propagation, BandGainSliderStoresPropagatesAndFocusesTheField)
{
    g_btlPair78 = 1;
    g_selectedChannel = 7;
    FakeSlider slider;
    slider.pos = 137;
    ApplyBandGainSlider(view, 5, slider, 1103);
    EXPECT_EQ(g_eqGain[7][5], 137);
    EXPECT_EQ(g_eqGain[6][5], 137);
    const FakeEdit& field = view.bandGainFields[1103];
    EXPECT_EQ(field.text, L"1.3");
    EXPECT_TRUE(field.selected);
    EXPECT_TRUE(field.focused);
    EXPECT_EQ(view.bandGainFields.size(), 1u);
}

}  // namespace
