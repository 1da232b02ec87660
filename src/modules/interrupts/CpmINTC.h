#pragma once
// The interrupt controller: for every interrupt source the name of its service routine and its
// priority, and the controller's own settings (global mask, external request pins, fast
// interrupts, and on FamA the user vectors and debug-port interrupts). It owns the vector table:
// every module shows its interrupt rows bound to this module's registers, and driver modes
// claim vectors here.

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetEnum.h"
#include "bindings/SetMode.h"
#include "bindings/SetString.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/interrupts/CpmINTCTables.h"
#include "modules/interrupts/InterruptQueries.h"

class CpmINTC;

// A list bound to a string register: a chosen entry also marks the register as given, so that
// it is written (the plain enumerated binding leaves that to a stored position).
class CSetSymbol : public CSetEnum {
public:
    void BindSymbol(tPerCfgItem& item, const char* description);
    void Apply() override;

private:
    tPerCfgItem* m_symbolItem = nullptr;
};

// The bindings of one interrupt row (source, routine name, priority) of any module's page to
// the controller's registers of its source. The controller keeps them; the row's sub-page
// belongs to the module that shows it.
class CpmINTC_IntDlg {
public:
    CpmINTC_IntDlg(CpmINTC& controller, CPage& rowPage, int source);

    int Source() const { return m_source; }
    // Binds the controls to the source's registers and sets what the flag word and the
    // vector's owner allow.
    void Attach();
    // Shows the registers again and enables what may be edited now; without `force` a name
    // edit that has the focus keeps its text.
    void UpdateState(bool force = false);

    CSetString& Name() { return m_name; }
    CSetSymbol& Priority() { return m_priority; }

private:
    CpmINTC& m_controller;
    CPage& m_page;
    int m_source;
    CSetString m_name;
    CSetSymbol m_priority;
};

class CpmINTC : public CModule, public hwc::IInterruptController {
    HWC_DECLARE_MODULE_CLASS(CpmINTC, CModule)
public:
    // Register layouts by processor group.
    enum class ELayout { FamG, Classic, New, FamA };

    static constexpr unsigned kTemplateId = 134;
    static constexpr unsigned kFamGTemplateId = 177;
    static constexpr unsigned kFamATemplateId = 101;

    // Page controls of every layout.
    static constexpr int kGlobalMaskId = 1101;
    // FamG: external request pins.
    static constexpr int kIrqAEnableId = 1102;
    static constexpr int kIrqBEnableId = 1103;
    static constexpr int kIrqATriggerId = 1104;
    static constexpr int kIrqBTriggerId = 1105;
    static constexpr int kIrqATriggerLabelId = 1108;
    static constexpr int kIrqBTriggerLabelId = 1109;
    // Classic layout: trigger modes of the pins.
    static constexpr int kIrqAModeId = 1106;
    static constexpr int kIrqBModeId = 1107;
    // Fast interrupts 0 and 1 (not FamG, not FamA) and their warnings.
    static constexpr int kFast0NumberId = 1430;
    static constexpr int kFast0NameId = 1431;
    static constexpr int kFast1NumberId = 1432;
    static constexpr int kFast1NameId = 1433;
    static constexpr int kFast0BothId = 1436;
    static constexpr int kFast1BothId = 1438;
    static constexpr int kFastLevelId = 1538;
    static constexpr int kFast0RangeId = 1539;
    static constexpr int kFast1RangeId = 1540;
    // FamA: fast interrupt, user vectors (k = 0..5) and their warnings, debug-port interrupts.
    static constexpr int kFastEnableId = 1110;
    static constexpr int kFastInterruptId = 1111;
    static constexpr int kFirstUserNumberId = 1120;
    static constexpr int kFirstUserNameId = 1130;
    static constexpr int kFirstUserValidityId = 1140;
    static constexpr int kFirstUserBothId = 1150;
    static constexpr int kFirstUserRepeatedId = 1160;
    static constexpr int kFirstEOnCEId = 1170; // bits 4 down to 0
    static constexpr int kUserVectorCount = 6;
    static constexpr int kEOnCECount = 5;
    // The row of source i sits in place of placeholder kFirstSourceRowId + i.
    static constexpr int kFirstSourceRowId = 3000;

    // Register items.
    static constexpr int kFirstFixedItem = 0;

    CpmINTC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // Routine names and trigger symbols are listed while they are given; an absent one has no
    // value to show.
    bool ShowInRegistersView(int index, const tPerCfgItem& item) const override;

    // Rows of every module.
    void AttachInterruptRow(CInterruptRow& row) override;
    void AttachInterruptRowPage(CInterruptRow& row) override;
    // The bindings of a placed row, or null for a row without them.
    CpmINTC_IntDlg* RowDialog(const CInterruptRow& row) const;
    const std::vector<CInterruptRow>& SourceRows() const { return m_sourceRows; }

    // What the other modules ask.
    bool ClaimVector(const CModuleBase* owner, int source, const std::string& routine,
                     bool claim) override;
    const CModuleBase* VectorOwner(int source) const override;
    std::optional<hwc::tUserVector> UserVectorOf(int source) const override;
    bool DebugPortInterruptsEnabled() const override;

    ELayout Layout() const { return m_layout; }
    int SourceCount() const { return static_cast<int>(m_flags.size()); }
    int FixedCount() const { return m_fixedCount; }
    // The flag word of a source, with the hiding of the architecture file; 0 outside the table.
    std::uint16_t SourceFlags(int source) const;
    const char* SourceDescription(int source) const;
    bool IsValidSource(int source) const { return source >= 0 && source < SourceCount(); }
    tPerCfgItem& VectorItem(int source) { return Item(m_fixedCount + 2 * source); }
    tPerCfgItem& PriorityItem(int source) { return Item(m_fixedCount + 2 * source + 1); }
    const tPerCfgItem& VectorItem(int source) const { return Item(m_fixedCount + 2 * source); }
    const tPerCfgItem& PriorityItem(int source) const {
        return Item(m_fixedCount + 2 * source + 1);
    }
    // The routine name of a source; empty when none is given.
    std::string RoutineName(int source) const;
    // The offered priority entries of a source: display texts and register values.
    std::vector<std::string> PriorityTexts(int source) const;
    std::vector<std::string> PriorityValues(int source) const;
    // The position of the source's priority among the offered entries, or -1.
    int PriorityIndex(int source) const;
    // The number of fast interrupt n (0 or 1) as the register holds it, negative values included.
    int FastInterruptNumber(int n) const;
    // The source number of user vector k (1 to 6); FamA.
    int UserVectorSource(int k) const;
    bool IsValidUserSource(int number) const;
    bool HasIrqPin(char pin) const { return pin == 'A' ? m_hasIrqA : m_hasIrqB; }

    // Settings bound on the page.
    CSetBit& GlobalMask() { return m_globalMask; }
    CSetValue& FastNumber(int n) { return m_fastNumber[n]; }
    CSetString& FastName(int n) { return m_fastName[n]; }
    CSetValue& UserNumber(int k) { return m_userNumber[k - 1]; }
    CSetString& UserName(int k) { return m_userName[k - 1]; }
    CSetBit& FastEnable() { return m_fastEnable; }
    CSetBit& EOnCE(int bit) { return m_eonce[bit]; }

protected:
    void AttachControls(CPage& page) override;

private:
    struct tClaim {
        const CModuleBase* owner = nullptr;
        std::string keptName; // the user's name, given back on release
    };

    void InitSources();
    void ReadModuleInfo();
    void HideSourceList(const std::string& list);
    // Every row of any module's page that shows the source takes the new state.
    void UpdateRowsOf(int source);
    void CheckFastInterrupts();
    void CheckUserVectors();
    void CheckRowPriorities();
    void SetRowWarning(int source, bool active, const std::string& text);
    void SetIndicator(int controlId, bool active, const std::string& text);

    ELayout m_layout = ELayout::Classic;
    unsigned m_template = kTemplateId;
    int m_fixedCount = 0;
    std::vector<std::uint16_t> m_flags;
    std::span<const hwc::tVectorEntry> m_table;
    std::vector<CInterruptRow> m_sourceRows;
    std::map<int, tClaim> m_claims;
    // Row bindings by the row's sub-page. An entry outlives its page harmlessly: the bindings
    // forget destroyed controls, and a new page at the same address replaces the entry.
    std::map<const CPage*, std::unique_ptr<CpmINTC_IntDlg>> m_rowDialogs;
    bool m_hasIrqA = true;
    bool m_hasIrqB = true;

    CSetBit m_globalMask;
    CSetBit m_irqEnable[2];
    CSetSymbol m_irqTrigger[2];
    CSetMode m_irqMode[2];
    CSetValue m_fastNumber[2];
    CSetString m_fastName[2];
    CSetBit m_fastEnable;
    CSetValue m_fastInterrupt;
    CSetValue m_userNumber[kUserVectorCount];
    CSetString m_userName[kUserVectorCount];
    CSetBit m_eonce[kEOnCECount];
};
