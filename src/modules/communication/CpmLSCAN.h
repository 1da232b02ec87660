#pragma once
// The CAN controller of the older families: modes and wake-up, the bit timing (clock source,
// prescaler, TSEG1, TSEG2, SJW) with its quantum, bit rate, sample point and graph, the list of
// exact timings for a typed bit rate, the interrupt enables, and the acceptance filters, each
// shown as an identifier and a mask in the layout of the chosen filter mode.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "model/Summary.h"
#include "modules/communication/LscanTiming.h"
#include "modules/framework/CModule.h"

class CpmLSCAN;
class CModuleSubDlg;

// One acceptance filter's page: its identifier and mask as numbers of the filter's width, each
// decoded as CAN identifier bits.
class CpmLSCAN_FiltDlg {
public:
    static constexpr int kGroupId = 1000;
    static constexpr int kIdentifierId = 1001;
    static constexpr int kIdentifierTextId = 1002;
    static constexpr int kMaskId = 1003;
    static constexpr int kMaskTextId = 1004;

    CpmLSCAN_FiltDlg(CpmLSCAN& module, int filter);
    CpmLSCAN_FiltDlg(const CpmLSCAN_FiltDlg&) = delete;
    CpmLSCAN_FiltDlg& operator=(const CpmLSCAN_FiltDlg&) = delete;

    static const CDialogTemplate& Template();

    int Filter() const { return m_filter; }
    CSetValue& Identifier() { return m_identifier; }
    CSetValue& Mask() { return m_mask; }
    CModuleSubDlg* Page() const { return m_page; }

    void Bind();
    void Attach(CModuleSubDlg& page);
    void Detach() { m_page = nullptr; }
    // Follows the filter mode: the width of both numbers, the decoded lines, and (with
    // `values`) the numbers' texts; the controls are enabled only while the filters are open.
    void Refresh(bool values);

    // The identifier (0) or mask (1) bytes of this filter as one number, in the mode's layout.
    std::uint32_t Value(int which) const;
    void SetValue(int which, std::uint32_t value);
    std::string IdentifierText() const;
    std::string MaskText() const;

private:
    static std::uint32_t Getter(void* context, int which);
    static void Setter(std::uint32_t value, void* context, int which);
    static bool Parser(std::uint32_t& value, const std::string& text, void* context, int which);
    static void Formatter(std::string& text, std::uint32_t value, void* context, int which);

    CpmLSCAN& m_module;
    int m_filter;
    CSetValue m_identifier;
    CSetValue m_mask;
    CModuleSubDlg* m_page = nullptr;
};

class CpmLSCAN : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmLSCAN, CModule)
public:
    static constexpr unsigned kTemplateId = 193;
    static constexpr unsigned kFamCFTemplateId = 2052;

    // Page controls.
    static constexpr int kEnableId = 1300;
    static constexpr int kClockSourceId = 1301;
    static constexpr int kLoopBackId = 1302;
    static constexpr int kListenOnlyId = 1303;
    static constexpr int kWakeUpFilterId = 1304;
    static constexpr int kStopInWaitId = 1305;
    static constexpr int kTimerId = 1306;
    static constexpr int kWakeUpId = 1307;
    static constexpr int kSourceClockId = 1310;
    static constexpr int kPrescalerLabelId = 1311;
    static constexpr int kPrescalerId = 1312;
    static constexpr int kPrescalerSpinId = 1313;
    static constexpr int kTseg1LabelId = 1314;
    static constexpr int kTseg1Id = 1315;
    static constexpr int kTseg1SpinId = 1316;
    static constexpr int kTseg2LabelId = 1317;
    static constexpr int kTseg2Id = 1318;
    static constexpr int kTseg2SpinId = 1319;
    static constexpr int kSjwLabelId = 1320;
    static constexpr int kSjwId = 1321;
    static constexpr int kSjwSpinId = 1322;
    static constexpr int kThreeSamplesId = 1323;
    static constexpr int kQuantumClockId = 1324;
    static constexpr int kQuantumLengthId = 1325;
    static constexpr int kQuantaLabelId = 1326;
    static constexpr int kQuantaId = 1327;
    static constexpr int kBitRateId = 1328;
    static constexpr int kBitRateButtonId = 1329;
    static constexpr int kSamplePointId = 1330;
    static constexpr int kCandidateHeaderId = 1331;
    static constexpr int kCandidatesId = 1332;
    static constexpr int kGraphId = 1333;
    static constexpr int kWakeUpIntId = 1340;
    static constexpr int kStatusChangeIntId = 1341;
    static constexpr int kReceiverStatusId = 1342;
    static constexpr int kTransmitterStatusId = 1343;
    static constexpr int kOverrunIntId = 1344;
    static constexpr int kReceiveFullIntId = 1345;
    static constexpr int kFirstTransmitEmptyIntId = 1346; // + buffer 0..2
    static constexpr int kFilterModeId = 1350;
    static constexpr int kFirstFilterPageId = 0xEB00; // + filter

    // Register items in table order.
    static constexpr int kCtl0Item = 0;
    static constexpr int kCtl1Item = 1;
    static constexpr int kBtr0Item = 2;
    static constexpr int kBtr1Item = 3;
    static constexpr int kRierItem = 4;
    static constexpr int kTierItem = 5;
    static constexpr int kIdacItem = 6;
    static constexpr int kFirstIdarItem = 7;
    static constexpr int kFirstIdmrItem = 15;
    static constexpr int kRegisterCount = 23;
    static constexpr int kFilterCount = 8;

    // The caption of the candidate list's columns.
    static constexpr const char* kCandidateColumns = "Prescaler\tQuanta\tTSEG1\tTSEG2\tSJW";

    CpmLSCAN(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmLSCAN() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;
    bool IsPinFunctionUsed(const std::string& signal) const override;

    // The timing the registers hold, in the values a user sees.
    hwc::tLscanTiming Timing() const;
    void SetTiming(const hwc::tLscanTiming& timing);
    bool IsEnabled() const;
    bool UsesBusClock() const;
    // The clock the prescaler divides (MHz): the bus clock or the oscillator input; 0 without.
    double SourceClockMHz() const;
    // The bit rate in bit/s the timing gives; 0 without a clock.
    double BitRate() const;
    int FilterMode() const;
    // The identifier (0) or mask (1) bytes of the eight filter registers.
    std::array<std::uint8_t, 8> FilterBytes(int which) const;
    void SetFilterBytes(int which, const std::array<std::uint8_t, 8>& bytes);
    CpmLSCAN_FiltDlg& FilterDialog(int filter) { return *m_filters[static_cast<std::size_t>(filter)]; }

    // Fills the candidate list for the bit-rate edit's target. From the button the row of the
    // current prescaler is chosen, or the user is told that none or no row fits; otherwise the
    // row of the current timing is chosen.
    void FindCandidates(bool fromButton);

protected:
    void AttachControls(CPage& page) override;

private:
    class CRateSummary : public ISummarySource {
    public:
        explicit CRateSummary(const CpmLSCAN& module) : m_module(module) {}
        bool IsActive() const override { return true; }
        std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override;

    private:
        const CpmLSCAN& m_module;
    };

    bool IsFamCF() const;
    // Writes a candidate row's timing into the registers and shows it.
    void ChooseCandidate(int row);

    CSetBit m_stopInWait;
    CSetBit m_timer;
    CSetBit m_wakeUp;
    CSetBit m_enable;
    CSetMode m_clockSource;
    CSetBit m_loopBack;
    CSetBit m_listenOnly;
    CSetBit m_wakeUpFilter;
    CSetValue m_prescaler;
    CSetValue m_sjw;
    CSetBit m_threeSamples;
    CSetValue m_tseg1;
    CSetValue m_tseg2;
    CSetBit m_wakeUpInt;
    CSetBit m_statusChangeInt;
    CSetMode m_receiverStatus;
    CSetMode m_transmitterStatus;
    CSetBit m_overrunInt;
    CSetBit m_receiveFullInt;
    std::array<CSetBit, 3> m_transmitEmptyInt;
    CSetMode m_filterMode;
    CRateSummary m_rateSummary{*this};
    std::array<std::unique_ptr<CpmLSCAN_FiltDlg>, kFilterCount> m_filters;
    // The bit-rate text last shown: a recalculation that gives the same text leaves what the
    // user typed in the edit.
    std::string m_shownRate;
    int m_shownFilterMode = -1; // the mode the filter numbers were last shown in
};
