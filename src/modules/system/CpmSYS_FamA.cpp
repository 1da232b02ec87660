#include "modules/system/CpmSYS_FamA.h"

using namespace hwc;
using namespace hwc::RegFlag;

namespace {

const std::vector<tPerCfgDef> kRegisters = {
    {"-SIM_CONROL_INIT", 0, DW16}, {"-SIM_PWR_INIT", 0, DW16},    {"-SIM_CLKOSR_INIT", 0, DW16},
    {"-SIM_SWC_INIT", 0, DW16},    {"-SIM_PROT_INIT", 0, DW16},   {"-SIM_PCE_INIT", 0, DW16},
    {"-SIM_SD_INIT", 0, DW16},     {"-SIM_IOSAHI_INIT", 0, DW16}, {"-SIM_IOSALO_INIT", 0, DW16},
    {"-SIM_GPSA_INIT", 0, DW16},   {"-SIM_GPSB_INIT", 0, DW16},   {"-SIM_GPSCL_INIT", 0, DW16},
    {"-SIM_GPSCH_INIT", 0, DW16},  {"-SIM_GPSD_INIT", 0, DW16},   {"-SIM_IPS_INIT", 0, DW16},
    {"-SIM_PCR_INIT", 0, DW16},    {"-SIM_ISALH_INIT", 0, DW16},  {"-SIM_ISAL_INIT", 0, DW16},
};

const std::vector<tPeripheralBit> kBits = {
    {0, "PWM", "PWM"},
    {1, "PDB", "PDB"},
    {2, "SCI 0", "SCI_0"},
    {3, "I2C", "I2C_0"},
    {4, "ADC 0", "ADC_0"},
    {5, "ADC 1", "ADC_1"},
    {6, "SPI", "SPI_0"},
    {7, "SCI 1", "SCI_1"},
    {8, "COP (IP bus clock)", "COP", ESystemFact::CopBusClock},
    {10, "Comparators", "HSCMP_0|HSCMP_1|HSCMP_2"},
    {11, "Interval timers", "PIT0|PIT1"},
    {12, "Timer A channel 0", "QT_A0", ESystemFact::TimerEnable, 0},
    {13, "Timer A channel 1", "QT_A1", ESystemFact::TimerEnable, 1},
    {14, "Timer A channel 2", "QT_A2", ESystemFact::TimerEnable, 2},
    {15, "Timer A channel 3", "QT_A3", ESystemFact::TimerEnable, 3},
};

tSystemLayout Build() {
    tSystemLayout layout;
    layout.templateId = CpmSYS_FamA::kTemplateId;
    layout.registers = kRegisters;
    layout.AddOperation(0);
    layout.Add(ESystemGroup::Operation, 1, 0, 1, "Voltage regulator:",
               {"Normal mode", "Standby mode", "Normal mode, locked", "Standby mode, locked"});
    layout.AddClockOutputs(2, 2);
    const int pcr = 15;
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 0, 0,
               "PWM clock sourced from HS_PERF (3x System Clock)", {}, "PWM",
               ESystemFact::PwmClock);
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 1, 1,
               "Timer A clock sourced from HS_PERF (3x System Clock)", {},
               "QT_A0|QT_A1|QT_A2|QT_A3", ESystemFact::TimerClock, 'A');
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 2, 2,
               "SCI clock sourced from HS_PERF (3x System Clock)", {}, "SCI_0|SCI_1",
               ESystemFact::SciClock);
    layout.clockEnableItem = 5;
    layout.clockEnableCount = 1;
    layout.stopDisableItem = 6;
    layout.stopDisableCount = 1;
    layout.selectItem = 9;
    layout.selectCount = 5;
    layout.AddPeripheralBits(kBits);
    layout.AddValue(14, "Input selections (IPS):", ESystemGroup::InputSelect);
    layout.AddProtection(4);
    layout.AddValue(3, "Software control (SWC):");
    layout.AddValue(7, "I/O short address, high part (IOSAHI):");
    layout.AddValue(8, "I/O short address, low part (IOSALO):");
    layout.AddValue(16, "Interrupt short address, high part (ISALH):");
    layout.AddValue(17, "Interrupt short address, low part (ISAL):");
    return layout;
}

} // namespace

const tSystemLayout& CpmSYS_FamA::LayoutFor() {
    static const tSystemLayout layout = Finished(Build());
    return layout;
}

CpmSYS_FamA::CpmSYS_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSystemModule(parent, descriptor, LayoutFor()) {}
