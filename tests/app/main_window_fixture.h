// The main window run in-process with its link off, and a script thread
// that plays the user on it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "app/main_link.h"
#include "app/tarveldlg.h"
#include "dialogs/dialoglogo.h"
#include "model/device_state.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "tests/app/ui_thread.h"
#include "tests/support/globals.h"

// The pixel (x, y) of a picture stretched over a control of that size, as
// the window draws its owner-drawn buttons.
inline COLORREF PicturePixel(int bitmapId, CSize size, int x, int y)
{
    CBitmap picture;
    if (!picture.LoadBitmap(static_cast<UINT>(bitmapId))) return 0xFFFFFFFF;
    CDC source;
    source.CreateCompatibleDC(nullptr);
    source.SelectObject(&picture);
    CBitmap target;
    target.CreateCompatibleBitmap(nullptr, size.cx, size.cy);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&target);
    dc.SetStretchBltMode(COLORONCOLOR);
    const CSize s = picture.GetSize();
    dc.StretchBlt(0, 0, size.cx, size.cy, &source, 0, 0, s.cx, s.cy, SRCCOPY);
    return dc.GetPixel(x, y);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureUiApplication());
        m_setup.startLink = false;
        SetLinkSetupForTests(&m_setup);
        g_languageId = 0x0409;
        ResetGlobals();
    }
    void TearDown() override
    {
        SetLinkSetupForTests(nullptr);
        platform_testing::SetSystemMenuResponder({});
        platform_testing::PumpEvents();
        ResetGlobals();
    }

    // Runs the main dialog; script runs on its own thread once the picker
    // is done (confirmed here, or ended by a device that identified itself)
    // and must end by closing the window.
    INT_PTR Run(CTarvelDlg& dlg, const std::function<void()>& script, bool pickerEndsByItself = false)
    {
        std::thread t([&] {
            if (!pickerEndsByItself) {
                // The picker comes first: confirm the model shown.
                const bool picker = WaitOnUi([] {
                    HWND top = platform_testing::TopModalDialog();
                    return top && dynamic_cast<CDialogLogo*>(CWnd::FromHandle(top)) != nullptr;
                });
                EXPECT_TRUE(picker);
                OnUi([] { ::PostMessage(platform_testing::TopModalDialog(), WM_COMMAND, IDOK, 0); });
            }
            EXPECT_TRUE(
                WaitOnUi([&] { return platform_testing::TopModalDialog() == dlg.m_hWnd && dlg.IsWindowVisible(); }));
            script();
        });
        const INT_PTR r = dlg.DoModal();
        t.join();
        return r;
    }

    LinkSetup m_setup;
};
