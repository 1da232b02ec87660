// Starting a module over: registers back to their defaults, the rest of the project untouched;
// and the program version the About box and saved headers share.

#include "project/ModuleReset.h"

#include <gtest/gtest.h>

#include <string>

#include "InverterProject.h"
#include "model/ModuleBase.h"
#include "project/ProgramVersion.h"

namespace {

class ModuleReset : public CInverterProjectTest {
protected:
    ModuleReset() : CInverterProjectTest("hwc-module-reset") {}
};

} // namespace

TEST_F(ModuleReset, RegistersGoBackToTheirDefaultsAndOthersStay) {
    CModuleBase& timer = Module("PIT0");
    CModuleBase& other = Module("PIT1");
    tPerCfgItem* modulo = timer.FindRegister("PIT0_MOD_INIT");
    tPerCfgItem* control = timer.FindRegister("PIT0_CTRL_INIT");
    tPerCfgItem* otherModulo = other.FindRegister("PIT1_MOD_INIT");
    ASSERT_TRUE(modulo && control && otherModulo);
    modulo->dwValue = modulo->dwDefault + 7;
    control->dwValue = control->dwDefault ^ 1u;
    otherModulo->dwValue = otherModulo->dwDefault + 3;
    const std::uint32_t otherBefore = otherModulo->dwValue;

    ASSERT_TRUE(CanResetModule(timer));
    EXPECT_GE(ResetModuleToDefaults(m_document, timer), 2);
    EXPECT_EQ(modulo->dwValue, modulo->dwDefault);
    EXPECT_EQ(control->dwValue, control->dwDefault);
    EXPECT_EQ(otherModulo->dwValue, otherBefore);
    for (int i = 0; i < timer.ItemCount(); ++i) {
        const tPerCfgItem& item = timer.Item(i);
        if (!(item.dwFlags &
              (hwc::RegFlag::STRVALUE | hwc::RegFlag::USERDEFINE | hwc::RegFlag::DUMMYREG))) {
            EXPECT_EQ(item.dwValue, item.dwDefault) << item.szName;
        }
    }
    // Nothing left to change: nothing happens.
    EXPECT_EQ(ResetModuleToDefaults(m_document, timer), 0);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ModuleReset, ResetReachesThePageAndTheSavedHeader) {
    CModuleBase& timer = Module("PIT0");
    ASSERT_TRUE(timer.CreatePage() || timer.Page());
    tPerCfgItem* modulo = timer.FindRegister("PIT0_MOD_INIT");
    ASSERT_NE(modulo, nullptr);
    modulo->dwValue = 999;
    timer.RefreshControls();
    ResetModuleToDefaults(m_document, timer);
    std::string text;
    ASSERT_TRUE(timer.WriteHeaderText(text));
    EXPECT_EQ(text.find("0x03E7U"), std::string::npos) << text;
    EXPECT_EQ(timer.Page()->FindControl(1652)->Text().find("999"), std::string::npos);
}

TEST_F(ModuleReset, QuestionNamesTheModuleAndWhatIsKept) {
    const std::string question = ResetModuleQuestion(Module("PIT0"));
    EXPECT_NE(question.find(Module("PIT0").Title()), std::string::npos);
    EXPECT_NE(question.find("only when you save"), std::string::npos);
}

TEST(ProgramVersion, MatchesTheNumbersSavedHeadersCarry) {
    const auto v = hwc::ProgramVersion();
    EXPECT_EQ(v[0], HWC_TEST_VERSION_MAJOR);
    EXPECT_EQ(v[3], HWC_TEST_VERSION_TWEAK);
    EXPECT_EQ(hwc::ProgramVersionText(), std::to_string(HWC_TEST_VERSION_MAJOR) + "." +
                                             std::to_string(HWC_TEST_VERSION_MINOR) + "." +
                                             std::to_string(HWC_TEST_VERSION_PATCH) + "." +
                                             std::to_string(HWC_TEST_VERSION_TWEAK));
    const std::string macro = hwc::ProgramVersionMacroValue();
    ASSERT_EQ(macro.size(), 11u);
    EXPECT_EQ(macro.substr(0, 2), "0x");
    EXPECT_EQ(macro.back(), 'L');
    EXPECT_EQ(std::stoul(macro.substr(2, 8), nullptr, 16) >> 24,
              static_cast<unsigned long>(HWC_TEST_VERSION_MAJOR));
}
