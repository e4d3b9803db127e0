#include "dialogs/loadpercent.h"

#include "model/device_state.h"
#include "res/resource.h"

BEGIN_MESSAGE_MAP(CLoadPercent, CDialogEx)
    ON_BN_CLICKED(IDOK, &CLoadPercent::OnClickedOk)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CLoadPercent::CLoadPercent(CWnd* parent) : CDialogEx(IDD_LOAD_PERCENT, parent) {}

CLoadPercent::~CLoadPercent() = default;

void CLoadPercent::DoDataExchange(CDataExchange* dx)
{
    CDialogEx::DoDataExchange(dx);
    DDX_Control(dx, IDC_LOAD_PROGRESS, m_progress);
}

BOOL CLoadPercent::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    SetTimer(kPollTimer, kPollMs);
    m_progress.SetRange32(1, 1000);
    return TRUE;
}

// Enter, Escape and Alt+F4 leave the dialog open.
void CLoadPercent::OnClickedOk() {}
void CLoadPercent::OnCancel() {}

void CLoadPercent::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer) {
        // One read of the whole value: link threads write it meanwhile.
        const uint64_t permille = g_progressPermille.load();
        m_progress.SetPos(static_cast<int>(static_cast<uint32_t>(permille)));
        if (permille >= 1000) EndDialog(1);
    }
    CDialogEx::OnTimer(id);
}
