#include "modules/routing/RoutingQueries.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "modules/framework/ModuleQueries.h"
#include "modules/timers/TimerQueries.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;

// A crossbar whose outputs 38 and 40 are configured, 38 in mode 2.
class CpmCrossbarTest : public CModule, public hwc::ICrossbar {
    HWC_DECLARE_MODULE_CLASS(CpmCrossbarTest, CModule)
public:
    CpmCrossbarTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return output == 38 || output == 40; }
    int OutputMode(int output) const override { return output == 38 ? 2 : 0; }
    hwc::tCrossbarSourceCheck CheckOutputSource(int output) const override {
        return {IsOutputConfigured(output), IsOutputConfigured(output) ? "" : "not set up"};
    }
    bool IsSignalInUse(std::string_view signal) const override { return signal == "XB_IN7"; }
    std::string OutputLabel(int output) const override { return std::to_string(output) + ". X."; }
    std::optional<hwc::tCrossbarField> OutputField(int output) const override {
        return hwc::tCrossbarField{"XBC0_INIT", output % 2 ? 8 : 0, 6};
    }
    std::vector<std::string> InputNames() const override { return {"VSS", "VDD"}; }
};

// A module that answers its enable, a channel's frequency and the delay block's triggers.
class CpmAnsweringTest : public CModule,
                         public hwc::IModuleEnable,
                         public hwc::ITimerChannel,
                         public hwc::IDelayBlock {
    HWC_DECLARE_MODULE_CLASS(CpmAnsweringTest, CModule)
public:
    CpmAnsweringTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsModuleEnabled() const override { return enabled; }
    double CountingFrequencyHz() const override { return 15000000.0; }
    bool IsTriggerEnabled(char trigger) const override { return trigger == 'A'; }
    bool enabled = false;
};

class CpmSilentTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSilentTest, CModule)
public:
    CpmSilentTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
};


TEST(CrossModuleQueries, AbsentModulesGiveTheAbsentAnswers) {
    CModuleTestHost host;
    CModule& asker = host.Add<CpmSilentTest>("EWM", "EWM");
    EXPECT_FALSE(hwc::CrossbarExists(asker, "XBAR_A"));
    EXPECT_TRUE(hwc::CrossbarOutputConfigured(asker, "XBAR_A", 58));
    EXPECT_EQ(hwc::CrossbarOutputMode(asker, "XBAR_A", 58), -1);
    EXPECT_EQ(hwc::CrossbarLink(asker, "XBAR_A"), "XBAR_A");
    EXPECT_TRUE(hwc::CrossbarSourceCheck(asker, "XBAR_A", 3).passes);
    EXPECT_FALSE(hwc::CrossbarSignalInUse(asker, "XBAR_A", "XB_IN7"));
    EXPECT_EQ(hwc::CrossbarOutputLabel(asker, "XBAR_A", 12), "Crossbar output 12.");
    EXPECT_FALSE(hwc::CrossbarOutputField(asker, "XBAR_A", 3).has_value());
    EXPECT_TRUE(hwc::CrossbarInputNames(asker, "XBAR_A").empty());
    EXPECT_FALSE(hwc::ModuleExists(asker, "HSCMP_0"));
    EXPECT_TRUE(hwc::ModuleEnabled(asker, "HSCMP_0", true));
    EXPECT_FALSE(hwc::ModuleEnabled(asker, "HSCMP_0", false));
    EXPECT_EQ(hwc::TimerCountingFrequency(asker, "QT_A0"), 0.0);
    EXPECT_TRUE(hwc::DelayBlockTriggerEnabled(asker, 'B', true));
}

TEST(CrossModuleQueries, ModulesOfAnotherClassCountAsAbsent) {
    CModuleTestHost host;
    CModule& asker = host.Add<CpmSilentTest>("EWM", "EWM");
    host.Add<CpmSilentTest>("XBAR_A", "XBAR");
    host.Add<CpmSilentTest>("HSCMP_0", "HSCMP");
    host.Add<CpmSilentTest>("PDB", "PDB");
    EXPECT_FALSE(hwc::CrossbarExists(asker, "XBAR_A"));
    EXPECT_TRUE(hwc::CrossbarOutputConfigured(asker, "XBAR_A", 7));
    EXPECT_TRUE(hwc::ModuleExists(asker, "HSCMP_0"));
    EXPECT_FALSE(hwc::ModuleEnabled(asker, "HSCMP_0", false));
    EXPECT_FALSE(hwc::DelayBlockTriggerEnabled(asker, 'A', false));
}

TEST(CrossModuleQueries, AnsweringModulesAreAsked) {
    CModuleTestHost host;
    CModule& asker = host.Add<CpmSilentTest>("PDB_0", "PDB");
    host.Add<CpmCrossbarTest>("XBAR_A", "XBAR");
    CpmAnsweringTest& answering = host.Add<CpmAnsweringTest>("PDB", "PDB");
    EXPECT_TRUE(hwc::CrossbarOutputConfigured(asker, "XBAR_A", 38));
    EXPECT_FALSE(hwc::CrossbarOutputConfigured(asker, "XBAR_A", 41));
    EXPECT_EQ(hwc::CrossbarOutputMode(asker, "XBAR_A", 38), 2);
    EXPECT_EQ(hwc::CrossbarLink(asker, "XBAR_A"), "<A HREF=\"hwc:XBAR_A/XBAR\">XBAR_A</A>");
    EXPECT_EQ(hwc::CrossbarSourceCheck(asker, "XBAR_A", 41).message, "not set up");
    EXPECT_TRUE(hwc::CrossbarSignalInUse(asker, "XBAR_A", "XB_IN7"));
    EXPECT_EQ(hwc::CrossbarOutputLabel(asker, "XBAR_A", 12), "12. X.");
    EXPECT_EQ(hwc::CrossbarOutputField(asker, "XBAR_A", 3)->lowBit, 8);
    EXPECT_EQ(hwc::CrossbarInputNames(asker, "XBAR_A").size(), 2u);
    EXPECT_FALSE(hwc::ModuleEnabled(asker, "PDB", true));
    answering.enabled = true;
    EXPECT_TRUE(hwc::ModuleEnabled(asker, "PDB", false));
    EXPECT_EQ(hwc::TimerCountingFrequency(asker, "PDB"), 15000000.0);
    EXPECT_TRUE(hwc::DelayBlockTriggerEnabled(asker, 'A', false));
    EXPECT_FALSE(hwc::DelayBlockTriggerEnabled(asker, 'B', true));
}

} // namespace
