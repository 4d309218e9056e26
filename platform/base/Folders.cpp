#include "platform/base/Folders.h"

#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace plat {

namespace {

std::string WithSlash(std::string folder)
{
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

} // namespace

std::string ProgramFolder()
{
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || exe.empty()) return CurrentDirectory();
    return WithSlash(exe.parent_path().string());
}

std::string DocumentsFolder()
{
    const std::string folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    std::error_code error;
    if (folder.empty() || !std::filesystem::is_directory(folder, error)) return {};
    return WithSlash(folder);
}

std::string CurrentDirectory()
{
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : WithSlash(current.string());
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace plat
