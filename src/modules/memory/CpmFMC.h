#pragma once
// The flash memory controller: per bus master the access protection and whether its prefetch
// is disabled; for the flash bank the single-entry buffer, instruction and data prefetch and
// caches, the cache replacement algorithm and the locking of the four cache ways.

#include <array>

#include "bindings/KeptChoice.h"
#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "modules/framework/CModule.h"

class CpmFMC : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmFMC, CModule)
public:
    static constexpr unsigned kTemplateId = 2105;
    static constexpr int kMasterCount = 4;
    static constexpr int kWayCount = 4;

    // Page controls.
    static constexpr std::array<int, kMasterCount> kAccessIds = {2042, 2043, 2044, 2045};
    static constexpr std::array<int, kMasterCount> kPrefetchDisableIds = {2309, 2310, 2311, 2312};
    static constexpr int kSingleEntryBufferId = 2378;
    static constexpr int kInstructionPrefetchId = 2049;
    static constexpr int kDataPrefetchId = 1982;
    static constexpr int kInstructionCacheId = 2052;
    static constexpr int kDataCacheId = 2379;
    static constexpr int kReplacementId = 2046;
    static constexpr std::array<int, kWayCount> kWayLockIds = {2014, 2015, 2016, 2017};
    static constexpr int kBank1GroupId = 2380;
    static constexpr int kBank1NoteId = 2381;

    // Register items in table order.
    static constexpr int kAccessItem = 0;
    static constexpr int kBank0Item = 1;

    CpmFMC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;

protected:
    void AttachControls(CPage& page) override;

private:
    std::array<CSetMode, kMasterCount> m_access;
    std::array<CSetBit, kMasterCount> m_prefetchDisable;
    CSetBit m_singleEntryBuffer;
    CSetBit m_instructionPrefetch;
    CSetBit m_dataPrefetch;
    CSetBit m_instructionCache;
    CSetBit m_dataCache;
    // Codes 4 to 7 of the 3-bit field are kept as they were loaded.
    hwc::CKeptChoice m_replacement;
    std::array<CSetBit, kWayCount> m_wayLocks;
};
