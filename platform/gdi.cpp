#include "platform/gdi.h"

#include <QFontMetrics>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <map>
#include <mutex>
#include <utility>

#include "platform/fonts_qt.h"
#include "platform/gdi_qt.h"
#include "platform/resources.h"

// Drawing objects --------------------------------------------------------

const QFont& GdiObjectData::Font()
{
    if (!m_font) m_font = MakeQFont(logFont);
    return *m_font;
}

BOOL CGdiObject::DeleteObject()
{
    const bool had = static_cast<bool>(m_data);
    m_data.reset();
    return had ? TRUE : FALSE;
}

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    auto d = std::make_shared<GdiObjectData>(GdiObjectData::Kind::Pen);
    d->penStyle = style;
    d->penWidth = std::max(0, width);
    d->color = color & 0xFFFFFF;
    m_data = std::move(d);
    return TRUE;
}

int CPen::GetStyle() const { return m_data ? m_data->penStyle : PS_NULL; }
int CPen::GetWidth() const { return m_data ? m_data->penWidth : 0; }
COLORREF CPen::GetColor() const { return m_data ? m_data->color : 0; }

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    auto d = std::make_shared<GdiObjectData>(GdiObjectData::Kind::Brush);
    d->color = color & 0xFFFFFF;
    m_data = std::move(d);
    return TRUE;
}

bool CBrush::IsNull() const { return !m_data || m_data->nullBrush; }
COLORREF CBrush::GetColor() const { return m_data ? m_data->color : 0; }

BOOL CFont::CreateFontIndirect(const LOGFONTW* lf)
{
    if (!lf) return FALSE;
    auto d = std::make_shared<GdiObjectData>(GdiObjectData::Kind::Font);
    d->logFont = *lf;
    d->logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    m_data = std::move(d);
    return TRUE;
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, const wchar_t* faceName)
{
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName) wcsncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreatePointFont(int pointSize10, const wchar_t* faceName, CDC* pDC)
{
    const int dpi = pDC ? pDC->GetDeviceCaps(LOGPIXELSY) : 96;
    const long long n = static_cast<long long>(pointSize10) * dpi;
    LOGFONTW lf;
    lf.lfHeight = -static_cast<LONG>((n + 360) / 720);
    lf.lfWeight = FW_NORMAL;
    if (faceName) wcsncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONTW* lf) const
{
    if (!m_data || !lf) return 0;
    *lf = m_data->logFont;
    return static_cast<int>(sizeof(LOGFONTW));
}

namespace {

QImage PlaceholderImage(int width, int height, QRgb rgb)
{
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull()) return img;
    img.fill(QColor::fromRgb(rgb));
    if (width > 2 && height > 2) {
        QPainter p(&img);
        p.setPen(QColor::fromRgb(rgb).lighter(140));
        p.drawRect(0, 0, width - 1, height - 1);
    }
    return img;
}

QImage DecodeResImage(const std::string& path)
{
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    QImage img;
    if (FindResData(path, &data, &size)) img.loadFromData(data, static_cast<int>(size));
    return img;
}

bool SetBitmap(std::shared_ptr<GdiObjectData>* slot, QImage image)
{
    if (image.isNull()) return false;
    auto d = std::make_shared<GdiObjectData>(GdiObjectData::Kind::Bitmap);
    d->image = image.convertToFormat(QImage::Format_RGB32);
    *slot = std::move(d);
    return true;
}

}  // namespace

QImage LoadBitmapImage(int id)
{
    if (QImage art = ArtImage(id); !art.isNull() && !art.hasAlphaChannel()) return art;
    for (const char* ext : {".png", ".bmp"}) {
        QImage img = DecodeResImage("bitmaps/" + std::to_string(id) + ext);
        if (!img.isNull()) return img.convertToFormat(QImage::Format_RGB32);
    }
    BitmapPlaceholder p;
    if (FindBitmapPlaceholder(id, &p)) return PlaceholderImage(p.width, p.height, p.rgb);
    return {};
}

QImage LoadPngImage(int id)
{
    if (QImage art = ArtImage(id); !art.isNull() && art.hasAlphaChannel()) return art;
    return DecodeResImage("png/" + std::to_string(id) + ".png");
}
QImage LoadIconImage(int id) { return DecodeResImage("icons/" + std::to_string(id) + ".png"); }

BOOL CBitmap::LoadBitmap(UINT resourceId)
{
    m_data.reset();
    return SetBitmap(&m_data, LoadBitmapImage(static_cast<int>(resourceId))) ? TRUE : FALSE;
}

BOOL CBitmap::LoadSkinBitmap(UINT resourceId, int bucket)
{
    m_data.reset();
    QImage art = ArtImage(static_cast<int>(resourceId), bucket);
    if (art.isNull() || art.hasAlphaChannel()) return LoadBitmap(resourceId);
    return SetBitmap(&m_data, art) ? TRUE : FALSE;
}

BOOL CBitmap::LoadBitmap(UINT resourceId, int placeholderWidth, int placeholderHeight)
{
    if (LoadBitmap(resourceId)) return TRUE;
    if (placeholderWidth <= 0 || placeholderHeight <= 0) return FALSE;
    const uint32_t h = resourceId * 2654435761u;
    const QRgb rgb = qRgb(0x30 + (h >> 24) % 0x50, 0x30 + (h >> 16) % 0x50, 0x40 + (h >> 8) % 0x60);
    return SetBitmap(&m_data, PlaceholderImage(placeholderWidth, placeholderHeight, rgb)) ? TRUE : FALSE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int width, int height)
{
    m_data.reset();
    if (width <= 0 || height <= 0) return FALSE;
    QImage img(width, height, QImage::Format_RGB32);
    if (img.isNull()) return FALSE;
    img.fill(Qt::black);
    return SetBitmap(&m_data, std::move(img)) ? TRUE : FALSE;
}

int CBitmap::GetBitmap(BITMAP* bm) const
{
    if (!m_data || !bm) return 0;
    *bm = BITMAP{};
    bm->bmWidth = m_data->image.width();
    bm->bmHeight = m_data->image.height();
    bm->bmWidthBytes = static_cast<LONG>(m_data->image.bytesPerLine());
    bm->bmPlanes = 1;
    bm->bmBitsPixel = 32;
    return static_cast<int>(sizeof(BITMAP));
}

CSize CBitmap::GetSize() const
{
    if (!m_data) return {};
    return {m_data->image.width(), m_data->image.height()};
}

QFont ToQFont(const CFont* font)
{
    if (font && font->Data()) return font->Data()->Font();
    return static_cast<CFont*>(GetStockObject(SYSTEM_FONT))->Data()->Font();
}

const QImage* BitmapImage(const CBitmap* bitmap) { return bitmap && bitmap->Data() ? &bitmap->Data()->image : nullptr; }

// Stock objects ----------------------------------------------------------

namespace {

struct StockObjects {
    CBrush brushes[5];  // WHITE .. BLACK
    CBrush nullBrush;
    CPen whitePen, blackPen, nullPen;
    CFont systemFont, guiFont;
    CBitmap noBitmap;  // what a new memory context holds: no surface

    StockObjects()
    {
        const COLORREF greys[5] = {RGB(255, 255, 255), RGB(192, 192, 192), RGB(128, 128, 128), RGB(64, 64, 64),
                                   RGB(0, 0, 0)};
        for (int i = 0; i < 5; ++i) brushes[i].CreateSolidBrush(greys[i]);
        nullBrush.CreateSolidBrush(0);
        const_cast<GdiObjectData&>(*nullBrush.Data()).nullBrush = true;
        whitePen.CreatePen(PS_SOLID, 0, RGB(255, 255, 255));
        blackPen.CreatePen(PS_SOLID, 0, RGB(0, 0, 0));
        nullPen.CreatePen(PS_NULL, 0, 0);
        systemFont.CreateFont(16, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"System");
        guiFont.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"MS Shell Dlg");
    }
};

StockObjects& Stock()
{
    static StockObjects* stock = new StockObjects;  // lives to the end of the process
    return *stock;
}

}  // namespace

CGdiObject* GetStockObject(int index)
{
    StockObjects& s = Stock();
    switch (index) {
    case WHITE_BRUSH:
    case LTGRAY_BRUSH:
    case GRAY_BRUSH:
    case DKGRAY_BRUSH:
    case BLACK_BRUSH: return &s.brushes[index];
    case NULL_BRUSH: return &s.nullBrush;
    case WHITE_PEN: return &s.whitePen;
    case BLACK_PEN: return &s.blackPen;
    case NULL_PEN: return &s.nullPen;
    case SYSTEM_FONT: return &s.systemFont;
    case DEFAULT_GUI_FONT: return &s.guiFont;
    default: return nullptr;
    }
}

// Device contexts --------------------------------------------------------

namespace {

// Surfaces with a registered context, so that every CDC on the same HDC
// shares one state.
std::mutex g_registryMutex;
std::map<QPainter*, std::weak_ptr<CDC::State>> g_registry;
std::map<QPainter*, CDC*> g_owners;

}  // namespace

CDC::State::State()
{
    StockObjects& s = Stock();
    bitmapObj = &s.noBitmap;
    penObj = &s.blackPen;
    pen = s.blackPen.Data();
    brushObj = &s.brushes[WHITE_BRUSH];
    brush = brushObj->Data();
    fontObj = &s.systemFont;
    font = s.systemFont.Data();
}

CDC::State::~State()
{
    if (ownPainter && ownPainter->isActive()) ownPainter->end();
}

CDC::CDC() = default;

CDC::~CDC() { DeleteDC(); }

void CDC::Register()
{
    if (!m_state || !m_state->painter) return;
    std::lock_guard<std::mutex> lock(g_registryMutex);
    g_registry[m_state->painter] = m_state;
    g_owners[m_state->painter] = this;
    m_registered = true;
}

void CDC::Unregister()
{
    if (!m_registered || !m_state) return;
    std::lock_guard<std::mutex> lock(g_registryMutex);
    const auto it = g_owners.find(m_state->painter);
    if (it != g_owners.end() && it->second == this) {
        g_owners.erase(it);
        g_registry.erase(m_state->painter);
    }
    m_registered = false;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    DeleteDC();
    auto st = std::make_shared<State>();
    st->memory = true;
    st->ownPainter = std::make_unique<QPainter>();
    st->painter = st->ownPainter.get();
    if (pDC && pDC->m_state) {
        st->dpiX = pDC->m_state->dpiX;
        st->dpiY = pDC->m_state->dpiY;
    }
    m_state = std::move(st);
    Register();
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    if (!m_state) return FALSE;
    Unregister();
    m_state.reset();  // a memory context's painter ends with its last user
    return TRUE;
}

BOOL CDC::Attach(HDC hdc)
{
    DeleteDC();
    if (!hdc) return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        const auto it = g_registry.find(PainterOf(hdc));
        if (it != g_registry.end()) m_state = it->second.lock();
    }
    if (!m_state) {
        m_state = std::make_shared<State>();
        m_state->painter = PainterOf(hdc);
        Register();
    }
    return TRUE;
}

HDC CDC::Detach()
{
    HDC h = GetSafeHdc();
    Unregister();
    m_state.reset();
    return h;
}

HDC CDC::GetSafeHdc() const { return m_state ? HdcOf(m_state->painter) : nullptr; }

CDC* CDC::FromHandle(HDC hdc)
{
    std::lock_guard<std::mutex> lock(g_registryMutex);
    const auto it = g_owners.find(PainterOf(hdc));
    return it == g_owners.end() ? nullptr : it->second;
}

PainterDC::PainterDC(QPainter* painter, int dpiX, int dpiY)
{
    if (!painter) return;
    {
        std::lock_guard<std::mutex> lock(g_registryMutex);
        const auto it = g_registry.find(painter);
        if (it != g_registry.end()) m_state = it->second.lock();
    }
    if (!m_state) {
        m_state = std::make_shared<State>();
        m_state->painter = painter;
        Register();
    }
    m_state->dpiX = dpiX;
    m_state->dpiY = dpiY;
}

PainterDC::~PainterDC() { DeleteDC(); }

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    if (!m_state || !m_state->memory || !bitmap) return nullptr;
    State& s = *m_state;
    if (bitmap == &Stock().noBitmap) {
        if (s.painter->isActive()) s.painter->end();
        s.bitmap.reset();
        return std::exchange(s.bitmapObj, bitmap);
    }
    if (!bitmap->Data()) return nullptr;
    QImage& target = bitmap->m_data->image;
    if (s.bitmap == bitmap->m_data) return s.bitmapObj;  // already selected here
    if (target.paintingActive()) return nullptr;         // selected into another context
    if (s.painter->isActive()) s.painter->end();
    if (!s.painter->begin(&target)) {
        // In use by another context: keep the one selected before.
        if (s.bitmap) s.painter->begin(&s.bitmap->image);
        return nullptr;
    }
    CBitmap* previous = s.bitmapObj;
    s.bitmap = bitmap->m_data;
    s.bitmapObj = bitmap;
    return previous;
}

CPen* CDC::SelectObject(CPen* pen)
{
    if (!m_state || !pen || !pen->Data()) return nullptr;
    CPen* previous = m_state->penObj;
    m_state->pen = pen->Data();
    m_state->penObj = pen;
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    if (!m_state || !brush || !brush->Data()) return nullptr;
    CBrush* previous = m_state->brushObj;
    m_state->brush = brush->Data();
    m_state->brushObj = brush;
    return previous;
}

CFont* CDC::SelectObject(CFont* font)
{
    if (!m_state || !font || !font->Data()) return nullptr;
    CFont* previous = m_state->fontObj;
    m_state->font = font->Data();
    m_state->fontObj = font;
    return previous;
}

CGdiObject* CDC::SelectStockObject(int index)
{
    CGdiObject* obj = GetStockObject(index);
    if (!obj) return nullptr;
    if (index <= NULL_BRUSH) return SelectObject(static_cast<CBrush*>(obj));
    if (index <= NULL_PEN) return SelectObject(static_cast<CPen*>(obj));
    return SelectObject(static_cast<CFont*>(obj));
}

CFont* CDC::GetCurrentFont() const { return m_state ? m_state->fontObj : nullptr; }

COLORREF CDC::SetTextColor(COLORREF color)
{
    if (!m_state) return 0xFFFFFFFF;
    return std::exchange(m_state->textColor, color & 0xFFFFFF);
}
COLORREF CDC::GetTextColor() const { return m_state ? m_state->textColor : 0; }
COLORREF CDC::SetBkColor(COLORREF color)
{
    if (!m_state) return 0xFFFFFFFF;
    m_state->bkColorSet = true;
    return std::exchange(m_state->bkColor, color & 0xFFFFFF);
}
COLORREF CDC::GetBkColor() const { return m_state ? m_state->bkColor : 0; }
int CDC::SetBkMode(int mode)
{
    if (!m_state || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(m_state->bkMode, mode);
}
int CDC::GetBkMode() const { return m_state ? m_state->bkMode : 0; }
int CDC::SetStretchBltMode(int mode)
{
    if (!m_state || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return std::exchange(m_state->stretchMode, mode);
}

int CDC::GetDeviceCaps(int index) const
{
    if (!m_state) return 0;
    const QPaintDevice* dev = m_state->painter && m_state->painter->isActive() ? m_state->painter->device() : nullptr;
    switch (index) {
    case LOGPIXELSX: return m_state->dpiX;
    case LOGPIXELSY: return m_state->dpiY;
    case HORZRES: return dev ? dev->width() : 0;
    case VERTRES: return dev ? dev->height() : 0;
    case BITSPIXEL: return 32;
    default: return 0;
    }
}

namespace {

// Runs a drawing step on the context's surface with its state, leaving the
// painter as it was.
template <class F>
bool Paint(CDC::State* s, F&& draw)
{
    if (!s || !s->painter || !s->painter->isActive()) return false;
    QPainter& p = *s->painter;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setOpacity(1.0);
    draw(p);
    p.restore();
    return true;
}

// The readable image behind a context: its bitmap or the image its painter
// draws on.
QImage* SurfaceImage(CDC::State* s)
{
    if (!s) return nullptr;
    if (s->memory) return s->bitmap ? &s->bitmap->image : nullptr;
    if (s->painter && s->painter->isActive() && s->painter->device() &&
        s->painter->device()->devType() == QInternal::Image)
        return static_cast<QImage*>(s->painter->device());
    return nullptr;
}

bool PenVisible(const GdiObjectData* pen) { return pen && pen->penStyle != PS_NULL; }
bool BrushVisible(const GdiObjectData* brush) { return brush && !brush->nullBrush; }
int PenPixels(const GdiObjectData* pen) { return std::max(1, pen->penWidth); }

QPen ToQPen(const GdiObjectData* pen)
{
    if (!PenVisible(pen)) return QPen(Qt::NoPen);
    QPen qp(ToQColor(pen->color));
    qp.setWidth(PenPixels(pen));
    switch (pen->penStyle) {
    case PS_DASH: qp.setStyle(Qt::DashLine); break;
    case PS_DOT: qp.setStyle(Qt::DotLine); break;
    case PS_DASHDOT: qp.setStyle(Qt::DashDotLine); break;
    case PS_DASHDOTDOT: qp.setStyle(Qt::DashDotDotLine); break;
    default: qp.setStyle(Qt::SolidLine); break;
    }
    qp.setCapStyle(PenPixels(pen) > 1 ? Qt::RoundCap : Qt::FlatCap);
    qp.setJoinStyle(Qt::RoundJoin);
    return qp;
}

// One line from a to b with the end point left out.
void DrawGdiLine(QPainter& p, const GdiObjectData* pen, QPoint a, QPoint b)
{
    if (!PenVisible(pen) || a == b) return;
    const int w = PenPixels(pen);
    const bool solid = pen->penStyle == PS_SOLID || pen->penStyle == PS_INSIDEFRAME;
    if (solid && w == 1 && (a.y() == b.y() || a.x() == b.x())) {
        // Straight one-pixel lines exactly: from a up to, not including, b.
        auto span = [](int from, int to, int* lo, int* hi) {
            *lo = to > from ? from : to + 1;  // [from, to) or (to, from]
            *hi = to > from ? to : from + 1;
        };
        int lo = 0, hi = 0;
        const QColor c = ToQColor(pen->color);
        if (a.y() == b.y()) {
            span(a.x(), b.x(), &lo, &hi);
            p.fillRect(QRect(lo, a.y(), hi - lo, 1), c);
        } else {
            span(a.y(), b.y(), &lo, &hi);
            p.fillRect(QRect(a.x(), lo, 1, hi - lo), c);
        }
        return;
    }
    // A one-pixel flat-capped line leaves out its last pixel, as wanted; a
    // wider pen has round ends.
    p.setPen(ToQPen(pen));
    p.drawLine(a, b);
}

Qt::Alignment AlignmentOf(UINT format)
{
    Qt::Alignment a = (format & DT_CENTER) ? Qt::AlignHCenter : (format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (format & DT_SINGLELINE)
        a |= (format & DT_VCENTER) ? Qt::AlignVCenter : (format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    else a |= Qt::AlignTop;
    return a;
}

int QtTextFlags(UINT format)
{
    int f = static_cast<int>(AlignmentOf(format));
    if (format & DT_SINGLELINE) f |= Qt::TextSingleLine;
    else if (format & DT_WORDBREAK) f |= Qt::TextWordWrap;
    if (format & DT_EXPANDTABS) f |= Qt::TextExpandTabs;
    if (format & DT_NOCLIP) f |= Qt::TextDontClip;
    if (!(format & DT_NOPREFIX)) f |= Qt::TextShowMnemonic;
    return f;
}

}  // namespace

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop)
{
    if (rop == BLACKNESS || rop == WHITENESS) {
        return Paint(m_state.get(),
                     [&](QPainter& p) {
                         p.fillRect(QRect(x, y, width, height), rop == BLACKNESS ? Qt::black : Qt::white);
                     })
                   ? TRUE
                   : FALSE;
    }
    return StretchBlt(x, y, width, height, src, xSrc, ySrc, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, int srcWidth, int srcHeight,
                     DWORD rop)
{
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0 || !src) return FALSE;
    QImage* from = SurfaceImage(src->m_state.get());
    if (!from || from->isNull()) return FALSE;
    QPainter::CompositionMode mode;
    switch (rop) {
    case SRCCOPY: mode = QPainter::CompositionMode_Source; break;
    case SRCPAINT: mode = QPainter::RasterOp_SourceOrDestination; break;
    case SRCAND: mode = QPainter::RasterOp_SourceAndDestination; break;
    case SRCINVERT: mode = QPainter::RasterOp_SourceXorDestination; break;
    default: return FALSE;
    }
    const QRect srcRect(xSrc, ySrc, srcWidth, srcHeight);
    // Copying within one surface works on a copy of the source area.
    const bool self = SurfaceImage(m_state.get()) == from;
    const QImage part = self ? from->copy(srcRect) : QImage();
    const bool smooth = m_state && m_state->stretchMode == HALFTONE;
    return Paint(m_state.get(),
                 [&](QPainter& p) {
                     p.setCompositionMode(mode);
                     p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
                     if (self) p.drawImage(QRect(x, y, width, height), part);
                     else p.drawImage(QRect(x, y, width, height), *from, srcRect);
                 })
               ? TRUE
               : FALSE;
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color)
{
    if (!rect) return;
    FillSolidRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color)
{
    if (!m_state) return;
    m_state->bkColor = color & 0xFFFFFF;
    Paint(m_state.get(), [&](QPainter& p) { p.fillRect(QRect(x, y, cx, cy), ToQColor(color)); });
}

void CDC::FillRect(LPCRECT rect, CBrush* brush)
{
    if (!rect || !brush || brush->IsNull()) return;
    const QColor c = ToQColor(brush->GetColor());
    Paint(m_state.get(), [&](QPainter& p) {
        p.fillRect(QRect(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top), c);
    });
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush)
{
    if (!rect || !brush || brush->IsNull()) return;
    const QColor c = ToQColor(brush->GetColor());
    const int w = rect->right - rect->left, h = rect->bottom - rect->top;
    if (w <= 0 || h <= 0) return;
    Paint(m_state.get(), [&](QPainter& p) {
        p.fillRect(QRect(rect->left, rect->top, w, 1), c);
        p.fillRect(QRect(rect->left, rect->bottom - 1, w, 1), c);
        p.fillRect(QRect(rect->left, rect->top, 1, h), c);
        p.fillRect(QRect(rect->right - 1, rect->top, 1, h), c);
    });
}

CPoint CDC::MoveTo(int x, int y)
{
    if (!m_state) return {};
    const QPoint old = std::exchange(m_state->pos, QPoint(x, y));
    return {old.x(), old.y()};
}

BOOL CDC::LineTo(int x, int y)
{
    if (!m_state) return FALSE;
    const QPoint from = m_state->pos;
    m_state->pos = QPoint(x, y);
    const GdiObjectData* pen = m_state->pen.get();
    return Paint(m_state.get(), [&](QPainter& p) { DrawGdiLine(p, pen, from, QPoint(x, y)); }) ? TRUE : FALSE;
}

BOOL CDC::RoundRect(int l, int t, int r, int b, int w, int h)
{
    if (!m_state) return FALSE;
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    const GdiObjectData* pen = m_state->pen.get();
    const GdiObjectData* brush = m_state->brush.get();
    return Paint(m_state.get(),
                 [&](QPainter& p) {
                     p.setRenderHint(QPainter::Antialiasing);
                     const qreal pw = PenVisible(pen) ? std::max(1, PenPixels(pen)) : 0;
                     p.setPen(PenVisible(pen) ? QPen(ToQColor(pen->color), pw) : QPen(Qt::NoPen));
                     p.setBrush(BrushVisible(brush) ? QBrush(ToQColor(brush->color)) : QBrush(Qt::NoBrush));
                     const qreal inset = pw / 2;
                     p.drawRoundedRect(QRectF(l + inset, t + inset, r - l - pw, b - t - pw), w / 2.0, h / 2.0);
                 })
               ? TRUE
               : FALSE;
}

BOOL CDC::DrawFrameControl(LPRECT rect, UINT type, UINT state)
{
    if (!m_state || !rect || type != DFC_SCROLL || (state & 0xFF) != DFCS_SCROLLCOMBOBOX) return FALSE;
    const QRect box(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    const bool mono = state & DFCS_MONO;
    const int shift = (state & DFCS_PUSHED) ? 1 : 0;
    return Paint(m_state.get(),
                 [&](QPainter& p) {
                     p.fillRect(box, mono ? QColor(255, 255, 255) : QColor(240, 240, 240));
                     if (state & DFCS_FLAT) {
                         p.setPen(mono ? QColor(0, 0, 0) : QColor(160, 160, 160));
                         p.setBrush(Qt::NoBrush);
                         p.drawRect(box.adjusted(0, 0, -1, -1));
                     }
                     // A filled triangle pointing down, 7 pixels wide, in the middle.
                     const int cx = box.left() + box.width() / 2 + shift;
                     const int cy = box.top() + box.height() / 2 - 2 + shift;
                     for (int row = 0; row < 4; ++row)
                         p.fillRect(QRect(cx - 3 + row, cy + row, 7 - 2 * row, 1), QColor(0, 0, 0));
                 })
               ? TRUE
               : FALSE;
}

BOOL CDC::Rectangle(int l, int t, int r, int b)
{
    if (!m_state) return FALSE;
    if (r < l) std::swap(l, r);
    if (b < t) std::swap(t, b);
    const GdiObjectData* pen = m_state->pen.get();
    const GdiObjectData* brush = m_state->brush.get();
    return Paint(m_state.get(),
                 [&](QPainter& p) {
                     if (!PenVisible(pen)) {
                         // Without a pen the filled area is a pixel smaller.
                         if (BrushVisible(brush)) p.fillRect(QRect(l, t, r - l - 1, b - t - 1), ToQColor(brush->color));
                         return;
                     }
                     if (BrushVisible(brush)) p.fillRect(QRect(l, t, r - l, b - t), ToQColor(brush->color));
                     const int w = std::min({PenPixels(pen), (r - l + 1) / 2, (b - t + 1) / 2});
                     const QColor c = ToQColor(pen->color);
                     p.fillRect(QRect(l, t, r - l, w), c);
                     p.fillRect(QRect(l, b - w, r - l, w), c);
                     p.fillRect(QRect(l, t, w, b - t), c);
                     p.fillRect(QRect(r - w, t, w, b - t), c);
                 })
               ? TRUE
               : FALSE;
}

COLORREF CDC::GetPixel(int x, int y) const
{
    const QImage* img = SurfaceImage(m_state.get());
    if (!img || !img->valid(x, y)) return 0xFFFFFFFF;
    return FromQColor(img->pixelColor(x, y));
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color)
{
    const bool ok = Paint(m_state.get(), [&](QPainter& p) { p.fillRect(QRect(x, y, 1, 1), ToQColor(color)); });
    return ok ? (color & 0xFFFFFF) : 0xFFFFFFFF;
}

BOOL CDC::TextOut(int x, int y, const std::wstring& text)
{
    if (!m_state) return FALSE;
    State& s = *m_state;
    const QString str = QString::fromStdWString(text);
    const QFont& font = s.font->Font();
    const QFontMetrics fm(font);
    return Paint(&s,
                 [&](QPainter& p) {
                     if (s.bkMode == OPAQUE)
                         p.fillRect(QRect(x, y, fm.horizontalAdvance(str), fm.height()), ToQColor(s.bkColor));
                     p.setFont(font);
                     p.setPen(ToQColor(s.textColor));
                     p.drawText(QPoint(x, y + fm.ascent()), str);
                 })
               ? TRUE
               : FALSE;
}

int CDC::DrawText(const std::wstring& text, LPRECT rect, UINT format)
{
    if (!m_state || !rect) return 0;
    State& s = *m_state;
    const QFont& font = s.font->Font();
    const QFontMetrics fm(font);
    QString str = QString::fromStdWString(text);
    const QRect box(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top);
    if ((format & DT_END_ELLIPSIS) && (format & DT_SINGLELINE)) str = fm.elidedText(str, Qt::ElideRight, box.width());
    const int flags = QtTextFlags(format);
    if (format & DT_CALCRECT) {
        // Measure from the top-left corner; a wrapped text keeps the width.
        const int width = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE) ? std::max(1, box.width()) : 1 << 20;
        const QRect r =
            fm.boundingRect(QRect(rect->left, rect->top, width, 1 << 20),
                            flags & ~(Qt::AlignHCenter | Qt::AlignRight | Qt::AlignVCenter | Qt::AlignBottom), str);
        rect->right = rect->left + r.width();
        rect->bottom = rect->top + r.height();
        return r.height();
    }
    const QRect used = fm.boundingRect(box, flags, str);
    Paint(&s, [&](QPainter& p) {
        if (s.bkMode == OPAQUE) p.fillRect(used.intersected(format & DT_NOCLIP ? used : box), ToQColor(s.bkColor));
        p.setFont(font);
        p.setPen(ToQColor(s.textColor));
        p.drawText(box, flags, str);
    });
    return used.height();
}

CSize CDC::GetTextExtent(const std::wstring& text) const
{
    if (!m_state) return {};
    const QFontMetrics fm(m_state->font->Font());
    return {fm.horizontalAdvance(QString::fromStdWString(text)), fm.height()};
}
