#pragma once
// Importing module settings: what the import dialog lists (destination modules, source modules
// of this or another project, the source's registers) and what its OK button does, without any
// window, so that the desktop dialog and the headless import share one behaviour.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CModuleBase;
class CProjDocBase;
class IModuleHost;

namespace hwc {

// One entry of a module list: the text shown and the module it stands for; an entry without a
// module cannot be chosen.
struct tImportEntry {
    std::string label;
    CModuleBase* module = nullptr;
};

// One register the user may tick: its position in the module and its macro name.
struct tImportRegister {
    int index = 0;
    std::string name;
};

// Every module of the document with at least one register, labelled with its title; a title
// already in the list gets " (" + type key + ")" appended.
std::vector<tImportEntry> ImportDestinations(const IModuleHost& document);

// The entry to select first: the one of `preselect`, else the first; -1 for an empty list.
int PreselectedEntry(const std::vector<tImportEntry>& entries, const CModuleBase* preselect);

// The modules of `sourceDocument` that `destination` takes values from, the destination itself
// left out: accepted ones with their title (+ " (empty)" when `otherProject` and the module is
// not written there), refused-as-forbidden ones as title + " (forbidden)" without module. An
// empty list holds the single entry "n/a".
std::vector<tImportEntry> ImportSources(const CModuleBase& destination,
                                        const IModuleHost& sourceDocument, bool otherProject);

// Where the sources come from: "PATH (PROCESSOR)" of the other project, or
// " Importing from the current project..." without one.
std::string ImportSourceStatus(const CProjDocBase* otherProject);

// The registers of the source that may be imported (neither NOIMPORT nor DUMMYREG), in order.
std::vector<tImportRegister> ImportableRegisters(const CModuleBase& source);

// The positions among `registers` (of `source`) that the names choose: a name is a define name
// of the source or of the destination, or a register name without the instance prefix. Names
// that choose nothing are appended to `unknown` when given.
std::vector<int> ChooseImportRegisters(const CModuleBase& source, const CModuleBase& destination,
                                       const std::vector<std::string>& names,
                                       std::vector<std::string>* unknown = nullptr);

// What the OK button asks the user before importing.
std::string ImportConfirmation(const CModuleBase& destination);

enum class EImportIcon { Information, Warning, Error };

enum class EImportOutcome {
    kRefused,   // a chosen entry or the register choice is not usable; nothing changed
    kStopped,   // the caller's confirmation said no; nothing changed, nothing to show
    kUnchanged, // the import copied nothing
    kUpdated,   // at least one register was copied
};

struct tImportResult {
    EImportOutcome outcome = EImportOutcome::kRefused;
    std::string message; // empty for kStopped
    EImportIcon icon = EImportIcon::Information;
};

struct tImportRequest {
    CModuleBase* destination = nullptr; // the chosen entry's module
    CModuleBase* source = nullptr;
    bool selectedOnly = false; // "Import selected registers only"
    std::vector<int> selected; // the ticked registers' positions
};

// The OK button: validates the choice, then, when `confirm` (given the destination) agrees or
// is empty, imports asking about differently named registers. The result carries the message
// to show: "Module %s was successfully updated" after a change.
tImportResult RunImport(const tImportRequest& request,
                        const std::function<bool(CModuleBase& destination)>& confirm);

} // namespace hwc
