#include "bindings/SetCtrl.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/RegisterItem.h"

using namespace dlg;

namespace {

const CDialogTemplate kPage(1, {
    Row({Label("Prescaler:"), Edit(10)}),
    Row({Label("Mode"), Edit(11)}),
    Row({DropList(12, {"Roll over", "Reinitialize"}), DropList(13, {"Up", "Down"})}),
});

// The smallest binding: records what the base asks of it.
class CProbe : public CSetCtrl {
public:
    void Refresh() override { ++refreshes; }
    void Apply() override { ++applies; }
    void SelfTest() override {}
    std::string GetSummaryText(bool, std::uint32_t) const override { return {}; }
    using CSetCtrl::CompletedDescription;
    using CSetCtrl::LabelBefore;
    int refreshes = 0;
    int applies = 0;

protected:
    void OnAttached() override { Refresh(); }
};

std::vector<std::string> g_lines;
void Collect(std::string_view line) { g_lines.emplace_back(line); }

} // namespace

TEST(SetCtrl, AttachingJoinsTheControlAndLosingFocusApplies) {
    CPage page(kPage);
    CProbe probe;
    EXPECT_FALSE(probe.IsAttached());
    EXPECT_FALSE(probe.IsActive()); // not enabled before it is attached

    probe.Attach(*page.FindControl(10));
    EXPECT_TRUE(probe.IsActive());
    EXPECT_EQ(probe.GetCtrlId(), 10);
    EXPECT_EQ(probe.refreshes, 1);
    EXPECT_EQ(probe.LabelBefore(), "Prescaler");

    page.UserFocus(page.FindControl(10));
    page.UserFocus(page.FindControl(11));
    EXPECT_EQ(probe.applies, 1);

    // A hidden or disabled control makes the binding inactive unless it is always active.
    page.FindControl(10)->Show(false);
    EXPECT_FALSE(probe.IsActive());
    probe.SetAlwaysActive(true);
    EXPECT_TRUE(probe.IsActive());

    probe.Detach();
    EXPECT_EQ(page.FindControl(10)->Handler(), nullptr);
}

// A list before a control shows a setting that changes; it is never taken as the caption.
TEST(SetCtrl, ALabelBeforeIsACaptionNeverAListSelection) {
    CPage page(kPage);
    CProbe probe;
    page.FindControl(12)->SetSelection(0);
    probe.Attach(*page.FindControl(13));
    EXPECT_EQ(probe.LabelBefore(), "");
    probe.Detach();
    probe.Attach(*page.FindControl(12));
    EXPECT_EQ(probe.LabelBefore(), ""); // an edit field before it holds a value too
}

TEST(SetCtrl, DescriptionIsCompletedFromTheLabel) {
    EXPECT_EQ(CProbe::CompletedDescription("", "Use PLL"), "Use PLL");
    EXPECT_EQ(CProbe::CompletedDescription("Use PLL:", "Use PLL"), "Use PLL: Use PLL");
    EXPECT_EQ(CProbe::CompletedDescription("Kept", "Label"), "Kept");
    EXPECT_EQ(CProbe::CompletedDescription("", "Two\nlines"), "Two lines");
}

TEST(SetCtrl, SelfTestTextsFollowTheRegisterWidth) {
    using namespace hwc;
    EXPECT_EQ(SelfTestRegisterFormat("ADCR1_INIT", RegFlag::DW16), "Reg[ADCR1_INIT] = 0x%04x");
    EXPECT_EQ(SelfTestRegisterFormat("X", RegFlag::DW8), "Reg[X] = 0x%02x");
    EXPECT_EQ(SelfTestRegisterFormat("X", RegFlag::DW32), "Reg[X] = 0x%08x");
    EXPECT_EQ(SelfTestRegisterFormat("X", 0), "Reg[X] = 0x%04x");
    EXPECT_EQ(SelfTestRegisterText(SelfTestRegisterFormat("A%dB", RegFlag::DW8), 0x5),
              "Reg[A%dB] = 0x05");
    EXPECT_EQ(PadSelfTestColumn("abc").size(), 40u);
    EXPECT_EQ(PadSelfTestColumn(std::string(45, 'x')).size(), 45u);

    g_lines.clear();
    WriteSelfTestLine("dropped without a sink");
    SetSelfTestSink(&Collect);
    WriteSelfTestLine("kept");
    SetSelfTestSink(nullptr);
    EXPECT_EQ(g_lines, std::vector<std::string>{"kept"});
}

TEST(SetCtrl, APageThatGoesAwayLeavesTheBindingDetached) {
    CProbe probe;
    {
        CPage page(kPage);
        probe.Attach(*page.FindControl(10));
        EXPECT_TRUE(probe.IsAttached());
    }
    EXPECT_FALSE(probe.IsAttached());
    probe.Detach();
}

// Pages of some families lack controls others have: attaching by id skips those quietly.
TEST(SetCtrl, AttachingByIdSkipsControlsThePageLacks) {
    CPage page(kPage);
    CProbe probe;
    EXPECT_FALSE(probe.AttachTo(page, 99));
    EXPECT_FALSE(probe.AttachTo(page, 0));
    EXPECT_FALSE(probe.AttachTo(page, -1));
    EXPECT_FALSE(probe.IsAttached());
    EXPECT_EQ(probe.refreshes, 0);

    EXPECT_TRUE(probe.AttachTo(page, 11));
    EXPECT_EQ(probe.GetWnd(), page.FindControl(11));
    EXPECT_EQ(page.FindControl(11)->Handler(), &probe);
    EXPECT_EQ(probe.refreshes, 1);

    // A missing control leaves the binding where it was.
    EXPECT_FALSE(probe.AttachTo(page, 14));
    EXPECT_EQ(probe.GetWnd(), page.FindControl(11));
    EXPECT_EQ(probe.refreshes, 1);

    // Moving to another control releases the first one.
    EXPECT_TRUE(probe.AttachTo(page, 10));
    EXPECT_EQ(page.FindControl(11)->Handler(), nullptr);
    EXPECT_EQ(page.FindControl(10)->Handler(), &probe);
    EXPECT_EQ(probe.GetCtrlId(), 10);
    probe.Detach();
}
