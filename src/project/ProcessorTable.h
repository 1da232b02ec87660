#pragma once
// The supported processors: the macros a configuration header names its processor with, the
// renamed part, and the numbered processor table whose entries classify a processor into the
// groups that module classes test when they decide which registers and choices exist.

#include <array>
#include <string>
#include <string_view>
#include <vector>

// One row of the processor-define table: the macro the header defines (without a value) and,
// for a variant whose processor has another name, that name.
struct tProcessorDefine {
    const char* macroName;
    const char* displayName; // "" when the processor is named by its macro
};

// A legacy part name and the part that replaces it.
struct tPartNameAlias {
    const char* legacyName;
    const char* successorName;
};

// One entry of the processor table. A single entry matches a processor name that contains its
// part name, unless the name contains one of the excluded longer part names; a group entry
// matches when any entry of its inclusive range matches.
struct tProcessorEntry {
    int number;
    const char* partName; // null for a group entry
    std::array<const char*, 2> excluded;
    int first; // group range; -1 for a single entry
    int last;

    constexpr bool IsGroup() const { return partName == nullptr; }
};

inline constexpr int kProcessorDefineCount = 97;
inline constexpr int kProcessorEntryCount = 119;

using tProcessorGroups = std::array<bool, kProcessorEntryCount>;

// The processor-define rows in search order.
const std::array<tProcessorDefine, kProcessorDefineCount>& ProcessorDefines();
// The processor table, indexed by entry number.
const std::array<tProcessorEntry, kProcessorEntryCount>& ProcessorEntries();
const tPartNameAlias& PartNameAlias();

// The processor a row stands for: its display name, or its macro name when it has none.
std::string_view ProcessorName(const tProcessorDefine& row);
// The row whose macro is exactly that name, or null.
const tProcessorDefine* FindProcessorDefine(std::string_view macroName);
// When the processor name is the legacy part name, switches the name and the row to the
// successor's, so that the project is saved with the successor's macro. True when it did.
bool ApplyPartNameAlias(std::string& processorName, const tProcessorDefine*& row);

// Whether entry `entry` (0..118) holds for the processor name; false for numbers outside.
bool ProcessorEntryMatches(int entry, std::string_view processorName);
// All 119 entries for the processor name.
tProcessorGroups ComputeProcessorGroups(std::string_view processorName);

// The processor names that have an architecture file (the part names of the single entries,
// in entry order).
std::vector<std::string_view> ArchitectureProcessorNames();

namespace hwc {

// The processor-table entries of the families that module classes test by name.
namespace ProcessorFamily {
inline constexpr int FamG = 94;
inline constexpr int FamH = 95;
inline constexpr int FamJ = 96;
inline constexpr int FamB = 100;
inline constexpr int FamK = 101;
inline constexpr int FamA = 103;
inline constexpr int FamC = 106;
inline constexpr int FamE = 109;
inline constexpr int FamF = 113;
inline constexpr int FamD = 116;
} // namespace ProcessorFamily

struct tFamilyName {
    const char* name;
    int entry;
};

// The named families in processor-table order.
const std::array<tFamilyName, 10>& ProcessorFamilies();

// The names of the families a processor belongs to, in table order and separated by one blank
// ("FamH FamJ FamB"); empty when it belongs to none.
std::string ProcessorFamilyNames(const tProcessorGroups& groups);
std::string ProcessorFamilyNames(std::string_view processorName);

} // namespace hwc
