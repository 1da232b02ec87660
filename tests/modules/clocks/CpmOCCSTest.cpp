#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "support/ModuleTestHost.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/clocks/CpmOCCSTables.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/timers/CpmPIT.h"

using namespace hwc;

namespace {

using namespace hwc::test;

using COccsHost = hwc::test::CModuleTestHost;

class CpmCopTest : public CModule, public IWatchdogClock {
    HWC_DECLARE_MODULE_CLASS(CpmCopTest, CModule)
public:
    CpmCopTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool CountsCrystalOscillator() const override { return crystal; }
    bool crystal = false;
};

// A document with a clock module (and, when asked, a timer and a system module), page open.
struct COccsFixture {
    // The document's crystal and external clock frequencies are given before the page opens.
    explicit COccsFixture(std::set<int> groups, bool withPit = false, bool withSys = false,
                          float crystal = 0.0f, float external = 0.0f) {
        host.groups = std::move(groups);
        host.crystal = crystal;
        host.external = external;
        occs = &host.Add<CpmOCCS>("OCCS", "OCCS");
        if (withSys)
            sys = &host.Add<CpmSYS_FamE_FamF_FamD>("SYS", "SYS_FamE_FamF_FamD");
        if (withPit)
            pit = &host.Add<CpmPIT>("PIT0", "PIT");
        for (auto& module : host.modules)
            module->BindControls(&host);
        Open();
    }
    void Open() {
        occs->CreatePage();
        occs->OnInitialUpdate();
        occs->UpdateControlStates();
        if (pit) {
            pit->CreatePage();
            pit->OnInitialUpdate();
        }
    }
    CPage& Page() { return *occs->Page(); }
    CPageControl& Control(int id) { return *Page().FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Click(int id) { Page().UserClick(Control(id)); }
    void Select(int id, int index) { Page().UserSelect(Control(id), index); }
    void Edit(int id, const std::string& text) { Page().UserEdit(Control(id), text); }
    std::uint32_t& Reg(int item) { return occs->Item(item).dwValue; }

    COccsHost host;
    CpmOCCS* occs = nullptr;
    CpmPIT* pit = nullptr;
    CpmSYS_FamE_FamF_FamD* sys = nullptr;
    // The system module's miscellaneous control register.
    std::uint32_t& Misc() { return sys->Item(CpmSYS_FamE_FamF_FamD::kMiscItem).dwValue; }
};

} // namespace

TEST(CpmOCCS, RegisterLayoutsByProcessor) {
    struct tExpect {
        std::set<int> groups;
        int count;
        int item;
        const char* name;
        std::uint32_t defaultValue;
        bool hidden;
    };
    const tExpect expectations[] = {
        {{kFamG, 0}, 10, kOccsOscillator, "IOSCTL_INIT", 0x80, false},
        {{kFamG, 3}, 10, kOccsOscillator, "IOSCTL_INIT", 0x80, false}, // DUMMYREG, still listed
        {{kFamG, 3}, 10, kOccsFactoryTrim, "USE_FACTORY_TRIM", 0, true},
        {{kFamG, 0}, 10, kOccsClockOutput, "CLKOSR_INIT", 0, false},
        {{kFamH, 5}, 9, kOccsDivide, "PLLDB_INIT", 0x201D, false},
        {{kFamH, 5}, 9, kOccsLockMode, "REQUIRED_LOCK_MODE", 0x40, false},
        {{kFamH, kFamK, 8}, 9, kOccsOscillator, "OSCTL_INIT", 0x1200, false},
        {{kFamH, kFamK, 9}, 9, kOccsOscillator, "OSCTL_INIT", 0, false},
        {{kFamH, kFamK, 9}, 9, kOccsLockMode, "REQUIRED_LOCK_MODE", 0x20, false},
        {{kFamH, kFamJ, 20}, 9, kOccsDivide, "PLLDB_INIT", 0x2000, false},
        {{kFamH, kFamJ, 20}, 9, kOccsProtection, "PROT_INIT", 0, true},
        {{kFamH, kFamJ, kFamB, 24}, 9, kOccsProtection, "PROT_INIT", 0, false},
        {{kFamA, 104}, 10, kOccsRetrimClock, "RXOSC_RETRIM_CLK", 0x7A1200, true},
        {{kFamA, 105}, 10, kOccsWatchdogControl, "-COP_COPCTL_INIT", 0x302, true},
        {{kFamH, kFamC, 28}, 10, kOccsDivide, "DIVBY_INIT", 0x201D, false},
        {{kFamE, 40}, 13, kOccsLowSpeedTrim, "USE_FACTORY_TRIM_32K", 0, false},
        {{kFamD, 85}, 13, kOccsOscillator, "OSCTL1_INIT", 0x8620, false},
        {{kFamD, 85}, 13, kOccsTemperatureTrim, "USE_FACTORY_TRIM_TEMP", 0, true},
        {{kFamD, 85}, 13, kOccsLowSpeedTrim, "USE_FACTORY_TRIM_200K", 0, false},
        {{kFamD, 85}, 13, kOccsFactoryTrim, "USE_FACTORY_TRIM", 0, true},
    };
    for (const tExpect& e : expectations) {
        COccsHost host;
        host.groups = e.groups;
        const CpmOCCS& occs = host.Add<CpmOCCS>("OCCS", "OCCS");
        const tPerCfgItem& item = occs.Item(e.item);
        SCOPED_TRACE(e.name);
        EXPECT_EQ(occs.ItemCount(), e.count);
        EXPECT_EQ(std::string(item.szName), e.name);
        EXPECT_EQ(item.dwDefault, e.defaultValue);
        EXPECT_EQ((item.dwFlags & RegFlag::NOSHOWLIST) != 0, e.hidden);
    }
    // FamG writes its lock mode as a 16-bit register, the others as 8-bit; the watchdog
    // registers of the first generation go without the module prefix.
    COccsHost g;
    g.groups = {kFamG, 0};
    CpmOCCS& famG = g.Add<CpmOCCS>("OCCS", "OCCS");
    EXPECT_EQ(famG.Item(kOccsLockMode).dwFlags & RegFlag::WIDTH_MASK, RegFlag::DW16);
    EXPECT_EQ(famG.GetDefineName(famG.Item(kOccsWatchdogControl)), "COP_COPCTL_INIT");
    EXPECT_EQ(famG.Item(kOccsControl).dwFlags & RegFlag::NODEFAULT, RegFlag::NODEFAULT);
    EXPECT_EQ(famG.Item(kOccsWatchdogControl).dwFlags & RegFlag::DUMMYREG, 0u);
    EXPECT_NE(famG.Item(kOccsOscillator).dwFlags & RegFlag::DUMMYREG, RegFlag::DUMMYREG);
}

TEST(CpmOCCS, PageTemplateByGeneration) {
    EXPECT_EQ(COccsFixture({kFamG, 0}).occs->TemplateId(), 132u);
    EXPECT_EQ(COccsFixture({kFamA, 105}).occs->TemplateId(), 2053u);
    EXPECT_EQ(COccsFixture({kFamH, kFamC, 28}).occs->TemplateId(), 2053u);
    EXPECT_EQ(COccsFixture({kFamF, 60}).occs->TemplateId(), 2081u);
}

// The user sets up the clock of a FamE processor step by step; every step recomputes the
// published clocks and the timer that reads them.
TEST(CpmOCCS, SettingsThroughThePageRecomputeThePublishedClocks) {
    COccsFixture f({kFamE, 40}, true, false, 8.0f);
    f.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    f.Click(CpmOCCS::kFactoryTrimId);
    f.Edit(CpmOCCS::kRetrimClockId, "8000000");
    f.Edit(CpmOCCS::kMultiplierId, "12");
    f.Select(CpmOCCS::kPostscalerId, 0);
    f.Select(CpmOCCS::kSystemSourceId, 1);
    EXPECT_EQ(f.Reg(kOccsDivide) & 0x3F, 11u);
    EXPECT_EQ(f.Text(CpmOCCS::kInputFrequencyId), "8 MHz");
    EXPECT_EQ(f.Text(CpmOCCS::kVcoFrequencyId), "96 MHz");
    EXPECT_EQ(f.Text(CpmOCCS::kCoreFrequencyId), "24 MHz");
    EXPECT_EQ(f.Text(CpmOCCS::kHighSpeedFrequencyId), "48 MHz");
    EXPECT_FLOAT_EQ(f.occs->PublishedBusClock(), 24.0f);
    EXPECT_FLOAT_EQ(f.occs->PublishedOtherClock(), 48.0f);
    EXPECT_FLOAT_EQ(f.occs->GetBusClock(), 24.0f);
    // 96 MHz is below the VCO range of FamE.
    EXPECT_EQ(f.Text(CpmOCCS::kVcoWarningId), "(120...400 MHz)");
    EXPECT_NE(f.host.Warning(CpmOCCS::kVcoWarningId).find("between 120 and 400"),
              std::string::npos);

    // The timer counts the published bus clock: 24 MHz / 24000 = 1 kHz.
    f.pit->Item(CpmPIT::kModItem).dwValue = 23999;
    f.pit->Recalculate();
    EXPECT_EQ(f.pit->Page()->FindControl(CpmPIT::kInterruptRateId)->Text(), "1 kHz");

    // Doubling the multiplier clears the VCO warning and doubles every clock.
    f.Edit(CpmOCCS::kMultiplierId, "24");
    EXPECT_EQ(f.Text(CpmOCCS::kCoreFrequencyId), "48 MHz");
    EXPECT_TRUE(f.host.Warning(CpmOCCS::kVcoWarningId).empty());
    f.pit->Recalculate();
    EXPECT_EQ(f.pit->Page()->FindControl(CpmPIT::kInterruptRateId)->Text(), "2 kHz");

    // The crystal: its edit holds the document's crystal frequency and writes it back.
    f.Select(CpmOCCS::kMasterSourceId, kCrystalSource);
    EXPECT_EQ(f.Text(CpmOCCS::kCrystalFrequencyId), "8");
    f.Edit(CpmOCCS::kCrystalFrequencyId, "4");
    EXPECT_FLOAT_EQ(f.host.crystal, 4.0f);
    EXPECT_EQ(f.Text(CpmOCCS::kCoreFrequencyId), "24 MHz");
    // 4 MHz is below the PLL input range.
    EXPECT_EQ(f.host.Warning(CpmOCCS::kInputFrequencyLabelId),
              "PLL input frequency should be kept between 8 and 50 MHz on this device");
    f.Edit(CpmOCCS::kCrystalFrequencyId, "4 MHz");
    EXPECT_EQ(f.Text(CpmOCCS::kCoreFrequencyId), "OFF");
    EXPECT_EQ(f.Text(CpmOCCS::kInputFrequencyId), "OFF");
    EXPECT_FLOAT_EQ(f.occs->PublishedBusClock(), 0.0f);

    // The 32 kHz oscillator as MSTR_OSC.
    f.Select(CpmOCCS::kSystemSourceId, 0);
    f.Select(CpmOCCS::kMasterSourceId, kLowSpeedSource);
    EXPECT_EQ(f.Text(CpmOCCS::kInputFrequencyId), "32 kHz");
}

TEST(CpmOCCS, MasterSourceWritesTheControlAndOscillatorBits) {
    COccsFixture f({kFamE, 40});
    f.Select(CpmOCCS::kMasterSourceId, kClkinSource);
    EXPECT_EQ(f.Reg(kOccsControl) & 0xC, 0x4u);
    EXPECT_EQ(f.Reg(kOccsOscillator) & 0x400, 0x400u);
    f.Select(CpmOCCS::kMasterSourceId, kLowSpeedSource);
    EXPECT_EQ(f.Reg(kOccsControl) & 0xC, 0x8u);
    EXPECT_EQ(f.Reg(kOccsOscillator) & 0x400, 0x400u); // not the choice's business
    f.Select(CpmOCCS::kMasterSourceId, kCrystalSource);
    EXPECT_EQ(f.Reg(kOccsControl) & 0xC, 0x4u);
    EXPECT_EQ(f.Reg(kOccsOscillator) & 0x400, 0u);
    EXPECT_EQ(f.occs->MasterSource(), kCrystalSource);

    // CLKIN: the edit exchanges the document's external clock and is checked against 50 MHz,
    // staying visible while it warns.
    f.Select(CpmOCCS::kMasterSourceId, kClkinSource);
    EXPECT_TRUE(f.Control(CpmOCCS::kClkinFrequencyId).IsEnabled());
    f.Edit(CpmOCCS::kClkinFrequencyId, "60");
    EXPECT_FLOAT_EQ(f.host.external, 60.0f);
    EXPECT_EQ(f.host.Warning(CpmOCCS::kClkinFrequencyId),
              "Maximum input clock frequency is 50 MHz");
    EXPECT_TRUE(f.Control(CpmOCCS::kClkinFrequencyId).IsVisible());
    f.Edit(CpmOCCS::kClkinFrequencyId, "50");
    EXPECT_TRUE(f.host.Warning(CpmOCCS::kClkinFrequencyId).empty());
    f.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    EXPECT_FALSE(f.Control(CpmOCCS::kClkinFrequencyId).IsEnabled());
}

TEST(CpmOCCS, OscillatorWarningsRaiseAndClear) {
    COccsFixture f({kFamE, 40});
    f.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    f.Reg(kOccsOscillator) |= 1u << 15; // relaxation oscillator off
    f.occs->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmOCCS::kMasterSourceWarningId),
              "Internal relaxation oscillator is not enabled (and is selected as MSTR_OSC).");
    f.Select(CpmOCCS::kMasterSourceId, kLowSpeedSource); // the default leaves it off
    f.occs->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmOCCS::kMasterSourceWarningId),
              "Internal relaxation oscillator 32 kHz is not enabled (and is selected as "
              "MSTR_OSC).");
    f.Click(CpmOCCS::kLowSpeedEnableId);
    f.occs->CheckWarnings();
    EXPECT_TRUE(f.host.Warning(CpmOCCS::kMasterSourceWarningId).empty());
    f.Select(CpmOCCS::kMasterSourceId, kCrystalSource); // powered down by default
    f.occs->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmOCCS::kMasterSourceWarningId),
              "Crystal oscillator is powered down (and is selected as MSTR_OSC).");
    EXPECT_TRUE(f.host.Warning(CpmOCCS::kCrystalEnableId).empty());
    f.Click(CpmOCCS::kCrystalEnableId);
    f.occs->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmOCCS::kCrystalEnableId),
              "Do not use direct clock on EXTAL mode, it's not supported.");
    EXPECT_TRUE(f.Control(CpmOCCS::kCrystalEnableId).IsVisible());
    EXPECT_EQ(f.Text(CpmOCCS::kCrystalFrequencyLabelId), "Direct clock frequency (XTAL):");

    // The first generation has none of these.
    COccsFixture first({kFamH, 6});
    first.occs->CheckWarnings();
    EXPECT_TRUE(first.host.Warning(CpmOCCS::kMasterSourceWarningId).empty());
}

TEST(CpmOCCS, CoreAndHighSpeedLimitsShowBesideTheClocks) {
    COccsFixture f({kFamH, kFamC, 28}, false, false, 8.0f);
    f.Select(CpmOCCS::kMasterSourceId, kCrystalSource);
    f.Reg(kOccsOscillator) &= ~(1u << 12); // crystal on
    f.Edit(CpmOCCS::kMultiplierId, "30");
    f.Select(CpmOCCS::kSystemSourceId, 1);
    EXPECT_EQ(f.Text(CpmOCCS::kHighSpeedFrequencyId), "120 MHz");
    EXPECT_EQ(f.Text(CpmOCCS::kHighSpeedWarningId), "(SCI/Timer)");
    EXPECT_TRUE(f.host.Warning(CpmOCCS::kHighSpeedWarningId).empty());
    f.Edit(CpmOCCS::kCrystalFrequencyId, "16");
    EXPECT_EQ(f.Text(CpmOCCS::kHighSpeedWarningId), "(max. 120 MHz)");
    EXPECT_EQ(f.host.Warning(CpmOCCS::kHighSpeedWarningId),
              "Current operating high speed system frequency exceeds the maximum which is 120 MHz");
    EXPECT_EQ(f.Text(CpmOCCS::kCoreWarningId), ""); // a 120 MHz core is allowed
    f.Edit(CpmOCCS::kCrystalFrequencyId, "20");
    EXPECT_EQ(f.Text(CpmOCCS::kCoreWarningId), "(max. 120 MHz)");
    EXPECT_TRUE(f.Control(CpmOCCS::kCoreWarningId).IsVisible());
    f.Edit(CpmOCCS::kCrystalFrequencyId, "8");
    EXPECT_FALSE(f.Control(CpmOCCS::kCoreWarningId).IsVisible());
    EXPECT_TRUE(f.host.Warning(CpmOCCS::kCoreWarningId).empty());

    // With a system module that points to its clock selections, the names become links.
    COccsFixture linked({kFamE, 40}, false, true);
    linked.host.Add<CpmPIT>("SCI_0", "SCI");
    linked.occs->Recalculate();
    EXPECT_NE(linked.Text(CpmOCCS::kHighSpeedWarningId).find("<A HREF="), std::string::npos);
}

TEST(CpmOCCS, ControlStatesFollowTheSettings) {
    COccsFixture f({kFamE, 40});
    // The PLL as system clock keeps the PLL and its lock detector on without writing them.
    f.Reg(kOccsControl) |= 1u << 4; // PLL powered down
    f.Select(CpmOCCS::kSystemSourceId, 1);
    EXPECT_EQ(f.Control(CpmOCCS::kEnablePllId).Check(), 1);
    EXPECT_FALSE(f.Control(CpmOCCS::kEnablePllId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmOCCS::kLockDetectorId).IsEnabled());
    EXPECT_NE(f.Reg(kOccsControl) & (1u << 4), 0u);
    EXPECT_NE(f.Text(CpmOCCS::kVcoFrequencyId), "OFF");
    f.Select(CpmOCCS::kSystemSourceId, 0);
    EXPECT_EQ(f.Control(CpmOCCS::kEnablePllId).Check(), 0);
    EXPECT_TRUE(f.Control(CpmOCCS::kEnablePllId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmOCCS::kMultiplierId).IsEnabled());
    EXPECT_EQ(f.Text(CpmOCCS::kVcoFrequencyId), "OFF");

    // Trimming: the value while the factory trim is off, the re-trim clock while it is on.
    EXPECT_TRUE(f.Control(CpmOCCS::kTrimId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmOCCS::kRetrimClockId).IsEnabled());
    f.Click(CpmOCCS::kFactoryTrimId);
    EXPECT_FALSE(f.Control(CpmOCCS::kTrimId).IsEnabled());
    EXPECT_TRUE(f.Control(CpmOCCS::kRetrimClockId).IsEnabled());

    // FamA has a fixed multiplier; FamJ also has no prescaler.
    COccsFixture famA({kFamA, 105});
    EXPECT_EQ(famA.Text(CpmOCCS::kMultiplierId), "24 (fixed)");
    EXPECT_FALSE(famA.Control(CpmOCCS::kMultiplierId).IsEnabled());
    EXPECT_TRUE(famA.Control(CpmOCCS::kCrystalRangeId).IsVisible());
    EXPECT_FALSE(famA.Control(CpmOCCS::kDivideBy2Id).IsVisible());
    COccsFixture famJ({kFamH, kFamJ, 20});
    EXPECT_EQ(famJ.Control(CpmOCCS::kPrescalerId).Items(), std::vector<std::string>{"not used"});
    EXPECT_FALSE(famJ.Control(CpmOCCS::kPrescalerId).IsEnabled());
    EXPECT_EQ(famJ.Control(CpmOCCS::kPostscalerId).Items().size(), 6u);
    EXPECT_FALSE(famJ.Control(CpmOCCS::kProtectClockId).IsVisible());
    COccsFixture famB({kFamH, kFamJ, kFamB, 24});
    EXPECT_TRUE(famB.Control(CpmOCCS::kProtectClockId).IsVisible());
    EXPECT_TRUE(famB.Control(CpmOCCS::kCopRelaxationId).IsVisible());

    // Texts of the later families.
    COccsFixture famD({kFamD, 85});
    EXPECT_EQ(famD.Text(CpmOCCS::kRelaxationEnableId), "Enable Internal 48MHz Oscillator");
    EXPECT_EQ(famD.Control(CpmOCCS::kMasterSourceId).Items().back(), "RC Oscillator 48MHz");
    EXPECT_FALSE(famD.Control(CpmOCCS::kRelaxationEnableId).IsEnabled()); // no system module
    COccsFixture famF({kFamF, 60});
    EXPECT_EQ(famF.Control(CpmOCCS::kMasterSourceId).Items().back(), "RC Oscillator 200 kHz");
    EXPECT_EQ(famF.Text(CpmOCCS::kLowSpeedEnableId), "Enable internal 200 kHz Oscillator");
    EXPECT_TRUE(famF.Control(CpmOCCS::kPwmNanoEdgeId).IsVisible());
}

TEST(CpmOCCS, SystemModuleSettingsOfTheLaterFamilies) {
    // FamD enables its 8 MHz source in the system module, on by default.
    COccsFixture famD({kFamD, 85}, false, true);
    EXPECT_TRUE(famD.Control(CpmOCCS::kRelaxationEnableId).IsEnabled());
    EXPECT_EQ(famD.Control(CpmOCCS::kRelaxationEnableId).Check(), 1);
    EXPECT_FALSE(famD.occs->IsRelaxationOscillatorDisabled());
    famD.Click(CpmOCCS::kRelaxationEnableId);
    EXPECT_EQ(famD.Misc(), 0u);
    EXPECT_TRUE(famD.occs->IsRelaxationOscillatorDisabled());
    famD.Click(CpmOCCS::kRelaxationEnableId);
    EXPECT_EQ(famD.Misc(), 1u << 6);

    // FamF fast boot: the bus runs at a quarter of the system clock, the core up to 100 MHz.
    COccsFixture famF({kFamF, 60}, false, true);
    famF.Reg(kOccsDivide) = (famF.Reg(kOccsDivide) & ~0x3Fu) | 29u; // x30
    famF.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    famF.Select(CpmOCCS::kSystemSourceId, 1);
    EXPECT_FLOAT_EQ(famF.occs->PublishedBusClock(), 60.0f);
    EXPECT_EQ(famF.Text(CpmOCCS::kCoreWarningId), "(max. 50 MHz)");
    famF.Misc() = 1u << 2;
    famF.occs->Recalculate();
    EXPECT_FLOAT_EQ(famF.occs->PublishedBusClock(), 30.0f);
    EXPECT_FLOAT_EQ(famF.occs->CoreClock(), 60.0f);
    EXPECT_FALSE(famF.Control(CpmOCCS::kCoreWarningId).IsVisible());
}

TEST(CpmOCCS, TimerReadsCrystalAndOscillatorStates) {
    COccsFixture f({kFamE, 40}, true, false, 8.0f);
    CpmPIT& pit = *f.pit;
    pit.Item(CpmPIT::kCtrlItem).dwValue = 1u << 8; // crystal
    pit.Item(CpmPIT::kModItem).dwValue = 7999;
    pit.Recalculate();
    EXPECT_EQ(pit.Page()->FindControl(CpmPIT::kInterruptRateId)->Text(), "1 kHz");
    f.Click(CpmOCCS::kDivideBy2Id);
    pit.Recalculate();
    EXPECT_EQ(pit.Page()->FindControl(CpmPIT::kInterruptRateId)->Text(), "500 Hz");
    // The crystal is powered down by default: the timer warns until it is powered up.
    const CPageControl& label = *pit.Page()->FindControl(CpmPIT::kClockSourceLabelId);
    pit.CheckWarnings();
    EXPECT_NE(label.Text().find("crystal oscillator is powered down"), std::string::npos);
    EXPECT_TRUE(f.Control(CpmOCCS::kCrystalPowerDownId).Check());
    f.Click(CpmOCCS::kCrystalPowerDownId);
    pit.CheckWarnings();
    EXPECT_EQ(label.Text(), "Clock source:");
}

TEST(CpmOCCS, ClockPinsInUse) {
    // A processor without a relaxation oscillator routes its clock pins itself.
    COccsFixture famK({kFamH, kFamK, 9});
    EXPECT_FALSE(famK.occs->IsPinFunctionUsed("XTAL"));
    EXPECT_TRUE(famK.occs->IsPinFunctionUsed("TXD"));

    COccsFixture f({kFamE, 40}, false, true);
    f.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    EXPECT_FALSE(f.occs->IsPinFunctionUsed("extal")); // crystal enabled but powered down
    f.Click(CpmOCCS::kCrystalPowerDownId);
    EXPECT_TRUE(f.occs->IsPinFunctionUsed("extal"));
    EXPECT_FALSE(f.occs->IsPinFunctionUsed("CLKIN"));
    f.Select(CpmOCCS::kMasterSourceId, kClkinSource);
    EXPECT_TRUE(f.occs->IsPinFunctionUsed("CLKIN"));
    EXPECT_FALSE(f.occs->IsPinFunctionUsed("CLKIN1"));
    f.Misc() |= 1u << kSecondClockInputBit;
    EXPECT_FALSE(f.occs->IsPinFunctionUsed("CLKIN"));
    EXPECT_TRUE(f.occs->IsPinFunctionUsed("CLKIN1"));
    // Direct clock on XTAL: only XTAL while the watchdog counts the crystal.
    f.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    f.Click(CpmOCCS::kCrystalEnableId);
    EXPECT_FALSE(f.occs->IsPinFunctionUsed("XTAL"));
    CpmCopTest& cop = f.host.Add<CpmCopTest>("COP", "COP_FamA");
    cop.crystal = true;
    EXPECT_TRUE(f.occs->IsPinFunctionUsed("XTAL"));
    EXPECT_FALSE(f.occs->IsPinFunctionUsed("EXTAL"));

    // FamB chooses its external clock pin.
    COccsFixture famB({kFamH, kFamJ, kFamB, 24});
    famB.Select(CpmOCCS::kRelaxationUsedId, 0);
    EXPECT_FALSE(famB.occs->IsPinFunctionUsed("CLKIN_PRI"));
    famB.Select(CpmOCCS::kRelaxationUsedId, 1);
    famB.Select(CpmOCCS::kExternalClockPinId, 0);
    EXPECT_TRUE(famB.occs->IsPinFunctionUsed("CLKIN_PRI"));
    EXPECT_FALSE(famB.occs->IsPinFunctionUsed("CLKIN_ALT"));
    famB.Select(CpmOCCS::kExternalClockPinId, 2);
    famB.Select(CpmOCCS::kOscillatorPowerId, 0); // Off
    EXPECT_TRUE(famB.occs->IsPinFunctionUsed("CLKIN_XTL"));
    EXPECT_FALSE(famB.occs->IsPinFunctionUsed("XTAL"));
    famB.Select(CpmOCCS::kOscillatorPowerId, 1);
    EXPECT_TRUE(famB.occs->IsPinFunctionUsed("XTAL"));
}

TEST(CpmOCCS, FirstGenerationWatchdogAndInput) {
    COccsFixture f({kFamG, 0}, false, false, 0.0f, 8.0f);
    EXPECT_EQ(f.Text(CpmOCCS::kCrystalFrequencyId), "8");
    f.Select(CpmOCCS::kRelaxationUsedId, 1);
    f.Select(CpmOCCS::kSystemSourceId, 0);
    EXPECT_EQ(f.Reg(kOccsControl) & 3u, 1u);
    EXPECT_EQ(f.Text(CpmOCCS::kCoreFrequencyId), "8 MHz");
    EXPECT_FLOAT_EQ(f.occs->PublishedBusClock(), 4.0f);
    EXPECT_FLOAT_EQ(f.occs->PublishedOtherClock(), 0.0f);
    // 8 MHz / 16384 / 4096 gives a timeout of about 8.4 s.
    f.Edit(CpmOCCS::kCopDivisorId, "4096");
    EXPECT_EQ(f.Reg(kOccsWatchdogTimeout), 4095u);
    EXPECT_EQ(f.Text(CpmOCCS::kCopTimeoutId), "8.38861 sec");
    // The input edit exchanges the external clock.
    f.Edit(CpmOCCS::kCrystalFrequencyId, "4");
    EXPECT_FLOAT_EQ(f.host.external, 4.0f);
    EXPECT_EQ(f.Text(CpmOCCS::kCoreFrequencyId), "4 MHz");
    // The clocks changed, so the pages that show clocks hear of it.
    EXPECT_NE(std::count(f.host.hints.begin(), f.host.hints.end(), CpmOCCS::kHintClocksChanged), 0);
}

TEST(CpmOCCS, OscillatorInputFrequencyOnEveryGeneration) {
    // Without a clock module the question has the absent answer.
    COccsHost bare;
    CpmCopTest& alone = bare.Add<CpmCopTest>("COP", "COP_FamA");
    EXPECT_FLOAT_EQ(OscillatorInputClockMHz(alone), 0.0f);

    // First generation: the input edit, unless the relaxation oscillator is used.
    COccsFixture first({kFamG, 0}, false, false, 0.0f, 8.0f);
    first.Select(CpmOCCS::kRelaxationUsedId, 1);
    EXPECT_FLOAT_EQ(OscillatorInputClockMHz(*first.occs), 8.0f);
    first.Edit(CpmOCCS::kCrystalFrequencyId, "4");
    EXPECT_FLOAT_EQ(first.occs->OscillatorInputClockMHz(), 4.0f);
    COccsFixture famB({kFamH, kFamJ, kFamB, 24}, false, false, 0.0f, 8.0f);
    famB.Select(CpmOCCS::kRelaxationUsedId, 0);
    EXPECT_FLOAT_EQ(famB.occs->OscillatorInputClockMHz(), 0.0f);
    famB.Select(CpmOCCS::kRelaxationUsedId, 1);
    EXPECT_FLOAT_EQ(famB.occs->OscillatorInputClockMHz(), 8.0f);

    // Later generations: the crystal undivided (the crystal query halves it), CLKIN, or a
    // crystal left running beside an internal master clock.
    COccsFixture f({kFamE, 40}, false, false, 8.0f, 12.0f);
    f.Select(CpmOCCS::kMasterSourceId, kCrystalSource);
    f.Click(CpmOCCS::kDivideBy2Id);
    EXPECT_FLOAT_EQ(f.occs->CrystalClockMHz(), 4.0f);
    EXPECT_FLOAT_EQ(OscillatorInputClockMHz(*f.occs), 8.0f);
    f.Select(CpmOCCS::kMasterSourceId, kClkinSource);
    EXPECT_FLOAT_EQ(f.occs->OscillatorInputClockMHz(), 12.0f);
    f.Edit(CpmOCCS::kClkinFrequencyId, "not a number");
    EXPECT_FLOAT_EQ(f.occs->OscillatorInputClockMHz(), 0.0f);
    f.Select(CpmOCCS::kMasterSourceId, kRelaxationSource);
    EXPECT_TRUE(f.Control(CpmOCCS::kCrystalPowerDownId).Check());
    EXPECT_FLOAT_EQ(f.occs->OscillatorInputClockMHz(), 0.0f); // powered down
    f.Click(CpmOCCS::kCrystalPowerDownId);
    EXPECT_FLOAT_EQ(f.occs->OscillatorInputClockMHz(), 8.0f);
    f.Click(CpmOCCS::kCrystalEnableId);
    EXPECT_FALSE(f.occs->IsCrystalOscillatorEnabled());
    EXPECT_FLOAT_EQ(f.occs->OscillatorInputClockMHz(), 0.0f);
}
