#include "modules/timers/CpmPDB.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kOlderRegisters[] = {
    {"-PDB_SCR_INIT", 0, DW16},
    {"-PDB_DELAYA_INIT", 0, DW16},
    {"-PDB_DELAYB_INIT", 0, DW16},
    {"-PDB_MOD_INIT", 0xFFFF, DW16},
};
const tPerCfgDef kNewerRegisters[] = {
    {"MCTRL_INIT", 0, DW16},    {"DELAYA_INIT", 0, DW16}, {"DELAYB_INIT", 0, DW16},
    {"MOD_INIT", 0xFFFF, DW16}, {"CTRLA_INIT", 0, DW16},  {"CTRLC_INIT", 0, DW16},
    {"DELAYC_INIT", 0, DW16},   {"DELAYD_INIT", 0, DW16},
};

// Fields of both layouts.
constexpr int kPrescalerLow = 13;
constexpr int kPrescalerHigh = 15;
constexpr std::uint32_t kValueMax = 0xFFFF;
// Older layout: status and control register.
constexpr int kTriggerBEnableBit = 0;
constexpr int kTriggerAEnableBit = 1;
constexpr int kOlderInputLow = 2;
constexpr int kOlderInputHigh = 4;
constexpr int kContinuousBit = 6;
constexpr int kTriggerBModeLow = 7;
constexpr int kTriggerBModeHigh = 8;
constexpr int kTriggerAModeLow = 10;
constexpr int kTriggerAModeHigh = 11;
// Newer layout: master control and trigger control registers.
constexpr int kNewerInputLow = 4;
constexpr int kNewerInputHigh = 6;
constexpr std::array<int, 4> kMasterOptionBits = {0, 8, 10, 12};
constexpr int kFirstEnableBit = 1;
constexpr int kSecondEnableBit = 0;
constexpr int kFirstOptionBit = 3;
constexpr int kSecondOptionBit = 2;
constexpr int kFirstModeBit = 4;
constexpr int kSecondModeBit = 5;
constexpr int kPulseEnableBit = 8;
constexpr int kFirstInterruptBit = 10;
constexpr int kPolarityBit = 12;
constexpr int kPulseStartBit = 13;
constexpr int kSecondInterruptBit = 14;

// Output modes of the older layout's triggers.
constexpr std::uint32_t kModeFirstConverter = 1;
constexpr std::uint32_t kModeBothConverters = 2;
constexpr std::uint32_t kModePulseOut = 3;

// A delay counts as longer than the period only beyond rounding of the two computations.
constexpr double kDelayTolerance = 3e-12;

// Input-trigger selections of the older layout.
constexpr int kFirstTimerSelection = 4;
constexpr int kPwmSelection = 3;

// Crossbar outputs that feed the two delay blocks' input triggers.
constexpr int kFirstBlockCrossbarOutput = 38;
constexpr int kSecondBlockCrossbarOutput = 41;
constexpr const char* kCrossbar = "XBAR_A";
constexpr const char* kCrossbarPlaceholder = "(XBAR_OUT)";

const char kTriggerNames[] = "ABCD";

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

const std::vector<std::string> kPrescalerItems = {"/ 1",  "/ 2",  "/ 4",  "/ 8",
                                                  "/ 16", "/ 32", "/ 64", "/ 128"};

std::string DelayCaption(int trigger) {
    return hwc::Format("Trigger %c Delay:", kTriggerNames[trigger]);
}

tLayoutItem DelayRow(int trigger) {
    return dlg::Row({dlg::Label(DelayCaption(trigger), CpmPDB::kDelayLabelId + 4 * trigger),
                     dlg::Edit(CpmPDB::kDelayId + 4 * trigger),
                     dlg::UpDown(CpmPDB::kDelaySpinId + 4 * trigger, 0, kValueMax),
                     dlg::ReadOnly(CpmPDB::kDelayTimeId + 4 * trigger)});
}

tLayoutItem CounterGroup(std::vector<std::string> inputItems) {
    return dlg::Group(
        "Counter",
        {dlg::Row({dlg::Label("Input Trigger:", CpmPDB::kInputTriggerLabelId),
                   dlg::DropList(CpmPDB::kInputTriggerId, std::move(inputItems))}),
         dlg::Label("", CpmPDB::kInputTriggerWarningId),
         dlg::Row({dlg::Column({dlg::Row({dlg::Label("Prescaler:"),
                                          dlg::DropList(CpmPDB::kPrescalerId, kPrescalerItems)}),
                                dlg::Row({dlg::Label("PDB Modulus:"), dlg::Edit(CpmPDB::kModulusId),
                                          dlg::UpDown(CpmPDB::kModulusSpinId, 1, kValueMax)})}),
                   dlg::Column(
                       {dlg::Row({dlg::Label("Counter period"), dlg::ReadOnly(CpmPDB::kPeriodId)}),
                        dlg::Row({dlg::Label("Counter frequency"),
                                  dlg::ReadOnly(CpmPDB::kFrequencyId)})})})});
}

// The controls of one trigger control register of the newer layout.
tLayoutItem PairGroup(int pair) {
    const int offset = 20 * pair;
    const char first = kTriggerNames[2 * pair];
    const char second = kTriggerNames[2 * pair + 1];
    const std::vector<std::string> modes = {"Trigger", "Toggle"};
    return dlg::Group(
        hwc::Format("Triggers %c and %c", first, second),
        {dlg::Row({dlg::CheckBox(CpmPDB::kFirstEnableId + offset,
                                 hwc::Format("Trigger %c Enable", first)),
                   dlg::CheckBox(CpmPDB::kSecondEnableId + offset,
                                 hwc::Format("Trigger %c Enable", second))}),
         DelayRow(2 * pair), DelayRow(2 * pair + 1),
         dlg::Row({dlg::CheckBox(CpmPDB::kFirstOptionId + offset,
                                 hwc::Format("Trigger %c bypasses its delay", first)),
                   dlg::CheckBox(CpmPDB::kSecondOptionId + offset,
                                 hwc::Format("Trigger %c bypasses its delay", second))}),
         dlg::Row({dlg::Label(hwc::Format("Trigger %c output:", first)),
                   dlg::DropList(CpmPDB::kFirstModeId + offset, modes),
                   dlg::Label(hwc::Format("Trigger %c output:", second)),
                   dlg::DropList(CpmPDB::kSecondModeId + offset, modes)}),
         dlg::Row(
             {dlg::CheckBox(CpmPDB::kPulseEnableId + offset, "Pulse output enable"),
              dlg::Label("Polarity:"),
              dlg::DropList(CpmPDB::kPolarityId + offset, {"active high", "active low"}),
              dlg::Label("Starts on:"),
              dlg::DropList(CpmPDB::kPulseStartId + offset, {hwc::Format("trigger %c", first),
                                                             hwc::Format("trigger %c", second)})}),
         dlg::Row({dlg::CheckBox(CpmPDB::kFirstInterruptId + offset,
                                 hwc::Format("Trigger %c interrupt", first)),
                   dlg::CheckBox(CpmPDB::kSecondInterruptId + offset,
                                 hwc::Format("Trigger %c interrupt", second))})});
}

tLayoutItem InterruptGroup() {
    return dlg::Group("Interrupt",
                      {dlg::Placeholder(CpmPDB::kHeadingPlaceholderId),
                       dlg::Label("ISR Name:", CpmPDB::kIsrNameLabelId),
                       dlg::Placeholder(CModule::kFirstRowPlaceholderId),
                       dlg::Link(CpmPDB::kUserVectorNoteId, "(user vector information)")});
}

} // namespace

CpmPDB::tTiming CpmPDB::Timing(double busHz, std::uint32_t prescalerField, std::uint32_t modulus) {
    tTiming timing;
    timing.prescaler = 1u << (prescalerField & 7u);
    if (modulus == 0 || busHz <= 0.0)
        return timing;
    timing.frequency = busHz / (static_cast<double>(timing.prescaler) * modulus);
    timing.period = timing.frequency != 0.0 ? 1.0 / timing.frequency : 0.0;
    return timing;
}

double CpmPDB::DelayTime(std::uint32_t delay, std::uint32_t prescaler, double busHz) {
    if (delay == 0 || busHz <= 0.0)
        return 0.0;
    const std::uint64_t cycles = static_cast<std::uint64_t>(delay) * prescaler + 2u;
    return static_cast<double>(cycles) / busHz;
}

CpmPDB::CpmPDB(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0),
      m_newLayout(IsProcessorGroup(*this, kFamE)) {
    const tPerCfgDef* table = m_newLayout ? kNewerRegisters : kOlderRegisters;
    const int count = m_newLayout ? static_cast<int>(std::size(kNewerRegisters))
                                  : static_cast<int>(std::size(kOlderRegisters));
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table, true);
    if (m_newLayout) {
        AddCommentItems({{&m_inputTrigger, 0},
                         {&m_prescaler, 0},
                         {&m_modulus, 0},
                         {&m_masterOptions[0], 0},
                         {&m_masterOptions[1], 0},
                         {&m_masterOptions[2], 0},
                         {&m_masterOptions[3], 0}});
        for (int pair = 0; pair < 2; ++pair) {
            tTriggerPair& p = m_pairs[static_cast<std::size_t>(pair)];
            AddCommentItems({{&p.firstEnable, 0},
                             {&m_delays[static_cast<std::size_t>(2 * pair)], 0},
                             {&p.firstMode, 0},
                             {&p.secondEnable, 0},
                             {&m_delays[static_cast<std::size_t>(2 * pair + 1)], 0},
                             {&p.secondMode, 0},
                             {&p.pulseEnable, 0}});
        }
        return;
    }
    AddCommentItems({{&m_inputTrigger, 0},
                     {&m_prescaler, 0},
                     {&m_modulus, 0},
                     {&m_continuous, 0},
                     {&m_triggerAEnable, 0},
                     {&m_delays[0], 0},
                     {&m_triggerAMode, 0},
                     {&m_triggerBEnable, 0},
                     {&m_delays[1], 0},
                     {&m_triggerBMode, 0}});
}

const CDialogTemplate* CpmPDB::DialogTemplate() const {
    static const CDialogTemplate older(
        kTemplateId,
        {CounterGroup({"HSCMP_0 output", "HSCMP_1 output", "HSCMP_2 output",
                       "PWM reload synchronization", "Timer 0 output", "Timer 1 output",
                       "Timer 2 output", "Timer 3 output"}),
         dlg::CheckBox(kContinuousId, "Continuous mode"),
         dlg::Group("Trigger A",
                    {dlg::CheckBox(kTriggerAEnableId, "Trigger A Enable"), DelayRow(0),
                     dlg::Row({dlg::Label("Trigger A Output:"),
                               dlg::DropList(kTriggerAModeId,
                                             {"Trigger only", "PreTrigger and Trigger to ADC_0",
                                              "PreTrigger and Trigger to ADC_0 and ADC_1",
                                              "PulseOut (set by trigger A)"})}),
                     dlg::Label("", kPreTriggerAWarningId), dlg::Label("", kPulseOutWarningId)}),
         dlg::Group("Trigger B",
                    {dlg::CheckBox(kTriggerBEnableId, "Trigger B Enable"), DelayRow(1),
                     dlg::Row({dlg::Label("Trigger B Output:"),
                               dlg::DropList(kTriggerBModeId,
                                             {"Trigger only", "PreTrigger and Trigger to ADC_1",
                                              "PreTrigger and Trigger to ADC_0 and ADC_1",
                                              "PulseOut (cleared by trigger B)"})}),
                     dlg::Label("", kPreTriggerBWarningId)}),
         InterruptGroup()});
    static const CDialogTemplate newer(
        kFamETemplateId,
        {CounterGroup({"Crossbar output " + std::string(kCrossbarPlaceholder), "Input trigger 1",
                       "Input trigger 2", "Input trigger 3", "Input trigger 4", "Input trigger 5",
                       "Input trigger 6", "Input trigger 7"}),
         dlg::Group(
             "Options",
             {dlg::CheckBox(kMasterOptionId, "Continuous mode"),
              dlg::CheckBox(kMasterOptionId + 1, "Load delays at the next counter roll-over"),
              dlg::CheckBox(kMasterOptionId + 2, "Sequence error interrupt"),
              dlg::CheckBox(kMasterOptionId + 3, "DMA request instead of the delay interrupt")}),
         PairGroup(0), PairGroup(1), InterruptGroup()});
    return m_newLayout ? &newer : &older;
}

void CpmPDB::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own: the plain label stands in for it.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kModulusSpinId, 1, kValueMax);
    for (int trigger = 0; trigger < TriggerCount(); ++trigger)
        page.SetSpinRange(kDelaySpinId + 4 * trigger, 0, kValueMax);
    // The first input trigger names the crossbar output that feeds this block.
    if (IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF)) {
        if (CPageControl* list = page.FindControl(kInputTriggerId)) {
            std::vector<std::string> items = list->Items();
            if (!items.empty()) {
                const std::size_t at = items.front().find(kCrossbarPlaceholder);
                if (at != std::string::npos) {
                    const int number = InstanceNumber();
                    const int output = number == 0   ? kFirstBlockCrossbarOutput
                                       : number == 1 ? kSecondBlockCrossbarOutput
                                                     : number;
                    items.front().replace(at, std::char_traits<char>::length(kCrossbarPlaceholder),
                                          hwc::Format("(XBAR_OUT%d)", output));
                    list->SetItems(std::move(items));
                }
            }
        }
    }
    m_inputTrigger.AttachTo(page, kInputTriggerId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_modulus.AttachTo(page, kModulusId);
    for (int trigger = 0; trigger < TriggerCount(); ++trigger)
        m_delays[static_cast<std::size_t>(trigger)].AttachTo(page, kDelayId + 4 * trigger);
    if (!m_newLayout) {
        m_triggerAEnable.AttachTo(page, kTriggerAEnableId);
        m_triggerBEnable.AttachTo(page, kTriggerBEnableId);
        m_triggerAMode.AttachTo(page, kTriggerAModeId);
        m_triggerBMode.AttachTo(page, kTriggerBModeId);
        m_continuous.AttachTo(page, kContinuousId);
    } else {
        for (std::size_t option = 0; option < m_masterOptions.size(); ++option)
            m_masterOptions[option].AttachTo(page, kMasterOptionId + static_cast<int>(option));
        for (int pair = 0; pair < 2; ++pair) {
            tTriggerPair& p = m_pairs[static_cast<std::size_t>(pair)];
            const int offset = 20 * pair;
            p.firstEnable.AttachTo(page, kFirstEnableId + offset);
            p.secondEnable.AttachTo(page, kSecondEnableId + offset);
            p.firstOption.AttachTo(page, kFirstOptionId + offset);
            p.secondOption.AttachTo(page, kSecondOptionId + offset);
            p.firstMode.AttachTo(page, kFirstModeId + offset);
            p.secondMode.AttachTo(page, kSecondModeId + offset);
            p.pulseEnable.AttachTo(page, kPulseEnableId + offset);
            p.firstInterrupt.AttachTo(page, kFirstInterruptId + offset);
            p.polarity.AttachTo(page, kPolarityId + offset);
            p.pulseStart.AttachTo(page, kPulseStartId + offset);
            p.secondInterrupt.AttachTo(page, kSecondInterruptId + offset);
        }
    }
    UpdateControlStates();
}

void CpmPDB::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(kControlItem);
    if (m_newLayout)
        m_inputTrigger.Bind(control, kNewerInputLow, kNewerInputHigh, 0, "Input Trigger");
    else
        m_inputTrigger.Bind(control, kOlderInputLow, kOlderInputHigh, 0, "Input Trigger");
    m_prescaler.Bind(control, kPrescalerLow, kPrescalerHigh, 0, "Prescaler");
    m_modulus.Bind(Item(kModulusItem), 0, 15, 0, "PDB Modulus", false, 0, kValueMax, true);
    for (int trigger = 0; trigger < TriggerCount(); ++trigger) {
        const std::string caption = hwc::Format("Trigger %c Delay", kTriggerNames[trigger]);
        m_delays[static_cast<std::size_t>(trigger)].Bind(
            Item(DelayItem(trigger)), 0, 15, 0, caption.c_str(), false, 0, kValueMax, true);
    }
    if (!m_newLayout) {
        m_triggerAEnable.Bind(control, kTriggerAEnableBit, false, "");
        m_triggerBEnable.Bind(control, kTriggerBEnableBit, false, "");
        m_triggerAMode.Bind(control, kTriggerAModeLow, kTriggerAModeHigh, 0, "Trigger A Output");
        m_triggerBMode.Bind(control, kTriggerBModeLow, kTriggerBModeHigh, 0, "Trigger B Output");
        m_continuous.Bind(control, kContinuousBit, false, "");
        return;
    }
    for (std::size_t option = 0; option < m_masterOptions.size(); ++option)
        m_masterOptions[option].Bind(control, kMasterOptionBits[option], false, "");
    for (int pair = 0; pair < 2; ++pair) {
        tTriggerPair& p = m_pairs[static_cast<std::size_t>(pair)];
        tPerCfgItem& ctrl = Item(pair == 0 ? kCtrlAItem : kCtrlCItem);
        const char first = kTriggerNames[2 * pair];
        const char second = kTriggerNames[2 * pair + 1];
        p.firstEnable.Bind(ctrl, kFirstEnableBit, false, "");
        p.secondEnable.Bind(ctrl, kSecondEnableBit, false, "");
        p.firstOption.Bind(ctrl, kFirstOptionBit, false, "");
        p.secondOption.Bind(ctrl, kSecondOptionBit, false, "");
        p.firstMode.Bind(ctrl, kFirstModeBit, kFirstModeBit, 0,
                         hwc::Format("Trigger %c output", first).c_str());
        p.secondMode.Bind(ctrl, kSecondModeBit, kSecondModeBit, 0,
                          hwc::Format("Trigger %c output", second).c_str());
        p.pulseEnable.Bind(
            ctrl, kPulseEnableBit, false,
            hwc::Format("Triggers %c and %c pulse output enable", first, second).c_str());
        p.firstInterrupt.Bind(ctrl, kFirstInterruptBit, false, "");
        p.polarity.Bind(ctrl, kPolarityBit, kPolarityBit, 0,
                        hwc::Format("Triggers %c and %c pulse polarity", first, second).c_str());
        p.pulseStart.Bind(ctrl, kPulseStartBit, kPulseStartBit, 0,
                          hwc::Format("Triggers %c and %c pulse starts on", first, second).c_str());
        p.secondInterrupt.Bind(ctrl, kSecondInterruptBit, false, "");
    }
}

int CpmPDB::DelayItem(int trigger) {
    static constexpr std::array<int, 4> kItems = {kDelayAItem, kDelayBItem, kDelayCItem,
                                                  kDelayDItem};
    return kItems[static_cast<std::size_t>(trigger)];
}

std::uint32_t CpmPDB::Delay(int trigger) const {
    return Item(DelayItem(trigger)).dwValue & kValueMax;
}

bool CpmPDB::IsTriggerEnabled(char trigger) const {
    const int index = trigger >= 'a' ? trigger - 'a' : trigger - 'A';
    if (index < 0 || index >= TriggerCount())
        return false;
    if (!m_newLayout) {
        const int bit = index == 0 ? kTriggerAEnableBit : kTriggerBEnableBit;
        return ((Item(kControlItem).dwValue >> bit) & 1u) != 0;
    }
    const std::uint32_t ctrl = Item(index < 2 ? kCtrlAItem : kCtrlCItem).dwValue;
    const int bit = index % 2 == 0 ? kFirstEnableBit : kSecondEnableBit;
    return ((ctrl >> bit) & 1u) != 0;
}

bool CpmPDB::IsModuleEnabled() const {
    for (int index = 0; index < TriggerCount(); ++index) {
        if (IsTriggerEnabled(static_cast<char>('A' + index)))
            return true;
    }
    return false;
}

void CpmPDB::Recalculate() {
    const double busHz = static_cast<double>(GetBusClock()) * 1000000.0;
    const tTiming timing =
        Timing(busHz, Field(Item(kControlItem).dwValue, kPrescalerLow, kPrescalerHigh),
               Item(kModulusItem).dwValue & kValueMax);
    ShowTime(kPeriodId, timing.period, true, "??");
    ShowFrequency(kFrequencyId, timing.frequency, true, "??");
    for (int trigger = 0; trigger < TriggerCount(); ++trigger) {
        const double delay = DelayTime(Delay(trigger), timing.prescaler, busHz);
        ShowTime(kDelayTimeId + 4 * trigger, delay, true, "OFF");
        // Only a known period can be outlasted: without a clock or modulus nothing is compared.
        const bool active = IsSelected() && IsTriggerEnabled(kTriggerNames[trigger]) &&
                            timing.period > 0.0 && delay > timing.period + kDelayTolerance;
        const std::string text =
            hwc::Format("Trigger %c delay is longer than counter period.", kTriggerNames[trigger]);
        // A cleared warning gives the label its caption back.
        SetWarning(*this, kDelayLabelId + 4 * trigger, active,
                   active ? text : DelayCaption(trigger), active ? text : std::string());
    }
}

void CpmPDB::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    for (int trigger = 0; trigger < TriggerCount(); ++trigger) {
        const int id = kDelayId + 4 * trigger;
        page->EnableControl(id, IsTriggerEnabled(kTriggerNames[trigger]));
    }
    if (!m_newLayout) {
        page->EnableControl(kTriggerAModeId, IsTriggerEnabled('A'));
        page->EnableControl(kTriggerBModeId, IsTriggerEnabled('B'));
    }
    page->ShowControl(kUserVectorNoteId, false);
    if (IsProcessorGroup(*this, kFamA) && !InterruptRows().empty()) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        // The interrupt may be routed through a user vector of the controller.
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
}

void CpmPDB::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    UpdateControlStates();
}

int CpmPDB::PdbNumber() const {
    int number = 0;
    if (std::sscanf(InstanceName().c_str(), "PDB_%d", &number) != 1)
        return 0;
    return number;
}

int CpmPDB::CrossbarOutput() const {
    return PdbNumber() == 0 ? kFirstBlockCrossbarOutput : kSecondBlockCrossbarOutput;
}

void CpmPDB::CheckWarnings() {
    CModule::CheckWarnings();
    CheckInputTrigger();
    if (!m_newLayout)
        CheckPreTriggers();
}

void CpmPDB::CheckInputTrigger() {
    const std::uint32_t control = Item(kControlItem).dwValue;
    bool active = false;
    std::string text;
    if (m_newLayout) {
        const int output = CrossbarOutput();
        if (Field(control, kNewerInputLow, kNewerInputHigh) == 0 && IsSelected() &&
            hwc::CrossbarExists(*this, kCrossbar) &&
            !hwc::CrossbarOutputConfigured(*this, kCrossbar, output)) {
            active = true;
            text =
                hwc::Format("XBAR_OUT%d is not configured and is selected as Input Trigger. (%s)",
                            output, hwc::CrossbarLink(*this, kCrossbar).c_str());
        }
    } else if (IsSelected()) {
        const int selection = static_cast<int>(Field(control, kOlderInputLow, kOlderInputHigh));
        std::string source;
        bool stopped = false;
        if (selection >= kFirstTimerSelection) {
            const int timer = selection - kFirstTimerSelection;
            source = hwc::Format("Timer %d", timer);
            stopped = !hwc::SystemTimerEnabled(*this, timer, true);
        } else {
            source = selection == kPwmSelection ? std::string("PWM")
                                                : hwc::Format("HSCMP_%d", selection);
            stopped = hwc::ModuleExists(*this, source) && !hwc::ModuleEnabled(*this, source, true);
        }
        if (stopped) {
            active = true;
            text = source + " module is not enabled (and is selected as Input Trigger)";
        }
    }
    SetWarning(*this, kInputTriggerWarningId, active, active ? text : std::string(),
               active ? text : std::string());
}

void CpmPDB::CheckPreTriggers() {
    const std::uint32_t control = Item(kControlItem).dwValue;
    const bool adc0 = hwc::ModuleExists(*this, "ADC_0");
    const bool adc1 = hwc::ModuleExists(*this, "ADC_1");
    const std::uint32_t modeA = Field(control, kTriggerAModeLow, kTriggerAModeHigh);
    const std::uint32_t modeB = Field(control, kTriggerBModeLow, kTriggerBModeHigh);
    const bool enabledA = IsTriggerEnabled('A');
    const bool enabledB = IsTriggerEnabled('B');

    const bool preA = enabledA &&
                      ((modeA == kModeFirstConverter && adc0) ||
                       (modeA == kModeBothConverters && (adc0 || adc1))) &&
                      Delay(0) <= 1;
    const std::string textA =
        "PreTrigger A signal will not be generated if the Trigger A Delay is 0 or 1";
    SetWarning(*this, kPreTriggerAWarningId, preA, preA ? textA : std::string(),
               preA ? textA : std::string());

    const bool preB = enabledB &&
                      ((modeB == kModeFirstConverter && adc1) ||
                       (modeB == kModeBothConverters && (adc0 || adc1))) &&
                      Delay(1) <= 1;
    const std::string textB =
        "PreTrigger B signal will not be generated if the Trigger B Delay is 0 or 1";
    SetWarning(*this, kPreTriggerBWarningId, preB, preB ? textB : std::string(),
               preB ? textB : std::string());

    const bool pulse = enabledA && modeA == kModePulseOut && !enabledB;
    const std::string textPulse =
        "Trigger B must be enabled if Trigger A Output is set to PulseOut";
    SetWarning(*this, kPulseOutWarningId, pulse, pulse ? textPulse : std::string(),
               pulse ? textPulse : std::string());
}
