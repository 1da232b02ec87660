#include "modules/timers/TimerQueries.h"

#include "model/ModuleBase.h"

namespace hwc {

double TimerCountingFrequency(const CModuleBase& asker, std::string_view channel) {
    const auto* timer =
        dynamic_cast<const ITimerChannel*>(CModuleBase::FindModule(asker.Host(), channel));
    return timer ? timer->CountingFrequencyHz() : 0.0;
}

bool DelayBlockTriggerEnabled(const CModuleBase& asker, char trigger, bool absent) {
    const auto* block =
        dynamic_cast<const IDelayBlock*>(CModuleBase::FindModule(asker.Host(), "PDB"));
    return block ? block->IsTriggerEnabled(trigger) : absent;
}

} // namespace hwc
