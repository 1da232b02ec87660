#pragma once
// The PWM module of the older families: 17 registers on FamG, 20 on the later groups (a second
// dead time, internal correction and source control) and 25 on FamB (synchronisation, second
// control and fault registers, enable control).

#include "modules/pwm/CpmPWMBase.h"

class CpmPWM : public CpmPWMBase {
    HWC_DECLARE_MODULE_CLASS(CpmPWM, CpmPWMBase)
public:
    static constexpr unsigned kFamGTemplateId = 139;
    static constexpr unsigned kTemplateId = 2037;
    // The processor group whose module has the longest register set.
    static constexpr int kFamB = 100;

    // Register items in table order; the groups' sets share their beginning.
    static constexpr int kControlItem = 0;
    static constexpr int kFaultControlItem = 1;
    static constexpr int kOutputItem = 2;
    static constexpr int kModuloItem = 3;
    static constexpr int kFirstValueItem = 4;
    static constexpr int kDeadTimeItem = 10;
    static constexpr int kDisableMap1Item = 11;
    static constexpr int kDisableMap2Item = 12;
    static constexpr int kConfigItem = 13;
    static constexpr int kChannelControlItem = 14;
    static constexpr int kPortItem = 15;
    static constexpr int kFaultStatusItem = 16;
    static constexpr int kDeadTime1Item = 17;
    static constexpr int kFamGCount = 17;
    static constexpr int kCount = 20;
    static constexpr int kFamBCount = 25;

    CpmPWM(CModuleBase* parent, const CModuleDescriptor* descriptor);
};
