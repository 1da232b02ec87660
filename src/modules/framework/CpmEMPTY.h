#pragma once
// A tree node that only groups the modules below it; it writes no registers.

#include "modules/framework/CModule.h"

class CpmEMPTY : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmEMPTY, CModule)
public:
    static constexpr unsigned kTemplateId = 173;
    // What its page says.
    static constexpr const char* kPageText = "See submodules of this module.";

    CpmEMPTY(CModuleBase* parent, const CModuleDescriptor* descriptor);

    // A page with the one line of text.
    const CDialogTemplate* DialogTemplate() const override;
};
