#include "app/model_layout.h"

#include "app/control_ids.h"
#include "model/device_models.h"

int g_lastDeviceModel = 255;

int LastOutputOf(int model)
{
    const DeviceModelFacts* facts = DeviceModelFactsOf(model);
    return facts ? facts->outputs.value - 1 : -1;
}

bool ModelShowsInput(int model, bool noAux34, int bit)
{
    // Bits: 0..5 Hi.1..Hi.6, 6..7 AUX-1/2, 8..9 Opt, 10..11 BT, 12..13
    // Hi.7/8, 14..15 AUX-3/4, 16..17 Hi.9/10.
    if (bit < 0 || bit >= kInputs) return false;
    const DeviceModelFacts* facts = DeviceModelFactsOf(model);
    if ((bit == 14 || bit == 15) && noAux34 && facts && facts->matrixAux34ByOption.value) return false;
    switch (model) {
    case 1:
    case 3:
    case 4:
    case 7: return bit < 12 || bit == 14 || bit == 15;
    case 5: return bit < 12 && bit != 4 && bit != 5;
    case 2:
    case 6: return bit < 16;
    case 8: return bit != 14 && bit != 15;
    default: return true;
    }
}

std::vector<LayoutState> ModelLayout(int model, bool noAux34)
{
    std::vector<LayoutState> out;
    for (int id : g_bridgeButtonId) out.push_back({id, false, false});
    const int last = LastOutputOf(model);
    if (last < 0) return out;

    for (int c = 0; c < kChannels; ++c) {
        const bool present = c <= last;
        for (const int* table : {g_linkButtonId, g_channelButtonId, g_phaseButtonId, g_muteButtonId, g_curveButtonId,
                                 g_chGainSliderId, g_delayEditId, g_gainEditId, g_delayUnitButtonId})
            out.push_back({table[c], present, present});
        for (int k = 0; k < 3; ++k) out.push_back({g_gainScaleLabelId[c][k], present, present});
        for (int bit = 0; bit < kInputs; ++bit) {
            const bool shown = present && ModelShowsInput(model, noAux34, bit);
            out.push_back({g_routeButtonId[c][bit], shown, shown});
        }
    }
    for (int bit = 0; bit < kInputs; ++bit) {
        const bool shown = ModelShowsInput(model, noAux34, bit);
        out.push_back({g_routeLabelId[0][bit], shown, shown});
        for (int row = 1; row < kChannels; ++row) out.push_back({g_routeLabelId[row][bit], false, false});
    }
    // One "Delay" caption serves every strip.
    for (int c = 0; c < kChannels; ++c) out.push_back({g_delayLabelId[c], c == 0, c == 0});
    return out;
}
