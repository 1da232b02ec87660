#include "modules/routing/RoutingQueries.h"

#include "model/ModuleBase.h"
#include "model/ModuleLink.h"

namespace hwc {

namespace {

const ICrossbar* CrossbarOf(const CModuleBase& asker, std::string_view crossbar) {
    return dynamic_cast<const ICrossbar*>(CModuleBase::FindModule(asker.Host(), crossbar));
}

} // namespace

bool CrossbarExists(const CModuleBase& asker, std::string_view crossbar) {
    return CrossbarOf(asker, crossbar) != nullptr;
}

bool CrossbarOutputConfigured(const CModuleBase& asker, std::string_view crossbar, int output) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return !answering || answering->IsOutputConfigured(output);
}

int CrossbarOutputMode(const CModuleBase& asker, std::string_view crossbar, int output) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return answering ? answering->OutputMode(output) : -1;
}

tCrossbarSourceCheck CrossbarSourceCheck(const CModuleBase& asker, std::string_view crossbar,
                                         int output) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return answering ? answering->CheckOutputSource(output) : tCrossbarSourceCheck{};
}

bool CrossbarSignalInUse(const CModuleBase& asker, std::string_view crossbar,
                         std::string_view signal) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return answering && answering->IsSignalInUse(signal);
}

std::string CrossbarOutputLabel(const CModuleBase& asker, std::string_view crossbar, int output) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return answering ? answering->OutputLabel(output)
                     : "Crossbar output " + std::to_string(output) + ".";
}

std::optional<tCrossbarField> CrossbarOutputField(const CModuleBase& asker,
                                                  std::string_view crossbar, int output) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return answering ? answering->OutputField(output) : std::nullopt;
}

std::vector<std::string> CrossbarInputNames(const CModuleBase& asker, std::string_view crossbar) {
    const ICrossbar* answering = CrossbarOf(asker, crossbar);
    return answering ? answering->InputNames() : std::vector<std::string>{};
}

std::string CrossbarLink(const CModuleBase& asker, std::string_view crossbar) {
    const CModuleBase* module = CModuleBase::FindModule(asker.Host(), crossbar);
    if (!module)
        return std::string(crossbar);
    const std::string name(crossbar);
    return LinkText(module->InstanceName(), module->TypeKey(), module->Title(), name.c_str(), 0,
                    nullptr, false);
}

} // namespace hwc
