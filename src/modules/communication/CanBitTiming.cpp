#include "modules/communication/CanBitTiming.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace hwc {

namespace {

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Format(const char* format, int value) {
    char text[160];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

tCanTimingCheck Broken(std::string message, ECanTimingField field) {
    return {std::move(message), field};
}

} // namespace

int CanTotalQuanta(const tCanTiming& timing) {
    return 1 + timing.propSeg + timing.phaseSeg1 + timing.phaseSeg2;
}

tCanTimingCheck CheckCanTiming(const tCanTiming& timing, const tCanTimingLimits& limits) {
    // Information processing time: one more quantum when the quantum is a single clock.
    const int ipt = timing.prescaler == 1 ? 3 : 2;
    if (timing.propSeg < 1 || timing.propSeg > limits.maxPropSeg)
        return Broken(Format("PROP_SEG must be between 1 and %d.", limits.maxPropSeg),
                      ECanTimingField::PropSeg);
    if (timing.phaseSeg1 < 1 || timing.phaseSeg1 > limits.maxPhaseSeg1)
        return Broken(Format("PHASE_SEG1 must be between 1 and %d.", limits.maxPhaseSeg1),
                      ECanTimingField::PhaseSeg1);
    if (timing.threeSamples && timing.phaseSeg1 < 2)
        return Broken("PHASE_SEG1 must be at least 2 when three samples per bit are enabled.",
                      ECanTimingField::PhaseSeg1);
    if (timing.phaseSeg2 != std::max(timing.phaseSeg1, ipt)) {
        const char* format =
            timing.phaseSeg1 < ipt
                ? "PHASE_SEG2 must be equal to IPT (=%d) when IPT is greater than PHASE_SEG1."
                : "PHASE_SEG2 must be equal to PHASE_SEG1 when IPT (=%d) is less than or equal "
                  "to PHASE_SEG1.";
        return Broken(Format(format, ipt), ECanTimingField::PhaseSeg2);
    }
    const int quanta = CanTotalQuanta(timing);
    if (quanta < 8 || quanta > limits.maxQuanta)
        return Broken(Format("The sum of timing parameters must be between 8 and %d. (SYNC_SEG + "
                             "PROP_SEG + PHASE_SEG1 + PHASE_SEG2)",
                             limits.maxQuanta),
                      ECanTimingField::PropSeg);
    if (timing.rjw < 1 || timing.rjw > limits.maxRjw)
        return Broken(Format("RJW must be between 1 and %d.", limits.maxRjw), ECanTimingField::Rjw);
    if (timing.rjw > timing.phaseSeg1)
        return Broken("RJW must be less than or equal to PHASE_SEG1.", ECanTimingField::Rjw);
    if (timing.prescaler == 1 && quanta < 9)
        return Broken("At least nine clocks per bit must be programmed when prescaler is one.",
                      ECanTimingField::Prescaler);
    return {};
}

double CanQuantumClockMHz(double sourceMHz, int prescaler) {
    if (!(sourceMHz > 0) || prescaler <= 0)
        return 0;
    return sourceMHz / prescaler;
}

tCanQuantumTexts CanQuantumTexts(double quantumMHz) {
    if (quantumMHz >= 1)
        return {Format("%g MHz", quantumMHz), Format("%g ns", 1000 / quantumMHz)};
    if (quantumMHz > 0)
        return {Format("%g kHz", quantumMHz * 1000), Format("%g us", 1 / quantumMHz)};
    return {"???", "???"};
}

double CanBitRate(double quantumMHz, int totalQuanta) {
    if (!(quantumMHz > 0) || totalQuanta <= 0)
        return 0;
    return quantumMHz * 1000000 / totalQuanta;
}

double CanSamplePointPercent(int quantaBeforeSample, int totalQuanta) {
    if (totalQuanta <= 0)
        return 0;
    return 100.0 * quantaBeforeSample / totalQuanta;
}

std::string CanSamplePointText(int quantaBeforeSample, int totalQuanta) {
    return Format("%.1f %%", CanSamplePointPercent(quantaBeforeSample, totalQuanta));
}

double CanTargetRate(std::string_view text, double clockHz) {
    const std::string copy(text);
    double value = 0;
    char unit = 0;
    const int read = std::sscanf(copy.c_str(), "%lf %c", &value, &unit);
    if (read < 1 || !std::isfinite(value) || !(value > 0))
        return 0;
    if (read == 1)
        return value;
    if (unit == 'k' || unit == 'K')
        value *= 1000;
    else if (unit == 'm' || unit == 'M')
        value *= 1000000;
    // A rate given with a unit is rounded to the nearest one the clock divides into exactly.
    if (!(clockHz > 0))
        return 0;
    const double divisor = std::trunc(clockHz / value + 0.5);
    if (!(divisor >= 1))
        return 0;
    return clockHz / divisor;
}

std::vector<tCanQuantaSplit> CanQuantaSplits(double clockHz, double rate, int maxQuanta,
                                             int maxPrescaler) {
    std::vector<tCanQuantaSplit> splits;
    if (!(clockHz > 0) || !(rate > 0) || !std::isfinite(rate))
        return splits;
    const double clock = std::trunc(clockHz + 0.5);
    for (int quanta = 8; quanta <= maxQuanta; ++quanta) {
        const double bitClocks = quanta * rate;
        if (clock < bitClocks)
            break;
        const double prescaler = std::trunc(clock / bitClocks + 0.5);
        if (std::trunc(prescaler * bitClocks + 0.5) != clock || prescaler > maxPrescaler)
            continue;
        splits.push_back({quanta, static_cast<int>(prescaler)});
    }
    return splits;
}

std::vector<tCanCandidate> CanCandidates(double clockHz, double rate,
                                         const tCanTimingLimits& limits, bool threeSamples) {
    std::vector<tCanCandidate> rows;
    for (const tCanQuantaSplit& split :
         CanQuantaSplits(clockHz, rate, limits.maxQuanta, limits.maxPrescaler)) {
        const int ipt = split.prescaler == 1 ? 3 : 2;
        for (int prop = 1; prop <= limits.maxPropSeg; ++prop) {
            for (int phase1 = 1; phase1 <= limits.maxPhaseSeg1; ++phase1) {
                // Only PHASE_SEG2 = max(PHASE_SEG1, IPT) can pass, so it is not enumerated.
                const int phase2 = std::max(phase1, ipt);
                if (phase2 > limits.maxPhaseSeg2 || 1 + prop + phase1 + phase2 != split.quanta)
                    continue;
                const int maxRjw = std::min(phase1, limits.maxRjw);
                for (int rjw = 1; rjw <= maxRjw; ++rjw) {
                    const tCanTiming timing{split.prescaler, prop, phase1,
                                            phase2,          rjw,  threeSamples};
                    if (CheckCanTiming(timing, limits).ok())
                        rows.push_back({split.prescaler, split.quanta, prop, phase1, phase2, rjw});
                }
            }
        }
    }
    return rows;
}

std::string CanCandidateRow(const tCanCandidate& candidate) {
    // A search lists thousands of rows: the numbers are written directly, not formatted.
    char row[96];
    char* end = row;
    for (const int value : {candidate.prescaler, candidate.quanta, candidate.propSeg,
                            candidate.phaseSeg1, candidate.phaseSeg2, candidate.rjw}) {
        if (end != row)
            *end++ = '\t';
        end = std::to_chars(end, row + sizeof row, value).ptr;
    }
    return std::string(row, end);
}

} // namespace hwc
