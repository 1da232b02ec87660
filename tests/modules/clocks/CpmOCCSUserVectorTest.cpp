#include <gtest/gtest.h>

#include <set>
#include <string>

#include "modules/clocks/CpmOCCS.h"
#include "modules/system/PowerTestSupport.h"

namespace {

// A clock module with interrupt 10 beside an interrupt controller, page open.
struct CClockNoteFixture {
    explicit CClockNoteFixture(std::set<int> groups) {
        host.groups = std::move(groups);
        controller = &host.Add<CpmUserVectorsTest>("WINTC", "INTC");
        occs = &host.Add<CpmOCCS>("OCCS", "OCCS", "", "INT:10:");
        host.BindAll();
        occs->CreatePage();
        occs->OnInitialUpdate();
        occs->UpdateControlStates();
    }
    CPageControl& Note() { return *occs->Page()->FindControl(CpmOCCS::kUserVectorNoteId); }

    CPowerTestHost host;
    CpmUserVectorsTest* controller = nullptr;
    CpmOCCS* occs = nullptr;
};

} // namespace

TEST(CpmOCCS, UserVectorNoteOfTheClockInterruptOnFamA) {
    CClockNoteFixture famA({CModule::kFamA, 105});
    ASSERT_EQ(famA.occs->TemplateId(), CpmOCCS::kSecondTemplateId);
    EXPECT_FALSE(famA.Note().IsVisible());
    famA.controller->userVectors[10] = {4, "ClockLossISR"};
    famA.occs->UpdateControlStates();
    EXPECT_TRUE(famA.Note().IsVisible());
    EXPECT_NE(famA.Note().Text().find("NOTE: defined as USER4 (ClockLossISR) in WINTC module."),
              std::string::npos)
        << famA.Note().Text();
    famA.controller->userVectors.clear();
    famA.occs->UpdateControlStates();
    EXPECT_FALSE(famA.Note().IsVisible());

    // FamC shares the page but has no user vectors.
    CClockNoteFixture famC({106, 30});
    ASSERT_EQ(famC.occs->TemplateId(), CpmOCCS::kSecondTemplateId);
    famC.controller->userVectors[10] = {4, "ClockLossISR"};
    famC.occs->UpdateControlStates();
    EXPECT_FALSE(famC.Note().IsVisible());
}
