// Channel gain fields (and, with a source bit, mixer cells).
#pragma once

#include <cstdint>

#include "platform/controls.h"

class CEditGain : public CEdit {
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

    int m_nChannel = 0;
    uint32_t m_nSourceBit = 0;
};

// CH1..CH6 have their channel fixed.
template <int Channel>
class CEditGainFixed : public CEditGain {
public:
    CEditGainFixed() : CEditGain(Channel) {}
};

class CEditGainFL : public CEditGainFixed<0> {};
class CEditGainFR : public CEditGainFixed<1> {};
class CEditGainRL : public CEditGainFixed<2> {};
class CEditGainRR : public CEditGainFixed<3> {};
class CEditGainCenter : public CEditGainFixed<4> {};
class CEditGainSubwoofer : public CEditGainFixed<5> {};
