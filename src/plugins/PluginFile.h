#pragma once
// Plug-in description files: an INI file whose "hwc_plugins" section lists plug-in sections,
// each declaring one software module (its page, help, tree position, device filter, header file
// and register set).

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/IniFile.h"
#include "model/RegisterItem.h"

// One register set of a description file: rows in the shape of a definition table.
class CPluginRegs {
public:
    CPluginRegs() = default;
    CPluginRegs(const CPluginRegs&) = delete;
    CPluginRegs& operator=(const CPluginRegs&) = delete;

    // One row per entry of the section, in file order: "NAME=default[;FLAG|FLAG...]".
    void Build(const CIniFileSection* section); // absent section: empty set
    const tPerCfgDef* Table() const;            // null when empty
    int Count() const;
    // The default text of a STRVALUE row ("" when none).
    const std::string& DefaultText(std::string_view name) const;

private:
    std::vector<std::string> m_names; // the rows point into these
    std::vector<tPerCfgDef> m_rows;
    std::map<std::string, std::string, std::less<>> m_defaultTexts;
};

class CPluginFile;

struct CPluginInfo {
    CPluginFile* owner = nullptr;
    std::string id, className, name, helpFile, treePath, mainDoc, deviceFilter, headerFile;
    CPluginRegs* registers = nullptr; // null: no registers
    bool earlyLoad = false, externalApp = false;

    // The help document (plug-in folder + part before '#') and its page (0 when none).
    std::string HelpDocument(int* page = nullptr) const;
    // "file://" + folder + maindoc with '\\' turned into '/'; empty without maindoc.
    std::string PageAddress() const;

    // Whether the plug-in is meant for a processor: an empty filter matches every name; a
    // filter that is no valid regular expression matches none and says so.
    enum class EFilterMatch { kMatch, kNoMatch, kInvalid };
    EFilterMatch MatchesProcessor(std::string_view processorName) const;
};

class CPluginFile {
public:
    CPluginFile();
    ~CPluginFile();
    CPluginFile(const CPluginFile&) = delete;
    CPluginFile& operator=(const CPluginFile&) = delete;

    bool Load(const std::string& path); // true when at least one plug-in was read
    const std::string& Path() const;
    std::string Folder() const; // the folder holding the file
    const std::vector<std::unique_ptr<CPluginInfo>>& Plugins() const;
    CPluginRegs* RegisterSet(const std::string& sectionName); // cached; built on first use

private:
    CIniFile m_ini;
    std::string m_path;
    std::vector<std::unique_ptr<CPluginInfo>> m_plugins;
    std::map<std::string, std::unique_ptr<CPluginRegs>> m_registerSets;
};

namespace hwc {

// The boolean of a description-file key: "1", "Y" or "y" at the start, or "true" in any case.
bool PluginFlag(std::string_view text);

} // namespace hwc
