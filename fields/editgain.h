// Channel gain fields and, with an input-source bit, the input mixer's
// cells. The field steps the model itself and leaves the rest to its owner
// (the main window for a channel gain, the parent dialog for a mixer cell):
// WM_EDIT_STEP (channel, source bit) after a step that changed the value,
// WM_EDIT_COMMIT (channel, source bit) on Enter and, for a mixer cell, on
// focus loss, WM_EDIT_NAVIGATE (key, 0) for Left and Right and, in a mixer
// cell, Page Up and Page Down. The owner formats and parses the text.
#pragma once

#include <cstdint>

#include "fields/editfield.h"

class CEditGain : public EditField {
public:
    CEditGain() = default;
    // The output channel 0..11 and the input-source bit (0 for a channel gain).
    void SetChannel(int channel, uint32_t sourceBit)
    {
        m_nChannel = channel;
        m_nSourceBit = sourceBit;
    }
    int GetChannel() const { return m_nChannel; }
    uint32_t GetSourceBit() const { return m_nSourceBit; }

protected:
    explicit CEditGain(int channel) : m_nChannel(channel) {}

    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void Navigate(UINT key) override;
    void OnFocusLost() override;

private:
    bool IsMixerCell() const { return m_nSourceBit != 0; }
    CWnd* Owner() const;
    void Tell(UINT message, WPARAM wParam);

    int m_nChannel = 0;
    uint32_t m_nSourceBit = 0;
};

// CH1..CH6 have their channel fixed.
template <int Channel>
class EditGainFixed : public CEditGain {
public:
    EditGainFixed() : CEditGain(Channel) {}
};

class CEditGainFL : public EditGainFixed<0> {};
class CEditGainFR : public EditGainFixed<1> {};
class CEditGainRL : public EditGainFixed<2> {};
class CEditGainRR : public EditGainFixed<3> {};
class CEditGainCenter : public EditGainFixed<4> {};
class CEditGainSubwoofer : public EditGainFixed<5> {};
