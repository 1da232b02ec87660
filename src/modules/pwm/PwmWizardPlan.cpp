#include "modules/pwm/PwmWizardPlan.h"

#include <charconv>
#include <cmath>

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/DisplayText.h"
#include "model/ModuleBase.h"
#include "modules/pwm/PwmMath.h"

namespace hwc::pwm {

namespace {

constexpr int kMaxExponent = 7;         // prescaler /128
constexpr long long kMaxCounts = 65536; // INIT -32768 .. VAL1 32767

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Number(double value) {
    return Format("%g", value);
}

} // namespace

bool ReadNumber(std::string_view text, double& value) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    double read = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

std::string PlanTiming(double busHz, double frequencyHz, EWizardAlignment alignment, double deadNs,
                       tPwmTiming& timing) {
    if (!(busHz > 0.0))
        return "The bus clock is not known: set up the clock generation first.";
    if (!(frequencyHz > 0.0))
        return "The PWM frequency must be above 0 Hz.";
    if (frequencyHz > busHz / 2.0)
        return "The PWM frequency must not exceed half the bus clock (" +
               FrequencyText(busHz / 2.0, true) + ").";
    const int exponent = SmallestPrescalerExponent(busHz, frequencyHz, kMaxExponent, kMaxCounts);
    if (exponent < 0) {
        const double lowest =
            busHz / static_cast<double>(1 << kMaxExponent) / static_cast<double>(kMaxCounts);
        return "The PWM frequency is too low even with the prescaler / 128: the lowest is " +
               FrequencyText(lowest, true) + ".";
    }
    const double scaled = busHz / static_cast<double>(1LL << exponent);
    long long counts = CountsForFrequency(busHz, frequencyHz, exponent);
    // Centre alignment needs INIT = -(VAL1 + 1), an even number of counts.
    if (alignment == EWizardAlignment::Centre)
        counts = 2 * std::llround(scaled / frequencyHz / 2.0);
    if (counts < 2)
        counts = 2;
    if (counts > kMaxCounts)
        counts = kMaxCounts;
    if (!(deadNs >= 0.0))
        return "The dead time must not be negative.";
    const long long deadCount = NsToCounts(deadNs, busHz);
    const double periodNs = 1e9 * static_cast<double>(counts) / scaled;
    // The dead time counts bus clocks, the period prescaled ones.
    if (deadNs >= periodNs / 2.0 || 2 * deadCount >= (counts << exponent))
        return "The dead time must be shorter than half the PWM period (" +
               TimeText(periodNs / 2e9, true) + ").";
    if (deadCount < 0 || deadCount > static_cast<long long>(kDeadCountMax))
        return Format("The dead time must not exceed %u bus clocks (", kDeadCountMax) +
               TimeText(static_cast<double>(kDeadCountMax) / busHz, true) + ").";
    timing.exponent = exponent;
    timing.counts = counts;
    timing.init = static_cast<int>(-(counts / 2));
    timing.val1 = static_cast<int>(timing.init + counts - 1);
    timing.frequencyHz = FrequencyHz(busHz, 1LL << exponent, counts);
    timing.deadCount = static_cast<std::uint32_t>(deadCount);
    timing.deadNs = DeadTimeNs(timing.deadCount, busHz);
    return {};
}

std::string PlanEdges(const tPwmTiming& timing, EWizardAlignment alignment, double dutyA,
                      double dutyB, double phaseDegrees, bool complementary, tPwmEdges& edges) {
    if (timing.counts < 2)
        return "The PWM period is not set.";
    if (!(dutyA >= 0.0 && dutyA <= 100.0) || (!complementary && !(dutyB >= 0.0 && dutyB <= 100.0)))
        return "A duty cycle must lie from 0 to 100 %.";
    if (alignment == EWizardAlignment::PhaseShift && !(phaseDegrees >= 0.0 && phaseDegrees < 360.0))
        return "The phase shift must lie from 0 up to (not including) 360 degrees.";
    const double counts = static_cast<double>(timing.counts);
    long long shift = 0;
    if (alignment == EWizardAlignment::PhaseShift)
        shift = std::llround(phaseDegrees / 360.0 * counts) % timing.counts;

    auto place = [&](double duty, int& on, int& off) -> std::string {
        long long rise = timing.init;
        long long fall = timing.init;
        if (alignment == EWizardAlignment::Centre) {
            const long long half = std::llround(duty / 100.0 * counts / 2.0);
            rise = -half;
            fall = half;
        } else {
            rise = timing.init + shift;
            fall = rise + std::llround(duty / 100.0 * counts);
        }
        if (fall > static_cast<long long>(timing.val1) + 1)
            return "With a phase shift of " + Number(phaseDegrees) + " degrees a duty of " +
                   Number(duty) + " % ends after the period: lower the one or the other.";
        if (!FitsSigned16(rise) || !FitsSigned16(fall))
            return "A duty of " + Number(duty) +
                   " % does not fit the 16-bit edge registers at this frequency.";
        on = static_cast<int>(rise);
        off = static_cast<int>(fall);
        return {};
    };
    tPwmEdges planned;
    if (std::string problem = place(dutyA, planned.val2, planned.val3); !problem.empty())
        return problem;
    planned.dutyA = DutyPercent(planned.val2, planned.val3, timing.counts);
    if (complementary) {
        // Output B is the inverse of A; its edge registers follow A's.
        planned.val4 = planned.val2;
        planned.val5 = planned.val3;
        planned.dutyB = 100.0 - planned.dutyA;
    } else {
        if (std::string problem = place(dutyB, planned.val4, planned.val5); !problem.empty())
            return problem;
        planned.dutyB = DutyPercent(planned.val4, planned.val5, timing.counts);
    }
    edges = planned;
    return {};
}

tPerCfgItem* FindRegisterByShortName(CModuleBase& module, std::string_view shortName) {
    if (tPerCfgItem* item =
            module.FindRegister(module.InstanceName() + "_" + std::string(shortName)))
        return item;
    const std::string suffix = "_" + std::string(shortName);
    for (int i = 0; i < module.ItemCount(); ++i) {
        tPerCfgItem& item = module.Item(i);
        std::string_view name = FieldText(item.szName);
        if (!name.empty() && name.front() == '-')
            name.remove_prefix(1);
        if (name == shortName || EndsWith(name, suffix))
            return &item;
    }
    return nullptr;
}

std::uint32_t GetField(const tPerCfgItem& item, int low, int high) {
    const std::uint32_t mask = (1u << (high - low + 1)) - 1u;
    return (item.dwValue >> low) & mask;
}

void SetField(tPerCfgItem& item, int low, int high, std::uint32_t value) {
    const std::uint32_t mask = ((1u << (high - low + 1)) - 1u) << low;
    item.dwValue = (item.dwValue & ~mask) | ((value << low) & mask);
}

void WriteSubmodule(CModuleBase& submodule, const tPwmTiming& timing, const tPwmEdges& edges,
                    bool complementary, ESubmoduleRole role) {
    auto set = [&](std::string_view name, std::uint32_t value) {
        if (tPerCfgItem* item = FindRegisterByShortName(submodule, name))
            item->dwValue = value;
    };
    if (tPerCfgItem* ctrl = FindRegisterByShortName(submodule, "CTRL_INIT"))
        SetField(*ctrl, kPrescalerLow, kPrescalerHigh, static_cast<std::uint32_t>(timing.exponent));
    if (tPerCfgItem* ctrl2 = FindRegisterByShortName(submodule, "CTRL2_INIT")) {
        if (role != ESubmoduleRole::Own) {
            const bool slave = role == ESubmoduleRole::Slave;
            SetField(*ctrl2, kClockSelectLow, kClockSelectHigh, slave ? kClockFromSubmodule0 : 0);
            SetField(*ctrl2, kReloadSelectBit, kReloadSelectBit, slave ? 1 : 0);
            SetField(*ctrl2, kInitSelectLow, kInitSelectHigh, slave ? kInitFromMasterSync : 0);
        }
        SetField(*ctrl2, kIndependentBit, kIndependentBit, complementary ? 0 : 1);
    }
    set("INIT_INIT", FromSigned16(timing.init));
    set("VAL0_INIT", 0);
    set("VAL1_INIT", FromSigned16(timing.val1));
    set("VAL2_INIT", FromSigned16(edges.val2));
    set("VAL3_INIT", FromSigned16(edges.val3));
    set("VAL4_INIT", FromSigned16(edges.val4));
    set("VAL5_INIT", FromSigned16(edges.val5));
    set("DTCNT0_INIT", timing.deadCount);
    set("DTCNT1_INIT", timing.deadCount);
}

CModuleBase* FindSubmodule(const CModuleBase& asker, std::string_view common, int index) {
    return CModuleBase::FindModule(asker.Host(), std::string(common) + "_" + std::to_string(index),
                                   "PWM_FamC");
}

} // namespace hwc::pwm
