// Hooks for the tests of programs built on this layer.
#pragma once

#include <cstddef>
#include <functional>

#include "platform/types.h"

namespace platform_testing {

// Behaves as if the window timer id of hwnd had elapsed now (its tick is
// queued unless one already waits). False when there is no such timer.
bool SimulateTimerExpiry(HWND hwnd, UINT_PTR id);
// Posted messages, ticks and functions that wait in the UI queue.
size_t QueuedPostedCount();
// Messages sent from other threads that wait for the UI thread.
size_t QueuedSentCount();
// Runs the UI thread's events until pred holds or timeoutMs passed;
// returns pred's last value.
bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 5000);
// Runs the UI thread's pending events once.
void PumpEvents();

// Input as the user gives it, delivered to the window's widget as the
// windowing system would (press and release).
void PressKey(HWND hwnd, UINT virtualKey, wchar_t ch = 0);
void ClickAt(HWND hwnd, int x, int y);
void WheelAt(HWND hwnd, int x, int y, int delta);
// Makes the window's top-level window the active one, so that focus
// changes reach it at once.
void Activate(HWND hwnd);

}  // namespace platform_testing
