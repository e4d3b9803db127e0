// The tuning state of the twelve output channels, as plain globals.
// Channel arrays: index 0..11 = CH1..CH12. Band arrays: [channel][band 0..30].
// Only the UI thread writes the channel parameters; the device-state values
// written by link threads are atomics (see device_state.h).
#pragma once

#include <cstdint>
#include <string>

constexpr int kChannels = 12;
constexpr int kBands = 31;
constexpr int kInputs = 18;
constexpr int kQSteps = 112;
constexpr int kMaxDelaySamples = 599;

constexpr int kDefaultGainCode = 150;  // 0 dB
constexpr int kDefaultQStep = 87;      // 4.32
constexpr double kDefaultQ = 4.32;
constexpr int kSlopeOff = 8;

constexpr int FW_DATE_NEW_FEATURES = 190821;

// Channel level, phase and mute
constexpr int kChannelGainOff = 600;    // g_channelGain shown "OFF" (muted)
constexpr int kMasterVolumeOff = 60;    // g_masterVolume shown "OFF" (muted)
constexpr int kMasterMuteBit = 1 << 6;  // the master volume's bit of g_muteMask

extern int g_selectedChannel;
extern int g_channelGain[kChannels];  // attenuation, 0.1 dB, kChannelGainOff = OFF
extern int g_savedGain[kChannels];
extern int g_masterVolume;  // whole dB attenuation, kMasterVolumeOff = OFF
extern int g_masterVolumeSaved;
extern int g_muteMask;   // bits 0-5 CH1-6, 6 master, 7-12 CH7-12
extern int g_phaseMask;  // bit c = channel c inverted

// Equaliser
extern int g_eqFreq[kChannels][kBands];
extern int g_eqGain[kChannels][kBands];  // code: dB = (150 - code) / 10
extern double g_eqQ[kChannels][kBands];
extern int g_eqQStep[kChannels][kBands];  // stepping cursor into g_qStepTable
extern int g_eqGainSaved[kChannels][kBands];
// A band at the 0 dB its bypass or BypassEQ set, its gain kept in
// g_eqGainSaved: true from that flatten until anything else changes or
// replaces the gain.
extern bool g_eqGainFlattened[kChannels][kBands];
extern int g_graphEqFreq[kChannels][kBands];
extern int g_graphEqGain[kChannels][kBands];
extern double g_graphEqQ[kChannels][kBands];

// Crossovers
extern int g_hpFreq[kChannels];
extern int g_lpFreq[kChannels];
extern int g_hpType[kChannels];
extern int g_lpType[kChannels];
extern int g_hpSlope[kChannels];  // 0..7 = 6..48 dB/Oct, 8 = off
extern int g_lpSlope[kChannels];
extern int g_graphHpFreq[kChannels];
extern int g_graphLpFreq[kChannels];

// Routing and mixing
extern uint32_t g_routingMask[kChannels];              // InputSourceMask per output
extern uint32_t g_inputMixVolume[kChannels][kInputs];  // mixer column order
extern uint8_t g_hiLevelMix;
extern int g_hiLevelMixVolume;

// Links, bridges and display
extern int g_linkGroup[kChannels];
extern int g_btlPair12, g_btlPair34, g_btlPair56, g_btlPair78, g_btlPair910, g_btlPair1112;
extern int g_delayInCm;

// Global strings
extern std::wstring g_channelLabel[kChannels];
extern std::wstring g_devicePath;
extern std::wstring g_firmwarePath;
extern std::wstring g_msgCaption;

// Where the interface language came from: 0 the system's, 1 a language
// file with an id other than 0x0409, 2 a file with 0x0409.
extern int g_languageChoice;

// Constant tables
extern const int g_isoBandFreq[kBands];
extern const double g_qStepTable[kQSteps];

// Index of the first g_qStepTable entry not below q (111 when q is above all).
int QStepIndexFor(double q);

// The bridge flag of the pair holding channel c (0..11).
int& BridgeFlagOf(int channel);
