#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

#include "modules/pwm/CpmPWM_FamC_SWLayer.h"
#include "modules/pwm/CpmPWM_FamC_Wizard.h"
#include "modules/pwm/PwmWizardPlan.h"
#include "support/ModuleTestHost.h"
#include "support/ScriptedMessages.h"
#include "ui/dialogs/ModalPageDialog.h"
#include "ui/page/PageWidget.h"

namespace {

class CpmWizardClockStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmWizardClockStub, CModule)
public:
    CpmWizardClockStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return 100.0f; }
};

class CpmWizardSubmoduleStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmWizardSubmoduleStub, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"INIT_INIT", 0, hwc::RegFlag::DW16},
                                            {"VAL1_INIT", 0, hwc::RegFlag::DW16}};
    CpmWizardSubmoduleStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 2) {}
};

// The driver layer with sub-modules PWM_A_0 and PWM_A_1 and a 100 MHz bus.
struct CWizardProject {
    CWizardProject() {
        host.Add<CpmWizardClockStub>("OCCS", "OCCS");
        sub0 = &host.Add<CpmWizardSubmoduleStub>("PWM_A_0", "PWM_FamC");
        sub1 = &host.Add<CpmWizardSubmoduleStub>("PWM_A_1", "PWM_FamC");
        CModuleDescriptor descriptor("PWM_SW", "PWM_FamC_SWLayer");
        descriptor.SetField(CModuleDescriptor::kRelatedModule, "PWM_A");
        layer = &host.Add<CpmPWM_FamC_SWLayer>(descriptor);
        host.BindAll();
        host.OpenAll();
    }
    hwc::test::CModuleTestHost host;
    CpmWizardSubmoduleStub* sub0 = nullptr;
    CpmWizardSubmoduleStub* sub1 = nullptr;
    CpmPWM_FamC_SWLayer* layer = nullptr;
};

// Runs `act` on the modal dialog once it is open.
void WhenOpen(std::function<void(CModalPageDialog&)> act) {
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<CModalPageDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        act(*dialog);
    });
}

} // namespace

TEST(ModalPageDialog, WizardOpensAndCancelChangesNothing) {
    CWizardProject project;
    hwc::ui::CQtModalPageRunner runner;
    hwc::ScopedModalPageRunner scope(runner);
    bool shown = false;
    WhenOpen([&](CModalPageDialog& dialog) {
        shown = true;
        EXPECT_EQ(dialog.windowTitle(), "PWM alignment wizard");
        // The sub-module lines are drawn with the page renderer.
        auto* duty = qobject_cast<QLineEdit*>(dialog.PageWidget()->WidgetFor(
            CpmPWM_FamC_Wizard::SubControlId(1, CpmPWM_FamC_Wizard_SubDlg::kDutyAId)));
        ASSERT_NE(duty, nullptr);
        EXPECT_EQ(duty->text(), "50");
        duty->selectAll();
        QTest::keyClicks(duty, "75");
        dialog.CancelButton()->click();
    });
    EXPECT_EQ(project.layer->RunAlignmentWizard(), CModalPage::EResult::Cancel);
    EXPECT_TRUE(shown);
    EXPECT_EQ(project.sub1->Item(0).dwValue, 0u);
    EXPECT_FALSE(project.sub1->IsSelected());
}

TEST(ModalPageDialog, ApplyStaysOpenOnRefusedValuesAndClosesOnGoodOnes) {
    CWizardProject project;
    CScriptedMessages messages;
    hwc::ui::CQtModalPageRunner runner;
    hwc::ScopedModalPageRunner scope(runner);
    WhenOpen([&](CModalPageDialog& dialog) {
        auto* frequency = qobject_cast<QLineEdit*>(
            dialog.PageWidget()->WidgetFor(CpmPWM_FamC_WizardBase::kFrequencyId));
        ASSERT_NE(frequency, nullptr);
        frequency->selectAll();
        QTest::keyClicks(frequency, "0");
        dialog.ApplyButton()->click();
        EXPECT_TRUE(dialog.isVisible()) << "a refused Apply keeps the dialog open";
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(project.sub0->Item(0).dwValue, 0u);
        frequency->selectAll();
        QTest::keyClicks(frequency, "20000");
        dialog.ApplyButton()->click();
    });
    EXPECT_EQ(project.layer->RunAlignmentWizard(), CModalPage::EResult::Apply);
    EXPECT_EQ(hwc::pwm::FindRegisterByShortName(*project.sub0, "INIT_INIT")->dwValue, 0xF63Cu);
    EXPECT_TRUE(project.sub0->IsSelected());
    EXPECT_TRUE(project.sub1->IsSelected());
}
