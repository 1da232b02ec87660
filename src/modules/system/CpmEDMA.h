#pragma once
// The enhanced DMA controller of FamD: arbitration and error handling of the controller, and per
// channel its request source, priority and transfer control descriptor (addresses, offsets,
// transfer sizes and modulo, minor and major loop counts, end-of-loop adjustments, interrupts,
// scatter-gather and channel linking). It shows the bytes each major loop moves and warns of
// descriptors the controller would refuse or carry out in a way nobody meant.

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

class CpmEDMA;
class CModuleSubDlg;

// The bindings and checks of one channel page of the enhanced controller.
class CpmEDMA_Dlg {
public:
    static constexpr unsigned kTemplateId = 2115;

    // Controls of a channel page.
    static constexpr int kEnableRequestId = 2201;
    static constexpr int kErrorInterruptId = 2202;
    static constexpr int kAsyncRequestId = 2203;
    static constexpr int kRequestSourceId = 2204;
    static constexpr int kPriorityId = 2205;
    static constexpr int kPreemptableId = 2206;
    static constexpr int kNoPreemptionId = 2207;
    static constexpr int kPriorityWarningId = 2208;
    static constexpr int kSourceAddressId = 2209;
    static constexpr int kSourceOffsetId = 2210;
    static constexpr int kSourceSizeId = 2211;
    static constexpr int kSourceModuloId = 2212;
    static constexpr int kSourceLastId = 2213;
    static constexpr int kDestinationAddressId = 2214;
    static constexpr int kDestinationOffsetId = 2215;
    static constexpr int kDestinationSizeId = 2216;
    static constexpr int kDestinationModuloId = 2217;
    static constexpr int kDestinationLastId = 2218;
    static constexpr int kSizeWarningId = 2219;
    static constexpr int kSourceOffsetWarningId = 2220;
    static constexpr int kDestinationOffsetWarningId = 2221;
    static constexpr int kByteCountId = 2222;
    static constexpr int kByteCountWarningId = 2223;
    static constexpr int kCurrentIterationId = 2224;
    static constexpr int kBeginIterationId = 2225;
    static constexpr int kIterationWarningId = 2226;
    static constexpr int kMajorLoopBytesId = 2227;
    static constexpr int kStartId = 2228;
    static constexpr int kMajorInterruptId = 2229;
    static constexpr int kHalfInterruptId = 2230;
    static constexpr int kDisableRequestId = 2231;
    static constexpr int kScatterGatherId = 2232;
    static constexpr int kMajorLinkId = 2233;
    static constexpr int kMajorLinkChannelId = 2234;
    static constexpr int kHeadingSourceId = 2235;
    static constexpr int kHeadingNameId = 2236;
    static constexpr int kHeadingPriorityId = 2237;

    CpmEDMA_Dlg(CpmEDMA& module, int channel);
    CpmEDMA_Dlg(const CpmEDMA_Dlg&) = delete;
    CpmEDMA_Dlg& operator=(const CpmEDMA_Dlg&) = delete;

    int Channel() const { return m_channel; }
    const CDialogTemplate& Template() const;
    // The control number of one of this page's controls as seen from the module's page.
    int PageControlId(int id) const;

    void Bind();
    void Attach(CModuleSubDlg& page);
    // The channel's summary entries: whether its request is enabled and, when the channel
    // runs, its descriptor.
    void AddCommentItems(std::vector<COMMENTITEM>& items);
    void CheckWarnings();
    // Shows the bytes of one major loop.
    void Recalculate();
    void UpdateControlStates(CPage& page);
    // The entries of the request-source list.
    std::vector<std::string> RequestItems() const;

private:
    void SetWarning(int id, bool active, const std::string& text);

    CpmEDMA& m_module;
    int m_channel;
    CSetBit m_enableRequest;
    CSetBit m_errorInterrupt;
    CSetBit m_asyncRequest;
    CSetMode m_requestSource;
    CSetMode m_priority;
    CSetBit m_preemptable;
    CSetBit m_noPreemption;
    CSetValue m_sourceAddress;
    CSetValue m_sourceOffset;
    hwc::CKeptChoice m_sourceSize;
    CSetMode m_sourceModulo;
    CSetValue m_sourceLast;
    CSetValue m_destinationAddress;
    CSetValue m_destinationOffset;
    hwc::CKeptChoice m_destinationSize;
    CSetMode m_destinationModulo;
    CSetValue m_destinationLast;
    CSetValue m_byteCount;
    CSetValue m_currentIteration;
    CSetValue m_beginIteration;
    CSetBit m_start;
    CSetBit m_majorInterrupt;
    CSetBit m_halfInterrupt;
    CSetBit m_disableRequest;
    CSetBit m_scatterGather;
    CSetBit m_majorLink;
    CSetMode m_majorLinkChannel;
};

class CpmEDMA : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmEDMA, CModule)
public:
    static constexpr unsigned kTemplateId = 2114;
    static constexpr int kChannelCount = 4;
    // Request sources the 6-bit channel multiplexer field selects.
    static constexpr int kRequestCount = 64;

    // Page controls: the channel pages stack at kFirstChannelPageId + channel; the error
    // interrupt (the vector after the channels') sits in the module page.
    static constexpr int kMinorLoopMappingId = 2240;
    static constexpr int kHaltOnErrorId = 2241;
    static constexpr int kRoundRobinId = 2242;
    static constexpr int kErrorGroupId = 2243;
    static constexpr int kFirstChannelPageId = kPinSubPageBase;
    static constexpr int kErrorRowPlaceholderId = kFirstRowPlaceholderId + kChannelCount;

    // Register items: CR, ERQ, EEI, EARS, DCHPRI0 to 3, then twelve per channel.
    enum EItem : int {
        kCrItem = 0,
        kErqItem,
        kEeiItem,
        kEarsItem,
        kFirstPriorityItem,
        kFirstChannelItem = kFirstPriorityItem + kChannelCount,
    };
    enum ETcdItem : int {
        kSardr = 0,
        kSoff,
        kAttr,
        kNbytes,
        kSlast,
        kDardr,
        kDoff,
        kCiter,
        kDlastsga,
        kCsr,
        kChMux,
        kBiter,
        kTcdItemCount,
    };
    static constexpr int PriorityItem(int channel) { return kFirstPriorityItem + channel; }
    static constexpr int TcdItem(int channel, ETcdItem item) {
        return kFirstChannelItem + kTcdItemCount * channel + item;
    }

    // Transfer sizes of the ATTR size codes in bytes; 0 for a reserved code.
    static std::uint32_t TransferBytes(std::uint32_t code);

    CpmEDMA(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmEDMA() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    void GetSummary(std::string& text) const override;

    CpmEDMA_Dlg& ChannelDialog(int channel) const { return *m_dialogs.at(channel); }
    // The channel's request-source label from the module information, or empty.
    std::string RequestLabel(int channel, int request) const;
    // The channel's bit in ERQ, EEI or EARS.
    bool ChannelBit(int item, int channel) const;
    // The channel's request is enabled or it is started by software: it will run.
    bool ChannelActive(int channel) const;
    // The minor loop byte count as the controller reads it (minor loop mapping narrows it).
    std::uint32_t MinorLoopBytes(int channel) const;
    // The beginning major loop count (without a channel link field).
    std::uint32_t MajorLoopCount(int channel) const;
    // NBYTES x BITER.
    std::uint64_t MajorLoopBytes(int channel) const;
    bool RoundRobin() const;
    const CInterruptRow& ChannelInterruptRow(int channel) const { return m_rows.at(channel); }

protected:
    void AttachControls(CPage& page) override;

private:
    void RebuildCommentItems();

    std::array<std::unique_ptr<CpmEDMA_Dlg>, kChannelCount> m_dialogs;
    std::array<CInterruptRow, kChannelCount> m_rows;
    std::array<hwc::tDmaSources, kChannelCount> m_sources;
    CSetBit m_minorLoopMapping;
    CSetBit m_haltOnError;
    CSetBit m_roundRobin;
};
