// The EQ response graph of the main window (control IDC_SPECTRUM): paints
// the grid, every visible channel's response, band numbers, Q handles,
// readouts and crossover markers into a memory bitmap, and lets the user
// drag band peaks, Q handles and the two crossover markers. Edits change
// only the graph's own copy of the current channel; the main dialog's
// IDT_EQ_SYNC tick carries them into the model.
#pragma once

#include <vector>

#include "platform/controls.h"
#include "platform/graphics.h"
#include "platform/look.h"
#include "widgets/spectrumdata.h"

class CSpectrum : public CStatic, public SpectrumData {
public:
    CSpectrum();
    ~CSpectrum() override;

    // The whole graph into dc (a memory context over a bitmap at least
    // m_rcClient large): what a paint shows before it is copied to the window.
    // The background, the grid and the other channels' curves come from a
    // layer painted again only when the other channels' responses or the
    // layout changed.
    void PaintGraph(CDC* dc);

    // Drawing members, each on the memory context.
    void DrawBackground(CDC* dc);
    void DrawGrid(CDC* dc);
    void DrawOtherChannels(CDC* dc);
    void DrawCurrentChannel(CDC* dc);
    void DrawBandNumbers(CDC* dc);
    void DrawQHandles(CDC* dc);
    void DrawBandReadout(CDC* dc);
    void DrawCrossoverMarkers(CDC* dc);
    // Top-left corners of the band readout (band m_nHoverBand) and of the
    // crossover readout (0 high-pass, 1 low-pass).
    GraphPoint BandReadoutPos(int band) const;
    GraphPoint CrossoverReadoutPos(int which) const;
    // The ten points of one Q handle of the selected band (right or left).
    void BuildQArrow(gfx::PointF* points, bool right) const;

    // Mouse-move steps: the band or crossover readout under the pointer, and
    // the marker drag.
    void TrackHoverBand(int x, int y);
    void TrackCrossover(int x, int y);

    // Handle colours: the handles, and the one being dragged.
    static constexpr gfx::ARGB kQHandleColor = gfx::Color::MakeARGB(199, 255, 255, 0);
    static constexpr gfx::ARGB kQHandleDragColor = gfx::Color::MakeARGB(255, 255, 0, 0);

protected:
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnPaint();
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg LRESULT OnNcHitTest(CPoint screenPoint);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    DECLARE_MESSAGE_MAP()

    void RequestRedraw() override;

private:
    // Pixels of x at the graph's DPI, as the main window scales its sizes.
    int ScaleForDpi(int x) const { return ::ScaleForDpi(x, GetScreenDpi()); }
    void DrawResponse(CDC* dc, gfx::Graphics& g, const ResponseCurve& curve) const;
    void StartDrag();
    // Copies the layer under the current channel into dc, painting it first
    // when it is out of date; false when there is no layer to copy.
    bool CopyLayer(CDC* dc);

    // The layer: a bitmap of m_layerSize over the client area, showing the
    // other responses of build m_layerBuild (0: none yet).
    CBitmap m_layerBitmap;
    CDC m_layerDc;
    bool m_layerDcCreated = false;
    CBitmap* m_oldLayerBitmap = nullptr;
    CSize m_layerSize{0, 0};
    uint64_t m_layerBuild = 0;
    // The paint's back buffer, kept while the window keeps its size.
    CBitmap m_backBitmap;
    CSize m_backSize{0, 0};

    CBrush m_brBackground;
    CPen m_penGrid;
    CPen* m_pOldPen = nullptr;
    // The responses of one paint: other visible channels, then the current one.
    std::vector<ResponseCurve> m_curves;
};

// The mouse grab of a drag: while a band, Q handle or marker is dragged the
// graph's window holds the mouse capture, so that moves and the release
// anywhere on the screen reach it in its client coordinates. One for the
// whole program.
extern HWND g_dragHookWnd;
// Takes the capture for window (ending one held for another window first).
// FALSE, with nothing stored, when the window cannot take it.
BOOL InstallDragHook(HWND window);
// Ends the capture when it was taken for exactly this window; 0 when
// nothing was removed. The main dialog's WM_CLOSE calls it for the graph.
BOOL RemoveDragHook(HWND window);
