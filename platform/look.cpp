#include "platform/look.h"

#include <algorithm>

int g_screenDpi = 96;

int ScaleForDpi(int x) { return ScaleForDpi(x, g_screenDpi); }

int FitDpiToArea(int dpi, SIZE area, const SIZE (&window)[kDpiBuckets])
{
    const auto fits = [&](int b) { return window[b].cx <= area.cx && window[b].cy <= area.cy; };
    int b = DpiBucket(dpi);
    if (fits(b)) return dpi;
    while (b > 0 && !fits(b)) --b;
    return kBucketDpi[b];
}

POINT PlaceInArea(SIZE window, const RECT& area)
{
    const int x = area.left + std::max(0, (area.right - area.left - window.cx) / 2);
    const int y = area.top + std::max(0, (area.bottom - area.top - window.cy) / 2);
    return {x, y};
}

int SkinBitmap(SkinId skin, int bucket)
{
    if (skin < 0 || skin >= kSkinCount) return 0;
    return kSkinBitmaps[skin][std::clamp(bucket, 0, kDpiBuckets - 1)];
}

int SkinBitmap(SkinId skin) { return SkinBitmap(skin, DpiBucket(g_screenDpi)); }
