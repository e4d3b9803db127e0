// The window layer's input seams that the window code builds on: slider
// scroll codes and silent SetPos, combo selection notified on a user's
// choice only, the wheel going on to the parent, mouse-leave tracking, the
// key state inside a key handler, the font of an owner-drawn item's
// context, and file dialogs through the responder.
#include <functional>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "tests/platform/ui_test.h"

using platform_testing::ClickAt;
using platform_testing::MouseEnter;
using platform_testing::MouseLeave;
using platform_testing::MouseMoveTo;
using platform_testing::MousePressAt;
using platform_testing::MouseReleaseAt;
using platform_testing::PressKey;
using platform_testing::PumpEvents;
using platform_testing::PumpUntil;
using platform_testing::WheelAt;

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_USER + 60;
constexpr int kVertSlider = 1001;
constexpr int kHorzSlider = 1002;
constexpr int kCombo = 1003;
constexpr int kStatic = 1004;
constexpr int kButton = 1005;
constexpr int kEdit = 1006;
constexpr int kOwnerButton = 1007;

// One scroll message as the parent saw it, with the slider's position
// read inside the handler.
struct Scroll {
    UINT msg;
    int sliderId;
    UINT code;
    UINT pos;
    int posInHandler;
    bool operator==(const Scroll&) const = default;
};

void PrintTo(const Scroll& s, std::ostream* os)
{
    *os << (s.msg == WM_VSCROLL ? "V" : "H") << " id " << s.sliderId << " code " << s.code << " pos " << s.pos
        << " GetPos " << s.posInHandler;
}

// A dialog that records what its children tell it and runs a script once
// its modal loop is up.
class SeamDlg : public CDialogEx {
public:
    explicit SeamDlg(const DialogTemplate* t) : CDialogEx(t) {}
    std::function<void(SeamDlg&)> script;
    std::vector<Scroll> scrolls;
    std::vector<std::pair<int, UINT>> notifications;  // (id, code)
    std::vector<int> comboSelectionInHandler;
    std::vector<short> wheelDeltas;
    std::vector<CPoint> wheelPoints;
    std::vector<LOGFONTW> drawItemFonts;  // the font of each item's context

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        PostMessage(WM_RUN_SCRIPT);
        return TRUE;
    }
    BOOL OnCommand(WPARAM w, LPARAM l) override
    {
        if (HIWORD(w) != 0 || LOWORD(w) == kButton || LOWORD(w) == kOwnerButton) {
            notifications.emplace_back(LOWORD(w), HIWORD(w));
            if (LOWORD(w) == kCombo && HIWORD(w) == CBN_SELCHANGE)
                comboSelectionInHandler.push_back(static_cast<CComboBox*>(GetDlgItem(kCombo))->GetCurSel());
        }
        return CDialogEx::OnCommand(w, l);
    }
    afx_msg void OnVScroll(UINT code, UINT pos, CWnd* bar) { Record(WM_VSCROLL, code, pos, bar); }
    afx_msg void OnHScroll(UINT code, UINT pos, CWnd* bar) { Record(WM_HSCROLL, code, pos, bar); }
    afx_msg BOOL OnMouseWheel(UINT, short delta, CPoint screenPoint)
    {
        wheelDeltas.push_back(delta);
        wheelPoints.push_back(screenPoint);
        return TRUE;
    }
    afx_msg void OnDrawItem(int, LPDRAWITEMSTRUCT dis)
    {
        LOGFONTW lf{};
        if (CFont* font = dis->pDC ? dis->pDC->GetCurrentFont() : nullptr) font->GetLogFont(&lf);
        drawItemFonts.push_back(lf);
    }
    afx_msg LRESULT OnRunScript(WPARAM, LPARAM)
    {
        if (script) script(*this);
        EndDialog(IDOK);
        return 0;
    }
    CSliderCtrl& Slider(int id) { return *static_cast<CSliderCtrl*>(GetDlgItem(id)); }
    DECLARE_MESSAGE_MAP()

private:
    void Record(UINT msg, UINT code, UINT pos, CWnd* bar)
    {
        auto* slider = static_cast<CSliderCtrl*>(bar);
        scrolls.push_back({msg, bar ? bar->GetDlgCtrlID() : 0, code, pos, slider ? slider->GetPos() : -1});
    }
};

BEGIN_MESSAGE_MAP(SeamDlg, CDialogEx)
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_MOUSEWHEEL()
    ON_WM_DRAWITEM()
    ON_MESSAGE(WM_RUN_SCRIPT, &SeamDlg::OnRunScript)
END_MESSAGE_MAP()

DialogTemplate SeamTemplate()
{
    return MakeTemplate(9301, {
                                  Control(kVertSlider, "msctls_trackbar32", TBS_VERT | WS_TABSTOP, 5, 5, 15, 90),
                                  Control(kHorzSlider, "msctls_trackbar32", WS_TABSTOP, 25, 5, 90, 15),
                                  Control(kCombo, "COMBOBOX", CBS_DROPDOWNLIST | WS_TABSTOP, 25, 25, 60, 80),
                                  Control(kStatic, "STATIC", SS_LEFT, 25, 45, 40, 10, L"Gain"),
                                  Control(kButton, "BUTTON", WS_TABSTOP, 70, 45, 40, 14, L"Mute"),
                                  Control(kEdit, "EDIT", WS_TABSTOP, 120, 45, 40, 12, L"0.0"),
                                  Control(kOwnerButton, "BUTTON", BS_OWNERDRAW | WS_TABSTOP, 70, 62, 40, 14, L"CH1"),
                              });
}

// Runs script inside the dialog's modal loop.
void RunSeamDialog(const std::function<void(SeamDlg&)>& script)
{
    const DialogTemplate t = SeamTemplate();
    SeamDlg dlg(&t);
    dlg.script = script;
    ASSERT_EQ(dlg.DoModal(), IDOK);
}

class SeamsTest : public UiTest {};

TEST_F(SeamsTest, SliderKeysSendTheirScrollCodesWithThePositionAlreadyMoved)
{
    struct Case {
        int slider;
        UINT key;
        UINT msg;
        UINT code;
        int after;
    } cases[] = {
        // clang-format off
        // Vertical: the minimum is at the top; Down moves towards the maximum.
        {kVertSlider, VK_DOWN, WM_VSCROLL, SB_LINEDOWN, 51},
        {kVertSlider, VK_UP, WM_VSCROLL, SB_LINEUP, 49},
        {kVertSlider, VK_NEXT, WM_VSCROLL, SB_PAGEDOWN, 70},
        {kVertSlider, VK_PRIOR, WM_VSCROLL, SB_PAGEUP, 30},
        {kVertSlider, VK_HOME, WM_VSCROLL, SB_TOP, 0},
        {kVertSlider, VK_END, WM_VSCROLL, SB_BOTTOM, 100},
        {kHorzSlider, VK_RIGHT, WM_HSCROLL, SB_LINEDOWN, 51},
        {kHorzSlider, VK_LEFT, WM_HSCROLL, SB_LINEUP, 49},
    };
    // clang-format on
    RunSeamDialog([&](SeamDlg& d) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "slider " << c.slider << " key " << c.key);
            CSliderCtrl& s = d.Slider(c.slider);
            s.SetRange(0, 100);
            s.SetPageSize(20);
            s.SetPos(50);
            d.scrolls.clear();
            PressKey(s.m_hWnd, c.key);
            // clang-format off
            const std::vector<Scroll> expected = {
                {c.msg, c.slider, c.code, 0, c.after},
                {c.msg, c.slider, SB_ENDSCROLL, 0, c.after},
            };
            // clang-format on
            EXPECT_EQ(d.scrolls, expected);
            EXPECT_EQ(s.GetPos(), c.after);
        }
    });
}

TEST_F(SeamsTest, DraggingTheThumbTracksThenEndsWithItsPosition)
{
    RunSeamDialog([](SeamDlg& d) {
        CSliderCtrl& s = d.Slider(kVertSlider);
        s.SetRange(0, 100);
        s.SetPos(0);
        CRect thumb, channel;
        s.GetThumbRect(&thumb);
        s.GetChannelRect(&channel);
        const CPoint grab = thumb.CenterPoint();
        d.scrolls.clear();
        MousePressAt(s.m_hWnd, grab.x, grab.y);
        MouseMoveTo(s.m_hWnd, grab.x, grab.y + channel.Height() / 2);
        MouseReleaseAt(s.m_hWnd, grab.x, grab.y + channel.Height() / 2);
        ASSERT_GE(d.scrolls.size(), 3u);
        const int end = s.GetPos();
        EXPECT_GT(end, 20);
        EXPECT_LT(end, 80);
        for (size_t i = 0; i + 2 < d.scrolls.size(); ++i) {
            EXPECT_EQ(d.scrolls[i].code, SB_THUMBTRACK) << i;
            EXPECT_EQ(d.scrolls[i].pos, static_cast<UINT>(d.scrolls[i].posInHandler)) << i;
        }
        EXPECT_EQ(d.scrolls[d.scrolls.size() - 3].pos, static_cast<UINT>(end));
        const UINT endPos = static_cast<UINT>(end);
        EXPECT_EQ(d.scrolls[d.scrolls.size() - 2], (Scroll{WM_VSCROLL, kVertSlider, SB_THUMBPOSITION, endPos, end}));
        EXPECT_EQ(d.scrolls.back(), (Scroll{WM_VSCROLL, kVertSlider, SB_ENDSCROLL, 0, end}));
    });
}

TEST_F(SeamsTest, SliderSettersNeverNotify)
{
    RunSeamDialog([](SeamDlg& d) {
        CSliderCtrl& s = d.Slider(kVertSlider);
        d.scrolls.clear();
        s.SetRange(0, 600, TRUE);
        s.SetPos(300);
        EXPECT_EQ(s.GetPos(), 300);
        s.SetPos(900);  // clamped
        EXPECT_EQ(s.GetPos(), 600);
        s.SetRange(0, 60);  // the position follows the range
        EXPECT_EQ(s.GetPos(), 60);
        s.SetPos(-5);
        EXPECT_EQ(s.GetPos(), 0);
        PumpEvents();
        EXPECT_TRUE(d.scrolls.empty());
    });
}

TEST_F(SeamsTest, ComboSelectionIsNotifiedOnlyOnTheUsersChoice)
{
    RunSeamDialog([](SeamDlg& d) {
        auto* combo = static_cast<CComboBox*>(d.GetDlgItem(kCombo));
        for (const wchar_t* s : {L"Butterworth", L"Bessel", L"Linkwitz"}) combo->AddString(s);
        combo->SetCurSel(1);
        combo->SetCurSel(-1);
        combo->SetCurSel(7);
        combo->SetCurSel(0);
        combo->DeleteString(0);  // the selected item goes
        combo->InsertString(0, L"Butterworth");
        PumpEvents();
        const auto selChanges = [&] {
            return std::count(d.notifications.begin(), d.notifications.end(), std::make_pair(kCombo, CBN_SELCHANGE));
        };
        EXPECT_EQ(selChanges(), 0);

        // The user steps the closed list with the arrow keys.
        combo->SetCurSel(0);
        PressKey(combo->m_hWnd, VK_DOWN);
        EXPECT_EQ(selChanges(), 1);
        EXPECT_EQ(combo->GetCurSel(), 1);
        PressKey(combo->m_hWnd, VK_DOWN);
        EXPECT_EQ(selChanges(), 2);
        PressKey(combo->m_hWnd, VK_DOWN);  // already at the last item
        EXPECT_EQ(selChanges(), 2);
        // The handler reads the new selection.
        EXPECT_EQ(d.comboSelectionInHandler, (std::vector<int>{1, 2}));

        combo->ResetContent();
        PumpEvents();
        EXPECT_EQ(selChanges(), 2);
    });
}

TEST_F(SeamsTest, TheWheelGoesToTheParentWhenTheChildDoesNotTakeIt)
{
    RunSeamDialog([](SeamDlg& d) {
        for (int id : {kStatic, kButton, kEdit}) {
            SCOPED_TRACE(id);
            d.wheelDeltas.clear();
            d.wheelPoints.clear();
            CWnd* child = d.GetDlgItem(id);
            WheelAt(child->m_hWnd, 3, 4, -WHEEL_DELTA);
            EXPECT_EQ(d.wheelDeltas, std::vector<short>{-WHEEL_DELTA});
            CPoint expected(3, 4);
            child->ClientToScreen(&expected);
            ASSERT_EQ(d.wheelPoints.size(), 1u);
            EXPECT_EQ(d.wheelPoints[0], expected);
        }
    });
}

// A custom child that takes the wheel only when asked to.
class WheelChild : public CWnd {
public:
    bool take = false;
    int wheels = 0;
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint pt)
    {
        ++wheels;
        return take ? TRUE : CWnd::OnMouseWheel(flags, delta, pt);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(WheelChild, CWnd)
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

TEST_F(SeamsTest, ACustomChildPassesTheWheelOnThroughItsDefaultOrKeepsIt)
{
    RunSeamDialog([](SeamDlg& d) {
        WheelChild child;
        ASSERT_TRUE(child.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(150, 10, 190, 50), &d, 2001));
        for (bool take : {false, true}) {
            SCOPED_TRACE(take);
            child.take = take;
            child.wheels = 0;
            d.wheelDeltas.clear();
            WheelAt(child.m_hWnd, 5, 5, WHEEL_DELTA);
            EXPECT_EQ(child.wheels, 1);
            EXPECT_EQ(d.wheelDeltas.size(), take ? 0u : 1u);
        }
    });
}

// A custom window that asks for WM_MOUSELEAVE (and WM_MOUSEHOVER) when the
// pointer moves over it, as hot-tracking buttons do.
class TrackingWnd : public CWnd {
public:
    DWORD flags = TME_LEAVE;
    int leaves = 0;
    int hovers = 0;
    afx_msg void OnMouseMove(UINT, CPoint)
    {
        TRACKMOUSEEVENT t;
        t.dwFlags = flags;
        t.hwndTrack = m_hWnd;
        t.dwHoverTime = 1;
        ::TrackMouseEvent(&t);
    }
    afx_msg void OnMouseLeave() { ++leaves; }
    afx_msg void OnMouseHover(UINT, CPoint) { ++hovers; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TrackingWnd, CWnd)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
    ON_WM_MOUSEHOVER()
END_MESSAGE_MAP()

class MouseTrackingTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        ASSERT_TRUE(wnd.Create(nullptr, L"track", WS_VISIBLE, CRect(0, 0, 60, 40), nullptr, 0));
    }
    TrackingWnd wnd;
};

TEST_F(MouseTrackingTest, LeaveComesOnceAfterTrackingAndNotWithoutIt)
{
    MouseEnter(wnd.m_hWnd);
    MouseMoveTo(wnd.m_hWnd, 5, 5, false);
    PumpEvents();
    EXPECT_EQ(wnd.leaves, 0);  // still inside
    MouseLeave(wnd.m_hWnd);
    EXPECT_EQ(wnd.leaves, 1);
    // The request ended with its leave.
    MouseEnter(wnd.m_hWnd);
    MouseLeave(wnd.m_hWnd);
    EXPECT_EQ(wnd.leaves, 1);
    // Cancelled before leaving: no leave.
    MouseEnter(wnd.m_hWnd);
    MouseMoveTo(wnd.m_hWnd, 6, 6, false);
    TRACKMOUSEEVENT cancel;
    cancel.dwFlags = TME_LEAVE | TME_CANCEL;
    cancel.hwndTrack = wnd.m_hWnd;
    EXPECT_TRUE(::TrackMouseEvent(&cancel));
    MouseLeave(wnd.m_hWnd);
    PumpEvents();
    EXPECT_EQ(wnd.leaves, 1);
}

TEST_F(MouseTrackingTest, TrackingWhileThePointerIsOutsideLeavesAtOnce)
{
    TRACKMOUSEEVENT t;
    t.dwFlags = TME_LEAVE;
    t.hwndTrack = wnd.m_hWnd;
    EXPECT_TRUE(::TrackMouseEvent(&t));
    ASSERT_TRUE(PumpUntil([&] { return wnd.leaves == 1; }));
    PumpEvents();
    EXPECT_EQ(wnd.leaves, 1);

    t.hwndTrack = nullptr;
    EXPECT_FALSE(::TrackMouseEvent(&t));
}

TEST_F(MouseTrackingTest, HoverComesOnceWhileThePointerRests)
{
    wnd.flags = TME_HOVER | TME_LEAVE;
    MouseEnter(wnd.m_hWnd);
    MouseMoveTo(wnd.m_hWnd, 5, 5, false);
    ASSERT_TRUE(PumpUntil([&] { return wnd.hovers == 1; }));
    PumpEvents();
    EXPECT_EQ(wnd.hovers, 1);
    EXPECT_EQ(wnd.leaves, 0);
    MouseLeave(wnd.m_hWnd);
    EXPECT_EQ(wnd.leaves, 1);
}

// Reads the key state inside its key and mouse handlers.
class KeyStateWnd : public CWnd {
public:
    struct Seen {
        UINT msg;
        bool shift;
        bool control;
        bool left;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    afx_msg void OnKeyDown(UINT, UINT, UINT) { Record(WM_KEYDOWN); }
    afx_msg void OnLButtonDown(UINT, CPoint) { Record(WM_LBUTTONDOWN); }
    afx_msg void OnLButtonUp(UINT, CPoint) { Record(WM_LBUTTONUP); }
    DECLARE_MESSAGE_MAP()

private:
    void Record(UINT msg)
    {
        seen.push_back({msg, GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(0x01) < 0});
    }
};

BEGIN_MESSAGE_MAP(KeyStateWnd, CWnd)
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

// A double click on an owner-drawn button is a click and then a double
// click; a plain push button sees two clicks.
// As a button does, an owner-drawn one hands its owner a context that holds
// its font: the template's, or the one it was given.
TEST_F(SeamsTest, AnOwnerDrawnItemsContextHoldsTheControlsFont)
{
    RunSeamDialog([](SeamDlg& d) {
        CWnd* button = d.GetDlgItem(kOwnerButton);
        d.drawItemFonts.clear();
        platform_testing::GrabWindowPixel(button->m_hWnd, 1, 1);
        ASSERT_FALSE(d.drawItemFonts.empty());
        EXPECT_EQ(std::wstring(d.drawItemFonts.back().lfFaceName), L"MS Shell Dlg");
        EXPECT_EQ(d.drawItemFonts.back().lfHeight, -PointsToPixels(8, GetScreenDpi()));
        CFont own;
        own.CreateFont(-17, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"宋体");
        button->SetFont(&own);
        d.drawItemFonts.clear();
        platform_testing::GrabWindowPixel(button->m_hWnd, 1, 1);
        ASSERT_FALSE(d.drawItemFonts.empty());
        EXPECT_EQ(std::wstring(d.drawItemFonts.back().lfFaceName), L"宋体");
        EXPECT_EQ(d.drawItemFonts.back().lfHeight, -17);
        button->SetFont(nullptr);
    });
}

TEST_F(SeamsTest, DoubleClicksOnOwnerDrawnButtonsAreReportedAsSuch)
{
    using Seen = std::vector<std::pair<int, UINT>>;
    RunSeamDialog([](SeamDlg& dlg) {
        for (int id : {kOwnerButton, kButton}) {
            SCOPED_TRACE(id);
            dlg.notifications.clear();
            platform_testing::DoubleClickAt(dlg.GetDlgItem(id)->m_hWnd, 4, 4);
            std::erase_if(dlg.notifications, [id](const auto& n) { return n.first != id; });
            const Seen expected = id == kOwnerButton ? Seen{{id, BN_CLICKED}, {id, BN_DOUBLECLICKED}}
                                                     : Seen{{id, BN_CLICKED}, {id, BN_CLICKED}};
            EXPECT_EQ(dlg.notifications, expected);
        }
    });
}

// A click on a button that takes the focus from an edit: the edit's
// EN_KILLFOCUS comes first, then the button's BN_CLICKED.
TEST_F(SeamsTest, AnEditsFocusLossComesBeforeTheClickThatTookTheFocus)
{
    RunSeamDialog([](SeamDlg& dlg) {
        platform_testing::Activate(dlg.m_hWnd);
        for (int id : {kOwnerButton, kButton}) {
            SCOPED_TRACE(id);
            dlg.GetDlgItem(kEdit)->SetFocus();
            ASSERT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(kEdit));
            dlg.notifications.clear();
            ClickAt(dlg.GetDlgItem(id)->m_hWnd, 4, 4);
            std::erase_if(dlg.notifications,
                          [](const auto& n) { return n.second != EN_KILLFOCUS && n.second != BN_CLICKED; });
            EXPECT_EQ(dlg.notifications, (std::vector<std::pair<int, UINT>>{{kEdit, EN_KILLFOCUS}, {id, BN_CLICKED}}));
        }
    });
}

TEST_F(SeamsTest, GetKeyStateInAHandlerReportsTheStateOfItsMessage)
{
    KeyStateWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, L"keys", WS_VISIBLE, CRect(0, 0, 60, 40), nullptr, 0));
    using Seen = KeyStateWnd::Seen;
    struct Case {
        bool shift;
        bool control;
    } cases[] = {{false, false}, {true, false}, {false, true}, {true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "shift " << c.shift << " control " << c.control);
        wnd.seen.clear();
        PressKey(wnd.m_hWnd, VK_UP, 0, false, c.shift, c.control);
        EXPECT_EQ(wnd.seen, std::vector<Seen>{(Seen{WM_KEYDOWN, c.shift, c.control, false})});
    }
    wnd.seen.clear();
    ClickAt(wnd.m_hWnd, 5, 5);
    EXPECT_EQ(wnd.seen, (std::vector<Seen>{{WM_LBUTTONDOWN, false, false, true}, {WM_LBUTTONUP, false, false, false}}));
}

// Records the key messages an edit control gets.
class KeyLogEdit : public CEdit {
public:
    std::vector<std::pair<UINT, bool>> keys;  // message, repeat bit (30) of lParam
    LRESULT WindowProc(UINT message, WPARAM w, LPARAM l) override
    {
        if (message == WM_KEYDOWN || message == WM_KEYUP) keys.emplace_back(message, ((l >> 30) & 1) != 0);
        return CEdit::WindowProc(message, w, l);
    }
};

// X11 sends a release before each auto-repeated press; the key is still
// down, so no key-up reaches the window until the real release.
TEST_F(SeamsTest, AHeldKeyGivesRepeatedKeyDownsAndOneKeyUp)
{
    RunSeamDialog([](SeamDlg& d) {
        KeyLogEdit edit;
        ASSERT_TRUE(edit.SubclassDlgItem(kEdit, &d));
        platform_testing::HoldKey(edit.m_hWnd, VK_UP, 3);
        const std::vector<std::pair<UINT, bool>> want = {
            {WM_KEYDOWN, false}, {WM_KEYDOWN, true}, {WM_KEYDOWN, true}, {WM_KEYDOWN, true}, {WM_KEYUP, true}};
        EXPECT_EQ(edit.keys, want);
    });
}

// A click on a button first takes the focus, so an edit that had it is
// told it lost it before the button's click is notified.
TEST_F(SeamsTest, AClickedButtonTakesTheFocusBeforeItsClickIsNotified)
{
    RunSeamDialog([](SeamDlg& d) {
        platform_testing::Activate(d.m_hWnd);
        ClickAt(d.GetDlgItem(kEdit)->m_hWnd, 3, 3);
        EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(kEdit));
        d.notifications.clear();
        ClickAt(d.GetDlgItem(kButton)->m_hWnd, 3, 3);
        EXPECT_EQ(CWnd::GetFocus(), d.GetDlgItem(kButton));
        const std::vector<std::pair<int, UINT>> want = {{kEdit, EN_KILLFOCUS}, {kButton, BN_CLICKED}};
        EXPECT_EQ(d.notifications, want);
    });
}

TEST_F(SeamsTest, FileDialogsGoThroughTheResponder)
{
    struct Case {
        const char* name;
        BOOL open;
        std::optional<std::wstring> answer;
        INT_PTR result;
        const wchar_t* path;
        const wchar_t* fileName;
        const wchar_t* title;
        const wchar_t* ext;
        const wchar_t* folder;
    } cases[] = {
        // clang-format off
        {"open", TRUE, L"/home/u/presets/road.txt", IDOK, L"/home/u/presets/road.txt", L"road.txt", L"road", L"txt",
         L"/home/u/presets"},
        {"open keeps a path without extension", TRUE, L"/tmp/road", IDOK, L"/tmp/road", L"road", L"road", L"", L"/tmp"},
        {"save adds the default extension", FALSE, L"/tmp/v1.2/road", IDOK, L"/tmp/v1.2/road.txt", L"road.txt", L"road",
         L"txt", L"/tmp/v1.2"},
        {"save keeps an extension", FALSE, L"/tmp/road.dat", IDOK, L"/tmp/road.dat", L"road.dat", L"road", L"dat",
         L"/tmp"},
        {"cancel", TRUE, std::nullopt, IDCANCEL, L"", L"", L"", L"", L""},
        {"empty path is a cancel", FALSE, L"", IDCANCEL, L"", L"", L"", L"", L""},
    };
    // clang-format on
    ScriptedDialogs dialogs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.Clear();
        dialogs.AnswerFile(c.answer);
        CFileDialog dlg(c.open, L"txt", L"preset", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        L"Text(*.txt)|*.txt|All(*.*)|*.*||");
        dlg.m_ofn.lpstrTitle = L"Load";
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(dlg.GetPathName(), c.path);
        EXPECT_EQ(dlg.GetFileName(), c.fileName);
        EXPECT_EQ(dlg.GetFileTitle(), c.title);
        EXPECT_EQ(dlg.GetFileExt(), c.ext);
        EXPECT_EQ(dlg.GetFolderPath(), c.folder);

        const std::vector<FileDialogRequest> asked = dialogs.FileDialogs();
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].open, c.open != FALSE);
        EXPECT_EQ(asked[0].title, L"Load");
        EXPECT_EQ(asked[0].defaultExt, L"txt");
        EXPECT_EQ(asked[0].fileName, L"preset");
        EXPECT_EQ(asked[0].flags, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT);
        ASSERT_EQ(asked[0].filters.size(), 2u);
        EXPECT_EQ(asked[0].filters[0].label, L"Text(*.txt)");
        EXPECT_EQ(asked[0].filters[0].patterns, std::vector<std::wstring>{L"*.txt"});
        EXPECT_EQ(asked[0].filters[1].patterns, std::vector<std::wstring>{L"*.*"});
    }
    // Nothing queued: Cancel.
    dialogs.Clear();
    CFileDialog unanswered(TRUE);
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL);
    EXPECT_EQ(dialogs.FileDialogs().size(), 1u);
}

TEST_F(SeamsTest, FileDialogsWithoutAResponderAreCancelledHeadless)
{
    CFileDialog dlg(FALSE, L"txt", L"preset");
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(dlg.GetPathName().empty());
}

}  // namespace
