#include "modules/CpmVOID.h"

CpmVOID::CpmVOID(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModuleBase(parent, 0, descriptor, nullptr, 0) {}
