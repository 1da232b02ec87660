#include "modules/system/CpmSYS_V2.h"

using namespace hwc;
using namespace hwc::RegFlag;

namespace {

constexpr std::uint32_t kHidden = DUMMYREG | NOSHOWLIST;
constexpr int kEntry5 = 5, kEntry6 = 6, kFamJ = 96, kFlag107 = 107;

constexpr const char* kTimerA = "QT_A0|QT_A1|QT_A2|QT_A3";
constexpr const char* kTimerB = "QT_B0|QT_B1|QT_B2|QT_B3";

// --- Classic ---

const std::vector<tPerCfgDef> kClassicRegisters = {
    {"-SIM_CONROL_INIT", 0, DW16}, {"_dummy_", 0, DW16 | kHidden}, {"-SIM_CLKOSR_INIT", 0, DW16},
    {"-SIM_PCR_INIT", 0, DW16},    {"-SIM_PCE_INIT", 0, DW16},     {"-SIM_GPSA_INIT", 0, DW16},
    {"-SIM_GPSB_INIT", 0, DW16},   {"-SIM_SD_INIT", 0, DW16},
};

const std::vector<tPeripheralBit> kClassicBits = {
    {0, "Timer A", kTimerA},
    {1, "Timer B", kTimerB},
    {2, "Timer C", "QT_C0|QT_C1|QT_C2|QT_C3"},
    {3, "Timer D", "QT_D0|QT_D1|QT_D2|QT_D3"},
    {4, "PWM A", "PWM_A"},
    {5, "PWM B", "PWM_B"},
    {6, "SCI 0", "SCI_0"},
    {7, "SCI 1", "SCI_1"},
    {8, "SPI 0", "SPI_0"},
    {9, "SPI 1", "SPI_1"},
    {10, "ADC A", "ADC_A"},
    {11, "ADC B", "ADC_B"},
    {12, "Quadrature decoders", "DEC_0|DEC_1"},
    {13, "CAN", "YCAN|YCAN2"},
    {14, "I2C", "I2C_0"},
    {15, "Interval timers", "PIT0|PIT1"},
};

// Entry 5 has only the control register, entry 6 no peripheral selects or stop disables.
tSystemLayout BuildClassic(int count, bool highSpeed) {
    tSystemLayout layout;
    layout.templateId = CpmSYS_V2::kTemplateId;
    layout.registers.assign(kClassicRegisters.begin(), kClassicRegisters.begin() + count);
    layout.AddOperation(0);
    if (count > 2)
        layout.AddClockOutputs(2, 1);
    if (count > 3 && highSpeed) {
        layout.Add(ESystemGroup::HighSpeedClock, 3, 0, 0,
                   "PWM clock sourced from HS_PERF (2x System Clock)", {}, "PWM_A|PWM_B",
                   ESystemFact::PwmClock);
        layout.Add(ESystemGroup::HighSpeedClock, 3, 1, 1,
                   "Timer A clock sourced from HS_PERF (2x System Clock)", {}, kTimerA,
                   ESystemFact::TimerClock, 'A');
    }
    if (count > 4) {
        layout.clockEnableItem = 4;
        layout.clockEnableCount = 1;
    }
    if (count > 7) {
        layout.selectItem = 5;
        layout.selectCount = 2;
        layout.stopDisableItem = 7;
        layout.stopDisableCount = 1;
    }
    layout.AddPeripheralBits(kClassicBits);
    return layout;
}

// --- FamB ---

const std::vector<tPerCfgDef> kFamBRegisters = {
    {"-SIM_CONROL_INIT", 0, DW16}, {"___PUDR___", 0, DW16 | kHidden}, {"-SIM_CLKOSR_INIT", 0, DW16},
    {"-SIM_PCR_INIT", 0, DW16},    {"-SIM_PROT_INIT", 0, DW16},       {"-SIM_GPSA_INIT", 0, DW16},
    {"-SIM_GPSB_INIT", 0, DW16},   {"-SIM_GPSC_INIT", 0, DW16},       {"-SIM_GPSD_INIT", 0, DW16},
    {"-SIM_PCE0_INIT", 0, DW16},   {"-SIM_PCE1_INIT", 0, DW16},       {"-SIM_SD0_INIT", 0, DW16},
    {"-SIM_SD1_INIT", 0, DW16},    {"-SIM_IOSAHI_INIT", 0, DW16},     {"-SIM_IOSALO_INIT", 0, DW16},
    {"-SIM_SWC_INIT", 0, DW16},    {"-SIM_IPS0_INIT", 0, DW16},       {"-SIM_IPS1_INIT", 0, DW16},
    {"-SIM_IPS2_INIT", 0, DW16},
};

const std::vector<tPeripheralBit> kFamBBits = {
    {0, "Timer A", kTimerA},       {1, "PWM A", "PWM_A"},         {2, "SCI 0", "SCI_0"},
    {3, "SCI 1", "SCI_1"},         {4, "SPI 0", "SPI_0"},         {5, "SPI 1", "SPI_1"},
    {6, "I2C", "I2C_0"},           {7, "CAN", "LSCAN"},           {8, "ADC A", "ADC_A"},
    {9, "PIT 0", "PIT0"},          {10, "PIT 1", "PIT1"},         {11, "PIT 2", "PIT2"},
    {16, "Comparator A", "CMP_A"}, {17, "Comparator B", "CMP_B"}, {18, "Comparator C", "CMP_C"},
    {19, "DAC 0", "DAC_0"},        {20, "DAC 1", "DAC_1"},
};

tSystemLayout BuildFamB() {
    tSystemLayout layout;
    layout.templateId = CpmSYS_V2::kTemplateId;
    layout.registers = kFamBRegisters;
    layout.AddOperation(0);
    layout.AddClockOutputs(2, 1);
    const int pcr = 3;
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 0, 0,
               "PWM clock sourced from HS_PERF (2x System Clock)", {}, "PWM_A",
               ESystemFact::PwmClock);
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 1, 1,
               "Timer A clock sourced from HS_PERF (2x System Clock)", {}, kTimerA,
               ESystemFact::TimerClock, 'A');
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 2, 2,
               "Timer B clock sourced from HS_PERF (2x System Clock)", {}, kTimerB,
               ESystemFact::TimerClock, 'B');
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 3, 3,
               "I2C clock sourced from HS_PERF (2x System Clock)", {}, "I2C_0",
               ESystemFact::I2cClock);
    layout.clockEnableItem = 9;
    layout.clockEnableCount = 2;
    layout.stopDisableItem = 11;
    layout.stopDisableCount = 2;
    layout.selectItem = 5;
    layout.selectCount = 4;
    layout.AddPeripheralBits(kFamBBits);
    layout.AddProtection(4);
    layout.AddValue(13, "I/O short address, high part (IOSAHI):");
    layout.AddValue(14, "I/O short address, low part (IOSALO):");
    layout.AddValue(15, "Software control (SWC):");
    layout.AddValue(16, "Input selections 0 (IPS0):", ESystemGroup::InputSelect);
    layout.AddValue(17, "Input selections 1 (IPS1):", ESystemGroup::InputSelect);
    layout.AddValue(18, "Input selections 2 (IPS2):", ESystemGroup::InputSelect);
    return layout;
}

// --- FamC ---

const std::vector<tPerCfgDef> kFamCRegisters = {
    {"-SIM_CONROL_INIT", 0, DW16}, {"-SIM_PWR_INIT", 0, DW16},  {"-SIM_CLKOSR_INIT", 0, DW16},
    {"-SIM_SWC_INIT", 0, DW16},    {"-SIM_PROT_INIT", 0, DW16}, {"-SIM_GPSA_INIT", 0, DW16},
    {"-SIM_GPSB_INIT", 0, DW16},   {"-SIM_GPSC_INIT", 0, DW16}, {"-SIM_IPS0_INIT", 0, DW16},
    {"-SIM_IPS1_INIT", 0, DW16},   {"-SIM_PCR_INIT", 0, DW16},  {"-SIM_PCE0_INIT", 0, DW16},
    {"-SIM_PCE1_INIT", 0, DW16},   {"-SIM_PCE2_INIT", 0, DW16}, {"-SIM_SD0_INIT", 0, DW16},
    {"-SIM_SD1_INIT", 0, DW16},    {"-SIM_SD2_INIT", 0, DW16},
};

const std::vector<tPeripheralBit> kFamCBits = {
    {0, "Timer A", kTimerA},
    {1, "Timer B", kTimerB},
    {2, "PWM", "PWM|PWM_0|PWM_1|PWM_2|PWM_3"},
    {3, "SCI 0", "SCI_0"},
    {4, "SCI 1", "SCI_1"},
    {5, "SPI 0", "SPI_0"},
    {6, "SPI 1", "SPI_1"},
    {7, "I2C", "I2C_0"},
    {8, "CAN", "LSCAN"},
    {9, "PIT 0", "PIT0"},
    {10, "PIT 1", "PIT1"},
    {16, "ADC A", "ADC_A"},
    {17, "DAC", "DAC"},
    {18, "Comparator A", "HSCMP_A"},
    {19, "Comparator B", "HSCMP_B"},
    {20, "Comparator C", "HSCMP_C"},
    {21, "Crossbar", "XBAR"},
    {22, "Voltage references", "VREF_A|VREF_B"},
    {32, "Port A", "GPIO_A"},
    {33, "Port B", "GPIO_B"},
    {34, "Port C", "GPIO_C"},
    {35, "Port D", "GPIO_D"},
    {36, "Port E", "GPIO_E"},
    {37, "Port F", "GPIO_F"},
};

tSystemLayout BuildFamC(unsigned templateId) {
    tSystemLayout layout;
    layout.templateId = templateId;
    layout.registers = kFamCRegisters;
    layout.AddOperation(0);
    layout.Add(ESystemGroup::Operation, 1, 0, 1, "Voltage regulator:",
               {"Normal mode", "Standby mode", "Normal mode, locked", "Standby mode, locked"});
    layout.AddClockOutputs(2, 1);
    const int pcr = 10;
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 0, 0,
               "SCI0 clock sourced from HS_PERF (2x System Clock)", {}, "SCI_0",
               ESystemFact::SciClock, 0);
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 1, 1,
               "SCI1 clock sourced from HS_PERF (2x System Clock)", {}, "SCI_1",
               ESystemFact::SciClock, 1);
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 2, 2,
               "Timer A clock sourced from HS_PERF (2x System Clock)", {}, kTimerA,
               ESystemFact::TimerClock, 'A');
    layout.Add(ESystemGroup::HighSpeedClock, pcr, 3, 3,
               "Timer B clock sourced from HS_PERF (2x System Clock)", {}, kTimerB,
               ESystemFact::TimerClock, 'B');
    layout.clockEnableItem = 11;
    layout.clockEnableCount = 3;
    layout.stopDisableItem = 14;
    layout.stopDisableCount = 3;
    layout.selectItem = 5;
    layout.selectCount = 3;
    layout.AddPeripheralBits(kFamCBits);
    layout.AddValue(8, "Input selections 0 (IPS0):", ESystemGroup::InputSelect);
    layout.AddValue(9, "Input selections 1 (IPS1):", ESystemGroup::InputSelect);
    layout.AddProtection(4);
    layout.AddValue(3, "Software control (SWC):");
    return layout;
}

} // namespace

const tSystemLayout& CpmSYS_V2_Classic::LayoutFor() {
    if (OpeningProcessorGroup(kEntry5)) {
        static const tSystemLayout control = Finished(BuildClassic(1, false));
        return control;
    }
    if (OpeningProcessorGroup(kEntry6)) {
        static const tSystemLayout shortLayout = Finished(BuildClassic(5, false));
        return shortLayout;
    }
    if (OpeningProcessorGroup(kFamJ)) {
        static const tSystemLayout highSpeed = Finished(BuildClassic(8, true));
        return highSpeed;
    }
    static const tSystemLayout full = Finished(BuildClassic(8, false));
    return full;
}

CpmSYS_V2_Classic::CpmSYS_V2_Classic(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSYS_V2(parent, descriptor, LayoutFor()) {}

const tSystemLayout& CpmSYS_V2_FamB::LayoutFor() {
    static const tSystemLayout layout = Finished(BuildFamB());
    return layout;
}

CpmSYS_V2_FamB::CpmSYS_V2_FamB(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSYS_V2(parent, descriptor, LayoutFor()) {}

const tSystemLayout& CpmSYS_V2_FamC::LayoutFor() {
    if (OpeningProcessorGroup(kFlag107)) {
        static const tSystemLayout layout107 = Finished(BuildFamC(kTemplateId107));
        return layout107;
    }
    static const tSystemLayout layout = Finished(BuildFamC(kTemplateId));
    return layout;
}

CpmSYS_V2_FamC::CpmSYS_V2_FamC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CpmSYS_V2(parent, descriptor, LayoutFor()) {}
