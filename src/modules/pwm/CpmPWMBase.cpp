#include "modules/pwm/CpmPWMBase.h"

#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/DisplayText.h"
#include "model/ModuleSubDlg.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/pwm/PwmMath.h"

using hwc::Format;

namespace {

// PMCTL fields.
constexpr int kEnableBit = 0;
constexpr int kLoadOkBit = 1;
constexpr int kCurrentSenseLow = 2;
constexpr int kCurrentSenseHigh = 3;
constexpr int kReloadInterruptBit = 5;
constexpr int kPrescalerLow = 6;
constexpr int kPrescalerHigh = 7;
constexpr int kHalfCycleBit = 11;
constexpr int kReloadFrequencyLow = 12;
constexpr int kReloadFrequencyHigh = 15;
// PMOUT: the output pads follow the generator only while this bit is set.
constexpr int kPadEnableBit = 15;
// PMCFG (PMCNFG) fields.
constexpr int kWriteProtectBit = 0;
constexpr int kFirstIndependentBit = 1;
constexpr int kFirstBottomNegativeBit = 4;
constexpr int kFirstTopNegativeBit = 8;
constexpr int kEdgeAlignedBit = 12;
// PMCCR: how writes to the value registers are spread.
constexpr int kValueLoadModeLow = 4;
constexpr int kValueLoadModeHigh = 5;
constexpr int kValidValueLoadModes = 2;
// Widths.
constexpr std::uint32_t kModuloMax = 0x7FFF;
constexpr std::uint32_t kDeadTimeMax = 0x0FFF;
constexpr int kValueBits = 16;
// FFILTn: sample period in bus clocks (0 turns the filter off) and extra samples.
constexpr int kFilterPeriodHigh = 7;
constexpr int kFilterCountLow = 8;
constexpr int kFilterCountHigh = 10;
constexpr std::uint32_t kFilterPeriodMax = 0xFF;
// Templates of the sub-pages.
constexpr unsigned kOutputTemplateId = 2061;
constexpr unsigned kFaultTemplateId = 2062;
constexpr unsigned kFilterFaultTemplateId = 2063;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// A number with at most `decimals` decimals, trailing zeros and point removed.
std::string Trimmed(double value, int decimals) {
    std::string text = Format("%.*f", decimals, value);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    return text == "-0" ? "0" : text;
}

std::vector<std::string> ReloadFrequencyEntries() {
    std::vector<std::string> entries = {"Every PWM opportunity"};
    for (int n = 2; n <= 16; ++n)
        entries.push_back(Format("Every %d PWM opportunities", n));
    return entries;
}

tLayoutItem ClockGroup() {
    return dlg::Group(
        "Clock and period",
        {dlg::Row({dlg::CheckBox(CpmPWMBase::kEnableId, "PWM generator enable"),
                   dlg::CheckBox(CpmPWMBase::kLoadOkId, "Load OK")}),
         dlg::Row(
             {dlg::Column(
                  {dlg::Row(
                       {dlg::Label("Prescaler:"),
                        dlg::DropList(CpmPWMBase::kPrescalerId, {"/ 1", "/ 2", "/ 4", "/ 8"})}),
                   dlg::Row({dlg::Label("Modulo (PWMCM):"), dlg::Edit(CpmPWMBase::kModuloId),
                             dlg::UpDown(CpmPWMBase::kModuloSpinId, 0,
                                         static_cast<std::int32_t>(kModuloMax))}),
                   dlg::Row({dlg::Label("Alignment:"),
                             dlg::DropList(CpmPWMBase::kAlignmentId,
                                           {"Center-aligned", "Edge-aligned"})})}),
              dlg::Column({dlg::Row({dlg::Label("Counts per period:"),
                                     dlg::ReadOnly(CpmPWMBase::kCountsId)}),
                           dlg::Row({dlg::Label("PWM frequency:"),
                                     dlg::ReadOnly(CpmPWMBase::kFrequencyId)}),
                           dlg::Row({dlg::Label("Period:"), dlg::ReadOnly(CpmPWMBase::kPeriodId)}),
                           dlg::Row({dlg::Label("Resolution:"),
                                     dlg::ReadOnly(CpmPWMBase::kResolutionId)})})}),
         dlg::Label("", CpmPWMBase::kPeriodWarningId)});
}

tLayoutItem OutputsGroup(bool twoDeadTimes) {
    tLayoutItem group = dlg::Group("Outputs", {});
    for (int pair = 0; pair < CpmPWMBase::kPairs; ++pair) {
        // The pair's mode, then its two polarities on a line of their own, so the group
        // fits the pane.
        group.children.push_back(dlg::Row(
            {dlg::Label(Format("PWM %d/%d:", 2 * pair, 2 * pair + 1)),
             dlg::DropList(CpmPWMBase::kPairModeId + pair, {"Complementary", "Independent"})}));
        group.children.push_back(
            dlg::Row({dlg::CheckBox(CpmPWMBase::kTopNegativeId + pair,
                                    Format("PWM %d negative polarity", 2 * pair)),
                      dlg::CheckBox(CpmPWMBase::kBottomNegativeId + pair,
                                    Format("PWM %d negative polarity", 2 * pair + 1))}));
    }
    for (int output = 0; output < CpmPWMBase::kOutputs; ++output) {
        group.children.push_back(
            dlg::Row({dlg::Label(Format("PWMVAL%d:", output)),
                      dlg::Placeholder(CpmPWMBase::kOutputPageBase + output)}));
    }
    group.children.push_back(dlg::Label("", CpmPWMBase::kEdgeWarningId));
    if (twoDeadTimes) {
        group.children.push_back(
            dlg::Row({dlg::Label("Dead time 0 (even outputs):"), dlg::Edit(CpmPWMBase::kDeadTimeId),
                      dlg::ReadOnly(CpmPWMBase::kDeadTimeNsId)}));
        group.children.push_back(dlg::Row({dlg::Label("Dead time 1 (odd outputs):"),
                                           dlg::Edit(CpmPWMBase::kDeadTimeId + 1),
                                           dlg::ReadOnly(CpmPWMBase::kDeadTimeNsId + 1)}));
    } else {
        group.children.push_back(
            dlg::Row({dlg::Label("Dead time:"), dlg::Edit(CpmPWMBase::kDeadTimeId),
                      dlg::ReadOnly(CpmPWMBase::kDeadTimeNsId)}));
    }
    group.children.push_back(dlg::Label("", CpmPWMBase::kDeadTimeWarningId));
    group.children.push_back(
        dlg::Row({dlg::CheckBox(CpmPWMBase::kPadEnableId, "Output pads enabled"),
                  dlg::CheckBox(CpmPWMBase::kWriteProtectId, "Write protect the configuration")}));
    return group;
}

tLayoutItem ReloadGroup() {
    return dlg::Group(
        "Reload and triggers",
        {dlg::Row({dlg::Label("Reload frequency:"),
                   dlg::DropList(CpmPWMBase::kReloadFrequencyId, ReloadFrequencyEntries())}),
         dlg::Row({dlg::CheckBox(CpmPWMBase::kHalfCycleId, "Half-cycle reload"),
                   dlg::CheckBox(CpmPWMBase::kReloadInterruptId, "Reload interrupt enable")}),
         dlg::Row({dlg::Label("Value register load:"),
                   dlg::DropList(CpmPWMBase::kValueLoadModeId,
                                 {"Each register on its own", "PWMVAL0 to all"})}),
         dlg::Row({dlg::Label("Current sensing:"),
                   dlg::DropList(CpmPWMBase::kCurrentSenseId,
                                 {"None (software correction)", "None", "Status pins in dead time",
                                  "Status pins at half cycle"})}),
         dlg::Label("", CpmPWMBase::kReloadWarningId)});
}

tLayoutItem FaultsGroup() {
    tLayoutItem group = dlg::Group("Faults", {});
    for (int fault = 0; fault < CpmPWMBase::kFaults; ++fault) {
        group.children.push_back(dlg::Label(Format("Fault %d:", fault)));
        group.children.push_back(dlg::Placeholder(CpmPWMBase::kFaultPageBase + fault));
    }
    return group;
}

// One output's row: its value register and the duty it gives.
std::unique_ptr<CDialogTemplate> MakeOutputTemplate() {
    return std::make_unique<CDialogTemplate>(
        kOutputTemplateId, std::initializer_list<tLayoutItem>{hwc::NaturalRow(
                               {dlg::Edit(CpmPWMBase::kValueLocalId), dlg::Label("Duty:"),
                                dlg::ReadOnly(CpmPWMBase::kDutyLocalId)})});
}

// One fault input's block: clearing, interrupt, the outputs it disables and (with filters) its
// glitch filter with the latency it gives.
std::unique_ptr<CDialogTemplate> MakeFaultTemplate(bool filters) {
    tLayoutItem block = dlg::Column({});
    // Lines of controls as wide as they need: a sub-page's plain rows share column widths.
    block.children.push_back(
        hwc::NaturalRow({dlg::CheckBox(CpmPWMBase::kAutoClearLocalId, "Automatic clearing"),
                         dlg::CheckBox(CpmPWMBase::kInterruptLocalId, "Interrupt")}));
    block.children.push_back(dlg::Label("Disables:"));
    // The outputs it disables, three a line.
    constexpr int kMapsPerLine = 3;
    for (int first = 0; first < CpmPWMBase::kOutputs; first += kMapsPerLine) {
        tLayoutItem maps = hwc::NaturalRow({});
        for (int output = first; output < first + kMapsPerLine && output < CpmPWMBase::kOutputs;
             ++output)
            maps.children.push_back(hwc::NaturalWidth(
                dlg::CheckBox(CpmPWMBase::kFirstMapLocalId + output, Format("PWM %d", output))));
        block.children.push_back(std::move(maps));
    }
    if (filters) {
        std::vector<std::string> counts;
        for (int samples = 3; samples <= 10; ++samples)
            counts.push_back(Format("%d samples", samples));
        block.children.push_back(hwc::NaturalRow({dlg::Label("Filter period (bus clocks):"),
                                                  dlg::Edit(CpmPWMBase::kFilterPeriodLocalId)}));
        block.children.push_back(hwc::NaturalRow(
            {dlg::Label("Count:"),
             dlg::DropList(CpmPWMBase::kFilterCountLocalId, std::move(counts)),
             dlg::Label("Latency:"), dlg::ReadOnly(CpmPWMBase::kFilterLatencyLocalId)}));
    }
    block.children.push_back(dlg::Label("", CpmPWMBase::kFaultWarningLocalId));
    return std::make_unique<CDialogTemplate>(filters ? kFilterFaultTemplateId : kFaultTemplateId,
                                             std::initializer_list<tLayoutItem>{block});
}

const CDialogTemplate& OutputTemplate() {
    static const std::unique_ptr<CDialogTemplate> page = MakeOutputTemplate();
    return *page;
}

const CDialogTemplate& FaultTemplate(bool filters) {
    static const std::unique_ptr<CDialogTemplate> plain = MakeFaultTemplate(false);
    static const std::unique_ptr<CDialogTemplate> filtered = MakeFaultTemplate(true);
    return filters ? *filtered : *plain;
}

std::unique_ptr<CDialogTemplate> MakeTemplate(unsigned id, bool twoDeadTimes) {
    tLayoutItem page = dlg::Column({});
    page.children.push_back(ClockGroup());
    page.children.push_back(OutputsGroup(twoDeadTimes));
    page.children.push_back(ReloadGroup());
    page.children.push_back(FaultsGroup());
    page.children.push_back(dlg::Link(CModule::kPinStatusId, ""));
    page.children.push_back(dlg::Link(CpmPWMBase::kUserVectorNoteId, "(user vector information)"));
    page.children.push_back(dlg::Placeholder(CpmPWMBase::kHeadingPlaceholderId));
    page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId));
    page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId + 1));
    return std::make_unique<CDialogTemplate>(id, std::initializer_list<tLayoutItem>{page});
}

// One template per page layout, kept for the life of the program as pages refer to it.
const CDialogTemplate& PageTemplate(unsigned id, bool twoDeadTimes, bool filters) {
    static std::mutex mutex;
    static std::map<std::tuple<unsigned, bool, bool>, std::unique_ptr<CDialogTemplate>> templates;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& slot = templates[{id, twoDeadTimes, filters}];
    if (!slot)
        slot = MakeTemplate(id, twoDeadTimes);
    return *slot;
}

} // namespace

CpmPWMBase::CpmPWMBase(CModuleBase* parent, unsigned templateId,
                       const CModuleDescriptor* descriptor, const tPerCfgDef* table, int count,
                       const tLayout& layout)
    : CModule(parent, templateId, descriptor, nullptr, 0), m_layout(layout) {
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table, true);
    AddCommentItems({{&m_enable, 0}, {&m_prescaler, 0}, {&m_modulo, 0}, {&m_alignment, 0}});
    for (int pair = 0; pair < kPairs; ++pair)
        AddCommentItems({{&m_pairMode[pair], 0}});
    AddCommentItems({{&m_deadTime[0], 0}});
    if (HasRegister(m_layout.deadTime[1]))
        AddCommentItems({{&m_deadTime[1], 0}});
    AddCommentItems({{&m_padEnable, 0},
                     {&m_reloadFrequency, 0},
                     {&m_halfCycle, 0},
                     {&m_reloadInterrupt, 0},
                     {&m_writeProtect, 0}});
}

const CDialogTemplate* CpmPWMBase::DialogTemplate() const {
    return &PageTemplate(TemplateId(), HasRegister(m_layout.deadTime[1]),
                         HasRegister(m_layout.firstFilter));
}

void CpmPWMBase::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(m_layout.control);
    tPerCfgItem& config = Item(m_layout.config);
    m_enable.Bind(control, kEnableBit, false, "");
    m_loadOk.Bind(control, kLoadOkBit, false, "");
    m_prescaler.Bind(control, kPrescalerLow, kPrescalerHigh, 0, "");
    m_alignment.Bind(config, kEdgeAlignedBit, kEdgeAlignedBit, 0, "");
    m_modulo.Bind(Item(m_layout.modulo), 0, 14, 0, "", false, 0, kModuloMax, true);
    for (int pair = 0; pair < kPairs; ++pair) {
        m_pairMode[pair].Bind(config, kFirstIndependentBit + pair, kFirstIndependentBit + pair, 0,
                              Format("PWM %d/%d", 2 * pair, 2 * pair + 1).c_str());
        m_topNegative[pair].Bind(config, kFirstTopNegativeBit + pair, false, "");
        m_bottomNegative[pair].Bind(config, kFirstBottomNegativeBit + pair, false, "");
    }
    for (int output = 0; output < kOutputs; ++output) {
        m_value[output].Bind(Item(m_layout.firstValue + output), 0, kValueBits - 1, 0,
                             Format("PWMVAL%d", output).c_str(), false, 0, 0xFFFF, true);
        hwc::UseSignedText(m_value[output], kValueBits);
    }
    for (int index = 0; index < 2; ++index) {
        if (HasRegister(m_layout.deadTime[index]))
            m_deadTime[index].Bind(Item(m_layout.deadTime[index]), 0, 11, 0, "", false, 0,
                                   kDeadTimeMax, true);
    }
    m_padEnable.Bind(Item(m_layout.output), kPadEnableBit, false, "");
    m_writeProtect.Bind(config, kWriteProtectBit, false, "");
    m_reloadFrequency.Bind(control, kReloadFrequencyLow, kReloadFrequencyHigh, 0, "");
    m_halfCycle.Bind(control, kHalfCycleBit, false, "");
    m_reloadInterrupt.Bind(control, kReloadInterruptBit, false, "");
    m_valueLoadMode.Bind(Item(m_layout.channelControl), kValueLoadModeLow, kValueLoadModeHigh, 0,
                         "");
    m_currentSense.Bind(control, kCurrentSenseLow, kCurrentSenseHigh, 0, "");
    for (int fault = 0; fault < kFaults; ++fault) {
        tPerCfgItem& faultControl = Item(m_layout.faultControl);
        m_faultAutoClear[fault].Bind(faultControl, 2 * fault, false,
                                     Format("Fault %d automatic clearing", fault).c_str());
        m_faultInterrupt[fault].Bind(faultControl, 2 * fault + 1, false,
                                     Format("Fault %d interrupt", fault).c_str());
        for (int output = 0; output < kOutputs; ++output) {
            // Outputs 0 to 3 are mapped in the first register, 4 and 5 in the second, four
            // fault bits per output.
            tPerCfgItem& map = Item(m_layout.disableMap[output / 4]);
            m_faultMap[fault][output].Bind(
                map, 4 * (output % 4) + fault, false,
                Format("Fault %d disables PWM %d", fault, output).c_str());
        }
        if (HasRegister(m_layout.firstFilter)) {
            tPerCfgItem& filter = Item(m_layout.firstFilter + fault);
            m_filterPeriod[fault].Bind(filter, 0, kFilterPeriodHigh, 0,
                                       Format("Fault %d filter period", fault).c_str(), false, 0,
                                       kFilterPeriodMax, true);
            m_filterCount[fault].Bind(filter, kFilterCountLow, kFilterCountHigh, 0,
                                      Format("Fault %d filter count", fault).c_str());
        }
    }
}

void CpmPWMBase::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kModuloSpinId, 0, static_cast<std::int32_t>(kModuloMax));

    m_enable.AttachTo(page, kEnableId);
    m_loadOk.AttachTo(page, kLoadOkId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_modulo.AttachTo(page, kModuloId);
    m_alignment.AttachTo(page, kAlignmentId);
    for (int pair = 0; pair < kPairs; ++pair) {
        m_pairMode[pair].AttachTo(page, kPairModeId + pair);
        m_topNegative[pair].AttachTo(page, kTopNegativeId + pair);
        m_bottomNegative[pair].AttachTo(page, kBottomNegativeId + pair);
    }
    for (int output = 0; output < kOutputs; ++output) {
        if (page.StackSubPage(kOutputPageBase + output, OutputTemplate()))
            m_value[output].AttachTo(page, ValueId(output));
    }
    for (int index = 0; index < 2; ++index) {
        if (HasRegister(m_layout.deadTime[index]))
            m_deadTime[index].AttachTo(page, kDeadTimeId + index);
    }
    m_padEnable.AttachTo(page, kPadEnableId);
    m_writeProtect.AttachTo(page, kWriteProtectId);
    m_reloadFrequency.AttachTo(page, kReloadFrequencyId);
    m_halfCycle.AttachTo(page, kHalfCycleId);
    m_reloadInterrupt.AttachTo(page, kReloadInterruptId);
    m_valueLoadMode.AttachTo(page, kValueLoadModeId);
    m_currentSense.AttachTo(page, kCurrentSenseId);
    const bool filters = HasRegister(m_layout.firstFilter);
    for (int fault = 0; fault < kFaults; ++fault) {
        if (!page.StackSubPage(kFaultPageBase + fault, FaultTemplate(filters)))
            continue;
        m_faultAutoClear[fault].AttachTo(page, FaultControlId(fault, kAutoClearLocalId));
        m_faultInterrupt[fault].AttachTo(page, FaultControlId(fault, kInterruptLocalId));
        for (int output = 0; output < kOutputs; ++output)
            m_faultMap[fault][output].AttachTo(page, FaultMapId(fault, output));
        if (filters) {
            m_filterPeriod[fault].AttachTo(page, FaultControlId(fault, kFilterPeriodLocalId));
            m_filterCount[fault].AttachTo(page, FaultControlId(fault, kFilterCountLocalId));
        }
    }
}

// --- Derived values ---

std::uint32_t CpmPWMBase::ModuloValue() const {
    return RegisterValue(m_layout.modulo) & kModuloMax;
}

double CpmPWMBase::BusHz() const {
    const double mhz = GetBusClock();
    return mhz > 0.0 ? mhz * 1000000.0 : 0.0;
}

int CpmPWMBase::PrescalerDivisor() const {
    return 1 << Field(RegisterValue(m_layout.control), kPrescalerLow, kPrescalerHigh);
}

bool CpmPWMBase::IsCentreAligned() const {
    return Field(RegisterValue(m_layout.config), kEdgeAlignedBit, kEdgeAlignedBit) == 0;
}

bool CpmPWMBase::IsPairIndependent(int pair) const {
    return ((RegisterValue(m_layout.config) >> (kFirstIndependentBit + pair)) & 1u) != 0;
}

bool CpmPWMBase::IsFaultMapped(int fault) const {
    for (int output = 0; output < kOutputs; ++output) {
        const std::uint32_t map = RegisterValue(m_layout.disableMap[output / 4]);
        if ((map >> (4 * (output % 4) + fault)) & 1u)
            return true;
    }
    return false;
}

long long CpmPWMBase::PeriodCounts() const {
    return hwc::pwm::ModulusCounts(ModuloValue(), IsCentreAligned());
}

std::string CpmPWMBase::FrequencyText() const {
    return ::FrequencyText(hwc::pwm::FrequencyHz(BusHz(), PrescalerDivisor(), PeriodCounts()), true,
                           "??");
}

std::string CpmPWMBase::DutyText(int output) const {
    const std::uint32_t modulo = ModuloValue();
    if (modulo == 0)
        return "??";
    const int pair = output / 2;
    // A complementary pair's odd output is the inverse of its even output.
    const bool complement = (output % 2) == 1 && !IsPairIndependent(pair);
    const int source = complement ? output - 1 : output;
    const double duty =
        hwc::pwm::ModulusDutyPercent(RegisterValue(m_layout.firstValue + source), modulo);
    return Trimmed(complement ? 100.0 - duty : duty, 2) + " %";
}

std::string CpmPWMBase::DeadTimeText(int index) const {
    if (!HasRegister(m_layout.deadTime[index]) || BusHz() <= 0.0)
        return "??";
    const double ns = hwc::pwm::DeadTimeNs(RegisterValue(m_layout.deadTime[index]) & kDeadTimeMax,
                                           BusHz(), PrescalerDivisor());
    return Trimmed(ns, 1) + " ns";
}

std::string CpmPWMBase::FilterLatencyText(int fault) const {
    if (!HasRegister(m_layout.firstFilter) || fault < 0 || fault >= kFaults)
        return {};
    const std::uint32_t filter = RegisterValue(m_layout.firstFilter + fault);
    const std::uint32_t period = filter & kFilterPeriodMax;
    if (period == 0)
        return "Filter off";
    const std::uint32_t count = Field(filter, kFilterCountLow, kFilterCountHigh);
    const double clocks = static_cast<double>((count + 3) * period + 2);
    const double bus = BusHz();
    return TimeText(bus > 0.0 ? clocks / bus : 0.0, true, "??");
}

void CpmPWMBase::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    const long long counts = PeriodCounts();
    const double hz = hwc::pwm::FrequencyHz(BusHz(), PrescalerDivisor(), counts);
    page->SetControlText(kCountsId, counts > 0 ? Format("%lld", counts) : "??");
    ShowFrequency(kFrequencyId, hz, true, "??");
    ShowTime(kPeriodId, hz > 0.0 ? 1.0 / hz : 0.0, true, "??");
    const std::uint32_t modulo = ModuloValue();
    page->SetControlText(kResolutionId, modulo > 0 ? Format("%u steps", modulo) : "??");
    for (int output = 0; output < kOutputs; ++output)
        page->SetControlText(DutyId(output), DutyText(output));
    for (int index = 0; index < 2; ++index)
        page->SetControlText(kDeadTimeNsId + index, DeadTimeText(index));
    for (int fault = 0; fault < kFaults; ++fault)
        page->SetControlText(FaultControlId(fault, kFilterLatencyLocalId),
                             FilterLatencyText(fault));
}

void CpmPWMBase::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    // The odd output of a complementary pair follows its even output's value register.
    for (int pair = 0; pair < kPairs; ++pair)
        page->EnableControl(ValueId(2 * pair + 1), IsPairIndependent(pair));
    page->ShowControl(CpmPWMBase::kUserVectorNoteId, false);
    if (IsProcessorGroup(*this, kFamA) && !InterruptRows().empty()) {
        for (const CInterruptRow& row : InterruptRows()) {
            if (row.page)
                row.page->ShowControl(kRowPriorityId, false);
        }
        hwc::ShowUserVectorNote(*this, CpmPWMBase::kUserVectorNoteId,
                                InterruptRows().front().vector);
    }
}

// --- Warnings ---

void CpmPWMBase::CheckWarnings() {
    CModule::CheckWarnings();
    // Settings that are not written never reach the PWM: nothing to warn about.
    const bool written = IsSelected();
    const std::uint32_t modulo = ModuloValue();
    const long long counts = PeriodCounts();

    const bool zeroPeriod = written && IsModuleEnabled() && modulo == 0;
    SetWarning(
        *this, kPeriodWarningId, zeroPeriod,
        zeroPeriod ? "PWM period is zero: the counter modulo (PWMCM) must be at least 1." : "", {});

    // Edges the counter never reaches leave an output fully on or off.
    std::string outside;
    if (written && modulo > 0) {
        for (int output = 0; output < kOutputs; ++output) {
            if (output % 2 == 1 && !IsPairIndependent(output / 2))
                continue;
            const int value = hwc::pwm::ToSigned16(RegisterValue(m_layout.firstValue + output));
            if (value >= 0 && static_cast<std::uint32_t>(value) <= modulo)
                continue;
            outside = Format("PWMVAL%d (%d) lies outside the period 0 to %u: PWM %d stays "
                             "fully %s.",
                             output, value, modulo, output, value < 0 ? "inactive" : "active");
            break;
        }
    }
    SetWarning(*this, kEdgeWarningId, !outside.empty(), outside, {});

    // Dead time counts prescaled clocks, as does the period.
    std::string deadTime;
    const bool complementary =
        !IsPairIndependent(0) || !IsPairIndependent(1) || !IsPairIndependent(2);
    if (written && counts > 0 && complementary) {
        for (int index = 0; index < 2; ++index) {
            if (!HasRegister(m_layout.deadTime[index]))
                continue;
            const long long dead = RegisterValue(m_layout.deadTime[index]) & kDeadTimeMax;
            if (2 * dead >= counts) {
                deadTime =
                    Format("Dead time %s(%lld counts) is half the PWM period (%lld counts) "
                           "or more: the outputs never turn on.",
                           HasRegister(m_layout.deadTime[1]) ? Format("%d ", index).c_str() : "",
                           dead, counts);
                break;
            }
        }
    }
    SetWarning(*this, kDeadTimeWarningId, !deadTime.empty(), deadTime, {});

    const std::uint32_t control = RegisterValue(m_layout.control);
    std::string reload;
    if (written && ((control >> kHalfCycleBit) & 1u) && !IsCentreAligned())
        reload = "Half-cycle reload works in center-aligned mode only.";
    const std::uint32_t loadMode =
        Field(RegisterValue(m_layout.channelControl), kValueLoadModeLow, kValueLoadModeHigh);
    if (written && loadMode >= kValidValueLoadModes)
        reload = Format("The value register load mode holds the reserved code %u; it is kept as "
                        "loaded.",
                        loadMode);
    SetWarning(*this, kReloadWarningId, !reload.empty(), reload, {});

    CheckFaultSources(written);
}

void CpmPWMBase::CheckFaultSources(bool written) {
    bool mapped = false;
    for (int fault = 0; fault < kFaults; ++fault)
        mapped = mapped || IsFaultMapped(fault);
    // The pin map is only built when a mapped fault needs its pin.
    CPinFuncContextMap map;
    const bool ports = written && mapped && !GpioModules(*this).empty();
    if (ports)
        BuildPinMap(map, false);
    for (int fault = 0; fault < kFaults; ++fault) {
        std::string text;
        if (ports && IsFaultMapped(fault)) {
            const std::string signal = Format("FAULT%d", fault);
            const CPinFuncContextInfo* info = nullptr;
            for (const auto& [name, entry] : map.Entries()) {
                if (hwc::EqualsNoCase(name, signal))
                    info = entry.get();
            }
            if (!info || info->candidatePins.empty())
                text = Format("Fault %d is mapped to outputs, but this device has no %s pin.",
                              fault, signal.c_str());
            else if (info->currentPins.empty())
                text = Format("Fault %d is mapped to outputs, but no pin is set to %s.", fault,
                              signal.c_str());
        }
        SetWarning(*this, FaultControlId(fault, kFaultWarningLocalId), !text.empty(), text, {});
    }
}

bool CpmPWMBase::IsPinFunctionUsed(const std::string& signal) const {
    for (int fault = 0; fault < kFaults; ++fault) {
        if (hwc::EqualsNoCase(signal, Format("FAULT%d", fault)))
            return IsFaultMapped(fault);
    }
    // The outputs carry the generator's signals while it runs.
    return IsModuleEnabled();
}

bool CpmPWMBase::IsModuleEnabled() const {
    return ((RegisterValue(m_layout.control) >> kEnableBit) & 1u) != 0;
}
