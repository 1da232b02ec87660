#include "modules/memory/CpmFMC.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

// The bank's reset value differs between flash sizes: the architecture file's PFB0CR_RESET
// replaces the default given here.
const tPerCfgDef kRegisters[] = {
    {"PFAPR_INIT", 0xF000FF, DW32},
    {"PFB0CR_INIT", 0x3002001F, DW32 | NODEFAULT},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Access protection register: two bits per master from bit 0, prefetch disables from bit 16.
constexpr int kAccessBitsPerMaster = 2;
constexpr int kPrefetchDisableBit = 16;
// Bank 0 control register.
constexpr int kSingleEntryBufferBit = 0;
constexpr int kInstructionPrefetchBit = 1;
constexpr int kDataPrefetchBit = 2;
constexpr int kInstructionCacheBit = 3;
constexpr int kDataCacheBit = 4;
constexpr int kReplacementLow = 5;
constexpr int kReplacementHigh = 7;
constexpr int kWayLockBit = 24;

tLayoutItem MasterRow(int master) {
    return dlg::Row({dlg::Label(hwc::Format("Master %d access protection:", master)),
                     dlg::DropList(CpmFMC::kAccessIds[master],
                                   {"No Access", "Read Only", "WriteOnly", "Read &Write"}),
                     dlg::CheckBox(CpmFMC::kPrefetchDisableIds[master],
                                   hwc::Format("Disable Master %d prefetch", master))});
}

tLayoutItem WayLock(int way) {
    return dlg::CheckBox(CpmFMC::kWayLockIds[way], hwc::Format("Way %d", way));
}

} // namespace

CpmFMC::CpmFMC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    constexpr std::uint32_t kYesNo = 3;
    std::vector<COMMENTITEM> items;
    for (CSetMode& access : m_access)
        items.push_back({&access, 0});
    for (CSetBit& disable : m_prefetchDisable)
        items.push_back({&disable, kYesNo});
    items.insert(items.end(), {{&m_singleEntryBuffer, kYesNo},
                               {&m_instructionPrefetch, kYesNo},
                               {&m_dataPrefetch, kYesNo},
                               {&m_instructionCache, kYesNo},
                               {&m_dataCache, kYesNo},
                               {&m_replacement, 0}});
    for (CSetBit& lock : m_wayLocks)
        items.push_back({&lock, kYesNo});
    AddCommentItems(items);
}

const CDialogTemplate* CpmFMC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Bus masters", {MasterRow(0), MasterRow(1), MasterRow(2), MasterRow(3)}),
         dlg::Group("Bank 0",
                    {dlg::Row({dlg::CheckBox(kSingleEntryBufferId, "Enable Single Entry buffer"),
                               dlg::CheckBox(kInstructionPrefetchId, "Enable instruction prefetch"),
                               dlg::CheckBox(kDataPrefetchId, "Enable data prefetch")}),
                     dlg::Row({dlg::CheckBox(kInstructionCacheId, "Enable instruction cache"),
                               dlg::CheckBox(kDataCacheId, "Enable data cache")}),
                     dlg::Row({dlg::Label("Cache replacement algorithm:"),
                               dlg::DropList(kReplacementId,
                                             {"LRU across all 4 ways", "Reserved",
                                              "ways [0-1] for ifetches; ways[2-3] for data",
                                              "ways [0-2] for ifetches; way [3] for data"})}),
                     dlg::Group("Lock cache ways",
                                {dlg::Row({WayLock(0), WayLock(1), WayLock(2), WayLock(3)})})}),
         dlg::Group("Bank 1", {dlg::Label("No configurable options", kBank1NoteId)},
                    kBank1GroupId)});
    return &page;
}

void CpmFMC::AttachControls(CPage& page) {
    // Only the FamE parts have a second bank, and it has no settings.
    const bool famE = IsProcessorGroup(*this, kFamE);
    page.ShowControls({kBank1GroupId, kBank1NoteId}, famE);
    CModule::AttachControls(page);
    for (int m = 0; m < kMasterCount; ++m) {
        m_access[m].AttachTo(page, kAccessIds[m]);
        m_prefetchDisable[m].AttachTo(page, kPrefetchDisableIds[m]);
    }
    m_singleEntryBuffer.AttachTo(page, kSingleEntryBufferId);
    m_instructionPrefetch.AttachTo(page, kInstructionPrefetchId);
    m_dataPrefetch.AttachTo(page, kDataPrefetchId);
    m_instructionCache.AttachTo(page, kInstructionCacheId);
    m_dataCache.AttachTo(page, kDataCacheId);
    m_replacement.AttachTo(page, kReplacementId);
    for (int w = 0; w < kWayCount; ++w)
        m_wayLocks[w].AttachTo(page, kWayLockIds[w]);
}

void CpmFMC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& access = Item(kAccessItem);
    for (int m = 0; m < kMasterCount; ++m) {
        const int low = kAccessBitsPerMaster * m;
        m_access[m].Bind(access, low, low + kAccessBitsPerMaster - 1, 0, "");
        m_prefetchDisable[m].Bind(access, kPrefetchDisableBit + m, false, "");
    }
    tPerCfgItem& bank = Item(kBank0Item);
    m_singleEntryBuffer.Bind(bank, kSingleEntryBufferBit, false, "");
    m_instructionPrefetch.Bind(bank, kInstructionPrefetchBit, false, "");
    m_dataPrefetch.Bind(bank, kDataPrefetchBit, false, "");
    m_instructionCache.Bind(bank, kInstructionCacheBit, false, "");
    m_dataCache.Bind(bank, kDataCacheBit, false, "");
    m_replacement.Bind(bank, kReplacementLow, kReplacementHigh, 0, "");
    // A checked box locks its way: the lock bit is set.
    for (int w = 0; w < kWayCount; ++w) {
        const std::string description = hwc::Format("Lock cache ways: way %d", w);
        m_wayLocks[w].Bind(bank, kWayLockBit + w, false, description.c_str());
    }
}
