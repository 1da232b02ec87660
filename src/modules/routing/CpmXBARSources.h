#pragma once
// The crossbar inputs that come from another module's signal, and the condition that module must
// meet for the signal to exist: a comparator enabled, a timer channel counting, a PWM trigger
// selected, a converter powered. The crossbar warns about an output that selects such an input
// while its condition fails.

#include <optional>
#include <string>
#include <string_view>

class CModuleBase;

namespace hwc::xbar {

// Which source table a crossbar uses.
enum class ESourceTable {
    None,       // every input counts as valid
    ByPosition, // the FamC table: fixed input positions with their own texts
    ByName,     // FamE, FamF and FamD: the input's name says its source
};

enum class ESourceKind {
    ModuleEnabled,     // the module's enable (comparators, interval timers, delay blocks)
    ChannelRunning,    // a timer channel not in stop mode
    PwmTrigger,        // a PWM sub-module's trigger (`detail` 0, 1, or -1 for either)
    PwmTriggerOfAny,   // any of up to three sub-modules has a trigger selected
    SerialTransmitter, // a serial interface's transmitter
    ConverterPowered,  // converter `detail` ('A' or 'B') of an ADC module
};

struct tSourceEntry {
    ESourceKind kind = ESourceKind::ModuleEnabled;
    std::string instances[3]; // the source module; PwmTriggerOfAny names up to three
    int detail = 0;
    std::string message; // what is wrong when the condition fails
    // The module must exist when one of its siblings does ("PWM_A_0" beside "PWM_A_1"): then
    // its absence means the processor lacks it, not that its kind of module is unknown here.
    std::string siblingPrefix;
};

// The source of the input at `position` named `inputName`; none for an input that needs no
// other module (or a table that has no entry for it).
std::optional<tSourceEntry> SourceOf(ESourceTable table, int position, std::string_view inputName);

// Checks the entry against the asker's document; the warning message when the condition
// fails, none when it holds. A module that is absent or does not answer counts as meeting it.
std::optional<std::string> CheckSource(const CModuleBase& asker, const tSourceEntry& entry);

} // namespace hwc::xbar
