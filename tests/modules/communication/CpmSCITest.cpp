#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/communication/CommunicationQueries.h"
#include "modules/communication/CpmSCI.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/system/SystemQueries.h"
#include "support/CrossbarStub.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;
namespace grp = hwc::test;

// A clock module that publishes a bus clock and a high-speed clock.
class CpmSciClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSciClock, CModule)
public:
    CpmSciClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float PublishedOtherClock() const override { return highSpeedMHz; }
    float busMHz = 0.0f;
    float highSpeedMHz = 0.0f;
};

// A system module that answers the serial clock and receive-data selections.
class CpmSciSystem : public CModule, public hwc::ISystemIntegration {
    HWC_DECLARE_MODULE_CLASS(CpmSciSystem, CModule)
public:
    CpmSciSystem(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClockOutputSelectsOscillator() const override { return false; }
    bool SelectsSecondClockInput() const override { return false; }
    std::uint32_t PeripheralClockControl(std::string_view) const override { return 0; }
    bool SciHighSpeedClock(int instance) const override { return fast.count(instance) != 0; }
    bool SciRxdFromCrossbar(int instance) const override { return rxd.count(instance) != 0; }
    bool TimerHighSpeedClock(char) const override { return false; }
    bool I2cFastClock(int, bool&) const override { return false; }
    std::optional<bool> CopBusClockEnabled() const override { return std::nullopt; }
    std::optional<bool> TimerEnabled(int) const override { return std::nullopt; }
    std::optional<bool> MiscBit(int) const override { return std::nullopt; }
    tPerCfgItem* MiscControlRegister() override { return nullptr; }
    bool PeripheralSelectBit(int) const override { return false; }
    void SetPeripheralSelectBit(int, bool) override {}
    bool ClockOutputSelectBit(int) const override { return false; }
    void SetClockOutputSelectBit(int, bool) override {}
    int PeripheralSelectRegisterCount() const override { return 1; }
    std::set<int> fast; // instances clocked from the high-speed clock
    std::set<int> rxd;  // instances whose receive data come from the crossbar
};

// An interrupt controller that keeps claims as the real one does: one owner per vector.
class CpmSciController : public CModule, public hwc::IInterruptController {
    HWC_DECLARE_MODULE_CLASS(CpmSciController, CModule)
public:
    CpmSciController(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool ClaimVector(const CModuleBase* owner, int source, const std::string& routine,
                     bool claim) override {
        const auto found = owners.find(source);
        const CModuleBase* current = found != owners.end() ? found->second : nullptr;
        if (claim) {
            if (current && current != owner)
                return false;
            owners[source] = owner;
            names[source] = routine;
            return true;
        }
        if (current != owner)
            return false;
        owners.erase(source);
        names.erase(source);
        return true;
    }
    const CModuleBase* VectorOwner(int source) const override {
        const auto found = owners.find(source);
        return found != owners.end() ? found->second : nullptr;
    }
    std::optional<hwc::tUserVector> UserVectorOf(int source) const override {
        const auto found = userVectors.find(source);
        if (found == userVectors.end())
            return std::nullopt;
        return found->second;
    }
    bool DebugPortInterruptsEnabled() const override { return false; }
    std::map<int, const CModuleBase*> owners;
    std::map<int, std::string> names;
    std::map<int, hwc::tUserVector> userVectors;
};

// A crossbar whose outputs all stand in one mode.
class CpmSciCrossbar : public CModule, public grp::CCrossbarStub {
    HWC_DECLARE_MODULE_CLASS(CpmSciCrossbar, CModule)
public:
    CpmSciCrossbar(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int) const override { return true; }
    int OutputMode(int output) const override {
        const auto found = modes.find(output);
        return found != modes.end() ? found->second : -1;
    }
    std::map<int, int> modes;
};

constexpr const char* kFourVectors = "INT:49,50,51,52:";
constexpr const char* kRefused = "Could not set interrupt vectors required by this mode";
constexpr const char* kBadLimits =
    "Receiver buffer limits must satisfy low limit < OK limit <= buffer size";

using S = CpmSCI;

// A document with the given groups; a clock module when a bus clock is given.
struct CSciFixture {
    explicit CSciFixture(std::set<int> groups, float busMHz = -1.0f) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f) {
            clock = &host.Add<CpmSciClock>("OCCS", "OCCS");
            clock->busMHz = busMHz;
        }
    }
    CpmSciController& AddController() {
        const char* name = host.groups.count(grp::kFamA)   ? "WINTC"
                           : host.groups.count(grp::kFamG) ? "ITCN"
                                                           : "INTC";
        controller = &host.Add<CpmSciController>(name, "INTC");
        return *controller;
    }
    CpmSCI& AddSci(const std::string& instance = "SCI_0",
                   const std::string& interrupts = kFourVectors) {
        sci = &host.Add<CpmSCI>(instance, "SCI", "", interrupts);
        return *sci;
    }
    // Binds every module and opens the pages of the serial interfaces.
    void Open() {
        host.BindAll();
        for (auto& module : host.modules) {
            if (auto* serial = dynamic_cast<CpmSCI*>(module.get())) {
                serial->CreatePage();
                serial->OnInitialUpdate();
                serial->UpdateControlStates();
            }
        }
    }
    // What the document does after a change.
    void Refresh(CpmSCI& module) {
        module.Recalculate();
        module.UpdateControlStates();
        module.CheckWarnings();
    }
    void Refresh() { Refresh(*sci); }
    CPageControl& Control(int id) { return *sci->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Edit(int id, const std::string& text) {
        sci->Page()->UserEdit(Control(id), text);
        Refresh();
    }
    void Select(int id, int index) {
        sci->Page()->UserSelect(Control(id), index);
        Refresh();
    }
    void Click(int id) {
        sci->Page()->UserClick(Control(id));
        Refresh();
    }
    std::uint32_t Value(int item) const { return sci->Item(item).dwValue; }

    CModuleTestHost host;
    CpmSciClock* clock = nullptr;
    CpmSciController* controller = nullptr;
    CpmSCI* sci = nullptr;
};

} // namespace

TEST(CpmSCI, BaudRateFromDivisorAndFineTune) {
    CSciFixture famE({grp::kFamE}, 60.0f);
    famE.AddSci();
    famE.Open();
    famE.Edit(S::kDivisorId, "390");
    famE.Edit(S::kFineTuneId, "5");
    EXPECT_EQ(famE.Value(S::kBaudItem), (390u << 3) | 5u);
    EXPECT_EQ(famE.Text(S::kBaudRateId), "9600 bps");
    famE.Edit(S::kDivisorId, "0");
    EXPECT_EQ(famE.Text(S::kBaudRateId), "OFF");
    // The largest divisor is taken; one more is refused and the register keeps 8191.
    famE.Edit(S::kDivisorId, "8191");
    EXPECT_EQ(famE.Value(S::kBaudItem) >> 3, 8191u);
    famE.Edit(S::kDivisorId, "8192");
    EXPECT_EQ(famE.Value(S::kBaudItem) >> 3, 8191u);

    // Without fine tune the divisor takes the low thirteen bits.
    CSciFixture famG({grp::kFamG}, 32.0f);
    famG.AddSci();
    famG.Open();
    EXPECT_FALSE(famG.Control(S::kFineTuneId).IsVisible());
    famG.Edit(S::kDivisorId, "208");
    EXPECT_EQ(famG.Value(S::kBaudItem), 208u);
    EXPECT_EQ(famG.Text(S::kBaudRateId), "9615 bps");
    // Upper bits a header may hold are no part of the divisor.
    famG.sci->Item(S::kBaudItem).dwValue = 0xE000u | 208u;
    EXPECT_FLOAT_EQ(famG.sci->BaudRate(), 32000000.0f / 3328.0f);
}

TEST(CpmSCI, NoClockShowsOff) {
    CSciFixture f({grp::kFamE});
    f.AddSci();
    f.Open();
    f.Edit(S::kDivisorId, "390");
    EXPECT_EQ(f.sci->BaudRate(), 0.0f);
    EXPECT_EQ(f.Text(S::kBaudRateId), "OFF");
}

TEST(CpmSCI, ControlRegisterThreeOnlyOnTheNewerGroups) {
    for (int group : {grp::kFamE, grp::kFamF, grp::kFamD}) {
        CSciFixture f({group});
        f.AddSci();
        ASSERT_EQ(f.sci->ItemCount(), 17) << group;
        EXPECT_STREQ(f.sci->Item(S::kCtrl3Item).szName, "SCICR3_INIT");
    }
    for (int group : {grp::kFamG, grp::kFamH, grp::kFamA, grp::kFamC}) {
        CSciFixture f({group});
        f.AddSci();
        EXPECT_EQ(f.sci->ItemCount(), 16) << group;
        f.Open();
        EXPECT_FALSE(f.Control(S::kStopHoldOffId).IsVisible()) << group;
    }
}

TEST(CpmSCI, HighSpeedClockWhereTheSystemModuleOffersIt) {
    struct tCase {
        std::set<int> groups;
        const char* instance;
        const char* expected;
    };
    // Bus 60 MHz, high-speed 120 MHz, divisor 390 with fine tune 5: 9600 or 19200 bps.
    const tCase cases[] = {
        {{grp::kFamE}, "SCI_2", "19200 bps"},
        {{grp::kFamF}, "SCI_0", "19200 bps"},
        {{grp::kFamA}, "SCI_1", "19200 bps"},
        {{grp::kFamH, grp::kFamC}, "SCI_1", "19200 bps"},
        // FamC's third interface has no such setting: the system module is not asked.
        {{grp::kFamH, grp::kFamC}, "SCI_2", "9600 bps"},
        {{grp::kFamH, grp::kFamB}, "SCI_0", "9600 bps"},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.instance);
        CSciFixture f(c.groups, 60.0f);
        f.clock->highSpeedMHz = 120.0f;
        f.host.Add<CpmSciSystem>("SYS", "SYS").fast = {0, 1, 2};
        f.AddSci(c.instance);
        f.Open();
        f.sci->Item(S::kBaudItem).dwValue = (390u << 3) | 5u;
        f.Refresh();
        EXPECT_EQ(f.Text(S::kBaudRateId), c.expected);
    }
}

TEST(CpmSCI, DriverClaimsItsVectorsAndForcesTheirInterrupts) {
    CSciFixture f({grp::kFamE}, 60.0f);
    CpmSciController& intc = f.AddController();
    f.AddSci("SCI_1");
    f.Open();
    f.Select(S::kModeId, S::kDriverBuffered);
    EXPECT_EQ(intc.names,
              (std::map<int, std::string>{
                  {49, "Sci1TxEmptyISR"}, {51, "Sci1RxErrorISR"}, {52, "Sci1RxFullISR"}}));
    EXPECT_EQ(f.Value(S::kCtrlItem), (1u << 7) | (1u << 5) | (1u << 4));
    EXPECT_EQ(f.Control(S::kTxEmptyIntId).Check(), 1);
    EXPECT_FALSE(f.sci->VectorsRefused());
    // The user may clear an interrupt the driver needs: the next pass sets it again.
    f.Click(S::kRxErrorIntId);
    EXPECT_EQ(f.Value(S::kCtrlItem) & (1u << 4), 1u << 4);

    // Back to "Disabled": the names go, the enables stay as they are.
    f.Select(S::kModeId, S::kDriverDisabled);
    EXPECT_TRUE(intc.owners.empty());
    EXPECT_EQ(f.Value(S::kCtrlItem), (1u << 7) | (1u << 5) | (1u << 4));
}

TEST(CpmSCI, RefusedVectorWarnsUntilItIsFree) {
    CSciFixture f({grp::kFamE}, 60.0f);
    CpmSciController& intc = f.AddController();
    f.AddSci("SCI_0");
    CModule& other = f.host.Add<CpmSciClock>("OTHER", "OTHER");
    f.Open();
    intc.ClaimVector(&other, 52, "OtherISR", true);
    f.Select(S::kModeId, S::kDriverBlocking);
    EXPECT_TRUE(f.sci->VectorsRefused());
    EXPECT_EQ(f.host.Warning(*f.sci, S::kModeLabelId), kRefused);
    EXPECT_EQ(intc.names.at(52), "OtherISR");
    // Rows the driver could take are still taken, and their interrupts forced.
    EXPECT_EQ(intc.names.at(49), "Sci0TxEmptyISR");
    // Once the other owner lets go, the next pass claims it and the warning goes.
    intc.ClaimVector(&other, 52, "", false);
    f.Refresh();
    EXPECT_FALSE(f.sci->VectorsRefused());
    EXPECT_FALSE(f.host.Warns(S::kModeLabelId));
    EXPECT_EQ(intc.names.at(52), "Sci0RxFullISR");
    // The label that carries the warning stays on the page with its caption.
    EXPECT_TRUE(f.Control(S::kModeLabelId).IsVisible());
    EXPECT_EQ(f.Text(S::kModeLabelId), "Mode of operation:");
    // Disabling releases only the vectors it owns.
    intc.ClaimVector(f.sci, 52, "", false);
    intc.ClaimVector(&other, 52, "OtherISR", true);
    f.Select(S::kModeId, S::kDriverDisabled);
    EXPECT_EQ(intc.owners, (std::map<int, const CModuleBase*>{{52, &other}}));
    EXPECT_FALSE(f.host.Warns(S::kModeLabelId));
}

TEST(CpmSCI, WithoutControllerNothingIsAssignedOrForced) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    f.Open();
    f.Select(S::kModeId, S::kDriverBuffered);
    EXPECT_EQ(f.Value(S::kCtrlItem), 0u);
    EXPECT_FALSE(f.sci->VectorsRefused());
    EXPECT_FALSE(f.host.Warns(S::kModeLabelId));
}

TEST(CpmSCI, FamADriverRoutinesAndUserVectorLinks) {
    CSciFixture f({grp::kFamA}, 60.0f);
    CpmSciController& intc = f.AddController();
    intc.userVectors[19] = {3, "MyRxISR"};
    f.AddSci("SCI_0", "INT:18,19:");
    f.Open();
    EXPECT_FALSE(f.Control(S::kTxVectorNoteId).IsVisible());
    EXPECT_TRUE(f.Control(S::kRxVectorNoteId).IsVisible());
    EXPECT_NE(f.Text(S::kRxVectorNoteId).find("See USER3 (MyRxISR) in WINTC module."),
              std::string::npos);
    EXPECT_TRUE(f.Control(S::kTxIsrLabelId).IsVisible());
    f.Select(S::kModeId, S::kDriverBlocking);
    EXPECT_EQ(intc.names,
              (std::map<int, std::string>{{18, "Sci0TxEmptyISR"}, {19, "Sci0RxFullErrISR"}}));
}

TEST(CpmSCI, ModeEnablesItsControls) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    f.Open();
    EXPECT_TRUE(f.Control(S::kTxEmptyIntId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kRxFinishedHookId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kByteWideId).IsEnabled());
    f.Select(S::kModeId, S::kDriverBlocking);
    EXPECT_FALSE(f.Control(S::kTxEmptyIntId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kRxActiveEdgeId).IsEnabled());
    EXPECT_TRUE(f.Control(S::kRxFinishedHookId).IsEnabled());
    EXPECT_TRUE(f.Control(S::kByteWideId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kRxLowBufferHookId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kXonXoffId).IsEnabled());
    f.Select(S::kModeId, S::kDriverBuffered);
    // In both lists: enabled while either mode is on.
    EXPECT_TRUE(f.Control(S::kByteWideId).IsEnabled());
    EXPECT_TRUE(f.Control(S::kRxCharHookId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kRxFinishedHookId).IsEnabled());
    EXPECT_TRUE(f.Control(S::kXonXoffId).IsEnabled());
    // A mode value the list lacks is kept; it enables no mode's controls.
    f.sci->Item(S::kModeItem).dwValue = 3;
    f.sci->RefreshControls();
    f.Refresh();
    EXPECT_EQ(f.Value(S::kModeItem), 3u);
    EXPECT_EQ(f.Control(S::kModeId).Selection(), -1);
    EXPECT_FALSE(f.Control(S::kTxEmptyIntId).IsEnabled());
    EXPECT_FALSE(f.Control(S::kRxCharHookId).IsEnabled());
}

TEST(CpmSCI, ReceiverAndTransmitterSwitchesFollowTheirSizes) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    f.Open();
    f.Select(S::kModeId, S::kDriverBuffered);
    EXPECT_EQ(f.Control(S::kReceiverId).Check(), 0);
    EXPECT_FALSE(f.Control(S::kRxSizeId).IsEnabled());
    // Ticking a direction that never had a size gives it 16 and opens its edit.
    f.Click(S::kReceiverId);
    EXPECT_EQ(f.Value(S::kRxSizeItem), 16u);
    EXPECT_EQ(f.Control(S::kReceiverId).Check(), 1);
    EXPECT_TRUE(f.Control(S::kRxSizeId).IsEnabled());
    f.Edit(S::kRxSizeId, "40");
    EXPECT_EQ(f.Value(S::kRxSizeItem), 40u);
    // Clearing writes 0; ticking again brings the last size back.
    f.Click(S::kReceiverId);
    EXPECT_EQ(f.Value(S::kRxSizeItem), 0u);
    EXPECT_EQ(f.Control(S::kReceiverId).Check(), 0);
    EXPECT_FALSE(f.Control(S::kRxSizeId).IsEnabled());
    f.Click(S::kReceiverId);
    EXPECT_EQ(f.Value(S::kRxSizeItem), 40u);
    // A size loaded from a header is what ticking brings back after clearing.
    f.sci->Item(S::kTxSizeItem).dwValue = 64;
    f.sci->RefreshControls();
    f.Refresh();
    EXPECT_EQ(f.Control(S::kTransmitterId).Check(), 1);
    f.Click(S::kTransmitterId);
    f.Click(S::kTransmitterId);
    EXPECT_EQ(f.Value(S::kTxSizeItem), 64u);
}

TEST(CpmSCI, BufferFieldsStopAtTheirEightBits) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    f.Open();
    f.Select(S::kModeId, S::kDriverBuffered);
    f.Click(S::kReceiverId);
    f.Edit(S::kRxSizeId, "255");
    EXPECT_EQ(f.Value(S::kRxSizeItem), 255u);
    f.Edit(S::kRxSizeId, "256");
    EXPECT_EQ(f.Value(S::kRxSizeItem), 255u);
    f.Edit(S::kRxOkLimitId, "300");
    EXPECT_EQ(f.Value(S::kRxOkLimitItem), 0xFu);
}

TEST(CpmSCI, ReceiverLimitsWarning) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    f.Open();
    // Defaults: low 10, OK 15; nothing to check while the driver is not buffered.
    f.sci->Item(S::kRxSizeItem).dwValue = 12;
    f.Refresh();
    EXPECT_FALSE(f.host.Warns(S::kRxLowLimitId));
    f.Select(S::kModeId, S::kDriverBuffered);
    EXPECT_EQ(f.host.Warning(*f.sci, S::kRxLowLimitId), kBadLimits);
    f.Edit(S::kRxSizeId, "15");
    EXPECT_FALSE(f.host.Warns(S::kRxLowLimitId));
    f.Edit(S::kRxLowLimitId, "15");
    EXPECT_EQ(f.host.Warning(*f.sci, S::kRxLowLimitId), kBadLimits);
    EXPECT_TRUE(f.Control(S::kRxLowLimitId).IsVisible());
    EXPECT_EQ(f.Text(S::kRxLowLimitId), "15");
    f.Edit(S::kRxLowLimitId, "14");
    EXPECT_FALSE(f.host.Warns(S::kRxLowLimitId));
    EXPECT_TRUE(f.Control(S::kRxLowLimitId).IsVisible());
    // Without a receiver there are no limits to keep.
    f.Click(S::kReceiverId);
    f.Edit(S::kRxLowLimitId, "200");
    EXPECT_FALSE(f.host.Warns(S::kRxLowLimitId));
}

TEST(CpmSCI, ElementTypeIsOneDefineForEveryInterface) {
    CSciFixture f({grp::kFamE}, 60.0f);
    CpmSCI& second = f.host.Add<CpmSCI>("SCI_1", "SCI");
    f.AddSci("SCI_0");
    f.Open();
    // Never left empty: a word by default, current and saved alike.
    for (CpmSCI* module : {&second, f.sci}) {
        EXPECT_STREQ(module->Item(S::kCharTypeItem).szValue, "UWord16");
        EXPECT_STREQ(module->Item(S::kCharTypeItem).szSaved, "UWord16");
        EXPECT_FALSE(module->IsModified());
    }
    f.Select(S::kModeId, S::kDriverBlocking);
    f.Click(S::kByteWideId);
    EXPECT_STREQ(f.sci->Item(S::kCharTypeItem).szValue, "char");
    EXPECT_STREQ(second.Item(S::kCharTypeItem).szValue, "char");
    EXPECT_EQ(second.ByteWide().IsChecked(), 1);
    second.Page()->UserClick(*second.Page()->FindControl(S::kByteWideId));
    EXPECT_STREQ(f.sci->Item(S::kCharTypeItem).szValue, "UWord16");
    EXPECT_EQ(f.Control(S::kByteWideId).Check(), 0);
    // An emptied value read back becomes a word again.
    f.sci->Item(S::kCharTypeItem).szValue[0] = '\0';
    f.sci->AfterLoad();
    EXPECT_STREQ(f.sci->Item(S::kCharTypeItem).szValue, "UWord16");
    EXPECT_EQ(f.sci->Item(S::kCharTypeItem).dwValue, 1u);
}

TEST(CpmSCI, ByteWideSwitchHiddenOnFamG) {
    CSciFixture f({grp::kFamG}, 32.0f);
    f.AddSci();
    f.Open();
    EXPECT_FALSE(f.Control(S::kByteWideId).IsVisible());
    EXPECT_FALSE(f.Control(S::kLinAutobaudId).IsVisible());
    EXPECT_FALSE(f.Control(S::kFifoEnableId).IsVisible());
}

TEST(CpmSCI, FrameSettingsAndFifoControls) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    f.Open();
    f.Select(S::kParityId, 2);
    EXPECT_EQ((f.Value(S::kCtrlItem) >> 8) & 3u, 3u);
    // Parity field 1 is no list entry: kept, nothing selected.
    f.sci->Item(S::kCtrlItem).dwValue = 1u << 8;
    f.sci->RefreshControls();
    EXPECT_EQ(f.Control(S::kParityId).Selection(), -1);
    EXPECT_EQ(f.Value(S::kCtrlItem), 1u << 8);

    EXPECT_FALSE(f.Control(S::kReceiverSourceId).IsEnabled());
    f.Click(S::kLoopModeId);
    EXPECT_TRUE(f.Control(S::kReceiverSourceId).IsEnabled());

    EXPECT_FALSE(f.Control(S::kTxWatermarkId).IsEnabled());
    f.Click(S::kFifoEnableId);
    EXPECT_TRUE(f.Control(S::kTxWatermarkId).IsEnabled());
    f.Select(S::kTxWatermarkId, 3);
    f.Select(S::kRxWatermarkId, 2);
    EXPECT_EQ(f.Value(S::kCtrl2Item), (1u << 5) | (3u << 11) | (2u << 6));
    f.Click(S::kStopHoldOffId);
    EXPECT_EQ(f.Value(S::kCtrl3Item), 1u);
}

TEST(CpmSCI, PinsOnlyForTheDirectionsInUse) {
    CSciFixture f({grp::kFamE}, 60.0f);
    f.AddSci();
    // An interface with receiver and transmitter off needs neither pin.
    EXPECT_FALSE(f.sci->IsPinFunctionUsed("SCI_0.RXD"));
    EXPECT_FALSE(f.sci->IsPinFunctionUsed("SCI_0.TXD"));
    EXPECT_TRUE(f.sci->IsPinFunctionUsed("SCI_0.CTS"));
    const std::uint32_t both = (1u << 2) | (1u << 3);
    f.sci->Item(S::kCtrlItem).dwValue = 1u << 2;
    EXPECT_TRUE(f.sci->IsPinFunctionUsed("SCI_0.RXD"));
    EXPECT_FALSE(f.sci->IsPinFunctionUsed("SCI_0.TXD"));
    f.sci->Item(S::kCtrlItem).dwValue = both;
    EXPECT_TRUE(f.sci->IsPinFunctionUsed("SCI_0.RXD"));
    EXPECT_TRUE(f.sci->IsPinFunctionUsed("SCI_0.TXD"));
    f.sci->Item(S::kCtrlItem).dwValue = both | (1u << 15); // loop, receiver fed internally
    EXPECT_FALSE(f.sci->IsPinFunctionUsed("SCI_0.RXD"));
    EXPECT_FALSE(f.sci->IsPinFunctionUsed("SCI_0.TXD"));
    f.sci->Item(S::kCtrlItem).dwValue = both | (1u << 15) | (1u << 13); // single wire
    EXPECT_FALSE(f.sci->IsPinFunctionUsed("SCI_0.RXD"));
    EXPECT_TRUE(f.sci->IsPinFunctionUsed("SCI_0.TXD"));
}

TEST(CpmSCI, AnswersTransmitterEnabledForTheCrossbar) {
    CSciFixture f({grp::kFamF}, 60.0f);
    f.AddSci("SCI_1");
    CModule& asker = f.host.Add<CpmSciClock>("XBAR_A", "XBAR");
    f.Open();
    EXPECT_FALSE(hwc::SerialTransmitterEnabled(asker, "SCI_1", true));
    f.Click(S::kTransmitterEnableId);
    EXPECT_TRUE(hwc::SerialTransmitterEnabled(asker, "SCI_1", false));
    // Another module, or none, gives the asker's answer.
    EXPECT_TRUE(hwc::SerialTransmitterEnabled(asker, "SCI_0", true));
    EXPECT_FALSE(hwc::SerialTransmitterEnabled(asker, "OCCS", false));
}

TEST(CpmSCI, FamFReceiveDataFromTheCrossbarNeedsItsOutputMode) {
    CSciFixture f({grp::kFamF}, 60.0f);
    auto& system = f.host.Add<CpmSciSystem>("SYS", "SYS");
    auto& crossbar = f.host.Add<CpmSciCrossbar>("XBAR_A", "XBAR");
    f.AddSci("SCI_1");
    f.Open();
    crossbar.modes[39] = 0;
    f.Refresh();
    EXPECT_FALSE(f.host.Warns(CModule::kPinStatusId)); // receive data from the pin
    system.rxd = {1};
    f.Refresh();
    const std::string warning = f.host.Warning(*f.sci, CModule::kPinStatusId);
    EXPECT_EQ(warning.rfind("SCI_1 RXD input is not set in ", 0), 0u) << warning;
    EXPECT_NE(warning.find("XBAR_A"), std::string::npos);
    EXPECT_NE(f.Text(CModule::kPinStatusId).find("OUT39 mode bad)"), std::string::npos);
    crossbar.modes[39] = 1;
    f.Refresh();
    EXPECT_FALSE(f.host.Warns(CModule::kPinStatusId));
    // The same settings elsewhere raise nothing.
    CSciFixture famE({grp::kFamE}, 60.0f);
    famE.host.Add<CpmSciSystem>("SYS", "SYS").rxd = {0};
    famE.host.Add<CpmSciCrossbar>("XBAR_A", "XBAR").modes[38] = 0;
    famE.AddSci("SCI_0");
    famE.Open();
    famE.Refresh();
    EXPECT_FALSE(famE.host.Warns(CModule::kPinStatusId));
}
