// The data side of the EQ response graph: its own copy of the current
// channel's bands and crossovers and of all twelve channels, the selection,
// hover and drag state, the plot layout, the maps between frequency or gain
// and pixels, and the control points of every curve. The graph widget
// derives from this and adds painting and mouse handling; it never writes
// the parameter model, the main dialog feeds and reads it through ISpectrum.
#pragma once

#include <cstdint>
#include <vector>

#include "model/ports.h"
#include "widgets/bezier.h"
#include "widgets/graphtypes.h"

constexpr int kGraphChannels = 12;
constexpr int kGraphChannelValues = kGraphChannels * kGraphBands;  // 372
constexpr int kAllBands = 31;                                      // band argument of UpdateBandPoints: every band

class SpectrumData : public ISpectrum {
public:
    SpectrumData();
    virtual ~SpectrumData() = default;

    // ISpectrum: feeding and read-back.
    void SetBandQs(const double* qs, int count) override;
    void SetBandFreqs(const int* freqs, int count) override;
    void SetBandGains(const int* codes, int count) override;
    void SetChannelQs(const double* qs, int count) override;
    void SetChannelFreqs(const int* freqs, int count) override;
    void SetChannelGains(const int* codes, int count) override;
    const int* GetBandFreqs() const override { return m_nBandFreq; }
    const double* GetBandGains() const override { return m_dBandGain; }
    const double* GetBandQs() const override { return m_dBandQ; }
    int GetHighPassFreq() const override { return m_nHighPassFreq; }
    int GetLowPassFreq() const override { return m_nLowPassFreq; }
    void SetCrossover(int hpFreq, int lpFreq, int hpSlope, int lpSlope, int hpType, int lpType, int redraw) override;
    void SetChannelCrossovers(const int* hpFreq, const int* lpFreq, const int* hpSlope, const int* lpSlope,
                              const int* hpType, const int* lpType) override;
    void SetCurrentChannel(int channel, int redraw) override;
    bool SelectBand(int band) override;
    void SelectCrossover(int which) override;
    void UpdateBandPoints(int redraw, int band) override;
    void SetPeqMode(int peq) override;
    int GetVisibleChannels() const override { return m_nVisibleMask; }
    void SetVisibleChannels(int mask) override;
    int ToggleChannelVisible(int channel) override;

    // Layout. The screen DPI picks the pixels per decade; set it before the
    // first SetPlotRect (96 until then).
    void SetScreenDpi(int dpi) { m_screenDpi = dpi; }
    int GetScreenDpi() const { return m_screenDpi; }
    static int PixelsPerDecadeFor(int dpi);
    int PixelsPerDecade() const { return PixelsPerDecadeFor(m_screenDpi); }
    // Stores the client rectangle, lays the plot out and rebuilds the band
    // shapes; no redraw.
    void SetPlotRect(int left, int top, int right, int bottom);
    void CalcLayout();

    // Maps between plot pixels and frequency (Hz) or gain (dB).
    int FreqToX(unsigned freq) const;
    int XToFreq(int x) const;
    int GainToY(double gain) const;
    // The gain a dragged peak at row y stands for, kept within +/-15 dB (a
    // plot whose height leaves an odd remainder has a row above +15 dB).
    double YToGain(int y) const;

    // Control points.
    void UpdateChannelBandPoints(int redraw, int channel);
    void UpdateBandShape(int band);
    void UpdateCrossoverPoints();
    void UpdateChannelCrossoverPoints(int channel);
    static int CrossoverFarY(int slope, int type, int z);

    // Crossover markers "H" and "L": text origin x and hit boxes.
    int HighPassMarkerX() const { return MarkerX(m_nHighPassFreq); }
    int LowPassMarkerX() const { return MarkerX(m_nLowPassFreq); }
    GraphRect HighPassMarkerRect() const;
    GraphRect LowPassMarkerRect() const;
    // 0 on the high-pass marker, 1 on the low-pass marker (tested second), -1 elsewhere.
    int HitTestCrossoverMarker(GraphPoint pt) const;

    // Q handles: the offset shown for a Q, the offset a drag of the given
    // handle (-1 left, 1 right) to x makes, and the Q of an offset.
    static int QHandleOffsetFor(double q);
    static int QHandleDragOffset(int handle, int x, int x3);
    static double QFromHandleOffset(int r);

    // The responses to paint, in painting order: every visible channel other
    // than the current one, then the current channel with its selection fill.
    // Leaves the current channel's shape in m_bezier.
    // The other channels' responses are kept from one build to the next
    // and built again only when something they are made of changed (their
    // bands, crossovers and filter flags, which channels are shown, the
    // layout): a drag on the current channel rebuilds only its own.
    void BuildResponses(std::vector<ResponseCurve>& out);
    // Counts the builds of the other channels' responses; a new value means
    // they changed since the one before.
    uint64_t OtherResponsesBuilt() const { return m_otherBuilds; }

    // The client rectangle and the plot inside it.
    GraphRect m_rcClient;
    int m_nPlotLeft = 0, m_nPlotTop = 0, m_nPlotRight = 0, m_nPlotBottom = 0;
    int m_nStep5dB = 0;  // pixels per 5 dB
    int m_nZeroY = 0;    // the 0 dB line

    // Drag state (the mouse handlers).
    int m_nDragBand = -1;       // -1 none
    int m_nDragQHandle = 0;     // -1 left, 1 right, 0 none
    int m_nDragCrossover = -1;  // -1 none, 0 high-pass, 1 low-pass
    int m_nQHandleOffset = 0;

    CBezier m_bezier;  // the shape being drawn; the current channel's between paints
    int m_nSelBand = -1;

    // The current channel.
    double m_dBandGain[kGraphBands];  // dB
    int m_nBandFreq[kGraphBands];     // Hz
    double m_dBandQ[kGraphBands];
    uint8_t m_bPeq = 0;  // 1 parametric, 0 graphic
    int m_nHighPassFreq, m_nLowPassFreq;
    int m_nHighPassSlope, m_nLowPassSlope;  // dB/Oct, 0 off
    int m_nHighPassType, m_nLowPassType;    // 0 Butterworth, other Bessel
    int m_nSelCrossover = -1;               // -1 none, 0 high-pass, 1 low-pass
    int m_nFilterOff;                       // bit 0 high-pass off, bit 1 low-pass off
    bool m_bDragHook = false;

    // Every channel, [channel][band] like the model.
    double m_dChannelGain[kGraphChannels][kGraphBands];
    int m_nChannelFreq[kGraphChannels][kGraphBands];
    double m_dChannelQ[kGraphChannels][kGraphBands];
    int m_nChannelHighPassFreq[kGraphChannels], m_nChannelLowPassFreq[kGraphChannels];
    int m_nChannelHighPassSlope[kGraphChannels], m_nChannelLowPassSlope[kGraphChannels];
    int m_nChannelHighPassType[kGraphChannels], m_nChannelLowPassType[kGraphChannels];
    int m_nChannelFilterOff[kGraphChannels];

    // Readouts; the main dialog clears both directly when it feeds the graph.
    int m_nHoverBand = -1;
    int m_nHoverCrossover = -1;
    int m_nVisibleMask = 0;  // bit ch: channel ch drawn besides the current one
    int m_nCurChannel = 0;

protected:
    // Asks for a repaint; the widget maps it to its window's invalidation.
    virtual void RequestRedraw() {}

private:
    int MarkerX(int freq) const;
    void MakeBandPoints(int freq, double q, double gain, GraphPoint* pts) const;
    void MakeCrossoverPoints(int hpFreq, int lpFreq, int hpSlope, int lpSlope, int hpType, int lpType);

    // What the other channels' responses are made of, in key.
    void OtherResponsesKey(std::vector<double>& key) const;

    int m_screenDpi = 96;

    // The other channels' responses of the last build, the key they were
    // built from and the crossover points that build left in m_bezier.
    std::vector<ResponseCurve> m_otherCurves;
    std::vector<double> m_otherKey, m_keyScratch;
    GraphPoint m_otherLowCut[kCrossoverPoints] = {}, m_otherHighCut[kCrossoverPoints] = {};
    uint64_t m_otherBuilds = 0;
};
