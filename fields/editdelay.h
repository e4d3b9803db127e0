// Channel delay fields. Each one holds its channel's delay (48 kHz samples):
// the model keeps no other copy.
#pragma once

#include "model/ports.h"
#include "platform/controls.h"

class CEditDelay : public CEdit {
public:
    CEditDelay() = default;

    int GetValue() const { return m_nValue; }
    int* GetValueRef() { return &m_nValue; }
    // Stores the count unchecked and rewrites the text in the current unit.
    void SetValue(int samples);
    // Rewrites the text from the stored count.
    void UpdateText();

    int m_nValue = 0;
};

// The delay fields of CH1..CH6 take a second argument they ignore.
class CEditDelayNamed : public CEditDelay {
public:
    using CEditDelay::SetValue;
    void SetValue(int samples, int /*unused*/) { CEditDelay::SetValue(samples); }
};

class CEditDelayFL : public CEditDelayNamed {};
class CEditDelayFR : public CEditDelayNamed {};
class CEditDelayRL : public CEditDelayNamed {};
class CEditDelayRR : public CEditDelayNamed {};
class CEditDelayCenter : public CEditDelayNamed {};
class CEditDelaySubwoofer : public CEditDelayNamed {};

// The twelve delay fields as the model sees them, by channel.
class CDelayFieldSet final : public IDelayFields {
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
