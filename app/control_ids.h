// Control ids of the main window's families, indexed by channel 0..11,
// band 0..30 or (matrix) output 0..11 and input bit 0..17.
#pragma once

#include "model/params.h"

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

// Single controls.
constexpr int IDC_SPECTRUM_ID = 1233;
constexpr int IDC_SYSTEM_VOL_ID = 1059;
constexpr int IDC_SYSTEM_VOL_SLIDER_ID = 1200;
constexpr int IDC_SYS_MUTE_ID = 1060;
constexpr int IDC_HP_FREQ_ID = 1051;
constexpr int IDC_LP_FREQ_ID = 1052;
constexpr int IDC_HP_TYPE_ID = 1054;
constexpr int IDC_LP_TYPE_ID = 1055;
constexpr int IDC_HP_SLOPE_ID = 1056;
constexpr int IDC_LP_SLOPE_ID = 1057;
constexpr int IDC_SAVE_MODE_ID = 1259;
constexpr int IDC_CURRENT_MODE_ID = 1260;
constexpr int IDC_SOURCE_LABEL_ID = 1261;
constexpr int IDC_MINIMIZE_ID = 1267;
constexpr int IDC_CLOSE_ID = 1268;
constexpr int IDC_VERSION_ID = 1276;
constexpr int IDC_FREQ_CAPTION_ID = 1412;

// Index of id in a table, -1 when absent.
int IndexOfId(const int* table, int count, int id);
