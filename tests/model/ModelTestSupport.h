#pragma once
// A document stand-in and small module classes for the model tests.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "header/AppcfgFile.h"
#include "model/ModuleBase.h"

class CFakeHost final : public IModuleHost {
public:
    std::size_t ModuleCount() const override { return modules.size(); }
    CModuleBase* ModuleAt(std::size_t index) const override { return modules[index].get(); }
    bool GenerateComments() const override { return generateComments; }
    bool GenerateDefaults() const override { return generateDefaults; }
    bool KeepUserComments() const override { return keepUserComments; }
    void RegisterItem(const tPerCfgItem& item, CModuleBase& owner) override {
        itemOwners[&item] = &owner;
    }

    // Creates a module of class T in this document, as the document does while opening.
    template <class T, class... Args> T& Add(Args&&... args) {
        hwc::ScopedHostBeingOpened opening(this);
        auto module = std::make_unique<T>(std::forward<Args>(args)...);
        T& result = *module;
        modules.push_back(std::move(module));
        return result;
    }

    std::vector<std::unique_ptr<CModuleBase>> modules;
    std::map<const tPerCfgItem*, CModuleBase*> itemOwners;
    bool generateComments = true;
    bool generateDefaults = false;
    bool keepUserComments = false;
};

// A module whose definition table is given at construction.
class CpmTableTest : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmTableTest, CModuleBase)
public:
    CpmTableTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 100, descriptor, nullptr, 0) {}
    CpmTableTest(const CModuleDescriptor& descriptor, const std::vector<tPerCfgDef>& table)
        : CModuleBase(nullptr, 100, &descriptor, table.data(), static_cast<int>(table.size())) {}

    void Recalculate() override { ++recalculations; }
    int recalculations = 0;
};

// A class derived from the one above, to test class relations.
class CpmDerivedTest : public CpmTableTest {
    HWC_DECLARE_MODULE_CLASS(CpmDerivedTest, CpmTableTest)
public:
    using CpmTableTest::CpmTableTest;
};

// An unrelated module class.
class CpmOtherTest : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmOtherTest, CModuleBase)
public:
    CpmOtherTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 200, descriptor, nullptr, 0) {}
};

inline CModuleDescriptor MakeDescriptor(const std::string& instance, const std::string& typeKey,
                                        const std::string& moduleInfo = {}) {
    CModuleDescriptor descriptor(instance, typeKey);
    descriptor.SetModuleInfo(moduleInfo);
    return descriptor;
}

// Adds a definition to a parsed header as the reader would.
inline CAppcfgEntry& Define(CAppcfgFile& header, const std::string& name, const std::string& value,
                            const std::string& comment = {}) {
    CAppcfgEntry& entry = header.Definitions().Obtain(name);
    entry.value = value;
    entry.comment = comment;
    return entry;
}
