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

// Creates or replaces the file: the bytes go to a new file in the same
// folder, flushed to disk, which is then renamed over path, so that path
// holds its old content or all of the new one, never a part. On any failure
// path stays as it was and the new file is removed. A replaced file keeps
// its permissions; a symbolic link is followed, and a path that exists but
// is no regular file is refused.
bool ReplaceFileBytes(const std::string& path, const uint8_t* data, size_t size);

// Tests: the writes of ReplaceFileBytes fail, as on a full disk, once this
// many bytes have been written since it was set; nullopt lifts the limit.
void SetReplaceWriteLimitForTests(std::optional<uint64_t> bytes);
