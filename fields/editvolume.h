// The master volume field and the two crossover frequency fields.
#pragma once

#include "platform/controls.h"

class CEditSystemVol : public CEdit {
public:
    // The master slider and mute button the field keeps in step.
    void SetControls(CSliderCtrl* slider, CButton* muteButton)
    {
        m_pSlider = slider;
        m_pMuteButton = muteButton;
    }
    CSliderCtrl* GetSlider() const { return m_pSlider; }
    CButton* GetMuteButton() const { return m_pMuteButton; }

private:
    CSliderCtrl* m_pSlider = nullptr;
    CButton* m_pMuteButton = nullptr;
};

// Crossover frequency fields: kind 1 high-pass, 2 low-pass (as the parser counts them).
class CEditCutFreq : public CEdit {
public:
    int GetKind() const { return m_nKind; }

protected:
    explicit CEditCutFreq(int kind) : m_nKind(kind) {}
    int m_nKind;
};

class CEidtLowCutFreq : public CEditCutFreq {
public:
    CEidtLowCutFreq() : CEditCutFreq(1) {}
};
class CEditHighCutFreq : public CEditCutFreq {
public:
    CEditHighCutFreq() : CEditCutFreq(2) {}
};
