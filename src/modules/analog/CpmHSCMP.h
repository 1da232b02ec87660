#pragma once
// One high-speed analog comparator: enable, output polarity and routing, hysteresis and power
// mode, the plus and minus input selections, the input filter (windowing and sampling modes,
// sample count and period) with the delay it adds, interrupts and, on the newer processor
// groups, the comparator's own reference DAC with the voltage and supply share it gives. It warns
// when an input takes its signal from another module that is not enabled.

#include <string>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/analog/ComparatorCommon.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmHSCMP : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmHSCMP, CModule)
public:
    // Page layouts: without (FamA, FamC) and with the reference DAC (FamE, FamF, FamD).
    static constexpr unsigned kTemplateId = 2061;
    static constexpr unsigned kNewerTemplateId = 2092;

    // Page controls.
    static constexpr int kEnableId = 1801;
    static constexpr int kOutputPinId = 1802;
    static constexpr int kInvertId = 1803;
    static constexpr int kOutputSelectId = 1804;
    static constexpr int kPowerModeId = 1805;
    static constexpr int kHysteresisId = 1806;
    static constexpr int kPlusInputId = 1807;
    static constexpr int kPlusWarningId = 1808;
    static constexpr int kMinusInputId = 1809;
    static constexpr int kMinusWarningId = 1810;
    static constexpr int kWindowingId = 1811;
    static constexpr int kSamplingId = 1812;
    static constexpr int kFilterCountId = 1813;
    static constexpr int kFilterPeriodId = 1814;
    static constexpr int kFilterPeriodSpinId = 1815;
    static constexpr int kFilterDelayId = 1816;
    static constexpr int kDacEnableId = 1817;
    static constexpr int kDacValueId = 1818;
    static constexpr int kDacValueSpinId = 1819;
    static constexpr int kDacVoltageId = 1820;
    static constexpr int kDacShareId = 1821;
    static constexpr int kDacGroupId = 1822;
    static constexpr int kRisingInterruptId = 1823;
    static constexpr int kFallingInterruptId = 1824;
    static constexpr int kDmaId = 1825;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order; the last two exist on the newer groups only.
    static constexpr int kCr0Item = 0;
    static constexpr int kCr1Item = 1;
    static constexpr int kFprItem = 2;
    static constexpr int kScrItem = 3;
    static constexpr int kPcrItem = 4;
    static constexpr int kDacCrItem = 5;
    static constexpr int kMuxCrItem = 6;

    static constexpr unsigned kFilterPeriodMax = 255;

    // The reference DAC's output voltage and supply share (percent) for a DAC value: 64 steps
    // of a 3.3 V supply, 256 steps on FamD.
    static double DacVoltage(unsigned value, bool fineSteps);
    static double DacShare(unsigned value, bool fineSteps);

    CpmHSCMP(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // Controls that depend on other settings follow each change at once.
    void OnPageCommand(CPageControl& control, EControlEvent event) override;
    // The comparator enable: the delay block's input trigger and the crossbar need it.
    bool IsModuleEnabled() const override;

    // The filter delay in seconds and the reference DAC's state as the page shows them.
    double FilterDelay() const;
    bool IsDacEnabled() const;
    unsigned DacValue() const;

    // The input lists of the processor group and the module each entry takes its signal from.
    const std::vector<hwc::tComparatorInput>& PlusInputs() const;
    const std::vector<hwc::tComparatorInput>& MinusInputs() const;
    int PlusSelection() const;
    int MinusSelection() const;

    CSetBit& Enable() { return m_enable; }
    CSetBit& Windowing() { return m_windowing; }
    CSetBit& Sampling() { return m_sampling; }
    CSetMode& FilterCount() { return m_filterCount; }
    CSetValue& FilterPeriod() { return m_filterPeriod; }
    CSetMode& PlusInput() { return m_plusInput; }
    CSetMode& MinusInput() { return m_minusInput; }
    CSetBit& DacEnable() { return m_dacEnable; }
    CSetValue& DacValueBinding() { return m_dacValue; }

protected:
    void AttachControls(CPage& page) override;

private:
    // The processor has the reference DAC and the input multiplexer register.
    bool IsNewer() const;
    bool IsFamD() const;

    CSetBit m_enable;
    CSetBit m_outputPin;
    CSetBit m_invert;
    CSetMode m_outputSelect;
    CSetMode m_powerMode;
    CSetMode m_hysteresis;
    CSetMode m_plusInput;
    CSetMode m_minusInput;
    CSetBit m_windowing;
    CSetBit m_sampling;
    CSetMode m_filterCount;
    CSetValue m_filterPeriod;
    CSetBit m_dacEnable;
    CSetValue m_dacValue;
    CSetBit m_risingInterrupt;
    CSetBit m_fallingInterrupt;
    CSetBit m_dma;
};
