#pragma once
// The arithmetic of the clock module as plain functions: which processor family and clock
// generation a processor belongs to, and the input, VCO, core, bus and high-speed clocks, their
// limits and the warnings they raise, computed from the settings in single precision (MHz).

#include <cstdint>
#include <functional>
#include <string>

namespace hwc {

enum class EClockGeneration { First, Second, Third };

// The processor groups the clock module distinguishes.
struct tClockFamily {
    EClockGeneration generation = EClockGeneration::First;
    bool famG = false, famH = false, famJ = false, famB = false, famK = false;
    bool famA = false, famC = false, famE = false, famF = false, famD = false;
    bool entry5 = false;        // the first processor of FamH
    bool entry105 = false;      // the FamA processor with a relaxation oscillator
    bool relaxation = false;    // the processor has an internal relaxation oscillator
    bool lowMax60 = false;      // processor group 110: 60 MHz core at most
    bool lowMax80 = false;      // processor group 111: 80 MHz core at most
    bool normalModeMax = false; // processor group 115: the core maximum holds in normal mode

    bool NewGeneration() const { return generation != EClockGeneration::First; }
    bool Third() const { return generation == EClockGeneration::Third; }
};

// Classifies a processor by the processor-table entries it matches.
tClockFamily ClassifyClockFamily(const std::function<bool(int)>& isGroup);

// MSTR_OSC sources of the new generation.
enum EMasterSource : int {
    kRelaxationSource = 0,
    kCrystalSource = 1,
    kClkinSource = 2,
    kLowSpeedSource = 3,
    kHighSpeedRcSource = 4, // the 48 MHz oscillator of FamD
};

// The MSTR_OSC source index the control bits stand for (P = CTRL bit 2, Q = CTRL bit 3,
// X = oscillator control bit 10), and the bits that select an index.
int MasterSourceOf(const tClockFamily& family, bool p, bool q, bool x);
struct tMasterSourceBits {
    bool p = false, q = false, x = false;
    bool writesQ = false, writesX = false; // the fields the index decides
};
tMasterSourceBits MasterSourceBits(const tClockFamily& family, int index);

// Everything the computation reads.
struct tClockSettings {
    bool pageExists = false;
    float crystalEditMHz = 0.0f; // the number in the crystal (first generation: input) edit
    float clkinEditMHz = 0.0f;   // the number in the CLKIN edit
    float docExternalMHz = 0.0f;
    float docCrystalMHz = 0.0f;
    int source = 0; // MSTR_OSC source (new generation)
    bool divideBy2 = false;
    bool relaxationUsed = false; // first generation "Used"
    bool factoryTrim = false;
    std::uint32_t retrimHz = 0;
    int prescaler = 0;  // index
    int postscaler = 0; // index
    int multiplier = 0; // the multiplication factor (field + 1)
    bool pllEnabled = false;
    int systemSource = 0; // 0 oscillator or prescaler, 1 PLL or postscaler
    bool fastBoot = false;
    int pwm2xSource = 0;
    std::uint32_t watchdogDivisor = 1;
    bool watchdogOnRelaxation = false; // FamB "Use Relaxation Oscillator"
    int lossOfReferencePeriod = 0;
};

struct tRangeCheck {
    bool applies = false; // the processor has the limit
    bool active = false;
    int low = 0;
    int high = 0;
};

struct tClockResult {
    float fin = 0, vco = 0, half = 0, third = 0;
    float sys = 0;                          // shown as the core frequency
    float hs = 0;                           // shown as the high-speed clock
    float core = 0, bus = 0, highSpeed = 0; // published
    float pwmNanoEdge = 0;
    int clkinLimit = 50;
    bool clkinActive = false;
    bool trimActive = false;
    int maxCore = 0;
    bool coreActive = false;
    bool coreNormalModeText = false;
    tRangeCheck pllInput;
    tRangeCheck vcoRange;
    tRangeCheck highSpeedLimit;    // only `high` is used
    float watchdogRate = 0;        // Hz
    float lossOfReferenceTime = 0; // s
};

// The crystal frequency a processor's modules can run from (MHz).
float CrystalClock(const tClockFamily& family, const tClockSettings& settings);
// The clock on the oscillator input when it is the selected input clock (first generation: the
// input unless the relaxation oscillator is used; later ones: the crystal or CLKIN source,
// undivided); 0 otherwise.
float OscillatorInputClock(const tClockFamily& family, const tClockSettings& settings);

tClockResult ComputeClocks(const tClockFamily& family, const tClockSettings& settings);

// The relaxation oscillator counts as selected by the settings.
bool RelaxationSelected(const tClockFamily& family, const tClockSettings& settings);

// The warning texts of the computation.
std::string CoreLimitText(const tClockResult& result);
// The peripherals that can run from the high-speed clock, each made by `name` (a link or the
// bare name); empty on processors without a high-speed clock.
std::string HighSpeedPeripherals(const tClockFamily& family,
                                 const std::function<std::string(const char*)>& name);

// "Multiply (PLL Div)" is a setting on the processors without a fixed multiplier.
bool HasFixedMultiplier(const tClockFamily& family);
inline constexpr int kFixedMultiplier = 24;

// Reads "%f%c": exactly one number (white space around it allowed), else 0.
float ReadFrequencyText(const std::string& text);
// A frequency as the edits show it: six decimals at most, trailing zeros dropped.
std::string FrequencyEditText(float mhz);

} // namespace hwc
