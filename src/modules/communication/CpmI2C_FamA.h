#pragma once
// The 8-bit I2C controller of FamA and the later families: enable, interrupt and wake-up, the
// 7- or 10-bit slave address, the divider with the bus timing it gives and, by processor group,
// the input glitch filter (FamC and later) and the SMBus, range-address and drive settings
// (FamE, FamF and FamD, on the larger page).

#include <cstdint>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/communication/CpmI2CDividerBase.h"

class CpmI2C_FamA : public CpmI2CDividerBase {
    HWC_DECLARE_MODULE_CLASS(CpmI2C_FamA, CpmI2CDividerBase)
public:
    static constexpr unsigned kTemplateId = 2062;
    static constexpr unsigned kExtendedTemplateId = 2098;

    // Page controls besides the divider's.
    static constexpr int kEnableId = 2230;
    static constexpr int kInterruptEnableId = 2231;
    static constexpr int kSlaveAddressId = 2232;
    static constexpr int kSlaveAddressSpinId = 2233;
    static constexpr int kSlaveAddressLabelId = 2234;
    static constexpr int kWakeUpId = 2240;
    static constexpr int kDmaId = 2241;
    static constexpr int kTenBitId = 2242;
    static constexpr int kGeneralCallId = 2243;
    static constexpr int kHighDriveId = 2244;
    static constexpr int kSlaveBaudId = 2245;
    static constexpr int kRangeEnableId = 2246;
    static constexpr int kRangeAddressId = 2247;
    static constexpr int kRangeAddressSpinId = 2248;
    static constexpr int kFilterLabelId = 2249;
    static constexpr int kFilterId = 2250;
    static constexpr int kStopHoldId = 2251;
    static constexpr int kStartStopInterruptId = 2252;
    static constexpr int kFastAckId = 2253;
    static constexpr int kAlertResponseId = 2254;
    static constexpr int kSecondAddressEnableId = 2255;
    static constexpr int kSmbusAddressId = 2256;
    static constexpr int kSmbusAddressSpinId = 2257;
    static constexpr int kTimeoutClockId = 2258;
    static constexpr int kTimeoutId = 2259;
    static constexpr int kTimeoutSpinId = 2260;
    static constexpr int kTimeoutTimeId = 2261;
    static constexpr int kHighTimeoutInterruptId = 2262;

    // Register items in table order; the filter exists from FamC on, the range address on FamE,
    // FamF and FamD.
    static constexpr int kIicfItem = 0;
    static constexpr int kIica1Item = 1;
    static constexpr int kIica2Item = 2;
    static constexpr int kIicc1Item = 3;
    static constexpr int kIicc2Item = 4;
    static constexpr int kIicsmbItem = 5;
    static constexpr int kIicslthItem = 6;
    static constexpr int kIicsltlItem = 7;
    static constexpr int kIicfiltItem = 8;
    static constexpr int kIicraItem = 9;

    static constexpr const char* kAddressWarning =
        "Slave address must be less than 128 when using 7-bit adressing.";

    CpmI2C_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // The bus clock, or the fast peripheral clock (halved on request) when the system module
    // feeds this controller from it.
    double InputClockHz() const override;

    // The slave address: IICC2 bits 0..2 above IICA1 bits 1..7.
    std::uint32_t SlaveAddressValue() const;
    void SetSlaveAddressValue(std::uint32_t address);
    // The SCL low timeout: IICSLTH above IICSLTL.
    std::uint32_t LowTimeoutValue() const;
    void SetLowTimeoutValue(std::uint32_t timeout);

    bool HasFilter() const { return ItemCount() > kIicfiltItem; }
    bool HasExtendedControls() const { return ItemCount() > kIicraItem; }

    CSetBit& Enable() { return m_enable; }
    CSetBit& TenBitAddressing() { return m_tenBit; }
    CSetValue& SlaveAddress() { return m_slaveAddress; }
    CSetValue& RangeAddress() { return m_rangeAddress; }
    CSetValue& LowTimeout() { return m_timeout; }
    CSetMode& TimeoutClock() { return m_timeoutClock; }

protected:
    void AttachControls(CPage& page) override;
    int DividerItem() const override { return kIicfItem; }

private:
    CSetBit m_enable;
    CSetBit m_interruptEnable;
    CSetBit m_wakeUp;
    CSetBit m_dma;
    CSetValue m_slaveAddress;
    CSetBit m_tenBit;
    CSetBit m_generalCall;
    CSetBit m_highDrive;
    CSetBit m_slaveBaud;
    CSetBit m_rangeEnable;
    CSetValue m_rangeAddress;
    CSetMode m_filter;
    CSetBit m_stopHold;
    CSetBit m_startStopInterrupt;
    CSetBit m_fastAck;
    CSetBit m_alertResponse;
    CSetBit m_secondAddressEnable;
    CSetValue m_smbusAddress;
    CSetMode m_timeoutClock;
    CSetValue m_timeout;
    CSetBit m_highTimeoutInterrupt;
};
