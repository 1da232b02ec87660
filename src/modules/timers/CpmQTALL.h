#pragma once
// The tree node above the timer channels; it writes no registers of its own.

#include "modules/framework/CModule.h"

class CpmQTALL : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmQTALL, CModule)
public:
    static constexpr unsigned kTemplateId = 2033;
    // What its page says.
    static constexpr const char* kPageText = "See submodules of this module.";

    CpmQTALL(CModuleBase* parent, const CModuleDescriptor* descriptor);

    // A page with the one line of text.
    const CDialogTemplate* DialogTemplate() const override;
};
