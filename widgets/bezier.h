// Curve engine of the response graph: the control points of one channel's
// 31 band bumps and two crossover curves, their hit tests, and the summed
// response built from them column by column in pixel space.
#pragma once

#include <array>
#include <utility>
#include <vector>

#include "widgets/graphtypes.h"

constexpr int kGraphBands = 31;
constexpr int kBandPoints = 7;
constexpr int kCrossoverPoints = 4;
constexpr int kSegmentSamples = 39;
constexpr int kFillPoints = 2 * kSegmentSamples;           // a band's two segments
constexpr int kCrossoverFillPoints = kSegmentSamples + 2;  // one segment closed to the edge

// The response of one channel, ready to paint: every run is a cardinal
// spline through columns[first..last] in the channel's colour, and a non-empty
// fill is a translucent polygon drawn over the curve.
struct ResponseCurve {
    int colorIndex = 0;
    GraphRgb color;
    std::vector<GraphPointF> columns;       // pixel column L + j at index j
    std::vector<std::pair<int, int>> runs;  // inclusive column index ranges
    std::vector<GraphPointF> fill;          // 0, 41 or 78 points
};

class CBezier {
public:
    static constexpr float kPenWidth = 2.0f;
    static constexpr uint8_t kFillAlpha = 128;
    static constexpr GraphRgb kFillColor{69, 41, 22};

    CBezier();
    virtual ~CBezier() = default;

    void SetBandPoints(int band, const GraphPoint* points);
    void SetColorIndex(int index) { m_nColorIndex = index; }
    int GetColorIndex() const { return m_nColorIndex; }

    // band when the point lies within 8 pixels of the band's peak, else -1.
    int HitTestBand(GraphPoint pt, int band) const;
    // -1 on the left Q handle, 1 on the right one, 0 elsewhere; r is the
    // handles' distance from their innermost position.
    int HitTestQHandle(GraphPoint pt, int band, int r) const;
    // Top-left corner of the band's number.
    GraphPoint GetLabelPos(int band) const;

    // Pen colour of a channel; red for an index without one.
    static GraphRgb CurveColor(int index);

    // Point of the degree-n Bezier curve through points[0..n] at t.
    static GraphPointF BezierPoint(int n, const GraphPoint* points, double t);
    // The 39 samples of a cubic segment, t = 0 .. 1 in steps of 1/38.
    static std::array<GraphPointF, kSegmentSamples> SampleSegment(const GraphPoint* points);

    // Sums the bands and crossovers held here into the plot's columns
    // L..R around the 0 dB line z, splits the result into drawable runs
    // and, for a selected band or crossover, builds its fill polygon.
    // filterOff: bit 0 skips the high-pass, bit 1 the low-pass.
    void ComputeResponse(int selBand, int z, int left, int top, int right, int bottom, int selCrossover, int filterOff,
                         ResponseCurve& out) const;

    // The point store, written by the graph and read by the painter and the
    // mouse handlers. Bands: points 0..3 and 3..6 are the two cubic segments
    // of the bump, point 3 its peak.
    GraphPoint m_ptBand[kGraphBands][kBandPoints];
    GraphPoint m_ptLowCut[kCrossoverPoints];   // high-pass curve
    GraphPoint m_ptHighCut[kCrossoverPoints];  // low-pass curve
    int m_nPointsPerBand;
    int m_nColorIndex;
};
