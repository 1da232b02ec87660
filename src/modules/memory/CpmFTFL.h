#pragma once
// The flash memory module: the command-complete and read-collision interrupt enables, the
// protection of the 32 program flash regions (and, on FamE, of the eight EEPROM and eight data
// flash regions) and, on FamD, the ECC fault interrupts with their force-fault test bits.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "bindings/SetBit.h"
#include "modules/framework/CModule.h"

class CpmFTFL : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmFTFL, CModule)
public:
    static constexpr unsigned kTemplateId = 2104;

    static constexpr int kRegionCount = 32;
    static constexpr int kSmallRegionCount = 8;

    // Page controls.
    static constexpr int kCommandCompleteId = 2401;
    static constexpr int kReadCollisionId = 2402;
    static constexpr int kFirstRegionId = 2410;       // program flash region 0 .. 31
    static constexpr int kFirstEepromRegionId = 2450; // EEPROM region 0 .. 7
    static constexpr int kFirstDataRegionId = 2460;   // data flash region 0 .. 7
    static constexpr int kProtectedSummaryId = 2470;
    static constexpr int kSingleFaultId = 2480;
    static constexpr int kDoubleFaultId = 2481;
    static constexpr int kForceSingleId = 2482;
    static constexpr int kForceDoubleId = 2483;
    static constexpr int kForceWarningId = 2484;

    // Register items in table order; FEPROT/FDPROT on FamE, FERCNFG on FamD.
    static constexpr int kConfigItem = 0;
    static constexpr int kFirstProtectionItem = 1; // FPROT0; FPROT3 is item 4
    static constexpr int kEepromProtectionItem = 5;
    static constexpr int kDataProtectionItem = 6;
    static constexpr int kErrorConfigItem = 5;

    static constexpr const char* kFlashSizeKey = "FLASH_SIZE";
    static constexpr const char* kForceWarning =
        "Force fault detection is set: every flash read reports an ECC fault. Use it only to "
        "test the fault handling.";

    enum class ELayout { Basic, WithEeprom, WithEcc };

    CpmFTFL(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void CheckWarnings() override;

    ELayout Layout() const { return m_layout; }
    // The number of protected program flash regions (a cleared protection bit protects).
    int ProtectedRegions() const;
    // The program flash size in bytes the architecture file gives, when it gives a usable one.
    std::optional<std::uint32_t> FlashSize() const;
    // "n of 32 regions protected", with the protected size when the flash size is known.
    std::string ProtectedText() const;

    CSetBit& Region(int region) { return m_regions[static_cast<std::size_t>(region)]; }
    CSetBit& EepromRegion(int region) { return m_eepromRegions[static_cast<std::size_t>(region)]; }
    CSetBit& DataRegion(int region) { return m_dataRegions[static_cast<std::size_t>(region)]; }
    CSetBit& CommandComplete() { return m_commandComplete; }
    CSetBit& ReadCollision() { return m_readCollision; }
    CSetBit& ForceSingle() { return m_forceSingle; }
    CSetBit& ForceDouble() { return m_forceDouble; }

protected:
    void AttachControls(CPage& page) override;

private:
    void AddRegionCommentItems(CSetBit* regions, int count);

    ELayout m_layout = ELayout::Basic;
    CSetBit m_commandComplete;
    CSetBit m_readCollision;
    std::array<CSetBit, kRegionCount> m_regions;
    std::array<CSetBit, kSmallRegionCount> m_eepromRegions;
    std::array<CSetBit, kSmallRegionCount> m_dataRegions;
    CSetBit m_singleFault;
    CSetBit m_doubleFault;
    CSetBit m_forceSingle;
    CSetBit m_forceDouble;
};
