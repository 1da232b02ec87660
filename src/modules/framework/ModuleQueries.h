#pragma once
// Facts many kinds of module answer about themselves, asked by instance name: whether the
// module is enabled (a comparator, a PWM, a DAC named as another module's input). A module that
// does not exist, or does not answer, gives the asker's "absent" answer.

#include <string_view>

class CModuleBase;

namespace hwc {

class IModuleEnable {
public:
    virtual ~IModuleEnable() = default;
    // The module's own enable setting is set.
    virtual bool IsModuleEnabled() const = 0;
};

// Whether the named module exists in the asker's document.
bool ModuleExists(const CModuleBase& asker, std::string_view instanceName);
// The named module's enable; `absent` while it does not exist or does not answer.
bool ModuleEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent);

} // namespace hwc
