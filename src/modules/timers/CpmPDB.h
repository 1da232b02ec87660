#pragma once
// The programmable delay block: the input trigger that starts its counter, prescaler and
// modulus with the counter's frequency and period, and the delayed trigger outputs for the
// converters with the time of every delay. It warns when a delay outlasts the period, when the
// input trigger's source does not run, and when a converter pre-trigger cannot be generated.

#include <array>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/timers/TimerQueries.h"

class CpmPDB : public CModule, public hwc::IDelayBlock, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmPDB, CModule)
public:
    static constexpr unsigned kTemplateId = 2058;
    static constexpr unsigned kFamETemplateId = 2096;

    // Page controls of both layouts.
    static constexpr int kInputTriggerId = 1901;
    static constexpr int kInputTriggerLabelId = 1902;
    static constexpr int kPrescalerId = 1903;
    static constexpr int kModulusId = 1904;
    static constexpr int kModulusSpinId = 1905;
    static constexpr int kPeriodId = 1906;
    static constexpr int kFrequencyId = 1907;
    static constexpr int kInputTriggerWarningId = 1908;
    // Per trigger X (0 = A ... 3 = D): delay edit, its spin, its time, its label.
    static constexpr int kDelayId = 1910;      // + 4 * X
    static constexpr int kDelaySpinId = 1911;  // + 4 * X
    static constexpr int kDelayTimeId = 1912;  // + 4 * X
    static constexpr int kDelayLabelId = 1913; // + 4 * X
    // Older layout: trigger enables and output modes, the further option, pre-trigger checks.
    static constexpr int kTriggerAEnableId = 1940;
    static constexpr int kTriggerBEnableId = 1941;
    static constexpr int kTriggerAModeId = 1942;
    static constexpr int kTriggerBModeId = 1943;
    static constexpr int kContinuousId = 1944;
    static constexpr int kPreTriggerAWarningId = 1945;
    static constexpr int kPreTriggerBWarningId = 1946;
    static constexpr int kPulseOutWarningId = 1947;
    // Newer layout: master control options, then per control register (0 = CTRLA for A and B,
    // 1 = CTRLC for C and D) the id + 20 * register.
    static constexpr int kMasterOptionId = 1950; // + 0..3 for MCTRL bits 0, 8, 10, 12
    static constexpr int kFirstEnableId = 1960;
    static constexpr int kSecondEnableId = 1961;
    static constexpr int kFirstOptionId = 1962;     // bit 3
    static constexpr int kSecondOptionId = 1963;    // bit 2
    static constexpr int kFirstModeId = 1964;       // bit 4
    static constexpr int kSecondModeId = 1965;      // bit 5
    static constexpr int kPulseEnableId = 1966;     // bit 8
    static constexpr int kFirstInterruptId = 1967;  // bit 10
    static constexpr int kPolarityId = 1968;        // bit 12
    static constexpr int kPulseStartId = 1969;      // bit 13
    static constexpr int kSecondInterruptId = 1970; // bit 14
    static constexpr int kHeadingPlaceholderId = 512;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kUserVectorNoteId = 1955;

    // Register items: the first four are common to both layouts.
    static constexpr int kControlItem = 0; // SCR or MCTRL
    static constexpr int kDelayAItem = 1;
    static constexpr int kDelayBItem = 2;
    static constexpr int kModulusItem = 3;
    static constexpr int kCtrlAItem = 4; // newer layout only
    static constexpr int kCtrlCItem = 5;
    static constexpr int kDelayCItem = 6;
    static constexpr int kDelayDItem = 7;

    // The counter's timing at an input clock F (Hz), prescaler field and modulus.
    struct tTiming {
        double frequency = 0.0; // 0 when the modulus or the clock is 0
        double period = 0.0;    // 0 when the frequency is 0
        std::uint32_t prescaler = 1;
    };
    static tTiming Timing(double busHz, std::uint32_t prescalerField, std::uint32_t modulus);
    // The time of a trigger delay: (V x P + 2) / F, 0 for V = 0 or without a clock.
    static double DelayTime(std::uint32_t delay, std::uint32_t prescaler, double busHz);

    CpmPDB(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;

    // hwc::IDelayBlock
    bool IsTriggerEnabled(char trigger) const override;
    // hwc::IModuleEnable: the block runs when any of its triggers is enabled.
    bool IsModuleEnabled() const override;

    bool IsNewLayout() const { return m_newLayout; }
    int TriggerCount() const { return m_newLayout ? 4 : 2; }
    // The crossbar output an input-trigger selection of 0 comes from (newer layout).
    int CrossbarOutput() const;

protected:
    void AttachControls(CPage& page) override;

private:
    // The bindings of one trigger control register of the newer layout.
    struct tTriggerPair {
        CSetBit firstEnable;
        CSetBit secondEnable;
        CSetBit firstOption;
        CSetBit secondOption;
        CSetMode firstMode;
        CSetMode secondMode;
        CSetBit pulseEnable;
        CSetBit firstInterrupt;
        CSetMode polarity;
        CSetMode pulseStart;
        CSetBit secondInterrupt;
    };

    std::uint32_t Delay(int trigger) const;
    static int DelayItem(int trigger);
    void CheckInputTrigger();
    void CheckPreTriggers();
    // The instance number of a "PDB_%d" name, 0 otherwise.
    int PdbNumber() const;

    bool m_newLayout = false;
    CSetMode m_inputTrigger;
    CSetMode m_prescaler;
    CSetValue m_modulus;
    std::array<CSetValue, 4> m_delays;
    CSetBit m_triggerAEnable;
    CSetBit m_triggerBEnable;
    CSetMode m_triggerAMode;
    CSetMode m_triggerBMode;
    CSetBit m_continuous;
    std::array<CSetBit, 4> m_masterOptions;
    std::array<tTriggerPair, 2> m_pairs;
};
