#include "platform/graphics.h"

#include <QApplication>
#include <QImage>
#include <QInputDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPointingDevice>
#include <QPolygonF>

#include <cstdlib>

#include "platform/gdi_qt.h"
#include "platform/resources.h"

namespace gfx {

namespace {

QColor ToQColor(const Color& c) { return QColor(c.GetR(), c.GetG(), c.GetB(), c.GetA()); }

QPen ToQPen(const Pen* pen)
{
    QPen qp(ToQColor(pen->GetColor()));
    qp.setWidthF(pen->GetWidth() > 0 ? pen->GetWidth() : 1.0);
    qp.setCapStyle(Qt::FlatCap);
    qp.setJoinStyle(Qt::MiterJoin);
    return qp;
}

QPolygonF ToPolygon(const PointF* points, int count)
{
    QPolygonF poly;
    poly.reserve(count);
    for (int i = 0; i < count; ++i) poly << QPointF(points[i].X, points[i].Y);
    return poly;
}

}  // namespace

struct Image::Impl {
    QImage image;
};

Image::Image(const void* data, std::size_t size) : m_impl(std::make_unique<Impl>())
{
    if (data && size > 0) m_impl->image.loadFromData(static_cast<const uchar*>(data), static_cast<int>(size));
    if (!m_impl->image.isNull()) m_impl->image = m_impl->image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

Image::~Image() = default;

std::unique_ptr<Image> Image::FromResource(int pngId)
{
    const QImage art = LoadPngImage(pngId);
    if (art.isNull()) return nullptr;
    auto img = std::make_unique<Image>(nullptr, 0);
    img->m_impl->image = art.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return img;
}

UINT Image::GetWidth() const { return static_cast<UINT>(m_impl->image.width()); }
UINT Image::GetHeight() const { return static_cast<UINT>(m_impl->image.height()); }
Status Image::GetLastStatus() const { return m_impl->image.isNull() ? InvalidParameter : Ok; }

std::vector<PointF> CardinalSplineBezierPoints(const PointF* points, int count, REAL tension)
{
    std::vector<PointF> out;
    if (!points || count < 2) return out;
    const REAL k = tension / 3.0f;
    auto at = [&](int i) { return points[std::clamp(i, 0, count - 1)]; };
    out.reserve(3 * static_cast<std::size_t>(count - 1) + 1);
    out.push_back(points[0]);
    for (int i = 0; i + 1 < count; ++i) {
        const PointF p0 = at(i - 1), p1 = at(i), p2 = at(i + 1), p3 = at(i + 2);
        out.emplace_back(p1.X + k * (p2.X - p0.X), p1.Y + k * (p2.Y - p0.Y));
        out.emplace_back(p2.X - k * (p3.X - p1.X), p2.Y - k * (p3.Y - p1.Y));
        out.push_back(p2);
    }
    return out;
}

Graphics::Graphics(HDC hdc) : m_painter(hdc) {}
Graphics::Graphics(CDC* dc) : m_painter(dc ? dc->GetSafeHdc() : nullptr) {}

Status Graphics::SetSmoothingMode(SmoothingMode mode)
{
    if (mode < SmoothingModeDefault || mode > SmoothingModeAntiAlias) return m_last = InvalidParameter;
    m_smoothing = mode;
    return m_last = Ok;
}

template <class F>
Status Graphics::Paint(F&& draw)
{
    QPainter* painter = PainterOf(m_painter);
    if (!painter || !painter->isActive()) return m_last = GenericError;
    QPainter& p = *painter;
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const bool smooth = m_smoothing == SmoothingModeHighQuality || m_smoothing == SmoothingModeAntiAlias;
    p.setRenderHint(QPainter::Antialiasing, smooth);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    // Integer coordinates are pixel centres.
    p.translate(0.5, 0.5);
    draw(p);
    p.restore();
    return m_last = Ok;
}

Status Graphics::DrawLine(const Pen* pen, REAL x1, REAL y1, REAL x2, REAL y2)
{
    if (!pen) return m_last = InvalidParameter;
    return Paint([&](QPainter& p) {
        p.setPen(ToQPen(pen));
        p.drawLine(QPointF(x1, y1), QPointF(x2, y2));
    });
}

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, int count)
{
    return DrawCurve(pen, points, count, 0.5f);
}

Status Graphics::DrawCurve(const Pen* pen, const PointF* points, int count, REAL tension)
{
    if (!pen || !points || count < 2) return m_last = InvalidParameter;
    const std::vector<PointF> b = CardinalSplineBezierPoints(points, count, tension);
    QPainterPath path(QPointF(b[0].X, b[0].Y));
    for (std::size_t i = 1; i + 2 < b.size(); i += 3)
        path.cubicTo(QPointF(b[i].X, b[i].Y), QPointF(b[i + 1].X, b[i + 1].Y), QPointF(b[i + 2].X, b[i + 2].Y));
    return Paint([&](QPainter& p) {
        p.setPen(ToQPen(pen));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    });
}

Status Graphics::FillPolygon(const Brush* brush, const PointF* points, int count, FillMode mode)
{
    if (!brush || !points || count < 3) return m_last = InvalidParameter;
    return Paint([&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(ToQColor(brush->GetFillColor()));
        p.drawPolygon(ToPolygon(points, count), mode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
    });
}

Status Graphics::DrawImage(const Image* image, REAL x, REAL y)
{
    if (!image || image->GetLastStatus() != Ok) return m_last = InvalidParameter;
    return DrawImage(image, x, y, static_cast<REAL>(image->GetWidth()), static_cast<REAL>(image->GetHeight()));
}

Status Graphics::DrawImage(const Image* image, REAL x, REAL y, REAL width, REAL height)
{
    if (!image || image->GetLastStatus() != Ok) return m_last = InvalidParameter;
    return Paint([&](QPainter& p) {
        p.translate(-0.5, -0.5);
        p.drawImage(QRectF(x, y, width, height), image->impl()->image);
    });
}

Status Startup()
{
    static QApplication* app = nullptr;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "tarvel";
        static char* argv[] = {name, nullptr};
        app = new QApplication(argc, argv);
        // Qt keeps its input devices in a registry made on first use; make it
        // now so that it outlives the application deleted below.
        QInputDevice::primaryKeyboard();
        QPointingDevice::primaryPointingDevice();
        // Ends before the statics Qt made while starting, so that it can
        // still release the font database.
        std::atexit([] {
            delete app;
            app = nullptr;
        });
    }
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? Ok : GenericError;
}

}  // namespace gfx
