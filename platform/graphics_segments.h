// Wide anti-aliased curves drawn fast. The cardinal spline that
// gfx::Graphics::DrawCurve draws is flattened into short straight pieces
// (within a fifth of a pixel of the curve) and each piece is stroked on its own,
// without joins; the raster engine strokes such line lists many times faster
// than one joined wide path. For curves through points about a pixel apart,
// as the response graph draws them, the missing joins are below a pixel.
#pragma once

#include "platform/graphics.h"

namespace gfx {

// As Graphics::DrawCurve with HighQuality smoothing, on the surface of dc.
Status DrawCurveSegments(CDC* dc, const Pen* pen, const PointF* points, int count, REAL tension = 0.5f);

}  // namespace gfx
