#include "project/SettingText.h"

#include <gtest/gtest.h>

#include "model/DialogTemplate.h"
#include "model/Page.h"

using namespace dlg;

namespace {

const CDialogTemplate kPage(2001, {
    Row({Label("&Clock && bus:"), DropList(11, {"Bus clock", "Crystal"})}),
    Row({DropList(12, {"Count up", "", "Count\ndown"}), Edit(13)}),
    Label("Prescaler\tQuanta"),
    ListBox(14),
});

TEST(SettingText, OneLineFoldsControlCharactersAndBlanks) {
    EXPECT_EQ(hwc::OneLine("  Core\r\n\tclock  \x7F (MHz) "), "Core clock (MHz)");
    EXPECT_EQ(hwc::OneLine("\n\n"), "");
}

TEST(SettingText, ReadableCaptionDropsSuffixDoubledAmpersandAndColons) {
    EXPECT_EQ(hwc::ReadableCaption("Modulo Value::##cycles"), "Modulo Value");
    EXPECT_EQ(hwc::ReadableCaption("Rx && Tx :"), "Rx & Tx");
    // A text that starts with the mark is not a caption with a suffix: it is kept.
    EXPECT_EQ(hwc::ReadableCaption("##"), "##");
    EXPECT_EQ(hwc::ReadableCaption(":"), "");
}

TEST(SettingText, LabelCaptionNamesOnlyAPlainLabelBefore) {
    CPage page(kPage);
    EXPECT_EQ(hwc::LabelCaption(page.ControlBefore(*page.FindControl(11))), "&Clock & bus");
    // A drop list before an edit, the column heads before a list, and nothing at all.
    EXPECT_EQ(hwc::LabelCaption(page.ControlBefore(*page.FindControl(13))), "");
    EXPECT_EQ(hwc::LabelCaption(page.ControlBefore(*page.FindControl(14))), "");
    EXPECT_EQ(hwc::LabelCaption(nullptr), "");
}

TEST(SettingText, EntriesCaptionNamesOnlyChoiceLists) {
    CPage page(kPage);
    EXPECT_EQ(hwc::EntriesCaption(*page.FindControl(12)), "Count up / Count down");
    EXPECT_EQ(hwc::EntriesCaption(*page.FindControl(13)), "");
    page.FindControl(14)->SetItems({"1\t8", "2\t16"});
    EXPECT_EQ(hwc::EntriesCaption(*page.FindControl(14)), "");
}

} // namespace
