#pragma once
// Stand-ins for the SPI and debug-monitor tests: a clock module with a chosen bus clock, a
// peripheral with interrupt rows, and an interrupt controller that records claims and can refuse
// them.

#include <map>
#include <optional>
#include <set>
#include <string>

#include "model/DialogTemplate.h"
#include "modules/framework/CModule.h"
#include "modules/interrupts/InterruptQueries.h"

namespace hwc::test::spivmon {

class CpmSerialClockFake : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSerialClockFake, CModule)
public:
    CpmSerialClockFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A module that has only its interrupt rows.
class CpmRowsFake : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmRowsFake, CModule)
public:
    CpmRowsFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
};

// Vector claims by source: the owner and the routine name written; a release gives the name
// back. Sources in `refused` belong to some other module.
class CpmClaimsFake : public CModule, public IInterruptController {
    HWC_DECLARE_MODULE_CLASS(CpmClaimsFake, CModule)
public:
    CpmClaimsFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClaimVector(const CModuleBase* owner, int source, const std::string& routine,
                     bool claim) override {
        if (refused.count(source))
            return false;
        const auto found = owners.find(source);
        if (claim) {
            if (found != owners.end() && found->second != owner)
                return false;
            owners[source] = owner;
            names[source] = routine;
            return true;
        }
        if (found == owners.end() || found->second != owner)
            return false;
        owners.erase(found);
        names.erase(source);
        return true;
    }
    const CModuleBase* VectorOwner(int source) const override {
        const auto found = owners.find(source);
        return found == owners.end() ? nullptr : found->second;
    }
    std::optional<tUserVector> UserVectorOf(int source) const override {
        const auto found = userVectors.find(source);
        if (found == userVectors.end())
            return std::nullopt;
        return found->second;
    }
    bool DebugPortInterruptsEnabled() const override { return debugPort; }
    // The routine written into the source, or empty.
    std::string Name(int source) const {
        const auto found = names.find(source);
        return found == names.end() ? std::string() : found->second;
    }

    std::map<int, const CModuleBase*> owners;
    std::map<int, std::string> names;
    std::map<int, tUserVector> userVectors;
    std::set<int> refused;
    bool debugPort = false;
};

} // namespace hwc::test::spivmon
