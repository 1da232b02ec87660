#include "modules/system/CpmDMA.h"

#include <string>

#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleLink.h"
#include "model/ModuleSubDlg.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"REQC_INIT", 0, DW32},     {"SAR0_INIT", 0, DW32},     {"DAR0_INIT", 0, DW32},
    {"DSR_BCR0_INIT", 0, DW32}, {"DCR0_INIT", 0, DW32},     {"SAR1_INIT", 0, DW32},
    {"DAR1_INIT", 0, DW32},     {"DSR_BCR1_INIT", 0, DW32}, {"DCR1_INIT", 0, DW32},
    {"SAR2_INIT", 0, DW32},     {"DAR2_INIT", 0, DW32},     {"DSR_BCR2_INIT", 0, DW32},
    {"DCR2_INIT", 0, DW32},     {"SAR3_INIT", 0, DW32},     {"DAR3_INIT", 0, DW32},
    {"DSR_BCR3_INIT", 0, DW32}, {"DCR3_INIT", 0, DW32},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));
static_assert(kRegisterCount == 1 + 4 * CpmDMA::kChannelCount);

// Fields of a channel's control register (DCR).
constexpr int kLinkChannel2Low = 0, kLinkChannel2High = 1;
constexpr int kLinkChannel1Low = 2, kLinkChannel1High = 3;
constexpr int kLinkModeLow = 4, kLinkModeHigh = 5;
constexpr int kAutoDisableBit = 7;
constexpr int kDestinationBufferLow = 8, kDestinationBufferHigh = 11;
constexpr int kSourceBufferLow = 12, kSourceBufferHigh = 15;
constexpr int kDestinationSizeLow = 17, kDestinationSizeHigh = 18;
constexpr int kIncrementDestinationBit = 19;
constexpr int kSourceSizeLow = 20, kSourceSizeHigh = 21;
constexpr int kIncrementSourceBit = 22;
constexpr int kAutoAlignBit = 28;
constexpr int kTransferModeBit = 29;
constexpr int kEnableRequestBit = 30;
constexpr int kInterruptBit = 31;
// The byte count in DSR_BCR.
constexpr int kByteCountLow = 0, kByteCountHigh = 23;
constexpr std::uint32_t kByteCountMax = 0xFFFFFF;
// Each channel's request number in REQC: 4 bits, channel 0 in the highest byte.
constexpr int kRequestBits = 4;
int RequestLow(int channel) {
    return (CpmDMA::kChannelCount - 1 - channel) * 8;
}

// Bytes per transfer of each source-size code (the longword code is 0).
constexpr std::uint32_t kSizeBytes[] = {4, 1, 2};

// Controls of the channel page's interrupt heading.
constexpr int kHeadingSourceId = 2123;
constexpr int kHeadingNameId = 2124;
constexpr int kHeadingPriorityId = 2125;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

std::vector<std::string> BufferSizes() {
    std::vector<std::string> items = {"disabled"};
    for (int power = 4; power <= 18; ++power) {
        const unsigned bytes = 1u << power;
        items.push_back(bytes < 1024 ? Format("%u bytes", bytes) : Format("%u KB", bytes / 1024));
    }
    return items;
}

std::vector<std::string> ChannelNames() {
    std::vector<std::string> items;
    for (int channel = 0; channel < CpmDMA::kChannelCount; ++channel)
        items.push_back(Format("DMA channel %d", channel));
    return items;
}

std::unique_ptr<CDialogTemplate> MakeChannelTemplate(int channel) {
    using D = CpmDMA_Dlg;
    using hwc::NaturalRow;
    const std::vector<std::string> sizes = {"Longword", "Byte", "Word"};
    return std::make_unique<CDialogTemplate>(
        D::kTemplateId,
        std::initializer_list<tLayoutItem>{dlg::Group(
            Format("DMA channel %d", channel),
            {NaturalRow({dlg::CheckBox(D::kEnableRequestId, "Enable peripheral request"),
                         dlg::CheckBox(D::kAutoDisableId,
                                       "Auto disable peripheral request after transfer")}),
             NaturalRow({dlg::CheckBox(D::kInterruptId, "Interrupt on completion"),
                         dlg::CheckBox(D::kAutoAlignId, "Enable Auto-align")}),
             NaturalRow(
                 {dlg::Label("Transfer mode:"),
                  dlg::DropList(D::kTransferModeId, {"Continuous", "Cycle-steal (single) "})}),
             NaturalRow({dlg::Label("Channel Source :"), dlg::DropList(D::kSourceId)}),
             dlg::Label("", D::kSourceWarningId), dlg::Label("", D::kSourceStateId),
             NaturalRow({dlg::Label("Source Address:"), dlg::Edit(D::kSourceAddressId)}),
             NaturalRow({dlg::Label("Destination Address:"), dlg::Edit(D::kDestinationAddressId)}),
             NaturalRow({dlg::Label("Source size:"), dlg::DropList(D::kSourceSizeId, sizes),
                         dlg::Label("Source buffer:"),
                         dlg::DropList(D::kSourceBufferId, BufferSizes())}),
             NaturalRow({dlg::Label("Destination size:"),
                         dlg::DropList(D::kDestinationSizeId, sizes),
                         dlg::Label("Destination buffer:"),
                         dlg::DropList(D::kDestinationBufferId, BufferSizes())}),
             NaturalRow(
                 {dlg::CheckBox(D::kIncrementSourceId, "Increment source address"),
                  dlg::CheckBox(D::kIncrementDestinationId, "Increment destination address")}),
             NaturalRow({dlg::Label("Link mode:"),
                         dlg::DropList(D::kLinkModeId,
                                       {"No linking",
                                        "Link to LCH1 after cycle-steal transfer, then LCH2 when "
                                        "BCR = 0",
                                        "Link to LCH1 after cycle-steal transfer",
                                        "Link to LCH1 when BCR = 0"})}),
             NaturalRow({dlg::Label("Link channel 1 (LCH1):"),
                         dlg::DropList(D::kLinkChannel1Id, ChannelNames())}),
             NaturalRow({dlg::Label("Link channel 2 (LCH2):"),
                         dlg::DropList(D::kLinkChannel2Id, ChannelNames())}),
             NaturalRow({dlg::Label("Number of bytes to transfer:"), dlg::Edit(D::kByteCountId),
                         dlg::UpDown(D::kByteCountSpinId, 0, static_cast<int>(kByteCountMax))}),
             dlg::Label("", D::kByteCountWarningId),
             // The heading's columns line up with the interrupt row's below.
             dlg::Row({dlg::Label("Interrupt Source", kHeadingSourceId),
                       dlg::Label("ISR Name:", kHeadingNameId),
                       dlg::Label("Priority:", kHeadingPriorityId)}),
             dlg::Placeholder(CModule::kFirstRowPlaceholderId)})});
}

} // namespace

// --- Channel page ---

CpmDMA_Dlg::CpmDMA_Dlg(CpmDMA& module, int channel) : m_module(module), m_channel(channel) {}

const CDialogTemplate& CpmDMA_Dlg::Template() const {
    static const std::array<std::unique_ptr<CDialogTemplate>, CpmDMA::kChannelCount> templates = {
        MakeChannelTemplate(0), MakeChannelTemplate(1), MakeChannelTemplate(2),
        MakeChannelTemplate(3)};
    return *templates.at(static_cast<std::size_t>(m_channel));
}

int CpmDMA_Dlg::PageControlId(int id) const {
    return CPage::SubPageControlId(CpmDMA::kFirstChannelPageId + m_channel, id);
}

std::vector<std::string> CpmDMA_Dlg::SourceItems() const {
    std::vector<std::string> items;
    // The request field has four bits: request 16 of the module information cannot be stored.
    for (int request = 0; request < CpmDMA::kSelectableRequests; ++request)
        items.push_back(
            Format("Req %2d: %s", request, m_module.SourceLabel(m_channel, request).c_str()));
    return items;
}

void CpmDMA_Dlg::Bind() {
    const int n = m_channel;
    const std::string prefix = Format("DMA Channel %d:", n);
    tPerCfgItem& dcr = m_module.Item(CpmDMA::DcrItem(n));
    m_enableRequest.Bind(dcr, kEnableRequestBit, false, Format("DMA Channel %d", n).c_str());
    m_autoDisable.Bind(dcr, kAutoDisableBit, false, prefix.c_str());
    m_interrupt.Bind(dcr, kInterruptBit, false, prefix.c_str());
    m_autoAlign.Bind(dcr, kAutoAlignBit, false, prefix.c_str());
    m_transferMode.Bind(dcr, kTransferModeBit, kTransferModeBit, 0, prefix.c_str());
    const int low = RequestLow(n);
    m_source.Bind(m_module.Item(CpmDMA::kReqcItem), low, low + kRequestBits - 1, 0, prefix.c_str());
    m_source.SetItems({}, SourceItems());
    m_sourceAddress.Bind(m_module.Item(CpmDMA::SarItem(n)), 0, 31, 0,
                         (prefix + " Source Address").c_str(), true, 0, 0xFFFFFFFFu, true);
    m_destinationAddress.Bind(m_module.Item(CpmDMA::DarItem(n)), 0, 31, 0,
                              (prefix + " Destination Address").c_str(), true, 0, 0xFFFFFFFFu,
                              true);
    m_sourceSize.Bind(dcr, kSourceSizeLow, kSourceSizeHigh, 0, prefix.c_str());
    m_destinationSize.Bind(dcr, kDestinationSizeLow, kDestinationSizeHigh, 0, prefix.c_str());
    m_sourceBuffer.Bind(dcr, kSourceBufferLow, kSourceBufferHigh, 0,
                        (prefix + " Source buffer").c_str());
    m_destinationBuffer.Bind(dcr, kDestinationBufferLow, kDestinationBufferHigh, 0,
                             (prefix + " Destination buffer").c_str());
    m_incrementSource.Bind(dcr, kIncrementSourceBit, false, prefix.c_str());
    m_incrementDestination.Bind(dcr, kIncrementDestinationBit, false, prefix.c_str());
    m_linkMode.Bind(dcr, kLinkModeLow, kLinkModeHigh, 0, prefix.c_str());
    m_linkChannel1.Bind(dcr, kLinkChannel1Low, kLinkChannel1High, 0, prefix.c_str());
    m_linkChannel2.Bind(dcr, kLinkChannel2Low, kLinkChannel2High, 0, prefix.c_str());
    m_byteCount.Bind(m_module.Item(CpmDMA::DsrBcrItem(n)), kByteCountLow, kByteCountHigh, 0,
                     (prefix + " Bytes to transfer").c_str(), false, 0, kByteCountMax, true);
}

void CpmDMA_Dlg::Attach(CModuleSubDlg& page) {
    m_enableRequest.AttachTo(page, kEnableRequestId);
    m_autoDisable.AttachTo(page, kAutoDisableId);
    m_interrupt.AttachTo(page, kInterruptId);
    m_autoAlign.AttachTo(page, kAutoAlignId);
    m_transferMode.AttachTo(page, kTransferModeId);
    m_source.AttachTo(page, kSourceId);
    m_sourceAddress.AttachTo(page, kSourceAddressId);
    m_destinationAddress.AttachTo(page, kDestinationAddressId);
    m_sourceSize.AttachTo(page, kSourceSizeId);
    m_destinationSize.AttachTo(page, kDestinationSizeId);
    m_sourceBuffer.AttachTo(page, kSourceBufferId);
    m_destinationBuffer.AttachTo(page, kDestinationBufferId);
    m_incrementSource.AttachTo(page, kIncrementSourceId);
    m_incrementDestination.AttachTo(page, kIncrementDestinationId);
    m_linkMode.AttachTo(page, kLinkModeId);
    m_linkChannel1.AttachTo(page, kLinkChannel1Id);
    m_linkChannel2.AttachTo(page, kLinkChannel2Id);
    m_byteCount.AttachTo(page, kByteCountId);
    page.SetSpinRange(kByteCountSpinId, 0, static_cast<std::int32_t>(kByteCountMax));
    page.ShowControls({kSourceWarningId, kSourceStateId, kByteCountWarningId}, false);
    const bool interrupt = m_module.ChannelInterruptRow(m_channel).vector != 0;
    page.ShowControls(
        {kHeadingSourceId, kHeadingNameId, kHeadingPriorityId, CModule::kFirstRowPlaceholderId},
        interrupt);
}

void CpmDMA_Dlg::AddCommentItems(std::vector<COMMENTITEM>& items) {
    items.push_back({&m_enableRequest, 0});
    if (((m_module.Item(CpmDMA::DcrItem(m_channel)).dwValue >> kEnableRequestBit) & 1u) == 0)
        return;
    for (ISummarySource* binding : std::initializer_list<ISummarySource*>{
             &m_source, &m_transferMode, &m_sourceAddress, &m_sourceSize, &m_incrementSource,
             &m_destinationAddress, &m_destinationSize, &m_incrementDestination, &m_byteCount,
             &m_linkMode, &m_interrupt})
        items.push_back({binding, 0});
}

void CpmDMA_Dlg::SetWarning(int id, bool active, const std::string& text) {
    CModule::SetWarning(m_module, PageControlId(id), active, active ? text : std::string(),
                        active ? text : std::string());
}

void CpmDMA_Dlg::CheckWarnings() {
    const int n = m_channel;
    const std::uint32_t dcr = m_module.Item(CpmDMA::DcrItem(n)).dwValue;
    // A controller left out of the header stays in its reset state, every request off.
    const bool enabled = m_module.IsSelected() && ((dcr >> kEnableRequestBit) & 1u) != 0;
    const int request = static_cast<int>(Field(m_module.Item(CpmDMA::kReqcItem).dwValue,
                                               RequestLow(n), RequestLow(n) + kRequestBits - 1));
    const std::vector<std::string> items = SourceItems();
    const std::string& item = items.at(static_cast<std::size_t>(request));
    const bool reserved = item.find("Reserved", 1) != std::string::npos;
    SetWarning(kSourceWarningId, enabled && reserved,
               Format("Channel %d is enabled but no valid channel source is selected", n));

    // A source without module part (a request that is always on) needs no other module.
    bool unavailable = false;
    std::string availability;
    const std::string part = m_module.SourceModule(n, request);
    if (enabled && !reserved && !hwc::Trim(part).empty()) {
        std::vector<std::string> alternatives = hwc::Split(part, '|');
        if (alternatives.size() > static_cast<std::size_t>(CpmDMA::kMaxAlternatives))
            alternatives.resize(CpmDMA::kMaxAlternatives);
        const CModuleBase* last = nullptr;
        bool available = false;
        for (const std::string& alternative : alternatives) {
            const std::string name(hwc::Trim(alternative));
            if (name.empty())
                continue;
            const CModuleBase* module = CModuleBase::FindModule(m_module.Host(), name);
            // A source the processor has but this program cannot set up yet is not judged.
            if (!module && m_module.Host() && m_module.Host()->IsModuleWithoutClass(name)) {
                available = true;
                break;
            }
            if (!module)
                continue;
            last = module;
            if (module->IsSelected()) {
                available = true;
                break;
            }
        }
        if (!available) {
            unavailable = true;
            availability =
                Format("The source for channel %d (%s) is not configured or is not available", n,
                       part.c_str());
            if (last)
                availability +=
                    Format(". See %s.", LinkText(last->InstanceName(), last->TypeKey(),
                                                 last->Title(), nullptr, 0, nullptr, false)
                                            .c_str());
        }
    }
    SetWarning(kSourceStateId, unavailable, availability);

    bool countWarning = false;
    std::string countText;
    if (enabled) {
        const std::uint32_t count =
            Field(m_module.Item(CpmDMA::DsrBcrItem(n)).dwValue, kByteCountLow, kByteCountHigh);
        const std::uint32_t size = Field(dcr, kSourceSizeLow, kSourceSizeHigh);
        if (count == 0) {
            countWarning = true;
            countText = "The number of transferred bytes should be nonzero";
        } else if (size != static_cast<std::uint32_t>(kReservedSize) &&
                   count % kSizeBytes[size] != 0) {
            // The reserved size code has no transfer size to be a multiple of.
            countWarning = true;
            countText = Format(
                "The number of transferred bytes should be multiple of %u in selected transfer "
                "mode",
                kSizeBytes[size]);
        }
    }
    SetWarning(kByteCountWarningId, countWarning, countText);
}

// --- Module ---

CpmDMA::tChannels CpmDMA::ParseModuleInfo(std::string_view text,
                                          std::array<hwc::tDmaSources, kChannelCount>* sources) {
    tChannels channels;
    for (std::string line : hwc::Split(text, '\n')) {
        std::erase_if(line, [](char c) { return c == '\t' || c == '"'; });
        const std::vector<std::string> fields = hwc::Split(line, ',');
        const std::string first(hwc::Trim(fields.front()));
        if (first == "in") {
            if (sources)
                hwc::ReadDmaSourceLine(fields, kRequestLimit, *sources);
            continue;
        }
        const auto channel = hwc::ReadExactU32(first);
        if (!channel || *channel >= static_cast<std::uint32_t>(kChannelCount))
            continue;
        tChannelInfo& info = channels[*channel];
        // A channel named twice keeps one page; the later line's vector counts.
        info.exists = true;
        info.vector = 0;
        if (fields.size() < 2)
            continue;
        const std::string_view interrupt = hwc::Trim(fields[1]);
        if (interrupt.substr(0, 4) != "INT:")
            continue;
        const auto vector = hwc::ScanInteger(interrupt.substr(4));
        if (vector && !vector->overflow && vector->value >= kFirstVector &&
            vector->value <= kLastVector)
            info.vector = static_cast<int>(vector->value);
    }
    return channels;
}

CpmDMA::CpmDMA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {}

CpmDMA::~CpmDMA() = default;

void CpmDMA::RebuildCommentItems() {
    std::vector<COMMENTITEM> items;
    for (auto& dialog : m_dialogs) {
        if (dialog)
            dialog->AddCommentItems(items);
    }
    ClearCommentItems();
    AddCommentItems(items);
}

CpmDMA_Dlg* CpmDMA::ChannelDialog(int channel) const {
    if (channel < 0 || channel >= kChannelCount)
        return nullptr;
    return m_dialogs[channel].get();
}

std::string CpmDMA::SourceModule(int channel, int request) const {
    if (channel < 0 || channel >= kChannelCount || request < 0)
        return {};
    const std::vector<std::string>& modules = m_sources[channel].modules;
    return static_cast<std::size_t>(request) < modules.size() ? modules[request] : std::string();
}

std::string CpmDMA::SourceLabel(int channel, int request) const {
    if (channel < 0 || channel >= kChannelCount || request < 0)
        return {};
    const std::vector<std::string>& labels = m_sources[channel].labels;
    return static_cast<std::size_t>(request) < labels.size() ? labels[request] : std::string();
}

const CDialogTemplate* CpmDMA::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Label("This processor has no DMA channels to configure.", kNoChannelsId),
         dlg::Placeholder(kFirstChannelPageId), dlg::Placeholder(kFirstChannelPageId + 1),
         dlg::Placeholder(kFirstChannelPageId + 2), dlg::Placeholder(kFirstChannelPageId + 3)});
    return &page;
}

void CpmDMA::ReadModuleInfo() {
    // The page's channel pages and rows refer to the dialogs: once it exists they stay.
    if (Page())
        return;
    m_sources = {};
    m_channels = ParseModuleInfo(Descriptor().ModuleInfoText(), &m_sources);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (!m_channels[channel].exists)
            m_dialogs[channel].reset();
        else if (!m_dialogs[channel])
            m_dialogs[channel] = std::make_unique<CpmDMA_Dlg>(*this, channel);
        m_rows[channel] = CInterruptRow{m_channels[channel].vector};
    }
    RebuildCommentItems();
}

void CpmDMA::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    // The document gives the module its information after creating it.
    ReadModuleInfo();
    CModule* controller = FindInterruptController();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        CInterruptRow& row = m_rows[channel];
        if (!m_dialogs[channel] || row.vector == 0)
            continue;
        row.controller = controller;
        if (controller)
            controller->AttachInterruptRow(row);
    }
    for (auto& dialog : m_dialogs) {
        if (dialog)
            dialog->Bind();
    }
}

void CpmDMA::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    bool any = false;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        CpmDMA_Dlg* dialog = m_dialogs[channel].get();
        page.ShowControl(kFirstChannelPageId + channel, dialog != nullptr);
        if (!dialog)
            continue;
        any = true;
        CModuleSubDlg* placed =
            page.StackSubPage(kFirstChannelPageId + channel, dialog->Template());
        if (!placed)
            continue;
        dialog->Attach(*placed);
        if (m_rows[channel].vector != 0)
            PlaceInterruptRow(*placed, kFirstRowPlaceholderId, m_rows[channel]);
    }
    page.ShowControl(kNoChannelsId, !any);
}

void CpmDMA::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const CpmDMA_Dlg* dialog = m_dialogs[channel].get();
        if (!dialog)
            continue;
        const int mode =
            static_cast<int>(Field(Item(DcrItem(channel)).dwValue, kLinkModeLow, kLinkModeHigh));
        // LCH1 serves every linking mode, LCH2 only the first.
        page->EnableControl(dialog->PageControlId(CpmDMA_Dlg::kLinkChannel1Id), mode != 0);
        page->EnableControl(dialog->PageControlId(CpmDMA_Dlg::kLinkChannel2Id), mode == 1);
    }
}

void CpmDMA::GetSummary(std::string& text) const {
    // The entries follow which channels are enabled now.
    const_cast<CpmDMA*>(this)->RebuildCommentItems();
    CModule::GetSummary(text);
}

void CpmDMA::CheckWarnings() {
    CModule::CheckWarnings();
    for (auto& dialog : m_dialogs) {
        if (dialog)
            dialog->CheckWarnings();
    }
}
