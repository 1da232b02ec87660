#include "modules/pwm/CpmPWM_FamC_Wizard_3Phase.h"

#include <memory>

#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"

using hwc::pwm::EWizardAlignment;

const CDialogTemplate& CpmPWM_FamC_Wizard_3Phase_SubDlg::Template() {
    static const CDialogTemplate page(
        CpmPWM_FamC_Wizard_3Phase::kSubDlgTemplateId,
        {dlg::Row({dlg::Label("Phase", kTitleId), dlg::Label("Start duty [%]:"), dlg::Edit(kDutyId),
                   dlg::ReadOnly(kAchievedDutyId)})});
    return page;
}

namespace {

const CDialogTemplate& ThreePhaseWizardTemplate() {
    using W = CpmPWM_FamC_WizardBase;
    static const CDialogTemplate page(
        CpmPWM_FamC_Wizard_3Phase::kTemplateId,
        {W::PeriodGroup({"Edge-aligned", "Center-aligned"}),
         dlg::Group("Phases (complementary pairs)",
                    {dlg::Placeholder(W::kFirstSubDlgId), dlg::Placeholder(W::kFirstSubDlgId + 1),
                     dlg::Placeholder(W::kFirstSubDlgId + 2)}),
         W::AchievedGroup(),
         dlg::Label("", W::kProblemId)});
    return page;
}

constexpr const char* kPhaseNames[] = {"A", "B", "C"};

} // namespace

CpmPWM_FamC_Wizard_3Phase::CpmPWM_FamC_Wizard_3Phase(CModuleBase& owner, std::string common,
                                                     double busHz, tPerCfgItem& threePhaseItem)
    : CpmPWM_FamC_WizardBase(ThreePhaseWizardTemplate(), "PWM three-phase wizard", owner,
                             std::move(common), busHz),
      m_threePhaseItem(threePhaseItem) {
    using S = CpmPWM_FamC_Wizard_3Phase_SubDlg;
    for (int i = 0; i < kPhases; ++i) {
        tPhase& phase = phases[i];
        phase.module = hwc::pwm::FindSubmodule(m_owner, m_common, i);
        auto subPage = std::make_unique<CModuleSubDlg>(S::Template(), &Page());
        subPage->SetControlText(S::kTitleId,
                                hwc::Format("Phase %s: %s", kPhaseNames[i],
                                            (m_common + "_" + std::to_string(i)).c_str()));
        Page().InsertSubPage(kFirstSubDlgId + i, std::move(subPage));
        BindText(SubControlId(i, S::kDutyId), phase.duty);
    }
    OnValuesChanged();
}

EWizardAlignment CpmPWM_FamC_Wizard_3Phase::Alignment() const {
    return alignment == 0 ? EWizardAlignment::Edge : EWizardAlignment::Centre;
}

std::string CpmPWM_FamC_Wizard_3Phase::Plan() {
    for (int i = 0; i < kPhases; ++i) {
        if (!phases[i].module)
            return hwc::Format("The three phases need sub-modules %s_0 to %s_2; %s_%d is missing.",
                               m_common.c_str(), m_common.c_str(), m_common.c_str(), i);
    }
    if (std::string problem = CpmPWM_FamC_WizardBase::Plan(); !problem.empty())
        return problem;
    for (int i = 0; i < kPhases; ++i) {
        double duty = 0.0;
        if (!hwc::pwm::ReadNumber(phases[i].duty, duty))
            return hwc::Format("Phase %s: enter the start duty in %%.", kPhaseNames[i]);
        if (std::string problem =
                hwc::pwm::PlanEdges(m_timing, Alignment(), duty, 0.0, 0.0, true, phases[i].edges);
            !problem.empty())
            return hwc::Format("Phase %s: ", kPhaseNames[i]) + problem;
    }
    return {};
}

void CpmPWM_FamC_Wizard_3Phase::ShowPlan(const std::string& problem) {
    CpmPWM_FamC_WizardBase::ShowPlan(problem);
    using S = CpmPWM_FamC_Wizard_3Phase_SubDlg;
    for (int i = 0; i < kPhases; ++i)
        Page().SetControlText(SubControlId(i, S::kAchievedDutyId),
                              problem.empty() ? hwc::Format("%.2f %%", phases[i].edges.dutyA)
                                              : std::string("??"));
}

bool CpmPWM_FamC_Wizard_3Phase::OnApply() {
    const std::string problem = Plan();
    ShowPlan(problem);
    if (!problem.empty()) {
        hwc::ShowMessage(problem);
        return false;
    }
    for (int i = 0; i < kPhases; ++i) {
        hwc::pwm::WriteSubmodule(*phases[i].module, m_timing, phases[i].edges, true,
                                 i == 0 ? hwc::pwm::ESubmoduleRole::Master
                                        : hwc::pwm::ESubmoduleRole::Slave);
    }
    if (CModuleBase* common = CModuleBase::FindModule(m_owner.Host(), m_common, "PWMAll_FamC")) {
        using namespace hwc::pwm;
        constexpr std::uint32_t kThree = 0x7; // sub-modules 0-2
        if (tPerCfgItem* mctrl = FindRegisterByShortName(*common, "MCTRL_INIT")) {
            SetField(*mctrl, kLoadOkLow, kLoadOkLow + 2, kThree);
            SetField(*mctrl, kRunLow, kRunLow + 2, kThree);
        }
        if (tPerCfgItem* outen = FindRegisterByShortName(*common, "OUTEN_INIT")) {
            SetField(*outen, kOutputALow, kOutputALow + 2, kThree);
            SetField(*outen, kOutputBLow, kOutputBLow + 2, kThree);
        }
        Finish(*common);
    }
    for (const tPhase& phase : phases)
        Finish(*phase.module);
    m_threePhaseItem.dwValue = 1;
    Finish(m_owner);
    return true;
}
