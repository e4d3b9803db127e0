#include "controls/routing.h"

#include "model/params.h"

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
