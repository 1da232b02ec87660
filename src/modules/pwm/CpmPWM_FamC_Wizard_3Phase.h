#pragma once
// The three-phase wizard of the enhanced PWM: frequency, edge or centre alignment, dead time
// and a start duty per phase fill sub-modules 0-2 alike as complementary pairs, sub-module 0
// the master on the bus clock and the others clocked, initialised and reloaded from it; Apply
// also starts the three in the common module (run, load OK, outputs A and B) and marks the
// group in the driver layer.

#include <array>
#include <string>

#include "modules/pwm/CpmPWM_FamC_Wizard.h"

// One phase's line of the three-phase wizard.
class CpmPWM_FamC_Wizard_3Phase_SubDlg {
public:
    static constexpr int kTitleId = 1;
    static constexpr int kDutyId = 2;
    static constexpr int kAchievedDutyId = 3;

    static const CDialogTemplate& Template();
};

class CpmPWM_FamC_Wizard_3Phase : public CpmPWM_FamC_WizardBase {
public:
    static constexpr unsigned kTemplateId = 2122;
    static constexpr unsigned kSubDlgTemplateId = 2123;
    static constexpr int kPhases = 3;

    // `threePhaseItem` is the driver layer's THREE_PHASE_CONF, set to 1 by Apply.
    CpmPWM_FamC_Wizard_3Phase(CModuleBase& owner, std::string common, double busHz,
                              tPerCfgItem& threePhaseItem);

    struct tPhase {
        CModuleBase* module = nullptr;
        std::string duty = "50";
        hwc::pwm::tPwmEdges edges;
    };
    std::array<tPhase, kPhases> phases;

    static int SubControlId(int phase, int control) {
        return CPage::SubPageControlId(kFirstSubDlgId + phase, control);
    }

protected:
    hwc::pwm::EWizardAlignment Alignment() const override;
    std::string Plan() override;
    void ShowPlan(const std::string& problem) override;
    bool OnApply() override;

private:
    tPerCfgItem& m_threePhaseItem;
};
