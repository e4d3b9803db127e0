// Channel delay fields. Each one holds its channel's delay (48 kHz samples,
// 0..599): the model keeps no other copy. Shown in milliseconds, or in
// centimetres while g_delayInCm is set.
//
// A main-window field tells the main window of every change it makes
// itself (WM_DELAY_CHANGED (0, 0); the main window takes the focused field
// as the sender) and hands Left and Right to it (WM_EDIT_NAVIGATE with the
// key) for the ring of the twelve delay fields. The delay calculator's
// distance field (CEditDelayCale) is the same field always in centimetres,
// without messages and without navigation.
#pragma once

#include "fields/editfield.h"
#include "model/ports.h"

class CEditDelay : public EditField {
public:
    CEditDelay() = default;

    int GetValue() const { return m_nValue; }
    int* GetValueRef() { return &m_nValue; }
    // Stores the count unchecked and rewrites the text in the current unit.
    void SetValue(int samples);
    // Rewrites the text from the stored count.
    void UpdateText();

    int m_nValue = 0;

protected:
    explicit CEditDelay(bool distance) : m_distance(distance) {}

    bool StepValue(StepDirection direction) override;
    void ShowStep(bool byWheel) override;
    void CommitEnter() override;
    void Navigate(UINT key) override;

private:
    void NotifyChanged();

    bool m_distance = false;  // the calculator's distance field
};

// The delay fields of CH1..CH6 take a second argument they ignore.
class EditDelayNamed : public CEditDelay {
public:
    using CEditDelay::SetValue;
    void SetValue(int samples, int /*unused*/) { CEditDelay::SetValue(samples); }
};

class CEditDelayFL : public EditDelayNamed {};
class CEditDelayFR : public EditDelayNamed {};
class CEditDelayRL : public EditDelayNamed {};
class CEditDelayRR : public EditDelayNamed {};
class CEditDelayCenter : public EditDelayNamed {};
class CEditDelaySubwoofer : public EditDelayNamed {};

// A distance of the delay calculator, on the delay's sample grid.
class CEditDelayCale : public CEditDelay {
public:
    CEditDelayCale() : CEditDelay(true) {}
};

// The twelve delay fields as the model sees them, by channel.
class DelayFieldSet final : public IDelayFields {
public:
    void Attach(int channel, CEditDelay* field) { m_fields[channel] = field; }
    CEditDelay& Field(int channel) const { return *m_fields[channel]; }

    int GetValue(int channel) const override { return m_fields[channel]->GetValue(); }
    void SetValue(int channel, int samples) override { m_fields[channel]->SetValue(samples); }
    int* GetValueRef(int channel) override { return m_fields[channel]->GetValueRef(); }
    void UpdateText(int channel) override { m_fields[channel]->UpdateText(); }

private:
    CEditDelay* m_fields[12] = {};
};
