// Anti-aliased vector drawing on a device context: ARGB pens and brushes,
// lines, cardinal splines, filled polygons and PNG images.
// Coordinates are those of pixel centres: (x, y) is the middle of pixel
// (x, y), so a one-pixel line at an integer y covers exactly one row.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi.h"

namespace gfx {

using REAL = float;
using ARGB = uint32_t;  // 0xAARRGGBB

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    NotImplemented = 6,
};

enum SmoothingMode {
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
};

enum FillMode {
    FillModeAlternate = 0,
    FillModeWinding = 1,
};

struct PointF {
    REAL X = 0;
    REAL Y = 0;
    PointF() = default;
    PointF(REAL x, REAL y) : X(x), Y(y) {}
    friend bool operator==(const PointF&, const PointF&) = default;
};

class Color {
public:
    Color() = default;  // opaque black
    Color(BYTE r, BYTE g, BYTE b) : m_argb(MakeARGB(255, r, g, b)) {}
    Color(BYTE a, BYTE r, BYTE g, BYTE b) : m_argb(MakeARGB(a, r, g, b)) {}
    explicit Color(ARGB argb) : m_argb(argb) {}

    static constexpr ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b)
    {
        return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
    }

    BYTE GetA() const { return BYTE(m_argb >> 24); }
    BYTE GetR() const { return BYTE(m_argb >> 16); }
    BYTE GetG() const { return BYTE(m_argb >> 8); }
    BYTE GetB() const { return BYTE(m_argb); }

private:
    ARGB m_argb = 0xFF000000;
};

class Pen {
public:
    explicit Pen(const Color& color, REAL width = 1.0f) : m_color(color), m_width(width) {}
    Color GetColor() const { return m_color; }
    REAL GetWidth() const { return m_width; }

private:
    Color m_color;
    REAL m_width;
};

class Brush {
public:
    virtual ~Brush() = default;
    virtual Color GetFillColor() const = 0;
};

class SolidBrush : public Brush {
public:
    explicit SolidBrush(const Color& color) : m_color(color) {}
    Color GetFillColor() const override { return m_color; }

private:
    Color m_color;
};

// A decoded image (PNG, BMP and the other formats the platform reads).
class Image {
public:
    Image(const void* data, std::size_t size);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    // The PNG resource with that id (its skin art, or res/png/<id>.png), or
    // nullptr.
    static std::unique_ptr<Image> FromResource(int pngId);

    UINT GetWidth() const;
    UINT GetHeight() const;
    Status GetLastStatus() const;

    struct Impl;
    const Impl* impl() const { return m_impl.get(); }

private:
    std::unique_ptr<Impl> m_impl;
};

// The Bezier form of a cardinal spline through count points: 3 (count - 1)
// + 1 points P0, C0a, C0b, P1, C1a, C1b, P2 ... For the segment from P[i] to
// P[i+1] the control points are P[i] + t/3 (P[i+1] - P[i-1]) and
// P[i+1] - t/3 (P[i+2] - P[i]), with P[-1] = P[0] and P[count] = P[count-1].
// Empty for fewer than two points.
std::vector<PointF> CardinalSplineBezierPoints(const PointF* points, int count, REAL tension);

// Draws on the surface of a device context for as long as the context is
// open; drawing on a closed or bitmap-less context reports GenericError.
class Graphics {
public:
    explicit Graphics(HDC hdc);
    explicit Graphics(CDC* dc);
    ~Graphics() = default;
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    Status SetSmoothingMode(SmoothingMode mode);

    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    // Cardinal spline through the points; the default tension is 0.5.
    Status DrawCurve(const Pen* pen, const PointF* points, int count);
    Status DrawCurve(const Pen* pen, const PointF* points, int count, REAL tension);
    Status FillPolygon(const Brush* brush, const PointF* points, int count, FillMode mode = FillModeAlternate);
    Status DrawImage(const Image* image, REAL x, REAL y);
    Status DrawImage(const Image* image, REAL x, REAL y, REAL width, REAL height);

private:
    HDC m_painter;
    SmoothingMode m_smoothing = SmoothingModeDefault;
    Status m_last = Ok;
    template <class F>
    Status Paint(F&& draw);
};

// Start of the drawing services: makes sure the application object the
// fonts and images need exists (creating a headless-capable one when the
// program has none yet), which lasts to the end of the process.
Status Startup();

}  // namespace gfx
