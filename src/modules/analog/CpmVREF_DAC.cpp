#include "modules/analog/CpmVREF_DAC.h"

#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"DACCTRL_INIT", 0, DW16},
};

constexpr int kEnableBit = 7;
constexpr int kLevelLow = 0;
constexpr int kLevelHigh = 4;

// One step of the 32-step DAC of a 3.3 V supply, in volts and in percent.
constexpr float kStepVolts = 0.103125f;
constexpr float kStepPercent = 3.125f;

} // namespace

float CpmVREF_DAC::LevelVoltage(unsigned level) {
    return static_cast<float>((level & kLevelMax) + 1u) * kStepVolts;
}

float CpmVREF_DAC::LevelShare(unsigned level) {
    return static_cast<float>((level & kLevelMax) + 1u) * kStepPercent;
}

CpmVREF_DAC::CpmVREF_DAC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, 1) {}

const CDialogTemplate* CpmVREF_DAC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("VREF_DAC Control",
                    {dlg::CheckBox(kEnableId, "Enable VREF_DAC"),
                     dlg::Row({dlg::Label("Output Level:", kLevelLabelId), dlg::Edit(kLevelId),
                               dlg::UpDown(kLevelSpinId, 0, kLevelMax), dlg::ReadOnly(kShareId)}),
                     dlg::Row({dlg::Label("Output Voltage (3.3V):", kVoltageLabelId),
                               dlg::ReadOnly(kVoltageId)})})});
    return &page;
}

void CpmVREF_DAC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kLevelSpinId, 0, kLevelMax);
    if (CPageControl* control = page.FindControl(kEnableId))
        m_enable.Attach(*control);
    if (CPageControl* control = page.FindControl(kLevelId))
        m_level.Attach(*control);
}

void CpmVREF_DAC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(kControlItem);
    m_enable.Bind(control, kEnableBit, false, "");
    m_level.Bind(control, kLevelLow, kLevelHigh, 0, "", false, 0, kLevelMax, true);
}

void CpmVREF_DAC::Recalculate() {
    const unsigned level = (Item(kControlItem).dwValue >> kLevelLow) & kLevelMax;
    const bool enabled = IsModuleEnabled();
    // A disabled DAC shows "OFF" in both fields.
    ShowTime(kVoltageId, enabled ? LevelVoltage(level) : 0.0, false, nullptr, "%.3f V");
    ShowTime(kShareId, enabled ? LevelShare(level) : 0.0, false, nullptr, "%.1f %%");
}

bool CpmVREF_DAC::IsModuleEnabled() const {
    return (Item(kControlItem).dwValue >> kEnableBit) & 1u;
}
