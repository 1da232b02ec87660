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
