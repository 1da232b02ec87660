#pragma once
// The four-channel DMA controller: for every channel its request source, addresses, transfer
// sizes, address increments and modulo buffers, byte count, channel linking and completion
// interrupt. Which channels the processor has, the interrupt vector of each and the peripheral
// request behind each request slot come from the module information of the architecture file.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/system/DmaSettings.h"

class CpmDMA;
class CModuleSubDlg;

// The bindings and checks of one channel page; the module keeps one per existing channel while
// the page that shows it belongs to the module's page.
class CpmDMA_Dlg {
public:
    static constexpr unsigned kTemplateId = 2097;

    // Controls of a channel page.
    static constexpr int kEnableRequestId = 2101;
    static constexpr int kAutoDisableId = 2102;
    static constexpr int kInterruptId = 2103;
    static constexpr int kAutoAlignId = 2104;
    static constexpr int kTransferModeId = 2105;
    static constexpr int kSourceId = 2106;
    static constexpr int kSourceWarningId = 2107;
    static constexpr int kSourceStateId = 2108;
    static constexpr int kSourceAddressId = 2109;
    static constexpr int kDestinationAddressId = 2110;
    static constexpr int kSourceSizeId = 2111;
    static constexpr int kDestinationSizeId = 2112;
    static constexpr int kSourceBufferId = 2113;
    static constexpr int kDestinationBufferId = 2114;
    static constexpr int kIncrementSourceId = 2115;
    static constexpr int kIncrementDestinationId = 2116;
    static constexpr int kLinkModeId = 2117;
    static constexpr int kLinkChannel1Id = 2118;
    static constexpr int kLinkChannel2Id = 2119;
    static constexpr int kByteCountId = 2120;
    static constexpr int kByteCountSpinId = 2121;
    static constexpr int kByteCountWarningId = 2122;

    // The source-size code the hardware reserves.
    static constexpr int kReservedSize = 3;

    CpmDMA_Dlg(CpmDMA& module, int channel);
    CpmDMA_Dlg(const CpmDMA_Dlg&) = delete;
    CpmDMA_Dlg& operator=(const CpmDMA_Dlg&) = delete;

    int Channel() const { return m_channel; }
    // The page of this channel (its number in the group caption), kept for the program's life.
    const CDialogTemplate& Template() const;
    // The control number of one of this page's controls as seen from the module's page.
    int PageControlId(int id) const;

    void Bind();
    void Attach(CModuleSubDlg& page);
    // The channel's summary entries: whether its request is enabled and, when it is, its
    // transfer.
    void AddCommentItems(std::vector<COMMENTITEM>& items);
    // Raises or clears the channel's three warnings.
    void CheckWarnings();

    // The page's items of the source list: "Req %2d: label" for requests 0 to 15.
    std::vector<std::string> SourceItems() const;

    CSetBit& EnableRequest() { return m_enableRequest; }
    CSetMode& Source() { return m_source; }
    CSetMode& SourceSize() { return m_sourceSize; }
    CSetValue& ByteCount() { return m_byteCount; }

private:
    void SetWarning(int id, bool active, const std::string& text);

    CpmDMA& m_module;
    int m_channel;
    CSetBit m_enableRequest;
    CSetBit m_autoDisable;
    CSetBit m_interrupt;
    CSetBit m_autoAlign;
    CSetMode m_transferMode;
    CSetMode m_source;
    CSetValue m_sourceAddress;
    CSetValue m_destinationAddress;
    hwc::CKeptChoice m_sourceSize;
    hwc::CKeptChoice m_destinationSize;
    CSetMode m_sourceBuffer;
    CSetMode m_destinationBuffer;
    CSetBit m_incrementSource;
    CSetBit m_incrementDestination;
    CSetMode m_linkMode;
    CSetMode m_linkChannel1;
    CSetMode m_linkChannel2;
    CSetValue m_byteCount;
};

class CpmDMA : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmDMA, CModule)
public:
    static constexpr unsigned kTemplateId = 2099;
    static constexpr int kChannelCount = 4;
    // Request numbers the module information may name, and those the 4-bit request field can
    // select.
    static constexpr int kRequestLimit = 16;
    static constexpr int kSelectableRequests = 16;
    // Interrupt vectors a channel may name.
    static constexpr int kFirstVector = 1;
    static constexpr int kLastVector = 149;
    // Alternatives of one source module part that are looked up.
    static constexpr int kMaxAlternatives = 5;

    // Page controls: the channel pages stack at kFirstChannelPageId + channel.
    static constexpr int kFirstChannelPageId = kPinSubPageBase;
    static constexpr int kNoChannelsId = 2130;

    // Register items: REQC, then SAR, DAR, DSR_BCR and DCR of each channel.
    static constexpr int kReqcItem = 0;
    static constexpr int SarItem(int channel) { return 1 + 4 * channel; }
    static constexpr int DarItem(int channel) { return 2 + 4 * channel; }
    static constexpr int DsrBcrItem(int channel) { return 3 + 4 * channel; }
    static constexpr int DcrItem(int channel) { return 4 + 4 * channel; }

    // What the module information says of one channel.
    struct tChannelInfo {
        bool exists = false;
        int vector = 0; // 0: no interrupt
    };
    using tChannels = std::array<tChannelInfo, kChannelCount>;

    // Reads the module information: channel lines "n[,INT:v]" and source lines
    // "in,request,source0,...,source3"; anything else is ignored.
    static tChannels ParseModuleInfo(std::string_view text,
                                     std::array<hwc::tDmaSources, kChannelCount>* sources);

    CpmDMA(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmDMA() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    void GetSummary(std::string& text) const override;

    const tChannelInfo& ChannelInfo(int channel) const { return m_channels.at(channel); }
    // The channel's page bindings, or null for a channel the processor lacks.
    CpmDMA_Dlg* ChannelDialog(int channel) const;
    // The module part stored for (channel, request), or empty when either is out of range.
    std::string SourceModule(int channel, int request) const;
    std::string SourceLabel(int channel, int request) const;
    // The channel's interrupt row (its vector 0 when it has none).
    const CInterruptRow& ChannelInterruptRow(int channel) const { return m_rows.at(channel); }

protected:
    void AttachControls(CPage& page) override;

private:
    void ReadModuleInfo();
    void RebuildCommentItems();

    tChannels m_channels;
    std::array<hwc::tDmaSources, kChannelCount> m_sources;
    std::array<std::unique_ptr<CpmDMA_Dlg>, kChannelCount> m_dialogs;
    std::array<CInterruptRow, kChannelCount> m_rows;
};
