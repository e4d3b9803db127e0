// The string ids the model names by itself are the resource table's.
#include "model/text_ids.h"
#include "res/resource.h"

static_assert(kTextPhase0 == IDS_PHASE_0);
static_assert(kTextPhase180 == IDS_PHASE_180);
static_assert(kTextPresetLoadFailed == IDS_PRESET_LOAD_FAILED);
static_assert(kTextFileError == IDS_FILE_ERROR);
static_assert(kTextSaveMasterMuted == IDS_SAVE_MASTER_MUTED);
static_assert(kTextSaveMutedCh1 == IDS_SAVE_MUTED_CH1 && kTextSaveMutedCh1 + 5 == IDS_SAVE_MUTED_CH6);
