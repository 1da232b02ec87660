#pragma once
// The programmable interval timer: counter and interrupt enables, slave mode, prescaler, modulo
// and (on the newer processor groups) the counter's clock source, with the roll-over time and
// interrupt rate they give.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmPIT : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmPIT, CModule)
public:
    static constexpr unsigned kTemplateId = 2045;

    // Page controls.
    static constexpr int kCounterEnableId = 1390;
    static constexpr int kInterruptEnableId = 1655;
    static constexpr int kSlaveModeId = 1649;
    static constexpr int kPrescalerId = 1141;
    static constexpr int kModuloId = 1652;
    static constexpr int kModuloSpinId = 1651;
    static constexpr int kClockSourceId = 2042;
    static constexpr int kClockSourceLabelId = 1917;
    static constexpr int kRollOverTimeId = 1653;
    static constexpr int kInterruptRateId = 1654;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order.
    static constexpr int kCtrlItem = 0;
    static constexpr int kModItem = 1;

    CpmPIT(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // The counter enable: a crossbar input fed by the timer's sync output needs it.
    bool IsModuleEnabled() const override;

    CSetBit& CounterEnable() { return m_counterEnable; }
    CSetBit& InterruptEnable() { return m_interruptEnable; }
    CSetBit& SlaveMode() { return m_slaveMode; }
    CSetMode& Prescaler() { return m_prescaler; }
    CSetValue& Modulo() { return m_modulo; }
    CSetMode& ClockSource() { return m_clockSource; }

protected:
    void AttachControls(CPage& page) override;
    // The crystal oscillator frequency in MHz that the clock module publishes; 0 without one.
    float CrystalClock() const;

private:
    // Whether the processor has the clock-source choice (and the low-speed oscillators).
    bool HasClockSourceChoice() const;
    // Settings of the clock module the chosen clock source depends on; each is false while
    // there is no clock module, so that no warning is raised.
    bool IsCrystalOscillatorPoweredDown() const;
    bool IsRelaxationOscillatorDisabled() const;
    bool IsLowSpeedOscillatorDisabled() const;

    CSetBit m_counterEnable;
    CSetBit m_interruptEnable;
    CSetBit m_slaveMode;
    CSetMode m_prescaler;
    CSetValue m_modulo;
    CSetMode m_clockSource;
};
