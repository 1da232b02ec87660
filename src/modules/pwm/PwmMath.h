#pragma once
// The arithmetic the PWM pages and the wizards share: reading the 16-bit period and edge
// registers as signed numbers, the period length in counts, frequency, duty, dead time, the
// alignment a set of edges gives, and the smallest prescaler a wanted frequency fits.
// Every function answers a safe value (0, -1, or "unknown") where a division would fail.

#include <cstdint>

namespace hwc::pwm {

// A 16-bit register value read as two's complement (0xF63C is -2500); higher bits ignored.
int ToSigned16(std::uint32_t value);
// The register value of a signed edge or period value, in 16 bits.
std::uint32_t FromSigned16(int value);
// Whether a signed value can be written to a 16-bit two's complement register.
bool FitsSigned16(long long value);

// Counts of one sub-module period: VAL1 - INIT + 1, both read signed; 0 or less means the
// period is empty or inverted.
int PeriodCounts(std::uint32_t init, std::uint32_t val1);
// Counts of an older module's period: PWMCM in edge alignment, twice PWMCM in centre.
long long ModulusCounts(std::uint32_t pwmcm, bool centre);

// clockHz / prescaler / counts; 0 when any of them is 0 or negative.
double FrequencyHz(double clockHz, long long prescaler, long long counts);
// Duty cycle in percent of an output that turns on at `onEdge` and off at `offEdge` (signed
// counts) in a period of `counts`, clamped to 0-100; 0 with an empty period.
double DutyPercent(int onEdge, int offEdge, long long counts);
// An older module's duty: PWMVALn / PWMCM in percent, clamped to 0-100; 0 with PWMCM 0.
double ModulusDutyPercent(std::uint32_t value, std::uint32_t pwmcm);
// Dead time in nanoseconds of `count` clocks of `clockHz` after a prescaler; 0 without clock.
double DeadTimeNs(std::uint32_t count, double clockHz, long long prescaler = 1);
// Counts of `ns` nanoseconds at `clockHz`, rounded to the nearest count; -1 without clock or
// for a negative time.
long long NsToCounts(double ns, double clockHz);

// The smallest power-of-two prescaler exponent (0 for /1 ... maxExponent) at which one period
// of `frequencyHz` takes at most `maxCounts` counts of `clockHz` (and at least 2); -1 when the
// frequency is 0, negative, above half the clock or too low even for the largest prescaler.
int SmallestPrescalerExponent(double clockHz, double frequencyHz, int maxExponent = 7,
                              long long maxCounts = 65536);
// Counts of one period of `frequencyHz` at clockHz / 2^exponent, rounded; 0 when unusable.
long long CountsForFrequency(double clockHz, double frequencyHz, int exponent);

enum class EAlignment { Centre, Edge, PhaseShifted, Unknown };

// Alignment of a sub-module's edges: centre when INIT = -(VAL1 + 1) and each used output's
// edges lie symmetric about 0; edge when each used output's rising edge equals INIT; else
// phase-shifted. Output B's edges (VAL4, VAL5) count only when `useB`. Unknown for an empty
// period.
EAlignment ClassifyAlignment(std::uint32_t init, std::uint32_t val1, std::uint32_t val2,
                             std::uint32_t val3, std::uint32_t val4, std::uint32_t val5, bool useB);
// "Center-aligned", "Edge-aligned", "Phase-shifted" or "??".
const char* AlignmentText(EAlignment alignment);

// Latency of a fault input filter register (period in bits 0..7, count in bits 8..10) in bus
// clocks: (count + 3) x period + 2; 0 while the period is 0, which turns the filter off.
std::uint32_t FaultFilterLatencyClocks(std::uint32_t filter);

} // namespace hwc::pwm
