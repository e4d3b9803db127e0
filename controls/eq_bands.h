// The 31 bands of the selected channel's equaliser: frequency, gain and Q
// fields, gain slider and bypass button per band, the mode, BypassEQ and
// reset buttons, and the response graph that draws them.
#pragma once

#include "model/model_view.h"
#include "model/ports.h"

// What the bands need of the window. Bands are 0..30.
class IEqBandView {
public:
    virtual ITextControl& BandFreqField(int band) = 0;
    virtual ITextControl& BandGainField(int band) = 0;
    virtual ITextControl& BandQField(int band) = 0;
    virtual ISlider& BandGainSlider(int band) = 0;
    virtual void RepaintBypassButton(int band) = 0;
    // Enables or disables the band's frequency and Q fields.
    virtual void EnableFreqAndQFields(int band, bool enable) = 0;
    virtual void RepaintModeButton() = 0;
    virtual ISpectrum& Graph() = 0;
    // The graph shows no band's or crossover's readout.
    virtual void ClearGraphHover() = 0;
    // The string's question in a Yes/No box (caption g_msgCaption, the
    // exclamation icon, g_languageId); true only for Yes.
    virtual bool AskYesNo(int stringId) = 0;

protected:
    ~IEqBandView() = default;
};

class EqBands {
public:
    explicit EqBands(IEqBandView& view) : m_view(view) {}

    // Rewrites the bands of g_selectedChannel: the three texts, the slider
    // (moved and repainted) and the bypass button of every band.
    void Refresh();
    // Hands the graph the selected channel, the equaliser and crossovers of
    // every channel and the mode, and rebuilds its curves (redrawn when
    // redraw).
    void FeedGraph(bool redraw);

    // A field of the band took the focus: the graph selects the band.
    void SelectBand(int band);
    // A field lost the focus: what is left in it is committed. A rejected
    // text (or, for the frequency, the stored value) gives way to the
    // stored value's text; an accepted frequency stays as typed, an
    // accepted gain moves the slider; gain and Q are always rewritten.
    void CommitFreq(int band);
    void CommitGain(int band);
    void CommitQ(int band);

    // The band's bypass button: between 0 dB and the kept gain, for the
    // channel and its link group or bridged partner; the band's text and
    // slider follow and the graph selects it.
    void ToggleBypass(int band);
    // BypassEQ (ToggleBypassAllBands), then the bands and the graph follow.
    void ToggleBypassEq();
    // ResetEQ and ResetAll after their question (nothing on No).
    void ResetEqAfterQuestion();
    void ResetAllAfterQuestion(IModelView& model);

    // GEQ (false) or PEQ (true): the frequency and Q fields are enabled
    // only in PEQ, and the graph drags frequency and Q only then.
    bool PeqMode() const { return m_bPeqMode; }
    void TogglePeqMode();
    void ApplyPeqMode();
    // The mode button's caption (the window's painting asks): IDS_MODE_PEQ
    // or IDS_MODE_GEQ.
    int ModeCaptionId() const;

    // What a bypass button shows (the window's painting asks): the band of
    // g_selectedChannel is at 0 dB.
    static bool IsAtZeroDb(int band);

private:
    IEqBandView& m_view;
    bool m_bPeqMode = true;
};
