// Qt side of the drawing objects, for the platform layer's own sources
// only: the data behind pens, brushes, fonts and bitmaps, the state of a
// device context, and the adapters the window code uses to open a context
// on its paint surface.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>

#include <memory>
#include <optional>

#include "platform/gdi.h"

struct GdiObjectData {
    enum class Kind { Pen, Brush, Font, Bitmap };
    explicit GdiObjectData(Kind k) : kind(k) {}

    Kind kind;
    // pen and brush
    int penStyle = PS_SOLID;
    int penWidth = 0;
    COLORREF color = 0;
    bool nullBrush = false;
    // font; the Qt font is made on first use
    LOGFONTW logFont;
    const QFont& Font();
    // bitmap
    QImage image;

private:
    std::optional<QFont> m_font;
};

struct CDC::State {
    QPainter* painter = nullptr;
    std::unique_ptr<QPainter> ownPainter;  // memory contexts
    bool memory = false;
    std::shared_ptr<GdiObjectData> pen, brush, font, bitmap;
    CPen* penObj = nullptr;
    CBrush* brushObj = nullptr;
    CFont* fontObj = nullptr;
    CBitmap* bitmapObj = nullptr;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    bool bkColorSet = false;  // SetBkColor was called
    int bkMode = OPAQUE;
    int stretchMode = BLACKONWHITE;
    QPoint pos;
    int dpiX = 96;
    int dpiY = 96;

    State();
    ~State();
};

// A device context over a painter that the window code opened on its
// surface (a paint event, an owner-drawn item, a backing image). While it
// lives, CDC::Attach and CDC::FromHandle with the painter share its state.
class PainterDC : public CDC {
public:
    explicit PainterDC(QPainter* painter, int dpiX = 96, int dpiY = 96);
    ~PainterDC() override;

    // Whether a background colour was chosen with SetBkColor.
    bool BkColorChosen() const { return m_state && m_state->bkColorSet; }
};

// The painter behind a device context handle, and the handle of a painter.
inline QPainter* PainterOf(HDC hdc) { return reinterpret_cast<QPainter*>(hdc); }
inline HDC HdcOf(QPainter* painter) { return reinterpret_cast<HDC>(painter); }

inline QColor ToQColor(COLORREF c) { return QColor(GetRValue(c), GetGValue(c), GetBValue(c)); }
inline COLORREF FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

// The Qt font of a font object (the default font without one).
QFont ToQFont(const CFont* font);
// The image of a bitmap object (a null image without one).
const QImage* BitmapImage(const CBitmap* bitmap);

// The images of the resources by id: bitmaps (with the placeholder rule of
// CBitmap::LoadBitmap; a null image when there is neither), PNG images and
// icons (null when missing).
QImage LoadBitmapImage(int id);
QImage LoadPngImage(int id);
QImage LoadIconImage(int id);
// The skin art of (id, bucket) (art.cpp), drawn once and kept; a null image
// when the id has no art there. bucket -1: the bucket ArtBucketOf chooses.
QImage ArtImage(int id, int bucket = -1);
