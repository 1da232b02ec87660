#pragma once
// The alignment wizard of the enhanced PWM: the user gives a frequency, an alignment (edge,
// centre or phase shift), a dead time and, per sub-module, the pair mode and the duty of each
// output; the wizard shows the prescaler, period and achieved values, and Apply writes every
// chosen sub-module consistently and selects it. Also the base both PWM wizards share: the
// period settings at the top of the page and the writing back of the modules they fill.

#include <array>
#include <string>
#include <vector>

#include "model/ModalPage.h"
#include "model/ModuleSubDlg.h"
#include "modules/pwm/PwmWizardPlan.h"

class CModuleBase;

// Settings and results shared by both wizards' pages.
class CpmPWM_FamC_WizardBase : public CModalPage {
public:
    // Top-of-page controls.
    static constexpr int kFrequencyId = 100;
    static constexpr int kAlignmentId = 101;
    static constexpr int kDeadTimeId = 102;
    static constexpr int kPrescalerId = 110;
    static constexpr int kCountsId = 111;
    static constexpr int kAchievedFrequencyId = 112;
    static constexpr int kAchievedDeadTimeId = 113;
    static constexpr int kProblemId = 114;
    static constexpr int kFirstSubDlgId = 600; // placeholders 600..603

    // `owner` is the driver-layer module that runs the wizard; `common` the common module's
    // instance name ("PWM_A") whose sub-modules are "PWM_A_0" ...; `busHz` the bus clock.
    CpmPWM_FamC_WizardBase(const CDialogTemplate& dialogTemplate, std::string title,
                           CModuleBase& owner, std::string common, double busHz);

    // Bound values, as typed.
    std::string frequency = "20000";
    int alignment = static_cast<int>(hwc::pwm::EWizardAlignment::Centre);
    std::string deadTime = "500";

    // What the values give; empty when usable, else why not.
    std::string Problem() { return Plan(); }

    // The groups both wizards show: the period settings, with the alignments a wizard offers,
    // and the values the plan achieves.
    static tLayoutItem PeriodGroup(std::vector<std::string> alignments);
    static tLayoutItem AchievedGroup();

    const hwc::pwm::tPwmTiming& Timing() const { return m_timing; }

protected:
    // The alignment chosen in the list.
    virtual hwc::pwm::EWizardAlignment Alignment() const;
    // Computes the timing and every sub-module's edges; empty on success.
    virtual std::string Plan();
    // Shows the planned values (or the problem) on the page.
    virtual void ShowPlan(const std::string& problem);
    void OnValuesChanged() override;
    // Selects a module the wizard wrote, shows its new values and tells the document.
    void Finish(CModuleBase& module);

    CModuleBase& m_owner;
    std::string m_common;
    double m_busHz;
    hwc::pwm::tPwmTiming m_timing;
};

// One sub-module's line of the alignment wizard.
class CpmPWM_FamC_Wizard_SubDlg {
public:
    static constexpr int kIncludeId = 1;
    static constexpr int kPairId = 2;
    static constexpr int kDutyAId = 3;
    static constexpr int kDutyBId = 4;
    static constexpr int kPhaseId = 5;
    static constexpr int kAchievedDutyId = 6;

    static const CDialogTemplate& Template();
};

class CpmPWM_FamC_Wizard : public CpmPWM_FamC_WizardBase {
public:
    static constexpr unsigned kTemplateId = 2120;
    static constexpr unsigned kSubDlgTemplateId = 2121;
    static constexpr int kMaxSubmodules = 4;

    CpmPWM_FamC_Wizard(CModuleBase& owner, std::string common, double busHz);

    // One sub-module's bound values; `module` null when the processor lacks it.
    struct tSubmodule {
        CModuleBase* module = nullptr;
        bool include = false;
        int pair = 0; // 0 complementary, 1 independent
        std::string dutyA = "50";
        std::string dutyB = "50";
        std::string phase = "0";
        hwc::pwm::tPwmEdges edges;
    };
    std::array<tSubmodule, kMaxSubmodules> submodules;

    // The control id of a sub-module's control on this page.
    static int SubControlId(int index, int control) {
        return CPage::SubPageControlId(kFirstSubDlgId + index, control);
    }

protected:
    std::string Plan() override;
    void ShowPlan(const std::string& problem) override;
    bool OnApply() override;
};
