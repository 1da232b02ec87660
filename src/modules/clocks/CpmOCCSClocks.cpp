#include "modules/clocks/CpmOCCSClocks.h"

#include <cmath>

#include "base/NumberScan.h"
#include "base/TextUtil.h"

namespace hwc {

namespace {

// Processor-table entries the clock module tests.
enum : int {
    kFamG = 94,
    kFamH = 95,
    kFamJ = 96,
    kFamB = 100,
    kFamK = 101,
    kFamA = 103,
    kFamC = 106,
    kFamE = 109,
    kFamF = 113,
    kFamD = 116,
    kMax60Group = 110,
    kMax80Group = 111,
    kNormalModeGroup = 115,
};

// The single processors that have a relaxation oscillator besides whole groups.
constexpr int kRelaxationEntries[] = {0, 1, 7, 8, 69, 105};

// Limits of the clocks, MHz.
constexpr float kRelaxationMHz = 8.0f;
constexpr float kTrimLowMHz = 5.7f;
constexpr float kTrimHighMHz = 13.0f;
constexpr float kLowSpeed32MHz = 0.032f;
constexpr float kLowSpeed200MHz = 0.2f;
constexpr float kHighSpeedRcMHz = 48.0f;

float PowerOfTwo(int exponent) {
    return exponent <= 0 ? 1.0f : std::ldexp(1.0f, exponent);
}

bool Outside(float value, int low, int high) {
    return value < static_cast<float>(low) || value > static_cast<float>(high);
}

} // namespace

tClockFamily ClassifyClockFamily(const std::function<bool(int)>& isGroup) {
    tClockFamily f;
    f.famG = isGroup(kFamG);
    f.famH = isGroup(kFamH);
    f.famJ = isGroup(kFamJ);
    f.famB = isGroup(kFamB);
    f.famK = isGroup(kFamK);
    f.famA = isGroup(kFamA);
    f.famC = isGroup(kFamC);
    f.famE = isGroup(kFamE);
    f.famF = isGroup(kFamF);
    f.famD = isGroup(kFamD);
    f.entry5 = isGroup(5);
    f.entry105 = isGroup(105);
    f.lowMax60 = isGroup(kMax60Group);
    f.lowMax80 = isGroup(kMax80Group);
    f.normalModeMax = isGroup(kNormalModeGroup);
    f.relaxation = f.famJ || f.famC || f.famE || f.famF;
    for (int entry : kRelaxationEntries)
        f.relaxation = f.relaxation || isGroup(entry);
    if (f.famA || f.famC)
        f.generation = EClockGeneration::Second;
    else if (f.famE || f.famF || f.famD)
        f.generation = EClockGeneration::Third;
    return f;
}

int MasterSourceOf(const tClockFamily& family, bool p, bool q, bool x) {
    if (!family.Third())
        return p ? (x ? kClkinSource : kCrystalSource) : kRelaxationSource;
    if (p && q)
        return kHighSpeedRcSource;
    if (q)
        return kLowSpeedSource;
    if (p)
        return x ? kClkinSource : kCrystalSource;
    return kRelaxationSource;
}

tMasterSourceBits MasterSourceBits(const tClockFamily& family, int index) {
    tMasterSourceBits bits;
    bits.writesQ = family.Third();
    switch (index) {
    case kCrystalSource:
    case kClkinSource:
        bits.p = true;
        bits.x = index == kClkinSource;
        bits.writesX = true;
        break;
    case kLowSpeedSource:
        bits.q = true;
        break;
    case kHighSpeedRcSource:
        bits.p = bits.q = true;
        break;
    default:
        break;
    }
    return bits;
}

bool RelaxationSelected(const tClockFamily& family, const tClockSettings& s) {
    switch (family.generation) {
    case EClockGeneration::First:
        return s.relaxationUsed;
    case EClockGeneration::Second:
        return s.source == kRelaxationSource;
    case EClockGeneration::Third:
        return s.source == kRelaxationSource || s.source == kLowSpeedSource;
    }
    return false;
}

bool HasFixedMultiplier(const tClockFamily& family) {
    return family.famJ || family.famA;
}

float CrystalClock(const tClockFamily& family, const tClockSettings& s) {
    if (!family.NewGeneration())
        return 0.0f;
    const float crystal = s.pageExists ? s.crystalEditMHz : s.docCrystalMHz;
    return (family.famC || family.famE) && s.divideBy2 ? crystal / 2.0f : crystal;
}

float OscillatorInputClock(const tClockFamily& family, const tClockSettings& s) {
    if (!family.NewGeneration()) {
        if (s.relaxationUsed && family.relaxation)
            return 0.0f;
        return s.pageExists ? s.crystalEditMHz : s.docExternalMHz;
    }
    if (s.source == kClkinSource)
        return s.pageExists ? s.clkinEditMHz : s.docExternalMHz;
    if (s.source == kCrystalSource)
        return s.pageExists ? s.crystalEditMHz : s.docCrystalMHz;
    return 0.0f;
}

tClockResult ComputeClocks(const tClockFamily& f, const tClockSettings& s) {
    tClockResult r;
    const bool newGeneration = f.NewGeneration();

    // The input clock.
    float fin = s.docExternalMHz;
    if (!newGeneration && s.pageExists)
        fin = s.crystalEditMHz;
    if (newGeneration) {
        if (s.source == kClkinSource) {
            fin = s.pageExists ? s.clkinEditMHz : s.docExternalMHz;
            if (s.pageExists) {
                r.clkinLimit = f.famD ? 200 : 50;
                r.clkinActive = fin > static_cast<float>(r.clkinLimit);
            }
        } else if (s.source == kCrystalSource) {
            fin = s.pageExists ? s.crystalEditMHz : s.docCrystalMHz;
            if ((f.famC || f.famE || f.famD) && s.divideBy2)
                fin /= 2.0f;
        } else if (s.source == kHighSpeedRcSource) {
            fin = kHighSpeedRcMHz;
        }
    }
    if (RelaxationSelected(f, s) && (f.relaxation || f.famD)) {
        fin = kRelaxationMHz;
        if (s.factoryTrim) {
            fin = static_cast<float>(s.retrimHz) / 1000000.0f;
            r.trimActive = fin < kTrimLowMHz || fin > kTrimHighMHz;
        }
        if (f.Third() && s.source == kLowSpeedSource)
            fin = f.famE ? kLowSpeed32MHz : kLowSpeed200MHz;
    }
    r.fin = fin;

    // The PLL.
    const float pre = !newGeneration && !f.famJ ? PowerOfTwo(s.prescaler) : 1.0f;
    const float post = PowerOfTwo(s.postscaler);
    int mul = HasFixedMultiplier(f) ? kFixedMultiplier : s.multiplier;
    if (mul < 0 || mul > 128)
        mul = 0;
    r.vco = s.pllEnabled ? static_cast<float>(mul) * fin / pre : 0.0f;
    r.half = r.vco / 2.0f;
    r.third = r.vco / 3.0f;

    // The system and high-speed clocks.
    float sys = 0.0f;
    float hs = 0.0f;
    if (!newGeneration) {
        if (s.systemSource == 0) {
            sys = fin / pre;
            if (f.famB)
                hs = r.half / post;
            else if (f.famJ)
                hs = sys;
        } else if (f.famJ) {
            sys = r.third / post;
            hs = r.half / post;
        } else {
            sys = r.half / post;
        }
    } else if (s.systemSource == 0) {
        sys = hs = fin / post;
    } else {
        hs = r.half / post;
        sys = (f.famA ? r.third : r.half) / post;
    }

    // The published clocks.
    if (newGeneration) {
        r.core = sys / 2.0f;
        r.bus = f.famF && s.fastBoot ? sys / 4.0f : r.core;
        sys = r.core;
    } else if (f.famG) {
        r.core = sys;
        r.bus = sys / 2.0f;
    } else {
        sys /= 2.0f;
        r.core = r.bus = sys;
    }
    r.highSpeed = f.famJ || newGeneration ? hs : 0.0f;
    r.sys = sys;
    r.hs = hs;
    r.pwmNanoEdge = f.famF && s.pwm2xSource == 1 ? r.half : r.vco;

    // The limits.
    r.maxCore = f.famG ? 80 : (f.famJ || f.famA) ? 64 : f.famC ? 120 : 100;
    if (f.lowMax60)
        r.maxCore = 60;
    if (f.lowMax80)
        r.maxCore = 80;
    if (f.famF)
        r.maxCore = s.fastBoot ? 100 : 50;
    r.coreActive = r.core > static_cast<float>(r.maxCore);
    r.coreNormalModeText = f.normalModeMax && !(r.core > 50.0f && s.fastBoot);

    if (f.famA || f.Third()) {
        r.pllInput.applies = true;
        r.pllInput.low = f.Third() ? 8 : 4;
        r.pllInput.high = f.Third() ? 50 : 8;
        r.pllInput.active = s.pllEnabled && Outside(fin, r.pllInput.low, r.pllInput.high);
    }

    r.vcoRange.applies = true;
    if (f.famG)
        r.vcoRange.low = 80, r.vcoRange.high = 240;
    else if (f.famC)
        r.vcoRange.low = 120, r.vcoRange.high = 240;
    else if (f.famE || f.famF)
        r.vcoRange.low = 120, r.vcoRange.high = 400;
    else if (f.famD)
        r.vcoRange.low = 200, r.vcoRange.high = 400;
    else
        r.vcoRange.low = 160, r.vcoRange.high = 260;
    r.vcoRange.active = s.pllEnabled && Outside(r.vco, r.vcoRange.low, r.vcoRange.high);

    if (f.famJ || f.famA || f.famC || f.famE || f.famF) {
        r.highSpeedLimit.applies = true;
        r.highSpeedLimit.high = (f.famE || f.famF) ? 200 : f.famC ? 120 : 96;
        r.highSpeedLimit.active = r.highSpeed > static_cast<float>(r.highSpeedLimit.high);
    }

    // The watchdog of the first generation and the loss-of-reference timer.
    float watchdogClock = f.famG ? sys / 16384.0f : fin / 1024.0f;
    if (f.famB && s.watchdogOnRelaxation)
        watchdogClock = 0.0078125f;
    const std::uint32_t divisor = newGeneration ? 1u : s.watchdogDivisor;
    const std::uint32_t divisorLimit = f.famG ? 4096u : 65536u;
    if (divisor > 0 && divisor <= divisorLimit)
        r.watchdogRate = watchdogClock * 1000000.0f / static_cast<float>(divisor);
    r.lossOfReferenceTime =
        r.half != 0.0f ? static_cast<float>(s.lossOfReferencePeriod) * 10.0f / (r.half * 1000000.0f)
                       : 0.0f;
    return r;
}

std::string CoreLimitText(const tClockResult& result) {
    if (result.coreNormalModeText)
        return Format("Current operating system frequency exceeds the maximum in normal mode "
                      "which is %d MHz",
                      result.maxCore);
    return Format("Current operating system frequency exceeds the maximum which is %d MHz",
                  result.maxCore);
}

std::string HighSpeedPeripherals(const tClockFamily& f,
                                 const std::function<std::string(const char*)>& name) {
    if (f.famA)
        return "(" + name("PWM") + "/" + name("Timer") + "/" + name("SCI") + ")";
    if (f.famC)
        return "(" + name("SCI") + "/" + name("Timer") + ")";
    if (f.famE)
        return "(" + name("SCI") + ")";
    if (f.famF)
        return "(" + name("SCI") + "/" + name("Timer") + "/" + name("PWM") + "/" + name("IIC") +
               ")";
    if (f.famJ)
        return "(" + name("PWM") + "/" + name("Timer") + ")";
    return {};
}

float ReadFrequencyText(const std::string& text) {
    const std::optional<double> number = ReadExactDouble(text);
    if (!number || !std::isfinite(*number) || *number < 0.0)
        return 0.0f;
    const float mhz = static_cast<float>(*number);
    return std::isfinite(mhz) ? mhz : 0.0f;
}

std::string FrequencyEditText(float mhz) {
    std::string text = Format("%.6f", static_cast<double>(mhz));
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

} // namespace hwc
