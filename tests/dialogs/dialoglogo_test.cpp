// The device model picker: the choice and its default routing, ending by
// itself on identification, Cancel closing the main window, its size and
// bitmaps by DPI.
#include <string>

#include "dialogs/dialoglogo.h"
#include "model/resets.h"
#include "res/resource.h"
#include "tests/dialogs/dialog_fixture.h"

namespace {

using namespace dialogs_testing;
using platform_testing::GrabWindowPixel;
using platform_testing::PressKey;

class DialogLogoTest : public DialogTest {
protected:
    static bool RoutingIsPickerDefault(int model, bool noAux34)
    {
        const uint32_t* expected = DefaultRoutingFor(model, noAux34, true);
        return expected && std::equal(expected, expected + kChannels, g_routingMask);
    }
    static void ScrambleRouting()
    {
        for (int c = 0; c < kChannels; ++c) g_routingMask[c] = 0xA5A5u + static_cast<uint32_t>(c);
    }
};

TEST_F(DialogLogoTest, ConfirmedChoiceSetsModelRelayoutAndItsDefaultRouting)
{
    enum Confirm { EnterButton, EnterKey };
    struct Row {
        const char* what;
        std::vector<int> clicks;
        Confirm confirm;
        uint8_t noAux34;
        int model;
    };
    // clang-format off
    const Row rows[] = {
        {"no click, Enter button", {}, EnterButton, 0, 4},
        {"no click, Enter key", {}, EnterKey, 1, 4},
        {"second button", {IDC_MODEL_BUTTON7}, EnterButton, 0, 8},
        {"second caption", {IDC_MODEL_CAPTION7}, EnterKey, 1, 8},
        {"second, then first caption", {IDC_MODEL_BUTTON7, IDC_MODEL_CAPTION2}, EnterButton, 1, 4},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        g_deviceModel = 1;
        g_relayoutPending = 0;
        g_noAux34 = row.noAux34;
        ScrambleRouting();
        CDialogLogo dlg;
        const INT_PTR result = RunModal(dlg, [&] {
            for (int id : row.clicks) Click(dlg.GetDlgItem(id));
            if (row.confirm == EnterButton) Click(dlg.GetDlgItem(IDC_LOGO_ENTER));
            else PressKey(dlg.m_hWnd, VK_RETURN);
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(g_deviceModel.load(), row.model);
        EXPECT_EQ(g_relayoutPending, 1);
        EXPECT_TRUE(RoutingIsPickerDefault(row.model, row.noAux34 != 0));
        EXPECT_TRUE(main.received.empty());
    }
}

TEST_F(DialogLogoTest, EndsByItselfOnceTheDeviceIdentifiedChangingNothing)
{
    for (bool alreadyIdentified : {true, false}) {
        SCOPED_TRACE(alreadyIdentified);
        g_deviceModel = 8;  // as the link decoded it
        g_deviceInfoReceived = alreadyIdentified ? 1 : 0;
        ScrambleRouting();
        CDialogLogo dlg;
        const INT_PTR result = RunModal(dlg, [&] {
            Click(dlg.GetDlgItem(IDC_MODEL_BUTTON2));
            g_deviceInfoReceived = 1;
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(g_deviceModel.load(), 8);
        EXPECT_EQ(g_relayoutPending, 0);
        EXPECT_EQ(g_routingMask[3], 0xA5A5u + 3);
    }
}

TEST_F(DialogLogoTest, EnterAfterTheDeviceIdentifiedKeepsTheDevicesModel)
{
    g_deviceModel = 8;
    ScrambleRouting();
    CDialogLogo dlg;
    const INT_PTR result = RunModal(dlg, [&] {
        // Identified between two polls of the picker, then Enter.
        g_deviceInfoReceived = 1;
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LOGO_ENTER, BN_CLICKED));
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(g_deviceModel.load(), 8);
    EXPECT_EQ(g_relayoutPending, 0);
    EXPECT_EQ(g_routingMask[0], 0xA5A5u);
}

TEST_F(DialogLogoTest, CancelClosesTheMainWindowBeforeThePickerEnds)
{
    enum How { CloseButton, EscapeKey };
    for (How how : {CloseButton, EscapeKey}) {
        SCOPED_TRACE(how);
        main.received.clear();
        CDialogLogo dlg;
        bool pickerOpenAtClose = false;
        main.onMessage = [&](const FakeMainWnd::Received& r) {
            if (r.message == WM_CLOSE) pickerOpenAtClose = dlg.m_hWnd != nullptr && dlg.IsWindowVisible();
        };
        const INT_PTR result = RunModal(dlg, [&] {
            if (how == CloseButton) Click(dlg.GetDlgItem(IDCANCEL));
            else PressKey(dlg.m_hWnd, VK_ESCAPE);
        });
        main.onMessage = nullptr;
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(Count(WM_CLOSE), 1);
        EXPECT_TRUE(pickerOpenAtClose);
        EXPECT_EQ(g_deviceModel.load(), 4);
        EXPECT_EQ(g_relayoutPending, 0);
    }
}

TEST_F(DialogLogoTest, OffersTwoModelsAndShowsTheSelectedOne)
{
    CDialogLogo dlg;
    RunModal(dlg, [&] {
        for (const CDialogLogo::ModelChoice& m : CDialogLogo::kModels) {
            SCOPED_TRACE(m.buttonId);
            EXPECT_EQ(dlg.GetDlgItem(m.buttonId)->IsWindowVisible() != FALSE, m.visible);
            EXPECT_EQ(dlg.GetDlgItem(m.captionId)->IsWindowVisible() != FALSE, m.visible);
        }
        const HWND first = dlg.GetDlgItem(IDC_MODEL_BUTTON2)->m_hWnd;
        const HWND second = dlg.GetDlgItem(IDC_MODEL_BUTTON7)->m_hWnd;
        const COLORREF selected = StretchedPixel(IDB_MODEL_SELECTED_B0, first, 5, 5);
        const COLORREF normal = StretchedPixel(IDB_MODEL_B0, first, 5, 5);
        EXPECT_NE(selected, normal);
        EXPECT_EQ(GrabWindowPixel(first, 5, 5), selected);  // 592 selected
        EXPECT_EQ(GrabWindowPixel(second, 5, 5), normal);   // 602
        Click(dlg.GetDlgItem(IDC_MODEL_CAPTION7));
        EXPECT_EQ(dlg.m_nModelIndex, 7);
        EXPECT_EQ(GrabWindowPixel(first, 5, 5), normal);
        EXPECT_EQ(GrabWindowPixel(second, 5, 5), selected);
        dlg.EndDialog(IDOK);
    });
}

TEST_F(DialogLogoTest, SizesFollowTheBitmapsOfTheDpiBucket)
{
    struct Row {
        int dpi;
        CSize dialog, enter, close, model;
    };
    // clang-format off
    const Row rows[] = {
        {96, {300, 156}, {42, 22}, {40, 22}, {12, 12}},
        {120, {375, 195}, {52, 27}, {52, 27}, {15, 15}},
        {200, {600, 312}, {78, 40}, {82, 44}, {24, 24}},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dpi);
        g_screenDpi = row.dpi;
        CDialogLogo dlg;
        RunModal(dlg, [&] {
            auto sizeOf = [&](CWnd* w) {
                CRect r;
                w->GetClientRect(&r);
                return r.Size();
            };
            EXPECT_EQ(sizeOf(&dlg), row.dialog);
            EXPECT_EQ(sizeOf(dlg.GetDlgItem(IDC_LOGO_ENTER)), row.enter);
            EXPECT_EQ(sizeOf(dlg.GetDlgItem(IDCANCEL)), row.close);
            EXPECT_EQ(sizeOf(dlg.GetDlgItem(IDC_MODEL_BUTTON7)), row.model);
            dlg.EndDialog(IDOK);
        });
    }
}

TEST_F(DialogLogoTest, ChineseTemplateServesBothLanguages)
{
    struct Row {
        uint16_t language;
        const wchar_t* enter;
    };
    for (const Row& row : {Row{LANG_ENGLISH_US, L"Enter"}, Row{LANG_CHINESE_PRC, L"进入"}}) {
        g_languageId = row.language;
        CDialogLogo dlg;
        const INT_PTR result = RunModal(dlg, [&] {
            EXPECT_EQ(dlg.GetTemplate()->language, LANG_CHINESE_PRC);
            EXPECT_FALSE(dlg.GetDlgItem(IDC_MODEL_CAPTION2)->GetWindowTextString().empty());
            EXPECT_EQ(LoadResString(IDS_ENTER), row.enter);
            // Its caption is drawn over the Enter bitmap (612).
            const HWND enter = dlg.GetDlgItem(IDC_LOGO_ENTER)->m_hWnd;
            EXPECT_EQ(GrabWindowPixel(enter, 2, 2), StretchedPixel(IDB_LOGO_ENTER_B0, enter, 2, 2));
            int textPixels = 0;
            for (int x = 0; x < 42; ++x)
                textPixels += GrabWindowPixel(enter, x, 11) != StretchedPixel(IDB_LOGO_ENTER_B0, enter, x, 11);
            EXPECT_GT(textPixels, 0);
            dlg.EndDialog(IDOK);
        });
        EXPECT_EQ(result, IDOK);
    }
}

}  // namespace
