#include "modules/CpmEMPTY.h"

CpmEMPTY::CpmEMPTY(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {}
