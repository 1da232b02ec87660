// Undo and redo on a whole project: a series of changes from a page, the registers view and a
// plug-in's page script, taken back to the saved header byte for byte and done again.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "model/ModuleBase.h"
#include "modules/timers/CpmPIT.h"
#include "modules/framework/CHtmlModule.h"
#include "plugins/ConfigToolObj.h"
#include "plugins/PluginTestHost.h"
#include "project/ProjDoc.h"
#include "project/RegistersList.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// A document that records whether its displayed page was asked to commit, and can refuse.
class CUndoDoc : public CProjDoc {
public:
    bool refusePage = false;
    int commits = 0;

protected:
    bool CommitDisplayedPage() override {
        ++commits;
        return !refusePage;
    }
};

class ProjectUndo : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;
    void SetUp() override {
        CopyExample("K7Q5110-inverter", m_project);
        fs::copy(fs::path(HWC_TEST_SOURCE_DIR "/examples/plugins/ApplicationConfig/demo-driver.hwc"),
                 m_project / "ApplicationConfig" / "demo-driver.hwc", fs::copy_options::recursive);
        m_document.EnableUndo();
        ASSERT_TRUE(m_document.OpenProject(m_project.string()));
        m_document.IdleUpdate();
        // The driver is written, as in a project that uses it.
        Module("DEMO_DRV").SetSelected(true);
        m_document.Tree().RefreshStateImages();
        m_document.IdleUpdate();
        // The saved state every undo must come back to.
        ASSERT_TRUE(m_document.Save());
        m_saved = ReadFileBytes(Header());
        m_savedDriver = ReadFileBytes(DriverHeader());
        ASSERT_FALSE(m_savedDriver.empty());
    }

    fs::path Header() const { return m_project / "ApplicationConfig" / "appconfig.h"; }
    fs::path DriverHeader() const { return m_project / "ApplicationConfig" / "demo_driver.h"; }
    CModuleBase& Module(const char* name) {
        CModuleBase* module = m_document.FindModule(name);
        EXPECT_NE(module, nullptr) << name;
        return *module;
    }
    CPageControl& Control(CModuleBase& module, int id) {
        module.CreatePage();
        CPageControl* control = module.FindControl(id);
        EXPECT_NE(control, nullptr) << id;
        return *control;
    }
    // The user picks another prescaler of PIT0 on its page.
    void ChangePrescaler(int index) {
        CModuleBase& timer = Module("PIT0");
        timer.Page()->UserSelect(Control(timer, CpmPIT::kPrescalerId), index);
        m_document.IdleUpdate();
    }
    // The user types a value into a row of the registers view.
    void StoreRow(const char* instance, const char* define, const char* typed) {
        CModuleBase& module = Module(instance);
        for (const tRegisterRow& row : ListRegisters(module, m_document)) {
            if (row.owner->GetDefineName(*row.item) != define)
                continue;
            std::string message;
            ASSERT_TRUE(StoreRegisterRow(m_document, row, typed, message)) << message;
            m_document.IdleUpdate();
            return;
        }
        FAIL() << define;
    }
    // The plug-in's page writes its register through the automation object.
    void ScriptSetsBaudRate(double value) {
        // The plug-in's page is shown: the object made by its script belongs to its module.
        auto& driver = static_cast<CHtmlModule&>(Module("DEMO_DRV"));
        hwc::test::CNullNavigator navigator;
        driver.SetNavigator(&navigator);
        {
            CConfigToolObj object;
            tScriptValue result;
            ASSERT_EQ(object.SetReg(std::string("BAUD_RATE"), value, result), EScriptStatus::kOk);
            EXPECT_EQ(result, tScriptValue(true));
        }
        driver.SetNavigator(nullptr);
        m_document.IdleUpdate();
    }
    std::string SaveCopy(const char* name) {
        const fs::path copy = m_folder / name;
        EXPECT_TRUE(m_document.SaveAs(copy.string(), true));
        return ReadFileBytes(copy);
    }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "1700000000"};
    CScriptedMessages m_messages;
    CTestFolder m_folder{"hwc-project-undo"};
    fs::path m_project = m_folder.Path() / "inverter";
    CUndoDoc m_document;
    std::string m_saved;
    std::string m_savedDriver;
};

} // namespace

TEST_F(ProjectUndo, AMixedSeriesIsTakenBackToTheSavedBytesAndDoneAgain) {
    const int prescaler = Control(Module("PIT0"), CpmPIT::kPrescalerId).Selection();
    ChangePrescaler(prescaler == 3 ? 4 : 3);
    EXPECT_EQ(m_document.UndoName(), "PIT0: Clock Prescaler");
    StoreRow("PIT1", "PIT1_MOD_INIT", "0x1234");
    EXPECT_EQ(m_document.UndoName(), "PIT1: PIT1_MOD_INIT");
    ScriptSetsBaudRate(19200);
    EXPECT_EQ(m_document.UndoName(), "DEMO_DRV: DEMO_DRV_BAUD_RATE");
    ChangePrescaler(prescaler == 5 ? 6 : 5);
    // Showing another page changes nothing a user did: no step.
    ASSERT_TRUE(m_document.ShowModulePage(Module("PWM_A")));
    m_document.IdleUpdate();
    EXPECT_TRUE(m_document.IsProjectModified());
    const std::string changed = SaveCopy("changed.h");
    ASSERT_NE(changed, m_saved);

    int undone = 0;
    while (m_document.CanUndo()) {
        ASSERT_TRUE(m_document.Undo());
        ++undone;
    }
    EXPECT_EQ(undone, 4);
    EXPECT_FALSE(m_document.Undo());
    EXPECT_EQ(Control(Module("PIT0"), CpmPIT::kPrescalerId).Selection(), prescaler);
    EXPECT_FALSE(m_document.IsProjectModified());
    EXPECT_EQ(SaveCopy("undone.h"), m_saved);
    ASSERT_TRUE(m_document.Save());
    EXPECT_EQ(ReadFileBytes(Header()), m_saved);
    EXPECT_EQ(ReadFileBytes(DriverHeader()), m_savedDriver);

    while (m_document.CanRedo())
        ASSERT_TRUE(m_document.Redo());
    EXPECT_FALSE(m_document.Redo());
    EXPECT_EQ(SaveCopy("redone.h"), changed);
    EXPECT_EQ(m_document.UndoName(), "PIT0: Clock Prescaler");
}

TEST_F(ProjectUndo, AnUndoAfterASaveMakesTheProjectModifiedAndBackAgain) {
    StoreRow("PIT1", "PIT1_MOD_INIT", "0x0100");
    ASSERT_TRUE(m_document.Save());
    EXPECT_FALSE(m_document.IsProjectModified());
    ASSERT_TRUE(m_document.Undo());
    EXPECT_TRUE(m_document.IsProjectModified());
    ASSERT_TRUE(m_document.Redo());
    EXPECT_FALSE(m_document.IsProjectModified());
}

TEST_F(ProjectUndo, AnInvalidPageValueRefusesTheUndo) {
    StoreRow("PIT1", "PIT1_MOD_INIT", "0x0100");
    m_document.refusePage = true;
    const int before = m_document.commits;
    EXPECT_FALSE(m_document.Undo());
    EXPECT_EQ(m_document.commits, before + 1);
    EXPECT_TRUE(m_document.CanUndo());
    EXPECT_EQ(Module("PIT1").FindRegister("PIT1_MOD_INIT")->dwValue, 0x0100u);
}

TEST_F(ProjectUndo, AChangeStillPendingBecomesItsOwnStepBeforeUndoing) {
    StoreRow("PIT1", "PIT1_MOD_INIT", "0x0100");
    // A value stored without an idle pass since (the page committed on the way to Undo).
    tPerCfgItem* modulo = Module("PIT0").FindRegister("PIT0_MOD_INIT");
    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_MOD_INIT=0x0042", message)) << message;
    ASSERT_TRUE(m_document.Undo());
    EXPECT_NE(modulo->dwValue, 0x0042u);
    EXPECT_EQ(Module("PIT1").FindRegister("PIT1_MOD_INIT")->dwValue, 0x0100u);
    EXPECT_EQ(m_document.RedoName(), "PIT0: PIT0_MOD_INIT");
}

TEST_F(ProjectUndo, OpeningAProjectClearsTheHistory) {
    StoreRow("PIT1", "PIT1_MOD_INIT", "0x0100");
    ASSERT_TRUE(m_document.CanUndo());
    ASSERT_TRUE(m_document.OpenProject(m_project.string()));
    EXPECT_FALSE(m_document.CanUndo());
    EXPECT_FALSE(m_document.CanRedo());
}

TEST_F(ProjectUndo, OptionsAndSelectionAreStepsToo) {
    CModuleBase& timer = Module("PIT1");
    m_document.NoteUserAction();
    timer.SetSelected(false);
    m_document.Tree().RefreshStateImages();
    m_document.IdleUpdate();
    EXPECT_EQ(m_document.UndoName(), "Leave Out PIT1");

    CProjDocBase::tOptions options = m_document.Options();
    options.generateDefaults = !options.generateDefaults;
    m_document.NoteUserAction("Options");
    m_document.SetOptions(options);
    m_document.CommitUndoStep();
    EXPECT_EQ(m_document.UndoName(), "Options");

    ASSERT_TRUE(m_document.Undo());
    EXPECT_NE(m_document.Options().generateDefaults, options.generateDefaults);
    ASSERT_TRUE(m_document.Undo());
    EXPECT_TRUE(timer.IsSelected());
    EXPECT_FALSE(m_document.IsProjectModified());
}
