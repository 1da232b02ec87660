#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/analog/ComparatorCommon.h"
#include "modules/analog/CpmDAC.h"
#include "modules/analog/CpmHSCMP.h"
#include "modules/analog/CpmVREF_DAC.h"
#include "modules/timers/CpmPDB.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;

// A clock module that publishes a chosen bus clock.
class CpmHscmpClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmHscmpClock, CModule)
public:
    CpmHscmpClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A module that answers its enable without being a DAC (an amplifier, say).
class CpmHscmpSource : public CModule, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmHscmpSource, CModule)
public:
    CpmHscmpSource(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsModuleEnabled() const override { return enabled; }
    bool enabled = false;
};

// A document with one comparator "HSCMP_A" (or the instance given) in the groups, page open.
struct CHscmpFixture {
    explicit CHscmpFixture(std::set<int> groups, float busMHz = -1.0f,
                           const std::string& instance = "HSCMP_A") {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmHscmpClock>("OCCS", "OCCS").busMHz = busMHz;
        cmp = &host.Add<CpmHSCMP>(instance, "HSCMP");
    }
    // Binds every module and opens the comparator's page.
    void Open() {
        host.BindAll();
        cmp->CreatePage();
        cmp->OnInitialUpdate();
        cmp->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *cmp->Page()->FindControl(id); }
    std::string Text(int id) {
        cmp->Recalculate();
        return Control(id).Text();
    }
    void Set(int item, std::uint32_t value) {
        cmp->Item(item).dwValue = value;
        cmp->RefreshControls();
    }

    CModuleTestHost host;
    CpmHSCMP* cmp = nullptr;
};

constexpr std::uint32_t kWindowing = 1u << 6;
constexpr std::uint32_t kSampling = 1u << 7;

std::uint32_t Count(std::uint32_t n) {
    return n << 4;
}

} // namespace

TEST(ComparatorFilterDelay, FollowsTheModesStepByStep) {
    const double t = 1.0 / 50e6;
    // Neither mode: off for a zero count or period, two clocks for one sample.
    EXPECT_EQ(hwc::ComparatorFilterDelay(false, false, 0, 10, 50e6), 0.0);
    EXPECT_EQ(hwc::ComparatorFilterDelay(false, false, 3, 0, 50e6), 0.0);
    EXPECT_EQ(hwc::ComparatorFilterDelay(false, false, 1, 0, 50e6), 0.0);
    EXPECT_DOUBLE_EQ(hwc::ComparatorFilterDelay(false, false, 1, 1, 50e6), 2 * t);
    EXPECT_DOUBLE_EQ(hwc::ComparatorFilterDelay(false, false, 1, 255, 50e6), 2 * t);
    EXPECT_DOUBLE_EQ(hwc::ComparatorFilterDelay(false, false, 7, 255, 50e6), (7 * 255 + 1) * t);
    // Windowing alone.
    EXPECT_DOUBLE_EQ(hwc::ComparatorFilterDelay(true, false, 0, 10, 50e6), t);
    EXPECT_DOUBLE_EQ(hwc::ComparatorFilterDelay(true, false, 3, 0, 50e6), t);
    EXPECT_DOUBLE_EQ(hwc::ComparatorFilterDelay(true, false, 3, 10, 50e6), 640e-9);
    // Sampling mode, with or without windowing.
    EXPECT_EQ(hwc::ComparatorFilterDelay(false, true, 3, 10, 50e6), 0.0);
    EXPECT_EQ(hwc::ComparatorFilterDelay(true, true, 3, 10, 50e6), 0.0);
    // No bus clock (or a nonsense one): no time, never an infinite one.
    EXPECT_EQ(hwc::ComparatorFilterDelay(true, false, 3, 10, 0.0), 0.0);
    EXPECT_EQ(hwc::ComparatorFilterDelay(false, false, 1, 1, -5.0), 0.0);
}

TEST(CpmHSCMP, FilterDelayOnThePage) {
    CHscmpFixture f({CModule::kFamE}, 50.0f);
    f.Open();
    CPage& page = *f.cmp->Page();
    page.UserClick(f.Control(CpmHSCMP::kWindowingId));
    page.UserSelect(f.Control(CpmHSCMP::kFilterCountId), 3);
    page.UserEdit(f.Control(CpmHSCMP::kFilterPeriodId), "10");
    EXPECT_EQ(f.cmp->Item(CpmHSCMP::kCr1Item).dwValue, kWindowing);
    EXPECT_EQ(f.cmp->Item(CpmHSCMP::kCr0Item).dwValue, Count(3));
    EXPECT_EQ(f.cmp->Item(CpmHSCMP::kFprItem).dwValue, 10u);
    EXPECT_EQ(f.Text(CpmHSCMP::kFilterDelayId), "0.64 us");
    page.UserClick(f.Control(CpmHSCMP::kSamplingId));
    EXPECT_EQ(f.Text(CpmHSCMP::kFilterDelayId), "???");
    // Neither mode, one sample: two bus clocks whatever the period; a period of 0 turns it off.
    f.Set(CpmHSCMP::kCr1Item, 0);
    f.Set(CpmHSCMP::kCr0Item, Count(1));
    EXPECT_EQ(f.Text(CpmHSCMP::kFilterDelayId), "0.04 us");
    f.Set(CpmHSCMP::kFprItem, 0);
    EXPECT_EQ(f.Text(CpmHSCMP::kFilterDelayId), "???");
    // The period field takes 0 to 255 only.
    page.UserEdit(f.Control(CpmHSCMP::kFilterPeriodId), "256");
    EXPECT_EQ(f.cmp->Item(CpmHSCMP::kFprItem).dwValue, 0u);
}

TEST(CpmHSCMP, NoClockShowsTheZeroTextNotInfinity) {
    CHscmpFixture f({CModule::kFamA});
    f.Open();
    f.Set(CpmHSCMP::kCr1Item, kWindowing);
    f.Set(CpmHSCMP::kCr0Item, Count(3));
    f.Set(CpmHSCMP::kFprItem, 10);
    EXPECT_EQ(f.Text(CpmHSCMP::kFilterDelayId), "???");
    EXPECT_EQ(f.cmp->FilterDelay(), 0.0);
}

TEST(CpmHSCMP, ReferenceDacVoltageAndShare) {
    CHscmpFixture famE({CModule::kFamE}, 50.0f);
    famE.Open();
    CPage& page = *famE.cmp->Page();
    EXPECT_EQ(famE.Text(CpmHSCMP::kDacVoltageId), "OFF");
    EXPECT_EQ(famE.Text(CpmHSCMP::kDacShareId), "OFF");
    EXPECT_FALSE(famE.Control(CpmHSCMP::kDacValueId).IsEnabled());
    page.UserClick(famE.Control(CpmHSCMP::kDacEnableId));
    EXPECT_TRUE(famE.Control(CpmHSCMP::kDacValueId).IsEnabled());
    page.UserEdit(famE.Control(CpmHSCMP::kDacValueId), "63");
    EXPECT_EQ(famE.cmp->Item(CpmHSCMP::kDacCrItem).dwValue, 0x80u | 63u);
    EXPECT_EQ(famE.Text(CpmHSCMP::kDacVoltageId), "3.300 V");
    EXPECT_EQ(famE.Text(CpmHSCMP::kDacShareId), "100.0 %");
    page.UserEdit(famE.Control(CpmHSCMP::kDacValueId), "0");
    EXPECT_EQ(famE.Text(CpmHSCMP::kDacVoltageId), "0.052 V");
    EXPECT_EQ(famE.Text(CpmHSCMP::kDacShareId), "1.6 %");
    // Six bits on FamE: 64 is refused.
    page.UserEdit(famE.Control(CpmHSCMP::kDacValueId), "64");
    EXPECT_EQ(famE.cmp->Item(CpmHSCMP::kDacCrItem).dwValue, 0x80u);

    // FamD: the enable lives in MUXCR, the value has eight bits.
    CHscmpFixture famD({CModule::kFamD}, 50.0f);
    famD.Open();
    CPage& pageD = *famD.cmp->Page();
    pageD.UserClick(famD.Control(CpmHSCMP::kDacEnableId));
    EXPECT_EQ(famD.cmp->Item(CpmHSCMP::kMuxCrItem).dwValue, 0x80u);
    pageD.UserEdit(famD.Control(CpmHSCMP::kDacValueId), "255");
    EXPECT_EQ(famD.cmp->Item(CpmHSCMP::kDacCrItem).dwValue, 255u);
    EXPECT_EQ(famD.Text(CpmHSCMP::kDacVoltageId), "3.300 V");
    EXPECT_EQ(famD.Text(CpmHSCMP::kDacShareId), "100.0 %");
    pageD.UserEdit(famD.Control(CpmHSCMP::kDacValueId), "127");
    EXPECT_EQ(famD.Text(CpmHSCMP::kDacVoltageId), "1.650 V");
    EXPECT_EQ(famD.Text(CpmHSCMP::kDacShareId), "50.0 %");
    // The DACCR enable bit of FamE means nothing on FamD.
    famD.Set(CpmHSCMP::kMuxCrItem, 0);
    famD.Set(CpmHSCMP::kDacCrItem, 0x80);
    EXPECT_EQ(famD.Text(CpmHSCMP::kDacVoltageId), "OFF");
}

TEST(CpmHSCMP, RegisterSetsAndPagesByGroup) {
    for (int group : {int{CModule::kFamA}, hwc::test::kFamC}) {
        CHscmpFixture f({group});
        EXPECT_EQ(f.cmp->ItemCount(), 5) << group;
        EXPECT_EQ(f.cmp->TemplateId(), CpmHSCMP::kTemplateId);
        EXPECT_TRUE(f.cmp->Item(CpmHSCMP::kPcrItem).dwFlags & hwc::RegFlag::DUMMYREG);
        EXPECT_TRUE(f.cmp->Item(CpmHSCMP::kPcrItem).dwFlags & hwc::RegFlag::NOSHOWLIST);
        f.Open();
        EXPECT_EQ(f.cmp->Page()->FindControl(CpmHSCMP::kDacVoltageId), nullptr);
    }
    for (int group : {CModule::kFamE, CModule::kFamF, CModule::kFamD}) {
        CHscmpFixture f({group});
        EXPECT_EQ(f.cmp->ItemCount(), 7) << group;
        EXPECT_EQ(f.cmp->TemplateId(), CpmHSCMP::kNewerTemplateId);
        EXPECT_FALSE(f.cmp->Item(CpmHSCMP::kPcrItem).dwFlags & hwc::RegFlag::DUMMYREG);
        EXPECT_STREQ(f.cmp->Item(CpmHSCMP::kMuxCrItem).szName, "MUXCR_INIT");
    }
}

TEST(CpmHSCMP, InputListsByGroup) {
    CHscmpFixture famC({hwc::test::kFamC});
    famC.Open();
    EXPECT_EQ(
        famC.Control(CpmHSCMP::kPlusInputId).Items(),
        (std::vector<std::string>{"P0 (IN0)", "P1 (IN1)", "P2 (5-bit VREFA)", "P3 (12-bit DAC)"}));
    famC.cmp->Page()->UserSelect(famC.Control(CpmHSCMP::kMinusInputId), 3);
    famC.cmp->Page()->UserSelect(famC.Control(CpmHSCMP::kPlusInputId), 2);
    EXPECT_EQ(famC.cmp->Item(CpmHSCMP::kCr0Item).dwValue, (2u << 8) | (3u << 12));
    EXPECT_EQ(famC.cmp->PlusSelection(), 2);
    EXPECT_EQ(famC.cmp->MinusSelection(), 3);

    CHscmpFixture famF({CModule::kFamF});
    famF.Open();
    EXPECT_EQ(famF.Control(CpmHSCMP::kMinusInputId).Items().at(5), "IN5 (12-bit DAC_B)");
    famF.cmp->Page()->UserSelect(famF.Control(CpmHSCMP::kPlusInputId), 4);
    famF.cmp->Page()->UserSelect(famF.Control(CpmHSCMP::kMinusInputId), 7);
    EXPECT_EQ(famF.cmp->Item(CpmHSCMP::kMuxCrItem).dwValue, (4u << 3) | 7u);
    std::string summary;
    famF.cmp->GetSummary(summary);
    EXPECT_NE(summary.find("Plus Input: IN4 (12-bit DAC_A)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Minus Input: IN7 (6-bit DAC)"), std::string::npos) << summary;
}

TEST(CpmHSCMP, InputFromADisabledModuleWarns) {
    CHscmpFixture f({hwc::test::kFamC});
    CpmVREF_DAC& vrefA = f.host.Add<CpmVREF_DAC>("VREF_A", "VREF_DAC");
    CpmDAC& dac = f.host.Add<CpmDAC>("DAC", "DAC");
    f.Open();
    f.Set(CpmHSCMP::kCr0Item, 2u << 8); // plus: VREF_A
    f.cmp->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.cmp, CpmHSCMP::kPlusWarningId),
              "HSCMP_A module is using VREF_A module output and VREF_A module is not enabled.");
    EXPECT_EQ(f.Control(CpmHSCMP::kPlusWarningId).Text(),
              f.host.Warning(*f.cmp, CpmHSCMP::kPlusWarningId));
    EXPECT_TRUE(f.Control(CpmHSCMP::kPlusWarningId).IsVisible());
    vrefA.Item(CpmVREF_DAC::kControlItem).dwValue = 0x80;
    f.cmp->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(CpmHSCMP::kPlusWarningId));
    EXPECT_FALSE(f.Control(CpmHSCMP::kPlusWarningId).IsVisible());

    // The DAC is powered down out of reset.
    f.Set(CpmHSCMP::kCr0Item, 3u << 12); // minus: DAC
    f.cmp->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.cmp, CpmHSCMP::kMinusWarningId),
              "HSCMP_A module is using DAC module output and DAC module is not enabled.");
    dac.Item(CpmDAC::kCtrlItem).dwValue = 0;
    f.cmp->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(CpmHSCMP::kMinusWarningId));

    // A source the processor does not have raises nothing.
    f.Set(CpmHSCMP::kCr0Item, 2u << 12); // minus: VREF_B
    f.cmp->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
}

TEST(CpmHSCMP, OtherSourcesUseTheGeneralText) {
    CHscmpFixture famF({CModule::kFamF}, -1.0f, "HSCMP_B");
    CpmDAC& dacB = famF.host.Add<CpmDAC>("DAC_B", "DAC");
    famF.Open();
    famF.Set(CpmHSCMP::kMuxCrItem, 5u << 3);
    famF.cmp->CheckWarnings();
    EXPECT_EQ(famF.host.Warning(*famF.cmp, CpmHSCMP::kPlusWarningId),
              "HSCMP_B module is using DAC_B module output but DAC_B module is not enabled.");
    dacB.Item(CpmDAC::kCtrlItem).dwValue = 0x1100;
    famF.cmp->CheckWarnings();
    EXPECT_FALSE(famF.host.Warns(CpmHSCMP::kPlusWarningId));
    // DAC_A is absent on this processor.
    famF.Set(CpmHSCMP::kMuxCrItem, 4u << 3);
    famF.cmp->CheckWarnings();
    EXPECT_FALSE(famF.host.Warns(CpmHSCMP::kPlusWarningId));

    CHscmpFixture famA({CModule::kFamA}, -1.0f, "HSCMP_0");
    CpmHscmpSource& pga = famA.host.Add<CpmHscmpSource>("PGA_0", "PGA");
    famA.Open();
    famA.Set(CpmHSCMP::kCr0Item, 3u << 8);
    famA.cmp->CheckWarnings();
    EXPECT_EQ(famA.host.Warning(*famA.cmp, CpmHSCMP::kPlusWarningId),
              "HSCMP_0 module is using PGA_0 module output but PGA_0 module is not enabled.");
    pga.enabled = true;
    famA.cmp->CheckWarnings();
    EXPECT_FALSE(famA.host.Warns(CpmHSCMP::kPlusWarningId));
}

TEST(CpmHSCMP, AnswersItsEnableToTheOtherModules) {
    CModuleTestHost host;
    host.groups = {CModule::kFamE};
    CpmHSCMP& cmp = host.Add<CpmHSCMP>("HSCMP_A", "HSCMP");
    CpmDAC& dac = host.Add<CpmDAC>("DAC", "DAC");
    CpmHscmpSource& other = host.Add<CpmHscmpSource>("PWM_A", "PWM");
    host.BindAll();
    EXPECT_FALSE(hwc::ComparatorEnabled(cmp, "HSCMP_A", true));
    EXPECT_FALSE(hwc::ModuleEnabled(cmp, "HSCMP_A", true));
    cmp.Item(CpmHSCMP::kCr1Item).dwValue = 1;
    EXPECT_TRUE(hwc::ComparatorEnabled(cmp, "HSCMP_A", false));
    EXPECT_TRUE(hwc::ModuleEnabled(cmp, "HSCMP_A", false));
    // Absent, or of another kind: the asker's answer.
    EXPECT_TRUE(hwc::ComparatorEnabled(cmp, "HSCMP_B", true));
    EXPECT_FALSE(hwc::ComparatorEnabled(cmp, "HSCMP_B", false));
    other.enabled = true;
    EXPECT_FALSE(hwc::ComparatorEnabled(cmp, "PWM_A", false));
    EXPECT_FALSE(hwc::AnalogOutputEnabled(cmp, "PWM_A", false));
    EXPECT_FALSE(hwc::AnalogOutputEnabled(cmp, "HSCMP_A", false));
    // The DAC out of reset is powered down.
    EXPECT_FALSE(hwc::AnalogOutputEnabled(cmp, "DAC", true));
    dac.Item(CpmDAC::kCtrlItem).dwValue = 0x1100;
    EXPECT_TRUE(hwc::AnalogOutputEnabled(cmp, "DAC", false));
}

TEST(CpmHSCMP, SummaryAndUserVectorNote) {
    CHscmpFixture famA({CModule::kFamA}, 32.0f, "HSCMP_0");
    famA.Open();
    EXPECT_FALSE(famA.Control(CpmHSCMP::kUserVectorNoteId).IsVisible());
    EXPECT_FALSE(famA.Control(CpmHSCMP::kDmaId).IsVisible());
    famA.cmp->Page()->UserClick(famA.Control(CpmHSCMP::kEnableId));
    famA.cmp->Page()->UserSelect(famA.Control(CpmHSCMP::kFilterCountId), 2);
    std::string summary;
    famA.cmp->GetSummary(summary);
    EXPECT_NE(summary.find("Comparator Enable: Enable"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Input Filter: Consecutive Samples Required to Agree: 2 samples"),
              std::string::npos)
        << summary;
    EXPECT_EQ(summary.find("DAC"), std::string::npos) << summary;
}

TEST(CpmHSCMP, DelayBlockTriggeredByADisabledComparatorWarns) {
    CModuleTestHost host;
    host.groups = {CModule::kFamA};
    CpmPDB& pdb = host.Add<CpmPDB>("PDB_0", "PDB");
    CpmHSCMP& cmp = host.Add<CpmHSCMP>("HSCMP_1", "HSCMP");
    host.BindAll();
    pdb.SetSelected(true);
    pdb.Item(CpmPDB::kControlItem).dwValue = 1u << 2; // input trigger: comparator 1
    pdb.CheckWarnings();
    EXPECT_EQ(host.Warning(pdb, CpmPDB::kInputTriggerWarningId),
              "HSCMP_1 module is not enabled (and is selected as Input Trigger)");
    cmp.Item(CpmHSCMP::kCr1Item).dwValue = 1;
    pdb.CheckWarnings();
    EXPECT_FALSE(host.Warns(CpmPDB::kInputTriggerWarningId));
}
