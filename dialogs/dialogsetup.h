// The settings popup: firmware upgrade, factory reset (after a question)
// and the About box, which the main window carries out; the high-level mix
// volume, reported at once; and the interface language for the next start,
// kept in the language file.
#pragma once

#include <string>
#include <vector>

#include "dialogs/dialog_messages.h"
#include "dialogs/popuplook.h"
#include "fields/editvolume.h"
#include "widgets/mycombobox.h"

// The language file: two bytes, a little-endian language id.
constexpr const char* kLanguageFileName = "DspLanguage.ini";

// wParam of WM_SETUP_COMMAND.
enum SetupCommand : WPARAM {
    SETUP_FIRMWARE_UPGRADE = 0,
    SETUP_FACTORY_RESET = 1,
    SETUP_ABOUT = 2,
    SETUP_NO_SIGNAL_MUTE = 3,
};

// Language choice 1 (Chinese) or 2 (English) is written as its id to the
// first of paths that exists (the file the next start reads), or else to the
// first where a new file can be made; 0 (follow the system) deletes every
// one of paths that exists. False when that did not happen (nothing could
// be written, or a file is left that the next start would read); a failed
// write leaves the files as they were.
bool StoreLanguageChoice(int choice, const std::vector<std::string>& paths);

class CDialogSetup : public PopupDialog {
public:
    explicit CDialogSetup(unsigned mixVolume, CWnd* parent = nullptr);
    ~CDialogSetup() override;

    unsigned GetMixVolume() const { return static_cast<unsigned>(m_nMixVolume); }

    // Steps (WM_EDIT_STEP), Enter and focus loss (WM_EDIT_COMMIT) come
    // back here; the dialog owns the value and rewrites the text.
    CEditVol m_editVol;
    CMyComboBox m_comboLanguage;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework) override;

    afx_msg void OnClickedUpgrade();
    afx_msg void OnClickedFactoryReset();
    afx_msg void OnClickedAbout();
    afx_msg void OnClickedNoSignalMute();
    afx_msg void OnClickedOk();
    afx_msg void OnSelChangeLanguage();
    afx_msg LRESULT OnStepMixVolume(WPARAM key, LPARAM);
    afx_msg LRESULT OnCommitMixVolume(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void ShowMixVolume();
    void FillLanguageCombo();
    void SendToMain(UINT message, WPARAM wParam);
    void RunCommand(SetupCommand command);

    CBrush m_brushBk;
    CBrush m_brushEdit;
    int m_nMixVolume;
};
