// A graph data object laid out like the main window's graph, counting the
// repaints it asks for.
#pragma once

#include "widgets/spectrumdata.h"

class TestGraph : public SpectrumData {
public:
    explicit TestGraph(int dpi = 96, GraphRect rc = {0, 0, 1000, 300})
    {
        SetScreenDpi(dpi);
        SetPlotRect(rc.left, rc.top, rc.right, rc.bottom);
    }

    // One band of the current channel; every other band flat.
    void OnlyBand(int band, int freq, double q, int gainCode)
    {
        int freqs[kGraphBands], codes[kGraphBands];
        double qs[kGraphBands];
        for (int b = 0; b < kGraphBands; ++b) {
            freqs[b] = 1000;
            codes[b] = 150;
            qs[b] = 4.32;
        }
        freqs[band] = freq;
        codes[band] = gainCode;
        qs[band] = q;
        SetBandQs(qs, kGraphBands);
        SetBandFreqs(freqs, kGraphBands);
        SetBandGains(codes, kGraphBands);
        UpdateBandPoints(0, kAllBands);
    }

    int redraws = 0;

protected:
    void RequestRedraw() override { ++redraws; }
};
