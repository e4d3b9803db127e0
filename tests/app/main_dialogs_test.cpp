// The main window's side of presets, channel names, the input source, the
// settings and the language file, with the link off: what the user is
// asked, what is stored and what leaves for the device (the TCP send ring).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "app/tarvel.h"
#include "app/tarveldlg.h"
#include "controls/channel_strips.h"
#include "dialogs/dialogfile.h"
#include "dialogs/dialoglogo.h"
#include "dialogs/importmodedsp.h"
#include "dialogs/inputaudiosource.h"
#include "dialogs/savechannelname.h"
#include "dialogs/savemodetodsp.h"
#include "link/commands.h"
#include "link/firmware.h"
#include "link/frames.h"
#include "model/device_state.h"
#include "model/params.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/testing/testing.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

// The payloads queued for the device over TCP.
std::vector<std::vector<uint8_t>> SentOverTcp()
{
    std::vector<std::vector<uint8_t>> out;
    TcpTxRing::Slot slot;
    while (g_tcpTxRing.Pop(slot)) {
        const uint8_t len = slot.bytes[1];
        out.emplace_back(slot.bytes.begin() + 2, slot.bytes.begin() + 2 + len);
    }
    return out;
}

class MainDialogsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        g_usbConnected = 0;  // what is sent goes to the TCP ring
    }

    // Runs the main window; script runs on its own thread once the window
    // is up and the picker confirmed, and the window is closed after it.
    void Run(const std::function<void(CTarvelDlg&)>& script)
    {
        CTarvelDlg dlg;
        MainWindowTest::Run(dlg, [&] {
            script(dlg);
            OnUi([&] { ::PostMessage(dlg.m_hWnd, WM_CLOSE, 0, 0); });
        });
    }
};

TEST_F(MainDialogsTest, CheckBeforeSaveAsksAsTheModelSays)
{
    struct Case {
        const char* name;
        int master;
        std::vector<int> off;
        std::vector<int> answers;
        std::vector<int> boxes;
        BOOL result;
    } cases[] = {
        // clang-format off
        {"nothing off", 0, {}, {}, {}, TRUE},
        {"master off", 60, {0}, {}, {IDS_SAVE_MASTER_MUTED}, FALSE},
        {"CH2 off, No", 0, {1, 4}, {IDNO}, {IDS_SAVE_MUTED_CH2}, FALSE},
        {"CH1 and CH6 off, Yes twice", 0, {0, 5}, {IDYES, IDYES}, {IDS_SAVE_MUTED_CH1, IDS_SAVE_MUTED_CH6}, TRUE},
        {"CH9 off asks nothing", 0, {8}, {}, {}, TRUE},
    };
    // clang-format on
    Run([&](CTarvelDlg& dlg) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            ScriptedDialogs boxes;
            for (int a : c.answers) boxes.AnswerBox(a);
            BOOL result = -1;
            OnUi([&] {
                g_masterVolume = c.master;
                for (int& g : g_channelGain) g = 0;
                for (int ch : c.off) g_channelGain[ch] = 600;
                result = dlg.CheckBeforeSave();
            });
            EXPECT_EQ(result, c.result);
            const auto shown = boxes.Boxes();
            ASSERT_EQ(shown.size(), c.boxes.size());
            for (size_t i = 0; i < shown.size(); ++i) {
                EXPECT_EQ(shown[i].text, LoadResString(c.boxes[i]));
                EXPECT_EQ(shown[i].style & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
            }
        }
        OnUi([] {
            g_masterVolume = 0;
            for (int& g : g_channelGain) g = 0;
        });
    });
}

// A save or a recall without a device that identified itself is refused
// with a box, and nothing of it is kept: no name, no slot, nothing sent.
TEST_F(MainDialogsTest, SaveOrRecallWithoutAnIdentifiedDeviceIsRefusedAndNothingIsKept)
{
    Run([&](CTarvelDlg& dlg) {
        // Picks slot 3 in the dialog's list and presses OK.
        auto pickSlot3 = [&](CDialog* popup) {
            OnUi([&] {
                CComboBox* combo = static_cast<CComboBox*>(popup->GetDlgItem(IDC_PRESET_SLOT));
                combo->SetFocus();
                for (int i = 0; i < 3; ++i) platform_testing::PressKey(combo->m_hWnd, VK_DOWN);
                if (dynamic_cast<CSaveModeToDsp*>(popup)) popup->GetDlgItem(IDC_NAME_EDIT)->SetWindowText(L"Night");
                ::PostMessage(popup->m_hWnd, WM_COMMAND, IDOK, 0);
            });
        };
        for (const int command : {1, 0}) {
            SCOPED_TRACE(command == 1 ? "save" : "recall");
            ScriptedDialogs boxes;
            OnUi([] {
                g_presetNames[3].Clear();
                g_presetSlot = 0;
            });
            PostToUi([&] { dlg.SendMessage(WM_SCENE_COMMAND, command, 0); });
            CDialog* popup = command == 1 ? static_cast<CDialog*>(WaitForModal<CSaveModeToDsp>())
                                          : static_cast<CDialog*>(WaitForModal<CImportModeDsp>());
            ASSERT_NE(popup, nullptr);
            pickSlot3(popup);
            ASSERT_NE(WaitForModal<CTarvelDlg>(), nullptr);
            const auto shown = boxes.Boxes();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].text, LoadResString(command == 1 ? IDS_SAVE_NO_DEVICE : IDS_RECALL_REFUSED));
            EXPECT_EQ(g_presetNames[3].Get()[0], 0);
            EXPECT_EQ(g_presetSlot.load(), 0);
            bool recalling = true;
            OnUi([&] { recalling = dlg.Timers().Recalling(); });
            EXPECT_FALSE(recalling);
            EXPECT_TRUE(SentOverTcp().empty());
        }
        // Scene command 4 does nothing.
        LRESULT r = -1;
        OnUi([&] { r = dlg.SendMessage(WM_SCENE_COMMAND, 4, 0); });
        EXPECT_EQ(r, 0);
    });
}

TEST_F(MainDialogsTest, RenameStoresSendsAndShowsTheNameOnTheChannelButton)
{
    Run([&](CTarvelDlg& dlg) {
        OnUi([] { g_languageId = LANG_CHINESE_PRC; });
        EXPECT_EQ(ChannelStrips::ChannelCaption(6), L"CH7");
        PostToUi([&] { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(g_channelButtonId[6], BN_DOUBLECLICKED), 0); });
        CSaveChannelName* rename = WaitForModal<CSaveChannelName>();
        ASSERT_NE(rename, nullptr);
        OnUi([&] {
            // Eleven characters: the eleventh does not fit the 20 bytes.
            rename->GetDlgItem(IDC_NEW_NAME_EDIT)->SetWindowText(L"前左喇叭被设置为静音啊");
            ::PostMessage(rename->m_hWnd, WM_COMMAND, IDOK, 0);
        });
        ASSERT_NE(WaitForModal<CTarvelDlg>(), nullptr);
        const std::string gbk = "\xC7\xB0\xD7\xF3\xC0\xAE\xB0\xC8\xB1\xBB\xC9\xE8\xD6\xC3\xCE\xAA\xBE\xB2\xD2\xF4";
        const auto record = g_deviceChannelNames[6].Get();
        EXPECT_EQ(std::string(record.data(), record.size()), gbk);
        OnUi([] { EXPECT_EQ(ChannelStrips::ChannelCaption(6), L"前左喇叭被设置为静音"); });
        const auto sent = SentOverTcp();
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0][0], CMD_WRITE_CHANNEL_NAME);
        EXPECT_EQ(sent[0][1], 6);
        EXPECT_EQ(std::string(sent[0].begin() + 2, sent[0].end()), gbk);
        OnUi([] {
            g_deviceChannelNames[6].Clear();
            g_languageId = LANG_ENGLISH_US;
        });
    });
}

// OK sends what the list shows: code 4 opens on Optical/coaxial and becomes
// 5; code 6 has no item, opens without a selection and stays.
TEST_F(MainDialogsTest, SourceOkSendsTheCodeOfTheShownItem)
{
    struct Case {
        int code;
        int shown;  // selection when the dialog opens
        int downs;  // keys in the list before OK
        int sent;
    } cases[] = {{4, 3, 0, 5}, {6, -1, 0, 6}, {4, 3, 1, 9}, {1, 0, 2, 3}, {5, 3, 0, 5}, {9, 4, 0, 9}};
    Run([&](CTarvelDlg& dlg) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.code);
            OnUi([&] { g_inputSource = c.code; });
            PostToUi([&] { dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SOURCE, BN_CLICKED), 0); });
            CInputAudioSource* source = WaitForModal<CInputAudioSource>();
            ASSERT_NE(source, nullptr);
            OnUi([&] {
                auto* combo = static_cast<CComboBox*>(source->GetDlgItem(IDC_SOURCE_COMBO));
                EXPECT_EQ(combo->GetCurSel(), c.shown);
                combo->SetFocus();
                for (int i = 0; i < c.downs; ++i) platform_testing::PressKey(combo->m_hWnd, VK_DOWN);
                ::PostMessage(source->m_hWnd, WM_COMMAND, IDOK, 0);
            });
            ASSERT_NE(WaitForModal<CTarvelDlg>(), nullptr);
            EXPECT_EQ(g_inputSource.load(), c.sent);
            const auto sent = SentOverTcp();
            ASSERT_EQ(sent.size(), 1u);
            EXPECT_EQ(sent[0], (std::vector<uint8_t>{CMD_SET_SOURCE, static_cast<uint8_t>(c.sent)}));
        }
        OnUi([] { g_inputSource = 1; });
    });
}

TEST_F(MainDialogsTest, SetupCommandsAndTheMixVolume)
{
    Run([&](CTarvelDlg& dlg) {
        OnUi([&] {
            dlg.SendMessage(WM_MIX_VOLUME_CHANGED, 17, 0);
            EXPECT_EQ(g_hiLevelMixVolume, 17);
            dlg.SendMessage(WM_SETUP_COMMAND, 1, 0);
            dlg.SendMessage(WM_SETUP_COMMAND, 3, 0);
            dlg.SendMessage(WM_SETUP_COMMAND, 9, 0);
        });
        const auto sent = SentOverTcp();
        ASSERT_EQ(sent.size(), 2u);
        EXPECT_EQ(sent[0], std::vector<uint8_t>{CMD_FACTORY_RESET});
        EXPECT_EQ(sent[1][0], CMD_SET_NO_SIGNAL_MUTE);
        OnUi([] { g_hiLevelMixVolume = 0; });

        // The upgrade asks for an "*.img" file; a wrong name is refused.
        ScriptedDialogs dialogs;
        dialogs.AnswerFile(std::wstring(L"/tmp/system_Okrit.img"));
        OnUi([&] { dlg.SendMessage(WM_SETUP_COMMAND, 0, 0); });
        const auto files = dialogs.FileDialogs();
        ASSERT_EQ(files.size(), 1u);
        EXPECT_TRUE(files[0].open);
        EXPECT_EQ(files[0].defaultExt, L"img");
        ASSERT_EQ(files[0].filters.size(), 2u);
        EXPECT_EQ(files[0].filters[0].patterns, std::vector<std::wstring>{L"*.img"});
        const auto boxes = dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, LoadResString(IDS_FW_BAD_FILE));
        EXPECT_EQ(boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_TRUE(SentOverTcp().empty());
    });
}

// A PC preset save that fails part way (the disk full after 8 KiB) leaves
// the preset file that was there whole, and no other file beside it.
TEST_F(MainDialogsTest, AFailedPresetSaveKeepsTheOldFile)
{
    const ScratchDir scratch("tarvel_save");
    ASSERT_FALSE(scratch.Path().empty());
    const fs::path file = scratch / "preset.txt";
    auto contents = [&] {
        std::ifstream in(file, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    ScriptedDialogs dialogs;
    dialogs.AnswerFile(file.wstring());
    dialogs.AnswerFile(file.wstring());
    Run([&](CTarvelDlg& dlg) {
        OnUi([&] {
            g_channelGain[4] = 321;
            dlg.SendMessage(WM_SCENE_COMMAND, SCENE_SAVE_TO_PC, 0);
        });
        const std::vector<uint8_t> saved = contents();
        ASSERT_GT(saved.size(), 8192u);
        OnUi([&] {
            g_channelGain[4] = 0;
            SetReplaceWriteLimitForTests(8192);
            dlg.SendMessage(WM_SCENE_COMMAND, SCENE_SAVE_TO_PC, 0);
            SetReplaceWriteLimitForTests(std::nullopt);
        });
        EXPECT_EQ(contents(), saved);
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(scratch.Path())) files.push_back(e.path());
        EXPECT_EQ(files, std::vector<fs::path>{file});
        const auto boxes = dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_EQ(boxes[0].text, L"Save the data successfully!");
        EXPECT_NE(boxes[1].text.find(L"could not be written"), std::wstring::npos);
        EXPECT_NE(boxes[1].text.find(Utf8ToWide(std::strerror(ENOSPC))), std::wstring::npos) << "the reason";
    });
}

// The permission cases: root may write any file, so they run as another user
// (scripts/test-unprivileged runs them as nobody).
class MainDialogsUnprivilegedTest : public MainDialogsTest {
protected:
    void SetUp() override
    {
        if (::geteuid() == 0)
            GTEST_SKIP() << "root writes read-only files: run as another user (scripts/test-unprivileged)";
        MainDialogsTest::SetUp();
    }
};

// A save over a read-only preset file is refused with a box that says so,
// and the file is left as it was.
TEST_F(MainDialogsUnprivilegedTest, ASaveOverAReadOnlyFileIsRefused)
{
    const ScratchDir scratch("tarvel_readonly");
    ASSERT_FALSE(scratch.Path().empty());
    const fs::path file = scratch / "preset.txt";
    {
        std::ofstream(file, std::ios::binary) << "kept";
    }
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    ScriptedDialogs dialogs;
    dialogs.AnswerFile(file.wstring());
    Run([&](CTarvelDlg& dlg) {
        OnUi([&] { dlg.SendMessage(WM_SCENE_COMMAND, SCENE_SAVE_TO_PC, 0); });
        std::ifstream in(file, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "kept");
        struct stat after {};
        ASSERT_EQ(::stat(file.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(scratch.Path())) files.push_back(e.path());
        EXPECT_EQ(files, std::vector<fs::path>{file});
        const auto boxes = dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].text.find(LoadResString(IDS_FILE_READ_ONLY)), std::wstring::npos);
        EXPECT_NE(boxes[0].text.find(file.wstring()), std::wstring::npos);
    });
}

// The PC preset and firmware readers take regular files only, and the
// firmware reader none larger than a loader can take: a named pipe gets the
// error box at once (it never holds the window until something writes into
// it), and so does a large image, before it is read.
TEST_F(MainDialogsTest, FileReadersTakeOnlyRegularFilesOfABoundedSize)
{
    const ScratchDir scratch("tarvel_readers");
    ASSERT_FALSE(scratch.Path().empty());
    // Each file in a folder of its own, under the image name of model 8.
    auto make = [&](const std::string& folder, int64_t sparseSize) {
        fs::create_directory(scratch / folder);
        const fs::path p = scratch / folder / (sparseSize < 0 ? "preset.txt" : "system_Tamek.img");
        if (sparseSize == 0) {
            EXPECT_EQ(::mkfifo(p.c_str(), 0600), 0);
        } else {
            const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            EXPECT_GE(fd, 0);
            EXPECT_EQ(::ftruncate(fd, sparseSize < 0 ? 0 : sparseSize), 0);  // zeros: a right checksum
            ::close(fd);
            if (sparseSize < 0) {
                EXPECT_EQ(::mkfifo((scratch / folder / "pipe.txt").c_str(), 0600), 0);
            }
        }
        return p;
    };
    const auto max = static_cast<int64_t>(kFirmwareFileMaxBytes);
    struct Case {
        const char* what;
        fs::path path;
        bool firmware;
        const wchar_t* box;  // nullptr: accepted
    } cases[] = {
        // clang-format off
        {"preset from a pipe", make("preset", -1).parent_path() / "pipe.txt", false, L"could not be read"},
        {"image from a pipe", make("pipe", 0), true, L"Error file"},
        {"image of 1 GiB", make("huge", int64_t{1} << 30), true, L"Error file"},
        {"image one byte too large", make("over", max + 1), true, L"Error file"},
        {"image of the largest size", make("largest", max), true, nullptr},
        // clang-format on
    };
    Run([&](CTarvelDlg& dlg) {
        OnUi([] { g_deviceModel = 8; });
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            ScriptedDialogs dialogs;
            dialogs.AnswerFile(c.path.wstring());
            auto done = std::make_shared<std::atomic<bool>>(false);
            PostToUi([&dlg, &c, done] {
                dlg.SendMessage(c.firmware ? WM_SETUP_COMMAND : WM_SCENE_COMMAND,
                                c.firmware ? WPARAM{0} : WPARAM{SCENE_LOAD_FROM_PC}, 0);
                done->store(true);
            });
            for (int i = 0; i < 1000 && !done->load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!done->load()) {
                ADD_FAILURE() << "the window waits on the file";
                const int fd = ::open(c.path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);  // lets the reader go
                if (fd >= 0) ::close(fd);
                for (int i = 0; i < 1000 && !done->load(); ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            const auto boxes = dialogs.Boxes();
            const std::vector<std::vector<uint8_t>> sent = SentOverTcp();
            if (c.box) {
                ASSERT_EQ(boxes.size(), 1u);
                EXPECT_NE(boxes[0].text.find(c.box), std::wstring::npos);
                EXPECT_FALSE(HasFirmwareImage());
                EXPECT_TRUE(sent.empty());
            } else {
                EXPECT_TRUE(boxes.empty());
                EXPECT_EQ(FirmwareImageSize(), kFirmwareFileMaxBytes);
                EXPECT_EQ(sent, std::vector<std::vector<uint8_t>>{{CMD_ENTER_UPGRADE}});
            }
            OnUi([] { ClearFirmwareImage(); });
        }
    });
}

// What the settings dialog writes is what the next start reads.
TEST(LanguageFileTest, WrittenReadAtTheNextStartAndDeleted)
{
    const ScratchDir scratch("tarvel_langfile");
    ASSERT_FALSE(scratch.Path().empty());
    const fs::path root = scratch.Path();
    fs::create_directories(root / "home");
    fs::create_directories(root / "work");
    const FileBases bases{(root / "config" / "tarvel").string(), (root / "home").string(), (root / "work").string()};
    const auto paths = LanguageFilePaths(kLanguageFileName, bases);
    ASSERT_TRUE(StoreLanguageChoice(2, paths));
    EXPECT_EQ(ChooseLanguage(paths, 0x0804).languageId, 0x0409);
    EXPECT_EQ(ChooseLanguage(paths, 0x0804).choice, 2);
    ASSERT_TRUE(StoreLanguageChoice(1, paths));
    EXPECT_EQ(ChooseLanguage(paths, 0x0409).languageId, 0x0804);
    ASSERT_TRUE(StoreLanguageChoice(0, paths));
    EXPECT_EQ(ChooseLanguage(paths, 0x0409).choice, 0);
    EXPECT_FALSE(fs::exists(paths[0]));
}

class LanguageFileFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(root.empty());
        fs::create_directories(root / "config" / "tarvel");
        fs::create_directories(root / "home");
        fs::create_directories(root / "work");
    }
    void TearDown() override { SetReplaceWriteLimitForTests(std::nullopt); }

    // Every file in the three folders.
    std::vector<fs::path> Files() const
    {
        std::vector<fs::path> files;
        for (const auto& e : fs::recursive_directory_iterator(root))
            if (!e.is_directory()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        return files;
    }
    static void Write(const fs::path& p, uint16_t id)
    {
        std::ofstream(p, std::ios::binary) << static_cast<char>(id & 0xFF) << static_cast<char>(id >> 8);
    }

    const ScratchDir scratch{"tarvel_langfail"};
    const fs::path root = scratch.Path();
    const std::vector<std::string> paths = LanguageFilePaths(
        kLanguageFileName,
        FileBases{(root / "config" / "tarvel").string(), (root / "home").string(), (root / "work").string()});
};

// A write that fails (the disk full) leaves the choice the next start reads:
// no empty or partial file anywhere, no other file holding the new choice.
TEST_F(LanguageFileFailureTest, AFailedWriteKeepsTheChoice)
{
    SetReplaceWriteLimitForTests(0);
    EXPECT_FALSE(StoreLanguageChoice(2, paths));
    EXPECT_EQ(Files(), std::vector<fs::path>{});
    EXPECT_EQ(ChooseLanguage(paths, 0x0804).choice, 0);

    SetReplaceWriteLimitForTests(std::nullopt);
    Write(paths[1], 0x0409);
    SetReplaceWriteLimitForTests(1);
    EXPECT_FALSE(StoreLanguageChoice(1, paths));
    EXPECT_EQ(Files(), std::vector<fs::path>{paths[1]});
    EXPECT_EQ(ChooseLanguage(paths, 0x0804).languageId, 0x0409);
    EXPECT_EQ(ChooseLanguage(paths, 0x0804).choice, 2);
}

// Root writes read-only files: this runs as another user
// (scripts/test-unprivileged runs it as nobody).
class LanguageFileUnprivilegedTest : public LanguageFileFailureTest {
protected:
    void SetUp() override
    {
        if (::geteuid() == 0)
            GTEST_SKIP() << "root writes read-only files: run as another user (scripts/test-unprivileged)";
        LanguageFileFailureTest::SetUp();
    }
};

// A read-only language file, the one the next start reads, is kept, and the
// choice goes nowhere else.
TEST_F(LanguageFileUnprivilegedTest, AReadOnlyFileKeepsTheChoiceAndNothingElseIsWritten)
{
    Write(paths[0], 0x0409);
    ASSERT_EQ(::chmod(paths[0].c_str(), 0444), 0);
    EXPECT_FALSE(StoreLanguageChoice(1, paths));
    EXPECT_EQ(Files(), std::vector<fs::path>{paths[0]});
    EXPECT_EQ(ChooseLanguage(paths, 0x0804).languageId, 0x0409);
}

}  // namespace
