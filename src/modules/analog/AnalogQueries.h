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

// The successive-approximation converter's clock, which the gain amplifier in front of it runs on.
class ISarConverterClock {
public:
    virtual ~ISarConverterClock() = default;
    // The converter's input clock in MHz, before its own divisor; 0 when it is not known.
    virtual float InputClockMHz() const = 0;
    // The converter's clock divisor field (0 to 3 for input clock / 1, 2, 4, 8).
    virtual int ClockDivisorField() const = 0;
};

// The named converter's ("ADC_0") input clock in MHz; 0 without it.
float SarConverterInputClock(const CModuleBase& asker, std::string_view instanceName);
// The named converter's clock divisor field; `absent` without it.
int SarConverterDivisorField(const CModuleBase& asker, std::string_view instanceName, int absent);

} // namespace hwc

namespace hwc {

// Comparators and the converters that feed them: a DAC ("DAC") or reference DAC ("VREF_DAC")
// whose output a comparator input takes, and a comparator ("HSCMP", "CMP") that triggers the
// delay block or feeds the crossbar, answer their enable through IModuleEnable
// (modules/framework/ModuleQueries.h). These ask only modules of those kinds.

// The named DAC or reference DAC is enabled (not powered down); `absent` without one.
bool AnalogOutputEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent);
// The named comparator is enabled; `absent` without one.
bool ComparatorEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent);

} // namespace hwc
