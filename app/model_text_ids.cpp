// The string ids the model names by itself are the resource table's.
#include "model/text_ids.h"
#include "res/resource.h"

static_assert(kTextPhase0 == IDS_PHASE_0);
static_assert(kTextPhase180 == IDS_PHASE_180);
static_assert(kTextPresetLoadFailed == IDS_PRESET_LOAD_FAILED);
static_assert(kTextFileError == IDS_FILE_ERROR);
static_assert(kTextSaveMasterMuted == IDS_SAVE_MASTER_MUTED);
static_assert(kTextChannelLabel[0] == IDS_CH1 && kTextChannelLabel[1] == IDS_CH2 && kTextChannelLabel[2] == IDS_CH3 &&
              kTextChannelLabel[3] == IDS_CH4 && kTextChannelLabel[4] == IDS_CH5 && kTextChannelLabel[5] == IDS_CH6 &&
              kTextChannelLabel[6] == IDS_CH7 && kTextChannelLabel[7] == IDS_CH8 && kTextChannelLabel[8] == IDS_CH9 &&
              kTextChannelLabel[9] == IDS_CH10 && kTextChannelLabel[10] == IDS_CH11 &&
              kTextChannelLabel[11] == IDS_CH12);
static_assert(kTextSaveMutedCh1 == IDS_SAVE_MUTED_CH1 && kTextSaveMutedCh1 + 5 == IDS_SAVE_MUTED_CH6);
