#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/ModuleTestHost.h"
#include "modules/system/CpmSYS_FamA.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/system/CpmSYS_V1.h"
#include "modules/system/CpmSYS_V2.h"
#include "modules/system/SystemQueries.h"
#include "modules/timers/CpmPIT.h"

using namespace hwc;

namespace {

using namespace hwc::test;

using CSysHost = hwc::test::CModuleTestHost;

using tCreate = std::function<CpmSystemModule&(CSysHost&, const std::string& info)>;

template <class T> tCreate Create(const char* typeKey) {
    return [typeKey](CSysHost& host, const std::string& info) -> CpmSystemModule& {
        return host.Add<T>("SYS", typeKey, info);
    };
}

// A project of one processor with its system module (page open) and the named peripherals.
struct CSysFixture {
    CSysFixture(std::set<int> groups, const tCreate& create,
                std::vector<std::string> peripherals = {}, const std::string& info = {}) {
        host.groups = std::move(groups);
        sys = &create(host, info);
        for (const std::string& name : peripherals)
            host.Add<CpmPIT>(name, "PIT");
        host.BindAll();
        sys->CreatePage();
        sys->OnInitialUpdate();
    }
    CPageControl& Control(int id) { return *sys->Page()->FindControl(id); }
    void Click(int id) { sys->Page()->UserClick(Control(id)); }
    void Select(int id, int index) { sys->Page()->UserSelect(Control(id), index); }
    std::uint32_t Reg(const char* name) { return sys->FindRegister(name)->dwValue; }
    // The control of the first setting with that caption.
    int IdOf(const std::string& caption) {
        const auto& settings = sys->Layout().settings;
        for (std::size_t i = 0; i < settings.size(); ++i) {
            if (settings[i].caption == caption)
                return kFirstSettingId + static_cast<int>(i);
        }
        ADD_FAILURE() << "no setting " << caption;
        return 0;
    }
    CModuleBase& Module(const std::string& name) { return *CModuleBase::FindModule(&host, name); }

    CSysHost host;
    CpmSystemModule* sys = nullptr;
};

const tCreate kV1 = Create<CpmSYS_V1>("SYS_V1");
const tCreate kClassic = Create<CpmSYS_V2_Classic>("SYS_V2_Classic");
const tCreate kFamBSys = Create<CpmSYS_V2_FamB>("SYS_V2_FamB");
const tCreate kFamCSys = Create<CpmSYS_V2_FamC>("SYS_V2_FamC");
const tCreate kFamASys = Create<CpmSYS_FamA>("SYS_FamA");
const tCreate kNewSys = Create<CpmSYS_FamE_FamF_FamD>("SYS_FamE_FamF_FamD");

} // namespace

TEST(CpmSYS, RegisterLayoutsByProcessor) {
    struct tExpect {
        std::set<int> groups;
        tCreate create;
        int count;
        unsigned templateId;
        int item;
        const char* name;
        std::uint32_t defaultValue;
        bool hidden;
    };
    const tExpect cases[] = {
        {{kFamG, 2}, kV1, 2, 2023, 1, "-BCR_INIT", 0, false},
        {{kFamH, 5}, kClassic, 1, 2039, 0, "-SIM_CONROL_INIT", 0, false},
        {{kFamH, 6}, kClassic, 5, 2039, 4, "-SIM_PCE_INIT", 0, false},
        {{kFamH, kFamK, 9}, kClassic, 8, 2039, 1, "_dummy_", 0, true},
        {{kFamH, kFamK, 9}, kClassic, 8, 2039, 7, "-SIM_SD_INIT", 0, false},
        {{kFamH, kFamJ, kFamB, 24}, kFamBSys, 19, 2039, 1, "___PUDR___", 0, true},
        {{kFamH, kFamJ, kFamB, 24}, kFamBSys, 19, 2039, 18, "-SIM_IPS2_INIT", 0, false},
        {{kFamH, kFamC, kFlag107, 27}, kFamCSys, 17, 2065, 16, "-SIM_SD2_INIT", 0, false},
        {{kFamH, kFamC, kFlag108, 31}, kFamCSys, 17, 2080, 10, "-SIM_PCR_INIT", 0, false},
        {{kFamA, 104}, kFamASys, 18, 2054, 17, "-SIM_ISAL_INIT", 0, false},
        {{kFamA, 104}, kFamASys, 18, 2054, 9, "-SIM_GPSA_INIT", 0, false},
        {{kFamE, 40}, kNewSys, 35, 2083, 28, "-SIM_MISC0_INIT", 0, false},
        {{kFamF, 60}, kNewSys, 35, 2094, 28, "-SIM_MISC0_INIT", 0, false},
        {{kFamD, 86}, kNewSys, 35, 2108, 28, "-SIM_MISC0_INIT", 0x0040, false},
        {{kFamD, 86}, kNewSys, 35, 2108, 18, "-SIM_GPSGH_INIT", 0, false},
        {{kFamD, 86}, kNewSys, 35, 2108, 34, "-SIM_ADCTRG_INIT", 0, false},
    };
    for (const tExpect& expect : cases) {
        CSysFixture f(expect.groups, expect.create);
        SCOPED_TRACE(expect.name);
        ASSERT_EQ(f.sys->ItemCount(), expect.count);
        EXPECT_EQ(f.sys->TemplateId(), expect.templateId);
        const tPerCfgItem& item = f.sys->Item(expect.item);
        EXPECT_STREQ(item.szName, expect.name);
        EXPECT_EQ(item.dwDefault, expect.defaultValue);
        EXPECT_EQ(item.dwValue, expect.defaultValue);
        EXPECT_EQ((item.dwFlags & RegFlag::DUMMYREG) != 0, expect.hidden);
        EXPECT_STREQ(f.sys->Item(0).szName,
                     expect.templateId == 2023 ? "-SYS_CNTL_INIT" : "-SIM_CONROL_INIT");
        // Every page control the layout names exists on the page.
        for (std::size_t i = 0; i < f.sys->Layout().settings.size(); ++i)
            EXPECT_NE(f.sys->Page()->FindControl(kFirstSettingId + static_cast<int>(i)), nullptr);
    }
}

TEST(CpmSYS, RegisterOrderOfEachFamily) {
    const auto names = [](const CSysFixture& f) {
        std::string list;
        for (int i = 0; i < f.sys->ItemCount(); ++i) {
            std::string name = f.sys->Item(i).szName;
            if (name.starts_with("-SIM_"))
                name = name.substr(5, name.size() - 10);
            list += (i ? " " : "") + name;
        }
        return list;
    };
    EXPECT_EQ(names(CSysFixture({kFamH, kFamK, 9}, kClassic)),
              "CONROL _dummy_ CLKOSR PCR PCE GPSA GPSB SD");
    EXPECT_EQ(names(CSysFixture({kFamH, kFamJ, kFamB, 24}, kFamBSys)),
              "CONROL ___PUDR___ CLKOSR PCR PROT GPSA GPSB GPSC GPSD PCE0 PCE1 SD0 SD1 IOSAHI "
              "IOSALO SWC IPS0 IPS1 IPS2");
    EXPECT_EQ(names(CSysFixture({kFamH, kFamC, 31}, kFamCSys)),
              "CONROL PWR CLKOSR SWC PROT GPSA GPSB GPSC IPS0 IPS1 PCR PCE0 PCE1 PCE2 SD0 SD1 SD2");
    EXPECT_EQ(names(CSysFixture({kFamA, 104}, kFamASys)),
              "CONROL PWR CLKOSR SWC PROT PCE SD IOSAHI IOSALO GPSA GPSB GPSCL GPSCH GPSD IPS PCR "
              "ISALH ISAL");
    EXPECT_EQ(names(CSysFixture({kFamF, 60}, kNewSys)),
              "CONROL PWR CLKOSR SWC PROT GPSAL GPSAH GPSBL GPSBH GPSCL GPSCH GPSDL GPSDH GPSEL "
              "GPSEH GPSFL GPSFH GPSGL GPSGH PCE0 PCE1 PCE2 PCE3 SD0 SD1 SD2 SD3 IPS0 MISC0 PSWR0 "
              "PSWR1 PSWR2 PSWR3 PCR ADCTRG");
}

// A setting made on the page and the register value it gives, for each class.
TEST(CpmSYS, SettingsWriteTheirRegisters) {
    struct tCase {
        const char* what;
        std::set<int> groups;
        tCreate create;
        std::vector<std::string> peripherals;
        std::function<void(CSysFixture&)> set;
        const char* reg;
        std::uint32_t value;
    };
    using F = CSysFixture;
    const auto clockEnable = [](const char* instance) {
        return [instance](F& f) { f.Click(f.sys->ClockEnableControlOf(instance)); };
    };
    const tCase cases[] = {
        {"FamG pull-ups of port A",
         {kFamG, 2},
         kV1,
         {"GPIO_A"},
         [](F& f) { f.Click(f.IdOf("Disable pull-ups of port A")); },
         "-SYS_CNTL_INIT",
         1u << 4},
        {"FamG wait states",
         {kFamG, 2},
         kV1,
         {},
         [](F& f) { f.Select(f.IdOf("External bus:"), 3); },
         "-BCR_INIT",
         3},
        {"FamA stop, wait, OnCE",
         {kFamA, 104},
         kFamASys,
         {},
         [](F& f) {
             f.Select(kFirstSettingId, 2); // permanently disabled
             f.Select(kFirstSettingId + 1, 1);
             f.Click(kFirstSettingId + 2);
         },
         "-SIM_CONROL_INIT",
         0x0016},
        {"FamA second clock output",
         {kFamA, 104},
         kFamASys,
         {},
         [](F& f) {
             f.Select(f.sys->ControlOf(ESystemFact::ClockSource, 1), 5);
             f.Click(f.sys->ControlOf(ESystemFact::ClockDisable, 0)); // off
         },
         "-SIM_CLKOSR_INIT",
         (5u << 6) | (1u << 5)},
        {"FamA interval timers",
         {kFamA, 104},
         kFamASys,
         {"PIT0"},
         clockEnable("PIT0"),
         "-SIM_PCE_INIT",
         1u << 11},
        {"classic timer C",
         {kFamH, kFamK, 9},
         kClassic,
         {"QT_C1"},
         clockEnable("QT_C1"),
         "-SIM_PCE_INIT",
         1u << 2},
        {"FamB DAC 1",
         {kFamH, kFamJ, kFamB, 24},
         kFamBSys,
         {"DAC_1"},
         clockEnable("DAC_1"),
         "-SIM_PCE1_INIT",
         1u << 4},
        {"FamB write protection",
         {kFamH, kFamJ, kFamB, 24},
         kFamBSys,
         {},
         [](F& f) { f.Select(f.IdOf("Peripheral clock enables:"), 3); },
         "-SIM_PROT_INIT",
         0x000C},
        {"FamC port F",
         {kFamH, kFamC, 31},
         kFamCSys,
         {"GPIO_F"},
         clockEnable("GPIO_F"),
         "-SIM_PCE2_INIT",
         1u << 5},
        {"FamC voltage regulator",
         {kFamH, kFamC, 31},
         kFamCSys,
         {},
         [](F& f) { f.Select(f.IdOf("Voltage regulator:"), 3); },
         "-SIM_PWR_INIT",
         3},
        {"FamD SCI2 and I2C1 on the fast clock",
         {kFamD, 86},
         kNewSys,
         {"SCI_2", "I2C_1"},
         [](F& f) {
             f.Click(f.sys->ControlOf(ESystemFact::SciClock, 2));
             f.Click(f.sys->ControlOf(ESystemFact::I2cClock, 1));
         },
         "-SIM_PCR_INIT",
         (1u << 2) | (1u << 6)},
        {"FamD SCI 2 clock",
         {kFamD, 86},
         kNewSys,
         {"SCI_2"},
         clockEnable("SCI_2"),
         "-SIM_PCE1_INIT",
         1u << 2},
        {"FamD CLKIN1 keeps the 48 MHz oscillator",
         {kFamD, 86},
         kNewSys,
         {},
         [](F& f) { f.Select(f.sys->ControlOf(ESystemFact::SecondClockInput), 1); },
         "-SIM_MISC0_INIT",
         0x0041},
        {"FamE PDB 1",
         {kFamE, 40},
         kNewSys,
         {"PDB_1"},
         clockEnable("PDB_1"),
         "-SIM_PCE2_INIT",
         1u << 11},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.what);
        CSysFixture f(c.groups, c.create, c.peripherals);
        c.set(f);
        EXPECT_EQ(f.Reg(c.reg), c.value);
    }
}

TEST(CpmSYS, PeripheralsPresentShowTheirCheckBoxes) {
    CSysFixture f({kFamF, 60}, kNewSys, {"SCI_0"});
    EXPECT_TRUE(f.Control(f.sys->ClockEnableControlOf("SCI_0")).IsVisible());
    EXPECT_FALSE(f.Control(f.sys->ClockEnableControlOf("SCI_1")).IsVisible());
    EXPECT_TRUE(f.Control(f.sys->ControlOf(ESystemFact::SciRxd, 0)).IsVisible());
    EXPECT_FALSE(f.Control(f.sys->ControlOf(ESystemFact::SciRxd, 1)).IsVisible());
    // Settings that serve no module in particular always show.
    EXPECT_TRUE(f.Control(f.sys->ControlOf(ESystemFact::FastBoot)).IsVisible());
    EXPECT_EQ(f.sys->ControlOf(ESystemFact::FastBoot, -1) != 0, true);
    CSysFixture famE({kFamE, 40}, kNewSys);
    EXPECT_EQ(famE.sys->ControlOf(ESystemFact::FastBoot), 0);
    EXPECT_EQ(famE.sys->ControlOf(ESystemFact::SciRxd, 0), 0);
}

// Each question the other modules ask, per processor group: the setting that answers it is
// switched on the page and the free function must follow it.
TEST(CpmSYS, AnswersFollowTheSettingsPerGroup) {
    struct tCase {
        const char* what;
        std::set<int> groups;
        tCreate create;
        ESystemFact fact;
        int which;
        std::function<bool(const CModuleBase&)> ask;
    };
    const auto sci = [](int n) {
        return [n](const CModuleBase& m) { return SystemSciHighSpeedClock(m, n); };
    };
    const auto timer = [](char t) {
        return [t](const CModuleBase& m) { return SystemTimerHighSpeedClock(m, t); };
    };
    const auto i2c = [](int n) {
        return [n](const CModuleBase& m) {
            bool halved = true;
            return SystemI2cFastClock(m, n, halved) && !halved;
        };
    };
    const tCase cases[] = {
        {"FamA SCI any instance", {kFamA, 104}, kFamASys, ESystemFact::SciClock, -1, sci(1)},
        {"FamA timer A", {kFamA, 104}, kFamASys, ESystemFact::TimerClock, 'A', timer('A')},
        {"FamC SCI1", {kFamH, kFamC, kFlag108, 31}, kFamCSys, ESystemFact::SciClock, 1, sci(1)},
        {"FamC timer B", {kFamH, kFamC, 31}, kFamCSys, ESystemFact::TimerClock, 'B', timer('B')},
        {"FamB timer A",
         {kFamH, kFamJ, kFamB, 24},
         kFamBSys,
         ESystemFact::TimerClock,
         'A',
         timer('A')},
        {"FamB I2C", {kFamH, kFamJ, kFamB, 24}, kFamBSys, ESystemFact::I2cClock, -1, i2c(0)},
        {"flag 97 timer A",
         {kFamH, kFamJ, kFlag97, 20},
         kClassic,
         ESystemFact::TimerClock,
         'A',
         timer('A')},
        {"FamE SCI2", {kFamE, 40}, kNewSys, ESystemFact::SciClock, 2, sci(2)},
        {"FamF timer any", {kFamF, 60}, kNewSys, ESystemFact::TimerClock, -1, timer('B')},
        {"FamF I2C1", {kFamF, 60}, kNewSys, ESystemFact::I2cClock, 1, i2c(1)},
        {"FamD I2C either", {kFamD, 86}, kNewSys, ESystemFact::I2cClock, 1, i2c(0)},
        {"FamF SCI1 RXD",
         {kFamF, 60},
         kNewSys,
         ESystemFact::SciRxd,
         1,
         [](const CModuleBase& m) { return SystemSciRxdFromCrossbar(m, 1); }},
        {"FamE CLKIN1",
         {kFamE, 40},
         kNewSys,
         ESystemFact::SecondClockInput,
         -1,
         SystemSelectsSecondClockInput},
        {"FamA COP bus clock",
         {kFamA, 104},
         kFamASys,
         ESystemFact::CopBusClock,
         -1,
         [](const CModuleBase& m) { return SystemCopBusClockEnabled(m, false); }},
        {"FamA timer channel 2",
         {kFamA, 104},
         kFamASys,
         ESystemFact::TimerEnable,
         2,
         [](const CModuleBase& m) { return SystemTimerEnabled(m, 2, false); }},
        {"FamF fast boot",
         {kFamF, 60},
         kNewSys,
         ESystemFact::FastBoot,
         -1,
         [](const CModuleBase& m) { return SystemMiscBit(m, kFastBootBit, false); }},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.what);
        CSysFixture f(c.groups, c.create);
        const CModuleBase& asker = f.Module("SYS");
        const int id = f.sys->ControlOf(c.fact, c.which);
        ASSERT_NE(id, 0);
        EXPECT_FALSE(c.ask(asker));
        if (f.Control(id).Kind() == EControlKind::DropList)
            f.Select(id, 1);
        else
            f.Click(id);
        EXPECT_TRUE(c.ask(asker));
    }
}

TEST(CpmSYS, AnswersTheLayoutLacks) {
    // FamC has no setting for its third serial interface; FamE none for timers or I2C.
    CSysFixture famC({kFamH, kFamC, 31}, kFamCSys);
    famC.sys->Item(10).dwValue = 0xFFFF;
    EXPECT_TRUE(SystemSciHighSpeedClock(famC.Module("SYS"), 0));
    EXPECT_FALSE(SystemSciHighSpeedClock(famC.Module("SYS"), 2));
    CSysFixture famE({kFamE, 40}, kNewSys);
    famE.sys->Item(33).dwValue = 0xFFFF;
    bool halved = true;
    EXPECT_FALSE(SystemI2cFastClock(famE.Module("SYS"), 0, halved));
    EXPECT_FALSE(halved);
    EXPECT_FALSE(SystemTimerHighSpeedClock(famE.Module("SYS"), 'A'));
    // Facts without a bit keep the caller's absent answer.
    EXPECT_TRUE(SystemCopBusClockEnabled(famE.Module("SYS"), true));
    EXPECT_FALSE(SystemTimerEnabled(famE.Module("SYS"), 0, false));
    EXPECT_TRUE(SystemTimerEnabled(famE.Module("SYS"), 0, true));
    CSysFixture famA({kFamA, 104}, kFamASys);
    EXPECT_TRUE(SystemMiscBit(famA.Module("SYS"), kFastBootBit, true));
    EXPECT_EQ(SystemMiscControlRegister(famA.Module("SYS")), nullptr);
    EXPECT_TRUE(SystemTimerEnabled(famA.Module("SYS"), 4, true)); // only channels 0 to 3
    // FamF halves the I2C fast clock on request; FamD never does.
    CSysFixture famF({kFamF, 60}, kNewSys);
    famF.sys->Item(33).dwValue = (1u << 5) | (1u << 7);
    EXPECT_TRUE(SystemI2cFastClock(famF.Module("SYS"), 0, halved));
    EXPECT_TRUE(halved);
    EXPECT_FALSE(SystemI2cFastClock(famF.Module("SYS"), 1, halved));
    EXPECT_FALSE(halved);
}

TEST(CpmSYS, AbsentOrForeignSystemModuleGivesTheAbsentAnswers) {
    for (bool foreign : {false, true}) {
        SCOPED_TRACE(foreign ? "SYS of another class" : "no SYS");
        CSysHost host;
        host.groups = {kFamF, 60};
        CpmPIT& asker = host.Add<CpmPIT>("PIT0", "PIT");
        if (foreign) {
            // The name alone does not make a system module; its registers are not read.
            CpmPIT& impostor = host.Add<CpmPIT>("SYS", "SYS_FamE_FamF_FamD");
            impostor.Item(0).dwValue = 0xFFFF;
        }
        host.BindAll();
        EXPECT_EQ(FindSystemModule(asker), nullptr);
        bool halved = true;
        EXPECT_FALSE(SystemI2cFastClock(asker, 0, halved));
        EXPECT_FALSE(halved);
        EXPECT_FALSE(SystemSciHighSpeedClock(asker, 0));
        EXPECT_FALSE(SystemSciRxdFromCrossbar(asker, 0));
        EXPECT_FALSE(SystemTimerHighSpeedClock(asker, 'A'));
        EXPECT_FALSE(SystemClockOutputSelectsOscillator(asker));
        EXPECT_FALSE(SystemSelectsSecondClockInput(asker));
        EXPECT_TRUE(SystemCopBusClockEnabled(asker, true));
        EXPECT_FALSE(SystemTimerEnabled(asker, 1, false));
        EXPECT_TRUE(SystemMiscBit(asker, kFastBootBit, true));
        EXPECT_EQ(SystemMiscControlRegister(asker), nullptr);
        EXPECT_EQ(SystemPeripheralClockLink(asker, "SCI"), "SCI");
    }
    // Any type key will do for the real thing.
    CSysHost host;
    host.groups = {kFamF, 60};
    CpmSystemModule& sys = host.Add<CpmSYS_FamE_FamF_FamD>("SYS", "SIM");
    CpmPIT& asker = host.Add<CpmPIT>("PIT0", "PIT");
    host.BindAll();
    EXPECT_EQ(FindSystemModule(asker), &sys);
}

TEST(CpmSYS, ClockOutputSelectsTheOscillatorOnlyWhileEnabled) {
    CSysFixture f({kFamA, 104}, kFamASys);
    const CModuleBase& asker = f.Module("SYS");
    f.Select(f.sys->ControlOf(ESystemFact::ClockSource, 1), 4);
    EXPECT_FALSE(SystemClockOutputSelectsOscillator(asker));
    f.Select(f.sys->ControlOf(ESystemFact::ClockSource, 1), 5);
    EXPECT_TRUE(SystemClockOutputSelectsOscillator(asker));
    f.Click(f.sys->ControlOf(ESystemFact::ClockDisable, 1));
    EXPECT_FALSE(SystemClockOutputSelectsOscillator(asker));
    f.Select(f.sys->ControlOf(ESystemFact::ClockSource, 0), 5);
    EXPECT_TRUE(SystemClockOutputSelectsOscillator(asker));
}

TEST(CpmSYS, PeripheralClockLinksPointToPresentChoices) {
    CSysFixture f({kFamF, 60}, kNewSys, {"SCI_1", "QT_B2"});
    const CModuleBase& asker = f.Module("SCI_1");
    EXPECT_EQ(f.sys->PeripheralClockControl("SCI"),
              static_cast<std::uint32_t>(f.sys->ControlOf(ESystemFact::SciClock, 1)));
    EXPECT_NE(f.sys->PeripheralClockControl("Timer"), 0u);
    EXPECT_EQ(f.sys->PeripheralClockControl("PWM"), 0u);  // no PWM in this project
    EXPECT_EQ(f.sys->PeripheralClockControl("UART"), 0u); // no such peripheral
    EXPECT_NE(SystemPeripheralClockLink(asker, "SCI").find("<A HREF="), std::string::npos);
    EXPECT_EQ(SystemPeripheralClockLink(asker, "IIC"), "IIC");
}

TEST(CpmSYS, ClockEnableWarningRaisedAndCleared) {
    CSysFixture f({kFamA, 104}, kFamASys, {"PIT0", "PIT1", "SCI_0"});
    const int pit = f.sys->ClockEnableControlOf("PIT1");
    const auto warning = [&] {
        const auto found = f.host.warnings.find({f.sys, pit});
        return found == f.host.warnings.end() ? std::string() : found->second;
    };
    auto& pit0 = static_cast<CModule&>(f.Module("PIT0"));
    auto& pit1 = static_cast<CModule&>(f.Module("PIT1"));
    // Nothing while the system module is not written: the application owns the clocks then.
    pit1.SetSelected(true);
    pit1.CheckWarnings();
    EXPECT_EQ(warning(), "");
    f.sys->SetSelected(true);
    pit1.CheckWarnings();
    EXPECT_EQ(warning(), "PIT1 clock is not enabled in SYS module (PCE).");
    EXPECT_TRUE(f.Control(pit).TextColour().has_value());
    // The other timer sharing the bit, not selected, leaves the warning standing.
    pit0.CheckWarnings();
    EXPECT_EQ(warning(), "PIT1 clock is not enabled in SYS module (PCE).");
    f.Click(pit);
    f.sys->CheckWarnings();
    EXPECT_EQ(warning(), "");
    EXPECT_FALSE(f.Control(pit).TextColour().has_value());
    f.Click(pit);
    pit1.SetSelected(false);
    pit0.CheckWarnings();
    EXPECT_EQ(warning(), "");
    // A module the system module has no bit for raises nothing.
    auto& occs = f.host.Add<CpmPIT>("OCCS", "OCCS");
    occs.SetSelected(true);
    f.sys->CheckModule(occs);
    EXPECT_EQ(f.host.warnings.size(), 0u);
    // On the first family no module asks.
    CSysFixture famG({kFamG, 2}, kV1, {"PIT0"});
    famG.sys->SetSelected(true);
    famG.Module("PIT0").SetSelected(true);
    famG.Module("PIT0").CheckWarnings();
    EXPECT_TRUE(famG.host.warnings.empty());
}

TEST(CpmSYS, PeripheralSelectBitsWithinTheLayoutAndCount) {
    struct tCase {
        const char* what;
        std::set<int> groups;
        tCreate create;
        std::string info;
        int registers; // in use
        int firstItem;
    };
    const tCase cases[] = {
        {"classic GPSCNT=2", {kFamH, kFamK, 9}, kClassic, "GPSCNT=2", 2, 5},
        {"classic, none", {kFamH, kFamK, 9}, kClassic, "", 1, 5},
        {"classic, unreadable", {kFamH, kFamK, 9}, kClassic, "GPSCNT=many", 1, 5},
        {"classic, beyond layout", {kFamH, kFamK, 9}, kClassic, "GPSCNT=9", 2, 5},
        {"classic, empty", {kFamH, kFamK, 9}, kClassic, "GPSCNT=", 1, 5},
        {"classic, hexadecimal", {kFamH, kFamK, 9}, kClassic, "GPSCNT=0x2", 2, 5},
        {"entry 6 has none", {kFamH, 6}, kClassic, "GPSCNT=2", 0, -1},
        {"FamA after the address registers", {kFamA, 104}, kFamASys, "GPSCNT=5", 5, 9},
        {"FamD GPSCNT=4", {kFamD, 86}, kNewSys, "GPSCNT=4", 4, 5},
        {"FamD GPSCNT=0", {kFamD, 86}, kNewSys, "GPSCNT=0", 0, 5},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.what);
        CSysFixture f(c.groups, c.create, {}, c.info);
        ISystemIntegration& sys = *f.sys;
        EXPECT_EQ(sys.PeripheralSelectRegisterCount(), c.registers);
        const int bits = 16 * c.registers;
        for (int bit : {-1, 0, 17, bits - 1, bits, 16 * 14}) {
            const bool inside = bit >= 0 && bit < bits;
            sys.SetPeripheralSelectBit(bit, true);
            EXPECT_EQ(sys.PeripheralSelectBit(bit), inside) << bit;
            if (inside) {
                EXPECT_NE(f.sys->Item(c.firstItem + bit / 16).dwValue & (1u << bit % 16), 0u);
            }
            sys.SetPeripheralSelectBit(bit, false);
            EXPECT_FALSE(sys.PeripheralSelectBit(bit));
        }
        // Nothing beyond the registers in use was written.
        for (int i = 0; i < f.sys->ItemCount(); ++i)
            EXPECT_EQ(f.sys->Item(i).dwValue, f.sys->Item(i).dwDefault) << i;
    }
}

TEST(CpmSYS, ClockOutputSelectBits) {
    CSysFixture f({kFamH, kFamJ, kFamB, 24}, kFamBSys);
    ISystemIntegration& sys = *f.sys;
    sys.SetClockOutputSelectBit(15, true);
    sys.SetClockOutputSelectBit(16, true);
    sys.SetClockOutputSelectBit(-1, true);
    EXPECT_EQ(f.Reg("-SIM_CLKOSR_INIT"), 0x8000u);
    EXPECT_TRUE(sys.ClockOutputSelectBit(15));
    EXPECT_FALSE(sys.ClockOutputSelectBit(16));
    sys.SetClockOutputSelectBit(15, false);
    EXPECT_EQ(f.Reg("-SIM_CLKOSR_INIT"), 0u);
    // The smallest processor has no clock output register at all.
    CSysFixture entry5({kFamH, 5}, kClassic);
    entry5.sys->SetClockOutputSelectBit(0, true);
    EXPECT_FALSE(entry5.sys->ClockOutputSelectBit(0));
    EXPECT_EQ(entry5.sys->Item(0).dwValue, 0u);
}

TEST(CpmSYS, PageShowsPeripheralSelectsAndClocks) {
    CSysFixture f({kFamD, 86}, kNewSys, {}, "GPSCNT=2");
    f.sys->SetPeripheralSelectBit(20, true);
    f.sys->Recalculate();
    EXPECT_EQ(f.Control(kFirstSelectViewId).Text(), "0x0000");
    EXPECT_EQ(f.Control(kFirstSelectViewId + 1).Text(), "0x0010");
    EXPECT_EQ(f.Control(kFirstSelectViewId + 2).Text(), "0x0000 (unused)");
    // Without a clock module the clocks have no figure.
    EXPECT_EQ(f.Control(kBusClockViewId).Text(), "n/a");
    f.Click(f.sys->ControlOf(ESystemFact::ClockDisable, 0));
    f.sys->Recalculate();
    EXPECT_EQ(f.Control(kFirstClockOutputViewId).Text(), "OFF");
    EXPECT_NE(f.sys->Page()->FindControl(kSettingsNoteId), nullptr);
}

TEST(CpmSYS, SummaryListsWhatTheProcessorHas) {
    CSysFixture f({kFamA, 104}, kFamASys, {"PIT0"});
    f.Click(f.sys->ClockEnableControlOf("PIT0"));
    std::string summary;
    f.sys->GetSummary(summary);
    EXPECT_NE(summary.find("OnCE: Disable"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Clock output 1: Enable"), std::string::npos) << summary;
    EXPECT_NE(summary.find("Interval timers clock: Enable"), std::string::npos) << summary;
    // Peripherals the project lacks and the stop-mode bits stay out.
    EXPECT_EQ(summary.find("SCI 0 clock"), std::string::npos) << summary;
    EXPECT_EQ(summary.find("off in stop mode"), std::string::npos) << summary;
}
