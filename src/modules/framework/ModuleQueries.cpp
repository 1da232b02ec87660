#include "modules/framework/ModuleQueries.h"

#include "model/ModuleBase.h"

namespace hwc {

bool ModuleExists(const CModuleBase& asker, std::string_view instanceName) {
    return CModuleBase::FindModule(asker.Host(), instanceName) != nullptr;
}

bool ModuleEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent) {
    const auto* module =
        dynamic_cast<const IModuleEnable*>(CModuleBase::FindModule(asker.Host(), instanceName));
    return module ? module->IsModuleEnabled() : absent;
}

} // namespace hwc
