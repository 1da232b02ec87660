#include "modules/analog/AnalogQueries.h"

#include "model/ModuleBase.h"

namespace hwc {

bool AdcConverterPowered(const CModuleBase& asker, std::string_view instanceName, char converter,
                         bool absent) {
    const auto* adc =
        dynamic_cast<const IAdcConverters*>(CModuleBase::FindModule(asker.Host(), instanceName));
    return adc ? adc->IsConverterPowered(converter) : absent;
}

} // namespace hwc
