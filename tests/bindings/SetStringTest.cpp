#include "bindings/SetString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/FixedText.h"
#include "model/RegisterItem.h"

using namespace dlg;

namespace {

// clang-format off
const CDialogTemplate kPage(1, {
    Row({Label("Project name:"), Edit(10)}),
    Row({Label("Other"), Edit(11)}),
});
// clang-format on

tPerCfgItem TextItem(const char* value) {
    tPerCfgItem item{};
    hwc::CopyCut(item.szName, "NAME");
    hwc::CopyCut(item.szValue, value);
    item.dwValue = value[0] ? 1 : 0;
    item.dwFlags = hwc::RegFlag::STRVALUE;
    return item;
}

} // namespace

TEST(SetString, AppliesTrimmedTextAndPresence) {
    CPage page(kPage);
    tPerCfgItem item = TextItem("motor");
    CSetString text;
    text.Bind(&item);
    text.Attach(*page.FindControl(10));
    EXPECT_EQ(page.FindControl(10)->Text(), "motor");
    EXPECT_EQ(text.Description(), "Project name");

    page.UserFocus(page.FindControl(10));
    page.UserEdit(*page.FindControl(10), "  abc \t");
    EXPECT_STREQ(item.szValue, "motor"); // typing alone does not apply
    page.UserFocus(page.FindControl(11));
    EXPECT_STREQ(item.szValue, "abc");
    EXPECT_EQ(item.dwValue, 1u);

    text.SetText("   ");
    EXPECT_STREQ(item.szValue, "");
    EXPECT_EQ(item.dwValue, 0u);

    // Long texts are cut to what the item holds.
    text.SetText(std::string(200, 'x'));
    EXPECT_EQ(std::strlen(item.szValue), 79u);
}

TEST(SetString, RefreshTakesTheTextOnlyWhenPresent) {
    CPage page(kPage);
    tPerCfgItem item = TextItem("kept");
    CSetString text;
    text.Bind(&item);
    item.dwValue = 0;
    text.Refresh();
    EXPECT_EQ(text.GetText(), ""); // detached: the stored text
    text.Attach(*page.FindControl(10));
    EXPECT_EQ(page.FindControl(10)->Text(), "kept");

    item.dwValue = 0;
    text.Refresh();
    EXPECT_EQ(page.FindControl(10)->Text(), "");
    EXPECT_EQ(item.dwValue, 0u);

    hwc::CopyCut(item.szValue, "new");
    item.dwValue = 1;
    text.Refresh();
    EXPECT_EQ(text.GetText(), "new");
}

TEST(SetString, DetachedTextAndSummary) {
    CPage page(kPage);
    tPerCfgItem item = TextItem("");
    CSetString text;
    text.Bind(&item, "Name##(max. 79)");
    EXPECT_EQ(text.Description(), "Name");
    EXPECT_EQ(text.Suffix(), "(max. 79)");
    text.SetText(" pump ");
    EXPECT_STREQ(item.szValue, "pump");
    EXPECT_EQ(item.dwValue, 1u);
    EXPECT_EQ(text.GetSummaryText(true, 0), ""); // not enabled before it is attached

    text.Attach(*page.FindControl(11));
    EXPECT_EQ(text.GetSummaryText(false, 0), "Name");
    EXPECT_EQ(text.GetSummaryText(true, 0), "Name: pump (max. 79)");
    EXPECT_EQ(text.GetSummaryText(true, 0x100), "Name: \"pump\" (max. 79)");

    // "##" at the start is not a unit; a new description drops the old unit.
    text.SetDescription("##x");
    EXPECT_EQ(text.Description(), "##x");
    EXPECT_EQ(text.Suffix(), "");
}

TEST(SetString, UnboundEditKeepsItsText) {
    CPage page(kPage);
    CSetString text;
    text.Bind(nullptr, "Comment");
    text.Attach(*page.FindControl(10));
    text.SetText("  free text ");
    EXPECT_EQ(text.GetSummaryText(true, 0), "Comment: free text ");
}
