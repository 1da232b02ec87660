#include "bindings/SetMode.h"

#include <gtest/gtest.h>

#include <memory>

#include "BindingFixture.h"
#include "support/ScriptedMessages.h"

using namespace dlg;
using bindtest::MakeItem;

namespace {

const CDialogTemplate
    kPage(1, {
                 Row({Label("Clock source:"), DropList(10, {"Bus", "PLL", "External"})}),
                 Row({Label("Threshold"), DropDown(11, {"Off (=0)", "Ten (=10)", "Max (=0x20)"})}),
                 Row({Label("Width"), DropList(12)}),
             });

struct SetModeTest : ::testing::Test {
    bindtest::CPageFixture fixture{kPage};
    CPageControl& list = fixture.Control(10);
    CPageControl& combo = fixture.Control(11);
    tPerCfgItem item = MakeItem("CLK_CTRL", 0, hwc::RegFlag::DW16);
    CScriptedMessages messages;
};

constexpr int kTable[] = {0, 2, 5};

} // namespace

TEST_F(SetModeTest, TableMapsPositionsToFieldValues) {
    CSetMode mode;
    item.dwValue = 0x50; // field value 5
    mode.Bind(item, 4, 6, 0, "Source", kTable);
    mode.Attach(list);
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_EQ(mode.GetValue(), 5);

    fixture.page.UserSelect(list, 1);
    EXPECT_EQ(item.dwValue, 0x20u);
    EXPECT_EQ(fixture.host.hints.back().first, 11);
    EXPECT_EQ(fixture.host.hints.back().second, &mode);

    // A field value outside the table shows no selection; applying it writes all ones.
    item.dwValue = 0x8030;
    mode.Refresh();
    EXPECT_EQ(list.Selection(), -1);
    mode.Apply();
    EXPECT_EQ(item.dwValue, 0x8070u);

    // While detached the binding writes the register itself.
    mode.Detach();
    mode.SetIndex(0);
    EXPECT_EQ(item.dwValue, 0x8000u);
    mode.SetIndex(7); // beyond the table: no valid choice
    EXPECT_EQ(item.dwValue, 0x8070u);
    EXPECT_EQ(mode.GetValue(), -1);
}

TEST_F(SetModeTest, WideFieldsUseTheWholeRegister) {
    CSetMode mode;
    mode.Bind(item, 0, 31, 0, "All");
    EXPECT_EQ(mode.Shift(), 0);
    EXPECT_EQ(mode.Mask(), 0xFFFFFFFFu);
    mode.SetIndex(-1);
    EXPECT_EQ(item.dwValue, 0xFFFFFFFFu);

    CSetMode high;
    high.Bind(item, 40, 43, 0, "Beyond"); // no bits of a 32-bit register
    item.dwValue = 0x1234;
    high.SetIndex(5);
    EXPECT_EQ(item.dwValue, 0x1234u);
}

TEST_F(SetModeTest, EditableComboTakesTypedNumbers) {
    CSetMode mode;
    mode.Bind(item, 0, 7, 0, "Threshold");
    mode.Attach(combo);
    EXPECT_TRUE(mode.IsEditable());
    EXPECT_EQ(combo.Text(), "Off (=0)");

    fixture.page.UserEdit(combo, "10");
    EXPECT_EQ(item.dwValue, 10u);
    fixture.page.UserSelect(combo, 2);
    EXPECT_EQ(item.dwValue, 0x20u);
    fixture.page.UserSelect(combo, 1);
    EXPECT_EQ(item.dwValue, 10u);

    for (const char* bad : {"300", "ten", "-1"}) {
        combo.SetText(bad);
        bool valid = true;
        EXPECT_EQ(mode.GetIndex(valid, true), -1) << bad;
        EXPECT_FALSE(valid);
    }
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "Please enter a value between 0 and 255");
    fixture.page.UserEdit(combo, "300");
    EXPECT_EQ(item.dwValue, 0xFFu);

    // A register value no entry names is added once as its decimal text.
    item.dwValue = 7;
    mode.Refresh();
    mode.Refresh();
    ASSERT_EQ(combo.Items().size(), 4u);
    EXPECT_EQ(combo.Items()[3], "7");
    EXPECT_EQ(combo.Text(), "7");
    item.dwValue = 0x20;
    mode.Refresh();
    EXPECT_EQ(combo.Text(), "Max (=0x20)");
    EXPECT_EQ(mode.ValueText(10), "Ten (=10)");
    EXPECT_EQ(mode.ValueText(9), "9");
}

TEST_F(SetModeTest, ItemsFromCodeAndSummary) {
    CSetMode mode;
    const std::vector<std::string> texts{"8 bit", "16 bit", "32 bit", "unused"};
    mode.SetItems(kTable, texts);
    EXPECT_EQ(mode.DisplayTexts().size(), 3u); // as many as the table has
    item.dwValue = 2;
    mode.Bind(item, 0, 3, 0, nullptr, kTable);
    mode.Attach(fixture.Control(12));
    EXPECT_EQ(fixture.Control(12).Items().size(), 3u);
    EXPECT_EQ(fixture.Control(12).Selection(), 1);
    EXPECT_EQ(mode.Description(), "Width");
    EXPECT_EQ(mode.GetSummaryText(true, 0), "Width: 16 bit ");

    CSetMode source;
    source.Bind(item, 0, 1, 0, "Clock##(bus side)");
    source.Attach(list);
    EXPECT_EQ(source.GetSummaryText(true, 0), "Clock: External (bus side)");
    EXPECT_EQ(source.GetSummaryText(true, 0x200), "External (bus side)");
    EXPECT_EQ(source.GetSummaryText(true, 0x100), "Clock: \"External\" (bus side)");
    EXPECT_EQ(source.GetSummaryText(false, 0), "Clock##(bus side)");
    item.dwValue = 3;
    source.Refresh();
    EXPECT_EQ(source.GetSummaryText(true, 0), "Clock:  (bus side)");
    EXPECT_EQ(source.ValueText(3), "<Invalid>");

    source.EnableAndClear(false, true);
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_FALSE(list.IsEnabled());
    EXPECT_EQ(source.GetSummaryText(true, 0), "");
}

TEST_F(SetModeTest, SharedEntriesAreHeldOnceAndCutToTheTable) {
    const auto texts = std::make_shared<const std::vector<std::string>>(
        std::vector<std::string>{"8 bit", "16 bit", "32 bit", "unused"});
    CSetMode whole;
    whole.Bind(item, 0, 3, 0, nullptr);
    whole.SetItems({}, texts);
    whole.Attach(fixture.Control(12));
    EXPECT_EQ(&fixture.Control(12).Items(), texts.get());

    // With a shorter table the list is cut on a copy; the shared one stays whole.
    CSetMode cut;
    cut.SetItems(kTable, texts);
    EXPECT_EQ(cut.DisplayTexts().size(), 3u);
    EXPECT_EQ(texts->size(), 4u);
}

TEST_F(SetModeTest, TemplateEntriesOutliveTheirComboBox) {
    item.dwValue = 1;
    auto page = std::make_unique<CPage>(kPage);
    CSetMode mode;
    mode.Bind(item, 0, 3, 0, nullptr);
    mode.Attach(*page->FindControl(10));
    EXPECT_TRUE(mode.DisplayTexts().empty()); // the combo box's own while attached
    EXPECT_EQ(mode.ValueText(1), "PLL");
    page.reset();
    EXPECT_EQ(mode.DisplayTexts(), (std::vector<std::string>{"Bus", "PLL", "External"}));
    EXPECT_EQ(mode.ValueText(2), "External");
}

TEST_F(SetModeTest, SelfTestVisitsEveryEntryAndKeepsTheRegister) {
    bindtest::CLineCollector lines;
    CSetMode mode;
    item.dwValue = 0x30; // not in the table
    mode.Bind(item, 4, 6, 0, "Source", kTable);
    mode.Attach(list);
    mode.SelfTest();
    ASSERT_EQ(lines.Lines().size(), 3u);
    EXPECT_EQ(lines.Lines()[2], "SM[  10]; LBITEM[02]; " +
                                    hwc::PadSelfTestColumn("Reg[CLK_CTRL] = 0x0050") + "; " +
                                    hwc::PadSelfTestColumn("External") + "; " +
                                    hwc::PadSelfTestColumn("Source") + "; ");
    EXPECT_EQ(item.dwValue, 0x30u);

    CSetMode custom;
    custom.BindCustom([](int, void*, int) {}, [](void*, int) { return 0; }, nullptr, 0);
    custom.Attach(fixture.Control(12));
    custom.SetItems({}, std::vector<std::string>{"One"});
    custom.SelfTest();
    ASSERT_EQ(lines.Lines().size(), 4u);
    EXPECT_NE(lines.Lines()[3].find(hwc::kCustomHandlerText), std::string::npos);
}

// An editable list takes every number from its lowest to its highest, and nothing beyond.
TEST_F(SetModeTest, EditableComboTakesItsOwnExtremes) {
    CSetMode mode;
    mode.Bind(item, 4, 7, 0, "Threshold");
    mode.Attach(combo);
    bool valid = false;
    for (const auto& [text, field] : {std::pair{"0", 0u}, {"15", 15u}, {"0xF", 15u}, {"7", 7u}}) {
        fixture.page.UserEdit(combo, text);
        EXPECT_EQ(mode.GetIndex(valid, true), static_cast<int>(field)) << text;
        EXPECT_TRUE(valid) << text;
        EXPECT_TRUE(mode.ValidateControl(true)) << text;
        EXPECT_EQ(item.dwValue, field << 4) << text;
    }
    EXPECT_TRUE(messages.shown.empty());
    for (const char* beyond : {"16", "0x10"}) {
        combo.SetText(beyond);
        EXPECT_EQ(mode.GetIndex(valid, false), -1) << beyond;
        EXPECT_FALSE(valid) << beyond;
        EXPECT_FALSE(mode.ValidateControl(false)) << beyond;
    }
}
