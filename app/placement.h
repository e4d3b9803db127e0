// Where the main window's controls go, in device pixels, by DPI bucket and
// layout group: one table row per family of like controls (a row, a column
// or the routing matrix) and one per single control. Every value says
// whether it is given (the skins' own numbers) or derived, and by which
// rule. Nothing here touches a window; CTarvelDlg's placement routines move
// the controls to these rectangles.
#pragma once

#include <string>
#include <vector>

#include "model/device_models.h"  // kLayoutGroups
#include "model/origin.h"

// The model's group in the device model table; any other code takes the
// 10-output group (1).
int LayoutGroupOf(int model);
// kLayoutGroupOutputs; 10 for a group outside 0..2.
int OutputsOfGroup(int group);

struct Coord {
    int value = 0;
    Origin origin = Origin::Derived;
    const char* rule = "";  // how a derived value was found
};

enum class Shape {
    Row,          // x0 + i * dx, y0
    Column,       // x0, y0 + i * dy
    ScaleLabels,  // per channel (row, dx) a column of 3 (y0 + k * dy)
    TwoColumns,   // 4 + 4: x0 and x0 + dx, y0 + (i % 4) * dy
};

enum class Family {
    ChannelButtons,
    PhaseButtons,
    LinkButtons,
    GainFields,
    GainSliders,
    GainScaleLabels,
    MuteButtons,
    DelayUnitButtons,
    DelayFields,
    CurveButtons,
    BandFreqFields,
    BandQFields,
    BandGainFields,
    BandLabels,
    BandSliders,
    BypassButtons,
    MasterScaleLabels,
    BridgeButtons,
};

struct FamilyInfo {
    Family family;
    const char* name;     // "channel buttons IDC_SELECT_CH<n>"
    const char* routine;  // the placing routine of CTarvelDlg
    Shape shape;
    const int* ids;  // the family's id table, in placing order
    int count;
    bool perGroup;  // depends on the layout group
};
const std::vector<FamilyInfo>& PlacedFamilies();
const FamilyInfo& FamilyInfoOf(Family family);

// A family's parameters in one bucket and group.
struct Placement {
    Coord x0, dx, y0, dy, w, h;
};
Placement PlacementOf(Family family, int bucket, int group);

struct ControlRect {
    int id = 0;
    int x = 0, y = 0, w = 0, h = 0;
};
// The rectangles of a family, in its id order.
std::vector<ControlRect> FamilyRects(Family family, int bucket, int group);

// A control placed on its own.
// The groups of single controls, one per placing routine of CTarvelDlg.
enum class SingleGroup : unsigned char {
    StripCaptions,  // PlaceStripCaptions
    DelayLabels,    // PlaceDelayLabels
    SystemVol,      // SetupSystemVol
    FrameButtons,   // PlaceFrameButtons
    ActionButtons,  // PlaceActionButtons
    Labels,         // SetupLabels
};
constexpr SingleGroup kSingleGroups[] = {SingleGroup::StripCaptions, SingleGroup::DelayLabels,   SingleGroup::SystemVol,
                                         SingleGroup::FrameButtons,  SingleGroup::ActionButtons, SingleGroup::Labels};
// The name of the group's placing routine.
const char* RoutineOf(SingleGroup group);

struct SinglePlacement {
    int id = 0;
    SingleGroup group = SingleGroup::Labels;
    Coord x, y, w, h;
};
std::vector<SinglePlacement> SinglePlacements(int bucket);

// Routing matrix: the row (0..8) of input pair 0..8 (bits 2k, 2k + 1) for a
// model, -1 when the pair is not placed.
int MatrixRowOf(int model, bool noAux34, int pair);
struct MatrixPlacement {
    Coord x0;           // left column of output 0 (the strip's x + offset)
    Coord dx;           // output step (the group's)
    Coord rightOffset;  // right column - left column
    Coord y0, dy;       // rows
    Coord size;         // ScaleForDpi(12) square
    Coord labelX[2];    // legend: even and odd input bits
    Coord labelW[2], labelH;
};
// dpi: for the ScaleForDpi sizes (the bucket's own DPI when 0).
MatrixPlacement MatrixPlacementOf(int bucket, int model, bool noAux34, int dpi = 0);
// Every placed matrix button and legend label (row CH1) of a model.
std::vector<ControlRect> MatrixRects(int bucket, int model, bool noAux34, int dpi = 0);

// The client size of the main window in a bucket: the template's 727 x 386
// dialog units at its font's base units (derived; b0 given by the skins).
Coord WindowWidth(int bucket);
Coord WindowHeight(int bucket);

// The master volume's tick marks (given for every bucket); the slider
// stands between the two columns.
struct VolumeScale {
    int y0, step, thickness, longLen, shortLen, xLeftEnd, xRight;
};
VolumeScale VolumeScaleOf(int bucket);

// The whole table as text, one line per value: for the bench and for
// reading.
std::string PlacementTableText();
