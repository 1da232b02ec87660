#include "bindings/SetBit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BindingFixture.h"
#include "model/ModuleBase.h"
#include "model/RegisterItem.h"

using namespace dlg;

namespace {

// clang-format off
const CDialogTemplate kPage(1, {
    CheckBox(10, "Use PLL"),
    CheckBox(11, "Enable\ninterrupt"),
    Row({Radio(20, "Up", true), Radio(21, "Down"), Radio(22, "Up/Down")}),
});
// clang-format on

using bindtest::CHintHost;
using bindtest::MakeItem;

// A page that belongs to a module of a document that records hints.
struct CBitFixture : ::testing::Test {
    CBitFixture() : module(MakeModule(host)), page(kPage) { page.SetModule(module.get()); }
    static std::unique_ptr<CModuleBase> MakeModule(CHintHost& host) {
        hwc::ScopedHostBeingOpened opening(&host);
        return std::make_unique<CModuleBase>(nullptr, 1, nullptr, nullptr, 0);
    }
    CPageControl& Control(int id) { return *page.FindControl(id); }

    CHintHost host;
    std::unique_ptr<CModuleBase> module;
    CPage page;
    tPerCfgItem item = MakeItem("CTRL_INIT", 0, hwc::RegFlag::DW16);
};

// Custom functions that log every write as "parameter=state".
struct CWriteLog {
    std::vector<std::string> writes;
    bool state = false;
    static void Set(bool checked, void* context, int parameter) {
        auto* log = static_cast<CWriteLog*>(context);
        log->writes.push_back(std::to_string(parameter) + "=" + (checked ? "1" : "0"));
        log->state = checked;
    }
    static bool Get(void* context, int) { return static_cast<CWriteLog*>(context)->state; }
};

std::vector<std::string> g_lines;
void Collect(std::string_view line) {
    g_lines.emplace_back(line);
}

} // namespace

TEST_F(CBitFixture, BitIsTakenModulo32AndClickWritesAndNotifies) {
    CSetBit bit;
    bit.Bind(item, 33, false, "Use PLL");
    EXPECT_EQ(bit.IsChecked(), 0);
    item.dwValue = 0x2;
    EXPECT_EQ(bit.IsChecked(), 1); // detached: the register decides

    bit.Attach(Control(10));
    EXPECT_EQ(Control(10).Check(), 1);
    page.UserClick(Control(10));
    EXPECT_EQ(item.dwValue, 0u);
    ASSERT_EQ(host.hints.size(), 1u);
    EXPECT_EQ(host.hints[0].first, 12);
    EXPECT_EQ(host.hints[0].second, &bit);

    // Other bits survive a write.
    item.dwValue = 0xF0;
    page.UserClick(Control(10));
    EXPECT_EQ(item.dwValue, 0xF2u);
    // Detached again, the binding reads the register.
    bit.Detach();
    item.dwValue = 0;
    EXPECT_EQ(bit.IsChecked(), 0);
}

TEST_F(CBitFixture, InvertedAndIndeterminateBoxes) {
    CSetBit bit;
    bit.Bind(item, 0, true);
    bit.Attach(Control(10));
    EXPECT_EQ(Control(10).Check(), 1); // bit clear shows checked
    page.UserClick(Control(10));
    EXPECT_EQ(item.dwValue, 1u);
    page.UserClick(Control(10));
    EXPECT_EQ(item.dwValue, 0u);

    // A third-state box leaves the register and the views alone.
    host.hints.clear();
    item.dwValue = 1;
    Control(10).SetCheck(2);
    bit.Apply();
    EXPECT_EQ(item.dwValue, 1u);
    EXPECT_TRUE(host.hints.empty());
    // The summary then tells what the register holds (bit set, inverted: not checked).
    EXPECT_EQ(bit.GetSummaryText(true, 3), "Use PLL: No ");
}

TEST_F(CBitFixture, CustomHandlersNeedBothFunctions) {
    CWriteLog log;
    log.state = true;
    CSetBit bit;
    bit.BindCustom(&CWriteLog::Set, nullptr, &log, 7);
    EXPECT_FALSE(bit.IsBound());
    EXPECT_EQ(bit.IsChecked(), 0);

    bit.BindCustom(&CWriteLog::Set, &CWriteLog::Get, &log, 7);
    EXPECT_EQ(bit.IsChecked(), 1);
    bit.Attach(Control(10));
    EXPECT_EQ(Control(10).Check(), 1);
    page.UserClick(Control(10));
    EXPECT_EQ(log.writes, (std::vector<std::string>{"7=0"}));
}

TEST_F(CBitFixture, RadioClickLetsTheRestOfTheGroupApplyFirst) {
    CWriteLog log;
    CSetBit up, down, both;
    up.BindCustom(&CWriteLog::Set, &CWriteLog::Get, &log, 20);
    down.BindCustom(&CWriteLog::Set, &CWriteLog::Get, &log, 21);
    both.BindCustom(&CWriteLog::Set, &CWriteLog::Get, &log, 22);
    up.Attach(Control(20));
    down.Attach(Control(21));
    both.Attach(Control(22));

    page.UserClick(Control(21));
    EXPECT_EQ(log.writes, (std::vector<std::string>{"20=0", "22=0", "21=1"}));

    // Bound to bits of one register, every button writes its own bit.
    CSetBit a, b, c;
    a.Bind(item, 0, false);
    b.Bind(item, 1, false);
    c.Bind(item, 2, false);
    a.Attach(Control(20));
    b.Attach(Control(21));
    c.Attach(Control(22));
    page.UserClick(Control(20));
    EXPECT_EQ(item.dwValue, 0x1u);
    page.UserClick(Control(22));
    EXPECT_EQ(item.dwValue, 0x4u);
}

TEST_F(CBitFixture, AttachCompletesTheDescriptionFromTheCaption) {
    CSetBit colon, kept, empty;
    colon.Bind(item, 0, false, "Use PLL:");
    kept.Bind(item, 1, false, "Own text");
    colon.Attach(Control(10));
    EXPECT_EQ(colon.Description(), "Use PLL: Use PLL");
    kept.Attach(Control(10));
    EXPECT_EQ(kept.Description(), "Own text");
    empty.Bind(item, 2, false);
    empty.Attach(Control(11));
    EXPECT_EQ(empty.Description(), "Enable interrupt"); // line ends become blanks
}

TEST_F(CBitFixture, SummaryWording) {
    CSetBit bit;
    bit.Bind(item, 4, false, "Enable interrupt");
    EXPECT_EQ(bit.GetSummaryText(true, 1), ""); // not enabled before it is attached
    bit.Attach(Control(11));

    EXPECT_EQ(bit.GetSummaryText(false, 1), "Enable interrupt");
    EXPECT_EQ(bit.GetSummaryText(true, 1), "Enable interrupt: Disabled");
    EXPECT_EQ(bit.GetSummaryText(true, 6), "");
    page.UserClick(Control(11));
    EXPECT_EQ(bit.GetSummaryText(true, 1), "Enable interrupt: Enabled ");
    EXPECT_EQ(bit.GetSummaryText(true, 5), "Enable interrupt: 1");
    EXPECT_EQ(bit.GetSummaryText(true, 6), "Enable interrupt");
    EXPECT_EQ(bit.GetSummaryText(true, 0x106), "Enable interrupt: Enable ");
    bit.Enable(false);
    EXPECT_EQ(bit.GetSummaryText(true, 1), "");
}

TEST_F(CBitFixture, SelfTestStepsAndRestores) {
    g_lines.clear();
    hwc::SetSelfTestSink(&Collect);
    CSetBit bit;
    bit.Bind(item, 3, false, "Use PLL");
    item.dwValue = 0x8;
    bit.Attach(Control(10));
    bit.SelfTest();

    const std::string pad = std::string(40 - 23, ' ');
    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_EQ(g_lines[0], "SB[  10]; CHKBOX_OFF; Reg[CTRL_INIT] = 0x0000" + pad + "; Use PLL" +
                              std::string(33, ' ') + "; Use PLL" + std::string(33, ' '));
    EXPECT_EQ(g_lines[1].substr(0, 45), "SB[  10]; CHKBOX_ON ; Reg[CTRL_INIT] = 0x0008");
    EXPECT_EQ(Control(10).Check(), 1);
    EXPECT_EQ(item.dwValue, 0x8u);

    // Detached custom bindings write through their setter and name no register.
    g_lines.clear();
    CWriteLog log;
    CSetBit custom;
    custom.BindCustom(&CWriteLog::Set, &CWriteLog::Get, &log, 5);
    custom.SelfTest();
    EXPECT_EQ(log.writes, (std::vector<std::string>{"5=0", "5=1", "5=0"}));
    ASSERT_EQ(g_lines.size(), 2u);
    EXPECT_NE(g_lines[1].find("CHKBOX_ON ; No Value Specified (Custom Handler)"),
              std::string::npos);
    EXPECT_NE(g_lines[1].find("<Description Text Missing>"), std::string::npos);
    hwc::SetSelfTestSink(nullptr);
}
