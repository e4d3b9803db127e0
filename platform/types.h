// Basic integer types, handles and geometry shared by the whole platform
// layer and its users. No Qt header is included here: handles are opaque.
#pragma once

#include <algorithm>
#include <cstdint>

using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using UINT_PTR = uint64_t;
using INT_PTR = int64_t;
using DWORD_PTR = uint64_t;
using LONG_PTR = int64_t;
using WPARAM = uint64_t;
using LPARAM = int64_t;
using LRESULT = int64_t;
using LANGID = uint16_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A window handle: an opaque token for identity and cross-thread addressing.
// It stays unique for the life of the process; a handle of a destroyed window
// never names another window.
struct HWND__;
using HWND = HWND__*;

// A device context handle: an opaque token for a painter of the platform
// layer on some surface (CDC::GetSafeHdc, DRAWITEMSTRUCT::hDC).
struct HDC__;
using HDC = HDC__*;

constexpr WORD LOWORD(uint64_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(uint64_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr int GET_X_LPARAM(LPARAM l) { return static_cast<int16_t>(l & 0xFFFF); }
constexpr int GET_Y_LPARAM(LPARAM l) { return static_cast<int16_t>((l >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(int lo, int hi)
{
    return static_cast<LPARAM>(
        static_cast<uint32_t>((static_cast<uint32_t>(hi) & 0xFFFF) << 16 | (static_cast<uint32_t>(lo) & 0xFFFF)));
}
constexpr WPARAM MAKEWPARAM(int lo, int hi) { return static_cast<WPARAM>(static_cast<uint64_t>(MAKELPARAM(lo, hi))); }

struct POINT {
    LONG x = 0, y = 0;
};
struct SIZE {
    LONG cx = 0, cy = 0;
};
struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
};

class CPoint : public POINT {
public:
    constexpr CPoint() = default;
    constexpr CPoint(int ix, int iy) : POINT{ix, iy} {}
    constexpr CPoint(const POINT& p) : POINT(p) {}
    // Coordinates packed as in a mouse message (x low word, y high word).
    explicit constexpr CPoint(LPARAM packed) : POINT{GET_X_LPARAM(packed), GET_Y_LPARAM(packed)} {}
    friend constexpr bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
    CPoint operator+(const POINT& p) const { return {x + p.x, y + p.y}; }
    CPoint operator-(const POINT& p) const { return {x - p.x, y - p.y}; }
};

class CSize : public SIZE {
public:
    constexpr CSize() = default;
    constexpr CSize(int w, int h) : SIZE{w, h} {}
    constexpr CSize(const SIZE& s) : SIZE(s) {}
    friend constexpr bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
};

class CRect : public RECT {
public:
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
    constexpr CRect(const RECT& r) : RECT(r) {}
    constexpr CRect(POINT topLeft, SIZE size) : RECT{topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy} {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    CSize Size() const { return {Width(), Height()}; }
    CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend constexpr bool operator==(const CRect& a, const CRect& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
