// Recall a device preset: the slot selector and the selected slot's stored
// name, read-only. The main window asks the device for the chosen slot.
#pragma once

#include "dialogs/popuplook.h"
#include "dialogs/presetslots.h"

class CImportModeDsp : public PopupDialog {
public:
    CImportModeDsp(int slot, const PresetNameRecords& names, CWnd* parent = nullptr);
    ~CImportModeDsp() override;

    int GetSelectedSlot() const { return m_nSlot; }

protected:
    BOOL OnInitDialog() override;
    HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework) override;
    afx_msg void OnSelChangeSlot();
    DECLARE_MESSAGE_MAP()

private:
    void ShowSlotName();

    int m_nSlot;
    PresetNames m_strNames;
    CBrush m_brushWhite;
};
