// A project put into words and two projects compared: what a small project's description holds
// (processor and clock macros, modules in tree order, summaries with comments forced on, plug-in
// parameters and bare defines, the user definitions), the exact text, the stability of both over
// every example, and each way two descriptions can differ.

#include "project/ProjectDescription.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "project/ProjDoc.h"
#include "project/SelfTest.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;
using namespace hwc;

namespace {

const char* const kArchFolder = HWC_TEST_SOURCE_DIR "/data/arch";

// A timer, a plug-in with an internal parameter, a bare define and a text, a user definition and
// the parameters of a module the project does not have; short clock macro names and a mask.
const char kHeader[] = R"(/*.
.*/
#define K7Q3010
#define APPCFG_PARTNUM  "K7Q3010VLF"
#define APPCFG_MASKNUM  "2N40C"
#define EXTAL 8000000L
#define APPCFG_DFLTS_OMITTED 1

/*.
    QT_A0 Configuration
--------------------------------------------
.*/
/*. Internal HWC parameters, do not edit!
    [PARAMETERS:GONE]
    PERIOD_US=1000
.*/
#define QT_A0_CTRL_INIT                   0x3026U
#define QT_A0_CMP1_INIT                   0x1D4BU
/*. Internal HWC parameters, do not edit!
    [PARAMETERS:NOTE]
    LEVEL=5
.*/
#define NOTE_TRACE
#define NOTE_LABEL "xyz"
#define BOARD_REV 2
)";

const char kPlugin[] = R"([hwc_plugins]
plugin1=NOTE

[NOTE]
class=NOTEDRV
name=Note
treepath=Drivers\Note
registers=NOTE_REGS

[NOTE_REGS]
LEVEL=3;DW16|DECVALUE|INTERNAL
TRACE=0;NOVALUE
LABEL=abc;STRVALUE|QUOTEDVALUE
)";

std::vector<std::string> Instances(const tProjectDescription& description) {
    std::vector<std::string> names;
    for (const tModuleDescription& module : description.modules)
        names.push_back(module.instance);
    return names;
}

// "BLOCK: NAME=value" per value, the way a test reads them best.
std::vector<std::string> Values(const std::vector<tDescribedValue>& values) {
    std::vector<std::string> lines;
    for (const tDescribedValue& value : values)
        lines.push_back((value.parameterBlock.empty() ? "" : value.parameterBlock + ": ") +
                        value.name + "=" + value.value);
    return lines;
}

const tModuleDescription* Find(const tProjectDescription& description,
                               const std::string& instance) {
    for (const tModuleDescription& module : description.modules) {
        if (module.instance == instance)
            return &module;
    }
    return nullptr;
}

class ProjectDescriptionTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolder(kArchFolder);
        const fs::path config = m_root / "Board" / "ApplicationConfig";
        fs::create_directories(config / "note.hwc");
        WriteFileBytes(config / "appconfig.h", kHeader);
        WriteFileBytes(config / "note.hwc" / "note.ini", kPlugin);
        m_project = (m_root / "Board").string();
    }
    void TearDown() override { SetAppFolder(""); }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-describe"};
    std::string m_project;
};

} // namespace

TEST_F(ProjectDescriptionTest, HoldsProcessorMacrosAndTheWrittenModulesInTreeOrder) {
    CProjDoc document;
    document.SetBatchMode(nullptr);
    ASSERT_TRUE(document.OpenProject(m_project));
    const tProjectDescription description = DescribeProject(document);

    EXPECT_EQ(description.processorName, "K7Q3010");
    EXPECT_EQ(description.processorDefine, "K7Q3010");
    EXPECT_EQ(Values(description.macros),
              (std::vector<std::string>{"APPCFG_PARTNUM=\"K7Q3010VLF\"", "APPCFG_MASKNUM=\"2N40C\"",
                                        "EXTAL=8000000L"}));
    EXPECT_FALSE(description.defaultsWritten);
    // Only what the header writes: the clock module and the rest of the processor stay out.
    EXPECT_EQ(Instances(description), (std::vector<std::string>{"QT_A0", "NOTE", "UNREC"}));

    const tModuleDescription& timer = *Find(description, "QT_A0");
    EXPECT_EQ(timer.typeKey, "QT");
    EXPECT_EQ(Values(timer.values),
              (std::vector<std::string>{"QT_A0_CTRL_INIT=0x3026U", "QT_A0_CMP1_INIT=0x1D4BU"}));
    EXPECT_EQ(timer.summary.rfind("    QT_A0 Configuration\n-----", 0), 0u) << timer.summary;
    EXPECT_NE(timer.summary.find("\n    Compare 1: 0x1D4B\n"), std::string::npos) << timer.summary;
    // Repeated labels stay with every entry.
    int interrupts = 0;
    for (const tSettingText& setting : timer.settings)
        interrupts += setting.label == "Interrupts";
    EXPECT_EQ(interrupts, 5);

    const tModuleDescription& plugin = *Find(description, "NOTE");
    EXPECT_EQ(Values(plugin.values),
              (std::vector<std::string>{"NOTE: LEVEL=5", "NOTE_TRACE=", "NOTE_LABEL=\"xyz\""}));
    // The user definitions: the definitions as they stand, then the kept parameter block.
    const tModuleDescription& user = *Find(description, "UNREC");
    EXPECT_TRUE(user.summary.empty());
    EXPECT_EQ(Values(user.values),
              (std::vector<std::string>{"BOARD_REV=2", "GONE: PERIOD_US=1000"}));

    // A module taken out of the header is no longer described.
    document.FindModule("QT_A0", {})->SetSelected(false);
    EXPECT_EQ(Instances(DescribeProject(document)), (std::vector<std::string>{"NOTE", "UNREC"}));
}

TEST_F(ProjectDescriptionTest, SummariesHaveCommentsWhateverTheOptionWhichIsRestored) {
    CProjDoc document;
    document.SetBatchMode(nullptr);
    ASSERT_TRUE(document.OpenProject(m_project));
    CProjDocBase::tOptions options = document.Options();
    options.generateComments = false;
    document.SetOptions(options);
    const bool modified = document.IsProjectModified();
    const tProjectDescription description = DescribeProject(document);
    EXPECT_FALSE(document.GenerateComments());
    EXPECT_EQ(document.IsProjectModified(), modified);
    EXPECT_NE(Find(description, "QT_A0")->summary.find("Compare 1: 0x1D4B"), std::string::npos);
}

TEST_F(ProjectDescriptionTest, ClockMacrosAreWrittenAsTheHeaderWouldWriteThem) {
    CProjDoc document;
    document.SetBatchMode(nullptr);
    ASSERT_TRUE(document.OpenProject(m_project));
    // A changed frequency is written in whole hertz; a new clock gets the short name too.
    document.SetCrystalClockMHz(12.5f);
    document.SetExternalClockMHz(4.0f);
    EXPECT_EQ(Values(DescribeProject(document).macros),
              (std::vector<std::string>{"APPCFG_PARTNUM=\"K7Q3010VLF\"", "APPCFG_MASKNUM=\"2N40C\"",
                                        "EXTCLK=4000000L", "EXTAL=12500000L"}));
    document.SetCrystalClockMHz(0.0f);
    document.SetExternalClockMHz(0.0f);
    EXPECT_EQ(Values(DescribeProject(document).macros).size(), 2u);
}

TEST_F(ProjectDescriptionTest, DefaultsWrittenBringBareDefinesWrittenAsAbsent) {
    std::string header = kHeader;
    header.replace(header.find("#define APPCFG_DFLTS_OMITTED 1\n"), 31, "");
    header.replace(header.find("#define NOTE_TRACE\n"), 19, "");
    WriteFileBytes(m_root / "Board" / "ApplicationConfig" / "appconfig.h", header);
    CProjDoc document;
    document.SetBatchMode(nullptr);
    ASSERT_TRUE(document.OpenProject(m_project));
    const tProjectDescription description = DescribeProject(document);
    EXPECT_TRUE(description.defaultsWritten);
    EXPECT_EQ(
        Values(Find(description, "NOTE")->values),
        (std::vector<std::string>{"NOTE: LEVEL=5", "NOTE_TRACE=#undef", "NOTE_LABEL=\"xyz\""}));
    const std::string text = DescribeText(description);
    EXPECT_NE(text.find("\n    #undef NOTE_TRACE\n"), std::string::npos) << text;
}

// A value the header held as no number stays with the user definitions until the register is
// set; from then on the module writes it and the user definitions no longer do.
TEST_F(ProjectDescriptionTest, UnreadableValueMovesToItsModuleOnceSet) {
    std::string header = kHeader;
    header.replace(header.find("#define BOARD_REV 2\n"), 20,
                   "#define BOARD_REV 2\n#define QT_A0_CMP2_INIT (PERIOD - 1)\n");
    WriteFileBytes(m_root / "Board" / "ApplicationConfig" / "appconfig.h", header);
    CProjDoc document;
    document.SetBatchMode(nullptr);
    ASSERT_TRUE(document.OpenProject(m_project));
    EXPECT_EQ(Values(Find(DescribeProject(document), "UNREC")->values),
              (std::vector<std::string>{"BOARD_REV=2", "QT_A0_CMP2_INIT=(PERIOD - 1)",
                                        "GONE: PERIOD_US=1000"}));
    std::string message;
    ASSERT_TRUE(SetRegisterFromText(document, "QT_A0_CMP2_INIT=5", message)) << message;
    const tProjectDescription description = DescribeProject(document);
    EXPECT_EQ(Values(Find(description, "UNREC")->values),
              (std::vector<std::string>{"BOARD_REV=2", "GONE: PERIOD_US=1000"}));
    EXPECT_EQ(Values(Find(description, "QT_A0")->values),
              (std::vector<std::string>{"QT_A0_CTRL_INIT=0x3026U", "QT_A0_CMP1_INIT=0x1D4BU",
                                        "QT_A0_CMP2_INIT=0x0005U"}));
}

TEST(ProjectDescriptionText, IsHeadingSummaryAndValuesPerModule) {
    tProjectDescription description;
    description.processorName = "K7Q5110";
    description.processorDefine = "K7Q5110EVK";
    description.macros = {{"APPCFG_PARTNUM", "\"K7Q5110VLL\"", {}},
                          {"APPCFG_EXTAL", "16000000L", {}}};
    description.defaultsWritten = false;
    description.modules = {
        {"PIT0",
         "PIT",
         "PIT0",
         "    PIT0 Configuration\n----\n    Clock Prescaler: / 8",
         {},
         {{"PIT0_CTRL_INIT", "0x0033U", {}}, {"PERIOD", "10", "PIT0"}}},
        {"DRV",
         "DRVKEY",
         "Serial driver",
         "",
         {},
         {{"DRV_TRACE", "", {}}, {"DRV_DEBUG", "#undef", {}}}},
    };
    EXPECT_EQ(DescribeText(description), "Processor: K7Q5110 (K7Q5110EVK)\n"
                                         "APPCFG_PARTNUM = \"K7Q5110VLL\"\n"
                                         "APPCFG_EXTAL = 16000000L\n"
                                         "Registers at their defaults: omitted\n"
                                         "\n"
                                         "PIT0 (PIT)\n"
                                         "    PIT0 Configuration\n"
                                         "----\n"
                                         "    Clock Prescaler: / 8\n"
                                         "    PIT0_CTRL_INIT = 0x0033U\n"
                                         "    PIT0: PERIOD = 10\n"
                                         "\n"
                                         "DRV (DRVKEY): Serial driver\n"
                                         "    DRV_TRACE\n"
                                         "    #undef DRV_DEBUG\n");

    // Without a known processor the define names it; without either it is unknown.
    description.processorName.clear();
    EXPECT_EQ(DescribeText(description).rfind("Processor: K7Q5110EVK\n", 0), 0u);
    description.processorDefine.clear();
    EXPECT_EQ(DescribeText(description).rfind("Processor: unknown\n", 0), 0u);
}

// Every example: the same text from two openings (with different banner dates in force), no
// path in it, and nothing to report against itself.
TEST(ProjectDescriptionExamples, AreStableAndEqualToThemselves) {
    SetAppFolder(kArchFolder);
    CScriptedMessages messages;
    int examples = 0;
    for (const auto& entry : fs::directory_iterator(HWC_TEST_SOURCE_DIR "/examples")) {
        if (!entry.is_directory())
            continue;
        ++examples;
        const std::string path = entry.path().string();
        CScopedEnvironment epoch("SOURCE_DATE_EPOCH", "0");
        CProjDoc first;
        first.SetBatchMode(nullptr);
        ASSERT_TRUE(first.OpenProject(path)) << path;
        const tProjectDescription a = DescribeProject(first);
        epoch.Set("1700000000");
        CProjDoc second;
        second.SetBatchMode(nullptr);
        ASSERT_TRUE(second.OpenProject(path)) << path;
        const tProjectDescription b = DescribeProject(second);
        const std::string text = DescribeText(a);
        EXPECT_EQ(text, DescribeText(b)) << path;
        EXPECT_EQ(text.find(HWC_TEST_SOURCE_DIR), std::string::npos) << path;
        EXPECT_GT(a.modules.size(), 0u) << path;
        EXPECT_TRUE(DiffProjects(a, b).empty()) << path;
        EXPECT_FALSE(first.IsProjectModified()) << path;
    }
    EXPECT_GE(examples, 12);
    SetAppFolder("");
}

namespace {

tProjectDescription Board() {
    tProjectDescription description;
    description.processorName = "K7Q5110";
    description.processorDefine = "K7Q5110EVK";
    description.macros = {{"APPCFG_EXTAL", "16000000L", {}}};
    description.modules = {
        {"PIT0",
         "PIT",
         "PIT0",
         "",
         {{"Counter Enable", "Enable"}, {"Clock Prescaler", "/ 64"}, {"", "Count up"}},
         {{"PIT0_CTRL_INIT", "0x0033U", {}}, {"PIT0_MOD_INIT", "0x3D08U", {}}}},
        {"QT_A0",
         "QT",
         "QT_A0",
         "",
         {{"Interrupts", "Compare: Disable"}, {"Interrupts", "Overflow: Disable"}},
         {{"QT_A0_CTRL_INIT", "0x3026U", {}}}},
    };
    return description;
}

std::vector<std::string> Diff(const tProjectDescription& a, const tProjectDescription& b) {
    return DiffProjects(a, b);
}

using Lines = std::vector<std::string>;

} // namespace

TEST(ProjectDiff, EqualProjectsGiveNothing) {
    EXPECT_TRUE(Diff(Board(), Board()).empty());
    EXPECT_TRUE(Diff(tProjectDescription(), tProjectDescription()).empty());
}

TEST(ProjectDiff, OneSettingAndItsRegister) {
    tProjectDescription b = Board();
    b.modules[0].settings[1].value = "/ 128";
    b.modules[0].values[0].value = "0x003BU";
    EXPECT_EQ(Diff(Board(), b), (Lines{"PIT0: Clock Prescaler: / 64 -> / 128",
                                       "PIT0: PIT0_CTRL_INIT: 0x0033U -> 0x003BU"}));
}

TEST(ProjectDiff, ModulesOnlyInOneSideInTheirPlace) {
    tProjectDescription b = Board();
    b.modules.erase(b.modules.begin());
    b.modules.push_back({"DRV", "DRVKEY", "Serial driver", "", {}, {{"DRV_TRACE", "", {}}}});
    b.modules[0].values[0].value = "0x3027U";
    EXPECT_EQ(Diff(Board(), b),
              (Lines{"Only in A: PIT0", "QT_A0: QT_A0_CTRL_INIT: 0x3026U -> 0x3027U",
                     "Only in B: DRV (Serial driver)"}));
    EXPECT_EQ(Diff(b, Board()), (Lines{"QT_A0: QT_A0_CTRL_INIT: 0x3027U -> 0x3026U",
                                       "Only in A: DRV (Serial driver)", "Only in B: PIT0"}));
}

TEST(ProjectDiff, ProcessorsFirstThenMacrosThenModulesByInstance) {
    tProjectDescription b = Board();
    b.processorName = "K7Q2320";
    b.processorDefine = "K7Q2320";
    b.macros = {{"APPCFG_PARTNUM", "\"K7Q2320VFM\"", {}}};
    b.defaultsWritten = false;
    b.modules[1].settings.clear();
    EXPECT_EQ(Diff(Board(), b), (Lines{"Processors differ: K7Q5110 / K7Q2320",
                                       "APPCFG_EXTAL: 16000000L -> (not written)",
                                       "APPCFG_PARTNUM: (not written) -> \"K7Q2320VFM\"",
                                       "Registers at their defaults: written -> omitted",
                                       "QT_A0: Interrupts: Compare: Disable -> (none)",
                                       "QT_A0: Interrupts: Overflow: Disable -> (none)"}));
    // The define alone differs: the same processor under another macro.
    tProjectDescription alias = Board();
    alias.processorDefine = "K7Q5110";
    EXPECT_EQ(Diff(Board(), alias), (Lines{"Processors differ: K7Q5110 / K7Q5110"}));
}

TEST(ProjectDiff, RepeatedLabelsMatchByOccurrenceAndUnlabelledByPosition) {
    tProjectDescription b = Board();
    b.modules[1].settings[1].value = "Overflow: Enable";
    b.modules[0].settings[2].value = "Count down";
    b.modules[0].settings.push_back({"", "Count once"});
    b.modules[1].settings.push_back({"Interrupts", "Edge: Enable"});
    EXPECT_EQ(Diff(Board(), b), (Lines{"PIT0: Count up -> Count down", "PIT0: (none) -> Count once",
                                       "QT_A0: Interrupts: Overflow: Disable -> Overflow: Enable",
                                       "QT_A0: Interrupts: (none) -> Edge: Enable"}));
}

TEST(ProjectDiff, MissingSettingsAndValuesSayWhichSideLacksThem) {
    tProjectDescription b = Board();
    b.modules[0].settings.erase(b.modules[0].settings.begin());
    b.modules[0].values.erase(b.modules[0].values.begin() + 1);
    b.modules[0].values.push_back({"PIT0_TRACE", "", {}});
    b.modules[0].values.push_back({"PERIOD", "10", "PIT0"});
    EXPECT_EQ(Diff(Board(), b), (Lines{"PIT0: Counter Enable: Enable -> (none)",
                                       "PIT0: PIT0_MOD_INIT: 0x3D08U -> (not written)",
                                       "PIT0: PIT0_TRACE: (not written) -> (defined)",
                                       "PIT0: PIT0: PERIOD: (not written) -> 10"}));
}

TEST(ProjectDiff, ModulesSharingAnInstanceNameAreToldApartByTitle) {
    tProjectDescription a = Board();
    a.modules.push_back({"UNREC", "UNREC", "UNREC", "", {}, {{"BOARD_REV", "2", {}}}});
    a.modules.push_back(
        {"UNREC", "UNREC", "User definitions of drv.h", "", {}, {{"DRV_X", "1", {}}}});
    tProjectDescription b = a;
    b.modules[3].values[0].value = "2";
    EXPECT_EQ(Diff(a, b), (Lines{"UNREC (User definitions of drv.h): DRV_X: 1 -> 2"}));
    // The one left in B is matched by its title, not by its place.
    b.modules.erase(b.modules.begin() + 2);
    EXPECT_EQ(Diff(a, b),
              (Lines{"Only in A: UNREC", "UNREC (User definitions of drv.h): DRV_X: 1 -> 2"}));
}
