#pragma once
// What the PWM modules of the older families share: six outputs in three pairs counted by one
// up/down counter against the modulo PWMCM, with its prescaler, alignment, pair modes,
// polarities, dead times, reload timing and four fault inputs mapped to the outputs. The page
// shows beside the settings the counts of a period, the PWM frequency, the duty of each output
// and the dead times in nanoseconds. The two module classes differ in their register sets only;
// this base is never created by its own key.

#include <array>
#include <cstdint>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/system/DmaSettings.h"

class CpmPWMBase : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CpmPWMBase, CModule)
public:
    static constexpr int kOutputs = 6;
    static constexpr int kPairs = 3;
    static constexpr int kFaults = 4;

    // Page controls; per-output, per-pair and per-fault controls add their number.
    static constexpr int kEnableId = 2200;
    static constexpr int kLoadOkId = 2201;
    static constexpr int kPrescalerId = 2202;
    static constexpr int kAlignmentId = 2203;
    static constexpr int kModuloId = 2204;
    static constexpr int kModuloSpinId = 2205;
    static constexpr int kCountsId = 2206;
    static constexpr int kFrequencyId = 2207;
    static constexpr int kPeriodId = 2208;
    static constexpr int kResolutionId = 2209;
    static constexpr int kPeriodWarningId = 2210;
    static constexpr int kPairModeId = 2211;       // + pair
    static constexpr int kTopNegativeId = 2214;    // + pair
    static constexpr int kBottomNegativeId = 2217; // + pair
    static constexpr int kEdgeWarningId = 2232;
    static constexpr int kDeadTimeId = 2233;   // + dead-time register
    static constexpr int kDeadTimeNsId = 2235; // + dead-time register
    static constexpr int kDeadTimeWarningId = 2237;
    static constexpr int kPadEnableId = 2238;
    static constexpr int kWriteProtectId = 2239;
    static constexpr int kReloadFrequencyId = 2240;
    static constexpr int kHalfCycleId = 2241;
    static constexpr int kReloadInterruptId = 2242;
    static constexpr int kValueLoadModeId = 2243;
    static constexpr int kCurrentSenseId = 2244;
    static constexpr int kReloadWarningId = 2245;
    // Each output's row and each fault input's block is a sub-page in the placeholder of that
    // number; their controls are addressed from the page as placeholder x 0x10000 + control.
    static constexpr int kOutputPageBase = 2400; // + output
    static constexpr int kFaultPageBase = 2410;  // + fault
    static constexpr int kValueLocalId = 1;
    static constexpr int kDutyLocalId = 2;
    static constexpr int kAutoClearLocalId = 1;
    static constexpr int kInterruptLocalId = 2;
    static constexpr int kFirstMapLocalId = 10; // + output
    static constexpr int kFilterPeriodLocalId = 20;
    static constexpr int kFilterCountLocalId = 21;
    static constexpr int kFilterLatencyLocalId = 22;
    static constexpr int kFaultWarningLocalId = 23;
    static constexpr int OutputControlId(int output, int local) {
        return ((kOutputPageBase + output) << 16) | local;
    }
    static constexpr int FaultControlId(int fault, int local) {
        return ((kFaultPageBase + fault) << 16) | local;
    }
    static constexpr int ValueId(int output) { return OutputControlId(output, kValueLocalId); }
    static constexpr int DutyId(int output) { return OutputControlId(output, kDutyLocalId); }
    static constexpr int FaultMapId(int fault, int output) {
        return FaultControlId(fault, kFirstMapLocalId + output);
    }
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kHeadingPlaceholderId = 512;

    // Where the settings live in a module's register set; -1 for a register it lacks.
    struct tLayout {
        int control;      // PMCTL
        int faultControl; // PMFCTL
        int output;       // PMOUT
        int modulo;       // PWMCM
        int firstValue;   // PWMVAL0, the others follow
        int deadTime[2];  // PMDEADTM(0), PMDEADTM1
        int disableMap[2];
        int config; // PMCFG or PMCNFG
        int channelControl;
        int firstFilter; // FFILT0, the others follow
    };

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    bool IsPinFunctionUsed(const std::string& signal) const override;
    // The generator enable (PWMEN): the delay block and timer routing ask whether the PWM runs.
    bool IsModuleEnabled() const override;

    const tLayout& Layout() const { return m_layout; }
    // Counts of one period: PWMCM in edge alignment, twice PWMCM in centre alignment.
    long long PeriodCounts() const;
    // The prescaler's divisor, 1 to 8.
    int PrescalerDivisor() const;
    bool IsCentreAligned() const;
    bool IsPairIndependent(int pair) const;
    // The fault input drives at least one output to its disabled state.
    bool IsFaultMapped(int fault) const;
    // Texts the page shows, also without a page; "??" where the clock is missing.
    std::string FrequencyText() const;
    std::string DutyText(int output) const;
    std::string DeadTimeText(int index) const;
    std::string FilterLatencyText(int fault) const;

    CSetBit& Enable() { return m_enable; }
    CSetMode& Prescaler() { return m_prescaler; }
    CSetMode& Alignment() { return m_alignment; }
    CSetValue& Modulo() { return m_modulo; }
    CSetMode& PairMode(int pair) { return m_pairMode[pair]; }
    CSetValue& Value(int output) { return m_value[output]; }
    CSetValue& DeadTime(int index) { return m_deadTime[index]; }
    CSetBit& FaultMap(int fault, int output) { return m_faultMap[fault][output]; }

protected:
    CpmPWMBase(CModuleBase* parent, unsigned templateId, const CModuleDescriptor* descriptor,
               const tPerCfgDef* table, int count, const tLayout& layout);
    void AttachControls(CPage& page) override;

private:
    bool HasRegister(int index) const { return index >= 0 && index < ItemCount(); }
    std::uint32_t RegisterValue(int index) const {
        return HasRegister(index) ? Item(index).dwValue : 0;
    }
    std::uint32_t ModuloValue() const;
    // The bus clock in Hz, 0 without a clock module.
    double BusHz() const;
    void CheckFaultSources(bool written);

    tLayout m_layout;
    CSetBit m_enable;
    CSetBit m_loadOk;
    CSetMode m_prescaler;
    CSetMode m_alignment;
    CSetValue m_modulo;
    std::array<CSetMode, kPairs> m_pairMode;
    std::array<CSetBit, kPairs> m_topNegative;
    std::array<CSetBit, kPairs> m_bottomNegative;
    std::array<CSetValue, kOutputs> m_value;
    std::array<CSetValue, 2> m_deadTime;
    CSetBit m_padEnable;
    CSetBit m_writeProtect;
    CSetMode m_reloadFrequency;
    CSetBit m_halfCycle;
    CSetBit m_reloadInterrupt;
    hwc::CKeptChoice m_valueLoadMode;
    CSetMode m_currentSense;
    std::array<CSetBit, kFaults> m_faultAutoClear;
    std::array<CSetBit, kFaults> m_faultInterrupt;
    std::array<std::array<CSetBit, kOutputs>, kFaults> m_faultMap;
    std::array<CSetMode, kFaults> m_filterCount;
    std::array<CSetValue, kFaults> m_filterPeriod;
};
