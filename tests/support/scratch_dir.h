// A folder of the test's own: made under the system's temporary folder with
// a name nobody else has (mkdtemp) and removed, with what it holds, at the
// end. Two runs on one machine never meet in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class ScratchDir {
public:
    explicit ScratchDir(const std::string& prefix)
    {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / (prefix + "_XXXXXX")).string();
        if (!ec && ::mkdtemp(pattern.data()) != nullptr) m_path = pattern;
    }
    ~ScratchDir()
    {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    // Empty when the folder could not be made.
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};
