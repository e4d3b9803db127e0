// Resets of the parameter model and the per-model default routing.
#pragma once

#include <cstdint>

#include "model/model_view.h"

// Every parameter the model owns back to its default, and the window's
// controls refreshed from it. Link groups, bridge flags, the high-level mix
// switch, the delay unit, the saved master volume, the device model and the
// input source stay as they are.
void ResetAll(IModelView& view);

// The equaliser of all twelve channels back to its defaults (step cursors and
// graph copies untouched). True when a gain, frequency or Q of
// g_selectedChannel changed.
bool ResetEq();

// The default routing of g_deviceModel into g_routingMask; a model outside
// 1..8 keeps the masks. The reset's variant: model 4 always takes its
// variant A, model 6 its variant B.
void ApplyDefaultRouting();
// The same as the model picker applies it: models 4 and 6 take variant A
// when g_noAux34 is 1, else variant B.
void ApplyPickerDefaultRouting();

// The default masks (CH1..CH12) of a model, or nullptr for a model outside
// 1..8. `picker` selects the picker's variant rule for models 4 and 6.
const uint32_t* DefaultRoutingFor(int deviceModel, bool noAux34, bool picker);

// All mixer cells to 0 dB, every routing button repainted.
void ClearInputVolumes(IModelView& view);
