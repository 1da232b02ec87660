#pragma once
// The crossbar answers a test's fake crossbar does not care about: every source passes, no
// signal is in use, outputs have plain labels and no register field, and there are no inputs.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "modules/routing/RoutingQueries.h"

namespace hwc::test {

class CCrossbarStub : public hwc::ICrossbar {
public:
    hwc::tCrossbarSourceCheck CheckOutputSource(int output) const override {
        return {IsOutputConfigured(output), {}};
    }
    bool IsSignalInUse(std::string_view) const override { return false; }
    std::string OutputLabel(int output) const override {
        return "Crossbar output " + std::to_string(output) + ".";
    }
    std::optional<hwc::tCrossbarField> OutputField(int) const override { return std::nullopt; }
    std::vector<std::string> InputNames() const override { return {}; }
};

} // namespace hwc::test
