// The narrow views the model has of the window: the delay fields that hold
// each channel's delay, the response graph, and the sliders it moves.
// The main dialog, the graph widget and the entry fields implement them.
#pragma once

// Each channel's delay (48 kHz samples) lives in its delay entry field; the
// model reads and writes it here and keeps no copy of its own.
class IDelayFields {
public:
    virtual int GetValue(int channel) const = 0;
    // Stores the count unchecked and rewrites the field's text in the current unit.
    virtual void SetValue(int channel, int samples) = 0;
    virtual int* GetValueRef(int channel) = 0;
    // Rewrites the text from the stored count.
    virtual void UpdateText(int channel) = 0;

protected:
    ~IDelayFields() = default;
};

// A trackbar whose position is the model value it shows.
class ISlider {
public:
    virtual int GetPos() const = 0;
    virtual void SetPos(int pos) = 0;
    virtual void Invalidate() = 0;

protected:
    ~ISlider() = default;
};

// The response graph's data side, as the model and the window call it.
class ISpectrum {
public:
    virtual void SetBandQs(const double* qs, int count) = 0;
    virtual void SetBandFreqs(const int* freqs, int count) = 0;
    virtual void SetBandGains(const int* codes, int count) = 0;
    virtual void SetChannelQs(const double* qs, int count) = 0;
    virtual void SetChannelFreqs(const int* freqs, int count) = 0;
    virtual void SetChannelGains(const int* codes, int count) = 0;
    virtual const int* GetBandFreqs() const = 0;
    virtual const double* GetBandGains() const = 0;
    virtual const double* GetBandQs() const = 0;
    virtual int GetHighPassFreq() const = 0;
    virtual int GetLowPassFreq() const = 0;
    virtual void SetCrossover(int hpFreq, int lpFreq, int hpSlope, int lpSlope, int hpType, int lpType, int redraw) = 0;
    virtual void SetChannelCrossovers(const int* hpFreq, const int* lpFreq, const int* hpSlope, const int* lpSlope,
                                      const int* hpType, const int* lpType) = 0;
    virtual void SetCurrentChannel(int channel, int redraw) = 0;
    virtual bool SelectBand(int band) = 0;
    virtual void SelectCrossover(int which) = 0;
    virtual void UpdateBandPoints(int redraw, int band) = 0;
    virtual void SetPeqMode(int peq) = 0;
    virtual int GetVisibleChannels() const = 0;
    virtual void SetVisibleChannels(int mask) = 0;
    virtual int ToggleChannelVisible(int channel) = 0;

protected:
    ~ISpectrum() = default;
};
