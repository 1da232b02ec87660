#pragma once
// The bus timing of the I2C controllers: the divider tables that the frequency-divider register
// selects from (multiplier, shift-register tap point, prescaler group) and the clock counts they
// give, and the low and high counts of the FIFO controller of FamB.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hwc {

// The SCL and SDA tap points of one tap-table entry.
struct tI2cTap {
    int scl = 0;
    int sda = 0;
};

// One prescaler group: the shift-register delays and the noise-filter offset.
struct tI2cGroup {
    int scl2start = 0;
    int scl2stop = 0;
    int scl2tap = 0;
    int tap2tap = 0;
    int nfOffset = 0;
};

// What a divider register value gives, in input-clock cycles.
struct tI2cTiming {
    int multiplier = 0; // 0 for the reserved multiplier code
    tI2cTap tap;
    tI2cGroup group;
    int sclDivider = 0; // SCL period
    int sdaHold = 0;
    int startHold = 0;
    int stopHold = 0;
};

// Fields of the divider register (FDIV, IICF).
inline constexpr int kI2cTapLow = 0, kI2cTapHigh = 2;
inline constexpr int kI2cGroupLow = 3, kI2cGroupHigh = 5;
inline constexpr int kI2cMultiplierLow = 6, kI2cMultiplierHigh = 7;

inline constexpr std::array<int, 3> kI2cMultipliers = {1, 2, 4};
inline constexpr std::array<tI2cTap, 8> kI2cTaps = {
    {{5, 1}, {6, 1}, {7, 2}, {8, 2}, {9, 3}, {10, 3}, {12, 4}, {15, 4}}};
inline constexpr std::array<tI2cGroup, 8> kI2cGroups = {{{2, 7, 4, 1, 0},
                                                         {2, 7, 4, 2, 1},
                                                         {2, 9, 6, 4, 1},
                                                         {6, 9, 6, 8, 5},
                                                         {14, 17, 14, 16, 5},
                                                         {30, 33, 30, 32, 0},
                                                         {62, 65, 62, 64, 0},
                                                         {126, 129, 126, 128, 0}}};

// The timing of a divider register value. `noiseFilter` is the input filter setting in clocks
// (0: none), which lengthens the SCL period by whole tap-to-tap steps.
tI2cTiming I2cDividerTiming(std::uint32_t divider, std::uint32_t noiseFilter = 0);

// The list entries of the three divider fields: "1x"; "2-7-4-1-0" (scl2start, scl2stop, scl2tap,
// tap2tap, NfOffset); "5-1" (SCL tap, SDA tap).
std::vector<std::string> I2cMultiplierTexts();
std::vector<std::string> I2cGroupTexts();
std::vector<std::string> I2cTapTexts();
// The entries of a four-bit input filter: "Filter Disabled", then "1 clocks" to "15 clocks".
std::vector<std::string> I2cFilterTexts();

// The SCL low and high periods of the FamB controller in input-clock cycles: the controller
// counts one more than the low register and eight more than the high register, and never
// fewer than 9 and 14 (register values below 8 and 6 count as those).
int I2cLowCount(std::uint32_t lowRegister);
int I2cHighCount(std::uint32_t highRegister);

// The time `count` cycles of a clock of `hz` take; 0 without a clock.
double I2cCountTime(int count, double hz);
// The rate of one event per `count` cycles; 0 without a clock or a count.
double I2cCountRate(int count, double hz);

} // namespace hwc
