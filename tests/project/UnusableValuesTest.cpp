// Values of a project file that cannot be used are kept as they were written: a register value
// that is no number stays a user definition (the register keeps its default), a clock macro
// nobody changed is written back as read, and each one the tool cannot use is reported.

#include "project/ProjDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "support/TextCount.h"

namespace fs = std::filesystem;

namespace {

// The lines of the text that define the macro.
std::string DefineLines(const std::string& text, const std::string& name) {
    std::string lines;
    for (const std::string& line : hwc::Split(text, '\n')) {
        const std::vector<std::string> words = hwc::Split(line, ' ');
        if (words.size() > 1 && words[0] == "#define" && line.find(" " + name + " ") != std::string::npos)
            lines += line + "\n";
    }
    return lines;
}

class UnusableValues : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;
    void SetUp() override {
        CopyExample("K7Q2430-digital-psu", m_project);
    }

    void Replace(const std::string& from, const std::string& to) {
        std::string text = ReadFileBytes(m_header);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(m_header, std::ios::binary) << text;
    }
    std::string Saved() { return hwc::ReplaceAll(ReadFileBytes(m_header), "\r\n", "\n"); }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-unusable"};
    fs::path m_project = m_root / "psu";
    fs::path m_header = m_project / "ApplicationConfig/appconfig.h";
};

} // namespace

TEST_F(UnusableValues, AnExpressionStaysAUserDefinitionUntilTheRegisterIsSet) {
    Replace("0x752FU", "(PIT_PERIOD - 1)");
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(m_project.string()));
        ASSERT_EQ(m_messages.shown.size(), 1u);
        EXPECT_NE(m_messages.shown[0].text.find("     #define PIT0_MOD_INIT (PIT_PERIOD - 1)\n"),
                  std::string::npos);
        CModuleBase* timer = document.FindModule("PIT0");
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->Item(1).dwValue, 0u); // the default
        const std::vector<std::string> unusable = document.UnusableValues();
        ASSERT_EQ(unusable.size(), 1u);
        EXPECT_EQ(unusable[0], timer->Title() +
                                   ": PIT0_MOD_INIT (PIT_PERIOD - 1): no number; the register "
                                   "keeps its default and the line is kept as a user definition");
        ASSERT_TRUE(document.Save());
    }
    std::string saved = Saved();
    EXPECT_EQ(DefineLines(saved, "PIT0_MOD_INIT"),
              "#define   PIT0_MOD_INIT                  (PIT_PERIOD - 1)\n")
        << saved;

    // Re-opened, the line is found again and saved again unchanged.
    m_messages.shown.clear();
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(m_project.string()));
        EXPECT_EQ(m_messages.shown.size(), 1u);
        ASSERT_TRUE(document.Save());
        EXPECT_EQ(Saved(), saved);

        // Set from outside, the register is written by its module and the user line goes.
        std::string message;
        ASSERT_TRUE(hwc::SetRegisterFromText(document, "PIT0_MOD_INIT=0x1234", message));
        EXPECT_TRUE(document.UnusableValues().empty());
        ASSERT_TRUE(document.Save());
    }
    saved = Saved();
    EXPECT_EQ(CountOf(saved, "PIT0_MOD_INIT"), 1u) << saved;
    EXPECT_NE(saved.find("#define PIT0_MOD_INIT                     0x1234U"), std::string::npos)
        << saved;
}

TEST_F(UnusableValues, ANumberBeyondThirtyTwoBitsIsKeptToo) {
    Replace("0x752FU", "0x123456789U");
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_project.string()));
    ASSERT_EQ(document.UnusableValues().size(), 1u);
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(DefineLines(Saved(), "PIT0_MOD_INIT"),
              "#define   PIT0_MOD_INIT                  0x123456789U\n");
}

TEST_F(UnusableValues, ClockMacrosNobodyChangedAreWrittenBackAsRead) {
    for (const char* clock : {"16000001L", "3000000000L", "8000000", "32768.5L", "0L"}) {
        SCOPED_TRACE(clock);
        fs::remove_all(m_project);
        fs::copy(fs::path(HWC_TEST_SOURCE_DIR "/examples/K7Q2430-digital-psu"), m_project,
                 fs::copy_options::recursive);
        Replace("#define K7Q2430\n", std::string("#define K7Q2430\n#define APPCFG_EXTAL ") +
                                         clock + "\n#define APPCFG_EXTCLK 4000001L\n");
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(m_project.string()));
        EXPECT_TRUE(document.UnusableValues().empty());
        ASSERT_TRUE(document.Save());
        const std::string saved = Saved();
        EXPECT_EQ(DefineLines(saved, "APPCFG_EXTAL"),
                  std::string("#define APPCFG_EXTAL ") + clock + "\n")
            << saved;
        EXPECT_EQ(DefineLines(saved, "APPCFG_EXTCLK"), "#define APPCFG_EXTCLK 4000001L\n")
            << saved;
        EXPECT_TRUE(m_messages.shown.empty());
    }
}

TEST_F(UnusableValues, AnUnusableClockIsReportedAndKeptAChangedOneIsWritten) {
    Replace("#define K7Q2430\n", "#define K7Q2430\n#define APPCFG_EXTAL -5L\n"
                                 "#define APPCFG_EXTCLK CLOCK_HZ\n");
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_project.string()));
    EXPECT_EQ(document.Processor().crystalMHz, 0.0f);
    EXPECT_EQ(document.Processor().extClockMHz, 0.0f);
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(m_messages.shown[0].text,
              "The clock macro cannot be used: APPCFG_EXTCLK CLOCK_HZ: no frequency in hertz; "
              "the line is kept as written.");
    const std::vector<std::string> unusable = document.UnusableValues();
    ASSERT_EQ(unusable.size(), 2u);
    EXPECT_EQ(unusable[1], "APPCFG_EXTAL -5L: no frequency in hertz; the line is kept as written");
    ASSERT_TRUE(document.Save());
    std::string saved = Saved();
    EXPECT_EQ(DefineLines(saved, "APPCFG_EXTAL"), "#define APPCFG_EXTAL -5L\n") << saved;
    EXPECT_EQ(DefineLines(saved, "APPCFG_EXTCLK"), "#define APPCFG_EXTCLK CLOCK_HZ\n") << saved;

    // A frequency the user sets replaces the kept text; one set back to none removes the line.
    document.SetCrystalClockMHz(16.0f);
    document.SetExternalClockMHz(3000.0f);
    ASSERT_TRUE(document.Save());
    saved = Saved();
    EXPECT_EQ(DefineLines(saved, "APPCFG_EXTAL"), "#define APPCFG_EXTAL 16000000L\n") << saved;
    EXPECT_EQ(DefineLines(saved, "APPCFG_EXTCLK"), "#define APPCFG_EXTCLK 3000000000L\n")
        << saved;
    document.SetCrystalClockMHz(0.0f);
    ASSERT_TRUE(document.Save());
    saved = Saved();
    EXPECT_EQ(DefineLines(saved, "APPCFG_EXTAL"), "") << saved;
    EXPECT_EQ(DefineLines(saved, "APPCFG_EXTCLK"), "#define APPCFG_EXTCLK 3000000000L\n");
}
