#include "model/preset_file.h"

#include <array>
#include <charconv>
#include <cmath>
#include <fstream>

#include "model/device_state.h"
#include "model/images_refresh.h"

namespace {

enum class Field : uint8_t {
    Tag,
    Delay,
    Word,
    Master,
    BandFreq,
    BandGain,
    BandQ,
    HpType,
    HpFreq,
    HpSlope,
    LpType,
    LpFreq,
    LpSlope,
    Routing,
    HiLevel,
    MixCell,
    LinkGroup,
    CurveMask,
    Bridges,
};

// What line n of the file holds: a field, its channel (or mixer row) and
// its band (or mixer column).
struct LineSlot {
    Field field = Field::Tag;
    uint8_t channel = 0;
    uint8_t index = 0;
};

struct LineMap {
    std::array<LineSlot, kPresetFileLines> slots{};
    int count = 0;
};

constexpr LineMap BuildLineMap()
{
    LineMap m;
    auto add = [&m](Field f, int channel = 0, int index = 0) {
        m.slots[m.count++] = {f, static_cast<uint8_t>(channel), static_cast<uint8_t>(index)};
    };
    auto block = [&add](int c) {
        for (int b = 0; b < kBands; ++b) add(Field::BandFreq, c, b);
        for (int b = 0; b < kBands; ++b) add(Field::BandGain, c, b);
        for (int b = 0; b < kBands; ++b) add(Field::BandQ, c, b);
        for (Field f : {Field::HpType, Field::HpFreq, Field::HpSlope, Field::LpType, Field::LpFreq, Field::LpSlope})
            add(f, c);
    };
    auto mixRows = [&add](int first, int last) {
        for (int r = first; r <= last; ++r)
            for (int j = 0; j < 16; ++j) add(Field::MixCell, r, j);
    };

    add(Field::Tag);
    for (int c = 0; c < 6; ++c) add(Field::Delay, c);
    for (int c = 0; c < 6; ++c) add(Field::Word, c);
    add(Field::Master);
    for (int c = 0; c < 6; ++c) block(c);
    for (int c = 6; c < 8; ++c) {
        add(Field::Delay, c);
        add(Field::Word, c);
        block(c);
    }
    for (int c = 0; c < kChannels; ++c) add(Field::Routing, c);
    add(Field::HiLevel);
    mixRows(0, 7);
    for (int c = 8; c < kChannels; ++c) {
        add(Field::Delay, c);
        add(Field::Word, c);
        block(c);
    }
    mixRows(8, 11);
    for (int i = 0; i < kChannels; ++i) add(Field::LinkGroup, i);
    add(Field::CurveMask);
    add(Field::Bridges);
    for (int r = 0; r < kChannels; ++r) {
        add(Field::MixCell, r, 16);
        add(Field::MixCell, r, 17);
    }
    return m;
}

constexpr LineMap kLineMap = BuildLineMap();

constexpr bool SlotIs(int line, Field f, int channel, int index)
{
    const LineSlot s = kLineMap.slots[line];
    return s.field == f && s.channel == channel && s.index == index;
}

static_assert(kLineMap.count == kPresetFileLines);
static_assert(SlotIs(13, Field::Master, 0, 0));
static_assert(SlotIs(76, Field::BandQ, 0, 0));
static_assert(SlotIs(608, Field::Delay, 6, 0) && SlotIs(610, Field::BandFreq, 6, 0));
static_assert(SlotIs(822, Field::HiLevel, 0, 0) && SlotIs(950, Field::MixCell, 7, 15));
static_assert(SlotIs(951, Field::Delay, 8, 0) && SlotIs(1348, Field::BandQ, 11, 30));
static_assert(SlotIs(1355, Field::MixCell, 8, 0) && SlotIs(1432, Field::Bridges, 0, 0));
static_assert(SlotIs(1456, Field::MixCell, 11, 17));

// Gain-and-phase word: bit 7 is the phase, the gain's bits 7 and up move
// one place up.
uint32_t PackWord(int gain, bool inverted)
{
    const uint32_t g = static_cast<uint32_t>(gain);
    return (g & ~0x7Fu) << 1 | (g & 0x7Fu) | (inverted ? 0x80u : 0u);
}

uint32_t UnpackGain(uint32_t word) { return (word >> 8) << 7 | (word & 0x7F); }

// ---- Writer ----

void AppendLine(std::vector<uint8_t>& out, const char* first, const char* last)
{
    for (const char* p = first; p != last; ++p) {
        out.push_back(static_cast<uint8_t>(*p));
        out.push_back(0);
    }
    for (uint8_t ch : {'\r', '\n'}) {
        out.push_back(ch);
        out.push_back(0);
    }
}

int64_t IntValue(const PresetData& d, LineSlot s)
{
    const int c = s.channel, i = s.index;
    switch (s.field) {
    case Field::Tag: return PRESET_FILE_TAG;
    case Field::Delay: return d.delay[c];
    case Field::Word: return static_cast<int32_t>(PackWord(d.channelGain[c], (d.phaseMask >> c) & 1));
    case Field::Master: return d.masterVolume;
    case Field::BandFreq: return d.eqFreq[c][i];
    case Field::BandGain: return d.eqGain[c][i];
    case Field::BandQ: return 0;
    case Field::HpType: return d.hpType[c];
    case Field::HpFreq: return d.hpFreq[c];
    case Field::HpSlope: return d.hpSlope[c];
    case Field::LpType: return d.lpType[c];
    case Field::LpFreq: return d.lpFreq[c];
    case Field::LpSlope: return d.lpSlope[c];
    case Field::Routing: return static_cast<int32_t>(d.routingMask[c]);
    case Field::HiLevel: return d.hiLevelMixVolume + (d.hiLevelMix ? 0x80 : 0);
    case Field::MixCell: return static_cast<int32_t>(d.inputMixVolume[c][i]);
    case Field::LinkGroup: return d.linkGroup[c];
    case Field::CurveMask: return d.visibleMask;
    case Field::Bridges: return d.bridgeBits;
    }
    return 0;
}

// ---- Loader ----

bool IsSpace(char16_t u) { return u == u' ' || (u >= u'\t' && u <= u'\r'); }

bool IsDigit(char16_t u) { return u >= u'0' && u <= u'9'; }

struct Line {
    char16_t units[kPresetMaxLineUnits];
    int length = 0;
};

// Leading white space, an optional sign, then decimal digits; what follows
// is ignored. The value must fit 32 bits (signed or unsigned) and is given
// as its unsigned 32-bit pattern.
bool ScanInt(const Line& line, uint32_t& value)
{
    int i = 0;
    while (i < line.length && IsSpace(line.units[i])) ++i;
    bool negative = false;
    if (i < line.length && (line.units[i] == u'+' || line.units[i] == u'-')) negative = line.units[i++] == u'-';
    if (i >= line.length || !IsDigit(line.units[i])) return false;
    uint64_t v = 0;
    for (; i < line.length && IsDigit(line.units[i]); ++i) {
        v = v * 10 + (line.units[i] - u'0');
        if (v > 0xFFFFFFFFull) return false;
    }
    if (negative) {
        if (v > 0x80000000ull) return false;
        value = static_cast<uint32_t>(0 - v);
    } else {
        value = static_cast<uint32_t>(v);
    }
    return true;
}

// Leading white space, an optional sign, then a decimal number that starts
// with a digit or a full stop; what follows is ignored. No "inf", "nan" or
// out-of-range magnitudes.
bool ScanDouble(const Line& line, double& value)
{
    char text[kPresetMaxLineUnits];
    int n = 0;
    int i = 0;
    while (i < line.length && IsSpace(line.units[i])) ++i;
    bool negative = false;
    if (i < line.length && (line.units[i] == u'+' || line.units[i] == u'-')) negative = line.units[i++] == u'-';
    if (i >= line.length || !(IsDigit(line.units[i]) || line.units[i] == u'.')) return false;
    for (; i < line.length; ++i) {
        const char16_t u = line.units[i];
        text[n++] = u < 0x80 ? static_cast<char>(u) : '?';
    }
    double v = 0;
    const auto res = std::from_chars(text, text + n, v, std::chars_format::general);
    if (res.ec != std::errc() || !std::isfinite(v)) return false;
    value = negative ? -v : v;
    return true;
}

constexpr uint32_t kChannelMaskMax = (1u << kChannels) - 1;

// Stores one value line into the staged data, repairing out-of-range values.
bool StoreLine(PresetData& d, LineSlot s, const Line& line, bool& repaired)
{
    if (s.field == Field::BandQ) {
        double q = 0;
        if (!ScanDouble(line, q)) return false;
        if (q < 0.1 || q > 10.0) {
            q = kDefaultQ;
            repaired = true;
        }
        d.eqQ[s.channel][s.index] = q;
        return true;
    }

    uint32_t v = 0;
    if (!ScanInt(line, v)) return false;
    // Replaces v by 'fallback' when 'bad' holds.
    auto repair = [&](bool bad, uint32_t fallback) {
        if (bad) {
            v = fallback;
            repaired = true;
        }
        return static_cast<int>(v);
    };
    const int c = s.channel, i = s.index;
    switch (s.field) {
    case Field::Tag: return v == PRESET_FILE_TAG;
    case Field::Delay: d.delay[c] = repair(v >= 600, 0); break;
    case Field::Word: {
        const bool inverted = (v & 0x80) != 0;
        if (inverted) d.phaseMask |= 1 << c;
        else d.phaseMask &= ~(1 << c);
        v = UnpackGain(v);
        d.channelGain[c] = repair(v > kChannelGainOff, 0);
        break;
    }
    case Field::Master: d.masterVolume = repair(v > kMasterVolumeOff, 0); break;
    case Field::BandFreq: d.eqFreq[c][i] = repair(v < 20 || v > 20000, static_cast<uint32_t>(g_isoBandFreq[i])); break;
    case Field::BandGain: d.eqGain[c][i] = repair(v > 300, kDefaultGainCode); break;
    case Field::BandQ: break;
    case Field::HpType: d.hpType[c] = repair(v >= 2, 0); break;
    case Field::HpFreq: d.hpFreq[c] = repair(v < 20 || v > 20000, 20); break;
    case Field::HpSlope: d.hpSlope[c] = repair(v > 8, kSlopeOff); break;
    case Field::LpType: d.lpType[c] = repair(v >= 2, 0); break;
    case Field::LpFreq: d.lpFreq[c] = repair(v < 20 || v > 20000, 20000); break;
    case Field::LpSlope: d.lpSlope[c] = repair(v > 8, kSlopeOff); break;
    case Field::Routing: d.routingMask[c] = v; break;
    case Field::HiLevel:
        d.hiLevelMix = (v & 0x80) != 0;
        v &= 0x7F;
        d.hiLevelMixVolume = repair(v > 60, 0);
        break;
    case Field::MixCell: d.inputMixVolume[c][i] = static_cast<uint32_t>(repair(v > 60, 0)); break;
    // Channel masks: twelve bits.
    case Field::LinkGroup: d.linkGroup[c] = repair(v > kChannelMaskMax, 0); break;
    case Field::CurveMask: d.visibleMask = repair(v > kChannelMaskMax, 0); break;
    case Field::Bridges: d.bridgeBits = static_cast<int>(v & 0x3F); break;
    }
    return true;
}

int* const kBridgeFlags[6] = {&g_btlPair12, &g_btlPair34, &g_btlPair56, &g_btlPair78, &g_btlPair910, &g_btlPair1112};

}  // namespace

PresetData CapturePreset(const IDelayFields& delays, int visibleMask)
{
    PresetData d;
    for (int c = 0; c < kChannels; ++c) {
        d.delay[c] = delays.GetValue(c);
        d.channelGain[c] = g_channelGain[c];
        for (int b = 0; b < kBands; ++b) {
            d.eqFreq[c][b] = g_eqFreq[c][b];
            d.eqGain[c][b] = g_eqGain[c][b];
            d.eqQ[c][b] = g_eqQ[c][b];
        }
        d.hpType[c] = g_hpType[c];
        d.hpFreq[c] = g_hpFreq[c];
        d.hpSlope[c] = g_hpSlope[c];
        d.lpType[c] = g_lpType[c];
        d.lpFreq[c] = g_lpFreq[c];
        d.lpSlope[c] = g_lpSlope[c];
        d.routingMask[c] = g_routingMask[c];
        for (int j = 0; j < kInputs; ++j) d.inputMixVolume[c][j] = g_inputMixVolume[c][j];
        d.linkGroup[c] = g_linkGroup[c];
    }
    d.phaseMask = g_phaseMask;
    d.masterVolume = g_masterVolume;
    d.hiLevelMix = g_hiLevelMix == 1;
    d.hiLevelMixVolume = g_hiLevelMixVolume;
    d.visibleMask = visibleMask;
    for (int p = 0; p < 6; ++p)
        if (*kBridgeFlags[p] == 1) d.bridgeBits |= 1 << p;
    return d;
}

std::vector<uint8_t> WritePresetFile(const PresetData& data)
{
    std::vector<uint8_t> out;
    out.reserve(kPresetFileLines * 20);
    char buf[400];
    for (int n = 0; n < kPresetFileLines; ++n) {
        const LineSlot s = kLineMap.slots[n];
        std::to_chars_result res;
        if (s.field == Field::BandQ)
            res = std::to_chars(buf, buf + sizeof buf, data.eqQ[s.channel][s.index], std::chars_format::fixed, 6);
        else res = std::to_chars(buf, buf + sizeof buf, IntValue(data, s));
        AppendLine(out, buf, res.ec == std::errc() ? res.ptr : buf);
    }
    out.push_back(0);
    out.push_back(0);
    return out;
}

std::vector<uint8_t> SavePresetFile(IImageView& view)
{
    return WritePresetFile(CapturePreset(view.DelayFields(), view.GetVisibleChannels()));
}

PresetParse ParsePresetFile(std::span<const uint8_t> bytes, PresetData& out)
{
    if (bytes.size() % 2 != 0) return PresetParse::Failed;
    const size_t units = bytes.size() / 2;
    auto unitAt = [&bytes](size_t k) { return static_cast<char16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8); };
    size_t end = 0;
    while (end < units && unitAt(end) != 0) ++end;

    PresetData staged;
    bool repaired = false;
    Line line;
    int lineNo = 0;
    for (size_t k = 0; k < end;) {
        const char16_t u = unitAt(k);
        if (u != u'\r') {
            if (line.length == kPresetMaxLineUnits) return PresetParse::Failed;
            line.units[line.length++] = u;
            ++k;
            continue;
        }
        if (lineNo > kPresetLastLine) return PresetParse::Failed;
        if (lineNo < kPresetFileLines && !StoreLine(staged, kLineMap.slots[lineNo], line, repaired))
            return PresetParse::Failed;
        ++lineNo;
        line.length = 0;
        k += 2;  // the unit after the CR is taken to be its LF
    }
    if (lineNo < kPresetFileLines) return PresetParse::Failed;
    out = staged;
    return repaired ? PresetParse::Repaired : PresetParse::Ok;
}

bool ApplyPreset(const PresetData& d, IImageView& view)
{
    IDelayFields& delays = view.DelayFields();
    for (int c = 0; c < kChannels; ++c) delays.SetValue(c, d.delay[c]);
    for (int c = 0; c < kChannels; ++c) ApplyChannelLevel(view, c, d.channelGain[c], (d.phaseMask >> c) & 1);
    ApplyMasterVolume(view, d.masterVolume);

    for (int c = 0; c < kChannels; ++c) {
        for (int b = 0; b < kBands; ++b) {
            g_eqFreq[c][b] = d.eqFreq[c][b];
            g_eqGain[c][b] = d.eqGain[c][b];
            g_eqGainFlattened[c][b] = false;  // the file's gains replace the kept ones
            g_eqQ[c][b] = d.eqQ[c][b];
            g_eqQStep[c][b] = QStepIndexFor(d.eqQ[c][b]);
        }
        g_hpType[c] = d.hpType[c];
        g_hpFreq[c] = d.hpFreq[c];
        g_hpSlope[c] = d.hpSlope[c];
        g_lpType[c] = d.lpType[c];
        g_lpFreq[c] = d.lpFreq[c];
        g_lpSlope[c] = d.lpSlope[c];
    }
    view.RefreshEqControls();

    for (int c = 0; c < kChannels; ++c) ApplyRoutingMask(view, c, d.routingMask[c]);
    g_hiLevelMix = d.hiLevelMix ? 1 : 0;
    g_hiLevelMixVolume = d.hiLevelMixVolume;
    for (int c = 0; c < kChannels; ++c) {
        for (int j = 0; j < kInputs; ++j) g_inputMixVolume[c][j] = d.inputMixVolume[c][j];
        g_linkGroup[c] = d.linkGroup[c];
    }
    view.SetVisibleChannels(d.visibleMask);
    for (int p = 0; p < 6; ++p) *kBridgeFlags[p] = (d.bridgeBits >> p) & 1;

    const bool clearNew = g_firmwareDate.load() < FW_DATE_NEW_FEATURES;
    if (clearNew) {
        for (int& g : g_linkGroup) g = 0;
        view.SetVisibleChannels(0);
        for (int* flag : kBridgeFlags) *flag = 0;
    }
    view.InvalidateChannelButtons();
    view.InvalidateLinkButtons();
    view.InvalidateCurveButtons();
    return clearNew;
}

PresetLoadResult LoadPresetFile(std::span<const uint8_t> bytes, IImageView& view)
{
    PresetData staged;
    const PresetParse parse = ParsePresetFile(bytes, staged);
    PresetLoadResult result;
    if (parse == PresetParse::Failed) {
        result.messageId = kTextPresetLoadFailed;
        return result;
    }
    result.applied = true;
    result.newFeaturesCleared = ApplyPreset(staged, view);
    result.messageId = parse == PresetParse::Repaired ? kTextFileError : 0;
    return result;
}

bool ReadFileBytes(const std::filesystem::path& path, std::vector<uint8_t>& out, size_t maxBytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> data;
    char buf[8192];
    while (in) {
        in.read(buf, sizeof buf);
        const size_t got = static_cast<size_t>(in.gcount());
        if (data.size() + got > maxBytes) return false;
        data.insert(data.end(), buf, buf + got);
    }
    if (in.bad()) return false;
    out = std::move(data);
    return true;
}

bool WriteFileBytes(const std::filesystem::path& path, std::span<const uint8_t> bytes)
{
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    return !f.fail();
}
