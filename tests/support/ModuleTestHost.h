#pragma once
// A document stand-in for the module tests: it knows its processor groups and clock
// frequencies, creates modules as the document does while opening, and records every warning
// raised or cleared in it (the current state per module and control, and the calls in order).

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "model/ModuleDescriptor.h"
#include "model/ModuleHost.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/framework/CModule.h"

namespace hwc::test {

// Processor-table group flags the module classes test.
inline constexpr int kFamG = 94, kFamH = 95, kFamJ = 96, kFlag97 = 97, kFamB = 100,
                     kFamK = 101, kFlag102 = 102, kFamA = 103, kFamC = 106, kFlag107 = 107,
                     kFlag108 = 108, kFamE = 109, kFamF = 113, kFamD = 116;

class CModuleTestHost final : public IModuleHost,
                              public CModule::IProcessorGroups,
                              public IProjectClocks {
public:
    // One SetWarning call.
    struct tWarningCall {
        CModuleBase* module = nullptr;
        int id = 0;
        bool active = false;
        std::string message;
    };

    std::size_t ModuleCount() const override { return modules.size(); }
    CModuleBase* ModuleAt(std::size_t index) const override { return modules[index].get(); }
    bool GenerateComments() const override { return generateComments; }
    bool GenerateDefaults() const override { return false; }
    bool KeepUserComments() const override { return false; }
    void RegisterItem(const tPerCfgItem&, CModuleBase&) override {}
    void SetWarning(CModuleBase* module, int id, bool active, const char* message,
                    const char*) override {
        calls.push_back({module, id, active, message ? message : ""});
        if (active)
            warnings[{module, id}] = message ? message : "";
        else
            warnings.erase({module, id});
    }
    void UpdateAllViews(CModuleBase*, int hint, const void*) override { hints.push_back(hint); }
    bool IsModuleWithoutClass(std::string_view instance) const override {
        return withoutClass.count(std::string(instance)) != 0;
    }
    bool IsProcessorGroup(int entry) const override { return groups.count(entry) != 0; }
    float ExternalClockMHz() const override { return external; }
    void SetExternalClockMHz(float mhz) override { external = mhz; }
    float CrystalClockMHz() const override { return crystal; }
    void SetCrystalClockMHz(float mhz) override { crystal = mhz; }

    // Creates a module as the document does: `moduleInfo` holds the architecture file's module
    // information lines, `interrupts` its interrupt list ("INT:12,13:").
    template <class T>
    T& Add(const std::string& instance, const std::string& typeKey,
           const std::string& moduleInfo = {}, const std::string& interrupts = {}) {
        CModuleDescriptor descriptor(instance, typeKey);
        descriptor.SetModuleInfo(moduleInfo);
        descriptor.SetField(CModuleDescriptor::kInterruptList, interrupts);
        return Add<T>(descriptor);
    }
    template <class T> T& Add(const CModuleDescriptor& descriptor) {
        ScopedHostBeingOpened opening(this);
        auto module = std::make_unique<T>(nullptr, &descriptor);
        T& result = *module;
        modules.push_back(std::move(module));
        return result;
    }
    void BindAll() {
        for (auto& module : modules)
            module->BindControls(this);
    }
    // Creates every module's page, as opening each page in turn does.
    void OpenAll() {
        for (auto& module : modules) {
            module->CreatePage();
            module->OnInitialUpdate();
        }
    }

    // The active warning of a control on any module; empty when none.
    std::string Warning(int id) const {
        for (const auto& [key, text] : warnings) {
            if (key.second == id)
                return text;
        }
        return {};
    }
    std::string Warning(const CModuleBase& module, int id) const {
        const auto found = warnings.find({const_cast<CModuleBase*>(&module), id});
        return found == warnings.end() ? std::string() : found->second;
    }
    bool Warns(int id) const {
        for (const auto& [key, text] : warnings) {
            if (key.second == id)
                return true;
        }
        return false;
    }
    // The active warnings by control, whatever module raised them.
    std::map<int, std::string> Active() const {
        std::map<int, std::string> active;
        for (const auto& [key, text] : warnings)
            active[key.second] = text;
        return active;
    }

    std::vector<std::unique_ptr<CModuleBase>> modules;
    std::map<std::pair<CModuleBase*, int>, std::string> warnings;
    std::vector<tWarningCall> calls;
    std::vector<int> hints;
    std::set<int> groups;
    std::set<std::string> withoutClass; // instances the processor has but no class can show
    float external = 0.0f;
    float crystal = 0.0f;
    bool generateComments = true;
};

} // namespace hwc::test
