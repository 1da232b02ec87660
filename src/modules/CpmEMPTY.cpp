#include "modules/CpmEMPTY.h"

CpmEMPTY::CpmEMPTY(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModuleBase(parent, kTemplateId, descriptor, nullptr, 0) {}
