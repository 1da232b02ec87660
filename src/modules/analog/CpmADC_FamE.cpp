#include "modules/analog/CpmADC_FamE.h"

#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/clocks/ClockQueries.h"

namespace {

using namespace hwc::RegFlag;

// Item names take the instance name ("ADC16") before them.
const tPerCfgDef kRegisters[] = {
    {"SC1A_INIT", 0x1F, DW16},   {"SC1B_INIT", 0x1F, DW16},   {"CFG1_INIT", 0, DW16},
    {"CFG2_INIT", 0, DW16},      {"CV1_INIT", 0, DW16},       {"CV2_INIT", 0, DW16},
    {"SC2_INIT", 0, DW16},       {"SC3_INIT", 0, DW16},       {"OFS_INIT", 0x0004, DW16},
    {"PG_INIT", 0x8200, DW16},   {"MG_INIT", 0x8200, DW16},   {"CLP4_INIT", 0x0200, DW16},
    {"CLP3_INIT", 0x0100, DW16}, {"CLP2_INIT", 0x0080, DW16}, {"CLP1_INIT", 0x0040, DW16},
    {"CLP0_INIT", 0x0020, DW16},
};
static_assert(std::size(kRegisters) == CpmADC_FamE::kItemCount);

// Fields of a conversion register.
constexpr int kChannelLow = 0, kChannelHigh = 4;
constexpr int kDifferentialBit = 5;
constexpr int kInterruptBit = 6;
// Configuration register 1.
constexpr int kInputClockLow = 0, kInputClockHigh = 1;
constexpr int kModeLow = 2, kModeHigh = 3;
constexpr int kLongSampleBit = 4;
constexpr int kDivideLow = 5, kDivideHigh = 6;
constexpr int kLowPowerBit = 7;
// Configuration register 2.
constexpr int kLongSampleTimeLow = 0, kLongSampleTimeHigh = 1;
constexpr int kHighSpeedBit = 2;
constexpr int kAsyncClockOutputBit = 3;
constexpr int kMuxSelectBit = 4;
// Status and control register 2.
constexpr int kReferenceLow = 0, kReferenceHigh = 1;
constexpr int kDmaBit = 2;
constexpr int kCompareRangeBit = 3;
constexpr int kCompareGreaterBit = 4;
constexpr int kCompareEnableBit = 5;
constexpr int kTriggerBit = 6;
// Status and control register 3.
constexpr int kAveragesLow = 0, kAveragesHigh = 1;
constexpr int kAveragingBit = 2;
constexpr int kContinuousBit = 3;

// The widths of the calibration values CLP4 ... CLP0.
constexpr std::uint32_t kCalibrationMax[] = {0x3FF, 0x1FF, 0xFF, 0x7F, 0x3F};
constexpr const char* kCalibrationNames[] = {"CLP4", "CLP3", "CLP2", "CLP1", "CLP0"};

// Input clock choices.
enum EInputClock { kBusClock = 0, kHalfBusClock = 1, kAlternateClock = 2, kAsyncClock = 3 };
// Resolution codes: 8, 12, 10 and 16 bits; the list shows them by size.
constexpr int kResolutionCodes[] = {0, 2, 1, 3};
constexpr std::uint32_t kMode16Bit = 3;

// The asynchronous clock in MHz by low power (bit 1) and high speed (bit 0).
constexpr float kAsyncClockMHz[] = {4.0f, 6.2f, 2.4f, 5.2f};

// ADC clock cycles: the start of a conversion, the approximation of one result by resolution
// code (single-ended, then differential), the long sample extensions, and the high-speed adder.
constexpr int kStartCycles = 3;
constexpr int kSingleEndedCycles[] = {17, 20, 20, 25};
constexpr int kDifferentialCycles[] = {27, 30, 30, 34};
constexpr int kLongSampleCycles[] = {20, 12, 6, 2};
constexpr int kHighSpeedCycles = 2;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

bool Bit(std::uint32_t value, int bit) {
    return (value >> bit) & 1u;
}

std::vector<std::string> ChannelItems() {
    std::vector<std::string> items;
    for (int channel = 0; channel < 24; ++channel)
        items.push_back(hwc::Format("AD%d", channel));
    items.insert(items.end(), {"Reserved (24)", "Reserved (25)", "Temperature sensor", "Bandgap",
                               "Reserved (28)", "VREFSH", "VREFSL", "Module disabled"});
    return items;
}

tLayoutItem ValueRow(const char* caption, int id) {
    return dlg::Row({dlg::Label(caption), dlg::Edit(id)});
}

} // namespace

CpmADC_FamE::CpmADC_FamE(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSarConverterBase(parent, kTemplateId, descriptor, kRegisters, kItemCount) {
    for (tConversion& conversion : m_conversions)
        AddCommentItems(
            {{&conversion.channel, 0}, {&conversion.differential, 0}, {&conversion.interrupt, 0}});
    AddCommentItems({{&m_inputClock, 0},       {&m_clockDivide, 0},      {&m_resolution, 0},
                     {&m_lowPower, 0},         {&m_highSpeed, 0},        {&m_asyncClockOutput, 0},
                     {&m_muxSelect, 0},        {&m_longSample, 0},       {&m_longSampleTime, 0},
                     {&m_trigger, 0},          {&m_reference, 0},        {&m_dmaEnable, 0},
                     {&m_continuous, 0},       {&m_averaging, 0},        {&m_averages, 0},
                     {&m_compareEnable, 0},    {&m_compareGreater, 0},   {&m_compareRange, 0},
                     {&m_compareValues[0], 0}, {&m_compareValues[1], 0}, {&m_offset, 0},
                     {&m_plusGain, 0},         {&m_minusGain, 0}});
    for (CSetValue& value : m_calibration)
        AddCommentItems({{&value, 0}});
}

const CDialogTemplate* CpmADC_FamE::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Conversion A",
             {dlg::Row({dlg::Label("Channel:"), dlg::DropList(kChannelAId, ChannelItems())}),
              dlg::Row({dlg::CheckBox(kDifferentialAId, "Differential A"),
                        dlg::CheckBox(kInterruptAId, "Interrupt A on conversion complete")})}),
         dlg::Group(
             "Conversion B",
             {dlg::Row({dlg::Label("Channel:"), dlg::DropList(kChannelBId, ChannelItems())}),
              dlg::Row({dlg::CheckBox(kDifferentialBId, "Differential B"),
                        dlg::CheckBox(kInterruptBId, "Interrupt B on conversion complete")})}),
         dlg::Group(
             "Clock and resolution",
             {dlg::Row({dlg::Label("Input clock:"),
                        dlg::DropList(kInputClockId, {"Bus clock", "Bus clock / 2",
                                                      "Alternate clock", "Asynchronous clock"})}),
              dlg::Row({dlg::Label("Clock divide:"),
                        dlg::DropList(kClockDivideId, {"Input clock / 1", "Input clock / 2",
                                                       "Input clock / 4", "Input clock / 8"})}),
              dlg::Row({dlg::Label("Resolution:"),
                        dlg::DropList(kResolutionId,
                                      {"8-bit (9-bit differential)", "10-bit (11-bit differential)",
                                       "12-bit (13-bit differential)", "16-bit"})}),
              dlg::Row({dlg::Label("Channel set:"),
                        dlg::DropList(kMuxSelectId, {"Channels a", "Channels b"})}),
              dlg::Row({dlg::CheckBox(kLowPowerId, "Low power configuration"),
                        dlg::CheckBox(kHighSpeedId, "High-speed configuration")}),
              dlg::CheckBox(kAsyncClockOutputId, "Asynchronous clock always on"),
              dlg::Row({dlg::CheckBox(kLongSampleId, "Long sample time:"),
                        dlg::DropList(kLongSampleTimeId,
                                      {"+20 clocks (24 in all)", "+12 clocks (16 in all)",
                                       "+6 clocks (10 in all)", "+2 clocks (6 in all)"})}),
              dlg::Row({dlg::Label("ADC clock:"), dlg::ReadOnly(kClockId),
                        dlg::Label("should be < 18 MHz", kClockLimitId)}),
              dlg::Row({dlg::Label("Conversion time:"), dlg::ReadOnly(kConversionTimeId)})}),
         dlg::Group(
             "Trigger, averaging and DMA",
             {dlg::Row({dlg::Label("Conversion trigger:"),
                        dlg::DropList(kTriggerId, {"Software trigger", "Hardware trigger"})}),
              dlg::Row({dlg::Label("Voltage reference:"),
                        dlg::DropList(kReferenceId, {"VREFH and VREFL", "Alternate VALTH and VALTL",
                                                     "Reserved (2)", "Reserved (3)"})}),
              dlg::Row({dlg::CheckBox(kContinuousId, "Continuous conversions"),
                        dlg::CheckBox(kDmaEnableId, "DMA enabled")}),
              dlg::Row({dlg::CheckBox(kAveragingId, "Hardware average of"),
                        dlg::DropList(kAveragesId,
                                      {"4 samples", "8 samples", "16 samples", "32 samples"})})}),
         dlg::Group(
             "Compare function",
             {dlg::CheckBox(kCompareEnableId, "Compare function enabled"),
              dlg::Row({dlg::Label("Compare condition:"),
                        dlg::DropList(kCompareGreaterId, {"Less than threshold",
                                                          "Greater than or equal to threshold"})}),
              dlg::CheckBox(kCompareRangeId, "Compare range enabled"),
              ValueRow("Compare value 1:", kCompareValue1Id),
              ValueRow("Compare value 2:", kCompareValue2Id)}),
         dlg::Group("Offset, gain and calibration",
                    {ValueRow("Offset:", kOffsetId), ValueRow("Plus-side gain:", kPlusGainId),
                     ValueRow("Minus-side gain:", kMinusGainId),
                     ValueRow("Calibration CLP4:", kFirstCalibrationId),
                     ValueRow("Calibration CLP3:", kFirstCalibrationId + 1),
                     ValueRow("Calibration CLP2:", kFirstCalibrationId + 2),
                     ValueRow("Calibration CLP1:", kFirstCalibrationId + 3),
                     ValueRow("Calibration CLP0:", kFirstCalibrationId + 4)}),
         dlg::Placeholder(kFirstHeadingPlaceholderId), dlg::Placeholder(kFirstRowPlaceholderId)});
    return &page;
}

void CpmADC_FamE::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_conversions[0].channel.AttachTo(page, kChannelAId);
    m_conversions[0].differential.AttachTo(page, kDifferentialAId);
    m_conversions[0].interrupt.AttachTo(page, kInterruptAId);
    m_conversions[1].channel.AttachTo(page, kChannelBId);
    m_conversions[1].differential.AttachTo(page, kDifferentialBId);
    m_conversions[1].interrupt.AttachTo(page, kInterruptBId);
    m_inputClock.AttachTo(page, kInputClockId);
    m_clockDivide.AttachTo(page, kClockDivideId);
    m_resolution.AttachTo(page, kResolutionId);
    m_lowPower.AttachTo(page, kLowPowerId);
    m_highSpeed.AttachTo(page, kHighSpeedId);
    m_asyncClockOutput.AttachTo(page, kAsyncClockOutputId);
    m_muxSelect.AttachTo(page, kMuxSelectId);
    m_longSample.AttachTo(page, kLongSampleId);
    m_longSampleTime.AttachTo(page, kLongSampleTimeId);
    m_trigger.AttachTo(page, kTriggerId);
    m_reference.AttachTo(page, kReferenceId);
    m_dmaEnable.AttachTo(page, kDmaEnableId);
    m_continuous.AttachTo(page, kContinuousId);
    m_averaging.AttachTo(page, kAveragingId);
    m_averages.AttachTo(page, kAveragesId);
    m_compareEnable.AttachTo(page, kCompareEnableId);
    m_compareGreater.AttachTo(page, kCompareGreaterId);
    m_compareRange.AttachTo(page, kCompareRangeId);
    m_compareValues[0].AttachTo(page, kCompareValue1Id);
    m_compareValues[1].AttachTo(page, kCompareValue2Id);
    m_offset.AttachTo(page, kOffsetId);
    m_plusGain.AttachTo(page, kPlusGainId);
    m_minusGain.AttachTo(page, kMinusGainId);
    for (int i = 0; i < kCalibrationCount; ++i)
        m_calibration[i].AttachTo(page, kFirstCalibrationId + i);
}

void CpmADC_FamE::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    for (int i = 0; i < 2; ++i) {
        tConversion& conversion = m_conversions[i];
        tPerCfgItem& sc1 = Item(i == 0 ? kSc1aItem : kSc1bItem);
        conversion.channel.Bind(sc1, kChannelLow, kChannelHigh, 0,
                                i == 0 ? "Conversion A channel" : "Conversion B channel");
        conversion.differential.Bind(sc1, kDifferentialBit, false, "");
        conversion.interrupt.Bind(sc1, kInterruptBit, false, "");
    }
    tPerCfgItem& cfg1 = Item(kCfg1Item);
    m_inputClock.Bind(cfg1, kInputClockLow, kInputClockHigh, 0, "Input clock");
    m_clockDivide.Bind(cfg1, kDivideLow, kDivideHigh, 0, "Clock divide");
    m_resolution.Bind(cfg1, kModeLow, kModeHigh, 0, "Resolution", kResolutionCodes);
    m_lowPower.Bind(cfg1, kLowPowerBit, false, "");
    m_longSample.Bind(cfg1, kLongSampleBit, false, "");
    tPerCfgItem& cfg2 = Item(kCfg2Item);
    m_longSampleTime.Bind(cfg2, kLongSampleTimeLow, kLongSampleTimeHigh, 0, "Long sample time");
    m_highSpeed.Bind(cfg2, kHighSpeedBit, false, "");
    m_asyncClockOutput.Bind(cfg2, kAsyncClockOutputBit, false, "");
    m_muxSelect.Bind(cfg2, kMuxSelectBit, kMuxSelectBit, 0, "Channel set");
    tPerCfgItem& sc2 = Item(kSc2Item);
    m_reference.Bind(sc2, kReferenceLow, kReferenceHigh, 0, "Voltage reference");
    m_dmaEnable.Bind(sc2, kDmaBit, false, "");
    m_compareRange.Bind(sc2, kCompareRangeBit, false, "");
    m_compareGreater.Bind(sc2, kCompareGreaterBit, kCompareGreaterBit, 0, "Compare condition");
    m_compareEnable.Bind(sc2, kCompareEnableBit, false, "");
    m_trigger.Bind(sc2, kTriggerBit, kTriggerBit, 0, "Conversion trigger");
    tPerCfgItem& sc3 = Item(kSc3Item);
    m_averages.Bind(sc3, kAveragesLow, kAveragesHigh, 0, "Hardware average");
    m_averaging.Bind(sc3, kAveragingBit, false, "");
    m_continuous.Bind(sc3, kContinuousBit, false, "");
    m_compareValues[0].Bind(Item(kCv1Item), 0, 15, 0, "Compare value 1", true, 0, 0xFFFF, true);
    m_compareValues[1].Bind(Item(kCv2Item), 0, 15, 0, "Compare value 2", true, 0, 0xFFFF, true);
    m_offset.Bind(Item(kOfsItem), 0, 15, 0, "Offset", true, 0, 0xFFFF, true);
    m_plusGain.Bind(Item(kPgItem), 0, 15, 0, "Plus-side gain", true, 0, 0xFFFF, true);
    m_minusGain.Bind(Item(kMgItem), 0, 15, 0, "Minus-side gain", true, 0, 0xFFFF, true);
    for (int i = 0; i < kCalibrationCount; ++i) {
        const std::uint32_t max = kCalibrationMax[i];
        int high = 0;
        while ((max >> (high + 1)) != 0)
            ++high;
        m_calibration[i].Bind(Item(kClp4Item + i), 0, high, 0, kCalibrationNames[i], true, 0, max,
                              true);
    }
}

float CpmADC_FamE::InputClockMHz() const {
    const std::uint32_t cfg1 = Item(kCfg1Item).dwValue;
    switch (Field(cfg1, kInputClockLow, kInputClockHigh)) {
    case kHalfBusClock:
        return GetBusClock() / 2.0f;
    case kAlternateClock: {
        // The alternate clock is the oscillator clock the clock module publishes.
        const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
        return clock ? clock->CrystalClockMHz() : 0.0f;
    }
    case kAsyncClock: {
        const int index = (Bit(cfg1, kLowPowerBit) ? 2 : 0) +
                          (Bit(Item(kCfg2Item).dwValue, kHighSpeedBit) ? 1 : 0);
        return kAsyncClockMHz[index];
    }
    default:
        return GetBusClock();
    }
}

int CpmADC_FamE::ClockDivisorField() const {
    return static_cast<int>(Field(Item(kCfg1Item).dwValue, kDivideLow, kDivideHigh));
}

float CpmADC_FamE::MaxClockMHz() const {
    return Field(Item(kCfg1Item).dwValue, kModeLow, kModeHigh) == kMode16Bit ? kMaxClock16BitMHz
                                                                             : kMaxClockMHz;
}

int CpmADC_FamE::ConversionCycles() const {
    const std::uint32_t cfg1 = Item(kCfg1Item).dwValue;
    const std::uint32_t cfg2 = Item(kCfg2Item).dwValue;
    const std::uint32_t sc3 = Item(kSc3Item).dwValue;
    const auto mode = Field(cfg1, kModeLow, kModeHigh);
    int cycles = Bit(Item(kSc1aItem).dwValue, kDifferentialBit) ? kDifferentialCycles[mode]
                                                                : kSingleEndedCycles[mode];
    if (Bit(cfg1, kLongSampleBit))
        cycles += kLongSampleCycles[Field(cfg2, kLongSampleTimeLow, kLongSampleTimeHigh)];
    if (Bit(cfg2, kHighSpeedBit))
        cycles += kHighSpeedCycles;
    const int averages = Bit(sc3, kAveragingBit) ? 4 << Field(sc3, kAveragesLow, kAveragesHigh) : 1;
    return kStartCycles + averages * cycles;
}

void CpmADC_FamE::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const std::uint32_t sc2 = Item(kSc2Item).dwValue;
    const bool compare = Bit(sc2, kCompareEnableBit);
    page->EnableControls({kCompareGreaterId, kCompareRangeId, kCompareValue1Id}, compare);
    // The second compare value bounds a range only.
    page->EnableControl(kCompareValue2Id, compare && Bit(sc2, kCompareRangeBit));
    page->EnableControl(kLongSampleTimeId, Bit(Item(kCfg1Item).dwValue, kLongSampleBit));
    page->EnableControl(kAveragesId, Bit(Item(kSc3Item).dwValue, kAveragingBit));
}
