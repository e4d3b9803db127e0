// The band fields of the 31 bands: frequency, gain and Q. One class per
// kind; CEditFre<n>, CEditFreqGain<n> and CEditQ<n> name its instances.
#pragma once

#include "platform/controls.h"

class CSliderCtrl;

class CEditBandField : public CEdit {
public:
    int GetBand() const { return m_nBand; }

protected:
    explicit CEditBandField(int band) : m_nBand(band) {}
    int m_nBand;  // 0..30
};

class CEditBandFreq : public CEditBandField {
protected:
    using CEditBandField::CEditBandField;
};

class CEditBandGain : public CEditBandField {
public:
    // The band's gain slider, moved after each change of the band gain.
    void SetSlider(CSliderCtrl* slider) { m_pSlider = slider; }
    CSliderCtrl* GetSlider() const { return m_pSlider; }

protected:
    using CEditBandField::CEditBandField;
    CSliderCtrl* m_pSlider = nullptr;
};

class CEditBandQ : public CEditBandField {
protected:
    using CEditBandField::CEditBandField;
};

template <int N>
class CEditFre : public CEditBandFreq {
public:
    CEditFre() : CEditBandFreq(N - 1) {}
};
template <int N>
class CEditFreqGain : public CEditBandGain {
public:
    CEditFreqGain() : CEditBandGain(N - 1) {}
};
template <int N>
class CEditQ : public CEditBandQ {
public:
    CEditQ() : CEditBandQ(N - 1) {}
};
