#include "modules/framework/CpmPLUGINS.h"

CpmPLUGINS::CpmPLUGINS(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModuleBase(parent, 0, descriptor, nullptr, 0) {}
