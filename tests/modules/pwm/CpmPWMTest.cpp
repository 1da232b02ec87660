#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "modules/framework/ModuleQueries.h"
#include "modules/pwm/CpmPWM.h"
#include "modules/pwm/CpmPWM_FamA.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;
using B = CpmPWMBase;

// A clock module that publishes a chosen bus clock.
class CpmPwmClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPwmClock, CModule)
public:
    CpmPwmClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A port whose pins offer the named signals of the PWM; `current` holds those selected now.
class CpmPwmPort : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPwmPort, CModule)
public:
    CpmPwmPort(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    void AddPinFunctions(const CModule& peripheral, CPinFuncContextMap& map) override {
        int pin = 0;
        for (const std::string& signal : offered)
            map.AddPin(signal, {this, pin++}, 1, current.count(signal) != 0);
    }
    std::vector<std::string> offered;
    std::set<std::string> current;
};

// A document with a PWM module of class T (and optionally a clock module), page open.
template <class T> struct CPwmFixture {
    explicit CPwmFixture(std::set<int> groups, float busMHz = -1.0f, bool port = false,
                         const std::string& instance = "PWM_A") {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmPwmClock>("OCCS", "OCCS").busMHz = busMHz;
        if (port)
            gpio = &host.Add<CpmPwmPort>("GPIO_A", "GPIO");
        pwm = &host.Add<T>(instance, "PWM");
        host.BindAll();
        pwm->CreatePage();
        pwm->OnInitialUpdate();
    }
    CPageControl& Control(int id) { return *pwm->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    tPerCfgItem& Reg(int index) { return pwm->Item(index); }
    // Puts register values in and lets the page follow, as a load does.
    void Load(int index, std::uint32_t value) {
        Reg(index).dwValue = value;
        pwm->RefreshControls();
        pwm->Recalculate();
        pwm->UpdateControlStates();
    }
    std::string Warning(int id) {
        pwm->CheckWarnings();
        return host.Warning(*pwm, id);
    }

    CModuleTestHost host;
    CpmPwmPort* gpio = nullptr;
    T* pwm = nullptr;
};

using COlder = CPwmFixture<CpmPWM>;
using CFamA = CPwmFixture<CpmPWM_FamA>;

std::vector<std::string> Names(const CModuleBase& module) {
    std::vector<std::string> names;
    for (int i = 0; i < module.ItemCount(); ++i)
        names.push_back(module.Item(i).szName);
    return names;
}

} // namespace

TEST(CpmPWM, RegisterSetsByGroup) {
    const std::vector<std::string> famG = {
        "PMCTL_INIT",    "PMFCTL_INIT",    "PMOUT_INIT",     "PWMCM_INIT",   "PWMVAL0_INIT",
        "PWMVAL1_INIT",  "PWMVAL2_INIT",   "PWMVAL3_INIT",   "PWMVAL4_INIT", "PWMVAL5_INIT",
        "PMDEADTM_INIT", "PMDISMAP1_INIT", "PMDISMAP2_INIT", "PMCFG_INIT",   "PMCCR_INIT",
        "PMPORT_INIT",   "PMFSA_INIT"};
    COlder g({hwc::test::kFamG});
    EXPECT_EQ(Names(*g.pwm), famG);
    EXPECT_EQ(g.pwm->TemplateId(), CpmPWM::kFamGTemplateId);
    EXPECT_FALSE(g.pwm->Page()->FindControl(B::kDeadTimeId + 1));

    std::vector<std::string> later = famG;
    later.insert(later.end(), {"PMDEADTM1_INIT", "PMICCR_INIT", "PMSRC_INIT"});
    COlder h({hwc::test::kFamH});
    EXPECT_EQ(Names(*h.pwm), later);
    EXPECT_EQ(h.pwm->TemplateId(), CpmPWM::kTemplateId);
    EXPECT_TRUE(h.pwm->Page()->FindControl(B::kDeadTimeId + 1));

    std::vector<std::string> famB = later;
    famB.insert(famB.end(),
                {"PMSYNC_INIT", "PMCTL2_INIT", "PMFCTL2_INIT", "PMENCR_INIT", "PMFSA2_INIT"});
    COlder b({hwc::test::kFamH, hwc::test::kFamJ, hwc::test::kFamB});
    EXPECT_EQ(Names(*b.pwm), famB);

    CFamA a({hwc::test::kFamA});
    const std::vector<std::string> names = Names(*a.pwm);
    ASSERT_EQ(names.size(), 25u);
    EXPECT_EQ(names[4], "PMDEADTM0_INIT");
    EXPECT_EQ(names[8], "PMCNFG_INIT");
    EXPECT_EQ(names[14], "PWMVAL0_INIT");
    EXPECT_EQ(names[20], "PMENCR_INIT");
    EXPECT_EQ(
        std::vector<std::string>(names.begin() + 21, names.end()),
        (std::vector<std::string>{"FFILT0_INIT", "FFILT1_INIT", "FFILT2_INIT", "FFILT3_INIT"}));
    EXPECT_EQ(a.pwm->TemplateId(), CpmPWM_FamA::kTemplateId);
    EXPECT_TRUE(a.pwm->Page()->FindControl(B::FaultControlId(3, B::kFilterLatencyLocalId)));
    EXPECT_FALSE(h.pwm->Page()->FindControl(B::FaultControlId(0, B::kFilterLatencyLocalId)));
}

TEST(CpmPWM, PeriodFrequencyAndResolutionByHand) {
    COlder f({hwc::test::kFamK}, 40.0f);
    // /1, centre-aligned, PWMCM 1250: 2500 counts of 25 ns, 16 kHz.
    f.Load(CpmPWM::kControlItem, 0x0001);
    f.Load(CpmPWM::kModuloItem, 1250);
    EXPECT_EQ(f.Text(B::kCountsId), "2500");
    EXPECT_EQ(f.Text(B::kFrequencyId), "16 kHz");
    EXPECT_EQ(f.Text(B::kPeriodId), "62.5 us");
    EXPECT_EQ(f.Text(B::kResolutionId), "1250 steps");
    EXPECT_EQ(f.pwm->FrequencyText(), "16 kHz");
    // The values the servo drive once had: /2 and 3000 give a third of 10 kHz.
    f.Load(CpmPWM::kControlItem, 0x0041);
    f.Load(CpmPWM::kModuloItem, 3000);
    EXPECT_EQ(f.Text(B::kCountsId), "6000");
    EXPECT_EQ(f.Text(B::kFrequencyId), "3.33333 kHz");
    // Edge alignment counts PWMCM once; /8 is the largest prescaler.
    f.Load(CpmPWM::kControlItem, 0x00C1);
    f.Load(CpmPWM::kConfigItem, 1u << 12);
    EXPECT_EQ(f.Text(B::kCountsId), "3000");
    EXPECT_EQ(f.Text(B::kFrequencyId), "1.66667 kHz");
    // Bit 15 of PWMCM is no part of the modulo.
    f.Load(CpmPWM::kModuloItem, 0x8000 | 1000);
    EXPECT_EQ(f.Text(B::kCountsId), "1000");
}

TEST(CpmPWM, DutyPerOutputIsClampedAndFollowsThePairMode) {
    COlder f({hwc::test::kFamH}, 40.0f);
    f.Load(CpmPWM::kModuloItem, 1250);
    f.Load(CpmPWM::kFirstValueItem, 625);
    EXPECT_EQ(f.Text(B::DutyId(0)), "50 %");
    // The complementary odd output is the inverse; its own value register is not used.
    f.Load(CpmPWM::kFirstValueItem, 313);
    f.Load(CpmPWM::kFirstValueItem + 1, 125);
    EXPECT_EQ(f.Text(B::DutyId(0)), "25.04 %");
    EXPECT_EQ(f.Text(B::DutyId(1)), "74.96 %");
    EXPECT_FALSE(f.Control(B::ValueId(1)).IsEnabled());
    f.Load(CpmPWM::kConfigItem, 1u << 1); // pair 0 independent
    EXPECT_EQ(f.Text(B::DutyId(1)), "10 %");
    EXPECT_TRUE(f.Control(B::ValueId(1)).IsEnabled());
    // Signed values below 0 and values above the modulo clamp.
    f.Load(CpmPWM::kFirstValueItem + 2, 0xFFFB);
    EXPECT_EQ(f.Text(B::ValueId(2)), "-5");
    EXPECT_EQ(f.Text(B::DutyId(2)), "0 %");
    f.Load(CpmPWM::kFirstValueItem + 2, 2000);
    EXPECT_EQ(f.Text(B::DutyId(2)), "100 %");
    EXPECT_EQ(f.Text(B::DutyId(3)), "0 %");
    // Typed as a signed number; beyond 16 bits it is refused and the register stays.
    CPage& page = *f.pwm->Page();
    page.UserEdit(f.Control(B::ValueId(4)), "-2500");
    EXPECT_EQ(f.Reg(CpmPWM::kFirstValueItem + 4).dwValue, 0xF63Cu);
    page.UserEdit(f.Control(B::ValueId(4)), "70000");
    EXPECT_EQ(f.Reg(CpmPWM::kFirstValueItem + 4).dwValue, 0xF63Cu);
    // Without a modulo there is no duty, and nothing is divided by it.
    f.Load(CpmPWM::kModuloItem, 0);
    EXPECT_EQ(f.Text(B::DutyId(0)), "??");
    EXPECT_EQ(f.Text(B::kCountsId), "??");
    EXPECT_EQ(f.Text(B::kResolutionId), "??");
    EXPECT_EQ(f.Text(B::kFrequencyId), "??");
}

TEST(CpmPWM, DeadTimeInNanosecondsAndQuestionMarksWithoutClock) {
    COlder f({hwc::test::kFamH}, 40.0f);
    f.Load(CpmPWM::kDeadTimeItem, 40);
    f.Load(CpmPWM::kDeadTime1Item, 3);
    EXPECT_EQ(f.Text(B::kDeadTimeNsId), "1000 ns");
    EXPECT_EQ(f.Text(B::kDeadTimeNsId + 1), "75 ns");
    f.Load(CpmPWM::kControlItem, 1u << 6); // /2
    EXPECT_EQ(f.Text(B::kDeadTimeNsId), "2000 ns");
    // Twelve bits of dead time.
    f.Load(CpmPWM::kDeadTimeItem, 0xF001);
    EXPECT_EQ(f.Text(B::kDeadTimeNsId), "50 ns");

    COlder none({hwc::test::kFamH});
    none.Load(CpmPWM::kModuloItem, 1250);
    none.Load(CpmPWM::kDeadTimeItem, 40);
    EXPECT_EQ(none.Text(B::kDeadTimeNsId), "??");
    EXPECT_EQ(none.Text(B::kFrequencyId), "??");
    EXPECT_EQ(none.Text(B::kPeriodId), "??");
    EXPECT_EQ(none.Text(B::kCountsId), "2500");
    EXPECT_EQ(none.Text(B::DutyId(0)), "0 %");
}

TEST(CpmPWM, ZeroPeriodWarning) {
    COlder f({hwc::test::kFamH}, 40.0f);
    f.Load(CpmPWM::kControlItem, 0x0001);
    // A module that is not written warns about nothing.
    EXPECT_EQ(f.Warning(B::kPeriodWarningId), "");
    f.pwm->SetSelected(true);
    EXPECT_NE(f.Warning(B::kPeriodWarningId).find("PWM period is zero"), std::string::npos);
    f.Load(CpmPWM::kModuloItem, 1);
    EXPECT_EQ(f.Warning(B::kPeriodWarningId), "");
    // A stopped generator may get its modulo later.
    f.Load(CpmPWM::kModuloItem, 0);
    f.Load(CpmPWM::kControlItem, 0);
    EXPECT_EQ(f.Warning(B::kPeriodWarningId), "");
}

TEST(CpmPWM, EdgeOutsideThePeriodWarning) {
    COlder f({hwc::test::kFamH}, 40.0f);
    f.pwm->SetSelected(true);
    f.Load(CpmPWM::kModuloItem, 1250);
    f.Load(CpmPWM::kFirstValueItem, 1250); // exactly the modulo: fully on, still inside
    EXPECT_EQ(f.Warning(B::kEdgeWarningId), "");
    f.Load(CpmPWM::kFirstValueItem, 1251);
    EXPECT_EQ(f.Warning(B::kEdgeWarningId),
              "PWMVAL0 (1251) lies outside the period 0 to 1250: PWM 0 stays fully active.");
    f.Load(CpmPWM::kFirstValueItem, 0);
    EXPECT_EQ(f.Warning(B::kEdgeWarningId), "");
    // The odd register of a complementary pair is not used; of an independent pair it is.
    f.Load(CpmPWM::kFirstValueItem + 3, 0xFFFF);
    EXPECT_EQ(f.Warning(B::kEdgeWarningId), "");
    f.Load(CpmPWM::kConfigItem, 1u << 2);
    EXPECT_EQ(f.Warning(B::kEdgeWarningId),
              "PWMVAL3 (-1) lies outside the period 0 to 1250: PWM 3 stays fully inactive.");
}

TEST(CpmPWM, DeadTimeOfHalfAPeriodWarning) {
    COlder f({hwc::test::kFamH}, 40.0f);
    f.pwm->SetSelected(true);
    f.Load(CpmPWM::kModuloItem, 100); // centre: 200 counts
    f.Load(CpmPWM::kDeadTimeItem, 99);
    EXPECT_EQ(f.Warning(B::kDeadTimeWarningId), "");
    f.Load(CpmPWM::kDeadTimeItem, 100);
    EXPECT_EQ(f.Warning(B::kDeadTimeWarningId),
              "Dead time 0 (100 counts) is half the PWM period (200 counts) or more: the "
              "outputs never turn on.");
    // Edge alignment halves the period: the second dead time reaches it too.
    f.Load(CpmPWM::kDeadTimeItem, 0);
    f.Load(CpmPWM::kConfigItem, 1u << 12);
    f.Load(CpmPWM::kDeadTime1Item, 50);
    EXPECT_NE(f.Warning(B::kDeadTimeWarningId).find("Dead time 1 (50 counts)"), std::string::npos);
    // Dead time is inserted in complementary pairs only.
    f.Load(CpmPWM::kConfigItem, (1u << 12) | 0xE);
    EXPECT_EQ(f.Warning(B::kDeadTimeWarningId), "");

    COlder g({hwc::test::kFamG}, 40.0f);
    g.pwm->SetSelected(true);
    g.Load(CpmPWM::kModuloItem, 10);
    g.Load(CpmPWM::kDeadTimeItem, 10);
    EXPECT_EQ(g.Warning(B::kDeadTimeWarningId),
              "Dead time (10 counts) is half the PWM period (20 counts) or more: the outputs "
              "never turn on.");
}

TEST(CpmPWM, ReloadWarningsAndReservedLoadModeKept) {
    COlder f({hwc::test::kFamH}, 40.0f);
    f.pwm->SetSelected(true);
    f.Load(CpmPWM::kControlItem, 1u << 11);
    EXPECT_EQ(f.Warning(B::kReloadWarningId), "");
    f.Load(CpmPWM::kConfigItem, 1u << 12);
    EXPECT_EQ(f.Warning(B::kReloadWarningId),
              "Half-cycle reload works in center-aligned mode only.");
    f.Load(CpmPWM::kConfigItem, 0);
    EXPECT_EQ(f.Warning(B::kReloadWarningId), "");

    f.Load(CpmPWM::kChannelControlItem, 0x8020);
    EXPECT_EQ(f.Control(B::kValueLoadModeId).Selection(), -1);
    EXPECT_NE(f.Warning(B::kReloadWarningId).find("reserved code 2"), std::string::npos);
    f.pwm->ApplyControls();
    EXPECT_EQ(f.Reg(CpmPWM::kChannelControlItem).dwValue, 0x8020u);
    EXPECT_TRUE(f.pwm->ValidationProblem().empty());
    f.pwm->Page()->UserSelect(f.Control(B::kValueLoadModeId), 1);
    EXPECT_EQ(f.Reg(CpmPWM::kChannelControlItem).dwValue, 0x8010u);
    EXPECT_EQ(f.Warning(B::kReloadWarningId), "");
}

TEST(CpmPWM, MappedFaultWithoutSourceWarning) {
    COlder f({hwc::test::kFamH}, 40.0f, true);
    f.gpio->offered = {"PWM0", "FAULT0", "FAULT1"};
    f.pwm->SetSelected(true);
    EXPECT_EQ(f.Warning(B::FaultControlId(0, B::kFaultWarningLocalId)), "");
    // Fault 0 disables PWM 1 (first map register), fault 3 PWM 5 (second).
    f.Load(CpmPWM::kDisableMap1Item, 1u << 4);
    EXPECT_TRUE(f.pwm->IsFaultMapped(0));
    EXPECT_EQ(f.Warning(B::FaultControlId(0, B::kFaultWarningLocalId)),
              "Fault 0 is mapped to outputs, but no pin is set to FAULT0.");
    f.gpio->current = {"FAULT0"};
    EXPECT_EQ(f.Warning(B::FaultControlId(0, B::kFaultWarningLocalId)), "");
    f.Load(CpmPWM::kDisableMap2Item, 1u << 7);
    EXPECT_TRUE(f.pwm->IsFaultMapped(3));
    EXPECT_EQ(f.Warning(B::FaultControlId(3, B::kFaultWarningLocalId)),
              "Fault 3 is mapped to outputs, but this device has no FAULT3 pin.");
    f.Load(CpmPWM::kDisableMap2Item, 0);
    EXPECT_EQ(f.Warning(B::FaultControlId(3, B::kFaultWarningLocalId)), "");
    // The pin status counts a fault pin only while the fault is mapped.
    EXPECT_TRUE(f.pwm->IsPinFunctionUsed("FAULT0"));
    EXPECT_FALSE(f.pwm->IsPinFunctionUsed("FAULT1"));
    // The outputs need their pins while the generator runs.
    EXPECT_FALSE(f.pwm->IsPinFunctionUsed("PWM0"));
    f.Load(CpmPWM::kControlItem, 0x0001);
    EXPECT_TRUE(f.pwm->IsPinFunctionUsed("PWM0"));

    // Without ports nothing tells where a fault comes from: no warning.
    COlder alone({hwc::test::kFamH}, 40.0f);
    alone.pwm->SetSelected(true);
    alone.Load(CpmPWM::kDisableMap1Item, 0xFFFF);
    EXPECT_EQ(alone.Warning(B::FaultControlId(0, B::kFaultWarningLocalId)), "");
}

TEST(CpmPWM, PageControlsWriteTheirFields) {
    COlder f({hwc::test::kFamH}, 40.0f);
    CPage& page = *f.pwm->Page();
    page.UserClick(f.Control(B::kEnableId));
    page.UserSelect(f.Control(B::kPrescalerId), 3);
    page.UserSelect(f.Control(B::kReloadFrequencyId), 15);
    page.UserClick(f.Control(B::kHalfCycleId));
    EXPECT_EQ(f.Reg(CpmPWM::kControlItem).dwValue, 0xF8C1u);
    page.UserSelect(f.Control(B::kAlignmentId), 1);
    page.UserSelect(f.Control(B::kPairModeId + 2), 1);
    page.UserClick(f.Control(B::kTopNegativeId + 1));
    page.UserClick(f.Control(B::kBottomNegativeId));
    page.UserClick(f.Control(B::kWriteProtectId));
    EXPECT_EQ(f.Reg(CpmPWM::kConfigItem).dwValue,
              (1u << 12) | (1u << 3) | (1u << 9) | (1u << 4) | 1u);
    page.UserClick(f.Control(B::kPadEnableId));
    EXPECT_EQ(f.Reg(CpmPWM::kOutputItem).dwValue, 0x8000u);
    page.UserClick(f.Control(B::FaultMapId(2, 5))); // fault 2 -> PWM 5
    page.UserClick(f.Control(B::FaultMapId(1, 3))); // fault 1 -> PWM 3
    EXPECT_EQ(f.Reg(CpmPWM::kDisableMap2Item).dwValue, 1u << 6);
    EXPECT_EQ(f.Reg(CpmPWM::kDisableMap1Item).dwValue, 1u << 13);
    page.UserClick(f.Control(B::FaultControlId(3, B::kAutoClearLocalId)));
    page.UserClick(f.Control(B::FaultControlId(1, B::kInterruptLocalId)));
    EXPECT_EQ(f.Reg(CpmPWM::kFaultControlItem).dwValue, (1u << 6) | (1u << 3));
    // The modulo takes 15 bits.
    page.UserEdit(f.Control(B::kModuloId), "32767");
    EXPECT_EQ(f.Reg(CpmPWM::kModuloItem).dwValue, 32767u);
    page.UserEdit(f.Control(B::kModuloId), "32768");
    EXPECT_EQ(f.Reg(CpmPWM::kModuloItem).dwValue, 32767u);
    EXPECT_FALSE(f.pwm->ValidationProblem().empty());
}

TEST(CpmPWM, SummaryAndEnableAnswer) {
    COlder f({hwc::test::kFamH}, 40.0f);
    EXPECT_FALSE(f.pwm->IsModuleEnabled());
    EXPECT_FALSE(hwc::ModuleEnabled(*f.pwm, "PWM_A", true));
    f.Load(CpmPWM::kControlItem, 0x0041);
    f.Load(CpmPWM::kModuloItem, 1250);
    f.Load(CpmPWM::kDeadTimeItem, 8);
    EXPECT_TRUE(hwc::ModuleEnabled(*f.pwm, "PWM_A", false));
    std::string summary;
    f.pwm->GetSummary(summary);
    const auto at = [&](const char* text) { return summary.find(text); };
    ASSERT_NE(at("PWM generator enable"), std::string::npos) << summary;
    EXPECT_NE(at("Prescaler: / 2"), std::string::npos) << summary;
    EXPECT_NE(at("1250"), std::string::npos) << summary;
    EXPECT_NE(at("Center-aligned"), std::string::npos) << summary;
    EXPECT_NE(at("Complementary"), std::string::npos) << summary;
    EXPECT_NE(at("Dead time 1"), std::string::npos) << summary;
    EXPECT_LT(at("PWM generator enable"), at("Prescaler")) << summary;
    EXPECT_LT(at("Prescaler"), at("Center-aligned")) << summary;

    COlder g({hwc::test::kFamG}, 40.0f);
    std::string famG;
    g.pwm->GetSummary(famG);
    EXPECT_EQ(famG.find("Dead time 1"), std::string::npos) << famG;
}

TEST(CpmPWM_FamA, FaultFilterLatencyAndTwoDeadTimes) {
    CFamA f({hwc::test::kFamA}, 50.0f);
    EXPECT_EQ(f.Text(B::FaultControlId(0, B::kFilterLatencyLocalId)), "Filter off");
    // Two extra samples, a period of 10 bus clocks: (2 + 3) x 10 + 2 = 52 clocks of 20 ns.
    f.Load(CpmPWM_FamA::kFirstFilterItem, 0x020A);
    EXPECT_EQ(f.Text(B::FaultControlId(0, B::kFilterLatencyLocalId)), "1.04 us");
    EXPECT_EQ(f.Control(B::FaultControlId(0, B::kFilterCountLocalId)).Selection(), 2);
    EXPECT_EQ(f.Text(B::FaultControlId(0, B::kFilterPeriodLocalId)), "10");
    CPage& page = *f.pwm->Page();
    page.UserSelect(f.Control(B::FaultControlId(3, B::kFilterCountLocalId)), 7);
    page.UserEdit(f.Control(B::FaultControlId(3, B::kFilterPeriodLocalId)), "255");
    EXPECT_EQ(f.Reg(CpmPWM_FamA::kFirstFilterItem + 3).dwValue, 0x07FFu);
    f.pwm->Recalculate();
    EXPECT_EQ(f.Text(B::FaultControlId(3, B::kFilterLatencyLocalId)),
              "51.04 us"); // (7 + 3) x 255 + 2 = 2552 clocks
    f.Load(CpmPWM_FamA::kDeadTime0Item, 25);
    f.Load(CpmPWM_FamA::kDeadTime1Item, 50);
    EXPECT_EQ(f.Text(B::kDeadTimeNsId), "500 ns");
    EXPECT_EQ(f.Text(B::kDeadTimeNsId + 1), "1000 ns");
    // The configuration register is PMCNFG here.
    page.UserSelect(f.Control(B::kAlignmentId), 1);
    EXPECT_EQ(f.Reg(CpmPWM_FamA::kConfigItem).dwValue, 1u << 12);
    page.UserEdit(f.Control(B::ValueId(5)), "17");
    EXPECT_EQ(f.Reg(CpmPWM_FamA::kFirstValueItem + 5).dwValue, 17u);

    CFamA none({hwc::test::kFamA});
    none.Load(CpmPWM_FamA::kFirstFilterItem, 0x0001);
    EXPECT_EQ(none.Text(B::FaultControlId(0, B::kFilterLatencyLocalId)), "??");
}

TEST(CpmPWM_FamA, EnableAnswerAndRegistersOfItsOwnLayout) {
    CFamA f({hwc::test::kFamA}, 50.0f, false, "PWM");
    EXPECT_FALSE(hwc::ModuleEnabled(*f.pwm, "PWM", true));
    f.Load(CpmPWM_FamA::kControlItem, 0x0001);
    EXPECT_TRUE(hwc::ModuleEnabled(*f.pwm, "PWM", false));
    // PWMCM and the values sit at their own places: 400 centre-aligned at /1 is 62.5 kHz.
    f.Load(CpmPWM_FamA::kModuloItem, 400);
    f.Load(CpmPWM_FamA::kFirstValueItem, 200);
    EXPECT_EQ(f.Text(B::kFrequencyId), "62.5 kHz");
    EXPECT_EQ(f.Text(B::DutyId(0)), "50 %");
    f.pwm->SetSelected(true);
    f.Load(CpmPWM_FamA::kDeadTime1Item, 400);
    EXPECT_NE(f.Warning(B::kDeadTimeWarningId).find("Dead time 1 (400 counts)"), std::string::npos);
}

TEST(CpmPWM_FamA, SelfTestKeepsThePageUsable) {
    CFamA f({hwc::test::kFamA}, 50.0f);
    f.pwm->SelfTest();
    f.pwm->RefreshControls();
    EXPECT_TRUE(f.pwm->ValidationProblem().empty());
}
