#include "app/BatchImport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

#include "base/Messages.h"
#include "model/ModuleBase.h"
#include "project/ImportChoices.h"
#include "project/ProjDoc.h"
#include "project/ProjectPath.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFailed = 1;

// One module to import: the destination and the source module chosen for it.
struct tImportPair {
    CModuleBase* destination = nullptr;
    CModuleBase* source = nullptr;
    std::vector<int> selected; // with --registers: the chosen positions
};

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    const bool same = fs::equivalent(a, b, error);
    return !error && same;
}

// The source document's entry of `module` among what `destination` may import; null when
// the module is not listed or cannot be chosen.
const hwc::tImportEntry* AcceptedEntry(const std::vector<hwc::tImportEntry>& entries,
                                       const CModuleBase* module) {
    for (const hwc::tImportEntry& entry : entries) {
        if (entry.module && entry.module == module)
            return &entry;
    }
    return nullptr;
}

bool Refuse(const std::string& message) {
    hwc::ShowMessage(message);
    return false;
}

// The pairs the command line names; false (after saying why) for one that cannot be imported.
bool NamedPairs(const std::vector<std::string>& instances, CProjDocBase& destination,
                CProjDocBase& source, bool otherProject, std::vector<tImportPair>& pairs) {
    for (const std::string& instance : instances) {
        const std::size_t equals = instance.find('=');
        const std::string name = instance.substr(0, equals);
        const std::string sourceName =
            equals == std::string::npos ? name : instance.substr(equals + 1);
        CModuleBase* to = destination.FindModule(name, {});
        if (!to || to->ItemCount() < 1) {
            hwc::ShowMessage("No module with registers named " + name + " in " +
                             destination.ProjectFilePath() + ".");
            return Refuse("Please select a valid destination module!");
        }
        CModuleBase* from = source.FindModule(sourceName, {});
        if (!from) {
            hwc::ShowMessage("No module named " + sourceName + " in " + source.ProjectFilePath() +
                             ".");
            return Refuse("Please select a valid source module!");
        }
        if (from == to)
            return Refuse("Please select a valid source module!");
        const auto entries = hwc::ImportSources(*to, source, otherProject);
        if (!AcceptedEntry(entries, from)) {
            bool forbidden = false;
            to->IsImportCompatible(*from, forbidden);
            hwc::ShowMessage("The module " + sourceName + " of " + source.ProjectFilePath() +
                             (forbidden ? " (forbidden)" : " (another kind of module)") +
                             " cannot be imported into " + name + ".");
            return Refuse("Please select a valid source module!");
        }
        pairs.push_back({to, from, {}});
    }
    return true;
}

// Every destination module with registers whose namesake in the source is accepted and written
// there.
std::vector<tImportPair> SameNamedPairs(CProjDocBase& destination, CProjDocBase& source,
                                        bool otherProject) {
    std::vector<tImportPair> pairs;
    for (const auto& module : destination.Modules()) {
        if (module->ItemCount() < 1)
            continue;
        CModuleBase* from = source.FindModule(module->InstanceName(), {});
        if (!from || from == module.get() || !from->IsSelected())
            continue;
        bool forbidden = false;
        if (module->IsImportCompatible(*from, forbidden) && !forbidden)
            pairs.push_back({module.get(), from, {}});
    }
    return pairs;
}

// Chooses the registers of every pair; a name that chooses nothing anywhere is refused. Without
// named instances, modules none of the names choose from are left out.
bool ChooseRegisters(const std::vector<std::string>& names, bool named,
                     std::vector<tImportPair>& pairs) {
    std::set<std::string> unmatched(names.begin(), names.end());
    for (tImportPair& pair : pairs) {
        std::vector<std::string> unknown;
        pair.selected =
            hwc::ChooseImportRegisters(*pair.source, *pair.destination, names, &unknown);
        for (const std::string& name : names) {
            if (std::find(unknown.begin(), unknown.end(), name) == unknown.end())
                unmatched.erase(name);
        }
    }
    if (!unmatched.empty())
        return Refuse("No register named " + *unmatched.begin() + " can be imported.");
    if (!named)
        std::erase_if(pairs, [](const tImportPair& pair) { return pair.selected.empty(); });
    return true;
}

} // namespace

int RunImport(const std::vector<std::string>& arguments, const tBatchOptions& options) {
    const std::string& sourcePath = arguments[0];
    const std::string& destinationPath = arguments[1];
    const std::vector<std::string> instances(arguments.begin() + 2, arguments.end());

    CProjDoc destination;
    tRunFlags flags;
    flags.reprocess = options.save;
    destination.SetRunFlags(flags);
    if (!destination.OpenProject(destinationPath))
        return kFailed;

    // The source is only read: never locked, never saved. The destination's own file is the
    // destination itself, with the values it has now.
    std::unique_ptr<CProjDoc> other;
    CProjDocBase* source = &destination;
    if (!SameFile(ResolveProjectFile(sourcePath), destination.ProjectFilePath())) {
        other = std::make_unique<CProjDoc>();
        other->SetBatchMode(nullptr);
        if (!other->OpenProject(sourcePath))
            return kFailed;
        source = other.get();
    }
    const bool otherProject = other != nullptr;

    std::vector<tImportPair> pairs;
    if (!instances.empty()) {
        if (!NamedPairs(instances, destination, *source, otherProject, pairs))
            return kFailed;
    } else {
        pairs = SameNamedPairs(destination, *source, otherProject);
    }
    if (!options.registers.empty() &&
        !ChooseRegisters(options.registers, !instances.empty(), pairs))
        return kFailed;
    if (pairs.empty()) {
        hwc::ShowMessage("No module of " + source->ProjectFilePath() + " can be imported into " +
                         destination.ProjectFilePath() + ".");
        return kFailed;
    }

    for (const tImportPair& pair : pairs) {
        hwc::tImportRequest request;
        request.destination = pair.destination;
        request.source = pair.source;
        request.selectedOnly = !options.registers.empty();
        request.selected = pair.selected;
        const hwc::tImportResult result = hwc::RunImport(request, nullptr);
        hwc::ShowMessage(result.message);
        if (result.outcome != hwc::EImportOutcome::kUpdated)
            return kFailed;
        pair.destination->SetSelected(true);
    }
    if (options.save && !destination.Save())
        return kFailed;
    return 0;
}
