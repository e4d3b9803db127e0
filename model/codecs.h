// Text forms, parsers and steppers of every numeric parameter. All work on
// the model globals (band and crossover values of g_selectedChannel) and on
// caller-owned strings; none sends anything to the device. Formatting and
// parsing never depend on the process locale.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/model_view.h"
#include "model/ports.h"

// Locale-free number text. FormatDecimal is printf's "%.<decimals>lf" in the
// C locale; ReadNumberPrefix reads a decimal number (optional sign, digits,
// one '.', exponent) up to the first character that cannot continue it, as
// atof does in the C locale: "1.2.3" reads 1.2, a text without one reads 0.
std::wstring FormatDecimal(double value, int decimals);
double ReadNumberPrefix(std::wstring_view text);

// The band gain code of a gain in dB (the graph's): trunc(150 - 10 x dB),
// kept within 0..300; NaN gives 0 dB.
int EqGainCodeOfDb(double gainDb);

// Formatters (overwrite the caller's text).
void FormatEqGain(std::wstring& text, int band);
void FormatChannelGain(std::wstring& text, int channel);
void FormatMasterVolume(std::wstring& text);
void FormatInputVolume(std::wstring& text, int channel, uint32_t sourceBit);
// A volume in whole dB of attenuation: "0dB", "-<n>dB" up to 60, empty above.
std::wstring WholeDbText(uint32_t value);
double DelaySamplesToUnits(int samples, uint8_t forceCm);
void FormatDelay(const int* samples, std::wstring& text, uint8_t forceCm);

// Display helpers: move the slider (when given) and format the text.
void ShowChannelGain(ISlider* slider, std::wstring& text, int channel);
void ShowInputVolume(ISlider* slider, std::wstring& text, int channel, uint32_t sourceBit);

// The channel's g_muteMask bit (bit 6 belongs to the master volume).
int MuteBitOf(int channel);
// The master mute bit follows the master volume: set at OFF, cleared at any
// other volume. `muted` is its new state, `changed` whether that differs from
// the state in muteMask; the caption is the caller's.
struct MasterMuteStep {
    bool muted;
    bool changed;
};
MasterMuteStep MasterMuteStepOf(int muteMask, int masterVolume);
// Sets or clears the bit in g_muteMask after g_masterVolume.
MasterMuteStep FollowMasterVolumeMute();
// Makes the mute button's caption and the channel's mute bit follow its gain
// (600 = muted).
void SyncChannelMuteButton(ITextControl& button, int channel);
// Sets the channel's mute bit and its button's caption from its gain
// (600 = muted), whatever the caption said.
void ShowChannelMute(ITextControl& button, int channel);

// Stores.
void SetChannelGain(int channel, int value, ISlider* slider);
void SetInputVolume(int channel, uint32_t sourceBit, uint32_t value);
uint32_t GetInputVolume(int channel, uint32_t sourceBit);
int SourceBitToColumn(uint32_t bit);

// Parsers: non-zero when a new value was stored, 0 when rejected or unchanged
// (ParseDelayText returns 1 for every accepted text, also an unchanged one).
int ParseFrequencyText(std::wstring text, int band, int kind);  // kind 0 band, 1 high-pass, 2 low-pass
int ParseEqGainText(int band, const std::wstring& text);
bool ParseQText(int band, const std::wstring& text);
int ParseDelayText(int* samples, std::wstring& text, uint8_t forceCm);
int ParseGainText(ISlider* slider, const std::wstring& text, int channel, uint32_t sourceBit);
// A volume typed in whole dB of attenuation, at most three characters (cut
// before the first 'd' when cutAtD): "OFF" in any case 60, "-NN" up to
// maxTwoDigits, "-N", "0". -1 when rejected.
int ParseWholeDbText(const std::wstring& text, bool cutAtD, int maxTwoDigits);

// The way a stepper moves a value: Up for the Up arrow key or a wheel turn
// away from the user.
enum class StepDirection { Up, Down };

// Steppers: 0 when already at the limit, else 1.
int StepEqQ(StepDirection direction, int band);
bool WheelStepEqQ(int wheelDelta, int band);
int StepDelay(StepDirection direction, int* samples);
int StepGain(StepDirection direction, int channel, uint32_t sourceBit);
