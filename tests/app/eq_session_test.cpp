// One session of the main window against the emulated amplifier on the
// in-process HID link: edits made in the window's band fields, slope
// selector and routing matrix reach the device as their bytes of EqUser and
// EqUser2, sent by the window's own IDT_PARAM_SYNC.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "app/control_ids.h"
#include "app/tarveldlg.h"
#include "model/codecs.h"
#include "model/params.h"
#include "platform/testing/testing.h"
#include "tests/app/session_fixture.h"

namespace {

// CH1's fields in EqUser: band frequencies, gain codes and Q x 100 as
// big-endian words from these offsets, the high-pass slope one byte; CH1's
// routing mask is EqUser2's first three bytes.
constexpr int kCh1Freq = 19;
constexpr int kCh1Gain = 81;
constexpr int kCh1Q = 143;
constexpr int kCh1HpSlope = 208;

bool DeviceHolds(SimDevice& device, bool second, int at, std::vector<uint8_t> bytes)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        const SimState s = device.State();
        const SimBytes& image = second ? s.eqUser2 : s.eqUser;
        if (at + bytes.size() <= image.size() && std::equal(bytes.begin(), bytes.end(), image.begin() + at))
            return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<uint8_t> Word(int v) { return {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}; }

void TypeInto(CWnd& dlg, int id, const std::wstring& text)
{
    CWnd* field = dlg.GetDlgItem(id);
    ASSERT_NE(field, nullptr);
    CRect rc;
    field->GetClientRect(&rc);
    platform_testing::ClickAt(field->m_hWnd, rc.Width() / 2, rc.Height() / 2);
    platform_testing::PressKey(field->m_hWnd, 'A', 0, false, false, true);
    for (wchar_t ch : text) platform_testing::PressKey(field->m_hWnd, ch == L'.' ? VK_OEM_PERIOD : ch, ch);
}

void ClickOn(CWnd& dlg, int id)
{
    CWnd* w = dlg.GetDlgItem(id);
    ASSERT_NE(w, nullptr);
    CRect rc;
    w->GetClientRect(&rc);
    platform_testing::ClickAt(w->m_hWnd, rc.Width() / 2, rc.Height() / 2);
}

using EqSessionTest = SimSessionTest;

TEST_F(EqSessionTest, EditsInTheWindowReachTheEmulatedAmplifierAsTheirImageBytes)
{
    g_selectedChannel = 0;

    CTarvelDlg dlg;
    const INT_PTR r = Run(
        dlg,
        [&] {
            // The device identified itself (the picker ended by itself) and
            // both images came in: the window sends changes from now on.
            ASSERT_TRUE(WaitOnUi(
                [&] { return dlg.Timers().ParamSyncRunning() && platform_testing::TopModalDialog() == dlg.m_hWnd; }));
            OnUi([&] { platform_testing::Activate(dlg.m_hWnd); });

            // A band gain typed and left.
            OnUi([&] {
                TypeInto(dlg, g_bandGainEditId[5], L"1.25");
                ClickOn(dlg, g_bandGainEditId[6]);
                EXPECT_EQ(g_eqGain[0][5], 138);
            });
            EXPECT_TRUE(DeviceHolds(device, false, kCh1Gain + 2 * 5, Word(138)));

            // A band frequency typed and left.
            OnUi([&] {
                TypeInto(dlg, g_bandFreqEditId[10], L"1234");
                ClickOn(dlg, g_bandFreqEditId[11]);
                EXPECT_EQ(g_eqFreq[0][10], 1234);
            });
            EXPECT_TRUE(DeviceHolds(device, false, kCh1Freq + 2 * 10, Word(1234)));

            // A Q step of band 3: Up in its field.
            double q = 0;
            OnUi([&] {
                const double before = g_eqQ[0][2];
                ClickOn(dlg, g_bandQEditId[2]);
                platform_testing::PressKey(dlg.GetDlgItem(g_bandQEditId[2])->m_hWnd, VK_UP);
                q = g_eqQ[0][2];
                EXPECT_GT(q, before);
                EXPECT_EQ(dlg.GetDlgItem(g_bandQEditId[2])->GetWindowTextString(), FormatDecimal(q, 2));
            });
            EXPECT_TRUE(DeviceHolds(device, false, kCh1Q + 2 * 2, Word(static_cast<int>(std::lround(q * 100)))));

            // A slope chosen in the high-pass slope selector.
            int slope = -1;
            OnUi([&] {
                const int before = g_hpSlope[0];
                platform_testing::PressKey(dlg.GetDlgItem(IDC_HP_SLOPE)->m_hWnd, before > 0 ? VK_UP : VK_DOWN);
                slope = g_hpSlope[0];
                EXPECT_NE(slope, before);
            });
            EXPECT_TRUE(DeviceHolds(device, false, kCh1HpSlope, {static_cast<uint8_t>(slope)}));

            // CH1's Opt-L cell toggled in the matrix.
            uint32_t mask = 0;
            OnUi([&] {
                const uint32_t before = g_routingMask[0];
                ClickOn(dlg, g_routeButtonId[0][8]);
                mask = g_routingMask[0];
                EXPECT_EQ(mask, before ^ 0x100u);
            });
            EXPECT_TRUE(DeviceHolds(
                device, true, 0,
                {static_cast<uint8_t>(mask >> 16), static_cast<uint8_t>(mask >> 8), static_cast<uint8_t>(mask)}));

            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        },
        true);
    EXPECT_EQ(r, IDCANCEL);
}

}  // namespace
