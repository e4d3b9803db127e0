// The IDT_EQ_SYNC tick: keeps the response graph and the selected channel's
// equaliser and crossovers in step, both ways. A model value that differs
// from its graph copy (g_graphEq*, g_graphHpFreq, g_graphLpFreq) was edited
// in the model and is pushed into the graph; a graph value that differs from
// the model was dragged and is pulled into the model, spread to the linked
// or bridged channels and shown in the main window's fields.
#pragma once

#include <string>

#include "model/model_view.h"
#include "model/ports.h"

// What the tick needs of the main window. Bands are 0..30 (field n = band + 1).
class IEqSyncView {
public:
    virtual ISpectrum& Graph() = 0;
    // Repaints the whole graph (with erase).
    virtual void InvalidateGraph() = 0;
    virtual ITextControl& EqFreqField(int band) = 0;  // IDC_FRE_BAND<n>
    virtual ITextControl& EqQField(int band) = 0;     // IDC_Q_BAND<n>
    virtual ITextControl& EqGainField(int band) = 0;  // IDC_FREQGAIN_BAND<n>
    virtual ISlider& EqGainSlider(int band) = 0;      // m_sliderFreqGain<n>
    virtual void RepaintBypassButton(int band) = 0;   // IDC_BYPASS_BAND<n>
    virtual ITextControl& HpFreqField() = 0;          // IDC_HP_FREQ
    virtual ITextControl& LpFreqField() = 0;          // IDC_LP_FREQ

protected:
    ~IEqSyncView() = default;
};

// What one tick did.
enum class EqSyncResult {
    Idle,             // nothing to push, nothing dragged
    PushedQ,          // model Qs into the graph (tick ended there)
    PushedFreq,       // model frequencies into the graph (tick ended there)
    PushedGain,       // model gain codes into the graph (tick ended there)
    PushedCrossover,  // a model cut frequency into the graph; nothing dragged
    Pulled,           // graph values taken into the model (perhaps after a crossover push)
};

// One tick for g_selectedChannel, run by the main dialog every 120 ms.
EqSyncResult RunEqSyncTick(IEqSyncView& view);
