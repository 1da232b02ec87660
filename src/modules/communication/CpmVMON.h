#pragma once
// The build options of the serial debug-monitor driver: the interface it talks through, whether
// it runs from interrupts or by polling, its buffers, the protocol commands it supports, its
// scope, recorder and address-translation features. Running from interrupts, it writes its
// routine into the vectors of the chosen interface in the interrupt controller.

#include <string>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmVMON : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmVMON, CModule)
public:
    static constexpr unsigned kTemplateId = 2038;

    // Page controls.
    static constexpr int kInterfaceLabelId = 1515;
    static constexpr int kInterfaceId = 1376;
    static constexpr int kProcessingGroupId = 1949;
    static constexpr int kLongId = 1594;
    static constexpr int kShortId = 1595;
    static constexpr int kPollingId = 1596;
    static constexpr int kBufferSizeId = 1593;
    static constexpr int kBufferSizeSpinId = 1614;
    static constexpr int kQueueSizeId = 104;
    static constexpr int kQueueSizeSpinId = 1616;
    static constexpr int kQueueSizeLabelId = 1513;
    static constexpr int kReadMemId = 1460;
    static constexpr int kWriteMemId = 1462;
    static constexpr int kWriteMemMaskId = 1465;
    static constexpr int kReadVarId = 1467;
    static constexpr int kWriteVarId = 1469;
    static constexpr int kWriteVarMaskId = 1472;
    static constexpr int kAppCmdId = 1600;
    static constexpr int kAppCmdBufferId = 108;
    static constexpr int kAppCmdBufferSpinId = 1618;
    static constexpr int kAppCmdBufferLabelId = 1511;
    static constexpr int kAppCmdCallsId = 109;
    static constexpr int kAppCmdCallsSpinId = 1620;
    static constexpr int kAppCmdCallsLabelId = 1512;
    static constexpr int kScopeId = 1597;
    static constexpr int kScopeVarsId = 105;
    static constexpr int kScopeVarsSpinId = 1621;
    static constexpr int kScopeVarsLabelId = 1507;
    static constexpr int kRecorderId = 1598;
    static constexpr int kRecVarsId = 106;
    static constexpr int kRecVarsSpinId = 1622;
    static constexpr int kRecVarsLabelId = 1508;
    static constexpr int kTimebaseId = 1604;
    static constexpr int kTimebaseUnitId = 1606;
    static constexpr int kTimebaseLabelId = 1509;
    static constexpr int kUserBufferId = 1608;
    static constexpr int kDriverBufferId = 1610;
    static constexpr int kRecBufferSizeId = 107;
    static constexpr int kRecBufferSizeSpinId = 1623;
    static constexpr int kRecBufferSizeLabelId = 1510;
    static constexpr int kFarBufferId = 1599;
    static constexpr int kTsaId = 1602;
    static constexpr int kTsaSafetyId = 1612;
    static constexpr int kTsaInRomId = 1402;

    // Register items in table order.
    enum EItem : int {
        kInterfaceItem = 0,
        kLongItem,
        kShortItem,
        kPollItem,
        kBufferSizeItem,
        kQueueSizeItem,
        kReadMemItem,
        kWriteMemItem,
        kWriteMemMaskItem,
        kReadVarItem,
        kWriteVarItem,
        kWriteVarMaskItem,
        kAppCmdItem,
        kAppCmdBufferItem,
        kAppCmdCallsItem,
        kScopeItem,
        kScopeVarsItem,
        kRecorderItem,
        kRecVarsItem,
        kOwnBufferItem,
        kRecBufferSizeItem,
        kFarBufferItem,
        kTimebaseItem,
        kTsaItem,
        kTsaInRomItem,
        kTsaSafetyItem,
        kItemCount
    };

    // Positions in the full interface list.
    enum EInterface : int {
        kNotSpecified = 0,
        kSci0,
        kSci1,
        kJtag,
        kJtagTdf,
        kCan,
        kCan2,
        kSci2,
        kInterfaceCount
    };

    static constexpr const char* kNotAvailableSuffix = " (not available)";

    // One entry of the interface list as this processor shows it.
    struct tInterfaceEntry {
        int fullPosition = 0;
        std::string text;
        bool available = true;
    };

    CpmVMON(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    // The interface list as shown on this processor, in order.
    std::vector<tInterfaceEntry> InterfaceEntries() const;
    // The shown entry the interface field selects, or null for a position past the list.
    const tInterfaceEntry* SelectedInterface(const std::vector<tInterfaceEntry>& entries) const;
    bool IsInterruptDriven() const;
    // Whether the last claim pass was refused by the interrupt controller.
    bool VectorClaimRefused() const { return m_claimRefused; }

    CSetMode& Interface() { return m_interface; }
    CSetBit& Long() { return m_long; }
    CSetBit& Short() { return m_short; }
    CSetBit& Polling() { return m_polling; }
    CSetBit& Recorder() { return m_recorder; }
    CSetBit& DriverBuffer() { return m_driverBuffer; }

protected:
    void AttachControls(CPage& page) override;

private:
    bool Bit(int item) const { return Item(item).dwValue & 1u; }
    // Claims the vectors of the chosen interface and releases those of the others.
    void ClaimVectors();

    CSetMode m_interface;
    CSetBit m_long;
    CSetBit m_short;
    CSetBit m_polling;
    CSetValue m_bufferSize;
    CSetValue m_queueSize;
    CSetBit m_readMem;
    CSetBit m_writeMem;
    CSetBit m_writeMemMask;
    CSetBit m_readVar;
    CSetBit m_writeVar;
    CSetBit m_writeVarMask;
    CSetBit m_appCmd;
    CSetValue m_appCmdBuffer;
    CSetValue m_appCmdCalls;
    CSetBit m_scope;
    CSetValue m_scopeVars;
    CSetBit m_recorder;
    CSetValue m_recVars;
    CSetValue m_timebase;
    CSetMode m_timebaseUnit;
    CSetBit m_userBuffer;
    CSetBit m_driverBuffer;
    CSetValue m_recBufferSize;
    CSetBit m_farBuffer;
    CSetBit m_tsa;
    CSetBit m_tsaSafety;
    CSetBit m_tsaInRom;
    bool m_claimRefused = false;
};
