// The private messages the entry fields send to their owner (the main
// dialog, a popup, or the field that is to take the focus). Values follow
// WM_USER.
#pragma once

#include "platform/messages.h"

// Focus moves: wParam 0 to the target field, or VK_LEFT / VK_RIGHT (and
// VK_PRIOR / VK_NEXT in the mixer) to the owner.
constexpr UINT WM_EDIT_NAVIGATE = 0x0464;
// A gain field's value was stepped: wParam the channel, lParam the input
// source bit (0 for a channel gain field).
constexpr UINT WM_EDIT_STEP = 0x0468;
// A gain field's text is to be committed: wParam the channel, lParam the
// input source bit.
constexpr UINT WM_EDIT_COMMIT = 0x0469;
// A delay field of the main window was stepped or committed.
constexpr UINT WM_DELAY_CHANGED = 0x0471;
