#include "plugins/PluginFile.h"

#include <filesystem>

#include "base/NumberScan.h"
#include "base/Regex.h"
#include "base/TextUtil.h"

namespace {

constexpr const char* kListSection = "hwc_plugins";

// A path of the description file's folder: '\' separates folders as '/' does; an absolute path
// stays as it is.
std::string CombineWithFolder(const std::string& folder, std::string_view relative) {
    std::string path = hwc::ReplaceAll(relative, "\\", "/");
    if (folder.empty() || (!path.empty() && path.front() == '/'))
        return path;
    if (path.empty())
        return folder;
    return folder.back() == '/' ? folder + path : folder + '/' + path;
}

// The help file a plug-in without one gets: its page with the extension ".pdf".
std::string DefaultHelpFile(const std::string& mainDoc) {
    const std::size_t folderEnd = mainDoc.find_last_of("\\/");
    const std::size_t dot = mainDoc.rfind('.');
    if (dot == std::string::npos || (folderEnd != std::string::npos && dot < folderEnd))
        return mainDoc + ".pdf";
    return mainDoc.substr(0, dot) + ".pdf";
}

// The module name a plug-in without one gets: the last level of its tree path, else the id
// followed by " Plugin".
std::string DefaultName(const std::string& treePath, const std::string& id) {
    if (treePath.empty())
        return id + " Plugin";
    const std::size_t cut = treePath.rfind('\\');
    return cut == std::string::npos ? treePath : treePath.substr(cut + 1);
}

} // namespace

// --- CPluginRegs ---

void CPluginRegs::Build(const CIniFileSection* section) {
    m_rows.clear();
    m_names.clear();
    m_defaultTexts.clear();
    if (!section)
        return;
    const std::vector<std::string>& keys = section->Keys();
    m_names.reserve(keys.size());
    m_rows.reserve(keys.size());
    for (const std::string& key : keys) {
        const std::string& entry = section->Get(key);
        const std::size_t semicolon = entry.find(';');
        const std::string defaultText = entry.substr(0, semicolon);
        std::uint32_t flags =
            semicolon == std::string::npos
                ? 0
                : hwc::RegisterFlagsFromKeywords(std::string_view(entry).substr(semicolon + 1));
        if ((flags & hwc::RegFlag::WIDTH_MASK) == 0)
            flags |= hwc::RegFlag::DW32;
        std::uint32_t defaultValue = 0;
        if (flags & hwc::RegFlag::STRVALUE) {
            // A string register with a default text holds it from the start and is always
            // written: a text the page puts in its place differs from the default only in its
            // words, which the omission of defaults does not compare.
            m_defaultTexts[key] = defaultText;
            if (!defaultText.empty()) {
                defaultValue = 1;
                flags |= hwc::RegFlag::NODEFAULT;
            }
        } else {
            defaultValue = hwc::ReadExactU32(defaultText).value_or(0);
        }
        m_names.push_back(key);
        m_rows.push_back({nullptr, defaultValue, flags});
    }
    // The names are in place now, so the rows may point into them.
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].pszName = m_names[i].c_str();
}

const tPerCfgDef* CPluginRegs::Table() const {
    return m_rows.empty() ? nullptr : m_rows.data();
}

int CPluginRegs::Count() const {
    return static_cast<int>(m_rows.size());
}

const std::string& CPluginRegs::DefaultText(std::string_view name) const {
    static const std::string kNone;
    const auto it = m_defaultTexts.find(name);
    return it == m_defaultTexts.end() ? kNone : it->second;
}

// --- CPluginInfo ---

std::string CPluginInfo::HelpDocument(int* page) const {
    const std::size_t hash = helpFile.find('#');
    if (page) {
        *page = 0;
        if (hash != std::string::npos) {
            const auto number = hwc::ReadExactU32(std::string_view(helpFile).substr(hash + 1));
            *page = static_cast<int>(number.value_or(0));
        }
    }
    const std::string file = helpFile.substr(0, hash);
    if (file.empty())
        return {};
    return CombineWithFolder(owner ? owner->Folder() : std::string(), file);
}

std::string CPluginInfo::PageAddress() const {
    if (mainDoc.empty())
        return {};
    return "file://" + CombineWithFolder(owner ? owner->Folder() : std::string(), mainDoc);
}

CPluginInfo::EFilterMatch CPluginInfo::MatchesProcessor(std::string_view processorName) const {
    if (deviceFilter.empty())
        return EFilterMatch::kMatch;
    try {
        const std::regex pattern = hwc::MakeRegex(deviceFilter.c_str(), false);
        return std::regex_search(processorName.begin(), processorName.end(), pattern)
                   ? EFilterMatch::kMatch
                   : EFilterMatch::kNoMatch;
    } catch (const std::exception&) {
        // A pattern the regular-expression library refuses, or one too complex to match.
        return EFilterMatch::kInvalid;
    }
}

// --- CPluginFile ---

CPluginFile::CPluginFile() = default;
CPluginFile::~CPluginFile() = default;

bool CPluginFile::Load(const std::string& path) {
    m_plugins.clear();
    m_registerSets.clear();
    m_path = path;
    if (!m_ini.Load(path, false))
        return false;
    const CIniFileSection* list = m_ini.FindSection(kListSection);
    if (!list)
        return false;
    for (int number = 1;; ++number) {
        const std::string& sectionName = list->Get("plugin" + std::to_string(number));
        if (sectionName.empty())
            break;
        const CIniFileSection* section = m_ini.FindSection(sectionName);
        if (!section)
            continue;
        auto info = std::make_unique<CPluginInfo>();
        info->owner = this;
        info->id = sectionName;
        if (hwc::Trim(info->id).empty())
            info->id = "UNKNOWN";
        const std::string& registers = section->Get("registers");
        info->className = section->Get("class");
        if (info->className.empty())
            info->className = registers.empty() ? info->id : registers;
        info->treePath = section->Get("treepath");
        info->name = section->Get("name");
        if (info->name.empty())
            info->name = DefaultName(info->treePath, info->id);
        if (info->treePath.empty())
            info->treePath = info->name;
        info->mainDoc = section->Get("maindoc");
        info->helpFile = section->Get("helpfile");
        if (info->helpFile.empty())
            info->helpFile = DefaultHelpFile(info->mainDoc);
        info->deviceFilter = section->Get("devicefilter");
        info->headerFile = section->Get("headerfile");
        info->earlyLoad = hwc::PluginFlag(section->Get("earlyload"));
        info->externalApp = hwc::PluginFlag(section->Get("externalapp"));
        if (!registers.empty())
            info->registers = RegisterSet(registers);
        m_plugins.push_back(std::move(info));
    }
    return !m_plugins.empty();
}

const std::string& CPluginFile::Path() const {
    return m_path;
}

std::string CPluginFile::Folder() const {
    return std::filesystem::path(m_path).parent_path().string();
}

const std::vector<std::unique_ptr<CPluginInfo>>& CPluginFile::Plugins() const {
    return m_plugins;
}

CPluginRegs* CPluginFile::RegisterSet(const std::string& sectionName) {
    std::unique_ptr<CPluginRegs>& set = m_registerSets[sectionName];
    if (!set) {
        set = std::make_unique<CPluginRegs>();
        set->Build(m_ini.FindSection(sectionName));
    }
    return set.get();
}

namespace hwc {

bool PluginFlag(std::string_view text) {
    if (text.empty())
        return false;
    return text.front() == '1' || text.front() == 'Y' || text.front() == 'y' ||
           EqualsNoCase(text, "true");
}

} // namespace hwc
