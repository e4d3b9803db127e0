// Anti-aliased vector drawing on a device context: ARGB pens and brushes,
// lines, cardinal splines, polygons, rectangles, text and PNG images.
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

enum FontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8,
};

enum Unit {
    UnitPixel = 2,
    UnitPoint = 3,
};

enum StringAlignment {
    StringAlignmentNear = 0,
    StringAlignmentCenter = 1,
    StringAlignmentFar = 2,
};

struct PointF {
    REAL X = 0;
    REAL Y = 0;
    PointF() = default;
    PointF(REAL x, REAL y) : X(x), Y(y) {}
    friend bool operator==(const PointF&, const PointF&) = default;
};

struct Point {
    int X = 0;
    int Y = 0;
    Point() = default;
    Point(int x, int y) : X(x), Y(y) {}
    friend bool operator==(const Point&, const Point&) = default;
};

struct RectF {
    REAL X = 0, Y = 0, Width = 0, Height = 0;
    RectF() = default;
    RectF(REAL x, REAL y, REAL w, REAL h) : X(x), Y(y), Width(w), Height(h) {}
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
    static Color FromCOLORREF(COLORREF c) { return Color(GetRValue(c), GetGValue(c), GetBValue(c)); }

    BYTE GetA() const { return BYTE(m_argb >> 24); }
    BYTE GetR() const { return BYTE(m_argb >> 16); }
    BYTE GetG() const { return BYTE(m_argb >> 8); }
    BYTE GetB() const { return BYTE(m_argb); }
    ARGB GetValue() const { return m_argb; }
    COLORREF ToCOLORREF() const { return RGB(GetR(), GetG(), GetB()); }

private:
    ARGB m_argb = 0xFF000000;
};

class Pen {
public:
    explicit Pen(const Color& color, REAL width = 1.0f) : m_color(color), m_width(width) {}
    Color GetColor() const { return m_color; }
    REAL GetWidth() const { return m_width; }
    void SetColor(const Color& c) { m_color = c; }
    void SetWidth(REAL w) { m_width = w; }

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
    Color GetColor() const { return m_color; }
    void SetColor(const Color& c) { m_color = c; }
    Color GetFillColor() const override { return m_color; }

private:
    Color m_color;
};

class Font {
public:
    // emSize in points (at 96 DPI) or in pixels; the face is mapped like
    // every other font face (platform/fonts.h).
    Font(const wchar_t* family, REAL emSize, int style = FontStyleRegular, Unit unit = UnitPoint);
    const std::wstring& GetFamily() const { return m_family; }
    REAL GetSize() const { return m_size; }
    int GetStyle() const { return m_style; }
    Unit GetUnit() const { return m_unit; }
    REAL GetPixelSize() const;

private:
    std::wstring m_family;
    REAL m_size;
    int m_style;
    Unit m_unit;
};

class StringFormat {
public:
    void SetAlignment(StringAlignment a) { m_align = a; }
    void SetLineAlignment(StringAlignment a) { m_lineAlign = a; }
    StringAlignment GetAlignment() const { return m_align; }
    StringAlignment GetLineAlignment() const { return m_lineAlign; }

private:
    StringAlignment m_align = StringAlignmentNear;
    StringAlignment m_lineAlign = StringAlignmentNear;
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
    SmoothingMode GetSmoothingMode() const { return m_smoothing; }
    Status GetLastStatus() const { return m_last; }

    Status Clear(const Color& color);
    Status DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2);
    Status DrawLine(const Pen* pen, const PointF& a, const PointF& b) { return DrawLine(pen, a.X, a.Y, b.X, b.Y); }
    Status DrawLines(const Pen* pen, const PointF* points, int count);
    // Cardinal spline through the points; the default tension is 0.5.
    Status DrawCurve(const Pen* pen, const PointF* points, int count);
    Status DrawCurve(const Pen* pen, const PointF* points, int count, REAL tension);
    Status DrawCurve(const Pen* pen, const Point* points, int count, REAL tension = 0.5f);
    Status DrawPolygon(const Pen* pen, const PointF* points, int count);
    Status FillPolygon(const Brush* brush, const PointF* points, int count, FillMode mode = FillModeAlternate);
    Status FillPolygon(const Brush* brush, const Point* points, int count, FillMode mode = FillModeAlternate);
    Status DrawRectangle(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    Status FillRectangle(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    Status DrawEllipse(const Pen* pen, REAL x, REAL y, REAL width, REAL height);
    Status FillEllipse(const Brush* brush, REAL x, REAL y, REAL width, REAL height);
    // length -1: up to the terminating zero. The origin is the top-left
    // corner of the text.
    Status DrawString(const wchar_t* text, int length, const Font* font, const PointF& origin, const Brush* brush);
    Status DrawString(const wchar_t* text, int length, const Font* font, const RectF& layout,
                      const StringFormat* format, const Brush* brush);
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
// program has none yet). Shutdown leaves it to the end of the process.
Status Startup();
void Shutdown();

}  // namespace gfx
