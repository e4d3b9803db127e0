// Dialogs built from a dialog template: the template's controls are created
// with their ids, kinds, styles and texts, placed by converting dialog units
// with the base units of the template's font at the screen DPI. DoModal runs
// a modal loop until EndDialog; window timers, posted messages and messages
// sent from other threads keep being served meanwhile.
//
// Enter sends WM_COMMAND with the focused push button's id, or else with
// the default id (GetDefID: IDOK unless SetDefID changed it); Escape sends
// IDCANCEL. The base map binds IDOK to OnOK and IDCANCEL to OnCancel; WM_CLOSE
// without a handler becomes IDCANCEL.
#pragma once

#include <string>

#include "platform/resources.h"
#include "platform/wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL saveAndValidate) : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    bool m_fail = false;
    void Fail() { m_fail = true; }
};

// Attaches control to the dialog's control id (once; later calls do
// nothing). A missing id marks the exchange failed.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::wstring& value);

class CDialog : public CWnd {
public:
    // The template by id (FindDialogTemplate), or a template given directly.
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(const DialogTemplate* dialogTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    // The EndDialog result; -1 when the template is missing.
    virtual INT_PTR DoModal();
    void EndDialog(int result);
    // TRUE moves the focus to the first tab stop; FALSE when the focus was set.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;

    DWORD GetDefID() const;
    void SetDefID(UINT id);
    void NextDlgCtrl() const;

    // The template in use (nullptr before DoModal found it).
    const DialogTemplate* GetTemplate() const { return m_template; }
    // Base units of the dialog's font at the screen DPI (valid from DoModal on).
    DialogBaseUnits GetBaseUnits() const { return m_units; }
    void MapDialogRect(LPRECT rect) const;

protected:
    DECLARE_MESSAGE_MAP()

    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;

private:
    const DialogTemplate* m_template = nullptr;
    DialogBaseUnits m_units;
    BOOL CreateFromTemplate();
    friend struct DialogAccess;
};

class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};
