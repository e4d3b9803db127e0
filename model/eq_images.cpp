#include "model/eq_images.h"

#include <algorithm>
#include <cmath>

#include "model/device_state.h"
#include "model/images_refresh.h"
#include "model/params.h"

uint8_t g_eqUser[EQ_USER_PARA_NUM] = {};
uint8_t g_eqUserShadow[EQ_USER_PARA_NUM] = {};
uint8_t g_eqUser2[SAVE_PARA_2_END] = {};
uint8_t g_eqUser2Shadow[SAVE_PARA_2_END] = {};

namespace {

// Absolute offsets of one channel's fields in EqUser. CH1..CH6 keep delay,
// gain and phase in the header; CH7..CH12 carry them in their own blocks,
// whose crossover fields also come in another order.
struct ChannelLayout {
    int high;           // bits 0-3 delay bits 8-11, bits 4-7 gain bits 7-10
    int delayLo;        // delay bits 0-7
    int gainLo;         // bits 0-6 gain bits 0-6, bit 7 phase
    int freq, gain, q;  // 31 big-endian words each
    int hpType, hpFreq, hpSlope;
    int lpType, lpFreq, lpSlope;
};

constexpr ChannelLayout LayoutOf(int c)
{
    if (c < 6) {
        const int b = 19 + 194 * c;
        return {2 * c, 2 * c + 1, 12 + c, b, b + 62, b + 124, b + 186, b + 187, b + 189, b + 190, b + 191, b + 193};
    }
    const int b = 1183 + 198 * (c - 6);
    return {b, b + 1, b + 2, b + 4, b + 66, b + 128, b + 190, b + 192, b + 191, b + 194, b + 196, b + 195};
}

static_assert(LayoutOf(5).lpSlope == 1182);
static_assert(LayoutOf(11).lpFreq + 1 == 2370);

constexpr int kMasterOffset = 18;

// EqUser2 offsets.
constexpr int kMixOffset = 48;
constexpr int kLinkOffset = 306;
constexpr int kVisibleOffset = 338;
constexpr int kBridgeOffset = 340;

constexpr int MixCellOffset(int output, int column)
{
    return column < 16 ? 50 + 16 * output + column : 341 + 4 * output + (column - 16);
}

void Put16(uint8_t* image, int at, uint32_t v)
{
    image[at] = static_cast<uint8_t>(v >> 8);
    image[at + 1] = static_cast<uint8_t>(v);
}

int Get16(const uint8_t* image, int at) { return image[at] << 8 | image[at + 1]; }

// Nearest integer of Q x 100, halves up, so every Q step travels exactly.
uint32_t QToWire(double q)
{
    const double v = std::floor(q * 100.0 + 0.5);
    if (!(v > 0.0)) return 0;  // also NaN
    return v >= 65535.0 ? 65535u : static_cast<uint32_t>(v);
}

int BridgeBits()
{
    const int flags[6] = {g_btlPair12, g_btlPair34, g_btlPair56, g_btlPair78, g_btlPair910, g_btlPair1112};
    int bits = 0;
    for (int p = 0; p < 6; ++p)
        if (flags[p] == 1) bits |= 1 << p;
    return bits;
}

}  // namespace

int GetEqUserSize()
{
    return g_firmwareDate.load() < FW_DATE_NEW_FEATURES && g_deviceModel.load() == 1 ? EQ_USER_SHORT_SIZE
                                                                                     : EQ_USER_PARA_NUM;
}

void BuildEqUser(const IDelayFields& delays)
{
    uint8_t* img = g_eqUser;
    for (int c = 0; c < kChannels; ++c) {
        const ChannelLayout l = LayoutOf(c);
        const uint32_t d = static_cast<uint32_t>(delays.GetValue(c)) & 0xFFF;
        const uint32_t g = static_cast<uint32_t>(g_channelGain[c]) & 0x7FF;
        img[l.high] = static_cast<uint8_t>((d >> 8) | (g >> 7) << 4);
        img[l.delayLo] = static_cast<uint8_t>(d);
        img[l.gainLo] = static_cast<uint8_t>((g & 0x7F) | ((g_phaseMask >> c) & 1 ? 0x80 : 0));
    }
    img[kMasterOffset] = static_cast<uint8_t>(g_masterVolume);

    for (int c = 0; c < kChannels; ++c) {
        const ChannelLayout l = LayoutOf(c);
        for (int b = 0; b < kBands; ++b) {
            Put16(img, l.freq + 2 * b, static_cast<uint32_t>(g_eqFreq[c][b]));
            Put16(img, l.gain + 2 * b, static_cast<uint32_t>(g_eqGain[c][b]));
            Put16(img, l.q + 2 * b, QToWire(g_eqQ[c][b]));
        }
        img[l.hpType] = static_cast<uint8_t>(g_hpType[c]);
        Put16(img, l.hpFreq, static_cast<uint32_t>(g_hpFreq[c]));
        img[l.hpSlope] = static_cast<uint8_t>(g_hpSlope[c]);
        img[l.lpType] = static_cast<uint8_t>(g_lpType[c]);
        Put16(img, l.lpFreq, static_cast<uint32_t>(g_lpFreq[c]));
        img[l.lpSlope] = static_cast<uint8_t>(g_lpSlope[c]);
    }
}

void BuildEqUser2(int visibleMask)
{
    uint8_t* img = g_eqUser2;
    for (int i = 0; i < kChannels; ++i) {
        const uint32_t m = g_routingMask[i];
        img[3 * i] = static_cast<uint8_t>(m >> 16);
        img[3 * i + 1] = static_cast<uint8_t>(m >> 8);
        img[3 * i + 2] = static_cast<uint8_t>(m);
    }

    // A volume out of range keeps the byte's previous volume; the mix bit
    // always follows g_hiLevelMix.
    uint8_t mix = img[kMixOffset] & 0x7F;
    if (g_hiLevelMixVolume >= 0 && g_hiLevelMixVolume <= 60) mix = static_cast<uint8_t>(g_hiLevelMixVolume);
    img[kMixOffset] = static_cast<uint8_t>(mix | (g_hiLevelMix == 1 ? 0x80 : 0));

    for (int i = 0; i < kChannels; ++i) {
        for (int j = 0; j < kInputs; ++j) img[MixCellOffset(i, j)] = static_cast<uint8_t>(g_inputMixVolume[i][j]);
        Put16(img, kLinkOffset + 2 * i, static_cast<uint32_t>(g_linkGroup[i]));
    }
    Put16(img, kVisibleOffset, static_cast<uint32_t>(visibleMask));
    img[kBridgeOffset] = static_cast<uint8_t>(BridgeBits());
}

void BuildEqUser2(const ISpectrum& spectrum) { BuildEqUser2(spectrum.GetVisibleChannels()); }

void DecodeEqUser(IModelView& view) { DecodeEqUser(view, g_eqUser); }

void DecodeEqUser(IModelView& view, uint8_t* img)
{
    IDelayFields& delays = view.DelayFields();
    for (int c = 0; c < kChannels; ++c) {
        const ChannelLayout l = LayoutOf(c);
        const int d = (img[l.high] & 0x0F) << 8 | img[l.delayLo];
        delays.SetValue(c, std::min(d, kMaxDelaySamples));
    }

    for (int c = 0; c < kChannels; ++c) {
        const ChannelLayout l = LayoutOf(c);
        uint8_t& h = img[l.high];
        uint8_t& p = img[l.gainLo];
        int g = (h >> 4) << 7 | (p & 0x7F);
        if (g > kChannelGainOff) {
            g = 0;
            p &= 0x80;
            h &= 0x0F;
        }
        ApplyChannelLevel(view, c, g, (p & 0x80) != 0);
    }

    if (img[kMasterOffset] > kMasterVolumeOff) img[kMasterOffset] = kMasterVolumeOff;
    ApplyMasterVolume(view, img[kMasterOffset]);

    for (int c = 0; c < kChannels; ++c) {
        const ChannelLayout l = LayoutOf(c);
        for (int b = 0; b < kBands; ++b) {
            g_eqFreq[c][b] = std::clamp(Get16(img, l.freq + 2 * b), 20, 20000);
            g_eqGain[c][b] = std::min(Get16(img, l.gain + 2 * b), 300);
            g_eqGainFlattened[c][b] = false;  // the device's gains replace the kept ones
            const double q = std::clamp(Get16(img, l.q + 2 * b) / 100.0, 0.1, 10.0);
            g_eqQ[c][b] = q;
            g_eqQStep[c][b] = QStepIndexFor(q);
        }
        g_hpType[c] = std::min<int>(img[l.hpType], 1);
        g_hpFreq[c] = std::clamp(Get16(img, l.hpFreq), 20, 20000);
        g_hpSlope[c] = std::min<int>(img[l.hpSlope], kSlopeOff);
        g_lpType[c] = std::min<int>(img[l.lpType], 1);
        g_lpFreq[c] = std::clamp(Get16(img, l.lpFreq), 20, 20000);
        g_lpSlope[c] = std::min<int>(img[l.lpSlope], kSlopeOff);
    }
    view.RefreshEqControls();
}

void DecodeEqUser2(IModelView& view) { DecodeEqUser2(view, g_eqUser2); }

void DecodeEqUser2(IModelView& view, const uint8_t* img)
{
    for (int i = 0; i < kChannels; ++i)
        ApplyRoutingMask(view, i, static_cast<uint32_t>(img[3 * i] << 16 | img[3 * i + 1] << 8 | img[3 * i + 2]));

    const bool mixOn = (img[kMixOffset] & 0x80) != 0;
    if ((mixOn && g_hiLevelMix == 0) || (!mixOn && g_hiLevelMix == 1)) g_hiLevelMix ^= 1;
    g_hiLevelMixVolume = img[kMixOffset] & 0x7F;

    bool linksChanged = false;
    for (int i = 0; i < kChannels; ++i) {
        for (int j = 0; j < kInputs; ++j) g_inputMixVolume[i][j] = img[MixCellOffset(i, j)];
        const int group = Get16(img, kLinkOffset + 2 * i);
        linksChanged = linksChanged || group != g_linkGroup[i];
        g_linkGroup[i] = group;
    }
    // The Link buttons show their group, the channel buttons the selection's.
    if (linksChanged) {
        view.InvalidateLinkButtons();
        view.InvalidateChannelButtons();
    }
}
