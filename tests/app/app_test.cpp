// The application object's language choice and the main window's frame,
// run in-process with the link off and a script that plays the user.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <string>
#include <thread>

#include "app/aboutdlg.h"
#include "app/control_ids.h"
#include "app/main_link.h"
#include "app/placement.h"
#include "app/tarvel.h"
#include "app/tarveldlg.h"
#include "dialogs/dialoglogo.h"
#include "link/dialog_port.h"
#include "model/device_state.h"
#include "model/eq_images.h"
#include "model/params.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/look.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// ---- language ---------------------------------------------------------------

TEST(LanguageChoiceTest, FirstExistingFileDecidesElseTheSystemLanguage)
{
    const ScratchDir scratch("tarvel_lang");
    ASSERT_FALSE(scratch.Path().empty());
    const fs::path dir = scratch / "files";
    const std::string a = (dir / "a.ini").string(), b = (dir / "b.ini").string(), c = (dir / "c.ini").string();
    struct File {
        const std::string* path;
        std::string bytes;  // "-": absent, "!": present but unreadable (a folder)
    };
    struct Case {
        const char* name;
        std::vector<File> files;
        LANGID system;
        uint16_t id;
        int choice;
    } cases[] = {
        // clang-format off
        {"English file", {{&a, std::string("\x09\x04", 2)}}, 0x0804, 0x0409, 2},
        {"Chinese file", {{&a, std::string("\x04\x08", 2)}}, 0x0409, 0x0804, 1},
        {"other id as it is", {{&a, std::string("\x07\x04", 2)}}, 0x0409, 0x0407, 1},
        {"longer file: two bytes", {{&a, std::string("\x09\x04\x04\x08", 4)}}, 0x0804, 0x0409, 2},
        {"one byte", {{&a, std::string("\x09", 1)}}, 0x0804, 0x0009, 1},
        {"empty file: id 0", {{&a, ""}}, 0x0804, 0x0000, 1},
        {"second place", {{&a, "-"}, {&b, std::string("\x04\x08", 2)}}, 0x0409, 0x0804, 1},
        {"unreadable first hides the second", {{&a, "!"}, {&b, std::string("\x09\x04", 2)}}, 0x0804, 0x0804, 0},
        {"none: Chinese system", {}, 0x0804, 0x0804, 0},
        {"none: Taiwan", {}, 0x0404, 0x0804, 0},
        {"none: Hong Kong", {}, 0x0C04, 0x0804, 0},
        {"none: German", {}, 0x0407, 0x0409, 0},
    };
    // clang-format on
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        for (const File& f : k.files) {
            if (f.bytes == "-") continue;
            if (f.bytes == "!") {
                fs::create_directories(*f.path);
                continue;
            }
            std::ofstream(*f.path, std::ios::binary) << f.bytes;
        }
        const LanguageChoice r = ChooseLanguage({a, b, c}, k.system);
        EXPECT_EQ(r.languageId, k.id);
        EXPECT_EQ(r.choice, k.choice);
    }
}

// ---- control-id tables ------------------------------------------------------

// The family tables of the code and the template's names must name the
// same controls: IDC_<FAMILY><n> is entry n - 1.
TEST(ControlIdTablesTest, AgreeWithTheTemplatesNames)
{
    std::map<std::string, int> byName;
    for (const ResSymbol& s : ResourceSymbols()) byName[s.name] = s.value;
    struct Family {
        const char* prefix;
        const int* table;
        int count;
    } families[] = {
        // clang-format off
        {"IDC_SELECT_CH", g_channelButtonId, kChannels},      {"IDC_GAIN_CH", g_gainEditId, kChannels},
        {"IDC_MUTE_CH", g_muteButtonId, kChannels},           {"IDC_PHASE_CH", g_phaseButtonId, kChannels},
        {"IDC_DELAY_CH", g_delayEditId, kChannels},           {"IDC_DELAY_UNIT_CH", g_delayUnitButtonId, kChannels},
        {"IDC_LINK_CH", g_linkButtonId, kChannels},           {"IDC_CURVE_CH", g_curveButtonId, kChannels},
        {"IDC_GAIN_SLIDER_CH", g_chGainSliderId, kChannels},  {"IDC_BYPASS_BAND", g_bypassButtonId, kBands},
        {"IDC_FRE_BAND", g_bandFreqEditId, kBands},           {"IDC_FREQGAIN_BAND", g_bandGainEditId, kBands},
        {"IDC_Q_BAND", g_bandQEditId, kBands},                {"IDC_FREQGAIN_SLIDER_BAND", g_bandSliderId, kBands},
    };
    // clang-format on
    for (const Family& f : families) {
        for (int i = 0; i < f.count; ++i) {
            const std::string name = f.prefix + std::to_string(i + 1);
            SCOPED_TRACE(name);
            ASSERT_EQ(byName.count(name), 1u);
            EXPECT_EQ(byName[name], f.table[i]);
        }
    }
    for (int out = 0; out < kChannels; ++out)
        for (int in = 0; in < kInputs; ++in) {
            const std::string name = "IDC_ROUTE_CH" + std::to_string(out + 1) + "_IN" + std::to_string(in + 1);
            SCOPED_TRACE(name);
            ASSERT_EQ(byName.count(name), 1u);
            EXPECT_EQ(byName[name], g_routeButtonId[out][in]);
            const std::string label = "IDC_ROUTE_LABEL_CH" + std::to_string(out + 1) + "_IN" + std::to_string(in + 1);
            ASSERT_EQ(byName.count(label), 1u);
            EXPECT_EQ(byName[label], g_routeLabelId[out][in]);
        }
}

// ---- the device link --------------------------------------------------------

struct NullTarget : IDialogTarget {
    LRESULT HandleMessage(UINT, WPARAM, LPARAM) override { return 0; }
    void SetDeviceStringLabel(const std::string&) override {}
    void ShowMessageBox(const std::wstring&) override {}
    void ShowStringBox(int) override {}
    void HidDeviceRemoved() override {}
};

// The link starts only when the setup lets it, opens the port to the window
// while it runs and gives it back on stop; stopping again, or a link that
// never started, is harmless. No device and no network: nothing is sent.
TEST(MainLinkTest, OwnsThePortOnlyWhileItRuns)
{
    ASSERT_TRUE(EnsureUiApplication());
    InProcessHidBackend noDevices;
    NullTarget target;
    IDialogPort* const idle = &DialogPort();
    for (bool allowed : {false, true}) {
        SCOPED_TRACE(allowed);
        LinkSetup setup;
        setup.startLink = allowed;
        setup.hidBackend = &noDevices;
        setup.tcp.address = "127.0.0.1";
        setup.tcp.networkAlive = [](std::string_view) { return false; };
        SetLinkSetupForTests(&setup);
        {
            MainLink link;
            link.StartTcp(target);
            link.StartHid();
            EXPECT_EQ(link.IsRunning(), allowed);
            EXPECT_EQ(&DialogPort() != idle, allowed);
            EXPECT_EQ(link.TcpLinkState(), 0);
            link.Stop();
            EXPECT_FALSE(link.IsRunning());
            EXPECT_EQ(&DialogPort(), idle);
            link.Stop();
            link.StartTcp(target);  // and once more, left to the destructor
            EXPECT_EQ(link.IsRunning(), allowed);
        }
        EXPECT_EQ(&DialogPort(), idle);
        SetLinkSetupForTests(nullptr);
    }
}

// ---- the main window --------------------------------------------------------

TEST_F(MainWindowTest, StartsWithItsControlsAndNoFieldFocusedAndOnlyClosesThroughWmClose)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            // The entry fields are attached as their classes.
            EXPECT_NE(dynamic_cast<EditBandFreq*>(dlg.GetDlgItem(g_bandFreqEditId[0])), nullptr);
            EXPECT_NE(dynamic_cast<EditBandQ*>(dlg.GetDlgItem(g_bandQEditId[30])), nullptr);
            EXPECT_NE(dynamic_cast<EditBandGain*>(dlg.GetDlgItem(g_bandGainEditId[15])), nullptr);
            EXPECT_EQ(dlg.GetDlgItem(g_delayEditId[4]), &dlg.DelayField(4));  // CH5 is control 1007
            EXPECT_EQ(dlg.GetDlgItem(g_gainEditId[11]), &dlg.GainField(11));
            EXPECT_EQ(dlg.GetDlgItem(IDC_SPECTRUM), &dlg.Spectrum());
            // Reset to defaults: delays 0 shown in milliseconds.
            EXPECT_EQ(dlg.DelayField(7).GetWindowTextString(), L"0.000");
            EXPECT_EQ(dlg.GetDlgItem(IDC_VERSION)->GetWindowTextString(), L"K417R_210903V1");
            // No edit field holds the focus.
            CWnd* focus = CWnd::GetFocus();
            EXPECT_EQ(dynamic_cast<CEdit*>(focus), nullptr);
            EXPECT_EQ(dlg.GetDefID() & 0xFFFF, static_cast<DWORD>(IDC_FREQ_CAPTION));
            // The delay lives in its field: SetValue writes the text in the
            // current unit and the image encoder reads it from there.
            dlg.DelayField(0).SetValue(599);
            EXPECT_EQ(dlg.DelayField(0).GetWindowTextString(), L"12.479");
            g_delayInCm = 1;
            dlg.DelayFields().UpdateText(0);
            EXPECT_EQ(dlg.DelayField(0).GetWindowTextString(), L"424.286");
            g_delayInCm = 0;
            EXPECT_EQ(dlg.DelayFields().GetValue(0), 599);
            dlg.BuildEqUser();
            EXPECT_EQ(g_eqUser[0] & 0x0F, 0x02);
            EXPECT_EQ(g_eqUser[1], 0x57);
            // Enter and Escape do nothing.
            platform_testing::PressKey(dlg.m_hWnd, VK_RETURN);
            platform_testing::PressKey(dlg.m_hWnd, VK_ESCAPE);
            dlg.SendMessage(WM_COMMAND, IDOK, 0);
            dlg.SendMessage(WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_TRUE(WaitOnUi([&] { return platform_testing::TopModalDialog() == dlg.m_hWnd; }));
        // The background drags the window.
        OnUi([&] {
            CRect rc;
            dlg.GetWindowRect(&rc);
            EXPECT_EQ(dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(rc.left + 3, rc.top + 3)), HTCAPTION);
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
    EXPECT_FALSE(dlg.IsLinkRunning());
}

// The program's start on a laptop screen of 1366 x 768 at 120 dpi (the
// offscreen screen of small_screen.json; skipped on any other): the window
// of the 120-dpi bucket (1454 x 869) does not fit, so the window takes
// bucket 0's skins and size and lies wholly on the screen.
TEST_F(MainWindowTest, OnASmallScreenTheStartTakesTheBucketThatFitsAndPlacesTheWindowOnIt)
{
    SetScreenDpiForTests(0);
    const RECT screen = GetScreenWorkArea();
    if (ReadScreenDpi() != 120 || screen.right - screen.left != 1366 || screen.bottom - screen.top != 768)
        GTEST_SKIP() << "runs on the screen of tests/app/small_screen.json";
    const ScratchDir run("tarvel_run");
    ASSERT_FALSE(run.Path().empty());
    SingleInstance::SetLockFolderForTests(run.Path().string());

    std::thread script([&] {
        CDialogLogo* picker = WaitForModal<CDialogLogo>();
        EXPECT_NE(picker, nullptr);
        OnUi([] { ::PostMessage(platform_testing::TopModalDialog(), WM_COMMAND, IDOK, 0); });
        const bool shown = WaitOnUi(
            [] {
                CWnd* main = AfxGetMainWnd();
                return main && main->IsWindowVisible() && platform_testing::TopModalDialog() == main->m_hWnd;
            },
            std::chrono::seconds(60));
        EXPECT_TRUE(shown);
        OnUi([&] {
            CWnd* main = AfxGetMainWnd();
            if (!main) return;
            EXPECT_EQ(DpiBucket(g_screenDpi), 0);
            EXPECT_EQ(GetScreenDpi(), 96);  // the popups' templates follow it too
            CRect rc;
            main->GetWindowRect(&rc);
            EXPECT_EQ(rc.Width(), WindowWidth(0).value);
            EXPECT_EQ(rc.Height(), WindowHeight(0).value);
            EXPECT_GE(rc.left, screen.left);
            EXPECT_GE(rc.top, screen.top);
            EXPECT_LE(rc.right, screen.right);
            EXPECT_LE(rc.bottom, screen.bottom);
            ::PostMessage(main->m_hWnd, WM_CLOSE, 0, 0);
        });
    });
    EXPECT_EQ(theApp.InitInstance(), FALSE);
    script.join();
    SetScreenDpiForTests(0);
    SingleInstance::SetLockFolderForTests("");
}

// The model's refresh and graph feed reach the window's own controls
// through the families: each band's fields and slider, the crossover
// selectors and fields, the graph; a mute bit shows on its own button.
TEST_F(MainWindowTest, RefreshAndGraphFeedReachTheControlsOfTheSelectedChannel)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            g_selectedChannel = 6;
            for (int b = 0; b < kBands; ++b) {
                g_eqFreq[6][b] = 1000 + b;
                g_eqGain[6][b] = 10 * b;
                g_eqQ[6][b] = 1.5;
            }
            g_hpSlope[6] = kSlopeOff;
            g_lpType[6] = 1;
            g_hpFreq[6] = 45;
            g_lpFreq[6] = 15000;
            dlg.View().RefreshEqControls();
            for (int b : {0, 10, 11, 12, 20, 29, 30}) {  // the bands whose controls are out of order
                SCOPED_TRACE(b);
                EXPECT_EQ(dlg.GetDlgItem(g_bandFreqEditId[b])->GetWindowTextString(), std::to_wstring(1000 + b));
                EXPECT_EQ(dlg.GetDlgItem(g_bandQEditId[b])->GetWindowTextString(), L"1.50");
                EXPECT_EQ(dlg.BandSlider(b).GetPos(), 10 * b);
            }
            EXPECT_EQ(dlg.GetDlgItem(g_bandGainEditId[0])->GetWindowTextString(), L"15.0");
            EXPECT_EQ(static_cast<CComboBox*>(dlg.GetDlgItem(IDC_HP_SLOPE))->GetCurSel(), kSlopeOff);
            EXPECT_EQ(static_cast<CComboBox*>(dlg.GetDlgItem(IDC_LP_TYPE))->GetCurSel(), 1);
            EXPECT_EQ(dlg.GetDlgItem(IDC_HP_FREQ)->GetWindowTextString(), L"45");
            EXPECT_EQ(dlg.GetDlgItem(IDC_LP_FREQ)->GetWindowTextString(), L"15000");
            dlg.View().FeedSpectrum(false);
            EXPECT_EQ(dlg.Spectrum().GetBandFreqs()[30], 1030);
            EXPECT_EQ(dlg.Spectrum().GetHighPassFreq(), 45);
            g_selectedChannel = 0;
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

// The window's entry fields are wired to their controls, sliders and
// neighbours through the id tables, the irregular runs included.
TEST_F(MainWindowTest, EntryFieldsStepAndMoveTheFocusOverTheWindowsControls)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            platform_testing::Activate(dlg.m_hWnd);
            auto item = [&](int id) { return dlg.GetDlgItem(id); };
            auto focused = [&](int id) { return CWnd::GetFocus() == item(id); };
            auto press = [&](UINT key) { platform_testing::PressKey(CWnd::GetFocus()->m_hWnd, key); };
            // Band 20's field is 1083, band 21's 1087.
            platform_testing::ClickAt(item(g_bandFreqEditId[19])->m_hWnd, 2, 2);
            const int freq = g_eqFreq[0][19];
            press(VK_UP);
            EXPECT_EQ(g_eqFreq[0][19], freq + 1);
            press(VK_RIGHT);
            EXPECT_TRUE(focused(1087));
            // Q of bands 29, 30, 31 and 1: 1159, 1143, 1152, 1129.
            platform_testing::ClickAt(item(g_bandQEditId[28])->m_hWnd, 2, 2);
            for (int id : {1143, 1152, 1129}) {
                press(VK_RIGHT);
                EXPECT_TRUE(focused(id)) << id;
            }
            // Band 11's gain moves slider 1213; Page Up leads to its Q.
            platform_testing::ClickAt(item(g_bandGainEditId[10])->m_hWnd, 2, 2);
            press(VK_UP);
            EXPECT_EQ(g_eqGain[0][10], 149);
            EXPECT_EQ(static_cast<CSliderCtrl*>(item(1213))->GetPos(), 149);
            press(VK_PRIOR);
            EXPECT_TRUE(focused(g_bandQEditId[10]));
            // The cut pair, and the master with its slider.
            platform_testing::ClickAt(item(IDC_HP_FREQ)->m_hWnd, 2, 2);
            press(VK_LEFT);
            EXPECT_TRUE(focused(IDC_LP_FREQ));
            platform_testing::ClickAt(item(IDC_SYSTEM_VOL)->m_hWnd, 2, 2);
            press(VK_DOWN);
            EXPECT_EQ(g_masterVolume, 1);
            EXPECT_EQ(static_cast<CSliderCtrl*>(item(IDC_SYSTEM_VOL_SLIDER))->GetPos(), 1);
            EXPECT_EQ(item(IDC_SYSTEM_VOL)->GetWindowTextString(), L"-1dB");
            g_masterVolume = 0;
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

TEST_F(MainWindowTest, SystemMenuAboutShowsVersionAndDeviceStrings)
{
    const char device[] = "46AK10240315V1";
    g_deviceString.Set(device, 14);
    std::vector<CMenu::Item> shown;
    platform_testing::SetSystemMenuResponder([&](const std::vector<CMenu::Item>& items) {
        shown = items;
        return items.empty() ? UINT_PTR(0) : items.back().id;
    });
    CTarvelDlg dlg;
    std::wstring version, deviceText;
    bool mediaVisible = true;
    const INT_PTR r = Run(dlg, [&] {
        // Alt+Space opens the system menu; its last entry opens About.
        // Posted, so that the About box's modal loop does not hold this thread.
        PostToUi([&] { platform_testing::PressKey(dlg.m_hWnd, VK_SPACE, 0, true); });
        EXPECT_TRUE(WaitOnUi([] {
            HWND top = platform_testing::TopModalDialog();
            return top && dynamic_cast<CAboutDlg*>(CWnd::FromHandle(top)) != nullptr;
        }));
        OnUi([&] {
            CWnd* about = CWnd::FromHandle(platform_testing::TopModalDialog());
            version = about->GetDlgItem(1255)->GetWindowTextString();
            deviceText = about->GetDlgItem(1254)->GetWindowTextString();
            mediaVisible = about->GetDlgItem(1256)->IsWindowVisible();
            ::PostMessage(about->m_hWnd, WM_COMMAND, IDOK, 0);
        });
        EXPECT_TRUE(WaitOnUi([&] { return platform_testing::TopModalDialog() == dlg.m_hWnd; }));
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
    ASSERT_GE(shown.size(), 2u);
    EXPECT_TRUE(shown[shown.size() - 2].flags & MF_SEPARATOR);
    EXPECT_EQ(shown.back().id, IDM_ABOUTBOX);
    EXPECT_EQ(shown.back().text, L"About");
    EXPECT_EQ(version, L"K417R_210903V1");
    EXPECT_EQ(deviceText, L"46AK10240315V1");
    EXPECT_FALSE(mediaVisible);
}

}  // namespace
