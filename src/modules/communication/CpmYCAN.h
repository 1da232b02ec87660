#pragma once
// The CAN controller: modes and last message buffer, interrupt masks, loop-back, listen-only and
// bus-off recovery, acceptance masks and per-buffer interrupt enables, and the bit timing of
// each timing set (basic nominal; on FamD also extended nominal and data phase for flexible
// data rate): time quantum, bit rate, sample point, rule check, the exact splits of a typed bit
// rate to pick from, and a graph of the bit.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/communication/CanBitTiming.h"
#include "modules/communication/CpmYCAN_Graph.h"
#include "modules/framework/CModule.h"

class CpmYCAN : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmYCAN, CModule)
public:
    static constexpr unsigned kTemplateId = 2024;
    static constexpr unsigned kFamETemplateId = 2103;
    static constexpr unsigned kFamDTemplateId = 2113;

    // Timing sets.
    enum ETimingSet { kBasicSet = 0, kExtendedSet = 1, kDataSet = 2, kSetCount = 3 };
    // Fields of a timing set, in the order of their bindings.
    enum ETimingField { kPrescaler = 0, kPropSeg, kPhaseSeg1, kPhaseSeg2, kRjw, kFieldCount };

    // Controls of a timing set: its base plus these offsets.
    static constexpr int kBasicBase = 2600;
    static constexpr int kExtendedBase = 2620;
    static constexpr int kDataBase = 2640;
    static constexpr int kSourceClockOffset = 0;
    static constexpr int kFieldOffset = 1; // prescaler, PROP_SEG, PHASE_SEG1, PHASE_SEG2, RJW
    static constexpr int kQuantumClockOffset = 6;
    static constexpr int kQuantumLengthOffset = 7;
    static constexpr int kBitRateOffset = 8;
    static constexpr int kSamplePointOffset = 9;
    static constexpr int kCandidatesLabelOffset = 10;
    static constexpr int kCandidatesOffset = 11;
    static constexpr int kFindOffset = 12;
    static constexpr int kGraphOffset = 13;
    static constexpr int SetBase(int set) {
        return set == kBasicSet ? kBasicBase : set == kExtendedSet ? kExtendedBase : kDataBase;
    }
    static constexpr int FieldId(int set, int field) { return SetBase(set) + kFieldOffset + field; }

    // Warnings.
    static constexpr int kNominalWarningId = 1426;
    static constexpr int kDataWarningId = 2741;
    static constexpr int kOscillatorWarningId = 2370;

    // Other page controls.
    static constexpr int kClockSourceId = 2700;
    static constexpr int kClockSourceLabelId = 2701;
    static constexpr int kExtendedEnableId = 2702;
    static constexpr int kFdEnableId = 2703;
    static constexpr int kBitRateSwitchId = 2704;
    static constexpr int kModuleDisableId = 2705;
    static constexpr int kFreezeId = 2706;
    static constexpr int kHaltId = 2707;
    static constexpr int kSupervisorId = 2708;
    static constexpr int kSelfWakeId = 2709;
    static constexpr int kWakeIntId = 2710;
    static constexpr int kLastBufferId = 2711;
    static constexpr int kLastBufferSpinId = 2712;
    static constexpr int kAbortId = 2713;
    static constexpr int kRxFifoId = 2714;
    static constexpr int kIndividualMasksId = 2715;
    static constexpr int kSelfRxDisableId = 2716;
    static constexpr int kWarningsEnableId = 2717;
    static constexpr int kBusOffIntId = 2720;
    static constexpr int kErrorIntId = 2721;
    static constexpr int kTxWarningIntId = 2722;
    static constexpr int kRxWarningIntId = 2723;
    static constexpr int kLoopBackId = 2724;
    static constexpr int kListenOnlyId = 2725;
    static constexpr int kBusOffRecoveryId = 2726;
    static constexpr int kThreeSamplesId = 2727;
    static constexpr int kTimerSyncId = 2728;
    static constexpr int kLowestBufferFirstId = 2729;
    // Acceptance mask m: its edit (the high half on the first layout), the low half's edit on
    // the first layout, and the decoded identifiers.
    static constexpr int kMaskBase = 2750;
    static constexpr int MaskEditId(int mask) { return kMaskBase + 4 * mask; }
    static constexpr int MaskLowEditId(int mask) { return kMaskBase + 4 * mask + 1; }
    static constexpr int MaskIdsId(int mask) { return kMaskBase + 4 * mask + 2; }
    static constexpr int kMaskCount = 4;
    static constexpr int kBufferInt1Id = 2770;
    static constexpr int kBufferInt2Id = 2771;

    // Register items of the first layout.
    static constexpr int kMcrItem = 0;
    static constexpr int kCtl0Item = 1;
    static constexpr int kCtl1Item = 2;
    static constexpr int kMaxMbItem = 3;
    static constexpr int kGlobalMaskHighItem = 4;
    // Register items of FamE and FamD (MCR first as above).
    static constexpr int kCtrl1Item = 1;
    static constexpr int kCtrl2Item = 2;
    static constexpr int kGlobalMaskItem = 3;
    static constexpr int kFifoMaskItem = 6;
    static constexpr int kImask1Item = 8;
    static constexpr int kImask2Item = 9;
    static constexpr int kCbtItem = 12;
    static constexpr int kFdCtrlItem = 13;
    static constexpr int kFdCbtItem = 14;

    static constexpr int kFirstLayoutCount = 10;
    static constexpr int kFamECount = 12;
    static constexpr int kFamDCount = 15;

    // The messages of the candidate search's button.
    static constexpr const char* kChangePrescaler =
        "The prescaler must be changed to achieve this baud rate !";
    static constexpr const char* kNotAchievable = "This baud rate can not be achieved.";

    CpmYCAN(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    bool IsPinFunctionUsed(const std::string& signal) const override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;

    // The layout: 16-bit first layout, FamE (32-bit) or FamD (with the extended and data sets).
    bool IsWide() const { return ItemCount() != kFirstLayoutCount; }
    bool IsFd() const { return ItemCount() == kFamDCount; }
    // FamD: extended nominal timing enabled, flexible data rate enabled.
    bool ExtendedInUse() const;
    bool FdInUse() const;
    // The nominal set the computations use: the extended one on FamD while either is in use.
    int NominalSet() const;
    // The set as the user sees it (each field plus 1) with the sampling choice.
    hwc::tCanTiming Timing(int set) const;
    void SetTiming(int set, const hwc::tCanTiming& timing);
    hwc::tCanTimingLimits Limits(int set) const;
    // The source clock of the timing in MHz: the oscillator or the bus clock (FamE, FamD), else
    // the bus clock; 0 when it is unknown.
    double SourceClockMHz() const;
    // The first broken rule of the set, checked with its own limits.
    hwc::tCanTimingCheck CheckSet(int set) const;
    // The rows of the set's candidate list as last searched.
    const std::vector<hwc::tCanCandidate>& Candidates(int set) const { return m_candidates[set]; }
    // What the bit-rate button does: searches the typed rate and selects a row by the rules.
    void FindTimings(int set);

    CSetValue& TimingField(int set, int field) { return m_timing[set][field]; }

protected:
    void AttachControls(CPage& page) override;

private:
    bool IsTimingSetShown(int set) const;
    // Shows the derived values of one set, searches its candidates and draws its graph.
    void RecalculateSet(CPage* page, int set);
    // Fills the set's list for the rate typed (or shown) in its bit-rate edit.
    void SearchCandidates(CPage* page, int set);
    // Writes the candidate row's prescaler and segments into the set's fields.
    void SelectCandidate(int set, int row);
    // Shows the rule check of the edited set in a message box and focuses the offending field.
    void ValidateEdit(int set);
    // Clears the extended fields while neither extended timing nor flexible data rate uses them.
    void ResetUnusedExtendedFields();
    void ShowMaskIds();

    std::array<std::array<CSetValue, kFieldCount>, kSetCount> m_timing;
    std::array<std::vector<hwc::tCanCandidate>, kSetCount> m_candidates;
    // The user has typed a target bit rate that the page keeps until a timing field is edited.
    std::array<bool, kSetCount> m_typedRate{};
    // A timing field of the set was edited and is checked when the focus leaves it.
    std::array<bool, kSetCount> m_edited{};
    CpmYCAN_Graph m_graph{kBasicBase + kGraphOffset};
    CpmYCAN_Graph m_extendedGraph{kExtendedBase + kGraphOffset};
    CpmYCAN_GraphFd m_dataGraph{kDataBase + kGraphOffset};

    CSetMode m_clockSource;
    CSetBit m_extendedEnable;
    CSetBit m_fdEnable;
    CSetBit m_bitRateSwitch;
    CSetBit m_moduleDisable;
    CSetBit m_freeze;
    CSetBit m_halt;
    CSetBit m_supervisor;
    CSetBit m_selfWake;
    CSetBit m_wakeInt;
    CSetValue m_lastBuffer;
    CSetBit m_abort;
    CSetBit m_rxFifo;
    CSetBit m_individualMasks;
    CSetBit m_selfRxDisable;
    CSetBit m_warningsEnable;
    CSetBit m_busOffInt;
    CSetBit m_errorInt;
    CSetBit m_txWarningInt;
    CSetBit m_rxWarningInt;
    CSetBit m_loopBack;
    CSetBit m_listenOnly;
    CSetBit m_busOffRecovery;
    CSetMode m_threeSamples;
    CSetBit m_timerSync;
    CSetBit m_lowestBufferFirst;
    std::array<CSetValue, kMaskCount> m_mask;
    std::array<CSetValue, kMaskCount> m_maskLow;
    CSetValue m_bufferInt1;
    CSetValue m_bufferInt2;
};
