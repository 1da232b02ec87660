#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

CMyCommandLineInfo Parse(std::initializer_list<const char*> words) {
    std::vector<const char*> argv{"hwc"};
    argv.insert(argv.end(), words);
    CMyCommandLineInfo info;
    ParseCommandLine(static_cast<int>(argv.size()), argv.data(), info);
    return info;
}

} // namespace

TEST(CommandLine, FlagsMatchWithoutLeadCharacterOrCase) {
    EXPECT_TRUE(Parse({"/SELFTEST"}).m_selfTest);
    EXPECT_TRUE(Parse({"-selftest"}).m_selfTest);
    EXPECT_TRUE(Parse({"/RePrOcEsS"}).m_reprocess);
    EXPECT_TRUE(Parse({"-Embedding"}).m_runEmbedded);
    EXPECT_TRUE(Parse({"/automation"}).m_runAutomated);

    const CMyCommandLineInfo word = Parse({"selftest"});
    EXPECT_FALSE(word.m_selfTest);
    EXPECT_EQ(word.m_fileName, "selftest");
    EXPECT_EQ(word.m_shellCommand, CMyCommandLineInfo::EShellCommand::FileOpen);

    const CMyCommandLineInfo both = Parse({"-reprocess", "project.h", "/selftest", "other.h"});
    EXPECT_TRUE(both.m_selfTest);
    EXPECT_TRUE(both.m_reprocess);
    EXPECT_EQ(both.m_fileName, "project.h");
}

TEST(CommandLine, RegistrationAndUnknownFlagsChangeNothing) {
    for (const char* flag : {"/RegServer", "-UnregServer", "/Unregister", "-bogus", "-"}) {
        const CMyCommandLineInfo info = Parse({flag});
        EXPECT_FALSE(info.m_selfTest || info.m_reprocess || info.m_runEmbedded ||
                     info.m_runAutomated)
            << flag;
        EXPECT_EQ(info.m_fileName, "") << flag;
        EXPECT_EQ(info.m_shellCommand, CMyCommandLineInfo::EShellCommand::FileNew) << flag;
    }
    EXPECT_EQ(Parse({}).m_fileName, "");
}

TEST(CommandLine, AbsolutePathsAreFileNamesNotFlags) {
    EXPECT_EQ(Parse({"/home/dev/board/appconfig.h"}).m_fileName, "/home/dev/board/appconfig.h");
    EXPECT_EQ(Parse({"/tmp"}).m_fileName, "/tmp"); // an existing folder
    EXPECT_TRUE(IsCommandLineFlag("/selftest"));
    EXPECT_FALSE(IsCommandLineFlag(""));
}
