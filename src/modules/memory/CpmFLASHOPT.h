#pragma once
// The flash configuration field and the boot loader's configuration block: back-door key,
// protection bytes, security and option bytes, the peripherals the boot loader listens on with
// its timeout, I2C address, CAN identifiers and bit timing, and the application region whose
// checksum it verifies. Every value is written, defaults included, since the processor reads
// them from flash rather than from reset values.

#include <array>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmFLASHOPT : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmFLASHOPT, CModule)
public:
    static constexpr unsigned kTemplateId = 2116;

    // Page controls: the back-door key bytes 0 to 7 and the protection bytes 0 to 3.
    static constexpr std::array<int, 8> kBackKeyIds = {2781, 2773, 2775, 2776,
                                                       2777, 2778, 2779, 2780};
    static constexpr std::array<int, 4> kProtectionIds = {2782, 2783, 2784, 2785};
    // Security byte lists.
    static constexpr int kBackKeyModeId = 2796;
    static constexpr int kMassEraseId = 2803;
    static constexpr int kFactoryAccessId = 2804;
    static constexpr int kSecureFlashId = 2806;
    // Option byte and boot loader.
    static constexpr int kBootFromRomId = 2789;
    static constexpr int kUartId = 2797;
    static constexpr int kIicId = 2798;
    static constexpr int kCanId = 2800;
    static constexpr int kIicAddressId = 2790;
    static constexpr int kTimeoutId = 2791;
    static constexpr int kCanTxIdId = 2794;
    static constexpr int kCanRxIdId = 2795;
    static constexpr int kClockSelectId = 1993;
    static constexpr int kPropSegId = 1420;
    static constexpr int kSpeedIndexId = 1415;
    static constexpr int kPrescalerId = 1414;
    static constexpr int kPhaseSeg1Id = 1421;
    static constexpr int kPhaseSeg2Id = 1422;
    static constexpr int kResyncJumpId = 1423;
    // Application checksum region.
    static constexpr int kAppStartId = 2787;
    static constexpr int kAppLengthId = 2788;
    static constexpr int kAppCrcId = 2792;

    // Register items in table order.
    static constexpr int kBackKey0Item = 0;
    static constexpr int kProtection0Item = 8;
    static constexpr int kSecurityItem = 12;
    static constexpr int kOptionItem = 13;
    static constexpr int kPeripheralsItem = 14;
    static constexpr int kIicAddressItem = 15;
    static constexpr int kTimeoutItem = 16;
    static constexpr int kCan1ConfigItem = 17;
    static constexpr int kCan2ConfigItem = 18;
    static constexpr int kCanTxIdItem = 19;
    static constexpr int kCanRxIdItem = 20;
    static constexpr int kAppStartItem = 21;
    static constexpr int kAppLengthItem = 22;
    static constexpr int kAppCrcItem = 23;
    static constexpr int kRegisterCount = 24;

    // The back-door key list entry that enables the key.
    static constexpr int kBackKeyEnabled = 2;

    CpmFLASHOPT(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;

protected:
    void AttachControls(CPage& page) override;

private:
    std::array<CSetValue, 8> m_backKeys;
    std::array<CSetValue, 4> m_protection;
    CSetMode m_backKeyMode;
    CSetMode m_massErase;
    CSetMode m_factoryAccess;
    CSetMode m_secureFlash;
    CSetBit m_bootFromRom;
    CSetBit m_uart;
    CSetBit m_iic;
    CSetBit m_can;
    CSetValue m_iicAddress;
    CSetValue m_timeout;
    CSetValue m_canTxId;
    CSetValue m_canRxId;
    CSetMode m_clockSelect;
    CSetValue m_propSeg;
    CSetValue m_speedIndex;
    CSetValue m_prescaler;
    CSetValue m_phaseSeg1;
    CSetValue m_phaseSeg2;
    CSetValue m_resyncJump;
    CSetValue m_appStart;
    CSetValue m_appLength;
    CSetValue m_appCrc;
};
