#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "support/ModuleTestHost.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/timers/CpmPIT.h"

namespace {

using CPitHost = hwc::test::CModuleTestHost;

// A clock module that publishes chosen clocks and answers the oscillator states from two
// oscillator registers.
class CpmClockTest : public CModule, public hwc::IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmClockTest, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"OSCTL1_INIT", 0, hwc::RegFlag::DW16},
                                            {"OSCTL2_INIT", 0, hwc::RegFlag::DW16}};
    CpmClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 2) {}
    float PublishedBusClock() const override { return busMHz; }
    float CrystalClockMHz() const override { return crystalMHz; }
    bool IsRelaxationOscillatorDisabled() const override { return Bit(0, 15); }
    bool IsLowSpeedOscillatorDisabled() const override { return Bit(1, 15); }
    bool IsCrystalOscillatorPoweredDown() const override { return Bit(1, 14); }
    bool Bit(int item, int bit) const { return (Item(item).dwValue >> bit) & 1u; }
    float busMHz = 0.0f;
    float crystalMHz = 0.0f;
};

// A document with a timer (and optionally a clock module) in the given groups, page open.
struct CPitFixture {
    explicit CPitFixture(std::set<int> groups, const std::string& instance = "PIT0",
                         float busMHz = -1.0f) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            clock = &host.Add<CpmClockTest>("OCCS", "OCCS");
        if (clock)
            clock->busMHz = busMHz;
        pit = &host.Add<CpmPIT>(instance, "PIT");
        for (auto& module : host.modules)
            module->BindControls(&host);
        pit->CreatePage();
        pit->OnInitialUpdate();
        pit->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *pit->Page()->FindControl(id); }
    // Sets prescaler index, modulo and (where offered) clock source as a user does.
    void Set(int prescaler, const std::string& modulo, int source = -1) {
        CPage& page = *pit->Page();
        page.UserSelect(Control(CpmPIT::kPrescalerId), prescaler);
        page.UserEdit(Control(CpmPIT::kModuloId), modulo);
        if (source >= 0)
            page.UserSelect(Control(CpmPIT::kClockSourceId), source);
        pit->Recalculate();
    }
    std::string Text(int id) { return Control(id).Text(); }

    CPitHost host;
    CpmClockTest* clock = nullptr;
    CpmPIT* pit = nullptr;
};

} // namespace

TEST(CpmPIT, BusClockGivesRateAndRollOverTime) {
    CPitFixture f({}, "PIT0", 60.0f);
    f.Set(0, "59999");
    EXPECT_EQ(f.pit->Item(CpmPIT::kModItem).dwValue, 59999u);
    EXPECT_EQ(f.Text(CpmPIT::kInterruptRateId), "1 kHz");
    EXPECT_EQ(f.Text(CpmPIT::kRollOverTimeId), "1 ms");
    // "/ 32768" with the largest modulo: the divisor does not overflow.
    f.Set(15, "65535");
    EXPECT_EQ(f.Text(CpmPIT::kInterruptRateId), "0.02794 Hz");
    EXPECT_EQ(f.Text(CpmPIT::kRollOverTimeId), "35.79139 sec");
}

TEST(CpmPIT, ClockSourcesOfTheNewerGroups) {
    CPitFixture famE({CModule::kFamE}, "PIT0", 60.0f);
    famE.Set(5, "999", 3);
    EXPECT_EQ(famE.pit->Item(CpmPIT::kCtrlItem).dwValue, (3u << 8) | (5u << 3));
    EXPECT_EQ(famE.Text(CpmPIT::kInterruptRateId), "1 Hz");
    EXPECT_EQ(famE.Text(CpmPIT::kRollOverTimeId), "1 sec");
    famE.Set(0, "7", 2);
    EXPECT_EQ(famE.Text(CpmPIT::kInterruptRateId), "1 MHz");

    CPitFixture famF({CModule::kFamF}, "PIT0", 60.0f);
    famF.Set(0, "199", 3);
    EXPECT_EQ(famF.Text(CpmPIT::kInterruptRateId), "1 kHz");

    // Elsewhere the field is not a clock source: the bus clock counts.
    CPitFixture other({}, "PIT0", 60.0f);
    other.pit->Item(CpmPIT::kCtrlItem).dwValue = 3u << 8;
    other.Set(0, "59999");
    EXPECT_EQ(other.Text(CpmPIT::kInterruptRateId), "1 kHz");
}

TEST(CpmPIT, MissingClockShowsQuestionMarks) {
    CPitFixture f({CModule::kFamE});
    f.Set(0, "59999");
    EXPECT_EQ(f.Text(CpmPIT::kInterruptRateId), "??");
    EXPECT_EQ(f.Text(CpmPIT::kRollOverTimeId), "??");
    // The crystal needs the clock module too; the fixed oscillators do not.
    f.Set(0, "59999", 1);
    EXPECT_EQ(f.Text(CpmPIT::kInterruptRateId), "??");
    f.Set(0, "7999", 2);
    EXPECT_EQ(f.Text(CpmPIT::kInterruptRateId), "1 kHz");
}

TEST(CpmPIT, CrystalSourceUsesThePublishedCrystalClock) {
    CPitHost host;
    host.groups = {CModule::kFamD};
    host.Add<CpmClockTest>("OCCS", "OCCS").crystalMHz = 4.0f;
    CpmPIT& pit = host.Add<CpmPIT>("PIT", "PIT");
    for (auto& module : host.modules)
        module->BindControls(&host);
    pit.Item(CpmPIT::kCtrlItem).dwValue = 1u << 8;
    pit.Item(CpmPIT::kModItem).dwValue = 3999;
    pit.CreatePage();
    pit.Recalculate();
    EXPECT_EQ(pit.Page()->FindControl(CpmPIT::kInterruptRateId)->Text(), "1 kHz");
}

TEST(CpmPIT, SlaveModeOnlyForInstancesAfterTheFirst) {
    for (const char* instance : {"PIT0", "PIT"}) {
        CPitFixture f({}, instance, 60.0f);
        EXPECT_FALSE(f.Control(CpmPIT::kSlaveModeId).IsVisible()) << instance;
        // A slave bit left in the register does not lock the first timer.
        f.pit->Item(CpmPIT::kCtrlItem).dwValue = 1u << 15;
        f.pit->RefreshControls();
        EXPECT_TRUE(f.Control(CpmPIT::kCounterEnableId).IsEnabled()) << instance;
    }
    CPitFixture f({}, "PIT1", 60.0f);
    EXPECT_TRUE(f.Control(CpmPIT::kSlaveModeId).IsVisible());
    EXPECT_TRUE(f.Control(CpmPIT::kCounterEnableId).IsEnabled());
    f.pit->Page()->UserClick(f.Control(CpmPIT::kSlaveModeId));
    f.pit->UpdateControlStates();
    EXPECT_EQ(f.pit->Item(CpmPIT::kCtrlItem).dwValue, 1u << 15);
    EXPECT_FALSE(f.Control(CpmPIT::kCounterEnableId).IsEnabled());
}

TEST(CpmPIT, ClockSourceListByGroup) {
    CPitFixture famF({CModule::kFamF});
    EXPECT_EQ(famF.Control(CpmPIT::kClockSourceId).Items(),
              (std::vector<std::string>{"IPBus clock", "Crystal oscillator",
                                        "8MHz clock from 48MHz/6 ", "RC Oscillator 200 kHz"}));
    EXPECT_TRUE(famF.Control(CpmPIT::kClockSourceId).IsVisible());
    EXPECT_TRUE(famF.Control(CpmPIT::kClockSourceLabelId).IsVisible());

    CPitFixture famE({CModule::kFamE});
    EXPECT_EQ(famE.Control(CpmPIT::kClockSourceId).Items(),
              (std::vector<std::string>{"IPBus clock", "Crystal oscillator", "RC Oscillator 8 MHz ",
                                        "RC Oscillator 32 kHz"}));

    CPitFixture other({});
    EXPECT_FALSE(other.Control(CpmPIT::kClockSourceId).IsVisible());
    EXPECT_FALSE(other.Control(CpmPIT::kClockSourceLabelId).IsVisible());
    EXPECT_FALSE(other.Control(CpmPIT::kClockSourceId).Handler());
}

TEST(CpmPIT, SummaryListsTheSettingsInOrder) {
    CPitFixture famE({CModule::kFamE}, "PIT0", 60.0f);
    EXPECT_EQ(famE.pit->CommentItems().size(), 6u);
    famE.pit->Page()->UserClick(famE.Control(CpmPIT::kCounterEnableId));
    famE.Set(2, "100", 2);
    std::string summary;
    famE.pit->GetSummary(summary);
    const auto at = [&](const char* text) { return summary.find(text); };
    ASSERT_NE(at("Counter Enable"), std::string::npos) << summary;
    EXPECT_LT(at("Counter Enable"), at("Clock Prescaler")) << summary;
    EXPECT_LT(at("Clock Prescaler"), at("Modulo Value")) << summary;
    EXPECT_LT(at("Modulo Value"), at("Interrupt Enable")) << summary;
    EXPECT_LT(at("Interrupt Enable"), at("Clock source")) << summary;
    EXPECT_NE(at("Clock Prescaler: / 4"), std::string::npos) << summary;
    EXPECT_NE(at("Modulo Value: 100"), std::string::npos) << summary;
    EXPECT_NE(at("Clock source: RC Oscillator 8 MHz"), std::string::npos) << summary;
    // The hidden slave-mode box of the first timer is left out.
    EXPECT_EQ(at("Slave"), std::string::npos) << summary;

    CPitFixture other({});
    EXPECT_EQ(other.pit->CommentItems().size(), 5u);
}

TEST(CpmPIT, ClockSourceWarningsFollowTheClockModule) {
    CPitFixture f({CModule::kFamF}, "PIT0", 60.0f);
    tPerCfgItem& osctl1 = f.clock->Item(0);
    tPerCfgItem& osctl2 = f.clock->Item(1);
    const auto warn = [&](int source) {
        f.host.calls.clear();
        f.Set(0, "0", source);
        f.pit->CheckWarnings();
        EXPECT_EQ(f.host.calls.back().id, CpmPIT::kClockSourceLabelId);
        return f.host.calls.back().active;
    };
    EXPECT_FALSE(warn(1));
    osctl2.dwValue = 1u << 14; // crystal powered down
    EXPECT_TRUE(warn(1));
    EXPECT_EQ(
        f.Text(CpmPIT::kClockSourceLabelId).rfind("Clock source is not available; crystal", 0), 0u);
    EXPECT_FALSE(warn(0));
    EXPECT_EQ(f.Text(CpmPIT::kClockSourceLabelId), "Clock source:");
    osctl1.dwValue = 1u << 15; // 8 MHz oscillator off
    EXPECT_TRUE(warn(2));
    EXPECT_FALSE(warn(3));
    osctl2.dwValue = 1u << 15; // low-speed oscillator off
    EXPECT_TRUE(warn(3));
    EXPECT_NE(f.Text(CpmPIT::kClockSourceLabelId).find("200 kHz relaxation"), std::string::npos);

    // Without a clock module no setting can be tested: no warning.
    CPitFixture alone({CModule::kFamE});
    alone.Set(0, "0", 3);
    alone.pit->CheckWarnings();
    ASSERT_FALSE(alone.host.calls.empty());
    EXPECT_FALSE(alone.host.calls.back().active);
}
