// The pictures of the button families by state, bucket and model, the link
// pictures by link state, the label colours; and on the real window, that a
// changed USB state reaches the screen through the status timer's call.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/paint.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/look.h"
#include "platform/resources.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/globals.h"

namespace {

class PaintTest : public ::testing::Test {
protected:
    void TearDown() override { ResetGlobals(); }
    FaceContext Ctx(int model, int bucket, int visible = 0, bool peq = true) { return {model, bucket, visible, peq}; }
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
    EXPECT_FALSE(ChannelLooksSelected(1));
    g_btlPair12 = 1;
    EXPECT_TRUE(ChannelLooksSelected(1));
    // A link group holding CH1..CH3 with CH3 selected.
    g_btlPair12 = 0;
    g_linkGroup[0] = 0b111;
    g_selectedChannel = 2;
    EXPECT_TRUE(ChannelLooksSelected(0) && ChannelLooksSelected(1));
    EXPECT_FALSE(ChannelLooksSelected(3));
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
    EXPECT_EQ(FaceOf(g_linkButtonId[4], false, Ctx(4, 0)).bitmap, 437);
    EXPECT_EQ(FaceOf(g_linkButtonId[4], false, Ctx(4, 2)).bitmap, 476 + 9);
    EXPECT_EQ(FaceOf(g_linkButtonId[5], false, Ctx(4, 4)).bitmap, 518);
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

TEST_F(PaintTest, ChannelNames)
{
    EXPECT_EQ(ChannelName(2), L"CH3");
    const char full[20] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J',
                           'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'};
    g_deviceChannelNames[2].Set(full, 20);
    EXPECT_EQ(ChannelName(2), L"ABCDEFGHIJKLMNOPQRST");
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
