// Drawing objects of the platform layer: colours, pens, brushes, fonts,
// bitmaps and the device context that draws with them. A device context
// (CDC) is either a memory context over a selected bitmap or a wrapper of a
// painter that the window code opened (HDC, see platform/types.h). Drawing
// state (colours, modes, selected objects) belongs to the surface: every
// CDC attached to the same HDC sees the same state.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/types.h"

using COLORREF = uint32_t;  // 0x00BBGGRR

constexpr COLORREF RGB(int r, int g, int b)
{
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Stretch modes: HALFTONE smooths, the others copy the nearest source pixel.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;

// Mapping mode: only device pixels exist.
constexpr int MM_TEXT = 1;

// Raster operations of BitBlt / StretchBlt.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// Pen styles.
constexpr int PS_SOLID = 0;
constexpr int PS_DASH = 1;
constexpr int PS_DOT = 2;
constexpr int PS_DASHDOT = 3;
constexpr int PS_DASHDOTDOT = 4;
constexpr int PS_NULL = 5;
constexpr int PS_INSIDEFRAME = 6;

// DrawText formats.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

// DrawFrameControl: only the combo box's drop arrow.
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int SYSTEM_FONT = 13;
constexpr int DEFAULT_GUI_FONT = 17;

// Font weights, character sets, pitch and family.
constexpr int FW_DONTCARE = 0;
constexpr int FW_THIN = 100;
constexpr int FW_LIGHT = 300;
constexpr int FW_NORMAL = 400;
constexpr int FW_MEDIUM = 500;
constexpr int FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700;
constexpr int FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;

// GetDeviceCaps indexes.
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

constexpr int LF_FACESIZE = 32;

struct LOGFONTW {
    LONG lfHeight = 0;  // < 0: character height in pixels; > 0: cell height; 0: default
    LONG lfWidth = 0;   // average character width, 0 for the face's own
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    wchar_t lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTW;

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 0;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};

struct GdiObjectData;  // defined in platform/gdi_qt.h

// Base of the drawing objects. An object owns its data; a device context
// that has the object selected keeps the data alive until it selects
// another one, so deleting a selected object never leaves a context
// drawing with freed memory. Objects cannot be copied.
class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() = default;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    BOOL DeleteObject();
    bool IsValid() const { return static_cast<bool>(m_data); }

    const std::shared_ptr<GdiObjectData>& Data() const { return m_data; }

protected:
    std::shared_ptr<GdiObjectData> m_data;
    friend class CDC;
};
using HGDIOBJ = CGdiObject*;

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    // Style, width (0 and 1 are both one pixel) and colour.
    int GetStyle() const;
    int GetWidth() const;
    COLORREF GetColor() const;
};
using HPEN = CPen*;

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color) { CreateSolidBrush(color); }
    BOOL CreateSolidBrush(COLORREF color);
    bool IsNull() const;  // the hollow stock brush
    COLORREF GetColor() const;
    operator CBrush*() { return this; }  // the HBRUSH of a control-colour handler
};
using HBRUSH = CBrush*;

class CFont : public CGdiObject {
public:
    BOOL CreateFontIndirect(const LOGFONTW* lf);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                    BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                    BYTE pitchAndFamily, const wchar_t* faceName);
    // Size in tenths of a point, at the DPI of pDC (96 without one).
    BOOL CreatePointFont(int pointSize10, const wchar_t* faceName, class CDC* pDC = nullptr);
    int GetLogFont(LOGFONTW* lf) const;
};
using HFONT = CFont*;

class CBitmap : public CGdiObject {
public:
    // The bitmap resource; an id without an image of its own but with an
    // entry in the placeholder table gives a plain placeholder of the
    // table's size. FALSE for an unknown id.
    BOOL LoadBitmap(UINT resourceId);
    // As above, but an unknown id gives a placeholder of the given size.
    BOOL LoadBitmap(UINT resourceId, int placeholderWidth, int placeholderHeight);
    // The bitmap as drawn for a DPI bucket 0..4 (the skin art of an id that
    // serves several buckets); otherwise as LoadBitmap.
    BOOL LoadSkinBitmap(UINT resourceId, int bucket);
    // A bitmap of the given size for drawing into (black at first).
    BOOL CreateCompatibleBitmap(class CDC* pDC, int width, int height);
    int GetBitmap(BITMAP* bm) const;
    CSize GetSize() const;  // 0 x 0 without a bitmap
};
using HBITMAP = CBitmap*;

// The stock objects, shared by the whole program; never delete them.
CGdiObject* GetStockObject(int index);

class CDC {
public:
    struct State;  // the drawing state of a surface

    CDC();
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // A memory context with the DPI of pDC (96 without one) and no bitmap
    // until one is selected; drawing without a bitmap does nothing.
    BOOL CreateCompatibleDC(CDC* pDC);
    BOOL DeleteDC();

    // Wraps a surface without owning it: the drawing state is that of the
    // surface, shared with every other context on it.
    BOOL Attach(HDC hdc);
    HDC Detach();
    HDC GetSafeHdc() const;
    // The context registered for a surface, or nullptr.
    static CDC* FromHandle(HDC hdc);

    CBitmap* SelectObject(CBitmap* bitmap);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CGdiObject* SelectStockObject(int index);
    CFont* GetCurrentFont() const;

    COLORREF SetTextColor(COLORREF color);
    COLORREF GetTextColor() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF GetBkColor() const;
    int SetBkMode(int mode);
    int GetBkMode() const;
    int SetStretchBltMode(int mode);
    int GetDeviceCaps(int index) const;

    BOOL BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop);
    BOOL StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                    DWORD rop);

    void FillSolidRect(LPCRECT rect, COLORREF color);  // also sets the background colour
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    void FillRect(LPCRECT rect, CBrush* brush);
    void FrameRect(LPCRECT rect, CBrush* brush);

    CPoint MoveTo(int x, int y);
    BOOL LineTo(int x, int y);  // the end point itself is not drawn
    BOOL Rectangle(int l, int t, int r, int b);
    BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }
    // A rectangle with corners of ellipses w x h, in the pen, filled with the brush.
    BOOL RoundRect(int l, int t, int r, int b, int w, int h);
    BOOL RoundRect(LPCRECT rect, POINT corner)
    {
        return RoundRect(rect->left, rect->top, rect->right, rect->bottom, corner.x, corner.y);
    }
    // The flat drop arrow of a combo box (DFC_SCROLL, DFCS_SCROLLCOMBOBOX,
    // with DFCS_FLAT, DFCS_MONO and DFCS_PUSHED); FALSE for any other control.
    BOOL DrawFrameControl(LPRECT rect, UINT type, UINT state);
    COLORREF GetPixel(int x, int y) const;  // 0xFFFFFFFF outside or without a readable surface
    COLORREF SetPixel(int x, int y, COLORREF color);

    BOOL TextOut(int x, int y, const std::wstring& text);  // (x, y) is the text's top-left corner
    // Returns the height of the text; DT_CALCRECT only measures, widening or
    // narrowing rect to the text.
    int DrawText(const std::wstring& text, LPRECT rect, UINT format);
    CSize GetTextExtent(const std::wstring& text) const;

protected:
    std::shared_ptr<State> m_state;
    bool m_registered = false;  // this object registered m_state for its painter
    void Register();
    void Unregister();
    friend class PainterDC;
};
