#include "modules/pwm/CpmPWMAll_FamC.h"

#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/pwm/PwmMath.h"
#include "modules/routing/RoutingQueries.h"

namespace {

using namespace hwc::RegFlag;
using R = CpmPWMAll_FamC;

struct tRegisterName {
    R::ERegister kind;
    const char* storedName; // as stored files name it, without the instance prefix
    const char* ownName;    // after the instance's own prefix
    bool newerOnly;         // FamE, FamF and FamD only
};

constexpr tRegisterName kFirstMode[] = {
    {R::kMctrl, "-PWM_A_MCTRL_INIT", "MCTRL_INIT", false},
    {R::kMctrl2, "-PWM_A_MCTRL2_INIT", "MCTRL2_INIT", true},
    {R::kOuten, "-PWM_A_OUTEN_INIT", "OUTEN_INIT", false},
    {R::kMask, "-PWM_A_MASK_INIT", "MASK_INIT", false},
    {R::kSwcout, "-PWM_A_SWCOUT_INIT", "SWCOUT_INIT", false},
    {R::kDtsrcsel, "-PWM_A_DTSRCSEL_INIT", "DTSRCSEL_INIT", false},
    {R::kFctrl, "-PWM_A_FCTRL0_INIT", "FCTRL0_INIT", false},
    {R::kFsts, "-PWM_A_FSTS0_INIT", "FSTS0_INIT", false},
    {R::kFfilt, "-PWM_A_FFILT0_INIT", "FFILT0_INIT", false},
    {R::kFtst, "-PWM_A_FTST0_INIT", "FTST0_INIT", false},
};
constexpr tRegisterName kSecondMode[] = {
    {R::kFctrl, "-PWM_A_FCTRL1_INIT", "FCTRL1_INIT", true},
    {R::kFsts, "-PWM_A_FSTS1_INIT", "FSTS1_INIT", true},
    {R::kFfilt, "-PWM_A_FFILT1_INIT", "FFILT1_INIT", true},
    {R::kFtst, "-PWM_A_FTST1_INIT", "FTST1_INIT", true},
};

// Summary texts of the run bits.
constexpr const char* kRunTexts[] = {"Sub-module 0 run", "Sub-module 1 run", "Sub-module 2 run",
                                     "Sub-module 3 run"};
static_assert(std::size(kRunTexts) == CpmPWMAll_FamC::kSubmodules);

// MCTRL fields.
constexpr int kLoadOkLow = 0, kRunLow = 8;
// OUTEN fields.
constexpr int kOutputXLow = 0, kOutputBLow = 4, kOutputALow = 8;
// FCTRL fields.
constexpr int kFaultInterruptLow = 0, kFaultSafeLow = 4, kFaultAutoLow = 8, kFaultLevelLow = 12;
// FSTS fields.
constexpr int kFaultFullLow = 4, kFaultHalfLow = 12;
// FFILT fields.
constexpr int kFilterPeriodLow = 0, kFilterPeriodHigh = 7;
constexpr int kFilterCountLow = 8, kFilterCountHigh = 10;

bool IsNewerGroup(const CModuleBase& module) {
    return CModule::IsProcessorGroup(module, CModule::kFamE) ||
           CModule::IsProcessorGroup(module, CModule::kFamF) ||
           CModule::IsProcessorGroup(module, CModule::kFamD);
}

tLayoutItem SubmoduleRow(int n) {
    const int o = 10 * n;
    return dlg::Row(
        {dlg::Label(hwc::Format("Sub-module %d:", n), R::kRowLabelId + o),
         dlg::CheckBox(R::kLoadOkId + o, "Load OK"), dlg::CheckBox(R::kRunId + o, "Run"),
         dlg::CheckBox(R::kOutputAId + o, "Output A"), dlg::CheckBox(R::kOutputBId + o, "Output B"),
         dlg::CheckBox(R::kOutputXId + o, "Output X")});
}

tLayoutItem FaultBlock(int local) {
    const int o = 10 * local;
    return dlg::Column({dlg::Row({dlg::Label("Fault input:", R::kFaultLabelId + o),
                                  dlg::CheckBox(R::kFaultInterruptId + o, "Interrupt enable"),
                                  dlg::CheckBox(R::kFaultHighId + o, "Active high"),
                                  dlg::CheckBox(R::kFaultAutoClearId + o, "Automatic clearing"),
                                  dlg::CheckBox(R::kFaultSafeId + o, "Safe mode")}),
                        dlg::Row({dlg::CheckBox(R::kFaultFullCycleId + o, "Full-cycle recovery"),
                                  dlg::CheckBox(R::kFaultHalfCycleId + o, "Half-cycle recovery")}),
                        dlg::Label("", R::kFaultSourceWarningId + o)});
}

tLayoutItem FilterRow() {
    return dlg::Row({dlg::Label("Filter period (bus clocks):"), dlg::Edit(R::kFilterPeriodId),
                     dlg::Label("Filter count:"), dlg::Edit(R::kFilterCountId),
                     dlg::Label("Latency:"), dlg::ReadOnly(R::kFilterLatencyId)});
}

tLayoutItem Faults() {
    return dlg::Group("Fault inputs",
                      {FaultBlock(0), FaultBlock(1), FaultBlock(2), FaultBlock(3), FilterRow()});
}

// The crossbars a fault input can be fed through, by processor group.
constexpr const char* kCrossbars[] = {"XBAR_A", "XBAR"};
constexpr int kMaxCrossbarOutputs = 256;

// The crossbar output that feeds the named signal ("PWM_A_FAULT0"), -1 when none does.
int CrossbarOutputOf(const CModuleBase& asker, const char* crossbar, const std::string& signal) {
    if (!hwc::CrossbarExists(asker, crossbar))
        return -1;
    const std::string ending = " " + signal + ".";
    for (int output = 0; output < kMaxCrossbarOutputs; ++output) {
        const std::string label = hwc::CrossbarOutputLabel(asker, crossbar, output);
        if (label == signal + "." ||
            (label.size() > ending.size() &&
             label.compare(label.size() - ending.size(), ending.size(), ending) == 0))
            return output;
    }
    return -1;
}

} // namespace

CpmPWMAll_FamC::CpmPWMAll_FamC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {
    m_index.fill(-1);
    std::uint32_t channel = 0;
    if (IsNewerGroup(*this) && GetModuleInfoNumber("FAULT_CHANNEL", channel) && channel == 1)
        m_faultChannel = 1;
    const bool stored = UsesStoredNames();
    const bool newer = IsNewerGroup(*this);
    std::vector<tPerCfgDef> table;
    const auto add = [&](const tRegisterName& name) {
        if (name.newerOnly && !newer)
            return;
        m_index[name.kind] = static_cast<int>(table.size());
        table.push_back({stored ? name.storedName : name.ownName, 0, DW16});
    };
    if (IsFaultChannelMode()) {
        for (const tRegisterName& name : kSecondMode)
            add(name);
    } else {
        for (const tRegisterName& name : kFirstMode)
            add(name);
    }
    const int count = static_cast<int>(table.size());
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table.data(), true);
    if (!IsFaultChannelMode()) {
        for (int n = 0; n < kSubmodules; ++n)
            AddCommentItems({{&m_run[n], 0}});
    }
    AddCommentItems({{&m_filterPeriod, 0}, {&m_filterCount, 0}});
}

bool CpmPWMAll_FamC::UsesStoredNames() const {
    return InstanceName() == "PWM" || InstanceName() == "PWM_A";
}

std::string CpmPWMAll_FamC::SubmoduleName(int submodule) const {
    return hwc::Format("%s_%d", InstanceName().c_str(), submodule);
}

const CDialogTemplate* CpmPWMAll_FamC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId, {dlg::Group("Sub-modules", {SubmoduleRow(0), SubmoduleRow(1), SubmoduleRow(2),
                                                 SubmoduleRow(3)}),
                      Faults(), dlg::Placeholder(CModule::kFirstHeadingPlaceholderId),
                      dlg::Placeholder(CModule::kFirstRowPlaceholderId),
                      dlg::Placeholder(CModule::kFirstRowPlaceholderId + 1)});
    static const CDialogTemplate faultChannelPage(
        kFaultChannelTemplateId, {Faults(), dlg::Placeholder(CModule::kFirstHeadingPlaceholderId),
                                  dlg::Placeholder(CModule::kFirstRowPlaceholderId),
                                  dlg::Placeholder(CModule::kFirstRowPlaceholderId + 1)});
    return IsFaultChannelMode() ? &faultChannelPage : &page;
}

void CpmPWMAll_FamC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    for (int n = 0; n < kSubmodules; ++n) {
        m_loadOk[n].AttachTo(page, kLoadOkId + 10 * n);
        m_run[n].AttachTo(page, kRunId + 10 * n);
        m_outputA[n].AttachTo(page, kOutputAId + 10 * n);
        m_outputB[n].AttachTo(page, kOutputBId + 10 * n);
        m_outputX[n].AttachTo(page, kOutputXId + 10 * n);
    }
    for (int f = 0; f < kFaultsPerChannel; ++f) {
        const int o = 10 * f;
        m_faultInterrupt[f].AttachTo(page, kFaultInterruptId + o);
        m_faultHigh[f].AttachTo(page, kFaultHighId + o);
        m_faultAutoClear[f].AttachTo(page, kFaultAutoClearId + o);
        m_faultSafe[f].AttachTo(page, kFaultSafeId + o);
        m_faultFullCycle[f].AttachTo(page, kFaultFullCycleId + o);
        m_faultHalfCycle[f].AttachTo(page, kFaultHalfCycleId + o);
        page.SetControlText(kFaultLabelId + o, hwc::Format("Fault %d:", FirstFault() + f));
    }
    m_filterPeriod.AttachTo(page, kFilterPeriodId);
    m_filterCount.AttachTo(page, kFilterCountId);
}

void CpmPWMAll_FamC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    if (m_index[kMctrl] >= 0 && m_index[kOuten] >= 0) {
        tPerCfgItem& mctrl = Item(m_index[kMctrl]);
        tPerCfgItem& outen = Item(m_index[kOuten]);
        for (int n = 0; n < kSubmodules; ++n) {
            m_loadOk[n].Bind(mctrl, kLoadOkLow + n, false, "Load OK");
            m_run[n].Bind(mctrl, kRunLow + n, false, kRunTexts[n]);
            m_outputA[n].Bind(outen, kOutputALow + n, false, "Output A enable");
            m_outputB[n].Bind(outen, kOutputBLow + n, false, "Output B enable");
            m_outputX[n].Bind(outen, kOutputXLow + n, false, "Output X enable");
        }
    }
    tPerCfgItem& fctrl = Item(m_index[kFctrl]);
    tPerCfgItem& fsts = Item(m_index[kFsts]);
    for (int f = 0; f < kFaultsPerChannel; ++f) {
        m_faultInterrupt[f].Bind(fctrl, kFaultInterruptLow + f, false, "Fault interrupt");
        m_faultHigh[f].Bind(fctrl, kFaultLevelLow + f, false, "Fault active high");
        m_faultAutoClear[f].Bind(fctrl, kFaultAutoLow + f, false, "Automatic clearing");
        m_faultSafe[f].Bind(fctrl, kFaultSafeLow + f, false, "Safe mode");
        m_faultFullCycle[f].Bind(fsts, kFaultFullLow + f, false, "Full-cycle recovery");
        m_faultHalfCycle[f].Bind(fsts, kFaultHalfLow + f, false, "Half-cycle recovery");
    }
    tPerCfgItem& ffilt = Item(m_index[kFfilt]);
    m_filterPeriod.Bind(ffilt, kFilterPeriodLow, kFilterPeriodHigh, 0, "Filter period", false, 0,
                        255, true);
    m_filterCount.Bind(ffilt, kFilterCountLow, kFilterCountHigh, 0, "Filter count", false, 0, 7,
                       true);
}

std::uint32_t CpmPWMAll_FamC::FilterLatencyClocks() const {
    return hwc::pwm::FaultFilterLatencyClocks(Value(kFfilt));
}

void CpmPWMAll_FamC::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    const std::uint32_t clocks = FilterLatencyClocks();
    const double busHz = static_cast<double>(GetBusClock()) * 1e6;
    std::string text;
    if (clocks == 0)
        text = "Filter off";
    else if (busHz <= 0.0)
        text = "??";
    else
        ShowTime(kNoControlId, clocks / busHz, true, "??", nullptr, &text);
    if (CPageControl* control = page->FindControl(kFilterLatencyId))
        control->SetText(clocks == 0 || busHz <= 0.0
                             ? text
                             : hwc::Format("%u bus clocks, %s", clocks, text.c_str()));
}

void CpmPWMAll_FamC::UpdateControlStates() {
    CPage* page = Page();
    if (!page || IsFaultChannelMode())
        return;
    // A row per sub-module the processor has.
    for (int n = 0; n < kSubmodules; ++n) {
        const bool present = hwc::ModuleExists(*this, SubmoduleName(n));
        const int o = 10 * n;
        page->ShowControls({kRowLabelId + o, kLoadOkId + o, kRunId + o, kOutputAId + o,
                            kOutputBId + o, kOutputXId + o},
                           present);
    }
}

void CpmPWMAll_FamC::CheckWarnings() {
    CModule::CheckWarnings();
    unsigned mapped = 0;
    for (int n = 0; n < kSubmodules; ++n)
        mapped |= hwc::PwmMappedFaults(*this, SubmoduleName(n));
    for (int f = 0; f < kFaultsPerChannel; ++f) {
        const int fault = FirstFault() + f;
        std::string text;
        if ((mapped >> fault) & 1u) {
            const std::string signal = hwc::Format("%s_FAULT%d", InstanceName().c_str(), fault);
            for (const char* crossbar : kCrossbars) {
                const int output = CrossbarOutputOf(*this, crossbar, signal);
                if (output < 0)
                    continue;
                const hwc::tCrossbarSourceCheck check =
                    hwc::CrossbarSourceCheck(*this, crossbar, output);
                if (!check.passes)
                    text = hwc::Format("Fault %d disables PWM outputs, but its source %s has "
                                       "none (see %s): %s",
                                       fault, signal.c_str(), crossbar, check.message.c_str());
                break;
            }
        }
        SetWarning(*this, kFaultSourceWarningId + 10 * f, !text.empty(), text, text);
    }
}

bool CpmPWMAll_FamC::IsSubmoduleRunning(int submodule) const {
    if (submodule < 0 || submodule >= kSubmodules || IsFaultChannelMode())
        return true;
    return (Value(kMctrl) >> (kRunLow + submodule)) & 1u;
}
