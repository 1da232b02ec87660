#include "project/ModuleRegistry.h"

#include "modules/framework/CpmEMPTY.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/timers/CpmPIT.h"
#include "modules/framework/CpmPLUGINS.h"
#include "modules/timers/CpmQTALL.h"
#include "modules/framework/CpmUNREC.h"
#include "modules/framework/CpmVOID.h"

namespace {

// The class of each key is "Cpm" followed by the key; null marks a class still to be written.
constexpr std::array<tModuleType, kModuleTypeCount> kModuleTypes = {{
    {"PINOUT", nullptr},
    {"OCCS", &CpmOCCS::kRuntimeClass},
    {"UNREC", &CpmUNREC::kRuntimeClass},
    {"TRL", nullptr},
    {"TSN", nullptr},
    {"DEC", nullptr},
    {"DAC", nullptr},
    {"CMP", nullptr},
    {"SYS_V1", nullptr},
    {"SYS_V2_Classic", nullptr},
    {"SYS_V2_FamB", nullptr},
    {"SYS_FamA", nullptr},
    {"SYS_V2_FamC", nullptr},
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
    {"INTC", nullptr},
    {"QTALL", &CpmQTALL::kRuntimeClass},
    {"QT", nullptr},
    {"YCAN", nullptr},
    {"LSCAN", nullptr},
    {"VMON", nullptr},
    {"PMC", nullptr},
    {"PGA", nullptr},
    {"PDB", nullptr},
    {"ADC_FamA", nullptr},
    {"PWM_FamA", nullptr},
    {"HSCMP", nullptr},
    {"I2C_FamA", nullptr},
    {"RTC", nullptr},
    {"COP_FamA", nullptr},
    {"PWM_FamC", nullptr},
    {"PWMAll_FamC", nullptr},
    {"PWM_FamC_SWLayer", nullptr},
    {"XBAR", nullptr},
    {"VREF_DAC", nullptr},
    {"SYS_FamE_FamF_FamD", nullptr},
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
