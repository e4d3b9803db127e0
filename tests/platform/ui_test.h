// Shared set-up of the window-layer tests: the UI application exists, and
// leftovers of a test are run off.
#pragma once

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "platform/testing/testing.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(EnsureUiApplication()); }
    void TearDown() override { platform_testing::PumpEvents(); }
};

// A dialog template built in code: "MS Shell Dlg" 8 pt, 200 x 100 units.
inline DialogTemplate MakeTemplate(int id, std::vector<DialogControl> controls)
{
    DialogTemplate t;
    t.id = id;
    t.style = WS_POPUP | WS_SYSMENU | DS_SETFONT;
    t.cx = 200;
    t.cy = 100;
    t.caption = L"Test";
    t.fontFace = L"MS Shell Dlg";
    t.fontPointSize = 8;
    t.controls = std::move(controls);
    return t;
}

inline DialogControl Control(int id, const char* kind, uint32_t style, int x, int y, int cx, int cy,
                             const wchar_t* text = L"")
{
    DialogControl c;
    c.id = id;
    c.kind = kind;
    c.style = style | WS_CHILD | WS_VISIBLE;
    c.x = x;
    c.y = y;
    c.cx = cx;
    c.cy = cy;
    c.text = text;
    return c;
}
