#include "modules/memory/CpmFLASHOPT.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

// Every entry carries NODEFAULT: the boot ROM reads these bytes from flash, so a value left
// out of the header would leave erased flash, not the value shown.
const tPerCfgDef kRegisters[] = {
    {"NV_BACKKEY0_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY1_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY2_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY3_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY4_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY5_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY6_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_BACKKEY7_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_FPROT0_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_FPROT1_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_FPROT2_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_FPROT3_INIT", 0xFF, DW8 | NODEFAULT},
    {"NV_FSEC_INIT", 0xFE, DW8 | NODEFAULT},
    {"NV_FOPT_INIT", 0xFF, DW8 | NODEFAULT},
    {"BLDR_PERIPHERALS_INIT", 0xFF, DW8 | NODEFAULT},
    {"BLDR_IIC_ADR_INIT", 0xFF, DW8 | NODEFAULT},
    {"BLDR_TOUT_INIT", 0xFFFF, DW16 | NODEFAULT},
    {"BLDR_CAN1_CFG_INIT", 0xFFFF, DW16 | NODEFAULT},
    {"BLDR_CAN2_CFG_INIT", 0xFFFF, DW16 | NODEFAULT},
    {"BLDR_CAN_TX_ID_INIT", 0x123, DW16 | NODEFAULT},
    {"BLDR_CAN_RX_ID_INIT", 0x321, DW16 | NODEFAULT},
    {"CRC_START_APP_INIT", 0xFFFFFFFF, DW32 | NODEFAULT},
    {"CRC_BYTE_COUNT_INIT", 0xFFFFFFFF, DW32 | NODEFAULT},
    {"CRC_EXP_VAL_INIT", 0xFFFFFFFF, DW32 | NODEFAULT},
};
static_assert(std::size(kRegisters) == CpmFLASHOPT::kRegisterCount);

// Security byte fields.
constexpr int kSecureLow = 0;
constexpr int kSecureHigh = 1;
constexpr int kFactoryLow = 2;
constexpr int kFactoryHigh = 3;
constexpr int kMassEraseLow = 4;
constexpr int kMassEraseHigh = 5;
constexpr int kKeyModeLow = 6;
constexpr int kKeyModeHigh = 7;
// Option byte and boot loader peripherals.
constexpr int kBootFromRomBit = 7;
constexpr int kUartBit = 0;
constexpr int kIicBit = 1;
constexpr int kCanBit = 3;
// CAN configuration words.
constexpr int kSpeedIndexLow = 0;
constexpr int kSpeedIndexHigh = 3;
constexpr int kPropSegLow = 4;
constexpr int kPropSegHigh = 6;
constexpr int kClockSelectBit = 7;
constexpr int kResyncJumpLow = 0;
constexpr int kResyncJumpHigh = 1;
constexpr int kPhaseSeg2Low = 2;
constexpr int kPhaseSeg2High = 4;
constexpr int kPhaseSeg1Low = 5;
constexpr int kPhaseSeg1High = 7;
constexpr int kPrescalerLow = 8;
constexpr int kPrescalerHigh = 15;
// Largest values before the +1 offset; the speed index is the 4-bit field's own limit.
constexpr std::uint32_t kSegmentMax = 7;
constexpr std::uint32_t kResyncJumpMax = 3;
constexpr std::uint32_t kPrescalerMax = 255;
constexpr std::uint32_t kSpeedIndexMax = 15;

// A caption and an edit box on one row.
tLayoutItem LabelledEdit(std::string caption, int id) {
    return dlg::Row({dlg::Label(std::move(caption)), dlg::Edit(id)});
}

// Two captioned edit boxes on one row.
tLayoutItem EditPair(std::string first, int firstId, std::string second, int secondId) {
    return dlg::Row({dlg::Label(std::move(first)), dlg::Edit(firstId),
                     dlg::Label(std::move(second)), dlg::Edit(secondId)});
}

tLayoutItem KeyPair(int first) {
    return EditPair(hwc::Format("BackKey%d:", first), CpmFLASHOPT::kBackKeyIds[first],
                    hwc::Format("BackKey%d:", first + 1), CpmFLASHOPT::kBackKeyIds[first + 1]);
}

tLayoutItem ProtectionPair(int first) {
    return EditPair(hwc::Format("FPROT%d:", first), CpmFLASHOPT::kProtectionIds[first],
                    hwc::Format("FPROT%d:", first + 1), CpmFLASHOPT::kProtectionIds[first + 1]);
}

// A security byte list: each entry names its meaning and ends with the field value it writes.
tLayoutItem SecurityList(std::string caption, int id, const char* zero, const char* one,
                         const char* two, const char* three) {
    return dlg::Row({dlg::Label(std::move(caption)),
                     dlg::DropList(id, {std::string(zero) + " (0)", std::string(one) + " (1)",
                                        std::string(two) + " (2)", std::string(three) + " (3)"})});
}

} // namespace

CpmFLASHOPT::CpmFLASHOPT(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    constexpr std::uint32_t kYesNo = 3;
    std::vector<COMMENTITEM> items = {{&m_backKeyMode, 0}};
    for (CSetValue& key : m_backKeys)
        items.push_back({&key, 0});
    for (CSetValue& protection : m_protection)
        items.push_back({&protection, 0});
    items.insert(items.end(), {{&m_massErase, 0},        {&m_secureFlash, 0}, {&m_factoryAccess, 0},
                               {&m_bootFromRom, kYesNo}, {&m_uart, kYesNo},   {&m_iic, kYesNo},
                               {&m_can, kYesNo},         {&m_iicAddress, 0},  {&m_timeout, 0},
                               {&m_canTxId, 0},          {&m_canRxId, 0},     {&m_appStart, 0},
                               {&m_appLength, 0},        {&m_appCrc, 0},      {&m_clockSelect, 0},
                               {&m_prescaler, 0},        {&m_propSeg, 0},     {&m_phaseSeg1, 0},
                               {&m_phaseSeg2, 0},        {&m_resyncJump, 0}});
    // The speed index is left out of the summary.
    AddCommentItems(items);
}

const CDialogTemplate* CpmFLASHOPT::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Back door key", {KeyPair(0), KeyPair(2), KeyPair(4), KeyPair(6)}),
         dlg::Group("Flash option", {ProtectionPair(0), ProtectionPair(2)}),
         dlg::Group("Flash security", {SecurityList("Back Door Key:", kBackKeyModeId, "Disabled",
                                                    "Disabled", "Enabled", "Disabled"),
                                       SecurityList("FTFE Mass Erase:", kMassEraseId, "Enabled",
                                                    "Enabled", "Disabled", "Enabled"),
                                       SecurityList("Factory Access:", kFactoryAccessId, "Granted",
                                                    "Denied", "Denied", "Granted"),
                                       SecurityList("Secure Flash:", kSecureFlashId, "Secure",
                                                    "Secure", "Unsecure", "Secure")}),
         dlg::Group("Boot loader",
                    {dlg::CheckBox(kBootFromRomId, "Enable Boot From Rom"),
                     dlg::Group("Peripherals", {dlg::Row({dlg::CheckBox(kUartId, "Enable UART0"),
                                                          dlg::CheckBox(kIicId, "Enable IIC0"),
                                                          dlg::CheckBox(kCanId, "Enable CAN0")})}),
                     LabelledEdit("IIC Address:", kIicAddressId),
                     LabelledEdit("Timeout:", kTimeoutId)}),
         dlg::Group("CAN", {EditPair("Can TX ID:", kCanTxIdId, "Can RX ID:", kCanRxIdId),
                            dlg::Row({dlg::Label("Clk Sel:"),
                                      dlg::DropList(kClockSelectId,
                                                    {"Crystal oscillator", "Peripheral clock"})}),
                            EditPair("Prescaler:", kPrescalerId, "Speed Index:", kSpeedIndexId),
                            EditPair("PROP_SEG:", kPropSegId, "PHASE_SEG1:", kPhaseSeg1Id),
                            EditPair("PHASE_SEG2:", kPhaseSeg2Id, "RJW:", kResyncJumpId)}),
         dlg::Group("Application CRC", {LabelledEdit("App Start Address:", kAppStartId),
                                        LabelledEdit("App Length:", kAppLengthId),
                                        LabelledEdit("App Crc:", kAppCrcId)})});
    return &page;
}

void CpmFLASHOPT::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    for (std::size_t i = 0; i < m_backKeys.size(); ++i)
        m_backKeys[i].AttachTo(page, kBackKeyIds[i]);
    for (std::size_t i = 0; i < m_protection.size(); ++i)
        m_protection[i].AttachTo(page, kProtectionIds[i]);
    m_backKeyMode.AttachTo(page, kBackKeyModeId);
    m_massErase.AttachTo(page, kMassEraseId);
    m_factoryAccess.AttachTo(page, kFactoryAccessId);
    m_secureFlash.AttachTo(page, kSecureFlashId);
    m_bootFromRom.AttachTo(page, kBootFromRomId);
    m_uart.AttachTo(page, kUartId);
    m_iic.AttachTo(page, kIicId);
    m_can.AttachTo(page, kCanId);
    m_iicAddress.AttachTo(page, kIicAddressId);
    m_timeout.AttachTo(page, kTimeoutId);
    m_canTxId.AttachTo(page, kCanTxIdId);
    m_canRxId.AttachTo(page, kCanRxIdId);
    m_clockSelect.AttachTo(page, kClockSelectId);
    m_propSeg.AttachTo(page, kPropSegId);
    m_speedIndex.AttachTo(page, kSpeedIndexId);
    m_prescaler.AttachTo(page, kPrescalerId);
    m_phaseSeg1.AttachTo(page, kPhaseSeg1Id);
    m_phaseSeg2.AttachTo(page, kPhaseSeg2Id);
    m_resyncJump.AttachTo(page, kResyncJumpId);
    m_appStart.AttachTo(page, kAppStartId);
    m_appLength.AttachTo(page, kAppLengthId);
    m_appCrc.AttachTo(page, kAppCrcId);
}

void CpmFLASHOPT::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    // Bound on every processor that lists the module, so that its page always edits the values
    // it writes.
    const auto hexValue = [](CSetValue& binding, tPerCfgItem& item, int highBit,
                             const char* description) {
        binding.Bind(item, 0, highBit, 0, description, true, 0, 0, true);
    };
    // A decimal field shown one above its value: 0 cannot be typed.
    const auto plusOne = [](CSetValue& binding, tPerCfgItem& item, int low, int high,
                            std::uint32_t maximum, const char* description) {
        binding.Bind(item, low, high, 1, description, false, 0, maximum, false);
    };
    for (std::size_t i = 0; i < m_backKeys.size(); ++i) {
        const std::string description = hwc::Format("Back Door Key %d", static_cast<int>(i));
        hexValue(m_backKeys[i], Item(kBackKey0Item + static_cast<int>(i)), 7, description.c_str());
    }
    for (std::size_t i = 0; i < m_protection.size(); ++i) {
        const std::string description = hwc::Format("FPROT%d", static_cast<int>(i));
        hexValue(m_protection[i], Item(kProtection0Item + static_cast<int>(i)), 7,
                 description.c_str());
    }
    tPerCfgItem& security = Item(kSecurityItem);
    m_backKeyMode.Bind(security, kKeyModeLow, kKeyModeHigh, 0);
    m_massErase.Bind(security, kMassEraseLow, kMassEraseHigh, 0);
    m_factoryAccess.Bind(security, kFactoryLow, kFactoryHigh, 0);
    m_secureFlash.Bind(security, kSecureLow, kSecureHigh, 0);
    m_bootFromRom.Bind(Item(kOptionItem), kBootFromRomBit, false, "");
    tPerCfgItem& peripherals = Item(kPeripheralsItem);
    m_uart.Bind(peripherals, kUartBit, false, "");
    m_iic.Bind(peripherals, kIicBit, false, "");
    m_can.Bind(peripherals, kCanBit, false, "");
    hexValue(m_iicAddress, Item(kIicAddressItem), 7, "IIC Slave Address");
    hexValue(m_timeout, Item(kTimeoutItem), 15, "Bootloader Timeout [ms]");
    hexValue(m_canTxId, Item(kCanTxIdItem), 15, "CAN TX ID");
    hexValue(m_canRxId, Item(kCanRxIdItem), 15, "CAN RX ID");
    tPerCfgItem& can1 = Item(kCan1ConfigItem);
    tPerCfgItem& can2 = Item(kCan2ConfigItem);
    m_clockSelect.Bind(can1, kClockSelectBit, kClockSelectBit, 0);
    plusOne(m_propSeg, can1, kPropSegLow, kPropSegHigh, kSegmentMax,
            "Propagation Segment (PROP_SEG)");
    m_speedIndex.Bind(can1, kSpeedIndexLow, kSpeedIndexHigh, 0, "Speed Index", false, 0,
                      kSpeedIndexMax, true);
    plusOne(m_prescaler, can2, kPrescalerLow, kPrescalerHigh, kPrescalerMax,
            "Prescaler Divide Factor");
    plusOne(m_phaseSeg1, can2, kPhaseSeg1Low, kPhaseSeg1High, kSegmentMax,
            "Phase Buffer Segment 1 (PHASE_SEG1)");
    plusOne(m_phaseSeg2, can2, kPhaseSeg2Low, kPhaseSeg2High, kSegmentMax,
            "Phase Buffer Segment 2 (PHASE_SEG2)");
    plusOne(m_resyncJump, can2, kResyncJumpLow, kResyncJumpHigh, kResyncJumpMax,
            "Re-Synchronization Jump Width (RJW)");
    hexValue(m_appStart, Item(kAppStartItem), 31, "Application Start Address");
    hexValue(m_appLength, Item(kAppLengthItem), 31, "Application Length");
    hexValue(m_appCrc, Item(kAppCrcItem), 31, "Expected CRC of Application");
}

void CpmFLASHOPT::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    bool valid = false;
    const bool keyEnabled = m_backKeyMode.GetIndex(valid, false) == kBackKeyEnabled;
    for (int id : kBackKeyIds)
        page->EnableControl(id, keyEnabled);

    const bool boot = m_bootFromRom.IsChecked() == 1;
    page->EnableControls({kUartId, kIicId, kCanId, kTimeoutId}, boot);
    page->EnableControl(kIicAddressId, boot && m_iic.IsChecked() == 1);
    // The boot loader checks the application's checksum whatever interface it listens on.
    page->EnableControls({kAppStartId, kAppLengthId, kAppCrcId}, boot);
    page->EnableControls({kCanTxIdId, kCanRxIdId, kClockSelectId, kResyncJumpId, kPhaseSeg1Id,
                          kPrescalerId, kPropSegId, kPhaseSeg2Id, kSpeedIndexId},
                         boot && m_can.IsChecked() == 1);
}
