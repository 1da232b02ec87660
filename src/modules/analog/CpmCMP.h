#pragma once
// One analog comparator of the older processor groups: enable, hysteresis, output inversion and
// routing (pin, filtered or unfiltered output), the plus and minus input selections, edge
// interrupts, and the input filter (sample count and period) with the delay it adds. It warns
// when an input takes its signal from a DAC that is not enabled.

#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/analog/ComparatorCommon.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmCMP : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmCMP, CModule)
public:
    static constexpr unsigned kTemplateId = 2044;

    // Page controls.
    static constexpr int kEnableId = 1851;
    static constexpr int kHysteresisId = 1852;
    static constexpr int kInvertId = 1853;
    static constexpr int kOutputPinId = 1854;
    static constexpr int kOutputSelectId = 1855;
    static constexpr int kPlusInputId = 1856;
    static constexpr int kPlusWarningId = 1857;
    static constexpr int kMinusInputId = 1858;
    static constexpr int kMinusWarningId = 1859;
    static constexpr int kRisingInterruptId = 1860;
    static constexpr int kFallingInterruptId = 1861;
    static constexpr int kFilterCountId = 1862;
    static constexpr int kFilterPeriodId = 1863;
    static constexpr int kFilterPeriodSpinId = 1864;
    static constexpr int kFilterDelayId = 1865;

    // Register items in table order.
    static constexpr int kCtrlItem = 0;
    static constexpr int kFiltItem = 1;

    static constexpr unsigned kFilterPeriodMax = 255;

    CpmCMP(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void CheckWarnings() override;
    // The comparator enable: modules that take the comparator's output need it.
    bool IsModuleEnabled() const override;

    // The filter delay in seconds; 0 while the filter is off or there is no bus clock.
    double FilterDelay() const;
    // The input list of the processor group and the module each entry takes its signal from.
    const std::vector<hwc::tComparatorInput>& Inputs() const;

    CSetBit& Enable() { return m_enable; }
    CSetMode& PlusInput() { return m_plusInput; }
    CSetMode& MinusInput() { return m_minusInput; }
    CSetMode& FilterCount() { return m_filterCount; }
    CSetValue& FilterPeriod() { return m_filterPeriod; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_enable;
    CSetMode m_hysteresis;
    CSetBit m_invert;
    CSetBit m_outputPin;
    CSetMode m_outputSelect;
    CSetMode m_plusInput;
    CSetMode m_minusInput;
    CSetBit m_risingInterrupt;
    CSetBit m_fallingInterrupt;
    CSetMode m_filterCount;
    CSetValue m_filterPeriod;
};
