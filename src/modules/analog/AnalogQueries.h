#pragma once
// What the analog modules answer to the others: whether a converter of an ADC module is
// powered, which the crossbar takes its scan-end signals from. Each free function gives the
// asker's "absent" answer while the module does not exist or does not answer.

#include <string_view>

class CModuleBase;

namespace hwc {

class IAdcConverters {
public:
    virtual ~IAdcConverters() = default;
    // Converter 'A' or 'B' of the module is powered up.
    virtual bool IsConverterPowered(char converter) const = 0;
};

// Converter 'A' or 'B' of the named ADC module ("ADC_A") is powered; `absent` without it.
bool AdcConverterPowered(const CModuleBase& asker, std::string_view instanceName, char converter,
                         bool absent);

} // namespace hwc
