// The skin's two colours that every window shares: the panel behind the
// controls and the near-white of texts and captions.
#pragma once

#include "platform/gdi.h"

constexpr COLORREF kSkinPanelColour = RGB(33, 44, 61);
constexpr COLORREF kSkinTextColour = RGB(254, 254, 254);
