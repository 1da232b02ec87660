#pragma once
// The common part of the enhanced PWM: per sub-module load OK, run and output enables, and the
// fault inputs of one fault channel (enable, level, clearing, safe mode, recovery, filter). In
// its second mode (module information FAULT_CHANNEL=1) the module holds fault channel 1 only.
// Instances "PWM" and "PWM_A" keep the define names stored files use ("PWM_A_MCTRL_INIT");
// any other instance writes its own name in their place, so that two modules never claim the
// same define.

#include <array>

#include "bindings/SetBit.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/pwm/PwmQueries.h"

class CpmPWMAll_FamC : public CModule, public hwc::IPwmCommon {
    HWC_DECLARE_MODULE_CLASS(CpmPWMAll_FamC, CModule)
public:
    static constexpr unsigned kTemplateId = 2067;
    static constexpr unsigned kFaultChannelTemplateId = 243;
    static constexpr int kSubmodules = 4;
    static constexpr int kFaultsPerChannel = 4;

    // Page controls: a row per sub-module (ids + 10 x sub-module), a block per fault input
    // (ids + 10 x fault of the channel).
    static constexpr int kRowLabelId = 2300;
    static constexpr int kLoadOkId = 2301;
    static constexpr int kRunId = 2302;
    static constexpr int kOutputAId = 2303;
    static constexpr int kOutputBId = 2304;
    static constexpr int kOutputXId = 2305;
    static constexpr int kFaultLabelId = 2350;
    static constexpr int kFaultInterruptId = 2351;
    static constexpr int kFaultHighId = 2352;
    static constexpr int kFaultAutoClearId = 2353;
    static constexpr int kFaultSafeId = 2354;
    static constexpr int kFaultFullCycleId = 2355;
    static constexpr int kFaultHalfCycleId = 2356;
    static constexpr int kFaultSourceWarningId = 2357;
    static constexpr int kFilterPeriodId = 2390;
    static constexpr int kFilterCountId = 2391;
    static constexpr int kFilterLatencyId = 2392;

    // The registers the module may have; Index() gives their item or -1.
    enum ERegister : int {
        kMctrl = 0,
        kMctrl2,
        kOuten,
        kMask,
        kSwcout,
        kDtsrcsel,
        kFctrl,
        kFsts,
        kFfilt,
        kFtst,
        kRegisterKinds
    };

    CpmPWMAll_FamC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    bool IsSubmoduleRunning(int submodule) const override;

    // The item of a register, -1 when this mode or processor group has none.
    int Index(ERegister reg) const { return m_index[reg]; }
    // Fault channel 1 only (second mode).
    bool IsFaultChannelMode() const { return m_faultChannel == 1; }
    // The first fault input of the module's channel: 0, or 4 in the second mode.
    int FirstFault() const { return 4 * m_faultChannel; }
    // Whether the defines keep the stored names without the instance prefix.
    bool UsesStoredNames() const;
    // The sub-module instance n of this module ("PWM_A_2").
    std::string SubmoduleName(int submodule) const;
    // Fault filter latency in bus clocks: (count + 3) x period + 2; 0 with the filter off.
    std::uint32_t FilterLatencyClocks() const;

protected:
    void AttachControls(CPage& page) override;

private:
    std::uint32_t Value(ERegister reg) const {
        return m_index[reg] < 0 ? 0u : Item(m_index[reg]).dwValue;
    }

    int m_faultChannel = 0;
    std::array<int, kRegisterKinds> m_index{};
    std::array<CSetBit, kSubmodules> m_loadOk;
    std::array<CSetBit, kSubmodules> m_run;
    std::array<CSetBit, kSubmodules> m_outputA;
    std::array<CSetBit, kSubmodules> m_outputB;
    std::array<CSetBit, kSubmodules> m_outputX;
    std::array<CSetBit, kFaultsPerChannel> m_faultInterrupt;
    std::array<CSetBit, kFaultsPerChannel> m_faultHigh;
    std::array<CSetBit, kFaultsPerChannel> m_faultAutoClear;
    std::array<CSetBit, kFaultsPerChannel> m_faultSafe;
    std::array<CSetBit, kFaultsPerChannel> m_faultFullCycle;
    std::array<CSetBit, kFaultsPerChannel> m_faultHalfCycle;
    CSetValue m_filterPeriod;
    CSetValue m_filterCount;
};
