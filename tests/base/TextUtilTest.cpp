#include "base/TextUtil.h"

#include <gtest/gtest.h>

#include <string>

using namespace hwc;

TEST(TextUtil, FormatGivesTextsOfEveryLengthWhole) {
    EXPECT_EQ(Format("%s", ""), "");
    EXPECT_EQ(Format("%d-%s", 42, "x"), "42-x");
    // Around the length a text is first formatted into, and far beyond it.
    for (const std::size_t length : {254u, 255u, 256u, 257u, 100000u}) {
        const std::string text(length, 'q');
        EXPECT_EQ(Format("%s", text.c_str()), text) << length;
        EXPECT_EQ(Format("<%s>%d", text.c_str(), 7), "<" + text + ">7") << length;
    }
    // A NUL written by %c stays in the text.
    EXPECT_EQ(Format("a%cb", 0), std::string("a\0b", 3));
}
