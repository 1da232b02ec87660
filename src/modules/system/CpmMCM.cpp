#include "modules/system/CpmMCM.h"

#include <iterator>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CPCR_INIT", 0, DW32},      {"CFIER_INIT", 0, DW32},     {"RPCR_INIT", 0, DW32},
    {"UFLASHBAR_INIT", 0, DW32}, {"CPCR2_INIT", 0xF00, DW32}, {"SRPOSP_INIT", 0, DW32},
    {"UBROMBAR_INIT", 0, DW32},
};
constexpr int kFullCount = static_cast<int>(std::size(kRegisters));
constexpr int kCommonCount = kFullCount - 1;

// CPCR fields.
constexpr int kCrossbarArbitrationLow = 8;
constexpr int kCrossbarArbitrationHigh = 9;
constexpr int kRamArbitrationLow = 16;
constexpr int kRamArbitrationHigh = 17;
// CPCR2 fields.
constexpr int kBufferDisableBit = 0;
constexpr int kNewerInstructionsDisableBit = 1;
constexpr int kBufferDepthLow = 8;
constexpr int kBufferDepthHigh = 11;
// CFIER fields.
constexpr int kCoreDataErrorBit = 0;
constexpr int kCoreInstructionErrorBit = 1;
constexpr int kDmaErrorBit = 2;
// RPCR field.
constexpr int kRamWriteProtectBit = 0;
// SRPOSP fields: a set bit powers the RAM down in that mode.
constexpr int kStopPowerDownBit = 0;
constexpr int kLowPowerStopPowerDownBit = 1;
// The address field of a base address register.
constexpr int kAddressLow = 12;
constexpr int kAddressHigh = 23;

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

using M = CpmMCM;

tLayoutItem AddressRow(const char* caption, int id, int labelId = kNoControlId) {
    return dlg::Row({dlg::Label(caption, labelId), dlg::Edit(id)});
}

} // namespace

CpmMCM::CpmMCM(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {
    const int count = HostInGroup(kFamD) ? kFullCount : kCommonCount;
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    AddCommentItems({{&m_crossbarArbitration, 0},
                     {&m_ramArbitration, 0},
                     {&m_bufferDisable, 3},
                     {&m_bufferDepth, 0},
                     {&m_newerInstructionsDisable, 3},
                     {&m_coreDataError, 3},
                     {&m_coreInstructionError, 3},
                     {&m_dmaError, 3},
                     {&m_ramWriteProtect, 3},
                     {&m_flashBase, 0}});
    if (HasBootRomBase())
        AddCommentItems({{&m_bootRomBase, 0}});
    AddCommentItems({{&m_stopRetention, 3}, {&m_lowPowerStopRetention, 3}});
}

const CDialogTemplate* CpmMCM::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Arbitration",
             {dlg::Row({dlg::Label("Crossbar arbitration:"),
                        dlg::DropList(kCrossbarArbitrationId, {"Fixed priority", "Round robin"})}),
              dlg::Row(
                  {dlg::Label("RAM arbitration:"),
                   dlg::DropList(kRamArbitrationId, {"Round robin", "Fixed priority, core first",
                                                     "Fixed priority, DMA first"})})}),
         dlg::Group("Core",
                    {dlg::CheckBox(kBufferDisableId, "Disable instruction buffer"),
                     dlg::Row({dlg::Label("Instruction buffer depth:"), dlg::Edit(kBufferDepthId),
                               dlg::UpDown(kBufferDepthSpinId, 0,
                                           static_cast<std::int32_t>(kBufferDepthMax))}),
                     dlg::CheckBox(kNewerInstructionsDisableId,
                                   "Disable newer instructions (older instruction set only)")}),
         dlg::Group("Bus error interrupts",
                    {dlg::CheckBox(kCoreDataErrorId, "Core data bus error"),
                     dlg::CheckBox(kCoreInstructionErrorId, "Core instruction bus error"),
                     dlg::CheckBox(kDmaErrorId, "DMA bus error"),
                     dlg::Placeholder(kFirstHeadingPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId)}),
         dlg::Group("Memory",
                    {dlg::CheckBox(kRamWriteProtectId, "RAM write protection"),
                     AddressRow("Program flash base address:", kFlashBaseId),
                     AddressRow("Boot ROM base address:", kBootRomBaseId, kBootRomBaseLabelId),
                     dlg::CheckBox(kStopRetentionId, "RAM keeps its contents in stop mode"),
                     dlg::CheckBox(kLowPowerStopRetentionId,
                                   "RAM keeps its contents in low-power stop mode")})});
    return &page;
}

std::uint32_t CpmMCM::GetAddress(void* context, int item) {
    return static_cast<CpmMCM*>(context)->Item(item).dwValue & kAddressMask;
}

void CpmMCM::SetAddress(std::uint32_t value, void* context, int item) {
    // Bits outside the address field keep what the header holds.
    std::uint32_t& word = static_cast<CpmMCM*>(context)->Item(item).dwValue;
    word = (word & ~kAddressMask) | (value & kAddressMask);
}

bool CpmMCM::ReadAddress(std::uint32_t& value, const std::string& text, void*, int) {
    const std::string_view trimmed = hwc::Trim(text);
    if (trimmed.empty() || trimmed.front() == '-' || trimmed.front() == '+')
        return false;
    const bool hex =
        trimmed.size() > 2 && trimmed[0] == '0' && (trimmed[1] == 'x' || trimmed[1] == 'X');
    // A leading zero is no octal marker here: addresses are typed in hex or decimal.
    const std::string_view digits = hex ? trimmed.substr(2) : trimmed;
    std::uint64_t number = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        number = number * (hex ? 16u : 10u) + static_cast<unsigned>(digit);
        if (number > 0xFFFFFFFFull)
            return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

void CpmMCM::FormatAddress(std::string& text, std::uint32_t value, void*, int) {
    text = hwc::Format("0x%06X", value);
}

void CpmMCM::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kBufferDepthSpinId, 0, static_cast<std::int32_t>(kBufferDepthMax));
    m_crossbarArbitration.AttachTo(page, kCrossbarArbitrationId);
    m_ramArbitration.AttachTo(page, kRamArbitrationId);
    m_bufferDisable.AttachTo(page, kBufferDisableId);
    m_newerInstructionsDisable.AttachTo(page, kNewerInstructionsDisableId);
    m_bufferDepth.AttachTo(page, kBufferDepthId);
    m_coreDataError.AttachTo(page, kCoreDataErrorId);
    m_coreInstructionError.AttachTo(page, kCoreInstructionErrorId);
    m_dmaError.AttachTo(page, kDmaErrorId);
    m_ramWriteProtect.AttachTo(page, kRamWriteProtectId);
    m_flashBase.AttachTo(page, kFlashBaseId);
    if (HasBootRomBase())
        m_bootRomBase.AttachTo(page, kBootRomBaseId);
    m_stopRetention.AttachTo(page, kStopRetentionId);
    m_lowPowerStopRetention.AttachTo(page, kLowPowerStopRetentionId);
}

void CpmMCM::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& cpcr = Item(kCpcrItem);
    tPerCfgItem& cpcr2 = Item(kCpcr2Item);
    tPerCfgItem& cfier = Item(kCfierItem);
    tPerCfgItem& stop = Item(kStopPowerItem);
    m_crossbarArbitration.Bind(cpcr, kCrossbarArbitrationLow, kCrossbarArbitrationHigh, 0,
                               "Crossbar arbitration");
    m_ramArbitration.Bind(cpcr, kRamArbitrationLow, kRamArbitrationHigh, 0, "RAM arbitration");
    m_bufferDisable.Bind(cpcr2, kBufferDisableBit, false, "Disable instruction buffer");
    m_newerInstructionsDisable.Bind(cpcr2, kNewerInstructionsDisableBit, false,
                                    "Disable newer instructions");
    m_bufferDepth.Bind(cpcr2, kBufferDepthLow, kBufferDepthHigh, 0, "Instruction buffer depth",
                       false, 0, kBufferDepthMax, true);
    m_coreDataError.Bind(cfier, kCoreDataErrorBit, false, "Core data bus error interrupt");
    m_coreInstructionError.Bind(cfier, kCoreInstructionErrorBit, false,
                                "Core instruction bus error interrupt");
    m_dmaError.Bind(cfier, kDmaErrorBit, false, "DMA bus error interrupt");
    m_ramWriteProtect.Bind(Item(kRpcrItem), kRamWriteProtectBit, false, "RAM write protection");
    m_flashBase.Bind(Item(kFlashBaseItem), kAddressLow, kAddressHigh, 0,
                     "Program flash base address", true, 0, kAddressMask, true);
    m_flashBase.BindCustom(&CpmMCM::SetAddress, &CpmMCM::GetAddress, this, kFlashBaseItem);
    m_flashBase.SetRange(0, kAddressMask);
    m_flashBase.SetTextHandlers(&CpmMCM::ReadAddress, &CpmMCM::FormatAddress, this, kFlashBaseItem);
    if (HasBootRomBase()) {
        m_bootRomBase.Bind(Item(kBootRomBaseItem), kAddressLow, kAddressHigh, 0,
                           "Boot ROM base address", true, 0, kAddressMask, true);
        m_bootRomBase.BindCustom(&CpmMCM::SetAddress, &CpmMCM::GetAddress, this, kBootRomBaseItem);
        m_bootRomBase.SetRange(0, kAddressMask);
        m_bootRomBase.SetTextHandlers(&CpmMCM::ReadAddress, &CpmMCM::FormatAddress, this,
                                      kBootRomBaseItem);
    }
    // The register powers the RAM down where a bit is set; the page asks what is kept.
    m_stopRetention.Bind(stop, kStopPowerDownBit, true, "RAM keeps its contents in stop mode");
    m_lowPowerStopRetention.Bind(stop, kLowPowerStopPowerDownBit, true,
                                 "RAM keeps its contents in low-power stop mode");
}

void CpmMCM::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->ShowControls({kBootRomBaseId, kBootRomBaseLabelId}, HasBootRomBase());
    // Without the buffer its depth means nothing.
    page->EnableControl(kBufferDepthId, m_bufferDisable.IsChecked() != 1);
}
