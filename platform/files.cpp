#include "platform/files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace {

std::mutex g_basesMutex;
std::optional<FileBases> g_testBases;

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

bool DeleteFileAt(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::filesystem::remove(path, ec);
}
