// The selected channel's two crossover filters: the high-pass and low-pass
// frequency fields and the type and slope selectors of each.
#pragma once

#include <string>

#include "model/model_view.h"

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

private:
    ICrossoverView& m_view;
};
