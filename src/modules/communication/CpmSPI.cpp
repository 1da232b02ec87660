#include "modules/communication/CpmSPI.h"

#include <array>
#include <iterator>
#include <memory>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "model/Page.h"
#include "modules/interrupts/InterruptQueries.h"

namespace {

using namespace hwc::RegFlag;

constexpr std::uint32_t kHook = DW8 | STRVALUE | USERDEFINE;
constexpr std::uint32_t kHidden = DUMMYREG | NOSHOWLIST;

// FamG has the older data-size register and writes its control register always.
const tPerCfgDef kFamGRegisters[] = {
    {"SPDSR_INIT", 0, DW16},        {"SPSCR_INIT", 0, DW16 | NODEFAULT},
    {"FIFO_INIT", 0, DW16},         {"DELAY_INIT", 0, DW16},
    {"SPCTL2_INIT", 0, DW16},       {"HIGHLEVEL_MODE", 0, DW8 | DECVALUE | USERDEFINE},
    {"ERROR_HOOK", 0, kHook},       {"RX_CHAR_HOOK", 0, kHook},
    {"TX_CHAR_HOOK", 0, kHook},     {"RX_FINISHED_HOOK", 0, kHook},
    {"TX_FINISHED_HOOK", 0, kHook},
};
const tPerCfgDef kRegisters[] = {
    {"SPDSCR_INIT", 0xF, DW16},     {"SPSCR_INIT", 0x6140, DW16},
    {"FIFO_INIT", 0, DW16},         {"DELAY_INIT", 0, DW16},
    {"SPCTL2_INIT", 0, DW16},       {"HIGHLEVEL_MODE", 0, DW8 | DECVALUE | USERDEFINE},
    {"ERROR_HOOK", 0, kHook},       {"RX_CHAR_HOOK", 0, kHook},
    {"TX_CHAR_HOOK", 0, kHook},     {"RX_FINISHED_HOOK", 0, kHook},
    {"TX_FINISHED_HOOK", 0, kHook},
};
static_assert(std::size(kRegisters) == CpmSPI::kItemCount);
static_assert(std::size(kFamGRegisters) == CpmSPI::kItemCount);

constexpr int kFamB = 100;
constexpr int kFamC = 106;

// Fields of the control register where the groups place them differently.
struct tControlBits {
    int rxInterrupt, shiftOrder, master, polarity, phase, enable, txInterrupt, error, modeFault;
    int divisorLow, divisorHigh;
};
constexpr tControlBits kFamGBits{15, 14, 13, 12, 11, 10, 9, 5, 4, 6, 7};
constexpr tControlBits kBits{9, 12, 8, 7, 6, 5, 4, 11, 10, 13, 15};

// Data-size register fields (SPDSR on FamG has the size and wired-OR mode only).
constexpr int kDataSizeLow = 0;
constexpr int kDataSizeHigh = 3;
constexpr int kIndexTopBit = 4;
constexpr int kSsOverrideBit = 5;
constexpr int kSsAutoBit = 6;
constexpr int kSsStrobeBit = 8;
constexpr int kDoubleBit = 12;
constexpr int kRxDmaBit = 13;
constexpr int kTxDmaBit = 14;
constexpr int kWiredOrBit = 15;
// Queue, delay and second control register fields.
constexpr int kFifoEnableBit = 0;
constexpr int kRxWatermarkLow = 4;
constexpr int kRxWatermarkHigh = 5;
constexpr int kTxWatermarkLow = 8;
constexpr int kTxWatermarkHigh = 9;
constexpr int kDelayHigh = 12;
constexpr std::uint32_t kDelayMax = 8191;
constexpr int kStopHoldOffBit = 0;

// FamG offers four divisors for its two-bit field.
constexpr std::array<std::uint32_t, 4> kFamGDivisors = {2, 8, 16, 32};

constexpr const char* kDoubleCaption = "Multiply Divisor 2x";
constexpr const char* kDriverModeCaption = "Mode of operation:";
constexpr const char* kClaimRefused = "Could not set interrupt vectors required by this mode";

// The driver's routine suffixes by interrupt row.
constexpr std::array<const char*, 2> kRoutineSuffixes = {"RxFullISR", "TxEmptyISR"};

const char* const kHookCaptions[] = {"Error:", "Character received:", "Character sent:",
                                     "Reception finished:", "Transmission finished:"};
constexpr int kHookIds[] = {CpmSPI::kErrorHookId, CpmSPI::kRxCharHookId, CpmSPI::kTxCharHookId,
                            CpmSPI::kRxFinishedHookId, CpmSPI::kTxFinishedHookId};
const char* const kHookDescriptions[] = {"Error hook", "Character received hook",
                                         "Character sent hook", "Reception finished hook",
                                         "Transmission finished hook"};

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

unsigned TemplateForHost() {
    if (HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamF) || HostInGroup(CModule::kFamD))
        return CpmSPI::kNewestTemplateId;
    if (HostInGroup(kFamB) || HostInGroup(kFamC) || HostInGroup(CModule::kFamA))
        return CpmSPI::kQueuedTemplateId;
    return CpmSPI::kBasicTemplateId;
}

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

std::vector<std::string> DivisorTexts(int count, bool famG) {
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i)
        texts.push_back(hwc::Format("/ %u", famG ? kFamGDivisors[i] : 2u << i));
    return texts;
}

// The page of a layout; the slave-select, DMA and queue blocks come with the newer
// controllers, the stop-mode option with the newest.
std::unique_ptr<CDialogTemplate> MakeTemplate(unsigned id) {
    using S = CpmSPI;
    const bool newer = id != S::kBasicTemplateId;
    const bool newest = id == S::kNewestTemplateId;
    tLayoutItem page = dlg::Column({});
    page.children.push_back(dlg::Link(CModule::kPinStatusId, ""));
    page.children.push_back(dlg::Group(
        "Operation",
        {dlg::Row({dlg::CheckBox(S::kEnableId, "SPI Enabled"), dlg::Label("Mode:"),
                   dlg::DropList(S::kMasterId, {"Slave", "Master"})}),
         dlg::Row({dlg::Label("Clock polarity:"),
                   dlg::DropList(S::kPolarityId, {"Active-high clock (idles low)",
                                                  "Active-low clock (idles high)"})}),
         dlg::Row({dlg::Label("Clock phase:"),
                   dlg::DropList(S::kPhaseId, {"Data sampled on the first clock edge",
                                               "Data sampled on the second clock edge"})}),
         dlg::Row({dlg::Label("Shift order:"),
                   dlg::DropList(S::kShiftOrderId, {"MSB first", "LSB first"}),
                   dlg::Label("Data size (bits):"), dlg::Edit(S::kDataSizeId),
                   dlg::UpDown(S::kDataSizeSpinId, 1, 16)}),
         dlg::Row({dlg::CheckBox(S::kWiredOrId, "Wired-OR (open-drain) outputs"),
                   dlg::CheckBox(S::kModeFaultId, "Mode fault detection")})}));
    tLayoutItem rate = dlg::Group("Bit Rate", {});
    tLayoutItem divisorRow = dlg::Row({dlg::Label("Divisor:"), dlg::DropList(S::kDivisorId)});
    if (newer)
        divisorRow.children.push_back(dlg::CheckBox(S::kDoubleDivisorId, kDoubleCaption));
    rate.children.push_back(std::move(divisorRow));
    rate.children.push_back(dlg::Row({dlg::Label("Bit rate:"), dlg::ReadOnly(S::kBitRateId)}));
    page.children.push_back(std::move(rate));
    if (newer) {
        page.children.push_back(dlg::Group(
            "Slave Select",
            {dlg::CheckBox(S::kSsAutoId, "Drive slave select automatically while transmitting"),
             dlg::CheckBox(S::kSsOverrideId, "Override slave select with the pin's input"),
             dlg::CheckBox(S::kSsStrobeId, "Strobe slave select between words")}));
        page.children.push_back(dlg::Group(
            "Queues and Delay",
            {dlg::CheckBox(S::kFifoEnableId, "Enable RX and TX FIFO Queues"),
             dlg::Row({dlg::Label("TX FIFO empty watermark:", S::kTxWatermarkLabelId),
                       dlg::DropList(S::kTxWatermarkId,
                                     {"0 words in FIFO", "1 or less words in FIFO",
                                      "2 or less words in FIFO", "3 or less words in FIFO"})}),
             dlg::Row({dlg::Label("RX FIFO full watermark:", S::kRxWatermarkLabelId),
                       dlg::DropList(S::kRxWatermarkId,
                                     {"at least 1 word in FIFO", "at least 2 words in FIFO",
                                      "at least 3 words in FIFO", "at least 4 words in FIFO"})}),
             dlg::Row({dlg::Label("Inter-word delay (bus clocks):", S::kDelayLabelId),
                       dlg::Edit(S::kDelayId),
                       dlg::UpDown(S::kDelaySpinId, 0, static_cast<std::int32_t>(kDelayMax)),
                       dlg::ReadOnly(S::kDelayTimeId)})},
            S::kQueueGroupId));
        tLayoutItem dma = dlg::Group("DMA and Low Power",
                                     {dlg::Row({dlg::CheckBox(S::kTxDmaId, "Enable TX DMA"),
                                                dlg::CheckBox(S::kRxDmaId, "Enable RX DMA")})});
        if (newest)
            dma.children.push_back(dlg::CheckBox(S::kStopHoldOffId, "Hold off entry to stop mode"));
        page.children.push_back(std::move(dma));
    }
    page.children.push_back(
        dlg::Group("Interrupts", {dlg::Row({dlg::CheckBox(S::kRxInterruptId, "RX Full"),
                                            dlg::CheckBox(S::kTxInterruptId, "TX Empty"),
                                            dlg::CheckBox(S::kErrorInterruptId, "Error")})}));
    tLayoutItem driver = dlg::Group(
        "Driver",
        {dlg::Row({dlg::Label(kDriverModeCaption, S::kDriverModeLabelId),
                   dlg::DropList(S::kDriverModeId, {"Disabled", "Blocking/Non-blocking"})})});
    for (std::size_t i = 0; i < std::size(kHookIds); ++i)
        driver.children.push_back(dlg::Row({dlg::Label(kHookCaptions[i]), dlg::Edit(kHookIds[i])}));
    page.children.push_back(std::move(driver));
    page.children.push_back(dlg::Link(S::kRxUserVectorId, "(user vector information)"));
    page.children.push_back(dlg::Link(S::kTxUserVectorId, "(user vector information)"));
    page.children.push_back(dlg::Placeholder(S::kHeadingPlaceholderId));
    page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId));
    page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId + 1));
    return std::make_unique<CDialogTemplate>(id, std::initializer_list<tLayoutItem>{page});
}

// Marks a control that stays as it is (a list, a check box, a group box) as warning or not and
// hands the warning to the document; unlike the label warnings it never hides the control.
void MarkWarning(CModuleBase& module, int controlId, bool active, const std::string& text) {
    if (CPage* page = module.Page()) {
        if (CPageControl* control = page->FindControl(controlId))
            control->SetTextColour(active ? tColour{128, 0, 0} : tColour{0, 0, 0});
    }
    if (IModuleHost* host = module.Host())
        host->SetWarning(&module, controlId, active, active ? text.c_str() : "", nullptr);
}

} // namespace

CpmSPI::CpmSPI(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, TemplateForHost(), descriptor, nullptr, 0) {
    SetItemCount(kItemCount);
    InitRegisters(nullptr, Items(), kItemCount, InstanceName(), {},
                  IsFamG() ? kFamGRegisters : kRegisters, true);
    if (!HasQueues()) {
        Item(kFifoItem).dwFlags |= kHidden;
        Item(kDelayItem).dwFlags |= kHidden;
    }
    if (!HasControl2())
        Item(kControl2Item).dwFlags |= kHidden;

    AddCommentItems({{&m_enable, 0},
                     {&m_master, 0},
                     {&m_polarity, 0},
                     {&m_phase, 0},
                     {&m_shiftOrder, 0},
                     {&m_dataSize, 0},
                     {&m_wiredOr, 0},
                     {&m_modeFault, 0},
                     {&m_divisor, 0}});
    if (HasDoubling())
        AddCommentItems({{&m_doubleDivisor, 0}});
    if (HasSlaveSelect())
        AddCommentItems({{&m_ssAuto, 0}, {&m_ssOverride, 0}, {&m_ssStrobe, 0}});
    if (HasQueues())
        AddCommentItems(
            {{&m_fifoEnable, 0}, {&m_txWatermark, 0}, {&m_rxWatermark, 0}, {&m_delay, 0}});
    if (HasSlaveSelect())
        AddCommentItems({{&m_txDma, 0}, {&m_rxDma, 0}});
    if (HasControl2())
        AddCommentItems({{&m_stopHoldOff, 0}});
    AddCommentItems(
        {{&m_rxInterrupt, 0}, {&m_txInterrupt, 0}, {&m_errorInterrupt, 0}, {&m_driverMode, 0}});
}

const CDialogTemplate* CpmSPI::DialogTemplate() const {
    static const std::unique_ptr<CDialogTemplate> basic = MakeTemplate(kBasicTemplateId);
    static const std::unique_ptr<CDialogTemplate> queued = MakeTemplate(kQueuedTemplateId);
    static const std::unique_ptr<CDialogTemplate> newest = MakeTemplate(kNewestTemplateId);
    switch (TemplateId()) {
    case kQueuedTemplateId:
        return queued.get();
    case kNewestTemplateId:
        return newest.get();
    default:
        return basic.get();
    }
}

bool CpmSPI::HasFourBitIndex() const {
    return IsProcessorGroup(*this, kFamA) || IsProcessorGroup(*this, kFamC) ||
           IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF) ||
           IsProcessorGroup(*this, kFamD);
}

bool CpmSPI::HasDoubling() const {
    return HasFourBitIndex() || IsProcessorGroup(*this, kFamB);
}

bool CpmSPI::HasQueues() const {
    return IsProcessorGroup(*this, kFamB) || IsProcessorGroup(*this, kFamC) || HasControl2();
}

bool CpmSPI::HasControl2() const {
    return IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF) ||
           IsProcessorGroup(*this, kFamD);
}

bool CpmSPI::HasSlaveSelect() const {
    return TemplateId() != kBasicTemplateId;
}

int CpmSPI::DivisorIndex() const {
    const tControlBits& bits = IsFamG() ? kFamGBits : kBits;
    int index = static_cast<int>(
        Field(Item(kStatusControlItem).dwValue, bits.divisorLow, bits.divisorHigh));
    if (HasFourBitIndex())
        index |= static_cast<int>(Field(Item(kDataItem).dwValue, kIndexTopBit, kIndexTopBit)) << 3;
    return index;
}

void CpmSPI::SetDivisorIndex(int index) {
    const tControlBits& bits = IsFamG() ? kFamGBits : kBits;
    const int width = bits.divisorHigh - bits.divisorLow + 1;
    const std::uint32_t mask = ((1u << width) - 1u) << bits.divisorLow;
    std::uint32_t& control = Item(kStatusControlItem).dwValue;
    control = (control & ~mask) | ((static_cast<std::uint32_t>(index) << bits.divisorLow) & mask);
    if (HasFourBitIndex()) {
        std::uint32_t& data = Item(kDataItem).dwValue;
        data = (data & ~(1u << kIndexTopBit)) |
               (((static_cast<std::uint32_t>(index) >> 3) & 1u) << kIndexTopBit);
    }
}

void CpmSPI::WriteIndex(int value, void* context, int) {
    if (value >= 0)
        static_cast<CpmSPI*>(context)->SetDivisorIndex(value);
}

int CpmSPI::ReadIndex(void* context, int) {
    return static_cast<CpmSPI*>(context)->DivisorIndex();
}

void CpmSPI::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kDataSizeSpinId, 1, 16);
    page.SetSpinRange(kDelaySpinId, 0, static_cast<std::int32_t>(kDelayMax));
    // The queue block exists on the FamA page too, where the controller has no queues.
    if (TemplateId() != kBasicTemplateId && !HasQueues()) {
        page.ShowControls({kQueueGroupId, kFifoEnableId, kTxWatermarkLabelId, kTxWatermarkId,
                           kRxWatermarkLabelId, kRxWatermarkId, kDelayLabelId, kDelayId,
                           kDelaySpinId, kDelayTimeId},
                          false);
    }
    CSetCtrl* const bindings[] = {
        &m_enable,      &m_master,      &m_polarity,       &m_phase,      &m_shiftOrder,
        &m_dataSize,    &m_wiredOr,     &m_modeFault,      &m_divisor,    &m_doubleDivisor,
        &m_ssAuto,      &m_ssOverride,  &m_ssStrobe,       &m_txDma,      &m_rxDma,
        &m_rxInterrupt, &m_txInterrupt, &m_errorInterrupt, &m_fifoEnable, &m_txWatermark,
        &m_rxWatermark, &m_delay,       &m_stopHoldOff,    &m_driverMode, &m_hooks[0],
        &m_hooks[1],    &m_hooks[2],    &m_hooks[3],       &m_hooks[4]};
    const int ids[] = {
        kEnableId,      kMasterId,      kPolarityId,       kPhaseId,         kShiftOrderId,
        kDataSizeId,    kWiredOrId,     kModeFaultId,      kDivisorId,       kDoubleDivisorId,
        kSsAutoId,      kSsOverrideId,  kSsStrobeId,       kTxDmaId,         kRxDmaId,
        kRxInterruptId, kTxInterruptId, kErrorInterruptId, kFifoEnableId,    kTxWatermarkId,
        kRxWatermarkId, kDelayId,       kStopHoldOffId,    kDriverModeId,    kErrorHookId,
        kRxCharHookId,  kTxCharHookId,  kRxFinishedHookId, kTxFinishedHookId};
    static_assert(std::size(bindings) == std::size(ids));
    for (std::size_t i = 0; i < std::size(ids); ++i) {
        if (CPageControl* control = page.FindControl(ids[i]))
            bindings[i]->Attach(*control);
    }
}

void CpmSPI::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    const tControlBits& bits = IsFamG() ? kFamGBits : kBits;
    tPerCfgItem& data = Item(kDataItem);
    tPerCfgItem& control = Item(kStatusControlItem);
    m_enable.Bind(control, bits.enable, false, "SPI enabled");
    m_master.Bind(control, bits.master, bits.master, 0, "Mode");
    m_polarity.Bind(control, bits.polarity, bits.polarity, 0, "Clock polarity");
    m_phase.Bind(control, bits.phase, bits.phase, 0, "Clock phase");
    m_shiftOrder.Bind(control, bits.shiftOrder, bits.shiftOrder, 0, "Shift order");
    m_dataSize.Bind(data, kDataSizeLow, kDataSizeHigh, 1, "Data size (bits)", false, 0, 15, false);
    m_wiredOr.Bind(data, kWiredOrBit, false, "Wired-OR outputs");
    m_modeFault.Bind(control, bits.modeFault, false, "Mode fault detection");
    if (HasFourBitIndex())
        m_divisor.BindCustom(&WriteIndex, &ReadIndex, this, 0, "Divisor");
    else
        m_divisor.Bind(control, bits.divisorLow, bits.divisorHigh, 0, "Divisor");
    const int divisorCount = IsFamG() ? 4 : HasFourBitIndex() ? 16 : 8;
    m_divisor.SetItems({}, DivisorTexts(divisorCount, IsFamG()));
    m_doubleDivisor.Bind(data, kDoubleBit, false, kDoubleCaption);
    m_ssAuto.Bind(data, kSsAutoBit, false, "Slave select driven automatically");
    m_ssOverride.Bind(data, kSsOverrideBit, false, "Slave select overridden");
    m_ssStrobe.Bind(data, kSsStrobeBit, false, "Slave select strobed between words");
    m_txDma.Bind(data, kTxDmaBit, false, "TX DMA");
    m_rxDma.Bind(data, kRxDmaBit, false, "RX DMA");
    m_rxInterrupt.Bind(control, bits.rxInterrupt, false, "RX full interrupt");
    m_txInterrupt.Bind(control, bits.txInterrupt, false, "TX empty interrupt");
    m_errorInterrupt.Bind(control, bits.error, false, "Error interrupt");
    tPerCfgItem& fifo = Item(kFifoItem);
    m_fifoEnable.Bind(fifo, kFifoEnableBit, false, "FIFO queues");
    m_txWatermark.Bind(fifo, kTxWatermarkLow, kTxWatermarkHigh, 0, "TX FIFO watermark");
    m_rxWatermark.Bind(fifo, kRxWatermarkLow, kRxWatermarkHigh, 0, "RX FIFO watermark");
    m_delay.Bind(Item(kDelayItem), 0, kDelayHigh, 0, "Inter-word delay", false, 0, kDelayMax, true);
    m_stopHoldOff.Bind(Item(kControl2Item), kStopHoldOffBit, false, "Hold off stop mode");
    m_driverMode.Bind(Item(kModeItem), 0, 1, 0, "Driver mode");
    for (int i = 0; i < 5; ++i)
        m_hooks[i].Bind(&Item(kFirstHookItem + i), kHookDescriptions[i]);
}

CpmSPI::tDivisor CpmSPI::Divisor() const {
    const int index = DivisorIndex();
    if (IsFamG()) {
        const bool known = index >= 0 && index < static_cast<int>(kFamGDivisors.size());
        return {known ? kFamGDivisors[static_cast<std::size_t>(index)] : 0u, false};
    }
    std::uint32_t divisor = 2u << index;
    if (HasDoubling() && ((Item(kDataItem).dwValue >> kDoubleBit) & 1u))
        divisor *= 2u;
    std::uint32_t limit = 0;
    if (IsProcessorGroup(*this, kFamA))
        limit = 4096;
    else if (IsProcessorGroup(*this, kFamC) || HasControl2())
        limit = 16384;
    if (limit != 0 && divisor > limit)
        return {limit, true};
    return {divisor, false};
}

double CpmSPI::BitRate() const {
    const double clockHz = static_cast<double>(GetBusClock() * 1000000.0f);
    const std::uint32_t divisor = Divisor().value;
    return divisor != 0 ? clockHz / divisor : 0.0;
}

std::string CpmSPI::RoutineName(int row) const {
    if (row < 0 || row >= static_cast<int>(kRoutineSuffixes.size()))
        return {};
    return hwc::Format("Spi%d%s", InstanceNumber(),
                       kRoutineSuffixes[static_cast<std::size_t>(row)]);
}

void CpmSPI::Recalculate() {
    const tDivisor divisor = Divisor();
    if (HasDoubling()) {
        const char* text = IsProcessorGroup(*this, kFamA)
                               ? "Maximum divisor value is 4096; this option will have no effect."
                               : "Maximum divisor value is 16384; this option will have no "
                                 "effect.";
        MarkWarning(*this, kDoubleDivisorId, divisor.limited, text);
    }
    ShowFrequency(kBitRateId, BitRate(), true, "invalid");
    if (HasQueues()) {
        const double clockHz = static_cast<double>(GetBusClock() * 1000000.0f);
        const double delay = Field(Item(kDelayItem).dwValue, 0, kDelayHigh);
        ShowTime(kDelayTimeId, clockHz != 0.0 ? delay / clockHz : 0.0, true, "0");
    }
}

void CpmSPI::ClaimRoutines() {
    m_claimRefused = false;
    const bool claim = Field(Item(kModeItem).dwValue, 0, 1) != kDriverDisabled;
    // Without an interrupt controller nothing is assigned and nothing is refused.
    if (!hwc::FindInterruptControllerOf(*this))
        return;
    const std::vector<CInterruptRow>& rows = InterruptRows();
    for (std::size_t i = 0; i < rows.size() && i < kRoutineSuffixes.size(); ++i) {
        const bool done = hwc::ClaimInterruptVector(*this, rows[i].vector,
                                                    RoutineName(static_cast<int>(i)), claim);
        if (claim && !done)
            m_claimRefused = true;
    }
}

void CpmSPI::UpdateControlStates() {
    ClaimRoutines();
    CPage* page = Page();
    if (!page)
        return;
    if (HasQueues())
        page->EnableControls({kTxWatermarkId, kRxWatermarkId}, m_fifoEnable.IsChecked() == 1);
    const bool driver = Field(Item(kModeItem).dwValue, 0, 1) != kDriverDisabled;
    for (int id : kHookIds)
        page->EnableControl(id, driver);
    // FamA routes these interrupts through user vectors of the controller.
    const bool famA = IsProcessorGroup(*this, kFamA);
    const int links[] = {kRxUserVectorId, kTxUserVectorId};
    for (std::size_t i = 0; i < std::size(links); ++i) {
        if (famA && i < InterruptRows().size())
            hwc::ShowUserVectorNote(*this, links[i], InterruptRows()[i].vector,
                                    "See USER%d (%s) in WINTC module.");
        else
            page->ShowControl(links[i], false);
    }
}

bool CpmSPI::IsPinFunctionUsed(const std::string&) const {
    const tControlBits& bits = IsFamG() ? kFamGBits : kBits;
    return (Item(kStatusControlItem).dwValue >> bits.enable) & 1u;
}

void CpmSPI::CheckWarnings() {
    CModule::CheckWarnings();
    // A cleared warning gives the label its caption back.
    SetWarning(*this, kDriverModeLabelId, m_claimRefused, kDriverModeCaption,
               m_claimRefused ? kClaimRefused : std::string());
}
