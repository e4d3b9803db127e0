// Control ids of the main window's families, indexed by channel 0..11,
// band 0..30 or (matrix) output 0..11 and input bit 0..17.
#pragma once

#include "model/params.h"
#include "res/resource.h"  // the single controls by name

extern const int g_channelButtonId[kChannels];
extern const int g_gainEditId[kChannels];
extern const int g_muteButtonId[kChannels];
extern const int g_phaseButtonId[kChannels];
extern const int g_delayEditId[kChannels];
extern const int g_delayUnitButtonId[kChannels];
extern const int g_linkButtonId[kChannels];
extern const int g_curveButtonId[kChannels];
extern const int g_chGainSliderId[kChannels];
extern const int g_bypassButtonId[kBands];
extern const int g_routeButtonId[kChannels][kInputs];

// Band fields and sliders by band.
extern const int g_bandFreqEditId[kBands];
extern const int g_bandGainEditId[kBands];
extern const int g_bandQEditId[kBands];
extern const int g_bandSliderId[kBands];

// Index of id in a table, -1 when absent.
int IndexOfId(const int* table, int count, int id);
