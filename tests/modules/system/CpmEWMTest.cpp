#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "modules/clocks/ClockQueries.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/system/CpmEWM.h"
#include "support/CrossbarStub.h"
#include "support/ModuleTestHost.h"

namespace {

using E = CpmEWM;
using CEwmHost = hwc::test::CModuleTestHost;

// A clock module that publishes a chosen bus clock and answers the oscillator states it is
// told.
class CpmEwmClockTest : public CModule, public hwc::IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmEwmClockTest, CModule)
public:
    CpmEwmClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float CrystalClockMHz() const override { return 0.0f; }
    bool IsRelaxationOscillatorDisabled() const override { return relaxationOff; }
    bool IsLowSpeedOscillatorDisabled() const override { return lowSpeedOff; }
    bool IsCrystalOscillatorPoweredDown() const override { return crystalDown; }
    float busMHz = 0.0f;
    bool relaxationOff = false;
    bool lowSpeedOff = false;
    bool crystalDown = false;
};

// A crossbar that answers whether its outputs are configured.
class CpmEwmCrossbarTest : public CModule, public hwc::test::CCrossbarStub {
    HWC_DECLARE_MODULE_CLASS(CpmEwmCrossbarTest, CModule)
public:
    CpmEwmCrossbarTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return configured.count(output) != 0; }
    int OutputMode(int) const override { return -1; }
    std::set<int> configured;
};

struct CEwmFixture {
    explicit CEwmFixture(std::set<int> groups, float busMHz = -1.0f, bool withCrossbar = false) {
        host.groups = std::move(groups);
        host.crystal = 16.0f;
        if (busMHz >= 0.0f) {
            clock = &host.Add<CpmEwmClockTest>("OCCS", "OCCS");
            clock->busMHz = busMHz;
        }
        if (withCrossbar)
            crossbar = &host.Add<CpmEwmCrossbarTest>("XBAR_A", "XBAR");
        ewm = &host.Add<E>("EWM", "EWM", "", "INT:81:");
        ewm->SetSelected(true);
        host.BindAll();
        ewm->CreatePage();
        ewm->OnInitialUpdate();
        ewm->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *ewm->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    // Source position, prescaler and compare values, as a user sets them.
    void Set(int source, const std::string& prescaler, const std::string& high,
             const std::string& low = "0") {
        CPage& page = *ewm->Page();
        page.UserSelect(Control(E::kClockSourceId), source);
        page.UserEdit(Control(E::kPrescalerId), prescaler);
        page.UserEdit(Control(E::kCompareHighId), high);
        page.UserEdit(Control(E::kCompareLowId), low);
        ewm->CheckWarnings();
    }
    std::string Warning(int id) { return host.Warning(*ewm, id); }

    CEwmHost host;
    CpmEwmClockTest* clock = nullptr;
    CpmEwmCrossbarTest* crossbar = nullptr;
    E* ewm = nullptr;
};

} // namespace

TEST(CpmEWM, RegistersAndFields) {
    CEwmFixture f({CModule::kFamE}, 50.0f);
    std::vector<std::string> names;
    for (int i = 0; i < f.ewm->ItemCount(); ++i)
        names.push_back(f.ewm->GetDefineName(f.ewm->Item(i)));
    EXPECT_EQ(names, (std::vector<std::string>{"EWM_CTRL_INIT", "EWM_CMPL_INIT", "EWM_CMPH_INIT",
                                               "EWM_CLKCTRL_INIT", "EWM_CLKPRESCALER_INIT"}));
    EXPECT_EQ(f.ewm->Item(E::kCompareHighItem).dwValue, 0xFFu);

    CPage& page = *f.ewm->Page();
    page.UserClick(f.Control(E::kEnableId));
    page.UserSelect(f.Control(E::kAssertionStateId), 1);
    page.UserClick(f.Control(E::kInputEnableId));
    page.UserClick(f.Control(E::kInterruptEnableId));
    EXPECT_EQ(f.ewm->Item(E::kControlItem).dwValue, 0xFu);
    EXPECT_TRUE(hwc::ModuleEnabled(*f.clock, "EWM", false));

    // The prescaler is shown one above its field: 1 to 256.
    f.Set(2, "256", "255");
    EXPECT_EQ(f.ewm->Item(E::kPrescalerItem).dwValue, 255u);
    EXPECT_EQ(f.ewm->Item(E::kClockControlItem).dwValue, 2u);
    page.UserEdit(f.Control(E::kPrescalerId), "1");
    EXPECT_EQ(f.ewm->Item(E::kPrescalerItem).dwValue, 0u);
    // Beyond either end is refused; the field keeps its value.
    page.UserEdit(f.Control(E::kPrescalerId), "0");
    EXPECT_EQ(f.ewm->Item(E::kPrescalerItem).dwValue, 0u);
    page.UserEdit(f.Control(E::kPrescalerId), "257");
    EXPECT_EQ(f.ewm->Item(E::kPrescalerItem).dwValue, 0u);
    page.UserEdit(f.Control(E::kCompareHighId), "256");
    EXPECT_EQ(f.ewm->Item(E::kCompareHighItem).dwValue, 255u);
}

TEST(CpmEWM, MonitorNotWrittenRaisesNothing) {
    // Out of reset the monitor is off: what its page holds while it is not written counts for
    // nothing, though the values are still shown.
    CEwmFixture f({CModule::kFamE}, 4.0f, true);
    f.clock->relaxationOff = true;
    f.ewm->Page()->UserClick(f.Control(E::kInputEnableId));
    f.ewm->SetSelected(false);
    f.Set(0, "1", "255");
    EXPECT_EQ(f.Text(E::kFrequencyId), "8 MHz");
    EXPECT_TRUE(f.host.Active().empty()) << f.host.Active().begin()->second;
    f.ewm->SetSelected(true);
    f.ewm->CheckWarnings();
    EXPECT_NE(f.Warning(E::kFrequencyLabelId), "");
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), E::kRelaxationWarning);
    EXPECT_NE(f.Warning(E::kInputEnableId), "");
}

TEST(CpmEWM, CounterFrequencyAndCompareTimes) {
    CEwmFixture f({CModule::kFamE}, 60.0f);
    // 8 MHz / 8 = 1 MHz; 255 and 10 counts.
    f.Set(0, "8", "255", "10");
    EXPECT_EQ(f.Text(E::kFrequencyId), "1 MHz");
    EXPECT_EQ(f.Text(E::kHighTimeId), "0.255 ms");
    EXPECT_EQ(f.Text(E::kLowTimeId), "10 us");
    EXPECT_EQ(f.Warning(E::kFrequencyLabelId), "");
    // A low compare above the high one is shown as computed.
    f.Set(0, "8", "10", "255");
    EXPECT_EQ(f.Text(E::kHighTimeId), "10 us");
    EXPECT_EQ(f.Text(E::kLowTimeId), "0.255 ms");
    // The crystal frequency of the clock page.
    f.Set(1, "16", "100");
    EXPECT_EQ(f.Text(E::kFrequencyId), "1 MHz");
    // FamE's low-speed oscillator runs at 32 kHz.
    f.Set(3, "32", "0");
    EXPECT_EQ(f.Text(E::kFrequencyId), "1 kHz");
    EXPECT_EQ(f.Text(E::kHighTimeId), "OFF");

    CEwmFixture famD({CModule::kFamD}, 60.0f);
    famD.Set(3, "200", "1");
    EXPECT_EQ(famD.Text(E::kFrequencyId), "1 kHz");
    EXPECT_EQ(famD.Text(E::kHighTimeId), "1 ms");

    // Elsewhere the fourth source is no clock.
    CEwmFixture other({}, 60.0f);
    other.Set(3, "1", "255", "255");
    EXPECT_EQ(other.Text(E::kFrequencyId), "OFF");
    EXPECT_EQ(other.Text(E::kHighTimeId), "OFF");
    EXPECT_EQ(other.Text(E::kLowTimeId), "OFF");
}

TEST(CpmEWM, DividedClockAgainstHalfTheBusClock) {
    CEwmFixture f({CModule::kFamF}, 50.0f);
    f.Set(2, "1", "255");
    EXPECT_EQ(f.Warning(E::kFrequencyLabelId),
              "The divided clock used to run the EWM counter must be no more than half the "
              "frequency of the bus clock (25 MHz)");
    EXPECT_EQ(f.Text(E::kFrequencyLabelId), "Frequency:");
    // Exactly half is allowed.
    f.Set(2, "2", "255");
    EXPECT_EQ(f.Warning(E::kFrequencyLabelId), "");
    // 8 MHz against 12 MHz / 2.
    f.clock->busMHz = 12.0f;
    f.Set(0, "1", "255");
    EXPECT_NE(f.Warning(E::kFrequencyLabelId).find("(6 MHz)"), std::string::npos);
    f.Set(0, "2", "255");
    EXPECT_EQ(f.Warning(E::kFrequencyLabelId), "");
}

TEST(CpmEWM, NoClockModuleShowsOffAndRaisesNothing) {
    CEwmFixture f({CModule::kFamE});
    for (int source : {0, 1, 2, 3}) {
        f.Set(source, "1", "255", "1");
        for (int id : {E::kFrequencyId, E::kHighTimeId, E::kLowTimeId}) {
            EXPECT_EQ(f.Text(id).find("inf"), std::string::npos) << source;
            EXPECT_EQ(f.Text(id).find("nan"), std::string::npos) << source;
        }
        EXPECT_EQ(f.Warning(E::kFrequencyLabelId), "") << source;
        EXPECT_EQ(f.Warning(E::kClockSourceLabelId), "") << source;
    }
    f.Set(1, "1", "255");
    EXPECT_EQ(f.Text(E::kFrequencyId), "OFF");
    f.Set(2, "1", "255");
    EXPECT_EQ(f.Text(E::kFrequencyId), "OFF");
    f.Set(0, "1", "255");
    EXPECT_EQ(f.Text(E::kFrequencyId), "8 MHz");
}

TEST(CpmEWM, ClockSourceWarnings) {
    CEwmFixture f({CModule::kFamD}, 60.0f);
    f.Set(0, "8", "255");
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), "");
    f.clock->relaxationOff = true;
    f.ewm->CheckWarnings();
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), E::kRelaxationWarning);
    EXPECT_EQ(f.Text(E::kClockSourceLabelId), "EWM clock source:");
    f.Set(1, "8", "255");
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), "");
    f.clock->crystalDown = true;
    f.ewm->CheckWarnings();
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), E::kCrystalWarning);
    f.Set(3, "8", "255");
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), "");
    f.clock->lowSpeedOff = true;
    f.ewm->CheckWarnings();
    EXPECT_NE(f.Warning(E::kClockSourceLabelId).find("200 kHz"), std::string::npos);
    f.Set(2, "8", "255");
    EXPECT_EQ(f.Warning(E::kClockSourceLabelId), "");
}

TEST(CpmEWM, InputNeedsItsCrossbarOutput) {
    for (const auto& [group, output] :
         {std::pair{CModule::kFamE, 58}, std::pair{CModule::kFamF, 40},
          std::pair{CModule::kFamD, 63}}) {
        CEwmFixture f({group}, 60.0f, true);
        EXPECT_EQ(f.ewm->InputCrossbarOutput(), output);
        f.ewm->CheckWarnings();
        EXPECT_EQ(f.Warning(E::kInputEnableId), "") << group;
        f.ewm->Page()->UserClick(f.Control(E::kInputEnableId));
        f.ewm->CheckWarnings();
        const std::string warning = f.Warning(E::kInputEnableId);
        EXPECT_EQ(warning.rfind("EWM input (EWM_in) is not configured in XBAR_A ( see ", 0), 0u)
            << warning;
        EXPECT_NE(warning.find("output " + std::to_string(output) + " )"), std::string::npos)
            << warning;
        EXPECT_EQ(f.Text(E::kInputEnableId), "Enable EWM Input (EWM_in)");
        f.crossbar->configured.insert(output);
        f.ewm->CheckWarnings();
        EXPECT_EQ(f.Warning(E::kInputEnableId), "") << group;
    }
    // Without the crossbar nothing says the input is unrouted.
    CEwmFixture alone({CModule::kFamE}, 60.0f);
    alone.ewm->Page()->UserClick(alone.Control(E::kInputEnableId));
    alone.ewm->CheckWarnings();
    EXPECT_EQ(alone.Warning(E::kInputEnableId), "");
}

TEST(CpmEWM, ClockSourceTextsOfFamFAndFamD) {
    const std::vector<std::string> own = {"8 MHz Relaxation oscillator", "Crystal oscillator",
                                          "IP bus clock", "32 kHz Relaxation oscillator"};
    const std::vector<std::string> renamed = {"8MHz clock from 48MHz/6", "Crystal oscillator",
                                              "IP bus clock", "200 kHz Relaxation oscillator"};
    EXPECT_EQ(CEwmFixture({CModule::kFamE}).Control(E::kClockSourceId).Items(), own);
    EXPECT_EQ(CEwmFixture({CModule::kFamF}).Control(E::kClockSourceId).Items(), renamed);
    EXPECT_EQ(CEwmFixture({CModule::kFamD}).Control(E::kClockSourceId).Items(), renamed);

    CEwmFixture f({CModule::kFamD}, 60.0f);
    f.Set(3, "1", "1");
    std::string summary;
    f.ewm->GetSummary(summary);
    EXPECT_NE(summary.find("EWM clock source: 200 kHz Relaxation oscillator"), std::string::npos)
        << summary;
    ASSERT_EQ(f.ewm->InterruptRows().size(), 1u);
    EXPECT_EQ(f.ewm->InterruptRows().front().vector, 81);
}
