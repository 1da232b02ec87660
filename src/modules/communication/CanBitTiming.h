#pragma once
// CAN bit timing shared by the CAN controllers: the limits of a timing set, the rules a set must
// keep (first broken rule as its message), the time-quantum texts, the bit rate the user types,
// and every exact prescaler and segment split that reaches it.

#include <string>
#include <string_view>
#include <vector>

namespace hwc {

struct tCanTimingLimits {
    int maxQuanta = 25;
    int maxPrescaler = 256;
    int maxPropSeg = 8;
    int maxPhaseSeg1 = 8;
    int maxPhaseSeg2 = 8;
    int maxRjw = 4;
};

inline constexpr tCanTimingLimits kCanBasicNominalLimits{25, 256, 8, 8, 8, 4};
inline constexpr tCanTimingLimits kCanExtendedNominalLimits{129, 1024, 64, 32, 32, 16};
inline constexpr tCanTimingLimits kCanDataPhaseLimits{25, 1024, 32, 8, 8, 4};

// One timing set in the values a user sees: each register field plus 1.
struct tCanTiming {
    int prescaler = 1;
    int propSeg = 1;
    int phaseSeg1 = 1;
    int phaseSeg2 = 1;
    int rjw = 1;
    bool threeSamples = false;
};

// The field a broken rule points at, so that the page can move the focus there.
enum class ECanTimingField { None, Prescaler, PropSeg, PhaseSeg1, PhaseSeg2, Rjw };

struct tCanTimingCheck {
    std::string message; // empty when the set keeps every rule
    ECanTimingField field = ECanTimingField::None;
    bool ok() const { return message.empty(); }
};

// 1 (sync) + PROP_SEG + PHASE_SEG1 + PHASE_SEG2.
int CanTotalQuanta(const tCanTiming& timing);
// Checks the rules in their fixed order and reports the first one broken.
tCanTimingCheck CheckCanTiming(const tCanTiming& timing, const tCanTimingLimits& limits);

// Time-quantum clock in MHz: source / prescaler; 0 when either is not positive.
double CanQuantumClockMHz(double sourceMHz, int prescaler);

struct tCanQuantumTexts {
    std::string clock;  // "%g MHz", "%g kHz" or "???"
    std::string length; // "%g ns", "%g us" or "???"
};
tCanQuantumTexts CanQuantumTexts(double quantumMHz);

// Bit rate in bit/s for a quantum clock in MHz and the quanta of one bit; 0 when either is 0.
double CanBitRate(double quantumMHz, int totalQuanta);
// Sample point as a percentage of the bit, for the quanta before it; 0 without quanta.
double CanSamplePointPercent(int quantaBeforeSample, int totalQuanta);
// "%.1f %%" of the above.
std::string CanSamplePointText(int quantaBeforeSample, int totalQuanta);

// The bit rate the user typed, in bit/s, read as "%lf %c": a number alone is taken as it stands;
// a number with "k"/"K" or "m"/"M" is scaled and then snapped to a whole divisor of clockHz
// (clockHz / trunc(clockHz / rate + 0.5)). 0 when there is no number, it is not positive, or
// snapping finds no divisor.
double CanTargetRate(std::string_view text, double clockHz);

// Whole-number prescalers that give the rate exactly with N quanta per bit, N ascending from 8
// up to maxQuanta; stops when N quanta at that rate need more than the clock.
struct tCanQuantaSplit {
    int quanta = 0;
    int prescaler = 0;
};
std::vector<tCanQuantaSplit> CanQuantaSplits(double clockHz, double rate, int maxQuanta,
                                             int maxPrescaler);

// One exact split of a bit: a row of the candidate list.
struct tCanCandidate {
    int prescaler = 0;
    int quanta = 0;
    int propSeg = 0;
    int phaseSeg1 = 0;
    int phaseSeg2 = 0;
    int rjw = 0;
    bool operator==(const tCanCandidate&) const = default;
};

// Every split of clockHz into the rate that keeps the rules of the set, in list order
// (N, then PROP_SEG, PHASE_SEG1, RJW ascending). Empty for a rate or clock that is not positive.
std::vector<tCanCandidate> CanCandidates(double clockHz, double rate,
                                         const tCanTimingLimits& limits, bool threeSamples);
// A candidate row as a list shows it: its six "%d" columns apart by tabs.
std::string CanCandidateRow(const tCanCandidate& candidate);

} // namespace hwc
