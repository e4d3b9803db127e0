#include "controls/routing.h"

#include "model/device_state.h"
#include "model/params.h"
#include "res/resource.h"

namespace {
bool IsCell(int output, int inputBit)
{
    return output >= 0 && output < kChannels && inputBit >= 0 && inputBit < kInputs;
}
}  // namespace

void RoutingMatrix::InvalidateRouteButton(int output, int inputBit)
{
    if (IsCell(output, inputBit)) m_view.InvalidateRouteButton(output, inputBit);
}

bool RoutingMatrix::IsRouted(int output, int inputBit)
{
    return IsCell(output, inputBit) && ((g_routingMask[output] >> inputBit) & 1u) != 0;
}

int RoutingMatrix::SourceGroupOf(int inputBit, int deviceModel)
{
    const bool model7 = deviceModel == 7;
    switch (inputBit) {
    case 0:
    case 1:
    case 16:
    case 17: return 1;
    case 2:
    case 3:
    case 4:
    case 5:
    case 12:
    case 13: return model7 ? 10 : 1;
    case 6:
    case 7: return 2;
    case 14:
    case 15: return model7 ? 10 : 2;
    case 8:
    case 9: return 5;
    case 10:
    case 11: return 3;
    default: return 0;
    }
}

void RoutingMatrix::Toggle(int output, int inputBit)
{
    if (!IsCell(output, inputBit)) return;
    const uint32_t bit = 1u << inputBit;
    const bool on = (g_routingMask[output] & bit) == 0;
    const int partner = output ^ 1;
    const bool bridged = BridgeFlagOf(output) == 1;
    for (int c : {output, partner}) {
        if (c == partner && !bridged) continue;
        g_routingMask[c] = on ? (g_routingMask[c] | bit) : (g_routingMask[c] & ~bit);
    }
    if (bridged) m_view.InvalidateRouteButton(partner, inputBit);
    m_view.InvalidateRouteButton(output, inputBit);
}

// clang-format off
const int g_mixerSourceLabelString[kInputs] = {
    IDS_INPUT_HI1,  IDS_INPUT_HI2,  IDS_INPUT_HI3,   IDS_INPUT_HI4,   IDS_INPUT_HI5,  IDS_INPUT_HI6,
    IDS_INPUT_AUX1, IDS_INPUT_AUX2, IDS_INPUT_OPT_L, IDS_INPUT_OPT_R, IDS_INPUT_BT_L, IDS_INPUT_BT_R,
    IDS_INPUT_HI7,  IDS_INPUT_HI8,  IDS_INPUT_AUX3,  IDS_INPUT_AUX4,  IDS_INPUT_HI9,  IDS_INPUT_HI10,
};
// clang-format on

int InputCaptionString(int model, int source, int bit)
{
    if (bit < 0 || bit >= kInputs) return 0;
    if (model == 7) {
        switch (bit) {
        case 0: return IDS_INPUT_RADIO_L;
        case 1: return IDS_INPUT_RADIO_R;
        case 6: return IDS_INPUT_AUX_L;
        case 7: return IDS_INPUT_AUX_R;
        case 10: return IDS_INPUT_USB_L;
        case 11: return IDS_INPUT_USB_R;
        default: break;
        }
    }
    if (source == kSourceUsb && (bit == 10 || bit == 11)) return bit == 10 ? IDS_INPUT_USB_L : IDS_INPUT_USB_R;
    return g_mixerSourceLabelString[bit];
}
