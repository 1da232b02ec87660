#pragma once
// The system integration modules of the second processor family: the classic layout (with its
// shorter forms on the two smallest processors), FamB and FamC. They share the intermediate
// base, which is never created by its own key.

#include "modules/system/CpmSystemModule.h"

class CpmSYS_V2 : public CpmSystemModule {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CpmSYS_V2, CpmSystemModule)
public:
    static constexpr unsigned kTemplateId = 2039;

protected:
    using CpmSystemModule::CpmSystemModule;
};

class CpmSYS_V2_Classic : public CpmSYS_V2 {
    HWC_DECLARE_MODULE_CLASS(CpmSYS_V2_Classic, CpmSYS_V2)
public:
    CpmSYS_V2_Classic(CModuleBase* parent, const CModuleDescriptor* descriptor);
    // The layout of the processor being opened.
    static const hwc::tSystemLayout& LayoutFor();
};

class CpmSYS_V2_FamB : public CpmSYS_V2 {
    HWC_DECLARE_MODULE_CLASS(CpmSYS_V2_FamB, CpmSYS_V2)
public:
    CpmSYS_V2_FamB(CModuleBase* parent, const CModuleDescriptor* descriptor);
    static const hwc::tSystemLayout& LayoutFor();
};

class CpmSYS_V2_FamC : public CpmSYS_V2 {
    HWC_DECLARE_MODULE_CLASS(CpmSYS_V2_FamC, CpmSYS_V2)
public:
    static constexpr unsigned kTemplateId107 = 2065;
    static constexpr unsigned kTemplateId = 2080;

    CpmSYS_V2_FamC(CModuleBase* parent, const CModuleDescriptor* descriptor);
    static const hwc::tSystemLayout& LayoutFor();
};
