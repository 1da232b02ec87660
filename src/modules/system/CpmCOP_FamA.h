#pragma once
// The watchdog (computer operating properly): enable and behaviour bits, clock source,
// prescaler and timeout divisor and, on the newest processor groups, the warning interrupt and
// the service window, with the timeout, warning and window times they give. It owns the
// watchdog registers (COPCTL, COPTO, INTVAL, WINDOW) that the clock page of the first processor
// families configures itself.

#include <cstdint>
#include <string>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/KeptChoice.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmCOP_FamA : public CModule, public hwc::IWatchdogClock, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmCOP_FamA, CModule)
public:
    // Page layouts: without (FamA, FamC) and with the warning interrupt (FamE, FamF, FamD).
    static constexpr unsigned kTemplateId = 2064;
    static constexpr unsigned kNewerTemplateId = 2095;

    // Page controls.
    static constexpr int kWriteProtectId = 1760;
    static constexpr int kEnableId = 1761;
    static constexpr int kWaitModeId = 1762;
    static constexpr int kStopModeId = 1763;
    static constexpr int kLossOfClockId = 1764;
    static constexpr int kClockSourceId = 1765;
    static constexpr int kClockSourceLabelId = 1917;
    static constexpr int kPrescalerId = 1766;
    static constexpr int kTimeoutDivisorId = 1767;
    static constexpr int kTimeoutDivisorSpinId = 1768;
    static constexpr int kTimeoutId = 1769;
    static constexpr int kWarningInterruptId = 1770;
    static constexpr int kInterruptValueId = 1771;
    static constexpr int kInterruptValueSpinId = 1772;
    static constexpr int kInterruptTimeId = 1773;
    static constexpr int kWindowValueLabelId = 1774;
    static constexpr int kWindowValueId = 1775;
    static constexpr int kWindowValueSpinId = 1776;
    static constexpr int kWindowTimeLabelId = 1777;
    static constexpr int kWindowTimeId = 1778;
    static constexpr int kInterruptGroupId = 1779;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order; the last two exist on the newest groups only.
    static constexpr int kControlItem = 0;
    static constexpr int kTimeoutItem = 1;
    static constexpr int kInterruptValueItem = 2;
    static constexpr int kWindowItem = 3;

    // Clock sources of the clock-source field.
    enum EClockSource {
        kRelaxationSource = 0,
        kCrystalSource = 1,
        kBusClockSource = 2,
        kLowSpeedSource = 3,
    };

    // Warning texts at the clock-source label.
    static constexpr const char* kRelaxationWarning =
        "Internal relaxation oscillator is not enabled (and is selected as COP clock source) - "
        "see OCCS.";
    static constexpr const char* kCrystalWarning =
        "Clock source is not available; crystal oscilator must be enabled or XTAL pin must be "
        "configured properly - see OCCS.";
    static constexpr const char* kPowerOscillatorWarning =
        "1 kHz oscilator is not enabled in PMC module (and is selected as COP clock source).";
    static constexpr const char* kBusClockWarning =
        "IP BUS clock is not enabled for COP in SYS module (PCE).";
    static constexpr const char* kLowSpeedWarning =
        "Low speed relaxation oscillator is not enabled (and is selected as COP clock source) - "
        "see OCCS.";

    // The time in seconds `count` cycles of a clock of `clockMHz` take; 0 when the count lies
    // outside 1..limit or there is no clock.
    static double CountTime(std::uint32_t count, std::uint32_t limit, double clockMHz);

    CpmCOP_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    bool CountsCrystalOscillator() const override;
    bool IsModuleEnabled() const override;

    // The clock the counter runs from after the prescaler, in MHz (0 without a clock).
    double CounterClockMHz() const;
    // The clock-source field and the prescaler's divisor.
    int ClockSourceField() const;
    std::uint32_t PrescalerDivisor() const;

    CSetBit& Enable() { return m_enable; }
    CSetMode& ClockSource() { return m_clockSource; }
    CSetMode& Prescaler() { return m_prescaler; }
    CSetValue& TimeoutDivisor() { return m_timeoutDivisor; }
    CSetValue& InterruptValue() { return m_interruptValue; }
    CSetValue& WindowValue() { return m_windowValue; }

protected:
    void AttachControls(CPage& page) override;

private:
    // The processor has the warning interrupt (and the page layout with it).
    bool HasWarningInterrupt() const;
    // The processor has the service window as well.
    bool HasWindow() const;
    // The source clock of the clock-source field in MHz, before the prescaler.
    double SourceClockMHz() const;
    // The clock-source texts of the processor group; empty where the page's own list stands.
    std::vector<std::string> ClockSourceTexts() const;

    CSetBit m_writeProtect;
    CSetBit m_enable;
    CSetBit m_waitMode;
    CSetBit m_stopMode;
    CSetBit m_lossOfClock;
    hwc::CKeptChoice m_clockSource;
    CSetMode m_prescaler;
    CSetBit m_warningInterrupt;
    CSetValue m_timeoutDivisor;
    CSetValue m_interruptValue;
    CSetValue m_windowValue;
};
