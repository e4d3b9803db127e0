// The two device parameter images: EqUser (delays, gains, phases, master
// volume, equalisers and crossovers) and EqUser2 (routing, mixer, links).
// Both are big-endian in the device's own layout. The encoders write the
// model into the images; the decoders take an image received from the
// device back into the model, bring EqUser's values into range and refresh
// the window through IModelView.
#pragma once

#include <cstdint>

#include "model/model_view.h"
#include "model/ports.h"

constexpr int EQ_USER_PARA_NUM = 3163;
constexpr int EQ_USER_SHORT_SIZE = 1579;  // model-1 devices before FW_DATE_NEW_FEATURES
constexpr int SAVE_PARA_2_END = 405;

// The PC's copies, and shadows of what the device holds. The link threads
// store received pages into both; bytes the encoders do not write keep what
// the device sent.
extern uint8_t g_eqUser[EQ_USER_PARA_NUM];
extern uint8_t g_eqUserShadow[EQ_USER_PARA_NUM];
extern uint8_t g_eqUser2[SAVE_PARA_2_END];
extern uint8_t g_eqUser2Shadow[SAVE_PARA_2_END];

// Bytes of EqUser the connected device exchanges: 1579 on a model-1 device
// whose firmware predates FW_DATE_NEW_FEATURES, else 3163.
int GetEqUserSize();

// Model -> g_eqUser. Delays come from the delay fields.
void BuildEqUser(const IDelayFields& delays);

// Model -> g_eqUser2. visibleMask is the graph's mask of channels drawn
// besides the current one.
void BuildEqUser2(int visibleMask);
void BuildEqUser2(const ISpectrum& spectrum);

// g_eqUser -> model, all twelve channels whatever the size received. Channel
// gains above 600 become 0 and a master volume above 60 becomes 60, both
// also in g_eqUser; frequencies are clamped to 20..20000, gain codes to 300,
// Q to 0.1..10.0, types to 1, slopes to 8 and delays to 599 in the model
// only. Refreshes the channel strips, the master volume and the controls of
// the selected channel.
void DecodeEqUser(IModelView& view);
// The same from an image held elsewhere (EQ_USER_PARA_NUM bytes), which
// takes the repairs instead of g_eqUser.
void DecodeEqUser(IModelView& view, uint8_t* image);

// g_eqUser2 -> model, taken as it comes: routing masks (changed rows are
// repainted), the high-level mix and its volume, mixer volumes and link
// groups. The graph mask and bridge bits are not read back.
void DecodeEqUser2(IModelView& view);
// The same from an image held elsewhere (SAVE_PARA_2_END bytes).
void DecodeEqUser2(IModelView& view, const uint8_t* image);
