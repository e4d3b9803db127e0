// Files of the program: where the language file may lie, and plain byte
// reads and writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The folders searched for the language file, in this order.
struct FileBases {
    std::string configDir;   // $XDG_CONFIG_HOME/tarvel, else ~/.config/tarvel
    std::string homeDir;     // $HOME
    std::string currentDir;  // the working directory
};
// The folders of the environment, or the ones set for tests.
FileBases GetFileBases();
// Replaces the folders (tests); nullopt goes back to the environment's.
void SetFileBasesForTests(std::optional<FileBases> bases);

// fileName in each of the three folders, in search order.
std::vector<std::string> LanguageFilePaths(const std::string& fileName);
std::vector<std::string> LanguageFilePaths(const std::string& fileName, const FileBases& bases);

bool FileExists(const std::string& path);
// The whole file; false when it cannot be opened.
bool ReadFileBytes(const std::string& path, std::vector<uint8_t>* bytes);
// Creates or replaces the file (with its folder when createFolder);
// false when it cannot be written.
bool WriteFileBytes(const std::string& path, const uint8_t* data, size_t size, bool createFolder = false);
// Makes the folder path lies in, with the ones above it; false when there is
// none after.
bool MakeFolderFor(const std::string& path);
bool DeleteFileAt(const std::string& path);

enum class FileReadResult {
    kOk,
    kCannotOpen,
    kNotRegular,  // a folder, a named pipe, a device, a socket
    kTooLarge,
    kReadFailed,
};
// The whole of a regular file of at most maxBytes. Anything else is refused
// without waiting on it (a named pipe with no writer never blocks), and a
// larger file before any of it is read.
FileReadResult ReadRegularFile(const std::string& path, std::vector<uint8_t>* bytes, uint64_t maxBytes);

enum class FileWriteStatus {
    kOk,
    kReadOnly,    // the file exists and this user may not write it
    kNotRegular,  // a folder, a named pipe, a device, a socket
    kFailed,
};
struct FileWriteResult {
    FileWriteStatus status = FileWriteStatus::kOk;
    int error = 0;  // the system's reason (an errno value); 0 when it gave none
    bool Ok() const { return status == FileWriteStatus::kOk; }
};
// Creates or replaces the file, as a careful editor saves. A file the saver
// owns, with one link, in a folder the saver may write, gets the bytes in a
// new file beside it, flushed to disk, which is then renamed over it (with
// the old one's group and permissions): path holds its old content or all of
// the new one, and on a failure the new file is removed. A file of another
// user or with hard links is written in place (after room for the bytes is
// reserved where the file system allows), so that it keeps its owner and
// links. A new file is made beside and renamed the same way. A read-only
// file is refused (kReadOnly), a path that exists but is no regular file too;
// symbolic links are followed, and a dangling one gets its target made.
FileWriteResult ReplaceFileBytes(const std::string& path, const uint8_t* data, size_t size);
// The system's words for an errno value.
std::string SystemErrorText(int error);

// Tests: the writes of ReplaceFileBytes fail, as on a full disk, once this
// many bytes have been written since it was set, and a write in place finds
// no room for more; nullopt lifts the limit.
void SetReplaceWriteLimitForTests(std::optional<uint64_t> bytes);
