#pragma once
// The folder of the module tree that holds the plug-in modules; it has no settings of its own.

#include "model/ModuleBase.h"

class CpmPLUGINS : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmPLUGINS, CModuleBase)
public:
    CpmPLUGINS(CModuleBase* parent, const CModuleDescriptor* descriptor);
};
