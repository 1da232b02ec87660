#include "modules/system/CpmEDMA.h"

#include <algorithm>
#include <string>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleSubDlg.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CR_INIT", 0, DW32},
    {"ERQ_INIT", 0, DW32},
    {"EEI_INIT", 0, DW32},
    {"EARS_INIT", 0, DW32},
    // Out of reset every channel has a priority of its own, channel 0 the highest.
    {"DCHPRI0_INIT", 3, DW8},
    {"DCHPRI1_INIT", 2, DW8},
    {"DCHPRI2_INIT", 1, DW8},
    {"DCHPRI3_INIT", 0, DW8},
    // The transfer control descriptor of each channel.
    {"TCD0_SARDR_INIT", 0, DW32},
    {"TCD0_SOFF_INIT", 0, DW16},
    {"TCD0_ATTR_INIT", 0, DW16},
    {"TCD0_NBYTES_MLOFFNO_INIT", 0, DW32},
    {"TCD0_SLAST_INIT", 0, DW32},
    {"TCD0_DARDR_INIT", 0, DW32},
    {"TCD0_DOFF_INIT", 0, DW16},
    {"TCD0_CITER_ELINKNO_INIT", 0, DW16},
    {"TCD0_DLASTSGA_INIT", 0, DW32},
    {"TCD0_CSR_INIT", 0, DW16},
    {"TCD0_CH_MUX_INIT", 0, DW8},
    {"TCD0_BITER_ELINKNO_INIT", 0, DW16},
    {"TCD1_SARDR_INIT", 0, DW32},
    {"TCD1_SOFF_INIT", 0, DW16},
    {"TCD1_ATTR_INIT", 0, DW16},
    {"TCD1_NBYTES_MLOFFNO_INIT", 0, DW32},
    {"TCD1_SLAST_INIT", 0, DW32},
    {"TCD1_DARDR_INIT", 0, DW32},
    {"TCD1_DOFF_INIT", 0, DW16},
    {"TCD1_CITER_ELINKNO_INIT", 0, DW16},
    {"TCD1_DLASTSGA_INIT", 0, DW32},
    {"TCD1_CSR_INIT", 0, DW16},
    {"TCD1_CH_MUX_INIT", 0, DW8},
    {"TCD1_BITER_ELINKNO_INIT", 0, DW16},
    {"TCD2_SARDR_INIT", 0, DW32},
    {"TCD2_SOFF_INIT", 0, DW16},
    {"TCD2_ATTR_INIT", 0, DW16},
    {"TCD2_NBYTES_MLOFFNO_INIT", 0, DW32},
    {"TCD2_SLAST_INIT", 0, DW32},
    {"TCD2_DARDR_INIT", 0, DW32},
    {"TCD2_DOFF_INIT", 0, DW16},
    {"TCD2_CITER_ELINKNO_INIT", 0, DW16},
    {"TCD2_DLASTSGA_INIT", 0, DW32},
    {"TCD2_CSR_INIT", 0, DW16},
    {"TCD2_CH_MUX_INIT", 0, DW8},
    {"TCD2_BITER_ELINKNO_INIT", 0, DW16},
    {"TCD3_SARDR_INIT", 0, DW32},
    {"TCD3_SOFF_INIT", 0, DW16},
    {"TCD3_ATTR_INIT", 0, DW16},
    {"TCD3_NBYTES_MLOFFNO_INIT", 0, DW32},
    {"TCD3_SLAST_INIT", 0, DW32},
    {"TCD3_DARDR_INIT", 0, DW32},
    {"TCD3_DOFF_INIT", 0, DW16},
    {"TCD3_CITER_ELINKNO_INIT", 0, DW16},
    {"TCD3_DLASTSGA_INIT", 0, DW32},
    {"TCD3_CSR_INIT", 0, DW16},
    {"TCD3_CH_MUX_INIT", 0, DW8},
    {"TCD3_BITER_ELINKNO_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));
static_assert(kRegisterCount == CpmEDMA::TcdItem(CpmEDMA::kChannelCount, CpmEDMA::kSardr));

// Control register (CR).
constexpr int kRoundRobinBit = 2;
constexpr int kHaltOnErrorBit = 4;
constexpr int kMinorLoopMappingBit = 7;
// Channel priority registers (DCHPRIn).
constexpr int kPriorityLow = 0, kPriorityHigh = 3;
constexpr int kNoPreemptionBit = 6;
constexpr int kPreemptableBit = 7;
// Transfer attributes (ATTR).
constexpr int kDestinationSizeLow = 0, kDestinationSizeHigh = 2;
constexpr int kDestinationModuloLow = 3, kDestinationModuloHigh = 7;
constexpr int kSourceSizeLow = 8, kSourceSizeHigh = 10;
constexpr int kSourceModuloLow = 11, kSourceModuloHigh = 15;
// Minor loop byte count (NBYTES_MLOFFNO): with minor loop mapping, bits 31 and 30 enable the
// minor loop offset, which then takes bits 10 to 29.
constexpr int kByteCountHigh = 29;
constexpr int kMappedByteCountHigh = 9;
constexpr std::uint32_t kOffsetEnableBits = 0xC0000000u;
// Major loop counts (CITER, BITER): a channel link on minor loops leaves 9 bits to the count.
constexpr int kIterationHigh = 14;
constexpr int kLinkedIterationHigh = 8;
constexpr int kMinorLinkBit = 15;
// Control and status (CSR).
constexpr int kStartBit = 0;
constexpr int kMajorInterruptBit = 1;
constexpr int kHalfInterruptBit = 2;
constexpr int kDisableRequestBit = 3;
constexpr int kScatterGatherBit = 4;
constexpr int kMajorLinkBit = 5;
constexpr int kMajorLinkChannelLow = 8, kMajorLinkChannelHigh = 9;
// Channel multiplexer (CH_MUX).
constexpr int kRequestLow = 0, kRequestHigh = 5;

// The size codes the list offers and their names; 3, 6 and 7 are reserved.
constexpr int kSizeCodes[] = {0, 1, 2, 4, 5};
const std::vector<std::string> kSizeNames = {"8-bit", "16-bit", "32-bit", "16-byte burst",
                                             "32-byte burst"};

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    const std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u;
    return (value >> low) & mask;
}

std::vector<std::string> ModuloItems() {
    std::vector<std::string> items = {"disabled"};
    for (int power = 1; power < 32; ++power) {
        const unsigned bytes = 1u << power;
        if (power < 10)
            items.push_back(Format("%u bytes", bytes));
        else if (power < 20)
            items.push_back(Format("%u KB", bytes >> 10));
        else if (power < 30)
            items.push_back(Format("%u MB", bytes >> 20));
        else
            items.push_back(Format("%u GB", bytes >> 30));
    }
    return items;
}

std::vector<std::string> PriorityItems() {
    std::vector<std::string> items;
    for (int priority = 0; priority <= 15; ++priority)
        items.push_back(std::to_string(priority));
    return items;
}

std::vector<std::string> ChannelNames() {
    std::vector<std::string> items;
    for (int channel = 0; channel < CpmEDMA::kChannelCount; ++channel)
        items.push_back(Format("DMA channel %d", channel));
    return items;
}

std::unique_ptr<CDialogTemplate> MakeChannelTemplate(int channel) {
    using D = CpmEDMA_Dlg;
    using hwc::NaturalRow;
    return std::make_unique<CDialogTemplate>(
        D::kTemplateId,
        std::initializer_list<tLayoutItem>{dlg::Group(
            Format("DMA channel %d", channel),
            {NaturalRow({dlg::CheckBox(D::kEnableRequestId, "Enable request"),
                         dlg::CheckBox(D::kErrorInterruptId, "Error interrupt"),
                         dlg::CheckBox(D::kAsyncRequestId, "Asynchronous request in stop mode")}),
             NaturalRow({dlg::Label("Request source:"), dlg::DropList(D::kRequestSourceId)}),
             NaturalRow({dlg::Label("Channel priority:"),
                         dlg::DropList(D::kPriorityId, PriorityItems()),
                         dlg::CheckBox(D::kPreemptableId, "Can be preempted"),
                         dlg::CheckBox(D::kNoPreemptionId, "Cannot preempt other channels")}),
             dlg::Label("", D::kPriorityWarningId),
             NaturalRow({dlg::Label("Source address:"), dlg::Edit(D::kSourceAddressId)}),
             NaturalRow({dlg::Label("Source offset:"), dlg::Edit(D::kSourceOffsetId)}),
             NaturalRow({dlg::Label("Source size:"), dlg::DropList(D::kSourceSizeId),
                         dlg::Label("Source modulo:"),
                         dlg::DropList(D::kSourceModuloId, ModuloItems())}),
             NaturalRow(
                 {dlg::Label("Source adjustment after major loop:"), dlg::Edit(D::kSourceLastId)}),
             NaturalRow({dlg::Label("Destination address:"), dlg::Edit(D::kDestinationAddressId)}),
             NaturalRow({dlg::Label("Destination offset:"), dlg::Edit(D::kDestinationOffsetId)}),
             NaturalRow({dlg::Label("Destination size:"), dlg::DropList(D::kDestinationSizeId),
                         dlg::Label("Destination modulo:"),
                         dlg::DropList(D::kDestinationModuloId, ModuloItems())}),
             NaturalRow({dlg::Label("Destination adjustment or scatter-gather address:"),
                         dlg::Edit(D::kDestinationLastId)}),
             dlg::Label("", D::kSizeWarningId), dlg::Label("", D::kSourceOffsetWarningId),
             dlg::Label("", D::kDestinationOffsetWarningId),
             NaturalRow({dlg::Label("Minor loop bytes (NBYTES):"), dlg::Edit(D::kByteCountId)}),
             dlg::Label("", D::kByteCountWarningId),
             NaturalRow(
                 {dlg::Label("Major loop count (CITER):"), dlg::Edit(D::kCurrentIterationId)}),
             NaturalRow({dlg::Label("Beginning count (BITER):"), dlg::Edit(D::kBeginIterationId)}),
             dlg::Label("", D::kIterationWarningId),
             NaturalRow({dlg::Label("Bytes per major loop:"), dlg::ReadOnly(D::kMajorLoopBytesId)}),
             NaturalRow({dlg::CheckBox(D::kStartId, "Start by software"),
                         dlg::CheckBox(D::kMajorInterruptId, "Interrupt at major loop end"),
                         dlg::CheckBox(D::kHalfInterruptId, "Interrupt at half major loop")}),
             NaturalRow({dlg::CheckBox(D::kDisableRequestId, "Disable request at major loop end"),
                         dlg::CheckBox(D::kScatterGatherId, "Scatter-gather")}),
             NaturalRow({dlg::CheckBox(D::kMajorLinkId, "Link at major loop end to:"),
                         dlg::DropList(D::kMajorLinkChannelId, ChannelNames())}),
             // The heading's columns line up with the interrupt row's below.
             dlg::Row({dlg::Label("Interrupt Source", D::kHeadingSourceId),
                       dlg::Label("ISR Name:", D::kHeadingNameId),
                       dlg::Label("Priority:", D::kHeadingPriorityId)}),
             dlg::Placeholder(CModule::kFirstRowPlaceholderId)})});
}

} // namespace

// --- Channel page ---

CpmEDMA_Dlg::CpmEDMA_Dlg(CpmEDMA& module, int channel) : m_module(module), m_channel(channel) {}

const CDialogTemplate& CpmEDMA_Dlg::Template() const {
    static const std::array<std::unique_ptr<CDialogTemplate>, CpmEDMA::kChannelCount> templates = {
        MakeChannelTemplate(0), MakeChannelTemplate(1), MakeChannelTemplate(2),
        MakeChannelTemplate(3)};
    return *templates.at(static_cast<std::size_t>(m_channel));
}

int CpmEDMA_Dlg::PageControlId(int id) const {
    return CPage::SubPageControlId(CpmEDMA::kFirstChannelPageId + m_channel, id);
}

std::vector<std::string> CpmEDMA_Dlg::RequestItems() const {
    std::vector<std::string> items;
    for (int request = 0; request < CpmEDMA::kRequestCount; ++request) {
        const std::string label = m_module.RequestLabel(m_channel, request);
        items.push_back(label.empty() ? Format("Req %2d", request)
                                      : Format("Req %2d: %s", request, label.c_str()));
    }
    return items;
}

void CpmEDMA_Dlg::Bind() {
    using M = CpmEDMA;
    const int n = m_channel;
    const std::string prefix = Format("DMA Channel %d:", n);
    const char* p = prefix.c_str();
    auto tcd = [&](M::ETcdItem item) -> tPerCfgItem& { return m_module.Item(M::TcdItem(n, item)); };
    m_enableRequest.Bind(m_module.Item(M::kErqItem), n, false, Format("DMA Channel %d", n).c_str());
    m_errorInterrupt.Bind(m_module.Item(M::kEeiItem), n, false, p);
    m_asyncRequest.Bind(m_module.Item(M::kEarsItem), n, false, p);
    m_requestSource.Bind(tcd(M::kChMux), kRequestLow, kRequestHigh, 0, p);
    m_requestSource.SetItems({}, RequestItems());
    tPerCfgItem& priority = m_module.Item(M::PriorityItem(n));
    m_priority.Bind(priority, kPriorityLow, kPriorityHigh, 0, p);
    m_preemptable.Bind(priority, kPreemptableBit, false, p);
    m_noPreemption.Bind(priority, kNoPreemptionBit, false, p);

    m_sourceAddress.Bind(tcd(M::kSardr), 0, 31, 0, (prefix + " Source address").c_str(), true, 0,
                         0xFFFFFFFFu, true);
    m_sourceOffset.Bind(tcd(M::kSoff), 0, 15, 0, (prefix + " Source offset").c_str(), false, 0,
                        0xFFFFu, true);
    hwc::UseSignedText(m_sourceOffset, 16);
    tPerCfgItem& attr = tcd(M::kAttr);
    m_sourceSize.Bind(attr, kSourceSizeLow, kSourceSizeHigh, 0, p, kSizeCodes);
    m_sourceSize.SetItems(kSizeCodes, kSizeNames);
    m_sourceModulo.Bind(attr, kSourceModuloLow, kSourceModuloHigh, 0, p);
    m_sourceLast.Bind(tcd(M::kSlast), 0, 31, 0, (prefix + " Source adjustment").c_str(), false, 0,
                      0xFFFFFFFFu, true);
    hwc::UseSignedText(m_sourceLast, 32);
    m_destinationAddress.Bind(tcd(M::kDardr), 0, 31, 0, (prefix + " Destination address").c_str(),
                              true, 0, 0xFFFFFFFFu, true);
    m_destinationOffset.Bind(tcd(M::kDoff), 0, 15, 0, (prefix + " Destination offset").c_str(),
                             false, 0, 0xFFFFu, true);
    hwc::UseSignedText(m_destinationOffset, 16);
    m_destinationSize.Bind(attr, kDestinationSizeLow, kDestinationSizeHigh, 0, p, kSizeCodes);
    m_destinationSize.SetItems(kSizeCodes, kSizeNames);
    m_destinationModulo.Bind(attr, kDestinationModuloLow, kDestinationModuloHigh, 0, p);
    m_destinationLast.Bind(tcd(M::kDlastsga), 0, 31, 0,
                           (prefix + " Destination adjustment").c_str(), false, 0, 0xFFFFFFFFu,
                           true);
    hwc::UseSignedText(m_destinationLast, 32);

    m_byteCount.Bind(tcd(M::kNbytes), 0, kByteCountHigh, 0, (prefix + " Minor loop bytes").c_str(),
                     false, 0, 0, true);
    m_currentIteration.Bind(tcd(M::kCiter), 0, kIterationHigh, 0,
                            (prefix + " Major loop count").c_str(), false, 0, 0, true);
    m_beginIteration.Bind(tcd(M::kBiter), 0, kIterationHigh, 0,
                          (prefix + " Beginning major loop count").c_str(), false, 0, 0, true);
    tPerCfgItem& csr = tcd(M::kCsr);
    m_start.Bind(csr, kStartBit, false, p);
    m_majorInterrupt.Bind(csr, kMajorInterruptBit, false, p);
    m_halfInterrupt.Bind(csr, kHalfInterruptBit, false, p);
    m_disableRequest.Bind(csr, kDisableRequestBit, false, p);
    m_scatterGather.Bind(csr, kScatterGatherBit, false, p);
    m_majorLink.Bind(csr, kMajorLinkBit, false, p);
    m_majorLinkChannel.Bind(csr, kMajorLinkChannelLow, kMajorLinkChannelHigh, 0,
                            (prefix + " Major loop link channel").c_str());
}

void CpmEDMA_Dlg::Attach(CModuleSubDlg& page) {
    m_enableRequest.AttachTo(page, kEnableRequestId);
    m_errorInterrupt.AttachTo(page, kErrorInterruptId);
    m_asyncRequest.AttachTo(page, kAsyncRequestId);
    m_requestSource.AttachTo(page, kRequestSourceId);
    m_priority.AttachTo(page, kPriorityId);
    m_preemptable.AttachTo(page, kPreemptableId);
    m_noPreemption.AttachTo(page, kNoPreemptionId);
    m_sourceAddress.AttachTo(page, kSourceAddressId);
    m_sourceOffset.AttachTo(page, kSourceOffsetId);
    m_sourceSize.AttachTo(page, kSourceSizeId);
    m_sourceModulo.AttachTo(page, kSourceModuloId);
    m_sourceLast.AttachTo(page, kSourceLastId);
    m_destinationAddress.AttachTo(page, kDestinationAddressId);
    m_destinationOffset.AttachTo(page, kDestinationOffsetId);
    m_destinationSize.AttachTo(page, kDestinationSizeId);
    m_destinationModulo.AttachTo(page, kDestinationModuloId);
    m_destinationLast.AttachTo(page, kDestinationLastId);
    m_byteCount.AttachTo(page, kByteCountId);
    m_currentIteration.AttachTo(page, kCurrentIterationId);
    m_beginIteration.AttachTo(page, kBeginIterationId);
    m_start.AttachTo(page, kStartId);
    m_majorInterrupt.AttachTo(page, kMajorInterruptId);
    m_halfInterrupt.AttachTo(page, kHalfInterruptId);
    m_disableRequest.AttachTo(page, kDisableRequestId);
    m_scatterGather.AttachTo(page, kScatterGatherId);
    m_majorLink.AttachTo(page, kMajorLinkId);
    m_majorLinkChannel.AttachTo(page, kMajorLinkChannelId);
    page.ShowControls({kPriorityWarningId, kSizeWarningId, kSourceOffsetWarningId,
                       kDestinationOffsetWarningId, kByteCountWarningId, kIterationWarningId},
                      false);
    const bool interrupt = m_module.ChannelInterruptRow(m_channel).vector != 0;
    page.ShowControls(
        {kHeadingSourceId, kHeadingNameId, kHeadingPriorityId, CModule::kFirstRowPlaceholderId},
        interrupt);
}

void CpmEDMA_Dlg::AddCommentItems(std::vector<COMMENTITEM>& items) {
    items.push_back({&m_enableRequest, 0});
    if (!m_module.ChannelActive(m_channel))
        return;
    for (ISummarySource* binding : std::initializer_list<ISummarySource*>{
             &m_requestSource, &m_priority, &m_sourceAddress, &m_sourceOffset, &m_sourceSize,
             &m_destinationAddress, &m_destinationOffset, &m_destinationSize, &m_byteCount,
             &m_beginIteration, &m_majorInterrupt})
        items.push_back({binding, 0});
}

void CpmEDMA_Dlg::SetWarning(int id, bool active, const std::string& text) {
    CModule::SetWarning(m_module, PageControlId(id), active, active ? text : std::string(),
                        active ? text : std::string());
}

void CpmEDMA_Dlg::Recalculate() {
    if (CPageControl* bytes = m_module.FindControl(PageControlId(kMajorLoopBytesId)))
        bytes->SetText(Format("%llu bytes",
                              static_cast<unsigned long long>(m_module.MajorLoopBytes(m_channel))));
}

void CpmEDMA_Dlg::UpdateControlStates(CPage& page) {
    const std::uint32_t csr = m_module.Item(CpmEDMA::TcdItem(m_channel, CpmEDMA::kCsr)).dwValue;
    page.EnableControl(PageControlId(kMajorLinkChannelId), ((csr >> kMajorLinkBit) & 1u) != 0);
}

void CpmEDMA_Dlg::CheckWarnings() {
    using M = CpmEDMA;
    const int n = m_channel;
    // A controller left out of the header stays in its reset state: nothing to warn about.
    if (!m_module.IsSelected()) {
        for (int id : {kSizeWarningId, kSourceOffsetWarningId, kDestinationOffsetWarningId,
                       kByteCountWarningId, kIterationWarningId, kPriorityWarningId})
            SetWarning(id, false, {});
        return;
    }
    const std::uint32_t attr = m_module.Item(M::TcdItem(n, M::kAttr)).dwValue;
    const std::uint32_t sourceSize = M::TransferBytes(Field(attr, kSourceSizeLow, kSourceSizeHigh));
    const std::uint32_t destinationSize =
        M::TransferBytes(Field(attr, kDestinationSizeLow, kDestinationSizeHigh));
    SetWarning(kSizeWarningId, sourceSize == 0 || destinationSize == 0,
               Format("Channel %d uses a reserved transfer size code", n));

    // Offsets must keep every access aligned to its size; a reserved size has none to check.
    const std::int64_t sourceOffset =
        hwc::SignedField(m_module.Item(M::TcdItem(n, M::kSoff)).dwValue, 16);
    const std::int64_t destinationOffset =
        hwc::SignedField(m_module.Item(M::TcdItem(n, M::kDoff)).dwValue, 16);
    const bool sourceMisaligned = sourceSize != 0 && sourceOffset % sourceSize != 0;
    SetWarning(kSourceOffsetWarningId, sourceMisaligned,
               Format("The source offset of channel %d (%lld) is not a multiple of the source "
                      "transfer size (%u bytes)",
                      n, static_cast<long long>(sourceOffset), sourceSize));
    const bool destinationMisaligned =
        destinationSize != 0 && destinationOffset % destinationSize != 0;
    SetWarning(kDestinationOffsetWarningId, destinationMisaligned,
               Format("The destination offset of channel %d (%lld) is not a multiple of the "
                      "destination transfer size (%u bytes)",
                      n, static_cast<long long>(destinationOffset), destinationSize));

    const std::uint32_t bytes = m_module.MinorLoopBytes(n);
    const std::uint32_t largest = std::max(sourceSize, destinationSize);
    bool countWarning = false;
    std::string countText;
    if (bytes == 0) {
        countWarning = m_module.ChannelActive(n);
        countText = Format("The minor loop byte count (NBYTES) of channel %d is 0", n);
    } else if (sourceSize != 0 && destinationSize != 0 && bytes % largest != 0) {
        countWarning = true;
        countText = Format("The minor loop byte count (NBYTES) of channel %d (%u) is not a "
                           "multiple of the transfer size (%u bytes)",
                           n, bytes, largest);
    }
    SetWarning(kByteCountWarningId, countWarning, countText);

    const std::uint32_t citer = m_module.Item(M::TcdItem(n, M::kCiter)).dwValue & 0xFFFFu;
    const std::uint32_t biter = m_module.Item(M::TcdItem(n, M::kBiter)).dwValue & 0xFFFFu;
    SetWarning(kIterationWarningId, citer != biter,
               Format("The beginning major loop count (BITER 0x%04X) of channel %d differs from "
                      "its current count (CITER 0x%04X)",
                      biter, n, citer));

    // Fixed-priority arbitration needs a priority of its own for each channel that runs.
    std::string clash;
    if (!m_module.RoundRobin() && m_module.ChannelBit(M::kErqItem, n)) {
        const std::uint32_t own =
            Field(m_module.Item(M::PriorityItem(n)).dwValue, kPriorityLow, kPriorityHigh);
        for (int other = 0; other < M::kChannelCount && clash.empty(); ++other) {
            if (other == n || !m_module.ChannelBit(M::kErqItem, other))
                continue;
            if (Field(m_module.Item(M::PriorityItem(other)).dwValue, kPriorityLow, kPriorityHigh) ==
                own)
                clash = Format("DMA channel %d is enabled with priority %u, as is channel %d", n,
                               own, other);
        }
    }
    SetWarning(kPriorityWarningId, !clash.empty(), clash);
}

// --- Module ---

CpmEDMA::CpmEDMA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    // The interrupt list gives a vector per channel, then the error vector.
    const std::vector<int> vectors = hwc::ParseInterruptVectors(Descriptor().InterruptList());
    for (int channel = 0; channel < kChannelCount; ++channel) {
        m_dialogs[channel] = std::make_unique<CpmEDMA_Dlg>(*this, channel);
        const int vector =
            static_cast<std::size_t>(channel) < vectors.size() ? vectors[channel] : 0;
        m_rows[channel] = CInterruptRow{vector};
    }
    RebuildCommentItems();
}

void CpmEDMA::RebuildCommentItems() {
    std::vector<COMMENTITEM> items = {
        {&m_minorLoopMapping, 0}, {&m_haltOnError, 0}, {&m_roundRobin, 0}};
    for (auto& dialog : m_dialogs)
        dialog->AddCommentItems(items);
    ClearCommentItems();
    AddCommentItems(items);
}

void CpmEDMA::GetSummary(std::string& text) const {
    // The entries follow which channels run now.
    const_cast<CpmEDMA*>(this)->RebuildCommentItems();
    CModule::GetSummary(text);
}

CpmEDMA::~CpmEDMA() = default;

std::uint32_t CpmEDMA::TransferBytes(std::uint32_t code) {
    switch (code) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 2:
        return 4;
    case 4:
        return 16;
    case 5:
        return 32;
    default:
        return 0;
    }
}

std::string CpmEDMA::RequestLabel(int channel, int request) const {
    if (channel < 0 || channel >= kChannelCount || request < 0)
        return {};
    const std::vector<std::string>& labels = m_sources[channel].labels;
    return static_cast<std::size_t>(request) < labels.size() ? labels[request] : std::string();
}

bool CpmEDMA::ChannelBit(int item, int channel) const {
    return ((Item(item).dwValue >> channel) & 1u) != 0;
}

bool CpmEDMA::ChannelActive(int channel) const {
    return ChannelBit(kErqItem, channel) ||
           ((Item(TcdItem(channel, kCsr)).dwValue >> kStartBit) & 1u) != 0;
}

bool CpmEDMA::RoundRobin() const {
    return ((Item(kCrItem).dwValue >> kRoundRobinBit) & 1u) != 0;
}

std::uint32_t CpmEDMA::MinorLoopBytes(int channel) const {
    const std::uint32_t value = Item(TcdItem(channel, kNbytes)).dwValue;
    if (((Item(kCrItem).dwValue >> kMinorLoopMappingBit) & 1u) == 0)
        return value;
    return Field(value, 0, (value & kOffsetEnableBits) ? kMappedByteCountHigh : kByteCountHigh);
}

std::uint32_t CpmEDMA::MajorLoopCount(int channel) const {
    const std::uint32_t value = Item(TcdItem(channel, kBiter)).dwValue;
    return Field(value, 0, ((value >> kMinorLinkBit) & 1u) ? kLinkedIterationHigh : kIterationHigh);
}

std::uint64_t CpmEDMA::MajorLoopBytes(int channel) const {
    return static_cast<std::uint64_t>(MinorLoopBytes(channel)) * MajorLoopCount(channel);
}

const CDialogTemplate* CpmEDMA::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Controller",
                    {dlg::CheckBox(kMinorLoopMappingId, "Minor loop mapping"),
                     dlg::CheckBox(kHaltOnErrorId, "Halt on error"),
                     dlg::CheckBox(kRoundRobinId, "Round robin channel arbitration")}),
         dlg::Placeholder(kFirstChannelPageId), dlg::Placeholder(kFirstChannelPageId + 1),
         dlg::Placeholder(kFirstChannelPageId + 2), dlg::Placeholder(kFirstChannelPageId + 3),
         dlg::Group("Error interrupt",
                    {dlg::Placeholder(kFirstHeadingPlaceholderId),
                     dlg::Placeholder(kErrorRowPlaceholderId)},
                    kErrorGroupId)});
    return &page;
}

void CpmEDMA::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    CModule* controller = FindInterruptController();
    for (CInterruptRow& row : m_rows) {
        if (row.vector == 0)
            continue;
        row.controller = controller;
        if (controller)
            controller->AttachInterruptRow(row);
    }
    // The document gives the module its information after creating it.
    m_sources = {};
    for (const std::string& rawLine : hwc::Split(Descriptor().ModuleInfoText(), '\n')) {
        std::string line = rawLine;
        std::erase_if(line, [](char c) { return c == '\t' || c == '"'; });
        hwc::ReadDmaSourceLine(hwc::Split(line, ','), kRequestCount - 1, m_sources);
    }
    tPerCfgItem& cr = Item(kCrItem);
    m_minorLoopMapping.Bind(cr, kMinorLoopMappingBit, false, "");
    m_haltOnError.Bind(cr, kHaltOnErrorBit, false, "");
    m_roundRobin.Bind(cr, kRoundRobinBit, false, "");
    for (auto& dialog : m_dialogs)
        dialog->Bind();
}

void CpmEDMA::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_minorLoopMapping.AttachTo(page, kMinorLoopMappingId);
    m_haltOnError.AttachTo(page, kHaltOnErrorId);
    m_roundRobin.AttachTo(page, kRoundRobinId);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        CpmEDMA_Dlg& dialog = *m_dialogs[channel];
        CModuleSubDlg* placed = page.StackSubPage(kFirstChannelPageId + channel, dialog.Template());
        if (!placed)
            continue;
        dialog.Attach(*placed);
        if (m_rows[channel].vector != 0)
            PlaceInterruptRow(*placed, kFirstRowPlaceholderId, m_rows[channel]);
    }
    // The vector after the channels' is the error interrupt, shown in the module's page.
    const bool errorRow = InterruptRows().size() > static_cast<std::size_t>(kChannelCount);
    page.ShowControls({kErrorGroupId, kFirstHeadingPlaceholderId, kErrorRowPlaceholderId},
                      errorRow);
}

void CpmEDMA::Recalculate() {
    for (auto& dialog : m_dialogs)
        dialog->Recalculate();
}

void CpmEDMA::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    for (auto& dialog : m_dialogs)
        dialog->UpdateControlStates(*page);
}

void CpmEDMA::CheckWarnings() {
    CModule::CheckWarnings();
    for (auto& dialog : m_dialogs)
        dialog->CheckWarnings();
}
