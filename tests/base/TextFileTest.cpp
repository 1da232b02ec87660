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

TEST(TextFile, LineEndsAtEitherSideOfALoneCarriageReturn) {
    // Only the pair is a line end: a lone one stays, also just before a pair or at the end.
    CTextFile file = CTextFile::FromBytes("\r\r\nx\r");
    EXPECT_EQ(file.Text(), "\r\nx\r");
    EXPECT_EQ(file.LineEnding(), ELineEnding::CRLF);
    file = CTextFile::FromBytes("\rx\n\r\n");
    EXPECT_EQ(file.Text(), "\rx\n\n");
    EXPECT_EQ(file.LineEnding(), ELineEnding::LF);
    EXPECT_EQ(CTextFile::FromBytes("\r\n").Text(), "\n");
    EXPECT_EQ(CTextFile::FromBytes("").Text(), "");
}

TEST(TextFile, LargeFileIsReadWholeWithPairsAcrossReadBoundaries) {
    const CTestFolder folder("hwc_textfile_large");
    const auto path = folder / "large.h";
    // Lines of varying length put CRLF pairs on every offset, so some straddle the boundaries
    // of the reads.
    std::string bytes;
    std::string expected;
    for (int line = 0; bytes.size() < 300000; ++line) {
        const std::string text(static_cast<std::size_t>(line % 37), static_cast<char>('a' + line % 26));
        bytes += text + "\r\n";
        expected += text + "\n";
    }
    std::ofstream(path, std::ios::binary) << bytes;

    CTextFile file;
    ASSERT_TRUE(file.Load(path.string()));
    EXPECT_EQ(file.Text(), expected);
    EXPECT_EQ(file.LineEnding(), ELineEnding::CRLF);
    EXPECT_EQ(file.Tell(), 0u);

    // A file reloaded into the same object replaces the text.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "short\n";
    ASSERT_TRUE(file.Load(path.string()));
    EXPECT_EQ(file.Text(), "short\n");
    EXPECT_EQ(file.LineEnding(), ELineEnding::LF);
    // A failed load leaves nothing of the earlier text.
    EXPECT_FALSE(file.Load((folder / "missing.h").string()));
    EXPECT_EQ(file.Text(), "");
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
