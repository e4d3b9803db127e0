// The scene menu: each button closes the menu and has the main window run
// its operation before DoModal returns; Enter does nothing; the shared look
// (drag by the body, close button by DPI, bitmap buttons, texts).
#include "dialogs/dialogfile.h"
#include "res/resource.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;
using platform_testing::GrabWindowPixel;
using platform_testing::PressKey;
using platform_testing::PumpUntil;

class DialogFileTest : public DialogTest {};

// Pixels of the button text colour RGB(254,254,254) (anti-aliasing aside)
// along the button's middle row.
int TextPixelsOnMiddleRow(CWnd* button)
{
    CRect r;
    button->GetClientRect(&r);
    int n = 0;
    for (int x = 0; x < r.Width(); ++x) {
        const uint32_t p = GrabWindowPixel(button->m_hWnd, x, r.Height() / 2);
        n += (p & 0xFF) > 0xE0 && ((p >> 8) & 0xFF) > 0xE0 && ((p >> 16) & 0xFF) > 0xE0;
    }
    return n;
}

TEST_F(DialogFileTest, EachButtonSendsItsSceneCommandAfterTheMenuClosed)
{
    struct Row {
        int buttonId;
        WPARAM command;
    };
    // clang-format off
    const Row rows[] = {
        {IDC_LOAD_FROM_DEVICE, 0},
        {IDC_SAVE_TO_DEVICE, 1},
        {IDC_LOAD_FROM_PC, 2},
        {IDC_SAVE_TO_PC, 3},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.buttonId);
        main.received.clear();
        CDialogFile dlg;
        bool menuVisibleDuringCommand = true;
        bool commandDone = false;
        main.onMessage = [&](const FakeMainWnd::Received& r) {
            if (r.message != WM_SCENE_COMMAND) return;
            menuVisibleDuringCommand = dlg.IsWindowVisible();
            // The operation's own dialog runs here; the menu waits for it.
            PumpUntil([] { return false; }, 30);
            commandDone = true;
        };
        bool returnedBeforeCommand = false;
        const INT_PTR result = RunModal(dlg, [&] {
            Click(dlg.GetDlgItem(row.buttonId));
            returnedBeforeCommand = !commandDone;
        });
        main.onMessage = nullptr;
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_FALSE(returnedBeforeCommand);
        EXPECT_FALSE(menuVisibleDuringCommand);
        ASSERT_EQ(main.received.size(), 1u);
        EXPECT_EQ(main.received[0].message, WM_SCENE_COMMAND);
        EXPECT_EQ(main.received[0].wParam, row.command);
        EXPECT_EQ(main.received[0].lParam, 0);
    }
}

TEST_F(DialogFileTest, EnterDoesNothingAndEscapeClosesWithoutCommand)
{
    CDialogFile dlg;
    bool openAfterEnter = false;
    const INT_PTR result = RunModal(dlg, [&] {
        PressKey(dlg.m_hWnd, VK_RETURN);
        PumpUntil([] { return false; }, 20);
        openAfterEnter = dlg.IsWindowVisible();
        PressKey(dlg.m_hWnd, VK_ESCAPE);
    });
    EXPECT_TRUE(openAfterEnter);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(main.received.empty());
}

TEST_F(DialogFileTest, BodyAndLabelsDragButtonsDoNot)
{
    CDialogFile dlg;
    RunModal(dlg, [&] {
        CRect r;
        dlg.GetWindowRect(&r);
        EXPECT_EQ(dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(r.left + 3, r.bottom - 3)), HTCAPTION);
        EXPECT_EQ(dlg.GetDlgItem(IDC_FILE_TITLE)->SendMessage(WM_NCHITTEST), HTTRANSPARENT);
        EXPECT_EQ(dlg.GetDlgItem(IDC_SAVE_TO_PC)->SendMessage(WM_NCHITTEST), HTCLIENT);
        dlg.EndDialog(IDCANCEL);
    });
}

TEST_F(DialogFileTest, CloseButtonFollowsTheDpiBucket)
{
    struct Row {
        int dpi;
        int width, height;
        int normal, pressed;  // its bitmaps
    };
    // clang-format off
    const Row rows[] = {
        {96, 42, 22, 301, 300},
        {144, 63, 33, 397, 394},
        {168, 73, 38, 608, 609},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dpi);
        g_screenDpi = row.dpi;
        CDialogFile dlg;
        RunModal(dlg, [&] {
            auto* close = static_cast<CButton*>(dlg.GetDlgItem(IDCANCEL));
            CRect r;
            close->GetClientRect(&r);
            EXPECT_EQ(r.Width(), row.width);
            EXPECT_EQ(r.Height(), row.height);
            const int x = 6, y = row.height / 2;  // beside the cross
            EXPECT_EQ(GrabWindowPixel(close->m_hWnd, x, y), StretchedPixel(row.normal, close->m_hWnd, x, y));
            close->SetState(TRUE);
            EXPECT_EQ(GrabWindowPixel(close->m_hWnd, x, y), StretchedPixel(row.pressed, close->m_hWnd, x, y));
            EXPECT_NE(StretchedPixel(row.normal, close->m_hWnd, x, y),
                      StretchedPixel(row.pressed, close->m_hWnd, x, y));
            close->SetState(FALSE);
            dlg.EndDialog(IDCANCEL);
        });
    }
}

TEST_F(DialogFileTest, TextButtonsShowTheirBitmapAndTextInBothLanguages)
{
    struct Row {
        uint16_t language;
        const wchar_t* title;
    };
    for (const Row& row : {Row{LANG_ENGLISH_US, L"File"}, Row{LANG_CHINESE_PRC, L"场  景"}}) {
        g_languageId = row.language;
        CDialogFile dlg;
        RunModal(dlg, [&] {
            EXPECT_EQ(dlg.GetDlgItem(IDC_FILE_TITLE)->GetWindowTextString(), row.title);
            auto* button = static_cast<CButton*>(dlg.GetDlgItem(IDC_LOAD_FROM_PC));
            EXPECT_EQ(GrabWindowPixel(button->m_hWnd, 3, 3), StretchedPixel(200, button->m_hWnd, 3, 3));
            EXPECT_GT(TextPixelsOnMiddleRow(button), 0);
            button->SetState(TRUE);
            EXPECT_EQ(GrabWindowPixel(button->m_hWnd, 3, 3), StretchedPixel(199, button->m_hWnd, 3, 3));
            EXPECT_NE(StretchedPixel(199, button->m_hWnd, 3, 3), StretchedPixel(200, button->m_hWnd, 3, 3));
            button->SetState(FALSE);
            dlg.EndDialog(IDCANCEL);
        });
    }
}

}  // namespace
