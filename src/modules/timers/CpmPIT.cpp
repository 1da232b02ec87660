#include "modules/timers/CpmPIT.h"

#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/interrupts/InterruptQueries.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, DW16 | NODEFAULT},
    {"MOD_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Register fields.
constexpr int kCounterEnableBit = 0;
constexpr int kInterruptEnableBit = 1;
constexpr int kPrescalerLow = 3;
constexpr int kPrescalerHigh = 6;
constexpr int kClockSourceLow = 8;
constexpr int kClockSourceHigh = 9;
constexpr int kSlaveModeBit = 15;
constexpr std::uint32_t kModuloMax = 65535;

// Clock sources of the clock-source field.
enum EClockSource { kBusClockSource = 0, kCrystalSource = 1, kFastRcSource = 2, kSlowRcSource = 3 };

// Input clocks of the fixed sources in Hz; the 32 kHz oscillator is counted as the
// single-precision number just above 32000, as the rates users know were always computed.
constexpr float kFastRcHz = 8000000.0f;
constexpr float kSlowRc32Hz = 32000.002f;
constexpr float kSlowRc200Hz = 200000.0f;

constexpr const char* kClockSourceCaption = "Clock source:";

// Clock-source texts that FamF and FamD processors name differently.
struct tTextReplacement {
    const char* from;
    const char* to;
    bool notAtStart; // only a match after the first character counts
};
constexpr tTextReplacement kFamFDClockTexts[] = {
    {"32 kHz", "200 kHz", true},
    {"RC Oscillator 8 MHz", "8MHz clock from 48MHz/6", false},
};

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// Applies the FamF/FamD renamings to the list; true when anything changed.
bool ReplaceClockTexts(std::vector<std::string>& items) {
    bool changed = false;
    for (std::string& item : items) {
        for (const tTextReplacement& replacement : kFamFDClockTexts) {
            const std::size_t at = item.find(replacement.from);
            if (at == std::string::npos || (replacement.notAtStart && at == 0))
                continue;
            item.replace(at, std::char_traits<char>::length(replacement.from), replacement.to);
            changed = true;
        }
    }
    return changed;
}

} // namespace

CpmPIT::CpmPIT(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_counterEnable, 0},
                     {&m_slaveMode, 0},
                     {&m_prescaler, 0},
                     {&m_modulo, 0},
                     {&m_interruptEnable, 0}});
    if (HasClockSourceChoice())
        AddCommentItems({{&m_clockSource, 0}});
}

const CDialogTemplate* CpmPIT::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Counter", {dlg::CheckBox(kCounterEnableId, "Counter Enable"),
                                dlg::CheckBox(kSlaveModeId, "PIT 0 Slave Mode"),
                                dlg::CheckBox(kInterruptEnableId, "Interrupt Enable")}),
         dlg::Group(
             "Timing",
             {dlg::Row(
                 {dlg::Column(
                      {dlg::Row({dlg::Label(kClockSourceCaption, kClockSourceLabelId),
                                 dlg::DropList(kClockSourceId,
                                               {"IPBus clock", "Crystal oscillator",
                                                "RC Oscillator 8 MHz ", "RC Oscillator 32 kHz"})}),
                       dlg::Row({dlg::Label("Clock Prescaler:"),
                                 dlg::DropList(kPrescalerId,
                                               {"/ 1", "/ 2", "/ 4", "/ 8", "/ 16", "/ 32", "/ 64",
                                                "/ 128", "/ 256", "/ 512", "/ 1024", "/ 2048",
                                                "/ 4096", "/ 8192", "/ 16384", "/ 32768"})}),
                       dlg::Row({dlg::Label("Modulo Value:"), dlg::Edit(kModuloId),
                                 dlg::UpDown(kModuloSpinId, 0, kModuloMax)})}),
                  dlg::Column(
                      {dlg::Row({dlg::Label("Roll Over Time"), dlg::ReadOnly(kRollOverTimeId)}),
                       dlg::Row(
                           {dlg::Label("Interrupt Rate"), dlg::ReadOnly(kInterruptRateId)})})})}),
         dlg::Link(kUserVectorNoteId, "(user vector information)"),
         dlg::Placeholder(kHeadingPlaceholderId), dlg::Label("ISR Name:", kIsrNameLabelId),
         dlg::Placeholder(kFirstRowPlaceholderId)});
    return &page;
}

bool CpmPIT::HasClockSourceChoice() const {
    return IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF) ||
           IsProcessorGroup(*this, kFamD);
}

void CpmPIT::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own: the plain label stands in for it.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kModuloSpinId, 0, kModuloMax);

    m_counterEnable.AttachTo(page, kCounterEnableId);
    m_interruptEnable.AttachTo(page, kInterruptEnableId);
    m_slaveMode.AttachTo(page, kSlaveModeId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_modulo.AttachTo(page, kModuloId);
    if (!HasClockSourceChoice())
        return;
    if (IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD)) {
        if (CPageControl* list = page.FindControl(kClockSourceId)) {
            std::vector<std::string> items = list->Items();
            if (ReplaceClockTexts(items))
                list->SetItems(std::move(items));
        }
    }
    m_clockSource.AttachTo(page, kClockSourceId);
}

void CpmPIT::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    m_counterEnable.Bind(ctrl, kCounterEnableBit, false, "");
    m_interruptEnable.Bind(ctrl, kInterruptEnableBit, false, "");
    m_slaveMode.Bind(ctrl, kSlaveModeBit, false, "");
    m_prescaler.Bind(ctrl, kPrescalerLow, kPrescalerHigh, 0, "");
    m_modulo.Bind(Item(kModItem), 0, 15, 0, "", false, 0, kModuloMax, true);
    m_clockSource.Bind(ctrl, kClockSourceLow, kClockSourceHigh, 0, "Clock source");
}

void CpmPIT::Recalculate() {
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const float divider = static_cast<float>(1u << Field(ctrl, kPrescalerLow, kPrescalerHigh)) *
                          static_cast<float>((Item(kModItem).dwValue & kModuloMax) + 1u);
    float inputHz = GetBusClock() * 1000000.0f;
    if (HasClockSourceChoice()) {
        switch (Field(ctrl, kClockSourceLow, kClockSourceHigh)) {
        case kCrystalSource:
            inputHz = CrystalClock() * 1000000.0f;
            break;
        case kFastRcSource:
            inputHz = kFastRcHz;
            break;
        case kSlowRcSource:
            inputHz = IsProcessorGroup(*this, kFamE) ? kSlowRc32Hz : kSlowRc200Hz;
            break;
        default:
            break;
        }
    }
    const float rate = inputHz / divider;
    const float period = rate != 0.0f ? 1.0f / rate : 0.0f;
    ShowTime(kRollOverTimeId, period, true, "??");
    ShowFrequency(kInterruptRateId, rate, true, "??");
}

void CpmPIT::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const bool slave = InstanceNumber() != 0;
    page->ShowControl(kSlaveModeId, slave);
    page->EnableControl(kCounterEnableId, !(slave && m_slaveMode.IsChecked() == 1));
    page->ShowControl(kUserVectorNoteId, false);
    if (IsProcessorGroup(*this, kFamA) && !InterruptRows().empty()) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        // The timer's interrupt may be routed through a user vector of the controller.
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
    const bool choice = HasClockSourceChoice();
    page->ShowControls({kClockSourceId, kClockSourceLabelId}, choice);
}

void CpmPIT::CheckWarnings() {
    CModule::CheckWarnings();
    if (!HasClockSourceChoice())
        return;
    bool active = false;
    std::string text;
    switch (Field(Item(kCtrlItem).dwValue, kClockSourceLow, kClockSourceHigh)) {
    case kCrystalSource:
        active = IsCrystalOscillatorPoweredDown();
        text = "Clock source is not available; crystal oscillator is powered down. It must be "
               "enabled or XTAL pin must be configured properly - see OCCS.";
        break;
    case kFastRcSource:
        active = IsRelaxationOscillatorDisabled();
        text = "Clock source is not available; internal relaxation oscillator 8 MHz is not "
               "enabled - see OCCS.";
        break;
    case kSlowRcSource:
        active = IsLowSpeedOscillatorDisabled();
        text = hwc::Format("Clock source is not available; %d kHz relaxation oscillator is not "
                           "enabled - see OCCS.",
                           IsProcessorGroup(*this, kFamE) ? 32 : 200);
        break;
    default:
        break;
    }
    // A cleared warning gives the label its caption back rather than leaving a stale text.
    SetWarning(*this, kClockSourceLabelId, active, active ? text : kClockSourceCaption,
               active ? text : std::string());
}

bool CpmPIT::IsModuleEnabled() const {
    return (Item(kCtrlItem).dwValue >> kCounterEnableBit) & 1u;
}

float CpmPIT::CrystalClock() const {
    const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
    return clock ? clock->CrystalClockMHz() : 0.0f;
}

bool CpmPIT::IsCrystalOscillatorPoweredDown() const {
    const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
    return clock && clock->IsCrystalOscillatorPoweredDown();
}

bool CpmPIT::IsRelaxationOscillatorDisabled() const {
    const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
    return clock && clock->IsRelaxationOscillatorDisabled();
}

bool CpmPIT::IsLowSpeedOscillatorDisabled() const {
    const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
    return clock && clock->IsLowSpeedOscillatorDisabled();
}
