#pragma once
// What the PWM modules answer to the others: whether a sub-module drives its trigger outputs,
// which other modules (the crossbar) take as inputs; which fault inputs a sub-module maps to its
// outputs; and whether the common module runs a sub-module. Each free function gives the
// asker's "absent" answer while the module does not exist or does not answer.

#include <string>
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

// What a sub-module tells its common module: the fault inputs its outputs are disabled by.
class IPwmSubmodule {
public:
    virtual ~IPwmSubmodule() = default;
    // Bit n set when fault input n (0..7) disables any of the sub-module's outputs.
    virtual unsigned MappedFaults() const = 0;
};

// What the common module of the sub-modules answers.
class IPwmCommon {
public:
    virtual ~IPwmCommon() = default;
    // The run bit of sub-module 0..3.
    virtual bool IsSubmoduleRunning(int submodule) const = 0;
};

// The common module of a sub-module instance ("PWM_A_0" gives "PWM_A", "PWM_2" gives "PWM");
// empty when the name does not end in '_' and a digit.
std::string PwmCommonInstance(std::string_view submodule);
// The run bit of the named sub-module in its common module; `absent` without the common module.
bool PwmSubmoduleRunning(const CModuleBase& asker, std::string_view submodule, bool absent);
// The fault inputs the named sub-module maps to its outputs; 0 without the sub-module.
unsigned PwmMappedFaults(const CModuleBase& asker, std::string_view submodule);

} // namespace hwc
