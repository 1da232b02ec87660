#include "modules/communication/CpmLSCAN.h"

#include <string>
#include <vector>

#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/BitGraph.h"
#include "model/DialogTemplate.h"
#include "model/DisplayText.h"
#include "model/ModuleSubDlg.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/communication/CanBitTiming.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CANCTL0_INIT", 0, DW8},  {"CANCTL1_INIT", 0, DW8},  {"CANBTR0_INIT", 0, DW8},
    {"CANBTR1_INIT", 0, DW8},  {"CANRIER_INIT", 0, DW8},  {"CANTIER_INIT", 0, DW8},
    {"CANIDAC_INIT", 0, DW8},  {"CANIDAR0_INIT", 0, DW8}, {"CANIDAR1_INIT", 0, DW8},
    {"CANIDAR2_INIT", 0, DW8}, {"CANIDAR3_INIT", 0, DW8}, {"CANIDAR4_INIT", 0, DW8},
    {"CANIDAR5_INIT", 0, DW8}, {"CANIDAR6_INIT", 0, DW8}, {"CANIDAR7_INIT", 0, DW8},
    {"CANIDMR0_INIT", 0, DW8}, {"CANIDMR1_INIT", 0, DW8}, {"CANIDMR2_INIT", 0, DW8},
    {"CANIDMR3_INIT", 0, DW8}, {"CANIDMR4_INIT", 0, DW8}, {"CANIDMR5_INIT", 0, DW8},
    {"CANIDMR6_INIT", 0, DW8}, {"CANIDMR7_INIT", 0, DW8},
};
static_assert(std::size(kRegisters) == CpmLSCAN::kRegisterCount);

// Register fields.
constexpr int kStopInWaitBit = 5; // CANCTL0
constexpr int kTimerBit = 3;
constexpr int kWakeUpBit = 2;
constexpr int kEnableBit = 7; // CANCTL1
constexpr int kClockSourceBit = 6;
constexpr int kLoopBackBit = 5;
constexpr int kListenOnlyBit = 4;
constexpr int kWakeUpFilterBit = 2;
constexpr int kSjwLow = 6; // CANBTR0
constexpr int kSjwHigh = 7;
constexpr int kPrescalerLow = 0;
constexpr int kPrescalerHigh = 5;
constexpr int kThreeSamplesBit = 7; // CANBTR1
constexpr int kTseg2Low = 4;
constexpr int kTseg2High = 6;
constexpr int kTseg1Low = 0;
constexpr int kTseg1High = 3;
constexpr int kFilterModeLow = 4; // CANIDAC
constexpr int kFilterModeHigh = 5;

// The processor-table entry of FamC, whose page has its own template number (as FamF's).
constexpr int kFamCGroup = 106;

constexpr const char* kPrescalerCaption = "Prescaler:";
constexpr const char* kTseg1Caption = "TSEG1:";
constexpr const char* kTseg2Caption = "TSEG2:";
constexpr const char* kSjwCaption = "SJW:";
constexpr const char* kQuantaCaption = "Quanta per bit:";

int Field(std::uint32_t value, int low, int high) {
    return static_cast<int>((value >> low) & ((1u << (high - low + 1)) - 1u));
}

void SetField(std::uint32_t& value, int low, int high, int field) {
    const std::uint32_t mask = ((1u << (high - low + 1)) - 1u) << low;
    value = (value & ~mask) | ((static_cast<std::uint32_t>(field) << low) & mask);
}

std::vector<std::string> StatusLevels() {
    return {"No status interrupt", "Bus-off only", "Bus-off and error-passive",
            "Every status change"};
}

tLayoutItem FilterPlaceholders() {
    using namespace dlg;
    return Column({Placeholder(CpmLSCAN::kFirstFilterPageId),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 1),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 2),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 3),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 4),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 5),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 6),
                   Placeholder(CpmLSCAN::kFirstFilterPageId + 7)});
}

CDialogTemplate MakeTemplate(unsigned id) {
    using namespace dlg;
    using C = CpmLSCAN;
    return CDialogTemplate(
        id,
        {Group("Controller",
               {Row({CheckBox(C::kEnableId, "CAN enabled"), Label("Clock source:"),
                     DropList(C::kClockSourceId, {"Oscillator clock", "Bus clock"})}),
                Row({CheckBox(C::kLoopBackId, "Loop-back mode"),
                     CheckBox(C::kListenOnlyId, "Listen-only mode")}),
                Row({CheckBox(C::kStopInWaitId, "Stop in wait mode"),
                     CheckBox(C::kTimerId, "Timer enabled")}),
                Row({CheckBox(C::kWakeUpId, "Wake-up enabled"),
                     CheckBox(C::kWakeUpFilterId, "Wake-up low-pass filter")})}),
         Group("Bit timing",
               {Row({Label("Source clock:"), ReadOnly(C::kSourceClockId)}),
                Row({Label(kPrescalerCaption, C::kPrescalerLabelId), Edit(C::kPrescalerId),
                     UpDown(C::kPrescalerSpinId, 1, hwc::kLscanMaxPrescaler)}),
                Row({Label(kTseg1Caption, C::kTseg1LabelId), Edit(C::kTseg1Id),
                     UpDown(C::kTseg1SpinId, 1, hwc::kLscanMaxTseg1)}),
                Row({Label(kTseg2Caption, C::kTseg2LabelId), Edit(C::kTseg2Id),
                     UpDown(C::kTseg2SpinId, 1, hwc::kLscanMaxTseg2)}),
                Row({Label(kSjwCaption, C::kSjwLabelId), Edit(C::kSjwId),
                     UpDown(C::kSjwSpinId, 1, hwc::kLscanMaxSjw)}),
                CheckBox(C::kThreeSamplesId, "Three samples per bit"),
                Row({Label("Time quantum:"), ReadOnly(C::kQuantumClockId),
                     ReadOnly(C::kQuantumLengthId)}),
                Row({Label(kQuantaCaption, C::kQuantaLabelId), ReadOnly(C::kQuantaId)}),
                Row({Label("Bit rate:"), Edit(C::kBitRateId),
                     Button(C::kBitRateButtonId, "Find timings")}),
                Row({Label("Sample point:"), ReadOnly(C::kSamplePointId)}),
                Label(C::kCandidateColumns, C::kCandidateHeaderId), ListBox(C::kCandidatesId),
                Graph(C::kGraphId)}),
         Group("Interrupts",
               {Row({CheckBox(C::kReceiveFullIntId, "Receive buffer full"),
                     CheckBox(C::kOverrunIntId, "Overrun")}),
                Row({CheckBox(C::kWakeUpIntId, "Wake-up"),
                     CheckBox(C::kStatusChangeIntId, "Status change")}),
                Row({Label("Receiver status:"), DropList(C::kReceiverStatusId, StatusLevels())}),
                Row({Label("Transmitter status:"),
                     DropList(C::kTransmitterStatusId, StatusLevels())}),
                Row({CheckBox(C::kFirstTransmitEmptyIntId, "Transmit buffer 0 empty"),
                     CheckBox(C::kFirstTransmitEmptyIntId + 1, "Transmit buffer 1 empty"),
                     CheckBox(C::kFirstTransmitEmptyIntId + 2, "Transmit buffer 2 empty")}),
                Placeholder(C::kFirstHeadingPlaceholderId),
                Placeholder(C::kFirstRowPlaceholderId), Placeholder(C::kFirstRowPlaceholderId + 1),
                Placeholder(C::kFirstRowPlaceholderId + 2),
                Placeholder(C::kFirstRowPlaceholderId + 3)}),
         Group("Acceptance filters",
               {Row({Label("Filter mode:"),
                     DropList(C::kFilterModeId, {"Two 32-bit filters", "Four 16-bit filters",
                                                 "Eight 8-bit filters", "Filters closed"})}),
                FilterPlaceholders()})});
}

} // namespace

// --- Filter pages ---

namespace {

// A closed controller keeps its filter bytes; they are shown in the 32-bit layout.
int LayoutMode(int mode) {
    return mode == hwc::kLscanClosed ? hwc::kLscanTwo32 : mode;
}

} // namespace

CpmLSCAN_FiltDlg::CpmLSCAN_FiltDlg(CpmLSCAN& module, int filter)
    : m_module(module), m_filter(filter) {}

const CDialogTemplate& CpmLSCAN_FiltDlg::Template() {
    using namespace dlg;
    static const CDialogTemplate page(
        CpmLSCAN::kFirstFilterPageId,
        {Group("Filter", {Row({Label("Identifier:"), Edit(kIdentifierId)}),
                          Label("", kIdentifierTextId),
                          Row({Label("Mask:"), Edit(kMaskId)}), Label("", kMaskTextId)},
               kGroupId)});
    return page;
}

std::uint32_t CpmLSCAN_FiltDlg::Getter(void* context, int which) {
    return static_cast<CpmLSCAN_FiltDlg*>(context)->Value(which);
}

void CpmLSCAN_FiltDlg::Setter(std::uint32_t value, void* context, int which) {
    static_cast<CpmLSCAN_FiltDlg*>(context)->SetValue(which, value);
}


bool CpmLSCAN_FiltDlg::Parser(std::uint32_t& value, const std::string& text, void*, int) {
    const std::optional<std::uint32_t> read = hwc::ReadLscanFilterText(text);
    if (read)
        value = *read;
    return read.has_value();
}

void CpmLSCAN_FiltDlg::Formatter(std::string& text, std::uint32_t value, void* context, int) {
    const auto& dialog = *static_cast<CpmLSCAN_FiltDlg*>(context);
    text = hwc::LscanFilterText(value,
                                hwc::LscanFilterBytes(LayoutMode(dialog.m_module.FilterMode())));
}

std::uint32_t CpmLSCAN_FiltDlg::Value(int which) const {
    return hwc::LscanFilterValue(m_module.FilterBytes(which), LayoutMode(m_module.FilterMode()),
                                 m_filter);
}

void CpmLSCAN_FiltDlg::SetValue(int which, std::uint32_t value) {
    std::array<std::uint8_t, 8> bytes = m_module.FilterBytes(which);
    hwc::SetLscanFilterValue(bytes, LayoutMode(m_module.FilterMode()), m_filter, value);
    m_module.SetFilterBytes(which, bytes);
}

std::string CpmLSCAN_FiltDlg::IdentifierText() const {
    return hwc::LscanIdentifierText(Value(0),
                                     hwc::LscanFilterBytes(LayoutMode(m_module.FilterMode())));
}

std::string CpmLSCAN_FiltDlg::MaskText() const {
    const int bytes = hwc::LscanFilterBytes(LayoutMode(m_module.FilterMode()));
    return hwc::LscanMaskText(Value(1), bytes, hwc::LscanIsExtended(Value(0), bytes));
}

void CpmLSCAN_FiltDlg::Bind() {
    const std::string name = Format("Filter %d", m_filter);
    // The first byte's register stands for the filter in self-tests; the functions read and
    // write all of its bytes.
    m_identifier.Bind(m_module.Item(CpmLSCAN::kFirstIdarItem + m_filter), 0, 31, 0,
                      (name + " identifier").c_str(), true, 0, 0, true);
    m_identifier.BindCustom(&Setter, &Getter, this, 0);
    m_identifier.SetTextHandlers(&Parser, &Formatter, this, 0);
    m_mask.Bind(m_module.Item(CpmLSCAN::kFirstIdmrItem + m_filter), 0, 31, 0,
                (name + " mask").c_str(), true, 0, 0, true);
    m_mask.BindCustom(&Setter, &Getter, this, 1);
    m_mask.SetTextHandlers(&Parser, &Formatter, this, 1);
}

void CpmLSCAN_FiltDlg::Attach(CModuleSubDlg& page) {
    m_page = &page;
    page.SetControlText(kGroupId, Format("Filter %d", m_filter));
    m_identifier.AttachTo(page, kIdentifierId);
    m_mask.AttachTo(page, kMaskId);
    Refresh(true);
}

void CpmLSCAN_FiltDlg::Refresh(bool values) {
    const int mode = m_module.FilterMode();
    const int bytes = hwc::LscanFilterBytes(LayoutMode(mode));
    const std::uint32_t maximum = bytes >= 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1u;
    m_identifier.SetRange(0, maximum);
    m_mask.SetRange(0, maximum);
    if (values) {
        m_identifier.Refresh();
        m_mask.Refresh();
    }
    if (!m_page)
        return;
    const bool open = mode != hwc::kLscanClosed;
    m_page->EnableControls({kGroupId, kIdentifierId, kIdentifierTextId, kMaskId, kMaskTextId},
                           open);
    m_page->SetControlText(kIdentifierTextId, IdentifierText());
    m_page->SetControlText(kMaskTextId, MaskText());
}

// --- Module ---

std::string CpmLSCAN::CRateSummary::GetSummaryText(bool withValue, std::uint32_t) const {
    if (!withValue)
        return "Bit rate";
    return "Bit rate: " + FrequencyText(m_module.BitRate(), true, "???");
}

CpmLSCAN::CpmLSCAN(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    for (int filter = 0; filter < kFilterCount; ++filter)
        m_filters[static_cast<std::size_t>(filter)] =
            std::make_unique<CpmLSCAN_FiltDlg>(*this, filter);
    AddCommentItems({{&m_enable, 0},
                     {&m_clockSource, 0},
                     {&m_prescaler, 0},
                     {&m_tseg1, 0},
                     {&m_tseg2, 0},
                     {&m_sjw, 0},
                     {&m_threeSamples, 0},
                     {&m_rateSummary, 0},
                     {&m_loopBack, 0},
                     {&m_listenOnly, 0},
                     {&m_receiveFullInt, 0},
                     {&m_transmitEmptyInt[0], 0},
                     {&m_filterMode, 0}});
}

CpmLSCAN::~CpmLSCAN() = default;

bool CpmLSCAN::IsFamCF() const {
    return IsProcessorGroup(*this, kFamCGroup) || IsProcessorGroup(*this, kFamF);
}

const CDialogTemplate* CpmLSCAN::DialogTemplate() const {
    static const CDialogTemplate page = MakeTemplate(kTemplateId);
    static const CDialogTemplate famCF = MakeTemplate(kFamCFTemplateId);
    return IsFamCF() ? &famCF : &page;
}

void CpmLSCAN::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctl0 = Item(kCtl0Item);
    tPerCfgItem& ctl1 = Item(kCtl1Item);
    tPerCfgItem& btr0 = Item(kBtr0Item);
    tPerCfgItem& btr1 = Item(kBtr1Item);
    tPerCfgItem& rier = Item(kRierItem);
    m_stopInWait.Bind(ctl0, kStopInWaitBit, false, "");
    m_timer.Bind(ctl0, kTimerBit, false, "");
    m_wakeUp.Bind(ctl0, kWakeUpBit, false, "");
    m_enable.Bind(ctl1, kEnableBit, false, "");
    m_clockSource.Bind(ctl1, kClockSourceBit, kClockSourceBit, 0, "Clock source");
    m_loopBack.Bind(ctl1, kLoopBackBit, false, "");
    m_listenOnly.Bind(ctl1, kListenOnlyBit, false, "");
    m_wakeUpFilter.Bind(ctl1, kWakeUpFilterBit, false, "");
    m_prescaler.Bind(btr0, kPrescalerLow, kPrescalerHigh, 1, "Prescaler", false, 0, 0, false);
    m_sjw.Bind(btr0, kSjwLow, kSjwHigh, 1, "SJW", false, 0, 0, false);
    m_threeSamples.Bind(btr1, kThreeSamplesBit, false, "");
    m_tseg1.Bind(btr1, kTseg1Low, kTseg1High, 1, "TSEG1", false, 0, 0, false);
    m_tseg2.Bind(btr1, kTseg2Low, kTseg2High, 1, "TSEG2", false, 0, 0, false);
    m_wakeUpInt.Bind(rier, 7, false, "Interrupts: wake-up");
    m_statusChangeInt.Bind(rier, 6, false, "Interrupts: status change");
    m_receiverStatus.Bind(rier, 4, 5, 0, "Receiver status interrupts");
    m_transmitterStatus.Bind(rier, 2, 3, 0, "Transmitter status interrupts");
    m_overrunInt.Bind(rier, 1, false, "Interrupts: overrun");
    m_receiveFullInt.Bind(rier, 0, false, "Interrupts: receive buffer full");
    for (int buffer = 0; buffer < 3; ++buffer)
        m_transmitEmptyInt[static_cast<std::size_t>(buffer)].Bind(
            Item(kTierItem), buffer, false,
            Format("Interrupts: transmit buffer %d empty", buffer).c_str());
    m_filterMode.Bind(Item(kIdacItem), kFilterModeLow, kFilterModeHigh, 0, "Acceptance filters");
    for (auto& filter : m_filters)
        filter->Bind();
}

void CpmLSCAN::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kPrescalerSpinId, 1, hwc::kLscanMaxPrescaler);
    page.SetSpinRange(kTseg1SpinId, 1, hwc::kLscanMaxTseg1);
    page.SetSpinRange(kTseg2SpinId, 1, hwc::kLscanMaxTseg2);
    page.SetSpinRange(kSjwSpinId, 1, hwc::kLscanMaxSjw);
    m_stopInWait.AttachTo(page, kStopInWaitId);
    m_timer.AttachTo(page, kTimerId);
    m_wakeUp.AttachTo(page, kWakeUpId);
    m_enable.AttachTo(page, kEnableId);
    m_clockSource.AttachTo(page, kClockSourceId);
    m_loopBack.AttachTo(page, kLoopBackId);
    m_listenOnly.AttachTo(page, kListenOnlyId);
    m_wakeUpFilter.AttachTo(page, kWakeUpFilterId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_sjw.AttachTo(page, kSjwId);
    m_threeSamples.AttachTo(page, kThreeSamplesId);
    m_tseg1.AttachTo(page, kTseg1Id);
    m_tseg2.AttachTo(page, kTseg2Id);
    m_wakeUpInt.AttachTo(page, kWakeUpIntId);
    m_statusChangeInt.AttachTo(page, kStatusChangeIntId);
    m_receiverStatus.AttachTo(page, kReceiverStatusId);
    m_transmitterStatus.AttachTo(page, kTransmitterStatusId);
    m_overrunInt.AttachTo(page, kOverrunIntId);
    m_receiveFullInt.AttachTo(page, kReceiveFullIntId);
    for (int buffer = 0; buffer < 3; ++buffer)
        m_transmitEmptyInt[static_cast<std::size_t>(buffer)].AttachTo(
            page, kFirstTransmitEmptyIntId + buffer);
    m_filterMode.AttachTo(page, kFilterModeId);
    m_shownRate.clear();
    m_shownFilterMode = -1;
    for (auto& filter : m_filters) {
        filter->Detach();
        if (CModuleSubDlg* placed =
                page.StackSubPage(kFirstFilterPageId + filter->Filter(), CpmLSCAN_FiltDlg::Template()))
            filter->Attach(*placed);
    }
    UpdateControlStates();
}

// --- Values ---

hwc::tLscanTiming CpmLSCAN::Timing() const {
    const std::uint32_t btr0 = Item(kBtr0Item).dwValue;
    const std::uint32_t btr1 = Item(kBtr1Item).dwValue;
    hwc::tLscanTiming timing;
    timing.prescaler = Field(btr0, kPrescalerLow, kPrescalerHigh) + 1;
    timing.sjw = Field(btr0, kSjwLow, kSjwHigh) + 1;
    timing.tseg1 = Field(btr1, kTseg1Low, kTseg1High) + 1;
    timing.tseg2 = Field(btr1, kTseg2Low, kTseg2High) + 1;
    return timing;
}

void CpmLSCAN::SetTiming(const hwc::tLscanTiming& timing) {
    std::uint32_t& btr0 = Item(kBtr0Item).dwValue;
    std::uint32_t& btr1 = Item(kBtr1Item).dwValue;
    SetField(btr0, kPrescalerLow, kPrescalerHigh, timing.prescaler - 1);
    SetField(btr0, kSjwLow, kSjwHigh, timing.sjw - 1);
    SetField(btr1, kTseg1Low, kTseg1High, timing.tseg1 - 1);
    SetField(btr1, kTseg2Low, kTseg2High, timing.tseg2 - 1);
}

bool CpmLSCAN::IsEnabled() const {
    return ((Item(kCtl1Item).dwValue >> kEnableBit) & 1u) != 0;
}

bool CpmLSCAN::UsesBusClock() const {
    return ((Item(kCtl1Item).dwValue >> kClockSourceBit) & 1u) != 0;
}

double CpmLSCAN::SourceClockMHz() const {
    const double mhz = UsesBusClock() ? GetBusClock() : hwc::OscillatorInputClockMHz(*this);
    return mhz > 0.0 ? mhz : 0.0;
}

double CpmLSCAN::BitRate() const {
    const hwc::tLscanTiming timing = Timing();
    return hwc::CanBitRate(hwc::CanQuantumClockMHz(SourceClockMHz(), timing.prescaler),
                           hwc::LscanTotalQuanta(timing));
}

int CpmLSCAN::FilterMode() const {
    return Field(Item(kIdacItem).dwValue, kFilterModeLow, kFilterModeHigh);
}

std::array<std::uint8_t, 8> CpmLSCAN::FilterBytes(int which) const {
    const int first = which == 0 ? kFirstIdarItem : kFirstIdmrItem;
    std::array<std::uint8_t, 8> bytes{};
    for (int i = 0; i < 8; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(Item(first + i).dwValue);
    return bytes;
}

void CpmLSCAN::SetFilterBytes(int which, const std::array<std::uint8_t, 8>& bytes) {
    const int first = which == 0 ? kFirstIdarItem : kFirstIdmrItem;
    for (int i = 0; i < 8; ++i)
        Item(first + i).dwValue = bytes[static_cast<std::size_t>(i)];
}

bool CpmLSCAN::IsPinFunctionUsed(const std::string& signal) const {
    // The transmit and receive pins carry the bus only while the controller is enabled.
    if (hwc::EqualsNoCase(signal, "CANTX") || hwc::EqualsNoCase(signal, "CANRX"))
        return IsEnabled();
    return true;
}

// --- Derived values ---

void CpmLSCAN::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    const hwc::tLscanTiming timing = Timing();
    const int quanta = hwc::LscanTotalQuanta(timing);
    const double source = SourceClockMHz();
    ShowFrequency(kSourceClockId, source * 1000000.0, true, "???");
    const hwc::tCanQuantumTexts quantum =
        hwc::CanQuantumTexts(hwc::CanQuantumClockMHz(source, timing.prescaler));
    page->SetControlText(kQuantumClockId, quantum.clock);
    page->SetControlText(kQuantumLengthId, quantum.length);
    page->SetControlText(kQuantaId, std::to_string(quanta));
    std::string rate;
    ShowFrequency(0, BitRate(), true, "???", nullptr, &rate);
    // Only a changed rate replaces the edit, so that a typed target survives a recalculation.
    if (rate != m_shownRate) {
        page->SetControlText(kBitRateId, rate);
        m_shownRate = rate;
    }
    page->SetControlText(kSamplePointId, hwc::CanSamplePointText(1 + timing.tseg1, quanta));
    page->SetControlText(kGraphId, hwc::FormatBitGraph(hwc::LscanBitGraph(timing)));
    FindCandidates(false);
}

void CpmLSCAN::FindCandidates(bool fromButton) {
    CPage* page = Page();
    if (!page)
        return;
    CPageControl* list = page->FindControl(kCandidatesId);
    const CPageControl* edit = page->FindControl(kBitRateId);
    if (!list || !edit)
        return;
    const double clockHz = SourceClockMHz() * 1000000.0;
    const double target = hwc::CanTargetRate(edit->Text(), clockHz);
    const std::vector<hwc::tLscanCandidate> rows = hwc::LscanCandidates(clockHz, target);
    std::vector<std::string> items;
    items.reserve(rows.size());
    for (const hwc::tLscanCandidate& row : rows)
        items.push_back(hwc::LscanCandidateRow(row));
    // Each warnings pass recomputes the list: an unchanged list is left as it is.
    if (list->Items() != items)
        list->SetItems(std::move(items));
    const hwc::tLscanTiming timing = Timing();
    int selection = -1;
    if (!fromButton) {
        for (std::size_t i = 0; i < rows.size() && selection < 0; ++i) {
            const hwc::tLscanCandidate& row = rows[i];
            if (row.prescaler == timing.prescaler && row.tseg1 == timing.tseg1 &&
                row.tseg2 == timing.tseg2 && row.sjw == timing.sjw)
                selection = static_cast<int>(i);
        }
    } else if (rows.empty()) {
        hwc::ShowMessage("This baud rate can not be achieved.");
    } else {
        for (std::size_t i = 0; i < rows.size() && selection < 0; ++i) {
            if (rows[i].prescaler == timing.prescaler)
                selection = static_cast<int>(i);
        }
        if (selection < 0) {
            hwc::ShowMessage("The prescaler must be changed to achieve this baud rate !");
            selection = 0;
        }
    }
    if (list->Selection() != selection)
        list->SetSelection(selection);
}

void CpmLSCAN::ChooseCandidate(int row) {
    CPage* page = Page();
    const CPageControl* list = page ? page->FindControl(kCandidatesId) : nullptr;
    if (!list || row < 0 || row >= static_cast<int>(list->Items().size()))
        return;
    const hwc::tLscanCandidate chosen =
        hwc::ParseLscanCandidateRow(list->Items()[static_cast<std::size_t>(row)]);
    if (chosen.prescaler == 0)
        return;
    SetTiming({chosen.prescaler, chosen.tseg1, chosen.tseg2, chosen.sjw});
    for (CSetValue* field : {&m_prescaler, &m_tseg1, &m_tseg2, &m_sjw})
        field->Refresh();
    if (Host())
        Host()->UpdateAllViews(this, hwc::kHintValueWritten, nullptr);
}

void CpmLSCAN::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    CPage* page = Page();
    const bool own = page && &control.Page() == page;
    if (own && control.Id() == kCandidatesId && event == EControlEvent::SelectionChanged) {
        ChooseCandidate(control.Selection());
        CheckWarnings();
    } else if (own && control.Id() == kBitRateButtonId && event == EControlEvent::Clicked) {
        FindCandidates(true);
    } else if (own && control.Id() == kBitRateId && event == EControlEvent::TextChanged) {
        FindCandidates(false);
    } else if (own && event == EControlEvent::TextChanged) {
        switch (control.Id()) {
        case kPrescalerId:
        case kTseg1Id:
        case kTseg2Id:
        case kSjwId:
            CheckWarnings();
            break;
        default:
            break;
        }
    } else if (own && (control.Id() == kClockSourceId || control.Id() == kFilterModeId)) {
        CheckWarnings();
    }
    // A filter's identifier or mask, or the mode, changes the decoded lines.
    UpdateControlStates();
}

void CpmLSCAN::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const int count = hwc::LscanFilterCount(FilterMode());
    const int shown = count != 0 ? count : hwc::LscanFilterCount(hwc::kLscanTwo32);
    // The numbers are rewritten only when the mode changes their width, not while typed.
    const bool modeChanged = FilterMode() != m_shownFilterMode;
    m_shownFilterMode = FilterMode();
    for (auto& filter : m_filters) {
        page->ShowControl(kFirstFilterPageId + filter->Filter(), filter->Filter() < shown);
        if (CModuleSubDlg* sub = filter->Page())
            sub->SetVisible(filter->Filter() < shown);
        filter->Refresh(modeChanged);
    }
}

void CpmLSCAN::CheckWarnings() {
    // A controller the header does not hold keeps its reset timing, which is no one's choice.
    std::vector<hwc::tLscanRuleBreak> broken;
    if (IsSelected())
        broken = hwc::CheckLscanTiming(Timing());
    const auto raise = [&](hwc::ELscanRule rule, int labelId, const char* caption) {
        std::string message;
        for (const hwc::tLscanRuleBreak& item : broken) {
            if (item.rule == rule) {
                message = item.message;
                break;
            }
        }
        SetWarning(*this, labelId, !message.empty(), caption, message);
    };
    raise(hwc::ELscanRule::Quanta, kQuantaLabelId, kQuantaCaption);
    raise(hwc::ELscanRule::Tseg1, kTseg1LabelId, kTseg1Caption);
    raise(hwc::ELscanRule::Tseg2, kTseg2LabelId, kTseg2Caption);
    raise(hwc::ELscanRule::Sjw, kSjwLabelId, kSjwCaption);
    CModule::CheckWarnings();
}
