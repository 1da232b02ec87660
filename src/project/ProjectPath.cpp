#include "project/ProjectPath.h"

#include <filesystem>
#include <system_error>

std::string ResolveProjectFile(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path given = path.empty() ? fs::current_path(error) : fs::path(path);
    if (!fs::is_directory(given, error))
        return given.string();
    const fs::path inConfigFolder = given / "ApplicationConfig" / "appconfig.h";
    if (fs::is_regular_file(inConfigFolder, error))
        return inConfigFolder.string();
    return (given / "appconfig.h").string();
}
