#include "modules/timers/CpmQT.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleLink.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

// Every layout is a leading part of this table; the FamD layout has the same names and
// defaults, so one table serves all groups.
const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, DW16},   {"SCR_INIT", 0, DW16},    {"CMP1_INIT", 0, DW16},
    {"CMP2_INIT", 0, DW16},   {"LOAD_INIT", 0, DW16},   {"CNTR_INIT", 0, DW16},
    {"CMPLD1_INIT", 0, DW16}, {"CMPLD2_INIT", 0, DW16}, {"COMSCR_INIT", 0, DW16},
    {"FILT_INIT", 0, DW16},   {"ENBL_INIT", 0, DW16},   {"DMA_INIT", 0, DW16},
};

// Processor-table flags beyond those CModule names.
constexpr int kEntry5 = 5;
constexpr int kFlag97 = 97;
constexpr int kFamB = 100;
constexpr int kFamC = 106;

// Register fields.
constexpr int kOutputModeLow = 0, kOutputModeHigh = 2;
constexpr int kCoChannelInitBit = 3;
constexpr int kDirectionBit = 4;
constexpr int kLengthBit = 5;
constexpr int kOnceBit = 6;
constexpr int kSecondaryLow = 7, kSecondaryHigh = 8;
constexpr int kPrimaryLow = 9, kPrimaryHigh = 12;
constexpr int kCountModeLow = 13, kCountModeHigh = 15;
constexpr int kOutputEnableBit = 0;
constexpr int kOutputPolarityBit = 1;
constexpr int kForcedValueBit = 2;
constexpr int kForceOutputBit = 3;
constexpr int kExternalForceBit = 4;
constexpr int kMasterModeBit = 5;
constexpr int kCaptureLow = 6, kCaptureHigh = 7;
constexpr int kInputPolarityBit = 9;
constexpr int kInputEdgeIrqBit = 10;
constexpr int kOverflowIrqBit = 12;
constexpr int kCompareIrqBit = 14;
constexpr int kPreload1Low = 0, kPreload1High = 1;
constexpr int kPreload2Low = 2, kPreload2High = 3;
constexpr int kCompare1IrqBit = 6;
constexpr int kCompare2IrqBit = 7;
constexpr int kTriggeredInitBit = 10;
constexpr int kReloadOnCaptureBit = 11;
constexpr int kAlternativeLoadBit = 12;
constexpr int kFaultBit = 13;
constexpr int kDebugLow = 14, kDebugHigh = 15;
constexpr int kFilterPeriodLow = 0, kFilterPeriodHigh = 7;
constexpr int kFilterCountLow = 8, kFilterCountHigh = 10;
constexpr int kInputEdgeDmaBit = 0;
constexpr int kCompare1DmaBit = 1;
constexpr int kCompare2DmaBit = 2;
constexpr std::uint32_t kValueMax = 0xFFFF;
constexpr std::uint32_t kFilterPeriodMax = 0xFF;

// Count modes that use the secondary source, and the output mode it clears.
constexpr int kGatedMode = 3, kTriggeredMode = 6;
constexpr int kClearedOnSecondaryOutputMode = 5;

// The filter waits this many timer clocks beyond the samples.
constexpr int kFilterExtraClocks = 2;
constexpr int kFilterCountOffset = 3;

constexpr const char* kInterruptsDescription = "Interrupts:";
constexpr const char* kCrossbar = "XBAR_A";
// Modules whose outputs can share a pin with a timer input: comparators, the PWM's
// synchronisation output and the converters' triggers.
constexpr const char* kPinSources[] = {"CMP_A",   "CMP_B",   "CMP_C",   "HSCMP_A", "HSCMP_B",
                                       "HSCMP_C", "HSCMP_D", "HSCMP_0", "HSCMP_1", "HSCMP_2",
                                       "HSCMP_3", "PWM_A",   "PWM_B",   "ADC_A",   "ADC_B"};

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

std::vector<std::string> PinSources() {
    std::vector<std::string> items;
    for (int n = 0; n < 4; ++n)
        items.push_back(hwc::Format("Counter #%d input pin", n));
    return items;
}

std::vector<std::string> PrimarySources() {
    std::vector<std::string> items = PinSources();
    for (int n = 0; n < 4; ++n)
        items.push_back(hwc::Format("Counter #%d output", n));
    for (const char* divisor : {"1", "2", "4", " 8", "16", "32", "64", "128"})
        items.push_back(std::string("Prescaler (IPB clock/ ") + divisor + ")");
    return items;
}

std::vector<std::string> FilterCounts() {
    std::vector<std::string> items;
    for (int n = 3; n <= 10; ++n)
        items.push_back(std::to_string(n));
    return items;
}

// The crossbar output that feeds counter input `pin` of timer `letter` ("TA0_IN"), from the
// crossbar's output list in its module information; -1 when the crossbar has none for it.
int CrossbarOutputOf(const CModuleBase& crossbar, char letter, int pin) {
    const std::string name = hwc::Format("T%c%d_IN", letter, pin);
    for (const std::string& rawLine : hwc::Split(crossbar.Descriptor().ModuleInfoText(), '\n')) {
        const std::vector<std::string> parts = hwc::Split(rawLine, ',');
        if (parts.size() != 3 || hwc::Trim(parts[0]) != "out" || hwc::Trim(parts[2]) != name)
            continue;
        const std::string number(hwc::Trim(parts[1]));
        if (number.empty() || number.size() > 4 ||
            !std::all_of(number.begin(), number.end(),
                         [](unsigned char c) { return std::isdigit(c) != 0; }))
            return -1;
        return std::stoi(number);
    }
    return -1;
}

} // namespace

CpmQT::CpmQT(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {
    const int count = RegisterCountOf(*this);
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    AddCommentItems({{&m_countMode, 0},
                     {&m_primarySource, 0},
                     {&m_secondarySource, 0},
                     {&m_countOnce, 0},
                     {&m_countLength, 0},
                     {&m_direction, 0},
                     {&m_outputMode, 0},
                     {&m_outputEnable, 0},
                     {&m_captureMode, 0},
                     {&m_compare1, 0},
                     {&m_compare2, 0},
                     {&m_load, 0},
                     {&m_compareIrq, 0},
                     {&m_overflowIrq, 0},
                     {&m_inputEdgeIrq, 0}});
    if (count > kComscrItem)
        AddCommentItems({{&m_compare1Irq, 0}, {&m_compare2Irq, 0}});
    if (HasFilter())
        AddCommentItems({{&m_filterPeriod, 0}, {&m_filterCount, 0}});
}

int CpmQT::RegisterCountOf(const CModuleBase& module) {
    const auto in = [&](int group) { return IsProcessorGroup(module, group); };
    if (in(kFamE) || in(kFamF) || in(kFamD))
        return 12;
    if (in(kFamB) || in(kFamA) || in(kFamC))
        return 11;
    if (in(kFamG) || in(kEntry5))
        return 6;
    return 9;
}

bool CpmQT::HasFaultAndDebug() const {
    return HasFilter();
}

bool CpmQT::HasTriggeredInit() const {
    return IsProcessorGroup(*this, kFamC) || IsProcessorGroup(*this, kFamE) ||
           IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD);
}

char CpmQT::TimerLetter() const {
    std::string_view name = InstanceName();
    while (!name.empty() && std::isdigit(static_cast<unsigned char>(name.back())))
        name.remove_suffix(1);
    if (name.empty())
        return '\0';
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name.back())));
    return letter >= 'A' && letter <= 'D' ? letter : '\0';
}

const CDialogTemplate* CpmQT::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Counting",
             {dlg::Row({dlg::Label("Count mode:"),
                        dlg::DropList(
                            kCountModeId,
                            {"Stop mode, no operation",
                             "Counting mode, count rising edges of primary source",
                             "Edge mode, count rising and falling edges of primary source",
                             "Gated mode, count primary source rising edges while second input "
                             "high active",
                             "Quadrature mode, uses primary and secondary sources",
                             "Signed mode, count primary source rising edges, secondary source is "
                             "direction",
                             "Triggered mode, edge of secondary source triggers primary count "
                             "till compare",
                             "Cascaded Counter mode (up/down)"})}),
              dlg::Row({dlg::Label("Primary source:"),
                        dlg::DropList(kPrimarySourceId, PrimarySources()),
                        dlg::Label("", kPrimaryStateId)}),
              dlg::Row({dlg::Label("Secondary source:"),
                        dlg::DropList(kSecondarySourceId, PinSources()),
                        dlg::Label("", kSecondaryStateId)}),
              dlg::Row({dlg::Label("Input polarity:"),
                        dlg::DropList(kInputPolarityId, {"True", "Inverted"})}),
              dlg::Row({dlg::DropList(kCountOnceId,
                                      {"Count repeatedly", "Count until compare and stop"}),
                        dlg::DropList(kCountLengthId,
                                      {"Roll over", "Count until compare and reinitialize"}),
                        dlg::DropList(kDirectionId, {"Count up", "Count down"})}),
              dlg::CheckBox(kCoChannelInitId, "Co-channel initialization"),
              dlg::Row({dlg::Label("Counting frequency:"), dlg::ReadOnly(kFrequencyId)})}),
         dlg::Group(
             "Values",
             {dlg::Row({dlg::Label("Compare 1:"), dlg::Edit(kCompare1Id), dlg::Label("Compare 2:"),
                        dlg::Edit(kCompare2Id)}),
              dlg::Row({dlg::Label("Load:"), dlg::Edit(kLoadId), dlg::Label("Counter:"),
                        dlg::Edit(kCounterId)}),
              dlg::Row({dlg::Label("Compare Load Reg 1:"), dlg::Edit(kCompareLoad1Id),
                        dlg::Label("Compare Load Reg 2:"), dlg::Edit(kCompareLoad2Id)}),
              dlg::Row({dlg::Label("Preload Control: 1"),
                        dlg::DropList(kPreload1Id, {"Never", "Upon successful compare in CMP1",
                                                    "Upon successful compare in CMP2"})}),
              dlg::Row({dlg::Label("Preload Control: 2"),
                        dlg::DropList(kPreload2Id, {"Never", "Upon successful compare in CMP1",
                                                    "Upon successful compare in CMP2"})}),
              dlg::CheckBox(kAlternativeLoadId, "Alternative Load"),
              dlg::CheckBox(kReloadOnCaptureId, "Reload on Capture"),
              dlg::CheckBox(kTriggeredInitId, "Triggered Count Initialization Control"),
              dlg::Row({dlg::Label("Capture mode:"),
                        dlg::DropList(kCaptureModeId,
                                      {"Capture disabled, Input Edge Flag disabled",
                                       "Load capture register on rising edge of secondary input",
                                       "Load capture register on falling edge of secondary input",
                                       "Load capture register on both edges of secondary "
                                       "input"})})}),
         dlg::Group(
             "Output",
             {dlg::Row({dlg::Label("Output mode:"),
                        dlg::DropList(kOutputModeId,
                                      {"Asserted while counter is active",
                                       "Clear OFLAG output on successful compare",
                                       "Set OFLAG output on successful compare",
                                       "Toggle OFLAG output on successful compare",
                                       "Toggle OFLAG output using alternating compare registers",
                                       "Set on compare, cleared secondary source input edge",
                                       "Set on compare, cleared on counter rollover",
                                       "Enable Gated Clock output while counter is active"})}),
              dlg::Row({dlg::CheckBox(kOutputEnableId, "Output Enable"),
                        dlg::Label("", kOutputStateId)}),
              dlg::Row({dlg::Label("Output polarity:"),
                        dlg::DropList(kOutputPolarityId, {"True", "Inverted"})}),
              dlg::CheckBox(kForcedValueId, "Forced OFLAG value"),
              dlg::CheckBox(kForceOutputId, "Force OFLAG output"),
              dlg::CheckBox(kExternalForceId, "Enable external OFLAG force"),
              dlg::CheckBox(kMasterModeId, "Master mode"),
              dlg::CheckBox(kFaultId, "Fault function"),
              dlg::Row({dlg::Label("Debug action:"),
                        dlg::DropList(kDebugActionId, {"Continue", "Halt TMR", "Force Out to 0",
                                                       "Halt TMR & Out to 0"})})}),
         dlg::Group("Input filter",
                    {dlg::Row({dlg::Label("Input Filter: Input Signal Sampling [timer clocks] "),
                               dlg::Edit(kFilterPeriodId),
                               dlg::UpDown(kFilterPeriodSpinId, 0, kFilterPeriodMax)}),
                     dlg::Row({dlg::Label("Input Filter: Consecutive Samples Required to Agree"),
                               dlg::DropList(kFilterCountId, FilterCounts())}),
                     dlg::Row({dlg::Label("Filter latency:"), dlg::ReadOnly(kFilterLatencyId),
                               dlg::ReadOnly(kFilterTimeId)})}),
         dlg::Group("Interrupts and DMA",
                    {dlg::CheckBox(kCompareIrqId, "Compare interrupt"),
                     dlg::CheckBox(kOverflowIrqId, "Overflow interrupt"),
                     dlg::CheckBox(kInputEdgeIrqId, "Input edge interrupt"),
                     dlg::CheckBox(kCompare1IrqId, "Compare 1 interrupt"),
                     dlg::CheckBox(kCompare2IrqId, "Compare 2 interrupt"),
                     dlg::CheckBox(kInputEdgeDmaId, "DMA request on input edge"),
                     dlg::CheckBox(kCompare1DmaId, "DMA request on compare 1 load"),
                     dlg::CheckBox(kCompare2DmaId, "DMA request on compare 2 load")}),
         dlg::Link(kUserVectorNoteId, "(user vector information)"),
         dlg::Placeholder(kHeadingPlaceholderId), dlg::Label("ISR Name:", kIsrNameLabelId),
         dlg::Placeholder(kFirstRowPlaceholderId)});
    return &page;
}

void CpmQT::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own: the plain label stands in for it.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kFilterPeriodSpinId, 0, kFilterPeriodMax);
    auto attach = [&](CSetCtrl& binding, int id, int item) {
        if (item >= ItemCount())
            return;
        binding.AttachTo(page, id);
    };
    attach(m_countMode, kCountModeId, kCtrlItem);
    attach(m_primarySource, kPrimarySourceId, kCtrlItem);
    attach(m_secondarySource, kSecondarySourceId, kCtrlItem);
    attach(m_countOnce, kCountOnceId, kCtrlItem);
    attach(m_countLength, kCountLengthId, kCtrlItem);
    attach(m_direction, kDirectionId, kCtrlItem);
    attach(m_coChannelInit, kCoChannelInitId, kCtrlItem);
    attach(m_outputMode, kOutputModeId, kCtrlItem);
    attach(m_outputEnable, kOutputEnableId, kScrItem);
    attach(m_outputPolarity, kOutputPolarityId, kScrItem);
    attach(m_forcedValue, kForcedValueId, kScrItem);
    attach(m_forceOutput, kForceOutputId, kScrItem);
    attach(m_externalForce, kExternalForceId, kScrItem);
    attach(m_masterMode, kMasterModeId, kScrItem);
    attach(m_captureMode, kCaptureModeId, kScrItem);
    attach(m_inputPolarity, kInputPolarityId, kScrItem);
    attach(m_compareIrq, kCompareIrqId, kScrItem);
    attach(m_overflowIrq, kOverflowIrqId, kScrItem);
    attach(m_inputEdgeIrq, kInputEdgeIrqId, kScrItem);
    attach(m_compare1, kCompare1Id, kCmp1Item);
    attach(m_compare2, kCompare2Id, kCmp2Item);
    attach(m_load, kLoadId, kLoadItem);
    attach(m_counter, kCounterId, kCntrItem);
    attach(m_compareLoad1, kCompareLoad1Id, kCmpld1Item);
    attach(m_compareLoad2, kCompareLoad2Id, kCmpld2Item);
    attach(m_preload1, kPreload1Id, kComscrItem);
    attach(m_preload2, kPreload2Id, kComscrItem);
    attach(m_compare1Irq, kCompare1IrqId, kComscrItem);
    attach(m_compare2Irq, kCompare2IrqId, kComscrItem);
    if (HasFaultAndDebug()) {
        attach(m_alternativeLoad, kAlternativeLoadId, kComscrItem);
        attach(m_fault, kFaultId, kComscrItem);
        attach(m_debugAction, kDebugActionId, kComscrItem);
    }
    if (HasTriggeredInit()) {
        attach(m_triggeredInit, kTriggeredInitId, kComscrItem);
        attach(m_reloadOnCapture, kReloadOnCaptureId, kComscrItem);
    }
    attach(m_filterPeriod, kFilterPeriodId, kFiltItem);
    attach(m_filterCount, kFilterCountId, kFiltItem);
    attach(m_inputEdgeDma, kInputEdgeDmaId, kDmaItem);
    attach(m_compare1Dma, kCompare1DmaId, kDmaItem);
    attach(m_compare2Dma, kCompare2DmaId, kDmaItem);
}

void CpmQT::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    m_countMode.Bind(ctrl, kCountModeLow, kCountModeHigh, 0, "Count mode");
    m_primarySource.Bind(ctrl, kPrimaryLow, kPrimaryHigh, 0, "Primary source");
    m_secondarySource.Bind(ctrl, kSecondaryLow, kSecondaryHigh, 0, "Secondary source");
    m_countOnce.Bind(ctrl, kOnceBit, kOnceBit, 0, "");
    m_countLength.Bind(ctrl, kLengthBit, kLengthBit, 0, "");
    m_direction.Bind(ctrl, kDirectionBit, kDirectionBit, 0, "");
    m_coChannelInit.Bind(ctrl, kCoChannelInitBit, false, "Co-channel initialization");
    m_outputMode.Bind(ctrl, kOutputModeLow, kOutputModeHigh, 0, "Output mode");

    tPerCfgItem& scr = Item(kScrItem);
    m_outputEnable.Bind(scr, kOutputEnableBit, false, "Output Enable");
    m_outputPolarity.Bind(scr, kOutputPolarityBit, kOutputPolarityBit, 0, "Output polarity");
    m_forcedValue.Bind(scr, kForcedValueBit, false, "Forced OFLAG value");
    m_forceOutput.Bind(scr, kForceOutputBit, false, "Force OFLAG output");
    m_externalForce.Bind(scr, kExternalForceBit, false, "Enable external OFLAG force");
    m_masterMode.Bind(scr, kMasterModeBit, false, "Master mode");
    m_captureMode.Bind(scr, kCaptureLow, kCaptureHigh, 0, "Capture mode");
    m_inputPolarity.Bind(scr, kInputPolarityBit, kInputPolarityBit, 0, "Input polarity");
    m_compareIrq.Bind(scr, kCompareIrqBit, false, kInterruptsDescription);
    m_overflowIrq.Bind(scr, kOverflowIrqBit, false, kInterruptsDescription);
    m_inputEdgeIrq.Bind(scr, kInputEdgeIrqBit, false, kInterruptsDescription);

    m_compare1.Bind(Item(kCmp1Item), 0, 15, 0, "Compare 1", true, 0, kValueMax, true);
    m_compare2.Bind(Item(kCmp2Item), 0, 15, 0, "Compare 2", true, 0, kValueMax, true);
    m_load.Bind(Item(kLoadItem), 0, 15, 0, "Load", true, 0, kValueMax, true);
    m_counter.Bind(Item(kCntrItem), 0, 15, 0, "Counter", true, 0, kValueMax, true);
    if (ItemCount() > kComscrItem) {
        m_compareLoad1.Bind(Item(kCmpld1Item), 0, 15, 0, "Load Reg", true, 0, kValueMax, true);
        m_compareLoad2.Bind(Item(kCmpld2Item), 0, 15, 0, "Load Reg", true, 0, kValueMax, true);
        tPerCfgItem& comscr = Item(kComscrItem);
        m_preload1.Bind(comscr, kPreload1Low, kPreload1High, 0, "Preload Control: 1");
        m_preload2.Bind(comscr, kPreload2Low, kPreload2High, 0, "Preload Control: 2");
        m_compare1Irq.Bind(comscr, kCompare1IrqBit, false, kInterruptsDescription);
        m_compare2Irq.Bind(comscr, kCompare2IrqBit, false, kInterruptsDescription);
        m_alternativeLoad.Bind(comscr, kAlternativeLoadBit, false, "Alternative Load");
        m_fault.Bind(comscr, kFaultBit, false, "Fault function");
        m_debugAction.Bind(comscr, kDebugLow, kDebugHigh, 0, "Debug action");
        m_triggeredInit.Bind(comscr, kTriggeredInitBit, false,
                             "Triggered Count Initialization Control");
        m_reloadOnCapture.Bind(comscr, kReloadOnCaptureBit, false, "Reload on Capture");
    }
    if (HasFilter()) {
        tPerCfgItem& filt = Item(kFiltItem);
        m_filterPeriod.Bind(filt, kFilterPeriodLow, kFilterPeriodHigh, 0,
                            "Input Filter: Input Signal Sampling [timer clocks] ", false, 0,
                            kFilterPeriodMax, true);
        m_filterCount.Bind(filt, kFilterCountLow, kFilterCountHigh, 0,
                           "Input Filter: Consecutive Samples Required to Agree");
    }
    if (HasDma()) {
        tPerCfgItem& dma = Item(kDmaItem);
        m_inputEdgeDma.Bind(dma, kInputEdgeDmaBit, false, "DMA request on input edge");
        m_compare1Dma.Bind(dma, kCompare1DmaBit, false, "DMA request on compare 1 load");
        m_compare2Dma.Bind(dma, kCompare2DmaBit, false, "DMA request on compare 2 load");
    }
}

double CpmQT::TimerClockHz() const {
    const char letter = TimerLetter();
    const auto in = [&](int group) { return IsProcessorGroup(*this, group); };
    const bool famF = in(kFamF);
    const bool offersHighSpeed = in(kFlag97) || (in(kFamA) && letter == 'A') ||
                                 ((in(kFamB) || in(kFamC)) && (letter == 'A' || letter == 'B')) ||
                                 famF;
    if (offersHighSpeed && letter != '\0' && hwc::SystemTimerHighSpeedClock(*this, letter)) {
        double hz = static_cast<double>(GetOtherClock()) * 1000000.0;
        if (famF && hwc::SystemMiscBit(*this, hwc::kFastBootBit, false))
            hz /= 2.0;
        return hz;
    }
    return static_cast<double>(GetBusClock()) * 1000000.0;
}

double CpmQT::CountingFrequencyHz() const {
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const int source = static_cast<int>(Field(ctrl, kPrimaryLow, kPrimaryHigh));
    if (source < kFirstPrescalerSource)
        return 0.0;
    const double frequency =
        TimerClockHz() / static_cast<double>(1u << (source - kFirstPrescalerSource));
    const int mode = static_cast<int>(Field(ctrl, kCountModeLow, kCountModeHigh));
    return mode == kEdgeMode ? 2.0 * frequency : frequency;
}

void CpmQT::Recalculate() {
    const int mode =
        static_cast<int>(Field(Item(kCtrlItem).dwValue, kCountModeLow, kCountModeHigh));
    const double clock = TimerClockHz();
    const double frequency = CountingFrequencyHz();
    ShowFrequency(kFrequencyId, frequency, true, mode != kStopMode ? "non explicit" : "OFF");

    if (!HasFilter())
        return;
    const std::uint32_t filt = Item(kFiltItem).dwValue;
    const int clocks =
        (static_cast<int>(Field(filt, kFilterCountLow, kFilterCountHigh)) + kFilterCountOffset) *
            static_cast<int>(Field(filt, kFilterPeriodLow, kFilterPeriodHigh)) +
        kFilterExtraClocks;
    const bool shown = clocks >= 3 && clock != 0.0;
    if (CPageControl* latency = FindControl(kFilterLatencyId))
        latency->SetText(shown ? hwc::Format("%d clk", clocks) : std::string("OFF"));
    ShowTime(kFilterTimeId, shown ? static_cast<double>(clocks) / clock : 0.0, true, "OFF");
}

void CpmQT::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const bool compareLoad = ItemCount() > kComscrItem;
    page->ShowControls({kCompareLoad1Id, kCompareLoad2Id, kPreload1Id, kPreload2Id, kCompare1IrqId,
                        kCompare2IrqId},
                       compareLoad);
    page->ShowControls({kAlternativeLoadId, kFaultId, kDebugActionId}, HasFaultAndDebug());
    page->ShowControls({kTriggeredInitId, kReloadOnCaptureId}, HasTriggeredInit());
    page->ShowControls(
        {kFilterPeriodId, kFilterPeriodSpinId, kFilterCountId, kFilterLatencyId, kFilterTimeId},
        HasFilter());
    page->ShowControls({kInputEdgeDmaId, kCompare1DmaId, kCompare2DmaId}, HasDma());

    page->ShowControl(kUserVectorNoteId, false);
    if (IsProcessorGroup(*this, kFamA) && !InterruptRows().empty()) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        // The channel's interrupt may be routed through a user vector of the controller.
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
}

bool CpmQT::IsModuleEnabled() const {
    return Field(Item(kCtrlItem).dwValue, kCountModeLow, kCountModeHigh) != kStopMode;
}

CpmQT::tSourceState CpmQT::CheckPrimarySource(int source, int countMode, int outputMode) const {
    const bool counterOutput = source >= kFirstOutputSource && source < kFirstPrescalerSource;
    if (countMode == kCascadedMode && !counterOutput)
        return {true, "(cascaded mode error)",
                "In cascaded mode, the timer primary source must be one of the other counter "
                "outputs"};
    if (outputMode == kGatedOutputMode && source == kFirstPrescalerSource)
        return {true, "(bad for gated output)",
                "In gated output mode, the timer primary source must not be the IPBus_Clk/1"};
    if (counterOutput && source - kFirstOutputSource == InstanceNumber())
        return {true, "(self-feed not allowed)", "Timer source can not be its own output"};
    if (source < kFirstOutputSource)
        return CheckInputPin(source);
    return {};
}

CpmQT::tSourceState CpmQT::CheckInputPin(int pin) const {
    // Without ports nothing tells which pins exist.
    if (GpioModules(*this).empty())
        return {};
    const char letter = TimerLetter();
    std::string channelName = InstanceName();
    while (!channelName.empty() && std::isdigit(static_cast<unsigned char>(channelName.back())))
        channelName.pop_back();
    channelName += static_cast<char>('0' + pin);

    CPinFuncContextMap map;
    if (const auto* channel = dynamic_cast<const CModule*>(FindModule(Host(), channelName)))
        channel->BuildPinMap(map, false);
    std::vector<tPinRef> pins;
    for (const auto& [signal, info] : map.Entries()) {
        if (!info->currentPins.empty())
            return {};
        pins.insert(pins.end(), info->candidatePins.begin(), info->candidatePins.end());
    }
    if (letter != '\0') {
        if (const CModuleBase* crossbar = FindModule(Host(), kCrossbar)) {
            const int output = CrossbarOutputOf(*crossbar, letter, pin);
            if (output >= 0) {
                if (hwc::CrossbarOutputConfigured(*this, kCrossbar, output))
                    return {false, hwc::Format("(%s OUT%d used)", kCrossbar, output), {}};
                return {true, hwc::Format("(%s OUT%d mode bad)", kCrossbar, output),
                        hwc::Format("Timer input #%d is not set in %s", pin,
                                    hwc::CrossbarLink(*this, kCrossbar).c_str())};
            }
        }
    }
    // The pin may carry the output of another module, which the timer then sees.
    for (const char* source : kPinSources) {
        const auto* module = dynamic_cast<const CModule*>(FindModule(Host(), source));
        if (!module || module == this)
            continue;
        CPinFuncContextMap theirs;
        module->BuildPinMap(theirs, false);
        for (const auto& [signal, info] : theirs.Entries()) {
            for (const tPinRef& current : info->currentPins) {
                if (std::find(pins.begin(), pins.end(), current) != pins.end())
                    return {false, hwc::Format("(routed to %s %s)", source, signal.c_str()), {}};
            }
        }
    }
    if (!pins.empty()) {
        const CModule* gpio = pins.front().gpio;
        const int controlId =
            CPage::SubPageControlId(kPinSubPageBase + pins.front().pin, kPinFunctionControlId);
        const std::string link = LinkText(gpio->InstanceName(), gpio->TypeKey(), gpio->Title(),
                                          nullptr, controlId, nullptr, false);
        return {true, hwc::Format("(%s mode bad)", gpio->InstanceName().c_str()),
                hwc::Format("Timer Pin #%d is not set to Timer mode in %s", pin, link.c_str())};
    }
    return {true, "(unavailable pin)",
            hwc::Format("Timer Pin #%d is not available on this device", pin)};
}

bool CpmQT::SharesPinsWithDecoder() const {
    const char letter = TimerLetter();
    const bool ports = !GpioModules(*this).empty();
    CPinFuncContextMap own;
    if (ports)
        BuildPinMap(own, false);
    for (const char* name : {"DEC_0", "DEC_1"}) {
        const auto* decoder = dynamic_cast<const CModule*>(FindModule(Host(), name));
        if (!decoder)
            continue;
        // Without ports to ask, timers A and B go with the first and second decoder.
        if (!ports) {
            if (letter == (name[4] == '0' ? 'A' : 'B'))
                return true;
            continue;
        }
        CPinFuncContextMap theirs;
        decoder->BuildPinMap(theirs, false);
        for (const auto& [signal, info] : own.Entries()) {
            for (const tPinRef& pin : info->candidatePins) {
                for (const auto& [otherSignal, other] : theirs.Entries()) {
                    if (std::find(other->candidatePins.begin(), other->candidatePins.end(), pin) !=
                        other->candidatePins.end())
                        return true;
                }
            }
        }
    }
    return false;
}

void CpmQT::CheckWarnings() {
    CModule::CheckWarnings();
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const std::uint32_t scr = Item(kScrItem).dwValue;
    const int mode = static_cast<int>(Field(ctrl, kCountModeLow, kCountModeHigh));
    const int outputMode = static_cast<int>(Field(ctrl, kOutputModeLow, kOutputModeHigh));
    const int primary = static_cast<int>(Field(ctrl, kPrimaryLow, kPrimaryHigh));
    const int secondary = static_cast<int>(Field(ctrl, kSecondaryLow, kSecondaryHigh));
    const bool capture = Field(scr, kCaptureLow, kCaptureHigh) != 0;
    const bool secondaryUsed = (mode >= kGatedMode && mode <= kTriggeredMode) || capture ||
                               outputMode == kClearedOnSecondaryOutputMode;

    const auto show = [&](int id, const tSourceState& state) {
        SetWarning(*this, id, state.active, state.indicator, state.warning);
    };
    show(kPrimaryStateId,
         mode != kStopMode ? CheckPrimarySource(primary, mode, outputMode) : tSourceState{});
    show(kSecondaryStateId, secondaryUsed ? CheckInputPin(secondary) : tSourceState{});

    const bool collides = ((scr >> kOutputEnableBit) & 1u) != 0 && SharesPinsWithDecoder();
    const std::string collision =
        collides ? "Timer output is enabled and may collide with associated Quadrature Decoder "
                   "operation"
                 : std::string();
    SetWarning(*this, kOutputStateId, collides, collides ? "(decoder collision)" : "", collision);
}
