// The main window's channel strips, master volume, Link and curve buttons
// and private messages, played through the window layer's mouse and key
// events on the real window: after each step the model, the fields, the
// sliders and the button captions agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/aboutdlg.h"
#include "app/control_ids.h"
#include "dialogs/dialog_messages.h"
#include "dialogs/dialogfile.h"
#include "dialogs/savechannelname.h"
#include "fields/field_messages.h"
#include "model/codecs.h"
#include "model/params.h"
#include "model/propagation.h"
#include "model/resets.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/scratch_dir.h"

namespace {

using platform_testing::ClickAt;
using platform_testing::PressKey;

class StripsWindowTest : public MainWindowTest {
protected:
    // Runs the steps on the UI thread of a window that is up and active,
    // laid out for a 12-output model (every strip shown), then closes it.
    void RunSteps(const std::function<void(CTarvelDlg&)>& steps)
    {
        CTarvelDlg dlg;
        const int model = g_deviceModel.load();
        const INT_PTR r = Run(dlg, [&] {
            OnUi([&] {
                g_deviceModel = 8;
                dlg.RelayoutAll();
                platform_testing::Activate(dlg.m_hWnd);
                steps(dlg);
            });
            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        });
        EXPECT_EQ(r, IDCANCEL);
        g_deviceModel = model;
    }
};

std::wstring Text(CTarvelDlg& dlg, int id) { return dlg.GetDlgItem(id)->GetWindowTextString(); }

void Click(CTarvelDlg& dlg, int id) { ClickAt(dlg.GetDlgItem(id)->m_hWnd, 3, 3); }

// Clicks into the field, selects its text and types over it.
void Type(CTarvelDlg& dlg, int id, const std::wstring& text)
{
    CWnd* field = dlg.GetDlgItem(id);
    ClickAt(field->m_hWnd, 3, 3);
    static_cast<CEdit*>(field)->SetSel(0, -1);
    for (wchar_t ch : text) PressKey(field->m_hWnd, 0, ch);
}

// Moves the focus to a control that commits nothing.
void Leave(CTarvelDlg& dlg) { dlg.GetDlgItem(IDC_FREQ_CAPTION)->SetFocus(); }

// The strip of a channel shows its gain: slider, text, caption, mute bit.
void ExpectStrip(CTarvelDlg& dlg, int c, int gain)
{
    SCOPED_TRACE(testing::Message() << "CH" << c + 1);
    std::wstring text;
    EXPECT_EQ(g_channelGain[c], gain);
    FormatChannelGain(text, c);
    EXPECT_EQ(Text(dlg, g_gainEditId[c]), text);
    EXPECT_EQ(dlg.GainSlider(c).GetPos(), gain);
    EXPECT_EQ(Text(dlg, g_muteButtonId[c]), gain == 600 ? kMutedCaption : kUnmutedCaption);
    EXPECT_EQ((g_muteMask & MuteBitOf(c)) != 0, gain == 600);
}

TEST_F(StripsWindowTest, MuteKeepsTheAttenuationAndTiedChannelsFollow)
{
    RunSteps([](CTarvelDlg& dlg) {
        // A typed gain, then a click on the mute button: the field's commit
        // runs first, so the mute keeps the typed attenuation.
        Type(dlg, g_gainEditId[2], L"-12.3");
        Click(dlg, g_muteButtonId[2]);
        ExpectStrip(dlg, 2, 600);
        EXPECT_EQ(g_savedGain[2], 123);
        Click(dlg, g_muteButtonId[2]);
        ExpectStrip(dlg, 2, 123);
        EXPECT_EQ(Text(dlg, g_gainEditId[2]), L"-12.3dB");

        // Bridged CH1/CH2: each gets its own attenuation back.
        g_btlPair12 = 1;
        g_channelGain[0] = 30;
        g_channelGain[1] = 70;
        Click(dlg, g_muteButtonId[0]);
        ExpectStrip(dlg, 0, 600);
        ExpectStrip(dlg, 1, 600);
        Click(dlg, g_muteButtonId[1]);
        ExpectStrip(dlg, 0, 30);
        ExpectStrip(dlg, 1, 70);

        // A link group beats the bridge.
        g_linkGroup[0] = (1 << 0) | (1 << 8);
        Click(dlg, g_muteButtonId[0]);
        ExpectStrip(dlg, 8, 600);
        ExpectStrip(dlg, 1, 70);
        Click(dlg, g_muteButtonId[0]);
        ExpectStrip(dlg, 8, 0);

        // Master mute keeps the master volume.
        g_masterVolume = 7;
        Click(dlg, IDC_SYS_MUTE);
        EXPECT_EQ(g_masterVolume, 60);
        EXPECT_EQ(Text(dlg, IDC_SYSTEM_VOL), L"OFF");
        EXPECT_EQ(Text(dlg, IDC_SYS_MUTE), kMutedCaption);
        Click(dlg, IDC_SYS_MUTE);
        EXPECT_EQ(g_masterVolume, 7);
        EXPECT_EQ(Text(dlg, IDC_SYSTEM_VOL), L"-7dB");
        EXPECT_EQ(dlg.View().MasterSlider().GetPos(), 7);
    });
}

TEST_F(StripsWindowTest, PhaseButtonsShowTheirStateAndBridgedPairsTurnTogether)
{
    RunSteps([](CTarvelDlg& dlg) {
        g_btlPair56 = 1;
        struct Step {
            int clicked;
            const wchar_t* ch5;
            const wchar_t* ch6;
            const wchar_t* ch3;
        } steps[] = {{4, L" 180°", L" 180°", L"  0°"}, {5, L"  0°", L"  0°", L"  0°"}, {2, L"  0°", L"  0°", L" 180°"}};
        for (const Step& s : steps) {
            SCOPED_TRACE(s.clicked);
            Click(dlg, g_phaseButtonId[s.clicked]);
            EXPECT_EQ(Text(dlg, g_phaseButtonId[4]), s.ch5);
            EXPECT_EQ(Text(dlg, g_phaseButtonId[5]), s.ch6);
            EXPECT_EQ(Text(dlg, g_phaseButtonId[2]), s.ch3);
            for (int c : {2, 4, 5})
                EXPECT_EQ((g_phaseMask >> c) & 1, Text(dlg, g_phaseButtonId[c]) == L" 180°" ? 1 : 0) << c;
        }
    });
}

TEST_F(StripsWindowTest, SlidersAndFieldsFollowEachOtherBothWays)
{
    RunSteps([](CTarvelDlg& dlg) {
        g_linkGroup[3] = (1 << 3) | (1 << 10);
        // Slider -> model, field, the group member; the focus goes to the field.
        CNewSliderCtrl& slider = dlg.GainSlider(3);
        slider.SetFocus();
        for (int i = 0; i < 3; ++i) PressKey(slider.m_hWnd, VK_DOWN);
        const int moved = slider.GetPos();
        EXPECT_NE(moved, 0);
        ExpectStrip(dlg, 3, moved);
        ExpectStrip(dlg, 10, moved);
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(g_gainEditId[3]));

        // Field -> model, slider, the member; OFF mutes both, a gain below
        // unmutes each.
        for (const wchar_t* typed : {L"off", L"-2.5"}) {
            SCOPED_TRACE(typed);
            Type(dlg, g_gainEditId[10], typed);
            Leave(dlg);
            const int gain = std::wstring(typed) == L"off" ? 600 : 25;
            ExpectStrip(dlg, 10, gain);
            ExpectStrip(dlg, 3, gain);
        }
        // A rejected text gives way to the stored gain's.
        Type(dlg, g_gainEditId[10], L"abc");
        Leave(dlg);
        ExpectStrip(dlg, 10, 25);

        // Master slider and field.
        CNewSliderCtrl& master = static_cast<CNewSliderCtrl&>(*dlg.GetDlgItem(IDC_SYSTEM_VOL_SLIDER));
        master.SetFocus();
        PressKey(master.m_hWnd, VK_DOWN);
        EXPECT_EQ(g_masterVolume, master.GetPos());
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_SYSTEM_VOL));
        for (auto [typed, volume, shown] : {std::tuple{L"-59", 59, L"-59dB"}, std::tuple{L"-60", 59, L"-59dB"},
                                            std::tuple{L"off", 60, L"OFF"}, std::tuple{L"0dB", 0, L"0dB"}}) {
            SCOPED_TRACE(typed);
            Type(dlg, IDC_SYSTEM_VOL, typed);
            Leave(dlg);
            EXPECT_EQ(g_masterVolume, volume);
            EXPECT_EQ(master.GetPos(), volume);
            EXPECT_EQ(Text(dlg, IDC_SYSTEM_VOL), shown);
            EXPECT_EQ(Text(dlg, IDC_SYS_MUTE), volume == 60 ? kMutedCaption : kUnmutedCaption);
        }

        // A band slider: the selected channel's band gain and its field.
        CNewSliderCtrl& band = dlg.BandSlider(4);
        band.SetFocus();
        PressKey(band.m_hWnd, VK_DOWN);
        EXPECT_EQ(g_eqGain[0][4], band.GetPos());
        std::wstring text;
        FormatEqGain(text, 4);
        EXPECT_EQ(Text(dlg, g_bandGainEditId[4]), text);
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(g_bandGainEditId[4]));
    });
}

TEST_F(StripsWindowTest, DelayFieldsCommitFollowTheirPairAndSwitchUnits)
{
    RunSteps([](CTarvelDlg& dlg) {
        g_btlPair56 = 1;
        Type(dlg, g_delayEditId[4], L"2");
        Leave(dlg);
        EXPECT_EQ(dlg.DelayField(4).GetValue(), 96);
        EXPECT_EQ(dlg.DelayField(5).GetValue(), 96);
        EXPECT_EQ(Text(dlg, g_delayEditId[4]), L"2.000");
        EXPECT_EQ(Text(dlg, g_delayEditId[5]), L"2.000");
        Type(dlg, g_delayEditId[4], L"abc");
        Leave(dlg);
        EXPECT_EQ(Text(dlg, g_delayEditId[4]), L"2.000");

        // A step in a field (its WM_DELAY_CHANGED): CH3/CH4 follow even with
        // CH1/CH2 bridged too.
        g_btlPair12 = 1;
        g_btlPair34 = 1;
        dlg.DelayField(2).SetFocus();
        dlg.DelayField(2).SetValue(10);
        dlg.SendMessage(WM_DELAY_CHANGED, 0, 0);
        EXPECT_EQ(dlg.DelayField(3).GetValue(), 10);
        EXPECT_EQ(dlg.DelayField(0).GetValue(), 0);

        // The unit: every field rewrites its text, the buttons read CM.
        dlg.DelayField(7).SetValue(48);
        Click(dlg, g_delayUnitButtonId[9]);
        EXPECT_EQ(g_delayInCm, 1);
        EXPECT_EQ(Text(dlg, g_delayEditId[7]), L"34.000");
        EXPECT_EQ(Text(dlg, g_delayEditId[4]), L"68.000");
        EXPECT_EQ(LoadResString(ChannelStrips::DelayUnitCaptionId()), L"CM");
        Click(dlg, g_delayUnitButtonId[0]);
        EXPECT_EQ(Text(dlg, g_delayEditId[7]), L"1.000");
    });
}

// CH1 and CH3 linked, CH1/CH2 bridged: every way a delay is edited in the
// window (Up, the wheel, Enter, leaving the field) reaches the bridged
// partner and never the other member of the link group.
TEST_F(StripsWindowTest, DelayEditsReachTheBridgedPartnerNotTheLinkGroup)
{
    CWinApp app;  // the fields tell AfxGetMainWnd of their changes
    RunSteps([&app](CTarvelDlg& dlg) {
        app.m_pMainWnd = &dlg;
        g_linkGroup[0] = (1 << 0) | (1 << 2);
        g_btlPair12 = 1;
        struct Case {
            const char* name;
            int field;
            std::function<void(CWnd&)> edit;
            int ch1, ch2, ch3;  // afterwards, from 10, 10, 30
        } cases[] = {
            // clang-format off
            {"Up in CH1", 0, [](CWnd& f) { PressKey(f.m_hWnd, VK_UP); }, 11, 11, 30},
            {"wheel in CH1", 0, [](CWnd& f) { platform_testing::WheelAt(f.m_hWnd, 3, 3, 120); }, 11, 11, 30},
            {"Enter in CH1", 0,
             [](CWnd& f) {
                 static_cast<CEdit&>(f).SetSel(0, -1);
                 PressKey(f.m_hWnd, '2', L'2');
                 PressKey(f.m_hWnd, VK_RETURN);
             },
             96, 96, 30},
            {"CH1 typed and left", 0,
             [&dlg](CWnd& f) {
                 static_cast<CEdit&>(f).SetSel(0, -1);
                 PressKey(f.m_hWnd, '1', L'1');
                 Leave(dlg);
             },
             48, 48, 30},
            {"CH3 visited and left", 2, [&dlg](CWnd&) { Leave(dlg); }, 10, 10, 30},
            {"Up in CH3", 2, [](CWnd& f) { PressKey(f.m_hWnd, VK_UP); }, 10, 10, 31},
        };
        // clang-format on
        for (const Case& k : cases) {
            SCOPED_TRACE(k.name);
            dlg.DelayField(0).SetValue(10);
            dlg.DelayField(1).SetValue(10);
            dlg.DelayField(2).SetValue(30);
            CWnd& field = *dlg.GetDlgItem(g_delayEditId[k.field]);
            ClickAt(field.m_hWnd, 3, 3);
            k.edit(field);
            EXPECT_EQ(dlg.DelayField(0).GetValue(), k.ch1);
            EXPECT_EQ(dlg.DelayField(1).GetValue(), k.ch2);
            EXPECT_EQ(dlg.DelayField(2).GetValue(), k.ch3);
            Leave(dlg);
        }
        app.m_pMainWnd = nullptr;
    });
}

// Left and Right in the delay and gain fields (the fields' WM_EDIT_NAVIGATE)
// move around the ring and skip strips the layout hides.
TEST_F(StripsWindowTest, TheRingsOfTheDelayAndGainFields)
{
    RunSteps([](CTarvelDlg& dlg) {
        struct Case {
            const int* ring;
            int from;
            UINT key;
            int to;
        } cases[] = {{g_delayEditId, 11, VK_RIGHT, 0},
                     {g_gainEditId, 0, VK_LEFT, 11},
                     {g_delayEditId, 4, VK_RIGHT, 5},
                     {g_gainEditId, 7, VK_RIGHT, 0},
                     {g_delayEditId, 0, VK_LEFT, 7}};
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& k = cases[i];
            SCOPED_TRACE(i);
            if (i == 3) {  // an eight-channel layout from here on
                for (int c = 8; c < kChannels; ++c) {
                    dlg.GetDlgItem(g_delayEditId[c])->ShowWindow(SW_HIDE);
                    dlg.GetDlgItem(g_gainEditId[c])->ShowWindow(SW_HIDE);
                }
            }
            dlg.GetDlgItem(k.ring[k.from])->SetFocus();
            dlg.SendMessage(WM_EDIT_NAVIGATE, k.key, 0);
            CWnd* target = dlg.GetDlgItem(k.ring[k.to]);
            EXPECT_EQ(CWnd::GetFocus(), target);
            int start = -1, end = -1;
            static_cast<CEdit*>(target)->GetSel(start, end);
            EXPECT_EQ(start, 0);
            EXPECT_EQ(end, static_cast<int>(target->GetWindowTextString().size()));
        }
        // Any other key, or no field of a ring focused, does nothing.
        dlg.GetDlgItem(g_gainEditId[2])->SetFocus();
        dlg.SendMessage(WM_EDIT_NAVIGATE, VK_UP, 0);
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(g_gainEditId[2]));
        dlg.GetDlgItem(g_bandGainEditId[2])->SetFocus();
        dlg.SendMessage(WM_EDIT_NAVIGATE, VK_RIGHT, 0);
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(g_bandGainEditId[2]));
    });
}

TEST_F(StripsWindowTest, ChannelLinkAndCurveButtons)
{
    ScriptedDialogs dialogs;
    dialogs.AnswerBox(IDYES);
    RunSteps([&](CTarvelDlg& dlg) {
        // A click selects the channel and shows its equaliser; a double
        // click selects it too and opens its naming dialog (cancelled here).
        g_eqFreq[6][3] = 1234;
        Click(dlg, g_channelButtonId[6]);
        EXPECT_EQ(g_selectedChannel, 6);
        EXPECT_EQ(Text(dlg, g_bandFreqEditId[3]), L"1234");
        EXPECT_EQ(dlg.Spectrum().GetBandFreqs()[3], 1234);
        bool renameShown = false;
        int tries = 0;
        std::function<void()> cancelRename = [&] {
            HWND top = platform_testing::TopModalDialog();
            auto* rename = top ? dynamic_cast<CSaveChannelName*>(CWnd::FromHandle(top)) : nullptr;
            if (!rename) {
                if (++tries < 1000) PostToUi(cancelRename);
                return;
            }
            renameShown = true;
            rename->EndDialog(IDCANCEL);
        };
        PostToUi(cancelRename);
        platform_testing::DoubleClickAt(dlg.GetDlgItem(g_channelButtonId[2])->m_hWnd, 3, 3);
        EXPECT_EQ(g_selectedChannel, 2);
        EXPECT_TRUE(renameShown);

        // Link CH9 to the selected CH3 after the question: it takes CH3's gain.
        g_channelGain[2] = 200;
        Click(dlg, g_linkButtonId[8]);
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        const MessageBoxRequest question = dialogs.Boxes()[0];
        EXPECT_EQ(question.text, L"Sind Sie sicher das Sie die CH3 Einstellung von EQ und Filter nach CH9 kopieren?");
        EXPECT_EQ(question.caption, g_msgCaption);
        EXPECT_EQ(question.style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
        EXPECT_EQ(question.owner, dlg.m_hWnd);
        EXPECT_EQ(question.languageId, g_languageId);
        EXPECT_EQ(g_linkGroup[2], (1 << 2) | (1 << 8));
        ExpectStrip(dlg, 8, 200);
        Click(dlg, g_linkButtonId[8]);
        EXPECT_EQ(g_linkGroup[2], 1 << 2);

        // Curve buttons: the graph's mask, twice back to where it was.
        const int before = dlg.Spectrum().GetVisibleChannels();
        Click(dlg, g_curveButtonId[3]);
        EXPECT_EQ(dlg.Spectrum().GetVisibleChannels(), before ^ (1 << 3));
        Click(dlg, g_curveButtonId[3]);
        EXPECT_EQ(dlg.Spectrum().GetVisibleChannels(), before);
    });
}

TEST_F(StripsWindowTest, PrivateMessagesAndStatusLabels)
{
    ScriptedDialogs dialogs;
    const ScratchDir scratch("tarvel_preset");
    ASSERT_FALSE(scratch.Path().empty());
    const std::filesystem::path file = scratch / "preset.txt";
    dialogs.AnswerFile(file.wstring());  // save
    dialogs.AnswerFile(file.wstring());  // load
    RunSteps([&](CTarvelDlg& dlg) {
        // Gain step and commit: out-of-range channels are ignored.
        g_btlPair78 = 1;
        g_channelGain[6] = g_channelGain[7] = 44;
        dlg.SendMessage(WM_EDIT_STEP, 6, 0);
        ExpectStrip(dlg, 6, 44);
        ExpectStrip(dlg, 7, 44);
        const int maskBefore = g_muteMask;
        for (WPARAM outside : {WPARAM(12), WPARAM(40), static_cast<WPARAM>(-1)}) {
            dlg.SendMessage(WM_EDIT_STEP, outside, 0);
            dlg.SendMessage(WM_EDIT_COMMIT, outside, 0);
        }
        EXPECT_EQ(g_muteMask, maskBefore);
        dlg.SetDlgItemText(g_gainEditId[6], L"abc");
        dlg.SendMessage(WM_EDIT_COMMIT, 6, 0);
        ExpectStrip(dlg, 6, 44);

        // The delay calculator: each channel its own delay and distance.
        dlg.SendMessage(WM_DELAY_CALCULATED, 6, (300 << 16) | 48);
        dlg.SendMessage(WM_DELAY_CALCULATED, 12, (1 << 16) | 1);
        EXPECT_EQ(dlg.DelayField(6).GetValue(), 48);
        EXPECT_EQ(dlg.DelayField(7).GetValue(), 0);
        EXPECT_EQ(Text(dlg, g_delayEditId[6]), L"1.000");

        dlg.SendMessage(WM_MIX_VOLUME_CHANGED, 17, 0);
        EXPECT_EQ(g_hiLevelMixVolume, 17);
        dlg.SendMessage(WM_SETUP_COMMAND, 9, 0);  // nothing

        // The scene menu's PC file commands: save, change, load back.
        g_channelGain[4] = 321;
        dlg.SendMessage(WM_SCENE_COMMAND, SCENE_SAVE_TO_PC, 0);
        g_channelGain[4] = 0;
        dlg.SendMessage(WM_SCENE_COMMAND, SCENE_LOAD_FROM_PC, 0);
        EXPECT_EQ(g_channelGain[4], 321);
        EXPECT_EQ(Text(dlg, g_gainEditId[4]), L"-32.1dB");
        const auto files = dialogs.FileDialogs();
        ASSERT_EQ(files.size(), 2u);
        EXPECT_FALSE(files[0].open);
        EXPECT_EQ(files[0].title, L"Save");
        EXPECT_EQ(files[0].fileName, L"CarModel_Data");
        EXPECT_EQ(files[0].defaultExt, L"txt");
        EXPECT_TRUE(files[1].open);
        ASSERT_EQ(files[1].filters.size(), 2u);
        EXPECT_EQ(files[1].filters[0].label, L"(*.txt)");
        const auto boxes = dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u);  // a clean load shows nothing
        EXPECT_EQ(boxes[0].text, L"Save the data successfully!");
        dlg.SendMessage(WM_SCENE_COMMAND, SCENE_SAVE_TO_PC, 0);  // cancelled: nothing
        EXPECT_EQ(dialogs.Boxes().size(), 1u);

        // Status labels.
        struct Label {
            std::function<void()> set;
            int id;
            const wchar_t* text;
        } labels[] = {
            // clang-format off
            {[] { g_lastInputSource = 7; }, IDC_SOURCE_LABEL, L"Source: Invalid"},
            {[] { g_lastInputSource = 9; }, IDC_SOURCE_LABEL, L"Source: USB"},
            {[] { g_presetSlot = 0; }, IDC_CURRENT_MODE_LABEL, L"CurrentMode: Default"},
            {[] { g_presetSlot = 3; }, IDC_CURRENT_MODE_LABEL, L"CurrentMode: 3"},
            {[] { g_saveSlot = 5; }, IDC_SAVE_MODE_LABEL, L"SaveMode: 5"},
        };
        // clang-format on
        for (const Label& l : labels) {
            SCOPED_TRACE(l.text);
            l.set();
            dlg.UpdateSourceLabel();
            dlg.UpdateCurrentModeLabel();
            dlg.UpdateSaveModeLabel();
            EXPECT_EQ(Text(dlg, l.id), l.text);
        }
        g_presetSlot = 0;
        g_saveSlot = 0;

        EXPECT_EQ(dlg.GetControlSourceGroup(g_routeLabelId[0][10]), 3);
        EXPECT_EQ(dlg.GetControlSourceGroup(g_routeLabelId[11][8]), 5);
        EXPECT_EQ(dlg.GetControlSourceGroup(IDC_SOURCE_LABEL), 0);

        // The PEQ mode enables the frequency and Q fields.
        dlg.ApplyPeqMode();
        EXPECT_TRUE(dlg.GetDlgItem(g_bandQEditId[30])->IsWindowEnabled());
    });
    std::filesystem::remove(file);
}

// The scene menu opens from the File button, and the About box from the
// settings' command 2.
TEST_F(StripsWindowTest, LaunchersOpenTheirDialogs)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        struct Launch {
            std::function<void()> start;
            std::function<bool(CWnd*)> is;
        } launches[] = {
            // clang-format off
            {[&] { Click(dlg, IDC_FILE); }, [](CWnd* w) { return dynamic_cast<CDialogFile*>(w) != nullptr; }},
            {[&] { dlg.SendMessage(WM_SETUP_COMMAND, 2, 0); },
             [](CWnd* w) { return dynamic_cast<CAboutDlg*>(w) != nullptr; }},
        };
        // clang-format on
        for (const Launch& l : launches) {
            PostToUi(l.start);
            EXPECT_TRUE(WaitOnUi([&] { return l.is(CWnd::FromHandle(platform_testing::TopModalDialog())); }));
            OnUi([] { ::PostMessage(platform_testing::TopModalDialog(), WM_CLOSE, 0, 0); });
            EXPECT_TRUE(WaitOnUi([&] { return platform_testing::TopModalDialog() == dlg.m_hWnd; }));
        }
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

}  // namespace
