#include "modules/pwm/CpmPWM_FamC_SWLayer.h"

#include <string>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/pwm/CpmPWM_FamC_Wizard.h"
#include "modules/pwm/CpmPWM_FamC_Wizard_3Phase.h"
#include "modules/pwm/PwmWizardPlan.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"THREE_PHASE_CONF", 0, DW8 | DECVALUE | USERDEFINE},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Values of THREE_PHASE_CONF the driver knows.
constexpr std::uint32_t kNoGroup = 0;
constexpr std::uint32_t kThreePhaseGroup = 1;

// The common module the driver layer belongs to when its entry names none.
constexpr const char* kDefaultCommon = "PWM_A";

// Registers that must be equal in the three phases, with the bits that count.
struct tPhaseRegister {
    const char* name;
    int low;
    int high;
};
constexpr tPhaseRegister kEqualRegisters[] = {
    {"INIT_INIT", 0, 15},   {"VAL1_INIT", 0, 15},   {"CTRL_INIT", 4, 6},
    {"DTCNT0_INIT", 0, 15}, {"DTCNT1_INIT", 0, 15},
};

} // namespace

CpmPWM_FamC_SWLayer::CpmPWM_FamC_SWLayer(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_threePhase, 0}});
}

const CDialogTemplate* CpmPWM_FamC_SWLayer::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Driver", {dlg::Row({dlg::Label("Three-phase group (THREE_PHASE_CONF):"),
                                         dlg::Edit(kThreePhaseId)}),
                               dlg::Label("0: none; 1: sub-modules 0-2 drive the phases A-C"),
                               dlg::Label("", kThreePhaseWarningId)}),
         dlg::Group("Wizards",
                    {dlg::Row({dlg::Button(kAlignmentWizardId, "Alignment wizard..."),
                               dlg::Button(kThreePhaseWizardId, "Three-phase wizard...")})})});
    return &page;
}

void CpmPWM_FamC_SWLayer::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    if (CPageControl* control = page.FindControl(kThreePhaseId))
        m_threePhase.Attach(*control);
}

void CpmPWM_FamC_SWLayer::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    m_threePhase.Bind(Item(kThreePhaseItem), 0, 7, 0, "Three-phase group", false, 0, 255, true);
}

std::string CpmPWM_FamC_SWLayer::CommonInstance() const {
    const std::string& related = Descriptor().RelatedModule();
    if (related.empty() || hwc::EqualsNoCase(related, "NONE"))
        return kDefaultCommon;
    return related;
}

std::string CpmPWM_FamC_SWLayer::ThreePhaseMismatch() const {
    const std::string common = CommonInstance();
    CModuleBase* phases[3] = {};
    for (int i = 0; i < 3; ++i) {
        phases[i] = hwc::pwm::FindSubmodule(*this, common, i);
        if (!phases[i]) {
            const std::string name = common + "_" + std::to_string(i);
            // A sub-module the program cannot show cannot be judged.
            if (Host() && Host()->IsModuleWithoutClass(name))
                return {};
            return "The PWM driver treats sub-modules 0-2 as three phases (THREE_PHASE_CONF 1), "
                   "but " +
                   name + " does not exist.";
        }
    }
    bool alike = true;
    for (const tPhaseRegister& reg : kEqualRegisters) {
        const tPerCfgItem* first = hwc::pwm::FindRegisterByShortName(*phases[0], reg.name);
        for (int i = 1; i < 3 && first; ++i) {
            const tPerCfgItem* other = hwc::pwm::FindRegisterByShortName(*phases[i], reg.name);
            if (!other || hwc::pwm::GetField(*first, reg.low, reg.high) !=
                              hwc::pwm::GetField(*other, reg.low, reg.high))
                alike = false;
        }
    }
    bool complementary = true;
    for (CModuleBase* phase : phases) {
        const tPerCfgItem* ctrl2 = hwc::pwm::FindRegisterByShortName(*phase, "CTRL2_INIT");
        if (ctrl2 &&
            hwc::pwm::GetField(*ctrl2, hwc::pwm::kIndependentBit, hwc::pwm::kIndependentBit) != 0)
            complementary = false;
    }
    if (alike && complementary)
        return {};
    return "The PWM driver treats sub-modules 0-2 as three phases (THREE_PHASE_CONF 1), but " +
           std::string(!alike ? "their periods, prescalers or dead times differ"
                              : "not all of them are complementary pairs") +
           ": use the three-phase wizard or set THREE_PHASE_CONF 0.";
}

void CpmPWM_FamC_SWLayer::CheckWarnings() {
    CModule::CheckWarnings();
    const std::uint32_t value = Item(kThreePhaseItem).dwValue;
    std::string text;
    if (value != kNoGroup && value != kThreePhaseGroup)
        text = hwc::Format("THREE_PHASE_CONF %u is not known to the PWM driver: use 0 (none) or 1 "
                           "(sub-modules 0-2 as phases A-C).",
                           value);
    else if (value == kThreePhaseGroup)
        text = ThreePhaseMismatch();
    const bool active = !text.empty();
    SetWarning(kThreePhaseWarningId, active, active ? text.c_str() : nullptr);
}

void CpmPWM_FamC_SWLayer::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    if (event != EControlEvent::Clicked)
        return;
    if (control.Id() == kAlignmentWizardId)
        RunAlignmentWizard();
    else if (control.Id() == kThreePhaseWizardId)
        RunThreePhaseWizard();
}

CModalPage::EResult CpmPWM_FamC_SWLayer::RunAlignmentWizard() {
    CpmPWM_FamC_Wizard wizard(*this, CommonInstance(), BusHz());
    return hwc::RunModalPage(wizard);
}

CModalPage::EResult CpmPWM_FamC_SWLayer::RunThreePhaseWizard() {
    CpmPWM_FamC_Wizard_3Phase wizard(*this, CommonInstance(), BusHz(), Item(kThreePhaseItem));
    const CModalPage::EResult result = hwc::RunModalPage(wizard);
    if (result == CModalPage::EResult::Apply && Page())
        RefreshControls();
    return result;
}
