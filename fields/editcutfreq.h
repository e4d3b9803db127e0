// The crossover cut-frequency fields of the selected channel: the high-pass
// filter's (the low cut, CEidtLowCutFreq) and the low-pass filter's (the
// high cut, CEditHighCutFreq), whole Hz 20..20000, stepped by 1 Hz. An
// accepted Enter leaves the text as typed; a rejected one gives way to the
// stored value's text, selected. Left and Right hand the focus to the
// partner field, if the owner gave one.
#pragma once

#include <string>

#include "fields/editfield.h"

class CEditCutFreq : public CEditField {
public:
    int GetKind() const { return m_nKind; }  // 1 high-pass, 2 low-pass, as the parser counts them
    void SetPartner(CEditCutFreq* partner) { m_pPartner = partner; }

    std::wstring ValueText() const;
    void UpdateText() { SetWindowText(ValueText()); }

protected:
    explicit CEditCutFreq(int kind) : m_nKind(kind) {}

    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void Navigate(UINT key) override;

private:
    int m_nKind;
    CEditCutFreq* m_pPartner = nullptr;
};

class CEidtLowCutFreq : public CEditCutFreq {
public:
    CEidtLowCutFreq() : CEditCutFreq(1) {}
};
class CEditHighCutFreq : public CEditCutFreq {
public:
    CEditHighCutFreq() : CEditCutFreq(2) {}
};
