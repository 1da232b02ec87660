#pragma once
// What the successive-approximation converters share: the converter clock from their input clock
// and divisor, its limit, and the clock, conversion time and limit warning shown on their pages.

#include "modules/analog/AnalogQueries.h"
#include "modules/framework/CModule.h"

class CpmSarConverterBase : public CModule, public hwc::ISarConverterClock {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CpmSarConverterBase, CModule)
public:
    // Derived values beside the clock settings, on both converters' pages.
    static constexpr int kClockId = 1246;
    static constexpr int kConversionTimeId = 1248;
    static constexpr int kClockLimitId = 1473;
    // Bus clock cycles a conversion takes to start, before its converter clock cycles.
    static constexpr int kStartBusCycles = 5;

    // The converter clock in MHz (input clock over the divisor); 0 when unknown.
    float ConverterClockMHz() const;
    // Converter clock cycles of one conversion, before the bus cycles of its start.
    virtual int ConversionCycles() const = 0;
    // The limit the converter clock is checked against, in MHz.
    virtual float MaxClockMHz() const = 0;

    // Shows the converter clock and the conversion time, and warns above the clock limit.
    void Recalculate() override;

protected:
    using CModule::CModule;
};
