#include "project/ModuleRegistry.h"

#include "modules/analog/CpmADC_FamA.h"
#include "modules/analog/CpmADC_FamE.h"
#include "modules/analog/CpmPGA.h"
#include "modules/analog/CpmADC.h"
#include "modules/analog/CpmCMP.h"
#include "modules/analog/CpmDAC.h"
#include "modules/analog/CpmHSCMP.h"
#include "modules/analog/CpmVREF_DAC.h"
#include "modules/communication/CpmI2C.h"
#include "modules/communication/CpmI2C_FamA.h"
#include "modules/communication/CpmI2C_FamB.h"
#include "modules/communication/CpmLSCAN.h"
#include "modules/communication/CpmSCI.h"
#include "modules/communication/CpmTRL.h"
#include "modules/communication/CpmSPI.h"
#include "modules/communication/CpmVMON.h"
#include "modules/communication/CpmYCAN.h"
#include "modules/framework/CpmEMPTY.h"
#include "modules/interrupts/CpmINTC.h"
#include "modules/memory/CpmCRC.h"
#include "modules/memory/CpmFLASHOPT.h"
#include "modules/memory/CpmFMC.h"
#include "modules/memory/CpmFTFL.h"
#include "modules/memory/CpmSEMI.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/ports/CpmGPIO.h"
#include "modules/ports/CpmPINOUT.h"
#include "modules/pwm/CpmPWM_FamC_SWLayer.h"
#include "modules/timers/CpmDEC.h"
#include "modules/timers/CpmENC.h"
#include "modules/timers/CpmPDB.h"
#include "modules/timers/CpmPIT.h"
#include "modules/pwm/CpmPWM.h"
#include "modules/pwm/CpmPWM_FamA.h"
#include "modules/pwm/CpmPWM_FamC.h"
#include "modules/pwm/CpmPWMAll_FamC.h"
#include "modules/framework/CpmPLUGINS.h"
#include "modules/timers/CpmQT.h"
#include "modules/timers/CpmQTALL.h"
#include "modules/timers/CpmRTC.h"
#include "modules/system/CpmCOP_FamA.h"
#include "modules/system/CpmDMA.h"
#include "modules/system/CpmEDMA.h"
#include "modules/system/CpmEWM.h"
#include "modules/system/CpmMCM.h"
#include "modules/system/CpmPMC.h"
#include "modules/system/CpmSYS_FamA.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/system/CpmSYS_V1.h"
#include "modules/system/CpmSYS_V2.h"
#include "modules/system/CpmTSN.h"
#include "modules/routing/CpmAOI.h"
#include "modules/routing/CpmEVTG.h"
#include "modules/routing/CpmXBAR.h"
#include "modules/framework/CpmUNREC.h"
#include "modules/framework/CpmVOID.h"

namespace {

// The class of each key is "Cpm" followed by the key; null marks a class still to be written.
constexpr std::array<tModuleType, kModuleTypeCount> kModuleTypes = {{
    {"PINOUT", &CpmPINOUT::kRuntimeClass},
    {"OCCS", &CpmOCCS::kRuntimeClass},
    {"UNREC", &CpmUNREC::kRuntimeClass},
    {"TRL", &CpmTRL::kRuntimeClass},
    {"TSN", &CpmTSN::kRuntimeClass},
    {"DEC", &CpmDEC::kRuntimeClass},
    {"DAC", &CpmDAC::kRuntimeClass},
    {"CMP", &CpmCMP::kRuntimeClass},
    {"SYS_V1", &CpmSYS_V1::kRuntimeClass},
    {"SYS_V2_Classic", &CpmSYS_V2_Classic::kRuntimeClass},
    {"SYS_V2_FamB", &CpmSYS_V2_FamB::kRuntimeClass},
    {"SYS_FamA", &CpmSYS_FamA::kRuntimeClass},
    {"SYS_V2_FamC", &CpmSYS_V2_FamC::kRuntimeClass},
    {"SEMI", &CpmSEMI::kRuntimeClass},
    {"ADC", &CpmADC::kRuntimeClass},
    {"SPI", &CpmSPI::kRuntimeClass},
    {"SCI", &CpmSCI::kRuntimeClass},
    {"I2C", &CpmI2C::kRuntimeClass},
    {"I2C_FamB", &CpmI2C_FamB::kRuntimeClass},
    {"GPIO", &CpmGPIO::kRuntimeClass},
    {"PWM", &CpmPWM::kRuntimeClass},
    {"PIT", &CpmPIT::kRuntimeClass},
    {"EMPTY", &CpmEMPTY::kRuntimeClass},
    {"INTC", &CpmINTC::kRuntimeClass},
    {"QTALL", &CpmQTALL::kRuntimeClass},
    {"QT", &CpmQT::kRuntimeClass},
    {"YCAN", &CpmYCAN::kRuntimeClass},
    {"LSCAN", &CpmLSCAN::kRuntimeClass},
    {"VMON", &CpmVMON::kRuntimeClass},
    {"PMC", &CpmPMC::kRuntimeClass},
    {"PGA", &CpmPGA::kRuntimeClass},
    {"PDB", &CpmPDB::kRuntimeClass},
    {"ADC_FamA", &CpmADC_FamA::kRuntimeClass},
    {"PWM_FamA", &CpmPWM_FamA::kRuntimeClass},
    {"HSCMP", &CpmHSCMP::kRuntimeClass},
    {"I2C_FamA", &CpmI2C_FamA::kRuntimeClass},
    {"RTC", &CpmRTC::kRuntimeClass},
    {"COP_FamA", &CpmCOP_FamA::kRuntimeClass},
    {"PWM_FamC", &CpmPWM_FamC::kRuntimeClass},
    {"PWMAll_FamC", &CpmPWMAll_FamC::kRuntimeClass},
    {"PWM_FamC_SWLayer", &CpmPWM_FamC_SWLayer::kRuntimeClass},
    {"XBAR", &CpmXBAR::kRuntimeClass},
    {"VREF_DAC", &CpmVREF_DAC::kRuntimeClass},
    {"SYS_FamE_FamF_FamD", &CpmSYS_FamE_FamF_FamD::kRuntimeClass},
    {"ADC_FamE", &CpmADC_FamE::kRuntimeClass},
    {"AOI", &CpmAOI::kRuntimeClass},
    {"DMA", &CpmDMA::kRuntimeClass},
    {"CRC", &CpmCRC::kRuntimeClass},
    {"ENC", &CpmENC::kRuntimeClass},
    {"EWM", &CpmEWM::kRuntimeClass},
    {"FTFL", &CpmFTFL::kRuntimeClass},
    {"FMC", &CpmFMC::kRuntimeClass},
    {"MCM", &CpmMCM::kRuntimeClass},
    {"EVTG", &CpmEVTG::kRuntimeClass},
    {"EDMA", &CpmEDMA::kRuntimeClass},
    {"FLASHOPT", &CpmFLASHOPT::kRuntimeClass},
    // Folder nodes, tried after every key above.
    {"VOID", &CpmVOID::kRuntimeClass},
    {"PLUGINS", &CpmPLUGINS::kRuntimeClass},
}};

} // namespace

const std::array<tModuleType, kModuleTypeCount>& ModuleTypes() {
    return kModuleTypes;
}

const CRuntimeClass* FindModuleClass(std::string_view typeKey) {
    for (const tModuleType& type : kModuleTypes) {
        if (typeKey == type.typeKey)
            return type.runtimeClass;
    }
    return nullptr;
}

CModuleBase* CreateModuleOfType(std::string_view typeKey, CModuleBase* parent,
                                const CModuleDescriptor* descriptor) {
    const CRuntimeClass* runtimeClass = FindModuleClass(typeKey);
    return runtimeClass ? runtimeClass->CreateObject(parent, descriptor) : nullptr;
}
