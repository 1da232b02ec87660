#include "project/ModuleRegistry.h"

#include "modules/framework/CpmEMPTY.h"
#include "modules/interrupts/CpmINTC.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/timers/CpmPIT.h"
#include "modules/framework/CpmPLUGINS.h"
#include "modules/timers/CpmQTALL.h"
#include "modules/timers/CpmRTC.h"
#include "modules/system/CpmPMC.h"
#include "modules/system/CpmSYS_FamA.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/system/CpmSYS_V1.h"
#include "modules/system/CpmSYS_V2.h"
#include "modules/system/CpmTSN.h"
#include "modules/framework/CpmUNREC.h"
#include "modules/framework/CpmVOID.h"

namespace {

// The class of each key is "Cpm" followed by the key; null marks a class still to be written.
constexpr std::array<tModuleType, kModuleTypeCount> kModuleTypes = {{
    {"PINOUT", nullptr},
    {"OCCS", &CpmOCCS::kRuntimeClass},
    {"UNREC", &CpmUNREC::kRuntimeClass},
    {"TRL", nullptr},
    {"TSN", &CpmTSN::kRuntimeClass},
    {"DEC", nullptr},
    {"DAC", nullptr},
    {"CMP", nullptr},
    {"SYS_V1", &CpmSYS_V1::kRuntimeClass},
    {"SYS_V2_Classic", &CpmSYS_V2_Classic::kRuntimeClass},
    {"SYS_V2_FamB", &CpmSYS_V2_FamB::kRuntimeClass},
    {"SYS_FamA", &CpmSYS_FamA::kRuntimeClass},
    {"SYS_V2_FamC", &CpmSYS_V2_FamC::kRuntimeClass},
    {"SEMI", nullptr},
    {"ADC", nullptr},
    {"SPI", nullptr},
    {"SCI", nullptr},
    {"I2C", nullptr},
    {"I2C_FamB", nullptr},
    {"GPIO", nullptr},
    {"PWM", nullptr},
    {"PIT", &CpmPIT::kRuntimeClass},
    {"EMPTY", &CpmEMPTY::kRuntimeClass},
    {"INTC", &CpmINTC::kRuntimeClass},
    {"QTALL", &CpmQTALL::kRuntimeClass},
    {"QT", nullptr},
    {"YCAN", nullptr},
    {"LSCAN", nullptr},
    {"VMON", nullptr},
    {"PMC", &CpmPMC::kRuntimeClass},
    {"PGA", nullptr},
    {"PDB", nullptr},
    {"ADC_FamA", nullptr},
    {"PWM_FamA", nullptr},
    {"HSCMP", nullptr},
    {"I2C_FamA", nullptr},
    {"RTC", &CpmRTC::kRuntimeClass},
    {"COP_FamA", nullptr},
    {"PWM_FamC", nullptr},
    {"PWMAll_FamC", nullptr},
    {"PWM_FamC_SWLayer", nullptr},
    {"XBAR", nullptr},
    {"VREF_DAC", nullptr},
    {"SYS_FamE_FamF_FamD", &CpmSYS_FamE_FamF_FamD::kRuntimeClass},
    {"ADC_FamE", nullptr},
    {"AOI", nullptr},
    {"DMA", nullptr},
    {"CRC", nullptr},
    {"ENC", nullptr},
    {"EWM", nullptr},
    {"FTFL", nullptr},
    {"FMC", nullptr},
    {"MCM", nullptr},
    {"EVTG", nullptr},
    {"EDMA", nullptr},
    {"FLASHOPT", nullptr},
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
