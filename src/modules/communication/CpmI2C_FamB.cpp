#include "modules/communication/CpmI2C_FamB.h"

#include <iterator>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/Page.h"
#include "modules/communication/I2cTiming.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

// The enable, control and count registers are written even at their defaults.
const tPerCfgDef kRegisters[] = {
    {"ENBL_INIT", 0x0, DW16 | NODEFAULT},
    {"CTRL_INIT", 0x24, DW16 | NODEFAULT},
    {"SAR_INIT", 0x55, DW16},
    {"RXFT_INIT", 0x3, DW16},
    {"TXFT_INIT", 0x0, DW16},
    {"SSHCNT_INIT", 0x9B, DW16 | NODEFAULT},
    {"SSLCNT_INIT", 0x9C, DW16 | NODEFAULT},
    {"FSHCNT_INIT", 0x23, DW16 | NODEFAULT},
    {"FSLCNT_INIT", 0x24, DW16 | NODEFAULT},
    {"IENBL_INIT", 0x8FF, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// CTRL
constexpr int kMasterBit = 0;
constexpr int kSpeedLow = 1;
constexpr int kSpeedHigh = 2;
constexpr int kTenBitSlaveBit = 3;
constexpr int kRestartBit = 5;
constexpr int kSlaveDisableBit = 6;
constexpr int kSpeedCodes[] = {1, 2};

constexpr std::uint32_t kAddressMax = 0x3FF;
constexpr std::uint32_t kThresholdMax = 0xFF;
constexpr std::uint32_t kCountMax = 0xFFFF;
constexpr std::uint32_t kLowCountMin = 8;
constexpr std::uint32_t kHighCountMin = 6;

// "100.000 kb/s": the unit prefix directly before "b/s".
constexpr const char* kBitRateFormat = "%.3f%sb/s";

constexpr const char* kSourceCaptions[CpmI2C_FamB::kSourceCount] = {
    "Receive FIFO Underflow", "Receive FIFO Overflow", "Receive FIFO Full",
    "Transmit FIFO Overflow", "Transmit FIFO Empty",   "Read Request",
    "Transmit Abort",         "Receive Done",          "Bus Activity",
    "Stop Detected",          "Start Detected",        "General Call"};

using C = CpmI2C_FamB;

tLayoutItem SourceCheckBox(int bit) {
    return dlg::CheckBox(C::kFirstSourceId + bit, kSourceCaptions[bit]);
}

tLayoutItem SpeedGroup(const char* caption, const char* highLabel, const char* lowLabel,
                       const C::tSpeedIds& ids) {
    return dlg::Group(caption,
                      {dlg::Row({dlg::Label(highLabel), dlg::Edit(ids.highRegister),
                                 dlg::ReadOnly(ids.highCount), dlg::ReadOnly(ids.highTime)}),
                       dlg::Row({dlg::Label(lowLabel), dlg::Edit(ids.lowRegister),
                                 dlg::ReadOnly(ids.lowCount), dlg::ReadOnly(ids.lowTime)}),
                       dlg::Row({dlg::Label("Bit rate:"), dlg::ReadOnly(ids.rate)})});
}

} // namespace

// --- Speed list ---

bool CpmI2C_FamB::CSpeedChoice::KeepsValue() const {
    const CPageControl* control = GetWnd();
    const tBindingField field = Field();
    if (!control || !field.value || control->Selection() >= 0)
        return false;
    const std::uint32_t code = (*field.value & field.mask) >> Shift();
    for (int listed : kSpeedCodes) {
        if (code == static_cast<std::uint32_t>(listed))
            return false;
    }
    return true;
}

bool CpmI2C_FamB::CSpeedChoice::ValidateControl(bool show) {
    return KeepsValue() || CSetMode::ValidateControl(show);
}

void CpmI2C_FamB::CSpeedChoice::Apply() {
    if (!KeepsValue())
        CSetMode::Apply();
}

// --- Module ---

CpmI2C_FamB::CpmI2C_FamB(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_enable, 0},
                     {&m_master, 0},
                     {&m_slaveDisabled, 0},
                     {&m_tenBitSlave, 0},
                     {&m_restart, 0},
                     {&m_speed, 0},
                     {&m_slaveAddress, 0},
                     {&m_rxThreshold, 0},
                     {&m_txThreshold, 0},
                     {&m_standardHigh, 0},
                     {&m_standardLow, 0},
                     {&m_fastHigh, 0},
                     {&m_fastLow, 0}});
    for (CSetBit& source : m_sources)
        AddCommentItems({{&source, 0}});
}

const CDialogTemplate* CpmI2C_FamB::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("I2C Module",
                    {dlg::Row({dlg::CheckBox(kEnableId, "I2C Module Enable"),
                               dlg::CheckBox(kMasterId, "Master Mode")}),
                     dlg::CheckBox(kRestartId, "Restart Conditions"),
                     dlg::Row({dlg::Label("Speed:"), dlg::DropList(kSpeedId, {"Standard (100 kb/s)",
                                                                              "Fast (400 kb/s)"})}),
                     dlg::Row({dlg::Label("Input clock:"), dlg::ReadOnly(kInputClockId)})}),
         dlg::Group("Slave",
                    {dlg::Row({dlg::Radio(kSlaveEnabledId, "Slave Enabled", true),
                               dlg::Radio(kSlaveDisabledId, "Slave Disabled")}),
                     dlg::Row({dlg::Radio(kSevenBitSlaveId, "7-bit Slave Address", true),
                               dlg::Radio(kTenBitSlaveId, "10-bit Slave Address")}),
                     dlg::Row({dlg::Label("Slave address:"), dlg::Edit(kSlaveAddressId)})}),
         dlg::Group("FIFO thresholds",
                    {dlg::Row({dlg::Label("Receive:"), dlg::Edit(kRxThresholdId),
                               dlg::Label("Transmit:"), dlg::Edit(kTxThresholdId)})}),
         SpeedGroup("Standard speed (clocks, time)",
                    "SCL high count:", "SCL low count:", kStandardIds),
         SpeedGroup("Fast speed (clocks, time)", "SCL high count:", "SCL low count:", kFastIds),
         dlg::Group("Interrupt sources", {dlg::Row({SourceCheckBox(0), SourceCheckBox(1)}),
                                          dlg::Row({SourceCheckBox(2), SourceCheckBox(3)}),
                                          dlg::Row({SourceCheckBox(4), SourceCheckBox(5)}),
                                          dlg::Row({SourceCheckBox(6), SourceCheckBox(7)}),
                                          dlg::Row({SourceCheckBox(8), SourceCheckBox(9)}),
                                          dlg::Row({SourceCheckBox(10), SourceCheckBox(11)})}),
         dlg::Group("I2C Interrupt",
                    {dlg::Link(kUserVectorNoteId, "(user vector information)"),
                     dlg::Placeholder(kHeadingPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId)},
                    kInterruptGroupId)});
    return &page;
}

void CpmI2C_FamB::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    m_enable.AttachTo(page, kEnableId);
    m_master.AttachTo(page, kMasterId);
    m_restart.AttachTo(page, kRestartId);
    m_speed.AttachTo(page, kSpeedId);
    m_slaveEnabled.AttachTo(page, kSlaveEnabledId);
    m_slaveDisabled.AttachTo(page, kSlaveDisabledId);
    m_sevenBitSlave.AttachTo(page, kSevenBitSlaveId);
    m_tenBitSlave.AttachTo(page, kTenBitSlaveId);
    m_slaveAddress.AttachTo(page, kSlaveAddressId);
    m_rxThreshold.AttachTo(page, kRxThresholdId);
    m_txThreshold.AttachTo(page, kTxThresholdId);
    m_standardHigh.AttachTo(page, kStandardIds.highRegister);
    m_standardLow.AttachTo(page, kStandardIds.lowRegister);
    m_fastHigh.AttachTo(page, kFastIds.highRegister);
    m_fastLow.AttachTo(page, kFastIds.lowRegister);
    for (int bit = 0; bit < kSourceCount; ++bit)
        Source(bit).AttachTo(page, kFirstSourceId + bit);
}

void CpmI2C_FamB::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    m_enable.Bind(Item(kEnblItem), 0, false, "");
    m_master.Bind(ctrl, kMasterBit, false, "");
    m_restart.Bind(ctrl, kRestartBit, false, "");
    m_speed.Bind(ctrl, kSpeedLow, kSpeedHigh, 0, "Speed", kSpeedCodes);
    // Each bit of the slave mode and address width has a radio button for either state.
    m_slaveEnabled.Bind(ctrl, kSlaveDisableBit, true, "");
    m_slaveDisabled.Bind(ctrl, kSlaveDisableBit, false, "");
    m_sevenBitSlave.Bind(ctrl, kTenBitSlaveBit, true, "");
    m_tenBitSlave.Bind(ctrl, kTenBitSlaveBit, false, "");
    m_slaveAddress.Bind(Item(kSarItem), 0, 9, 0, "Slave address", true, 0, kAddressMax, true);
    m_rxThreshold.Bind(Item(kRxftItem), 0, 7, 0, "Receive FIFO threshold", false, 0, kThresholdMax,
                       true);
    m_txThreshold.Bind(Item(kTxftItem), 0, 7, 0, "Transmit FIFO threshold", false, 0, kThresholdMax,
                       true);
    m_standardHigh.Bind(Item(kSshcntItem), 0, 15, 0, "Standard speed SCL high count", false,
                        kHighCountMin, kCountMax, false);
    m_standardLow.Bind(Item(kSslcntItem), 0, 15, 0, "Standard speed SCL low count", false,
                       kLowCountMin, kCountMax, false);
    m_fastHigh.Bind(Item(kFshcntItem), 0, 15, 0, "Fast speed SCL high count", false, kHighCountMin,
                    kCountMax, false);
    m_fastLow.Bind(Item(kFslcntItem), 0, 15, 0, "Fast speed SCL low count", false, kLowCountMin,
                   kCountMax, false);
    for (int bit = 0; bit < kSourceCount; ++bit)
        Source(bit).Bind(Item(kIenblItem), bit, false,
                         hwc::Format("Interrupt: %s", kSourceCaptions[bit]).c_str());
}

double CpmI2C_FamB::InputClockHz() const {
    bool halved = false;
    const bool fast = hwc::SystemI2cFastClock(*this, InstanceNumber(), halved);
    double hz = static_cast<double>(fast ? GetOtherClock() : GetBusClock()) * 1000000.0;
    return halved ? hz / 2.0 : hz;
}

void CpmI2C_FamB::ShowSpeed(const tSpeedIds& ids, int highItem, int lowItem, double hz) {
    const int high = hwc::I2cHighCount(Item(highItem).dwValue);
    const int low = hwc::I2cLowCount(Item(lowItem).dwValue);
    if (CPage* page = Page()) {
        page->SetControlText(ids.highCount, hwc::Format("%d", high));
        page->SetControlText(ids.lowCount, hwc::Format("%d", low));
    }
    ShowTime(ids.highTime, hwc::I2cCountTime(high, hz), true, kNoClockText);
    ShowTime(ids.lowTime, hwc::I2cCountTime(low, hz), true, kNoClockText);
    ShowFrequency(ids.rate, hwc::I2cCountRate(high + low, hz), true, kNoClockText, kBitRateFormat);
}

void CpmI2C_FamB::Recalculate() {
    const double hz = InputClockHz();
    ShowFrequency(kInputClockId, hz, true, kNoClockText);
    ShowSpeed(kStandardIds, kSshcntItem, kSslcntItem, hz);
    ShowSpeed(kFastIds, kFshcntItem, kFslcntItem, hz);
}

void CpmI2C_FamB::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->ShowControl(kUserVectorNoteId, false);
    if (InterruptRows().empty())
        page->ShowControls({kInterruptGroupId, kHeadingPlaceholderId, kFirstRowPlaceholderId},
                           false);
}
