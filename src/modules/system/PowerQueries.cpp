// The answers of the power management module to the other modules.

#include "model/ModuleBase.h"
#include "modules/system/SystemQueries.h"

namespace hwc {

const IPowerManagement* FindPowerManagement(const CModuleBase& asker) {
    // The module is known by its instance name whatever its type key; one of another class
    // cannot answer and counts as absent.
    return dynamic_cast<const IPowerManagement*>(CModuleBase::FindModule(asker.Host(), "PMC"));
}

bool PowerLowPowerOscillatorEnabled(const CModuleBase& asker, bool absent) {
    const IPowerManagement* power = FindPowerManagement(asker);
    return power ? power->LowPowerOscillatorEnabled() : absent;
}

} // namespace hwc
