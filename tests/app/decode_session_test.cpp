// The main window against the emulated amplifier over the in-process HID
// backend: an image the link hands over is decoded into the window, and the
// synchronisation runs again after it. The decode changes fields whose
// notifications reach the window's edit hook, which may run the
// synchronisation tick at once; the window must come back from the decode.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <mutex>
#include <thread>

#include "app/tarveldlg.h"
#include "link/dialog_port.h"
#include "link/image_lock.h"
#include "link/link_messages.h"
#include "model/eq_images.h"
#include "model/params.h"
#include "tests/app/session_fixture.h"

namespace {

using DecodeSessionTest = SimSessionTest;

// Sends msg to the window as a reply parser does and waits for its handler.
// A window that does not come back is locked up for good: the test fails and
// the process ends, since nothing can close the window any more.
void SendAsParser(UINT msg)
{
    std::promise<void> handled;
    std::future<void> done = handled.get_future();
    std::thread parser([&] {
        DialogPort().Send(msg, 0, 0);
        handled.set_value();
    });
    if (done.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        ADD_FAILURE() << "the window did not come back from the handler of message 0x" << std::hex << msg;
        std::fflush(stdout);
        std::_Exit(1);
    }
    parser.join();
}

TEST_F(DecodeSessionTest, ImagesHandedOverAreDecodedWithoutLockingTheWindow)
{
    CTarvelDlg dlg;
    std::thread script([&] {
        if (!Imported(dlg)) return;
        // EqUser last: its decode asks the device for EqUser2.
        struct Case {
            const char* name;
            UINT msg;
            // Changes the image and its shadow as a page from the device does.
            void (*page)();
            // The model holds the change.
            bool (*decoded)(CTarvelDlg&);
        } cases[] = {
            // clang-format off
            {"EqUser2: CH1's routing", WM_ROUTING_IMAGE_RECEIVED,
             [] {
                 for (uint8_t* image : {g_eqUser2, g_eqUser2Shadow}) image[2] ^= 0x04;
             },
             [](CTarvelDlg&) {
                 std::lock_guard<std::mutex> lock(g_imageMutex);
                 return (g_routingMask[0] & 0xFF) == g_eqUser2[2];
             }},
            {"EqUser: CH1's delay 48 samples", WM_PARAM_IMAGE_RECEIVED,
             [] {
                 for (uint8_t* image : {g_eqUser, g_eqUserShadow}) {
                     image[0] &= 0xF0;
                     image[1] = 48;
                 }
             },
             [](CTarvelDlg& d) { return d.View().DelayFields().GetValue(0) == 48; }},
        };
        // clang-format on
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            // Pages are stored while a read runs, and a read stops the
            // synchronisation: no tick rebuilds the image before the decode.
            EXPECT_TRUE(OnUi([&] { dlg.Timers().StopParamSync(); }));
            {
                std::lock_guard<std::mutex> lock(g_imageMutex);
                c.page();
            }
            SendAsParser(c.msg);
            bool decoded = false;
            EXPECT_TRUE(OnUi([&] { decoded = c.decoded(dlg); }));
            EXPECT_TRUE(decoded);
            // The decoded EqUser2 (EqUser's asks the device for it) starts
            // the synchronisation again, which then runs over the decoded model.
            EXPECT_TRUE(WaitOnUi([&] { return dlg.Timers().ParamSyncRunning(); }));
        }
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    script.join();
}

}  // namespace
