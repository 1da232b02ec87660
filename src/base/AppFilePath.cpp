#include "base/AppFilePath.h"

#include <filesystem>
#include <system_error>

namespace {

// The text with exactly one "/" at its end.
std::string WithOneTrailingSlash(std::string_view folder) {
    while (!folder.empty() && folder.back() == '/')
        folder.remove_suffix(1);
    return std::string(folder) + '/';
}

// The executable's folder; the current folder when the executable cannot be found.
std::string ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error && exe.has_parent_path())
        return WithOneTrailingSlash(exe.parent_path().string());
    return "./";
}

std::string& Folder() {
    static std::string folder = ExecutableFolder();
    return folder;
}

// Appends the part with a single "/" between; the root folder keeps its only slash.
void AppendPart(std::string& path, std::string_view part) {
    while (!part.empty() && part.front() == '/')
        part.remove_prefix(1);
    if (part.empty())
        return;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += part;
}

} // namespace

const std::string& AppFolder() {
    return Folder();
}

void SetAppFolder(std::string_view folder) {
    Folder() = folder.empty() ? ExecutableFolder() : WithOneTrailingSlash(folder);
}

std::string AppFilePath(std::string_view name, std::string_view subfolder) {
    if (!name.empty() && name.front() == '/')
        return std::string(name);
    std::string path = AppFolder();
    // The folder without its trailing "/", unless it is the root folder itself.
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    AppendPart(path, subfolder);
    AppendPart(path, name);
    return path;
}
