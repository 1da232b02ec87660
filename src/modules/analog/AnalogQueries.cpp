#include "modules/analog/AnalogQueries.h"

#include "model/ModuleBase.h"

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
