// The older PWM modules inside a real project: register macros under their legacy names are
// taken into the module and written back under the current names.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "project/ModuleRegistry.h"
#include "project/ProjDoc.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class PwmProjectTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch"); }
    void TearDown() override { SetAppFolder(""); }

    fs::path WriteHeader(const std::string& text) {
        const fs::path header = m_root / "Drive/ApplicationConfig/appconfig.h";
        fs::create_directories(header.parent_path());
        std::ofstream(header, std::ios::binary) << text;
        return header;
    }
    static std::string Read(const fs::path& path) { return ReadFileBytes(path); }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-pwm"};
};

} // namespace

TEST_F(PwmProjectTest, FamGLegacyNamesAreWrittenWithTheCurrentOnes) {
    const fs::path header = WriteHeader("#define K7Q1030\n"
                                        "#define APPCFG_DFLTS_OMITTED 1\n"
                                        "#define PWM_A_CONTROL_REG 0x0041\n"
                                        "#define PWM_A_COUNTER_MODULO_REG 0x04E2\n"
                                        "#define PWM_A_DEAD_TIME_REG 0x0028\n"
                                        "#define PWM_A_DISABLE_MAPPING_2_REG 0x0003\n"
                                        "#define PWM_A_CONFIG_REG 0x1000\n");
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject((m_root / "Drive").string()));
        CModuleBase* pwm = CModuleBase::FindModule(&document, "PWM_A", "PWM");
        ASSERT_TRUE(pwm);
        EXPECT_EQ(pwm->ItemCount(), 17);
        EXPECT_TRUE(pwm->IsSelected());
        EXPECT_EQ(pwm->FindRegister("PWM_A_PMCTL_INIT")->dwValue, 0x0041u);
        EXPECT_EQ(pwm->FindRegister("PWM_A_PWMCM_INIT")->dwValue, 0x04E2u);
        EXPECT_EQ(pwm->FindRegister("PWM_A_PMDISMAP2_INIT")->dwValue, 0x0003u);
        ASSERT_TRUE(document.Save());
    }
    const std::string saved = Read(header);
    for (const char* name : {"PWM_A_PMCTL_INIT", "PWM_A_PWMCM_INIT", "PWM_A_PMDEADTM_INIT",
                             "PWM_A_PMDISMAP2_INIT", "PWM_A_PMCFG_INIT"})
        EXPECT_NE(saved.find(name), std::string::npos) << name << "\n" << saved;
    EXPECT_EQ(saved.find("_REG"), std::string::npos) << saved;
    // The FamG set has no second dead time.
    EXPECT_EQ(saved.find("PMDEADTM1"), std::string::npos) << saved;

    // A second round reads the current names and writes the same bytes.
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject((m_root / "Drive").string()));
        ASSERT_TRUE(document.Save());
    }
    EXPECT_EQ(Read(header), saved);
}
