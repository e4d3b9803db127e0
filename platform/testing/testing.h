// Hooks for the tests of programs built on this layer, and for the
// program's scripted start (app/main/scripted.cpp): the library
// tarvel_platform_testing, apart from the layer itself.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/menu.h"
#include "platform/types.h"

namespace platform_testing {

// Behaves as if the window timer id of hwnd had elapsed now: its handler
// runs before this returns. False when there is no such timer.
bool SimulateTimerExpiry(HWND hwnd, UINT_PTR id);
// Posted messages and functions that wait in the UI queue.
size_t QueuedPostedCount();
// Runs the UI thread's events until pred holds or timeoutMs passed;
// returns pred's last value.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
// Runs the UI thread's pending events once.
void PumpEvents();

// Input as the user gives it, delivered to the window's widget as the
// windowing system would (press and release).
void PressKey(HWND hwnd, UINT virtualKey, wchar_t ch = 0, bool alt = false, bool shift = false, bool control = false);
// A key held down for repeats auto-repeats, as X11 delivers it: the press,
// then a release and a press flagged auto-repeat for each repeat, then the
// release.
void HoldKey(HWND hwnd, UINT virtualKey, int repeats);
// A left click; the press first gives the focus to the control that takes
// it by a click, as the windowing system does.
void ClickAt(HWND hwnd, int x, int y);
// A double click: press, release, the second press as a double click, release.
void DoubleClickAt(HWND hwnd, int x, int y);
void WheelAt(HWND hwnd, int x, int y, int delta);
// Makes the window's top-level window the active one, so that focus
// changes reach it at once.
void Activate(HWND hwnd);

// Pictures of a window as it shows now, children included, rendered
// offscreen (grab.cpp). GrabWindowToPng saves one as PNG (false
// for no such window or an unwritable path); GrabWindowPixel reads one
// pixel of it as 0x00BBGGRR (0xFFFFFFFF outside the window).
bool GrabWindowToPng(HWND hwnd, const std::string& path);
uint32_t GrabWindowPixel(HWND hwnd, int x, int y);
// One pixel of the window as the screen shows it now (its top-level
// window's last painted picture), without painting anything anew: a part
// not repainted since a change still shows what was there. 0xFFFFFFFF
// outside the window or before it was shown.
uint32_t ShownWindowPixel(HWND hwnd, int x, int y);

}  // namespace platform_testing

namespace platform_testing {

// Left-button mouse input in steps, as the windowing system delivers it:
// press (giving the focus as a click does), moves (with the button held or
// not) and release, at (x, y) in the client coordinates of hwnd. While a
// window holds the mouse capture the events go to that window, in its own
// client coordinates.
void MousePressAt(HWND hwnd, int x, int y);
void MouseMoveTo(HWND hwnd, int x, int y, bool leftDown = true);
void MouseReleaseAt(HWND hwnd, int x, int y);
// The pointer enters or leaves the window, as the windowing system reports
// it (the window is then under the mouse or not).
void MouseEnter(HWND hwnd);
void MouseLeave(HWND hwnd);
// The mouse moves over item index of a combo box's drop-down list; false
// for no such item.
bool MoveOverListItem(HWND combo, int index);

}  // namespace platform_testing

namespace platform_testing {
// The innermost dialog whose modal loop runs (its OnInitDialog included);
// nullptr when none.
HWND TopModalDialog();
// Ends the message box, file dialog or menu in front, the one whose own
// modal loop runs innermost (no dialog of this layer opened inside it): a
// box answers Cancel, or No without a Cancel button, or its first button
// without either (OK); a file dialog is cancelled, a menu closed without a
// choice. True when there was one (also when it is ending already).
bool EndFrontPopup();
// Headless ("offscreen"), message boxes and file dialogs without a
// responder are answered at once with their default; with this set they run
// modally as on a screen until answered or ended.
void SetRealPopupsWhenHeadless(bool on);
// What the program tells the window manager of a top-level window: a
// dialog or a normal window, modal or not, and the window it is kept in
// front of (its transient parent: nullptr for none, or one that is not a
// window of this layer).
struct WindowManagerHints {
    bool dialog = false;
    bool modal = false;
    HWND transientFor = nullptr;
};
WindowManagerHints WindowManagerHintsOf(HWND hwnd);
// Answers every system menu instead of the user: gets the entries and
// returns the chosen command id (0: none). An empty function restores the
// real menu.
void SetSystemMenuResponder(std::function<UINT_PTR(const std::vector<CMenu::Item>&)> responder);
}  // namespace platform_testing
