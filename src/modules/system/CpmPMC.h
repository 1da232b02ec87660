#pragma once
// The power management controller: low-voltage detection with its level, reset and interrupts,
// the regulator trim, write protection and low-power options, and the 1 kHz low-power
// oscillator with its trim, which the real-time counter may count.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "modules/framework/CModule.h"
#include "modules/system/SystemQueries.h"

class CpmPMC : public CModule, public hwc::IPowerManagement {
    HWC_DECLARE_MODULE_CLASS(CpmPMC, CModule)
public:
    static constexpr unsigned kTemplateId = 2055;

    // Page controls: low-voltage detection.
    static constexpr int kLvdEnableId = 1792;
    static constexpr int kLvdLevelId = 1793;
    static constexpr int kRegulatorTrimId = 1794;
    static constexpr int kProtectionId = 1795;
    static constexpr int kOutOfRegulationInterruptId = 1797;
    static constexpr int kLvdInterruptId = 1798;
    static constexpr int kLvdResetId = 1799;
    static constexpr int kPartialPowerDownId = 1800;
    static constexpr int kWakeUpOnInterruptId = 1802;
    static constexpr int kBandgapBufferId = 1803;
    static constexpr int kLvdFactoryTrimId = 1805;
    static constexpr int kIsrNameLabelId = 1808;
    // The 1 kHz oscillator.
    static constexpr int kOscillatorEnableId = 1796;
    static constexpr int kOscillatorTrimId = 1804;
    static constexpr int kOscillatorFactoryTrimId = 1880;
    static constexpr int kUserVectorNoteId = 1955;

    // Register items in table order.
    static constexpr int kScrItem = 0;
    static constexpr int kCr2Item = 1;
    static constexpr int kLvdFactoryTrimItem = 2;
    static constexpr int kOscillatorFactoryTrimItem = 3;

    // The oscillator enable bit of CR2.
    static constexpr int kOscillatorEnableBit = 8;

    CpmPMC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;

    // The oscillator enable as the page shows it while the page exists, else as the register
    // holds it.
    bool LowPowerOscillatorEnabled() const override;

    CSetBit& LvdEnable() { return m_lvdEnable; }
    CSetMode& LvdLevel() { return m_lvdLevel; }
    CSetMode& Protection() { return m_protection; }
    CSetMode& RegulatorTrim() { return m_regulatorTrim; }
    CSetBit& LvdFactoryTrim() { return m_lvdFactoryTrim; }
    CSetBit& OscillatorEnable() { return m_oscillatorEnable; }
    CSetMode& OscillatorTrim() { return m_oscillatorTrim; }
    CSetBit& OscillatorFactoryTrim() { return m_oscillatorFactoryTrim; }

protected:
    void AttachControls(CPage& page) override;
    // The row sits after its own "LVD ISR Name:" label: ISR name and priority only.
    bool WideInterruptRows() const override { return false; }

private:
    CSetBit m_lvdEnable;
    CSetMode m_lvdLevel;
    CSetMode m_protection;
    CSetMode m_regulatorTrim;
    CSetBit m_lvdFactoryTrim;
    CSetBit m_lvdReset;
    CSetBit m_partialPowerDown;
    CSetBit m_wakeUpOnInterrupt;
    CSetBit m_bandgapBuffer;
    CSetBit m_lvdInterrupt;
    CSetBit m_outOfRegulationInterrupt;
    CSetBit m_oscillatorEnable;
    CSetMode m_oscillatorTrim;
    CSetBit m_oscillatorFactoryTrim;
};
