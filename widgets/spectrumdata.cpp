#include "widgets/spectrumdata.h"

#include <algorithm>
#include <cmath>

#include "model/params.h"
#include "platform/look.h"

namespace {

constexpr unsigned kMinFreq = 20;
constexpr unsigned kMaxFreq = 20000;
constexpr int kMaxGainCode = 300;
constexpr int kHighPassOffBit = 1;
constexpr int kLowPassOffBit = 2;

bool FreqInRange(int freq)
{
    const unsigned f = static_cast<unsigned>(freq);
    return f >= kMinFreq && f <= kMaxFreq;
}

bool GainCodeValid(int code) { return static_cast<unsigned>(code) <= kMaxGainCode; }

double GainOfCode(int code) { return 15 - code / 10.0; }

// A slope index 0..7 is 6..48 dB/Oct; anything else turns the filter off.
void StoreSlope(int index, int offBit, int& slope, int& filterOff)
{
    if (static_cast<unsigned>(index) <= 7u) {
        slope = 6 * (index + 1);
        filterOff &= ~offBit;
    } else {
        slope = 0;
        filterOff |= offBit;
    }
}

// The x of a band's seven control points around its centre xc. Narrow bands
// scale their whole bump with 1/Q; below Q 0.7 the foot stays fixed and only
// the shoulders move.
void BandXs(int xc, double q, int xs[kBandPoints])
{
    if (q >= 0.7) {
        xs[0] = TruncPixel(xc - 398 / q);
        xs[1] = xc;
        xs[2] = TruncPixel(xc - 39.8 / q);
        xs[4] = TruncPixel(xc + 39.8 / q);
        xs[5] = xc;
        xs[6] = TruncPixel(xc + 398 / q);
    } else {
        constexpr double kFoot = 3800.0 / 7.0;
        xs[0] = TruncPixel(xc - kFoot);
        xs[1] = TruncPixel(xc - 35 / q);
        xs[2] = TruncPixel(xc - 30 / q);
        xs[4] = TruncPixel(xc + 30 / q);
        xs[5] = TruncPixel(xc + 35 / q);
        xs[6] = TruncPixel(xc + kFoot);
    }
    xs[3] = xc;
}

double Log10Span() { return std::log10(20000.0) - std::log10(20.0); }

}  // namespace

SpectrumData::SpectrumData()
{
    for (int b = 0; b < kGraphBands; ++b) {
        m_nBandFreq[b] = g_isoBandFreq[b];
        m_dBandGain[b] = 0.0;
        m_dBandQ[b] = kDefaultQ;
    }
    for (int c = 0; c < kGraphChannels; ++c) {
        std::copy(m_nBandFreq, m_nBandFreq + kGraphBands, m_nChannelFreq[c]);
        std::copy(m_dBandGain, m_dBandGain + kGraphBands, m_dChannelGain[c]);
        std::copy(m_dBandQ, m_dBandQ + kGraphBands, m_dChannelQ[c]);
        m_nChannelHighPassFreq[c] = static_cast<int>(kMinFreq);
        m_nChannelLowPassFreq[c] = static_cast<int>(kMaxFreq);
        m_nChannelHighPassSlope[c] = m_nChannelLowPassSlope[c] = 0;
        m_nChannelHighPassType[c] = m_nChannelLowPassType[c] = 0;
        m_nChannelFilterOff[c] = kHighPassOffBit | kLowPassOffBit;
    }
    m_nHighPassFreq = static_cast<int>(kMinFreq);
    m_nLowPassFreq = static_cast<int>(kMaxFreq);
    m_nHighPassSlope = m_nLowPassSlope = 0;
    m_nHighPassType = m_nLowPassType = 0;
    m_nFilterOff = kHighPassOffBit | kLowPassOffBit;
}

// ---- Feeding ----

void SpectrumData::SetBandQs(const double* qs, int count)
{
    if (!qs || static_cast<unsigned>(count) > kGraphBands) return;
    std::copy(qs, qs + count, m_dBandQ);
}

void SpectrumData::SetBandFreqs(const int* freqs, int count)
{
    if (!freqs || static_cast<unsigned>(count) > kGraphBands) return;
    for (int i = 0; i < count; ++i)
        if (FreqInRange(freqs[i])) m_nBandFreq[i] = freqs[i];
}

void SpectrumData::SetBandGains(const int* codes, int count)
{
    if (!codes || static_cast<unsigned>(count) > kGraphBands) return;
    for (int i = 0; i < count; ++i)
        if (GainCodeValid(codes[i])) m_dBandGain[i] = GainOfCode(codes[i]);
}

// The all-channel copies take at most their own 372 entries.
void SpectrumData::SetChannelQs(const double* qs, int count)
{
    if (!qs) return;
    const int n = std::clamp(count, 0, kGraphChannelValues);
    for (int i = 0; i < n; ++i) m_dChannelQ[i / kGraphBands][i % kGraphBands] = qs[i];
}

void SpectrumData::SetChannelFreqs(const int* freqs, int count)
{
    if (!freqs) return;
    const int n = std::clamp(count, 0, kGraphChannelValues);
    for (int i = 0; i < n; ++i)
        if (FreqInRange(freqs[i])) m_nChannelFreq[i / kGraphBands][i % kGraphBands] = freqs[i];
}

void SpectrumData::SetChannelGains(const int* codes, int count)
{
    if (!codes) return;
    const int n = std::clamp(count, 0, kGraphChannelValues);
    for (int i = 0; i < n; ++i)
        if (GainCodeValid(codes[i])) m_dChannelGain[i / kGraphBands][i % kGraphBands] = GainOfCode(codes[i]);
}

void SpectrumData::SetCrossover(int hpFreq, int lpFreq, int hpSlope, int lpSlope, int hpType, int lpType, int redraw)
{
    m_nHighPassFreq = hpFreq;
    m_nLowPassFreq = lpFreq;
    m_nHighPassType = hpType;
    m_nLowPassType = lpType;
    StoreSlope(hpSlope, kHighPassOffBit, m_nHighPassSlope, m_nFilterOff);
    StoreSlope(lpSlope, kLowPassOffBit, m_nLowPassSlope, m_nFilterOff);
    UpdateCrossoverPoints();
    if (redraw == 1) RequestRedraw();
}

void SpectrumData::SetChannelCrossovers(const int* hpFreq, const int* lpFreq, const int* hpSlope, const int* lpSlope,
                                        const int* hpType, const int* lpType)
{
    if (!hpFreq || !lpFreq || !hpSlope || !lpSlope || !hpType || !lpType) return;
    for (int c = 0; c < kGraphChannels; ++c) {
        m_nChannelHighPassFreq[c] = hpFreq[c];
        m_nChannelLowPassFreq[c] = lpFreq[c];
        m_nChannelHighPassType[c] = hpType[c];
        m_nChannelLowPassType[c] = lpType[c];
        StoreSlope(hpSlope[c], kHighPassOffBit, m_nChannelHighPassSlope[c], m_nChannelFilterOff[c]);
        StoreSlope(lpSlope[c], kLowPassOffBit, m_nChannelLowPassSlope[c], m_nChannelFilterOff[c]);
    }
}

void SpectrumData::SetCurrentChannel(int channel, int redraw)
{
    m_bezier.SetColorIndex(channel);
    m_nCurChannel = channel;
    if (redraw == 1) RequestRedraw();
}

bool SpectrumData::SelectBand(int band)
{
    if (band >= kGraphBands) return false;
    m_nSelBand = band < 0 ? -1 : band;
    m_nSelCrossover = -1;
    RequestRedraw();
    return true;
}

void SpectrumData::SelectCrossover(int which)
{
    m_nSelCrossover = which == 0 ? 0 : (which > 0 ? 1 : -1);
    m_nSelBand = -1;
}

void SpectrumData::SetPeqMode(int peq)
{
    m_bPeq = static_cast<uint8_t>(peq);
    RequestRedraw();
}

void SpectrumData::SetVisibleChannels(int mask) { m_nVisibleMask = mask & 0xFFFF; }

int SpectrumData::ToggleChannelVisible(int channel)
{
    m_nVisibleMask = static_cast<int>(static_cast<unsigned>(m_nVisibleMask) ^ (1u << (channel & 31)));
    return m_nVisibleMask;
}

// ---- Layout and maps ----

int SpectrumData::PixelsPerDecadeFor(int dpi)
{
    constexpr int kPixels[kDpiBuckets] = {318, 360, 450, 546, 590};
    return ByDpiBucket(kPixels, dpi);
}

void SpectrumData::SetPlotRect(int left, int top, int right, int bottom)
{
    m_rcClient = {left, top, right, bottom};
    CalcLayout();
    UpdateBandPoints(0, kAllBands);
}

void SpectrumData::CalcLayout()
{
    const GraphRect& rc = m_rcClient;
    const int h = rc.bottom - rc.top - 32;
    const int c = (h % 6) / 2;
    // The client rectangle's top is 0: the plot's top is not offset by it.
    m_nPlotBottom = rc.bottom - 22 - c;
    m_nPlotTop = c + 10;
    m_nStep5dB = h / 6;
    const int w = TruncPixel(Log10Span() * PixelsPerDecade());
    const int width = rc.right - rc.left;
    m_nPlotLeft = width > w + 40 ? rc.left + (width - w - 40) / 2 + 30 : rc.left + 30;
    m_nPlotRight = m_nPlotLeft + w;
    m_nZeroY = m_nPlotBottom - 3 * m_nStep5dB;
}

int SpectrumData::FreqToX(unsigned freq) const
{
    const double decades = std::log10(static_cast<double>(freq)) - std::log10(20.0);
    return m_nPlotLeft + TruncPixel(decades * PixelsPerDecade());
}

int SpectrumData::XToFreq(int x) const
{
    const double decades = static_cast<double>(x - m_nPlotLeft) / static_cast<double>(PixelsPerDecade());
    return TruncPixel(std::pow(10.0, decades + std::log10(20.0)));
}

int SpectrumData::GainToY(double gain) const { return TruncPixel(m_nZeroY - m_nStep5dB * gain / 5.0); }

double SpectrumData::YToGain(int y) const
{
    if (m_nStep5dB <= 0) return 0.0;
    const double gain = (m_nZeroY - y) * (5.0 / m_nStep5dB);
    return std::clamp(gain, -15.0, 15.0);
}

// ---- Control points ----

void SpectrumData::MakeBandPoints(int freq, double q, double gain, GraphPoint* pts) const
{
    int xs[kBandPoints];
    BandXs(FreqToX(static_cast<unsigned>(freq)), q, xs);
    const int yPeak = gain != 0.0 ? GainToY(gain) : m_nZeroY;
    for (int i = 0; i < kBandPoints; ++i) pts[i] = {xs[i], (i >= 2 && i <= 4) ? yPeak : m_nZeroY};
}

void SpectrumData::UpdateBandPoints(int redraw, int band)
{
    GraphPoint pts[kBandPoints];
    const int first = band == kAllBands ? 0 : band;
    const int last = band == kAllBands ? kGraphBands - 1 : band;
    if (first >= 0 && last < kGraphBands) {
        for (int b = first; b <= last; ++b) {
            MakeBandPoints(m_nBandFreq[b], m_dBandQ[b], m_dBandGain[b], pts);
            m_bezier.SetBandPoints(b, pts);
        }
    }
    if (redraw == 1) RequestRedraw();
}

void SpectrumData::UpdateChannelBandPoints(int redraw, int channel)
{
    if (channel >= 0 && channel < kGraphChannels) {
        GraphPoint pts[kBandPoints];
        for (int b = 0; b < kGraphBands; ++b) {
            MakeBandPoints(m_nChannelFreq[channel][b], m_dChannelQ[channel][b], m_dChannelGain[channel][b], pts);
            m_bezier.SetBandPoints(b, pts);
        }
    }
    if (redraw == 1) RequestRedraw();
}

void SpectrumData::UpdateBandShape(int band)
{
    if (band < 0 || band >= kGraphBands) return;
    GraphPoint* pts = m_bezier.m_ptBand[band];
    int xs[kBandPoints];
    BandXs(pts[3].x, m_dBandQ[band], xs);
    for (int i = 0; i < kBandPoints; ++i) pts[i].x = xs[i];
}

int SpectrumData::CrossoverFarY(int slope, int type, int z)
{
    static constexpr int kButterworth[8] = {500, 900, 1350, 1750, 2150, 2550, 2900, 3600};
    static constexpr int kBessel[8] = {430, 750, 1200, 1400, 1700, 2000, 2150, 2500};
    if (slope < 6 || slope > 48 || slope % 6 != 0) return z;
    const int index = slope / 6 - 1;
    return type == 0 ? kButterworth[index] : kBessel[index];
}

void SpectrumData::MakeCrossoverPoints(int hpFreq, int lpFreq, int hpSlope, int lpSlope, int hpType, int lpType)
{
    const int z = m_nZeroY;
    if (FreqInRange(hpFreq)) {
        const int x0 = FreqToX(static_cast<unsigned>(hpFreq));
        const int k = hpType == 0 ? 162 : 321;
        GraphPoint* p = m_bezier.m_ptLowCut;
        p[0] = {x0 - 954, CrossoverFarY(hpSlope, hpType, z)};
        p[1] = {x0, z};
        p[2] = {x0 - 95, z};
        p[3] = {x0 + k, z};
    }
    if (FreqInRange(lpFreq)) {
        const int x0 = FreqToX(static_cast<unsigned>(lpFreq));
        const int k = lpType == 0 ? 162 : 321;
        GraphPoint* p = m_bezier.m_ptHighCut;
        p[0] = {x0 - k, z};
        p[1] = {x0 + 95, z};
        p[2] = {x0, z};
        p[3] = {x0 + 954, CrossoverFarY(lpSlope, lpType, z)};
    }
}

void SpectrumData::UpdateCrossoverPoints()
{
    MakeCrossoverPoints(m_nHighPassFreq, m_nLowPassFreq, m_nHighPassSlope, m_nLowPassSlope, m_nHighPassType,
                        m_nLowPassType);
}

void SpectrumData::UpdateChannelCrossoverPoints(int channel)
{
    if (channel < 0 || channel >= kGraphChannels) return;
    MakeCrossoverPoints(m_nChannelHighPassFreq[channel], m_nChannelLowPassFreq[channel],
                        m_nChannelHighPassSlope[channel], m_nChannelLowPassSlope[channel],
                        m_nChannelHighPassType[channel], m_nChannelLowPassType[channel]);
}

// ---- Markers and Q handles ----

int SpectrumData::MarkerX(int freq) const
{
    return TruncPixel((std::log10(static_cast<double>(freq)) - std::log10(20.0)) * PixelsPerDecade() + m_nPlotLeft - 5);
}

GraphRect SpectrumData::HighPassMarkerRect() const
{
    const int x = HighPassMarkerX();
    const int y = m_nPlotBottom - 2 * m_nStep5dB;
    return {x, y, x + 10, y + 14};
}

GraphRect SpectrumData::LowPassMarkerRect() const
{
    const int x = LowPassMarkerX();
    const int y = m_nPlotBottom - m_nStep5dB - 15;
    return {x, y, x + 10, m_nPlotBottom - m_nStep5dB - 1};
}

int SpectrumData::HitTestCrossoverMarker(GraphPoint pt) const
{
    if (HighPassMarkerRect().Contains(pt)) return 0;
    if (LowPassMarkerRect().Contains(pt)) return 1;
    return -1;
}

int SpectrumData::QHandleOffsetFor(double q) { return 99 - TruncPixel(10 * q); }

int SpectrumData::QHandleDragOffset(int handle, int x, int x3)
{
    if (handle > 0) {
        const int e = x3 + 20;
        if (x < e) return 0;
        return x < e + 100 ? x - e : 99;
    }
    if (handle < 0) {
        const int e = x3 - 38;
        if (x > e) return 0;
        return x > e - 100 ? e - x : 99;
    }
    return 0;
}

// (100 - r) / 10 rather than 10 - r / 10, which gives just under 0.1 at r = 99.
double SpectrumData::QFromHandleOffset(int r) { return (100 - std::clamp(r, 0, 99)) / 10.0; }

// ---- Responses ----

void SpectrumData::OtherResponsesKey(std::vector<double>& key) const
{
    key.clear();
    const int others = m_nVisibleMask & ~(1 << m_nCurChannel) & ((1 << kGraphChannels) - 1);
    key.insert(key.end(),
               {static_cast<double>(others), static_cast<double>(m_screenDpi), static_cast<double>(m_nPlotLeft),
                static_cast<double>(m_nPlotTop), static_cast<double>(m_nPlotRight), static_cast<double>(m_nPlotBottom),
                static_cast<double>(m_nZeroY), static_cast<double>(m_nStep5dB), static_cast<double>(m_rcClient.left),
                static_cast<double>(m_rcClient.top), static_cast<double>(m_rcClient.right),
                static_cast<double>(m_rcClient.bottom)});
    bool keepsCrossover = false;  // a frequency out of range keeps the points before it
    for (int ch = 0; ch < kGraphChannels; ++ch) {
        if (!((others >> ch) & 1)) continue;
        key.insert(key.end(), m_dChannelGain[ch], m_dChannelGain[ch] + kGraphBands);
        key.insert(key.end(), m_nChannelFreq[ch], m_nChannelFreq[ch] + kGraphBands);
        key.insert(key.end(), m_dChannelQ[ch], m_dChannelQ[ch] + kGraphBands);
        key.insert(key.end(),
                   {static_cast<double>(m_nChannelHighPassFreq[ch]), static_cast<double>(m_nChannelLowPassFreq[ch]),
                    static_cast<double>(m_nChannelHighPassSlope[ch]), static_cast<double>(m_nChannelLowPassSlope[ch]),
                    static_cast<double>(m_nChannelHighPassType[ch]), static_cast<double>(m_nChannelLowPassType[ch]),
                    static_cast<double>(m_nChannelFilterOff[ch])});
        keepsCrossover =
            keepsCrossover || !FreqInRange(m_nChannelHighPassFreq[ch]) || !FreqInRange(m_nChannelLowPassFreq[ch]);
    }
    if (keepsCrossover) {
        for (const GraphPoint* points : {m_bezier.m_ptLowCut, m_bezier.m_ptHighCut})
            for (int i = 0; i < kCrossoverPoints; ++i)
                key.insert(key.end(), {double(points[i].x), double(points[i].y)});
    }
}

void SpectrumData::BuildResponses(std::vector<ResponseCurve>& out)
{
    OtherResponsesKey(m_keyScratch);
    if (m_otherBuilds == 0 || m_keyScratch != m_otherKey) {
        const int z = m_nZeroY, l = m_nPlotLeft, t = m_nPlotTop, r = m_nPlotRight, b = m_nPlotBottom;
        int others = 0;
        for (int ch = 0; ch < kGraphChannels; ++ch)
            if (((m_nVisibleMask >> ch) & 1) && ch != m_nCurChannel) ++others;
        m_otherCurves.resize(static_cast<size_t>(others));
        size_t i = 0;
        for (int ch = 0; ch < kGraphChannels; ++ch) {
            if (!((m_nVisibleMask >> ch) & 1) || ch == m_nCurChannel) continue;
            UpdateChannelBandPoints(0, ch);
            UpdateChannelCrossoverPoints(ch);
            m_bezier.SetColorIndex(ch);
            m_bezier.ComputeResponse(-1, z, l, t, r, b, -1, m_nChannelFilterOff[ch], m_otherCurves[i++]);
        }
        std::copy(m_bezier.m_ptLowCut, m_bezier.m_ptLowCut + kCrossoverPoints, m_otherLowCut);
        std::copy(m_bezier.m_ptHighCut, m_bezier.m_ptHighCut + kCrossoverPoints, m_otherHighCut);
        m_otherKey.swap(m_keyScratch);
        ++m_otherBuilds;
    } else if (!m_otherCurves.empty()) {
        // As the build would have left them: the current channel starts from them.
        std::copy(m_otherLowCut, m_otherLowCut + kCrossoverPoints, m_bezier.m_ptLowCut);
        std::copy(m_otherHighCut, m_otherHighCut + kCrossoverPoints, m_bezier.m_ptHighCut);
    }
    out.resize(m_otherCurves.size() + 1);
    std::copy(m_otherCurves.begin(), m_otherCurves.end(), out.begin());

    UpdateBandPoints(0, kAllBands);
    UpdateCrossoverPoints();
    m_bezier.SetColorIndex(m_nCurChannel);
    m_bezier.ComputeResponse(m_nSelBand, m_nZeroY, m_nPlotLeft, m_nPlotTop, m_nPlotRight, m_nPlotBottom,
                             m_nSelCrossover, m_nFilterOff, out.back());
}
