// What the synchronisation timers' unit tests and their sessions against the
// emulated amplifier share: the model they start from and where a channel's
// band gains sit in EqUser.
#pragma once

#include <cstdint>
#include <vector>

#include "model/resets.h"
#include "tests/link/session_host.h"
#include "tests/support/globals.h"

using Bytes = std::vector<uint8_t>;

// The globals' start values, then a full reset's defaults for device model 4.
inline void StartFromDefaults()
{
    ResetGlobals();
    g_deviceModel = 4;
    session::View scratch;
    ResetAll(scratch);
}

// Offsets of a channel's fields in EqUser.
inline unsigned BandGainOffset(int channel, int band)
{
    return channel < 6 ? 19 + 194 * channel + 62 + 2 * band : 1183 + 198 * (channel - 6) + 66 + 2 * band;
}
