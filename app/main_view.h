// The model's view of the main window: the strips, master controls, band
// gain fields and repaints it asks for, forwarded to the control families
// and the controls' view.
#pragma once

#include "app/main_controls.h"
#include "model/image_view.h"

class MainView final : public IImageView {
public:
    // speakerDistances: the delay calculator's twelve remembered distances.
    MainView(MainControls& controls, ControlFamilies& families, IDelayFields& delays, int* speakerDistances)
        : m_controls(controls), m_families(families), m_delays(delays), m_speakerDistances(speakerDistances)
    {}

    IDelayFields& DelayFields() override { return m_delays; }
    ITextControl& GainField(int channel) override { return m_controls.GainField(channel); }
    ISlider& GainSlider(int channel) override { return m_controls.GainSlider(channel); }
    ITextControl& MuteButton(int channel) override { return m_controls.MuteButton(channel); }
    void SetPhaseButtonCaption(int channel, int stringId) override;
    ITextControl& MasterVolumeField() override { return m_controls.MasterVolumeField(); }
    ISlider& MasterSlider() override { return m_controls.MasterSlider(); }
    ITextControl& MasterMuteButton() override { return m_controls.MasterMuteButton(); }
    IEditControl& BandGainFieldOfId(int controlId) override { return m_controls.Item(controlId); }
    void ClearSpeakerDistances() override;
    void InvalidateChannelButtons() override;
    void InvalidateLinkButton(int channel) override;
    void InvalidateLinkButtons() override;
    void InvalidateCurveButtons() override;
    void InvalidateRouteButton(int output, int inputBit) override;
    void RefreshEqControls() override;
    void FeedSpectrum(bool redraw) override;
    bool AskCopyQuestion(const std::wstring& fromLabel, const std::wstring& toLabel) override;
    int GetVisibleChannels() const override { return m_controls.Spectrum().GetVisibleChannels(); }
    void SetVisibleChannels(int mask) override { m_controls.Spectrum().SetVisibleChannels(mask); }

private:
    MainControls& m_controls;
    ControlFamilies& m_families;
    IDelayFields& m_delays;
    int* m_speakerDistances;
};
