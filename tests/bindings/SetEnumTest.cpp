#include "bindings/SetEnum.h"

#include <gtest/gtest.h>

#include "BindingFixture.h"

using namespace dlg;
using bindtest::MakeItem;

namespace {

const CDialogTemplate kPage(1, {
                                   Row({Label("Speed:"), DropList(10, {"Slow=SLOW", " Fast = FAST ",
                                                                       "Medium", "Odd=A=B"})}),
                                   Row({Label("Level"), DropList(11)}),
                               });

struct SetEnumTest : ::testing::Test {
    bindtest::CPageFixture fixture{kPage};
    CPageControl& list = fixture.Control(10);
    tPerCfgItem item = MakeItem("-SPEED", 0, hwc::RegFlag::STRVALUE);
};

} // namespace

TEST_F(SetEnumTest, TemplateEntriesGiveDisplayAndValueTexts) {
    CSetEnum choice;
    hwc::CopyCut(item.szValue, "FAST");
    choice.Bind(item, true);
    choice.Attach(list);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"Slow", "Fast", "Medium", "Odd"}));
    EXPECT_EQ(choice.ValueTexts(), (std::vector<std::string>{"SLOW", "FAST", "Medium", "A"}));
    EXPECT_EQ(list.Selection(), 1);

    fixture.page.UserSelect(list, 2);
    EXPECT_STREQ(item.szValue, "Medium");
    EXPECT_EQ(item.dwValue, 2u);
    EXPECT_EQ(fixture.host.hints.back().first, 11);
    EXPECT_EQ(fixture.host.hints.back().second, &choice);
    fixture.page.UserSelect(list, 0);
    EXPECT_STREQ(item.szValue, "SLOW");
    EXPECT_EQ(item.dwValue, 0u);
}

TEST_F(SetEnumTest, UnknownValueShowsNoSelectionAndApplyKeepsIt) {
    CSetEnum choice;
    hwc::CopyCut(item.szValue, "slow"); // value texts compare case-sensitively
    item.dwValue = 7;
    choice.Bind(item, true);
    choice.Attach(list);
    EXPECT_EQ(list.Selection(), -1);
    choice.Apply();
    EXPECT_STREQ(item.szValue, "slow");
    EXPECT_EQ(item.dwValue, 7u);

    choice.Detach();
    hwc::CopyCut(item.szValue, "A");
    EXPECT_EQ(choice.GetIndex(), 3);
}

TEST_F(SetEnumTest, ItemsFromCodeSuffixAndSummary) {
    CSetEnum choice;
    choice.Bind(item, false, "Priority##level");
    EXPECT_EQ(choice.Description(), "Priority");
    EXPECT_EQ(choice.Suffix(), "level");
    choice.Attach(fixture.Control(11));
    choice.SetItems({"Low", "High"}, {"INTC_LEVEL1", std::string(100, 'X')});
    EXPECT_EQ(fixture.Control(11).Items(), (std::vector<std::string>{"Low", "High"}));

    fixture.page.UserSelect(fixture.Control(11), 1);
    EXPECT_EQ(std::string(item.szValue), std::string(79, 'X')); // cut to the field
    EXPECT_EQ(item.dwValue, 0u);                                // no index stored
    EXPECT_EQ(choice.GetSummaryText(true, 0), "Priority: High level");
    EXPECT_EQ(choice.GetSummaryText(true, 0x100), "Priority: \"High\" level");
    EXPECT_EQ(choice.GetSummaryText(false, 0), "Priority");

    hwc::CopyCut(item.szValue, "INTC_LEVEL1");
    choice.Refresh();
    EXPECT_EQ(fixture.Control(11).Selection(), 0);
    choice.Enable(false);
    EXPECT_EQ(choice.GetSummaryText(true, 0), "");
}
