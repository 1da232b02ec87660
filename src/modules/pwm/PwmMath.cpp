#include "modules/pwm/PwmMath.h"

#include <algorithm>
#include <cmath>

namespace hwc::pwm {

int ToSigned16(std::uint32_t value) {
    const int low = static_cast<int>(value & 0xFFFFu);
    return low >= 0x8000 ? low - 0x10000 : low;
}

std::uint32_t FromSigned16(int value) {
    return static_cast<std::uint32_t>(value) & 0xFFFFu;
}

bool FitsSigned16(long long value) {
    return value >= -32768 && value <= 32767;
}

int PeriodCounts(std::uint32_t init, std::uint32_t val1) {
    return ToSigned16(val1) - ToSigned16(init) + 1;
}

long long ModulusCounts(std::uint32_t pwmcm, bool centre) {
    const long long counts = static_cast<long long>(pwmcm);
    return centre ? 2 * counts : counts;
}

double FrequencyHz(double clockHz, long long prescaler, long long counts) {
    if (!(clockHz > 0.0) || prescaler <= 0 || counts <= 0)
        return 0.0;
    return clockHz / static_cast<double>(prescaler) / static_cast<double>(counts);
}

double DutyPercent(int onEdge, int offEdge, long long counts) {
    if (counts <= 0)
        return 0.0;
    const double percent =
        100.0 * static_cast<double>(offEdge - onEdge) / static_cast<double>(counts);
    return std::clamp(percent, 0.0, 100.0);
}

double ModulusDutyPercent(std::uint32_t value, std::uint32_t pwmcm) {
    if (pwmcm == 0)
        return 0.0;
    const double percent =
        100.0 * static_cast<double>(ToSigned16(value)) / static_cast<double>(pwmcm);
    return std::clamp(percent, 0.0, 100.0);
}

double DeadTimeNs(std::uint32_t count, double clockHz, long long prescaler) {
    if (!(clockHz > 0.0) || prescaler <= 0)
        return 0.0;
    return static_cast<double>(count) * static_cast<double>(prescaler) * 1e9 / clockHz;
}

long long NsToCounts(double ns, double clockHz) {
    if (!(clockHz > 0.0) || !(ns >= 0.0) || !std::isfinite(ns))
        return -1;
    return std::llround(ns * clockHz / 1e9);
}

long long CountsForFrequency(double clockHz, double frequencyHz, int exponent) {
    if (!(clockHz > 0.0) || !(frequencyHz > 0.0) || !std::isfinite(frequencyHz) || exponent < 0 ||
        exponent > 30)
        return 0;
    return std::llround(clockHz / static_cast<double>(1LL << exponent) / frequencyHz);
}

int SmallestPrescalerExponent(double clockHz, double frequencyHz, int maxExponent,
                              long long maxCounts) {
    if (!(clockHz > 0.0) || !(frequencyHz > 0.0) || frequencyHz > clockHz / 2.0)
        return -1;
    for (int exponent = 0; exponent <= maxExponent; ++exponent) {
        const long long counts = CountsForFrequency(clockHz, frequencyHz, exponent);
        if (counts < 2)
            return -1;
        if (counts <= maxCounts)
            return exponent;
    }
    return -1;
}

EAlignment ClassifyAlignment(std::uint32_t init, std::uint32_t val1, std::uint32_t val2,
                             std::uint32_t val3, std::uint32_t val4, std::uint32_t val5,
                             bool useB) {
    const int start = ToSigned16(init);
    const int end = ToSigned16(val1);
    if (end < start)
        return EAlignment::Unknown;
    const int onA = ToSigned16(val2), offA = ToSigned16(val3);
    const int onB = ToSigned16(val4), offB = ToSigned16(val5);
    const bool symmetric = onA == -offA && (!useB || onB == -offB);
    if (start == -(end + 1) && symmetric)
        return EAlignment::Centre;
    if (onA == start && (!useB || onB == start))
        return EAlignment::Edge;
    return EAlignment::PhaseShifted;
}

const char* AlignmentText(EAlignment alignment) {
    switch (alignment) {
    case EAlignment::Centre:
        return "Center-aligned";
    case EAlignment::Edge:
        return "Edge-aligned";
    case EAlignment::PhaseShifted:
        return "Phase-shifted";
    default:
        return "??";
    }
}

std::uint32_t FaultFilterLatencyClocks(std::uint32_t filter) {
    const std::uint32_t period = filter & 0xFFu;
    const std::uint32_t count = (filter >> 8) & 0x7u;
    return period == 0 ? 0u : (count + 3u) * period + 2u;
}

} // namespace hwc::pwm
