#include "modules/communication/CpmSCI.h"

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/routing/RoutingQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

constexpr std::uint32_t kText = DW8 | STRVALUE | USERDEFINE;

// The first twelve entries are common; the newer groups add control register 3.
const tPerCfgDef kRegisters[] = {
    {"SCIBR_INIT", 0x40, DW16},
    {"SCICR_INIT", 0, DW16 | NODEFAULT},
    {"SCICR2_INIT", 0, DW16 | NODEFAULT},
    {"HIGHLEVEL_MODE", 0, DW8 | DECVALUE | USERDEFINE},
    {"RX_BUFFER_OKLIMIT", 0xF, DW16 | NODEFAULT | USERDEFINE},
    {"RX_BUFFER_LOWLIMIT", 0xA, DW16 | NODEFAULT | USERDEFINE},
    {"RX_BUFFER_SIZE", 0, DW8 | USERDEFINE},
    {"TX_BUFFER_SIZE", 0, DW8 | USERDEFINE},
    {"RX_XONXOFF", 0, DW8 | USERDEFINE},
    // Present by default and always written: the type is never empty, and a module left out
    // of the header must not count its mere presence as a change.
    {"-SCIxCHAR", 1, kText | NODEFAULT},
    {"RX_CHAR_HOOK", 0, kText},
    {"RX_ERROR_HOOK", 0, kText},
    {"TX_CHAR_HOOK", 0, kText},
    {"RX_FINISHED_HOOK", 0, kText},
    {"TX_FINISHED_HOOK", 0, kText},
    {"RX_LOWBUFFER_HOOK", 0, kText},
    {"SCICR3_INIT", 0, DW16 | NODEFAULT},
};
constexpr int kNewerCount = static_cast<int>(std::size(kRegisters));
constexpr int kOlderCount = kNewerCount - 1;

// Processor groups beyond those the module framework names.
constexpr int kFamJ = 96;
constexpr int kFamB = 100;
constexpr int kFamC = 106;

// Register fields.
constexpr int kLoopModeBit = 15;
constexpr int kReceiverSourceBit = 13;
constexpr int kReceiverEnableBit = 2;
constexpr int kTransmitterEnableBit = 3;
constexpr int kTxEmptyIntBit = 7;
constexpr int kRxFullIntBit = 5;
constexpr int kRxErrorIntBit = 4;
constexpr std::uint32_t kDivisorMax = 8191;
constexpr std::uint32_t kFineTuneMax = 7;
constexpr std::uint32_t kBufferFieldMax = 255;

constexpr const char* kModeCaption = "Mode of operation:";
constexpr const char* kByteWideType = "char";
constexpr const char* kWordType = "UWord16";

const int kParityValues[] = {0, 2, 3};

// The driver's routine suffixes by interrupt row; null where the driver needs no routine.
constexpr std::array<const char*, 6> kRoutineSuffixes = {"TxEmptyISR", nullptr, "RxErrorISR",
                                                         "RxFullISR",  nullptr, nullptr};
constexpr std::array<const char*, 2> kFamARoutineSuffixes = {"TxEmptyISR", "RxFullErrISR"};

// The controls each driver mode enables; one in two lists is enabled when either mode is on.
const std::vector<int> kDisabledControls = {CpmSCI::kTxEmptyIntId, CpmSCI::kTxIdleIntId,
                                            CpmSCI::kRxFullIntId, CpmSCI::kRxErrorIntId,
                                            CpmSCI::kRxActiveEdgeId};
const std::vector<int> kBlockingControls = {CpmSCI::kByteWideId,       CpmSCI::kRxFinishedHookId,
                                            CpmSCI::kTxFinishedHookId, CpmSCI::kRxCharHookId,
                                            CpmSCI::kTxCharHookId,     CpmSCI::kRxErrorHookId};
const std::vector<int> kBufferedControls = {
    CpmSCI::kByteWideId,   CpmSCI::kRxLowBufferHookId, CpmSCI::kRxCharHookId,
    CpmSCI::kTxCharHookId, CpmSCI::kRxErrorHookId,     CpmSCI::kRxSizeId,
    CpmSCI::kTxSizeId,     CpmSCI::kRxLowLimitId,      CpmSCI::kRxOkLimitId,
    CpmSCI::kXonXoffId,    CpmSCI::kReceiverId,        CpmSCI::kTransmitterId};

const std::vector<int> kFifoControls = {CpmSCI::kTxWatermarkId, CpmSCI::kRxWatermarkId,
                                        CpmSCI::kTxWatermarkLabelId, CpmSCI::kRxWatermarkLabelId};

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

std::string_view ItemText(const tPerCfgItem& item) {
    return item.dwValue != 0 ? hwc::Trim(hwc::FieldText(item.szValue)) : std::string_view();
}

void SetItemText(tPerCfgItem& item, std::string_view text) {
    hwc::CopyCut(item.szValue, text);
    item.dwValue = text.empty() ? 0 : 1;
}

} // namespace

CpmSCI::CpmSCI(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {
    const bool newer = HostInGroup(kFamE) || HostInGroup(kFamF) || HostInGroup(kFamD);
    const int count = newer ? kNewerCount : kOlderCount;
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    AfterLoad();
    AddCommentItems({{&m_divisor, 0},
                     {&m_fineTune, 0},
                     {&m_receiverEnable, 0},
                     {&m_transmitterEnable, 0},
                     {&m_wordLength, 0},
                     {&m_parity, 0},
                     {&m_loopMode, 0},
                     {&m_fifoEnable, 0},
                     {&m_txEmptyInt, 0},
                     {&m_txIdleInt, 0},
                     {&m_rxFullInt, 0},
                     {&m_rxErrorInt, 0},
                     {&m_driverMode, 0},
                     {&m_rxSize, 0},
                     {&m_txSize, 0}});
}

const CDialogTemplate* CpmSCI::DialogTemplate() const {
    using namespace dlg;
    static const CDialogTemplate page(
        kTemplateId,
        {Link(kPinStatusId, ""),
         Group("Baud rate",
               {Row({Label("Divisor:"), Edit(kDivisorId), UpDown(kDivisorSpinId, 0, kDivisorMax),
                     Label("Fine Tune:", kFineTuneLabelId), Edit(kFineTuneId),
                     UpDown(kFineTuneSpinId, 0, kFineTuneMax)}),
                Row({Label("Baude Rate:"), ReadOnly(kBaudRateId)})}),
         Group(
             "Frame and mode",
             {Row({CheckBox(kReceiverEnableId, "Enable Receiver"),
                   CheckBox(kTransmitterEnableId, "Enable Transmitter"),
                   CheckBox(kLoopModeId, "Loop mode")}),
              Row({Label("Data word length:"), DropList(kWordLengthId, {"8 bits", "9 bits"}),
                   Label("Parity:"), DropList(kParityId, {"None", "Even", "Odd"})}),
              Row({Label("Receiver source:"),
                   DropList(kReceiverSourceId, {"Internal: TX signal fed to RX",
                                                "Single Wire: TX output fed to RX"})}),
              Row({Label("Wake-up:"),
                   DropList(kWakeUpId, {"By idle line", "By address mark (MSB data bit RX)"})}),
              Row({DropList(kPolarityId, {"True polarity", "Inverted polarity"}),
                   DropList(kWaitModeId, {"SCI module enabled in Wait Mode",
                                          "SCI module disabled in Wait Mode"})}),
              Row({CheckBox(kLinAutobaudId, "LIN Autobaud feature"), CheckBox(kRxIdleId, "Rx Idle"),
                   CheckBox(kStopHoldOffId, "Hold off entry to stop mode")})}),
         Group("FIFO and DMA",
               {Row({CheckBox(kFifoEnableId, "Enable RX and TX FIFO Queues"),
                     CheckBox(kTxDmaId, "Enable TX DMA"), CheckBox(kRxDmaId, "Enable RX DMA")}),
                Row({Label("TX FIFO watermark:", kTxWatermarkLabelId),
                     DropList(kTxWatermarkId,
                              {"0 words in FIFO", "1 or less words in FIFO",
                               "2 or less words in FIFO", "3 or less words in FIFO"})}),
                Row({Label("RX FIFO watermark:", kRxWatermarkLabelId),
                     DropList(kRxWatermarkId,
                              {"at least 1 word in FIFO", "at least 2 words in FIFO",
                               "at least 3 words in FIFO", "at least 4 words in FIFO"})})}),
         Group(
             "Interrupts",
             {Row({CheckBox(kTxEmptyIntId, "TX Empty"), CheckBox(kTxIdleIntId, "TX Idle"),
                   CheckBox(kRxFullIntId, "RX Full")}),
              Row({CheckBox(kRxErrorIntId, "RX Error"),
                   CheckBox(kRxActiveEdgeId, "RX Active Edge")}),
              Placeholder(kFirstHeadingPlaceholderId),
              Row({Label("Tx ISR Name:", kTxIsrLabelId), Placeholder(kFirstRowPlaceholderId)}),
              Link(kTxVectorNoteId, "(user vector information)"),
              Row({Label("Rx ISR Name:", kRxIsrLabelId), Placeholder(kFirstRowPlaceholderId + 1)}),
              Link(kRxVectorNoteId, "(user vector information)"),
              Placeholder(kFirstRowPlaceholderId + 2), Placeholder(kFirstRowPlaceholderId + 3)}),
         Group("Driver",
               {Row({Label(kModeCaption, kModeLabelId),
                     DropList(kModeId, {"Disabled", "Blocking/Non-blocking", "Buffered"})}),
                Row({CheckBox(kByteWideId, "Byte-wide buffer operations"),
                     CheckBox(kXonXoffId, "XON/XOFF flow control")}),
                Row({CheckBox(kReceiverId, "Receiver"), Label("Buffer size:"), Edit(kRxSizeId),
                     UpDown(kRxSizeSpinId, 0, kBufferFieldMax)}),
                Row({Label("Low limit:"), Edit(kRxLowLimitId),
                     UpDown(kRxLowLimitSpinId, 0, kBufferFieldMax), Label("OK limit:"),
                     Edit(kRxOkLimitId), UpDown(kRxOkLimitSpinId, 0, kBufferFieldMax)}),
                Row({CheckBox(kTransmitterId, "Transmitter"), Label("Buffer size:"),
                     Edit(kTxSizeId), UpDown(kTxSizeSpinId, 0, kBufferFieldMax)}),
                Row({Label("Char received hook:"), Edit(kRxCharHookId)}),
                Row({Label("RX error hook:"), Edit(kRxErrorHookId)}),
                Row({Label("RX finished hook:"), Edit(kRxFinishedHookId)}),
                Row({Label("RX low buffer hook:"), Edit(kRxLowBufferHookId)}),
                Row({Label("Char transmitted hook:"), Edit(kTxCharHookId)}),
                Row({Label("TX finished hook:"), Edit(kTxFinishedHookId)})})});
    return &page;
}

bool CpmSCI::HasFineTune() const {
    for (int group : {kFamB, int(kFamA), kFamC, int(kFamE), int(kFamF), int(kFamD)}) {
        if (IsProcessorGroup(*this, group))
            return true;
    }
    return false;
}

bool CpmSCI::IsNewer() const {
    return ItemCount() == kNewerCount;
}

bool CpmSCI::HasFifo() const {
    return IsProcessorGroup(*this, kFamB) || IsProcessorGroup(*this, kFamC) || IsNewer();
}

int CpmSCI::ModeValue() const {
    return static_cast<int>(Item(kModeItem).dwValue & 0x3u);
}

void CpmSCI::AttachControls(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    // FamA rows carry no heading: plain labels name the two routines instead.
    page.ShowControl(kFirstHeadingPlaceholderId, !famA);
    page.ShowControls({kTxIsrLabelId, kRxIsrLabelId}, famA);
    CModule::AttachControls(page);
    page.SetSpinRange(kDivisorSpinId, 0, kDivisorMax);
    page.SetSpinRange(kFineTuneSpinId, 0, kFineTuneMax);
    for (int spin : {kRxSizeSpinId, kTxSizeSpinId, kRxLowLimitSpinId, kRxOkLimitSpinId})
        page.SetSpinRange(spin, 0, kBufferFieldMax);

    m_divisor.AttachTo(page, kDivisorId);
    if (HasFineTune())
        m_fineTune.AttachTo(page, kFineTuneId);
    m_receiverEnable.AttachTo(page, kReceiverEnableId);
    m_transmitterEnable.AttachTo(page, kTransmitterEnableId);
    m_loopMode.AttachTo(page, kLoopModeId);
    m_waitMode.AttachTo(page, kWaitModeId);
    m_receiverSource.AttachTo(page, kReceiverSourceId);
    m_wordLength.AttachTo(page, kWordLengthId);
    m_wakeUp.AttachTo(page, kWakeUpId);
    m_polarity.AttachTo(page, kPolarityId);
    m_parity.AttachTo(page, kParityId);
    m_txEmptyInt.AttachTo(page, kTxEmptyIntId);
    m_txIdleInt.AttachTo(page, kTxIdleIntId);
    m_rxFullInt.AttachTo(page, kRxFullIntId);
    m_rxErrorInt.AttachTo(page, kRxErrorIntId);
    m_linAutobaud.AttachTo(page, kLinAutobaudId);
    if (HasFifo()) {
        m_fifoEnable.AttachTo(page, kFifoEnableId);
        m_txWatermark.AttachTo(page, kTxWatermarkId);
        m_rxWatermark.AttachTo(page, kRxWatermarkId);
    }
    if (IsNewer()) {
        m_rxActiveEdge.AttachTo(page, kRxActiveEdgeId);
        m_txDma.AttachTo(page, kTxDmaId);
        m_rxDma.AttachTo(page, kRxDmaId);
        m_stopHoldOff.AttachTo(page, kStopHoldOffId);
        if (IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamD))
            m_rxIdle.AttachTo(page, kRxIdleId);
    }
    m_driverMode.AttachTo(page, kModeId);
    if (!IsProcessorGroup(*this, kFamG))
        m_byteWide.AttachTo(page, kByteWideId);
    m_rxSize.AttachTo(page, kRxSizeId);
    m_txSize.AttachTo(page, kTxSizeId);
    m_rxLowLimit.AttachTo(page, kRxLowLimitId);
    m_rxOkLimit.AttachTo(page, kRxOkLimitId);
    m_receiver.AttachTo(page, kReceiverId);
    m_transmitter.AttachTo(page, kTransmitterId);
    m_xonXoff.AttachTo(page, kXonXoffId);
    m_rxCharHook.AttachTo(page, kRxCharHookId);
    m_rxErrorHook.AttachTo(page, kRxErrorHookId);
    m_rxFinishedHook.AttachTo(page, kRxFinishedHookId);
    m_rxLowBufferHook.AttachTo(page, kRxLowBufferHookId);
    m_txCharHook.AttachTo(page, kTxCharHookId);
    m_txFinishedHook.AttachTo(page, kTxFinishedHookId);
}

void CpmSCI::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& baud = Item(kBaudItem);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    tPerCfgItem& ctrl2 = Item(kCtrl2Item);
    // Processors with the fine tune keep the divisor above its three bits.
    if (HasFineTune()) {
        m_divisor.Bind(baud, 3, 15, 0, "", false, 0, kDivisorMax, true);
        m_fineTune.Bind(baud, 0, 2, 0, "", false, 0, kFineTuneMax, true);
    } else {
        m_divisor.Bind(baud, 0, 12, 0, "", false, 0, kDivisorMax, true);
    }
    m_receiverEnable.Bind(ctrl, kReceiverEnableBit, false, "");
    m_transmitterEnable.Bind(ctrl, kTransmitterEnableBit, false, "");
    m_loopMode.Bind(ctrl, kLoopModeBit, false, "");
    m_waitMode.Bind(ctrl, 14, 14, 0, "");
    m_receiverSource.Bind(ctrl, kReceiverSourceBit, kReceiverSourceBit, 0, "");
    m_wordLength.Bind(ctrl, 12, 12, 0, "");
    m_wakeUp.Bind(ctrl, 11, 11, 0, "");
    m_polarity.Bind(ctrl, 10, 10, 0, "");
    m_parity.Bind(ctrl, 8, 9, 0, "Parity", kParityValues);
    m_txEmptyInt.Bind(ctrl, kTxEmptyIntBit, false, "Interrupts:");
    m_txIdleInt.Bind(ctrl, 6, false, "Interrupts:");
    m_rxFullInt.Bind(ctrl, kRxFullIntBit, false, "Interrupts:");
    m_rxErrorInt.Bind(ctrl, kRxErrorIntBit, false, "Interrupts:");
    m_linAutobaud.Bind(ctrl2, 3, false, "");
    m_fifoEnable.Bind(ctrl2, 5, false, "");
    m_txWatermark.Bind(ctrl2, 11, 12, 0, "");
    m_rxWatermark.Bind(ctrl2, 6, 7, 0, "");
    m_rxActiveEdge.Bind(ctrl2, 4, false, "");
    m_txDma.Bind(ctrl2, 1, false, "");
    m_rxDma.Bind(ctrl2, 0, false, "");
    m_rxIdle.Bind(ctrl2, 2, false, "");
    if (IsNewer())
        m_stopHoldOff.Bind(Item(kCtrl3Item), 0, false, "");
    m_driverMode.Bind(Item(kModeItem), 0, 1, 0, "");
    m_byteWide.BindCustom(&ByteWideSetter, &ByteWideGetter, this, 0, "");
    m_rxSize.Bind(Item(kRxSizeItem), 0, 7, 0, "", false, 0, kBufferFieldMax, true);
    m_txSize.Bind(Item(kTxSizeItem), 0, 7, 0, "", false, 0, kBufferFieldMax, true);
    m_rxLowLimit.Bind(Item(kRxLowLimitItem), 0, 7, 0, "", false, 0, kBufferFieldMax, true);
    m_rxOkLimit.Bind(Item(kRxOkLimitItem), 0, 7, 0, "", false, 0, kBufferFieldMax, true);
    m_receiver.BindCustom(&DirectionSetter, &DirectionGetter, this, 0, "");
    m_transmitter.BindCustom(&DirectionSetter, &DirectionGetter, this, 1, "");
    m_xonXoff.Bind(Item(kXonXoffItem), 0, false, "");
    m_rxCharHook.Bind(&Item(kRxCharHookItem), "");
    m_rxErrorHook.Bind(&Item(kRxErrorHookItem), "");
    m_rxFinishedHook.Bind(&Item(kRxFinishedHookItem), "");
    m_rxLowBufferHook.Bind(&Item(kRxLowBufferHookItem), "");
    m_txCharHook.Bind(&Item(kTxCharHookItem), "");
    m_txFinishedHook.Bind(&Item(kTxFinishedHookItem), "");
}

bool CpmSCI::LoadFromHeader(CAppcfgFile* header) {
    tPerCfgItem& type = Item(kCharTypeItem);
    const std::uint32_t flags = type.dwFlags;
    type.dwFlags |= DUMMYREG;
    const bool selected = CModule::LoadFromHeader(header);
    type.dwFlags = flags;
    InitRegisters(HeaderFile(), &type, 1, InstanceName(), {}, nullptr, false);
    return selected;
}

void CpmSCI::AfterLoad() {
    CModule::AfterLoad();
    // The driver's element type is never left empty: a word unless the user chose bytes.
    tPerCfgItem& type = Item(kCharTypeItem);
    if (ItemText(type).empty())
        SetItemText(type, kWordType);
    if (hwc::Trim(hwc::FieldText(type.szSaved)).empty() || type.dwSaved == 0) {
        hwc::CopyCut(type.szSaved, hwc::FieldText(type.szValue));
        type.dwSaved = type.dwValue;
    }
}

float CpmSCI::BaudRate() const {
    const std::uint32_t baud = Item(kBaudItem).dwValue;
    const bool fine = HasFineTune();
    const std::uint32_t divisor = fine ? (baud >> 3) & 0x1FFFu : baud & 0x1FFFu;
    const std::uint32_t fraction = fine ? baud & 0x7u : 0u;
    if (divisor < 1 || divisor > kDivisorMax)
        return 0.0f;
    float clockMHz = GetBusClock();
    const int instance = InstanceNumber();
    const bool highSpeedChoice = IsProcessorGroup(*this, kFamA) ||
                                 (IsProcessorGroup(*this, kFamC) && instance < 2) ||
                                 (IsNewer() && instance < 3);
    if (highSpeedChoice && hwc::SystemSciHighSpeedClock(*this, instance))
        clockMHz = GetOtherClock();
    const float hz = clockMHz * 1000000.0f;
    return hz / static_cast<float>(16u * divisor + 2u * fraction);
}

void CpmSCI::Recalculate() {
    ShowFrequency(kBaudRateId, BaudRate(), false, "OFF", "%.0f bps");
}

void CpmSCI::AssignDriverVectors() {
    // A refusal counts for this pass only, so that the warning goes once the vector is free.
    m_vectorsRefused = false;
    hwc::IInterruptController* controller = hwc::FindInterruptControllerOf(*this);
    if (!controller)
        return;
    const int mode = ModeValue();
    const bool driver = mode == kDriverBlocking || mode == kDriverBuffered;
    const bool famA = IsProcessorGroup(*this, kFamA);
    bool assigned = false;
    const std::vector<CInterruptRow>& rows = InterruptRows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const char* suffix = nullptr;
        if (famA)
            suffix = i < kFamARoutineSuffixes.size() ? kFamARoutineSuffixes[i] : nullptr;
        else
            suffix = i < kRoutineSuffixes.size() ? kRoutineSuffixes[i] : nullptr;
        const int vector = rows[i].vector;
        if (driver && suffix) {
            const std::string routine = hwc::Format("Sci%d%s", InstanceNumber(), suffix);
            if (controller->ClaimVector(this, vector, routine, true))
                assigned = true;
            else
                m_vectorsRefused = true;
        } else if (controller->VectorOwner(vector) == this) {
            controller->ClaimVector(this, vector, {}, false);
        }
    }
    if (!assigned)
        return;
    // The driver's routines run only with their interrupts enabled.
    tPerCfgItem& ctrl = Item(kCtrlItem);
    const std::uint32_t forced =
        (1u << kTxEmptyIntBit) | (1u << kRxFullIntBit) | (1u << kRxErrorIntBit);
    if ((ctrl.dwValue & forced) == forced)
        return;
    ctrl.dwValue |= forced;
    for (CSetBit* binding : {&m_txEmptyInt, &m_rxFullInt, &m_rxErrorInt}) {
        if (binding->IsAttached())
            binding->Refresh();
    }
}

void CpmSCI::UpdateControlStates() {
    AssignDriverVectors();
    for (int direction = 0; direction < 2; ++direction) {
        const std::uint32_t size =
            Item(direction == 0 ? kRxSizeItem : kTxSizeItem).dwValue & kBufferFieldMax;
        if (size != 0)
            m_keptSize[direction] = size;
    }
    CPage* page = Page();
    if (!page)
        return;
    const int mode = ModeValue();
    const std::vector<int>* groups[] = {&kDisabledControls, &kBlockingControls, &kBufferedControls};
    for (int m = 0; m < 3; ++m) {
        if (m == mode)
            continue;
        for (int id : *groups[m])
            page->EnableControl(id, false);
    }
    if (mode < 3) {
        for (int id : *groups[mode])
            page->EnableControl(id, true);
    }
    // A buffer's size and limits are edited only while its direction is switched on.
    const bool buffered = mode == kDriverBuffered;
    const bool receiver = (Item(kRxSizeItem).dwValue & kBufferFieldMax) != 0;
    const bool transmitter = (Item(kTxSizeItem).dwValue & kBufferFieldMax) != 0;
    page->EnableControls({kRxSizeId, kRxLowLimitId, kRxOkLimitId}, buffered && receiver);
    page->EnableControl(kTxSizeId, buffered && transmitter);
    for (CSetBit* binding : {&m_receiver, &m_transmitter}) {
        if (binding->IsAttached())
            binding->Refresh();
    }

    const bool fine = HasFineTune();
    page->ShowControls({kFineTuneId, kFineTuneSpinId, kFineTuneLabelId}, fine);
    page->EnableControl(kReceiverSourceId, m_loopMode.IsChecked() == 1);
    page->ShowControl(kLinAutobaudId, IsProcessorGroup(*this, kFamJ) || IsNewer());
    const bool fifo = HasFifo();
    page->ShowControl(kFifoEnableId, fifo);
    for (int id : kFifoControls) {
        page->ShowControl(id, fifo);
        page->EnableControl(id, fifo && m_fifoEnable.IsChecked() == 1);
    }
    const bool newer = IsNewer();
    page->ShowControls({kRxActiveEdgeId, kTxDmaId, kRxDmaId, kStopHoldOffId}, newer);
    page->ShowControl(kRxIdleId, IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamD));
    page->ShowControl(kByteWideId, !IsProcessorGroup(*this, kFamG));

    page->ShowControls({kTxVectorNoteId, kRxVectorNoteId}, false);
    if (IsProcessorGroup(*this, kFamA)) {
        const std::vector<CInterruptRow>& rows = InterruptRows();
        const int notes[] = {kTxVectorNoteId, kRxVectorNoteId};
        for (std::size_t i = 0; i < rows.size() && i < 2; ++i)
            hwc::ShowUserVectorNote(*this, notes[i], rows[i].vector,
                                    "See USER%d (%s) in WINTC module.");
    }
}

void CpmSCI::CheckWarnings() {
    CModule::CheckWarnings();
    const int instance = InstanceNumber();
    if (IsProcessorGroup(*this, kFamF) && instance < 2) {
        const int output = 38 + instance;
        const bool bad = hwc::SystemSciRxdFromCrossbar(*this, instance) &&
                         hwc::CrossbarOutputMode(*this, "XBAR_A", output) == 0;
        if (bad) {
            const std::string link = hwc::CrossbarLink(*this, "XBAR_A");
            SetWarning(*this, kPinStatusId, true,
                       hwc::Format("(%s OUT%d mode bad)", link.c_str(), output),
                       hwc::Format("SCI_%d RXD input is not set in %s", instance, link.c_str()));
        } else if (!HasPinStatus()) {
            // With the page the pin check above has just set the line; without it nothing
            // else clears a crossbar warning that no longer holds.
            SetWarning(*this, kPinStatusId, false, {}, {});
        }
    }
    // The label keeps its caption and turns dark red while the warning stands.
    SetWarning(*this, kModeLabelId, m_vectorsRefused, kModeCaption,
               m_vectorsRefused ? "Could not set interrupt vectors required by this mode" : "");

    const std::uint32_t size = Item(kRxSizeItem).dwValue & kBufferFieldMax;
    const std::uint32_t low = Item(kRxLowLimitItem).dwValue;
    const std::uint32_t ok = Item(kRxOkLimitItem).dwValue;
    const bool badLimits = ModeValue() == kDriverBuffered && size != 0 && !(low < ok && ok <= size);
    // The edit itself carries the warning: its text turns dark red instead of being replaced.
    if (CPageControl* edit = FindControl(kRxLowLimitId))
        edit->SetTextColour(badLimits ? std::optional<tColour>(tColour{128, 0, 0}) : std::nullopt);
    if (IModuleHost* host = Host()) {
        host->SetWarning(
            this, kRxLowLimitId, badLimits,
            badLimits ? "Receiver buffer limits must satisfy low limit < OK limit <= buffer size"
                      : "",
            nullptr);
    }
}

bool CpmSCI::IsPinFunctionUsed(const std::string& signal) const {
    // A direction that is switched off needs no pin, nor does one that loop mode keeps inside.
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const bool loop = (ctrl >> kLoopModeBit) & 1u;
    if (signal.find("RXD") != std::string::npos)
        return !loop && ((ctrl >> kReceiverEnableBit) & 1u);
    if (signal.find("TXD") != std::string::npos)
        return !(loop && ((ctrl >> kReceiverSourceBit) & 1u) == 0) &&
               ((ctrl >> kTransmitterEnableBit) & 1u);
    return true;
}

bool CpmSCI::IsTransmitterEnabled() const {
    return (Item(kCtrlItem).dwValue >> kTransmitterEnableBit) & 1u;
}

void CpmSCI::SetDirection(int direction, bool on) {
    tPerCfgItem& size = Item(direction == 0 ? kRxSizeItem : kTxSizeItem);
    const std::uint32_t current = size.dwValue & kBufferFieldMax;
    if (on) {
        if (current == 0)
            size.dwValue = m_keptSize[direction] != 0 ? m_keptSize[direction] : kDefaultBufferSize;
    } else {
        if (current != 0)
            m_keptSize[direction] = current;
        size.dwValue = 0;
    }
    CSetValue& edit = direction == 0 ? m_rxSize : m_txSize;
    if (edit.IsAttached())
        edit.Refresh();
}

void CpmSCI::SetByteWide(bool byteWide) {
    // The element type is one define shared by every interface: all of them follow.
    IModuleHost* host = Host();
    const std::string_view type = byteWide ? kByteWideType : kWordType;
    if (!host) {
        SetItemText(Item(kCharTypeItem), type);
        return;
    }
    for (std::size_t i = 0; i < host->ModuleCount(); ++i) {
        auto* sci = dynamic_cast<CpmSCI*>(host->ModuleAt(i));
        if (!sci)
            continue;
        SetItemText(sci->Item(kCharTypeItem), type);
        if (sci != this && sci->m_byteWide.IsAttached())
            sci->m_byteWide.Refresh();
    }
}

void CpmSCI::DirectionSetter(bool checked, void* context, int direction) {
    static_cast<CpmSCI*>(context)->SetDirection(direction, checked);
}

bool CpmSCI::DirectionGetter(void* context, int direction) {
    const auto* self = static_cast<const CpmSCI*>(context);
    return (self->Item(direction == 0 ? kRxSizeItem : kTxSizeItem).dwValue & kBufferFieldMax) != 0;
}

void CpmSCI::ByteWideSetter(bool checked, void* context, int) {
    static_cast<CpmSCI*>(context)->SetByteWide(checked);
}

bool CpmSCI::ByteWideGetter(void* context, int) {
    return ItemText(static_cast<const CpmSCI*>(context)->Item(kCharTypeItem)) == kByteWideType;
}
