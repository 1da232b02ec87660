#include "modules/analog/CpmADC.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "model/ModuleSubDlg.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/system/DmaSettings.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

// Processor groups the layouts are chosen by (beside those CModule names).
constexpr int kFamJ = 96;
constexpr int kFamB = 100;
constexpr int kFamC = 106;
// FamE processors whose converter runs up to 20 MHz.
constexpr int kFastFamEEntries[] = {39, 40, 41, 42, 47, 50, 51, 52, 53};

// One table for all layouts: the older ones take the entries without ADLST3-4, the newer one
// every entry. Limits and offsets hold a 12-bit value left-aligned at bits 3..14.
std::vector<tPerCfgDef> RegisterTable(bool newer) {
    static const char* const kSampleNames[] = {"0", "1", "2",  "3",  "4",  "5",  "6",  "7",
                                               "8", "9", "10", "11", "12", "13", "14", "15"};
    static std::vector<std::string> names; // keeps the built names alive for the tables
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    if (names.empty()) {
        for (const char* kind : {"ADLLMT", "ADHLMT", "ADOFS"})
            for (const char* sample : kSampleNames)
                names.push_back(std::string(kind) + sample + "_INIT");
    }
    const int samples = newer ? CpmADC::kNewerSamples : CpmADC::kOlderSamples;
    std::vector<tPerCfgDef> table = {
        {"ADCR1_INIT", 0x5005, DW16 | NODEFAULT},
        {"ADCR2_INIT", 0x0002, DW16},
        {"ADZCC_INIT", 0, DW16},
        {"ADLST1_INIT", 0x3210, DW16},
        {"ADLST2_INIT", 0x7654, DW16},
    };
    if (newer) {
        table.push_back({"ADLST3_INIT", 0xBA98, DW16});
        table.push_back({"ADLST4_INIT", 0xFEDC, DW16});
    }
    table.push_back({"ADSDIS_INIT", 0, DW16});
    for (int kind = 0; kind < 3; ++kind) {
        const std::uint32_t fallback = kind == 1 ? 0x7FF8 : 0; // high limits start at the top
        for (int sample = 0; sample < samples; ++sample)
            table.push_back({names[kind * CpmADC::kMaxSamples + sample].c_str(), fallback, DW16});
    }
    if (newer) {
        table.push_back({"ADPWR_INIT", 0x01A7, DW16});
        table.push_back({"ADCAL_INIT", 0, DW16});
        // B starts at the divisor A starts at.
        table.push_back({"ADPWR2_INIT", 0x0200, DW16});
        table.push_back({"ADCTRL3_INIT", 0, DW16});
        table.push_back({"ADSCHLMTEN_INIT", 0, DW16});
    }
    return table;
}

// ADCR1 fields.
constexpr int kScanModeLow = 0;
constexpr int kScanModeHigh = 2;
constexpr int kFirstDifferentialBit = 4;
constexpr int kHighLimitIntBit = 8;
constexpr int kLowLimitIntBit = 9;
constexpr int kZeroCrossingIntBit = 10;
constexpr int kEndOfScanIntBit = 11;
constexpr int kSyncBit = 12;
constexpr int kStopBit = 14;
// ADCR2: the divisor (four bits on the older layouts, six on the newer one) and, on the newer
// layout, sub-converter B converting with A.
constexpr int kOlderDivisorHigh = 3;
constexpr int kNewerDivisorHigh = 5;
constexpr int kSimultaneousBit = 6;
// ADPWR: power-down of A, B and the reference, automatic power-down, power-up delay.
constexpr int kPowerDownABit = 0;
constexpr int kPowerDownBBit = 1;
constexpr int kPowerDownRefBit = 2;
constexpr int kAutoPowerDownBit = 3;
constexpr int kPowerUpDelayLow = 4;
constexpr int kPowerUpDelayHigh = 9;
// ADPWR2: power modes of A and B, the divisor of B.
constexpr int kPowerModeALow = 0;
constexpr int kPowerModeBLow = 2;
constexpr int kDivisorBLow = 8;
constexpr int kDivisorBHigh = 13;
// ADCTRL3: sample time settings of A and B.
constexpr int kSampleTimeALow = 0;
constexpr int kSampleTimeBLow = 3;
// Channel field of a sample in its list register: a nibble per sample, three bits used on the
// older converters (eight inputs).
constexpr int kSamplesPerList = 4;
// Sample time setting where the processor has no field for it.
constexpr int kFixedSampleTime = 2;
// Sample limit and offset value field.
constexpr int kValueLow = 3;
constexpr int kValueHigh = 14;
constexpr std::uint32_t kValueMax = 4095;

// The crossbars that can feed the converter's sync input, by processor group, and the output
// that does.
constexpr const char* kCrossbars[] = {"XBAR_A", "XBAR"};
constexpr const char* kSyncSignal = "ADCA_TRIG";
constexpr int kMaxCrossbarOutputs = 256;

constexpr unsigned kOlderSampleTemplateId = 2096;
constexpr unsigned kNewerSampleTemplateId = 2097;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// A number with up to three decimals, trailing zeros and point removed.
std::string Trimmed(double value) {
    std::string text = Format("%.3f", value);
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

// The crossbar output whose label names the signal, -1 when the crossbar has none.
int CrossbarOutputOf(const CModuleBase& asker, const char* crossbar, const std::string& signal) {
    const std::string ending = " " + signal + ".";
    for (int output = 0; output < kMaxCrossbarOutputs; ++output) {
        if (!hwc::CrossbarOutputField(asker, crossbar, output))
            break;
        const std::string label = hwc::CrossbarOutputLabel(asker, crossbar, output);
        if (label.size() >= ending.size() &&
            label.compare(label.size() - ending.size(), ending.size(), ending) == 0)
            return output;
    }
    return -1;
}

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

CpmADC::ELayout LayoutOfHost() {
    if (HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamF) || HostInGroup(CModule::kFamD))
        return CpmADC::ELayout::Newer;
    if (HostInGroup(CModule::kFamG))
        return CpmADC::ELayout::FamG;
    if (HostInGroup(kFamB))
        return CpmADC::ELayout::FamB;
    if (HostInGroup(kFamJ))
        return CpmADC::ELayout::FamJ;
    if (HostInGroup(kFamC))
        return CpmADC::ELayout::FamC;
    return CpmADC::ELayout::Default;
}

unsigned TemplateIdOf(CpmADC::ELayout layout) {
    switch (layout) {
    case CpmADC::ELayout::FamG:
        return CpmADC::kFamGTemplateId;
    case CpmADC::ELayout::FamJ:
        return CpmADC::kFamJTemplateId;
    case CpmADC::ELayout::FamB:
        return CpmADC::kFamBTemplateId;
    case CpmADC::ELayout::FamC:
        return CpmADC::kFamCTemplateId;
    case CpmADC::ELayout::Newer:
        return CpmADC::kNewerTemplateId;
    case CpmADC::ELayout::Default:
        break;
    }
    return CpmADC::kTemplateId;
}

// The older layouts' clock limit in MHz: 16/3 in single precision rounded up on FamJ.
float OlderMaximum(CpmADC::ELayout layout) {
    if (layout == CpmADC::ELayout::FamB)
        return 8.0f;
    if (layout == CpmADC::ELayout::FamJ)
        return 5.33334f;
    return 5.0f;
}

std::string OlderLimitCaption(CpmADC::ELayout layout) {
    return "should be < " + Trimmed(OlderMaximum(layout)) + " MHz";
}

std::vector<std::string> DivisorEntries(bool newer) {
    std::vector<std::string> entries;
    if (newer) {
        // Index 0 divides as index 1 does.
        entries.push_back("IP/2");
        for (int divisor = 2; divisor <= 64; ++divisor)
            entries.push_back(Format("IP/%d", divisor));
    } else {
        for (int index = 0; index < 16; ++index)
            entries.push_back(Format("IP/%d", 2 * (index + 1)));
    }
    return entries;
}

std::vector<std::string> ChannelEntries(int channels) {
    std::vector<std::string> entries;
    for (int channel = 0; channel < channels; ++channel)
        entries.push_back(
            Format("AN%c%d", channel < channels / 2 ? 'A' : 'B', channel % (channels / 2)));
    return entries;
}

std::vector<std::string> PowerModeEntries(const CpmADC::tClockLimits& limits) {
    std::vector<std::string> entries;
    for (int mode = 0; mode < limits.modes; ++mode)
        entries.push_back(Format("%d: up to %s MHz", mode, Trimmed(limits.byMode[mode]).c_str()));
    return entries;
}

// One sample's row: its channel, enable and zero-crossing detection, then its limits and
// offset.
std::unique_ptr<CDialogTemplate> MakeSampleTemplate(bool newer) {
    tLayoutItem block = dlg::Column({});
    block.children.push_back(
        hwc::NaturalRow({dlg::DropList(CpmADC::kChannelLocalId, ChannelEntries(newer ? 16 : 8)),
                         dlg::CheckBox(CpmADC::kEnabledLocalId, "Enabled"),
                         dlg::DropList(CpmADC::kZeroCrossingLocalId,
                                       {"No zero crossing", "Positive to negative",
                                        "Negative to positive", "Any sign change"})}));
    block.children.push_back(
        hwc::NaturalRow({dlg::Label("Low limit:"), dlg::Edit(CpmADC::kLowLimitLocalId),
                         dlg::Label("High:"), dlg::Edit(CpmADC::kHighLimitLocalId),
                         dlg::Label("Offset:"), dlg::Edit(CpmADC::kOffsetLocalId)}));
    return std::make_unique<CDialogTemplate>(newer ? kNewerSampleTemplateId
                                                   : kOlderSampleTemplateId,
                                             std::initializer_list<tLayoutItem>{block});
}

const CDialogTemplate& SampleTemplate(bool newer) {
    static const std::unique_ptr<CDialogTemplate> older = MakeSampleTemplate(false);
    static const std::unique_ptr<CDialogTemplate> later = MakeSampleTemplate(true);
    return newer ? *later : *older;
}

tLayoutItem ClockGroup(CpmADC::ELayout layout, bool newer) {
    tLayoutItem group = dlg::Group("Clock", {});
    group.children.push_back(
        dlg::Row({dlg::Label(newer ? "Divisor A:" : "Divisor:"),
                  dlg::DropList(CpmADC::kDivisorId, DivisorEntries(newer)),
                  dlg::Label(newer ? "Clock A:" : "ADC clock:"), dlg::ReadOnly(CpmADC::kClockId)}));
    if (!newer) {
        group.children.push_back(dlg::Label(OlderLimitCaption(layout), CpmADC::kClockWarningId));
        return group;
    }
    group.children.push_back(dlg::Label("", CpmADC::kClockAWarningId));
    group.children.push_back(dlg::Label("", CpmADC::kModeAWarningId));
    group.children.push_back(dlg::Row({dlg::Label("Divisor B:"),
                                       dlg::DropList(CpmADC::kDivisorBId, DivisorEntries(true)),
                                       dlg::Label("Clock B:"), dlg::ReadOnly(CpmADC::kClockBId)}));
    group.children.push_back(dlg::Label("", CpmADC::kClockBWarningId));
    group.children.push_back(dlg::Label("", CpmADC::kModeBWarningId));
    return group;
}

tLayoutItem ScanGroup(bool newer) {
    tLayoutItem group = dlg::Group("Scan", {});
    group.children.push_back(dlg::Row(
        {dlg::Label("Scan mode:"),
         dlg::DropList(CpmADC::kScanModeId,
                       {"Once sequential", "Once simultaneous", "Loop sequential",
                        "Loop simultaneous", "Triggered sequential", "Triggered simultaneous"})}));
    group.children.push_back(dlg::Row({dlg::CheckBox(CpmADC::kSyncId, "Start on sync input"),
                                       dlg::CheckBox(CpmADC::kStopId, "Stop")}));
    group.children.push_back(dlg::Label("", CpmADC::kSyncWarningId));
    if (newer) {
        group.children.push_back(dlg::CheckBox(CpmADC::kSimultaneousId, "ANB simultaneous to ANA"));
        std::vector<std::string> times;
        for (int setting = 0; setting < 8; ++setting)
            times.push_back(Format("%d", setting));
        group.children.push_back(
            dlg::Row({dlg::Label("Sample time A:"), dlg::DropList(CpmADC::kSampleTimeAId, times),
                      dlg::Label("B:"), dlg::DropList(CpmADC::kSampleTimeBId, times)}));
    }
    group.children.push_back(dlg::Row({dlg::Label("Scan time A:"), dlg::ReadOnly(CpmADC::kTimeId),
                                       dlg::ReadOnly(CpmADC::kCyclesId)}));
    group.children.push_back(dlg::Row({dlg::Label("Scan time B:"), dlg::ReadOnly(CpmADC::kTimeBId),
                                       dlg::ReadOnly(CpmADC::kCyclesBId)}));
    return group;
}

tLayoutItem InterruptsAndInputsGroup() {
    return dlg::Group(
        "Interrupts and inputs",
        {dlg::Row({dlg::CheckBox(CpmADC::kEndOfScanIntId, "End of scan interrupt"),
                   dlg::CheckBox(CpmADC::kZeroCrossingIntId, "Zero crossing interrupt")}),
         dlg::Row({dlg::CheckBox(CpmADC::kLowLimitIntId, "Low limit interrupt"),
                   dlg::CheckBox(CpmADC::kHighLimitIntId, "High limit interrupt")}),
         dlg::Row({dlg::CheckBox(CpmADC::kFirstDifferentialId, "ANA0-1 differential"),
                   dlg::CheckBox(CpmADC::kFirstDifferentialId + 1, "ANA2-3 differential")}),
         dlg::Row({dlg::CheckBox(CpmADC::kFirstDifferentialId + 2, "ANB0-1 differential"),
                   dlg::CheckBox(CpmADC::kFirstDifferentialId + 3, "ANB2-3 differential")})});
}

tLayoutItem SamplesGroup(bool newer) {
    tLayoutItem group = dlg::Group("Samples", {});
    const int samples = newer ? CpmADC::kNewerSamples : CpmADC::kOlderSamples;
    for (int sample = 0; sample < samples; ++sample) {
        group.children.push_back(dlg::Label(Format("Sample %d:", sample)));
        group.children.push_back(dlg::Placeholder(CpmADC::kSamplePageBase + sample));
    }
    return group;
}

tLayoutItem PowerGroup() {
    return dlg::Group(
        "Power", {dlg::Row({dlg::CheckBox(CpmADC::kPowerDownAId, "Power down A"),
                            dlg::CheckBox(CpmADC::kPowerDownBId, "Power down B")}),
                  dlg::Row({dlg::CheckBox(CpmADC::kPowerDownRefId, "Power down reference"),
                            dlg::CheckBox(CpmADC::kAutoPowerDownId, "Automatic power down")}),
                  dlg::Row({dlg::Label("Power-up delay (clocks x 16):"),
                            dlg::Edit(CpmADC::kPowerUpDelayId)}),
                  dlg::Row({dlg::Label("Power mode A:"), dlg::DropList(CpmADC::kPowerModeAId)}),
                  dlg::Row({dlg::Label("Power mode B:"), dlg::DropList(CpmADC::kPowerModeBId)})});
}

std::unique_ptr<CDialogTemplate> MakeTemplate(CpmADC::ELayout layout) {
    const bool newer = layout == CpmADC::ELayout::Newer;
    tLayoutItem page = dlg::Column({});
    page.children.push_back(ClockGroup(layout, newer));
    page.children.push_back(ScanGroup(newer));
    page.children.push_back(InterruptsAndInputsGroup());
    page.children.push_back(SamplesGroup(newer));
    if (newer)
        page.children.push_back(PowerGroup());
    page.children.push_back(dlg::Placeholder(CpmADC::kHeadingPlaceholderId));
    for (int row = 0; row < 3; ++row)
        page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId + row));
    return std::make_unique<CDialogTemplate>(TemplateIdOf(layout),
                                             std::initializer_list<tLayoutItem>{page});
}

// One template per layout, kept for the life of the program as pages refer to it.
const CDialogTemplate& PageTemplate(CpmADC::ELayout layout) {
    static std::mutex mutex;
    static std::map<CpmADC::ELayout, std::unique_ptr<CDialogTemplate>> templates;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& slot = templates[layout];
    if (!slot)
        slot = MakeTemplate(layout);
    return *slot;
}

} // namespace

float CpmADC::tClockLimits::ModeLimit(int mode) const {
    return byMode[static_cast<std::size_t>(std::clamp(mode, 0, modes - 1))];
}

CpmADC::CpmADC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, TemplateIdOf(LayoutOfHost()), descriptor, nullptr, 0),
      m_layout(LayoutOfHost()) {
    const std::vector<tPerCfgDef> table = RegisterTable(IsNewer());
    const int count = static_cast<int>(table.size());
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table.data(), true);

    AddCommentItems({{&m_divisor, 0}});
    if (IsNewer())
        AddCommentItems({{&m_divisorB, 0}});
    AddCommentItems({{&m_scanMode, 0},
                     {&m_sync, 0},
                     {&m_endOfScanInt, 0},
                     {&m_zeroCrossingInt, 0},
                     {&m_lowLimitInt, 0},
                     {&m_highLimitInt, 0}});
    if (IsNewer())
        AddCommentItems({{&m_simultaneous, 0}, {&m_powerDownA, 0}, {&m_powerDownB, 0}});
}

const CDialogTemplate* CpmADC::DialogTemplate() const {
    return &PageTemplate(m_layout);
}

void CpmADC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control1 = Item(kControl1Item);
    m_divisor.Bind(Item(kControl2Item), 0, IsNewer() ? kNewerDivisorHigh : kOlderDivisorHigh, 0,
                   IsNewer() ? "Divisor A" : "Divisor");
    m_scanMode.Bind(control1, kScanModeLow, kScanModeHigh, 0, "Scan mode");
    m_sync.Bind(control1, kSyncBit, false, "Start on sync input");
    m_stop.Bind(control1, kStopBit, false, "Stop");
    m_endOfScanInt.Bind(control1, kEndOfScanIntBit, false, "End of scan interrupt");
    m_zeroCrossingInt.Bind(control1, kZeroCrossingIntBit, false, "Zero crossing interrupt");
    m_lowLimitInt.Bind(control1, kLowLimitIntBit, false, "Low limit interrupt");
    m_highLimitInt.Bind(control1, kHighLimitIntBit, false, "High limit interrupt");
    static const char* const kPairs[] = {"ANA0-1", "ANA2-3", "ANB0-1", "ANB2-3"};
    for (int pair = 0; pair < 4; ++pair)
        m_differential[pair].Bind(control1, kFirstDifferentialBit + pair, false,
                                  Format("%s differential", kPairs[pair]).c_str());

    const int channelBits = IsNewer() ? 4 : 3;
    for (int sample = 0; sample < SampleCount(); ++sample) {
        const int low = 4 * (sample % kSamplesPerList);
        m_channel[sample].Bind(Item(kFirstListItem + sample / kSamplesPerList), low,
                               low + channelBits - 1, 0,
                               Format("Sample %d channel", sample).c_str());
        m_enabled[sample].Bind(Item(DisableItem()), sample, true,
                               Format("Sample %d enabled", sample).c_str());
        m_lowLimit[sample].Bind(Item(LowLimitItem(sample)), kValueLow, kValueHigh, 0,
                                Format("Sample %d low limit", sample).c_str(), false, 0, kValueMax,
                                true);
        m_highLimit[sample].Bind(Item(HighLimitItem(sample)), kValueLow, kValueHigh, 0,
                                 Format("Sample %d high limit", sample).c_str(), false, 0,
                                 kValueMax, true);
        m_offset[sample].Bind(Item(OffsetItem(sample)), kValueLow, kValueHigh, 0,
                              Format("Sample %d offset", sample).c_str(), false, 0, kValueMax,
                              true);
    }
    for (int sample = 0; sample < kZeroCrossingSamples; ++sample)
        m_zeroCrossing[sample].Bind(Item(kZeroCrossingItem), 2 * sample, 2 * sample + 1, 0,
                                    Format("Sample %d zero crossing", sample).c_str());
    if (!IsNewer())
        return;
    m_divisorB.Bind(Item(Power2Item()), kDivisorBLow, kDivisorBHigh, 0, "Divisor B");
    m_simultaneous.Bind(Item(kControl2Item), kSimultaneousBit, false, "ANB simultaneous to ANA");
    tPerCfgItem& power = Item(PowerItem());
    m_powerDownA.Bind(power, kPowerDownABit, false, "Power down A");
    m_powerDownB.Bind(power, kPowerDownBBit, false, "Power down B");
    m_powerDownRef.Bind(power, kPowerDownRefBit, false, "Power down reference");
    m_autoPowerDown.Bind(power, kAutoPowerDownBit, false, "Automatic power down");
    m_powerUpDelay.Bind(power, kPowerUpDelayLow, kPowerUpDelayHigh, 0, "Power-up delay", false, 0,
                        0, true);
    m_powerModeA.Bind(Item(Power2Item()), kPowerModeALow, kPowerModeALow + 1, 0, "Power mode A");
    m_powerModeB.Bind(Item(Power2Item()), kPowerModeBLow, kPowerModeBLow + 1, 0, "Power mode B");
    m_sampleTimeA.Bind(Item(Control3Item()), kSampleTimeALow, kSampleTimeALow + 2, 0,
                       "Sample time A");
    m_sampleTimeB.Bind(Item(Control3Item()), kSampleTimeBLow, kSampleTimeBLow + 2, 0,
                       "Sample time B");
}

void CpmADC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_divisor.AttachTo(page, kDivisorId);
    m_scanMode.AttachTo(page, kScanModeId);
    m_sync.AttachTo(page, kSyncId);
    m_stop.AttachTo(page, kStopId);
    m_endOfScanInt.AttachTo(page, kEndOfScanIntId);
    m_zeroCrossingInt.AttachTo(page, kZeroCrossingIntId);
    m_lowLimitInt.AttachTo(page, kLowLimitIntId);
    m_highLimitInt.AttachTo(page, kHighLimitIntId);
    for (int pair = 0; pair < 4; ++pair)
        m_differential[pair].AttachTo(page, kFirstDifferentialId + pair);
    for (int sample = 0; sample < SampleCount(); ++sample) {
        auto row = std::make_unique<CModuleSubDlg>(SampleTemplate(IsNewer()), &page);
        row->SetVisible(true);
        if (!page.InsertSubPage(kSamplePageBase + sample, std::move(row)))
            continue;
        m_channel[sample].AttachTo(page, SampleControlId(sample, kChannelLocalId));
        m_enabled[sample].AttachTo(page, SampleControlId(sample, kEnabledLocalId));
        m_lowLimit[sample].AttachTo(page, SampleControlId(sample, kLowLimitLocalId));
        m_highLimit[sample].AttachTo(page, SampleControlId(sample, kHighLimitLocalId));
        m_offset[sample].AttachTo(page, SampleControlId(sample, kOffsetLocalId));
        if (sample < kZeroCrossingSamples)
            m_zeroCrossing[sample].AttachTo(page, SampleControlId(sample, kZeroCrossingLocalId));
        else
            page.ShowControl(SampleControlId(sample, kZeroCrossingLocalId), false);
    }
    if (!IsNewer())
        return;
    m_divisorB.AttachTo(page, kDivisorBId);
    m_simultaneous.AttachTo(page, kSimultaneousId);
    m_powerDownA.AttachTo(page, kPowerDownAId);
    m_powerDownB.AttachTo(page, kPowerDownBId);
    m_powerDownRef.AttachTo(page, kPowerDownRefId);
    m_autoPowerDown.AttachTo(page, kAutoPowerDownId);
    m_powerUpDelay.AttachTo(page, kPowerUpDelayId);
    const std::vector<std::string> modes = PowerModeEntries(NewerLimits());
    for (int id : {kPowerModeAId, kPowerModeBId}) {
        if (CPageControl* list = page.FindControl(id))
            list->SetItems(modes);
    }
    m_powerModeA.AttachTo(page, kPowerModeAId);
    m_powerModeB.AttachTo(page, kPowerModeBId);
    m_sampleTimeA.AttachTo(page, kSampleTimeAId);
    m_sampleTimeB.AttachTo(page, kSampleTimeBId);
}

// --- Settings as the computations read them ---

int CpmADC::ScanMode() const {
    return static_cast<int>(Field(RegisterValue(kControl1Item), kScanModeLow, kScanModeHigh));
}

bool CpmADC::IsSampleEnabled(int sample) const {
    if (sample < 0 || sample >= SampleCount())
        return false;
    return ((RegisterValue(DisableItem()) >> sample) & 1u) == 0;
}

int CpmADC::SampleChannel(int sample) const {
    if (sample < 0 || sample >= SampleCount())
        return -1;
    const std::uint32_t list = RegisterValue(kFirstListItem + sample / kSamplesPerList);
    const int low = 4 * (sample % kSamplesPerList);
    return static_cast<int>(Field(list, low, low + (IsNewer() ? 3 : 2)));
}

int CpmADC::DivisorIndex(char converter) const {
    if (IsNewer() && converter == 'B')
        return static_cast<int>(Field(RegisterValue(Power2Item()), kDivisorBLow, kDivisorBHigh));
    return static_cast<int>(
        Field(RegisterValue(kControl2Item), 0, IsNewer() ? kNewerDivisorHigh : kOlderDivisorHigh));
}

float CpmADC::ClockMHz(char converter) const {
    const float bus = GetBusClock();
    if (bus <= 0.0f)
        return 0.0f;
    const int index = DivisorIndex(converter);
    if (!IsNewer())
        return bus / static_cast<float>(index + 1) / 2.0f;
    return bus / static_cast<float>(std::max(index, 1) + 1);
}

float CpmADC::OlderMaximumMHz() const {
    return OlderMaximum(m_layout);
}

CpmADC::tClockLimits CpmADC::NewerLimits() const {
    tClockLimits limits;
    if (IsProcessorGroup(*this, kFamE)) {
        bool fast = false;
        for (int entry : kFastFamEEntries)
            fast = fast || IsProcessorGroup(*this, entry);
        limits.maximum = fast ? 20.0f : 10.0f;
        limits.byMode = {5.0f, 10.0f, 15.0f, 20.0f};
        limits.modes = 4;
    } else if (IsProcessorGroup(*this, kFamF)) {
        limits.maximum = 10.0f;
        limits.byMode = {10.0f};
        limits.modes = 1;
    } else if (IsProcessorGroup(*this, kFamD)) {
        limits.maximum = 25.0f;
        limits.byMode = {25.0f};
        limits.modes = 1;
    } else {
        limits.maximum = 15.0f;
        limits.byMode = {5.0f, 12.0f, 15.0f};
        limits.modes = 3;
    }
    return limits;
}

int CpmADC::PowerMode(char converter) const {
    if (!IsNewer() || IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD))
        return 0;
    const int low = converter == 'B' ? kPowerModeBLow : kPowerModeALow;
    const int mode = static_cast<int>(Field(RegisterValue(Power2Item()), low, low + 1));
    return std::min(mode, NewerLimits().modes - 1);
}

int CpmADC::SampleTime(char converter) const {
    if (!IsNewer() || !IsProcessorGroup(*this, kFamE))
        return kFixedSampleTime;
    const bool withA =
        converter == 'B' && ((RegisterValue(kControl2Item) >> kSimultaneousBit) & 1u);
    const int low = converter == 'B' && !withA ? kSampleTimeBLow : kSampleTimeALow;
    return static_cast<int>(Field(RegisterValue(Control3Item()), low, low + 2));
}

int CpmADC::ScanSamples(char converter) const {
    const bool b = converter == 'B';
    if (!IsSimultaneousScan()) {
        // A sequential scan runs on A up to the first disabled sample.
        if (b)
            return 0;
        int count = 0;
        while (count < SampleCount() && IsSampleEnabled(count))
            ++count;
        return count;
    }
    int count = 0;
    for (int sample = 0; sample < SampleCount(); ++sample) {
        // The newer converters take the first half on A; the older ones alternate by four.
        const bool onB = IsNewer() ? sample >= kNewerSamples / 2 : (sample / 4) % 2 == 1;
        if (onB == b && IsSampleEnabled(sample))
            ++count;
    }
    return count;
}

double CpmADC::ScanCycles(char converter) const {
    const int samples = ScanSamples(converter);
    if (samples == 0)
        return 0.0;
    const double s = SampleTime(converter);
    const bool longer = IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD);
    const double first = s + (longer ? 8.0 : 6.5);
    const double next = s + (longer ? 6.0 : 4.0);
    return next * (samples - 1) + first;
}

double CpmADC::ScanSeconds(char converter) const {
    const double cycles = ScanCycles(converter);
    const double clock = ClockMHz(converter);
    // No clock module or no sample: no time, rather than a division by zero.
    if (cycles <= 0.0 || clock <= 0.0)
        return 0.0;
    return cycles / (clock * 1000000.0);
}

// --- Page ---

void CpmADC::Recalculate() {
    if (!Page())
        return;
    ShowFrequency(kClockId, static_cast<double>(ClockMHz('A')) * 1000000.0, true, "??");
    if (IsNewer())
        ShowFrequency(kClockBId, static_cast<double>(ClockMHz('B')) * 1000000.0, true, "??");
    const bool clock = GetBusClock() > 0.0f;
    for (char converter : {'A', 'B'}) {
        const bool a = converter == 'A';
        const double cycles = ScanCycles(converter);
        // Without samples the scan takes no time; without a clock its time is unknown.
        ShowTime(a ? kTimeId : kTimeBId, ScanSeconds(converter), true,
                 cycles > 0.0 && !clock ? "??" : "OFF");
        Page()->SetControlText(a ? kCyclesId : kCyclesBId,
                               Trimmed(cycles) + (cycles == 1.0 ? " cycle" : " cycles"));
    }
}

void CpmADC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    if (!IsNewer())
        return;
    // The power mode chooses a clock limit on FamE only; the sample times exist there only.
    const bool famE = IsProcessorGroup(*this, kFamE);
    for (int id : {kPowerModeAId, kPowerModeBId, kSampleTimeAId, kSampleTimeBId}) {
        CPageControl* list = page->FindControl(id);
        if (!list)
            continue;
        list->Show(famE);
        if (CPageControl* label = page->ControlBefore(*list))
            label->Show(famE);
    }
    // B converting with A takes A's sample time.
    page->EnableControl(kSampleTimeBId, m_simultaneous.IsChecked() == 0);
}

// --- Warnings ---

void CpmADC::CheckWarnings() {
    CModule::CheckWarnings();
    if (IsNewer())
        CheckNewerClocks();
    else
        CheckOlderClock();
    CheckSyncSource();
}

void CpmADC::CheckSyncSource() {
    std::string text;
    // A scan started by the sync input waits for a crossbar output that has a source.
    if (IsSelected() && ((RegisterValue(kControl1Item) >> kSyncBit) & 1u)) {
        for (const char* crossbar : kCrossbars) {
            if (!hwc::CrossbarExists(*this, crossbar))
                continue;
            const int output = CrossbarOutputOf(*this, crossbar, kSyncSignal);
            if (output >= 0 && !hwc::CrossbarOutputConfigured(*this, crossbar, output))
                text = Format("%s is not configured and starts the scans through the sync "
                              "input. (%s)",
                              hwc::CrossbarOutputLabel(*this, crossbar, output).c_str(),
                              hwc::CrossbarLink(*this, crossbar).c_str());
            break;
        }
    }
    SetWarning(*this, kSyncWarningId, !text.empty(), text, text);
}

void CpmADC::CheckOlderClock() {
    const float maximum = OlderMaximumMHz();
    // Settings that are not written never reach the converter.
    const bool active = IsSelected() && ClockMHz('A') > maximum;
    SetWarning(*this, kClockWarningId, active,
               active ? Format("max: %.3f MHz", maximum) : OlderLimitCaption(m_layout),
               active ? Format("ADC clock frequency exceeds maximum operating frequency (%.3f MHz)",
                               maximum)
                      : std::string());
}

void CpmADC::CheckNewerClocks() {
    const tClockLimits limits = NewerLimits();
    const bool written = IsSelected();
    const bool bWithA = ((RegisterValue(kControl2Item) >> kSimultaneousBit) & 1u) != 0;
    for (char converter : {'A', 'B'}) {
        const bool a = converter == 'A';
        const float clock = ClockMHz(converter);
        const bool above = clock > limits.maximum;
        bool overMaximum = written && above;
        if (!a)
            overMaximum = overMaximum && IsSimultaneousScan() && !bWithA;
        const float modeLimit = limits.ModeLimit(PowerMode(converter));
        const bool overMode = written && !above && clock > modeLimit;
        SetWarning(*this, a ? kClockAWarningId : kClockBWarningId, overMaximum,
                   overMaximum ? Format("max: %.3f MHz", limits.maximum) : std::string(),
                   overMaximum ? Format("ADC%c clock frequency exceeds maximum operating "
                                        "frequency (%.3f MHz)",
                                        converter, limits.maximum)
                               : std::string());
        SetWarning(*this, a ? kModeAWarningId : kModeBWarningId, overMode,
                   overMode
                       ? Format("max in power mode %d: %.3f MHz", PowerMode(converter), modeLimit)
                       : std::string(),
                   overMode ? Format("ADC%c clock frequency exceeds maximum operating frequency "
                                     "in selected power mode",
                                     converter)
                            : std::string());
    }
}

// --- Answers to other modules ---

bool CpmADC::IsPinFunctionUsed(const std::string& signal) const {
    const int half = SampleCount() / 2;
    for (int sample = 0; sample < SampleCount(); ++sample) {
        if (!IsSampleEnabled(sample))
            continue;
        const int channel = SampleChannel(sample);
        const std::string name = Format("AN%c%d", channel < half ? 'A' : 'B', channel % half);
        if (hwc::EqualsNoCase(name, signal))
            return true;
    }
    return false;
}

bool CpmADC::IsConverterPowered(char converter) const {
    if (!IsNewer())
        return true;
    const int bit = converter == 'B' ? kPowerDownBBit : kPowerDownABit;
    return ((RegisterValue(PowerItem()) >> bit) & 1u) == 0;
}
