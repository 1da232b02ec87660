// The three-phase wizard inside a real project: a new FamE project gets sub-modules 0-2 alike,
// the modules it fills are checked in the module tree and written by the next save, and no PWM
// module warns.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/AppFilePath.h"
#include "model/ModalPage.h"
#include "modules/pwm/CpmPWM_FamC_SWLayer.h"
#include "modules/pwm/CpmPWM_FamC_Wizard.h"
#include "project/ProjDoc.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// Types 20 kHz, centre alignment and 500 ns, then applies.
class CThreePhaseAnswers : public hwc::IModalPageRunner {
public:
    CModalPage::EResult Run(CModalPage& page) override {
        CPage& p = page.Page();
        p.UserEdit(*p.FindControl(CpmPWM_FamC_WizardBase::kFrequencyId), "20000");
        p.UserSelect(*p.FindControl(CpmPWM_FamC_WizardBase::kAlignmentId), 1);
        p.UserEdit(*p.FindControl(CpmPWM_FamC_WizardBase::kDeadTimeId), "500");
        return page.Apply() ? CModalPage::EResult::Apply : CModalPage::EResult::Cancel;
    }
};

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value text of a define in the header, or empty.
std::string DefineValue(const std::string& text, const std::string& name) {
    const std::string key = "#define " + name + " ";
    const std::size_t at = text.find(key);
    if (at == std::string::npos)
        return {};
    std::size_t start = text.find_first_not_of(' ', at + key.size());
    return text.substr(start, text.find('\n', start) - start);
}

} // namespace

TEST(PwmWizardProject, ThreePhaseWizardOnANewFamEProject) {
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch");
    CScopedEnvironment epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages messages;
    CTestFolder root{"hwc-pwm-wizard"};
    const fs::path header = root / "Drive/ApplicationConfig/appconfig.h";
    fs::create_directories(header.parent_path());
    std::ofstream(header, std::ios::binary) << "#define K7Q3010\n";
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject((root / "Drive").string()));
        auto* layer = dynamic_cast<CpmPWM_FamC_SWLayer*>(
            CModuleBase::FindModule(&document, "PWM_SW", "PWM_FamC_SWLayer"));
        ASSERT_TRUE(layer);
        CThreePhaseAnswers answers;
        hwc::ScopedModalPageRunner scope(answers);
        ASSERT_EQ(layer->RunThreePhaseWizard(), CModalPage::EResult::Apply);
        document.CheckAllWarnings();
        for (const auto& warning : document.Warnings().Items()) {
            const std::string& owner = warning->owner ? warning->owner->InstanceName() : "";
            EXPECT_NE(owner.rfind("PWM", 0), 0u) << owner << ": " << warning->text;
        }
        ASSERT_TRUE(document.SaveProject(header.string()));
    }
    SetAppFolder("");
    const std::string text = Read(header);
    for (const char* name : {"CTRL_INIT", "INIT_INIT", "VAL1_INIT", "DTCNT0_INIT"}) {
        const std::string first = DefineValue(text, std::string("PWM_A_0_") + name);
        EXPECT_FALSE(first.empty()) << name;
        EXPECT_EQ(DefineValue(text, std::string("PWM_A_1_") + name), first) << name;
        EXPECT_EQ(DefineValue(text, std::string("PWM_A_2_") + name), first) << name;
    }
    EXPECT_EQ(DefineValue(text, "PWM_SW_THREE_PHASE_CONF"), "1");
    EXPECT_NE(DefineValue(text, "PWM_A_MCTRL_INIT"), "");
    EXPECT_EQ(DefineValue(text, "PWM_A_3_INIT_INIT"), "") << "sub-module 3 stays out";
}
