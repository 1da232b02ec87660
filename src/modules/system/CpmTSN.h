#pragma once
// The on-chip temperature sensor: whether it is powered on after reset.

#include "bindings/SetBit.h"
#include "modules/framework/CModule.h"

class CpmTSN : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmTSN, CModule)
public:
    static constexpr unsigned kTemplateId = 181;

    // Page controls.
    static constexpr int kPowerOnId = 1820;

    // Register items in table order.
    static constexpr int kControlItem = 0;

    CpmTSN(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;

    CSetBit& PowerOn() { return m_powerOn; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_powerOn;
};
