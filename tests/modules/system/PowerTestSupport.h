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
#include "support/ModuleTestHost.h"
#include "modules/framework/CModule.h"
#include "modules/interrupts/InterruptQueries.h"

using CPowerTestHost = hwc::test::CModuleTestHost;

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
