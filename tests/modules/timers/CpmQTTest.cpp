#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/routing/RoutingQueries.h"
#include "modules/system/SystemQueries.h"
#include "modules/timers/CpmQT.h"
#include "modules/timers/TimerQueries.h"
#include "support/CrossbarStub.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;
namespace grp = hwc::test;

// A clock module that publishes a bus clock and a high-speed clock.
class CpmQtClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmQtClock, CModule)
public:
    CpmQtClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float PublishedOtherClock() const override { return highSpeedMHz; }
    float busMHz = 0.0f;
    float highSpeedMHz = 0.0f;
};

// A system module that answers the timer clock selection and the fast boot bit.
class CpmQtSystem : public CModule, public hwc::ISystemIntegration {
    HWC_DECLARE_MODULE_CLASS(CpmQtSystem, CModule)
public:
    CpmQtSystem(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClockOutputSelectsOscillator() const override { return false; }
    bool SelectsSecondClockInput() const override { return false; }
    std::uint32_t PeripheralClockControl(std::string_view) const override { return 0; }
    bool SciHighSpeedClock(int) const override { return false; }
    bool SciRxdFromCrossbar(int) const override { return false; }
    bool TimerHighSpeedClock(char timer) const override { return fastTimers.count(timer) != 0; }
    bool I2cFastClock(int, bool&) const override { return false; }
    std::optional<bool> CopBusClockEnabled() const override { return std::nullopt; }
    std::optional<bool> TimerEnabled(int) const override { return std::nullopt; }
    std::optional<bool> MiscBit(int bit) const override {
        return bit == hwc::kFastBootBit ? std::optional<bool>(fastBoot) : std::nullopt;
    }
    tPerCfgItem* MiscControlRegister() override { return nullptr; }
    bool PeripheralSelectBit(int) const override { return false; }
    void SetPeripheralSelectBit(int, bool) override {}
    bool ClockOutputSelectBit(int) const override { return false; }
    void SetClockOutputSelectBit(int, bool) override {}
    int PeripheralSelectRegisterCount() const override { return 1; }
    std::set<char> fastTimers;
    bool fastBoot = false;
};

// A port whose pins can carry the timer input signals "TA<n>" of the channels "QT_A<n>".
class CpmQtPort : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmQtPort, CModule)
public:
    CpmQtPort(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    void AddPinFunctions(const CModule& peripheral, CPinFuncContextMap& map) override {
        const std::string& name = peripheral.InstanceName();
        if (name == "DEC_0" && decoderPin >= 0)
            map.AddPin("PHASEA", {this, decoderPin}, 0, true);
        if (name == "HSCMP_A" && comparatorPin >= 0)
            map.AddPin("CMPA_O", {this, comparatorPin}, 2, true);
        if (name.size() != 5 || name.rfind("QT_A", 0) != 0)
            return;
        const int channel = name.back() - '0';
        if (pins.count(channel))
            map.AddPin(std::string("TA") + name.back(), {this, channel}, 1,
                       timerMode.count(channel) != 0);
    }
    std::set<int> pins;      // channels whose input pin the device has
    std::set<int> timerMode; // of those, the pins set to the timer function
    int decoderPin = -1;     // the pin that carries the first decoder's phase A, if any
    int comparatorPin = -1;  // the pin that carries the first comparator's output, if any
};

// A crossbar that feeds timer inputs and says which of its outputs are configured.
class CpmQtCrossbar : public CModule, public hwc::test::CCrossbarStub {
    HWC_DECLARE_MODULE_CLASS(CpmQtCrossbar, CModule)
public:
    CpmQtCrossbar(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return configured.count(output) != 0; }
    int OutputMode(int) const override { return -1; }
    std::set<int> configured;
};

// A document with a clock module (when a bus clock is given) and one timer channel, page open.
struct CQtFixture {
    explicit CQtFixture(std::set<int> groups, float busMHz = -1.0f,
                        const std::string& instance = "QT_A0") {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f) {
            clock = &host.Add<CpmQtClock>("OCCS", "OCCS");
            clock->busMHz = busMHz;
        }
        qt = &host.Add<CpmQT>(instance, "QT");
    }
    // Binds and opens the channel's page once every stand-in has been added.
    void Open() {
        host.BindAll();
        qt->CreatePage();
        qt->OnInitialUpdate();
        qt->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *qt->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Select(int id, int index) { qt->Page()->UserSelect(Control(id), index); }
    void Counting(int mode, int source) {
        Select(CpmQT::kCountModeId, mode);
        Select(CpmQT::kPrimarySourceId, source);
        qt->Recalculate();
    }
    void Filter(int count, const std::string& period) {
        Select(CpmQT::kFilterCountId, count);
        qt->Page()->UserEdit(Control(CpmQT::kFilterPeriodId), period);
        qt->Recalculate();
    }
    std::string Check(int id) {
        qt->CheckWarnings();
        return host.Warning(*qt, id);
    }

    CModuleTestHost host;
    CpmQtClock* clock = nullptr;
    CpmQT* qt = nullptr;
};

std::vector<std::string> ItemNames(const CpmQT& qt) {
    std::vector<std::string> names;
    for (int i = 0; i < qt.ItemCount(); ++i)
        names.push_back(qt.Item(i).szName);
    return names;
}

} // namespace

TEST(CpmQT, RegisterLayoutByGroup) {
    const std::vector<std::string> all = {"CTRL_INIT",   "SCR_INIT",  "CMP1_INIT",   "CMP2_INIT",
                                          "LOAD_INIT",   "CNTR_INIT", "CMPLD1_INIT", "CMPLD2_INIT",
                                          "COMSCR_INIT", "FILT_INIT", "ENBL_INIT",   "DMA_INIT"};
    const struct {
        std::set<int> groups;
        std::size_t count;
    } cases[] = {
        {{grp::kFamG}, 6},
        {{grp::kFamH, 5}, 6},
        {{grp::kFamH, 6}, 9},
        {{grp::kFamH, grp::kFamK}, 9},
        {{grp::kFamH, grp::kFamJ, grp::kFlag97}, 9},
        {{grp::kFamH, grp::kFamJ, grp::kFamB}, 11},
        {{grp::kFamA}, 11},
        {{grp::kFamH, grp::kFamC}, 11},
        {{grp::kFamE}, 12},
        {{grp::kFamF}, 12},
        {{grp::kFamD}, 12},
    };
    for (const auto& c : cases) {
        CQtFixture f(c.groups);
        EXPECT_EQ(ItemNames(*f.qt), std::vector<std::string>(all.begin(), all.begin() + c.count))
            << *c.groups.rbegin();
        EXPECT_EQ(f.qt->GetDefineName(f.qt->Item(0)), "QT_A0_CTRL_INIT");
    }
}

TEST(CpmQT, CountingFrequencyFromPrescalerAndMode) {
    CQtFixture f({grp::kFamE}, 60.0f);
    f.Open();
    f.Counting(1, 10); // "Prescaler (IPB clock/ 4)"
    EXPECT_EQ(f.Control(CpmQT::kPrimarySourceId).Items()[10], "Prescaler (IPB clock/ 4)");
    EXPECT_EQ(f.Control(CpmQT::kPrimarySourceId).Items()[11], "Prescaler (IPB clock/  8)");
    EXPECT_EQ(f.qt->Item(CpmQT::kCtrlItem).dwValue, (1u << 13) | (10u << 9));
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "15 MHz");
    EXPECT_DOUBLE_EQ(hwc::TimerCountingFrequency(*f.qt, "QT_A0"), 15e6);
    f.Counting(2, 10); // both edges
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "30 MHz");
    f.Counting(1, 15);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "468.75 kHz");
    f.Counting(1, 8);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "60 MHz");
    // Pins and other counters give no frequency of their own.
    f.Counting(1, 2);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "non explicit");
    f.Counting(7, 7);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "non explicit");
    f.Counting(0, 10);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "15 MHz");
    f.Counting(0, 2);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "OFF");
    EXPECT_DOUBLE_EQ(f.qt->CountingFrequencyHz(), 0.0);
    EXPECT_FALSE(f.qt->IsModuleEnabled());
    f.Counting(1, 2);
    EXPECT_TRUE(f.qt->IsModuleEnabled());
}

TEST(CpmQT, WithoutClockModuleNothingIsInfinite) {
    CQtFixture f({grp::kFamF});
    f.Open();
    f.Counting(2, 15);
    EXPECT_EQ(f.Text(CpmQT::kFrequencyId), "non explicit");
    f.Filter(7, "255");
    EXPECT_EQ(f.Text(CpmQT::kFilterLatencyId), "OFF");
    EXPECT_EQ(f.Text(CpmQT::kFilterTimeId), "OFF");
    for (int id : {CpmQT::kFrequencyId, CpmQT::kFilterLatencyId, CpmQT::kFilterTimeId}) {
        EXPECT_EQ(f.Text(id).find("inf"), std::string::npos);
        EXPECT_EQ(f.Text(id).find("nan"), std::string::npos);
    }
}

TEST(CpmQT, InputFilterLatency) {
    CQtFixture f({grp::kFamC}, 60.0f);
    f.Open();
    f.Filter(0, "2");
    EXPECT_EQ(f.qt->Item(CpmQT::kFiltItem).dwValue, 2u);
    EXPECT_EQ(f.Text(CpmQT::kFilterLatencyId), "8 clk");
    EXPECT_EQ(f.Text(CpmQT::kFilterTimeId), "0.13333 us");
    f.Filter(7, "255"); // 10 samples of 255 clocks
    EXPECT_EQ(f.qt->Item(CpmQT::kFiltItem).dwValue, 0x7FFu);
    EXPECT_EQ(f.Text(CpmQT::kFilterLatencyId), "2552 clk");
    EXPECT_EQ(f.Text(CpmQT::kFilterTimeId), "42.53333 us");
    f.Filter(7, "0");
    EXPECT_EQ(f.Text(CpmQT::kFilterLatencyId), "OFF");
    EXPECT_EQ(f.Text(CpmQT::kFilterTimeId), "OFF");
    f.Filter(0, "1"); // 3 samples of one clock, the shortest filter shown
    EXPECT_EQ(f.Text(CpmQT::kFilterLatencyId), "5 clk");
    EXPECT_EQ(f.Control(CpmQT::kFilterCountId).Items().front(), "3");
    EXPECT_EQ(f.Control(CpmQT::kFilterCountId).Items().back(), "10");
}

TEST(CpmQT, ControlsTheLayoutLacksAreHiddenAndUnbound) {
    CQtFixture famG({grp::kFamG}, 60.0f);
    famG.Open();
    for (int id : {CpmQT::kFilterPeriodId, CpmQT::kFilterCountId, CpmQT::kFilterLatencyId,
                   CpmQT::kCompareLoad1Id, CpmQT::kPreload1Id, CpmQT::kCompare1IrqId,
                   CpmQT::kDebugActionId, CpmQT::kInputEdgeDmaId, CpmQT::kTriggeredInitId}) {
        EXPECT_FALSE(famG.Control(id).IsVisible()) << id;
        EXPECT_FALSE(famG.Control(id).Handler()) << id;
    }
    famG.Counting(1, 9);
    EXPECT_EQ(famG.Text(CpmQT::kFrequencyId), "30 MHz");

    CQtFixture famB({grp::kFamH, grp::kFamJ, grp::kFamB}, 60.0f);
    famB.Open();
    EXPECT_TRUE(famB.Control(CpmQT::kDebugActionId).IsVisible());
    EXPECT_FALSE(famB.Control(CpmQT::kTriggeredInitId).IsVisible());
    EXPECT_FALSE(famB.Control(CpmQT::kInputEdgeDmaId).IsVisible());
    famB.Select(CpmQT::kDebugActionId, 3);
    EXPECT_EQ(famB.qt->Item(CpmQT::kComscrItem).dwValue, 3u << 14);

    CQtFixture famD({grp::kFamD}, 60.0f);
    famD.Open();
    EXPECT_TRUE(famD.Control(CpmQT::kTriggeredInitId).IsVisible());
    famD.qt->Page()->UserClick(famD.Control(CpmQT::kCompare2DmaId));
    EXPECT_EQ(famD.qt->Item(CpmQT::kDmaItem).dwValue, 4u);
}

TEST(CpmQT, HighSpeedTimerClock) {
    // FamF: the system module's selection takes the high-speed clock, halved in fast boot.
    CQtFixture famF({grp::kFamF}, 50.0f, "QT_B1");
    famF.clock->highSpeedMHz = 200.0f;
    CpmQtSystem& system = famF.host.Add<CpmQtSystem>("SYS", "SYS_FamE_FamF_FamD");
    famF.Open();
    famF.Counting(1, 8);
    EXPECT_EQ(famF.Text(CpmQT::kFrequencyId), "50 MHz");
    system.fastTimers = {'B'};
    famF.qt->Recalculate();
    EXPECT_EQ(famF.Text(CpmQT::kFrequencyId), "200 MHz");
    system.fastBoot = true;
    famF.qt->Recalculate();
    EXPECT_EQ(famF.Text(CpmQT::kFrequencyId), "100 MHz");

    // FamA offers it to timer A only; the selection of another timer is not looked at.
    CQtFixture famA({grp::kFamA}, 32.0f, "QT_B0");
    famA.clock->highSpeedMHz = 96.0f;
    famA.host.Add<CpmQtSystem>("SYS", "SYS_FamA").fastTimers = {'A', 'B'};
    famA.Open();
    famA.Counting(1, 8);
    EXPECT_EQ(famA.Text(CpmQT::kFrequencyId), "32 MHz");

    // FamC: timers A and B.
    CQtFixture famC({grp::kFamH, grp::kFamC}, 32.0f, "QT_B3");
    famC.clock->highSpeedMHz = 96.0f;
    famC.host.Add<CpmQtSystem>("SYS", "SYS_V2_FamC").fastTimers = {'B'};
    famC.Open();
    famC.Counting(1, 9);
    EXPECT_EQ(famC.Text(CpmQT::kFrequencyId), "48 MHz");

    // Other first-generation parts have no such choice.
    CQtFixture famK({grp::kFamH, grp::kFamK}, 32.0f, "QT_A0");
    famK.clock->highSpeedMHz = 96.0f;
    famK.host.Add<CpmQtSystem>("SYS", "SYS_V2_Classic").fastTimers = {'A'};
    famK.Open();
    famK.Counting(1, 8);
    EXPECT_EQ(famK.Text(CpmQT::kFrequencyId), "32 MHz");
}

TEST(CpmQT, SourceRulesOfTheCountAndOutputModes) {
    CQtFixture f({grp::kFamE}, 60.0f, "QT_A1");
    f.Open();
    // Cascaded from a prescaler or a pin: not a counter output.
    f.Counting(7, 10);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId),
              "In cascaded mode, the timer primary source must be one of the other counter "
              "outputs");
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(cascaded mode error)");
    f.Counting(7, 2);
    EXPECT_NE(f.Check(CpmQT::kPrimaryStateId), "");
    f.Counting(7, 4);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "");
    // Its own output, in any mode.
    f.Counting(7, 5);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "Timer source can not be its own output");
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(self-feed not allowed)");
    f.Counting(1, 5);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "Timer source can not be its own output");
    // A stopped counter uses no source.
    f.Counting(0, 5);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "");
    // The gated clock output cannot gate the undivided bus clock.
    f.Select(CpmQT::kOutputModeId, CpmQT::kGatedOutputMode);
    f.Counting(1, 8);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId),
              "In gated output mode, the timer primary source must not be the IPBus_Clk/1");
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(bad for gated output)");
    f.Counting(1, 9);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "");

    // A name without a digit is channel 0.
    CQtFixture plain({grp::kFamE}, 60.0f, "QT");
    plain.Open();
    plain.Counting(1, 4);
    EXPECT_EQ(plain.Check(CpmQT::kPrimaryStateId), "Timer source can not be its own output");
    plain.Counting(1, 7);
    EXPECT_EQ(plain.Check(CpmQT::kPrimaryStateId), "");
}

TEST(CpmQT, InputPinsFollowedToPortAndCrossbar) {
    CQtFixture f({grp::kFamE}, 60.0f, "QT_A0");
    for (int channel = 1; channel < 4; ++channel)
        f.host.Add<CpmQT>("QT_A" + std::to_string(channel), "QT");
    CpmQtPort& port = f.host.Add<CpmQtPort>("GPIO_A", "GPIO");
    port.pins = {0, 1};
    port.timerMode = {0};
    f.Open();
    f.Counting(1, 0);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "");
    f.Counting(1, 1);
    const std::string notTimer = f.Check(CpmQT::kPrimaryStateId);
    EXPECT_EQ(notTimer.rfind("Timer Pin #1 is not set to Timer mode in <A HREF=", 0), 0u)
        << notTimer;
    EXPECT_NE(notTimer.find("GPIO_A"), std::string::npos);
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(GPIO_A mode bad)");
    f.Counting(1, 3);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "Timer Pin #3 is not available on this device");
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(unavailable pin)");

    // The secondary source counts only where a mode uses it.
    f.Select(CpmQT::kSecondarySourceId, 2);
    f.Counting(1, 0);
    EXPECT_EQ(f.Check(CpmQT::kSecondaryStateId), "");
    f.Counting(3, 0); // gated by the secondary input
    EXPECT_EQ(f.Check(CpmQT::kSecondaryStateId), "Timer Pin #2 is not available on this device");
    f.Counting(1, 0);
    f.Select(CpmQT::kCaptureModeId, 1);
    EXPECT_EQ(f.Check(CpmQT::kSecondaryStateId), "Timer Pin #2 is not available on this device");
    f.Select(CpmQT::kCaptureModeId, 0);
    EXPECT_EQ(f.Check(CpmQT::kSecondaryStateId), "");

    // A pin that carries a comparator's output feeds the timer from there.
    f.host.Add<CpmQtClock>("HSCMP_A", "HSCMP");
    port.comparatorPin = 1;
    f.Counting(1, 1);
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "");
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(routed to HSCMP_A CMPA_O)");
    port.comparatorPin = -1;
    EXPECT_NE(f.Check(CpmQT::kPrimaryStateId), "");

    // An input the crossbar feeds is followed there.
    CpmQtCrossbar& crossbar = f.host.Add<CpmQtCrossbar>(
        "XBAR_A", "XBAR", "out, 33, PWM_A_FORCE\nout, 36, TA2_IN\nout, 37, TA3_IN\n");
    crossbar.BindControls(&f.host);
    f.Counting(1, 3);
    const std::string unset = f.Check(CpmQT::kPrimaryStateId);
    EXPECT_EQ(unset.rfind("Timer input #3 is not set in ", 0), 0u) << unset;
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(XBAR_A OUT37 mode bad)");
    crossbar.configured = {37};
    EXPECT_EQ(f.Check(CpmQT::kPrimaryStateId), "");
    EXPECT_EQ(f.Text(CpmQT::kPrimaryStateId), "(XBAR_A OUT37 used)");
}

TEST(CpmQT, OutputSharedWithDecoder) {
    CQtFixture f({grp::kFamH, grp::kFamK}, 60.0f, "QT_A2");
    f.host.Add<CpmQtClock>("DEC_0", "DEC");
    f.Open();
    EXPECT_EQ(f.Check(CpmQT::kOutputStateId), "");
    f.qt->Page()->UserClick(f.Control(CpmQT::kOutputEnableId));
    EXPECT_EQ(f.qt->Item(CpmQT::kScrItem).dwValue, 1u);
    EXPECT_EQ(f.Check(CpmQT::kOutputStateId),
              "Timer output is enabled and may collide with associated Quadrature Decoder "
              "operation");
    f.qt->Page()->UserClick(f.Control(CpmQT::kOutputEnableId));
    EXPECT_EQ(f.Check(CpmQT::kOutputStateId), "");

    // With ports, the pins tell which channels a decoder shares.
    for (int decoderPin : {2, 3}) {
        CQtFixture shared({grp::kFamH, grp::kFamK}, 60.0f, "QT_A2");
        shared.host.Add<CpmQtClock>("DEC_0", "DEC");
        CpmQtPort& port = shared.host.Add<CpmQtPort>("GPIO_A", "GPIO");
        port.pins = {2};
        port.decoderPin = decoderPin;
        shared.Open();
        shared.qt->Page()->UserClick(shared.Control(CpmQT::kOutputEnableId));
        EXPECT_EQ(shared.Check(CpmQT::kOutputStateId).empty(), decoderPin != 2) << decoderPin;
    }

    // Timer B's outputs do not meet the first decoder.
    CQtFixture other({grp::kFamH, grp::kFamK}, 60.0f, "QT_B2");
    other.host.Add<CpmQtClock>("DEC_0", "DEC");
    other.Open();
    other.qt->Page()->UserClick(other.Control(CpmQT::kOutputEnableId));
    EXPECT_EQ(other.Check(CpmQT::kOutputStateId), "");
}

TEST(CpmQT, SummaryNamesTheChosenSettings) {
    CQtFixture f({grp::kFamE}, 60.0f);
    f.Open();
    f.Counting(1, 10);
    f.Filter(1, "4");
    std::string summary;
    f.qt->GetSummary(summary);
    EXPECT_NE(summary.find("Counting mode, count rising edges of primary source"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Prescaler (IPB clock/ 4)"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Consecutive Samples Required to Agree"), std::string::npos) << summary;
    EXPECT_EQ(f.qt->CommentItems().size(), 19u);
    CQtFixture famG({grp::kFamG});
    EXPECT_EQ(famG.qt->CommentItems().size(), 15u);
}

TEST(CpmQT, PreloadCodeTheListLacksIsKept) {
    CQtFixture f({grp::kFamH, grp::kFamJ, grp::kFamB}, 60.0f);
    f.qt->Item(CpmQT::kComscrItem).dwValue = 0xF; // the fourth code in both preload fields
    f.Open();
    f.qt->RefreshControls();
    EXPECT_EQ(f.Control(CpmQT::kPreload1Id).Selection(), -1);
    EXPECT_EQ(f.Control(CpmQT::kPreload2Id).Selection(), -1);
    EXPECT_EQ(f.qt->ValidationProblem(), "");
    f.qt->ApplyControls();
    EXPECT_EQ(f.qt->Item(CpmQT::kComscrItem).dwValue, 0xFu);
    // A choice made by the user is written.
    f.Select(CpmQT::kPreload1Id, 2);
    EXPECT_EQ(f.qt->Item(CpmQT::kComscrItem).dwValue, 0xEu);
    EXPECT_EQ(f.Control(CpmQT::kPreload2Id).Selection(), -1);
    f.qt->ApplyControls();
    EXPECT_EQ(f.qt->Item(CpmQT::kComscrItem).dwValue, 0xEu);
}

TEST(CpmQT, OtherModulesGetTheFrequencyWithoutThePage) {
    CQtFixture f({grp::kFamD}, 100.0f, "QT_B3");
    f.host.BindAll();
    f.qt->Item(CpmQT::kCtrlItem).dwValue = (2u << 13) | (13u << 9); // both edges, bus / 32
    EXPECT_DOUBLE_EQ(hwc::TimerCountingFrequency(*f.qt, "QT_B3"), 6250000.0);
    f.qt->Item(CpmQT::kCtrlItem).dwValue = (1u << 13) | (7u << 9); // another counter's output
    EXPECT_DOUBLE_EQ(hwc::TimerCountingFrequency(*f.qt, "QT_B3"), 0.0);
    EXPECT_DOUBLE_EQ(hwc::TimerCountingFrequency(*f.qt, "QT_B2"), 0.0);
}

TEST(CpmQT, InterruptRowsAsOnTheIntervalTimerPage) {
    CModuleTestHost host;
    host.groups = {grp::kFamA};
    CpmQT& qt = host.Add<CpmQT>("QT_A0", "QT", "", "INT:40:");
    host.BindAll();
    qt.CreatePage();
    qt.OnInitialUpdate();
    qt.UpdateControlStates();
    EXPECT_TRUE(qt.Page()->FindControl(CpmQT::kIsrNameLabelId)->IsVisible());
    EXPECT_FALSE(qt.Page()->FindControl(CpmQT::kHeadingPlaceholderId)->IsVisible());
    EXPECT_FALSE(qt.Page()->FindControl(CpmQT::kUserVectorNoteId)->IsVisible());
    ASSERT_EQ(qt.InterruptRows().size(), 1u);
    ASSERT_NE(qt.InterruptRows().front().page, nullptr);
    EXPECT_FALSE(
        qt.InterruptRows().front().page->FindControl(CModule::kRowPriorityId)->IsVisible());

    CQtFixture famE({grp::kFamE});
    famE.Open();
    EXPECT_FALSE(famE.Control(CpmQT::kIsrNameLabelId).IsVisible());
    EXPECT_TRUE(famE.Control(CpmQT::kHeadingPlaceholderId).IsVisible());
}
