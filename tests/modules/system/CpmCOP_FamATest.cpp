#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "header/AppcfgFile.h"
#include "model/ModelTestSupport.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/system/CpmCOP_FamA.h"
#include "modules/system/CpmPMC.h"
#include "modules/system/CpmSYS_FamA.h"
#include "support/ModuleTestHost.h"

namespace {

using C = CpmCOP_FamA;
using CCopHost = hwc::test::CModuleTestHost;
using hwc::test::kFamC;

// A clock module that publishes a chosen bus clock and answers the oscillator states it is
// told.
class CpmCopClockTest : public CModule, public hwc::IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmCopClockTest, CModule)
public:
    CpmCopClockTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
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

// A document with the watchdog (and, unless told otherwise, a clock module) in the given
// groups, the page open.
struct CCopFixture {
    explicit CCopFixture(std::set<int> groups, bool withClock = true,
                         const std::string& interrupts = "INT:18:") {
        host.groups = std::move(groups);
        host.crystal = 8.0f;
        if (withClock)
            clock = &host.Add<CpmCopClockTest>("OCCS", "OCCS");
        cop = &host.Add<C>("COP", "COP_FamA", "", interrupts);
    }
    // Binds and opens the page; modules added after the constructor take part.
    CCopFixture& Open() {
        host.BindAll();
        cop->CreatePage();
        cop->OnInitialUpdate();
        cop->UpdateControlStates();
        return *this;
    }
    CPageControl& Control(int id) { return *cop->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    // A control the page lacks is not shown either.
    bool Shown(int id) {
        const CPageControl* control = cop->Page()->FindControl(id);
        return control && control->IsVisible();
    }
    // Source and prescaler positions and the timeout divisor, as a user sets them.
    void Set(int source, int prescaler, const std::string& timeout) {
        CPage& page = *cop->Page();
        page.UserSelect(Control(C::kClockSourceId), source);
        page.UserSelect(Control(C::kPrescalerId), prescaler);
        page.UserEdit(Control(C::kTimeoutDivisorId), timeout);
        cop->Recalculate();
    }
    // The warning at the clock-source label after a check, empty when none.
    std::string SourceWarning() {
        cop->CheckWarnings();
        return host.Warning(*cop, C::kClockSourceLabelId);
    }
    std::uint32_t Ctrl() const { return cop->Item(C::kControlItem).dwValue; }

    CCopHost host;
    CpmCopClockTest* clock = nullptr;
    C* cop = nullptr;
};

std::vector<std::string> DefineNames(const CModuleBase& module) {
    std::vector<std::string> names;
    for (int i = 0; i < module.ItemCount(); ++i)
        names.push_back(module.GetDefineName(module.Item(i)));
    return names;
}

} // namespace

TEST(CpmCOP_FamA, RegistersAndPageLayoutByGroup) {
    using V = std::vector<std::string>;
    const V two = {"COP_COPCTL_INIT", "COP_COPTO_INIT"};
    const V three = {"COP_COPCTL_INIT", "COP_COPTO_INIT", "COP_INTVAL_INIT"};
    const V four = {"COP_COPCTL_INIT", "COP_COPTO_INIT", "COP_INTVAL_INIT", "COP_WINDOW_INIT"};
    struct tCase {
        int group;
        V names;
        unsigned templateId;
    } cases[] = {{CModule::kFamA, two, C::kTemplateId},
                 {kFamC, two, C::kTemplateId},
                 {CModule::kFamE, three, C::kNewerTemplateId},
                 {CModule::kFamF, four, C::kNewerTemplateId},
                 {CModule::kFamD, four, C::kNewerTemplateId}};
    for (const tCase& c : cases) {
        CCopFixture f({c.group});
        f.Open();
        EXPECT_EQ(DefineNames(*f.cop), c.names) << c.group;
        EXPECT_EQ(f.cop->TemplateId(), c.templateId) << c.group;
        EXPECT_EQ(f.cop->DialogTemplate()->Id(), c.templateId) << c.group;
        const bool newer = c.templateId == C::kNewerTemplateId;
        EXPECT_EQ(f.cop->Page()->FindControl(C::kWarningInterruptId) != nullptr, newer);
        if (newer) {
            EXPECT_EQ(f.Shown(C::kWindowValueId), c.names.size() == 4) << c.group;
        }
    }

    // Defaults; the control register is written even unchanged, the others only when changed.
    CCopFixture f({CModule::kFamD});
    f.Open();
    EXPECT_EQ(f.cop->Item(C::kControlItem).dwValue, 0x302u);
    EXPECT_EQ(f.cop->Item(C::kTimeoutItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.cop->Item(C::kInterruptValueItem).dwValue, 0xFFu);
    EXPECT_EQ(f.cop->Item(C::kWindowItem).dwValue, 0xFFFFu);
    std::string text;
    f.cop->GetHeaderText(text);
    EXPECT_NE(text.find("#define COP_COPCTL_INIT"), std::string::npos) << text;
    EXPECT_NE(text.find("0x0302U"), std::string::npos) << text;
    EXPECT_EQ(text.find("COPTO"), std::string::npos) << text;
    EXPECT_EQ(text.find("INTVAL"), std::string::npos) << text;
}

TEST(CpmCOP_FamA, TimeoutFromSourceClockPrescalerAndDivisor) {
    CCopFixture f({CModule::kFamE});
    f.clock->busMHz = 60.0f;
    f.Open();
    // 65535 cycles of 8 MHz / 1024.
    f.Set(0, 3, "65535");
    EXPECT_EQ(f.Ctrl() & 0x360u, 0x300u);
    EXPECT_EQ(f.cop->Item(C::kTimeoutItem).dwValue, 65535u);
    EXPECT_EQ(f.Text(C::kTimeoutId), "8.38848 sec");
    // The bus clock: 60000 cycles of 60 MHz.
    f.Set(2, 0, "60000");
    EXPECT_EQ(f.Text(C::kTimeoutId), "1 ms");
    // The crystal frequency the clock page edits (8 MHz), divided by 16.
    f.Set(1, 1, "500");
    EXPECT_EQ(f.Text(C::kTimeoutId), "1 ms");
    EXPECT_TRUE(hwc::WatchdogCountsCrystal(*f.clock));
    // The low-speed oscillator of FamE runs at 32 kHz.
    f.Set(3, 0, "32000");
    EXPECT_EQ(f.Text(C::kTimeoutId), "1 sec");
    EXPECT_FALSE(hwc::WatchdogCountsCrystal(*f.clock));

    CCopFixture famF({CModule::kFamF});
    famF.Open();
    famF.Set(3, 0, "20000");
    EXPECT_EQ(famF.Text(C::kTimeoutId), "100 ms");
    EXPECT_EQ(famF.Control(C::kClockSourceId).Items()[3], "Low speed oscillator");

    // Elsewhere the fourth source is the 1 kHz oscillator.
    CCopFixture famA({CModule::kFamA});
    famA.Open();
    famA.Set(3, 0, "1000");
    EXPECT_EQ(famA.Text(C::kTimeoutId), "1 sec");
}

TEST(CpmCOP_FamA, DivisorsOutsideTheCounterShowOff) {
    CCopFixture f({CModule::kFamA});
    f.Open();
    f.Set(0, 0, "0");
    EXPECT_EQ(f.Text(C::kTimeoutId), "OFF");
    f.Set(0, 0, "1");
    EXPECT_EQ(f.Text(C::kTimeoutId), "0.125 us");
    // A header value wider than the register is no timeout.
    f.cop->Item(C::kTimeoutItem).dwValue = 0x10001;
    f.cop->Recalculate();
    EXPECT_EQ(f.Text(C::kTimeoutId), "OFF");

    // The counter of FamG stops at 4096.
    CCopFixture famG({CModule::kFamG});
    famG.Open();
    famG.Set(0, 0, "4096");
    EXPECT_EQ(famG.Text(C::kTimeoutId), "0.512 ms");
    famG.Set(0, 0, "5000");
    EXPECT_EQ(famG.Text(C::kTimeoutId), "OFF");
    EXPECT_EQ(C::CountTime(4096, 4096, 1.0), 0.004096);
    EXPECT_EQ(C::CountTime(4097, 4096, 1.0), 0.0);
    EXPECT_EQ(C::CountTime(5000, 4096, 1.0), 0.0);
    EXPECT_EQ(C::CountTime(0, 65536, 1.0), 0.0);
    EXPECT_EQ(C::CountTime(65535, 65535, 0.0), 0.0);
    EXPECT_EQ(C::CountTime(65535, 65535, -1.0), 0.0);
}

TEST(CpmCOP_FamA, WarningAndWindowTimes) {
    CCopFixture f({CModule::kFamD});
    f.clock->busMHz = 50.0f;
    f.Open();
    f.Set(2, 0, "50000");
    CPage& page = *f.cop->Page();
    page.UserClick(f.Control(C::kWarningInterruptId));
    EXPECT_EQ(f.Ctrl() & 0x80u, 0x80u);
    page.UserEdit(f.Control(C::kInterruptValueId), "5000");
    page.UserEdit(f.Control(C::kWindowValueId), "25000");
    f.cop->Recalculate();
    EXPECT_EQ(f.Text(C::kTimeoutId), "1 ms");
    EXPECT_EQ(f.Text(C::kInterruptTimeId), "100 us");
    EXPECT_EQ(f.Text(C::kWindowTimeId), "0.5 ms");
    page.UserEdit(f.Control(C::kInterruptValueId), "0");
    page.UserEdit(f.Control(C::kWindowValueId), "0");
    f.cop->Recalculate();
    EXPECT_EQ(f.Text(C::kInterruptTimeId), "OFF");
    EXPECT_EQ(f.Text(C::kWindowTimeId), "OFF");
    // A typed value beyond the register is refused and the register keeps its value.
    page.UserEdit(f.Control(C::kInterruptValueId), "65536");
    EXPECT_EQ(f.cop->Item(C::kInterruptValueItem).dwValue, 0u);
}

TEST(CpmCOP_FamA, ClockSourceListsByGroup) {
    using V = std::vector<std::string>;
    const struct {
        int group;
        V items;
    } cases[] = {
        {kFamC, {"Relaxation oscilator", "Crystal oscilator / XTAL", "IP BUS clock"}},
        {CModule::kFamE,
         {"Relaxation oscillator", "Crystal oscillator", "IP BUS clock", "Low speed oscillator"}},
        {CModule::kFamF,
         {"Relaxation oscillator", "Crystal oscillator", "IP BUS clock", "Low speed oscillator"}},
        {CModule::kFamD,
         {"8MHz clock from 48MHz/6", "Crystal oscillator", "IP BUS clock", "Low speed oscillator"}},
        {CModule::kFamA,
         {"Relaxation oscillator", "Crystal oscilator / XTAL", "IP BUS clock", "1 KHz oscilator"}},
    };
    for (const auto& c : cases) {
        CCopFixture f({c.group});
        f.Open();
        EXPECT_EQ(f.Control(C::kClockSourceId).Items(), c.items) << c.group;
    }
}

TEST(CpmCOP_FamA, SourceTheListLacksIsKeptAndCounted) {
    // FamC offers three sources; a header may still hold the fourth.
    CCopFixture f({kFamC});
    f.cop->Item(C::kControlItem).dwValue = 0x362; // source 3, prescaler 3, enabled
    f.cop->Item(C::kTimeoutItem).dwValue = 1;
    f.Open();
    EXPECT_EQ(f.Control(C::kClockSourceId).Selection(), -1);
    EXPECT_TRUE(f.cop->Validate(false));
    EXPECT_EQ(f.cop->ValidationProblem(), "");
    f.cop->ApplyControls();
    f.cop->RefreshControls();
    EXPECT_EQ(f.Ctrl(), 0x362u);
    // The time follows the 1 kHz oscillator divided by 1024.
    f.cop->Recalculate();
    EXPECT_EQ(f.Text(C::kTimeoutId), "1.024 sec");
    std::string text;
    f.cop->GetHeaderText(text);
    EXPECT_NE(text.find("0x0362U"), std::string::npos) << text;

    // Choosing a listed source replaces it; no selection of a listed value stays invalid.
    f.cop->Page()->UserSelect(f.Control(C::kClockSourceId), 2);
    EXPECT_EQ(f.Ctrl(), 0x342u);
    f.Control(C::kClockSourceId).SetSelection(-1);
    EXPECT_FALSE(f.cop->Validate(false));
}

TEST(CpmCOP_FamA, NoClockModuleGivesOffAndNoClockWarnings) {
    CCopFixture f({CModule::kFamE}, false);
    f.Open();
    for (int source : {1, 2}) {
        f.Set(source, 0, "1000");
        EXPECT_EQ(f.Text(C::kTimeoutId), "OFF") << source;
        for (int id : {C::kTimeoutId, C::kInterruptTimeId}) {
            EXPECT_EQ(f.Text(id).find("inf"), std::string::npos);
            EXPECT_EQ(f.Text(id).find("nan"), std::string::npos);
        }
        EXPECT_EQ(f.SourceWarning(), "") << source;
    }
    // The fixed oscillators need no clock module.
    f.Set(0, 0, "8000");
    EXPECT_EQ(f.Text(C::kTimeoutId), "1 ms");
    f.Set(3, 0, "1000");
    EXPECT_EQ(f.SourceWarning(), "");
}

TEST(CpmCOP_FamA, ClockSourceWarningsOfTheClockModule) {
    CCopFixture f({CModule::kFamF});
    f.Open();
    f.Set(0, 0, "1000");
    EXPECT_EQ(f.SourceWarning(), "");
    f.clock->relaxationOff = true;
    EXPECT_EQ(f.SourceWarning(), C::kRelaxationWarning);
    // The label keeps its caption.
    EXPECT_EQ(f.Text(C::kClockSourceLabelId), "COP clock source:");
    f.Set(1, 0, "1000");
    EXPECT_EQ(f.SourceWarning(), "");
    f.clock->crystalDown = true;
    EXPECT_EQ(f.SourceWarning(), C::kCrystalWarning);
    f.clock->crystalDown = false;
    // A crystal without frequency is not there either.
    f.host.crystal = 0.0f;
    EXPECT_EQ(f.SourceWarning(), C::kCrystalWarning);
    EXPECT_EQ(f.Text(C::kTimeoutId), "OFF");
    f.Set(3, 0, "1000");
    EXPECT_EQ(f.SourceWarning(), "");
    f.clock->lowSpeedOff = true;
    EXPECT_EQ(f.SourceWarning(), C::kLowSpeedWarning);
    f.Set(2, 0, "1000");
    EXPECT_EQ(f.SourceWarning(), "");
    EXPECT_FALSE(f.host.Warns(C::kClockSourceLabelId));

    // FamC has no low-speed oscillator check.
    CCopFixture famC({kFamC});
    famC.clock->lowSpeedOff = true;
    famC.cop->Item(C::kControlItem).dwValue = 0x362;
    famC.Open();
    EXPECT_EQ(famC.SourceWarning(), "");
}

TEST(CpmCOP_FamA, PowerAndSystemModulesOfFamA) {
    CCopFixture f({CModule::kFamA, 104});
    CpmPMC& pmc = f.host.Add<CpmPMC>("PMC", "PMC");
    CpmSYS_FamA& sys = f.host.Add<CpmSYS_FamA>("SYS", "SYS_FamA");
    f.Open();
    tPerCfgItem* pce = sys.FindRegister("SIM_PCE_INIT", nullptr);
    ASSERT_NE(pce, nullptr);

    f.Set(3, 0, "1000");
    pmc.Item(CpmPMC::kCr2Item).dwValue = 0xFF; // 1 kHz oscillator off
    EXPECT_EQ(f.SourceWarning(), C::kPowerOscillatorWarning);
    pmc.Item(CpmPMC::kCr2Item).dwValue = 0x1FF;
    EXPECT_EQ(f.SourceWarning(), "");

    f.Set(2, 0, "1000");
    pce->dwValue = 0;
    EXPECT_EQ(f.SourceWarning(), C::kBusClockWarning);
    pce->dwValue = 0xFFFF;
    EXPECT_EQ(f.SourceWarning(), "");

    // Without those modules nothing says the clocks are off.
    CCopFixture alone({CModule::kFamA, 104});
    alone.Open();
    alone.Set(3, 0, "1000");
    EXPECT_EQ(alone.SourceWarning(), "");
    alone.Set(2, 0, "1000");
    EXPECT_EQ(alone.SourceWarning(), "");

    // The newer groups do not ask them.
    CCopFixture famE({CModule::kFamE});
    famE.host.Add<CpmPMC>("PMC", "PMC").Item(CpmPMC::kCr2Item).dwValue = 0xFF;
    famE.Open();
    famE.Set(3, 0, "1000");
    EXPECT_EQ(famE.SourceWarning(), "");
}

TEST(CpmCOP_FamA, InterruptRowsAndEnable) {
    CCopFixture famC({kFamC}, true, "0");
    famC.Open();
    EXPECT_TRUE(famC.cop->InterruptRows().empty());
    EXPECT_FALSE(famC.Shown(C::kIsrNameLabelId));
    EXPECT_FALSE(famC.Shown(C::kInterruptGroupId));
    EXPECT_FALSE(famC.Shown(C::kUserVectorNoteId));

    CCopFixture famA({CModule::kFamA}, true, "INT:11:");
    famA.Open();
    ASSERT_EQ(famA.cop->InterruptRows().size(), 1u);
    EXPECT_EQ(famA.cop->InterruptRows().front().vector, 11);
    EXPECT_TRUE(famA.Shown(C::kIsrNameLabelId));

    // Out of reset the watchdog runs; others may ask.
    EXPECT_TRUE(hwc::ModuleEnabled(*famA.clock, "COP", false));
    famA.cop->Page()->UserClick(famA.Control(C::kEnableId));
    EXPECT_FALSE(hwc::ModuleEnabled(*famA.clock, "COP", true));

    std::string summary;
    famA.cop->GetSummary(summary);
    EXPECT_NE(summary.find("COP clock source: Relaxation oscillator"), std::string::npos)
        << summary;
    EXPECT_NE(summary.find("Prescaler: input / 1024"), std::string::npos) << summary;
}

TEST(CpmCOP_FamA, OwnsTheWatchdogDefinesBesideTheClockModule) {
    CCopHost host;
    host.groups = {CModule::kFamE, 48};
    CpmOCCS& occs = host.Add<CpmOCCS>("OCCS", "OCCS");
    C& cop = host.Add<C>("COP", "COP_FamA");
    host.BindAll();

    CAppcfgFile header;
    Define(header, "COP_COPCTL_INIT", "0x0322U");
    Define(header, "COP_COPTO_INIT", "0x1F40U");
    occs.LoadFromHeader(&header);
    cop.LoadFromHeader(&header);
    EXPECT_EQ(cop.Item(C::kControlItem).dwValue, 0x322u);
    EXPECT_EQ(cop.Item(C::kTimeoutItem).dwValue, 0x1F40u);

    std::string clockText;
    occs.GetHeaderText(clockText);
    EXPECT_EQ(clockText.find("COP_"), std::string::npos) << clockText;
    std::string copText;
    cop.GetHeaderText(copText);
    EXPECT_NE(copText.find("#define COP_COPTO_INIT"), std::string::npos) << copText;

    // A register written by name reaches the watchdog, whichever module is asked.
    CModuleBase* owner = nullptr;
    EXPECT_EQ(occs.FindRegister("COP_COPTO_INIT", &owner), &cop.Item(C::kTimeoutItem));
    EXPECT_EQ(owner, &cop);
}
