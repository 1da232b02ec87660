#pragma once
// A document stand-in for the power management, real-time counter and temperature sensor tests:
// processor groups, the warnings raised in it, and an interrupt controller with user vectors.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/ModuleHost.h"
#include "modules/framework/CModule.h"
#include "modules/interrupts/InterruptQueries.h"

class CPowerTestHost final : public IModuleHost, public CModule::IProcessorGroups {
public:
    struct tWarning {
        bool active = false;
        std::string message;
    };

    std::size_t ModuleCount() const override { return modules.size(); }
    CModuleBase* ModuleAt(std::size_t index) const override { return modules[index].get(); }
    bool GenerateComments() const override { return true; }
    bool GenerateDefaults() const override { return false; }
    bool KeepUserComments() const override { return false; }
    void RegisterItem(const tPerCfgItem&, CModuleBase&) override {}
    void SetWarning(CModuleBase*, int id, bool active, const char* message, const char*) override {
        warnings[id] = {active, message ? message : ""};
    }
    bool IsProcessorGroup(int entry) const override { return groups.count(entry) != 0; }

    // Creates a module as the document does; `interrupts` is the architecture file's list
    // ("INT:12:").
    template <class T>
    T& Add(const std::string& instance, const std::string& typeKey,
           const std::string& interrupts = {}) {
        hwc::ScopedHostBeingOpened opening(this);
        CModuleDescriptor descriptor(instance, typeKey);
        descriptor.SetField(CModuleDescriptor::kInterruptList, interrupts);
        auto module = std::make_unique<T>(nullptr, &descriptor);
        T& result = *module;
        modules.push_back(std::move(module));
        return result;
    }
    void BindAll() {
        for (auto& module : modules)
            module->BindControls(this);
    }
    // Whether a warning of that control is raised now.
    bool Warns(int id) const {
        const auto found = warnings.find(id);
        return found != warnings.end() && found->second.active;
    }

    std::vector<std::unique_ptr<CModuleBase>> modules;
    std::map<int, tWarning> warnings;
    std::set<int> groups;
};

// An interrupt controller that answers the user vectors it is given.
class CpmUserVectorsTest : public CModule, public hwc::IInterruptController {
    HWC_DECLARE_MODULE_CLASS(CpmUserVectorsTest, CModule)
public:
    CpmUserVectorsTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClaimVector(const CModuleBase*, int, const std::string&, bool) override { return false; }
    const CModuleBase* VectorOwner(int) const override { return nullptr; }
    std::optional<hwc::tUserVector> UserVectorOf(int source) const override {
        const auto found = userVectors.find(source);
        if (found == userVectors.end())
            return std::nullopt;
        return found->second;
    }
    bool DebugPortInterruptsEnabled() const override { return false; }

    std::map<int, hwc::tUserVector> userVectors;
};

// A module of another class, to stand where a power management module is looked for.
class CpmPlainTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPlainTest, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"-PMC_CR2_INIT", 0x1FF, hwc::RegFlag::DW16}};
    CpmPlainTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 1) {}
};
