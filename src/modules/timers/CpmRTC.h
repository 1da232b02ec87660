#pragma once
// The real-time counter: clock source, prescaler and modulo, with the divider, roll-over time and
// interrupt rate they give, and a warning when it counts the 1 kHz oscillator that the power
// management module leaves off.

#include <cstdint>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmRTC : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmRTC, CModule)
public:
    static constexpr unsigned kTemplateId = 2063;

    // Page controls.
    static constexpr int kClockSourceId = 1810;
    static constexpr int kClockSourceLabelId = 1917;
    static constexpr int kPrescalerId = 1906;
    static constexpr int kDividerId = 1910;
    static constexpr int kModuloId = 1909;
    static constexpr int kModuloSpinId = 1651;
    static constexpr int kRollOverTimeId = 1653;
    static constexpr int kInterruptRateId = 1654;
    static constexpr int kInterruptEnableId = 1905;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kUserVectorNoteId = 1955;

    // Register items in table order.
    static constexpr int kControlItem = 0;
    static constexpr int kModuloItem = 1;

    // Clock sources of the clock-source field.
    enum EClockSource {
        kLowPowerOscillator = 0,
        kExternalClock = 1,
        kInternalClock = 2,
        kInternalClockSelected = 3,
    };

    static constexpr const char* kOscillatorWarning =
        "1 kHz oscilator is selected as a clock source for RTC but it is not enabled in PMC "
        "module.";

    // What the settings give: the divider (0 while the counter is off), the interrupt rate in
    // Hz and the roll-over time in seconds (0 where they cannot be told).
    struct tTiming {
        std::uint32_t divider = 0;
        float rate = 0.0f;
        float period = 0.0f;
    };
    // The timing of a clock source, prescaler and modulo field; a source or prescaler outside
    // its list (no selection) leaves the counter off.
    static tTiming Timing(int source, int prescaler, std::uint32_t modulo);

    CpmRTC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    CSetMode& ClockSource() { return m_clockSource; }
    CSetMode& Prescaler() { return m_prescaler; }
    CSetValue& Modulo() { return m_modulo; }
    CSetBit& InterruptEnable() { return m_interruptEnable; }

protected:
    void AttachControls(CPage& page) override;
    // The row sits after its own "ISR Name:" label: ISR name and priority only.
    bool WideInterruptRows() const override { return false; }

private:
    CSetMode m_clockSource;
    CSetMode m_prescaler;
    CSetValue m_modulo;
    CSetBit m_interruptEnable;
};
