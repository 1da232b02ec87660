#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "model/ModalPage.h"
#include "modules/pwm/CpmPWM_FamC_SWLayer.h"
#include "modules/pwm/CpmPWM_FamC_Wizard.h"
#include "modules/pwm/CpmPWM_FamC_Wizard_3Phase.h"
#include "modules/pwm/PwmWizardPlan.h"
#include "support/ModuleTestHost.h"
#include "support/ScriptedMessages.h"

using namespace hwc::pwm;

namespace {

// A clock module that publishes a chosen bus clock.
class CpmBusClockStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmBusClockStub, CModule)
public:
    CpmBusClockStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 100.0f;
};

// A sub-module with the registers the wizards write, found by name as the wizards find them.
class CpmSubmoduleStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSubmoduleStub, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {
        {"CTRL_INIT", 0x0400, hwc::RegFlag::DW16}, {"CTRL2_INIT", 0, hwc::RegFlag::DW16},
        {"INIT_INIT", 0, hwc::RegFlag::DW16},      {"VAL1_INIT", 0, hwc::RegFlag::DW16},
        {"VAL0_INIT", 0, hwc::RegFlag::DW16},      {"VAL2_INIT", 0, hwc::RegFlag::DW16},
        {"VAL3_INIT", 0, hwc::RegFlag::DW16},      {"VAL4_INIT", 0, hwc::RegFlag::DW16},
        {"VAL5_INIT", 0, hwc::RegFlag::DW16},      {"DTCNT0_INIT", 0, hwc::RegFlag::DW16},
        {"DTCNT1_INIT", 0, hwc::RegFlag::DW16}};
    CpmSubmoduleStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, static_cast<int>(std::size(kTable))) {}
    std::uint32_t Value(const char* name) { return FindRegisterByShortName(*this, name)->dwValue; }
    int Signed(const char* name) {
        const std::uint32_t value = Value(name);
        return value >= 0x8000 ? static_cast<int>(value) - 0x10000 : static_cast<int>(value);
    }
};

// The common module, with its registers named without instance prefix as stored files have them.
class CpmCommonStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmCommonStub, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"-PWM_A_MCTRL_INIT", 0x0008, hwc::RegFlag::DW16},
                                            {"-PWM_A_OUTEN_INIT", 0x0001, hwc::RegFlag::DW16}};
    CpmCommonStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 2) {}
};

// Answers every modal page with a script: fill the controls as a user does, then Apply or
// Cancel.
class CScriptedRunner : public hwc::IModalPageRunner {
public:
    CScriptedRunner() : m_scope(*this) {}
    CModalPage::EResult Run(CModalPage& page) override {
        ++runs;
        if (fill)
            fill(page);
        if (apply && page.Apply())
            return CModalPage::EResult::Apply;
        return CModalPage::EResult::Cancel;
    }
    std::function<void(CModalPage&)> fill;
    bool apply = true;
    int runs = 0;

private:
    hwc::ScopedModalPageRunner m_scope;
};

void Type(CModalPage& page, int id, const std::string& text) {
    page.Page().UserEdit(*page.Page().FindControl(id), text);
}

// A FamE project: clock, common module PWM_A, sub-modules PWM_A_0..3 and the driver layer.
struct CWizardFixture {
    explicit CWizardFixture(int submodules = 4) {
        host.groups = {hwc::test::kFamE};
        clock = &host.Add<CpmBusClockStub>("OCCS", "OCCS");
        common = &host.Add<CpmCommonStub>("PWM_A", "PWMAll_FamC");
        for (int i = 0; i < submodules; ++i)
            subs.push_back(&host.Add<CpmSubmoduleStub>("PWM_A_" + std::to_string(i), "PWM_FamC"));
        CModuleDescriptor descriptor("PWM_SW", "PWM_FamC_SWLayer");
        descriptor.SetField(CModuleDescriptor::kRelatedModule, "PWM_A");
        layer = &host.Add<CpmPWM_FamC_SWLayer>(descriptor);
        host.BindAll();
        host.OpenAll();
    }
    std::string LayerWarning() {
        layer->CheckWarnings();
        return host.Warning(*layer, CpmPWM_FamC_SWLayer::kThreePhaseWarningId);
    }
    std::vector<std::uint32_t> Snapshot() {
        std::vector<std::uint32_t> values;
        for (auto& module : host.modules)
            for (int i = 0; i < module->ItemCount(); ++i)
                values.push_back(module->Item(i).dwValue);
        return values;
    }

    hwc::test::CModuleTestHost host;
    CpmBusClockStub* clock = nullptr;
    CpmCommonStub* common = nullptr;
    std::vector<CpmSubmoduleStub*> subs;
    CpmPWM_FamC_SWLayer* layer = nullptr;
};

} // namespace

TEST(PwmWizardPlan, CentreEdgeAndPhaseShiftByHand) {
    tPwmTiming timing;
    // 100 MHz / 20 kHz = 5000 counts at / 1: INIT -2500, VAL1 2499; 500 ns = 50 bus clocks.
    ASSERT_EQ(PlanTiming(100e6, 20000.0, EWizardAlignment::Centre, 500.0, timing), "");
    EXPECT_EQ(timing.exponent, 0);
    EXPECT_EQ(timing.counts, 5000);
    EXPECT_EQ(timing.init, -2500);
    EXPECT_EQ(timing.val1, 2499);
    EXPECT_EQ(timing.deadCount, 50u);
    EXPECT_DOUBLE_EQ(timing.frequencyHz, 20000.0);
    EXPECT_DOUBLE_EQ(timing.deadNs, 500.0);

    tPwmEdges edges;
    ASSERT_EQ(PlanEdges(timing, EWizardAlignment::Centre, 50.0, 0.0, 0.0, true, edges), "");
    EXPECT_EQ(edges.val2, -1250);
    EXPECT_EQ(edges.val3, 1250);
    EXPECT_EQ(edges.val4, -1250); // B follows A in a complementary pair
    EXPECT_DOUBLE_EQ(edges.dutyA, 50.0);
    EXPECT_DOUBLE_EQ(edges.dutyB, 50.0);
    // Edge alignment: both outputs rise at INIT.
    ASSERT_EQ(PlanEdges(timing, EWizardAlignment::Edge, 25.0, 10.0, 0.0, false, edges), "");
    EXPECT_EQ(edges.val2, -2500);
    EXPECT_EQ(edges.val3, -1250);
    EXPECT_EQ(edges.val4, -2500);
    EXPECT_EQ(edges.val5, -2000);
    EXPECT_DOUBLE_EQ(edges.dutyB, 10.0);
    // 90 degrees of 5000 counts = 1250 after INIT; 100 % ends exactly at the period end.
    ASSERT_EQ(PlanEdges(timing, EWizardAlignment::PhaseShift, 50.0, 0.0, 90.0, true, edges), "");
    EXPECT_EQ(edges.val2, -1250);
    EXPECT_EQ(edges.val3, 1250);
    ASSERT_EQ(PlanEdges(timing, EWizardAlignment::Edge, 100.0, 0.0, 0.0, true, edges), "");
    EXPECT_EQ(edges.val3, 2500);
    ASSERT_EQ(PlanEdges(timing, EWizardAlignment::Edge, 0.0, 0.0, 0.0, true, edges), "");
    EXPECT_EQ(edges.val3, edges.val2);
}

TEST(PwmWizardPlan, SmallestPrescalerAndEvenCentreCounts) {
    tPwmTiming timing;
    // 1 kHz: 100000 counts at / 1 do not fit, 50000 at / 2 do.
    ASSERT_EQ(PlanTiming(100e6, 1000.0, EWizardAlignment::Edge, 0.0, timing), "");
    EXPECT_EQ(timing.exponent, 1);
    EXPECT_EQ(timing.counts, 50000);
    EXPECT_EQ(timing.init, -25000);
    EXPECT_EQ(timing.val1, 24999);
    // 1526 Hz gives 65531 counts at / 1: the largest period still fits without a prescaler.
    ASSERT_EQ(PlanTiming(100e6, 1526.0, EWizardAlignment::Edge, 0.0, timing), "");
    EXPECT_EQ(timing.exponent, 0);
    EXPECT_EQ(timing.counts, 65531);
    // 30 kHz: 3333.3 counts; edge takes 3333, centre the even 3334.
    ASSERT_EQ(PlanTiming(100e6, 30000.0, EWizardAlignment::Edge, 0.0, timing), "");
    EXPECT_EQ(timing.counts, 3333);
    EXPECT_EQ(timing.init, -1666);
    EXPECT_EQ(timing.val1, 1666);
    ASSERT_EQ(PlanTiming(100e6, 30000.0, EWizardAlignment::Centre, 0.0, timing), "");
    EXPECT_EQ(timing.counts, 3334);
    EXPECT_EQ(timing.init, -(timing.val1 + 1));
    // Half the bus clock is the highest frequency: two counts.
    ASSERT_EQ(PlanTiming(100e6, 50e6, EWizardAlignment::Edge, 0.0, timing), "");
    EXPECT_EQ(timing.counts, 2);
    // The lowest frequency at / 128: 100 MHz / 128 / 65536 = 11.92 Hz.
    ASSERT_EQ(PlanTiming(100e6, 12.0, EWizardAlignment::Edge, 0.0, timing), "");
    EXPECT_EQ(timing.exponent, 7);
}

TEST(PwmWizardPlan, BadValuesAreRefusedWithAMessage) {
    tPwmTiming timing;
    timing.counts = 77;
    const auto refused = [&](double bus, double hz, double ns, const char* words) {
        const std::string problem = PlanTiming(bus, hz, EWizardAlignment::Centre, ns, timing);
        EXPECT_NE(problem.find(words), std::string::npos)
            << hz << " Hz, " << ns << " ns: " << problem;
    };
    refused(0.0, 20000.0, 0.0, "bus clock is not known");
    refused(100e6, 0.0, 0.0, "above 0 Hz");
    refused(100e6, -20000.0, 0.0, "above 0 Hz");
    refused(100e6, 50e6 + 1.0, 0.0, "half the bus clock (50 MHz)");
    refused(100e6, 11.0, 0.0, "too low even with the prescaler / 128");
    refused(100e6, 20000.0, 25000.0, "shorter than half the PWM period (25 us)");
    refused(100e6, 20000.0, -1.0, "must not be negative");
    // 2048 bus clocks do not fit the dead-time counter, though far below half of 1 kHz.
    refused(100e6, 1000.0, 20480.0, "2047 bus clocks");
    EXPECT_EQ(timing.counts, 77) << "a refused plan leaves the timing alone";

    ASSERT_EQ(PlanTiming(100e6, 20000.0, EWizardAlignment::Edge, 0.0, timing), "");
    tPwmEdges edges;
    edges.val2 = 99;
    EXPECT_NE(PlanEdges(timing, EWizardAlignment::Edge, 100.5, 0, 0, true, edges), "");
    EXPECT_NE(PlanEdges(timing, EWizardAlignment::Edge, -0.1, 0, 0, true, edges), "");
    EXPECT_NE(PlanEdges(timing, EWizardAlignment::Edge, 50, 101, 0, false, edges), "");
    // Duty B does not count in a complementary pair.
    EXPECT_EQ(PlanEdges(timing, EWizardAlignment::Edge, 50, 101, 0, true, edges), "");
    edges.val2 = 99;
    EXPECT_NE(PlanEdges(timing, EWizardAlignment::PhaseShift, 50, 0, 360, true, edges), "");
    EXPECT_NE(PlanEdges(timing, EWizardAlignment::PhaseShift, 50, 0, -1, true, edges), "");
    EXPECT_NE(PlanEdges(timing, EWizardAlignment::PhaseShift, 50, 0, 270, true, edges)
                  .find("ends after the period"),
              std::string::npos);
    EXPECT_EQ(edges.val2, 99) << "refused edges leave the plan alone";
}

TEST(PwmWizardPlan, ReadsOnlyPlainNumbers) {
    double value = -1.0;
    EXPECT_TRUE(ReadNumber("20000", value));
    EXPECT_EQ(value, 20000.0);
    EXPECT_TRUE(ReadNumber(" 12.5 ", value));
    EXPECT_EQ(value, 12.5);
    EXPECT_TRUE(ReadNumber("+3", value));
    EXPECT_EQ(value, 3.0);
    EXPECT_TRUE(ReadNumber("-7", value));
    EXPECT_EQ(value, -7.0);
    for (const char* text : {"", "  ", "abc", "20 kHz", "1e3x", "nan", "inf", "1e400", "+"})
        EXPECT_FALSE(ReadNumber(text, value)) << text;
    EXPECT_EQ(value, -7.0);
}

TEST(PwmWizardPlan, RegistersFoundByShortName) {
    CWizardFixture f(1);
    tPerCfgItem* mctrl = FindRegisterByShortName(*f.common, "MCTRL_INIT");
    ASSERT_NE(mctrl, nullptr);
    EXPECT_EQ(mctrl->dwValue, 0x0008u);
    EXPECT_EQ(FindRegisterByShortName(*f.common, "CTRL_INIT"), nullptr)
        << "MCTRL is no CTRL register";
    EXPECT_EQ(FindRegisterByShortName(*f.subs[0], "CTRL_INIT"), &f.subs[0]->Item(0));
    EXPECT_EQ(FindRegisterByShortName(*f.subs[0], "CTRL2_INIT"), &f.subs[0]->Item(1));
    tPerCfgItem item{};
    item.dwValue = 0xFFFF;
    SetField(item, 4, 6, 0x9); // too wide: only three bits are written
    EXPECT_EQ(item.dwValue, 0xFF9Fu);
    EXPECT_EQ(GetField(item, 4, 6), 1u);
}

TEST(PwmThreePhaseWizard, FillsThreeSubmodulesAlikeAndStartsThem) {
    CWizardFixture f;
    CScriptedRunner runner;
    runner.fill = [](CModalPage& page) {
        Type(page, CpmPWM_FamC_WizardBase::kFrequencyId, "20000");
        page.Page().UserSelect(*page.Page().FindControl(CpmPWM_FamC_WizardBase::kAlignmentId), 1);
        Type(page, CpmPWM_FamC_WizardBase::kDeadTimeId, "500");
        // The achieved values show before Apply.
        EXPECT_EQ(page.Page().FindControl(CpmPWM_FamC_WizardBase::kAchievedFrequencyId)->Text(),
                  "20 kHz");
        EXPECT_EQ(page.Page().FindControl(CpmPWM_FamC_WizardBase::kCountsId)->Text(), "5000");
        EXPECT_EQ(page.Page().FindControl(CpmPWM_FamC_WizardBase::kPrescalerId)->Text(), "/ 1");
        EXPECT_EQ(page.Page().FindControl(CpmPWM_FamC_WizardBase::kAchievedDeadTimeId)->Text(),
                  "500 ns (50 clocks)");
        EXPECT_FALSE(page.Page().FindControl(CpmPWM_FamC_WizardBase::kProblemId)->IsVisible());
    };
    f.layer->ThreePhase().SetValue(0);
    ASSERT_EQ(f.layer->RunThreePhaseWizard(), CModalPage::EResult::Apply);
    EXPECT_EQ(runner.runs, 1);
    for (int i = 0; i < 3; ++i) {
        CpmSubmoduleStub& sub = *f.subs[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(sub.Signed("INIT_INIT"), -2500);
        EXPECT_EQ(sub.Signed("VAL1_INIT"), 2499);
        EXPECT_EQ(sub.Signed("VAL2_INIT"), -1250);
        EXPECT_EQ(sub.Signed("VAL3_INIT"), 1250);
        EXPECT_EQ(sub.Value("DTCNT0_INIT"), 50u);
        EXPECT_EQ(sub.Value("DTCNT1_INIT"), 50u);
        EXPECT_EQ(sub.Value("CTRL_INIT"), 0x0400u); // prescaler / 1, the rest kept
        EXPECT_TRUE(sub.IsSelected());
    }
    // Sub-module 0 on the bus clock; 1 and 2 clocked, reloaded and initialised from it.
    EXPECT_EQ(f.subs[0]->Value("CTRL2_INIT"), 0x0000u);
    EXPECT_EQ(f.subs[1]->Value("CTRL2_INIT"), 0x0206u);
    EXPECT_EQ(f.subs[2]->Value("CTRL2_INIT"), 0x0206u);
    // Run and load OK of 0-2 join the existing bit 3; outputs A and B of 0-2, X kept.
    EXPECT_EQ(FindRegisterByShortName(*f.common, "MCTRL_INIT")->dwValue, 0x070Fu);
    EXPECT_EQ(FindRegisterByShortName(*f.common, "OUTEN_INIT")->dwValue, 0x0771u);
    EXPECT_TRUE(f.common->IsSelected());
    EXPECT_EQ(f.layer->Item(CpmPWM_FamC_SWLayer::kThreePhaseItem).dwValue, 1u);
    EXPECT_TRUE(f.layer->IsSelected());
    EXPECT_EQ(f.layer->Page()->FindControl(CpmPWM_FamC_SWLayer::kThreePhaseId)->Text(), "1");
    EXPECT_FALSE(f.subs[3]->IsSelected());
    EXPECT_EQ(f.subs[3]->Value("INIT_INIT"), 0u);
    EXPECT_EQ(f.LayerWarning(), "");
}

TEST(PwmThreePhaseWizard, CancelAndRefusedValuesChangeNothing) {
    CWizardFixture f;
    const std::vector<std::uint32_t> before = f.Snapshot();
    // No runner (a headless run): the wizard is cancelled.
    EXPECT_EQ(f.layer->RunThreePhaseWizard(), CModalPage::EResult::Cancel);
    {
        CScriptedRunner runner;
        runner.apply = false;
        runner.fill = [](CModalPage& page) {
            Type(page, CpmPWM_FamC_WizardBase::kFrequencyId, "16000");
        };
        EXPECT_EQ(f.layer->RunThreePhaseWizard(), CModalPage::EResult::Cancel);
        EXPECT_EQ(f.layer->RunAlignmentWizard(), CModalPage::EResult::Cancel);
    }
    // Each bad value: a message, Apply refused, nothing written.
    const std::vector<std::pair<int, std::string>> bad = {
        {CpmPWM_FamC_WizardBase::kFrequencyId, "0"},
        {CpmPWM_FamC_WizardBase::kFrequencyId, "-20000"},
        {CpmPWM_FamC_WizardBase::kFrequencyId, "60000000"},
        {CpmPWM_FamC_WizardBase::kFrequencyId, "5"},
        {CpmPWM_FamC_WizardBase::kFrequencyId, "fast"},
        {CpmPWM_FamC_WizardBase::kDeadTimeId, "25000"},
        {CpmPWM_FamC_Wizard_3Phase::SubControlId(1, CpmPWM_FamC_Wizard_3Phase_SubDlg::kDutyId),
         "100.1"},
        {CpmPWM_FamC_Wizard_3Phase::SubControlId(2, CpmPWM_FamC_Wizard_3Phase_SubDlg::kDutyId),
         "-1"},
    };
    for (const auto& [id, text] : bad) {
        SCOPED_TRACE(text);
        CScriptedMessages messages;
        CScriptedRunner runner;
        runner.fill = [&, id = id, text = text](CModalPage& page) {
            Type(page, id, text);
            EXPECT_TRUE(page.Page().FindControl(CpmPWM_FamC_WizardBase::kProblemId)->IsVisible());
            EXPECT_EQ(page.Page().FindControl(CpmPWM_FamC_WizardBase::kCountsId)->Text(), "??");
        };
        EXPECT_EQ(f.layer->RunThreePhaseWizard(), CModalPage::EResult::Cancel);
        ASSERT_EQ(messages.shown.size(), 1u);
    }
    EXPECT_EQ(f.Snapshot(), before);
    for (auto& module : f.host.modules)
        EXPECT_FALSE(module->IsSelected() && module.get() != f.layer) << module->InstanceName();
}

TEST(PwmThreePhaseWizard, RefusesAGroupWithoutThreeSubmodules) {
    CWizardFixture f(2);
    CScriptedMessages messages;
    CScriptedRunner runner;
    EXPECT_EQ(f.layer->RunThreePhaseWizard(), CModalPage::EResult::Cancel);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("PWM_A_2 is missing"), std::string::npos);
}

TEST(PwmAlignmentWizard, WritesEachChosenSubmoduleWithItsOwnEdges) {
    CWizardFixture f;
    using S = CpmPWM_FamC_Wizard_SubDlg;
    f.subs[1]->Item(1).dwValue = 0x0206; // a slave's clocking stays as it is
    CScriptedRunner runner;
    runner.fill = [](CModalPage& page) {
        CPage& p = page.Page();
        Type(page, CpmPWM_FamC_WizardBase::kFrequencyId, "10000");
        p.UserSelect(*p.FindControl(CpmPWM_FamC_WizardBase::kAlignmentId), 2); // phase shift
        Type(page, CpmPWM_FamC_WizardBase::kDeadTimeId, "0");
        Type(page, CpmPWM_FamC_Wizard::SubControlId(1, S::kPhaseId), "90");
        Type(page, CpmPWM_FamC_Wizard::SubControlId(1, S::kDutyAId), "25");
        p.UserSelect(*p.FindControl(CpmPWM_FamC_Wizard::SubControlId(2, S::kPairId)), 1);
        Type(page, CpmPWM_FamC_Wizard::SubControlId(2, S::kDutyBId), "30");
        p.UserClick(*p.FindControl(CpmPWM_FamC_Wizard::SubControlId(3, S::kIncludeId)));
        EXPECT_EQ(p.FindControl(CpmPWM_FamC_Wizard::SubControlId(2, S::kAchievedDutyId))->Text(),
                  "A 50.00 %, B 30.00 %");
        EXPECT_EQ(p.FindControl(CpmPWM_FamC_Wizard::SubControlId(3, S::kAchievedDutyId))->Text(),
                  "");
    };
    ASSERT_EQ(f.layer->RunAlignmentWizard(), CModalPage::EResult::Apply);
    // 10 kHz: 10000 counts, INIT -5000, VAL1 4999.
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(f.subs[i]->Signed("INIT_INIT"), -5000);
        EXPECT_EQ(f.subs[i]->Signed("VAL1_INIT"), 4999);
        EXPECT_TRUE(f.subs[i]->IsSelected());
    }
    EXPECT_EQ(f.subs[0]->Signed("VAL2_INIT"), -5000);
    EXPECT_EQ(f.subs[0]->Signed("VAL3_INIT"), 0);
    // 90 degrees = 2500 counts after INIT; 25 % = 2500 counts long.
    EXPECT_EQ(f.subs[1]->Signed("VAL2_INIT"), -2500);
    EXPECT_EQ(f.subs[1]->Signed("VAL3_INIT"), 0);
    EXPECT_EQ(f.subs[1]->Value("CTRL2_INIT"), 0x0206u);
    EXPECT_EQ(f.subs[2]->Signed("VAL4_INIT"), -5000);
    EXPECT_EQ(f.subs[2]->Signed("VAL5_INIT"), -2000);
    EXPECT_EQ(f.subs[2]->Value("CTRL2_INIT"), 0x2000u); // independent pair
    EXPECT_FALSE(f.subs[3]->IsSelected());
    EXPECT_EQ(f.subs[3]->Value("INIT_INIT"), 0u);
    EXPECT_FALSE(f.common->IsSelected());
    EXPECT_FALSE(f.layer->IsSelected());
}

TEST(PwmAlignmentWizard, NoSubmoduleChosenIsRefused) {
    CWizardFixture f(1);
    CScriptedMessages messages;
    CScriptedRunner runner;
    runner.fill = [](CModalPage& page) {
        page.Page().UserClick(*page.Page().FindControl(
            CpmPWM_FamC_Wizard::SubControlId(0, CpmPWM_FamC_Wizard_SubDlg::kIncludeId)));
    };
    EXPECT_EQ(f.layer->RunAlignmentWizard(), CModalPage::EResult::Cancel);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("at least one sub-module"), std::string::npos);
    EXPECT_FALSE(f.subs[0]->IsSelected());
}

TEST(CpmPWM_FamC_SWLayer, PageButtonsOpenTheWizards) {
    CWizardFixture f;
    std::vector<std::string> titles;
    CScriptedRunner runner;
    runner.apply = false;
    runner.fill = [&](CModalPage& page) { titles.push_back(page.Title()); };
    CPage& page = *f.layer->Page();
    page.UserClick(*page.FindControl(CpmPWM_FamC_SWLayer::kAlignmentWizardId));
    page.UserClick(*page.FindControl(CpmPWM_FamC_SWLayer::kThreePhaseWizardId));
    EXPECT_EQ(titles, (std::vector<std::string>{"PWM alignment wizard", "PWM three-phase wizard"}));
}

TEST(CpmPWM_FamC_SWLayer, ThreePhaseWarningRaisedAndCleared) {
    CWizardFixture f;
    EXPECT_EQ(f.LayerWarning(), "");
    f.layer->ThreePhase().SetValue(1);
    // Sub-modules at their defaults are alike...
    EXPECT_EQ(f.LayerWarning(), "");
    // ... until one period differs.
    f.subs[2]->Item(3).dwValue = 0x09C3;
    EXPECT_NE(f.LayerWarning().find("periods, prescalers or dead times differ"), std::string::npos);
    f.subs[2]->Item(3).dwValue = 0;
    f.subs[1]->Item(0).dwValue = 0x0410; // prescaler / 2
    EXPECT_NE(f.LayerWarning(), "");
    f.subs[1]->Item(0).dwValue = 0x0400;
    f.subs[0]->Item(10).dwValue = 5; // DTCNT1
    EXPECT_NE(f.LayerWarning(), "");
    f.subs[0]->Item(10).dwValue = 0;
    f.subs[1]->Item(1).dwValue = 0x2000; // independent outputs
    EXPECT_NE(f.LayerWarning().find("not all of them are complementary"), std::string::npos);
    f.subs[1]->Item(1).dwValue = 0;
    // Sub-module 3 does not take part.
    f.subs[3]->Item(3).dwValue = 0x1234;
    EXPECT_EQ(f.LayerWarning(), "");
    // Unknown driver values are kept and warned about.
    f.layer->ThreePhase().SetValue(2);
    EXPECT_EQ(f.layer->Item(CpmPWM_FamC_SWLayer::kThreePhaseItem).dwValue, 2u);
    EXPECT_NE(f.LayerWarning().find("THREE_PHASE_CONF 2 is not known"), std::string::npos);
    f.layer->ThreePhase().SetValue(0);
    f.subs[2]->Item(3).dwValue = 0x09C3;
    EXPECT_EQ(f.LayerWarning(), "") << "without the group nothing is compared";
}

TEST(CpmPWM_FamC_SWLayer, MissingSubmoduleWarnsUnlessItHasNoClass) {
    CWizardFixture f(2);
    f.layer->ThreePhase().SetValue(1);
    EXPECT_NE(f.LayerWarning().find("PWM_A_2 does not exist"), std::string::npos);
    f.host.withoutClass.insert("PWM_A_2");
    EXPECT_EQ(f.LayerWarning(), "");
}
