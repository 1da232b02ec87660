#include "project/ProjectPath.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TestFolder.h"

namespace fs = std::filesystem;

TEST(ProjectPath, FolderPrefersItsApplicationConfigHeader) {
    const CTestFolder root("hwc_projpath");
    fs::create_directories(root / "ApplicationConfig");

    // Without ApplicationConfig/appconfig.h the folder's own appconfig.h is meant, even if absent.
    EXPECT_EQ(ResolveProjectFile(root.Path().string()), (root / "appconfig.h").string());

    std::ofstream(root / "ApplicationConfig" / "appconfig.h") << "\n";
    EXPECT_EQ(ResolveProjectFile(root.Path().string()),
              (root / "ApplicationConfig" / "appconfig.h").string());

    // A file is taken as it is, whatever its name.
    const fs::path header = root / "board.h";
    std::ofstream(header) << "\n";
    EXPECT_EQ(ResolveProjectFile(header.string()), header.string());
}

TEST(ProjectPath, EmptyPathMeansTheCurrentFolder) {
    EXPECT_EQ(ResolveProjectFile(""), (fs::current_path() / "appconfig.h").string());
}
