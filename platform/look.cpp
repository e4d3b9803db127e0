#include "platform/look.h"

#include <algorithm>

int g_screenDpi = 96;

int ScaleForDpi(int x) { return ScaleForDpi(x, g_screenDpi); }

int SkinBitmap(SkinId skin, int bucket)
{
    if (skin < 0 || skin >= kSkinCount) return 0;
    return kSkinBitmaps[skin][std::clamp(bucket, 0, kDpiBuckets - 1)];
}

int SkinBitmap(SkinId skin) { return SkinBitmap(skin, DpiBucket(g_screenDpi)); }
