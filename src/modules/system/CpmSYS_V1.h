#pragma once
// The system settings of the first processor family: stop and wait mode, the ports' pull-up
// disables and the external bus (wait states, drive).

#include "modules/system/CpmSystemModule.h"

class CpmSYS_V1 : public CpmSystemModule {
    HWC_DECLARE_MODULE_CLASS(CpmSYS_V1, CpmSystemModule)
public:
    static constexpr unsigned kTemplateId = 2023;

    CpmSYS_V1(CModuleBase* parent, const CModuleDescriptor* descriptor);

    static const hwc::tSystemLayout& LayoutFor();
};
