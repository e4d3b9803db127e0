// Control ids of the main window's families, indexed by channel 0..11,
// band 0..30 or (matrix) output 0..11 and input bit 0..17. The arrays are
// generated from the tables of scripts/gen_main_template.py, which writes
// the template from the same tables.
#pragma once

#include <iterator>

#include "model/params.h"
#include "res/control_families.h"
#include "res/resource.h"  // the single controls by name

static_assert(std::size(g_channelButtonId) == kChannels && std::size(g_gainEditId) == kChannels &&
              std::size(g_muteButtonId) == kChannels && std::size(g_phaseButtonId) == kChannels &&
              std::size(g_delayEditId) == kChannels && std::size(g_delayUnitButtonId) == kChannels &&
              std::size(g_linkButtonId) == kChannels && std::size(g_curveButtonId) == kChannels &&
              std::size(g_chGainSliderId) == kChannels);
static_assert(std::size(g_bypassButtonId) == kBands && std::size(g_bandFreqEditId) == kBands &&
              std::size(g_bandGainEditId) == kBands && std::size(g_bandQEditId) == kBands &&
              std::size(g_bandSliderId) == kBands);
static_assert(std::size(g_routeButtonId) == kChannels && std::size(g_routeButtonId[0]) == kInputs);
static_assert(std::size(g_routeLabelId) == kChannels && std::size(g_routeLabelId[0]) == kInputs);

// Index of id in a table, -1 when absent.
int IndexOfId(const int* table, int count, int id);
