#include "project/ImportChoices.h"

#include <algorithm>

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "project/ProjDocBase.h"

namespace hwc {

namespace {

bool LabelTaken(const std::vector<tImportEntry>& entries, std::string_view label) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const tImportEntry& entry) { return entry.label == label; });
}

bool Importable(const tPerCfgItem& item) {
    return !(item.dwFlags & (RegFlag::NOIMPORT | RegFlag::DUMMYREG));
}

} // namespace

std::vector<tImportEntry> ImportDestinations(const IModuleHost& document) {
    std::vector<tImportEntry> entries;
    for (std::size_t i = 0; i < document.ModuleCount(); ++i) {
        CModuleBase* module = document.ModuleAt(i);
        if (module->ItemCount() < 1)
            continue;
        std::string label = module->Title();
        if (LabelTaken(entries, label))
            label += " (" + module->TypeKey() + ")";
        entries.push_back({std::move(label), module});
    }
    return entries;
}

int PreselectedEntry(const std::vector<tImportEntry>& entries, const CModuleBase* preselect) {
    if (entries.empty())
        return -1;
    for (std::size_t i = 0; preselect && i < entries.size(); ++i) {
        if (entries[i].module == preselect)
            return static_cast<int>(i);
    }
    return 0;
}

std::vector<tImportEntry> ImportSources(const CModuleBase& destination,
                                        const IModuleHost& sourceDocument, bool otherProject) {
    std::vector<tImportEntry> entries;
    for (std::size_t i = 0; i < sourceDocument.ModuleCount(); ++i) {
        CModuleBase* module = sourceDocument.ModuleAt(i);
        if (module == &destination)
            continue;
        bool forbidden = false;
        if (destination.IsImportCompatible(*module, forbidden) && !forbidden) {
            std::string label = module->Title();
            if (otherProject && !module->IsSelected())
                label += " (empty)";
            entries.push_back({std::move(label), module});
        } else if (forbidden) {
            entries.push_back({module->Title() + " (forbidden)", nullptr});
        }
    }
    if (entries.empty())
        entries.push_back({"n/a", nullptr});
    return entries;
}

std::string ImportSourceStatus(const CProjDocBase* otherProject) {
    if (!otherProject)
        return " Importing from the current project...";
    return Format("%s (%s)", otherProject->ProjectFilePath().c_str(),
                  otherProject->Processor().processorName.c_str());
}

std::vector<tImportRegister> ImportableRegisters(const CModuleBase& source) {
    std::vector<tImportRegister> registers;
    for (int i = 0; i < source.ItemCount(); ++i) {
        const tPerCfgItem& item = source.Item(i);
        if (Importable(item))
            registers.push_back({i, source.GetDefineName(item)});
    }
    return registers;
}

std::vector<int> ChooseImportRegisters(const CModuleBase& source, const CModuleBase& destination,
                                       const std::vector<std::string>& names,
                                       std::vector<std::string>* unknown) {
    std::vector<int> chosen;
    for (const std::string& name : names) {
        bool found = false;
        for (const tImportRegister& reg : ImportableRegisters(source)) {
            const tPerCfgItem& item = source.Item(reg.index);
            const std::string_view shortName = FieldText(item.szName);
            bool matches = name == reg.name || name == shortName;
            if (!matches && reg.index < destination.ItemCount()) {
                const tPerCfgItem& own = destination.Item(reg.index);
                matches = name == destination.GetDefineName(own) || name == FieldText(own.szName);
            }
            if (!matches)
                continue;
            found = true;
            if (std::find(chosen.begin(), chosen.end(), reg.index) == chosen.end())
                chosen.push_back(reg.index);
        }
        if (!found && unknown)
            unknown->push_back(name);
    }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

std::string ImportConfirmation(const CModuleBase& destination) {
    return Format("Are you sure to modify the %s module settings?", destination.Title().c_str());
}

tImportResult RunImport(const tImportRequest& request,
                        const std::function<bool(CModuleBase& destination)>& confirm) {
    if (!request.destination)
        return {EImportOutcome::kRefused, "Please select a valid destination module!",
                EImportIcon::Warning};
    if (!request.source)
        return {EImportOutcome::kRefused, "Please select a valid source module!",
                EImportIcon::Warning};
    if (request.selectedOnly && request.selected.empty())
        return {EImportOutcome::kRefused, "No registers selected for importing!",
                EImportIcon::Error};
    if (confirm && !confirm(*request.destination))
        return {EImportOutcome::kStopped, {}, EImportIcon::Information};
    const std::vector<int>* indexes = request.selectedOnly ? &request.selected : nullptr;
    if (!request.destination->ImportFrom(*request.source, indexes, true))
        return {EImportOutcome::kUnchanged, "The destination module was NOT changed!",
                EImportIcon::Warning};
    return {EImportOutcome::kUpdated,
            Format("Module %s was successfully updated", request.destination->Title().c_str()),
            EImportIcon::Information};
}

} // namespace hwc
