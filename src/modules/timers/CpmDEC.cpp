#include "modules/timers/CpmDEC.h"

#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"DECCR_INIT", 0, DW16 | NODEFAULT},
    {"WTR_INIT", 0, DW16},
    {"FIR_INIT", 0, DW16},
    {"UIR_INIT", 0, DW16},
    {"LIR_INIT", 0, DW16},
    {"IR32", 0, DW32 | DUMMYREG | NOSHOWLIST},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Decoder control register fields.
constexpr int kInitModeLow = 0;
constexpr int kInitModeHigh = 1;
constexpr int kWatchdogEnableBit = 2;
constexpr int kWatchdogInterruptBit = 3;
constexpr int kIndexEdgeBit = 5;
constexpr int kIndexEnableBit = 6;
constexpr int kIndexInterruptBit = 7;
constexpr int kReverseDirectionBit = 9;
constexpr int kPhaseModeBit = 10;
constexpr int kHomeEdgeBit = 12;
constexpr int kHomeEnableBit = 13;
constexpr int kHomeInterruptBit = 14;

constexpr std::uint32_t kWatchdogMax = 0xFFFF;
constexpr std::uint32_t kFilterMax = 255;
constexpr std::uint32_t kHalfMask = 0xFFFF;

std::uint32_t GetInit(void* context, int) {
    return static_cast<CpmDEC*>(context)->InitValue();
}

void SetInit(std::uint32_t value, void* context, int) {
    static_cast<CpmDEC*>(context)->SetInitValue(value);
}

} // namespace

CpmDEC::CpmDEC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_reverseDirection, 0},
                     {&m_phaseMode, 0},
                     {&m_initMode, 0},
                     {&m_homeEnable, 0},
                     {&m_homeEdge, 0},
                     {&m_indexEnable, 0},
                     {&m_indexEdge, 0},
                     {&m_filter, 0},
                     {&m_watchdogEnable, 0},
                     {&m_watchdogTimeout, 0},
                     {&m_initValue, 0},
                     {&m_homeInterrupt, 0},
                     {&m_indexInterrupt, 0},
                     {&m_watchdogInterrupt, 0}});
}

const CDialogTemplate* CpmDEC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Counting",
                    {dlg::CheckBox(kReverseDirectionId, "Reverse direction of counting"),
                     dlg::Row({dlg::Label("Counting mode:"),
                               dlg::DropList(kPhaseModeId, {"Quadrature (phase A and phase B)",
                                                            "Single phase (phase A pulses)"})}),
                     dlg::Row({dlg::Label("Position counter initialization:"),
                               dlg::DropList(kInitModeId, {"None", "By software", "On HOME signal",
                                                           "On INDEX pulse"})}),
                     dlg::Row({dlg::Label("Init value:"), dlg::Edit(kInitValueId)})}),
         dlg::Group("HOME and INDEX inputs",
                    {dlg::Row({dlg::CheckBox(kHomeEnableId, "HOME signal initializes counter"),
                               dlg::Label("on"),
                               dlg::DropList(kHomeEdgeId, {"rising edge", "falling edge"})}),
                     dlg::Row({dlg::CheckBox(kIndexEnableId, "INDEX pulse initializes counter"),
                               dlg::Label("on"),
                               dlg::DropList(kIndexEdgeId, {"rising edge", "falling edge"})})}),
         dlg::Group(
             "Input filter and watchdog",
             {dlg::Row({dlg::Label("Filter interval (FIR):"), dlg::Edit(kFilterId),
                        dlg::UpDown(kFilterSpinId, 0, kFilterMax),
                        dlg::Label("Filter interval period"), dlg::ReadOnly(kFilterTimeId)}),
              dlg::CheckBox(kWatchdogEnableId, "Watchdog Operation"),
              dlg::Row({dlg::Label("Watchdog timeout (in clocks):"), dlg::Edit(kWatchdogTimeoutId),
                        dlg::UpDown(kWatchdogTimeoutSpinId, 0, kWatchdogMax),
                        dlg::Label("Watchdog timeout"), dlg::ReadOnly(kWatchdogTimeId)})}),
         dlg::Group("Interrupts:",
                    {dlg::CheckBox(kHomeInterruptId, "HOME signal interrupt"),
                     dlg::CheckBox(kIndexInterruptId, "INDEX pulse interrupt"),
                     dlg::CheckBox(kWatchdogInterruptId, "Watchdog timeout interrupt"),
                     dlg::Placeholder(kHeadingPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId + 1)})});
    return &page;
}

void CpmDEC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kWatchdogTimeoutSpinId, 0, kWatchdogMax);
    page.SetSpinRange(kFilterSpinId, 0, kFilterMax);
    m_reverseDirection.AttachTo(page, kReverseDirectionId);
    m_phaseMode.AttachTo(page, kPhaseModeId);
    m_initMode.AttachTo(page, kInitModeId);
    m_homeEnable.AttachTo(page, kHomeEnableId);
    m_homeEdge.AttachTo(page, kHomeEdgeId);
    m_indexEnable.AttachTo(page, kIndexEnableId);
    m_indexEdge.AttachTo(page, kIndexEdgeId);
    m_watchdogEnable.AttachTo(page, kWatchdogEnableId);
    m_watchdogTimeout.AttachTo(page, kWatchdogTimeoutId);
    m_filter.AttachTo(page, kFilterId);
    m_initValue.AttachTo(page, kInitValueId);
    m_homeInterrupt.AttachTo(page, kHomeInterruptId);
    m_indexInterrupt.AttachTo(page, kIndexInterruptId);
    m_watchdogInterrupt.AttachTo(page, kWatchdogInterruptId);
    UpdateControlStates();
}

void CpmDEC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& control = Item(kControlItem);
    m_reverseDirection.Bind(control, kReverseDirectionBit, false, "");
    m_phaseMode.Bind(control, kPhaseModeBit, kPhaseModeBit, 0, "Counting mode");
    m_initMode.Bind(control, kInitModeLow, kInitModeHigh, 0, "Position counter initialization");
    m_homeEnable.Bind(control, kHomeEnableBit, false, "");
    m_homeEdge.Bind(control, kHomeEdgeBit, kHomeEdgeBit, 0, "HOME edge");
    m_indexEnable.Bind(control, kIndexEnableBit, false, "");
    m_indexEdge.Bind(control, kIndexEdgeBit, kIndexEdgeBit, 0, "INDEX edge");
    m_watchdogEnable.Bind(control, kWatchdogEnableBit, false, "Watchdog Operation");
    m_watchdogTimeout.Bind(Item(kWatchdogItem), 0, 15, 0, "Watchdog timeout (in clocks)", false, 0,
                           kWatchdogMax, true);
    m_filter.Bind(Item(kFilterItem), 0, 7, 0, "Filter interval (FIR)", false, 0, kFilterMax, true);
    // The edit shows the two 16-bit halves as one number; the registers hold it.
    m_initValue.Bind(Item(kInitValueItem), 0, 31, 0, "Init value", true, 0, 0xFFFFFFFF, true);
    m_initValue.BindCustom(&SetInit, &GetInit, this, 0);
    m_homeInterrupt.Bind(control, kHomeInterruptBit, false, "Interrupts: HOME signal");
    m_indexInterrupt.Bind(control, kIndexInterruptBit, false, "Interrupts: INDEX pulse");
    m_watchdogInterrupt.Bind(control, kWatchdogInterruptBit, false, "Interrupts: watchdog timeout");
    Item(kInitValueItem).dwValue = InitValue();
}

void CpmDEC::AfterLoad() {
    CModule::AfterLoad();
    Item(kInitValueItem).dwValue = InitValue();
}

std::uint32_t CpmDEC::InitValue() const {
    return ((Item(kUpperInitItem).dwValue & kHalfMask) << 16) |
           (Item(kLowerInitItem).dwValue & kHalfMask);
}

void CpmDEC::SetInitValue(std::uint32_t value) {
    Item(kUpperInitItem).dwValue = value >> 16;
    Item(kLowerInitItem).dwValue = value & kHalfMask;
    Item(kInitValueItem).dwValue = value;
}

double CpmDEC::WatchdogTime(std::uint32_t wtr, double busHz) {
    return busHz > 0.0 ? static_cast<double>((wtr & kWatchdogMax) + 1u) / busHz : 0.0;
}

double CpmDEC::FilterTime(std::uint32_t fir, double busHz) {
    return busHz > 0.0 ? static_cast<double>((fir & kFilterMax) * 4u + 5u) / busHz : 0.0;
}

void CpmDEC::Recalculate() {
    // The registers are the truth; the hidden mirror follows them (a plug-in may set UIR alone).
    Item(kInitValueItem).dwValue = InitValue();
    const double busHz = static_cast<double>(GetBusClock()) * 1000000.0;
    ShowTime(kWatchdogTimeId, WatchdogTime(Item(kWatchdogItem).dwValue, busHz), true, "OFF");
    ShowTime(kFilterTimeId, FilterTime(Item(kFilterItem).dwValue, busHz), true, "OFF");
}

void CpmDEC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->EnableControl(kHomeEdgeId, m_homeEnable.IsChecked() == 1);
    page->EnableControl(kIndexEdgeId, m_indexEnable.IsChecked() == 1);
    const bool watchdog = m_watchdogEnable.IsChecked() == 1;
    page->EnableControls({kWatchdogTimeoutId, kWatchdogInterruptId}, watchdog);
}

void CpmDEC::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    UpdateControlStates();
}
