#include "modules/pwm/CpmPWM.h"

#include <iterator>

#include "model/ModuleHost.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"PMCTL_INIT", 0, DW16},
    {"PMFCTL_INIT", 0, DW16},
    {"PMOUT_INIT", 0, DW16},
    {"PWMCM_INIT", 0, DW16},
    {"PWMVAL0_INIT", 0, DW16},
    {"PWMVAL1_INIT", 0, DW16},
    {"PWMVAL2_INIT", 0, DW16},
    {"PWMVAL3_INIT", 0, DW16},
    {"PWMVAL4_INIT", 0, DW16},
    {"PWMVAL5_INIT", 0, DW16},
    {"PMDEADTM_INIT", 0, DW16},
    {"PMDISMAP1_INIT", 0, DW16},
    {"PMDISMAP2_INIT", 0, DW16},
    {"PMCFG_INIT", 0, DW16},
    {"PMCCR_INIT", 0, DW16},
    {"PMPORT_INIT", 0, DW16},
    {"PMFSA_INIT", 0, DW16},
    // Later groups.
    {"PMDEADTM1_INIT", 0, DW16},
    {"PMICCR_INIT", 0, DW16},
    {"PMSRC_INIT", 0, DW16},
    // FamB.
    {"PMSYNC_INIT", 0, DW16},
    {"PMCTL2_INIT", 0, DW16},
    {"PMFCTL2_INIT", 0, DW16},
    {"PMENCR_INIT", 0, DW16},
    {"PMFSA2_INIT", 0, DW16},
};
static_assert(std::size(kRegisters) == CpmPWM::kFamBCount);

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

int RegisterCountOfHost() {
    if (HostInGroup(CModule::kFamG))
        return CpmPWM::kFamGCount;
    return HostInGroup(CpmPWM::kFamB) ? CpmPWM::kFamBCount : CpmPWM::kCount;
}

const CpmPWMBase::tLayout kLayout = {
    CpmPWM::kControlItem,
    CpmPWM::kFaultControlItem,
    CpmPWM::kOutputItem,
    CpmPWM::kModuloItem,
    CpmPWM::kFirstValueItem,
    {CpmPWM::kDeadTimeItem, CpmPWM::kDeadTime1Item},
    {CpmPWM::kDisableMap1Item, CpmPWM::kDisableMap2Item},
    CpmPWM::kConfigItem,
    CpmPWM::kChannelControlItem,
    -1,
};

} // namespace

CpmPWM::CpmPWM(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmPWMBase(parent, HostInGroup(kFamG) ? kFamGTemplateId : kTemplateId, descriptor, kRegisters,
                 RegisterCountOfHost(), kLayout) {}
