#include "modules/system/CpmTSN.h"

#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CNTL_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

constexpr int kPowerOnBit = 0;

} // namespace

CpmTSN::CpmTSN(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_powerOn, 0}});
}

const CDialogTemplate* CpmTSN::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId, {dlg::Group("Temperature sensor",
                                 {dlg::CheckBox(kPowerOnId, "Temperature sensor powered on")})});
    return &page;
}

void CpmTSN::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    if (CPageControl* control = page.FindControl(kPowerOnId))
        m_powerOn.Attach(*control);
}

void CpmTSN::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    m_powerOn.Bind(Item(kControlItem), kPowerOnBit, false, "");
}
