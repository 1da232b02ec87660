#include "modules/ports/PortQueries.h"

#include "modules/framework/CModule.h"

namespace hwc {

std::vector<CModule*> FindGpioModules(const CModuleBase& asker) {
    return CModule::GpioModules(asker);
}

const IGpioPort* FindGpioPort(const CModuleBase& asker, std::string_view instanceName) {
    return dynamic_cast<const IGpioPort*>(
        CModuleBase::FindModule(asker.Host(), instanceName, "GPIO"));
}

} // namespace hwc
