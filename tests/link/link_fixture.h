// Link tests start from the globals' start values with a recording port.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/commands.h"
#include "link/dialog_port.h"
#include "link/firmware.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "tests/link/recording_port.h"
#include "tests/support/globals.h"

class LinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        SetDialogPort(&port);
    }
    void TearDown() override
    {
        SetDialogPort(nullptr);
        ResetGlobals();
    }

    // Every frame waiting in a send ring, taken out.
    static std::vector<HidRing::Slot> DrainHid()
    {
        std::vector<HidRing::Slot> out;
        HidRing::Slot s;
        while (g_hidTxRing.Pop(s)) out.push_back(s);
        return out;
    }
    static std::vector<std::vector<uint8_t>> DrainTcp()
    {
        std::vector<std::vector<uint8_t>> out;
        TcpTxRing::Slot s;
        while (g_tcpTxRing.Pop(s)) out.emplace_back(s.bytes.begin(), s.bytes.begin() + s.len);
        return out;
    }

    RecordingPort port;
};
