#include "modules/communication/CpmYCAN.h"

#include <string_view>

#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "modules/clocks/ClockQueries.h"

namespace {

using namespace hwc::RegFlag;

// The 16-bit controller of most groups.
const tPerCfgDef kFirstLayoutRegisters[] = {
    {"MCR_INIT", 0, DW16},        {"CTL0_INIT", 0, DW16},       {"CTL1_INIT", 0, DW16},
    {"MAXMB_INIT", 0, DW16},      {"RXGMASK_H_INIT", 0, DW16},  {"RXGMASK_L_INIT", 0, DW16},
    {"RX14MASK_H_INIT", 0, DW16}, {"RX14MASK_L_INIT", 0, DW16}, {"RX15MASK_H_INIT", 0, DW16},
    {"RX15MASK_L_INIT", 0, DW16},
};

// The 32-bit controller of FamE (the first twelve) and FamD (all). The mode register is always
// written; its default is the processor's reset value.
const tPerCfgDef kWideRegisters[] = {
    {"MCR_INIT", 0, DW32 | NODEFAULT},
    {"CTRL1_INIT", 0, DW32},
    {"CTRL2_INIT", 0, DW32},
    {"RXMGMASK_INIT", 0, DW32},
    {"RX14MASK_INIT", 0, DW32},
    {"RX15MASK_INIT", 0, DW32},
    {"RXFGMASK_INIT", 0, DW32},
    {"ECR_INIT", 0, DW32},
    {"IMASK1_INIT", 0, DW32},
    {"IMASK2_INIT", 0, DW32},
    {"MECR_INIT", 0, DW32},
    {"RXFIR_INIT", 0, DW32},
    {"CBT_INIT", 0, DW32},
    {"FDCTRL_INIT", 0, DW32},
    {"FDCBT_INIT", 0, DW32},
};
static_assert(std::size(kFirstLayoutRegisters) == CpmYCAN::kFirstLayoutCount);
static_assert(std::size(kWideRegisters) == CpmYCAN::kFamDCount);

// Where a timing field lives.
struct tFieldBits {
    int item;
    int low;
    int high;
};
using tSetBits = std::array<tFieldBits, CpmYCAN::kFieldCount>;

// Prescaler, PROP_SEG, PHASE_SEG1, PHASE_SEG2, RJW.
constexpr tSetBits kFirstLayoutBits = {{{2, 8, 15}, {1, 0, 2}, {2, 3, 5}, {2, 0, 2}, {2, 6, 7}}};
constexpr tSetBits kWideBits = {{{1, 24, 31}, {1, 0, 2}, {1, 19, 21}, {1, 16, 18}, {1, 22, 23}}};
constexpr tSetBits kExtendedBits = {
    {{12, 21, 30}, {12, 10, 15}, {12, 5, 9}, {12, 0, 4}, {12, 16, 19}}};
constexpr tSetBits kDataBits = {{{14, 20, 29}, {14, 10, 14}, {14, 5, 7}, {14, 0, 2}, {14, 16, 17}}};

const char* const kFieldDescriptions[CpmYCAN::kSetCount][CpmYCAN::kFieldCount] = {
    {"Prescaler Divide Factor", "Propagation Segment (PROP_SEG)",
     "Phase Buffer Segment 1 (PHASE_SEG1)", "Phase Buffer Segment 2 (PHASE_SEG2)",
     "Re-Synchronization Jump Width (RJW)"},
    {"Extended prescaler Divide Factor", "Extended Propagation Segment (PROP_SEG)",
     "Extended Phase Buffer Segment 1 (PHASE_SEG1)", "Extended Phase Buffer Segment 2 (PHASE_SEG2)",
     "Extended Re-Synchronization Jump Width (RJW)"},
    {"FD prescaler Divide Factor", "FD Propagation Segment (PROP_SEG)",
     "FD Phase Buffer Segment 1 (PHASE_SEG1)", "FD Phase Buffer Segment 2 (PHASE_SEG2)",
     "FD Re-Synchronization Jump Width (RJW)"},
};

// Bits shared by both layouts' control register (CTL0 or CTRL1).
constexpr int kControlItem = 1;
constexpr int kThreeSamplesBit = 7;
constexpr int kClockSourceBit = 13;
constexpr int kFdEnableBit = 11;
constexpr int kExtendedEnableBit = 31;
constexpr int kBitRateSwitchBit = 31;
constexpr std::uint32_t kExtendedFieldsMask = 0x7FFFFFFFu;

constexpr const char* kClockSourceCaption = "Clock source:";
constexpr const char* kOscillatorWarning =
    "If the clock source is oscillator clock, its frequency must be lower than the bus clock";
constexpr const char* kCandidateColumns =
    "Prescaler\tQuanta\tPROP_SEG\tPHASE_SEG1\tPHASE_SEG2\tRJW";

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

int LayoutCount() {
    if (HostInGroup(CModule::kFamD))
        return CpmYCAN::kFamDCount;
    if (HostInGroup(CModule::kFamE))
        return CpmYCAN::kFamECount;
    return CpmYCAN::kFirstLayoutCount;
}

unsigned LayoutTemplate() {
    switch (LayoutCount()) {
    case CpmYCAN::kFamDCount:
        return CpmYCAN::kFamDTemplateId;
    case CpmYCAN::kFamECount:
        return CpmYCAN::kFamETemplateId;
    default:
        return CpmYCAN::kTemplateId;
    }
}

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const int width = high - low + 1;
    const std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u;
    return (value >> low) & mask;
}

std::uint32_t WithField(std::uint32_t value, int low, int high, std::uint32_t field) {
    const int width = high - low + 1;
    const std::uint32_t mask = (width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1u) << low;
    return (value & ~mask) | ((field << low) & mask);
}

// One timing set's group: its clock, fields, derived values, bit-rate edit, candidates, graph.
tLayoutItem TimingGroup(const char* caption, int base) {
    using namespace dlg;
    const auto id = [base](int offset) { return base + offset; };
    const int field = base + CpmYCAN::kFieldOffset;
    return Group(caption,
                 {Row({Label("Source clock:"), ReadOnly(id(CpmYCAN::kSourceClockOffset))}),
                  Row({Label("Prescaler:"), Edit(field + CpmYCAN::kPrescaler), Label("PROP_SEG:"),
                       Edit(field + CpmYCAN::kPropSeg)}),
                  Row({Label("PHASE_SEG1:"), Edit(field + CpmYCAN::kPhaseSeg1),
                       Label("PHASE_SEG2:"), Edit(field + CpmYCAN::kPhaseSeg2)}),
                  Row({Label("RJW:"), Edit(field + CpmYCAN::kRjw)}),
                  Row({Label("Time quantum clock:"), ReadOnly(id(CpmYCAN::kQuantumClockOffset)),
                       Label("Time quantum:"), ReadOnly(id(CpmYCAN::kQuantumLengthOffset))}),
                  Row({Label("Bit rate:"), Edit(id(CpmYCAN::kBitRateOffset)),
                       Label("Sample point:"), ReadOnly(id(CpmYCAN::kSamplePointOffset))}),
                  Label(kCandidateColumns, id(CpmYCAN::kCandidatesLabelOffset)),
                  ListBox(id(CpmYCAN::kCandidatesOffset)),
                  Button(id(CpmYCAN::kFindOffset), "Find timings for this bit rate"),
                  Graph(id(CpmYCAN::kGraphOffset))});
}

tLayoutItem InterruptGroup() {
    using namespace dlg;
    return Group("Interrupt vectors", {Placeholder(CModule::kFirstHeadingPlaceholderId),
                                       Placeholder(CModule::kFirstRowPlaceholderId),
                                       Placeholder(CModule::kFirstRowPlaceholderId + 1),
                                       Placeholder(CModule::kFirstRowPlaceholderId + 2),
                                       Placeholder(CModule::kFirstRowPlaceholderId + 3)});
}

tLayoutItem MaskRow(const char* caption, int mask, bool halves) {
    using namespace dlg;
    if (halves) {
        return Column({Row({Label(caption), Edit(CpmYCAN::MaskEditId(mask)),
                            Edit(CpmYCAN::MaskLowEditId(mask))}),
                       ReadOnly(CpmYCAN::MaskIdsId(mask))});
    }
    return Column({Row({Label(caption), Edit(CpmYCAN::MaskEditId(mask))}),
                   ReadOnly(CpmYCAN::MaskIdsId(mask))});
}

} // namespace

CpmYCAN::CpmYCAN(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, LayoutTemplate(), descriptor, nullptr, 0) {
    const int count = LayoutCount();
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {},
                  count == kFirstLayoutCount ? kFirstLayoutRegisters : kWideRegisters, true);
    AddCommentItems({{&m_moduleDisable, 0},
                     {&m_lastBuffer, 0},
                     {&m_clockSource, 0},
                     {&m_timing[kBasicSet][kPrescaler], 0},
                     {&m_timing[kBasicSet][kPropSeg], 0},
                     {&m_timing[kBasicSet][kPhaseSeg1], 0},
                     {&m_timing[kBasicSet][kPhaseSeg2], 0},
                     {&m_timing[kBasicSet][kRjw], 0},
                     {&m_threeSamples, hwc::SumFlag::ALTERNATE},
                     {&m_loopBack, 0},
                     {&m_listenOnly, 0},
                     {&m_busOffRecovery, 0},
                     {&m_busOffInt, 0},
                     {&m_errorInt, 0}});
    if (count == kFamDCount) {
        AddCommentItems({{&m_extendedEnable, 0}});
        for (CSetValue& field : m_timing[kExtendedSet])
            AddCommentItems({{&field, 0}});
        AddCommentItems({{&m_fdEnable, 0}, {&m_bitRateSwitch, 0}});
        for (CSetValue& field : m_timing[kDataSet])
            AddCommentItems({{&field, 0}});
    }
}

const CDialogTemplate* CpmYCAN::DialogTemplate() const {
    using namespace dlg;
    // The mode and control groups, masks and buffer interrupts of the two 32-bit layouts.
    const auto wideModeGroup = [] {
        return Group(
            "Mode",
            {Row({CheckBox(kModuleDisableId, "Module disabled"),
                  CheckBox(kFreezeId, "Freeze enable"), CheckBox(kHaltId, "Halt")}),
             Row({CheckBox(kSupervisorId, "Supervisor mode"), CheckBox(kSelfWakeId, "Self wake-up"),
                  CheckBox(kWakeIntId, "Wake-up interrupt")}),
             Row({CheckBox(kRxFifoId, "Receive FIFO"),
                  CheckBox(kIndividualMasksId, "Individual masks"),
                  CheckBox(kSelfRxDisableId, "Self reception disabled")}),
             Row({CheckBox(kAbortId, "Abort enable"),
                  CheckBox(kWarningsEnableId, "Warning interrupts enable")}),
             Row({Label("Last message buffer:"), Edit(kLastBufferId),
                  UpDown(kLastBufferSpinId, 0, 127)})});
    };
    const auto wideControlGroup = [] {
        return Group(
            "Control",
            {Row({Label(kClockSourceCaption, kClockSourceLabelId),
                  DropList(kClockSourceId, {"Oscillator clock", "Bus clock"})}),
             Label("", kOscillatorWarningId),
             Row({CheckBox(kBusOffIntId, "Bus off interrupt"),
                  CheckBox(kErrorIntId, "Error interrupt")}),
             Row({CheckBox(kTxWarningIntId, "Tx warning interrupt"),
                  CheckBox(kRxWarningIntId, "Rx warning interrupt")}),
             Row({CheckBox(kLoopBackId, "Loop-back"), CheckBox(kListenOnlyId, "Listen-only"),
                  CheckBox(kBusOffRecoveryId, "Bus-off recovery disabled")}),
             Row({CheckBox(kTimerSyncId, "Timer synchronization"),
                  CheckBox(kLowestBufferFirstId, "Lowest buffer transmitted first")}),
             DropList(kThreeSamplesId,
                      {"Sampling: One sample per bit", "Sampling: Three samples per bit"})});
    };
    const auto wideMaskGroup = [] {
        return Group("Acceptance masks",
                     {MaskRow("Global:", 0, false), MaskRow("Buffer 14:", 1, false),
                      MaskRow("Buffer 15:", 2, false), MaskRow("Receive FIFO:", 3, false)});
    };
    const auto bufferInterruptGroup = [] {
        return Group("Buffer interrupts", {Row({Label("Buffers 0-31:"), Edit(kBufferInt1Id)}),
                                           Row({Label("Buffers 32-63:"), Edit(kBufferInt2Id)})});
    };
    if (!IsWide()) {
        static const CDialogTemplate first(
            kTemplateId,
            {Link(kPinStatusId, ""),
             Group("Mode", {Row({CheckBox(kModuleDisableId, "Module disabled"),
                                 CheckBox(kFreezeId, "Freeze enable"), CheckBox(kHaltId, "Halt")}),
                            Row({CheckBox(kSupervisorId, "Supervisor mode"),
                                 CheckBox(kSelfWakeId, "Self wake-up"),
                                 CheckBox(kWakeIntId, "Wake-up interrupt")}),
                            Row({CheckBox(kAbortId, "Abort enable"), Label("Last message buffer:"),
                                 Edit(kLastBufferId), UpDown(kLastBufferSpinId, 0, 15)})}),
             Group("Control",
                   {Row({CheckBox(kBusOffIntId, "Bus off interrupt"),
                         CheckBox(kErrorIntId, "Error interrupt")}),
                    Row({CheckBox(kLoopBackId, "Loop-back"), CheckBox(kListenOnlyId, "Listen-only"),
                         CheckBox(kBusOffRecoveryId, "Bus-off recovery disabled")}),
                    Row({CheckBox(kTimerSyncId, "Timer synchronization"),
                         CheckBox(kLowestBufferFirstId, "Lowest buffer transmitted first")}),
                    DropList(kThreeSamplesId,
                             {"Sampling: One sample per bit", "Sampling: Three samples per bit"})}),
             TimingGroup("Bit timing", kBasicBase),
             Group("Acceptance masks (high and low half)",
                   {MaskRow("Global:", 0, true), MaskRow("Buffer 14:", 1, true),
                    MaskRow("Buffer 15:", 2, true)}),
             InterruptGroup()});
        return &first;
    }
    if (!IsFd()) {
        static const CDialogTemplate famE(
            kFamETemplateId, {Link(kPinStatusId, ""), wideModeGroup(), wideControlGroup(),
                              TimingGroup("Bit timing", kBasicBase), wideMaskGroup(),
                              bufferInterruptGroup(), InterruptGroup()});
        return &famE;
    }
    static const CDialogTemplate famD(
        kFamDTemplateId,
        {Link(kPinStatusId, ""), wideModeGroup(), wideControlGroup(),
         Group("Timing sets", {Row({CheckBox(kExtendedEnableId, "Extended bit timing"),
                                    CheckBox(kFdEnableId, "Flexible data rate"),
                                    CheckBox(kBitRateSwitchId, "Bit rate switch")})}),
         TimingGroup("Bit timing", kBasicBase),
         TimingGroup("Extended nominal bit timing", kExtendedBase), Label("", kNominalWarningId),
         TimingGroup("Data-phase bit timing", kDataBase), Label("", kDataWarningId),
         wideMaskGroup(), bufferInterruptGroup(), InterruptGroup()});
    return &famD;
}

// --- Timing sets ---

namespace {

const tSetBits& SetBits(const CpmYCAN& module, int set) {
    if (set == CpmYCAN::kExtendedSet)
        return kExtendedBits;
    if (set == CpmYCAN::kDataSet)
        return kDataBits;
    return module.IsWide() ? kWideBits : kFirstLayoutBits;
}

} // namespace

bool CpmYCAN::ExtendedInUse() const {
    return IsFd() && ((Item(kCbtItem).dwValue >> kExtendedEnableBit) & 1u);
}

bool CpmYCAN::FdInUse() const {
    return IsFd() && ((Item(kMcrItem).dwValue >> kFdEnableBit) & 1u);
}

int CpmYCAN::NominalSet() const {
    return ExtendedInUse() || FdInUse() ? kExtendedSet : kBasicSet;
}

bool CpmYCAN::IsTimingSetShown(int set) const {
    return set == kBasicSet || IsFd();
}

hwc::tCanTiming CpmYCAN::Timing(int set) const {
    const tSetBits& bits = SetBits(*this, set);
    const auto value = [&](int field) {
        const tFieldBits& at = bits[field];
        return static_cast<int>(Field(Item(at.item).dwValue, at.low, at.high)) + 1;
    };
    hwc::tCanTiming timing;
    timing.prescaler = value(kPrescaler);
    timing.propSeg = value(kPropSeg);
    timing.phaseSeg1 = value(kPhaseSeg1);
    timing.phaseSeg2 = value(kPhaseSeg2);
    timing.rjw = value(kRjw);
    timing.threeSamples = (Item(kControlItem).dwValue >> kThreeSamplesBit) & 1u;
    return timing;
}

void CpmYCAN::SetTiming(int set, const hwc::tCanTiming& timing) {
    const tSetBits& bits = SetBits(*this, set);
    const int values[kFieldCount] = {timing.prescaler, timing.propSeg, timing.phaseSeg1,
                                     timing.phaseSeg2, timing.rjw};
    for (int field = 0; field < kFieldCount; ++field) {
        const tFieldBits& at = bits[field];
        std::uint32_t& reg = Item(at.item).dwValue;
        reg = WithField(reg, at.low, at.high, static_cast<std::uint32_t>(values[field] - 1));
        if (m_timing[set][field].IsAttached())
            m_timing[set][field].Refresh();
    }
}

hwc::tCanTimingLimits CpmYCAN::Limits(int set) const {
    if (set == kExtendedSet)
        return hwc::kCanExtendedNominalLimits;
    if (set == kDataSet)
        return hwc::kCanDataPhaseLimits;
    return hwc::kCanBasicNominalLimits;
}

double CpmYCAN::SourceClockMHz() const {
    if (IsWide() && !((Item(kControlItem).dwValue >> kClockSourceBit) & 1u)) {
        const hwc::IClockGenerator* clock = hwc::FindClockGenerator(*this);
        return clock ? clock->CrystalClockMHz() : 0.0;
    }
    return GetBusClock();
}

hwc::tCanTimingCheck CpmYCAN::CheckSet(int set) const {
    return hwc::CheckCanTiming(Timing(set), Limits(set));
}

// --- Page ---

void CpmYCAN::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kLastBufferSpinId, 0, IsWide() ? 127 : 15);
    for (int set = 0; set < kSetCount; ++set) {
        if (!IsTimingSetShown(set))
            continue;
        for (int field = 0; field < kFieldCount; ++field)
            m_timing[set][field].AttachTo(page, FieldId(set, field));
    }
    m_moduleDisable.AttachTo(page, kModuleDisableId);
    m_freeze.AttachTo(page, kFreezeId);
    m_halt.AttachTo(page, kHaltId);
    m_supervisor.AttachTo(page, kSupervisorId);
    m_selfWake.AttachTo(page, kSelfWakeId);
    m_wakeInt.AttachTo(page, kWakeIntId);
    m_lastBuffer.AttachTo(page, kLastBufferId);
    m_abort.AttachTo(page, kAbortId);
    m_busOffInt.AttachTo(page, kBusOffIntId);
    m_errorInt.AttachTo(page, kErrorIntId);
    m_loopBack.AttachTo(page, kLoopBackId);
    m_listenOnly.AttachTo(page, kListenOnlyId);
    m_busOffRecovery.AttachTo(page, kBusOffRecoveryId);
    m_threeSamples.AttachTo(page, kThreeSamplesId);
    m_timerSync.AttachTo(page, kTimerSyncId);
    m_lowestBufferFirst.AttachTo(page, kLowestBufferFirstId);
    const int masks = IsWide() ? kMaskCount : kMaskCount - 1;
    for (int mask = 0; mask < masks; ++mask) {
        m_mask[mask].AttachTo(page, MaskEditId(mask));
        if (!IsWide())
            m_maskLow[mask].AttachTo(page, MaskLowEditId(mask));
    }
    if (!IsWide())
        return;
    m_clockSource.AttachTo(page, kClockSourceId);
    m_rxFifo.AttachTo(page, kRxFifoId);
    m_individualMasks.AttachTo(page, kIndividualMasksId);
    m_selfRxDisable.AttachTo(page, kSelfRxDisableId);
    m_warningsEnable.AttachTo(page, kWarningsEnableId);
    m_txWarningInt.AttachTo(page, kTxWarningIntId);
    m_rxWarningInt.AttachTo(page, kRxWarningIntId);
    m_bufferInt1.AttachTo(page, kBufferInt1Id);
    m_bufferInt2.AttachTo(page, kBufferInt2Id);
    if (IsFd()) {
        m_extendedEnable.AttachTo(page, kExtendedEnableId);
        m_fdEnable.AttachTo(page, kFdEnableId);
        m_bitRateSwitch.AttachTo(page, kBitRateSwitchId);
    }
}

void CpmYCAN::BindControls(IModuleHost* host) {
    // Takes the reset values the processor gives ("MCR_RESET") before anything is bound.
    CModule::BindControls(host);
    for (int set = 0; set < kSetCount; ++set) {
        if (!IsTimingSetShown(set))
            continue;
        const tSetBits& bits = SetBits(*this, set);
        for (int field = 0; field < kFieldCount; ++field) {
            const tFieldBits& at = bits[field];
            m_timing[set][field].Bind(Item(at.item), at.low, at.high, 1,
                                      kFieldDescriptions[set][field], false, 0, 0, false);
        }
    }
    tPerCfgItem& mcr = Item(kMcrItem);
    tPerCfgItem& control = Item(kControlItem);
    m_threeSamples.Bind(control, kThreeSamplesBit, kThreeSamplesBit, 0, "");
    if (!IsWide()) {
        m_moduleDisable.Bind(mcr, 15, false, "");
        m_freeze.Bind(mcr, 14, false, "");
        m_halt.Bind(mcr, 12, false, "");
        m_wakeInt.Bind(mcr, 10, false, "");
        m_supervisor.Bind(mcr, 7, false, "");
        m_selfWake.Bind(mcr, 6, false, "");
        m_abort.Bind(mcr, 4, false, "");
        m_lastBuffer.Bind(Item(kMaxMbItem), 0, 3, 0, "Last message buffer", false, 0, 15, true);
        m_busOffInt.Bind(control, 15, false, "Interrupts:");
        m_errorInt.Bind(control, 14, false, "Interrupts:");
        m_loopBack.Bind(control, 12, false, "");
        m_busOffRecovery.Bind(control, 6, false, "");
        m_timerSync.Bind(control, 5, false, "");
        m_lowestBufferFirst.Bind(control, 4, false, "");
        m_listenOnly.Bind(control, 3, false, "");
        // The two halves share one label, so each names itself.
        static constexpr const char* kHalfNames[kMaskCount - 1][2] = {
            {"Global mask (high half)", "Global mask (low half)"},
            {"Buffer 14 mask (high half)", "Buffer 14 mask (low half)"},
            {"Buffer 15 mask (high half)", "Buffer 15 mask (low half)"}};
        for (int mask = 0; mask < kMaskCount - 1; ++mask) {
            m_mask[mask].Bind(Item(kGlobalMaskHighItem + 2 * mask), 0, 15, 0, kHalfNames[mask][0],
                              true, 0, 0, true);
            m_maskLow[mask].Bind(Item(kGlobalMaskHighItem + 2 * mask + 1), 0, 15, 0,
                                 kHalfNames[mask][1], true, 0, 0, true);
        }
        return;
    }
    m_moduleDisable.Bind(mcr, 31, false, "");
    m_freeze.Bind(mcr, 30, false, "");
    m_rxFifo.Bind(mcr, 29, false, "");
    m_halt.Bind(mcr, 28, false, "");
    m_wakeInt.Bind(mcr, 26, false, "");
    m_supervisor.Bind(mcr, 23, false, "");
    m_selfWake.Bind(mcr, 22, false, "");
    m_warningsEnable.Bind(mcr, 21, false, "");
    m_selfRxDisable.Bind(mcr, 17, false, "");
    m_individualMasks.Bind(mcr, 16, false, "");
    m_abort.Bind(mcr, 12, false, "");
    m_lastBuffer.Bind(mcr, 0, 6, 0, "Last message buffer", false, 0, 127, true);
    m_busOffInt.Bind(control, 15, false, "Interrupts:");
    m_errorInt.Bind(control, 14, false, "Interrupts:");
    m_clockSource.Bind(control, kClockSourceBit, kClockSourceBit, 0, "Clock source");
    m_loopBack.Bind(control, 12, false, "");
    m_txWarningInt.Bind(control, 11, false, "Interrupts:");
    m_rxWarningInt.Bind(control, 10, false, "Interrupts:");
    m_busOffRecovery.Bind(control, 6, false, "");
    m_timerSync.Bind(control, 5, false, "");
    m_lowestBufferFirst.Bind(control, 4, false, "");
    m_listenOnly.Bind(control, 3, false, "");
    for (int mask = 0; mask < kMaskCount; ++mask) {
        const int item = mask == 3 ? kFifoMaskItem : kGlobalMaskItem + mask;
        m_mask[mask].Bind(Item(item), 0, 31, 0, "", true, 0, 0, true);
    }
    m_bufferInt1.Bind(Item(kImask1Item), 0, 31, 0, "Buffer interrupts 0-31", true, 0, 0, true);
    m_bufferInt2.Bind(Item(kImask2Item), 0, 31, 0, "Buffer interrupts 32-63", true, 0, 0, true);
    if (IsFd()) {
        m_fdEnable.Bind(mcr, kFdEnableBit, false, "");
        m_extendedEnable.Bind(Item(kCbtItem), kExtendedEnableBit, false, "");
        m_bitRateSwitch.Bind(Item(kFdCtrlItem), kBitRateSwitchBit, false, "");
    }
}

// --- Derived values ---

void CpmYCAN::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    for (int set = 0; set < kSetCount; ++set) {
        if (IsTimingSetShown(set))
            RecalculateSet(page, set);
    }
    ShowMaskIds();
}

void CpmYCAN::RecalculateSet(CPage* page, int set) {
    const int base = SetBase(set);
    const double sourceMHz = SourceClockMHz();
    ShowFrequency(base + kSourceClockOffset, sourceMHz * 1000000.0, true, "???");
    const hwc::tCanTiming timing = Timing(set);
    const double quantumMHz = hwc::CanQuantumClockMHz(sourceMHz, timing.prescaler);
    const hwc::tCanQuantumTexts texts = hwc::CanQuantumTexts(quantumMHz);
    page->SetControlText(base + kQuantumClockOffset, texts.clock);
    page->SetControlText(base + kQuantumLengthOffset, texts.length);
    const int quanta = hwc::CanTotalQuanta(timing);
    // A rate the user typed stays as the target of the list until the timing is edited.
    if (!m_typedRate[set])
        ShowFrequency(base + kBitRateOffset, hwc::CanBitRate(quantumMHz, quanta), true, "???");
    page->SetControlText(base + kSamplePointOffset,
                         hwc::CanSamplePointText(1 + timing.propSeg + timing.phaseSeg1, quanta));
    SearchCandidates(page, set);
    if (set == kDataSet)
        m_dataGraph.Show(*page, timing);
    else
        (set == kBasicSet ? m_graph : m_extendedGraph).Show(*page, timing);
}

void CpmYCAN::SearchCandidates(CPage* page, int set) {
    const int base = SetBase(set);
    CPageControl* list = page->FindControl(base + kCandidatesOffset);
    CPageControl* edit = page->FindControl(base + kBitRateOffset);
    const double clockHz = SourceClockMHz() * 1000000.0;
    const double target = edit ? hwc::CanTargetRate(edit->Text(), clockHz) : 0.0;
    const hwc::tCanTiming timing = Timing(set);
    m_candidates[set] = hwc::CanCandidates(clockHz, target, Limits(set), timing.threeSamples);
    if (!list)
        return;
    std::vector<std::string> rows;
    rows.reserve(m_candidates[set].size());
    int selection = -1;
    for (const hwc::tCanCandidate& candidate : m_candidates[set]) {
        if (selection < 0 && candidate.prescaler == timing.prescaler &&
            candidate.propSeg == timing.propSeg && candidate.phaseSeg1 == timing.phaseSeg1 &&
            candidate.phaseSeg2 == timing.phaseSeg2 && candidate.rjw == timing.rjw)
            selection = static_cast<int>(rows.size());
        rows.push_back(hwc::CanCandidateRow(candidate));
    }
    if (rows != list->Items())
        list->SetItems(std::move(rows));
    list->SetSelection(selection);
}

void CpmYCAN::SelectCandidate(int set, int row) {
    if (row < 0 || row >= static_cast<int>(m_candidates[set].size()))
        return;
    const hwc::tCanCandidate& candidate = m_candidates[set][static_cast<std::size_t>(row)];
    hwc::tCanTiming timing = Timing(set);
    timing.prescaler = candidate.prescaler;
    timing.propSeg = candidate.propSeg;
    timing.phaseSeg1 = candidate.phaseSeg1;
    timing.phaseSeg2 = candidate.phaseSeg2;
    timing.rjw = candidate.rjw;
    SetTiming(set, timing);
    if (CPageControl* list = FindControl(SetBase(set) + kCandidatesOffset))
        list->SetSelection(row);
    if (IModuleHost* host = Host())
        host->UpdateAllViews(this, hwc::kHintValueWritten, nullptr);
}

void CpmYCAN::FindTimings(int set) {
    CPage* page = Page();
    if (!page || !IsTimingSetShown(set))
        return;
    SearchCandidates(page, set);
    const std::vector<hwc::tCanCandidate>& rows = m_candidates[set];
    if (rows.empty()) {
        hwc::ShowMessage(kNotAchievable);
        return;
    }
    const int prescaler = Timing(set).prescaler;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].prescaler == prescaler) {
            SelectCandidate(set, static_cast<int>(i));
            return;
        }
    }
    hwc::ShowMessage(kChangePrescaler);
    SelectCandidate(set, 0);
}

void CpmYCAN::ValidateEdit(int set) {
    const hwc::tCanTimingCheck check = CheckSet(set);
    if (check.ok())
        return;
    hwc::ShowMessage(check.message);
    int field = kPrescaler;
    switch (check.field) {
    case hwc::ECanTimingField::PropSeg:
        field = kPropSeg;
        break;
    case hwc::ECanTimingField::PhaseSeg1:
        field = kPhaseSeg1;
        break;
    case hwc::ECanTimingField::PhaseSeg2:
        field = kPhaseSeg2;
        break;
    case hwc::ECanTimingField::Rjw:
        field = kRjw;
        break;
    default:
        break;
    }
    CPage* page = Page();
    CPageControl* control = page ? page->FindControl(FieldId(set, field)) : nullptr;
    if (control && page->Observer())
        page->Observer()->OnFocusRequested(*control);
}

void CpmYCAN::ResetUnusedExtendedFields() {
    if (!IsFd() || ExtendedInUse() || FdInUse())
        return;
    std::uint32_t& cbt = Item(kCbtItem).dwValue;
    if ((cbt & kExtendedFieldsMask) == 0)
        return;
    cbt &= ~kExtendedFieldsMask;
    for (CSetValue& field : m_timing[kExtendedSet]) {
        if (field.IsAttached())
            field.Refresh();
    }
}

void CpmYCAN::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    const int id = control.Id();
    for (int set = 0; set < kSetCount; ++set) {
        const int base = SetBase(set);
        if (id == base + kBitRateOffset && event == EControlEvent::TextChanged) {
            m_typedRate[set] = true;
            if (CPage* page = Page())
                SearchCandidates(page, set);
            return;
        }
        if (id == base + kFindOffset && event == EControlEvent::Clicked) {
            FindTimings(set);
            Recalculate();
            return;
        }
        if (id == base + kCandidatesOffset && event == EControlEvent::SelectionChanged) {
            SelectCandidate(set, control.Selection());
            Recalculate();
            return;
        }
        if (id >= FieldId(set, 0) && id < FieldId(set, kFieldCount)) {
            if (event == EControlEvent::TextChanged) {
                m_edited[set] = true;
                m_typedRate[set] = false;
            } else if (event == EControlEvent::FocusLost && m_edited[set]) {
                m_edited[set] = false;
                ValidateEdit(set);
            }
            return;
        }
    }
    if ((id == kExtendedEnableId || id == kFdEnableId) && event == EControlEvent::Clicked)
        ResetUnusedExtendedFields();
    UpdateControlStates();
}

void CpmYCAN::ShowMaskIds() {
    CPage* page = Page();
    if (!page)
        return;
    const int masks = IsWide() ? kMaskCount : kMaskCount - 1;
    for (int mask = 0; mask < masks; ++mask) {
        std::uint32_t standard = 0;
        std::uint32_t extended = 0;
        if (IsWide()) {
            const int item = mask == 3 ? kFifoMaskItem : kGlobalMaskItem + mask;
            const std::uint32_t value = Item(item).dwValue;
            standard = Field(value, 18, 28);
            extended = Field(value, 0, 28);
        } else {
            // High half: standard identifier in bits 5..15, extended bits 17..15 in bits 0..2;
            // low half: extended bits 14..0 in bits 1..15.
            const std::uint32_t high = Item(kGlobalMaskHighItem + 2 * mask).dwValue & 0xFFFFu;
            const std::uint32_t low = Item(kGlobalMaskHighItem + 2 * mask + 1).dwValue & 0xFFFFu;
            standard = Field(high, 5, 15);
            extended = (standard << 18) | (Field(high, 0, 2) << 15) | Field(low, 1, 15);
        }
        page->SetControlText(MaskIdsId(mask), hwc::Format("Standard ID 0x%03X, extended ID 0x%08X",
                                                          standard, extended));
    }
}

void CpmYCAN::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    if (IsFd()) {
        const bool extended = ExtendedInUse();
        const bool fd = FdInUse();
        for (int field = 0; field < kFieldCount; ++field) {
            page->EnableControl(FieldId(kBasicSet, field), !extended && !fd);
            page->EnableControl(FieldId(kExtendedSet, field), extended || fd);
            page->EnableControl(FieldId(kDataSet, field), fd);
        }
        for (int offset : {kBitRateOffset, kCandidatesOffset, kFindOffset}) {
            page->EnableControl(kBasicBase + offset, !extended && !fd);
            page->EnableControl(kExtendedBase + offset, extended || fd);
            page->EnableControl(kDataBase + offset, fd);
        }
        page->EnableControl(kBitRateSwitchId, fd);
    }
}

bool CpmYCAN::IsPinFunctionUsed(const std::string&) const {
    // A controller the header does not hold, or a disabled one, drives and reads no bus pin.
    const int disableBit = IsWide() ? 31 : 15;
    return IsSelected() && ((Item(kMcrItem).dwValue >> disableBit) & 1u) == 0;
}

void CpmYCAN::CheckWarnings() {
    CModule::CheckWarnings();
    if (!IsWide())
        return;
    // The oscillator is compared with the bus clock itself, not the quantum clock after the
    // prescaler: it is the oscillator that has to run slower.
    const bool oscillator = !((Item(kControlItem).dwValue >> kClockSourceBit) & 1u);
    const double oscillatorMHz = oscillator ? SourceClockMHz() : 0.0;
    const double busMHz = GetBusClock();
    const bool tooFast =
        oscillator && oscillatorMHz > 0.0 && busMHz > 0.0 && oscillatorMHz >= busMHz;
    SetWarning(*this, kOscillatorWarningId, tooFast, tooFast ? kOscillatorWarning : "",
               tooFast ? kOscillatorWarning : "");
    if (!IsFd())
        return;
    const hwc::tCanTimingCheck nominal = CheckSet(NominalSet());
    SetWarning(*this, kNominalWarningId, !nominal.ok(), nominal.message, nominal.message);
    const hwc::tCanTimingCheck data = FdInUse() ? CheckSet(kDataSet) : hwc::tCanTimingCheck{};
    SetWarning(*this, kDataWarningId, !data.ok(), data.message, data.message);
}
