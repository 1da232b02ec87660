#pragma once
// The PWM module of FamA: the older module's settings with two dead times, synchronisation and
// enable control, and a glitch filter on each of the four fault inputs.

#include "modules/pwm/CpmPWMBase.h"

class CpmPWM_FamA : public CpmPWMBase {
    HWC_DECLARE_MODULE_CLASS(CpmPWM_FamA, CpmPWMBase)
public:
    static constexpr unsigned kTemplateId = 2060;

    // Register items in table order.
    static constexpr int kControlItem = 0;
    static constexpr int kFaultControlItem = 1;
    static constexpr int kOutputItem = 2;
    static constexpr int kModuloItem = 3;
    static constexpr int kDeadTime0Item = 4;
    static constexpr int kDeadTime1Item = 5;
    static constexpr int kDisableMap1Item = 6;
    static constexpr int kDisableMap2Item = 7;
    static constexpr int kConfigItem = 8;
    static constexpr int kChannelControlItem = 9;
    static constexpr int kFirstValueItem = 14;
    static constexpr int kEnableControlItem = 20;
    static constexpr int kFirstFilterItem = 21;
    static constexpr int kCount = 25;

    CpmPWM_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor);
};
