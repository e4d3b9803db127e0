#include "tests/fields/fields_fixture.h"

#include <cwctype>

namespace fields_testing {

// ---------------------------------------------------------------------------
// Recording

BEGIN_MESSAGE_MAP(RecordingDlg, CDialogEx)
    ON_MESSAGE(WM_RUN_SCRIPT, &RecordingDlg::OnRunScript)
END_MESSAGE_MAP()

std::vector<Event> RecordingDlg::Messages() const
{
    std::vector<Event> out;
    for (const Event& e : events)
        if (e.message != WM_COMMAND) out.push_back(e);
    return out;
}

BOOL RecordingDlg::OnInitDialog()
{
    CDialogEx::OnInitDialog();
    PostMessage(WM_RUN_SCRIPT);
    return FALSE;
}

BOOL RecordingDlg::OnCommand(WPARAM w, LPARAM l)
{
    const int id = LOWORD(w);
    const UINT code = HIWORD(w);
    if (id != IDOK && (code == EN_SETFOCUS || code == EN_KILLFOCUS || code == BN_CLICKED)) {
        events.push_back(Command(id, code));
        OnFieldNotify(id, code);
    }
    return CDialogEx::OnCommand(w, l);
}

LRESULT RecordingDlg::OnRunScript(WPARAM, LPARAM)
{
    Activate(m_hWnd);
    if (script) script();
    EndDialog(IDOK);
    return 0;
}

// ---------------------------------------------------------------------------
// The main window's stand-in

BEGIN_MESSAGE_MAP(MainFieldsDlg, RecordingDlg)
    ON_MESSAGE(WM_EDIT_STEP, &MainFieldsDlg::OnEditStep)
    ON_MESSAGE(WM_EDIT_COMMIT, &MainFieldsDlg::OnEditCommit)
    ON_MESSAGE(WM_EDIT_NAVIGATE, &MainFieldsDlg::OnEditNavigate)
    ON_MESSAGE(WM_DELAY_CHANGED, &MainFieldsDlg::OnDelayChanged)
END_MESSAGE_MAP()

MainFieldsDlg::MainFieldsDlg(const DialogTemplate* t) : RecordingDlg(t)
{
    CEditDelay* named[] = {&delayFL, &delayFR, &delayRL, &delayRR, &delayCenter, &delaySubwoofer};
    for (int c = 0; c < kChannels; ++c) {
        delays.Attach(c, c < 6 ? named[c] : &delayCh[static_cast<size_t>(c - 6)]);
    }
    hp.SetPartner(&lp);
    lp.SetPartner(&hp);
}

CEdit& MainFieldsDlg::GainField(int channel)
{
    switch (channel) {
    case 0: return gainFL;
    case 1: return gainFR;
    case 2: return gainRL;
    case 3: return gainRR;
    case 4: return gainCenter;
    case 5: return gainSubwoofer;
    default: return gainCh[static_cast<size_t>(channel - 6)];
    }
}

BOOL MainFieldsDlg::OnInitDialog()
{
    for (int b = 0; b < kBands; ++b) {
        fre[b].SubclassDlgItem(static_cast<UINT>(kFreqId + b), this);
        q[b].SubclassDlgItem(static_cast<UINT>(kQId + b), this);
        gain[b].SubclassDlgItem(static_cast<UINT>(kGainId + b), this);
        sliders[b].SubclassDlgItem(static_cast<UINT>(kSliderId + b), this);
        sliders[b].SetRange(0, 300);
        gain[b].SetSlider(&sliders[b]);
    }
    hp.SubclassDlgItem(kHpId, this);
    lp.SubclassDlgItem(kLpId, this);
    for (int k = 0; k < 6; ++k) gainCh[static_cast<size_t>(k)].SetChannel(6 + k, 0);
    for (int c = 0; c < kChannels; ++c) {
        delays.Field(c).SubclassDlgItem(static_cast<UINT>(kDelayId + c), this);
        GainField(c).SubclassDlgItem(static_cast<UINT>(kChGainId + c), this);
    }
    master.SubclassDlgItem(kMasterId, this);
    masterSlider.SubclassDlgItem(kMasterSliderId, this);
    masterSlider.SetRange(0, 60);
    master.SetControls(&masterSlider, static_cast<CButton*>(GetDlgItem(kMasterMuteId)));
    ShowModel();
    return RecordingDlg::OnInitDialog();
}

void MainFieldsDlg::ShowModel()
{
    for (int b = 0; b < kBands; ++b) {
        fre[b].UpdateText();
        q[b].UpdateText();
        gain[b].UpdateText();
        sliders[b].SetPos(BandGainKind(b).Value());
    }
    hp.UpdateText();
    lp.UpdateText();
    for (int c = 0; c < kChannels; ++c) {
        delays.Field(c).UpdateText();
        GainField(c).SetWindowText(ChannelGainKind(c).Format());
    }
    master.UpdateText();
    masterSlider.SetPos(g_masterVolume);
    MuteButton().SetWindowText((g_muteMask & 0x40) ? kMutedCaption : kUnmutedCaption);
}

// The owner's commit of a field that loses the focus, as the main window
// does it.
void MainFieldsDlg::OnFieldNotify(int id, UINT code)
{
    if (code == BN_CLICKED && id == kButtonId && snapshot) snapshotsAtClick.push_back(snapshot());
    if (code != EN_KILLFOCUS) return;
    // A frequency keeps an accepted text as typed; Q and gain show the
    // stored value's text in every case, the gain also on its slider.
    auto commit = [](CEdit& field, auto kind, bool keepsAccepted) {
        const bool accepted = kind.Commit(field.GetWindowTextString());
        if (!accepted || !keepsAccepted) field.SetWindowText(kind.Format());
        return accepted;
    };
    if (id >= kFreqId && id < kFreqId + kBands) commit(fre[id - kFreqId], BandFreqKind(id - kFreqId), true);
    if (id >= kQId && id < kQId + kBands) commit(q[id - kQId], BandQKind(id - kQId), false);
    if (id >= kGainId && id < kGainId + kBands && commit(gain[id - kGainId], BandGainKind(id - kGainId), false))
        sliders[id - kGainId].SetPos(BandGainKind(id - kGainId).Value());
    if (id == kHpId) commit(hp, CutFreqKind::HighPass(), true);
    if (id == kLpId) commit(lp, CutFreqKind::LowPass(), true);
    if (id >= kDelayId && id < kDelayId + kChannels) {
        CEditDelay& field = delays.Field(id - kDelayId);
        DelayKind(field.GetValueRef(), false).Commit(field.GetWindowTextString());
        field.UpdateText();
    }
    if (id >= kChGainId && id < kChGainId + kChannels)
        SendMessage(WM_EDIT_COMMIT, static_cast<WPARAM>(id - kChGainId), 0);
    if (id == kMasterId) {
        if (MasterVolumeKind().CommitOnFocusLoss(master.GetWindowTextString())) {
            masterSlider.SetPos(g_masterVolume);
            master.UpdateMuteButton();
        }
        master.UpdateText();
    }
}

LRESULT MainFieldsDlg::OnEditStep(WPARAM w, LPARAM l)
{
    events.push_back({WM_EDIT_STEP, w, l});
    if (w < static_cast<WPARAM>(kChannels) && l == 0)
        GainField(static_cast<int>(w)).SetWindowText(ChannelGainKind(static_cast<int>(w)).Format());
    return 0;
}

LRESULT MainFieldsDlg::OnEditCommit(WPARAM w, LPARAM l)
{
    events.push_back({WM_EDIT_COMMIT, w, l});
    if (w < static_cast<WPARAM>(kChannels) && l == 0) {
        const int c = static_cast<int>(w);
        ChannelGainKind(c).Commit(GainField(c).GetWindowTextString());
        GainField(c).SetWindowText(ChannelGainKind(c).Format());
    }
    return 0;
}

// The main window's rings CH1..CH12 of the delay and the gain fields, past
// the fields that cannot take the focus.
LRESULT MainFieldsDlg::OnEditNavigate(WPARAM w, LPARAM l)
{
    events.push_back({WM_EDIT_NAVIGATE, w, l});
    const int step = w == VK_RIGHT ? 1 : w == VK_LEFT ? kChannels - 1 : 0;
    for (const bool delay : {true, false}) {
        auto field = [&](int c) -> CEdit& { return delay ? static_cast<CEdit&>(DelayField(c)) : GainField(c); };
        for (int from = 0; step != 0 && from < kChannels; ++from) {
            if (!HasFocus(field(from))) continue;
            for (int k = 1; k < kChannels; ++k) {
                CEdit& to = field((from + k * step) % kChannels);
                if (to.IsWindowVisible() && to.IsWindowEnabled()) return to.SendMessage(WM_EDIT_NAVIGATE, 0, 0);
            }
        }
    }
    return 0;
}

LRESULT MainFieldsDlg::OnDelayChanged(WPARAM w, LPARAM l)
{
    events.push_back({WM_DELAY_CHANGED, w, l});
    return 0;
}

// ---------------------------------------------------------------------------
// The popup's stand-in

BEGIN_MESSAGE_MAP(PopupFieldsDlg, RecordingDlg)
    ON_MESSAGE(WM_EDIT_STEP, &PopupFieldsDlg::OnEditStep)
    ON_MESSAGE(WM_EDIT_COMMIT, &PopupFieldsDlg::OnEditCommit)
    ON_MESSAGE(WM_EDIT_NAVIGATE, &PopupFieldsDlg::OnEditNavigate)
END_MESSAGE_MAP()

BOOL PopupFieldsDlg::OnInitDialog()
{
    cell.SubclassDlgItem(kCellId, this);
    cell.SetChannel(kCellChannel, kCellBit);
    cell.SetWindowText(MixerCellKind(kCellChannel, kCellBit).Format());
    mixVol.SubclassDlgItem(kMixVolId, this);
    mixVol.SetWindowText(MixVolumeKind(&mixVolume).Format());
    distance.SubclassDlgItem(kDistanceId, this);
    distance.UpdateText();
    return RecordingDlg::OnInitDialog();
}

LRESULT PopupFieldsDlg::OnEditStep(WPARAM w, LPARAM l)
{
    events.push_back({WM_EDIT_STEP, w, l});
    if (l != 0) {
        cell.SetWindowText(MixerCellKind(static_cast<int>(w), static_cast<uint32_t>(l)).Format());
    } else if (w == VK_UP || w == VK_DOWN) {
        MixVolumeKind(&mixVolume).Step(w == VK_UP ? StepDirection::Up : StepDirection::Down);
        mixVol.SetWindowText(MixVolumeKind(&mixVolume).Format());
    }
    return 0;
}

LRESULT PopupFieldsDlg::OnEditCommit(WPARAM w, LPARAM l)
{
    events.push_back({WM_EDIT_COMMIT, w, l});
    if (l != 0) {
        MixerCellKind kind(static_cast<int>(w), static_cast<uint32_t>(l));
        kind.Commit(cell.GetWindowTextString());
        cell.SetWindowText(kind.Format());
    } else {
        MixVolumeKind(&mixVolume).Commit(mixVol.GetWindowTextString());
        mixVol.SetWindowText(MixVolumeKind(&mixVolume).Format());
    }
    return 0;
}

LRESULT PopupFieldsDlg::OnEditNavigate(WPARAM w, LPARAM l)
{
    events.push_back({WM_EDIT_NAVIGATE, w, l});
    return 0;
}

// ---------------------------------------------------------------------------
// Templates

DialogTemplate MainFieldsTemplate()
{
    std::vector<DialogControl> c;
    const uint32_t edit = ES_CENTER | ES_AUTOHSCROLL;
    for (int b = 0; b < kBands; ++b) {
        const int x = 2 + 14 * b;
        c.push_back(Control(kFreqId + b, "EDIT", edit, x, 2, 13, 9));
        c.push_back(Control(kQId + b, "EDIT", edit, x, 12, 13, 9));
        c.push_back(Control(kSliderId + b, "msctls_trackbar32", TBS_VERT, x, 22, 13, 30));
        c.push_back(Control(kGainId + b, "EDIT", edit, x, 53, 13, 9));
    }
    for (int ch = 0; ch < kChannels; ++ch) {
        c.push_back(Control(kDelayId + ch, "EDIT", edit, 2 + 30 * ch, 66, 28, 9));
        c.push_back(Control(kChGainId + ch, "EDIT", edit, 2 + 30 * ch, 77, 28, 9));
    }
    c.push_back(Control(kHpId, "EDIT", edit, 2, 90, 28, 9));
    c.push_back(Control(kLpId, "EDIT", edit, 32, 90, 28, 9));
    c.push_back(Control(kMasterId, "EDIT", edit, 62, 90, 28, 9));
    c.push_back(Control(kMasterSliderId, "msctls_trackbar32", TBS_VERT, 92, 88, 13, 30));
    c.push_back(Control(kMasterMuteId, "BUTTON", BS_OWNERDRAW, 108, 90, 30, 12, L"非静音"));
    c.push_back(Control(kButtonId, "BUTTON", BS_PUSHBUTTON, 140, 90, 40, 12, L"Link"));
    DialogTemplate t = MakeTemplate(9401, std::move(c));
    t.cx = 440;
    t.cy = 125;
    return t;
}

DialogTemplate PopupFieldsTemplate()
{
    const uint32_t edit = ES_CENTER | ES_AUTOHSCROLL | WS_TABSTOP;
    DialogTemplate t = MakeTemplate(9402, {
                                              Control(kCellId, "EDIT", edit, 5, 5, 40, 10),
                                              Control(kMixVolId, "EDIT", edit, 50, 5, 40, 10),
                                              Control(kDistanceId, "EDIT", edit, 95, 5, 40, 10),
                                              Control(kPopupButtonId, "BUTTON", BS_PUSHBUTTON, 140, 5, 40, 12, L"OK"),
                                          });
    return t;
}

// ---------------------------------------------------------------------------
// Fixture and input

void FieldsTest::SetUp()
{
    ModelTest::SetUp();
    ASSERT_TRUE(EnsureUiApplication());
}

void FieldsTest::TearDown()
{
    app.m_pMainWnd = nullptr;
    platform_testing::PumpEvents();
    ModelTest::TearDown();
}

void FieldsTest::ResetModel(MainFieldsDlg& d)
{
    ResetModel();
    for (int c = 0; c < kChannels; ++c) d.DelayField(c).SetValue(0);
}

void FieldsTest::RunMain(const std::function<void(MainFieldsDlg&)>& body)
{
    const DialogTemplate t = MainFieldsTemplate();
    MainFieldsDlg dlg(&t);
    app.m_pMainWnd = &dlg;
    dlg.script = [&] {
        dlg.Clear();
        body(dlg);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    app.m_pMainWnd = nullptr;
}

void FieldsTest::RunPopup(const std::function<void(PopupFieldsDlg&)>& body)
{
    const DialogTemplate t = PopupFieldsTemplate();
    PopupFieldsDlg dlg(&t);
    dlg.script = [&] {
        dlg.Clear();
        body(dlg);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
}

namespace {

UINT VirtualKeyOf(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9') return static_cast<UINT>(ch);
    if (ch >= L'a' && ch <= L'z') return static_cast<UINT>(std::towupper(ch));
    if (ch >= L'A' && ch <= L'Z') return static_cast<UINT>(ch);
    if (ch == L'.') return VK_OEM_PERIOD;
    if (ch == L'-') return VK_OEM_MINUS;
    return 0;
}

}  // namespace

void Type(CWnd& field, const std::wstring& text)
{
    for (wchar_t ch : text) PressKey(field.m_hWnd, VirtualKeyOf(ch), ch);
}

void ClickInto(CWnd& field)
{
    CRect rc;
    field.GetClientRect(&rc);
    ClickAt(field.m_hWnd, rc.Width() / 2, rc.Height() / 2);
}

void TypeInto(CWnd& field, const std::wstring& text)
{
    ClickInto(field);
    if (text.empty()) PressKey(field.m_hWnd, VK_DELETE);
    Type(field, text);
}

void Press(CWnd& field, UINT key) { PressKey(field.m_hWnd, key); }

void Wheel(CWnd& field, int delta) { WheelAt(field.m_hWnd, 2, 2, delta); }

std::wstring Text(const CWnd& field) { return field.GetWindowTextString(); }

bool HasFocus(const CWnd& field) { return CWnd::GetFocus() == &field; }

}  // namespace fields_testing
