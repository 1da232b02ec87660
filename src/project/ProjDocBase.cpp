#include "project/ProjDocBase.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "base/AppFilePath.h"
#include "base/IdleWake.h"
#include "base/Messages.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "header/LegacyNames.h"
#include "model/ModuleBase.h"
#include "model/PageHints.h"
#include "modules/framework/CpmPLUGINS.h"
#include "modules/framework/CpmVOID.h"
#include "plugins/PluginFile.h"
#include "project/ArchitectureFile.h"
#include "project/ProjectPath.h"
#include "project/SelfTest.h"

namespace fs = std::filesystem;

namespace {

constexpr char kConfigFolder[] = "ApplicationConfig";

std::unique_ptr<CAppcfgFileReader> NewMainHeader() {
    return std::make_unique<CAppcfgFileReader>(LegacyRegisterNames());
}

} // namespace

CProjDocBase::CProjDocBase() : m_mainHeader(NewMainHeader()) {}

CProjDocBase::~CProjDocBase() {
    m_tree.DeleteAll();
    m_modules.clear();
    m_modulesWithoutClass.clear();
    if (hwc::HostBeingOpened() == this)
        hwc::SetHostBeingOpened(nullptr);
    DeleteTempPaths();
}

// --- Opening ---

bool CProjDocBase::OpenProject(const std::string& path) {
    m_modified = true;
    const std::string file = ResolveProjectFile(path);
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        hwc::ShowMessage(hwc::Format("File not found %s", file.c_str()));
        return false;
    }
    const std::string fullPath = fs::absolute(file, error).lexically_normal().string();
    if (!m_batch && !CheckAlreadyOpen(fullPath))
        return false;
    if (m_progress)
        m_progress->Show();

    m_keepLock = true;
    ClearProject();
    m_keepLock = false;

    if (!OpenFoundProject(fullPath)) {
        ClearProject();
        return false;
    }
    m_modified = false;
    if (m_history)
        m_history->Reset(*this, m_options);
    RunAfterOpen();
    return true;
}

void CProjDocBase::RunAfterOpen() {
    // A self-test run stays open on the last tested page; it takes the place of re-processing.
    if (m_runFlags.selfTest) {
        RunSelfTest(*this);
        m_runFlags.selfTest = false;
        return;
    }
    if (m_runFlags.reprocess)
        OnReprocessRequested();
}

bool CProjDocBase::OpenFoundProject(const std::string& file) {
    m_projectFilePath = file;
    if (!m_mainHeader->OpenAndRead(file, false, true))
        return false;
    IdentifyProcessor();

    hwc::SetHostBeingOpened(this);
    const std::string architecture = AppFilePath(m_processor.processorName + ".cfg");
    if (!LoadArchitecture(architecture, m_processor.processorName, m_tree, *this))
        return false;
    LoadPlugins();

    CModuleBase* unrecognized = CreateModule(nullptr, nullptr);
    if (unrecognized)
        m_tree.AddModuleToTree("\\Unrecognized Definitions", "VOID", unrecognized, *this);
    AddPluginHeaderKeepers();

    LoadModules();
    m_tree.RefreshStateImages();
    if (!m_batch && !m_tree.IsEmpty())
        m_tree.SelectItem(&m_tree.Root().Child(0));
    return true;
}

void CProjDocBase::LoadModules() {
    for (const auto& module : m_modules)
        module->BindControls(this);
    for (const auto& module : m_modules)
        module->LoadFromHeader(m_mainHeader.get());
    // Every page exists from now on (hidden until shown), so every binding is attached.
    const int range = static_cast<int>(m_modules.size()) + 1;
    if (m_progress)
        m_progress->SetProgress(1, range);
    int done = 0;
    for (const auto& module : m_modules) {
        module->CreatePage();
        if (m_progress)
            m_progress->SetProgress(++done, range);
    }
    m_loaded = true;
    for (const auto& module : m_modules)
        module->AfterLoad();
    RequestWarnings();
}

void CProjDocBase::ClearProject() {
    Notify(hwc::kHintProjectCleared);
    if (!m_keepLock)
        m_lock.reset();
    m_loaded = false;
    m_warningsPending = true;

    m_tree.DeleteAll();
    // A reader that has read nothing yet, as the document starts with, serves as it is: its
    // index of legacy names is not built a second time for the first project opened.
    const bool unread = m_mainHeader && m_mainHeader->Path().empty() &&
                        m_mainHeader->Definitions().empty() &&
                        m_mainHeader->ParameterBlocks().empty();
    if (!unread)
        m_mainHeader = NewMainHeader();
    m_warnings.Clear();
    m_itemOwners.clear();
    m_modules.clear();
    m_modulesWithoutClass.clear();
    ClearPlugins();
    m_projectFilePath.clear();
    m_processor = tProcessorData();

    m_options = tOptions();
    LoadOptions();
    DeleteTempPaths();
    if (m_history)
        m_history->Reset(*this, m_options);
}

// --- Processor identification ---

void CProjDocBase::IdentifyProcessor() {
    m_processor = tProcessorData();
    CAppcfgFile& header = *m_mainHeader;
    for (const tProcessorDefine& row : ProcessorDefineRows()) {
        CAppcfgEntry* entry = header.GetEntry(row.macroName);
        if (!entry)
            continue;
        m_processor.processorName = hwc::ReplaceAll(ProcessorName(row), "APPCFG_", "");
        m_processor.defineRow = &row;
        entry->Claim();
        break;
    }
    auto take = [&header](const char* name) -> CAppcfgEntry* {
        CAppcfgEntry* entry = header.GetEntry(name);
        if (entry)
            entry->Claim();
        return entry;
    };
    if (const CAppcfgEntry* entry = take("APPCFG_MASKNUM"))
        m_processor.maskNumber = entry->value;
    if (const CAppcfgEntry* entry = take("APPCFG_PARTNUM"))
        m_processor.partNumber = entry->value;
    if (const CAppcfgEntry* entry = take("APPCFG_PACKAGE"))
        m_processor.package = entry->value;

    // The clocks are written in hertz ("8000000L") and kept in megahertz; the text is kept too,
    // so that a clock nobody changes is written back exactly, and so is one that cannot be used.
    m_unusableClocks.clear();
    auto takeClock = [&](const char* name, const char* shortName, float& mhz, std::string& text,
                         float& readMHz) {
        const CAppcfgEntry* entry = take(name);
        if (!entry && header.GetEntry(shortName)) {
            m_processor.prefixedClockNames = false;
            entry = take(shortName);
        }
        if (!entry)
            return;
        const std::optional<double> hertz = hwc::ReadLeadingDouble(entry->value);
        const bool usable = hertz && *hertz >= 0.0 && *hertz < 1e18;
        mhz = usable ? static_cast<float>(*hertz / 1000000.0) : 0.0f;
        text = entry->value;
        readMHz = mhz;
        if (usable)
            return;
        const std::string problem = entry->name + " " + entry->value +
                                    ": no frequency in hertz; the line is kept as written";
        m_unusableClocks.push_back(problem);
        hwc::ShowMessage("The clock macro cannot be used: " + problem + ".");
    };
    takeClock("APPCFG_EXTCLK", "EXTCLK", m_processor.extClockMHz, m_processor.extClockText,
              m_processor.extClockReadMHz);
    takeClock("APPCFG_EXTAL", "EXTAL", m_processor.crystalMHz, m_processor.crystalText,
              m_processor.crystalReadMHz);

    if (const CAppcfgEntry* entry = take("APPCFG_DFLTS_OMITTED"))
        m_options.generateDefaults = hwc::ReadLeadingU32(entry->value).value_or(0) == 0;
    else
        m_options.generateDefaults = true;
    m_options.briefView = take("APPCFG_BRIEFVIEW") != nullptr;
    take("APPCFG_HWC_VERSION");

    m_snapshot = {m_options, m_processor};
}

bool CProjDocBase::IsProjectModified() const {
    const tOptions& o = m_snapshot.options;
    const tProcessorData& p = m_snapshot.processor;
    if (o.generateComments != m_options.generateComments ||
        o.generateDefaults != m_options.generateDefaults ||
        o.keepUserComments != m_options.keepUserComments ||
        p.maskNumber != m_processor.maskNumber || p.partNumber != m_processor.partNumber ||
        p.extClockMHz != m_processor.extClockMHz || p.crystalMHz != m_processor.crystalMHz ||
        p.prefixedClockNames != m_processor.prefixedClockNames)
        return true;
    return std::any_of(m_modules.begin(), m_modules.end(),
                       [](const auto& module) { return module->IsModified(); });
}

std::vector<std::string> CProjDocBase::UnusableValues() const {
    std::vector<std::string> lines = m_unusableClocks;
    for (const auto& module : m_modules) {
        for (const tUnreadableValue& value : module->UnreadableValues()) {
            if (!module->LeavesDefineToUser(value.index))
                continue;
            lines.push_back(module->Title() + ": " + value.defineName + " " + value.text +
                            ": no number; the register keeps its default and the line is kept "
                            "as a user definition");
        }
    }
    return lines;
}

// --- Modules ---

const CRuntimeClass* CProjDocBase::ModuleClassFor(std::string_view typeKey) const {
    if (typeKey == "VOID")
        return &CpmVOID::kRuntimeClass;
    if (typeKey == "PLUGINS")
        return &CpmPLUGINS::kRuntimeClass;
    return nullptr;
}

CModuleBase* CProjDocBase::CreateModule(const CModuleDescriptor* descriptor, CModuleBase* parent) {
    const std::string_view typeKey = descriptor ? std::string_view(descriptor->TypeKey()) : "UNREC";
    const CRuntimeClass* runtimeClass = ModuleClassFor(typeKey);
    if (!runtimeClass) {
        if (descriptor)
            m_modulesWithoutClass.insert(descriptor->InstanceName());
        return nullptr;
    }
    hwc::ScopedHostBeingOpened opening(this);
    std::unique_ptr<CModuleBase> module(runtimeClass->CreateObject(parent, descriptor));
    if (!module)
        return nullptr;
    m_modules.push_back(std::move(module));
    return m_modules.back().get();
}

bool CProjDocBase::IsModuleWithoutClass(std::string_view instanceName) const {
    return m_modulesWithoutClass.find(instanceName) != m_modulesWithoutClass.end();
}

CModuleBase* CProjDocBase::FindModule(std::string_view instanceName) {
    return FindModule(instanceName, {});
}

CModuleBase* CProjDocBase::FindModule(std::string_view instanceName,
                                      std::string_view typeKey) const {
    return CModuleBase::FindModule(this, instanceName, typeKey);
}

void CProjDocBase::RegisterItem(const tPerCfgItem& item, CModuleBase& owner) {
    m_itemOwners[&item] = &owner;
}

CModuleBase* CProjDocBase::ItemOwner(const tPerCfgItem* item) const {
    const auto found = m_itemOwners.find(item);
    return found == m_itemOwners.end() ? nullptr : found->second;
}

void CProjDocBase::SetBatchMode(ISplashProgress* progress) {
    m_batch = true;
    m_progress = progress;
}

// --- Warnings and views ---

void CProjDocBase::SetWarning(CModuleBase* owner, int id, bool active, const char* message,
                              const char* detail) {
    const CWarning* warning = m_warnings.Set(owner, id, active, message, detail);
    Notify(hwc::kHintWarningChanged, owner, warning);
}

void CProjDocBase::CheckAllWarnings() {
    for (const auto& module : m_modules)
        module->CheckWarnings();
}

void CProjDocBase::IdleUpdate() {
    if (m_warningsPending && m_loaded) {
        m_warningsPending = false;
        CheckAllWarnings();
    }
    CommitUndoStep();
    Notify(hwc::kHintIdle);
}

void CProjDocBase::AddObserver(hwc::IDocumentObserver* observer) {
    m_observers.push_back(observer);
}

void CProjDocBase::RemoveObserver(hwc::IDocumentObserver* observer) {
    std::erase(m_observers, observer);
}

void CProjDocBase::Notify(int hint, CModuleBase* sender, const void* object) {
    for (hwc::IDocumentObserver* observer : std::vector(m_observers))
        observer->OnDocumentUpdate(hint, sender, object);
}

void CProjDocBase::UpdateAllViews(CModuleBase* sender, int hint, const void* object) {
    // The tree's check marks are what a save writes, so they follow a selection made by code.
    if (hint == hwc::kHintModuleSelected)
        m_tree.RefreshStateImages();
    Notify(hint, sender, object);
    // A register written by a control or a page refresh can change any module's warnings.
    if ((hint >= 10 && hint <= 12) || (hint >= 20 && hint <= 23) ||
        hint == hwc::kHintModuleSelected) {
        NoteChange(sender, hint, object);
        RequestWarnings();
    }
}

void CProjDocBase::RequestWarnings() {
    m_warningsPending = true;
    hwc::WakeIdle();
}

// --- Paths ---

std::string CProjDocBase::ProjectFolder() const {
    if (m_projectFilePath.empty())
        return {};
    const fs::path folder = fs::path(m_projectFilePath).parent_path();
    if (folder.filename() == kConfigFolder)
        return folder.parent_path().string();
    return folder.string();
}

std::string CProjDocBase::ProjectName() const {
    return fs::path(ProjectFolder()).filename().string();
}

std::string CProjDocBase::ConfigSubfolder() const {
    if (fs::path(m_projectFilePath).parent_path().filename() == kConfigFolder)
        return kConfigFolder;
    return {};
}

std::string CProjDocBase::ProjectFile(const char* name, std::string_view subname) const {
    fs::path path = fs::path(ProjectFolder()) / (name ? std::string(name) : ConfigSubfolder());
    if (!subname.empty())
        path /= subname;
    return path.lexically_normal().string();
}

std::string CProjDocBase::Title() const {
    if (m_projectFilePath.empty())
        return {};
    return ProjectName() + " (" + fs::path(m_projectFilePath).filename().string() + ")";
}

std::string CProjDocBase::CreateTempPath(bool asFolder) {
    std::error_code error;
    const fs::path pattern = fs::temp_directory_path(error) / "HWCXXXXXX";
    std::string path = pattern.string();
    if (asFolder) {
        if (!mkdtemp(path.data()))
            return {};
    } else {
        const int fd = mkstemp(path.data());
        if (fd < 0)
            return {};
        close(fd);
    }
    m_tempPaths.push_back(path);
    return path;
}

void CProjDocBase::ReleaseFilesForExit() {
    m_lock.reset();
    DeleteTempPaths();
}

void CProjDocBase::DeleteTempPaths() {
    std::error_code error;
    for (const std::string& path : m_tempPaths)
        fs::remove_all(path, error);
    m_tempPaths.clear();
}

// --- Lock ---

bool CProjDocBase::CheckAlreadyOpen(const std::string& path) {
    auto lock = std::make_unique<CProjectLock>();
    const pid_t holder = lock->Acquire(path, !m_keepLock);
    if (holder == CProjectLock::kRefused) {
        hwc::ShowMessage(lock->Problem());
        return false;
    }
    // This process holding the lock means this document only when the lock is its own: another
    // document of the same process must not work on the project too.
    const bool ownLock = m_lock && m_lock->Guards(path);
    if (holder == 0 || (holder == getpid() && ownLock)) {
        if (lock->IsHeld())
            m_lock = std::move(lock);
        return true;
    }
    ActivateHolder(holder);
    return false;
}

void CProjDocBase::ActivateHolder(long holder) {
    hwc::ShowMessage(kAlreadyOpenQuestion, hwc::EButtons::YesNo, hwc::EAnswer::Yes);
}
