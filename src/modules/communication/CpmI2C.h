#pragma once
// The I2C controller of the first families with a frequency divider (FamJ): enable, interrupt
// enable, slave address, the divider and the input noise filter, with the bus timing they give.

#include "bindings/SetBit.h"
#include "bindings/SetValue.h"
#include "modules/communication/CpmI2CDividerBase.h"

class CpmI2C : public CpmI2CDividerBase {
    HWC_DECLARE_MODULE_CLASS(CpmI2C, CpmI2CDividerBase)
public:
    static constexpr unsigned kTemplateId = 2036;

    // Page controls besides the divider's.
    static constexpr int kEnableId = 2230;
    static constexpr int kInterruptEnableId = 2231;
    static constexpr int kSlaveAddressId = 2232;
    static constexpr int kSlaveAddressSpinId = 2233;
    static constexpr int kNoiseFilterId = 2235;
    static constexpr int kFilterTimeId = 2236;

    // Register items in table order.
    static constexpr int kCtrlItem = 0;
    static constexpr int kAddrItem = 1;
    static constexpr int kFdivItem = 2;
    static constexpr int kNfiltItem = 3;

    CpmI2C(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;

    CSetBit& Enable() { return m_enable; }
    CSetBit& InterruptEnable() { return m_interruptEnable; }
    CSetValue& SlaveAddress() { return m_slaveAddress; }
    CSetMode& NoiseFilter() { return m_noiseFilter; }

protected:
    void AttachControls(CPage& page) override;
    int DividerItem() const override { return kFdivItem; }
    std::uint32_t NoiseFilterClocks() const override;

private:
    CSetBit m_enable;
    CSetBit m_interruptEnable;
    CSetValue m_slaveAddress;
    CSetMode m_noiseFilter;
};
