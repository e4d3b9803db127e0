#include "dialogs/dialoglogo.h"

#include "model/device_state.h"
#include "model/resets.h"
#include "platform/app.h"
#include "res/resource.h"

uint8_t g_relayoutPending = 0;

namespace {

PopupLook LogoLook(int bucket)
{
    PopupLook look;
    look.backgroundBitmap = SkinBitmap(SKIN_LOGO_BACKGROUND, bucket);
    look.closeButton = CloseButtonSize::ToBitmap;
    look.labelFont = false;
    look.staticTextColor = kSkinTextColour;
    look.buttonTextColor = kSkinTextColour;
    look.textButtons = {
        {IDC_LOGO_ENTER, IDS_ENTER, SkinBitmap(SKIN_LOGO_ENTER_PRESSED, bucket), SkinBitmap(SKIN_LOGO_ENTER, bucket)}};
    return look;
}

}  // namespace

// The model buttons and their captions, by entry index - 1.
// clang-format off
constexpr int kModelButtonId[CDialogLogo::kModelCount] = {
    IDC_MODEL_BUTTON1, IDC_MODEL_BUTTON2, IDC_MODEL_BUTTON3, IDC_MODEL_BUTTON4,
    IDC_MODEL_BUTTON5, IDC_MODEL_BUTTON6, IDC_MODEL_BUTTON7,
};
constexpr int kModelCaptionId[CDialogLogo::kModelCount] = {
    IDC_MODEL_CAPTION1, IDC_MODEL_CAPTION2, IDC_MODEL_CAPTION3, IDC_MODEL_CAPTION4,
    IDC_MODEL_CAPTION5, IDC_MODEL_CAPTION6, IDC_MODEL_CAPTION7,
};
const CDialogLogo::ModelChoice CDialogLogo::kModels[kModelCount] = {
    {kModelButtonId[0], kModelCaptionId[0], 5, false},
    {kModelButtonId[1], kModelCaptionId[1], 4, true},
    {kModelButtonId[2], kModelCaptionId[2], 2, false},
    {kModelButtonId[3], kModelCaptionId[3], 6, false},
    {kModelButtonId[4], kModelCaptionId[4], 7, false},
    {kModelButtonId[5], kModelCaptionId[5], 1, false},
    {kModelButtonId[6], kModelCaptionId[6], 8, true},
};
// clang-format on

BEGIN_MESSAGE_MAP(CDialogLogo, PopupDialog)
    ON_CONTROL_TABLE(BN_CLICKED, kModelButtonId, &CDialogLogo::OnClickedModel)
    ON_CONTROL_TABLE(STN_CLICKED, kModelCaptionId, &CDialogLogo::OnClickedModel)
    ON_CONTROL(BN_DOUBLECLICKED, IDC_MODEL_BUTTON5, &CDialogLogo::OnDoubleClickedModel5)
    ON_BN_CLICKED(IDC_LOGO_ENTER, &CDialogLogo::OnClickedEnter)
    ON_BN_CLICKED(IDOK, &CDialogLogo::OnClickedOk)
    ON_BN_CLICKED(IDCANCEL, &CDialogLogo::OnClickedCancel)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CDialogLogo::CDialogLogo(CWnd* parent) : PopupDialog(IDD_LOGO, parent, LogoLook(0)) {}

namespace {
CDialogLogo* s_open = nullptr;  // the picker on screen
}

CDialogLogo::~CDialogLogo()
{
    if (s_open == this) s_open = nullptr;
}

BOOL CDialogLogo::OnInitDialog()
{
    // The bitmaps follow the DPI the main window read.
    m_bucket = DpiBucket(g_screenDpi);
    m_look = LogoLook(m_bucket);
    PopupDialog::OnInitDialog();

    // Painted one to one: the picker takes its background's size.
    SetWindowPos(nullptr, 0, 0, m_bmBackground.bmWidth, m_bmBackground.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    for (const ModelChoice& m : kModels) SizeToBitmap(m.buttonId, SkinBitmap(SKIN_MODEL, m_bucket));
    SizeToBitmap(IDC_LOGO_ENTER, SkinBitmap(SKIN_LOGO_ENTER_PRESSED, m_bucket));

    for (const ModelChoice& m : kModels) {
        for (int id : {m.buttonId, m.captionId}) {
            if (CWnd* item = GetDlgItem(id)) item->ShowWindow(m.visible ? SW_SHOW : SW_HIDE);
        }
    }
    s_open = this;
    SetTimer(kPollTimer, kPollMs);
    return TRUE;
}

void CDialogLogo::OnClickedModel(int index)
{
    m_nModelIndex = index + 1;
    InvalidateModelButtons();
}

void CDialogLogo::OnDoubleClickedModel5() { OnClickedModel(4); }

void CDialogLogo::InvalidateModelButtons()
{
    for (const ModelChoice& m : kModels) {
        if (CWnd* item = GetDlgItem(m.buttonId)) item->Invalidate(TRUE);
    }
}

void CDialogLogo::OnClickedEnter()
{
    // A device that identified itself meanwhile keeps its own model.
    if (g_deviceInfoReceived.load() == 1) {
        EndDialog(1);
        return;
    }
    if (m_nModelIndex >= 1 && m_nModelIndex <= kModelCount) g_deviceModel = kModels[m_nModelIndex - 1].deviceModel;
    g_relayoutPending = 1;
    ApplyPickerDefaultRouting();
    EndDialog(1);
}

void CDialogLogo::OnClickedOk() { OnClickedEnter(); }

void CDialogLogo::OnClickedCancel()
{
    CWnd* main = AfxGetMainWnd();
    if (main && main != this) main->SendMessage(WM_CLOSE);
    CDialog::OnCancel();
}

void CDialogLogo::EndIfDeviceIdentified()
{
    if (s_open && s_open->m_hWnd && g_deviceInfoReceived.load() == 1) s_open->EndDialog(1);
}

void CDialogLogo::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer && g_deviceInfoReceived.load() == 1) EndDialog(1);
    PopupDialog::OnTimer(id);
}

bool CDialogLogo::DrawPopupItem(LPDRAWITEMSTRUCT dis)
{
    for (int i = 0; i < kModelCount; ++i) {
        if (static_cast<UINT>(kModels[i].buttonId) != dis->CtlID) continue;
        const bool selected = i + 1 == m_nModelIndex;
        DrawBitmapItem(dis, SkinBitmap(selected ? SKIN_MODEL_SELECTED : SKIN_MODEL, m_bucket));
        return true;
    }
    return PopupDialog::DrawPopupItem(dis);
}
