// Every supported processor and every example project: each opens without a message, and saving
// the saved file once more gives the same bytes.

#include "project/ProjDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/AppFilePath.h"
#include "project/ProcessorTable.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// The macro a header names the processor with (the evaluation board's for its processor).
std::string MacroOf(std::string_view processorName) {
    for (const tProcessorDefine& row : ProcessorDefines()) {
        if (ProcessorName(row) == processorName)
            return row.macroName;
    }
    return {};
}

class ProcessorFamilyProjects : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch"); }
    void TearDown() override { SetAppFolder(""); }

    // Opens the project as the re-process run does and saves it; the bytes written.
    static std::string Reprocess(const fs::path& project, const fs::path& header) {
        CProjDoc document;
        tRunFlags flags;
        flags.reprocess = true;
        document.SetRunFlags(flags);
        if (!document.OpenProject(project.string())) {
            ADD_FAILURE() << "open failed: " << project;
            return {};
        }
        if (!document.Save()) {
            ADD_FAILURE() << "save failed: " << project;
            return {};
        }
        return ReadFileBytes(header);
    }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-family"};
};

} // namespace

TEST_F(ProcessorFamilyProjects, EveryProcessorTemplateOpensSilentlyAndSavesStably) {
    const auto names = ArchitectureProcessorNames();
    ASSERT_EQ(names.size(), 96u);
    for (const std::string_view name : names) {
        SCOPED_TRACE(name);
        const std::string macro = MacroOf(name);
        ASSERT_FALSE(macro.empty());
        const fs::path header = m_root / std::string(name) / "appconfig.h";
        fs::create_directories(header.parent_path());
        std::ofstream(header, std::ios::binary) << "#define " << macro << "\n";

        const std::string first = Reprocess(header, header);
        EXPECT_NE(first.find("\n#define " + macro + "\n"), std::string::npos) << first;
        // The first save gives the template its guard; from there on nothing may change.
        const std::string second = Reprocess(header, header);
        EXPECT_EQ(Reprocess(header, header), second);
        EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;
        m_messages.shown.clear();
    }
}

// A header without guard gets a default guard whose text ends in a line end; the first save must
// already write what every later save writes.
TEST_F(ProcessorFamilyProjects, TemplateSavesStablyFromTheFirstSave) {
    const fs::path header = m_root / "appconfig.h";
    std::ofstream(header, std::ios::binary) << "#define K7Q3010\n";
    const std::string first = Reprocess(header, header);
    EXPECT_EQ(Reprocess(header, header), first);
}

TEST_F(ProcessorFamilyProjects, EveryExampleOpensSilentlyAndSavesStably) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(HWC_TEST_SOURCE_DIR "/examples")) {
        // Folders that hold no project are not examples.
        if (!fs::exists(entry.path() / "ApplicationConfig/appconfig.h"))
            continue;
        ++count;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const fs::path project = m_root / name;
        fs::copy(entry.path(), project, fs::copy_options::recursive);
        const fs::path header = project / "ApplicationConfig/appconfig.h";

        const std::string first = Reprocess(project, header);
        EXPECT_EQ(Reprocess(project, header), first);
        EXPECT_TRUE(m_messages.shown.empty()) << m_messages.shown.front().text;
        m_messages.shown.clear();
    }
    EXPECT_GE(count, 11);
}
