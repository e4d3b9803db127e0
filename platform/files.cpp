#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace {

std::mutex g_basesMutex;
std::optional<FileBases> g_testBases;

std::mutex g_writeLimitMutex;
std::optional<uint64_t> g_writeLimit;  // bytes that may still be written

// How many of want bytes the test limit lets through (all without one).
size_t WriteAllowance(size_t want)
{
    std::lock_guard lock(g_writeLimitMutex);
    if (!g_writeLimit) return want;
    const size_t allowed = static_cast<size_t>(std::min<uint64_t>(want, *g_writeLimit));
    *g_writeLimit -= allowed;
    return allowed;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        const size_t allowed = WriteAllowance(size);
        if (allowed == 0) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t n = ::write(fd, data, allowed);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// A new file beside target (mode 0666 less the umask), opened for writing;
// -1 when none could be made.
int CreateTemporaryBeside(const std::string& target, std::string* tempPath)
{
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path p(target);
    const std::filesystem::path folder = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = "." + p.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                                 std::to_string(counter.fetch_add(1));
        *tempPath = (folder / name).string();
        const int fd = ::open(tempPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void SyncFolderOf(const std::string& path)
{
    const std::filesystem::path p(path);
    const std::string folder = p.has_parent_path() ? p.parent_path().string() : std::string(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

FileWriteResult Failed(int error) { return {FileWriteStatus::kFailed, error}; }

// Follows the symbolic links at path to the name they end in: target, with
// its lstat in st when exists. 0, or the errno that stopped it.
int ResolveLinks(const std::string& path, std::string* target, struct stat* st, bool* exists)
{
    std::string p = path;
    for (int hops = 0;; ++hops) {
        if (::lstat(p.c_str(), st) != 0) {
            if (errno != ENOENT) return errno;
            *target = p;
            *exists = false;  // a dangling link gets its target made
            return 0;
        }
        if (!S_ISLNK(st->st_mode)) {
            *target = p;
            *exists = true;
            return 0;
        }
        if (hops == 40) return ELOOP;
        std::string next(static_cast<size_t>(st->st_size) + 1, '\0');
        const ssize_t n = ::readlink(p.c_str(), next.data(), next.size());
        if (n < 0) return errno;
        if (static_cast<size_t>(n) >= next.size()) return ENAMETOOLONG;  // grew since lstat
        next.resize(static_cast<size_t>(n));
        const std::filesystem::path link(p);
        const bool absolute = !next.empty() && next.front() == '/';
        p = absolute || !link.has_parent_path() ? next : (link.parent_path() / next).string();
    }
}

// Room for size bytes before any of the file changes, so that a full disk is
// met while the old content is whole; 0 where the file system cannot tell.
int Reserve(int fd, size_t size)
{
    {
        std::lock_guard lock(g_writeLimitMutex);
        if (g_writeLimit && *g_writeLimit < size) return ENOSPC;
    }
    if (size == 0 || ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) return 0;
    return errno == ENOSPC || errno == EDQUOT ? errno : 0;
}

// The bytes in a new file beside target, flushed, renamed over it. old: the
// file replaced, whose group and permissions the new one takes. nullopt when
// old is given and the new file cannot be made (a folder the saver may not
// write) or given its group: nothing is left behind then.
std::optional<FileWriteResult> WriteBeside(const std::string& target, const struct stat* old, const uint8_t* data,
                                           size_t size)
{
    std::string temp;
    const int fd = CreateTemporaryBeside(target, &temp);
    if (fd < 0) {
        if (old && (errno == EACCES || errno == EPERM)) return std::nullopt;
        return Failed(errno);
    }
    struct stat made {};
    bool keepsIdentity = true;
    if (old) {
        // A group set after the mode would clear its set-id bits.
        keepsIdentity = ::fstat(fd, &made) == 0 && (made.st_gid == old->st_gid || ::fchown(fd, -1, old->st_gid) == 0);
    }
    int error = 0;
    if (keepsIdentity) {
        if (old && ::fchmod(fd, old->st_mode & 07777) != 0) error = errno;
        else if (!WriteAll(fd, data, size) || ::fsync(fd) != 0) error = errno;
    }
    if (::close(fd) != 0 && keepsIdentity && !error) error = errno;
    if (keepsIdentity && !error && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (!keepsIdentity || error) {
        ::unlink(temp.c_str());
        if (!keepsIdentity) return std::nullopt;
        return Failed(error);
    }
    SyncFolderOf(target);  // the rename itself
    return FileWriteResult{};
}

// The bytes over the file's own, for a file whose owner or links a new file
// would lose.
FileWriteResult WriteInPlace(const std::string& target, const uint8_t* data, size_t size)
{
    // Not created: a file in a sticky folder may refuse O_CREAT to its non-owner.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failed(errno);
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return {FileWriteStatus::kNotRegular, 0};
    } else if ((error = Reserve(fd, size)) == 0) {
        if (!WriteAll(fd, data, size) || ::ftruncate(fd, static_cast<off_t>(size)) != 0 || ::fsync(fd) != 0)
            error = errno;
    }
    if (::close(fd) != 0 && !error) error = errno;
    if (error) return Failed(error);
    return {};
}

std::string Join(const std::string& dir, const std::string& name)
{
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

}  // namespace

FileBases GetFileBases()
{
    {
        std::lock_guard lock(g_basesMutex);
        if (g_testBases) return *g_testBases;
    }
    FileBases b;
    const char* home = std::getenv("HOME");
    b.homeDir = home ? home : "";
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string config = (xdg && *xdg) ? std::string(xdg) : Join(b.homeDir, ".config");
    b.configDir = Join(config, "tarvel");
    std::error_code ec;
    b.currentDir = std::filesystem::current_path(ec).string();
    return b;
}

void SetFileBasesForTests(std::optional<FileBases> bases)
{
    std::lock_guard lock(g_basesMutex);
    g_testBases = std::move(bases);
}

std::vector<std::string> LanguageFilePaths(const std::string& fileName, const FileBases& bases)
{
    return {Join(bases.configDir, fileName), Join(bases.homeDir, fileName), Join(bases.currentDir, fileName)};
}

std::vector<std::string> LanguageFilePaths(const std::string& fileName)
{
    return LanguageFilePaths(fileName, GetFileBases());
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes)
{
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFileBytes(const std::string& path, const uint8_t* data, size_t size, bool createFolder)
{
    if (createFolder) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        std::error_code ec;
        if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return !out.fail();
}

bool MakeFolderFor(const std::string& path)
{
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (parent.empty()) return true;
    std::filesystem::create_directories(parent, ec);
    return std::filesystem::is_directory(parent, ec);
}

bool DeleteFileAt(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::filesystem::remove(path, ec);
}

FileReadResult ReadRegularFile(const std::string& path, std::vector<uint8_t>* bytes, uint64_t maxBytes)
{
    // Non-blocking: opening a named pipe for reading waits for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return FileReadResult::kCannotOpen;
    struct stat st {};
    FileReadResult result = FileReadResult::kOk;
    if (::fstat(fd, &st) != 0) result = FileReadResult::kReadFailed;
    else if (!S_ISREG(st.st_mode)) result = FileReadResult::kNotRegular;
    else if (static_cast<uint64_t>(st.st_size) > maxBytes) result = FileReadResult::kTooLarge;
    std::vector<uint8_t> data;
    if (result == FileReadResult::kOk) {
        data.reserve(static_cast<size_t>(st.st_size));
        uint8_t buffer[65536];
        for (;;) {
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                result = FileReadResult::kReadFailed;
                break;
            }
            if (n == 0) break;
            // A file that grew since it was looked at.
            if (data.size() + static_cast<size_t>(n) > maxBytes) {
                result = FileReadResult::kTooLarge;
                break;
            }
            data.insert(data.end(), buffer, buffer + n);
        }
    }
    ::close(fd);
    if (result == FileReadResult::kOk) *bytes = std::move(data);
    return result;
}

FileWriteResult ReplaceFileBytes(const std::string& path, const uint8_t* data, size_t size)
{
    if (path.empty()) return Failed(ENOENT);
    std::string target;
    struct stat st {};
    bool exists = false;
    if (const int error = ResolveLinks(path, &target, &st, &exists)) return Failed(error);
    if (!exists) return *WriteBeside(target, nullptr, data, size);
    if (!S_ISREG(st.st_mode)) return {FileWriteStatus::kNotRegular, S_ISDIR(st.st_mode) ? EISDIR : 0};
    // The rename would ignore the file's own mode.
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return {FileWriteStatus::kReadOnly, errno};
        return Failed(errno);
    }
    // A new file would take the saver as its owner and split hard links.
    if (st.st_uid == ::geteuid() && st.st_nlink == 1) {
        if (auto written = WriteBeside(target, &st, data, size)) return *written;
    }
    return WriteInPlace(target, data, size);
}

std::string SystemErrorText(int error)
{
    char buffer[256];
    return ::strerror_r(error, buffer, sizeof buffer);  // GNU: the text, maybe not in buffer
}

void SetReplaceWriteLimitForTests(std::optional<uint64_t> bytes)
{
    std::lock_guard lock(g_writeLimitMutex);
    g_writeLimit = bytes;
}
