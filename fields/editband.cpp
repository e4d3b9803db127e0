#include "fields/editband.h"

#include "fields/field_messages.h"
#include "model/value_kinds.h"

namespace {

// What differs between the rows besides their value kind.
struct BandRowPolicy {
    bool keepsAcceptedText;  // an accepted Enter leaves the text as typed
};

// clang-format off
constexpr BandRowPolicy kRowPolicy[kBandRows] = {
    {true},   // frequency: "00500" stays until the next rewrite
    {false},  // Q: the two-decimal form at once
    {false},  // gain: the one-decimal form at once
};
// clang-format on

// The row's value kind for a band, applied to f.
template <class F>
auto WithKind(BandRowKind row, int band, F&& f)
{
    switch (row) {
    case BandRowKind::Q: {
        BandQKind kind(band);
        return f(kind);
    }
    case BandRowKind::Gain: {
        BandGainKind kind(band);
        return f(kind);
    }
    default: {
        BandFreqKind kind(band);
        return f(kind);
    }
    }
}

}  // namespace

std::wstring EditBandField::ValueText() const
{
    return WithKind(m_row, m_band, [](auto& kind) { return kind.Format(); });
}

bool EditBandField::StepValue(StepDirection direction)
{
    return WithKind(m_row, m_band, [direction](auto& kind) { return kind.Step(direction); });
}

void EditBandField::ShowStep(bool)
{
    UpdateText();
    MoveSlider();
}

void EditBandField::CommitEnter()
{
    const std::wstring text = GetWindowTextString();
    const bool accepted = WithKind(m_row, m_band, [&text](auto& kind) { return kind.Commit(text); });
    if (accepted) MoveSlider();
    if (!accepted || !kRowPolicy[static_cast<int>(m_row)].keepsAcceptedText) UpdateText();
    SelectAll();
}

void EditBandField::Navigate(UINT key)
{
    if (!m_grid) return;
    int row = static_cast<int>(m_row);
    int band = m_band;
    switch (key) {
    case VK_RIGHT: band = (band + 1) % kBands; break;
    case VK_LEFT: band = (band + kBands - 1) % kBands; break;
    case VK_NEXT: row = (row + 1) % kBandRows; break;
    case VK_PRIOR: row = (row + kBandRows - 1) % kBandRows; break;
    default: return;
    }
    EditBandField& target = m_grid->Field(static_cast<BandRowKind>(row), band);
    if (target.m_hWnd) target.SendMessage(WM_EDIT_NAVIGATE, 0, 0);
}

void EditBandGain::MoveSlider()
{
    if (m_pSlider && m_pSlider->m_hWnd) m_pSlider->SetPos(BandGainKind(GetBand()).Value());
}
