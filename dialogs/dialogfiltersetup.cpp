#include "dialogs/dialogfiltersetup.h"

#include <string>

#include "model/params.h"
#include "model/value_kinds.h"
#include "platform/app.h"
#include "platform/look.h"
#include "platform/resources.h"
#include "res/resource.h"

namespace {

// The arrow images and face heights by the dialog's own DPI cuts.
constexpr int kArrowPng[kArrowBuckets] = {IDP_COMBO_ARROW_B0, IDP_COMBO_ARROW_B1, IDP_COMBO_ARROW_B2,
                                          IDP_COMBO_ARROW_B4};
constexpr int kFaceHeight[kDpiBuckets] = {18, 23, 30, 30, 40};

PopupLook FilterSetupLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND;
    look.closeButton = CloseButtonSize::Fixed;
    look.labels = {{IDC_FILTER_HP_TYPE_LABEL, 0}, {IDC_FILTER_HP_FREQ_LABEL, 0}, {IDC_FILTER_HP_SLOPE_LABEL, 0},
                   {IDC_FILTER_LP_FREQ_LABEL, 0}, {IDC_FILTER_LP_TYPE_LABEL, 0}, {IDC_FILTER_LP_SLOPE_LABEL, 0}};
    return look;
}

}  // namespace

BEGIN_MESSAGE_MAP(CDialogFilterSetup, PopupDialog)
    ON_BN_CLICKED(IDOK, &CDialogFilterSetup::OnClickedOk)
    ON_CBN_SELCHANGE(IDC_HP_TYPE, &CDialogFilterSetup::OnSelChangeHighPassType)
    ON_CBN_SELCHANGE(IDC_HP_SLOPE, &CDialogFilterSetup::OnSelChangeHighPassSlope)
    ON_CBN_SELCHANGE(IDC_LP_TYPE, &CDialogFilterSetup::OnSelChangeLowPassType)
    ON_CBN_SELCHANGE(IDC_LP_SLOPE, &CDialogFilterSetup::OnSelChangeLowPassSlope)
    ON_EN_KILLFOCUS(IDC_HP_FREQ, &CDialogFilterSetup::OnKillFocusHpFreq)
    ON_EN_KILLFOCUS(IDC_LP_FREQ, &CDialogFilterSetup::OnKillFocusLpFreq)
END_MESSAGE_MAP()

CDialogFilterSetup::CDialogFilterSetup(CWnd* parent) : PopupDialog(IDD_FILTER_SETUP, parent, FilterSetupLook())
{
    // Left and Right go between the dialog's own two fields.
    m_editLowCutFreq.SetPartner(&m_editHighCutFreq);
    m_editHighCutFreq.SetPartner(&m_editLowCutFreq);
}

CDialogFilterSetup::~CDialogFilterSetup() = default;

void CDialogFilterSetup::DoDataExchange(CDataExchange* dx)
{
    PopupDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HP_TYPE, m_comboHpType);
    DDX_Control(dx, IDC_HP_SLOPE, m_comboHpSlope);
    DDX_Control(dx, IDC_LP_TYPE, m_comboLpType);
    DDX_Control(dx, IDC_LP_SLOPE, m_comboLpSlope);
    DDX_Control(dx, IDC_HP_FREQ, m_editLowCutFreq);
    DDX_Control(dx, IDC_LP_FREQ, m_editHighCutFreq);
}

BOOL CDialogFilterSetup::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    m_brushBk.CreateSolidBrush(RGB(40, 44, 51));
    m_brushBlack.CreateSolidBrush(RGB(0, 0, 0));
    for (CEdit* field : {static_cast<CEdit*>(&m_editLowCutFreq), static_cast<CEdit*>(&m_editHighCutFreq)})
        field->SetWindowPos(nullptr, 0, 0, ScaleForDpi(70), ScaleForDpi(13), SWP_NOMOVE | SWP_NOZORDER);
    m_fontTitle.CreateFont(ScaleForDpi(14), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, kPopupFontFace);
    for (int id : {IDC_FILTER_HP_TITLE, IDC_FILTER_LP_TITLE})
        if (CWnd* title = GetDlgItem(id)) title->SetFont(&m_fontTitle);
    FillSelectors();
    ShowValues();
    return TRUE;
}

void CDialogFilterSetup::FillSelectors()
{
    const int arrow = kArrowPng[ArrowBucket(g_screenDpi)];
    const int face = ByDpiBucket(kFaceHeight, g_screenDpi);
    for (CMyComboBox* combo : {&m_comboHpType, &m_comboHpSlope, &m_comboLpType, &m_comboLpSlope}) {
        if (combo == &m_comboHpType || combo == &m_comboLpType) {
            combo->AddItem(LoadResString(IDS_FILTER_BUTTERWORTH), 0, RGB(255, 255, 255));
            combo->AddItem(LoadResString(IDS_FILTER_BESSEL), 0, RGB(255, 255, 255));
        } else {
            for (int i = 0; i < kSlopeOff; ++i)
                combo->AddItem(std::to_wstring(6 * (i + 1)) + L"dB/Oct", 0, RGB(255, 255, 255));
            combo->AddItem(LoadResString(IDS_SLOPE_OFF), 0, RGB(255, 255, 255));
        }
        combo->SetComboFont(ScaleForDpi(12), L"黑体", 1, kSkinTextColour);
        combo->SetArrowImages(arrow, arrow);
        combo->SetItemHeight(-1, static_cast<UINT>(face));
    }
}

void CDialogFilterSetup::ShowValues()
{
    const int c = g_selectedChannel;
    m_editHighCutFreq.UpdateText();
    m_comboLpType.SetCurSel(g_lpType[c]);
    m_comboLpSlope.SetCurSel(g_lpSlope[c]);
    m_editLowCutFreq.UpdateText();
    m_comboHpType.SetCurSel(g_hpType[c]);
    m_comboHpSlope.SetCurSel(g_hpSlope[c]);
}

void CDialogFilterSetup::OnClickedOk() {}

// A selector without a selection sends nothing.
void CDialogFilterSetup::Send(FilterSetupValue which, const CMyComboBox& combo)
{
    const int index = combo.GetCurSel();
    CWnd* main = AfxGetMainWnd();
    if (index < 0 || !main || main == this) return;
    main->SendMessage(WM_FILTER_SETUP_CHANGED, which, static_cast<LPARAM>(index));
}

void CDialogFilterSetup::OnSelChangeHighPassType() { Send(FILTER_HP_TYPE, m_comboHpType); }
void CDialogFilterSetup::OnSelChangeHighPassSlope() { Send(FILTER_HP_SLOPE, m_comboHpSlope); }
void CDialogFilterSetup::OnSelChangeLowPassType() { Send(FILTER_LP_TYPE, m_comboLpType); }
void CDialogFilterSetup::OnSelChangeLowPassSlope() { Send(FILTER_LP_SLOPE, m_comboLpSlope); }

// Leaving a field commits what was typed, as in the main window: an
// accepted text stays as typed, a rejected one gives way to the stored value.
void CDialogFilterSetup::CommitOnFocusLoss(EditCutFreq& field)
{
    CutFreqKind kind = field.GetKind() == 1 ? CutFreqKind::HighPass() : CutFreqKind::LowPass();
    if (!kind.Commit(field.GetWindowTextString())) field.UpdateText();
}

// Escape ends the dialog without moving the focus: the field that has it
// commits first, as leaving it would.
void CDialogFilterSetup::OnCancel()
{
    CWnd* focus = CWnd::GetFocus();
    if (focus == &m_editLowCutFreq) CommitOnFocusLoss(m_editLowCutFreq);
    if (focus == &m_editHighCutFreq) CommitOnFocusLoss(m_editHighCutFreq);
    PopupDialog::OnCancel();
}

void CDialogFilterSetup::OnKillFocusHpFreq() { CommitOnFocusLoss(m_editLowCutFreq); }
void CDialogFilterSetup::OnKillFocusLpFreq() { CommitOnFocusLoss(m_editHighCutFreq); }

HBRUSH CDialogFilterSetup::PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH)
{
    if (kind == CTLCOLOR_EDIT || kind == CTLCOLOR_LISTBOX) {
        dc->SetTextColor(RGB(0, 183, 238));
        dc->SetBkColor(RGB(0, 0, 0));
        return &m_brushBlack;
    }
    if (kind == CTLCOLOR_STATIC || kind == CTLCOLOR_BTN) {
        const int id = wnd ? wnd->GetDlgCtrlID() : 0;
        const bool title = id == IDC_FILTER_HP_TITLE || id == IDC_FILTER_LP_TITLE;
        dc->SetTextColor(title ? kSkinTextColour : RGB(153, 153, 153));
        dc->SetBkMode(TRANSPARENT);
        return static_cast<CBrush*>(GetStockObject(NULL_BRUSH));
    }
    return &m_brushBk;
}
