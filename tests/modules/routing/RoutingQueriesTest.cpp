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
    EXPECT_FALSE(hwc::ModuleEnabled(asker, "PDB", true));
    answering.enabled = true;
    EXPECT_TRUE(hwc::ModuleEnabled(asker, "PDB", false));
    EXPECT_EQ(hwc::TimerCountingFrequency(asker, "PDB"), 15000000.0);
    EXPECT_TRUE(hwc::DelayBlockTriggerEnabled(asker, 'A', false));
    EXPECT_FALSE(hwc::DelayBlockTriggerEnabled(asker, 'B', true));
}

} // namespace
