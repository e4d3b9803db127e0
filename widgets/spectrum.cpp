#include "widgets/spectrum.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "model/codecs.h"
#include "platform/graphics_segments.h"

namespace {

constexpr COLORREF kBackground = RGB(15, 23, 32);
constexpr COLORREF kFrame = RGB(52, 79, 58);
constexpr COLORREF kGrid = RGB(49, 60, 43);
constexpr COLORREF kAxisText = RGB(77, 77, 77);
constexpr COLORREF kBandText = RGB(153, 153, 153);
constexpr const wchar_t* kLabelFace = L"黑体";
constexpr int kQArrowPoints = 10;

// The grid's frequencies; the labelled ones carry their text and offset.
struct GridLine {
    int freq;
    const wchar_t* label;
    int dx;
};
// clang-format off
constexpr GridLine kGridLines[] = {
    {30, nullptr, 0},     {40, nullptr, 0},      {50, L"50", -5},      {60, nullptr, 0},    {70, nullptr, 0},
    {80, nullptr, 0},     {90, nullptr, 0},      {100, L"100", -8},    {200, L"200", -8},   {300, nullptr, 0},
    {400, nullptr, 0},    {500, L"500", -8},     {600, nullptr, 0},    {700, nullptr, 0},   {800, nullptr, 0},
    {900, nullptr, 0},    {1000, L"1K", -6},     {2000, L"2K", -6},    {3000, nullptr, 0},  {4000, nullptr, 0},
    {5000, L"5K", -5},    {6000, nullptr, 0},    {7000, nullptr, 0},   {8000, nullptr, 0},  {9000, nullptr, 0},
    {10000, L"10K", -8},
};
// clang-format on

void MakeLabelFont(CFont& font, int height)
{
    font.CreateFont(height, 0, 0, 0, FW_MEDIUM, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, FF_SWISS, kLabelFace);
}

int BandNumberFontHeight(int dpi)
{
    constexpr int kHeight[kDpiBuckets] = {16, 16, 20, 20, 24};
    return ByDpiBucket(kHeight, dpi);
}

gfx::Color ToColor(GraphRgb c) { return gfx::Color(c.r, c.g, c.b); }

}  // namespace

HWND g_dragHookWnd = nullptr;

BOOL InstallDragHook(HWND window)
{
    if (g_dragHookWnd) RemoveDragHook(window);
    CWnd* wnd = CWnd::FromHandle(window);
    if (!wnd) return FALSE;
    wnd->SetCapture();
    if (CWnd::GetCapture() != wnd) return FALSE;
    g_dragHookWnd = window;
    return TRUE;
}

BOOL RemoveDragHook(HWND window)
{
    if (!window || window != g_dragHookWnd) return 0;
    CWnd* captured = CWnd::GetCapture();
    if (captured && captured->GetSafeHwnd() == window) ReleaseCapture();
    g_dragHookWnd = nullptr;
    return 1;
}

BEGIN_MESSAGE_MAP(CSpectrum, CStatic)
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_NCHITTEST()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSpectrum::CSpectrum()
{
    m_brBackground.CreateSolidBrush(kBackground);
    m_penGrid.CreatePen(PS_DOT, 0, kGrid);
}

CSpectrum::~CSpectrum()
{
    if (m_oldLayerBitmap) m_layerDc.SelectObject(m_oldLayerBitmap);
    if (m_hWnd) RemoveDragHook(m_hWnd);
}

void CSpectrum::RequestRedraw()
{
    if (m_hWnd) Invalidate(TRUE);
}

// ---- Painting ----

void CSpectrum::OnPaint()
{
    CPaintDC dc(this);
    RECT rc;
    GetClientRect(&rc);
    m_rcClient = {rc.left, rc.top, rc.right, rc.bottom};
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) return;

    if (m_backSize != CSize(width, height)) {
        m_backBitmap.DeleteObject();
        if (!m_backBitmap.CreateCompatibleBitmap(&dc, width, height)) return;
        m_backSize = CSize(width, height);
    }
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* oldBitmap = mem.SelectObject(&m_backBitmap);
    mem.SetBkMode(TRANSPARENT);
    PaintGraph(&mem);
    dc.BitBlt(0, 0, width, height, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(oldBitmap);
    mem.DeleteDC();
}

BOOL CSpectrum::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers the whole control
}

void CSpectrum::PaintGraph(CDC* dc)
{
    dc->SetBkMode(TRANSPARENT);
    if (m_hWnd) {
        RECT rc;
        GetClientRect(&rc);
        m_rcClient = {rc.left, rc.top, rc.right, rc.bottom};
    }
    // Computes every visible channel and leaves the current channel's shape
    // in the curve engine; the other channels are drawn first, behind it.
    BuildResponses(m_curves);
    if (!CopyLayer(dc)) {
        DrawBackground(dc);
        DrawGrid(dc);
        DrawOtherChannels(dc);
    }
    DrawCurrentChannel(dc);
    DrawBandNumbers(dc);
    DrawQHandles(dc);
    DrawBandReadout(dc);
    DrawCrossoverMarkers(dc);
}

bool CSpectrum::CopyLayer(CDC* dc)
{
    const GraphRect& rc = m_rcClient;
    if (rc.left < 0 || rc.top < 0 || rc.right <= rc.left || rc.bottom <= rc.top) return false;
    const CSize size(rc.right, rc.bottom);
    if (m_layerSize != size) {
        if (!m_layerDcCreated && !m_layerDc.CreateCompatibleDC(dc)) return false;
        m_layerDcCreated = true;
        if (m_oldLayerBitmap) m_layerDc.SelectObject(m_oldLayerBitmap);
        m_oldLayerBitmap = nullptr;
        m_layerBitmap.DeleteObject();
        m_layerSize = CSize(0, 0);
        if (!m_layerBitmap.CreateCompatibleBitmap(dc, size.cx, size.cy)) return false;
        m_oldLayerBitmap = m_layerDc.SelectObject(&m_layerBitmap);
        m_layerSize = size;
        m_layerBuild = 0;
    }
    if (m_layerBuild != OtherResponsesBuilt()) {
        m_layerDc.SetBkMode(TRANSPARENT);
        DrawBackground(&m_layerDc);
        DrawGrid(&m_layerDc);
        DrawOtherChannels(&m_layerDc);
        m_layerBuild = OtherResponsesBuilt();
    }
    return dc->BitBlt(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, &m_layerDc, rc.left, rc.top, SRCCOPY) !=
           FALSE;
}

void CSpectrum::DrawBackground(CDC* dc)
{
    if (m_hWnd) {
        RECT rc;
        GetClientRect(&rc);
        m_rcClient = {rc.left, rc.top, rc.right, rc.bottom};
    }
    const RECT rc{m_rcClient.left, m_rcClient.top, m_rcClient.right, m_rcClient.bottom};
    dc->FillRect(&rc, &m_brBackground);
}

void CSpectrum::DrawGrid(CDC* dc)
{
    const int l = m_nPlotLeft, t = m_nPlotTop, r = m_nPlotRight, b = m_nPlotBottom, s = m_nStep5dB;
    const double w = PixelsPerDecade();
    auto fx = [w](int f) { return TruncPixel((std::log10(static_cast<double>(f)) - std::log10(20.0)) * w); };

    CFont font;
    MakeLabelFont(font, ScaleForDpi(12));
    CFont* oldFont = dc->SelectObject(&font);
    const COLORREF oldText = dc->SetTextColor(kAxisText);
    CPen frame(PS_SOLID, 0, kFrame);

    m_pOldPen = dc->SelectObject(&frame);
    dc->MoveTo(l, t);
    dc->LineTo(l, b);
    dc->LineTo(r, b);

    dc->SelectObject(&m_penGrid);
    dc->TextOut(l - 5, b + 4, L"20");
    for (const GridLine& line : kGridLines) {
        const int x = l + fx(line.freq);
        if (line.label) dc->TextOut(x + line.dx, b + 4, line.label);
        dc->MoveTo(x, b);
        dc->LineTo(x, t);
    }

    dc->SelectObject(&frame);
    const int x20k = l + fx(20000);
    dc->TextOut(x20k - 16, b + 4, L"20K");
    dc->MoveTo(x20k, b);
    dc->LineTo(x20k, t);

    dc->SelectObject(&m_penGrid);
    const int xl = l - ScaleForDpi(24);
    dc->TextOut(xl, b - 6 * s - 6, L"+15");
    dc->TextOut(xl, b - 5 * s - 6, L"+10");
    dc->TextOut(xl, b - 4 * s - 6, L" +5");
    dc->TextOut(xl, b - 3 * s - 6, L"0dB");
    dc->TextOut(xl, b - 2 * s - 6, L" -5");
    dc->TextOut(xl, b - s - 6, L"-10");
    dc->TextOut(xl, b - 8, L"-15");
    for (int i = 1; i <= 5; ++i) {
        dc->MoveTo(l, b - i * s);
        dc->LineTo(r, b - i * s);
    }

    dc->SelectObject(&frame);
    dc->MoveTo(l, b - 6 * s);
    dc->LineTo(r, b - 6 * s);

    dc->SelectObject(m_pOldPen);
    dc->SelectObject(oldFont);
    dc->SetTextColor(oldText);
}

void CSpectrum::DrawResponse(CDC* dc, gfx::Graphics& g, const ResponseCurve& curve) const
{
    const gfx::Pen pen(ToColor(curve.color), CBezier::kPenWidth);
    static_assert(sizeof(GraphPointF) == sizeof(gfx::PointF));
    const auto* columns = reinterpret_cast<const gfx::PointF*>(curve.columns.data());
    // The cardinal spline of DrawCurve, stroked as short pieces: a joined
    // wide path through every column is several times slower to raster.
    for (const auto& [first, last] : curve.runs) gfx::DrawCurveSegments(dc, &pen, columns + first, last - first + 1);
    if (!curve.fill.empty()) {
        const gfx::SolidBrush brush(
            gfx::Color(CBezier::kFillAlpha, CBezier::kFillColor.r, CBezier::kFillColor.g, CBezier::kFillColor.b));
        g.FillPolygon(&brush, reinterpret_cast<const gfx::PointF*>(curve.fill.data()),
                      static_cast<int>(curve.fill.size()), gfx::FillModeAlternate);
    }
}

void CSpectrum::DrawOtherChannels(CDC* dc)
{
    if (m_curves.size() < 2) return;
    gfx::Graphics g(dc);
    g.SetSmoothingMode(gfx::SmoothingModeHighQuality);
    for (size_t i = 0; i + 1 < m_curves.size(); ++i) DrawResponse(dc, g, m_curves[i]);
}

void CSpectrum::DrawCurrentChannel(CDC* dc)
{
    if (m_curves.empty()) return;
    gfx::Graphics g(dc);
    g.SetSmoothingMode(gfx::SmoothingModeHighQuality);
    DrawResponse(dc, g, m_curves.back());
}

void CSpectrum::DrawBandNumbers(CDC* dc)
{
    CFont font;
    MakeLabelFont(font, BandNumberFontHeight(GetScreenDpi()));
    CFont* oldFont = dc->SelectObject(&font);
    const COLORREF oldText = dc->SetTextColor(kBandText);
    for (int band = 0; band < kGraphBands; ++band) {
        const GraphPoint p = m_bezier.GetLabelPos(band);
        dc->TextOut(p.x, p.y, std::to_wstring(band + 1));
    }
    dc->SelectObject(oldFont);
    dc->SetTextColor(oldText);
}

void CSpectrum::BuildQArrow(gfx::PointF* points, bool right) const
{
    const int band = std::clamp(m_nSelBand, 0, kGraphBands - 1);
    const GraphPoint p3 = m_bezier.m_ptBand[band][3];
    const int r = m_nQHandleOffset;
    const float x0 = static_cast<float>(right ? p3.x + r + 20 : p3.x - r - 38);
    const float y0 = static_cast<float>(p3.y);
    // clang-format off
    const gfx::PointF outline[kQArrowPoints] = {
        {x0, y0},          {x0 + 6, y0 - 6},  {x0 + 6, y0 - 3}, {x0 + 12, y0 - 3}, {x0 + 12, y0 - 6},
        {x0 + 18, y0},     {x0 + 12, y0 + 6}, {x0 + 12, y0 + 3}, {x0 + 6, y0 + 3},  {x0 + 6, y0 + 6},
    };
    // clang-format on
    std::copy(outline, outline + kQArrowPoints, points);
}

void CSpectrum::DrawQHandles(CDC* dc)
{
    if (m_nSelBand < 0 || m_nSelBand >= kGraphBands || m_bPeq != 1) return;
    m_nQHandleOffset = QHandleOffsetFor(m_dBandQ[m_nSelBand]);
    gfx::Graphics g(dc);
    g.SetSmoothingMode(gfx::SmoothingModeHighQuality);
    const gfx::SolidBrush yellow{gfx::Color(kQHandleColor)};
    const gfx::SolidBrush red{gfx::Color(kQHandleDragColor)};
    gfx::PointF left[kQArrowPoints], right[kQArrowPoints];
    BuildQArrow(left, false);
    BuildQArrow(right, true);
    if (m_nDragQHandle >= 1) {
        g.FillPolygon(&yellow, left, kQArrowPoints, gfx::FillModeAlternate);
        g.FillPolygon(&red, right, kQArrowPoints, gfx::FillModeAlternate);
    } else if (m_nDragQHandle <= -1) {
        g.FillPolygon(&yellow, right, kQArrowPoints, gfx::FillModeAlternate);
        g.FillPolygon(&red, left, kQArrowPoints, gfx::FillModeAlternate);
    } else {
        g.FillPolygon(&yellow, left, kQArrowPoints, gfx::FillModeAlternate);
        g.FillPolygon(&yellow, right, kQArrowPoints, gfx::FillModeAlternate);
    }
}

GraphPoint CSpectrum::BandReadoutPos(int band) const
{
    const GraphPoint p3 = m_bezier.m_ptBand[std::clamp(band, 0, kGraphBands - 1)][3];
    int x = p3.x - 50;
    if (x < m_nPlotLeft + 2) x = m_nPlotLeft + 2;
    if (x > m_nPlotRight - 150) x = m_nPlotRight - 150;
    return {x, p3.y > m_nZeroY ? p3.y - 20 : p3.y + 20};
}

// The readouts stay inside the plot; the marker letters themselves do not.
GraphPoint CSpectrum::CrossoverReadoutPos(int which) const
{
    auto clampX = [this](int x) { return std::max(m_nPlotLeft + 2, std::min(x, m_nPlotRight - 54)); };
    if (which == 0) return {clampX(HighPassMarkerX()), m_nPlotBottom - 2 * m_nStep5dB - 15};
    return {clampX(LowPassMarkerX()), m_nPlotBottom - m_nStep5dB};
}

void CSpectrum::DrawBandReadout(CDC* dc)
{
    const int h = m_nHoverBand;
    if (h < 0 || h >= kGraphBands) return;
    const std::wstring text = L"F:" + std::to_wstring(m_nBandFreq[h]) + L" Q:" + FormatDecimal(m_dBandQ[h], 2) +
                              L" G:" + FormatDecimal(m_dBandGain[h], 1);
    const GraphPoint pos = BandReadoutPos(h);
    const COLORREF oldText = dc->SetTextColor(kBandText);
    dc->TextOut(pos.x, pos.y, text);
    dc->SetTextColor(oldText);
}

void CSpectrum::DrawCrossoverMarkers(CDC* dc)
{
    const int yH = m_nPlotBottom - 2 * m_nStep5dB;
    const int yL = m_nPlotBottom - m_nStep5dB - 15;
    const int xH = HighPassMarkerX(), xL = LowPassMarkerX();
    const COLORREF oldText = dc->SetTextColor(kBandText);
    dc->TextOut(xH, yH, L"H");
    dc->TextOut(xL, yL, L"L");
    if (m_nHoverCrossover == 0 || m_nHoverCrossover == 1) {
        const GraphPoint pos = CrossoverReadoutPos(m_nHoverCrossover);
        const int freq = m_nHoverCrossover == 0 ? m_nHighPassFreq : m_nLowPassFreq;
        dc->TextOut(pos.x, pos.y, L"F:" + std::to_wstring(freq) + L" ");
    }
    dc->SetTextColor(oldText);
}

// ---- Mouse ----

LRESULT CSpectrum::OnNcHitTest(CPoint)
{
    return HTCLIENT;  // the graph takes the mouse itself, unlike a plain static
}

void CSpectrum::StartDrag()
{
    if (!m_bDragHook) m_bDragHook = InstallDragHook(m_hWnd) != FALSE;
}

void CSpectrum::OnLButtonDown(UINT flags, CPoint point)
{
    const GraphPoint pt{point.x, point.y};
    // Only the band whose readout is shown can be grabbed.
    m_nDragBand = m_bezier.HitTestBand(pt, m_nHoverBand);
    if (m_nDragBand != -1) {
        m_nSelBand = m_nDragBand;
        m_nSelCrossover = -1;
        StartDrag();
    } else if (m_nSelBand >= 0) {
        m_nDragQHandle = m_bezier.HitTestQHandle(pt, m_nSelBand, m_nQHandleOffset);
        if (m_nDragQHandle != 0) {
            Invalidate();
            StartDrag();
        }
    }
    m_nDragCrossover = HitTestCrossoverMarker(pt);
    if (m_nDragCrossover != -1) StartDrag();
    CStatic::OnLButtonDown(flags, point);
}

void CSpectrum::OnMouseMove(UINT flags, CPoint point)
{
    const int x = point.x, y = point.y;
    const int l = m_nPlotLeft, t = m_nPlotTop, r = m_nPlotRight, b = m_nPlotBottom;

    if (m_nDragBand >= 0 && m_nDragBand < kGraphBands) {
        const int d = m_nDragBand;
        GraphPoint* pts = m_bezier.m_ptBand[d];
        const int yc = std::clamp(y, t, b);
        pts[2].y = pts[3].y = pts[4].y = yc;
        // Outside the plot the gain keeps its last value; the top row of a
        // plot with an odd remainder still reads +15 dB at most.
        if (y >= t && y <= b) m_dBandGain[d] = YToGain(y);
        if (m_bPeq == 1) {
            const int xc = std::clamp(x, l, r);
            const int dx = xc - pts[3].x;
            for (int i = 0; i < kBandPoints; ++i) pts[i].x += dx;
            if (x >= l && x <= r) m_nBandFreq[d] = XToFreq(x);
        }
        Invalidate();
    }

    TrackHoverBand(x, y);

    if (m_nDragQHandle != 0 && m_bPeq == 1 && m_nSelBand >= 0 && m_nSelBand < kGraphBands) {
        const int x3 = m_bezier.m_ptBand[m_nSelBand][3].x;
        const int offset = QHandleDragOffset(m_nDragQHandle, x, x3);
        m_nQHandleOffset = offset;
        m_dBandQ[m_nSelBand] = QFromHandleOffset(offset);
        UpdateBandShape(m_nSelBand);
        Invalidate();
    }

    TrackCrossover(x, y);
    CStatic::OnMouseMove(flags, point);
}

void CSpectrum::TrackHoverBand(int x, int y)
{
    if (m_nDragCrossover != -1) return;
    const GraphPoint pt{x, y};
    for (int band = 0; band < kGraphBands; ++band) {
        if (m_bezier.HitTestBand(pt, band) == band) {
            m_nHoverBand = band;
            m_nHoverCrossover = -1;
            RequestRedraw();
            return;
        }
    }
}

void CSpectrum::TrackCrossover(int x, int y)
{
    if (m_nDragBand != -1) return;
    const GraphPoint pt{x, y};
    if (m_nDragCrossover != 1 && HighPassMarkerRect().Contains(pt)) {
        m_nHoverCrossover = 0;
        m_nHoverBand = -1;
        RequestRedraw();
    }
    if (m_nDragCrossover != 0 && LowPassMarkerRect().Contains(pt)) {
        m_nHoverCrossover = 1;
        m_nHoverBand = -1;
        RequestRedraw();
    }
    const int l = m_nPlotLeft, r = m_nPlotRight;
    if (m_nDragCrossover == 0) {
        m_nHighPassFreq = x > r ? 20000 : (x <= l ? 20 : XToFreq(x));
        SelectCrossover(0);
        RequestRedraw();
    } else if (m_nDragCrossover == 1) {
        m_nLowPassFreq = x < l ? 20 : (x >= r ? 20000 : XToFreq(x));
        SelectCrossover(1);
        RequestRedraw();
    }
}

void CSpectrum::OnLButtonUp(UINT flags, CPoint point)
{
    m_nDragBand = -1;
    if (m_nDragQHandle != 0) {
        m_nDragQHandle = 0;
        Invalidate();
    }
    m_nDragCrossover = -1;
    RemoveDragHook(m_hWnd);
    m_bDragHook = false;
    CStatic::OnLButtonUp(flags, point);
}
