#include "modules/communication/I2cTiming.h"

#include <cmath>

#include "base/TextUtil.h"

namespace hwc {

namespace {

std::uint32_t Field(std::uint32_t value, int low, int high) {
    return (value >> low) & ((1u << (high - low + 1)) - 1u);
}

constexpr std::uint32_t kMinimumLowRegister = 8;
constexpr std::uint32_t kMinimumHighRegister = 6;
constexpr int kLowExtra = 1;
constexpr int kHighExtra = 8;

} // namespace

tI2cTiming I2cDividerTiming(std::uint32_t divider, std::uint32_t noiseFilter) {
    tI2cTiming timing;
    const std::uint32_t multiplier = Field(divider, kI2cMultiplierLow, kI2cMultiplierHigh);
    timing.multiplier = multiplier < kI2cMultipliers.size() ? kI2cMultipliers[multiplier] : 0;
    timing.tap = kI2cTaps[Field(divider, kI2cTapLow, kI2cTapHigh)];
    timing.group = kI2cGroups[Field(divider, kI2cGroupLow, kI2cGroupHigh)];

    const int mul = timing.multiplier;
    const tI2cGroup& g = timing.group;
    // The SCL tap lies (SCL tap - 1) tap-to-tap steps after the first tap.
    const int tapDelay = g.tap2tap * (timing.tap.scl - 1);
    timing.sclDivider = mul * (g.scl2tap + tapDelay + 2) * 2;
    if (noiseFilter != 0 && mul != 0) {
        // The filter adds whole tap-to-tap steps; the controller's single-precision quotient
        // is truncated toward zero.
        const float steps =
            static_cast<float>(g.nfOffset * mul + static_cast<int>(noiseFilter) + 1) /
            static_cast<float>(g.tap2tap * mul);
        timing.sclDivider += g.tap2tap * static_cast<int>(std::trunc(steps));
    }
    timing.sdaHold = mul * (g.scl2tap + g.tap2tap * (timing.tap.sda - 1) + 3);
    timing.startHold = mul * (g.scl2start + tapDelay);
    timing.stopHold = mul * (g.scl2stop + tapDelay);
    return timing;
}

std::vector<std::string> I2cMultiplierTexts() {
    std::vector<std::string> texts;
    for (int multiplier : kI2cMultipliers)
        texts.push_back(Format("%dx", multiplier));
    return texts;
}

std::vector<std::string> I2cGroupTexts() {
    std::vector<std::string> texts;
    for (const tI2cGroup& g : kI2cGroups)
        texts.push_back(
            Format("%d-%d-%d-%d-%d", g.scl2start, g.scl2stop, g.scl2tap, g.tap2tap, g.nfOffset));
    return texts;
}

std::vector<std::string> I2cTapTexts() {
    std::vector<std::string> texts;
    for (const tI2cTap& tap : kI2cTaps)
        texts.push_back(Format("%d-%d", tap.scl, tap.sda));
    return texts;
}

std::vector<std::string> I2cFilterTexts() {
    std::vector<std::string> texts = {"Filter Disabled"};
    for (int clocks = 1; clocks <= 15; ++clocks)
        texts.push_back(Format("%d clocks", clocks));
    return texts;
}

int I2cLowCount(std::uint32_t lowRegister) {
    lowRegister &= 0xFFFFu;
    if (lowRegister < kMinimumLowRegister)
        lowRegister = kMinimumLowRegister;
    return static_cast<int>(lowRegister) + kLowExtra;
}

int I2cHighCount(std::uint32_t highRegister) {
    highRegister &= 0xFFFFu;
    if (highRegister < kMinimumHighRegister)
        highRegister = kMinimumHighRegister;
    return static_cast<int>(highRegister) + kHighExtra;
}

double I2cCountTime(int count, double hz) {
    if (!(hz > 0.0) || !std::isfinite(hz) || count <= 0)
        return 0.0;
    return static_cast<double>(count) / hz;
}

double I2cCountRate(int count, double hz) {
    if (!(hz > 0.0) || !std::isfinite(hz) || count <= 0)
        return 0.0;
    return hz / static_cast<double>(count);
}

} // namespace hwc
