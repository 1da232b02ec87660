#include "modules/analog/CpmSarConverterBase.h"

#include <string>

#include "base/TextUtil.h"

float CpmSarConverterBase::ConverterClockMHz() const {
    return InputClockMHz() / static_cast<float>(1u << (ClockDivisorField() & 31));
}

void CpmSarConverterBase::Recalculate() {
    const float mhz = ConverterClockMHz();
    ShowFrequency(kClockId, static_cast<double>(mhz) * 1000000.0, true, "??");
    // A conversion starts on the bus clock: without either clock its time is not known.
    const double busHz = static_cast<double>(GetBusClock()) * 1000000.0;
    const double adcHz = static_cast<double>(mhz) * 1000000.0;
    const double seconds =
        busHz > 0.0 && adcHz > 0.0 ? ConversionCycles() / adcHz + kStartBusCycles / busHz : 0.0;
    ShowTime(kConversionTimeId, seconds, true, "??");

    // A converter that is not written to the header runs at no clock at all.
    const float limit = MaxClockMHz();
    const bool tooFast = IsSelected() && mhz > limit;
    SetWarning(*this, kClockLimitId, tooFast,
               tooFast ? hwc::Format("max: %.3f MHz", limit)
                       : hwc::Format("should be < %g MHz", limit),
               tooFast ? hwc::Format("ADC clock frequency exceeds maximum operating frequency "
                                     "(%.3f MHz)",
                                     limit)
                       : std::string());
}
