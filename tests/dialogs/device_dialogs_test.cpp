// The device-preset, channel-name, input-source and settings popups, run
// modally through keys and clicks in both languages: what each shows, what
// it returns or sends, and that no text is cut.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "dialogs/dialogsetup.h"
#include "dialogs/importmodedsp.h"
#include "dialogs/inputaudiosource.h"
#include "dialogs/savechannelname.h"
#include "dialogs/savemodetodsp.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "res/resource.h"
#include "tests/dialogs/dialog_fixture.h"
#include "tests/support/edit_selection.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

using namespace dialogs_testing;
using platform_testing::GrabWindowPixel;
using platform_testing::PressKey;
using platform_testing::PumpUntil;

class DeviceDialogsTest : public DialogTest {
protected:
    // The volumes the settings dialog reports to the main window, in order.
    void RecordMixVolumes(std::vector<WPARAM>& sent)
    {
        main.onMessage = [&sent](const FakeMainWnd::Received& r) {
            if (r.message == WM_MIX_VOLUME_CHANGED) sent.push_back(r.wParam);
        };
    }
};

std::wstring Text(CDialog& dlg, int id) { return dlg.GetDlgItem(id)->GetWindowTextString(); }
CComboBox* Combo(CDialog& dlg, int id) { return static_cast<CComboBox*>(dlg.GetDlgItem(id)); }

void Type(CWnd* edit, const std::wstring& text)
{
    edit->SetFocus();
    for (wchar_t ch : text) PressKey(edit->m_hWnd, 0, ch);
}

// Every text of the popup's own texts fits its control in the popup font.
void ExpectTextsFit(CDialog& dlg, std::initializer_list<int> ids)
{
    for (int id : ids) {
        CWnd* item = dlg.GetDlgItem(id);
        ASSERT_NE(item, nullptr) << id;
        std::wstring text = item->GetWindowTextString();
        if (text.empty()) continue;
        CClientDC dc(item);
        CFont font;
        CreatePopupFont(font);
        CFont* old = dc.SelectObject(&font);
        const CSize size = dc.GetTextExtent(text);
        dc.SelectObject(old);
        CRect r;
        item->GetClientRect(&r);
        EXPECT_LE(size.cx, r.Width()) << id << " " << std::string(text.begin(), text.end());
        EXPECT_LE(size.cy, r.Height() + 2) << id;
    }
}

void Names(PresetNameRecords& records)
{
    std::memset(records, 0, sizeof records);
    for (int i = 0; i < 8; ++i) std::snprintf(records[i], kNameRecordBytes, "Slot %d", i);
    std::memcpy(records[5], "ABCDEFGHIJKLMNOPQRST", 20);  // no terminator
}

TEST_F(DeviceDialogsTest, RecallShowsTheSlotsAndTheirNamesAndReturnsTheChoice)
{
    PresetNameRecords names;
    Names(names);
    struct Row {
        uint16_t language;
        const wchar_t* title;
        const wchar_t* firstItem;
    };
    for (const Row& row : {Row{LANG_ENGLISH_US, L"LoadSoundFromDevice", L"Default"},
                           Row{LANG_CHINESE_PRC, L"加载 机器预置场景", L"当前"}}) {
        g_languageId = row.language;
        CImportModeDsp dlg(3, names);
        const INT_PTR result = RunModal(dlg, [&] {
            EXPECT_EQ(Text(dlg, IDC_IMPORT_TITLE), row.title);
            CComboBox* combo = Combo(dlg, IDC_PRESET_SLOT);
            ASSERT_EQ(combo->GetCount(), 7);
            std::wstring item;
            combo->GetLBText(0, item);
            EXPECT_EQ(item, row.firstItem);
            EXPECT_EQ(combo->GetCurSel(), 3);
            EXPECT_EQ(Text(dlg, IDC_NAME_EDIT), L"Slot 3");
            // The read-only name: black on white.
            CWnd* name = dlg.GetDlgItem(IDC_NAME_EDIT);
            EXPECT_EQ(GrabWindowPixel(name->m_hWnd, 3, 3) & 0xFFFFFF, 0xFFFFFFu);
            ExpectTextsFit(dlg, {IDOK, IDCANCEL, IDC_IMPORT_TITLE, IDC_IMPORT_ID_LABEL, IDC_IMPORT_NAME_LABEL});
            combo->SetFocus();
            PressKey(combo->m_hWnd, VK_DOWN);
            PressKey(combo->m_hWnd, VK_DOWN);
            EXPECT_EQ(Text(dlg, IDC_NAME_EDIT), L"ABCDEFGHIJKLMNOPQRST");
            PressKey(combo->m_hWnd, VK_HOME);
            EXPECT_EQ(Text(dlg, IDC_NAME_EDIT), L"Slot 0");
            Click(dlg.GetDlgItem(IDOK));
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(dlg.GetSelectedSlot(), 0);
    }

    // Slot 7 has no item: nothing selected, its name shown, 7 returned.
    CImportModeDsp seven(7, names);
    EXPECT_EQ(RunModal(seven,
                       [&] {
                           EXPECT_EQ(Combo(seven, IDC_PRESET_SLOT)->GetCurSel(), -1);
                           EXPECT_EQ(Text(seven, IDC_NAME_EDIT), L"Slot 7");
                           PressKey(seven.m_hWnd, VK_RETURN);
                       }),
              IDOK);
    EXPECT_EQ(seven.GetSelectedSlot(), 7);
    CImportModeDsp cancelled(2, names);
    EXPECT_EQ(RunModal(cancelled, [&] { PressKey(cancelled.m_hWnd, VK_ESCAPE); }), IDCANCEL);
}

TEST_F(DeviceDialogsTest, SaveTakesTenCharactersAndSaysOnceWhenTheNameIsLonger)
{
    ScriptedDialogs boxes;
    PresetNameRecords names;
    Names(names);
    CSaveModeToDsp dlg(2, names);
    std::wstring typed;
    const INT_PTR result = RunModal(dlg, [&] {
        ExpectTextsFit(dlg, {IDOK, IDCANCEL, IDC_SAVE_TITLE, IDC_SAVE_ID_LABEL, IDC_SAVE_NAME_LABEL});
        CWnd* edit = dlg.GetDlgItem(IDC_NAME_EDIT);
        EXPECT_EQ(edit->GetWindowTextString(), L"Slot 2");
        edit->SetWindowText(L"");
        Type(edit, L"Evening drive");  // 13 typed, 10 kept
        typed = edit->GetWindowTextString();
        // Another slot replaces the typed text by its stored name, here one
        // of 20 characters that cannot be saved unchanged.
        CComboBox* combo = Combo(dlg, IDC_PRESET_SLOT);
        combo->SetFocus();
        PressKey(combo->m_hWnd, VK_DOWN);
        PressKey(combo->m_hWnd, VK_DOWN);
        PressKey(combo->m_hWnd, VK_DOWN);
        EXPECT_EQ(edit->GetWindowTextString(), L"ABCDEFGHIJKLMNOPQRST");
        Click(dlg.GetDlgItem(IDOK));
        EXPECT_TRUE(dlg.IsWindowVisible());
        EXPECT_EQ(boxes.Boxes().size(), 1u);
        edit->SetWindowText(L"前左喇叭被设置为静音");
        Click(dlg.GetDlgItem(IDOK));
    });
    EXPECT_EQ(typed, L"Evening dr");
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.GetSelectedSlot(), 5);
    std::wstring name;
    dlg.GetName(name);
    EXPECT_EQ(name, L"前左喇叭被设置为静音");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_NE(boxes.Boxes()[0].text.find(L"10"), std::wstring::npos);
}

TEST_F(DeviceDialogsTest, ChannelNameShowsTheStoredOrDefaultNameAndTakesTheNewOne)
{
    struct Row {
        uint16_t language;
        int channel;
        const char* record;
        const wchar_t* shown;
    };
    // clang-format off
    const Row rows[] = {
        {LANG_ENGLISH_US, 6, "", L"CH7"},
        {LANG_CHINESE_PRC, 11, "Woofer", L"Woofer"},
        {LANG_CHINESE_PRC, 0, "\xC7\xB0\xD7\xF3", L"前左"},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.channel);
        g_languageId = row.language;
        char record[kNameRecordBytes] = {};
        std::memcpy(record, row.record, std::strlen(row.record));
        CSaveChannelName dlg(row.channel, record);
        const INT_PTR result = RunModal(dlg, [&] {
            platform_testing::Activate(dlg.m_hWnd);
            EXPECT_EQ(Text(dlg, IDC_NAME_EDIT), row.shown);
            EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(IDC_NEW_NAME_EDIT));
            ExpectTextsFit(dlg, {IDOK, IDCANCEL, IDC_CURRENT_NAME_LABEL, IDC_NEW_NAME_LABEL});
            Type(dlg.GetDlgItem(IDC_NEW_NAME_EDIT), L"Door left front");
            PressKey(dlg.GetDlgItem(IDC_NEW_NAME_EDIT)->m_hWnd, VK_RETURN);
        });
        EXPECT_EQ(result, IDOK);
        std::wstring name;
        dlg.GetName(name);
        EXPECT_EQ(name, L"Door left front");
    }
    char empty[kNameRecordBytes] = {};
    CSaveChannelName cancelled(3, empty);
    EXPECT_EQ(RunModal(cancelled, [&] { PressKey(cancelled.m_hWnd, VK_ESCAPE); }), IDCANCEL);
    std::wstring name = L"x";
    cancelled.GetName(name);
    EXPECT_EQ(name, L"");
}

TEST_F(DeviceDialogsTest, SourceListAndTheHighLevelMixToggle)
{
    EXPECT_EQ(SourceIndexOfCode(9), 4);
    EXPECT_EQ(SourceIndexOfCode(5), 3);
    EXPECT_EQ(SourceIndexOfCode(4), 3);
    EXPECT_EQ(SourceIndexOfCode(6), 5);
    EXPECT_EQ(SourceCodeOfIndex(3), 5);
    EXPECT_EQ(SourceCodeOfIndex(4), 9);
    EXPECT_EQ(SourceCodeOfIndex(2), 3);

    for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
        g_languageId = language;
        CInputAudioSource dlg(0, 0);
        const INT_PTR result = RunModal(dlg, [&] {
            ExpectTextsFit(dlg, {IDOK, IDCANCEL, IDC_HIGH_LEVEL_MIX_LABEL});
            CWnd* toggle = dlg.GetDlgItem(IDC_HIGH_LEVEL_MIX);
            CRect r;
            toggle->GetClientRect(&r);
            EXPECT_EQ(r.Width(), 12);
            const COLORREF disabled = StretchedPixel(IDB_MIX_DISABLED, toggle->m_hWnd, 5, 5);
            const COLORREF off = StretchedPixel(IDB_MIX_OFF, toggle->m_hWnd, 5, 5);
            const COLORREF on = StretchedPixel(IDB_MIX_ON, toggle->m_hWnd, 5, 5);
            EXPECT_TRUE(disabled != off && off != on && on != disabled);
            EXPECT_EQ(GrabWindowPixel(toggle->m_hWnd, 5, 5), disabled);  // 314: High Level
            Click(toggle);
            EXPECT_EQ(dlg.GetHighLevelMix(), 0);
            CComboBox* combo = Combo(dlg, IDC_SOURCE_COMBO);
            combo->SetFocus();
            PressKey(combo->m_hWnd, VK_DOWN);
            PressKey(combo->m_hWnd, VK_DOWN);                       // Bluetooth
            EXPECT_EQ(GrabWindowPixel(toggle->m_hWnd, 5, 5), off);  // 284: off
            Click(toggle);
            EXPECT_EQ(GrabWindowPixel(toggle->m_hWnd, 5, 5), on);  // 283: on
            Click(dlg.GetDlgItem(IDOK));
        });
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(dlg.GetSourceIndex(), 2);
        EXPECT_EQ(dlg.GetHighLevelMix(), 1);
    }
    CInputAudioSource usb(4, 1);
    RunModal(usb, [&] {
        std::wstring item;
        Combo(usb, IDC_SOURCE_COMBO)->GetLBText(Combo(usb, IDC_SOURCE_COMBO)->GetCurSel(), item);
        EXPECT_EQ(item, L"USB");
        PressKey(usb.m_hWnd, VK_ESCAPE);
    });
    CInputAudioSource aux12(5, 0);  // code 6 has no item
    EXPECT_EQ(RunModal(aux12,
                       [&] {
                           EXPECT_EQ(Combo(aux12, IDC_SOURCE_COMBO)->GetCurSel(), -1);
                           Click(aux12.GetDlgItem(IDOK));
                       }),
              IDOK);
    EXPECT_EQ(aux12.GetSourceIndex(), 5);
}

TEST_F(DeviceDialogsTest, SetupMixVolumeStepsAndTypedTexts)
{
    CDialogSetup dlg(0);
    std::vector<WPARAM> sent;
    RecordMixVolumes(sent);
    RunModal(dlg, [&] {
        CWnd* edit = dlg.GetDlgItem(IDC_MIX_VOLUME);
        EXPECT_EQ(edit->GetWindowTextString(), L"0dB");
        edit->SetFocus();
        PressKey(edit->m_hWnd, VK_UP);  // at 0: nothing
        PressKey(edit->m_hWnd, VK_DOWN);
        EXPECT_EQ(edit->GetWindowTextString(), L"-1dB");
        struct Typed {
            const wchar_t* text;
            int value;
        } typed[] = {{L"OFF", 60}, {L"-7", 7}, {L"-x", 7},   {L"-61", 7},    {L"-60", 60}, {L"12", 60},
                     {L"off", 60}, {L"0", 0},  {L"-12", 12}, {L"-12dB", 12}, {L"0dB", 0}};
        for (const Typed& t : typed) {
            edit->SetWindowText(t.text);
            PressKey(edit->m_hWnd, VK_RETURN);
            EXPECT_EQ(dlg.GetMixVolume(), static_cast<unsigned>(t.value)) << std::wstring(t.text).size();
        }
        EXPECT_EQ(edit->GetWindowTextString(), L"0dB");
        EXPECT_TRUE(dlg.IsWindowVisible());  // Enter never closes it
        PressKey(dlg.m_hWnd, VK_ESCAPE);
    });
    main.onMessage = nullptr;
    EXPECT_EQ(sent, (std::vector<WPARAM>{1, 60, 7, 60, 0, 12, 0}));
}

// The mix volume field behaves as every other entry field: a click selects
// the whole text, so what is typed replaces it, and releasing Up or Down
// selects it again; leaving the field commits it once.
TEST_F(DeviceDialogsTest, SetupMixVolumeFieldSelectsItsTextOnClickAndStep)
{
    CDialogSetup dlg(12);
    std::vector<WPARAM> sent;
    RecordMixVolumes(sent);
    RunModal(dlg, [&] {
        platform_testing::Activate(dlg.m_hWnd);
        CEdit& edit = dlg.m_editVol;
        Click(&edit);
        EXPECT_EQ(CWnd::GetFocus(), &edit);
        EXPECT_TRUE(WholeTextSelected(edit));
        for (wchar_t ch : std::wstring(L"-5")) PressKey(edit.m_hWnd, 0, ch);
        EXPECT_EQ(edit.GetWindowTextString(), L"-5");
        PressKey(edit.m_hWnd, VK_RETURN);
        EXPECT_EQ(dlg.GetMixVolume(), 5u);
        EXPECT_EQ(edit.GetWindowTextString(), L"-5dB");
        for (UINT key : {VK_DOWN, VK_UP, VK_UP}) {
            edit.SetSel(1, 1);
            PressKey(edit.m_hWnd, key);
            EXPECT_TRUE(WholeTextSelected(edit)) << key;
        }
        EXPECT_EQ(edit.GetWindowTextString(), L"-4dB");
        Click(&edit);
        for (wchar_t ch : std::wstring(L"-9")) PressKey(edit.m_hWnd, 0, ch);
        dlg.GetDlgItem(IDC_LANGUAGE_COMBO)->SetFocus();  // leaving commits
        EXPECT_EQ(dlg.GetMixVolume(), 9u);
        EXPECT_EQ(edit.GetWindowTextString(), L"-9dB");
        PressKey(dlg.m_hWnd, VK_ESCAPE);
    });
    main.onMessage = nullptr;
    EXPECT_EQ(sent, (std::vector<WPARAM>{5, 6, 5, 4, 9}));
}

TEST_F(DeviceDialogsTest, SetupCommandsCloseTheDialogFirstFactoryResetAsks)
{
    struct Row {
        int button;
        int answer;  // factory reset's question
        WPARAM command;
        bool sends;
    };
    // clang-format off
    const Row rows[] = {
        {IDC_SETUP_UPGRADE, 0, 0, true},
        {IDC_SETUP_FACTORY_RESET, IDNO, 1, false},
        {IDC_SETUP_FACTORY_RESET, IDYES, 1, true},
        {IDC_SETUP_ABOUT, 0, 2, true},
    };
    // clang-format on
    for (uint16_t language : {LANG_ENGLISH_US, LANG_CHINESE_PRC}) {
        g_languageId = language;
        for (const Row& row : rows) {
            SCOPED_TRACE(row.button);
            ScriptedDialogs boxes;
            if (row.answer) boxes.AnswerBox(row.answer);
            main.received.clear();
            CDialogSetup dlg(12);
            bool visibleDuringCommand = true;
            main.onMessage = [&](const FakeMainWnd::Received& r) {
                if (r.message == WM_SETUP_COMMAND) visibleDuringCommand = dlg.IsWindowVisible();
            };
            const INT_PTR result = RunModal(dlg, [&] {
                EXPECT_EQ(Text(dlg, IDC_MIX_VOLUME), L"-12dB");
                ExpectTextsFit(dlg, {IDC_SETUP_UPGRADE, IDC_SETUP_FACTORY_RESET, IDC_SETUP_ABOUT, IDC_SETUP_TITLE,
                                     IDC_MIX_VOLUME_LABEL, IDC_LANGUAGE_LABEL});
                Click(dlg.GetDlgItem(row.button));
                if (!row.sends) {
                    EXPECT_TRUE(dlg.IsWindowVisible());
                    PressKey(dlg.m_hWnd, VK_ESCAPE);
                }
            });
            main.onMessage = nullptr;
            EXPECT_EQ(result, IDCANCEL);
            EXPECT_EQ(Count(WM_SETUP_COMMAND), row.sends ? 1 : 0);
            if (row.sends) {
                EXPECT_EQ(main.received.back().wParam, row.command);
                EXPECT_FALSE(visibleDuringCommand);
            }
            if (row.answer) {
                ASSERT_EQ(boxes.Boxes().size(), 1u);
                EXPECT_EQ(boxes.Boxes()[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
            }
        }
    }
}

// The language file at the first folder where it can be written; "Auto"
// deletes every one there is; a failure says so.
TEST_F(DeviceDialogsTest, LanguageChoiceWritesOrDeletesTheLanguageFile)
{
    const ScratchDir scratch("tarvel_setup");
    ASSERT_FALSE(scratch.Path().empty());
    const fs::path root = scratch.Path();
    fs::create_directories(root / "home");
    fs::create_directories(root / "work");
    FileBases bases{(root / "config" / "tarvel").string(), (root / "home").string(), (root / "work").string()};
    SetFileBasesForTests(bases);
    const auto paths = LanguageFilePaths(kLanguageFileName, bases);
    auto choose = [&](int item, std::vector<MessageBoxRequest>& shown) {
        ScriptedDialogs boxes;
        CDialogSetup dlg(0);
        RunModal(dlg, [&] {
            CComboBox* combo = Combo(dlg, IDC_LANGUAGE_COMBO);
            combo->SetFocus();
            PressKey(combo->m_hWnd, VK_HOME);
            for (int i = 0; i < item; ++i) PressKey(combo->m_hWnd, VK_DOWN);
            PressKey(dlg.m_hWnd, VK_ESCAPE);
        });
        shown = boxes.Boxes();
    };
    std::vector<MessageBoxRequest> shown;
    g_languageChoice = 0;
    choose(2, shown);  // English
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(paths[0], &bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x09, 0x04}));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().text, LoadResString(IDS_RESTART_TO_APPLY));

    // The disk full: said so, and the file keeps the choice.
    SetReplaceWriteLimitForTests(0);
    choose(1, shown);
    SetReplaceWriteLimitForTests(std::nullopt);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back().text, LoadResString(IDS_LANGUAGE_NOT_STORED));
    ASSERT_TRUE(ReadFileBytes(paths[0], &bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{0x09, 0x04}));

    // A second file in the working folder: "Auto" deletes both.
    ASSERT_TRUE(WriteFileBytes(paths[2], bytes.data(), bytes.size()));
    g_languageChoice = 2;
    choose(0, shown);
    EXPECT_FALSE(FileExists(paths[0]));
    EXPECT_FALSE(FileExists(paths[2]));
    EXPECT_EQ(shown.back().text, LoadResString(IDS_RESTART_TO_APPLY));

    // No folder can be written: said so, not "restart to apply".
    SetFileBasesForTests(FileBases{"/proc/nowhere/tarvel", "/proc/nowhere", "/proc/nowhere2"});
    g_languageChoice = 0;
    choose(1, shown);
    EXPECT_EQ(shown.back().text, LoadResString(IDS_LANGUAGE_NOT_STORED));
    SetFileBasesForTests(std::nullopt);
    g_languageChoice = 0;
}

}  // namespace
