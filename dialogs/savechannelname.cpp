#include "dialogs/savechannelname.h"

#include "model/text_ids.h"
#include "platform/codepage.h"
#include "platform/resources.h"
#include "res/resource.h"

namespace {

PopupLook ChannelNameLook()
{
    PopupLook look;
    look.backgroundBitmap = IDB_POPUP_BACKGROUND;
    look.staticTextColor = kSkinTextColour;
    look.buttonTextColor = RGB(245, 245, 245);
    look.textButtons = {{IDOK, IDS_OK}, {IDCANCEL, IDS_CANCEL}};
    look.labels = {{IDC_CURRENT_NAME_LABEL, IDS_CURRENT_CHANNEL_NAME}, {IDC_NEW_NAME_LABEL, IDS_ENTER_CHANNEL_NAME}};
    return look;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSaveChannelName, PopupDialog)
    ON_BN_CLICKED(IDOK, &CSaveChannelName::OnClickedOk)
END_MESSAGE_MAP()

CSaveChannelName::CSaveChannelName(int channel, const char name[kNameRecordBytes], CWnd* parent)
    : PopupDialog(IDD_SAVE_CHANNEL_NAME, parent, ChannelNameLook()),
      m_nChannel(channel),
      m_strOldName(DecodeAnsi(name, kNameRecordBytes))
{}

CSaveChannelName::~CSaveChannelName() = default;

BOOL CSaveChannelName::OnInitDialog()
{
    PopupDialog::OnInitDialog();
    const std::wstring label = LoadResString(ChannelLabelTextId(m_nChannel));
    if (!label.empty()) SetWindowText(label);
    SetDlgItemText(IDC_NAME_EDIT, m_strOldName.empty() ? label : m_strOldName);
    if (CWnd* edit = GetDlgItem(IDC_NEW_NAME_EDIT)) edit->SetFocus();
    return FALSE;
}

void CSaveChannelName::OnClickedOk()
{
    UpdateData(TRUE);
    if (CWnd* edit = GetDlgItem(IDC_NEW_NAME_EDIT)) m_strNewName = edit->GetWindowTextString();
    CDialog::OnOK();
}

// The read-only current name keeps the default colours.
HBRUSH CSaveChannelName::PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework)
{
    if (wnd && wnd->GetDlgCtrlID() == IDC_NAME_EDIT) return framework;
    return PopupDialog::PopupCtlColor(dc, wnd, kind, framework);
}
