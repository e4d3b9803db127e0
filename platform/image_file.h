// Writing a bitmap out as an image file (tools and screenshots).
#pragma once

#include <string>

#include "platform/gdi.h"

// Saves the bitmap as a PNG file; false without a bitmap or when the file
// cannot be written.
bool SaveBitmapPng(const CBitmap& bitmap, const std::string& path);
