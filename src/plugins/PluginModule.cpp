#include "plugins/PluginModule.h"

#include "plugins/ConfigToolObj.h"

CPluginModule::CPluginModule(const CPluginInfo& info)
    : CPluginModule(info, MakeDescriptor(info)) {}

CPluginModule::CPluginModule(const CPluginInfo& info, const CModuleDescriptor& descriptor)
    : CHtmlModule(nullptr, 0, &descriptor, info.registers ? info.registers->Table() : nullptr,
                  info.registers ? info.registers->Count() : 0),
      m_info(info) {
    SetPageAddress(info.PageAddress());
    SetPluginFlags(true, info.earlyLoad, info.externalApp);
}

CPluginModule::~CPluginModule() {
    CConfigToolObj::FireProjectClosing(*this);
    CConfigToolObj::ForgetModule(*this);
}

const CPluginInfo& CPluginModule::Info() const {
    return m_info;
}

CModuleDescriptor CPluginModule::MakeDescriptor(const CPluginInfo& info) {
    CModuleDescriptor descriptor(info.id, info.className);
    descriptor.SetField(CModuleDescriptor::kDescription, info.name);
    descriptor.SetField(CModuleDescriptor::kHelpReference, info.helpFile);
    return descriptor;
}

bool CPluginModule::RefreshControls() {
    return CHtmlModule::RefreshControls();
}

bool CPluginModule::ApplyControls() {
    return CHtmlModule::ApplyControls();
}

void CPluginModule::CheckWarnings() {
    CHtmlModule::CheckWarnings();
}

void CPluginModule::GetSummary(std::string& text) const {
    CHtmlModule::GetSummary(text);
}

bool CPluginModule::LoadFromHeader(CAppcfgFile* header) {
    return CHtmlModule::LoadFromHeader(header);
}

bool CPluginModule::IsImportCompatible(const CModuleBase& other, bool& forbidden) const {
    forbidden = false;
    return other.IsKindOf(kRuntimeClass) && other.TypeKey() == TypeKey();
}
