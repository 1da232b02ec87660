#include "modules/analog/CpmHSCMP.h"

#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "modules/interrupts/InterruptQueries.h"

namespace {

using namespace hwc::RegFlag;
using hwc::tComparatorInput;

// The port control register has no function on FamA and FamC: it is kept hidden there.
const tPerCfgDef kRegisters[] = {
    {"CR0_INIT", 0, DW16}, {"CR1_INIT", 0, DW16},   {"FPR_INIT", 0, DW16},   {"SCR_INIT", 0, DW16},
    {"PCR_INIT", 0, DW16}, {"DACCR_INIT", 0, DW16}, {"MUXCR_INIT", 0, DW16},
};
constexpr int kOlderCount = 5;
constexpr int kNewerCount = 7;

constexpr int kFamC = 106;

// CR0 fields; the input selections sit in its upper byte where there is no MUXCR.
constexpr int kHysteresisLow = 0;
constexpr int kHysteresisHigh = 1;
constexpr int kFilterCountLow = 4;
constexpr int kFilterCountHigh = 6;
constexpr int kOlderPlusLow = 8;
constexpr int kOlderPlusHigh = 9;
constexpr int kOlderMinusLow = 12;
constexpr int kOlderMinusHigh = 13;
// CR1 fields.
constexpr int kEnableBit = 0;
constexpr int kOutputPinBit = 1;
constexpr int kOutputSelectBit = 2;
constexpr int kInvertBit = 3;
constexpr int kPowerModeBit = 4;
constexpr int kWindowingBit = 6;
constexpr int kSamplingBit = 7;
// SCR fields.
constexpr int kFallingInterruptBit = 3;
constexpr int kRisingInterruptBit = 4;
constexpr int kDmaBit = 6;
// DACCR and MUXCR fields.
constexpr int kDacEnableBit = 7;
constexpr int kDacValueHigh = 5;
constexpr int kFamDDacValueHigh = 7;
constexpr int kMinusLow = 0;
constexpr int kMinusHigh = 2;
constexpr int kPlusLow = 3;
constexpr int kPlusHigh = 5;

// One step of the reference DAC: 64 steps of 3.3 V, 256 on FamD.
constexpr double kStepVolts = 0.0515625;
constexpr double kStepPercent = 1.5625;
constexpr double kFineStepVolts = 0.012890625;
constexpr double kFineStepPercent = 0.390625;

constexpr const char* kFilterCountCaption = "Input Filter: Consecutive Samples Required to Agree";
constexpr const char* kFilterPeriodCaption = "Input Filter: Input Signal Sampling [timer clocks] ";

// The input lists by processor group. FamA and FamC select among four inputs in CR0, the newer
// groups among eight in MUXCR; entries naming a module take that module's output.
const std::vector<tComparatorInput> kFamAPlus = {
    {"P0 (IN0)", ""}, {"P1 (IN1)", ""}, {"P2 (IN2)", ""}, {"P3 (PGA_0 output)", "PGA_0"}};
const std::vector<tComparatorInput> kFamAMinus = {
    {"M0 (IN3)", ""}, {"M1 (IN2)", ""}, {"M2 (IN1)", ""}, {"M3 (PGA_0 output)", "PGA_0"}};
const std::vector<tComparatorInput> kFamCPlus = {
    {"P0 (IN0)", ""}, {"P1 (IN1)", ""}, {"P2 (5-bit VREFA)", "VREF_A"}, {"P3 (12-bit DAC)", "DAC"}};
const std::vector<tComparatorInput> kFamCMinus = {
    {"M0 (IN2)", ""}, {"M1 (IN3)", ""}, {"M2 (5-bit VREFB)", "VREF_B"}, {"M3 (12-bit DAC)", "DAC"}};
const std::vector<tComparatorInput> kFamEInputs = {{"IN0", ""},
                                                   {"IN1", ""},
                                                   {"IN2", ""},
                                                   {"IN3", ""},
                                                   {"IN4 (12-bit DAC)", "DAC"},
                                                   {"IN5", ""},
                                                   {"IN6", ""},
                                                   {"IN7 (6-bit DAC)", ""}};
const std::vector<tComparatorInput> kFamFInputs = {{"IN0", ""},
                                                   {"IN1", ""},
                                                   {"IN2", ""},
                                                   {"IN3", ""},
                                                   {"IN4 (12-bit DAC_A)", "DAC_A"},
                                                   {"IN5 (12-bit DAC_B)", "DAC_B"},
                                                   {"IN6", ""},
                                                   {"IN7 (6-bit DAC)", ""}};
const std::vector<tComparatorInput> kFamDInputs = {{"IN0", ""},
                                                   {"IN1", ""},
                                                   {"IN2", ""},
                                                   {"IN3", ""},
                                                   {"IN4 (12-bit DAC_A)", "DAC_A"},
                                                   {"IN5 (12-bit DAC_B)", "DAC_B"},
                                                   {"IN6", ""},
                                                   {"IN7 (8-bit DAC)", ""}};

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

bool HostIsNewer() {
    return HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamF) ||
           HostInGroup(CModule::kFamD);
}

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

using H = CpmHSCMP;

tLayoutItem ComparatorGroup() {
    return dlg::Group(
        "Comparator",
        {dlg::Row({dlg::CheckBox(H::kEnableId, "Comparator Enable"),
                   dlg::CheckBox(H::kInvertId, "Invert Comparator Output")}),
         dlg::Row({dlg::CheckBox(H::kOutputPinId, "Output Pin Enable"), dlg::Label("Output:"),
                   dlg::DropList(H::kOutputSelectId, {"Filtered", "Unfiltered"})}),
         dlg::Row({dlg::Label("Power Mode:"),
                   dlg::DropList(H::kPowerModeId, {"Low-speed", "High-speed"})}),
         dlg::Row(
             {dlg::Label("Hysteresis:"),
              dlg::DropList(H::kHysteresisId, {"Level 0", "Level 1", "Level 2", "Level 3"})})});
}

tLayoutItem InputGroup() {
    return dlg::Group("Inputs",
                      {dlg::Row({dlg::Label("Plus Input:"), dlg::DropList(H::kPlusInputId)}),
                       dlg::Label("", H::kPlusWarningId),
                       dlg::Row({dlg::Label("Minus Input:"), dlg::DropList(H::kMinusInputId)}),
                       dlg::Label("", H::kMinusWarningId)});
}

tLayoutItem FilterGroup() {
    return dlg::Group("Input Filter",
                      {dlg::Row({dlg::CheckBox(H::kWindowingId, "Enable Windowing mode"),
                                 dlg::CheckBox(H::kSamplingId, "Enable Sampling mode")}),
                       dlg::Row({dlg::Label(kFilterCountCaption),
                                 dlg::DropList(H::kFilterCountId, hwc::ComparatorFilterCounts())}),
                       dlg::Row({dlg::Label(kFilterPeriodCaption), dlg::Edit(H::kFilterPeriodId),
                                 dlg::UpDown(H::kFilterPeriodSpinId, 0, H::kFilterPeriodMax)}),
                       dlg::Row({dlg::Label("Filter Delay:"), dlg::ReadOnly(H::kFilterDelayId)})});
}

tLayoutItem DacGroup() {
    return dlg::Group("Reference DAC",
                      {dlg::CheckBox(H::kDacEnableId, "DAC Enable"),
                       dlg::Row({dlg::Label("DAC Value:"), dlg::Edit(H::kDacValueId),
                                 dlg::UpDown(H::kDacValueSpinId, 0, 255)}),
                       dlg::Row({dlg::Label("Output Voltage (3.3V):"),
                                 dlg::ReadOnly(H::kDacVoltageId), dlg::ReadOnly(H::kDacShareId)})},
                      H::kDacGroupId);
}

tLayoutItem InterruptGroup() {
    return dlg::Group(
        "Interrupts",
        {dlg::Row({dlg::CheckBox(H::kRisingInterruptId, "Interrupt on Rising Edge"),
                   dlg::CheckBox(H::kFallingInterruptId, "Interrupt on Falling Edge")}),
         dlg::CheckBox(H::kDmaId, "DMA Enable"),
         dlg::Link(H::kUserVectorNoteId, "(user vector information)"),
         dlg::Placeholder(H::kHeadingPlaceholderId),
         dlg::Row({dlg::Label("ISR Name:", H::kIsrNameLabelId),
                   dlg::Placeholder(H::kFirstRowPlaceholderId)})});
}

} // namespace

double CpmHSCMP::DacVoltage(unsigned value, bool fineSteps) {
    return (static_cast<double>(value) + 1.0) * (fineSteps ? kFineStepVolts : kStepVolts);
}

double CpmHSCMP::DacShare(unsigned value, bool fineSteps) {
    return (static_cast<double>(value) + 1.0) * (fineSteps ? kFineStepPercent : kStepPercent);
}

CpmHSCMP::CpmHSCMP(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, HostIsNewer() ? kNewerTemplateId : kTemplateId, descriptor, nullptr, 0) {
    const bool newer = HostIsNewer();
    const int count = newer ? kNewerCount : kOlderCount;
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    if (!newer)
        Item(kPcrItem).dwFlags |= DUMMYREG | NOSHOWLIST;
    AddCommentItems({{&m_enable, 0},
                     {&m_outputPin, 0},
                     {&m_invert, 0},
                     {&m_outputSelect, 0},
                     {&m_powerMode, 0},
                     {&m_hysteresis, 0},
                     {&m_plusInput, 0},
                     {&m_minusInput, 0},
                     {&m_windowing, 0},
                     {&m_sampling, 0},
                     {&m_filterCount, 0},
                     {&m_filterPeriod, 0},
                     {&m_risingInterrupt, 0},
                     {&m_fallingInterrupt, 0}});
    if (newer)
        AddCommentItems({{&m_dma, 0}, {&m_dacEnable, 0}, {&m_dacValue, 0}});
}

const CDialogTemplate* CpmHSCMP::DialogTemplate() const {
    static const CDialogTemplate older(
        kTemplateId, {ComparatorGroup(), InputGroup(), FilterGroup(), InterruptGroup()});
    static const CDialogTemplate newer(
        kNewerTemplateId,
        {ComparatorGroup(), InputGroup(), FilterGroup(), DacGroup(), InterruptGroup()});
    return TemplateId() == kNewerTemplateId ? &newer : &older;
}

bool CpmHSCMP::IsNewer() const {
    return ItemCount() == kNewerCount;
}

bool CpmHSCMP::IsFamD() const {
    return IsProcessorGroup(*this, kFamD);
}

const std::vector<tComparatorInput>& CpmHSCMP::PlusInputs() const {
    if (IsFamD())
        return kFamDInputs;
    if (IsProcessorGroup(*this, kFamF))
        return kFamFInputs;
    if (IsNewer())
        return kFamEInputs;
    return IsProcessorGroup(*this, kFamC) ? kFamCPlus : kFamAPlus;
}

const std::vector<tComparatorInput>& CpmHSCMP::MinusInputs() const {
    if (IsNewer())
        return PlusInputs();
    return IsProcessorGroup(*this, kFamC) ? kFamCMinus : kFamAMinus;
}

int CpmHSCMP::PlusSelection() const {
    if (IsNewer())
        return static_cast<int>(Field(Item(kMuxCrItem).dwValue, kPlusLow, kPlusHigh));
    return static_cast<int>(Field(Item(kCr0Item).dwValue, kOlderPlusLow, kOlderPlusHigh));
}

int CpmHSCMP::MinusSelection() const {
    if (IsNewer())
        return static_cast<int>(Field(Item(kMuxCrItem).dwValue, kMinusLow, kMinusHigh));
    return static_cast<int>(Field(Item(kCr0Item).dwValue, kOlderMinusLow, kOlderMinusHigh));
}

void CpmHSCMP::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading of their own: the plain label stands in for it.
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kFilterPeriodSpinId, 0, kFilterPeriodMax);
    if (IsNewer())
        page.SetSpinRange(kDacValueSpinId, 0, IsFamD() ? 255 : 63);
    // The input lists are the processor group's.
    if (CPageControl* list = page.FindControl(kPlusInputId))
        list->SetItems(hwc::ComparatorInputTexts(PlusInputs()));
    if (CPageControl* list = page.FindControl(kMinusInputId))
        list->SetItems(hwc::ComparatorInputTexts(MinusInputs()));

    m_enable.AttachTo(page, kEnableId);
    m_outputPin.AttachTo(page, kOutputPinId);
    m_invert.AttachTo(page, kInvertId);
    m_outputSelect.AttachTo(page, kOutputSelectId);
    m_powerMode.AttachTo(page, kPowerModeId);
    m_hysteresis.AttachTo(page, kHysteresisId);
    m_plusInput.AttachTo(page, kPlusInputId);
    m_minusInput.AttachTo(page, kMinusInputId);
    m_windowing.AttachTo(page, kWindowingId);
    m_sampling.AttachTo(page, kSamplingId);
    m_filterCount.AttachTo(page, kFilterCountId);
    m_filterPeriod.AttachTo(page, kFilterPeriodId);
    m_risingInterrupt.AttachTo(page, kRisingInterruptId);
    m_fallingInterrupt.AttachTo(page, kFallingInterruptId);
    if (!IsNewer())
        return;
    m_dma.AttachTo(page, kDmaId);
    m_dacEnable.AttachTo(page, kDacEnableId);
    m_dacValue.AttachTo(page, kDacValueId);
}

void CpmHSCMP::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& cr0 = Item(kCr0Item);
    tPerCfgItem& cr1 = Item(kCr1Item);
    tPerCfgItem& scr = Item(kScrItem);
    m_enable.Bind(cr1, kEnableBit, false, "");
    m_outputPin.Bind(cr1, kOutputPinBit, false, "");
    m_invert.Bind(cr1, kInvertBit, false, "");
    m_outputSelect.Bind(cr1, kOutputSelectBit, kOutputSelectBit, 0, "Output");
    m_powerMode.Bind(cr1, kPowerModeBit, kPowerModeBit, 0, "Power Mode");
    m_hysteresis.Bind(cr0, kHysteresisLow, kHysteresisHigh, 0, "Hysteresis");
    if (IsNewer()) {
        tPerCfgItem& mux = Item(kMuxCrItem);
        m_plusInput.Bind(mux, kPlusLow, kPlusHigh, 0, "Plus Input");
        m_minusInput.Bind(mux, kMinusLow, kMinusHigh, 0, "Minus Input");
    } else {
        m_plusInput.Bind(cr0, kOlderPlusLow, kOlderPlusHigh, 0, "Plus Input");
        m_minusInput.Bind(cr0, kOlderMinusLow, kOlderMinusHigh, 0, "Minus Input");
    }
    m_plusInput.SetItems({}, hwc::ComparatorInputTexts(PlusInputs()));
    m_minusInput.SetItems({}, hwc::ComparatorInputTexts(MinusInputs()));
    m_windowing.Bind(cr1, kWindowingBit, false, "");
    m_sampling.Bind(cr1, kSamplingBit, false, "");
    m_filterCount.Bind(cr0, kFilterCountLow, kFilterCountHigh, 0, kFilterCountCaption);
    m_filterCount.SetItems({}, hwc::ComparatorFilterCounts());
    m_filterPeriod.Bind(Item(kFprItem), 0, 7, 0, "", false, 0, kFilterPeriodMax, true);
    m_risingInterrupt.Bind(scr, kRisingInterruptBit, false, "");
    m_fallingInterrupt.Bind(scr, kFallingInterruptBit, false, "");
    if (!IsNewer())
        return;
    m_dma.Bind(scr, kDmaBit, false, "");
    tPerCfgItem& dac = Item(kDacCrItem);
    // FamD keeps the DAC enable in MUXCR, which frees DACCR for a value of eight bits.
    m_dacEnable.Bind(IsFamD() ? Item(kMuxCrItem) : dac, kDacEnableBit, false, "DAC Enable");
    const int high = IsFamD() ? kFamDDacValueHigh : kDacValueHigh;
    m_dacValue.Bind(dac, 0, high, 0, "DAC Value", false, 0, 0, true);
}

double CpmHSCMP::FilterDelay() const {
    const std::uint32_t cr1 = Item(kCr1Item).dwValue;
    return hwc::ComparatorFilterDelay(
        (cr1 >> kWindowingBit) & 1u, (cr1 >> kSamplingBit) & 1u,
        Field(Item(kCr0Item).dwValue, kFilterCountLow, kFilterCountHigh),
        Field(Item(kFprItem).dwValue, 0, 7), static_cast<double>(GetBusClock()) * 1000000.0);
}

bool CpmHSCMP::IsDacEnabled() const {
    if (!IsNewer())
        return false;
    const std::uint32_t word = Item(IsFamD() ? kMuxCrItem : kDacCrItem).dwValue;
    return (word >> kDacEnableBit) & 1u;
}

unsigned CpmHSCMP::DacValue() const {
    if (!IsNewer())
        return 0;
    return Field(Item(kDacCrItem).dwValue, 0, IsFamD() ? kFamDDacValueHigh : kDacValueHigh);
}

void CpmHSCMP::Recalculate() {
    ShowTime(kFilterDelayId, FilterDelay(), true, "???");
    if (!IsNewer())
        return;
    const bool enabled = IsDacEnabled();
    ShowTime(kDacVoltageId, enabled ? DacVoltage(DacValue(), IsFamD()) : 0.0, false, nullptr,
             "%.3f V");
    ShowTime(kDacShareId, enabled ? DacShare(DacValue(), IsFamD()) : 0.0, false, nullptr,
             "%.1f %%");
}

void CpmHSCMP::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->ShowControl(kDmaId, IsNewer());
    page->EnableControls({kDacValueId, kDacValueSpinId}, IsDacEnabled());
    page->ShowControl(kUserVectorNoteId, false);
    if (IsProcessorGroup(*this, kFamA) && !InterruptRows().empty()) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        // The comparator's interrupt may be routed through a user vector of the controller.
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
}

void CpmHSCMP::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    UpdateControlStates();
}

void CpmHSCMP::CheckWarnings() {
    CModule::CheckWarnings();
    const auto check = [&](const std::vector<tComparatorInput>& inputs, int selection, int id) {
        std::string text;
        if (selection >= 0 && static_cast<std::size_t>(selection) < inputs.size())
            text = hwc::ComparatorSourceWarning(*this,
                                                inputs[static_cast<std::size_t>(selection)].source);
        SetWarning(*this, id, !text.empty(), text, text);
    };
    check(PlusInputs(), PlusSelection(), kPlusWarningId);
    check(MinusInputs(), MinusSelection(), kMinusWarningId);
}

bool CpmHSCMP::IsModuleEnabled() const {
    return (Item(kCr1Item).dwValue >> kEnableBit) & 1u;
}
