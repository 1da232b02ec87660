#pragma once
// The serial peripheral interface: master or slave, clock polarity and phase, shift order and
// data size, the bit-rate divisor with the rate it gives, slave-select handling, FIFO queues,
// the inter-word delay, DMA requests and interrupts, and the options of the high-level driver
// generated with it, whose interrupt routines it writes into the interrupt controller.

#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetString.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmSPI : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSPI, CModule)
public:
    // Page layouts: the basic controller (FamG and the older groups), the controller with
    // slave-select, DMA and queue settings (FamB, FamC, FamA), and the newest one with the
    // stop-mode register (FamE, FamF, FamD).
    static constexpr unsigned kBasicTemplateId = 141;
    static constexpr unsigned kQueuedTemplateId = 2050;
    static constexpr unsigned kNewestTemplateId = 2093;

    // Page controls.
    static constexpr int kEnableId = 1201;
    static constexpr int kMasterId = 1202;
    static constexpr int kPolarityId = 1203;
    static constexpr int kPhaseId = 1204;
    static constexpr int kShiftOrderId = 1205;
    static constexpr int kDataSizeId = 1206;
    static constexpr int kDataSizeSpinId = 1207;
    static constexpr int kWiredOrId = 1208;
    static constexpr int kModeFaultId = 1209;
    static constexpr int kDivisorId = 1210;
    static constexpr int kDoubleDivisorId = 1211;
    static constexpr int kBitRateId = 1212;
    static constexpr int kSsAutoId = 1213;
    static constexpr int kSsOverrideId = 1214;
    static constexpr int kSsStrobeId = 1215;
    static constexpr int kTxDmaId = 1216;
    static constexpr int kRxDmaId = 1217;
    static constexpr int kRxInterruptId = 1218;
    static constexpr int kTxInterruptId = 1219;
    static constexpr int kErrorInterruptId = 1220;
    static constexpr int kFifoEnableId = 1221;
    static constexpr int kTxWatermarkId = 1222;
    static constexpr int kRxWatermarkId = 1223;
    static constexpr int kDelayId = 1224;
    static constexpr int kDelaySpinId = 1225;
    static constexpr int kDelayTimeId = 1226;
    static constexpr int kStopHoldOffId = 1227;
    static constexpr int kDriverModeLabelId = 1228;
    static constexpr int kDriverModeId = 1229;
    static constexpr int kErrorHookId = 1230;
    static constexpr int kRxCharHookId = 1231;
    static constexpr int kTxCharHookId = 1232;
    static constexpr int kRxFinishedHookId = 1233;
    static constexpr int kTxFinishedHookId = 1234;
    static constexpr int kQueueGroupId = 1235;
    static constexpr int kTxWatermarkLabelId = 1236;
    static constexpr int kRxWatermarkLabelId = 1237;
    static constexpr int kDelayLabelId = 1238;
    static constexpr int kRxUserVectorId = 1956;
    static constexpr int kTxUserVectorId = 1957;
    static constexpr int kHeadingPlaceholderId = 510;

    // Register items in table order.
    static constexpr int kDataItem = 0; // SPDSR on FamG, SPDSCR elsewhere
    static constexpr int kStatusControlItem = 1;
    static constexpr int kFifoItem = 2;
    static constexpr int kDelayItem = 3;
    static constexpr int kControl2Item = 4;
    static constexpr int kModeItem = 5;
    static constexpr int kFirstHookItem = 6;
    static constexpr int kItemCount = 11;

    // Driver modes of the mode field.
    static constexpr std::uint32_t kDriverDisabled = 0;

    CpmSPI(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // A disabled interface needs none of its pins.
    bool IsPinFunctionUsed(const std::string& signal) const override;

    // The divisor the index and the doubling give, limited to what the controller can do, and
    // whether the limit cut it; 0 for an index the processor does not offer.
    struct tDivisor {
        std::uint32_t value = 0;
        bool limited = false;
    };
    tDivisor Divisor() const;
    // The four-bit divisor index (three bits in SPSCR, the top bit in SPDSCR) or the plain
    // SPSCR field, as the processor has it.
    int DivisorIndex() const;
    void SetDivisorIndex(int index);
    // The bit rate in Hz; 0 without a clock.
    double BitRate() const;
    // The driver's routine name for interrupt row `row`; empty for a row the driver leaves.
    std::string RoutineName(int row) const;
    // Whether the last claim pass was refused by the interrupt controller.
    bool VectorClaimRefused() const { return m_claimRefused; }

    CSetMode& DivisorList() { return m_divisor; }
    CSetBit& DoubleDivisor() { return m_doubleDivisor; }
    CSetMode& DriverMode() { return m_driverMode; }
    CSetBit& FifoEnable() { return m_fifoEnable; }
    CSetValue& DataSize() { return m_dataSize; }
    CSetValue& Delay() { return m_delay; }

protected:
    void AttachControls(CPage& page) override;

private:
    bool IsFamG() const { return IsProcessorGroup(*this, kFamG); }
    bool HasFourBitIndex() const;
    bool HasDoubling() const;
    bool HasQueues() const; // FIFO and delay registers
    bool HasControl2() const;
    bool HasSlaveSelect() const;
    // Claims the driver's routines in the interrupt controller or releases them.
    void ClaimRoutines();

    static void WriteIndex(int value, void* context, int parameter);
    static int ReadIndex(void* context, int parameter);

    CSetBit m_enable;
    CSetMode m_master;
    CSetMode m_polarity;
    CSetMode m_phase;
    CSetMode m_shiftOrder;
    CSetValue m_dataSize;
    CSetBit m_wiredOr;
    CSetBit m_modeFault;
    CSetMode m_divisor;
    CSetBit m_doubleDivisor;
    CSetBit m_ssAuto;
    CSetBit m_ssOverride;
    CSetBit m_ssStrobe;
    CSetBit m_txDma;
    CSetBit m_rxDma;
    CSetBit m_rxInterrupt;
    CSetBit m_txInterrupt;
    CSetBit m_errorInterrupt;
    CSetBit m_fifoEnable;
    CSetMode m_txWatermark;
    CSetMode m_rxWatermark;
    CSetValue m_delay;
    CSetBit m_stopHoldOff;
    CSetMode m_driverMode;
    CSetString m_hooks[5];
    bool m_claimRefused = false;
};
