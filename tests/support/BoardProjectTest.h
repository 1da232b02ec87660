#pragma once
// A fixture for tests that open a project of one header on the shipped architecture files: the
// header goes to <temporary folder>/Board/ApplicationConfig, the generation date is fixed and
// every message is answered by script.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/AppFilePath.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

class CBoardProjectTest : public ::testing::Test {
protected:
    explicit CBoardProjectTest(std::string_view folderPrefix) : m_root(folderPrefix) {}

    void SetUp() override { SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch"); }
    void TearDown() override { SetAppFolder(""); }

    // The project folder, as a user would open it.
    std::filesystem::path Board() const { return m_root / "Board"; }
    std::filesystem::path WriteHeader(const std::string& text) {
        const std::filesystem::path header = Board() / "ApplicationConfig/appconfig.h";
        std::filesystem::create_directories(header.parent_path());
        std::ofstream(header, std::ios::binary) << text;
        return header;
    }
    static std::string Read(const std::filesystem::path& path) { return ReadFileBytes(path); }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root;
};
