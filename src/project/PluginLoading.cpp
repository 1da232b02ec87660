// Finding and loading plug-ins: the description files in "*.hwc" folders beside the program and
// beside the project file, one module per plug-in meant for the processor, and the header files
// plug-ins keep their definitions in.

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "base/AppFilePath.h"
#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "modules/framework/CpmUNREC.h"
#include "plugins/PluginFile.h"
#include "plugins/PluginModule.h"
#include "project/ProjDocBase.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPluginFolderType = "PLUGINS";

bool HasExtension(const fs::path& path, std::string_view extension) {
    return hwc::ToLower(path.extension().string()) == extension;
}

// The entries of a folder sorted by name, so that plug-ins load in the same order everywhere;
// a folder that cannot be listed has none.
std::vector<fs::directory_entry> SortedEntries(const std::string& folder) {
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        entries.push_back(*it);
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
        return a.path().filename() < b.path().filename();
    });
    return entries;
}

// The path with "." and ".." resolved and the links followed where it exists, for telling two
// names of one folder or file apart.
std::string SamePathKey(const fs::path& path) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return (error ? path.lexically_normal() : canonical).string();
}

} // namespace

int CProjDocBase::LoadPlugins() {
    std::set<std::string> visited;
    int loaded = LoadPluginsIn(AppFolder(), false, visited);
    // A project lying beside the program has searched its folder already.
    if (!m_projectFilePath.empty())
        loaded += LoadPluginsIn(fs::path(m_projectFilePath).parent_path().string(), false, visited);
    return loaded;
}

int CProjDocBase::LoadPluginsIn(const std::string& folder, bool scanIni,
                                std::set<std::string>& visited) {
    // A folder reached twice (a link back to a parent, the program and the project sharing
    // one folder) is searched once.
    if (!visited.insert(SamePathKey(folder)).second)
        return 0;
    const std::vector<fs::directory_entry> entries = SortedEntries(folder);
    int loaded = 0;
    std::error_code error;
    for (const fs::directory_entry& entry : entries) {
        if (HasExtension(entry.path(), ".hwc") && entry.is_directory(error))
            loaded += LoadPluginsIn(entry.path().string(), true, visited);
    }
    if (!scanIni)
        return loaded;
    for (const fs::directory_entry& entry : entries) {
        if (HasExtension(entry.path(), ".ini") && !entry.is_directory(error) &&
            LoadPluginFile(entry.path().string(), !m_batch))
            ++loaded;
    }
    return loaded;
}

bool CProjDocBase::LoadPluginFile(const std::string& path, bool reportErrors) {
    const std::string fileName = fs::path(path).filename().string();
    auto reportFile = [&] {
        if (reportErrors)
            hwc::ShowMessage(hwc::Format("Error loading plugin file %s", fileName.c_str()));
    };
    auto file = std::make_unique<CPluginFile>();
    if (!file->Load(path)) {
        reportFile();
        return false;
    }
    hwc::ScopedHostBeingOpened opening(this);
    for (const auto& plugin : file->Plugins()) {
        const CPluginInfo& info = *plugin;
        switch (info.MatchesProcessor(m_processor.processorName)) {
        case CPluginInfo::EFilterMatch::kMatch:
            break;
        case CPluginInfo::EFilterMatch::kNoMatch:
            continue;
        case CPluginInfo::EFilterMatch::kInvalid:
            // A filter that is no regular expression cannot tell which processors it is for.
            reportFile();
            continue;
        }
        // The same plug-in found beside the program and beside the project loads once.
        if (FindModule(info.id)) {
            if (reportErrors)
                hwc::ShowMessage(
                    hwc::Format("Duplicate Plugin Module will not be loaded: %s", info.id.c_str()));
            continue;
        }
        CAppcfgFileReader* header = PluginHeader(info.headerFile, reportErrors);
        auto module = std::make_unique<CPluginModule>(info);
        if (header)
            module->SetHeaderFile(header);
        if (!m_tree.AddModuleToTree(info.treePath, kPluginFolderType, module.get(), *this)) {
            if (reportErrors)
                hwc::ShowMessage(
                    hwc::Format("Could not create Plugin Module item: %s", info.id.c_str()));
            continue;
        }
        m_modules.push_back(std::move(module));
    }
    m_pluginFiles.push_back(std::move(file));
    return true;
}

CAppcfgFileReader* CProjDocBase::PluginHeader(const std::string& headerFile, bool reportErrors) {
    if (headerFile.empty())
        return nullptr;
    // The name is relative to the folder holding the project file; '\' separates folders.
    const fs::path path =
        (fs::path(m_projectFilePath).parent_path() / hwc::ReplaceAll(headerFile, "\\", "/"))
            .lexically_normal();
    // A plug-in naming the project file itself writes into the project header: a second reader
    // of the same file would have its sections overwritten by the project header's save.
    if (SamePathKey(path) == SamePathKey(m_projectFilePath))
        return nullptr;
    const std::string key = hwc::ToLower(path.string());
    std::unique_ptr<CAppcfgFileReader>& reader = m_pluginHeaders[key];
    if (reader)
        return reader.get();
    reader = std::make_unique<CAppcfgFileReader>();
    // A document only read for an import leaves the other project's files as they are.
    const bool create = !m_batch;
    std::error_code error;
    if (!reader->OpenAndRead(path.string(), create, reportErrors) && fs::exists(path, error))
        m_unreadablePluginHeaders.insert(reader.get());
    return reader.get();
}

void CProjDocBase::AddPluginHeaderKeepers() {
    hwc::ScopedHostBeingOpened opening(this);
    for (const auto& [key, header] : m_pluginHeaders) {
        CModuleDescriptor descriptor(CpmUNREC::kTypeKey, CpmUNREC::kTypeKey);
        descriptor.SetField(CModuleDescriptor::kDisplayName,
                            "User definitions of " + fs::path(header->Path()).filename().string());
        auto keeper = std::make_unique<CpmUNREC>(nullptr, &descriptor);
        keeper->SetHeaderFile(header.get());
        m_modules.push_back(std::move(keeper));
    }
}

void CProjDocBase::ClearPlugins() {
    m_unreadablePluginHeaders.clear();
    m_pluginHeaders.clear();
    m_pluginFiles.clear();
}
