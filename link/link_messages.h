// The private messages the link sends or posts to the main dialog (besides
// WM_CLOSE). Values follow WM_USER.
#pragma once

#include "platform/messages.h"

// The device restarted in its firmware loader and asks for an image.
constexpr UINT WM_UPGRADE_REQUEST = 0x0465;
// Every page of EqUser2 (the routing image) is in.
constexpr UINT WM_ROUTING_IMAGE_RECEIVED = 0x046F;
// A channel name arrived; wParam and lParam: the channel.
constexpr UINT WM_CHANNEL_NAME_CHANGED = 0x0472;
// Every page of EqUser (the parameter image) is in.
constexpr UINT WM_PARAM_IMAGE_RECEIVED = 0x0473;
// The sync timers saw the device go (posted to their own window).
constexpr UINT WM_DEVICE_OFFLINE = 0x0474;
// The device identified itself.
constexpr UINT WM_DEVICE_INFO_RECEIVED = 0x0476;
// The device reported a changed option.
constexpr UINT WM_DEVICE_OPTION_CHANGED = 0x0479;
// A link came up or went down, or the device identified itself: the main
// dialog hands it to SyncTimers::OnLinkChange.
constexpr UINT WM_LINK_CHANGED = 0x047A;
