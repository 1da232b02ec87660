#include "modules/system/CpmSYS_FamE_FamF_FamD.h"

using namespace hwc;
using namespace hwc::RegFlag;

namespace {

// Processor groups with a layout of their own; every other group (FamE is 109) has FamE's.
constexpr int kFamF = 113, kFamD = 116;
enum EFamily { kE, kF, kD };

const std::vector<tPerCfgDef> kRegisters = {
    {"-SIM_CONROL_INIT", 0, DW16}, {"-SIM_PWR_INIT", 0, DW16},    {"-SIM_CLKOSR_INIT", 0, DW16},
    {"-SIM_SWC_INIT", 0, DW16},    {"-SIM_PROT_INIT", 0, DW16},   {"-SIM_GPSAL_INIT", 0, DW16},
    {"-SIM_GPSAH_INIT", 0, DW16},  {"-SIM_GPSBL_INIT", 0, DW16},  {"-SIM_GPSBH_INIT", 0, DW16},
    {"-SIM_GPSCL_INIT", 0, DW16},  {"-SIM_GPSCH_INIT", 0, DW16},  {"-SIM_GPSDL_INIT", 0, DW16},
    {"-SIM_GPSDH_INIT", 0, DW16},  {"-SIM_GPSEL_INIT", 0, DW16},  {"-SIM_GPSEH_INIT", 0, DW16},
    {"-SIM_GPSFL_INIT", 0, DW16},  {"-SIM_GPSFH_INIT", 0, DW16},  {"-SIM_GPSGL_INIT", 0, DW16},
    {"-SIM_GPSGH_INIT", 0, DW16},  {"-SIM_PCE0_INIT", 0, DW16},   {"-SIM_PCE1_INIT", 0, DW16},
    {"-SIM_PCE2_INIT", 0, DW16},   {"-SIM_PCE3_INIT", 0, DW16},   {"-SIM_SD0_INIT", 0, DW16},
    {"-SIM_SD1_INIT", 0, DW16},    {"-SIM_SD2_INIT", 0, DW16},    {"-SIM_SD3_INIT", 0, DW16},
    {"-SIM_IPS0_INIT", 0, DW16},   {"-SIM_MISC0_INIT", 0, DW16},  {"-SIM_PSWR0_INIT", 0, DW16},
    {"-SIM_PSWR1_INIT", 0, DW16},  {"-SIM_PSWR2_INIT", 0, DW16},  {"-SIM_PSWR3_INIT", 0, DW16},
    {"-SIM_PCR_INIT", 0, DW16},    {"-SIM_ADCTRG_INIT", 0, DW16},
};
constexpr int kClockOutputItem = 2, kProtectionItem = 4, kFirstSelectItem = 5;
constexpr int kFirstClockEnableItem = 19, kFirstStopDisableItem = 23, kInputSelectItem = 27;
constexpr int kFirstResetItem = 29, kPcrItem = 33, kAdcTriggerItem = 34;

const std::vector<tPeripheralBit> kBits = {
    {0, "Timer A channel 0", "QT_A0"},
    {1, "Timer A channel 1", "QT_A1"},
    {2, "Timer A channel 2", "QT_A2"},
    {3, "Timer A channel 3", "QT_A3"},
    {4, "Timer B channel 0", "QT_B0"},
    {5, "Timer B channel 1", "QT_B1"},
    {6, "Timer B channel 2", "QT_B2"},
    {7, "Timer B channel 3", "QT_B3"},
    {8, "Port A", "GPIO_A"},
    {9, "Port B", "GPIO_B"},
    {10, "Port C", "GPIO_C"},
    {11, "Port D", "GPIO_D"},
    {12, "Port E", "GPIO_E"},
    {13, "Port F", "GPIO_F"},
    {14, "Port G", "GPIO_G"},
    {15, "Encoder", "ENC"},
    {16, "SCI 0", "SCI_0"},
    {17, "SCI 1", "SCI_1"},
    {18, "SCI 2", "SCI_2"},
    {19, "SPI 0", "SPI_0"},
    {20, "SPI 1", "SPI_1"},
    {21, "I2C 0", "I2C_0"},
    {22, "I2C 1", "I2C_1"},
    {23, "CAN", "YCAN|LSCAN"},
    {24, "PIT 0", "PIT0"},
    {25, "PIT 1", "PIT1"},
    {26, "Comparator A", "HSCMP_A"},
    {27, "Comparator B", "HSCMP_B"},
    {28, "Comparator C", "HSCMP_C"},
    {29, "Comparator D", "HSCMP_D"},
    {32, "Cyclic ADC", "ADC_A"},
    {33, "16-bit ADC", "ADC16"},
    {34, "DAC A", "DAC_A|DAC"},
    {35, "DAC B", "DAC_B"},
    {36, "Crossbars", "XBAR_A|XBAR_B"},
    {37, "AOI / EVTG", "AOI|EVTG"},
    {40, "PWM A", "PWM_A|PWM_A_0|PWM_A_1|PWM_A_2|PWM_A_3"},
    {41, "PWM B", "PWM_B_0|PWM_B_1|PWM_B_2|PWM_B_3"},
    {42, "PDB 0", "PDB_0"},
    {43, "PDB 1", "PDB_1"},
};

tSystemLayout Build(EFamily family) {
    tSystemLayout layout;
    layout.templateId = family == kE   ? CpmSYS_FamE_FamF_FamD::kTemplateFamE
                        : family == kF ? CpmSYS_FamE_FamF_FamD::kTemplateFamF
                                       : CpmSYS_FamE_FamF_FamD::kTemplateFamD;
    layout.registers = kRegisters;
    if (family == kD)
        layout.registers[CpmSYS_FamE_FamF_FamD::kMiscItem].dwDefault =
            CpmSYS_FamE_FamF_FamD::kFamDMiscDefault;
    layout.AddOperation(0);
    layout.Add(ESystemGroup::Operation, 1, 0, 1, "Voltage regulator:",
               {"Normal mode", "Standby mode", "Normal mode, locked", "Standby mode, locked"});
    layout.AddClockOutputs(kClockOutputItem, 2);

    const auto choice = [&](int bit, std::string caption, const char* instances, ESystemFact fact,
                            int which) {
        layout.Add(ESystemGroup::HighSpeedClock, kPcrItem, bit, bit, std::move(caption), {},
                   instances, fact, which);
    };
    choice(0, "SCI0 clock sourced from HS_PERF (2x System Clock)", "SCI_0", ESystemFact::SciClock,
           0);
    choice(1, "SCI1 clock sourced from HS_PERF (2x System Clock)", "SCI_1", ESystemFact::SciClock,
           1);
    choice(2, "SCI2 clock sourced from HS_PERF (2x System Clock)", "SCI_2", ESystemFact::SciClock,
           2);
    if (family == kF) {
        choice(3, "Timer clock sourced from HS_PERF (2x System Clock)",
               "QT_A0|QT_A1|QT_A2|QT_A3|QT_B0|QT_B1|QT_B2|QT_B3", ESystemFact::TimerClock, -1);
        choice(4, "PWM clock sourced from HS_PERF (2x System Clock)",
               "PWM_A|PWM_A_0|PWM_A_1|PWM_A_2|PWM_A_3", ESystemFact::PwmClock, -1);
    }
    if (family != kE) {
        choice(5, "I2C0 clock sourced from HS_PERF (2x System Clock)", "I2C_0",
               ESystemFact::I2cClock, 0);
        choice(6, "I2C1 clock sourced from HS_PERF (2x System Clock)", "I2C_1",
               ESystemFact::I2cClock, 1);
    }
    if (family == kF)
        choice(7, "I2C clock divided by 2", "I2C_0|I2C_1", ESystemFact::I2cHalved, -1);
    layout.i2cEitherSelection = family == kD;

    layout.clockEnableItem = kFirstClockEnableItem;
    layout.clockEnableCount = 4;
    layout.stopDisableItem = kFirstStopDisableItem;
    layout.stopDisableCount = 4;
    layout.selectItem = kFirstSelectItem;
    layout.selectCount = 14;
    layout.AddPeripheralBits(kBits);

    if (family == kF) {
        layout.Add(ESystemGroup::InputSelect, kInputSelectItem, 0, 0,
                   "SCI0 RXD input:", {"Pin", "Crossbar"}, "SCI_0", ESystemFact::SciRxd, 0);
        layout.Add(ESystemGroup::InputSelect, kInputSelectItem, 1, 1,
                   "SCI1 RXD input:", {"Pin", "Crossbar"}, "SCI_1", ESystemFact::SciRxd, 1);
    } else {
        layout.AddValue(kInputSelectItem, "Input selections (IPS0):", ESystemGroup::InputSelect);
    }
    const int misc = CpmSYS_FamE_FamF_FamD::kMiscItem;
    layout.miscItem = misc;
    layout.Add(ESystemGroup::Miscellaneous, misc, kSecondClockInputBit, kSecondClockInputBit,
               "Clock input:", {"CLKIN0", "CLKIN1"}, {}, ESystemFact::SecondClockInput);
    if (family == kF) {
        layout.Add(ESystemGroup::Miscellaneous, misc, kFastBootBit, kFastBootBit,
                   "Enable Fast Boot Mode", {}, {}, ESystemFact::FastBoot);
    }
    if (family == kD)
        layout.miscNote = "48 MHz oscillator: see the OCCS page.";
    layout.AddProtection(kProtectionItem);
    layout.AddValue(3, "Software control (SWC):");
    for (int i = 0; i < 4; ++i) {
        layout.AddValue(kFirstResetItem + i, "Peripheral software reset " + std::to_string(i) +
                                                 " (PSWR" + std::to_string(i) + "):");
    }
    layout.AddValue(kAdcTriggerItem, "ADC trigger selection (ADCTRG):");
    return layout;
}

} // namespace

const tSystemLayout& CpmSYS_FamE_FamF_FamD::LayoutFor() {
    if (OpeningProcessorGroup(kFamD)) {
        static const tSystemLayout famD = Finished(Build(kD));
        return famD;
    }
    if (OpeningProcessorGroup(kFamF)) {
        static const tSystemLayout famF = Finished(Build(kF));
        return famF;
    }
    static const tSystemLayout famE = Finished(Build(kE));
    return famE;
}

CpmSYS_FamE_FamF_FamD::CpmSYS_FamE_FamF_FamD(CModuleBase* parent,
                                             const CModuleDescriptor* descriptor)
    : CpmSystemModule(parent, descriptor, LayoutFor()) {}
