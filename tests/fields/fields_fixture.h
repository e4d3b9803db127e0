// The entry fields on real windows: a stand-in for the main window holding
// every main-window field (the 93 band fields with their sliders, the cut
// frequencies, the twelve delay and gain fields, the master volume with its
// slider and mute button, and a plain button), and a stand-in for a popup
// holding a mixer cell, the mix volume field and a distance field. Each
// does what the real owner does with the fields' messages and focus
// notifications, and records them in order. Scripts run inside the modal
// loop with the window active; input goes through the layer's key, mouse
// and wheel events.
#pragma once

#include <array>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "fields/bandrow.h"
#include "fields/editband.h"
#include "fields/editcutfreq.h"
#include "fields/editdelay.h"
#include "fields/editgain.h"
#include "fields/editvolume.h"
#include "fields/field_messages.h"
#include "model/value_kinds.h"
#include "platform/app.h"
#include "tests/model/model_fakes.h"
#include "tests/platform/ui_test.h"
#include "tests/support/edit_selection.h"

namespace fields_testing {

using platform_testing::Activate;
using platform_testing::ClickAt;
using platform_testing::HoldKey;
using platform_testing::PressKey;
using platform_testing::WheelAt;

constexpr UINT WM_RUN_SCRIPT = WM_USER + 61;

// Control ids of the stand-ins.
constexpr int kFreqId = 2000;  // + band
constexpr int kQId = 2100;
constexpr int kGainId = 2200;
constexpr int kSliderId = 2300;
constexpr int kHpId = 2400;
constexpr int kLpId = 2401;
constexpr int kDelayId = 2500;   // + channel
constexpr int kChGainId = 2600;  // + channel
constexpr int kMasterId = 2700;
constexpr int kMasterSliderId = 2701;
constexpr int kMasterMuteId = 2702;
constexpr int kButtonId = 2703;
constexpr int kCellId = 2800;
constexpr int kMixVolId = 2801;
constexpr int kDistanceId = 2802;
constexpr int kPopupButtonId = 2803;

// The mixer cell of the popup: CH3, input bit 3.
constexpr int kCellChannel = 2;
constexpr uint32_t kCellBit = 1u << 3;

// A message or notification the stand-in received: for WM_COMMAND the
// control id and the notification code.
struct Event {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Event&) const = default;
};
inline void PrintTo(const Event& e, std::ostream* os)
{
    *os << "{0x" << std::hex << e.message << std::dec << ", " << e.wParam << ", " << e.lParam << "}";
}
inline Event Command(int id, UINT code) { return {WM_COMMAND, static_cast<WPARAM>(id), static_cast<LPARAM>(code)}; }

class RecordingDlg : public CDialogEx {
public:
    using CDialogEx::CDialogEx;
    std::vector<Event> events;
    std::function<void()> script;

    // Only the fields' messages, focus notifications of the fields and
    // button clicks.
    std::vector<Event> Messages() const;
    void Clear() { events.clear(); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override { events.push_back(Command(IDOK, BN_CLICKED)); }
    BOOL OnCommand(WPARAM w, LPARAM l) override;
    virtual void OnFieldNotify(int /*id*/, UINT /*code*/) {}
    afx_msg LRESULT OnRunScript(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

class MainFieldsDlg : public RecordingDlg {
public:
    explicit MainFieldsDlg(const DialogTemplate* t);

    BandRow<CEditFre, EditBandFreq> fre;
    BandRow<CEditQ, EditBandQ> q;
    BandRow<CEditFreqGain, EditBandGain> gain;
    BandFieldGrid grid{fre, q, gain};
    std::array<CSliderCtrl, kBands> sliders;
    CEidtLowCutFreq hp;
    CEditHighCutFreq lp;
    CEditDelayFL delayFL;
    CEditDelayFR delayFR;
    CEditDelayRL delayRL;
    CEditDelayRR delayRR;
    CEditDelayCenter delayCenter;
    CEditDelaySubwoofer delaySubwoofer;
    std::array<CEditDelay, 6> delayCh;
    CEditGainFL gainFL;
    CEditGainFR gainFR;
    CEditGainRL gainRL;
    CEditGainRR gainRR;
    CEditGainCenter gainCenter;
    CEditGainSubwoofer gainSubwoofer;
    std::array<CEditGain, 6> gainCh;
    CEditSystemVol master;
    CSliderCtrl masterSlider;
    DelayFieldSet delays;
    // Read when the plain button's click arrives.
    std::function<std::string()> snapshot;
    std::vector<std::string> snapshotsAtClick;

    // Every field, slider and the mute button as the model is now.
    void ShowModel();
    CEdit& GainField(int channel);
    CEditDelay& DelayField(int channel) { return delays.Field(channel); }
    CWnd& Button() { return *GetDlgItem(kButtonId); }
    CWnd& MuteButton() { return *GetDlgItem(kMasterMuteId); }

protected:
    BOOL OnInitDialog() override;
    void OnFieldNotify(int id, UINT code) override;
    afx_msg LRESULT OnEditStep(WPARAM w, LPARAM l);
    afx_msg LRESULT OnEditCommit(WPARAM w, LPARAM l);
    afx_msg LRESULT OnEditNavigate(WPARAM w, LPARAM l);
    afx_msg LRESULT OnDelayChanged(WPARAM w, LPARAM l);
    DECLARE_MESSAGE_MAP()
};

class PopupFieldsDlg : public RecordingDlg {
public:
    explicit PopupFieldsDlg(const DialogTemplate* t) : RecordingDlg(t) {}

    CEditGain cell;
    CEditVol mixVol;
    CEditDelayCale distance;
    int mixVolume = 0;  // the value the dialog owns for the mix volume field

protected:
    BOOL OnInitDialog() override;
    afx_msg LRESULT OnEditStep(WPARAM w, LPARAM l);
    afx_msg LRESULT OnEditCommit(WPARAM w, LPARAM l);
    afx_msg LRESULT OnEditNavigate(WPARAM w, LPARAM l);
    DECLARE_MESSAGE_MAP()
};

DialogTemplate MainFieldsTemplate();
DialogTemplate PopupFieldsTemplate();

// Model defaults (a full reset, no links or bridges, milliseconds), the UI,
// and the stand-in main window as the application's main window.
class FieldsTest : public ModelTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The model's defaults again, the delays 0 (each case of a table
    // starts from them).
    void ResetModel() { ModelTest::SetUp(); }
    void ResetModel(MainFieldsDlg& d);

    // Runs body inside the modal loop of the stand-in main window.
    void RunMain(const std::function<void(MainFieldsDlg&)>& body);
    void RunPopup(const std::function<void(PopupFieldsDlg&)>& body);

    CWinApp app;
};

// Input helpers: a click into the field (focus, whole text selected), then
// the text typed over the selection, key by key.
void Type(CWnd& field, const std::wstring& text);
void ClickInto(CWnd& field);
void TypeInto(CWnd& field, const std::wstring& text);
void Press(CWnd& field, UINT key);
void Wheel(CWnd& field, int delta);
std::wstring Text(const CWnd& field);
bool HasFocus(const CWnd& field);

}  // namespace fields_testing
