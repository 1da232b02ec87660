// The information panel: the target processor and the clocks the clock module publishes.

#include "ui/bars/InfoView.h"

#include "ui/bars/BarsTestProject.h"

using namespace barstest;

namespace {

class InfoViewTest : public BarsProjectTest {};

} // namespace

TEST_F(InfoViewTest, WithoutClockModuleBothClocksAreNotAvailable) {
    CInfoView view;
    EXPECT_EQ(view.SysClockText(), "n/a");
    EXPECT_EQ(view.BusClockText(), "n/a");

    CBarsDoc& document = Open(false);
    view.SetDocument(&document);
    EXPECT_EQ(view.TargetText(), "K7Q5110");
    EXPECT_EQ(view.SysClockText(), "n/a");
    EXPECT_EQ(view.BusClockText(), "n/a");
}

TEST_F(InfoViewTest, ClocksFollowTheClockModuleOnItsNotification) {
    CBarsDoc& document = Open();
    CInfoView view;
    view.SetDocument(&document);
    CpmBarsClock& clock = *Clock();
    clock.busClock = 25.0f;
    clock.coreClock = 100.0f / 3.0f;
    EXPECT_EQ(view.BusClockText(), "n/a");

    document.UpdateAllViews(&clock, 26, nullptr);
    EXPECT_EQ(view.SysClockText(), "33.333 MHz");
    EXPECT_EQ(view.BusClockText(), "25.000 MHz");

    clock.coreClock = 0;
    clock.busClock = -1;
    document.UpdateAllViews(nullptr, 0, nullptr);
    EXPECT_EQ(view.SysClockText(), "n/a");
    EXPECT_EQ(view.BusClockText(), "n/a");
}
