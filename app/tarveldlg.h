// The main window: its controls, start-up, frame, and the handlers of the
// device images and small device messages.
#pragma once

#include <array>
#include <map>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "fields/bandrow.h"
#include "fields/editband.h"
#include "fields/editdelay.h"
#include "fields/editgain.h"
#include "fields/editvolume.h"
#include "link/eq_sync.h"
#include "link/sync_timers.h"
#include "link/tcp_link.h"
#include "link/ui_port.h"
#include "model/image_view.h"
#include "platform/platform.h"
#include "widgets/mycombobox.h"
#include "widgets/newsliderctrl.h"
#include "widgets/spectrum.h"

class HidLink;
class IHidBackend;

// The graph's timer; the link's timers are in link/sync_timers.h.
constexpr UINT_PTR IDT_EQ_SYNC = 7;
constexpr UINT IDT_EQ_SYNC_MS = 120;

extern const wchar_t* const kAppVersion;  // "K417R_210903V1"

// A device string as text: its bytes (the system code page, single-byte
// here) up to the first zero, at most n.
std::wstring FromSystemCodePage(const char* bytes, size_t n);


// How the main dialog reaches the device; the program uses the system's
// HID devices and the device's TCP address, tests give their own.
struct LinkSetup {
    IHidBackend* hidBackend = nullptr;  // nullptr: the hidraw backend
    TcpLinkOptions tcp;
    bool startLink = true;
};
void SetLinkSetupForTests(const LinkSetup* setup);

class CTarvelDlg;

// The dialog's side of the synchronisation timers.
class CSyncHost final : public ISyncHost {
public:
    explicit CSyncHost(CTarvelDlg& dlg) : m_dlg(dlg) {}
    void SetTimer(UINT_PTR id, UINT elapseMs) override;
    void KillTimer(UINT_PTR id) override;
    int TcpLinkState() const override;
    void RunProgressModal() override;
    void ShowStringBox(int stringId) override;
    void PostToSelf(UINT msg, WPARAM wParam, LPARAM lParam) override;
    IDelayFields& DelayFields() override;
    int VisibleChannels() const override;
    void UpdateSaveModeLabel() override;
    void UpdateCurrentModeLabel() override;
    void UpdateSourceLabel() override;
    void RepaintSourceLabels() override;
    void DrawWifiPic() override {}
    void DrawUsbPic() override {}

private:
    CTarvelDlg& m_dlg;
};

// A control of the main dialog by id, seen as a text or an edit field.
class CDlgItemText final : public IEditControl {
public:
    CWnd* dlg = nullptr;
    int id = 0;
    std::wstring GetText() const override;
    void SetText(const std::wstring& text) override;
    void SelectAll() override;
    void SetFocus() override;
};

// A trackbar seen as the model's slider.
class CSliderPort final : public ISlider {
public:
    CSliderCtrl* slider = nullptr;
    int GetPos() const override { return slider->GetPos(); }
    void SetPos(int pos) override { slider->SetPos(pos); }
    void Invalidate() override { slider->Invalidate(TRUE); }
};

// The dialog's side of the graph's sync tick.
class CEqSyncView final : public IEqSyncView {
public:
    explicit CEqSyncView(CTarvelDlg& dlg);
    ISpectrum& Graph() override;
    void InvalidateGraph() override;
    ITextControl& EqFreqField(int band) override;
    ITextControl& EqQField(int band) override;
    ITextControl& EqGainField(int band) override;
    ISlider& EqGainSlider(int band) override;
    void RepaintBypassButton(int band) override;
    ITextControl& HpFreqField() override;
    ITextControl& LpFreqField() override;

private:
    CDlgItemText& TextOf(int id);

    CTarvelDlg& m_dlg;
    std::array<CSliderPort, kBands> m_sliders;
};

// The model's view of the main window.
class CMainView final : public IImageView {
public:
    explicit CMainView(CTarvelDlg& dlg);
    IDelayFields& DelayFields() override;
    ITextControl& GainField(int channel) override;
    ISlider& GainSlider(int channel) override;
    ITextControl& MuteButton(int channel) override;
    void SetPhaseButtonCaption(int channel, int stringId) override;
    ITextControl& MasterVolumeField() override;
    ISlider& MasterSlider() override;
    ITextControl& MasterMuteButton() override;
    IEditControl& BandGainField(int controlId) override;
    void ClearSpeakerDistances() override;
    void InvalidateChannelButtons() override;
    void InvalidateLinkButton(int channel) override;
    void InvalidateLinkButtons() override;
    void InvalidateCurveButtons() override;
    void InvalidateRouteButton(int output, int inputBit) override;
    void RefreshEqControls() override;
    void FeedSpectrum(bool redraw) override;
    bool AskCopyQuestion(const std::wstring& fromLabel, const std::wstring& toLabel) override;
    int GetVisibleChannels() const override;
    void SetVisibleChannels(int mask) override;

private:
    CDlgItemText& TextOf(int id);

    CTarvelDlg& m_dlg;
    std::array<CSliderPort, kChannels> m_gainSliders;
    CSliderPort m_masterSlider;
};

class CTarvelDlg : public CDialogEx, private IDialogTarget {
public:
    explicit CTarvelDlg(CWnd* parent = nullptr);
    ~CTarvelDlg() override;

    // Model -> images (IDT_PARAM_SYNC calls them every tick).
    void BuildEqUser();
    void BuildEqUser2();

    CMainView& View() { return m_view; }
    CSpectrum& Spectrum() { return m_spectrum; }
    CEditDelay& DelayField(int channel) const { return m_delayFields.Field(channel); }
    CEdit& GainField(int channel);
    CNewSliderCtrl& GainSlider(int channel) { return m_sliderChGain[channel]; }
    CNewSliderCtrl& BandSlider(int band) { return m_sliderFreqGain[band]; }
    CDelayFieldSet& DelayFieldSet() { return m_delayFields; }
    // A control by id as the model's text or edit field.
    CDlgItemText& ItemText(int id);
    bool IsLinkRunning() const { return m_linkStarted; }
    SyncTimers& Timers() { return m_syncTimers; }

    // Frame and About.
    void OnMenuAbout();

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override {}

    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnDrawItem(int ctlId, LPDRAWITEMSTRUCT dis);
    afx_msg void OnClickedMinimize();
    afx_msg void OnClickedClose();
    afx_msg void OnClickedOk();

    // Device messages.
    afx_msg LRESULT OnParamImageReceived(WPARAM, LPARAM);
    afx_msg LRESULT OnRoutingImageReceived(WPARAM, LPARAM);
    afx_msg LRESULT OnChannelNameChanged(WPARAM channel, LPARAM);
    afx_msg LRESULT OnDeviceOffline(WPARAM, LPARAM);
    afx_msg LRESULT OnDeviceInfoReceived(WPARAM, LPARAM);
    afx_msg LRESULT OnDeviceOptionChanged(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    friend class CMainView;
    friend class CSyncHost;
    friend class CEqSyncView;

    // Start-up steps.
    void QueryScreenDpi();
    void SetupControls();
    void UpdateCurrentModeLabel();
    void UpdateSaveModeLabel();
    void UpdateSourceLabel();
    void StartTcpLink();
    void StartHidLink();
    void StopLink();
    void RunModelPicker();
    int RelayoutAll();

    // IDialogTarget: the link's calls, on the UI thread.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetDeviceStringLabel(const std::string& bytes) override;
    void ShowMessageBox(const std::wstring& text) override;
    void ShowStringBox(int stringId) override;
    void HidDeviceRemoved() override;

    HICON m_hIcon = nullptr;
    int m_nImportState = 0;
    int m_nRxState = 0;

    // Channel strips.
    CEditDelayFL m_editDelayFL;
    CEditDelayFR m_editDelayFR;
    CEditDelayRL m_editDelayRL;
    CEditDelayRR m_editDelayRR;
    CEditDelayCenter m_editDelayCenter;
    CEditDelaySubwoofer m_editDelaySubwoofer;
    std::array<CEditDelay, 6> m_editDelayCh;  // CH7..CH12
    std::array<CNewSliderCtrl, kChannels> m_sliderChGain;
    CEditGainFL m_editGainFL;
    CEditGainFR m_editGainFR;
    CEditGainRL m_editGainRL;
    CEditGainRR m_editGainRR;
    CEditGainCenter m_editGainCenter;
    CEditGainSubwoofer m_editGainSubwoofer;
    std::array<CEditGain, 6> m_editGainCh;  // CH7..CH12
    CNewSliderCtrl m_sliderSystemVol;
    CEditSystemVol m_editSystemVol;

    // Bands.
    std::array<CNewSliderCtrl, kBands> m_sliderFreqGain;
    BandRow<CEditFre, CEditBandFreq> m_editFre;
    BandRow<CEditFreqGain, CEditBandGain> m_editFreqGain;
    BandRow<CEditQ, CEditBandQ> m_editQ;
    CEidtLowCutFreq m_editLowCutFreq;
    CEditHighCutFreq m_editHighCutFreq;

    CFont m_fontBandEdit;
    CBrush m_brushBk;
    CBitmap m_bmpBackground;
    BITMAP m_bmBackground{};
    CBrush m_brushEdit;
    CSpectrum m_spectrum;
    BOOL m_bPeqMode = TRUE;
    CStatic m_staticSaveMode;
    CStatic m_staticCurrentMode;
    CStatic m_staticSource;

    // The link: the TCP link and the HID link's threads.
    CTcpLink m_tcpLink;
    std::unique_ptr<IHidBackend> m_ownHidBackend;
    std::unique_ptr<HidLink> m_hidLink;
    std::unique_ptr<UiThreadPort> m_port;
    bool m_linkStarted = false;

    CMyComboBox m_comboHpType;
    CMyComboBox m_comboHpSlope;
    CMyComboBox m_comboLpType;
    CMyComboBox m_comboLpSlope;
    CFont m_fontLabel;
    CFont m_fontMatrixLabel;
    int m_nSpeakerDistance[kChannels] = {};

    CDelayFieldSet m_delayFields;
    std::map<int, CDlgItemText> m_itemTexts;
    CMainView m_view{*this};
    CSyncHost m_syncHost{*this};
    CEqSyncView m_eqSyncView{*this};
    SyncTimers m_syncTimers{m_syncHost};
    bool m_closed = false;
};
