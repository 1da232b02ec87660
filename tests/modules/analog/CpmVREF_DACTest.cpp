#include <gtest/gtest.h>

#include <string>

#include "modules/analog/CpmVREF_DAC.h"
#include "support/ModuleTestHost.h"

namespace {

struct CVrefFixture {
    CVrefFixture() {
        host.groups = {hwc::test::kFamC};
        vref = &host.Add<CpmVREF_DAC>("VREF_A", "VREF_DAC");
        host.BindAll();
        vref->CreatePage();
        vref->OnInitialUpdate();
    }
    CPageControl& Control(int id) { return *vref->Page()->FindControl(id); }
    std::string Text(int id) {
        vref->Recalculate();
        return Control(id).Text();
    }

    hwc::test::CModuleTestHost host;
    CpmVREF_DAC* vref = nullptr;
};

} // namespace

TEST(CpmVREF_DAC, LevelGivesVoltageAndShare) {
    CVrefFixture f;
    CPage& page = *f.vref->Page();
    page.UserClick(f.Control(CpmVREF_DAC::kEnableId));
    page.UserEdit(f.Control(CpmVREF_DAC::kLevelId), "31");
    EXPECT_EQ(f.vref->Item(CpmVREF_DAC::kControlItem).dwValue, 0x80u | 31u);
    EXPECT_EQ(f.Text(CpmVREF_DAC::kVoltageId), "3.300 V");
    EXPECT_EQ(f.Text(CpmVREF_DAC::kShareId), "100.0 %");
    page.UserEdit(f.Control(CpmVREF_DAC::kLevelId), "0");
    EXPECT_EQ(f.Text(CpmVREF_DAC::kVoltageId), "0.103 V");
    EXPECT_EQ(f.Text(CpmVREF_DAC::kShareId), "3.1 %");
    page.UserEdit(f.Control(CpmVREF_DAC::kLevelId), "15");
    EXPECT_EQ(f.Text(CpmVREF_DAC::kVoltageId), "1.650 V");
    EXPECT_EQ(f.Text(CpmVREF_DAC::kShareId), "50.0 %");
    // Disabled at any level: both fields "OFF".
    page.UserClick(f.Control(CpmVREF_DAC::kEnableId));
    EXPECT_EQ(f.vref->Item(CpmVREF_DAC::kControlItem).dwValue, 15u);
    EXPECT_EQ(f.Text(CpmVREF_DAC::kVoltageId), "OFF");
    EXPECT_EQ(f.Text(CpmVREF_DAC::kShareId), "OFF");
    EXPECT_FALSE(f.vref->IsModuleEnabled());
}

TEST(CpmVREF_DAC, LevelFieldTakesFiveBitsOnly) {
    CVrefFixture f;
    CPage& page = *f.vref->Page();
    page.UserEdit(f.Control(CpmVREF_DAC::kLevelId), "7");
    for (const char* bad : {"32", "-1", "abc", "0x100"}) {
        page.UserEdit(f.Control(CpmVREF_DAC::kLevelId), bad);
        EXPECT_EQ(f.vref->Item(CpmVREF_DAC::kControlItem).dwValue, 7u) << bad;
    }
    // Bits outside the level and the enable (a header written by hand) do not leak into it.
    f.vref->Item(CpmVREF_DAC::kControlItem).dwValue = 0xFFFF;
    EXPECT_EQ(f.Text(CpmVREF_DAC::kVoltageId), "3.300 V");
    EXPECT_FLOAT_EQ(CpmVREF_DAC::LevelVoltage(0xFFFF), 3.3f);
}

TEST(CpmVREF_DAC, SummaryIsTheTitleAlone) {
    CVrefFixture f;
    f.vref->Item(CpmVREF_DAC::kControlItem).dwValue = 0x9F;
    EXPECT_TRUE(f.vref->CommentItems().empty());
    std::string summary;
    f.vref->GetSummary(summary);
    EXPECT_EQ(summary.find("Level"), std::string::npos) << summary;
    f.vref->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
}
