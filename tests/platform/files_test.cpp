// Whole-file reads that take only regular files of a bounded size, and the
// replacing write that never leaves a part of a file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "tests/support/scratch_dir.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

std::vector<uint8_t> Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The names in the folder.
std::vector<std::string> Listing(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(scratch.Path().empty()); }
    void TearDown() override { SetReplaceWriteLimitForTests(std::nullopt); }
    std::string At(const std::string& name) const { return (scratch / name).string(); }

    const ScratchDir scratch{"tarvel_files"};
};

// Every kind of path the reader is given: only a regular file within the
// bound is read, anything else is refused at once (a named pipe without a
// writer included) and a large file before it is read.
TEST_F(FilesTest, ReadRegularFileTakesOnlyRegularFilesWithinTheBound)
{
    const std::vector<uint8_t> small = Pattern(1000);
    ASSERT_TRUE(ReplaceFileBytes(At("small"), small.data(), small.size()));
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    fs::create_directory(scratch / "folder");
    {
        const int fd = ::open(At("sparse").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{1} << 30), 0);  // 1 GiB, no blocks
        ::close(fd);
    }
    fs::create_symlink(scratch / "small", scratch / "link");

    struct Case {
        const char* name;
        uint64_t maxBytes;
        FileReadResult result;
    } cases[] = {
        // clang-format off
        {"small", 1000, FileReadResult::kOk},
        {"link", 1000, FileReadResult::kOk},
        {"small", 999, FileReadResult::kTooLarge},
        {"sparse", 1 << 20, FileReadResult::kTooLarge},
        {"pipe", 1 << 20, FileReadResult::kNotRegular},
        {"folder", 1 << 20, FileReadResult::kNotRegular},
        {"missing", 1 << 20, FileReadResult::kCannotOpen},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> bytes{42};
        EXPECT_EQ(ReadRegularFile(At(c.name), &bytes, c.maxBytes), c.result);
        EXPECT_EQ(bytes, c.result == FileReadResult::kOk ? small : std::vector<uint8_t>{42});
    }
}

// A write that fails part way (the disk full after 8 KiB) leaves the old
// file whole and no other file in the folder; one that goes through
// replaces it and keeps its permissions.
TEST_F(FilesTest, ReplaceFileBytesKeepsTheOldFileOnAFailedWrite)
{
    const std::vector<uint8_t> before = Pattern(3000);
    const std::vector<uint8_t> after = Pattern(20000);
    const std::string path = At("preset.txt");
    ASSERT_TRUE(ReplaceFileBytes(path, before.data(), before.size()));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    SetReplaceWriteLimitForTests(8192);
    EXPECT_FALSE(ReplaceFileBytes(path, after.data(), after.size()));
    EXPECT_EQ(Contents(path), before);
    EXPECT_EQ(Listing(scratch.Path()), std::vector<std::string>{"preset.txt"});

    SetReplaceWriteLimitForTests(std::nullopt);
    ASSERT_TRUE(ReplaceFileBytes(path, after.data(), after.size()));
    EXPECT_EQ(Contents(path), after);
    EXPECT_EQ(Listing(scratch.Path()), std::vector<std::string>{"preset.txt"});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Through a symbolic link the file it names is replaced, the link stays.
    fs::create_symlink(scratch / "preset.txt", scratch / "link.txt");
    ASSERT_TRUE(ReplaceFileBytes(At("link.txt"), before.data(), before.size()));
    EXPECT_TRUE(fs::is_symlink(scratch / "link.txt"));
    EXPECT_EQ(Contents(path), before);

    // A named pipe or a folder at the path is refused, without waiting.
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ReplaceFileBytes(At("pipe"), before.data(), before.size()));
    EXPECT_TRUE(fs::is_fifo(scratch / "pipe"));
    EXPECT_FALSE(ReplaceFileBytes(scratch.Path().string(), before.data(), before.size()));
    EXPECT_FALSE(ReplaceFileBytes(At("no/such/folder.txt"), before.data(), before.size()));
    EXPECT_EQ(Listing(scratch.Path()), (std::vector<std::string>{"link.txt", "pipe", "preset.txt"}));
}

}  // namespace
