#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "modules/communication/CanBitTiming.h"

using namespace hwc;

namespace {

tCanTiming Timing(int prescaler, int prop, int phase1, int phase2, int rjw = 1,
                  bool threeSamples = false) {
    return {prescaler, prop, phase1, phase2, rjw, threeSamples};
}

std::string Message(const tCanTiming& timing,
                    const tCanTimingLimits& limits = kCanBasicNominalLimits) {
    return CheckCanTiming(timing, limits).message;
}

} // namespace

TEST(CanBitTimingTest, QuantumAndBitRateOfASlowBus) {
    // 4 MHz bus, prescaler 8, segments 3, 3, 3.
    const double quantum = CanQuantumClockMHz(4, 8);
    EXPECT_DOUBLE_EQ(quantum, 0.5);
    EXPECT_EQ(CanQuantumTexts(quantum).clock, "500 kHz");
    EXPECT_EQ(CanQuantumTexts(quantum).length, "2 us");
    const tCanTiming timing = Timing(8, 3, 3, 3);
    EXPECT_EQ(CanTotalQuanta(timing), 10);
    EXPECT_DOUBLE_EQ(CanBitRate(quantum, 10), 50000);
    EXPECT_EQ(CanSamplePointText(7, 10), "70.0 %");
    EXPECT_TRUE(CheckCanTiming(timing, kCanBasicNominalLimits).ok());
}

TEST(CanBitTimingTest, QuantumTextsAtTheirBounds) {
    EXPECT_EQ(CanQuantumTexts(1).clock, "1 MHz");
    EXPECT_EQ(CanQuantumTexts(1).length, "1000 ns");
    EXPECT_EQ(CanQuantumTexts(60).length, "16.6667 ns");
    EXPECT_EQ(CanQuantumTexts(0.999).clock, "999 kHz");
    EXPECT_EQ(CanQuantumTexts(0).clock, "???");
    EXPECT_EQ(CanQuantumTexts(0).length, "???");
    EXPECT_EQ(CanQuantumTexts(-1).clock, "???");
    EXPECT_EQ(CanQuantumClockMHz(0, 4), 0);
    EXPECT_EQ(CanQuantumClockMHz(60, 0), 0);
    EXPECT_EQ(CanBitRate(0, 10), 0);
    EXPECT_EQ(CanBitRate(1, 0), 0);
    EXPECT_EQ(CanSamplePointText(3, 0), "0.0 %");
}

TEST(CanBitTimingTest, RulesAreReportedInTheirOrder) {
    EXPECT_EQ(Message(Timing(4, 0, 1, 2)), "PROP_SEG must be between 1 and 8.");
    EXPECT_EQ(Message(Timing(4, 9, 9, 9)), "PROP_SEG must be between 1 and 8.");
    EXPECT_EQ(Message(Timing(4, 65, 1, 2), kCanExtendedNominalLimits),
              "PROP_SEG must be between 1 and 64.");
    EXPECT_EQ(Message(Timing(4, 8, 9, 9)), "PHASE_SEG1 must be between 1 and 8.");
    EXPECT_EQ(Message(Timing(4, 4, 1, 2, 1, true)),
              "PHASE_SEG1 must be at least 2 when three samples per bit are enabled.");
    EXPECT_EQ(Message(Timing(4, 4, 1, 1)),
              "PHASE_SEG2 must be equal to IPT (=2) when IPT is greater than PHASE_SEG1.");
    EXPECT_EQ(Message(Timing(1, 4, 2, 2)),
              "PHASE_SEG2 must be equal to IPT (=3) when IPT is greater than PHASE_SEG1.");
    EXPECT_EQ(Message(Timing(4, 4, 3, 2)),
              "PHASE_SEG2 must be equal to PHASE_SEG1 when IPT (=2) is less than or equal to "
              "PHASE_SEG1.");
    // PHASE_SEG2 = max(1, 2) holds, but the bit has only five quanta.
    EXPECT_EQ(Message(Timing(4, 1, 1, 2)),
              "The sum of timing parameters must be between 8 and 25. (SYNC_SEG + PROP_SEG + "
              "PHASE_SEG1 + PHASE_SEG2)");
    EXPECT_EQ(Message(Timing(4, 8, 8, 8)), ""); // 25 quanta: the upper bound itself
    EXPECT_EQ(Message(Timing(4, 3, 2, 2)), ""); // 8 quanta passes, 7 does not
    EXPECT_NE(Message(Timing(4, 2, 2, 2)), "");
    EXPECT_EQ(Message(Timing(4, 3, 2, 2, 5)), "RJW must be between 1 and 4.");
    EXPECT_EQ(Message(Timing(4, 3, 2, 2, 0)), "RJW must be between 1 and 4.");
    EXPECT_EQ(Message(Timing(4, 3, 2, 2, 3)), "RJW must be less than or equal to PHASE_SEG1.");
    EXPECT_EQ(Message(Timing(1, 1, 3, 3)),
              "At least nine clocks per bit must be programmed when prescaler is one.");
    EXPECT_EQ(Message(Timing(1, 2, 3, 3)), "");
}

TEST(CanBitTimingTest, BrokenRulePointsAtItsField) {
    EXPECT_EQ(CheckCanTiming(Timing(4, 4, 1, 1), kCanBasicNominalLimits).field,
              ECanTimingField::PhaseSeg2);
    EXPECT_EQ(CheckCanTiming(Timing(1, 1, 3, 3), kCanBasicNominalLimits).field,
              ECanTimingField::Prescaler);
    EXPECT_EQ(CheckCanTiming(Timing(4, 3, 2, 2, 3), kCanBasicNominalLimits).field,
              ECanTimingField::Rjw);
    EXPECT_EQ(CheckCanTiming(Timing(4, 3, 2, 2), kCanBasicNominalLimits).field,
              ECanTimingField::None);
}

TEST(CanBitTimingTest, TypedTargetIsSnappedOnlyWithAUnit) {
    EXPECT_DOUBLE_EQ(CanTargetRate("500k", 60e6), 500000);
    EXPECT_DOUBLE_EQ(CanTargetRate("500 kHz", 60e6), 500000);
    EXPECT_DOUBLE_EQ(CanTargetRate("1 MHz", 60e6), 1000000);
    EXPECT_DOUBLE_EQ(CanTargetRate("333k", 60e6), 60e6 / 180);
    EXPECT_DOUBLE_EQ(CanTargetRate("333000", 60e6), 333000);
    EXPECT_DOUBLE_EQ(CanTargetRate("  125000  ", 60e6), 125000);
    // Another character leaves the number as it is but still snaps it.
    EXPECT_DOUBLE_EQ(CanTargetRate("333333 x", 60e6), 60e6 / 180);
}

TEST(CanBitTimingTest, TypedTargetWithoutARateIsZero) {
    EXPECT_EQ(CanTargetRate("", 60e6), 0);
    EXPECT_EQ(CanTargetRate("fast", 60e6), 0);
    EXPECT_EQ(CanTargetRate("???", 60e6), 0);
    EXPECT_EQ(CanTargetRate("-500k", 60e6), 0);
    EXPECT_EQ(CanTargetRate("0", 60e6), 0);
    EXPECT_EQ(CanTargetRate("inf", 60e6), 0);
    EXPECT_EQ(CanTargetRate("nan k", 60e6), 0);
    // Above twice the clock no whole divisor is left.
    EXPECT_EQ(CanTargetRate("200M", 60e6), 0);
    EXPECT_EQ(CanTargetRate("500k", 0), 0);
}

TEST(CanBitTimingTest, SplitsOfSixtyMegahertzAtFiveHundredKilobits) {
    const std::vector<tCanQuantaSplit> splits = CanQuantaSplits(60e6, 500000, 25, 256);
    std::vector<std::pair<int, int>> pairs;
    for (const tCanQuantaSplit& split : splits)
        pairs.emplace_back(split.quanta, split.prescaler);
    const std::vector<std::pair<int, int>> expected{{8, 15}, {10, 12}, {12, 10},
                                                    {15, 8}, {20, 6},  {24, 5}};
    EXPECT_EQ(pairs, expected);
}

TEST(CanBitTimingTest, SplitsKeepTheirLimits) {
    EXPECT_TRUE(CanQuantaSplits(60e6, 500000, 25, 4).empty()); // every prescaler is above 4
    EXPECT_TRUE(CanQuantaSplits(0, 500000, 25, 256).empty());
    EXPECT_TRUE(CanQuantaSplits(60e6, 0, 25, 256).empty());
    // 8 quanta at 1 Mbit/s need exactly the 8 MHz clock: prescaler 1 is kept here, the rules
    // then refuse it for fewer than nine quanta.
    const auto splits = CanQuantaSplits(8e6, 1e6, 25, 256);
    ASSERT_EQ(splits.size(), 1u);
    EXPECT_EQ(splits[0].quanta, 8);
    EXPECT_EQ(splits[0].prescaler, 1);
}

TEST(CanBitTimingTest, CandidatesAreExactAndValid) {
    const std::vector<tCanCandidate> rows =
        CanCandidates(60e6, 500000, kCanBasicNominalLimits, false);
    ASSERT_FALSE(rows.empty());
    std::set<int> quanta;
    for (const tCanCandidate& row : rows) {
        quanta.insert(row.quanta);
        EXPECT_EQ(1 + row.propSeg + row.phaseSeg1 + row.phaseSeg2, row.quanta);
        EXPECT_DOUBLE_EQ(60e6 / (row.prescaler * row.quanta), 500000);
        EXPECT_TRUE(CheckCanTiming(
                        {row.prescaler, row.propSeg, row.phaseSeg1, row.phaseSeg2, row.rjw, false},
                        kCanBasicNominalLimits)
                        .ok());
    }
    EXPECT_EQ(quanta, (std::set<int>{8, 10, 12, 15, 20, 24}));
    // The first row: N = 8, P = 15, PROP_SEG 1, PHASE_SEG1 3, PHASE_SEG2 3, RJW 1.
    EXPECT_EQ(rows.front(), (tCanCandidate{15, 8, 1, 3, 3, 1}));
    EXPECT_EQ(CanCandidateRow(rows.front()), "15\t8\t1\t3\t3\t1");
    EXPECT_EQ(CanCandidateRow({1024, 129, 64, 32, 32, 16}), "1024\t129\t64\t32\t32\t16");
    EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                               [](const auto& a, const auto& b) { return a.quanta < b.quanta; }));
}

TEST(CanBitTimingTest, PrescalerOneStartsAtNineQuanta) {
    // 9 MHz at 1 Mbit/s: nine quanta with prescaler 1 is a valid row.
    const auto rows = CanCandidates(9e6, 1e6, kCanBasicNominalLimits, false);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front().prescaler, 1);
    EXPECT_EQ(rows.front().quanta, 9);
    EXPECT_EQ(rows.front().phaseSeg2, 3); // IPT is 3 with prescaler 1
    // 8 MHz at 1 Mbit/s: only eight quanta fit, which prescaler 1 may not use.
    EXPECT_TRUE(CanCandidates(8e6, 1e6, kCanBasicNominalLimits, false).empty());
}

TEST(CanBitTimingTest, ThreeSamplesDropSplitsWithOneQuantumPhase) {
    const auto one = CanCandidates(60e6, 500000, kCanBasicNominalLimits, false);
    const auto three = CanCandidates(60e6, 500000, kCanBasicNominalLimits, true);
    EXPECT_LT(three.size(), one.size());
    for (const tCanCandidate& row : three)
        EXPECT_GE(row.phaseSeg1, 2);
}

TEST(CanBitTimingTest, ExtendedSetListsLargeSplits) {
    const auto rows = CanCandidates(80e6, 500000, kCanExtendedNominalLimits, false);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back().quanta, 80); // 160 clocks a bit: 80 quanta of two clocks
    for (const tCanCandidate& row : rows) {
        EXPECT_LE(row.quanta, 129);
        EXPECT_LE(row.propSeg, 64);
        EXPECT_LE(row.rjw, 16);
    }
}
