#include <gtest/gtest.h>

#include "modules/pwm/PwmMath.h"

namespace {

using namespace hwc::pwm;

TEST(PwmMath, SignedSixteenBitReadingAndWriting) {
    EXPECT_EQ(ToSigned16(0xF63C), -2500);
    EXPECT_EQ(ToSigned16(0x7FFF), 32767);
    EXPECT_EQ(ToSigned16(0x8000), -32768);
    EXPECT_EQ(ToSigned16(0xFFFF), -1);
    EXPECT_EQ(ToSigned16(0x1FFFF), -1); // bits above 16 are not part of the register
    EXPECT_EQ(FromSigned16(-2500), 0xF63Cu);
    EXPECT_EQ(FromSigned16(-32768), 0x8000u);
    EXPECT_TRUE(FitsSigned16(-32768));
    EXPECT_TRUE(FitsSigned16(32767));
    EXPECT_FALSE(FitsSigned16(32768));
    EXPECT_FALSE(FitsSigned16(-32769));
}

TEST(PwmMath, PeriodCountsFromInitAndVal1) {
    EXPECT_EQ(PeriodCounts(0xF63C, 2499), 5000); // -2500 .. 2499
    EXPECT_EQ(PeriodCounts(0, 0), 1);
    EXPECT_EQ(PeriodCounts(10, 9), 0);               // empty period
    EXPECT_EQ(PeriodCounts(0x7FFF, 0x8000), -65534); // inverted across the sign
    EXPECT_EQ(PeriodCounts(0x8000, 0x7FFF), 65536);  // the widest period
    EXPECT_EQ(ModulusCounts(1250, false), 1250);
    EXPECT_EQ(ModulusCounts(1250, true), 2500);
    EXPECT_EQ(ModulusCounts(0, true), 0);
}

TEST(PwmMath, FrequencyRefusesEveryZeroDivisor) {
    EXPECT_DOUBLE_EQ(FrequencyHz(100e6, 1, 5000), 20000.0);
    EXPECT_DOUBLE_EQ(FrequencyHz(40e6, 8, 2500), 2000.0);
    EXPECT_DOUBLE_EQ(FrequencyHz(0.0, 1, 5000), 0.0);
    EXPECT_DOUBLE_EQ(FrequencyHz(-1.0, 1, 5000), 0.0);
    EXPECT_DOUBLE_EQ(FrequencyHz(100e6, 0, 5000), 0.0);
    EXPECT_DOUBLE_EQ(FrequencyHz(100e6, 1, 0), 0.0);
    EXPECT_DOUBLE_EQ(FrequencyHz(100e6, 1, -3), 0.0);
}

TEST(PwmMath, DutyIsClampedAndSafeWithEmptyPeriod) {
    EXPECT_DOUBLE_EQ(DutyPercent(-1250, 1250, 5000), 50.0);
    EXPECT_DOUBLE_EQ(DutyPercent(0, 5000, 5000), 100.0);
    EXPECT_DOUBLE_EQ(DutyPercent(0, 6000, 5000), 100.0);
    EXPECT_DOUBLE_EQ(DutyPercent(100, 50, 5000), 0.0); // off before on
    EXPECT_DOUBLE_EQ(DutyPercent(0, 10, 0), 0.0);
    EXPECT_DOUBLE_EQ(DutyPercent(0, 10, -5), 0.0);
    EXPECT_DOUBLE_EQ(ModulusDutyPercent(625, 1250), 50.0);
    EXPECT_DOUBLE_EQ(ModulusDutyPercent(2000, 1250), 100.0);
    EXPECT_DOUBLE_EQ(ModulusDutyPercent(0xFFFF, 1250), 0.0); // a negative value
    EXPECT_DOUBLE_EQ(ModulusDutyPercent(10, 0), 0.0);
}

TEST(PwmMath, DeadTimeBothWays) {
    EXPECT_DOUBLE_EQ(DeadTimeNs(100, 100e6), 1000.0);
    EXPECT_DOUBLE_EQ(DeadTimeNs(20, 40e6, 4), 2000.0);
    EXPECT_DOUBLE_EQ(DeadTimeNs(100, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(DeadTimeNs(100, 100e6, 0), 0.0);
    EXPECT_EQ(NsToCounts(500.0, 100e6), 50);
    EXPECT_EQ(NsToCounts(504.9, 100e6), 50);
    EXPECT_EQ(NsToCounts(505.0, 100e6), 51);
    EXPECT_EQ(NsToCounts(0.0, 100e6), 0);
    EXPECT_EQ(NsToCounts(-1.0, 100e6), -1);
    EXPECT_EQ(NsToCounts(500.0, 0.0), -1);
}

TEST(PwmMath, SmallestPrescalerAtTheSixteenBitBound) {
    // 100 MHz / 20 kHz = 5000 counts fit at /1.
    EXPECT_EQ(SmallestPrescalerExponent(100e6, 20000.0), 0);
    EXPECT_EQ(CountsForFrequency(100e6, 20000.0, 0), 5000);
    // Exactly 65536 counts still fit; one count more needs /2.
    EXPECT_EQ(SmallestPrescalerExponent(65536e3, 1000.0), 0);
    EXPECT_EQ(SmallestPrescalerExponent(65537e3, 1000.0), 1);
    EXPECT_EQ(CountsForFrequency(65537e3, 1000.0, 1), 32769); // rounded
    // The lowest frequency /128 reaches, and just below it.
    EXPECT_EQ(SmallestPrescalerExponent(100e6, 100e6 / 128.0 / 65536.0), 7);
    EXPECT_EQ(SmallestPrescalerExponent(100e6, 100e6 / 128.0 / 65537.0), -1);
    // Half the clock is the highest frequency; zero, negative and no clock refuse.
    EXPECT_EQ(SmallestPrescalerExponent(100e6, 50e6), 0);
    EXPECT_EQ(SmallestPrescalerExponent(100e6, 50.1e6), -1);
    EXPECT_EQ(SmallestPrescalerExponent(100e6, 0.0), -1);
    EXPECT_EQ(SmallestPrescalerExponent(100e6, -20000.0), -1);
    EXPECT_EQ(SmallestPrescalerExponent(0.0, 20000.0), -1);
    EXPECT_EQ(CountsForFrequency(100e6, 0.0, 0), 0);
    EXPECT_EQ(CountsForFrequency(100e6, 1000.0, -1), 0);
}

TEST(PwmMath, AlignmentClassification) {
    const auto s = [](int v) { return FromSigned16(v); };
    // Centre: INIT = -(VAL1 + 1), edges symmetric about 0.
    EXPECT_EQ(ClassifyAlignment(s(-2500), 2499, s(-1250), 1250, 0, 0, false), EAlignment::Centre);
    EXPECT_EQ(ClassifyAlignment(s(-2500), 2499, s(-1250), 1250, s(-500), 500, true),
              EAlignment::Centre);
    // B not symmetric: phase-shifted when B counts, centre when it does not.
    EXPECT_EQ(ClassifyAlignment(s(-2500), 2499, s(-1250), 1250, 0, 700, true),
              EAlignment::PhaseShifted);
    // Symmetric edges in an asymmetric period are not centred.
    EXPECT_EQ(ClassifyAlignment(s(-2500), 2500, s(-1250), 1250, 0, 0, false),
              EAlignment::PhaseShifted);
    // Edge: rising edges at INIT.
    EXPECT_EQ(ClassifyAlignment(0, 4999, 0, 2500, 0, 1000, true), EAlignment::Edge);
    EXPECT_EQ(ClassifyAlignment(0, 4999, 0, 2500, 100, 1000, true), EAlignment::PhaseShifted);
    EXPECT_EQ(ClassifyAlignment(0, 4999, 1250, 3750, 0, 0, false), EAlignment::PhaseShifted);
    // An empty or inverted period has no alignment.
    EXPECT_EQ(ClassifyAlignment(10, 5, 0, 0, 0, 0, false), EAlignment::Unknown);
    EXPECT_STREQ(AlignmentText(EAlignment::Centre), "Center-aligned");
    EXPECT_STREQ(AlignmentText(EAlignment::Unknown), "??");
}

TEST(PwmMath, FaultFilterLatency) {
    EXPECT_EQ(FaultFilterLatencyClocks(0x0304), 26u);   // (3 + 3) x 4 + 2
    EXPECT_EQ(FaultFilterLatencyClocks(0x0001), 5u);    // (0 + 3) x 1 + 2
    EXPECT_EQ(FaultFilterLatencyClocks(0x07FF), 2552u); // the largest
    EXPECT_EQ(FaultFilterLatencyClocks(0x0700), 0u);    // period 0: filter off
    EXPECT_EQ(FaultFilterLatencyClocks(0xF8FF), 767u);  // bits above the count are not read
}

} // namespace
