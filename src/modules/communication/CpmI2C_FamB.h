#pragma once
// The FIFO I2C controller of FamB: enable, master and slave modes, speed, slave address, FIFO
// thresholds, the SCL high and low counts of standard and fast speed with the periods and bit
// rates they give, and the interrupt sources.

#include <array>
#include <cstdint>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmI2C_FamB : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmI2C_FamB, CModule)
public:
    static constexpr unsigned kTemplateId = 2043;

    // Page controls.
    static constexpr int kEnableId = 2230;
    static constexpr int kSlaveAddressId = 2232;
    static constexpr int kInputClockId = 2212;
    static constexpr int kMasterId = 2270;
    static constexpr int kSlaveEnabledId = 2271;
    static constexpr int kSlaveDisabledId = 2272;
    static constexpr int kSevenBitSlaveId = 2273;
    static constexpr int kTenBitSlaveId = 2274;
    static constexpr int kRestartId = 2275;
    static constexpr int kSpeedId = 2276;
    static constexpr int kRxThresholdId = 2277;
    static constexpr int kTxThresholdId = 2278;
    // Per speed (standard, fast): high and low count registers, the counts, times and rate.
    struct tSpeedIds {
        int highRegister, lowRegister, highCount, highTime, lowCount, lowTime, rate;
    };
    static constexpr tSpeedIds kStandardIds = {2280, 2281, 2282, 2283, 2284, 2285, 2286};
    static constexpr tSpeedIds kFastIds = {2287, 2288, 2289, 2290, 2291, 2292, 2293};
    // Interrupt source check boxes, one per bit of IENBL from bit 0.
    static constexpr int kFirstSourceId = 2300;
    static constexpr int kSourceCount = 12;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kHeadingPlaceholderId = 512;
    static constexpr int kInterruptGroupId = 2229;

    // Register items in table order.
    static constexpr int kEnblItem = 0;
    static constexpr int kCtrlItem = 1;
    static constexpr int kSarItem = 2;
    static constexpr int kRxftItem = 3;
    static constexpr int kTxftItem = 4;
    static constexpr int kSshcntItem = 5;
    static constexpr int kSslcntItem = 6;
    static constexpr int kFshcntItem = 7;
    static constexpr int kFslcntItem = 8;
    static constexpr int kIenblItem = 9;

    // The zero text of every time and rate while there is no clock.
    static constexpr const char* kNoClockText = "Invalid";

    // The speed list: field codes 1 (standard) and 2 (fast). A code the list lacks shows no
    // selection and is written back as loaded until the user picks a speed.
    class CSpeedChoice : public CSetMode {
    public:
        bool ValidateControl(bool show) override;
        void Apply() override;

    private:
        bool KeepsValue() const;
    };

    CpmI2C_FamB(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;

    // The bus clock, or the fast peripheral clock when the system module feeds the controller
    // from it; in Hz, 0 without a clock module.
    double InputClockHz() const;

    CSetBit& Enable() { return m_enable; }
    CSpeedChoice& Speed() { return m_speed; }
    CSetValue& SlaveAddress() { return m_slaveAddress; }
    CSetValue& StandardLow() { return m_standardLow; }
    CSetBit& Source(int bit) { return m_sources[static_cast<std::size_t>(bit)]; }

protected:
    void AttachControls(CPage& page) override;

private:
    // Shows one speed's counts, times and bit rate.
    void ShowSpeed(const tSpeedIds& ids, int highItem, int lowItem, double hz);

    CSetBit m_enable;
    CSetBit m_master;
    CSetBit m_slaveEnabled;
    CSetBit m_slaveDisabled;
    CSetBit m_sevenBitSlave;
    CSetBit m_tenBitSlave;
    CSetBit m_restart;
    CSpeedChoice m_speed;
    CSetValue m_slaveAddress;
    CSetValue m_rxThreshold;
    CSetValue m_txThreshold;
    CSetValue m_standardHigh;
    CSetValue m_standardLow;
    CSetValue m_fastHigh;
    CSetValue m_fastLow;
    std::array<CSetBit, kSourceCount> m_sources;
};
