// Model-and-control updates shared by the image decoder and the preset
// loader: both store a channel's level, the master volume and the routing
// the same way and refresh the same controls.
#pragma once

#include <cstdint>

#include "model/model_view.h"

// Phase bit and caption, gain (0..600) with slider and text, and the mute
// bit and caption that follow the gain.
void ApplyChannelLevel(IModelView& view, int channel, int gain, bool inverted);

// Master volume (0..60) with slider, text and the master mute state.
void ApplyMasterVolume(IModelView& view, int volume);

// Stores an output's routing mask and repaints its 18 buttons when it changed.
void ApplyRoutingMask(IModelView& view, int output, uint32_t mask);
