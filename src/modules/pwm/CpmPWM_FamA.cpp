#include "modules/pwm/CpmPWM_FamA.h"

#include <iterator>

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"PMCTL_INIT", 0, DW16},     {"PMFCTL_INIT", 0, DW16},    {"PMOUT_INIT", 0, DW16},
    {"PWMCM_INIT", 0, DW16},     {"PMDEADTM0_INIT", 0, DW16}, {"PMDEADTM1_INIT", 0, DW16},
    {"PMDISMAP1_INIT", 0, DW16}, {"PMDISMAP2_INIT", 0, DW16}, {"PMCNFG_INIT", 0, DW16},
    {"PMCCR_INIT", 0, DW16},     {"PMSRC_INIT", 0, DW16},     {"PMSYNC_INIT", 0, DW16},
    {"PMCTL2_INIT", 0, DW16},    {"PMICCR_INIT", 0, DW16},    {"PWMVAL0_INIT", 0, DW16},
    {"PWMVAL1_INIT", 0, DW16},   {"PWMVAL2_INIT", 0, DW16},   {"PWMVAL3_INIT", 0, DW16},
    {"PWMVAL4_INIT", 0, DW16},   {"PWMVAL5_INIT", 0, DW16},   {"PMENCR_INIT", 0, DW16},
    {"FFILT0_INIT", 0, DW16},    {"FFILT1_INIT", 0, DW16},    {"FFILT2_INIT", 0, DW16},
    {"FFILT3_INIT", 0, DW16},
};
static_assert(std::size(kRegisters) == CpmPWM_FamA::kCount);

const CpmPWMBase::tLayout kLayout = {
    CpmPWM_FamA::kControlItem,
    CpmPWM_FamA::kFaultControlItem,
    CpmPWM_FamA::kOutputItem,
    CpmPWM_FamA::kModuloItem,
    CpmPWM_FamA::kFirstValueItem,
    {CpmPWM_FamA::kDeadTime0Item, CpmPWM_FamA::kDeadTime1Item},
    {CpmPWM_FamA::kDisableMap1Item, CpmPWM_FamA::kDisableMap2Item},
    CpmPWM_FamA::kConfigItem,
    CpmPWM_FamA::kChannelControlItem,
    CpmPWM_FamA::kFirstFilterItem,
};

} // namespace

CpmPWM_FamA::CpmPWM_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmPWMBase(parent, kTemplateId, descriptor, kRegisters, kCount, kLayout) {}
