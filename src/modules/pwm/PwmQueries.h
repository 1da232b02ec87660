#pragma once
// What the PWM sub-modules answer to the others: whether a sub-module drives its trigger
// outputs, which other modules (the crossbar) take as inputs. Each free function gives the
// asker's "absent" answer while the sub-module does not exist or does not answer.

#include <string_view>

class CModuleBase;

namespace hwc {

class IPwmTriggers {
public:
    virtual ~IPwmTriggers() = default;
    // Trigger output 0 or 1 is selected (has a compare event feeding it).
    virtual bool IsTriggerSelected(int trigger) const = 0;
};

// Trigger 0 or 1 of the named sub-module ("PWM_A_0") is selected; with `trigger` -1, either
// of them. `absent` without the sub-module.
bool PwmTriggerSelected(const CModuleBase& asker, std::string_view submodule, int trigger,
                        bool absent);

} // namespace hwc
