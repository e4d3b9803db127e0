// The device images and their shadows (model/eq_images.h) are shared by the
// UI thread and the reply parsers. Whoever reads or writes them while the
// link threads run holds this lock, and never across a Send to the UI.
#pragma once

#include <mutex>

extern std::mutex g_imageMutex;
