#pragma once
// A software module declared by a plug-in description file: its page is the plug-in's web page,
// its registers the plug-in's register set, and its page script drives it through the
// automation object, which it tells when it refreshes, stores, checks, saves or closes.

#include <string>

#include "modules/framework/CHtmlModule.h"
#include "plugins/PluginFile.h"

class CPluginModule : public CHtmlModule {   // runtime class "CPluginModule"
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CPluginModule, CHtmlModule)
public:
    // Built while the document opens (hwc::HostBeingOpened()), like every module.
    explicit CPluginModule(const CPluginInfo& info);
    ~CPluginModule() override;            // fires OnProjectClosing first
    const CPluginInfo& Info() const;

    bool RefreshControls() override;
    bool ApplyControls() override;
    void CheckWarnings() override;
    void GetSummary(std::string& text) const override;
    bool LoadFromHeader(CAppcfgFile* header) override;
    bool IsImportCompatible(const CModuleBase& other, bool& forbidden) const override;

private:
    CPluginModule(const CPluginInfo& info, const CModuleDescriptor& descriptor);
    static CModuleDescriptor MakeDescriptor(const CPluginInfo& info);

    const CPluginInfo& m_info;
};
