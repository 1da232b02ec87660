#include "modules/system/CpmCOP_FamA.h"

#include <array>
#include <cmath>
#include <iterator>

#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

// The control register is written even at its default: the watchdog runs out of reset.
const tPerCfgDef kRegisters[] = {
    {"COPCTL_INIT", 0x302, DW16 | NODEFAULT},
    {"COPTO_INIT", 0xFFFF, DW16},
    {"INTVAL_INIT", 0xFF, DW16},
    {"WINDOW_INIT", 0xFFFF, DW16},
};

constexpr int kFamC = 106;

// Control register fields.
constexpr int kWriteProtectBit = 0;
constexpr int kEnableBit = 1;
constexpr int kWaitModeBit = 2;
constexpr int kStopModeBit = 3;
constexpr int kLossOfClockBit = 4;
constexpr int kClockSourceLow = 5;
constexpr int kClockSourceHigh = 6;
constexpr int kWarningInterruptBit = 7;
constexpr int kPrescalerLow = 8;
constexpr int kPrescalerHigh = 9;

constexpr std::uint32_t kCounterMax = 0xFFFF;
constexpr std::array<std::uint32_t, 4> kPrescalerDivisors = {1, 16, 256, 1024};

// Largest timeout divisor that gives a time: the counter of FamG is 12 bits wide.
constexpr std::uint32_t kFamGTimeoutLimit = 4096;
constexpr std::uint32_t kTimeoutLimit = 65536;
constexpr std::uint32_t kCompareLimit = 65535;

// Source clocks in MHz that do not come from another module.
constexpr double kRelaxationMHz = 8.0;
constexpr double kLowSpeedFamEMHz = 0.032;
constexpr double kLowSpeedFamFDMHz = 0.2;
constexpr double kPowerOscillatorMHz = 0.001;

constexpr const char* kClockSourceCaption = "COP clock source:";

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

bool HostHasWarningInterrupt() {
    return HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamF) ||
           HostInGroup(CModule::kFamD);
}

int RegisterCountOfHost() {
    if (HostInGroup(CModule::kFamF) || HostInGroup(CModule::kFamD))
        return 4;
    return HostInGroup(CModule::kFamE) ? 3 : 2;
}

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// One "value, spin, Timeout: time" row of the timing group.
tLayoutItem CounterRow(const char* caption, int valueId, int spinId, int timeId,
                       int valueLabelId = kNoControlId, int timeLabelId = kNoControlId) {
    return dlg::Row({dlg::Label(caption, valueLabelId), dlg::Edit(valueId),
                     dlg::UpDown(spinId, 0, static_cast<std::int32_t>(kCounterMax)),
                     dlg::Label("Timeout:", timeLabelId), dlg::ReadOnly(timeId)});
}

using C = CpmCOP_FamA;

tLayoutItem ModeGroup() {
    return dlg::Group("Watchdog (COP)",
                      {dlg::Row({dlg::CheckBox(C::kEnableId, "COP Enable"),
                                 dlg::CheckBox(C::kWriteProtectId, "COP Write Protect")}),
                       dlg::Row({dlg::CheckBox(C::kWaitModeId, "COP Runs in Wait Mode"),
                                 dlg::CheckBox(C::kStopModeId, "COP Runs in Stop Mode")}),
                       dlg::CheckBox(C::kLossOfClockId, "Enable Loss of Clock COP")});
}

tLayoutItem ClockRows(std::vector<std::string> sources) {
    return dlg::Column({dlg::Row({dlg::Label(kClockSourceCaption, C::kClockSourceLabelId),
                                  dlg::DropList(C::kClockSourceId, std::move(sources))}),
                        dlg::Row({dlg::Label("Prescaler:"),
                                  dlg::DropList(C::kPrescalerId, {"input / 1", "input / 16",
                                                                  "input / 256", "input / 1024"})}),
                        CounterRow("Timeout divisor:", C::kTimeoutDivisorId,
                                   C::kTimeoutDivisorSpinId, C::kTimeoutId)});
}

tLayoutItem InterruptGroup() {
    return dlg::Group("COP Interrupt",
                      {dlg::Link(C::kUserVectorNoteId, "(user vector information)"),
                       dlg::Placeholder(C::kHeadingPlaceholderId),
                       dlg::Row({dlg::Label("ISR Name:", C::kIsrNameLabelId),
                                 dlg::Placeholder(C::kFirstRowPlaceholderId)})},
                      C::kInterruptGroupId);
}

} // namespace

// --- Module ---

double CpmCOP_FamA::CountTime(std::uint32_t count, std::uint32_t limit, double clockMHz) {
    if (count < 1 || count > limit || !(clockMHz > 0.0) || !std::isfinite(clockMHz))
        return 0.0;
    return static_cast<double>(count) / (clockMHz * 1000000.0);
}

CpmCOP_FamA::CpmCOP_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, HostHasWarningInterrupt() ? kNewerTemplateId : kTemplateId, descriptor,
              nullptr, 0) {
    const int count = RegisterCountOfHost();
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    AddCommentItems({{&m_enable, 0},
                     {&m_writeProtect, 0},
                     {&m_waitMode, 0},
                     {&m_stopMode, 0},
                     {&m_lossOfClock, 0},
                     {&m_clockSource, 0},
                     {&m_prescaler, 0},
                     {&m_timeoutDivisor, 0}});
    if (HasWarningInterrupt())
        AddCommentItems({{&m_warningInterrupt, 0}, {&m_interruptValue, 0}});
    if (HasWindow())
        AddCommentItems({{&m_windowValue, 0}});
}

const CDialogTemplate* CpmCOP_FamA::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {ModeGroup(),
         dlg::Group("Timing", {ClockRows({"Relaxation oscillator", "Crystal oscilator / XTAL",
                                          "IP BUS clock", "1 KHz oscilator"})}),
         InterruptGroup()});
    static const CDialogTemplate newerPage(
        kNewerTemplateId,
        {ModeGroup(),
         dlg::Group("Timing", {ClockRows({"Relaxation oscillator", "Crystal oscillator / XTAL",
                                          "IP BUS clock", "1 KHz oscillator"})}),
         dlg::Group("Warning interrupt and service window",
                    {dlg::CheckBox(kWarningInterruptId, "Enable COP Warning Interrupt"),
                     CounterRow("Interrupt Value:", kInterruptValueId, kInterruptValueSpinId,
                                kInterruptTimeId),
                     CounterRow("Window Value:", kWindowValueId, kWindowValueSpinId, kWindowTimeId,
                                kWindowValueLabelId, kWindowTimeLabelId)}),
         InterruptGroup()});
    return TemplateId() == kNewerTemplateId ? &newerPage : &page;
}

bool CpmCOP_FamA::HasWarningInterrupt() const {
    return ItemCount() > kInterruptValueItem;
}

bool CpmCOP_FamA::HasWindow() const {
    return ItemCount() > kWindowItem;
}

std::vector<std::string> CpmCOP_FamA::ClockSourceTexts() const {
    if (IsProcessorGroup(*this, kFamC))
        return {"Relaxation oscilator", "Crystal oscilator / XTAL", "IP BUS clock"};
    if (IsProcessorGroup(*this, kFamD))
        return {"8MHz clock from 48MHz/6", "Crystal oscillator", "IP BUS clock",
                "Low speed oscillator"};
    if (IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF))
        return {"Relaxation oscillator", "Crystal oscillator", "IP BUS clock",
                "Low speed oscillator"};
    return {};
}

void CpmCOP_FamA::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own: the plain label stands in for it.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
    CModule::AttachControls(page);
    for (int spin : {kTimeoutDivisorSpinId, kInterruptValueSpinId, kWindowValueSpinId})
        page.SetSpinRange(spin, 0, static_cast<std::int32_t>(kCounterMax));
    if (std::vector<std::string> texts = ClockSourceTexts(); !texts.empty()) {
        if (CPageControl* list = page.FindControl(kClockSourceId))
            list->SetItems(std::move(texts));
    }

    m_writeProtect.AttachTo(page, kWriteProtectId);
    m_enable.AttachTo(page, kEnableId);
    m_waitMode.AttachTo(page, kWaitModeId);
    m_stopMode.AttachTo(page, kStopModeId);
    m_lossOfClock.AttachTo(page, kLossOfClockId);
    m_clockSource.AttachTo(page, kClockSourceId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_timeoutDivisor.AttachTo(page, kTimeoutDivisorId);
    if (HasWarningInterrupt()) {
        m_warningInterrupt.AttachTo(page, kWarningInterruptId);
        m_interruptValue.AttachTo(page, kInterruptValueId);
    }
    if (HasWindow())
        m_windowValue.AttachTo(page, kWindowValueId);
}

void CpmCOP_FamA::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(kControlItem);
    m_writeProtect.Bind(control, kWriteProtectBit, false, "");
    m_enable.Bind(control, kEnableBit, false, "COP operation");
    m_waitMode.Bind(control, kWaitModeBit, false, "");
    m_stopMode.Bind(control, kStopModeBit, false, "");
    m_lossOfClock.Bind(control, kLossOfClockBit, false, "");
    m_clockSource.Bind(control, kClockSourceLow, kClockSourceHigh, 0, "");
    m_prescaler.Bind(control, kPrescalerLow, kPrescalerHigh, 0, "");
    m_warningInterrupt.Bind(control, kWarningInterruptBit, false, "");
    m_timeoutDivisor.Bind(Item(kTimeoutItem), 0, 15, 0, "COP timeout", false, 0, kCounterMax, true);
    if (HasWarningInterrupt())
        m_interruptValue.Bind(Item(kInterruptValueItem), 0, 15, 0, "COP Warning Interrupt Timeout",
                              false, 0, kCounterMax, true);
    if (HasWindow())
        m_windowValue.Bind(Item(kWindowItem), 0, 15, 0, "COP Window Timeout", false, 0, kCounterMax,
                           true);
}

int CpmCOP_FamA::ClockSourceField() const {
    return static_cast<int>(Field(Item(kControlItem).dwValue, kClockSourceLow, kClockSourceHigh));
}

std::uint32_t CpmCOP_FamA::PrescalerDivisor() const {
    return kPrescalerDivisors[Field(Item(kControlItem).dwValue, kPrescalerLow, kPrescalerHigh)];
}

double CpmCOP_FamA::SourceClockMHz() const {
    switch (ClockSourceField()) {
    case kRelaxationSource:
        return kRelaxationMHz;
    case kCrystalSource:
        // The crystal frequency the clock page edits; no clock without the clock module.
        return hwc::FindClockGenerator(*this) ? hwc::ProjectCrystalClockMHz(*this) : 0.0;
    case kBusClockSource:
        return GetBusClock();
    default:
        if (IsProcessorGroup(*this, kFamE))
            return kLowSpeedFamEMHz;
        if (IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD))
            return kLowSpeedFamFDMHz;
        return kPowerOscillatorMHz;
    }
}

double CpmCOP_FamA::CounterClockMHz() const {
    const double source = SourceClockMHz();
    if (!(source > 0.0) || !std::isfinite(source))
        return 0.0;
    return source / static_cast<double>(PrescalerDivisor());
}

void CpmCOP_FamA::Recalculate() {
    const double clock = CounterClockMHz();
    const std::uint32_t limit = IsProcessorGroup(*this, kFamG) ? kFamGTimeoutLimit : kTimeoutLimit;
    ShowTime(kTimeoutId, CountTime(Item(kTimeoutItem).dwValue, limit, clock), true, nullptr);
    if (HasWarningInterrupt())
        ShowTime(kInterruptTimeId,
                 CountTime(Item(kInterruptValueItem).dwValue, kCompareLimit, clock), true, nullptr);
    if (HasWindow())
        ShowTime(kWindowTimeId, CountTime(Item(kWindowItem).dwValue, kCompareLimit, clock), true,
                 nullptr);
}

void CpmCOP_FamA::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->ShowControls({kWindowValueLabelId, kWindowValueId, kWindowValueSpinId, kWindowTimeLabelId,
                        kWindowTimeId},
                       HasWindow());
    page->ShowControl(kUserVectorNoteId, false);
    if (InterruptRows().empty()) {
        // Without an interrupt there is no row to name or to note.
        page->ShowControls(
            {kInterruptGroupId, kHeadingPlaceholderId, kIsrNameLabelId, kFirstRowPlaceholderId},
            false);
        return;
    }
    if (IsProcessorGroup(*this, kFamA)) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        // The interrupt may be routed through a user vector of the controller.
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
}

void CpmCOP_FamA::CheckWarnings() {
    CModule::CheckWarnings();
    const int source = ClockSourceField();
    const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
    const bool newest = IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF) ||
                        IsProcessorGroup(*this, kFamD);
    // A later check replaces an earlier one.
    std::string text;
    if (clock && source == kRelaxationSource && clock->IsRelaxationOscillatorDisabled())
        text = kRelaxationWarning;
    // The crystal is missing when it is powered down or has no frequency to count.
    if (clock && source == kCrystalSource &&
        (clock->IsCrystalOscillatorPoweredDown() || !(hwc::ProjectCrystalClockMHz(*this) > 0.0f)))
        text = kCrystalWarning;
    if (!newest && !IsProcessorGroup(*this, kFamC)) {
        // Without the power management or system module nothing says the clock is off.
        if (source == kLowSpeedSource && !hwc::PowerLowPowerOscillatorEnabled(*this, true))
            text = kPowerOscillatorWarning;
        if (source == kBusClockSource && !hwc::SystemCopBusClockEnabled(*this, true))
            text = kBusClockWarning;
    }
    if (newest && clock && source == kLowSpeedSource && clock->IsLowSpeedOscillatorDisabled())
        text = kLowSpeedWarning;
    // The label keeps its caption (dark red while warning).
    SetWarning(*this, kClockSourceLabelId, !text.empty(), kClockSourceCaption, text);
}

bool CpmCOP_FamA::CountsCrystalOscillator() const {
    return ClockSourceField() == kCrystalSource;
}

bool CpmCOP_FamA::IsModuleEnabled() const {
    return Field(Item(kControlItem).dwValue, kEnableBit, kEnableBit) != 0;
}
