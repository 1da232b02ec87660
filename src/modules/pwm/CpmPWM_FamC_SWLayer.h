#pragma once
// The PWM driver layer: whether the driver treats sub-modules 0-2 of the enhanced PWM as the
// phases A-C of a three-phase bridge, the check that those sub-modules are set up alike, and
// the buttons that open the alignment and three-phase wizards.

#include "bindings/SetValue.h"
#include "model/ModalPage.h"
#include "modules/framework/CModule.h"

class CpmPWM_FamC_SWLayer : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPWM_FamC_SWLayer, CModule)
public:
    static constexpr unsigned kTemplateId = 2074;

    // Page controls.
    static constexpr int kThreePhaseId = 1001;
    static constexpr int kThreePhaseWarningId = 1002;
    static constexpr int kAlignmentWizardId = 1003;
    static constexpr int kThreePhaseWizardId = 1004;

    // Register items in table order.
    static constexpr int kThreePhaseItem = 0;

    CpmPWM_FamC_SWLayer(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void CheckWarnings() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;

    // Open a wizard modally; Apply when it wrote its modules.
    CModalPage::EResult RunAlignmentWizard();
    CModalPage::EResult RunThreePhaseWizard();

    // The common module's instance name ("PWM_A"), whose sub-modules are "PWM_A_0" ...
    std::string CommonInstance() const;
    // Why THREE_PHASE_CONF 1 does not match sub-modules 0-2; empty when they are set up alike.
    std::string ThreePhaseMismatch() const;

    CSetValue& ThreePhase() { return m_threePhase; }

protected:
    void AttachControls(CPage& page) override;

private:
    double BusHz() const { return static_cast<double>(GetBusClock()) * 1e6; }

    CSetValue m_threePhase;
};
