#include "header/KeptComment.h"

#include <gtest/gtest.h>

#include <string>

using namespace hwc;

TEST(KeptComment, AddsBlanksOnlyWhereMissingAndCannotEndEarly) {
    EXPECT_EQ(KeptCommentText(" note "), "/* note */");
    EXPECT_EQ(KeptCommentText("note"), "/* note */");
    EXPECT_EQ(KeptCommentText("\tnote"), "/*\tnote */");
    EXPECT_EQ(KeptCommentText(" a */ b"), "/* a * / b */");
    EXPECT_EQ(KeptCommentText("ends with *"), "/* ends with * */");
    EXPECT_EQ(KeptCommentText("**/"), "/* ** / */");
    // A leading '.' must not turn it into one of the tool's own comments.
    EXPECT_EQ(KeptCommentText(".x."), "/* .x. */");
    EXPECT_EQ(KeptCommentText(""), "/* */");

    std::string line = "#define A 1";
    AppendKeptComment(line, " c ");
    EXPECT_EQ(line, "#define A 1" + std::string(39, ' ') + " /* c */");
}

TEST(KeptComment, NoCommentAfterAnOpenQuote) {
    EXPECT_FALSE(LeavesQuoteOpen("#define A 1"));
    EXPECT_FALSE(LeavesQuoteOpen("#define A \"x\" 'y'"));
    EXPECT_FALSE(LeavesQuoteOpen("#define A '\\''"));
    EXPECT_FALSE(LeavesQuoteOpen("#define A \"a\\\"b\""));
    EXPECT_TRUE(LeavesQuoteOpen("#define A 1 * Bob's"));
    EXPECT_TRUE(LeavesQuoteOpen("#define A \"open"));
    EXPECT_TRUE(LeavesQuoteOpen("#define A \"ends with \\\""));

    std::string line = "#define A 1 * Bob's";
    AppendKeptComment(line, " c ");
    EXPECT_EQ(line, "#define A 1 * Bob's");
}

