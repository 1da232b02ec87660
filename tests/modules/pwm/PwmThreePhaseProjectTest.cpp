#include <gtest/gtest.h>

#include <string>

#include "model/ModalPage.h"
#include "modules/pwm/CpmPWMAll_FamC.h"
#include "modules/pwm/CpmPWM_FamC.h"
#include "modules/pwm/CpmPWM_FamC_SWLayer.h"
#include "modules/pwm/CpmPWM_FamC_Wizard.h"
#include "support/ModuleTestHost.h"

namespace {

class CpmThreePhaseClockStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmThreePhaseClockStub, CModule)
public:
    CpmThreePhaseClockStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return 100.0f; }
};

// Types the wizard's period settings and applies.
class CThreePhaseRunner : public hwc::IModalPageRunner {
public:
    CModalPage::EResult Run(CModalPage& page) override {
        CPage& p = page.Page();
        p.UserEdit(*p.FindControl(CpmPWM_FamC_WizardBase::kFrequencyId), "20000");
        p.UserSelect(*p.FindControl(CpmPWM_FamC_WizardBase::kAlignmentId), 1);
        p.UserEdit(*p.FindControl(CpmPWM_FamC_WizardBase::kDeadTimeId), "500");
        return page.Apply() ? CModalPage::EResult::Apply : CModalPage::EResult::Cancel;
    }
};

CModuleDescriptor Related(const std::string& instance, const std::string& type) {
    CModuleDescriptor descriptor(instance, type);
    descriptor.SetField(CModuleDescriptor::kRelatedModule, "PWM_A");
    return descriptor;
}

} // namespace

// A new FamE project with the enhanced PWM at its reset values: the three-phase wizard leaves
// sub-modules 0-2 alike and no PWM module warns.
TEST(PwmThreePhaseProject, NewFamEProjectEndsAlikeWithoutWarnings) {
    hwc::test::CModuleTestHost host;
    host.groups = {hwc::test::kFamE};
    host.Add<CpmThreePhaseClockStub>("OCCS", "OCCS");
    auto& common = host.Add<CpmPWMAll_FamC>("PWM_A", "PWMAll_FamC");
    CpmPWM_FamC* subs[4] = {};
    for (int i = 0; i < 4; ++i)
        subs[i] = &host.Add<CpmPWM_FamC>(Related("PWM_A_" + std::to_string(i), "PWM_FamC"));
    auto& layer = host.Add<CpmPWM_FamC_SWLayer>(Related("PWM_SW", "PWM_FamC_SWLayer"));
    host.BindAll();
    host.OpenAll();

    CThreePhaseRunner runner;
    hwc::ScopedModalPageRunner scope(runner);
    ASSERT_EQ(layer.RunThreePhaseWizard(), CModalPage::EResult::Apply);

    for (auto& module : host.modules)
        module->CheckWarnings();
    for (const auto& [key, text] : host.warnings)
        ADD_FAILURE() << key.first->InstanceName() << " warns: " << text;

    const char* alike[] = {"CTRL_INIT", "INIT_INIT",   "VAL1_INIT",  "VAL2_INIT",
                           "VAL3_INIT", "DTCNT0_INIT", "DTCNT1_INIT"};
    for (const char* name : alike) {
        const std::uint32_t first = subs[0]->FindRegister("PWM_A_0_" + std::string(name))->dwValue;
        for (int i = 1; i < 3; ++i)
            EXPECT_EQ(subs[i]->FindRegister("PWM_A_" + std::to_string(i) + "_" + name)->dwValue,
                      first)
                << name << " of sub-module " << i;
    }
    EXPECT_EQ(subs[0]->FindRegister("PWM_A_0_INIT_INIT")->dwValue, 0xF63Cu);
    EXPECT_EQ(subs[0]->FindRegister("PWM_A_0_VAL1_INIT")->dwValue, 0x09C3u);
    EXPECT_EQ(subs[0]->FindRegister("PWM_A_0_DTCNT0_INIT")->dwValue, 50u);
    EXPECT_TRUE(common.IsSelected());
    EXPECT_TRUE(layer.IsSelected());
    EXPECT_FALSE(subs[3]->IsSelected());
}
