#include "modules/timers/CpmENC.h"

#include "model/DialogTemplate.h"

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0, DW16},       {"FILT_INIT", 0, DW16},       {"WTR_INIT", 0, DW16},
    {"UINIT_INIT", 0, DW16},      {"LINIT_INIT", 0, DW16},      {"TST_INIT", 0, DW16},
    {"CTRL2_INIT", 0, DW16},      {"UMOD_INIT", 0, DW16},       {"LMOD_INIT", 0, DW16},
    {"UCOMP_INIT", 0xFFFF, DW16}, {"LCOMP_INIT", 0xFFFF, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// Control register fields.
constexpr int kCompareInterruptBit = 0;
constexpr int kWatchdogEnableBit = 2;
constexpr int kWatchdogInterruptBit = 3;
constexpr int kIndexEdgeBit = 5;
constexpr int kIndexInitBit = 6;
constexpr int kIndexInterruptBit = 7;
constexpr int kSinglePhaseBit = 9;
constexpr int kReverseDirectionBit = 10;
constexpr int kHomeEdgeBit = 12;
constexpr int kHomeInitBit = 13;
constexpr int kHomeInterruptBit = 14;
// Second control register fields.
constexpr int kUpdateHoldBit = 0;
constexpr int kUpdatePositionBit = 1;
constexpr int kModuloCountingBit = 2;
constexpr int kRollInterruptBit = 4;
constexpr int kSimultaneousInterruptBit = 6;
constexpr int kRevolutionSourceBit = 8;
constexpr int kOutputControlBit = 9;
// Filter register fields.
constexpr int kFilterPeriodLow = 0;
constexpr int kFilterPeriodHigh = 7;
constexpr int kFilterCountLow = 8;
constexpr int kFilterCountHigh = 10;
// Test register fields.
constexpr int kTestCountLow = 0;
constexpr int kTestCountHigh = 7;
constexpr int kTestPeriodLow = 8;
constexpr int kTestPeriodHigh = 12;
constexpr int kTestSignalBit = 13;
constexpr int kTestModuleEnableBit = 14;
constexpr int kTestCounterEnableBit = 15;

constexpr std::uint32_t kFilterPeriodMax = 255;
constexpr std::uint32_t kTestPeriodMax = 31;
constexpr std::uint32_t kHalfMax = 0xFFFF;

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

} // namespace

CpmENC::CpmENC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    AddCommentItems({{&m_reverseDirection, 0},  {&m_singlePhase, 0},
                     {&m_indexInit, 0},         {&m_indexEdge, 0},
                     {&m_homeInit, 0},          {&m_homeEdge, 0},
                     {&m_filterPeriod, 0},      {&m_filterCount, 0},
                     {&m_watchdogEnable, 0},    {&m_watchdogTimeout, 0},
                     {&m_upperInit, 0},         {&m_lowerInit, 0},
                     {&m_moduloCounting, 0},    {&m_upperModulus, 0},
                     {&m_lowerModulus, 0},      {&m_upperCompare, 0},
                     {&m_lowerCompare, 0},      {&m_updateHold, 0},
                     {&m_updatePosition, 0},    {&m_outputControl, 0},
                     {&m_revolutionSource, 0},  {&m_testModuleEnable, 0},
                     {&m_testCounterEnable, 0}, {&m_testSignal, 0},
                     {&m_testCount, 0},         {&m_testPeriod, 0},
                     {&m_compareInterrupt, 0},  {&m_homeInterrupt, 0},
                     {&m_indexInterrupt, 0},    {&m_watchdogInterrupt, 0},
                     {&m_rollInterrupt, 0},     {&m_simultaneousInterrupt, 0}});
}

const CDialogTemplate* CpmENC::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group(
             "Counting",
             {dlg::CheckBox(kReverseDirectionId, "Reverse direction of counting"),
              dlg::CheckBox(kSinglePhaseId, "Single phase count (phase A pulses)"),
              dlg::Row({dlg::CheckBox(kIndexInitId, "INDEX pulse initializes position counter"),
                        dlg::Label("on"),
                        dlg::DropList(kIndexEdgeId, {"rising edge", "falling edge"})}),
              dlg::Row({dlg::CheckBox(kHomeInitId, "HOME signal initializes position counter"),
                        dlg::Label("on"),
                        dlg::DropList(kHomeEdgeId, {"rising edge", "falling edge"})}),
              dlg::CheckBox(kUpdateHoldId, "Update hold registers on trigger"),
              dlg::CheckBox(kUpdatePositionId, "Clear position counter on trigger"),
              dlg::Row({dlg::Label("Position match output:"),
                        dlg::DropList(kOutputControlId, {"when the counter matches a compare value",
                                                         "when the position registers are read"})}),
              dlg::Row({dlg::Label("Revolution counter counts:"),
                        dlg::DropList(kRevolutionSourceId,
                                      {"INDEX pulses", "modulus roll-overs and roll-unders"})})}),
         dlg::Group("Input filter and watchdog",
                    {dlg::Row({dlg::Label("Input Filter Sample Period"), dlg::Edit(kFilterPeriodId),
                               dlg::UpDown(kFilterPeriodSpinId, 0, kFilterPeriodMax),
                               dlg::ReadOnly(kFilterTimeId)}),
                     dlg::Row({dlg::Label("Input Filter Sample Count"),
                               dlg::DropList(kFilterCountId, {"3 samples", "4 samples", "5 samples",
                                                              "6 samples", "7 samples", "8 samples",
                                                              "9 samples", "10 samples"})}),
                     dlg::CheckBox(kWatchdogEnableId, "Enable watchdog"),
                     dlg::Row({dlg::Label("Watchdog timeout (in clocks)"),
                               dlg::Edit(kWatchdogTimeoutId), dlg::ReadOnly(kWatchdogTimeId)})}),
         dlg::Group(
             "Position values",
             {dlg::Row({dlg::Label("Value to initialize position counter (upper half)"),
                        dlg::Edit(kUpperInitId)}),
              dlg::Row({dlg::Label("Value to initialize position counter (lower half)"),
                        dlg::Edit(kLowerInitId)}),
              dlg::CheckBox(kModuloCountingId, "Modulo counting"),
              dlg::Row({dlg::Label("Upper Modulus Register"), dlg::Edit(kUpperModulusId)}),
              dlg::Row({dlg::Label("Lower Modulus Register"), dlg::Edit(kLowerModulusId)}),
              dlg::Row({dlg::Label("Upper Position Compare Register"), dlg::Edit(kUpperCompareId)}),
              dlg::Row(
                  {dlg::Label("Lower Position Compare Register"), dlg::Edit(kLowerCompareId)})}),
         dlg::Group("Test counter",
                    {dlg::CheckBox(kTestModuleEnableId, "Enable test module"),
                     dlg::CheckBox(kTestCounterEnableId, "Enable test counter"),
                     dlg::Row({dlg::Label("Test signal:"),
                               dlg::DropList(kTestSignalId,
                                             {"positive (counts up)", "negative (counts down)"})}),
                     dlg::Row({dlg::Label("Test count:"), dlg::Edit(kTestCountId)}),
                     dlg::Row({dlg::Label("Test period:"), dlg::Edit(kTestPeriodId),
                               dlg::UpDown(kTestPeriodSpinId, 0, kTestPeriodMax),
                               dlg::ReadOnly(kTestTimeId)})}),
         dlg::Group("Interrupts",
                    {dlg::CheckBox(kCompareInterruptId, "Compare interrupt"),
                     dlg::CheckBox(kHomeInterruptId, "HOME signal interrupt"),
                     dlg::CheckBox(kIndexInterruptId, "INDEX pulse interrupt"),
                     dlg::CheckBox(kWatchdogInterruptId, "Watchdog timeout interrupt"),
                     dlg::CheckBox(kRollInterruptId, "Roll-over / roll-under interrupt"),
                     dlg::CheckBox(kSimultaneousInterruptId, "Simultaneous phase change interrupt"),
                     dlg::Placeholder(kHeadingPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId),
                     dlg::Placeholder(kFirstRowPlaceholderId + 1),
                     dlg::Placeholder(kFirstRowPlaceholderId + 2),
                     dlg::Placeholder(kFirstRowPlaceholderId + 3)})});
    return &page;
}

void CpmENC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kFilterPeriodSpinId, 0, kFilterPeriodMax);
    page.SetSpinRange(kTestPeriodSpinId, 0, kTestPeriodMax);
    m_reverseDirection.AttachTo(page, kReverseDirectionId);
    m_singlePhase.AttachTo(page, kSinglePhaseId);
    m_indexInit.AttachTo(page, kIndexInitId);
    m_indexEdge.AttachTo(page, kIndexEdgeId);
    m_homeInit.AttachTo(page, kHomeInitId);
    m_homeEdge.AttachTo(page, kHomeEdgeId);
    m_watchdogEnable.AttachTo(page, kWatchdogEnableId);
    m_watchdogTimeout.AttachTo(page, kWatchdogTimeoutId);
    m_filterPeriod.AttachTo(page, kFilterPeriodId);
    m_filterCount.AttachTo(page, kFilterCountId);
    m_upperInit.AttachTo(page, kUpperInitId);
    m_lowerInit.AttachTo(page, kLowerInitId);
    m_upperModulus.AttachTo(page, kUpperModulusId);
    m_lowerModulus.AttachTo(page, kLowerModulusId);
    m_upperCompare.AttachTo(page, kUpperCompareId);
    m_lowerCompare.AttachTo(page, kLowerCompareId);
    m_updateHold.AttachTo(page, kUpdateHoldId);
    m_updatePosition.AttachTo(page, kUpdatePositionId);
    m_moduloCounting.AttachTo(page, kModuloCountingId);
    m_outputControl.AttachTo(page, kOutputControlId);
    m_revolutionSource.AttachTo(page, kRevolutionSourceId);
    m_testModuleEnable.AttachTo(page, kTestModuleEnableId);
    m_testCounterEnable.AttachTo(page, kTestCounterEnableId);
    m_testSignal.AttachTo(page, kTestSignalId);
    m_testCount.AttachTo(page, kTestCountId);
    m_testPeriod.AttachTo(page, kTestPeriodId);
    m_compareInterrupt.AttachTo(page, kCompareInterruptId);
    m_homeInterrupt.AttachTo(page, kHomeInterruptId);
    m_indexInterrupt.AttachTo(page, kIndexInterruptId);
    m_watchdogInterrupt.AttachTo(page, kWatchdogInterruptId);
    m_rollInterrupt.AttachTo(page, kRollInterruptId);
    m_simultaneousInterrupt.AttachTo(page, kSimultaneousInterruptId);
    UpdateControlStates();
}

void CpmENC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    tPerCfgItem& ctrl2 = Item(kCtrl2Item);
    tPerCfgItem& filt = Item(kFiltItem);
    tPerCfgItem& tst = Item(kTstItem);
    m_reverseDirection.Bind(ctrl, kReverseDirectionBit, false, "");
    m_singlePhase.Bind(ctrl, kSinglePhaseBit, false, "");
    m_indexInit.Bind(ctrl, kIndexInitBit, false, "");
    m_indexEdge.Bind(ctrl, kIndexEdgeBit, kIndexEdgeBit, 0, "INDEX edge");
    m_homeInit.Bind(ctrl, kHomeInitBit, false, "");
    m_homeEdge.Bind(ctrl, kHomeEdgeBit, kHomeEdgeBit, 0, "HOME edge");
    m_watchdogEnable.Bind(ctrl, kWatchdogEnableBit, false, "");
    m_watchdogTimeout.Bind(Item(kWtrItem), 0, 15, 0, "Watchdog timeout (in clocks)", false, 0,
                           kHalfMax, true);
    m_filterPeriod.Bind(filt, kFilterPeriodLow, kFilterPeriodHigh, 0, "Input Filter Sample Period",
                        false, 0, kFilterPeriodMax, true);
    m_filterCount.Bind(filt, kFilterCountLow, kFilterCountHigh, 0, "Input Filter Sample Count");
    m_upperInit.Bind(Item(kUinitItem), 0, 15, 0,
                     "Value to initialize position counter (upper half)", true, 0, kHalfMax, true);
    m_lowerInit.Bind(Item(kLinitItem), 0, 15, 0,
                     "Value to initialize position counter (lower half)", true, 0, kHalfMax, true);
    m_upperModulus.Bind(Item(kUmodItem), 0, 15, 0, "Upper Modulus Register", true, 0, kHalfMax,
                        true);
    m_lowerModulus.Bind(Item(kLmodItem), 0, 15, 0, "Lower Modulus Register", true, 0, kHalfMax,
                        true);
    m_upperCompare.Bind(Item(kUcompItem), 0, 15, 0, "Upper Position Compare Register", true, 0,
                        kHalfMax, true);
    m_lowerCompare.Bind(Item(kLcompItem), 0, 15, 0, "Lower Position Compare Register", true, 0,
                        kHalfMax, true);
    m_updateHold.Bind(ctrl2, kUpdateHoldBit, false, "");
    m_updatePosition.Bind(ctrl2, kUpdatePositionBit, false, "");
    m_moduloCounting.Bind(ctrl2, kModuloCountingBit, false, "");
    m_outputControl.Bind(ctrl2, kOutputControlBit, kOutputControlBit, 0, "Position match output");
    m_revolutionSource.Bind(ctrl2, kRevolutionSourceBit, kRevolutionSourceBit, 0,
                            "Revolution counter counts");
    m_testModuleEnable.Bind(tst, kTestModuleEnableBit, false, "");
    m_testCounterEnable.Bind(tst, kTestCounterEnableBit, false, "");
    m_testSignal.Bind(tst, kTestSignalBit, kTestSignalBit, 0, "Test signal");
    m_testCount.Bind(tst, kTestCountLow, kTestCountHigh, 0, "Test count", false, 0, 255, true);
    m_testPeriod.Bind(tst, kTestPeriodLow, kTestPeriodHigh, 0, "Test period", false, 0,
                      kTestPeriodMax, true);
    m_compareInterrupt.Bind(ctrl, kCompareInterruptBit, false, "");
    m_homeInterrupt.Bind(ctrl, kHomeInterruptBit, false, "");
    m_indexInterrupt.Bind(ctrl, kIndexInterruptBit, false, "");
    m_watchdogInterrupt.Bind(ctrl, kWatchdogInterruptBit, false, "");
    m_rollInterrupt.Bind(ctrl2, kRollInterruptBit, false, "");
    m_simultaneousInterrupt.Bind(ctrl2, kSimultaneousInterruptBit, false, "");
}

double CpmENC::ClockTime(std::uint32_t clocks, double busMHz) {
    // Without a bus clock there is no time, rather than an infinite one.
    return busMHz > 0.0 ? static_cast<double>(clocks) / (busMHz * 1000000.0) : 0.0;
}

void CpmENC::Recalculate() {
    const double busMHz = GetBusClock();
    const std::uint32_t wtr = Item(kWtrItem).dwValue & kHalfMax;
    const std::uint32_t filt = Item(kFiltItem).dwValue;
    const std::uint32_t tst = Item(kTstItem).dwValue;
    ShowTime(kWatchdogTimeId, ClockTime(wtr + 1u, busMHz), true, "OFF");
    ShowTime(kFilterTimeId, ClockTime(Field(filt, kFilterPeriodLow, kFilterPeriodHigh), busMHz),
             true, "OFF");
    ShowTime(kTestTimeId, ClockTime(Field(tst, kTestPeriodLow, kTestPeriodHigh), busMHz), true,
             "OFF");
}

void CpmENC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->EnableControl(kIndexEdgeId, m_indexInit.IsChecked() == 1);
    page->EnableControl(kHomeEdgeId, m_homeInit.IsChecked() == 1);
    const bool watchdog = m_watchdogEnable.IsChecked() == 1;
    page->EnableControls({kWatchdogTimeoutId, kWatchdogInterruptId}, watchdog);
    const bool test = m_testModuleEnable.IsChecked() == 1;
    page->EnableControls({kTestCounterEnableId, kTestSignalId, kTestCountId, kTestPeriodId}, test);
}

void CpmENC::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    UpdateControlStates();
}
