#include "modules/system/CpmEWM.h"

#include <cmath>
#include <iterator>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/DisplayText.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/routing/RoutingQueries.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, DW16},    {"CMPL_INIT", 0, DW16},         {"CMPH_INIT", 0xFF, DW16},
    {"CLKCTRL_INIT", 0, DW16}, {"CLKPRESCALER_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Control register fields.
constexpr int kEnableBit = 0;
constexpr int kAssertionStateBit = 1;
constexpr int kInputEnableBit = 2;
constexpr int kInterruptEnableBit = 3;
constexpr std::uint32_t kClockSourceMask = 0x3;
constexpr std::uint32_t kByteMask = 0xFF;
constexpr std::uint32_t kPrescalerMax = 256;

// Source clocks in MHz that do not come from another module.
constexpr double kRelaxationMHz = 8.0;
constexpr double kLowSpeedFamEMHz = 0.032;
constexpr double kLowSpeedFamFDMHz = 0.2;

// The crossbar and its outputs that feed EWM_in.
constexpr const char* kCrossbar = "XBAR_A";
constexpr int kFamEInputOutput = 58;
constexpr int kFamFInputOutput = 40;
constexpr int kFamDInputOutput = 63;

constexpr const char* kClockSourceCaption = "EWM clock source:";

// Clock-source texts that FamF and FamD processors name differently.
struct tTextReplacement {
    const char* from;
    const char* to;
};
constexpr tTextReplacement kFamFDClockTexts[] = {
    {"32 kHz", "200 kHz"},
    {"8 MHz Relaxation oscillator", "8MHz clock from 48MHz/6"},
};

// Applies the FamF/FamD renamings to the list; true when anything changed.
bool ReplaceClockTexts(std::vector<std::string>& items) {
    bool changed = false;
    for (std::string& item : items) {
        for (const tTextReplacement& replacement : kFamFDClockTexts) {
            const std::size_t at = item.find(replacement.from);
            if (at == std::string::npos)
                continue;
            item.replace(at, std::char_traits<char>::length(replacement.from), replacement.to);
            changed = true;
        }
    }
    return changed;
}

tLayoutItem CompareRow(const char* caption, int valueId, int spinId, int timeId) {
    return dlg::Row({dlg::Label(caption), dlg::Edit(valueId),
                     dlg::UpDown(spinId, 0, static_cast<std::int32_t>(kByteMask)),
                     dlg::Label("Timeout:"), dlg::ReadOnly(timeId)});
}

} // namespace

CpmEWM::CpmEWM(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_enable, 0},
                     {&m_inputEnable, 0},
                     {&m_assertionState, 0},
                     {&m_interruptEnable, 0},
                     {&m_clockSource, 0},
                     {&m_prescaler, 0},
                     {&m_compareLow, 0},
                     {&m_compareHigh, 0}});
}

const CDialogTemplate* CpmEWM::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("External watchdog monitor",
                    {dlg::CheckBox(kEnableId, "EWM Enable"),
                     dlg::CheckBox(kInputEnableId, kInputCaption),
                     dlg::Row({dlg::Label("EWM_in assertion state:"),
                               dlg::DropList(kAssertionStateId, {"Logic zero", "Logic one"})})}),
         dlg::Group(
             "Counter clock",
             {dlg::Row({dlg::Label(kClockSourceCaption, kClockSourceLabelId),
                        dlg::DropList(kClockSourceId,
                                      {"8 MHz Relaxation oscillator", "Crystal oscillator",
                                       "IP bus clock", "32 kHz Relaxation oscillator"})}),
              dlg::Row({dlg::Label("Prescaler:"), dlg::Edit(kPrescalerId),
                        dlg::UpDown(kPrescalerSpinId, 1, static_cast<std::int32_t>(kPrescalerMax)),
                        dlg::Label(kFrequencyCaption, kFrequencyLabelId),
                        dlg::ReadOnly(kFrequencyId)})}),
         dlg::Group(
             "Service window",
             {CompareRow("Compare Value Low:", kCompareLowId, kCompareLowSpinId, kLowTimeId),
              CompareRow("Compare Value High:", kCompareHighId, kCompareHighSpinId, kHighTimeId)}),
         dlg::Group("EWM Interrupt", {dlg::CheckBox(kInterruptEnableId, "Enable EWM Interrupt"),
                                      dlg::Link(kUserVectorNoteId, "(user vector information)"),
                                      dlg::Placeholder(kHeadingPlaceholderId),
                                      dlg::Row({dlg::Label("ISR Name:", kIsrNameLabelId),
                                                dlg::Placeholder(kFirstRowPlaceholderId)})})});
    return &page;
}

void CpmEWM::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own: the plain label stands in for it.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kPrescalerSpinId, 1, static_cast<std::int32_t>(kPrescalerMax));
    page.SetSpinRange(kCompareLowSpinId, 0, static_cast<std::int32_t>(kByteMask));
    page.SetSpinRange(kCompareHighSpinId, 0, static_cast<std::int32_t>(kByteMask));
    if (IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD)) {
        if (CPageControl* list = page.FindControl(kClockSourceId)) {
            std::vector<std::string> items = list->Items();
            if (ReplaceClockTexts(items))
                list->SetItems(std::move(items));
        }
    }

    m_enable.AttachTo(page, kEnableId);
    m_assertionState.AttachTo(page, kAssertionStateId);
    m_inputEnable.AttachTo(page, kInputEnableId);
    m_interruptEnable.AttachTo(page, kInterruptEnableId);
    m_clockSource.AttachTo(page, kClockSourceId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_compareLow.AttachTo(page, kCompareLowId);
    m_compareHigh.AttachTo(page, kCompareHighId);
}

void CpmEWM::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(kControlItem);
    m_enable.Bind(control, kEnableBit, false, "");
    m_assertionState.Bind(control, kAssertionStateBit, kAssertionStateBit, 0, "");
    m_inputEnable.Bind(control, kInputEnableBit, false, "");
    m_interruptEnable.Bind(control, kInterruptEnableBit, false, "");
    m_clockSource.Bind(Item(kClockControlItem), 0, 1, 0, "");
    m_prescaler.Bind(Item(kPrescalerItem), 0, 7, 1, "", false, 0, 0, false);
    m_compareLow.Bind(Item(kCompareLowItem), 0, 7, 0, "", false, 0, kByteMask, true);
    m_compareHigh.Bind(Item(kCompareHighItem), 0, 7, 0, "", false, 0, kByteMask, true);
}

double CpmEWM::SourceClockMHz() const {
    switch (Item(kClockControlItem).dwValue & kClockSourceMask) {
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
        return 0.0;
    }
}

std::uint32_t CpmEWM::PrescalerDivisor() const {
    return (Item(kPrescalerItem).dwValue & kByteMask) + 1u;
}

int CpmEWM::InputCrossbarOutput() const {
    if (IsProcessorGroup(*this, kFamE))
        return kFamEInputOutput;
    if (IsProcessorGroup(*this, kFamF))
        return kFamFInputOutput;
    if (IsProcessorGroup(*this, kFamD))
        return kFamDInputOutput;
    return 0;
}

void CpmEWM::Recalculate() {
    double source = SourceClockMHz();
    if (!(source > 0.0) || !std::isfinite(source))
        source = 0.0;
    const double dividedMHz = source / static_cast<double>(PrescalerDivisor());
    const double counterHz = dividedMHz * 1000000.0;
    const double period = counterHz > 0.0 ? 1.0 / counterHz : 0.0;
    ShowFrequency(kFrequencyId, counterHz, true, nullptr);
    ShowTime(kHighTimeId, (Item(kCompareHighItem).dwValue & kByteMask) * period, true, nullptr);
    ShowTime(kLowTimeId, (Item(kCompareLowItem).dwValue & kByteMask) * period, true, nullptr);

    // Without a bus clock (no clock module) the rule cannot be told; a monitor that is not
    // written keeps its reset state and does not count.
    const double busMHz = GetBusClock();
    const bool tooFast = IsSelected() && busMHz > 0.0 && dividedMHz > busMHz / 2.0;
    const std::string text =
        tooFast ? "The divided clock used to run the EWM counter must be no more than half the "
                  "frequency of the bus clock (" +
                      FrequencyText(busMHz / 2.0 * 1000000.0, true) + ")"
                : std::string();
    SetWarning(*this, kFrequencyLabelId, tooFast, kFrequencyCaption, text);
}

void CpmEWM::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->ShowControl(kUserVectorNoteId, false);
    if (InterruptRows().empty()) {
        // Without an interrupt there is no row to name or to note.
        page->ShowControls({kHeadingPlaceholderId, kIsrNameLabelId, kFirstRowPlaceholderId}, false);
        return;
    }
    if (IsProcessorGroup(*this, kFamA)) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
}

void CpmEWM::CheckWarnings() {
    CModule::CheckWarnings();
    const std::uint32_t control = Item(kControlItem).dwValue;
    // Settings that are not written never reach the monitor: nothing to warn about.
    const bool written = IsSelected();

    // EWM_in comes through the crossbar: its output needs a source.
    const int output = InputCrossbarOutput();
    const bool inputMissing = written && ((control >> kInputEnableBit) & 1u) != 0 && output != 0 &&
                              hwc::CrossbarExists(*this, kCrossbar) &&
                              !hwc::CrossbarOutputConfigured(*this, kCrossbar, output);
    SetWarning(*this, kInputEnableId, inputMissing, kInputCaption,
               inputMissing ? hwc::Format("EWM input (EWM_in) is not configured in XBAR_A ( see "
                                          "%s, output %d )",
                                          hwc::CrossbarLink(*this, kCrossbar).c_str(), output)
                            : std::string());

    // The clock source must run; without a clock module nothing says it does not.
    std::string text;
    const hwc::IClockGenerator* clock = written ? hwc::FindClockGenerator(*this) : nullptr;
    if (clock) {
        switch (Item(kClockControlItem).dwValue & kClockSourceMask) {
        case kRelaxationSource:
            if (clock->IsRelaxationOscillatorDisabled())
                text = kRelaxationWarning;
            break;
        case kCrystalSource:
            if (clock->IsCrystalOscillatorPoweredDown())
                text = kCrystalWarning;
            break;
        case kLowSpeedSource:
            if (clock->IsLowSpeedOscillatorDisabled())
                text = hwc::Format("Clock source is not available; %d kHz relaxation oscillator "
                                   "is not enabled - see OCCS.",
                                   IsProcessorGroup(*this, kFamE) ? 32 : 200);
            break;
        default:
            break;
        }
    }
    SetWarning(*this, kClockSourceLabelId, !text.empty(), kClockSourceCaption, text);
}

bool CpmEWM::IsModuleEnabled() const {
    return ((Item(kControlItem).dwValue >> kEnableBit) & 1u) != 0;
}
