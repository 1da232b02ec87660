#pragma once
// The programmable gain amplifier in front of a successive-approximation converter: enable,
// trigger mode, low-power mode, the three gain stages and their product, charge pump,
// calibration mode, clock divisor and sampling pulses, with the amplifier clock, sampling time
// and latency it runs at, and the checks against its converter and the delay block.

#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmPGA : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPGA, CModule)
public:
    static constexpr unsigned kTemplateId = 2057;

    // Page controls.
    static constexpr int kEnableId = 1821;
    static constexpr int kTriggerModeId = 1822;
    static constexpr int kTriggerModeLabelId = 1894;
    static constexpr int kLowPowerId = 1823;
    static constexpr int kSampleHoldGainId = 1824;
    static constexpr int kDiffGainId = 1825;
    static constexpr int kDseGainId = 1826;
    static constexpr int kTotalGainId = 1827;
    static constexpr int kChargePumpId = 1829;
    static constexpr int kChargePumpSpinId = 1828;
    static constexpr int kCalibrationId = 1830;
    static constexpr int kClockDivisorId = 1831;
    static constexpr int kClockDivisorLabelId = 1883;
    static constexpr int kPulsesId = 1833;
    static constexpr int kPulsesSpinId = 1832;
    static constexpr int kClockId = 1937;
    static constexpr int kSamplingTimeId = 1938;
    static constexpr int kLatencyId = 1939;
    static constexpr int kClockLimitId = 1473;

    // Register items in table order.
    static constexpr int kCntl0Item = 0;
    static constexpr int kCntl1Item = 1;
    static constexpr int kCntl2Item = 2;

    // The highest amplifier clock in MHz.
    static constexpr float kMaxClockMHz = 8.0f;

    CpmPGA(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void CheckWarnings() override;

    // The amplifier's number: n of an instance name "PGA_n", 0 when the name does not read so;
    // `readable` tells whether it did.
    int AmplifierNumber(bool* readable = nullptr) const;
    // The amplifier clock in MHz: the converter's input clock over this module's divisor.
    float ClockMHz() const;
    // The product of the three gain stages (1 to 32).
    int TotalGain() const;

    CSetBit& Enable() { return m_enable; }
    CSetMode& TriggerMode() { return m_triggerMode; }
    CSetMode& SampleHoldGain() { return m_sampleHoldGain; }
    CSetMode& DiffGain() { return m_diffGain; }
    CSetMode& DseGain() { return m_dseGain; }
    CSetMode& ClockDivisor() { return m_clockDivisor; }
    CSetValue& Pulses() { return m_pulses; }

protected:
    void AttachControls(CPage& page) override;

private:
    bool IsEnabled() const;
    // The number whose converter clocks the amplifier: n, or 0 for numbers above 1.
    int ConverterNumber() const;
    // The text and state of the trigger check for amplifier n.
    bool TriggerWarning(int n, std::string& text) const;

    CSetBit m_enable;
    CSetMode m_triggerMode;
    CSetBit m_lowPower;
    CSetMode m_sampleHoldGain;
    CSetMode m_diffGain;
    CSetMode m_dseGain;
    CSetValue m_chargePump;
    CSetMode m_calibration;
    CSetMode m_clockDivisor;
    CSetValue m_pulses;
};
