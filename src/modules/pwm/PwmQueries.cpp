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

} // namespace hwc
