#include "project/LogFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

} // namespace

TEST(LogFile, EveryOpenAppendsAHeaderBlockAfterEarlierContent) {
    const CTestFolder folder("hwc_log");
    const auto path = folder / "session.log";
    std::ofstream(path) << "kept\n";
    CScriptedMessages messages;
    CLogFile log;
    EXPECT_TRUE(log.Open(path.string(), "demo.h"));
    log.Write("first ", false);
    log.Write("line", true);
    EXPECT_TRUE(log.Open(path.string(), "x"));
    EXPECT_EQ(ReadFile(path), "kept\n"
                              "New Session Started for project demo.h\n"
                              "--------------------------------------\n"
                              "first line\n"
                              "New Session Started for project x\n"
                              "---------------------------------\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(LogFile, ClosedLogWritesAndReportsNothing) {
    CScriptedMessages messages;
    CLogFile log;
    log.Write("lost", true);
    const CTestFolder folder("hwc_log");
    const auto path = folder / "closed.log";
    log.Open(path.string(), "p");
    log.Close();
    log.Write("after close", true);
    EXPECT_EQ(ReadFile(path).find("after close"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(LogFile, UnwritablePathReportsEveryLostWrite) {
    CScriptedMessages messages;
    CLogFile log;
    const CTestFolder folder("hwc_log");
    EXPECT_TRUE(log.Open((folder / "no_such_folder/x.log").string(), "p"));
    EXPECT_EQ(messages.shown.size(), 2u); // header and dash line
    log.Write("more", true);
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_NE(messages.shown[2].text.find("x.log"), std::string::npos);
}
