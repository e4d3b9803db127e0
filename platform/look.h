// The look every window shares: the screen DPI the main window read, sizes
// scaled to it, the DPI buckets that choose pictures, positions and sizes,
// and the skin pictures by name and bucket.
#pragma once

#include <algorithm>

#include "platform/types.h"
#include "res/skins.h"

// Screen DPI of the main window (read once when it starts; 96 until then).
extern int g_screenDpi;

// x * dpi / 96, truncated.
constexpr int ScaleForDpi(int x, int dpi) { return x * dpi / 96; }
// x * g_screenDpi / 96, truncated.
int ScaleForDpi(int x);

// The main window's DPI bucket 0..4: below 110, 110..131, 132..157,
// 158..187, 188 and above. It chooses the skins, the positions and sizes
// and the graph's pixels per decade.
constexpr int kDpiBuckets = kSkinBuckets;
constexpr int DpiBucket(int dpi)
{
    if (dpi < 110) return 0;
    if (dpi < 132) return 1;
    if (dpi < 158) return 2;
    if (dpi < 188) return 3;
    return 4;
}

// The DPI each bucket's pictures, positions and sizes are made for.
constexpr int kBucketDpi[kDpiBuckets] = {96, 120, 144, 168, 192};
constexpr int BucketDpi(int bucket) { return kBucketDpi[std::clamp(bucket, 0, kDpiBuckets - 1)]; }

// The DPI to lay the windows out for on a screen of dpi whose available area
// is area, the main window measuring window[b] in bucket b: dpi itself while
// the window of its bucket fits the area; else the DPI of the largest
// smaller bucket whose window fits, bucket 0's when none does.
int FitDpiToArea(int dpi, SIZE area, const SIZE (&window)[kDpiBuckets]);
// Where a window of that size goes in area: centred, so wholly inside where
// it fits; one wider or higher than the area starts at the area's left or
// top edge, so that its title row stays on the screen.
POINT PlaceInArea(SIZE window, const RECT& area);

// The settings and filter-setup dialogs' bucket 0..3 for the arrow images
// of their combo boxes: below 110, 110..131, 132..167, 168 and above.
constexpr int kArrowBuckets = 4;
constexpr int ArrowBucket(int dpi)
{
    if (dpi < 110) return 0;
    if (dpi < 132) return 1;
    if (dpi < 168) return 2;
    return 3;
}

// The value of a table by DPI bucket (kDpiBuckets entries) for dpi.
template <typename T>
constexpr T ByDpiBucket(const T (&table)[kDpiBuckets], int dpi)
{
    return table[DpiBucket(dpi)];
}

// The bitmap id of a skin in a bucket (clamped to 0..4).
int SkinBitmap(SkinId skin, int bucket);
// The same in the bucket of g_screenDpi.
int SkinBitmap(SkinId skin);
