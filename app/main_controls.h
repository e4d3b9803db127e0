// The main window's controls as its control families and the model see
// them: one view over the dialog's items (by the id tables of
// control_ids.h), sliders, selectors and graph, and the five families that
// work on it.
#pragma once

#include <array>

#include "app/control_ids.h"
#include "controls/channel_strips.h"
#include "controls/crossovers.h"
#include "controls/eq_bands.h"
#include "controls/item_ports.h"
#include "controls/links_curves.h"
#include "controls/routing.h"
#include "widgets/mycombobox.h"
#include "widgets/newsliderctrl.h"
#include "widgets/spectrum.h"

// A selector of the window as the crossovers see it.
class ComboPort final : public ISelector {
public:
    CMyComboBox* combo = nullptr;
    void AddItem(const std::wstring& text) override;
    void SetCurSel(int index) override { combo->SetCurSel(index); }
    int GetCurSel() const override { return combo->GetCurSel(); }
};

struct MainSelectors {
    CMyComboBox& hpType;
    CMyComboBox& hpSlope;
    CMyComboBox& lpType;
    CMyComboBox& lpSlope;
};

class MainControls final : public IChannelStripView,
                           public IEqBandView,
                           public ICrossoverView,
                           public ILinkCurveView,
                           public IRoutingView {
public:
    MainControls(CWnd& dlg, CSpectrum& graph, std::array<CNewSliderCtrl, kChannels>& gainSliders,
                 CNewSliderCtrl& masterSlider, std::array<CNewSliderCtrl, kBands>& bandSliders,
                 const MainSelectors& selectors, IDelayFields& delays);
    MainControls(const MainControls&) = delete;
    MainControls& operator=(const MainControls&) = delete;

    // A control by id as a text or edit field.
    DlgItemText& Item(int id) { return m_items.Text(id); }
    CWnd& Dialog() { return m_items.Dialog(); }
    CSpectrum& Spectrum() { return m_graph; }

    // IChannelStripView: channel strips and master volume.
    DlgItemText& GainField(int channel) override { return Item(g_gainEditId[channel]); }
    ISlider& GainSlider(int channel) override { return m_gainSliders[static_cast<size_t>(channel)]; }
    DlgItemText& MuteButton(int channel) override { return Item(g_muteButtonId[channel]); }
    ITextControl& PhaseButton(int channel) override { return Item(g_phaseButtonId[channel]); }
    IEditControl& DelayText(int channel) override { return Item(g_delayEditId[channel]); }
    IDelayFields& Delays() override { return m_delays; }
    int FocusedDelayChannel() override;
    DlgItemText& MasterVolumeField() override { return Item(IDC_SYSTEM_VOL); }
    ISlider& MasterSlider() override { return m_masterSlider; }
    DlgItemText& MasterMuteButton() override { return Item(IDC_SYS_MUTE); }
    void InvalidateChannelButton(int channel) override { m_items.Invalidate(g_channelButtonId[channel]); }
    void InvalidateDelayUnitButton(int channel) override { m_items.Invalidate(g_delayUnitButtonId[channel]); }

    // IEqBandView
    ITextControl& BandFreqField(int band) override { return Item(g_bandFreqEditId[band]); }
    ITextControl& BandGainField(int band) override { return Item(g_bandGainEditId[band]); }
    ITextControl& BandQField(int band) override { return Item(g_bandQEditId[band]); }
    ISlider& BandGainSlider(int band) override { return m_bandSliders[static_cast<size_t>(band)]; }
    void RepaintBypassButton(int band) override { m_items.Invalidate(g_bypassButtonId[band]); }
    void EnableFreqAndQFields(int band, bool enable) override;
    void RepaintModeButton() override { m_items.Invalidate(IDC_PEQ_MODE); }
    ISpectrum& Graph() override { return m_graph; }  // the crossovers' too
    void ClearGraphHover() override;
    bool AskYesNo(int stringId) override;

    // ICrossoverView
    ITextControl& HpFreqField() override { return Item(IDC_HP_FREQ); }
    ITextControl& LpFreqField() override { return Item(IDC_LP_FREQ); }
    ISelector& HpTypeSelector() override { return m_hpType; }
    ISelector& HpSlopeSelector() override { return m_hpSlope; }
    ISelector& LpTypeSelector() override { return m_lpType; }
    ISelector& LpSlopeSelector() override { return m_lpSlope; }

    // ILinkCurveView
    void InvalidateLinkButton(int channel) override { m_items.Invalidate(g_linkButtonId[channel]); }
    void InvalidateCurveButton(int channel) override { m_items.Invalidate(g_curveButtonId[channel]); }
    void InvalidateGraph() override { m_graph.Invalidate(TRUE); }

    // IRoutingView
    void InvalidateRouteButton(int output, int inputBit) override
    {
        m_items.Invalidate(g_routeButtonId[output][inputBit]);
    }

private:
    DlgItems m_items;
    CSpectrum& m_graph;
    IDelayFields& m_delays;
    std::array<SliderPort, kChannels> m_gainSliders;
    SliderPort m_masterSlider;
    std::array<SliderPort, kBands> m_bandSliders;
    ComboPort m_hpType, m_hpSlope, m_lpType, m_lpSlope;
};

// The families of like controls, each on its view of the window.
struct ControlFamilies {
    explicit ControlFamilies(MainControls& controls)
        : strips(controls), bands(controls), crossovers(controls), links(controls), routing(controls)
    {}
    ChannelStrips strips;
    EqBands bands;
    Crossovers crossovers;
    LinksAndCurves links;
    RoutingMatrix routing;
};
