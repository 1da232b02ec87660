#include "modules/analog/AnalogQueries.h"

#include <initializer_list>

#include "model/ModuleBase.h"
#include "modules/framework/ModuleQueries.h"

namespace hwc {

bool AdcConverterPowered(const CModuleBase& asker, std::string_view instanceName, char converter,
                         bool absent) {
    const auto* adc =
        dynamic_cast<const IAdcConverters*>(CModuleBase::FindModule(asker.Host(), instanceName));
    return adc ? adc->IsConverterPowered(converter) : absent;
}

// --- The successive-approximation converter's clock ---

float SarConverterInputClock(const CModuleBase& asker, std::string_view instanceName) {
    const auto* adc = dynamic_cast<const ISarConverterClock*>(
        CModuleBase::FindModule(asker.Host(), instanceName));
    return adc ? adc->InputClockMHz() : 0.0f;
}

int SarConverterDivisorField(const CModuleBase& asker, std::string_view instanceName, int absent) {
    const auto* adc = dynamic_cast<const ISarConverterClock*>(
        CModuleBase::FindModule(asker.Host(), instanceName));
    return adc ? adc->ClockDivisorField() : absent;
}

} // namespace hwc

// Comparators and the converters that feed them.

namespace hwc {

namespace {

// The module's enable when it is of one of the kinds, else `absent`.
bool EnableOfKind(const CModuleBase& asker, std::string_view instanceName,
                  std::initializer_list<std::string_view> typeKeys, bool absent) {
    const CModuleBase* module = CModuleBase::FindModule(asker.Host(), instanceName);
    if (!module)
        return absent;
    bool kind = false;
    for (std::string_view key : typeKeys)
        kind = kind || module->TypeKey() == key;
    const auto* enable = dynamic_cast<const IModuleEnable*>(module);
    return kind && enable ? enable->IsModuleEnabled() : absent;
}

} // namespace

bool AnalogOutputEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent) {
    return EnableOfKind(asker, instanceName, {"DAC", "VREF_DAC"}, absent);
}

bool ComparatorEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent) {
    return EnableOfKind(asker, instanceName, {"HSCMP", "CMP"}, absent);
}

} // namespace hwc
