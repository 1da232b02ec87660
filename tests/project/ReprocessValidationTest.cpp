// A run that asks nothing (re-process, a headless save) never writes a value a page refuses: the
// save fails, says which module and why, and leaves the files as they were.

#include "project/ProjDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class ReprocessValidation : public ::testing::Test {
protected:
    CScopedArchitectureFiles m_architecture;
    void SetUp() override {
        CopyExample("K7Q1030-pump-control", m_project);
    }

    // The example with one line of its header replaced.
    void EditHeader(const std::string& from, const std::string& to) {
        std::string text = ReadFileBytes(m_header);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(m_header, std::ios::binary) << text;
    }

    static tRunFlags Reprocess() {
        tRunFlags flags;
        flags.reprocess = true;
        return flags;
    }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-reprocess-validation"};
    fs::path m_project = m_root / "pump";
    fs::path m_header = m_project / "ApplicationConfig/appconfig.h";
    fs::path m_backup = m_project / "ApplicationConfig/appconfig.bak";
};

} // namespace

TEST_F(ReprocessValidation, ARefusedValueInTheHeaderFailsAndWritesNothing) {
    EditHeader("0x0082U", "0x00FFU");
    const std::string before = ReadFileBytes(m_header);
    CProjDoc document;
    document.SetRunFlags(Reprocess());
    ASSERT_TRUE(document.OpenProject(m_project.string()));
    EXPECT_TRUE(m_messages.shown.empty());

    EXPECT_FALSE(document.Save());
    EXPECT_EQ(ReadFileBytes(m_header), before);
    EXPECT_FALSE(fs::exists(m_backup));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    const std::string& message = m_messages.shown[0].text;
    EXPECT_TRUE(hwc::StartsWith(message, "The project is not saved: the page of ")) << message;
    EXPECT_NE(message.find("Selection is not valid"), std::string::npos) << message;
    // Validating for the message changed no register: the value is still the refused one.
    CModuleBase* clocks = document.FindModule("OCCS");
    ASSERT_NE(clocks, nullptr);
    EXPECT_FALSE(clocks->ValidationProblem().empty());
    CModuleBase* owner = nullptr;
    const tPerCfgItem* pllControl =
        document.Modules().front()->FindRegister("OCCS_PLLCR_INIT", &owner);
    ASSERT_NE(pllControl, nullptr);
    EXPECT_EQ(pllControl->dwValue, 0xFFu);
    EXPECT_FALSE(document.Save()); // and the next attempt fails the same way
}

TEST_F(ReprocessValidation, ARefusedValueSetFromOutsideFailsAndAValidOneSaves) {
    const std::string before = ReadFileBytes(m_header);
    CProjDoc document;
    document.SetRunFlags(Reprocess());
    ASSERT_TRUE(document.OpenProject(m_project.string()));
    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(document, "OCCS_PLLCR_INIT=0x00FF", message)) << message;
    EXPECT_FALSE(document.Save());
    EXPECT_EQ(ReadFileBytes(m_header), before);
    EXPECT_FALSE(fs::exists(m_backup));
    ASSERT_EQ(m_messages.shown.size(), 1u);

    // Put back, the project saves and reports success.
    ASSERT_TRUE(hwc::SetRegisterFromText(document, "OCCS_PLLCR_INIT=0x0082", message)) << message;
    EXPECT_TRUE(document.ValidateAll(false));
    EXPECT_TRUE(document.Save());
    EXPECT_TRUE(fs::exists(m_backup));
    EXPECT_EQ(m_messages.shown.size(), 1u);
}

TEST_F(ReprocessValidation, TheProblemNamesTheControlAndItsMessage) {
    const fs::path project = m_root / "psu";
    fs::copy(fs::path(HWC_TEST_SOURCE_DIR "/examples/K7Q2430-digital-psu"), project,
             fs::copy_options::recursive);
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(project.string()));
    CModuleBase* timer = document.FindModule("PIT0");
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->ValidationProblem(), "");
    CPageControl* modulo = timer->Page()->FindControl(1652);
    ASSERT_NE(modulo, nullptr);
    timer->Page()->UserEdit(*modulo, "99999999");
    EXPECT_EQ(timer->ValidationProblem(), "Modulo Value: Entered value must be lower than 65536");
    EXPECT_EQ(modulo->Text(), "99999999");
    EXPECT_TRUE(m_messages.shown.empty());

    // The headless save names the module too.
    document.SetRunFlags(Reprocess());
    EXPECT_FALSE(document.Save());
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "The project is not saved: the page of " +
                                            timer->Title() +
                                            " refuses a value. Modulo Value: Entered value must "
                                            "be lower than 65536");
}
