#include "dialogs/mixerlayout.h"

#include <array>

#include "controls/routing.h"
#include "model/device_models.h"
#include "model/device_state.h"
#include "platform/look.h"
#include "platform/messages.h"
#include "res/resource.h"

namespace {

// Columns 12..17 (Hi.7, Hi.8, AUX-3, AUX-4, Hi.9, Hi.10) of each channel.
// clang-format off
constexpr int kEditTail[kMixerChannels][6] = {
    {1333, 1334, 1406, 1405, 1433, 1434}, {1335, 1336, 1407, 1418, 1435, 1436},
    {1337, 1338, 1408, 1419, 1437, 1438}, {1339, 1340, 1409, 1420, 1439, 1440},
    {1341, 1342, 1410, 1421, 1441, 1442}, {1343, 1344, 1411, 1422, 1443, 1444},
    {1345, 1346, 1412, 1423, 1445, 1446}, {1347, 1348, 1413, 1424, 1447, 1448},
    {1361, 1362, 1414, 1425, 1465, 1466}, {1375, 1376, 1415, 1427, 1467, 1468},
    {1389, 1390, 1416, 1428, 1469, 1470}, {1403, 1404, 1417, 1429, 1471, 1472},
};
constexpr int kSliderTail[kMixerChannels][6] = {
    {1145, 1146, 1217, 1229, 1449, 1450}, {1147, 1148, 1218, 1230, 1451, 1452},
    {1149, 1150, 1219, 1231, 1453, 1454}, {1151, 1152, 1220, 1232, 1455, 1456},
    {1153, 1154, 1221, 1233, 1457, 1458}, {1155, 1156, 1222, 1234, 1459, 1460},
    {1157, 1158, 1223, 1235, 1461, 1462}, {1159, 1160, 1224, 1236, 1463, 1464},
    {1173, 1174, 1225, 1426, 1473, 1474}, {1187, 1188, 1226, 1430, 1475, 1476},
    {1201, 1202, 1227, 1431, 1477, 1478}, {1215, 1216, 1228, 1432, 1479, 1480},
};
// clang-format on

// Bits 0..11 run in steps of 12 per channel from 1237 for CH1..CH8; for
// CH9..CH12 they run down from 1360, 14 apart.
constexpr int EditId(int c, int b)
{
    if (b >= 12) return kEditTail[c][b - 12];
    return c < 8 ? 1237 + 12 * c + b : 1360 + 14 * (c - 8) - b;
}
// Bits 0..11 run up: from 1049 in steps of 12 (CH1..CH8), from 1161 in
// steps of 14 (CH9..CH12).
constexpr int SliderId(int c, int b)
{
    if (b >= 12) return kSliderTail[c][b - 12];
    return c < 8 ? 1049 + 12 * c + b : 1161 + 14 * (c - 8) + b;
}

template <int (*F)(int, int)>
constexpr std::array<std::array<int, kMixerInputs>, kMixerChannels> Grid()
{
    std::array<std::array<int, kMixerInputs>, kMixerChannels> grid{};
    for (int c = 0; c < kMixerChannels; ++c)
        for (int b = 0; b < kMixerInputs; ++b) grid[c][b] = F(c, b);
    return grid;
}
constexpr auto kEditGrid = Grid<EditId>();
constexpr auto kSliderGrid = Grid<SliderId>();

constexpr uint32_t Bits(std::initializer_list<int> bits)
{
    uint32_t mask = 0;
    for (int b : bits) mask |= 1u << b;
    return mask;
}
constexpr uint32_t kHi1To4 = Bits({0, 1, 2, 3});
constexpr uint32_t kHi1To6 = kHi1To4 | Bits({4, 5});
constexpr uint32_t kHi1To8 = kHi1To6 | Bits({12, 13});
constexpr uint32_t kHi1To10 = kHi1To8 | Bits({16, 17});
constexpr uint32_t kAux12 = Bits({6, 7});
constexpr uint32_t kAux34 = Bits({14, 15});
constexpr uint32_t kOpt = Bits({8, 9});
constexpr uint32_t kBt = Bits({10, 11});

// Per layout model: the inputs shown (AUX-3/AUX-4 follow the option where
// the device model table says so). The outputs are the table's.
struct ModelRow {
    uint32_t inputs;
    Origin origin;
};
// clang-format off
constexpr ModelRow kModels[9] = {
    {kHi1To6 | kAux12 | kAux34 | kOpt | kBt, Origin::Derived},   // 0: as model 4
    {kHi1To6 | kAux12 | kAux34 | kOpt | kBt, Origin::Given},     // 1
    {kHi1To8 | kAux12 | kAux34 | kOpt | kBt, Origin::Given},     // 2
    {kHi1To8 | kAux12 | kOpt | kBt, Origin::Given},              // 3
    {kHi1To6 | kAux12 | kAux34 | kOpt | kBt, Origin::Given},     // 4
    {kHi1To4 | kAux12 | kOpt | kBt, Origin::Given},              // 5
    {kHi1To8 | kAux12 | kAux34 | kOpt | kBt, Origin::Given},     // 6
    // 7: the inputs of model 3 (the main window's matrix).
    {kHi1To8 | kAux12 | kOpt | kBt, Origin::Derived},
    {kHi1To10 | kAux12 | kOpt | kBt, Origin::Given},             // 8
};
// clang-format on

// Window sizes by bucket. Models 3 and 4 take the picture's height at
// bucket 0; model 7 takes theirs (it has their rows and columns). Where a
// given width would cut the last channel's slider (models 2 and 8 at
// bucket 2 lose CH11 and CH12, models 5 and 6 at buckets 1, 3 and 4 the
// right end of CH8's track, where the thumb stands at -60dB), the width is
// derived: that slider's right edge and ScaleForDpi(10).
// clang-format off
constexpr MixerSize kSize34[kDpiBuckets] = {
    {1045, 0, Origin::Given}, {1250, 640, Origin::Given}, {1556, 760, Origin::Given},
    {1750, 920, Origin::Given}, {2080, 1000, Origin::Given}};
constexpr MixerSize kSize7[kDpiBuckets] = {
    {1045, 0, Origin::Derived}, {1250, 640, Origin::Derived}, {1556, 760, Origin::Derived},
    {1750, 920, Origin::Derived}, {2080, 1000, Origin::Derived}};
constexpr MixerSize kSize2[kDpiBuckets] = {
    {1245, 590, Origin::Given}, {1490, 710, Origin::Given}, {1852, 850, Origin::Derived},
    {2090, 1020, Origin::Given}, {2472, 1124, Origin::Given}};
constexpr MixerSize kSize8[kDpiBuckets] = {
    {1245, 650, Origin::Given}, {1490, 830, Origin::Given}, {1852, 960, Origin::Derived},
    {2090, 1220, Origin::Given}, {2472, 1328, Origin::Given}};
constexpr MixerSize kSize5[kDpiBuckets] = {
    {846, 390, Origin::Given}, {1015, 478, Origin::Derived}, {1268, 566, Origin::Given},
    {1435, 684, Origin::Derived}, {1712, 744, Origin::Derived}};
constexpr MixerSize kSize6[kDpiBuckets] = {
    {846, 590, Origin::Given}, {1015, 710, Origin::Derived}, {1268, 850, Origin::Given},
    {1435, 1020, Origin::Derived}, {1712, 1124, Origin::Derived}};
constexpr MixerSize kSize1[kDpiBuckets] = {
    {850, 530, Origin::Given}, {1010, 590, Origin::Given}, {1280, 704, Origin::Given},
    {1432, 820, Origin::Given}, {1710, 920, Origin::Given}};
constexpr MixerSize kSize1NoAux34[kDpiBuckets] = {
    {850, 458, Origin::Given}, {1010, 520, Origin::Given}, {1280, 620, Origin::Given},
    {1432, 720, Origin::Given}, {1720, 805, Origin::Given}};
// clang-format on

// clang-format off
constexpr MixerPlacement kPlacement[kDpiBuckets] = {
    {114, 42, 8, 70, 77, 68, 32, 110, 66, 96, 33, Origin::Given},
    {124, 54, 6, 86, 84, 86, 38, 122, 84, 115, 36, Origin::Given},
    {163, 63, 16, 104, 120, 103, 46, 167, 101, 144, 43, Origin::Given},
    {172, 78, 14, 120, 130, 120, 52, 184, 118, 162, 50, Origin::Given},
    {209, 87, 14, 136, 160, 136, 58, 220, 134, 194, 56, Origin::Given},
};
// clang-format on
constexpr int kCloseBand[kDpiBuckets] = {36, 40, 49, 56, 72};
constexpr int kThumbOffset[kDpiBuckets] = {1, 0, 0, 0, 0};

int ClampBucket(int bucket) { return bucket < 0 ? 0 : bucket >= kDpiBuckets ? kDpiBuckets - 1 : bucket; }

int RowIndexOf(int bit)
{
    for (int k = 0; k < kMixerInputs; ++k)
        if (g_mixerRowOrder[k] == bit) return k;
    return -1;
}

bool ValidCell(int channel, int bit)
{
    return channel >= 0 && channel < kMixerChannels && bit >= 0 && bit < kMixerInputs;
}

}  // namespace

const int g_inputVolTemplateId[9] = {IDD_CH_INPUT_VOL,   IDD_CH_INPUT_VOL,   IDD_CH_INPUT_VOL,
                                     IDD_CH_INPUT_VOL,   IDD_CH_INPUT_VOL,   IDD_CH_INPUT_VOL_5,
                                     IDD_CH_INPUT_VOL_6, IDD_CH_INPUT_VOL_6, IDD_CH_INPUT_VOL_6};

// clang-format off
const int g_mixerEditId[kMixerChannels][kMixerInputs] = {
#define ROW(c) {kEditGrid[c][0], kEditGrid[c][1], kEditGrid[c][2], kEditGrid[c][3], kEditGrid[c][4], \
                kEditGrid[c][5], kEditGrid[c][6], kEditGrid[c][7], kEditGrid[c][8], kEditGrid[c][9], \
                kEditGrid[c][10], kEditGrid[c][11], kEditGrid[c][12], kEditGrid[c][13], kEditGrid[c][14], \
                kEditGrid[c][15], kEditGrid[c][16], kEditGrid[c][17]}
    ROW(0), ROW(1), ROW(2), ROW(3), ROW(4), ROW(5), ROW(6), ROW(7), ROW(8), ROW(9), ROW(10), ROW(11)
#undef ROW
};
// clang-format on

// clang-format off
const int g_mixerSliderId[kMixerChannels][kMixerInputs] = {
#define ROW(c) {kSliderGrid[c][0], kSliderGrid[c][1], kSliderGrid[c][2], kSliderGrid[c][3], kSliderGrid[c][4], \
                kSliderGrid[c][5], kSliderGrid[c][6], kSliderGrid[c][7], kSliderGrid[c][8], kSliderGrid[c][9], \
                kSliderGrid[c][10], kSliderGrid[c][11], kSliderGrid[c][12], kSliderGrid[c][13], \
                kSliderGrid[c][14], kSliderGrid[c][15], kSliderGrid[c][16], kSliderGrid[c][17]}
    ROW(0), ROW(1), ROW(2), ROW(3), ROW(4), ROW(5), ROW(6), ROW(7), ROW(8), ROW(9), ROW(10), ROW(11)
#undef ROW
};
// clang-format on

const int g_mixerChannelLabelId[kMixerChannels] = {1523, 1524, 1525, 1526, 1527, 1528,
                                                   1529, 1530, 1531, 1532, 1533, 1534};
const int g_mixerSourceLabelId[kMixerInputs] = {1511, 1512, 1513, 1514, 1515, 1516, 1517, 1518, 1519,
                                                1520, 1521, 1522, 1535, 1536, 1537, 1538, 1539, 1540};
const int g_mixerRowOrder[kMixerInputs] = {0, 1, 2, 3, 4, 5, 12, 13, 16, 17, 6, 7, 14, 15, 8, 9, 10, 11};

int MixerLayoutModel(int model) { return DeviceModelFactsOf(model) ? model : 4; }

int MixerOutputs(int model) { return DeviceModelFactsOf(MixerLayoutModel(model))->outputs.value; }

uint32_t MixerShownInputs(int model, int noAux34)
{
    const int layout = MixerLayoutModel(model);
    const uint32_t inputs = kModels[layout].inputs;
    return DeviceModelFactsOf(layout)->mixerAux34ByOption.value && noAux34 ? inputs & ~kAux34 : inputs;
}

int MixerRowOf(int model, int noAux34, int bit)
{
    const uint32_t shown = MixerShownInputs(model, noAux34);
    if (bit < 0 || bit >= kMixerInputs || !(shown & (1u << bit))) return -1;
    int row = 0;
    for (int k = 0; k < kMixerInputs && g_mixerRowOrder[k] != bit; ++k)
        if (shown & (1u << g_mixerRowOrder[k])) ++row;
    return row;
}

bool MixerCellShown(int model, int noAux34, int channel, int bit)
{
    return ValidCell(channel, bit) && channel < MixerOutputs(model) && MixerRowOf(model, noAux34, bit) >= 0;
}

int MixerInputGroup(int bit)
{
    const uint32_t m = bit >= 0 && bit < kMixerInputs ? 1u << bit : 0;
    if (m & kHi1To10) return 1;
    if (m & (kAux12 | kAux34)) return 2;
    if (m & kOpt) return 5;
    if (m & kBt) return 3;
    return 0;
}

int MixerSelectedGroup(int source)
{
    switch (source) {
    case kSourceHighLevel: return 1;
    case kSourceLowLevel: return 2;
    case kSourceOptical: return 5;
    case kSourceBluetooth:
    case kSourceUsb: return 3;
    default: return 0;
    }
}

int MixerLabelGroup(int controlId)
{
    for (int b = 0; b < kMixerInputs; ++b)
        if (g_mixerSourceLabelId[b] == controlId) return MixerInputGroup(b);
    return 10;
}

bool MixerCellLit(int source, int bit)
{
    const int group = MixerSelectedGroup(source);
    return group != 0 && MixerInputGroup(bit) == group;
}

// Model 1 enables by source its fields and sliders of CH1..CH8, models 2, 4
// and 8 their sliders of every channel; the others leave the cells alone. A
// shown cell is enabled exactly when it is lit; a hidden one is disabled.
std::optional<bool> MixerCellEnabled(int model, int noAux34, int source, MixerControl control, int channel, int bit)
{
    if (!ValidCell(channel, bit)) return std::nullopt;
    switch (model) {
    case 1:
        if (channel >= 8) return std::nullopt;
        break;
    case 2:
    case 4:
    case 8:
        if (control == MixerControl::Edit) return std::nullopt;
        break;
    default: return std::nullopt;
    }
    return MixerCellShown(model, noAux34, channel, bit) && MixerCellLit(source, bit);
}

int MixerBackground(int model, int noAux34)
{
    switch (MixerLayoutModel(model)) {
    case 3:
    case 4:
    case 7: return IDB_MIXER_BACKGROUND_M34;
    case 5: return IDB_MIXER_BACKGROUND_M5;
    case 1: return noAux34 ? IDB_MIXER_BACKGROUND_NO_AUX34 : IDB_MIXER_BACKGROUND;
    default: return IDB_MIXER_BACKGROUND;
    }
}

MixerSize MixerWindowSize(int model, int noAux34, int bucket)
{
    const int b = ClampBucket(bucket);
    switch (MixerLayoutModel(model)) {
    case 1: return noAux34 ? kSize1NoAux34[b] : kSize1[b];
    case 2: return kSize2[b];
    case 5: return kSize5[b];
    case 6: return kSize6[b];
    case 7: return kSize7[b];
    case 8: return kSize8[b];
    default: return kSize34[b];
    }
}

const MixerPlacement& MixerPlacementAt(int bucket) { return kPlacement[ClampBucket(bucket)]; }
int MixerCloseBand(int bucket) { return kCloseBand[ClampBucket(bucket)]; }
int MixerThumbOffset(int bucket) { return kThumbOffset[ClampBucket(bucket)]; }

int MixerLabelString(int model, int source, int bit) { return InputCaptionString(model, source, bit); }

int MixerFirstNavRow(int source)
{
    switch (source) {
    case kSourceHighLevel: return 0;
    case kSourceLowLevel: return 10;
    case kSourceBluetooth:
    case kSourceUsb: return 16;
    case kSourceOptical: return 14;
    default: return -1;
    }
}

int MixerLastNavRow(int model, int noAux34, int source)
{
    switch (source) {
    case kSourceHighLevel: return model == 1 ? 5 : model == 8 ? 9 : 7;
    case kSourceLowLevel: return noAux34 ? 11 : 13;
    case kSourceBluetooth:
    case kSourceUsb: return 17;
    case kSourceOptical: return 15;
    default: return -1;
    }
}

int MixerLastNavChannel(int model) { return MixerOutputs(model) - 1; }

std::optional<MixerCell> MixerNavigate(int model, int noAux34, int source, int channel, int bit, unsigned key)
{
    const int first = MixerFirstNavRow(source);
    const int last = MixerLastNavRow(model, noAux34, source);
    const int lastChannel = MixerLastNavChannel(model);
    const int row = RowIndexOf(bit);
    auto navigable = [&](int k) { return MixerRowOf(model, noAux34, g_mixerRowOrder[k]) >= 0; };
    if (first < 0 || row < first || row > last || channel < 0 || channel > lastChannel || !navigable(row))
        return std::nullopt;
    const int rows = last - first + 1;
    switch (key) {
    case VK_RIGHT: return MixerCell{channel == lastChannel ? 0 : channel + 1, bit};
    case VK_LEFT: return MixerCell{channel == 0 ? lastChannel : channel - 1, bit};
    case VK_NEXT:
    case VK_PRIOR: {
        const int step = key == VK_NEXT ? 1 : rows - 1;
        int k = row;
        do {
            k = first + (k - first + step) % rows;
        } while (!navigable(k));
        return MixerCell{channel, g_mixerRowOrder[k]};
    }
    default: return std::nullopt;
    }
}
