#include "modules/CpmQTALL.h"

CpmQTALL::CpmQTALL(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModuleBase(parent, kTemplateId, descriptor, nullptr, 0) {}
