// The project's own source files as text, for tests that check rules over
// all of them (unique ids, a reset line per global). The suite's CMake file
// passes the tree's root as TARVEL_SOURCE_DIR.
#pragma once

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace source_tree {

struct File {
    std::string path;  // relative to the root, e.g. "link/link_messages.h"
    std::string text;  // comments blanked out, line breaks kept
};

inline std::filesystem::path Root() { return TARVEL_SOURCE_DIR; }

// The text with every comment replaced by spaces (string and character
// literals kept), so that line numbers stay and commented-out code counts
// for nothing.
inline std::string WithoutComments(const std::string& s)
{
    std::string out = s;
    enum { kCode, kLine, kBlock, kString, kChar } state = kCode;
    for (size_t i = 0; i < s.size(); ++i) {
        const char c = s[i], next = i + 1 < s.size() ? s[i + 1] : '\0';
        switch (state) {
        case kCode:
            if (c == 'R' && next == '"' && (i == 0 || !std::isalnum(static_cast<unsigned char>(s[i - 1])))) {
                // A raw string: skip to its closing )delimiter".
                const size_t open = s.find('(', i);
                if (open == std::string::npos) return out;
                const std::string close = ")" + s.substr(i + 2, open - i - 2) + "\"";
                const size_t end = s.find(close, open);
                if (end == std::string::npos) return out;
                i = end + close.size() - 1;
                break;
            }
            if (c == '/' && next == '/') state = kLine;
            else if (c == '/' && next == '*') state = kBlock;
            else if (c == '"') state = kString;
            else if (c == '\'' && !(i > 0 && std::isdigit(static_cast<unsigned char>(s[i - 1])))) state = kChar;
            if (state == kLine || state == kBlock) out[i] = out[i + 1] = ' ', ++i;
            break;
        case kLine:
            if (c == '\n') state = kCode;
            else out[i] = ' ';
            break;
        case kBlock:
            if (c == '*' && next == '/') state = kCode, out[i] = out[i + 1] = ' ', ++i;
            else if (c != '\n') out[i] = ' ';
            break;
        case kString:
        case kChar:
            if (c == '\\') ++i;
            else if (c == (state == kString ? '"' : '\'')) state = kCode;
            break;
        }
    }
    return out;
}

// Every .h and .cpp under the folders (recursively), in path order.
inline std::vector<File> Read(const std::vector<std::string>& folders)
{
    std::vector<File> files;
    for (const std::string& folder : folders) {
        const std::filesystem::path dir = Root() / folder;
        if (!std::filesystem::is_directory(dir)) continue;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".h" && ext != ".cpp")) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            files.push_back(
                {std::filesystem::relative(entry.path(), Root()).generic_string(), WithoutComments(text.str())});
        }
    }
    std::sort(files.begin(), files.end(), [](const File& a, const File& b) { return a.path < b.path; });
    return files;
}

// The 1-based line of offset in text.
inline int LineOf(const std::string& text, size_t offset)
{
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

}  // namespace source_tree
