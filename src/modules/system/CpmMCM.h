#pragma once
// The core platform control: crossbar and RAM arbitration, the instruction buffer and the newer
// instructions, the bus error interrupts of the core and the DMA controller, RAM write
// protection, the base addresses of the program flash (and, on FamD, of the boot ROM) and
// whether the RAM keeps its contents in the stop modes.

#include <cstdint>
#include <string>

#include "bindings/KeptChoice.h"
#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"

class CpmMCM : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmMCM, CModule)
public:
    static constexpr unsigned kTemplateId = 2106;

    // Page controls.
    static constexpr int kCrossbarArbitrationId = 2501;
    static constexpr int kRamArbitrationId = 2502;
    static constexpr int kBufferDisableId = 2503;
    static constexpr int kNewerInstructionsDisableId = 2504;
    static constexpr int kBufferDepthId = 2505;
    static constexpr int kBufferDepthSpinId = 2506;
    static constexpr int kCoreDataErrorId = 2507;
    static constexpr int kCoreInstructionErrorId = 2508;
    static constexpr int kDmaErrorId = 2509;
    static constexpr int kRamWriteProtectId = 2510;
    static constexpr int kFlashBaseId = 2511;
    static constexpr int kBootRomBaseId = 2512;
    static constexpr int kBootRomBaseLabelId = 2513;
    static constexpr int kStopRetentionId = 2514;
    static constexpr int kLowPowerStopRetentionId = 2515;

    // Register items in table order; UBROMBAR only on FamD.
    static constexpr int kCpcrItem = 0;
    static constexpr int kCfierItem = 1;
    static constexpr int kRpcrItem = 2;
    static constexpr int kFlashBaseItem = 3;
    static constexpr int kCpcr2Item = 4;
    static constexpr int kStopPowerItem = 5;
    static constexpr int kBootRomBaseItem = 6;

    // Base addresses are word addresses on 4 K-word boundaries within the 24-bit address space.
    static constexpr std::uint32_t kAddressMask = 0x00FFF000;
    static constexpr std::uint32_t kBufferDepthMax = 15;

    CpmMCM(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;

    bool HasBootRomBase() const { return ItemCount() > kBootRomBaseItem; }

    hwc::CKeptChoice& CrossbarArbitration() { return m_crossbarArbitration; }
    hwc::CKeptChoice& RamArbitration() { return m_ramArbitration; }
    CSetBit& BufferDisable() { return m_bufferDisable; }
    CSetBit& NewerInstructionsDisable() { return m_newerInstructionsDisable; }
    CSetValue& BufferDepth() { return m_bufferDepth; }
    CSetBit& CoreDataError() { return m_coreDataError; }
    CSetBit& CoreInstructionError() { return m_coreInstructionError; }
    CSetBit& DmaError() { return m_dmaError; }
    CSetBit& RamWriteProtect() { return m_ramWriteProtect; }
    CSetValue& FlashBase() { return m_flashBase; }
    CSetValue& BootRomBase() { return m_bootRomBase; }
    CSetBit& StopRetention() { return m_stopRetention; }
    CSetBit& LowPowerStopRetention() { return m_lowPowerStopRetention; }

protected:
    void AttachControls(CPage& page) override;

private:
    // The address edits read and write only the address bits of their register.
    static std::uint32_t GetAddress(void* context, int item);
    static void SetAddress(std::uint32_t value, void* context, int item);
    // Addresses are typed in hex ("0x") or decimal and shown as six hex digits.
    static bool ReadAddress(std::uint32_t& value, const std::string& text, void*, int);
    static void FormatAddress(std::string& text, std::uint32_t value, void*, int);

    // Codes without an entry are reserved: shown without a selection and kept as loaded.
    hwc::CKeptChoice m_crossbarArbitration;
    hwc::CKeptChoice m_ramArbitration;
    CSetBit m_bufferDisable;
    CSetBit m_newerInstructionsDisable;
    CSetValue m_bufferDepth;
    CSetBit m_coreDataError;
    CSetBit m_coreInstructionError;
    CSetBit m_dmaError;
    CSetBit m_ramWriteProtect;
    CSetValue m_flashBase;
    CSetValue m_bootRomBase;
    CSetBit m_stopRetention;
    CSetBit m_lowPowerStopRetention;
};
