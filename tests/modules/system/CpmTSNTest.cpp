#include <gtest/gtest.h>

#include <string>

#include "modules/system/CpmTSN.h"
#include "modules/system/PowerTestSupport.h"

TEST(CpmTSN, PowerOnBitAndSummaryLine) {
    CPowerTestHost host;
    CpmTSN& tsn = host.Add<CpmTSN>("TSN", "TSN", "0");
    host.BindAll();
    ASSERT_EQ(tsn.ItemCount(), 1);
    EXPECT_EQ(tsn.GetDefineName(tsn.Item(CpmTSN::kControlItem)), "TSN_CNTL_INIT");
    EXPECT_EQ(tsn.Item(CpmTSN::kControlItem).dwValue, 0u);

    // Other bits of the register are kept as the header gave them.
    tsn.Item(CpmTSN::kControlItem).dwValue = 0x8000;
    tsn.CreatePage();
    tsn.OnInitialUpdate();
    CPageControl& box = *tsn.Page()->FindControl(CpmTSN::kPowerOnId);
    EXPECT_EQ(box.Text(), "Temperature sensor powered on");
    EXPECT_EQ(box.Check(), 0);
    tsn.Page()->UserClick(box);
    EXPECT_EQ(tsn.Item(CpmTSN::kControlItem).dwValue, 0x8001u);

    std::string summary;
    tsn.GetSummary(summary);
    EXPECT_NE(summary.find("Temperature sensor powered on"), std::string::npos) << summary;
    const std::string on = summary;
    tsn.Page()->UserClick(box);
    summary.clear();
    tsn.GetSummary(summary);
    EXPECT_NE(summary, on);
}
