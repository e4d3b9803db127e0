#include "dialogs/dialogdelaycale.h"

#include "model/device_models.h"
#include "model/device_state.h"
#include "model/value_kinds.h"
#include "platform/app.h"
#include "platform/look.h"
#include "platform/skin_palette.h"
#include "res/resource.h"

namespace {

constexpr COLORREF kPanel = kSkinPanelColour;

PopupLook DelayCaleLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND;
    look.closeButton = CloseButtonSize::Fixed;
    look.staticTextColor = RGB(255, 255, 255);
    look.buttonTextColor = kSkinTextColour;
    look.textButtons = {{IDC_CALCULATE, IDS_CALCULATE}, {IDC_RESET_DISTANCES, IDS_RESET_DISTANCES}};
    for (int id : g_distanceLabelId) look.labels.push_back({id, 0});
    return look;
}

}  // namespace

// clang-format off
const int g_distanceEditId[kDistanceChannels] = {
    IDC_DISTANCE_CH1, IDC_DISTANCE_CH2, IDC_DISTANCE_CH3,  IDC_DISTANCE_CH4,  IDC_DISTANCE_CH5,  IDC_DISTANCE_CH6,
    IDC_DISTANCE_CH7, IDC_DISTANCE_CH8, IDC_DISTANCE_CH9, IDC_DISTANCE_CH10, IDC_DISTANCE_CH11, IDC_DISTANCE_CH12};
const int g_distanceLabelId[kDistanceChannels] = {
    IDC_DISTANCE_LABEL_CH1, IDC_DISTANCE_LABEL_CH2,  IDC_DISTANCE_LABEL_CH3,  IDC_DISTANCE_LABEL_CH4,
    IDC_DISTANCE_LABEL_CH5, IDC_DISTANCE_LABEL_CH6,  IDC_DISTANCE_LABEL_CH7,  IDC_DISTANCE_LABEL_CH8,
    IDC_DISTANCE_LABEL_CH9, IDC_DISTANCE_LABEL_CH10, IDC_DISTANCE_LABEL_CH11, IDC_DISTANCE_LABEL_CH12};
// clang-format on

int DelayCaleShownChannels(int model)
{
    switch (model) {
    case 1:
    case 5:
    case 6: return 8;
    case 3:
    case 4:
    case 7: return 10;
    default: return 12;
    }
}

std::array<int, kDistanceChannels> CalculateDelays(const std::array<int, kDistanceChannels>& d, int shown)
{
    if (shown < 1 || shown > kDistanceChannels) shown = kDistanceChannels;
    int farthest = 0;
    for (int i = 1; i < shown; ++i)
        if (static_cast<unsigned>(d[i]) > static_cast<unsigned>(d[farthest])) farthest = i;
    std::array<int, kDistanceChannels> delay{};
    for (int i = 0; i < kDistanceChannels; ++i) delay[i] = d[farthest] > d[i] ? d[farthest] - d[i] : 0;
    return delay;
}

BEGIN_MESSAGE_MAP(CDialogDelayCale, PopupDialog)
    ON_BN_CLICKED(IDOK, &CDialogDelayCale::OnClickedOk)
    ON_BN_CLICKED(IDC_CALCULATE, &CDialogDelayCale::OnClickedCalculate)
    ON_BN_CLICKED(IDC_RESET_DISTANCES, &CDialogDelayCale::OnClickedReset)
    ON_CONTROL_TABLE(EN_KILLFOCUS, g_distanceEditId, &CDialogDelayCale::OnKillFocusDistanceCh)
END_MESSAGE_MAP()

CDialogDelayCale::CDialogDelayCale(CWnd* parent) : PopupDialog(IDD_DELAY_CALE, parent, DelayCaleLook()) {}

CDialogDelayCale::~CDialogDelayCale() = default;

void CDialogDelayCale::SetStoredDistances(const int* distances)
{
    for (int i = 0; i < kDistanceChannels; ++i) m_nDistance[i] = distances[i];
}

void CDialogDelayCale::DoDataExchange(CDataExchange* dx)
{
    PopupDialog::DoDataExchange(dx);
    for (int i = 0; i < kDistanceChannels; ++i) DDX_Control(dx, g_distanceEditId[i], m_editDistance[i]);
}

BOOL CDialogDelayCale::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    m_brushBk.CreateSolidBrush(kPanel);
    m_brushEdit.CreateSolidBrush(kPanel);
    SetLabelFonts();
    ShowDistances();
    return TRUE;
}

// The channel labels have the popup's label font; the unit and the title a
// size larger.
void CDialogDelayCale::SetLabelFonts()
{
    m_fontTitle.CreateFont(ScaleForDpi(13), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, kPopupFontFace);
    for (int id : {IDC_UNIT_LABEL, IDC_DELAY_CALE_TITLE})
        if (CWnd* item = GetDlgItem(id)) item->SetFont(&m_fontTitle);
}

void CDialogDelayCale::ShowDistances()
{
    for (int i = 0; i < kDistanceChannels; ++i) m_editDistance[i].SetValue(m_nDistance[i]);
    const int model = g_deviceModel.load();
    if (!DeviceModelFactsOf(model)) return;  // as the template: all shown
    const int shown = DelayCaleShownChannels(model);
    for (int i = 8; i < kDistanceChannels; ++i) {
        const int show = i < shown ? SW_SHOW : SW_HIDE;
        m_editDistance[i].ShowWindow(show);
        if (CWnd* label = GetDlgItem(g_distanceLabelId[i])) label->ShowWindow(show);
    }
}

void CDialogDelayCale::OnClickedOk() {}

void CDialogDelayCale::OnKillFocusDistanceCh(int channel)
{
    if (channel < 0 || channel >= kDistanceChannels) return;
    CEditDelayCale& field = m_editDistance[channel];
    DelayKind(field.GetValueRef(), true).Commit(field.GetWindowTextString());
    field.UpdateText();
}

// A hidden channel is sent too, but its distance takes no part in the
// largest one.
void CDialogDelayCale::OnClickedCalculate()
{
    std::array<int, kDistanceChannels> d{};
    for (int i = 0; i < kDistanceChannels; ++i) d[i] = m_editDistance[i].GetValue();
    const std::array<int, kDistanceChannels> delay = CalculateDelays(d, DelayCaleShownChannels(g_deviceModel.load()));
    CWnd* main = AfxGetMainWnd();
    if (!main || main == this) return;
    for (int i = 0; i < kDistanceChannels; ++i) {
        const auto bits = static_cast<uint32_t>(d[i]) << 16 | static_cast<uint32_t>(delay[i]);
        main->SendMessage(WM_DELAY_CALCULATED, static_cast<WPARAM>(i), static_cast<LPARAM>(bits));
    }
}

void CDialogDelayCale::OnClickedReset()
{
    for (int i = 0; i < kDistanceChannels; ++i) {
        m_nDistance[i] = 0;
        m_editDistance[i].SetValue(0);
    }
    OnClickedCalculate();
}

HBRUSH CDialogDelayCale::PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework)
{
    if (kind == CTLCOLOR_EDIT || kind == CTLCOLOR_LISTBOX) {
        dc->SetTextColor(RGB(255, 255, 255));
        dc->SetBkColor(kPanel);
        return &m_brushEdit;
    }
    const int id = wnd ? wnd->GetDlgCtrlID() : 0;
    if ((kind == CTLCOLOR_STATIC || kind == CTLCOLOR_BTN) && id >= IDC_DISTANCE_CH9 && id <= IDC_DISTANCE_CH12) {
        dc->SetTextColor(RGB(255, 255, 255));
        return &m_brushBk;
    }
    return PopupDialog::PopupCtlColor(dc, wnd, kind, framework);
}
