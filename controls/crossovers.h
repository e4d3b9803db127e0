// The selected channel's two crossover filters: the high-pass and low-pass
// frequency fields and the type and slope selectors of each.
#pragma once

#include <string>

#include "model/model_view.h"
#include "model/ports.h"

// A fixed drop-down list whose item index is the model value it stands for.
class ISelector {
public:
    virtual void AddItem(const std::wstring& text) = 0;
    // An index without an item leaves no selection.
    virtual void SetCurSel(int index) = 0;
    virtual int GetCurSel() const = 0;

protected:
    ~ISelector() = default;
};

// What the crossovers need of the window.
class ICrossoverView {
public:
    virtual ITextControl& HpFreqField() = 0;
    virtual ITextControl& LpFreqField() = 0;
    virtual ISelector& HpTypeSelector() = 0;
    virtual ISelector& HpSlopeSelector() = 0;
    virtual ISelector& LpTypeSelector() = 0;
    virtual ISelector& LpSlopeSelector() = 0;
    virtual ISpectrum& Graph() = 0;

protected:
    ~ICrossoverView() = default;
};

class Crossovers {
public:
    explicit Crossovers(ICrossoverView& view) : m_view(view) {}

    // The selectors' items, once at start, none selected: the types
    // Butterworth and Bessel, the slopes 6..48 dB/Oct and off.
    void FillSelectors();
    // Shows the crossovers of g_selectedChannel: the four selections and
    // both frequencies as plain numbers.
    void Refresh();

    // The user chose an item of a selector: the selected channel's value
    // takes its index and spreads to the link group, else to the bridged
    // partner; the graph gets every channel's crossovers, fills the edited
    // filter and redraws the selected channel's. A selector without a
    // selection changes nothing.
    enum class Selector { HpType, HpSlope, LpType, LpSlope };
    void OnSelChange(Selector which);
    // A frequency field lost the focus: an accepted new value stays as typed
    // (stored and spread); anything else gives way to the stored value.
    void CommitHpFreq();
    void CommitLpFreq();

private:
    ICrossoverView& m_view;
};
