// The main window against the emulated amplifier over the in-process HID
// backend: edits made with the mouse and keys on the channel strips reach
// the device as the bytes of EqUser that carry them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "app/control_ids.h"
#include "model/params.h"
#include "tests/app/session_fixture.h"

namespace {

using platform_testing::ClickAt;
using platform_testing::PressKey;

class StripsSessionTest : public SimSessionTest {
protected:
    // Waits until the device's EqUser satisfies pred.
    bool DeviceHas(const std::function<bool(const SimBytes&)>& pred)
    {
        return SimSessionTest::DeviceHas([&](const SimState& s) { return pred(s.eqUser); });
    }
};

// Channel c's gain in EqUser: 11 bits over its low byte and the high
// nibble of its delay byte (CH1..CH6 in the header).
int GainAtDevice(const SimBytes& img, int c) { return (img[2 * c] >> 4) << 7 | (img[12 + c] & 0x7F); }
int DelayAtDevice(const SimBytes& img, int c) { return (img[2 * c] & 0x0F) << 8 | img[2 * c + 1]; }
bool PhaseAtDevice(const SimBytes& img, int c) { return (img[12 + c] & 0x80) != 0; }

TEST_F(StripsSessionTest, TypedGainMutePhaseAndDelayReachTheDevice)
{
    CTarvelDlg dlg;
    std::thread script([&] {
        if (!Imported(dlg)) return;
        auto type = [&](int id, const std::wstring& text) {
            CWnd* field = dlg.GetDlgItem(id);
            ClickAt(field->m_hWnd, 3, 3);
            static_cast<CEdit*>(field)->SetSel(0, -1);
            for (wchar_t ch : text) PressKey(field->m_hWnd, 0, ch);
            dlg.GetDlgItem(IDC_FREQ_CAPTION)->SetFocus();
        };
        auto click = [&](int id) { ClickAt(dlg.GetDlgItem(id)->m_hWnd, 3, 3); };

        OnUi([&] {
            platform_testing::Activate(dlg.m_hWnd);
            type(g_gainEditId[1], L"-6");
        });
        EXPECT_TRUE(DeviceHas([](const SimBytes& img) { return GainAtDevice(img, 1) == 60; }));

        OnUi([&] { click(g_muteButtonId[1]); });
        EXPECT_TRUE(DeviceHas([](const SimBytes& img) { return GainAtDevice(img, 1) == 600; }));
        OnUi([&] { click(g_muteButtonId[1]); });
        EXPECT_TRUE(DeviceHas([](const SimBytes& img) { return GainAtDevice(img, 1) == 60; }));

        const bool phaseBefore = PhaseAtDevice(device.State().eqUser, 0);
        OnUi([&] { click(g_phaseButtonId[0]); });
        EXPECT_TRUE(DeviceHas([&](const SimBytes& img) { return PhaseAtDevice(img, 0) != phaseBefore; }));

        OnUi([&] { type(g_delayEditId[2], L"1"); });
        EXPECT_TRUE(DeviceHas([](const SimBytes& img) { return DelayAtDevice(img, 2) == 48; }));

        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    script.join();
    // Nothing else of the strips moved on the device.
    const SimBytes img = device.State().eqUser;
    EXPECT_EQ(GainAtDevice(img, 0), g_channelGain[0]);
    EXPECT_EQ(DelayAtDevice(img, 3), 0);
}

}  // namespace
