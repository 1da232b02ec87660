#include "bindings/SetValue.h"

#include <gtest/gtest.h>

#include "BindingFixture.h"
#include "support/ScriptedMessages.h"

using namespace dlg;
using bindtest::MakeItem;

namespace {

const CDialogTemplate kPage(1, {
                                   Row({Label("Prescaler:"), Edit(10)}),
                                   Row({Label("Other"), Edit(11)}),
                               });

constexpr tColour kRed{255, 192, 192};

struct SetValueTest : ::testing::Test {
    bindtest::CPageFixture fixture{kPage};
    CPageControl& edit = fixture.Control(10);
    tPerCfgItem item = MakeItem("TMR_CTRL", 0, hwc::RegFlag::DW16);
    CScriptedMessages messages;

    void Type(const std::string& text) { fixture.page.UserEdit(edit, text); }
};

// A register the module keeps in its own variable.
std::uint32_t g_custom = 0;
void SetCustom(std::uint32_t value, void*, int) {
    g_custom = value;
}
std::uint32_t GetCustom(void*, int) {
    return g_custom;
}

} // namespace

TEST_F(SetValueTest, OffsetAndShiftMapTheFieldAndTheRange) {
    CSetValue value;
    item.dwValue = 0x0300;
    value.Bind(item, 8, 11, 1, "Divider", false, 0, 0, false);
    EXPECT_EQ(value.Mask(), 0xFu);
    EXPECT_EQ(value.Maximum(), 0xFu);
    EXPECT_EQ(value.GetValue(), 4u); // detached: read from the register
    value.Attach(edit);
    EXPECT_EQ(edit.Text(), "4");

    Type("16");
    EXPECT_EQ(item.dwValue, 0x0F00u);
    EXPECT_EQ(fixture.host.hints.back().first, 10);
    EXPECT_EQ(fixture.host.hints.back().second, &value);

    for (const char* outside : {"0", "17"}) {
        Type(outside);
        EXPECT_EQ(item.dwValue, 0x0F00u) << outside;
        EXPECT_EQ(edit.BackColour(), kRed) << outside;
    }
    bool valid = true;
    Type("17");
    value.ValidateValue(valid, true);
    EXPECT_FALSE(valid);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Entered value must be lower than 17");

    // The bits outside the field are kept.
    item.dwValue = 0xA0A5;
    Type("2");
    EXPECT_EQ(item.dwValue, 0xA1A5u);
    EXPECT_EQ(edit.BackColour(), std::nullopt);
}

TEST_F(SetValueTest, NegativeShiftMovesTheFieldLeftAndRoundingIsAsked) {
    CSetValue value;
    item.dwValue = 0xC3; // field bits 0..5 hold 3, which stands for 12
    value.Bind(item, -2, 5, 0, "Delay", false, 0, 0, false);
    EXPECT_EQ(value.GetValue(), 12u);
    value.SetValue(20);
    EXPECT_EQ(item.dwValue, 0xC5u);

    value.Attach(edit);
    edit.SetText("22"); // only multiples of 4 fit
    messages.Answer(hwc::EAnswer::No);
    bool valid = true;
    value.ValidateValue(valid, true);
    EXPECT_FALSE(valid);
    EXPECT_EQ(item.dwValue, 0xC5u); // declined: the register is as before
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text,
              "The value of 'Delay' (22) is not valid and should be rounded.The nearest "
              "acceptable value is '20'.\n\nAccept?");
    EXPECT_EQ(messages.shown[0].buttons, hwc::EButtons::YesNo);

    messages.Answer(hwc::EAnswer::Yes);
    EXPECT_EQ(value.ValidateValue(valid, true), 22u);
    EXPECT_TRUE(valid);
    EXPECT_EQ(edit.Text(), "20");
}

TEST_F(SetValueTest, HexAndDecimalTextsAndToggleBase) {
    CSetValue value;
    value.Bind(item, 0, 7, 0, "Count", true, 0, 0, false);
    value.Attach(edit);
    EXPECT_EQ(edit.Text(), "0x0");
    for (const char* text : {"0x1F", "0X1f", "31", "  31 "}) {
        item.dwValue = 0;
        Type(text);
        EXPECT_EQ(item.dwValue, 31u) << text;
    }
    value.Refresh();
    EXPECT_EQ(edit.Text(), "0x1F");
    value.ToggleBase();
    EXPECT_EQ(edit.Text(), "31");
    EXPECT_FALSE(value.IsHex());
    value.ToggleBase();
    EXPECT_EQ(edit.Text(), "0x1F");
    // The document's command reaches the binding of the focused control only.
    EXPECT_FALSE(hwc::ToggleFocusedValueBase(fixture.page));
    fixture.page.UserFocus(&edit);
    EXPECT_TRUE(hwc::ToggleFocusedValueBase(fixture.page));
    EXPECT_EQ(edit.Text(), "31");
    value.ToggleBase();

    // Unreadable texts leave the register alone and mark the field until corrected.
    const std::vector<std::string> badTexts{"12z",  "0x",          "",
                                            "0x1G", "99999999999", std::string("12\0", 3)};
    for (const std::string& bad : badTexts) {
        Type(bad);
        EXPECT_EQ(item.dwValue, 31u) << bad;
        EXPECT_EQ(edit.BackColour(), kRed) << bad;
    }
    Type("12");
    EXPECT_EQ(item.dwValue, 12u);
    EXPECT_EQ(edit.BackColour(), std::nullopt);
}

TEST_F(SetValueTest, RangeMessagesDuringValidation) {
    CSetValue value;
    value.Bind(item, 0, 7, 0, "Count", false, 5, 0, true);
    value.Attach(edit);
    bool valid = false;
    const auto check = [&](const char* text) {
        edit.SetText(text);
        messages.shown.clear();
        value.ValidateValue(valid, true);
        return messages.shown.empty() ? std::string() : messages.shown[0].text;
    };
    EXPECT_EQ(check("-3"), "Entered value must not be negative.");
    EXPECT_FALSE(valid);
    EXPECT_EQ(check("0"), "");
    EXPECT_TRUE(valid);
    EXPECT_EQ(check("5"), "");
    EXPECT_EQ(check("4"), "Entered value must be greater than 4");
    EXPECT_EQ(check("256"), "Entered value must be lower than 256");
    EXPECT_EQ(check("seven"), "Invalid value entered!");
    EXPECT_FALSE(valid);

    value.ToggleBase(); // the text is not hex: switches to hex
    EXPECT_EQ(check("3"), "Entered value must be greater than 0x4");
}

TEST_F(SetValueTest, EmptyTextStandsForTheEmptyValue) {
    CSetValue value;
    value.Bind(item, 0, 31, 0, "Timeout", false, 0, 100, false);
    value.SetEmptyAllowed(true);
    value.Attach(edit);
    Type("");
    EXPECT_EQ(item.dwValue, 0xFFFFFFFFu);
    EXPECT_EQ(edit.BackColour(), std::nullopt);
    value.Refresh();
    EXPECT_EQ(edit.Text(), "");
    bool valid = false;
    EXPECT_EQ(value.ValidateValue(valid, true), 0xFFFFFFFFu);
    EXPECT_TRUE(valid);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(SetValueTest, CustomFunctionsAndFormats) {
    CSetValue value;
    value.BindCustom(&SetCustom, &GetCustom, nullptr, 0, "Rate");
    value.SetCustomFormat("%u kHz");
    g_custom = 5;
    value.Attach(edit);
    EXPECT_EQ(edit.Text(), "5 kHz");
    Type("7 kHz");
    EXPECT_EQ(g_custom, 7u);
    Type("8 kHzz");
    EXPECT_EQ(g_custom, 7u);

    // A format asking for more than one value is never used with a value.
    value.SetCustomFormat("%u %s");
    EXPECT_EQ(value.FormatValue(7), "0x7");

    value.SetTextHandlers(
        [](std::uint32_t& v, const std::string& text, void*, int) {
            v = static_cast<std::uint32_t>(text.size());
            return !text.empty();
        },
        [](std::string& text, std::uint32_t v, void*, int) { text = std::string(v, '*'); }, nullptr,
        0);
    value.Refresh();
    EXPECT_EQ(edit.Text(), "*******");
    Type("abc");
    EXPECT_EQ(g_custom, 3u);
}

TEST_F(SetValueTest, SummaryTexts) {
    CSetValue value;
    item.dwValue = 0x1F;
    value.Bind(item, 0, 7, 0, "Period##ms", true, 0, 0, false);
    EXPECT_EQ(value.GetSummaryText(true, 0), ""); // not enabled before it is attached
    value.Attach(edit);
    EXPECT_EQ(value.GetSummaryText(true, 0), "Period: 0x1F ms");
    EXPECT_EQ(value.GetSummaryText(true, 2), "Period: 0x1f ms");
    EXPECT_EQ(value.GetSummaryText(true, 0x202), "Period: 1f ms");
    EXPECT_EQ(value.GetSummaryText(true, 0x100), "Period: \"0x1F\" ms");
    EXPECT_EQ(value.GetSummaryText(false, 0), "Period##ms");

    CSetValue unnamed;
    unnamed.Bind(item, 0, 7, 0, nullptr, false, 0, 0, false);
    unnamed.Attach(fixture.Control(11));
    EXPECT_EQ(unnamed.Description(), "Other");
    EXPECT_EQ(unnamed.GetSummaryText(true, 0), "Other: 31");
}

TEST_F(SetValueTest, SelfTestStepsAndLines) {
    bindtest::CLineCollector lines;
    CSetValue full;
    full.Bind(item, 0, 31, 0, "Full", true, 0, 0, false);
    full.SelfTest();
    EXPECT_TRUE(lines.Lines().empty());

    CSetValue small;
    item.dwValue = 3;
    small.Bind(item, 0, 7, 0, "Small", false, 2, 4, false);
    small.Attach(edit);
    small.SelfTest();
    ASSERT_EQ(lines.Lines().size(), 3u);
    EXPECT_EQ(lines.Lines()[0], "ED[  10]; 0x00000002; " +
                                    hwc::PadSelfTestColumn("Reg[TMR_CTRL] = 0x0002") + "; " +
                                    hwc::PadSelfTestColumn("Test Value 2") + "; " +
                                    hwc::PadSelfTestColumn("Small") + "; ");
    EXPECT_EQ(item.dwValue, 3u);
    EXPECT_EQ(edit.Text(), "3");

    CSetValue wide;
    wide.Bind(item, 0, 15, 0, "", false, 0, 999, false);
    wide.SelfTest(); // detached: sets the register
    ASSERT_EQ(lines.Lines().size(), 53u);
    EXPECT_NE(lines.Lines()[4].find("Test Value 19 "), std::string::npos);
    EXPECT_NE(lines.Lines()[4].find(hwc::kMissingDescription), std::string::npos);
    EXPECT_EQ(item.dwValue, 3u);

    CSetValue custom;
    custom.BindCustom(&SetCustom, &GetCustom, nullptr, 0, "Custom");
    custom.SetRange(1, 2);
    custom.Attach(fixture.Control(11));
    custom.SelfTest();
    ASSERT_EQ(lines.Lines().size(), 55u);
    EXPECT_NE(lines.Lines()[53].find(hwc::kCustomHandlerText), std::string::npos);
}

// Typing goes through every prefix of the final text: only valid ones reach the register, and
// while the text is refused the control says why; a refresh from the register clears the mark.
TEST_F(SetValueTest, TypedTextReachesTheRegisterOnlyWhileValidAndSaysWhyNot) {
    CSetValue modulo;
    modulo.Bind(item, 0, 15, 0, "Modulo", false, 0, 65535, true);
    modulo.Attach(edit);
    std::string typed;
    for (char digit : std::string("99999999")) {
        typed += digit;
        Type(typed);
    }
    EXPECT_EQ(edit.Text(), "99999999");
    EXPECT_EQ(item.dwValue, 9999u); // the last valid text, 9999
    EXPECT_EQ(edit.BackColour(), kRed);
    EXPECT_EQ(edit.ToolTip(), "Entered value must be lower than 65536");
    bool valid = true;
    modulo.ValidateValue(valid, false);
    EXPECT_FALSE(valid);
    EXPECT_FALSE(modulo.ValidateControl(false));

    // The register set from elsewhere: the control shows it and is no longer marked.
    item.dwValue = 1234;
    modulo.Refresh();
    EXPECT_EQ(edit.Text(), "1234");
    EXPECT_EQ(edit.BackColour(), std::nullopt);
    EXPECT_EQ(edit.ToolTip(), "");

    // Texts that cannot be read say so too; the register stays.
    Type("12z");
    EXPECT_EQ(edit.ToolTip(), "Invalid value entered!");
    EXPECT_EQ(item.dwValue, 1234u);
    Type("65535");
    EXPECT_EQ(item.dwValue, 65535u);
    EXPECT_EQ(edit.ToolTip(), "");
    EXPECT_EQ(edit.BackColour(), std::nullopt);

    // A register value outside a narrower range is shown and marked with the reason.
    CSetValue narrow;
    narrow.Bind(item, 0, 15, 0, "Other", false, 0, 100, false);
    CPageControl& other = fixture.Control(11);
    narrow.Attach(other);
    EXPECT_EQ(other.Text(), "65535");
    EXPECT_EQ(other.BackColour(), kRed);
    EXPECT_EQ(other.ToolTip(), "Entered value must be lower than 101");
    item.dwValue = 100;
    narrow.Refresh();
    EXPECT_EQ(other.BackColour(), std::nullopt);
    EXPECT_EQ(other.ToolTip(), "");
    EXPECT_TRUE(messages.shown.empty());
}

// Negative text is refused while typing too, in every field width, without a message.
TEST_F(SetValueTest, MinusIsRefusedOnTheSilentPath) {
    for (int highBit : {7, 15, 31}) {
        item.dwValue = 5;
        CSetValue value;
        value.Bind(item, 0, highBit, 0, "Count", false, 0, 0, false);
        value.Attach(edit);
        for (const char* negative : {"-3", " -3", "-0", "-0x3"}) {
            Type(negative);
            EXPECT_EQ(item.dwValue, 5u) << highBit << " " << negative;
            EXPECT_EQ(edit.BackColour(), kRed) << highBit << " " << negative;
            EXPECT_EQ(edit.ToolTip(), "Entered value must not be negative.") << negative;
        }
        Type("+3");
        EXPECT_EQ(item.dwValue, 3u) << highBit;
        EXPECT_EQ(edit.ToolTip(), "");
        value.Detach();
    }
    EXPECT_TRUE(messages.shown.empty());

    // A module's own format reads through the C library, which takes a sign: still refused.
    CSetValue formatted;
    formatted.Bind(item, 0, 31, 0, "Offset", false, 0, 0, false);
    formatted.SetCustomFormat("%d steps");
    formatted.Attach(edit);
    Type("-3 steps");
    EXPECT_EQ(item.dwValue, 3u);
    EXPECT_EQ(edit.ToolTip(), "Entered value must not be negative.");
}

// The bounds of a whole 32-bit field are its own values: 0 and 0xFFFFFFFF are taken, one more
// than 32 bits is not.
TEST_F(SetValueTest, WholeRegisterFieldTakesItsExtremes) {
    CSetValue value;
    value.Bind(item, 0, 31, 0, "Word", true, 0, 0, false);
    EXPECT_EQ(value.Maximum(), 0xFFFFFFFFu);
    value.Attach(edit);
    for (const char* largest : {"0xFFFFFFFF", "4294967295", "0xffffffff"}) {
        item.dwValue = 1;
        Type(largest);
        EXPECT_EQ(item.dwValue, 0xFFFFFFFFu) << largest;
        EXPECT_EQ(edit.BackColour(), std::nullopt) << largest;
        EXPECT_TRUE(value.ValidateControl(true)) << largest;
    }
    Type("0");
    EXPECT_EQ(item.dwValue, 0u);
    EXPECT_TRUE(value.ValidateControl(true));
    for (const char* beyond : {"0x100000000", "4294967296"}) {
        Type(beyond);
        EXPECT_EQ(item.dwValue, 0u) << beyond;
        EXPECT_EQ(edit.ToolTip(), "Invalid value entered!") << beyond;
    }
    EXPECT_TRUE(messages.shown.empty());

    // The same bound one below the field's top: exactly the maximum passes, one more does not.
    CSetValue capped;
    capped.Bind(item, 0, 31, 0, "Capped", true, 0, 0xFFFFFFFE, false);
    capped.Attach(fixture.Control(11));
    fixture.page.UserEdit(fixture.Control(11), "0xFFFFFFFE");
    EXPECT_EQ(item.dwValue, 0xFFFFFFFEu);
    fixture.page.UserEdit(fixture.Control(11), "0xFFFFFFFF");
    EXPECT_EQ(item.dwValue, 0xFFFFFFFEu);
    EXPECT_EQ(fixture.Control(11).ToolTip(), "Entered value must be lower than 0xffffffff");
}
