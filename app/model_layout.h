// The main window fitted to the device model: which strips, matrix rows,
// matrix columns and input captions are shown and enabled, the selected
// channel kept within the model, the input captions by model and source.
// Every layout gives the full state of every control it governs, so the
// window depends only on (model, g_noAux34), whatever layout came before.
#pragma once

#include "controls/routing.h"  // InputCaptionString

#include <string>
#include <vector>

// Model code at the previous layout; 255 before the first.
extern int g_lastDeviceModel;

// The last output channel index of a model (7, 9 or 11), -1 for a code
// outside 1..8.
int LastOutputOf(int model);
// Whether a model shows matrix input bit 0..17 (its column and caption).
bool ModelShowsInput(int model, bool noAux34, int inputBit);

struct LayoutState {
    int id = 0;
    bool shown = false;
    bool enabled = false;
};
// The state of every control the layout governs. A code outside 1..8 only
// hides and disables the bridge buttons.
std::vector<LayoutState> ModelLayout(int model, bool noAux34);

// The input bits whose caption depends on the model or the source.
constexpr int kModelCaptionBits[] = {0, 1, 6, 7, 10, 11};
