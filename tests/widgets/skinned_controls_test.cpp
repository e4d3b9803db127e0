// The skinned slider and combo box on a real dialog: the slider's seams
// (minimum at the top, a press on the track moves nothing, SetPos is silent,
// every user step notifies with GetPos current, the track split at the thumb)
// and the combo box's items, notifications, face and hot item.
#include <algorithm>
#include <functional>
#include <vector>

#include "platform/look.h"
#include "platform/resources_styles.h"
#include "res/resource.h"
#include "tests/platform/ui_test.h"
#include "widgets/mycombobox.h"
#include "widgets/newsliderctrl.h"

using platform_testing::ClickAt;
using platform_testing::GrabWindowPixel;
using platform_testing::MouseMoveTo;
using platform_testing::MousePressAt;
using platform_testing::MouseReleaseAt;
using platform_testing::MoveOverListItem;
using platform_testing::PressKey;
using platform_testing::PumpEvents;

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_USER + 61;
constexpr int kChannelSlider = 1001;
constexpr int kMixerSlider = 1002;
constexpr int kCombo = 1003;
constexpr int kPlainCombo = 1004;

struct Scroll {
    UINT msg;
    UINT code;
    int posInHandler;
    bool operator==(const Scroll&) const = default;
};

void PrintTo(const Scroll& s, std::ostream* os)
{
    *os << (s.msg == WM_VSCROLL ? "V" : "H") << " code " << s.code << " GetPos " << s.posInHandler;
}

// 0x00BBGGRR of GrabWindowPixel.
constexpr uint32_t Pixel(int r, int g, int b) { return static_cast<uint32_t>(r | (g << 8) | (b << 16)); }
constexpr uint32_t kDimGroove = Pixel(0x3a, 0x46, 0x58);
constexpr uint32_t kLitGroove = Pixel(0x2f, 0x8f, 0xe0);
constexpr uint32_t kThumbBody = Pixel(0xd4, 0xda, 0xe3);

class SkinDlg : public CDialogEx {
public:
    explicit SkinDlg(const DialogTemplate* t) : CDialogEx(t) {}
    std::function<void(SkinDlg&)> script;
    CNewSliderCtrl channel, mixer;
    CMyComboBox combo, plain;
    std::vector<Scroll> scrolls;
    std::vector<int> selChanges;  // GetCurSel read in the handler

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        channel.SubclassDlgItem(kChannelSlider, this);
        mixer.SubclassDlgItem(kMixerSlider, this);
        combo.SubclassDlgItem(kCombo, this);
        plain.SubclassDlgItem(kPlainCombo, this);
        PostMessage(WM_RUN_SCRIPT);
        return TRUE;
    }
    BOOL OnCommand(WPARAM w, LPARAM l) override
    {
        if (LOWORD(w) == kCombo && HIWORD(w) == CBN_SELCHANGE) selChanges.push_back(combo.GetCurSel());
        return CDialogEx::OnCommand(w, l);
    }
    afx_msg void OnVScroll(UINT code, UINT, CWnd* bar) { Record(WM_VSCROLL, code, bar); }
    afx_msg void OnHScroll(UINT code, UINT, CWnd* bar) { Record(WM_HSCROLL, code, bar); }
    afx_msg LRESULT OnRunScript(WPARAM, LPARAM)
    {
        if (script) script(*this);
        EndDialog(IDOK);
        return 0;
    }
    DECLARE_MESSAGE_MAP()

private:
    void Record(UINT msg, UINT code, CWnd* bar)
    {
        scrolls.push_back({msg, code, static_cast<CSliderCtrl*>(bar)->GetPos()});
    }
};

BEGIN_MESSAGE_MAP(SkinDlg, CDialogEx)
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_MESSAGE(WM_RUN_SCRIPT, &SkinDlg::OnRunScript)
END_MESSAGE_MAP()

void RunSkinDialog(const std::function<void(SkinDlg&)>& script)
{
    const DialogTemplate t = MakeTemplate(
        9302, {
                  Control(kChannelSlider, "msctls_trackbar32", TBS_VERT | TBS_BOTH | TBS_NOTICKS, 5, 5, 15, 40),
                  Control(kMixerSlider, "msctls_trackbar32", TBS_BOTH | TBS_NOTICKS, 30, 5, 40, 12),
                  Control(kCombo, "COMBOBOX", CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | WS_VSCROLL, 80, 5, 80, 60),
                  Control(kPlainCombo, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 80, 30, 80, 60),
              });
    SkinDlg dlg(&t);
    dlg.script = script;
    ASSERT_EQ(dlg.DoModal(), IDOK);
}

// The main window's order of set-up: offset, thumb, tracks, range, steps.
void SetUpChannelSlider(CNewSliderCtrl& s)
{
    s.SetThumbOffset(1);
    s.SetThumb(SkinBitmap(SKIN_CH_SLIDER_THUMB, 0), 18, 10);
    s.SetBitmaps(SkinBitmap(SKIN_CH_SLIDER_TRACK_LIT, 0), SkinBitmap(SKIN_CH_SLIDER_TRACK_DIM, 0));
    s.SetRange(0, 600);
    s.SetLineSize(1);
    s.SetPageSize(0);
}

void SetUpMixerSlider(CNewSliderCtrl& s)
{
    s.SetRange(0, 60);
    s.SetLineSize(1);
    s.SetThumbOffset(1);
    s.SetThumb(SkinBitmap(SKIN_MIXER_SLIDER_THUMB, 0), 8, 16);
    s.SetBitmaps(SkinBitmap(SKIN_MIXER_SLIDER_TRACK_LIT, 0), SkinBitmap(SKIN_MIXER_SLIDER_TRACK_DIM, 0));
    s.SetPageSize(0);
}

class SkinnedSliderTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        g_screenDpi = 96;
    }
};

TEST_F(SkinnedSliderTest, TakesItsTrackSizeAndPutsTheMinimumAtTheTopOrLeft)
{
    RunSkinDialog([](SkinDlg& d) {
        SetUpChannelSlider(d.channel);
        SetUpMixerSlider(d.mixer);
        CRect k;
        d.channel.GetClientRect(&k);
        EXPECT_EQ(k.Size(), CSize(20, 80));
        d.mixer.GetClientRect(&k);
        EXPECT_EQ(k.Size(), CSize(60, 20));

        CRect w;
        d.channel.SetPos(0);
        d.channel.GetThumbWndRect(&w);
        EXPECT_EQ(w, CRect(2, 0, 20, 10));  // centred, then 1 pixel to the right
        d.channel.SetPos(600);
        d.channel.GetThumbWndRect(&w);
        EXPECT_EQ(w, CRect(2, 70, 20, 80));
        d.mixer.SetPos(0);
        d.mixer.GetThumbWndRect(&w);
        EXPECT_EQ(w, CRect(0, 3, 8, 19));  // centred, then moved down by the offset
        d.mixer.SetPos(60);
        d.mixer.GetThumbWndRect(&w);
        EXPECT_EQ(w, CRect(52, 3, 60, 19));

        // The thumb picture is set once.
        d.channel.SetThumb(SkinBitmap(SKIN_BAND_SLIDER_THUMB, 0), 22, 10);
        d.channel.SetThumb(0, 0, 0);
        EXPECT_EQ(d.channel.GetThumbBitmap(), SkinBitmap(SKIN_CH_SLIDER_THUMB, 0));
    });
}

TEST_F(SkinnedSliderTest, PaintsTheTrackSplitAtTheThumbWithTheThumbOnTop)
{
    RunSkinDialog([](SkinDlg& d) {
        SetUpChannelSlider(d.channel);
        SetUpMixerSlider(d.mixer);
        d.channel.SetPos(300);
        d.mixer.SetPos(30);
        CRect w;
        d.channel.GetThumbWndRect(&w);
        // Dim above the thumb, lit below it, the thumb between.
        EXPECT_EQ(GrabWindowPixel(d.channel.m_hWnd, 10, w.top - 8), kDimGroove);
        EXPECT_EQ(GrabWindowPixel(d.channel.m_hWnd, 10, w.bottom + 8), kLitGroove);
        EXPECT_EQ(GrabWindowPixel(d.channel.m_hWnd, 10, w.top + 2), kThumbBody);
        d.mixer.GetThumbWndRect(&w);
        EXPECT_EQ(GrabWindowPixel(d.mixer.m_hWnd, w.left - 8, 10), kDimGroove);
        EXPECT_EQ(GrabWindowPixel(d.mixer.m_hWnd, w.right + 8, 10), kLitGroove);
        EXPECT_EQ(GrabWindowPixel(d.mixer.m_hWnd, w.left + 2, w.top + 2), kThumbBody);
    });
}

TEST_F(SkinnedSliderTest, SetPosAndAPressOnTheTrackAreSilentAndMoveNothing)
{
    RunSkinDialog([](SkinDlg& d) {
        SetUpChannelSlider(d.channel);
        d.channel.SetPos(0);
        d.channel.SetPos(450);
        d.channel.SetPos(100);
        PumpEvents();
        EXPECT_TRUE(d.scrolls.empty());
        // Below and above the thumb (at 100: rows 11..21).
        for (int y : {70, 2}) {
            ClickAt(d.channel.m_hWnd, 10, y);
            PumpEvents();
            EXPECT_EQ(d.channel.GetPos(), 100) << y;
        }
        EXPECT_TRUE(d.scrolls.empty());
    });
}

TEST_F(SkinnedSliderTest, EveryUserStepNotifiesWithThePositionAlreadyMoved)
{
    RunSkinDialog([](SkinDlg& d) {
        SetUpChannelSlider(d.channel);
        SetUpMixerSlider(d.mixer);
        d.channel.SetPos(300);
        PressKey(d.channel.m_hWnd, VK_DOWN);
        PressKey(d.channel.m_hWnd, VK_UP);
        PressKey(d.channel.m_hWnd, VK_UP);
        // clang-format off
        const std::vector<Scroll> keys = {
            {WM_VSCROLL, SB_LINEDOWN, 301},  {WM_VSCROLL, SB_ENDSCROLL, 301}, {WM_VSCROLL, SB_LINEUP, 300},
            {WM_VSCROLL, SB_ENDSCROLL, 300}, {WM_VSCROLL, SB_LINEUP, 299},    {WM_VSCROLL, SB_ENDSCROLL, 299},
        };
        // clang-format on
        EXPECT_EQ(d.scrolls, keys);

        // A drag of the thumb picture: every step tracks with GetPos current.
        d.scrolls.clear();
        d.channel.SetPos(0);
        CRect w;
        d.channel.GetThumbWndRect(&w);
        const CPoint grab = w.CenterPoint();
        MousePressAt(d.channel.m_hWnd, grab.x, grab.y);
        for (int dy = 7; dy <= 35; dy += 7) MouseMoveTo(d.channel.m_hWnd, grab.x, grab.y + dy);
        MouseReleaseAt(d.channel.m_hWnd, grab.x, grab.y + 35);
        ASSERT_GE(d.scrolls.size(), 3u);
        for (size_t i = 0; i + 2 < d.scrolls.size(); ++i) EXPECT_EQ(d.scrolls[i].code, SB_THUMBTRACK) << i;
        EXPECT_TRUE(std::is_sorted(d.scrolls.begin(), d.scrolls.end(),
                                   [](const Scroll& a, const Scroll& b) { return a.posInHandler < b.posInHandler; }));
        EXPECT_EQ(d.scrolls.back(), (Scroll{WM_VSCROLL, SB_ENDSCROLL, d.channel.GetPos()}));
        EXPECT_EQ(d.channel.GetPos(), 300);  // half of the 70 pixels of travel

        d.scrolls.clear();
        d.mixer.SetPos(10);
        PressKey(d.mixer.m_hWnd, VK_RIGHT);
        EXPECT_EQ(d.scrolls, (std::vector<Scroll>{{WM_HSCROLL, SB_LINEDOWN, 11}, {WM_HSCROLL, SB_ENDSCROLL, 11}}));
    });
}

// ---------------------------------------------------------------------------

constexpr COLORREF kWhite = RGB(255, 255, 255);

void FillCombo(CMyComboBox& c)
{
    c.AddItem(L"Butterworth", 0, kWhite);
    c.AddItem(L"Bessel", 0, RGB(255, 0, 0));
    c.AddItem(L"Linkwitz-Riley", 0, kWhite);
    c.SetComboFont(12, L"宋体", 1, kWhite);
    c.SetItemHeight(-1, 18);
}

bool IsBright(uint32_t px) { return (px & 0xFF) > 200 && ((px >> 8) & 0xFF) > 200 && ((px >> 16) & 0xFF) > 200; }

// Whether some pixel of the rectangle satisfies pred.
template <class Pred>
bool AnyPixel(HWND hwnd, const CRect& r, Pred pred)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (pred(GrabWindowPixel(hwnd, x, y))) return true;
    return false;
}

class SkinnedComboTest : public UiTest {};

TEST_F(SkinnedComboTest, ItemsKeepTheirIndexAndNothingIsSelectedAtFirst)
{
    RunSkinDialog([](SkinDlg& d) {
        FillCombo(d.combo);
        ASSERT_EQ(d.combo.Items().size(), 3u);
        for (int i = 0; i < 3; ++i) {
            std::wstring text;
            d.combo.GetLBText(i, text);
            EXPECT_EQ(d.combo.Items()[static_cast<size_t>(i)].nIndex, i);
            EXPECT_EQ(text, d.combo.Items()[static_cast<size_t>(i)].strText);
        }
        EXPECT_EQ(d.combo.Items()[1].crText, RGB(255, 0, 0));
        EXPECT_EQ(d.combo.GetCurSel(), -1);  // the first insert selects nothing
    });
}

TEST_F(SkinnedComboTest, OnlyTheUsersChoiceNotifiesOnceWithTheNewSelection)
{
    RunSkinDialog([](SkinDlg& d) {
        FillCombo(d.combo);
        d.combo.SetCurSel(2);
        d.combo.SetCurSel(0);
        PumpEvents();
        EXPECT_TRUE(d.selChanges.empty());
        PressKey(d.combo.m_hWnd, VK_DOWN);
        EXPECT_EQ(d.selChanges, std::vector<int>{1});
        PressKey(d.combo.m_hWnd, VK_DOWN);
        EXPECT_EQ(d.selChanges, (std::vector<int>{1, 2}));
    });
}

TEST_F(SkinnedComboTest, TheFaceShowsTheSelectionWithItsArrowAndNothingWithoutOne)
{
    RunSkinDialog([](SkinDlg& d) {
        g_screenDpi = 96;
        FillCombo(d.combo);
        FillCombo(d.plain);
        d.combo.SetArrowImages(IDP_COMBO_ARROW_B0, IDP_COMBO_ARROW_B0);
        d.plain.SetArrowImages(1, 1);  // no such PNG: the flat arrow
        EXPECT_TRUE(d.combo.HasArrowImages());
        EXPECT_FALSE(d.plain.HasArrowImages());
        const uint32_t back = Pixel(33, 44, 61);
        CRect k;
        d.combo.GetClientRect(&k);
        const CRect text(5, 0, k.right - 24, k.bottom);
        const CRect arrow(k.right - 22, 0, k.right, k.bottom);

        EXPECT_NE(GrabWindowPixel(d.combo.m_hWnd, 2, k.Height() / 2), back);  // no face yet
        d.combo.SetCurSel(1);
        d.plain.SetCurSel(0);
        EXPECT_EQ(GrabWindowPixel(d.combo.m_hWnd, 2, k.Height() / 2), back);
        // The text in the item's own colour, the chevron light on the dark fill.
        const auto red = [](uint32_t px) {
            return (px & 0xFF) > 200 && ((px >> 8) & 0xFF) < 40 && ((px >> 16) & 0xFF) < 40;
        };
        EXPECT_TRUE(AnyPixel(d.combo.m_hWnd, text, red));
        EXPECT_TRUE(AnyPixel(d.combo.m_hWnd, arrow, IsBright));
        EXPECT_EQ(GrabWindowPixel(d.combo.m_hWnd, k.right - 21, 2), back);
        // The flat arrow: a white box with a black frame.
        d.plain.GetClientRect(&k);
        EXPECT_EQ(GrabWindowPixel(d.plain.m_hWnd, k.right - 20, 3), Pixel(255, 255, 255));
        EXPECT_EQ(GrabWindowPixel(d.plain.m_hWnd, k.right - 22, 3), Pixel(0, 0, 0));
    });
}

TEST_F(SkinnedComboTest, TheHotItemFollowsTheMouseOverTheListAndOnlyRealItemsRepaint)
{
    RunSkinDialog([](SkinDlg& d) {
        FillCombo(d.combo);
        EXPECT_EQ(d.combo.GetHotItem(), CMyComboBox::kNoItem);
        d.combo.ShowDropDown(TRUE);
        PumpEvents();
        ASSERT_TRUE(MoveOverListItem(d.combo.m_hWnd, 1));
        EXPECT_EQ(d.combo.GetHotItem(), 1);
        ASSERT_TRUE(MoveOverListItem(d.combo.m_hWnd, 2));
        EXPECT_EQ(d.combo.GetHotItem(), 2);
        d.combo.ShowDropDown(FALSE);
        EXPECT_EQ(d.combo.GetHotItem(), 2);  // kept after the list closes
        EXPECT_TRUE(d.selChanges.empty());   // hovering chooses nothing
    });

    // The first change has no previous item to repaint.
    CMyComboBox box;
    box.AddItem(L"a", 0, kWhite);
    box.AddItem(L"b", 0, kWhite);
    EXPECT_EQ(box.TrackHotItem(0), std::vector<int>{0});
    EXPECT_EQ(box.TrackHotItem(1), (std::vector<int>{0, 1}));
    EXPECT_TRUE(box.TrackHotItem(1).empty());
}

TEST_F(SkinnedComboTest, ListItemsAreDrawnInTheirColoursWithTheHotOneMarked)
{
    CMyComboBox box;
    box.AddItem(L"Butterworth", 0, RGB(255, 0, 0));
    box.AddItem(L"Bessel", 0, RGB(255, 0, 0));
    box.TrackHotItem(1);
    CBitmap surface;
    ASSERT_TRUE(surface.CreateCompatibleBitmap(nullptr, 120, 60));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SelectObject(&surface);
    box.DrawListItem(0, CRect(0, 0, 120, 30), &dc, 0);
    box.DrawListItem(0, CRect(0, 30, 120, 60), &dc, 1);
    box.DrawListItem(0, CRect(0, 0, 120, 30), &dc, 7);  // no such item: nothing
    EXPECT_EQ(dc.GetPixel(100, 15), CMyComboBox::kBack);
    EXPECT_EQ(dc.GetPixel(100, 45), CMyComboBox::kHotFill);
    int red = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 5; x < 100; ++x) red += dc.GetPixel(x, y) == RGB(255, 0, 0);
    EXPECT_GT(red, 10);
}

}  // namespace
