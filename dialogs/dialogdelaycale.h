// The delay calculator: the listening distance of each output channel's
// speaker, in centimetres on the delay's 48 kHz sample grid, becomes the
// delay that makes every speaker's sound arrive with the farthest one's.
// The results go to the main window (WM_DELAY_CALCULATED, one per channel,
// distance << 16 | delay), which keeps the distances for the next opening.
#pragma once

#include <array>

#include "dialogs/dialog_messages.h"
#include "dialogs/popuplook.h"
#include "fields/editdelay.h"

constexpr int kDistanceChannels = 12;

// The distance fields and their labels by channel.
extern const int g_distanceEditId[kDistanceChannels];
extern const int g_distanceLabelId[kDistanceChannels];

// The channels the calculator shows for a device model: CH1..CH(n).
int DelayCaleShownChannels(int model);

// Delays for distances d (samples): the largest distance among the first
// shown channels (the first of equal ones) less each distance, at least 0.
std::array<int, kDistanceChannels> CalculateDelays(const std::array<int, kDistanceChannels>& d, int shown);

class CDialogDelayCale : public PopupDialog {
public:
    explicit CDialogDelayCale(CWnd* parent = nullptr);
    ~CDialogDelayCale() override;

    // The distances remembered by the main window (samples, CH1..CH12).
    void SetStoredDistances(const int* distances);
    CEditDelayCale& DistanceField(int channel) { return m_editDistance[static_cast<size_t>(channel)]; }

protected:
    void DoDataExchange(CDataExchange* dx) override;
    BOOL OnInitDialog() override;
    HBRUSH PopupCtlColor(CDC* dc, CWnd* wnd, UINT kind, HBRUSH framework) override;

    afx_msg void OnClickedOk();
    afx_msg void OnClickedCalculate();
    afx_msg void OnClickedReset();
    afx_msg void OnKillFocusDistanceCh(int channel);
    DECLARE_MESSAGE_MAP()

private:
    void SetLabelFonts();
    void ShowDistances();

    CBrush m_brushBk;
    CBrush m_brushEdit;
    CFont m_fontTitle;
    std::array<CEditDelayCale, kDistanceChannels> m_editDistance;
    int m_nDistance[kDistanceChannels] = {};
};
