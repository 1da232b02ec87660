#include <gtest/gtest.h>

#include "model/UpDown.h"

TEST(UpDown, HexTextKeepsItsDigits) {
    EXPECT_EQ(UpDownBuddyText("0x0010", 1, 0, 255), "0x0011");
    EXPECT_EQ(UpDownBuddyText("0X00ff", -1, 0, 255), "0x00FE");
    EXPECT_EQ(UpDownBuddyText("0xF", 1, 0, 255), "0x10");
    EXPECT_EQ(UpDownBuddyText("0x", 1, 0, 255), "0x1");
}

TEST(UpDown, StepsRoundDownToTheStep) {
    EXPECT_EQ(UpDownBuddyText("12", 5, 0, 100), "15");
    EXPECT_EQ(UpDownBuddyText("12", -5, 0, 100), "5");
    EXPECT_EQ(UpDownBuddyText("12", 0, 0, 100), "12");
    EXPECT_EQ(UpDownBuddyText("010", 1, 0, 100), "9"); // read as octal, as "%i" does
}

TEST(UpDown, StopsAtTheEndsOfTheRange) {
    EXPECT_EQ(UpDownBuddyText("7", -8, 0, 100), "0");
    EXPECT_EQ(UpDownBuddyText("4", -5, 3, 20), "3");
    EXPECT_EQ(UpDownBuddyText("18", 5, 3, 20), "20");
    EXPECT_EQ(UpDownBuddyText("255", 1, 0, 255), "255");
    EXPECT_EQ(UpDownBuddyText("3", 1, 10, 20), "10");
    // The full 32-bit range is 0..-1; its top does not wrap round to 0.
    EXPECT_EQ(UpDownBuddyText("4294967295", 1, 0, -1), "4294967295");
    EXPECT_EQ(UpDownBuddyText("0xFFFFFFF0", 16, 0, -1), "0xFFFFFFFF");
    EXPECT_EQ(UpDownBuddyText("0", -1, 0, -1), "0");
}

TEST(UpDown, ReversedRangeTurnsTheDirectionRound) {
    EXPECT_EQ(UpDownBuddyText("10", 1, 100, 0), "9");
    EXPECT_EQ(UpDownBuddyText("10", -1, 100, 0), "11");
    EXPECT_EQ(UpDownBuddyText("0", 1, 100, 0), "0");
    EXPECT_EQ(UpDownBuddyText("100", -1, 100, 0), "100");
}

TEST(UpDown, UnreadableTextStartsFromLow) {
    EXPECT_EQ(UpDownBuddyText("abc", 1, 5, 10), "6");
    EXPECT_EQ(UpDownBuddyText("", -1, 5, 10), "5");
    EXPECT_EQ(UpDownBuddyText("99999999999", 1, 5, 10), "6");
}
