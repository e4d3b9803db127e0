// Whole-file reads that take only regular files of a bounded size, and the
// replacing write that never leaves a part of a file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
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

struct stat StatOf(const fs::path& path)
{
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
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
    ASSERT_TRUE(ReplaceFileBytes(At("small"), small.data(), small.size()).Ok());
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
    ASSERT_TRUE(ReplaceFileBytes(path, before.data(), before.size()).Ok());
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);

    SetReplaceWriteLimitForTests(8192);
    const FileWriteResult full = ReplaceFileBytes(path, after.data(), after.size());
    EXPECT_EQ(full.status, FileWriteStatus::kFailed);
    EXPECT_EQ(full.error, ENOSPC);
    EXPECT_EQ(Contents(path), before);
    EXPECT_EQ(Listing(scratch.Path()), std::vector<std::string>{"preset.txt"});

    SetReplaceWriteLimitForTests(std::nullopt);
    ASSERT_TRUE(ReplaceFileBytes(path, after.data(), after.size()).Ok());
    EXPECT_EQ(Contents(path), after);
    EXPECT_EQ(Listing(scratch.Path()), std::vector<std::string>{"preset.txt"});
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // Through a symbolic link the file it names is replaced, the link stays.
    fs::create_symlink(scratch / "preset.txt", scratch / "link.txt");
    ASSERT_TRUE(ReplaceFileBytes(At("link.txt"), before.data(), before.size()).Ok());
    EXPECT_TRUE(fs::is_symlink(scratch / "link.txt"));
    EXPECT_EQ(Contents(path), before);

    // A named pipe or a folder at the path is refused, without waiting.
    ASSERT_EQ(::mkfifo(At("pipe").c_str(), 0600), 0);
    EXPECT_FALSE(ReplaceFileBytes(At("pipe"), before.data(), before.size()).Ok());
    EXPECT_TRUE(fs::is_fifo(scratch / "pipe"));
    EXPECT_EQ(ReplaceFileBytes(scratch.Path().string(), before.data(), before.size()).status,
              FileWriteStatus::kNotRegular);
    EXPECT_EQ(ReplaceFileBytes(At("no/such/folder.txt"), before.data(), before.size()).error, ENOENT);
    EXPECT_EQ(Listing(scratch.Path()), (std::vector<std::string>{"link.txt", "pipe", "preset.txt"}));
}

// A save keeps the file the same file: a hard link still shares it (written
// in place, shorter too), and a disk too full for the new bytes refuses that
// before the file is touched. A dangling symbolic link gets its target, also
// at the end of a chain of links.
TEST_F(FilesTest, ReplaceFileBytesKeepsHardLinksAndFollowsDanglingLinks)
{
    const std::vector<uint8_t> before = Pattern(3000);
    const std::vector<uint8_t> after = Pattern(5000);
    ASSERT_TRUE(ReplaceFileBytes(At("a.txt"), before.data(), before.size()).Ok());
    fs::create_hard_link(scratch / "a.txt", scratch / "b.txt");
    const ino_t inode = StatOf(scratch / "a.txt").st_ino;
    ASSERT_TRUE(ReplaceFileBytes(At("a.txt"), after.data(), after.size()).Ok());
    EXPECT_EQ(Contents(scratch / "b.txt"), after);
    ASSERT_TRUE(ReplaceFileBytes(At("b.txt"), before.data(), before.size()).Ok());
    EXPECT_EQ(Contents(scratch / "a.txt"), before);
    EXPECT_EQ(StatOf(scratch / "a.txt").st_ino, inode);
    EXPECT_EQ(StatOf(scratch / "a.txt").st_nlink, 2u);

    SetReplaceWriteLimitForTests(100);
    const FileWriteResult full = ReplaceFileBytes(At("a.txt"), after.data(), after.size());
    SetReplaceWriteLimitForTests(std::nullopt);
    EXPECT_EQ(full.status, FileWriteStatus::kFailed);
    EXPECT_EQ(full.error, ENOSPC);
    EXPECT_EQ(Contents(scratch / "a.txt"), before);

    fs::create_symlink("made.txt", scratch / "dangling.txt");
    fs::create_symlink("dangling.txt", scratch / "chain.txt");
    ASSERT_TRUE(ReplaceFileBytes(At("chain.txt"), before.data(), before.size()).Ok());
    EXPECT_EQ(Contents(scratch / "made.txt"), before);
    EXPECT_TRUE(fs::is_symlink(scratch / "chain.txt"));
    EXPECT_TRUE(fs::is_symlink(scratch / "dangling.txt"));

    // Links that lead nowhere a file can be made, with the system's reason.
    fs::create_symlink("no/such.txt", scratch / "nowhere.txt");
    fs::create_symlink("loop2", scratch / "loop1");
    fs::create_symlink("loop1", scratch / "loop2");
    EXPECT_EQ(ReplaceFileBytes(At("nowhere.txt"), before.data(), before.size()).error, ENOENT);
    EXPECT_EQ(ReplaceFileBytes(At("loop1"), before.data(), before.size()).error, ELOOP);
    EXPECT_EQ(Listing(scratch.Path()), (std::vector<std::string>{"a.txt", "b.txt", "chain.txt", "dangling.txt", "loop1",
                                                                 "loop2", "made.txt", "nowhere.txt"}));
}

// A file of another user keeps its owner, one of another group its group,
// and both their permissions.
TEST_F(FilesTest, ReplaceFileBytesKeepsTheOwner)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user here; as another user "
                        "FilesUnprivilegedTest saves a file of root's";
    const std::vector<uint8_t> before = Pattern(3000);
    const std::vector<uint8_t> after = Pattern(5000);
    struct Case {
        const char* name;
        uid_t uid;
        gid_t gid;
    } cases[] = {{"user.txt", 65534, 65534}, {"group.txt", 0, 65534}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(ReplaceFileBytes(At(c.name), before.data(), before.size()).Ok());
        ASSERT_EQ(::chown(At(c.name).c_str(), c.uid, c.gid), 0);
        ASSERT_EQ(::chmod(At(c.name).c_str(), 0640), 0);
        ASSERT_TRUE(ReplaceFileBytes(At(c.name), after.data(), after.size()).Ok());
        const struct stat st = StatOf(scratch / c.name);
        EXPECT_EQ(st.st_uid, c.uid);
        EXPECT_EQ(st.st_gid, c.gid);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(Contents(scratch / c.name), after);
    }
    EXPECT_EQ(Listing(scratch.Path()), (std::vector<std::string>{"group.txt", "user.txt"}));
}

// The permission cases: root may write any file, so they run as another user
// (scripts/test-unprivileged runs them as nobody).
class FilesUnprivilegedTest : public FilesTest {
protected:
    void SetUp() override
    {
        if (::geteuid() == 0)
            GTEST_SKIP() << "root writes read-only files: run as another user (scripts/test-unprivileged)";
        FilesTest::SetUp();
    }

    const std::vector<uint8_t> before = Pattern(3000);
    const std::vector<uint8_t> after = Pattern(5000);
};

// A read-only file is refused and left as it was, also through a link.
TEST_F(FilesUnprivilegedTest, AReadOnlyFileIsRefused)
{
    ASSERT_TRUE(ReplaceFileBytes(At("ro.txt"), before.data(), before.size()).Ok());
    ASSERT_EQ(::chmod(At("ro.txt").c_str(), 0444), 0);
    fs::create_symlink("ro.txt", scratch / "link.txt");
    const ino_t inode = StatOf(scratch / "ro.txt").st_ino;
    for (const char* name : {"ro.txt", "link.txt"}) {
        SCOPED_TRACE(name);
        const FileWriteResult r = ReplaceFileBytes(At(name), after.data(), after.size());
        EXPECT_EQ(r.status, FileWriteStatus::kReadOnly);
        EXPECT_EQ(r.error, EACCES);
    }
    EXPECT_EQ(Contents(scratch / "ro.txt"), before);
    EXPECT_EQ(StatOf(scratch / "ro.txt").st_ino, inode);
    EXPECT_EQ(Listing(scratch.Path()), (std::vector<std::string>{"link.txt", "ro.txt"}));
}

// A writable file in a read-only folder is written in place; a new file
// cannot be made there, and the reason says why.
TEST_F(FilesUnprivilegedTest, AFileInAReadOnlyFolderIsWrittenInPlace)
{
    const fs::path folder = scratch / "folder";
    fs::create_directory(folder);
    ASSERT_TRUE(ReplaceFileBytes((folder / "p.txt").string(), before.data(), before.size()).Ok());
    const ino_t inode = StatOf(folder / "p.txt").st_ino;
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    const FileWriteResult written = ReplaceFileBytes((folder / "p.txt").string(), after.data(), after.size());
    const FileWriteResult made = ReplaceFileBytes((folder / "new.txt").string(), after.data(), after.size());
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_TRUE(written.Ok()) << SystemErrorText(written.error);
    EXPECT_EQ(Contents(folder / "p.txt"), after);
    EXPECT_EQ(StatOf(folder / "p.txt").st_ino, inode);
    EXPECT_EQ(made.status, FileWriteStatus::kFailed);
    EXPECT_EQ(made.error, EACCES);
    EXPECT_EQ(Listing(folder), std::vector<std::string>{"p.txt"});
}

// A file of root's that all may write, in a folder open to all with the
// sticky bit (as /tmp is): written in place, and root stays its owner.
TEST_F(FilesUnprivilegedTest, ASharedFileOfAnotherUserInAStickyFolderKeepsItsOwner)
{
    const char* sticky = std::getenv("TARVEL_TEST_STICKY_DIR");
    if (!sticky || !*sticky)
        GTEST_SKIP() << "needs TARVEL_TEST_STICKY_DIR, a sticky folder of another user's holding shared.txt, "
                        "a file of that user's all may write (scripts/test-unprivileged makes one)";
    const fs::path file = fs::path(sticky) / "shared.txt";
    const struct stat old = StatOf(file);
    ASSERT_NE(old.st_uid, ::geteuid());
    ASSERT_NE(StatOf(sticky).st_mode & S_ISVTX, 0u);
    const FileWriteResult r = ReplaceFileBytes(file.string(), after.data(), after.size());
    EXPECT_TRUE(r.Ok()) << SystemErrorText(r.error);
    const struct stat now = StatOf(file);
    EXPECT_EQ(Contents(file), after);
    EXPECT_EQ(now.st_uid, old.st_uid);
    EXPECT_EQ(now.st_ino, old.st_ino);
    EXPECT_EQ(now.st_mode, old.st_mode);
    EXPECT_EQ(Listing(sticky), std::vector<std::string>{"shared.txt"});
}

}  // namespace
