#include "modules/analog/CpmPGA.h"

#include <string_view>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/timers/TimerQueries.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CNTL0_INIT", 0, DW8},
    {"CNTL1_INIT", 2, DW8},
    {"CNTL2_INIT", 0xE, DW8},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Register fields.
constexpr int kEnableBit = 0;
constexpr int kLowPowerBit = 1;
constexpr int kSampleHoldGainBit = 2;
constexpr int kDiffGainLow = 3, kDiffGainHigh = 4;
constexpr int kDseGainLow = 5, kDseGainHigh = 6;
constexpr int kTriggerModeBit = 7;
constexpr int kChargePumpLow = 0, kChargePumpHigh = 2;
constexpr int kCalibrationLow = 3, kCalibrationHigh = 4;
constexpr int kClockDivisorLow = 0, kClockDivisorHigh = 1;
constexpr int kPulsesLow = 2, kPulsesHigh = 4;
constexpr int kSpinMax = 7;

constexpr const char* kEnableCaption = "PGA Module Enabled";
constexpr const char* kTriggerModeCaption = "Trigger Mode:";
constexpr const char* kClockDivisorCaption = "Clock Divisor:";
constexpr const char* kClockLimitCaption = "should be < 8 MHz";

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// The number after "PGA_" as a "%d" conversion reads it: blanks, a sign, then digits.
bool ReadAmplifierNumber(std::string_view name, int& number) {
    constexpr std::string_view kPrefix = "PGA_";
    if (!hwc::StartsWith(name, kPrefix))
        return false;
    std::string_view rest = hwc::TrimLeft(name.substr(kPrefix.size()));
    bool negative = false;
    if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    long long value = 0;
    std::size_t digits = 0;
    for (; digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9'; ++digits) {
        // Far too large a number only has to stay above 1.
        if (value < 1000000)
            value = value * 10 + (rest[digits] - '0');
    }
    if (digits == 0)
        return false;
    number = static_cast<int>(negative ? -value : value);
    return true;
}

} // namespace

CpmPGA::CpmPGA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_enable, 0},
                     {&m_triggerMode, 0},
                     {&m_lowPower, 3},
                     {&m_sampleHoldGain, 0},
                     {&m_diffGain, 0},
                     {&m_dseGain, 0},
                     {&m_chargePump, 3},
                     {&m_calibration, 3},
                     {&m_clockDivisor, 3},
                     {&m_pulses, 3}});
}

const CDialogTemplate* CpmPGA::DialogTemplate() const {
    static const std::vector<std::string> kGains = {"1x", "2x", "3x", "4x"};
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Amplifier",
             {dlg::CheckBox(kEnableId, kEnableCaption),
              dlg::Row({dlg::Label(kTriggerModeCaption, kTriggerModeLabelId),
                        dlg::DropList(kTriggerModeId, {"Hardware (positive edge of HW trigger)",
                                                       "Software (Writing 1 to CNTL2[SWTRIG])"})}),
              dlg::CheckBox(kLowPowerId, "Low Power mode (limited performance)"),
              dlg::Row(
                  {dlg::Label("Calibration mode:"),
                   dlg::DropList(kCalibrationId, {"Mission Mode", "RESERVED", "Offset Calibration",
                                                  "Gain Calibration"})})}),
         dlg::Group(
             "Gain",
             {dlg::Row({dlg::Label("S/H Gain:"), dlg::DropList(kSampleHoldGainId, {"1x", "2x"})}),
              dlg::Row({dlg::Label("DIFF Gain:"), dlg::DropList(kDiffGainId, kGains)}),
              dlg::Row({dlg::Label("DSE Gain:"), dlg::DropList(kDseGainId, kGains)}),
              dlg::Row({dlg::Label("Total GAIN:"), dlg::ReadOnly(kTotalGainId)})}),
         dlg::Group(
             "Clock and timing",
             {dlg::Row({dlg::Label("Charge Pump Divisor:"), dlg::Edit(kChargePumpId),
                        dlg::UpDown(kChargePumpSpinId, 0, kSpinMax)}),
              dlg::Row({dlg::Label(kClockDivisorCaption, kClockDivisorLabelId),
                        dlg::DropList(kClockDivisorId, {"Input clock / 1", "Input clock / 2",
                                                        "Input clock / 4", "Input clock / 8"})}),
              dlg::Row({dlg::Label("Number of clk_gs pulses per conversion:"), dlg::Edit(kPulsesId),
                        dlg::UpDown(kPulsesSpinId, 0, kSpinMax)}),
              dlg::Row({dlg::Label("PGA Clock:", 1936), dlg::ReadOnly(kClockId),
                        dlg::Label(kClockLimitCaption, kClockLimitId)}),
              dlg::Row({dlg::Label("Sampling time:"), dlg::ReadOnly(kSamplingTimeId)}),
              dlg::Row({dlg::Label("PGA Latency:"), dlg::ReadOnly(kLatencyId)})})});
    return &page;
}

void CpmPGA::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kChargePumpSpinId, 0, kSpinMax);
    page.SetSpinRange(kPulsesSpinId, 0, kSpinMax);
    m_enable.AttachTo(page, kEnableId);
    m_triggerMode.AttachTo(page, kTriggerModeId);
    m_lowPower.AttachTo(page, kLowPowerId);
    m_sampleHoldGain.AttachTo(page, kSampleHoldGainId);
    m_diffGain.AttachTo(page, kDiffGainId);
    m_dseGain.AttachTo(page, kDseGainId);
    m_chargePump.AttachTo(page, kChargePumpId);
    m_calibration.AttachTo(page, kCalibrationId);
    m_clockDivisor.AttachTo(page, kClockDivisorId);
    m_pulses.AttachTo(page, kPulsesId);
}

void CpmPGA::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& cntl0 = Item(kCntl0Item);
    tPerCfgItem& cntl1 = Item(kCntl1Item);
    tPerCfgItem& cntl2 = Item(kCntl2Item);
    m_enable.Bind(cntl0, kEnableBit, false, "");
    m_triggerMode.Bind(cntl0, kTriggerModeBit, kTriggerModeBit, 0, "");
    m_lowPower.Bind(cntl0, kLowPowerBit, false, "");
    m_sampleHoldGain.Bind(cntl0, kSampleHoldGainBit, kSampleHoldGainBit, 0, "");
    m_diffGain.Bind(cntl0, kDiffGainLow, kDiffGainHigh, 0, "");
    m_dseGain.Bind(cntl0, kDseGainLow, kDseGainHigh, 0, "");
    m_chargePump.Bind(cntl1, kChargePumpLow, kChargePumpHigh, 0, "Charge Pump Divisor", false, 0,
                      kSpinMax, true);
    m_calibration.Bind(cntl1, kCalibrationLow, kCalibrationHigh, 0, "");
    m_clockDivisor.Bind(cntl2, kClockDivisorLow, kClockDivisorHigh, 0, "");
    m_pulses.Bind(cntl2, kPulsesLow, kPulsesHigh, 0, "Number of clk_gs pulses per conversion",
                  false, 0, kSpinMax, true);
}

int CpmPGA::AmplifierNumber(bool* readable) const {
    int number = 0;
    const bool read = ReadAmplifierNumber(InstanceName(), number);
    if (readable)
        *readable = read;
    return read ? number : 0;
}

int CpmPGA::ConverterNumber() const {
    const int n = AmplifierNumber();
    return n >= 0 && n <= 1 ? n : 0;
}

bool CpmPGA::IsEnabled() const {
    return (Item(kCntl0Item).dwValue >> kEnableBit) & 1u;
}

float CpmPGA::ClockMHz() const {
    const float input =
        hwc::SarConverterInputClock(*this, hwc::Format("ADC_%d", ConverterNumber()));
    const auto divisor = Field(Item(kCntl2Item).dwValue, kClockDivisorLow, kClockDivisorHigh);
    return input / static_cast<float>(1u << divisor);
}

int CpmPGA::TotalGain() const {
    const std::uint32_t cntl0 = Item(kCntl0Item).dwValue;
    return static_cast<int>((Field(cntl0, kDseGainLow, kDseGainHigh) + 1) *
                            (Field(cntl0, kDiffGainLow, kDiffGainHigh) + 1) *
                            (Field(cntl0, kSampleHoldGainBit, kSampleHoldGainBit) + 1));
}

void CpmPGA::Recalculate() {
    // The product follows every gain change; nothing stored depends on it.
    if (CPage* page = Page())
        page->SetControlText(kTotalGainId, hwc::Format("%dx", TotalGain()));

    const float mhz = ClockMHz();
    const double hz = static_cast<double>(mhz) * 1000000.0;
    ShowFrequency(kClockId, hz, true, "OFF");
    const auto pulses = Field(Item(kCntl2Item).dwValue, kPulsesLow, kPulsesHigh);
    // Without a converter clock neither time is known.
    const double latency = hz > 0.0 ? (18.0 * pulses + 12.0) / hz : 0.0;
    ShowTime(kLatencyId, latency, true, "???");
    const double sampling = hz > 0.0 ? 8.0 / hz : 0.0;
    ShowTime(kSamplingTimeId, sampling, true, "???");

    const bool tooFast = mhz > kMaxClockMHz;
    SetWarning(*this, kClockLimitId, tooFast,
               tooFast ? hwc::Format("max: %.3f MHz", kMaxClockMHz) : kClockLimitCaption,
               tooFast ? hwc::Format("PGA clock frequency exceeds maximum operating frequency "
                                     "(%.3f MHz)",
                                     kMaxClockMHz)
                       : std::string());
}

bool CpmPGA::TriggerWarning(int n, std::string& text) const {
    text.clear();
    const CModuleBase* pdb = FindModule(Host(), "PDB");
    const auto* block = dynamic_cast<const hwc::IDelayBlock*>(pdb);
    // Without a delay block there is nothing to check.
    if (!block)
        return false;
    const bool selected = pdb->IsSelected();
    const char trigger = static_cast<char>('A' + n);
    const bool enabled = block->IsTriggerEnabled(trigger);
    if (!selected)
        text = "PDB must be enabled ";
    if (!enabled) {
        if (!text.empty())
            text += "and ";
        text += hwc::Format("Trigger %c must be enabled ", trigger);
    }
    if (!text.empty())
        text += "in PDB when hardware trigger mode is selected.";
    return !(selected && enabled);
}

void CpmPGA::CheckWarnings() {
    CModule::CheckWarnings();
    bool readable = false;
    const int n = AmplifierNumber(&readable);
    // Only amplifiers 0 and 1 have a converter and a delay-block trigger of their own.
    if (readable && (n < 0 || n > 1))
        return;
    const bool enabled = IsEnabled();
    const auto divisor =
        static_cast<int>(Field(Item(kCntl2Item).dwValue, kClockDivisorLow, kClockDivisorHigh));

    const int adcDivisor = hwc::SarConverterDivisorField(*this, hwc::Format("ADC_%d", n), -1);
    const bool divisorWarning = enabled && adcDivisor >= 0 && adcDivisor != divisor;
    SetWarning(*this, kClockDivisorLabelId, divisorWarning, kClockDivisorCaption,
               divisorWarning ? hwc::Format("PGA_%d clock divisor (now %d) must be equal to "
                                            "ADC_%d clock divisor (now %d).",
                                            n, 1 << divisor, n, 1 << (adcDivisor & 3))
                              : std::string());

    std::string triggerText;
    const bool hardwareTrigger = ((Item(kCntl0Item).dwValue >> kTriggerModeBit) & 1u) == 0;
    const bool triggerWarning = enabled && hardwareTrigger && TriggerWarning(n, triggerText);
    SetWarning(*this, kTriggerModeLabelId, triggerWarning, kTriggerModeCaption,
               triggerWarning ? triggerText : std::string());

    SetWarning(*this, kEnableId, enabled, kEnableCaption,
               enabled ? "Please note that in your code, ADC initialization must be performed "
                         "before PGA initialization; also use PGA_TEST_STARTUP_COMPLETE command "
                         "to make sure PGA is initialized before first use."
                       : std::string());
}
