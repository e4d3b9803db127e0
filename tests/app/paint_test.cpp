// The pictures of the button families by state, bucket and model, the link
// pictures by link state, the label colours; and on the real window, that a
// changed USB state reaches the screen through the status timer's call and
// that the title and the Link buttons show their pictures.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/paint.h"
#include "controls/eq_bands.h"
#include "controls/links_curves.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/look.h"
#include "platform/resources.h"
#include "tests/app/main_window_fixture.h"
#include "tests/controls/controls_fakes.h"
#include "tests/support/globals.h"

namespace {

class PaintTest : public ::testing::Test {
protected:
    void TearDown() override { ResetGlobals(); }
    // The families the faces ask, on recording views: the graph draws the
    // curves of visible; the bands are in PEQ or GEQ.
    FaceContext Ctx(int model, int bucket, int visible = 0, bool peq = true)
    {
        controls.graph.visible = visible;
        if (bands.PeqMode() != peq) bands.TogglePeqMode();
        return {model, bucket, links, bands};
    }
    FakeControls controls;
    LinksAndCurves links{controls};
    EqBands bands{controls};
};

TEST_F(PaintTest, EachFamilyShowsThePictureOfItsState)
{
    // Routing: left inputs are the even bits.
    g_routingMask[0] = 1u << 0;
    EXPECT_EQ(FaceOf(g_routeButtonId[0][0], false, Ctx(4, 0)).bitmap, 238);
    EXPECT_EQ(FaceOf(g_routeButtonId[0][2], false, Ctx(4, 0)).bitmap, 239);
    EXPECT_EQ(FaceOf(g_routeButtonId[0][1], false, Ctx(4, 4)).bitmap, 377);
    g_routingMask[0] |= 1u << 1;
    EXPECT_EQ(FaceOf(g_routeButtonId[0][1], false, Ctx(4, 3)).bitmap, 654);

    // Channel: selected for every model 1..8, narrow for 2 and 8, unknown codes.
    g_selectedChannel = 0;
    EXPECT_EQ(FaceOf(g_channelButtonId[0], false, Ctx(8, 1)).bitmap, 567);
    EXPECT_EQ(FaceOf(g_channelButtonId[1], false, Ctx(8, 0)).bitmap, 746);
    EXPECT_EQ(FaceOf(g_channelButtonId[1], false, Ctx(4, 4)).bitmap, 575);
    EXPECT_EQ(FaceOf(g_channelButtonId[1], false, Ctx(0, 2)).bitmap, 508);
    EXPECT_EQ(FaceOf(g_channelButtonId[0], false, Ctx(9, 3)).bitmap, 691);
    // CH2 with CH1 selected: normal until their pair flag is set.
    EXPECT_EQ(FaceOf(g_channelButtonId[1], false, Ctx(4, 0)).bitmap, 561);
    g_btlPair12 = 1;
    EXPECT_EQ(FaceOf(g_channelButtonId[1], false, Ctx(4, 0)).bitmap, 559);
    // A link group holding CH1..CH3 with CH3 selected.
    g_btlPair12 = 0;
    g_linkGroup[0] = 0b111;
    g_selectedChannel = 2;
    for (int c : {0, 1}) EXPECT_EQ(FaceOf(g_channelButtonId[c], false, Ctx(4, 0)).bitmap, 559) << c;
    EXPECT_EQ(FaceOf(g_channelButtonId[3], false, Ctx(4, 0)).bitmap, 561);
    const ButtonFace ch = FaceOf(g_channelButtonId[0], false, Ctx(4, 0));
    EXPECT_EQ(ch.channel, 0);
    EXPECT_EQ(ch.font, FaceFont::Channel);

    // Phase, mute (narrow for 12 outputs), master mute.
    g_phaseMask = 1 << 3;
    EXPECT_EQ(FaceOf(g_phaseButtonId[3], false, Ctx(4, 0)).bitmap, 269);
    EXPECT_EQ(FaceOf(g_phaseButtonId[3], false, Ctx(4, 0)).stringId, IDS_PHASE_180);
    EXPECT_EQ(FaceOf(g_phaseButtonId[2], false, Ctx(4, 4)).bitmap, 534);
    g_muteMask = 1 << 7;  // CH7
    EXPECT_EQ(FaceOf(g_muteButtonId[6], false, Ctx(4, 0)).bitmap, 165);
    EXPECT_EQ(FaceOf(g_muteButtonId[5], false, Ctx(2, 0)).bitmap, 745);
    EXPECT_EQ(FaceOf(g_muteButtonId[5], false, Ctx(4, 3)).bitmap, 679);
    EXPECT_EQ(FaceOf(IDC_SYS_MUTE, false, Ctx(4, 0)).bitmap, 272);
    g_muteMask = 1 << 6;
    EXPECT_EQ(FaceOf(IDC_SYS_MUTE, false, Ctx(4, 4)).bitmap, 360);

    // Bypass: pressed wins; 0 dB (code 150) is bypassed, also when typed.
    g_selectedChannel = 0;
    g_eqGain[0][4] = 150;
    EXPECT_EQ(FaceOf(g_bypassButtonId[4], false, Ctx(4, 0)).bitmap, 161);
    EXPECT_EQ(FaceOf(g_bypassButtonId[4], true, Ctx(4, 0)).bitmap, 160);
    g_eqGain[0][4] = 140;
    EXPECT_EQ(FaceOf(g_bypassButtonId[4], false, Ctx(4, 1)).bitmap, 317);
    EXPECT_EQ(FaceOf(g_bypassButtonId[4], true, Ctx(4, 2)).bitmap, 704);

    // Delay unit, curve (hidden: one picture per channel at every bucket), link.
    g_delayInCm = 1;
    EXPECT_EQ(FaceOf(g_delayUnitButtonId[0], false, Ctx(4, 2)).bitmap, 761);
    EXPECT_EQ(FaceOf(g_delayUnitButtonId[0], false, Ctx(4, 2)).stringId, IDS_DELAY_UNIT_CM);
    EXPECT_EQ(FaceOf(g_curveButtonId[8], false, Ctx(4, 3, 1 << 8)).bitmap, 629);
    EXPECT_EQ(FaceOf(g_curveButtonId[8], false, Ctx(4, 3, 0)).bitmap, 584);
    g_linkGroup[0] = 0;
    g_linkGroup[9] = 1 << 4;
    // A Link button's picture is LoadLinkButtonBitmap's, for its channel's bit.
    EXPECT_EQ(FaceOf(g_linkButtonId[4], false, Ctx(4, 0)).linkChannelBit, 1 << 4);
    EXPECT_EQ(FaceOf(g_linkButtonId[11], false, Ctx(4, 0)).linkChannelBit, 1 << 11);
    EXPECT_EQ(LinkButtonBitmap(1 << 4, 0), 437);
    EXPECT_EQ(LinkButtonBitmap(1 << 4, 2), 476 + 9);
    EXPECT_EQ(LinkButtonBitmap(1 << 5, 4), 518);
    g_linkGroup[2] = 1 << 5;
    EXPECT_EQ(LinkButtonBitmap(1 << 5, 0), 242);

    // Text and dialog buttons, frame buttons.
    EXPECT_EQ(FaceOf(IDC_PEQ_MODE, false, Ctx(4, 0, 0, false)).stringId, IDS_MODE_GEQ);
    EXPECT_EQ(FaceOf(IDC_PEQ_MODE, true, Ctx(4, 4)).bitmap, 199);
    EXPECT_EQ(FaceOf(IDC_SOURCE, false, Ctx(4, 4)).bitmap, 200);
    EXPECT_EQ(FaceOf(IDC_FILE, true, Ctx(4, 1)).bitmap, 278);
    EXPECT_EQ(FaceOf(IDC_DELAY_CALE, false, Ctx(4, 1)).stringId, IDS_DELAY_CALE);
    EXPECT_EQ(FaceOf(IDC_MINIMIZE, true, Ctx(4, 3)).bitmap, 651);
    EXPECT_EQ(FaceOf(IDC_CLOSE, false, Ctx(4, 4)).bitmap, 392);
    EXPECT_EQ(FaceOf(IDC_SETUP, true, Ctx(4, 1)).bitmap, 405);
    // No family: nothing drawn.
    EXPECT_EQ(FaceOf(IDC_SPECTRUM, false, Ctx(4, 0)).bitmap, 0);
}

TEST_F(PaintTest, StatusPicturesByLinkStateAndBucket)
{
    const int tcp[3][kDpiBuckets] = {{191, 723, 724, 725, 726}, {187, 719, 720, 721, 722}, {190, 727, 728, 729, 730}};
    const int usb[2][kDpiBuckets] = {{193, 432, 433, 680, 434}, {192, 429, 430, 685, 431}};
    for (int b = 0; b < kDpiBuckets; ++b) {
        for (int state = 0; state < 3; ++state) EXPECT_EQ(TcpStatusBitmap(state, b), tcp[state][b]) << b;
        EXPECT_EQ(UsbStatusBitmap(false, b), usb[0][b]);
        EXPECT_EQ(UsbStatusBitmap(true, b), usb[1][b]);
        EXPECT_EQ(TitleBitmap(b), 731 + b);
    }
}

TEST_F(PaintTest, LabelColoursFollowTheSource)
{
    const COLORREF white = RGB(255, 255, 255);
    EXPECT_EQ(StaticTextColour(IDC_VOLUME_CAPTION, 2, 1), white);
    EXPECT_EQ(StaticTextColour(IDC_SOURCE_LABEL, 0, 1), white);
    EXPECT_EQ(StaticTextColour(g_routeLabelId[0][0], 1, 1), white);
    EXPECT_EQ(StaticTextColour(g_routeLabelId[0][0], 1, 2), kGreyText);
    EXPECT_EQ(StaticTextColour(g_routeLabelId[0][10], 3, 9), white);
    EXPECT_EQ(StaticTextColour(g_routeLabelId[0][2], 10, 1), kGreyText);  // group 10 stays grey
    EXPECT_TRUE(KeepsWindowBrush(g_bandFreqEditId[0]));
    EXPECT_TRUE(KeepsWindowBrush(g_bandQEditId[30]));
    EXPECT_TRUE(KeepsWindowBrush(g_delayEditId[11]));
    EXPECT_FALSE(KeepsWindowBrush(g_delayEditId[7]));
    EXPECT_FALSE(KeepsWindowBrush(g_bandGainEditId[0]));
}

class StatusWindowTest : public MainWindowTest {};

// On screen: the title picture centred at the top, and a linked channel's
// Link button in its group's picture where an unlinked one shows none.
TEST_F(StatusWindowTest, TheTitleAndTheLinkButtonsShowTheirPictures)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        OnUi([&] {
            const int bucket = DpiBucket(g_screenDpi);
            const int title = TitleBitmap(bucket);
            CBitmap picture;
            ASSERT_TRUE(picture.LoadBitmap(static_cast<UINT>(title)));
            const CSize size = picture.GetSize();
            CRect client;
            dlg.GetClientRect(&client);
            const int left = (client.Width() - size.cx) / 2;
            for (int x = 0; x < size.cx; x += 3) {
                const int y = size.cy / 2;
                EXPECT_EQ(platform_testing::GrabWindowPixel(dlg.m_hWnd, left + x, y), PicturePixel(title, size, x, y))
                    << x;
            }

            g_linkGroup[3] = (1 << 0) | (1 << 1);
            dlg.InvalidateLinkButtons();
        });
        platform_testing::PumpEvents();
        OnUi([&] {
            const int bucket = DpiBucket(g_screenDpi);
            const int group = LinkButtonBitmap(1 << 0, bucket), none = LinkButtonBitmap(1 << 2, bucket);
            ASSERT_NE(group, none);
            CWnd* linked = dlg.GetDlgItem(g_linkButtonId[0]);
            CWnd* unlinked = dlg.GetDlgItem(g_linkButtonId[2]);
            CRect rc;
            linked->GetClientRect(&rc);
            int compared = 0;
            for (int y = 0; y < rc.Height() && compared < 5; ++y) {
                for (int x = 0; x < rc.Width() && compared < 5; ++x) {
                    const COLORREF on = PicturePixel(group, rc.Size(), x, y);
                    const COLORREF off = PicturePixel(none, rc.Size(), x, y);
                    if (on == off) continue;
                    EXPECT_EQ(platform_testing::GrabWindowPixel(linked->m_hWnd, x, y), on) << x << "," << y;
                    EXPECT_EQ(platform_testing::GrabWindowPixel(unlinked->m_hWnd, x, y), off) << x << "," << y;
                    ++compared;
                }
            }
            EXPECT_EQ(compared, 5);
        });
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

// The USB picture on screen follows g_usbConnected once the status timer's
// call redraws it; the TCP picture shows the closed link.
TEST_F(StatusWindowTest, TheLinkStateIsAlwaysVisible)
{
    CTarvelDlg dlg;
    const INT_PTR r = Run(dlg, [&] {
        auto pixel = [&](int id, int state) {
            COLORREF shown = 0, expected = 0;
            OnUi([&] {
                CWnd* item = dlg.GetDlgItem(id);
                CRect rc;
                item->GetWindowRect(&rc);
                dlg.ScreenToClient(&rc);
                // Inside the picture, right of its middle (the USB cross, the TCP arc).
                const int x = rc.left + rc.Width() * 7 / 8, y = rc.top + rc.Height() / 3;
                shown = platform_testing::GrabWindowPixel(dlg.m_hWnd, x, y);
                const int bucket = DpiBucket(g_screenDpi);
                const int bitmap =
                    id == IDC_USB_PIC ? UsbStatusBitmap(state != 0, bucket) : TcpStatusBitmap(state, bucket);
                CBitmap picture;
                picture.LoadBitmap(static_cast<UINT>(bitmap));
                CDC source;
                source.CreateCompatibleDC(nullptr);
                source.SelectObject(&picture);
                expected = source.GetPixel(x - rc.left, y - rc.top);
            });
            return std::make_pair(shown, expected);
        };
        auto [closedShown, closedExpected] = pixel(IDC_WIFI_PIC, 0);
        EXPECT_EQ(closedShown, closedExpected);
        auto [offShown, offExpected] = pixel(IDC_USB_PIC, 0);
        EXPECT_EQ(offShown, offExpected);
        g_usbConnected = 1;
        OnUi([&] { dlg.DrawUsbPic(); });
        platform_testing::PumpEvents();
        auto [onShown, onExpected] = pixel(IDC_USB_PIC, 1);
        EXPECT_EQ(onShown, onExpected);
        EXPECT_NE(onExpected, offExpected);
        OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(r, IDCANCEL);
}

}  // namespace
