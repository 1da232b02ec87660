#include "modules/CpmQTALL.h"

CpmQTALL::CpmQTALL(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {}
