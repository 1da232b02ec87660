#pragma once
// The external watchdog monitor: enable, the EWM_in input with its assertion state, the
// interrupt, the counter's clock source and prescaler and the service window (low and high
// compare values), with the counter frequency and the two window times they give.

#include <cstdint>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmEWM : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmEWM, CModule)
public:
    static constexpr unsigned kTemplateId = 2102;

    // Page controls.
    static constexpr int kEnableId = 1780;
    static constexpr int kAssertionStateId = 1781;
    static constexpr int kInputEnableId = 1782;
    static constexpr int kInterruptEnableId = 1783;
    static constexpr int kClockSourceId = 1784;
    static constexpr int kClockSourceLabelId = 1917;
    static constexpr int kPrescalerId = 1785;
    static constexpr int kPrescalerSpinId = 1786;
    static constexpr int kFrequencyLabelId = 1787;
    static constexpr int kFrequencyId = 1788;
    static constexpr int kCompareLowId = 1789;
    static constexpr int kCompareLowSpinId = 1790;
    static constexpr int kLowTimeId = 1791;
    static constexpr int kCompareHighId = 1792;
    static constexpr int kCompareHighSpinId = 1793;
    static constexpr int kHighTimeId = 1794;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order.
    static constexpr int kControlItem = 0;
    static constexpr int kCompareLowItem = 1;
    static constexpr int kCompareHighItem = 2;
    static constexpr int kClockControlItem = 3;
    static constexpr int kPrescalerItem = 4;

    // Clock sources of the clock-source field.
    enum EClockSource {
        kRelaxationSource = 0,
        kCrystalSource = 1,
        kBusClockSource = 2,
        kLowSpeedSource = 3,
    };

    static constexpr const char* kFrequencyCaption = "Frequency:";
    static constexpr const char* kInputCaption = "Enable EWM Input (EWM_in)";
    static constexpr const char* kRelaxationWarning =
        "Clock source is not available; internal relaxation oscillator 8 MHz is not enabled - "
        "see OCCS.";
    static constexpr const char* kCrystalWarning =
        "Clock source is not available; crystal oscillator is powered down. It must be enabled "
        "or XTAL pin must be configured properly - see OCCS.";

    CpmEWM(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    bool IsModuleEnabled() const override;

    // The source clock of the clock-source field in MHz, 0 without a clock.
    double SourceClockMHz() const;
    // The prescaler's divisor, 1 to 256.
    std::uint32_t PrescalerDivisor() const;
    // The crossbar output that carries EWM_in on this processor, 0 where none is known.
    int InputCrossbarOutput() const;

    CSetBit& Enable() { return m_enable; }
    CSetBit& InputEnable() { return m_inputEnable; }
    CSetMode& ClockSource() { return m_clockSource; }
    CSetValue& Prescaler() { return m_prescaler; }
    CSetValue& CompareLow() { return m_compareLow; }
    CSetValue& CompareHigh() { return m_compareHigh; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_enable;
    CSetMode m_assertionState;
    CSetBit m_inputEnable;
    CSetBit m_interruptEnable;
    CSetMode m_clockSource;
    CSetValue m_prescaler;
    CSetValue m_compareLow;
    CSetValue m_compareHigh;
};
