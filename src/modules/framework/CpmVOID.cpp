#include "modules/framework/CpmVOID.h"

CpmVOID::CpmVOID(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModuleBase(parent, 0, descriptor, nullptr, 0) {}
