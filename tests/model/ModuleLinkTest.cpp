#include <gtest/gtest.h>

#include <string>

#include "model/ModuleLink.h"

TEST(ModuleLink, LinkTextBuildsAnAnchorToTheControl) {
    EXPECT_EQ(LinkText("ADC_A", "ADC", "ADC A", nullptr, 1466, "tiptext=Hello", false),
              "<A HREF=\"hwc:ADC_A/ADC/1466?tiptext=Hello\">ADC A</A>");
    EXPECT_EQ(LinkText("ADC_A", "ADC", "ADC A", nullptr, 1466, "tiptext=Hello", true),
              "<A HREF=\"hwcna:ADC_A/ADC/1466?tiptext=Hello\">ADC A</A>");
}

TEST(ModuleLink, LinkTextLeavesOutIdZeroAndEmptyQueries) {
    EXPECT_EQ(LinkText("ADC_A", "ADC", "ADC A", nullptr, 0, nullptr, false),
              "<A HREF=\"hwc:ADC_A/ADC\">ADC A</A>");
    EXPECT_EQ(LinkText("ADC_A", "ADC", "", nullptr, 0, "x=1", false),
              "<A HREF=\"hwc:ADC_A/ADC?x=1\">ADC_A</A>");
    EXPECT_EQ(LinkText("ADC_A", "ADC", "ADC A", "the clock", 12, "", false),
              "<A HREF=\"hwc:ADC_A/ADC/12\">the clock</A>");
}

TEST(ModuleLink, ParsesPathAndUnescapedQuery) {
    const tModuleLink link = ParseModuleLink("hwc:///ADC_A/ADC/Clock%20source?TipText=Hi%21&x=1");
    EXPECT_TRUE(link.isModuleLink);
    EXPECT_FALSE(link.noActivate);
    EXPECT_EQ(link.instanceName, "ADC_A");
    EXPECT_EQ(link.typeKey, "ADC");
    EXPECT_EQ(link.controlReference, "Clock source");
    EXPECT_EQ(link.query, "TipText=Hi!&x=1");
    const std::map<std::string, std::string> expected{{"tiptext", "Hi!"}, {"x", "1"}};
    EXPECT_EQ(link.parameters, expected);
}

TEST(ModuleLink, EscapedSeparatorsStayInsideTheirPart) {
    const tModuleLink link =
        ParseModuleLink("hwcna:PWM_A/PWM/A%2FB/more?tiptext=A%26B%3DC&%20Title%20=x&&=y&flag");
    EXPECT_TRUE(link.noActivate);
    EXPECT_EQ(link.controlReference, "A/B");
    EXPECT_EQ(link.query, "tiptext=A&B=C& Title =x&&=y&flag");
    const std::map<std::string, std::string> expected{
        {"tiptext", "A&B=C"}, {"title", "x"}, {"flag", ""}};
    EXPECT_EQ(link.parameters, expected);
}

TEST(ModuleLink, OtherLinksAndShortLinks) {
    for (const char* other : {"http://example.com/hwc:ADC_A/ADC", "", "hwc", "HWCX:A/B"}) {
        const tModuleLink link = ParseModuleLink(other);
        EXPECT_FALSE(link.isModuleLink) << other;
        EXPECT_TRUE(link.instanceName.empty() && link.parameters.empty()) << other;
    }
    const tModuleLink bare = ParseModuleLink("hwc:ADC_A");
    EXPECT_TRUE(bare.isModuleLink);
    EXPECT_EQ(bare.instanceName, "ADC_A");
    EXPECT_EQ(bare.typeKey, "");
    EXPECT_EQ(bare.controlReference, "");
    EXPECT_EQ(ParseModuleLink("hwc:").instanceName, "");
}

TEST(ModuleLink, MalformedEscapesAreKeptAsWritten) {
    const tModuleLink link = ParseModuleLink("hwc:A/B/%?tiptext=%G1%00%4");
    EXPECT_EQ(link.controlReference, "%");
    EXPECT_EQ(link.parameters.at("tiptext"), "%G1%00%4");
    EXPECT_EQ(ParseModuleLink("hwc:A/B/50%25%").controlReference, "50%%");
}

TEST(ModuleLink, OnlyTheFirstKilobyteIsRead) {
    const std::string start = "hwc:ADC_A/ADC/12?tiptext=";
    // The escape "%41" is cut after "%4" by the limit.
    const std::string link =
        start + std::string(kModuleLinkMax - 2 - start.size(), 'a') + "%41&late=1";
    const tModuleLink parsed = ParseModuleLink(link);
    EXPECT_EQ(parsed.controlReference, "12");
    EXPECT_EQ(parsed.parameters.count("late"), 0u);
    const std::string& tip = parsed.parameters.at("tiptext");
    EXPECT_EQ(tip.size(), kModuleLinkMax - start.size());
    EXPECT_EQ(tip.substr(tip.size() - 3), "a%4");
}

TEST(ModuleLink, ControlReferenceNumbers) {
    EXPECT_EQ(ControlIdOfReference("1466"), 1466);
    EXPECT_EQ(ControlIdOfReference("0x10"), 16);
    EXPECT_EQ(ControlIdOfReference("1466abc"), 1466);
    EXPECT_EQ(ControlIdOfReference(std::to_string(3 * 0x10000 + 1466)), 0x30000 + 1466);
    EXPECT_EQ(ControlIdOfReference(ParseModuleLink("hwc:A/B/132538").controlReference),
              2 * 0x10000 + 1466);
    // Captions, and numbers that can be no control id, ask for the search by caption.
    EXPECT_EQ(ControlIdOfReference("Clock source"), 0);
    EXPECT_EQ(ControlIdOfReference(" 12"), 0);
    EXPECT_EQ(ControlIdOfReference(""), 0);
    EXPECT_EQ(ControlIdOfReference("4294967295"), 0);
    // A GPIO pin's function list: sub-page 0xE903, control 1001.
    EXPECT_EQ(static_cast<std::uint32_t>(ControlIdOfReference(std::to_string(0xE90303E9u))),
              0xE90303E9u);
    EXPECT_EQ(ControlIdOfReference("99999999999"), 0);
}
