// One running copy per user: the lock in the runtime folder and the request
// of a later start that the first come to the front.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/instance.h"
#include "tests/platform/ui_test.h"
#include "tests/support/scratch_dir.h"

namespace {

class InstanceTest : public UiTest {};

TEST_F(InstanceTest, ALaterStartFindsTheFirstAndAsksItToComeForward)
{
    const ScratchDir scratch("tarvel_instance");
    ASSERT_FALSE(scratch.Path().empty());
    const std::string folder = scratch.Path().string();
    {
        SingleInstance first(folder, "prog");
        ASSERT_TRUE(first.IsFirst());
        // Asked before it listens: nobody answers, and nothing waits.
        SingleInstance early(folder, "prog");
        EXPECT_FALSE(early.IsFirst());
        EXPECT_FALSE(early.AskFirstToRaise());

        int raised = 0;
        ASSERT_TRUE(first.ListenForRaise([&] { ++raised; }));
        // A second lock in the same process is refused too: the lock is the
        // open file's, not the process's.
        SingleInstance second(folder, "prog");
        EXPECT_FALSE(second.IsFirst());
        EXPECT_FALSE(second.ListenForRaise([] {}));
        EXPECT_TRUE(second.AskFirstToRaise());
        EXPECT_TRUE(platform_testing::PumpUntil([&] { return raised == 1; }, 30000));
        EXPECT_TRUE(second.AskFirstToRaise());
        EXPECT_TRUE(platform_testing::PumpUntil([&] { return raised == 2; }, 30000));
        // Another name is another program.
        EXPECT_TRUE(SingleInstance(folder, "other").IsFirst());
    }
    // The first gone, the next start is the first, and listens again.
    SingleInstance next(folder, "prog");
    EXPECT_TRUE(next.IsFirst());
    EXPECT_TRUE(next.ListenForRaise([] {}));
}

TEST_F(InstanceTest, AFolderWithoutRoomForALockDoesNotKeepTheProgramFromStartingAndSaysSo)
{
    const ScratchDir scratch("tarvel_instance");
    ASSERT_FALSE(scratch.Path().empty());
    for (const std::string& folder : {std::string(), (scratch / "missing").string()}) {
        SCOPED_TRACE(folder);
        testing::internal::CaptureStderr();
        SingleInstance a(folder, "prog");
        SingleInstance b(folder, "prog");
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(a.IsFirst());
        EXPECT_TRUE(b.IsFirst());
        EXPECT_FALSE(b.AskFirstToRaise());
        EXPECT_NE(said.find("prog: no "), std::string::npos) << said;
        EXPECT_NE(said.find("runs without one"), std::string::npos) << said;
    }
}

// A start from the desktop, one from a terminal without a runtime folder,
// one with another HOME: all take the same lock.
TEST_F(InstanceTest, EveryStartOfTheUserTakesTheLockInOneFolderWhateverItsEnvironment)
{
    const ScratchDir scratch("tarvel_instance");
    ASSERT_FALSE(scratch.Path().empty());
    const std::string run = scratch.Path().string();
    const std::string home = (scratch / "home").string();
    std::filesystem::create_directory(home);
    std::vector<std::pair<const char*, std::optional<std::string>>> saved;
    for (const char* var : {"XDG_RUNTIME_DIR", "HOME"}) {
        const char* v = std::getenv(var);
        saved.emplace_back(var, v ? std::optional<std::string>(v) : std::nullopt);
    }
    // clang-format off
    const struct { const char* runtime; const char* home; } starts[] = {
        {run.c_str(), home.c_str()},
        {nullptr,     home.c_str()},
        {run.c_str(), nullptr},
        {nullptr,     nullptr},
        {"",          ""},
    };
    // clang-format on
    std::optional<std::string> agreed;
    for (const auto& start : starts) {
        SCOPED_TRACE(std::string(start.runtime ? start.runtime : "(unset)") + " " +
                     (start.home ? start.home : "(unset)"));
        if (start.runtime) setenv("XDG_RUNTIME_DIR", start.runtime, 1);
        else unsetenv("XDG_RUNTIME_DIR");
        if (start.home) setenv("HOME", start.home, 1);
        else unsetenv("HOME");
        const std::string folder = SingleInstance::LockFolder("tarvel");
        EXPECT_NE(folder, run);
        EXPECT_NE(folder, home);
        if (!agreed) agreed = folder;
        EXPECT_EQ(folder, *agreed);
    }
    for (const auto& [var, value] : saved) {
        if (value) setenv(var, value->c_str(), 1);
        else unsetenv(var);
    }
    // A test's folder, while set.
    SingleInstance::SetLockFolderForTests(run);
    EXPECT_EQ(SingleInstance::LockFolder("tarvel"), run);
    SingleInstance::SetLockFolderForTests("");
    EXPECT_EQ(SingleInstance::LockFolder("tarvel"), *agreed);
}

// The first copy removes a socket at its place, never a file or folder that
// someone put there: not when it starts to listen, not when it ends.
TEST_F(InstanceTest, WhatIsNotASocketAtTheSocketsPlaceStays)
{
    const ScratchDir scratch("tarvel_instance");
    ASSERT_FALSE(scratch.Path().empty());
    const std::string folder = scratch.Path().string();
    const std::filesystem::path place = scratch / "prog.socket";
    const auto putFile = [&] { std::ofstream(place) << "mine"; };
    const auto putFolder = [&] { std::filesystem::create_directory(place); };
    const auto fileStays = [&] {
        std::string text;
        std::ifstream(place) >> text;
        return std::filesystem::is_regular_file(place) && text == "mine";
    };
    const auto folderStays = [&] { return std::filesystem::is_directory(place); };
    // clang-format off
    const struct { const char* what; std::function<void()> put; std::function<bool()> stays; } kinds[] = {
        {"file",   putFile,   fileStays},
        {"folder", putFolder, folderStays},
    };
    // clang-format on
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.what);
        // There before the first starts: it runs without a socket.
        kind.put();
        {
            SingleInstance first(folder, "prog");
            ASSERT_TRUE(first.IsFirst());
            EXPECT_FALSE(first.ListenForRaise([] {}));
            EXPECT_TRUE(kind.stays());
            SingleInstance second(folder, "prog");
            EXPECT_FALSE(second.IsFirst());
            EXPECT_FALSE(second.AskFirstToRaise());
        }
        EXPECT_TRUE(kind.stays());
        // Put in the socket's place while the first listens.
        {
            std::filesystem::remove_all(place);
            SingleInstance first(folder, "prog");
            ASSERT_TRUE(first.ListenForRaise([] {}));
            EXPECT_EQ(std::filesystem::status(place).type(), std::filesystem::file_type::socket);
            std::filesystem::remove(place);
            kind.put();
        }
        EXPECT_TRUE(kind.stays());
        std::filesystem::remove_all(place);
    }
}

}  // namespace
