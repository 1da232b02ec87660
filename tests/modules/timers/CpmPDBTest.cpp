#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "modules/framework/ModuleQueries.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/system/CpmSYS_FamA.h"
#include "modules/timers/CpmPDB.h"
#include "modules/timers/TimerQueries.h"
#include "support/CrossbarStub.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using P = CpmPDB;

class CpmPdbClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPdbClock, CModule)
public:
    CpmPdbClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A crossbar whose outputs are configured as the test says.
class CpmPdbCrossbar : public CModule, public hwc::test::CCrossbarStub {
    HWC_DECLARE_MODULE_CLASS(CpmPdbCrossbar, CModule)
public:
    CpmPdbCrossbar(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return configured.count(output) != 0; }
    int OutputMode(int) const override { return -1; }
    std::set<int> configured;
};

// A comparator, PWM or converter that answers its enable.
class CpmPdbSource : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmPdbSource, CModule)
public:
    CpmPdbSource(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsModuleEnabled() const override { return enabled; }
    bool enabled = false;
};

struct CPdbFixture {
    CPdbFixture(std::set<int> groups, float busMHz, const char* instance = "PDB",
                const std::vector<std::string>& others = {}) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmPdbClock>("OCCS", "OCCS").busMHz = busMHz;
        for (const std::string& name : others) {
            if (name == "XBAR_A")
                crossbar = &host.Add<CpmPdbCrossbar>(name, "XBAR");
            else if (name == "SYS")
                host.Add<CpmSYS_FamA>(name, "SYS_FamA");
            else
                host.Add<CpmPdbSource>(name, "X");
        }
        pdb = &host.Add<CpmPDB>(instance, "PDB");
        pdb->SetSelected(true);
        host.BindAll();
        pdb->CreatePage();
        pdb->OnInitialUpdate();
    }
    CPageControl& Control(int id) { return *pdb->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    // Sets prescaler field, modulus and control registers, then checks.
    void Set(std::uint32_t control, std::uint32_t modulus) {
        pdb->Item(P::kControlItem).dwValue = control;
        pdb->Item(P::kModulusItem).dwValue = modulus;
        Check();
    }
    void Delay(int item, std::uint32_t value) {
        pdb->Item(item).dwValue = value;
        Check();
    }
    void Check() {
        pdb->RefreshControls();
        pdb->CheckWarnings();
    }
    std::string Warning(int id) { return host.Warning(*pdb, id); }
    CpmPdbSource& Source(const char* name) {
        return *dynamic_cast<CpmPdbSource*>(CModuleBase::FindModule(&host, name));
    }

    CHost host;
    CpmPDB* pdb = nullptr;
    CpmPdbCrossbar* crossbar = nullptr;
};

constexpr std::uint32_t kPrescaler4 = 2u << 13;
constexpr std::uint32_t kOlderTriggerA = 1u << 1;
constexpr std::uint32_t kOlderTriggerB = 1u << 0;

std::string Names(const CModuleBase& module) {
    std::string names;
    for (int i = 0; i < module.ItemCount(); ++i)
        names += module.GetDefineName(module.Item(i)) + " ";
    return names;
}

} // namespace

TEST(CpmPDB, RegisterLayoutsByGroup) {
    CPdbFixture older({hwc::test::kFamA}, 8.0f);
    EXPECT_EQ(Names(*older.pdb), "PDB_SCR_INIT PDB_DELAYA_INIT PDB_DELAYB_INIT PDB_MOD_INIT ");
    EXPECT_EQ(older.pdb->Item(P::kModulusItem).dwValue, 0xFFFFu);
    EXPECT_EQ(older.pdb->TemplateId(), P::kTemplateId);
    EXPECT_FALSE(older.pdb->IsNewLayout());

    CPdbFixture newer({hwc::test::kFamE}, 8.0f, "PDB_1");
    EXPECT_EQ(Names(*newer.pdb),
              "PDB_1_MCTRL_INIT PDB_1_DELAYA_INIT PDB_1_DELAYB_INIT PDB_1_MOD_INIT "
              "PDB_1_CTRLA_INIT PDB_1_CTRLC_INIT PDB_1_DELAYC_INIT PDB_1_DELAYD_INIT ");
    EXPECT_EQ(newer.pdb->Item(P::kModulusItem).dwValue, 0xFFFFu);
    EXPECT_EQ(newer.pdb->DialogTemplate()->Id(), P::kFamETemplateId);
}

TEST(CpmPDB, FrequencyPeriodAndDelayWarningAtTheBounds) {
    CPdbFixture f({hwc::test::kFamA}, 8.0f);
    f.Set(kPrescaler4 | kOlderTriggerA, 100);
    EXPECT_EQ(f.Text(P::kFrequencyId), "20 kHz");
    EXPECT_EQ(f.Text(P::kPeriodId), "50 us");
    f.Delay(P::kDelayAItem, 99); // (396 + 2) / F
    EXPECT_EQ(f.Text(P::kDelayTimeId), "49.75 us");
    EXPECT_EQ(f.Warning(P::kDelayLabelId), "");
    EXPECT_EQ(f.Text(P::kDelayLabelId), "Trigger A Delay:");
    f.Delay(P::kDelayAItem, 100); // (400 + 2) / F
    EXPECT_EQ(f.Text(P::kDelayTimeId), "50.25 us");
    EXPECT_EQ(f.Warning(P::kDelayLabelId), "Trigger A delay is longer than counter period.");
    // A disabled trigger, or a module not written, is not checked.
    f.Set(kPrescaler4, 100);
    EXPECT_EQ(f.Warning(P::kDelayLabelId), "");
    EXPECT_EQ(f.Text(P::kDelayLabelId), "Trigger A Delay:");
    f.pdb->SetSelected(false);
    f.Set(kPrescaler4 | kOlderTriggerA, 100);
    EXPECT_EQ(f.Warning(P::kDelayLabelId), "");
    f.pdb->SetSelected(true);

    // Without prescaling one count below the modulus already outlasts the period.
    f.Set(kOlderTriggerB, 100);
    f.Delay(P::kDelayBItem, 98);
    EXPECT_EQ(f.Warning(P::kDelayLabelId + 4), "");
    f.Delay(P::kDelayBItem, 99);
    EXPECT_EQ(f.Warning(P::kDelayLabelId + 4), "Trigger B delay is longer than counter period.");
    // The largest prescaler and delay do not overflow.
    f.Set((7u << 13) | kOlderTriggerB, 0xFFFF);
    f.Delay(P::kDelayBItem, 0xFFFF);
    EXPECT_DOUBLE_EQ(P::DelayTime(0xFFFF, 128, 8e6), (65535.0 * 128 + 2) / 8e6);
    EXPECT_EQ(f.Text(P::kDelayTimeId + 4), "1.04856 sec");
    EXPECT_EQ(f.Warning(P::kDelayLabelId + 4), "Trigger B delay is longer than counter period.");
}

TEST(CpmPDB, ZeroModulusDelayAndClock) {
    CPdbFixture f({hwc::test::kFamA}, 8.0f);
    f.Set(kOlderTriggerA, 0);
    f.Delay(P::kDelayAItem, 10);
    EXPECT_EQ(f.Text(P::kFrequencyId), "??");
    EXPECT_EQ(f.Text(P::kPeriodId), "??");
    EXPECT_EQ(f.Text(P::kDelayTimeId), "1.5 us");
    // An unknown period is not compared with.
    EXPECT_EQ(f.Warning(P::kDelayLabelId), "");
    f.Delay(P::kDelayAItem, 0);
    EXPECT_EQ(f.Text(P::kDelayTimeId), "OFF");

    for (float bus : {-1.0f, 0.0f}) {
        CPdbFixture g({hwc::test::kFamE}, bus, "PDB_0");
        g.pdb->Item(P::kCtrlAItem).dwValue = 3;
        g.pdb->Item(P::kCtrlCItem).dwValue = 3;
        for (int item : {P::kDelayAItem, P::kDelayBItem, P::kDelayCItem, P::kDelayDItem})
            g.pdb->Item(item).dwValue = 0xFFFF;
        g.Set(0, 100);
        EXPECT_EQ(g.Text(P::kFrequencyId), "??");
        EXPECT_EQ(g.Text(P::kPeriodId), "??");
        for (int trigger = 0; trigger < 4; ++trigger) {
            EXPECT_EQ(g.Text(P::kDelayTimeId + 4 * trigger), "OFF") << trigger;
            EXPECT_EQ(g.Warning(P::kDelayLabelId + 4 * trigger), "") << trigger;
        }
    }
    const P::tTiming none = P::Timing(0.0, 0, 100);
    EXPECT_EQ(none.frequency, 0.0);
    EXPECT_EQ(none.period, 0.0);
}

TEST(CpmPDB, NewerLayoutTriggersCAndD) {
    CPdbFixture f({hwc::test::kFamE}, 8.0f, "PDB_0");
    f.pdb->Item(P::kCtrlCItem).dwValue = 1u << 0; // trigger D only
    f.pdb->Item(P::kDelayCItem).dwValue = 200;
    f.pdb->Item(P::kDelayDItem).dwValue = 200;
    f.Set(kPrescaler4, 100);
    EXPECT_FALSE(f.pdb->IsTriggerEnabled('C'));
    EXPECT_TRUE(f.pdb->IsTriggerEnabled('D'));
    EXPECT_FALSE(f.pdb->IsTriggerEnabled('E'));
    // The crossbar asks whether the block runs at all: any enabled trigger will do.
    EXPECT_TRUE(hwc::ModuleEnabled(*f.pdb, "PDB_0", false));
    f.pdb->Item(P::kCtrlCItem).dwValue = 0;
    EXPECT_FALSE(hwc::ModuleEnabled(*f.pdb, "PDB_0", true));
    f.pdb->Item(P::kCtrlCItem).dwValue = 1u << 0;
    EXPECT_EQ(f.Warning(P::kDelayLabelId + 8), "");
    EXPECT_EQ(f.Warning(P::kDelayLabelId + 12), "Trigger D delay is longer than counter period.");
    EXPECT_EQ(f.Text(P::kDelayTimeId + 8), "0.10025 ms");
    f.pdb->Item(P::kCtrlAItem).dwValue = 1u << 1;
    EXPECT_TRUE(f.pdb->IsTriggerEnabled('A'));
    EXPECT_FALSE(f.pdb->IsTriggerEnabled('B'));
    // The first input trigger names the crossbar output of each block.
    EXPECT_EQ(f.Control(P::kInputTriggerId).Items().front(), "Crossbar output (XBAR_OUT38)");
    CPdbFixture second({hwc::test::kFamE}, 8.0f, "PDB_1");
    EXPECT_EQ(second.Control(P::kInputTriggerId).Items().front(), "Crossbar output (XBAR_OUT41)");
}

TEST(CpmPDB, DelayBlockQueryAnswersForTheOlderLayout) {
    CPdbFixture f({hwc::test::kFamA}, 8.0f, "PDB");
    EXPECT_FALSE(hwc::DelayBlockTriggerEnabled(*f.pdb, 'A', true));
    f.Set(kOlderTriggerA, 100);
    EXPECT_TRUE(hwc::DelayBlockTriggerEnabled(*f.pdb, 'A', false));
    EXPECT_FALSE(hwc::DelayBlockTriggerEnabled(*f.pdb, 'B', true));
}

TEST(CpmPDB, CrossbarInputTrigger) {
    CPdbFixture f({hwc::test::kFamE}, 8.0f, "PDB_1", {"XBAR_A"});
    f.Set(0, 100);
    const std::string text = f.Warning(P::kInputTriggerWarningId);
    EXPECT_EQ(text.rfind("XBAR_OUT41 is not configured and is selected as Input Trigger. (", 0), 0u)
        << text;
    EXPECT_NE(text.find("XBAR_A"), std::string::npos) << text;
    f.crossbar->configured = {41};
    f.Check();
    EXPECT_EQ(f.Warning(P::kInputTriggerWarningId), "");
    f.crossbar->configured.clear();
    f.Set(1u << 4, 100); // another input trigger
    EXPECT_EQ(f.Warning(P::kInputTriggerWarningId), "");
    f.pdb->SetSelected(false);
    f.Set(0, 100);
    EXPECT_EQ(f.Warning(P::kInputTriggerWarningId), "");

    // Without a crossbar nothing is said about it.
    CPdbFixture alone({hwc::test::kFamE}, 8.0f, "PDB_0");
    alone.Set(0, 100);
    EXPECT_EQ(alone.Warning(P::kInputTriggerWarningId), "");
}

TEST(CpmPDB, OlderInputTriggerSources) {
    CPdbFixture f({hwc::test::kFamA, 104}, 8.0f, "PDB", {"SYS", "HSCMP_1", "PWM"});
    const auto select = [&](std::uint32_t selection) {
        f.Set(selection << 2, 100);
        return f.Warning(P::kInputTriggerWarningId);
    };
    EXPECT_EQ(select(1), "HSCMP_1 module is not enabled (and is selected as Input Trigger)");
    f.Source("HSCMP_1").enabled = true;
    EXPECT_EQ(select(1), "");
    EXPECT_EQ(select(0), ""); // HSCMP_0 is not in this document
    EXPECT_EQ(select(3), "PWM module is not enabled (and is selected as Input Trigger)");
    f.Source("PWM").enabled = true;
    EXPECT_EQ(select(3), "");
    EXPECT_EQ(select(6), "Timer 2 module is not enabled (and is selected as Input Trigger)");
    CModuleBase* sys = CModuleBase::FindModule(&f.host, "SYS");
    sys->Item(5).dwValue |= 1u << 14; // the timer's clock enable
    EXPECT_EQ(select(6), "");
    EXPECT_EQ(select(7), "Timer 3 module is not enabled (and is selected as Input Trigger)");

    // Without a system module the timers are not judged.
    CPdbFixture bare({hwc::test::kFamA, 104}, 8.0f, "PDB");
    bare.Set(7u << 2, 100);
    EXPECT_EQ(bare.Warning(P::kInputTriggerWarningId), "");
}

TEST(CpmPDB, PreTriggersAndPulseOut) {
    CPdbFixture f({hwc::test::kFamA}, 8.0f, "PDB", {"ADC_0"});
    const std::string preA =
        "PreTrigger A signal will not be generated if the Trigger A Delay is 0 or 1";
    const std::string preB =
        "PreTrigger B signal will not be generated if the Trigger B Delay is 0 or 1";
    // Trigger A to the first converter with a delay of 0, then 1, then 2.
    f.Set(kOlderTriggerA | (1u << 10), 100);
    EXPECT_EQ(f.Warning(P::kPreTriggerAWarningId), preA);
    f.Delay(P::kDelayAItem, 1);
    EXPECT_EQ(f.Warning(P::kPreTriggerAWarningId), preA);
    f.Delay(P::kDelayAItem, 2);
    EXPECT_EQ(f.Warning(P::kPreTriggerAWarningId), "");
    // Trigger B to the second converter, which this document lacks; to both, which it has one of.
    f.Set(kOlderTriggerB | (1u << 7), 100);
    EXPECT_EQ(f.Warning(P::kPreTriggerBWarningId), "");
    f.Set(kOlderTriggerB | (2u << 7), 100);
    EXPECT_EQ(f.Warning(P::kPreTriggerBWarningId), preB);
    f.Set(2u << 7, 100); // disabled
    EXPECT_EQ(f.Warning(P::kPreTriggerBWarningId), "");
    // Pulse output needs trigger B to end the pulse.
    const std::string pulse = "Trigger B must be enabled if Trigger A Output is set to PulseOut";
    f.Set(kOlderTriggerA | (3u << 10), 100);
    EXPECT_EQ(f.Warning(P::kPulseOutWarningId), pulse);
    EXPECT_EQ(f.Warning(P::kPreTriggerAWarningId), "");
    f.Set(kOlderTriggerA | kOlderTriggerB | (3u << 10), 100);
    EXPECT_EQ(f.Warning(P::kPulseOutWarningId), "");

    // The newer layout has none of these checks.
    CPdbFixture newer({hwc::test::kFamE}, 8.0f, "PDB_0", {"ADC_0"});
    newer.Set(kOlderTriggerA | (3u << 10), 100);
    EXPECT_EQ(newer.Warning(P::kPulseOutWarningId), "");
}

TEST(CpmPDB, PageEditsReachTheRegisters) {
    CPdbFixture f({hwc::test::kFamA}, 8.0f);
    CPage& page = *f.pdb->Page();
    page.UserSelect(f.Control(P::kPrescalerId), 2);
    page.UserEdit(f.Control(P::kModulusId), "100");
    page.UserClick(f.Control(P::kTriggerAEnableId));
    EXPECT_TRUE(f.Control(P::kDelayId).IsEnabled());
    EXPECT_FALSE(f.Control(P::kDelayId + 4).IsEnabled());
    page.UserEdit(f.Control(P::kDelayId), "100");
    page.UserSelect(f.Control(P::kInputTriggerId), 5);
    EXPECT_EQ(f.pdb->Item(P::kControlItem).dwValue, kPrescaler4 | kOlderTriggerA | (5u << 2));
    EXPECT_EQ(f.pdb->Item(P::kModulusItem).dwValue, 100u);
    EXPECT_EQ(f.pdb->Item(P::kDelayAItem).dwValue, 100u);
    f.pdb->CheckWarnings();
    EXPECT_EQ(f.Warning(P::kDelayLabelId), "Trigger A delay is longer than counter period.");
    EXPECT_EQ(f.Text(P::kDelayLabelId), "Trigger A delay is longer than counter period.");
}

TEST(CpmPDB, InterruptRowAsOnTheOtherTimerPages) {
    for (bool famA : {true, false}) {
        CHost host;
        host.groups = {famA ? hwc::test::kFamA : hwc::test::kFamE};
        CpmPDB& pdb = host.Add<CpmPDB>(famA ? "PDB" : "PDB_0", "PDB", "", "INT:27:");
        host.BindAll();
        pdb.CreatePage();
        pdb.OnInitialUpdate();
        pdb.UpdateControlStates();
        CPage& page = *pdb.Page();
        ASSERT_EQ(pdb.InterruptRows().size(), 1u);
        EXPECT_EQ(page.FindControl(P::kIsrNameLabelId)->IsVisible(), famA);
        EXPECT_FALSE(page.FindControl(P::kUserVectorNoteId)->IsVisible());
    }
}
