#include "model/value_kinds.h"

#include "model/propagation.h"

namespace {

// An attenuation that Down raises and Up lowers by one within 0..max.
bool StepAttenuation(StepDirection direction, int& value, int max)
{
    if (direction == StepDirection::Down && value < max) {
        ++value;
        return true;
    }
    if (direction == StepDirection::Up && value > 0) {
        --value;
        return true;
    }
    return false;
}

}  // namespace

std::optional<StepDirection> WheelDirection(int wheelDelta)
{
    if (wheelDelta == 120) return StepDirection::Up;
    if (wheelDelta == -120) return StepDirection::Down;
    return std::nullopt;
}

// ---- frequencies --------------------------------------------------------------

int* FrequencyKind::Slot() const
{
    switch (m_kind) {
    case 1: return &g_hpFreq[g_selectedChannel];
    case 2: return &g_lpFreq[g_selectedChannel];
    default: return &g_eqFreq[g_selectedChannel][m_band];
    }
}

void FrequencyKind::Spread() const
{
    switch (m_kind) {
    case 1: PropagateHpFreq(); break;
    case 2: PropagateLpFreq(); break;
    default: PropagateEqFreq(m_band); break;
    }
}

std::wstring FrequencyKind::Format() const { return std::to_wstring(Value()); }

bool FrequencyKind::Commit(const std::wstring& text) { return ParseFrequencyText(text, m_band, m_kind) != 0; }

bool FrequencyKind::Step(StepDirection direction)
{
    int& v = *Slot();
    const unsigned u = static_cast<unsigned>(v);
    if (direction == StepDirection::Up && u < static_cast<unsigned>(kMax)) ++v;
    else if (direction == StepDirection::Down && u > static_cast<unsigned>(kMin)) --v;
    else return false;
    Spread();
    return true;
}

// ---- band gain and Q ----------------------------------------------------------

std::wstring BandGainKind::Format() const
{
    std::wstring text;
    FormatEqGain(text, m_band);
    return text;
}

bool BandGainKind::Commit(const std::wstring& text)
{
    if (ParseEqGainText(m_band, text) == 0) return false;
    PropagateEqGainByHand(m_band);
    return true;
}

bool BandGainKind::Step(StepDirection direction)
{
    int& code = g_eqGain[g_selectedChannel][m_band];
    const unsigned u = static_cast<unsigned>(code);
    if (direction == StepDirection::Up && u != static_cast<unsigned>(kMin)) --code;
    else if (direction == StepDirection::Down && u < static_cast<unsigned>(kMax)) ++code;
    else return false;
    PropagateEqGainByHand(m_band);
    return true;
}

std::wstring BandQKind::Format() const { return FormatDecimal(Value(), 2); }

bool BandQKind::Commit(const std::wstring& text)
{
    if (!ParseQText(m_band, text)) return false;
    PropagateEqQ(m_band);
    return true;
}

bool BandQKind::Step(StepDirection direction)
{
    if (StepEqQ(direction, m_band) == 0) return false;
    PropagateEqQ(m_band);
    return true;
}

// ---- delay ----------------------------------------------------------------------

std::wstring DelayKind::Format() const
{
    std::wstring text;
    FormatDelay(m_value, text, m_forceCm ? 1 : 0);
    return text;
}

bool DelayKind::Commit(const std::wstring& text)
{
    std::wstring copy = text;
    return ParseDelayText(m_value, copy, m_forceCm ? 1 : 0) != 0;
}

bool DelayKind::Step(StepDirection direction) { return StepDelay(direction, m_value) != 0; }

// ---- channel gain and mixer cells ---------------------------------------------

std::wstring ChannelGainKind::Format() const
{
    std::wstring text;
    FormatChannelGain(text, m_channel);
    return text;
}

bool ChannelGainKind::Commit(const std::wstring& text) { return ParseGainText(nullptr, text, m_channel, 0) != 0; }

bool ChannelGainKind::Step(StepDirection direction) { return StepGain(direction, m_channel, 0) != 0; }

int MixerCellKind::Value() const { return static_cast<int>(GetInputVolume(m_channel, m_sourceBit)); }

std::wstring MixerCellKind::Format() const
{
    std::wstring text;
    FormatInputVolume(text, m_channel, m_sourceBit);
    return text;
}

bool MixerCellKind::Commit(const std::wstring& text)
{
    return m_sourceBit != 0 && ParseGainText(nullptr, text, m_channel, m_sourceBit) != 0;
}

bool MixerCellKind::Step(StepDirection direction)
{
    return m_sourceBit != 0 && StepGain(direction, m_channel, m_sourceBit) != 0;
}

// ---- master and mix volume ----------------------------------------------------

std::wstring MasterVolumeKind::Format() const
{
    std::wstring text;
    FormatMasterVolume(text);
    return text;
}

bool MasterVolumeKind::Commit(const std::wstring& text)
{
    const int v = ParseWholeDbText(text, false, kMax - 1);
    if (v < 0) return false;
    g_masterVolume = v;
    return true;
}

bool MasterVolumeKind::CommitOnFocusLoss(const std::wstring& text)
{
    const int v = ParseWholeDbText(text, true, kMax - 1);
    if (v < 0 || v == g_masterVolume) return false;
    g_masterVolume = v;
    return true;
}

bool MasterVolumeKind::Step(StepDirection direction) { return StepAttenuation(direction, g_masterVolume, kMax); }

std::wstring MixVolumeKind::Format() const { return WholeDbText(static_cast<uint32_t>(*m_value)); }

bool MixVolumeKind::Commit(const std::wstring& text)
{
    const int v = ParseWholeDbText(text, true, kMax);
    if (v < 0 || v == *m_value) return false;
    *m_value = v;
    return true;
}

bool MixVolumeKind::Step(StepDirection direction) { return StepAttenuation(direction, *m_value, kMax); }
