// The private messages the link sends or posts to the main dialog:
// WM_UPGRADE_REQUEST, WM_CLOSE, WM_DEVICE_INFO_RECEIVED,
// WM_PARAM_IMAGE_RECEIVED, WM_ROUTING_IMAGE_RECEIVED,
// WM_CHANNEL_NAME_CHANGED and WM_DEVICE_OPTION_CHANGED.
#pragma once

#include "platform/messages.h"
