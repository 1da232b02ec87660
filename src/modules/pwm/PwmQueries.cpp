#include "modules/pwm/PwmQueries.h"

#include "model/ModuleBase.h"

namespace hwc {

bool PwmTriggerSelected(const CModuleBase& asker, std::string_view submodule, int trigger,
                        bool absent) {
    const auto* pwm =
        dynamic_cast<const IPwmTriggers*>(CModuleBase::FindModule(asker.Host(), submodule));
    if (!pwm)
        return absent;
    if (trigger < 0)
        return pwm->IsTriggerSelected(0) || pwm->IsTriggerSelected(1);
    return pwm->IsTriggerSelected(trigger);
}

std::string PwmCommonInstance(std::string_view submodule) {
    const std::size_t n = submodule.size();
    if (n < 3 || submodule[n - 2] != '_' || submodule[n - 1] < '0' || submodule[n - 1] > '9')
        return {};
    return std::string(submodule.substr(0, n - 2));
}

bool PwmSubmoduleRunning(const CModuleBase& asker, std::string_view submodule, bool absent) {
    const std::string common = PwmCommonInstance(submodule);
    const auto* module =
        common.empty()
            ? nullptr
            : dynamic_cast<const IPwmCommon*>(CModuleBase::FindModule(asker.Host(), common));
    if (!module)
        return absent;
    return module->IsSubmoduleRunning(submodule.back() - '0');
}

unsigned PwmMappedFaults(const CModuleBase& asker, std::string_view submodule) {
    const auto* module =
        dynamic_cast<const IPwmSubmodule*>(CModuleBase::FindModule(asker.Host(), submodule));
    return module ? module->MappedFaults() : 0u;
}

} // namespace hwc
