// Qt side of the font faces, for the platform layer's own sources only.
#pragma once

#include <QFont>
#include <QString>

#include "platform/gdi.h"

// The installed family for a requested face (see platform/fonts.h).
QString MapFontFamily(const QString& face);

// The Qt font for a logical font: always sized in pixels, so that it draws
// alike on every surface whatever that surface's resolution.
QFont MakeQFont(const LOGFONTW& lf);
