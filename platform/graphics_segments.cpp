#include "platform/graphics_segments.h"

#include <QLineF>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/gdi_qt.h"

namespace gfx {

namespace {

constexpr double kTolerance = 0.1;  // pixels between the curve and its pieces
constexpr int kMaxPieces = 64;
constexpr double kMergeOffset = 0.1;  // pixels a merged piece may pass beside a point

// Uniform pieces of one cubic, enough for the tolerance: the distance of a
// piece from the curve is at most 3/4 of the largest second difference of
// the control points over n squared.
int PiecesFor(const PointF& p0, const PointF& p1, const PointF& p2, const PointF& p3)
{
    const double ax = p0.X - 2.0 * p1.X + p2.X, ay = p0.Y - 2.0 * p1.Y + p2.Y;
    const double bx = p1.X - 2.0 * p2.X + p3.X, by = p1.Y - 2.0 * p2.Y + p3.Y;
    const double d = std::sqrt(std::max(ax * ax + ay * ay, bx * bx + by * by));
    const double n = std::ceil(std::sqrt(0.75 * d / kTolerance));
    return std::clamp(static_cast<int>(n), 1, kMaxPieces);
}

QPointF CubicAt(const PointF& p0, const PointF& p1, const PointF& p2, const PointF& p3, double t)
{
    const double s = 1.0 - t;
    const double a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
    return {a * p0.X + b * p1.X + c * p2.X + d * p3.X, a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y};
}

// Appends a piece, or lengthens the last one when the piece goes on in the
// same direction (the flat stretches of a response): fewer, longer pieces.
void AddPiece(std::vector<QLineF>& lines, const QPointF& a, const QPointF& b)
{
    if (!lines.empty() && lines.back().p2() == a) {
        QLineF& last = lines.back();
        const QPointF d = last.p2() - last.p1(), e = b - last.p1();
        const double len = std::hypot(d.x(), d.y());
        const double off = d.x() * e.y() - d.y() * e.x();
        if (len > 0 && std::abs(off) <= kMergeOffset * len && d.x() * (b - a).x() + d.y() * (b - a).y() > 0) {
            last.setP2(b);
            return;
        }
    }
    lines.emplace_back(a, b);
}

}  // namespace

Status DrawCurveSegments(CDC* dc, const Pen* pen, const PointF* points, int count, REAL tension)
{
    QPainter* p = dc ? PainterOf(dc->GetSafeHdc()) : nullptr;
    if (!pen || !points || count < 2) return InvalidParameter;
    if (!p || !p->isActive()) return GenericError;

    const std::vector<PointF> b = CardinalSplineBezierPoints(points, count, tension);
    std::vector<QLineF> lines;
    lines.reserve(static_cast<std::size_t>(count) * 2);
    for (std::size_t i = 0; i + 3 < b.size(); i += 3) {
        const int n = PiecesFor(b[i], b[i + 1], b[i + 2], b[i + 3]);
        QPointF prev(b[i].X, b[i].Y);
        for (int k = 1; k <= n; ++k) {
            const QPointF next = k == n ? QPointF(b[i + 3].X, b[i + 3].Y)
                                        : CubicAt(b[i], b[i + 1], b[i + 2], b[i + 3], static_cast<double>(k) / n);
            AddPiece(lines, prev, next);
            prev = next;
        }
    }

    const Color c = pen->GetColor();
    QPen qp(QColor(c.GetR(), c.GetG(), c.GetB(), c.GetA()));
    qp.setWidthF(pen->GetWidth() > 0 ? pen->GetWidth() : 1.0);
    qp.setCapStyle(Qt::FlatCap);
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->setRenderHint(QPainter::Antialiasing, true);
    p->translate(0.5, 0.5);  // integer coordinates are pixel centres
    p->setPen(qp);
    p->drawLines(lines.data(), static_cast<int>(lines.size()));
    p->restore();
    return Ok;
}

}  // namespace gfx
