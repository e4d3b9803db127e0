// Plain geometry types of the response graph: integer control points in
// client pixels, single-precision curve points, and rectangles tested the
// usual window way (left and top edges inside, right and bottom outside).
#pragma once

#include <cmath>
#include <cstdint>

struct GraphPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const GraphPoint&, const GraphPoint&) = default;
};

struct GraphPointF {
    float x = 0.0f;
    float y = 0.0f;
    friend bool operator==(const GraphPointF&, const GraphPointF&) = default;
};

struct GraphRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Contains(GraphPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const GraphRect&, const GraphRect&) = default;
};

struct GraphRgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const GraphRgb&, const GraphRgb&) = default;
};

// Truncation toward zero for pixel and frequency values. Values far outside
// any screen (a Q near 0, the log of a frequency of 0) saturate at +/-2^24,
// which stays exact in float and leaves room for integer offsets; NaN gives 0.
inline int TruncPixel(double v)
{
    constexpr double kLimit = 16777216.0;
    if (std::isnan(v)) return 0;
    if (v >= kLimit) return static_cast<int>(kLimit);
    if (v <= -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(v);
}
