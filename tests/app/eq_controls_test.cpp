// The main window's equaliser, crossover and routing controls, played by
// the user's clicks and keys on the real window: what each changes in the
// model, its link group or bridged partner, the fields, sliders, button
// faces and the graph.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "app/tarveldlg.h"
#include "model/codecs.h"
#include "model/params.h"
#include "platform/look.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "tests/app/main_window_fixture.h"

namespace {

// The user's hands on the window's controls, by id (on the UI thread).
class Hands {
public:
    explicit Hands(CTarvelDlg& dlg) : m_dlg(dlg) {}

    CWnd& Item(int id)
    {
        CWnd* w = m_dlg.GetDlgItem(id);
        EXPECT_NE(w, nullptr) << id;
        return w ? *w : m_dlg;
    }
    void Click(int id)
    {
        CRect rc;
        Item(id).GetClientRect(&rc);
        platform_testing::ClickAt(Item(id).m_hWnd, rc.Width() / 2, rc.Height() / 2);
    }
    void Key(int id, UINT vk) { platform_testing::PressKey(Item(id).m_hWnd, vk); }
    // Clicks into the field, selects its whole text and types over it.
    void Type(int id, const std::wstring& text)
    {
        Click(id);
        platform_testing::PressKey(Item(id).m_hWnd, 'A', 0, false, false, true);
        for (wchar_t ch : text) {
            UINT vk = ch;
            if (ch == L'.') vk = VK_OEM_PERIOD;
            else if (ch == L'-') vk = VK_OEM_MINUS;
            else if (ch >= L'a' && ch <= L'z') vk = ch - L'a' + 'A';
            platform_testing::PressKey(Item(id).m_hWnd, vk, ch);
        }
    }
    std::wstring Text(int id) { return Item(id).GetWindowTextString(); }
    // The face of an owner-drawn button, read from its picture: lit (the
    // state it shows is on: routed, bypassed) or not. Compared where the
    // on and off pictures differ.
    bool Lit(int id)
    {
        const int bucket = DpiBucket(g_screenDpi);
        const int cell = IndexOfId(&g_routeButtonId[0][0], kChannels * kInputs, id);
        const bool right = cell >= 0 && cell % 2 == 1;
        const SkinId onSkin = cell < 0 ? SKIN_BYPASSED : right ? SKIN_ROUTE_RIGHT_ON : SKIN_ROUTE_LEFT_ON;
        const SkinId offSkin = cell < 0 ? SKIN_BAND_ACTIVE : right ? SKIN_ROUTE_RIGHT_OFF : SKIN_ROUTE_LEFT_OFF;
        const int on = SkinBitmap(onSkin, bucket), off = SkinBitmap(offSkin, bucket);
        CRect rc;
        Item(id).GetClientRect(&rc);
        for (int y = 0; y < rc.Height(); ++y) {
            for (int x = 0; x < rc.Width(); ++x) {
                const COLORREF lit = PicturePixel(on, rc.Size(), x, y);
                if (lit == PicturePixel(off, rc.Size(), x, y)) continue;
                return platform_testing::GrabWindowPixel(Item(id).m_hWnd, x, y) == lit;
            }
        }
        return false;
    }

private:
    CTarvelDlg& m_dlg;
};

class EqWindowTest : public MainWindowTest {
protected:
    static void ClearTies()
    {
        for (int& g : g_linkGroup) g = 0;
        for (int c = 0; c < kChannels; c += 2) BridgeFlagOf(c) = 0;
    }
    // Runs the script on the UI thread with the window active, then closes it.
    void RunOnWindow(const std::function<void(CTarvelDlg&, Hands&)>& script)
    {
        CTarvelDlg dlg;
        const INT_PTR r = Run(dlg, [&] {
            OnUi([&] {
                platform_testing::Activate(dlg.m_hWnd);
                Hands hands(dlg);
                script(dlg, hands);
            });
            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        });
        EXPECT_EQ(r, IDCANCEL);
    }
};

enum Row { kFreq, kGain, kQ };

int FieldId(Row row, int band)
{
    switch (row) {
    case kFreq: return g_bandFreqEditId[band];
    case kGain: return g_bandGainEditId[band];
    case kQ: break;
    }
    return g_bandQEditId[band];
}

// What is left in a band field is committed when the focus leaves it, for
// the selected channel and its bridged partner; a rejected text gives way
// to the stored value; the field that takes the focus selects its band.
TEST_F(EqWindowTest, BandFieldsCommitOnFocusLossAndSelectTheirBandOnFocus)
{
    struct Case {
        Row row;
        const wchar_t* typed;
        const wchar_t* shown;  // after the focus left
        double value;          // the model's (Hz, gain code or Q)
    } cases[] = {
        // clang-format off
        {kFreq, L"01000", L"01000", 1000},  // accepted: stays as typed
        {kFreq, L"02000", L"2000", 2000},   // the stored value: rewritten
        {kFreq, L"19", L"2000", 2000},
        {kFreq, L"20001", L"2000", 2000},
        {kFreq, L"abc-99999", L"2000", 2000},
        {kFreq, L"", L"2000", 2000},
        {kGain, L"1.25", L"1.2", 138},
        {kGain, L"16", L"3.0", 120},
        {kGain, L"abc", L"3.0", 120},
        {kQ, L"2", L"2.00", 2.0},
        {kQ, L"0.05", L"4.32", 4.32},
        {kQ, L"x", L"4.32", 4.32},
        // Stored as typed, shown with two decimals: an exact binary tie,
        // printed round-half-even by glibc ("4.12"; other C libraries may
        // print "4.13").
        {kQ, L"4.125", L"4.12", 4.125},
    };
    // clang-format on
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        g_btlPair34 = 1;
        g_selectedChannel = 2;
        // Band 30 has the Q field 1143, out of its row's order.
        const int band = 29;
        for (const Case& k : cases) {
            SCOPED_TRACE(testing::Message()
                         << k.row << " '" << std::wstring(k.typed).size() << "' " << static_cast<int>(k.value));
            for (int c : {2, 3, 5}) {
                g_eqFreq[c][band] = 2000;
                g_eqGain[c][band] = 120;
                g_eqQ[c][band] = 4.32;
            }
            dlg.View().RefreshEqControls();
            hands.Type(FieldId(k.row, band), k.typed);
            EXPECT_EQ(dlg.Spectrum().m_nSelBand, band);
            hands.Click(FieldId(k.row, band + 1));  // the focus moves on
            EXPECT_EQ(dlg.Spectrum().m_nSelBand, band + 1);
            EXPECT_EQ(hands.Text(FieldId(k.row, band)), k.shown);
            for (int c : {2, 3}) {  // the selected channel and its partner
                switch (k.row) {
                case kFreq: EXPECT_EQ(g_eqFreq[c][band], k.value) << c; break;
                case kGain: EXPECT_EQ(g_eqGain[c][band], k.value) << c; break;
                case kQ: EXPECT_DOUBLE_EQ(g_eqQ[c][band], k.value) << c; break;
                }
            }
            EXPECT_EQ(dlg.BandSlider(band).GetPos(), g_eqGain[2][band]);
            EXPECT_EQ(g_eqFreq[5][band], 2000);
            EXPECT_EQ(g_eqGain[5][band], 120);
            EXPECT_DOUBLE_EQ(g_eqQ[5][band], 4.32);
        }
        // The last Q field shows less than it holds: passing through it
        // stores and spreads what it shows.
        hands.Click(FieldId(kQ, band));
        hands.Click(FieldId(kQ, band + 1));
        EXPECT_DOUBLE_EQ(g_eqQ[2][band], 4.12);
        EXPECT_DOUBLE_EQ(g_eqQ[3][band], 4.12);
    });
}

// GEQ disables the frequency and Q rows (so they take no focus) and tells
// the graph; gains still work; PEQ enables them again without rewriting.
TEST_F(EqWindowTest, GeqModeDisablesTheFrequencyAndQRowsAndTellsTheGraph)
{
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        EXPECT_TRUE(dlg.IsPeqMode());
        EXPECT_EQ(dlg.Spectrum().m_bPeq, 1);  // the graph opens in the window's mode
        hands.Click(IDC_PEQ_MODE);
        EXPECT_FALSE(dlg.IsPeqMode());
        EXPECT_EQ(dlg.Spectrum().m_bPeq, 0);
        for (int b = 0; b < kBands; ++b) {
            EXPECT_FALSE(hands.Item(g_bandFreqEditId[b]).IsWindowEnabled()) << b;
            EXPECT_FALSE(hands.Item(g_bandQEditId[b]).IsWindowEnabled()) << b;
            EXPECT_TRUE(hands.Item(g_bandGainEditId[b]).IsWindowEnabled()) << b;
        }
        const std::wstring freqText = hands.Text(g_bandFreqEditId[7]);
        hands.Click(g_bandFreqEditId[7]);
        EXPECT_NE(CWnd::GetFocus(), &hands.Item(g_bandFreqEditId[7]));
        hands.Type(g_bandGainEditId[7], L"-1.25");
        hands.Click(g_bandGainEditId[8]);
        EXPECT_EQ(g_eqGain[0][7], 162);
        EXPECT_EQ(dlg.BandSlider(7).GetPos(), 162);

        hands.Click(IDC_PEQ_MODE);
        EXPECT_TRUE(dlg.IsPeqMode());
        EXPECT_EQ(dlg.Spectrum().m_bPeq, 1);
        for (int b = 0; b < kBands; ++b) {
            EXPECT_TRUE(hands.Item(g_bandFreqEditId[b]).IsWindowEnabled()) << b;
            EXPECT_TRUE(hands.Item(g_bandQEditId[b]).IsWindowEnabled()) << b;
        }
        EXPECT_EQ(hands.Text(g_bandFreqEditId[7]), freqText);
    });
}

// A band's bypass button flattens the band of the channel and its bridged
// partner (CH1 decides) and brings each one's own gain back; BypassEQ does
// the same for every band of every channel, the graph's other curves
// included.
TEST_F(EqWindowTest, BypassAndBypassEqRoundTripsKeepTheGains)
{
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        g_btlPair12 = 1;
        g_eqGain[0][4] = 120;  // +3.0 dB
        g_eqGain[1][4] = 110;
        g_eqGain[7][0] = 100;  // another channel
        dlg.View().RefreshEqControls();
        const int button = g_bypassButtonId[4];
        EXPECT_FALSE(hands.Lit(button));

        hands.Click(button);
        EXPECT_EQ(g_eqGain[0][4], 150);
        EXPECT_EQ(g_eqGain[1][4], 150);
        EXPECT_EQ(hands.Text(g_bandGainEditId[4]), L"0.0");
        EXPECT_EQ(dlg.BandSlider(4).GetPos(), 150);
        EXPECT_EQ(dlg.Spectrum().m_nSelBand, 4);
        EXPECT_TRUE(hands.Lit(button));
        hands.Click(button);
        EXPECT_EQ(g_eqGain[0][4], 120);
        EXPECT_EQ(g_eqGain[1][4], 110);
        EXPECT_EQ(hands.Text(g_bandGainEditId[4]), L"3.0");
        EXPECT_EQ(dlg.BandSlider(4).GetPos(), 120);
        EXPECT_FALSE(hands.Lit(button));

        // BypassEQ flattens every channel, then restores every kept gain.
        hands.Click(IDC_RESET_BAND_GAIN);
        for (int c = 0; c < kChannels; ++c)
            for (int b = 0; b < kBands; ++b) ASSERT_EQ(g_eqGain[c][b], 150) << c << " " << b;
        EXPECT_EQ(hands.Text(g_bandGainEditId[4]), L"0.0");
        EXPECT_EQ(dlg.BandSlider(4).GetPos(), 150);
        EXPECT_EQ(dlg.Spectrum().m_dChannelGain[7][0], 0.0);  // the other curves follow
        hands.Click(IDC_RESET_BAND_GAIN);
        EXPECT_EQ(g_eqGain[0][4], 120);
        EXPECT_EQ(g_eqGain[1][4], 110);
        EXPECT_EQ(g_eqGain[7][0], 100);
        EXPECT_EQ(hands.Text(g_bandGainEditId[4]), L"3.0");
        EXPECT_EQ(dlg.BandSlider(4).GetPos(), 120);
        EXPECT_EQ(dlg.Spectrum().m_dChannelGain[7][0], 5.0);

        // A band bypassed before BypassEQ keeps the gain its bypass kept:
        // the flatten leaves it alone, the restore brings it back.
        hands.Click(button);
        hands.Click(IDC_RESET_BAND_GAIN);
        EXPECT_EQ(g_eqGain[7][0], 150);
        hands.Click(IDC_RESET_BAND_GAIN);
        EXPECT_EQ(g_eqGain[0][4], 120);
        EXPECT_EQ(g_eqGain[1][4], 110);
        EXPECT_EQ(g_eqGain[7][0], 100);
        EXPECT_EQ(hands.Text(g_bandGainEditId[4]), L"3.0");
    });
}

// BypassEQ, one band edited while flat, BypassEQ (which flattens again) and
// BypassEQ once more: every kept gain of every channel comes back, the
// edited band with its new gain.
TEST_F(EqWindowTest, BypassEqAfterAnEditWhileFlatLosesNoKeptGain)
{
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        auto gainOf = [](int c, int b) { return 60 + (c * kBands + b) % 181; };  // never 150
        for (int c = 0; c < kChannels; ++c)
            for (int b = 0; b < kBands; ++b) g_eqGain[c][b] = gainOf(c, b);
        dlg.View().RefreshEqControls();

        hands.Click(IDC_RESET_BAND_GAIN);
        ASSERT_EQ(g_eqGain[0][7], 150);
        hands.Type(g_bandGainEditId[7], L"-2.5");
        hands.Click(g_bandGainEditId[8]);
        ASSERT_EQ(g_eqGain[0][7], 175);
        hands.Click(IDC_RESET_BAND_GAIN);  // not all flat: flattens
        for (int c = 0; c < kChannels; ++c)
            for (int b = 0; b < kBands; ++b) ASSERT_EQ(g_eqGain[c][b], 150) << c << " " << b;
        hands.Click(IDC_RESET_BAND_GAIN);  // restores
        for (int c = 0; c < kChannels; ++c)
            for (int b = 0; b < kBands; ++b)
                EXPECT_EQ(g_eqGain[c][b], c == 0 && b == 7 ? 175 : gainOf(c, b)) << c << " " << b;
        EXPECT_EQ(hands.Text(g_bandGainEditId[7]), L"-2.5");
        EXPECT_EQ(dlg.BandSlider(3).GetPos(), gainOf(0, 3));
        EXPECT_EQ(dlg.Spectrum().m_dChannelGain[11][30], (150 - gainOf(11, 30)) / 10.0);
    });
}

// CH1 band 2 at +3 dB and band 5 at -3 dB, BypassEQ twice, band 2 set to
// 0 dB by hand, BypassEQ twice again: band 2 stays at 0 dB on the
// channels that took the edit, whichever way the gain was set.
TEST_F(EqWindowTest, BypassEqKeepsAGainSetByHandToZero)
{
    enum Way { kTyped, kFieldSteps, kSlider, kGraphDrag };
    struct Case {
        const char* name;
        Way way;
        bool bridged;  // CH1/CH2: CH2 takes the edit too
    } cases[] = {
        // clang-format off
        {"typed", kTyped, false},
        {"typed, bridged", kTyped, true},
        {"field steps", kFieldSteps, false},
        {"slider", kSlider, true},
        {"graph drag", kGraphDrag, true},
    };
    // clang-format on
    const int band = 1;  // band 2
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        for (const Case& k : cases) {
            SCOPED_TRACE(k.name);
            g_btlPair12 = k.bridged ? 1 : 0;
            for (int c : {0, 1}) {
                g_eqGain[c][band] = 120;  // +3.0 dB
                g_eqGain[c][4] = 180;     // -3.0 dB
            }
            dlg.View().RefreshEqControls();
            dlg.View().FeedSpectrum(true);
            hands.Click(IDC_RESET_BAND_GAIN);
            hands.Click(IDC_RESET_BAND_GAIN);
            ASSERT_EQ(g_eqGain[0][band], 120);

            const int field = g_bandGainEditId[band];
            switch (k.way) {
            case kTyped: hands.Type(field, L"0"); break;
            case kFieldSteps:
                hands.Click(field);
                for (int i = 0; i < 30; ++i) hands.Key(field, VK_DOWN);
                break;
            case kSlider:
                dlg.BandSlider(band).SetFocus();
                for (int i = 0; i < 30; ++i) platform_testing::PressKey(dlg.BandSlider(band).m_hWnd, VK_DOWN);
                break;
            case kGraphDrag: {
                // The graph sync tick, run here rather than waited for: the
                // graph first takes the model's gains (a drag step would give
                // way to them), then the dragged gain reaches the model.
                auto syncUntil = [&](const std::function<bool()>& done) {
                    for (int i = 0; i < 8 && !done(); ++i)
                        platform_testing::SimulateTimerExpiry(dlg.m_hWnd, IDT_EQ_SYNC);
                    return done();
                };
                ASSERT_TRUE(syncUntil([] { return std::ranges::equal(g_graphEqGain[0], g_eqGain[0]); }));
                CSpectrum& graph = dlg.Spectrum();
                const GraphPoint p = graph.m_bezier.m_ptBand[band][3];
                const int zero = graph.GainToY(0.0);
                platform_testing::MouseMoveTo(graph.m_hWnd, p.x, p.y, false);
                platform_testing::MousePressAt(graph.m_hWnd, p.x, p.y);
                platform_testing::MouseMoveTo(graph.m_hWnd, p.x, zero);
                platform_testing::MouseReleaseAt(graph.m_hWnd, p.x, zero);
                EXPECT_TRUE(syncUntil([&] { return g_eqGain[0][band] == 150; }));
                break;
            }
            }
            hands.Click(g_bandGainEditId[band + 1]);
            ASSERT_EQ(g_eqGain[0][band], 150);
            ASSERT_EQ(g_eqGain[1][band], k.bridged ? 150 : 120);

            hands.Click(IDC_RESET_BAND_GAIN);
            ASSERT_EQ(g_eqGain[0][4], 150);
            hands.Click(IDC_RESET_BAND_GAIN);
            EXPECT_EQ(g_eqGain[0][band], 150);
            EXPECT_EQ(g_eqGain[1][band], k.bridged ? 150 : 120);
            EXPECT_EQ(g_eqGain[0][4], 180);
            EXPECT_EQ(g_eqGain[1][4], 180);
            EXPECT_EQ(hands.Text(field), L"0.0");
            EXPECT_EQ(hands.Text(g_bandGainEditId[4]), L"-3.0");
            EXPECT_EQ(dlg.BandSlider(band).GetPos(), 150);
            EXPECT_TRUE(hands.Lit(g_bypassButtonId[band]));
        }
    });
}

// ResetEQ and ResetAll ask first; No changes nothing, Yes resets (ResetEQ
// only the equaliser) and the fields and every curve of the graph follow.
TEST_F(EqWindowTest, ResetsAskFirstAndChangeNothingAfterNo)
{
    struct Case {
        int button;
        const wchar_t* question;
        int answer;
    } cases[] = {
        // clang-format off
        {IDC_RESET_EQ, L"Whether Reset EQ of Selected Channels?", IDNO},
        {IDC_RESET_EQ, L"Whether Reset EQ of Selected Channels?", IDYES},
        {IDC_RESET_ALL, L"Reset all? It is not recoverable after reset.", IDNO},
        {IDC_RESET_ALL, L"Reset all? It is not recoverable after reset.", IDYES},
    };
    // clang-format on
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        for (const Case& k : cases) {
            SCOPED_TRACE(testing::Message() << k.button << " " << k.answer);
            g_eqGain[0][3] = 100;
            g_eqFreq[5][3] = 999;
            g_eqQ[0][3] = 2.0;
            g_hpFreq[0] = 100;
            dlg.View().RefreshEqControls();
            dlg.View().FeedSpectrum(false);
            ScriptedDialogs boxes;
            boxes.AnswerBox(k.answer);
            hands.Click(k.button);
            const std::vector<MessageBoxRequest> shown = boxes.Boxes();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, k.question);
            EXPECT_EQ(shown[0].caption, g_msgCaption);
            EXPECT_EQ(shown[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
            EXPECT_EQ(shown[0].owner, dlg.m_hWnd);
            const bool reset = k.answer == IDYES;
            EXPECT_EQ(g_eqGain[0][3], reset ? 150 : 100);
            EXPECT_EQ(g_eqFreq[5][3], reset ? g_isoBandFreq[3] : 999);
            EXPECT_DOUBLE_EQ(g_eqQ[0][3], reset ? 4.32 : 2.0);
            EXPECT_EQ(g_hpFreq[0], reset && k.button == IDC_RESET_ALL ? 20 : 100);
            EXPECT_EQ(hands.Text(g_bandGainEditId[3]), reset ? L"0.0" : L"5.0");
            EXPECT_EQ(hands.Text(g_bandQEditId[3]), reset ? L"4.32" : L"2.00");
            EXPECT_EQ(dlg.BandSlider(3).GetPos(), reset ? 150 : 100);
            EXPECT_EQ(dlg.Spectrum().m_nChannelFreq[5][3], reset ? g_isoBandFreq[3] : 999);
        }
        // ResetEQ while only another channel differs: that channel is reset,
        // the selected channel's fields are not rewritten.
        ScriptedDialogs boxes;
        boxes.AnswerBox(IDYES);
        g_eqFreq[5][3] = 999;
        dlg.SetDlgItemText(g_bandFreqEditId[0], L"777");
        hands.Click(IDC_RESET_EQ);
        EXPECT_EQ(g_eqFreq[5][3], g_isoBandFreq[3]);
        EXPECT_EQ(hands.Text(g_bandFreqEditId[0]), L"777");
    });
}

// The type and slope selectors and the cut-frequency fields: the selected
// channel's value spreads to its link group (a bridged partner outside the
// group stays), else to its bridged partner, else nowhere; the graph shows
// the selected channel's filters at once.
TEST_F(EqWindowTest, CrossoverSelectorsAndFieldsSpreadToTheGroupOrThePartner)
{
    struct Case {
        const char* name;
        int selected;
        int selector;
        UINT key;     // the user's key in the selector
        int* values;  // the model array it edits
        int expect;   // the value it takes
        int changed;  // mask of the channels that take it
    } cases[] = {
        // clang-format off
        {"group: high-pass type", 0, IDC_HP_TYPE, VK_DOWN, g_hpType, 1, 0x15},
        {"group: low-pass slope", 2, IDC_LP_SLOPE, VK_UP, g_lpSlope, 7, 0x15},
        {"bridged second channel: high-pass slope", 7, IDC_HP_SLOPE, VK_UP, g_hpSlope, 7, 0xC0},
        {"alone: low-pass type", 9, IDC_LP_TYPE, VK_DOWN, g_lpType, 1, 0x200},
    };
    // clang-format on
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        for (const Case& k : cases) {
            SCOPED_TRACE(k.name);
            ClearTies();
            g_linkGroup[0] = 0x15;  // CH1, CH3, CH5
            g_btlPair12 = 1;        // CH2 is CH1's partner, outside the group
            g_btlPair78 = 1;
            for (int c = 0; c < kChannels; ++c) {
                g_hpType[c] = g_lpType[c] = 0;
                g_hpSlope[c] = g_lpSlope[c] = kSlopeOff;
                g_hpFreq[c] = 20;
                g_lpFreq[c] = 20000;
            }
            g_selectedChannel = k.selected;
            dlg.View().RefreshEqControls();
            hands.Key(k.selector, k.key);
            for (int c = 0; c < kChannels; ++c) {
                const int base = k.values == g_hpType || k.values == g_lpType ? 0 : kSlopeOff;
                EXPECT_EQ(k.values[c], (k.changed >> c) & 1 ? k.expect : base) << c;
            }
            const CSpectrum& graph = dlg.Spectrum();
            const bool highPass = k.selector == IDC_HP_TYPE || k.selector == IDC_HP_SLOPE;
            EXPECT_EQ(graph.m_nSelCrossover, highPass ? 0 : 1);
            EXPECT_EQ(graph.m_nSelBand, -1);
            EXPECT_EQ(graph.m_nChannelHighPassType[k.selected], g_hpType[k.selected]);
            EXPECT_EQ(graph.m_nChannelLowPassType[k.selected], g_lpType[k.selected]);
            // The selected channel's filters, slopes in dB/Oct (0 off).
            EXPECT_EQ(graph.m_nHighPassSlope, k.selector == IDC_HP_SLOPE ? 48 : 0);
            EXPECT_EQ(graph.m_nLowPassSlope, k.selector == IDC_LP_SLOPE ? 48 : 0);
            EXPECT_EQ(graph.m_nHighPassType != 0, k.selector == IDC_HP_TYPE);
            EXPECT_EQ(graph.m_nLowPassType != 0, k.selector == IDC_LP_TYPE);

            // The cut frequencies: "0150" spreads and stays as typed, "19"
            // is rejected and the stored value comes back.
            hands.Type(IDC_HP_FREQ, L"0150");
            hands.Type(IDC_LP_FREQ, L"19");
            hands.Click(IDC_HP_FREQ);
            EXPECT_EQ(hands.Text(IDC_HP_FREQ), L"0150");
            EXPECT_EQ(hands.Text(IDC_LP_FREQ), L"20000");
            for (int c = 0; c < kChannels; ++c) {
                EXPECT_EQ(g_hpFreq[c], (k.changed >> c) & 1 ? 150 : 20) << c;
                EXPECT_EQ(g_lpFreq[c], 20000) << c;
            }
        }
        // The graph takes a committed frequency at its next sync tick.
        EXPECT_TRUE(platform_testing::PumpUntil([&] { return dlg.Spectrum().GetHighPassFreq() == 150; }, 2000));

        // A selector without a selection changes nothing.
        g_selectedChannel = 0;
        g_hpType[0] = 1;
        auto* combo = static_cast<CComboBox*>(&hands.Item(IDC_HP_TYPE));
        combo->SetCurSel(-1);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_HP_TYPE, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->m_hWnd));
        EXPECT_EQ(g_hpType[0], 1);
    });
}

// Every cell toggles its own bit and repaints its face; while the pair flag
// is exactly 1 the partner output takes the clicked cell's new state.
TEST_F(EqWindowTest, RoutingCellsToggleTheirBitAndTheBridgedPartnerFollows)
{
    RunOnWindow([&](CTarvelDlg& dlg, Hands& hands) {
        // Every cell, also those the model's layout hides.
        for (int out = 0; out < kChannels; ++out) {
            for (int in = 0; in < kInputs; ++in) {
                dlg.GetDlgItem(g_routeButtonId[out][in])->ShowWindow(SW_SHOW);
                dlg.GetDlgItem(g_routeButtonId[out][in])->EnableWindow(TRUE);
            }
        }
        for (int out = 0; out < kChannels; ++out) g_routingMask[out] = 0xFFFC0000u;  // bits the matrix never uses
        for (int out = 0; out < kChannels; ++out) {
            for (int in = 0; in < kInputs; ++in) {
                const int id = g_routeButtonId[out][in];
                hands.Click(id);
                for (int o = 0; o < kChannels; ++o)
                    ASSERT_EQ(g_routingMask[o], 0xFFFC0000u | (o == out ? 1u << in : 0u)) << out << " " << in;
                ASSERT_TRUE(hands.Lit(id)) << id;
                hands.Click(id);
                ASSERT_EQ(g_routingMask[out], 0xFFFC0000u) << out << " " << in;
                ASSERT_FALSE(hands.Lit(id)) << id;
            }
        }

        struct Case {
            const char* name;
            int* flag;
            int flagValue;
            int out;
            int in;
            uint32_t before[2];  // out, partner
            uint32_t after[2];
        } cases[] = {
            // clang-format off
            {"CH4 Opt-L sets both", &g_btlPair34, 1, 3, 8, {0, 0}, {0x100, 0x100}},
            {"and clears both", &g_btlPair34, 1, 3, 8, {0x100, 0x100}, {0, 0}},
            {"the partner takes the new state", &g_btlPair12, 1, 1, 6, {0, 0x40}, {0x40, 0x40}},
            {"CH12 Hi.10", &g_btlPair1112, 1, 11, 17, {0, 0}, {0x20000, 0x20000}},
            {"flag 2 is no bridge", &g_btlPair56, 2, 4, 0, {0, 0}, {1, 0}},
            {"not bridged", &g_btlPair910, 0, 9, 3, {0x8, 0}, {0, 0}},
        };
        // clang-format on
        for (const Case& k : cases) {
            SCOPED_TRACE(k.name);
            const int partner = k.out ^ 1;
            *k.flag = k.flagValue;
            g_routingMask[k.out] = k.before[0];
            g_routingMask[partner] = k.before[1];
            hands.Click(g_routeButtonId[k.out][k.in]);
            EXPECT_EQ(g_routingMask[k.out], k.after[0]);
            EXPECT_EQ(g_routingMask[partner], k.after[1]);
            EXPECT_EQ(hands.Lit(g_routeButtonId[k.out][k.in]), k.after[0] != 0);
            EXPECT_EQ(hands.Lit(g_routeButtonId[partner][k.in]), k.after[1] != 0);
            *k.flag = 0;
        }
    });
}

}  // namespace
