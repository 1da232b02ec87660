#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modules/system/CpmPMC.h"
#include "modules/system/PowerTestSupport.h"
#include "modules/timers/CpmRTC.h"

namespace {

using R = CpmRTC;

// A FamA document with the real-time counter (interrupt 13) and, when asked, the power
// management module under the given type key; both pages open.
struct CRtcFixture {
    explicit CRtcFixture(bool withPmc = true, bool withController = false) {
        host.groups = {CModule::kFamA};
        if (withController)
            controller = &host.Add<CpmUserVectorsTest>("WINTC", "INTC");
        if (withPmc)
            pmc = &host.Add<CpmPMC>("PMC", "PMC", "", "INT:12:");
        rtc = &host.Add<CpmRTC>("RTC", "RTC", "", "INT:13:");
        host.BindAll();
        for (auto& module : host.modules) {
            module->CreatePage();
            module->OnInitialUpdate();
            module->UpdateControlStates();
        }
    }
    CPageControl& Control(int id) { return *rtc->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    // Sets clock source, prescaler and modulo as a user does.
    void Set(int source, int prescaler, const std::string& modulo) {
        CPage& page = *rtc->Page();
        page.UserSelect(Control(R::kClockSourceId), source);
        page.UserSelect(Control(R::kPrescalerId), prescaler);
        page.UserEdit(Control(R::kModuloId), modulo);
        rtc->Recalculate();
    }
    // Runs the warnings pass; whether the oscillator warning stands.
    bool Warns() {
        rtc->CheckWarnings();
        return host.Warns(R::kClockSourceLabelId);
    }

    CPowerTestHost host;
    CpmUserVectorsTest* controller = nullptr;
    CpmPMC* pmc = nullptr;
    CpmRTC* rtc = nullptr;
};

} // namespace

TEST(CpmRTC, DividerTimeAndRateBySettings) {
    struct tCase {
        int source;
        int prescaler;
        const char* modulo;
        const char* divider;
        const char* time;
        const char* rate;
    };
    const tCase cases[] = {
        // 1 kHz oscillator; a modulo of 0 counts as 1.
        {0, 15, "0", "1000", "1 sec", "1 Hz"},
        {0, 1, "125", "8", "1 sec", "1 Hz"},
        {0, 8, "1", "1", "1 ms", "1 kHz"},
        // Internal clock with the coarse table: 32000000 / 16384000.
        {3, 7, "250", "65536", "0.512 sec", "1.95312 Hz"},
        // ... and with the fine one.
        {2, 7, "250", "1024", "8 ms", "125 Hz"},
        // The largest divider and modulo: 32000000 / 51000000, no overflow.
        {3, 15, "255", "200000", "1.59375 sec", "0.62745 Hz"},
        // The fastest: the internal clock undivided.
        {2, 8, "1", "1", "0.03125 us", "32 MHz"},
        // The external clock is not evaluated.
        {1, 7, "250", "65536", "n/a", "n/a"},
        {1, 8, "1", "1000", "n/a", "n/a"},
        // Prescaler 0 stops the counter whatever the source.
        {0, 0, "5", "OFF", "n/a", "n/a"},
        {1, 0, "5", "OFF", "n/a", "n/a"},
        {2, 0, "0", "OFF", "n/a", "n/a"},
        {3, 0, "255", "OFF", "n/a", "n/a"},
    };
    CRtcFixture f;
    for (const tCase& c : cases) {
        f.Set(c.source, c.prescaler, c.modulo);
        const std::string name =
            std::to_string(c.source) + "/" + std::to_string(c.prescaler) + "/" + c.modulo;
        EXPECT_EQ(f.Text(R::kDividerId), c.divider) << name;
        EXPECT_EQ(f.Text(R::kRollOverTimeId), c.time) << name;
        EXPECT_EQ(f.Text(R::kInterruptRateId), c.rate) << name;
    }
}

TEST(CpmRTC, ListsWithoutSelectionStopTheCounter) {
    CRtcFixture f;
    f.Set(0, 15, "0");
    f.Control(R::kPrescalerId).SetSelection(-1);
    f.rtc->Recalculate();
    EXPECT_EQ(f.Text(R::kDividerId), "OFF");
    EXPECT_EQ(f.Text(R::kRollOverTimeId), "n/a");
    EXPECT_EQ(f.Text(R::kInterruptRateId), "n/a");
    f.Set(0, 15, "0");
    f.Control(R::kClockSourceId).SetSelection(-1);
    f.rtc->Recalculate();
    EXPECT_EQ(f.Text(R::kDividerId), "OFF");
    EXPECT_EQ(f.Text(R::kInterruptRateId), "n/a");

    // The same from the computation itself, for numbers no list offers.
    for (const auto& [source, prescaler] :
         std::vector<std::pair<int, int>>{{-1, 3}, {4, 3}, {0, -1}, {0, 16}}) {
        const CpmRTC::tTiming timing = CpmRTC::Timing(source, prescaler, 1);
        EXPECT_EQ(timing.divider, 0u) << source << "/" << prescaler;
        EXPECT_EQ(timing.rate, 0.0f);
        EXPECT_EQ(timing.period, 0.0f);
    }
    // Modulo bits above the field do not count.
    EXPECT_EQ(CpmRTC::Timing(0, 15, 0x100).rate, 1.0f);
}

TEST(CpmRTC, SettingsEditTheRegisters) {
    CRtcFixture f;
    f.Set(3, 7, "250");
    f.rtc->Page()->UserClick(f.Control(R::kInterruptEnableId));
    EXPECT_EQ(f.rtc->Item(R::kControlItem).dwValue, 0x77u);
    EXPECT_EQ(f.rtc->Item(R::kModuloItem).dwValue, 250u);
    EXPECT_EQ(f.Control(R::kModuloSpinId).High(), 255);

    // A modulo beyond the field is refused and the register keeps its value.
    f.rtc->Page()->UserEdit(f.Control(R::kModuloId), "256");
    EXPECT_EQ(f.rtc->Item(R::kModuloItem).dwValue, 250u);
    EXPECT_FALSE(f.rtc->ValidationProblem().empty());
    f.rtc->Page()->UserEdit(f.Control(R::kModuloId), "0");
    EXPECT_EQ(f.rtc->Item(R::kModuloItem).dwValue, 0u);
    EXPECT_TRUE(f.rtc->ValidationProblem().empty());
}

TEST(CpmRTC, OscillatorWarningRaisedAndCleared) {
    CRtcFixture f;
    CPageControl& pmcOscillator = *f.pmc->Page()->FindControl(CpmPMC::kOscillatorEnableId);
    // The oscillator is off by default and the counter counts it.
    f.Set(0, 15, "0");
    EXPECT_TRUE(f.Warns());
    EXPECT_EQ(f.host.Warning(R::kClockSourceLabelId), R::kOscillatorWarning);
    // The label keeps its caption, dark red.
    EXPECT_EQ(f.Text(R::kClockSourceLabelId), "Clock Source:");
    EXPECT_TRUE(f.Control(R::kClockSourceLabelId).IsVisible());
    EXPECT_EQ(f.Control(R::kClockSourceLabelId).TextColour(), (tColour{128, 0, 0}));

    // Another clock source clears it, and the label stays.
    for (int source : {1, 2, 3}) {
        f.Set(source, 15, "0");
        EXPECT_FALSE(f.Warns()) << source;
    }
    EXPECT_TRUE(f.Control(R::kClockSourceLabelId).IsVisible());
    EXPECT_EQ(f.Text(R::kClockSourceLabelId), "Clock Source:");
    EXPECT_EQ(f.Control(R::kClockSourceLabelId).TextColour(), (tColour{0, 0, 0}));

    // Enabling the oscillator clears it; disabling raises it again.
    f.Set(0, 15, "0");
    EXPECT_TRUE(f.Warns());
    f.pmc->Page()->UserClick(pmcOscillator);
    EXPECT_FALSE(f.Warns());
    f.pmc->Page()->UserClick(pmcOscillator);
    EXPECT_TRUE(f.Warns());
    // A counter that is off still names its clock source.
    f.Set(0, 0, "0");
    EXPECT_TRUE(f.Warns());
}

TEST(CpmRTC, NoWarningWithoutAPowerManagementModuleToAsk) {
    CRtcFixture alone(false);
    alone.Set(0, 15, "0");
    EXPECT_FALSE(alone.Warns());
    EXPECT_TRUE(alone.Control(R::kClockSourceLabelId).IsVisible());

    // A module named "PMC" of another class does not count, even with its bit clear.
    CPowerTestHost host;
    host.groups = {CModule::kFamA};
    host.Add<CpmPlainTest>("PMC", "PMC").Item(0).dwValue = 0;
    CpmRTC& rtc = host.Add<CpmRTC>("RTC", "RTC", "", "INT:13:");
    host.BindAll();
    rtc.CheckWarnings();
    EXPECT_FALSE(host.Warns(R::kClockSourceLabelId));

    // Without a page the warning still reaches the document's list.
    CPowerTestHost headless;
    headless.Add<CpmPMC>("PMC", "PMC");
    CpmRTC& counter = headless.Add<CpmRTC>("RTC", "RTC");
    headless.BindAll();
    counter.CheckWarnings();
    EXPECT_TRUE(headless.Warns(R::kClockSourceLabelId));
    counter.Item(R::kControlItem).dwValue = 1u << 5;
    counter.CheckWarnings();
    EXPECT_FALSE(headless.Warns(R::kClockSourceLabelId));
}

TEST(CpmRTC, InterruptRowAndUserVectorNote) {
    CRtcFixture f(true, true);
    ASSERT_EQ(f.rtc->InterruptRows().size(), 1u);
    CPage* row = f.rtc->InterruptRows().front().page;
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->FindControl(CModule::kRowPriorityId)->IsVisible());
    EXPECT_FALSE(f.Control(R::kUserVectorNoteId).IsVisible());
    f.controller->userVectors[13] = {2, "SecondTickISR"};
    f.rtc->UpdateControlStates();
    EXPECT_TRUE(f.Control(R::kUserVectorNoteId).IsVisible());
    EXPECT_NE(f.Text(R::kUserVectorNoteId)
                  .find("NOTE: defined as USER2 (SecondTickISR) in WINTC module."),
              std::string::npos)
        << f.Text(R::kUserVectorNoteId);

    // Without an interrupt there is nothing to show.
    CPowerTestHost host;
    CpmRTC& rtc = host.Add<CpmRTC>("RTC", "RTC", "", "0");
    host.BindAll();
    rtc.CreatePage();
    rtc.OnInitialUpdate();
    rtc.UpdateControlStates();
    EXPECT_FALSE(rtc.Page()->FindControl(R::kUserVectorNoteId)->IsVisible());
    EXPECT_FALSE(rtc.Page()->FindControl(R::kIsrNameLabelId)->IsVisible());
}

TEST(CpmRTC, SummaryListsTheSettingsInOrder) {
    CRtcFixture f;
    f.Set(2, 3, "42");
    std::string summary;
    f.rtc->GetSummary(summary);
    const auto at = [&](const char* text) { return summary.find(text); };
    ASSERT_NE(at("Clock Source: Internal clock (IRCLK) with RTCLKS[0] = 0"), std::string::npos)
        << summary;
    EXPECT_LT(at("Clock Source:"), at("Prescaler: 3")) << summary;
    EXPECT_LT(at("Prescaler: 3"), at("Modulo: 42")) << summary;
    EXPECT_LT(at("Modulo: 42"), at("Enable Real-Time interrupt")) << summary;
}
