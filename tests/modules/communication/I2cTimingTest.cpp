#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "modules/communication/I2cTiming.h"

using hwc::I2cDividerTiming;

namespace {

// Divider register value from its three fields.
std::uint32_t Divider(std::uint32_t multiplier, std::uint32_t group, std::uint32_t tap) {
    return (multiplier << 6) | (group << 3) | tap;
}

} // namespace

TEST(I2cTiming, EveryDividerIndexGivesTheHandComputedCounts) {
    // Counts worked out by hand from the tables: D = MUL (scl2tap + T + 2) 2 with
    // T = tap2tap (SCL tap - 1), H = MUL (scl2tap + tap2tap (SDA tap - 1) + 3),
    // S = MUL (scl2start + T), P = MUL (scl2stop + T). Every tap, group and multiplier index
    // appears at least once.
    struct tCase {
        std::uint32_t multiplier, group, tap;
        int d, h, s, p;
    };
    const tCase cases[] = {
        {0, 0, 0, 20, 7, 6, 11},           // the reset value: T = 4 counts in every figure
        {0, 1, 1, 32, 7, 12, 17},          // T = 2 x 5
        {0, 3, 2, 112, 17, 54, 57},        // T = 8 x 6
        {2, 2, 3, 288, 52, 120, 148},      // T = 4 x 7, times 4
        {0, 4, 4, 288, 49, 142, 145},      // T = 16 x 8
        {0, 5, 5, 640, 97, 318, 321},      // T = 32 x 9
        {1, 6, 6, 3072, 514, 1532, 1538},  // T = 64 x 11, times 2
        {1, 7, 7, 7680, 1026, 3836, 3842}, // T = 128 x 14, times 2
        {1, 0, 7, 80, 20, 32, 42},         // T = 1 x 14, times 2
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "mul " << c.multiplier << " group " << c.group << " tap " << c.tap);
        const hwc::tI2cTiming t = I2cDividerTiming(Divider(c.multiplier, c.group, c.tap));
        EXPECT_EQ(t.sclDivider, c.d);
        EXPECT_EQ(t.sdaHold, c.h);
        EXPECT_EQ(t.startHold, c.s);
        EXPECT_EQ(t.stopHold, c.p);
    }
}

TEST(I2cTiming, TableValuesFollowTheirFields) {
    const hwc::tI2cTiming last = I2cDividerTiming(0xFF);
    EXPECT_EQ(last.tap.scl, 15);
    EXPECT_EQ(last.tap.sda, 4);
    EXPECT_EQ(last.group.scl2start, 126);
    EXPECT_EQ(last.group.scl2stop, 129);
    EXPECT_EQ(last.group.scl2tap, 126);
    EXPECT_EQ(last.group.tap2tap, 128);
    EXPECT_EQ(last.group.nfOffset, 0);
    const hwc::tI2cTiming third = I2cDividerTiming(Divider(2, 3, 2));
    EXPECT_EQ(third.multiplier, 4);
    EXPECT_EQ(third.group.nfOffset, 5);
    EXPECT_EQ(third.tap.scl, 7);
    // Bits above the register's eight are not part of any field.
    EXPECT_EQ(I2cDividerTiming(0xFF00u).sclDivider, 20);
}

TEST(I2cTiming, ReservedMultiplierGivesZeroCounts) {
    // The fourth multiplier code multiplies by 0; the filter term must not divide by it.
    for (std::uint32_t filter : {0u, 1u, 15u}) {
        const hwc::tI2cTiming t = I2cDividerTiming(Divider(3, 3, 2), filter);
        EXPECT_EQ(t.multiplier, 0);
        EXPECT_EQ(t.sclDivider, 0);
        EXPECT_EQ(t.sdaHold, 0);
        EXPECT_EQ(t.startHold, 0);
        EXPECT_EQ(t.stopHold, 0);
        EXPECT_EQ(t.tap.scl, 7); // the table values still show
    }
}

TEST(I2cTiming, NoiseFilterAddsWholeTapSteps) {
    // Group 3 (NfOffset 5, tap2tap 8), tap 2: D = 112 without the filter.
    const std::uint32_t fdiv = Divider(0, 3, 2);
    EXPECT_EQ(I2cDividerTiming(fdiv, 0).sclDivider, 112);
    EXPECT_EQ(I2cDividerTiming(fdiv, 1).sclDivider, 112);       // (5 + 2) / 8 = 0.875
    EXPECT_EQ(I2cDividerTiming(fdiv, 2).sclDivider, 112 + 8);   // (5 + 3) / 8 = 1 exactly
    EXPECT_EQ(I2cDividerTiming(fdiv, 3).sclDivider, 112 + 8);   // (5 + 4) / 8 = 1.125
    EXPECT_EQ(I2cDividerTiming(fdiv, 10).sclDivider, 112 + 16); // 16 / 8 = 2 exactly
    EXPECT_EQ(I2cDividerTiming(fdiv, 15).sclDivider, 112 + 16); // 21 / 8 = 2.625
    // With multiplier 2: D = 224, steps (10 + N + 1) / 16.
    const std::uint32_t doubled = Divider(1, 3, 2);
    EXPECT_EQ(I2cDividerTiming(doubled, 3).sclDivider, 224);     // 14 / 16
    EXPECT_EQ(I2cDividerTiming(doubled, 7).sclDivider, 224 + 8); // 18 / 16
    // Group 0 (NfOffset 0, tap2tap 1): one clock per step.
    EXPECT_EQ(I2cDividerTiming(0, 1).sclDivider, 20 + 2);
    // The filter changes nothing but the divider.
    EXPECT_EQ(I2cDividerTiming(fdiv, 15).sdaHold, I2cDividerTiming(fdiv, 0).sdaHold);
}

TEST(I2cTiming, ListTexts) {
    EXPECT_EQ(hwc::I2cMultiplierTexts(), (std::vector<std::string>{"1x", "2x", "4x"}));
    const std::vector<std::string> groups = hwc::I2cGroupTexts();
    ASSERT_EQ(groups.size(), 8u);
    EXPECT_EQ(groups.front(), "2-7-4-1-0");
    EXPECT_EQ(groups[3], "6-9-6-8-5");
    EXPECT_EQ(groups.back(), "126-129-126-128-0");
    const std::vector<std::string> taps = hwc::I2cTapTexts();
    ASSERT_EQ(taps.size(), 8u);
    EXPECT_EQ(taps.front(), "5-1");
    EXPECT_EQ(taps.back(), "15-4");
    const std::vector<std::string> filters = hwc::I2cFilterTexts();
    ASSERT_EQ(filters.size(), 16u);
    EXPECT_EQ(filters.front(), "Filter Disabled");
    EXPECT_EQ(filters[1], "1 clocks");
    EXPECT_EQ(filters.back(), "15 clocks");
}

TEST(I2cTiming, FifoControllerCountsHaveTheirFloors) {
    EXPECT_EQ(hwc::I2cLowCount(0), 9);
    EXPECT_EQ(hwc::I2cLowCount(3), 9);
    EXPECT_EQ(hwc::I2cLowCount(7), 9);
    EXPECT_EQ(hwc::I2cLowCount(8), 9);
    EXPECT_EQ(hwc::I2cLowCount(9), 10);
    EXPECT_EQ(hwc::I2cLowCount(0xFFFF), 65536);
    EXPECT_EQ(hwc::I2cLowCount(0x10009), 10); // a 16-bit register
    EXPECT_EQ(hwc::I2cHighCount(0), 14);
    EXPECT_EQ(hwc::I2cHighCount(5), 14);
    EXPECT_EQ(hwc::I2cHighCount(6), 14);
    EXPECT_EQ(hwc::I2cHighCount(7), 15);
    EXPECT_EQ(hwc::I2cHighCount(0xFFFF), 65543);
}

TEST(I2cTiming, TimesAndRatesWithoutAClockAreZero) {
    EXPECT_DOUBLE_EQ(hwc::I2cCountTime(20, 60e6), 20 / 60e6);
    EXPECT_DOUBLE_EQ(hwc::I2cCountRate(600, 60e6), 100000.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double hz : {0.0, -1.0, nan, inf}) {
        EXPECT_EQ(hwc::I2cCountTime(20, hz), 0.0) << hz;
        EXPECT_EQ(hwc::I2cCountRate(20, hz), 0.0) << hz;
    }
    EXPECT_EQ(hwc::I2cCountTime(0, 60e6), 0.0);
    EXPECT_EQ(hwc::I2cCountRate(0, 60e6), 0.0);
    EXPECT_EQ(hwc::I2cCountRate(-4, 60e6), 0.0);
}
