#pragma once
// The system integration module of FamA: two clock outputs, the peripheral clock enables (the
// watchdog's bus clock and each timer channel among them), the high-speed clock choices and the
// pin and input selections.

#include "modules/system/CpmSystemModule.h"

class CpmSYS_FamA : public CpmSystemModule {
    HWC_DECLARE_MODULE_CLASS(CpmSYS_FamA, CpmSystemModule)
public:
    static constexpr unsigned kTemplateId = 2054;

    CpmSYS_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor);
    static const hwc::tSystemLayout& LayoutFor();
};
