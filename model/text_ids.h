// The string-table ids the model hands to the window: the phase button's
// captions, the channels' default labels and the preset loader's messages. The window's resource table
// names the same numbers (IDS_PHASE_0, ...); app/ checks at compile time
// that they agree.
#pragma once

constexpr int kTextPhase0 = 123;            // IDS_PHASE_0
constexpr int kTextPhase180 = 124;          // IDS_PHASE_180
constexpr int kTextPresetLoadFailed = 157;  // IDS_PRESET_LOAD_FAILED
constexpr int kTextFileError = 242;         // IDS_FILE_ERROR
constexpr int kTextSaveMasterMuted = 147;   // IDS_SAVE_MASTER_MUTED
constexpr int kTextSaveMutedCh1 = 148;      // IDS_SAVE_MUTED_CH1; CH2..CH6 follow

// The default label of channel c (CH1..CH12: IDS_CH1 ... IDS_CH12); CH1's
// outside 0..11.
constexpr int kTextChannelLabel[12] = {114, 115, 116, 117, 118, 119, 167, 168, 212, 213, 214, 215};
constexpr int ChannelLabelTextId(int channel)
{
    return channel >= 0 && channel < 12 ? kTextChannelLabel[channel] : 114;
}
