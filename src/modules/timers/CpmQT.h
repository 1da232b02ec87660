#pragma once
// One channel of a four-channel timer: count mode, primary and secondary sources, direction,
// length, output mode, capture, compare and load values, preload, interrupts, input filter and
// (on the newer processor groups) DMA requests, fault and debug behaviour. It shows the counting
// frequency and the input filter latency, and checks that its sources reach the channel.

#include <string>

#include "bindings/SetBit.h"
#include "bindings/KeptChoice.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/framework/ModuleQueries.h"
#include "modules/timers/TimerQueries.h"

class CpmQT : public CModule, public hwc::ITimerChannel, public hwc::IModuleEnable {
    HWC_DECLARE_MODULE_CLASS(CpmQT, CModule)
public:
    static constexpr unsigned kTemplateId = 182;

    // Page controls.
    static constexpr int kCountModeId = 1485;
    static constexpr int kPrimarySourceId = 1486;
    static constexpr int kPrimaryStateId = 1487;
    static constexpr int kSecondarySourceId = 1489;
    static constexpr int kSecondaryStateId = 1490;
    static constexpr int kCaptureModeId = 1491;
    static constexpr int kOutputModeId = 1492;
    static constexpr int kCountOnceId = 1493;
    static constexpr int kCountLengthId = 1494;
    static constexpr int kDirectionId = 1495;
    static constexpr int kCoChannelInitId = 1496;
    static constexpr int kFrequencyId = 1455;
    static constexpr int kOutputEnableId = 1500;
    static constexpr int kOutputPolarityId = 1501;
    static constexpr int kForcedValueId = 1502;
    static constexpr int kForceOutputId = 1503;
    static constexpr int kExternalForceId = 1504;
    static constexpr int kMasterModeId = 1505;
    static constexpr int kOutputStateId = 1506;
    static constexpr int kInputPolarityId = 1507;
    static constexpr int kCompare1Id = 1508;
    static constexpr int kCompare2Id = 1509;
    static constexpr int kLoadId = 1510;
    static constexpr int kCounterId = 1511;
    static constexpr int kCompareLoad1Id = 1512;
    static constexpr int kCompareLoad2Id = 1513;
    static constexpr int kPreload1Id = 1514;
    static constexpr int kPreload2Id = 1515;
    static constexpr int kAlternativeLoadId = 1516;
    static constexpr int kReloadOnCaptureId = 1517;
    static constexpr int kTriggeredInitId = 1518;
    static constexpr int kFaultId = 1519;
    static constexpr int kDebugActionId = 1520;
    static constexpr int kCompareIrqId = 1521;
    static constexpr int kOverflowIrqId = 1522;
    static constexpr int kInputEdgeIrqId = 1523;
    static constexpr int kCompare1IrqId = 1524;
    static constexpr int kCompare2IrqId = 1525;
    static constexpr int kInputEdgeDmaId = 1526;
    static constexpr int kCompare1DmaId = 1527;
    static constexpr int kCompare2DmaId = 1528;
    static constexpr int kFilterCountId = 1595;
    static constexpr int kFilterPeriodId = 1596;
    static constexpr int kFilterPeriodSpinId = 1597;
    static constexpr int kFilterLatencyId = 1598;
    static constexpr int kFilterTimeId = 1599;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kHeadingPlaceholderId = 512;

    // Register items in table order.
    enum EItem : int {
        kCtrlItem = 0,
        kScrItem,
        kCmp1Item,
        kCmp2Item,
        kLoadItem,
        kCntrItem,
        kCmpld1Item,
        kCmpld2Item,
        kComscrItem,
        kFiltItem,
        kEnblItem,
        kDmaItem,
    };

    // Indexes of the primary-source list.
    static constexpr int kFirstOutputSource = 4;
    static constexpr int kFirstPrescalerSource = 8;
    // Indexes of the count-mode list.
    static constexpr int kStopMode = 0;
    static constexpr int kEdgeMode = 2;
    static constexpr int kCascadedMode = 7;
    // The output mode that gates the clock out while the counter is active.
    static constexpr int kGatedOutputMode = 7;

    CpmQT(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    // The number of registers the processor's layout uses: 6, 9, 11 or 12.
    static int RegisterCountOf(const CModuleBase& module);
    // The timer letter ('A' to 'D') in the instance name, '\0' without one.
    char TimerLetter() const;
    // The clock that drives the timer's prescaler, in Hz; 0 without a clock module.
    double TimerClockHz() const;

    // From the current settings, so that other modules get it before this page is refreshed.
    double CountingFrequencyHz() const override;
    bool IsModuleEnabled() const override;

    CSetMode& CountMode() { return m_countMode; }
    CSetMode& PrimarySource() { return m_primarySource; }
    CSetMode& SecondarySource() { return m_secondarySource; }
    CSetMode& OutputMode() { return m_outputMode; }
    CSetValue& FilterPeriod() { return m_filterPeriod; }
    CSetMode& FilterCount() { return m_filterCount; }

protected:
    void AttachControls(CPage& page) override;

private:
    // What the check of one source found: the indicator beside it and the warning, if any.
    struct tSourceState {
        bool active = false;
        std::string indicator;
        std::string warning;
    };
    tSourceState CheckPrimarySource(int source, int countMode, int outputMode) const;
    // Follows counter input pin `pin` of this timer to what feeds it.
    tSourceState CheckInputPin(int pin) const;
    // A quadrature decoder of the document can take the pins of this channel.
    bool SharesPinsWithDecoder() const;
    bool HasFilter() const { return ItemCount() > kFiltItem; }
    bool HasDma() const { return ItemCount() > kDmaItem; }
    bool HasFaultAndDebug() const;
    bool HasTriggeredInit() const;

    CSetMode m_countMode;
    CSetMode m_primarySource;
    CSetMode m_secondarySource;
    CSetMode m_countOnce;
    CSetMode m_countLength;
    CSetMode m_direction;
    CSetBit m_coChannelInit;
    CSetMode m_outputMode;
    CSetBit m_outputEnable;
    CSetMode m_outputPolarity;
    CSetBit m_forcedValue;
    CSetBit m_forceOutput;
    CSetBit m_externalForce;
    CSetBit m_masterMode;
    CSetMode m_captureMode;
    CSetMode m_inputPolarity;
    CSetValue m_compare1;
    CSetValue m_compare2;
    CSetValue m_load;
    CSetValue m_counter;
    CSetValue m_compareLoad1;
    CSetValue m_compareLoad2;
    hwc::CKeptChoice m_preload1;
    hwc::CKeptChoice m_preload2;
    CSetBit m_alternativeLoad;
    CSetBit m_reloadOnCapture;
    CSetBit m_triggeredInit;
    CSetBit m_fault;
    CSetMode m_debugAction;
    CSetBit m_compareIrq;
    CSetBit m_overflowIrq;
    CSetBit m_inputEdgeIrq;
    CSetBit m_compare1Irq;
    CSetBit m_compare2Irq;
    CSetBit m_inputEdgeDma;
    CSetBit m_compare1Dma;
    CSetBit m_compare2Dma;
    CSetValue m_filterPeriod;
    CSetMode m_filterCount;
};
