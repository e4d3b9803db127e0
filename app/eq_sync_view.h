// The main window's side of the graph's sync tick.
#pragma once

#include "app/main_controls.h"
#include "link/eq_sync.h"

class EqSyncView final : public IEqSyncView {
public:
    explicit EqSyncView(MainControls& controls) : m_controls(controls) {}
    ISpectrum& Graph() override { return m_controls.Graph(); }
    void InvalidateGraph() override { m_controls.InvalidateGraph(); }
    ITextControl& EqFreqField(int band) override { return m_controls.BandFreqField(band); }
    ITextControl& EqQField(int band) override { return m_controls.BandQField(band); }
    ITextControl& EqGainField(int band) override { return m_controls.BandGainField(band); }
    ISlider& EqGainSlider(int band) override { return m_controls.BandGainSlider(band); }
    void RepaintBypassButton(int band) override { m_controls.RepaintBypassButton(band); }
    ITextControl& HpFreqField() override { return m_controls.HpFreqField(); }
    ITextControl& LpFreqField() override { return m_controls.LpFreqField(); }

private:
    MainControls& m_controls;
};
