// The input mixer run modally through the layer's keys and mouse: its layout
// on screen, the cells edited by slider, keys, wheel and typed text, the
// keyboard navigation, the caption colours and that no text is cut.
#include <cstring>
#include <string>

#include "dialogs/dialogchinputvol.h"
#include "fields/field_messages.h"
#include "model/codecs.h"
#include "platform/app.h"
#include "res/resource.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;
using platform_testing::MouseMoveTo;
using platform_testing::MousePressAt;
using platform_testing::MouseReleaseAt;
using platform_testing::PressKey;
using platform_testing::WheelAt;

enum : int { H1 = 0, H2, H3, H4, H5, H6, A1, A2, OL, OR, BL, BR, H7, H8, A3, A4, H9, H10 };

class TestMixer : public CDialogChInputVol {
public:
    using CDialogChInputVol::CDialogChInputVol;
    using CDialogChInputVol::PopupCtlColor;
};

class MixerTest : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        g_inputSource = 1;
    }
    // Opens the mixer for the model and runs script in it.
    void Run(int model, const std::function<void(TestMixer&)>& script)
    {
        g_deviceModel = model;
        TestMixer dlg(static_cast<UINT>(g_inputVolTemplateId[model]));
        EXPECT_EQ(RunModal(dlg,
                           [&] {
                               platform_testing::Activate(dlg.m_hWnd);
                               script(dlg);
                               dlg.EndDialog(IDCANCEL);
                           }),
                  IDCANCEL);
    }
};

CRect RectIn(CWnd& dlg, int id)
{
    CRect r;
    dlg.GetDlgItem(id)->GetWindowRect(&r);
    dlg.ScreenToClient(&r);
    return r;
}

uint32_t Cell(int c, int b) { return GetInputVolume(c, 1u << b); }
std::wstring Text(TestMixer& dlg, int c, int b) { return dlg.Edit(c, b).GetWindowTextString(); }

TEST_F(MixerTest, LayoutOnScreenByModelOptionSourceAndDpi)
{
    // Model 2 below 110 dpi: 1245 x 590, the close button 40 x 22 at (1185, 7).
    Run(2, [](TestMixer& dlg) {
        CRect client;
        dlg.GetClientRect(&client);
        EXPECT_EQ(client.Size(), CSize(1245, 590));
        EXPECT_EQ(RectIn(dlg, IDCANCEL), CRect(1185, 7, 1225, 29));
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(1049));     // the slider of CH1 x Hi.1
        EXPECT_TRUE(dlg.GetDlgItem(1534)->IsWindowVisible());  // CH12
        EXPECT_EQ(RectIn(dlg, g_mixerSourceLabelId[OL]).top, 70 + 12 * 33);
    });
    // At 120 dpi the field of CH2 x Hi.1 lies at (199, 86), 38 x 20, its slider at (237, 84), 76 x 24.
    g_screenDpi = 120;
    Run(2, [](TestMixer& dlg) {
        EXPECT_EQ(RectIn(dlg, g_mixerEditId[1][H1]), CRect(199, 86, 237, 106));
        EXPECT_EQ(RectIn(dlg, g_mixerSliderId[1][H1]), CRect(237, 84, 313, 108));
    });
    g_screenDpi = 96;
    // Without AUX-3/AUX-4 their captions and cells go and Opt-L moves up to row 10.
    g_noAux34 = 1;
    Run(2, [](TestMixer& dlg) {
        EXPECT_FALSE(dlg.GetDlgItem(g_mixerSourceLabelId[A3])->IsWindowVisible());
        EXPECT_FALSE(dlg.Edit(0, A4).IsWindowVisible());
        EXPECT_FALSE(dlg.Slider(5, A4).IsWindowVisible());
        EXPECT_EQ(RectIn(dlg, g_mixerSourceLabelId[OL]).top, 70 + 10 * 33);
        EXPECT_EQ(RectIn(dlg, g_mixerEditId[0][OL]).top, 68 + 10 * 33);
    });
    // Model 1 with source 4: every cell of CH1..CH8 is disabled.
    g_noAux34 = 0;
    g_inputSource = 4;
    Run(1, [](TestMixer& dlg) {
        CRect client;
        dlg.GetClientRect(&client);
        EXPECT_EQ(client.Size(), CSize(850, 530));
        for (int c = 0; c < 8; ++c)
            for (int b : {H1, A1, OL, BR}) {
                EXPECT_FALSE(dlg.Edit(c, b).IsWindowEnabled()) << c << " " << b;
                EXPECT_FALSE(dlg.Slider(c, b).IsWindowEnabled()) << c << " " << b;
            }
        EXPECT_FALSE(dlg.GetDlgItem(1531)->IsWindowVisible());  // CH9
    });
    // Model 5: ten rows, AUX-1 in row 4, CH1..CH8.
    g_inputSource = 9;
    Run(5, [](TestMixer& dlg) {
        EXPECT_EQ(RectIn(dlg, g_mixerSourceLabelId[A1]).top, 70 + 4 * 33);
        EXPECT_FALSE(dlg.Edit(0, H5).IsWindowVisible());
        EXPECT_FALSE(dlg.Edit(8, H1).IsWindowVisible());
        EXPECT_EQ(dlg.GetDlgItem(g_mixerSourceLabelId[BL])->GetWindowTextString(), L"USB-L");
        EXPECT_EQ(dlg.GetDlgItem(g_mixerSourceLabelId[BR])->GetWindowTextString(), L"USB-R");
    });
    // Model 7: ten outputs, Hi.1..Hi.8, its radio/AUX/USB captions, the
    // background and size of models 3 and 4.
    g_inputSource = 1;
    Run(7, [](TestMixer& dlg) {
        CRect client;
        dlg.GetClientRect(&client);
        EXPECT_EQ(client.Width(), 1045);
        EXPECT_EQ(client.Height(), dlg.BackgroundSize().cy);
        EXPECT_EQ(dlg.BackgroundSize(), CSize(1236, 520));
        EXPECT_TRUE(dlg.Edit(9, H8).IsWindowVisible());
        EXPECT_FALSE(dlg.Edit(10, H1).IsWindowVisible());
        EXPECT_FALSE(dlg.Edit(0, H9).IsWindowVisible());
        EXPECT_EQ(dlg.GetDlgItem(g_mixerSourceLabelId[H1])->GetWindowTextString(), L"RADIO-L");
        EXPECT_EQ(dlg.GetDlgItem(g_mixerSourceLabelId[A2])->GetWindowTextString(), L"AUX-R");
        EXPECT_EQ(dlg.GetDlgItem(g_mixerSourceLabelId[BL])->GetWindowTextString(), L"USB-L");
    });
}

TEST_F(MixerTest, CaptionColoursFollowTheSourceAtEveryPaint)
{
    g_inputSource = 2;
    Run(1, [](TestMixer& dlg) {
        auto colour = [&](int id) {
            CWnd* item = dlg.GetDlgItem(id);
            CClientDC dc(item);
            dlg.PopupCtlColor(&dc, item, CTLCOLOR_STATIC, nullptr);
            return dc.GetTextColor();
        };
        const COLORREF white = RGB(254, 254, 254), grey = RGB(153, 153, 153);
        EXPECT_EQ(colour(g_mixerSourceLabelId[A1]), white);
        EXPECT_EQ(colour(g_mixerSourceLabelId[H1]), grey);
        EXPECT_EQ(colour(g_mixerChannelLabelId[0]), white);
        EXPECT_EQ(colour(IDC_MIXER_TITLE), white);
        g_inputSource = 9;  // the device changed the source: the captions follow
        EXPECT_EQ(colour(g_mixerSourceLabelId[BR]), white);
        EXPECT_EQ(colour(g_mixerSourceLabelId[A1]), grey);
        // A disabled cell field: grey on black.
        CWnd* off = &dlg.Edit(0, H1);
        ASSERT_FALSE(off->IsWindowEnabled());
        CClientDC dc(off);
        dlg.PopupCtlColor(&dc, off, CTLCOLOR_STATIC, nullptr);
        EXPECT_EQ(dc.GetTextColor(), grey);
        EXPECT_EQ(dc.GetBkColor(), RGB(0, 0, 0));
    });
}

// On screen a disabled cell's text stands on a black box inside the dark
// field; an enabled cell has none.
TEST_F(MixerTest, DisabledCellTextOnABlackBox)
{
    g_inputSource = 2;
    Run(1, [](TestMixer& dlg) {
        platform_testing::PumpEvents();
        auto blackPixels = [](CWnd& field) {
            CRect r;
            field.GetClientRect(&r);
            int black = 0;
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x) black += platform_testing::GrabWindowPixel(field.m_hWnd, x, y) == 0;
            return black;
        };
        CEditGain& off = dlg.Edit(0, H1);
        CEditGain& on = dlg.Edit(0, A1);
        ASSERT_FALSE(off.IsWindowEnabled());
        ASSERT_TRUE(on.IsWindowEnabled());
        const COLORREF panel = RGB(33, 44, 61);
        EXPECT_EQ(platform_testing::GrabWindowPixel(off.m_hWnd, 0, 0), panel);
        EXPECT_GT(blackPixels(off), 20);
        EXPECT_EQ(platform_testing::GrabWindowPixel(on.m_hWnd, 0, 0), panel);
        EXPECT_EQ(blackPixels(on), 0);
    });
}

TEST_F(MixerTest, CellsEditedBySliderKeysWheelAndText)
{
    g_inputSource = 2;
    g_btlPair12 = 1;  // a bridged pair: the mixer's cells do not follow it
    Run(2, [](TestMixer& dlg) {
        // Keys: Down adds 1 dB, Up takes it away, nothing at the limits.
        CEditGain& aux = dlg.Edit(0, A1);
        aux.SetFocus();
        PressKey(aux.m_hWnd, VK_UP);
        EXPECT_EQ(Cell(0, A1), 0u);
        PressKey(aux.m_hWnd, VK_DOWN);
        PressKey(aux.m_hWnd, VK_DOWN);
        EXPECT_EQ(Cell(0, A1), 2u);
        EXPECT_EQ(Text(dlg, 0, A1), L"-2dB");
        EXPECT_EQ(dlg.Slider(0, A1).GetPos(), 2);
        // The wheel: one notch a step, only in the focused field.
        const CPoint c = CenterOf(&aux);
        WheelAt(aux.m_hWnd, c.x, c.y, -120);
        EXPECT_EQ(Cell(0, A1), 3u);
        WheelAt(aux.m_hWnd, c.x, c.y, 240);
        EXPECT_EQ(Cell(0, A1), 3u);
        WheelAt(aux.m_hWnd, c.x, c.y, 120);
        EXPECT_EQ(Cell(0, A1), 2u);
        EXPECT_EQ(dlg.Slider(0, A1).GetPos(), 2);

        // Typed texts, each committed with Enter.
        struct Typed {
            const wchar_t* text;
            uint32_t value;
            const wchar_t* shown;
        } typed[] = {
            // clang-format off
            {L"-7", 7, L"-7dB"},    {L"-60", 7, L"-7dB"},  {L"OFF", 60, L"-60dB"}, {L"0dB", 0, L"0dB"},
            {L"off", 60, L"-60dB"}, {L"-12", 12, L"-12dB"}, {L"-12dB", 12, L"-12dB"}, {L"12", 12, L"-12dB"},
            {L"-", 12, L"-12dB"},   {L"", 12, L"-12dB"},   {L"1.5", 12, L"-12dB"}, {L"-5d", 5, L"-5dB"},
            {L"0", 0, L"0dB"},
        };
        // clang-format on
        for (const Typed& t : typed) {
            aux.SetWindowText(t.text);
            PressKey(aux.m_hWnd, VK_RETURN);
            EXPECT_EQ(Cell(0, A1), t.value) << std::wstring(t.text).size();
            EXPECT_EQ(Text(dlg, 0, A1), t.shown);
            EXPECT_EQ(dlg.Slider(0, A1).GetPos(), static_cast<int>(t.value));
        }
        int start = -1, end = -1;
        aux.GetSel(start, end);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, 3);                   // "0dB" selected
        EXPECT_TRUE(dlg.IsWindowVisible());  // Enter never closes it

        // Leaving a field commits its text.
        aux.SetWindowText(L"-9");
        Click(&dlg.Edit(3, A2));
        EXPECT_EQ(Cell(0, A1), 9u);
        EXPECT_EQ(Text(dlg, 0, A1), L"-9dB");

        // The slider: a drag rewrites the cell's field at every step.
        CNewSliderCtrl& slider = dlg.Slider(4, A2);
        CRect thumb;
        slider.GetThumbWndRect(&thumb);
        const CPoint grab = thumb.CenterPoint();
        MousePressAt(slider.m_hWnd, grab.x, grab.y);
        for (int dx = 5; dx <= 30; dx += 5) {
            MouseMoveTo(slider.m_hWnd, grab.x + dx, grab.y);
            EXPECT_EQ(Cell(4, A2), static_cast<uint32_t>(slider.GetPos()));
            std::wstring text;
            FormatInputVolume(text, 4, 1u << A2);
            EXPECT_EQ(Text(dlg, 4, A2), text);
        }
        MouseReleaseAt(slider.m_hWnd, grab.x + 30, grab.y);
        EXPECT_GT(Cell(4, A2), 10u);
        // Keys on a slider move it by one.
        const uint32_t before = Cell(4, A2);
        PressKey(slider.m_hWnd, VK_RIGHT);
        EXPECT_EQ(Cell(4, A2), before + 1);

        // No cell of the bridged partner followed.
        for (int b = 0; b < kMixerInputs; ++b) EXPECT_EQ(Cell(1, b), 0u) << b;
        // Messages for no cell change nothing.
        dlg.SendMessage(WM_EDIT_STEP, 12, 1);
        dlg.SendMessage(WM_EDIT_COMMIT, 0, 3);
        dlg.SendMessage(WM_EDIT_COMMIT, 0, 1 << 18);
        EXPECT_EQ(Cell(0, A1), 9u);
        // Typed, then Escape: the text is committed as the dialog closes.
        dlg.Edit(6, A2).SetFocus();
        dlg.Edit(6, A2).SetWindowText(L"-20");
        PressKey(dlg.Edit(6, A2).m_hWnd, VK_ESCAPE);
    });
    // Closing kept every change.
    EXPECT_EQ(Cell(6, A2), 20u);
    EXPECT_EQ(Cell(0, A1), 9u);
    EXPECT_EQ(Cell(1, A1), 0u);
}

TEST_F(MixerTest, KeysMoveTheFocusThroughTheSourcesShownRows)
{
    auto focusedCell = [](TestMixer& dlg) {
        for (int c = 0; c < kMixerChannels; ++c)
            for (int b = 0; b < kMixerInputs; ++b)
                if (CWnd::GetFocus() == &dlg.Edit(c, b)) return std::pair<int, int>(c, b);
        return std::pair<int, int>(-1, -1);
    };
    g_inputSource = 2;
    Run(2, [&](TestMixer& dlg) {
        dlg.Edit(2, A1).SetFocus();
        const std::pair<int, int> walk[] = {{2, A2}, {2, A3}, {2, A4}, {2, A1}};
        for (const auto& to : walk) {
            PressKey(CWnd::GetFocus()->m_hWnd, VK_NEXT);
            EXPECT_EQ(focusedCell(dlg), to);
        }
        PressKey(CWnd::GetFocus()->m_hWnd, VK_PRIOR);
        EXPECT_EQ(focusedCell(dlg), std::make_pair(2, static_cast<int>(A4)));
        int start = -1, end = -1;
        dlg.Edit(2, A4).GetSel(start, end);
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(0, 3));  // "0dB" selected
        PressKey(CWnd::GetFocus()->m_hWnd, VK_LEFT);
        PressKey(CWnd::GetFocus()->m_hWnd, VK_LEFT);
        PressKey(CWnd::GetFocus()->m_hWnd, VK_LEFT);
        EXPECT_EQ(focusedCell(dlg), std::make_pair(11, static_cast<int>(A4)));
        // A field of another group: PageDown stays.
        dlg.Edit(0, OL).SetFocus();
        PressKey(CWnd::GetFocus()->m_hWnd, VK_NEXT);
        EXPECT_EQ(focusedCell(dlg), std::make_pair(0, static_cast<int>(OL)));
    });
    // Model 4: High Level never enters the hidden Hi.7/Hi.8, Right from CH10 wraps to CH1.
    g_inputSource = 1;
    Run(4, [&](TestMixer& dlg) {
        dlg.Edit(9, H6).SetFocus();
        PressKey(CWnd::GetFocus()->m_hWnd, VK_NEXT);
        EXPECT_EQ(focusedCell(dlg), std::make_pair(9, static_cast<int>(H1)));
        PressKey(CWnd::GetFocus()->m_hWnd, VK_RIGHT);
        EXPECT_EQ(focusedCell(dlg), std::make_pair(0, static_cast<int>(H1)));
        // Steps go to the cell where the focus is now, never to a hidden one.
        PressKey(CWnd::GetFocus()->m_hWnd, VK_DOWN);
        EXPECT_EQ(Cell(0, H1), 1u);
        for (int b : {H7, H8}) EXPECT_EQ(Cell(9, b), 0u);
    });
}

// Every caption and every cell text ("-60dB" the widest) fits its control.
// Runs at the screen's DPI; ctest runs it again on a 192-dpi screen.
TEST_F(MixerTest, NoTextIsCut)
{
    g_screenDpi = GetScreenDpi();
    for (int value : {60, 48}) {
        for (int c = 0; c < kMixerChannels; ++c)
            for (int b = 0; b < kMixerInputs; ++b) g_inputMixVolume[c][b] = static_cast<uint32_t>(value);
        for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
            g_languageId = language;
            for (int model = 1; model <= 8; ++model) {
                for (int source : {1, 9}) {
                    g_inputSource = source;
                    Run(model, [&](TestMixer& dlg) {
                        auto fits = [&](CWnd* item, int margin) {
                            if (!item->IsWindowVisible()) return;
                            const std::wstring text = item->GetWindowTextString();
                            CClientDC dc(item);
                            CFont* old = dc.SelectObject(item->GetFont());
                            const CSize size = dc.GetTextExtent(text);
                            dc.SelectObject(old);
                            CRect r;
                            item->GetClientRect(&r);
                            EXPECT_LE(size.cx, r.Width() - margin)
                                << "model " << model << " id " << item->GetDlgCtrlID() << " dpi " << g_screenDpi;
                            EXPECT_LE(size.cy, r.Height() + 2) << "model " << model << " id " << item->GetDlgCtrlID();
                        };
                        for (int id : g_mixerSourceLabelId) fits(dlg.GetDlgItem(id), 0);
                        for (int id : g_mixerChannelLabelId) fits(dlg.GetDlgItem(id), 0);
                        fits(dlg.GetDlgItem(IDC_MIXER_TITLE), 0);
                        // The field's own margins take a few pixels of its width.
                        fits(&dlg.Edit(0, H1), 4);
                        fits(&dlg.Edit(MixerOutputs(model) - 1, BR), 4);
                    });
                }
            }
        }
    }
}

}  // namespace
