// Font faces: the program asks for the faces of its templates and drawing
// code ("宋体", "黑体", "微软雅黑", "MS Shell Dlg", "Arial", ...); each maps
// to an installed family. Chinese faces (and any face spelled with CJK
// characters) map to WenQuanYi Micro Hei, whose Latin letters are as wide
// as those of the Chinese faces they stand for ("Butterworth" 66 pixels at
// 12); the dialog face "MS Shell Dlg" maps to it too, as it gives that face's
// dialog base units; other Latin faces map to DejaVu Sans; a face
// that is installed under its own name and not listed stays as it is. A
// mapped family that is not installed gives way to the platform's sans.
// Needs the application object (gfx::Startup).
#pragma once

#include <string>

// Cjk: the Chinese faces ("宋体", "黑体" ...); Dialog: the templates' face
// ("MS Shell Dlg"), by its metrics; LatinSans: other Latin faces.
enum class FontFaceKind { Cjk, LatinSans, Installed, Dialog };

struct FontFaceMapping {
    FontFaceKind kind = FontFaceKind::LatinSans;
    std::wstring family;  // the installed family used
};

FontFaceMapping MapFontFace(const std::wstring& face);

// Pixel height of a font of that many points at that DPI (rounded).
int PointsToPixels(int points, int dpi);
