// Runs the popups modally under a small stand-in for the main window that
// records what they send it, with scripts that run inside the modal loop.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "dialogs/dialog_messages.h"
#include "dialogs/dialoglogo.h"
#include "dialogs/popuplook.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "platform/testing/testing.h"
#include "tests/support/globals.h"

namespace dialogs_testing {

constexpr UINT WM_RUN_SCRIPT = WM_USER + 77;
constexpr UINT_PTR kWatchdogTimer = 77;
constexpr int kTimedOut = -77;

// The main window as the popups see it: records WM_SCENE_COMMAND,
// WM_SETUP_COMMAND, WM_MIX_VOLUME_CHANGED, WM_DELAY_CALCULATED,
// WM_FILTER_SETUP_CHANGED and WM_CLOSE, runs posted scripts
// and ends a dialog that hangs.
class FakeMainWnd : public CWnd {
public:
    struct Received {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    std::vector<Received> received;
    std::function<void(const Received&)> onMessage;
    std::function<void()> script;
    CDialog* modal = nullptr;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_SCENE_COMMAND:
        case WM_SETUP_COMMAND:
        case WM_MIX_VOLUME_CHANGED:
        case WM_DELAY_CALCULATED:
        case WM_FILTER_SETUP_CHANGED:
        case WM_CLOSE:
            received.push_back({message, wParam, lParam});
            if (onMessage) onMessage(received.back());
            return 0;
        case WM_RUN_SCRIPT:
            if (script) std::exchange(script, nullptr)();
            return 0;
        case WM_TIMER:
            if (wParam == kWatchdogTimer && modal) modal->EndDialog(kTimedOut);
            return 0;
        default: return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EnsureUiApplication());
        ASSERT_TRUE(main.Create(L"FakeMain", L"main", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
        app.m_pMainWnd = &main;
        ResetGlobals();
        g_deviceModel = 4;
        g_languageId = LANG_ENGLISH_US;
        g_screenDpi = 96;
        g_relayoutPending = 0;
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        main.DestroyWindow();
        ResetGlobals();
        g_languageId = savedLanguage;
        g_screenDpi = 96;
        g_relayoutPending = 0;
        platform_testing::PumpEvents();
    }

    // Runs dlg modally; script runs once its modal loop is up. A dialog
    // still open after timeoutMs ends with kTimedOut.
    INT_PTR RunModal(CDialog& dlg, std::function<void()> script = {}, UINT timeoutMs = 10000)
    {
        main.modal = &dlg;
        main.script = std::move(script);
        main.PostMessage(WM_RUN_SCRIPT);
        main.SetTimer(kWatchdogTimer, timeoutMs);
        const INT_PTR result = dlg.DoModal();
        main.KillTimer(kWatchdogTimer);
        main.modal = nullptr;
        return result;
    }

    // Messages of that code the main window received.
    int Count(UINT message) const
    {
        return static_cast<int>(std::count_if(main.received.begin(), main.received.end(),
                                              [&](const FakeMainWnd::Received& r) { return r.message == message; }));
    }

    CWinApp app;
    FakeMainWnd main;
    uint16_t savedLanguage = g_languageId;
};

// Center of a control, in its own client coordinates.
inline CPoint CenterOf(CWnd* item)
{
    CRect r;
    item->GetClientRect(&r);
    return r.CenterPoint();
}

inline void Click(CWnd* item)
{
    const CPoint c = CenterOf(item);
    platform_testing::ClickAt(item->m_hWnd, c.x, c.y);
}

// The pixel (x, y) of bitmap id stretched over a control of that window's
// size, as the popups draw their buttons.
inline COLORREF StretchedPixel(int bitmapId, HWND control, int x, int y)
{
    CRect r;
    if (CWnd* wnd = CWnd::FromHandle(control)) wnd->GetClientRect(&r);
    CBitmap picture;
    if (!picture.LoadBitmap(static_cast<UINT>(bitmapId))) return 0xFFFFFFFF;
    const CSize size = picture.GetSize();
    CDC source;
    source.CreateCompatibleDC(nullptr);
    source.SelectObject(&picture);
    CBitmap target;
    target.CreateCompatibleBitmap(nullptr, r.Width(), r.Height());
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&target);
    dc.StretchBlt(0, 0, r.Width(), r.Height(), &source, 0, 0, size.cx, size.cy, SRCCOPY);
    return dc.GetPixel(x, y);
}

// 0x00BBGGRR of a placeholder colour #rrggbb.
constexpr uint32_t Rgb(uint32_t rrggbb)
{
    return ((rrggbb >> 16) & 0xFF) | (rrggbb & 0xFF00) | ((rrggbb & 0xFF) << 16);
}

}  // namespace dialogs_testing
