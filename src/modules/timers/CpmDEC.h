#pragma once
// The quadrature decoder of the first processor families: counting direction and mode, the HOME
// and INDEX inputs, the input filter, the watchdog and the 32-bit initial position, with the
// watchdog timeout and filter interval they give at the bus clock.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmDEC : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmDEC, CModule)
public:
    static constexpr unsigned kTemplateId = 140;

    // Page controls.
    static constexpr int kReverseDirectionId = 1701; // DECCR bit 9
    static constexpr int kPhaseModeId = 1702;        // DECCR bit 10
    static constexpr int kInitModeId = 1703;         // DECCR bits 0..1
    static constexpr int kHomeEnableId = 1704;       // DECCR bit 13
    static constexpr int kHomeEdgeId = 1705;         // DECCR bit 12
    static constexpr int kIndexEnableId = 1706;      // DECCR bit 6
    static constexpr int kIndexEdgeId = 1707;        // DECCR bit 5
    static constexpr int kWatchdogEnableId = 1708;   // DECCR bit 2
    static constexpr int kWatchdogTimeoutId = 1709;  // WTR
    static constexpr int kWatchdogTimeoutSpinId = 1710;
    static constexpr int kWatchdogTimeId = 1711; // computed
    static constexpr int kFilterId = 1712;       // FIR
    static constexpr int kFilterSpinId = 1713;
    static constexpr int kFilterTimeId = 1714;        // computed
    static constexpr int kInitValueId = 1715;         // UIR:LIR
    static constexpr int kHomeInterruptId = 1716;     // DECCR bit 14
    static constexpr int kIndexInterruptId = 1717;    // DECCR bit 7
    static constexpr int kWatchdogInterruptId = 1718; // DECCR bit 3
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order.
    static constexpr int kControlItem = 0;
    static constexpr int kWatchdogItem = 1;
    static constexpr int kFilterItem = 2;
    static constexpr int kUpperInitItem = 3;
    static constexpr int kLowerInitItem = 4;
    static constexpr int kInitValueItem = 5; // hidden mirror of UIR:LIR, never written

    CpmDEC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void AfterLoad() override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;

    // The initial position: UIR in the upper half, LIR in the lower half.
    std::uint32_t InitValue() const;
    void SetInitValue(std::uint32_t value);

    // Watchdog timeout and filter interval in seconds at a bus clock in Hz; 0 without a clock.
    static double WatchdogTime(std::uint32_t wtr, double busHz);
    static double FilterTime(std::uint32_t fir, double busHz);

    CSetBit& WatchdogEnable() { return m_watchdogEnable; }
    CSetValue& InitValueField() { return m_initValue; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_reverseDirection;
    CSetMode m_phaseMode;
    CSetMode m_initMode;
    CSetBit m_homeEnable;
    CSetMode m_homeEdge;
    CSetBit m_indexEnable;
    CSetMode m_indexEdge;
    CSetBit m_watchdogEnable;
    CSetValue m_watchdogTimeout;
    CSetValue m_filter;
    CSetValue m_initValue;
    CSetBit m_homeInterrupt;
    CSetBit m_indexInterrupt;
    CSetBit m_watchdogInterrupt;
};
