// The input mixer: the 12 x 18 input volumes of g_inputMixVolume as a grid
// of cells, each a field and a slider, laid out once for the device model,
// the AUX-3/AUX-4 option, the selected input source and the DPI when the
// dialog opens (dialogs/mixerlayout.h). Every slider move, key step and
// committed text writes the model at once; the main window's routing-image
// synchronisation takes it to the device. Closing undoes nothing.
#pragma once

#include <array>

#include "dialogs/mixerlayout.h"
#include "dialogs/popuplook.h"
#include "fields/editgain.h"
#include "widgets/newsliderctrl.h"

class CDialogChInputVol : public PopupDialog {
public:
    explicit CDialogChInputVol(UINT templateId, CWnd* parent = nullptr);
    ~CDialogChInputVol() override;

    CEditGain& Edit(int channel, int bit) { return m_editCell[channel][bit]; }
    CNewSliderCtrl& Slider(int channel, int bit) { return m_sliderCell[channel][bit]; }

    // The group of a caption id (10 for any other control).
    static int GetLabelSourceGroup(int controlId) { return MixerLabelGroup(controlId); }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework) override;

    afx_msg void OnClickedOk();
    afx_msg LRESULT OnRefreshCell(WPARAM channel, LPARAM sourceBit);
    afx_msg LRESULT OnCommitCell(WPARAM channel, LPARAM sourceBit);
    afx_msg void OnHScroll(UINT code, UINT pos, CWnd* scrollBar);
    afx_msg LRESULT OnNavigateCell(WPARAM key, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void PlaceCloseButton();
    void SetupLabels();
    void SetupCellEdits();
    void SetupCellSliders();
    // The cell of a message's (channel, single source bit); false for none.
    static bool CellOf(WPARAM channel, LPARAM sourceBit, int& c, int& b);

    CFont m_fontChannel;
    CFont m_fontCell;  // the cell fields' texts, sized to their width
    CBrush m_brushEdit;
    std::array<std::array<CEditGain, kMixerInputs>, kMixerChannels> m_editCell;
    std::array<std::array<CNewSliderCtrl, kMixerInputs>, kMixerChannels> m_sliderCell;
    // The layout's inputs, read once when the dialog opens.
    int m_model = 0;
    int m_noAux34 = 0;
    int m_source = 0;
};
