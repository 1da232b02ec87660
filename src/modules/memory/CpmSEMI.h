#pragma once
// The external memory interface: the bus control register (bus driven while idle, default wait
// states outside the chip selects) and eight chip selects, each with a base register (base
// address and block size), an option register (enable, byte enables, space, wait states) and a
// timing register (setup and hold cycles). The page shows each chip select's decoded address
// range and the access times its wait states give at the bus clock, and warns about misaligned
// and overlapping blocks.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "model/Page.h"
#include "model/Summary.h"
#include "modules/framework/CModule.h"
#include "modules/memory/SemiChipSelect.h"

class CpmSEMI;
class CModuleSubDlg;

// A summary entry whose text a function gives, shown while another function says so.
class CSemiSummary : public ISummarySource {
public:
    CSemiSummary(std::function<bool()> active, std::function<std::string()> text)
        : m_active(std::move(active)), m_text(std::move(text)) {}
    bool IsActive() const override { return m_active(); }
    std::string GetSummaryText(bool, std::uint32_t) const override { return m_text(); }

private:
    std::function<bool()> m_active;
    std::function<std::string()> m_text;
};

// One chip select's block: access, space, base, size, byte enables and the decoded range, with
// its two warnings.
class CpmSEMI_CSDlg {
public:
    static constexpr int kGroupId = 1000;
    static constexpr int kAccessId = 1001;
    static constexpr int kSpaceId = 1002;
    static constexpr int kBaseId = 1003;
    static constexpr int kSizeId = 1004;
    static constexpr int kRangeId = 1005;
    static constexpr int kLowerByteId = 1006;
    static constexpr int kUpperByteId = 1007;
    static constexpr int kAlignWarningId = 1008;
    static constexpr int kOverlapWarningId = 1009;
    static constexpr int kBaseLabelId = 1010;
    static constexpr int kSizeLabelId = 1011;
    static constexpr int kRangeLabelId = 1012;
    static constexpr int kSpaceLabelId = 1013;
    // The controls a chip select that is off hides, leaving its access choice alone.
    static constexpr int kEnabledOnlyIds[] = {
        kSpaceId,     kBaseId,      kSizeId,      kRangeId,      kLowerByteId,
        kUpperByteId, kBaseLabelId, kSizeLabelId, kRangeLabelId, kSpaceLabelId};

    CpmSEMI_CSDlg(CpmSEMI& module, int chipSelect);
    CpmSEMI_CSDlg(const CpmSEMI_CSDlg&) = delete;
    CpmSEMI_CSDlg& operator=(const CpmSEMI_CSDlg&) = delete;

    static const CDialogTemplate& Template();
    void Bind();
    void Attach(CModuleSubDlg& page);
    void Refresh();

    CSetMode& Access() { return m_access; }
    CSetMode& Space() { return m_space; }
    CSetValue& Base() { return m_base; }
    CSetMode& Size() { return m_size; }
    CSetBit& LowerByte() { return m_lowerByte; }
    CSetBit& UpperByte() { return m_upperByte; }
    CSemiSummary& Summary() { return m_summary; }

private:
    CpmSEMI& m_module;
    int m_chipSelect;
    CSetMode m_access;
    CSetMode m_space;
    CSetValue m_base;
    CSetMode m_size;
    CSetBit m_lowerByte;
    CSetBit m_upperByte;
    CSemiSummary m_summary;
};

// One chip select's wait states, setup and hold cycles, with the read and write access times.
class CpmSEMI_WSDlg {
public:
    static constexpr int kGroupId = 1100;
    static constexpr int kReadWaitId = 1101;
    static constexpr int kReadWaitSpinId = 1102;
    static constexpr int kReadSetupId = 1103;
    static constexpr int kReadHoldId = 1104;
    static constexpr int kReadAccessId = 1105;
    static constexpr int kWriteWaitId = 1111;
    static constexpr int kWriteWaitSpinId = 1112;
    static constexpr int kWriteSetupId = 1113;
    static constexpr int kWriteHoldId = 1114;
    static constexpr int kWriteAccessId = 1115;

    CpmSEMI_WSDlg(CpmSEMI& module, int chipSelect);
    CpmSEMI_WSDlg(const CpmSEMI_WSDlg&) = delete;
    CpmSEMI_WSDlg& operator=(const CpmSEMI_WSDlg&) = delete;

    static const CDialogTemplate& Template();
    void Bind();
    void Attach(CModuleSubDlg& page);
    void Refresh();

    CSetValue& ReadWait() { return m_readWait; }
    CSetValue& WriteWait() { return m_writeWait; }
    CSetMode& ReadSetup() { return m_readSetup; }
    CSetMode& ReadHold() { return m_readHold; }
    CSetMode& WriteSetup() { return m_writeSetup; }
    CSetMode& WriteHold() { return m_writeHold; }

private:
    CpmSEMI& m_module;
    int m_chipSelect;
    CSetValue m_readWait;
    CSetValue m_writeWait;
    CSetMode m_readSetup;
    CSetMode m_readHold;
    CSetMode m_writeSetup;
    CSetMode m_writeHold;
};

class CpmSEMI : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSEMI, CModule)
public:
    static constexpr unsigned kTemplateId = 2040;
    static constexpr int kChipSelectCount = hwc::semi::kChipSelectCount;

    // Page controls.
    static constexpr int kDriveIdleId = 2701;
    static constexpr int kDefaultReadWaitId = 2702;
    static constexpr int kDefaultReadWaitSpinId = 2703;
    static constexpr int kDefaultWriteWaitId = 2704;
    static constexpr int kDefaultWriteWaitSpinId = 2705;
    static constexpr int kDefaultReadAccessId = 2706;
    static constexpr int kDefaultWriteAccessId = 2707;
    static constexpr int kFirstChipSelectPageId = 0xE910; // + chip select
    static constexpr int kFirstWaitStatePageId = 0xE920;  // + chip select
    static constexpr int kNoWaitStatesId = 2708;

    // Register items in table order.
    static constexpr int kBcrItem = 0;
    static constexpr int BaseItem(int chipSelect) { return 1 + chipSelect; }
    static constexpr int OptionItem(int chipSelect) { return 1 + kChipSelectCount + chipSelect; }
    static constexpr int TimingItem(int chipSelect) {
        return 1 + 2 * kChipSelectCount + chipSelect;
    }

    CpmSEMI(CModuleBase* parent, const CModuleDescriptor* descriptor);
    ~CpmSEMI() override;

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    // Chip select signals are used while their chip select is enabled; address and data lines
    // while any is.
    bool IsPinFunctionUsed(const std::string& signal) const override;

    hwc::semi::tChipSelect ChipSelect(int chipSelect) const;
    // The document's number of a control in a chip select's or wait-state block.
    static int ChipSelectControlId(int chipSelect, int id) {
        return CPage::SubPageControlId(kFirstChipSelectPageId + chipSelect, id);
    }
    static int WaitStateControlId(int chipSelect, int id) {
        return CPage::SubPageControlId(kFirstWaitStatePageId + chipSelect, id);
    }
    // The access time text of a number of bus cycles: "100 ns (5 cycles)", "??" without a bus
    // clock.
    std::string AccessTimeText(std::uint32_t cycles) const;

    CSetBit& DriveIdle() { return m_driveIdle; }
    CSetValue& DefaultReadWait() { return m_defaultReadWait; }
    CSetValue& DefaultWriteWait() { return m_defaultWriteWait; }
    CpmSEMI_CSDlg& ChipSelectDialog(int chipSelect) {
        return *m_chipSelects[static_cast<std::size_t>(chipSelect)];
    }
    CpmSEMI_WSDlg& WaitStateDialog(int chipSelect) {
        return *m_waitStates[static_cast<std::size_t>(chipSelect)];
    }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetBit m_driveIdle;
    CSetValue m_defaultReadWait;
    CSetValue m_defaultWriteWait;
    std::array<std::unique_ptr<CpmSEMI_CSDlg>, kChipSelectCount> m_chipSelects;
    std::array<std::unique_ptr<CpmSEMI_WSDlg>, kChipSelectCount> m_waitStates;
};
