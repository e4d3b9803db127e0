// Save to a device preset: the slot selector and the name to store (at most
// 10 characters), which shows the selected slot's stored name. The main
// window stores and sends the name and has the device save the slot.
#pragma once

#include <string>

#include "dialogs/popuplook.h"
#include "dialogs/presetslots.h"

class CSaveModeToDsp : public PopupDialog {
public:
    static constexpr int kMaxNameChars = 10;

    CSaveModeToDsp(int slot, const PresetNameRecords& names, CWnd* parent = nullptr);
    ~CSaveModeToDsp() override;

    int GetSelectedSlot() const { return m_nSlot; }
    void GetName(std::wstring& out) const { out = m_strName; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    afx_msg void OnSelChangeSlot();
    afx_msg void OnClickedOk();
    afx_msg void OnChangeName();
    DECLARE_MESSAGE_MAP()

private:
    void ShowSlotName();
    void SetNameText(const std::wstring& text);

    int m_nSlot;
    std::wstring m_strName;
    PresetNames m_strNames;
    std::wstring m_shownText;  // the name field's text before the last edit
    bool m_settingText = false;
};
