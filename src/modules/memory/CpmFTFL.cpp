#include "modules/memory/CpmFTFL.h"

#include <iterator>
#include <string>
#include <vector>

#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "model/Summary.h"

namespace {

using namespace hwc::RegFlag;

// A cleared protection bit protects its region: the registers come out of reset unprotected.
const tPerCfgDef kBasicRegisters[] = {
    {"FCNFG_INIT", 0, DW8},     {"FPROT0_INIT", 0xFF, DW8}, {"FPROT1_INIT", 0xFF, DW8},
    {"FPROT2_INIT", 0xFF, DW8}, {"FPROT3_INIT", 0xFF, DW8},
};
const tPerCfgDef kEepromRegisters[] = {
    {"FCNFG_INIT", 0, DW8},     {"FPROT0_INIT", 0xFF, DW8}, {"FPROT1_INIT", 0xFF, DW8},
    {"FPROT2_INIT", 0xFF, DW8}, {"FPROT3_INIT", 0xFF, DW8}, {"FEPROT_INIT", 0xFF, DW8},
    {"FDPROT_INIT", 0xFF, DW8},
};
const tPerCfgDef kEccRegisters[] = {
    {"FCNFG_INIT", 0, DW8},     {"FPROT0_INIT", 0xFF, DW8}, {"FPROT1_INIT", 0xFF, DW8},
    {"FPROT2_INIT", 0xFF, DW8}, {"FPROT3_INIT", 0xFF, DW8}, {"FERCNFG_INIT", 0, DW8},
};

// Configuration register fields.
constexpr int kReadCollisionBit = 6;
constexpr int kCommandCompleteBit = 7;
// ECC configuration register fields.
constexpr int kSingleFaultBit = 0;
constexpr int kDoubleFaultBit = 1;
constexpr int kForceSingleBit = 4;
constexpr int kForceDoubleBit = 5;

constexpr int kRegionsPerRegister = 8;
// The summary wording that names a check box only while it is checked.
constexpr std::uint32_t kCheckedOnlyStyle = 6;
constexpr std::uint32_t kByteMask = 0xFF;

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

CpmFTFL::ELayout HostLayout() {
    if (HostInGroup(CModule::kFamE))
        return CpmFTFL::ELayout::WithEeprom;
    if (HostInGroup(CModule::kFamD))
        return CpmFTFL::ELayout::WithEcc;
    return CpmFTFL::ELayout::Basic;
}

// Program flash region n lives in FPROT(3 - n / 8), bit n % 8: FPROT3 holds the lowest regions.
int RegionItem(int region) {
    return CpmFTFL::kFirstProtectionItem + 3 - region / kRegionsPerRegister;
}

// "256 KB", or bytes for a size that is no whole number of kilobytes.
std::string SizeText(std::uint64_t bytes) {
    if (bytes % 1024 == 0)
        return hwc::Format("%llu KB", static_cast<unsigned long long>(bytes / 1024));
    return hwc::Format("%llu bytes", static_cast<unsigned long long>(bytes));
}

using F = CpmFTFL;

// One row of eight region boxes, lowest region first, captioned with their region numbers.
tLayoutItem RegionRow(const std::string& caption, int firstId, int firstRegion) {
    tLayoutItem row = dlg::Row({dlg::Label(caption)});
    for (int i = 0; i < kRegionsPerRegister; ++i)
        row.children.push_back(dlg::CheckBox(firstId + i, std::to_string(firstRegion + i)));
    return row;
}

tLayoutItem InterruptGroup() {
    return dlg::Group("Flash interrupts",
                      {dlg::CheckBox(F::kCommandCompleteId, "Command complete interrupt"),
                       dlg::CheckBox(F::kReadCollisionId, "Read collision error interrupt"),
                       dlg::Placeholder(CModule::kFirstHeadingPlaceholderId),
                       dlg::Placeholder(CModule::kFirstRowPlaceholderId),
                       dlg::Placeholder(CModule::kFirstRowPlaceholderId + 1)});
}

tLayoutItem ProgramFlashGroup() {
    tLayoutItem group = dlg::Group("Program flash protection (a checked region is protected)", {});
    for (int reg = 3; reg >= 0; --reg) {
        const int first = (3 - reg) * kRegionsPerRegister;
        group.children.push_back(
            RegionRow(hwc::Format("FPROT%d, regions %d-%d:", reg, first, first + 7),
                      F::kFirstRegionId + first, first));
    }
    group.children.push_back(dlg::ReadOnly(F::kProtectedSummaryId));
    return group;
}

tLayoutItem EepromGroup() {
    return dlg::Group("EEPROM and data flash protection (a checked region is protected)",
                      {RegionRow("FEPROT, EEPROM regions:", F::kFirstEepromRegionId, 0),
                       RegionRow("FDPROT, data flash regions:", F::kFirstDataRegionId, 0)});
}

tLayoutItem EccGroup() {
    return dlg::Group(
        "ECC fault detection",
        {dlg::CheckBox(F::kSingleFaultId, "Single-bit fault detect interrupt"),
         dlg::CheckBox(F::kDoubleFaultId, "Double-bit fault detect interrupt"),
         dlg::CheckBox(F::kForceSingleId, "Force single-bit fault detect (test only)"),
         dlg::CheckBox(F::kForceDoubleId, "Force double-bit fault detect (test only)"),
         dlg::Label("", F::kForceWarningId)});
}

} // namespace

CpmFTFL::CpmFTFL(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0), m_layout(HostLayout()) {
    const tPerCfgDef* table = kBasicRegisters;
    int count = static_cast<int>(std::size(kBasicRegisters));
    if (m_layout == ELayout::WithEeprom) {
        table = kEepromRegisters;
        count = static_cast<int>(std::size(kEepromRegisters));
    } else if (m_layout == ELayout::WithEcc) {
        table = kEccRegisters;
        count = static_cast<int>(std::size(kEccRegisters));
    }
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table, true);

    AddCommentItems({{&m_commandComplete, 3}, {&m_readCollision, 3}});
    AddRegionCommentItems(m_regions.data(), kRegionCount);
    if (m_layout == ELayout::WithEeprom) {
        AddRegionCommentItems(m_eepromRegions.data(), kSmallRegionCount);
        AddRegionCommentItems(m_dataRegions.data(), kSmallRegionCount);
    }
    if (m_layout == ELayout::WithEcc)
        AddCommentItems(
            {{&m_singleFault, 3}, {&m_doubleFault, 3}, {&m_forceSingle, 3}, {&m_forceDouble, 3}});
}

void CpmFTFL::AddRegionCommentItems(CSetBit* regions, int count) {
    // One line listing the protected regions: each checked box adds its number after the
    // shared label, unchecked ones add nothing.
    for (int i = 0; i < count; ++i) {
        const std::uint32_t join = i + 1 < count ? hwc::SumFlag::CONTINUE_LINE : 0u;
        AddCommentItems({{&regions[i], kCheckedOnlyStyle | join}});
    }
}

const CDialogTemplate* CpmFTFL::DialogTemplate() const {
    static const CDialogTemplate basic(kTemplateId, {InterruptGroup(), ProgramFlashGroup()});
    static const CDialogTemplate withEeprom(kTemplateId,
                                            {InterruptGroup(), ProgramFlashGroup(), EepromGroup()});
    static const CDialogTemplate withEcc(kTemplateId,
                                         {InterruptGroup(), ProgramFlashGroup(), EccGroup()});
    switch (m_layout) {
    case ELayout::WithEeprom:
        return &withEeprom;
    case ELayout::WithEcc:
        return &withEcc;
    default:
        return &basic;
    }
}

void CpmFTFL::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_commandComplete.AttachTo(page, kCommandCompleteId);
    m_readCollision.AttachTo(page, kReadCollisionId);
    for (int i = 0; i < kRegionCount; ++i)
        Region(i).AttachTo(page, kFirstRegionId + i);
    if (m_layout == ELayout::WithEeprom) {
        for (int i = 0; i < kSmallRegionCount; ++i) {
            EepromRegion(i).AttachTo(page, kFirstEepromRegionId + i);
            DataRegion(i).AttachTo(page, kFirstDataRegionId + i);
        }
    }
    if (m_layout == ELayout::WithEcc) {
        m_singleFault.AttachTo(page, kSingleFaultId);
        m_doubleFault.AttachTo(page, kDoubleFaultId);
        m_forceSingle.AttachTo(page, kForceSingleId);
        m_forceDouble.AttachTo(page, kForceDoubleId);
    }
}

void CpmFTFL::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& config = Item(kConfigItem);
    m_commandComplete.Bind(config, kCommandCompleteBit, false, "Command complete interrupt");
    m_readCollision.Bind(config, kReadCollisionBit, false, "Read collision error interrupt");
    for (int i = 0; i < kRegionCount; ++i) {
        const std::string text = hwc::Format("Protected program flash regions: %d", i);
        Region(i).Bind(Item(RegionItem(i)), i % kRegionsPerRegister, true, text.c_str());
    }
    if (m_layout == ELayout::WithEeprom) {
        for (int i = 0; i < kSmallRegionCount; ++i) {
            const std::string eeprom = hwc::Format("Protected EEPROM regions: %d", i);
            EepromRegion(i).Bind(Item(kEepromProtectionItem), i, true, eeprom.c_str());
            const std::string data = hwc::Format("Protected data flash regions: %d", i);
            DataRegion(i).Bind(Item(kDataProtectionItem), i, true, data.c_str());
        }
    }
    if (m_layout == ELayout::WithEcc) {
        tPerCfgItem& ecc = Item(kErrorConfigItem);
        m_singleFault.Bind(ecc, kSingleFaultBit, false, "Single-bit fault detect interrupt");
        m_doubleFault.Bind(ecc, kDoubleFaultBit, false, "Double-bit fault detect interrupt");
        m_forceSingle.Bind(ecc, kForceSingleBit, false, "Force single-bit fault detect");
        m_forceDouble.Bind(ecc, kForceDoubleBit, false, "Force double-bit fault detect");
    }
}

int CpmFTFL::ProtectedRegions() const {
    int count = 0;
    for (int reg = 0; reg < 4; ++reg) {
        // Bits beyond the byte of a hand-edited value are kept but protect nothing.
        const std::uint32_t bits = Item(kFirstProtectionItem + reg).dwValue & kByteMask;
        for (int bit = 0; bit < kRegionsPerRegister; ++bit)
            count += ((bits >> bit) & 1u) == 0 ? 1 : 0;
    }
    return count;
}

std::optional<std::uint32_t> CpmFTFL::FlashSize() const {
    std::string text;
    if (!GetModuleInfo(kFlashSizeKey, text))
        return std::nullopt;
    // A negative size or one that does not divide into 32 regions says nothing usable.
    if (hwc::Trim(text).starts_with('-'))
        return std::nullopt;
    const std::optional<std::uint32_t> size = hwc::ReadExactU32(text);
    if (!size || *size == 0 || *size % kRegionCount != 0)
        return std::nullopt;
    return size;
}

std::string CpmFTFL::ProtectedText() const {
    const int count = ProtectedRegions();
    std::string text = hwc::Format("%d of %d regions protected", count, kRegionCount);
    if (const std::optional<std::uint32_t> size = FlashSize()) {
        const std::uint64_t bytes =
            static_cast<std::uint64_t>(*size) / kRegionCount * static_cast<std::uint64_t>(count);
        text += " (" + SizeText(bytes) + " of " + SizeText(*size) + ")";
    }
    return text;
}

void CpmFTFL::Recalculate() {
    if (CPage* page = Page())
        page->SetControlText(kProtectedSummaryId, ProtectedText());
}

void CpmFTFL::CheckWarnings() {
    CModule::CheckWarnings();
    if (m_layout != ELayout::WithEcc)
        return;
    const std::uint32_t ecc = Item(kErrorConfigItem).dwValue;
    const bool forced = IsSelected() && (((ecc >> kForceSingleBit) & 1u) != 0 ||
                                         ((ecc >> kForceDoubleBit) & 1u) != 0);
    SetWarning(*this, kForceWarningId, forced, forced ? kForceWarning : "",
               forced ? kForceWarning : std::string());
}
