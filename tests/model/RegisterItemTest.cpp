#include <gtest/gtest.h>

#include <cstring>

#include "base/FixedText.h"
#include "model/RegisterItem.h"
#include "model/RegisterValue.h"

using namespace hwc;

namespace {

tPerCfgItem MakeItem(std::uint32_t flags, std::uint32_t value = 0) {
    tPerCfgItem item{};
    item.dwFlags = flags;
    item.dwValue = value;
    return item;
}

} // namespace

TEST(RegisterFlags, KeywordListsGiveTheirBits) {
    EXPECT_EQ(RegisterFlagsFromKeywords("DW16|NODEFAULT"), 0x12u);
    EXPECT_EQ(RegisterFlagsFromKeywords(" DW8 | STRVALUE |QUOTEDVALUE"), 0x181u);
    EXPECT_EQ(RegisterFlagFromKeyword("FLOATVALUE"), 0x20080u);
    EXPECT_EQ(RegisterFlagFromKeyword("SIGNEDVALUE"), RegisterFlagFromKeyword("QUOTEDVALUE"));
    EXPECT_EQ(RegisterFlagsFromKeywords("INTERNAL|NOIMPORT|DUMMYREG|NOSHOWLIST|NOEDITLIST"),
              0x1F000u);
    // Unknown words, wrong case and empty parts add nothing.
    EXPECT_EQ(RegisterFlagsFromKeywords("dw16|FLOAT|USERDEFINE||BOGUS"), 0u);
    EXPECT_EQ(RegisterFlagsFromKeywords(""), 0u);
}

TEST(RegisterFlags, WidthCodesOtherThanOneTwoOrFourAreFullRangeWithFourDigits) {
    EXPECT_EQ(RegisterLimit(RegFlag::DW8), 0xFFu);
    EXPECT_EQ(RegisterLimit(RegFlag::DW16), 0xFFFFu);
    EXPECT_EQ(RegisterLimit(RegFlag::DW8 | RegFlag::DW16), 0xFFFFFFFFu);
    EXPECT_EQ(RegisterHexDigits(RegFlag::DW8 | RegFlag::DW32), 4);
    EXPECT_EQ(RegisterHexDigits(RegFlag::DW32), 8);
}

TEST(RegisterItemDefinition, NameIsCutAtBlankOrTildeAndTheRestIsTheNote) {
    tPerCfgItem item{};
    SetItemDefinition(item, {"ADCR1_INIT~  first control", 0x5005, 0x12});
    EXPECT_EQ(FieldText(item.szName), "ADCR1_INIT");
    EXPECT_EQ(FieldText(item.szNote), "first control"); // 13 characters fit
    EXPECT_EQ(item.dwDefault, 0x5005u);
    EXPECT_EQ(item.dwFlags, 0x12u);

    SetItemDefinition(item, {"CTRL_INIT\ta note longer than fifteen", 0, 0});
    EXPECT_EQ(FieldText(item.szName), "CTRL_INIT");
    EXPECT_EQ(FieldText(item.szNote), "a note longer t");

    SetItemDefinition(item, {"-COP_COPCTL_INIT", 0x302, 0x2});
    EXPECT_EQ(FieldText(item.szName), "-COP_COPCTL_INIT");
    EXPECT_EQ(FieldText(item.szNote), "");

    const std::string longName(120, 'N');
    SetItemDefinition(item, {longName.c_str(), 0, 0});
    EXPECT_EQ(FieldText(item.szName).size(), 79u);
    SetItemDefinition(item, {nullptr, 0, 0});
    EXPECT_EQ(FieldText(item.szName), "");
}

TEST(FormatRegisterValue, HexByWidthDecimalAndString) {
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DW16, 0x5005)), "0x5005U");
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DW16, 0x5005), false), "0x5005");
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DW32, 0x12)), "0x00000012U");
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DW8, 0x7)), "0x07U");
    // Widths other than exactly 8, 16 or 32 bits use two digits, more when the value needs them.
    EXPECT_EQ(FormatRegisterValue(MakeItem(0, 0x7), false), "0x07");
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DW8 | RegFlag::DW16, 0x1234)), "0x1234U");
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DECVALUE | RegFlag::DW32, 0xFFFFFFFF)), "-1");
    EXPECT_EQ(FormatRegisterValue(MakeItem(RegFlag::DECVALUE, 1000)), "1000");

    tPerCfgItem text = MakeItem(RegFlag::STRVALUE | RegFlag::QUOTEDVALUE, 1);
    CopyCut(text.szValue, "abc");
    EXPECT_EQ(FormatRegisterValue(text), "abc");
}

TEST(ParseRegisterValue, NumbersMustBeWholeAndWithinTheWidth) {
    std::string message;
    tPerCfgItem item = MakeItem(RegFlag::DW8, 5);
    EXPECT_FALSE(ParseRegisterValue("256", item, message));
    EXPECT_EQ(message, "This register value must be a number between 0 and 0xff");
    EXPECT_EQ(item.dwValue, 5u);
    EXPECT_FALSE(ParseRegisterValue("-1", item, message));
    EXPECT_TRUE(ParseRegisterValue("0xff", item, message));
    EXPECT_EQ(item.dwValue, 0xFFu);

    item = MakeItem(RegFlag::DW16, 5);
    EXPECT_FALSE(ParseRegisterValue("-1", item, message));
    EXPECT_EQ(message, "This register value must be a number between 0 and 0xffff");
    EXPECT_FALSE(ParseRegisterValue("12abc", item, message));
    EXPECT_FALSE(ParseRegisterValue("12 ", item, message));
    EXPECT_FALSE(ParseRegisterValue("", item, message));
    EXPECT_TRUE(ParseRegisterValue("  010", item, message));
    EXPECT_EQ(item.dwValue, 8u);

    item = MakeItem(RegFlag::DW32, 5);
    EXPECT_TRUE(ParseRegisterValue("-1", item, message));
    EXPECT_EQ(item.dwValue, 0xFFFFFFFFu);
    // Beyond 32 bits is refused, not cut.
    EXPECT_FALSE(ParseRegisterValue("0x100000000", item, message));
    EXPECT_EQ(message, "This register value must be a number between 0 and 0xffffffff");
    EXPECT_EQ(item.dwValue, 0xFFFFFFFFu);
}

TEST(ParseRegisterValue, StringsAndFloats) {
    std::string message;
    tPerCfgItem text = MakeItem(RegFlag::STRVALUE);
    EXPECT_TRUE(ParseRegisterValue("any text at all", text, message));
    EXPECT_EQ(FieldText(text.szValue), "any text at all");
    EXPECT_EQ(text.dwValue, 1u);
    EXPECT_TRUE(ParseRegisterValue(std::string(200, 'x'), text, message));
    EXPECT_EQ(FieldText(text.szValue).size(), 79u);

    tPerCfgItem number = MakeItem(RegFlag::FLOATVALUE);
    CopyCut(number.szValue, "1.0");
    for (const char* bad : {"1.5x", "abc", "", "1.5 ", "inf", "nan", "1e"}) {
        EXPECT_FALSE(ParseRegisterValue(bad, number, message)) << bad;
        EXPECT_EQ(message, "This value must be a floating point number");
        EXPECT_EQ(FieldText(number.szValue), "1.0");
    }
    EXPECT_TRUE(ParseRegisterValue(" -2.5e3", number, message));
    EXPECT_EQ(FieldText(number.szValue), " -2.5e3");
}

TEST(YesNoWords, FirstCharacterOrTheWholeWord) {
    for (const char* word : {"0", "No", "n", "false", "FALSE", "0x1"})
        EXPECT_TRUE(IsFalseWord(word)) << word;
    for (const char* word : {"", "1", "yes", "true", "f", "falsey"})
        EXPECT_FALSE(IsFalseWord(word)) << word;
    for (const char* word : {"1", "Yes", "y", "true", "TrUe", "10"})
        EXPECT_TRUE(IsTrueWord(word)) << word;
    for (const char* word : {"", "0", "no", "t", "truely"})
        EXPECT_FALSE(IsTrueWord(word)) << word;
}
