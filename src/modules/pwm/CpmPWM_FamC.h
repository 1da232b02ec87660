#pragma once
// One sub-module of the enhanced PWM: its clock and period (INIT to VAL1), the edges of outputs
// A and B, pair mode, polarities, dead times, reload timing, triggers, fault states and capture.
// The page shows what a drive engineer reads off them: frequency, resolution, alignment, duty
// and dead time, and warns about periods, edges and dead times that cannot work.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/pwm/PwmQueries.h"

class CpmPWM_FamC : public CModule,
                    public hwc::IPwmTriggers,
                    public hwc::IPwmSubmodule,
                    public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmPWM_FamC, CModule)
public:
    static constexpr unsigned kTemplateId = 2066;
    static constexpr unsigned kFamDTemplateId = 2109;

    // Page controls.
    static constexpr int kClockSourceId = 2201;
    static constexpr int kPrescalerId = 2202;
    static constexpr int kInitId = 2203;
    static constexpr int kVal1Id = 2204;
    static constexpr int kVal0Id = 2205;
    static constexpr int kFrequencyId = 2206;
    static constexpr int kResolutionId = 2207;
    static constexpr int kAlignmentId = 2208;
    static constexpr int kIndependentId = 2210;
    static constexpr int kVal2Id = 2211;
    static constexpr int kVal3Id = 2212;
    static constexpr int kVal4Id = 2213;
    static constexpr int kVal5Id = 2214;
    static constexpr int kDutyAId = 2215;
    static constexpr int kDutyBId = 2216;
    static constexpr int kPolarityAId = 2217;
    static constexpr int kPolarityBId = 2218;
    static constexpr int kPolarityXId = 2219;
    static constexpr int kDeadTime0Id = 2220;
    static constexpr int kDeadTime1Id = 2221;
    static constexpr int kDeadTime0NsId = 2222;
    static constexpr int kDeadTime1NsId = 2223;
    static constexpr int kFullReloadId = 2230;
    static constexpr int kHalfReloadId = 2231;
    static constexpr int kReloadFrequencyId = 2232;
    static constexpr int kReloadFromMasterId = 2233;
    static constexpr int kInitSourceId = 2234;
    static constexpr int kFirstTriggerId = 2240; // VAL0..VAL5 triggers: 2240..2245
    static constexpr int kDriverWritesValuesId = 2246;
    static constexpr int kFaultStateAId = 2250;
    static constexpr int kFaultStateBId = 2251;
    static constexpr int kFaultStateXId = 2252;
    static constexpr int kFaultMap0Id = 2253; // DISMAP0 A, B, X: 2253..2255
    static constexpr int kFaultMap1Id = 2256; // DISMAP1 A, B, X: 2256..2258
    static constexpr int kCaptureArmAId = 2260;
    static constexpr int kCaptureEdgeAId = 2261;
    static constexpr int kCaptureArmBId = 2262;
    static constexpr int kCaptureEdgeBId = 2263;
    static constexpr int kCaptureArmXId = 2264;
    static constexpr int kCaptureEdgeXId = 2265;
    // FamD's fault filter of the sub-module.
    static constexpr int kFilterPeriodId = 2266;
    static constexpr int kFilterCountId = 2267;
    static constexpr int kFilterLatencyId = 2268;
    // Warning indicators.
    static constexpr int kPeriodWarningId = 2270;
    static constexpr int kEdgeWarningId = 2271;
    static constexpr int kDeadTimeWarningId = 2272;
    static constexpr int kClockWarningId = 2273;
    static constexpr int kDriverWarningId = 2274;

    // Register items in table order.
    enum EItem : int {
        kCtrlItem = 0,
        kCtrl2Item,
        kUsePwmValItem,
        kInitItem,
        kVal1Item,
        kVal0Item,
        kVal2Item,
        kVal3Item,
        kVal4Item,
        kVal5Item,
        kFracVal1Item,
        kOctrlItem = kFracVal1Item + 5,
        kIntenItem,
        kDmaenItem,
        kTctrlItem,
        kDismap0Item,
        kDismap1Item,
        kDtcnt0Item,
        kDtcnt1Item,
        kCaptCtrlAItem,
        kCaptCmpAItem,
        kCaptCtrlBItem,
        kCaptCmpBItem,
        kCaptCtrlXItem,
        kCaptCmpXItem,
        kPhaseDelayItem,
        kFaultFilterItem,
    };

    // Clock sources of CTRL2.
    enum EClockSource { kBusClock = 0, kExternalClock = 1, kSubmodule0Clock = 2 };

    CpmPWM_FamC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    // 28 registers; 30 on FamE and FamF; 31 on FamD.
    static int RegisterCountOf(const CModuleBase& module);

    bool IsTriggerSelected(int trigger) const override;
    unsigned MappedFaults() const override;
    // The run bit in the common module; true while there is no common module to ask.
    bool IsModuleEnabled() const override;

    // Derived values from the registers, for the page and the tests.
    int PeriodCounts() const;
    int PrescalerExponent() const;
    // The clock before the prescaler in Hz; 0 when unknown (no clock module, external clock).
    double InputClockHz() const;
    double FrequencyHz() const;
    bool IsIndependent() const;
    bool HasFaultFilter() const { return ItemCount() > kFaultFilterItem; }

protected:
    void AttachControls(CPage& page) override;

private:
    std::uint32_t Value(int item) const { return Item(item).dwValue; }
    // The instance name of sub-module 0 of the same module; empty when the name has no number.
    std::string Submodule0() const;

    CSetMode m_clockSource;
    CSetMode m_prescaler;
    CSetValue m_init;
    CSetValue m_val1;
    CSetValue m_val0;
    CSetBit m_independent;
    CSetValue m_val2;
    CSetValue m_val3;
    CSetValue m_val4;
    CSetValue m_val5;
    CSetBit m_polarityA;
    CSetBit m_polarityB;
    CSetBit m_polarityX;
    CSetValue m_deadTime0;
    CSetValue m_deadTime1;
    CSetBit m_fullReload;
    CSetBit m_halfReload;
    CSetMode m_reloadFrequency;
    CSetBit m_reloadFromMaster;
    CSetMode m_initSource;
    CSetBit m_triggers[6];
    CSetBit m_driverWritesValues;
    CSetMode m_faultStateA;
    CSetMode m_faultStateB;
    CSetMode m_faultStateX;
    CSetValue m_faultMap0[3];
    CSetValue m_faultMap1[3];
    CSetBit m_captureArmA;
    CSetMode m_captureEdgeA;
    CSetBit m_captureArmB;
    CSetMode m_captureEdgeB;
    CSetBit m_captureArmX;
    CSetMode m_captureEdgeX;
    CSetValue m_filterPeriod;
    CSetValue m_filterCount;
};
