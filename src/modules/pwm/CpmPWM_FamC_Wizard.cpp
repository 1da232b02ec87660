#include "modules/pwm/CpmPWM_FamC_Wizard.h"

#include <memory>

#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/DisplayText.h"
#include "model/ModuleBase.h"
#include "model/PageHints.h"

using hwc::pwm::EWizardAlignment;

namespace {

// "/ 8" for exponent 3.
std::string PrescalerText(int exponent) {
    return hwc::Format("/ %d", 1 << exponent);
}

std::string DutyText(double percent) {
    return hwc::Format("%.2f %%", percent);
}

} // namespace

// --- CpmPWM_FamC_WizardBase ---

CpmPWM_FamC_WizardBase::CpmPWM_FamC_WizardBase(const CDialogTemplate& dialogTemplate,
                                               std::string title, CModuleBase& owner,
                                               std::string common, double busHz)
    : CModalPage(dialogTemplate, std::move(title)), m_owner(owner), m_common(std::move(common)),
      m_busHz(busHz) {
    BindText(kFrequencyId, frequency);
    BindChoice(kAlignmentId, alignment);
    BindText(kDeadTimeId, deadTime);
}

EWizardAlignment CpmPWM_FamC_WizardBase::Alignment() const {
    switch (alignment) {
    case 0:
        return EWizardAlignment::Edge;
    case 2:
        return EWizardAlignment::PhaseShift;
    default:
        return EWizardAlignment::Centre;
    }
}

std::string CpmPWM_FamC_WizardBase::Plan() {
    double hz = 0.0;
    if (!hwc::pwm::ReadNumber(frequency, hz))
        return "Enter the PWM frequency in Hz.";
    double ns = 0.0;
    if (!hwc::pwm::ReadNumber(deadTime, ns))
        return "Enter the dead time in ns.";
    hwc::pwm::tPwmTiming timing;
    std::string problem = hwc::pwm::PlanTiming(m_busHz, hz, Alignment(), ns, timing);
    if (problem.empty())
        m_timing = timing;
    return problem;
}

void CpmPWM_FamC_WizardBase::ShowPlan(const std::string& problem) {
    CPage& page = Page();
    const bool ok = problem.empty();
    page.SetControlText(kPrescalerId, ok ? PrescalerText(m_timing.exponent) : "??");
    page.SetControlText(kCountsId, ok ? std::to_string(m_timing.counts) : "??");
    page.SetControlText(kAchievedFrequencyId,
                        ok ? FrequencyText(m_timing.frequencyHz, true) : "??");
    page.SetControlText(kAchievedDeadTimeId,
                        ok ? hwc::Format("%.0f ns (%u clocks)", m_timing.deadNs, m_timing.deadCount)
                           : "??");
    page.ShowIndicator(kProblemId, !ok, problem.c_str());
}

void CpmPWM_FamC_WizardBase::OnValuesChanged() {
    ShowPlan(Plan());
}

void CpmPWM_FamC_WizardBase::Finish(CModuleBase& module) {
    module.SetSelected(true);
    if (!module.RefreshControls())
        module.Recalculate();
    if (IModuleHost* host = module.Host())
        host->UpdateAllViews(&module, hwc::kHintModuleSelected, &module);
}

// --- CpmPWM_FamC_Wizard_SubDlg ---

const CDialogTemplate& CpmPWM_FamC_Wizard_SubDlg::Template() {
    static const CDialogTemplate page(
        CpmPWM_FamC_Wizard::kSubDlgTemplateId,
        {dlg::Row({dlg::CheckBox(kIncludeId, "Sub-module"),
                   dlg::DropList(kPairId, {"Complementary pair", "Independent outputs"}),
                   dlg::ReadOnly(kAchievedDutyId)}),
         dlg::Row({dlg::Label("Duty A [%]:"), dlg::Edit(kDutyAId), dlg::Label("Duty B [%]:"),
                   dlg::Edit(kDutyBId)}),
         dlg::Row({dlg::Label("Phase shift [deg]:"), dlg::Edit(kPhaseId)})});
    return page;
}

tLayoutItem CpmPWM_FamC_WizardBase::PeriodGroup(std::vector<std::string> alignments) {
    return dlg::Group(
        "Period", {dlg::Row({dlg::Label("PWM frequency [Hz]:"), dlg::Edit(kFrequencyId)}),
                   dlg::Row({dlg::Label("Alignment:"),
                             dlg::DropList(kAlignmentId, std::move(alignments))}),
                   dlg::Row({dlg::Label("Dead time [ns]:"), dlg::Edit(kDeadTimeId)})});
}

tLayoutItem CpmPWM_FamC_WizardBase::AchievedGroup() {
    return dlg::Group(
        "Achieved", {dlg::Row({dlg::Label("Prescaler:"), dlg::ReadOnly(kPrescalerId),
                               dlg::Label("Period [counts]:"), dlg::ReadOnly(kCountsId)}),
                     dlg::Row({dlg::Label("Frequency:"), dlg::ReadOnly(kAchievedFrequencyId),
                               dlg::Label("Dead time:"), dlg::ReadOnly(kAchievedDeadTimeId)})});
}

// --- CpmPWM_FamC_Wizard ---

namespace {

const CDialogTemplate& AlignmentWizardTemplate() {
    using W = CpmPWM_FamC_WizardBase;
    static const CDialogTemplate page(
        CpmPWM_FamC_Wizard::kTemplateId,
        {W::PeriodGroup({"Edge-aligned", "Center-aligned", "Phase-shifted"}),
         dlg::Group("Sub-modules",
                    {dlg::Placeholder(W::kFirstSubDlgId), dlg::Placeholder(W::kFirstSubDlgId + 1),
                     dlg::Placeholder(W::kFirstSubDlgId + 2),
                     dlg::Placeholder(W::kFirstSubDlgId + 3)}),
         W::AchievedGroup(),
         dlg::Label("", W::kProblemId)});
    return page;
}

} // namespace

CpmPWM_FamC_Wizard::CpmPWM_FamC_Wizard(CModuleBase& owner, std::string common, double busHz)
    : CpmPWM_FamC_WizardBase(AlignmentWizardTemplate(), "PWM alignment wizard", owner,
                             std::move(common), busHz) {
    using S = CpmPWM_FamC_Wizard_SubDlg;
    for (int i = 0; i < kMaxSubmodules; ++i) {
        tSubmodule& entry = submodules[i];
        entry.module = hwc::pwm::FindSubmodule(m_owner, m_common, i);
        if (!entry.module)
            continue;
        entry.include = true;
        auto subPage = std::make_unique<CModuleSubDlg>(S::Template(), &Page());
        subPage->SetControlText(S::kIncludeId, entry.module->InstanceName());
        Page().InsertSubPage(kFirstSubDlgId + i, std::move(subPage));
        BindCheck(SubControlId(i, S::kIncludeId), entry.include);
        BindChoice(SubControlId(i, S::kPairId), entry.pair);
        BindText(SubControlId(i, S::kDutyAId), entry.dutyA);
        BindText(SubControlId(i, S::kDutyBId), entry.dutyB);
        BindText(SubControlId(i, S::kPhaseId), entry.phase);
    }
    OnValuesChanged();
}

std::string CpmPWM_FamC_Wizard::Plan() {
    if (std::string problem = CpmPWM_FamC_WizardBase::Plan(); !problem.empty())
        return problem;
    bool any = false;
    for (tSubmodule& entry : submodules) {
        if (!entry.module || !entry.include)
            continue;
        any = true;
        const std::string& name = entry.module->InstanceName();
        const bool complementary = entry.pair == 0;
        double dutyA = 0.0, dutyB = 0.0, phase = 0.0;
        if (!hwc::pwm::ReadNumber(entry.dutyA, dutyA) ||
            (!complementary && !hwc::pwm::ReadNumber(entry.dutyB, dutyB)))
            return name + ": enter the duty cycle in %.";
        if (Alignment() == EWizardAlignment::PhaseShift &&
            !hwc::pwm::ReadNumber(entry.phase, phase))
            return name + ": enter the phase shift in degrees.";
        if (std::string problem = hwc::pwm::PlanEdges(m_timing, Alignment(), dutyA, dutyB, phase,
                                                      complementary, entry.edges);
            !problem.empty())
            return name + ": " + problem;
    }
    if (!any)
        return "Choose at least one sub-module to fill.";
    return {};
}

void CpmPWM_FamC_Wizard::ShowPlan(const std::string& problem) {
    CpmPWM_FamC_WizardBase::ShowPlan(problem);
    using S = CpmPWM_FamC_Wizard_SubDlg;
    const bool phase = Alignment() == EWizardAlignment::PhaseShift;
    for (int i = 0; i < kMaxSubmodules; ++i) {
        const tSubmodule& entry = submodules[i];
        if (!entry.module)
            continue;
        const bool independent = entry.pair == 1;
        Page().EnableControl(SubControlId(i, S::kDutyBId), independent);
        Page().EnableControl(SubControlId(i, S::kPhaseId), phase);
        Page().SetControlText(SubControlId(i, S::kAchievedDutyId),
                              problem.empty() && entry.include
                                  ? "A " + DutyText(entry.edges.dutyA) + ", B " +
                                        DutyText(entry.edges.dutyB)
                                  : std::string());
    }
}

bool CpmPWM_FamC_Wizard::OnApply() {
    const std::string problem = Plan();
    ShowPlan(problem);
    if (!problem.empty()) {
        hwc::ShowMessage(problem);
        return false;
    }
    for (tSubmodule& entry : submodules) {
        if (!entry.module || !entry.include)
            continue;
        hwc::pwm::WriteSubmodule(*entry.module, m_timing, entry.edges, entry.pair == 0,
                                 hwc::pwm::ESubmoduleRole::Own);
        Finish(*entry.module);
    }
    return true;
}
