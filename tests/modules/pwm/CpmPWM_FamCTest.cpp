#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "model/ModelTestSupport.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/pwm/CpmPWMAll_FamC.h"
#include "modules/pwm/CpmPWM_FamC.h"
#include "modules/pwm/PwmQueries.h"
#include "modules/routing/RoutingQueries.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using S = CpmPWM_FamC;
using C = CpmPWMAll_FamC;

class CpmPwmClockTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPwmClockTest, CModule)
public:
    CpmPwmClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 100.0f;
};

// A crossbar whose output 29 is the fault input 0 of PWM_A; its source check fails on request.
class CpmPwmCrossbarTest : public CModule, public hwc::ICrossbar {
    HWC_DECLARE_MODULE_CLASS(CpmPwmCrossbarTest, CModule)
public:
    CpmPwmCrossbarTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return CheckOutputSource(output).passes; }
    int OutputMode(int) const override { return 0; }
    hwc::tCrossbarSourceCheck CheckOutputSource(int output) const override {
        if (output == 29 && !sourceSet)
            return {false, signal + " selects no input."};
        return {};
    }
    bool IsSignalInUse(std::string_view) const override { return false; }
    std::string OutputLabel(int output) const override {
        return output == 29 ? "29. " + signal + "."
                            : "Crossbar output " + std::to_string(output) + ".";
    }
    std::optional<hwc::tCrossbarField> OutputField(int) const override { return std::nullopt; }
    std::vector<std::string> InputNames() const override { return {}; }
    bool sourceSet = false;
    std::string signal = "PWM_A_FAULT0";
};

// A FamE document with a clock module, the common module PWM_A and the given sub-modules.
struct CFixture {
    explicit CFixture(std::vector<std::string> submodules = {"PWM_A_0"}, bool common = true,
                      float busMHz = 100.0f, std::set<int> groups = {CModule::kFamE}) {
        host.groups = std::move(groups);
        if (busMHz > 0.0f)
            host.Add<CpmPwmClockTest>("OCCS", "OCCS").busMHz = busMHz;
        if (common)
            all = &host.Add<C>("PWM_A", "PWMAll_FamC");
        for (const std::string& name : submodules)
            subs.push_back(&host.Add<S>(name, "PWM_FamC"));
        host.BindAll();
        host.OpenAll();
        for (auto& module : host.modules)
            module->UpdateControlStates();
    }
    S& Sub(int n = 0) { return *subs[static_cast<std::size_t>(n)]; }
    void SetValues(S& sub, std::initializer_list<std::pair<int, std::uint32_t>> values) {
        for (const auto& [item, value] : values)
            sub.Item(item).dwValue = value;
        sub.RefreshControls();
        sub.Recalculate();
        for (auto& module : host.modules)
            module->CheckWarnings();
    }
    std::string Text(CModuleBase& module, int id) { return module.FindControl(id)->Text(); }
    void Run(int n, bool run) {
        tPerCfgItem& mctrl = all->Item(all->Index(C::kMctrl));
        mctrl.dwValue =
            run ? (mctrl.dwValue | (1u << (8 + n))) : (mctrl.dwValue & ~(1u << (8 + n)));
    }

    CHost host;
    C* all = nullptr;
    std::vector<S*> subs;
};

// The inverter's first sub-module: 20 kHz centre-aligned at 100 MHz, 1 us dead time.
const std::initializer_list<std::pair<int, std::uint32_t>> kInverter = {
    {S::kInitItem, 0xF63C}, {S::kVal1Item, 0x09C3}, {S::kVal2Item, 0xFB1E},
    {S::kVal3Item, 0x04E2}, {S::kDtcnt0Item, 100},  {S::kDtcnt1Item, 100}};

} // namespace

TEST(CpmPWM_FamC, RegisterSetPerGroup) {
    const struct {
        std::set<int> groups;
        int count;
        const char* last;
    } cases[] = {{{}, 28, "CAPTCTRLX_INIT"},
                 {{CModule::kFamE}, 30, "PHASEDLY_INIT"},
                 {{CModule::kFamF}, 30, "PHASEDLY_INIT"},
                 {{CModule::kFamD}, 31, "FFILT_INIT"}};
    for (const auto& c : cases) {
        CFixture f({"PWM_A_0"}, true, 100.0f, c.groups);
        S& sub = f.Sub();
        ASSERT_EQ(sub.ItemCount(), c.count);
        EXPECT_STREQ(sub.Item(c.count - 1).szName, c.last);
        EXPECT_STREQ(sub.Item(S::kUsePwmValItem).szName, "USE_PWMVAL");
        EXPECT_STREQ(sub.Item(4).szName, "VAL1_INIT"); // fifth, before VAL0
        EXPECT_STREQ(sub.Item(S::kVal0Item).szName, "VAL0_INIT");
        EXPECT_STREQ(sub.Item(S::kCaptCtrlXItem).szName, "CAPTCTRLX_INIT");
        EXPECT_EQ(sub.Item(S::kCtrlItem).dwDefault, 0x0400u);
        EXPECT_TRUE(sub.Item(S::kCtrlItem).dwFlags & hwc::RegFlag::NODEFAULT);
        EXPECT_TRUE(sub.Item(S::kUsePwmValItem).dwFlags & hwc::RegFlag::DECVALUE);
        EXPECT_EQ(sub.GetDefineName(sub.Item(S::kInitItem)), "PWM_A_0_INIT_INIT");
        EXPECT_EQ(sub.DialogTemplate()->Id(),
                  c.groups.count(CModule::kFamD) ? S::kFamDTemplateId : S::kTemplateId);
    }
}

TEST(CpmPWM_FamC, InverterSubmoduleShowsWhatTheDriveNeeds) {
    CFixture f;
    f.Run(0, true);
    f.SetValues(f.Sub(), kInverter);
    EXPECT_EQ(f.Text(f.Sub(), S::kInitId), "-2500");
    EXPECT_EQ(f.Text(f.Sub(), S::kVal2Id), "-1250");
    EXPECT_EQ(f.Text(f.Sub(), S::kFrequencyId), "20 kHz");
    EXPECT_EQ(f.Text(f.Sub(), S::kResolutionId), "5000 steps");
    EXPECT_EQ(f.Text(f.Sub(), S::kAlignmentId), "Center-aligned");
    EXPECT_EQ(f.Text(f.Sub(), S::kDutyAId), "50 %");
    EXPECT_EQ(f.Text(f.Sub(), S::kDutyBId), "50 %");
    EXPECT_EQ(f.Text(f.Sub(), S::kDeadTime0NsId), "1000 ns");
    EXPECT_TRUE(f.host.warnings.empty());
}

TEST(CpmPWM_FamC, EdgeAlignedPrescaledAndPhaseShifted) {
    CFixture f;
    f.Run(0, true);
    // 0 .. 3999 at 100 MHz / 4: 6.25 kHz; A from 0 to 1000 is a quarter.
    f.SetValues(f.Sub(), {{S::kCtrlItem, 0x0420},
                          {S::kInitItem, 0},
                          {S::kVal1Item, 3999},
                          {S::kVal2Item, 0},
                          {S::kVal3Item, 1000},
                          {S::kDtcnt0Item, 0},
                          {S::kDtcnt1Item, 0}});
    EXPECT_EQ(f.Text(f.Sub(), S::kFrequencyId), "6.25 kHz");
    EXPECT_EQ(f.Text(f.Sub(), S::kAlignmentId), "Edge-aligned");
    EXPECT_EQ(f.Text(f.Sub(), S::kDutyAId), "25 %");
    EXPECT_EQ(f.Text(f.Sub(), S::kDutyBId), "75 %"); // complementary
    // Independent B with its own edges; B's rising edge off INIT makes it phase-shifted.
    f.SetValues(f.Sub(), {{S::kCtrl2Item, 1u << 13}, {S::kVal4Item, 2000}, {S::kVal5Item, 3000}});
    EXPECT_EQ(f.Text(f.Sub(), S::kDutyBId), "25 %");
    EXPECT_EQ(f.Text(f.Sub(), S::kAlignmentId), "Phase-shifted");
}

TEST(CpmPWM_FamC, UnknownClockOrPeriodShowsQuestionMarks) {
    CFixture noClock({"PWM_A_0"}, true, 0.0f);
    noClock.SetValues(noClock.Sub(), kInverter);
    EXPECT_EQ(noClock.Text(noClock.Sub(), S::kFrequencyId), "??");
    EXPECT_EQ(noClock.Text(noClock.Sub(), S::kDeadTime0NsId), "??");
    EXPECT_EQ(noClock.Text(noClock.Sub(), S::kResolutionId), "5000 steps");

    CFixture f;
    // An external clock has no known frequency; an inverted period gives nothing to divide by.
    f.SetValues(f.Sub(), kInverter);
    f.SetValues(f.Sub(), {{S::kCtrl2Item, 1}});
    EXPECT_EQ(f.Text(f.Sub(), S::kFrequencyId), "??");
    f.SetValues(f.Sub(), {{S::kCtrl2Item, 0}, {S::kInitItem, 100}, {S::kVal1Item, 0xFFFF}});
    EXPECT_EQ(f.Text(f.Sub(), S::kFrequencyId), "??");
    EXPECT_EQ(f.Text(f.Sub(), S::kResolutionId), "??");
    EXPECT_EQ(f.Text(f.Sub(), S::kDutyAId), "??");
    EXPECT_EQ(f.Text(f.Sub(), S::kAlignmentId), "??");
}

TEST(CpmPWM_FamC, FamDFaultFilterOfTheSubmodule) {
    CFixture f({"PWM_A_0"}, true, 100.0f, {CModule::kFamD});
    CPage& page = *f.Sub().Page();
    page.UserEdit(*page.FindControl(S::kFilterPeriodId), "4");
    page.UserEdit(*page.FindControl(S::kFilterCountId), "3");
    EXPECT_EQ(f.Sub().Item(S::kFaultFilterItem).dwValue, 0x0304u);
    f.Sub().Recalculate();
    EXPECT_EQ(f.Text(f.Sub(), S::kFilterLatencyId), "26 bus clocks, 0.26 us");
    page.UserEdit(*page.FindControl(S::kFilterCountId), "8"); // three bits only
    EXPECT_FALSE(f.Sub().Validate(false));
    EXPECT_EQ(f.Sub().Item(S::kFaultFilterItem).dwValue, 0x0304u);
    // The other groups have neither the register nor its controls.
    CFixture famE;
    EXPECT_FALSE(famE.Sub().HasFaultFilter());
    EXPECT_EQ(famE.Sub().FindControl(S::kFilterPeriodId), nullptr);
}

TEST(CpmPWM_FamC, SignedEditsTakeDecimalAndHexWithinSixteenBits) {
    CFixture f;
    CPage& page = *f.Sub().Page();
    CPageControl& init = *page.FindControl(S::kInitId);
    page.UserEdit(init, "-2500");
    EXPECT_EQ(f.Sub().Item(S::kInitItem).dwValue, 0xF63Cu);
    page.UserEdit(init, "0x8000");
    EXPECT_EQ(f.Sub().Item(S::kInitItem).dwValue, 0x8000u);
    f.Sub().RefreshControls();
    EXPECT_EQ(init.Text(), "-32768");
    for (const char* bad : {"-32769", "32768", "0x10000", "12abc", "", "-0x1"}) {
        page.UserEdit(init, bad);
        EXPECT_FALSE(f.Sub().Validate(false)) << bad;
        EXPECT_EQ(f.Sub().Item(S::kInitItem).dwValue, 0x8000u) << bad;
    }
}

TEST(CpmPWM_FamC, PeriodEdgeAndDeadTimeWarnings) {
    CFixture f;
    f.Run(0, true);
    S& sub = f.Sub();
    f.SetValues(sub, kInverter);
    EXPECT_TRUE(f.host.warnings.empty());

    // VAL1 equal to INIT: raised; one more: cleared.
    f.SetValues(sub, {{S::kVal1Item, 0xF63C}});
    EXPECT_NE(f.host.Warning(sub, S::kPeriodWarningId).find("VAL1 (-2500)"), std::string::npos);
    f.SetValues(sub, {{S::kVal1Item, 0xF63D}});
    EXPECT_EQ(f.host.Warning(sub, S::kPeriodWarningId), "");
    f.SetValues(sub, {{S::kVal1Item, 2499}});

    // An edge one count past either end of the period.
    f.SetValues(sub, {{S::kVal3Item, 2500}});
    EXPECT_NE(f.host.Warning(sub, S::kEdgeWarningId).find("VAL3 (2500)"), std::string::npos);
    f.SetValues(sub, {{S::kVal3Item, 2499}});
    EXPECT_EQ(f.host.Warning(sub, S::kEdgeWarningId), "");
    f.SetValues(sub, {{S::kVal2Item, 0xF63B}});
    EXPECT_NE(f.host.Warning(sub, S::kEdgeWarningId), "");
    f.SetValues(sub, {{S::kVal2Item, 0xFB1E}, {S::kVal3Item, 0x04E2}});
    EXPECT_EQ(f.host.Warning(sub, S::kEdgeWarningId), "");
    // B's edges count only in independent mode.
    f.SetValues(sub, {{S::kVal5Item, 3000}});
    EXPECT_EQ(f.host.Warning(sub, S::kEdgeWarningId), "");
    f.SetValues(sub, {{S::kCtrl2Item, 1u << 13}});
    EXPECT_NE(f.host.Warning(sub, S::kEdgeWarningId).find("VAL5"), std::string::npos);
    f.SetValues(sub, {{S::kCtrl2Item, 0}, {S::kVal5Item, 0}});

    // Dead time of exactly half the 5000-count period; with /2 the period is 10000 clocks.
    f.SetValues(sub, {{S::kDtcnt1Item, 2500}});
    EXPECT_NE(f.host.Warning(sub, S::kDeadTimeWarningId).find("Dead time 1"), std::string::npos);
    f.SetValues(sub, {{S::kDtcnt1Item, 2499}});
    EXPECT_EQ(f.host.Warning(sub, S::kDeadTimeWarningId), "");
    f.SetValues(sub, {{S::kDtcnt0Item, 2500}, {S::kCtrlItem, 0x0410}});
    EXPECT_EQ(f.host.Warning(sub, S::kDeadTimeWarningId), "");
    f.SetValues(sub, {{S::kDtcnt0Item, 5000}});
    EXPECT_NE(f.host.Warning(sub, S::kDeadTimeWarningId), "");

    // A stopped sub-module's values are not judged.
    f.Run(0, false);
    f.SetValues(sub, {{S::kVal1Item, 0}, {S::kInitItem, 0}});
    EXPECT_TRUE(f.host.warnings.empty());
}

TEST(CpmPWM_FamC, ClockFromSubmoduleZeroNeedsItRunning) {
    CFixture f({"PWM_A_0", "PWM_A_1"});
    S& sub1 = f.Sub(1);
    f.Run(1, true);
    f.SetValues(f.Sub(0), kInverter);
    f.SetValues(sub1, kInverter);
    f.SetValues(sub1, {{S::kCtrl2Item, S::kSubmodule0Clock}});
    EXPECT_NE(f.host.Warning(sub1, S::kClockWarningId).find("PWM_A_0 is not running"),
              std::string::npos);
    EXPECT_EQ(f.Text(sub1, S::kFrequencyId), "20 kHz");
    f.Run(0, true);
    f.SetValues(sub1, {});
    EXPECT_EQ(f.host.Warning(sub1, S::kClockWarningId), "");
    // Reserved code 3, and sub-module 0 on its own clock.
    f.SetValues(sub1, {{S::kCtrl2Item, 3}});
    EXPECT_NE(f.host.Warning(sub1, S::kClockWarningId).find("reserved"), std::string::npos);
    EXPECT_EQ(f.Text(sub1, S::kFrequencyId), "??");
    // The reserved code stays as loaded: the page takes it and writes it back.
    EXPECT_TRUE(sub1.Validate(false));
    sub1.ApplyControls();
    EXPECT_EQ(sub1.Item(S::kCtrl2Item).dwValue, 3u);
    f.SetValues(f.Sub(0), {{S::kCtrl2Item, S::kSubmodule0Clock}});
    EXPECT_NE(f.host.Warning(f.Sub(0), S::kClockWarningId).find("itself"), std::string::npos);

    // Sub-module 0 absent from the document.
    CFixture lone({"PWM_A_2"});
    lone.Run(2, true);
    lone.SetValues(lone.Sub(), kInverter);
    lone.SetValues(lone.Sub(), {{S::kCtrl2Item, S::kSubmodule0Clock}});
    EXPECT_NE(lone.host.Warning(lone.Sub(), S::kClockWarningId).find("PWM_A_0 does not exist"),
              std::string::npos);
}

TEST(CpmPWM_FamC, DriverDefineOtherThanZeroOrOneIsKeptAndWarned) {
    CFixture f;
    f.SetValues(f.Sub(), {{S::kUsePwmValItem, 7}});
    EXPECT_NE(f.host.Warning(f.Sub(), S::kDriverWarningId).find("USE_PWMVAL is 7"),
              std::string::npos);
    f.Sub().ApplyControls();
    EXPECT_EQ(f.Sub().Item(S::kUsePwmValItem).dwValue, 7u);
    f.SetValues(f.Sub(), {{S::kUsePwmValItem, 1}});
    EXPECT_EQ(f.host.Warning(f.Sub(), S::kDriverWarningId), "");
}

TEST(CpmPWM_FamC, TriggersEnableAndFaultMapAnswers) {
    CFixture f({"PWM_A_0", "PWM_A_1"});
    S& sub = f.Sub();
    for (int bit = 0; bit < 6; ++bit) {
        sub.Item(S::kTctrlItem).dwValue = 1u << bit;
        EXPECT_EQ(hwc::PwmTriggerSelected(sub, "PWM_A_0", 0, false), bit % 2 == 0) << bit;
        EXPECT_EQ(hwc::PwmTriggerSelected(sub, "PWM_A_0", 1, false), bit % 2 == 1) << bit;
    }
    sub.Item(S::kTctrlItem).dwValue = 1u << 6; // outside the trigger bits
    EXPECT_FALSE(hwc::PwmTriggerSelected(sub, "PWM_A_0", -1, true));
    EXPECT_TRUE(hwc::PwmTriggerSelected(sub, "PWM_A_9", 0, true));

    EXPECT_FALSE(hwc::ModuleEnabled(sub, "PWM_A_1", true));
    f.Run(1, true);
    EXPECT_TRUE(hwc::ModuleEnabled(sub, "PWM_A_1", false));
    EXPECT_FALSE(hwc::ModuleEnabled(sub, "PWM_A_0", true));
    // Without the common module nothing says it is stopped.
    CFixture alone({"PWM_B_0"}, false);
    EXPECT_TRUE(hwc::ModuleEnabled(alone.Sub(), "PWM_B_0", false));

    sub.Item(S::kDismap0Item).dwValue = 0x0201; // fault 0 on A, fault 1 on X
    sub.Item(S::kDismap1Item).dwValue = 0x0040; // fault 6 on B
    EXPECT_EQ(hwc::PwmMappedFaults(sub, "PWM_A_0"), 0x43u);
    EXPECT_EQ(hwc::PwmMappedFaults(sub, "PWM_A_7"), 0u);
    EXPECT_EQ(hwc::PwmCommonInstance("PWM_A_0"), "PWM_A");
    EXPECT_EQ(hwc::PwmCommonInstance("PWM_2"), "PWM");
    EXPECT_EQ(hwc::PwmCommonInstance("PWM_A"), "");
    EXPECT_EQ(hwc::PwmCommonInstance("_1"), "");
}

TEST(CpmPWMAll_FamC, InstancePrefixRule) {
    const struct {
        const char* instance;
        const char* define;
    } cases[] = {{"PWM", "PWM_A_MCTRL_INIT"},
                 {"PWM_A", "PWM_A_MCTRL_INIT"},
                 {"PWM_B", "PWM_B_MCTRL_INIT"},
                 {"EFLEX", "EFLEX_MCTRL_INIT"}};
    for (const auto& c : cases) {
        CHost host;
        host.groups = {CModule::kFamE};
        C& all = host.Add<C>(c.instance, "PWMAll_FamC");
        EXPECT_EQ(all.GetDefineName(all.Item(all.Index(C::kMctrl))), c.define) << c.instance;
        EXPECT_EQ(all.ItemCount(), 10);
    }
}

TEST(CpmPWMAll_FamC, TwoCommonModulesClaimOnlyTheirOwnDefines) {
    CAppcfgFile header;
    Define(header, "PWM_A_MCTRL_INIT", "0x0F00");
    Define(header, "PWM_B_MCTRL_INIT", "0x0100");
    Define(header, "PWM_B_OUTEN_INIT", "0x0070");
    CHost host;
    host.groups = {CModule::kFamE};
    C& a = host.Add<C>("PWM_A", "PWMAll_FamC");
    C& b = host.Add<C>("PWM_B", "PWMAll_FamC");
    host.BindAll();
    EXPECT_TRUE(a.LoadFromHeader(&header));
    EXPECT_TRUE(b.LoadFromHeader(&header));
    EXPECT_EQ(a.Item(a.Index(C::kMctrl)).dwValue, 0x0F00u);
    EXPECT_EQ(a.Item(a.Index(C::kOuten)).dwValue, 0u);
    EXPECT_EQ(b.Item(b.Index(C::kMctrl)).dwValue, 0x0100u);
    EXPECT_EQ(b.Item(b.Index(C::kOuten)).dwValue, 0x0070u);
    std::string text;
    ASSERT_TRUE(b.WriteHeaderText(text));
    EXPECT_NE(text.find("PWM_B_MCTRL_INIT"), std::string::npos);
    EXPECT_EQ(text.find("PWM_A_"), std::string::npos);
}

TEST(CpmPWMAll_FamC, RegisterSetsAndSecondMode) {
    CHost old;
    C& first = old.Add<C>("PWM", "PWMAll_FamC", "FAULT_CHANNEL=1");
    // No MCTRL2 and no fault channel 1 outside FamE, FamF and FamD.
    ASSERT_EQ(first.ItemCount(), 9);
    EXPECT_EQ(first.Index(C::kMctrl2), -1);
    EXPECT_STREQ(first.Item(first.Index(C::kFtst)).szName, "-PWM_A_FTST0_INIT");
    EXPECT_FALSE(first.IsFaultChannelMode());
    EXPECT_EQ(first.DialogTemplate()->Id(), C::kTemplateId);

    CHost famD;
    famD.groups = {CModule::kFamD};
    C& second = famD.Add<C>("PWM_A", "PWMAll_FamC", "FAULT_CHANNEL=1");
    ASSERT_EQ(second.ItemCount(), 4);
    EXPECT_TRUE(second.IsFaultChannelMode());
    EXPECT_EQ(second.FirstFault(), 4);
    EXPECT_EQ(second.GetDefineName(second.Item(0)), "PWM_A_FCTRL1_INIT");
    EXPECT_EQ(second.Index(C::kMctrl), -1);
    EXPECT_EQ(second.DialogTemplate()->Id(), C::kFaultChannelTemplateId);
    famD.BindAll();
    famD.OpenAll();
    EXPECT_EQ(second.FindControl(C::kFaultLabelId)->Text(), "Fault 4:");
    // A module information value other than 1 is the first mode.
    C& other = famD.Add<C>("PWM_B", "PWMAll_FamC", "FAULT_CHANNEL=7");
    EXPECT_EQ(other.ItemCount(), 10);
}

TEST(CpmPWMAll_FamC, RowsFollowTheSubmodulesAndBitsLandInMctrlAndOuten) {
    CFixture f({"PWM_A_0", "PWM_A_2"});
    EXPECT_TRUE(f.all->FindControl(C::kRunId)->IsVisible());
    EXPECT_FALSE(f.all->FindControl(C::kRunId + 10)->IsVisible());
    EXPECT_TRUE(f.all->FindControl(C::kRunId + 20)->IsVisible());
    CPage& page = *f.all->Page();
    page.UserClick(*page.FindControl(C::kRunId + 20));
    page.UserClick(*page.FindControl(C::kLoadOkId + 20));
    page.UserClick(*page.FindControl(C::kOutputAId + 20));
    page.UserClick(*page.FindControl(C::kOutputXId));
    EXPECT_EQ(f.all->Item(f.all->Index(C::kMctrl)).dwValue, 0x0404u);
    EXPECT_EQ(f.all->Item(f.all->Index(C::kOuten)).dwValue, 0x0401u);
    EXPECT_TRUE(f.all->IsSubmoduleRunning(2));
    EXPECT_FALSE(f.all->IsSubmoduleRunning(0));
}

TEST(CpmPWMAll_FamC, FilterLatency) {
    CFixture f;
    tPerCfgItem& filter = f.all->Item(f.all->Index(C::kFfilt));
    filter.dwValue = 0x0304; // count 3, period 4: (3 + 3) x 4 + 2
    EXPECT_EQ(f.all->FilterLatencyClocks(), 26u);
    f.all->RefreshControls();
    f.all->Recalculate();
    EXPECT_EQ(f.all->FindControl(C::kFilterLatencyId)->Text(), "26 bus clocks, 0.26 us");
    filter.dwValue = 0x07FF; // the largest: (7 + 3) x 255 + 2
    EXPECT_EQ(f.all->FilterLatencyClocks(), 2552u);
    filter.dwValue = 0x0700; // period 0 is the filter off
    EXPECT_EQ(f.all->FilterLatencyClocks(), 0u);
    f.all->Recalculate();
    EXPECT_EQ(f.all->FindControl(C::kFilterLatencyId)->Text(), "Filter off");
    CFixture noClock({"PWM_A_0"}, true, 0.0f);
    noClock.all->Item(noClock.all->Index(C::kFfilt)).dwValue = 0x0304;
    noClock.all->Recalculate();
    EXPECT_EQ(noClock.all->FindControl(C::kFilterLatencyId)->Text(), "??");
}

TEST(CpmPWMAll_FamC, MappedFaultWithoutSourceWarns) {
    CFixture f({"PWM_A_0", "PWM_A_1"});
    auto& xbar = f.host.Add<CpmPwmCrossbarTest>("XBAR_A", "XBAR");
    xbar.BindControls(&f.host);
    f.all->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.all, C::kFaultSourceWarningId), ""); // not mapped
    f.SetValues(f.Sub(1), {{S::kDismap0Item, 0x0100}});              // fault 0 on X
    EXPECT_NE(f.host.Warning(*f.all, C::kFaultSourceWarningId).find("selects no input"),
              std::string::npos);
    // Fault 1 has no crossbar output in this crossbar: nothing to judge.
    f.SetValues(f.Sub(1), {{S::kDismap0Item, 0x0002}});
    EXPECT_EQ(f.host.Warning(*f.all, C::kFaultSourceWarningId), "");
    EXPECT_EQ(f.host.Warning(*f.all, C::kFaultSourceWarningId + 10), "");
    f.SetValues(f.Sub(1), {{S::kDismap0Item, 0x0001}});
    EXPECT_NE(f.host.Warning(*f.all, C::kFaultSourceWarningId), "");
    xbar.sourceSet = true;
    f.all->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.all, C::kFaultSourceWarningId), "");
}

TEST(CpmPWMAll_FamC, FaultSourceThroughTheSingleCrossbarOfInstancePwm) {
    CHost host;
    C& all = host.Add<C>("PWM", "PWMAll_FamC");
    S& sub = host.Add<S>("PWM_0", "PWM_FamC");
    auto& xbar = host.Add<CpmPwmCrossbarTest>("XBAR", "XBAR");
    xbar.signal = "PWM_FAULT0";
    host.BindAll();
    sub.Item(S::kDismap0Item).dwValue = 0x0010; // fault 0 on B
    all.CheckWarnings();
    EXPECT_NE(host.Warning(all, C::kFaultSourceWarningId).find("PWM_FAULT0 selects no input"),
              std::string::npos);
    EXPECT_NE(host.Warning(all, C::kFaultSourceWarningId).find("see XBAR"), std::string::npos);
}
