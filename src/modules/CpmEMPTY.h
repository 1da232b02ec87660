#pragma once
// A tree node that only groups the modules below it; it writes no registers.

#include "model/ModuleBase.h"

class CpmEMPTY : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmEMPTY, CModuleBase)
public:
    static constexpr unsigned kTemplateId = 173;
    // What its page says.
    static constexpr const char* kPageText = "See submodules of this module.";

    CpmEMPTY(CModuleBase* parent, const CModuleDescriptor* descriptor);
};
