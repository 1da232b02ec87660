// The clock module in the example projects: each shows its clocks on its page, a register
// changed from outside recomputes the clocks and the timers that read them, and a re-process
// keeps every clock register.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "modules/framework/CModule.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/timers/CpmPIT.h"
#include "project/ProjDoc.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class OccsExampleProjects : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;

    // A copy of the example, so that saving leaves the committed files alone.
    fs::path Copy(const std::string& example) {
        const fs::path project = m_root / example;
        CopyExample(example, project);
        return project;
    }

    // The shown text of a page control, as the headless page command prints it.
    static std::string Shown(CProjDoc& document, CModuleBase& module, int id) {
        EXPECT_TRUE(hwc::ShowModulePage(document, module));
        const std::string prefix = std::to_string(id) + "\t";
        for (const std::string& line : hwc::DescribePageControls(*module.Page())) {
            if (line.rfind(prefix, 0) == 0)
                return line.substr(line.rfind('\t') + 1);
        }
        return "(no control)";
    }

    static std::string WarningTexts(const CProjDoc& document) {
        std::string texts;
        for (const auto& warning : document.Warnings().Items())
            texts += warning->text + "\n";
        return texts;
    }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-occs"};
};

// The defines of the clock module's registers (prefixed or not) with their values.
std::map<std::string, std::string> ClockDefines(const fs::path& header) {
    CAppcfgFileReader reader;
    EXPECT_TRUE(reader.OpenAndRead(header.string(), false, false)) << header;
    std::map<std::string, std::string> values;
    for (const CAppcfgEntry* entry : reader.Definitions().InFileOrder()) {
        if (hwc::StartsWith(entry->name, "OCCS_") || hwc::StartsWith(entry->name, "COP_") ||
            hwc::StartsWith(entry->name, "APPCFG_EXT"))
            values[entry->name] = hwc::Trim(entry->value.substr(0, entry->value.find("/*")));
    }
    return values;
}

} // namespace

TEST_F(OccsExampleProjects, EveryExampleShowsItsClocks) {
    struct tExample {
        const char* folder;
        const char* core;
        const char* highSpeed;
        float bus;
    };
    const tExample examples[] = {
        {"K7Q0820-battery-charger", "32 MHz", "96 MHz", 32},
        {"K7Q1030-pump-control", "80 MHz", "OFF", 40},
        {"K7Q2020-power-supply", "60 MHz", "OFF", 60},
        {"K7Q2150-servo-drive", "40 MHz", "OFF", 40},
        {"K7Q2320-sensor-node", "32 MHz", "96 MHz", 32},
        {"K7Q2430-digital-psu", "32 MHz", "96 MHz", 32},
        {"K7Q2620-hvac-fan", "60 MHz", "120 MHz", 60},
        {"K7Q3010-motor-drive", "4 MHz", "8 MHz", 4},
        {"K7Q3320-solar-inverter", "60 MHz", "120 MHz", 60},
        {"K7Q4250-bldc-fan", "40 MHz", "80 MHz", 40},
        {"K7Q5110-inverter", "100 MHz", "200 MHz", 100},
    };
    for (const tExample& example : examples) {
        SCOPED_TRACE(example.folder);
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(
            (fs::path(HWC_TEST_SOURCE_DIR "/examples") / example.folder).string()));
        document.CheckAllWarnings();
        auto* occs = dynamic_cast<CpmOCCS*>(document.FindModule("OCCS", "OCCS"));
        ASSERT_NE(occs, nullptr);
        EXPECT_EQ(Shown(document, *occs, CpmOCCS::kCoreFrequencyId), example.core);
        EXPECT_EQ(Shown(document, *occs, CpmOCCS::kHighSpeedFrequencyId), example.highSpeed);
        EXPECT_FLOAT_EQ(occs->PublishedBusClock(), example.bus);
        // The examples run within every limit.
        EXPECT_EQ(WarningTexts(document).find("frequency"), std::string::npos)
            << WarningTexts(document);
    }
}

TEST_F(OccsExampleProjects, RegisterChangesRecomputeClocksTimersAndWarnings) {
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(Copy("K7Q2320-sensor-node").string()));
    document.CheckAllWarnings();
    auto* pit = dynamic_cast<CpmPIT*>(document.FindModule("PIT0", "PIT"));
    ASSERT_NE(pit, nullptr);
    // 32 MHz / 64 / 31250.
    EXPECT_EQ(Shown(document, *pit, CpmPIT::kInterruptRateId), "16 Hz");

    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(document, "OCCS_PLLDB_INIT=0x2100", message)) << message;
    document.CheckAllWarnings();
    EXPECT_EQ(Shown(document, *pit, CpmPIT::kInterruptRateId), "8 Hz");

    // A system clock from the prescaler runs from the 8 MHz oscillator directly.
    ASSERT_TRUE(hwc::SetRegisterFromText(document, "OCCS_PLLCR_INIT=0x0001", message)) << message;
    document.CheckAllWarnings();
    EXPECT_EQ(Shown(document, *pit, CpmPIT::kInterruptRateId), "2 Hz");

    // Over the limits, and back.
    CProjDoc fan;
    ASSERT_TRUE(fan.OpenProject(Copy("K7Q3320-solar-inverter").string()));
    ASSERT_TRUE(hwc::SetRegisterFromText(fan, "OCCS_DIVBY_INIT=0x2033", message)) << message;
    fan.CheckAllWarnings();
    const std::string raised = WarningTexts(fan);
    EXPECT_NE(raised.find("PLL output frequency should be kept between 120 and 400 MHz"),
              std::string::npos)
        << raised;
    EXPECT_NE(raised.find("exceeds the maximum which is 100 MHz"), std::string::npos) << raised;
    ASSERT_TRUE(hwc::SetRegisterFromText(fan, "OCCS_DIVBY_INIT=0x201D", message)) << message;
    fan.CheckAllWarnings();
    EXPECT_EQ(WarningTexts(fan).find("frequency"), std::string::npos) << WarningTexts(fan);
}

TEST_F(OccsExampleProjects, ReprocessKeepsTheClockRegisters) {
    CScopedEnvironment epoch{"SOURCE_DATE_EPOCH", "0"};
    for (const char* example :
         {"K7Q1030-pump-control", "K7Q2430-digital-psu", "K7Q2620-hvac-fan", "K7Q5110-inverter"}) {
        SCOPED_TRACE(example);
        const fs::path project = Copy(example);
        const fs::path header = project / "ApplicationConfig/appconfig.h";
        const auto before = ClockDefines(header);
        ASSERT_FALSE(before.empty());
        CProjDoc document;
        tRunFlags flags;
        flags.reprocess = true;
        document.SetRunFlags(flags);
        ASSERT_TRUE(document.OpenProject(project.string()));
        ASSERT_TRUE(document.Save());
        EXPECT_EQ(ClockDefines(header), before);
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(OccsExampleProjects, CrystalEditGoesToTheDocument) {
    CScopedEnvironment epoch{"SOURCE_DATE_EPOCH", "0"};
    const fs::path project = Copy("K7Q5110-inverter");
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(project.string()));
    auto* occs = dynamic_cast<CpmOCCS*>(document.FindModule("OCCS", "OCCS"));
    ASSERT_NE(occs, nullptr);
    EXPECT_EQ(Shown(document, *occs, CpmOCCS::kCrystalFrequencyId), "16");
    CPage& page = *occs->Page();
    page.UserEdit(*page.FindControl(CpmOCCS::kCrystalFrequencyId), "8");
    EXPECT_EQ(Shown(document, *occs, CpmOCCS::kCoreFrequencyId), "50 MHz");
    EXPECT_TRUE(document.IsProjectModified());
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(ClockDefines(project / "ApplicationConfig/appconfig.h").at("APPCFG_EXTAL"),
              "8000000L");
}

TEST_F(OccsExampleProjects, TimerShownFirstAlreadyHasItsClock) {
    // No warnings pass has run yet: the clocks must be published by the load itself.
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(Copy("K7Q2430-digital-psu").string()));
    CModuleBase* timer = document.FindModule("PIT0");
    ASSERT_NE(timer, nullptr);
    ASSERT_TRUE(hwc::ShowModulePage(document, *timer));
    EXPECT_EQ(timer->Page()->FindControl(1654)->Text(), "1.06667 kHz");
}
