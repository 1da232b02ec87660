#include "project/LogFile.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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
    // A log that cannot take its session block says so once and stays closed.
    EXPECT_FALSE(log.Open((folder / "no_such_folder/x.log").string(), "p"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("x.log"), std::string::npos);
    EXPECT_TRUE(log.Failed());
    EXPECT_FALSE(log.IsOpen());
    log.Write("more", true);
    EXPECT_EQ(messages.shown.size(), 1u);

    // A log that goes away while it is open: every lost write is reported.
    std::filesystem::create_directory(folder / "gone");
    ASSERT_TRUE(log.Open((folder / "gone/x.log").string(), "p"));
    EXPECT_FALSE(log.Failed());
    std::filesystem::remove_all(folder / "gone");
    log.Write("lost", true);
    log.Write("lost too", true);
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_TRUE(log.Failed());
    log.Close();
    EXPECT_TRUE(log.Failed()); // the session's result outlives it
}

TEST(LogFile, LinkInTheLogsPlaceIsReplacedNeverWrittenThrough) {
    CScriptedMessages messages;
    const CTestFolder folder("hwc_log");
    const CTestFolder outside("hwc_log_outside");
    const auto victim = outside / "victim";
    std::ofstream(victim) << "secret\n";
    const auto path = folder / "session.log";

    CLogFile log;
    std::filesystem::create_symlink(victim, path);
    ASSERT_TRUE(log.Open(path.string(), "p"));
    log.Write("line", true);
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    EXPECT_EQ(ReadFile(victim), "secret\n");
    EXPECT_EQ(ReadFile(path), "New Session Started for project p\n"
                              "---------------------------------\n"
                              "line\n");

    // A dangling link creates nothing where it points.
    std::filesystem::remove(path);
    std::filesystem::create_symlink(outside / "planted", path);
    ASSERT_TRUE(log.Open(path.string(), "p"));
    EXPECT_FALSE(std::filesystem::exists(outside / "planted"));

    // A second name of another file is given up, the other file keeps its content.
    std::filesystem::remove(path);
    std::filesystem::create_hard_link(victim, path);
    ASSERT_TRUE(log.Open(path.string(), "p"));
    EXPECT_EQ(ReadFile(victim), "secret\n");
    EXPECT_EQ(std::filesystem::hard_link_count(path), 1u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(LogFile, SomethingOtherThanAFileInTheLogsPlace) {
    CScriptedMessages messages;
    const CTestFolder folder("hwc_log");
    CLogFile log;
    const auto directory = folder / "dir.log";
    std::filesystem::create_directory(directory);
    EXPECT_FALSE(log.Open(directory.string(), "p"));
    const auto pipe = folder / "pipe.log";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(log.Open(pipe.string(), "p")); // never waits for a reader
    // With a reader the pipe opens, and is still no log.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(log.Open(pipe.string(), "p"));
    ::close(reader);
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_NE(messages.shown[0].text.find("dir.log"), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("pipe.log"), std::string::npos);
    EXPECT_EQ(messages.shown[2].text, "Cannot write the log \"" + pipe.string() +
                                          "\": something other than a file has its name.");
    EXPECT_TRUE(std::filesystem::is_directory(directory));
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}
