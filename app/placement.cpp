#include "app/placement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/control_ids.h"
#include "platform/art.h"
#include "platform/look.h"

namespace {

// The window's client size by bucket: 727 x 386 dialog units at the base
// units of the template's face ("MS Shell Dlg" 9 pt): 7, 8, 10, 12 and 13
// pixels wide, 14, 18, 22, 25 and 29 high. The tick table of the master
// scale, given for every bucket, confirms the widths (its x grows with
// them); the given b4 rows, 2.07 times lower than b0's, the height of 29.
constexpr int kWinW[kDpiBuckets] = {1272, 1454, 1818, 2181, 2363};
constexpr int kWinH[kDpiBuckets] = {676, 869, 1062, 1206, 1399};

const char* const kByWidth = "between b0 and b4 by the window's width";
const char* const kByHeight = "between b0 and b4 by the window's height";
const char* const kByDpi = "ScaleForDpi of the b0 value";
const char* const kBitmap = "the size of its bitmap in the bucket";

Coord G(int v) { return {v, Origin::Given, "given"}; }
Coord D(int v, const char* rule) { return {v, Origin::Derived, rule}; }
int Round(double v) { return static_cast<int>(std::lround(v)); }

// A value given in b0 and b4, between them by the window's size.
Coord Between(int v0, int v4, int b, bool horizontal, const char* rule = nullptr)
{
    if (b == 0) return G(v0);
    if (b == 4) return G(v4);
    const int* s = horizontal ? kWinW : kWinH;
    const double t = static_cast<double>(s[b] - s[0]) / (s[4] - s[0]);
    return D(v0 + Round((v4 - v0) * t), rule ? rule : horizontal ? kByWidth : kByHeight);
}
Coord ByWidth(int v0, int v4, int b) { return Between(v0, v4, b, true); }
Coord ByHeight(int v0, int v4, int b) { return Between(v0, v4, b, false); }
// A b0 value scaled to the bucket's DPI.
Coord ByDpi(int v0, int b, bool givenAtB0 = true)
{
    if (b == 0) return givenAtB0 ? G(v0) : D(v0, kByDpi);
    return D(ScaleForDpi(v0, kBucketDpi[b]), kByDpi);
}
int Dpi(int b, int v) { return ScaleForDpi(v, kBucketDpi[b]); }

struct Size2 {
    int w = 0, h = 0;
};
Size2 ArtSize(SkinId skin, int b)
{
    ArtPicture p;
    if (!FindArt(SkinBitmap(skin, b), b, &p)) return {};
    return {p.width, p.height};
}
// A size measured off a bitmap; given where the skins give it too.
Coord Measured(int v, int given0, int given4, int b)
{
    if ((b == 0 && v == given0) || (b == 4 && v == given4)) return G(v);
    return D(v, kBitmap);
}

// ---------------------------------------------------------------------------
// Channel strips

enum class Align { Channel, Left, Right, Slider, Labels };

struct StripRow {
    Family family;
    Align align;
    int x[2], y[2], w[2], h[2];  // the 10-output group in b0 and b4
    int skin;                    // sized by this bitmap, or -1
    int narrow[2];               // 12-output width in b0 and b4; 0 the same, -1 what is left beside the next column
};

constexpr int kNoSkin = -1;
// clang-format off
const StripRow kStrips[] = {
    {Family::ChannelButtons, Align::Channel, {132, 229}, {449, 927}, {100, 200}, {22, 44}, SKIN_CHANNEL, {0, 0}},
    {Family::PhaseButtons, Align::Right, {170, 305}, {474, 975}, {62, 124}, {18, 36}, kNoSkin, {48, 88}},
    {Family::LinkButtons, Align::Left, {132, 229}, {474, 975}, {33, 66}, {18, 36}, kNoSkin, {-1, -1}},
    {Family::GainFields, Align::Right, {170, 305}, {495, 1016}, {62, 124}, {16, 32}, kNoSkin, {43, 88}},
    {Family::GainSliders,
     Align::Slider,
     {204, 374},
     {514, 1050},
     {20, 40},
     {80, 186},
     SKIN_CH_SLIDER_TRACK_LIT,
     {0, 0}},
    {Family::GainScaleLabels, Align::Labels, {170, 301}, {517, 1056}, {30, 64}, {16, 32}, kNoSkin, {0, 0}},
    {Family::MuteButtons, Align::Right, {170, 305}, {596, 1238}, {62, 124}, {18, 36}, kNoSkin, {48, 88}},
    {Family::DelayUnitButtons, Align::Left, {132, 229}, {616, 1278}, {33, 66}, {18, 36}, kNoSkin, {-1, -1}},
    {Family::DelayFields, Align::Right, {170, 305}, {617, 1280}, {62, 124}, {16, 32}, kNoSkin, {48, 88}},
};
// clang-format on

const StripRow& StripOf(Family f)
{
    for (const StripRow& r : kStrips)
        if (r.family == f) return r;
    return kStrips[0];
}

// The output step of a group (given in b0 and b4).
constexpr int kStep[kLayoutGroups][2] = {{140, 259}, {113, 212}, {94, 175}};

Coord StepOf(int group, int b) { return ByWidth(kStep[group][0], kStep[group][1], b); }

Coord ChannelWidth(int group, int b)
{
    const Size2 s = ArtSize(group == 2 ? SKIN_CHANNEL_NARROW : SKIN_CHANNEL, b);
    return group == 2 ? D(s.w, kBitmap) : Measured(s.w, 100, 200, b);
}

// The strip's left edge of output 0.
Coord ChannelX0(int group, int b)
{
    const Coord x10 = ByWidth(132, 229, b);
    if (group == 1) return x10;
    const int span10 = 9 * StepOf(1, b).value + ChannelWidth(1, b).value;
    const int n = OutputsOfGroup(group);
    const int span = (n - 1) * StepOf(group, b).value + ChannelWidth(group, b).value;
    return D((2 * x10.value + span10 - span) / 2, "centred on the 10-output row");
}

// The width of a family in the 12-output group.
Coord NarrowWidth(const StripRow& r, int b);

Coord FamilyWidth(const StripRow& r, int group, int b)
{
    if (r.skin != kNoSkin) {
        if (r.family == Family::ChannelButtons) return ChannelWidth(group, b);
        return Measured(ArtSize(static_cast<SkinId>(r.skin), b).w, r.w[0], r.w[1], b);
    }
    if (group == 2 && r.narrow[0] != 0) return NarrowWidth(r, b);
    if (group == 2 && r.align == Align::Labels) {
        const Placement p = PlacementOf(Family::PhaseButtons, b, 2);
        const Placement s = PlacementOf(Family::GainSliders, b, 2);
        const int x = p.x0.value;
        return D(s.x0.value - Dpi(b, 2) - x, "from the phase button's x to the slider less 2 px (by DPI)");
    }
    return ByWidth(r.w[0], r.w[1], b);
}

Coord NarrowWidth(const StripRow& r, int b)
{
    if (r.narrow[0] > 0) {
        if (b == 0) return G(r.narrow[0]);
        if (b == 4) return G(r.narrow[1]);
        return D(Dpi(b, r.narrow[0]), kByDpi);
    }
    // What the next column leaves, less a gap of 2 px (by DPI).
    const Family next = r.family == Family::LinkButtons ? Family::PhaseButtons : Family::DelayFields;
    const int w = ChannelWidth(2, b).value - NarrowWidth(StripOf(next), b).value - Dpi(b, 2);
    return D(std::min(w, ByWidth(r.w[0], r.w[1], b).value), "what the next column of the strip leaves, less 2 px");
}

Placement StripPlacement(const StripRow& r, int b, int group)
{
    Placement p;
    p.dx = StepOf(group, b);
    p.y0 = ByHeight(r.y[0], r.y[1], b);
    p.dy = r.family == Family::GainScaleLabels ? ByHeight(30, 74, b) : G(0);
    p.w = FamilyWidth(r, group, b);
    p.h = r.skin != kNoSkin ? Measured(ArtSize(static_cast<SkinId>(r.skin), b).h, r.h[0], r.h[1], b)
                            : ByHeight(r.h[0], r.h[1], b);
    const Coord x10 = ByWidth(r.x[0], r.x[1], b);
    const Coord ch0 = ChannelX0(group, b);
    if (group == 1 && x10.origin == Origin::Given) {
        p.x0 = x10;
    } else if (group == 0) {
        const int x = StripPlacement(r, b, 1).x0.value + ch0.value - ChannelX0(1, b).value;
        p.x0 = D(x, "the 10-output offset within the strip");
    } else {
        // As the given strips stand: the channel button spans the strip,
        // the right column is flush with its right edge.
        const int chW = ChannelWidth(group, b).value;
        const int phaseW = FamilyWidth(StripOf(Family::PhaseButtons), group, b).value;
        switch (r.align) {
        case Align::Channel:
        case Align::Left: p.x0 = D(ch0.value, "the strip's left edge"); break;
        case Align::Right: p.x0 = D(ch0.value + chW - p.w.value, "flush with the strip's right edge"); break;
        case Align::Slider: {
            const int margin = group == 2 ? 0 : ByWidth(8, 15, b).value;
            p.x0 = D(ch0.value + chW - p.w.value - margin, "the given distance from the strip's right edge");
        } break;
        case Align::Labels:
            // Under the phase button, clear of the matrix's right column.
            p.x0 = D(ch0.value + chW - phaseW, "under the phase button");
            break;
        }
    }
    return p;
}

// ---------------------------------------------------------------------------
// Bands

constexpr int kSliderGap[kDpiBuckets] = {6, 4, 7, 4, 7};

Coord BandStep(int b)
{
    const int v = ArtSize(SKIN_BAND_SLIDER_TRACK, b).w + kSliderGap[b];
    return (b == 0 && v == 32) || (b == 4 && v == 59) ? G(v) : D(v, "the track's width + the bucket's gap (given)");
}

Coord BandFieldWidth(int b)
{
    if (b == 0) return G(30);
    if (b == 4) return G(57);
    return D(BandStep(b).value - 2, "the step less 2 (the band columns share their step)");
}

Placement BandPlacement(Family f, int b)
{
    Placement p;
    const Coord step = BandStep(b);
    const Coord fx = ByWidth(157, 301, b);
    const Coord fw = BandFieldWidth(b);
    p.dx = step;
    p.dy = G(0);
    auto centred = [&](SkinId skin, int x0, int x4, int w0, int w4, int y0, int y4, int h0, int h4) {
        const Size2 s = ArtSize(skin, b);
        p.w = Measured(s.w, w0, w4, b);
        p.h = Measured(s.h, h0, h4, b);
        const int x = fx.value + (fw.value - s.w) / 2;
        p.x0 = (b == 0 && x == x0) || (b == 4 && x == x4) ? G(x) : D(x, "centred under the band's fields");
        p.y0 = ByHeight(y0, y4, b);
    };
    switch (f) {
    case Family::BandSliders: centred(SKIN_BAND_SLIDER_TRACK, 159, 303, 26, 52, 327, 685, 91, 182); break;
    case Family::BypassButtons: centred(SKIN_BAND_ACTIVE, 164, 317, 16, 24, 421, 876, 14, 22); break;
    default: {
        p.x0 = fx;
        p.w = fw;
        p.h = ByHeight(13, 26, b);
        const int y[][2] = {{266, 551}, {281, 583}, {297, 615}, {313, 647}};
        const int row = f == Family::BandLabels       ? 0
                        : f == Family::BandFreqFields ? 1
                        : f == Family::BandQFields    ? 2
                                                      : 3;
        p.y0 = ByHeight(y[row][0], y[row][1], b);
    } break;
    }
    return p;
}

// ---------------------------------------------------------------------------
// Other families

Placement CurvePlacement(int b, int group)
{
    Placement p;
    p.x0 = ByWidth(132, 241, b);
    p.dx = G(0);
    p.y0 = ByHeight(48, 102, b);
    const Size2 s = ArtSize(SKIN_CURVE_VISIBLE_CH1, b);
    p.w = Measured(s.w, 12, 24, b);
    p.h = Measured(s.h, 12, 24, b);
    constexpr int dy0[kLayoutGroups] = {24, 19, 16};
    if (group == 1) {
        p.dy = ByHeight(19, 42, b);
    } else {
        const int dy4 = Round(dy0[group] * 42.0 / 19.0);
        if (b == 0) p.dy = G(dy0[group]);
        else if (b == 4) p.dy = D(dy4, "b0 by the 10-output group's ratio of b4 to b0");
        else p.dy = D(Between(dy0[group], dy4, b, false).value, kByHeight);
    }
    return p;
}

Placement MasterScalePlacement(int b)
{
    Placement p;
    p.x0 = ByWidth(1162, 2159, b);
    const Coord right = ByWidth(1234, 2295, b);
    p.dx = {right.value - p.x0.value, right.origin, right.origin == Origin::Given ? "given" : kByWidth};
    p.y0 = ByHeight(66, 132, b);
    p.dy = ByHeight(40, 75, b);
    p.w = ByWidth(30, 54, b);
    p.h = ByHeight(16, 32, b);
    return p;
}

Placement BridgePlacement(int b, int group)
{
    Placement p;
    p.x0 = (b == 2 || b == 3) ? G(1610) : D(Round(1610.0 * kWinW[b] / kWinW[2]), "b2's x by the window's width");
    p.dx = G(0);
    p.y0 = D(Round(233.0 * kWinH[b] / kWinH[0]), "the template's y by the window's height");
    p.dy = group == 1 ? ByHeight(36, 75, b) : ByHeight(30, 62, b);
    const Coord side = (b == 2 || b == 3) ? G(20) : D(Round(20.0 * kBucketDpi[b] / 144), "b2's 20 by DPI");
    p.w = side;
    p.h = side;
    return p;
}

int Clamp(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

}  // namespace

int LayoutGroupOf(int model)
{
    const DeviceModelFacts* facts = DeviceModelFactsOf(model);
    return facts ? facts->layoutGroup.value : 1;
}

int OutputsOfGroup(int group) { return group >= 0 && group < kLayoutGroups ? kLayoutGroupOutputs[group] : 10; }

const char* RoutineOf(SingleGroup group)
{
    switch (group) {
    case SingleGroup::StripCaptions: return "PlaceStripCaptions";
    case SingleGroup::DelayLabels: return "PlaceDelayLabels";
    case SingleGroup::SystemVol: return "SetupSystemVol";
    case SingleGroup::FrameButtons: return "PlaceFrameButtons";
    case SingleGroup::ActionButtons: return "PlaceActionButtons";
    case SingleGroup::Labels: return "SetupLabels";
    }
    return "";
}

Coord WindowWidth(int b)
{
    return b == 0 ? G(kWinW[0]) : D(kWinW[b], "727 dialog units at the template font's base unit");
}

Coord WindowHeight(int b)
{
    return b == 0 ? G(kWinH[0]) : D(kWinH[b], "386 dialog units at the template font's base unit");
}

const std::vector<FamilyInfo>& PlacedFamilies()
{
    // clang-format off
    static const std::vector<FamilyInfo> families = {
        {Family::ChannelButtons, "channel buttons", "PlaceChannelButtons", Shape::Row, g_channelButtonId, kChannels,
         true},
        {Family::PhaseButtons, "phase buttons", "PlacePhaseButtons", Shape::Row, g_phaseButtonId, kChannels, true},
        {Family::LinkButtons, "Link buttons", "PlaceLinkButtons", Shape::Row, g_linkButtonId, kChannels, true},
        {Family::GainFields, "gain fields", "PlaceGainEdits", Shape::Row, g_gainEditId, kChannels, true},
        {Family::GainSliders, "gain sliders", "PlaceChGainSliders", Shape::Row, g_chGainSliderId, kChannels, true},
        {Family::GainScaleLabels, "gain scale labels", "PlaceGainScaleLabels", Shape::ScaleLabels,
         &g_gainScaleLabelId[0][0], kChannels * 3, true},
        {Family::MuteButtons, "mute buttons", "PlaceMuteButtons", Shape::Row, g_muteButtonId, kChannels, true},
        {Family::DelayUnitButtons, "delay-unit buttons", "PlaceDelayUnitButtons", Shape::Row, g_delayUnitButtonId,
         kChannels, true},
        {Family::DelayFields, "delay fields", "PlaceDelayEdits", Shape::Row, g_delayEditId, kChannels, true},
        {Family::CurveButtons, "curve buttons", "PlaceCurveButtons", Shape::Column, g_curveButtonId, kChannels, true},
        {Family::BandFreqFields, "band frequency fields", "LayoutFreqEdits", Shape::Row, g_bandFreqEditId, kBands,
         false},
        {Family::BandQFields, "band Q fields", "LayoutQEdits", Shape::Row, g_bandQEditId, kBands, false},
        {Family::BandGainFields, "band gain fields", "LayoutFreqGainEdits", Shape::Row, g_bandGainEditId, kBands,
         false},
        {Family::BandLabels, "band number labels", "SetupLabels", Shape::Row, g_bandLabelId, kBands, false},
        {Family::BandSliders, "band gain sliders", "SetupBandSliders", Shape::Row, g_bandSliderId, kBands, false},
        {Family::BypassButtons, "band bypass buttons", "PlaceActionButtons", Shape::Row, g_bypassButtonId, kBands,
         false},
        {Family::MasterScaleLabels, "master volume scale labels", "PlaceMasterScaleLabels", Shape::TwoColumns,
         g_masterScaleLabelId, 8, false},
        {Family::BridgeButtons, "bridge buttons", "PlaceRouteButtons", Shape::Column, g_bridgeButtonId, 6, true},
    };
    // clang-format on
    return families;
}

const FamilyInfo& FamilyInfoOf(Family family)
{
    for (const FamilyInfo& f : PlacedFamilies())
        if (f.family == family) return f;
    return PlacedFamilies().front();
}

Placement PlacementOf(Family family, int bucket, int group)
{
    const int b = std::clamp(bucket, 0, kDpiBuckets - 1);
    const int g = std::clamp(group, 0, kLayoutGroups - 1);
    switch (family) {
    case Family::CurveButtons: return CurvePlacement(b, g);
    case Family::BandFreqFields:
    case Family::BandQFields:
    case Family::BandGainFields:
    case Family::BandLabels:
    case Family::BandSliders:
    case Family::BypassButtons: return BandPlacement(family, b);
    case Family::MasterScaleLabels: return MasterScalePlacement(b);
    case Family::BridgeButtons: return BridgePlacement(b, g);
    default: return StripPlacement(StripOf(family), b, g);
    }
}

std::vector<ControlRect> FamilyRects(Family family, int bucket, int group)
{
    const FamilyInfo& info = FamilyInfoOf(family);
    const Placement p = PlacementOf(family, bucket, group);
    std::vector<ControlRect> out;
    for (int i = 0; i < info.count; ++i) {
        ControlRect r{info.ids[i], p.x0.value, p.y0.value, p.w.value, p.h.value};
        switch (info.shape) {
        case Shape::Row: r.x += i * p.dx.value; break;
        case Shape::Column: r.y += i * p.dy.value; break;
        case Shape::ScaleLabels:
            r.x += (i / 3) * p.dx.value;
            r.y += (i % 3) * p.dy.value;
            break;
        case Shape::TwoColumns:
            r.x += (i / 4) * p.dx.value;
            r.y += (i % 4) * p.dy.value;
            break;
        }
        out.push_back(r);
    }
    return out;
}

// ---------------------------------------------------------------------------
// Single controls

VolumeScale VolumeScaleOf(int bucket)
{
    // clang-format off
    static constexpr VolumeScale kScale[kDpiBuckets] = {
        {72, 8, 2, 9, 5, 1203, 1223},     {91, 10, 2, 11, 7, 1374, 1399},   {114, 11, 3, 15, 9, 1718, 1748},
        {129, 13, 3, 19, 13, 2063, 2097}, {145, 15, 4, 20, 14, 2234, 2274},
    };
    // clang-format on
    return kScale[std::clamp(bucket, 0, kDpiBuckets - 1)];
}

std::vector<SinglePlacement> SinglePlacements(int b)
{
    b = std::clamp(b, 0, kDpiBuckets - 1);
    std::vector<SinglePlacement> out;
    const int s12 = Dpi(b, 12);
    auto centredOn = [&](Family f, int h, int given0) {
        const Placement p = PlacementOf(f, b, 1);
        const int y = p.y0.value + (p.h.value - h) / 2;
        return b == 0 && y == given0 ? G(y) : D(y, "centred on its row");
    };

    // Strip captions and the first delay label (PlaceStripCaptions, PlaceDelayLabels).
    out.push_back({IDC_CH_NAME_CAPTION, SingleGroup::StripCaptions, ByDpi(14, b),
                   centredOn(Family::ChannelButtons, s12, 454), ByDpi(90, b), ByDpi(12, b)});
    out.push_back({IDC_LINK_CAPTION, SingleGroup::StripCaptions, ByDpi(10, b), centredOn(Family::LinkButtons, s12, 477),
                   ByDpi(46, b, false), ByDpi(12, b)});
    out.push_back({IDC_PHASE_CAPTION, SingleGroup::StripCaptions, ByDpi(58, b),
                   centredOn(Family::LinkButtons, s12, 477), ByDpi(51, b), ByDpi(12, b)});
    {
        const int y = PlacementOf(Family::DelayFields, b, 1).y0.value + Dpi(b, 3);
        out.push_back({g_delayLabelId[0], SingleGroup::DelayLabels, ByDpi(20, b),
                       b == 0 && y == 620 ? G(y) : D(y, "3 px (by DPI) below the delay field's top"), ByDpi(70, b),
                       ByDpi(14, b)});
    }

    // Master volume (SetupSystemVol): the slider stands between the ticks.
    const VolumeScale vs = VolumeScaleOf(b);
    const Size2 track = ArtSize(SKIN_MASTER_SLIDER_TRACK_LIT, b);
    const int sliderY = vs.y0 - Dpi(b, 9);
    const Coord sliderX = {vs.xLeftEnd, Origin::Given, "the tick table's left end (given)"};
    out.push_back({IDC_SYSTEM_VOL_SLIDER, SingleGroup::SystemVol, sliderX,
                   b == 0 ? G(sliderY) : D(sliderY, "the first tick less 9 px (by DPI)"), Measured(track.w, 20, -1, b),
                   Measured(track.h, 140, -1, b)});
    const int fieldX = vs.xLeftEnd - Dpi(b, 8);
    const int fieldY = sliderY + track.h + Dpi(b, 3);
    out.push_back({IDC_SYSTEM_VOL, SingleGroup::SystemVol,
                   b == 0 ? G(fieldX) : D(fieldX, "the slider's x less 8 px (by DPI)"),
                   b == 0 ? G(fieldY) : D(fieldY, "3 px (by DPI) below the slider"), ByDpi(60, b), ByDpi(16, b)});
    const Size2 mute = ArtSize(SKIN_MASTER_MUTED, b);
    out.push_back(
        {IDC_SYS_MUTE, SingleGroup::SystemVol, b == 0 ? G(fieldX - mute.w) : D(fieldX - mute.w, "left of the field"),
         b == 0 ? G(fieldY) : D(fieldY, "the field's y"), Measured(mute.w, 24, -1, b), Measured(mute.h, 16, -1, b)});

    // Frame buttons (PlaceFrameButtons), from the window's right edge.
    const struct {
        int id;
        SkinId skin;
        int x0;
    } frame[] = {{IDC_SETUP, SKIN_SETUP, 1118}, {IDC_MINIMIZE, SKIN_MINIMIZE, 1164}, {IDC_CLOSE, SKIN_CLOSE, 1210}};
    for (const auto& f : frame) {
        const Size2 s = ArtSize(f.skin, b);
        const int x = kWinW[b] - Dpi(b, kWinW[0] - f.x0);
        out.push_back({f.id, SingleGroup::FrameButtons,
                       b == 0 ? G(x) : D(x, "its b0 distance from the right edge, by DPI"), ByDpi(2, b),
                       Measured(s.w, 46, -1, b), Measured(s.h, 30, -1, b)});
    }

    // Dialog and action buttons (PlaceFrameButtons, PlaceActionButtons).
    const struct {
        int id;
        SingleGroup group;
        int x, y;
    } buttons[] = {
        // clang-format off
        {IDC_INPUT_VOL, SingleGroup::FrameButtons, 17, 373},
        {IDC_FILE, SingleGroup::FrameButtons, 1171, 373},
        {IDC_DELAY_CALE, SingleGroup::FrameButtons, 17, 406},
        {IDC_RESET_ALL, SingleGroup::ActionButtons, 1171, 233},
        {IDC_PEQ_MODE, SingleGroup::ActionButtons, 1171, 263},
        {IDC_RESET_EQ, SingleGroup::ActionButtons, 1171, 293},
        {IDC_RESET_BAND_GAIN, SingleGroup::ActionButtons, 1171, 323},
        {IDC_SOURCE, SingleGroup::ActionButtons, 1171, 406},
    };
    // clang-format on
    for (const auto& bt : buttons) {
        const int x = Round(bt.x * static_cast<double>(kWinW[b]) / kWinW[0]);
        const int y = Round(bt.y * static_cast<double>(kWinH[b]) / kWinH[0]);
        out.push_back({bt.id, bt.group, b == 0 ? G(x) : D(x, "b0 by the window's width"),
                       b == 0 ? G(y) : D(y, "b0 by the window's height"), ByDpi(84, b), ByDpi(18, b)});
    }
    {
        // The crossover setup's opener has no given place: above InputVol, clear of the
        // equaliser panel's caption, in the same column and size.
        const int x = Round(17 * static_cast<double>(kWinW[b]) / kWinW[0]);
        const int y = Round(307 * static_cast<double>(kWinH[b]) / kWinH[0]);
        out.push_back({IDC_FILTER_SETUP, SingleGroup::FrameButtons, D(x, "InputVol's column"),
                       D(y, "chosen at b0 (307, above the equaliser caption), by the window's height"), ByDpi(84, b),
                       ByDpi(18, b)});
    }

    // The status line (PlaceFrameButtons), along the bottom edge.
    const struct {
        int id, x, w;
    } status[] = {{IDC_SAVE_MODE_LABEL, 14, 150},
                  {IDC_CURRENT_MODE_LABEL, 170, 150},
                  {IDC_SOURCE_LABEL, 326, 220},
                  {IDC_DEVICE_STRING, 900, 120},
                  {IDC_VERSION, 1130, 130}};
    for (const auto& st : status) {
        const int x = Round(st.x * static_cast<double>(kWinW[b]) / kWinW[0]);
        const int w = Round(st.w * static_cast<double>(kWinW[b]) / kWinW[0]);
        const int h = Dpi(b, 16);
        out.push_back({st.id, SingleGroup::FrameButtons, b == 0 ? G(x) : D(x, "b0 by the window's width"),
                       D(kWinH[b] - Dpi(b, 31), "31 px (by DPI) above the bottom edge"),
                       b == 0 ? G(w) : D(w, "b0 by the window's width"), b == 0 ? G(h) : D(h, kByDpi)});
    }

    // The band rows' captions (SetupLabels), left of their row.
    const Placement fre = PlacementOf(Family::BandFreqFields, b, 1);
    const int cw = Dpi(b, 58);
    const int cx = fre.x0.value - Dpi(b, 4) - cw;
    const struct {
        int id;
        Family row;
    } captions[] = {{IDC_BAND_ROW_CAPTION1, Family::BandLabels},
                    {IDC_FREQ_CAPTION, Family::BandFreqFields},
                    {IDC_BAND_ROW_CAPTION3, Family::BandQFields},
                    {IDC_BAND_ROW_CAPTION4, Family::BandGainFields},
                    {IDC_BAND_ROW_CAPTION5, Family::BypassButtons}};
    for (const auto& c : captions) {
        const Placement p = PlacementOf(c.row, b, 1);
        const int h = std::max(p.h.value, Dpi(b, 14));
        out.push_back({c.id, SingleGroup::Labels, D(cx, "left of the band rows, 4 px (by DPI) apart"),
                       D(p.y0.value + (p.h.value - h) / 2, "centred on its row"), D(cw, kByDpi),
                       D(h, "its row's height, at least 14 px (by DPI)")});
    }
    return out;
}

// ---------------------------------------------------------------------------
// Routing matrix

int MatrixRowOf(int model, bool noAux34, int pair)
{
    if (pair < 0 || pair > 8) return -1;
    // Pairs: 0 Hi.1/2, 1 Hi.3/4, 2 Hi.5/6, 3 AUX-1/2, 4 Opt, 5 BT, 6 Hi.7/8, 7 AUX-3/4, 8 Hi.9/10.
    static constexpr int k14[9] = {0, 1, 2, 3, 5, 6, -1, 4, -1};
    static constexpr int k14NoAux[9] = {0, 1, 2, 3, 4, 5, -1, -1, -1};
    static constexpr int k26[9] = {0, 1, 2, 4, 6, 7, 3, 5, -1};
    static constexpr int k37[9] = {0, 1, 2, 3, 5, 6, -1, 4, -1};
    static constexpr int k5[9] = {0, 1, -1, 2, 3, 4, -1, -1, -1};
    static constexpr int k8[9] = {0, 1, 2, 5, 6, 7, 3, -1, 4};
    switch (model) {
    case 1:
    case 4: return noAux34 ? k14NoAux[pair] : k14[pair];
    case 2:
    case 6: return k26[pair];
    case 5: return k5[pair];
    case 8: return k8[pair];
    default: return k37[pair];
    }
}

namespace {

int ShownRows(int model, bool noAux34)
{
    int rows = 0;
    for (int k = 0; k < 9; ++k) rows = std::max(rows, MatrixRowOf(model, noAux34, k) + 1);
    return rows;
}

int MatrixDy0(int model, bool noAux34)
{
    switch (model) {
    case 2:
    case 6:
    case 8: return 15;
    case 5: return 23;
    case 1:
    case 4: return noAux34 ? 20 : 17;
    default: return 17;
    }
}

}  // namespace

MatrixPlacement MatrixPlacementOf(int bucket, int model, bool noAux34, int dpi)
{
    const int b = std::clamp(bucket, 0, kDpiBuckets - 1);
    if (dpi <= 0) dpi = kBucketDpi[b];
    const int group = LayoutGroupOf(model);
    MatrixPlacement m;
    const Coord ch0 = ChannelX0(group, b);
    const int left = ch0.value + Dpi(b, 1);
    const bool given0 = b == 0 && (left == 151 || left == 133 || left == 135);
    m.x0 = given0 ? G(left) : D(left, "the strip's left edge + 1 px (by DPI)");
    m.dx = StepOf(group, b);
    m.rightOffset = group == 2 ? ByDpi(15, b) : ByDpi(19, b);
    m.size = D(ScaleForDpi(12, dpi), "ScaleForDpi(12) (given rule)");

    // b0: the rows end where the 8-row matrix ends (496 + 7 x 15 + 12),
    // their start kept within the given 496..502.
    const int dy0 = MatrixDy0(model, noAux34);
    const int rows = ShownRows(model, noAux34);
    const int y00 = Clamp(496 + 7 * 15 + 12 - (rows - 1) * dy0 - 12, 496, 502);
    // Other buckets: the b0 band from the gain field's row to the delay
    // field's row maps onto the bucket's.
    const int gain0 = 495, delay0 = 617;
    const int gainB = PlacementOf(Family::GainFields, b, 1).y0.value;
    const int delayB = PlacementOf(Family::DelayFields, b, 1).y0.value;
    const double k = static_cast<double>(delayB - gainB) / (delay0 - gain0);
    if (b == 0) {
        m.y0 = D(y00, "the last row ends where the 8-row matrix ends, within 496..502 (given)");
        m.dy = G(dy0);
    } else {
        m.y0 = D(gainB + Round((y00 - gain0) * k), "b0's place between the gain and delay rows");
        m.dy = D(Round(dy0 * k), "b0's step by the strip's height between the gain and delay rows");
    }

    m.labelX[0] = ByWidth(14, 23, b);
    m.labelX[1] = ByWidth(62, 114, b);
    m.labelW[0] = ByWidth(48, 96, b);
    // The odd column reaches the matrix: the stand-in face's digits are
    // wider than the original face's ("高电平10").
    m.labelW[1] = D(m.x0.value - Dpi(b, 2) - m.labelX[1].value, "to the matrix's left column less 2 px");
    m.labelH = ByHeight(16, 32, b);
    return m;
}

std::vector<ControlRect> MatrixRects(int bucket, int model, bool noAux34, int dpi)
{
    const MatrixPlacement m = MatrixPlacementOf(bucket, model, noAux34, dpi);
    std::vector<ControlRect> out;
    for (int bit = 0; bit < kInputs; ++bit) {
        const int row = MatrixRowOf(model, noAux34, bit / 2);
        if (row < 0) continue;
        const int y = m.y0.value + row * m.dy.value;
        for (int c = 0; c < kChannels; ++c) {
            const int x = m.x0.value + c * m.dx.value + (bit % 2 ? m.rightOffset.value : 0);
            out.push_back({g_routeButtonId[c][bit], x, y, m.size.value, m.size.value});
        }
        const int side = bit % 2;
        out.push_back({g_routeLabelId[0][bit], m.labelX[side].value, y + (m.size.value - m.labelH.value) / 2,
                       m.labelW[side].value, m.labelH.value});
    }
    return out;
}

// ---------------------------------------------------------------------------

std::string PlacementTableText()
{
    std::string out;
    char line[256];
    auto put = [&](const char* what, const char* routine, int b, int g, const char* field, const Coord& c) {
        std::snprintf(line, sizeof line, "%-28s %-22s b%d g%d %-7s %5d %s%s\n", what, routine, b,
                      g < 0 ? 0 : OutputsOfGroup(g), field, c.value,
                      c.origin == Origin::Given ? "given" : "derived: ", c.origin == Origin::Given ? "" : c.rule);
        out += line;
    };
    for (int b = 0; b < kDpiBuckets; ++b) {
        put("window", "-", b, -1, "width", WindowWidth(b));
        put("window", "-", b, -1, "height", WindowHeight(b));
        for (const FamilyInfo& f : PlacedFamilies()) {
            for (int g = 0; g < (f.perGroup ? kLayoutGroups : 1); ++g) {
                const Placement p = PlacementOf(f.family, b, f.perGroup ? g : 1);
                const int gg = f.perGroup ? g : 1;
                put(f.name, f.routine, b, gg, "x0", p.x0);
                put(f.name, f.routine, b, gg, "dx", p.dx);
                put(f.name, f.routine, b, gg, "y0", p.y0);
                put(f.name, f.routine, b, gg, "dy", p.dy);
                put(f.name, f.routine, b, gg, "w", p.w);
                put(f.name, f.routine, b, gg, "h", p.h);
            }
        }
        for (const SinglePlacement& s : SinglePlacements(b)) {
            const std::string name = "control " + std::to_string(s.id);
            put(name.c_str(), RoutineOf(s.group), b, -1, "x", s.x);
            put(name.c_str(), RoutineOf(s.group), b, -1, "y", s.y);
            put(name.c_str(), RoutineOf(s.group), b, -1, "w", s.w);
            put(name.c_str(), RoutineOf(s.group), b, -1, "h", s.h);
        }
        for (int model = 1; model <= 8; ++model) {
            for (bool noAux : {false, true}) {
                const MatrixPlacement m = MatrixPlacementOf(b, model, noAux);
                const std::string name = "matrix, model " + std::to_string(model) + (noAux ? " no AUX-3/4" : "");
                put(name.c_str(), "PlaceRouteButtons", b, LayoutGroupOf(model), "x0", m.x0);
                put(name.c_str(), "PlaceRouteButtons", b, LayoutGroupOf(model), "right", m.rightOffset);
                put(name.c_str(), "PlaceRouteButtons", b, LayoutGroupOf(model), "y0", m.y0);
                put(name.c_str(), "PlaceRouteButtons", b, LayoutGroupOf(model), "dy", m.dy);
            }
        }
    }
    return out;
}
