#pragma once
// A folder of the module tree without settings of its own: the groups of the architecture file
// and the folders added for modules placed by path.

#include "model/ModuleBase.h"

class CpmVOID : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmVOID, CModuleBase)
public:
    CpmVOID(CModuleBase* parent, const CModuleDescriptor* descriptor);
};
