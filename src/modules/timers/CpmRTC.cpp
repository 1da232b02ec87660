#include "modules/timers/CpmRTC.h"

#include <array>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"RTCSC_INIT", 0, DW8},
    {"RTCMOD_INIT", 0, DW8},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Status and control register fields.
constexpr int kPrescalerLow = 0;
constexpr int kPrescalerHigh = 3;
constexpr int kInterruptEnableBit = 4;
constexpr int kClockSourceLow = 5;
constexpr int kClockSourceHigh = 6;
constexpr std::uint32_t kModuloMax = 255;

// Dividers by prescaler field; 0 stops the counter. The 1 kHz oscillator and the first internal
// clock choice divide by the first table, the external clock and the second internal choice by
// the second.
constexpr std::array<std::uint32_t, 16> kFineDividers = {0, 8, 32, 64, 128, 256, 512, 1024,
                                                         1, 2, 4,  10, 16,  100, 500, 1000};
constexpr std::array<std::uint32_t, 16> kCoarseDividers = {0,     1024,  2048,   4096,  8192, 16384,
                                                           32768, 65536, 1000,   2000,  5000, 10000,
                                                           20000, 50000, 100000, 200000};

constexpr const char* kClockSourceCaption = "Clock Source:";
constexpr const char* kNotAvailable = "n/a";

} // namespace

CpmRTC::tTiming CpmRTC::Timing(int source, int prescaler, std::uint32_t modulo) {
    tTiming timing;
    if (source < kLowPowerOscillator || source > kInternalClockSelected || prescaler < 0 ||
        prescaler >= static_cast<int>(kFineDividers.size()))
        return timing;
    const bool fine = source == kLowPowerOscillator || source == kInternalClock;
    const std::size_t index = static_cast<std::size_t>(prescaler);
    timing.divider = fine ? kFineDividers[index] : kCoarseDividers[index];
    if (timing.divider == 0)
        return timing;
    // The external clock's frequency is not known here.
    const float inputHz = source == kLowPowerOscillator ? 1000.0f
                          : source == kExternalClock    ? 0.0f
                                                        : 32000000.0f;
    const std::uint32_t counts = modulo & kModuloMax;
    const std::uint32_t cycles = timing.divider * (counts == 0 ? 1u : counts);
    timing.rate = inputHz / static_cast<float>(cycles);
    timing.period = timing.rate != 0.0f ? 1.0f / timing.rate : 0.0f;
    return timing;
}

CpmRTC::CpmRTC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems(
        {{&m_clockSource, 0}, {&m_prescaler, 0}, {&m_modulo, 0}, {&m_interruptEnable, 0}});
}

const CDialogTemplate* CpmRTC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Real-time counter",
             {dlg::Row({dlg::Label(kClockSourceCaption, kClockSourceLabelId),
                        dlg::DropList(kClockSourceId,
                                      {"1-kHz low-power oscillator (LPO)", "External clock (ERCLK)",
                                       "Internal clock (IRCLK) with RTCLKS[0] = 0",
                                       "Internal clock (IRCLK)  with RTCLKS[0] = 1"})}),
              dlg::Row(
                  {dlg::Column(
                       {dlg::Row({dlg::Label("Prescaler:"),
                                  dlg::DropList(kPrescalerId,
                                                {"OFF", "1", "2", "3", "4", "5", "6", "7", "8", "9",
                                                 "10", "11", "12", "13", "14", "15"})}),
                        dlg::Row({dlg::Label("Modulo:"), dlg::Edit(kModuloId),
                                  dlg::UpDown(kModuloSpinId, 0, kModuloMax)})}),
                   dlg::Column(
                       {dlg::Row({dlg::Label("Divide-By value"), dlg::ReadOnly(kDividerId)}),
                        dlg::Row({dlg::Label("Roll Over Time"), dlg::ReadOnly(kRollOverTimeId)}),
                        dlg::Row(
                            {dlg::Label("Interrupt Rate"), dlg::ReadOnly(kInterruptRateId)})})})}),
         dlg::Group("RTC Interrupt",
                    {dlg::CheckBox(kInterruptEnableId, "Enable Real-Time interrupt"),
                     dlg::Row({dlg::Label("ISR Name:", kIsrNameLabelId),
                               dlg::Placeholder(kFirstRowPlaceholderId)}),
                     dlg::Link(kUserVectorNoteId, "(user vector information)")})});
    return &page;
}

void CpmRTC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kModuloSpinId, 0, kModuloMax);
    m_clockSource.AttachTo(page, kClockSourceId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_modulo.AttachTo(page, kModuloId);
    m_interruptEnable.AttachTo(page, kInterruptEnableId);
}

void CpmRTC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(kControlItem);
    m_clockSource.Bind(control, kClockSourceLow, kClockSourceHigh, 0, "");
    m_prescaler.Bind(control, kPrescalerLow, kPrescalerHigh, 0, "");
    m_modulo.Bind(Item(kModuloItem), 0, 7, 0, "", false, 0, kModuloMax, true);
    m_interruptEnable.Bind(control, kInterruptEnableBit, false, "");
}

void CpmRTC::Recalculate() {
    const tTiming timing = Timing(m_clockSource.GetValue(), m_prescaler.GetValue(),
                                  Item(kModuloItem).dwValue & kModuloMax);
    if (CPage* page = Page()) {
        page->SetControlText(kDividerId,
                             timing.divider != 0 ? hwc::Format("%u", timing.divider) : "OFF");
    }
    ShowTime(kRollOverTimeId, timing.period, true, kNotAvailable);
    ShowFrequency(kInterruptRateId, timing.rate, true, kNotAvailable);
}

void CpmRTC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    if (InterruptRows().empty()) {
        // Without an interrupt there is no row to name or to note.
        page->ShowControls({kIsrNameLabelId, kFirstRowPlaceholderId, kUserVectorNoteId}, false);
        return;
    }
    const CInterruptRow& row = InterruptRows().front();
    if (row.page)
        row.page->ShowControl(kRowPriorityId, false);
    hwc::ShowUserVectorNote(*this, kUserVectorNoteId, row.vector);
}

void CpmRTC::CheckWarnings() {
    CModule::CheckWarnings();
    // Without a power management module nothing says the oscillator is off.
    const bool active = m_clockSource.GetValue() == kLowPowerOscillator &&
                        !hwc::PowerLowPowerOscillatorEnabled(*this, true);
    // The label keeps its caption (dark red while warning) rather than disappearing.
    SetWarning(*this, kClockSourceLabelId, active, kClockSourceCaption, kOscillatorWarning);
}
