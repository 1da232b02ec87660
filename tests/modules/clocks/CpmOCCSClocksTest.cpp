#include <gtest/gtest.h>

#include <set>
#include <string>

#include "modules/clocks/CpmOCCSClocks.h"

using namespace hwc;

namespace {

// Processor-table entries: the named families and a few single processors.
constexpr int kFamG = 94, kFamH = 95, kFamJ = 96, kFamB = 100, kFamK = 101, kFamA = 103,
              kFamC = 106, kFamE = 109, kFamF = 113, kFamD = 116;

tClockFamily Family(std::set<int> entries) {
    return ClassifyClockFamily([&](int entry) { return entries.count(entry) != 0; });
}

// The typical processor of each family (its groups and one table entry).
const tClockFamily kG = Family({kFamG, 0});
const tClockFamily kH = Family({kFamH, 6});
const tClockFamily kK = Family({kFamH, kFamK, 9});
const tClockFamily kJ = Family({kFamH, kFamJ, 20});
const tClockFamily kB = Family({kFamH, kFamJ, kFamB, 24});
const tClockFamily kA = Family({kFamA, 105});
const tClockFamily kC = Family({kFamH, kFamC, 28});
const tClockFamily kE = Family({kFamE, 40});
const tClockFamily kF = Family({kFamF, 60});
const tClockFamily kD = Family({kFamD, 85});

tClockSettings Pll(float fin, int multiplier, int postscaler) {
    tClockSettings s;
    s.docExternalMHz = fin;
    s.crystalEditMHz = fin;
    s.pageExists = true;
    s.multiplier = multiplier;
    s.postscaler = postscaler;
    s.pllEnabled = true;
    s.systemSource = 1;
    s.relaxationUsed = false;
    s.source = kCrystalSource;
    return s;
}

} // namespace

TEST(OccsClocks, GenerationsAndRelaxationOscillators) {
    EXPECT_EQ(kG.generation, EClockGeneration::First);
    EXPECT_EQ(kB.generation, EClockGeneration::First);
    EXPECT_EQ(kC.generation, EClockGeneration::Second); // FamC lies inside FamH
    EXPECT_EQ(kA.generation, EClockGeneration::Second);
    EXPECT_EQ(kD.generation, EClockGeneration::Third);
    // Single entries and whole groups have the oscillator; FamD's 8 MHz has no trimming.
    EXPECT_TRUE(kG.relaxation);
    EXPECT_FALSE(Family({kFamG, 3}).relaxation);
    EXPECT_TRUE(Family({kFamH, kFamK, 8}).relaxation);
    EXPECT_FALSE(kK.relaxation);
    EXPECT_TRUE(kJ.relaxation);
    EXPECT_FALSE(Family({kFamA, 104}).relaxation);
    EXPECT_TRUE(kA.relaxation);
    EXPECT_FALSE(kD.relaxation);
}

// One row per family: the settings and the clocks they must give (MHz).
TEST(OccsClocks, FrequencyTablePerGeneration) {
    struct tRow {
        const char* name;
        tClockFamily family;
        tClockSettings settings;
        float vco, sys, core, bus, highSpeed;
    };
    tClockSettings gPrescaler = Pll(8, 20, 0);
    gPrescaler.systemSource = 0;
    gPrescaler.prescaler = 1;
    tClockSettings jPrescaler = Pll(8, 0, 1);
    jPrescaler.systemSource = 0;
    jPrescaler.prescaler = 3; // not used on FamJ
    tClockSettings bPrescaler = jPrescaler;
    tClockSettings aOsc = Pll(4, 0, 1); // PLL running, core from the oscillator
    aOsc.systemSource = 0;
    tClockSettings fFast = Pll(8, 20, 0);
    fFast.fastBoot = true;
    const tRow rows[] = {
        // First generation: VCO / 2 / postscaler, halved once more on FamH.
        {"FamG PLL", kG, Pll(8, 20, 0), 160, 80, 80, 40, 0},
        {"FamG prescaler", kG, gPrescaler, 80, 4, 4, 2, 0},
        {"FamH PLL", kH, Pll(8, 30, 0), 240, 60, 60, 60, 0},
        {"FamK postscaler", kK, Pll(8, 30, 1), 240, 30, 30, 30, 0},
        {"FamJ PLL", kJ, Pll(8, 7, 0), 192, 32, 32, 32, 96},
        {"FamJ prescaler", kJ, jPrescaler, 192, 4, 4, 4, 8},
        {"FamB prescaler", kB, bPrescaler, 192, 4, 4, 4, 48},
        // Second generation: FamA divides the VCO by three for the core, FamC by two.
        {"FamA PLL", kA, Pll(8, 5, 0), 192, 32, 32, 32, 96},
        {"FamA oscillator", kA, aOsc, 96, 1, 1, 1, 2},
        {"FamC PLL", kC, Pll(8, 30, 0), 240, 60, 60, 60, 120},
        // Third generation.
        {"FamE PLL", kE, Pll(8, 12, 0), 96, 24, 24, 24, 48},
        {"FamF fast boot", kF, fFast, 160, 40, 40, 20, 80},
        {"FamD crystal", kD, Pll(16, 25, 0), 400, 100, 100, 100, 200},
    };
    for (const tRow& row : rows) {
        SCOPED_TRACE(row.name);
        const tClockResult r = ComputeClocks(row.family, row.settings);
        EXPECT_FLOAT_EQ(r.vco, row.vco);
        EXPECT_FLOAT_EQ(r.sys, row.sys);
        EXPECT_FLOAT_EQ(r.core, row.core);
        EXPECT_FLOAT_EQ(r.bus, row.bus);
        EXPECT_FLOAT_EQ(r.highSpeed, row.highSpeed);
    }
}

TEST(OccsClocks, InputClockBySource) {
    tClockSettings s = Pll(0, 12, 0);
    s.docExternalMHz = 10;
    s.docCrystalMHz = 12;
    s.crystalEditMHz = 6;
    s.clkinEditMHz = 60;

    // The relaxation oscillator, trimmed from the re-trim clock when the factory trim is used.
    s.source = kRelaxationSource;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).fin, 8.0f);
    s.factoryTrim = true;
    s.retrimHz = 5700000;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).fin, 5.7f);
    EXPECT_FALSE(ComputeClocks(kE, s).trimActive);
    s.retrimHz = 5699999;
    EXPECT_TRUE(ComputeClocks(kE, s).trimActive);
    s.retrimHz = 13000000;
    EXPECT_FALSE(ComputeClocks(kE, s).trimActive);
    s.retrimHz = 13000001;
    EXPECT_TRUE(ComputeClocks(kE, s).trimActive);
    s.factoryTrim = false;

    // The low-speed oscillators.
    s.source = kLowSpeedSource;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).fin, 0.032f);
    EXPECT_FLOAT_EQ(ComputeClocks(kF, s).fin, 0.2f);
    EXPECT_FLOAT_EQ(ComputeClocks(kD, s).fin, 0.2f);

    // The crystal: the edit while the page exists, halved where the divider exists.
    s.source = kCrystalSource;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).fin, 6.0f);
    s.divideBy2 = true;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).fin, 3.0f);
    EXPECT_FLOAT_EQ(ComputeClocks(kD, s).fin, 3.0f);
    EXPECT_FLOAT_EQ(ComputeClocks(kA, s).fin, 6.0f);
    s.pageExists = false;
    EXPECT_FLOAT_EQ(ComputeClocks(kC, s).fin, 6.0f);
    s.divideBy2 = false;

    // CLKIN: 50 MHz at most, 200 on FamD; without a page the document's value is not checked.
    s.source = kClkinSource;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).fin, 10.0f);
    s.pageExists = true;
    tClockResult r = ComputeClocks(kE, s);
    EXPECT_FLOAT_EQ(r.fin, 60.0f);
    EXPECT_TRUE(r.clkinActive);
    EXPECT_EQ(r.clkinLimit, 50);
    r = ComputeClocks(kD, s);
    EXPECT_FALSE(r.clkinActive);
    EXPECT_EQ(r.clkinLimit, 200);

    s.source = kHighSpeedRcSource;
    EXPECT_FLOAT_EQ(ComputeClocks(kD, s).fin, 48.0f);

    // The first generation reads its input edit, or the document without a page.
    tClockSettings first = Pll(0, 20, 0);
    first.crystalEditMHz = 4;
    first.docExternalMHz = 8;
    EXPECT_FLOAT_EQ(ComputeClocks(kH, first).fin, 4.0f);
    first.pageExists = false;
    first.docExternalMHz = 10;
    EXPECT_FLOAT_EQ(ComputeClocks(kH, first).fin, 10.0f);
    // A processor without a relaxation oscillator keeps its input while "Used" is chosen.
    first.relaxationUsed = true;
    EXPECT_FLOAT_EQ(ComputeClocks(kK, first).fin, 10.0f);
    EXPECT_FLOAT_EQ(ComputeClocks(kG, first).fin, 8.0f);
}

TEST(OccsClocks, CrystalClockOtherModulesRead) {
    tClockSettings s;
    s.pageExists = true;
    s.crystalEditMHz = 8;
    s.docCrystalMHz = 4;
    EXPECT_FLOAT_EQ(CrystalClock(kE, s), 8.0f);
    EXPECT_FLOAT_EQ(CrystalClock(kG, s), 0.0f);
    s.divideBy2 = true;
    EXPECT_FLOAT_EQ(CrystalClock(kC, s), 4.0f);
    EXPECT_FLOAT_EQ(CrystalClock(kD, s), 8.0f);
    s.pageExists = false;
    EXPECT_FLOAT_EQ(CrystalClock(kE, s), 2.0f);
}

TEST(OccsClocks, LimitsAndTheirBounds) {
    // The VCO range includes its bounds.
    tClockSettings s = Pll(8, 50, 0);
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).vco, 400.0f);
    EXPECT_FALSE(ComputeClocks(kE, s).vcoRange.active);
    s.crystalEditMHz = 8.01f;
    EXPECT_TRUE(ComputeClocks(kE, s).vcoRange.active);
    s.pllEnabled = false;
    s.systemSource = 0;
    EXPECT_FALSE(ComputeClocks(kE, s).vcoRange.active);

    // Core maximum: FamF follows fast boot; smaller groups override the family's.
    tClockSettings f = Pll(8, 30, 0);
    tClockResult r = ComputeClocks(kF, f);
    EXPECT_EQ(r.maxCore, 50);
    EXPECT_TRUE(r.coreActive); // 60 MHz
    f.fastBoot = true;
    r = ComputeClocks(kF, f);
    EXPECT_EQ(r.maxCore, 100);
    EXPECT_FALSE(r.coreActive);
    EXPECT_FLOAT_EQ(r.bus, 30.0f);
    EXPECT_EQ(ComputeClocks(Family({kFamE, 110}), f).maxCore, 60);
    EXPECT_EQ(ComputeClocks(Family({kFamE, 111}), f).maxCore, 80);
    EXPECT_EQ(ComputeClocks(kC, f).maxCore, 120);
    EXPECT_EQ(ComputeClocks(kJ, f).maxCore, 64);

    // The normal-mode text stands unless the core runs above 50 MHz in fast boot.
    tClockSettings n = Pll(8, 30, 0);
    r = ComputeClocks(Family({kFamE, 115}), n);
    EXPECT_EQ(CoreLimitText(r),
              "Current operating system frequency exceeds the maximum in normal mode which is "
              "100 MHz");
    n.fastBoot = true;
    r = ComputeClocks(Family({kFamE, 115}), n);
    EXPECT_EQ(CoreLimitText(r),
              "Current operating system frequency exceeds the maximum which is 100 MHz");

    // PLL input range only on FamA and the third generation.
    tClockSettings in = Pll(9, 20, 0);
    EXPECT_TRUE(ComputeClocks(kA, in).pllInput.active);
    EXPECT_FALSE(ComputeClocks(kE, in).pllInput.active);
    EXPECT_FALSE(ComputeClocks(kC, in).pllInput.applies);
    in.crystalEditMHz = 7.99f;
    EXPECT_TRUE(ComputeClocks(kE, in).pllInput.active);

    // High-speed clock limits.
    tClockSettings hs = Pll(8, 50, 0);
    r = ComputeClocks(kE, hs);
    EXPECT_FLOAT_EQ(r.highSpeed, 200.0f);
    EXPECT_FALSE(r.highSpeedLimit.active);
    EXPECT_TRUE(ComputeClocks(kC, hs).highSpeedLimit.active);
    EXPECT_FALSE(ComputeClocks(kD, hs).highSpeedLimit.applies);
    EXPECT_FALSE(ComputeClocks(kH, hs).highSpeedLimit.applies);
}

TEST(OccsClocks, OutOfRangeAndUnreadableSettingsGiveZero) {
    tClockSettings s = Pll(8, 129, 0);
    tClockResult r = ComputeClocks(kE, s);
    EXPECT_EQ(r.vco, 0.0f);
    EXPECT_EQ(r.core, 0.0f);
    EXPECT_EQ(r.lossOfReferenceTime, 0.0f);
    s = Pll(0, 12, 0); // an unreadable edit
    r = ComputeClocks(kE, s);
    EXPECT_EQ(r.fin, 0.0f);
    EXPECT_EQ(r.bus, 0.0f);
    EXPECT_EQ(r.highSpeed, 0.0f);

    // The loss-of-reference time: ten periods of the half VCO per step.
    s = Pll(8, 12, 0);
    s.lossOfReferencePeriod = 15;
    EXPECT_FLOAT_EQ(ComputeClocks(kE, s).lossOfReferenceTime, 150.0f / 48000000.0f);

    // Watchdog of the first generation: the divisor range of each family.
    tClockSettings w = Pll(8, 20, 0);
    w.watchdogDivisor = 4096;
    EXPECT_FLOAT_EQ(ComputeClocks(kG, w).watchdogRate, 80.0f / 16384.0f * 1e6f / 4096.0f);
    w.watchdogDivisor = 4097;
    EXPECT_EQ(ComputeClocks(kG, w).watchdogRate, 0.0f);
    EXPECT_FLOAT_EQ(ComputeClocks(kH, w).watchdogRate, 8.0f / 1024.0f * 1e6f / 4097.0f);
    w.watchdogDivisor = 65537;
    EXPECT_EQ(ComputeClocks(kH, w).watchdogRate, 0.0f);
    w.watchdogDivisor = 1;
    w.watchdogOnRelaxation = true;
    EXPECT_FLOAT_EQ(ComputeClocks(kB, w).watchdogRate, 7812.5f);
}

TEST(OccsClocks, MasterSourceBitsReadBackAsWritten) {
    for (const tClockFamily* family : {&kA, &kE, &kD}) {
        const int count = family->Third() ? 5 : 3;
        for (int index = 0; index < count; ++index) {
            const tMasterSourceBits bits = MasterSourceBits(*family, index);
            EXPECT_EQ(MasterSourceOf(*family, bits.p, bits.q, bits.x), index);
        }
    }
    // The second generation has no Q bit: the CLKIN choice stays when Q is set.
    EXPECT_EQ(MasterSourceOf(kC, true, true, true), kClkinSource);
    EXPECT_FALSE(MasterSourceBits(kC, kRelaxationSource).writesQ);
    EXPECT_FALSE(MasterSourceBits(kE, kRelaxationSource).writesX);
}

TEST(OccsClocks, FrequencyTexts) {
    EXPECT_FLOAT_EQ(ReadFrequencyText("8"), 8.0f);
    EXPECT_FLOAT_EQ(ReadFrequencyText("  7.3728"), 7.3728f);
    for (const char* text : {"", "8 ", "8MHz", "8 9", "inf", "nan", "-4", "1e40"})
        EXPECT_EQ(ReadFrequencyText(text), 0.0f) << text;
    EXPECT_EQ(FrequencyEditText(16.0f), "16");
    EXPECT_EQ(FrequencyEditText(7.3728f), "7.3728");
    EXPECT_EQ(FrequencyEditText(0.032f), "0.032");
    EXPECT_EQ(FrequencyEditText(0.0f), "0");
}
