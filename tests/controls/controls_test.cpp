// The control families on recording views: what each one writes into the
// window's controls and hands to the graph, and what the owner-drawn
// buttons of each family show.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fakes.h"
#include "model/codecs.h"
#include "model/device_state.h"
#include "res/resource.h"

namespace {

std::vector<int> AllChannels()
{
    std::vector<int> v;
    for (int c = 0; c < kChannels; ++c) v.push_back(c);
    return v;
}

// ---- channel strips -------------------------------------------------------------

TEST_F(ControlsTest, StripsRepaintTheirChannelButtonsAndSetPhaseCaptionsFromTheStringTable)
{
    ChannelStrips strips(controls);
    strips.InvalidateChannelButtons();
    EXPECT_EQ(controls.channelRepaints, AllChannels());
    controls.channelRepaints.clear();
    for (int c : {-1, 12, 1000}) strips.InvalidateChannelButton(c);  // a name message for no channel
    strips.InvalidateChannelButton(11);
    EXPECT_EQ(controls.channelRepaints, std::vector<int>{11});

    strips.SetPhaseButtonCaption(4, IDS_PHASE_180);
    strips.SetPhaseButtonCaption(5, IDS_PHASE_0);
    EXPECT_EQ(controls.phase[4].text, L" 180°");
    EXPECT_EQ(controls.phase[5].text, L"  0°");
}

TEST_F(ControlsTest, StripButtonsShowSelectionAndTheirOwnMuteBit)
{
    // CH1..CH6 are bits 0..5, the master bit 6, CH7..CH12 bits 7..12.
    struct {
        int mask;
        int mutedChannel;  // -1: none
        bool master;
    } cases[] = {{0x1, 0, false}, {0x20, 5, false}, {0x40, -1, true}, {0x80, 6, false}, {0x1000, 11, false}};
    for (auto k : cases) {
        SCOPED_TRACE(k.mask);
        g_muteMask = k.mask;
        for (int c = 0; c < kChannels; ++c) EXPECT_EQ(ChannelStrips::IsMuted(c), c == k.mutedChannel) << c;
        EXPECT_EQ(ChannelStrips::IsMasterMuted(), k.master);
    }
}

// With CH8 selected: the channel, its bridged partner while their pair flag
// is set (any non-zero flag), and every member of a link group holding it.
TEST_F(ControlsTest, ChannelButtonsShowTheSelectionWithItsPartnerAndGroup)
{
    struct {
        const char* name;
        int bridgedChannel;  // a channel of the pair whose flag is set, -1: none
        int flag;
        int group;
        int selectedLook;  // the channels that look selected
    } cases[] = {
        // clang-format off
        {"alone", -1, 0, 0, 1 << 7},
        {"bridged", 6, 1, 0, (1 << 6) | (1 << 7)},
        {"flag 2", 7, 2, 0, (1 << 6) | (1 << 7)},
        {"another pair bridged", 8, 1, 0, 1 << 7},
        {"its link group", -1, 0, (1 << 2) | (1 << 7) | (1 << 9), (1 << 2) | (1 << 7) | (1 << 9)},
        {"a group without it", -1, 0, (1 << 2) | (1 << 9), 1 << 7},
    };
    // clang-format on
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        for (int c = 0; c < kChannels; c += 2) BridgeFlagOf(c) = 0;
        if (k.bridgedChannel >= 0) BridgeFlagOf(k.bridgedChannel) = k.flag;
        g_linkGroup[3] = k.group;
        g_selectedChannel = 7;
        for (int c = 0; c < kChannels; ++c)
            EXPECT_EQ(ChannelStrips::IsSelected(c), ((k.selectedLook >> c) & 1) != 0) << c;
        EXPECT_FALSE(ChannelStrips::IsSelected(-1));
        EXPECT_FALSE(ChannelStrips::IsSelected(12));
    }
}

// The device's name of the channel, else the string table's "CH<n>" (the
// same in both languages); nothing for a channel outside 0..11.
TEST_F(ControlsTest, ChannelCaptionIsTheDevicesNameElseTheDefaultLabel)
{
    struct {
        int channel;
        std::string name;
        std::wstring caption;
    } cases[] = {
        // clang-format off
        {0, "", L"CH1"},
        {8, "", L"CH9"},
        {11, "", L"CH12"},
        {8, "Door L", L"Door L"},
        {2, "ABCDEFGHIJKLMNOPQRST", L"ABCDEFGHIJKLMNOPQRST"},  // 20 bytes, no terminator
        {12, "", L""},
        {-1, "", L""},
    };
    // clang-format on
    for (uint16_t language : {uint16_t{0x0409}, uint16_t{0x0804}}) {
        g_languageId = language;
        for (const auto& k : cases) {
            SCOPED_TRACE(k.channel);
            if (k.channel >= 0 && k.channel < kChannels)
                g_deviceChannelNames[k.channel].Set(k.name.data(), k.name.size());
            EXPECT_EQ(ChannelStrips::ChannelCaption(k.channel), k.caption) << language;
            if (k.channel >= 0 && k.channel < kChannels) g_deviceChannelNames[k.channel].Clear();
        }
    }
}

// ---- EQ bands -------------------------------------------------------------------

TEST_F(ControlsTest, BandsShowTheSelectedChannelOnly)
{
    for (int c = 0; c < kChannels; ++c)
        for (int b = 0; b < kBands; ++b) {
            g_eqFreq[c][b] = 100 * (c + 1) + b;
            g_eqGain[c][b] = c == 4 ? b * 10 : 150;
            g_eqQ[c][b] = c == 4 ? 0.25 + b : 1.0;
        }
    g_selectedChannel = 4;
    EqBands(controls).Refresh();
    for (int b = 0; b < kBands; ++b) {
        SCOPED_TRACE(b);
        EXPECT_EQ(controls.freq[b].text, std::to_wstring(500 + b));
        std::wstring gain;
        FormatEqGain(gain, b);
        EXPECT_EQ(controls.gain[b].text, gain);
        EXPECT_EQ(controls.q[b].text, FormatDecimal(0.25 + b, 2));
        EXPECT_EQ(controls.slider[b].pos, b * 10);
        EXPECT_EQ(controls.slider[b].invalidations, 1);
    }
    EXPECT_EQ(controls.gain[0].text, L"15.0");
    EXPECT_EQ(controls.gain[30].text, L"-15.0");
    EXPECT_EQ(controls.q[2].text, L"2.25");
    ASSERT_EQ(controls.bypassRepaints.size(), static_cast<size_t>(kBands));
    EXPECT_EQ(controls.bypassRepaints.back(), 30);
}

TEST_F(ControlsTest, GraphFeedClearsTheReadoutFirstAndRebuildsEveryBand)
{
    g_selectedChannel = 9;
    g_hpFreq[9] = 80;
    g_lpFreq[9] = 9000;
    g_hpSlope[9] = 3;
    g_lpSlope[9] = kSlopeOff;
    g_hpType[9] = 1;
    EqBands bands(controls);
    for (bool redraw : {false, true}) {
        SCOPED_TRACE(redraw);
        controls.graph.calls.clear();
        bands.FeedGraph(redraw);
        const FakeGraph& g = controls.graph;
        ASSERT_FALSE(g.calls.empty());
        EXPECT_EQ(g.calls.front(), "hover");
        EXPECT_EQ(g.calls.back(), "points");
        EXPECT_EQ(g.current, 9);
        EXPECT_EQ(g.channelCount, kChannels * kBands);
        EXPECT_EQ(g.bandFreqs, g_eqFreq[9]);
        EXPECT_EQ(g.bandGains, g_eqGain[9]);
        EXPECT_EQ(g.bandQs, g_eqQ[9]);
        const int crossover[7] = {80, 9000, 3, kSlopeOff, 1, 0, 0};  // no redraw of its own
        for (int i = 0; i < 7; ++i) EXPECT_EQ(g.crossover[i], crossover[i]) << i;
        EXPECT_EQ(g.pointsRedraw, redraw ? 1 : 0);
        EXPECT_EQ(g.pointsBand, kBands);  // every band
    }
}

// The mode button switches the frequency and Q rows, the graph's mode and
// its own caption; every feed of the graph hands the mode again.
TEST_F(ControlsTest, ModeToggleSwitchesTheRowsTheGraphAndTheCaption)
{
    EqBands bands(controls);
    EXPECT_TRUE(bands.PeqMode());
    EXPECT_EQ(bands.ModeCaptionId(), IDS_MODE_PEQ);
    for (bool peq : {false, true}) {
        SCOPED_TRACE(peq);
        bands.TogglePeqMode();
        EXPECT_EQ(bands.PeqMode(), peq);
        for (int b = 0; b < kBands; ++b) EXPECT_EQ(controls.fieldsEnabled[b], peq) << b;
        EXPECT_EQ(controls.graph.peq, peq ? 1 : 0);
        EXPECT_EQ(bands.ModeCaptionId(), peq ? IDS_MODE_PEQ : IDS_MODE_GEQ);
        controls.graph.peq = -1;
        bands.FeedGraph(false);
        EXPECT_EQ(controls.graph.peq, peq ? 1 : 0);
    }
    EXPECT_EQ(controls.modeRepaints, 2);
}

// ---- crossovers -----------------------------------------------------------------

TEST_F(ControlsTest, CrossoverSelectorsGetTheirItemsAndShowTheSelectedChannel)
{
    Crossovers crossovers(controls);
    crossovers.FillSelectors();
    const std::vector<std::wstring> types = {L"Butterworth", L"Bessel"};
    const std::vector<std::wstring> slopes = {L"6dB/Oct",  L"12dB/Oct", L"18dB/Oct", L"24dB/Oct", L"30dB/Oct",
                                              L"36dB/Oct", L"42dB/Oct", L"48dB/Oct", L"   OFF"};
    EXPECT_EQ(controls.hpType.items, types);
    EXPECT_EQ(controls.lpType.items, types);
    EXPECT_EQ(controls.hpSlope.items, slopes);
    EXPECT_EQ(controls.lpSlope.items, slopes);
    for (const FakeSelector* s : {&controls.hpType, &controls.hpSlope, &controls.lpType, &controls.lpSlope})
        EXPECT_EQ(s->sel, -1);

    g_selectedChannel = 2;
    g_hpType[2] = 1;
    g_hpSlope[2] = kSlopeOff;
    g_lpType[2] = 0;
    g_lpSlope[2] = 7;
    g_hpFreq[2] = 63;
    g_lpFreq[2] = 12500;
    g_hpFreq[3] = 999;
    crossovers.Refresh();
    EXPECT_EQ(controls.hpType.sel, 1);
    EXPECT_EQ(controls.hpSlope.sel, kSlopeOff);
    EXPECT_EQ(controls.lpType.sel, 0);
    EXPECT_EQ(controls.lpSlope.sel, 7);
    EXPECT_EQ(controls.hpFreq.text, L"63");
    EXPECT_EQ(controls.lpFreq.text, L"12500");
}

// ---- links and curves -----------------------------------------------------------

TEST_F(ControlsTest, LinkAndCurveButtonsRepaintByChannel)
{
    LinksAndCurves links(controls);
    links.InvalidateLinkButtons();
    links.InvalidateCurveButtons();
    EXPECT_EQ(controls.linkRepaints, AllChannels());
    EXPECT_EQ(controls.curveRepaints, AllChannels());
    controls.linkRepaints.clear();
    links.InvalidateLinkButton(12);
    links.InvalidateLinkButton(3);
    EXPECT_EQ(controls.linkRepaints, std::vector<int>{3});
}

TEST(CopyQuestionTest, LabelsTakeTheFirstTwoPlaceholders)
{
    struct {
        const wchar_t* format;
        const wchar_t* text;
    } cases[] = {
        // clang-format off
        {L"Copy %s to %s?", L"Copy CH1 to CH3?"},
        {L"%s%s", L"CH1CH3"},
        {L"%s, %s and %s", L"CH1, CH3 and %s"},
        {L"Only %s", L"Only %s"},  // fewer than two: shown as it is
        {L"None", L"None"},
        {L"", L""},
    };
    // clang-format on
    for (auto k : cases) EXPECT_EQ(LinksAndCurves::CopyQuestion(k.format, L"CH1", L"CH3"), k.text) << k.format;
    // A label that holds "%s" is not filled in again.
    EXPECT_EQ(LinksAndCurves::CopyQuestion(L"%s to %s", L"%s", L"B"), L"%s to B");
}

// ---- routing --------------------------------------------------------------------

TEST_F(ControlsTest, RouteButtonsShowTheirOwnBitAndNothingOutsideTheMatrix)
{
    g_routingMask[5] = (1u << 17) | (1u << 0) | (1u << 18) | 0x80000000u;
    for (int in = 0; in < kInputs; ++in) EXPECT_EQ(RoutingMatrix::IsRouted(5, in), in == 0 || in == 17) << in;
    EXPECT_FALSE(RoutingMatrix::IsRouted(5, 18));
    EXPECT_FALSE(RoutingMatrix::IsRouted(5, 31));
    EXPECT_FALSE(RoutingMatrix::IsRouted(5, -1));
    EXPECT_FALSE(RoutingMatrix::IsRouted(12, 0));
    EXPECT_FALSE(RoutingMatrix::IsRouted(4, 0));

    RoutingMatrix routing(controls);
    routing.InvalidateRouteButton(11, 17);
    routing.InvalidateRouteButton(12, 0);
    routing.InvalidateRouteButton(0, 18);
    routing.InvalidateRouteButton(-1, 0);
    ASSERT_EQ(controls.routeRepaints.size(), 1u);
    EXPECT_EQ(controls.routeRepaints[0], std::make_pair(11, 17));
}

// A cell outside the matrix (a stray index) changes no mask and repaints
// nothing; a cell inside repaints its partner's button first while bridged.
TEST_F(ControlsTest, RouteToggleOutsideTheMatrixChangesNothing)
{
    for (uint32_t& m : g_routingMask) m = 0;
    g_btlPair1112 = 1;
    RoutingMatrix routing(controls);
    for (auto [out, in] : {std::pair{12, 0}, {-1, 0}, {0, 18}, {0, -1}, {11, 31}}) routing.Toggle(out, in);
    for (uint32_t m : g_routingMask) EXPECT_EQ(m, 0u);
    EXPECT_TRUE(controls.routeRepaints.empty());
    routing.Toggle(11, 17);
    EXPECT_EQ(g_routingMask[10], 1u << 17);
    EXPECT_EQ(g_routingMask[11], 1u << 17);
    const std::vector<std::pair<int, int>> repaints = {{10, 17}, {11, 17}};
    EXPECT_EQ(controls.routeRepaints, repaints);
}

}  // namespace
