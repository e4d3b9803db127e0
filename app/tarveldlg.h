// The main window: its controls, start-up, frame, and the handlers of the
// device images and small device messages.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>

#include "app/control_ids.h"
#include "app/eq_sync_view.h"
#include "app/firmware_host.h"
#include "app/main_controls.h"
#include "app/main_link.h"
#include "app/main_view.h"
#include "app/paint.h"
#include "app/placement.h"  // SingleGroup
#include "app/sync_host.h"
#include "fields/bandrow.h"
#include "fields/editband.h"
#include "fields/editcutfreq.h"
#include "fields/editdelay.h"
#include "fields/editgain.h"
#include "fields/editvolume.h"
#include "link/firmware_upgrade.h"
#include "link/sync_timers.h"
#include "link/ui_port.h"
#include "platform/platform.h"
#include "widgets/mycombobox.h"
#include "widgets/newsliderctrl.h"
#include "widgets/spectrum.h"

// The graph's timer; the link's timers are in link/sync_timers.h.
constexpr UINT_PTR IDT_EQ_SYNC = 7;
constexpr UINT IDT_EQ_SYNC_MS = 120;

extern const wchar_t* const kAppVersion;  // "K417R_210903V1"

// A device string as text: its bytes (the system code page) up to the
// first zero, at most n.
std::wstring FromSystemCodePage(const char* bytes, size_t n);

// The graph, telling the dialog of each drag step (a move with the left
// button held) once the graph has taken it.
class GraphWnd final : public CSpectrum {
public:
    std::function<void()> onDragStep;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// The window: it holds the controls and composes the parts that work on
// them (the control families and their view, the model's view, the graph's
// sync view, the timers' host and the device link) and forwards to them.
class CTarvelDlg : public CDialogEx, private IDialogTarget {
public:
    explicit CTarvelDlg(CWnd* parent = nullptr);
    ~CTarvelDlg() override;

    // Model -> images (IDT_PARAM_SYNC calls them every tick).
    void BuildEqUser();
    void BuildEqUser2();

    MainView& View() { return m_view; }
    CSpectrum& Spectrum() { return m_spectrum; }
    CEditDelay& DelayField(int channel) const { return m_delayFields.Field(channel); }
    CEdit& GainField(int channel);
    CNewSliderCtrl& GainSlider(int channel) { return m_sliderChGain[channel]; }
    CNewSliderCtrl& BandSlider(int band) { return m_sliderFreqGain[band]; }
    DelayFieldSet& DelayFields() { return m_delayFields; }
    // A control by id as the model's text or edit field.
    DlgItemText& ItemText(int id) { return m_controls.Item(id); }
    MainLink& Link() { return m_link; }
    bool IsLinkRunning() const { return m_link.IsRunning(); }
    SyncTimers& Timers() { return m_syncTimers; }

    // The status labels.
    void UpdateCurrentModeLabel();
    void UpdateSaveModeLabel();
    void UpdateSourceLabel();
    // String-table message box (caption g_msgCaption, OK, g_languageId).
    void ShowStringBox(int stringId) override;

    // Frame and About.
    void OnMenuAbout();

    // Refreshers other parts call after they changed the model.
    void FeedSpectrum(BOOL redraw) { m_view.FeedSpectrum(redraw != FALSE); }
    void RefreshEqControls() { m_view.RefreshEqControls(); }
    // The equaliser's mode (PEQ true, GEQ false), kept by the bands, applied
    // to the frequency and Q fields and the graph.
    void ApplyPeqMode() { m_families.bands.ApplyPeqMode(); }
    void InvalidateChannelButtons() { m_families.strips.InvalidateChannelButtons(); }
    void InvalidateLinkButtons() { m_families.links.InvalidateLinkButtons(); }
    void InvalidateCurveButtons() { m_families.links.InvalidateCurveButtons(); }
    // Repaints the dialog's background under an enabled control (with erase),
    // so that a transparent label is drawn anew.
    void InvalidateControlArea(int controlId);
    // The input-source group of a routing-matrix input label, 0 for any
    // other control.
    int GetControlSourceGroup(int controlId) const;
    BOOL IsPeqMode() const { return m_families.bands.PeqMode() ? TRUE : FALSE; }

    // The look (tarveldlg_look.cpp): the status pictures, the master scale,
    // the input captions whose colour follows the source.
    void DrawWifiPic();
    void DrawUsbPic();
    void DrawSystemVolScale();
    void RepaintSourceLabels();
    void SetBtLabels(BYTE row, BYTE source);
    BOOL LoadLinkButtonBitmap(int channelBit, CBitmap* bitmap);
    // What an owner-drawn button of the window shows now (OnDrawItem draws it).
    ButtonFace FaceOfButton(int controlId, bool pressed) const;
    // The layout for the screen's DPI and the device model.
    int RelayoutAll();

    // The preset commands of the scene menu.
    void OnLoadFromPc();
    void OnSaveToPc();
    // The double click on a channel button: the channel-naming dialog.
    void RenameChannel(int channel);
    // The firmware upgrade of the settings dialog.
    void OnFirmwareUpgrade();

    // Device presets, the input source and the firmware upgrade
    // (app/main_dialogs.cpp).
    BOOL CheckBeforeSave();
    void OnSaveToDsp();
    void OnLoadFromDsp();
    void OnMenuInputSource();
    bool StartFirmwareTransfer();

protected:
    // After the handlers of the messages by which the window's controls,
    // fields and popups change the model (kModelEditMessages): the change
    // goes to the device at once when it may (SyncTimers::OnModelEdited).
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override {}

    afx_msg void OnSysCommand(UINT id, LPARAM lParam);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg void OnClose();
    afx_msg void OnTimer(UINT_PTR id);
    // The graph's sync tick; a change pulled from the graph goes to the
    // device at once when it may.
    void RunGraphSync();
    // A drag step runs the tick now unless one ran in the last 20 ms.
    void OnGraphDragStep();
    afx_msg void OnDrawItem(int ctlId, LPDRAWITEMSTRUCT dis);
    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT ctlColor);
    afx_msg void OnClickedMinimize();
    afx_msg void OnClickedClose();
    afx_msg void OnClickedOk();

    // EQ bands, crossovers and routing matrix: one handler per family of
    // like controls, with the control's index in its id table (band 0..30,
    // cell = output * 18 + input bit).
    afx_msg void OnSetFocusFreqBand(int band);
    afx_msg void OnSetFocusFreqGainBand(int band);
    afx_msg void OnSetFocusQBand(int band);
    afx_msg void OnKillFocusFreqBand(int band);
    afx_msg void OnKillFocusFreqGainBand(int band);
    afx_msg void OnKillFocusQBand(int band);
    afx_msg void OnClickedBypassBand(int band);
    afx_msg void OnClickedPeqMode();
    afx_msg void OnClickedResetBandGain();
    afx_msg void OnClickedResetAll();
    afx_msg void OnClickedResetEq();
    afx_msg void OnSelChangeHpType();
    afx_msg void OnSelChangeHpSlope();
    afx_msg void OnSelChangeLpType();
    afx_msg void OnSelChangeLpSlope();
    afx_msg void OnKillFocusHpFreq();
    afx_msg void OnKillFocusLpFreq();
    afx_msg void OnClickedRoute(int cell);

    // Device messages.
    afx_msg LRESULT OnParamImageReceived(WPARAM, LPARAM);
    afx_msg LRESULT OnRoutingImageReceived(WPARAM, LPARAM);
    afx_msg LRESULT OnChannelNameChanged(WPARAM channel, LPARAM);
    afx_msg LRESULT OnDeviceOffline(WPARAM, LPARAM);
    afx_msg LRESULT OnDeviceInfoReceived(WPARAM, LPARAM);
    afx_msg LRESULT OnDeviceOptionChanged(WPARAM, LPARAM);

    // Channel strips, master volume, Link and curve buttons; the index is
    // the channel 0..11 (tarveldlg_strips.cpp).
    afx_msg void OnKillFocusGainCh(int channel);
    afx_msg void OnClickedPhaseCh(int channel);
    afx_msg void OnClickedMuteCh(int channel);
    afx_msg void OnClickedSelectCh(int channel);
    afx_msg void OnDoubleClickedSelectCh(int channel);
    afx_msg void OnKillFocusDelayCh(int channel);
    afx_msg void OnClickedDelayUnitCh(int channel);
    afx_msg void OnVScroll(UINT code, UINT pos, CWnd* scrollBar);
    afx_msg void OnClickedSysMute();
    afx_msg void OnKillFocusSystemVol();
    afx_msg void OnClickedLinkCh(int channel);
    afx_msg void OnClickedCurveCh(int channel);

    // Private messages of the fields and popups, and the launchers
    // (tarveldlg_messages.cpp).
    afx_msg LRESULT OnEditNavigate(WPARAM key, LPARAM);
    afx_msg LRESULT OnEditStep(WPARAM channel, LPARAM);
    afx_msg LRESULT OnEditCommit(WPARAM channel, LPARAM);
    afx_msg LRESULT OnSceneCommand(WPARAM command, LPARAM);
    afx_msg LRESULT OnSetupCommand(WPARAM command, LPARAM);
    afx_msg LRESULT OnDelayCalculated(WPARAM channel, LPARAM distanceAndDelay);
    afx_msg LRESULT OnMixVolumeChanged(WPARAM volume, LPARAM);
    afx_msg LRESULT OnDelayChanged(WPARAM, LPARAM);
    afx_msg void OnClickedFile();

    // Launchers and the loader's request (app/main_dialogs.cpp).
    afx_msg void OnClickedSource();
    afx_msg void OnClickedSetup();
    afx_msg LRESULT OnUpgradeRequest(WPARAM, LPARAM);

    // The mixer, the delay calculator and the crossover setup
    // (app/main_popups.cpp).
    afx_msg void OnClickedInputVol();
    afx_msg void OnClickedDelayCale();
    afx_msg void OnClickedFilterSetup();
    afx_msg LRESULT OnFilterSetupChanged(WPARAM which, LPARAM index);

    DECLARE_MESSAGE_MAP()

private:
    // Start-up steps.
    void QueryScreenDpi();
    // The one-time set-up, in this order (tarveldlg_look.cpp).
    void SetupChGainSliders();
    void AttachGainEdits();
    void FillCombos();
    void SetupSystemVol();
    void SetupBandSliders();
    void LayoutFreqEdits();
    void LayoutFreqGainEdits();
    void LayoutQEdits();
    void PlaceActionButtons();
    void AttachDelayEdits();
    void PlaceFrameButtons();
    void SetupLabels();
    void SizeStatusPics();
    void StartTcpLink() { m_link.StartTcp(*this); }
    void StartHidLink() { m_link.StartHid(); }
    void StopLink() { m_link.Stop(); }
    void RunModelPicker();

    // RelayoutAll's steps (tarveldlg_look.cpp).
    void LoadBackground();
    void UpdateInputLabels();
    void PlaceFamily(int family);
    void PlaceSingles(SingleGroup group);
    void PlaceChannelButtons();
    void PlaceGainEdits();
    void PlaceMuteButtons();
    void PlacePhaseButtons();
    void PlaceDelayEdits();
    void PlaceDelayLabels();
    void PlaceDelayUnitButtons();
    void PlaceRouteButtons();
    void PlaceMatrixLabels();
    void PlaceChGainSliders();
    void PlaceLinkButtons();
    void PlaceCurveButtons();
    void PlaceMasterScaleLabels();
    void PlaceGainScaleLabels();
    void PlaceStripCaptions();
    LRESULT ApplyModelLayout(WPARAM, LPARAM);
    void MoveControl(int id, int x, int y, int w, int h);
    // Draws a status picture over its control's rectangle on dc.
    void PaintStatusPicture(CDC* dc, int controlId, int bitmapId);
    // Repaints the window under a control's rectangle, enabled or not.
    void InvalidateItemArea(int controlId);
    // Draws the title picture on dc, centred at the top of the window.
    void DrawTitlePic(CDC* dc);
    void PaintVolumeScale(CDC* dc);

    // IDialogTarget: the link's calls, on the UI thread.
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void SetDeviceStringLabel(const std::string& bytes) override;
    void ShowMessageBox(const std::wstring& text) override;
    void HidDeviceRemoved() override;

    HICON m_hIcon = nullptr;

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
    BandRow<CEditFre, EditBandFreq> m_editFre;
    BandRow<CEditFreqGain, EditBandGain> m_editFreqGain;
    BandRow<CEditQ, EditBandQ> m_editQ;
    BandFieldGrid m_bandFields{m_editFre, m_editQ, m_editFreqGain};
    CEidtLowCutFreq m_editLowCutFreq;
    CEditHighCutFreq m_editHighCutFreq;

    CFont m_fontBandEdit;
    CBrush m_brushBk;
    CBitmap m_bmpBackground;
    BITMAP m_bmBackground{};
    CBrush m_brushEdit;
    GraphWnd m_spectrum;
    CStatic m_staticSaveMode;
    CStatic m_staticCurrentMode;
    CStatic m_staticSource;

    // The device link.
    MainLink m_link;

    CMyComboBox m_comboHpType;
    CMyComboBox m_comboHpSlope;
    CMyComboBox m_comboLpType;
    CMyComboBox m_comboLpSlope;
    CFont m_fontLabel;
    CFont m_fontMatrixLabel;
    // The owner-drawn buttons' fonts (made once: "宋体" and "黑体").
    CFont m_fontButton;
    CFont m_fontChannel;
    int m_shownTcpState = 0;  // the link states the status pictures show
    int m_shownUsb = 0;
    int m_nSpeakerDistance[kChannels] = {};

    DelayFieldSet m_delayFields;
    MainControls m_controls{*this,
                            m_spectrum,
                            m_sliderChGain,
                            m_sliderSystemVol,
                            m_sliderFreqGain,
                            {m_comboHpType, m_comboHpSlope, m_comboLpType, m_comboLpSlope},
                            m_delayFields};
    ControlFamilies m_families{m_controls};
    MainView m_view{m_controls, m_families, m_delayFields, m_nSpeakerDistance};
    SyncHost m_syncHost{*this};
    EqSyncView m_eqSyncView{m_controls};
    SyncTimers m_syncTimers{m_syncHost};
    FirmwareHost m_firmwareHost{*this};
    FirmwareUpgrade m_firmware{m_firmwareHost};
    bool m_closed = false;
    bool m_decoding = false;  // a received image is being decoded
    std::chrono::steady_clock::time_point m_lastGraphSync{};
};
