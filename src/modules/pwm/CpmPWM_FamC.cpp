#include "modules/pwm/CpmPWM_FamC.h"

#include <string>

#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/pwm/PwmMath.h"

namespace {

using namespace hwc::RegFlag;
namespace pwm = hwc::pwm;

// The largest set (FamD); the other groups use the first 28 or 30 entries.
const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0x0400, DW16 | NODEFAULT},
    {"CTRL2_INIT", 0, DW16},
    {"USE_PWMVAL", 0, DW8 | DECVALUE | USERDEFINE},
    {"INIT_INIT", 0, DW16},
    {"VAL1_INIT", 0, DW16},
    {"VAL0_INIT", 0, DW16},
    {"VAL2_INIT", 0, DW16},
    {"VAL3_INIT", 0, DW16},
    {"VAL4_INIT", 0, DW16},
    {"VAL5_INIT", 0, DW16},
    {"FRACVAL1_INIT", 0, DW16},
    {"FRACVAL2_INIT", 0, DW16},
    {"FRACVAL3_INIT", 0, DW16},
    {"FRACVAL4_INIT", 0, DW16},
    {"FRACVAL5_INIT", 0, DW16},
    {"OCTRL_INIT", 0, DW16},
    {"INTEN_INIT", 0, DW16},
    {"DMAEN_INIT", 0, DW16},
    {"TCTRL_INIT", 0, DW16},
    {"DISMAP0_INIT", 0, DW16},
    {"DISMAP1_INIT", 0, DW16},
    {"DTCNT0_INIT", 0, DW16},
    {"DTCNT1_INIT", 0, DW16},
    {"CAPTCTRLA_INIT", 0, DW16},
    {"CAPTCMPA_INIT", 0, DW16},
    {"CAPTCTRLB_INIT", 0, DW16},
    {"CAPTCMPB_INIT", 0, DW16},
    {"CAPTCTRLX_INIT", 0, DW16},
    {"CAPTCMPX_INIT", 0, DW16},
    {"PHASEDLY_INIT", 0, DW16},
    {"FFILT_INIT", 0, DW16},
};
constexpr int kBaseCount = 28;
constexpr int kNewerCount = 30;
constexpr int kFamDCount = static_cast<int>(std::size(kRegisters));

// CTRL fields.
constexpr int kPrescalerLow = 4, kPrescalerHigh = 6;
constexpr int kFullReloadBit = 10, kHalfReloadBit = 11;
constexpr int kReloadFrequencyLow = 12, kReloadFrequencyHigh = 15;
// CTRL2 fields.
constexpr int kClockSourceLow = 0, kClockSourceHigh = 1;
constexpr int kReloadSelectBit = 2;
constexpr int kInitSelectLow = 8, kInitSelectHigh = 9;
constexpr int kIndependentBit = 13;
// OCTRL fields.
constexpr int kPolarityXBit = 8, kPolarityBBit = 9, kPolarityABit = 10;
// CAPTCTRLx fields.
constexpr int kCaptureArmBit = 0;
constexpr int kCaptureEdgeLow = 2, kCaptureEdgeHigh = 3;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    return (value >> low) & ((1u << (high - low + 1)) - 1u);
}

// Edge and period values are typed and shown as signed numbers; a hexadecimal text gives the
// register's bits as they are.
bool ParseSigned16(std::uint32_t& value, const std::string& text, void*, int) {
    const std::string_view trimmed = hwc::Trim(text);
    const auto scanned = hwc::ScanInteger(trimmed);
    if (!scanned || scanned->overflow || scanned->end != trimmed.size())
        return false;
    const bool hex = trimmed.find_first_of("xX") != std::string_view::npos;
    if (hex ? (scanned->value < 0 || scanned->value > 0xFFFF) : !pwm::FitsSigned16(scanned->value))
        return false;
    value = pwm::FromSigned16(static_cast<int>(scanned->value));
    return true;
}

void FormatSigned16(std::string& text, std::uint32_t value, void*, int) {
    text = std::to_string(pwm::ToSigned16(value));
}

void BindSigned(CSetValue& binding, tPerCfgItem& item, const char* description) {
    binding.Bind(item, 0, 15, 0, description, false, 0, 0xFFFF, true);
    binding.SetTextHandlers(&ParseSigned16, &FormatSigned16, nullptr, 0);
}

// "50 %", "33.33 %".
std::string PercentText(double percent) {
    return hwc::Format("%.4g %%", percent);
}

void SetText(CPage* page, int id, const std::string& text) {
    if (CPageControl* control = page ? page->FindControl(id) : nullptr)
        control->SetText(text);
}

const std::vector<std::string> kFaultStates = {"Logic 0", "Logic 1", "Tri-stated", "Tri-stated"};
const std::vector<std::string> kCaptureEdges = {"Disabled", "Falling edge", "Rising edge",
                                                "Any edge"};

tLayoutItem FaultMapRow(const char* caption, int firstId) {
    return dlg::Row({dlg::Label(caption), dlg::Label("A:"), dlg::Edit(firstId), dlg::Label("B:"),
                     dlg::Edit(firstId + 1), dlg::Label("X:"), dlg::Edit(firstId + 2)});
}

tLayoutItem FaultGroup(bool filter) {
    using C = CpmPWM_FamC;
    tLayoutItem group = dlg::Group(
        "Faults",
        {dlg::Row({dlg::Label("Fault state A:"), dlg::DropList(C::kFaultStateAId, kFaultStates),
                   dlg::Label("B:"), dlg::DropList(C::kFaultStateBId, kFaultStates),
                   dlg::Label("X:"), dlg::DropList(C::kFaultStateXId, kFaultStates)}),
         FaultMapRow("Faults 0-3 disabling:", C::kFaultMap0Id),
         FaultMapRow("Faults 4-7 disabling:", C::kFaultMap1Id)});
    if (filter)
        group.children.push_back(
            dlg::Row({dlg::Label("Filter period (bus clocks):"), dlg::Edit(C::kFilterPeriodId),
                      dlg::Label("Filter count:"), dlg::Edit(C::kFilterCountId),
                      dlg::Label("Latency:"), dlg::ReadOnly(C::kFilterLatencyId)}));
    return group;
}

CDialogTemplate MakePage(unsigned id, bool filter) {
    using C = CpmPWM_FamC;
    return CDialogTemplate(
        id,
        {dlg::Group(
             "Clock and period",
             {dlg::Row({dlg::Label("Clock source:"),
                        dlg::DropList(C::kClockSourceId, {"Bus clock", "External clock",
                                                          "Sub-module 0 clock", "Reserved (3)"}),
                        dlg::Label("Prescaler:"),
                        dlg::DropList(C::kPrescalerId, {"/ 1", "/ 2", "/ 4", "/ 8", "/ 16", "/ 32",
                                                        "/ 64", "/ 128"})}),
              dlg::Row({dlg::Label("INIT (start):"), dlg::Edit(C::kInitId),
                        dlg::Label("VAL1 (end):"), dlg::Edit(C::kVal1Id),
                        dlg::Label("VAL0 (half cycle):"), dlg::Edit(C::kVal0Id)}),
              dlg::Row({dlg::Label("Frequency:"), dlg::ReadOnly(C::kFrequencyId),
                        dlg::Label("Resolution:"), dlg::ReadOnly(C::kResolutionId),
                        dlg::Label("Alignment:"), dlg::ReadOnly(C::kAlignmentId)}),
              dlg::Label("", C::kPeriodWarningId), dlg::Label("", C::kClockWarningId)}),
         dlg::Group(
             "Outputs",
             {dlg::CheckBox(C::kIndependentId, "Independent outputs (A and B not complementary)"),
              dlg::Row({dlg::Label("A on (VAL2):"), dlg::Edit(C::kVal2Id),
                        dlg::Label("A off (VAL3):"), dlg::Edit(C::kVal3Id), dlg::Label("Duty A:"),
                        dlg::ReadOnly(C::kDutyAId)}),
              dlg::Row({dlg::Label("B on (VAL4):"), dlg::Edit(C::kVal4Id),
                        dlg::Label("B off (VAL5):"), dlg::Edit(C::kVal5Id), dlg::Label("Duty B:"),
                        dlg::ReadOnly(C::kDutyBId)}),
              dlg::Row({dlg::CheckBox(C::kPolarityAId, "Invert A"),
                        dlg::CheckBox(C::kPolarityBId, "Invert B"),
                        dlg::CheckBox(C::kPolarityXId, "Invert X")}),
              dlg::Row({dlg::Label("Dead time 0 (clocks):"), dlg::Edit(C::kDeadTime0Id),
                        dlg::ReadOnly(C::kDeadTime0NsId), dlg::Label("Dead time 1 (clocks):"),
                        dlg::Edit(C::kDeadTime1Id), dlg::ReadOnly(C::kDeadTime1NsId)}),
              dlg::Label("", C::kEdgeWarningId), dlg::Label("", C::kDeadTimeWarningId)}),
         dlg::Group(
             "Reload and triggers",
             {dlg::Row({dlg::CheckBox(C::kFullReloadId, "Full-cycle reload"),
                        dlg::CheckBox(C::kHalfReloadId, "Half-cycle reload"), dlg::Label("Reload:"),
                        dlg::DropList(C::kReloadFrequencyId,
                                      {"Every opportunity", "Every 2 opportunities",
                                       "Every 3 opportunities", "Every 4 opportunities",
                                       "Every 5 opportunities", "Every 6 opportunities",
                                       "Every 7 opportunities", "Every 8 opportunities",
                                       "Every 9 opportunities", "Every 10 opportunities",
                                       "Every 11 opportunities", "Every 12 opportunities",
                                       "Every 13 opportunities", "Every 14 opportunities",
                                       "Every 15 opportunities", "Every 16 opportunities"})}),
              dlg::Row({dlg::CheckBox(C::kReloadFromMasterId, "Reload from master"),
                        dlg::Label("Initialise on:"),
                        dlg::DropList(C::kInitSourceId, {"Local sync", "Master reload",
                                                         "Master sync", "External sync"})}),
              dlg::Row({dlg::Label("Trigger 0 on:"), dlg::CheckBox(C::kFirstTriggerId + 0, "VAL0"),
                        dlg::CheckBox(C::kFirstTriggerId + 2, "VAL2"),
                        dlg::CheckBox(C::kFirstTriggerId + 4, "VAL4"), dlg::Label("Trigger 1 on:"),
                        dlg::CheckBox(C::kFirstTriggerId + 1, "VAL1"),
                        dlg::CheckBox(C::kFirstTriggerId + 3, "VAL3"),
                        dlg::CheckBox(C::kFirstTriggerId + 5, "VAL5")}),
              dlg::CheckBox(C::kDriverWritesValuesId, "Driver writes the VAL registers"),
              dlg::Label("", C::kDriverWarningId)}),
         FaultGroup(filter),
         dlg::Group("Capture", {dlg::Row({dlg::CheckBox(C::kCaptureArmAId, "Capture A"),
                                          dlg::DropList(C::kCaptureEdgeAId, kCaptureEdges),
                                          dlg::CheckBox(C::kCaptureArmBId, "Capture B"),
                                          dlg::DropList(C::kCaptureEdgeBId, kCaptureEdges),
                                          dlg::CheckBox(C::kCaptureArmXId, "Capture X"),
                                          dlg::DropList(C::kCaptureEdgeXId, kCaptureEdges)})}),
         dlg::Placeholder(CModule::kFirstHeadingPlaceholderId),
         dlg::Placeholder(CModule::kFirstRowPlaceholderId),
         dlg::Placeholder(CModule::kFirstRowPlaceholderId + 1)});
}

} // namespace

CpmPWM_FamC::CpmPWM_FamC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {
    const int count = RegisterCountOf(*this);
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    AddCommentItems({{&m_clockSource, 0},
                     {&m_prescaler, 0},
                     {&m_init, 0},
                     {&m_val1, 0},
                     {&m_independent, 0},
                     {&m_val2, 0},
                     {&m_val3, 0},
                     {&m_val4, 0},
                     {&m_val5, 0},
                     {&m_deadTime0, 0},
                     {&m_deadTime1, 0}});
    if (HasFaultFilter())
        AddCommentItems({{&m_filterPeriod, 0}, {&m_filterCount, 0}});
}

int CpmPWM_FamC::RegisterCountOf(const CModuleBase& module) {
    if (IsProcessorGroup(module, kFamD))
        return kFamDCount;
    if (IsProcessorGroup(module, kFamE) || IsProcessorGroup(module, kFamF))
        return kNewerCount;
    return kBaseCount;
}

const CDialogTemplate* CpmPWM_FamC::DialogTemplate() const {
    static const CDialogTemplate page = MakePage(kTemplateId, false);
    static const CDialogTemplate famDPage = MakePage(kFamDTemplateId, true);
    return IsProcessorGroup(*this, kFamD) ? &famDPage : &page;
}

void CpmPWM_FamC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_clockSource.AttachTo(page, kClockSourceId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_init.AttachTo(page, kInitId);
    m_val1.AttachTo(page, kVal1Id);
    m_val0.AttachTo(page, kVal0Id);
    m_independent.AttachTo(page, kIndependentId);
    m_val2.AttachTo(page, kVal2Id);
    m_val3.AttachTo(page, kVal3Id);
    m_val4.AttachTo(page, kVal4Id);
    m_val5.AttachTo(page, kVal5Id);
    m_polarityA.AttachTo(page, kPolarityAId);
    m_polarityB.AttachTo(page, kPolarityBId);
    m_polarityX.AttachTo(page, kPolarityXId);
    m_deadTime0.AttachTo(page, kDeadTime0Id);
    m_deadTime1.AttachTo(page, kDeadTime1Id);
    m_fullReload.AttachTo(page, kFullReloadId);
    m_halfReload.AttachTo(page, kHalfReloadId);
    m_reloadFrequency.AttachTo(page, kReloadFrequencyId);
    m_reloadFromMaster.AttachTo(page, kReloadFromMasterId);
    m_initSource.AttachTo(page, kInitSourceId);
    for (int i = 0; i < 6; ++i)
        m_triggers[i].AttachTo(page, kFirstTriggerId + i);
    m_driverWritesValues.AttachTo(page, kDriverWritesValuesId);
    m_faultStateA.AttachTo(page, kFaultStateAId);
    m_faultStateB.AttachTo(page, kFaultStateBId);
    m_faultStateX.AttachTo(page, kFaultStateXId);
    for (int i = 0; i < 3; ++i) {
        m_faultMap0[i].AttachTo(page, kFaultMap0Id + i);
        m_faultMap1[i].AttachTo(page, kFaultMap1Id + i);
    }
    m_captureArmA.AttachTo(page, kCaptureArmAId);
    m_captureEdgeA.AttachTo(page, kCaptureEdgeAId);
    m_captureArmB.AttachTo(page, kCaptureArmBId);
    m_captureEdgeB.AttachTo(page, kCaptureEdgeBId);
    m_captureArmX.AttachTo(page, kCaptureArmXId);
    m_captureEdgeX.AttachTo(page, kCaptureEdgeXId);
    if (HasFaultFilter()) {
        m_filterPeriod.AttachTo(page, kFilterPeriodId);
        m_filterCount.AttachTo(page, kFilterCountId);
    }
}

void CpmPWM_FamC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    tPerCfgItem& ctrl2 = Item(kCtrl2Item);
    tPerCfgItem& octrl = Item(kOctrlItem);
    m_clockSource.Bind(ctrl2, kClockSourceLow, kClockSourceHigh, 0, "Clock source");
    m_prescaler.Bind(ctrl, kPrescalerLow, kPrescalerHigh, 0, "Prescaler");
    BindSigned(m_init, Item(kInitItem), "INIT");
    BindSigned(m_val1, Item(kVal1Item), "VAL1");
    BindSigned(m_val0, Item(kVal0Item), "VAL0");
    m_independent.Bind(ctrl2, kIndependentBit, false, "Independent outputs");
    BindSigned(m_val2, Item(kVal2Item), "A on");
    BindSigned(m_val3, Item(kVal3Item), "A off");
    BindSigned(m_val4, Item(kVal4Item), "B on");
    BindSigned(m_val5, Item(kVal5Item), "B off");
    m_polarityA.Bind(octrl, kPolarityABit, false, "Invert A");
    m_polarityB.Bind(octrl, kPolarityBBit, false, "Invert B");
    m_polarityX.Bind(octrl, kPolarityXBit, false, "Invert X");
    m_deadTime0.Bind(Item(kDtcnt0Item), 0, 15, 0, "Dead time 0", false, 0, 0xFFFF, true);
    m_deadTime1.Bind(Item(kDtcnt1Item), 0, 15, 0, "Dead time 1", false, 0, 0xFFFF, true);
    m_fullReload.Bind(ctrl, kFullReloadBit, false, "Full-cycle reload");
    m_halfReload.Bind(ctrl, kHalfReloadBit, false, "Half-cycle reload");
    m_reloadFrequency.Bind(ctrl, kReloadFrequencyLow, kReloadFrequencyHigh, 0, "Reload");
    m_reloadFromMaster.Bind(ctrl2, kReloadSelectBit, false, "Reload from master");
    m_initSource.Bind(ctrl2, kInitSelectLow, kInitSelectHigh, 0, "Initialise on");
    for (int i = 0; i < 6; ++i)
        m_triggers[i].Bind(Item(kTctrlItem), i, false, "Trigger");
    m_driverWritesValues.Bind(Item(kUsePwmValItem), 0, false, "Driver writes VAL registers");
    m_faultStateA.Bind(octrl, 4, 5, 0, "Fault state A");
    m_faultStateB.Bind(octrl, 2, 3, 0, "Fault state B");
    m_faultStateX.Bind(octrl, 0, 1, 0, "Fault state X");
    for (int i = 0; i < 3; ++i) {
        m_faultMap0[i].Bind(Item(kDismap0Item), 4 * i, 4 * i + 3, 0, "Faults 0-3", true, 0, 15,
                            true);
        m_faultMap1[i].Bind(Item(kDismap1Item), 4 * i, 4 * i + 3, 0, "Faults 4-7", true, 0, 15,
                            true);
    }
    m_captureArmA.Bind(Item(kCaptCtrlAItem), kCaptureArmBit, false, "Capture A");
    m_captureEdgeA.Bind(Item(kCaptCtrlAItem), kCaptureEdgeLow, kCaptureEdgeHigh, 0, "Edge A");
    m_captureArmB.Bind(Item(kCaptCtrlBItem), kCaptureArmBit, false, "Capture B");
    m_captureEdgeB.Bind(Item(kCaptCtrlBItem), kCaptureEdgeLow, kCaptureEdgeHigh, 0, "Edge B");
    m_captureArmX.Bind(Item(kCaptCtrlXItem), kCaptureArmBit, false, "Capture X");
    m_captureEdgeX.Bind(Item(kCaptCtrlXItem), kCaptureEdgeLow, kCaptureEdgeHigh, 0, "Edge X");
    if (HasFaultFilter()) {
        m_filterPeriod.Bind(Item(kFaultFilterItem), 0, 7, 0, "Filter period", false, 0, 255, true);
        m_filterCount.Bind(Item(kFaultFilterItem), 8, 10, 0, "Filter count", false, 0, 7, true);
    }
}

int CpmPWM_FamC::PeriodCounts() const {
    return pwm::PeriodCounts(Value(kInitItem), Value(kVal1Item));
}

int CpmPWM_FamC::PrescalerExponent() const {
    return static_cast<int>(Field(Value(kCtrlItem), kPrescalerLow, kPrescalerHigh));
}

bool CpmPWM_FamC::IsIndependent() const {
    return (Value(kCtrl2Item) >> kIndependentBit) & 1u;
}

double CpmPWM_FamC::InputClockHz() const {
    switch (Field(Value(kCtrl2Item), kClockSourceLow, kClockSourceHigh)) {
    case kBusClock:
        return static_cast<double>(GetBusClock()) * 1e6;
    case kSubmodule0Clock:
        // Sub-module 0 runs from the bus clock; it cannot take its own clock.
        return InstanceName() == Submodule0() ? 0.0 : static_cast<double>(GetBusClock()) * 1e6;
    default:
        return 0.0; // an external clock has no known frequency; code 3 is reserved
    }
}

double CpmPWM_FamC::FrequencyHz() const {
    return pwm::FrequencyHz(InputClockHz(), 1LL << PrescalerExponent(), PeriodCounts());
}

std::string CpmPWM_FamC::Submodule0() const {
    const std::string common = hwc::PwmCommonInstance(InstanceName());
    return common.empty() ? std::string() : common + "_0";
}

void CpmPWM_FamC::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    const int counts = PeriodCounts();
    ShowFrequency(kFrequencyId, FrequencyHz(), true, "??");
    SetText(page, kResolutionId, counts > 0 ? hwc::Format("%d steps", counts) : "??");
    const bool independent = IsIndependent();
    SetText(page, kAlignmentId,
            pwm::AlignmentText(pwm::ClassifyAlignment(
                Value(kInitItem), Value(kVal1Item), Value(kVal2Item), Value(kVal3Item),
                Value(kVal4Item), Value(kVal5Item), independent)));
    const auto duty = [&](int on, int off) {
        return counts > 0 ? PercentText(pwm::DutyPercent(pwm::ToSigned16(Value(on)),
                                                         pwm::ToSigned16(Value(off)), counts))
                          : std::string("??");
    };
    SetText(page, kDutyAId, duty(kVal2Item, kVal3Item));
    // In complementary mode B is A inverted: its duty is what A leaves.
    if (independent || counts <= 0)
        SetText(page, kDutyBId, duty(kVal4Item, kVal5Item));
    else
        SetText(page, kDutyBId,
                PercentText(100.0 - pwm::DutyPercent(pwm::ToSigned16(Value(kVal2Item)),
                                                     pwm::ToSigned16(Value(kVal3Item)), counts)));
    const double busHz = static_cast<double>(GetBusClock()) * 1e6;
    const auto deadTime = [&](int item) {
        return busHz > 0.0 ? hwc::Format("%.6g ns", pwm::DeadTimeNs(Value(item) & 0xFFFFu, busHz))
                           : std::string("??");
    };
    SetText(page, kDeadTime0NsId, deadTime(kDtcnt0Item));
    SetText(page, kDeadTime1NsId, deadTime(kDtcnt1Item));
    if (HasFaultFilter()) {
        const std::uint32_t clocks = pwm::FaultFilterLatencyClocks(Value(kFaultFilterItem));
        std::string time;
        if (clocks != 0 && busHz > 0.0)
            ShowTime(kNoControlId, clocks / busHz, true, "??", nullptr, &time);
        SetText(page, kFilterLatencyId,
                clocks == 0   ? std::string("Filter off")
                : busHz > 0.0 ? hwc::Format("%u bus clocks, %s", clocks, time.c_str())
                              : std::string("??"));
    }
}

void CpmPWM_FamC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const bool independent = IsIndependent();
    page->EnableControl(kVal4Id, independent);
    page->EnableControl(kVal5Id, independent);
    const bool channel1 = ItemCount() > kDismap1Item;
    page->EnableControls({kFaultMap1Id, kFaultMap1Id + 1, kFaultMap1Id + 2}, channel1);
}

void CpmPWM_FamC::CheckWarnings() {
    CModule::CheckWarnings();
    const int start = pwm::ToSigned16(Value(kInitItem));
    const int end = pwm::ToSigned16(Value(kVal1Item));
    const int counts = PeriodCounts();
    // A stopped sub-module's period does not matter: only running ones are judged.
    const bool running = IsModuleEnabled();

    const bool emptyPeriod = running && end <= start;
    const std::string periodText =
        hwc::Format("Period is empty: VAL1 (%d) must be greater than INIT (%d).", end, start);
    SetWarning(*this, kPeriodWarningId, emptyPeriod, emptyPeriod ? periodText : std::string(),
               emptyPeriod ? periodText : std::string());

    std::string edgeText;
    if (running && end > start) {
        const bool independent = IsIndependent();
        const struct {
            int item;
            const char* name;
            bool used;
        } edges[] = {{kVal2Item, "VAL2", true},
                     {kVal3Item, "VAL3", true},
                     {kVal4Item, "VAL4", independent},
                     {kVal5Item, "VAL5", independent}};
        for (const auto& edge : edges) {
            const int value = pwm::ToSigned16(Value(edge.item));
            if (edge.used && (value < start || value > end)) {
                edgeText = hwc::Format("%s (%d) is outside the period %d .. %d: the edge never "
                                       "happens.",
                                       edge.name, value, start, end);
                break;
            }
        }
    }
    SetWarning(*this, kEdgeWarningId, !edgeText.empty(), edgeText, edgeText);

    // Dead time is counted in bus clocks, the period in prescaled clocks.
    std::string deadText;
    if (running && counts > 0 && !IsIndependent()) {
        const long long periodClocks = static_cast<long long>(counts) << PrescalerExponent();
        for (int n = 0; n < 2; ++n) {
            const long long dead = Value(n == 0 ? kDtcnt0Item : kDtcnt1Item) & 0xFFFFu;
            if (2 * dead >= periodClocks) {
                deadText = hwc::Format("Dead time %d (%lld clocks) is half the period (%lld "
                                       "clocks) or more: the outputs never switch on.",
                                       n, dead, periodClocks);
                break;
            }
        }
    }
    SetWarning(*this, kDeadTimeWarningId, !deadText.empty(), deadText, deadText);

    std::string clockText;
    const std::uint32_t source = Field(Value(kCtrl2Item), kClockSourceLow, kClockSourceHigh);
    const std::string sub0 = Submodule0();
    if (source == 3) {
        clockText = "Clock source code 3 is reserved.";
    } else if (source == kSubmodule0Clock) {
        if (sub0.empty() || sub0 == InstanceName())
            clockText = "Sub-module 0 cannot be clocked from itself.";
        else if (!hwc::ModuleExists(*this, sub0))
            clockText =
                hwc::Format("Clocked from sub-module 0, but %s does not exist.", sub0.c_str());
        else if (!hwc::PwmSubmoduleRunning(*this, sub0, true))
            clockText = hwc::Format("Clocked from sub-module 0, but %s is not running - see %s.",
                                    sub0.c_str(), hwc::PwmCommonInstance(sub0).c_str());
    }
    SetWarning(*this, kClockWarningId, !clockText.empty(), clockText, clockText);

    const std::uint32_t driver = Value(kUsePwmValItem);
    const std::string driverText =
        driver > 1 ? hwc::Format("USE_PWMVAL is %u; only 0 or 1 is understood.", driver)
                   : std::string();
    SetWarning(*this, kDriverWarningId, !driverText.empty(), driverText, driverText);
}

bool CpmPWM_FamC::IsTriggerSelected(int trigger) const {
    if (trigger < 0 || trigger > 1)
        return false;
    const std::uint32_t mask = trigger == 0 ? 0x15u : 0x2Au;
    return (Value(kTctrlItem) & mask) != 0;
}

unsigned CpmPWM_FamC::MappedFaults() const {
    const auto faults = [](std::uint32_t map) { return (map | (map >> 4) | (map >> 8)) & 0xFu; };
    unsigned mapped = faults(Value(kDismap0Item));
    mapped |= faults(Value(kDismap1Item)) << 4;
    return mapped;
}

bool CpmPWM_FamC::IsModuleEnabled() const {
    return hwc::PwmSubmoduleRunning(*this, InstanceName(), true);
}
