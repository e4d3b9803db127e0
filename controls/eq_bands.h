// The 31 bands of the selected channel's equaliser: frequency, gain and Q
// fields, gain slider and bypass button per band, and the response graph
// that draws them.
#pragma once

#include "model/model_view.h"
#include "model/ports.h"

// What the bands need of the window. Bands are 0..30.
class IEqBandView {
public:
    virtual ITextControl& BandFreqField(int band) = 0;
    virtual ITextControl& BandGainField(int band) = 0;
    virtual ITextControl& BandQField(int band) = 0;
    virtual ISlider& BandGainSlider(int band) = 0;
    virtual void RepaintBypassButton(int band) = 0;
    virtual ISpectrum& Graph() = 0;
    // The graph shows no band's or crossover's readout.
    virtual void ClearGraphHover() = 0;

protected:
    ~IEqBandView() = default;
};

class EqBands {
public:
    explicit EqBands(IEqBandView& view) : m_view(view) {}

    // Rewrites the bands of g_selectedChannel: the three texts, the slider
    // (moved and repainted) and the bypass button of every band.
    void Refresh();
    // Hands the graph the selected channel and the equaliser and crossovers
    // of every channel, and rebuilds its curves (redrawn when redraw).
    void FeedGraph(bool redraw);

private:
    IEqBandView& m_view;
};
