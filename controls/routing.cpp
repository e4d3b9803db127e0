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
