// The status pictures of the main window as the screen shows them, against
// the emulated amplifier over loopback TCP: they follow the link at every
// change, both ways, whatever else the window repaints meanwhile.
#include <gtest/gtest.h>

#include <memory>

#include "app/control_ids.h"
#include "app/paint.h"
#include "app/tarveldlg.h"
#include "platform/hid/inprocess_backend.h"
#include "platform/look.h"
#include "platform/testing/testing.h"
#include "sim/device.h"
#include "sim/tcp_server.h"
#include "tests/app/main_window_fixture.h"

namespace {

class LinkPicturesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        server = std::make_unique<SimTcpServer>(device, 0);
        ASSERT_EQ(server->Start(), NetStatus::kOk);
        m_setup.startLink = true;
        m_setup.hidBackend = &backend;  // no HID device
        m_setup.tcp.address = "127.0.0.1";
        m_setup.tcp.port = server->Port();
        m_setup.tcp.networkAlive = [](std::string_view) { return true; };
    }

    // Whether the TCP picture on screen is the one of state, read where
    // the pictures of the three states differ (UI thread).
    static bool ShowsTcpState(CTarvelDlg& dlg, int state)
    {
        CWnd* item = dlg.GetDlgItem(IDC_WIFI_PIC);
        CRect rc;
        item->GetWindowRect(&rc);
        dlg.ScreenToClient(&rc);
        const int bucket = DpiBucket(g_screenDpi);
        for (int y = 0; y < rc.Height(); ++y) {
            for (int x = 0; x < rc.Width(); ++x) {
                const COLORREF want = PicturePixel(TcpStatusBitmap(state, bucket), rc.Size(), x, y);
                bool distinct = true;
                for (int other = 0; other < 3; ++other)
                    distinct = distinct && (other == state ||
                                            PicturePixel(TcpStatusBitmap(other, bucket), rc.Size(), x, y) != want);
                if (distinct) return platform_testing::ShownWindowPixel(dlg.m_hWnd, rc.left + x, rc.top + y) == want;
            }
        }
        ADD_FAILURE() << "no pixel tells the state " << state;
        return false;
    }

    // Waits until the link is in state and the picture shows it; meanwhile
    // another part of the window is repainted now and then, as the
    // window's own labels and controls are.
    bool Follows(CTarvelDlg& dlg, int state)
    {
        return WaitOnUi(
            [&] {
                dlg.InvalidateControlArea(IDC_SAVE_MODE_LABEL);
                platform_testing::PumpEvents();
                return dlg.Link().TcpLinkState() == state && ShowsTcpState(dlg, state);
            },
            std::chrono::seconds(20), std::chrono::milliseconds(5));
    }

    SimDevice device;
    InProcessHidBackend backend;
    std::unique_ptr<SimTcpServer> server;
};

// Connected, the amplifier gone, back on the same port, gone again: the
// picture turns green, grey, green and grey.
TEST_F(LinkPicturesTest, TheTcpPictureFollowsEveryReconnect)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(
        dlg,
        [&] {
            EXPECT_TRUE(Follows(dlg, TCP_LINK_CONNECTED));
            const uint16_t port = server->Port();
            for (int round = 0; round < 2; ++round) {
                SCOPED_TRACE(round);
                server->Stop();
                EXPECT_TRUE(Follows(dlg, TCP_LINK_CLOSED));
                if (round == 1) break;
                server = std::make_unique<SimTcpServer>(device, port);
                ASSERT_EQ(server->Start(), NetStatus::kOk);
                EXPECT_TRUE(Follows(dlg, TCP_LINK_CONNECTED));
            }
            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        },
        true);
    EXPECT_EQ(r, IDCANCEL);
}

}  // namespace
