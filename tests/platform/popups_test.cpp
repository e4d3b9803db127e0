// The popups that run their own modal loop (message boxes, file dialogs,
// menus), run as on a screen although headless: a scripted close ends the
// one in front as its Cancel would, and only when no dialog of the layer
// opened inside it.
#include <functional>
#include <vector>

#include "platform/menu.h"
#include "tests/platform/ui_test.h"

using platform_testing::EndFrontPopup;
using platform_testing::TopModalDialog;

namespace {

constexpr UINT WM_RUN_SCRIPT = WM_USER + 51;

// A dialog that runs a script once its modal loop is up.
class PopupHostDlg : public CDialogEx {
public:
    explicit PopupHostDlg(const DialogTemplate* t) : CDialogEx(t) {}
    std::function<void(PopupHostDlg&)> script;

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        PostMessage(WM_RUN_SCRIPT);
        return TRUE;
    }
    afx_msg LRESULT OnRunScript(WPARAM, LPARAM)
    {
        if (script) script(*this);
        return 0;
    }
    afx_msg void OnSysCommand(UINT id, LPARAM) { sysCommands.push_back(id); }
    std::vector<UINT> sysCommands;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PopupHostDlg, CDialogEx)
    ON_MESSAGE(WM_RUN_SCRIPT, &PopupHostDlg::OnRunScript)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

// A box whose loop is ended from inside it, as the scripted close does.
int BoxEndedFromInside(UINT style, bool* ended)
{
    PostToUi([ended] { *ended = EndFrontPopup(); });
    return MessageBoxExW(nullptr, L"Question?", L"Alert", style, 0x0409);
}

class PopupTest : public UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        platform_testing::SetRealPopupsWhenHeadless(true);
    }
    void TearDown() override
    {
        platform_testing::SetRealPopupsWhenHeadless(false);
        UiTest::TearDown();
    }
    DialogTemplate tmpl = MakeTemplate(9301, {});
};

TEST_F(PopupTest, ABoxEndedByTheScriptAnswersCancelElseNoElseItsFirstButton)
{
    struct Case {
        UINT style;
        int answer;
    };
    // clang-format off
    const Case cases[] = {
        {MB_OK, IDOK},
        {MB_OKCANCEL | MB_DEFBUTTON1, IDCANCEL},
        {MB_YESNO | MB_DEFBUTTON1, IDNO},
        {MB_YESNOCANCEL, IDCANCEL},
        {MB_RETRYCANCEL, IDCANCEL},
        {MB_ABORTRETRYIGNORE, IDABORT},
    };
    // clang-format on
    EXPECT_FALSE(EndFrontPopup());  // none runs
    for (const Case& c : cases) {
        bool ended = false;
        EXPECT_EQ(BoxEndedFromInside(c.style, &ended), c.answer) << "style " << c.style;
        EXPECT_TRUE(ended) << "style " << c.style;
    }
    EXPECT_FALSE(EndFrontPopup());
}

TEST_F(PopupTest, FileDialogsAndMenusEndedByTheScriptChooseNothing)
{
    bool fileEnded = false;
    PostToUi([&] { fileEnded = EndFrontPopup(); });
    CFileDialog files(TRUE, L"txt", nullptr, OFN_FILEMUSTEXIST, L"Text(*.txt)|*.txt||");
    EXPECT_EQ(files.DoModal(), IDCANCEL);
    EXPECT_TRUE(fileEnded);

    tmpl.style |= WS_SYSMENU;
    PopupHostDlg dlg(&tmpl);
    bool menuEnded = false;
    dlg.script = [&](PopupHostDlg& d) {
        PostToUi([&] { menuEnded = EndFrontPopup(); });
        EXPECT_TRUE(ShowSystemMenu(d.m_hWnd, POINT{10, 10}));
        d.EndDialog(7);
    };
    EXPECT_EQ(dlg.DoModal(), 7);
    EXPECT_TRUE(menuEnded);
    EXPECT_TRUE(dlg.sysCommands.empty());
}

TEST_F(PopupTest, TheInnermostLoopEndsFirst)
{
    // A box over a dialog: the box first, then the dialog is in front.
    PopupHostDlg under(&tmpl);
    bool boxEnded = false;
    int boxAnswer = 0;
    bool dialogInFront = false;
    under.script = [&](PopupHostDlg& d) {
        boxAnswer = BoxEndedFromInside(MB_YESNO, &boxEnded);
        dialogInFront = !EndFrontPopup() && TopModalDialog() == d.m_hWnd;
        d.EndDialog(IDCANCEL);
    };
    EXPECT_EQ(under.DoModal(), IDCANCEL);
    EXPECT_TRUE(boxEnded);
    EXPECT_EQ(boxAnswer, IDNO);
    EXPECT_TRUE(dialogInFront);

    // A dialog opened inside a box's loop: the box waits behind it.
    PopupHostDlg over(&tmpl);
    bool endedWhileOver = true;
    bool endedAfter = false;
    over.script = [&](PopupHostDlg& d) {
        endedWhileOver = EndFrontPopup();
        d.EndDialog(IDOK);
    };
    PostToUi([&] {
        EXPECT_EQ(over.DoModal(), IDOK);
        endedAfter = EndFrontPopup();
    });
    EXPECT_EQ(MessageBoxExW(nullptr, L"Question?", L"Alert", MB_YESNO, 0x0409), IDNO);
    EXPECT_FALSE(endedWhileOver);
    EXPECT_TRUE(endedAfter);
}

}  // namespace
