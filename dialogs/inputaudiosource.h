// Input source: five choosable sources and the high-level mix flag. The
// main window sends the chosen source to the device.
#pragma once

#include <cstdint>

#include "dialogs/popuplook.h"

// Combo index <-> source code: 0..4 stand for 1 (High Level), 2 (Low
// Level), 3 (Bluetooth), 5 (Optical/coaxial), 9 (USB).
int SourceIndexOfCode(int code);
int SourceCodeOfIndex(int index);

class CInputAudioSource : public PopupDialog {
public:
    CInputAudioSource(int sourceIndex, uint8_t highLevelMix, CWnd* parent = nullptr);
    ~CInputAudioSource() override;

    int GetSourceIndex() const { return m_nSourceIndex; }
    uint8_t GetHighLevelMix() const { return m_bHighLevelMix; }

protected:
    BOOL OnInitDialog() override;
    bool DrawPopupItem(LPDRAWITEMSTRUCT dis) override;
    afx_msg void OnSelChangeSource();
    afx_msg void OnClickedHighLevelMix();
    DECLARE_MESSAGE_MAP()

private:
    int m_nSourceIndex;
    uint8_t m_bHighLevelMix;
};
