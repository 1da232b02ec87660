#include "base/AppFilePath.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(AppFilePath, DefaultsToTheExecutablesFolder) {
    SetAppFolder("");
    const auto exe = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(AppFolder(), exe.parent_path().string() + "/");
    EXPECT_EQ(AppFilePath("x.cfg"), (exe.parent_path() / "x.cfg").string());
}

TEST(AppFilePath, JoinsFolderSubfolderAndNameWithSingleSlashes) {
    SetAppFolder("/opt/hwc//");
    EXPECT_EQ(AppFolder(), "/opt/hwc/");
    EXPECT_EQ(AppFilePath("K7Q400R.cfg"), "/opt/hwc/K7Q400R.cfg");
    EXPECT_EQ(AppFilePath("ConfigTool.pdf", "help"), "/opt/hwc/help/ConfigTool.pdf");
    EXPECT_EQ(AppFilePath("", "help"), "/opt/hwc/help");
    EXPECT_EQ(AppFilePath("", ""), "/opt/hwc");
    EXPECT_EQ(AppFilePath("/etc/abs.cfg", "help"), "/etc/abs.cfg");

    SetAppFolder("/");
    EXPECT_EQ(AppFilePath(""), "/");
    EXPECT_EQ(AppFilePath("a.cfg"), "/a.cfg");
    SetAppFolder("");
}
