#pragma once
// The quadrature encoder of the newer processor families: control options, input filter,
// watchdog, initial, modulus and compare values and the test counter, with the watchdog
// timeout, filter sample period and test period they give at the bus clock.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmENC : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmENC, CModule)
public:
    static constexpr unsigned kTemplateId = 2101;

    // Page controls: control register options.
    static constexpr int kReverseDirectionId = 1801;  // CTRL bit 10
    static constexpr int kSinglePhaseId = 1802;       // CTRL bit 9
    static constexpr int kIndexInitId = 1803;         // CTRL bit 6
    static constexpr int kIndexEdgeId = 1804;         // CTRL list on bit 5
    static constexpr int kHomeInitId = 1805;          // CTRL bit 13
    static constexpr int kHomeEdgeId = 1806;          // CTRL list on bit 12
    static constexpr int kWatchdogEnableId = 1807;    // CTRL bit 2
    static constexpr int kCompareInterruptId = 1808;  // CTRL bit 0
    static constexpr int kHomeInterruptId = 1809;     // CTRL bit 14
    static constexpr int kWatchdogInterruptId = 1810; // CTRL bit 3
    static constexpr int kIndexInterruptId = 1811;    // CTRL bit 7
    // Second control register.
    static constexpr int kUpdateHoldId = 1812;            // CTRL2 bit 0
    static constexpr int kUpdatePositionId = 1813;        // CTRL2 bit 1
    static constexpr int kModuloCountingId = 1814;        // CTRL2 bit 2
    static constexpr int kRollInterruptId = 1815;         // CTRL2 bit 4
    static constexpr int kSimultaneousInterruptId = 1816; // CTRL2 bit 6
    static constexpr int kOutputControlId = 1817;         // CTRL2 list on bit 9
    static constexpr int kRevolutionSourceId = 1818;      // CTRL2 list on bit 8
    // Filter and watchdog.
    static constexpr int kFilterPeriodId = 1820;
    static constexpr int kFilterPeriodSpinId = 1821;
    static constexpr int kFilterCountId = 1822;
    static constexpr int kFilterTimeId = 1823; // computed
    static constexpr int kWatchdogTimeoutId = 1824;
    static constexpr int kWatchdogTimeId = 1825; // computed
    // Position values.
    static constexpr int kUpperInitId = 1830;
    static constexpr int kLowerInitId = 1831;
    static constexpr int kUpperModulusId = 1832;
    static constexpr int kLowerModulusId = 1833;
    static constexpr int kUpperCompareId = 1834;
    static constexpr int kLowerCompareId = 1835;
    // Test counter.
    static constexpr int kTestCountId = 1840;
    static constexpr int kTestPeriodId = 1841;
    static constexpr int kTestPeriodSpinId = 1842;
    static constexpr int kTestCounterEnableId = 1843; // TST bit 15
    static constexpr int kTestModuleEnableId = 1844;  // TST bit 14
    static constexpr int kTestSignalId = 1845;        // TST list on bit 13
    static constexpr int kTestTimeId = 1846;          // computed
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order.
    static constexpr int kCtrlItem = 0;
    static constexpr int kFiltItem = 1;
    static constexpr int kWtrItem = 2;
    static constexpr int kUinitItem = 3;
    static constexpr int kLinitItem = 4;
    static constexpr int kTstItem = 5;
    static constexpr int kCtrl2Item = 6;
    static constexpr int kUmodItem = 7;
    static constexpr int kLmodItem = 8;
    static constexpr int kUcompItem = 9;
    static constexpr int kLcompItem = 10;

    CpmENC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;

    // `clocks` bus clock periods in seconds at a bus clock in MHz; 0 without a clock.
    static double ClockTime(std::uint32_t clocks, double busMHz);

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_reverseDirection;
    CSetBit m_singlePhase;
    CSetBit m_indexInit;
    CSetMode m_indexEdge;
    CSetBit m_homeInit;
    CSetMode m_homeEdge;
    CSetBit m_watchdogEnable;
    CSetValue m_watchdogTimeout;
    CSetValue m_filterPeriod;
    CSetMode m_filterCount;
    CSetValue m_upperInit;
    CSetValue m_lowerInit;
    CSetValue m_upperModulus;
    CSetValue m_lowerModulus;
    CSetValue m_upperCompare;
    CSetValue m_lowerCompare;
    CSetBit m_updateHold;
    CSetBit m_updatePosition;
    CSetBit m_moduloCounting;
    CSetMode m_outputControl;
    CSetMode m_revolutionSource;
    CSetBit m_testModuleEnable;
    CSetBit m_testCounterEnable;
    CSetMode m_testSignal;
    CSetValue m_testCount;
    CSetValue m_testPeriod;
    CSetBit m_compareInterrupt;
    CSetBit m_homeInterrupt;
    CSetBit m_indexInterrupt;
    CSetBit m_watchdogInterrupt;
    CSetBit m_rollInterrupt;
    CSetBit m_simultaneousInterrupt;
};
