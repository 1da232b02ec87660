#include "project/ProjectPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

TEST(ProjectPath, FolderPrefersItsApplicationConfigHeader) {
    const fs::path root = fs::temp_directory_path() / ("hwc_projpath_" + std::to_string(getpid()));
    fs::create_directories(root / "ApplicationConfig");

    // Without ApplicationConfig/appconfig.h the folder's own appconfig.h is meant, even if absent.
    EXPECT_EQ(ResolveProjectFile(root.string()), (root / "appconfig.h").string());

    std::ofstream(root / "ApplicationConfig" / "appconfig.h") << "\n";
    EXPECT_EQ(ResolveProjectFile(root.string()),
              (root / "ApplicationConfig" / "appconfig.h").string());

    // A file is taken as it is, whatever its name.
    const fs::path header = root / "board.h";
    std::ofstream(header) << "\n";
    EXPECT_EQ(ResolveProjectFile(header.string()), header.string());
    fs::remove_all(root);
}

TEST(ProjectPath, EmptyPathMeansTheCurrentFolder) {
    EXPECT_EQ(ResolveProjectFile(""), (fs::current_path() / "appconfig.h").string());
}
