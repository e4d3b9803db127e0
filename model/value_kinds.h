// The value kinds of the entry fields. Each kind of field (band frequency,
// band gain, band Q, cut frequency, delay, channel gain, mixer cell, master
// volume, mix volume) has one small value object, bound to its band, channel
// or value when the field is made: its range, its text, the commit of a typed
// text and the step by a key or a wheel notch, over the codecs of codecs.h.
// An entry field is one generic class over its kind.
//
// Band and crossover kinds work on g_selectedChannel as it is at each call.
// Steps and commits spread the value as the kind's rule says (link group,
// else bridged pair); none of them writes a window or sends anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "model/codecs.h"
#include "model/params.h"

// The step a wheel message makes: exactly one notch away from the user
// (+120) is Up, one towards the user (-120) Down; any other delta (several
// notches at once, a fine wheel's part notch) steps nothing.
std::optional<StepDirection> WheelDirection(int wheelDelta);

// What every kind does with a wheel message: its step, if the delta makes one.
template <class Kind>
class ValueKind {
public:
    bool Wheel(int wheelDelta)
    {
        const std::optional<StepDirection> direction = WheelDirection(wheelDelta);
        return direction && static_cast<Kind*>(this)->Step(*direction);
    }
};

// Centre frequency of a band, or a crossover's cut frequency: whole Hz,
// shown as plain digits, stepped by 1 Hz.
class FrequencyKind : public ValueKind<FrequencyKind> {
public:
    static constexpr int kMin = 20;
    static constexpr int kMax = 20000;

    int Value() const { return *Slot(); }
    std::wstring Format() const;
    // ParseFrequencyText: true when a new value was stored and spread; a
    // rejected text or the stored value gives false and changes nothing.
    bool Commit(const std::wstring& text);
    // Up +1 below kMax, Down -1 above kMin (unsigned tests); true when the
    // value changed, which is then spread.
    bool Step(StepDirection direction);

protected:
    FrequencyKind(int band, int kind) : m_band(band), m_kind(kind) {}

private:
    int* Slot() const;
    void Spread() const;

    int m_band;  // 0..30 for a band
    int m_kind;  // as ParseFrequencyText counts: 0 band, 1 high-pass, 2 low-pass
};

class BandFreqKind final : public FrequencyKind {
public:
    explicit BandFreqKind(int band) : FrequencyKind(band, 0) {}
};

class CutFreqKind final : public FrequencyKind {
public:
    static CutFreqKind HighPass() { return CutFreqKind(1); }
    static CutFreqKind LowPass() { return CutFreqKind(2); }

private:
    explicit CutFreqKind(int kind) : FrequencyKind(0, kind) {}
};

// Band gain code 0..300 (dB = (150 - code) / 10): Up raises the gain (code
// - 1), Down lowers it, 0.1 dB a step; text by FormatEqGain.
class BandGainKind final : public ValueKind<BandGainKind> {
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = 300;

    explicit BandGainKind(int band) : m_band(band) {}
    int Value() const { return g_eqGain[g_selectedChannel][m_band]; }
    std::wstring Format() const;
    // ParseEqGainText, spread when a new code was stored.
    bool Commit(const std::wstring& text);
    bool Step(StepDirection direction);

private:
    int m_band;
};

// Band Q 0.1..10.0, stepped along g_qStepTable from the stored step index,
// shown with two decimals.
class BandQKind final : public ValueKind<BandQKind> {
public:
    static constexpr double kMin = 0.1;
    static constexpr double kMax = 10.0;

    explicit BandQKind(int band) : m_band(band) {}
    double Value() const { return g_eqQ[g_selectedChannel][m_band]; }
    std::wstring Format() const;
    // ParseQText, spread when a new Q was stored.
    bool Commit(const std::wstring& text);
    bool Step(StepDirection direction);

private:
    int m_band;
};

// A delay of 48 kHz samples, 0..599, held by its field (value points at
// it). Shown in milliseconds, or centimetres while g_delayInCm is set or
// always with forceCm (the delay calculator's distances).
class DelayKind final : public ValueKind<DelayKind> {
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = kMaxDelaySamples;

    DelayKind(int* value, bool forceCm) : m_value(value), m_forceCm(forceCm) {}
    int Value() const { return *m_value; }
    std::wstring Format() const;
    // ParseDelayText: true for every accepted text, also one that gives the
    // stored count; the text to show then is Format().
    bool Commit(const std::wstring& text);
    bool Step(StepDirection direction);

private:
    int* m_value;
    bool m_forceCm;
};

// Channel attenuation 0..600 in 0.1 dB (600 "OFF"): Down attenuates. The
// value spreads to the channel's link group or bridged partner.
class ChannelGainKind final : public ValueKind<ChannelGainKind> {
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = kChannelGainOff;

    explicit ChannelGainKind(int channel) : m_channel(channel) {}
    int Value() const { return g_channelGain[m_channel]; }
    std::wstring Format() const;
    bool Commit(const std::wstring& text);
    bool Step(StepDirection direction);

private:
    int m_channel;
};

// One input's attenuation into an output, whole dB 0..60 (60 "OFF").
class MixerCellKind final : public ValueKind<MixerCellKind> {
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = 60;

    MixerCellKind(int channel, uint32_t sourceBit) : m_channel(channel), m_sourceBit(sourceBit) {}
    int Value() const;
    std::wstring Format() const;
    bool Commit(const std::wstring& text);
    bool Step(StepDirection direction);

private:
    int m_channel;
    uint32_t m_sourceBit;
};

// Master attenuation g_masterVolume, whole dB 0..60 (60 "OFF").
class MasterVolumeKind final : public ValueKind<MasterVolumeKind> {
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = kMasterVolumeOff;

    int Value() const { return g_masterVolume; }
    std::wstring Format() const;
    // The field's Enter: "OFF", "-NN" up to 59, "-N" or "0", nothing cut;
    // an accepted value is stored even when it is the stored one.
    bool Commit(const std::wstring& text);
    // The main window's commit on focus loss: the same cut before the first
    // 'd'; true only when a new value was stored.
    bool CommitOnFocusLoss(const std::wstring& text);
    bool Step(StepDirection direction);
};

// The high-level mix volume of the settings dialog, whole dB 0..60, held by
// the dialog (value points at it).
class MixVolumeKind final : public ValueKind<MixVolumeKind> {
public:
    static constexpr int kMin = 0;
    static constexpr int kMax = 60;

    explicit MixVolumeKind(int* value) : m_value(value) {}
    int Value() const { return *m_value; }
    std::wstring Format() const;
    // Cut before the first 'd'; "-NN" up to 60. True only for a new value.
    bool Commit(const std::wstring& text);
    bool Step(StepDirection direction);

private:
    int* m_value;
};
