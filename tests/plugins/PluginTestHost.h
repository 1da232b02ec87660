#pragma once
// A document stand-in for the plug-in tests: it holds plug-in modules made from register sets
// written inline, knows its processor define and clock inputs, and records the views' updates,
// the warnings and the pages it was asked to show. A page stand-in records the events it gets.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/IniFile.h"
#include "model/ModuleHost.h"
#include "modules/clocks/ClockQueries.h"
#include "plugins/ConfigToolObj.h"
#include "plugins/PluginFile.h"
#include "plugins/PluginModule.h"

namespace hwc::test {

class CPluginTestHost final : public IModuleHost, public IProjectClocks {
public:
    std::size_t ModuleCount() const override { return modules.size(); }
    CModuleBase* ModuleAt(std::size_t index) const override { return modules[index].get(); }
    bool GenerateComments() const override { return true; }
    bool GenerateDefaults() const override { return generateDefaults; }
    bool KeepUserComments() const override { return false; }
    void RegisterItem(const tPerCfgItem&, CModuleBase&) override {}
    void UpdateAllViews(CModuleBase* sender, int hint, const void*) override {
        updates.emplace_back(sender, hint);
    }
    void SetWarning(CModuleBase* module, int id, bool active, const char* message,
                    const char*) override {
        if (active)
            warnings[{module, id}] = message ? message : "";
        else
            warnings.erase({module, id});
    }
    bool ShowModulePage(CModuleBase& module) override {
        shownPages.push_back(&module);
        return true;
    }
    std::string ProcessorDefineName() const override { return processorDefine; }
    float ExternalClockMHz() const override { return external; }
    void SetExternalClockMHz(float mhz) override { external = mhz; }
    float CrystalClockMHz() const override { return crystal; }
    void SetCrystalClockMHz(float mhz) override { crystal = mhz; }

    // A plug-in module with that id and class whose register set is given as "NAME=value"
    // lines; the description it is made from lives as long as the host.
    CPluginModule& AddPlugin(const std::string& id, const std::string& className,
                             const std::vector<std::pair<std::string, std::string>>& rows = {},
                             const std::string& mainDoc = "page.htm") {
        auto section = std::make_unique<CIniFileSection>(className);
        for (const auto& [key, value] : rows)
            section->Set(key, value);
        auto regs = std::make_unique<CPluginRegs>();
        regs->Build(section.get());
        auto info = std::make_unique<CPluginInfo>();
        info->id = id;
        info->className = className;
        info->name = id + " driver";
        info->helpFile = "help.pdf#4";
        info->mainDoc = mainDoc;
        info->registers = regs.get();
        infos.push_back(std::move(info));
        sets.push_back(std::move(regs));
        ScopedHostBeingOpened opening(this);
        auto module = std::make_unique<CPluginModule>(*infos.back());
        CPluginModule& result = *module;
        modules.push_back(std::move(module));
        return result;
    }
    // Destroys the module as the document's end does.
    void Remove(CModuleBase& module) {
        for (auto it = modules.begin(); it != modules.end(); ++it) {
            if (it->get() == &module) {
                modules.erase(it);
                return;
            }
        }
    }
    std::string Warning(const CModuleBase& module, int id) const {
        const auto found = warnings.find({const_cast<CModuleBase*>(&module), id});
        return found == warnings.end() ? "(none)" : found->second;
    }
    std::size_t UpdatesWithHint(int hint) const {
        std::size_t count = 0;
        for (const auto& update : updates)
            count += update.second == hint;
        return count;
    }

    // Declared before the modules: a module's register set must outlive it.
    std::vector<std::unique_ptr<CPluginInfo>> infos;
    std::vector<std::unique_ptr<CPluginRegs>> sets;
    std::vector<std::unique_ptr<CModuleBase>> modules;
    std::vector<std::pair<CModuleBase*, int>> updates;
    std::map<std::pair<CModuleBase*, int>, std::string> warnings;
    std::vector<CModuleBase*> shownPages;
    std::string processorDefine;
    float external = 0.0f;
    float crystal = 0.0f;
    bool generateDefaults = true;
};

// A browser that loads nothing: installing it makes its module the current web-page module.
class CNullNavigator final : public CHtmlModule::INavigator {
public:
    void LoadAddress(const std::string& address) override { loaded.push_back(address); }
    void Redraw() override {}
    std::vector<std::string> loaded;
};

// A page's event handlers: each event is logged as "<name>:<event>"; optional actions run
// inside an event, as a page's script would.
class CRecordingSink final : public IConfigToolEvents {
public:
    CRecordingSink(std::vector<std::string>& log, std::string name)
        : m_log(log), m_name(std::move(name)) {}

    void OnRefreshAll() override { Log("refresh", onRefresh); }
    void OnUpdateAll() override { Log("update", onUpdate); }
    void OnCheckWarnings() override { Log("check", onCheck); }
    std::int32_t OnShowToolTip(std::int32_t tipId, const std::string& text,
                               const std::string& title) override {
        m_log.push_back(m_name + ":tip " + std::to_string(tipId) + " " + text + " / " + title);
        return tipAnswer;
    }
    void OnGenerateComment() override { Log("comment", onComment); }
    void OnProjectClosing() override { Log("closing", onClosing); }

    std::function<void()> onRefresh, onUpdate, onCheck, onComment, onClosing;
    std::int32_t tipAnswer = 0;

private:
    void Log(const char* event, const std::function<void()>& action) {
        m_log.push_back(m_name + ":" + event);
        if (action)
            action();
    }

    std::vector<std::string>& m_log;
    std::string m_name;
};

} // namespace hwc::test
