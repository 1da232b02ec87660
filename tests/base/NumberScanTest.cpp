#include "base/NumberScan.h"

#include <gtest/gtest.h>

using namespace hwc;

TEST(NumberScan, ReadsDecimalHexAndOctalLikePercentI) {
    EXPECT_EQ(ReadLeadingU32("42"), 42u);
    EXPECT_EQ(ReadLeadingU32("0x00FFU"), 255u);
    EXPECT_EQ(ReadLeadingU32("010"), 8u);
    EXPECT_EQ(ReadLeadingU32("  -1"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadLeadingU32("12abc"), 12u);
    // "0x" without a hex digit reads as 0 followed by the letter x.
    EXPECT_EQ(ReadLeadingU32("0xg"), 0u);
    EXPECT_EQ(ReadLeadingU32("09"), 0u);
    EXPECT_FALSE(ReadLeadingU32("abc"));
    EXPECT_FALSE(ReadLeadingU32(""));
    EXPECT_FALSE(ReadLeadingU32("-"));
}

TEST(NumberScan, RefusesValuesThatDoNotFitThirtyTwoBits) {
    EXPECT_EQ(ReadLeadingU32("0xFFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(ReadLeadingU32("-2147483648"), 0x80000000u);
    EXPECT_FALSE(ReadLeadingU32("0x100000000"));
    EXPECT_FALSE(ReadLeadingU32("-2147483649"));
    EXPECT_FALSE(ReadLeadingU32("99999999999999999999999999"));
}

TEST(NumberScan, ExactReadingWantsNothingAfterTheNumber) {
    EXPECT_EQ(ReadExactU32(" 0x10"), 16u);
    EXPECT_FALSE(ReadExactU32("12abc"));
    EXPECT_FALSE(ReadExactU32("12 "));
    EXPECT_FALSE(ReadExactU32("0x"));
    EXPECT_FALSE(ReadExactU32(std::string_view("1\0", 2)));
}

TEST(NumberScan, IntegerConstantsTakeOnlySuffixLettersAfterTheNumber) {
    EXPECT_EQ(ReadIntegerConstant("0x5005U"), 0x5005u);
    EXPECT_EQ(ReadIntegerConstant(" 8000000L "), 8000000u);
    EXPECT_EQ(ReadIntegerConstant("1uLL"), 1u);
    EXPECT_EQ(ReadIntegerConstant("010"), 8u);
    EXPECT_EQ(ReadIntegerConstant("-5"), 0xFFFFFFFBu);
    EXPECT_EQ(ReadIntegerConstant("0xFFFFFFFFUL"), 0xFFFFFFFFu);
    for (const char* expression : {"(PIT_PERIOD - 1)", "4 * PIT_PERIOD", "1 + 2", "12abc", "09",
                                   "0x123456789U", "", "U", "0x", "1.5"})
        EXPECT_FALSE(ReadIntegerConstant(expression)) << expression;
    EXPECT_FALSE(ReadIntegerConstant(std::string_view("1\0", 2)));
}

TEST(NumberScan, ExactDoubleReading) {
    EXPECT_EQ(ReadExactDouble("1.5"), 1.5);
    EXPECT_EQ(ReadExactDouble(" +2e3"), 2000.0);
    EXPECT_EQ(ReadExactDouble("-0.25"), -0.25);
    EXPECT_FALSE(ReadExactDouble("1.5x"));
    EXPECT_FALSE(ReadExactDouble("1.5 "));
    EXPECT_FALSE(ReadExactDouble(""));
    EXPECT_FALSE(ReadExactDouble("+-1"));
}

TEST(NumberScan, LeadingDoubleIgnoresWhatFollows) {
    EXPECT_EQ(ReadLeadingDouble("8000000L"), 8000000.0);
    EXPECT_EQ(ReadLeadingDouble(" 3686400.5UL"), 3686400.5);
    EXPECT_FALSE(ReadLeadingDouble("L8"));
    EXPECT_FALSE(ReadLeadingDouble(""));
}
