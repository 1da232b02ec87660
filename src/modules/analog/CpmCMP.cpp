#include "modules/analog/CpmCMP.h"

#include <iterator>
#include <string>

#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;
using hwc::tComparatorInput;

const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, DW16},
    {"FILT_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

constexpr int kFamB = 100;

// CTRL fields.
constexpr int kEnableBit = 0;
constexpr int kHysteresisLow = 1;
constexpr int kHysteresisHigh = 2;
constexpr int kInvertBit = 3;
constexpr int kOutputPinBit = 4;
constexpr int kOutputSelectBit = 5;
constexpr int kRisingInterruptBit = 6;
constexpr int kFallingInterruptBit = 7;
constexpr int kPlusLow = 8;
constexpr int kPlusHigh = 10;
constexpr int kMinusLow = 12;
constexpr int kMinusHigh = 14;
// FILT fields.
constexpr int kPeriodLow = 0;
constexpr int kPeriodHigh = 7;
constexpr int kCountLow = 8;
constexpr int kCountHigh = 10;

// Inputs 5 and 6 carry the DAC outputs on FamB, the only group with DACs beside the comparators.
const std::vector<tComparatorInput> kDacInputs = {{"IN0", ""},
                                                  {"IN1", ""},
                                                  {"IN2", ""},
                                                  {"IN3", ""},
                                                  {"IN4", ""},
                                                  {"IN5 (DAC_0 output)", "DAC_0"},
                                                  {"IN6 (DAC_1 output)", "DAC_1"},
                                                  {"IN7", ""}};
const std::vector<tComparatorInput> kPinInputs = {{"IN0", ""}, {"IN1", ""}, {"IN2", ""},
                                                  {"IN3", ""}, {"IN4", ""}, {"IN5", ""},
                                                  {"IN6", ""}, {"IN7", ""}};

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

} // namespace

CpmCMP::CpmCMP(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_enable, 0},
                     {&m_hysteresis, 0},
                     {&m_invert, 0},
                     {&m_outputPin, 0},
                     {&m_outputSelect, 0},
                     {&m_plusInput, 0},
                     {&m_minusInput, 0},
                     {&m_risingInterrupt, 0},
                     {&m_fallingInterrupt, 0},
                     {&m_filterCount, 0},
                     {&m_filterPeriod, 0}});
}

const CDialogTemplate* CpmCMP::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Comparator",
             {dlg::Row({dlg::CheckBox(kEnableId, "Comparator Enable"),
                        dlg::CheckBox(kInvertId, "Invert Comparator Output")}),
              dlg::Row({dlg::CheckBox(kOutputPinId, "Output Pin Enable"), dlg::Label("Output:"),
                        dlg::DropList(kOutputSelectId, {"Filtered", "Unfiltered"})}),
              dlg::Row(
                  {dlg::Label("Hysteresis:"),
                   dlg::DropList(kHysteresisId, {"Level 0", "Level 1", "Level 2", "Level 3"})})}),
         dlg::Group("Inputs", {dlg::Row({dlg::Label("Plus Input:"), dlg::DropList(kPlusInputId)}),
                               dlg::Label("", kPlusWarningId),
                               dlg::Row({dlg::Label("Minus Input:"), dlg::DropList(kMinusInputId)}),
                               dlg::Label("", kMinusWarningId)}),
         dlg::Group(
             "Input Filter",
             {dlg::Row({dlg::Label("Consecutive Samples Required to Agree:"),
                        dlg::DropList(kFilterCountId, hwc::ComparatorFilterCounts())}),
              dlg::Row({dlg::Label("Sampling Period [bus clocks]:"), dlg::Edit(kFilterPeriodId),
                        dlg::UpDown(kFilterPeriodSpinId, 0, kFilterPeriodMax)}),
              dlg::Row({dlg::Label("Filter Delay:"), dlg::ReadOnly(kFilterDelayId)})}),
         dlg::Group("Interrupts",
                    {dlg::Row({dlg::CheckBox(kRisingInterruptId, "Interrupt on Rising Edge"),
                               dlg::CheckBox(kFallingInterruptId, "Interrupt on Falling Edge")}),
                     dlg::Placeholder(kFirstHeadingPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId)})});
    return &page;
}

const std::vector<tComparatorInput>& CpmCMP::Inputs() const {
    return IsProcessorGroup(*this, kFamB) ? kDacInputs : kPinInputs;
}

void CpmCMP::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kFilterPeriodSpinId, 0, kFilterPeriodMax);
    for (int id : {kPlusInputId, kMinusInputId}) {
        if (CPageControl* list = page.FindControl(id))
            list->SetItems(hwc::ComparatorInputTexts(Inputs()));
    }
    m_enable.AttachTo(page, kEnableId);
    m_hysteresis.AttachTo(page, kHysteresisId);
    m_invert.AttachTo(page, kInvertId);
    m_outputPin.AttachTo(page, kOutputPinId);
    m_outputSelect.AttachTo(page, kOutputSelectId);
    m_plusInput.AttachTo(page, kPlusInputId);
    m_minusInput.AttachTo(page, kMinusInputId);
    m_risingInterrupt.AttachTo(page, kRisingInterruptId);
    m_fallingInterrupt.AttachTo(page, kFallingInterruptId);
    m_filterCount.AttachTo(page, kFilterCountId);
    m_filterPeriod.AttachTo(page, kFilterPeriodId);
}

void CpmCMP::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    tPerCfgItem& filt = Item(kFiltItem);
    m_enable.Bind(ctrl, kEnableBit, false, "");
    m_hysteresis.Bind(ctrl, kHysteresisLow, kHysteresisHigh, 0, "Hysteresis");
    m_invert.Bind(ctrl, kInvertBit, false, "");
    m_outputPin.Bind(ctrl, kOutputPinBit, false, "");
    m_outputSelect.Bind(ctrl, kOutputSelectBit, kOutputSelectBit, 0, "Output");
    m_plusInput.Bind(ctrl, kPlusLow, kPlusHigh, 0, "Plus Input");
    m_plusInput.SetItems({}, hwc::ComparatorInputTexts(Inputs()));
    m_minusInput.Bind(ctrl, kMinusLow, kMinusHigh, 0, "Minus Input");
    m_minusInput.SetItems({}, hwc::ComparatorInputTexts(Inputs()));
    m_risingInterrupt.Bind(ctrl, kRisingInterruptBit, false, "");
    m_fallingInterrupt.Bind(ctrl, kFallingInterruptBit, false, "");
    m_filterCount.Bind(filt, kCountLow, kCountHigh, 0, "Filter samples");
    m_filterCount.SetItems({}, hwc::ComparatorFilterCounts());
    m_filterPeriod.Bind(filt, kPeriodLow, kPeriodHigh, 0, "Filter period", false, 0,
                        kFilterPeriodMax, true);
}

double CpmCMP::FilterDelay() const {
    const std::uint32_t filt = Item(kFiltItem).dwValue;
    // The comparator filters continuously, as the high-speed one does with both modes off.
    return hwc::ComparatorFilterDelay(false, false, Field(filt, kCountLow, kCountHigh),
                                      Field(filt, kPeriodLow, kPeriodHigh),
                                      static_cast<double>(GetBusClock()) * 1000000.0);
}

void CpmCMP::Recalculate() {
    const std::uint32_t filt = Item(kFiltItem).dwValue;
    const bool filterOff =
        Field(filt, kCountLow, kCountHigh) == 0 || Field(filt, kPeriodLow, kPeriodHigh) == 0;
    // A bypassed filter adds nothing; otherwise a zero delay means there is no bus clock.
    ShowTime(kFilterDelayId, FilterDelay(), true, filterOff ? "OFF" : "???");
}

void CpmCMP::CheckWarnings() {
    CModule::CheckWarnings();
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const auto check = [&](std::uint32_t selection, int id) {
        const std::vector<tComparatorInput>& inputs = Inputs();
        std::string text;
        if (selection < inputs.size())
            text = hwc::ComparatorSourceWarning(*this, inputs[selection].source);
        SetWarning(*this, id, !text.empty(), text, text);
    };
    check(Field(ctrl, kPlusLow, kPlusHigh), kPlusWarningId);
    check(Field(ctrl, kMinusLow, kMinusHigh), kMinusWarningId);
}

bool CpmCMP::IsModuleEnabled() const {
    return (Item(kCtrlItem).dwValue >> kEnableBit) & 1u;
}
