#include "modules/analog/CpmADC_FamA.h"

#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/clocks/ClockQueries.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"ADCSC1A_INIT", 0x1F, DW16},
    {"ADCSC1B_INIT", 0x1F, DW16},
    {"ADCSC2_INIT", 0, DW16},
    {"ADCCFG_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Fields of a conversion register.
constexpr int kChannelLow = 0, kChannelHigh = 4;
constexpr int kInterruptBit = 6;
// Fields of the second status and control register.
constexpr int kDmaBit = 2;
constexpr int kCompareRangeBit = 3;
constexpr int kCompareGreaterBit = 4;
constexpr int kCompareEnableBit = 5;
constexpr int kTriggerBit = 6;
// Fields of the configuration register.
constexpr int kInputClockLow = 0, kInputClockHigh = 1;
constexpr int kModeLow = 2, kModeHigh = 3;
constexpr int kLongSampleBit = 4;
constexpr int kDivideLow = 5, kDivideHigh = 6;
constexpr int kLowPowerBit = 7;

// Input clock choices of the configuration register.
enum EInputClock { kBusClock = 0, kHalfBusClock = 1, kAlternateClock = 2, kAsyncClock = 3 };
// Resolution codes: 8, 12 and 10 bits; the list shows them by size.
constexpr int kMode8Bit = 0;
constexpr int kResolutionCodes[] = {0, 2, 1};

// ADC clock cycles: sampling and the successive approximation of one conversion (8 bits, or
// 10 and 12 bits), a long sample time adds its own.
constexpr int kStartCycles = 3;
constexpr int kCycles8Bit = 17;
constexpr int kCycles12Bit = 20;
constexpr int kLongSampleCycles = 20;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

std::vector<std::string> ChannelItems() {
    std::vector<std::string> items;
    for (int channel = 0; channel < 24; ++channel)
        items.push_back(hwc::Format("AD%d", channel));
    items.insert(items.end(), {"Reserved (24)", "Reserved (25)", "Temperature sensor", "Bandgap",
                               "Reserved (28)", "VREFH", "VREFL", "Module disabled"});
    return items;
}

} // namespace

CpmADC_FamA::CpmADC_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSarConverterBase(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_channelA, 0},
                     {&m_interruptA, 0},
                     {&m_channelB, 0},
                     {&m_interruptB, 0},
                     {&m_trigger, 0},
                     {&m_compareEnable, 0},
                     {&m_compareGreater, 0},
                     {&m_compareRange, 0},
                     {&m_dmaEnable, 0},
                     {&m_inputClock, 0},
                     {&m_clockDivide, 0},
                     {&m_resolution, 0},
                     {&m_lowPower, 0},
                     {&m_longSample, 0}});
}

const CDialogTemplate* CpmADC_FamA::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Conversions",
             {dlg::Row({dlg::Label("Conversion A channel:"),
                        dlg::DropList(kChannelAId, ChannelItems()),
                        dlg::CheckBox(kInterruptAId, "Interrupt A on conversion complete")}),
              dlg::Row({dlg::Label("Conversion B channel:"),
                        dlg::DropList(kChannelBId, ChannelItems()),
                        dlg::CheckBox(kInterruptBId, "Interrupt B on conversion complete")})}),
         dlg::Group(
             "Trigger, compare and DMA",
             {dlg::Row({dlg::Label("Conversion trigger:"),
                        dlg::DropList(kTriggerId, {"Software trigger", "Hardware trigger"})}),
              dlg::CheckBox(kCompareEnableId, "Compare function enabled"),
              dlg::Row({dlg::Label("Compare condition:"),
                        dlg::DropList(kCompareGreaterId, {"Less than threshold",
                                                          "Greater than or equal to threshold"})}),
              dlg::CheckBox(kCompareRangeId, "Compare range enabled"),
              dlg::CheckBox(kDmaEnableId, "DMA enabled")}),
         dlg::Group(
             "Clock and resolution",
             {dlg::Row({dlg::Label("Input clock:"),
                        dlg::DropList(kInputClockId, {"Bus clock", "Bus clock / 2",
                                                      "Alternate clock", "Asynchronous clock"})}),
              dlg::Row({dlg::Label("Clock divide:"),
                        dlg::DropList(kClockDivideId, {"Input clock / 1", "Input clock / 2",
                                                       "Input clock / 4", "Input clock / 8"})}),
              dlg::Row({dlg::Label("Resolution:"),
                        dlg::DropList(kResolutionId, {"8-bit", "10-bit", "12-bit"})}),
              dlg::CheckBox(kLowPowerId, "Low power configuration"),
              dlg::CheckBox(kLongSampleId, "Long sample time"),
              dlg::Row({dlg::Label("ADC clock:"), dlg::ReadOnly(kClockId),
                        dlg::Label("should be < 8 MHz", kClockLimitId)}),
              dlg::Row({dlg::Label("Conversion time:"), dlg::ReadOnly(kConversionTimeId)})}),
         dlg::Placeholder(kFirstHeadingPlaceholderId), dlg::Placeholder(kFirstRowPlaceholderId)});
    return &page;
}

void CpmADC_FamA::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_channelA.AttachTo(page, kChannelAId);
    m_interruptA.AttachTo(page, kInterruptAId);
    m_channelB.AttachTo(page, kChannelBId);
    m_interruptB.AttachTo(page, kInterruptBId);
    m_trigger.AttachTo(page, kTriggerId);
    m_compareEnable.AttachTo(page, kCompareEnableId);
    m_compareGreater.AttachTo(page, kCompareGreaterId);
    m_compareRange.AttachTo(page, kCompareRangeId);
    m_dmaEnable.AttachTo(page, kDmaEnableId);
    m_inputClock.AttachTo(page, kInputClockId);
    m_clockDivide.AttachTo(page, kClockDivideId);
    m_resolution.AttachTo(page, kResolutionId);
    m_lowPower.AttachTo(page, kLowPowerId);
    m_longSample.AttachTo(page, kLongSampleId);
}

void CpmADC_FamA::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    m_channelA.Bind(Item(kSc1aItem), kChannelLow, kChannelHigh, 0, "Conversion A channel");
    m_interruptA.Bind(Item(kSc1aItem), kInterruptBit, false, "");
    m_channelB.Bind(Item(kSc1bItem), kChannelLow, kChannelHigh, 0, "Conversion B channel");
    m_interruptB.Bind(Item(kSc1bItem), kInterruptBit, false, "");
    tPerCfgItem& sc2 = Item(kSc2Item);
    m_trigger.Bind(sc2, kTriggerBit, kTriggerBit, 0, "");
    m_compareEnable.Bind(sc2, kCompareEnableBit, false, "");
    m_compareGreater.Bind(sc2, kCompareGreaterBit, kCompareGreaterBit, 0, "Compare condition");
    m_compareRange.Bind(sc2, kCompareRangeBit, false, "");
    m_dmaEnable.Bind(sc2, kDmaBit, false, "");
    tPerCfgItem& cfg = Item(kCfgItem);
    m_inputClock.Bind(cfg, kInputClockLow, kInputClockHigh, 0, "Input clock");
    m_clockDivide.Bind(cfg, kDivideLow, kDivideHigh, 0, "Clock divide");
    m_resolution.Bind(cfg, kModeLow, kModeHigh, 0, "Resolution", kResolutionCodes);
    m_lowPower.Bind(cfg, kLowPowerBit, false, "");
    m_longSample.Bind(cfg, kLongSampleBit, false, "");
}

float CpmADC_FamA::InputClockMHz() const {
    const std::uint32_t cfg = Item(kCfgItem).dwValue;
    switch (Field(cfg, kInputClockLow, kInputClockHigh)) {
    case kHalfBusClock:
        return GetBusClock() / 2.0f;
    case kAlternateClock: {
        // The alternate clock is the oscillator clock the clock module publishes.
        const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
        return clock ? clock->CrystalClockMHz() : 0.0f;
    }
    case kAsyncClock:
        return ((cfg >> kLowPowerBit) & 1u) ? kAsyncLowPowerClockMHz : kAsyncClockMHz;
    default:
        return GetBusClock();
    }
}

int CpmADC_FamA::ClockDivisorField() const {
    return static_cast<int>(Field(Item(kCfgItem).dwValue, kDivideLow, kDivideHigh));
}

float CpmADC_FamA::MaxClockMHz() const {
    return ((Item(kCfgItem).dwValue >> kLowPowerBit) & 1u) ? kMaxLowPowerClockMHz : kMaxClockMHz;
}

int CpmADC_FamA::ConversionCycles() const {
    const std::uint32_t cfg = Item(kCfgItem).dwValue;
    const bool eightBit = Field(cfg, kModeLow, kModeHigh) == kMode8Bit;
    const bool longSample = (cfg >> kLongSampleBit) & 1u;
    return kStartCycles + (eightBit ? kCycles8Bit : kCycles12Bit) +
           (longSample ? kLongSampleCycles : 0);
}

void CpmADC_FamA::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const bool compare = m_compareEnable.IsChecked() == 1;
    page->EnableControl(kCompareGreaterId, compare);
    page->EnableControl(kCompareRangeId, compare);
}
