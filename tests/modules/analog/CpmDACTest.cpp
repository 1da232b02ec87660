#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "modules/analog/CpmDAC.h"
#include "support/CrossbarStub.h"
#include "support/ModuleTestHost.h"

namespace {

class CpmDacClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmDacClock, CModule)
public:
    CpmDacClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A crossbar whose outputs select the inputs the test gives (the first input otherwise), and
// whose sources all pass unless listed as failing.
class CpmDacCrossbar : public CModule, public hwc::test::CCrossbarStub {
    HWC_DECLARE_MODULE_CLASS(CpmDacCrossbar, CModule)
public:
    CpmDacCrossbar(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return failing.count(output) == 0; }
    int OutputMode(int output) const override {
        const auto found = selected.find(output);
        return found == selected.end() ? 0 : found->second;
    }
    std::map<int, int> selected;
    std::set<int> failing;
};

constexpr std::uint32_t kPowerDown = 1u << 0;
constexpr std::uint32_t kLeft = 1u << 1;
constexpr std::uint32_t kSync = 1u << 2;
constexpr std::uint32_t kAuto = 1u << 3;
constexpr std::uint32_t kDma = 1u << 7;
constexpr std::uint32_t kReload = 1u << 14;

struct CDacFixture {
    explicit CDacFixture(std::set<int> groups, const std::string& instance = "DAC",
                         const char* crossbar = nullptr, float busMHz = -1.0f) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmDacClock>("OCCS", "OCCS").busMHz = busMHz;
        if (crossbar)
            xbar = &host.Add<CpmDacCrossbar>(crossbar, "XBAR");
        dac = &host.Add<CpmDAC>(instance, "DAC");
        host.BindAll();
        dac->CreatePage();
        dac->OnInitialUpdate();
        dac->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *dac->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    std::uint32_t& Ctrl() { return dac->Item(CpmDAC::kCtrlItem).dwValue; }
    void Check(std::uint32_t ctrl) {
        Ctrl() = ctrl;
        dac->CheckWarnings();
    }

    hwc::test::CModuleTestHost host;
    CpmDacCrossbar* xbar = nullptr;
    CpmDAC* dac = nullptr;
};

} // namespace

TEST(CpmDAC, RegisterSetsByGroup) {
    CDacFixture older({hwc::test::kFamB}, "DAC_0");
    EXPECT_EQ(older.dac->ItemCount(), 5);
    EXPECT_EQ(older.dac->TemplateId(), CpmDAC::kTemplateId);
    EXPECT_EQ(older.Ctrl(), 0xF001u);
    EXPECT_EQ(older.dac->Item(CpmDAC::kMaximumItem).dwValue, 0xFFFFu);
    EXPECT_TRUE(older.dac->Item(CpmDAC::kCtrlItem).dwFlags & hwc::RegFlag::NODEFAULT);
    EXPECT_EQ(older.dac->Page()->FindControl(CpmDAC::kDmaId), nullptr);
    for (int group : {CModule::kFamE, CModule::kFamF}) {
        CDacFixture newer({group}, "DAC_A");
        EXPECT_EQ(newer.dac->ItemCount(), 6) << group;
        EXPECT_EQ(newer.dac->TemplateId(), CpmDAC::kNewerTemplateId);
        EXPECT_EQ(newer.Ctrl(), 0x1101u);
        EXPECT_EQ(newer.dac->Item(CpmDAC::kCtrl1Item).dwValue, 0x1Du);
        EXPECT_TRUE(newer.dac->Item(CpmDAC::kCtrl1Item).dwFlags & hwc::RegFlag::NODEFAULT);
        EXPECT_FALSE(newer.Control(CpmDAC::kCompareId).IsVisible());
        EXPECT_FALSE(newer.Control(CpmDAC::kReloadId).IsVisible());
    }
    CDacFixture famD({CModule::kFamD}, "DAC_B");
    EXPECT_EQ(famD.dac->ItemCount(), 7);
    EXPECT_STREQ(famD.dac->Item(CpmDAC::kCompareItem).szName, "COMPARE_INIT");
    EXPECT_TRUE(famD.Control(CpmDAC::kCompareId).IsVisible());
    EXPECT_EQ(famD.Text(CpmDAC::kReloadId), "No Reload");
    EXPECT_EQ(famD.Control(CpmDAC::kReloadId).Items().front(), "No Reload");
}

TEST(CpmDAC, DataValuesFollowTheFormat) {
    CDacFixture f({CModule::kFamE});
    CPage& page = *f.dac->Page();
    page.UserClick(f.Control(CpmDAC::kLeftJustifiedId));
    EXPECT_EQ(f.Ctrl(), 0x1101u | kLeft);
    page.UserEdit(f.Control(CpmDAC::kDataId), "0xABC");
    EXPECT_EQ(f.dac->Item(CpmDAC::kDataItem).dwValue, 0xABC0u);
    f.dac->RefreshControls();
    EXPECT_EQ(f.Text(CpmDAC::kDataId), "0xABC");
    // Back to right-justified: the register is kept and read as the new format reads it.
    page.UserClick(f.Control(CpmDAC::kRightJustifiedId));
    EXPECT_EQ(f.Ctrl(), 0x1101u);
    f.dac->RefreshControls();
    EXPECT_EQ(f.dac->Item(CpmDAC::kDataItem).dwValue, 0xABC0u);
    EXPECT_EQ(f.Text(CpmDAC::kDataId), "0xBC0");
    // Above 12 bits an entry is masked to 12.
    page.UserEdit(f.Control(CpmDAC::kStepId), "0x1FFF");
    EXPECT_EQ(f.dac->Item(CpmDAC::kStepItem).dwValue, 0xFFFu);
    page.UserEdit(f.Control(CpmDAC::kMaximumId), "0xF123");
    EXPECT_EQ(f.dac->Item(CpmDAC::kMaximumItem).dwValue, 0x123u);
    // A register written by hand with bits beyond the format shows its 12 bits.
    f.dac->Item(CpmDAC::kMinimumItem).dwValue = 0xFFFF;
    f.dac->RefreshControls();
    EXPECT_EQ(f.Text(CpmDAC::kMinimumId), "0xFFF");
    // More than the register holds is refused.
    page.UserEdit(f.Control(CpmDAC::kDataId), "0x10000");
    EXPECT_EQ(f.dac->Item(CpmDAC::kDataItem).dwValue, 0xABC0u);
    // Applying the whole page as it stands keeps what the registers hold.
    f.dac->Item(CpmDAC::kMaximumItem).dwValue = 0xFFFF;
    f.dac->RefreshControls();
    f.dac->ApplyControls();
    EXPECT_EQ(f.dac->Item(CpmDAC::kMaximumItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.dac->Item(CpmDAC::kDataItem).dwValue, 0xABC0u);
    EXPECT_EQ(CpmDAC::StoredData(0xABC, true), 0xABC0u);
    EXPECT_EQ(CpmDAC::ShownData(0xABC0, false), 0xBC0u);
}

TEST(CpmDAC, CompareIsShownOneHigher) {
    CDacFixture f({CModule::kFamD}, "DAC_A");
    CPage& page = *f.dac->Page();
    EXPECT_EQ(f.Text(CpmDAC::kCompareId), "1");
    page.UserEdit(f.Control(CpmDAC::kCompareId), "0");
    EXPECT_EQ(f.dac->Item(CpmDAC::kCompareItem).dwValue, 0u);
    f.dac->RefreshControls();
    EXPECT_EQ(f.Text(CpmDAC::kCompareId), "1");
    page.UserEdit(f.Control(CpmDAC::kCompareId), "1000");
    EXPECT_EQ(f.dac->Item(CpmDAC::kCompareItem).dwValue, 999u);
    page.UserEdit(f.Control(CpmDAC::kCompareId), "65536");
    EXPECT_EQ(f.dac->Item(CpmDAC::kCompareItem).dwValue, 0xFFFFu);
    page.UserEdit(f.Control(CpmDAC::kCompareId), "65537");
    EXPECT_EQ(f.dac->Item(CpmDAC::kCompareItem).dwValue, 0xFFFFu);
    f.dac->RefreshControls();
    EXPECT_EQ(f.Text(CpmDAC::kCompareId), "65536");
}

TEST(CpmDAC, GlitchFilterWidth) {
    CDacFixture older({hwc::test::kFamB}, "DAC_0", nullptr, 30.0f);
    older.dac->Recalculate();
    EXPECT_EQ(older.Text(CpmDAC::kFilterWidthId), "0.23333 us"); // 7 clocks
    older.Ctrl() = 0x0001;
    older.dac->Recalculate();
    EXPECT_EQ(older.Text(CpmDAC::kFilterWidthId), "OFF");

    CDacFixture newer({CModule::kFamF}, "DAC_A", nullptr, 58.0f);
    newer.dac->Recalculate();
    EXPECT_EQ(newer.Text(CpmDAC::kFilterWidthId), "0.5 us"); // 29 clocks
    newer.dac->Page()->UserEdit(newer.Control(CpmDAC::kFilterCountId), "64");
    EXPECT_EQ(newer.dac->Item(CpmDAC::kCtrl1Item).dwValue, 0x1Du);
    // The count is for the filter alone.
    EXPECT_TRUE(newer.Control(CpmDAC::kFilterCountId).IsEnabled());
    newer.dac->Page()->UserClick(newer.Control(CpmDAC::kGlitchFilterId));
    EXPECT_FALSE(newer.Control(CpmDAC::kFilterCountId).IsEnabled());
    newer.dac->Recalculate();
    EXPECT_EQ(newer.Text(CpmDAC::kFilterWidthId), "OFF");

    // No clock module: "OFF", never infinity.
    CDacFixture alone({CModule::kFamF}, "DAC_A");
    alone.dac->Recalculate();
    EXPECT_EQ(alone.Text(CpmDAC::kFilterWidthId), "OFF");
}

TEST(CpmDAC, TriggerWarnings) {
    CDacFixture f({CModule::kFamD}, "DAC_A");
    f.Check(kPowerDown | kAuto | kDma);
    EXPECT_TRUE(f.host.warnings.empty());
    f.Check(kDma);
    EXPECT_EQ(f.host.Warning(*f.dac, CpmDAC::kDmaWarningId), CpmDAC::kDmaWarning);
    EXPECT_EQ(f.Text(CpmDAC::kDmaWarningId), CpmDAC::kDmaWarning);
    f.Check(kDma | kSync);
    EXPECT_FALSE(f.host.Warns(CpmDAC::kDmaWarningId));
    EXPECT_FALSE(f.Control(CpmDAC::kDmaWarningId).IsVisible());
    f.Check(kAuto);
    EXPECT_EQ(f.host.Warning(*f.dac, CpmDAC::kAutoWarningId), CpmDAC::kAutoWarning);
    EXPECT_EQ(f.host.Warning(*f.dac, CpmDAC::kReloadWarningId), CpmDAC::kReloadWarning);
    f.Check(kAuto | kSync | kReload);
    EXPECT_TRUE(f.host.warnings.empty());
    f.Check(kAuto | kSync | kPowerDown);
    EXPECT_TRUE(f.host.warnings.empty());

    // The older DAC has no DMA request; its bit 7 is no reason to warn.
    CDacFixture older({hwc::test::kFamB}, "DAC_0");
    older.Check(kDma);
    EXPECT_TRUE(older.host.warnings.empty());
    older.Check(kAuto);
    EXPECT_EQ(older.host.Warning(*older.dac, CpmDAC::kAutoWarningId), CpmDAC::kAutoWarning);
}

TEST(CpmDAC, SyncInputOfTheCrossbar) {
    CDacFixture famC({hwc::test::kFamC}, "DAC", "XBAR");
    famC.Check(0);
    EXPECT_EQ(famC.Text(CpmDAC::kSyncIndicatorId), "Sync Input (see Crossbar output 8. )");
    EXPECT_TRUE(famC.Control(CpmDAC::kSyncIndicatorId).IsVisible());
    EXPECT_TRUE(famC.host.warnings.empty());
    famC.Check(kSync);
    EXPECT_EQ(famC.Text(CpmDAC::kSyncIndicatorId), "Sync Input ( XBAR OUT8 not configured)");
    EXPECT_NE(famC.host.Warning(*famC.dac, CpmDAC::kSyncIndicatorId)
                  .rfind("DAC Sync input is not set in ", 0),
              std::string::npos);
    famC.xbar->selected[8] = 3;
    famC.Check(kSync);
    EXPECT_TRUE(famC.host.warnings.empty());
    famC.xbar->failing.insert(8);
    famC.Check(kSync);
    EXPECT_TRUE(famC.host.Warns(CpmDAC::kSyncIndicatorId));
    famC.Check(kSync | kPowerDown);
    EXPECT_TRUE(famC.host.warnings.empty());

    // FamF: the second DAC is fed by output 14 and named in the warning.
    CDacFixture famF({CModule::kFamF}, "DAC_B", "XBAR_A");
    EXPECT_EQ(famF.dac->DacIndex(), 1);
    famF.xbar->selected[15] = 2;
    famF.Check(kSync);
    EXPECT_EQ(famF.Text(CpmDAC::kSyncIndicatorId), "Sync Input ( XBAR_A OUT14 not configured)");
    EXPECT_EQ(famF.host.Warning(*famF.dac, CpmDAC::kSyncIndicatorId)
                  .rfind("DAC_B Sync input is not set in ", 0),
              0u);
    famF.xbar->selected[14] = 2;
    famF.Check(kSync);
    EXPECT_TRUE(famF.host.warnings.empty());

    CDacFixture famE({CModule::kFamE}, "DAC", "XBAR_A");
    famE.Check(kSync);
    EXPECT_EQ(famE.Text(CpmDAC::kSyncIndicatorId), "Sync Input ( XBAR_A OUT15 not configured)");
    EXPECT_EQ(famE.host.Warning(*famE.dac, CpmDAC::kSyncIndicatorId)
                  .rfind("DAC Sync input is not set in ", 0),
              0u);

    // Without the crossbar (or on processors without one) nothing is said.
    for (int group : {int{CModule::kFamE}, hwc::test::kFamB}) {
        CDacFixture alone({group}, "DAC");
        alone.Check(kSync);
        EXPECT_TRUE(alone.host.warnings.empty());
        EXPECT_FALSE(alone.Control(CpmDAC::kSyncIndicatorId).IsVisible());
    }
}

TEST(CpmDAC, IndexFromTheInstanceName) {
    using tCase = std::tuple<int, const char*, int>;
    for (const auto& [group, name, index] :
         {tCase{CModule::kFamD, "DAC_A", 0}, tCase{CModule::kFamD, "DAC_B", 1},
          tCase{CModule::kFamF, "DAC", 0}, tCase{hwc::test::kFamB, "DAC_1", 1},
          tCase{hwc::test::kFamB, "DAC_B", 0}}) {
        CDacFixture f({group}, name);
        EXPECT_EQ(f.dac->DacIndex(), index) << name;
    }
}
