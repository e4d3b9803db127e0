// What the units of the standard controls (controls*.cpp) share: the Qt
// widget behind a control and the notification of its parent.
#pragma once

#include <QString>

#include <string>

#include "platform/wnd_qt.h"

inline QString ToQ(const std::wstring& s) { return QString::fromStdWString(s); }
inline std::wstring FromQ(const QString& s) { return s.toStdWString(); }

// The control's widget as its Qt class, nullptr without a window or for
// another class.
template <class W>
W* WidgetOf(const CWnd* wnd)
{
    WndCore* c = WndAccess::Core(wnd);
    return c ? qobject_cast<W*>(c->widget) : nullptr;
}

// Sends code to the parent of the window, if it is still alive.
inline void NotifyParentOf(HWND hwnd, UINT code)
{
    if (WndCore* core = WndCore::FromHwnd(hwnd)) core->NotifyParent(code);
}

// Each kind's Qt signals to the notifications of its parent (called by
// ConnectControlSignals).
void ConnectEditSignals(WndCore* c);
void ConnectButtonSignals(WndCore* c);
void ConnectComboSignals(WndCore* c);
void ConnectSliderSignals(WndCore* c);
