// Puts every global of model/ and link/ back to its value at the program's
// start, so that a test sees what it would see as the first of its process.
// Fixtures set what they rely on after the call. A global added to model/ or
// link/ gets its line here (tests/link/globals_test.cpp checks that it has).
// No test framework here: the benchmarks and fuzz targets use it too.
#pragma once

#include "link/commands.h"
#include "link/dispatcher.h"
#include "link/firmware.h"
#include "link/frame_ring.h"
#include "link/link_events.h"
#include "link/sync_timers.h"
#include "tests/support/model_globals.h"

inline void ResetGlobals()
{
    ResetModelGlobals();

    // link/commands.h
    g_hidTxRing.Reset();
    g_hidRxRing.Reset();
    g_tcpTxRing.Reset();
    g_tcpRxRing.Reset();

    // link/firmware.h
    ClearFirmwareImage();
    g_fwChecksum = 0;
    g_fwLastChunkSent = 0;
    g_tcpFwBlock.Clear();
    g_allowAnyFirmware = 0;

    // link/sync_timers.h
    g_lastSaveSlot = 0;
    g_lastPresetSlot = 0;
    g_lastInputSource = kSourceHighLevel;
    g_lastUsbConnected = 0;

    // The dispatcher's page sets and the link-change flag.
    RestartImageReads();
    ResetDeviceLedger(LinkKind::kHid);
    ResetDeviceLedger(LinkKind::kTcp);
    LinkChangeTaken();
}
