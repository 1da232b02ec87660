#include "modules/routing/CpmXBARSources.h"

#include <string>
#include <string_view>

#include "base/TextUtil.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/communication/CommunicationQueries.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/pwm/PwmQueries.h"

namespace hwc::xbar {

namespace {

tSourceEntry Entry(ESourceKind kind, std::string instance, int detail, std::string message) {
    tSourceEntry entry;
    entry.kind = kind;
    entry.instances[0] = std::move(instance);
    entry.detail = detail;
    entry.message = std::move(message);
    return entry;
}

tSourceEntry Comparator(const std::string& instance) {
    return Entry(
        ESourceKind::ModuleEnabled, instance, 0,
        Format("%s module as input, but %s is not enabled", instance.c_str(), instance.c_str()));
}

tSourceEntry TimerChannel(const std::string& instance) {
    return Entry(
        ESourceKind::ChannelRunning, instance, 0,
        Format("%s module as input, but %s is in stop mode", instance.c_str(), instance.c_str()));
}

// The FamC crossbar: its inputs 9 to 21 come from the comparators, timer B and the PWM.
std::optional<tSourceEntry> FamCSource(int position) {
    static constexpr const char* kComparators[] = {"HSCMP_A", "HSCMP_B", "HSCMP_C"};
    if (position >= 9 && position <= 11)
        return Comparator(kComparators[position - 9]);
    if (position >= 12 && position <= 15)
        return TimerChannel(Format("QT_B%d", position - 12));
    if (position >= 16 && position <= 18) {
        const int pwm = position - 16;
        return Entry(ESourceKind::PwmTrigger, Format("PWM_%d", pwm), -1,
                     Format("PWM%d module trigger as input, but PWM_%d triggers are not selected",
                            pwm, pwm));
    }
    if (position == 19) {
        tSourceEntry entry = Entry(ESourceKind::PwmTriggerOfAny, "PWM_0", -1,
                                   "PWM0, PWM1 or PWM2 modules trigger as input, but PWM triggers "
                                   "are not selected");
        entry.instances[1] = "PWM_1";
        entry.instances[2] = "PWM_2";
        return entry;
    }
    if (position == 20 || position == 21) {
        const int trigger = position - 20;
        return Entry(ESourceKind::PwmTrigger, "PWM_3", trigger,
                     Format("PWM3 module trigger%d as input, but PWM_3 trigger%d is not selected",
                            trigger, trigger));
    }
    return std::nullopt;
}

// Reads an input name piece by piece, as "CMP" then a letter then "_OUT"; a name is taken only
// when every piece matches and nothing is left. Cheaper than a pattern compiled on every start.
class CNameReader {
public:
    explicit CNameReader(std::string_view name) : m_rest(name) {}
    bool Text(std::string_view text) {
        if (!m_rest.starts_with(text))
            return false;
        m_rest.remove_prefix(text.size());
        return true;
    }
    // One capital letter, or only the ones listed.
    bool Letter(std::string& out, std::string_view allowed = {}) {
        if (m_rest.empty() || m_rest[0] < 'A' || m_rest[0] > 'Z' ||
            (!allowed.empty() && allowed.find(m_rest[0]) == std::string_view::npos))
            return false;
        out.assign(1, m_rest[0]);
        m_rest.remove_prefix(1);
        return true;
    }
    // One or two decimal digits.
    bool Number(std::string& out) {
        std::size_t count = 0;
        while (count < m_rest.size() && count < 2 && m_rest[count] >= '0' && m_rest[count] <= '9')
            ++count;
        if (count == 0)
            return false;
        out.assign(m_rest.substr(0, count));
        m_rest.remove_prefix(count);
        return true;
    }
    // A trigger digit "0" or "1", or nothing.
    void OptionalTrigger(std::string& out) {
        out.clear();
        if (!m_rest.empty() && (m_rest[0] == '0' || m_rest[0] == '1')) {
            out.assign(1, m_rest[0]);
            m_rest.remove_prefix(1);
        }
    }
    bool End() const { return m_rest.empty(); }

private:
    std::string_view m_rest;
};

// The newer crossbars: the input's name tells its source module and signal.
std::optional<tSourceEntry> NamedSource(std::string_view inputName) {
    std::string a;
    std::string b;
    std::string trigger;
    if (CNameReader r(inputName); r.Text("CMP") && r.Letter(a) && r.Text("_OUT") && r.End())
        return Comparator("HSCMP_" + a);
    if (CNameReader r(inputName);
        r.Text("T") && r.Letter(a) && r.Number(b) && r.Text("_OUT") && r.End())
        return TimerChannel("QT_" + a + b);
    if (CNameReader r(inputName); r.Text("PWM_") && r.Letter(a) && r.Number(b) && r.Text("_TRG") &&
                                  (r.OptionalTrigger(trigger), r.End())) {
        const std::string instance = "PWM_" + a + "_" + b;
        tSourceEntry entry;
        if (trigger.empty()) {
            entry = Entry(ESourceKind::PwmTrigger, instance, -1,
                          Format("%s module Trigger 0 or Trigger 1 as input, but the triggers "
                                 "are not selected",
                                 instance.c_str()));
        } else {
            const int number = trigger[0] - '0';
            entry = Entry(ESourceKind::PwmTrigger, instance, number,
                          Format("%s module Trigger %d as input, but its trigger %d is not "
                                 "selected",
                                 instance.c_str(), number, number));
        }
        entry.siblingPrefix = "PWM_" + a + "_";
        return entry;
    }
    if (CNameReader r(inputName); r.Text("PIT") && r.Number(a) && r.Text("_SYNC") && r.End()) {
        const std::string instance = "PIT" + a;
        return Entry(ESourceKind::ModuleEnabled, instance, 0,
                     Format("%s module as input, but the %s counter is not enabled",
                            instance.c_str(), instance.c_str()));
    }
    if (CNameReader r(inputName); r.Text("PDB") && r.Number(a) && r.Text("_PULSE") && r.End()) {
        const std::string instance = "PDB_" + a;
        return Entry(ESourceKind::ModuleEnabled, instance, 0,
                     Format("%s module as input, but the module is not enabled", instance.c_str()));
    }
    if (CNameReader r(inputName); r.Text("SCI") && r.Number(a) && r.Text("_TXD") && r.End()) {
        const std::string instance = "SCI_" + a;
        return Entry(
            ESourceKind::SerialTransmitter, instance, 0,
            Format("%s Tx as input, but the transmitter is not enabled", instance.c_str()));
    }
    if (CNameReader r(inputName);
        r.Text("ADC") && r.Letter(a, "AB") && r.Text("_SCAN_END") && r.End()) {
        const char converter = a[0];
        return Entry(ESourceKind::ConverterPowered, "ADC_A", converter,
                     Format("ADC %c scan end in ADC_A module as input is used, but converter %c "
                            "is not powered",
                            converter, converter));
    }
    return std::nullopt;
}

bool ConditionHolds(const CModuleBase& asker, const tSourceEntry& entry) {
    const std::string& instance = entry.instances[0];
    switch (entry.kind) {
    case ESourceKind::ModuleEnabled:
    case ESourceKind::ChannelRunning:
        // A timer channel answers its enable as "not in stop mode".
        return ModuleEnabled(asker, instance, true);
    case ESourceKind::PwmTrigger:
        return PwmTriggerSelected(asker, instance, entry.detail, true);
    case ESourceKind::PwmTriggerOfAny:
        for (const std::string& each : entry.instances) {
            if (!each.empty() && PwmTriggerSelected(asker, each, -1, true))
                return true;
        }
        return false;
    case ESourceKind::SerialTransmitter:
        return SerialTransmitterEnabled(asker, instance, true);
    case ESourceKind::ConverterPowered:
        return AdcConverterPowered(asker, instance, static_cast<char>(entry.detail), true);
    }
    return true;
}

// A sub-module the project lacks while it has one of its siblings: the processor lacks it.
bool MissingBesideSiblings(const CModuleBase& asker, const tSourceEntry& entry) {
    constexpr int kSiblings = 8;
    if (entry.siblingPrefix.empty() || ModuleExists(asker, entry.instances[0]))
        return false;
    for (int sibling = 0; sibling < kSiblings; ++sibling) {
        if (ModuleExists(asker, entry.siblingPrefix + std::to_string(sibling)))
            return true;
    }
    return false;
}

} // namespace

std::optional<tSourceEntry> SourceOf(ESourceTable table, int position, std::string_view inputName) {
    switch (table) {
    case ESourceTable::ByPosition:
        return FamCSource(position);
    case ESourceTable::ByName:
        return NamedSource(inputName);
    case ESourceTable::None:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> CheckSource(const CModuleBase& asker, const tSourceEntry& entry) {
    if (MissingBesideSiblings(asker, entry))
        return Format("%s module as input, but the module is not available",
                      entry.instances[0].c_str());
    if (ConditionHolds(asker, entry))
        return std::nullopt;
    return entry.message;
}

} // namespace hwc::xbar
