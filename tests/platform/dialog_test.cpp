// Dialogs from templates: the controls they build, data exchange and
// subclassing, Enter / Escape / WM_CLOSE routing.
#include <functional>
#include <vector>

#include "tests/platform/ui_test.h"

using platform_testing::PressKey;

namespace {

// Rounds a * b / c half away from zero, as dialog-unit conversion does.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

// A dialog that runs a script once its modal loop is up.
constexpr UINT WM_RUN_SCRIPT = WM_USER + 50;

class ScriptDlg : public CDialogEx {
public:
    explicit ScriptDlg(const DialogTemplate* t, CWnd* parent = nullptr) : CDialogEx(t, parent) {}
    std::function<void(ScriptDlg&)> onInit;
    std::function<void(ScriptDlg&)> script;
    std::vector<UINT> commands;

    BOOL OnInitDialog() override
    {
        CDialogEx::OnInitDialog();
        if (onInit) onInit(*this);
        PostMessage(WM_RUN_SCRIPT);
        return TRUE;
    }
    BOOL OnCommand(WPARAM w, LPARAM l) override
    {
        if (HIWORD(w) == 0) commands.push_back(LOWORD(w));  // clicks and keys, not field notifications
        return CDialogEx::OnCommand(w, l);
    }
    afx_msg LRESULT OnRunScript(WPARAM, LPARAM)
    {
        if (script) script(*this);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ScriptDlg, CDialogEx)
    ON_MESSAGE(WM_RUN_SCRIPT, &ScriptDlg::OnRunScript)
END_MESSAGE_MAP()

class DialogTest : public UiTest {};

TEST_F(DialogTest, TemplateControlsGetTheirIdsKindsAndPixelRectangles)
{
    enum class Kind { Edit, Button, Static, Combo, Slider, Progress, Custom };
    struct Row {
        DialogControl control;
        Kind kind;
    };
    // clang-format off
    const std::vector<Row> rows = {
        {Control(1001, "EDIT", ES_CENTER | ES_AUTOHSCROLL, 7, 9, 50, 14, L"12"), Kind::Edit},
        {Control(1002, "BUTTON", BS_OWNERDRAW, 60, 9, 40, 14, L"Mute"), Kind::Button},
        {Control(1003, "BUTTON", BS_AUTOCHECKBOX, 60, 30, 40, 10, L"Link"), Kind::Button},
        {Control(1004, "STATIC", SS_LEFT, 3, 40, 101, 8, L"&Source"), Kind::Static},
        {Control(1005, "COMBOBOX", CBS_DROPDOWNLIST, 110, 9, 60, 80), Kind::Combo},
        {Control(1006, "msctls_trackbar32", TBS_VERT, 180, 5, 15, 90), Kind::Slider},
        {Control(1007, "msctls_progress32", 0, 5, 80, 150, 9), Kind::Progress},
        {Control(1233, "SpectrumClass", 0, 11, 51, 97, 23), Kind::Custom},
    };
    // clang-format on
    std::vector<DialogControl> controls;
    for (const Row& r : rows) controls.push_back(r.control);
    const DialogTemplate t = MakeTemplate(9201, controls);

    ScriptDlg dlg(&t);
    dlg.onInit = [&](ScriptDlg& d) {
        const DialogBaseUnits bu = GetDialogBaseUnits(t, GetScreenDpi());
        ASSERT_GT(bu.x, 0);
        ASSERT_GT(bu.y, 0);
        EXPECT_EQ(d.GetBaseUnits().x, bu.x);
        CRect client;
        d.GetClientRect(&client);
        EXPECT_EQ(client.Width(), MulDiv(200, bu.x, 4));
        EXPECT_EQ(client.Height(), MulDiv(100, bu.y, 8));
        for (const Row& r : rows) {
            const DialogControl& c = r.control;
            SCOPED_TRACE(c.id);
            CWnd* item = d.GetDlgItem(c.id);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->GetDlgCtrlID(), c.id);
            EXPECT_EQ(item->GetParent(), &d);
            EXPECT_NE(item->GetSafeHwnd(), nullptr);
            switch (r.kind) {
            case Kind::Edit: EXPECT_NE(dynamic_cast<CEdit*>(item), nullptr); break;
            case Kind::Button: EXPECT_NE(dynamic_cast<CButton*>(item), nullptr); break;
            case Kind::Static: EXPECT_NE(dynamic_cast<CStatic*>(item), nullptr); break;
            case Kind::Combo: EXPECT_NE(dynamic_cast<CComboBox*>(item), nullptr); break;
            case Kind::Slider: EXPECT_NE(dynamic_cast<CSliderCtrl*>(item), nullptr); break;
            case Kind::Progress: EXPECT_NE(dynamic_cast<CProgressCtrl*>(item), nullptr); break;
            case Kind::Custom:
                EXPECT_EQ(dynamic_cast<CEdit*>(item), nullptr);
                EXPECT_EQ(dynamic_cast<CStatic*>(item), nullptr);
                break;
            }
            EXPECT_EQ(item->GetWindowTextString(), c.text);
            EXPECT_EQ(item->GetStyle() & ~WS_VISIBLE, c.style & ~WS_VISIBLE);
            CRect rc;
            item->GetWindowRect(&rc);
            d.ScreenToClient(&rc);
            EXPECT_EQ(rc.left, MulDiv(c.x, bu.x, 4));
            EXPECT_EQ(rc.top, MulDiv(c.y, bu.y, 8));
            EXPECT_EQ(rc.right, MulDiv(c.x + c.cx, bu.x, 4));
            // A combo box's window is its selection field; the template
            // height is that of the dropped list.
            if (r.kind != Kind::Combo) EXPECT_EQ(rc.bottom, MulDiv(c.y + c.cy, bu.y, 8));
            else EXPECT_LT(rc.Height(), MulDiv(c.cy, bu.y, 8));
        }
        EXPECT_EQ(d.GetDlgItem(4242), nullptr);
    };
    dlg.script = [](ScriptDlg& d) { d.EndDialog(5); };
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST_F(DialogTest, MissingTemplateGivesMinusOne)
{
    CDialogEx dlg(static_cast<UINT>(65000));
    EXPECT_EQ(dlg.DoModal(), -1);
}

// An edit field that steps on Up / Down itself and commits on Enter in its
// PreTranslateMessage; every other key gets the default processing.
class StepEdit : public CEdit {
public:
    int steps = 0;
    int enters = 0;
    BOOL PreTranslateMessage(MSG* msg) override
    {
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) ++enters;
        return CEdit::PreTranslateMessage(msg);
    }
    afx_msg void OnKeyDown(UINT key, UINT repeat, UINT flags)
    {
        if (key == VK_UP || key == VK_DOWN) {
            ++steps;
            return;
        }
        CEdit::OnKeyDown(key, repeat, flags);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(StepEdit, CEdit)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class FieldsDlg : public ScriptDlg {
public:
    using ScriptDlg::ScriptDlg;
    StepEdit m_ddxField;
    StepEdit m_subclassedField;
    int cancels = 0;
    int okClicks = 0;

    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, 1101, m_ddxField); }
    BOOL OnInitDialog() override
    {
        const BOOL r = ScriptDlg::OnInitDialog();
        m_subclassedField.SubclassDlgItem(1102, this);
        return r;
    }
    void OnCancel() override { ++cancels; }  // Escape does not close this one
};

TEST_F(DialogTest, AttachedFieldsReceiveKeysAndEnterGoesOnToTheDialog)
{
    const DialogTemplate t = MakeTemplate(9202, {
                                                    Control(1101, "EDIT", WS_TABSTOP, 5, 5, 40, 12),
                                                    Control(1102, "EDIT", WS_TABSTOP, 5, 20, 40, 12),
                                                    Control(IDOK, "BUTTON", BS_DEFPUSHBUTTON, 5, 40, 40, 14, L"OK"),
                                                    Control(IDCANCEL, "BUTTON", 0, 50, 40, 40, 14, L"Cancel"),
                                                });
    FieldsDlg dlg(&t);
    dlg.script = [](ScriptDlg& base) {
        auto& d = static_cast<FieldsDlg&>(base);
        EXPECT_EQ(d.GetDlgItem(1101), &d.m_ddxField);
        EXPECT_EQ(d.GetDlgItem(1102), &d.m_subclassedField);
        EXPECT_FALSE(StepEdit().SubclassDlgItem(4242, &d));
        const HWND field = d.m_subclassedField.m_hWnd;
        PressKey(field, VK_UP);
        PressKey(field, VK_DOWN);
        PressKey(field, 'A', L'a');
        PressKey(field, '7', L'7');
        EXPECT_EQ(d.m_subclassedField.steps, 2);
        EXPECT_EQ(d.m_subclassedField.GetWindowTextString(), L"a7");
        PressKey(d.m_ddxField.m_hWnd, VK_ESCAPE);  // IDCANCEL reaches the OnCancel override
        EXPECT_EQ(d.cancels, 1);
        // The field sees Enter first; then the dialog's default button.
        PressKey(field, VK_RETURN);
        EXPECT_EQ(d.m_subclassedField.enters, 1);
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.cancels, 1);
    EXPECT_EQ(dlg.m_ddxField.m_hWnd, nullptr);
    EXPECT_EQ(dlg.m_subclassedField.m_hWnd, nullptr);
}

TEST_F(DialogTest, EnterUsesTheDefaultIdAndEscapeAndCloseCancel)
{
    struct Case {
        const char* name;
        UINT key;        // 0: WM_CLOSE instead of a key
        int defId;       // 0: keep the template's
        INT_PTR result;  // 99: the key leaves the dialog open
        UINT command;    // the WM_COMMAND id the dialog saw first
    } cases[] = {
        // clang-format off
        {"enter to IDOK", VK_RETURN, 0, IDOK, IDOK},
        {"enter to a static default id", VK_RETURN, 1412, 99, 1412},
        {"escape", VK_ESCAPE, 0, IDCANCEL, IDCANCEL},
        {"close", 0, 0, IDCANCEL, IDCANCEL},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DialogTemplate t = MakeTemplate(9203, {
                                                        Control(1001, "EDIT", WS_TABSTOP, 5, 5, 40, 12),
                                                        Control(1412, "STATIC", 0, 5, 20, 40, 8, L"Freq"),
                                                        Control(IDOK, "BUTTON", 0, 5, 40, 40, 14, L"OK"),
                                                    });
        ScriptDlg dlg(&t);
        dlg.script = [&c](ScriptDlg& d) {
            if (c.defId) d.SetDefID(static_cast<UINT>(c.defId));
            if (c.key) PressKey(d.GetDlgItem(1001)->m_hWnd, c.key);
            else d.SendMessage(WM_CLOSE);
            if (c.result == 99) d.EndDialog(99);  // the key left the dialog open
        };
        const INT_PTR r = dlg.DoModal();
        EXPECT_EQ(r, c.result);
        ASSERT_FALSE(dlg.commands.empty());
        EXPECT_EQ(dlg.commands.front(), c.command);
    }
}

TEST_F(DialogTest, EnterOnAFocusedPushButtonClicksThatButton)
{
    const DialogTemplate t = MakeTemplate(9204, {
                                                    Control(1300, "BUTTON", WS_TABSTOP, 5, 5, 40, 14, L"Apply"),
                                                    Control(IDOK, "BUTTON", BS_DEFPUSHBUTTON, 50, 5, 40, 14, L"OK"),
                                                });
    ScriptDlg dlg(&t);
    dlg.script = [](ScriptDlg& d) {
        CWnd* apply = d.GetDlgItem(1300);
        platform_testing::Activate(d.m_hWnd);
        apply->SetFocus();
        ASSERT_EQ(CWnd::GetFocus(), apply);
        PressKey(apply->m_hWnd, VK_RETURN);
        d.EndDialog(3);
    };
    EXPECT_EQ(dlg.DoModal(), 3);
    EXPECT_EQ(dlg.commands, std::vector<UINT>{1300});
}

}  // namespace

// The window manager sees the program's own window (WS_EX_APPWINDOW, no
// owner) as a normal window, not modal and in front of nothing, although
// its loop is modal; a popup it owns stays a modal dialog in front of it,
// and so does any other dialog without an owner.
TEST_F(DialogTest, AnOwnerlessAppWindowIsANormalWindowAndItsPopupsModalDialogs)
{
    using platform_testing::WindowManagerHintsOf;
    DialogTemplate mainTemplate = MakeTemplate(9206, {Control(IDOK, "BUTTON", 0, 5, 40, 40, 14, L"OK")});
    mainTemplate.exStyle = WS_EX_APPWINDOW;
    const DialogTemplate popupTemplate = MakeTemplate(9207, {Control(IDOK, "BUTTON", 0, 5, 40, 40, 14, L"OK")});

    ScriptDlg main(&mainTemplate);
    bool popupRan = false;
    main.script = [&](ScriptDlg& m) {
        const auto hints = WindowManagerHintsOf(m.m_hWnd);
        EXPECT_FALSE(hints.dialog);
        EXPECT_FALSE(hints.modal);
        EXPECT_EQ(hints.transientFor, nullptr);
        ScriptDlg popup(&popupTemplate, &m);
        popup.script = [&](ScriptDlg& p) {
            popupRan = true;
            const auto hints = WindowManagerHintsOf(p.m_hWnd);
            EXPECT_TRUE(hints.dialog);
            EXPECT_TRUE(hints.modal);
            EXPECT_EQ(hints.transientFor, m.m_hWnd);
            // The program's loop stays modal: the popup's loop runs inside it.
            EXPECT_EQ(platform_testing::TopModalDialog(), p.m_hWnd);
            p.EndDialog(IDOK);
        };
        EXPECT_EQ(popup.DoModal(), IDOK);
        m.EndDialog(7);
    };
    EXPECT_EQ(main.DoModal(), 7);
    EXPECT_TRUE(popupRan);

    ScriptDlg plain(&popupTemplate);
    plain.script = [](ScriptDlg& p) {
        const auto hints = WindowManagerHintsOf(p.m_hWnd);
        EXPECT_TRUE(hints.dialog);
        EXPECT_TRUE(hints.modal);
        p.EndDialog(IDOK);
    };
    EXPECT_EQ(plain.DoModal(), IDOK);
}
