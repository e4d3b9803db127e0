// The private messages the popups send to the main dialog. Values follow
// WM_USER.
#pragma once

#include "platform/messages.h"

// The crossover-setup dialog changed a filter.
constexpr UINT WM_FILTER_SETUP_CHANGED = 0x046B;
// The scene menu: wParam the command (dialogs/dialogfile.h).
constexpr UINT WM_SCENE_COMMAND = 0x046C;
// The settings dialog: wParam 0 firmware upgrade, 1 factory reset, 2 About
// box, 3 no-signal mute toggle.
constexpr UINT WM_SETUP_COMMAND = 0x046D;
// The delay calculator, once per channel: wParam the channel, lParam the
// distance << 16 | the delay, both in 48 kHz samples.
constexpr UINT WM_DELAY_CALCULATED = 0x046E;
// The settings dialog's mix volume changed: wParam the volume 0..60.
constexpr UINT WM_MIX_VOLUME_CHANGED = 0x0470;
