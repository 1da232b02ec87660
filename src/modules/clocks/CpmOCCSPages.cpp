// The three pages of the clock module, laid out as the clock tree runs: the sources, the input
// clock they give, the PLL, the dividers and the resulting clocks, each derived frequency beside
// the setting it depends on.

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "modules/clocks/CpmOCCS.h"

using namespace hwc;

namespace {

using O = CpmOCCS;

const std::vector<std::string> kPostscalerItems = {
    "PLL freq. / 1",  "PLL freq. / 2",  "PLL freq. / 4",   "PLL freq. / 8",  "PLL freq. / 16",
    "PLL freq. / 32", "PLL freq. / 64", "PLL freq. / 128", "PLL freq. / 256"};
const std::vector<std::string> kLossOfLock0Items = {
    "Disable", "On rising edge of LCK0", "On falling edge of LCK0", "On any edge of LCK0"};
const std::vector<std::string> kLossOfLock1Items = {
    "Disable", "On rising edge of LCK1", "On falling edge of LCK1", "On any edge of LCK1"};
const std::vector<std::string> kProtectionItems = {"Write Protection OFF", "Write Protection ON",
                                                   "Protection Permanently OFF",
                                                   "Protection Permanently ON"};

// The relaxation oscillator's trimming, shared by every page.
tLayoutItem TrimRow() {
    return dlg::Row({dlg::Label("Trimming value:"), dlg::Edit(O::kTrimId),
                     dlg::UpDown(O::kTrimSpinId, 1, 1023),
                     dlg::CheckBox(O::kFactoryTrimId, "Use Factory Trim Value"),
                     dlg::Label("Re-trim clock:", O::kRetrimLabelId), dlg::Edit(O::kRetrimClockId),
                     dlg::Label("Hz", O::kRetrimUnitId),
                     dlg::Label("Trimmed frequency out of range", O::kTrimWarningId)});
}

tLayoutItem InputRow() {
    return dlg::Row({dlg::Label("Input frequency", O::kInputFrequencyLabelId),
                     dlg::ReadOnly(O::kInputFrequencyId)});
}

tLayoutItem PllGroup(bool withPrescaler) {
    return dlg::Group(
        "PLL",
        {dlg::Row({dlg::CheckBox(O::kEnablePllId, "Enable PLL"),
                   dlg::CheckBox(O::kLockDetectorId, "Enable lock detector")}),
         withPrescaler ? dlg::Row({dlg::Label("Prescaler:"),
                                   dlg::DropList(O::kPrescalerId, {"Input / 1", "Input / 2",
                                                                   "Input / 4", "Input / 8"})})
                       : dlg::Row({}),
         dlg::Row({dlg::Label("Multiply (PLL Div)"), dlg::Edit(O::kMultiplierId),
                   dlg::UpDown(O::kMultiplierSpinId, 1, 128), dlg::Label("VCO freq."),
                   dlg::ReadOnly(O::kVcoFrequencyId), dlg::Label("", O::kVcoWarningId)}),
         dlg::Row(
             {dlg::Label("Startup lock mode:"), dlg::DropList(O::kLockModeId, {"Fine", "Coarse"})}),
         dlg::Row(
             {dlg::CheckBox(O::kLossOfReferenceInterruptId, "Loss of reference clock Interrupt")}),
         dlg::Row({dlg::Label("Loss of lock interrupt 0:"),
                   dlg::DropList(O::kLossOfLock0Id, kLossOfLock0Items),
                   dlg::Label("Loss of lock interrupt 1:"),
                   dlg::DropList(O::kLossOfLock1Id, kLossOfLock1Items)}),
         dlg::Row({dlg::Label("Loss of reference timer period:"),
                   dlg::Edit(O::kLossOfReferencePeriodId),
                   dlg::UpDown(O::kLossOfReferencePeriodSpinId, 0, 15), dlg::Label("Time:"),
                   dlg::ReadOnly(O::kLossOfReferenceTimeId)})});
}

tLayoutItem ResultGroup() {
    return dlg::Group("Resulting clocks",
                      {dlg::Row({dlg::Label("Core freq:"), dlg::ReadOnly(O::kCoreFrequencyId),
                                 dlg::Label("", O::kCoreWarningId)}),
                       dlg::Row({dlg::Label("HS freq.", O::kHighSpeedLabelId),
                                 dlg::ReadOnly(O::kHighSpeedFrequencyId),
                                 dlg::Label("", O::kHighSpeedWarningId)})});
}

tLayoutItem ProtectionGroup() {
    return dlg::Group("Write protection",
                      {dlg::Row({dlg::Label("Postscaler and clock source:"),
                                 dlg::DropList(O::kProtectClockId, kProtectionItems)}),
                       dlg::Row({dlg::Label("Oscillator configuration:"),
                                 dlg::DropList(O::kProtectOscillatorId, kProtectionItems)}),
                       dlg::Row({dlg::Label("PLL configuration:"),
                                 dlg::DropList(O::kProtectPllId, kProtectionItems)})},
                      O::kProtectionGroupId);
}

tLayoutItem MasterGroup(std::vector<std::string> sources) {
    return dlg::Group(
        "Master oscillator",
        {dlg::Row({dlg::Label("MSTR_OSC source:"),
                   dlg::DropList(O::kMasterSourceId, std::move(sources)),
                   dlg::Label("MSTR_OSC source is not running", O::kMasterSourceWarningId)}),
         dlg::Row({dlg::Label("CLKIN frequency:", O::kClkinLabelId),
                   dlg::Edit(O::kClkinFrequencyId), dlg::Label("MHz", O::kClkinUnitId)}),
         InputRow()});
}

tLayoutItem CrystalRows(bool third) {
    return dlg::Column(
        {dlg::Row({dlg::CheckBox(O::kCrystalEnableId,
                                 "Crystal oscillator enabled (Direct clock on EXTAL disabled)"),
                   third ? dlg::CheckBox(O::kCrystalPowerDownId, "Power Down crystal oscillator")
                         : dlg::Row({})}),
         dlg::Row(
             {dlg::DropList(O::kCrystalPowerId, {"High Power (resonator)", "Low Power (crystal)"}),
              third ? dlg::Row({}) : dlg::DropList(O::kCrystalRangeId, {"32 KHz", "1 to 16 MHz"}),
              dlg::CheckBox(O::kDivideBy2Id, "Divide Oscillator By 2")}),
         dlg::Row({dlg::Label("Crystal oscillator frequency:", O::kCrystalFrequencyLabelId),
                   dlg::Edit(O::kCrystalFrequencyId), dlg::Label("MHz")})});
}

tLayoutItem DividerGroup(bool third) {
    return dlg::Group(
        "Dividers and system clock",
        {dlg::Row({dlg::Label("Postscaler:"), dlg::DropList(O::kPostscalerId, kPostscalerItems)}),
         dlg::Row({dlg::Label("System clock source:"),
                   dlg::DropList(O::kSystemSourceId, {"MSTR_OSC", "PLL"})}),
         third ? dlg::Row({dlg::Label("PWM_2X clock:", O::kPwm2xLabelId),
                           dlg::DropList(O::kPwm2xSourceId, {"Raw PLL output", "PLL DIV2 clock"}),
                           dlg::Label("PWM Nano Edge freq.", O::kPwmNanoEdgeLabelId),
                           dlg::ReadOnly(O::kPwmNanoEdgeId)})
               : dlg::Row({})});
}

const CDialogTemplate& FirstPage() {
    static const CDialogTemplate page(
        O::kFirstTemplateId,
        {dlg::Group("Oscillators",
                    {dlg::Row({dlg::Label("Relaxation oscillator:"),
                               dlg::DropList(O::kRelaxationUsedId, {"Used", "Not used"})}),
                     TrimRow(),
                     dlg::Row({dlg::Label("Crystal Power Mode:"),
                               dlg::DropList(O::kOscillatorPowerId,
                                             {"Off (External clock source used)",
                                              "High power (Crystal/Resonator is used)",
                                              "Low power (Crystal, ESR below 40 Ohm)"})}),
                     dlg::Row({dlg::Label("External clock pin:", O::kExternalClockPinLabelId),
                               dlg::DropList(O::kExternalClockPinId,
                                             {"Primary Ext. Clock (GPIO_B6 pin)",
                                              "Alternate Ext. Clock (GPIO_B5 pin)",
                                              "Crystal Oscillator or Clock on XTAL"})}),
                     dlg::Row({dlg::Label("Input clock frequency:", O::kCrystalFrequencyLabelId),
                               dlg::Edit(O::kCrystalFrequencyId), dlg::Label("MHz")}),
                     InputRow()}),
         PllGroup(true),
         dlg::Group("Dividers and system clock",
                    {dlg::Row({dlg::Label("Postscaler:"),
                               dlg::DropList(O::kPostscalerId, {kPostscalerItems.begin(),
                                                                kPostscalerItems.begin() + 6})}),
                     dlg::Row({dlg::Label("System clock source:"),
                               dlg::DropList(O::kSystemSourceId,
                                             {"Prescaler output", "Postscaler output"})})}),
         ResultGroup(),
         dlg::Group("Watchdog (COP)",
                    {dlg::Row({dlg::CheckBox(O::kCopEnableId, "COP Enable"),
                               dlg::CheckBox(O::kCopWriteProtectId, "COP Write Protect")}),
                     dlg::Row({dlg::CheckBox(O::kCopStopId, "COP Runs in Stop Mode"),
                               dlg::CheckBox(O::kCopWaitId, "COP Runs in Wait Mode")}),
                     dlg::Row({dlg::CheckBox(O::kCopLossOfClockId, "Enable Loss of Clock COP"),
                               dlg::CheckBox(O::kCopRelaxationId, "Use Relaxation Oscillator")}),
                     dlg::Row({dlg::Label("Timeout divisor:"), dlg::Edit(O::kCopDivisorId),
                               dlg::UpDown(O::kCopDivisorSpinId, 1, 65536), dlg::Label("Timeout:"),
                               dlg::ReadOnly(O::kCopTimeoutId)})},
                    O::kWatchdogGroupId),
         ProtectionGroup(), dlg::Link(CModule::kPinStatusId, "")});
    return page;
}

const CDialogTemplate& SecondPage() {
    static const CDialogTemplate page(
        O::kSecondTemplateId,
        {dlg::Group("Oscillators",
                    {dlg::Row({dlg::CheckBox(O::kRelaxationEnableId,
                                             "Enable internal relaxation oscillator"),
                               dlg::Label("Mode:"),
                               dlg::DropList(O::kRelaxationModeId, {"Normal", "Standby"})}),
                     TrimRow(), CrystalRows(false)}),
         MasterGroup({"Relaxation oscilator", "Crystal oscilator / XTAL", "CLKIN"}),
         PllGroup(false), DividerGroup(false), ResultGroup(), ProtectionGroup(),
         dlg::Link(O::kUserVectorNoteId, "(user vector information)"),
         dlg::Link(CModule::kPinStatusId, "")});
    return page;
}

const CDialogTemplate& ThirdPage() {
    static const CDialogTemplate page(
        O::kThirdTemplateId,
        {dlg::Group(
             "Oscillators",
             {dlg::Row(
                  {dlg::CheckBox(O::kRelaxationEnableId, "Enable internal relaxation oscillator"),
                   dlg::Label("Mode:"),
                   dlg::DropList(O::kRelaxationModeId, {"Normal", "Standby"})}),
              TrimRow(),
              dlg::Row({dlg::Label("Temperature trim value:"), dlg::Edit(O::kTemperatureTrimId),
                        dlg::UpDown(O::kTemperatureTrimSpinId, 0, 15),
                        dlg::CheckBox(O::kTemperatureFactoryTrimId, "Use Factory Trim Value")}),
              dlg::Row({dlg::CheckBox(O::kLowSpeedEnableId, "Enable internal 32 kHz Oscillator"),
                        dlg::Label("Trimming value:"), dlg::Edit(O::kLowSpeedTrimId),
                        dlg::UpDown(O::kLowSpeedTrimSpinId, 0, 511),
                        dlg::CheckBox(O::kLowSpeedFactoryTrimId, "Use Factory Trim Value")}),
              CrystalRows(true)}),
         MasterGroup({"Relaxation oscillator", "Crystal oscillator / XTAL", "CLKIN",
                      "RC Oscillator 32 kHz"}),
         PllGroup(false), DividerGroup(true), ResultGroup(), ProtectionGroup(),
         dlg::Link(CModule::kPinStatusId, "")});
    return page;
}

} // namespace

const CDialogTemplate& CpmOCCS::PageTemplate(EClockGeneration generation) {
    switch (generation) {
    case EClockGeneration::Second:
        return SecondPage();
    case EClockGeneration::Third:
        return ThirdPage();
    case EClockGeneration::First:
        break;
    }
    return FirstPage();
}
