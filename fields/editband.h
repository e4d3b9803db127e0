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
class BandFieldGrid;

enum class BandRowKind { Freq = 0, Q = 1, Gain = 2 };  // top to bottom
constexpr int kBandRows = 3;

class EditBandField : public EditField {
public:
    int GetBand() const { return m_band; }
    BandRowKind GetRow() const { return m_row; }
    void SetGrid(const BandFieldGrid* grid) { m_grid = grid; }

    // The text of the stored value of the selected channel.
    std::wstring ValueText() const;
    void UpdateText() { SetWindowText(ValueText()); }

protected:
    EditBandField(BandRowKind row, int band) : m_row(row), m_band(band) {}

    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void Navigate(UINT key) override;

    // The row's slider moves with the value (the gain row's band slider).
    virtual void MoveSlider() {}

private:
    BandRowKind m_row;
    int m_band;  // 0..30
    const BandFieldGrid* m_grid = nullptr;
};

class EditBandFreq : public EditBandField {
protected:
    explicit EditBandFreq(int band) : EditBandField(BandRowKind::Freq, band) {}
};

class EditBandQ : public EditBandField {
protected:
    explicit EditBandQ(int band) : EditBandField(BandRowKind::Q, band) {}
};

class EditBandGain : public EditBandField {
public:
    // The band's gain slider, moved after each change of the band gain.
    void SetSlider(CSliderCtrl* slider) { m_pSlider = slider; }
    CSliderCtrl* GetSlider() const { return m_pSlider; }

protected:
    explicit EditBandGain(int band) : EditBandField(BandRowKind::Gain, band) {}
    void MoveSlider() override;

private:
    CSliderCtrl* m_pSlider = nullptr;
};

template <int N>
class CEditFre : public EditBandFreq {
public:
    CEditFre() : EditBandFreq(N - 1) {}
};
template <int N>
class CEditQ : public EditBandQ {
public:
    CEditQ() : EditBandQ(N - 1) {}
};
template <int N>
class CEditFreqGain : public EditBandGain {
public:
    CEditFreqGain() : EditBandGain(N - 1) {}
};

// The three rows of band fields, each field by row and band; every field
// of the rows finds its navigation targets here.
class BandFieldGrid {
public:
    // Rows indexed by band 0..30 (BandRow or an array of fields).
    template <class FreqRow, class QRow, class GainRow>
    BandFieldGrid(FreqRow& freq, QRow& q, GainRow& gain)
    {
        for (int b = 0; b < kBands; ++b) {
            Put(BandRowKind::Freq, b, freq[b]);
            Put(BandRowKind::Q, b, q[b]);
            Put(BandRowKind::Gain, b, gain[b]);
        }
    }
    BandFieldGrid(const BandFieldGrid&) = delete;
    BandFieldGrid& operator=(const BandFieldGrid&) = delete;

    EditBandField& Field(BandRowKind row, int band) const { return *m_fields[static_cast<int>(row)][band]; }

private:
    void Put(BandRowKind row, int band, EditBandField& field)
    {
        m_fields[static_cast<int>(row)][band] = &field;
        field.SetGrid(this);
    }

    EditBandField* m_fields[kBandRows][kBands] = {};
};
