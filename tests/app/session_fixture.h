// The main window's fixture with its link on, against the emulated amplifier
// over the in-process HID backend.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "tests/app/main_window_fixture.h"
#include "tests/app/sim_link.h"

class SimSessionTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        m_setup.startLink = true;
        LinkToSimOverHid(m_setup, backend, device);
    }

    // Waits (about 3 s at most) until the device's state satisfies pred.
    bool DeviceHas(const std::function<bool(const SimState&)>& pred)
    {
        for (int i = 0; i < 300; ++i) {
            if (pred(device.State())) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    // Waits for the import: the picker ends by itself once the device
    // identified, the import with the synchronisation running. When it does
    // not come, closes the window.
    bool Imported(CTarvelDlg& dlg)
    {
        const bool imported = WaitOnUi(
            [&] { return platform_testing::TopModalDialog() == dlg.m_hWnd && dlg.Timers().ParamSyncRunning(); });
        EXPECT_TRUE(imported);
        if (!imported) OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        return imported;
    }

    SimDevice device;
    InProcessHidBackend backend;
};
