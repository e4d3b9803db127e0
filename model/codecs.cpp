#include "model/codecs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "model/params.h"
#include "model/propagation.h"

namespace {

bool IsChannel(int channel) { return channel >= 0 && channel < kChannels; }
bool IsBand(int band) { return band >= 0 && band < kBands; }
bool IsDigit(wchar_t ch) { return ch >= L'0' && ch <= L'9'; }

std::wstring Widen(const char* first, const char* last) { return std::wstring(first, last); }

std::wstring DecimalInt(long long value)
{
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return Widen(buf, res.ptr);
}

// "%.1f" of the attenuation in dB, divided in single precision.
std::wstring TenthsInSinglePrecision(int value)
{
    const float db = static_cast<float>(value) / 10.0f;
    return FormatDecimal(static_cast<double>(db), 1);
}

// The shape rule shared by the band gain, Q and channel gain parsers.
// `body` is the considered text: at most 5 characters after a leading '-'
// (so a shown "-12.5dB" still fails on its 'd'). Every character must be a digit or '.', the last '.' may not be
// the first character, and: two characters without '.', or three with the
// last '.' at position 2, must start with a two-digit number not above
// `maxWhole`; more than three characters need the last '.' at position 2 or
// earlier.
bool ShapeAccepted(std::wstring_view body, int maxWhole)
{
    int lastDot = -1;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] == L'.') lastDot = static_cast<int>(i);
        else if (!IsDigit(body[i])) return false;
    }
    if (lastDot == 0) return false;
    const size_t n = body.size();
    if ((n == 2 && lastDot < 0) || (n == 3 && lastDot == 2)) {
        int whole = 0;
        for (size_t i = 0; i < 2 && IsDigit(body[i]); ++i) whole = whole * 10 + (body[i] - L'0');
        if (whole > maxWhole) return false;
    }
    if (n > 3 && (lastDot < 0 || lastDot > 2)) return false;
    return true;
}

bool UseCentimetres(uint8_t forceCm) { return g_delayInCm != 0 || forceCm != 0; }

// The delay as FormatDelay shows it, read back as a number.
double ShownDelay(int samples, uint8_t forceCm)
{
    std::wstring text;
    FormatDelay(&samples, text, forceCm);
    return ReadNumberPrefix(text);
}

bool EqualsOffIgnoringCase(std::wstring_view text)
{
    if (text.size() != 3) return false;
    auto upper = [](wchar_t ch) { return (ch >= L'a' && ch <= L'z') ? static_cast<wchar_t>(ch - L'a' + L'A') : ch; };
    return upper(text[0]) == L'O' && upper(text[1]) == L'F' && upper(text[2]) == L'F';
}

// A channel gain change goes to the members of the channel's first link
// group, else to both channels of its bridged pair.
void SpreadChannelGain(int channel)
{
    const int tied = TiedChannels(channel);
    for (int m = 0; m < kChannels; ++m)
        if (tied & (1 << m)) g_channelGain[m] = g_channelGain[channel];
}

}  // namespace

std::wstring FormatDecimal(double value, int decimals)
{
    char buf[400];  // a double's widest fixed form plus the decimals
    if (decimals < 0) decimals = 0;
    if (decimals > 30) decimals = 30;
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    if (res.ec != std::errc()) return std::wstring();
    return Widen(buf, res.ptr);
}

double ReadNumberPrefix(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || (text[i] >= L'\t' && text[i] <= L'\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
        negative = text[i] == L'-';
        ++i;
    }
    if (i >= text.size() || !(IsDigit(text[i]) || text[i] == L'.')) return 0.0;

    // Narrow copy of the characters that can belong to a number.
    std::string narrow;
    for (; i < text.size(); ++i) {
        const wchar_t ch = text[i];
        if (!(IsDigit(ch) || ch == L'.' || ch == L'e' || ch == L'E' || ch == L'+' || ch == L'-')) break;
        narrow.push_back(static_cast<char>(ch));
    }
    double value = 0.0;
    auto res = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value, std::chars_format::general);
    if (res.ec == std::errc::invalid_argument) return 0.0;
    if (res.ec == std::errc::result_out_of_range) {
        const auto e = narrow.find_first_of("eE");
        const bool tiny = e != std::string::npos && e + 1 < narrow.size() && narrow[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    }
    return negative ? -value : value;
}

int EqGainCodeOfDb(double gainDb)
{
    const double code = kDefaultGainCode - 10.0 * gainDb;
    if (std::isnan(code)) return kDefaultGainCode;
    return static_cast<int>(std::clamp(code, 0.0, 300.0));
}

void FormatEqGain(std::wstring& text, int band)
{
    if (!IsBand(band) || !IsChannel(g_selectedChannel)) return;
    const int code = g_eqGain[g_selectedChannel][band];
    if (code > 300) return;
    const int tenths = code <= kDefaultGainCode ? kDefaultGainCode - code : code - kDefaultGainCode;
    text = (code <= kDefaultGainCode ? L"" : L"-") + DecimalInt(tenths / 10) + L"." + DecimalInt(tenths % 10);
}

void FormatChannelGain(std::wstring& text, int channel)
{
    if (!IsChannel(channel)) return;
    const int value = g_channelGain[channel];
    if (value == 0) text = FormatDecimal(0.0, 1) + L"dB";
    else if (value == kChannelGainOff) text = L"OFF";
    else text = L"-" + TenthsInSinglePrecision(value) + L"dB";
}

void FormatMasterVolume(std::wstring& text)
{
    text = g_masterVolume < kMasterVolumeOff ? DecimalInt(-static_cast<long long>(g_masterVolume)) + L"dB" : L"OFF";
}

std::wstring WholeDbText(uint32_t value)
{
    if (value == 0) return L"0dB";
    if (value <= 60) return L"-" + DecimalInt(value) + L"dB";
    return std::wstring();
}

void FormatInputVolume(std::wstring& text, int channel, uint32_t sourceBit)
{
    const uint32_t value = GetInputVolume(channel, sourceBit);
    text = WholeDbText(value);
}

double DelaySamplesToUnits(int samples, uint8_t forceCm)
{
    const uint32_t product = static_cast<uint32_t>(samples) * 1000u;
    const double ms = std::trunc(static_cast<double>(product) / 48.0 + 0.5) / 1000.0;
    return UseCentimetres(forceCm) ? ms * 34.0 : ms;
}

void FormatDelay(const int* samples, std::wstring& text, uint8_t forceCm)
{
    if (!samples) return;
    text = FormatDecimal(DelaySamplesToUnits(*samples, forceCm), 3);
}

void ShowChannelGain(ISlider* slider, std::wstring& text, int channel)
{
    if (!IsChannel(channel)) return;
    if (slider) {
        slider->SetPos(g_channelGain[channel]);
        slider->Invalidate();
    }
    FormatChannelGain(text, channel);
}

void ShowInputVolume(ISlider* slider, std::wstring& text, int channel, uint32_t sourceBit)
{
    if (slider) {
        slider->SetPos(static_cast<int>(GetInputVolume(channel, sourceBit)));
        slider->Invalidate();
    }
    FormatInputVolume(text, channel, sourceBit);
}

int MuteBitOf(int channel) { return channel < 6 ? 1 << channel : 1 << (channel + 1); }

MasterMuteStep MasterMuteStepOf(int muteMask, int masterVolume)
{
    const bool muted = masterVolume == kMasterVolumeOff;
    return {muted, muted != ((muteMask & kMasterMuteBit) != 0)};
}

MasterMuteStep FollowMasterVolumeMute()
{
    const MasterMuteStep step = MasterMuteStepOf(g_muteMask, g_masterVolume);
    if (step.muted) g_muteMask |= kMasterMuteBit;
    else g_muteMask &= ~kMasterMuteBit;
    return step;
}

void SyncChannelMuteButton(ITextControl& button, int channel)
{
    if (!IsChannel(channel)) return;
    const std::wstring caption = button.GetText();
    const bool off = g_channelGain[channel] == kChannelGainOff;
    if (caption == kUnmutedCaption && off) {
        g_muteMask |= MuteBitOf(channel);
        button.SetText(kMutedCaption);
    } else if (caption == kMutedCaption && !off) {
        g_muteMask &= ~MuteBitOf(channel);
        button.SetText(kUnmutedCaption);
    }
}

void ShowChannelMute(ITextControl& button, int channel)
{
    if (!IsChannel(channel)) return;
    if (g_channelGain[channel] == kChannelGainOff) {
        g_muteMask |= MuteBitOf(channel);
        button.SetText(kMutedCaption);
    } else {
        g_muteMask &= ~MuteBitOf(channel);
        button.SetText(kUnmutedCaption);
    }
}

void SetChannelGain(int channel, int value, ISlider* slider)
{
    if (!IsChannel(channel) || value < 0 || value > kChannelGainOff) return;
    g_channelGain[channel] = value;
    if (slider) {
        slider->SetPos(value);
        slider->Invalidate();
    }
}

int SourceBitToColumn(uint32_t bit)
{
    static const int kColumnOfBit[kInputs] = {0, 1, 2, 3, 4, 5, 8, 9, 12, 13, 14, 15, 6, 7, 10, 11, 16, 17};
    for (int b = 0; b < kInputs; ++b)
        if (bit == (1u << b)) return kColumnOfBit[b];
    return 0;
}

void SetInputVolume(int channel, uint32_t sourceBit, uint32_t value)
{
    if (!IsChannel(channel)) return;
    g_inputMixVolume[channel][SourceBitToColumn(sourceBit)] = value;
}

uint32_t GetInputVolume(int channel, uint32_t sourceBit)
{
    if (!IsChannel(channel)) return 0;
    return g_inputMixVolume[channel][SourceBitToColumn(sourceBit)];
}

int ParseFrequencyText(std::wstring text, int band, int kind)
{
    const int s = g_selectedChannel;
    if (!IsChannel(s)) return 0;
    int* target = nullptr;
    switch (kind) {
    case 0:
        if (IsBand(band)) target = &g_eqFreq[s][band];
        break;
    case 1: target = &g_hpFreq[s]; break;
    case 2: target = &g_lpFreq[s]; break;
    }
    if (!target) return 0;
    // No valid frequency needs more than five digits; a text that would not
    // fit the eight-character working buffer is refused.
    if (text.size() >= 8) return 0;
    int f = 0;
    for (wchar_t ch : text) {
        if (!IsDigit(ch)) return 0;
        f = f * 10 + (ch - L'0');
    }
    if (f < 20 || f > 20000) return 0;
    if (f == *target) return 0;
    *target = f;
    switch (kind) {
    case 0: PropagateEqFreq(band); break;
    case 1: PropagateHpFreq(); break;
    case 2: PropagateLpFreq(); break;
    }
    return 1;
}

int ParseEqGainText(int band, const std::wstring& text)
{
    if (!IsBand(band) || !IsChannel(g_selectedChannel)) return 0;
    std::wstring_view body(text);
    const bool negative = !body.empty() && body[0] == L'-';
    if (negative) body.remove_prefix(1);
    body = body.substr(0, 5);
    if (!ShapeAccepted(body, 20)) return 0;
    const double x = 10.0 * ReadNumberPrefix(body);
    if (x > 150.0) return 0;
    const int code = negative ? static_cast<int>(kDefaultGainCode + x) : kDefaultGainCode - static_cast<int>(x);
    int& stored = g_eqGain[g_selectedChannel][band];
    if (code == stored) return 0;
    stored = code;
    return 1;
}

bool ParseQText(int band, const std::wstring& text)
{
    if (!IsBand(band) || !IsChannel(g_selectedChannel)) return false;
    const std::wstring_view body = std::wstring_view(text).substr(0, 5);
    if (!ShapeAccepted(body, 10)) return false;
    const double q = ReadNumberPrefix(body);
    if (!(q >= 0.1 && q <= 10.0)) return false;
    double& stored = g_eqQ[g_selectedChannel][band];
    if (q == stored) return false;
    stored = q;
    g_eqQStep[g_selectedChannel][band] = QStepIndexFor(q);
    return true;
}

int ParseDelayText(int* samples, std::wstring& text, uint8_t forceCm)
{
    if (!samples) return 0;
    const std::wstring_view body = std::wstring_view(text).substr(0, UseCentimetres(forceCm) ? 8 : 6);
    for (wchar_t ch : body)
        if (!IsDigit(ch) && ch != L'.') return 0;
    const double t = ReadNumberPrefix(body);
    int result = kMaxDelaySamples;
    for (int s = 0; s <= kMaxDelaySamples; ++s) {
        if (!(ShownDelay(s, forceCm) < t)) {
            result = s;
            break;
        }
    }
    *samples = result;
    FormatDelay(samples, text, forceCm);
    return 1;
}

int ParseGainText(ISlider* /*slider*/, const std::wstring& text, int channel, uint32_t sourceBit)
{
    if (!IsChannel(channel)) return 0;

    if (sourceBit != 0) {
        const int value = ParseWholeDbText(text, true, 59);
        if (value < 0) return 0;
        uint32_t& cell = g_inputMixVolume[channel][SourceBitToColumn(sourceBit)];
        if (cell == static_cast<uint32_t>(value)) return 0;
        cell = static_cast<uint32_t>(value);
        return 1;
    }

    int value = 0;
    if (EqualsOffIgnoringCase(text)) {
        value = kChannelGainOff;
    } else {
        std::wstring_view body(text);
        const bool negative = !body.empty() && body[0] == L'-';
        if (negative) body.remove_prefix(1);
        body = body.substr(0, 5);
        if (!ShapeAccepted(body, 60)) return 0;
        const double x = 10.0 * ReadNumberPrefix(body);
        if (!negative && x != 0.0) return 0;
        if (negative && x > 600.0) return 0;
        value = static_cast<int>(x);
    }
    if (value == g_channelGain[channel]) return 0;
    g_channelGain[channel] = value;
    SpreadChannelGain(channel);
    return 1;
}

int StepEqQ(StepDirection direction, int band)
{
    if (!IsBand(band) || !IsChannel(g_selectedChannel)) return 0;
    int& index = g_eqQStep[g_selectedChannel][band];
    if (index < 0) index = 0;
    if (index > kQSteps - 1) index = kQSteps - 1;
    if (direction == StepDirection::Up) {
        if (index == kQSteps - 1) return 0;
        ++index;
    } else {
        if (index == 0) return 0;
        --index;
    }
    g_eqQ[g_selectedChannel][band] = g_qStepTable[index];
    return 1;
}

bool WheelStepEqQ(int wheelDelta, int band)
{
    if (wheelDelta == 120) return StepEqQ(StepDirection::Up, band) != 0;
    if (wheelDelta == -120) return StepEqQ(StepDirection::Down, band) != 0;
    return false;
}

int StepDelay(StepDirection direction, int* samples)
{
    if (!samples) return 0;
    if (direction == StepDirection::Up) {
        if (*samples >= kMaxDelaySamples) return 0;
        ++*samples;
    } else {
        if (*samples <= 0) return 0;
        --*samples;
    }
    return 1;
}

int StepGain(StepDirection direction, int channel, uint32_t sourceBit)
{
    if (!IsChannel(channel)) return 0;
    if (sourceBit != 0) {
        uint32_t& cell = g_inputMixVolume[channel][SourceBitToColumn(sourceBit)];
        if (direction == StepDirection::Down) {
            if (cell >= 60) return 0;
            ++cell;
        } else {
            if (cell == 0) return 0;
            --cell;
        }
        return 1;
    }
    int& gain = g_channelGain[channel];
    if (direction == StepDirection::Down) {
        if (gain >= kChannelGainOff) return 0;
        ++gain;
    } else {
        if (gain <= 0) return 0;
        --gain;
    }
    SpreadChannelGain(channel);
    return 1;
}

int ParseWholeDbText(const std::wstring& text, bool cutAtD, int maxTwoDigits)
{
    if (text.size() > 3) return -1;
    std::wstring_view v(text);
    if (cutAtD) v = v.substr(0, v.find(L'd'));
    if (EqualsOffIgnoringCase(v)) return 60;
    if (v.size() == 3 && v[0] == L'-' && IsDigit(v[1]) && IsDigit(v[2])) {
        const int value = (v[1] - L'0') * 10 + (v[2] - L'0');
        return value <= maxTwoDigits ? value : -1;
    }
    if (v.size() == 2 && v[0] == L'-' && IsDigit(v[1])) return v[1] - L'0';
    if (v == L"0") return 0;
    return -1;
}
