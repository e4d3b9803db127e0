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
