#include "base/Regex.h"

#include <gtest/gtest.h>

#include <string>

using namespace hwc;

// The breadth-first matcher must keep the meaning of lazy groups and multi-line anchors, and
// must survive input that would overflow the stack of the default matcher.
TEST(Regex, LazyGroupsAndAnchorsKeepTheirMeaning) {
    const std::regex entry = MakeRegex(R"(^\s*(\S+?)\s*=\s*(.*?)\s*$)", false);
    std::smatch m;
    const std::string line = "  key  =  a = b   ";
    ASSERT_TRUE(std::regex_search(line, m, entry));
    EXPECT_EQ(m[1].str(), "key");
    EXPECT_EQ(m[2].str(), "a = b");

    const std::regex firstLine = MakeRegex(R"(^b=(.*)$)", true);
    const std::string text = "a=1\nb=2\nc=3";
    ASSERT_TRUE(std::regex_search(text, m, firstLine));
    EXPECT_EQ(m[1].str(), "2");
}

TEST(Regex, MatchesMegabyteLinesWithoutExhaustingTheStack) {
    const std::regex entry = MakeRegex(R"(^\s*(\S+?)\s*=\s*(.*?)\s*$)", false);
    const std::string line = "k=" + std::string(2 * 1024 * 1024, 'v') + "  ";
    std::smatch m;
    ASSERT_TRUE(std::regex_search(line, m, entry));
    EXPECT_EQ(m[2].length(), 2 * 1024 * 1024);
}
