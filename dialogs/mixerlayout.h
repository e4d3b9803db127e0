// The input mixer's data: the ids of its 216 cells (a field and a slider
// each) and 30 captions, and what a device model, the AUX-3/AUX-4 option
// and the selected input source make of them: the template, background and
// window size, the rows and channels shown, where each cell goes at each
// DPI bucket, which cells are enabled and lit, the captions' texts and the
// keyboard navigation between the fields. No window is touched here.
#pragma once

#include <cstdint>
#include <optional>

#include "model/origin.h"

constexpr int kMixerChannels = 12;
constexpr int kMixerInputs = 18;

// The mixer's template by g_deviceModel 0..8.
extern const int g_inputVolTemplateId[9];
// The field and the slider of cell (channel, input bit).
extern const int g_mixerEditId[kMixerChannels][kMixerInputs];
extern const int g_mixerSliderId[kMixerChannels][kMixerInputs];
// CH1..CH12 captions; the input captions by bit and their strings.
extern const int g_mixerChannelLabelId[kMixerChannels];
extern const int g_mixerSourceLabelId[kMixerInputs];
// The input bit of navigation row k (the on-screen order of the inputs).
extern const int g_mixerRowOrder[kMixerInputs];

struct MixerSize {
    int cx, cy;  // cy 0: the background picture's own height
    Origin origin;
};

// Positions of one DPI bucket, in pixels.
struct MixerPlacement {
    int channelX, channelY;         // CH1's caption
    int inputX, inputY0;            // the first row's input caption
    int editX0, editY0, editWidth;  // CH1's field in the first row
    int sliderX0, sliderY0;         // CH1's slider in the first row
    int columnStep, rowStep;
    Origin origin;
};

// The layout model: 1..8; any other code takes the default model's (4).
int MixerLayoutModel(int model);
// The channels shown: CH1..CH(outputs).
int MixerOutputs(int model);
// Input bits the model shows (a mask of 1 << bit).
uint32_t MixerShownInputs(int model, int noAux34);
// The on-screen row of an input, -1 when the model does not show it.
int MixerRowOf(int model, int noAux34, int bit);
bool MixerCellShown(int model, int noAux34, int channel, int bit);

// The input group of an input bit: 1 High Level, 2 Low Level, 5 Optical,
// 3 Bluetooth/USB. The group a source selects (3 for 3 and 9), 0 for none.
int MixerInputGroup(int bit);
int MixerSelectedGroup(int source);
// The group of a caption id; 10 (never selected) for every other control.
int MixerLabelGroup(int controlId);
// The slider's track is lit: its input belongs to the selected group.
bool MixerCellLit(int source, int bit);

// Enabling of a cell control: nullopt where the model leaves it as created.
enum class MixerControl { Edit, Slider };
std::optional<bool> MixerCellEnabled(int model, int noAux34, int source, MixerControl control, int channel, int bit);

// Background picture and window size (pixels) at a DPI bucket; pictureHeight
// is the loaded background's height.
int MixerBackground(int model, int noAux34);
MixerSize MixerWindowSize(int model, int noAux34, int bucket);
const MixerPlacement& MixerPlacementAt(int bucket);
// The band the close button is centred in, by bucket.
int MixerCloseBand(int bucket);
int MixerThumbOffset(int bucket);

// The caption string of an input bit for the model and source.
int MixerLabelString(int model, int source, int bit);

// Keyboard navigation: the rows and channels the keys move through, read
// from the model, the option and the source at every key. A row range of
// [first, last] over g_mixerRowOrder, -1 for none.
int MixerFirstNavRow(int source);
int MixerLastNavRow(int model, int noAux34, int source);
int MixerLastNavChannel(int model);
// The cell the key (VK_LEFT, VK_RIGHT, VK_PRIOR, VK_NEXT) leads to from
// cell (channel, bit); nullopt when the cell is not navigable or the key is
// another. Hidden cells are passed over.
struct MixerCell {
    int channel, bit;
};
std::optional<MixerCell> MixerNavigate(int model, int noAux34, int source, int channel, int bit, unsigned key);
