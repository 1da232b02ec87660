#pragma once
// The system integration module of FamE, FamF and FamD: two clock outputs, four clock-enable and
// stop-disable registers, the high-speed clock choices of each family, the receive-data inputs
// of the serial interfaces (FamF), the clock input and fast boot settings.

#include "modules/system/CpmSystemModule.h"

class CpmSYS_FamE_FamF_FamD : public CpmSystemModule {
    HWC_DECLARE_MODULE_CLASS(CpmSYS_FamE_FamF_FamD, CpmSystemModule)
public:
    static constexpr unsigned kTemplateFamE = 2083;
    static constexpr unsigned kTemplateFamF = 2094;
    static constexpr unsigned kTemplateFamD = 2108;
    // Register positions other modules' tests and pages refer to.
    static constexpr int kMiscItem = 28;
    static constexpr std::uint32_t kFamDMiscDefault = 0x0040; // 48 MHz oscillator on

    CpmSYS_FamE_FamF_FamD(CModuleBase* parent, const CModuleDescriptor* descriptor);
    static const hwc::tSystemLayout& LayoutFor();
};
