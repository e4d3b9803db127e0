// The crossover setup: both filters of the selected channel in one place,
// type and slope by selectors and the cut frequencies by their fields. A
// new type or slope goes at once to the main window (WM_FILTER_SETUP_CHANGED),
// which stores it, shows it and spreads it as its own selectors do; the
// fields write the model themselves, on Enter and on leaving them.
#pragma once

#include "dialogs/dialog_messages.h"
#include "dialogs/popuplook.h"
#include "fields/editcutfreq.h"
#include "widgets/mycombobox.h"

// wParam of WM_FILTER_SETUP_CHANGED; lParam is the selector's index.
enum FilterSetupValue : WPARAM {
    FILTER_HP_TYPE = 0,
    FILTER_HP_SLOPE = 1,
    FILTER_LP_TYPE = 2,
    FILTER_LP_SLOPE = 3,
};

class CDialogFilterSetup : public PopupDialog {
public:
    explicit CDialogFilterSetup(CWnd* parent = nullptr);
    ~CDialogFilterSetup() override;

    CMyComboBox m_comboHpType;
    CMyComboBox m_comboHpSlope;
    CMyComboBox m_comboLpType;
    CMyComboBox m_comboLpSlope;
    CEidtLowCutFreq m_editLowCutFreq;
    CEditHighCutFreq m_editHighCutFreq;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework) override;

    afx_msg void OnClickedOk();
    afx_msg void OnSelChangeHighPassType();
    afx_msg void OnSelChangeHighPassSlope();
    afx_msg void OnSelChangeLowPassType();
    afx_msg void OnSelChangeLowPassSlope();
    afx_msg void OnKillFocusHpFreq();
    afx_msg void OnKillFocusLpFreq();
    DECLARE_MESSAGE_MAP()

private:
    void FillSelectors();
    void ShowValues();
    void Send(FilterSetupValue which, const CMyComboBox& combo);
    static void CommitOnFocusLoss(EditCutFreq& field);

    CBrush m_brushBk;
    CBrush m_brushBlack;
    CFont m_fontTitle;
};
