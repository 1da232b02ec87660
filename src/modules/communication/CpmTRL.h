#pragma once
// The options of the older serial debug-monitor driver: which command sets it includes (scope,
// recorder, application commands), their variable counts and buffer sizes, and the one
// communication module it talks through.

#include "bindings/SetBit.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmTRL : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmTRL, CModule)
public:
    static constexpr unsigned kTemplateId = 183;

    // Page controls.
    static constexpr int kScopeId = 1700;
    static constexpr int kRecorderId = 1701;
    static constexpr int kAppCmdId = 1702;
    static constexpr int kScopeVarsId = 1703;
    static constexpr int kRecorderVarsId = 1704;
    static constexpr int kRecorderBufferId = 1705;
    static constexpr int kAppCmdBufferId = 1706;
    static constexpr int kCommBufferId = 1707;
    static constexpr int kCommSci0Id = 1708;
    static constexpr int kCommSci1Id = 1709;
    static constexpr int kCommJtagId = 1710;
    static constexpr int kCommLabelId = 1711;

    // Register items in table order.
    static constexpr int kScopeItem = 0;
    static constexpr int kRecorderItem = 1;
    static constexpr int kAppCmdItem = 2;
    static constexpr int kScopeVarsItem = 3;
    static constexpr int kRecorderVarsItem = 4;
    static constexpr int kRecorderBufferItem = 5;
    static constexpr int kAppCmdBufferItem = 6;
    static constexpr int kCommBufferItem = 7;
    static constexpr int kCommSci0Item = 8;
    static constexpr int kCommSci1Item = 9;
    static constexpr int kCommJtagItem = 10;

    CpmTRL(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void CheckWarnings() override;

    // The number of communication modules chosen; the driver needs exactly one.
    int ChosenCommunicationModules() const;

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_scope;
    CSetBit m_recorder;
    CSetBit m_appCmd;
    CSetValue m_scopeVars;
    CSetValue m_recorderVars;
    CSetValue m_recorderBuffer;
    CSetValue m_appCmdBuffer;
    CSetValue m_commBuffer;
    CSetBit m_commSci0;
    CSetBit m_commSci1;
    CSetBit m_commJtag;
};
