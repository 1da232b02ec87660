#include "modules/communication/CpmI2C.h"

#include <iterator>

namespace {

using namespace hwc::RegFlag;

// The control register is written even at its default: it holds the module enable.
const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, DW16 | NODEFAULT},
    {"ADDR_INIT", 0, DW16},
    {"FDIV_INIT", 0, DW16},
    {"NFILT_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

constexpr int kInterruptEnableBit = 6;
constexpr int kEnableBit = 7;
constexpr int kAddressLow = 1;
constexpr int kAddressHigh = 7;
constexpr std::uint32_t kAddressMax = 127;
constexpr int kFilterLow = 0;
constexpr int kFilterHigh = 3;

} // namespace

CpmI2C::CpmI2C(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmI2CDividerBase(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_enable, 0},
                     {&m_interruptEnable, 0},
                     {&m_slaveAddress, 0},
                     {&m_multiplier, 0},
                     {&m_group, 0},
                     {&m_tap, 0},
                     {&m_noiseFilter, 0}});
}

const CDialogTemplate* CpmI2C::DialogTemplate() const {
    static const CDialogTemplate page = [] {
        tLayoutItem divider = DividerGroup(true);
        divider.children.push_back(dlg::Row(
            {dlg::Label("Noise Filter:"), dlg::DropList(kNoiseFilterId, hwc::I2cFilterTexts())}));
        divider.children.push_back(dlg::Row(
            {dlg::Label("Filter-out glitches shorter than:"), dlg::ReadOnly(kFilterTimeId)}));
        return CDialogTemplate(
            kTemplateId,
            {dlg::Group("I2C Module",
                        {dlg::Row({dlg::CheckBox(kEnableId, "I2C Module Enable"),
                                   dlg::CheckBox(kInterruptEnableId, "I2C Interrupt Enable")}),
                         dlg::Row({dlg::Label("Slave Address:"), dlg::Edit(kSlaveAddressId),
                                   dlg::UpDown(kSlaveAddressSpinId, 0, kAddressMax)})}),
             divider, TimingGroup(), InterruptGroup()});
    }();
    return &page;
}

void CpmI2C::AttachControls(CPage& page) {
    PlaceInterruptHeading(page);
    CModule::AttachControls(page);
    page.SetSpinRange(kSlaveAddressSpinId, 0, kAddressMax);
    m_enable.AttachTo(page, kEnableId);
    m_interruptEnable.AttachTo(page, kInterruptEnableId);
    m_slaveAddress.AttachTo(page, kSlaveAddressId);
    AttachDivider(page);
    m_noiseFilter.AttachTo(page, kNoiseFilterId);
}

void CpmI2C::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    m_enable.Bind(ctrl, kEnableBit, false, "I2C Module   ");
    m_interruptEnable.Bind(ctrl, kInterruptEnableBit, false, "I2C Interrupt");
    m_slaveAddress.Bind(Item(kAddrItem), kAddressLow, kAddressHigh, 0, "Slave Address", false, 0,
                        kAddressMax, true);
    BindDivider();
    m_noiseFilter.Bind(Item(kNfiltItem), kFilterLow, kFilterHigh, 0, "Noise Filter ");
}

std::uint32_t CpmI2C::NoiseFilterClocks() const {
    return (Item(kNfiltItem).dwValue >> kFilterLow) & 0xFu;
}

void CpmI2C::Recalculate() {
    ShowTiming();
    ShowTime(kFilterTimeId,
             hwc::I2cCountTime(static_cast<int>(NoiseFilterClocks()), InputClockHz()), true,
             nullptr);
}

void CpmI2C::UpdateControlStates() {
    UpdateInterruptStates();
}
