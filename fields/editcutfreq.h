// The crossover cut-frequency fields of the selected channel: the high-pass
// filter's (the low cut, CEidtLowCutFreq) and the low-pass filter's (the
// high cut, CEditHighCutFreq), whole Hz 20..20000, stepped by 1 Hz. An
// accepted Enter leaves the text as typed; a rejected one gives way to the
// stored value's text, selected. Left and Right hand the focus to the
// partner field, if the owner gave one.
#pragma once

#include <string>

#include "fields/editfield.h"

class EditCutFreq : public EditField {
public:
    int GetKind() const { return m_kind; }  // 1 high-pass, 2 low-pass, as the parser counts them
    void SetPartner(EditCutFreq* partner) { m_partner = partner; }

    std::wstring ValueText() const;
    void UpdateText() { SetWindowText(ValueText()); }

protected:
    explicit EditCutFreq(int kind) : m_kind(kind) {}

    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void Navigate(UINT key) override;

private:
    int m_kind;
    EditCutFreq* m_partner = nullptr;
};

class CEidtLowCutFreq : public EditCutFreq {
public:
    CEidtLowCutFreq() : EditCutFreq(1) {}
};
class CEditHighCutFreq : public EditCutFreq {
public:
    CEditHighCutFreq() : EditCutFreq(2) {}
};
