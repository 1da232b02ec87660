#pragma once
// The small reference-voltage DAC: an enable and a 5-bit output level, with the output voltage
// it gives from a 3.3 V supply and the level as a share of full scale.

#include "bindings/SetBit.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"

class CpmVREF_DAC : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmVREF_DAC, CModule)
public:
    static constexpr unsigned kTemplateId = 2069;

    // Page controls.
    static constexpr int kEnableId = 2136;
    static constexpr int kLevelId = 2138;
    static constexpr int kLevelSpinId = 2139;
    static constexpr int kLevelLabelId = 2124;
    static constexpr int kVoltageId = 2137;
    static constexpr int kVoltageLabelId = 2642;
    static constexpr int kShareId = 2140;

    static constexpr int kControlItem = 0;
    static constexpr unsigned kLevelMax = 31;

    // The output voltage and the share of full scale (percent) of a level.
    static float LevelVoltage(unsigned level);
    static float LevelShare(unsigned level);

    CpmVREF_DAC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    // The enable bit: a comparator input that takes the reference needs it.
    bool IsModuleEnabled() const override;

    CSetBit& Enable() { return m_enable; }
    CSetValue& Level() { return m_level; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_enable;
    CSetValue m_level;
};
