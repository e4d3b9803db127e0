// The main window against the emulated amplifier over the in-process HID
// backend: the input mixer, the delay calculator and the crossover setup
// opened from their buttons, and what the user does in them reaching the
// device as the bytes of EqUser2 and EqUser that carry it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "dialogs/dialogchinputvol.h"
#include "dialogs/dialogdelaycale.h"
#include "dialogs/dialogfiltersetup.h"
#include "model/params.h"
#include "tests/app/session_fixture.h"

namespace {

using platform_testing::ClickAt;
using platform_testing::PressKey;

class PopupsSessionTest : public SimSessionTest {
protected:
    template <class Dialog>
    Dialog* OpenBy(CTarvelDlg& dlg, int buttonId)
    {
        PostToUi([&dlg, buttonId] {
            CWnd* button = dlg.GetDlgItem(buttonId);
            ClickAt(button->m_hWnd, 3, 3);
        });
        return WaitForModal<Dialog>();
    }
};

// EqUser2: the mixer cell of output c in column j (Hi.1 = column 0).
int MixAtDevice(const SimState& s, int c, int column) { return s.eqUser2[50 + 16 * c + column]; }
// EqUser: CH1..CH6 delays in the header, their low-pass type and frequency
// in their 194-byte blocks.
int DelayAtDevice(const SimState& s, int c) { return (s.eqUser[2 * c] & 0x0F) << 8 | s.eqUser[2 * c + 1]; }
int LpTypeAtDevice(const SimState& s, int c) { return s.eqUser[19 + 194 * c + 190]; }
int LpFreqAtDevice(const SimState& s, int c)
{
    return s.eqUser[19 + 194 * c + 191] << 8 | s.eqUser[19 + 194 * c + 192];
}

TEST_F(PopupsSessionTest, MixerCellCalculatedDelaysAndCrossoverReachTheDevice)
{
    CTarvelDlg dlg;
    CWinApp app;  // the popups answer to AfxGetMainWnd
    app.m_pMainWnd = &dlg;
    std::thread script([&] {
        if (!Imported(dlg)) return;
        OnUi([&] {
            platform_testing::Activate(dlg.m_hWnd);
            g_selectedChannel = 0;
        });

        // The mixer: CH2 x Hi.1 by keys in its field, CH1 x Hi.1 by its slider.
        CDialogChInputVol* mixer = OpenBy<CDialogChInputVol>(dlg, IDC_INPUT_VOL);
        ASSERT_NE(mixer, nullptr);
        OnUi([&] {
            platform_testing::Activate(mixer->m_hWnd);
            CEditGain& field = mixer->Edit(1, 0);
            field.SetFocus();
            for (int i = 0; i < 3; ++i) PressKey(field.m_hWnd, VK_DOWN);
            CNewSliderCtrl& slider = mixer->Slider(0, 0);
            slider.SetFocus();
            for (int i = 0; i < 5; ++i) PressKey(slider.m_hWnd, VK_RIGHT);
        });
        // The routing image goes with the next ticks while the mixer is open.
        EXPECT_TRUE(
            DeviceHas([](const SimState& s) { return MixAtDevice(s, 1, 0) == 3 && MixAtDevice(s, 0, 0) == 5; }));
        OnUi([&] { PressKey(mixer->m_hWnd, VK_ESCAPE); });

        // The calculator: 300 cm for CH1, 200 cm for CH2.
        CDialogDelayCale* calc = OpenBy<CDialogDelayCale>(dlg, IDC_DELAY_CALE);
        ASSERT_NE(calc, nullptr);
        OnUi([&] {
            platform_testing::Activate(calc->m_hWnd);
            for (auto [channel, text] : {std::pair{0, L"300"}, std::pair{1, L"200"}}) {
                CEditDelayCale& field = calc->DistanceField(channel);
                ClickAt(field.m_hWnd, 3, 3);
                for (wchar_t ch : std::wstring(text)) PressKey(field.m_hWnd, 0, ch);
            }
            ClickAt(calc->GetDlgItem(IDC_CALCULATE)->m_hWnd, 3, 3);
            // The main window's delay fields followed before Calculate returned.
            EXPECT_EQ(dlg.DelayField(0).GetValue(), 0);
            EXPECT_EQ(dlg.DelayField(1).GetValue(), 141);
            EXPECT_EQ(dlg.DelayField(2).GetValue(), 424);
        });
        EXPECT_TRUE(DeviceHas([](const SimState& s) {
            return DelayAtDevice(s, 0) == 0 && DelayAtDevice(s, 1) == 141 && DelayAtDevice(s, 2) == 424;
        }));
        OnUi([&] { PressKey(calc->m_hWnd, VK_ESCAPE); });
        // Opened again, it shows the distances of that calculation.
        calc = OpenBy<CDialogDelayCale>(dlg, IDC_DELAY_CALE);
        ASSERT_NE(calc, nullptr);
        OnUi([&] {
            EXPECT_EQ(calc->DistanceField(0).GetWindowTextString(), L"300.322");
            EXPECT_EQ(calc->DistanceField(1).GetWindowTextString(), L"200.464");
            PressKey(calc->m_hWnd, VK_ESCAPE);
        });

        // The crossover setup, CH1 and CH2 bridged: Bessel low-pass, 8000 Hz
        // typed and left by Escape.
        OnUi([] { g_btlPair12 = 1; });
        CDialogFilterSetup* filter = OpenBy<CDialogFilterSetup>(dlg, IDC_FILTER_SETUP);
        ASSERT_NE(filter, nullptr);
        OnUi([&] {
            platform_testing::Activate(filter->m_hWnd);
            filter->m_comboLpType.SetFocus();
            PressKey(filter->m_comboLpType.m_hWnd, VK_END);
            EXPECT_EQ(static_cast<CComboBox*>(dlg.GetDlgItem(IDC_LP_TYPE))->GetCurSel(), 1);
            EXPECT_EQ(g_lpType[0], 1);
            EXPECT_EQ(g_lpType[1], 1);  // the bridged partner followed, as from the window's own selector
            EditCutFreq& lp = filter->m_editHighCutFreq;
            ClickAt(lp.m_hWnd, 3, 3);
            for (wchar_t ch : std::wstring(L"8000")) PressKey(lp.m_hWnd, 0, ch);
            PressKey(lp.m_hWnd, VK_ESCAPE);
        });
        EXPECT_TRUE(WaitOnUi([&] { return platform_testing::TopModalDialog() == dlg.m_hWnd; }));
        OnUi([&] { EXPECT_EQ(dlg.GetDlgItem(IDC_LP_FREQ)->GetWindowTextString(), L"8000"); });
        EXPECT_TRUE(DeviceHas([](const SimState& s) {
            return LpTypeAtDevice(s, 0) == 1 && LpFreqAtDevice(s, 0) == 8000 && LpTypeAtDevice(s, 1) == 1 &&
                   LpFreqAtDevice(s, 1) == 8000;
        }));

        // Values no selector has change nothing.
        OnUi([&] {
            const int slope = g_hpSlope[0];
            dlg.SendMessage(WM_FILTER_SETUP_CHANGED, FILTER_HP_SLOPE, kSlopeOff + 1);
            dlg.SendMessage(WM_FILTER_SETUP_CHANGED, FILTER_HP_TYPE, -1);
            dlg.SendMessage(WM_FILTER_SETUP_CHANGED, 4, 0);
            EXPECT_EQ(g_hpSlope[0], slope);
            EXPECT_EQ(g_hpType[0], 0);
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    script.join();
    app.m_pMainWnd = nullptr;
    g_btlPair12 = 0;
}

}  // namespace
