#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/ports/GpioPinDescription.h"

using namespace hwc;
using namespace hwc::GpioCond;

namespace {

std::vector<std::string> Names(const tGpioPin& pin) {
    std::vector<std::string> names;
    for (const tGpioFunction& function : pin.functions)
        names.push_back(function.name);
    return names;
}

} // namespace

TEST(GpioPinDescription, TwoSelectedFunctionsRequireTheirBitSetAndTheOtherClear) {
    const auto pin = ParseGpioPinLine("3, GPS1:SCI0.TXD, GPS2:SPI0.MOSI");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->pin, 3);
    EXPECT_EQ(Names(*pin), (std::vector<std::string>{"TXD", "MOSI"}));
    EXPECT_EQ(pin->functions[0].owners, std::vector<std::string>{"SCI0"});
    EXPECT_EQ(pin->functions[0].condition, kSetA | kClearB);
    EXPECT_EQ(pin->functions[1].condition, kSetB | kClearA);
    EXPECT_EQ(pin->selectBits[0], 1);
    EXPECT_EQ(pin->selectBits[1], 2);
    EXPECT_EQ(pin->selectBits[2], -1);
    EXPECT_EQ(pin->clockOutputBit, -1);
}

TEST(GpioPinDescription, FunctionsWithoutSelectorRequireEveryUsedSlotClear) {
    const auto pin = ParseGpioPinLine(
        "2, QT_A0.TA0, GPS18:HSCMP_A.CMPA_O, GPS19;CLKOSR3:XBAR_A.XB_IN2, GPS20;GPS18:X.Y");
    ASSERT_TRUE(pin);
    ASSERT_EQ(pin->functions.size(), 4u);
    EXPECT_EQ(pin->functions[0].condition, kClearA | kClearB | kClearC | kClearClockOut);
    EXPECT_EQ(pin->functions[1].condition, kSetA | kClearB | kClearC | kClearClockOut);
    EXPECT_EQ(pin->functions[2].condition, kSetB | kSetClockOut | kClearA | kClearC);
    // A function may name two slots; one already taken keeps its letter.
    EXPECT_EQ(pin->functions[3].condition, kSetA | kSetC | kClearB | kClearClockOut);
    EXPECT_EQ(pin->clockOutputBit, 3);
}

TEST(GpioPinDescription, CleaningCheckAllAndNumberForms) {
    const auto pin = ParseGpioPinLine("\t0x0C checkall ,  \"SCI_0 . TXD\"\r");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->pin, 12);
    EXPECT_TRUE(pin->checkAll);
    EXPECT_EQ(Names(*pin), std::vector<std::string>{"TXD"});
    EXPECT_FALSE(ParseGpioPinLine("5, A.B")->checkAll);
    const auto upper = ParseGpioPinLine("5CHECKALL");
    ASSERT_TRUE(upper);
    EXPECT_TRUE(upper->checkAll);
}

TEST(GpioPinDescription, LinesThatAreNoPinLinesAreIgnored) {
    for (const char* line : {"17, SCI0.TXD", "16", "-1, A.B", "PER=0x00FF", "GPSCNT=2", "", "   ",
                             ", A.B", "pin, A.B", "0x10, A.B"})
        EXPECT_FALSE(ParseGpioPinLine(line)) << line;
    EXPECT_TRUE(ParseGpioPinLine("15, A.B"));
    EXPECT_TRUE(ParseGpioPinLine("0"));
}

TEST(GpioPinDescription, PinWithoutFunctionsIsAVoidPeripheral) {
    for (const char* line : {"4", "4,", "4, nodot, .NAME, OWNER., :"}) {
        const auto pin = ParseGpioPinLine(line);
        ASSERT_TRUE(pin) << line;
        EXPECT_EQ(Names(*pin), std::vector<std::string>{"Peripheral (void)"}) << line;
        EXPECT_TRUE(pin->functions[0].owners.empty());
        EXPECT_EQ(pin->functions[0].condition, 0u);
    }
}

TEST(GpioPinDescription, LimitsOnFunctionsOwnersAndNames) {
    const auto pin =
        ParseGpioPinLine("1, A.F1, A.F2, A.F3, A.F4, A.F5, A.F6, A.F7, A.F8, A.F9, A.F10");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->functions.size(), 8u);
    EXPECT_EQ(pin->functions.back().name, "F8");

    const auto owners = ParseGpioPinLine("1, A|B||C|D|E.SIG");
    ASSERT_TRUE(owners);
    EXPECT_EQ(owners->functions[0].owners, (std::vector<std::string>{"A", "B", "C", "D"}));

    const std::string longName(40, 'N');
    const auto named = ParseGpioPinLine("1, A." + longName);
    ASSERT_TRUE(named);
    EXPECT_EQ(named->functions[0].name, std::string(32, 'N'));
}

TEST(GpioPinDescription, AFourthSelectBitOrASecondClockOutputBitDropsTheFunction) {
    const auto pin = ParseGpioPinLine("6, GPS0:A.F0, GPS1:A.F1, GPS2:A.F2, GPS3:A.F3, GPS1:A.F4");
    ASSERT_TRUE(pin);
    EXPECT_EQ(Names(*pin), (std::vector<std::string>{"F0", "F1", "F2", "F4"}));
    EXPECT_EQ(pin->selectBits[2], 2);

    const auto clock = ParseGpioPinLine("6, CLKOSR0:A.C0, CLKOSR1:A.C1, CLKOSR0;GPS4:A.C2");
    ASSERT_TRUE(clock);
    EXPECT_EQ(Names(*clock), (std::vector<std::string>{"C0", "C2"}));
    EXPECT_EQ(clock->functions[0].condition, kSetClockOut | kClearA);
    EXPECT_EQ(clock->functions[1].condition, kSetClockOut | kSetA);
}

TEST(GpioPinDescription, UnknownOrNumberlessSelectorsNameNothing) {
    const auto pin = ParseGpioPinLine("2, XYZ5;GPS:A.F, gps7:B.G");
    ASSERT_TRUE(pin);
    EXPECT_EQ(pin->functions[0].condition, kClearA);
    EXPECT_EQ(pin->functions[1].condition, kSetA);
    EXPECT_EQ(pin->selectBits[0], 7);
}

TEST(GpioPinDescription, ModuleInfoTextKeepsTheFirstLineOfEachPin) {
    const tGpioPinTable pins =
        ParseGpioPins("PER=0x0003\nPUR=0x003F\n0, OCCS.EXTAL\n1, OCCS.XTAL\n0, X.OTHER\n"
                      "17, X.BIG\n3\n");
    EXPECT_TRUE(pins[0]);
    EXPECT_EQ(pins[0]->functions[0].name, "EXTAL");
    EXPECT_EQ(pins[1]->functions[0].name, "XTAL");
    EXPECT_FALSE(pins[2]);
    EXPECT_EQ(pins[3]->functions[0].name, "Peripheral (void)");
    for (std::size_t i = 4; i < pins.size(); ++i)
        EXPECT_FALSE(pins[i]);
}
