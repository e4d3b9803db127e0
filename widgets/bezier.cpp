#include "widgets/bezier.h"

#include <algorithm>

namespace {

// clang-format off
constexpr GraphRgb kChannelColors[12] = {
    {198, 41, 41},  {156, 41, 156}, {194, 36, 107}, {17, 153, 153}, {193, 68, 1},   {94, 43, 170},
    {153, 153, 8},  {25, 134, 25},  {43, 46, 170},  {68, 115, 200}, {8, 153, 86},   {193, 204, 15},
};
// clang-format on
constexpr GraphRgb kNoChannelColor{255, 0, 0};

constexpr int kLast = kSegmentSamples - 1;

using Samples = std::array<GraphPointF, kSegmentSamples>;

// The part of a segment's samples that feeds the plot columns.
struct Span {
    int startIdx = 0;
    int endIdx = 0;
    int startCol = 0;
    int endCol = 0;
};

float ClampF(float v, int lo, int hi) { return std::clamp(v, static_cast<float>(lo), static_cast<float>(hi)); }

// A segment that may come in from the left of the plot: it starts at its
// first sample inside, at column L unless that is its very first sample.
bool EnterFromLeft(const Samples& s, int left, Span& span)
{
    for (int k = 0; k < kSegmentSamples; ++k) {
        if (s[k].x >= static_cast<float>(left)) {
            span.startIdx = k;
            span.startCol = k == 0 ? TruncPixel(s[0].x) : left;
            return true;
        }
    }
    return false;
}

// A band's second segment starts one column right of the peak, which the
// first segment has already counted.
bool EnterAfterPeak(const Samples& s, Span& span)
{
    const int peak = TruncPixel(s[0].x);
    for (int k = 1; k < kSegmentSamples; ++k) {
        if (TruncPixel(s[k].x) > peak) {
            span.startIdx = k;
            span.startCol = peak + 1;
            return true;
        }
    }
    return false;
}

// The segment ends at its last sample inside, or one sample past the right
// edge when it leaves the plot.
bool LeaveRight(const Samples& s, int right, Span& span)
{
    for (int k = kLast; k >= 0; --k) {
        if (s[k].x <= static_cast<float>(right)) {
            if (k < kLast) {
                span.endIdx = k + 1;
                span.endCol = right;
            } else {
                span.endIdx = kLast;
                span.endCol = TruncPixel(s[kLast].x);
            }
            return true;
        }
    }
    return false;
}

// Adds the segment's deviation from the 0 dB line to every column it covers,
// interpolating linearly between the samples around each column.
void Accumulate(std::vector<GraphPointF>& columns, const Samples& s, const Span& span, int z, int left, int right)
{
    const int first = std::max(span.startCol, left);
    const int last = std::min(span.endCol, right);
    // Each column takes the first sample at or right of it. When the samples'
    // columns never go back, that sample only moves on from column to column
    // and the scan can resume where the last column found it.
    bool monotone = true;
    for (int k = span.startIdx; k < span.endIdx && monotone; ++k)
        monotone = TruncPixel(s[k].x) <= TruncPixel(s[k + 1].x);
    int from = span.startIdx;
    for (int c = first; c <= last; ++c) {
        for (int k = from; k <= span.endIdx; ++k) {
            if (monotone) from = k;
            float y;
            if (static_cast<float>(c) == s[k].x) {
                y = s[k].y;
            } else {
                const int xk = TruncPixel(s[k].x);
                if (c > xk) continue;
                const int xp = k > 0 ? TruncPixel(s[k - 1].x) : xk;
                const int dx = xk - xp;
                if (dx == 0) {
                    y = s[k].y;
                } else {
                    const float slope = (s[k - 1].y - s[k].y) / static_cast<float>(dx);
                    if (dx == 1) y = s[k - 1].y - slope;
                    else if (c <= left) y = static_cast<float>(xk - left) * slope + s[k].y;
                    else y = s[k - 1].y - static_cast<float>(c - xp) * slope;
                }
            }
            GraphPointF& col = columns[static_cast<size_t>(c - left)];
            col.y = col.y - (static_cast<float>(z) - y);
            break;
        }
    }
}

// Moves a column below the filter's far end down past the bottom of the plot.
void PushBelowPlot(GraphPointF& col, int z, int bottom)
{
    col.y = static_cast<float>(static_cast<double>(col.y) + (bottom - z) + 0.01);
}

}  // namespace

CBezier::CBezier() : m_ptBand{}, m_ptLowCut{}, m_ptHighCut{}, m_nPointsPerBand(kBandPoints), m_nColorIndex(0) {}

void CBezier::SetBandPoints(int band, const GraphPoint* points)
{
    if (band < 0 || band >= kGraphBands) return;
    std::copy(points, points + kBandPoints, m_ptBand[band]);
}

int CBezier::HitTestBand(GraphPoint pt, int band) const
{
    if (band < 0 || band >= kGraphBands) return -1;
    const GraphPoint p3 = m_ptBand[band][3];
    const GraphRect box{p3.x - 8, p3.y - 8, p3.x + 8, p3.y + 8};
    return box.Contains(pt) ? band : -1;
}

int CBezier::HitTestQHandle(GraphPoint pt, int band, int r) const
{
    if (band < 0 || band >= kGraphBands) return 0;
    const GraphPoint p3 = m_ptBand[band][3];
    const GraphRect leftBox{p3.x - 38 - r, p3.y - 6, p3.x - 20 - r, p3.y + 6};
    const GraphRect rightBox{p3.x + 20 + r, p3.y - 6, p3.x + 38 + r, p3.y + 6};
    if (leftBox.Contains(pt)) return -1;
    if (rightBox.Contains(pt)) return 1;
    return 0;
}

GraphPoint CBezier::GetLabelPos(int band) const
{
    if (band < 0 || band >= kGraphBands) return {};
    const GraphPoint p3 = m_ptBand[band][3];
    return {p3.x - (band < 9 ? 3 : 8), p3.y - 7};
}

GraphRgb CBezier::CurveColor(int index) { return index >= 0 && index < 12 ? kChannelColors[index] : kNoChannelColor; }

GraphPointF CBezier::BezierPoint(int n, const GraphPoint* points, double t)
{
    // Bernstein form in nested evaluation.
    const double s = 1.0 - t;
    double p = 1.0;
    long long c = 1;
    double x = points[0].x * s;
    double y = points[0].y * s;
    for (int i = 1; i <= n - 1; ++i) {
        p *= t;
        c = c * (n - i + 1) / i;
        x = (static_cast<double>(c) * p * points[i].x + x) * s;
        y = (static_cast<double>(c) * p * points[i].y + y) * s;
    }
    x = p * t * points[n].x + x;
    y = p * t * points[n].y + y;
    return {static_cast<float>(x), static_cast<float>(y)};
}

std::array<GraphPointF, kSegmentSamples> CBezier::SampleSegment(const GraphPoint* points)
{
    Samples s{};
    int k = 0;
    for (double t = 0.0; t < 1.01 && k < kSegmentSamples; t += 1.0 / 38.0) s[k++] = BezierPoint(3, points, t);
    return s;
}

void CBezier::ComputeResponse(int selBand, int z, int left, int top, int right, int bottom, int selCrossover,
                              int filterOff, ResponseCurve& out) const
{
    out.colorIndex = m_nColorIndex;
    out.color = CurveColor(m_nColorIndex);
    out.columns.clear();
    out.runs.clear();
    out.fill.clear();
    if (right < left) return;

    const int n = right - left + 1;
    out.columns.resize(static_cast<size_t>(n));
    for (int j = 0; j < n; ++j)
        out.columns[static_cast<size_t>(j)] = {static_cast<float>(left + j), static_cast<float>(z)};
    std::array<GraphPointF, kFillPoints> fill{};

    // Bands: segments of four points, each sharing its first point with the
    // end of the one before.
    const int pointsPerBand = std::min(m_nPointsPerBand, kBandPoints);
    for (int b = 0; b < kGraphBands; ++b) {
        int seg = 0;
        for (int r = pointsPerBand, first = 0; r >= 4; r -= 3, first += 3, ++seg) {
            const Samples s = SampleSegment(&m_ptBand[b][first]);
            if (b == selBand) {
                for (int k = 0; k < kSegmentSamples; ++k)
                    fill[static_cast<size_t>(kSegmentSamples * seg + k)] = {ClampF(s[k].x, left, right), s[k].y};
            }
            Span span;
            const bool entered = r > 4 ? EnterFromLeft(s, left, span) : EnterAfterPeak(s, span);
            if (entered && LeaveRight(s, right, span)) Accumulate(out.columns, s, span, z, left, right);
        }
    }

    // Crossovers: 0 the high-pass, 1 the low-pass.
    for (int i = 0; i < 2; ++i) {
        if (filterOff & (1 << i)) continue;
        const Samples s = SampleSegment(i == 0 ? m_ptLowCut : m_ptHighCut);
        if (i == selCrossover) {
            for (int k = 0; k < kSegmentSamples; ++k)
                fill[static_cast<size_t>(k)] = {ClampF(s[k].x, left, right), ClampF(s[k].y, top, bottom)};
            const float l = static_cast<float>(left), r = static_cast<float>(right);
            const float zf = static_cast<float>(z), b = static_cast<float>(bottom);
            fill[kSegmentSamples] = i == 0 ? GraphPointF{l, zf} : GraphPointF{r, b};
            fill[kSegmentSamples + 1] = i == 0 ? GraphPointF{l, b} : GraphPointF{r, zf};
        }
        Span span;
        if (EnterFromLeft(s, left, span) && LeaveRight(s, right, span))
            Accumulate(out.columns, s, span, z, left, right);

        if (i == 0) {
            if (s[0].x > static_cast<float>(left)) {
                const int count = std::min(TruncPixel(s[0].x - static_cast<float>(left)), n);
                for (int j = 0; j < count; ++j) PushBelowPlot(out.columns[static_cast<size_t>(j)], z, bottom);
            }
        } else {
            const int from = std::clamp(TruncPixel(s[kLast].x - static_cast<float>(left)), -1, n - 1);
            for (int j = from + 1; j < n; ++j) PushBelowPlot(out.columns[static_cast<size_t>(j)], z, bottom);
        }
    }

    // Runs: the stretches of columns inside the plot; where the curve leaves
    // or re-enters the plot the column is put on the edge.
    const float t = static_cast<float>(top), b = static_cast<float>(bottom);
    int start = -1;
    for (int j = 0; j < n; ++j) {
        float& y = out.columns[static_cast<size_t>(j)].y;
        if (start < 0) {
            if (t <= y && y <= b) {
                start = j;
                if (j > 0) {
                    const float prev = out.columns[static_cast<size_t>(j - 1)].y;
                    if (prev > b) y = b;
                    else if (prev < t) y = t;
                }
            }
        } else if (y >= b || y <= t || j == n - 1) {
            y = std::clamp(y, t, b);
            out.runs.emplace_back(start, j);
            start = -1;
        }
    }

    if (selBand >= 0 && selBand < kGraphBands) out.fill.assign(fill.begin(), fill.end());
    else if (selCrossover >= 0) out.fill.assign(fill.begin(), fill.begin() + kCrossoverFillPoints);
}
