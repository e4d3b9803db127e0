#include "app/tarveldlg.h"

#include <algorithm>

#include "app/aboutdlg.h"
#include "app/placement.h"
#include "app/tarvel.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/dialoglogo.h"
#include "dialogs/popuplook.h"
#include "fields/field_messages.h"
#include "link/firmware.h"
#include "link/link_messages.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/params.h"
#include "model/resets.h"
#include "platform/codepage.h"
#include "platform/look.h"

const wchar_t* const kAppVersion = L"K417R_210903V1";

std::wstring FromSystemCodePage(const char* bytes, size_t n) { return DecodeAnsi(bytes, n); }

// ---------------------------------------------------------------------------
// Construction

BEGIN_MESSAGE_MAP(CTarvelDlg, CDialogEx)
    ON_WM_SYSCOMMAND()
    ON_WM_NCHITTEST()
    ON_WM_CLOSE()
    ON_WM_TIMER()
    ON_WM_DRAWITEM()
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_BN_CLICKED(IDC_MINIMIZE, &CTarvelDlg::OnClickedMinimize)
    ON_BN_CLICKED(IDC_CLOSE, &CTarvelDlg::OnClickedClose)
    ON_BN_CLICKED(IDOK, &CTarvelDlg::OnClickedOk)
    // EQ bands, crossovers and routing matrix.
    ON_CONTROL_TABLE(EN_SETFOCUS, g_bandFreqEditId, &CTarvelDlg::OnSetFocusFreqBand)
    ON_CONTROL_TABLE(EN_SETFOCUS, g_bandGainEditId, &CTarvelDlg::OnSetFocusFreqGainBand)
    ON_CONTROL_TABLE(EN_SETFOCUS, g_bandQEditId, &CTarvelDlg::OnSetFocusQBand)
    ON_CONTROL_TABLE(EN_KILLFOCUS, g_bandFreqEditId, &CTarvelDlg::OnKillFocusFreqBand)
    ON_CONTROL_TABLE(EN_KILLFOCUS, g_bandGainEditId, &CTarvelDlg::OnKillFocusFreqGainBand)
    ON_CONTROL_TABLE(EN_KILLFOCUS, g_bandQEditId, &CTarvelDlg::OnKillFocusQBand)
    ON_CONTROL_TABLE(BN_CLICKED, g_bypassButtonId, &CTarvelDlg::OnClickedBypassBand)
    ON_BN_CLICKED(IDC_PEQ_MODE, &CTarvelDlg::OnClickedPeqMode)
    ON_BN_CLICKED(IDC_RESET_BAND_GAIN, &CTarvelDlg::OnClickedResetBandGain)
    ON_BN_CLICKED(IDC_RESET_ALL, &CTarvelDlg::OnClickedResetAll)
    ON_BN_CLICKED(IDC_RESET_EQ, &CTarvelDlg::OnClickedResetEq)
    ON_CBN_SELCHANGE(IDC_HP_TYPE, &CTarvelDlg::OnSelChangeHpType)
    ON_CBN_SELCHANGE(IDC_HP_SLOPE, &CTarvelDlg::OnSelChangeHpSlope)
    ON_CBN_SELCHANGE(IDC_LP_TYPE, &CTarvelDlg::OnSelChangeLpType)
    ON_CBN_SELCHANGE(IDC_LP_SLOPE, &CTarvelDlg::OnSelChangeLpSlope)
    ON_EN_KILLFOCUS(IDC_HP_FREQ, &CTarvelDlg::OnKillFocusHpFreq)
    ON_EN_KILLFOCUS(IDC_LP_FREQ, &CTarvelDlg::OnKillFocusLpFreq)
    ON_CONTROL_TABLE(BN_CLICKED, g_routeButtonId, &CTarvelDlg::OnClickedRoute)
    ON_MESSAGE(WM_PARAM_IMAGE_RECEIVED, &CTarvelDlg::OnParamImageReceived)
    ON_MESSAGE(WM_ROUTING_IMAGE_RECEIVED, &CTarvelDlg::OnRoutingImageReceived)
    ON_MESSAGE(WM_CHANNEL_NAME_CHANGED, &CTarvelDlg::OnChannelNameChanged)
    ON_MESSAGE(WM_DEVICE_OFFLINE, &CTarvelDlg::OnDeviceOffline)
    ON_MESSAGE(WM_DEVICE_INFO_RECEIVED, &CTarvelDlg::OnDeviceInfoReceived)
    ON_MESSAGE(WM_DEVICE_OPTION_CHANGED, &CTarvelDlg::OnDeviceOptionChanged)
    // Channel strips, master volume, Link and curve buttons.
    ON_CONTROL_TABLE(EN_KILLFOCUS, g_gainEditId, &CTarvelDlg::OnKillFocusGainCh)
    ON_CONTROL_TABLE(BN_CLICKED, g_phaseButtonId, &CTarvelDlg::OnClickedPhaseCh)
    ON_CONTROL_TABLE(BN_CLICKED, g_muteButtonId, &CTarvelDlg::OnClickedMuteCh)
    ON_CONTROL_TABLE(BN_CLICKED, g_channelButtonId, &CTarvelDlg::OnClickedSelectCh)
    ON_CONTROL_TABLE(BN_DOUBLECLICKED, g_channelButtonId, &CTarvelDlg::OnDoubleClickedSelectCh)
    ON_CONTROL_TABLE(EN_KILLFOCUS, g_delayEditId, &CTarvelDlg::OnKillFocusDelayCh)
    ON_CONTROL_TABLE(BN_CLICKED, g_delayUnitButtonId, &CTarvelDlg::OnClickedDelayUnitCh)
    ON_WM_VSCROLL()
    ON_BN_CLICKED(IDC_SYS_MUTE, &CTarvelDlg::OnClickedSysMute)
    ON_EN_KILLFOCUS(IDC_SYSTEM_VOL, &CTarvelDlg::OnKillFocusSystemVol)
    ON_CONTROL_TABLE(BN_CLICKED, g_linkButtonId, &CTarvelDlg::OnClickedLinkCh)
    ON_CONTROL_TABLE(BN_CLICKED, g_curveButtonId, &CTarvelDlg::OnClickedCurveCh)
    // Private messages of the fields and popups, and the launchers.
    ON_MESSAGE(WM_EDIT_NAVIGATE, &CTarvelDlg::OnEditNavigate)
    ON_MESSAGE(WM_EDIT_STEP, &CTarvelDlg::OnEditStep)
    ON_MESSAGE(WM_EDIT_COMMIT, &CTarvelDlg::OnEditCommit)
    ON_MESSAGE(WM_SCENE_COMMAND, &CTarvelDlg::OnSceneCommand)
    ON_MESSAGE(WM_SETUP_COMMAND, &CTarvelDlg::OnSetupCommand)
    ON_MESSAGE(WM_DELAY_CALCULATED, &CTarvelDlg::OnDelayCalculated)
    ON_MESSAGE(WM_MIX_VOLUME_CHANGED, &CTarvelDlg::OnMixVolumeChanged)
    ON_MESSAGE(WM_DELAY_CHANGED, &CTarvelDlg::OnDelayChanged)
    ON_BN_CLICKED(IDC_FILE, &CTarvelDlg::OnClickedFile)
    // Source, settings and the firmware loader (main_dialogs.cpp).
    ON_BN_CLICKED(IDC_SOURCE, &CTarvelDlg::OnClickedSource)
    ON_BN_CLICKED(IDC_SETUP, &CTarvelDlg::OnClickedSetup)
    ON_MESSAGE(WM_UPGRADE_REQUEST, &CTarvelDlg::OnUpgradeRequest)
    // Mixer, delay calculator and crossover setup (main_popups.cpp).
    ON_BN_CLICKED(IDC_INPUT_VOL, &CTarvelDlg::OnClickedInputVol)
    ON_BN_CLICKED(IDC_DELAY_CALE, &CTarvelDlg::OnClickedDelayCale)
    ON_BN_CLICKED(IDC_FILTER_SETUP, &CTarvelDlg::OnClickedFilterSetup)
    ON_MESSAGE(WM_FILTER_SETUP_CHANGED, &CTarvelDlg::OnFilterSetupChanged)
END_MESSAGE_MAP()

CTarvelDlg::CTarvelDlg(CWnd* parent) : CDialogEx(IDD_TARVEL_DIALOG, parent)
{
    m_hIcon = LoadIconResource(IDR_MAINFRAME);
    m_delayFields.Attach(0, &m_editDelayFL);
    m_delayFields.Attach(1, &m_editDelayFR);
    m_delayFields.Attach(2, &m_editDelayRL);
    m_delayFields.Attach(3, &m_editDelayRR);
    m_delayFields.Attach(4, &m_editDelayCenter);
    m_delayFields.Attach(5, &m_editDelaySubwoofer);
    for (int k = 0; k < 6; ++k) m_delayFields.Attach(6 + k, &m_editDelayCh[static_cast<size_t>(k)]);
    m_editLowCutFreq.SetPartner(&m_editHighCutFreq);
    m_editHighCutFreq.SetPartner(&m_editLowCutFreq);
}

CTarvelDlg::~CTarvelDlg() { StopLink(); }

CEdit& CTarvelDlg::GainField(int channel)
{
    switch (channel) {
    case 0: return m_editGainFL;
    case 1: return m_editGainFR;
    case 2: return m_editGainRL;
    case 3: return m_editGainRR;
    case 4: return m_editGainCenter;
    case 5: return m_editGainSubwoofer;
    default: return m_editGainCh[static_cast<size_t>(channel - 6)];
    }
}

void CTarvelDlg::DoDataExchange(CDataExchange* dx)
{
    CDialogEx::DoDataExchange(dx);
    for (int c = 0; c < 8; ++c) DDX_Control(dx, g_chGainSliderId[c], m_sliderChGain[c]);
    DDX_Control(dx, IDC_SYSTEM_VOL_SLIDER, m_sliderSystemVol);
    for (int b = 0; b < kBands; ++b) DDX_Control(dx, g_bandSliderId[b], m_sliderFreqGain[b]);
    DDX_Control(dx, IDC_SPECTRUM, m_spectrum);
    DDX_Control(dx, IDC_SAVE_MODE_LABEL, m_staticSaveMode);
    DDX_Control(dx, IDC_CURRENT_MODE_LABEL, m_staticCurrentMode);
    DDX_Control(dx, IDC_SOURCE_LABEL, m_staticSource);
    DDX_Control(dx, IDC_HP_TYPE, m_comboHpType);
    DDX_Control(dx, IDC_HP_SLOPE, m_comboHpSlope);
    DDX_Control(dx, IDC_LP_TYPE, m_comboLpType);
    DDX_Control(dx, IDC_LP_SLOPE, m_comboLpSlope);
    for (int c = 8; c < kChannels; ++c) DDX_Control(dx, g_gainEditId[c], m_editGainCh[static_cast<size_t>(c - 6)]);
    for (int c = 8; c < kChannels; ++c) DDX_Control(dx, g_delayEditId[c], m_editDelayCh[static_cast<size_t>(c - 6)]);
    for (int c = 8; c < kChannels; ++c) DDX_Control(dx, g_chGainSliderId[c], m_sliderChGain[c]);
}

// ---------------------------------------------------------------------------
// Start-up

BOOL CTarvelDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();

    if (CMenu* sysMenu = GetSystemMenu(this, FALSE)) {
        const std::wstring about = LoadResString(IDS_ABOUTBOX);
        if (!about.empty()) {
            sysMenu->AppendMenu(MF_SEPARATOR);
            sysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }
    SetWindowIcon(this, m_hIcon);
    QueryScreenDpi();
    // The window takes the skins' size in the bucket, inside the screen's
    // available area where it fits, its title row on the screen always.
    const SIZE size = {WindowWidth(DpiBucket(g_screenDpi)).value, WindowHeight(DpiBucket(g_screenDpi)).value};
    const RECT area = GetScreenWorkArea();
    const POINT at = PlaceInArea(size, area);
    const UINT keepPlace = area.right > area.left ? 0 : SWP_NOMOVE;
    SetWindowPos(nullptr, at.x, at.y, size.cx, size.cy, keepPlace | SWP_NOZORDER);
    g_msgCaption = LoadResString(IDS_MSG_CAPTION);
    m_brushBk.CreateSolidBrush(kSkinPanelColour);
    m_brushEdit.CreateSolidBrush(kSkinPanelColour);

    SetupChGainSliders();
    AttachGainEdits();
    FillCombos();
    SetupSystemVol();
    SetupBandSliders();
    LayoutFreqEdits();
    LayoutFreqGainEdits();
    LayoutQEdits();
    PlaceActionButtons();
    AttachDelayEdits();
    PlaceFrameButtons();
    SetupLabels();
    m_editLowCutFreq.SubclassDlgItem(IDC_HP_FREQ, this);
    m_editHighCutFreq.SubclassDlgItem(IDC_LP_FREQ, this);

    UpdateCurrentModeLabel();
    UpdateSaveModeLabel();
    UpdateSourceLabel();

    ResetAll(m_view);

    StartTcpLink();
    StartHidLink();
    SizeStatusPics();
    DrawWifiPic();
    DrawUsbPic();

    m_spectrum.onDragStep = [this] { OnGraphDragStep(); };
    m_syncTimers.Start();  // IDT_STATUS, and the links as they stand
    SetTimer(IDT_EQ_SYNC, IDT_EQ_SYNC_MS);

    SetDlgItemText(IDC_VERSION, kAppVersion);

    RunModelPicker();
    RelayoutAll();

    SetDefID(IDC_FREQ_CAPTION);
    if (CWnd* caption = GetDlgItem(IDC_FREQ_CAPTION)) caption->SetFocus();
    return FALSE;
}

void CTarvelDlg::QueryScreenDpi() { g_screenDpi = GetScreenDpi(); }

void CTarvelDlg::UpdateSourceLabel()
{
    std::wstring text = LoadResString(IDS_SOURCE_LABEL);
    int id = IDS_SOURCE_INVALID;
    switch (g_lastInputSource) {
    case 1: id = IDS_SOURCE_HIGH_LEVEL; break;
    case 2: id = IDS_SOURCE_LOW_LEVEL; break;
    case 3: id = IDS_SOURCE_BLUETOOTH; break;
    case 4: id = IDS_SOURCE_ANALOG_BT; break;
    case 5: id = IDS_SOURCE_OPTICAL; break;
    case 6: id = IDS_SOURCE_AUX12; break;
    case 9: id = IDS_SOURCE_USB; break;
    default: break;
    }
    text += LoadResString(id);
    m_staticSource.SetWindowText(text);
    InvalidateControlArea(IDC_SOURCE_LABEL);
}

void CTarvelDlg::UpdateCurrentModeLabel()
{
    const int slot = g_presetSlot.load();
    m_staticCurrentMode.SetWindowText(LoadResString(IDS_CURRENT_MODE) +
                                      (slot == 0 ? LoadResString(IDS_SLOT_DEFAULT) : std::to_wstring(slot)));
    InvalidateControlArea(IDC_CURRENT_MODE_LABEL);
}

void CTarvelDlg::UpdateSaveModeLabel()
{
    const int slot = g_saveSlot.load();
    m_staticSaveMode.SetWindowText(LoadResString(IDS_SAVE_MODE) +
                                   (slot == 0 ? LoadResString(IDS_SLOT_DEFAULT) : std::to_wstring(slot)));
    InvalidateControlArea(IDC_SAVE_MODE_LABEL);
}

void CTarvelDlg::InvalidateControlArea(int controlId)
{
    CWnd* item = GetDlgItem(controlId);
    if (!item || !item->IsWindowEnabled()) return;
    InvalidateItemArea(controlId);
}

void CTarvelDlg::RunModelPicker()
{
    CDialogLogo picker;
    picker.DoModal();
}

// ---------------------------------------------------------------------------
// Frame

void CTarvelDlg::OnSysCommand(UINT id, LPARAM lParam)
{
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    CDialogEx::OnSysCommand(id, lParam);
}

HCURSOR CTarvelDlg::OnQueryDragIcon() { return m_hIcon; }

LRESULT CTarvelDlg::OnNcHitTest(CPoint point)
{
    const LRESULT hit = CDialogEx::OnNcHitTest(point);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

void CTarvelDlg::OnClickedMinimize()
{
    WINDOWPLACEMENT placement{};
    GetWindowPlacement(&placement);
    placement.showCmd = SW_SHOWMINIMIZED;
    SetWindowPlacement(&placement);
}

void CTarvelDlg::OnClickedClose() { SendMessage(WM_CLOSE, 0, 0); }

void CTarvelDlg::OnClickedOk() {}

void CTarvelDlg::OnMenuAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CTarvelDlg::OnClose()
{
    if (m_spectrum.m_hWnd) RemoveDragHook(m_spectrum.m_hWnd);
    for (UINT_PTR id : {IDT_POLL, IDT_EQ_SYNC, IDT_PARAM_SYNC, IDT_STATUS, IDT_IMPORT_WATCHDOG}) KillTimer(id);
    StopLink();
    ClearFirmwareImage();
    g_tcpFwBlock.Clear();
    m_closed = true;
    CDialogEx::OnCancel();
}

void CTarvelDlg::OnTimer(UINT_PTR id)
{
    if (m_closed) return;
    if (m_syncTimers.OnTimer(id)) return;
    if (id == IDT_EQ_SYNC) RunGraphSync();
}

namespace {

// The messages whose handlers edit the model: after each one the change goes
// to the device at once when it may. Every message that edits the model
// belongs here, or its change waits for the next synchronisation tick.
// clang-format off
constexpr UINT kModelEditMessages[] = {
    WM_COMMAND,
    WM_HSCROLL,
    WM_VSCROLL,
    WM_EDIT_STEP,
    WM_EDIT_COMMIT,
    WM_DELAY_CHANGED,
    WM_DELAY_CALCULATED,
    WM_FILTER_SETUP_CHANGED,
    WM_MIX_VOLUME_CHANGED,
};
// clang-format on

}  // namespace

LRESULT CTarvelDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT r = CDialogEx::WindowProc(message, wParam, lParam);
    if (std::ranges::find(kModelEditMessages, message) != std::end(kModelEditMessages) && !m_closed && !m_decoding)
        m_syncTimers.OnModelEdited();
    return r;
}

void CTarvelDlg::RunGraphSync()
{
    m_lastGraphSync = std::chrono::steady_clock::now();
    if (RunEqSyncTick(m_eqSyncView) == EqSyncResult::Pulled) m_syncTimers.OnModelEdited();
}

void CTarvelDlg::OnGraphDragStep()
{
    if (m_closed || std::chrono::steady_clock::now() - m_lastGraphSync < std::chrono::milliseconds(20)) return;
    RunGraphSync();
}

LRESULT GraphWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT r = CSpectrum::WindowProc(message, wParam, lParam);
    if (message == WM_MOUSEMOVE && (wParam & MK_LBUTTON) && onDragStep) onDragStep();
    return r;
}

// ---------------------------------------------------------------------------
// EQ bands, crossovers and routing matrix (the families in controls/)

void CTarvelDlg::OnSetFocusFreqBand(int band) { m_families.bands.SelectBand(band); }
void CTarvelDlg::OnSetFocusFreqGainBand(int band) { m_families.bands.SelectBand(band); }
void CTarvelDlg::OnSetFocusQBand(int band) { m_families.bands.SelectBand(band); }
void CTarvelDlg::OnKillFocusFreqBand(int band) { m_families.bands.CommitFreq(band); }
void CTarvelDlg::OnKillFocusFreqGainBand(int band) { m_families.bands.CommitGain(band); }
void CTarvelDlg::OnKillFocusQBand(int band) { m_families.bands.CommitQ(band); }
void CTarvelDlg::OnClickedBypassBand(int band) { m_families.bands.ToggleBypass(band); }
void CTarvelDlg::OnClickedPeqMode() { m_families.bands.TogglePeqMode(); }
void CTarvelDlg::OnClickedResetBandGain() { m_families.bands.ToggleBypassEq(); }
void CTarvelDlg::OnClickedResetAll() { m_families.bands.ResetAllAfterQuestion(m_view); }
void CTarvelDlg::OnClickedResetEq() { m_families.bands.ResetEqAfterQuestion(); }

void CTarvelDlg::OnSelChangeHpType() { m_families.crossovers.OnSelChange(Crossovers::Selector::HpType); }
void CTarvelDlg::OnSelChangeHpSlope() { m_families.crossovers.OnSelChange(Crossovers::Selector::HpSlope); }
void CTarvelDlg::OnSelChangeLpType() { m_families.crossovers.OnSelChange(Crossovers::Selector::LpType); }
void CTarvelDlg::OnSelChangeLpSlope() { m_families.crossovers.OnSelChange(Crossovers::Selector::LpSlope); }
void CTarvelDlg::OnKillFocusHpFreq() { m_families.crossovers.CommitHpFreq(); }
void CTarvelDlg::OnKillFocusLpFreq() { m_families.crossovers.CommitLpFreq(); }

void CTarvelDlg::OnClickedRoute(int cell) { m_families.routing.Toggle(cell / kInputs, cell % kInputs); }

// ---------------------------------------------------------------------------
// Device images and messages

void CTarvelDlg::BuildEqUser() { ::BuildEqUser(m_delayFields); }

void CTarvelDlg::BuildEqUser2() { ::BuildEqUser2(m_spectrum.GetVisibleChannels()); }

// The fields a decode changes notify the window; the synchronisation tick
// waits until the whole image is in the model.
LRESULT CTarvelDlg::OnParamImageReceived(WPARAM, LPARAM)
{
    m_decoding = true;
    m_syncTimers.OnParamImageReceived(m_view);
    m_decoding = false;
    return 0;
}

LRESULT CTarvelDlg::OnRoutingImageReceived(WPARAM, LPARAM)
{
    m_decoding = true;
    m_syncTimers.OnRoutingImageReceived(m_view);
    m_decoding = false;
    return 0;
}

LRESULT CTarvelDlg::OnChannelNameChanged(WPARAM channel, LPARAM)
{
    if (channel < static_cast<WPARAM>(kChannels)) m_families.strips.InvalidateChannelButton(static_cast<int>(channel));
    return 0;
}

LRESULT CTarvelDlg::OnDeviceOffline(WPARAM, LPARAM)
{
    RunModelPicker();
    RelayoutAll();
    return 0;
}

LRESULT CTarvelDlg::OnDeviceInfoReceived(WPARAM, LPARAM)
{
    if (g_relayoutPending == 1) {
        g_relayoutPending = 0;
        RelayoutAll();
    }
    return 0;
}

LRESULT CTarvelDlg::OnDeviceOptionChanged(WPARAM, LPARAM) { return 0; }

// ---------------------------------------------------------------------------
// The link's calls

LRESULT CTarvelDlg::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!m_hWnd) return 0;
    if (msg == WM_LINK_CHANGED) {
        if (!m_closed) m_syncTimers.OnLinkChange();
        // The pictures follow at once, not only at the next status tick.
        DrawWifiPic();
        DrawUsbPic();
        CDialogLogo::EndIfDeviceIdentified();
        return 0;
    }
    return SendMessage(msg, wParam, lParam);
}

void CTarvelDlg::SetDeviceStringLabel(const std::string& bytes)
{
    SetDlgItemText(IDC_DEVICE_STRING, FromSystemCodePage(bytes.data(), bytes.size()));
    if (CWnd* label = GetDlgItem(IDC_DEVICE_STRING)) label->Invalidate(TRUE);
}

void CTarvelDlg::ShowMessageBox(const std::wstring& text) { AfxMessageBox(text.c_str()); }

void CTarvelDlg::ShowStringBox(int stringId)
{
    const std::wstring text = LoadResString(stringId);
    MessageBoxExW(m_hWnd, text.c_str(), g_msgCaption.c_str(), MB_OK, g_languageId);
}

void CTarvelDlg::HidDeviceRemoved() { m_syncTimers.OnLinkLost(); }
