#include "modules/communication/CpmI2C_FamA.h"

#include <iterator>

#include "model/ModuleHost.h"
#include "modules/system/SystemQueries.h"

namespace {

using namespace hwc::RegFlag;

// The divider register is written even at its default: it sets the bus rate.
const tPerCfgDef kRegisters[] = {
    {"IICF_INIT", 0, DW8 | NODEFAULT},
    {"IICA1_INIT", 0, DW8},
    {"IICA2_INIT", 0, DW8},
    {"IICC1_INIT", 0, DW8},
    {"IICC2_INIT", 0, DW8},
    {"IICSMB_INIT", 0, DW8},
    {"IICSLTH_INIT", 0, DW8},
    {"IICSLTL_INIT", 0, DW8},
    {"IICFILT_INIT", 0, DW8},
    {"IICRA_INIT", 0, DW8},
};
constexpr int kBaseCount = 8;
constexpr int kFilterCount = 9;
constexpr int kExtendedCount = static_cast<int>(std::size(kRegisters));

constexpr int kFamC = 106;

// IICC1
constexpr int kEnableBit = 7;
constexpr int kInterruptEnableBit = 6;
constexpr int kWakeUpBit = 1;
constexpr int kDmaBit = 0;
// IICA1, IICA2, IICRA: a 7-bit address in bits 1..7
constexpr int kAddressLow = 1;
constexpr int kAddressHigh = 7;
constexpr std::uint32_t kSevenBitMax = 127;
// IICC2
constexpr int kGeneralCallBit = 7;
constexpr int kTenBitBit = 6;
constexpr int kHighDriveBit = 5;
constexpr int kSlaveBaudBit = 4;
constexpr int kRangeEnableBit = 3;
constexpr std::uint32_t kUpperAddressMask = 0x7; // address bits 8..10 in bits 0..2
constexpr std::uint32_t kTenBitMax = 1023;
// IICFILT
constexpr int kStopHoldBit = 7;
constexpr int kStartStopInterruptBit = 5;
constexpr int kFilterLow = 0;
constexpr int kFilterHigh = 3;
// IICSMB
constexpr int kFastAckBit = 7;
constexpr int kAlertResponseBit = 6;
constexpr int kSecondAddressBit = 5;
constexpr int kTimeoutClockBit = 4;
constexpr int kHighTimeoutInterruptBit = 0;
constexpr std::uint32_t kTimeoutMax = 0xFFFF;
// The timeout counter runs from the module clock divided by 64 unless its clock bit is set.
constexpr double kSlowTimeoutDivisor = 64.0;

constexpr const char* kSlaveAddressCaption = "Slave Address:";

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

int RegisterCountOfHost() {
    if (HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamF) || HostInGroup(CModule::kFamD))
        return kExtendedCount;
    return HostInGroup(kFamC) ? kFilterCount : kBaseCount;
}

std::uint32_t GetAddress(void* context, int) {
    return static_cast<CpmI2C_FamA*>(context)->SlaveAddressValue();
}
void SetAddress(std::uint32_t value, void* context, int) {
    static_cast<CpmI2C_FamA*>(context)->SetSlaveAddressValue(value);
}
std::uint32_t GetTimeout(void* context, int) {
    return static_cast<CpmI2C_FamA*>(context)->LowTimeoutValue();
}
void SetTimeout(std::uint32_t value, void* context, int) {
    static_cast<CpmI2C_FamA*>(context)->SetLowTimeoutValue(value);
}

using C = CpmI2C_FamA;

tLayoutItem AddressRow() {
    return dlg::Row(
        {dlg::Label(kSlaveAddressCaption, C::kSlaveAddressLabelId), dlg::Edit(C::kSlaveAddressId),
         dlg::UpDown(C::kSlaveAddressSpinId, 0, static_cast<std::int32_t>(kTenBitMax))});
}

tLayoutItem FilterRow() {
    return dlg::Row({dlg::Label("Input glitch filter:", C::kFilterLabelId),
                     dlg::DropList(C::kFilterId, hwc::I2cFilterTexts())});
}

} // namespace

CpmI2C_FamA::CpmI2C_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmI2CDividerBase(parent,
                        RegisterCountOfHost() == kExtendedCount ? kExtendedTemplateId : kTemplateId,
                        descriptor, nullptr, 0) {
    const int count = RegisterCountOfHost();
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, kRegisters, true);
    AddCommentItems({{&m_enable, 0},
                     {&m_interruptEnable, 0},
                     {&m_wakeUp, 0},
                     {&m_slaveAddress, 0},
                     {&m_tenBit, 0},
                     {&m_generalCall, 0},
                     {&m_multiplier, 0},
                     {&m_group, 0},
                     {&m_tap, 0}});
    if (HasFilter())
        AddCommentItems({{&m_filter, 0}});
    if (HasExtendedControls())
        AddCommentItems({{&m_dma, 0},
                         {&m_highDrive, 0},
                         {&m_slaveBaud, 0},
                         {&m_rangeEnable, 0},
                         {&m_rangeAddress, 0},
                         {&m_stopHold, 0},
                         {&m_startStopInterrupt, 0},
                         {&m_fastAck, 0},
                         {&m_alertResponse, 0},
                         {&m_secondAddressEnable, 0},
                         {&m_smbusAddress, 0},
                         {&m_timeoutClock, 0},
                         {&m_timeout, 0},
                         {&m_highTimeoutInterrupt, 0}});
}

const CDialogTemplate* CpmI2C_FamA::DialogTemplate() const {
    static const CDialogTemplate page = [] {
        tLayoutItem divider = DividerGroup(false);
        divider.children.push_back(FilterRow());
        return CDialogTemplate(
            kTemplateId,
            {dlg::Group("I2C Module",
                        {dlg::Row({dlg::CheckBox(kEnableId, "I2C Module Enable"),
                                   dlg::CheckBox(kInterruptEnableId, "I2C Interrupt Enable")}),
                         dlg::CheckBox(kWakeUpId, "Wake-up Enable")}),
             dlg::Group(
                 "Addressing",
                 {AddressRow(), dlg::Row({dlg::CheckBox(kTenBitId, "10-bit Addressing"),
                                          dlg::CheckBox(kGeneralCallId, "General Call Address")})}),
             divider, TimingGroup(), InterruptGroup()});
    }();
    static const CDialogTemplate extended = [] {
        tLayoutItem divider = DividerGroup(false);
        divider.children.push_back(FilterRow());
        divider.children.push_back(
            dlg::Row({dlg::CheckBox(kStopHoldId, "Stop Hold Enable"),
                      dlg::CheckBox(kStartStopInterruptId, "Bus Stop/Start Interrupt")}));
        return CDialogTemplate(
            kExtendedTemplateId,
            {dlg::Group("I2C Module",
                        {dlg::Row({dlg::CheckBox(kEnableId, "I2C Module Enable"),
                                   dlg::CheckBox(kInterruptEnableId, "I2C Interrupt Enable")}),
                         dlg::Row({dlg::CheckBox(kWakeUpId, "Wake-up Enable"),
                                   dlg::CheckBox(kDmaId, "DMA Enable")}),
                         dlg::Row({dlg::CheckBox(kHighDriveId, "High Drive Mode"),
                                   dlg::CheckBox(kSlaveBaudId, "Slave Baud Rate Independent")})}),
             dlg::Group("Addressing",
                        {AddressRow(),
                         dlg::Row({dlg::CheckBox(kTenBitId, "10-bit Addressing"),
                                   dlg::CheckBox(kGeneralCallId, "General Call Address")}),
                         dlg::CheckBox(kRangeEnableId, "Range Address Matching"),
                         dlg::Row({dlg::Label("Range slave address:"), dlg::Edit(kRangeAddressId),
                                   dlg::UpDown(kRangeAddressSpinId, 0,
                                               static_cast<std::int32_t>(kSevenBitMax))})}),
             divider, TimingGroup(),
             dlg::Group(
                 "SMBus",
                 {dlg::Row({dlg::CheckBox(kFastAckId, "Fast NACK/ACK"),
                            dlg::CheckBox(kAlertResponseId, "Alert Response Address")}),
                  dlg::CheckBox(kSecondAddressEnableId, "Second I2C Address"),
                  dlg::Row({dlg::Label("SMBus address:"), dlg::Edit(kSmbusAddressId),
                            dlg::UpDown(kSmbusAddressSpinId, 0,
                                        static_cast<std::int32_t>(kSevenBitMax))}),
                  dlg::Row({dlg::Label("Timeout counter clock:"),
                            dlg::DropList(kTimeoutClockId, {"Input clock / 64", "Input clock"})}),
                  dlg::Row({dlg::Label("SCL low timeout:"), dlg::Edit(kTimeoutId),
                            dlg::UpDown(kTimeoutSpinId, 0, static_cast<std::int32_t>(kTimeoutMax)),
                            dlg::ReadOnly(kTimeoutTimeId)}),
                  dlg::CheckBox(kHighTimeoutInterruptId, "SCL High Timeout Interrupt")}),
             InterruptGroup()});
    }();
    return TemplateId() == kExtendedTemplateId ? &extended : &page;
}

void CpmI2C_FamA::AttachControls(CPage& page) {
    PlaceInterruptHeading(page);
    CModule::AttachControls(page);
    page.SetSpinRange(kSlaveAddressSpinId, 0, static_cast<std::int32_t>(kTenBitMax));
    m_enable.AttachTo(page, kEnableId);
    m_interruptEnable.AttachTo(page, kInterruptEnableId);
    m_wakeUp.AttachTo(page, kWakeUpId);
    m_slaveAddress.AttachTo(page, kSlaveAddressId);
    m_tenBit.AttachTo(page, kTenBitId);
    m_generalCall.AttachTo(page, kGeneralCallId);
    AttachDivider(page);
    if (HasFilter())
        m_filter.AttachTo(page, kFilterId);
    if (!HasExtendedControls())
        return;
    page.SetSpinRange(kRangeAddressSpinId, 0, static_cast<std::int32_t>(kSevenBitMax));
    page.SetSpinRange(kSmbusAddressSpinId, 0, static_cast<std::int32_t>(kSevenBitMax));
    page.SetSpinRange(kTimeoutSpinId, 0, static_cast<std::int32_t>(kTimeoutMax));
    m_dma.AttachTo(page, kDmaId);
    m_highDrive.AttachTo(page, kHighDriveId);
    m_slaveBaud.AttachTo(page, kSlaveBaudId);
    m_rangeEnable.AttachTo(page, kRangeEnableId);
    m_rangeAddress.AttachTo(page, kRangeAddressId);
    m_stopHold.AttachTo(page, kStopHoldId);
    m_startStopInterrupt.AttachTo(page, kStartStopInterruptId);
    m_fastAck.AttachTo(page, kFastAckId);
    m_alertResponse.AttachTo(page, kAlertResponseId);
    m_secondAddressEnable.AttachTo(page, kSecondAddressEnableId);
    m_smbusAddress.AttachTo(page, kSmbusAddressId);
    m_timeoutClock.AttachTo(page, kTimeoutClockId);
    m_timeout.AttachTo(page, kTimeoutId);
    m_highTimeoutInterrupt.AttachTo(page, kHighTimeoutInterruptId);
}

void CpmI2C_FamA::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& c1 = Item(kIicc1Item);
    tPerCfgItem& c2 = Item(kIicc2Item);
    m_enable.Bind(c1, kEnableBit, false, "");
    m_interruptEnable.Bind(c1, kInterruptEnableBit, false, "");
    m_wakeUp.Bind(c1, kWakeUpBit, false, "");
    // One number over two registers: the low seven bits in IICA1, the upper three in IICC2.
    m_slaveAddress.Bind(Item(kIica1Item), kAddressLow, kAddressHigh, 0, "Slave Address", false, 0,
                        kTenBitMax, true);
    m_slaveAddress.BindCustom(&SetAddress, &GetAddress, this, 0);
    m_tenBit.Bind(c2, kTenBitBit, false, "");
    m_generalCall.Bind(c2, kGeneralCallBit, false, "");
    BindDivider();
    if (HasFilter())
        m_filter.Bind(Item(kIicfiltItem), kFilterLow, kFilterHigh, 0, "");
    if (!HasExtendedControls())
        return;
    m_dma.Bind(c1, kDmaBit, false, "");
    m_highDrive.Bind(c2, kHighDriveBit, false, "");
    m_slaveBaud.Bind(c2, kSlaveBaudBit, false, "");
    m_rangeEnable.Bind(c2, kRangeEnableBit, false, "");
    m_rangeAddress.Bind(Item(kIicraItem), kAddressLow, kAddressHigh, 0, "Range slave address",
                        false, 0, kSevenBitMax, true);
    tPerCfgItem& filter = Item(kIicfiltItem);
    m_stopHold.Bind(filter, kStopHoldBit, false, "");
    m_startStopInterrupt.Bind(filter, kStartStopInterruptBit, false, "");
    tPerCfgItem& smb = Item(kIicsmbItem);
    m_fastAck.Bind(smb, kFastAckBit, false, "");
    m_alertResponse.Bind(smb, kAlertResponseBit, false, "");
    m_secondAddressEnable.Bind(smb, kSecondAddressBit, false, "");
    m_smbusAddress.Bind(Item(kIica2Item), kAddressLow, kAddressHigh, 0, "", false, 0, kSevenBitMax,
                        true);
    m_timeoutClock.Bind(smb, kTimeoutClockBit, kTimeoutClockBit, 0, "");
    m_timeout.Bind(Item(kIicsltlItem), 0, 7, 0, "", false, 0, kTimeoutMax, true);
    m_timeout.BindCustom(&SetTimeout, &GetTimeout, this, 0);
    m_highTimeoutInterrupt.Bind(smb, kHighTimeoutInterruptBit, false, "");
}

std::uint32_t CpmI2C_FamA::SlaveAddressValue() const {
    return ((Item(kIicc2Item).dwValue & kUpperAddressMask) << 7) |
           ((Item(kIica1Item).dwValue >> kAddressLow) & kSevenBitMax);
}

void CpmI2C_FamA::SetSlaveAddressValue(std::uint32_t address) {
    tPerCfgItem& a1 = Item(kIica1Item);
    tPerCfgItem& c2 = Item(kIicc2Item);
    a1.dwValue =
        (a1.dwValue & ~(kSevenBitMax << kAddressLow)) | ((address & kSevenBitMax) << kAddressLow);
    c2.dwValue = (c2.dwValue & ~kUpperAddressMask) | ((address >> 7) & kUpperAddressMask);
}

std::uint32_t CpmI2C_FamA::LowTimeoutValue() const {
    return ((Item(kIicslthItem).dwValue & 0xFFu) << 8) | (Item(kIicsltlItem).dwValue & 0xFFu);
}

void CpmI2C_FamA::SetLowTimeoutValue(std::uint32_t timeout) {
    Item(kIicslthItem).dwValue = (timeout >> 8) & 0xFFu;
    Item(kIicsltlItem).dwValue = timeout & 0xFFu;
}

double CpmI2C_FamA::InputClockHz() const {
    // Only the system modules of FamF and FamD have the selection; the others answer no.
    bool halved = false;
    if (!hwc::SystemI2cFastClock(*this, InstanceNumber(), halved))
        return CpmI2CDividerBase::InputClockHz();
    const double fast = static_cast<double>(GetOtherClock()) * 1000000.0;
    return halved ? fast / 2.0 : fast;
}

void CpmI2C_FamA::Recalculate() {
    ShowTiming();
    if (!HasExtendedControls())
        return;
    const bool fullClock = (Item(kIicsmbItem).dwValue >> kTimeoutClockBit) & 1u;
    const double hz = InputClockHz() / (fullClock ? 1.0 : kSlowTimeoutDivisor);
    ShowTime(kTimeoutTimeId, hwc::I2cCountTime(static_cast<int>(LowTimeoutValue()), hz), true,
             nullptr);
}

void CpmI2C_FamA::UpdateControlStates() {
    if (CPage* page = Page())
        page->ShowControls({kFilterLabelId, kFilterId}, HasFilter());
    UpdateInterruptStates();
}

void CpmI2C_FamA::CheckWarnings() {
    CModule::CheckWarnings();
    const bool sevenBit = ((Item(kIicc2Item).dwValue >> kTenBitBit) & 1u) == 0;
    const bool active = sevenBit && SlaveAddressValue() > kSevenBitMax;
    // The label keeps its caption (dark red while warning).
    SetWarning(*this, kSlaveAddressLabelId, active, kSlaveAddressCaption,
               active ? kAddressWarning : std::string());
}
