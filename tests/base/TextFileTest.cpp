#include "base/TextFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/TestFolder.h"

using namespace hwc;

namespace {

} // namespace

TEST(TextFile, DropsCarriageReturnBeforeLineFeedAndRemembersCrlf) {
    CTextFile file = CTextFile::FromBytes("a\r\nb\rc\r\n");
    EXPECT_EQ(file.Text(), "a\nb\rc\n");
    EXPECT_EQ(file.LineEnding(), ELineEnding::CRLF);

    EXPECT_EQ(CTextFile::FromBytes("a\nb\r\n").LineEnding(), ELineEnding::LF);
    EXPECT_EQ(CTextFile::FromBytes("no line end").LineEnding(), ELineEnding::LF);
}

TEST(TextFile, ReadsLinesAndBytesIncludingNul) {
    CTextFile file = CTextFile::FromBytes(std::string("x\0y\nlast", 8));
    EXPECT_EQ(file.GetChar(), 'x');
    EXPECT_EQ(file.GetChar(), 0);
    std::string line;
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "y");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(file.ReadLine(line));
    EXPECT_EQ(file.GetChar(), CTextFile::kEof);
}

TEST(TextFile, WritesWithTheRememberedLineEndsAndReadsBack) {
    const CTestFolder folder("hwc_textfile");
    const auto path = folder / "crlf.h";
    ASSERT_TRUE(WriteTextFile(path.string(), "one\ntwo\n", ELineEnding::CRLF));
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo\r\n");

    CTextFile file;
    ASSERT_TRUE(file.Load(path.string()));
    EXPECT_EQ(file.Text(), "one\ntwo\n");
    EXPECT_EQ(file.LineEnding(), ELineEnding::CRLF);

    ASSERT_TRUE(AppendTextFile(path.string(), "three\n"));
    EXPECT_EQ(ReadFileBytes(path), "one\r\ntwo\r\nthree\n");
}

TEST(TextFile, FailuresAreReportedWithThePath) {
    CTextFile file;
    const Status missing = file.Load("/nonexistent/dir/appconfig.h");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.message().find("/nonexistent/dir/appconfig.h"), std::string::npos);

    const Status unwritable = WriteTextFile("/nonexistent/dir/out.h", "x");
    EXPECT_FALSE(unwritable);
    EXPECT_FALSE(WriteTextFile("/dev/full", "x"));
}
