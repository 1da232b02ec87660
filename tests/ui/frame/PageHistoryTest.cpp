// The back/forward history of module pages.

#include <gtest/gtest.h>

#include "ui/frame/PageHistory.h"

using hwc::ui::CPageHistory;

namespace {

// Distinct addresses stand in for modules; the history never looks inside them.
CModuleBase* Module(int index) {
    static char modules[8];
    return reinterpret_cast<CModuleBase*>(&modules[index]);
}

} // namespace

TEST(PageHistory, EmptyAndSingleEntryHistoryGoesNowhere) {
    CPageHistory history;
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.StepBack(), nullptr);
    EXPECT_EQ(history.StepForward(), nullptr);
    history.Record(Module(0));
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.StepBack(), nullptr);
    EXPECT_EQ(history.Position(), 0);
}

TEST(PageHistory, BackThenForwardRetracesThePages) {
    CPageHistory history;
    for (int i = 0; i < 3; ++i)
        history.Record(Module(i));
    EXPECT_EQ(history.StepBack(), Module(1));
    EXPECT_EQ(history.StepBack(), Module(0));
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.StepForward(), Module(1));
    EXPECT_EQ(history.StepForward(), Module(2));
    EXPECT_FALSE(history.CanGoForward());
}

TEST(PageHistory, NewPageAfterGoingBackCutsTheForwardPart) {
    CPageHistory history;
    for (int i = 0; i < 4; ++i)
        history.Record(Module(i));
    history.StepBack();
    history.StepBack();
    history.Record(Module(5));
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.StepBack(), Module(1));
    EXPECT_EQ(history.StepForward(), Module(5));
    EXPECT_FALSE(history.CanGoForward());
}

TEST(PageHistory, PagesShownWhileNavigatingAreNotRecorded) {
    CPageHistory history;
    history.Record(Module(0));
    history.Record(Module(1));
    {
        CPageHistory::CNavigating navigating(history);
        EXPECT_EQ(history.StepBack(), Module(0));
        history.Record(Module(0));
    }
    EXPECT_EQ(history.Entries().size(), 2u);
    EXPECT_TRUE(history.CanGoForward());
    // A refused step is taken back.
    history.StepForward();
    history.UndoStep(1);
    EXPECT_EQ(history.Position(), 0);
}
