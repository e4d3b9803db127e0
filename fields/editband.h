// The band fields of the 31 bands: one class over three rows, frequency on
// top, Q in the middle, gain at the bottom. The row is the field's small
// policy: which value kind it shows and steps, whether an accepted Enter
// leaves the typed text, and whether a change moves the band's slider.
// CEditFre<n>, CEditQ<n> and CEditFreqGain<n> name its instances.
//
// Left and Right move along the row (band 31 wraps to band 1 and back);
// Page Down moves down the band's column (frequency, Q, gain, frequency),
// Page Up up it. The move is WM_EDIT_NAVIGATE (0, 0) sent to the target
// field, which the grid of the three rows finds.
#pragma once

#include <string>

#include "fields/editfield.h"
#include "model/params.h"

class CSliderCtrl;
class CBandFieldGrid;

enum class BandRowKind { Freq = 0, Q = 1, Gain = 2 };  // top to bottom
constexpr int kBandRows = 3;

class CEditBandField : public CEditField {
public:
    int GetBand() const { return m_nBand; }
    BandRowKind GetRow() const { return m_row; }
    void SetGrid(const CBandFieldGrid* grid) { m_pGrid = grid; }

    // The text of the stored value of the selected channel.
    std::wstring ValueText() const;
    void UpdateText() { SetWindowText(ValueText()); }

protected:
    CEditBandField(BandRowKind row, int band) : m_row(row), m_nBand(band) {}

    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void Navigate(UINT key) override;

    // The row's slider moves with the value (the gain row's band slider).
    virtual void MoveSlider() {}

private:
    BandRowKind m_row;
    int m_nBand;  // 0..30
    const CBandFieldGrid* m_pGrid = nullptr;
};

class CEditBandFreq : public CEditBandField {
protected:
    explicit CEditBandFreq(int band) : CEditBandField(BandRowKind::Freq, band) {}
};

class CEditBandQ : public CEditBandField {
protected:
    explicit CEditBandQ(int band) : CEditBandField(BandRowKind::Q, band) {}
};

class CEditBandGain : public CEditBandField {
public:
    // The band's gain slider, moved after each change of the band gain.
    void SetSlider(CSliderCtrl* slider) { m_pSlider = slider; }
    CSliderCtrl* GetSlider() const { return m_pSlider; }

protected:
    explicit CEditBandGain(int band) : CEditBandField(BandRowKind::Gain, band) {}
    void MoveSlider() override;

private:
    CSliderCtrl* m_pSlider = nullptr;
};

template <int N>
class CEditFre : public CEditBandFreq {
public:
    CEditFre() : CEditBandFreq(N - 1) {}
};
template <int N>
class CEditQ : public CEditBandQ {
public:
    CEditQ() : CEditBandQ(N - 1) {}
};
template <int N>
class CEditFreqGain : public CEditBandGain {
public:
    CEditFreqGain() : CEditBandGain(N - 1) {}
};

// The three rows of band fields, each field by row and band; every field
// of the rows finds its navigation targets here.
class CBandFieldGrid {
public:
    // Rows indexed by band 0..30 (BandRow or an array of fields).
    template <class FreqRow, class QRow, class GainRow>
    CBandFieldGrid(FreqRow& freq, QRow& q, GainRow& gain)
    {
        for (int b = 0; b < kBands; ++b) {
            Put(BandRowKind::Freq, b, freq[b]);
            Put(BandRowKind::Q, b, q[b]);
            Put(BandRowKind::Gain, b, gain[b]);
        }
    }
    CBandFieldGrid(const CBandFieldGrid&) = delete;
    CBandFieldGrid& operator=(const CBandFieldGrid&) = delete;

    CEditBandField& Field(BandRowKind row, int band) const { return *m_fields[static_cast<int>(row)][band]; }

private:
    void Put(BandRowKind row, int band, CEditBandField& field)
    {
        m_fields[static_cast<int>(row)][band] = &field;
        field.SetGrid(this);
    }

    CEditBandField* m_fields[kBandRows][kBands] = {};
};
