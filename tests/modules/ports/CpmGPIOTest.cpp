#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "model/ModuleLink.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/clocks/CpmOCCSTables.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/ports/CpmGPIO.h"
#include "modules/ports/PortQueries.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/system/SystemQueries.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using D = CpmGPIO_PinDlg;

// A system module with `registers` peripheral-select registers and a clock-output register.
class CpmSysFake : public CModule, public hwc::ISystemIntegration {
    HWC_DECLARE_MODULE_CLASS(CpmSysFake, CModule)
public:
    CpmSysFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClockOutputSelectsOscillator() const override { return false; }
    bool SelectsSecondClockInput() const override { return false; }
    std::uint32_t PeripheralClockControl(std::string_view) const override { return 0; }
    bool SciHighSpeedClock(int) const override { return false; }
    bool SciRxdFromCrossbar(int) const override { return false; }
    bool TimerHighSpeedClock(char) const override { return false; }
    bool I2cFastClock(int, bool&) const override { return false; }
    std::optional<bool> CopBusClockEnabled() const override { return {}; }
    std::optional<bool> TimerEnabled(int) const override { return {}; }
    std::optional<bool> MiscBit(int) const override { return {}; }
    tPerCfgItem* MiscControlRegister() override { return nullptr; }
    bool PeripheralSelectBit(int bit) const override {
        return bit / 16 < registers && (select[bit / 16] >> (bit % 16)) & 1u;
    }
    void SetPeripheralSelectBit(int bit, bool set) override {
        if (bit / 16 >= registers)
            return;
        select[bit / 16] =
            set ? select[bit / 16] | (1u << bit % 16) : select[bit / 16] & ~(1u << bit % 16);
    }
    bool ClockOutputSelectBit(int bit) const override { return (clockOutput >> bit) & 1u; }
    void SetClockOutputSelectBit(int bit, bool set) override {
        clockOutput = set ? clockOutput | (1u << bit) : clockOutput & ~(1u << bit);
    }
    int PeripheralSelectRegisterCount() const override { return registers; }

    int registers = 2;
    std::uint32_t select[2] = {0, 0};
    std::uint32_t clockOutput = 0;
};

// A peripheral with a pin status line that uses every signal but those listed.
class CpmPeriphFake : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPeriphFake, CModule)
public:
    CpmPeriphFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 300, descriptor, nullptr, 0) {}
    const CDialogTemplate* DialogTemplate() const override {
        static const CDialogTemplate page(300, {dlg::Link(kPinStatusId, "")});
        return &page;
    }
    bool IsPinFunctionUsed(const std::string& signal) const override {
        return unused.count(signal) == 0;
    }
    std::set<std::string> unused;
};

// An interrupt controller that answers chosen user vectors.
class CpmVectorsFake : public CModule, public hwc::IInterruptController {
    HWC_DECLARE_MODULE_CLASS(CpmVectorsFake, CModule)
public:
    CpmVectorsFake(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClaimVector(const CModuleBase*, int, const std::string&, bool) override { return false; }
    const CModuleBase* VectorOwner(int) const override { return nullptr; }
    std::optional<hwc::tUserVector> UserVectorOf(int source) const override {
        if (source != vector)
            return std::nullopt;
        return hwc::tUserVector{2, "PortAISR"};
    }
    bool DebugPortInterruptsEnabled() const override { return false; }
    int vector = -1;
};

const char* const kPort = "PER=0x0000\n"
                          "3, GPS1:SCI0.TXD, GPS2:SPI0.MOSI\n"
                          "5, SCI0.RXD, GPS17:TMR0.TA0\n"
                          "7\n";

struct CFixture {
    explicit CFixture(std::set<int> groups, bool withSystem = true, const std::string& info = kPort,
                      const std::string& instance = "GPIO_A") {
        host.groups = std::move(groups);
        if (withSystem)
            system = &host.Add<CpmSysFake>("SYS", "SYS_V2");
        sci = &host.Add<CpmPeriphFake>("SCI0", "SCI");
        spi = &host.Add<CpmPeriphFake>("SPI0", "SPI");
        gpio = &host.Add<CpmGPIO>(instance, "GPIO", info, "INT:14:");
        host.BindAll();
    }
    void Open() {
        gpio->CreatePage();
        gpio->OnInitialUpdate();
        gpio->UpdateControlStates();
    }
    CPageControl* Control(int pin, int id) {
        return gpio->Page()
            ->FindControl(CpmGPIO::kPinSubPageBase + pin)
            ->SubPage()
            ->FindControl(id);
    }
    std::uint32_t Reg(int item) const { return gpio->Item(item).dwValue; }

    CHost host;
    CpmSysFake* system = nullptr;
    CpmPeriphFake* sci = nullptr;
    CpmPeriphFake* spi = nullptr;
    CpmGPIO* gpio = nullptr;
};

std::vector<std::string> RegisterNames(const CpmGPIO& gpio) {
    std::vector<std::string> names;
    for (int i = 0; i < gpio.ItemCount(); ++i)
        names.push_back(gpio.Item(i).szName);
    return names;
}

} // namespace

TEST(CpmGPIO, RegisterSetsOfEachGroup) {
    using hwc::test::kFamA, hwc::test::kFamC, hwc::test::kFamD, hwc::test::kFamE, hwc::test::kFamF,
        hwc::test::kFamG, hwc::test::kFamH, hwc::test::kFamJ;
    const std::vector<std::pair<std::set<int>, int>> counts = {
        {{kFamG}, 6},        {{kFamH}, 7},  {{kFamH, kFamJ}, 8},
        {{kFamH, kFamC}, 8}, {{kFamA}, 10}, {{kFamE}, 11},
        {{kFamF}, 11},       {{kFamD}, 11}, {{kFamH, hwc::test::kFamK}, 7}};
    for (const auto& [groups, count] : counts) {
        CFixture f(groups);
        EXPECT_EQ(f.gpio->ItemCount(), count) << *groups.begin();
    }
    CFixture famA({kFamA});
    EXPECT_EQ(RegisterNames(*famA.gpio),
              (std::vector<std::string>{"PUR_INIT", "DDR_INIT", "PER_INIT", "IENR_INIT",
                                        "IPOLR_INIT", "DR_INIT", "PPMODE_INIT", "DRIVE_INIT",
                                        "IFE_INIT", "SLEW_INIT"}));
    EXPECT_EQ(famA.gpio->Item(CpmGPIO::kIfe).dwDefault, 0xFFFFu);
    EXPECT_FALSE(famA.gpio->Item(CpmGPIO::kIfe).dwFlags & hwc::RegFlag::DUMMYREG);
    // PER_INIT is written even at its default.
    EXPECT_TRUE(famA.gpio->Item(CpmGPIO::kPer).dwFlags & hwc::RegFlag::NODEFAULT);
    EXPECT_FALSE(famA.gpio->Item(CpmGPIO::kPur).dwFlags & hwc::RegFlag::NODEFAULT);

    CFixture famE({kFamE});
    EXPECT_STREQ(famE.gpio->Item(CpmGPIO::kSlew).szName, "SRE_INIT");
    EXPECT_STREQ(famE.gpio->Item(CpmGPIO::kPus).szName, "PUS_INIT");
    EXPECT_EQ(famE.gpio->Item(CpmGPIO::kIfe).dwFlags &
                  (hwc::RegFlag::DUMMYREG | hwc::RegFlag::NOSHOWLIST),
              hwc::RegFlag::DUMMYREG | hwc::RegFlag::NOSHOWLIST);
}

TEST(CpmGPIO, ModuleInfoGivesResetValuesWhereTheRegisterExists) {
    CFixture f({hwc::test::kFamH}, true, "PER=0x0003\nPUR=0x3F\nPPMODE=0x10\nDR=5\n0, A.B\n");
    EXPECT_EQ(f.gpio->Item(CpmGPIO::kPer).dwDefault, 3u);
    EXPECT_EQ(f.Reg(CpmGPIO::kPer), 3u);
    EXPECT_EQ(f.Reg(CpmGPIO::kPur), 0x3Fu);
    EXPECT_EQ(f.Reg(CpmGPIO::kPpmode), 0x10u);
    EXPECT_EQ(f.Reg(CpmGPIO::kDr), 0u);

    // The document hands the module information over after creating the module.
    CHost host;
    auto& late = host.Add<CpmGPIO>("GPIO_B", "GPIO");
    late.SetModuleInfo("PER=0x0001\n0, OCCS.EXTAL\n");
    host.BindAll();
    EXPECT_EQ(late.Item(CpmGPIO::kPer).dwValue, 1u);
    ASSERT_TRUE(late.PinDialog(0));
    EXPECT_EQ(late.CurrentFunction(0), 1);

    // FamG has no push-pull register; a bad number keeps the table's default.
    CFixture g({hwc::test::kFamG}, true, "PPMODE=0x10\nPER=junk\n0, A.B\n");
    EXPECT_EQ(g.gpio->ItemCount(), 6);
    EXPECT_EQ(g.Reg(CpmGPIO::kPer), 0xFFu);
}

TEST(CpmGPIO, SelectingFunctionsWritesEnableAndSelectBits) {
    CFixture f({hwc::test::kFamE});
    f.Open();
    CPageControl& list = *f.Control(3, D::kFunctionId);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"GPIO", "TXD", "MOSI"}));
    EXPECT_EQ(list.Selection(), 0);

    f.gpio->Page()->UserSelect(list, 1);
    EXPECT_EQ(f.Reg(CpmGPIO::kPer), 1u << 3);
    EXPECT_EQ(f.system->select[0], 1u << 1);

    f.gpio->Page()->UserSelect(list, 2);
    EXPECT_EQ(f.system->select[0], 1u << 2);
    EXPECT_EQ(f.gpio->CurrentFunction(3), 2);

    // Both bits set by hand in the system module: no function holds, nothing is selected.
    f.system->select[0] = (1u << 1) | (1u << 2);
    f.gpio->UpdateControlStates();
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(f.gpio->CurrentFunction(3), -1);
    // ... and applying that state leaves every register alone; the page accepts it.
    CpmGPIO_PinDlg& pin = *f.gpio->PinDialog(3);
    pin.Function().Apply();
    EXPECT_EQ(f.system->select[0], (1u << 1) | (1u << 2));
    EXPECT_EQ(f.Reg(CpmGPIO::kPer), 1u << 3);
    EXPECT_TRUE(pin.Function().ValidateControl(false));

    f.gpio->Page()->UserSelect(list, 0);
    EXPECT_EQ(f.Reg(CpmGPIO::kPer), 0u);
    EXPECT_EQ(f.system->select[0], (1u << 1) | (1u << 2));
}

TEST(CpmGPIO, FunctionsTheSystemModuleCannotSelect) {
    // Without a system module only the functions that need no select bit are chosen.
    CFixture none({hwc::test::kFamE}, false);
    none.gpio->Item(CpmGPIO::kPer).dwValue = (1u << 3) | (1u << 5);
    EXPECT_EQ(none.gpio->CurrentFunction(3), -1);
    EXPECT_EQ(none.gpio->CurrentFunction(5), 1);
    EXPECT_FALSE(none.gpio->WriteFunction(3, 1));
    EXPECT_FALSE(none.gpio->SelectPinFunction(5, 2));
    EXPECT_TRUE(none.gpio->WriteFunction(3, 0));
    EXPECT_EQ(none.Reg(CpmGPIO::kPer), 1u << 5);

    // A select bit of the second register while the system module uses one register.
    CFixture one({hwc::test::kFamE});
    one.system->registers = 1;
    EXPECT_FALSE(one.gpio->CanSelectFunction(5, 2));
    EXPECT_TRUE(one.gpio->CanSelectFunction(5, 1));
    EXPECT_TRUE(one.gpio->CanSelectFunction(3, 2));
    EXPECT_FALSE(one.gpio->CanSelectFunction(3, 3));
    EXPECT_FALSE(one.gpio->CanSelectFunction(4, 0));
    one.system->registers = 2;
    EXPECT_TRUE(one.gpio->WriteFunction(5, 2));
    EXPECT_EQ(one.system->select[1], 1u << 1);
    EXPECT_EQ(one.gpio->CurrentFunction(5), 2);
}

TEST(CpmGPIO, PinRowsOfEachVariant) {
    struct tCase {
        std::set<int> groups;
        std::vector<int> extras;
    };
    using namespace hwc::test;
    const std::vector<tCase> cases = {
        {{kFamG}, {}},
        {{kFamH}, {D::kOutputModeId}},
        {{kFamH, kFamJ}, {D::kOutputModeId, D::kDriveModeId}},
        {{kFamH, kFamC}, {D::kOutputModeId, D::kDriveModeId}},
        {{kFamA}, {D::kOutputModeId, D::kDriveModeId, D::kInputFilterId, D::kSlewRateId}},
        {{kFamF}, {D::kOutputModeId, D::kDriveModeId, D::kSlewRateId, D::kPullTypeId}},
    };
    for (const tCase& c : cases) {
        CFixture f(c.groups);
        f.Open();
        for (int id = D::kOutputModeId; id <= D::kPullTypeId; ++id) {
            const bool offered = std::find(c.extras.begin(), c.extras.end(), id) != c.extras.end();
            EXPECT_EQ(f.Control(3, id) != nullptr, offered) << *c.groups.rbegin() << " " << id;
        }
    }
    CFixture g({kFamG});
    EXPECT_TRUE(dynamic_cast<CpmGPIO_PinDlgV1*>(g.gpio->PinDialog(3)));
    CFixture e({kFamD});
    EXPECT_TRUE(dynamic_cast<CpmGPIO_PinDlgFamE*>(e.gpio->PinDialog(3)));
    e.Open();
    EXPECT_EQ(e.Control(3, D::kPullTypeId)->Items(),
              (std::vector<std::string>{"Pull-down", "Pull-up"}));
    EXPECT_TRUE(e.gpio->Page()->FindControlByText("Pin  3: Function"));
    // Only described pins have a row.
    EXPECT_FALSE(e.gpio->PinDialog(4));
    EXPECT_EQ(e.gpio->Page()->FindControl(CpmGPIO::kPinSubPageBase + 4)->SubPage(), nullptr);
    EXPECT_EQ(e.Control(7, D::kFunctionId)->Items(),
              (std::vector<std::string>{"GPIO", "Peripheral (void)"}));
}

TEST(CpmGPIO, PeripheralPinsDisableTheGpioSettings) {
    CFixture f({hwc::test::kFamH});
    f.Open();
    const std::vector<int> gpioOnly = {D::kDirectionId, D::kInitValueId, D::kInterruptId,
                                       D::kPolarityId};
    for (int id : gpioOnly)
        EXPECT_TRUE(f.Control(5, id)->IsEnabled()) << id;
    f.gpio->Page()->UserSelect(*f.Control(5, D::kFunctionId), 1);
    f.gpio->UpdateControlStates();
    for (int id : gpioOnly)
        EXPECT_FALSE(f.Control(5, id)->IsEnabled()) << id;
    EXPECT_TRUE(f.Control(5, D::kPullUpId)->IsEnabled());
    EXPECT_TRUE(f.Control(5, D::kOutputModeId)->IsEnabled());
}

TEST(CpmGPIO, SummaryFollowsEachPinsState) {
    CFixture f({hwc::test::kFamH});
    f.gpio->Item(CpmGPIO::kPer).dwValue = 1u << 5; // pin 5 carries RXD
    f.gpio->Item(CpmGPIO::kDdr).dwValue = 1u << 3; // pin 3 is a GPIO output
    f.gpio->UpdateControlStates();
    CpmGPIO_PinDlg& three = *f.gpio->PinDialog(3);
    CpmGPIO_PinDlg& five = *f.gpio->PinDialog(5);
    CpmGPIO_PinDlg& seven = *f.gpio->PinDialog(7);
    const std::vector<std::pair<ISummarySource*, std::uint32_t>> expected = {
        {&three.Function(), 0x6000},  {&three.Direction(), 0},      {&three.InitValue(), 0},
        {&three.Interrupt(), 0x4000}, {&three.Polarity(), 0},       {&five.Function(), 0x6000},
        {&five.PullUp(), 0},          {&seven.Function(), 0x6000},  {&seven.Direction(), 0},
        {&seven.PullUp(), 0},         {&seven.Interrupt(), 0x4000}, {&seven.Polarity(), 0}};
    const auto& items = f.gpio->CommentItems();
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].binding, expected[i].first) << i;
        EXPECT_EQ(items[i].flags, expected[i].second) << i;
    }
    std::string summary;
    f.gpio->GetSummary(summary);
    EXPECT_NE(summary.find("Pin  5: Function: RXD"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Direction: Output"), std::string::npos) << summary;
}

TEST(CpmGPIO, InterruptWarnings) {
    using hwc::test::kFamG;
    CFixture f({kFamG});
    f.Open();
    const int pin3 = CpmGPIO::PinControlId(3, D::kInterruptWarningId);
    f.gpio->Item(CpmGPIO::kIenr).dwValue = 1u << 3;
    f.gpio->Item(CpmGPIO::kDdr).dwValue = 1u << 3;
    f.gpio->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.gpio, pin3),
              "GPIO pin #3 must be in GPIO-Input mode when using the interrupt");
    EXPECT_FALSE(f.host.Warns(CpmGPIO::kInterruptCountWarningId));
    // A peripheral pin drives itself: no GPIO interrupt to warn about.
    f.gpio->Item(CpmGPIO::kPer).dwValue = 1u << 3;
    f.gpio->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.gpio, pin3), "");

    f.gpio->Item(CpmGPIO::kIenr).dwValue = (1u << 3) | (1u << 5);
    f.gpio->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.gpio, CpmGPIO::kInterruptCountWarningId),
              "More than one GPIO Interrupt pin selected (see chip errata)");
    EXPECT_TRUE(f.gpio->Page()->FindControl(CpmGPIO::kInterruptCountWarningId)->IsVisible());
    f.gpio->Item(CpmGPIO::kIenr).dwValue = 1u << 5;
    f.gpio->CheckWarnings();
    EXPECT_FALSE(f.host.Warns(CpmGPIO::kInterruptCountWarningId));

    // Only FamG warns about several interrupt pins.
    CFixture h({hwc::test::kFamH});
    h.gpio->Item(CpmGPIO::kIenr).dwValue = (1u << 3) | (1u << 5);
    h.gpio->CheckWarnings();
    EXPECT_FALSE(h.host.Warns(CpmGPIO::kInterruptCountWarningId));
}

TEST(CpmGPIO, FamANamesThePinsThatShareAFunction) {
    CHost host;
    host.groups = {hwc::test::kFamA};
    host.Add<CpmPeriphFake>("SCI0", "SCI");
    auto& a = host.Add<CpmGPIO>("GPIO_A", "GPIO", "0, SCI0.TXD\n1, SCI0.RXD\n");
    auto& b = host.Add<CpmGPIO>("GPIO_B", "GPIO", "4, SCI0.TXD\n");
    host.BindAll();
    a.Item(CpmGPIO::kPer).dwValue = 0x3;
    b.Item(CpmGPIO::kPer).dwValue = 0;
    a.CheckWarnings();
    EXPECT_TRUE(host.warnings.empty());

    b.Item(CpmGPIO::kPer).dwValue = 1u << 4;
    b.CreatePage();
    a.CheckWarnings();
    b.CheckWarnings();
    EXPECT_EQ(host.Warning(a, CpmGPIO::PinControlId(0, D::kSameFunctionWarningId)),
              "The GPIO_A0 is configured for the same function as GPIO_B4");
    EXPECT_EQ(host.Warning(b, CpmGPIO::PinControlId(4, D::kSameFunctionWarningId)),
              "The GPIO_B4 is configured for the same function as GPIO_A0");
    EXPECT_EQ(b.Page()
                  ->FindControl(CpmGPIO::kPinSubPageBase + 4)
                  ->SubPage()
                  ->FindControl(D::kSameFunctionWarningId)
                  ->Text(),
              "The same function is configured also on GPIO_A0");
    EXPECT_EQ(host.warnings.size(), 2u);
}

TEST(CpmGPIO, PinContextsOfAPeripheral) {
    CFixture f({hwc::test::kFamE});
    f.gpio->Item(CpmGPIO::kPer).dwValue = 1u << 5;
    CModule::CPinFuncContextMap map;
    f.sci->BuildPinMap(map, false);
    ASSERT_EQ(map.Total(), 2);
    EXPECT_EQ(map.Entries()[0].first, "TXD");
    const CModule::tPinRef pin3{f.gpio, 3};
    const CModule::tPinRef pin5{f.gpio, 5};
    EXPECT_EQ(map.Entries()[0].second->candidatePins, std::vector<CModule::tPinRef>{pin3});
    EXPECT_TRUE(map.Entries()[0].second->currentPins.empty());
    EXPECT_EQ(map.Entries()[0].second->functionIndex.at(pin3), 1);
    EXPECT_EQ(map.Entries()[1].first, "RXD");
    EXPECT_EQ(map.Entries()[1].second->currentPins, std::vector<CModule::tPinRef>{pin5});

    // A function the system module cannot select is no candidate.
    f.system->registers = 1;
    CModule::CPinFuncContextMap timer;
    auto& tmr = f.host.Add<CpmPeriphFake>("TMR0", "TMR");
    tmr.BindControls(&f.host);
    tmr.BuildPinMap(timer, false);
    EXPECT_EQ(timer.Total(), 0);
}

TEST(CpmGPIO, StatusLineAndRepairOfAPeripheral) {
    CFixture f({hwc::test::kFamE});
    f.sci->CreatePage();
    f.sci->OnInitialUpdate();
    f.sci->UpdatePinStatus();
    const std::string txd =
        LinkText("GPIO_A", "GPIO", "GPIO_A", "TXD", ((0xE900u + 3) << 16) | 1001u, nullptr, false);
    const std::string rxd =
        LinkText("GPIO_A", "GPIO", "GPIO_A", "RXD", ((0xE900u + 5) << 16) | 1001u, nullptr, false);
    EXPECT_EQ(f.host.Warning(*f.sci, CModule::kPinStatusId),
              "Two module pins (out of two) are not available on any device pin. See " + txd +
                  " and " + rxd);

    EXPECT_TRUE(f.sci->OnLinkCommand(nullptr, tModuleLink{}, "FIXPINS"));
    EXPECT_EQ(f.Reg(CpmGPIO::kPer), (1u << 3) | (1u << 5));
    EXPECT_EQ(f.system->select[0], 1u << 1);
    EXPECT_FALSE(f.host.Warns(CModule::kPinStatusId));
    EXPECT_EQ(f.sci->Page()->FindControl(CModule::kPinStatusId)->Text(),
              "Both module pins are configured properly in " + txd + " and " + rxd + ".");
    // The port's page was made for the repair and shows the choice.
    ASSERT_TRUE(f.gpio->Page());
    EXPECT_EQ(f.Control(3, D::kFunctionId)->Selection(), 1);

    // Taking one pin away again: the other module's function on pin 3.
    f.gpio->SelectPinFunction(3, 2);
    f.sci->UpdatePinStatus();
    EXPECT_EQ(f.host.Warning(*f.sci, CModule::kPinStatusId),
              "One module signal (out of two) is not available on any device pin. See " + txd);
}

TEST(CpmGPIO, OwnPinsCountWhileInterruptOrOutputIsSet) {
    CFixture f({hwc::test::kFamF});
    f.Open();
    ASSERT_TRUE(f.gpio->HasPinStatus());
    f.gpio->CheckWarnings();
    EXPECT_FALSE(f.gpio->Page()->FindControl(CModule::kPinStatusId)->IsVisible());

    f.gpio->Item(CpmGPIO::kPer).dwValue = 1u << 5;
    f.gpio->Item(CpmGPIO::kDdr).dwValue = 1u << 5;
    f.gpio->CheckWarnings();
    const std::string link = LinkText("GPIO_A", "GPIO", "GPIO_A", "GPIO_A5",
                                      ((0xE900u + 5) << 16) | 1001u, nullptr, false);
    EXPECT_EQ(f.host.Warning(*f.gpio, CModule::kPinStatusId),
              "The module signal (GPIO_A5) is not available on any device pin. See " + link);
    EXPECT_TRUE(f.gpio->OnLinkCommand(nullptr, tModuleLink{}, "FIXPINS"));
    EXPECT_EQ(f.Reg(CpmGPIO::kPer), 0u);
    EXPECT_EQ(f.gpio->Page()->FindControl(CModule::kPinStatusId)->Text(),
              "The module pin is configured properly in " + link + ".");

    // FamA and FamH pages have no status line.
    CFixture h({hwc::test::kFamH});
    h.Open();
    EXPECT_FALSE(h.gpio->HasPinStatus());
}

TEST(CpmGPIO, PortsAreFoundUnderBothSpellingsOnce) {
    CHost host;
    auto& b = host.Add<CpmGPIO>("GPIOB", "GPIO", "0, X.Y\n");
    auto& a = host.Add<CpmGPIO>("GPIO_A", "GPIO", "0, X.Y\n");
    host.Add<CpmPeriphFake>("GPIO_C", "SCI");
    auto& c = host.Add<CpmGPIO>("GPIO_C", "GPIO", "0, X.Y\n");
    host.BindAll();
    EXPECT_EQ(hwc::FindGpioModules(a), (std::vector<CModule*>{&a, &b, &c}));
    EXPECT_EQ(hwc::FindGpioPort(a, "GPIOB"), static_cast<const hwc::IGpioPort*>(&b));
    EXPECT_EQ(hwc::FindGpioPort(a, "GPIO_D"), nullptr);
}

TEST(CpmGPIO, WhatThePinOutViewAsks) {
    CFixture f({hwc::test::kFamE}, true,
               "PER=0x0008\n3, GPS1:SCI0.TXD, GPS2:SPI0.MOSI\n5, CLKOSR2:SYS.CLKO\n");
    f.system->select[0] = 1u << 2;
    const std::vector<hwc::tPinName> names = f.gpio->PinNames();
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].pin, "GPIO_A3");
    EXPECT_EQ(names[0].name, "MOSI");
    EXPECT_EQ(names[0].description, "GPIO, TXD, MOSI");
    EXPECT_EQ(names[1].name, "GPIO");
    EXPECT_TRUE(f.gpio->DescriptionMentions("CLKOSR"));
    EXPECT_FALSE(f.gpio->DescriptionMentions("PER"));
    EXPECT_EQ(f.gpio->PeripheralEnableRegister(), &f.gpio->Item(CpmGPIO::kPer));
}

TEST(CpmGPIO, SelectBitsOfTheRealSystemModule) {
    for (const char* count : {"GPSCNT=2", "GPSCNT=1"}) {
        CHost host;
        host.groups = {hwc::test::kFamE};
        host.Add<CpmSYS_FamE_FamF_FamD>("SYS", "SIM", count);
        auto& gpio = host.Add<CpmGPIO>("GPIO_C", "GPIO",
                                       "PER=0x0003\n0, OCCS.EXTAL, GPS16:OCCS.CLKIN\n"
                                       "2, QT_A0.TA0, GPS2:HSCMP_A.CMPA_O\n");
        host.BindAll();
        hwc::ISystemIntegration& system = *hwc::FindSystemModule(gpio);
        EXPECT_EQ(gpio.CurrentFunction(0), 1) << count;
        const bool second = std::string(count) == "GPSCNT=2";
        // The second select register exists only while the count says so.
        EXPECT_EQ(gpio.SelectPinFunction(0, 2), second) << count;
        EXPECT_EQ(system.PeripheralSelectBit(16), second) << count;
        EXPECT_EQ(gpio.CurrentFunction(0), second ? 2 : 1) << count;

        EXPECT_TRUE(gpio.SelectPinFunction(2, 2)) << count;
        EXPECT_TRUE(system.PeripheralSelectBit(2));
        EXPECT_EQ(gpio.Item(CpmGPIO::kPer).dwValue, 0x7u);
        EXPECT_TRUE(gpio.SelectPinFunction(2, 1));
        EXPECT_FALSE(system.PeripheralSelectBit(2));
    }
}

TEST(CpmGPIO, PortInterruptRowAndUserVectorNote) {
    for (int group : {hwc::test::kFamA, hwc::test::kFamE}) {
        CHost host;
        host.groups = {group};
        auto& controller =
            host.Add<CpmVectorsFake>(group == hwc::test::kFamA ? "WINTC" : "INTC", "INTC");
        auto& gpio = host.Add<CpmGPIO>("GPIO_A", "GPIO", "0, A.B\n", "INT:14:");
        host.BindAll();
        gpio.CreatePage();
        gpio.UpdateControlStates();
        ASSERT_EQ(gpio.InterruptRows().size(), 1u);
        EXPECT_TRUE(gpio.InterruptRows().front().page);
        CPageControl& note = *gpio.Page()->FindControl(CpmGPIO::kUserVectorNoteId);
        EXPECT_FALSE(note.IsVisible());
        controller.vector = 14;
        gpio.UpdateControlStates();
        EXPECT_EQ(note.IsVisible(), group == hwc::test::kFamA) << group;
        if (group == hwc::test::kFamA) {
            EXPECT_NE(note.Text().find("NOTE: defined as USER2 (PortAISR) in WINTC module."),
                      std::string::npos)
                << note.Text();
        }
    }
}

TEST(CpmGPIO, ClockPinsRepairedFromTheClockPage) {
    CHost host;
    host.groups = {hwc::test::kFamH, hwc::test::kFamC, 30};
    auto& occs = host.Add<CpmOCCS>("OCCS", "OCCS");
    auto& gpio = host.Add<CpmGPIO>("GPIO_D", "GPIO", "PER=0\n0, OCCS.EXTAL\n1, OCCS.XTAL\n");
    host.BindAll();
    occs.Item(hwc::kOccsOscillator).dwValue &= ~(1u << 12); // the crystal oscillator runs
    occs.CreatePage();
    occs.OnInitialUpdate();
    ASSERT_TRUE(occs.HasPinStatus());
    occs.UpdatePinStatus();
    EXPECT_EQ(host.Warning(occs, CModule::kPinStatusId).substr(0, 78),
              "Two module pins (out of two) are not available on any device pin. See <A HREF=");
    EXPECT_TRUE(occs.OnLinkCommand(nullptr, tModuleLink{}, "FIXPINS"));
    EXPECT_EQ(gpio.Item(CpmGPIO::kPer).dwValue, 0x3u);
    EXPECT_FALSE(host.Warns(CModule::kPinStatusId));
    EXPECT_EQ(occs.Page()->FindControl(CModule::kPinStatusId)->Text().substr(0, 44),
              "Both module pins are configured properly in ");
}
