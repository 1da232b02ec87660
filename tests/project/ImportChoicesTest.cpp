// Importing module settings: the lists the import dialog shows, the registers chosen by name, the
// OK button's checks and messages, and the generation rule on the example projects.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "model/ModuleBase.h"
#include "modules/communication/CpmSPI.h"
#include "modules/timers/CpmPIT.h"
#include "project/ImportChoices.h"
#include "project/ProjDoc.h"
#include "support/ModuleTestHost.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;
using namespace hwc;
using hwc::test::CModuleTestHost;

namespace {

const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, RegFlag::DW16},
    {"KEY_INIT", 0, RegFlag::DW16 | RegFlag::NOIMPORT},
    {"_dummy_", 0, RegFlag::DW16 | RegFlag::DUMMYREG},
    {"-SHARED_INIT", 0, RegFlag::DW8},
    {"MOD_INIT", 0, RegFlag::DW16},
};

// A module with registers of every import kind.
class CpmImportTest : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmImportTest, CModuleBase)
public:
    CpmImportTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 100, descriptor, kRegisters, 5) {}
};

// A module without registers (a folder of the tree).
class CpmEmptyTest : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmEmptyTest, CModuleBase)
public:
    CpmEmptyTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 101, descriptor, nullptr, 0) {}
};

CModuleDescriptor Named(const std::string& instance, const std::string& typeKey,
                        const std::string& title = {}) {
    CModuleDescriptor descriptor(instance, typeKey);
    descriptor.SetField(CModuleDescriptor::kDisplayName, title);
    return descriptor;
}

std::vector<std::string> Labels(const std::vector<tImportEntry>& entries) {
    std::vector<std::string> labels;
    for (const tImportEntry& entry : entries)
        labels.push_back(entry.label);
    return labels;
}

} // namespace

TEST(ImportChoices, DestinationsAreModulesWithRegistersToldApartByTypeKey) {
    CModuleTestHost host;
    auto& timer = host.Add<CpmImportTest>(Named("T0", "QT", "Timer"));
    host.Add<CpmEmptyTest>(Named("FOLDER", "VOID", "Folder"));
    auto& twin = host.Add<CpmImportTest>(Named("T1", "TMR", "Timer"));
    auto& untitled = host.Add<CpmImportTest>(Named("T2", "QT"));
    const auto entries = ImportDestinations(host);
    EXPECT_EQ(Labels(entries), (std::vector<std::string>{"Timer", "Timer (TMR)", "T2"}));
    EXPECT_EQ(entries[0].module, &timer);
    EXPECT_EQ(entries[1].module, &twin);
    EXPECT_EQ(PreselectedEntry(entries, &untitled), 2);
    EXPECT_EQ(PreselectedEntry(entries, host.modules[1].get()), 0); // not listed: the first
    EXPECT_EQ(PreselectedEntry(entries, nullptr), 0);
    EXPECT_EQ(PreselectedEntry({}, &timer), -1);
}

TEST(ImportChoices, SourcesOfTheCurrentProjectLeaveOutTheDestinationAndOtherKinds) {
    CModuleTestHost host;
    auto& pit0 = host.Add<CpmPIT>(Named("PIT0", "PIT", "Timer 0"));
    auto& pit1 = host.Add<CpmPIT>(Named("PIT1", "PIT", "Timer 1"));
    host.Add<CpmImportTest>(Named("T0", "QT"));
    host.BindAll();
    const auto entries = ImportSources(pit0, host, false);
    ASSERT_EQ(Labels(entries), std::vector<std::string>{"Timer 1"}); // unselected, yet no "(empty)"
    EXPECT_EQ(entries[0].module, &pit1);

    CModuleTestHost alone;
    auto& only = alone.Add<CpmPIT>(Named("PIT0", "PIT"));
    alone.BindAll();
    const auto none = ImportSources(only, alone, false);
    ASSERT_EQ(Labels(none), std::vector<std::string>{"n/a"});
    EXPECT_EQ(none[0].module, nullptr);
}

TEST(ImportChoices, SourcesOfAnotherProjectShowEmptyAndForbiddenModules) {
    CModuleTestHost famE;
    famE.groups = {test::kFamE};
    auto& pit = famE.Add<CpmPIT>(Named("PIT0", "PIT", "Timer"));
    auto& spi = famE.Add<CpmSPI>(Named("SPI_0", "SPI", "Serial"));
    famE.BindAll();

    CModuleTestHost famG;
    famG.groups = {test::kFamG};
    auto& written = famG.Add<CpmPIT>(Named("PIT0", "PIT", "Timer"));
    auto& unwritten = famG.Add<CpmPIT>(Named("PIT1", "PIT"));
    famG.Add<CpmSPI>(Named("SPI_0", "SPI", "Serial"));
    famG.BindAll();
    written.SetSelected(true);

    const auto timers = ImportSources(pit, famG, true);
    EXPECT_EQ(Labels(timers), (std::vector<std::string>{"Timer", "PIT1 (empty)"}));
    EXPECT_EQ(timers[0].module, &written);
    EXPECT_EQ(timers[1].module, &unwritten);

    const auto serial = ImportSources(spi, famG, true);
    ASSERT_EQ(Labels(serial), std::vector<std::string>{"Serial (forbidden)"});
    EXPECT_EQ(serial[0].module, nullptr);
}

TEST(ImportChoices, RegistersExcludeNoImportAndPlaceholdersAndAreChosenByAnyName) {
    CModuleTestHost host;
    auto& source = host.Add<CpmImportTest>(Named("T1", "QT"));
    auto& destination = host.Add<CpmImportTest>(Named("T0", "QT"));
    const auto registers = ImportableRegisters(source);
    ASSERT_EQ(registers.size(), 3u);
    EXPECT_EQ(registers[0].index, 0);
    EXPECT_EQ(registers[0].name, "T1_CTRL_INIT");
    EXPECT_EQ(registers[1].index, 3);
    EXPECT_EQ(registers[1].name, "SHARED_INIT");
    EXPECT_EQ(registers[2].index, 4);

    std::vector<std::string> unknown;
    const std::vector<int> chosen =
        ChooseImportRegisters(source, destination,
                              {"MOD_INIT", "T0_CTRL_INIT", "T1_CTRL_INIT", "SHARED_INIT",
                               "KEY_INIT", "_dummy_", "T1_MOD", "t1_mod_init", ""},
                              &unknown);
    EXPECT_EQ(chosen, (std::vector<int>{0, 3, 4}));
    EXPECT_EQ(unknown,
              (std::vector<std::string>{"KEY_INIT", "_dummy_", "T1_MOD", "t1_mod_init", ""}));
    EXPECT_TRUE(ChooseImportRegisters(source, destination, {}).empty());
}

TEST(ImportChoices, OkRefusesAnIncompleteChoiceBeforeAsking) {
    CModuleTestHost host;
    CScriptedMessages messages;
    auto& source = host.Add<CpmImportTest>(Named("T1", "QT"));
    auto& destination = host.Add<CpmImportTest>(Named("T0", "QT", "Timer"));
    source.Item(0).dwValue = 5;
    int asked = 0;
    const auto confirm = [&](CModuleBase&) { return ++asked > 0; };

    tImportRequest request;
    request.source = &source;
    tImportResult result = RunImport(request, confirm);
    EXPECT_EQ(result.outcome, EImportOutcome::kRefused);
    EXPECT_EQ(result.message, "Please select a valid destination module!");

    request = {};
    request.destination = &destination;
    result = RunImport(request, confirm);
    EXPECT_EQ(result.message, "Please select a valid source module!");

    request.source = &source;
    request.selectedOnly = true;
    result = RunImport(request, confirm);
    EXPECT_EQ(result.message, "No registers selected for importing!");
    EXPECT_EQ(result.icon, EImportIcon::Error);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(destination.Item(0).dwValue, 0u);
    EXPECT_EQ(ImportConfirmation(destination), "Are you sure to modify the Timer module settings?");
}

TEST(ImportChoices, OkImportsAfterConfirmationAndReportsTheOutcome) {
    CModuleTestHost host;
    CScriptedMessages messages;
    auto& source = host.Add<CpmImportTest>(Named("T1", "QT"));
    auto& destination = host.Add<CpmImportTest>(Named("T0", "QT", "Timer"));
    for (int i = 0; i < source.ItemCount(); ++i)
        source.Item(i).dwValue = 10 + i;

    tImportRequest request;
    request.destination = &destination;
    request.source = &source;
    tImportResult result = RunImport(request, [](CModuleBase&) { return false; });
    EXPECT_EQ(result.outcome, EImportOutcome::kStopped);
    EXPECT_TRUE(result.message.empty());
    EXPECT_EQ(destination.Item(0).dwValue, 0u);

    // Only a register that is never imported chosen: nothing changes.
    request.selectedOnly = true;
    request.selected = {1};
    result = RunImport(request, nullptr);
    EXPECT_EQ(result.outcome, EImportOutcome::kUnchanged);
    EXPECT_EQ(result.message, "The destination module was NOT changed!");
    EXPECT_EQ(result.icon, EImportIcon::Warning);

    request.selected = {4};
    CModuleBase* confirmed = nullptr;
    result = RunImport(request, [&](CModuleBase& module) {
        confirmed = &module;
        return true;
    });
    EXPECT_EQ(confirmed, &destination);
    EXPECT_EQ(result.outcome, EImportOutcome::kUpdated);
    EXPECT_EQ(result.message, "Module Timer was successfully updated");
    EXPECT_EQ(destination.Item(4).dwValue, 14u);
    EXPECT_EQ(destination.Item(0).dwValue, 0u);

    request.selectedOnly = false;
    EXPECT_EQ(RunImport(request, nullptr).outcome, EImportOutcome::kUpdated);
    EXPECT_EQ(destination.Item(0).dwValue, 10u);
    EXPECT_EQ(destination.Item(1).dwValue, 0u); // never imported
    EXPECT_EQ(destination.Item(2).dwValue, 0u); // placeholder
    EXPECT_TRUE(messages.shown.empty());
}

namespace {

class ImportExampleProjects : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;

    // Opens an example as the import dialog opens another project.
    std::unique_ptr<CProjDoc> Open(const std::string& example) {
        auto document = std::make_unique<CProjDoc>();
        document->SetBatchMode(nullptr);
        EXPECT_TRUE(document->OpenProject(HWC_TEST_SOURCE_DIR "/examples/" + example)) << example;
        return document;
    }

    CScriptedMessages m_messages;
};

} // namespace

TEST_F(ImportExampleProjects, ClockModulesOfAnotherGenerationAreForbiddenAndCopyNothing) {
    struct tCase {
        const char* destination;
        const char* source;
        bool forbidden;
    };
    // The first two generations share a processor family, the last two share none of the
    // families the rule names: both pairs are told apart by their page layout.
    const tCase cases[] = {
        {"K7Q2020-power-supply", "K7Q2620-hvac-fan", true},
        {"K7Q0820-battery-charger", "K7Q3320-solar-inverter", true},
        {"K7Q3320-solar-inverter", "K7Q1030-pump-control", true},
        {"K7Q3320-solar-inverter", "K7Q4250-bldc-fan", false},
    };
    for (const tCase& test : cases) {
        SCOPED_TRACE(std::string(test.destination) + " from " + test.source);
        const auto destination = Open(test.destination);
        const auto source = Open(test.source);
        CModuleBase* to = destination->FindModule("OCCS", "OCCS");
        CModuleBase* from = source->FindModule("OCCS", "OCCS");
        ASSERT_TRUE(to && from);
        bool forbidden = false;
        EXPECT_EQ(to->IsImportCompatible(*from, forbidden), !test.forbidden);
        EXPECT_EQ(forbidden, test.forbidden);
        bool listed = false;
        for (const tImportEntry& entry : ImportSources(*to, *source, true)) {
            if (entry.label.starts_with(from->Title() + " (forbidden)"))
                listed = entry.module == nullptr && test.forbidden;
            else if (entry.module == from)
                listed = !test.forbidden;
        }
        EXPECT_TRUE(listed);
        if (!test.forbidden)
            continue;
        std::vector<std::uint32_t> before;
        for (int i = 0; i < to->ItemCount(); ++i)
            before.push_back(to->Item(i).dwValue);
        m_messages.Answer(EAnswer::Yes);
        EXPECT_FALSE(to->ImportFrom(*from, nullptr, true));
        for (int i = 0; i < to->ItemCount(); ++i)
            EXPECT_EQ(to->Item(i).dwValue, before[static_cast<std::size_t>(i)]) << i;
    }
}

TEST_F(ImportExampleProjects, StatusNamesTheOtherProjectAndItsProcessor) {
    const auto other = Open("K7Q2620-hvac-fan");
    EXPECT_EQ(ImportSourceStatus(nullptr), " Importing from the current project...");
    EXPECT_EQ(ImportSourceStatus(other.get()), other->ProjectFilePath() + " (K7Q2620)");
    EXPECT_TRUE(fs::path(other->ProjectFilePath()).is_absolute());
}
