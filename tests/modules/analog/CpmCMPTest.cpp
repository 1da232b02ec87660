#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "modules/analog/AnalogQueries.h"
#include "modules/analog/CpmCMP.h"
#include "modules/analog/CpmDAC.h"
#include "support/ModuleTestHost.h"

namespace {

class CpmCmpClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmCmpClock, CModule)
public:
    CpmCmpClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

struct CCmpFixture {
    explicit CCmpFixture(std::set<int> groups, float busMHz = -1.0f) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmCmpClock>("OCCS", "OCCS").busMHz = busMHz;
        cmp = &host.Add<CpmCMP>("CMP_A", "CMP", {}, "INT:47:");
    }
    void Open() {
        host.BindAll();
        cmp->CreatePage();
        cmp->OnInitialUpdate();
    }
    CPageControl& Control(int id) { return *cmp->Page()->FindControl(id); }
    std::string Text(int id) {
        cmp->Recalculate();
        return Control(id).Text();
    }

    hwc::test::CModuleTestHost host;
    CpmCMP* cmp = nullptr;
};

} // namespace

TEST(CpmCMP, SettingsLandInTheirFields) {
    CCmpFixture f({hwc::test::kFamB}, 60.0f);
    f.Open();
    CPage& page = *f.cmp->Page();
    page.UserClick(f.Control(CpmCMP::kEnableId));
    page.UserSelect(f.Control(CpmCMP::kHysteresisId), 1);
    page.UserClick(f.Control(CpmCMP::kOutputPinId));
    EXPECT_EQ(f.cmp->Item(CpmCMP::kCtrlItem).dwValue, 0x13u);
    page.UserClick(f.Control(CpmCMP::kInvertId));
    page.UserSelect(f.Control(CpmCMP::kOutputSelectId), 1);
    page.UserClick(f.Control(CpmCMP::kRisingInterruptId));
    page.UserClick(f.Control(CpmCMP::kFallingInterruptId));
    page.UserSelect(f.Control(CpmCMP::kPlusInputId), 7);
    page.UserSelect(f.Control(CpmCMP::kMinusInputId), 5);
    EXPECT_EQ(f.cmp->Item(CpmCMP::kCtrlItem).dwValue,
              0x13u | 0x08u | 0x20u | 0xC0u | (7u << 8) | (5u << 12));
    EXPECT_TRUE(f.cmp->IsModuleEnabled());
    EXPECT_TRUE(hwc::ComparatorEnabled(*f.cmp, "CMP_A", false));
    // The interrupt row is placed on the page.
    ASSERT_EQ(f.cmp->InterruptRows().size(), 1u);
}

TEST(CpmCMP, FilterDelayFromTheBusClock) {
    CCmpFixture f({hwc::test::kFamJ}, 50.0f);
    f.Open();
    CPage& page = *f.cmp->Page();
    EXPECT_EQ(f.Text(CpmCMP::kFilterDelayId), "OFF");
    page.UserSelect(f.Control(CpmCMP::kFilterCountId), 3);
    EXPECT_EQ(f.Text(CpmCMP::kFilterDelayId), "OFF"); // period 0: the filter is off
    page.UserEdit(f.Control(CpmCMP::kFilterPeriodId), "10");
    EXPECT_EQ(f.cmp->Item(CpmCMP::kFiltItem).dwValue, (3u << 8) | 10u);
    EXPECT_EQ(f.Text(CpmCMP::kFilterDelayId), "0.62 us");
    page.UserSelect(f.Control(CpmCMP::kFilterCountId), 1);
    EXPECT_EQ(f.Text(CpmCMP::kFilterDelayId), "0.04 us");
    page.UserEdit(f.Control(CpmCMP::kFilterPeriodId), "256");
    EXPECT_EQ(f.cmp->Item(CpmCMP::kFiltItem).dwValue, (1u << 8) | 10u);

    // Without a clock module: the zero text, never infinity.
    CCmpFixture alone({hwc::test::kFamJ});
    alone.Open();
    alone.cmp->Item(CpmCMP::kFiltItem).dwValue = (3u << 8) | 10u;
    EXPECT_EQ(alone.Text(CpmCMP::kFilterDelayId), "???");
}

TEST(CpmCMP, DacInputsWarnWhileTheDacIsPoweredDown) {
    CCmpFixture f({hwc::test::kFamB});
    CpmDAC& dac = f.host.Add<CpmDAC>("DAC_0", "DAC");
    f.Open();
    EXPECT_EQ(f.Control(CpmCMP::kPlusInputId).Items().at(5), "IN5 (DAC_0 output)");
    f.cmp->Item(CpmCMP::kCtrlItem).dwValue = 5u << 12;
    f.cmp->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.cmp, CpmCMP::kMinusWarningId),
              "CMP_A module is using DAC_0 module output but DAC_0 module is not enabled.");
    EXPECT_FALSE(f.host.Warns(CpmCMP::kPlusWarningId));
    dac.Item(CpmDAC::kCtrlItem).dwValue = 0;
    f.cmp->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
    // DAC_1 is absent here.
    f.cmp->Item(CpmCMP::kCtrlItem).dwValue = 6u << 8;
    f.cmp->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());

    // Without DACs the inputs are plain pins.
    CCmpFixture famJ({hwc::test::kFamJ});
    famJ.Open();
    EXPECT_EQ(famJ.Control(CpmCMP::kPlusInputId).Items().at(5), "IN5");
}

TEST(CpmCMP, SummaryListsTheSettings) {
    CCmpFixture f({hwc::test::kFamB});
    f.Open();
    f.cmp->Item(CpmCMP::kCtrlItem).dwValue = 0x13 | (6u << 8);
    f.cmp->Item(CpmCMP::kFiltItem).dwValue = 0x204;
    f.cmp->RefreshControls();
    std::string summary;
    f.cmp->GetSummary(summary);
    for (const char* text :
         {"Comparator Enable: Enable", "Hysteresis: Level 1", "Plus Input: IN6 (DAC_1 output)",
          "Minus Input: IN0", "Filter samples: 2 samples", "Filter period: 4"})
        EXPECT_NE(summary.find(text), std::string::npos) << text << "\n" << summary;
}
