#pragma once
// One asynchronous serial interface: baud-rate divisor and fine tune with the baud rate they
// give, frame format, receiver and transmitter, loop and single-wire modes, FIFO watermarks,
// DMA and interrupts, and the options of the serial driver (blocking or buffered operation,
// buffer sizes and limits, flow control, hooks), whose interrupt routines it puts on the
// interrupt controller's vectors.

#include <cstdint>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetString.h"
#include "bindings/SetValue.h"
#include "modules/communication/CommunicationQueries.h"
#include "modules/framework/CModule.h"

class CpmSCI : public CModule, public hwc::ISerialTransmitter {
    HWC_DECLARE_MODULE_CLASS(CpmSCI, CModule)
public:
    static constexpr unsigned kTemplateId = 102;

    // Page controls.
    static constexpr int kDivisorId = 1051;
    static constexpr int kDivisorSpinId = 1525;
    static constexpr int kFineTuneId = 1052;
    static constexpr int kFineTuneSpinId = 1526;
    static constexpr int kFineTuneLabelId = 1530;
    static constexpr int kBaudRateId = 108;
    static constexpr int kReceiverEnableId = 1040;
    static constexpr int kTransmitterEnableId = 1235;
    static constexpr int kLoopModeId = 1259;
    static constexpr int kWaitModeId = 1076;
    static constexpr int kReceiverSourceId = 1079;
    static constexpr int kWordLengthId = 1069;
    static constexpr int kWakeUpId = 1136;
    static constexpr int kPolarityId = 1093;
    static constexpr int kParityId = 1131;
    static constexpr int kTxEmptyIntId = 1236;
    static constexpr int kTxIdleIntId = 1237;
    static constexpr int kRxFullIntId = 1239;
    static constexpr int kRxErrorIntId = 1241;
    static constexpr int kLinAutobaudId = 1386;
    static constexpr int kFifoEnableId = 1624;
    static constexpr int kTxWatermarkId = 1625;
    static constexpr int kRxWatermarkId = 1626;
    static constexpr int kTxWatermarkLabelId = 1627;
    static constexpr int kRxWatermarkLabelId = 1628;
    static constexpr int kRxActiveEdgeId = 2250;
    static constexpr int kTxDmaId = 2251;
    static constexpr int kRxDmaId = 2044;
    static constexpr int kRxIdleId = 1982;
    static constexpr int kStopHoldOffId = 2049;
    static constexpr int kModeId = 1233;
    static constexpr int kModeLabelId = 1516;
    static constexpr int kByteWideId = 1262;
    static constexpr int kRxSizeId = 113;
    static constexpr int kTxSizeId = 112;
    static constexpr int kRxLowLimitId = 110;
    static constexpr int kRxOkLimitId = 111;
    static constexpr int kRxSizeSpinId = 1521;
    static constexpr int kTxSizeSpinId = 1522;
    static constexpr int kRxLowLimitSpinId = 1523;
    static constexpr int kRxOkLimitSpinId = 1524;
    static constexpr int kReceiverId = 1027;
    static constexpr int kTransmitterId = 1029;
    static constexpr int kXonXoffId = 1268;
    static constexpr int kRxCharHookId = 114;
    static constexpr int kTxCharHookId = 115;
    static constexpr int kRxFinishedHookId = 116;
    static constexpr int kRxErrorHookId = 117;
    static constexpr int kRxLowBufferHookId = 118;
    static constexpr int kTxFinishedHookId = 119;
    static constexpr int kTxVectorNoteId = 1956;
    static constexpr int kRxVectorNoteId = 1957;
    static constexpr int kTxIsrLabelId = 1531;
    static constexpr int kRxIsrLabelId = 1532;

    // Register items in table order.
    static constexpr int kBaudItem = 0;
    static constexpr int kCtrlItem = 1;
    static constexpr int kCtrl2Item = 2;
    static constexpr int kModeItem = 3;
    static constexpr int kRxOkLimitItem = 4;
    static constexpr int kRxLowLimitItem = 5;
    static constexpr int kRxSizeItem = 6;
    static constexpr int kTxSizeItem = 7;
    static constexpr int kXonXoffItem = 8;
    static constexpr int kCharTypeItem = 9;
    static constexpr int kRxCharHookItem = 10;
    static constexpr int kRxErrorHookItem = 11;
    static constexpr int kTxCharHookItem = 12;
    static constexpr int kRxFinishedHookItem = 13;
    static constexpr int kTxFinishedHookItem = 14;
    static constexpr int kRxLowBufferHookItem = 15;
    static constexpr int kCtrl3Item = 16;

    // Driver modes of the mode field.
    enum EDriverMode { kDriverDisabled = 0, kDriverBlocking = 1, kDriverBuffered = 2 };

    // The buffer size a direction gets when it is switched on and never had one.
    static constexpr std::uint32_t kDefaultBufferSize = 16;

    CpmSCI(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    // The shared element-type define is read like the others, but only the module's own
    // defines decide whether the header holds the module.
    bool LoadFromHeader(CAppcfgFile* header) override;
    void AfterLoad() override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    bool IsPinFunctionUsed(const std::string& signal) const override;
    bool IsTransmitterEnabled() const override;

    // The baud rate the settings give, in bits per second; 0 without a clock or a divisor.
    float BaudRate() const;
    // The driver could not put its routines on every vector it needs.
    bool VectorsRefused() const { return m_vectorsRefused; }

    CSetValue& Divisor() { return m_divisor; }
    CSetValue& FineTune() { return m_fineTune; }
    CSetMode& DriverMode() { return m_driverMode; }
    CSetBit& Receiver() { return m_receiver; }
    CSetBit& Transmitter() { return m_transmitter; }
    CSetBit& ByteWide() { return m_byteWide; }

protected:
    void AttachControls(CPage& page) override;

private:
    bool HasFineTune() const;
    bool IsNewer() const; // FamE, FamF, FamD: control register 3, DMA and stop-mode hold-off
    bool HasFifo() const;
    int ModeValue() const;
    // Puts the driver's routine names on the module's vectors, or takes them back.
    void AssignDriverVectors();
    // Switches a buffer direction (0 receive, 1 transmit) on or off through its size.
    void SetDirection(int direction, bool on);
    // Sets the buffer element type in every serial interface of the document.
    void SetByteWide(bool byteWide);

    static void DirectionSetter(bool checked, void* context, int direction);
    static bool DirectionGetter(void* context, int direction);
    static void ByteWideSetter(bool checked, void* context, int);
    static bool ByteWideGetter(void* context, int);

    CSetValue m_divisor;
    CSetValue m_fineTune;
    CSetBit m_receiverEnable;
    CSetBit m_transmitterEnable;
    CSetBit m_loopMode;
    CSetMode m_waitMode;
    CSetMode m_receiverSource;
    CSetMode m_wordLength;
    CSetMode m_wakeUp;
    CSetMode m_polarity;
    CSetMode m_parity;
    CSetBit m_txEmptyInt;
    CSetBit m_txIdleInt;
    CSetBit m_rxFullInt;
    CSetBit m_rxErrorInt;
    CSetBit m_linAutobaud;
    CSetBit m_fifoEnable;
    CSetMode m_txWatermark;
    CSetMode m_rxWatermark;
    CSetBit m_rxActiveEdge;
    CSetBit m_txDma;
    CSetBit m_rxDma;
    CSetBit m_rxIdle;
    CSetBit m_stopHoldOff;
    CSetMode m_driverMode;
    CSetBit m_byteWide;
    CSetValue m_rxSize;
    CSetValue m_txSize;
    CSetValue m_rxLowLimit;
    CSetValue m_rxOkLimit;
    CSetBit m_receiver;
    CSetBit m_transmitter;
    CSetBit m_xonXoff;
    CSetString m_rxCharHook;
    CSetString m_rxErrorHook;
    CSetString m_rxFinishedHook;
    CSetString m_rxLowBufferHook;
    CSetString m_txCharHook;
    CSetString m_txFinishedHook;

    std::uint32_t m_keptSize[2] = {0, 0}; // last non-zero receive and transmit buffer sizes
    bool m_vectorsRefused = false;
};
